#pragma once
// Reads the game's screenshots back as RGB pixels, so that pictures are compared by what they
// show rather than by the bytes of their compression.

#include <png.h>

#include <cstdint>
#include <string>
#include <vector>

namespace testfiles {

struct RgbPicture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;  // rows of width * 3 bytes; empty when the file could not be read

    bool operator==(const RgbPicture&) const = default;
    // The colour at (x, y) as 0xRRGGBB; -1 outside the picture.
    long At(int x, int y) const {
        if (x < 0 || y < 0 || x >= width || y >= height) return -1;
        const uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
        return (static_cast<long>(p[0]) << 16) | (p[1] << 8) | p[2];
    }
};

inline RgbPicture ReadPng(const std::string& path) {
    RgbPicture out;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return out;
    image.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
        png_image_free(&image);
        return out;
    }
    out.width = static_cast<int>(image.width);
    out.height = static_cast<int>(image.height);
    out.rgb = std::move(pixels);
    return out;
}

}  // namespace testfiles
