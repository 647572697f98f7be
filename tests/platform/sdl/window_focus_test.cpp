// The window losing the focus and being minimised, the game then getting no time at all for a
// while (as a desktop may give a window nobody looks at, or a machine put to sleep), and the
// window restored: the desktop's events go through the SDL backend's own event path on SDL's
// dummy drivers, around the real main loop on the title. The loop takes one frame when its
// period has passed, however long the gap: no burst of frames to catch up, and no stall. The
// run happens in a child process (a gtest exit test); the gap is the child stopped by a signal.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <thread>

#include "platform/core/platform.h"
#include "platform/sdl/sdl_backend.h"
#include "shell/main_loop.h"
#include "shell/startup.h"
#include "support/test_files.h"

namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;

constexpr int GAP_MS = 3000;

// Stops the whole process for GAP_MS from outside it, then lets it go on.
void StopForAWhile() {
    const pid_t game = getpid();
    const pid_t waker = fork();
    if (waker == 0) {
        kill(game, SIGSTOP);
        usleep(GAP_MS * 1000);
        kill(game, SIGCONT);
        _exit(0);
    }
    if (waker > 0) waitpid(waker, nullptr, 0);
}

// Waits (at most a minute) until the game's trace, written line by line, holds `text`.
void WaitForTrace(const fs::path& trace, const std::string& text) {
    for (int tries = 0; tries < 600; ++tries) {
        if (testfiles::ReadText(trace).find(text) != std::string::npos) return;
        std::this_thread::sleep_for(milliseconds(100));
    }
}

void PlayThroughAMinimisedWindow(const fs::path& dir) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    PlatformOptions options;
    options.windowed = true;
    options.renderer = RendererRequest::SOFTWARE;
    options.tracePath = (dir / "trace.jsonl").string();
    options.dataDir = KELMORAV_BUILD_DIR;
    if (!PlatformInit(options)) std::_Exit(5);
    StartUp(1);
    std::thread desktop([trace = dir / "trace.jsonl"] {
        // The title's menu, where the game asks after its music every frame.
        WaitForTrace(trace, "status bgm mode");
        std::this_thread::sleep_for(milliseconds(500));
        PostWindowEvent(WindowChange::FOCUS_LOST);
        PostWindowEvent(WindowChange::MINIMIZED);
        std::this_thread::sleep_for(milliseconds(500));
        StopForAWhile();
        std::this_thread::sleep_for(milliseconds(200));
        PostWindowEvent(WindowChange::RESTORED);
        PostWindowEvent(WindowChange::FOCUS_GAINED);
        std::this_thread::sleep_for(milliseconds(2000));
        PostWindowEvent(WindowChange::CLOSE);
    });
    desktop.detach();
    PlatformExit(RunMainLoop());
}

TEST(WindowFocus, AGapWhileMinimisedIsOneFrameThenTheUsualCadence) {
    testfiles::TempDir dir("window-focus");
    EXPECT_EXIT(PlayThroughAMinimisedWindow(dir.Path()), ::testing::ExitedWithCode(0), "");
    std::istringstream lines(testfiles::ReadText(dir.Path() / "trace.jsonl"));
    std::vector<int64_t> frames;  // the times of the dispatched frames
    std::vector<nlohmann::json> events;
    for (std::string line; std::getline(lines, line);) {
        events.push_back(nlohmann::json::parse(line));
        if (events.back().contains("frame")) frames.push_back(events.back()["t"].get<int64_t>());
    }
    ASSERT_GT(frames.size(), 50u);
    // The gap: the one long interval between two frames.
    size_t gap = 1;
    for (size_t i = 1; i < frames.size(); ++i) {
        if (frames[i] - frames[i - 1] > frames[gap] - frames[gap - 1]) gap = i;
        EXPECT_GE(frames[i] - frames[i - 1], 33) << "frame " << i << " came too soon";
    }
    const int64_t resumed = frames[gap];
    EXPECT_GE(resumed - frames[gap - 1], GAP_MS - 100);
    // After it, at most one frame a period: no burst to catch up (every interval above is at
    // least a period too); and the frames go on until the window is closed. (How many come is
    // the machine's business: a loaded machine gives fewer.)
    const int64_t end = frames.back();
    const auto after = static_cast<int64_t>(frames.size() - gap);
    EXPECT_LE(after, (end - resumed) / 33 + 1);
    EXPECT_GE(after, 5);
    // The picture and the music went on: presents after the gap, the title's piece still
    // playing (the device's time stood still with the game), and the game closed as by the
    // window's close button.
    int presents = 0;
    std::map<std::string, int> replies;  // to the game's question after its piece
    for (const auto& e : events) {
        if (e["t"].get<int64_t>() < resumed) continue;
        if (e.contains("present")) ++presents;
        if (e.contains("mci") && e["mci"] == "status bgm mode") ++replies[e["reply"]];
    }
    EXPECT_GT(presents, 0);
    EXPECT_GT(replies["playing"], 0);
    EXPECT_EQ(replies.size(), 1u);
    EXPECT_EQ(events.back()["exit"], 0);
}

}  // namespace
