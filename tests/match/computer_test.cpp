// The computer opponent in the game, played headless with the real data: its hand gives the
// match the same pointer and buttons a person would, so a person who gives exactly those at the
// same moments plays the same turn, frame for frame and sound for sound (a capture with its
// promotion prompt, and a placement through the hand button and the panel); with both sides to
// the computer a match runs by itself to the result screen and on into the next match, the
// same on every run, and a match whose side to move can never move is ended.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/headless_runner.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using testfiles::ReadText;
using testfiles::RunGame;
using testfiles::RunResult;

// A data folder with the game's real data and one of the layouts of tests/replays/layouts.
fs::path DataWithLayout(const std::string& name, const std::string& layout) {
    const fs::path dir = testfiles::FreshDir(name);
    fs::copy(fs::path(KELMORAV_BUILD_DIR) / "DATA", dir / "DATA", fs::copy_options::recursive);
    fs::copy_file(fs::path(KELMORAV_SOURCE_DIR) / "tests/replays/layouts" / (layout + ".dat"),
                  dir / "DATA/TXT/SYOGI.dat", fs::copy_options::overwrite_existing);
    return dir;
}

// A script as commands at virtual times counted from the start of the run.
using Timeline = std::multimap<long long, std::string>;

std::string ScriptOf(const Timeline& timeline) {
    std::string script;
    long long now = 0;
    for (const auto& [at, command] : timeline) {
        if (at > now) script += "wait " + std::to_string(at - now) + "\n";
        now = std::max(now, at);
        script += command + "\n";
    }
    return script;
}

constexpr long long CLOCK_START = 1000000;  // the headless clock's first reading

// A click of a person: press, and release 60 ms later.
void Click(Timeline* t, long long at, int x, int y) {
    t->emplace(at, "move " + std::to_string(x) + " " + std::to_string(y));
    t->emplace(at, "down left");
    t->emplace(at + 60, "up left");
}

// The hand's pointer and buttons as the trace tells them, as the same input from a person: in
// each frame where the hand changed, the pointer moves there and the buttons go down or up.
Timeline PersonGivingTheHandsInput(const RunResult& run) {
    Timeline t;
    int buttons = 0;
    for (const json& j : run.With("hand")) {
        const long long at = j["t"].get<long long>() - CLOCK_START;
        const int x = j["hand"][0];
        const int y = j["hand"][1];
        const int now = j["hand"][2];
        t.emplace(at, "move " + std::to_string(x) + " " + std::to_string(y));
        for (const auto& [bit, name] : {std::pair{0x10, "left"}, std::pair{0x01, "right"}}) {
            if ((now & bit) != (buttons & bit)) {
                t.emplace(at, std::string((now & bit) ? "down " : "up ") + name);
            }
        }
        buttons = now;
    }
    return t;
}

// The trace without the hand's own lines (its pointer and buttons), one line each.
std::vector<std::string> WithoutHand(const RunResult& run) {
    std::vector<std::string> out;
    for (const json& j : run.trace) {
        if (!j.contains("hand")) out.push_back(j.dump());
    }
    return out;
}

// A state dump without what follows where the pointer rested after the hand's turns (the
// person's pointer then is elsewhere): the pointer, its square and the piece it last showed.
json WithoutPointer(json state) {
    for (const char* key : {"Pointer", "CursorSquare", "HoverFlag", "InfoHover", "InfoPiece"}) {
        state.erase(key);
    }
    return state;
}

size_t Count(const RunResult& run, const std::string& voice) {
    const auto lines = run.With("voice");
    return static_cast<size_t>(std::count_if(lines.begin(), lines.end(),
                                             [&](const json& j) { return j["voice"] == voice; }));
}

// Side 0 (the computer) has one move on the computer_forced layout: its knight takes the silver
// on the far row, where the prompt opens. Then side 1 (a person) steps its king, and side 0,
// whose pieces can no longer move, can only buy a piece with the silver's points.
Timeline ForcedMatch() {
    Timeline t;
    Click(&t, 10200, 250, 380);  // the title's start item
    Click(&t, 27000, 448, 200);  // side 1 picks up its king on (4, 0)
    Click(&t, 27360, 416, 216);  // and steps to (4, 1)
    t.emplace(37000, "move 100 100");
    t.emplace(37100, "dump OUT/end.json");
    return t;
}

