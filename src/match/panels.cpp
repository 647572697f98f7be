#include "match/panels.h"

#include "media/blend.h"
#include "media/draw.h"
#include "media/resources.h"
#include "media/sheet_cells.h"
#include "rules/board.h"
#include "shell/shell_state.h"

int OrbitAngle[3] = {0, 84, 168};

namespace {

constexpr int GLYPH = 16;
constexpr Rect TURN_BANNER_CELL[2] = {{160, 0, 224, 32}, {224, 0, 288, 32}};
constexpr Rect TURN_LABEL_CELL = {280, 84, 320, 104};
constexpr Rect CLOCK_LABEL_CELL = {160, 64, 240, 84};
constexpr Rect POINTS_LABEL_CELL = {240, 64, 280, 84};
constexpr Rect MATERIAL_LABEL_CELL = {280, 64, 320, 84};
constexpr Rect UNIT_LABEL_CELL = {240, 84, 280, 104};
constexpr Rect ORBIT_CELL = {32, 64, 64, 96};

// The row of the digit glyphs of a style in EtcSheet; -1 for a style without glyphs.
int GlyphRow(int style) {
    if (style == 1) return 48;
    if (style == 2) return 32;
    return -1;
}

void Separator(int x, int y) { BltFast(BackBuffer, x, y, EtcSheet, &SEPARATOR_CELL, BLT_KEYED); }

// One side's three rows: labels from labelX, separators at sepX, values right-aligned at sepX.
struct SidePanelLayout {
    int labelX;
    int unitX;
    int sepX;
    int clockX;
    int valueX;
};

void DrawSidePanel(Surface* surface, const SidePanelLayout& at, const TallyRecord& tally) {
    BltFast(surface, at.labelX, 115, EtcSheet, &CLOCK_LABEL_CELL, BLT_KEYED);
    Separator(at.sepX, 118);
    DrawClock(at.clockX, 118, tally.clockSeconds);

    BltFast(surface, at.labelX, 140, EtcSheet, &POINTS_LABEL_CELL, BLT_KEYED);
    BltFast(surface, at.unitX, 140, EtcSheet, &UNIT_LABEL_CELL, BLT_KEYED);
    Separator(at.sepX, 143);
    DrawDigits(BackBuffer, at.valueX, 143, tally.points, 2, 1);

    BltFast(surface, at.labelX, 165, EtcSheet, &MATERIAL_LABEL_CELL, BLT_KEYED);
    BltFast(surface, at.unitX, 165, EtcSheet, &UNIT_LABEL_CELL, BLT_KEYED);
    Separator(at.sepX, 168);
    DrawDigits(BackBuffer, at.valueX, 168, tally.material, 1, 1);
}

}  // namespace

void DrawDigits(Surface* surface, int x, int y, int value, int minDigits, int style) {
    // A negative number has no glyphs; it is shown as 0 rather than read from outside the row.
    int rest = value < 0 ? 0 : value;
    const int row = GlyphRow(style);
    int glyphX = x - GLYPH;
    do {
        const int d = rest % 10;
        if (row >= 0) {
            const Rect cell = {160 + GLYPH * d, row, 176 + GLYPH * d, row + GLYPH};
            BltClipped(surface, glyphX, y, GLYPH, GLYPH, EtcSheet, cell, BLT_KEYED);
        }
        rest /= 10;
        minDigits -= 1;
        glyphX -= GLYPH;
    } while (rest > 0 || minDigits > 0);
}

void DrawClock(int x, int y, int seconds) {
    const int s = seconds < 0 ? 0 : seconds;
    DrawDigits(BackBuffer, x + 16, y, s / 3600, 2, 1);
    Separator(x + 16, y);
    DrawDigits(BackBuffer, x + 64, y, (s / 60) % 60, 2, 1);
    Separator(x + 64, y);
    DrawDigits(BackBuffer, x + 112, y, s % 60, 2, 1);
}

void DrawCentrePanel(Surface* surface, int cx, int cy, int rx, int ry, int turn, int seconds) {
    const int side = SideToMove == 0 ? 0 : 1;
    BltFast(surface, cx - 32, cy - 12, EtcSheet, &TURN_BANNER_CELL[side], BLT_KEYED);

    Surface* sheet = SideSheet[side];
    for (int& angle : OrbitAngle) {
        angle += 4;
        const auto pos = [&](int a, int* px, int* py) {
            *px = static_cast<int>(cx + rx * CosTable[a]) - 16;
            *py = static_cast<int>(cy - ry * SinTable[a]) - 8;
        };
        int px = 0;
        int py = 0;
        // Two fading afterimages trail the sprite by 20 and 10 units of angle.
        pos((angle - 20) & 255, &px, &py);
        BlendBlit(px, py, ORBIT_CELL.left, ORBIT_CELL.top, 32, 32, sheet);
        pos((angle - 10) & 255, &px, &py);
        BlendBlit(px, py, ORBIT_CELL.left, ORBIT_CELL.top, 32, 32, sheet);
        pos(angle & 255, &px, &py);
        BltFast(surface, px, py, sheet, &ORBIT_CELL, BLT_KEYED);
    }

    DrawDigits(surface, cx + 6, cy - 28, turn, 3, 1);
    BltFast(surface, cx + 6, cy - 30, EtcSheet, &TURN_LABEL_CELL, BLT_KEYED);
    DrawClock(cx - 45, cy + 20, seconds);
}

void DrawSidePanels(Surface* surface) {
    DrawSidePanel(surface, {540, 580, 524, 412, 524}, SideTally[0]);
    DrawSidePanel(surface, {20, 60, 100, 132, 148}, SideTally[1]);
}
