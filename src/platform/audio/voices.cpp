// Sound voices and the music command entry point, on a sound device or the simulation. The
// clock and the trace come only through AudioHooks, so tests can drive the voices; what the
// device says of them passes the core's recorder, which a recording keeps.
#include "platform/audio/voices.h"

#include <algorithm>
#include <cstring>

#include "platform/core/recorder.h"
#include "platform/core/trace.h"

namespace {

// Largest sample buffer a voice may have; the game's effects are a few hundred kilobytes.
constexpr uint32_t MAX_VOICE_BYTES = 64u << 20;

struct AudioState {
    AudioHooks hooks;
    // The device the voices were last given; it stays when it goes away or closes, so that
    // voices released later give their channels and chunks back to it.
    SoundDevice* device = nullptr;
    bool onDevice = false;  // the voices play on the device now
    std::unique_ptr<MciDevice> music;
    std::vector<Voice*> voices;  // every voice made and not yet released
};

AudioState& State() {
    static AudioState state;
    return state;
}

uint32_t Now() {
    const AudioHooks& hooks = State().hooks;
    return hooks.now ? hooks.now() : 0;
}

void Trace(const std::string& fields) {
    const AudioHooks& hooks = State().hooks;
    if (hooks.trace) hooks.trace(fields);
}

std::unique_ptr<MciDevice> SimulatedDevice() {
    return std::make_unique<MciDevice>(std::make_unique<SimulatedMusic>([] { return Now(); }));
}

MciDevice& Music() {
    AudioState& state = State();
    if (!state.music) state.music = SimulatedDevice();
    return *state.music;
}

// Whether the voice sounds now, as its device says.
bool Sounding(Voice* voice) {
    if (voice->channel >= 0) return State().device->Playing(voice->channel);
    if (!voice->started) return false;
    return voice->looping || Now() - voice->startedAt < voice->samples->lengthMs;
}

bool Playable(const WaveFormat& format) {
    return format.formatTag == 1 && (format.channels == 1 || format.channels == 2) &&
           (format.bitsPerSample == 8 || format.bitsPerSample == 16) &&
           format.samplesPerSec >= 1000 && format.samplesPerSec <= 192000;
}

}  // namespace

VoiceSamples::~VoiceSamples() {
    if (chunk != nullptr) State().device->FreeChunk(chunk);
}

uint32_t VoiceLengthMs(const WaveFormat& format, uint32_t bytes) {
    uint32_t frameBytes = format.channels * format.bitsPerSample / 8u;
    if (frameBytes == 0 || format.samplesPerSec == 0) return 0;
    uint64_t frames = bytes / frameBytes;
    return static_cast<uint32_t>((frames * 1000 + format.samplesPerSec - 1) / format.samplesPerSec);
}

void AudioUseSimulation(const AudioHooks& hooks) {
    AudioState& state = State();
    state.music.reset();
    state.hooks = hooks;
    state.onDevice = false;
    state.music = SimulatedDevice();
}

void AudioUseDevice(const AudioHooks& hooks, SoundDevice* device,
                    std::unique_ptr<MusicOutput> music) {
    AudioState& state = State();
    state.music.reset();
    state.hooks = hooks;
    state.device = device;
    state.onDevice = true;
    state.music = music ? std::make_unique<MciDevice>(std::move(music)) : SimulatedDevice();
}

void AudioDeviceGone() {
    AudioState& state = State();
    if (!state.onDevice) return;
    for (Voice* voice : state.voices) {
        if (voice->channel >= 0) {
            state.device->Stop(voice->channel);
            state.device->ReleaseChannel(voice->channel);
            voice->channel = -1;
        }
        voice->started = false;
        if (voice->samples->chunk != nullptr) {
            state.device->FreeChunk(voice->samples->chunk);
            voice->samples->chunk = nullptr;
        }
    }
    state.onDevice = false;
    if (state.music) {
        state.music->ReplaceOutput(std::make_unique<SimulatedMusic>([] { return Now(); }));
    }
}

void AudioDeviceBack(std::unique_ptr<MusicOutput> music) {
    AudioState& state = State();
    if (state.onDevice) return;
    state.onDevice = true;
    for (Voice* voice : state.voices) {
        voice->channel = state.device->AcquireChannel();
        voice->started = false;
        if (voice->samples->chunk == nullptr) state.device->Prepare(voice->samples.get());
    }
    if (!music) return;
    if (state.music) {
        state.music->ReplaceOutput(std::move(music));
    } else {
        state.music = std::make_unique<MciDevice>(std::move(music));
    }
}

