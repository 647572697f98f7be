#pragma once
// The display's state, shared by the platform's drawing and the backends that present it:
// the primary surface and the marks that say it needs presenting. Platform-internal.

#include "platform/core/platform.h"

struct DisplayShared {
    int width = 0;
    int height = 0;
    bool dirty = false;         // the front surface or the palette may have changed
    bool forcePresent = false;  // the window needs its picture again (exposed, resized)
};
DisplayShared& DisplayState();

// Called after any write to a surface; marks the display for presentation when the surface is
// the primary one.
void PlatformSurfaceWritten(const Surface* surface);
// Called when the primary surface is released.
void PlatformDetachPrimary(const Surface* surface);
// The current primary surface of the display (null when none).
Surface* PlatformPrimary();
