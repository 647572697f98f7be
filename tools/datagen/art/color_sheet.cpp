// COLOR.bmp: one side's sprites. Every opaque pixel keeps its shade (0 darkest .. 15 brightest)
// in its low four bits; the match recolours the sheet into each side's bank.
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

constexpr double PI = 3.14159265358979;

const ArtCell& Cell(const char* name) { return *FindArtCell(SHEET_COLOR, name); }

// Shade in the sheet's own bank.
uint8_t S(int shade) { return Shade(SHEET_BANK, std::clamp(shade, 0, 15)); }
uint8_t SD(double shade, int x, int y) { return S(DitherShade(shade, x, y)); }

// Outlines every opaque region of a cell-sized scratch canvas with shade 0 on the outside
// (8-neighbourhood) and copies it into the sheet.
void OutlineAndPaste(Canvas& sheet, const Canvas& art, int x, int y) {
    Canvas out = art;
    for (int j = 0; j < art.Height(); ++j)
        for (int i = 0; i < art.Width(); ++i) {
            if (art.Get(i, j) != KEY_INDEX) continue;
            bool near = false;
            for (int dj = -1; dj <= 1; ++dj)
                for (int di = -1; di <= 1; ++di)
                    if (art.Get(i + di, j + dj) != KEY_INDEX) near = true;
            if (near) out.Set(i, j, S(0));
        }
    sheet.Paste(out, x, y);
}

// ---- the piece: a thick shogi token lying on the board, its point towards the side's front ----

// Screen offset of board-plane point (a, b) (units of a 32-unit square).
void Project(double a, double b, double* x, double* y) {
    *x = a - b;
    *y = (a + b) / 2.0;
}

// The token's outline in (forward, sideways) units: point, shoulders, base corners.
const double TOKEN_SHAPE[5][2] = {
    {1.0, 0.0}, {0.36, 0.74}, {-0.9, 0.86}, {-0.9, -0.86}, {0.36, -0.74}};
constexpr double TOKEN_THICKNESS = 6.0;

// Screen bounds of the token's outline at size 1 for a forward direction.
void TokenBounds(int forward, double* minX, double* maxX, double* maxY) {
    *minX = 1e9;
    *maxX = -1e9;
    *maxY = -1e9;
    for (const auto& p : TOKEN_SHAPE) {
        double x, y;
        Project(p[1], p[0] * forward, &x, &y);
        *minX = std::min(*minX, x);
        *maxX = std::max(*maxX, x);
        *maxY = std::max(*maxY, y);
    }
}

// Draws the token in a box 30 px wide whose left edge is at left and whose lowest ground point
// is at row bottom; forward is +1 along the board rows for side 0 (down-left on screen) and -1
// for side 1 (up-right).
void DrawToken(Canvas& c, double left, double bottom, int forward) {
    double minX, maxX, maxY;
    TokenBounds(forward, &minX, &maxX, &maxY);
    const double R = 29.0 / (maxX - minX), T = TOKEN_THICKNESS;
    const double cx = left + 0.5 - minX * R, cy = bottom - maxY * R;
    // Dither in the token's own frame, so that every copy of it matches pixel for pixel.
    const int ox = static_cast<int>(left), oy = static_cast<int>(bottom);
    auto polygon = [&](double lift) {
        std::vector<double> xy;
        for (const auto& p : TOKEN_SHAPE) {
            double x, y;
            Project(p[1] * R, p[0] * R * forward, &x, &y);
            xy.push_back(cx + x);
            xy.push_back(cy + y - lift);
        }
        return xy;
    };
    // Walls: the token's thickness, darker towards the ground.
    for (int t = 0; t <= static_cast<int>(T); ++t) {
        Canvas layer(c.Width(), c.Height());
        layer.FillPolygon(polygon(t), 1);
        for (int y = 0; y < c.Height(); ++y)
            for (int x = 0; x < c.Width(); ++x)
                if (layer.Get(x, y) == 1)
                    c.Set(x, y, SD(3.0 + t * 0.6 + (x < cx ? 0.8 : 0), x - ox, y - oy));
    }
    // Top face with a soft light from the upper left, a bright rim and an engraved crest.
    Canvas top(c.Width(), c.Height());
    top.FillPolygon(polygon(T), 1);
    double topY = cy - T;
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x) {
            if (top.Get(x, y) != 1) continue;
            double s = 11.5 - (y - topY) * 0.22 - (x - cx) * 0.07;
            bool rimUp = top.Get(x, y - 1) != 1 || top.Get(x - 1, y) != 1;
            bool rimDown = top.Get(x, y + 1) != 1;
            if (rimUp)
                s = 14.5;
            else if (rimDown)
                s = 8.0;
            c.Set(x, y, SD(s, x - ox, y - oy));
        }
    // Crest: a small ring lying on the top face.
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x) {
            double u = (x + 0.5 - cx) / 4.8, v = (y + 0.5 - topY) / 2.5;
            double r = std::sqrt(u * u + v * v);
            if (r > 0.62 && r < 1.0 && top.Get(x, y) == 1) c.Set(x, y, S(y < topY ? 6 : 15));
            if (r <= 0.3 && top.Get(x, y) == 1) c.Set(x, y, S(15));
        }
}

