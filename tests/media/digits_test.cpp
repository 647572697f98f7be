// Numbers in digit glyphs: right alignment, zero padding, numbers longer than their padding,
// unknown styles and negative numbers.
#include "media/digits.h"

#include <gtest/gtest.h>

#include "support/match_test_support.h"

namespace {

using matchtest::MatchTest;
using matchtest::ReadGlyphs;

struct DigitsCase {
    const char* name;
    int value;
    int minDigits;
    int style;
    const char* shown;  // the glyphs from x - 96 to x
};

class Digits : public MatchTest, public ::testing::WithParamInterface<DigitsCase> {};

TEST_P(Digits, RightAlignedAndPadded) {
    const DigitsCase& c = GetParam();
    DrawDigits(BackBuffer, 300, 100, c.value, c.minDigits, c.style);
    EXPECT_EQ(ReadGlyphs(BackBuffer, 300 - 96, 300, 100, c.style == 2 ? 2 : 1), c.shown);
    // Nothing is drawn right of x.
    EXPECT_EQ(ReadGlyphs(BackBuffer, 300, 332, 100, 1), "..");
}

INSTANTIATE_TEST_SUITE_P(Cases, Digits,
                         ::testing::Values(DigitsCase{"ZeroWithoutPadding", 0, 0, 1, ".....0"},
                                           DigitsCase{"ZeroWithOneDigit", 0, 1, 1, ".....0"},
                                           DigitsCase{"SevenPaddedToThree", 7, 3, 1, "...007"},
                                           DigitsCase{"LongerThanPadding", 1234, 3, 1, "..1234"},
                                           DigitsCase{"SecondStyle", 12, 0, 2, "....12"},
                                           DigitsCase{"UnknownStyleDrawsNothing", 12, 4, 3,
                                                      "......"},
                                           DigitsCase{"NegativeShownAsZero", -35, 2, 1, "....00"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
