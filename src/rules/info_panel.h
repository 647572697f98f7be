#pragma once
// The piece info panel: every piece of a side looks alike on the board, so the kind, square and
// value of the piece under the pointer slide in at the bottom right of the screen. The same
// per-frame routine tells the match when the pointer rests on something clickable on the board.

#include <cstdint>

#include "platform/core/platform.h"

// The offset moves in steps of this many pixels; the panel is out once the offset reaches 200.
constexpr int INFO_SLIDE_STEP = 32;
constexpr int INFO_OUT_OFFSET = 200;

extern int32_t InfoTarget;  // slot shown or sliding in; -1 while sliding out or out
extern int32_t InfoPiece;   // slot whose data is drawn; -1 for none
extern int32_t InfoHover;   // slot found under the pointer at the last frame that found one
extern int32_t InfoOffset;  // horizontal offset of the panel from its anchor
extern bool InfoStarted;    // false until the first call has placed the panel off screen

// One frame: slides the panel, looks for the piece under CursorSquare, draws the panel at
// (a + InfoOffset, b) and sets HoverFlag over an own piece or a listed destination. Does nothing
// while the match shows the promotion prompt (state 13).
void PieceInfoPanel(Surface* surface, int a, int b, int state);
