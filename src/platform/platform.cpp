// What both backends share: start-up and shutdown, the message queue, the key state, the
// pointer position, the waits, the trace and the test hooks.
#include "platform/platform.h"

#include <algorithm>
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

// The sanitizer build checks for leaks on the way out (see PlatformExit).
#if defined(__SANITIZE_ADDRESS__)
#define KELMORAV_LEAK_CHECK 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KELMORAV_LEAK_CHECK 1
#endif
#endif
#ifdef KELMORAV_LEAK_CHECK
#include <sanitizer/lsan_interface.h>
#endif

namespace {

std::unique_ptr<Backend> Active;
std::deque<Message> Queue;
bool KeyDownState[256] = {};
int PointerX = 0;
int PointerY = 0;
GameHooks Hooks;
std::ofstream TraceFile;
bool QuitPosted = false;
std::string DataDirectory;  // as given at start-up, for messages

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
// no presentation at all, and a frame that changed a little costs only that little.
std::vector<uint8_t> PresentedPixels;
PaletteEntry PresentedPalette[256];
int PresentedWidth = 0;
int PresentedHeight = 0;
uint32_t PresentCount = 0;

// The first and one-past-last byte where two rows differ (first == last when they are equal).
void RowDifference(const uint8_t* a, const uint8_t* b, int width, int* first, int* last) {
    int l = 0;
    while (l < width && a[l] == b[l]) ++l;
    int r = width;
    while (r > l && a[r - 1] == b[r - 1]) --r;
    *first = l;
    *last = r;
}

// The rectangle of the picture that differs from what was presented last; the whole picture
// when its size or the palette changed. False when nothing differs.
bool ChangedArea(const Surface* primary, Rect* area) {
    const int w = primary->width;
    const int h = primary->height;
    if (w != PresentedWidth || h != PresentedHeight ||
        std::memcmp(PresentedPalette, InstalledPalette(), sizeof PresentedPalette) != 0) {
        *area = Rect{0, 0, w, h};
        return true;
    }
    Rect found{w, h, 0, 0};
    for (int y = 0; y < h; ++y) {
        const uint8_t* was = &PresentedPixels[static_cast<size_t>(y) * w];
        const uint8_t* now = &primary->pixels[static_cast<size_t>(y) * primary->pitch];
        if (std::memcmp(was, now, static_cast<size_t>(w)) == 0) continue;
        int first = 0;
        int last = 0;
        RowDifference(was, now, w, &first, &last);
        found.left = std::min(found.left, first);
        found.right = std::max(found.right, last);
        found.top = std::min(found.top, y);
        found.bottom = y + 1;
    }
    *area = found;
    return found.left < found.right;
}

void RememberPresented(const Surface* primary) {
    PresentedWidth = primary->width;
    PresentedHeight = primary->height;
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
    Rect changed;
    const bool whole = d.forcePresent;
    if (whole) {
        changed = Rect{0, 0, picture->width, picture->height};
    } else if (!ChangedArea(picture, &changed)) {
        return;
    }
    d.forcePresent = false;
    RememberPresented(picture);
    if (Active->Present(changed, whole)) {
        ++PresentCount;
        if (TraceFile.is_open()) TraceLine("\"present\":" + std::to_string(PresentCount));
    }
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
    DataDirectory = options.dataDir;
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
#ifdef KELMORAV_LEAK_CHECK
    // _Exit skips the leak checker's own check at exit, so it runs here, after the teardown:
    // a leak found ends the program with the checker's report and status.
    __lsan_do_leak_check();
#endif
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

bool TraceActive() { return TraceFile.is_open(); }

std::string UserPath(const char* gamePath) {
    std::string host = HostPath(gamePath);
    if (DataDirectory.empty() || (!host.empty() && host.front() == '/')) return host;
    return DataDirectory + (DataDirectory.back() == '/' ? "" : "/") + host;
}

void TraceLine(const std::string& fields) {
    if (TraceFile.is_open()) TraceLineAt(TimeGetTime(), fields);
}

void TraceLineAt(uint32_t time, const std::string& fields) {
    if (!TraceFile.is_open()) return;
    TraceFile << "{\"t\":" << time << "," << fields << "}\n";
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
