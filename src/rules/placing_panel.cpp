#include "rules/placing_panel.h"

#include <cmath>
#include <numbers>

#include "media/blend.h"
#include "media/digits.h"
#include "media/draw.h"
#include "media/resources.h"
#include "media/sheet_cells.h"
#include "media/sound.h"
#include "rules/board.h"
#include "state/loop_state.h"

int PlacePanelStep = 0;
int PlaceChoice = 0;
int PlacePanelSize = 0;
int PlaceTarget = -1;
int PlaceFlightFrame = 0;
int PlaceFlightDistance = 0;
int PlaceFlightAngle = 0;
TrailPoint PlaceFlightIcon = {0, 0};
TrailPoint PlaceFlightTrail[3] = {};

namespace {

constexpr int KIND_CHOICES = 7;

bool Inside(int mx, int my, int left, int top, int right, int bottom) {
    return mx >= left && mx < right && my >= top && my < bottom;
}

int Side() { return SideToMove == 0 ? 0 : 1; }

// The choice as an index into DropCost and the icon row, held to the seven placeable kinds.
int Choice() {
    return PlaceChoice < 0 ? 0 : (PlaceChoice >= KIND_CHOICES ? KIND_CHOICES - 1 : PlaceChoice);
}

void PlayPon2(int index) {
    PlayVoice(Pon2Voice[((index % PON2_VOICE_COUNT) + PON2_VOICE_COUNT) % PON2_VOICE_COUNT], false);
}

// Portrait, chosen kind, cost label, sign and number; the arrows while choosing with points to
// spare; the kind's icon stays out while it is flying to its square.
void DrawContents(int side, TrailPoint origin, bool arrows, bool icon) {
    Surface* own = SideSheet[side];
    const int choice = Choice();
    BltFast(BackBuffer, origin.x, origin.y + 10, own, &CellRect(CELL_PORTRAIT), BLT_KEYED);
    if (icon) {
        BltFast(BackBuffer, origin.x + 68, origin.y + 20, EtcSheet,
                &FamilyCellRect(CELL_ICON_0, choice, ICON_CELL_COUNT), BLT_KEYED);
    }
    BltFast(BackBuffer, origin.x + 24, origin.y + 60, EtcSheet, &CellRect(CELL_VALUE_LABEL),
            BLT_KEYED);
    // The cost sign is the separator glyph of the numbers.
    BltFast(BackBuffer, origin.x + 60, origin.y + 62, EtcSheet, &CellRect(CELL_SEPARATOR),
            BLT_KEYED);
    DrawDigits(BackBuffer, origin.x + 90, origin.y + 62, DropCost[choice], 1, 2);
    if (arrows) {
        BltFast(BackBuffer, origin.x - 30 + SwingOffset, origin.y + 40, own,
                &CellRect(CELL_LEFT_ARROW), BLT_KEYED);
        BltFast(BackBuffer, origin.x + 142 - SwingOffset, origin.y + 40, own,
                &CellRect(CELL_RIGHT_ARROW), BLT_KEYED);
    }
}

void ListEmptySquares() {
    for (ReachEntry& entry : ReachTable) entry.reachable = 0;
    int n = 0;
    for (int y = 0; y < BOARD_SIZE; ++y) {
        for (int x = 0; x < BOARD_SIZE; ++x) {
            if (AnyPieceAt(x, y) >= 0) continue;
            ReachTable[n].x = x;
            ReachTable[n].y = y;
            ReachTable[n].reachable = 1;
            ++n;
        }
    }
}

void Choose(int side, TrailPoint origin, int mx, int my) {
    const int points = SideTally[side].points;
    DrawContents(side, origin, points > 1, true);

    const bool leftClick = (MouseButtons & MouseWasUp & MOUSE_LEFT_HELD) != 0;
    if (points > 1) {
        const int top = origin.y + 40;
        const int bottom = origin.y + 72;
        const bool overLeft = Inside(mx, my, origin.x - 30, top, origin.x + 22, bottom);
        const bool overRight = Inside(mx, my, origin.x + 122, top, origin.x + 174, bottom);
        if (overLeft || overRight) HoverFlag = 1;
        if (overLeft && leftClick) {
            if (PlaceChoice > 0) PlaceChoice -= 1;
            PlayPon2(PlaceChoice);
        }
        if (overRight && leftClick) {
            const int next = DropCost[Choice() + 1];
            if (next != 0 && next <= points && PlaceChoice < KIND_CHOICES - 1) PlaceChoice += 1;
            PlayPon2(PlaceChoice);
        }
    }

    if ((MouseButtons & MouseWasUp & MOUSE_RIGHT_HELD) != 0) {
        PlayVoice(SoundVoice[SFX_CLOSE], false);
        PlacePanelStep = PLACE_CANCEL_CLOSING;
    }

    for (int i = 0; i < REACH_ENTRY_COUNT; ++i) {
        const ReachEntry& entry = ReachTable[i];
        if (entry.reachable != 1 || entry.x != CursorSquare.x || entry.y != CursorSquare.y) {
            continue;
        }
        HoverFlag = 1;
        if ((MouseButtons & MOUSE_LEFT_HELD) == 0) break;
        PlayPon2(0);
        for (int k = 0; k < REACH_ENTRY_COUNT; ++k) {
            if (k != i) ReachTable[k].reachable = 0;
        }
        PlaceTarget = i;
        PlaceFlightFrame = 0;
        for (TrailPoint& t : PlaceFlightTrail) t = {origin.x + 48, origin.y + 32};
        PlaceFlightIcon = {origin.x + 48, origin.y + 32};
        // From the panel towards the target square's piece position, in whole 1/256 turns.
        const double dx = origin.x - 32.0 * (entry.x - entry.y + 8);
        const double dy = origin.y - 16.0 * (entry.x + entry.y + 5);
        PlaceFlightDistance = static_cast<int>(std::sqrt(dx * dx + dy * dy));
        const int angle = static_cast<int>(std::atan2(-dy, dx) * 256.0 / (2.0 * std::numbers::pi));
        PlaceFlightAngle = ((angle % 256) + 256) % 256;
        PlacePanelStep = PLACE_FLYING;
        break;
    }
}

int LowestFreeSlot(int side) {
    for (int slot = FirstSlotOf(side); slot < FirstSlotOf(side) + SIDE_SLOT_COUNT; ++slot) {
        if (PieceTable[slot].kind == KIND_NONE) return slot;
    }
    return -1;
}

void Fly(int side, TrailPoint origin) {
    DrawContents(side, origin, false, false);
    if (PlaceFlightFrame % 4 == 0) {
        PlaceFlightTrail[2] = PlaceFlightTrail[1];
        PlaceFlightTrail[1] = PlaceFlightTrail[0];
        PlaceFlightTrail[0] = PlaceFlightIcon;
    }
    PlaceFlightFrame += 1;
    const int f = PlaceFlightFrame;
    const int a = PlaceFlightAngle & 255;
    PlaceFlightIcon.x =
        static_cast<int>(origin.x + 48 - PlaceFlightDistance * CosTable[a] * f / 60);
    PlaceFlightIcon.y =
        static_cast<int>(origin.y + 32 + PlaceFlightDistance * SinTable[a] * f / 60);

    const int k = (AnimTick / 2) % 4;
    const int frame = k < 0 ? k + 4 : k;
    const Rect& mote = FamilyCellRect(CELL_MOTE_0, frame, FRAME_CELL_COUNT);
    BltFast(BackBuffer, PlaceFlightIcon.x, PlaceFlightIcon.y, SideSheet[side], &mote, BLT_KEYED);
    for (const TrailPoint& t : PlaceFlightTrail) {
        BlendBlit(t.x, t.y, mote.left, mote.top, 32, 32, SideSheet[side]);
    }

    if (PlaceFlightFrame < PLACE_FLIGHT_FRAMES) return;
    const int slot = LowestFreeSlot(side);
    const bool targetValid = PlaceTarget >= 0 && PlaceTarget < REACH_ENTRY_COUNT;
    if (slot < 0 || !targetValid) {
        PlayVoice(SoundVoice[SFX_PON], false);
        PlacePanelStep = PLACE_REPORT_CANCELLED;
        return;
    }
    PlayVoice(SoundVoice[SFX_MAGIC], false);
    const int choice = Choice();
    ReachEntry& target = ReachTable[PlaceTarget];
    PieceRecord& piece = PieceTable[slot];
    piece.x = target.x;
    piece.y = target.y;
    piece.value = DropCost[choice];
    piece.kind = static_cast<uint8_t>(choice + 1);
    target.reachable = 0;
    SideTally[side].points -= DropCost[choice];
    PlacePanelStep = PLACE_PLACED_CLOSING;
}

}  // namespace

