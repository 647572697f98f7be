// The options card and the settings file, through the built game run headless: while the card is
// open nothing but Escape reaches the scene; the choices made on it come back in the next run;
// the command line's choices are never written; a headless run without --settings neither reads
// nor writes the player's file; a recording replays with the settings it was made with.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <regex>
#include <string>

#include "support/headless_runner.h"

namespace {

namespace fs = std::filesystem;

using testfiles::RunGame;
using testfiles::RunResult;

// A folder for one test whose DATA is the build's.
struct GameDir {
    explicit GameDir(const std::string& name) : dir(name) {
        fs::create_directory_symlink(fs::path(KELMORAV_BUILD_DIR) / "DATA", dir.Path() / "DATA");
    }
    fs::path operator/(const std::string& name) const { return dir.Path() / name; }
    testfiles::TempDir dir;
};

std::vector<int> Scenes(const RunResult& r) {
    std::vector<int> scenes;
    for (const auto& j : r.With("scene")) scenes.push_back(j["scene"]);
    return scenes;
}

// The script with the card's part taken out: each press and click becomes a wait as long, so
// the scene sees the same clock and no input.
std::string WithoutCard(const std::string& script) {
    std::string out =
        std::regex_replace(script, std::regex("press (F2|Z|L|DOWN|UP)\n"), "wait 100\n");
    out = std::regex_replace(out, std::regex("key F2 (down|up)\n"), "");
    out = std::regex_replace(out, std::regex("press Z 200\n"), "wait 200\n");
    return std::regex_replace(out, std::regex("click \\d+ \\d+\n"), "wait 60\n");
}

// The same with the card never opened: the clicks and keys reach the scene.
std::string WithoutF2(const std::string& script) {
    const std::string out = std::regex_replace(script, std::regex("press F2\n"), "wait 100\n");
    return std::regex_replace(out, std::regex("key F2 (down|up)\n"), "");
}

// Over the title the card takes the click on 開始 (which starts a match); in the match it takes
// Z (the forfeit), L and a click on a piece (under the card's column of row names, where a click
// changes no choice). Each part closes the card, then moves the pointer
// where the clicks left it, as it closes. The presses that are not the card's are written as down
// and up, so that the runs without the card keep them.
const char* const HELD_SESSION = R"(wait 500
move 300 300
down left
wait 60
up left
wait 1500
press F2
click 250 380
press DOWN
key F2 down
move 250 380
key F2 up
wait 500
dump OUT/title.json
shot OUT/title.png
move 250 380
down left
wait 60
up left
until SCENE_MATCH 20000
wait 9500
press F2
press Z 200
press L
click 128 236
key F2 down
move 128 236
key F2 up
wait 500
dump OUT/match.json
shot OUT/match.png
)";

// The fault caught: a click, a key polled by the scene (Z, L) or a key message leaking through
// the card into the scene underneath, or the card's picture left behind once it is closed.
TEST(OptionsCard, HoldsEveryInputFromTheSceneAndLeavesItsPictureAsItWas) {
    GameDir a("card-held");
    GameDir b("card-absent");
    GameDir c("card-never-opened");
    const RunResult held = RunGame(a.dir.Path(), testfiles::WithOut(HELD_SESSION, a.dir.Path()));
    const RunResult absent =
        RunGame(b.dir.Path(), testfiles::WithOut(WithoutCard(HELD_SESSION), b.dir.Path()));
    ASSERT_EQ(held.status, 0) << held.stderrText;
    ASSERT_EQ(absent.status, 0) << absent.stderrText;
    EXPECT_EQ(Scenes(held), Scenes(absent));
    for (const char* name : {"title.json", "match.json"}) {
        EXPECT_EQ(testfiles::ReadJson(a / name), testfiles::ReadJson(b / name)) << name;
    }
    for (const char* name : {"title.png", "match.png"}) {
        EXPECT_EQ(testfiles::ReadText(a / name), testfiles::ReadText(b / name)) << name;
    }
    // The same input without the card does act: the click starts the match and Z forfeits it.
    const RunResult open =
        RunGame(c.dir.Path(), testfiles::WithOut(WithoutF2(HELD_SESSION), c.dir.Path()));
    EXPECT_NE(Scenes(open), Scenes(held));
}

// The fault caught: Escape taken by the card along with every other key.
TEST(OptionsCard, EscapeStillQuitsWhileItIsOpen) {
    GameDir d("card-escape");
    const RunResult r = RunGame(d.dir.Path(), "wait 500\npress F2\nkey ESC down\nwait 5000\n");
    EXPECT_EQ(r.status, 0);
    ASSERT_FALSE(r.trace.empty());
    EXPECT_LT(r.trace.back()["t"].get<long long>(), 1000000 + 5000);
}

std::string Setting(const fs::path& file, const std::string& key) {
    const std::string text = testfiles::ReadText(file);
    const std::regex line("(^|\n)" + key + "=([^\n]*)");
    std::smatch m;
    return std::regex_search(text, m, line) ? m[2].str() : "<none>";
}

