#pragma once
// Background music: the MCI command strings and the per-frame restart.

// Sends one MCI command string exactly as given (no reply).
void SendMusicCommand(const char* command);
// "status bgm mode"; when the reply is exactly "stopped" and MusicOn is set, "play bgm from 0".
void KeepMusicLooping();