void ResetPlacePanel() {
    PlacePanelStep = PLACE_OPENING;
    PlaceChoice = 0;
    PlacePanelSize = 0;
    PlaceTarget = -1;
    PlaceFlightFrame = 0;
}

TrailPoint PlacePanelOrigin(int side) { return side == 0 ? TrailPoint{469, 0} : TrailPoint{45, 0}; }

int HandButtonTest(int mx, int my) {
    const int side = Side();
    const int left = side == 0 ? 581 : 157;
    if (Inside(mx, my, left, 80, left + 32, 112) && SideTally[side].points != 0) HoverFlag = 1;
    if (MouseButtons != 0 && HoverFlag != 0) {
        PlayVoice(SoundVoice[SFX_WIBBLE], false);
        return 1;
    }
    return 0;
}

int PlacePanel(int mx, int my) {
    const int side = Side();
    const TrailPoint origin = PlacePanelOrigin(side);
    const int n = PlacePanelSize;
    TintRect(origin.x + 8 * (16 - n), origin.y + 6 * (16 - n), 8 * n, 6 * n,
             static_cast<uint8_t>(SideColourBank[side] + 13));

    switch (PlacePanelStep) {
    case PLACE_OPENING:
        if (PlacePanelSize >= PLACE_PANEL_FULL_SIZE) {
            PlacePanelStep = PLACE_LISTING;
        } else {
            PlacePanelSize += 1;
        }
        return PLACE_RUNNING;
    case PLACE_LISTING:
        ListEmptySquares();
        PlacePanelStep = PLACE_CHOOSING;
        return PLACE_RUNNING;
    case PLACE_CHOOSING: Choose(side, origin, mx, my); return PLACE_RUNNING;
    case PLACE_FLYING: Fly(side, origin); return PLACE_RUNNING;
    case PLACE_CANCEL_CLOSING:
    case PLACE_PLACED_CLOSING:
        if (PlacePanelSize <= 0) {
            PlacePanelStep = PlacePanelStep == PLACE_CANCEL_CLOSING ? PLACE_REPORT_CANCELLED
                                                                    : PLACE_REPORT_PLACED;
        } else {
            PlacePanelSize -= 1;
        }
        return PLACE_RUNNING;
    case PLACE_REPORT_CANCELLED:
        PlaceChoice = 0;
        PlacePanelStep = PLACE_OPENING;
        return PLACE_CANCELLED;
    case PLACE_REPORT_PLACED:
        PlaceChoice = 0;
        PlacePanelStep = PLACE_OPENING;
        return PLACE_DONE;
    default: return PLACE_RUNNING;
    }
}
