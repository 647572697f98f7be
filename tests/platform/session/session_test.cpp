// The session through the core's recorder interface: what a recording session is told (gathers
// of input, the sound device's replies, the end) comes back the same in a replay, and a replay
// that asks for something else stops at the line where it went another way. Each side runs in a
// child process (a gtest exit test): the session, the clock and the queue are the process's own.
#include "platform/session/session.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/core/platform.h"
#include "platform/core/recorder.h"
#include "support/child_checks.h"
#include "support/test_files.h"

namespace {

namespace fs = std::filesystem;
using childcheck::Check;
using childcheck::NextMessageIs;

constexpr const char* VERSION = "session-test";

// What a session met: a wait that ended 7 ms early with a key and the pointer moved, two
// quiet waits on time, a poll that brought a click, and the three kinds of device reply.
void Record(const fs::path& dir) {
    fs::current_path(dir);
    PlatformOptions options;
    options.recordPath = "session.rec";
    options.seed = 77;
    Check(SessionOpen(options, VERSION), 10);
    Recorder* recorder = SessionRecorder();
    recorder->Start(1000);
    Check(recorder->Recording(), 11);
    recorder->GatherBegin(0, 0);
    recorder->NoteMessage({MessageType::KeyDown, 'Z'});
    recorder->GatherEnd(true, -7, 1026, 4, 5);
    for (uint32_t clock : {1066u, 1099u}) {
        recorder->GatherBegin(4, 5);
        recorder->GatherEnd(true, 0, clock, 4, 5);
    }
    recorder->GatherBegin(4, 5);
    recorder->NoteMessage({MessageType::LButtonDown, 0});
    recorder->GatherEnd(false, 0, 1099, 4, 5);
    Check(recorder->VoicePlaying(true), 12);
    Check(!recorder->VoiceStarts(false), 13);
    uint32_t result = 0;
    std::string reply = "playing";
    recorder->MusicAnswer(&result, &reply);
    Check(recorder->End(0, 12) == 0, 14);
    std::_Exit(0);
}

// The replay: the same clock readings and input, the recorded replies whatever the device says
// now, and a whole recording used.
void Replay(const fs::path& dir) {
    fs::current_path(dir);
    PlatformOptions options;
    options.replayPath = "session.rec";
    Check(SessionOpen(options, VERSION), 20);
    Check(SessionReplaying() && SessionSeed(5) == 77 && SessionReplayClockStart() == 1000, 21);
    Recorder* recorder = SessionRecorder();
    recorder->Start(1000);
    uint32_t clock = 1000;
    SessionReplayWait(1033, &clock);
    Check(clock == 1026 && NextMessageIs(MessageType::KeyDown, 'Z'), 22);
    int x = 0;
    int y = 0;
    GetCursorPos(&x, &y);
    Check(x == 4 && y == 5, 23);
    SessionReplayWait(1066, &clock);
    Check(clock == 1066, 24);
    SessionReplayWait(1099, &clock);
    Check(clock == 1099 && !PeekMessage(nullptr), 25);
    SessionReplayPoll();
    Check(NextMessageIs(MessageType::LButtonDown), 26);
    Check(recorder->VoicePlaying(false), 27);
    Check(!recorder->VoiceStarts(true), 28);
    uint32_t result = 9;
    std::string reply = "stopped";
    recorder->MusicAnswer(&result, &reply);
    Check(result == 0 && reply == "playing", 29);
    Check(recorder->End(0, 0) == 0, 30);
    std::_Exit(0);
}

// A replay whose game asks whether a voice started where the session asked whether one sounds.
void ReplayAnotherWay(const fs::path& dir) {
    fs::current_path(dir);
    PlatformOptions options;
    options.replayPath = "session.rec";
    Check(SessionOpen(options, VERSION), 40);
    SessionRecorder()->Start(1000);
    SessionRecorder()->VoiceStarts(true);  // leaves with status 2
    std::_Exit(41);
}

TEST(Session, WhatARecordingIsToldComesBackTheSameInTheReplay) {
    testfiles::TempDir dir("session_round_trip");
    EXPECT_EXIT(Record(dir.Path()), ::testing::ExitedWithCode(0), "");
    ASSERT_TRUE(fs::exists(dir.Path() / "session.rec"));
    EXPECT_EXIT(Replay(dir.Path()), ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(ReplayAnotherWay(dir.Path()), ::testing::ExitedWithCode(2),
                "session.rec: the replay went another way than the recording at line [0-9]+");
}

}  // namespace
