// The soak's invariant checker: a sound mid-match dump passes, and each way of breaking the game
// state that the soak watches for is reported (after the sound dump, for the invariants that
// relate one dump to the one before).
#include "soak_checks.h"

#include <gtest/gtest.h>

#include <functional>
#include <nlohmann/json.hpp>

namespace {

using nlohmann::json;

json Piece(int slot, int x, int y, int value, int kind) {
    return {{"slot", slot}, {"x", x}, {"y", y}, {"value", value}, {"kind", kind}};
}

// Turn 3 of a match, side 0 to move: each side has its king and one more piece.
json MatchDump() {
    return {
        {"time", 1050000},
        {"Scene", 5},
        {"SceneName", "SCENE_MATCH"},
        {"Surfaces",
         {{"FrontSurface", true},
          {"BackBuffer", true},
          {"EtcSheet", true},
          {"SaveSurface", true},
          {"SideSheet0", true},
          {"SideSheet1", true},
          {"RankSheet", true},
          {"DimSurface", true},
          {"TitleArt", false},
          {"TitleWork", false},
          {"FireCanvas", false}}},
        {"FirePen", false},
        {"LowResMode", 0},
        {"Display", {640, 480}},
        {"MouseButtons", 0},
        {"SoundOn", 1},
        {"MusicOn", 1},
        {"FramePeriod", 33},
        {"TitleStep", 10},
        {"MenuChoice", 0},
        {"ResultStep", 0},
        {"CreditsIndex", 0},
        {"SideToMove", 0},
        {"TurnNumber", 3},
        {"MatchState", 0},
        {"SideColourBank", {16, 224}},
        {"BoardTileStyle", 2},
        {"PieceTable",
         {Piece(0, 4, 0, 10, 8), Piece(1, 4, 2, 1, 1), Piece(32, 4, 8, 10, 8),
          Piece(33, 1, 7, 6, 6)}},
        {"SelectedPiece", -1},
        {"ReachTable", json::array()},
        {"PlacePanelStep", 0},
        {"PlaceChoice", 0},
        {"DropCost", {1, 2, 3, 4, 5, 6, 6, 0}},
        {"SideTally",
         {{{"clockSeconds", 5}, {"points", 2}, {"material", 11}},
          {{"clockSeconds", 4}, {"points", 0}, {"material", 16}}}},
        {"PointMoteTable", json::array()},
    };
}

struct Case {
    const char* name;
    std::function<void(json&)> change;
    const char* reported;  // nullptr: the changed dump is sound too
};

const Case CASES[] = {
    {"an unknown scene", [](json& d) { d["Scene"] = 3; }, "none of the game's scenes"},
    {"two pieces on one square", [](json& d) { d["PieceTable"][1]["y"] = 0; }, "share square"},
    {"a capture in flight",
     [](json& d) {
         d["MatchState"] = 2;
         d["SelectedPiece"] = 1;
         d["PieceTable"][1]["y"] = 8;
     },
     nullptr},
    {"a piece moving onto its own side",
     [](json& d) {
         d["MatchState"] = 2;
         d["SelectedPiece"] = 1;
         d["PieceTable"][1]["y"] = 0;
     },
     "share square"},
    {"a piece off the board", [](json& d) { d["PieceTable"][3]["x"] = 9; }, "off the board"},
    {"a kind byte of no kind", [](json& d) { d["PieceTable"][1]["kind"] = 9; }, "kind byte"},
    {"a promoted king", [](json& d) { d["PieceTable"][0]["kind"] = 0x88; },
     "promoted gold or king"},
    {"a pawn worth a lance", [](json& d) { d["PieceTable"][1]["value"] = 2; }, "worth 2"},
    {"the title's art in a match", [](json& d) { d["Surfaces"]["TitleArt"] = true; },
     "TitleArt is held"},
    {"a match without its sheet", [](json& d) { d["Surfaces"]["EtcSheet"] = false; },
     "EtcSheet is missing"},
    {"the fire pen in a match", [](json& d) { d["FirePen"] = true; }, "FirePen is held"},
    {"low resolution in a match",
     [](json& d) {
         d["Display"] = {320, 240};
     },
     "Display"},
    {"negative points", [](json& d) { d["SideTally"][1]["points"] = -1; }, "points -1"},
    {"a material tally behind the board", [](json& d) { d["SideTally"][0]["material"] = 12; },
     "material 12"},
    {"points from nowhere", [](json& d) { d["SideTally"][1]["points"] = 30; }, "more than"},
    {"a placement the side cannot pay",
     [](json& d) {
         d["MatchState"] = 15;
         d["PlacePanelStep"] = 2;
         d["PlaceChoice"] = 5;
     },
     "offers a kind costing 6"},
    {"a placement onto a piece",
     [](json& d) {
         d["MatchState"] = 15;
         d["PlacePanelStep"] = 2;
         d["ReachTable"] = {{{"index", 0}, {"x", 1}, {"y", 7}, {"reachable", 1}}};
     },
     "holds a piece"},
    {"a move offered onto the mover's own piece",
     [](json& d) {
         d["MatchState"] = 6;
         d["SelectedPiece"] = 1;
         d["ReachTable"] = {{{"index", 0}, {"x", 4}, {"y", 0}, {"reachable", 1}}};
     },
     "mover's own piece"},
    {"an enemy piece selected",
     [](json& d) {
         d["MatchState"] = 6;
         d["SelectedPiece"] = 33;
     },
     "no live piece of side 0"},
    {"a colour no digit gives", [](json& d) { d["SideColourBank"][1] = 8 * 16; }, "SideColourBank"},
    {"the turn count going down", [](json& d) { d["TurnNumber"] = 2; }, "went down"},
    {"a side's clock going down", [](json& d) { d["SideTally"][0]["clockSeconds"] = 4; },
     "clock went down"},
    {"the clock running back", [](json& d) { d["time"] = 1049999; }, "ran back"},
    {"a missing field", [](json& d) { d.erase("SideTally"); }, "lacks a field"},
};

TEST(SoakChecks, EachBrokenInvariantIsReportedAfterASoundDump) {
    for (const Case& c : CASES) {
        SCOPED_TRACE(c.name);
        SoakChecker checker;
        const std::vector<std::string> first = checker.Check(MatchDump());
        ASSERT_TRUE(first.empty()) << first.front();
        json changed = MatchDump();
        c.change(changed);
        const std::vector<std::string> found = checker.Check(changed);
        if (c.reported == nullptr) {
            EXPECT_TRUE(found.empty()) << found.front();
            continue;
        }
        bool named = false;
        for (const std::string& f : found) named = named || f.find(c.reported) != std::string::npos;
        EXPECT_TRUE(named) << "expected \"" << c.reported << "\" among " << json(found).dump();
    }
}

}  // namespace
