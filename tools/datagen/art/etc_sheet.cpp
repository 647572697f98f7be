// ETC.bmp: board tiles, reach and cursor markers, digits, labels, kind icons, promotion buttons,
// the lower-left plate and the two opening banners.
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

const ArtCell& Cell(const char* name) { return *FindArtCell(SHEET_ETC, name); }

uint8_t Ink(int s) { return Shade(BANK_INK, s); }
uint8_t Gold(int s) { return Shade(BANK_GOLD, s); }
uint8_t Lacquer(int s) { return Shade(BANK_LACQUER, s); }
uint8_t Washi(int s) { return Shade(14, s); }

// ---- board tiles ---------------------------------------------------------------------------

// Shade (0..15, fractional) of one material at face coordinates (a, b) and pixel (x, y), and
// the bank it is drawn from.
struct Material {
    int bank;
    double (*shade)(double a, double b, int x, int y);
};

double KeyakiWood(double a, double b, int, int) {
    double grain = std::sin(a * 0.55 + 2.2 * std::sin(b * 0.21) + 1.3 * ValueNoise(a * 0.2, b, 3));
    return 6.0 + 1.6 * grain + 1.2 * (ValueNoise(a * 0.15, b * 0.9, 5) - 0.5);
}
double HinokiWood(double a, double b, int, int) {
    double grain = std::sin(b * 0.8 + 1.6 * std::sin(a * 0.17 + 1.0));
    return 9.5 + 1.1 * grain + 1.0 * (ValueNoise(a, b * 0.3, 7) - 0.5);
}
double Tatami(double a, double b, int, int) {
    if (a < 3.0 || a > 29.5) return 100.0;  // cloth border (drawn in slate)
    double weave = (static_cast<int>(std::floor(b)) % 2 == 0) ? 0.9 : -0.4;
    return 4.6 + weave + 0.9 * (ValueNoise(a * 0.5, b * 2.0, 11) - 0.5);
}
double Granite(double, double, int x, int y) {
    double n = Hash01(x, y, 17);
    double s = 9.0 + 1.8 * (ValueNoise(x * 0.25, y * 0.4, 19) - 0.5);
    if (n > 0.9) s += 2.2;
    if (n < 0.08) s -= 3.0;
    return s;
}
double RedLacquer(double a, double b, int, int) {
    double gloss = std::exp(-std::pow((a - b) * 0.18 + 1.0, 2.0)) * 3.5;
    return 5.6 + gloss + 0.06 * (a + b) * -0.5;
}
double Jade(double a, double b, int, int) {
    double v = ValueNoise(a * 0.18, b * 0.18, 23) * 0.7 + ValueNoise(a * 0.5, b * 0.5, 29) * 0.3;
    double vein = std::abs(std::sin((a + 2.5 * v * 8) * 0.35));
    return 6.5 + 3.5 * v + (vein < 0.12 ? 2.5 : 0.0);
}
double BlackLacquer(double a, double b, int x, int y) {
    double h = Hash01(x, y, 31);
    double cloud = ValueNoise(a * 0.15, b * 0.15, 37);
    if (h > 0.975 - cloud * 0.08) return 100.0;  // gold maki-e dust (drawn in gold)
    return 2.0 + 1.2 * cloud + std::exp(-std::pow((a - b) * 0.2 - 1.5, 2.0)) * 1.5;
}
double Bamboo(double a, double b, int, int) {
    double slat = std::fmod(a, 8.0);
    double s = 4.0 + 2.6 * std::sin(slat / 8.0 * 3.14159);
    if (slat < 0.8) s = 1.5;
    double node = std::fmod(b + (static_cast<int>(a / 8.0) % 2) * 9.0, 18.0);
    if (node < 1.0) s -= 2.0;
    return s;
}
double Slate(double a, double b, int x, int y) {
    // Irregular flagstones: rows of blocks with staggered joints.
    int row = static_cast<int>(b / 11.0);
    double off = row * 7.0;
    double inRow = std::fmod(a + off, 13.0);
    double inCol = std::fmod(b, 11.0);
    if (inRow < 0.9 || inCol < 0.9) return 0.0;
    return 1.6 + 1.8 * ValueNoise(x * 0.3, y * 0.5, 41 + row) + 0.4 * Hash01(x, y, 43);
}
double GoldLeaf(double a, double b, int x, int y) {
    double ia = std::fmod(a, 10.7), ib = std::fmod(b, 10.7);
    double s = 6.0 + 1.5 * ValueNoise(x * 0.2, y * 0.3, 47) +
               1.5 * Hash01(static_cast<int>(a / 10.7), static_cast<int>(b / 10.7), 53);
    if (ia < 0.7 || ib < 0.7) s -= 2.5;
    return s;
}