void DrawPiece(Canvas& sheet, const char* cellName, int forward) {
    const ArtCell& cell = Cell(cellName);
    Canvas art(32, 32);
    DrawToken(art, 1, 29, forward);
    OutlineAndPaste(sheet, art, cell.x, cell.y);
}

// The tall cell: the token in its top 32 rows (two rows lower than on the board sprite, so
// that it stands on the same foot line), and below it what shows as the piece is lifted: a
// column of rising light and the glowing ring it leaves on the square.
void DrawTall(Canvas& sheet, const char* cellName, int forward) {
    const ArtCell& cell = Cell(cellName);
    Canvas art(64, 64);
    // Ring on the ground under the lifted piece (rows 40..47).
    for (int y = 32; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            double u = (x + 0.5 - 32) / 15.0, v = (y + 0.5 - 43) / 5.0;
            double r = std::sqrt(u * u + v * v);
            if (r > 0.7 && r <= 1.0) art.Set(x, y, S(r > 0.86 ? 9 : 12));
        }
    // Beam: brighter at the middle, dithered towards its edges and downward.
    for (int y = 26; y < 44; ++y)
        for (int x = 20; x < 44; ++x) {
            double w = 9.0 - (y - 26) * 0.12;
            double d = std::abs(x + 0.5 - 32) / w;
            if (d > 1.0) continue;
            double s = 15.0 - d * 6.0 - (y - 26) * 0.18;
            if (Hash01(x, y, 5) < d * 0.7 + (y - 26) * 0.02) continue;
            art.Set(x, y, SD(s, x, y));
        }
    // Sparks that drift below the ring (seen in the trail of a moving piece).
    for (int k = 0; k < 14; ++k) {
        int x = 18 + static_cast<int>(Hash01(k, 1, 9) * 28);
        int y = 30 + static_cast<int>(Hash01(k, 2, 9) * 30);
        art.Set(x, y, S(13));
        if (k % 3 == 0) art.Set(x, y - 1, S(10));
    }
    Canvas token(64, 64);
    DrawToken(token, 17, 31, forward);
    Canvas piece(64, 64);
    OutlineAndPaste(piece, token, 0, 0);
    art.Paste(piece, 0, 0);
    sheet.Paste(art, cell.x, cell.y);
}

// ---- small sprites -----------------------------------------------------------------------

void Glow(Canvas& c, double cx, double cy, double r, double peak) {
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x) {
            double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy) / r;
            if (d > 1.0) continue;
            double s = peak - d * d * 8.0;
            if (d > 0.75 && Hash01(x, y, 77) < (d - 0.75) * 3.0) continue;
            uint8_t cur = c.Get(x, y);
            uint8_t v = SD(s, x, y);
            if (cur == KEY_INDEX || (v & 15) > (cur & 15)) c.Set(x, y, v);
        }
}

