// Surfaces and the DirectDraw-like blits. This file is the one place that checks every
// rectangle against its buffer: a blit that does not fit is refused whole.
#include <algorithm>
#include <cstring>

#include "platform/core/platform.h"
#include "platform/video/display.h"

namespace {

constexpr int MAX_SURFACE_SIDE = 4096;

bool RectInside(const Rect& r, int width, int height) {
    return r.left >= 0 && r.top >= 0 && r.left < r.right && r.top < r.bottom && r.right <= width &&
           r.bottom <= height;
}

bool Usable(const Surface* s) {
    return s != nullptr && s->width > 0 && s->height > 0 &&
           s->pixels.size() >= static_cast<size_t>(s->pitch) * static_cast<size_t>(s->height);
}

}  // namespace

Surface* CreateSurface(int width, int height) {
    if (width < 1 || height < 1 || width > MAX_SURFACE_SIDE || height > MAX_SURFACE_SIDE) {
        return nullptr;
    }
    auto* s = new Surface;
    s->width = width;
    s->height = height;
    s->pitch = (width + 3) & ~3;  // rows padded to four bytes, as video memory often is
    s->pixels.assign(static_cast<size_t>(s->pitch) * height, 0);
    return s;
}

void ReleaseSurface(Surface* surface) {
    if (surface == nullptr) return;
    if (surface->isPrimary) PlatformDetachPrimary(surface);
    delete surface->attached;
    delete surface;
}

void SetColourKey(Surface* surface, bool enabled, uint8_t key) {
    if (surface == nullptr) return;
    surface->hasColourKey = enabled;
    surface->colourKey = key;
}

int BltFast(Surface* dest, int x, int y, Surface* src, const Rect* srcRect, unsigned flags) {
    if (!Usable(dest) || !Usable(src)) return DDERR_INVALIDPARAMS;
    Rect r = srcRect ? *srcRect : Rect{0, 0, src->width, src->height};
    if (!RectInside(r, src->width, src->height)) return DDERR_INVALIDRECT;
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    // Computed in 64 bits so that huge coordinates cannot overflow into a "fitting" rectangle.
    if (x < 0 || y < 0 || static_cast<int64_t>(x) + w > dest->width ||
        static_cast<int64_t>(y) + h > dest->height) {
        return DDERR_INVALIDRECT;
    }
    const bool keyed = (flags & BLTFAST_SRCCOLORKEY) != 0 && src->hasColourKey;
    const uint8_t key = src->colourKey;
    if (keyed) {
        for (int j = 0; j < h; ++j) {
            const uint8_t* s = &src->pixels[static_cast<size_t>(r.top + j) * src->pitch + r.left];
            uint8_t* d = &dest->pixels[static_cast<size_t>(y + j) * dest->pitch + x];
            for (int i = 0; i < w; ++i) {
                if (s[i] != key) d[i] = s[i];
            }
        }
    } else if (src == dest && y > r.top) {
        // Overlapping copy downwards within one surface: walk the rows bottom-up.
        for (int j = h - 1; j >= 0; --j) {
            std::memmove(&dest->pixels[static_cast<size_t>(y + j) * dest->pitch + x],
                         &src->pixels[static_cast<size_t>(r.top + j) * src->pitch + r.left], w);
        }
    } else {
        for (int j = 0; j < h; ++j) {
            std::memmove(&dest->pixels[static_cast<size_t>(y + j) * dest->pitch + x],
                         &src->pixels[static_cast<size_t>(r.top + j) * src->pitch + r.left], w);
        }
    }
    PlatformSurfaceWritten(dest);
    return DD_OK;
}

int BltStretch(Surface* dest, const Rect& destRect, Surface* src, const Rect& srcRect,
               bool srcColourKey) {
    if (!Usable(dest) || !Usable(src)) return DDERR_INVALIDPARAMS;
    if (!RectInside(srcRect, src->width, src->height)) return DDERR_INVALIDRECT;
    if (!RectInside(destRect, dest->width, dest->height)) return DDERR_INVALIDRECT;
    const int sw = srcRect.right - srcRect.left;
    const int sh = srcRect.bottom - srcRect.top;
    const int dw = destRect.right - destRect.left;
    const int dh = destRect.bottom - destRect.top;
    const bool keyed = srcColourKey && src->hasColourKey;
    // Stretch through a copy of the source rectangle, so that src == dest cannot feed back.
    std::vector<uint8_t> copy(static_cast<size_t>(sw) * sh);
    for (int j = 0; j < sh; ++j) {
        std::memcpy(&copy[static_cast<size_t>(j) * sw],
                    &src->pixels[static_cast<size_t>(srcRect.top + j) * src->pitch + srcRect.left],
                    sw);
    }
    for (int j = 0; j < dh; ++j) {
        const int sy = static_cast<int>(static_cast<int64_t>(j) * sh / dh);
        uint8_t* d =
            &dest->pixels[static_cast<size_t>(destRect.top + j) * dest->pitch + destRect.left];
        const uint8_t* s = &copy[static_cast<size_t>(sy) * sw];
        for (int i = 0; i < dw; ++i) {
            const uint8_t v = s[static_cast<int64_t>(i) * sw / dw];
            if (!keyed || v != src->colourKey) d[i] = v;
        }
    }
    PlatformSurfaceWritten(dest);
    return DD_OK;
}

int ColourFill(Surface* dest, const Rect* destRect, uint8_t index) {
    if (!Usable(dest)) return DDERR_INVALIDPARAMS;
    Rect r = destRect ? *destRect : Rect{0, 0, dest->width, dest->height};
    if (!RectInside(r, dest->width, dest->height)) return DDERR_INVALIDRECT;
    for (int j = r.top; j < r.bottom; ++j) {
        std::memset(&dest->pixels[static_cast<size_t>(j) * dest->pitch + r.left], index,
                    r.right - r.left);
    }
    PlatformSurfaceWritten(dest);
    return DD_OK;
}

bool LockSurface(Surface* surface, LockedSurface* out) {
    if (!Usable(surface) || out == nullptr) return false;
    out->pixels = surface->pixels.data();
    out->pitch = surface->pitch;
    out->width = surface->width;
    out->height = surface->height;
    return true;
}

void UnlockSurface(Surface* surface) {
    if (surface != nullptr) PlatformSurfaceWritten(surface);
}