const Material MATERIALS[10] = {
    {BANK_DARK_WOOD, KeyakiWood}, {BANK_LIGHT_WOOD, HinokiWood}, {BANK_MISC, Tatami},
    {BANK_INK, Granite},          {BANK_LACQUER, RedLacquer},    {BANK_JADE, Jade},
    {BANK_INK, BlackLacquer},     {BANK_MISC, Bamboo},           {BANK_MISC, Slate},
    {BANK_GOLD, GoldLeaf},
};

uint8_t MaterialIndex(int style, double shade, int x, int y) {
    const Material& m = MATERIALS[style];
    if (style == 2 && shade > 50) return static_cast<uint8_t>(SLATE_BASE + 1 + ((x + y) & 1));
    if (style == 6 && shade > 50) return Gold(13);
    if (m.bank == BANK_MISC && style != 8) {
        int s = std::clamp(static_cast<int>(DitherShade(shade, x, y)), 0, 7);
        return static_cast<uint8_t>(TATAMI_BASE + s);
    }
    if (style == 8) {
        int s = std::clamp(static_cast<int>(std::lround(shade)), 0, 4);
        if (shade <= 0.0) return Ink(2);
        return static_cast<uint8_t>(SLATE_BASE + s);
    }
    return Shade(m.bank, DitherShade(shade, x, y));
}

void DrawTile(Canvas& c, int ox, int oy, int style) {
    const Material& m = MATERIALS[style];
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) {
            TilePart part = TilePartAt(x, y);
            if (part == TILE_OUTSIDE) continue;
            double a, b;
            if (part == TILE_FACE) {
                TileFaceCoords(x, y, &a, &b);
                double s = m.shade(a, b, x, y);
                // Light falls from the top: the upper rims catch it, the lower rims are seams.
                double d = TileFaceDistance(x, y);
                bool upper = y < 16;
                if (d > 0.93 && s < 50) s += upper ? 2.0 : -2.5;
                c.Set(ox + x, oy + y, MaterialIndex(style, s, x, y));
            } else {
                // Sides: the same material in shadow, darker on the left.
                int edge = x < 32 ? 16 + (x + 1) / 2 : 16 + (64 - x) / 2;
                int depth = y - edge;
                double s = m.shade(x * 0.5, depth * 2.0, x, y);
                if (s > 50) s = 6;
                s -= part == TILE_LEFT ? 4.5 : 2.5;
                s -= depth * 0.12;
                if (depth == 15) s = 0;
                uint8_t idx = MaterialIndex(style, std::max(0.0, s), x, y);
                if (depth == 15) idx = Ink(1);
                c.Set(ox + x, oy + y, idx);
            }
        }
}

// ---- markers ---------------------------------------------------------------------------------

void DrawReachMask(Canvas& c, int ox, int oy) {
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x) {
            if (TilePartAt(x, y) != TILE_FACE) continue;
            double d = TileFaceDistance(x, y);
            if ((d > 0.56 && d < 0.84) || d < 0.14) c.Set(ox + x, oy + y, GLOW_INDEX);
        }
}

void DrawCursorSquare(Canvas& c, int ox, int oy) {
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x) {
            if (TilePartAt(x, y) != TILE_FACE) continue;
            double d = TileFaceDistance(x, y);
            if (d > 0.955) {
                c.Set(ox + x, oy + y, Ink(0));
            } else if (d > 0.86) {
                c.Set(ox + x, oy + y, y < 16 ? Gold(15) : Gold(12));
            } else if (d > 0.82) {
                c.Set(ox + x, oy + y, Ink(1));
            }
        }
    // Corner ticks pointing inward at the four corners of the diamond.
    for (int k = 0; k < 4; ++k) {
        c.Set(ox + 32 + k * 2 - 4, oy + 5, Gold(14));
        c.Set(ox + 31, oy + 4 + k, Gold(14));
    }
}

