// The music device: the command vocabulary with its doubled blanks, the sequencer's behaviour
// in virtual time, the trace of every command, and the per-frame restart.
#include "media/music.h"

#include <filesystem>
#include <memory>

#include "media/resources.h"
#include "platform/audio/fluid_music.h"
#include "platform/audio/mci.h"
#include "platform/audio/sound_font.h"
#include "support/sound_fixture.h"
#include "support/sound_test_files.h"

using namespace soundtest;

namespace {

// --- parsing -----------------------------------------------------------------------------------

struct ParseCase {
    const char* text;
    bool accepted;
    MciVerb verb = MciVerb::PLAY;
    const char* alias = "";
    const char* file = "";
    bool fromStart = false;
};

class MciParse : public ::testing::TestWithParam<ParseCase> {};

TEST_P(MciParse, GameVocabularyAndNothingElse) {
    const ParseCase& c = GetParam();
    MciCommand command;
    ASSERT_EQ(ParseMciCommand(c.text, &command), c.accepted) << "'" << c.text << "'";
    if (!c.accepted) return;
    EXPECT_EQ(command.verb, c.verb);
    EXPECT_EQ(command.alias, c.alias);
    EXPECT_EQ(command.file, c.file);
    EXPECT_EQ(command.fromStart, c.fromStart);
}

INSTANTIATE_TEST_SUITE_P(Commands, MciParse,
                         ::testing::Values(
                             // Every string the game sends, blanks exactly as sent.
                             ParseCase{"open  DATA\\BGM\\BGM1.mid alias bgm type sequencer", true,
                                       MciVerb::OPEN, "bgm", "DATA\\BGM\\BGM1.mid"},
                             ParseCase{"open DATA\\BGM\\BGM2.mid alias bgm type sequencer", true,
                                       MciVerb::OPEN, "bgm", "DATA\\BGM\\BGM2.mid"},
                             ParseCase{"open DATA\\BGM\\BGM3.mid alias bgm type sequencer", true,
                                       MciVerb::OPEN, "bgm", "DATA\\BGM\\BGM3.mid"},
                             ParseCase{"play  bgm", true, MciVerb::PLAY, "bgm"},
                             ParseCase{"play bgm", true, MciVerb::PLAY, "bgm"},
                             ParseCase{"play bgm from 0", true, MciVerb::PLAY, "bgm", "", true},
                             ParseCase{"status bgm mode", true, MciVerb::STATUS_MODE, "bgm"},
                             ParseCase{"stop  bgm", true, MciVerb::STOP, "bgm"},
                             ParseCase{"close bgm", true, MciVerb::CLOSE, "bgm"},
                             // Outside the vocabulary.
                             ParseCase{"", false}, ParseCase{"   ", false},
                             ParseCase{"open DATA\\BGM\\BGM1.mid alias bgm", false},
                             ParseCase{"open DATA\\BGM\\BGM1.mid bgm type sequencer", false},
                             ParseCase{"open alias bgm type sequencer", false},
                             ParseCase{"open DATA\\BGM\\BGM1.mid alias bgm type waveaudio", false},
                             ParseCase{"play", false}, ParseCase{"play bgm from", false},
                             ParseCase{"play bgm from x", false}, ParseCase{"play bgm to 0", false},
                             ParseCase{"status bgm", false},
                             ParseCase{"status bgm position", false}, ParseCase{"stop", false},
                             ParseCase{"stop bgm now", false}, ParseCase{"pause bgm", false},
                             ParseCase{"close", false}, ParseCase{"play\tbgm", false}));

// --- the device in virtual time ----------------------------------------------------------------

class MusicDeviceTest : public SimulatedAudioTest {
protected:
    void SetUp() override {
        SimulatedAudioTest::SetUp();
        dir.Write("DATA/BGM/BGM1.mid", MidiLasting(1000));
        dir.Write("DATA/BGM/BGM2.mid", MidiLasting(3000));
        dir.Write("DATA/BGM/BAD.mid", Bytes{'M', 'T', 'h', 'd', 0, 0});
        cwd.emplace(dir.Path());
    }
    void TearDown() override {
        MciSendString("close bgm", nullptr, 0);
        cwd.reset();
        SimulatedAudioTest::TearDown();
    }
    std::string Mode() {
        char reply[20] = {};
        MciSendString("status bgm mode", reply, sizeof reply);
        return reply;
    }

