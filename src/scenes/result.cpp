#include "scenes/result.h"

#include "match/match.h"
#include "match/panels.h"
#include "media/digits.h"
#include "media/draw.h"
#include "media/palette.h"
#include "media/resources.h"
#include "media/sheet_cells.h"
#include "media/sound.h"
#include "platform/core/platform.h"
#include "rules/board.h"
#include "rules/tally.h"
#include "state/computer_setting.h"
#include "state/language.h"
#include "state/loop_state.h"

int ResultStep = 0;
int ResultCounter = 0;

namespace {

constexpr uint8_t BACKGROUND_INDEX = 239;
constexpr int REVEAL_PERIOD = 20;  // frames between two groups
constexpr int LAST_GROUP = 5;
constexpr int FADING_OUT = 7;
constexpr int FADE_OUT_STEPS = 90;
constexpr Rgb BLACK = {0, 0, 0};
// With both sides to the computer nobody clicks: the screen leaves by itself after the scores and
// ranks have stood a few seconds.
constexpr int DEMO_LEAVE_FRAMES = 250;

// The emblem beside each portrait is the side's own piece sprite.
constexpr int EMBLEM_CELL = CELL_PIECE_0;

const Rect& RankCell(int rank) { return FamilyCellRect(CELL_RANK_0, rank, RANK_CELL_COUNT); }

void Draw(int x, int y, Surface* sheet, const Rect& cell) {
    BltFast(BackBuffer, x, y, sheet, &cell, BLT_KEYED);
}

// Side 1 on the left, side 0 on the right, as in the match.
void DrawPortraits() {
    Draw(90, 60, SideSheet[1], CellRect(CELL_PORTRAIT));
    Draw(154, 76, SideSheet[1], CellRect(EMBLEM_CELL));
    Draw(444, 60, SideSheet[0], CellRect(CELL_PORTRAIT));
    Draw(508, 76, SideSheet[0], CellRect(EMBLEM_CELL));
    DrawCentrePanel(BackBuffer, 320, 55, 90, 45, TurnNumber, MatchClock);
}

void DrawUpperRule() {
    GdiLine(BackBuffer, 10, 215, 220, 215, BLACK);
    GdiLine(BackBuffer, 420, 215, 630, 215, BLACK);
    Draw(240, 190, EtcSheet, CellRect(CELL_PLATE));
}

// Left: label, separator, number; right: number, separator, label.
void DrawScores(int score0, int score1) {
    Draw(36, 240, EtcSheet, CellRect(CELL_SCORE_LABEL));
    Draw(100, 242, EtcSheet, CellRect(CELL_SEPARATOR));
    DrawDigits(BackBuffer, 196, 242, score1, 5, 1);
    Draw(540, 240, EtcSheet, CellRect(CELL_SCORE_LABEL));
    Draw(524, 242, EtcSheet, CellRect(CELL_SEPARATOR));
    DrawDigits(BackBuffer, 525, 242, score0, 5, 1);
}

void DrawRanks(int score0, int score1) {
    Draw(60, 300, RankSheet, RankCell(RankOf(score1)));
    Draw(452, 300, RankSheet, RankCell(RankOf(score0)));
    GdiLine(BackBuffer, 10, 364, 220, 364, BLACK);
    GdiLine(BackBuffer, 420, 364, 630, 364, BLACK);
    Draw(10, 344, EtcSheet, CellRect(CELL_RANK_LABEL));
    Draw(586, 344, EtcSheet, CellRect(CELL_RANK_LABEL));
    // Shown for 12 ticks, hidden for 4.
    if ((AnimTick / 4) % 4 != 0)
        GdiTextOut(BackBuffer, 250, 400, Localized("CLICK MOUSE KEY"), BLACK);
}

}  // namespace

void ResultFrame() {
    FramePeriod = 33;
    const int score0 = MatchScore(0);
    const int score1 = MatchScore(1);
    FillScreen(BackBuffer, BACKGROUND_INDEX);
    ResultCounter += 1;
    if (ResultCounter % REVEAL_PERIOD == 0 && ResultStep < LAST_GROUP) {
        ResultStep += 1;
        PlayVoice(SoundVoice[SFX_BANGER], false);
    }
    // A button shows everything at once and starts the fade-out.
    if (MouseButtons != 0) ResultStep = FADING_OUT;
    if (ComputerPlaysBoth() && ResultCounter >= DEMO_LEAVE_FRAMES) ResultStep = FADING_OUT;
    if (ResultStep >= 1) DrawPortraits();
    if (ResultStep >= 2) DrawSidePanels(BackBuffer);
    if (ResultStep >= 3) DrawUpperRule();
    if (ResultStep >= 4) DrawScores(score0, score1);
    if (ResultStep >= 5) DrawRanks(score0, score1);
    if (ResultStep == FADING_OUT && FadePalette(FADE_OUT_STEPS, false)) {
        ResultCounter = 0;
        ResultStep = 0;
        ReleaseMatchSurfaces();
        Scene = SCENE_TITLE_LOAD;
        return;
    }
    Flip(FrontSurface);
}
