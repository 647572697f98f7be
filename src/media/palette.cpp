#include "media/palette.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>

namespace {

constexpr int MAX_BMP_SIDE = 4096;
constexpr uint8_t LOADED_PALETTE_FLAGS = 5;  // reserved | no-collapse
constexpr long PALETTE_OFFSET = 54;

uint32_t Le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

bool Fail(std::string* error, const char* why) {
    if (error) *error = why;
    return false;
}

// Only the colour table at byte 54 of a palette picture is read, whatever its header says; a
// picture whose header does not hold up is named (once a run) so that its odd colours have a
// cause on record.
void CheckPaletteSource(const char* gamePath) {
    static std::set<std::string> checked;
    if (!checked.insert(HostPath(gamePath)).second) return;
    BmpImage image;
    std::string error;
    if (!ReadBmpFile(gamePath, &image, &error)) {
        ReportFileProblem(gamePath, error + "; its colours are read from byte 54 as they stand");
    }
}

}  // namespace

PaletteEntry ScreenPalette[256];
int FadeStep = 0;

bool ParseBmp(const uint8_t* data, size_t size, BmpImage* out, std::string* error) {
    if (size < 54) return Fail(error, "too short for a bitmap header");
    if (data[0] != 'B' || data[1] != 'M') return Fail(error, "not a BMP file");
    const uint32_t pixelOffset = Le32(data + 10);
    const uint32_t infoSize = Le32(data + 14);
    if (infoSize < 40 || infoSize > size - 14) return Fail(error, "bad information header size");
    const int32_t width = static_cast<int32_t>(Le32(data + 18));
    const int32_t rawHeight = static_cast<int32_t>(Le32(data + 22));
    const uint16_t planes = Le16(data + 26);
    const uint16_t bits = Le16(data + 28);
    const uint32_t compression = Le32(data + 30);
    uint32_t coloursUsed = Le32(data + 46);
    if (planes != 1) return Fail(error, "bad plane count");
    if (bits != 8) return Fail(error, "not 8 bits per pixel");
    if (compression != 0) return Fail(error, "compressed bitmaps are not supported");
    if (width <= 0 || width > MAX_BMP_SIDE) return Fail(error, "bad width");
    if (rawHeight == 0 || rawHeight < -MAX_BMP_SIDE || rawHeight > MAX_BMP_SIDE) {
        return Fail(error, "bad height");
    }
    if (coloursUsed == 0) coloursUsed = 256;
    if (coloursUsed > 256) return Fail(error, "more than 256 colours");
    const bool topDown = rawHeight < 0;
    const int height = topDown ? -rawHeight : rawHeight;
    const size_t tableOffset = 14 + static_cast<size_t>(infoSize);
    if (tableOffset + static_cast<size_t>(coloursUsed) * 4 > size) {
        return Fail(error, "colour table runs past the end of the file");
    }
    const size_t stride = (static_cast<size_t>(width) + 3) & ~static_cast<size_t>(3);
    if (pixelOffset > size || stride * static_cast<size_t>(height) > size - pixelOffset) {
        return Fail(error, "pixel data runs past the end of the file");
    }
    out->width = width;
    out->height = height;
    for (int i = 0; i < 256; ++i) {
        if (static_cast<uint32_t>(i) < coloursUsed) {
            const uint8_t* e = data + tableOffset + static_cast<size_t>(i) * 4;
            out->colours[i] = PaletteEntry{e[2], e[1], e[0], e[3]};
        } else {
            out->colours[i] = PaletteEntry{};
        }
    }
    out->pixels.assign(static_cast<size_t>(width) * height, 0);
    for (int y = 0; y < height; ++y) {
        const int fileRow = topDown ? y : height - 1 - y;
        std::memcpy(&out->pixels[static_cast<size_t>(y) * width],
                    data + pixelOffset + static_cast<size_t>(fileRow) * stride, width);
    }
    return true;
}

