// Voices: loading from files, the play-once rule, duplicates, the SoundOn gate, and the choice
// of voice for the point motes, on the simulated device with a test clock.
#include <algorithm>
#include <filesystem>

#include "media/resources.h"
#include "media/sound.h"
#include "support/sound_fixture.h"
#include "support/sound_test_files.h"

using namespace soundtest;

namespace {

class VoiceTest : public SimulatedAudioTest {
protected:
    // A voice lasting `ms` milliseconds (16-bit stereo at 44100 Hz).
    Voice* LoadLasting(uint32_t ms, const std::string& name = "v.wav") {
        std::string path = dir.Write(name, PcmWave(Samples(44100 * 4 / 1000 * ms)));
        Voice* voice = nullptr;
        LoadVoice(&voice, path.c_str());
        return voice;
    }

    TempDir dir{"voices"};
};

TEST_F(VoiceTest, LengthComesFromTheSampleFormat) {
    struct Case {
        uint16_t channels, bits;
        uint32_t rate, bytes, ms;
    } cases[] = {
        {2, 16, 44100, 176400, 1000},
        {1, 8, 22050, 11025, 500},
        {1, 16, 11025, 2205, 100},
        {2, 8, 8000, 17, 1},  // 8 whole frames, the odd byte is not a frame
    };
    for (const Case& c : cases) {
        Bytes file = PcmWave(Samples(c.bytes), c.channels, c.rate, c.bits);
        std::string path = dir.Write("len.wav", file);
        Voice* voice = nullptr;
        LoadVoice(&voice, path.c_str());
        ASSERT_NE(voice, nullptr);
        clock = 1000;
        PlaySoundBuffer(voice, false);
        clock = 1000 + c.ms - 1;
        EXPECT_TRUE(VoicePlaying(voice)) << c.rate << " Hz " << c.bits << " bits";
        clock = 1000 + c.ms;
        EXPECT_FALSE(VoicePlaying(voice)) << c.rate << " Hz " << c.bits << " bits";
        ReleaseSoundBuffer(voice);
    }
}

TEST_F(VoiceTest, AVoiceStillSoundingIsNotRestarted) {
    Voice* voice = LoadLasting(200);
    ASSERT_NE(voice, nullptr);
    SetVoiceLabel(voice, "SFX_CLICK", 0);
    SoundOn = 1;
    clock = 100;
    PlayVoice(voice, false);
    clock = 299;
    PlayVoice(voice, false);  // still sounding: ignored, and it still ends at 300
    EXPECT_TRUE(VoicePlaying(voice));
    clock = 300;
    EXPECT_FALSE(VoicePlaying(voice));
    PlayVoice(voice, false);  // finished: plays again from its start
    clock = 499;
    EXPECT_TRUE(VoicePlaying(voice));
    std::vector<std::string> starts = TraceWith("\"voice\"");
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(starts[0], "\"voice\":\"SFX_CLICK\",\"index\":0");
    StopSoundBuffer(voice);
    EXPECT_FALSE(VoicePlaying(voice));
    ReleaseSoundBuffer(voice);
}

TEST_F(VoiceTest, DuplicatesShareTheDataAndSoundIndependently) {
    Voice* first = LoadLasting(100);
    ASSERT_NE(first, nullptr);
    Voice* second = DuplicateSoundBuffer(first);
    ASSERT_NE(second, nullptr);
    uint8_t* a = nullptr;
    uint8_t* b = nullptr;
    uint32_t sizeA = 0, sizeB = 0;
    ASSERT_TRUE(LockSoundBuffer(first, &a, &sizeA));
    ASSERT_TRUE(LockSoundBuffer(second, &b, &sizeB));
    EXPECT_EQ(a, b);
    EXPECT_EQ(sizeA, sizeB);
    PlaySoundBuffer(first, false);
    EXPECT_TRUE(VoicePlaying(first));
    EXPECT_FALSE(VoicePlaying(second));
    clock = 50;
    PlaySoundBuffer(second, false);
    clock = 120;
    EXPECT_FALSE(VoicePlaying(first));
    EXPECT_TRUE(VoicePlaying(second));
    ReleaseSoundBuffer(first);  // the copy keeps the shared data alive
    ASSERT_TRUE(LockSoundBuffer(second, &b, &sizeB));
    EXPECT_EQ(b[0], Samples(1)[0]);
    ReleaseSoundBuffer(second);
}

TEST_F(VoiceTest, SoundOnGatesPlayVoiceOnly) {
    Voice* voice = LoadLasting(100);
    ASSERT_NE(voice, nullptr);
    SoundOn = 0;
    PlayVoice(voice, false);
    EXPECT_FALSE(VoicePlaying(voice));
    EXPECT_TRUE(TraceWith("\"voice\"").empty());
    PlaySoundBuffer(voice, false);  // the roles played directly ignore the switch
    EXPECT_TRUE(VoicePlaying(voice));
    clock = 200;
    SoundOn = 1;
    PlayVoice(voice, true);
    clock = 100000;
    EXPECT_TRUE(VoicePlaying(voice)) << "a looping voice sounds until stopped";
    ReleaseSoundBuffer(voice);
}

TEST_F(VoiceTest, UnplayableFilesLeaveTheRoleSilent) {
    struct Case {
        const char* name;
        Bytes file;
    } cases[] = {
        {"Missing", {}},
        {"NotWave", Bytes(64, 'x')},
        {"AdpcmFormat", Riff({Chunk("fmt ",
                                    [] {
                                        Bytes f = FmtBody(2, 1, 22050, 4);
                                        Put16(f, 0);
                                        return f;
                                    }()),
                              Chunk("data", Samples(100))})},
        {"TwentyFourBit", PcmWave(Samples(300), 2, 44100, 24)},
        {"SixChannels", PcmWave(Samples(1200), 6, 44100, 16)},
        {"ZeroRate", PcmWave(Samples(100), 2, 0, 16)},
        {"NoSamples", PcmWave({})},
    };
    for (const Case& c : cases) {
        std::string path = c.file.empty() && std::string(c.name) == "Missing"
                               ? (dir.Path() / "none.wav").string()
                               : dir.Write(std::string(c.name) + ".wav", c.file);
        Voice* voice = reinterpret_cast<Voice*>(1);
        LoadVoice(&voice, path.c_str());
        EXPECT_EQ(voice, nullptr) << c.name;
        PlayVoice(voice, false);  // a null role is safe to play
    }
}

TEST_F(VoiceTest, StartUpLoadsEveryRoleAndMissingFilesSilenceOnlyTheirOwn) {
    for (int role = 0; role < SOUND_ROLE_COUNT; ++role) {
        if (role == SFX_MAGIC) continue;  // this one is missing
        std::string file = SoundRoleFile(role);
        std::replace(file.begin(), file.end(), '\\', '/');
        dir.Write(file, PcmWave(Samples(400)));
    }
    {
        testfiles::ScopedCwd cwd(dir.Path());
        LoadAllVoices();
    }

    EXPECT_EQ(SoundVoice[SFX_MAGIC], nullptr);
    for (int role = 0; role < SOUND_ROLE_COUNT; ++role) {
        if (role != SFX_MAGIC) {
            EXPECT_NE(SoundVoice[role], nullptr) << SoundRoleName(role);
        }
    }
    EXPECT_EQ(Pon2Voice[0], SoundVoice[SFX_PON2]);
    for (int i = 0; i < PON2_VOICE_COUNT; ++i) {
        ASSERT_NE(Pon2Voice[i], nullptr);
        PlaySoundBuffer(Pon2Voice[i], false);
    }
    PlaySoundBuffer(SoundVoice[SFX_NOSOUND], false);
    std::vector<std::string> starts = TraceWith("\"voice\"");
    ASSERT_EQ(starts.size(), 7u);
    EXPECT_EQ(starts[5], "\"voice\":\"SFX_PON2\",\"index\":5");
    EXPECT_EQ(starts[6], "\"voice\":\"SFX_NOSOUND\",\"index\":0");

    ReleaseAllVoices();
    for (Voice* voice : SoundVoice) EXPECT_EQ(voice, nullptr);
    for (Voice* voice : Pon2Voice) EXPECT_EQ(voice, nullptr);
    ReleaseAllVoices();  // a second quit finds nothing to release
}

TEST_F(VoiceTest, EveryMoteArrivalFindsAQuietVoiceWhileOneIsLeft) {
    Voice* pon2 = LoadLasting(300);
    ASSERT_NE(pon2, nullptr);
    Pon2Voice[0] = SoundVoice[SFX_PON2] = pon2;
    for (int i = 1; i < PON2_VOICE_COUNT; ++i) Pon2Voice[i] = DuplicateSoundBuffer(pon2);

    // All quiet: each slot takes its own voice, slots 6..9 voices 0..3.
    for (int slot = 0; slot < 10; ++slot) {
        EXPECT_EQ(MoteArrivalVoice(slot), Pon2Voice[slot % 6]) << slot;
    }
    // Slots 6..9 arriving while the voice of their number is still busy borrow the next quiet
    // one, so six arrivals within one sound's length all sound.
    SoundOn = 1;
    const int order[] = {0, 6, 7, 8, 9, 5};
    for (int i = 0; i < 6; ++i) {
        clock = static_cast<uint32_t>(i) * 20;
        size_t before = TraceWith("\"voice\"").size();
        PlayVoice(MoteArrivalVoice(order[i]), false);
        EXPECT_EQ(TraceWith("\"voice\"").size(), before + 1) << "slot " << order[i] << " silent";
    }
    // All six sounding: the slot's own voice is returned and does not restart.
    clock = 140;
    EXPECT_EQ(MoteArrivalVoice(8), Pon2Voice[2]);
    size_t before = TraceWith("\"voice\"").size();
    PlayVoice(MoteArrivalVoice(8), false);
    EXPECT_EQ(TraceWith("\"voice\"").size(), before);
    // Slots 0..5 keep their own voice even while it sounds (it is then not restarted).
    EXPECT_EQ(MoteArrivalVoice(1), Pon2Voice[1]);
    // Once the first has ended, it is the one a borrowing slot finds.
    clock = 300;
    EXPECT_EQ(MoteArrivalVoice(9), Pon2Voice[0]);
}

}  // namespace
