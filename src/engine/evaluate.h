#pragma once
// The engine's judgement of a quiet position, in centipawns from the side to move's view.

#include "engine/position.h"

namespace engine {

// What a point in hand or on its way is worth: one buys a pawn, six a rook, anywhere.
constexpr int POINT_WORTH = 90;

// The worth of a piece of each move class on the board.
int ClassWorth(MoveClass cls);

// Material and points only: the cheap part of Evaluate.
int MaterialBalance(const Board& board);

// Material, points as buying power, king safety (enemy pieces near and aimed at the king, drop
// squares beside it against the enemy's points), promotion and mobility.
int Evaluate(const Board& board);

}  // namespace engine
