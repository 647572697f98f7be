// The credits: the table (total length, rows against line breaks, the sliding title word) and the
// pulse trace with its wrap. The entry schedule and its palettes are checked by the ending's
// headless run.
#include "scenes/credits.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "media/resources.h"
#include "scenes/ending.h"
#include "state/language.h"
#include "state/random.h"
#include "support/test_files.h"

namespace {

// In English too: a heading whose English has another count of lines would stand off the
// middle of the screen.
TEST(CreditsTable, LengthsAddUpAndRowsMatchTheLineBreaks) {
    int total = 0;
    for (const CreditsEntry& e : CreditsTable) {
        total += e.frames;
        for (const Language language : {Language::JAPANESE, Language::ENGLISH}) {
            GameLanguage = language;
            const std::string text = Localized(e.text);
            EXPECT_EQ(e.row, std::count(text.begin(), text.end(), '\n')) << text;
        }
        GameLanguage = Language::JAPANESE;
    }
    EXPECT_EQ(total, 2671);
}

TEST(CreditsTable, SlidingTitleWalksATwoLetterWindowAcrossTheWord) {
    const std::string word = "KELMORAV";
    for (int k = 1; k <= 9; ++k) {
        std::string want;
        for (int j = 0; j < 8; ++j) {
            if (j == k - 2 || j == k - 1) {
                // Full-width capital: U+FF21 + (letter - 'A'), three bytes in UTF-8.
                const int cp = 0xFF21 + (word[j] - 'A');
                want += static_cast<char>(0xE0 | (cp >> 12));
                want += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
                want += static_cast<char>(0x80 | (cp & 0x3F));
            } else {
                want += "\xE3\x80\x80";  // ideographic space
            }
        }
        EXPECT_EQ(CreditsTable[k].text, want) << "entry " << k;
        EXPECT_EQ(CreditsTable[k].frames, 9);
    }
}

TEST(CreditsTrace, SweepsInStepsOfEightAndJumpsOnlyOverTheMiddle) {
    testfiles::ScopedCwd cwd(testfiles::MakeTestDataDir("credits-trace"));
    FrontSurface = CreateDisplayPair(640, 480, &BackBuffer);
    SeedRandom(11);
    EndingFireSetup();
    TraceX = TracePrevX = 0;
    for (int frame = 0; frame < 82; ++frame) {
        CreditsFireStep();
        if (TraceX > 112 && TraceX < 216) {
            ASSERT_GE(TraceY, 70);
            ASSERT_LE(TraceY, 169);
        } else {
            ASSERT_EQ(TraceY, 120) << TraceX;
        }
        ASSERT_EQ(TraceX, (frame + 1) % 41 * 8);
        ASSERT_EQ(TracePrevX, TraceX);
        ASSERT_EQ(TracePrevY, TraceY);
    }
    RestoreNormalMode();
    ReleaseSurfaceHandle(FrontSurface);
    BackBuffer = nullptr;
}

}  // namespace
