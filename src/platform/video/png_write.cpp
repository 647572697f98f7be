#include "platform/video/png_write.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/core/platform.h"

namespace {

// Encodes the picture into an open file. False when libpng gives up (it leaves by longjmp, so
// the row buffer is made before the jump point).
bool EncodePng(std::FILE* f, int width, int height, const uint8_t* pixels, int pitch,
               const PaletteEntry palette[256]) {
    std::vector<png_byte> row(static_cast<size_t>(width) * 3);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (png == nullptr || info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
        const uint8_t* src = pixels + static_cast<size_t>(y) * pitch;
        for (int x = 0; x < width; ++x) {
            const PaletteEntry& c = palette[src[x]];
            row[x * 3 + 0] = c.red;
            row[x * 3 + 1] = c.green;
            row[x * 3 + 2] = c.blue;
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool WritePalettedPng(const std::string& path, int width, int height, const uint8_t* pixels,
                      int pitch, const PaletteEntry palette[256]) {
    // Written whole under another name and renamed into place: a picture viewer, or a second
    // game saving a picture of the same name, never sees half a file.
    bool encoded = true;
    const bool written = WriteFileWhole(path, [&](std::FILE* f) {
        encoded = EncodePng(f, width, height, pixels, pitch, palette);
        return encoded;
    });
    if (!written) {
        if (encoded) {
            std::fprintf(stderr, "kelmorav: cannot write %s: %s\n", path.c_str(),
                         std::strerror(errno));
        } else {
            std::fprintf(stderr, "kelmorav: cannot encode %s\n", path.c_str());
        }
    }
    return written;
}
