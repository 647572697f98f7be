// Presses shorter than a frame, played through the whole game headless: the capture match of
// tests/replays played once with held clicks and keys and once with taps (each press released
// at once, before the next frame) at the same moments. A tap on the title's start item, on a
// piece, on a reach marker, on the promote button and on the hand button, and taps of the digit
// keys and the forfeit key, must each do what the held press does: every dump of the match is
// the same in both runs.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/headless_runner.h"

namespace {

namespace fs = std::filesystem;
using testfiles::ReadJson;
using testfiles::RunGame;
using testfiles::RunResult;
using testfiles::WithOut;

const char* const REPLAY = "capture_promotes_and_pays_then_placing_spends_then_forfeit_ends";
const char* const DUMPS[] = {"start",   "selected", "hop",    "prompt", "promoted",   "paid",
                             "replied", "opened",   "chosen", "placed", "recoloured", "result"};

std::string Fixture(const std::string& relative) {
    return testfiles::ReadText(fs::path(KELMORAV_SOURCE_DIR) / "tests" / "replays" / relative);
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The script with every press made a tap at the moment it began, the time it was held waited
// after it instead: "[move P /] click P" and "move P / down left / wait N / up left" become
// "tap P / wait ...", held digit keys and the held forfeit key become taps.
std::string Tapped(const std::string& script) {
    const std::vector<std::string> in = SplitLines(script);
    std::string out;
    for (size_t i = 0; i < in.size(); ++i) {
        const std::string& line = in[i];
        const bool move = line.rfind("move ", 0) == 0;
        if (move && i + 1 < in.size() && in[i + 1] == "click " + line.substr(5)) {
            out += "tap " + line.substr(5) + "\nwait 60\n";
            i += 1;
        } else if (line.rfind("click ", 0) == 0) {
            out += "tap " + line.substr(6) + "\nwait 60\n";
        } else if (move && i + 3 < in.size() && in[i + 1] == "down left" &&
                   in[i + 2].rfind("wait ", 0) == 0 && in[i + 3] == "up left") {
            out += "tap " + line.substr(5) + "\n" + in[i + 2] + "\n";
            i += 3;
        } else if (line == "key 3 down" || line == "key 7 down" || line == "key Z down") {
            out += "tap " + line.substr(4, 1) + "\n";
        } else if (line == "key 3 up" || line == "key 7 up") {
            continue;
        } else {
            out += line + "\n";
        }
    }
    return out;
}

RunResult Play(const fs::path& dir, const std::string& script) {
    testfiles::WriteText(dir / "DATA/TXT/SYOGI.dat", Fixture("layouts/capture.dat"));
    return RunGame(dir, WithOut(script, dir));
}

TEST(QuickPressGame, TapsDoAllThatHeldPressesDo) {
    const std::string held = Fixture(std::string(REPLAY) + ".txt");
    const std::string tapped = Tapped(held);
    // Every press of the match is a tap now: the start item, a piece, a reach marker, the
    // promote button, the hand button, the placing panel's arrow, a square, the keys.
    EXPECT_EQ(tapped.find("click"), std::string::npos) << tapped;
    EXPECT_EQ(tapped.find("down"), std::string::npos) << tapped;
    EXPECT_NE(tapped.find("tap 250 380"), std::string::npos) << tapped;
    EXPECT_NE(tapped.find("tap 597 96"), std::string::npos) << tapped;
    EXPECT_NE(tapped.find("tap 7"), std::string::npos) << tapped;

    const fs::path heldDir = testfiles::MakeTestDataDir("quick-press-held");
    const fs::path tapDir = testfiles::MakeTestDataDir("quick-press-tapped");
    const RunResult a = Play(heldDir, held);
    const RunResult b = Play(tapDir, tapped);
    ASSERT_EQ(a.status, 0) << a.stderrText;
    ASSERT_EQ(b.status, 0) << b.stderrText;
    for (const char* name : DUMPS) {
        const std::string file = std::string(name) + ".json";
        ASSERT_TRUE(fs::exists(tapDir / file)) << name << " was never reached with taps";
        EXPECT_EQ(ReadJson(tapDir / file), ReadJson(heldDir / file)) << name;
    }
}

}  // namespace
