#pragma once
// The three blocking sequences of the match, each running its own paced loop inside one match
// frame: the opening banner, the end of the match with its outcome text, and the block
// transition that both use to change the whole picture.

#include "platform/core/platform.h"

constexpr int BLOCK_COLUMNS = 20;
constexpr int BLOCK_ROWS = 15;
constexpr int BLOCK_HALF_SIZE = 16;
constexpr unsigned BLOCK_STEP_MS = 33;
constexpr int END_TEXT_STEPS = 60;

// The half-sizes of the 300 blocks of the last transition, and its step count.
extern int BlockHalfSize[BLOCK_ROWS * BLOCK_COLUMNS];
extern int BlockWave;

// Dims the board, shows the two opening banners in turn and reveals the board again. M ends it
// early.
void MatchStartBanner();

// For outcome 1, 2 (a side has won) or 3 (forfeit): dims the board, shows the outcome for 60
// steps, clears the screen to index 255, stops and closes the music and switches to the result
// screen. Outcome 0 does nothing.
void MatchEnd(int outcome);

// The closing text of an outcome (1 to 3), as MatchEnd draws it in the language in effect. The
// Japanese stands in one column of large characters from the top of the screen; the English is
// set across, in lines of a height at which the longest fits the screen's width, the block of
// lines centred on the screen's middle.
struct OutcomeText {
    const char* text;
    int height;  // of each line, in pixels
    Rect box;    // the lines are centred across it from its top down
};
OutcomeText MatchEndText(int outcome);

// How the last match ended: the outcome MatchEnd was given (0 while no match has ended) and the
// side that was to move then (the winner, or the side on whose turn the match was forfeited).
// The result screen's help card says it; nothing of the game's course reads it.
struct MatchEnding {
    int outcome = 0;
    int mover = 0;
};
extern MatchEnding LastMatchEnding;

// Shrinks the picture of from block by block in a diagonal wave from the top-left corner,
// revealing to; presents every step itself. C cuts it short.
void BlockShrinkTransition(Surface* from, Surface* to);
