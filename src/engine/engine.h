#pragma once
// The computer opponent's engine: a position of the game as plain values, every legal move of
// the side to move, and the move a level chooses. It knows the game's rules by itself and
// includes nothing of the game, so it can run on any thread and a test can build any position.
//
// The rules it plays: a board move goes to any square the piece reaches that no own piece holds
// (capturing the enemy piece there); a move ending in the mover's far three rows offers promote
// or keep, except to an unpromoted gold or king and except when the move ends the match; a
// placement buys kind 1..7 at its cost onto any empty square, into the side's lowest free slot,
// and needs a free slot and a nonzero points count (kinds beyond the first only when the side has
// two points or more and can pay every kind up to it). After a board move the mover wins when
// the opponent's first slot is empty. A capture pays the captured piece's value as points, but at
// most as many as there are free point motes (ten, less those still flying); the points arrive
// during the next turn, so they are spendable from the capturer's following turn on.

#include <cstdint>

namespace engine {

// The same meaning as the game's piece record: kind byte (low five bits 1..8 = pawn, lance,
// knight, silver, gold, rook, bishop, king; bit 7 = promoted; 0 = empty slot), square (x, y)
// 0..8, value (points the capturer gains; value & 31 counts as material). A piece whose square
// lies off the board stands nowhere: give such a square as -1 (the game's 32-bit coordinates
// must be held to -1..9 before they are narrowed, or a far square could wrap onto the board).
struct Piece {
    int8_t x;
    int8_t y;
    int32_t value;
    uint8_t kind;
};

struct Position {
    Piece slots[64];     // 0..31 side 0's, 32..63 side 1's; slot 0 / 32 is the side's king slot
    uint8_t side;        // side to move, 0 or 1
    int32_t points[2];   // spendable points now
    int32_t pending[2];  // points still on their way (motes in flight), arriving in later frames
    int32_t turn;        // the game's turn number
    int8_t dropCost[8];  // the placing costs of kinds 1..7, then 0
};

struct Move {
    bool place;    // false: a board move of `slot`; true: a placement of `kind`
    uint8_t slot;  // board move: the moving piece's slot
    uint8_t kind;  // placement: kind 1..7
    int8_t toX;    // destination square
    int8_t toY;
    bool promote;  // board move: answer "promote" at the prompt (only where offered)
};

struct SearchInfo {
    bool found;      // false when the side to move had no legal move (the move is then empty)
    int score;       // centipawns from the mover's view; near +-MATE_SCORE a forced end
    uint64_t nodes;  // positions searched
    int depth;       // deepest iteration completed
};

constexpr int MATE_SCORE = 30000;
constexpr int LEVEL_COUNT = 5;
// The most legal moves a position can have: 32 pieces' board moves and 7 kinds on 81 squares.
constexpr int MAX_MOVES = 1024;

// The move `level` (1..5, held to that range) chooses in `pos`; deterministic in (pos, level,
// seed): node budgets, never wall time. `seed` is fixed once per match (level 1's evaluation
// noise). Any level takes the enemy king when it can.
Move ChooseMove(const Position& pos, int level, uint64_t seed, SearchInfo* info = nullptr);

// Every legal move of the side to move (for baselines and tests), at most `capacity` of them
// written to `out`; answers how many there are in all (MAX_MOVES is always enough). A position
// whose match has ended (a first slot empty after the last board move) still lists its moves:
// the caller knows whether the match goes on.
int GenerateMoves(const Position& pos, Move* out, int capacity);

// The position after `move` is played as the game plays it (points paid as pending, the side
// flipped, the turn counted). The move must be one GenerateMoves lists.
Position ApplyMove(const Position& pos, const Move& move);

// The side that has won after the last board move, or -1: the side not to move wins when the
// side to move's first slot is empty.
int Winner(const Position& pos);

// The opening position from the game's layout numbers: 40 groups (x, y, kind, value), side 0's
// twenty then side 1's, into slots 0..19 and 32..51, with the game's costs and side 0 to move.
Position OpeningPosition(const int (&layout)[40][4], uint8_t sideToMove = 0);

}  // namespace engine
