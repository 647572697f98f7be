#pragma once
// The replay backend: headless, its clock and input taken from the recording the session replays.

#include "platform/core/backend.h"

Backend* MakeReplayBackend();
