#pragma once
// Shared helpers of the engine tests: the standard opening as the engine's position, a small
// random generator whose sequence is fixed on every machine, and random play from the opening.

#include <cstdint>

#include "engine/engine.h"

namespace enginetest {

// The layout the game ships: kings first, the back row, rook and bishop, then nine pawns; side 1
// mirrored by a half turn. Values are the placing costs, 10 for the king.
inline engine::Position StandardOpening(uint8_t sideToMove = 0) {
    static const int BACK_ROW[9] = {2, 3, 4, 5, 8, 5, 4, 3, 2};
    static const int VALUES[9] = {0, 1, 2, 3, 4, 5, 6, 6, 10};
    int layout[40][4];
    int n = 0;
    for (int side = 0; side < 2; ++side) {
        auto add = [&](int x, int y, int kind) {
            const int fx = side == 0 ? x : 8 - x;
            const int fy = side == 0 ? y : 8 - y;
            layout[n][0] = fx;
            layout[n][1] = fy;
            layout[n][2] = kind;
            layout[n][3] = VALUES[kind];
            ++n;
        };
        add(4, 0, 8);
        for (int x = 0; x < 9; ++x) {
            if (x != 4) add(x, 0, BACK_ROW[x]);
        }
        add(1, 1, 6);
        add(7, 1, 7);
        for (int x = 0; x < 9; ++x) add(x, 2, 1);
    }
    return engine::OpeningPosition(layout, sideToMove);
}

// xorshift64*: the same numbers everywhere, unlike the standard distributions.
class Rng {
public:
    explicit Rng(uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}
    uint64_t Next() {
        state_ ^= state_ >> 12;
        state_ ^= state_ << 25;
        state_ ^= state_ >> 27;
        return state_ * 0x2545F4914F6CDD1Dull;
    }
    int Below(int n) { return static_cast<int>(Next() % static_cast<uint64_t>(n)); }

private:
    uint64_t state_;
};

// One random move: half the time among the board moves only, so the board does not fill with
// placements at once; the other half among every legal move. False when there is none.
inline bool RandomMove(const engine::Position& pos, Rng* rng, engine::Move* out) {
    static engine::Move moves[engine::MAX_MOVES];
    const int n = engine::GenerateMoves(pos, moves, engine::MAX_MOVES);
    if (n == 0) return false;
    int boardMoves = 0;
    while (boardMoves < n && !moves[boardMoves].place) ++boardMoves;
    if (boardMoves > 0 && rng->Below(2) == 0) {
        *out = moves[rng->Below(boardMoves)];
    } else {
        *out = moves[rng->Below(n)];
    }
    return true;
}

// The position after `plies` random moves from the opening (fewer when the match ends first).
inline engine::Position RandomPlay(uint64_t seed, int plies) {
    Rng rng(seed);
    engine::Position pos = StandardOpening();
    for (int i = 0; i < plies && engine::Winner(pos) < 0; ++i) {
        engine::Move m;
        if (!RandomMove(pos, &rng, &m)) break;
        pos = engine::ApplyMove(pos, m);
    }
    return pos;
}

}  // namespace enginetest
