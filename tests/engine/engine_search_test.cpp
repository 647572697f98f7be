// The engine's own bookkeeping: leaf counts of its move tree from fixed positions (a change in
// make/unmake or the generator shows here), the incremental key against a fresh one, and the
// same move from the same position, level and seed.
#include <gtest/gtest.h>

#include <cstring>

#include "engine/engine.h"
#include "engine/engine_test_support.h"
#include "engine/position.h"

namespace {

using enginetest::RandomPlay;
using enginetest::StandardOpening;

engine::Position WithPoints(engine::Position pos, int side0, int side1) {
    pos.points[0] = side0;
    pos.points[1] = side1;
    return pos;
}

struct PerftCase {
    const char* name;
    engine::Position (*position)();
    int depth;
    uint64_t leaves;
};

// Positions after random play (the support header's fixed generator) are taken where points
// are in hand, so the counts include placements of several kinds and promotion choices.
const PerftCase PERFT_CASES[] = {
    {"Opening", [] { return StandardOpening(); }, 4, 720850},
    {"OpeningWithPoints", [] { return WithPoints(StandardOpening(), 3, 2); }, 3, 1445904},
    {"Seed6After52", [] { return RandomPlay(6, 52); }, 3, 249716},
    {"Seed10After30", [] { return RandomPlay(10, 30); }, 3, 113721},
    {"Seed12After44", [] { return RandomPlay(12, 44); }, 3, 307369},
    {"Seed14After58", [] { return RandomPlay(14, 58); }, 3, 770095},
    {"Seed20After50PointsOnTheirWay", [] { return RandomPlay(20, 50); }, 3, 4133942},
    {"Seed21After57", [] { return RandomPlay(21, 57); }, 3, 166826},
    {"Seed27After49", [] { return RandomPlay(27, 49); }, 3, 301739},
    {"Seed34After48", [] { return RandomPlay(34, 48); }, 3, 300151},
};

class EnginePerft : public ::testing::TestWithParam<PerftCase> {};

TEST_P(EnginePerft, LeafCount) {
    const PerftCase& c = GetParam();
    engine::Board board;
    board.Load(c.position());
    const uint64_t key = board.key;
    EXPECT_EQ(engine::Perft(&board, c.depth), c.leaves);
    EXPECT_EQ(board.key, key);
}

INSTANTIATE_TEST_SUITE_P(Table, EnginePerft, ::testing::ValuesIn(PERFT_CASES),
                         [](const auto& info) { return std::string(info.param.name); });

// Every legal move of positions along random matches: the key after Make equals one computed
// afresh, and Unmake gives back the same position and key.
TEST(EngineKey, MakeAndUnmakeKeepTheKeyOfAFreshPosition) {
    int checked = 0;
    for (uint64_t seed = 100; seed < 110; ++seed) {
        enginetest::Rng rng(seed);
        engine::Position pos = WithPoints(StandardOpening(), 4, 4);
        for (int ply = 0; ply < 80 && engine::Winner(pos) < 0; ++ply) {
            engine::Board board;
            board.Load(pos);
            const engine::Position before = board.Save();
            engine::PackedMove moves[engine::MAX_MOVES];
            const int n = board.Generate(moves, false);
            for (int i = 0; i < n; ++i) {
                engine::Undo u;
                board.Make(moves[i], &u);
                ASSERT_EQ(board.key, board.ComputeKey()) << "seed " << seed << " ply " << ply;
                engine::Board fresh;
                fresh.Load(board.Save());
                ASSERT_EQ(board.key, fresh.key) << "seed " << seed << " ply " << ply;
                board.Unmake(moves[i], u);
                const engine::Position after = board.Save();
                ASSERT_EQ(std::memcmp(&before, &after, sizeof before), 0)
                    << "seed " << seed << " ply " << ply << " move " << i;
                ASSERT_EQ(board.key, board.ComputeKey());
                ++checked;
            }
            engine::Move m;
            if (!enginetest::RandomMove(pos, &rng, &m)) break;
            pos = engine::ApplyMove(pos, m);
        }
    }
    EXPECT_GT(checked, 10000);
}

// Points as the game pays them: a capture pays one point a mote, no more than the motes free
// (ten less those still flying), and the points land during the opponent's turn, so they can
// be spent from the capturer's next turn on, never in the turn they were won.
TEST(EnginePoints, ACapturePaysAsManyPointsAsMotesAreFreeAndOnlyFromTheNextTurn) {
    engine::Position pos{};
    const int8_t costs[8] = {1, 2, 3, 4, 5, 6, 6, 0};
    std::memcpy(pos.dropCost, costs, sizeof costs);
    pos.slots[0] = {0, 0, 10, 8};
    pos.slots[1] = {4, 4, 6, 6};
    pos.slots[32] = {8, 8, 10, 8};
    pos.slots[33] = {4, 6, 4, 4};
    pos.pending[1] = 8;  // side 1's motes from its last capture are still flying
    engine::Move take{};
    take.slot = 1;
    take.toX = 4;
    take.toY = 6;
    take.promote = true;
    const engine::Position after = engine::ApplyMove(pos, take);
    EXPECT_EQ(after.pending[0], 2);
    EXPECT_EQ(after.points[0], 0);
    EXPECT_EQ(after.points[1], 8);
    EXPECT_EQ(after.pending[1], 0);
    EXPECT_EQ(after.slots[33].kind, 0);
    EXPECT_EQ(after.slots[1].kind, 6 | 0x80);

    engine::Move king{};
    king.slot = 32;
    king.toX = 8;
    king.toY = 7;
    const engine::Position next = engine::ApplyMove(after, king);
    EXPECT_EQ(next.points[0], 2);
    EXPECT_EQ(next.pending[0], 0);
    engine::Move moves[engine::MAX_MOVES];
    const int n = engine::GenerateMoves(next, moves, engine::MAX_MOVES);
    int placements = 0;
    for (int i = 0; i < n; ++i) placements += moves[i].place ? 1 : 0;
    EXPECT_EQ(placements, 2 * (81 - 3));  // pawn or lance on each square but the three held
}

bool SameMove(const engine::Move& a, const engine::Move& b) {
    return a.place == b.place && a.slot == b.slot && a.kind == b.kind && a.toX == b.toX &&
           a.toY == b.toY && a.promote == b.promote;
}

// The same position, level and seed give the same move and the same count of positions
// searched, also after other searches have run in between.
TEST(EngineDeterminism, TheSameMoveTwice) {
    const engine::Position positions[] = {WithPoints(StandardOpening(), 3, 2), RandomPlay(12, 44),
                                          RandomPlay(20, 50)};
    for (int level : {1, 3}) {
        for (const engine::Position& pos : positions) {
            engine::SearchInfo first{};
            engine::SearchInfo second{};
            const engine::Move a = engine::ChooseMove(pos, level, 7, &first);
            engine::ChooseMove(RandomPlay(3, 31), level, 9);
            const engine::Move b = engine::ChooseMove(pos, level, 7, &second);
            EXPECT_TRUE(first.found);
            EXPECT_TRUE(SameMove(a, b)) << "level " << level;
            EXPECT_EQ(first.nodes, second.nodes) << "level " << level;
            EXPECT_EQ(first.score, second.score) << "level " << level;
        }
    }
}

}  // namespace
