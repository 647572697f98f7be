#include "match/board_draw.h"

#include "match/board_aids.h"
#include "match/kind_labels.h"
#include "match/match.h"
#include "media/blend.h"
#include "media/draw.h"
#include "media/resources.h"
#include "media/sheet_cells.h"
#include "rules/board.h"
#include "state/loop_state.h"

namespace {

constexpr int MASK_SHADE = 253;
constexpr int PROMPT_STATE = 13;
// Where the tall cell draws the token of the 32x32 board sprite: 16 pixels right and two rows
// lower, so that the lifted piece stands on the same foot line.
constexpr int TALL_TOKEN_X = 16;
constexpr int TALL_TOKEN_Y = 2;

int Side(int slot) { return slot >> 5; }
bool ValidSlot(int slot) { return slot >= 0 && slot < PIECE_SLOT_COUNT; }
int Frame4(int n) { return ((n % 4) + 4) % 4; }

const Rect& MoteCell(int k) { return FamilyCellRect(CELL_MOTE_0, k, FRAME_CELL_COUNT); }

const Rect& TileCell(int style) {
    const int s = style >= 0 && style < TILE_CELL_COUNT ? style : 0;
    return CellRect(CELL_TILE_0 + s);
}

// A side's tall piece: the full cell, of which the top h rows are drawn.
const Rect& TallCell(int side) { return CellRect(side == 0 ? CELL_TALL_0 : CELL_TALL_1); }
Rect TallCell(int side, int h) {
    Rect cell = TallCell(side);
    cell.bottom = cell.top + h;
    return cell;
}

void DrawHandButton(Surface* surface) {
    const int side = SideToMove == 0 ? 0 : 1;
    const int x = side == 0 ? 581 : 157;
    Surface* sheet = SideSheet[side];
    BltFast(surface, x, 80, sheet, &CellRect(CELL_HAND_BUTTON), BLT_KEYED);
    for (int k : {Frame4(AnimTick), Frame4(AnimTick + 1)}) {
        BltFast(surface, x, 80, sheet, &FamilyCellRect(CELL_FLAME_0, k, FRAME_CELL_COUNT),
                BLT_KEYED);
    }
}

void DrawPads(Surface* surface) {
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            BltFast(surface, 516 + 16 * c - 16 * r, 32 + 8 * r + 8 * c, SideSheet[0],
                    &CellRect(CELL_PAD_TILE), BLT_KEYED);
            BltFast(surface, 93 + 16 * c - 16 * r, 32 + 8 * r + 8 * c, SideSheet[1],
                    &CellRect(CELL_PAD_TILE), BLT_KEYED);
        }
    }
    const Rect& mote = MoteCell(Frame4(AnimTick >> 1));
    if (SideTally[0].points != 0) BltFast(surface, 516, 32, SideSheet[0], &mote, BLT_KEYED);
    if (SideTally[1].points != 0) BltFast(surface, 93, 32, SideSheet[1], &mote, BLT_KEYED);
}

void DrawPreviousPiece(Surface* surface, int previousSize) {
    const PieceRecord& p = PieceTable[PreviousPiece];
    if (!OnBoard(p.x, p.y)) return;
    const int side = Side(PreviousPiece);
    const Rect cell = TallCell(side, previousSize);
    const int x = 32 * (p.x - p.y + 9);
    const int y = 16 * (p.x + p.y) + 150 - previousSize;
    BltFast(surface, x, y, SideSheet[side], &cell, BLT_KEYED);
    DrawKindLabel(surface, PreviousPiece, x + TALL_TOKEN_X, y + TALL_TOKEN_Y);
}

void DrawSelectedPiece(Surface* surface, int state, int moverX, int moverY, int selectSize) {
    if (state == MATCH_MOVE || state == MATCH_LANDING) {
        // Up to four translucent copies of the moving piece at its last four positions.
        const int mover = SideToMove == 0 ? 0 : 1;
        const Rect& tall = TallCell(mover);
        for (int r = 3; r >= 0; --r) {
            BlendBlit(MoverTrail[r].x, MoverTrail[r].y - 10, tall.left, tall.top, 64, 64,
                      SideSheet[mover]);
        }
    }
    const int side = Side(SelectedPiece);
    BltClipped(surface, moverX, moverY + 38 - selectSize, 64, selectSize, SideSheet[side],
               TallCell(side, selectSize), BLT_KEYED);
    DrawKindLabel(surface, SelectedPiece, moverX + TALL_TOKEN_X,
                  moverY + 38 - selectSize + TALL_TOKEN_Y);
}

}  // namespace

