#pragma once
// The keys of the player aids in a match: a press switches an aid on or off, and holding the
// key switches it once.

#include <cstdint>

#include "platform/core/platform.h"

// Flips *on when key has gone down since the last call; *wasDown keeps the key's state from
// one call, made once per frame, to the next.
inline void ToggleOnPress(int key, uint8_t* wasDown, uint8_t* on) {
    const bool down = KeyHeld(key);
    if (down && *wasDown == 0) *on = *on != 0 ? 0 : 1;
    *wasDown = down ? 1 : 0;
}
