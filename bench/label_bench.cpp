// Benchmark of the kind labels: the match's board drawing (tiles, markers, forty tokens of the
// opening layout and a lifted piece) with the labels off and on, side by side in one run, in
// process CPU time. Each of several runs draws the board `frames` times with the labels off
// and as often with them on (alternating which goes first); the medians per frame and their
// difference, the labels' cost, are printed.
// Usage: kelmorav_label_bench [frames] [data dir, default: the executable's directory]
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "match/board_draw.h"
#include "match/kind_labels.h"
#include "match/match.h"
#include "media/palette.h"
#include "media/resources.h"
#include "media/sheet_cells.h"
#include "platform/core/platform.h"
#include "rules/board.h"
#include "rules/setup.h"
#include "state/random.h"

namespace {

constexpr int RUNS = 9;
constexpr double BUDGET_MS = 0.1;

double CpuMilliseconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

// CPU milliseconds per board drawn with the labels as given.
double BoardMilliseconds(int frames, bool labels) {
    KindLabelsOn = labels ? 1 : 0;
    const double start = CpuMilliseconds();
    for (int i = 0; i < frames; ++i) {
        DrawBoard(BackBuffer, MATCH_CHOOSE_DESTINATION, static_cast<int>(MoverX),
                  static_cast<int>(MoverY), SelectSize, PreviousSize);
    }
    return (CpuMilliseconds() - start) / frames;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

Surface* Sheet(int sheet, const char* path) {
    Surface* s = CreateSurface(ART_SHEETS[sheet].width, ART_SHEETS[sheet].height);
    SetColourKey(s, true, TRANSPARENT_INDEX);
    LoadBitmapToSurface(s, path);
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 2000;
    std::error_code ec;
    const std::filesystem::path data =
        argc > 2 ? std::filesystem::path(argv[2])
                 : std::filesystem::read_symlink("/proc/self/exe", ec).parent_path();
    std::filesystem::current_path(data, ec);
    if (ec) {
        std::fprintf(stderr, "kelmorav_label_bench: cannot use %s: %s\n", data.c_str(),
                     ec.message().c_str());
        return 1;
    }
    FrontSurface = CreateDisplayPair(640, 480, &BackBuffer);
    EtcSheet = Sheet(SHEET_ETC, "DATA\\BMP\\ETC.bmp");
    SideSheet[0] = Sheet(SHEET_COLOR, "DATA\\BMP\\COLOR.bmp");
    SideSheet[1] = Sheet(SHEET_COLOR, "DATA\\BMP\\COLOR.bmp");
    SeedRandom(1);
    ResetMatchRules();
    MatchSetup();
    // A lifted piece at full height, as after a pick-up.
    SelectedPiece = 1;
    MoverX = MoverOriginX(PieceTable[1].x, PieceTable[1].y);
    MoverY = MoverOriginY(PieceTable[1].x, PieceTable[1].y);
    SelectSize = 48;
    int tokens = 0;
    for (const PieceRecord& p : PieceTable) tokens += p.kind != KIND_NONE ? 1 : 0;

    std::vector<double> off;
    std::vector<double> on;
    BoardMilliseconds(frames / 4 + 1, true);  // warm the caches
    for (int run = 0; run < RUNS; ++run) {
        if (run % 2 == 0) {
            off.push_back(BoardMilliseconds(frames, false));
            on.push_back(BoardMilliseconds(frames, true));
        } else {
            on.push_back(BoardMilliseconds(frames, true));
            off.push_back(BoardMilliseconds(frames, false));
        }
    }
    const double offMs = Median(off);
    const double onMs = Median(on);
    std::printf("board with %d tokens, %d frames x %d runs, process CPU time, medians:\n", tokens,
                frames, RUNS);
    std::printf("  labels off: %.4f ms a frame\n", offMs);
    std::printf("  labels on:  %.4f ms a frame (x%.3f)\n", onMs, onMs / offMs);
    std::printf("  the labels: %.4f ms a frame (budget %.1f ms)\n", onMs - offMs, BUDGET_MS);
    ReleaseMatchSurfaces();
    ReleaseSurface(FrontSurface);
    return 0;
}
