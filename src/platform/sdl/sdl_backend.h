#pragma once
// The SDL2 backend: the window, its input and its clock, for people.

#include "platform/core/backend.h"

Backend* MakeSdlBackend();

// For tests: queues the desktop's window event, as the SDL backend receives it, that the window
// lost or regained the keyboard focus, was minimised or restored, or was asked to close; the
// next poll of input takes it. Nothing happens without the SDL backend.
enum class WindowChange { FOCUS_LOST, FOCUS_GAINED, MINIMIZED, RESTORED, CLOSE };
void PostWindowEvent(WindowChange change);
// For tests: queues the desktop's event that a sound device went away (added = false) or
// appeared, as the SDL backend receives it; the next poll of input handles it. Nothing happens
// without the SDL backend.
void PostAudioDeviceEvent(bool added);
