// WriteArtworkPreviews: PNG pictures for judging the artwork by eye. Every sheet at 2x under its
// palette (plain and with its named cells outlined; the English sheets also at 1x, with a report
// of the size and box of each English word), the title under each fire palette, the
// match palette with its banks and the side sheet in each side colour. How the sheets look in
// play is shown by shots of the real game: scripts/previews.sh takes them beside these.
#include <string>

#include "art/font.h"
#include "art/image_io.h"
#include "art/paint.h"
#include "art/palettes.h"
#include "art/sheets.h"
#include "art/word_fit.h"
#include "datagen.h"
#include "file_io.h"
#include "media/sheet_cells.h"

namespace {

struct Sheets {
    Canvas etc, color, rank, title;
};

RgbImage ToRgb(const Canvas& c, const Palette& pal, int scale) {
    RgbImage img(c.Width() * scale, c.Height() * scale);
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x) img.Set(x, y, pal[c.Get(x / scale, y / scale)]);
    return img;
}

void Paste(RgbImage& dst, const RgbImage& src, int x, int y) {
    for (int j = 0; j < src.height; ++j)
        for (int i = 0; i < src.width; ++i) dst.Set(x + i, y + j, src.Get(i, j));
}

void Text(RgbImage& img, int x, int y, const std::string& s, Colour fg, Colour bg) {
    Mask m = RenderText(FONT_SANS_BOLD, 10, s, true);
    for (int j = -1; j <= m.height; ++j)
        for (int i = -1; i <= m.width; ++i) img.Set(x + i, y + j, bg);
    for (int j = 0; j < m.height; ++j)
        for (int i = 0; i < m.width; ++i)
            if (m.At(i, j)) img.Set(x + i, y + j, fg);
}

void Outline(RgbImage& img, int x, int y, int w, int h, Colour c) {
    for (int i = x; i < x + w; ++i) {
        img.Set(i, y, c);
        img.Set(i, y + h - 1, c);
    }
    for (int j = y; j < y + h; ++j) {
        img.Set(x, j, c);
        img.Set(x + w - 1, j, c);
    }
}

void Recolour(Canvas& sheet, int bank) {
    for (int y = 0; y < sheet.Height(); ++y)
        for (int x = 0; x < sheet.Width(); ++x) {
            uint8_t p = sheet.Get(x, y);
            if (p != KEY_INDEX) sheet.Set(x, y, static_cast<uint8_t>(bank * 16 + (p & 15)));
        }
}

// Each sheet at 2x, plain and with its cells named; prefix tells the English sheets apart, which
// are also written at 1x, the size they are seen at.
bool SheetPreviews(const std::string& dir, const Sheets& s, const std::string& prefix = "") {
    const Canvas* sheets[ART_SHEET_COUNT] = {&s.etc, &s.color, &s.rank, &s.title};
    bool ok = true;
    for (int k = 0; k < ART_SHEET_COUNT; ++k) {
        const Palette& pal = k == SHEET_TITLE ? TitlePalette() : MatchPalette();
        std::string base = prefix + std::string(ART_SHEETS[k].file);
        base = base.substr(0, base.find('.'));
        std::string stem = dir;
        stem += "/sheet_";
        stem += base;
        RgbImage plain = ToRgb(*sheets[k], pal, 2);
        ok = WritePng(stem + ".png", plain) && ok;
        if (!prefix.empty()) ok = WritePng(stem + "_1x.png", ToRgb(*sheets[k], pal, 1)) && ok;
        RgbImage marked = plain;
        for (const ArtCell& cell : ART_CELLS)
            if (cell.sheet == k)
                Outline(marked, cell.x * 2, cell.y * 2, cell.w * 2, cell.h * 2, {0, 255, 255});
        for (const ArtCell& cell : ART_CELLS)
            if (cell.sheet == k)
                Text(marked, cell.x * 2 + 2, cell.y * 2 + 2, cell.name, {255, 255, 0}, {0, 0, 0});
        ok = WritePng(stem + "_cells.png", marked) && ok;
    }
    return ok;
}

