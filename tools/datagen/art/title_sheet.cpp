// TITLE.bmp: the menu's burning pictures, item labels and pointer, drawn as heat (an index is a
// heat under the fire palettes), and the opening logo drawn in the title palette's own colours.
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

const ArtCell& Cell(const char* name) { return *FindArtCell(SHEET_TITLE, name); }

// A brush character as heat, centred in its cell. The big pictures get no glow around their
// strokes: the pixels around them stay transparent so that the menu's flames rising from the
// strokes are not cut off by a cold rim stamped again every frame. The small item labels keep a
// glow rim (glowRadius) that holds their short flames down and keeps them readable; bold
// thickens their strokes.
void HeatGlyph(Canvas& c, const ArtCell& cell, const std::string& text, int size, int margin,
               bool bold = false, double glowRadius = 0) {
    Mask m = FitText(FONT_BRUSH, size, text, cell.w - 2 * margin - 1, cell.h - 2 * margin, false,
                     bold ? 96 : 0);
    if (bold) m = Embolden(m);
    StampHeat(c, m, cell.x + (cell.w - m.width) / 2, cell.y + (cell.h - m.height) / 2, 250, 200,
              150, glowRadius);
}

// A menu item's English word as heat: bold serif letters, thickened like the brush characters,
// with the same glow rim, which must fade out inside the cell; both items at the size the longer
// one fits.
void HeatWord(Canvas& c, int id, int margin, double glowRadius) {
    const ArtCell& cell = ART_CELLS[id];
    const std::string text = SheetText(id, "word", SHEETS_ENGLISH);
    const WordStyle style{FONT_SERIF_BOLD, 33, 16, false, 96, true};
    FittedWord w = FitWord(style, text, cell.w - 2 * margin - 1, cell.h - 2 * margin);
    const int x = cell.x + (cell.w - w.mask.width) / 2, y = cell.y + (cell.h - w.mask.height) / 2;
    StampHeat(c, w.mask, x, y, 250, 200, 150, glowRadius);
    NoteWord(cell.name, text, w, style, x, y, static_cast<int>(glowRadius),
             {cell.x, cell.y, cell.x + cell.w, cell.y + cell.h});
}

// An ensō: a brush circle, thick at its start and thinning to a dry tail, as a coverage mask.
Mask Enso(int size) {
    Mask m = MakeMask(size, size);
    double cx = size / 2.0, cy = size / 2.0, r = size * 0.40;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            double a = std::atan2(y + 0.5 - cy, x + 0.5 - cx);                      // -pi..pi
            double t = std::fmod(a + 3.14159 * 1.35 + 6.28318, 6.28318) / 6.28318;  // 0..1
            if (t > 0.93) continue;  // the gap where the brush lifted
            double width = 11.0 * (1.0 - t * 0.75) + 2.0;
            double d = std::abs(std::hypot(x + 0.5 - cx, y + 0.5 - cy) - r);
            bool dry = t > 0.6 && Hash01(x / 2, y / 2, 13) < (t - 0.6) * 1.2;
            if (d < width / 2 && !dry) m.bits[static_cast<size_t>(y) * size + x] = 255;
        }
    return m;
}