// ---- text cells ------------------------------------------------------------------------------

// A label: ink characters with a thin paper halo, centred in its cell. The English words take
// the same face's Latin letters, which are narrow enough for "Material" in a 40-pixel cell.
void DrawLabel(Canvas& c, int id, SheetLanguage language) {
    const ArtCell& cell = ART_CELLS[id];
    const std::string text = SheetText(id, "word", language);
    if (language == SHEETS_JAPANESE) {
        Mask m = FitText(FONT_GOTHIC, 18, text, cell.w - 2, cell.h - 2, true);
        StampCentred(c, m, cell.x, cell.y, cell.w, cell.h, Ink(1), Ink(15), 1);
        return;
    }
    const WordStyle style{FONT_GOTHIC, 12, 8};
    FittedWord w = FitWord(style, text, cell.w - 2, cell.h - 2);
    StampCentred(c, w.mask, cell.x, cell.y, cell.w, cell.h, Ink(1), Ink(15), 1);
    NoteWord(cell.name, text, w, style, cell.x + (cell.w - w.mask.width) / 2,
             cell.y + (cell.h - w.mask.height) / 2, 1,
             {cell.x, cell.y, cell.x + cell.w, cell.y + cell.h});
}

void DrawDigits(Canvas& c) {
    for (int d = 0; d < 10; ++d) {
        std::string s(1, static_cast<char>('0' + d));
        Mask m = FitText(FONT_SANS_BOLD, 16, s, 12, 13, true);
        // Style 1: ink numerals on paper; style 2: vermilion lacquer numerals.
        const ArtCell& one = Cell(("digit1 " + s).c_str());
        const ArtCell& two = Cell(("digit2 " + s).c_str());
        int ox = (16 - m.width) / 2, oy = (16 - m.height) / 2;
        StampOutlined(c, m, one.x + ox, one.y + oy, Ink(1), Ink(15), 1);
        StampOutlined(c, m, two.x + ox, two.y + oy, Lacquer(9), Ink(1), 1);
        // A gloss line on the lacquer numerals' upper strokes.
        for (int j = 0; j < m.height / 3; ++j)
            for (int i = 0; i < m.width; ++i)
                if (m.At(i, j) && !m.At(i, j - 1))
                    c.Set(two.x + ox + i, two.y + oy + j, Lacquer(13));
    }
}

void DrawSeparator(Canvas& c) {
    const ArtCell& s = Cell("separator");
    for (int k = 0; k < 2; ++k) {
        int cy = s.y + 4 + k * 7, cx = s.x + 7;
        c.FillPolygon(
            {cx - 3.0, cy + 0.5, cx + 0.5, cy - 3.0, cx + 4.0, cy + 0.5, cx + 0.5, cy + 4.0},
            Ink(1));
        c.FillPolygon(
            {cx - 1.5, cy + 0.5, cx + 0.5, cy - 1.5, cx + 2.5, cy + 0.5, cx + 0.5, cy + 2.5},
            Lacquer(9));
        c.Set(cx, cy - 1, Lacquer(13));
    }
}

// ---- plaques ---------------------------------------------------------------------------------

// A lacquer plaque with a gold rim and cut corners.
void Plaque(Canvas& c, int x, int y, int w, int h, int bank, int base, int rimBank) {
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            int cut = 3;
            int dx = std::min(i, w - 1 - i), dy = std::min(j, h - 1 - j);
            if (dx + dy < cut) continue;
            bool rim = dx == 0 || dy == 0 || dx + dy == cut;
            bool rim2 = dx == 1 || dy == 1 || dx + dy == cut + 1;
            bool inner = dx == 3 || dy == 3;
            uint8_t p;
            if (rim) {
                p = Shade(rimBank, 5);
            } else if (rim2) {
                p = Shade(rimBank, j < h / 2 ? 14 : 11);
            } else if (inner) {
                p = Shade(rimBank, 9);
            } else {
                double gloss = std::exp(-std::pow((j - h * 0.3) / (h * 0.22), 2.0)) * 2.0;
                p = Shade(bank, DitherShade(base + gloss - 1.0 * j / h, i, j));
            }
            c.Set(x + i, y + j, p);
        }
}

