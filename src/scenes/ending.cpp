#include "scenes/ending.h"

#include "media/music.h"
#include "media/resources.h"
#include "shell/shell_state.h"

PenHandle* FirePen = nullptr;

void MeltFrame() {}
void EndingFireSetup() {}
void EndingCloseFrame() {}

void RestoreNormalMode() {
    ReleaseSurfaceHandle(FireCanvas);
    if (FirePen != nullptr) {
        delete FirePen;
        FirePen = nullptr;
    }
    // Played directly, whatever SoundOn says.
    PlaySoundBuffer(SoundVoice[SFX_NOSOUND], false);
    SendMusicCommand("stop  bgm");
    SendMusicCommand("close bgm");
    if (LowResMode == 1) {
        LowResMode = 0;
        ReleaseSurfaceHandle(FrontSurface);
        FrontSurface = CreateDisplayPair(640, 480, &BackBuffer);
    }
    Scene = SCENE_TITLE_LOAD;
}
