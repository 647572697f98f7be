// What both backends share: start-up and shutdown, the message queue, the key state, the
// pointer position, the waits, the trace and the test hooks.
#include "platform/platform.h"

#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <nlohmann/json.hpp>
#include <vector>

#include "platform/audio.h"
#include "platform/backend.h"
#include "platform/input.h"
#include "platform/platform_internal.h"

namespace {

std::unique_ptr<Backend> Active;
std::deque<Message> Queue;
bool KeyDownState[256] = {};
int PointerX = 0;
int PointerY = 0;
GameHooks Hooks;
std::ofstream TraceFile;
bool QuitPosted = false;

// The overlay shown while its key is held, and the copy of the front surface it is drawn on.
int OverlayKey = -1;
PresentOverlay OverlayCompose = nullptr;
bool OverlayShown = false;
Surface OverlayPicture;

bool OverlayWanted() {
    return OverlayCompose != nullptr && OverlayKey >= 0 && OverlayKey < 256 &&
           KeyDownState[OverlayKey];
}

const Surface* ComposeOverlay(const Surface* primary) {
    OverlayPicture.width = primary->width;
    OverlayPicture.height = primary->height;
    OverlayPicture.pitch = primary->pitch;
    OverlayPicture.pixels = primary->pixels;
    OverlayCompose(&OverlayPicture, InstalledPalette());
    return &OverlayPicture;
}

// What was presented last, so that a frame identical to it (a pause, a held picture) costs
// no presentation at all.
std::vector<uint8_t> PresentedPixels;
PaletteEntry PresentedPalette[256];
int PresentedWidth = 0;

bool SameAsPresented(const Surface* primary) {
    const PaletteEntry* pal = InstalledPalette();
    if (primary->width != PresentedWidth ||
        PresentedPixels.size() != static_cast<size_t>(primary->width) * primary->height ||
        std::memcmp(PresentedPalette, pal, sizeof PresentedPalette) != 0) {
        return false;
    }
    for (int y = 0; y < primary->height; ++y) {
        if (std::memcmp(&PresentedPixels[static_cast<size_t>(y) * primary->width],
                        &primary->pixels[static_cast<size_t>(y) * primary->pitch],
                        primary->width) != 0) {
            return false;
        }
    }
    return true;
}

void RememberPresented(const Surface* primary) {
    PresentedWidth = primary->width;
    PresentedPixels.resize(static_cast<size_t>(primary->width) * primary->height);
    for (int y = 0; y < primary->height; ++y) {
        std::memcpy(&PresentedPixels[static_cast<size_t>(y) * primary->width],
                    &primary->pixels[static_cast<size_t>(y) * primary->pitch], primary->width);
    }
    std::memcpy(PresentedPalette, InstalledPalette(), sizeof PresentedPalette);
}

// The backend is asked to present only when something visible changed; the overlay's key going
// down or up is such a change.
void PresentIfDirty() {
    DisplayShared& d = DisplayState();
    const bool overlay = OverlayWanted();
    if (overlay != OverlayShown) d.dirty = true;
    if (!d.dirty || !Active) return;
    d.dirty = false;
    const Surface* primary = PlatformPrimary();
    if (primary == nullptr) return;
    const Surface* picture = overlay ? ComposeOverlay(primary) : primary;
    OverlayShown = overlay;
    if (!d.forcePresent && SameAsPresented(picture)) return;
    d.forcePresent = false;
    RememberPresented(picture);
    Active->Present();
}

// Signed distance from now to deadline on the wrapping 32-bit clock.
int32_t Remaining(uint32_t deadline) { return static_cast<int32_t>(deadline - TimeGetTime()); }

}  // namespace

Backend* ActiveBackend() { return Active.get(); }

// ---- input shared by the backends ---------------------------------------------------------

void InputPushMessage(const Message& message) {
    switch (message.type) {
    case MessageType::KeyDown:
        if (message.wparam < 256) KeyDownState[message.wparam] = true;
        break;
    case MessageType::KeyUp:
        if (message.wparam < 256) KeyDownState[message.wparam] = false;
        break;
    default: break;
    }
    Queue.push_back(message);
}

