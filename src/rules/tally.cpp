// Material, the end-of-match test, scores and ranks.
#include "rules/tally.h"

#include <algorithm>
#include <cstdint>

#include "rules/board.h"

namespace {

// Highest score of ranks 0..13; anything above the last earns rank 14.
constexpr int RANK_BOUNDS[RANK_COUNT - 1] = {100,   1000,  2000,  3000,  5000,  7000,  9000,
                                             11000, 15000, 20000, 30000, 40000, 60000, 80000};

}  // namespace

void UpdateMaterial() {
    for (int side = 0; side < 2; ++side) {
        int32_t sum = 0;
        const int first = FirstSlotOf(side);
        for (int slot = first; slot < first + SIDE_SLOT_COUNT; ++slot) {
            if (PieceTable[slot].kind != KIND_NONE) sum += PieceTable[slot].value & 31;
        }
        SideTally[side].material = sum;
    }
}

int CheckMatchEnd() {
    const int mover = SideToMove == 0 ? 0 : 1;
    const int opponentFirst = FirstSlotOf(1 - mover);
    return PieceTable[opponentFirst].kind == KIND_NONE ? mover + 1 : OUTCOME_PLAY_ON;
}

int MatchScore(int side) {
    if (side != 0 && side != 1) return 0;
    const TallyRecord& t = SideTally[side];
    // Worked in 64 bits: a long match or a huge points count must not wrap the score around.
    const int64_t bracket =
        10 * (static_cast<int64_t>(t.points) - 5) + TurnNumber + static_cast<int64_t>(t.material);
    const int64_t score = 4 * (25 * bracket - t.clockSeconds);
    return static_cast<int>(std::clamp<int64_t>(score, 0, INT32_MAX));
}

int RankOf(int score) {
    for (int rank = 0; rank < RANK_COUNT - 1; ++rank) {
        if (score <= RANK_BOUNDS[rank]) return rank;
    }
    return RANK_COUNT - 1;
}
