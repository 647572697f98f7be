// WriteArtworkPreviews: PNG pictures for judging the artwork by eye. Every sheet at 2x under its
// palette (plain and with its named cells outlined), the title under each fire palette, the
// match palette with its banks, the side sheet in each side colour, a mock match frame per tile
// style, and the blend table at work (dimming, trails, afterimages, panel tint).
#include <cstdio>
#include <string>
#include <vector>

#include "art/cells.h"
#include "art/font.h"
#include "art/image_io.h"
#include "art/paint.h"
#include "art/palettes.h"
#include "art/sheets.h"
#include "datagen.h"
#include "media/blend.h"
#include "media/palette.h"

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

bool SheetPreviews(const std::string& dir, const Sheets& s) {
    const Canvas* sheets[ART_SHEET_COUNT] = {&s.etc, &s.color, &s.rank, &s.title};
    bool ok = true;
    for (int k = 0; k < ART_SHEET_COUNT; ++k) {
        const Palette& pal = k == SHEET_TITLE ? TitlePalette() : MatchPalette();
        std::string base = std::string(ART_SHEETS[k].file);
        base = base.substr(0, base.find('.'));
        RgbImage plain = ToRgb(*sheets[k], pal, 2);
        ok = WritePng(dir + "/sheet_" + base + ".png", plain) && ok;
        RgbImage marked = plain;
        for (const ArtCell& cell : ART_CELLS)
            if (cell.sheet == k)
                Outline(marked, cell.x * 2, cell.y * 2, cell.w * 2, cell.h * 2, {0, 255, 255});
        for (const ArtCell& cell : ART_CELLS)
            if (cell.sheet == k)
                Text(marked, cell.x * 2 + 2, cell.y * 2 + 2, cell.name, {255, 255, 0}, {0, 0, 0});
        ok = WritePng(dir + "/sheet_" + base + "_cells.png", marked) && ok;
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

// ---- a mock match frame, drawn from the sheets as the match draws it ----------------------

void Blit(Canvas& dst, const Canvas& src, int sx, int sy, int w, int h, int dx, int dy) {
    dst.PasteRect(src, sx, sy, w, h, dx, dy);
}

void BlendBlitInto(Canvas& dst, const Canvas& src, int sx, int sy, int w, int h, int dx, int dy) {
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            uint8_t s = src.Get(sx + i, sy + j);
            int x = dx + i, y = dy + j;
            if (s == KEY_INDEX || x <= 0 || y <= 0 || x >= dst.Width() || y >= dst.Height())
                continue;
            dst.Set(x, y, BlendTable[dst.Get(x, y) * 256 + s]);
        }
}

void Tint(Canvas& dst, int x0, int y0, int w, int h, uint8_t colour) {
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x) {
            uint8_t d = dst.Get(x, y);
            if (d != KEY_INDEX) dst.Set(x, y, BlendTable[d * 256 + colour]);
        }
}

struct LayoutPiece {
    int x, y, kind, value;
};

std::vector<LayoutPiece> ParseLayout() {
    std::vector<LayoutPiece> out;
    std::string text = OpeningLayoutText();
    const char* p = text.c_str();
    for (int i = 0; i < 40; ++i) {
        LayoutPiece lp{};
        int used = 0;
        if (std::sscanf(p, "%d,%d,%d,%d,%n", &lp.x, &lp.y, &lp.kind, &lp.value, &used) != 4) break;
        p += used;
        out.push_back(lp);
    }
    return out;
}

void DrawDigitsInto(Canvas& dst, const Canvas& etc, int x, int y, int value, int minDigits,
                    int style) {
    int gx = x - 16;
    do {
        int d = value % 10;
        Blit(dst, etc, 160 + 16 * d, style == 1 ? 48 : 32, 16, 16, gx, y);
        gx -= 16;
        value /= 10;
        --minDigits;
    } while (value > 0 || minDigits > 0);
}

