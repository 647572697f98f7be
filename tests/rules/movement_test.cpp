// Move generation: every kind from the middle, edges and corners for both sides, the sliding
// rule, the entry positions of the fixed generators and the dispatch by kind.
#include "rules/movement.h"

#include <string>
#include <vector>

#include "rules_test_support.h"

namespace {

struct Other {
    int slot;
    int x;
    int y;
};

struct MoveCase {
    std::string name;
    int side;
    uint8_t kind;
    int x;
    int y;
    std::vector<Other> others;  // live pieces besides the mover; the slot decides their side
    std::vector<ListedSquare> expected;
};

void PrintTo(const MoveCase& c, std::ostream* out) { *out << c.name; }

class RulesMoveTest : public RulesTest, public ::testing::WithParamInterface<MoveCase> {};

TEST_P(RulesMoveTest, ListsExactlyTheseEntries) {
    const MoveCase& c = GetParam();
    SideToMove = static_cast<uint8_t>(c.side);
    const int moverSlot = FirstSlotOf(c.side) + 5;
    PutPiece(moverSlot, c.x, c.y, c.kind);
    for (const Other& o : c.others) PutPiece(o.slot, o.x, o.y, KIND_PAWN);
    SelectedPiece = moverSlot;
    // Leftovers from an earlier selection must not survive a new generation.
    for (ReachEntry& e : ReachTable) e = {0, 0, 1};

    GenerateMoves();

    EXPECT_EQ(ReachableEntries(), c.expected);
}

constexpr uint8_t P = KIND_PROMOTED;
// Slots of side 0 and side 1 used for neighbours.
constexpr int A0 = 10, B0 = 11, C0 = 12, D0 = 13;
constexpr int A1 = 40, B1 = 41, C1 = 42, D1 = 43;

const std::vector<ListedSquare> GOLD_FROM_44_SIDE0 = {{0, 3, 5}, {1, 4, 5}, {2, 5, 5},
                                                      {3, 3, 4}, {4, 5, 4}, {5, 4, 3}};
const std::vector<ListedSquare> GOLD_FROM_44_SIDE1 = {{0, 3, 3}, {1, 4, 3}, {2, 5, 3},
                                                      {3, 3, 4}, {4, 5, 4}, {5, 4, 5}};
const std::vector<ListedSquare> ROOK_FROM_44 = Appended({{5, 4},
                                                         {6, 4},
                                                         {7, 4},
                                                         {8, 4},
                                                         {3, 4},
                                                         {2, 4},
                                                         {1, 4},
                                                         {0, 4},
                                                         {4, 5},
                                                         {4, 6},
                                                         {4, 7},
                                                         {4, 8},
                                                         {4, 3},
                                                         {4, 2},
                                                         {4, 1},
                                                         {4, 0}});
const std::vector<ListedSquare> BISHOP_FROM_44 = Appended({{5, 5},
                                                           {6, 6},
                                                           {7, 7},
                                                           {8, 8},
                                                           {3, 5},
                                                           {2, 6},
                                                           {1, 7},
                                                           {0, 8},
                                                           {5, 3},
                                                           {6, 2},
                                                           {7, 1},
                                                           {8, 0},
                                                           {3, 3},
                                                           {2, 2},
                                                           {1, 1},
                                                           {0, 0}});

std::vector<ListedSquare> Plus(std::vector<ListedSquare> list,
                               std::initializer_list<std::pair<int, int>> extra) {
    for (const auto& [x, y] : extra) list.push_back({static_cast<int>(list.size()), x, y});
    return list;
}

const MoveCase MOVE_CASES[] = {
    // Pawn
    {"PawnMiddleSide0", 0, KIND_PAWN, 4, 4, {}, {{0, 4, 5}}},
    {"PawnMiddleSide1", 1, KIND_PAWN, 4, 4, {}, {{0, 4, 3}}},
    {"PawnLastRowSide0HasNoMove", 0, KIND_PAWN, 4, 8, {}, {}},
    {"PawnLastRowSide1HasNoMove", 1, KIND_PAWN, 0, 0, {}, {}},
    {"PawnCornerSide0", 0, KIND_PAWN, 0, 0, {}, {{0, 0, 1}}},
    {"PawnBlockedByOwn", 0, KIND_PAWN, 4, 4, {{A0, 4, 5}}, {}},
    {"PawnCapturesEnemy", 1, KIND_PAWN, 8, 8, {{A0, 8, 7}}, {{0, 8, 7}}},
    // Lance
    {"LanceOpenFileSide0",
     0,
     KIND_LANCE,
     2,
     0,
     {},
     Appended({{2, 1}, {2, 2}, {2, 3}, {2, 4}, {2, 5}, {2, 6}, {2, 7}, {2, 8}})},
    {"LanceStopsOnEnemySide0",
     0,
     KIND_LANCE,
     4,
     2,
     {{A1, 4, 5}, {B1, 4, 7}},
     Appended({{4, 3}, {4, 4}, {4, 5}})},
    {"LanceStopsBeforeOwnSide1", 1, KIND_LANCE, 4, 6, {{A1, 4, 3}}, Appended({{4, 5}, {4, 4}})},
    {"LanceEdgeSide1",
     1,
     KIND_LANCE,
     0,
     8,
     {},
     Appended({{0, 7}, {0, 6}, {0, 5}, {0, 4}, {0, 3}, {0, 2}, {0, 1}, {0, 0}})},
    {"LanceLastRowSide1", 1, KIND_LANCE, 8, 0, {}, {}},
    // Knight: fixed entries, jumps over pieces in between
    {"KnightEdgeSide0NoMove", 0, KIND_KNIGHT, 0, 7, {}, {}},
    {"KnightEdgeSide0OnlyEntry1", 0, KIND_KNIGHT, 0, 5, {}, {{1, 1, 7}}},
    {"KnightJumpsSide1", 1, KIND_KNIGHT, 4, 4, {{A1, 4, 3}, {B0, 4, 2}}, {{0, 3, 2}, {1, 5, 2}}},
    {"KnightOwnOnTargetSide1", 1, KIND_KNIGHT, 8, 8, {{A1, 7, 6}}, {}},
    {"KnightRightEdgeSide1", 1, KIND_KNIGHT, 8, 4, {}, {{0, 7, 2}}},
    // Silver
    {"SilverMiddleSide0",
     0,
     KIND_SILVER,
     4,
     4,
     {},
     {{0, 3, 5}, {1, 4, 5}, {2, 5, 5}, {3, 3, 3}, {4, 5, 3}}},
    {"SilverMiddleSide1",
     1,
     KIND_SILVER,
     4,
     4,
     {},
     {{0, 3, 3}, {1, 4, 3}, {2, 5, 3}, {3, 3, 5}, {4, 5, 5}}},
    {"SilverCornerSide0", 0, KIND_SILVER, 0, 0, {}, {{1, 0, 1}, {2, 1, 1}}},
    {"SilverCornerSide1", 1, KIND_SILVER, 8, 0, {}, {{3, 7, 1}}},
    {"SilverOwnAndEnemyAround",
     0,
     KIND_SILVER,
     4,
     4,
     {{A0, 4, 5}, {B1, 5, 3}},
     {{0, 3, 5}, {2, 5, 5}, {3, 3, 3}, {4, 5, 3}}},
    // Gold
    {"GoldMiddleSide0", 0, KIND_GOLD, 4, 4, {}, GOLD_FROM_44_SIDE0},
    {"GoldMiddleSide1", 1, KIND_GOLD, 4, 4, {}, GOLD_FROM_44_SIDE1},
    {"GoldCornerSide1", 1, KIND_GOLD, 8, 8, {}, {{0, 7, 7}, {1, 8, 7}, {3, 7, 8}}},
    {"GoldLeftEdgeSide0", 0, KIND_GOLD, 0, 4, {{A0, 1, 5}}, {{1, 0, 5}, {4, 1, 4}, {5, 0, 3}}},
    // King
    {"KingMiddleSide0",
     0,
     KIND_KING,
     4,
     4,
     {},
     {{0, 3, 5}, {1, 4, 5}, {2, 5, 5}, {3, 3, 4}, {4, 5, 4}, {5, 3, 3}, {6, 4, 3}, {7, 5, 3}}},
    {"KingMiddleSide1",
     1,
     KIND_KING,
     4,
     4,
     {},
     {{0, 3, 3}, {1, 4, 3}, {2, 5, 3}, {3, 3, 4}, {4, 5, 4}, {5, 3, 5}, {6, 4, 5}, {7, 5, 5}}},
    {"KingCornerSide0", 0, KIND_KING, 0, 0, {}, {{1, 0, 1}, {2, 1, 1}, {4, 1, 0}}},
    {"KingBottomEdgeSide0",
     0,
     KIND_KING,
     4,
     8,
     {{A0, 3, 7}},
     {{3, 3, 8}, {4, 5, 8}, {6, 4, 7}, {7, 5, 7}}},
    // Rook: absolute directions, so the same for both sides
    {"RookMiddleSide0", 0, KIND_ROOK, 4, 4, {}, ROOK_FROM_44},
    {"RookMiddleSide1", 1, KIND_ROOK, 4, 4, {}, ROOK_FROM_44},
    {"RookOwnBlocksEnemyStops",
     0,
     KIND_ROOK,
     4,
     4,
     {{A0, 6, 4}, {B1, 4, 6}},
     Appended(
         {{5, 4}, {3, 4}, {2, 4}, {1, 4}, {0, 4}, {4, 5}, {4, 6}, {4, 3}, {4, 2}, {4, 1}, {4, 0}})},
    {"RookCornerSide0",
     0,
     KIND_ROOK,
     8,
     8,
     {},
     Appended({{7, 8},
               {6, 8},
               {5, 8},
               {4, 8},
               {3, 8},
               {2, 8},
               {1, 8},
               {0, 8},
               {8, 7},
               {8, 6},
               {8, 5},
               {8, 4},
               {8, 3},
               {8, 2},
               {8, 1},
               {8, 0}})},
    {"PromotedRookCorner",
     1,
     P | KIND_ROOK,
     0,
     0,
     {},
     Appended({{1, 0},
               {2, 0},
               {3, 0},
               {4, 0},
               {5, 0},
               {6, 0},
               {7, 0},
               {8, 0},
               {0, 1},
               {0, 2},
               {0, 3},
               {0, 4},
               {0, 5},
               {0, 6},
               {0, 7},
               {0, 8},
               {1, 1}})},
    {"PromotedRookDiagonalsInOrder",
     0,
     P | KIND_ROOK,
     4,
     4,
     {{A0, 5, 5}},
     Plus(ROOK_FROM_44, {{3, 5}, {3, 3}, {5, 3}})},
    {"PromotedRookBoxedIn",
     1,
     P | KIND_ROOK,
     4,
     4,
     {{A1, 3, 4}, {B1, 5, 4}, {C1, 4, 3}, {D1, 4, 5}},
     Appended({{3, 5}, {3, 3}, {5, 3}, {5, 5}})},
    // Bishop
    {"BishopCentre", 1, KIND_BISHOP, 4, 4, {}, BISHOP_FROM_44},
    {"BishopEdgeSide1",
     1,
     KIND_BISHOP,
     0,
     4,
     {},
     Appended({{1, 5}, {2, 6}, {3, 7}, {4, 8}, {1, 3}, {2, 2}, {3, 1}, {4, 0}})},
    {"PromotedBishopCentreSide1",
     1,
     P | KIND_BISHOP,
     4,
     4,
     {},
     Plus(BISHOP_FROM_44, {{3, 4}, {5, 4}, {4, 3}, {4, 5}})},
    {"BishopCapturesAndStops",
     0,
     KIND_BISHOP,
     4,
     4,
     {{A1, 6, 6}, {B0, 2, 6}, {C1, 3, 3}},
     Appended({{5, 5}, {6, 6}, {3, 5}, {5, 3}, {6, 2}, {7, 1}, {8, 0}, {3, 3}})},
    {"BishopSurroundedByOwn",
     0,
     KIND_BISHOP,
     4,
     4,
     {{A0, 3, 3}, {B0, 5, 3}, {C0, 3, 5}, {D0, 5, 5}},
     {}},
    {"PromotedBishopSurroundedByOwn",
     0,
     P | KIND_BISHOP,
     4,
     4,
     {{A0, 3, 3}, {B0, 5, 3}, {C0, 3, 5}, {D0, 5, 5}},
     Appended({{3, 4}, {5, 4}, {4, 3}, {4, 5}})},
    {"PromotedBishopCorner",
     0,
     P | KIND_BISHOP,
     8,
     0,
     {},
     Appended({{7, 1}, {6, 2}, {5, 3}, {4, 4}, {3, 5}, {2, 6}, {1, 7}, {0, 8}, {7, 0}, {8, 1}})},
    // Dispatch: promoted kinds other than rook and bishop move as gold; unknown kinds do not move
    {"PromotedPawnMovesAsGold", 0, P | KIND_PAWN, 4, 4, {}, GOLD_FROM_44_SIDE0},
    {"PromotedLanceMovesAsGold", 1, P | KIND_LANCE, 4, 4, {}, GOLD_FROM_44_SIDE1},
    {"PromotedKnightMovesAsGold", 0, P | KIND_KNIGHT, 4, 4, {}, GOLD_FROM_44_SIDE0},
    {"PromotedSilverMovesAsGold", 1, P | KIND_SILVER, 4, 4, {}, GOLD_FROM_44_SIDE1},
    {"PromotedGoldFromLayout", 0, 133, 4, 4, {}, GOLD_FROM_44_SIDE0},
    {"PromotedKingMovesAsGold", 0, P | KIND_KING, 4, 4, {}, GOLD_FROM_44_SIDE0},
    {"PromotedUnknownMovesAsGold", 1, P | 0x1F, 4, 4, {}, GOLD_FROM_44_SIDE1},
    {"PromotedBareBitMovesAsGold", 0, P, 4, 4, {}, GOLD_FROM_44_SIDE0},
    {"SpareBitsKeepTheKind", 0, 0x20 | KIND_PAWN, 4, 4, {}, {{0, 4, 5}}},
    {"UnknownKind9", 0, 9, 4, 4, {}, {}},
    {"UnknownKind31", 1, 31, 4, 4, {}, {}},
    {"KindBitsWithoutAKind", 0, 0x40, 4, 4, {}, {}},
};

INSTANTIATE_TEST_SUITE_P(RulesKinds, RulesMoveTest, ::testing::ValuesIn(MOVE_CASES),
                         [](const auto& info) { return info.param.name; });

// Selections that name no usable piece must clear the table and touch nothing else.
TEST_F(RulesTest, MovesNoneForUnusableSelection) {
    struct Case {
        const char* name;
        int selected;
        int x, y;
    };
    const Case cases[] = {
        {"none selected", -1, 4, 4},
        {"past the table", PIECE_SLOT_COUNT, 4, 4},
        {"far past the table", 1 << 30, 4, 4},
        {"negative slot", -7, 4, 4},
        {"piece left of the board", 0, -1, 4},
        {"piece at the int limit", 0, INT32_MAX, 0},
        {"piece at the int minimum", 0, 0, INT32_MIN},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PutPiece(0, c.x, c.y, P | KIND_ROOK);
        SelectedPiece = c.selected;
        for (ReachEntry& e : ReachTable) e = {1, 1, 1};
        GenerateMoves();
        EXPECT_TRUE(ReachableEntries().empty());
    }
}

}  // namespace
