#pragma once
// Shared helpers of the match rules tests: a clean match state per test and readable views of
// the reach table.

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

#include "rules/board.h"

struct ListedSquare {
    int entry;
    int x;
    int y;
    bool operator==(const ListedSquare&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const ListedSquare& s) {
    return out << "#" << s.entry << "(" << s.x << "," << s.y << ")";
}

// The reachable entries of ReachTable in index order.
inline std::vector<ListedSquare> ReachableEntries() {
    std::vector<ListedSquare> out;
    for (int i = 0; i < REACH_ENTRY_COUNT; ++i) {
        if (ReachTable[i].reachable) out.push_back({i, ReachTable[i].x, ReachTable[i].y});
    }
    return out;
}

// Squares listed in entries 0, 1, 2, ...: the form appended generators must produce.
inline std::vector<ListedSquare> Appended(std::initializer_list<std::pair<int, int>> squares) {
    std::vector<ListedSquare> out;
    for (const auto& [x, y] : squares) out.push_back({static_cast<int>(out.size()), x, y});
    return out;
}

inline void PutPiece(int slot, int x, int y, uint8_t kind, int value = 1) {
    PieceTable[slot] = {x, y, value, kind};
}

// Every test starts from the state of a freshly loaded match with side 0 to move.
class RulesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetMatchRules();
        SideToMove = 0;
    }
    void TearDown() override {
        ResetMatchRules();
        SideToMove = 0;
    }
};