    TempDir dir{"music"};
    std::optional<testfiles::ScopedCwd> cwd;
};

struct Step {
    uint32_t at;
    const char* command;
    uint32_t result;
    const char* reply;
};

TEST_F(MusicDeviceTest, SequencerBehavesInVirtualTime) {
    const Step steps[] = {
        {0, "status bgm mode", MCI_ERR_NOT_OPEN, ""},
        {0, "play bgm", MCI_ERR_NOT_OPEN, ""},
        {0, "open DATA\\BGM\\MISSING.mid alias bgm type sequencer", MCI_ERR_FILE, ""},
        {0, "open DATA\\BGM\\BAD.mid alias bgm type sequencer", MCI_ERR_FILE, ""},
        {0, "status bgm mode", MCI_ERR_NOT_OPEN, ""},
        {0, "open  DATA\\BGM\\BGM1.mid alias bgm type sequencer", MCI_OK, ""},
        {0, "status bgm mode", MCI_OK, "stopped"},  // open, not yet played
        {0, "open DATA\\BGM\\BGM2.mid alias bgm type sequencer", MCI_ERR_ALIAS_TAKEN, ""},
        {10, "play  bgm", MCI_OK, ""},
        {1009, "status bgm mode", MCI_OK, "playing"},
        {1010, "status bgm mode", MCI_OK, "stopped"},  // played to its end
        {1010, "play bgm", MCI_OK, ""},                // at the end: only "from 0" restarts
        {1010, "status bgm mode", MCI_OK, "stopped"},
        {1100, "play bgm from 0", MCI_OK, ""},
        {1500, "play bgm from 100", MCI_ERR_UNSUPPORTED, ""},
        {1500, "status other mode", MCI_ERR_NOT_OPEN, ""},
        {1500, "stop  bgm", MCI_OK, ""},  // 400 ms in
        {9000, "status bgm mode", MCI_OK, "stopped"},
        {9000, "play bgm", MCI_OK, ""},  // continues where it stopped
        {9599, "status bgm mode", MCI_OK, "playing"},
        {9600, "status bgm mode", MCI_OK, "stopped"},
        {9700, "play bgm from 0", MCI_OK, ""},
        {9800, "play bgm from 0", MCI_OK, ""},  // restarts while playing too
        {10799, "status bgm mode", MCI_OK, "playing"},
        {10800, "status bgm mode", MCI_OK, "stopped"},
        {10800, "close bgm", MCI_OK, ""},
        {10800, "close bgm", MCI_ERR_NOT_OPEN, ""},
        {10800, "stop  bgm", MCI_ERR_NOT_OPEN, ""},
        {10800, "open DATA\\BGM\\BGM2.mid alias bgm type sequencer", MCI_OK, ""},
    };
    for (const Step& step : steps) {
        clock = step.at;
        char reply[20] = {'x', 0};
        uint32_t result = MciSendString(step.command, reply, sizeof reply);
        EXPECT_EQ(result, step.result) << step.at << " " << step.command;
        EXPECT_STREQ(reply, step.reply) << step.at << " " << step.command;
    }
}

// The sound device going away or coming back moves the music onto another output: the open
// piece goes with it, one playing starts again from its beginning there, one that had played to
// its end stays at its end, one stopped part-way is held at its beginning.
TEST_F(MusicDeviceTest, AnotherOutputTakesThePieceInItsState) {
    struct Case {
        const char* name;
        const char* piece;         // BGM1 lasts 1 s, BGM2 3 s
        std::vector<Step> before;  // on the first output; the move comes at 1200
        std::vector<Step> after;
    };
    const Case cases[] = {
        {"Playing",
         "BGM2",
         {{0, "play bgm", MCI_OK, ""}},
         {{1200, "status bgm mode", MCI_OK, "playing"},
          {4199, "status bgm mode", MCI_OK, "playing"},
          {4200, "status bgm mode", MCI_OK, "stopped"}}},
        {"RanOutUnasked",
         "BGM1",
         {{0, "play bgm", MCI_OK, ""}},
         {{1200, "status bgm mode", MCI_OK, "stopped"},
          {1200, "play bgm", MCI_OK, ""},
          {1300, "status bgm mode", MCI_OK, "stopped"}}},
        {"StoppedPartWay",
         "BGM1",
         {{0, "play bgm", MCI_OK, ""}, {400, "stop bgm", MCI_OK, ""}},
         {{1200, "status bgm mode", MCI_OK, "stopped"},
          {1500, "play bgm", MCI_OK, ""},
          {2499, "status bgm mode", MCI_OK, "playing"},
          {2500, "status bgm mode", MCI_OK, "stopped"}}},
        {"Closed",
         "BGM1",
         {{0, "close bgm", MCI_OK, ""}},
         {{1200, "status bgm mode", MCI_ERR_NOT_OPEN, ""}}},
    };
    for (const Case& c : cases) {
        auto output = [this] { return std::make_unique<SimulatedMusic>([this] { return clock; }); };
        MciDevice device(output());
        std::string reply;
        const std::string open =
            std::string("open DATA\\BGM\\") + c.piece + ".mid alias bgm type sequencer";
        ASSERT_EQ(device.Send(open.c_str(), &reply), MCI_OK);
        for (const std::vector<Step>* steps : {&c.before, &c.after}) {
            if (steps == &c.after) {
                clock = 1200;
                device.ReplaceOutput(output());
            }
            for (const Step& step : *steps) {
                clock = step.at;
                EXPECT_EQ(device.Send(step.command, &reply), step.result)
                    << c.name << " " << step.at;
                EXPECT_EQ(reply, step.reply) << c.name << " " << step.at << " " << step.command;
            }
        }
    }
}

TEST_F(MusicDeviceTest, TitleSequenceTakesTheAliasFromAnotherPiece) {
    const char* title[] = {"open  DATA\\BGM\\BGM1.mid alias bgm type sequencer", "close bgm",
                           "open  DATA\\BGM\\BGM1.mid alias bgm type sequencer", "play  bgm"};
    for (bool heldByMatch : {false, true}) {
        MciSendString("close bgm", nullptr, 0);
        if (heldByMatch)
            MciSendString("open DATA\\BGM\\BGM2.mid alias bgm type sequencer", nullptr, 0);
        clock = 20000;
        for (const char* command : title) MciSendString(command, nullptr, 0);
        clock = 20999;
        EXPECT_EQ(Mode(), "playing") << heldByMatch;
        clock = 21000;  // BGM1's length, not BGM2's
        EXPECT_EQ(Mode(), "stopped") << heldByMatch;
    }
}

TEST_F(MusicDeviceTest, TraceShowsEachCommandByteForByte) {
    MciSendString("open  DATA\\BGM\\BGM1.mid alias bgm type sequencer", nullptr, 0);
    MciSendString("play  bgm", nullptr, 0);
    char small[4];
    MciSendString("status bgm mode", small, sizeof small);
    EXPECT_STREQ(small, "pla");  // the reply is cut to the caller's buffer
    MciSendString("stop  bgm", nullptr, 0);
    MciSendString("frobnicate", nullptr, 0);
    std::vector<std::string> lines = TraceWith("\"mci\"");
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0],
              "\"mci\":\"open  DATA\\\\BGM\\\\BGM1.mid alias bgm type sequencer\",\"result\":0,"
              "\"reply\":\"\"");
    EXPECT_EQ(lines[1], "\"mci\":\"play  bgm\",\"result\":0,\"reply\":\"\"");
    EXPECT_EQ(lines[2], "\"mci\":\"status bgm mode\",\"result\":0,\"reply\":\"pla\"");
    EXPECT_EQ(lines[3], "\"mci\":\"stop  bgm\",\"result\":0,\"reply\":\"\"");
    EXPECT_EQ(lines[4], "\"mci\":\"frobnicate\",\"result\":1,\"reply\":\"\"");
}

