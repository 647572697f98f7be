// The recorder installed in the core, and the sound device's replies passed through it.
#include "platform/core/recorder.h"

namespace {
Recorder* Installed = nullptr;
}  // namespace

void SetRecorder(Recorder* recorder) { Installed = recorder; }

Recorder* ActiveRecorder() { return Installed; }

bool RecorderVoicePlaying(bool live) {
    return Installed != nullptr ? Installed->VoicePlaying(live) : live;
}

bool RecorderVoiceStarts(bool live) {
    return Installed != nullptr ? Installed->VoiceStarts(live) : live;
}

void RecorderMusicAnswer(uint32_t* result, std::string* reply) {
    if (Installed != nullptr) Installed->MusicAnswer(result, reply);
}

bool PlatformSearchReady(bool live) {
    return Installed != nullptr ? Installed->SearchReady(live) : live;
}
