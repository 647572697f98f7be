#pragma once
// The main loop: the 100 ms animation tick, messages before frames, and the frame pacing that
// calls the current scene's handler at most once per FramePeriod.

#include <cstdint>

#include "platform/core/platform.h"

// Loop-local state that lives for the whole run.
struct LoopClock {
    uint32_t lastTick = 0;
    uint32_t lastFrame = 0;
    int swingSpeed = 0;
    int swingDirection = 1;
};

// Step 1 of a pass: ticks AnimTick and the swing when strictly more than 100 ms have passed.
void AdvanceTick(LoopClock& clock, uint32_t now);
// True when a frame is due (at least FramePeriod ms since the last one).
bool FrameDue(const LoopClock& clock, uint32_t now);
// The clock reading at which the next tick or frame falls due, whichever is first.
uint32_t NextDeadline(const LoopClock& clock, uint32_t now);

// Calls the handler of a scene number; numbers without a handler do nothing.
void DispatchScene(int scene);

// The window procedure: Escape and close requests quit, the mouse buttons go to MouseButtons.
void WindowProc(const Message& message);

// Runs the loop until the quit message; returns its exit code.
int RunMainLoop();
