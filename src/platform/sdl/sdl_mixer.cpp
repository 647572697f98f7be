// SDL2_mixer: the audio device and one mixer channel per voice; the MIDI music comes from our
// own FluidSynth synthesiser, which fills the mixer's music stream through its hook.
#include "platform/sdl/sdl_mixer.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "platform/audio/fluid_music.h"
#include "platform/audio/sound_font.h"
#include "platform/audio/voices.h"

namespace {

constexpr int DEVICE_RATE = 44100;
constexpr int DEVICE_CHANNELS = 2;
constexpr int DEVICE_CHUNK_FRAMES = 1024;

bool MixerIsOpen = false;
bool AudioSubsystemUp = false;
bool FontSearched = false;  // the sound font was looked for (and said of, if need be)
int DeviceRate = DEVICE_RATE;
Uint16 DeviceFormat = AUDIO_S16SYS;
int DeviceChannels = DEVICE_CHANNELS;
std::vector<bool> ChannelTaken;
// The effects' loudness on the mixer's scale (MIX_MAX_VOLUME: as recorded) and the music's as
// a factor, kept through a lost device and for the synthesiser made later.
int EffectsMixVolume = MIX_MAX_VOLUME;
double MusicVolumeFactor = 1.0;

// The one synthesiser of the run, from the device's first opening to its last closing (a device
// lost and found again keeps it, with its font).
std::unique_ptr<FluidMusic> Synth;
std::vector<int16_t> HookScratch;  // stereo frames for devices with other channel counts

// The mixer's music hook, on the audio thread: the synthesiser's stereo, spread over the
// device's channels (the mixer adds the sound effects on top).
void MusicHook(void*, Uint8* stream, int len) {
    const int frames = len / (DeviceChannels * static_cast<int>(sizeof(int16_t)));
    int16_t* out = reinterpret_cast<int16_t*>(stream);
    if (DeviceChannels == 2) {
        Synth->Render(out, frames);
        return;
    }
    HookScratch.resize(static_cast<size_t>(frames) * 2);
    Synth->Render(HookScratch.data(), frames);
    for (int f = 0; f < frames; ++f) {
        const int left = HookScratch[static_cast<size_t>(f) * 2];
        const int right = HookScratch[static_cast<size_t>(f) * 2 + 1];
        int16_t* frame = out + static_cast<size_t>(f) * DeviceChannels;
        if (DeviceChannels == 1) {
            frame[0] = static_cast<int16_t>((left + right) / 2);
        } else {
            frame[0] = static_cast<int16_t>(left);
            frame[1] = static_cast<int16_t>(right);
            std::fill(frame + 2, frame + DeviceChannels, 0);
        }
    }
}

// What the music device drives: the run's synthesiser, which outlives every piece.
class HookedMusic : public MusicOutput {
public:
    ~HookedMusic() override { Synth->Unload(); }
    bool Load(const std::string& gamePath, std::string* error) override {
        return Synth->Load(gamePath, error);
    }
    void Start() override { Synth->Start(); }
    void Pause() override { Synth->Pause(); }
    void Resume() override { Synth->Resume(); }
    bool Ended() override { return Synth->Ended(); }
    void Unload() override { Synth->Unload(); }
};

SDL_AudioFormat SourceFormat(const WaveFormat& format) {
    return format.bitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
}

class Mixer final : public SoundDevice {
public:
    bool Open(std::unique_ptr<MusicOutput>* music) override;
    void LoseDevice() override;
    void Close() override;
    bool Prepare(VoiceSamples* samples) override;
    void FreeChunk(void* chunk) override;
    int AcquireChannel() override;
    void ReleaseChannel(int channel) override;
    void Play(int channel, void* chunk, bool loop) override;
    void Stop(int channel) override;
    bool Playing(int channel) override;
    void SetVolumes(double music, double effects) override;
};

}  // namespace

SoundDevice* SdlMixer() {
    static Mixer mixer;
    return &mixer;
}

bool Mixer::Open(std::unique_ptr<MusicOutput>* music) {
    music->reset();
    // The audio subsystem stays up from the first opening to the last closing, through a lost
    // device: it is what tells the game that a device has come back.
    if (!AudioSubsystemUp) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            std::fprintf(stderr, "kelmorav: no sound device (%s); the game runs silently\n",
                         SDL_GetError());
            return false;
        }
        AudioSubsystemUp = true;
    }
    // After a lost device the synthesiser is still there, made for its rate: the new device is
    // opened at that rate (SDL converts if it must), so the font is not read again.
    const bool reuse = Synth != nullptr;
    const int opened =
        reuse ? Mix_OpenAudioDevice(Synth->Rate(), AUDIO_S16SYS, DEVICE_CHANNELS,
                                    DEVICE_CHUNK_FRAMES, nullptr, SDL_AUDIO_ALLOW_CHANNELS_CHANGE)
              : Mix_OpenAudio(DEVICE_RATE, AUDIO_S16SYS, DEVICE_CHANNELS, DEVICE_CHUNK_FRAMES);
    if (opened != 0) {
        std::fprintf(stderr,
                     "kelmorav: cannot open the sound device (%s); the game runs silently\n",
                     Mix_GetError());
        if (!reuse) {
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            AudioSubsystemUp = false;
        }
        return false;
    }
    MixerIsOpen = true;
    Mix_QuerySpec(&DeviceRate, &DeviceFormat, &DeviceChannels);
    Mix_AllocateChannels(0);
    ChannelTaken.clear();
    if (reuse) {
        Mix_HookMusic(MusicHook, nullptr);
        *music = std::make_unique<HookedMusic>();
        return true;
    }
    // The font is looked for once a run: a device that comes back finds the same answer.
    if (FontSearched) return true;
    FontSearched = true;
    // Without a font (the note says so) the music keeps its time, silently.
    std::string note;
    const std::string font = FindSoundFont(&note);
    if (!note.empty()) std::fprintf(stderr, "%s\n", note.c_str());
    if (font.empty()) return true;
    if (DeviceFormat != AUDIO_S16SYS || DeviceChannels < 1) {
        std::fprintf(stderr,
                     "kelmorav: the sound device takes no 16-bit samples; the game runs "
                     "without music\n");
    } else {
        // The font is read once, now, in the background; the game starts meanwhile.
        Synth = std::make_unique<FluidMusic>(font, DeviceRate);
        Synth->SetVolume(MusicVolumeFactor);
        Mix_HookMusic(MusicHook, nullptr);
        *music = std::make_unique<HookedMusic>();
    }
    return true;
}

