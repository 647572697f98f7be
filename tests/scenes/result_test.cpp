// The result screen driven frame by frame in-process over plain-coloured sheets: the reveal
// schedule of the five groups with each side on its own half, the rank pictures chosen by the
// scores, and a button that fades out and leaves with the match surfaces released.
#include <gtest/gtest.h>

#include "media/palette.h"
#include "media/resources.h"
#include "rules/board.h"
#include "rules/tally.h"
#include "scenes/result.h"
#include "scenes/scenes_dump.h"
#include "shell/shell_state.h"

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
            const Rect cell{rank % 5 * 128, rank / 5 * 64, rank % 5 * 128 + 128, rank / 5 * 64 + 64};
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

TEST_F(ResultScreen, AHeldButtonShowsEverythingThenLeavesAfter91Frames) {
    MouseButtons = MOUSE_RIGHT_HELD;
    int frames = 0;
    std::vector<uint8_t> lastShown;
    while (Scene == SCENE_RESULT && frames < 200) {
        lastShown = FrontSurface->pixels;
        ResultFrame();
        ++frames;
        if (frames == 1) {
            EXPECT_EQ(ResultStep, 7);
            for (const Group& g : GROUPS) EXPECT_EQ(Shown(g.x, g.y), g.ink) << g.what;
        }
    }
    EXPECT_EQ(frames, 91);
    EXPECT_EQ(Scene, SCENE_TITLE_LOAD);
    EXPECT_EQ(FrontSurface->pixels, lastShown) << "the leaving frame is not presented";
    EXPECT_EQ(EtcSheet, nullptr);
    EXPECT_EQ(SideSheet[0], nullptr);
    EXPECT_EQ(SideSheet[1], nullptr);
    EXPECT_EQ(RankSheet, nullptr);
    const nlohmann::json d = DumpEndingState();
    EXPECT_EQ(d["ResultStep"], 0);
    EXPECT_EQ(d["ResultCounter"], 0);
    EXPECT_EQ(FadeStep, 0);
}

TEST_F(ResultScreen, APressMidRevealStopsTheRevealAndFadesFromThere) {
    for (int frame = 1; frame <= 45; ++frame) ResultFrame();
    ASSERT_EQ(ResultStep, 2);
    MouseButtons = MOUSE_LEFT_HELD;
    ResultFrame();
    MouseButtons = 0;  // released at once: the fade goes on regardless
    int frames = 1;
    while (Scene == SCENE_RESULT && frames < 200) {
        ASSERT_EQ(ResultStep, 7) << "no more groups are counted once a button was pressed";
        ResultFrame();
        ++frames;
    }
    EXPECT_EQ(frames, 91);
}

TEST_F(ResultScreen, NegativeScoreShowsRankZero) {
    SideTally[0].points = 0;  // 10 x (0 - 5) + 1 + 40 < 0: score 0
    MouseButtons = MOUSE_LEFT_HELD;
    ResultFrame();
    EXPECT_EQ(Shown(500, 330), RANK_INK + 0);
}

}  // namespace
