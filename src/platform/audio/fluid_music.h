#pragma once
// The MIDI music of the desktop build: one FluidSynth synthesiser for the whole run, with the
// General MIDI sound font read once, in the background, while the game starts; a FluidSynth
// player per piece, made from the file's bytes held in memory, so that an "open" or a
// "play bgm from 0" never reads the font again and costs no stall. The piece's end is counted
// in rendered sample frames against the length our own MIDI reader gives, the moment the
// headless sequencer reports it too; its last notes ring on until the piece is started again
// or closed.
//
// Threads: the audio device calls Render; the game calls the MusicOutput operations; the font
// loader finishes in its own thread. One mutex keeps the player and the synthesiser to one of
// them at a time. No SDL here: tests drive Render themselves.

#include <fluidsynth/types.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/audio/mci.h"

// The synthesiser's own settings, fixed here rather than left to the library's defaults. The
// gain keeps the pieces at the loudness they had when the mixer's MIDI player ran them at
// volume 40 (its gain of 40 x 1.2 / 128): the same RMS level, their loudest bars 0.3 dB under
// full scale, never clipped. The reverb and chorus are FluidSynth's usual ones.
struct SynthSettings {
    double gain = 0.375;
    bool reverb = true;
    double reverbRoomSize = 0.2;
    double reverbDamp = 0.0;
    double reverbWidth = 0.5;
    double reverbLevel = 0.9;
    bool chorus = true;
    int chorusVoices = 3;
    double chorusLevel = 2.0;
    double chorusSpeed = 0.3;
    double chorusDepth = 8.0;
};

class FluidMusic : public MusicOutput {
public:
    // Starts reading the sound font at fontPath in the background for a device at `rate`
    // sample frames a second.
    FluidMusic(const std::string& fontPath, int rate, const SynthSettings& settings = {});
    ~FluidMusic() override;
    FluidMusic(const FluidMusic&) = delete;
    FluidMusic& operator=(const FluidMusic&) = delete;

    // Waits for the font; true when it was read (the music then sounds), false when it could
    // not be (the music then only keeps its time, silently).
    bool WaitUntilLoaded();
    // The device rate it renders for.
    int Rate() const { return rate_; }

    // The audio device's side: fills `frames` stereo frames of 16-bit samples.
    void Render(int16_t* stereo, int frames);
    // The music's loudness as a factor on the synthesiser's gain (1 = the gain it was made
    // with, 0 = silence); the next Render takes it.
    void SetVolume(double factor) { volume_ = factor; }

    bool Load(const std::string& gamePath, std::string* error) override;
    void Start() override;
    void Pause() override;
    void Resume() override;
    bool Ended() override;
    void Unload() override;

private:
    enum State { LOADING, READY, FAILED };

    void LoadFont(const std::string& fontPath);
    void StartPlayerLocked();
    void DeletePlayerLocked();

    const int rate_;
    const SynthSettings settings_;
    std::mutex mutex_;
    std::thread loader_;
    std::atomic<int> state_{LOADING};
    fluid_settings_t* fluidSettings_ = nullptr;
    fluid_synth_t* synth_ = nullptr;  // set once the font is in
    fluid_player_t* player_ = nullptr;

    // The open piece.
    std::vector<uint8_t> bytes_;
    uint64_t lengthFrames_ = 0;
    bool startPending_ = false;  // started while the font was still loading
    bool running_ = false;       // the piece's time runs (playing, not stopped or ended)
    uint64_t framesPlayed_ = 0;
    std::atomic<bool> ended_{false};
    uint64_t quietFrames_ = 0;  // frames rendered with no piece running and no voice sounding
    std::atomic<double> volume_{1.0};
    double synthVolume_ = 1.0;  // the factor the synthesiser's gain was last set to
};

// How many times a sound font has been read since the program started (for tests).
int SoundFontLoads();
