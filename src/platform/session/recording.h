#pragma once
// The recording of a session: a small text file that holds everything the game took from the
// machine (the seed, the clock, the input and the sound device's replies), so that a headless
// run can play the session again frame for frame. The README describes the format; this file
// reads and writes it and knows nothing of the running game.
//
// Two streams make the body, each in the order the game met its items:
//  - the gathers: every wait of the input (the clock's reading at its end, given as its
//    distance from the wait's deadline) and the polls that brought input, each with the
//    messages and the pointer position that arrived in it;
//  - the answers: what the sound device said when the game asked whether a voice sounds,
//    whether a voice started, and what a music command returned; and whether the computer's
//    search had its move when the game asked.
// Runs of equal items without input are written once with a count.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/core/platform.h"

// The format this program writes and reads; a file of another format is refused.
constexpr int RECORDING_FORMAT = 1;
// The longest run one line may hold, and the largest file and line a reader takes.
constexpr uint32_t RECORDING_MAX_REPEAT = 1000000;
constexpr size_t RECORDING_MAX_BYTES = 256u << 20;
constexpr size_t RECORDING_MAX_LINE = 65536;
constexpr size_t RECORDING_MAX_REPLY = 1024;

// What arrived during one poll or wait: the messages queued, and where the pointer ended up.
struct RecordedInput {
    std::vector<Message> messages;
    bool pointerMoved = false;
    int x = 0;
    int y = 0;
    bool Empty() const { return messages.empty() && !pointerMoved; }
    bool operator==(const RecordedInput& other) const;
};

enum class GatherKind { WAIT, POLL };

struct RecordedGather {
    GatherKind kind = GatherKind::WAIT;
    int32_t late = 0;     // a wait: the clock at its end minus its deadline (< 0: input came)
    uint32_t poll = 0;    // a poll: which one since the last wait, from 1
    uint32_t repeat = 1;  // a wait without input: so many alike in a row
    RecordedInput input;
    int line = 0;  // where it stands in the file (0 when made, not read)
};

enum class AnswerKind { VOICE_PLAYING, VOICE_STARTS, MUSIC, SEARCH_READY };

struct RecordedAnswer {
    AnswerKind kind = AnswerKind::VOICE_PLAYING;
    bool yes = false;     // the voice sounds / the voice started / the search has its move
    uint32_t result = 0;  // a music command's result
    std::string reply;    // and its reply text
    uint32_t repeat = 1;  // so many alike in a row
    int line = 0;
    bool SameAs(const RecordedAnswer& other) const;
};

struct RecordingHeader {
    std::string game;  // the version of the program that made it
    std::string made;  // "sdl" or "headless"
    uint32_t seed = 0;
    uint32_t clock = 0;  // the clock's first reading
    std::string data;    // fingerprint of the data folder, 16 hex digits
    // The player's settings the session started with, as the game wrote them (one word of
    // printable characters, no spaces); "" when the header has no settings line.
    std::string settings;
    // The computer opponent, "SIDES LEVEL" ("second 2"); "" when the session was started
    // without one (the line is then left out).
    std::string computer;
};

struct Recording {
    RecordingHeader header;
    std::vector<RecordedGather> gathers;
    std::vector<RecordedAnswer> answers;
    bool ended = false;      // the end line is there (a session cut short has none)
    int exitStatus = 0;      // the session's exit status
    uint32_t exitClock = 0;  // how far the clock moved in the wait the session ended in
    int endLine = 0;
    int lineCount = 0;
};

// Reads a recording. False, with *error saying what is wrong and on which line, when the text
// is not a recording, is of another format or another version of the program than `version`,
// or is damaged (a malformed line, a header field missing or twice, a sum that does not match
// the lines above the end line, anything after it).
bool ParseRecording(const std::string& text, const std::string& version, Recording* out,
                    std::string* error);

// Writes a recording line by line through `sink` (each line without its newline), merging
// runs of alike items as they come. Lines are handed over as soon as they are complete, so a
// session that is cut short leaves every line but the runs still open.
class RecordingWriter {
public:
    using Sink = std::function<void(const std::string& line)>;
    explicit RecordingWriter(Sink sink) : sink_(std::move(sink)) {}

    void Header(const RecordingHeader& header);
    void Wait(int32_t late, const RecordedInput& input, uint32_t repeat = 1);
    // Only polls that brought input are written; index counts every poll since the last wait.
    void Poll(uint32_t index, const RecordedInput& input);
    void Answer(const RecordedAnswer& answer);
    // Writes the runs still open.
    void CloseRuns();
    void End(int status, uint32_t exitClock);

private:
    void Emit(const std::string& line);
    void CloseWaitRun();
    void CloseAnswerRun();

    Sink sink_;
    uint64_t sum_ = 0;
    bool summing_ = false;
    bool waitOpen_ = false;
    int32_t waitLate_ = 0;
    uint32_t waitCount_ = 0;
    bool answerOpen_ = false;
    RecordedAnswer answer_;
};

// The whole recording as text, the gathers before the answers (for tests and the fuzzer).
std::string RecordingText(const Recording& recording);

// A fingerprint of the data folder "DATA" under dir: its files' names, sizes and bytes, in
// name order, leaving out the blend table (rebuilt at will) and hidden files.
std::string DataFingerprint(const std::string& dir);
