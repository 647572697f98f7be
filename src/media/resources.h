#pragma once
// The catalogue of objects that live beside the scenes: the display pair, the off-screen
// surfaces of each scene group, the sound roles and the shared media state. A null handle means
// the object does not exist; every release routine tests and clears its handles, so running one
// twice is harmless.

#include <cstdint>

#include "platform/core/platform.h"

constexpr uint8_t TRANSPARENT_INDEX = 254;

// The display pair. BackBuffer is attached to FrontSurface and goes with it.
extern Surface* FrontSurface;
extern Surface* BackBuffer;

// Match surfaces (created by MatchLoad, released by ReleaseMatchSurfaces).
extern Surface* EtcSheet;
extern Surface* SaveSurface;
extern Surface* SideSheet[2];
extern Surface* RankSheet;
extern Surface* DimSurface;

// Title surfaces (TitleLoad / ReleaseTitle).
extern Surface* TitleArt;
extern Surface* TitleWork;

// Ending canvas (EndingFireSetup / RestoreNormalMode).
extern Surface* FireCanvas;

// Sound roles, in the order they are loaded at start-up.
enum SoundRole {
    SFX_TITLE,
    SFX_FIRE,
    SFX_CLICK,
    SFX_JUMP1,
    SFX_JUMP3,
    SFX_EXPLOS1,
    SFX_PON,
    SFX_PON2,
    SFX_MAGIC,
    SFX_WIBBLE,
    SFX_CLOSE,
    SFX_BANGER,
    SFX_NOSOUND,
    SOUND_ROLE_COUNT
};
constexpr int PON2_VOICE_COUNT = 6;

// One voice per role; SFX_PON2 has six (index 0 loaded from the file, 1..5 duplicates).
// SoundVoice[SFX_PON2] is Pon2Voice[0].
extern Voice* SoundVoice[SOUND_ROLE_COUNT];
extern Voice* Pon2Voice[PON2_VOICE_COUNT];

// Gates: sound effects played through PlayVoice, and the music restart.
extern uint8_t SoundOn;
extern uint8_t MusicOn;

// 1 while the display is at 320x240.
extern uint8_t LowResMode;

// Releases EtcSheet, DimSurface, SaveSurface, SideSheet 0, SideSheet 1, RankSheet in this order,
// each only if set, and clears the handles.
void ReleaseMatchSurfaces();

// Releases a surface handle if it is set and clears it.
void ReleaseSurfaceHandle(Surface*& handle);
