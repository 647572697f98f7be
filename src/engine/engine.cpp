// The engine's public calls over its working position.
#include "engine/engine.h"

#include <algorithm>
#include <iterator>

#include "engine/position.h"

namespace engine {

int GenerateMoves(const Position& pos, Move* out, int capacity) {
    Board board;
    board.Load(pos);
    PackedMove moves[MAX_MOVES];
    const int n = board.Generate(moves, false);
    const int written = std::min(n, std::max(capacity, 0));
    for (int i = 0; i < written; ++i) out[i] = Unpack(board, moves[i]);
    return n;
}

Position ApplyMove(const Position& pos, const Move& move) {
    Board board;
    board.Load(pos);
    Undo u;
    board.Make(Pack(move), &u);
    Position after = board.Save();
    // Slots the move left alone keep their squares as given, even off the board.
    for (int slot = 0; slot < SLOT_COUNT; ++slot) {
        if (after.slots[slot].kind != 0 && board.square[slot] == NO_SQUARE) {
            after.slots[slot].x = pos.slots[slot].x;
            after.slots[slot].y = pos.slots[slot].y;
        }
    }
    return after;
}

int Winner(const Position& pos) {
    const int side = pos.side == 0 ? 0 : 1;
    return pos.slots[FirstSlot(side)].kind == 0 ? 1 - side : -1;
}

Position OpeningPosition(const int (&layout)[40][4], uint8_t sideToMove) {
    Position pos{};
    for (int group = 0; group < 40; ++group) {
        const int slot = group < 20 ? group : SIDE_SLOTS + group - 20;
        Piece& p = pos.slots[slot];
        p.x = static_cast<int8_t>(std::clamp(layout[group][0], -1, 9));
        p.y = static_cast<int8_t>(std::clamp(layout[group][1], -1, 9));
        p.kind = static_cast<uint8_t>(layout[group][2]);
        p.value = layout[group][3];
    }
    const int8_t costs[8] = {1, 2, 3, 4, 5, 6, 6, 0};
    std::copy(std::begin(costs), std::end(costs), pos.dropCost);
    pos.side = sideToMove == 0 ? 0 : 1;
    pos.turn = 1;
    return pos;
}

}  // namespace engine
