#pragma once
// Kind labels: a player aid that the L key switches on and off in a match. Each token on the
// board then carries the character of its kind, upright and centred on its top face (promoted
// kinds in their promoted form and in red). Off when the program starts; the choice holds for
// the rest of the run. With the labels off nothing of the match's drawing changes.

#include <cstdint>

#include "platform/core/platform.h"

// 1 while the labels are shown.
extern uint8_t KindLabelsOn;

// A label is a 16x16 cell laid with its middle on the middle of the token's top face. The face
// leans towards the side's front, so the two sides' tokens have their faces a few pixels apart.
constexpr int KIND_LABEL_SIZE = 16;
constexpr int KIND_LABEL_FACE_CENTRE_Y = 15;
// Where a side's label cell goes, from the top-left corner of the token's 32x32 board sprite.
constexpr int KindLabelLeft(int side) { return (side == 0 ? 14 : 18) - KIND_LABEL_SIZE / 2; }
constexpr int KindLabelTop() { return KIND_LABEL_FACE_CENTRE_Y - KIND_LABEL_SIZE / 2; }

// Switches the labels on a press of L: the key is watched from frame to frame, so holding it
// switches once. Called once per match frame.
void WatchKindLabelKey();

// The cell (a SheetCellId of the kind-label family) for a piece of this kind byte on a side
// whose tokens are drawn in this colour bank byte. A byte that names no kind gives the neutral
// mark.
int KindLabelCell(uint8_t kind, int side, uint8_t bank);

// Lays the label of slot's piece on its token. (x, y) is the top-left corner of the token's
// 32x32 board sprite, or of the tall sprite's cell less (16, 2), where the tall cell draws the
// same token; the label is clipped to the screen. Does nothing while the labels are off.
void DrawKindLabel(Surface* surface, int slot, int x, int y);
