// Board geometry, the pointer mapping, the occupancy test, sheet recolouring and the state dump.
#include <climits>
#include <vector>

#include "media/resources.h"
#include "platform/core/platform.h"
#include "rules/rules_dump.h"
#include "rules/setup.h"
#include "rules_test_support.h"

namespace {

TEST(RulesGeometry, PointerMapsAroundTheDiamondEdges) {
    struct Case {
        const char* name;
        int mx, my;
        int x, y;
    };
    const Case cases[] = {
        {"top corner square", 320, 136, 0, 0},
        {"one column right", 336, 152, 1, 0},
        {"top tip of square (0,0)", 304, 128, 0, 0},
        {"just left of the top tip", 303, 128, -1, 0},
        {"just above the top tip", 320, 127, -1, -1},
        {"right corner square", 576, 272, 8, 0},
        {"right of the right corner", 608, 272, 9, 0},
        {"left corner square", 64, 272, 0, 8},
        {"left of the left corner", 31, 272, 0, 9},
        {"bottom corner square", 304, 400, 8, 8},
        {"below the bottom corner", 304, 416, 9, 9},
        // Rounding towards minus infinity: truncating divisions would give (-8, 0).
        {"screen origin", 0, 0, -9, 1},
        {"most negative pointer", INT_MIN, INT_MIN, -100663305, -33554431},
        {"most positive pointer", INT_MAX, INT_MAX, 100663286, 33554432},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int32_t x = 99, y = 99;
        PointerToSquare(c.mx, c.my, &x, &y);
        EXPECT_EQ(x, c.x);
        EXPECT_EQ(y, c.y);
    }
}

TEST(RulesGeometry, EverySquareTileCentreMapsBackToItsSquare) {
    for (int y = 0; y < BOARD_SIZE; ++y) {
        for (int x = 0; x < BOARD_SIZE; ++x) {
            const ScreenPoint tile = TileScreenPoint(x, y);
            const ScreenPoint piece = PieceScreenPoint(x, y);
            const ScreenPoint mover = MoverOrigin(x, y);
            // The piece sprite stands 16 right of and 8 above the tile; the mover is 16 above.
            EXPECT_EQ(piece.x, tile.x + 16);
            EXPECT_EQ(piece.y, tile.y - 8);
            EXPECT_EQ(mover.x, tile.x);
            EXPECT_EQ(mover.y, tile.y - 16);
            int32_t bx = -1, by = -1;
            PointerToSquare(tile.x + 32, tile.y + 16, &bx, &by);
            EXPECT_EQ(bx, x) << "square " << x << "," << y;
            EXPECT_EQ(by, y) << "square " << x << "," << y;
        }
    }
    EXPECT_EQ(PieceScreenPoint(0, 0).x, 304);
    EXPECT_EQ(PieceScreenPoint(0, 0).y, 120);
    EXPECT_EQ(TileScreenPoint(8, 8).y, 384);
    EXPECT_EQ(TileScreenPoint(0, 8).x, 32);
}

TEST(RulesGeometry, FarSquaresStayFarOffScreenWithoutOverflow) {
    const ScreenPoint a = PieceScreenPoint(INT32_MAX, INT32_MIN);
    EXPECT_EQ(a.x, SCREEN_POINT_LIMIT);
    const ScreenPoint b = TileScreenPoint(INT32_MIN, INT32_MIN);
    EXPECT_EQ(b.y, -SCREEN_POINT_LIMIT);
    const ScreenPoint c = MoverOrigin(INT32_MAX, INT32_MAX);
    EXPECT_EQ(c.y, SCREEN_POINT_LIMIT);
    EXPECT_GT(SCREEN_POINT_LIMIT - 640, 1 << 16);
}

TEST_F(RulesTest, OccupancyFindsTheLowestLiveSlotOfTheSide) {
    PutPiece(3, 2, 2, KIND_GOLD);
    PutPiece(7, 2, 2, KIND_PAWN);   // same square, higher slot
    PutPiece(1, 5, 5, KIND_NONE);   // empty slot with a stale square
    PutPiece(40, 2, 2, KIND_ROOK);  // side 1 on the same square during a capture
    PutPiece(33, 6, 6, KIND_BISHOP);
    PutPiece(9, 9, 0, KIND_PAWN);     // put off the board by the layout
    PutPiece(10, -1, -1, KIND_PAWN);  // likewise, and where an off-board pointer maps
    PutPiece(63, 8, 8, KIND_KING);

    EXPECT_EQ(SidePieceAt(0, 2, 2), 3);
    EXPECT_EQ(SidePieceAt(1, 2, 2), 40);
    EXPECT_EQ(SidePieceAt(0, 6, 6), -1);
    EXPECT_EQ(SidePieceAt(1, 6, 6), 33);
    EXPECT_EQ(SidePieceAt(1, 8, 8), 63);
    EXPECT_EQ(SidePieceAt(0, 5, 5), -1);
    EXPECT_EQ(SidePieceAt(0, 9, 0), -1);
    EXPECT_EQ(SidePieceAt(0, -1, -1), -1);
    EXPECT_EQ(AnyPieceAt(-1, -1), -1);
    EXPECT_EQ(SidePieceAt(2, 2, 2), -1);
    EXPECT_EQ(SidePieceAt(-1, 2, 2), -1);
    EXPECT_EQ(AnyPieceAt(2, 2), 3);
    EXPECT_EQ(AnyPieceAt(6, 6), 33);
    EXPECT_EQ(AnyPieceAt(4, 4), -1);
}

TEST_F(RulesTest, ResetClearsTheMatchButKeepsTheSideToMove) {
    SideToMove = 1;
    TurnNumber = 57;
    SelectedPiece = 4;
    PreviousPiece = 9;
    CapturedPiece = 40;
    PutPiece(12, 1, 1, KIND_KING, 7);
    ReachTable[80] = {8, 8, 1};
    SideTally[1] = {30, 4, 9};

    ResetMatchRules();

    EXPECT_EQ(SideToMove, 1);
    EXPECT_EQ(TurnNumber, 1);
    EXPECT_EQ(SelectedPiece, -1);
    EXPECT_EQ(PreviousPiece, -1);
    EXPECT_EQ(CapturedPiece, -1);
    EXPECT_EQ(PieceTable[12].kind, 0);
    EXPECT_EQ(PieceTable[12].value, 0);
    EXPECT_EQ(ReachTable[80].reachable, 0);
    EXPECT_EQ(SideTally[1].clockSeconds, 0);
    EXPECT_EQ(SideTally[1].points, 0);
    EXPECT_EQ(SideTally[1].material, 0);
}

// --- recolouring --------------------------------------------------------------------------

class RulesRecolourTest : public ::testing::Test {
protected:
    // 13 pixels wide, so every row carries three padding bytes that must never change.
    void SetUp() override {
        sheet_ = CreateSurface(13, 7);
        ASSERT_NE(sheet_, nullptr);
        ASSERT_GT(sheet_->pitch, sheet_->width);
        for (size_t i = 0; i < sheet_->pixels.size(); ++i) {
            sheet_->pixels[i] = static_cast<uint8_t>(i * 37 % 256);
        }
        sheet_->pixels[0] = TRANSPARENT_INDEX;
        sheet_->pixels[2 * sheet_->pitch + 5] = TRANSPARENT_INDEX;
        original_ = sheet_->pixels;
    }
    void TearDown() override { ReleaseSurface(sheet_); }

