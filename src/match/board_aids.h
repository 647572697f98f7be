#pragma once
// Two player aids drawn on the board, each switched on and off by its own key in a match, off
// when the program starts, the choice holding for the rest of the run:
// - H marks the last move: its from and to squares, or the square a piece was placed on, tinted;
// - N shows the board's coordinates, 1 to 9 along the two near edges, counted as the info
//   panel's 位置 counts them (columns along the lower-left edge, rows along the lower-right).
// With both off nothing of the match's drawing changes.

#include <cstdint>

#include "platform/core/platform.h"

// 1 while the last move is marked.
extern uint8_t LastMoveMarkOn;
// 1 while the coordinates are shown.
extern uint8_t CoordinatesOn;

// The move the mark shows: a move from one square to another, a placement, or nothing yet.
constexpr uint8_t LAST_MOVE_NONE = 0;
constexpr uint8_t LAST_MOVE_MOVED = 1;
constexpr uint8_t LAST_MOVE_PLACED = 2;
struct LastMoveRecord {
    uint8_t what;          // LAST_MOVE_NONE, _MOVED or _PLACED
    int32_t fromX, fromY;  // the square a moved piece left
    int32_t toX, toY;      // the square it went to, or the square of the placement
};
// Kept whether the mark is shown or not, so that H shows the last move at once.
extern LastMoveRecord LastMove;

// Switches the aids on a press of H or N: each key is watched from frame to frame, so holding it
// switches once. Called once per match frame.
void WatchBoardAidKeys();

// A new match has no last move.
void ForgetLastMove();
// A piece has set off from (fromX, fromY) to (toX, toY).
void NoteMove(int fromX, int fromY, int toX, int toY);
// A piece has been placed on (x, y).
void NotePlacement(int x, int y);

// Tints the last move's squares of the board in BackBuffer. Drawn over the tiles and under the
// markers and the pieces. Does nothing while the mark is off.
void DrawLastMoveMark();
// Lays the numerals along the near edges of the board. Does nothing while they are off.
void DrawBoardCoordinates(Surface* surface);
