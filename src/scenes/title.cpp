#include "scenes/title.h"

#include "media/music.h"
#include "media/resources.h"

void TitleLoad() {}
void TitleFrame() {}

void ReleaseTitle() {
    ReleaseSurfaceHandle(TitleArt);
    ReleaseSurfaceHandle(TitleWork);
    SendMusicCommand("stop  bgm");
    SendMusicCommand("close bgm");
}
