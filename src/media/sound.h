#pragma once
// Sound effects: the RIFF WAVE reader, voice loading and playing.

#include "media/resources.h"
#include "platform/platform.h"

// Loads one WAV file into a new voice. A file that is missing or cannot be read leaves *voice
// null (that role stays silent) with one line on stderr.
void LoadVoice(Voice** voice, const char* path);
// Plays the voice once (or looping) while SoundOn is set; a voice still sounding is not restarted.
void PlayVoice(Voice* voice, bool loop);
// Start-up: loads the thirteen roles in order and makes the five extra SFX_PON2 voices.
void LoadAllVoices();
// The quit: releases every voice in the order they were made.
void ReleaseAllVoices();
