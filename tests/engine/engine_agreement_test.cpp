// The engine's move generator against the game's own rules code over positions from random play:
// the reach table of every piece the side to move can pick up, the promotion test and prompt, the
// match-end test that comes before the prompt, the hand button and the placing panel's target
// squares and kinds; and, now and then, a placement carried through the panel to the piece
// table. Any difference is a move the computer would play that a person cannot, or the reverse.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "engine/engine.h"
#include "engine/engine_test_support.h"
#include "rules/board.h"
#include "rules/movement.h"
#include "rules/placing_panel.h"
#include "rules/promotion.h"
#include "rules/tally.h"
#include "support/match_test_support.h"

namespace {

using enginetest::Rng;

// A legal move as both sides describe it: placement flag, slot or kind, square, promote.
using MoveKey = std::tuple<bool, int, int, int, bool>;

MoveKey KeyOf(const engine::Move& m) {
    return {m.place, m.place ? m.kind : m.slot, m.toX, m.toY, m.promote};
}

std::string Describe(const MoveKey& k) {
    std::ostringstream out;
    out << (std::get<0>(k) ? "place kind " : "move slot ") << std::get<1>(k) << " to ("
        << std::get<2>(k) << "," << std::get<3>(k) << ")" << (std::get<4>(k) ? " promoted" : "");
    return out.str();
}

void ToGame(const engine::Position& pos) {
    ResetMatchRules();
    for (int slot = 0; slot < PIECE_SLOT_COUNT; ++slot) {
        const engine::Piece& p = pos.slots[slot];
        PieceTable[slot] = {p.x, p.y, p.value, p.kind};
    }
    SideToMove = pos.side;
    TurnNumber = pos.turn;
    for (int s = 0; s < 2; ++s) SideTally[s].points = pos.points[s];
    for (int i = 0; i < DROP_COST_COUNT; ++i) DropCost[i] = pos.dropCost[i];
}

class EngineAgreement : public matchtest::MatchTest {
protected:
    // The promote and keep answers the game gives once `slot` has moved onto (x, y).
    void GameAnswers(int slot, int x, int y, std::vector<MoveKey>* out) {
        const PieceRecord saved = PieceTable[slot];
        const int taken = SidePieceAt(1 - SideToMove, x, y);
        PieceRecord takenSaved{};
        if (taken >= 0) {
            takenSaved = PieceTable[taken];
            PieceTable[taken].kind = KIND_NONE;
        }
        PieceTable[slot].x = x;
        PieceTable[slot].y = y;
        SelectedPiece = slot;
        // The match ends before the prompt; otherwise the prompt offers promote and keep, or
        // answers keep by itself.
        bool promote = false;
        if (CheckMatchEnd() == OUTCOME_PLAY_ON && PromotionOffered()) {
            MouseButtons = 0;
            promote = PromotionPrompt(BackBuffer, 224, 272, 0, 0) == PROMPT_WAITING;
        }
        if (promote) out->push_back({false, slot, x, y, true});
        out->push_back({false, slot, x, y, false});
        PieceTable[slot] = saved;
        if (taken >= 0) PieceTable[taken] = takenSaved;
    }

    void GameBoardMoves(std::vector<MoveKey>* out) {
        const int side = SideToMove;
        for (int slot = FirstSlotOf(side); slot < FirstSlotOf(side) + SIDE_SLOT_COUNT; ++slot) {
            const PieceRecord& p = PieceTable[slot];
            // Only a piece a click can pick up: the lowest slot of the side on its square.
            if (p.kind == KIND_NONE || SidePieceAt(side, p.x, p.y) != slot) continue;
            SelectedPiece = slot;
            ::GenerateMoves();
            std::vector<std::pair<int, int>> squares;
            for (const ReachEntry& e : ReachTable) {
                if (e.reachable) squares.emplace_back(e.x, e.y);
            }
            for (const auto& [x, y] : squares) GameAnswers(slot, x, y, out);
        }
        SelectedPiece = -1;
    }