TEST(ComputerHand, PlaysAMoveAndAPlacementThroughThePersonsInputsFrameForFrame) {
    const fs::path dir = DataWithLayout("computer-forced", "computer_forced");
    const std::string script = testfiles::WithOut(ScriptOf(ForcedMatch()), dir);
    const RunResult computer = RunGame(dir, script, {"--computer", "first", "--level", "2"});
    ASSERT_EQ(computer.status, 0) << computer.stderrText;
    const json played = testfiles::ReadJson(dir / "end.json");
    // The turns are the ones meant: the knight took the silver and was asked about promotion,
    // the hand button opened the panel and a piece was bought into the lowest free slot.
    EXPECT_EQ(Count(computer, "SFX_EXPLOS1"), 1u);
    EXPECT_EQ(Count(computer, "SFX_WIBBLE"), 1u);
    EXPECT_EQ(played["TurnNumber"], 4);
    bool bought = false;
    for (const json& p : played["PieceTable"]) {
        if (p["slot"] == 33) ADD_FAILURE() << "the silver is still there";
        if (p["slot"] == 8) bought = p["kind"].get<int>() >= 1 && p["kind"].get<int>() <= 4;
    }
    EXPECT_TRUE(bought) << played["PieceTable"].dump();
    ASSERT_FALSE(computer.With("hand").empty());

    // A person gives the hand's pointer and buttons at the same moments, with no computer.
    Timeline person = ForcedMatch();
    person.merge(PersonGivingTheHandsInput(computer));
    const RunResult byHand = RunGame(dir, testfiles::WithOut(ScriptOf(person), dir));
    ASSERT_EQ(byHand.status, 0) << byHand.stderrText;
    EXPECT_TRUE(byHand.With("hand").empty());
    const std::vector<std::string> a = WithoutHand(computer);
    const std::vector<std::string> b = WithoutHand(byHand);
    const auto differ = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
    EXPECT_TRUE(differ.first == a.end() && differ.second == b.end())
        << "first difference: " << (differ.first == a.end() ? "(end)" : *differ.first)
        << " against " << (differ.second == b.end() ? "(end)" : *differ.second);
    EXPECT_EQ(WithoutPointer(testfiles::ReadJson(dir / "end.json")), WithoutPointer(played));
}

// From the start with both sides to the computer: the title's menu starts a match by itself, the
// match is played to the end, the result screen leaves by itself, and the next match begins.
const char* const DEMONSTRATION = R"(until SCENE_MATCH 60000
until SCENE_RESULT 1200000
dump OUT/result.json
until SCENE_TITLE 60000
until SCENE_MATCH 60000
)";

TEST(ComputerHand, BothSidesPlayAMatchToTheResultAndOnIntoTheNextTheSameEveryRun) {
    const fs::path dir = DataWithLayout("computer-duel", "computer_duel");
    const std::string script = testfiles::WithOut(DEMONSTRATION, dir);
    const std::vector<std::string> both = {"--computer", "both", "--level", "2"};
    const RunResult first = RunGame(dir, script, both);
    ASSERT_EQ(first.status, 0) << first.stderrText;
    const json result = testfiles::ReadJson(dir / "result.json");
    // Taken by the capture of a first slot, not by the forfeit of a match that ran too long.
    const json& pieces = result["PieceTable"];
    const bool kingTaken =
        std::none_of(pieces.begin(), pieces.end(), [](const json& p) { return p["slot"] == 0; }) ||
        std::none_of(pieces.begin(), pieces.end(), [](const json& p) { return p["slot"] == 32; });
    EXPECT_TRUE(kingTaken) << pieces.dump();
    EXPECT_GT(result["TurnNumber"].get<int>(), 2);

    const RunResult second = RunGame(dir, script, both);
    ASSERT_EQ(second.status, 0) << second.stderrText;
    EXPECT_TRUE(first.trace == second.trace) << "two runs of the same match differ";

    // On the computer_stuck layout the first side's king and pawns block one another and it has
    // no points: it can never move, so the match is ended as a forfeit instead of waiting.
    const fs::path stuckDir = DataWithLayout("computer-stuck", "computer_stuck");
    const RunResult stuck = RunGame(stuckDir, testfiles::WithOut(DEMONSTRATION, stuckDir), both);
    ASSERT_EQ(stuck.status, 0) << stuck.stderrText;
    const json stuckResult = testfiles::ReadJson(stuckDir / "result.json");
    EXPECT_EQ(stuckResult["TurnNumber"].get<int>(), 1) << stuckResult.dump();
}

}  // namespace
