#pragma once
// A sound device the voices and the music play on. The SDL mixer (platform/sdl) is the one for
// people; the platform's assembly gives it to the audio with the SDL backend. The headless
// backends have none: voices and music then keep their time without sound, as on a machine
// whose device cannot be opened.

#include <memory>

#include "platform/audio/mci.h"

struct VoiceSamples;

class SoundDevice {
public:
    virtual ~SoundDevice() = default;

    // Opens the device. False (with one line on stderr) when it cannot be opened. *music
    // receives what plays the MIDI music, or null when there is nothing to play it with (said
    // once on stderr); the music then keeps its time silently. After LoseDevice it opens the
    // default device again with the synthesiser it had, the font not read again.
    virtual bool Open(std::unique_ptr<MusicOutput>* music) = 0;
    // The device went away: it is closed, every channel with it; what is needed to open a new
    // one (the synthesiser, the news of devices that appear) stays.
    virtual void LoseDevice() = 0;
    // Closes the device and lets everything go.
    virtual void Close() = 0;

    // Converts a voice's samples to the device format and makes its chunk (replacing any).
    virtual bool Prepare(VoiceSamples* samples) = 0;
    virtual void FreeChunk(void* chunk) = 0;
    // One channel per voice.
    virtual int AcquireChannel() = 0;
    virtual void ReleaseChannel(int channel) = 0;
    // Plays the chunk on the channel, unless the channel is still sounding.
    virtual void Play(int channel, void* chunk, bool loop) = 0;
    virtual void Stop(int channel) = 0;
    virtual bool Playing(int channel) = 0;
    // The loudness of the music and of the effects as factors on their amplitude (1 = as
    // recorded, 0 = silent); kept through a lost device. A device without volumes ignores it.
    virtual void SetVolumes(double music, double effects) {
        static_cast<void>(music);
        static_cast<void>(effects);
    }
};
