// The sound device going away in the middle of a session and coming back, through the SDL
// backend's own event path (the desktop's device events, queued as SDL queues them), on SDL's
// dummy video driver and its disk audio driver, which writes what the device plays into a file:
// the game goes on silently (the music's replies and the voices keep their time), then the
// default device opens again and the music and the effects play on it. The run happens in a
// child process (a gtest exit test) so the platform's one window and devices do not leak into
// other tests. The same way, a sound font that is missing or is not one: one line, the effects
// play and the music keeps its time silently.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "media/music.h"
#include "media/resources.h"
#include "media/sound.h"
#include "platform/audio/audio.h"
#include "platform/audio/fluid_music.h"
#include "platform/audio/voices.h"
#include "platform/core/platform.h"
#include "platform/sdl/sdl_backend.h"
#include "support/child_checks.h"
#include "support/sound_test_files.h"

using namespace soundtest;

namespace {

namespace fs = std::filesystem;
using childcheck::Check;

// Runs the game's side for `ms` milliseconds of the real clock, taking input as the main loop
// does (the device events arrive with it).
void Pump(uint32_t ms) {
    const uint32_t end = TimeGetTime() + ms;
    while (static_cast<int32_t>(end - TimeGetTime()) > 0) {
        WaitUntil(TimeGetTime() + 20);
        GetCursorPos(nullptr, nullptr);
    }
}

std::string MusicMode() {
    char mode[20] = {};
    MciSendString("status bgm mode", mode, sizeof mode);
    return mode;
}

// The loudest 16-bit sample of what the disk driver wrote.
int Loudest(const std::string& raw) {
    int loudest = 0;
    for (size_t i = 0; i + 1 < raw.size(); i += 2) {
        const auto sample = static_cast<int16_t>(static_cast<uint8_t>(raw[i]) |
                                                 static_cast<uint8_t>(raw[i + 1]) << 8);
        loudest = std::max(loudest, std::abs(static_cast<int>(sample)));
    }
    return loudest;
}

// The platform on the dummy video driver and the disk audio driver, writing into dir.
void StartOnTheDiskDriver(const fs::path& dir) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", (dir / "played.raw").c_str(), 1);
    PlatformOptions options;
    options.windowed = true;
    options.renderer = RendererRequest::SOFTWARE;
    options.tracePath = (dir / "trace.jsonl").string();
    options.dataDir = KELMORAV_BUILD_DIR;
    Check(PlatformInit(options), 5);
    PlatformOpenAudio();
    LoadAllVoices();
    SoundOn = 1;
    Check(AudioDeviceActive(), 6);
}

void PlayThroughADeviceLoss(const fs::path& dir) {
    StartOnTheDiskDriver(dir);
    SendMusicCommand("open DATA\\BGM\\BGM2.mid alias bgm type sequencer");
    SendMusicCommand("play bgm");
    Pump(800);

    PostAudioDeviceEvent(false);
    Pump(100);
    Check(!AudioDeviceActive(), 10);
    Check(MusicMode() == "playing", 11);
    PlayVoice(SoundVoice[SFX_CLICK], false);
    Check(VoicePlaying(SoundVoice[SFX_CLICK]), 12);  // it keeps its time without a device
    std::error_code ignored;
    const auto written = fs::file_size(dir / "played.raw", ignored);
    Pump(400);
    Check(fs::file_size(dir / "played.raw", ignored) == written, 13);  // the device is closed

    const int fontLoads = SoundFontLoads();
    PostAudioDeviceEvent(true);
    Pump(100);
    Check(AudioDeviceActive(), 14);
    Check(MusicMode() == "playing", 15);
    Check(SoundFontLoads() == fontLoads, 17);  // the synthesiser kept its font
    Pump(1500);
    // What the reopened device has played so far is the music alone.
    fs::copy_file(dir / "played.raw", dir / "music.raw", ignored);
    PlayVoice(SoundVoice[SFX_CLICK], false);
    Check(VoicePlaying(SoundVoice[SFX_CLICK]), 16);  // sounding on a mixer channel
    ReleaseAllVoices();
    SendMusicCommand("stop  bgm");
    SendMusicCommand("close bgm");
    PlatformExit(0);
}

