// Clocks and the match's panels: the clock's hour digits beyond 99, each side's tallies in its
// own panel, the centre panel's turn and time and the orbit's step.
#include "match/panels.h"

#include <gtest/gtest.h>

#include "support/match_test_support.h"

namespace {

using matchtest::MatchTest;
using matchtest::ReadGlyphs;

struct ClockCase {
    const char* name;
    int seconds;
    const char* shown;  // glyphs from x - 32 to x + 112
};

class MatchClockDigits : public MatchTest, public ::testing::WithParamInterface<ClockCase> {};

TEST_P(MatchClockDigits, HoursMinutesSeconds) {
    const ClockCase& c = GetParam();
    DrawClock(200, 118, c.seconds);
    EXPECT_EQ(ReadGlyphs(BackBuffer, 200 - 32, 200 + 112, 118, 1), c.shown);
}

INSTANTIATE_TEST_SUITE_P(Cases, MatchClockDigits,
                         ::testing::Values(ClockCase{"Zero", 0, ".00:00:00"},
                                           ClockCase{"OneHourTwoMinutesFive", 3725, ".01:02:05"},
                                           ClockCase{"LastSecondOfADay", 86399, ".23:59:59"},
                                           ClockCase{"HundredHoursGrowLeftwards", 360000,
                                                     "100:00:00"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MatchTest, SidePanelsShowEachSidesTallies) {
    SideTally[0] = {3725, 12, 40};
    SideTally[1] = {59, 0, 7};
    DrawSidePanels(BackBuffer);
    // Side 0 on the right: separator at 524, values right-aligned at 524.
    EXPECT_EQ(ReadGlyphs(BackBuffer, 396, 524 + 16, 118, 1), "01:02:05:");
    EXPECT_EQ(ReadGlyphs(BackBuffer, 492, 524 + 16, 143, 1), "12:");
    EXPECT_EQ(ReadGlyphs(BackBuffer, 492, 524 + 16, 168, 1), "40:");
    // Side 1 on the left: separator at 100, values from 116; no points shows 00.
    EXPECT_EQ(ReadGlyphs(BackBuffer, 100, 244, 118, 1), ":00:00:59");
    EXPECT_EQ(ReadGlyphs(BackBuffer, 100, 148, 143, 1), ":00");
    EXPECT_EQ(ReadGlyphs(BackBuffer, 100, 148, 168, 1), ":.7");
}

TEST_F(MatchTest, CentrePanelShowsTurnAndMatchTimeAndTurnsTheOrbit) {
    // Start angles that keep the orbiting sprites clear of the turn digits.
    OrbitAngle[0] = 0;
    OrbitAngle[1] = 84;
    OrbitAngle[2] = 168;
    const int before[3] = {0, 84, 168};
    DrawCentrePanel(BackBuffer, 320, 55, 90, 45, 7, 61);
    EXPECT_EQ(ReadGlyphs(BackBuffer, 278, 326, 27, 1), "007");
    EXPECT_EQ(ReadGlyphs(BackBuffer, 259, 387, 75, 1), "00:01:01");
    for (int i = 0; i < 3; ++i) EXPECT_EQ(OrbitAngle[i], before[i] + 4);
}

}  // namespace
