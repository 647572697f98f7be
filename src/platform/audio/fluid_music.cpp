#include "platform/audio/fluid_music.h"

#include <fluidsynth.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>

#include "platform/audio/midi_file.h"
#include "platform/core/platform.h"

namespace {

// After this much silence with no piece running, the synthesiser (its reverb tail long gone)
// is no longer run: the device gets zeros for free.
constexpr uint64_t QUIET_SECONDS = 3;

std::atomic<int> FontLoads{0};

// FluidSynth's notes and warnings say nothing the player can act on; its errors still show.
void QuietenFluidSynthLog() {
    fluid_set_log_function(FLUID_WARN, nullptr, nullptr);
    fluid_set_log_function(FLUID_INFO, nullptr, nullptr);
    fluid_set_log_function(FLUID_DBG, nullptr, nullptr);
}

fluid_settings_t* MakeSettings(int rate, const SynthSettings& s) {
    fluid_settings_t* f = new_fluid_settings();
    if (f == nullptr) return nullptr;
    fluid_settings_setnum(f, "synth.sample-rate", rate);
    fluid_settings_setnum(f, "synth.gain", s.gain);
    fluid_settings_setint(f, "synth.reverb.active", s.reverb ? 1 : 0);
    fluid_settings_setnum(f, "synth.reverb.room-size", s.reverbRoomSize);
    fluid_settings_setnum(f, "synth.reverb.damp", s.reverbDamp);
    fluid_settings_setnum(f, "synth.reverb.width", s.reverbWidth);
    fluid_settings_setnum(f, "synth.reverb.level", s.reverbLevel);
    fluid_settings_setint(f, "synth.chorus.active", s.chorus ? 1 : 0);
    fluid_settings_setint(f, "synth.chorus.nr", s.chorusVoices);
    fluid_settings_setnum(f, "synth.chorus.level", s.chorusLevel);
    fluid_settings_setnum(f, "synth.chorus.speed", s.chorusSpeed);
    fluid_settings_setnum(f, "synth.chorus.depth", s.chorusDepth);
    // The samples stay in ordinary memory (locking them needs privileges a game lacks), and
    // the player leaves the synthesiser as the piece ends, so its last notes ring out.
    fluid_settings_setint(f, "synth.lock-memory", 0);
    fluid_settings_setint(f, "player.reset-synth", 0);
    return f;
}

// FluidSynth's errors while a font loads are kept, so that a font it refuses is one line.
std::mutex FontErrorMutex;
std::string FontError;

void KeepFontError(int, const char* message, void*) {
    std::lock_guard<std::mutex> lock(FontErrorMutex);
    if (FontError.empty() && message != nullptr) FontError = message;
}

}  // namespace

int SoundFontLoads() { return FontLoads.load(); }

FluidMusic::FluidMusic(const std::string& fontPath, int rate, const SynthSettings& settings)
    : rate_(rate), settings_(settings) {
    QuietenFluidSynthLog();
    loader_ = std::thread([this, fontPath] { LoadFont(fontPath); });
}

FluidMusic::~FluidMusic() {
    if (loader_.joinable()) loader_.join();
    std::lock_guard<std::mutex> lock(mutex_);
    DeletePlayerLocked();
    if (synth_) delete_fluid_synth(synth_);
    if (fluidSettings_) delete_fluid_settings(fluidSettings_);
}

void FluidMusic::LoadFont(const std::string& fontPath) {
    // The game's start-up comes first: on a busy machine the font waits for it, not the other
    // way round (a piece started meanwhile begins when the font is in).
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 10);
    fluid_settings_t* settings = MakeSettings(rate_, settings_);
    fluid_synth_t* synth = settings ? new_fluid_synth(settings) : nullptr;
    // A list ("a.sf2;b.sf2", as SDL_SOUNDFONTS may give) stacks its fonts, the last on top.
    bool loaded = false;
    size_t start = 0;
    while (synth != nullptr && start <= fontPath.size()) {
        size_t end = fontPath.find(';', start);
        if (end == std::string::npos) end = fontPath.size();
        const std::string one = fontPath.substr(start, end - start);
        start = end + 1;
        if (one.empty() || !std::ifstream(one)) continue;
        FontLoads.fetch_add(1);
        fluid_set_log_function(FLUID_ERR, KeepFontError, nullptr);
        if (fluid_synth_sfload(synth, one.c_str(), 1) != FLUID_FAILED) loaded = true;
        fluid_set_log_function(FLUID_ERR, fluid_default_log_function, nullptr);
    }
    std::lock_guard<std::mutex> lock(mutex_);
    fluidSettings_ = settings;
    if (!loaded) {
        std::string why;
        {
            std::lock_guard<std::mutex> errorLock(FontErrorMutex);
            why = FontError.empty() ? "" : " (" + FontError + ")";
        }
        std::fprintf(stderr,
                     "kelmorav: cannot read the sound font %s%s; the game runs without music\n",
                     fontPath.c_str(), why.c_str());
        if (synth) delete_fluid_synth(synth);
        state_ = FAILED;
        // A piece started meanwhile keeps its time without sound.
        if (startPending_) {
            startPending_ = false;
            running_ = true;
        }
        return;
    }
    synth_ = synth;
    state_ = READY;
    if (startPending_) StartPlayerLocked();
}

