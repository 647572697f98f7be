// The display state shared by every backend: the primary surface, the installed palette and
// the "needs presenting" mark.
#include "platform/video/display.h"

#include <cstdlib>

#include "platform/core/backend.h"
#include "platform/core/platform.h"
#include "platform/core/trace.h"

namespace {
Surface* Primary = nullptr;
PaletteEntry Installed[256];
}  // namespace

void PlatformSurfaceWritten(const Surface* surface) {
    if (surface != nullptr && surface == Primary) DisplayState().dirty = true;
}

void PlatformDetachPrimary(const Surface* surface) {
    if (surface == Primary) Primary = nullptr;
}

Surface* PlatformPrimary() { return Primary; }

DisplayShared& DisplayState() {
    static DisplayShared state;
    return state;
}

Surface* CreateDisplayPair(int width, int height, Surface** back) {
    Surface* front = CreateSurface(width, height);
    Surface* rear = CreateSurface(width, height);
    if (front == nullptr || rear == nullptr) {
        delete front;
        delete rear;
        if (back) *back = nullptr;
        return nullptr;
    }
    front->isPrimary = true;
    front->attached = rear;
    Primary = front;
    DisplayShared& d = DisplayState();
    if (d.width != width || d.height != height) {
        d.width = width;
        d.height = height;
        TraceLine("\"display\":[" + std::to_string(width) + "," + std::to_string(height) + "]");
        if (ActiveBackend()) ActiveBackend()->DisplayModeChanged(width, height);
    }
    d.dirty = true;
    d.forcePresent = true;
    if (back) *back = rear;
    return front;
}

int Flip(Surface* primary) {
    if (primary == nullptr || !primary->isPrimary || primary->attached == nullptr) {
        return DDERR_INVALIDPARAMS;
    }
    primary->pixels.swap(primary->attached->pixels);
    DisplayState().dirty = true;
    return DD_OK;
}

void InstallPalette(const PaletteEntry entries[256], const char* source) {
    for (int i = 0; i < 256; ++i) Installed[i] = entries[i];
    DisplayState().dirty = true;
    if (source != nullptr && std::string(source) != "fade") {
        TraceLine("\"palette\":" + JsonString(source));
    }
}

const PaletteEntry* InstalledPalette() { return Installed; }

uint8_t NearestIndexIn(const PaletteEntry palette[256], Rgb colour) {
    int best = 1 << 30;
    int bestIndex = 0;
    for (int k = 0; k < 256; ++k) {
        const int d = std::abs(palette[k].red - colour.red) +
                      std::abs(palette[k].green - colour.green) +
                      std::abs(palette[k].blue - colour.blue);
        if (d < best) {
            best = d;
            bestIndex = k;
        }
    }
    return static_cast<uint8_t>(bestIndex);
}

uint8_t NearestPaletteIndex(Rgb colour) { return NearestIndexIn(Installed, colour); }

void ConvertToRgb32(const Surface* surface, const PaletteEntry palette[256], uint32_t* out,
                    int outPitch) {
    if (surface == nullptr || out == nullptr) return;
    uint32_t lookup[256];
    for (int i = 0; i < 256; ++i) {
        lookup[i] = 0xFF000000u | (static_cast<uint32_t>(palette[i].red) << 16) |
                    (static_cast<uint32_t>(palette[i].green) << 8) | palette[i].blue;
    }
    for (int y = 0; y < surface->height; ++y) {
        const uint8_t* src = &surface->pixels[static_cast<size_t>(y) * surface->pitch];
        uint32_t* dst = out + static_cast<size_t>(y) * outPitch;
        for (int x = 0; x < surface->width; ++x) dst[x] = lookup[src[x]];
    }
}
