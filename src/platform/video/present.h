#pragma once
// Presenting the display: the backend is asked only when something visible changed, and given
// the rectangle that did; the present overlay (platform.h) is laid over a copy of the picture
// while its key is held. Platform-internal.

#include "platform/core/platform.h"

// Presents the display if it changed since the last presentation (the core calls this before
// every wait).
void PresentIfDirty();
// The picture a backend presents: the primary surface, or while the present overlay shows, the
// copy of it with the overlay drawn on, which is larger than the display by a whole factor when
// the display is smaller than 640x480. Valid until the next presentation.
const Surface* PlatformPresentedPicture();