Canvas MockMatch(const Sheets& s, int style, const Canvas side[2], int sideToMove) {
    Canvas f(640, 480, 239);
    const Canvas& etc = s.etc;
    Blit(f, etc, 0, 64, 160, 64, 30, 400);
    const Canvas& own = side[sideToMove];
    int hx = sideToMove == 0 ? 581 : 157;
    Blit(f, own, 64, 64, 32, 32, hx, 80);
    Blit(f, own, 288, 64, 32, 32, hx, 80);
    Blit(f, own, 320, 64, 32, 32, hx, 80);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            Blit(f, side[0], 96, 32, 32, 32, 516 + 16 * c - 16 * r, 32 + 8 * r + 8 * c);
            Blit(f, side[1], 96, 32, 32, 32, 93 + 16 * c - 16 * r, 32 + 8 * r + 8 * c);
        }
    Blit(f, side[0], 64, 0, 32, 32, 516, 32);
    Blit(f, side[1], 96, 0, 32, 32, 93, 32);
    int tx = style < 5 ? 64 * style : 64 * (style - 5), ty = style < 5 ? 160 : 208;
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x)
            Blit(f, etc, tx, ty, 64, 48, 288 + 32 * (x - y), 128 + 16 * (x + y));
    // The reach marker rebuilt in the mover's colour, on the squares a pawn and a rook reach.
    Canvas marker(64, 32);
    int bank = sideToMove == 0 ? 1 : 2;
    for (int r = 0; r < 32; ++r)
        for (int c = 0; c < 64; ++c)
            marker.Set(c, r,
                       etc.Get(64 + c, r) == GLOW_INDEX ? static_cast<uint8_t>(bank * 16 + 13)
                                                        : etc.Get(64 + c, 160));
    const int reach[][2] = {{2, 3}, {1, 2}, {1, 3}, {1, 4}, {1, 5}};
    for (const auto& sq : reach)
        Blit(f, marker, 0, 0, 64, 32, 288 + 32 * (sq[0] - sq[1]), 128 + 16 * (sq[0] + sq[1]));
    Blit(f, etc, 64, 32, 64, 32, 288 + 32 * (6 - 4), 128 + 16 * (6 + 4));
    std::vector<LayoutPiece> pieces = ParseLayout();
    int selected = 12;  // a pawn of side 0, drawn tall
    for (size_t i = 0; i < pieces.size(); ++i) {
        if (static_cast<int>(i) == selected) continue;
        int owner = i < 20 ? 0 : 1;
        const LayoutPiece& p = pieces[i];
        Blit(f, side[owner], owner == 0 ? 32 : 64, 32, 32, 32, 304 + 32 * (p.x - p.y),
             120 + 16 * (p.x + p.y));
    }
    const LayoutPiece& sp = pieces[static_cast<size_t>(selected)];
    int h = 46;
    Blit(f, side[0], 288, 0, 64, h, 32 * (sp.x - sp.y + 9), 16 * (sp.x + sp.y) + 150 - h);
    // Centre panel and side panels.
    Blit(f, etc, sideToMove == 0 ? 160 : 224, 0, 64, 32, 288, 43);
    DrawDigitsInto(f, etc, 326, 27, 17, 3, 1);
    Blit(f, etc, 280, 84, 40, 20, 326, 25);
    Blit(f, etc, 160, 64, 80, 20, 540, 115);
    Blit(f, etc, 240, 64, 40, 20, 540, 140);
    Blit(f, etc, 240, 84, 40, 20, 580, 140);
    Blit(f, etc, 280, 64, 40, 20, 540, 165);
    Blit(f, etc, 240, 84, 40, 20, 580, 165);
    for (int k = 0; k < 3; ++k) Blit(f, etc, 260, 104, 16, 16, 524, 118 + 25 * k);
    DrawDigitsInto(f, etc, 428, 118, 0, 2, 1);
    Blit(f, etc, 260, 104, 16, 16, 428, 118);
    DrawDigitsInto(f, etc, 476, 118, 3, 2, 1);
    Blit(f, etc, 260, 104, 16, 16, 476, 118);
    DrawDigitsInto(f, etc, 524, 118, 41, 2, 1);
    DrawDigitsInto(f, etc, 524, 143, 5, 2, 1);
    DrawDigitsInto(f, etc, 524, 168, 57, 1, 1);
    Blit(f, etc, 160, 64, 80, 20, 20, 115);
    Blit(f, etc, 240, 64, 40, 20, 20, 140);
    Blit(f, etc, 280, 64, 40, 20, 20, 165);
    // Piece info panel at its resting place.
    int x0 = 470, b = 380;
    Blit(f, etc, 256, 128, 32, 32, x0 + 110, b);
    Blit(f, side[0], 352, 0, 64, 64, x0, b + 20);
    Blit(f, etc, 32 * 5, 128, 32, 32, x0 + 68, b);
    Blit(f, etc, 160, 84, 40, 20, x0 + 64, b + 36);
    Blit(f, etc, 200, 84, 40, 20, x0 + 64, b + 60);
    DrawDigitsInto(f, etc, x0 + 126, b + 36, 2, 0, 2);
    DrawDigitsInto(f, etc, x0 + 142, b + 36, 7, 0, 2);
    DrawDigitsInto(f, etc, x0 + 142, b + 60, 6, 0, 1);
    // Cursor.
    Blit(f, own, 160, 64, 32, 32, 400, 300);
    return f;
}

