// The arena: matches between the engine's levels and two baseline players from the standard
// opening, in colour-swapped pairs, to measure strength and think time. Each pair opens with a
// few random board moves drawn from its seed, then the two players alternate; a match with no
// end after 300 turns is a draw. It prints wins, draws and losses of the first player, the Elo
// difference with its 95 % interval, each engine's mean and worst think time (thread CPU time)
// and nodes a second, the king-miss count (a king that could be taken and was not) and the
// king-left-hanging count (a move after which the own king can be taken although another move
// avoided that). With --perft it measures the move generator with make/unmake first.
//
// Usage: kelmorav_arena [--a PLAYER] [--b PLAYER] [--pairs N] [--seed S] [--turns N]
//                       [--opening N] [--jobs N] [--first-pair N] [--perft] [--quiet]
// --first-pair N starts at pair N (1 = the first): a long series can be shared among machines or
// processes and the matches summed, each pair depending on its seed and number alone.
// PLAYER is 1..5 (an engine level), random or greedy.
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/position.h"

namespace {

constexpr int PLAYER_RANDOM = 0;
constexpr int PLAYER_GREEDY = -1;

double ThreadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

class Rng {
public:
    explicit Rng(uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 0x2545F4914F6CDD1Dull) {}
    uint64_t Next() {
        state_ ^= state_ >> 12;
        state_ ^= state_ << 25;
        state_ ^= state_ >> 27;
        return state_ * 0x2545F4914F6CDD1Dull;
    }
    int Below(int n) { return static_cast<int>(Next() % static_cast<uint64_t>(n)); }

private:
    uint64_t state_;
};

// The game's standard opening: kings first, the back row, rook and bishop, nine pawns; side 1
// mirrored by a half turn; values are the placing costs, 10 for the king.
engine::Position StandardOpening() {
    static const int BACK_ROW[9] = {2, 3, 4, 5, 8, 5, 4, 3, 2};
    static const int VALUES[9] = {0, 1, 2, 3, 4, 5, 6, 6, 10};
    int layout[40][4];
    int n = 0;
    for (int side = 0; side < 2; ++side) {
        auto add = [&](int x, int y, int kind) {
            layout[n][0] = side == 0 ? x : 8 - x;
            layout[n][1] = side == 0 ? y : 8 - y;
            layout[n][2] = kind;
            layout[n][3] = VALUES[kind];
            ++n;
        };
        add(4, 0, 8);
        for (int x = 0; x < 9; ++x) {
            if (x != 4) add(x, 0, BACK_ROW[x]);
        }
        add(1, 1, 6);
        add(7, 1, 7);
        for (int x = 0; x < 9; ++x) add(x, 2, 1);
    }
    return engine::OpeningPosition(layout, 0);
}

bool TakesKing(const engine::Position& pos, const engine::Move& m) {
    if (m.place) return false;
    const engine::Piece& king = pos.slots[(1 - pos.side) * 32];
    return king.kind != 0 && king.x == m.toX && king.y == m.toY;
}

// The points a move earns at once: the worth of the piece it captures.
int ImmediateWorth(const engine::Position& pos, const engine::Move& m) {
    if (m.place) return 0;
    const int first = (1 - pos.side) * 32;
    for (int slot = first; slot < first + 32; ++slot) {
        const engine::Piece& p = pos.slots[slot];
        if (p.kind != 0 && p.x == m.toX && p.y == m.toY) return p.value;
    }
    return 0;
}

// True when, after `m`, the opponent can take the mover's king.
bool LeavesKing(const engine::Position& pos, const engine::Move& m) {
    engine::Board b;
    b.Load(engine::ApplyMove(pos, m));
    const int own = pos.side;
    const int king = b.KingSquare(own);
    return king >= 0 && b.Attacks(1 - own, king);
}

struct PlayerStats {
    int player = 0;
    int moves = 0;
    double seconds = 0;
    double worst = 0;
    uint64_t nodes = 0;
    int kingMisses = 0;
    int kingLeftHanging = 0;
};

engine::Move Choose(int player, const engine::Position& pos, uint64_t seed, Rng* rng,
                    PlayerStats* stats) {
    static engine::Move moves[engine::MAX_MOVES];
    const int n = engine::GenerateMoves(pos, moves, engine::MAX_MOVES);
    if (player == PLAYER_RANDOM) return moves[rng->Below(n)];
    if (player == PLAYER_GREEDY) {
        int best = -1;
        std::vector<int> ties;
        for (int i = 0; i < n; ++i) {
            const int worth = TakesKing(pos, moves[i]) ? 1000000 : ImmediateWorth(pos, moves[i]);
            if (worth > best) {
                best = worth;
                ties.clear();
            }
            if (worth == best) ties.push_back(i);
        }
        return moves[ties[rng->Below(static_cast<int>(ties.size()))]];
    }
    engine::SearchInfo info{};
    const double start = ThreadSeconds();
    const engine::Move chosen = engine::ChooseMove(pos, player, seed, &info);
    const double spent = ThreadSeconds() - start;
    stats->moves += 1;
    stats->seconds += spent;
    stats->worst = std::max(stats->worst, spent);
    stats->nodes += info.nodes;
    // The counters: a king that could be taken, and a king left to be taken when a move
    // avoided it.
    bool kingTakeable = false;
    bool someSafe = false;
    for (int i = 0; i < n; ++i) {
        if (TakesKing(pos, moves[i])) kingTakeable = true;
    }
    if (kingTakeable && !TakesKing(pos, chosen)) stats->kingMisses += 1;
    if (!kingTakeable && LeavesKing(pos, chosen)) {
        for (int i = 0; i < n && !someSafe; ++i) someSafe = !LeavesKing(pos, moves[i]);
        if (someSafe) stats->kingLeftHanging += 1;
    }
    return chosen;
}

// How a match ended: 1 when side 0 won, -1 when side 1 won, 0 for a draw; the turns played.
// Every match is played out: the engines' scores swing too far for an early verdict (a rule that
// scored a match once both engines agreed on a lead of 1500 for three moves each gave one match
// of twelve to the side that went on to lose it).
struct MatchResult {
    int result;
    int turns;
};

MatchResult PlayMatch(const int players[2], uint64_t seed, int openingPlies, int maxTurns,
                      PlayerStats* stats[2]) {
    Rng rng(seed);
    engine::Position pos = StandardOpening();
    static engine::Move moves[engine::MAX_MOVES];
    // The opening: random board moves, the same for both matches of a pair.
    for (int i = 0; i < openingPlies; ++i) {
        const int n = engine::GenerateMoves(pos, moves, engine::MAX_MOVES);
        int boardMoves = 0;
        while (boardMoves < n && !moves[boardMoves].place) ++boardMoves;
        if (boardMoves == 0) break;
        pos = engine::ApplyMove(pos, moves[rng.Below(boardMoves)]);
    }
    Rng play(seed ^ 0xA5A5A5A5ull);
    for (int turn = openingPlies; turn < maxTurns; ++turn) {
        const int side = pos.side;
        if (engine::GenerateMoves(pos, moves, engine::MAX_MOVES) == 0) return {0, turn};
        const engine::Move m = Choose(players[side], pos, seed, &play, stats[side]);
        pos = engine::ApplyMove(pos, m);
        const int winner = engine::Winner(pos);
        if (winner >= 0) return {winner == 0 ? 1 : -1, turn + 1};
    }
    return {0, maxTurns};
}

int ParsePlayer(const char* text) {
    if (std::strcmp(text, "random") == 0) return PLAYER_RANDOM;
    if (std::strcmp(text, "greedy") == 0) return PLAYER_GREEDY;
    const int level = std::atoi(text);
    if (level >= 1 && level <= engine::LEVEL_COUNT) return level;
    std::fprintf(stderr, "kelmorav_arena: not a player: %s (1..5, random, greedy)\n", text);
    std::exit(2);
}

std::string PlayerName(int player) {
    if (player == PLAYER_RANDOM) return "random";
    if (player == PLAYER_GREEDY) return "greedy";
    return "level " + std::to_string(player);
}

double Elo(double score) {
    score = std::clamp(score, 1e-9, 1 - 1e-9);
    return -400.0 * std::log10(1.0 / score - 1.0);
}

void MeasurePerft() {
    struct Case {
        const char* name;
        int points;
        int depth;
    };
    const Case cases[] = {{"opening, depth 4", 0, 4},
                          {"opening with 3 and 2 points, depth 3", 3, 3}};
    for (const Case& c : cases) {
        engine::Position pos = StandardOpening();
        pos.points[0] = c.points;
        pos.points[1] = c.points > 0 ? c.points - 1 : 0;
        engine::Board board;
        board.Load(pos);
        const double start = ThreadSeconds();
        const uint64_t leaves = engine::Perft(&board, c.depth);
        const double spent = ThreadSeconds() - start;
        std::printf("perft %s: %llu moves made and unmade in %.3f s: %.1f million a second\n",
                    c.name, static_cast<unsigned long long>(leaves), spent, leaves / spent / 1e6);
    }
}

void PrintStats(const PlayerStats& s) {
    if (s.player <= 0) return;
    std::printf(
        "%s: %d moves, think time mean %.3f s worst %.3f s, %llu nodes, %.2f million nodes a "
        "second, king misses %d, king left hanging %d\n",
        PlayerName(s.player).c_str(), s.moves, s.moves > 0 ? s.seconds / s.moves : 0.0, s.worst,
        static_cast<unsigned long long>(s.nodes), s.seconds > 0 ? s.nodes / s.seconds / 1e6 : 0.0,
        s.kingMisses, s.kingLeftHanging);
}

// One match's record, as a worker process hands it to the parent.
struct MatchRecord {
    int pair;
    int swap;
    int forA;  // 1 a win of the first player, 0 a draw, -1 a loss
    int turns;
};

struct ArenaPlan {
    int a;
    int b;
    uint64_t seed;
    int maxTurns;
    int openingPlies;
    bool quiet;
};

// Plays both matches of `pair` and prints them as they end.
void PlayPair(const ArenaPlan& plan, int pair, PlayerStats* statsA, PlayerStats* statsB,
              std::vector<MatchRecord>* out) {
    const uint64_t matchSeed = plan.seed * 1000003ull + static_cast<uint64_t>(pair);
    for (int swap = 0; swap < 2; ++swap) {
        const int players[2] = {swap == 0 ? plan.a : plan.b, swap == 0 ? plan.b : plan.a};
        PlayerStats* stats[2] = {swap == 0 ? statsA : statsB, swap == 0 ? statsB : statsA};
        const MatchResult r =
            PlayMatch(players, matchSeed, plan.openingPlies, plan.maxTurns, stats);
        const int forA = swap == 0 ? r.result : -r.result;
        out->push_back({pair, swap, forA, r.turns});
        if (!plan.quiet) {
            std::printf("pair %d match %d: %s in %d turns\n", pair + 1, swap + 1,
                        forA > 0 ? "win" : (forA == 0 ? "draw" : "loss"), r.turns);
            std::fflush(stdout);
        }
    }
}

bool WriteAll(int fd, const void* data, size_t size) {
    const auto* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = write(fd, p, size);
        if (n <= 0) return false;
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool ReadAll(int fd, void* data, size_t size) {
    auto* p = static_cast<char*>(data);
    while (size > 0) {
        const ssize_t n = read(fd, p, size);
        if (n <= 0) return false;
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

void AddStats(PlayerStats* into, const PlayerStats& s) {
    into->moves += s.moves;
    into->seconds += s.seconds;
    into->worst = std::max(into->worst, s.worst);
    into->nodes += s.nodes;
    into->kingMisses += s.kingMisses;
    into->kingLeftHanging += s.kingLeftHanging;
}

// Plays the pairs first .. first + pairs - 1, in `jobs` worker processes when more than one:
// worker w plays the pairs first + w, first + w + jobs, ... and hands its records and counters back
// through a pipe. Each match depends on its pair's seed alone, so the results are the same for any
// number of workers; think times are each worker's own thread CPU time.
bool PlayPairs(const ArenaPlan& plan, int first, int pairs, int jobs, PlayerStats* statsA,
               PlayerStats* statsB, std::vector<MatchRecord>* records) {
    if (jobs <= 1) {
        for (int pair = first; pair < first + pairs; ++pair) {
            PlayPair(plan, pair, statsA, statsB, records);
        }
        return true;
    }
    std::vector<int> fds;
    std::vector<pid_t> pids;
    for (int w = 0; w < jobs; ++w) {
        int fd[2];
        if (pipe(fd) != 0) return false;
        std::fflush(stdout);
        const pid_t pid = fork();
        if (pid < 0) return false;
        if (pid == 0) {
            close(fd[0]);
            PlayerStats a{};
            PlayerStats b{};
            std::vector<MatchRecord> mine;
            for (int pair = first + w; pair < first + pairs; pair += jobs) {
                PlayPair(plan, pair, &a, &b, &mine);
            }
            const int count = static_cast<int>(mine.size());
            const bool ok = WriteAll(fd[1], &count, sizeof count) &&
                            WriteAll(fd[1], mine.data(), mine.size() * sizeof(MatchRecord)) &&
                            WriteAll(fd[1], &a, sizeof a) && WriteAll(fd[1], &b, sizeof b);
            std::fflush(stdout);
            _exit(ok ? 0 : 1);
        }
        close(fd[1]);
        fds.push_back(fd[0]);
        pids.push_back(pid);
    }
    bool ok = true;
    for (size_t w = 0; w < fds.size(); ++w) {
        int count = 0;
        PlayerStats a{};
        PlayerStats b{};
        std::vector<MatchRecord> theirs;
        if (ReadAll(fds[w], &count, sizeof count) && count >= 0 && count <= 2 * pairs) {
            theirs.resize(static_cast<size_t>(count));
            ok = ReadAll(fds[w], theirs.data(), theirs.size() * sizeof(MatchRecord)) &&
                 ReadAll(fds[w], &a, sizeof a) && ReadAll(fds[w], &b, sizeof b) && ok;
        } else {
            ok = false;
        }
        close(fds[w]);
        int status = 0;
        waitpid(pids[w], &status, 0);
        ok = ok && WIFEXITED(status) && WEXITSTATUS(status) == 0;
        records->insert(records->end(), theirs.begin(), theirs.end());
        a.player = statsA->player;
        b.player = statsB->player;
        AddStats(statsA, a);
        AddStats(statsB, b);
    }
    std::sort(records->begin(), records->end(), [](const MatchRecord& x, const MatchRecord& y) {
        return x.pair != y.pair ? x.pair < y.pair : x.swap < y.swap;
    });
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    ArenaPlan plan{1, PLAYER_RANDOM, 1, 300, 4, false};
    int pairs = 10;
    int first = 0;
    int jobs = 1;
    bool perft = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--a" && hasValue) {
            plan.a = ParsePlayer(argv[++i]);
        } else if (arg == "--b" && hasValue) {
            plan.b = ParsePlayer(argv[++i]);
        } else if (arg == "--first-pair" && hasValue) {
            first = std::max(0, std::atoi(argv[++i]) - 1);
        } else if (arg == "--pairs" && hasValue) {
            pairs = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--seed" && hasValue) {
            plan.seed = std::strtoull(argv[++i], nullptr, 10);
        } else if (arg == "--turns" && hasValue) {
            plan.maxTurns = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--opening" && hasValue) {
            plan.openingPlies = std::max(0, std::atoi(argv[++i]));
        } else if (arg == "--jobs" && hasValue) {
            jobs = std::clamp(std::atoi(argv[++i]), 1, 64);
        } else if (arg == "--perft") {
            perft = true;
        } else if (arg == "--quiet") {
            plan.quiet = true;
        } else {
            std::fprintf(stderr,
                         "usage: kelmorav_arena [--a PLAYER] [--b PLAYER] [--pairs N] [--seed S] "
                         "[--turns N] [--opening N] [--jobs N] [--first-pair N] [--perft] "
                         "[--quiet]\n"
                         "PLAYER: 1..5 (engine level), random or greedy\n");
            return 2;
        }
    }
    if (perft) MeasurePerft();

    PlayerStats statsA;
    PlayerStats statsB;
    statsA.player = plan.a;
    statsB.player = plan.b;
    std::vector<MatchRecord> records;
    if (!PlayPairs(plan, first, pairs, jobs, &statsA, &statsB, &records)) {
        std::fprintf(stderr, "kelmorav_arena: a worker process failed\n");
        return 1;
    }
    int wins = 0;
    int draws = 0;
    int losses = 0;
    long turns = 0;
    std::vector<double> scores;
    for (const MatchRecord& r : records) {
        if (r.forA > 0) ++wins;
        if (r.forA == 0) ++draws;
        if (r.forA < 0) ++losses;
        turns += r.turns;
        scores.push_back(r.forA > 0 ? 1.0 : (r.forA == 0 ? 0.5 : 0.0));
    }
    const int a = plan.a;
    const int b = plan.b;
    const double n = static_cast<double>(scores.size());
    double mean = 0;
    for (double s : scores) mean += s;
    mean /= n;
    double variance = 0;
    for (double s : scores) variance += (s - mean) * (s - mean);
    variance /= n;
    const double margin = 1.96 * std::sqrt(variance / n);
    // Every match one way has no spread to measure: the bound is then the one a sample of n
    // all-alike results allows at 95 % (the rule of three).
    const double low = mean >= 1.0 ? 1.0 - 3.0 / n : mean - margin;
    const double high = mean <= 0.0 ? 3.0 / n : mean + margin;
    std::printf("%s against %s: %d matches, %d wins, %d draws, %d losses, score %.1f %%\n",
                PlayerName(a).c_str(), PlayerName(b).c_str(), static_cast<int>(n), wins, draws,
                losses, 100.0 * mean);
    std::printf("Elo difference %+.0f, 95 %% interval [%+.0f, %+.0f]%s\n", Elo(mean), Elo(low),
                Elo(high),
                mean >= 1.0 || mean <= 0.0 ? " (every match one way: one bound is open)" : "");
    std::printf("mean match length %.1f turns\n", n > 0 ? static_cast<double>(turns) / n : 0.0);
    PrintStats(statsA);
    PrintStats(statsB);
    return 0;
}