// The first run turns the music down three steps and the kind labels on; the second finds them
// (its first volume line says so) and switches the labels again, which is off only if they came
// back on.
const char* const CHOOSE =
    "wait 300\npress F2\npress LEFT\npress LEFT\npress LEFT\npress DOWN\n"
    "press DOWN\npress RIGHT\npress F2\nwait 300\n";
const char* const TOGGLE_LABELS =
    "wait 300\npress F2\npress DOWN\npress DOWN\npress RIGHT\n"
    "press F2\nwait 1500\n";

// The fault caught: choices not written, written before they settle and never again, or not
// read back at the next start.
TEST(Settings, ChoicesMadeOnTheCardComeBackInTheNextRun) {
    GameDir d("settings-round-trip");
    const std::string file = (d / "cfg/settings.ini").string();
    const RunResult first = RunGame(d.dir.Path(), CHOOSE, {"--settings", file});
    ASSERT_EQ(first.status, 0) << first.stderrText;
    EXPECT_EQ(Setting(file, "music"), "7");
    EXPECT_EQ(Setting(file, "labels"), "on");
    const RunResult second = RunGame(d.dir.Path(), TOGGLE_LABELS, {"--settings", file});
    ASSERT_EQ(second.status, 0) << second.stderrText;
    const auto volumes = second.With("volume");
    ASSERT_FALSE(volumes.empty());
    EXPECT_EQ(volumes.front()["volume"]["music"], 7);
    EXPECT_EQ(Setting(file, "labels"), "off");
    EXPECT_EQ(Setting(file, "music"), "7");
    EXPECT_TRUE(second.stderrText.empty()) << second.stderrText;
}

// The fault caught: --scale (or --window) of one run written into the file as the player's
// choice, or the file's other keys (another version's) dropped on the way.
TEST(Settings, TheCommandLineCountsForItsRunOnly) {
    GameDir d("settings-override");
    const fs::path file = d / "settings.ini";
    testfiles::WriteText(file, "kelmorav-settings 1\nscreen=full\nscale=3\ncomputer=second\n");
    const RunResult r =
        RunGame(d.dir.Path(), CHOOSE, {"--settings", file.string(), "--scale", "6"});
    ASSERT_EQ(r.status, 0) << r.stderrText;
    EXPECT_EQ(Setting(file, "music"), "7");
    EXPECT_EQ(Setting(file, "screen"), "full");
    EXPECT_EQ(Setting(file, "scale"), "3");
    EXPECT_EQ(Setting(file, "computer"), "second");
}

class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (old_) {
            setenv(name_, old_->c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

// The fault caught: a headless run (a test, a replay, a soak) taking the player's settings, so
// that its outputs depend on the machine, or writing them.
TEST(Settings, AHeadlessRunWithoutSettingsNeitherReadsNorWritesThePlayersFile) {
    GameDir d("settings-headless");
    const fs::path file = d / "config/kelmorav/settings.ini";
    const std::string text = "kelmorav-settings 1\nmusic=2\nlabels=on\n";
    testfiles::WriteText(file, text);
    const ScopedEnv config("XDG_CONFIG_HOME", (d / "config").string());
    const RunResult r = RunGame(d.dir.Path(), CHOOSE);
    ASSERT_EQ(r.status, 0) << r.stderrText;
    const auto volumes = r.With("volume");
    ASSERT_FALSE(volumes.empty()) << "the card's change is traced";
    EXPECT_EQ(volumes.front()["volume"]["music"], 9) << "from 10, not from the file's 2";
    EXPECT_EQ(testfiles::ReadText(file), text);
    EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), fs::directory_iterator{}),
              1);
}

// The fault caught: a session recorded with settings (a lower volume, the labels on) replaying
// with the defaults and so going another way than it went.
TEST(Settings, ARecordingReplaysWithTheSettingsItWasMadeWith) {
    GameDir d("settings-recording");
    const fs::path file = d / "settings.ini";
    testfiles::WriteText(file, "kelmorav-settings 1\nmusic=4\nlabels=on\n");
    const fs::path recording = d / "session.rec";
    const RunResult made = RunGame(d.dir.Path(), CHOOSE,
                                   {"--settings", file.string(), "--record", recording.string(),
                                    "--dump-at-end", (d / "made.json").string()});
    ASSERT_EQ(made.status, 0) << made.stderrText;
    EXPECT_NE(testfiles::ReadText(recording).find("\nsettings music=4,"), std::string::npos);
    const fs::path trace = d / "replay.jsonl";
    const int status = testfiles::RunProgram(
        {std::string(KELMORAV_BUILD_DIR) + "/kelmorav", "--headless", "--replay",
         recording.string(), "--data", d.dir.Path().string(), "--trace", trace.string(),
         "--dump-at-end", (d / "replayed.json").string()},
        d / "replay-err.txt");
    EXPECT_EQ(status, 0) << testfiles::ReadText(d / "replay-err.txt");
    EXPECT_EQ(testfiles::ReadText(trace), testfiles::ReadText(d / "trace.jsonl"));
    EXPECT_EQ(testfiles::ReadJson(d / "made.json"), testfiles::ReadJson(d / "replayed.json"));
}

}  // namespace
