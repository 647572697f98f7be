// The headless backend under the core: the virtual clock moves only in waits, to the deadline or
// to the moment the script's next input is due, and the input reaches the message queue, the key
// state and the pointer in the script's order. The run happens in a child process (a gtest exit
// test), since the platform's clock and queue are the process's own.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/core/platform.h"
#include "support/child_checks.h"
#include "support/test_files.h"

namespace {

namespace fs = std::filesystem;
using childcheck::Check;
using childcheck::NextMessageIs;

bool PointerAt(int x, int y) {
    int px = -1;
    int py = -1;
    GetCursorPos(&px, &py);
    return px == x && py == y;
}

// The game's side, reading the clock and the queue as the main loop does.
void PlayAgainstTheScript(const fs::path& dir) {
    PlatformOptions options;
    options.headless = true;
    options.clockStart = 5000;
    options.scriptPath = (dir / "script.txt").string();
    options.dataDir = dir.string();
    Check(PlatformInit(options), 10);
    Check(TimeGetTime() == 5000, 11);
    // Nothing is due before this deadline: the wait ends on it exactly.
    WaitUntil(5040);
    Check(TimeGetTime() == 5040, 12);
    Check(!KeyHeld('Z') && !PeekMessage(nullptr), 13);
    // The key is due at 5100, before the deadline: the wait ends then, with the key queued.
    WaitForMessageOrTime(6000);
    Check(TimeGetTime() == 5100, 14);
    Check(KeyHeld('Z') && PointerAt(10, 20), 15);
    Check(NextMessageIs(MessageType::KeyDown, 'Z') && !PeekMessage(nullptr), 16);
    // The next line's input comes 50 ms later, in the script's order.
    WaitForMessageOrTime(6000);
    Check(TimeGetTime() == 5150, 17);
    Check(!KeyHeld('Z') && PointerAt(5, 6), 18);
    Check(NextMessageIs(MessageType::KeyUp, 'Z'), 19);
    Check(NextMessageIs(MessageType::LButtonDown) && !PeekMessage(nullptr), 20);
    // A wait that takes no messages runs to its deadline; the click's release and the close at
    // the end of the script wait in the queue.
    WaitUntil(5300);
    Check(TimeGetTime() == 5300, 21);
    Check(NextMessageIs(MessageType::LButtonUp), 22);
    Check(NextMessageIs(MessageType::Close) && !PeekMessage(nullptr), 23);
    PlatformExit(0);
}

TEST(HeadlessBackend, TheClockMovesOnlyInWaitsAndInputArrivesWhenDueInOrder) {
    testfiles::TempDir dir("headless_backend");
    testfiles::WriteText(dir.Path() / "script.txt",
                         "wait 100\nkey Z down\nmove 10 20\nwait 50\nkey Z up\nclick 5 6\n");
    EXPECT_EXIT(PlayAgainstTheScript(dir.Path()), ::testing::ExitedWithCode(0), "");
}

}  // namespace
