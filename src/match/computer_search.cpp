#include "match/computer_search.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <memory>
#include <vector>

#include "engine/engine.h"
#include "match/effects.h"
#include "rules/board.h"

namespace {

// Search processes that have ended or been told to end, not yet collected by the system. They
// are collected without waiting, on the game's next looks at a search, so no frame waits for a
// process the machine has not yet found time to close.
std::vector<pid_t> Unreaped;

void Reap() {
    std::erase_if(Unreaped, [](pid_t pid) { return waitpid(pid, nullptr, WNOHANG) != 0; });
}

// What a search process sends back through its pipe.
struct Answer {
    engine::Move move;
    engine::SearchInfo info;
};

// One search: the position it was given, and its move once it has it. Beside the game the
// search runs in a process of its own: it then has its own share of the machine (a thread would
// share the game's, and on a busy machine every frame would wait while it computes), and a
// search the game stops waiting for (the turn handed back, the match left) is simply ended.
struct Job {
    engine::Position position{};
    int level = 3;
    uint64_t seed = 0;
    bool beside = false;  // runs in a process of its own
    bool done = false;    // the answer is there
    Answer answer{};
    pid_t child = -1;
    int pipe = -1;
    size_t got = 0;  // bytes of the answer read so far

    Job() = default;
    Job(const Job&) = delete;
    Job& operator=(const Job&) = delete;
    ~Job() {
        if (child > 0) {
            kill(child, SIGKILL);
            Unreaped.push_back(child);
        }
        if (pipe >= 0) close(pipe);
    }

    void Run() {
        answer.move = engine::ChooseMove(position, level, seed, &answer.info);
        done = true;
    }

    // Starts the search process; false when none could be made (the search then runs at once
    // when its move is taken).
    bool Fork() {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0) return false;
        const pid_t pid = fork();
        if (pid < 0) {
            close(fds[0]);
            close(fds[1]);
            return false;
        }
        if (pid == 0) {
            // The child: a session (and so a scheduling group) of its own at the lowest
            // priority; it computes, sends the answer and leaves without running anything of
            // the game's exit.
            close(fds[0]);
            setsid();
            setpriority(PRIO_PROCESS, 0, 19);
            Run();
            const char* bytes = reinterpret_cast<const char*>(&answer);
            size_t sent = 0;
            while (sent < sizeof answer) {
                const ssize_t n = write(fds[1], bytes + sent, sizeof answer - sent);
                if (n <= 0 && errno != EINTR) break;
                if (n > 0) sent += static_cast<size_t>(n);
            }
            _exit(0);
        }
        close(fds[1]);
        fcntl(fds[0], F_SETFL, O_NONBLOCK);
        child = pid;
        pipe = fds[0];
        return true;
    }

    // Reads what the search process has sent; true once the whole answer is there.
    bool Collect() {
        if (done || pipe < 0) return done;
        char* bytes = reinterpret_cast<char*>(&answer);
        for (;;) {
            const ssize_t n = read(pipe, bytes + got, sizeof answer - got);
            if (n > 0) {
                got += static_cast<size_t>(n);
                if (got < sizeof answer) continue;
                done = true;
            } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
                return false;
            } else {
                // The process ended without its answer: the search runs here when taken.
                beside = false;
            }
            break;
        }
        close(pipe);
        pipe = -1;
        Unreaped.push_back(child);
        child = -1;
        Reap();
        return done;
    }
};

std::shared_ptr<Job> Current;

// The live match as the engine's position: the slots, the side to move, the points held, the
// points still flying to each side's pad, the turn and the placing costs.
engine::Position ReadLiveMatch() {
    engine::Position p{};
    for (int i = 0; i < PIECE_SLOT_COUNT; ++i) {
        const PieceRecord& r = PieceTable[i];
        // A piece the layout put off the board is never seen by the game; the engine is given
        // the slot as empty-or-not all the same, on the nearest square it can hold.
        p.slots[i].x = static_cast<int8_t>(r.x < 0 ? -1 : r.x > 9 ? 9 : r.x);
        p.slots[i].y = static_cast<int8_t>(r.y < 0 ? -1 : r.y > 9 ? 9 : r.y);
        p.slots[i].value = r.value;
        p.slots[i].kind = r.kind;
    }
    p.side = SideToMove == 0 ? 0 : 1;
    for (int s = 0; s < 2; ++s) {
        p.points[s] = SideTally[s].points;
        p.pending[s] = 0;
    }
    for (const PointMote& m : PointMoteTable) {
        if (m.delay != 0 && m.side <= 1) p.pending[m.side] += 1;
    }
    p.turn = TurnNumber;
    for (int k = 0; k < 8; ++k) p.dropCost[k] = k < DROP_COST_COUNT ? DropCost[k] : int8_t{0};
    return p;
}

ComputerMove FromEngine(const engine::Move& m, bool found) {
    ComputerMove out;
    out.found = found;
    out.place = m.place;
    out.slot = m.slot;
    out.kind = m.kind;
    out.toX = m.toX;
    out.toY = m.toY;
    out.promote = m.promote;
    return out;
}

}  // namespace

void ComputerSearchStart(int level, uint64_t seed, bool beside) {
    Reap();
    auto job = std::make_shared<Job>();
    job->position = ReadLiveMatch();
    job->level = level;
    job->seed = seed;
    job->beside = beside && job->Fork();
    Current = job;
}

bool ComputerSearchReady() {
    if (!Current) return false;
    return !Current->beside || Current->Collect();
}

ComputerMove ComputerSearchTake() {
    if (!Current) return ComputerMove{};
    Job& job = *Current;
    if (job.beside && !job.Collect()) {
        // Only reached when the game was told the move is there before this machine's search
        // has it: the search is deterministic, so it is made again here rather than waited for.
        Answer here;
        here.move = engine::ChooseMove(job.position, job.level, job.seed, &here.info);
        return FromEngine(here.move, here.info.found);
    }
    if (!job.done) job.Run();
    return FromEngine(job.answer.move, job.answer.info.found);
}

void ComputerSearchDrop() { Current.reset(); }
