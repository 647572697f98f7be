// Whole matches played headless on the virtual clock from the replay scripts in tests/replays,
// read back through their state dumps and traces: selecting, the hop, a capture paying its
// points, the promotion prompt, placing a piece, the end of a match by taking the first slot or
// by the forfeit key, and the timings of the blocking end sequence. Each script is one case,
// named after what it pins; its opening layout is in tests/replays/layouts.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/headless_runner.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using testfiles::ReadJson;
using testfiles::RunGame;
using testfiles::RunResult;
using testfiles::WithOut;

// A replay's script and layout, read from the source tree.
std::string Fixture(const std::string& relative) {
    const fs::path path = fs::path(KELMORAV_SOURCE_DIR) / "tests" / "replays" / relative;
    std::string text = testfiles::ReadText(path);
    EXPECT_FALSE(text.empty()) << "missing fixture " << path;
    return text;
}

json Piece(const json& state, int slot) {
    for (const json& p : state["PieceTable"]) {
        if (p["slot"] == slot) return p;
    }
    return json();
}

std::vector<std::pair<int, int>> Reachable(const json& state) {
    std::vector<std::pair<int, int>> out;
    for (const json& e : state["ReachTable"]) out.emplace_back(e["x"], e["y"]);
    return out;
}

int SceneTime(const RunResult& r, int scene) {
    for (const json& j : r.With("scene")) {
        if (j["scene"] == scene) return j["t"];
    }
    return -1;
}

// One replay's outcome: its directory (with the dumps) and the game's run.
struct ReplayRun {
    fs::path dir;
    RunResult result;
    json Dump(const std::string& name) const { return ReadJson(dir / (name + ".json")); }
};

// The stages of the capture replay, each reading one or two of its dumps.
const ReplayRun* Current = nullptr;

json Stage(const std::string& name) { return Current->Dump(name); }

void ClickOnOwnPieceSelectsItAndListsItsMoves() {
    const json start = Stage("start");
    EXPECT_EQ(start["MatchState"], 0);
    EXPECT_EQ(start["PieceTable"].size(), 6u);
    EXPECT_EQ(start["InfoOffset"], 222);
    const json s = Stage("selected");
    EXPECT_EQ(s["MatchState"], 6);
    EXPECT_EQ(s["SelectedPiece"], 1);
    EXPECT_EQ(s["SelectSize"], 48);
    EXPECT_EQ(s["MoverX"], 32.0 * 9);
    EXPECT_EQ(s["MoverY"], 16.0 * 15);
    const auto reach = Reachable(s);
    EXPECT_NE(std::find(reach.begin(), reach.end(), std::make_pair(4, 6)), reach.end());
    EXPECT_EQ(std::find(reach.begin(), reach.end(), std::make_pair(4, 7)), reach.end());
}

void MoveMovesTheRecordAtOnceAndHops() {
    const json s = Stage("hop");
    EXPECT_EQ(s["MatchState"], 2);
    EXPECT_EQ(Piece(s, 1)["y"], 6);
    EXPECT_FALSE(Piece(s, 33).is_null());  // taken only when the hop lands
    EXPECT_GT(s["StepFrames"], 0);
    EXPECT_TRUE(s["ReachTable"].empty());
}

void CaptureTakesThePieceAndOpensThePromotionPromptWithMotesInFlight() {
    const json s = Stage("prompt");
    EXPECT_EQ(s["MatchState"], 13);
    EXPECT_TRUE(Piece(s, 33).is_null());
    EXPECT_EQ(s["CapturedPiece"], 33);
    EXPECT_EQ(s["ShatterRadius"], 0);
    EXPECT_EQ(s["ShatterPhase"], 0);
    ASSERT_EQ(s["PointMoteTable"].size(), 3u);
    for (const json& m : s["PointMoteTable"]) {
        EXPECT_EQ(m["side"], 0);
        EXPECT_EQ(m["targetX"], 516);
    }
}

void HeldButtonOnThePromoteButtonPromotesAndEndsTheTurn() {
    const json s = Stage("promoted");
    EXPECT_EQ(Piece(s, 1)["kind"], 0x86);
    EXPECT_EQ(s["SideToMove"], 1);
    EXPECT_EQ(s["TurnNumber"], 2);
    EXPECT_EQ(s["ClickLatch"], 1);
}

