// Recording a session and replaying it, with the built game and its real data: a scripted
// session (a match with moves, a capture, the placing panel, the forfeit, the result, the melt
// and the credits) recorded headless replays with the same trace and final state, and
// recording changes nothing of the run; a session recorded on SDL's dummy drivers (the real
// mixer's replies) replays headless with the same final state and the same trace but for the
// lines only a window writes; a recording that is damaged, foreign or cut short is stopped with
// one line and status 2.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <sstream>

#include "support/headless_runner.h"

namespace {

namespace fs = std::filesystem;
using testfiles::ReadText;
using testfiles::RunProgram;
using testfiles::WriteText;

const char* const SESSION = R"(wait 10200
move 250 380
click 250 380
until SCENE_MATCH 10000
wait 9000
move 384 232
click 384 232
wait 300
move 352 248
click 352 248
wait 2500
move 256 296
click 256 296
wait 300
move 288 280
click 288 280
wait 2500
move 352 248
click 352 248
wait 300
move 320 264
click 320 264
wait 2500
move 128 232
click 128 232
wait 300
move 160 216
click 160 216
wait 2500
move 320 264
click 320 264
wait 300
move 288 280
click 288 280
wait 6000
click 320 240
wait 1500
move 597 96
down left
wait 300
up left
wait 1500
move 288 248
click 288 248
wait 3000
press A 200
wait 500
press S 200
press Z 200
until SCENE_RESULT 20000
wait 4000
click 300 300
until SCENE_TITLE 15000
wait 500
click 300 300
wait 1500
move 300 466
click 300 466
until SCENE_CREDITS 5000
wait 3000
press ESC
)";

std::string Game() { return std::string(KELMORAV_BUILD_DIR) + "/kelmorav"; }

struct Outcome {
    int status = -1;
    std::string trace;
    std::string dump;
    std::string err;
};

// Runs the game on the build's data with the arguments given; the trace, the final dump and
// stderr are read from `dir` under the run's name.
Outcome Play(const fs::path& dir, const std::string& name, std::vector<std::string> args) {
    const fs::path trace = dir / (name + ".trace");
    const fs::path dump = dir / (name + ".dump");
    const fs::path err = dir / (name + ".err");
    args.insert(args.begin(), Game());
    const std::vector<std::string> common = {"--data",       KELMORAV_BUILD_DIR, "--trace",
                                             trace.string(), "--dump-at-end",    dump.string()};
    args.insert(args.end(), common.begin(), common.end());
    Outcome r;
    r.status = RunProgram(args, err);
    r.trace = ReadText(trace);
    r.dump = ReadText(dump);
    r.err = ReadText(err);
    return r;
}

// The scripted session, recorded into dir/session.rec once for all the tests here.
class RecordReplay : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        Dir = new fs::path(testfiles::FreshDir("record-replay"));
        WriteText(*Dir / "session.txt", SESSION);
        Recorded = new Outcome(
            Play(*Dir, "recorded",
                 {"--headless", "--seed", "11", "--script", (*Dir / "session.txt").string(),
                  "--record", (*Dir / "session.rec").string()}));
    }
    static void TearDownTestSuite() {
        delete Recorded;
        std::error_code ignored;
        fs::remove_all(*Dir, ignored);
        delete Dir;
    }
    static fs::path* Dir;
    static Outcome* Recorded;
};
fs::path* RecordReplay::Dir = nullptr;
Outcome* RecordReplay::Recorded = nullptr;

TEST_F(RecordReplay, AHeadlessSessionReplaysWithTheSameTraceAndFinalState) {
    ASSERT_EQ(Recorded->status, 0) << Recorded->err;
    // The session is the one meant: a match with voices and music, the result, the credits.
    for (const char* seen :
         {"\"name\":\"SCENE_MATCH\"", "\"name\":\"SCENE_RESULT\"", "\"name\":\"SCENE_CREDITS\"",
          "\"voice\":\"SFX_EXPLOS1\"", "\"voice\":\"SFX_PON2\"", "\"mci\":\"play bgm from 0\""}) {
        EXPECT_NE(Recorded->trace.find(seen), std::string::npos) << seen;
    }
    const Outcome replayed =
        Play(*Dir, "replayed", {"--headless", "--replay", (*Dir / "session.rec").string()});
    EXPECT_EQ(replayed.status, 0) << replayed.err;
    EXPECT_EQ(replayed.err, "");
    EXPECT_TRUE(replayed.trace == Recorded->trace) << "the traces differ";
    EXPECT_EQ(replayed.dump, Recorded->dump);
    EXPECT_FALSE(replayed.dump.empty());
}

