#include "match/effects.h"

#include <cmath>
#include <cstdlib>

#include "media/draw.h"
#include "media/resources.h"
#include "media/sheet_cells.h"
#include "media/sound.h"
#include "rules/board.h"
#include "state/loop_state.h"
#include "state/random.h"

PointMote PointMoteTable[POINT_MOTE_COUNT] = {};
ShatterFragment ShatterPixel[SHATTER_FRAGMENT_COUNT] = {};
int ShatterRadius = 0;
int ShatterPhase = 0;
int ShatterSpeed = SHATTER_START_SPEED;

namespace {

constexpr double HALF_TURN = 3.141592;  // the angle scale of the mote headings
constexpr int MOTE_SPEED = 10;
constexpr int MOTE_TURN = 5;
constexpr int ARRIVAL_DISTANCE = 5;

int MoteFrame() { return ((AnimTick >> 1) % 4 + 4) % 4; }
const Rect& MoteCell(int k) { return FamilyCellRect(CELL_MOTE_0, k, FRAME_CELL_COUNT); }

void ScatterFragments(int x, int y) {
    for (int row = 0; row < 32; ++row) {
        for (int col = 0; col < 32; ++col) {
            ShatterFragment& f = ShatterPixel[row * 32 + col];
            f.x0 = x + col;
            f.y0 = y + row;
            const int r1 = Rand() % 256;
            const int r2 = Rand() % 256;
            f.dx = CosTable[r1];
            f.dy = -SinTable[r2];
        }
    }
}

// Every fragment drawn at the current radius, each one pixel of a 32x32 cell: the picture they
// make up is side 0's piece sprite while bursting, mote frame 0 while gathering.
void DrawFragments(Surface* sheet, const Rect& source) {
    for (int row = 0; row < 32; ++row) {
        for (int col = 0; col < 32; ++col) {
            const ShatterFragment& f = ShatterPixel[row * 32 + col];
            const int sx = source.left + col;
            const int sy = source.top + row;
            const Rect pixel = {sx, sy, sx + 1, sy + 1};
            const int px = static_cast<int>(ShatterRadius * f.dx + f.x0);
            const int py = static_cast<int>(ShatterRadius * f.dy + f.y0);
            BltFast(BackBuffer, px, py, sheet, &pixel, BLT_KEYED);
        }
    }
}

}  // namespace

void ShatterStep(Surface* sheet, int x, int y, int frame) {
    if (ShatterRadius < 1) ScatterFragments(x, y);
    switch (ShatterPhase) {
    case 0:
        DrawFragments(sheet, CellRect(CELL_PIECE_0));
        ShatterRadius += ShatterSpeed;
        if (AnimTick & 1) ShatterSpeed -= 1;
        if (ShatterSpeed == 0) ShatterPhase = 1;
        break;
    case 1:
        DrawFragments(sheet, CellRect(CELL_MOTE_0));
        ShatterRadius -= ShatterSpeed;
        if (ShatterSpeed == SHATTER_START_SPEED) {
            ShatterPhase = 2;
        } else if (AnimTick & 1) {
            ShatterSpeed += 1;
        }
        break;
    case 2: {
        BltFast(BackBuffer, x, y, sheet, &MoteCell(MoteFrame()), BLT_KEYED);
        break;
    }
    default: break;
    }
    if (frame == SHATTER_LAST_FRAME) {
        ShatterRadius = 0;
        ShatterPhase = 0;
    }
}

void UpdateMotes() {
    for (int k = 0; k < POINT_MOTE_COUNT; ++k) {
        PointMote& m = PointMoteTable[k];
        if (m.delay == 0) continue;
        if (m.delay == 1) {
            const int a = m.heading & 255;
            m.x += static_cast<int>(CosTable[a] * MOTE_SPEED);
            m.y += static_cast<int>(SinTable[a] * -MOTE_SPEED);
            const int desired =
                static_cast<int>(std::atan2(m.y - m.targetY, m.targetX - m.x) * 128 / HALF_TURN);
            m.heading += m.heading < desired ? MOTE_TURN : -MOTE_TURN;
        } else {
            m.delay -= 1;
        }
        const int side = m.side == 0 ? 0 : 1;
        BltClipped(BackBuffer, m.x, m.y, 32, 32, SideSheet[1 - side], MoteCell(MoteFrame()),
                   BLT_KEYED);
        if (std::abs(m.x - m.targetX) < ARRIVAL_DISTANCE &&
            std::abs(m.y - m.targetY) < ARRIVAL_DISTANCE) {
            PlayVoice(MoteArrivalVoice(k), false);
            m.delay = 0;
            SideTally[side].points += 1;
        }
    }
}

bool ReleaseMote(int x, int y, double fromX, double fromY, int side, int delay) {
    for (PointMote& m : PointMoteTable) {
        if (m.delay != 0) continue;
        const int s = side == 0 ? 0 : 1;
        m.x = x;
        m.y = y;
        m.targetX = MOTE_TARGET_X[s];
        m.targetY = MOTE_TARGET_Y;
        // A quarter turn clockwise of the straight line, so the motes swing out before homing.
        m.heading = static_cast<int>(
            std::atan2(fromY - MOTE_TARGET_Y, m.targetX - fromX) * 128 / HALF_TURN + 192);
        m.delay = static_cast<uint8_t>(delay);
        m.side = static_cast<uint8_t>(s);
        return true;
    }
    return false;
}
