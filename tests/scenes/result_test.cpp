// The result screen driven frame by frame in-process over plain-coloured sheets: the reveal
// schedule of the five groups with each side on its own half, the rank pictures chosen by the
// scores, and a button that fades out and leaves with the match surfaces released. Then one
// headless run with the generated data: every group is heard.
#include "scenes/result.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "media/palette.h"
#include "media/resources.h"
#include "rules/board.h"
#include "rules/tally.h"
#include "scenes/scenes_dump.h"
#include "state/loop_state.h"
#include "support/headless_runner.h"

namespace {

constexpr uint8_t BACKGROUND = 239;
constexpr uint8_t SIDE0_INK = 12;
constexpr uint8_t SIDE1_INK = 11;
constexpr uint8_t ETC_INK = 13;
constexpr uint8_t RANK_INK = 100;  // + rank number in each rank picture

class ResultScreen : public ::testing::Test {
protected:
    void SetUp() override {
        FrontSurface = CreateDisplayPair(640, 480, &BackBuffer);
        EtcSheet = Sheet(320, 496, ETC_INK);
        SideSheet[0] = Sheet(416, 96, SIDE0_INK);
        SideSheet[1] = Sheet(416, 96, SIDE1_INK);
        RankSheet = Sheet(640, 192, 0);
        for (int rank = 0; rank < RANK_COUNT; ++rank) {
            const int left = rank % 5 * 128, top = rank / 5 * 64;
            const Rect cell{left, top, left + 128, top + 64};
            ColourFill(RankSheet, &cell, static_cast<uint8_t>(RANK_INK + rank));
        }
        // Side 1: 4 x 25 x (0 + 1 + 0) = 100, rank 0. Side 0: 4 x 25 x (50 + 1 + 40) = 9100,
        // rank 7.
        SideTally[1] = TallyRecord{};
        SideTally[1].points = 5;
        SideTally[0] = TallyRecord{};
        SideTally[0].points = 10;
        SideTally[0].material = 40;
        TurnNumber = 1;
        Scene = SCENE_RESULT;
        ResultStep = 0;
        ResultCounter = 0;
        FadeStep = 0;
        MouseButtons = 0;
    }
    void TearDown() override {
        MouseButtons = 0;
        ReleaseMatchSurfaces();
        ReleaseSurfaceHandle(FrontSurface);
        BackBuffer = nullptr;
    }
    static Surface* Sheet(int w, int h, uint8_t ink) {
        Surface* s = CreateSurface(w, h);
        SetColourKey(s, true, TRANSPARENT_INDEX);
        ColourFill(s, nullptr, ink);
        return s;
    }
    // The presented picture.
    static int Shown(int x, int y) { return FrontSurface->pixels[y * FrontSurface->pitch + x]; }
};

struct Group {
    const char* what;
    int step;  // first step that shows it
    int x, y;  // a pixel inside it
    uint8_t ink;
};

// One pixel of each group, with the step from which it is shown.
constexpr Group GROUPS[] = {
    {"side 1 portrait", 1, 100, 70, SIDE1_INK},   {"side 1 emblem", 1, 160, 100, SIDE1_INK},
    {"side 0 portrait", 1, 450, 70, SIDE0_INK},   {"side 0 emblem", 1, 515, 100, SIDE0_INK},
    {"centre emblem", 3, 300, 200, ETC_INK},      {"left score label", 4, 40, 245, ETC_INK},
    {"left separator", 4, 105, 245, ETC_INK},     {"right score label", 4, 590, 245, ETC_INK},
    {"right separator", 4, 530, 245, ETC_INK},    {"left rank label", 5, 15, 350, ETC_INK},
    {"right rank label", 5, 620, 350, ETC_INK},   {"side 1 rank 0", 5, 100, 330, RANK_INK + 0},
    {"side 0 rank 7", 5, 500, 330, RANK_INK + 7},
};

TEST_F(ResultScreen, GroupsAppearEveryTwentyFramesAndStayAtFive) {
    for (int frame = 1; frame <= 130; ++frame) {
        ResultFrame();
        const int step = frame / 20 < 5 ? frame / 20 : 5;
        ASSERT_EQ(ResultStep, step) << "frame " << frame;
        for (const Group& g : GROUPS) {
            ASSERT_EQ(Shown(g.x, g.y), step >= g.step ? g.ink : BACKGROUND)
                << g.what << " in frame " << frame;
        }
    }
    EXPECT_EQ(Scene, SCENE_RESULT);
    EXPECT_EQ(DumpEndingState()["ResultCounter"], 130);
}

// A button pressed in the given frame (and released at once) shows everything and starts the
// fade-out; no group is counted after it, and 91 frames later the screen leaves, unpresented,
// with the match surfaces released and its counters back at 0.
TEST_F(ResultScreen, AButtonFadesOutAndLeavesAfter91Frames) {
    for (const int pressFrame : {1, 46}) {
        if (pressFrame != 1) {  // a fresh screen and fresh sheets for the second case
            TearDown();
            SetUp();
        }
        for (int frame = 1; frame < pressFrame; ++frame) ResultFrame();
        MouseButtons = pressFrame == 1 ? MOUSE_RIGHT_HELD : MOUSE_LEFT_HELD;
        ResultFrame();
        MouseButtons = 0;
        for (const Group& g : GROUPS) EXPECT_EQ(Shown(g.x, g.y), g.ink) << g.what;
        int frames = 1;
        std::vector<uint8_t> lastShown;
        while (Scene == SCENE_RESULT && frames < 200) {
            ASSERT_EQ(ResultStep, 7);
            lastShown = FrontSurface->pixels;
            ResultFrame();
            ++frames;
        }
        EXPECT_EQ(frames, 91) << pressFrame;
        EXPECT_EQ(Scene, SCENE_TITLE_LOAD);
        EXPECT_EQ(FrontSurface->pixels, lastShown);
        EXPECT_TRUE(!EtcSheet && !SideSheet[0] && !SideSheet[1] && !RankSheet);
        const nlohmann::json d = DumpEndingState();
        EXPECT_EQ(d["ResultStep"], 0);
        EXPECT_EQ(d["ResultCounter"], 0);
    }
}

// The bang of each reveal step must start: a voice still sounding is not struck again, so a
// bang longer than the 20 frames between steps would swallow the next one. Played with the
// generated sounds, forfeiting a match at once and waiting out all five steps.
TEST(ResultScreenHeadless, EveryRevealStepStartsItsOwnBang) {
    const std::filesystem::path dir = testfiles::FreshDir("result-bangs");
    std::filesystem::create_directory_symlink(std::filesystem::path(KELMORAV_BUILD_DIR) / "DATA",
                                              dir / "DATA");
    const testfiles::RunResult r = testfiles::RunGame(
        dir,
        "wait 10200\nmove 250 380\nclick 250 380\nuntil SCENE_MATCH 10000\nwait 9000\n"
        "press Z 200\nuntil SCENE_RESULT 20000\nwait 4500\n");
    ASSERT_EQ(r.status, 0) << r.stderrText;
    long long resultAt = -1;
    for (const auto& j : r.With("scene")) {
        if (j["scene"] == static_cast<int>(SCENE_RESULT)) resultAt = j["t"];
    }
    ASSERT_GE(resultAt, 0);
    std::vector<long long> bangs;
    for (const auto& j : r.With("voice")) {
        if (j["voice"] == "SFX_BANGER") bangs.push_back(j["t"].get<long long>() - resultAt);
    }
    ASSERT_EQ(bangs.size(), 5u);
    // Step k comes with frame 20k of the screen: 20 frames of 33 ms apart.
    EXPECT_GE(bangs[0], 19 * 33);
    EXPECT_LE(bangs[0], 20 * 33);
    for (size_t k = 1; k < bangs.size(); ++k) EXPECT_EQ(bangs[k] - bangs[k - 1], 20 * 33) << k;
    std::filesystem::remove_all(dir);
}

}  // namespace
