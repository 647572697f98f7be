// The evaluation: material and points, king safety, promotion and mobility.
#include "engine/evaluate.h"

#include <algorithm>
#include <bit>
#include <cstdlib>

namespace engine {

namespace {

// Mobility per reachable square of the long-range pieces.
constexpr int SLIDER_MOBILITY = 4;
// Enemy pieces by the king: near (within two squares), and an own piece next to it.
constexpr int NEAR_ENEMY = 28;
constexpr int ADJACENT_GUARD = 14;
// An empty square beside the king on which the enemy could place a piece, per point it holds.
constexpr int DROP_THREAT = 4;
constexpr int SIDE_TO_MOVE = 12;

// Squares a long-range piece reaches along direction (dx, dy) before it is stopped.
int RayLength(const Board& b, int sq, int dx, int dy) {
    int x = FileOf(sq) + dx;
    int y = RowOf(sq) + dy;
    int n = 0;
    while (x >= 0 && x < 9 && y >= 0 && y < 9) {
        ++n;
        if (b.at[SquareOf(x, y)] != 0) break;
        x += dx;
        y += dy;
    }
    return n;
}

int Mobility(const Board& b, int sq, MoveClass cls, int side) {
    switch (cls) {
    case CLASS_ROOK:
    case CLASS_DRAGON:
        return RayLength(b, sq, 1, 0) + RayLength(b, sq, -1, 0) + RayLength(b, sq, 0, 1) +
               RayLength(b, sq, 0, -1);
    case CLASS_BISHOP:
    case CLASS_HORSE:
        return RayLength(b, sq, 1, 1) + RayLength(b, sq, -1, 1) + RayLength(b, sq, 1, -1) +
               RayLength(b, sq, -1, -1);
    case CLASS_LANCE: return RayLength(b, sq, 0, side == 0 ? 1 : -1);
    default: return 0;
    }
}

// The king's distance (moves of a king) between two squares, looked up: the safety term asks for
// it for every enemy piece at every evaluation.
struct DistanceTable {
    uint8_t d[SQUARE_COUNT][SQUARE_COUNT];
    constexpr DistanceTable() : d{} {
        for (int a = 0; a < SQUARE_COUNT; ++a) {
            for (int b = 0; b < SQUARE_COUNT; ++b) {
                const int dx =
                    FileOf(a) > FileOf(b) ? FileOf(a) - FileOf(b) : FileOf(b) - FileOf(a);
                const int dy = RowOf(a) > RowOf(b) ? RowOf(a) - RowOf(b) : RowOf(b) - RowOf(a);
                d[a][b] = static_cast<uint8_t>(dx > dy ? dx : dy);
            }
        }
    }
};
constexpr DistanceTable DISTANCE;

int KingSafety(const Board& b, int side) {
    const int king = b.KingSquare(side);
    if (king < 0) return 0;
    const int kx = FileOf(king);
    const int ky = RowOf(king);
    int score = 0;
    const int enemy = 1 - side;
    uint32_t bits = b.live[enemy];
    while (bits != 0) {
        const int slot = enemy * SIDE_SLOTS + std::countr_zero(bits);
        bits &= bits - 1;
        const int sq = b.square[slot];
        if (sq < 0 || slot == enemy * SIDE_SLOTS) continue;
        const int d = DISTANCE.d[king][sq];
        if (d <= 2) score -= NEAR_ENEMY * (d == 1 ? 2 : 1);
    }
    int empty = 0;
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            const int x = kx + dx;
            const int y = ky + dy;
            if ((dx | dy) == 0 || x < 0 || x > 8 || y < 0 || y > 8) continue;
            const int owner = b.OwnerAt(SquareOf(x, y));
            if (owner == side) score += ADJACENT_GUARD;
            if (owner < 0) ++empty;
        }
    }
    const int enemyPoints = std::clamp(b.points[enemy] + b.pending[enemy], 0, 6);
    score -= DROP_THREAT * enemyPoints * empty;
    return score;
}

}  // namespace

int ClassWorth(MoveClass cls) { return CLASS_WORTH[cls]; }

int MaterialBalance(const Board& b) {
    int score[2];
    for (int side = 0; side < 2; ++side) {
        const int pts = std::max(0, b.points[side] + b.pending[side]);
        score[side] = b.material[side] + POINT_WORTH * std::min(pts, 12) +
                      (POINT_WORTH / 2) * std::max(0, pts - 12);
    }
    return score[b.side] - score[1 - b.side] + SIDE_TO_MOVE;
}

int Evaluate(const Board& b) {
    int score[2] = {0, 0};
    for (int side = 0; side < 2; ++side) {
        uint32_t bits = b.live[side];
        int s = 0;
        while (bits != 0) {
            const int slot = side * SIDE_SLOTS + std::countr_zero(bits);
            bits &= bits - 1;
            const auto cls = static_cast<MoveClass>(b.cls[slot]);
            if (cls != CLASS_LANCE && cls != CLASS_ROOK && cls != CLASS_BISHOP &&
                cls != CLASS_DRAGON && cls != CLASS_HORSE) {
                continue;
            }
            const int sq = b.square[slot];
            if (sq >= 0) s += SLIDER_MOBILITY * Mobility(b, sq, cls, side);
        }
        s += KingSafety(b, side);
        score[side] = s;
    }
    return MaterialBalance(b) + score[b.side] - score[1 - b.side];
}

}  // namespace engine
