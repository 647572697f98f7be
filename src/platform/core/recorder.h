#pragma once
// What the game takes from the machine passes through the platform: the clock, the input that
// the backends gather in polls and waits, and the sound device's replies. A recorder installed
// in the core is told of each and may answer in the machine's place. The session
// (platform/session) is the one recorder: it writes a recording or replays one. The core owns
// this interface, so it reaches the session only through it and no call runs back; without a
// recorder the machine's own answers stand.

#include <cstdint>
#include <string>

#include "platform/core/platform.h"

class Recorder {
public:
    virtual ~Recorder() = default;

    // Once the backend runs in the data directory, with the clock's first reading.
    virtual void Start(uint32_t clock) = 0;
    // The program stops before the start.
    virtual void Abandon() = 0;
    // True while a recording is made: the clock the game reads then moves only when a wait
    // ends (inside a gather it reads on), so a replay knows every reading from the waits'
    // deadlines.
    virtual bool Recording() const = 0;

    // A top-level gather of input begins (the pointer where it is), a message is queued inside
    // it, and it ends (a wait: how late against its deadline, and the clock then).
    virtual void GatherBegin(int x, int y) = 0;
    virtual void NoteMessage(const Message& message) = 0;
    virtual void GatherEnd(bool wait, int32_t late, uint32_t clock, int x, int y) = 0;

    // The sound device's replies: given what the device says (`live`), what the game is told.
    virtual bool VoicePlaying(bool live) = 0;
    virtual bool VoiceStarts(bool live) = 0;
    virtual void MusicAnswer(uint32_t* result, std::string* reply) = 0;
    // Whether the computer's search has its move (see PlatformSearchReady).
    virtual bool SearchReady(bool live) = 0;

    // The first step of leaving (exitClock: how far the clock moved in a wait the program
    // leaves from). Returns the status to leave with.
    virtual int End(int status, uint32_t exitClock) = 0;
};

// Installs the recorder (null for none); the platform's assembly does, before anything else.
void SetRecorder(Recorder* recorder);
// The recorder installed, or null.
Recorder* ActiveRecorder();

// The sound device's replies as the game is told them: the recorder's answer, else `live`.
bool RecorderVoicePlaying(bool live);
bool RecorderVoiceStarts(bool live);
void RecorderMusicAnswer(uint32_t* result, std::string* reply);