// --- KeepMusicLooping ---------------------------------------------------------------------------

TEST_F(MusicDeviceTest, LoopingRestartsOnlyAStoppedPieceWhileMusicIsOn) {
    struct Case {
        const char* name;
        uint32_t at;
        uint8_t musicOn;
        bool restarts;
    } cases[] = {
        {"PlayingMusicOn", 999, 1, false},
        {"EndedMusicOff", 1000, 0, false},
        {"EndedMusicOn", 1000, 1, true},
        {"LongAfterEndMusicOn", 50000, 1, true},
    };
    for (const Case& c : cases) {
        MciSendString("close bgm", nullptr, 0);
        clock = 0;
        MciSendString("open DATA\\BGM\\BGM1.mid alias bgm type sequencer", nullptr, 0);
        MciSendString("play bgm", nullptr, 0);
        trace.clear();
        clock = c.at;
        MusicOn = c.musicOn;
        KeepMusicLooping();
        std::vector<std::string> sent = TraceWith("\"mci\"");
        ASSERT_EQ(sent.size(), c.restarts ? 2u : 1u) << c.name;
        EXPECT_NE(sent[0].find("\"status bgm mode\""), std::string::npos) << c.name;
        if (c.restarts) {
            EXPECT_NE(sent[1].find("\"play bgm from 0\""), std::string::npos) << c.name;
            EXPECT_EQ(Mode(), "playing") << c.name;
        }
    }
    // No piece open: the status fails, nothing is restarted.
    MciSendString("close bgm", nullptr, 0);
    trace.clear();
    MusicOn = 1;
    KeepMusicLooping();
    EXPECT_EQ(TraceWith("\"mci\"").size(), 1u);
}

