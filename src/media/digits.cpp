#include "media/digits.h"

#include "media/draw.h"
#include "media/resources.h"
#include "media/sheet_cells.h"

namespace {

constexpr int GLYPH = 16;

// The glyph of digit d in a style; an empty cell, which the blit refuses, for a style without
// glyphs.
Rect GlyphCell(int style, int d) {
    if (style == 1) return FamilyCellRect(CELL_DIGIT1_0, d, DIGIT_CELL_COUNT);
    if (style == 2) return FamilyCellRect(CELL_DIGIT2_0, d, DIGIT_CELL_COUNT);
    return Rect{};
}

}  // namespace

void DrawDigits(Surface* surface, int x, int y, int value, int minDigits, int style) {
    // A negative number has no glyphs; it is shown as 0 rather than read from outside the row.
    int rest = value < 0 ? 0 : value;
    const bool hasGlyphs = style == 1 || style == 2;
    int glyphX = x - GLYPH;
    do {
        const int d = rest % 10;
        if (hasGlyphs) {
            BltClipped(surface, glyphX, y, GLYPH, GLYPH, EtcSheet, GlyphCell(style, d), BLT_KEYED);
        }
        rest /= 10;
        minDigits -= 1;
        glyphX -= GLYPH;
    } while (rest > 0 || minDigits > 0);
}
