// Opening and closing the sound and music devices: the sound device the assembly gave (the SDL
// mixer for people), or without one (headless runs) the time-keeping simulation.
#include "platform/audio/audio.h"

#include <cmath>
#include <cstdio>

#include "platform/audio/sound_device.h"
#include "platform/audio/voices.h"
#include "platform/core/platform.h"

namespace {

SoundDevice* Device = nullptr;
bool AudioOpen = false;
bool DeviceGone = false;  // the sound device went away and none has come back yet
int MusicStep = SOUND_VOLUME_MAX;
int EffectsStep = SOUND_VOLUME_MAX;

int ClampStep(int step) {
    return step < 0 ? 0 : (step > SOUND_VOLUME_MAX ? SOUND_VOLUME_MAX : step);
}

AudioHooks PlatformHooks() {
    AudioHooks hooks;
    hooks.now = [] { return TimeGetTime(); };
    hooks.trace = [](const std::string& fields) { TraceLine(fields); };
    return hooks;
}

}  // namespace

void UseSoundDevice(SoundDevice* device) { Device = device; }

void PlatformOpenAudio() {
    if (AudioOpen) return;  // the voices already made stay on the device they were made for
    AudioOpen = true;
    std::unique_ptr<MusicOutput> music;
    if (Device != nullptr && Device->Open(&music)) {
        AudioUseDevice(PlatformHooks(), Device, std::move(music));
    } else {
        // No device: voices and music keep their time so the game behaves the same, silently.
        AudioUseSimulation(PlatformHooks());
    }
}

void PlatformAudioDeviceRemoved() {
    if (!AudioDeviceActive()) return;
    AudioDeviceGone();
    Device->LoseDevice();
    DeviceGone = true;
    std::fprintf(stderr,
                 "kelmorav: the sound device went away; the game goes on silently until one "
                 "comes back\n");
    TraceLine("\"audio\":\"gone\"");
}

void PlatformAudioDeviceAdded() {
    if (!DeviceGone || !AudioOpen) return;
    std::unique_ptr<MusicOutput> music;
    if (!Device->Open(&music)) return;  // said why; still silent, until the next device
    DeviceGone = false;
    AudioDeviceBack(std::move(music));
    std::fprintf(stderr, "kelmorav: a sound device is back; sound and music go on\n");
    TraceLine("\"audio\":\"back\"");
}

void PlatformCloseAudio() {
    AudioOpen = false;
    DeviceGone = false;
    AudioReset();
    // Also after a device that went away: everything the device kept goes now.
    if (Device != nullptr) Device->Close();
}

double VolumeFactor(int step) {
    if (step >= SOUND_VOLUME_MAX) return 1.0;
    if (step <= 0) return 0.0;
    constexpr double DECIBELS_PER_STEP = 4.0;
    return std::pow(10.0, -DECIBELS_PER_STEP * (SOUND_VOLUME_MAX - step) / 20.0);
}

void SetSoundVolumes(int music, int effects) {
    music = ClampStep(music);
    effects = ClampStep(effects);
    if (music == MusicStep && effects == EffectsStep) return;
    MusicStep = music;
    EffectsStep = effects;
    TraceLine("\"volume\":{\"music\":" + std::to_string(music) +
              ",\"effects\":" + std::to_string(effects) + "}");
    if (Device != nullptr) Device->SetVolumes(VolumeFactor(music), VolumeFactor(effects));
}

int MusicVolume() { return MusicStep; }

int EffectsVolume() { return EffectsStep; }
