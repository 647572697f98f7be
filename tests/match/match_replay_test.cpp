// Whole matches played headless from scripts on the virtual clock, read back through state
// dumps: selecting, the hop, a capture paying its points, the promotion prompt, placing a piece,
// the end of a match by taking the first slot or by the forfeit key, and the timings of the
// blocking end sequence.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/headless_runner.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using testfiles::ReadJson;
using testfiles::RunGame;
using testfiles::RunResult;

// Side 0 (slots 0..): king (0, 0), rook (4, 4), pawn (2, 4). Side 1 (slots 32..): king (8, 8),
// a pawn worth 3 on (4, 6) in reach of the rook, a pawn on (0, 6).
const char* const CAPTURE_LAYOUT[] = {"0,0,8,10,", "4,4,6,6,", "2,4,1,1,", nullptr,
                                      "8,8,8,10,", "4,6,1,3,", "0,6,1,1,", nullptr};
// Odd layout bytes: pieces off the board, kind bytes naming no kind, a worth of 999 in reach of
// side 0's rook on (4, 6).
const char* const ODD_LAYOUT[] = {"0,0,8,10,",  "4,4,6,6,",    "-5,100,1,1,",  "99999,-9999,5,5,",
                                  nullptr,      "8,8,8,10,",   "4,6,159,999,", "3,3,32,7,",
                                  "2,2,128,3,", "1,1,255,12,", nullptr};
// The same, but side 1's king stands where the rook lands.
const char* const KING_TAKEN_LAYOUT[] = {"0,0,8,10,", "4,4,6,6,", nullptr,
                                         "4,6,8,10,", "8,8,1,1,", nullptr};

std::string Layout(const char* const* groups) {
    std::string text;
    for (int side = 0; side < 2; ++side) {
        int n = 0;
        for (; *groups != nullptr; ++groups, ++n) text += std::string(*groups) + "\n";
        ++groups;
        for (; n < 20; ++n) text += "0,0,0,0,\n";
    }
    return text;
}

fs::path MatchDataDir(const std::string& name, const char* const* layout) {
    const fs::path dir = testfiles::MakeTestDataDir(name);
    testfiles::WriteText(dir / "DATA/TXT/SYOGI.dat", Layout(layout));
    return dir;
}

// The pointer position over the middle of a board square.
std::string Square(int x, int y) {
    return std::to_string(320 + 32 * (x - y)) + " " + std::to_string(136 + 16 * (x + y));
}

// Starts a match from the title and waits out the fade-in and the opening banner.
std::string ToTheMatch() {
    return "wait 10200\nmove 250 380\nclick 250 380\nuntil SCENE_MATCH 10000\nwait 9000\n";
}

