#pragma once
// Recording a session and replaying one. The game takes from the machine the clock, the input
// that the backends gather in polls and waits, and the sound device's replies, all through the
// core; the session is the core's recorder (platform/core/recorder.h): while recording it is
// told of each gather of input and each reply, and writes them into the recording; the clock
// the game reads moves only at the end of a wait, so it is known from the wait's deadline and
// how late it ended. While replaying, the replay backend takes the gathers back from the
// recording and the session gives the recorded replies. The platform's assembly opens the
// session and installs it.

#include <cstdint>
#include <string>

#include "platform/core/platform.h"
#include "platform/core/recorder.h"

// Before the backend starts: makes the file to record into (false, after one line on stderr,
// when it cannot be written), or reads the recording to replay (a recording that cannot be
// read, is damaged or comes from another version ends the program: one line, status 2).
bool SessionOpen(const PlatformOptions& options, const std::string& version);
// The session as the core's recorder (idle when neither recording nor replaying).
Recorder* SessionRecorder();

bool SessionReplaying();
// The seed to play with: the recording's in a replay, else the one given.
uint32_t SessionSeed(uint32_t given);
// The settings line of the session: the recorded one in a replay, else the one given.
const std::string& SessionSettings();

// The computer opponent's setting: the recording's in a replay, else the one given.
std::string SessionComputerSetting();

// Replaying: the clock's first reading, and the backend's poll and wait. A wait sets *clock to
// the reading it ends at.
uint32_t SessionReplayClockStart();
void SessionReplayPoll();
void SessionReplayWait(uint32_t deadline, uint32_t* clock);