void Mixer::LoseDevice() {
    if (!MixerIsOpen) return;
    Mix_HaltChannel(-1);
    // Once the hook is off the audio thread no longer reaches the synthesiser.
    Mix_HookMusic(nullptr, nullptr);
    Mix_CloseAudio();
    MixerIsOpen = false;
    ChannelTaken.clear();
}

void Mixer::Close() {
    LoseDevice();
    Synth.reset();
    FontSearched = false;
    if (AudioSubsystemUp) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    AudioSubsystemUp = false;
}

bool Mixer::Prepare(VoiceSamples* samples) {
    if (samples->chunk != nullptr) {
        FreeChunk(samples->chunk);
        samples->chunk = nullptr;
    }
    if (!MixerIsOpen || samples->frameBytes == 0) return false;
    size_t frames = samples->bytes.size() / samples->frameBytes;
    int sourceBytes = static_cast<int>(frames * samples->frameBytes);
    if (sourceBytes == 0) return false;
    SDL_AudioCVT convert;
    if (SDL_BuildAudioCVT(&convert, SourceFormat(samples->format), samples->format.channels,
                          static_cast<int>(samples->format.samplesPerSec), DeviceFormat,
                          static_cast<Uint8>(DeviceChannels), DeviceRate) < 0) {
        std::fprintf(stderr, "kelmorav: cannot convert a %u Hz sound (%s)\n",
                     samples->format.samplesPerSec, SDL_GetError());
        return false;
    }
    convert.len = sourceBytes;
    // The mixer keeps using this memory: it belongs to the chunk and is freed with it.
    Uint8* buffer = static_cast<Uint8*>(
        SDL_malloc(static_cast<size_t>(sourceBytes) * static_cast<size_t>(convert.len_mult)));
    if (buffer == nullptr) return false;
    std::copy_n(samples->bytes.data(), sourceBytes, buffer);
    convert.buf = buffer;
    if (convert.needed && SDL_ConvertAudio(&convert) != 0) {
        SDL_free(buffer);
        return false;
    }
    int converted = convert.needed ? convert.len_cvt : sourceBytes;
    Mix_Chunk* chunk = Mix_QuickLoad_RAW(buffer, static_cast<Uint32>(converted));
    if (chunk == nullptr) {
        SDL_free(buffer);
        return false;
    }
    chunk->allocated = 1;  // Mix_FreeChunk frees the buffer too
    samples->chunk = chunk;
    return true;
}

void Mixer::FreeChunk(void* chunk) {
    // Mix_FreeChunk halts any channel still playing it and is safe after the device closed.
    Mix_FreeChunk(static_cast<Mix_Chunk*>(chunk));
}

int Mixer::AcquireChannel() {
    if (!MixerIsOpen) return -1;
    auto free = std::find(ChannelTaken.begin(), ChannelTaken.end(), false);
    int channel = static_cast<int>(free - ChannelTaken.begin());
    if (free == ChannelTaken.end()) {
        ChannelTaken.push_back(true);
        Mix_AllocateChannels(static_cast<int>(ChannelTaken.size()));
    } else {
        *free = true;
    }
    return channel;
}

void Mixer::ReleaseChannel(int channel) {
    if (channel >= 0 && static_cast<size_t>(channel) < ChannelTaken.size()) {
        ChannelTaken[static_cast<size_t>(channel)] = false;
    }
}

void Mixer::Play(int channel, void* chunk, bool loop) {
    if (!MixerIsOpen || chunk == nullptr) return;
    // Mix_PlayChannel restarts a busy channel; a voice still sounding must not restart.
    if (Mix_Playing(channel)) return;
    Mix_Volume(channel, EffectsMixVolume);
    Mix_PlayChannel(channel, static_cast<Mix_Chunk*>(chunk), loop ? -1 : 0);
}

void Mixer::SetVolumes(double music, double effects) {
    MusicVolumeFactor = music;
    EffectsMixVolume = static_cast<int>(std::lround(effects * MIX_MAX_VOLUME));
    // The voices sounding now change at the mixer's next buffer, the music at the
    // synthesiser's.
    if (MixerIsOpen) Mix_Volume(-1, EffectsMixVolume);
    if (Synth) Synth->SetVolume(music);
}

void Mixer::Stop(int channel) {
    if (MixerIsOpen) Mix_HaltChannel(channel);
}

bool Mixer::Playing(int channel) { return MixerIsOpen && Mix_Playing(channel) != 0; }
