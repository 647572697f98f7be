// Session recordings as text: every malformed or foreign input is refused with a message that
// names what is wrong (and the line), what the writer writes reads back the same (runs split
// at the longest count a line may hold, replies of any bytes), and what a reader may meet from
// a player's hands (CRLF, tabs, comments, a file cut short) still reads.
#include "platform/session/recording.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string VERSION = "1.0.0";
const std::string HEADER =
    "kelmorav-recording 1\ngame 1.0.0\nmade headless\nseed 5\nclock 1000000\n"
    "data 0123456789abcdef\n";

// A complete recording with a correct sum, written by the writer.
std::string Complete() {
    Recording r;
    r.header = RecordingHeader{"1.0.0", "sdl", 7, 4294967000u, "00ff00ff00ff00ff", "", ""};
    RecordedGather wait;
    wait.late = 3;
    wait.repeat = 4;
    r.gathers.push_back(wait);
    RecordedGather poll;
    poll.kind = GatherKind::POLL;
    poll.poll = 2;
    poll.input.messages = {{MessageType::KeyDown, 90}};
    r.gathers.push_back(poll);
    RecordedAnswer status;
    status.kind = AnswerKind::MUSIC;
    status.reply = "playing";
    status.repeat = 9;
    r.answers.push_back(status);
    r.ended = true;
    return RecordingText(r);
}

