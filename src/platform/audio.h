#pragma once
// Closes the sound and music devices (called by PlatformShutdown).
void PlatformCloseAudio();