// A spirit flame: a glowing orb with a flickering tail and four sparks circling it.
void DrawMote(Canvas& sheet, int k) {
    const ArtCell& cell = Cell(("mote " + std::to_string(k)).c_str());
    Canvas art(32, 32);
    // Tail: a teardrop leaning with the frame.
    double lean = std::sin(k * PI / 2.0) * 2.5;
    for (int y = 2; y < 18; ++y)
        for (int x = 0; x < 32; ++x) {
            double t = (18.0 - y) / 16.0;  // 0 at the orb, 1 at the tip
            double cx = 16 + lean * t * t;
            double w = 6.0 * (1.0 - t) + 0.5;
            double d = std::abs(x + 0.5 - cx) / w;
            if (d <= 1.0) art.Set(x, y, SD(13.0 - d * 4.0 - t * 3.0, x, y));
        }
    Glow(art, 16, 19, 9.5, 16.0);
    art.FillEllipse(16, 19, 4.2, 4.2, S(15));
    art.Set(14, 17, S(15));
    OutlineAndPaste(sheet, art, cell.x, cell.y);
    // Sparks circling the orb, bright points without an outline.
    for (int s = 0; s < 4; ++s) {
        double a = (s * 90 + k * 22.5) * PI / 180.0;
        int x = static_cast<int>(std::lround(16 + std::cos(a) * 13.0));
        int y = static_cast<int>(std::lround(19 + std::sin(a) * 7.0));
        sheet.Set(cell.x + x, cell.y + y, S(15));
        sheet.Set(cell.x + x + 1, cell.y + y, S(11));
        sheet.Set(cell.x + x, cell.y + y + 1, S(9));
    }
}

void DrawArrows(Canvas& sheet) {
    for (int dir = 0; dir < 2; ++dir) {
        const ArtCell& cell = Cell(dir == 0 ? "left arrow" : "right arrow");
        Canvas art(16, 16);
        auto X = [dir](double x) { return dir == 0 ? x : 16.0 - x; };
        art.FillPolygon({X(1.5), 8.0, X(12.5), 1.5, X(12.5), 14.5}, S(10));
        art.FillPolygon({X(4.0), 7.5, X(11.0), 3.5, X(11.0), 7.5}, S(14));
        art.FillPolygon({X(4.0), 8.5, X(11.0), 8.5, X(11.0), 12.5}, S(7));
        Canvas out(16, 16);
        OutlineAndPaste(out, art, 0, 0);
        sheet.Paste(out, cell.x, cell.y);
    }
}

void DrawPad(Canvas& sheet) {
    const ArtCell& cell = Cell("pad tile");
    Canvas art(32, 32);
    for (int y = 0; y < 22; ++y)
        for (int x = 0; x < 32; ++x) {
            int hw = 2 * std::min(y, 16 - y);
            if (y <= 16 && x >= 16 - hw && x < 16 + hw) {
                double d = std::abs(x + 0.5 - 16) / 16 + std::abs(y + 0.5 - 8) / 8;
                double s = 8.5 - y * 0.12;
                if (d > 0.86)
                    s = y < 8 ? 13 : 5;
                else if (d < 0.3)
                    s = 10;
                art.Set(x, y, SD(s, x, y));
                continue;
            }
            int edge = x < 16 ? 8 + (x + 1) / 2 : 8 + (32 - x) / 2;
            if (y >= edge && y < edge + 4) art.Set(x, y, S(x < 16 ? 3 : 5));
        }
    sheet.Paste(art, cell.x, cell.y);
}

// The English portrait's crest: a flame of three tongues with a hollow heart, the game's own
// mark, in a 40x40 box.
Mask FlameCrest() {
    Canvas shape(40, 40);
    shape.FillPolygon({20.0, 1.0,  23.5, 8.0,  28.5, 15.0, 31.0, 23.0, 30.0, 30.0, 26.0, 35.5,
                       20.0, 38.0, 14.0, 35.5, 10.0, 30.0, 9.0,  23.0, 11.5, 15.0, 16.5, 8.0},
                      1);
    shape.FillPolygon({6.5, 9.0, 10.5, 17.0, 9.5, 27.0, 5.5, 22.0, 4.5, 15.0}, 1);
    shape.FillPolygon({33.5, 9.0, 35.5, 15.0, 34.5, 22.0, 30.5, 27.0, 29.5, 17.0}, 1);
    shape.FillPolygon({20.0, 17.0, 23.5, 24.0, 24.0, 29.5, 20.0, 33.0, 16.0, 29.5, 16.5, 24.0},
                      KEY_INDEX);
    Mask m = MakeMask(40, 40);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            if (shape.Get(x, y) == 1) m.bits[static_cast<size_t>(y) * 40 + x] = 255;
    return m;
}

