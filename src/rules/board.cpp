// The match's shared state, the occupancy test and the board's screen geometry.
#include "rules/board.h"

#include <algorithm>
#include <cstring>

PieceRecord PieceTable[PIECE_SLOT_COUNT] = {};
ReachEntry ReachTable[REACH_ENTRY_COUNT] = {};
TallyRecord SideTally[2] = {};
int8_t DropCost[DROP_COST_COUNT] = {};
uint8_t SideColourBank[2] = {};
uint8_t BoardTileStyle = 0;

uint8_t SideToMove = 0;
int32_t TurnNumber = 1;
int32_t SelectedPiece = -1;
int32_t PreviousPiece = -1;
int8_t CapturedPiece = -1;
BoardSquare CursorSquare = {};
uint8_t HoverFlag = 0;

namespace {

int32_t SaturateScreen(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, -SCREEN_POINT_LIMIT, SCREEN_POINT_LIMIT));
}

// Every square's screen point is an origin plus 32 pixels per column minus row, and 16 per
// column plus row, which gives the isometric diamond.
ScreenPoint DiamondPoint(int32_t originX, int32_t originY, int32_t x, int32_t y) {
    const int64_t wx = x;
    const int64_t wy = y;
    return {SaturateScreen(originX + 32 * (wx - wy)), SaturateScreen(originY + 16 * (wx + wy))};
}

}  // namespace

int SidePieceAt(int side, int x, int y) {
    if ((side != 0 && side != 1) || !OnBoard(x, y)) return -1;
    const int first = FirstSlotOf(side);
    for (int slot = first; slot < first + SIDE_SLOT_COUNT; ++slot) {
        const PieceRecord& p = PieceTable[slot];
        if (p.kind != KIND_NONE && p.x == x && p.y == y) return slot;
    }
    return -1;
}

int AnyPieceAt(int x, int y) {
    const int slot = SidePieceAt(0, x, y);
    return slot >= 0 ? slot : SidePieceAt(1, x, y);
}

void ResetMatchRules() {
    SelectedPiece = -1;
    PreviousPiece = -1;
    CapturedPiece = -1;
    std::memset(PieceTable, 0, sizeof PieceTable);
    std::memset(ReachTable, 0, sizeof ReachTable);
    std::memset(SideTally, 0, sizeof SideTally);
    TurnNumber = 1;
}

ScreenPoint PieceScreenPoint(int32_t x, int32_t y) { return DiamondPoint(304, 120, x, y); }

ScreenPoint TileScreenPoint(int32_t x, int32_t y) { return DiamondPoint(288, 128, x, y); }

ScreenPoint MoverOrigin(int32_t x, int32_t y) { return DiamondPoint(288, 112, x, y); }

void PointerToSquare(int mx, int my, int32_t* x, int32_t* y) {
    // Half-diamond steps: u counts 32-pixel columns, v 16-pixel rows from square (0, 0)'s tile.
    // Arithmetic shifts round towards minus infinity, so points left of or above the diamond
    // map to negative squares instead of folding onto row or column 0.
    const int64_t u = (static_cast<int64_t>(mx) - 304) >> 5;
    const int64_t v = (static_cast<int64_t>(my) - 128) >> 4;
    *x = static_cast<int32_t>((u + v) >> 1);
    *y = static_cast<int32_t>((v - u) >> 1);
}
