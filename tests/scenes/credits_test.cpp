// The credits: the table (lengths, rows, the sliding title word), the entry schedule in-process,
// the pulse trace and its wrap, and the palette of each change of entry in a headless run.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "media/random.h"
#include "media/resources.h"
#include "scenes/credits.h"
#include "scenes/ending.h"
#include "shell/shell_state.h"
#include "support/headless_runner.h"

namespace {

namespace fs = std::filesystem;

TEST(CreditsTable, LengthsAddUpAndRowsMatchTheLineBreaks) {
    int total = 0;
    for (const CreditsEntry& e : CreditsTable) {
        total += e.frames;
        const std::string text = e.text;
        EXPECT_EQ(e.row, std::count(text.begin(), text.end(), '\n')) << text;
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

class CreditsRun : public ::testing::Test {
protected:
    void SetUp() override {
        cwd_ = std::make_unique<testfiles::ScopedCwd>(testfiles::MakeTestDataDir("credits-inproc"));
        FrontSurface = CreateDisplayPair(640, 480, &BackBuffer);
        SeedRandom(11);
        // The credits' state as at program start: a first visit.
        CreditsIndex = CreditsCounter = 0;
        TraceX = TraceY = TracePrevX = TracePrevY = 0;
        DotAngle[0] = DotAngle[1] = 0;
        EndingFireSetup();
    }
    void TearDown() override {
        RestoreNormalMode();
        ReleaseSurfaceHandle(FrontSurface);
        BackBuffer = nullptr;
        cwd_.reset();
    }
    std::unique_ptr<testfiles::ScopedCwd> cwd_;
};

TEST_F(CreditsRun, EachEntryLastsItsFramesAndTheTableStartsAgainOnASecondVisit) {
    int frame = 0;
    for (int index = 0; index < CREDITS_ENTRY_COUNT; ++index) {
        for (int n = 1; n < CreditsTable[index].frames; ++n) {
            CreditsFrame();
            ++frame;
            ASSERT_EQ(CreditsIndex, index) << "frame " << frame;
            ASSERT_EQ(CreditsCounter, n);
        }
        CreditsFrame();  // the change: the next entry's palette, no text
        ++frame;
        if (index + 1 < CREDITS_ENTRY_COUNT) {
            ASSERT_EQ(CreditsIndex, index + 1);
            ASSERT_EQ(Scene, SCENE_CREDITS);
        }
        ASSERT_EQ(CreditsCounter, 0);
    }
    EXPECT_EQ(frame, 2671);
    EXPECT_EQ(CreditsIndex, 0);
    EXPECT_EQ(Scene, SCENE_ENDING_CLOSE);
    // The trace and the dots carry on from where they stopped.
    const int traceX = TraceX;
    const uint8_t dot = DotAngle[0];
    Scene = SCENE_CREDITS;
    CreditsFrame();
    EXPECT_EQ(CreditsIndex, 0);
    EXPECT_EQ(CreditsCounter, 1);
    EXPECT_EQ(TraceX, traceX == 320 ? 0 : traceX + 8);
    EXPECT_EQ(DotAngle[0], static_cast<uint8_t>(dot + 2));
}

TEST_F(CreditsRun, TraceSweepsInStepsOfEightAndJumpsOnlyOverTheMiddle) {
    TraceX = 0;
    for (int frame = 0; frame < 82; ++frame) {
        CreditsFrame();
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
}

// Headless: the palette of each change of entry arrives in the frame after the entry's last.
TEST(CreditsHeadless, APaletteAtEachChangeOfEntry) {
    const fs::path dir = testfiles::MakeTestDataDir("credits-run");
    const testfiles::RunResult r = testfiles::RunGame(
        dir, "wait 500\nclick 320 240\nwait 100\nmove 300 465\nwait 40\nclick 300 465\n"
             "until SCENE_ENDING_CLOSE 200000\n");
    ASSERT_EQ(r.status, 0) << r.stderrText;
    int start = -1;
    for (const auto& j : r.With("scene")) {
        if (j["scene"] == SCENE_CREDITS) start = j["t"];
    }
    ASSERT_GT(start, 0);
    std::vector<int> want;
    int frame = 0;
    for (const CreditsEntry& e : CreditsTable) want.push_back(start + 33 * (frame += e.frames));
    std::vector<int> got;
    for (const auto& j : r.With("palette")) {
        if (j["t"].get<int>() > start && j["palette"].get<std::string>().find("FIRE") != std::string::npos) {
            got.push_back(j["t"]);
        }
    }
    EXPECT_EQ(got, want);
}

}  // namespace
