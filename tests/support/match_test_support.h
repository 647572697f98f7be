#pragma once
// Shared set-up of the match tests: the screen and the match sheets as plain surfaces whose cells
// are filled with colours that name them, so a test can tell which cell was drawn where.

#include <gtest/gtest.h>

#include <string>

#include "match/effects.h"
#include "match/match.h"
#include "media/resources.h"
#include "media/sheet_cells.h"
#include "platform/core/platform.h"
#include "rules/board.h"
#include "shell/startup.h"
#include "state/loop_state.h"

namespace matchtest {

constexpr uint8_t BACKGROUND = 0;

// Colours of the digit glyphs: style 1 digit d is 10 + d, style 2 digit d is 30 + d.
constexpr uint8_t Style1Digit(int d) { return static_cast<uint8_t>(10 + d); }
constexpr uint8_t Style2Digit(int d) { return static_cast<uint8_t>(30 + d); }
constexpr uint8_t SEPARATOR = 50;
constexpr uint8_t SHEET_FILL = 200;

inline uint8_t& PixelAt(Surface* s, int x, int y) {
    return s->pixels[static_cast<size_t>(y) * s->pitch + x];
}

inline void FillCell(Surface* s, int cell, uint8_t colour) {
    ColourFill(s, &CellRect(cell), colour);
}

// Reads the glyphs drawn in one 16-pixel row from x (inclusive) rightwards to right (exclusive)
// as text: a digit per glyph, ':' for the separator, '.' for an empty cell, '?' otherwise.
inline std::string ReadGlyphs(Surface* s, int x, int right, int y, int style) {
    std::string out;
    for (int gx = x; gx < right; gx += 16) {
        const uint8_t v = PixelAt(s, gx + 8, y + 8);
        const uint8_t base = style == 1 ? Style1Digit(0) : Style2Digit(0);
        if (v >= base && v < base + 10) {
            out += static_cast<char>('0' + (v - base));
        } else if (v == SEPARATOR) {
            out += ':';
        } else if (v == BACKGROUND) {
            out += '.';
        } else {
            out += '?';
        }
    }
    return out;
}

// A screen pair and the match sheets. EtcSheet's digit glyphs and separator get their naming
// colours, everything else SHEET_FILL; the side sheets are SHEET_FILL + side.
class MatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        FillTrigTables();
        FrontSurface = CreateSurface(640, 480);
        BackBuffer = CreateSurface(640, 480);
        EtcSheet = CreateSurface(320, 496);
        SideSheet[0] = CreateSurface(416, 96);
        SideSheet[1] = CreateSurface(416, 96);
        for (Surface* s : {EtcSheet, SideSheet[0], SideSheet[1]}) {
            SetColourKey(s, true, TRANSPARENT_INDEX);
        }
        ColourFill(EtcSheet, nullptr, SHEET_FILL);
        ColourFill(SideSheet[0], nullptr, SHEET_FILL);
        ColourFill(SideSheet[1], nullptr, SHEET_FILL + 1);
        for (int d = 0; d < DIGIT_CELL_COUNT; ++d) {
            FillCell(EtcSheet, CELL_DIGIT1_0 + d, Style1Digit(d));
            FillCell(EtcSheet, CELL_DIGIT2_0 + d, Style2Digit(d));
        }
        FillCell(EtcSheet, CELL_SEPARATOR, SEPARATOR);
        ColourFill(BackBuffer, nullptr, BACKGROUND);
        ResetMatchRules();
        SideToMove = 0;
        MouseButtons = 0;
        MouseWasUp = 0xFF;
        HoverFlag = 0;
        AnimTick = 0;
        SwingOffset = 0;
        CursorSquare = {-1, -1};
        SoundOn = 1;
    }
    void TearDown() override {
        for (Surface** s : {&FrontSurface, &BackBuffer, &EtcSheet, &SideSheet[0], &SideSheet[1]}) {
            ReleaseSurface(*s);
            *s = nullptr;
        }
        ResetMatchRules();
        SideToMove = 0;
        MouseButtons = 0;
    }
};

}  // namespace matchtest
