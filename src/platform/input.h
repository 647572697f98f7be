#pragma once
// How the backends hand input to the shared message queue. Platform-internal.

#include "platform/platform.h"

// Queues a message; key messages also update the key state.
void InputPushMessage(const Message& message);
void InputSetPointer(int x, int y);
bool InputQueueEmpty();
const GameHooks& InputHooks();