std::string WithLine(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

struct Malformed {
    const char* name;
    std::string text;
    const char* error;  // a part of the message
};

class RecordingRefused : public ::testing::TestWithParam<Malformed> {};

TEST_P(RecordingRefused, WithAMessageNamingTheFault) {
    Recording r;
    std::string error;
    EXPECT_FALSE(ParseRecording(GetParam().text, VERSION, &r, &error));
    EXPECT_NE(error.find(GetParam().error), std::string::npos) << error;
}

std::vector<Malformed> MalformedCases() {
    const std::string longLine(RECORDING_MAX_LINE + 1, 'w');
    std::string manyWords = "w 0";
    for (int i = 0; i < 1100; ++i) manyWords += " ld";
    return {
        {"Empty", "", "not a kelmorav recording"},
        {"APicture", std::string("\x89PNG\r\n\x1a\n\0\0", 10), "not a kelmorav recording"},
        {"ScriptInstead", "wait 100\nclick 3 4\n", "not a kelmorav recording"},
        {"CommentFirst", "# hello\n" + HEADER, "not a kelmorav recording"},
        {"OtherFormat", "kelmorav-recording 2\n", "a recording of format 2"},
        {"NoFormat", "kelmorav-recording\n", "line 1: expected"},
        {"HugeFormat", "kelmorav-recording 99999999999999999999\n", "line 1: expected"},
        {"OtherVersion", WithLine(HEADER, "game 1.0.0", "game 0.9.0"),
         "recorded by kelmorav 0.9.0; this is kelmorav 1.0.0"},
        {"LongVersion", WithLine(HEADER, "game 1.0.0", "game " + std::string(80, '9')),
         "longer than any"},
        {"NoSeedBeforeInput", WithLine(HEADER, "seed 5\n", "") + "w 0\n",
         "line 6: the header lacks its seed line"},
        {"HeaderOnlyPart", "kelmorav-recording 1\ngame 1.0.0\n", "the header lacks its made"},
        {"SeedTwice", HEADER + "seed 6\n", "line 7: a second seed line"},
        {"SeedAbove32Bits", WithLine(HEADER, "seed 5", "seed 4294967296"), "a seed from 0"},
        {"NegativeSeed", WithLine(HEADER, "seed 5", "seed -1"), "a seed from 0"},
        {"NegativeClock", WithLine(HEADER, "clock 1000000", "clock -5"), "a clock from 0"},
        {"MadeElsewhere", WithLine(HEADER, "made headless", "made windows"), "sdl or headless"},
        {"ShortData", WithLine(HEADER, "0123456789abcdef", "12345"), "16 hex digits"},
        {"HeaderWithTwoValues", WithLine(HEADER, "seed 5", "seed 5 6"), "expected: seed VALUE"},
        {"SettingsWithoutValue", HEADER + "settings\n", "expected: settings VALUE"},
        {"SettingsWithSpaces", HEADER + "settings music=7 labels=on\n", "expected: settings"},
        {"SettingsTwice", HEADER + "settings music=7\nsettings music=8\n", "a second settings"},
        {"SettingsTooLong", HEADER + "settings " + std::string(600, 'a') + "\n", "longer than any"},
        {"WaitWithoutLateness", HEADER + "w\n", "line 7: expected: w LATE"},
        {"LatenessPastInt32", HEADER + "w 2147483648\n", "expected: w LATE"},
        {"LatenessBelowInt32", HEADER + "w -2147483649\n", "expected: w LATE"},
        {"CountZero", HEADER + "w 0 x0\n", "a count from x1"},
        {"CountAboveTheLimit", HEADER + "w 0 x1000001\n", "a count from x1"},
        {"CountNearTwoTo32", HEADER + "v 1 x4294967295\n", "a count from x1"},
        {"RunWithInput", HEADER + "w 0 ld x3\n", "a run of waits brings no input"},
        {"PointerWithoutY", HEADER + "w 0 @1\n", "a pointer position is @X,Y"},
        {"PointerNotANumber", HEADER + "w 0 @a,2\n", "a pointer position is @X,Y"},
        {"PointerPastInt32", HEADER + "w 0 @1,2147483648\n", "a pointer position is @X,Y"},
        {"TwoPointers", HEADER + "w 0 @1,2 @3,4\n", "two pointer positions"},
        {"KeyWithoutCode", HEADER + "w 0 k+\n", "unknown input"},
        {"KeyPast32Bits", HEADER + "w 0 k+4294967296\n", "unknown input"},
        {"UnknownInput", HEADER + "p 1 zz\n", "unknown input \"zz\""},
        {"PollZero", HEADER + "p 0 ld\n", "expected: p INDEX"},
        {"PollWithoutInput", HEADER + "p 3\n", "expected: p INDEX"},
        {"VoiceNotABit", HEADER + "v 2\n", "expected: v 0|1"},
        {"StartWithoutBit", HEADER + "s\n", "expected: s 0|1"},
        {"MusicWithoutReply", HEADER + "m 0\n", "expected: m RESULT REPLY"},
        {"ReplyEscapeCut", HEADER + "m 0 play%2\n", "expected: m RESULT REPLY"},
        {"ReplyEscapeNotHex", HEADER + "m 0 %zz\n", "expected: m RESULT REPLY"},
        {"ReplyTooLong", HEADER + "m 0 " + std::string(RECORDING_MAX_REPLY + 1, 'a') + "\n",
         "expected: m RESULT REPLY"},
        {"NegativeResult", HEADER + "m -1 -\n", "expected: m RESULT REPLY"},
        {"SearchNotABit", HEADER + "c 2\n", "expected: c 0|1"},
        {"ComputerWithoutLevel", HEADER + "computer both\n", "expected: computer"},
        {"ComputerLevelSix", HEADER + "computer first 6\n", "expected: computer"},
        {"ComputerLevelZero", HEADER + "computer first 0\n", "expected: computer"},
        {"ComputerSideUnknown", HEADER + "computer third 3\n", "expected: computer"},
        {"ComputerTwice", HEADER + "computer first 3\ncomputer both 3\n",
         "line 8: a second computer line"},
        {"UnknownLine", HEADER + "q 1\n", "line 7: unknown line"},
        {"EndWithoutSum", HEADER + "end 0 0\n", "expected: end STATUS CLOCK SUM"},
        {"EndStatusAbove255", HEADER + "end 256 0 0000000000000000\n", "expected: end STATUS"},
        {"DamagedLine", WithLine(Complete(), "w 3 x4", "w 3 x5"), "the sum does not match"},
        {"LineAdded", WithLine(Complete(), "p 2", "v 1\np 2"), "the sum does not match"},
        {"AfterTheEnd", Complete() + "w 0\n", "nothing may follow the end line"},
        {"ControlByte", HEADER + std::string("w 0\x01\n"), "line 7: a byte that is not"},
        {"NulByte", HEADER + std::string("w 0\0\n", 5), "line 7: a byte that is not"},
        {"HighByte", HEADER + "m 0 \xc3\xa9\n", "line 7: a byte that is not"},
        {"LineTooLong", HEADER + longLine + "\n", "line 7: longer than any line"},
        {"TooManyWords", HEADER + manyWords + "\n", "line 7: more words"},
    };
}

INSTANTIATE_TEST_SUITE_P(Inputs, RecordingRefused, ::testing::ValuesIn(MalformedCases()),
                         [](const ::testing::TestParamInfo<Malformed>& info) {
                             return std::string(info.param.name);
                         });

TEST(RecordingRead, EveryInputWordInOrder) {
    Recording r;
    std::string error;
    ASSERT_TRUE(ParseRecording(HEADER + "w -5 ld lu l2 rd ru r2 close k+27 k-112 @-3,9999\n",
                               VERSION, &r, &error))
        << error;
    ASSERT_EQ(r.gathers.size(), 1u);
    const RecordedGather& g = r.gathers[0];
    EXPECT_EQ(g.late, -5);
    const std::vector<MessageType> types = {
        MessageType::LButtonDown, MessageType::LButtonUp, MessageType::LButtonDblClk,
        MessageType::RButtonDown, MessageType::RButtonUp, MessageType::RButtonDblClk,
        MessageType::Close,       MessageType::KeyDown,   MessageType::KeyUp};
    ASSERT_EQ(g.input.messages.size(), types.size());
    for (size_t i = 0; i < types.size(); ++i) EXPECT_EQ(g.input.messages[i].type, types[i]);
    EXPECT_EQ(g.input.messages[7].wparam, 27u);
    EXPECT_EQ(g.input.messages[8].wparam, 112u);
    EXPECT_TRUE(g.input.pointerMoved);
    EXPECT_EQ(g.input.x, -3);
    EXPECT_EQ(g.input.y, 9999);
}

// A recording mailed through a system with other line ends, re-spaced by an editor, annotated
// by its player, still reads, and its sum still holds.
TEST(RecordingRead, CrlfTabsSpacesAndCommentsLeaveTheSumWhole) {
    std::string text = Complete();
    std::string edited;
    for (char c : text) {
        if (c == '\n') {
            edited += "  \r\n# a note\r\n";
        } else {
            edited += c == ' ' ? std::string("\t  ") : std::string(1, c);
        }
    }
    Recording r;
    std::string error;
    ASSERT_TRUE(ParseRecording(edited, VERSION, &r, &error)) << error;
    EXPECT_TRUE(r.ended);
    EXPECT_EQ(r.header.clock, 4294967000u);
    ASSERT_EQ(r.gathers.size(), 2u);
    EXPECT_EQ(r.gathers[0].repeat, 4u);
    EXPECT_EQ(r.answers.at(0).repeat, 9u);
}

TEST(RecordingRead, ARecordingCutShortReadsWithoutItsEnd) {
    const std::string text = Complete();
    Recording r;
    std::string error;
    ASSERT_TRUE(ParseRecording(text.substr(0, text.find("end ")), VERSION, &r, &error)) << error;
    EXPECT_FALSE(r.ended);
    EXPECT_EQ(r.gathers.size(), 2u);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        out.push_back(text.substr(start, end - start));
    }
    return out;
}

