// Recording a session into a file and replaying one from it (see session.h).
#include "platform/session/session.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "platform/core/input.h"
#include "platform/session/recording.h"

namespace {

// Open runs are written out at least this often (in clock milliseconds), so a session that
// ends without its end line (a crash, a kill) loses at most about this much of its end.
constexpr uint32_t RUN_FLUSH_MS = 1000;

enum class Mode { NONE, RECORD, REPLAY };

struct RecordingFile {
    std::string path;
    std::FILE* file = nullptr;
    std::unique_ptr<RecordingWriter> writer;
    bool started = false;
    bool writeFailed = false;
    bool gathering = false;
    RecordedInput input;
    int startX = 0;
    int startY = 0;
    uint32_t polls = 0;  // top-level polls since the last wait
    uint32_t runsSince = 0;
};

struct Replayer {
    std::string path;
    Recording recording;
    size_t gather = 0;
    uint32_t gatherDone = 0;  // repeats of the current gather already replayed
    size_t answer = 0;
    uint32_t answerDone = 0;
    uint32_t polls = 0;
    bool failed = false;
};

Mode Current = Mode::NONE;
RecordingFile Rec;
Replayer Play;
uint32_t GivenSeed = 0;
std::string GivenSettings;
std::string GivenComputer;
std::string Version;

void WriteLine(const std::string& line) {
    if (Rec.file == nullptr || Rec.writeFailed) return;
    std::fputs(line.c_str(), Rec.file);
    std::fputc('\n', Rec.file);
    if (std::fflush(Rec.file) != 0 || std::ferror(Rec.file)) {
        Rec.writeFailed = true;
        std::fprintf(stderr, "kelmorav: cannot write the recording %s: %s\n", Rec.path.c_str(),
                     std::strerror(errno));
    }
}

[[noreturn]] void ReplayFails(const std::string& why) {
    std::fprintf(stderr, "kelmorav: %s: %s\n", Play.path.c_str(), why.c_str());
    Play.failed = true;
    PlatformExit(2);
}

[[noreturn]] void WentAnotherWay(int line) {
    ReplayFails("the replay went another way than the recording at line " + std::to_string(line) +
                " (a damaged recording, or one made with other data)");
}

// The line the replay has reached, for messages.
int ReplayLine() {
    const Recording& r = Play.recording;
    int line = r.lineCount;
    if (Play.gather < r.gathers.size()) line = r.gathers[Play.gather].line;
    if (Play.answer < r.answers.size()) line = std::min(line, r.answers[Play.answer].line);
    return line;
}

[[noreturn]] void RecordingStopsShort() {
    ReplayFails("the recording stops at line " + std::to_string(Play.recording.lineCount) +
                " without its end line (the session did not finish, or the file was cut)");
}

void ApplyInput(const RecordedInput& input) {
    for (const Message& m : input.messages) InputPushMessage(m);
    if (input.pointerMoved) InputSetPointer(input.x, input.y);
}

bool LoadReplay(const std::string& path, const std::string& version) {
    Play.path = path;
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec) {
        std::fprintf(stderr, "kelmorav: cannot read the recording %s: %s\n", path.c_str(),
                     ec.message().c_str());
        return false;
    }
    if (size > RECORDING_MAX_BYTES) {
        std::fprintf(stderr, "kelmorav: %s: larger than any recording\n", path.c_str());
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    if (!in) {
        std::fprintf(stderr, "kelmorav: cannot read the recording %s\n", path.c_str());
        return false;
    }
    std::string error;
    if (!ParseRecording(text.str(), version, &Play.recording, &error)) {
        std::fprintf(stderr, "kelmorav: %s: %s\n", path.c_str(), error.c_str());
        return false;
    }
    return true;
}

const RecordedAnswer& NextAnswer(AnswerKind kind) {
    const Recording& r = Play.recording;
    if (Play.answer >= r.answers.size()) {
        if (!r.ended) RecordingStopsShort();
        WentAnotherWay(r.endLine);
    }
    const RecordedAnswer& a = r.answers[Play.answer];
    if (a.kind != kind) WentAnotherWay(a.line);
    if (++Play.answerDone == a.repeat) {
        ++Play.answer;
        Play.answerDone = 0;
    }
    return a;
}

void NoteAnswer(AnswerKind kind, bool yes) {
    RecordedAnswer answer;
    answer.kind = kind;
    answer.yes = yes;
    if (Rec.writer) Rec.writer->Answer(answer);
}

// The session as the core sees it.
class Session final : public Recorder {
public:
    void Start(uint32_t clock) override;
    void Abandon() override;
    bool Recording() const override;
    void GatherBegin(int x, int y) override;
    void NoteMessage(const Message& message) override;
    void GatherEnd(bool wait, int32_t late, uint32_t clock, int x, int y) override;
    bool VoicePlaying(bool live) override;
    bool VoiceStarts(bool live) override;
    void MusicAnswer(uint32_t* result, std::string* reply) override;
    bool SearchReady(bool live) override;
    int End(int status, uint32_t exitClock) override;
};

// A recording is being written: its header is out and its end is not.
bool Writing() { return Current == Mode::RECORD && Rec.started; }

}  // namespace