// A red seal with one character cut into it; on the English sheets the game's monogram, a serif
// capital, in place of the kanji.
void Seal(Canvas& c, int x, int y, int size, int id, SheetLanguage language) {
    c.FillRect(x, y, size, size, Lacquer(8));
    c.FrameRect(x, y, size, size, Lacquer(5));
    const std::string glyph = SheetText(id, "seal", language);
    if (language == SHEETS_JAPANESE) {
        Mask m = FitText(FONT_BRUSH, size, glyph, size - 4, size - 4, false, 100);
        StampCentred(c, m, x, y, size, size, Washi(15));
        return;
    }
    const WordStyle style{FONT_SERIF_BOLD, size, 8, false, 100};
    FittedWord w = FitWord(style, glyph, size - 6, size - 6);
    StampCentred(c, w.mask, x, y, size, size, Washi(15));
    NoteWord(std::string(ART_CELLS[id].name) + " seal", glyph, w, style,
             x + (size - w.mask.width) / 2, y + (size - w.mask.height) / 2, 0,
             {x + 2, y + 2, x + size - 2, y + size - 2});
}

void DrawTurnBanner(Canvas& c, int id, bool first, SheetLanguage language) {
    const ArtCell& cell = ART_CELLS[id];
    Plaque(c, cell.x, cell.y + 2, cell.w, cell.h - 4, first ? BANK_INK : BANK_LACQUER,
           first ? 3 : 6, BANK_GOLD);
    const std::string text = SheetText(id, "word", language);
    if (language == SHEETS_JAPANESE) {
        Mask m = Embolden(FitText(FONT_BRUSH, 22, text, cell.w - 11, cell.h - 10, false, 80));
        StampCentred(c, m, cell.x, cell.y + 1, cell.w, cell.h, Washi(15), Ink(0), 1);
        return;
    }
    // The side's name within the plaque's lacquer face, inside its gold rim, both names at the
    // size the longer one fits.
    const SheetBox face{cell.x + 4, cell.y + 6, cell.x + cell.w - 4, cell.y + cell.h - 6};
    const WordStyle style{FONT_SANS_BOLD, 13, 9};
    FittedWord w = FitWord(style, text, face.right - face.left - 2, face.bottom - face.top - 2);
    StampCentred(c, w.mask, cell.x, cell.y + 1, cell.w, cell.h, Washi(15), Ink(0), 1);
    NoteWord(cell.name, text, w, style, cell.x + (cell.w - w.mask.width) / 2,
             cell.y + 1 + (cell.h - w.mask.height) / 2, 1, face);
}

void DrawPlate(Canvas& c, SheetLanguage language) {
    const ArtCell& p = Cell("plate");
    Plaque(c, p.x, p.y, p.w, p.h, BANK_INK, 3, BANK_GOLD);
    // Gold clouds of maki-e drifting along the lower edge.
    for (int j = 0; j < p.h; ++j)
        for (int i = 0; i < p.w; ++i) {
            double n = ValueNoise(i * 0.09, j * 0.2, 61);
            if (j > p.h - 20 && j < p.h - 5 && i > 5 && i < p.w - 5 && n > 0.62 &&
                c.Get(p.x + i, p.y + j) != KEY_INDEX)
                c.Set(p.x + i, p.y + j, Shade(BANK_GOLD, BayerLevel(i, j) < 6 ? 8 : 4));
        }
    Mask word = FitText(FONT_SERIF_BOLD, 26, "KELMORAV", 112, 24);
    int wx = p.x + 10, wy = p.y + 10;
    StampOutlined(c, word, wx, wy + 1, Gold(4), Ink(0), 1);
    for (int j = 0; j < word.height; ++j)
        for (int i = 0; i < word.width; ++i)
            if (word.At(i, j))
                c.Set(wx + i, wy + j, Gold(DitherShade(15.0 - 6.0 * j / word.height, i, j)));
    const std::string subtitle = SheetText(CELL_PLATE, "subtitle", language);
    const int sealX = p.x + p.w - 34;
    if (language == SHEETS_JAPANESE) {
        Mask sub = FitText(FONT_BRUSH, 22, subtitle, 72, 19, false, 60);
        StampCentred(c, sub, wx, wy + word.height + 4, word.width, 16, Washi(14), Ink(0), 1);
    } else {
        // Under the title word, on the plate's face left of the seal.
        const SheetBox face{p.x + 4, wy + word.height + 2, sealX - 2, p.y + p.h - 4};
        const WordStyle style{FONT_SANS_BOLD, 14, 8};
        FittedWord sub = FitWord(style, subtitle, word.width, 14);
        StampCentred(c, sub.mask, wx, wy + word.height + 4, word.width, 16, Washi(14), Ink(0), 1);
        NoteWord("plate subtitle", subtitle, sub, style, wx + (word.width - sub.mask.width) / 2,
                 wy + word.height + 4 + (16 - sub.mask.height) / 2, 1, face);
    }
    Seal(c, sealX, p.y + 14, 24, CELL_PLATE, language);
}

