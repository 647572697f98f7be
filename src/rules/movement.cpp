// Move generation for the eight piece kinds.
#include "rules/movement.h"

#include "rules/board.h"

namespace {

// The selected piece as the generators see it.
struct Mover {
    int x = 0;
    int y = 0;
    int side = 0;
    int forward = 1;  // row step towards the opponent
    uint8_t kind = 0;
};

// False when there is nothing sensible to generate for: no slot selected, or a piece the layout
// put off the board (it can never be picked up, and its square must not be stepped from).
bool CurrentMover(Mover* mover) {
    if (SelectedPiece < 0 || SelectedPiece >= PIECE_SLOT_COUNT) return false;
    const PieceRecord& piece = PieceTable[SelectedPiece];
    if (!OnBoard(piece.x, piece.y)) return false;
    mover->x = piece.x;
    mover->y = piece.y;
    mover->side = SideToMove == 0 ? 0 : 1;
    mover->forward = mover->side == 0 ? 1 : -1;
    mover->kind = piece.kind;
    return true;
}

bool OwnPieceAt(const Mover& m, int x, int y) { return SidePieceAt(m.side, x, y) >= 0; }
bool EnemyPieceAt(const Mover& m, int x, int y) { return SidePieceAt(1 - m.side, x, y) >= 0; }

void WriteEntry(int entry, int x, int y) { ReachTable[entry] = {x, y, 1}; }

// A step relative to the piece: dx columns and df rows forward (negative = back).
struct Step {
    int dx;
    int df;
};

// Offset i goes to entry i; a step off the board or onto an own piece leaves it unreachable.
template <int N>
void WriteFixed(const Step (&steps)[N]) {
    Mover m;
    if (!CurrentMover(&m)) return;
    for (int i = 0; i < N; ++i) {
        const int x = m.x + steps[i].dx;
        const int y = m.y + steps[i].df * m.forward;
        if (OnBoard(x, y) && !OwnPieceAt(m, x, y)) WriteEntry(i, x, y);
    }
}

// Fills entries 0, 1, 2, ... without gaps.
class Appender {
public:
    explicit Appender(const Mover& mover) : mover_(mover) {}

    // Walks from the piece in direction (dx, dy): stops at the edge, before an own piece, or on
    // an enemy piece (which may be captured).
    void Ray(int dx, int dy) {
        for (int step = 1; step < BOARD_SIZE; ++step) {
            const int x = mover_.x + dx * step;
            const int y = mover_.y + dy * step;
            if (!OnBoard(x, y) || OwnPieceAt(mover_, x, y)) return;
            Add(x, y);
            if (EnemyPieceAt(mover_, x, y)) return;
        }
    }

    // One square in direction (dx, dy), when on the board and not held by an own piece.
    void Single(int dx, int dy) {
        const int x = mover_.x + dx;
        const int y = mover_.y + dy;
        if (OnBoard(x, y) && !OwnPieceAt(mover_, x, y)) Add(x, y);
    }

private:
    void Add(int x, int y) {
        // Never more than 20 for a lone piece, but the table bounds the count whatever happens.
        if (count_ < REACH_ENTRY_COUNT) WriteEntry(count_++, x, y);
    }

    const Mover& mover_;
    int count_ = 0;
};

// An absolute direction on the board, the same for both sides.
struct Direction {
    int dx;
    int dy;
};

// The long-range pieces: four rays, then, for a promoted piece, four single steps.
void SlideThenStep(const Direction (&rays)[4], const Direction (&promotedSteps)[4]) {
    Mover m;
    if (!CurrentMover(&m)) return;
    Appender list(m);
    for (const Direction& d : rays) list.Ray(d.dx, d.dy);
    if (m.kind & KIND_PROMOTED) {
        for (const Direction& d : promotedSteps) list.Single(d.dx, d.dy);
    }
}

}  // namespace

void GeneratePawnMoves() {
    static constexpr Step steps[1] = {{0, 1}};
    WriteFixed(steps);
}

void GenerateLanceMoves() {
    Mover m;
    if (!CurrentMover(&m)) return;
    Appender(m).Ray(0, m.forward);
}

void GenerateKnightMoves() {
    // Jumps: whatever stands in between does not matter.
    static constexpr Step steps[2] = {{-1, 2}, {1, 2}};
    WriteFixed(steps);
}

void GenerateSilverMoves() {
    static constexpr Step steps[5] = {{-1, 1}, {0, 1}, {1, 1}, {-1, -1}, {1, -1}};
    WriteFixed(steps);
}

void GenerateGoldMoves() {
    static constexpr Step steps[6] = {{-1, 1}, {0, 1}, {1, 1}, {-1, 0}, {1, 0}, {0, -1}};
    WriteFixed(steps);
}

void GenerateRookMoves() {
    // Along the row, then the column; directions are the same for both sides.
    static constexpr Direction rays[4] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    static constexpr Direction promotedSteps[4] = {{-1, 1}, {-1, -1}, {1, -1}, {1, 1}};
    SlideThenStep(rays, promotedSteps);
}

void GenerateBishopMoves() {
    static constexpr Direction rays[4] = {{1, 1}, {-1, 1}, {1, -1}, {-1, -1}};
    static constexpr Direction promotedSteps[4] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
    SlideThenStep(rays, promotedSteps);
}

void GenerateKingMoves() {
    static constexpr Step steps[8] = {{-1, 1}, {0, 1},   {1, 1},  {-1, 0},
                                      {1, 0},  {-1, -1}, {0, -1}, {1, -1}};
    WriteFixed(steps);
}

void GenerateMoves() {
    for (ReachEntry& entry : ReachTable) entry.reachable = 0;
    if (SelectedPiece < 0 || SelectedPiece >= PIECE_SLOT_COUNT) return;

    const uint8_t kind = PieceTable[SelectedPiece].kind;
    const int low = kind & KIND_MASK;
    if (kind & KIND_PROMOTED) {
        if (low == KIND_ROOK) {
            GenerateRookMoves();
        } else if (low == KIND_BISHOP) {
            GenerateBishopMoves();
        } else {
            GenerateGoldMoves();
        }
        return;
    }
    switch (low) {
    case KIND_PAWN: GeneratePawnMoves(); break;
    case KIND_LANCE: GenerateLanceMoves(); break;
    case KIND_KNIGHT: GenerateKnightMoves(); break;
    case KIND_SILVER: GenerateSilverMoves(); break;
    case KIND_GOLD: GenerateGoldMoves(); break;
    case KIND_ROOK: GenerateRookMoves(); break;
    case KIND_BISHOP: GenerateBishopMoves(); break;
    case KIND_KING: GenerateKingMoves(); break;
    default: break;  // no such kind: the piece cannot move
    }
}
