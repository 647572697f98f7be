// Opening and closing the sound and music devices for the backend in use: the SDL mixer for
// people, the time-keeping simulation for headless runs (no SDL at all there).
#include "platform/audio.h"

#include "platform/audio_internal.h"
#include "platform/audio_mixer.h"
#include "platform/platform.h"

namespace {

bool AudioOpen = false;

AudioHooks PlatformHooks() {
    AudioHooks hooks;
    hooks.now = [] { return TimeGetTime(); };
    hooks.trace = [](const std::string& fields) { TraceLine(fields); };
    return hooks;
}

}  // namespace

void PlatformOpenAudio() {
    if (AudioOpen) return;  // the voices already made stay on the device they were made for
    AudioOpen = true;
    if (PlatformIsHeadless()) {
        AudioUseSimulation(PlatformHooks());
        return;
    }
    std::unique_ptr<MusicOutput> music;
    if (MixerOpen(&music)) {
        AudioUseMixer(PlatformHooks(), std::move(music));
    } else {
        // No device: voices and music keep their time so the game behaves the same, silently.
        AudioUseSimulation(PlatformHooks());
    }
}

void PlatformCloseAudio() {
    AudioOpen = false;
    bool mixer = AudioMixerActive();
    AudioReset();
    if (mixer) MixerClose();
}
