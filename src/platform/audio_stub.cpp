// Silent stand-in for the sound and music devices until the audio layer lands.
#include "platform/audio.h"
#include "platform/platform.h"
#include "platform/platform_internal.h"

struct Voice {};
void PlatformOpenAudio() {}
void PlatformCloseAudio() {}
Voice* CreateSoundBuffer(const WaveFormat&, uint32_t) { return nullptr; }
bool LockSoundBuffer(Voice*, uint8_t**, uint32_t*) { return false; }
void UnlockSoundBuffer(Voice*) {}
Voice* DuplicateSoundBuffer(Voice*) { return nullptr; }
void SetVoiceLabel(Voice*, const char*, int) {}
void PlaySoundBuffer(Voice*, bool) {}
void StopSoundBuffer(Voice*) {}
bool VoicePlaying(Voice*) { return false; }
void ReleaseSoundBuffer(Voice*) {}
uint32_t MciSendString(const char* command, char* reply, unsigned replySize) {
    TraceLine("\"mci\":" + JsonString(command));
    if (reply && replySize) reply[0] = 0;
    return 1;
}
