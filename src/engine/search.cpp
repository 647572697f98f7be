// The search: iterative deepening alpha-beta with a transposition table, quiescence on captures,
// null moves, and moves ordered by the table's move, captures by victim worth, killers, history,
// then placements, which are searched shallower. Every limit is a count of positions searched,
// so the same position, level and seed give the same move on any machine.
#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "engine/engine.h"
#include "engine/evaluate.h"
#include "engine/position.h"

namespace engine {

namespace {

constexpr int MAX_PLY = 64;
constexpr int INF = 32000;
constexpr int MATE_BOUND = MATE_SCORE - MAX_PLY;
constexpr int LAZY_MARGIN = 300;

// What each level may do: the deepest iteration, the positions it may search, the noise added
// to every evaluation, and whether it refuses root moves that leave its king to be taken.
struct LevelPlan {
    int maxDepth;
    uint64_t budget;
    int noise;
    bool guardKing;
    int tableBits;
};
constexpr LevelPlan LEVELS[LEVEL_COUNT] = {
    {1, 4000, 140, false, 14}, {2, 30000, 0, true, 16},   {64, 90000, 0, true, 18},
    {64, 250000, 0, true, 19}, {64, 700000, 0, true, 20},
};

enum Bound : uint8_t { BOUND_NONE, BOUND_UPPER, BOUND_LOWER, BOUND_EXACT };

struct TableEntry {
    uint64_t key;
    PackedMove move;
    int16_t score;
    int8_t depth;
    uint8_t bound;
};

uint64_t Mix(uint64_t x) {
    x ^= x >> 33;
    x *= 0xFF51AFD7ED558CCDull;
    x ^= x >> 33;
    x *= 0xC4CEB9FE1A85EC53ull;
    return x ^ (x >> 33);
}

int ToTable(int score, int ply) {
    if (score > MATE_BOUND) return score + ply;
    if (score < -MATE_BOUND) return score - ply;
    return score;
}
int FromTable(int score, int ply) {
    if (score > MATE_BOUND) return score - ply;
    if (score < -MATE_BOUND) return score + ply;
    return score;
}

class Searcher {
public:
    Searcher(const Position& pos, const LevelPlan& plan, uint64_t seed)
        : plan_(plan), seed_(seed), table_(size_t{1} << plan.tableBits) {
        board_.Load(pos);
        std::memset(killers_, 0xFF, sizeof killers_);
        std::memset(history_, 0, sizeof history_);
    }

    Board& board() { return board_; }
    uint64_t nodes() const { return nodes_; }

    // Iterative deepening over the given root moves; answers the move and fills score/depth.
    PackedMove Run(std::vector<PackedMove> root, int* score, int* depth) {
        PackedMove best = root.front();
        int bestScore = 0;
        *depth = 0;
        std::vector<int> rootScores(root.size(), -INF);
        for (int d = 1; d <= plan_.maxDepth; ++d) {
            int alpha = -INF;
            PackedMove iterBest = NO_MOVE;
            bool firstDone = false;
            for (size_t i = 0; i < root.size(); ++i) {
                Undo u;
                board_.Make(root[i], &u);
                int v;
                if (i == 0) {
                    v = -Search(d - 1, -INF, -alpha, 1, true);
                } else {
                    v = -Search(d - 1, -alpha - 1, -alpha, 1, true);
                    if (v > alpha && !aborted_) v = -Search(d - 1, -INF, -alpha, 1, true);
                }
                board_.Unmake(root[i], u);
                if (aborted_) break;
                rootScores[i] = v;
                if (i == 0) firstDone = true;
                if (v > alpha) {
                    alpha = v;
                    iterBest = root[i];
                }
            }
            if (firstDone && iterBest != NO_MOVE) {
                best = iterBest;
                bestScore = alpha;
            }
            if (aborted_) break;
            *depth = d;
            // The best first next time, the rest by this iteration's scores.
            std::vector<size_t> order(root.size());
            for (size_t i = 0; i < order.size(); ++i) order[i] = i;
            std::stable_sort(order.begin(), order.end(),
                             [&](size_t a, size_t b) { return rootScores[a] > rootScores[b]; });
            std::vector<PackedMove> sorted;
            std::vector<int> sortedScores;
            for (size_t i : order) {
                sorted.push_back(root[i]);
                sortedScores.push_back(rootScores[i]);
            }
            root.swap(sorted);
            rootScores.swap(sortedScores);
            if (bestScore > MATE_BOUND || bestScore < -MATE_BOUND) break;
        }
        *score = bestScore;
        return best;
    }

private:
    int Eval() { return Noisy(Evaluate(board_)); }

    int Noisy(int v) const {
        if (plan_.noise > 0) {
            const uint64_t h = Mix(board_.key ^ seed_);
            v += static_cast<int>(h % (2 * static_cast<uint64_t>(plan_.noise) + 1)) - plan_.noise;
        }
        return v;
    }