// --- a broken piece is named once --------------------------------------------------------------

// A piece that is missing, empty, not music or cut short, opened again and again as the title and
// the matches do: whichever player plays the music (the headless sequencer or the synthesiser),
// exactly one line names the file, the same line from both.
TEST(MusicFileProblems, EachBrokenPieceIsNamedOnceInTheSameLineByEitherPlayer) {
    TempDir dir{"music-problems"};
    Bytes cutShort = MidiLasting(1000);
    cutShort.resize(cutShort.size() - 3);  // the end of track is gone, the note is there
    dir.Write("DATA/BGM/EMPTY.mid", Bytes{});
    dir.Write("DATA/BGM/NOISE.mid", Bytes{'R', 'I', 'F', 'F', 1, 2, 3, 4, 5, 6, 7, 8, 9});
    dir.Write("DATA/BGM/SHORT.mid", cutShort);
    std::filesystem::create_directories(dir.Path() / "DATA/BGM/FOLDER.mid");
    testfiles::ScopedCwd cwd(dir.Path());

    struct Case {
        const char* file;
        uint32_t result;
        const char* line;
    } cases[] = {
        {"GONE", MCI_ERR_FILE,
         "kelmorav: DATA/BGM/GONE.mid: cannot open the file; this music stays silent\n"},
        {"EMPTY", MCI_ERR_FILE,
         "kelmorav: DATA/BGM/EMPTY.mid: the file is empty; this music stays silent\n"},
        {"NOISE", MCI_ERR_FILE,
         "kelmorav: DATA/BGM/NOISE.mid: no MIDI header; this music stays silent\n"},
        {"FOLDER", MCI_ERR_FILE,
         "kelmorav: DATA/BGM/FOLDER.mid: cannot read the file; this music stays silent\n"},
        {"SHORT", MCI_OK,
         "kelmorav: DATA/BGM/SHORT.mid: a track is cut short or damaged; the music plays as far "
         "as it is whole\n"},
    };
    std::string fontNote;
    const std::string font = FindSoundFont(&fontNote);
    std::vector<std::pair<const char*, std::function<std::unique_ptr<MusicOutput>()>>> players = {
        {"headless", [] { return std::make_unique<SimulatedMusic>([] { return 0u; }); }}};
    // setup.sh installs a General MIDI font; without one only the headless player is tried.
    if (!font.empty()) {
        players.emplace_back("synthesiser",
                             [&font] { return std::make_unique<FluidMusic>(font, 44100); });
    }
    for (const auto& [player, make] : players) {
        MciDevice device(make());
        for (const Case& c : cases) {
            ForgetFileProblems();
            const std::string open =
                std::string("open DATA\\BGM\\") + c.file + ".mid alias bgm type sequencer";
            std::string reply;
            ::testing::internal::CaptureStderr();
            for (int i = 0; i < 3; ++i) {
                EXPECT_EQ(device.Send(open.c_str(), &reply), c.result) << player << " " << c.file;
                device.Send("close bgm", &reply);
            }
            EXPECT_EQ(::testing::internal::GetCapturedStderr(), c.line) << player;
        }
    }
}

}  // namespace
