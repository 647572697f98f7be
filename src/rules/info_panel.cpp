#include "rules/info_panel.h"

#include <cstdint>

#include "media/digits.h"
#include "media/draw.h"
#include "media/resources.h"
#include "media/sheet_cells.h"
#include "rules/board.h"

int32_t InfoTarget = -1;
int32_t InfoPiece = -1;
int32_t InfoHover = 0;
int32_t InfoOffset = 0;
bool InfoStarted = false;

namespace {

constexpr int PROMPT_STATE = 13;
constexpr int DESTINATION_ENTRIES = 20;

bool ValidSlot(int slot) { return slot >= 0 && slot < PIECE_SLOT_COUNT; }

void Slide() {
    if (InfoTarget != -1) {
        if (InfoOffset > 0) InfoOffset -= INFO_SLIDE_STEP;
    } else if (InfoOffset < INFO_OUT_OFFSET) {
        InfoOffset += INFO_SLIDE_STEP;
    } else {
        InfoTarget = InfoHover;
        InfoPiece = InfoHover;
    }
}

void FindPieceUnderPointer() {
    const int slot = AnyPieceAt(CursorSquare.x, CursorSquare.y);
    if (slot < 0) {
        InfoTarget = -1;
        return;
    }
    if (SlotOwner(slot) == SideToMove) HoverFlag = 1;
    if (InfoTarget != InfoHover) InfoTarget = -1;
    InfoHover = slot;
}

// Squares and values are shown counted from 1; numbers the layout file made negative are shown
// as 0 rather than as glyphs from outside the digit row.
int Shown(int64_t n) { return n < 0 ? 0 : static_cast<int>(n > INT32_MAX ? INT32_MAX : n); }

void Draw(Surface* surface, int a, int b) {
    if (!ValidSlot(InfoPiece)) return;
    const PieceRecord& piece = PieceTable[InfoPiece];
    const int x0 = a + InfoOffset;
    const int k = piece.kind & KIND_MASK;
    // A kind byte from the layout that names no kind has no icon to show.
    const bool known = k >= KIND_PAWN && k <= KIND_KING;
    if ((piece.kind & KIND_PROMOTED) != 0) {
        BltClipped(surface, x0 + 110, b, 32, 32, EtcSheet, CellRect(CELL_PROMOTE), BLT_KEYED);
    }
    BltClipped(surface, x0, b + 20, 64, 64, SideSheet[SlotOwner(InfoPiece)],
               CellRect(CELL_PORTRAIT), BLT_KEYED);
    if (known) {
        BltClipped(surface, x0 + 68, b, 32, 32, EtcSheet,
                   FamilyCellRect(CELL_ICON_0, k - 1, ICON_CELL_COUNT), BLT_KEYED);
    }
    BltClipped(surface, x0 + 64, b + 36, 40, 20, EtcSheet, CellRect(CELL_SQUARE_LABEL), BLT_KEYED);
    BltClipped(surface, x0 + 64, b + 60, 40, 20, EtcSheet, CellRect(CELL_VALUE_LABEL), BLT_KEYED);
    DrawDigits(surface, x0 + 126, b + 36, Shown(int64_t{piece.x} + 1), 0, 2);
    DrawDigits(surface, x0 + 142, b + 36, Shown(int64_t{piece.y} + 1), 0, 2);
    DrawDigits(surface, x0 + 142, b + 60, Shown(piece.value), 0, 1);
}

}  // namespace

void PieceInfoPanel(Surface* surface, int a, int b, int state) {
    if (!InfoStarted) {
        InfoStarted = true;
        InfoOffset = 640 - a;
    }
    if (state == PROMPT_STATE) return;
    Slide();
    FindPieceUnderPointer();
    Draw(surface, a, b);
    for (int i = 0; i < DESTINATION_ENTRIES; ++i) {
        const ReachEntry& entry = ReachTable[i];
        if (entry.reachable == 1 && entry.x == CursorSquare.x && entry.y == CursorSquare.y) {
            HoverFlag = 1;
        }
    }
}
