#pragma once
// The SDL2_mixer side of the audio layer: device, channels for voices, and MIDI music through
// FluidSynth. Only the audio layer's own files include this.

#include <memory>
#include <string>

#include "platform/audio_internal.h"

// Opens SDL audio and the mixer at 44100 Hz, 16-bit, stereo. False (with one line on stderr)
// when the device cannot be opened. *music receives the MIDI player, or null when no General
// MIDI sound font or MIDI decoder is available (said once on stderr).
bool MixerOpen(std::unique_ptr<MusicOutput>* music);
void MixerClose();

// Converts a voice's samples to the device format and makes its mixer chunk (replacing any).
bool MixerPrepare(VoiceSamples* samples);
void MixerFreeChunk(void* chunk);

// One mixer channel per voice.
int MixerAcquireChannel();
void MixerReleaseChannel(int channel);
void MixerPlay(int channel, void* chunk, bool loop);
void MixerStop(int channel);
bool MixerPlaying(int channel);

// The sound-font search: SDL_SOUNDFONTS when it names an existing file, else the places where
// Debian's General MIDI fonts install. "" when none is found.
std::string FindSoundFont();