void DrawPointer(Canvas& c, int f) {
    const ArtCell& cell = Cell(("pointer " + std::to_string(f)).c_str());
    Canvas art(32, 32);
    art.FillPolygon({0.0, 0.0, 0.0, 20.0, 5.2, 15.2, 9.0, 23.5, 12.6, 22.0, 8.9, 13.8, 15.0, 13.8},
                    1);
    Mask m = MakeMask(32, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            m.bits[static_cast<size_t>(y) * 32 + x] = art.Get(x, y) == 1 ? 255 : 0;
    // The arrow is hot; its glow flickers from frame to frame.
    int glow = 110 + 30 * ((f * 3) % 4);
    Canvas heat(32, 32);
    StampHeat(heat, m, 0, 0, 252, 215, glow, 3.0);
    heat.Set(0, 0, 255);  // the hot spot
    c.PasteRect(heat, 0, 0, 32, 32, cell.x, cell.y);
}

// The logo in the title palette: gold letters on a lacquer bar with a crimson shadow.
void DrawLogo(Canvas& c) {
    const ArtCell& cell = Cell("logo");
    for (int j = 2; j < cell.h - 2; ++j)
        for (int i = 0; i < cell.w; ++i) {
            int fade = std::min(i, cell.w - 1 - i);
            if (fade < 24 && Hash01(i, j, 7) * 24 > fade) continue;
            c.Set(cell.x + i, cell.y + j, j == 2 || j == cell.h - 3 ? 110 : 38);
        }
    Mask m = FitText(FONT_SERIF_BOLD, 28, "K E L M O R A V", cell.w - 24, cell.h - 6);
    int x = cell.x + (cell.w - m.width) / 2, y = cell.y + (cell.h - m.height) / 2;
    StampOutlined(c, m, x + 1, y + 1, 95, 10, 1);
    for (int j = 0; j < m.height; ++j)
        for (int i = 0; i < m.width; ++i)
            if (m.At(i, j))
                c.Set(x + i, y + j,
                      static_cast<uint8_t>(std::clamp(240 - j * 60 / m.height, 170, 253)));
}

}  // namespace

Canvas DrawTitleSheet(SheetLanguage language) {
    Canvas c(ART_SHEETS[SHEET_TITLE].width, ART_SHEETS[SHEET_TITLE].height);
    HeatGlyph(c, Cell("picture 1"), SheetText(CELL_PICTURE_1, "word", language), 200, 10);
    // Picture 2: an ensō with the king inside.
    const ArtCell& p2 = Cell("picture 2");
    Mask enso = Enso(186);
    StampHeat(c, enso, p2.x + 7, p2.y + 7, 245, 190, 140, 0);
    Mask king =
        FitText(FONT_BRUSH, 110, SheetText(CELL_PICTURE_2, "word", language), 96, 96, false, 0);
    StampHeat(c, king, p2.x + (p2.w - king.width) / 2, p2.y + (p2.h - king.height) / 2, 252, 205,
              150, 0);
    HeatGlyph(c, Cell("picture 3"), SheetText(CELL_PICTURE_3, "word", language), 200, 10);
    if (language == SHEETS_JAPANESE) {
        HeatGlyph(c, Cell("start item"), SheetText(CELL_START_ITEM, "word", language), 46, 4, true,
                  3);
        HeatGlyph(c, Cell("quit item"), SheetText(CELL_QUIT_ITEM, "word", language), 46, 4, true,
                  3);
    } else {
        HeatWord(c, CELL_START_ITEM, 4, 3);
        HeatWord(c, CELL_QUIT_ITEM, 4, 3);
    }
    for (int f = 0; f < 4; ++f) DrawPointer(c, f);
    DrawLogo(c);
    const ArtCell& cap = Cell("caption");
    const std::string caption = SheetText(CELL_CAPTION, "word", language);
    if (language == SHEETS_JAPANESE) {
        Mask m = FitText(FONT_GOTHIC, 14, caption, cap.w - 4, cap.h - 2, true);
        StampHeat(c, m, cap.x + (cap.w - m.width) / 2, cap.y + (cap.h - m.height) / 2, 240, 240, 90,
                  1.0);
    } else {
        const WordStyle style{FONT_SANS_BOLD, 14, 8};
        FittedWord w = FitWord(style, caption, cap.w - 4, cap.h - 2);
        const int x = cap.x + (cap.w - w.mask.width) / 2, y = cap.y + (cap.h - w.mask.height) / 2;
        StampHeat(c, w.mask, x, y, 240, 240, 90, 1.0);
        NoteWord(cap.name, caption, w, style, x, y, 1,
                 {cap.x, cap.y, cap.x + cap.w, cap.y + cap.h});
    }
    return c;
}
