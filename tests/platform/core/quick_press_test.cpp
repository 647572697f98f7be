// Presses shorter than a frame, under the core's queue and key state with the headless backend:
// a button pressed and released before a frame is delivered held to that frame and released
// before the next, a second quick press behind it waits for a frame of its own, a key tapped
// between two frames reads down through exactly the next frame, and presses a frame has seen
// end when they end. The run happens in a child process (a gtest exit test), since the
// platform's clock and queue are the process's own.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/core/platform.h"
#include "support/child_checks.h"
#include "support/test_files.h"

namespace {

namespace fs = std::filesystem;
using childcheck::Check;
using childcheck::NextMessageIs;

void PlayQuickPresses(const fs::path& dir) {
    PlatformOptions options;
    options.headless = true;
    options.clockStart = 5000;
    options.scriptPath = (dir / "script.txt").string();
    options.dataDir = dir.string();
    Check(PlatformInit(options), 10);
    FrameStarts();

    // 5010: a tap of the left button and a tap of L, both before the next frame.
    WaitUntil(5020);
    Check(NextMessageIs(MessageType::LButtonDown), 11);
    // The release waits for a frame; the keys' messages behind it do not.
    Check(NextMessageIs(MessageType::KeyDown, 'L'), 12);
    Check(NextMessageIs(MessageType::KeyUp, 'L'), 13);
    Check(!PeekMessage(nullptr), 14);
    FrameStarts();
    Check(KeyHeld('L'), 15);  // the frame that follows the tap sees the key down
    Check(KeyHeld('L'), 16);
    Check(NextMessageIs(MessageType::LButtonUp) && !PeekMessage(nullptr), 17);
    FrameStarts();
    Check(!KeyHeld('L'), 18);  // and the one after sees it up

    // 5110: Z pressed and held over frames, let go at 5210 with the left button pressed then.
    WaitUntil(5115);
    FrameStarts();
    Check(KeyHeld('Z') && NextMessageIs(MessageType::KeyDown, 'Z'), 20);
    WaitUntil(5215);
    Check(!KeyHeld('Z'), 21);  // a press a frame has seen ends as it ends
    Check(NextMessageIs(MessageType::KeyUp, 'Z'), 22);
    Check(NextMessageIs(MessageType::LButtonDown), 23);
    FrameStarts();
    // 5310: its release, after a frame saw the button held, is delivered at once.
    WaitUntil(5315);
    Check(NextMessageIs(MessageType::LButtonUp) && !PeekMessage(nullptr), 24);

    // 5410: a tap of Z that no frame reads ends after the next frame all the same, so it
    // cannot act in a later scene.
    WaitUntil(5415);
    Check(NextMessageIs(MessageType::KeyDown, 'Z') && NextMessageIs(MessageType::KeyUp, 'Z'), 30);
    FrameStarts();
    FrameStarts();
    Check(!KeyHeld('Z'), 31);

    // 5510: two taps of the left button before a frame: each is a click of its own, seen held
    // by one frame and released before the next.
    WaitUntil(5515);
    Check(NextMessageIs(MessageType::LButtonDown) && !PeekMessage(nullptr), 40);
    FrameStarts();
    Check(NextMessageIs(MessageType::LButtonUp) && !PeekMessage(nullptr), 41);
    FrameStarts();
    Check(NextMessageIs(MessageType::LButtonDown) && !PeekMessage(nullptr), 42);
    FrameStarts();
    Check(NextMessageIs(MessageType::LButtonUp), 43);
    FrameStarts();

    // 5610: the left button held over a frame; 5710: a tap of the right button as the left one
    // is let go: the right release waits, the left button's does not.
    WaitUntil(5615);
    Check(NextMessageIs(MessageType::LButtonDown), 50);
    FrameStarts();
    WaitUntil(5715);
    Check(NextMessageIs(MessageType::RButtonDown), 51);
    Check(NextMessageIs(MessageType::LButtonUp) && !PeekMessage(nullptr), 52);
    FrameStarts();
    Check(NextMessageIs(MessageType::RButtonUp), 53);
    PlatformExit(0);
}

TEST(QuickPress, APressShorterThanAFrameIsSeenByOneFrame) {
    testfiles::TempDir dir("quick_press");
    testfiles::WriteText(dir.Path() / "script.txt",
                         "wait 10\ntap 5 6\ntap L\n"
                         "wait 100\nkey Z down\nwait 100\nkey Z up\ndown left\nwait 100\nup left\n"
                         "wait 100\ntap Z\n"
                         "wait 100\ntap 7 8\ntap 7 8\n"
                         "wait 100\ndown left\nwait 100\ndown right\nup right\nup left\n"
                         "wait 1000\n");
    EXPECT_EXIT(PlayQuickPresses(dir.Path()), ::testing::ExitedWithCode(0), "");
}

}  // namespace