bool SessionOpen(const PlatformOptions& options, const std::string& version) {
    GivenSeed = options.seed;
    GivenSettings = options.sessionSettings;
    GivenComputer = options.computer;
    Version = version;
    if (!options.replayPath.empty()) {
        if (!LoadReplay(options.replayPath, version)) PlatformExit(2);
        Current = Mode::REPLAY;
        return true;
    }
    if (options.recordPath.empty()) return true;
    Rec.path = std::filesystem::absolute(options.recordPath).string();
    Rec.file = std::fopen(Rec.path.c_str(), "w");
    if (Rec.file == nullptr) {
        std::fprintf(stderr, "kelmorav: cannot write the recording %s: %s\n", Rec.path.c_str(),
                     std::strerror(errno));
        return false;
    }
    Rec.writer = std::make_unique<RecordingWriter>(WriteLine);
    Current = Mode::RECORD;
    return true;
}

void Session::Start(uint32_t clock) {
    const std::string data = DataFingerprint(".");
    if (Current == Mode::REPLAY) {
        if (data != Play.recording.header.data) {
            std::fprintf(stderr,
                         "kelmorav: %s was recorded with other data than this DATA; the replay "
                         "may go another way\n",
                         Play.path.c_str());
        }
        return;
    }
    if (Current != Mode::RECORD) return;
    RecordingHeader header;
    header.game = Version;
    header.made = PlatformIsHeadless() ? "headless" : "sdl";
    header.seed = GivenSeed;
    header.clock = clock;
    header.data = data;
    header.settings = GivenSettings;
    header.computer = GivenComputer;
    Rec.writer->Header(header);
    Rec.started = true;
    Rec.runsSince = clock;
}

void Session::Abandon() {
    if (Current != Mode::RECORD || Rec.started || Rec.file == nullptr) return;
    std::fclose(Rec.file);
    Rec.file = nullptr;
    std::remove(Rec.path.c_str());
    Current = Mode::NONE;
}

bool Session::Recording() const { return Writing(); }

Recorder* SessionRecorder() {
    static Session session;
    return &session;
}

bool SessionReplaying() { return Current == Mode::REPLAY; }

uint32_t SessionSeed(uint32_t given) {
    return Current == Mode::REPLAY ? Play.recording.header.seed : given;
}

const std::string& SessionSettings() {
    return Current == Mode::REPLAY ? Play.recording.header.settings : GivenSettings;
}

std::string SessionComputerSetting() {
    return Current == Mode::REPLAY ? Play.recording.header.computer : GivenComputer;
}

uint32_t SessionReplayClockStart() { return Play.recording.header.clock; }

// ---- recording --------------------------------------------------------------------------

void Session::GatherBegin(int x, int y) {
    if (!Writing()) return;
    Rec.gathering = true;
    Rec.input = RecordedInput{};
    Rec.startX = x;
    Rec.startY = y;
}

void Session::NoteMessage(const Message& message) {
    if (Writing() && Rec.gathering) Rec.input.messages.push_back(message);
}

void Session::GatherEnd(bool wait, int32_t late, uint32_t clock, int x, int y) {
    if (!Writing() || !Rec.gathering) return;
    Rec.gathering = false;
    if (x != Rec.startX || y != Rec.startY) {
        Rec.input.pointerMoved = true;
        Rec.input.x = x;
        Rec.input.y = y;
    }
    if (!wait) {
        Rec.writer->Poll(++Rec.polls, Rec.input);
        return;
    }
    Rec.polls = 0;
    Rec.writer->Wait(late, Rec.input);
    if (clock - Rec.runsSince >= RUN_FLUSH_MS) {
        Rec.writer->CloseRuns();
        Rec.runsSince = clock;
    }
}

