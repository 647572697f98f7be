#include "media/resources.h"

Surface* FrontSurface = nullptr;
Surface* BackBuffer = nullptr;

Surface* EtcSheet = nullptr;
Surface* SaveSurface = nullptr;
Surface* SideSheet[2] = {nullptr, nullptr};
Surface* RankSheet = nullptr;
Surface* DimSurface = nullptr;

Surface* TitleArt = nullptr;
Surface* TitleWork = nullptr;

Surface* FireCanvas = nullptr;

Voice* SoundVoice[SOUND_ROLE_COUNT] = {};
Voice* Pon2Voice[PON2_VOICE_COUNT] = {};

uint8_t SoundOn = 0;
uint8_t MusicOn = 0;
uint8_t LowResMode = 0;

void ReleaseSurfaceHandle(Surface*& handle) {
    if (handle != nullptr) {
        ReleaseSurface(handle);
        handle = nullptr;
    }
}

void ReleaseMatchSurfaces() {
    ReleaseSurfaceHandle(EtcSheet);
    ReleaseSurfaceHandle(DimSurface);
    ReleaseSurfaceHandle(SaveSurface);
    ReleaseSurfaceHandle(SideSheet[0]);
    ReleaseSurfaceHandle(SideSheet[1]);
    ReleaseSurfaceHandle(RankSheet);
}
