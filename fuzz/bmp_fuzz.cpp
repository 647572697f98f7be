// Fuzz target: a file image to the BMP reader. Whatever it accepts must describe a picture whose
// pixels all lie inside the buffer it filled.
#include <cstdint>
#include <cstdlib>

#include "media/palette.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    BmpImage image;
    std::string error;
    if (ParseBmp(data, size, &image, &error)) {
        if (image.width <= 0 || image.height <= 0 ||
            image.pixels.size() != static_cast<size_t>(image.width) * image.height) {
            std::abort();
        }
    } else if (error.empty()) {
        std::abort();  // a refusal always says why
    }
    return 0;
}
