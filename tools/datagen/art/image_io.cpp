// BMP and PNG writers.
#include "art/image_io.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "file_io.h"
#include "platform/core/platform.h"

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

}  // namespace

bool WriteBmp8(const std::string& path, const Canvas& canvas, const Palette& palette) {
    const uint32_t w = static_cast<uint32_t>(canvas.Width());
    const uint32_t h = static_cast<uint32_t>(canvas.Height());
    const uint32_t stride = (w + 3) & ~3u;
    const uint32_t dataOffset = 14 + 40 + 256 * 4;
    const uint32_t imageSize = stride * h;
    std::vector<uint8_t> out;
    out.reserve(dataOffset + imageSize);
    out.push_back('B');
    out.push_back('M');
    Put32(out, dataOffset + imageSize);
    Put32(out, 0);
    Put32(out, dataOffset);
    Put32(out, 40);
    Put32(out, w);
    Put32(out, h);  // positive height: rows stored bottom-up
    Put16(out, 1);
    Put16(out, 8);
    Put32(out, 0);  // no compression
    Put32(out, imageSize);
    Put32(out, 2835);  // 72 dpi
    Put32(out, 2835);
    Put32(out, 256);
    Put32(out, 256);
    for (const Colour& c : palette) {
        out.push_back(c.blue);
        out.push_back(c.green);
        out.push_back(c.red);
        out.push_back(0);
    }
    for (uint32_t row = 0; row < h; ++row) {
        int y = static_cast<int>(h - 1 - row);
        for (uint32_t x = 0; x < stride; ++x)
            out.push_back(x < w ? canvas.Get(static_cast<int>(x), y) : 0);
    }
    return WriteBinaryFile(path, out);
}

RgbImage::RgbImage(int w, int h, Colour fill) : width(w), height(h) {
    rgb.resize(static_cast<size_t>(w) * h * 3);
    for (size_t i = 0; i < rgb.size(); i += 3) {
        rgb[i] = fill.red;
        rgb[i + 1] = fill.green;
        rgb[i + 2] = fill.blue;
    }
}

void RgbImage::Set(int x, int y, Colour c) {
    if (x < 0 || y < 0 || x >= width || y >= height) return;
    size_t i = (static_cast<size_t>(y) * width + x) * 3;
    rgb[i] = c.red;
    rgb[i + 1] = c.green;
    rgb[i + 2] = c.blue;
}

Colour RgbImage::Get(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return {};
    size_t i = (static_cast<size_t>(y) * width + x) * 3;
    return {rgb[i], rgb[i + 1], rgb[i + 2]};
}

namespace {

// Encodes one PNG of 8-bit channels, rows top first, each `channels` bytes a pixel, into an
// open file. False when libpng gives up.
bool EncodePngRows(std::FILE* f, int width, int height, int colourType, int channels,
                   const std::vector<uint8_t>& pixels) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 colourType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    const size_t stride = static_cast<size_t>(width) * channels;
    for (int y = 0; y < height; ++y)
        png_write_row(png, const_cast<png_bytep>(&pixels[static_cast<size_t>(y) * stride]));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

// The PNG file, written whole or not at all (see WriteFileWhole).
bool WritePngRows(const std::string& path, int width, int height, int colourType, int channels,
                  const std::vector<uint8_t>& pixels) {
    bool encoded = true;
    const bool written = WriteFileWhole(path, [&](std::FILE* f) {
        encoded = EncodePngRows(f, width, height, colourType, channels, pixels);
        return encoded;
    });
    if (!written && !encoded) {
        std::fprintf(stderr, "datagen: PNG encoding failed for %s\n", path.c_str());
    } else if (!written) {
        std::fprintf(stderr, "datagen: cannot write %s: %s\n", path.c_str(), std::strerror(errno));
    }
    return written;
}

}  // namespace

bool WritePng(const std::string& path, const RgbImage& image) {
    return WritePngRows(path, image.width, image.height, PNG_COLOR_TYPE_RGB, 3, image.rgb);
}

bool WritePngRgba(const std::string& path, const RgbaImage& image) {
    return WritePngRows(path, image.width, image.height, PNG_COLOR_TYPE_RGBA, 4, image.rgba);
}
