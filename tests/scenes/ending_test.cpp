// The ending: the melt rule, the fire filter against a two-buffer reference, the whole sequence
// in-process (melt, switch to 320x240, credits, cooling, way back), and headless runs through the
// title's hot zone with the trace: frame counts, display switches, Escape in the low mode.
#include "scenes/ending.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "media/resources.h"
#include "scenes/credits.h"
#include "scenes/scenes_dump.h"
#include "shell/main_loop.h"
#include "state/loop_state.h"
#include "state/random.h"
#include "support/headless_runner.h"

namespace {

namespace fs = std::filesystem;
using testfiles::RunGame;
using testfiles::RunResult;

constexpr int FRAME = 33;

struct Canvas {
    Surface* surface;
    LockedSurface lock;
    explicit Canvas(int w, int h) : surface(CreateSurface(w, h)) { LockSurface(surface, &lock); }
    ~Canvas() {
        UnlockSurface(surface);
        ReleaseSurface(surface);
    }
    uint8_t& at(int x, int y) { return lock.pixels[static_cast<size_t>(y) * lock.pitch + x]; }
};

TEST(EndingMelt, PixelsClimbByUpToNineAndJumpToWhiteFrom245) {
    Canvas c(256, 3);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 256; ++x) c.at(x, y) = static_cast<uint8_t>(x);
    }
    SeedRandom(5);
    MeltPass(c.lock);
    int climbed = 0;
    for (int x = 0; x < 256; ++x) {
        EXPECT_EQ(c.at(x, 0), x) << "row 0 never changes";
        for (int y = 1; y < 3; ++y) {
            const int v = c.at(x, y);
            if (x >= 245) {
                EXPECT_EQ(v, 255) << x;
            } else {
                EXPECT_GE(v, x);
                EXPECT_LE(v, x + 9);
                climbed += v - x;
            }
        }
    }
    // 490 pixels climbing 4.5 on average: a wrong modulus or a missed draw shows here.
    EXPECT_NEAR(climbed / 490.0, 4.5, 0.6);
}

// The filter as a reader would check it by hand: a second buffer for the new values, the upper
// and left neighbours read from it, the lower and right ones from the old picture.
std::vector<uint8_t> ReferenceSmooth(const std::vector<uint8_t>& old, int w, int h, bool credits,
                                     uint32_t seed) {
    std::vector<uint8_t> now = old;
    SeedRandom(seed);
    const int k = credits ? 4 : 7;
    for (int y = credits ? 1 : 0; y <= (credits ? h - 2 : h - 1); ++y) {
        for (int x = 0; x < w; ++x) {
            int s = 4 * old[y * w + x];
            if (y > 0) s += now[(y - 1) * w + x];
            if (y < h - 1) s += old[(y + 1) * w + x];
            if (x > 0) s += now[y * w + x - 1];
            if (x < w - 1) s += old[y * w + x + 1];
            now[y * w + x] = static_cast<uint8_t>(std::max(0, s / 8 - Rand() % k));
        }
    }
    return now;
}

struct SmoothCase {
    const char* name;
    bool credits;
    int fill;  // -1: noise
};

class EndingFireSmooth : public ::testing::TestWithParam<SmoothCase> {};

TEST_P(EndingFireSmooth, MatchesTheReferenceAndKeepsItsBounds) {
    const SmoothCase& p = GetParam();
    constexpr int W = 320, H = 240;
    Canvas c(W, H);
    std::vector<uint8_t> old(W * H);
    SeedRandom(77);
    for (int i = 0; i < W * H; ++i) {
        old[i] = static_cast<uint8_t>(p.fill >= 0 ? p.fill : Rand() & 255);
    }
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) c.at(x, y) = old[y * W + x];
    }
    const std::vector<uint8_t> want = ReferenceSmooth(old, W, H, p.credits, 1234);
    SeedRandom(1234);
    FireSmooth(c.lock, p.credits ? FIRE_SMOOTH_CREDITS : FIRE_SMOOTH_CLOSE);
    int mismatches = 0;
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) mismatches += c.at(x, y) != want[y * W + x];
    }
    EXPECT_EQ(mismatches, 0);
    for (int y = 0; y < H; ++y) {
        const bool edgeRow = y == 0 || y == H - 1;
        if (p.credits && edgeRow) {
            for (int x = 0; x < W; ++x) ASSERT_EQ(c.at(x, y), old[y * W + x]) << "row " << y;
        }
        if (p.fill == 255 && !(p.credits && edgeRow)) {
            EXPECT_LE(c.at(0, y), 223) << y;  // one neighbour missing: 7/8 at most
            EXPECT_LE(c.at(W - 1, y), 223) << y;
        }
    }
    if (p.fill == 0) {
        // Decay below zero stops at 0 instead of wrapping round to a hot colour.
        for (int i = 0; i < W * H; ++i) ASSERT_EQ(c.lock.pixels[i], 0);
    }
}

