#include "platform/video/png_read.h"

#include <png.h>

#include <cstring>
#include <utility>

bool ReadPngRgba(const std::string& path, int maxSide, std::vector<uint8_t>* rgba, int* width,
                 int* height) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, path.c_str()) == 0) return false;
    // The size is checked before anything is made of it: the file is not ours to trust.
    if (image.width == 0 || image.height == 0 || image.width > static_cast<png_uint_32>(maxSide) ||
        image.height > static_cast<png_uint_32>(maxSide)) {
        png_image_free(&image);
        return false;
    }
    image.format = PNG_FORMAT_RGBA;
    std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr) == 0) {
        png_image_free(&image);
        return false;
    }
    *width = static_cast<int>(image.width);
    *height = static_cast<int>(image.height);
    *rgba = std::move(pixels);
    return true;
}