void DrawBoard(Surface* surface, int state, int moverX, int moverY, int selectSize,
               int previousSize) {
    BltFast(surface, 30, 400, EtcSheet, &CellRect(CELL_PLATE), BLT_KEYED);
    DrawHandButton(surface);
    DrawPads(surface);

    const Rect& tile = TileCell(BoardTileStyle);
    for (int y = 0; y < BOARD_SIZE; ++y) {
        for (int x = 0; x < BOARD_SIZE; ++x) {
            const ScreenPoint at = TileScreenPoint(x, y);
            BltFast(surface, at.x, at.y, EtcSheet, &tile, BLT_KEYED);
        }
    }
    DrawBoardCoordinates(surface);
    DrawLastMoveMark();
    for (const ReachEntry& entry : ReachTable) {
        if (entry.reachable == 0 || !OnBoard(entry.x, entry.y)) continue;
        const ScreenPoint at = TileScreenPoint(entry.x, entry.y);
        BltFast(surface, at.x, at.y, EtcSheet, &CellRect(CELL_REACH_MARKER), BLT_KEYED);
    }
    if (OnBoard(CursorSquare.x, CursorSquare.y) && state != PROMPT_STATE) {
        const ScreenPoint at = TileScreenPoint(CursorSquare.x, CursorSquare.y);
        BltFast(surface, at.x, at.y, EtcSheet, &CellRect(CELL_CURSOR_SQUARE), BLT_KEYED);
    }

    for (int i = 0; i < PIECE_SLOT_COUNT; ++i) {
        const PieceRecord& p = PieceTable[i];
        if (p.kind == KIND_NONE || i == SelectedPiece || i == PreviousPiece) continue;
        if (!OnBoard(p.x, p.y)) continue;
        const ScreenPoint at = PieceScreenPoint(p.x, p.y);
        BltFast(surface, at.x, at.y, SideSheet[Side(i)], &CellRect(CELL_PIECE_0 + Side(i)),
                BLT_KEYED);
        DrawKindLabel(surface, i, at.x, at.y);
    }

    // The tall pieces: the one further down the board is drawn last, the selected piece on a
    // tie, so the nearer piece stands in front.
    const bool hasSelected = ValidSlot(SelectedPiece);
    const bool hasPrevious = ValidSlot(PreviousPiece);
    bool previousLast = false;
    if (hasSelected && hasPrevious) {
        previousLast = PieceTable[PreviousPiece].y > PieceTable[SelectedPiece].y;
    }
    if (hasPrevious && !previousLast) DrawPreviousPiece(surface, previousSize);
    if (hasSelected) DrawSelectedPiece(surface, state, moverX, moverY, selectSize);
    if (hasPrevious && previousLast) DrawPreviousPiece(surface, previousSize);
}

void RebuildReachMarker(uint8_t bank, int level) {
    LockedSurface sheet;
    if (!LockSurface(EtcSheet, &sheet)) return;
    // The marker, its mask and the tile row it borrows colours from must all lie in the sheet:
    // the top row of the tile cell below the mask, column for column.
    const Rect& marker = CellRect(CELL_REACH_MARKER);
    const Rect& mask = CellRect(CELL_REACH_MASK);
    const Rect& tile = CellRect(CELL_TILE_0 + 1);
    if (sheet.width >= mask.right && sheet.height > tile.top) {
        const uint8_t* tileRow = sheet.pixels + static_cast<size_t>(tile.top) * sheet.pitch;
        for (int row = 0; row < marker.bottom - marker.top; ++row) {
            uint8_t* line = sheet.pixels + static_cast<size_t>(marker.top + row) * sheet.pitch;
            const uint8_t* shape = sheet.pixels + static_cast<size_t>(mask.top + row) * sheet.pitch;
            for (int col = 0; col < marker.right - marker.left; ++col) {
                line[marker.left + col] = shape[mask.left + col] == MASK_SHADE
                                              ? static_cast<uint8_t>(bank + level)
                                              : tileRow[tile.left + col];
            }
        }
    }
    UnlockSurface(EtcSheet);
}
