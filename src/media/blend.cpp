#include "media/blend.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "media/palette.h"
#include "media/resources.h"

uint8_t BlendTable[BLEND_ENTRY_COUNT];

namespace {
constexpr int SCREEN_WIDTH = 640;
constexpr int SCREEN_HEIGHT = 480;
}  // namespace

uint8_t NearestBlendIndex(const PaletteEntry (&palette)[256], uint8_t a, uint8_t b) {
    const PaletteEntry& ca = palette[a];
    const PaletteEntry& cb = palette[b];
    const int mr = (ca.red + cb.red) / 2;
    const int mg = (ca.green + cb.green) / 2;
    const int mb = (ca.blue + cb.blue) / 2;
    int best = 765;
    int bestIndex = 0;
    for (int k = 0; k < 256; ++k) {
        const PaletteEntry& p = palette[k];
        const int d = std::abs(p.red - mr) + std::abs(p.green - mg) + std::abs(p.blue - mb);
        if (d < best) {
            best = d;
            bestIndex = k;
        }
    }
    return static_cast<uint8_t>(bestIndex);
}

uint8_t NearestBlendIndex(uint8_t a, uint8_t b) { return NearestBlendIndex(ScreenPalette, a, b); }

bool BuildBlendFile(const char* path, const PaletteEntry (&palette)[256]) {
    if (std::FILE* existing = OpenGameFile(path, "r")) {
        std::fclose(existing);
        return true;  // an existing table is never rewritten
    }
    // Written under another name and renamed into place when whole: a game starting at the same
    // moment finds no table (and builds its own) or the whole table, never part of one.
    return WriteFileWhole(HostPath(path), [&palette](std::FILE* f) {
        for (int a = 0; a < 256; ++a) {
            for (int b = 0; b < 256; ++b) {
                std::fprintf(
                    f, "%03d,",
                    NearestBlendIndex(palette, static_cast<uint8_t>(a), static_cast<uint8_t>(b)));
            }
        }
        return std::ferror(f) == 0;
    });
}

bool BuildBlendFile(const char* path) { return BuildBlendFile(path, ScreenPalette); }

int ReadBlendFields(std::FILE* file, uint8_t* table, int count, BlendOddities* odd) {
    // Each field is a number of up to three characters with its comma straight after it. A
    // number without its comma is kept and the read goes on from whatever stands in the comma's
    // place, but the file is malformed from there on: a four-digit number, for one, puts every
    // later field out of step. A field with no number at all stops the read, so that entry and
    // every later one keep what they held.
    int wellFormed = count;
    for (int i = 0; i < count; ++i) {
        int value = 0;
        int end = -1;
        if (std::fscanf(file, "%3d,%n", &value, &end) != 1) return std::min(wellFormed, i);
        table[i] = static_cast<uint8_t>(value & 0xFF);
        if (odd != nullptr && (value < 0 || value > 255) && odd->outOfRange++ == 0) {
            odd->firstOutOfRange = i;
        }
        if (end < 0 && wellFormed == count) wellFormed = i;
    }
    return wellFormed;
}

void LoadBlendTable(const char* path) {
    std::FILE* f = OpenGameFile(path, "r");
    if (f == nullptr) {
        std::fprintf(stderr, "kelmorav: cannot open %s\n", UserPath(path).c_str());
        PlatformExit(1);
    }
    BlendOddities odd;
    const int wellFormed = ReadBlendFields(f, BlendTable, BLEND_ENTRY_COUNT, &odd);
    std::fclose(f);
    // Whatever is wrong with the file is said in one line.
    std::string line = "kelmorav: " + UserPath(path);
    if (wellFormed < BLEND_ENTRY_COUNT) {
        line += " is malformed from field " + std::to_string(wellFormed + 1) +
                " on; unread blend entries stay as they were";
    }
    if (odd.outOfRange > 0) {
        line += wellFormed < BLEND_ENTRY_COUNT ? "; it also has " : " has ";
        const std::string field = std::to_string(odd.firstOutOfRange + 1);
        if (odd.outOfRange == 1) {
            line += "a number outside 0..255 (in field " + field + "), kept as its low eight bits";
        } else {
            line += std::to_string(odd.outOfRange) +
                    " numbers outside 0..255 (the first in field " + field +
                    "), each kept as its low eight bits";
        }
    }
    if (wellFormed < BLEND_ENTRY_COUNT || odd.outOfRange > 0) {
        std::fprintf(stderr, "%s\n", line.c_str());
    }
}

void BlendBlit(int destX, int destY, int srcX, int srcY, int width, int height, Surface* source) {
    LockedSurface src;
    LockedSurface dst;
    if (!LockSurface(source, &src)) return;
    if (!LockSurface(BackBuffer, &dst)) {
        UnlockSurface(source);
        return;
    }
    for (int j = 0; j < height; ++j) {
        const int y = destY + j;
        const int sy = srcY + j;
        if (y <= 0 || y >= SCREEN_HEIGHT || y >= dst.height) continue;
        if (sy < 0 || sy >= src.height) continue;  // never read outside the source
        for (int i = 0; i < width; ++i) {
            const int x = destX + i;
            const int sx = srcX + i;
            if (x <= 0 || x >= SCREEN_WIDTH || x >= dst.width) continue;
            if (sx < 0 || sx >= src.width) continue;
            const uint8_t s = src.pixels[static_cast<size_t>(sy) * src.pitch + sx];
            if (s == TRANSPARENT_INDEX) continue;
            uint8_t& d = dst.pixels[static_cast<size_t>(y) * dst.pitch + x];
            d = BlendTable[d * 256 + s];
        }
    }
    UnlockSurface(source);
    UnlockSurface(BackBuffer);
}

void TintRect(int x0, int y0, int width, int height, uint8_t colour) {
    LockedSurface dst;
    if (!LockSurface(BackBuffer, &dst)) return;
    for (int j = 0; j < height; ++j) {
        const int y = y0 + j;
        if (y <= 0 || y >= SCREEN_HEIGHT || y >= dst.height) continue;
        for (int i = 0; i < width; ++i) {
            const int x = x0 + i;
            if (x <= 0 || x >= SCREEN_WIDTH || x >= dst.width) continue;
            uint8_t& d = dst.pixels[static_cast<size_t>(y) * dst.pitch + x];
            if (d != TRANSPARENT_INDEX) d = BlendTable[d * 256 + colour];
        }
    }
    UnlockSurface(BackBuffer);
}
