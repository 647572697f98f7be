// A headless run of the real platform: voices and music keep their real lengths on the virtual
// clock, and the trace shows it. The run happens in a child process (a gtest exit test) so the
// platform's one trace file and clock do not leak into other tests.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "media/music.h"
#include "media/resources.h"
#include "media/sound.h"
#include "platform/core/platform.h"
#include "support/sound_test_files.h"

using namespace soundtest;

namespace {

constexpr uint32_t CLICK_MS = 200;
constexpr uint32_t PIECE_MS = 1500;

// The game's side of the run: three tries at one effect, then a piece of music watched frame by
// frame with the music switch off, so it ends and stays stopped.
void PlayInHeadlessRun(const TempDir& dir) {
    PlatformOptions options;
    options.headless = true;
    options.scriptPath = (dir.Path() / "run.txt").string();
    options.tracePath = (dir.Path() / "trace.jsonl").string();
    options.dataDir = dir.Path().string();
    if (!PlatformInit(options)) std::_Exit(5);
    PlatformOpenAudio();
    LoadAllVoices();
    SoundOn = 1;
    uint32_t start = TimeGetTime();
    PlayVoice(SoundVoice[SFX_CLICK], false);
    WaitUntil(start + CLICK_MS / 2);
    PlayVoice(SoundVoice[SFX_CLICK], false);  // still sounding: refused
    WaitUntil(start + CLICK_MS);
    PlayVoice(SoundVoice[SFX_CLICK], false);  // ended: sounds again
    SendMusicCommand("open DATA\\BGM\\BGM2.mid alias bgm type sequencer");
    SendMusicCommand("play bgm");
    uint32_t musicStart = TimeGetTime();
    MusicOn = 0;
    while (TimeGetTime() - musicStart < PIECE_MS + 200) {
        KeepMusicLooping();
        WaitUntil(TimeGetTime() + 33);
    }
    ReleaseAllVoices();
    SendMusicCommand("stop  bgm");
    SendMusicCommand("close bgm");
    PlatformExit(0);
}

TEST(HeadlessSoundRun, TraceShowsTheRefusedRestartAndTheEndAtTheRealLength) {
    TempDir dir("headless_sound");
    for (int role = 0; role < SOUND_ROLE_COUNT; ++role) {
        std::string file = SoundRoleFile(role);
        for (char& c : file) c = c == '\\' ? '/' : c;
        dir.Write(file, PcmWave(Samples(44100 * 4 / 1000 * CLICK_MS)));
    }
    dir.Write("DATA/BGM/BGM2.mid", MidiLasting(PIECE_MS));
    std::string script = "wait 600000\n";
    dir.Write("run.txt", Bytes(script.begin(), script.end()));

    EXPECT_EXIT(PlayInHeadlessRun(dir), ::testing::ExitedWithCode(0), "");

    std::ifstream traceFile(dir.Path() / "trace.jsonl");
    ASSERT_TRUE(traceFile.good());
    std::vector<uint32_t> clicks;
    int64_t playAt = -1;
    int64_t firstStopped = -1;
    uint32_t lastPlaying = 0;
    std::vector<std::string> commands;
    for (std::string line; std::getline(traceFile, line);) {
        nlohmann::json entry = nlohmann::json::parse(line, nullptr, false);
        ASSERT_FALSE(entry.is_discarded()) << line;
        uint32_t t = entry.value("t", 0u);
        if (entry.contains("voice") && entry["voice"] == "SFX_CLICK") clicks.push_back(t);
        if (!entry.contains("mci")) continue;
        std::string command = entry["mci"];
        commands.push_back(command);
        if (command == "play bgm") playAt = t;
        if (command == "status bgm mode") {
            if (entry["reply"] == "playing") lastPlaying = t;
            if (entry["reply"] == "stopped" && firstStopped < 0) firstStopped = t;
        }
    }
    // Three calls, two starts: the second call came while the first was still sounding.
    ASSERT_EQ(clicks.size(), 2u);
    EXPECT_EQ(clicks[1] - clicks[0], CLICK_MS);
    // "stopped" first answers at the first frame on or after the piece's length.
    ASSERT_GE(playAt, 0);
    ASSERT_GE(firstStopped, 0);
    EXPECT_GE(firstStopped - playAt, PIECE_MS);
    EXPECT_LT(firstStopped - playAt, PIECE_MS + 33);
    EXPECT_LT(lastPlaying - playAt, PIECE_MS);
    // With the music switch off nothing restarted it; the closing strings are byte for byte.
    EXPECT_EQ(std::count(commands.begin(), commands.end(), "play bgm from 0"), 0);
    ASSERT_GE(commands.size(), 2u);
    EXPECT_EQ(commands[commands.size() - 2], "stop  bgm");
    EXPECT_EQ(commands.back(), "close bgm");
}

}  // namespace