void DrawPortrait(Canvas& sheet, SheetLanguage language) {
    const ArtCell& cell = Cell("portrait");
    Canvas art(64, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            double d = std::hypot(x + 0.5 - 32, y + 0.5 - 32);
            if (d > 31) continue;
            double light = ((x - 32) * -0.5 + (y - 32) * -0.8) / 31.0;  // from the upper left
            double s;
            if (d > 29.5)
                s = 1;
            else if (d > 26.5)
                s = 11 + light * 3.5;
            else if (d > 25.2)
                s = 2;
            else
                s = 7.5 + light * 1.6 - d * 0.02;
            art.Set(x, y, SD(s, x, y));
        }
    // Eight studs around the rim, like the rivets of a war fan.
    for (int k = 0; k < 8; ++k) {
        double a = k * PI / 4 + PI / 8;
        int x = static_cast<int>(std::lround(32 + std::cos(a) * 28)),
            y = static_cast<int>(std::lround(32 + std::sin(a) * 28));
        art.Set(x, y, S(15));
        art.Set(x - 1, y, S(13));
        art.Set(x, y + 1, S(5));
    }
    Mask m =
        language == SHEETS_JAPANESE
            ? FitText(FONT_BRUSH, 46, SheetText(CELL_PORTRAIT, "word", language), 40, 40, false, 70)
            : FlameCrest();
    int ox = 32 - m.width / 2, oy = 32 - m.height / 2;
    art.StampMask(m, ox + 1, oy + 2, S(2));
    StampOutlined(art, m, ox, oy, S(15), S(1), 1);
    sheet.Paste(art, cell.x, cell.y);
}

void DrawOrbit(Canvas& sheet) {
    const ArtCell& cell = Cell("orbit");
    Canvas art(32, 32);
    Glow(art, 16, 16, 8, 13);
    for (int k = -11; k <= 11; ++k) {
        int a = std::abs(k);
        uint8_t v = S(a < 4 ? 15 : a < 8 ? 13 : 10);
        art.Set(16 + k, 16, v);
        art.Set(16, 16 + k, v);
        if (a < 6) {
            art.Set(16 + k, 15, v);
            art.Set(15, 16 + k, v);
        }
    }
    for (int k = -4; k <= 4; ++k) {
        art.Set(16 + k, 16 + k, S(12));
        art.Set(16 + k, 16 - k, S(12));
    }
    art.FillEllipse(16, 16, 2.6, 2.6, S(15));
    OutlineAndPaste(sheet, art, cell.x, cell.y);
}

void DrawHandButton(Canvas& sheet, SheetLanguage language) {
    const ArtCell& cell = Cell("hand button");
    Canvas art(32, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            double d = std::hypot(x + 0.5 - 16, y + 0.5 - 17);
            if (d > 13.5) continue;
            double light = ((x - 16) * -0.6 + (y - 17) * -0.8) / 13.5;
            double s = d > 12.3 ? 1 : d > 10 ? 8 + light * 5 : 8 - light * 1.5;
            art.Set(x, y, SD(s, x, y));
        }
    const std::string text = SheetText(CELL_HAND_BUTTON, "word", language);
    if (language == SHEETS_JAPANESE) {
        Mask m = FitText(FONT_BRUSH, 20, text, 16, 16, false, 60);
        StampOutlined(art, m, 16 - m.width / 2, 17 - m.height / 2, S(15), S(1), 1);
    } else {
        // The letter within the button's face, inside its bright rim.
        const WordStyle style{FONT_SERIF_BOLD, 20, 10, false, 60};
        FittedWord w = FitWord(style, text, 16, 16);
        const int x = 16 - w.mask.width / 2, y = 17 - w.mask.height / 2;
        StampOutlined(art, w.mask, x, y, S(15), S(1), 1);
        NoteWord(cell.name, text, w, style, cell.x + x, cell.y + y, 1,
                 {cell.x + 6, cell.y + 7, cell.x + 26, cell.y + 27});
    }
    sheet.Paste(art, cell.x, cell.y);
}

