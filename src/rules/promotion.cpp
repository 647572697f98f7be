#include "rules/promotion.h"

#include "media/draw.h"
#include "media/resources.h"
#include "media/sheet_cells.h"
#include "media/sound.h"
#include "rules/board.h"
#include "state/loop_state.h"

namespace {

bool Inside(int mx, int my, int left, int top, int right, int bottom) {
    return mx >= left && mx < right && my >= top && my < bottom;
}

// One button drawn at (left, top), reacting to the 32x32 pointer area starting at areaLeft:
// small when the pointer is away, doubled when it is over it. Returns true when the pointer is
// over it and the left button is held.
bool Button(Surface* surface, const Rect& cell, int left, int top, int areaLeft, int mx, int my) {
    if (!Inside(mx, my, areaLeft, top, areaLeft + 32, top + 32)) {
        BltFast(surface, left, top, EtcSheet, &cell, BLT_KEYED);
        return false;
    }
    const Rect grown = {left - 16, top - 16, left + 48, top + 48};
    BltStretch(surface, grown, EtcSheet, cell, true);
    HoverFlag = 1;
    return (MouseButtons & MOUSE_LEFT_HELD) != 0;
}

}  // namespace

bool InPromotionZone(int side, int row) { return side == 0 ? row > 5 : row < 3; }

bool PromotionOffered() {
    if (SelectedPiece < 0 || SelectedPiece >= PIECE_SLOT_COUNT) return false;
    const PieceRecord& piece = PieceTable[SelectedPiece];
    if ((piece.kind & KIND_PROMOTED) != 0) return false;
    return InPromotionZone(SideToMove, piece.y);
}

int PromotionPrompt(Surface* surface, int px, int py, int mx, int my) {
    if (SelectedPiece < 0 || SelectedPiece >= PIECE_SLOT_COUNT) return PROMPT_KEEP;
    const uint8_t kind = PieceTable[SelectedPiece].kind;
    if (kind == KIND_GOLD || kind == KIND_KING) return PROMPT_KEEP;

    // The promote button's pointer area starts 3 pixels right of its picture, the keep
    // button's 3 pixels left of it, so the gap between the two areas is wider than it looks.
    if (Button(surface, CellRect(CELL_PROMOTE), px - 8, py - 40, px - 5, mx, my)) {
        PlayVoice(SoundVoice[SFX_MAGIC], false);
        return PROMPT_PROMOTE;
    }
    if (Button(surface, CellRect(CELL_KEEP), px + 40, py - 40, px + 37, mx, my)) {
        PlayVoice(SoundVoice[SFX_PON], false);
        return PROMPT_KEEP;
    }
    return PROMPT_WAITING;
}
