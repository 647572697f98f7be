#pragma once
// The sound voices: the voice record, the sample data that a voice and its duplicates share,
// and the switch between a sound device and the simulation that keeps time without one. Shared
// by the audio's own files, the SDL mixer and the tests.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio/mci.h"
#include "platform/audio/sound_device.h"
#include "platform/core/platform.h"

// The sample data of one sound file, shared by a voice and its duplicates.
struct VoiceSamples {
    WaveFormat format;
    uint32_t frameBytes = 0;     // bytes of one sample frame (all channels)
    std::vector<uint8_t> bytes;  // as the file stores them
    uint32_t lengthMs = 0;       // playing time of the whole buffer
    void* chunk = nullptr;       // the data converted for the sound device (with one only)
    ~VoiceSamples();
};

struct Voice {
    std::shared_ptr<VoiceSamples> samples;
    std::string role;
    int index = 0;
    // Simulation: when it last started and whether it loops.
    bool started = false;
    bool looping = false;
    uint32_t startedAt = 0;
    // Sound device: the channel this voice owns.
    int channel = -1;
};

// The services the voices take from the rest of the platform: the millisecond clock and the
// trace. Tests give their own.
struct AudioHooks {
    std::function<uint32_t()> now;
    std::function<void(const std::string&)> trace;
};

// Voices and music keep time on the hooks' clock without making sound (headless runs, tests,
// and a machine whose sound device cannot be opened). Replaces any music device in use.
void AudioUseSimulation(const AudioHooks& hooks);
// Voices play on the sound device, opened; music plays through `music` when given, else it is
// simulated.
void AudioUseDevice(const AudioHooks& hooks, SoundDevice* device,
                    std::unique_ptr<MusicOutput> music);
// The sound device went away: every voice and the music go on keeping their time without
// sound (as on a machine without a device), the open piece with them. The caller then lets the
// device go.
void AudioDeviceGone();
// A sound device is there again (opened anew): voices play on it again, and the music through
// `music` when given (the piece playing starts again from its beginning).
void AudioDeviceBack(std::unique_ptr<MusicOutput> music);
// Back to the state before any device: no clock, no trace, the music alias closed.
void AudioReset();
// True while the voices play on a sound device.
bool AudioDeviceActive();

// Playing time of `bytes` bytes in `format`, rounded up to whole milliseconds.
uint32_t VoiceLengthMs(const WaveFormat& format, uint32_t bytes);