// A kind icon: a shogi piece of pale wood with its kanji in ink. The body's wood is the same in
// both languages; PieceIconBody paints it alone.
void PieceIconBody(Canvas& c, int x, int y, int bank, int base) {
    std::vector<double> outer = {x + 16.0, y + 1.0, x + 27.5, y + 7.0, x + 30.0,
                                 y + 31.0, x + 2.0, y + 31.0, x + 4.5, y + 7.0};
    c.FillPolygon(outer, Shade(bank, base - 6));
    Canvas body(32, 32);
    body.FillPolygon({16.0, 2.6, 26.4, 8.0, 28.7, 29.8, 3.3, 29.8, 5.6, 8.0}, 1);
    for (int j = 0; j < 32; ++j)
        for (int i = 0; i < 32; ++i)
            if (body.Get(i, j) == 1) {
                double s = base + 1.5 - j * 0.08 - (i < 8 ? 0.8 : 0) + (i > 22 ? -1.4 : 0) +
                           0.8 * std::sin(j * 0.9 + std::sin(i * 0.3));
                c.Set(x + i, y + j, Shade(bank, DitherShade(s, i, j)));
            }
}

void PieceIcon(Canvas& c, int x, int y, const std::string& kanji, int bank, int base, uint8_t ink,
               int textSize = 19) {
    PieceIconBody(c, x, y, bank, base);
    // Carved-looking bold strokes, except for the two small characters of the keep button.
    Mask m = FitText(FONT_GOTHIC, textSize, kanji, 21, 21, true);
    if (textSize >= 16) m = Embolden(m);
    int ox = x + (32 - m.width) / 2, oy = y + 9 + (21 - m.height) / 2;
    c.StampMask(m, ox, oy, ink);
}

// The English icon: the kind's letter as a carved serif capital (or the promote mark, or the
// keep word in the small face) in the part of the body below its point.
void LetteredIcon(Canvas& c, int id, int bank, int base, uint8_t ink, const WordStyle& style) {
    const ArtCell& cell = ART_CELLS[id];
    PieceIconBody(c, cell.x, cell.y, bank, base);
    const std::string text = SheetText(id, "word", SHEETS_ENGLISH);
    const SheetBox face{cell.x + 5, cell.y + 9, cell.x + 27, cell.y + 30};
    FittedWord w = FitWord(style, text, face.right - face.left, face.bottom - face.top);
    int ox = cell.x + (32 - w.mask.width) / 2, oy = cell.y + 9 + (21 - w.mask.height) / 2;
    c.StampMask(w.mask, ox, oy, ink);
    NoteWord(cell.name, text, w, style, ox, oy, 0, face);
}