    bool CountNode() {
        if (++nodes_ > plan_.budget) aborted_ = true;
        return aborted_;
    }

    // Scores for ordering; higher first.
    int OrderScore(PackedMove m, PackedMove ttMove, int ply) const {
        if (m == ttMove) return 1 << 30;
        const int to = ToSquare(m);
        const int side = board_.side;
        if (IsPlacement(m)) {
            const int k = PlacedKind(m);
            int s = -(1 << 22) + placeHistory_[side][k][to];
            const int enemyKing = board_.KingSquare(1 - side);
            if (enemyKing >= 0) {
                const int d = std::max(std::abs(FileOf(to) - FileOf(enemyKing)),
                                       std::abs(RowOf(to) - RowOf(enemyKing)));
                if (d <= 2) s += 2000 * (3 - d);
            }
            return s;
        }
        const int slot = MoveSlot(m);
        const int victim = board_.at[to] - 1;
        if (victim >= 0) {
            const int worth = victim % SIDE_SLOTS == 0 ? 20000 : CLASS_WORTH[board_.cls[victim]];
            return (1 << 24) + worth * 16 - CLASS_WORTH[board_.cls[slot]] / 16 +
                   (IsPromotion(m) ? 8 : 0);
        }
        if (IsPromotion(m)) return 1 << 23;
        if (m == killers_[ply][0]) return (1 << 21) + 1;
        if (m == killers_[ply][1]) return 1 << 21;
        return history_[side][slot][to];
    }

    // The moves in the order they are tried: higher score first, equal scores in the
    // generator's order. Most nodes end after a move or two, so the first few of a batch are
    // picked one at a time and the rest sorted only when the loop gets that far; the order is
    // the same either way, as every key is distinct. A batch appended later (the placements)
    // follows the earlier ones, which is their place in the order too: every placement but the
    // table's move scores below every board move.
    class MoveOrder {
    public:
        MoveOrder(const Searcher& searcher, PackedMove ttMove, int ply)
            : searcher_(searcher), ttMove_(ttMove), ply_(ply) {}

        // Adds moves[0..n) in the generator's order, leaving out `skip`.
        void Append(const PackedMove* moves, int n, PackedMove skip = NO_MOVE) {
            batchStart_ = size_;
            for (int i = 0; i < n; ++i) {
                if (moves[i] == skip) continue;
                const int s = searcher_.OrderScore(moves[i], ttMove_, ply_);
                // The score's sign bit flipped orders it as an unsigned number; the complement
                // sorts it downwards; the place in the list, which follows the generator's
                // order, breaks ties and finds the move again.
                const uint32_t biased = static_cast<uint32_t>(s) ^ 0x80000000u;
                keys_[size_] =
                    (static_cast<uint64_t>(~biased) << 32) | static_cast<uint32_t>(size_);
                moves_[size_] = moves[i];
                ++size_;
            }
        }

        int size() const { return size_; }

        // The i-th move in order; asked for with i = 0, 1, 2, ... in turn.
        PackedMove At(int i) {
            if (i >= sortedEnd_) {
                if (i - batchStart_ < PICKED_ONE_BY_ONE) {
                    int least = i;
                    for (int j = i + 1; j < size_; ++j) {
                        if (keys_[j] < keys_[least]) least = j;
                    }
                    std::swap(keys_[i], keys_[least]);
                } else {
                    std::sort(keys_ + i, keys_ + size_);
                    sortedEnd_ = size_;
                }
            }
            return moves_[keys_[i] & 0xFFFFFFFFu];
        }

    private:
        static constexpr int PICKED_ONE_BY_ONE = 4;
        const Searcher& searcher_;
        PackedMove ttMove_;
        int ply_;
        int size_ = 0;
        int batchStart_ = 0;
        int sortedEnd_ = 0;
        uint64_t keys_[MAX_MOVES];
        PackedMove moves_[MAX_MOVES];
    };

