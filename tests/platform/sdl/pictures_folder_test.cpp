// Where PrintScreen saves: the desktop's pictures folder from user-dirs.dirs, else ~/Pictures.
#include "platform/sdl/pictures_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <utility>
#include <vector>

#include "support/test_files.h"

namespace {

struct FolderCase {
    const char* name;
    const char* home;
    const char* userDirs;
    const char* expected;
};

class PicturesFolderChoice : public ::testing::TestWithParam<FolderCase> {};

TEST_P(PicturesFolderChoice, FromTheEnvironment) {
    const FolderCase& c = GetParam();
    EXPECT_EQ(PicturesFolder(PicturesEnvironment{c.home, "", c.userDirs}), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, PicturesFolderChoice,
    ::testing::Values(
        FolderCase{"no_file", "/home/ann", "", "/home/ann/Pictures"},
        FolderCase{"as_the_desktop_writes_it", "/home/ann",
                   "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                   "XDG_PICTURES_DIR=\"$HOME/Bilder\"\n",
                   "/home/ann/Bilder"},
        FolderCase{"spaces_in_the_name", "/home/ann", "XDG_PICTURES_DIR=\"$HOME/My Pictures/\"\n",
                   "/home/ann/My Pictures"},
        FolderCase{"absolute_path", "/home/ann", "XDG_PICTURES_DIR=\"/srv/photos\"", "/srv/photos"},
        FolderCase{"braced_home_unquoted", "/home/ann/", "XDG_PICTURES_DIR=${HOME}/pics # mine",
                   "/home/ann/pics"},
        FolderCase{"the_home_itself", "/home/ann", "XDG_PICTURES_DIR=\"$HOME/\"", "/home/ann"},
        FolderCase{"last_assignment_wins", "/home/ann",
                   "XDG_PICTURES_DIR=\"$HOME/a\"\nXDG_PICTURES_DIR=\"$HOME/b\"\n", "/home/ann/b"},
        FolderCase{"commented_out", "/home/ann", "#XDG_PICTURES_DIR=\"$HOME/x\"\n",
                   "/home/ann/Pictures"},
        // A relative path is not valid there: the default holds.
        FolderCase{"relative_path_ignored", "/home/ann", "XDG_PICTURES_DIR=\"pics\"\n",
                   "/home/ann/Pictures"},
        FolderCase{"other_variable_with_the_same_start", "/home/ann",
                   "XDG_PICTURES_DIRS=\"$HOME/x\"\n", "/home/ann/Pictures"},
        FolderCase{"no_home", "", "XDG_PICTURES_DIR=\"/srv/photos\"", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PicturesFolderFile, ConfigHomeOnlyWhenAbsolute) {
    EXPECT_EQ(UserDirsFile("/home/ann", ""), "/home/ann/.config/user-dirs.dirs");
    EXPECT_EQ(UserDirsFile("/home/ann", "/etc/ann"), "/etc/ann/user-dirs.dirs");
    EXPECT_EQ(UserDirsFile("/home/ann", "relative/config"), "/home/ann/.config/user-dirs.dirs");
    EXPECT_EQ(UserDirsFile("", ""), "");
}

// On the machine: the pictures folder is made when missing; when it cannot be, the picture goes
// to the directory the game started in, but never into the data directory.
class ScreenshotFolderOnDisk : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"HOME", "XDG_CONFIG_HOME"}) {
            const char* value = std::getenv(name);
            saved.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
        }
        unsetenv("XDG_CONFIG_HOME");
    }
    void TearDown() override {
        for (const auto& [name, value] : saved) {
            if (value) {
                setenv(name.c_str(), value->c_str(), 1);
            } else {
                unsetenv(name.c_str());
            }
        }
    }
    std::vector<std::pair<std::string, std::optional<std::string>>> saved;
    testfiles::TempDir dir{"screenshot-folder"};
};

TEST_F(ScreenshotFolderOnDisk, MadeWhenMissingElseTheStartDirectoryButNeverTheData) {
    const auto home = dir.Path() / "home";
    const auto start = dir.Path() / "start";
    const auto data = dir.Path() / "data";
    std::filesystem::create_directories(start);
    std::filesystem::create_directories(data);
    setenv("HOME", home.c_str(), 1);
    EXPECT_EQ(ScreenshotFolder(start.string(), data.string()), (home / "Pictures").string());
    EXPECT_TRUE(std::filesystem::is_directory(home / "Pictures"));

    // A home that is a file holds no pictures folder.
    const auto fileHome = dir.Path() / "file-home";
    testfiles::WriteText(fileHome, "not a folder");
    setenv("HOME", fileHome.c_str(), 1);
    EXPECT_EQ(ScreenshotFolder(start.string(), data.string()), start.string());
    EXPECT_EQ(ScreenshotFolder(data.string(), data.string()), "");
    // The pictures folder named as the data directory itself is refused too.
    testfiles::WriteText(home / ".config/user-dirs.dirs",
                         "XDG_PICTURES_DIR=\"" + data.string() + "\"\n");
    setenv("HOME", home.c_str(), 1);
    EXPECT_EQ(ScreenshotFolder(start.string(), data.string()), start.string());
}

}  // namespace
