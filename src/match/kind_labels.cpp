#include "match/kind_labels.h"

#include <cmath>

#include "match/aid_toggle.h"
#include "media/draw.h"
#include "media/palette.h"
#include "media/resources.h"
#include "media/sheet_cells.h"
#include "rules/board.h"

uint8_t KindLabelsOn = 0;

namespace {

constexpr int LABEL_KEY = 'L';
// The shade of a side's bank that most of a token's top face is painted in.
constexpr int FACE_SHADE = 11;

// Glyphs of the label family, in the order of their cells.
constexpr int GLYPH_KING_OF_SIDE_1 = 7;  // 王 for 二之方
constexpr int GLYPH_KING_OF_SIDE_0 = 8;  // 玉 for 一之方, the side that moves first
constexpr int FIRST_PROMOTED_GLYPH = 9;  // と 杏 圭 全 金 龍 馬 王 玉, in the kinds' order
constexpr int NEUTRAL_GLYPH = 18;

uint8_t LabelKeyWasDown = 0;

int GlyphOf(uint8_t kind, int side) {
    const int low = kind & KIND_MASK;
    if (low < KIND_PAWN || low > KIND_KING) return NEUTRAL_GLYPH;
    int glyph = low - KIND_PAWN;
    if (low == KIND_KING) glyph = side == 0 ? GLYPH_KING_OF_SIDE_0 : GLYPH_KING_OF_SIDE_1;
    if ((kind & KIND_PROMOTED) != 0) glyph += FIRST_PROMOTED_GLYPH;
    return glyph;
}

// Relative luminance of a palette colour (sRGB, 0..1).
double Luminance(const PaletteEntry& c) {
    auto linear = [](uint8_t v) {
        const double s = v / 255.0;
        return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(c.red) + 0.7152 * linear(c.green) + 0.0722 * linear(c.blue);
}

// The label ink for a token face: 0 for a pale face, 1 for a deep one, split where black and
// white stand out from the face equally (a luminance of about 0.18).
int InkFor(uint8_t bank) {
    const double face = Luminance(ScreenPalette[(bank + FACE_SHADE) & 0xFF]);
    const double againstBlack = (face + 0.05) / 0.05;
    const double againstWhite = 1.05 / (face + 0.05);
    return againstBlack >= againstWhite ? 0 : 1;
}

}  // namespace

void WatchKindLabelKey() { ToggleOnPress(LABEL_KEY, &LabelKeyWasDown, &KindLabelsOn); }

int KindLabelCell(uint8_t kind, int side, uint8_t bank) {
    return CELL_KIND_LABEL_0 + InkFor(bank) * KIND_LABEL_GLYPH_COUNT + GlyphOf(kind, side);
}

void DrawKindLabel(Surface* surface, int slot, int x, int y) {
    if (KindLabelsOn == 0 || slot < 0 || slot >= PIECE_SLOT_COUNT) return;
    const int side = slot >> 5;
    const Rect& cell = CellRect(KindLabelCell(PieceTable[slot].kind, side, SideColourBank[side]));
    BltClipped(surface, x + KindLabelLeft(side), y + KindLabelTop(), KIND_LABEL_SIZE,
               KIND_LABEL_SIZE, EtcSheet, cell, BLT_KEYED);
}
