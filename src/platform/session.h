#pragma once
// Recording a session and replaying one, the platform's side. Platform-internal.
//
// Everything the game takes from the machine passes through the platform: the clock, the
// input that the backends gather into the message queue, the pointer and the key state in
// polls and waits, and the sound device's replies. While recording, platform.cpp reports each
// gather of input (a poll or a wait at the top level) and the audio layer each reply; the
// clock the game reads moves only at the end of a wait, so it is known from the wait's
// deadline and how late it ended. While replaying, the replay backend takes the gathers back
// from the recording and the audio layer the replies.

#include <cstdint>
#include <string>

#include "platform/platform.h"
#include "platform/recording.h"

// Before the backend starts: makes the file to record into (false, after one line on stderr,
// when it cannot be written), or reads the recording to replay (a recording that cannot be
// read, is damaged or comes from another version ends the program: one line, status 2).
bool SessionOpen(const PlatformOptions& options, const std::string& version);
// Once the backend runs in the data directory, with the clock's first reading: the recording
// gets its header; a replay whose data differ from the recording's says so.
void SessionStart(uint32_t clock);
// The program stops before the session started: an empty recording is removed.
void SessionAbandon();

bool SessionRecording();
bool SessionReplaying();
// The seed to play with: the recording's in a replay, else the one given.
uint32_t SessionSeed(uint32_t given);
uint32_t SessionReplayClockStart();

// Recording: a top-level gather of input begins (the pointer where it is), a message is
// queued inside it, and it ends (a wait: how late against its deadline, and the clock then).
void SessionGatherBegin(int x, int y);
void SessionNoteMessage(const Message& message);
void SessionGatherEnd(bool wait, int32_t late, uint32_t clock, int x, int y);

// Replaying: the backend's poll and wait. A wait sets *clock to the reading it ends at.
void SessionReplayPoll();
void SessionReplayWait(uint32_t deadline, uint32_t* clock);

// The sound device's replies: given what the device says (`live`), returns what the game is
// told. Recording notes it; a replay gives the recorded reply instead; otherwise it is `live`.
bool SessionVoicePlaying(bool live);
bool SessionVoiceStarts(bool live);
void SessionMusicAnswer(uint32_t* result, std::string* reply);

// The first step of leaving: a recording gets its end line (exitClock: how far the clock moved
// in a wait the program leaves from); a replay checks that the game used the whole recording
// and ended as it did, else says where it went another way. Returns the status to leave with.
int SessionEnd(int status, uint32_t exitClock);
