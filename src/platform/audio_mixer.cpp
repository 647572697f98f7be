// SDL2_mixer: the audio device, one mixer channel per voice, and MIDI music through FluidSynth
// with a General MIDI sound font that we locate ourselves.
#include "platform/audio_mixer.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "platform/midi_file.h"

namespace {

constexpr int DEVICE_RATE = 44100;
constexpr int DEVICE_CHANNELS = 2;
constexpr int DEVICE_CHUNK_FRAMES = 1024;
// The mixer drives FluidSynth at a gain of volume / 128, five times FluidSynth's own default:
// at full volume the game's pieces clip, and even at half their loudest bars reach full scale.
// 40 keeps them a couple of decibels below it, with the effects still clearly on top.
constexpr int MUSIC_VOLUME = 40;

bool MixerIsOpen = false;
int DeviceRate = DEVICE_RATE;
Uint16 DeviceFormat = AUDIO_S16SYS;
int DeviceChannels = DEVICE_CHANNELS;
std::vector<bool> ChannelTaken;

bool Readable(const std::string& path) {
    std::error_code error;
    return !path.empty() && std::filesystem::is_regular_file(path, error);
}

// The mixer's MIDI player. SDL2_mixer 2.6's FluidSynth music cannot seek and its halt leaves
// the synthesiser paused where it was, so playing from the start reloads the file. The mixer
// only reports the end once the last notes have rung out, seconds after the piece's final
// event, so the end is also kept by our own clock against the file's length: the piece counts
// as stopped when its time is up (its last notes may still ring until it is restarted or
// closed), the same moment the headless sequencer reports.
class MixerMusic : public MusicOutput {
public:
    ~MixerMusic() override { Unload(); }

    bool Load(const std::string& gamePath, std::string* error) override {
        Unload();
        std::string path = HostPath(gamePath.c_str());
        MidiFileInfo info;
        if (!ReadMidiFileAt(path, &info, error)) return false;
        music_ = Mix_LoadMUS(path.c_str());
        if (music_ == nullptr) {
            *error = Mix_GetError();
            return false;
        }
        path_ = path;
        played_ = false;
        time_.LoadLength(info.lengthMs);
        return true;
    }

    void Start() override {
        if (path_.empty()) return;
        if (played_ || music_ == nullptr) {
            Mix_HaltMusic();
            if (music_ != nullptr) Mix_FreeMusic(music_);
            music_ = Mix_LoadMUS(path_.c_str());
            if (music_ == nullptr) return;
        }
        played_ = true;
        Mix_VolumeMusic(MUSIC_VOLUME);
        Mix_PlayMusic(music_, 0);
        time_.Start();
    }

    void Pause() override {
        if (music_ != nullptr) Mix_PauseMusic();
        time_.Pause();
    }

    void Resume() override {
        if (music_ != nullptr) Mix_ResumeMusic();
        time_.Resume();
    }

    bool Ended() override { return music_ == nullptr || Mix_PlayingMusic() == 0 || time_.Ended(); }

    void Unload() override {
        if (music_ != nullptr && MixerIsOpen) {
            Mix_HaltMusic();
            Mix_FreeMusic(music_);
        }
        music_ = nullptr;
        path_.clear();
    }

private:
    Mix_Music* music_ = nullptr;
    std::string path_;
    bool played_ = false;
    SimulatedMusic time_{[] { return static_cast<uint32_t>(SDL_GetTicks()); }};
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
        std::fprintf(stderr, "audio: SDL_SOUNDFONTS names no readable sound font (%s)\n", listed);
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
        std::fprintf(stderr, "audio: no sound device (%s); the game runs silently\n",
                     SDL_GetError());
        return false;
    }
    // The font must be known before the mixer opens: without one FluidSynth gives up quietly
    // and the mixer falls back to a Timidity set-up that is not installed.
    std::string font = FindSoundFont();
    bool midi = false;
    if (font.empty()) {
        std::fprintf(stderr,
                     "audio: no General MIDI sound font found; the game runs without "
                     "music\n");
    } else {
        Mix_SetSoundFonts(font.c_str());
        midi = (Mix_Init(MIX_INIT_MID) & MIX_INIT_MID) != 0;
    }
    if (Mix_OpenAudio(DEVICE_RATE, AUDIO_S16SYS, DEVICE_CHANNELS, DEVICE_CHUNK_FRAMES) != 0) {
        std::fprintf(stderr, "audio: cannot open the sound device (%s); the game runs silently\n",
                     Mix_GetError());
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    MixerIsOpen = true;
    Mix_QuerySpec(&DeviceRate, &DeviceFormat, &DeviceChannels);
    Mix_AllocateChannels(0);
    ChannelTaken.clear();
    if (!font.empty() && (!midi || !Mix_HasMusicDecoder("FLUIDSYNTH"))) {
        std::fprintf(stderr,
                     "audio: the mixer has no FluidSynth MIDI player; the game runs "
                     "without music\n");
    } else if (!font.empty()) {
        Mix_VolumeMusic(MUSIC_VOLUME);
        *music = std::make_unique<MixerMusic>();
    }
    return true;
}

void MixerClose() {
    if (!MixerIsOpen) return;
    Mix_HaltChannel(-1);
    Mix_HaltMusic();
    Mix_CloseAudio();
    Mix_Quit();
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
        std::fprintf(stderr, "audio: cannot convert a %u Hz sound (%s)\n",
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