    int Quiesce(int alpha, int beta, int ply) {
        if (board_.winner >= 0) return -(MATE_SCORE - ply);
        if (CountNode()) return 0;
        // Far above beta on material alone, the finer terms cannot bring it back.
        const int rough = Noisy(MaterialBalance(board_));
        if (rough - LAZY_MARGIN >= beta) return rough;
        const int stand = Eval();
        if (stand >= beta || ply >= MAX_PLY - 1) return stand;
        alpha = std::max(alpha, stand);
        PackedMove moves[MAX_MOVES];
        const int n = board_.Generate(moves, true);
        const int enemyFirst = (1 - board_.side) * SIDE_SLOTS;
        for (int i = 0; i < n; ++i) {
            if (board_.at[ToSquare(moves[i])] - 1 == enemyFirst) return MATE_SCORE - ply - 1;
        }
        MoveOrder order(*this, NO_MOVE, ply);
        order.Append(moves, n);
        PackedMove previous = NO_MOVE;
        for (int i = 0; i < n; ++i) {
            const PackedMove m = order.At(i);
            // Of promote and keep, only promote is looked at here.
            const bool keepAfterPromote =
                i > 0 && IsPromotion(previous) && (previous & ~PROMOTE_FLAG) == m;
            previous = m;
            if (keepAfterPromote) continue;
            const int victim = board_.at[ToSquare(m)] - 1;
            if (stand + CLASS_WORTH[board_.cls[victim]] +
                    POINT_WORTH * std::min(board_.value[victim], 10) + 200 <
                alpha) {
                continue;
            }
            Undo u;
            board_.Make(m, &u);
            const int v = -Quiesce(-beta, -alpha, ply + 1);
            board_.Unmake(m, u);
            if (aborted_) return 0;
            if (v > alpha) {
                alpha = v;
                if (alpha >= beta) break;
            }
        }
        return alpha;
    }

    bool HasPieces(int side) const {
        // Something besides the king that could move, so passing is no refuge.
        return std::popcount(board_.live[side]) > 3;
    }

    int Search(int depth, int alpha, int beta, int ply, bool allowNull) {
        if (board_.winner >= 0) return -(MATE_SCORE - ply);
        if (depth <= 0) return Quiesce(alpha, beta, ply);
        if (CountNode()) return 0;
        if (ply >= MAX_PLY - 1) return Eval();
        const bool pvNode = beta - alpha > 1;

        TableEntry& entry = table_[board_.key & (table_.size() - 1)];
        PackedMove ttMove = NO_MOVE;
        if (entry.key == board_.key && entry.bound != BOUND_NONE) {
            ttMove = entry.move;
            if (!pvNode && entry.depth >= depth) {
                const int v = FromTable(entry.score, ply);
                if (entry.bound == BOUND_EXACT) return v;
                if (entry.bound == BOUND_LOWER && v >= beta) return v;
                if (entry.bound == BOUND_UPPER && v <= alpha) return v;
            }
        }

        const int staticEval = Eval();
        if (allowNull && !pvNode && depth >= 3 && staticEval >= beta && HasPieces(board_.side)) {
            Undo u;
            board_.MakeNull(&u);
            const int v = -Search(depth - 3, -beta, -beta + 1, ply + 1, false);
            board_.UnmakeNull(u);
            if (aborted_) return 0;
            if (v >= beta && v < MATE_BOUND) return v;
        }

        // The board moves first; the placements, scored below every board move but the
        // table's, are listed only when the loop reaches them.
        PackedMove moves[MAX_MOVES];
        const int boardMoves = board_.GenerateBoardMoves(moves, false);
        const int kinds = board_.PlaceableKindCount();
        if (boardMoves == 0 && kinds == 0) return 0;  // nothing to play: the match stalls
        const int enemyFirst = (1 - board_.side) * SIDE_SLOTS;
        for (int i = 0; i < boardMoves; ++i) {
            if (board_.at[ToSquare(moves[i])] - 1 == enemyFirst) return MATE_SCORE - ply - 1;
        }
        MoveOrder order(*this, ttMove, ply);
        // The table's move goes first; a placement from the table only if it can be made.
        const bool ttPlacement = IsPlacement(ttMove) && PlacedKind(ttMove) >= 1 &&
                                 PlacedKind(ttMove) <= kinds && board_.at[ToSquare(ttMove)] == 0;
        if (ttPlacement) order.Append(&ttMove, 1);
        order.Append(moves, boardMoves);
        bool placementsListed = kinds == 0;

        const int originalAlpha = alpha;
        int best = -INF;
        PackedMove bestMove = NO_MOVE;
        int quietTried = 0;
        int placementsTried = 0;
        for (int i = 0;; ++i) {
            if (i == order.size()) {
                if (placementsListed) break;
                placementsListed = true;
                // Every placement left is quiet: when the first would be passed over below,
                // so would all the rest.
                if (best > -MATE_BOUND &&
                    ((depth == 1 && staticEval + 150 <= alpha) || placementsTried >= 12 * depth)) {
                    break;
                }
                const int placements = board_.GeneratePlacements(moves + boardMoves);
                order.Append(moves + boardMoves, placements, ttPlacement ? ttMove : NO_MOVE);
                if (i == order.size()) break;
            }
            const PackedMove m = order.At(i);
            const bool placement = IsPlacement(m);
            const bool capture = !placement && board_.at[ToSquare(m)] != 0;
            const bool quiet = !capture && !IsPromotion(m) && m != ttMove;
            if (quiet && best > -MATE_BOUND) {
                // Frontier quiet moves that cannot lift the score to alpha are not tried, and
                // only the first few placements are looked at near the leaves.
                if (depth == 1 && staticEval + 150 <= alpha) continue;
                if (placement && placementsTried >= 12 * depth) continue;
            }
            if (placement) ++placementsTried;
            if (quiet) ++quietTried;
            int reduction = 0;
            if (quiet && depth >= 2 && i > 0) {
                if (placement) reduction = depth >= 4 ? 2 : 1;
                if (!placement && depth >= 3 && quietTried > 3) reduction = 1;
            }
            Undo u;
            board_.Make(m, &u);
            int v;
            if (i == 0) {
                v = -Search(depth - 1, -beta, -alpha, ply + 1, true);
            } else {
                v = -Search(depth - 1 - reduction, -alpha - 1, -alpha, ply + 1, true);
                if (v > alpha && reduction > 0 && !aborted_) {
                    v = -Search(depth - 1, -alpha - 1, -alpha, ply + 1, true);
                }
                if (v > alpha && v < beta && !aborted_) {
                    v = -Search(depth - 1, -beta, -alpha, ply + 1, true);
                }
            }
            board_.Unmake(m, u);
            if (aborted_) return 0;
            if (v > best) {
                best = v;
                bestMove = m;
            }
            if (v > alpha) {
                alpha = v;
                if (alpha >= beta) {
                    if (quiet) Reward(m, depth, ply);
                    break;
                }
            }
        }
        if (bestMove == NO_MOVE) return staticEval;  // every move pruned: the position stands

        entry.key = board_.key;
        entry.move = bestMove;
        entry.score = static_cast<int16_t>(ToTable(best, ply));
        entry.depth = static_cast<int8_t>(depth);
        entry.bound =
            best >= beta ? BOUND_LOWER : (best > originalAlpha ? BOUND_EXACT : BOUND_UPPER);
        return best;
    }

