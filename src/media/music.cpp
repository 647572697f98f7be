// Background music: commands go to the platform's sequencer under the alias "bgm".
#include "media/music.h"

#include <cstring>

#include "media/resources.h"
#include "platform/core/platform.h"

void SendMusicCommand(const char* command) { MciSendString(command, nullptr, 0); }

void KeepMusicLooping() {
    char mode[20] = {};
    MciSendString("status bgm mode", mode, sizeof mode);
    // Only an exact "stopped" counts: a piece still playing, or a device that answered
    // nothing, is left alone.
    if (std::strcmp(mode, "stopped") == 0 && MusicOn != 0) {
        MciSendString("play bgm from 0", nullptr, 0);
    }
}
