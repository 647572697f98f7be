// The title scene driven headless with a fixed seed: the opening's timings, skipping it, the
// menu's time-out, choosing each item, the hot zone, and the rules PointerOver and the burn use.
#include "scenes/title.h"

#include <gtest/gtest.h>

#include "state/random.h"
#include "support/headless_runner.h"

namespace {

namespace fs = std::filesystem;
using testfiles::ReadJson;
using testfiles::RunGame;
using testfiles::RunResult;

constexpr int T0 = 1000000;  // the virtual clock's first reading; the first frame runs then
constexpr int FRAME = 33;

int FrameTime(int frame) { return T0 + FRAME * frame; }

// Times at which palettes from a file containing `name` were installed.
std::vector<int> PaletteTimes(const RunResult& r, const std::string& name) {
    std::vector<int> out;
    for (const auto& j : r.With("palette")) {
        if (j["palette"].get<std::string>().find(name) != std::string::npos) out.push_back(j["t"]);
    }
    return out;
}

// Frame numbers (frame 0 is the title load): the black pause ends in frame 62 (61 frames of
// step 0 after the step-10 frame), the logo fades in over frames 63-123, stays for 124-183,
// fades out over 184-244, the dark pause lasts 245-305, and frame 306 sets up the menu.
constexpr int TITLE_PALETTE_FRAME = 62;
constexpr int MENU_FRAME = 306;

TEST(Title, OpeningTimingsLeadToTheMenu) {
    const fs::path dir = testfiles::MakeTestDataDir("title-opening");
    const std::string d = dir.string();
    const RunResult r =
        RunGame(dir, "wait " + std::to_string(FRAME * 63 + 1) + "\ndump " + d + "/logo.json\n" +
                         "wait " + std::to_string(FRAME * 61) + "\ndump " + d + "/shown.json\n" +
                         "wait " + std::to_string(FRAME * 200) + "\ndump " + d + "/menu.json\n");
    ASSERT_EQ(r.status, 0) << r.stderrText;
    const std::vector<int> title = PaletteTimes(r, "TITLE");
    ASSERT_EQ(title.size(), 2u);
    EXPECT_EQ(title[0], FrameTime(0));                    // loaded with the picture
    EXPECT_EQ(title[1], FrameTime(TITLE_PALETTE_FRAME));  // installed for the logo fade
    const std::vector<int> fire = PaletteTimes(r, "FIRE");
    ASSERT_EQ(fire.size(), 1u);
    EXPECT_EQ(fire[0], FrameTime(MENU_FRAME));
    const auto logo = ReadJson(dir / "logo.json");
    EXPECT_EQ(logo["TitleStep"], 1);
    EXPECT_EQ(logo["FadeStep"], 1);
    const auto shown = ReadJson(dir / "shown.json");  // frame 124: logo fully shown
    EXPECT_EQ(shown["TitleStep"], 2);
    EXPECT_EQ(shown["TitleCounter"], 1);
    const auto menu = ReadJson(dir / "menu.json");
    EXPECT_EQ(menu["TitleStep"], 7);
    EXPECT_EQ(menu["Pointer"][0], 320);
    EXPECT_EQ(menu["Pointer"][1], 380);
    // The title music: the open/close/open/play sequence, byte for byte.
    const std::vector<std::string> mci = r.MciFrom(0);
    ASSERT_GE(mci.size(), 4u);
    EXPECT_EQ(mci[0], "open  DATA\\BGM\\BGM1.mid alias bgm type sequencer");
    EXPECT_EQ(mci[1], "close bgm");
    EXPECT_EQ(mci[2], "open  DATA\\BGM\\BGM1.mid alias bgm type sequencer");
    EXPECT_EQ(mci[3], "play  bgm");
}

TEST(Title, APressDuringTheOpeningSkipsToTheMenuNextFrame) {
    const fs::path dir = testfiles::MakeTestDataDir("title-skip");
    // Pressed between frames 15 and 16: frame 16 sees it, frame 17 sets up the menu. The button
    // stays held: with the pointer moved between the items nothing is chosen.
    const RunResult r =
        RunGame(dir, "wait " + std::to_string(FRAME * 15 + 10) + "\ndown left\nwait 2000\ndump " +
                         dir.string() + "/held.json\n");
    ASSERT_EQ(r.status, 0) << r.stderrText;
    const std::vector<int> fire = PaletteTimes(r, "FIRE");
    ASSERT_EQ(fire.size(), 1u);
    EXPECT_EQ(fire[0], FrameTime(17));
    EXPECT_TRUE(PaletteTimes(r, "ETC").empty());
    const auto held = ReadJson(dir / "held.json");
    EXPECT_EQ(held["TitleStep"], 7);
    EXPECT_EQ(held["MenuChoice"], -1);
    EXPECT_EQ(held["ClickLatch"], 1);
}

TEST(Title, MenuTimesOutAndAHeldButtonDoesNotSkipTheNextOpening) {
    const fs::path dir = testfiles::MakeTestDataDir("title-timeout");
    // Skip to the menu at frame 2, keep the button held through the time-out and the restart.
    const RunResult r =
        RunGame(dir, "wait 40\ndown left\nwait " + std::to_string(FRAME * 700) + "\nup left\n");
    ASSERT_EQ(r.status, 0) << r.stderrText;
    // Menu set up in frame 3; its time-out fade completes in the 561st menu frame (frame 564);
    // frame 565 restarts, and the logo palette follows 61 frames later: the held button was
    // latched and skipped nothing.
    const std::vector<int> title = PaletteTimes(r, "TITLE");
    ASSERT_EQ(title.size(), 2u);
    EXPECT_EQ(title[1], FrameTime(565 + 61));
}

TEST(Title, ChoosingStartFadesOutThenLeavesForTheMatch) {
    const fs::path dir = testfiles::MakeTestDataDir("title-start");
    const int pressAt = FRAME * (MENU_FRAME + 10) + 5;  // seen by frame 317
    const RunResult r =
        RunGame(dir, "wait " + std::to_string(pressAt) + "\nmove 250 380\nclick 250 380\n" +
                         "until SCENE_MATCH_LOAD 10000\ndump " + dir.string() + "/left.json\n");
    ASSERT_EQ(r.status, 0) << r.stderrText;
    const int chosen = 317;
    const std::vector<int> etc = PaletteTimes(r, "ETC");
    ASSERT_EQ(etc.size(), 1u);
    EXPECT_EQ(etc[0], FrameTime(chosen + 100));  // the fade of 100 steps takes 101 frames
    const auto left = ReadJson(dir / "left.json");
    EXPECT_EQ(left["Scene"], 4);
    EXPECT_EQ(left["TitleStep"], 10);
    EXPECT_EQ(left["MenuChoice"], 0);
    EXPECT_FALSE(left["Surfaces"]["TitleArt"]);
    EXPECT_FALSE(left["Surfaces"]["TitleWork"]);
    // 30 frames of step 9, then the title is released.
    const std::vector<std::string> mci = r.MciFrom(FrameTime(chosen + 130));
    ASSERT_GE(mci.size(), 2u);
    EXPECT_EQ(mci[0], "stop  bgm");
    EXPECT_EQ(mci[1], "close bgm");
    for (const auto& j : r.With("scene")) {
        if (j["scene"] == 4) {
            EXPECT_EQ(j["t"], FrameTime(chosen + 130));
        }
    }
}

TEST(Title, ChoosingQuitEndsTheProgramWithStatus0) {
    const fs::path dir = testfiles::MakeTestDataDir("title-quit");
    const int pressAt = FRAME * (MENU_FRAME + 10) + 5;
    const RunResult r =
        RunGame(dir, "wait " + std::to_string(pressAt) + "\nclick 400 380\nwait 10000\n");
    EXPECT_EQ(r.status, 0) << r.stderrText;
    const int chosen = 317;
    const std::vector<int> etc = PaletteTimes(r, "ETC");
    ASSERT_EQ(etc.size(), 1u);
    EXPECT_EQ(etc[0], FrameTime(chosen + 100));
    // Step 9's first frame releases the title and quits; the quit's teardown follows.
    EXPECT_EQ(r.MciFrom(FrameTime(chosen + 101)),
              (std::vector<std::string>{"stop  bgm", "close bgm", "stop  bgm", "close bgm",
                                        "stop  bgm", "close bgm", "stop  bgm", "close bgm"}));
    EXPECT_EQ(r.trace.back()["t"], FrameTime(chosen + 102));
}

TEST(Title, HotZoneLeadsToTheMeltKeepingTheTitleSurfaces) {
    const fs::path dir = testfiles::MakeTestDataDir("title-hot");
    const int at = FRAME * (MENU_FRAME + 5);
    const RunResult r =
        RunGame(dir, "wait " + std::to_string(at) + "\nmove 300 465\nwait 100\nclick 300 465\n" +
                         "until SCENE_MELT 1000\ndump " + dir.string() + "/melt.json\n");
    ASSERT_EQ(r.status, 0) << r.stderrText;
    const auto melt = ReadJson(dir / "melt.json");
    EXPECT_EQ(melt["Scene"], 7);
    EXPECT_EQ(melt["TitleStep"], 10);
    EXPECT_TRUE(melt["Surfaces"]["TitleArt"]);
    EXPECT_TRUE(melt["Surfaces"]["TitleWork"]);
}

TEST(Title, PointerOverCountsThe4x4BoxAroundThePointer) {
    const Rect start{208, 360, 308, 410};
    struct Case {
        int x, y;
        bool over;
    };
    for (const Case c : {Case{205, 380, true}, Case{204, 380, false}, Case{307, 380, true},
                         Case{308, 380, false}, Case{250, 357, true}, Case{250, 356, false},
                         Case{250, 409, true}, Case{250, 410, false}}) {
        SetTitlePointer(c.x, c.y);
        EXPECT_EQ(PointerOver(start), c.over) << c.x << "," << c.y;
    }
}

TEST(Title, BurnMovesHeatUpOneRowAndCoolsIt) {
    Surface* canvas = CreateSurface(8, 6);
    LockedSurface lock;
    ASSERT_TRUE(LockSurface(canvas, &lock));
    for (int x = 0; x < 8; ++x) {
        lock.pixels[3 * lock.pitch + x] = static_cast<uint8_t>(x < 4 ? 200 : 9);
        lock.pixels[5 * lock.pitch + x] = 77;
    }
    SeedRandom(99);
    BurnRegion(lock, 1, 4, 0, 7, 10);
    for (int x = 0; x < 8; ++x) {
        const int above = lock.pixels[2 * lock.pitch + x];
        if (x < 4) {
            EXPECT_LE(above, 200);
            EXPECT_GT(above, 190);  // cooled by rand mod 10
        } else {
            EXPECT_EQ(above, 0);  // at or below the threshold: gone
        }
        EXPECT_EQ(lock.pixels[5 * lock.pitch + x], 77);  // below the region: untouched
        EXPECT_EQ(lock.pixels[3 * lock.pitch + x], 0);   // overwritten by the cold row 4
        EXPECT_EQ(lock.pixels[4 * lock.pitch + x], 0);   // a source only: never written
    }
    // Row 0 receives row 1's heat (the region starts at row 1); a region reaching outside the
    // canvas is refused whole.
    const uint8_t before = lock.pixels[0];
    BurnRegion(lock, 0, 9, 0, 7, 10);
    EXPECT_EQ(lock.pixels[0], before);
    UnlockSurface(canvas);
    ReleaseSurface(canvas);
}

}  // namespace
