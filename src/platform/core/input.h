#pragma once
// How the backends hand input to the shared message queue, and the clock kept between the
// gathers of input. Platform-internal.

#include <cstdint>

#include "platform/core/platform.h"

// Queues a message; key messages also update the key state.
void InputPushMessage(const Message& message);
void InputSetPointer(int x, int y);
bool InputQueueEmpty();
// The key state as the last gather of input left it, without gathering (KeyHeld gathers
// first).
bool InputKeyDown(int virtualKey);
const GameHooks& InputHooks();

// For the core's start and exit. The clock the game reads is latched at `reading` while
// `latched` (a recording is made): it then moves only when a wait ends.
void LatchClock(uint32_t reading, bool latched);
// No more input is gathered: the program is leaving. Returns how far the clock moved inside a
// wait the program leaves from, when it is latched (0 otherwise).
uint32_t StopGathering();
