#pragma once
// The board of the match: the lower-left plate, the hand button, the two point pads, the 9x9
// isometric board with its reach and cursor markers, and the pieces, with the selected and the
// previously selected piece drawn tall and last.

#include <cstdint>

#include "platform/core/platform.h"

// Composes the board into surface. state is MatchState; (moverX, moverY) the mover origin of the
// selected piece; the sizes the visible heights of the selected and the previous piece.
void DrawBoard(Surface* surface, int state, int moverX, int moverY, int selectSize,
               int previousSize);

// Repaints the reach marker in EtcSheet: the mask's shape in shade bank + level, the rest in
// the colours of the board tile row beneath it.
void RebuildReachMarker(uint8_t bank, int level);
