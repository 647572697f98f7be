#pragma once
// The numbers of the match drawn with the digit glyphs of EtcSheet (media/digits.h): HH:MM:SS
// clocks, the centre panel (turn banner, orbiting sprites, turn number, match time) and the two
// side panels (clock, points and material of each side). The result screen draws the same
// panels.

#include "platform/core/platform.h"

// Orbiting sprites' angles (256 units a turn); initial 0, 84, 168; advanced by 4 per panel draw.
extern int OrbitAngle[3];

// Draws seconds as HH:MM:SS into BackBuffer, covering x - 16 to x + 112.
void DrawClock(int x, int y, int seconds);
void DrawCentrePanel(Surface* surface, int cx, int cy, int rx, int ry, int turn, int seconds);
void DrawSidePanels(Surface* surface);
