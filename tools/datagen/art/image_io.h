#pragma once
// Writing the artwork out: 8-bit BMP files for the game, RGB PNG files for the previews and
// RGBA PNG files for the desktop icons.

#include <cstdint>
#include <string>
#include <vector>

#include "art/canvas.h"
#include "art/palettes.h"

// 8-bit BMP: 14-byte file header, 40-byte info header, 256 colour entries (blue, green, red, 0)
// at offset 54, rows bottom-up padded to four bytes. False with a message on failure.
bool WriteBmp8(const std::string& path, const Canvas& canvas, const Palette& palette);

// An RGB picture for the previews.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;  // 3 bytes a pixel, row-major, top row first
    RgbImage() = default;
    RgbImage(int w, int h, Colour fill = {24, 24, 28});
    void Set(int x, int y, Colour c);
    Colour Get(int x, int y) const;
};

bool WritePng(const std::string& path, const RgbImage& image);

// A picture with coverage, for the desktop icons.
struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;  // 4 bytes a pixel (straight, not premultiplied), top row first
    RgbaImage(int w, int h) : width(w), height(h), rgba(static_cast<size_t>(w) * h * 4) {}
    void Set(int x, int y, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
        uint8_t* p = &rgba[(static_cast<size_t>(y) * width + x) * 4];
        p[0] = r;
        p[1] = g;
        p[2] = b;
        p[3] = a;
    }
};

bool WritePngRgba(const std::string& path, const RgbaImage& image);
