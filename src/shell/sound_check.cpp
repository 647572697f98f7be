// The sound check: every effect, then the start of every piece of music, one after another.
#include "shell/sound_check.h"

#include <cstdio>
#include <string>

#include "media/resources.h"
#include "media/sound.h"
#include "platform/core/platform.h"

namespace {

constexpr uint32_t POLL_MS = 20;
constexpr uint32_t EFFECT_LIMIT_MS = 10000;  // a looping or endless voice is cut off here
constexpr uint32_t GAP_MS = 400;
constexpr uint32_t MUSIC_MS = 8000;

void Pause(uint32_t ms) { WaitUntil(TimeGetTime() + ms); }

bool MusicStopped() {
    char mode[20] = {};
    MciSendString("status bgm mode", mode, sizeof mode);
    return std::string(mode) != "playing";
}

}  // namespace

int RunSoundCheck() {
    ReleaseAllVoices();
    LoadAllVoices();
    std::printf("sound check: %d effects, then the start of each piece of music\n",
                static_cast<int>(SOUND_ROLE_COUNT));
    for (int role = 0; role < SOUND_ROLE_COUNT; ++role) {
        Voice* voice = SoundVoice[role];
        std::printf("effect %-12s %s%s\n", SoundRoleName(role), SoundRoleFile(role),
                    voice ? "" : "  (missing: silent)");
        std::fflush(stdout);
        if (voice == nullptr) continue;
        uint32_t start = TimeGetTime();
        PlaySoundBuffer(voice, false);
        while (VoicePlaying(voice) && TimeGetTime() - start < EFFECT_LIMIT_MS) Pause(POLL_MS);
        StopSoundBuffer(voice);
        Pause(GAP_MS);
    }
    for (int piece = 1; piece <= 3; ++piece) {
        std::string path = "DATA\\BGM\\BGM" + std::to_string(piece) + ".mid";
        std::string open = "open " + path + " alias bgm type sequencer";
        bool opened = MciSendString(open.c_str(), nullptr, 0) == 0;
        std::printf("music  BGM%d %s%s\n", piece, path.c_str(),
                    opened ? "" : "  (missing or unplayable: silent)");
        std::fflush(stdout);
        if (!opened) continue;
        uint32_t start = TimeGetTime();
        MciSendString("play bgm", nullptr, 0);
        while (TimeGetTime() - start < MUSIC_MS && !MusicStopped()) Pause(POLL_MS);
        MciSendString("stop bgm", nullptr, 0);
        MciSendString("close bgm", nullptr, 0);
        Pause(GAP_MS);
    }
    ReleaseAllVoices();
    std::printf("sound check done\n");
    std::fflush(stdout);
    return 0;
}