void DrawIcons(Canvas& c, SheetLanguage language) {
    if (language == SHEETS_ENGLISH) {
        const WordStyle letter{FONT_SERIF_BOLD, 21, 12};
        for (int k = 0; k < ICON_CELL_COUNT; ++k)
            LetteredIcon(c, CELL_ICON_0 + k, BANK_LIGHT_WOOD, 10, Ink(0), letter);
        LetteredIcon(c, CELL_PROMOTE, BANK_LACQUER, 9, Gold(15), {FONT_SERIF_BOLD, 30, 12});
        LetteredIcon(c, CELL_KEEP, BANK_INK, 6, Washi(15), {FONT_GOTHIC, 13, 7});
        return;
    }
    for (int k = 0; k < ICON_CELL_COUNT; ++k) {
        const ArtCell& cell = ART_CELLS[CELL_ICON_0 + k];
        PieceIcon(c, cell.x, cell.y, SheetText(CELL_ICON_0 + k, "word", language), BANK_LIGHT_WOOD,
                  10, Ink(0), 20);
    }
    const ArtCell& pr = Cell("promote");
    PieceIcon(c, pr.x, pr.y, SheetText(CELL_PROMOTE, "word", language), BANK_LACQUER, 9, Gold(15),
              20);
    const ArtCell& kp = Cell("keep");
    PieceIcon(c, kp.x, kp.y, SheetText(CELL_KEEP, "word", language), BANK_INK, 6, Washi(15), 13);
}

// ---- kind labels -----------------------------------------------------------------------------

// The glyphs of the kind labels come in the order of their cells (the word table lists them):
// the eight kinds with the king of each side, the promoted kinds, and last the neutral mark of a
// byte that names no kind.
constexpr int FIRST_PROMOTED_GLYPH = 9;
constexpr int NEUTRAL_GLYPH = 18;

// The letters of the English labels: capitals 10 pixels high, or, for a promoted kind, 9 pixels
// high behind a raised plus, one pixel apart so that the two never run together.
constexpr int PLUS_SIZE = 5;
const WordStyle LABEL_LETTER{FONT_SANS_BOLD, 14, 10};
const WordStyle PROMOTED_LETTER{FONT_SANS_BOLD, 13, 9};

FittedWord LabelLetters(const std::string& text) {
    if (text.size() < 2 || text[0] != '+') return FitWord(LABEL_LETTER, text, 12, 12);
    FittedWord letter = FitWord(PROMOTED_LETTER, text.substr(1), 16 - 2 - PLUS_SIZE - 1, 12);
    FittedWord out = letter;
    const int left = PLUS_SIZE + 1, top = 2;
    out.mask = MakeMask(left + letter.mask.width, top + letter.mask.height);
    for (int k = 0; k < PLUS_SIZE; ++k) {
        out.mask.bits[static_cast<size_t>(PLUS_SIZE / 2) * out.mask.width + k] = 255;
        out.mask.bits[static_cast<size_t>(k) * out.mask.width + PLUS_SIZE / 2] = 255;
    }
    for (int j = 0; j < letter.mask.height; ++j)
        for (int i = 0; i < letter.mask.width; ++i)
            if (letter.mask.At(i, j))
                out.mask.bits[static_cast<size_t>(top + j) * out.mask.width + left + i] = 255;
    return out;
}

// Each glyph in a 1-pixel outline, once in the ink for pale tokens and once in the ink for deep
// ones. The kinds as they start are paper-white characters in an ink outline, which stand out
// on every token colour. Promoted kinds are red characters in a paper outline: on the pale
// tokens a deep lacquer red, which keeps clear of the vermilion and sakura faces as well as of
// the light ones; on the deep tokens the bright vermilion red.
//
// The English labels are the letters western players write the kinds with, in the same inks and
// outlines: a promoted kind is its letter behind a plus, red as the promoted kanji are.
void DrawKindLabels(Canvas& c, SheetLanguage language) {
    constexpr int PALE_TOKEN_INK = 0;
    for (int ink = 0; ink < KIND_LABEL_INK_COUNT; ++ink) {
        for (int g = 0; g < KIND_LABEL_GLYPH_COUNT; ++g) {
            const int id = CELL_KIND_LABEL_0 + ink * KIND_LABEL_GLYPH_COUNT + g;
            const ArtCell& cell = ART_CELLS[id];
            Mask m;
            if (g == NEUTRAL_GLYPH) {
                m = MakeMask(4, 4);
                for (uint8_t& bit : m.bits) bit = 255;
            } else if (language == SHEETS_JAPANESE) {
                m = FitText(FONT_GOTHIC, 14, SheetText(id, "word", language), 12, 12, true);
            } else {
                const std::string text = SheetText(id, "word", language);
                FittedWord w = LabelLetters(text);
                m = w.mask;
                NoteWord(cell.name, text, w, text[0] == '+' ? PROMOTED_LETTER : LABEL_LETTER,
                         cell.x + (cell.w - m.width) / 2, cell.y + (cell.h - m.height) / 2, 1,
                         {cell.x, cell.y, cell.x + cell.w, cell.y + cell.h});
            }
            const bool promoted = g >= FIRST_PROMOTED_GLYPH && g < NEUTRAL_GLYPH;
            const uint8_t red = ink == PALE_TOKEN_INK ? Lacquer(4) : Shade(1, 9);
            const uint8_t body = promoted ? red : WHITE_INDEX;
            const uint8_t rim = promoted ? WHITE_INDEX : Ink(0);
            StampCentred(c, m, cell.x, cell.y, cell.w, cell.h, body, rim, 1);
        }
    }
}

