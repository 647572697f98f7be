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
    // A DATA folder with its four folders, all empty.
    const fs::path dir = testfiles::FreshDir("run-no-data");
    for (const char* folder : {"DATA/BMP", "DATA/SOUND", "DATA/BGM", "DATA/TXT"}) {
        fs::create_directories(dir / folder);
    }
    const RunResult r = RunGame(dir, "wait 100\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.stderrText.find("palet.dat"), std::string::npos);
}

// A data directory that cannot be used stops the game before anything starts: status 1 and
// one line that names the directory and what is wrong with it.
struct DataDirCase {
    const char* name;
    void (*prepare)(const fs::path& dir);
    const char* before;  // the line around the directory's path
    const char* after;
};

class HeadlessDataDir : public ::testing::TestWithParam<DataDirCase> {};

TEST_P(HeadlessDataDir, EndsWithStatus1AndOneLine) {
    const fs::path dir = testfiles::FreshDir(std::string("run-datadir-") + GetParam().name);
    GetParam().prepare(dir);
    const fs::path script = testfiles::FreshDir("run-datadir-script") / "s.txt";
    testfiles::WriteText(script, "wait 100\n");
    const fs::path err = script.parent_path() / "err.txt";
    const std::string cmd = std::string(KELMORAV_BUILD_DIR) + "/kelmorav --headless --script '" +
                            script.string() + "' --data '" + (dir / "game").string() + "' 2>'" +
                            err.string() + "'";
    const int raw = std::system(cmd.c_str());
    ASSERT_TRUE(WIFEXITED(raw));
    EXPECT_EQ(WEXITSTATUS(raw), 1);
    const std::string said = testfiles::ReadText(err);
    EXPECT_EQ(said, std::string("kelmorav: ") + GetParam().before + (dir / "game").string() +
                        GetParam().after + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    HeadlessRun, HeadlessDataDir,
    ::testing::Values(
        DataDirCase{"missing", [](const fs::path&) {}, "the data directory ", " does not exist"},
        DataDirCase{"a_file", [](const fs::path& dir) { testfiles::WriteText(dir / "game", "x"); },
                    "the data directory ", " is not a directory"},
        DataDirCase{"without_data",
                    [](const fs::path& dir) { fs::create_directories(dir / "game/other"); }, "",
                    " holds no DATA folder (the game's pictures, sounds, music and texts)"},
        DataDirCase{"without_music_and_texts",
                    [](const fs::path& dir) {
                        fs::create_directories(dir / "game/DATA/BMP");
                        fs::create_directories(dir / "game/DATA/SOUND");
                    },
                    "", "/DATA lacks the folders BGM and TXT"},
        DataDirCase{"without_sounds",
                    [](const fs::path& dir) {
                        for (const char* f : {"BMP", "BGM", "TXT"}) {
                            fs::create_directories(dir / "game/DATA" / f);
                        }
                    },
                    "", "/DATA lacks the folder SOUND"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HeadlessRun, FramesComeEvery33msOnTheVirtualClockWithoutDrift) {
    const fs::path dir = MakeDataDir("run-cadence");
    const RunResult r = RunGame(dir, "wait 10000\n");
    EXPECT_EQ(r.status, 0) << r.stderrText;
    const auto frames = r.With("frame");
    ASSERT_GT(frames.size(), 250u);
    // Ticks fall due between frames every 101 ms; the frames keep their own deadlines.
    const long long first = frames.front()["t"];
    for (size_t i = 0; i < frames.size(); ++i) {
        ASSERT_EQ(frames[i]["t"].get<long long>(), first + 33 * static_cast<long long>(i))
            << "frame " << i;
        ASSERT_EQ(frames[i]["frame"]["n"], i + 1);
    }
    // Each frame names the scene whose handler it runs, and each presented picture comes
    // after a frame that drew it.
    int scene = -1;
    size_t presents = 0;
    long long lastFrame = -1;
    for (const auto& j : r.trace) {
        if (j.contains("scene")) scene = j["scene"];
        if (j.contains("frame")) {
            ASSERT_EQ(j["frame"]["scene"], scene);
            lastFrame = j["t"];
        }
        if (j.contains("present")) {
            ++presents;
            ASSERT_EQ(j["present"], presents);
            ASSERT_GE(j["t"].get<long long>(), lastFrame);
            ASSERT_GE(lastFrame, 0);
        }
    }
    EXPECT_GT(presents, 10u);
    EXPECT_LE(presents, frames.size());
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