void AudioReset() {
    AudioState& state = State();
    state.music.reset();
    state.hooks = AudioHooks{};
    state.onDevice = false;
}

bool AudioDeviceActive() { return State().onDevice; }

Voice* CreateSoundBuffer(const WaveFormat& format, uint32_t bytes) {
    if (!Playable(format) || bytes == 0 || bytes > MAX_VOICE_BYTES) return nullptr;
    auto samples = std::make_shared<VoiceSamples>();
    samples->format = format;
    samples->frameBytes = format.channels * format.bitsPerSample / 8u;
    samples->bytes.assign(bytes, format.bitsPerSample == 8 ? 0x80 : 0x00);  // silence
    samples->lengthMs = VoiceLengthMs(format, bytes);
    Voice* voice = new Voice;
    voice->samples = std::move(samples);
    if (State().onDevice) voice->channel = State().device->AcquireChannel();
    State().voices.push_back(voice);
    return voice;
}

bool LockSoundBuffer(Voice* voice, uint8_t** data, uint32_t* bytes) {
    if (voice == nullptr || data == nullptr || bytes == nullptr) return false;
    *data = voice->samples->bytes.data();
    *bytes = static_cast<uint32_t>(voice->samples->bytes.size());
    return true;
}

void UnlockSoundBuffer(Voice* voice) {
    if (voice == nullptr) return;
    if (voice->channel >= 0) State().device->Prepare(voice->samples.get());
}

Voice* DuplicateSoundBuffer(Voice* voice) {
    if (voice == nullptr) return nullptr;
    Voice* copy = new Voice;
    copy->samples = voice->samples;
    copy->role = voice->role;
    copy->index = voice->index;
    if (voice->channel >= 0) copy->channel = State().device->AcquireChannel();
    State().voices.push_back(copy);
    return copy;
}

void SetVoiceLabel(Voice* voice, const char* role, int index) {
    if (voice == nullptr) return;
    voice->role = role ? role : "";
    voice->index = index;
}

// What a device says of its voices is the machine's, not the game's: a recording keeps it.
bool VoicePlaying(Voice* voice) {
    if (voice == nullptr) return false;
    return RecorderVoicePlaying(Sounding(voice));
}

void PlaySoundBuffer(Voice* voice, bool loop) {
    if (voice == nullptr) return;
    const bool onDevice = voice->channel >= 0;
    const bool playable = !onDevice || voice->samples->chunk != nullptr;
    if (!RecorderVoiceStarts(playable && !Sounding(voice))) return;
    if (onDevice) {
        State().device->Play(voice->channel, voice->samples->chunk, loop);
    } else {
        voice->started = true;
        voice->looping = loop;
        voice->startedAt = Now();
    }
    Trace("\"voice\":" + JsonString(voice->role) + ",\"index\":" + std::to_string(voice->index));
}

void StopSoundBuffer(Voice* voice) {
    if (voice == nullptr) return;
    if (voice->channel >= 0) State().device->Stop(voice->channel);
    voice->started = false;
}

void ReleaseSoundBuffer(Voice* voice) {
    if (voice == nullptr) return;
    if (voice->channel >= 0) {
        State().device->Stop(voice->channel);
        State().device->ReleaseChannel(voice->channel);
    }
    std::vector<Voice*>& voices = State().voices;
    voices.erase(std::remove(voices.begin(), voices.end(), voice), voices.end());
    delete voice;
}

uint32_t MciSendString(const char* command, char* reply, unsigned replySize) {
    std::string answer;
    uint32_t result = Music().Send(command, &answer);
    RecorderMusicAnswer(&result, &answer);
    std::string delivered;
    if (reply != nullptr && replySize > 0) {
        delivered = answer.substr(0, replySize - 1);
        std::memcpy(reply, delivered.c_str(), delivered.size() + 1);
    }
    Trace("\"mci\":" + JsonString(command ? command : "") +
          ",\"result\":" + std::to_string(result) + ",\"reply\":" + JsonString(delivered));
    return result;
}
