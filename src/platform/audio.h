#pragma once
// Closing the sound and music devices; the platform's shutdown calls it after the game has
// released its voices. PlatformOpenAudio (platform.h) opens them.

void PlatformCloseAudio();

// The sound device the game plays on went away (headphones pulled out, a USB card unplugged,
// the sound server gone): the game goes on silently, voices and music keeping their time, with
// one line on stderr. Nothing happens when no device was in use.
void PlatformAudioDeviceRemoved();
// A sound device appeared: after a loss, the default device is opened again and the voices and
// the music play on it (the piece playing starts again from its beginning).
void PlatformAudioDeviceAdded();

// For tests: queues the desktop's event that a sound device went away (added = false) or
// appeared, as the SDL backend receives it; the next poll of input handles it. Nothing
// happens without the SDL backend.
void PostAudioDeviceEvent(bool added);
