#pragma once
// The ending: the melt of the last title picture, the switch to 320x240 with the fire canvas,
// the cooling, and the way back.

#include "platform/core/platform.h"

// The white one-pixel pen the credits draw their trace with; null when it does not exist.
struct PenHandle {
    Rgb colour;
};
extern PenHandle* FirePen;

extern int MeltCounter;   // frames of SCENE_MELT so far
extern int CloseCounter;  // frames of SCENE_ENDING_CLOSE so far

// The two ways the fire canvas is smoothed: the credits keep the top and bottom rows hot and
// cool by 0..3 a pass; the close cools every row by 0..6 a pass.
enum FireSmoothVariant {
    FIRE_SMOOTH_CREDITS,
    FIRE_SMOOTH_CLOSE,
};

// Scene handlers: 60 frames of melt, the one-frame switch to 320x240, the 90-frame cooling.
void MeltFrame();
void EndingFireSetup();
void EndingCloseFrame();
// The close-down step: releases the fire canvas and pen, plays SFX_NOSOUND, stops and closes
// the music, returns the display to 640x480 when it is at 320x240, and sets SCENE_TITLE_LOAD.
// Safe to run when the ending never ran.
void RestoreNormalMode();

// One pass of the melt over a locked canvas: every pixel of rows 1 and below climbs by
// rand mod 10, or jumps to 255 from 245 up; row 0 is left alone.
void MeltPass(const LockedSurface& canvas);
// The same with another source of random numbers (0..32767).
void MeltPassWith(const LockedSurface& canvas, int (*random)());

// One smoothing pass over a locked canvas (the fire canvas, 320x240), top to bottom and left to
// right in place: each pixel becomes (4 x itself + its existing neighbours) / 8 minus a random
// decay, never below 0. Neighbours outside the canvas add nothing, so the edges cool faster.
void FireSmooth(const LockedSurface& canvas, FireSmoothVariant variant);