bool FirePreviews(const std::string& dir, const Canvas& title) {
    const int cols = 4;
    RgbImage all(cols * 604, 4 * 300, {40, 40, 40});
    for (int n = 1; n <= FIRE_PALETTE_COUNT; ++n) {
        int gx = (n - 1) % cols, gy = (n - 1) / cols;
        Palette pal = FirePalette(n);
        pal[KEY_INDEX] = {24, 24, 28};  // the key is never drawn: show it as a dark ground
        RgbImage one = ToRgb(title, pal, 1);
        Paste(all, one, gx * 604 + 2, gy * 300 + 18);
        for (int x = 0; x < 256; ++x)
            for (int y = 0; y < 6; ++y)
                all.Set(gx * 604 + 340 + x, gy * 300 + 4 + y, FirePalette(n)[x]);
        Text(all, gx * 604 + 4, gy * 300 + 3, "FIRE" + std::to_string(n) + " " + FirePaletteName(n),
             {255, 255, 255}, {0, 0, 0});
    }
    return WritePng(dir + "/title_fires.png", all);
}

bool PaletteSwatch(const std::string& dir) {
    const Palette& pal = MatchPalette();
    const int cell = 28;
    RgbImage img(16 * cell + 150, 16 * cell + 4, {30, 30, 30});
    const char* names[16] = {
        "0 ink",       "1 vermilion",  "2 indigo",       "3 jade",
        "4 gold",      "5 violet",     "6 teal",         "7 night",
        "8 dark wood", "9 light wood", "10 green stone", "11 lacquer",
        "12 gold",     "13 sakura",    "14 washi",       "15 tatami/slate/keys"};
    for (int b = 0; b < 16; ++b) {
        for (int s = 0; s < 16; ++s)
            for (int j = 1; j < cell - 1; ++j)
                for (int i = 1; i < cell - 1; ++i)
                    img.Set(s * cell + i + 2, b * cell + j + 2, pal[b * 16 + s]);
        bool side = false;
        for (int sb : SIDE_BANKS) side = side || sb == b;
        Text(img, 16 * cell + 8, b * cell + 10, std::string(side ? "side " : "free ") + names[b],
             side ? Colour{255, 220, 120} : Colour{200, 200, 200}, {30, 30, 30});
    }
    // Mark the special indexes.
    for (int idx : {120, 239, 253, 254, 255}) {
        int x = (idx % 16) * cell + 2, y = (idx / 16) * cell + 2;
        Outline(img, x, y, cell, cell, {255, 255, 255});
        Outline(img, x + 1, y + 1, cell - 2, cell - 2, {0, 0, 0});
    }
    return WritePng(dir + "/match_palette.png", img);
}

bool SidePreviews(const std::string& dir, const Canvas& color) {
    RgbImage img(416 * 2 + 8, 9 * (96 * 2 + 16), {60, 58, 52});
    int row = 0;
    for (int bank : SIDE_BANKS) {
        Canvas c = color;
        Recolour(c, bank);
        Palette pal = MatchPalette();
        pal[KEY_INDEX] = MatchPalette()[239];  // as seen on the match background
        Paste(img, ToRgb(c, pal, 2), 4, row * (96 * 2 + 16) + 14);
        Text(img, 4, row * (96 * 2 + 16) + 2, "bank " + std::to_string(bank), {255, 255, 255},
             {0, 0, 0});
        ++row;
    }
    return WritePng(dir + "/side_sheet_banks.png", img);
}

}  // namespace

bool WriteArtworkPreviews(const std::string& previewDir) {
    if (!InitArtFonts()) return false;
    Sheets s{DrawEtcSheet(), DrawColorSheet(), DrawRankSheet(), DrawTitleSheet()};
    bool ok = SheetPreviews(previewDir, s);
    ClearNotedWords();
    Sheets english{DrawEtcSheet(SHEETS_ENGLISH), DrawColorSheet(SHEETS_ENGLISH),
                   DrawRankSheet(SHEETS_ENGLISH), DrawTitleSheet(SHEETS_ENGLISH)};
    ok = SheetPreviews(previewDir, english, "EN_") && ok;
    const std::string report = NotedWordsReport();
    ok = WriteBinaryFile(previewDir + "/english_words.txt",
                         reinterpret_cast<const uint8_t*>(report.data()), report.size()) &&
         ok;
    ok = FirePreviews(previewDir, s.title) && ok;
    ok = PaletteSwatch(previewDir) && ok;
    ok = SidePreviews(previewDir, s.color) && ok;
    return ok;
}
