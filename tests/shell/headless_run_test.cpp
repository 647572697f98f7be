// Runs the built game headless through scripts: exit statuses, the teardown's music commands,
// the blend file regenerated from the match palette, dumps and the virtual clock.
#include <gtest/gtest.h>

#include "support/headless_runner.h"

namespace {

namespace fs = std::filesystem;

using testfiles::RunGame;
using testfiles::RunResult;

fs::path MakeDataDir(const std::string& name) { return testfiles::MakeTestDataDir(name); }

TEST(HeadlessRun, EscapeEndsWithTheFullTeardownAndStatus0) {
    const fs::path dir = MakeDataDir("run-escape");
    const RunResult r = RunGame(dir, "wait 1000\nkey ESC down\n");
    EXPECT_EQ(r.status, 0) << r.stderrText;
    const std::vector<std::string> expected = {"stop  bgm", "close bgm", "stop  bgm",
                                               "close bgm", "stop  bgm", "close bgm"};
    std::vector<std::string> mci = r.MciFrom();
    ASSERT_GE(mci.size(), expected.size());
    mci.erase(mci.begin(), mci.end() - static_cast<long>(expected.size()));
    EXPECT_EQ(mci, expected);
    ASSERT_FALSE(r.trace.empty());
    EXPECT_EQ(r.trace.back()["exit"], 0);
    EXPECT_EQ(r.trace.back()["t"], 1000000 + 1000);
}

TEST(HeadlessRun, ASecondQuitRequestDoesNotTearDownAgain) {
    const fs::path dir = MakeDataDir("run-double-escape");
    const RunResult a = RunGame(dir, "wait 500\nkey ESC down\n");
    const RunResult b = RunGame(dir, "wait 500\nkey ESC down\nkey ESC up\nkey ESC down\nquit\n");
    EXPECT_EQ(b.status, 0);
    EXPECT_EQ(a.MciFrom(), b.MciFrom());
}

TEST(HeadlessRun, MissingBlendFileIsBuiltFromTheMatchPalette) {
    const fs::path dir = MakeDataDir("run-blend");
    const RunResult r = RunGame(dir, "wait 100\n");
    EXPECT_EQ(r.status, 0) << r.stderrText;
    const std::string text = testfiles::ReadText(dir / "DATA/TXT/palet.dat");
    ASSERT_EQ(text.size(), 262144u);
    // The test picture's colour i is (i, 255 - i, i / 2): the mean of 10 and 20 is colour 15.
    EXPECT_EQ(text.substr((10 * 256 + 20) * 4, 4), "015,");
}

TEST(HeadlessRun, MalformedBlendFileLoadsWithoutACrash) {
    const fs::path dir = MakeDataDir("run-blend-bad");
    testfiles::WriteText(dir / "DATA/TXT/palet.dat", "12,abc,,,999999,-5,");
    const RunResult r = RunGame(dir, "wait 100\n");
    EXPECT_EQ(r.status, 0) << r.stderrText;
    EXPECT_NE(r.stderrText.find("palet.dat"), std::string::npos);
}

TEST(HeadlessRun, NoBlendFileAndNoPaletteToBuildItFromEndsWithStatus1) {
    // A DATA folder without pictures (one with no DATA at all would send the search on to the
    // build's own data).
    const fs::path dir = testfiles::FreshDir("run-no-data");
    fs::create_directories(dir / "DATA/TXT");
    const RunResult r = RunGame(dir, "wait 100\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.stderrText.find("palet.dat"), std::string::npos);
}

TEST(HeadlessRun, ScriptErrorsAndTimeOutsHaveTheirOwnStatus) {
    const fs::path dir = MakeDataDir("run-script-errors");
    RunResult r = RunGame(dir, "wait 10\njump 3 4\n");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.stderrText.find("line 2"), std::string::npos);
    r = RunGame(dir, "until SCENE_NOWHERE\n");
    EXPECT_EQ(r.status, 2);
    r = RunGame(dir, "until SCENE_CREDITS 500\n");
    EXPECT_EQ(r.status, 3);
}

TEST(HeadlessRun, DumpShowsTheLoopStateOnTheVirtualClock) {
    const fs::path dir = MakeDataDir("run-dump");
    const RunResult r = RunGame(dir, "wait 1000\nmove 100 200\ndown left\nwait 1\ndump " +
                                         (dir / "d.json").string() + "\nup left\n");
    EXPECT_EQ(r.status, 0) << r.stderrText;
    const auto j = nlohmann::json::parse(testfiles::ReadText(dir / "d.json"));
    EXPECT_EQ(j["time"], 1001001);
    // Ticks at 0, 101, ..., 909 ms: ten of them within the first second.
    EXPECT_EQ(j["AnimTick"], 10);
    EXPECT_EQ(j["MouseButtons"], 0x10);
    EXPECT_EQ(j["Pointer"][0], 100);
    EXPECT_EQ(j["FramePeriod"], 33);
    EXPECT_EQ(j["ScreenPalette"].size(), 256u);
}

TEST(HeadlessRun, ClockWrapDoesNotStopTheTicks) {
    const fs::path dir = MakeDataDir("run-wrap");
    const RunResult r = RunGame(dir, "wait 2000\ndump " + (dir / "w.json").string() + "\n",
                                {"--clock-start", "4294966296"});
    EXPECT_EQ(r.status, 0) << r.stderrText;
    const auto j = nlohmann::json::parse(testfiles::ReadText(dir / "w.json"));
    EXPECT_EQ(j["time"], 1000);  // wrapped
    EXPECT_EQ(j["AnimTick"], 20);
}

}  // namespace
