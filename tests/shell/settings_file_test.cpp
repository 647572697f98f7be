// The settings file on disk: where it lives, a damaged one put aside whole, and a writer killed
// at any moment leaving the old file or the new one, never a torn one.
#include "shell/settings_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include "support/test_files.h"

namespace {

namespace fs = std::filesystem;

// The fault caught: a relative XDG_CONFIG_HOME (which the desktop's rules say to ignore) taken
// as a folder under the working directory, or no file at all when only HOME is set.
TEST(SettingsPath, FollowsTheDesktopsConfigFolder) {
    EXPECT_EQ(DefaultSettingsPath("/x/cfg", "/home/p"), "/x/cfg/kelmorav/settings.ini");
    EXPECT_EQ(DefaultSettingsPath("cfg", "/home/p"), "/home/p/.config/kelmorav/settings.ini");
    EXPECT_EQ(DefaultSettingsPath(nullptr, "/home/p"), "/home/p/.config/kelmorav/settings.ini");
    EXPECT_EQ(DefaultSettingsPath("", nullptr), "");
}

// The fault caught: a damaged file read in part, overwritten (its contents lost to the player
// who would look at it), or a missing file counted as damaged.
TEST(SettingsFile, ADamagedFileIsKeptAsBadAndTheDefaultsTaken) {
    const testfiles::TempDir dir("settings-bad");
    const fs::path file = dir.Path() / "settings.ini";
    EXPECT_EQ(LoadSettingsFile(file.string()), Settings{});
    EXPECT_FALSE(fs::exists(dir.Path() / "settings.ini.bad"));
    const std::string damaged = "music=3\nlabels=on\n";
    testfiles::WriteText(file, damaged);
    EXPECT_EQ(LoadSettingsFile(file.string()), Settings{});
    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(testfiles::ReadText(dir.Path() / "settings.ini.bad"), damaged);
}

Settings Big(int mark) {
    Settings s;
    s.musicVolume = mark;
    for (int i = 0; i < 800; ++i) {
        s.otherLines.push_back("key" + std::to_string(i) + "=" + std::to_string(mark) +
                               std::string(20, 'v'));
    }
    return s;
}

// The fault caught: the file written in place, so that a game killed while it wrote (a crash, a
// power cut, the desktop's logout) leaves half a file that the next start must refuse.
TEST(SettingsFile, AWriterKilledAtAnyMomentLeavesTheOldFileOrTheNewOne) {
    const testfiles::TempDir dir("settings-killed");
    const std::string file = (dir.Path() / "settings.ini").string();
    const Settings first = Big(1);
    const Settings second = Big(2);
    ASSERT_TRUE(SaveSettingsFile(file, first));
    for (int round = 0; round < 40; ++round) {
        const pid_t writer = ::fork();
        if (writer == 0) {
            for (int i = 0;; ++i) SaveSettingsFile(file, i % 2 == 0 ? second : first);
        }
        ASSERT_GT(writer, 0);
        std::this_thread::sleep_for(std::chrono::microseconds(500 + 397 * round % 4000));
        ::kill(writer, SIGKILL);
        int status = 0;
        ::waitpid(writer, &status, 0);
        Settings read;
        const SettingsRead r = ParseSettings(testfiles::ReadText(file), &read);
        ASSERT_TRUE(r.fileProblem.empty()) << "round " << round << ": " << r.fileProblem;
        ASSERT_TRUE(read == first || read == second) << "round " << round << ": a torn file";
    }
}

}  // namespace