    uint8_t Expected(int x, int y, uint8_t base, int left, int top, int right, int bottom) const {
        const uint8_t p = original_[static_cast<size_t>(y) * sheet_->pitch + x];
        const bool inside = x >= left && x < right && y >= top && y < bottom && x < sheet_->width;
        if (!inside || p == TRANSPARENT_INDEX) return p;
        return static_cast<uint8_t>(base + (p & 0x0F));
    }

    Surface* sheet_ = nullptr;
    std::vector<uint8_t> original_;
};

TEST_F(RulesRecolourTest, TwiceEqualsOnceWithTheSecondBank) {
    RecolourSheet(sheet_, 32, 0, 0, 13, 7);
    RecolourSheet(sheet_, 208, 0, 0, 13, 7);
    for (int y = 0; y < sheet_->height; ++y) {
        for (int x = 0; x < sheet_->pitch; ++x) {
            EXPECT_EQ(sheet_->pixels[y * sheet_->pitch + x], Expected(x, y, 208, 0, 0, 13, 7))
                << x << "," << y;
        }
    }
}

TEST_F(RulesRecolourTest, RectanglesAreClippedToTheSheet) {
    struct Case {
        const char* name;
        int left, top, width, height;
        int cl, ct, cr, cb;  // the part that must change
    };
    const Case cases[] = {
        {"inner", 2, 1, 4, 3, 2, 1, 6, 4},
        {"over every edge", -10, -10, 100, 100, 0, 0, 13, 7},
        {"huge", INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0, 0, 0, 0},
        {"huge from origin", 0, 0, INT_MAX, INT_MAX, 0, 0, 13, 7},
        {"right of the sheet", 13, 0, 5, 7, 0, 0, 0, 0},
        {"negative size", 5, 5, -3, -3, 0, 0, 0, 0},
        {"far corner", 10, 5, 10, 10, 10, 5, 13, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sheet_->pixels = original_;
        RecolourSheet(sheet_, 112, c.left, c.top, c.width, c.height);
        ASSERT_EQ(sheet_->pixels.size(), original_.size());
        for (int y = 0; y < sheet_->height; ++y) {
            for (int x = 0; x < sheet_->pitch; ++x) {
                ASSERT_EQ(sheet_->pixels[y * sheet_->pitch + x],
                          Expected(x, y, 112, c.cl, c.ct, c.cr, c.cb))
                    << x << "," << y;
            }
        }
    }
    RecolourSheet(nullptr, 112, 0, 0, 13, 7);  // a missing sheet is left alone
}

// --- state dump ---------------------------------------------------------------------------

TEST_F(RulesTest, DumpListsLiveSlotsReachableEntriesAndEveryScalar) {
    PutPiece(0, 4, 0, KIND_KING, 20);
    PutPiece(33, 2, 7, KIND_PROMOTED | KIND_ROOK, 8);
    PieceTable[5].value = 3;  // empty slot: left out
    ReachTable[0] = {4, 1, 1};
    ReachTable[2] = {5, 1, 1};
    ReachTable[1] = {9, 9, 0};
    SideTally[1] = {12, 3, 8};
    SideToMove = 1;
    TurnNumber = 6;
    SelectedPiece = 33;
    PreviousPiece = 0;
    CapturedPiece = -1;
    CursorSquare = {-2, 11};
    HoverFlag = 1;
    const int8_t costs[DROP_COST_COUNT] = {1, 2, 3, 4, 5, 6, 6, 0};
    std::copy(std::begin(costs), std::end(costs), DropCost);
    SideColourBank[0] = 224;
    SideColourBank[1] = 16;
    BoardTileStyle = 7;

    const nlohmann::json expected = nlohmann::json::parse(R"({
        "PieceTable": [{"slot": 0, "x": 4, "y": 0, "value": 20, "kind": 8},
                       {"slot": 33, "x": 2, "y": 7, "value": 8, "kind": 134}],
        "ReachTable": [{"index": 0, "x": 4, "y": 1, "reachable": 1},
                       {"index": 2, "x": 5, "y": 1, "reachable": 1}],
        "SideTally": [{"clockSeconds": 0, "points": 0, "material": 0},
                      {"clockSeconds": 12, "points": 3, "material": 8}],
        "SideToMove": 1, "TurnNumber": 6, "SelectedPiece": 33, "PreviousPiece": 0,
        "CapturedPiece": -1, "CursorSquare": {"x": -2, "y": 11}, "HoverFlag": 1,
        "DropCost": [1, 2, 3, 4, 5, 6, 6, 0], "SideColourBank": [224, 16],
        "BoardTileStyle": 7})");
    EXPECT_EQ(DumpRulesState(), expected) << DumpRulesState().dump(2);
}

}  // namespace
