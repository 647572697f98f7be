#include "match/computer_search.h"

#include <atomic>
#include <cstring>
#include <memory>
#include <thread>

#include "match/effects.h"
#include "rules/board.h"
#include "rules/movement.h"

namespace {

// One search: what it was given, and its move once it has it. A search the game stops waiting
// for (the turn handed back, the match left) keeps its job alive until its thread is done.
struct Job {
    PieceRecord pieces[PIECE_SLOT_COUNT] = {};
    int side = 0;
    int points = 0;
    int level = 3;
    uint64_t seed = 0;
    bool ran = false;
    std::atomic<bool> done{false};
    ComputerMove move;
};

std::shared_ptr<Job> Current;

// A stand-in for the engine until it lands: takes the enemy's first slot when it can, else the
// capture of the most worth, else the first move found; never places.
void Choose(Job& job) {
    ComputerMove best;
    int bestWorth = -1;
    const int saveSelected = SelectedPiece;
    const uint8_t saveSide = SideToMove;
    ReachEntry saveReach[REACH_ENTRY_COUNT];
    std::memcpy(saveReach, ReachTable, sizeof saveReach);
    SideToMove = static_cast<uint8_t>(job.side);
    const int enemy = 1 - job.side;
    for (int slot = FirstSlotOf(job.side); slot < FirstSlotOf(job.side) + SIDE_SLOT_COUNT; ++slot) {
        if (PieceTable[slot].kind == KIND_NONE) continue;
        SelectedPiece = slot;
        GenerateMoves();
        for (int i = 0; i < 20; ++i) {
            const ReachEntry& e = ReachTable[i];
            if (!e.reachable) continue;
            const int taken = SidePieceAt(enemy, e.x, e.y);
            int worth = taken < 0 ? 0 : PieceTable[taken].value;
            if (taken == FirstSlotOf(enemy)) worth = 1000;
            if (worth > bestWorth) {
                bestWorth = worth;
                best = ComputerMove{false, slot, 0, e.x, e.y, true, true};
            }
        }
    }
    SelectedPiece = saveSelected;
    SideToMove = saveSide;
    std::memcpy(ReachTable, saveReach, sizeof saveReach);
    job.move = best;
    job.ran = true;
    job.done = true;
}

}  // namespace

void ComputerSearchStart(int level, uint64_t seed, bool beside) {
    (void)beside;
    auto job = std::make_shared<Job>();
    std::memcpy(job->pieces, PieceTable, sizeof job->pieces);
    job->side = SideToMove == 0 ? 0 : 1;
    job->points = SideTally[job->side].points;
    job->level = level;
    job->seed = seed;
    Choose(*job);
    Current = job;
}

bool ComputerSearchReady() { return Current && Current->done; }

ComputerMove ComputerSearchTake() {
    if (!Current) return ComputerMove{};
    if (!Current->ran) Choose(*Current);
    return Current->move;
}

void ComputerSearchDrop() { Current.reset(); }