// A long idle stretch is one run; a run longer than a line may hold is split, and the reader
// takes every piece (a writer that wrote the whole count would make recordings of long
// sessions unreadable).
TEST(RecordingWrite, RunsMergeAndSplitAtTheLongestCount) {
    std::vector<std::string> lines;
    RecordingWriter writer([&](const std::string& line) { lines.push_back(line); });
    writer.Header(RecordingHeader{"1.0.0", "headless", 1, 2, "0000000000000000", "", ""});
    lines.clear();
    writer.Wait(0, {}, 2 * RECORDING_MAX_REPEAT + 7);
    writer.Wait(0, {});
    writer.Wait(-2, {});
    writer.Poll(4, {});  // nothing came: nothing written
    RecordedAnswer playing;
    playing.kind = AnswerKind::MUSIC;
    playing.reply = "playing";
    writer.Answer(playing);
    writer.Answer(playing);
    RecordedAnswer stopped = playing;
    stopped.reply = "stopped";
    writer.Answer(stopped);
    writer.CloseRuns();
    const std::vector<std::string> expected = {"w 0 x1000000",   "w 0 x1000000", "w 0 x8",
                                               "m 0 playing x2", "w -2",         "m 0 stopped"};
    EXPECT_EQ(lines, expected);
}

TEST(RecordingWrite, WhatIsWrittenReadsBackTheSame) {
    Recording r;
    r.header = RecordingHeader{
        "1.0.0", "headless", 4294967295u, 0, "fedcba9876543210", "music=3,labels=on", "second 5"};
    RecordedGather moved;
    moved.late = -2147483647 - 1;
    moved.input.pointerMoved = true;
    moved.input.x = -1;
    moved.input.y = 480;
    moved.input.messages = {{MessageType::KeyDown, 4294967295u}, {MessageType::Close, 0}};
    r.gathers.push_back(moved);
    RecordedGather poll;
    poll.kind = GatherKind::POLL;
    poll.poll = 4294967295u;
    poll.input.messages = {{MessageType::RButtonDblClk, 0}};
    r.gathers.push_back(poll);
    // Replies of any bytes, among them those that would read as "none" or as a count.
    for (const std::string reply : {"", "-", "x3", "a b", "100%", "\x01\xff", "%2D"}) {
        RecordedAnswer a;
        a.kind = AnswerKind::MUSIC;
        a.result = 4;
        a.reply = reply;
        r.answers.push_back(a);
    }
    RecordedAnswer started;
    started.kind = AnswerKind::VOICE_STARTS;
    started.yes = true;
    r.answers.push_back(started);
    // The computer's search, not ready twice and then ready: a run each, not merged with the
    // voice's answer of the same bit.
    RecordedAnswer thinking;
    thinking.kind = AnswerKind::SEARCH_READY;
    thinking.repeat = 2;
    r.answers.push_back(thinking);
    thinking.yes = true;
    thinking.repeat = 1;
    r.answers.push_back(thinking);
    r.ended = true;
    r.exitStatus = 3;
    r.exitClock = 250;
    const std::string text = RecordingText(r);
    Recording back;
    std::string error;
    ASSERT_TRUE(ParseRecording(text, VERSION, &back, &error)) << error << "\n" << text;
    EXPECT_EQ(back.header.seed, r.header.seed);
    EXPECT_EQ(back.header.made, "headless");
    EXPECT_EQ(back.header.settings, "music=3,labels=on");
    EXPECT_EQ(back.header.computer, "second 5");
    ASSERT_EQ(back.gathers.size(), 2u);
    EXPECT_EQ(back.gathers[0].late, moved.late);
    EXPECT_TRUE(back.gathers[0].input == moved.input);
    EXPECT_EQ(back.gathers[1].poll, 4294967295u);
    EXPECT_TRUE(back.gathers[1].input == poll.input);
    ASSERT_EQ(back.answers.size(), r.answers.size());
    for (size_t i = 0; i < r.answers.size(); ++i) {
        EXPECT_TRUE(back.answers[i].SameAs(r.answers[i])) << i << ": " << back.answers[i].reply;
        EXPECT_EQ(back.answers[i].repeat, r.answers[i].repeat) << i;
    }
    EXPECT_EQ(back.exitStatus, 3);
    EXPECT_EQ(back.exitClock, 250u);
    EXPECT_EQ(RecordingText(back), text);
    EXPECT_EQ(Lines(text).back().substr(0, 9), "end 3 250");
}

}  // namespace
