// The desktop's music engine, driven the way the audio device drives it: a piece ends exactly
// when its time has been rendered, a stop holds its time, and neither a restart nor a new piece
// reads the sound font again.
#include "platform/audio/fluid_music.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <vector>

#include "platform/audio/sound_font.h"
#include "platform/core/platform.h"
#include "support/sound_test_files.h"

using namespace soundtest;

namespace {

constexpr int RATE = 44100;
constexpr int CHUNK = 441;  // 10 ms

class FluidMusicTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string note;
        font = FindSoundFont(&note);
        // setup.sh installs a General MIDI font; a machine without one cannot run these.
        if (font.empty()) GTEST_SKIP() << "no General MIDI sound font installed";
        dir.Write("DATA/BGM/ONE.mid", MidiLasting(1000));
        dir.Write("DATA/BGM/HALF.mid", MidiLasting(500));
        cwd.emplace(dir.Path());
    }

    // Renders `chunks` chunks of 10 ms; returns the largest sample magnitude heard.
    int Play(FluidMusic& music, int chunks) {
        int loudest = 0;
        std::vector<int16_t> buffer(CHUNK * 2);
        for (int i = 0; i < chunks; ++i) {
            music.Render(buffer.data(), CHUNK);
            for (int16_t s : buffer) loudest = std::max(loudest, std::abs(static_cast<int>(s)));
        }
        return loudest;
    }

    std::string font;
    TempDir dir{"fluid-music"};
    std::optional<testfiles::ScopedCwd> cwd;
};

TEST_F(FluidMusicTest, EndsExactlyWhenItsTimeIsRenderedAndRestartsWithoutReadingTheFont) {
    FluidMusic music(font, RATE);
    ASSERT_TRUE(music.WaitUntilLoaded());
    const int loads = SoundFontLoads();
    std::string error;
    ASSERT_TRUE(music.Load("DATA\\BGM\\ONE.mid", &error)) << error;
    music.Start();
    EXPECT_GT(Play(music, 99), 0) << "the piece's note is heard";
    EXPECT_FALSE(music.Ended()) << "990 ms of a one-second piece";
    Play(music, 1);
    EXPECT_TRUE(music.Ended()) << "the piece ends at its thousandth millisecond";

    // "play bgm from 0": the same length again.
    music.Start();
    EXPECT_FALSE(music.Ended());
    Play(music, 99);
    EXPECT_FALSE(music.Ended());
    Play(music, 1);
    EXPECT_TRUE(music.Ended());

    // A stop holds the piece's time; playing on continues it.
    music.Start();
    Play(music, 30);
    music.Pause();
    Play(music, 200);
    EXPECT_FALSE(music.Ended()) << "time ran while stopped";
    music.Resume();
    Play(music, 69);
    EXPECT_FALSE(music.Ended());
    Play(music, 1);
    EXPECT_TRUE(music.Ended());

    // A new piece ("close", "open", "play") has its own length.
    music.Unload();
    ASSERT_TRUE(music.Load("DATA\\BGM\\HALF.mid", &error)) << error;
    music.Start();
    Play(music, 49);
    EXPECT_FALSE(music.Ended());
    Play(music, 1);
    EXPECT_TRUE(music.Ended());

    EXPECT_EQ(SoundFontLoads(), loads) << "the sound font was read again";
}

TEST_F(FluidMusicTest, APieceStartedWhileTheFontLoadsStartsWhenItIsIn) {
    const int loads = SoundFontLoads();
    FluidMusic music(font, RATE);
    std::string error;
    ASSERT_TRUE(music.Load("DATA\\BGM\\ONE.mid", &error)) << error;
    music.Start();
    ASSERT_TRUE(music.WaitUntilLoaded());
    EXPECT_GT(Play(music, 99), 0);
    EXPECT_FALSE(music.Ended());
    Play(music, 1);
    EXPECT_TRUE(music.Ended());
    EXPECT_EQ(SoundFontLoads(), loads + 1) << "one read for one synthesiser";
}

