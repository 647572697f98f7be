#pragma once
// The SDL2_mixer sound device: the audio device, one mixer channel per voice, and the MIDI music
// through our FluidSynth synthesiser, which fills the mixer's music stream.

#include "platform/audio/sound_device.h"

// The one SDL mixer of the program.
SoundDevice* SdlMixer();
