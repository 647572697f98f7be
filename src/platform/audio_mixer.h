#pragma once
// The SDL2_mixer side of the audio layer: device, channels for voices, and MIDI music through
// FluidSynth. Only the audio layer's own files include this.

#include <memory>
#include <string>
#include <vector>

#include "platform/audio_internal.h"

// Opens SDL audio and the mixer at 44100 Hz, 16-bit, stereo. False (with one line on stderr)
// when the device cannot be opened. *music receives the MIDI player, or null when no General
// MIDI sound font or MIDI decoder is available (said once on stderr). After MixerLoseDevice it
// opens the default device again with the synthesiser it had, the font not read again.
bool MixerOpen(std::unique_ptr<MusicOutput>* music);
// The device went away: it is closed, every channel with it; the synthesiser and SDL's audio
// subsystem (which reports devices that appear) stay for MixerOpen to use again.
void MixerLoseDevice();
// Closes the device and lets the synthesiser and the audio subsystem go.
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

// The sound-font search: the fonts SDL_SOUNDFONTS names (a list separated by ';') when it is
// set, and then nothing else; otherwise the places where Debian's General MIDI fonts install.
// Returns the font (or list) for FluidSynth, "" for none (the game then runs without music).
// A file that is not a sound font is left out. *note receives the one line to show the player
// (without its newline), or "" when all is well.
std::string FindSoundFont(std::string* note);
// The same search over given places: `listed` as SDL_SOUNDFONTS (null when unset), then the
// preferred files in order, then the first .sf2 in name order of each folder.
std::string ChooseSoundFont(const char* listed, const std::vector<std::string>& preferred,
                            const std::vector<std::string>& folders, std::string* note);
