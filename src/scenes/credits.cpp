#include "scenes/credits.h"

#include <cstdio>

#include "media/draw.h"
#include "media/palette.h"
#include "media/resources.h"
#include "platform/core/platform.h"
#include "scenes/ending.h"
#include "state/language.h"
#include "state/loop_state.h"
#include "state/random.h"

// The sliding title (entries 1 to 9) walks a two-letter window across the full-width title word,
// one step every 9 frames, with ideographic spaces in the other columns.
const CreditsEntry CreditsTable[CREDITS_ENTRY_COUNT] = {
    {0, 200, ""},
    {0, 9, "Ｋ　　　　　　　"},
    {0, 9, "ＫＥ　　　　　　"},
    {0, 9, "　ＥＬ　　　　　"},
    {0, 9, "　　ＬＭ　　　　"},
    {0, 9, "　　　ＭＯ　　　"},
    {0, 9, "　　　　ＯＲ　　"},
    {0, 9, "　　　　　ＲＡ　"},
    {0, 9, "　　　　　　ＡＶ"},
    {0, 9, "　　　　　　　Ｖ"},
    {2, 100, "KELMORAV\n\n[-KELMORAV-]"},
    {0, 100, "製作スタッフ"},
    {0, 30, ""},
    {2, 200, "[企画]\n\nVandrelit"},
    {0, 30, ""},
    {2, 200, "[プログラム]\n\nVandrelit"},
    {0, 30, ""},
    {3, 200, "[グラフィック]\n\nVandrelit\nQuorvastel"},
    {0, 30, ""},
    {4, 200, "[サウンド]\n\nKORVANTE\nSilvaret\nBrundelmo"},
    {0, 30, ""},
    {2, 200, "[プロデュース]\n\nVandrelit"},
    {0, 90, ""},
    {2, 30, "Presented\n\n"},
    {2, 30, "\n\nby"},
    {0, 300, "Tarvessin"},
    {4, 300, "Thank you\n\nfor\n\nPlaying"},
    {0, 90, ""},
    {0, 200, "終"},
};

int CreditsIndex = 0;
int CreditsCounter = 0;
int TraceX = 0;
int TraceY = 0;
int TracePrevX = 0;
int TracePrevY = 0;
uint8_t DotAngle[2] = {0, 0};

namespace {

constexpr int CANVAS_WIDTH = 320;
constexpr int CANVAS_HEIGHT = 240;
constexpr Rect FIRE_CANVAS_RECT = {0, 0, CANVAS_WIDTH, CANVAS_HEIGHT};
const char* const DOT = "●";

// The trace runs flat along the middle and jumps about over its central stretch, like the
// trace of a pulse monitor; past the right edge it starts again at the left.
void AdvanceTrace() {
    TraceX += 8;
    TraceY = 120;
    if (TraceX > CANVAS_WIDTH) {
        TracePrevX = 0;
        TraceX = 0;
    } else if (TraceX > 112 && TraceX < 216) {
        TraceY = 120 + Rand() % 100 - 50;
    }
    if (FirePen != nullptr) {
        GdiLine(FireCanvas, TracePrevX, TracePrevY, TraceX, TraceY, FirePen->colour);
    }
    TracePrevX = TraceX;
    TracePrevY = TraceY;
}

// Dot A circles the centre clockwise on a radius of 40; dot B runs the other way round a wide
// ellipse. Both take 128 frames a turn.
void DrawDots() {
    DotAngle[0] = static_cast<uint8_t>(DotAngle[0] + 2);
    int x = static_cast<int>(CosTable[DotAngle[0]] * 40 + 156);
    int y = static_cast<int>(SinTable[DotAngle[0]] * 40 + 116);
    DrawSurfaceText(FireCanvas, DOT, "", Rect{x, y, x + 40, y + 40}, 4, 8, 255, 255, 255,
                    DT_VCENTER);
    DotAngle[1] = static_cast<uint8_t>(DotAngle[1] - 2);
    x = static_cast<int>(CosTable[DotAngle[1]] * 120 + 154);
    y = static_cast<int>(SinTable[DotAngle[1]] * 80 + 114);
    DrawSurfaceText(FireCanvas, DOT, "", Rect{x, y, x + 20, y + 20}, 0, 12, 255, 255, 255,
                    DT_VCENTER);
}

}  // namespace

void CreditsFireStep() {
    AdvanceTrace();
    DrawDots();
    LockedSurface canvas;
    if (LockSurface(FireCanvas, &canvas)) {
        FireSmooth(canvas, FIRE_SMOOTH_CREDITS);
        UnlockSurface(FireCanvas);
    }
    BltFast(BackBuffer, 0, 0, FireCanvas, &FIRE_CANVAS_RECT, 0);
    Flip(FrontSurface);
}

// An entry of f frames is drawn for f - 1 frames; in the frame after, the next entry's fire
// palette arrives and no text is drawn.
void CreditsFrame() {
    CreditsCounter += 1;
    const CreditsEntry& entry = CreditsTable[CreditsIndex];
    if (CreditsCounter < entry.frames) {
        // 30-pixel lines: a block of row + 1 lines is centred on the middle of the screen.
        const Rect box{0, 105 - 15 * entry.row, CANVAS_WIDTH, CANVAS_HEIGHT};
        DrawSurfaceText(FireCanvas, Localized(entry.text), CreditsFace, box, 0, 30, 255, 255, 255,
                        DT_CENTER, TEXT_WEIGHT_BOLD);
    } else {
        CreditsCounter = 0;
        CreditsIndex += 1;
        char path[32];
        std::snprintf(path, sizeof path, "DATA\\BMP\\FIRE%d.bmp", Rand() % 16 + 1);
        LoadPaletteFromBmp(path);
    }
    CreditsFireStep();
    if (CreditsIndex >= CREDITS_ENTRY_COUNT) {
        CreditsIndex = 0;
        Scene = SCENE_ENDING_CLOSE;
    }
}
