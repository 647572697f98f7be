// Presenting the display: only when something visible changed, with the rectangle that did, and
// with the present overlay drawn on a copy of the picture while its key is held.
#include "platform/video/present.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

#include "platform/core/backend.h"
#include "platform/core/input.h"
#include "platform/video/display.h"

namespace {

// The overlay shown while its key is held, and the copy of the front surface it is drawn on.
int OverlayKey = -1;
PresentOverlay OverlayCompose = nullptr;
bool OverlayShown = false;
Surface OverlayPicture;

// The overlay that stays until it is taken away (the options card), drawn under the held one.
PresentOverlay OpenCompose = nullptr;

bool HeldOverlayWanted() {
    return OverlayCompose != nullptr && OverlayKey >= 0 && OverlayKey < 256 &&
           InputKeyDown(OverlayKey);
}

bool OverlayWanted() { return OpenCompose != nullptr || HeldOverlayWanted(); }

// The overlay is drawn at 640x480 at least: a smaller picture (the ending's 320x240) is first
// enlarged by the largest whole factor that stays within 640x480, pixel for pixel as the window
// shows it, so that the overlay's text has the window's pixels rather than being enlarged with
// the picture.
constexpr int OVERLAY_WIDTH = 640;
constexpr int OVERLAY_HEIGHT = 480;

int OverlayFactor(const Surface* primary) {
    if (primary->width <= 0 || primary->height <= 0) return 1;
    return std::max(1, std::min(OVERLAY_WIDTH / primary->width, OVERLAY_HEIGHT / primary->height));
}

const Surface* ComposeOverlay(const Surface* primary) {
    const int factor = OverlayFactor(primary);
    if (factor == 1) {
        OverlayPicture.width = primary->width;
        OverlayPicture.height = primary->height;
        OverlayPicture.pitch = primary->pitch;
        OverlayPicture.pixels = primary->pixels;
    } else {
        OverlayPicture.width = primary->width * factor;
        OverlayPicture.height = primary->height * factor;
        OverlayPicture.pitch = OverlayPicture.width;
        OverlayPicture.pixels.resize(static_cast<size_t>(OverlayPicture.width) *
                                     OverlayPicture.height);
        for (int y = 0; y < primary->height; ++y) {
            const uint8_t* from = &primary->pixels[static_cast<size_t>(y) * primary->pitch];
            uint8_t* to =
                &OverlayPicture.pixels[static_cast<size_t>(y) * factor * OverlayPicture.pitch];
            for (int x = 0; x < primary->width; ++x) {
                std::fill_n(to + static_cast<ptrdiff_t>(x) * factor, factor, from[x]);
            }
            for (int copy = 1; copy < factor; ++copy) {
                std::memcpy(to + static_cast<ptrdiff_t>(copy) * OverlayPicture.pitch, to,
                            static_cast<size_t>(OverlayPicture.width));
            }
        }
    }
    if (OpenCompose != nullptr) OpenCompose(&OverlayPicture, InstalledPalette());
    if (HeldOverlayWanted()) OverlayCompose(&OverlayPicture, InstalledPalette());
    return &OverlayPicture;
}

// Which overlays the last presentation showed, so that a change of either presents again.
bool HeldShown = false;

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

// While the overlay shows, the game's own picture as it was at the last presentation. The card
// hides what changes under it; a frame in which the game changed only that is presented all the
// same, so that the presentations (and the trace that counts them) are the game's own whatever
// the card covers.
std::vector<uint8_t> OverlayBase;

bool BaseChanged(const Surface* primary) {
    const size_t w = static_cast<size_t>(primary->width);
    if (OverlayBase.size() != w * primary->height) return true;
    for (int y = 0; y < primary->height; ++y) {
        if (std::memcmp(&OverlayBase[y * w],
                        &primary->pixels[static_cast<size_t>(y) * primary->pitch], w) != 0) {
            return true;
        }
    }
    return false;
}

void RememberBase(const Surface* primary) {
    const size_t w = static_cast<size_t>(primary->width);
    OverlayBase.resize(w * primary->height);
    for (int y = 0; y < primary->height; ++y) {
        std::memcpy(&OverlayBase[y * w], &primary->pixels[static_cast<size_t>(y) * primary->pitch],
                    w);
    }
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

}  // namespace

// The backend is asked to present only when something visible changed; the overlay's key going
// down or up is such a change.
void PresentIfDirty() {
    DisplayShared& d = DisplayState();
    const bool overlay = OverlayWanted();
    const bool held = HeldOverlayWanted();
    if (overlay != OverlayShown || held != HeldShown) d.dirty = true;
    Backend* active = ActiveBackend();
    if (!d.dirty || !active) return;
    d.dirty = false;
    const Surface* primary = PlatformPrimary();
    if (primary == nullptr) return;
    const Surface* picture = overlay ? ComposeOverlay(primary) : primary;
    const bool wasShown = OverlayShown;
    OverlayShown = overlay;
    HeldShown = held;
    Rect changed;
    const bool whole = d.forcePresent;
    if (whole) {
        changed = Rect{0, 0, picture->width, picture->height};
    } else if (!ChangedArea(picture, &changed)) {
        // Nothing visible changed; but under the card the game's picture may have, and that
        // frame is presented with nothing to redraw.
        if (!overlay || !wasShown || !BaseChanged(primary)) return;
        changed = Rect{};
    }
    d.forcePresent = false;
    RememberPresented(picture);
    if (overlay) RememberBase(primary);
    if (active->Present(changed, whole)) {
        ++PresentCount;
        if (TraceActive()) TraceLine("\"present\":" + std::to_string(PresentCount));
    }
}

void SetPresentOverlay(int key, PresentOverlay compose) {
    OverlayKey = key;
    OverlayCompose = compose;
}

void SetOpenOverlay(PresentOverlay compose) {
    OpenCompose = compose;
    DisplayState().dirty = true;
}

void RedrawOpenOverlay() {
    if (OpenCompose != nullptr) DisplayState().dirty = true;
}

const Surface* PlatformPresentedPicture() {
    return OverlayShown ? &OverlayPicture : PlatformPrimary();
}
