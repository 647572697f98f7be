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

}  // namespace