bool MatchPreviews(const std::string& dir, const Sheets& s) {
    Canvas side[2] = {s.color, s.color};
    Recolour(side[0], 1);
    Recolour(side[1], 14);
    bool ok = true;
    RgbImage all(2 * 640, 5 * 480);
    for (int style = 0; style < 10; ++style) {
        Canvas f = MockMatch(s, style, side, style % 2);
        Paste(all, ToRgb(f, MatchPalette(), 1), (style % 2) * 640, (style / 2) * 480);
    }
    ok = WritePng(dir + "/match_tile_styles.png", all) && ok;
    // Two frames at 2x, to judge the pixels as the player sees them.
    for (int style : {1, 6})
        ok = WritePng(dir + "/match_style" + std::to_string(style) + "_2x.png",
                      ToRgb(MockMatch(s, style, side, 0), MatchPalette(), 2)) &&
             ok;

    // Blend samples: trail and afterimages with the panel tint; the dimmed frame with banner A.
    Canvas f = MockMatch(s, 0, side, 0);
    Canvas trail = f;
    for (int k = 3; k >= 0; --k)
        BlendBlitInto(trail, side[0], 288, 0, 64, 64, 160 + 30 * k, 230 - 10 * k - 10);
    Blit(trail, side[0], 288, 0, 64, 44, 130, 214);
    for (int k = 0; k < 3; ++k) {
        BlendBlitInto(trail, side[0], 32, 64, 32, 32, 250 + 24 * k - 40, 20);
        BlendBlitInto(trail, side[0], 32, 64, 32, 32, 250 + 24 * k - 20, 14);
        Blit(trail, side[0], 32, 64, 32, 32, 250 + 24 * k, 8);
    }
    Tint(trail, 469, 0, 128, 96, static_cast<uint8_t>(1 * 16 + 13));
    Tint(trail, 45, 0, 128, 96, static_cast<uint8_t>(14 * 16 + 13));
    Blit(trail, s.etc, 0, 128, 32, 32, 469 + 68, 20);
    Blit(trail, side[0], 352, 0, 64, 64, 469, 10);
    Canvas dim = f;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            if (x > 0 && y > 0) dim.Set(x, y, BlendTable[dim.Get(x, y) * 256 + 120]);
    Canvas dimA = dim;
    Blit(dimA, s.etc, 0, 256, 128, 240, 256, 100);
    Canvas dimB = dim;
    Blit(dimB, s.etc, 128, 256, 128, 240, 250, 100);
    RgbImage blend(2 * 640, 2 * 480);
    Paste(blend, ToRgb(trail, MatchPalette(), 1), 0, 0);
    Paste(blend, ToRgb(dim, MatchPalette(), 1), 640, 0);
    Paste(blend, ToRgb(dimA, MatchPalette(), 1), 0, 480);
    Paste(blend, ToRgb(dimB, MatchPalette(), 1), 640, 480);
    ok = WritePng(dir + "/blend_samples.png", blend) && ok;

    // The result screen's pieces: centre emblem and rank pictures on the background.
    Canvas res(640, 480, 239);
    Blit(res, s.etc, 0, 64, 160, 64, 240, 40);
    for (int r = 0; r < 15; ++r)
        Blit(res, s.rank, (r % 5) * 128, (r / 5) * 64, 128, 64, 0 + (r % 5) * 128,
             130 + (r / 5) * 70);
    Blit(res, side[0], 352, 0, 64, 64, 40, 360);
    Blit(res, side[1], 352, 0, 64, 64, 536, 360);
    Blit(res, s.etc, 160, 104, 60, 20, 200, 380);
    Blit(res, s.etc, 260, 104, 16, 16, 262, 382);
    DrawDigitsInto(res, s.etc, 340, 382, 1234, 1, 1);
    Blit(res, s.etc, 220, 104, 40, 20, 200, 410);
    ok = WritePng(dir + "/result_screen.png", ToRgb(res, MatchPalette(), 1)) && ok;
    return ok;
}

}  // namespace

bool WriteArtworkPreviews(const std::string& previewDir) {
    if (!InitArtFonts()) return false;
    Sheets s{DrawEtcSheet(), DrawColorSheet(), DrawRankSheet(), DrawTitleSheet()};
    const Palette& match = MatchPalette();
    for (int i = 0; i < 256; ++i)
        ScreenPalette[i] = {match[i].red, match[i].green, match[i].blue, 0};
    for (int a = 0; a < 256; ++a)
        for (int b = 0; b < 256; ++b)
            BlendTable[a * 256 + b] =
                NearestBlendIndex(static_cast<uint8_t>(a), static_cast<uint8_t>(b));
    bool ok = SheetPreviews(previewDir, s);
    ok = FirePreviews(previewDir, s.title) && ok;
    ok = PaletteSwatch(previewDir) && ok;
    ok = SidePreviews(previewDir, s.color) && ok;
    ok = MatchPreviews(previewDir, s) && ok;
    return ok;
}