bool ReadBmpFile(const char* gamePath, BmpImage* out, std::string* error) {
    std::FILE* f = OpenGameFile(gamePath, "rb");
    if (f == nullptr) return Fail(error, "cannot open the file");
    std::vector<uint8_t> bytes;
    uint8_t chunk[65536];
    size_t n = 0;
    constexpr size_t MAX_FILE = 64u << 20;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) {
        bytes.insert(bytes.end(), chunk, chunk + n);
        if (bytes.size() > MAX_FILE) {
            std::fclose(f);
            return Fail(error, "file too large");
        }
    }
    std::fclose(f);
    return ParseBmp(bytes.data(), bytes.size(), out, error);
}

void InstallScreenPalette(const char* source) { InstallPalette(ScreenPalette, source); }

namespace {

// The picture keeps its palette indexes; what does not fit the surface is cut off.
void CopyPixels(Surface* surface, const BmpImage& image) {
    if (surface == nullptr) return;
    LockedSurface lock;
    if (!LockSurface(surface, &lock)) return;
    const int w = image.width < lock.width ? image.width : lock.width;
    const int h = image.height < lock.height ? image.height : lock.height;
    for (int y = 0; y < h; ++y) {
        std::memcpy(lock.pixels + static_cast<size_t>(y) * lock.pitch,
                    &image.pixels[static_cast<size_t>(y) * image.width], w);
    }
    UnlockSurface(surface);
}

// Reads a picture to load; false, with one line on stderr, when it cannot be.
bool ReadPicture(const char* path, BmpImage* image) {
    std::string error;
    if (ReadBmpFile(path, image, &error)) return true;
    ReportFileProblem(path, error + "; the picture is not loaded");
    return false;
}

}  // namespace

void LoadBitmapToSurface(Surface* surface, const char* path) {
    BmpImage image;
    if (!ReadPicture(path, &image)) return;
    for (int i = 0; i < 256; ++i) {
        ScreenPalette[i] = image.colours[i];
        ScreenPalette[i].flags = LOADED_PALETTE_FLAGS;
    }
    InstallScreenPalette(path);
    CopyPixels(surface, image);
}

void LoadBitmapPixels(Surface* surface, const char* path) {
    BmpImage image;
    if (ReadPicture(path, &image)) CopyPixels(surface, image);
}

void LoadPaletteFromBmp(const char* path) {
    std::FILE* f = OpenGameFile(path, "rb");
    if (f == nullptr) {
        // The game cannot go on without these colours.
        ReportFatalFileProblem(path,
                               "cannot open the file; the game cannot go on without its colours");
        PlatformExit(1);
    }
    uint8_t table[1024] = {};
    size_t got = 0;
    if (std::fseek(f, PALETTE_OFFSET, SEEK_SET) == 0) got = std::fread(table, 1, sizeof table, f);
    std::fclose(f);
    if (got < sizeof table) {
        ReportFileProblem(path, "colour table cut short; missing colours are black");
    } else {
        CheckPaletteSource(path);
    }
    for (int i = 0; i < 256; ++i) {
        const uint8_t* entry = table + static_cast<size_t>(i) * 4;  // blue, green, red, reserved
        ScreenPalette[i] = PaletteEntry{entry[2], entry[1], entry[0], entry[3]};
    }
    InstallScreenPalette(path);
}

bool FadePalette(int steps, bool fadeIn) {
    if (steps < 1) steps = 1;
    int factor = fadeIn ? FadeStep : steps - FadeStep;
    // A fade left part-way can leave FadeStep beyond a shorter fade's step count; the factor
    // is kept within 0..steps so no colour wraps around.
    if (factor < 0) factor = 0;
    if (factor > steps) factor = steps;
    PaletteEntry faded[256];
    for (int i = 0; i < 256; ++i) {
        faded[i].red = static_cast<uint8_t>(ScreenPalette[i].red * factor / steps);
        faded[i].green = static_cast<uint8_t>(ScreenPalette[i].green * factor / steps);
        faded[i].blue = static_cast<uint8_t>(ScreenPalette[i].blue * factor / steps);
        faded[i].flags = 0;
    }
    InstallPalette(faded, "fade");
    FadeStep += 1;
    if (FadeStep > steps) {
        FadeStep = 0;
        return true;
    }
    return false;
}