TEST_F(RecordReplay, RecordingChangesNothingOfTheRun) {
    const Outcome plain = Play(
        *Dir, "plain", {"--headless", "--seed", "11", "--script", (*Dir / "session.txt").string()});
    EXPECT_EQ(plain.status, 0);
    EXPECT_TRUE(plain.trace == Recorded->trace) << "the traces differ";
    EXPECT_EQ(plain.dump, Recorded->dump);
}

// Presses released before any frame saw them (taps): the start item, a piece, a reach marker,
// the forfeit key and a click on the result. Each press and its release come in one gather of
// the recording, and the replay delivers them to the same frames as the session did.
TEST_F(RecordReplay, ASessionOfTapsReplaysWithTheSameTraceAndFinalState) {
    WriteText(*Dir / "taps.txt",
              "wait 10200\ntap 250 380\nuntil SCENE_MATCH 10000\nwait 9000\ntap 384 232\n"
              "wait 300\ntap 352 248\nwait 2500\ntap L\nwait 300\ntap Z\n"
              "until SCENE_RESULT 20000\nwait 4000\ntap 300 300\nuntil SCENE_TITLE 15000\n"
              "wait 500\npress ESC\n");
    const Outcome recorded =
        Play(*Dir, "taps-recorded",
             {"--headless", "--seed", "11", "--script", (*Dir / "taps.txt").string(), "--record",
              (*Dir / "taps.rec").string()});
    ASSERT_EQ(recorded.status, 0) << recorded.err;
    // The tapped piece hopped to the tapped marker, and the tapped Z forfeited the match.
    EXPECT_NE(recorded.trace.find("\"voice\":\"SFX_JUMP1\""), std::string::npos);
    EXPECT_NE(recorded.trace.find("\"name\":\"SCENE_RESULT\""), std::string::npos);
    EXPECT_NE(ReadText(*Dir / "taps.rec").find(" ld lu @384,232"), std::string::npos);
    const Outcome replayed =
        Play(*Dir, "taps-replayed", {"--headless", "--replay", (*Dir / "taps.rec").string()});
    EXPECT_EQ(replayed.status, 0) << replayed.err;
    EXPECT_EQ(replayed.err, "");
    EXPECT_TRUE(replayed.trace == recorded.trace) << "the traces differ";
    EXPECT_EQ(replayed.dump, recorded.dump);
}

// What a damaged, foreign or cut recording does to a replay: status 2 and one line saying why.
struct Damage {
    const char* name;
    std::function<std::string(const std::string& text)> change;
    std::vector<const char*> said;  // one of these is in the line
};

class DamagedRecording : public RecordReplay, public ::testing::WithParamInterface<Damage> {};

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

// The first line that starts with `start` (after a newline) made into `line`.
std::string ReplaceLine(const std::string& text, const std::string& start,
                        const std::string& line) {
    const size_t at = text.find("\n" + start);
    EXPECT_NE(at, std::string::npos) << start;
    if (at == std::string::npos) return text;
    const size_t end = text.find('\n', at + 1);
    return text.substr(0, at + 1) + line + text.substr(end);
}

std::string Lines(const std::string& text, size_t count) {
    size_t end = 0;
    for (size_t i = 0; i < count && end != std::string::npos; ++i) end = text.find('\n', end + 1);
    return text.substr(0, end == std::string::npos ? text.size() : end + 1);
}

std::string WithoutEnd(const std::string& text) { return text.substr(0, text.rfind("end ")); }

