// The engine's position: loading and saving, the move generator, make and unmake, the keys.
#include "engine/position.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace engine {

namespace {

constexpr int DIRECTION_COUNT = 8;
// Four orthogonal directions, then four diagonal ones, as (dx, dy) on the board.
constexpr int DIR_X[DIRECTION_COUNT] = {1, -1, 0, 0, 1, -1, 1, -1};
constexpr int DIR_Y[DIRECTION_COUNT] = {0, 0, 1, -1, 1, 1, -1, -1};
constexpr int MAX_STEPS = 8;

// A relative step: dx columns, df rows towards the opponent.
struct Step {
    int dx;
    int df;
};
constexpr Step PAWN_STEPS[] = {{0, 1}};
constexpr Step KNIGHT_STEPS[] = {{-1, 2}, {1, 2}};
constexpr Step SILVER_STEPS[] = {{-1, 1}, {0, 1}, {1, 1}, {-1, -1}, {1, -1}};
constexpr Step GOLD_STEPS[] = {{-1, 1}, {0, 1}, {1, 1}, {-1, 0}, {1, 0}, {0, -1}};
constexpr Step KING_STEPS[] = {{-1, 1}, {0, 1},   {1, 1},  {-1, 0},
                               {1, 0},  {-1, -1}, {0, -1}, {1, -1}};

struct SquareList {
    int8_t count;
    int8_t squares[MAX_STEPS];
};

uint64_t SplitMix(uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

// Every constant table of the engine, built once and read-only afterwards.
struct Tables {
    SquareList steps[2][CLASS_COUNT][SQUARE_COUNT];  // the fixed steps of each class and side
    SquareList rays[SQUARE_COUNT][DIRECTION_COUNT];  // squares outwards to the edge
    MoveClass classes[256];
    uint64_t slotSquare[SLOT_COUNT][SQUARE_COUNT];
    uint64_t slotKind[SLOT_COUNT][256];
    uint64_t side;

    Tables() {
        for (int k = 0; k < 256; ++k) classes[k] = Classify(static_cast<uint8_t>(k));
        for (int side = 0; side < 2; ++side) {
            for (int sq = 0; sq < SQUARE_COUNT; ++sq) {
                Fill(&steps[side][CLASS_PAWN][sq], side, sq, PAWN_STEPS);
                Fill(&steps[side][CLASS_KNIGHT][sq], side, sq, KNIGHT_STEPS);
                Fill(&steps[side][CLASS_SILVER][sq], side, sq, SILVER_STEPS);
                Fill(&steps[side][CLASS_GOLD][sq], side, sq, GOLD_STEPS);
                Fill(&steps[side][CLASS_TOKIN][sq], side, sq, GOLD_STEPS);
                Fill(&steps[side][CLASS_KING][sq], side, sq, KING_STEPS);
            }
        }
        for (int sq = 0; sq < SQUARE_COUNT; ++sq) {
            for (int d = 0; d < DIRECTION_COUNT; ++d) {
                SquareList& r = rays[sq][d];
                r.count = 0;
                int x = FileOf(sq) + DIR_X[d];
                int y = RowOf(sq) + DIR_Y[d];
                while (x >= 0 && x < 9 && y >= 0 && y < 9) {
                    r.squares[r.count++] = static_cast<int8_t>(SquareOf(x, y));
                    x += DIR_X[d];
                    y += DIR_Y[d];
                }
            }
        }
        uint64_t seed = 0x4B454C4D4F524156ull;
        for (auto& row : slotSquare) {
            for (uint64_t& k : row) k = SplitMix(seed++);
        }
        for (auto& row : slotKind) {
            row[0] = 0;  // an empty slot adds nothing
            for (int k = 1; k < 256; ++k) row[k] = SplitMix(seed++);
        }
        side = SplitMix(seed++);
    }

    static MoveClass Classify(uint8_t kind) {
        const int low = kind & KIND_BITS;
        if (kind & PROMOTED_BIT) {
            if (low == 6) return CLASS_DRAGON;
            if (low == 7) return CLASS_HORSE;
            return CLASS_TOKIN;
        }
        if (low >= 1 && low <= 8) return static_cast<MoveClass>(low);
        return CLASS_NONE;
    }

    template <int N>
    static void Fill(SquareList* list, int side, int sq, const Step (&s)[N]) {
        const int forward = side == 0 ? 1 : -1;
        list->count = 0;
        for (const Step& step : s) {
            const int x = FileOf(sq) + step.dx;
            const int y = RowOf(sq) + step.df * forward;
            if (x >= 0 && x < 9 && y >= 0 && y < 9) {
                list->squares[list->count++] = static_cast<int8_t>(SquareOf(x, y));
            }
        }
    }
};

const Tables& T() {
    static const Tables tables;
    return tables;
}

bool OnBoard(int x, int y) { return x >= 0 && x < 9 && y >= 0 && y < 9; }

// The kinds the placing panel lets the side choose: the first always, the next ones while each
// costs something and no more than the side has (the arrows show from two points up).
int PlaceableKinds(const Board& b, int side) {
    const int points = b.points[side];
    if (points == 0 || b.live[side] == 0xFFFFFFFFu) return 0;
    int kinds = 1;
    if (points > 1) {
        while (kinds < 7 && b.dropCost[kinds] != 0 && b.dropCost[kinds] <= points) ++kinds;
    }
    return kinds;
}

}  // namespace

MoveClass ClassOf(uint8_t kind) { return T().classes[kind]; }

uint64_t SlotSquareKey(int slot, int sq) { return sq < 0 ? 0 : T().slotSquare[slot][sq]; }
uint64_t SlotKindKey(int slot, uint8_t kind) { return T().slotKind[slot][kind]; }
uint64_t SideKey() { return T().side; }
uint64_t PointsKey(int side, int32_t points) {
    return points == 0 ? 0
                       : SplitMix(0x5000000000ull + static_cast<uint32_t>(points) * 2ull + side);
}
uint64_t PendingKey(int side, int32_t pending) {
    return pending == 0 ? 0
                        : SplitMix(0x7000000000ull + static_cast<uint32_t>(pending) * 2ull + side);
}

void Board::Load(const Position& pos) {
    std::memset(at, 0, sizeof at);
    live[0] = live[1] = 0;
    for (int slot = 0; slot < SLOT_COUNT; ++slot) {
        const Piece& p = pos.slots[slot];
        kind[slot] = p.kind;
        cls[slot] = T().classes[p.kind];
        value[slot] = p.value;
        square[slot] = NO_SQUARE;
        if (p.kind == 0) continue;
        live[slot / SIDE_SLOTS] |= 1u << (slot % SIDE_SLOTS);
        // A piece off the board, or under a lower slot on the same square, can never be picked
        // up or captured: it keeps its slot but stands nowhere.
        if (!OnBoard(p.x, p.y)) continue;
        const int sq = SquareOf(p.x, p.y);
        if (at[sq] != 0) continue;
        at[sq] = static_cast<uint8_t>(slot + 1);
        square[slot] = static_cast<int8_t>(sq);
    }
    side = pos.side == 0 ? 0 : 1;
    for (int s = 0; s < 2; ++s) {
        points[s] = pos.points[s];
        pending[s] = pos.pending[s];
    }
    turn = pos.turn;
    std::memcpy(dropCost, pos.dropCost, sizeof dropCost);
    winner = static_cast<int8_t>(kind[FirstSlot(side)] == 0 ? 1 - side : -1);
    key = ComputeKey();
    material[0] = material[1] = 0;
    for (int slot = 0; slot < SLOT_COUNT; ++slot) {
        if (square[slot] >= 0) {
            material[slot / SIDE_SLOTS] +=
                MaterialOf(static_cast<MoveClass>(cls[slot]), slot / SIDE_SLOTS, square[slot]);
        }
    }
}

Position Board::Save() const {
    Position pos{};
    for (int slot = 0; slot < SLOT_COUNT; ++slot) {
        Piece& p = pos.slots[slot];
        p.kind = kind[slot];
        p.value = value[slot];
        if (square[slot] >= 0) {
            p.x = static_cast<int8_t>(FileOf(square[slot]));
            p.y = static_cast<int8_t>(RowOf(square[slot]));
        } else {
            p.x = p.y = -1;
        }
    }
    pos.side = side;
    for (int s = 0; s < 2; ++s) {
        pos.points[s] = points[s];
        pos.pending[s] = pending[s];
    }
    pos.turn = turn;
    std::memcpy(pos.dropCost, dropCost, sizeof dropCost);
    return pos;
}

uint64_t Board::ComputeKey() const {
    uint64_t k = side == 1 ? SideKey() : 0;
    for (int slot = 0; slot < SLOT_COUNT; ++slot) {
        if (kind[slot] == 0) continue;
        k ^= SlotKindKey(slot, kind[slot]) ^ SlotSquareKey(slot, square[slot]);
    }
    for (int s = 0; s < 2; ++s) k ^= PointsKey(s, points[s]) ^ PendingKey(s, pending[s]);
    return k;
}

int Board::Generate(PackedMove* out, bool capturesOnly) const {
    const int n = GenerateBoardMoves(out, capturesOnly);
    return capturesOnly ? n : n + GeneratePlacements(out + n);
}

int Board::PlaceableKindCount() const { return PlaceableKinds(*this, side); }

int Board::GeneratePlacements(PackedMove* out) const {
    const int kinds = PlaceableKinds(*this, side);
    if (kinds == 0) return 0;
    int n = 0;
    for (int sq = 0; sq < SQUARE_COUNT; ++sq) {
        if (at[sq] != 0) continue;
        for (int k = 1; k <= kinds; ++k) out[n++] = PlacementMove(k, sq);
    }
    return n;
}

int Board::GenerateBoardMoves(PackedMove* out, bool capturesOnly) const {
    const Tables& t = T();
    const int s = side;
    const int enemyFirst = (1 - s) * SIDE_SLOTS;
    const bool enemyKingGone = kind[enemyFirst] == 0;
    int n = 0;
    uint32_t bits = live[s];
    while (bits != 0) {
        const int slot = s * SIDE_SLOTS + std::countr_zero(bits);
        bits &= bits - 1;
        const int from = square[slot];
        if (from < 0) continue;
        const uint8_t k = kind[slot];
        const auto cls = static_cast<MoveClass>(this->cls[slot]);
        const bool offered = (k & PROMOTED_BIT) == 0 && k != 5 && k != 8;
        auto emit = [&](int to) {
            const int target = at[to] - 1;
            if (capturesOnly && target < 0) return;
            const bool ends = enemyKingGone || target == enemyFirst;
            if (offered && InZone(s, RowOf(to)) && !ends) {
                out[n++] = BoardMove(slot, to, true);
            }
            out[n++] = BoardMove(slot, to, false);
        };
        // Walks a ray: every empty square, then an enemy piece, stopping before an own piece.
        auto ray = [&](int d) {
            const SquareList& r = t.rays[from][d];
            for (int i = 0; i < r.count; ++i) {
                const int to = r.squares[i];
                const int owner = OwnerAt(to);
                if (owner == s) return;
                emit(to);
                if (owner >= 0) return;
            }
        };
        auto single = [&](int d) {
            const SquareList& r = t.rays[from][d];
            if (r.count > 0 && OwnerAt(r.squares[0]) != s) emit(r.squares[0]);
        };
        switch (cls) {
        case CLASS_NONE: break;
        case CLASS_LANCE: ray(s == 0 ? 2 : 3); break;
        case CLASS_ROOK:
        case CLASS_DRAGON:
            for (int d = 0; d < 4; ++d) ray(d);
            if (cls == CLASS_DRAGON) {
                for (int d = 4; d < 8; ++d) single(d);
            }
            break;
        case CLASS_BISHOP:
        case CLASS_HORSE:
            for (int d = 4; d < 8; ++d) ray(d);
            if (cls == CLASS_HORSE) {
                for (int d = 0; d < 4; ++d) single(d);
            }
            break;
        default: {
            const SquareList& list = t.steps[s][cls][from];
            for (int i = 0; i < list.count; ++i) {
                if (OwnerAt(list.squares[i]) != s) emit(list.squares[i]);
            }
            break;
        }
        }
    }
    return n;
}

void Board::SaveTurn(Undo* u) const {
    u->key = key;
    u->points[0] = points[0];
    u->points[1] = points[1];
    u->pending[0] = pending[0];
    u->pending[1] = pending[1];
    u->winner = winner;
}

void Board::PassTurn() {
    const int o = 1 - side;
    side = static_cast<uint8_t>(o);
    key ^= SideKey();
    turn += 1;
    if (pending[o] != 0) {
        key ^= PointsKey(o, points[o]) ^ PendingKey(o, pending[o]);
        points[o] += pending[o];
        pending[o] = 0;
        key ^= PointsKey(o, points[o]);
    }
}

void Board::RestoreTurn(const Undo& u) {
    points[0] = u.points[0];
    points[1] = u.points[1];
    pending[0] = u.pending[0];
    pending[1] = u.pending[1];
    winner = u.winner;
    key = u.key;
}

void Board::Make(PackedMove m, Undo* u) {
    SaveTurn(u);
    u->captured = -1;
    u->material[0] = material[0];
    u->material[1] = material[1];
    const int s = side;
    const int o = 1 - s;
    const int to = ToSquare(m);
    if (IsPlacement(m)) {
        const int k = PlacedKind(m);
        const int slot = s * SIDE_SLOTS + std::countr_one(live[s]);
        u->placedSlot = static_cast<int8_t>(slot);
        u->oldValue = value[slot];
        kind[slot] = static_cast<uint8_t>(k);
        cls[slot] = static_cast<uint8_t>(k);
        square[slot] = static_cast<int8_t>(to);
        value[slot] = dropCost[k - 1];
        material[s] += MaterialOf(static_cast<MoveClass>(k), s, to);
        at[to] = static_cast<uint8_t>(slot + 1);
        live[s] |= 1u << (slot % SIDE_SLOTS);
        key ^= SlotKindKey(slot, kind[slot]) ^ SlotSquareKey(slot, to) ^ PointsKey(s, points[s]);
        points[s] -= dropCost[k - 1];
        key ^= PointsKey(s, points[s]);
    } else {
        const int slot = MoveSlot(m);
        const int from = square[slot];
        u->fromSquare = static_cast<int8_t>(from);
        u->oldKind = kind[slot];
        const int target = at[to] - 1;
        if (target >= 0) {
            u->captured = static_cast<int8_t>(target);
            u->oldValue = kind[target];  // the captured kind, restored by Unmake
            const int free = std::max(0, MOTE_COUNT - pending[0] - pending[1]);
            const int pay = std::clamp(value[target], 0, free);
            key ^= PendingKey(s, pending[s]);
            pending[s] += pay;
            key ^= PendingKey(s, pending[s]);
            key ^= SlotKindKey(target, kind[target]) ^ SlotSquareKey(target, to);
            material[o] -= MaterialOf(static_cast<MoveClass>(cls[target]), o, to);
            kind[target] = 0;
            cls[target] = CLASS_NONE;
            square[target] = NO_SQUARE;
            live[o] &= ~(1u << (target % SIDE_SLOTS));
        }
        at[from] = 0;
        at[to] = static_cast<uint8_t>(slot + 1);
        square[slot] = static_cast<int8_t>(to);
        key ^= SlotSquareKey(slot, from) ^ SlotSquareKey(slot, to);
        material[s] -= MaterialOf(static_cast<MoveClass>(cls[slot]), s, from);
        if (IsPromotion(m)) {
            key ^= SlotKindKey(slot, kind[slot]);
            kind[slot] |= PROMOTED_BIT;
            cls[slot] = T().classes[kind[slot]];
            key ^= SlotKindKey(slot, kind[slot]);
        }
        material[s] += MaterialOf(static_cast<MoveClass>(cls[slot]), s, to);
        if (kind[FirstSlot(o)] == 0) winner = static_cast<int8_t>(s);
    }
    // The turn passes; the new mover's motes have landed by now.
    PassTurn();
}

void Board::Unmake(PackedMove m, const Undo& u) {
    side = static_cast<uint8_t>(1 - side);
    turn -= 1;
    const int s = side;
    const int to = ToSquare(m);
    if (IsPlacement(m)) {
        const int slot = u.placedSlot;
        kind[slot] = 0;
        cls[slot] = CLASS_NONE;
        square[slot] = NO_SQUARE;
        value[slot] = u.oldValue;
        at[to] = 0;
        live[s] &= ~(1u << (slot % SIDE_SLOTS));
    } else {
        const int slot = MoveSlot(m);
        kind[slot] = u.oldKind;
        cls[slot] = T().classes[u.oldKind];
        square[slot] = u.fromSquare;
        at[u.fromSquare] = static_cast<uint8_t>(slot + 1);
        at[to] = 0;
        if (u.captured >= 0) {
            const int target = u.captured;
            kind[target] = static_cast<uint8_t>(u.oldValue);
            cls[target] = T().classes[kind[target]];
            square[target] = static_cast<int8_t>(to);
            at[to] = static_cast<uint8_t>(target + 1);
            live[target / SIDE_SLOTS] |= 1u << (target % SIDE_SLOTS);
        }
    }
    RestoreTurn(u);
    material[0] = u.material[0];
    material[1] = u.material[1];
}

void Board::MakeNull(Undo* u) {
    SaveTurn(u);
    PassTurn();
}

void Board::UnmakeNull(const Undo& u) {
    side = static_cast<uint8_t>(1 - side);
    turn -= 1;
    RestoreTurn(u);
}

bool Board::Attacks(int by, int sq) const {
    const Tables& t = T();
    uint32_t bits = live[by];
    while (bits != 0) {
        const int slot = by * SIDE_SLOTS + std::countr_zero(bits);
        bits &= bits - 1;
        const int from = square[slot];
        if (from < 0 || at[from] != slot + 1) continue;
        const auto cls = static_cast<MoveClass>(this->cls[slot]);
        const int dx = FileOf(sq) - FileOf(from);
        const int dy = RowOf(sq) - RowOf(from);
        auto along = [&](int d) {
            const SquareList& r = t.rays[from][d];
            for (int i = 0; i < r.count; ++i) {
                if (r.squares[i] == sq) return true;
                if (at[r.squares[i]] != 0) return false;
            }
            return false;
        };
        const bool adjacent = dx >= -1 && dx <= 1 && dy >= -1 && dy <= 1 && (dx | dy) != 0;
        switch (cls) {
        case CLASS_NONE: break;
        case CLASS_LANCE:
            if (dx == 0 && (by == 0 ? dy > 0 : dy < 0) && along(by == 0 ? 2 : 3)) return true;
            break;
        case CLASS_ROOK:
        case CLASS_DRAGON:
            if (cls == CLASS_DRAGON && adjacent) return true;
            if (dy == 0 && dx != 0 && along(dx > 0 ? 0 : 1)) return true;
            if (dx == 0 && dy != 0 && along(dy > 0 ? 2 : 3)) return true;
            break;
        case CLASS_BISHOP:
        case CLASS_HORSE:
            if (cls == CLASS_HORSE && adjacent) return true;
            if (dx == dy && dx != 0 && along(dx > 0 ? 4 : 7)) return true;
            if (dx == -dy && dx != 0 && along(dx > 0 ? 6 : 5)) return true;
            break;
        default: {
            const SquareList& list = t.steps[by][cls][from];
            for (int i = 0; i < list.count; ++i) {
                if (list.squares[i] == sq) return true;
            }
            break;
        }
        }
    }
    return false;
}

uint64_t Perft(Board* board, int depth) {
    if (depth == 0) return 1;
    if (board->winner >= 0) return 0;
    PackedMove moves[MAX_MOVES];
    const int n = board->Generate(moves, false);
    uint64_t total = 0;
    for (int i = 0; i < n; ++i) {
        Undo u;
        board->Make(moves[i], &u);
        total += Perft(board, depth - 1);
        board->Unmake(moves[i], u);
    }
    return total;
}

Move Unpack(const Board& board, PackedMove m) {
    Move out{};
    const int to = ToSquare(m);
    out.toX = static_cast<int8_t>(FileOf(to));
    out.toY = static_cast<int8_t>(RowOf(to));
    if (IsPlacement(m)) {
        out.place = true;
        out.kind = static_cast<uint8_t>(PlacedKind(m));
    } else {
        out.slot = static_cast<uint8_t>(MoveSlot(m));
        out.kind = board.kind[out.slot];
        out.promote = IsPromotion(m);
    }
    return out;
}

PackedMove Pack(const Move& m) {
    const int to = SquareOf(m.toX, m.toY);
    return m.place ? PlacementMove(m.kind, to) : BoardMove(m.slot, to, m.promote);
}

}  // namespace engine