void PointsArriveForTheCapturerAfterTheTurnHasPassed() {
    const json s = Stage("paid");
    EXPECT_EQ(s["SideTally"][0]["points"], 3);
    EXPECT_EQ(s["SideTally"][1]["points"], 0);
    EXPECT_TRUE(s["PointMoteTable"].empty());
    const json replied = Stage("replied");
    EXPECT_EQ(Piece(replied, 34)["y"], 5);
    EXPECT_EQ(replied["TurnNumber"], 3);
}

void HandButtonOpensThePanelAndArrowsStopAtTheAffordableKnight() {
    const json opened = Stage("opened");
    EXPECT_EQ(opened["MatchState"], 15);
    EXPECT_EQ(opened["PlacePanelStep"], 2);
    EXPECT_EQ(opened["PlacePanelSize"], 16);
    EXPECT_EQ(opened["ReachTable"].size(), 81u - 5u);  // five pieces left on the board
    const json chosen = Stage("chosen");
    EXPECT_EQ(chosen["PlaceChoice"], 2);  // 3 points: lance (2), knight (3), not silver (4)
}

void PlacedKnightTakesTheLowestFreeSlotAndEndsTheTurn() {
    const json s = Stage("placed");
    const json knight = Piece(s, 3);
    EXPECT_EQ(knight["kind"], 3);
    EXPECT_EQ(knight["x"], 4);
    EXPECT_EQ(knight["y"], 2);
    EXPECT_EQ(knight["value"], 3);
    EXPECT_EQ(s["SideTally"][0]["points"], 0);
    EXPECT_EQ(s["SideToMove"], 1);
    EXPECT_EQ(s["TurnNumber"], 4);
    EXPECT_EQ(s["PlacePanelStep"], 0);
    EXPECT_EQ(s["PlacePanelSize"], 0);
}

void HighestHeldDigitRecoloursOnlyTheSideToMove() {
    const json before = Stage("placed");
    const json s = Stage("recoloured");
    EXPECT_EQ(s["SideToMove"], 1);
    EXPECT_EQ(s["SideColourBank"][1], 13 * 16);  // digit 7 wins over 3
    EXPECT_EQ(s["SideColourBank"][0], before["SideColourBank"][0]);
}

void ForfeitKeyLeadsToTheResultWithTheMusicClosed() {
    const json s = Stage("result");
    EXPECT_EQ(s["Scene"], 6);
    EXPECT_EQ(s["TurnNumber"], 4);
    EXPECT_EQ(s["BlockWave"], 50);
    EXPECT_EQ(s["LastBlockHalfSize"], 0);
    // The match music's commands, without the keep-alive's status queries.
    std::vector<std::string> mci;
    for (const json& j : Current->result.With("mci")) {
        const std::string command = j["mci"];
        if (command.find("BGM2") != std::string::npos) mci.clear();
        if (command.rfind("status", 0) != 0) mci.push_back(command);
    }
    ASSERT_GE(mci.size(), 4u);
    EXPECT_EQ(mci[0], "open DATA\\BGM\\BGM2.mid alias bgm type sequencer");
    EXPECT_EQ(mci[1], "play bgm");
    EXPECT_EQ(mci[2], "stop  bgm");
    EXPECT_EQ(mci[3], "close bgm");
}