std::string Dump(const fs::path& dir, const std::string& name) {
    return "dump " + (dir / (name + ".json")).string() + "\n";
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

// One match played through a capture with promotion, a reply by side 1 and a placement by side
// 0, ended by the forfeit key. The stages below each read one dump of it.
const fs::path* ReplayDir = nullptr;
const RunResult* ReplayResult = nullptr;

json Stage(const std::string& name) { return ReadJson(*ReplayDir / (name + ".json")); }

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
    for (const json& j : ReplayResult->With("mci")) {
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

TEST(MatchReplay, CaptureOnTheFarRowsPromotesAndPaysThenPlacingSpendsThenForfeitEnds) {
    const fs::path d = MatchDataDir("match-replay", CAPTURE_LAYOUT);
    std::string s = ToTheMatch() + Dump(d, "start");
    s += "move " + Square(4, 4) + "\nclick " + Square(4, 4) + "\nwait 400\n" + Dump(d, "selected");
    s += "move " + Square(4, 6) + "\nclick " + Square(4, 6) + "\nwait 300\n" + Dump(d, "hop");
    s += "wait 3500\n" + Dump(d, "prompt");
    s += "move 235 248\ndown left\nwait 100\nup left\nwait 100\n" + Dump(d, "promoted");
    s += "wait 5000\n" + Dump(d, "paid");
    s += "move " + Square(0, 6) + "\nclick " + Square(0, 6) + "\nwait 200\n";
    s += "move " + Square(0, 5) + "\nclick " + Square(0, 5) + "\nwait 2000\n" + Dump(d, "replied");
    s += "move 597 96\ndown left\nwait 100\nup left\nmove 600 56\nwait 800\n" + Dump(d, "opened");
    for (int i = 0; i < 3; ++i) s += "click 600 56\nwait 100\n";
    s += Dump(d, "chosen");
    s += "move " + Square(4, 2) + "\ndown left\nwait 100\nup left\nwait 3000\n" + Dump(d, "placed");
    s += "key 3 down\nkey 7 down\nwait 100\nkey 3 up\nkey 7 up\n" + Dump(d, "recoloured");
    s += "key Z down\nuntil SCENE_RESULT 20000\n" + Dump(d, "result");
    const RunResult r = RunGame(d, s);
    ASSERT_EQ(r.status, 0) << r.stderrText;
    ReplayDir = &d;
    ReplayResult = &r;
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
    ReplayDir = nullptr;
    ReplayResult = nullptr;
}

TEST(MatchReplayEnd, TakingTheFirstSlotEndsTheMatchWithoutAPrompt) {
    const fs::path dir = MatchDataDir("match-king-taken", KING_TAKEN_LAYOUT);
    const std::string s = ToTheMatch() + "move " + Square(4, 4) + "\nclick " + Square(4, 4) +
                          "\nwait 200\nmove " + Square(4, 6) + "\nclick " + Square(4, 6) +
                          "\nuntil SCENE_RESULT 20000\n" + Dump(dir, "end");
    const RunResult r = RunGame(dir, s);
    ASSERT_EQ(r.status, 0) << r.stderrText;
    const json end = ReadJson(dir / "end.json");
    EXPECT_EQ(end["Scene"], 6);
    EXPECT_EQ(end["MatchState"], 12);
    EXPECT_EQ(Piece(end, 1)["kind"], 6);  // never promoted
    EXPECT_EQ(end["SideTally"][0]["points"], 0);
}

TEST(MatchReplayEnd, OddLayoutBytesAreShownSafelyAndACaptureNeverPaysMoreThanTenMotes) {
    const fs::path dir = MatchDataDir("match-odd-layout", ODD_LAYOUT);
    std::string s = ToTheMatch();
    for (int y = 1; y <= 3; ++y) s += "move " + Square(y, y) + "\nwait 700\n";  // odd kinds
    s += "move " + Square(4, 4) + "\nclick " + Square(4, 4) + "\nwait 300\nmove " + Square(4, 6) +
         "\nclick " + Square(4, 6) + "\nwait 3500\nmove 261 240\ndown left\nwait 100\nup left\n";
    s += "wait 6000\n" + Dump(dir, "paid");
    const RunResult r = RunGame(dir, s);
    ASSERT_EQ(r.status, 0) << r.stderrText;
    const json paid = ReadJson(dir / "paid.json");
    EXPECT_EQ(paid["SideTally"][0]["points"], 10);  // the other 989 motes found no free slot
    EXPECT_EQ(Piece(paid, 1)["kind"], 6);           // the keep button was held
    EXPECT_EQ(paid["SideToMove"], 1);
}

// The forfeit runs two 50-step block transitions around 60 steps of text; the C key cuts each
// transition to one step. Times are measured from the dump taken as Z goes down: the match
// frame that sees it comes within one 33 ms frame period.
TEST(MatchReplayEnd, ForfeitSequenceTakesFiftyStepTransitionsUnlessCutShort) {
    struct Case {
        const char* name;
        bool holdC;
        int steps;  // 33 ms waits between the first step and the switch to the result
    };
    for (const Case c : {Case{"full", false, 49 + 60 + 49}, Case{"cut", true, 60}}) {
        const fs::path dir = MatchDataDir(std::string("match-forfeit-") + c.name, CAPTURE_LAYOUT);
        const std::string s = ToTheMatch() + (c.holdC ? "key C down\n" : "") + Dump(dir, "z") +
                              "key Z down\nuntil SCENE_RESULT 20000\n" + Dump(dir, "end");
        const RunResult r = RunGame(dir, s);
        ASSERT_EQ(r.status, 0) << r.stderrText;
        const int pressed = ReadJson(dir / "z.json")["time"];
        const int elapsed = SceneTime(r, 6) - pressed;
        EXPECT_GE(elapsed, 33 * c.steps) << c.name;
        EXPECT_LT(elapsed, 33 * c.steps + 33) << c.name;
        EXPECT_EQ(ReadJson(dir / "end.json")["BlockWave"], c.holdC ? 1 : 50) << c.name;
    }
}

}  // namespace
