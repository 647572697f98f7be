#pragma once
// The match rules' state as JSON, for the headless backend's state dumps and for tests.

#include <nlohmann/json.hpp>

// Keys: "PieceTable" (live slots only, each with its "slot"), "ReachTable" (reachable entries
// only, each with its "index"), "SideTally" (two records), and the scalars "SideToMove",
// "TurnNumber", "SelectedPiece", "PreviousPiece", "CapturedPiece", "CursorSquare" ({x, y}),
// "HoverFlag", "DropCost" (8 numbers), "SideColourBank" (2 numbers) and "BoardTileStyle".
nlohmann::json DumpRulesState();
