// The promotion zone and prompt, the placing panel and the piece info panel: their answers,
// their step counts and what they leave in the piece table.
#include <gtest/gtest.h>

#include <vector>

#include "rules/info_panel.h"
#include "rules/placing_panel.h"
#include "rules/promotion.h"
#include "support/match_test_support.h"

namespace {

using matchtest::MatchTest;
using matchtest::PixelAt;

// ---------------------------------------------------------------------------------------------
// Promotion

TEST(MatchPromotionZone, FarThreeRowsOfEachSide) {
    for (int row = 0; row < 9; ++row) {
        EXPECT_EQ(InPromotionZone(0, row), row >= 6) << "side 0 row " << row;
        EXPECT_EQ(InPromotionZone(1, row), row <= 2) << "side 1 row " << row;
    }
}

TEST_F(MatchTest, PromotionIsOfferedByTheDestinationRowOnlyAndNeverTwice) {
    struct Case {
        int side, row;
        uint8_t kind;
        bool offered;
    };
    const Case cases[] = {
        {0, 6, KIND_SILVER, true},
        {0, 5, KIND_SILVER, false},
        {1, 2, KIND_PAWN, true},
        {1, 3, KIND_PAWN, false},
        {0, 8, KIND_PAWN | KIND_PROMOTED, false},
    };
    for (const Case& c : cases) {
        SideToMove = static_cast<uint8_t>(c.side);
        SelectedPiece = 32 * c.side + 3;
        PieceTable[SelectedPiece] = {4, c.row, 1, c.kind};
        EXPECT_EQ(PromotionOffered(), c.offered) << "side " << c.side << " row " << c.row;
    }
    SelectedPiece = -1;
    EXPECT_FALSE(PromotionOffered());
}

struct PromptCase {
    const char* name;
    uint8_t kind;
    int mx, my;
    uint8_t buttons;
    int answer;
    bool hover;
};

class MatchPrompt : public MatchTest, public ::testing::WithParamInterface<PromptCase> {};

// The anchor is (224, 272): promote area x 219..250, keep area x 261..292, rows 232..263.
TEST_P(MatchPrompt, Answers) {
    const PromptCase& c = GetParam();
    SelectedPiece = 2;
    PieceTable[2] = {4, 6, 4, c.kind};
    MouseButtons = c.buttons;
    const std::vector<uint8_t> before = BackBuffer->pixels;
    EXPECT_EQ(PromotionPrompt(BackBuffer, 224, 272, c.mx, c.my), c.answer);
    EXPECT_EQ(HoverFlag != 0, c.hover);
    const bool drew = BackBuffer->pixels != before;
    EXPECT_EQ(drew, c.kind != KIND_GOLD && c.kind != KIND_KING);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MatchPrompt,
    ::testing::Values(
        PromptCase{"GoldAnswersKeepWithoutDrawing", KIND_GOLD, 230, 250, 0x10, 2, false},
        PromptCase{"KingAnswersKeepWithoutDrawing", KIND_KING, 0, 0, 0, 2, false},
        PromptCase{"AwayFromBothWaits", KIND_SILVER, 100, 100, 0x10, 0, false},
        PromptCase{"OverPromoteWithoutButtonWaits", KIND_SILVER, 219, 232, 0, 0, true},
        PromptCase{"HeldOverPromotePromotes", KIND_SILVER, 250, 263, 0x10, 1, true},
        PromptCase{"LeftOfPromoteAreaWaits", KIND_SILVER, 218, 240, 0x10, 0, false},
        PromptCase{"HeldOverKeepKeeps", KIND_PAWN, 261, 232, 0x10, 2, true},
        PromptCase{"RightOfKeepAreaWaits", KIND_PAWN, 293, 240, 0x10, 0, false},
        PromptCase{"RightButtonDoesNotAnswer", KIND_PAWN, 230, 240, 0x01, 0, true}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------
// Placing panel

class MatchPlacing : public MatchTest {
protected:
    void SetUp() override {
        MatchTest::SetUp();
        ResetPlacePanel();
        const int8_t costs[8] = {1, 2, 3, 4, 5, 6, 6, 0};
        for (int i = 0; i < 8; ++i) DropCost[i] = costs[i];
    }
    // Runs frames until the panel answers; returns the answer and counts the frames.
    int RunUntilAnswer(int mx, int my, int* frames, int limit = 200) {
        for (*frames = 1; *frames <= limit; ++*frames) {
            const int answer = PlacePanel(mx, my);
            if (answer != PLACE_RUNNING) return answer;
        }
        return PLACE_RUNNING;
    }
    void OpenToChoosing() {
        for (int i = 0; i < 18; ++i) PlacePanel(0, 0);
        ASSERT_EQ(PlacePanelStep, PLACE_CHOOSING);
    }
    // A left click (button down, up at the last frame) over the given point.
    void ClickAt(int mx, int my) {
        MouseButtons = MOUSE_LEFT_HELD;
        MouseWasUp = MOUSE_LEFT_HELD;
        PlacePanel(mx, my);
        MouseButtons = 0;
        MouseWasUp = 0xFF;
    }
};

TEST_F(MatchPlacing, HandButtonNeedsPointsAndAHeldButtonOverTheSidesButton) {
    struct Case {
        int side, mx, my, points;
        uint8_t buttons;
        int answer;
    };
    const Case cases[] = {
        {0, 581, 80, 1, 0x10, 1}, {0, 612, 111, 1, 0x01, 1}, {0, 613, 90, 1, 0x10, 0},
        {0, 590, 90, 0, 0x10, 0}, {0, 590, 90, 3, 0, 0},     {1, 157, 80, 2, 0x10, 1},
        {1, 590, 90, 2, 0x10, 0}, {0, 160, 90, 2, 0x10, 0},
    };
    for (const Case& c : cases) {
        SideToMove = static_cast<uint8_t>(c.side);
        SideTally[c.side].points = c.points;
        MouseButtons = c.buttons;
        HoverFlag = 0;
        EXPECT_EQ(HandButtonTest(c.mx, c.my), c.answer)
            << "side " << c.side << " at " << c.mx << "," << c.my;
        SideTally[c.side].points = 0;
    }
}

TEST_F(MatchPlacing, OpensInSixteenFramesAndListsEveryEmptySquareInRowOrder) {
    PieceTable[0] = {4, 0, 10, KIND_KING};
    PieceTable[33] = {0, 1, 1, KIND_PAWN};
    PieceTable[34] = {12, 1, 1, KIND_PAWN};  // off the board: its square stays out of play
    PieceTable[35] = {8, 8, 1, KIND_NONE};   // an empty slot takes no square
    ReachTable[70] = {3, 3, 1};              // a stale destination of a selected piece
    for (int frame = 1; frame <= 16; ++frame) {
        PlacePanel(0, 0);
        EXPECT_EQ(PlacePanelSize, frame);
    }
    EXPECT_EQ(PlacePanelStep, PLACE_OPENING);
    PlacePanel(0, 0);
    EXPECT_EQ(PlacePanelStep, PLACE_LISTING);
    PlacePanel(0, 0);
    EXPECT_EQ(PlacePanelStep, PLACE_CHOOSING);
    std::vector<std::pair<int, int>> listed;
    for (const ReachEntry& e : ReachTable) {
        if (e.reachable) listed.emplace_back(e.x, e.y);
    }
    std::vector<std::pair<int, int>> expected;
    for (int y = 0; y < 9; ++y) {
        for (int x = 0; x < 9; ++x) {
            if (!(x == 4 && y == 0) && !(x == 0 && y == 1)) expected.emplace_back(x, y);
        }
    }
    EXPECT_EQ(listed, expected);
}

TEST_F(MatchPlacing, RightArrowStopsAtTheDearestAffordableKind) {
    // Right arrow area: x 591..642, rows 40..71 for side 0's panel at (469, 0).
    struct Case {
        int points, lastChoice;
    };
    for (const Case c : {Case{5, 4}, Case{6, 6}, Case{2, 1}, Case{1, 0}}) {
        ResetPlacePanel();
        SideTally[0].points = c.points;
        OpenToChoosing();
        for (int i = 0; i < 9; ++i) ClickAt(600, 50);
        EXPECT_EQ(PlaceChoice, c.lastChoice) << c.points << " points";
    }
}

TEST_F(MatchPlacing, LeftArrowStepsDownToThePawnWhateverThePoints) {
    SideToMove = 1;  // side 1's panel at (45, 0): left arrow x 15..66, rows 40..71
    SideTally[1].points = 6;
    OpenToChoosing();
    for (int i = 0; i < 6; ++i) ClickAt(180, 50);
    ASSERT_EQ(PlaceChoice, 6);
    SideTally[1].points = 2;
    for (int i = 0; i < 3; ++i) ClickAt(20, 60);
    EXPECT_EQ(PlaceChoice, 3);
    for (int i = 0; i < 5; ++i) ClickAt(20, 60);
    EXPECT_EQ(PlaceChoice, 0);
}

TEST_F(MatchPlacing, HeldArrowWithoutANewClickDoesNotStep) {
    SideTally[0].points = 6;
    OpenToChoosing();
    MouseButtons = MOUSE_LEFT_HELD;
    MouseWasUp = 0;
    for (int i = 0; i < 5; ++i) PlacePanel(600, 50);
    EXPECT_EQ(PlaceChoice, 0);
    EXPECT_NE(HoverFlag, 0);
}

TEST_F(MatchPlacing, PlacedPieceTakesTheLowestFreeSlotAndPaysItsCost) {
    for (int slot = 0; slot < 20; ++slot) PieceTable[slot] = {slot % 9, slot / 9, 1, KIND_PAWN};
    PieceTable[5].kind = KIND_NONE;  // emptied by a capture: reused first
    PieceTable[5].x = 8;
    PieceTable[5].y = 8;
    SideTally[0].points = 4;
    OpenToChoosing();
    ClickAt(600, 50);
    ClickAt(600, 50);
    ASSERT_EQ(PlaceChoice, 2);
    CursorSquare = {6, 7};
    MouseButtons = MOUSE_LEFT_HELD;
    MouseWasUp = 0;
    PlacePanel(0, 0);
    ASSERT_EQ(PlacePanelStep, PLACE_FLYING);
    MouseButtons = 0;
    for (int f = 1; f < PLACE_FLIGHT_FRAMES; ++f) PlacePanel(0, 0);
    EXPECT_EQ(PlaceFlightFrame, PLACE_FLIGHT_FRAMES - 1);
    EXPECT_EQ(PieceTable[5].kind, KIND_NONE);
    PlacePanel(0, 0);
    EXPECT_EQ(PieceTable[5].kind, KIND_KNIGHT);
    EXPECT_EQ(PieceTable[5].x, 6);
    EXPECT_EQ(PieceTable[5].y, 7);
    EXPECT_EQ(PieceTable[5].value, 3);
    EXPECT_EQ(SideTally[0].points, 1);
    // The icon lands near the piece position of the square, 8 pixels above the sprite.
    EXPECT_NEAR(PlaceFlightIcon.x, 304 + 32 * (6 - 7), 6);
    EXPECT_NEAR(PlaceFlightIcon.y, 112 + 16 * (6 + 7), 6);
    int frames = 0;
    EXPECT_EQ(RunUntilAnswer(0, 0, &frames), PLACE_DONE);
    EXPECT_EQ(frames, 18);  // 16 frames of closing, the report step, then the answer
    EXPECT_EQ(PlacePanelStep, PLACE_OPENING);
    EXPECT_EQ(PlaceChoice, 0);
    EXPECT_EQ(PlacePanelSize, 0);
}

TEST_F(MatchPlacing, NoFreeSlotReportsCancelledWithoutSpendingOrClosing) {
    for (int slot = 0; slot < 32; ++slot) PieceTable[slot] = {slot % 9, slot / 9, 1, KIND_PAWN};
    SideTally[0].points = 3;
    OpenToChoosing();
    CursorSquare = {8, 8};
    MouseButtons = MOUSE_LEFT_HELD;
    PlacePanel(0, 0);
    ASSERT_EQ(PlacePanelStep, PLACE_FLYING);
    MouseButtons = 0;
    int frames = 0;
    EXPECT_EQ(RunUntilAnswer(0, 0, &frames), PLACE_CANCELLED);
    EXPECT_EQ(frames, PLACE_FLIGHT_FRAMES + 1);
    EXPECT_EQ(SideTally[0].points, 3);
    EXPECT_EQ(PlacePanelSize, 16);  // the next opening shows the full panel at once
    for (int slot = 32; slot < 64; ++slot) EXPECT_EQ(PieceTable[slot].kind, KIND_NONE);
}

TEST_F(MatchPlacing, RightClickClosesInSixteenFramesAndCancels) {
    SideTally[0].points = 2;
    OpenToChoosing();
    MouseButtons = MOUSE_RIGHT_HELD;
    MouseWasUp = MOUSE_RIGHT_HELD;
    PlacePanel(0, 0);
    EXPECT_EQ(PlacePanelStep, PLACE_CANCEL_CLOSING);
    MouseButtons = 0;
    int frames = 0;
    EXPECT_EQ(RunUntilAnswer(0, 0, &frames), PLACE_CANCELLED);
    EXPECT_EQ(frames, 18);
    EXPECT_EQ(SideTally[0].points, 2);
}

// ---------------------------------------------------------------------------------------------
// Piece info panel

class MatchInfoPanel : public MatchTest {
protected:
    void SetUp() override {
        MatchTest::SetUp();
        InfoTarget = -1;
        InfoPiece = -1;
        InfoHover = 0;
        InfoStarted = false;
        PieceTable[0] = {0, 0, 12, KIND_KING};
        PieceTable[33] = {5, 5, 3, KIND_SILVER};
    }
    std::vector<int> Offsets(int frames, int state = 0) {
        std::vector<int> out;
        for (int i = 0; i < frames; ++i) {
            HoverFlag = 0;
            PieceInfoPanel(BackBuffer, 450, 380, state);
            out.push_back(InfoOffset);
        }
        return out;
    }
};

TEST_F(MatchInfoPanel, StartsOutAndSwitchesPiecesBySlidingOutAndIn) {
    EXPECT_EQ(Offsets(3), (std::vector<int>{222, 222, 222}));
    EXPECT_EQ(InfoPiece, 0);  // the slot found last (none yet: the initial 0) is not shown
    CursorSquare = {0, 0};
    Offsets(20);
    ASSERT_EQ(InfoOffset, -2);
    ASSERT_EQ(InfoPiece, 0);
    CursorSquare = {5, 5};
    const std::vector<int> expected = {-2,  -2,  30,  62,  94, 126, 158, 190, 222,
                                       222, 190, 158, 126, 94, 62,  30,  -2,  -2};
    std::vector<int> pieces;
    std::vector<int> offsets;
    for (int i = 0; i < static_cast<int>(expected.size()); ++i) {
        offsets.push_back(Offsets(1)[0]);
        pieces.push_back(InfoPiece);
    }
    EXPECT_EQ(offsets, expected);
    EXPECT_EQ(pieces[8], 0);
    EXPECT_EQ(pieces[9], 33);
}

TEST_F(MatchInfoPanel, OwnPieceSetsHoverEnemyPieceDoesNot) {
    CursorSquare = {0, 0};
    Offsets(1);
    EXPECT_NE(HoverFlag, 0);
    CursorSquare = {5, 5};
    Offsets(1);
    EXPECT_EQ(HoverFlag, 0);
    SideToMove = 1;
    Offsets(1);
    EXPECT_NE(HoverFlag, 0);
    // A listed destination among the first 20 entries also counts; a later entry does not.
    CursorSquare = {7, 7};
    ReachTable[19] = {7, 7, 1};
    Offsets(1);
    EXPECT_NE(HoverFlag, 0);
    ReachTable[19].reachable = 0;
    ReachTable[20] = {7, 7, 1};
    Offsets(1);
    EXPECT_EQ(HoverFlag, 0);
}

TEST_F(MatchInfoPanel, PromptFreezesThePanel) {
    CursorSquare = {0, 0};
    Offsets(4);
    const int offset = InfoOffset;
    const std::vector<uint8_t> before = BackBuffer->pixels;
    Offsets(5, 13);
    EXPECT_EQ(InfoOffset, offset);
    EXPECT_EQ(HoverFlag, 0);
    EXPECT_EQ(BackBuffer->pixels, before);
}

TEST_F(MatchInfoPanel, ShowsSquareCountedFromOneAndTheValue) {
    CursorSquare = {0, 0};
    Offsets(20);
    ASSERT_EQ(InfoOffset, -2);
    const int x0 = 448;
    EXPECT_EQ(matchtest::ReadGlyphs(BackBuffer, x0 + 110, x0 + 126, 416, 2), "1");
    EXPECT_EQ(matchtest::ReadGlyphs(BackBuffer, x0 + 126, x0 + 142, 416, 2), "1");
    EXPECT_EQ(matchtest::ReadGlyphs(BackBuffer, x0 + 110, x0 + 142, 440, 1), "12");
}

TEST_F(MatchInfoPanel, OddKindBytesDrawNoIconButKeepTheBadge) {
    PieceTable[0].kind = KIND_PROMOTED;  // kind bits 0: no icon
    EtcSheet->pixels[static_cast<size_t>(130) * EtcSheet->pitch + 260] = 77;  // badge colour
    CursorSquare = {0, 0};
    Offsets(20);
    EXPECT_EQ(PixelAt(BackBuffer, 448 + 110 + 4, 380 + 2), 77);
    // The icon place shows nothing of the sheet.
    EXPECT_EQ(PixelAt(BackBuffer, 448 + 68 + 8, 380 + 8), matchtest::BACKGROUND);
}

}  // namespace
