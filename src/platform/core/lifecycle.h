#pragma once
// The core's start, for the platform's assembly (platform/assembly): the parts above the core
// that the core's own calls set going, what the core keeps of the options, and the backend it
// runs on. Its shutdown and the way out are in platform.h. Only the assembly and the core's own
// files include this.

#include <cstdint>

#include "platform/core/backend.h"
#include "platform/core/platform.h"

// The core calls the rooms above it only through these, so no call runs back up: presenting
// what changed (platform/video), before every wait, and closing the sound and music devices
// (platform/audio), at shutdown. A part left null is skipped.
struct CoreParts {
    void (*present)() = nullptr;
    void (*closeAudio)() = nullptr;
};
void SetCoreParts(const CoreParts& parts);
const CoreParts& InstalledCoreParts();

// Keeps what the core needs of the options before anything may end the program: the data
// directory for messages, the dump asked for at the end, and the seed given.
void CoreRemember(const PlatformOptions& options);
// Runs the core on backend (the core owns it from here on) with the session's seed: opens the
// trace, starts the backend, enters the data directory and takes the clock's first reading,
// which the recorder gets. False, after one line on stderr, when the backend cannot start or
// the data directory cannot be entered; the recorder is then told the session is abandoned.
bool CoreStart(const PlatformOptions& options, Backend* backend, uint32_t seed);
