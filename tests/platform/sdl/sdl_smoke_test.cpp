// The SDL2 backend end to end, without a desktop: SDL's dummy video and audio drivers run the
// real window, renderer, event and mixer code; SIGTERM arrives as the desktop's quit request.
#include <gtest/gtest.h>

#include "support/headless_runner.h"

namespace {

TEST(SdlBackend, RunsTheTitleAndQuitsCleanlyOnTheDesktopsQuitRequest) {
    const auto dir = testfiles::MakeTestDataDir("sdl-smoke");
    const auto trace = dir / "trace.jsonl";
    const std::string cmd =
        "SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy timeout --preserve-status -s TERM 3 '" +
        std::string(KELMORAV_BUILD_DIR) + "/kelmorav' --window --seed 1 --data '" + dir.string() +
        "' --trace '" + trace.string() + "' 2>/dev/null";
    const int raw = std::system(cmd.c_str());
    ASSERT_TRUE(WIFEXITED(raw));
    EXPECT_EQ(WEXITSTATUS(raw), 0);
    std::istringstream lines(testfiles::ReadText(trace));
    std::vector<nlohmann::json> events;
    for (std::string line; std::getline(lines, line);)
        events.push_back(nlohmann::json::parse(line));
    ASSERT_FALSE(events.empty());
    bool sawTitle = false;
    for (const auto& j : events) sawTitle = sawTitle || (j.contains("scene") && j["scene"] == 2);
    EXPECT_TRUE(sawTitle);
    EXPECT_EQ(events.back()["exit"], 0);
    // The quit's last music commands close the title music.
    ASSERT_GE(events.size(), 3u);
    EXPECT_EQ(events[events.size() - 3]["mci"], "close bgm");
}

// Without a display, SDL would fall back to a driver that shows nothing and the game would run
// unseen: it ends at once with status 1 and one line instead, unless the player asked for such
// a driver through SDL_VIDEODRIVER (as the test above does).
TEST(SdlBackend, NoDisplayEndsWithStatus1AndSaysSo) {
    const auto dir = testfiles::MakeTestDataDir("sdl-no-display");
    const auto runtime = testfiles::FreshDir("sdl-no-display-runtime");
    const auto err = dir / "stderr.txt";
    const std::string cmd =
        "env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER XDG_RUNTIME_DIR='" +
        runtime.string() + "' SDL_AUDIODRIVER=dummy timeout -s KILL 10 '" +
        std::string(KELMORAV_BUILD_DIR) + "/kelmorav' --window --data '" + dir.string() + "' 2>'" +
        err.string() + "'";
    const int raw = std::system(cmd.c_str());
    if (!WIFEXITED(raw) || WEXITSTATUS(raw) == 124 || WEXITSTATUS(raw) == 137) {
        GTEST_SKIP() << "this machine has a display without X or Wayland (a console)";
    }
    EXPECT_EQ(WEXITSTATUS(raw), 1);
    EXPECT_EQ(testfiles::ReadText(err),
              "kelmorav: no display found (DISPLAY and WAYLAND_DISPLAY reach none); --headless "
              "runs without one\n");
}

}  // namespace