// ---- board aids ------------------------------------------------------------------------------

// The last-move mark: a tile's top face short of its rim, in one colour that the game lays on a
// square half-transparently through the blend table. A light indigo: blended into any of the
// ten board materials (warm woods and gold leaf included) it moves the colour of nine pixels in
// ten by a CIEDE2000 difference of about 14 or more.
void DrawLastMoveMark(Canvas& c) {
    const ArtCell& cell = Cell("last move");
    for (int y = 0; y < cell.h; ++y)
        for (int x = 0; x < cell.w; ++x)
            if (TilePartAt(x, y) == TILE_FACE && TileFaceDistance(x, y) < 0.9)
                c.Set(cell.x + x, cell.y + y, Shade(2, 12));
}

// The board coordinates: small ink numerals on a paper rim, like the panels' digits.
void DrawCoordinates(Canvas& c) {
    for (int n = 1; n <= COORDINATE_CELL_COUNT; ++n) {
        const ArtCell& cell = ART_CELLS[CELL_COORDINATE_1 + n - 1];
        Mask m = FitText(FONT_SANS_BOLD, 13, std::to_string(n), cell.w - 2, cell.h - 2, true);
        StampCentred(c, m, cell.x, cell.y, cell.w, cell.h, Ink(1), Ink(15), 1);
    }
}

// ---- banners ---------------------------------------------------------------------------------

