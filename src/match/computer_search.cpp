#include "match/computer_search.h"

#include <atomic>
#include <memory>
#include <thread>

#include "engine/engine.h"
#include "match/effects.h"
#include "rules/board.h"

namespace {

// One search: the position it was given, and its move once it has it. The game may stop
// waiting for a search (the turn handed back, the match left): the job then lives on with its
// thread until the search is done, and its move goes unheard.
struct Job {
    engine::Position position{};
    int level = 3;
    uint64_t seed = 0;
    bool beside = false;  // runs on its own thread
    bool ran = false;     // the move is there (for a search that runs at once)
    std::atomic<bool> done{false};
    engine::Move move{};
    engine::SearchInfo info{};

    void Run() {
        move = engine::ChooseMove(position, level, seed, &info);
        done.store(true, std::memory_order_release);
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
    auto job = std::make_shared<Job>();
    job->position = ReadLiveMatch();
    job->level = level;
    job->seed = seed;
    job->beside = beside;
    Current = job;
    if (!beside) return;
    // The thread holds the job, so a search the game stops waiting for can finish on its own.
    std::thread([job] { job->Run(); }).detach();
}

bool ComputerSearchReady() {
    if (!Current) return false;
    return !Current->beside || Current->done.load(std::memory_order_acquire);
}

ComputerMove ComputerSearchTake() {
    if (!Current) return ComputerMove{};
    Job& job = *Current;
    if (job.beside && !job.done.load(std::memory_order_acquire)) {
        // Only reached when the game was told the move is there before this machine's thread
        // has it: the search is deterministic, so it is made again here rather than waited for.
        engine::SearchInfo info{};
        const engine::Move move = engine::ChooseMove(job.position, job.level, job.seed, &info);
        return FromEngine(move, info.found);
    }
    if (!job.beside && !job.ran) {
        job.Run();
        job.ran = true;
    }
    return FromEngine(job.move, job.info.found);
}

void ComputerSearchDrop() { Current.reset(); }
