// Benchmark of the player aids drawn on the board: the match's board drawing (tiles, markers,
// forty tokens of the opening layout and a lifted piece) with every aid off, and with each of
// the kind labels, the last-move mark (a move, two squares tinted) and the coordinates on by
// itself, side by side in one run, in process CPU time. Each of several runs draws the board
// `frames` times in each setting (in a turning order); the medians per frame and each aid's
// cost, its median less that of the board with every aid off, are printed.
// Usage: kelmorav_label_bench [frames] [data dir, default: the executable's directory]
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_args.h"
#include "match/board_aids.h"
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

// The settings measured: every aid off, then each aid on by itself, with its budget.
struct Setting {
    const char* name;
    uint8_t* on;  // the aid's switch; nullptr for the board with every aid off
    double budgetMs;
};
const Setting SETTINGS[] = {
    {"every aid off", nullptr, 0.0},
    {"kind labels", &KindLabelsOn, 0.1},
    {"last move", &LastMoveMarkOn, 0.05},
    {"coordinates", &CoordinatesOn, 0.05},
};
constexpr int SETTING_COUNT = sizeof(SETTINGS) / sizeof(SETTINGS[0]);

double CpuMilliseconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

// CPU milliseconds per board drawn in the given setting.
double BoardMilliseconds(int frames, const Setting& setting) {
    for (const Setting& s : SETTINGS) {
        if (s.on != nullptr) *s.on = 0;
    }
    if (setting.on != nullptr) *setting.on = 1;
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
    const int frames =
        BenchFrames(argc, argv, 2, 2000, "kelmorav_label_bench [frames] [data directory]");
    if (frames < 0) return 2;
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

    // A move to mark: the lifted piece's square and the square two rows on.
    NoteMove(PieceTable[1].x, PieceTable[1].y, PieceTable[1].x, PieceTable[1].y + 2);

    std::vector<double> times[SETTING_COUNT];
    for (const Setting& s : SETTINGS) BoardMilliseconds(frames / 4 + 1, s);  // warm the caches
    for (int run = 0; run < RUNS; ++run) {
        for (int k = 0; k < SETTING_COUNT; ++k) {
            const int setting = (k + run) % SETTING_COUNT;
            times[setting].push_back(BoardMilliseconds(frames, SETTINGS[setting]));
        }
    }
    const double offMs = Median(times[0]);
    std::printf("board with %d tokens, %d frames x %d runs, process CPU time, medians:\n", tokens,
                frames, RUNS);
    std::printf("  %-14s %.4f ms a frame\n", SETTINGS[0].name, offMs);
    for (int k = 1; k < SETTING_COUNT; ++k) {
        const double onMs = Median(times[k]);
        std::printf("  %-14s %.4f ms a frame (x%.3f): the aid costs %.4f ms (budget %.2f ms)\n",
                    SETTINGS[k].name, onMs, onMs / offMs, onMs - offMs, SETTINGS[k].budgetMs);
    }
    ReleaseMatchSurfaces();
    ReleaseSurface(FrontSurface);
    return 0;
}
