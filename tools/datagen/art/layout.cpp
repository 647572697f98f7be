// SYOGI.dat: the standard opening for both sides. Side 0's back row is row 0 and it moves
// towards row 8; side 1 mirrors it by a half turn. Each king stands in its side's first slot.
#include <string>

#include "art/sheets.h"

namespace {

struct Placed {
    int x, y, kind;
};

// Worth of a piece: its placing cost, and 10 for the king.
int ValueOf(int kind) {
    static const int PIECE_VALUES[9] = {0, 1, 2, 3, 4, 5, 6, 6, 10};
    return PIECE_VALUES[kind];
}

}  // namespace

std::string OpeningLayoutText() {
    // Kinds: 1 pawn, 2 lance, 3 knight, 4 silver, 5 gold, 6 rook, 7 bishop, 8 king.
    static const int BACK_ROW[9] = {2, 3, 4, 5, 8, 5, 4, 3, 2};
    std::string out;
    for (int side = 0; side < 2; ++side) {
        auto row = [side](int r) { return side == 0 ? r : 8 - r; };
        auto col = [side](int c) { return side == 0 ? c : 8 - c; };
        Placed pieces[20];
        int n = 0;
        pieces[n++] = {col(4), row(0), 8};  // the king first: its capture ends the match
        for (int x = 0; x < 9; ++x)
            if (x != 4) pieces[n++] = {col(x), row(0), BACK_ROW[x]};
        pieces[n++] = {col(1), row(1), 6};  // rook
        pieces[n++] = {col(7), row(1), 7};  // bishop
        for (int x = 0; x < 9; ++x) pieces[n++] = {col(x), row(2), 1};
        for (const Placed& p : pieces) {
            out += std::to_string(p.x) + "," + std::to_string(p.y) + "," + std::to_string(p.kind) +
                   "," + std::to_string(ValueOf(p.kind)) + ",";
            out += "\n";
        }
    }
    return out;
}