TEST_P(DamagedRecording, StopsWithOneLineAndStatus2) {
    ASSERT_EQ(Recorded->status, 0);
    const std::string text = ReadText(*Dir / "session.rec");
    const fs::path damaged = *Dir / (std::string(GetParam().name) + ".rec");
    WriteText(damaged, GetParam().change(text));
    const Outcome r = Play(*Dir, GetParam().name, {"--headless", "--replay", damaged.string()});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    bool named = false;
    for (const char* said : GetParam().said) named = named || r.err.find(said) != std::string::npos;
    EXPECT_TRUE(named) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Faults, DamagedRecording,
    ::testing::Values(
        Damage{"OtherVersion",
               [](const std::string& t) { return ReplaceLine(t, "game ", "game 0.0.0-other"); },
               {"recorded by kelmorav 0.0.0-other"}},
        Damage{"OtherFormat",
               [](const std::string& t) {
                   return Replace(t, "kelmorav-recording 1", "kelmorav-recording 2");
               },
               {"a recording of format 2"}},
        Damage{"NotARecording",
               [](const std::string&) { return std::string(SESSION); },
               {"not a kelmorav recording"}},
        Damage{"DigitChanged",
               [](const std::string& t) { return Replace(t, "\nw 0 x4", "\nw 0 x5"); },
               {"the sum does not match"}},
        Damage{"CutInsideALine",
               [](const std::string& t) { return t.substr(0, t.find(" @250,380") + 4); },
               {"a pointer position is @X,Y"}},
        Damage{"CutInHalf",
               [](const std::string& t) { return Lines(t, 60); },
               {"without its end line"}},
        Damage{"InputLost",
               [](const std::string& t) {
                   return Replace(WithoutEnd(t), " ld @250,380", " @250,380");
               },
               {"went another way", "ended before the recording did"}},
        Damage{"EscapeAdded",
               [](const std::string& t) { return ReplaceLine(WithoutEnd(t), "w 0 x", "w 0 k+27"); },
               {"went another way"}},
        Damage{"WaitsAfterTheQuit",
               [](const std::string& t) {
                   const size_t escape = t.find(" k+27\n");
                   return WithoutEnd(t).insert(escape + 6, "w 0 x5\n");
               },
               {"the game ended before the recording did"}}),
    [](const ::testing::TestParamInfo<Damage>& info) { return std::string(info.param.name); });

TEST_F(RecordReplay, AMissingRecordingOrAClashingOptionIsStatus2) {
    const Outcome missing =
        Play(*Dir, "missing", {"--headless", "--replay", (*Dir / "nothing.rec").string()});
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("cannot read the recording"), std::string::npos) << missing.err;
    const Outcome clash =
        Play(*Dir, "clash", {"--replay", (*Dir / "session.rec").string(), "--seed", "3"});
    EXPECT_EQ(clash.status, 2);
    EXPECT_NE(clash.err.find("leave out --seed"), std::string::npos) << clash.err;
    const Outcome computer =
        Play(*Dir, "computer-clash", {"--replay", (*Dir / "session.rec").string(), "--level", "2"});
    EXPECT_EQ(computer.status, 2);
    EXPECT_NE(computer.err.find("leave out --computer"), std::string::npos) << computer.err;
}

// Against the computer: side 1 is the computer's from the command line, and side 0 is handed to
// it with the P key during its first turn, so both play on by themselves. The recording names
// the computer and holds its answers, and replays to the same trace and final state without
// being told of the computer again. The forfeit key still ends the match while the computer
// plays both sides.
const char* const AGAINST_THE_COMPUTER = R"(wait 10200
move 250 380
click 250 380
until SCENE_MATCH 10000
wait 9000
press P
wait 30000
press Z
until SCENE_RESULT 20000
wait 1000
)";

TEST_F(RecordReplay, ASessionAgainstTheComputerReplaysWithTheSameTraceAndFinalState) {
    WriteText(*Dir / "computer.txt", AGAINST_THE_COMPUTER);
    const fs::path rec = *Dir / "computer.rec";
    const Outcome recorded =
        Play(*Dir, "computer",
             {"--headless", "--seed", "5", "--script", (*Dir / "computer.txt").string(),
              "--computer", "second", "--level", "1", "--record", rec.string()});
    ASSERT_EQ(recorded.status, 0) << recorded.err;
    const std::string text = ReadText(rec);
    EXPECT_NE(text.find("\ncomputer second 1\n"), std::string::npos);
    EXPECT_NE(text.find("\nc 1"), std::string::npos);
    // Both sides moved by the computer's hand: a move of each side at least.
    EXPECT_NE(recorded.trace.find("\"hand\""), std::string::npos);
    EXPECT_NE(recorded.dump.find("\"TurnNumber\":"), std::string::npos);
    EXPECT_EQ(recorded.dump.find("\"TurnNumber\":1,"), std::string::npos);
    EXPECT_EQ(recorded.dump.find("\"TurnNumber\":2,"), std::string::npos);
    EXPECT_NE(recorded.trace.find("\"name\":\"SCENE_RESULT\""), std::string::npos);
    const Outcome replayed =
        Play(*Dir, "computer-replayed", {"--headless", "--replay", rec.string()});
    EXPECT_EQ(replayed.status, 0) << replayed.err;
    EXPECT_TRUE(replayed.trace == recorded.trace) << "the traces differ";
    EXPECT_EQ(replayed.dump, recorded.dump);
}

