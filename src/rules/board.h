#pragma once
// The data model of a match: the 9x9 board and where its squares stand on the screen, the 64
// piece slots, the side to move and the selection, the table of squares a piece may reach, the
// per-side tallies, the placing costs and the side colours. The match setup that reads the
// opening layout and colours the two sides is in setup.h.
//
// There is no board array: the piece on a square is found by scanning the piece slots with
// SidePieceAt or AnyPieceAt, which every part of the game uses for that purpose.

#include <cstdint>

// ---------------------------------------------------------------------------------------------
// Board and pieces

constexpr int BOARD_SIZE = 9;
constexpr int PIECE_SLOT_COUNT = 64;
constexpr int SIDE_SLOT_COUNT = 32;         // slots 0..31 are side 0's, 32..63 side 1's
constexpr int LAYOUT_PIECES_PER_SIDE = 20;  // the layout fills slots 0..19 and 32..51

// Piece kinds: the low five bits of PieceRecord::kind. Bit 7 marks a promoted piece.
constexpr uint8_t KIND_NONE = 0;  // an empty slot (whole kind byte 0)
constexpr uint8_t KIND_PAWN = 1;
constexpr uint8_t KIND_LANCE = 2;
constexpr uint8_t KIND_KNIGHT = 3;
constexpr uint8_t KIND_SILVER = 4;
constexpr uint8_t KIND_GOLD = 5;
constexpr uint8_t KIND_ROOK = 6;
constexpr uint8_t KIND_BISHOP = 7;
constexpr uint8_t KIND_KING = 8;
constexpr uint8_t KIND_MASK = 0x1F;
constexpr uint8_t KIND_PROMOTED = 0x80;

// One piece slot. A slot whose kind byte is 0 is empty and its other fields mean nothing.
// The layout file may hold any kind byte and any square: code that indexes a table by kind must
// mask with KIND_MASK and range-check the result, and a piece whose square is off the board is
// never found on any square (see SidePieceAt).
struct PieceRecord {
    int32_t x;      // column 0..8
    int32_t y;      // row 0..8
    int32_t value;  // points the capturer gains; value & 31 counts towards material
    uint8_t kind;   // 0 empty; KIND_MASK bits the kind; KIND_PROMOTED when promoted
};

extern PieceRecord PieceTable[PIECE_SLOT_COUNT];

// The side that owns a slot.
constexpr int SlotOwner(int slot) { return slot / SIDE_SLOT_COUNT; }
// The first slot of a side; losing the piece in it loses the match.
constexpr int FirstSlotOf(int side) { return side * SIDE_SLOT_COUNT; }

constexpr bool OnBoard(int64_t x, int64_t y) {
    return x >= 0 && x < BOARD_SIZE && y >= 0 && y < BOARD_SIZE;
}

// The occupancy test: the lowest slot of side (0 or 1) holding a live piece on (x, y), or -1.
// A square off the board holds nothing, so a piece the layout put off the board can never be
// picked up, captured or shown; any other side number also gives -1.
int SidePieceAt(int side, int x, int y);
// The same over all 64 slots in ascending order (a piece of either side).
int AnyPieceAt(int x, int y);

// ---------------------------------------------------------------------------------------------
// Squares a selected piece may move to (or, while placing, the empty squares)

constexpr int REACH_ENTRY_COUNT = 81;

struct ReachEntry {
    int32_t x;
    int32_t y;
    uint8_t reachable;  // 1 = offered to the player; x and y mean nothing while 0
};

extern ReachEntry ReachTable[REACH_ENTRY_COUNT];

// ---------------------------------------------------------------------------------------------
// Tallies, costs and colours

struct TallyRecord {
    int32_t clockSeconds;  // seconds spent on this side's turns
    int32_t points;        // spendable points, earned by capturing
    int32_t material;      // sum of value & 31 over the side's live pieces
};

extern TallyRecord SideTally[2];

// Cost of placing kinds 1..7, then 0 marking the end of the list.
constexpr int DROP_COST_COUNT = 8;
extern int8_t DropCost[DROP_COST_COUNT];

// Palette bank times 16 for each side; every opaque pixel of a side's sheet lies in its bank.
extern uint8_t SideColourBank[2];
// Which of the ten board tile graphics the squares are drawn with, 0..9.
extern uint8_t BoardTileStyle;

// ---------------------------------------------------------------------------------------------
// Turn, selection and pointer state

extern uint8_t SideToMove;     // 0 or 1; kept from one match to the next
extern int32_t TurnNumber;     // 1 at the start of a match, +1 at each change of side
extern int32_t SelectedPiece;  // slot picked up by the side to move, -1 for none
extern int32_t PreviousPiece;  // slot selected before SelectedPiece, -1 for none
extern int8_t CapturedPiece;   // slot taken by the move in progress, -1 for none

struct BoardSquare {
    int32_t x;
    int32_t y;
};
// The square under the pointer; not clamped, so it may lie off the board.
extern BoardSquare CursorSquare;
// Set when the pointer is over something that reacts to a click.
extern uint8_t HoverFlag;

// Clears what a new match starts without: all piece slots, the reach table, both tallies and
// the selection, and sets TurnNumber to 1. SideToMove is kept, so the side that was to move at
// the end of the last match opens the next one.
void ResetMatchRules();

// ---------------------------------------------------------------------------------------------
// Board geometry on the 640x480 screen. Square (0, 0) is the top corner of the diamond, (8, 0)
// the right corner, (0, 8) the left and (8, 8) the bottom. Squares far off the board give points
// held at +-SCREEN_POINT_LIMIT, still far off the screen, so callers may add sprite offsets.

constexpr int32_t SCREEN_POINT_LIMIT = 1 << 20;

struct ScreenPoint {
    int32_t x;
    int32_t y;
};

// Top-left of the 32x32 piece sprite standing on the square.
ScreenPoint PieceScreenPoint(int32_t x, int32_t y);
// Top-left of the square's 64x48 board tile.
ScreenPoint TileScreenPoint(int32_t x, int32_t y);
// Where a picked-up piece's tall sprite is anchored on the square.
ScreenPoint MoverOrigin(int32_t x, int32_t y);

// The square under screen point (mx, my), rounding every division towards minus infinity. The
// result is not clamped: a pointer off the diamond gives a square off the board.
void PointerToSquare(int mx, int my, int32_t* x, int32_t* y);