bool FluidMusic::WaitUntilLoaded() {
    if (loader_.joinable()) loader_.join();
    return state_ == READY;
}

void FluidMusic::DeletePlayerLocked() {
    if (player_ == nullptr) return;
    fluid_player_stop(player_);
    delete_fluid_player(player_);
    player_ = nullptr;
}

void FluidMusic::StartPlayerLocked() {
    startPending_ = false;
    framesPlayed_ = 0;
    ended_ = false;
    running_ = true;
    quietFrames_ = 0;
    if (synth_ == nullptr) return;  // no font: the piece only keeps its time
    DeletePlayerLocked();
    // A piece starts from a silent synthesiser with every channel at its power-on state.
    fluid_synth_all_sounds_off(synth_, -1);
    fluid_synth_system_reset(synth_);
    player_ = new_fluid_player(synth_);
    if (player_ == nullptr) return;
    if (fluid_player_add_mem(player_, bytes_.data(), bytes_.size()) != FLUID_OK ||
        fluid_player_play(player_) != FLUID_OK) {
        DeletePlayerLocked();
    }
}

void FluidMusic::Render(int16_t* stereo, int frames) {
    std::lock_guard<std::mutex> lock(mutex_);
    const uint64_t quietLimit = QUIET_SECONDS * static_cast<uint64_t>(rate_);
    const double volume = volume_;
    if (synth_ != nullptr && volume != synthVolume_) {
        synthVolume_ = volume;
        fluid_synth_set_gain(synth_, static_cast<float>(settings_.gain * volume));
    }
    if (synth_ != nullptr && (running_ || quietFrames_ < quietLimit)) {
        fluid_synth_write_s16(synth_, frames, stereo, 0, 2, stereo, 1, 2);
        if (!running_ && fluid_synth_get_active_voice_count(synth_) == 0) quietFrames_ += frames;
        // The synthesiser's dither would leave a whisper at gain 0: volume 0 is silence.
        if (volume == 0.0)
            std::memset(stereo, 0, static_cast<size_t>(frames) * 2 * sizeof(int16_t));
    } else {
        std::memset(stereo, 0, static_cast<size_t>(frames) * 2 * sizeof(int16_t));
    }
    if (running_) {
        framesPlayed_ += static_cast<uint64_t>(frames);
        if (framesPlayed_ >= lengthFrames_) {
            running_ = false;
            ended_ = true;
        }
    }
}

bool FluidMusic::Load(const std::string& gamePath, std::string* error) {
    std::vector<uint8_t> bytes;
    MidiFileInfo info;
    if (!ReadMidiFileAt(HostPath(gamePath.c_str()), &info, error, &bytes)) return false;
    if (info.truncated) *error = MIDI_CUT_SHORT;
    std::lock_guard<std::mutex> lock(mutex_);
    DeletePlayerLocked();
    bytes_ = std::move(bytes);
    lengthFrames_ = static_cast<uint64_t>(info.lengthMs) * static_cast<uint64_t>(rate_) / 1000u;
    startPending_ = running_ = false;
    ended_ = false;
    return true;
}

void FluidMusic::Start() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (state_ == LOADING) {
        startPending_ = true;
        running_ = false;
        ended_ = false;
        return;
    }
    StartPlayerLocked();
}

void FluidMusic::Pause() {
    std::lock_guard<std::mutex> lock(mutex_);
    startPending_ = false;
    running_ = false;
    if (player_ != nullptr) {
        fluid_player_stop(player_);
        fluid_synth_all_notes_off(synth_, -1);
    }
}

void FluidMusic::Resume() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (player_ == nullptr && framesPlayed_ == 0) {
        // Stopped before the font was in: nothing has played yet, so it starts now.
        if (state_ == LOADING) {
            startPending_ = true;
        } else {
            StartPlayerLocked();
        }
        return;
    }
    if (player_ != nullptr) fluid_player_play(player_);
    running_ = !ended_;
    quietFrames_ = 0;
}

bool FluidMusic::Ended() { return ended_; }

void FluidMusic::Unload() {
    std::lock_guard<std::mutex> lock(mutex_);
    DeletePlayerLocked();
    if (synth_ != nullptr) fluid_synth_all_notes_off(synth_, -1);
    bytes_.clear();
    lengthFrames_ = 0;
    startPending_ = running_ = false;
    ended_ = false;
}
