// Material, the end-of-match test, the final score and the ranks.
#include "rules/tally.h"

#include <climits>

#include "rules_test_support.h"

namespace {

TEST_F(RulesTest, MaterialCountsTheLowFiveBitsOfLivePieces) {
    PutPiece(0, 4, 0, KIND_KING, 12);
    PutPiece(5, 1, 1, KIND_PAWN, 33);   // counts 1
    PutPiece(31, 2, 2, KIND_GOLD, -1);  // low five bits of -1: 31
    PieceTable[7].value = 9;            // empty slot: not counted
    PutPiece(32, 4, 8, KIND_KING, 64);  // counts 0
    PutPiece(63, 9, 9, KIND_ROOK, 5);   // off the board but live: counted
    SideTally[0].material = 1000;

    UpdateMaterial();

    EXPECT_EQ(SideTally[0].material, 12 + 1 + 31);
    EXPECT_EQ(SideTally[1].material, 5);
}

TEST_F(RulesTest, MatchEndLooksOnlyAtTheOpponentsFirstSlot) {
    struct Case {
        const char* name;
        int mover;
        bool slot0Live, slot32Live;
        int outcome;
    };
    const Case cases[] = {
        {"both kings stand, side 0 moved", 0, true, true, OUTCOME_PLAY_ON},
        {"both kings stand, side 1 moved", 1, true, true, OUTCOME_PLAY_ON},
        {"side 0 took slot 32", 0, true, false, OUTCOME_SIDE0_WON},
        {"side 1 took slot 0", 1, false, true, OUTCOME_SIDE1_WON},
        {"own first slot empty does not matter", 0, false, true, OUTCOME_PLAY_ON},
        {"own first slot empty, side 1", 1, true, false, OUTCOME_PLAY_ON},
        {"both empty: the mover wins", 1, false, false, OUTCOME_SIDE1_WON},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetMatchRules();
        SideToMove = static_cast<uint8_t>(c.mover);
        // The first slots hold pawns, and kings stand elsewhere: only the slots count.
        if (c.slot0Live) PutPiece(0, 0, 0, KIND_PAWN);
        if (c.slot32Live) PutPiece(32, 8, 8, KIND_PAWN);
        PutPiece(1, 4, 0, KIND_KING);
        PutPiece(33, 4, 8, KIND_KING);
        EXPECT_EQ(CheckMatchEnd(), c.outcome);
    }
}

TEST_F(RulesTest, ScoreFromTalliesAndTurns) {
    struct Case {
        const char* name;
        int points, material, clock, turn;
        int score;
    };
    const Case cases[] = {
        {"five points on turn one", 5, 0, 0, 1, 100},
        {"everything counts", 12, 30, 100, 40, 4 * (25 * (70 + 40 + 30) - 100)},
        {"too few points scores 0", 0, 3, 0, 1, 0},
        {"time eats the score", 5, 0, 25, 1, 0},
        {"one second short of zero", 5, 0, 24, 1, 4},
        {"huge points saturate", INT_MAX, 0, 0, 1, INT_MAX},
        {"huge material saturates", 5, INT_MAX, 0, 1, INT_MAX},
        {"most negative clock saturates", 5, 0, INT_MIN, 1, INT_MAX},
        {"most negative points give 0", INT_MIN, 0, 0, 1, 0},
        {"huge clock gives 0", 9, 0, INT_MAX, 1, 0},
        {"huge turn count saturates", 0, 0, 0, INT_MAX, INT_MAX},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TurnNumber = c.turn;
        SideTally[1] = {c.clock, c.points, c.material};
        EXPECT_EQ(MatchScore(1), c.score);
    }
    EXPECT_EQ(MatchScore(2), 0);
    EXPECT_EQ(MatchScore(-1), 0);
}

TEST(RulesRank, EachBoundIsTheLastScoreOfItsRank) {
    const int bounds[] = {100,   1000,  2000,  3000,  5000,  7000,  9000,
                          11000, 15000, 20000, 30000, 40000, 60000, 80000};
    for (int rank = 0; rank < RANK_COUNT - 1; ++rank) {
        EXPECT_EQ(RankOf(bounds[rank]), rank) << bounds[rank];
        EXPECT_EQ(RankOf(bounds[rank] + 1), rank + 1) << bounds[rank] + 1;
    }
    EXPECT_EQ(RankOf(0), 0);
    EXPECT_EQ(RankOf(INT_MIN), 0);
    EXPECT_EQ(RankOf(INT_MAX), 14);
}

}  // namespace