// ---- replaying ----------------------------------------------------------------------------

void SessionReplayPoll() {
    if (Current != Mode::REPLAY) return;
    ++Play.polls;
    const Recording& r = Play.recording;
    if (Play.gather >= r.gathers.size()) return;
    const RecordedGather& g = r.gathers[Play.gather];
    if (g.kind != GatherKind::POLL) return;
    if (g.poll < Play.polls) WentAnotherWay(g.line);
    if (g.poll > Play.polls) return;
    ++Play.gather;
    ApplyInput(g.input);
}

void SessionReplayWait(uint32_t deadline, uint32_t* clock) {
    if (Current != Mode::REPLAY) return;
    const Recording& r = Play.recording;
    if (Play.gather >= r.gathers.size()) {
        if (!r.ended) RecordingStopsShort();
        // The recorded session ended inside this wait (a script that ran out of time).
        *clock += r.exitClock;
        PlatformExit(r.exitStatus);
    }
    const RecordedGather& g = r.gathers[Play.gather];
    if (g.kind != GatherKind::WAIT) WentAnotherWay(g.line);
    *clock = deadline + static_cast<uint32_t>(g.late);
    Play.polls = 0;
    if (++Play.gatherDone == g.repeat) {
        ++Play.gather;
        Play.gatherDone = 0;
    }
    ApplyInput(g.input);
}

// ---- the sound device's replies -----------------------------------------------------------

bool Session::VoicePlaying(bool live) {
    if (Current == Mode::REPLAY) return NextAnswer(AnswerKind::VOICE_PLAYING).yes;
    if (Writing()) NoteAnswer(AnswerKind::VOICE_PLAYING, live);
    return live;
}

bool Session::VoiceStarts(bool live) {
    if (Current == Mode::REPLAY) return NextAnswer(AnswerKind::VOICE_STARTS).yes;
    if (Writing()) NoteAnswer(AnswerKind::VOICE_STARTS, live);
    return live;
}

void Session::MusicAnswer(uint32_t* result, std::string* reply) {
    if (Current == Mode::REPLAY) {
        const RecordedAnswer& a = NextAnswer(AnswerKind::MUSIC);
        *result = a.result;
        *reply = a.reply;
        return;
    }
    if (Writing()) {
        RecordedAnswer a;
        a.kind = AnswerKind::MUSIC;
        a.result = *result;
        a.reply = *reply;
        if (Rec.writer) Rec.writer->Answer(a);
    }
}

bool Session::SearchReady(bool live) {
    if (Current == Mode::REPLAY) return NextAnswer(AnswerKind::SEARCH_READY).yes;
    if (Writing()) NoteAnswer(AnswerKind::SEARCH_READY, live);
    return live;
}

// ---- the end ------------------------------------------------------------------------------

int Session::End(int status, uint32_t exitClock) {
    if (Current == Mode::RECORD) {
        if (Rec.started) {
            Rec.writer->End(status, exitClock);
        }
        if (Rec.file != nullptr) std::fclose(Rec.file);
        Rec.file = nullptr;
        if (!Rec.started) std::remove(Rec.path.c_str());
        Current = Mode::NONE;
        return status;
    }
    if (Current != Mode::REPLAY || Play.failed) return status;
    Play.failed = true;  // any later call to leave goes straight out
    const ::Recording& r = Play.recording;
    if (Play.gather < r.gathers.size() || Play.answer < r.answers.size()) {
        std::fprintf(stderr, "kelmorav: %s: the game ended before the recording did (line %d)\n",
                     Play.path.c_str(), ReplayLine());
        return 2;
    }
    if (!r.ended) {
        std::fprintf(stderr,
                     "kelmorav: %s: the recording stops at line %d without its end line (the "
                     "session did not finish, or the file was cut)\n",
                     Play.path.c_str(), r.lineCount);
        return 2;
    }
    if (status != r.exitStatus) {
        std::fprintf(stderr, "kelmorav: %s: the game ended with status %d, the recording with %d\n",
                     Play.path.c_str(), status, r.exitStatus);
        return 2;
    }
    return status;
}
