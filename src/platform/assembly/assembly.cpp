// The platform put together at start-up: the backend and the sound device chosen from the
// options (the SDL window and mixer for people, the headless script runner or the replay
// without a sound device for tests), the session installed as the core's recorder, and the
// parts above the core that its waits and shutdown set going.
#include "platform/audio/audio.h"
#include "platform/core/backend.h"
#include "platform/core/lifecycle.h"
#include "platform/core/platform.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/sdl/sdl_mixer.h"
#include "platform/session/headless_backend.h"
#include "platform/session/replay_backend.h"
#include "platform/session/session.h"
#include "platform/video/present.h"

namespace {

// The backend to run on, and the sound device that goes with it (null: none).
Backend* ChooseBackend(const PlatformOptions& options) {
    if (SessionReplaying()) {
        UseSoundDevice(nullptr);
        return MakeReplayBackend();
    }
    if (options.headless) {
        UseSoundDevice(nullptr);
        return MakeHeadlessBackend();
    }
    UseSoundDevice(SdlMixer());
    return MakeSdlBackend();
}

}  // namespace

bool PlatformInit(const PlatformOptions& options) {
    CoreParts parts;
    parts.present = PresentIfDirty;
    parts.closeAudio = PlatformCloseAudio;
    SetCoreParts(parts);
    SetRecorder(SessionRecorder());
    CoreRemember(options);
    if (!SessionOpen(options, options.version.empty() ? "unknown" : options.version)) return false;
    return CoreStart(options, ChooseBackend(options), SessionSeed(options.seed));
}

const std::string& PlatformSessionSettings() { return SessionSettings(); }

ScreenState PlatformScreen() {
    Backend* active = ActiveBackend();
    return active ? active->Screen() : ScreenState{};
}

void PlatformSetScaling(Scaling scaling) {
    if (Backend* active = ActiveBackend()) active->SetScaling(scaling);
}

void PlatformSetScreen(bool fullScreen, int scale) {
    Backend* active = ActiveBackend();
    if (active == nullptr) return;
    active->SetScreen(fullScreen, scale < 1 ? 1 : (scale > 8 ? 8 : scale));
}

std::string PlatformComputerSetting() { return SessionComputerSetting(); }
