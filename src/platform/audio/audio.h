#pragma once
// Opening and closing the sound and music devices, and the device going away and coming back.
// PlatformOpenAudio (platform.h) opens them.

class SoundDevice;

// The sound device to open (null: none, as in the headless backends; voices and music then keep
// their time silently). The platform's assembly gives it with the backend it chooses.
void UseSoundDevice(SoundDevice* device);

// Closing the sound and music devices; the platform's shutdown calls it after the game has
// released its voices.
void PlatformCloseAudio();

// The sound device the game plays on went away (headphones pulled out, a USB card unplugged,
// the sound server gone): the game goes on silently, voices and music keeping their time, with
// one line on stderr. Nothing happens when no device was in use.
void PlatformAudioDeviceRemoved();
// A sound device appeared: after a loss, the default device is opened again and the voices and
// the music play on it (the piece playing starts again from its beginning).
void PlatformAudioDeviceAdded();
