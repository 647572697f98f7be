// The match load: what a new match starts from, and what it keeps from the match before.
#include <gtest/gtest.h>

#include "match/effects.h"
#include "match/match.h"
#include "media/resources.h"
#include "rules/board.h"
#include "rules/placing_panel.h"
#include "state/loop_state.h"
#include "support/test_files.h"

namespace {

TEST(MatchLoad, SecondMatchStartsCleanButKeepsTheSideToMove) {
    const auto dir = testfiles::MakeTestDataDir("match-load");
    testfiles::WriteText(dir / "DATA/TXT/SYOGI.dat", "4,0,8,10,\n");
    testfiles::ScopedCwd cwd(dir);
    // The state a forfeited match may leave behind: the panel half open, motes in flight.
    SideToMove = 1;
    TurnNumber = 9;
    MatchClock = 300;
    MatchState = MATCH_PLACING;
    PlacePanelStep = PLACE_FLYING;
    PlacePanelSize = 16;
    PlaceChoice = 5;
    PointMoteTable[4].delay = 1;
    SideTally[0] = {10, 4, 20};
    SelectSize = 40;

    MatchLoad();
    EXPECT_EQ(Scene, SCENE_MATCH);
    EXPECT_EQ(MatchState, MATCH_OPENING);
    EXPECT_EQ(TurnNumber, 1);
    EXPECT_EQ(MatchClock, 0);
    EXPECT_EQ(SideToMove, 1);
    EXPECT_EQ(SelectSize, 40);
    EXPECT_EQ(SideTally[0].points, 0);
    EXPECT_EQ(SideTally[0].clockSeconds, 0);
    EXPECT_EQ(PointMoteTable[4].delay, 0);
    EXPECT_EQ(PlacePanelStep, PLACE_OPENING);
    EXPECT_EQ(PlacePanelSize, 0);
    EXPECT_EQ(PlaceChoice, 0);
    EXPECT_EQ(PieceTable[0].kind, KIND_KING);
    for (Surface* s : {EtcSheet, SaveSurface, SideSheet[0], SideSheet[1], RankSheet, DimSurface}) {
        ASSERT_NE(s, nullptr);
        EXPECT_TRUE(s->hasColourKey);
        EXPECT_EQ(s->colourKey, TRANSPARENT_INDEX);
    }
    EXPECT_EQ(EtcSheet->width, 320);
    EXPECT_EQ(SideSheet[1]->height, 96);
    ReleaseMatchSurfaces();
    SideToMove = 0;
    Scene = 0;
}

}  // namespace