// Flames licking up around the hand button; two consecutive frames are drawn over the face, so
// each frame holds a few outlined tongues whose heights change with the frame.
void DrawFlame(Canvas& sheet, int k) {
    const ArtCell& cell = Cell(("flame " + std::to_string(k)).c_str());
    Canvas art(32, 32);
    const int tongues = 5;
    for (int t = 0; t < tongues; ++t) {
        double a = PI * (1.12 + t * 0.19);  // along the upper rim, left to right
        double bx = 16 + std::cos(a) * 13.0, by = 17 + std::sin(a) * 13.0 + 1;
        double phase = std::sin((t * 2 + k) * PI / 2.0);
        double height = 6.5 + 3.5 * phase, width = 3.0 - 0.5 * phase;
        double lean = (bx - 16) * 0.12;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                double v = (by - (y + 0.5)) / height;  // 0 at the base, 1 at the tip
                if (v < -0.3 || v > 1.0) continue;
                double centre =
                    bx + lean * v * height * 0.3 + std::sin(v * 4.0 + k * 1.6 + t) * 0.9 * v;
                double w = v < 0 ? width * std::sqrt(1.0 - (v / 0.3) * (v / 0.3))
                                 : width * std::pow(1.0 - v, 0.7);
                double d = std::abs(x + 0.5 - centre) / std::max(w, 0.01);
                if (d > 1.0) continue;
                art.Set(x, y, SD(15.0 - d * 3.5 - std::max(0.0, v) * 4.0, x, y));
            }
    }
    OutlineAndPaste(sheet, art, cell.x, cell.y);
    // Embers above the flames.
    for (int s = 0; s < 3; ++s) {
        int x = 7 + static_cast<int>(Hash01(s, k, 3) * 18);
        int y = 0 + static_cast<int>(Hash01(s, k, 4) * 3);
        sheet.Set(cell.x + x, cell.y + y, S(14));
    }
}

// The pointer: an arrow whose tip, the hot spot, is the cell's top-left pixel. Frames 1..3
// add a glint that runs down its edge and a twinkle at the tip.
void DrawCursor(Canvas& sheet, int k) {
    const ArtCell& cell = Cell(("cursor " + std::to_string(k)).c_str());
    Canvas art(32, 32);
    art.FillPolygon({0.0, 0.0, 0.0, 20.0, 5.2, 15.2, 9.0, 23.5, 12.6, 22.0, 8.9, 13.8, 15.0, 13.8},
                    S(12));
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            if (art.Get(x, y) != KEY_INDEX) art.Set(x, y, SD(14.5 - y * 0.22 - x * 0.05, x, y));
    if (k > 0) {
        int g = 3 + k * 5;  // the glint's row along the left edge
        for (int d = 0; d < 3; ++d) {
            art.Set(1, g + d, S(15));
            art.Set(2, g + d + 1, S(15));
        }
    }
    Canvas out(32, 32);
    // Outline only right and below, so the tip pixel (0, 0) stays the arrow itself.
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            if (art.Get(x, y) != KEY_INDEX) continue;
            if (art.Get(x - 1, y) != KEY_INDEX || art.Get(x, y - 1) != KEY_INDEX ||
                art.Get(x - 1, y - 1) != KEY_INDEX)
                out.Set(x, y, S(0));
        }
    for (int y = 0; y < 32; ++y) out.Set(0, y, art.Get(0, y) != KEY_INDEX ? S(2) : out.Get(0, y));
    for (int x = 0; x < 32; ++x) out.Set(x, 0, art.Get(x, 0) != KEY_INDEX ? S(2) : out.Get(x, 0));
    for (int y = 1; y < 32; ++y)
        for (int x = 1; x < 32; ++x)
            if (art.Get(x, y) != KEY_INDEX) out.Set(x, y, art.Get(x, y));
    out.Set(0, 0, S(15));
    if (k > 0) {
        int r = k;  // the tip's twinkle grows with the frame
        for (int d = 1; d <= r + 1; ++d) {
            out.Set(d + 1, 1, S(15));
            out.Set(1, d + 1, S(15));
        }
    }
    sheet.Paste(out, cell.x, cell.y);
}

}  // namespace

Canvas DrawColorSheet(SheetLanguage language) {
    Canvas c(ART_SHEETS[SHEET_COLOR].width, ART_SHEETS[SHEET_COLOR].height);
    for (int k = 0; k < 4; ++k) DrawMote(c, k);
    DrawArrows(c);
    DrawPiece(c, "piece 0", +1);
    DrawPiece(c, "piece 1", -1);
    DrawPad(c);
    DrawTall(c, "tall 0", +1);
    DrawTall(c, "tall 1", -1);
    DrawPortrait(c, language);
    DrawOrbit(c);
    DrawHandButton(c, language);
    for (int k = 0; k < 4; ++k) DrawCursor(c, k);
    for (int k = 0; k < 4; ++k) DrawFlame(c, k);
    return c;
}
