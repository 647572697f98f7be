#pragma once
// The engine's working position: the 64 slots with a square-to-slot map beside them, the side to
// move, the points and the points still flying, and a Zobrist key kept up to date by Make and
// Unmake. Moves are packed into 32 bits so the move lists and the transposition table stay small.

#include <cstdint>

#include "engine/engine.h"

namespace engine {

constexpr int SQUARE_COUNT = 81;
constexpr int8_t NO_SQUARE = -1;
constexpr int SLOT_COUNT = 64;
constexpr int SIDE_SLOTS = 32;
constexpr int MOTE_COUNT = 10;  // point motes that can fly at once

constexpr uint8_t PROMOTED_BIT = 0x80;
constexpr uint8_t KIND_BITS = 0x1F;

// How a kind byte moves: the classes of the game's move generators.
enum MoveClass : uint8_t {
    CLASS_NONE,
    CLASS_PAWN,
    CLASS_LANCE,
    CLASS_KNIGHT,
    CLASS_SILVER,
    CLASS_GOLD,
    CLASS_ROOK,
    CLASS_BISHOP,
    CLASS_KING,
    CLASS_DRAGON,  // promoted rook: rook rays and the diagonal steps
    CLASS_HORSE,   // promoted bishop: bishop rays and the orthogonal steps
    CLASS_TOKIN,   // any other promoted kind: moves as gold
    CLASS_COUNT
};

MoveClass ClassOf(uint8_t kind);

// The worth of a piece of each move class on the board, in centipawns. The king's is nothing:
// its loss ends the match, which the search sees.
constexpr int CLASS_WORTH[CLASS_COUNT] = {0, 100, 260, 300, 430, 500, 800, 740, 0, 1020, 940, 520};
// Each row a pawn, lance, knight or silver has come from its side's back row.
constexpr int ADVANCE_WORTH = 6;

// What a piece adds to its side's material where it stands.
constexpr int MaterialOf(MoveClass cls, int side, int sq) {
    const int advanced = side == 0 ? sq / 9 : 8 - sq / 9;
    return CLASS_WORTH[cls] +
           (cls >= CLASS_PAWN && cls <= CLASS_SILVER ? ADVANCE_WORTH * advanced : 0);
}

// A packed move: bits 0..6 the destination square, 7..12 the slot (board move) or the kind
// (placement), bit 13 a placement, bit 14 promote.
using PackedMove = uint32_t;
constexpr PackedMove NO_MOVE = 0xFFFFFFFFu;
constexpr PackedMove PLACE_FLAG = 1u << 13;
constexpr PackedMove PROMOTE_FLAG = 1u << 14;

constexpr int ToSquare(PackedMove m) { return static_cast<int>(m & 127u); }
constexpr int MoveSlot(PackedMove m) { return static_cast<int>((m >> 7) & 63u); }
constexpr int PlacedKind(PackedMove m) { return static_cast<int>((m >> 7) & 63u); }
constexpr bool IsPlacement(PackedMove m) { return (m & PLACE_FLAG) != 0; }
constexpr bool IsPromotion(PackedMove m) { return (m & PROMOTE_FLAG) != 0; }
constexpr PackedMove BoardMove(int slot, int to, bool promote) {
    return static_cast<PackedMove>(to) | (static_cast<PackedMove>(slot) << 7) |
           (promote ? PROMOTE_FLAG : 0u);
}
constexpr PackedMove PlacementMove(int kind, int to) {
    return static_cast<PackedMove>(to) | (static_cast<PackedMove>(kind) << 7) | PLACE_FLAG;
}

// A side's first slot: losing the piece in it loses the match.
constexpr int FirstSlot(int side) { return side * SIDE_SLOTS; }

constexpr int SquareOf(int x, int y) { return y * 9 + x; }
constexpr int FileOf(int sq) { return sq % 9; }
constexpr int RowOf(int sq) { return sq / 9; }
constexpr bool InZone(int side, int row) { return side == 0 ? row > 5 : row < 3; }

// What Make changed, for Unmake.
struct Undo {
    uint64_t key;
    int32_t points[2];
    int32_t pending[2];
    int32_t oldValue;   // placement: the value the slot held while empty
    int8_t fromSquare;  // board move: where the piece stood
    uint8_t oldKind;    // board move: the mover's kind before promotion
    int8_t captured;    // the slot captured, -1 for none
    int8_t placedSlot;  // placement: the slot filled
    int8_t winner;
    int32_t material[2];
};

struct Board {
    uint8_t kind[SLOT_COUNT];
    uint8_t cls[SLOT_COUNT];    // the move class of each slot's kind
    int8_t square[SLOT_COUNT];  // NO_SQUARE for an empty slot or a piece that is not on a square
    int32_t value[SLOT_COUNT];
    uint8_t at[SQUARE_COUNT];  // the slot on a square plus one, 0 for an empty square
    uint32_t live[2];          // bit i: slot side * 32 + i holds a piece
    uint8_t side;
    int8_t winner;  // the side that has won by the last board move, -1 while play goes on
    int32_t points[2];
    int32_t pending[2];
    int32_t turn;
    int8_t dropCost[8];
    uint64_t key;
    int32_t material[2];  // MaterialOf summed over each side's pieces on the board

    void Load(const Position& pos);
    Position Save() const;
    uint64_t ComputeKey() const;

    // The side to move's legal moves; with capturesOnly, only its board moves that capture.
    // Board moves come first, then the placements, which GenerateBoardMoves and
    // GeneratePlacements list apart in the same order.
    int Generate(PackedMove* out, bool capturesOnly) const;
    int GenerateBoardMoves(PackedMove* out, bool capturesOnly) const;
    int GeneratePlacements(PackedMove* out) const;
    // The kinds the side to move may place now (kinds 1..n), 0 when it may place none.
    int PlaceableKindCount() const;
    void Make(PackedMove m, Undo* u);
    void Unmake(PackedMove m, const Undo& u);
    // Passes the turn (the search's null move).
    void MakeNull(Undo* u);
    void UnmakeNull(const Undo& u);

    // The parts of a move and of a null move alike: what both keep in the undo record, the
    // turn passed to the other side (whose points in flight land then), and the restoring.
    void SaveTurn(Undo* u) const;
    void PassTurn();
    void RestoreTurn(const Undo& u);

    // True when a piece of `by` can move onto `sq`.
    bool Attacks(int by, int sq) const;
    int OwnerAt(int sq) const { return at[sq] == 0 ? -1 : (at[sq] - 1) / SIDE_SLOTS; }
    int KingSquare(int s) const { return square[FirstSlot(s)]; }
};

// Zobrist keys: slot by square, slot by kind byte, side to move, points and pending points.
uint64_t SlotSquareKey(int slot, int sq);
uint64_t SlotKindKey(int slot, uint8_t kind);
uint64_t SideKey();
uint64_t PointsKey(int side, int32_t points);
uint64_t PendingKey(int side, int32_t pending);

// Legal moves below the root: make/unmake over the whole tree, counting leaves.
uint64_t Perft(Board* board, int depth);

Move Unpack(const Board& board, PackedMove m);
PackedMove Pack(const Move& m);

}  // namespace engine
