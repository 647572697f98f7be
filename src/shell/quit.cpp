#include "shell/quit.h"

#include "media/music.h"
#include "media/resources.h"
#include "media/sound.h"
#include "platform/core/platform.h"
#include "scenes/ending.h"
#include "scenes/title.h"

namespace {
bool QuitDone = false;
}  // namespace

void QuitGame() {
    if (QuitDone) return;
    QuitDone = true;
    // The display mode of the desktop is never changed, so there is nothing to restore first.
    RestoreNormalMode();
    ReleaseTitle();
    ReleaseMatchSurfaces();
    ReleaseSurfaceHandle(FrontSurface);
    BackBuffer = nullptr;
    ReleaseAllVoices();
    SendMusicCommand("stop  bgm");
    SendMusicCommand("close bgm");
    PostQuitMessage(0);
}
