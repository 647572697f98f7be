#include "match/blocking_sequences.h"

#include "media/blend.h"
#include "media/draw.h"
#include "media/music.h"
#include "media/resources.h"
#include "media/sheet_cells.h"
#include "rules/board.h"
#include "state/language.h"
#include "state/loop_state.h"

int BlockHalfSize[BLOCK_ROWS * BLOCK_COLUMNS] = {};
int BlockWave = 0;
MatchEnding LastMatchEnding;

namespace {

constexpr uint8_t DIM_INDEX = 120;
constexpr uint8_t CLEAR_INDEX = 255;

// Paces a loop like the main loop: the first step runs at once, every later one when at least
// period milliseconds have passed since the previous step. Waiting pumps no messages, so the
// pointer, the buttons and the animation tick stand still; the keyboard stays current.
class StepPacer {
public:
    explicit StepPacer(uint32_t period) : period_(period) {}
    void Next() {
        if (started_) {
            while (TimeGetTime() - last_ < period_) WaitUntil(last_ + period_);
        }
        started_ = true;
        last_ = TimeGetTime();
    }

private:
    uint32_t period_;
    uint32_t last_ = 0;
    bool started_ = false;
};

void Present() { BltFast(FrontSurface, 0, 0, BackBuffer, nullptr, BLTFAST_WAIT); }

// Keeps the undimmed frame in SaveSurface and leaves the frame dimmed halfway towards index 120
// in both BackBuffer and DimSurface.
void DimTheBoard() {
    BltFast(SaveSurface, 0, 0, BackBuffer, nullptr, BLTFAST_WAIT);
    FillScreen(DimSurface, DIM_INDEX);
    BlendBlit(0, 0, 0, 0, 640, 480, DimSurface);
    BltFast(DimSurface, 0, 0, BackBuffer, nullptr, BLTFAST_WAIT);
}

constexpr int ENGLISH_OUTCOME_HEIGHT = 88;

}  // namespace

OutcomeText MatchEndText(int outcome) {
    const char* japanese = outcome == 1   ? "一\n之\n方\n勝\n利"
                           : outcome == 2 ? "二\n之\n方\n勝\n利"
                                          : "対\n局\n没\n収";
    const int height = outcome == 3 ? 120 : 96;
    if (!InEnglish()) return {japanese, height, Rect{0, 0, 640, 480}};
    const char* english = Localized(japanese);
    int lines = 1;
    for (const char* c = english; *c != 0; ++c) lines += *c == '\n' ? 1 : 0;
    const int top = (480 - lines * ENGLISH_OUTCOME_HEIGHT) / 2;
    return {english, ENGLISH_OUTCOME_HEIGHT, Rect{0, top, 640, 480}};
}

void BlockShrinkTransition(Surface* from, Surface* to) {
    for (int& v : BlockHalfSize) v = BLOCK_HALF_SIZE;
    BlockWave = 0;
    StepPacer pacer(BLOCK_STEP_MS);
    do {
        pacer.Next();
        BltFast(BackBuffer, 0, 0, to, nullptr, BLTFAST_WAIT);
        for (int row = 0; row < BLOCK_ROWS; ++row) {
            for (int column = 0; column < BLOCK_COLUMNS; ++column) {
                int& v = BlockHalfSize[row * BLOCK_COLUMNS + column];
                if (row + column < BlockWave && v > 0) v -= 1;
                if (v == 0) continue;
                const int cx = 32 * column + 16;
                const int cy = 32 * row + 16;
                const Rect square = {cx - v, cy - v, cx + v, cy + v};
                BltFast(BackBuffer, square.left, square.top, from, &square, BLTFAST_WAIT);
            }
        }
        Flip(FrontSurface);
        BlockWave += 1;
        if (KeyHeld('C')) return;
    } while (BlockHalfSize[BLOCK_ROWS * BLOCK_COLUMNS - 1] > 0);
}

void MatchStartBanner() {
    DimTheBoard();
    StepPacer pacer(FramePeriod);
    int phase = 0;
    int step = 0;
    while (phase < 5) {
        pacer.Next();
        if (phase == 0) {
            BlockShrinkTransition(SaveSurface, DimSurface);
            phase = 1;
        } else if (phase == 1) {
            BltFast(BackBuffer, 0, 0, DimSurface, nullptr, BLTFAST_WAIT);
            if (step < 30) {
                BltFast(BackBuffer, 256, 100, EtcSheet, &CellRect(CELL_BANNER_A), BLT_KEYED);
            } else {
                BltFast(BackBuffer, 250, 100, EtcSheet, &CellRect(CELL_BANNER_B), BLT_KEYED);
            }
            step += 1;
            if (step > 60) phase = 4;
        } else if (phase == 4) {
            BlockShrinkTransition(DimSurface, SaveSurface);
            phase = 5;
        }
        if (KeyHeld('M')) return;
        Present();
    }
}

void MatchEnd(int outcome) {
    if (outcome < 1 || outcome > 3) return;
    LastMatchEnding = {outcome, SideToMove == 0 ? 0 : 1};
    DimTheBoard();
    BlockShrinkTransition(SaveSurface, DimSurface);
    const OutcomeText text = MatchEndText(outcome);
    StepPacer pacer(FramePeriod);
    for (int step = 0;;) {
        pacer.Next();
        BltFast(BackBuffer, 0, 0, DimSurface, nullptr, BLTFAST_WAIT);
        DrawSurfaceText(BackBuffer, text.text, TextFace, text.box, 0, text.height, 255, 255, 255,
                        DT_CENTER);
        step += 1;
        if (step > END_TEXT_STEPS) break;
        Present();
    }
    FillScreen(SaveSurface, CLEAR_INDEX);
    BlockShrinkTransition(DimSurface, SaveSurface);
    FillScreen(BackBuffer, CLEAR_INDEX);
    FillScreen(FrontSurface, CLEAR_INDEX);
    SendMusicCommand("stop  bgm");
    SendMusicCommand("close bgm");
    Scene = SCENE_RESULT;
}
