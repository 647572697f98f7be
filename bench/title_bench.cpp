// Benchmark of the title menu's frame: the flame passes and the composition on the 8-bit
// canvas, and the presentation's palette conversion, as a share of the 33 ms frame period.
// Usage: kelmorav_bench [frames]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench_args.h"
#include "media/palette.h"
#include "media/resources.h"
#include "platform/core/platform.h"
#include "scenes/title.h"
#include "state/random.h"

namespace {

constexpr double FRAME_PERIOD_MS = 33.0;

template <typename Work>
double MillisecondsPerRun(int runs, Work work) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < runs; ++i) work();
    const auto end = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::milli>(end - start).count() / runs;
}

}  // namespace

int main(int argc, char** argv) {
    const int frames = BenchFrames(argc, argv, 1, 300, "kelmorav_bench [frames]");
    if (frames < 0) return 2;
    SeedRandom(1);
    FrontSurface = CreateDisplayPair(640, 480, &BackBuffer);
    TitleWork = CreateSurface(640, 480);
    TitleArt = CreateSurface(600, 280);
    SetColourKey(TitleArt, true, TRANSPARENT_INDEX);
    // Hot strokes everywhere, as in the first frames after the menu's band is stamped.
    LockedSurface canvas;
    LockSurface(TitleWork, &canvas);
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x)
            canvas.pixels[y * canvas.pitch + x] = static_cast<uint8_t>(Rand() & 255);
    }
    UnlockSurface(TitleWork);
    for (int i = 0; i < 256; ++i) ScreenPalette[i] = PaletteEntry{static_cast<uint8_t>(i), 0, 0, 0};
    InstallScreenPalette("bench");
    TitleStep = TITLE_MENU;

    const double menu = MillisecondsPerRun(frames, [] {
        TitleCounter = 0;
        TitleBurn();
        TitleCompose();
        Flip(FrontSurface);
    });
    std::vector<uint32_t> rgb(640 * 480);
    const double present = MillisecondsPerRun(
        frames, [&] { ConvertToRgb32(FrontSurface, InstalledPalette(), rgb.data(), 640); });
    std::printf("title menu frame (burn + composition): %.3f ms = %.1f%% of the %.0f ms period\n",
                menu, 100.0 * menu / FRAME_PERIOD_MS, FRAME_PERIOD_MS);
    std::printf("presentation (palette conversion):    %.3f ms = %.1f%% of the %.0f ms period\n",
                present, 100.0 * present / FRAME_PERIOD_MS, FRAME_PERIOD_MS);
    ReleaseSurface(TitleWork);
    ReleaseSurface(TitleArt);
    ReleaseSurface(FrontSurface);
    return 0;
}
