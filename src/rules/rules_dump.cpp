// JSON view of the match rules' globals.
#include "rules/rules_dump.h"

#include "rules/board.h"

nlohmann::json DumpRulesState() {
    nlohmann::json pieces = nlohmann::json::array();
    for (int slot = 0; slot < PIECE_SLOT_COUNT; ++slot) {
        const PieceRecord& p = PieceTable[slot];
        if (p.kind == KIND_NONE) continue;
        pieces.push_back(
            {{"slot", slot}, {"x", p.x}, {"y", p.y}, {"value", p.value}, {"kind", p.kind}});
    }

    nlohmann::json reach = nlohmann::json::array();
    for (int index = 0; index < REACH_ENTRY_COUNT; ++index) {
        const ReachEntry& e = ReachTable[index];
        if (e.reachable == 0) continue;
        reach.push_back({{"index", index}, {"x", e.x}, {"y", e.y}, {"reachable", e.reachable}});
    }

    nlohmann::json tallies = nlohmann::json::array();
    for (const TallyRecord& t : SideTally) {
        tallies.push_back(
            {{"clockSeconds", t.clockSeconds}, {"points", t.points}, {"material", t.material}});
    }

    nlohmann::json costs = nlohmann::json::array();
    for (int8_t cost : DropCost) costs.push_back(cost);

    return {
        {"PieceTable", pieces},
        {"ReachTable", reach},
        {"SideTally", tallies},
        {"SideToMove", SideToMove},
        {"TurnNumber", TurnNumber},
        {"SelectedPiece", SelectedPiece},
        {"PreviousPiece", PreviousPiece},
        {"CapturedPiece", CapturedPiece},
        {"CursorSquare", {{"x", CursorSquare.x}, {"y", CursorSquare.y}}},
        {"HoverFlag", HoverFlag},
        {"DropCost", costs},
        {"SideColourBank", {SideColourBank[0], SideColourBank[1]}},
        {"BoardTileStyle", BoardTileStyle},
    };
}