// The title's command sequence through the music device, then the per-frame restart: one font
// read for all of it.
class Forward : public MusicOutput {
public:
    explicit Forward(FluidMusic& music) : music_(music) {}
    bool Load(const std::string& path, std::string* error) override {
        return music_.Load(path, error);
    }
    void Start() override { music_.Start(); }
    void Pause() override { music_.Pause(); }
    void Resume() override { music_.Resume(); }
    bool Ended() override { return music_.Ended(); }
    void Unload() override { music_.Unload(); }

private:
    FluidMusic& music_;
};

TEST_F(FluidMusicTest, TheGamesCommandsNeverReadTheFontAgain) {
    FluidMusic music(font, RATE);
    ASSERT_TRUE(music.WaitUntilLoaded());
    const int loads = SoundFontLoads();
    MciDevice device(std::make_unique<Forward>(music));
    std::string reply;
    for (const char* command : {"open  DATA\\BGM\\ONE.mid alias bgm type sequencer", "close bgm",
                                "open  DATA\\BGM\\ONE.mid alias bgm type sequencer", "play  bgm"}) {
        EXPECT_EQ(device.Send(command, &reply), MCI_OK) << command;
    }
    Play(music, 100);
    device.Send("status bgm mode", &reply);
    EXPECT_EQ(reply, "stopped");
    EXPECT_EQ(device.Send("play bgm from 0", &reply), MCI_OK);
    device.Send("status bgm mode", &reply);
    EXPECT_EQ(reply, "playing");
    for (const char* command : {"stop  bgm", "close bgm",
                                "open DATA\\BGM\\HALF.mid alias bgm type sequencer", "play bgm"}) {
        EXPECT_EQ(device.Send(command, &reply), MCI_OK) << command;
    }
    Play(music, 50);
    device.Send("status bgm mode", &reply);
    EXPECT_EQ(reply, "stopped");
    EXPECT_EQ(SoundFontLoads(), loads);
}

// Renders the first `chunks` chunks of ONE.mid with the music at `volume` (none: never set).
std::vector<int16_t> Rendered(const std::string& font, std::optional<double> volume, int chunks) {
    FluidMusic music(font, RATE);
    EXPECT_TRUE(music.WaitUntilLoaded());
    std::string error;
    EXPECT_TRUE(music.Load("DATA\\BGM\\ONE.mid", &error)) << error;
    if (volume) music.SetVolume(*volume);
    music.Start();
    std::vector<int16_t> out;
    std::vector<int16_t> buffer(CHUNK * 2);
    for (int i = 0; i < chunks; ++i) {
        music.Render(buffer.data(), CHUNK);
        out.insert(out.end(), buffer.begin(), buffer.end());
    }
    return out;
}

int Loudest(const std::vector<int16_t>& samples) {
    int loudest = 0;
    for (int16_t s : samples) loudest = std::max(loudest, std::abs(static_cast<int>(s)));
    return loudest;
}

// The fault caught: volume 10 not exactly the loudness the game always had (a run at the
// defaults would sound other than before), volume 0 leaving the synthesiser's dither audible,
// or the steps not 4 dB apart.
TEST_F(FluidMusicTest, TheVolumeScalesTheRenderedMusic) {
    EXPECT_EQ(VolumeFactor(SOUND_VOLUME_MAX), 1.0);
    EXPECT_EQ(VolumeFactor(0), 0.0);
    for (int step = 1; step < SOUND_VOLUME_MAX; ++step) {
        EXPECT_NEAR(20.0 * std::log10(VolumeFactor(step + 1) / VolumeFactor(step)), 4.0, 1e-9);
    }
    const std::vector<int16_t> today = Rendered(font, std::nullopt, 50);
    ASSERT_GT(Loudest(today), 1000);
    EXPECT_EQ(Rendered(font, VolumeFactor(SOUND_VOLUME_MAX), 50), today);
    EXPECT_EQ(Loudest(Rendered(font, VolumeFactor(0), 50)), 0);
    // Five steps down is 20 dB: a tenth of the amplitude.
    const double ratio =
        static_cast<double>(Loudest(Rendered(font, VolumeFactor(5), 50))) / Loudest(today);
    EXPECT_NEAR(ratio, 0.1, 0.02);
}

}  // namespace