void CaptureReplay(const ReplayRun& run) {
    Current = &run;
    struct Check {
        const char* stage;
        void (*check)();
    };
    const Check checks[] = {
        {"ClickOnOwnPieceSelectsItAndListsItsMoves", ClickOnOwnPieceSelectsItAndListsItsMoves},
        {"MoveMovesTheRecordAtOnceAndHops", MoveMovesTheRecordAtOnceAndHops},
        {"CaptureTakesThePieceAndOpensThePromotionPromptWithMotesInFlight",
         CaptureTakesThePieceAndOpensThePromotionPromptWithMotesInFlight},
        {"HeldButtonOnThePromoteButtonPromotesAndEndsTheTurn",
         HeldButtonOnThePromoteButtonPromotesAndEndsTheTurn},
        {"PointsArriveForTheCapturerAfterTheTurnHasPassed",
         PointsArriveForTheCapturerAfterTheTurnHasPassed},
        {"HandButtonOpensThePanelAndArrowsStopAtTheAffordableKnight",
         HandButtonOpensThePanelAndArrowsStopAtTheAffordableKnight},
        {"PlacedKnightTakesTheLowestFreeSlotAndEndsTheTurn",
         PlacedKnightTakesTheLowestFreeSlotAndEndsTheTurn},
        {"HighestHeldDigitRecoloursOnlyTheSideToMove", HighestHeldDigitRecoloursOnlyTheSideToMove},
        {"ForfeitKeyLeadsToTheResultWithTheMusicClosed",
         ForfeitKeyLeadsToTheResultWithTheMusicClosed},
    };
    for (const Check& c : checks) {
        SCOPED_TRACE(c.stage);
        c.check();
    }
    Current = nullptr;
}

void KingTakenReplay(const ReplayRun& run) {
    const json end = run.Dump("end");
    EXPECT_EQ(end["Scene"], 6);
    EXPECT_EQ(end["MatchState"], 12);
    EXPECT_EQ(Piece(end, 1)["kind"], 6);  // never promoted
    EXPECT_EQ(end["SideTally"][0]["points"], 0);
}

void OddLayoutReplay(const ReplayRun& run) {
    const json paid = run.Dump("paid");
    EXPECT_EQ(paid["SideTally"][0]["points"], 10);  // the other 989 motes found no free slot
    EXPECT_EQ(Piece(paid, 1)["kind"], 6);           // the keep button was held
    EXPECT_EQ(paid["SideToMove"], 1);
}

// The forfeit runs two 50-step block transitions around 60 steps of text; the C key cuts each
// transition to one step. Times are measured from the dump taken as Z goes down: the match
// frame that sees it comes within one 33 ms frame period.
void ForfeitTakes(const ReplayRun& run, int steps, int blockWave) {
    const int pressed = run.Dump("z")["time"];
    const int elapsed = SceneTime(run.result, 6) - pressed;
    EXPECT_GE(elapsed, 33 * steps);
    EXPECT_LT(elapsed, 33 * steps + 33);
    EXPECT_EQ(run.Dump("end")["BlockWave"], blockWave);
}
void FullForfeitReplay(const ReplayRun& run) { ForfeitTakes(run, 49 + 60 + 49, 50); }
void CutForfeitReplay(const ReplayRun& run) { ForfeitTakes(run, 60, 1); }

struct Replay {
    const char* name;    // tests/replays/NAME.txt
    const char* layout;  // tests/replays/layouts/LAYOUT.dat
    void (*check)(const ReplayRun&);
};

class MatchReplay : public ::testing::TestWithParam<Replay> {};

TEST_P(MatchReplay, PlaysAsPinned) {
    const Replay& c = GetParam();
    ReplayRun run;
    run.dir = testfiles::MakeTestDataDir(std::string("replay-") + c.name);
    testfiles::WriteText(run.dir / "DATA/TXT/SYOGI.dat",
                         Fixture(std::string("layouts/") + c.layout + ".dat"));
    run.result = RunGame(run.dir, WithOut(Fixture(std::string(c.name) + ".txt"), run.dir));
    ASSERT_EQ(run.result.status, 0) << run.result.stderrText;
    c.check(run);
}

INSTANTIATE_TEST_SUITE_P(
    Replays, MatchReplay,
    ::testing::Values(Replay{"capture_promotes_and_pays_then_placing_spends_then_forfeit_ends",
                             "capture", CaptureReplay},
                      Replay{"taking_the_first_slot_ends_the_match_without_a_prompt",
                             "king_in_reach", KingTakenReplay},
                      Replay{
                          "odd_layout_bytes_are_shown_safely_and_a_capture_pays_at_most_ten_motes",
                          "odd_bytes", OddLayoutReplay},
                      Replay{"forfeit_runs_two_fifty_step_transitions_around_the_text", "capture",
                             FullForfeitReplay},
                      Replay{"forfeit_with_c_held_cuts_each_transition_to_one_step", "capture",
                             CutForfeitReplay}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
