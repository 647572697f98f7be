// Stand-in until the music engine lands.
#include "media/music.h"

#include "platform/platform.h"

void SendMusicCommand(const char* command) { MciSendString(command, nullptr, 0); }
void KeepMusicLooping() {}
