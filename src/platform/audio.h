#pragma once
// Closing the sound and music devices; the platform's shutdown calls it after the game has
// released its voices. PlatformOpenAudio (platform.h) opens them.

void PlatformCloseAudio();