void InputSetPointer(int x, int y) {
    PointerX = x;
    PointerY = y;
}

bool InputQueueEmpty() { return Queue.empty(); }

const GameHooks& InputHooks() { return Hooks; }

// ---- the public interface -------------------------------------------------------------------

bool PlatformInit(const PlatformOptions& options) {
    Active.reset(options.headless ? MakeHeadlessBackend() : MakeSdlBackend());
    if (!options.tracePath.empty()) {
        TraceFile.open(options.tracePath, std::ios::out | std::ios::trunc);
        if (!TraceFile) {
            std::fprintf(stderr, "kelmorav: cannot write the trace file %s\n",
                         options.tracePath.c_str());
        }
    }
    if (!Active->Init(options)) {
        Active.reset();
        return false;
    }
    if (!options.dataDir.empty()) {
        std::error_code ec;
        std::filesystem::current_path(options.dataDir, ec);
        if (ec) {
            std::fprintf(stderr, "kelmorav: cannot use the data directory %s: %s\n",
                         options.dataDir.c_str(), ec.message().c_str());
            PlatformShutdown();
            return false;
        }
    }
    return true;
}

void PlatformShutdown() {
    PlatformCloseAudio();
    if (Active) {
        Active->Shutdown();
        Active.reset();
    }
}

void PlatformExit(int status) {
    TraceLine("\"exit\":" + std::to_string(status));
    if (TraceFile.is_open()) TraceFile.close();
    PlatformShutdown();
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(status);
}

bool PlatformIsHeadless() { return Active && Active->Headless(); }

std::string JsonString(const std::string& text) {
    // Invalid UTF-8 (a file name from anywhere) is replaced rather than allowed to throw.
    return nlohmann::json(text).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

void SetGameHooks(const GameHooks& hooks) { Hooks = hooks; }

void SetPresentOverlay(int key, PresentOverlay compose) {
    OverlayKey = key;
    OverlayCompose = compose;
}

const Surface* PlatformPresentedPicture() {
    return OverlayShown ? &OverlayPicture : PlatformPrimary();
}

void TraceLine(const std::string& fields) {
    if (!TraceFile.is_open()) return;
    TraceFile << "{\"t\":" << TimeGetTime() << "," << fields << "}\n";
    TraceFile.flush();
}

uint32_t TimeGetTime() { return Active ? Active->Now() : 0; }

bool PeekMessage(Message* out) {
    if (Queue.empty() && Active) Active->Poll();
    if (Queue.empty()) return false;
    if (out) *out = Queue.front();
    return true;
}

void GetMessage(Message* out) {
    while (Queue.empty()) {
        if (!Active) {
            if (out) *out = Message{MessageType::Quit, 0};
            return;
        }
        PresentIfDirty();
        Active->Wait(TimeGetTime() + 1000, true);
    }
    if (out) *out = Queue.front();
    Queue.pop_front();
}

void PostQuitMessage(int exitCode) {
    if (QuitPosted) return;
    QuitPosted = true;
    Queue.push_back(Message{MessageType::Quit, static_cast<uint32_t>(exitCode)});
}

void WaitForMessageOrTime(uint32_t deadline) {
    PresentIfDirty();
    if (!Active) return;
    while (Queue.empty() && Remaining(deadline) > 0) Active->Wait(deadline, true);
}

void WaitUntil(uint32_t deadline) {
    PresentIfDirty();
    if (!Active) return;
    while (Remaining(deadline) > 0) Active->Wait(deadline, false);
}

bool KeyHeld(int virtualKey) {
    if (Active) Active->Poll();
    return virtualKey >= 0 && virtualKey < 256 && KeyDownState[virtualKey];
}

void GetCursorPos(int* x, int* y) {
    if (Active) Active->Poll();
    if (x) *x = PointerX;
    if (y) *y = PointerY;
}

void SetCursorPos(int x, int y) {
    PointerX = x;
    PointerY = y;
    if (Active) Active->WarpPointer(x, y);
}