    // The hand button, then the panel opened to its list of squares, then the right arrow
    // clicked until the kind stops changing.
    void GamePlacements(std::vector<MoveKey>* out) {
        const int side = SideToMove;
        HoverFlag = 0;
        MouseButtons = MOUSE_LEFT_HELD;
        const int opened = HandButtonTest(side == 0 ? 590 : 166, 90);
        MouseButtons = 0;
        HoverFlag = 0;
        if (opened != 1) return;
        ResetPlacePanel();
        PlacePanelStep = PLACE_LISTING;
        PlacePanel(0, 0);
        std::vector<std::pair<int, int>> squares;
        for (const ReachEntry& e : ReachTable) {
            if (e.reachable) squares.emplace_back(e.x, e.y);
        }
        std::vector<int> kinds = {PlaceChoice + 1};
        const TrailPoint origin = PlacePanelOrigin(side);
        for (int click = 0; click < 8; ++click) {
            MouseButtons = MOUSE_LEFT_HELD;
            MouseWasUp = MOUSE_LEFT_HELD;
            PlacePanel(origin.x + 140, origin.y + 50);
            MouseButtons = 0;
            MouseWasUp = 0xFF;
            if (PlaceChoice + 1 != kinds.back()) kinds.push_back(PlaceChoice + 1);
        }
        // With all 32 slots filled no piece ever lands (CheckFullSideCannotPlace shows it).
        bool freeSlot = false;
        for (int slot = FirstSlotOf(side); slot < FirstSlotOf(side) + SIDE_SLOT_COUNT; ++slot) {
            if (PieceTable[slot].kind == KIND_NONE) freeSlot = true;
        }
        if (!freeSlot) return;
        for (int kind : kinds) {
            for (const auto& [x, y] : squares) out->push_back({true, kind, x, y, false});
        }
    }

    // Carries a placement of `kind` on (x, y) through the panel frame by frame; answers what
    // the panel reported.
    int PlaceThroughPanel(int kind, int x, int y) {
        const int side = SideToMove;
        ResetPlacePanel();
        PlacePanelStep = PLACE_LISTING;
        PlacePanel(0, 0);
        const TrailPoint origin = PlacePanelOrigin(side);
        for (int click = 0; click < 8 && PlaceChoice + 1 < kind; ++click) {
            MouseButtons = MOUSE_LEFT_HELD;
            MouseWasUp = MOUSE_LEFT_HELD;
            PlacePanel(origin.x + 140, origin.y + 50);
            MouseButtons = 0;
            MouseWasUp = 0xFF;
        }
        CursorSquare = {x, y};
        MouseButtons = MOUSE_LEFT_HELD;
        PlacePanel(0, 0);
        MouseButtons = 0;
        CursorSquare = {-1, -1};
        int answer = PLACE_RUNNING;
        for (int frame = 0; frame < 200 && answer == PLACE_RUNNING; ++frame) {
            answer = PlacePanel(0, 0);
        }
        return answer;
    }

    // A side whose 32 slots are all filled sees the panel, but no piece lands and nothing is
    // paid: the engine lists no placement for it.
    void CheckFullSideCannotPlace(const engine::Position& pos) {
        ToGame(pos);
        const int side = SideToMove;
        const int32_t points = SideTally[side].points;
        int x = -1;
        int y = -1;
        for (int sq = 0; sq < 81 && x < 0; ++sq) {
            if (AnyPieceAt(sq % 9, sq / 9) < 0) {
                x = sq % 9;
                y = sq / 9;
            }
        }
        ASSERT_GE(x, 0);
        EXPECT_EQ(PlaceThroughPanel(1, x, y), PLACE_CANCELLED);
        EXPECT_EQ(AnyPieceAt(x, y), -1);
        EXPECT_EQ(SideTally[side].points, points);
    }

