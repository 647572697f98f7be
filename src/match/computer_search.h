#pragma once
// The computer's choice of a move: the live match read into the search's own position, and the
// search run beside the game in a window (a thread of its own, so no frame waits for it) or at
// once headless, where the game's time is virtual and the move must come at a frame that the
// position and the level alone decide.

#include <cstdint>

// A move as the computer's hand plays it: a board move of `slot` to (toX, toY), answering the
// promotion prompt with `promote` if it is offered, or a placement of `kind` on (toX, toY).
struct ComputerMove {
    bool place = false;
    int slot = -1;
    int kind = 0;
    int toX = -1;
    int toY = -1;
    bool promote = false;
    bool found = false;  // false when the side to move had no move at all
};

// Reads the live match (pieces, side to move, points, the points still flying to each side, the
// turn and the costs) and starts the search for the side to move at `level` with the match's
// `seed`. In a window the search runs on a thread of its own; headless it waits for
// ComputerSearchTake. A search still running from before is left to finish unheard.
void ComputerSearchStart(int level, uint64_t seed, bool beside);
// True once the search started has its move (always true for a search that runs at once).
bool ComputerSearchReady();
// The move of the search started last; a search not run yet runs now.
ComputerMove ComputerSearchTake();
// Forgets the search started last (the turn was handed back, or the match ended).
void ComputerSearchDrop();
