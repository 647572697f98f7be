// The sound device going away in the middle of a session and coming back, through the SDL
// backend's own event path (the desktop's device events, queued as SDL queues them), on SDL's
// dummy video driver and its disk audio driver, which writes what the device plays into a file:
// the game goes on silently (the music's replies and the voices keep their time), then the
// default device opens again and the music and the effects play on it. The run happens in a
// child process (a gtest exit test) so the platform's one window and devices do not leak into
// other tests.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "media/music.h"
#include "media/resources.h"
#include "media/sound.h"
#include "platform/audio.h"
#include "platform/audio_internal.h"
#include "platform/fluid_music.h"
#include "platform/platform.h"
#include "support/sound_test_files.h"

using namespace soundtest;

namespace {

namespace fs = std::filesystem;

// A failed check in the child ends it with its own status, which the parent reports.
void Check(bool ok, int status) {
    if (!ok) std::_Exit(status);
}

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

void PlayThroughADeviceLoss(const fs::path& dir) {
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
    Check(AudioMixerActive(), 6);
    SendMusicCommand("open DATA\\BGM\\BGM2.mid alias bgm type sequencer");
    SendMusicCommand("play bgm");
    Pump(800);

    PostAudioDeviceEvent(false);
    Pump(100);
    Check(!AudioMixerActive(), 10);
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
    Check(AudioMixerActive(), 14);
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
    int loudest = 0;
    for (size_t i = 0; i + 1 < music.size(); i += 2) {
        const auto sample = static_cast<int16_t>(static_cast<uint8_t>(music[i]) |
                                                 static_cast<uint8_t>(music[i + 1]) << 8);
        loudest = std::max(loudest, std::abs(static_cast<int>(sample)));
    }
    EXPECT_GT(loudest, 1000) << "the music did not play again";
}

}  // namespace