    // Places the engine's placement through the panel, frame by frame, and compares the piece
    // table and the points with the engine's position after it.
    void CheckPlacementLands(const engine::Position& pos, const engine::Move& m) {
        ToGame(pos);
        const int side = SideToMove;
        const int answer = PlaceThroughPanel(m.kind, m.toX, m.toY);
        ASSERT_EQ(answer, PLACE_DONE);
        const engine::Position after = engine::ApplyMove(pos, m);
        for (int slot = 0; slot < PIECE_SLOT_COUNT; ++slot) {
            const engine::Piece& e = after.slots[slot];
            const PieceRecord& g = PieceTable[slot];
            ASSERT_EQ(g.kind, e.kind) << "slot " << slot;
            if (g.kind == KIND_NONE) continue;
            ASSERT_EQ(g.x, e.x) << "slot " << slot;
            ASSERT_EQ(g.y, e.y) << "slot " << slot;
            ASSERT_EQ(g.value, e.value) << "slot " << slot;
        }
        EXPECT_EQ(SideTally[side].points, after.points[side]);
    }
};

int PositionCount() {
    const char* text = std::getenv("KELMORAV_AGREEMENT_POSITIONS");
    const int n = text != nullptr ? std::atoi(text) : 0;
    return n > 0 ? n : 100000;
}

TEST_F(EngineAgreement, EveryPositionOfRandomPlayListsTheGamesMovesExactly) {
    const int total = PositionCount();
    int checked = 0;
    int differences = 0;
    int placements = 0;
    int promotions = 0;
    int landed = 0;
    int fullSides = 0;
    std::string firstDifference;
    static engine::Move moves[engine::MAX_MOVES];
    // A side with all 32 slots filled and points to spend, built: random play reaches one only
    // now and then, and not within the sanitizer build's shorter run. Neither the engine nor the
    // panel may place a piece for it.
    {
        engine::Position full = enginetest::StandardOpening(0);
        for (int slot = 20; slot < 32; ++slot) {
            const int sq = 27 + slot - 20;      // rows 3 and 4 are empty at the opening
            full.slots[slot] = full.slots[11];  // a pawn of the opening
            full.slots[slot].x = static_cast<int8_t>(sq % 9);
            full.slots[slot].y = static_cast<int8_t>(sq / 9);
        }
        full.points[0] = 10;
        const int n = engine::GenerateMoves(full, moves, engine::MAX_MOVES);
        ASSERT_GT(n, 0);
        for (int i = 0; i < n; ++i) EXPECT_FALSE(moves[i].place) << "a placement offered";
        CheckFullSideCannotPlace(full);
        if (HasFatalFailure()) return;
    }
    for (uint64_t seed = 1; checked < total; ++seed) {
        Rng rng(seed);
        engine::Position pos = enginetest::StandardOpening(static_cast<uint8_t>(seed % 2));
        // Some matches start with points in hand, so placements come early and often.
        if (seed % 3 == 0) {
            pos.points[0] = rng.Below(12);
            pos.points[1] = rng.Below(12);
        }
        for (int ply = 0; ply < 400 && checked < total && engine::Winner(pos) < 0; ++ply) {
            const int n = engine::GenerateMoves(pos, moves, engine::MAX_MOVES);
            std::vector<MoveKey> mine;
            for (int i = 0; i < n; ++i) mine.push_back(KeyOf(moves[i]));
            ToGame(pos);
            std::vector<MoveKey> game;
            GameBoardMoves(&game);
            GamePlacements(&game);
            std::sort(mine.begin(), mine.end());
            std::sort(game.begin(), game.end());
            ++checked;
            if (mine != game) {
                ++differences;
                if (firstDifference.empty()) {
                    std::vector<MoveKey> only;
                    std::set_symmetric_difference(mine.begin(), mine.end(), game.begin(),
                                                  game.end(), std::back_inserter(only));
                    firstDifference = "seed " + std::to_string(seed) + " ply " +
                                      std::to_string(ply) + ": " + Describe(only.front());
                }
            }
            for (const MoveKey& k : mine) {
                if (std::get<4>(k)) ++promotions;
                if (std::get<0>(k)) ++placements;
            }
            const bool full =
                std::count_if(pos.slots + 32 * pos.side, pos.slots + 32 * pos.side + 32,
                              [](const engine::Piece& p) { return p.kind != 0; }) == 32;
            if (full && pos.points[pos.side] > 0 && fullSides++ % 50 == 0) {
                CheckFullSideCannotPlace(pos);
            }
            engine::Move m;
            if (!enginetest::RandomMove(pos, &rng, &m)) break;
            if (m.place && checked % 97 == 0) {
                CheckPlacementLands(pos, m);
                ++landed;
                if (HasFatalFailure()) return;
            }
            pos = engine::ApplyMove(pos, m);
        }
    }
    EXPECT_EQ(differences, 0) << "first: " << firstDifference;
    EXPECT_EQ(checked, total);
    // The positions must have exercised what the comparison is about.
    EXPECT_GT(placements, total);
    EXPECT_GT(promotions, total / 10);
    EXPECT_GT(landed, 10);
    // The full run (100,000 positions) meets full sides in random play as well.
    if (total >= 100000) {
        EXPECT_GT(fullSides, 0);
    }
    std::printf(
        "engine agreement: %d positions, %d differences, %d placements, %d promotion "
        "choices, %d placements landed through the panel, %d full sides\n",
        checked, differences, placements, promotions, landed, fullSides);
}

}  // namespace