    void Reward(PackedMove m, int depth, int ply) {
        const int side = board_.side;
        const int bonus = depth * depth;
        if (IsPlacement(m)) {
            int& h = placeHistory_[side][PlacedKind(m)][ToSquare(m)];
            h = std::min(h + bonus, 1 << 18);
            return;
        }
        if (killers_[ply][0] != m) {
            killers_[ply][1] = killers_[ply][0];
            killers_[ply][0] = m;
        }
        int& h = history_[side][MoveSlot(m)][ToSquare(m)];
        h = std::min(h + bonus, 1 << 20);
    }

    Board board_{};
    LevelPlan plan_;
    uint64_t seed_;
    std::vector<TableEntry> table_;
    uint64_t nodes_ = 0;
    bool aborted_ = false;
    PackedMove killers_[MAX_PLY][2];
    int history_[2][SLOT_COUNT][SQUARE_COUNT];
    int placeHistory_[2][8][SQUARE_COUNT] = {};
};

}  // namespace

Move ChooseMove(const Position& pos, int level, uint64_t seed, SearchInfo* info) {
    const LevelPlan& plan = LEVELS[std::clamp(level, 1, LEVEL_COUNT) - 1];
    SearchInfo result{false, 0, 0, 0};
    Board board;
    board.Load(pos);
    PackedMove moves[MAX_MOVES];
    const int n = board.Generate(moves, false);
    Move chosen{};
    if (n == 0) {
        if (info != nullptr) *info = result;
        return chosen;
    }
    result.found = true;
    // The enemy king is taken whenever it can be.
    const int enemyFirst = (1 - board.side) * SIDE_SLOTS;
    for (int i = 0; i < n; ++i) {
        if (!IsPlacement(moves[i]) && board.at[ToSquare(moves[i])] - 1 == enemyFirst) {
            result.score = MATE_SCORE - 1;
            if (info != nullptr) *info = result;
            return Unpack(board, moves[i]);
        }
    }
    // Moves that leave the own king to be taken next are dropped while another move avoids it.
    std::vector<PackedMove> root;
    std::vector<PackedMove> unsafe;
    const int own = board.side;
    for (int i = 0; i < n; ++i) {
        Undo u;
        board.Make(moves[i], &u);
        const int king = board.KingSquare(own);
        const bool hanging = king >= 0 && board.Attacks(1 - own, king);
        board.Unmake(moves[i], u);
        (hanging && plan.guardKing ? unsafe : root).push_back(moves[i]);
    }
    if (root.empty()) root.swap(unsafe);

    auto searcher = std::make_unique<Searcher>(pos, plan, seed);
    int score = 0;
    int depth = 0;
    const PackedMove best = searcher->Run(root, &score, &depth);
    result.score = score;
    result.depth = depth;
    result.nodes = searcher->nodes();
    if (info != nullptr) *info = result;
    return Unpack(board, best);
}

}  // namespace engine