// A hanging scroll: rods, a brocade mount, paper with two large brush characters and a seal. On
// the English sheet the paper carries one word written across it, large, in the same wet ink.
void DrawScroll(Canvas& c, int id, int seed, SheetLanguage language) {
    const ArtCell& cell = ART_CELLS[id];
    int x = cell.x, y = cell.y, w = cell.w, h = cell.h;
    // Brocade mount.
    for (int j = 8; j < h - 10; ++j)
        for (int i = 6; i < w - 6; ++i) {
            bool motif = ((i / 6 + j / 6) % 2 == 0) && ((i % 6) + (j % 6)) % 5 == 0;
            double s =
                6.0 + 1.2 * ValueNoise(i * 0.2, j * 0.2, seed) - (i < 9 || i > w - 10 ? 2 : 0);
            c.Set(x + i, y + j, motif ? Gold(10) : Lacquer(DitherShade(s, i, j)));
        }
    c.FrameRect(x + 6, y + 8, w - 12, h - 18, Ink(1));
    // Paper.
    int px = x + 16, py = y + 22, pw = w - 32, ph = h - 46;
    for (int j = 0; j < ph; ++j)
        for (int i = 0; i < pw; ++i) {
            double s = 14.4 - 0.9 * ValueNoise(i * 0.15, j * 0.08, seed + 1) -
                       (i == 0 || i == pw - 1 ? 1.5 : 0);
            c.Set(px + i, py + j, Ink(DitherShade(s, i, j)));
        }
    c.FrameRect(px - 1, py - 1, pw + 2, ph + 2, Gold(7));
    // Rods with gold caps.
    for (int k = 0; k < 2; ++k) {
        int ry = k == 0 ? y + 1 : y + h - 11;
        for (int j = 0; j < 9; ++j)
            for (int i = 0; i < w; ++i) {
                bool cap = i < 7 || i >= w - 7;
                double s = 8.0 - std::abs(j - 3.0) * 1.6;
                uint8_t p = cap ? Gold(DitherShade(s + 5, i, j))
                                : Shade(BANK_DARK_WOOD, DitherShade(s, i, j));
                if (j == 0 || j == 8) p = Ink(0);
                c.Set(x + i, ry + j, p);
            }
    }
    // Hanging cord above the top rod.
    c.Line(x + w / 2 - 12, y + 1, x + w / 2, y, Gold(12));
    c.Line(x + w / 2, y, x + w / 2 + 12, y + 1, Gold(12));
    // The characters, large and in wet ink.
    const std::string text = SheetText(id, "word", language);
    const int sealY = py + ph - 24;
    if (language == SHEETS_JAPANESE) {
        Mask m = RenderVertical(FONT_BRUSH, 76, text, 2, 70);
        int tx = px + (pw - m.width) / 2, ty = py + 8;
        c.StampMask(m, tx + 1, ty + 1, Ink(6));
        c.StampMask(m, tx, ty, Ink(0));
    } else {
        // Capitals down the paper as the kanji go, within its margins and above the seal; the
        // wet shadow counts as ink.
        const SheetBox paper{px + 4, py + 4, px + pw - 4, sealY - 2};
        const WordStyle style{FONT_SERIF_BOLD, 32, 14, false, 70, true, 3};
        const int paperW = paper.right - paper.left, paperH = paper.bottom - paper.top;
        FittedWord m = FitWord(style, text, paperW - 2, paperH - 2);
        int tx = paper.left + (paperW - m.mask.width) / 2;
        int ty = paper.top + (paperH - m.mask.height) / 2;
        c.StampMask(m.mask, tx + 1, ty + 1, Ink(6));
        c.StampMask(m.mask, tx, ty, Ink(0));
        NoteWord(cell.name, text, m, style, tx, ty, 1, paper);
    }
    Seal(c, px + pw - 22, sealY, 17, id, language);
}

}  // namespace

Canvas DrawEtcSheet(SheetLanguage language) {
    Canvas c(ART_SHEETS[SHEET_ETC].width, ART_SHEETS[SHEET_ETC].height);
    for (int s = 0; s < 10; ++s) {
        const ArtCell& t = Cell(("tile " + std::to_string(s)).c_str());
        DrawTile(c, t.x, t.y, s);
    }
    const ArtCell& mask = Cell("reach mask");
    DrawReachMask(c, mask.x, mask.y);
    // The marker as the game first shows it: the mask's glow in a bright side shade, the rest
    // copied from row 160 (transparent over x 64..127).
    const ArtCell& marker = Cell("reach marker");
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x)
            c.Set(marker.x + x, marker.y + y,
                  c.Get(mask.x + x, mask.y + y) == GLOW_INDEX ? Shade(14, 12) : c.Get(64 + x, 160));
    const ArtCell& cur = Cell("cursor square");
    DrawCursorSquare(c, cur.x, cur.y);
    DrawTurnBanner(c, CELL_TURN_BANNER_0, true, language);
    DrawTurnBanner(c, CELL_TURN_BANNER_1, false, language);
    DrawDigits(c);
    DrawPlate(c, language);
    for (int id :
         {CELL_CLOCK_LABEL, CELL_POINTS_LABEL, CELL_MATERIAL_LABEL, CELL_SQUARE_LABEL,
          CELL_VALUE_LABEL, CELL_UNIT_LABEL, CELL_TURN_LABEL, CELL_SCORE_LABEL, CELL_RANK_LABEL})
        DrawLabel(c, id, language);
    DrawSeparator(c);
    DrawIcons(c, language);
    DrawScroll(c, CELL_BANNER_A, 71, language);
    DrawScroll(c, CELL_BANNER_B, 73, language);
    DrawKindLabels(c, language);
    DrawLastMoveMark(c);
    DrawCoordinates(c);
    return c;
}
