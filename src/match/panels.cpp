#include "match/panels.h"

#include "media/blend.h"
#include "media/digits.h"
#include "media/draw.h"
#include "media/resources.h"
#include "media/sheet_cells.h"
#include "rules/board.h"
#include "state/loop_state.h"

int OrbitAngle[3] = {0, 84, 168};

namespace {

void Separator(int x, int y) {
    BltFast(BackBuffer, x, y, EtcSheet, &CellRect(CELL_SEPARATOR), BLT_KEYED);
}

// One side's three rows: labels from labelX, separators at sepX, values right-aligned at sepX.
struct SidePanelLayout {
    int labelX;
    int unitX;
    int sepX;
    int clockX;
    int valueX;
};

void DrawSidePanel(Surface* surface, const SidePanelLayout& at, const TallyRecord& tally) {
    BltFast(surface, at.labelX, 115, EtcSheet, &CellRect(CELL_CLOCK_LABEL), BLT_KEYED);
    Separator(at.sepX, 118);
    DrawClock(at.clockX, 118, tally.clockSeconds);

    BltFast(surface, at.labelX, 140, EtcSheet, &CellRect(CELL_POINTS_LABEL), BLT_KEYED);
    BltFast(surface, at.unitX, 140, EtcSheet, &CellRect(CELL_UNIT_LABEL), BLT_KEYED);
    Separator(at.sepX, 143);
    DrawDigits(BackBuffer, at.valueX, 143, tally.points, 2, 1);

    BltFast(surface, at.labelX, 165, EtcSheet, &CellRect(CELL_MATERIAL_LABEL), BLT_KEYED);
    BltFast(surface, at.unitX, 165, EtcSheet, &CellRect(CELL_UNIT_LABEL), BLT_KEYED);
    Separator(at.sepX, 168);
    DrawDigits(BackBuffer, at.valueX, 168, tally.material, 1, 1);
}

}  // namespace

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
    BltFast(surface, cx - 32, cy - 12, EtcSheet, &CellRect(CELL_TURN_BANNER_0 + side), BLT_KEYED);

    Surface* sheet = SideSheet[side];
    const Rect& orbit = CellRect(CELL_ORBIT);
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
        BlendBlit(px, py, orbit.left, orbit.top, 32, 32, sheet);
        pos((angle - 10) & 255, &px, &py);
        BlendBlit(px, py, orbit.left, orbit.top, 32, 32, sheet);
        pos(angle & 255, &px, &py);
        BltFast(surface, px, py, sheet, &orbit, BLT_KEYED);
    }

    DrawDigits(surface, cx + 6, cy - 28, turn, 3, 1);
    BltFast(surface, cx + 6, cy - 30, EtcSheet, &CellRect(CELL_TURN_LABEL), BLT_KEYED);
    DrawClock(cx - 45, cy + 20, seconds);
}

void DrawSidePanels(Surface* surface) {
    DrawSidePanel(surface, {540, 580, 524, 412, 524}, SideTally[0]);
    DrawSidePanel(surface, {20, 60, 100, 132, 148}, SideTally[1]);
}
