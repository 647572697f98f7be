#pragma once
// Shared between the platform's own files and its two backends; never included by game code.

#include <cstdint>
#include <string>

#include "platform/platform.h"

// Called after any write to a surface; marks the display for presentation when the surface is
// the primary one.
void PlatformSurfaceWritten(const Surface* surface);
// Called when the primary surface is released.
void PlatformDetachPrimary(const Surface* surface);
// The current primary surface of the display (null when none).
Surface* PlatformPrimary();
// The picture a backend presents: the primary surface, or while the present overlay shows, the
// copy of it with the overlay drawn on. Valid until the next presentation.
const Surface* PlatformPresentedPicture();

// A string as a JSON string literal (quoted and escaped), for trace lines.
std::string JsonString(const std::string& text);

// For tests: queues the desktop's window event, as the SDL backend receives it, that the window
// lost or regained the keyboard focus, was minimised or restored, or was asked to close; the
// next poll of input takes it. Nothing happens without the SDL backend.
enum class WindowChange { FOCUS_LOST, FOCUS_GAINED, MINIMIZED, RESTORED, CLOSE };
void PostWindowEvent(WindowChange change);
