#pragma once
// Writing the artwork out: 8-bit BMP files for the game and RGB PNG files for the previews.

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
