// SDL2_mixer: the audio device and one mixer channel per voice; the MIDI music comes from our
// own FluidSynth synthesiser, which fills the mixer's music stream through its hook.
#include "platform/audio_mixer.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "platform/fluid_music.h"

namespace {

constexpr int DEVICE_RATE = 44100;
constexpr int DEVICE_CHANNELS = 2;
constexpr int DEVICE_CHUNK_FRAMES = 1024;

bool MixerIsOpen = false;
int DeviceRate = DEVICE_RATE;
Uint16 DeviceFormat = AUDIO_S16SYS;
int DeviceChannels = DEVICE_CHANNELS;
std::vector<bool> ChannelTaken;

// The one synthesiser of the run, from the device's opening to its closing.
std::unique_ptr<FluidMusic> Synth;
std::vector<int16_t> HookScratch;  // stereo frames for devices with other channel counts

bool Readable(const std::string& path) {
    std::error_code error;
    return !path.empty() && std::filesystem::is_regular_file(path, error);
}

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

}  // namespace

std::string FindSoundFont() {
    if (const char* listed = std::getenv("SDL_SOUNDFONTS"); listed != nullptr && *listed) {
        std::string all = listed;
        size_t start = 0;
        while (start <= all.size()) {
            size_t end = all.find(';', start);
            if (end == std::string::npos) end = all.size();
            std::string one = all.substr(start, end - start);
            if (Readable(one)) return all;  // FluidSynth takes the whole list
            start = end + 1;
        }
        std::fprintf(stderr, "kelmorav: SDL_SOUNDFONTS names no readable sound font (%s)\n",
                     listed);
    }
    const char* preferred[] = {"/usr/share/sounds/sf2/TimGM6mb.sf2",
                               "/usr/share/sounds/sf2/default-GM.sf2"};
    for (const char* path : preferred) {
        if (Readable(path)) return path;
    }
    for (const char* folder : {"/usr/share/sounds/sf2", "/usr/share/soundfonts"}) {
        std::vector<std::string> found;
        std::error_code error;
        // Stepped with error codes: a folder that vanishes or cannot be read is just empty.
        std::filesystem::directory_iterator entry(folder, error), end;
        for (; !error && entry != end; entry.increment(error)) {
            std::string path = entry->path().string();
            if (path.size() > 4 && path.compare(path.size() - 4, 4, ".sf2") == 0 &&
                Readable(path)) {
                found.push_back(path);
            }
        }
        std::sort(found.begin(), found.end());
        if (!found.empty()) return found.front();
    }
    return "";
}

bool MixerOpen(std::unique_ptr<MusicOutput>* music) {
    music->reset();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        std::fprintf(stderr, "kelmorav: no sound device (%s); the game runs silently\n",
                     SDL_GetError());
        return false;
    }
    if (Mix_OpenAudio(DEVICE_RATE, AUDIO_S16SYS, DEVICE_CHANNELS, DEVICE_CHUNK_FRAMES) != 0) {
        std::fprintf(stderr,
                     "kelmorav: cannot open the sound device (%s); the game runs silently\n",
                     Mix_GetError());
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    MixerIsOpen = true;
    Mix_QuerySpec(&DeviceRate, &DeviceFormat, &DeviceChannels);
    Mix_AllocateChannels(0);
    ChannelTaken.clear();
    const std::string font = FindSoundFont();
    if (font.empty()) {
        std::fprintf(stderr,
                     "kelmorav: no General MIDI sound font found; the game runs without music\n");
    } else if (DeviceFormat != AUDIO_S16SYS || DeviceChannels < 1) {
        std::fprintf(stderr,
                     "kelmorav: the sound device takes no 16-bit samples; the game runs "
                     "without music\n");
    } else {
        // The font is read once, now, in the background; the game starts meanwhile.
        Synth = std::make_unique<FluidMusic>(font, DeviceRate);
        Mix_HookMusic(MusicHook, nullptr);
        *music = std::make_unique<HookedMusic>();
    }
    return true;
}

void MixerClose() {
    if (!MixerIsOpen) return;
    Mix_HaltChannel(-1);
    // Once the hook is off the audio thread no longer reaches the synthesiser.
    Mix_HookMusic(nullptr, nullptr);
    Synth.reset();
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    MixerIsOpen = false;
    ChannelTaken.clear();
}

bool MixerPrepare(VoiceSamples* samples) {
    if (samples->mixerChunk != nullptr) {
        MixerFreeChunk(samples->mixerChunk);
        samples->mixerChunk = nullptr;
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
    samples->mixerChunk = chunk;
    return true;
}

void MixerFreeChunk(void* chunk) {
    // Mix_FreeChunk halts any channel still playing it and is safe after the device closed.
    Mix_FreeChunk(static_cast<Mix_Chunk*>(chunk));
}

int MixerAcquireChannel() {
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

void MixerReleaseChannel(int channel) {
    if (channel >= 0 && static_cast<size_t>(channel) < ChannelTaken.size()) {
        ChannelTaken[static_cast<size_t>(channel)] = false;
    }
}

void MixerPlay(int channel, void* chunk, bool loop) {
    if (!MixerIsOpen || chunk == nullptr) return;
    // Mix_PlayChannel restarts a busy channel; a voice still sounding must not restart.
    if (Mix_Playing(channel)) return;
    Mix_PlayChannel(channel, static_cast<Mix_Chunk*>(chunk), loop ? -1 : 0);
}

void MixerStop(int channel) {
    if (MixerIsOpen) Mix_HaltChannel(channel);
}

bool MixerPlaying(int channel) { return MixerIsOpen && Mix_Playing(channel) != 0; }
