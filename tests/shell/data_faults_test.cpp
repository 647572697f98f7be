// The data folder as a desktop user's machine has it: two games started together on a folder
// whose blend table is still to be built, and a folder on a path with spaces and characters
// outside ASCII.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "support/headless_runner.h"

namespace {

namespace fs = std::filesystem;

// Starts the built game headless on dataDir with a short script, its stderr in errPath;
// returns its process id, or -1.
pid_t StartGame(const fs::path& dataDir, const fs::path& script, const fs::path& errPath) {
    const std::vector<std::string> args = {std::string(KELMORAV_BUILD_DIR) + "/kelmorav",
                                           "--headless",
                                           "--seed",
                                           "7",
                                           "--script",
                                           script.string(),
                                           "--data",
                                           dataDir.string()};
    return testfiles::SpawnProgram(args, errPath);
}

// Two games start on a folder without palet.dat, the second a little later each round, so that
// it looks for the table before, while and after the first one writes it. Each must read a whole
// table (a part of one is "malformed"), and the folder must end with the whole table and nothing
// half-written beside it.
TEST(TwoGames, StartingTogetherEachReadAWholeBlendTable) {
    const fs::path dir = testfiles::MakeTestDataDir("two-games");
    const fs::path table = dir / "DATA/TXT/palet.dat";
    const fs::path script = dir.parent_path() / (dir.filename().string() + "-script.txt");
    testfiles::WriteText(script, "wait 100\n");
    ASSERT_EQ(testfiles::RunGame(dir, "wait 100\n").status, 0);
    const std::string reference = testfiles::ReadText(table);
    ASSERT_EQ(reference.size(), 262144u);

    constexpr int ROUNDS = 16;
    for (int round = 0; round < ROUNDS; ++round) {
        fs::remove(table);
        const fs::path errA = dir / "a.txt";
        const fs::path errB = dir / "b.txt";
        const pid_t a = StartGame(dir, script, errA);
        std::this_thread::sleep_for(std::chrono::milliseconds(round % 8 * 12));
        const pid_t b = StartGame(dir, script, errB);
        ASSERT_GT(a, 0);
        ASSERT_GT(b, 0);
        const int statusA = testfiles::WaitForProgram(a);
        const int statusB = testfiles::WaitForProgram(b);
        for (const auto& [status, err] : {std::pair{statusA, errA}, std::pair{statusB, errB}}) {
            const std::string said = testfiles::ReadText(err);
            EXPECT_EQ(status, 0) << "round " << round << ": " << said;
            EXPECT_EQ(said.find("palet.dat"), std::string::npos)
                << "round " << round << ": " << said;
        }
        EXPECT_TRUE(testfiles::ReadText(table) == reference) << "round " << round;
        for (const auto& entry : fs::directory_iterator(dir / "DATA/TXT")) {
            EXPECT_EQ(entry.path().filename(), "palet.dat") << "left behind in round " << round;
        }
        if (::testing::Test::HasFailure()) break;
    }
}

// The same match played from a folder on an ordinary path and from one whose path has spaces
// and characters outside ASCII (the table built there, the script, trace, picture and dump all
// under that path) ends in the same state and the same picture.
TEST(DataPath, WithSpacesAndNonAsciiCharactersPlaysTheSameMatch) {
    const std::string script =
        "wait 10200\nmove 250 380\nclick 250 380\nuntil SCENE_MATCH 10000\nwait 3000\n"
        "move 320 264\nclick 320 264\nwait 500\nshot OUT/match.png\ndump OUT/end.json\n";
    struct Run {
        fs::path dir;
        testfiles::RunResult result;
    };
    testfiles::TempDir root("data-path");
    std::vector<Run> runs;
    for (const char* name : {"plain", "Spiele und Daten/ñandú 将棋 データ"}) {
        const fs::path dir = root.Path() / name;
        fs::create_directories(dir);
        fs::copy(fs::path(KELMORAV_BUILD_DIR) / "DATA", dir / "DATA", fs::copy_options::recursive);
        fs::remove(dir / "DATA/TXT/palet.dat");  // built at start-up under this path
        runs.push_back({dir, testfiles::RunGame(dir, testfiles::WithOut(script, dir))});
    }
    for (const Run& run : runs) {
        EXPECT_EQ(run.result.status, 0) << run.dir << ": " << run.result.stderrText;
        EXPECT_EQ(run.result.stderrText, "") << run.dir;
        EXPECT_EQ(testfiles::ReadText(run.dir / "DATA/TXT/palet.dat").size(), 262144u) << run.dir;
    }
    const nlohmann::json plain = testfiles::ReadJson(runs[0].dir / "end.json");
    EXPECT_EQ(plain, testfiles::ReadJson(runs[1].dir / "end.json"));
    const std::string shot = testfiles::ReadText(runs[0].dir / "match.png");
    EXPECT_FALSE(shot.empty());
    EXPECT_TRUE(shot == testfiles::ReadText(runs[1].dir / "match.png")) << "the same picture";
    EXPECT_EQ(runs[0].result.trace.size(), runs[1].result.trace.size());
}

}  // namespace