// The lines of a trace but those that only a window writes: how often it presented (it
// presents again when uncovered, and not while minimised) and the way of presenting it chose.
std::string WithoutWindowLines(const std::string& trace) {
    std::string out;
    std::istringstream lines(trace);
    for (std::string line; std::getline(lines, line);) {
        if (line.find("\"present\":") != std::string::npos ||
            line.find("\"presentation\":") != std::string::npos) {
            continue;
        }
        out += line + "\n";
    }
    return out;
}

// The desktop build on SDL's dummy video and audio drivers: the clock is the machine's, the
// voices and the music answer from the real mixer and synthesiser, the run ends on the
// desktop's quit request.
TEST_F(RecordReplay, ASessionRecordedInAWindowReplaysHeadless) {
    const fs::path rec = *Dir / "window.rec";
    const std::string cmd =
        "SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy timeout --preserve-status "
        "-s TERM 5 '" +
        Game() + "' --window --data '" + KELMORAV_BUILD_DIR + "' --trace '" +
        (*Dir / "window.trace").string() + "' --dump-at-end '" + (*Dir / "window.dump").string() +
        "' --record '" + rec.string() + "' 2>/dev/null";
    const int raw = std::system(cmd.c_str());
    ASSERT_TRUE(WIFEXITED(raw));
    ASSERT_EQ(WEXITSTATUS(raw), 0);
    const std::string text = ReadText(rec);
    EXPECT_NE(text.find("\nmade sdl\n"), std::string::npos);
    EXPECT_NE(text.find(" close\n"), std::string::npos);  // the quit request, as input
    const Outcome replayed =
        Play(*Dir, "window-replayed", {"--headless", "--replay", rec.string()});
    EXPECT_EQ(replayed.status, 0) << replayed.err;
    const std::string windowTrace = ReadText(*Dir / "window.trace");
    EXPECT_NE(windowTrace.find("\"frame\""), std::string::npos);
    EXPECT_TRUE(WithoutWindowLines(replayed.trace) == WithoutWindowLines(windowTrace))
        << "the traces differ";
    EXPECT_EQ(replayed.dump, ReadText(*Dir / "window.dump"));
}

// The computer in a window: its search runs on a thread of its own, and the frame in which the
// game learns of its move depends on the machine. With both sides to the computer the title
// starts a demonstration match by itself; the strongest level thinks long enough to be asked
// more than once. The recording keeps each answer, so the replay takes every move in the same
// frame.
TEST_F(RecordReplay, ASessionAgainstTheComputerInAWindowReplaysHeadless) {
    const fs::path rec = *Dir / "window-computer.rec";
    const std::string cmd =
        "SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy timeout --preserve-status "
        "-s TERM 32 '" +
        Game() + "' --window --computer both --level 5 --data '" + KELMORAV_BUILD_DIR +
        "' --trace '" + (*Dir / "window-computer.trace").string() + "' --dump-at-end '" +
        (*Dir / "window-computer.dump").string() + "' --record '" + rec.string() + "' 2>/dev/null";
    const int raw = std::system(cmd.c_str());
    ASSERT_TRUE(WIFEXITED(raw));
    ASSERT_EQ(WEXITSTATUS(raw), 0);
    const std::string text = ReadText(rec);
    EXPECT_NE(text.find("\ncomputer both 5\n"), std::string::npos);
    EXPECT_NE(text.find("\nc 1"), std::string::npos) << "no move was made";
    const std::string windowTrace = ReadText(*Dir / "window-computer.trace");
    EXPECT_NE(windowTrace.find("\"voice\":\"SFX_JUMP1\""), std::string::npos);
    const Outcome replayed =
        Play(*Dir, "window-computer-replayed", {"--headless", "--replay", rec.string()});
    EXPECT_EQ(replayed.status, 0) << replayed.err;
    EXPECT_TRUE(WithoutWindowLines(replayed.trace) == WithoutWindowLines(windowTrace))
        << "the traces differ";
    EXPECT_EQ(replayed.dump, ReadText(*Dir / "window-computer.dump"));
}

}  // namespace