TEST(AudioDevice, GoesOnSilentlyWhenTheDeviceGoesAndPlaysAgainWhenItComesBack) {
    TempDir dir("audio-device");
    // One line as it goes and one as it comes back (the disk driver says more of its own).
    EXPECT_EXIT(PlayThroughADeviceLoss(dir.Path()), ::testing::ExitedWithCode(0),
                "kelmorav: the sound device went away; the game goes on silently until one comes "
                "back\n(.|\n)*kelmorav: a sound device is back; sound and music go on\n");
    std::ifstream trace(dir.Path() / "trace.jsonl");
    std::vector<std::string> events;  // the device's going and coming, and the clicks
    for (std::string line; std::getline(trace, line);) {
        if (line.find("\"audio\"") != std::string::npos)
            events.push_back(line.substr(line.find(",\"") + 1));
        if (line.find("SFX_CLICK") != std::string::npos) events.push_back("click");
    }
    const std::vector<std::string> expected = {"\"audio\":\"gone\"}", "click",
                                               "\"audio\":\"back\"}", "click"};
    EXPECT_EQ(events, expected);
    // The reopened device played the music: loud samples, not the synthesiser's idle dither.
    const std::string music = testfiles::ReadText(dir.Path() / "music.raw");
    ASSERT_GT(music.size(), 44100u);
    EXPECT_GT(Loudest(music), 1000) << "the music did not play again";
}

// SDL_SOUNDFONTS naming something that is not a sound font: the game's start-up with the
// music of the title and a click, its stderr kept in a file.
void PlayWithoutAFont(const fs::path& dir, const std::string& font) {
    const int err = ::open((dir / "stderr.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    Check(err >= 0 && dup2(err, 2) == 2, 4);
    setenv("SDL_SOUNDFONTS", font.c_str(), 1);
    StartOnTheDiskDriver(dir);
    SendMusicCommand("open DATA\\BGM\\BGM2.mid alias bgm type sequencer");
    SendMusicCommand("play bgm");
    Pump(600);
    Check(MusicMode() == "playing", 20);  // the piece keeps its time, silently
    std::error_code ignored;
    const auto before = fs::file_size(dir / "played.raw", ignored);
    fs::copy_file(dir / "played.raw", dir / "music.raw", ignored);
    Check(before > 0, 21);
    PlayVoice(SoundVoice[SFX_CLICK], false);
    Check(VoicePlaying(SoundVoice[SFX_CLICK]), 22);
    Pump(600);
    ReleaseAllVoices();
    SendMusicCommand("stop  bgm");
    SendMusicCommand("close bgm");
    PlatformExit(0);
}

struct FontFault {
    const char* name;
    const char* file;  // written into the test's folder and named by SDL_SOUNDFONTS; "" for none
    Bytes bytes;
    const char* said;  // a part of the one line
};

class NoUsableFont : public ::testing::TestWithParam<FontFault> {};

TEST_P(NoUsableFont, OneLineThenEffectsWithoutMusic) {
    const FontFault& c = GetParam();
    TempDir dir("no-font");
    const std::string font =
        *c.file ? dir.Write(c.file, c.bytes) : (dir.Path() / "nowhere" / "gm.sf2").string();
    EXPECT_EXIT(PlayWithoutAFont(dir.Path(), font), ::testing::ExitedWithCode(0), "");
    std::istringstream err(testfiles::ReadText(dir.Path() / "stderr.txt"));
    std::vector<std::string> ours;
    for (std::string line; std::getline(err, line);) {
        if (line.rfind("kelmorav: ", 0) == 0) ours.push_back(line);
        EXPECT_EQ(line.find("fluidsynth"), std::string::npos) << line;
    }
    ASSERT_EQ(ours.size(), 1u);
    EXPECT_NE(ours[0].find(c.said), std::string::npos) << ours[0];
    EXPECT_NE(ours[0].find("the game runs without music"), std::string::npos) << ours[0];
    // Before the click the device played silence (no music); then the click sounded.
    EXPECT_EQ(Loudest(testfiles::ReadText(dir.Path() / "music.raw")), 0);
    EXPECT_GT(Loudest(testfiles::ReadText(dir.Path() / "played.raw")), 1000);
}

Bytes CutHeader() {
    Bytes b;
    PutTag(b, "RIFF");
    b.push_back(0x40);
    return b;
}

INSTANTIATE_TEST_SUITE_P(
    Fonts, NoUsableFont,
    ::testing::Values(FontFault{"RandomBytes", "gm.sf2", Samples(4000, 5), "not a sound font"},
                      FontFault{"CutHeader", "gm.sf2", CutHeader(), "not a sound font"},
                      FontFault{"NamesNothing", "", {}, "no such file"}),
    [](const ::testing::TestParamInfo<FontFault>& info) { return std::string(info.param.name); });

}  // namespace
