#pragma once
// The ending: the melt of the last title picture, the switch to 320x240 with the fire canvas,
// the cooling, and the way back.

#include "platform/platform.h"

// The white one-pixel pen the credits draw their trace with; null when it does not exist.
struct PenHandle {
    Rgb colour;
};
extern PenHandle* FirePen;

void MeltFrame();
void EndingFireSetup();
void EndingCloseFrame();
// The close-down step: releases the fire canvas and pen, plays SFX_NOSOUND, stops and closes
// the music, returns the display to 640x480 when it is at 320x240, and sets SCENE_TITLE_LOAD.
// Safe to run when the ending never ran.
void RestoreNormalMode();
