// Point motes and the capture shatter: waiting, flight, arrival and scoring, the lost motes of a
// full table, and the shatter's return to its resting state at frame 60.
#include "match/effects.h"

#include <gtest/gtest.h>

#include <cstring>

#include "state/random.h"
#include "support/match_test_support.h"

namespace {

using matchtest::MatchTest;

class MatchMotes : public MatchTest {
protected:
    void SetUp() override {
        MatchTest::SetUp();
        std::memset(PointMoteTable, 0, sizeof PointMoteTable);
    }
    void TearDown() override {
        std::memset(PointMoteTable, 0, sizeof PointMoteTable);
        MatchTest::TearDown();
    }
};

TEST_F(MatchMotes, WaitingMoteStaysPutThenFliesHomeAndScoresForItsOwnSide) {
    // A capture on square (4, 6) by side 0: mover origin (224, 272).
    ASSERT_TRUE(ReleaseMote(240, 272, 224.0, 272.0, 0, 8));
    const PointMote start = PointMoteTable[0];
    EXPECT_EQ(start.targetX, 516);
    EXPECT_EQ(start.targetY, 32);
    SideToMove = 1;  // the turn has passed: the point still goes to the capturer
    for (int frame = 1; frame <= 7; ++frame) {
        UpdateMotes();
        EXPECT_EQ(PointMoteTable[0].x, 240) << frame;
        EXPECT_EQ(PointMoteTable[0].y, 272) << frame;
    }
    EXPECT_EQ(PointMoteTable[0].delay, 1);
    int frames = 0;
    while (PointMoteTable[0].delay != 0 && frames < 400) {
        UpdateMotes();
        ++frames;
    }
    EXPECT_EQ(PointMoteTable[0].delay, 0) << "the mote never arrived";
    EXPECT_GT(frames, 20);
    EXPECT_EQ(SideTally[0].points, 1);
    EXPECT_EQ(SideTally[1].points, 0);
}

TEST_F(MatchMotes, ReleasesFillTheLowestFreeSlotsAndAFullTableLosesTheMote) {
    for (int k = 0; k < POINT_MOTE_COUNT; ++k) {
        EXPECT_TRUE(ReleaseMote(100, 100, 100.0, 100.0, 0, 4 * (k + 1)));
    }
    EXPECT_FALSE(ReleaseMote(100, 100, 100.0, 100.0, 0, 44));
    PointMoteTable[3].delay = 0;
    EXPECT_TRUE(ReleaseMote(50, 60, 50.0, 60.0, 1, 4));
    EXPECT_EQ(PointMoteTable[3].x, 50);
    EXPECT_EQ(PointMoteTable[3].side, 1);
    EXPECT_EQ(PointMoteTable[3].targetX, 93);
}

// Motes swing out sideways and home in with a limited turn; from every square of the board,
// towards either pad, all ten must still arrive (within about five seconds) and score.
TEST_F(MatchMotes, TenMotesFromEverySquareReachEitherPad) {
    for (int side = 0; side < 2; ++side) {
        for (int square = 0; square < 81; ++square) {
            const int x = square % 9;
            const int y = square / 9;
            const double moverX = 32.0 * (x - y + 9);
            const double moverY = 16.0 * (x + y + 7);
            SideTally[side].points = 0;
            for (int j = 0; j < POINT_MOTE_COUNT; ++j) {
                ReleaseMote(static_cast<int>(moverX + 16), static_cast<int>(moverY), moverX, moverY,
                            side, 4 * (j + 1));
            }
            for (int frame = 0; frame < 160; ++frame) UpdateMotes();
            EXPECT_EQ(SideTally[side].points, POINT_MOTE_COUNT)
                << "side " << side << " square " << x << "," << y;
            for (PointMote& m : PointMoteTable) m.delay = 0;
        }
    }
}

TEST_F(MatchTest, ShatterBurstsGathersShowsAMoteAndResetsAtFrame60) {
    SeedRandom(5);
    ShatterRadius = 0;
    ShatterPhase = 0;
    ShatterSpeed = SHATTER_START_SPEED;
    bool gathered = false;
    bool moteShown = false;
    int widest = 0;
    for (int frame = 0; frame <= SHATTER_LAST_FRAME; ++frame) {
        AnimTick = frame / 3;  // a 100 ms tick every third 33 ms frame
        ShatterStep(SideSheet[1], 300, 200, frame);
        if (ShatterRadius > widest) widest = ShatterRadius;
        gathered = gathered || ShatterPhase == 1;
        moteShown = moteShown || ShatterPhase == 2;
        if (frame < SHATTER_LAST_FRAME) {
            EXPECT_LE(ShatterRadius, 80) << frame;
        }
    }
    EXPECT_TRUE(gathered);
    EXPECT_TRUE(moteShown);
    EXPECT_GE(widest, 40);
    EXPECT_EQ(ShatterRadius, 0);
    EXPECT_EQ(ShatterPhase, 0);
    EXPECT_EQ(ShatterSpeed, SHATTER_START_SPEED);
}

}  // namespace
