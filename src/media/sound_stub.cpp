// Stand-in until the sound engine lands: no voices are loaded.
#include "media/sound.h"

void LoadVoice(Voice** voice, const char*) { *voice = nullptr; }
void PlayVoice(Voice* voice, bool loop) {
    if (SoundOn != 0) PlaySoundBuffer(voice, loop);
}
void LoadAllVoices() {}
void ReleaseAllVoices() {}
