// The temporaries of WriteFileWhole: one left by a writer that was killed is removed, by the
// next write of the same file or at the next start; nothing else is, above all not the
// temporary of a writer that still runs or still holds it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <string>

#include "platform/core/platform.h"
#include "support/test_files.h"

namespace {

namespace fs = std::filesystem;

using testfiles::EndedProcessId;

std::string Part(const std::string& name, pid_t pid, const std::string& serial = "0") {
    return testfiles::PartName(name, pid, serial);
}

// The faults caught: a leftover that stays for ever, and a removal that takes what is not a
// leftover of ours: a live writer's temporary (by its process, or by its lock), another file's
// temporary, a name of another form, something that is not a regular file.
TEST(StaleParts, OnlyTheLeftoversOfEndedWritersOfTheFileGo) {
    const fs::path dir = testfiles::FreshDir("stale-parts");
    const pid_t ended = EndedProcessId();
    struct Case {
        std::string name;
        bool removed;
    };
    const Case cases[] = {
        {Part("palet.dat", ended), true},
        {Part("palet.dat", ended, "17"), true},
        {Part("palet.dat", ::getppid()), false},  // its writer runs
        {Part("palet.dat", ::getpid()), false},   // this process's own
        {Part("other.dat", ended), false},
        {Part("palet.dat.bak", ended), false},
        {"palet.dat." + std::to_string(ended) + "-0.tmp", false},
        {"palet.dat." + std::to_string(ended) + ".part", false},
        {"palet.dat.0" + std::to_string(ended) + "-0.part", false},
        {"palet.dat." + std::to_string(ended) + "-x.part", false},
        {"palet.dat.-" + std::to_string(ended) + "-0.part", false},
        {"palet.dat.0-0.part", false},
    };
    for (const Case& c : cases) testfiles::WriteText(dir / c.name, "part");
    // Ended writers' names, but a directory, a link, and a file a live writer holds locked.
    fs::create_directory(dir / Part("palet.dat", ended, "90"));
    fs::create_symlink(dir / cases[0].name, dir / Part("palet.dat", ended, "91"));
    testfiles::WriteText(dir / Part("palet.dat", ended, "92"), "locked");
    const int held = ::open((dir / Part("palet.dat", ended, "92")).c_str(), O_RDONLY);
    ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
    const pid_t holder = ::fork();  // holds the lock through the inherited descriptor
    if (holder == 0) {
        ::pause();
        ::_exit(0);
    }
    ::close(held);

    EXPECT_EQ(RemoveStalePartsOf((dir / "palet.dat").string()), 2);
    for (const Case& c : cases) EXPECT_EQ(fs::exists(dir / c.name), !c.removed) << c.name;
    EXPECT_TRUE(fs::is_directory(dir / Part("palet.dat", ended, "90")));
    EXPECT_TRUE(fs::is_symlink(dir / Part("palet.dat", ended, "91")));
    EXPECT_TRUE(fs::exists(dir / Part("palet.dat", ended, "92")));
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    // Its holder gone, the locked one is a leftover too.
    EXPECT_EQ(RemoveStalePartsOf((dir / "palet.dat").string()), 1);
    EXPECT_FALSE(fs::exists(dir / Part("palet.dat", ended, "92")));

    // By prefix, as for the cache folder's tables of every palette.
    testfiles::WriteText(dir / Part("palet-0123abcd.dat", ended), "part");
    testfiles::WriteText(dir / Part("kelmorav-1.png", ended), "part");
    EXPECT_EQ(RemoveStalePartsIn(dir.string(), "palet-"), 1);
    EXPECT_FALSE(fs::exists(dir / Part("palet-0123abcd.dat", ended)));
    EXPECT_TRUE(fs::exists(dir / Part("kelmorav-1.png", ended)));
}

// The fault caught: a writer killed in the middle of a file leaving its temporary for ever, and
// the next write of the file (or the next start) taking a live writer's temporary.
TEST(StaleParts, AWriterKilledMidFileLeavesATemporaryThatTheNextWriteRemoves) {
    const fs::path dir = testfiles::FreshDir("killed-writer");
    const std::string file = (dir / "palet.dat").string();
    int toParent[2];
    int toChild[2];
    ASSERT_EQ(::pipe(toParent), 0);
    ASSERT_EQ(::pipe(toChild), 0);
    const pid_t writer = ::fork();
    if (writer == 0) {
        WriteFileWhole(file, [&](std::FILE* f) {
            std::fputs("half a table", f);
            std::fflush(f);
            char c = 'w';
            (void)!::write(toParent[1], &c, 1);
            (void)!::read(toChild[0], &c, 1);  // until the parent has looked
            ::raise(SIGKILL);
            return true;
        });
        ::_exit(0);
    }
    char c = 0;
    ASSERT_EQ(::read(toParent[0], &c, 1), 1);
    const fs::path part = dir / Part("palet.dat", writer);
    ASSERT_TRUE(fs::exists(part));
    // Mid-write, its process running: the temporary stays, at start-up as at another write.
    EXPECT_EQ(RemoveStalePartsOf(file), 0);
    EXPECT_TRUE(fs::exists(part));
    ASSERT_EQ(::write(toChild[1], &c, 1), 1);
    int status = 0;
    ::waitpid(writer, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_TRUE(fs::exists(part));
    EXPECT_FALSE(fs::exists(file));

    ASSERT_TRUE(WriteFileWhole(file, [](std::FILE* f) { return std::fputs("table", f) >= 0; }));
    EXPECT_EQ(testfiles::ReadText(file), "table");
    EXPECT_FALSE(fs::exists(part));
    for (int fd : {toParent[0], toParent[1], toChild[0], toChild[1]}) ::close(fd);
}

}  // namespace
