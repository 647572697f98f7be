#include "match/board_aids.h"

#include "match/aid_toggle.h"
#include "media/blend.h"
#include "media/draw.h"
#include "media/resources.h"
#include "media/sheet_cells.h"
#include "rules/board.h"

uint8_t LastMoveMarkOn = 0;
uint8_t CoordinatesOn = 0;
LastMoveRecord LastMove = {};

namespace {

constexpr int LAST_MOVE_KEY = 'H';
constexpr int COORDINATES_KEY = 'N';
// A numeral's cell from the top-left of its edge square's tile: a few pixels out from the
// middle of the tile's lower-left side for the columns, of its lower-right side for the rows.
constexpr int COLUMN_NUMERAL_X = 6;
constexpr int ROW_NUMERAL_X = 46;
constexpr int NUMERAL_Y = 43;
constexpr int NEAR_EDGE = BOARD_SIZE - 1;

uint8_t LastMoveKeyWasDown = 0;
uint8_t CoordinatesKeyWasDown = 0;

void TintSquare(int x, int y) {
    if (!OnBoard(x, y)) return;
    const Rect& cell = CellRect(CELL_LAST_MOVE);
    const ScreenPoint at = TileScreenPoint(x, y);
    BlendBlit(at.x, at.y, cell.left, cell.top, cell.right - cell.left, cell.bottom - cell.top,
              EtcSheet);
}

}  // namespace

void WatchBoardAidKeys() {
    ToggleOnPress(LAST_MOVE_KEY, &LastMoveKeyWasDown, &LastMoveMarkOn);
    ToggleOnPress(COORDINATES_KEY, &CoordinatesKeyWasDown, &CoordinatesOn);
}

void ForgetLastMove() { LastMove = {}; }

void NoteMove(int fromX, int fromY, int toX, int toY) {
    LastMove = {LAST_MOVE_MOVED, fromX, fromY, toX, toY};
}

void NotePlacement(int x, int y) { LastMove = {LAST_MOVE_PLACED, x, y, x, y}; }

void DrawLastMoveMark() {
    if (LastMoveMarkOn == 0 || LastMove.what == LAST_MOVE_NONE) return;
    if (LastMove.what == LAST_MOVE_MOVED) TintSquare(LastMove.fromX, LastMove.fromY);
    TintSquare(LastMove.toX, LastMove.toY);
}

void DrawBoardCoordinates(Surface* surface) {
    if (CoordinatesOn == 0) return;
    for (int n = 0; n < BOARD_SIZE; ++n) {
        const Rect& numeral = FamilyCellRect(CELL_COORDINATE_1, n, COORDINATE_CELL_COUNT);
        const ScreenPoint column = TileScreenPoint(n, NEAR_EDGE);
        BltFast(surface, column.x + COLUMN_NUMERAL_X, column.y + NUMERAL_Y, EtcSheet, &numeral,
                BLT_KEYED);
        const ScreenPoint row = TileScreenPoint(NEAR_EDGE, n);
        BltFast(surface, row.x + ROW_NUMERAL_X, row.y + NUMERAL_Y, EtcSheet, &numeral, BLT_KEYED);
    }
}
