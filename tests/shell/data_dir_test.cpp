// Where the game finds its DATA (--data, $KELMORAV_DATA, the executable's folder, the installed
// ../share/kelmorav, in that order), the cache folder, and a missing blend table built into the
// cache when the data folder cannot be written, the same table as one built in the data folder.
#include "shell/data_dir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "support/headless_runner.h"

namespace {

namespace fs = std::filesystem;

// The places of one search, each holding DATA or not.
struct SearchCase {
    const char* name;
    bool optionGiven, optionHasData, envHasData, exeHasData, shareHasData;
    const char* expected;  // "option", "env", "exe", "share" or "" (none)
    bool mayWrite;
};

void PrintTo(const SearchCase& c, std::ostream* os) { *os << c.name; }

class DataSearch : public testing::TestWithParam<SearchCase> {};

TEST_P(DataSearch, TakesTheFirstPlaceThatHoldsData) {
    const SearchCase& c = GetParam();
    testfiles::TempDir root(std::string("search-") + c.name);
    const fs::path option = root.Path() / "option", env = root.Path() / "env";
    const fs::path exe = root.Path() / "prefix" / "bin";
    const fs::path share = root.Path() / "prefix" / "share" / "kelmorav";
    for (const auto& [dir, hasData] : {std::pair{option, c.optionHasData},
                                       {env, c.envHasData},
                                       {exe, c.exeHasData},
                                       {share, c.shareHasData}}) {
        fs::create_directories(dir);
        if (!hasData) continue;
        for (const char* folder : {"BMP", "SOUND", "BGM", "TXT"}) {
            fs::create_directories(dir / "DATA" / folder);
        }
    }
    DataDirChoice found;
    found.mayWrite = !c.mayWrite;  // so that a search that leaves it alone is caught
    const std::string given = c.optionGiven ? option.string() : "";
    const bool ok = FindDataDir(given, env.c_str(), exe.string(), &found);
    const std::string want = c.expected;
    ASSERT_EQ(ok, !want.empty());
    if (want.empty()) return;
    const fs::path expected = want == "option" ? option
                              : want == "env"  ? env
                              : want == "exe"  ? exe
                                               : share;
    EXPECT_TRUE(fs::equivalent(found.dir, expected)) << found.dir;
    EXPECT_EQ(found.mayWrite, c.mayWrite);
}

INSTANTIATE_TEST_SUITE_P(
    Order, DataSearch,
    testing::Values(
        SearchCase{"option_first", true, true, true, true, true, "option", true},
        // A --data the player typed wrong is an error, not a silent fall back to other data.
        SearchCase{"option_without_data_stops", true, false, true, true, true, "", true},
        SearchCase{"env_before_exe", false, false, true, true, true, "env", true},
        SearchCase{"env_without_data_looks_further", false, false, false, true, true, "exe", true},
        SearchCase{"exe_before_share", false, false, false, true, true, "exe", true},
        SearchCase{"installed_never_written", false, false, false, false, true, "share", false},
        SearchCase{"nowhere", false, false, false, false, false, "", true}),
    [](const testing::TestParamInfo<SearchCase>& info) { return std::string(info.param.name); });

TEST(DataSearchNames, TheInstalledFolderNamedBySomeOtherPathIsStillNeverWritten) {
    testfiles::TempDir root("search-alias");
    const fs::path exe = root.Path() / "prefix" / "bin";
    const fs::path share = root.Path() / "prefix" / "share" / "kelmorav";
    fs::create_directories(exe);
    for (const char* folder : {"BMP", "SOUND", "BGM", "TXT"}) {
        fs::create_directories(share / "DATA" / folder);
    }
    fs::create_directory_symlink(share, root.Path() / "alias");
    DataDirChoice found;
    ASSERT_TRUE(FindDataDir((root.Path() / "alias").string(), nullptr, exe.string(), &found));
    EXPECT_FALSE(found.mayWrite);
}

// ---- the cache folder ---------------------------------------------------------------------

// Sets an environment variable (or removes it for nullptr) and restores it afterwards.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        const char* old = std::getenv(name);
        had_ = old != nullptr;
        if (had_) old_ = old;
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~ScopedEnv() {
        if (had_)
            ::setenv(name_.c_str(), old_.c_str(), 1);
        else
            ::unsetenv(name_.c_str());
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string name_, old_;
    bool had_ = false;
};

struct CacheCase {
    const char* name;
    const char* xdg;
    const char* home;
    const char* expected;
};

void PrintTo(const CacheCase& c, std::ostream* os) { *os << c.name; }

class CacheFolder : public testing::TestWithParam<CacheCase> {};

TEST_P(CacheFolder, FollowsTheXdgRules) {
    const CacheCase& c = GetParam();
    ScopedEnv xdg("XDG_CACHE_HOME", c.xdg);
    ScopedEnv home("HOME", c.home);
    EXPECT_EQ(CacheDir(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Env, CacheFolder,
    testing::Values(CacheCase{"xdg", "/x/cache", "/home/p", "/x/cache/kelmorav"},
                    CacheCase{"relative_xdg_ignored", "cache", "/home/p",
                              "/home/p/.cache/kelmorav"},
                    CacheCase{"empty_xdg_ignored", "", "/home/p", "/home/p/.cache/kelmorav"},
                    CacheCase{"home_only", nullptr, "/home/p", "/home/p/.cache/kelmorav"},
                    CacheCase{"neither", nullptr, nullptr, ""}),
    [](const testing::TestParamInfo<CacheCase>& info) { return std::string(info.param.name); });

TEST(CacheFolder, TablesOfDifferentPalettesHaveDifferentNames) {
    ScopedEnv xdg("XDG_CACHE_HOME", "/x/cache");
    PaletteEntry a[256] = {};
    PaletteEntry b[256] = {};
    b[200].blue = 1;
    const std::string fileA = CachedBlendFile(a);
    EXPECT_EQ(fileA.rfind("/x/cache/kelmorav/palet-", 0), 0u) << fileA;
    EXPECT_NE(fileA, CachedBlendFile(b));
    EXPECT_EQ(fileA, CachedBlendFile(a));
}

// ---- a read-only data folder ----------------------------------------------------------------

// Runs the built game on dataDir as a user whom the folder's permission bits bind: this user,
// or, when the tests run as root (whom they do not stop), the unprivileged user 65534 through
// setpriv. Returns the exit status, or -2 when there is no way to run as such a user.
int RunAsBoundUser(const fs::path& dataDir, const fs::path& errPath) {
    std::vector<std::string> args;
    if (::geteuid() == 0) {
        if (::access("/usr/bin/setpriv", X_OK) != 0) return -2;
        args = {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
    }
    const fs::path script = dataDir.parent_path() / "script.txt";
    testfiles::WriteText(script, "wait 200\n");
    for (const std::string& a :
         {std::string(KELMORAV_BUILD_DIR) + "/kelmorav", std::string("--headless"),
          std::string("--seed"), std::string("7"), std::string("--script"), script.string(),
          std::string("--data"), dataDir.string()}) {
        args.push_back(a);
    }
    return testfiles::RunProgram(args, errPath);
}

TEST(BlendCache, AReadOnlyDataFolderGetsItsTableBuiltInTheCache) {
    // A writable copy builds the table in its own folder: the reference.
    const fs::path writable = testfiles::MakeTestDataDir("blend-writable");
    ASSERT_EQ(testfiles::RunGame(writable, "wait 200\n").status, 0);
    const std::string reference = testfiles::ReadText(writable / "DATA/TXT/palet.dat");
    ASSERT_EQ(reference.size(), 262144u);

    testfiles::TempDir root("blend-readonly");
    const fs::path data = root.Path() / "data";
    fs::copy(testfiles::MakeTestDataDir("blend-readonly-data"), data, fs::copy_options::recursive);
    fs::remove(data / "DATA/TXT/palet.dat");
    const fs::path cache = root.Path() / "cache";
    fs::create_directories(cache);
    // The cache belongs to whoever runs the game; the data folders to nobody else.
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(cache.c_str(), 65534, 65534), 0);
    }
    // Nothing in the data folder may be written: every folder and file in it is read-only.
    const fs::perms write =
        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    for (const auto& entry : fs::recursive_directory_iterator(data)) {
        fs::permissions(entry.path(), write, fs::perm_options::remove);
    }
    fs::permissions(data, write, fs::perm_options::remove);
    fs::permissions(root.Path(), fs::perms::others_exec | fs::perms::others_read,
                    fs::perm_options::add);
    ScopedEnv xdg("XDG_CACHE_HOME", cache.c_str());

    const int status = RunAsBoundUser(data, root.Path() / "stderr.txt");
    fs::permissions(data, fs::perms::owner_write, fs::perm_options::add);  // so it can be removed
    for (const auto& entry : fs::recursive_directory_iterator(data)) {
        fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add);
    }
    if (status == -2) {
        GTEST_SKIP() << "running as root without setpriv: permission bits bind no one";
    }
    const std::string said = testfiles::ReadText(root.Path() / "stderr.txt");
    EXPECT_EQ(status, 0) << said;
    EXPECT_EQ(said.find("palet"), std::string::npos) << said;
    EXPECT_FALSE(fs::exists(data / "DATA/TXT/palet.dat"));
    std::vector<fs::path> built;
    for (const auto& entry : fs::directory_iterator(cache / "kelmorav")) built.push_back(entry);
    ASSERT_EQ(built.size(), 1u) << "one table, no partial file left behind";
    EXPECT_EQ(built[0].filename().string().rfind("palet-", 0), 0u);
    EXPECT_TRUE(testfiles::ReadText(built[0]) == reference) << "the same table as in the folder";
}

// The fault caught: temporaries of blend tables that a killed run was writing staying in the data
// and cache folders for ever, or the start taking those of a run that goes on.
TEST(BlendCache, TemporariesOfAKilledRunGoAtTheNextStart) {
    const fs::path data = testfiles::MakeTestDataDir("stale-tables");
    ASSERT_EQ(testfiles::RunGame(data, "wait 100\n").status, 0);  // builds palet.dat
    testfiles::TempDir cache("stale-tables-cache");
    fs::create_directories(cache.Path() / "kelmorav");
    const pid_t ended = testfiles::EndedProcessId();
    const fs::path stale[] = {
        data / "DATA/TXT" / testfiles::PartName("palet.dat", ended),
        cache.Path() / "kelmorav" / testfiles::PartName("palet-00112233aabbccdd.dat", ended, "4"),
    };
    const fs::path live =
        cache.Path() / "kelmorav" / testfiles::PartName("palet-00112233aabbccdd.dat", ::getpid());
    for (const fs::path& p : stale) testfiles::WriteText(p, "half a table");
    testfiles::WriteText(live, "half a table");
    ScopedEnv xdg("XDG_CACHE_HOME", cache.Path().c_str());
    ASSERT_EQ(testfiles::RunGame(data, "wait 100\n").status, 0);
    for (const fs::path& p : stale) EXPECT_FALSE(fs::exists(p)) << p;
    EXPECT_TRUE(fs::exists(live));
}

}  // namespace
