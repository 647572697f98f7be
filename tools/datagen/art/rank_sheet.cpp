// RANK.bmp: fifteen rank plaques, each naming its rank, rising from plain wood through black and
// red lacquer to the gold of the master.
#include <algorithm>
#include <cmath>
#include <string>

#include "art/font.h"
#include "art/paint.h"
#include "art/palettes.h"
#include "art/sheet_words.h"
#include "art/sheets.h"
#include "art/word_fit.h"
#include "media/sheet_cells.h"

namespace {

struct Tier {
    int bank;     // plaque material
    double base;  // its middle shade
    int rimBank;  // frame
    int rimShade;
    uint8_t text;  // colour of the characters
    uint8_t textOutline;
};

Tier TierOf(int rank) {
    if (rank <= 5)  // wood, darker and richer as the kyu ranks rise
        return {rank < 3 ? BANK_LIGHT_WOOD : BANK_DARK_WOOD,
                rank < 3 ? 10.0 - rank : 11.0 - rank,
                BANK_DARK_WOOD,
                3,
                Shade(BANK_INK, 0),
                Shade(BANK_LIGHT_WOOD, 14)};
    if (rank <= 9)  // black lacquer with silver
        return {BANK_INK, 2.5, BANK_INK, 11, Shade(BANK_INK, 15), Shade(BANK_INK, 0)};
    if (rank <= 13)  // red lacquer with gold
        return {BANK_LACQUER, 6.5, BANK_GOLD, 11, Shade(BANK_GOLD, 15), Shade(BANK_LACQUER, 1)};
    return {BANK_GOLD, 10.0, BANK_LACQUER, 7, Shade(BANK_LACQUER, 3), Shade(BANK_GOLD, 15)};
}

void DrawRank(Canvas& c, int rank, SheetLanguage language) {
    const ArtCell& cell = ART_CELLS[CELL_RANK_0 + rank];
    Tier t = TierOf(rank);
    int x0 = cell.x, y0 = cell.y, w = cell.w, h = cell.h;
    // Higher ranks get a wider, more ornate frame.
    int inset = rank >= 14 ? 2 : rank >= 6 ? 4 : 6;
    for (int j = inset; j < h - inset; ++j)
        for (int i = inset; i < w - inset; ++i) {
            int dx = std::min(i - inset, w - 1 - inset - i),
                dy = std::min(j - inset, h - 1 - inset - j);
            int cut = rank >= 6 ? 6 : 3;
            if (dx + dy < cut) continue;
            uint8_t p;
            if (dx == 0 || dy == 0 || dx + dy == cut) {
                p = Shade(BANK_INK, 0);
            } else if (dx <= 2 || dy <= 2 || dx + dy <= cut + 2) {
                p = Shade(t.rimBank, std::clamp(t.rimShade + (j < h / 2 ? 3 : -1), 0, 15));
            } else {
                double s = t.base;
                if (t.bank == BANK_LIGHT_WOOD || t.bank == BANK_DARK_WOOD)
                    s += 1.2 * std::sin(j * 0.7 + 2.0 * std::sin(i * 0.05 + rank));
                else
                    s += 2.2 * std::exp(-std::pow((j - h * 0.3) / (h * 0.18), 2.0));
                if (rank == 14) s += 1.2 * ValueNoise(i * 0.2, j * 0.2, 91) - 0.6;
                p = Shade(t.bank, DitherShade(s, i, j));
            }
            c.Set(x0 + i, y0 + j, p);
        }
    // Dan ranks: gold or silver corner fittings; the master: rays of light behind the name.
    if (rank >= 6) {
        uint8_t fit = rank >= 10 ? Shade(BANK_GOLD, 14) : Shade(BANK_INK, 13);
        for (int k = 0; k < 5; ++k)
            for (int corner = 0; corner < 4; ++corner) {
                int cx = corner % 2 == 0 ? x0 + inset + 7 + k : x0 + w - inset - 8 - k;
                int cy = corner / 2 == 0 ? y0 + inset + 3 : y0 + h - inset - 4;
                c.Set(cx, cy, fit);
                int vx = corner % 2 == 0 ? x0 + inset + 3 : x0 + w - inset - 4;
                int vy = corner / 2 == 0 ? y0 + inset + 7 + k : y0 + h - inset - 8 - k;
                c.Set(vx, vy, fit);
            }
    }
    if (rank == 14) {
        for (int j = 8; j < h - 8; ++j)
            for (int i = 8; i < w - 8; ++i) {
                double a = std::atan2(j - h / 2.0, i - w / 2.0);
                if (std::fmod(a + 3.2, 0.4) < 0.12) c.Set(x0 + i, y0 + j, Shade(BANK_GOLD, 14));
            }
    }
    // Pips: one more for each step within the tier.
    int step = rank <= 5 ? rank : rank <= 9 ? rank - 6 : rank <= 13 ? rank - 10 : 0;
    int pips = step + 1;
    for (int k = 0; k < pips && rank < 14; ++k) {
        int px = x0 + w / 2 - pips * 4 + k * 8 + 2, py = y0 + h - inset - 9;
        c.FillPolygon(
            {px - 2.5, py + 0.5, px + 0.5, py - 2.5, px + 3.5, py + 0.5, px + 0.5, py + 3.5},
            t.text);
    }
    // The name, in brush characters; in English in bold serif letters, within the plaque's face
    // inside its rim and above the pips.
    int textH = rank < 14 ? h - 2 * inset - 16 : h - 2 * inset - 8;
    const std::string name = SheetText(CELL_RANK_0 + rank, "word", language);
    const int outline = rank >= 10 ? 2 : 1;
    Mask m;
    if (language == SHEETS_JAPANESE) {
        m = FitText(FONT_BRUSH, 44, name, w - 2 * inset - 20, textH, false, 70);
    } else {
        const WordStyle style{FONT_SERIF_BOLD, 26, 12, false, 70};
        FittedWord fitted = FitWord(style, name, w - 2 * inset - 20, textH);
        m = fitted.mask;
        const SheetBox face{x0 + inset + 3, y0 + inset + 3, x0 + w - inset - 3,
                            rank < 14 ? y0 + h - inset - 12 : y0 + h - inset - 3};
        NoteWord(cell.name, name, fitted, style, x0 + (w - m.width) / 2,
                 y0 + inset + 4 + (textH - m.height) / 2, outline, face);
    }
    int tx = x0 + (w - m.width) / 2, ty = y0 + inset + 4 + (textH - m.height) / 2;
    StampOutlined(c, m, tx, ty, t.text, t.textOutline, outline);
    if (rank >= 10) c.StampMask(m, tx, ty, t.text);
}

}  // namespace

Canvas DrawRankSheet(SheetLanguage language) {
    Canvas c(ART_SHEETS[SHEET_RANK].width, ART_SHEETS[SHEET_RANK].height);
    for (int r = 0; r < RANK_CELL_COUNT; ++r) DrawRank(c, r, language);
    return c;
}
