// Opening and closing the sound and music devices for the backend in use: the SDL mixer for
// people, the time-keeping simulation for headless runs (no SDL at all there).
#include "platform/audio.h"

#include <cstdio>

#include "platform/audio_internal.h"
#include "platform/audio_mixer.h"
#include "platform/platform.h"

namespace {

bool AudioOpen = false;
bool DeviceGone = false;  // the mixer's device went away and none has come back yet

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

void PlatformAudioDeviceRemoved() {
    if (!AudioMixerActive()) return;
    AudioDeviceGone();
    MixerLoseDevice();
    DeviceGone = true;
    std::fprintf(stderr,
                 "kelmorav: the sound device went away; the game goes on silently until one "
                 "comes back\n");
    TraceLine("\"audio\":\"gone\"");
}

void PlatformAudioDeviceAdded() {
    if (!DeviceGone || !AudioOpen) return;
    std::unique_ptr<MusicOutput> music;
    if (!MixerOpen(&music)) return;  // said why; still silent, until the next device
    DeviceGone = false;
    AudioDeviceBack(std::move(music));
    std::fprintf(stderr, "kelmorav: a sound device is back; sound and music go on\n");
    TraceLine("\"audio\":\"back\"");
}

void PlatformCloseAudio() {
    AudioOpen = false;
    DeviceGone = false;
    AudioReset();
    // Also after a device that went away: the synthesiser and the audio subsystem go now.
    MixerClose();
}