INSTANTIATE_TEST_SUITE_P(EndingFire, EndingFireSmooth,
                         ::testing::Values(SmoothCase{"CreditsWhiteHot", true, 255},
                                           SmoothCase{"CloseWhiteHot", false, 255},
                                           SmoothCase{"CreditsNoise", true, -1},
                                           SmoothCase{"CloseNoise", false, -1},
                                           SmoothCase{"CreditsCold", true, 0},
                                           SmoothCase{"CloseCold", false, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

// Frames the scene handlers run, dispatched as the main loop does, until the scene changes.
int RunScene(int scene, int limit) {
    int frames = 0;
    for (; Scene == scene && frames < limit; ++frames) DispatchScene(Scene);
    return frames;
}

// In-process from the melt to the way back, with the test pictures and a first visit's state.
TEST(EndingSequence, MeltFireCreditsCloseAndBack) {
    testfiles::ScopedCwd cwd(testfiles::MakeTestDataDir("ending-inproc"));
    FrontSurface = CreateDisplayPair(640, 480, &BackBuffer);
    TitleWork = CreateSurface(640, 480);
    SeedRandom(3);
    MeltCounter = CloseCounter = CreditsIndex = CreditsCounter = 0;
    TraceX = TraceY = TracePrevX = TracePrevY = 0;
    DotAngle[0] = DotAngle[1] = 0;
    Scene = SCENE_MELT;
    EXPECT_EQ(RunScene(SCENE_MELT, 100), 60);
    EXPECT_EQ(Scene, SCENE_ENDING_FIRE);
    EXPECT_EQ(TitleWork, nullptr) << "the melt releases the title";
    EXPECT_EQ(DumpEndingState()["MeltCounter"], 0);

    EXPECT_EQ(RunScene(SCENE_ENDING_FIRE, 1), 1);
    EXPECT_EQ(Scene, SCENE_CREDITS);
    ASSERT_NE(FrontSurface, nullptr);
    EXPECT_EQ(FrontSurface->width, 320);
    EXPECT_EQ(BackBuffer->height, 240);
    ASSERT_NE(FireCanvas, nullptr);
    for (uint8_t v : FireCanvas->pixels) ASSERT_EQ(v, 255);
    nlohmann::json d = DumpEndingState();
    EXPECT_EQ(d["LowResMode"], 1);
    EXPECT_TRUE(d["FirePen"]);

    EXPECT_EQ(RunScene(SCENE_CREDITS, 5000), 2671);
    EXPECT_EQ(Scene, SCENE_ENDING_CLOSE);
    d = DumpEndingState();
    EXPECT_EQ(d["CreditsIndex"], 0);
    EXPECT_EQ(d["CreditsCounter"], 0);
    // 2671 frames of 8 pixels on a 41-frame cycle; the dots turn 2 units a frame.
    EXPECT_EQ(TraceX, 2671 % 41 * 8);
    EXPECT_EQ(d["DotAngle"][0], 2671 * 2 % 256);
    EXPECT_EQ(d["DotAngle"][1], (256 - 2671 * 2 % 256) % 256);
    // The top and bottom rows fed the fire the whole time. Only the very first trace line,
    // from the head's starting point (0, 0), touched the corner, in the pen's nearest colour.
    EXPECT_EQ(FireCanvas->pixels[0], NearestPaletteIndex(Rgb{255, 255, 255}));
    for (int x = 1; x < 320; ++x) {
        ASSERT_EQ(FireCanvas->pixels[x], 255) << x;
        ASSERT_EQ(FireCanvas->pixels[239 * FireCanvas->pitch + x], 255) << x;
    }

    // The cooling: after 89 passes from white-hot at most embers are left, and the canvas is
    // what is presented; the 90th pass goes back to 640x480.
    EXPECT_EQ(RunScene(SCENE_ENDING_CLOSE, 89), 89);
    int hot = 0;
    for (uint8_t v : FireCanvas->pixels) hot += v > 32;
    EXPECT_EQ(hot, 0);
    EXPECT_EQ(FrontSurface->pixels, FireCanvas->pixels);
    EXPECT_EQ(RunScene(SCENE_ENDING_CLOSE, 200), 1);
    EXPECT_EQ(Scene, SCENE_TITLE_LOAD);
    EXPECT_EQ(FrontSurface->width, 640);
    EXPECT_EQ(BackBuffer->height, 480);
    EXPECT_EQ(FireCanvas, nullptr);
    d = DumpEndingState();
    EXPECT_EQ(d["LowResMode"], 0);
    EXPECT_FALSE(d["FirePen"]);
    EXPECT_EQ(d["CloseCounter"], 0);
    ReleaseSurfaceHandle(FrontSurface);
    BackBuffer = nullptr;
}

// Headless: the title menu's hot zone starts the ending.
const char* const TO_MELT =
    "wait 500\nclick 320 240\nwait 100\nmove 300 465\nwait 40\nclick 300 465\n"
    "until SCENE_MELT 2000\n";

int SceneTime(const RunResult& r, int scene, int after = 0) {
    for (const auto& j : r.With("scene")) {
        if (j["scene"] == scene && j["t"].get<int>() >= after) return j["t"];
    }
    return -1;
}

TEST(EndingHeadless, FramesOfEachSceneAndTheDisplaySwitches) {
    const fs::path dir = testfiles::MakeTestDataDir("ending-run");
    const RunResult r = RunGame(dir, std::string(TO_MELT) + "until SCENE_TITLE 200000\n");
    ASSERT_EQ(r.status, 0) << r.stderrText;
    const int melt = SceneTime(r, SCENE_MELT);
    ASSERT_GT(melt, 0);
    const int fire = SceneTime(r, SCENE_ENDING_FIRE);
    const int credits = SceneTime(r, SCENE_CREDITS);
    const int close = SceneTime(r, SCENE_ENDING_CLOSE);
    const int back = SceneTime(r, SCENE_TITLE_LOAD, melt);
    EXPECT_EQ(fire - melt, 60 * FRAME);
    EXPECT_EQ(credits - fire, FRAME);
    EXPECT_EQ(close - credits, 2671 * FRAME);
    EXPECT_EQ(back - close, 90 * FRAME);
    std::vector<std::pair<int, int>> displays;
    for (const auto& j : r.With("display")) {
        if (j["t"].get<int>() > melt) displays.push_back({j["t"], j["display"][0]});
    }
    ASSERT_EQ(displays.size(), 2u);
    EXPECT_EQ(displays[0], std::make_pair(credits, 320));
    EXPECT_EQ(displays[1], std::make_pair(back, 640));
    // One fire palette with the switch; then one in the frame after each credits entry's last.
    std::vector<int> want = {credits};
    int frame = 0;
    for (const CreditsEntry& e : CreditsTable) {
        frame += e.frames;
        want.push_back(credits + FRAME * frame);
    }
    std::vector<int> got;
    for (const auto& j : r.With("palette")) {
        const bool fire = j["palette"].get<std::string>().find("FIRE") != std::string::npos;
        if (fire && j["t"].get<int>() > melt) got.push_back(j["t"]);
    }
    EXPECT_EQ(got, want);
}

TEST(EndingHeadless, EscapeInTheLowModeRestoresTheDisplayAndEndsWith0) {
    const fs::path dir = testfiles::MakeTestDataDir("ending-escape");
    const std::string script = std::string(TO_MELT) + "until SCENE_CREDITS 5000\nwait 3000\n" +
                               "dump " + (dir / "low.json").string() + "\npress ESC\nwait 500\n";
    const RunResult r = RunGame(dir, script);
    EXPECT_EQ(r.status, 0) << r.stderrText;
    const auto low = testfiles::ReadJson(dir / "low.json");
    EXPECT_EQ(low["LowResMode"], 1);
    EXPECT_EQ(low["Display"][0], 320);
    const auto displays = r.With("display");
    ASSERT_GE(displays.size(), 2u);
    EXPECT_EQ(displays.back()["display"][0], 640);
    EXPECT_EQ(r.trace.back()["exit"], 0);
}

}  // namespace
