#include "file_io.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/core/platform.h"

bool WriteBinaryFile(const std::string& path, const uint8_t* data, size_t size) {
    // Whole or not at all, like every file the game writes (see WriteFileWhole).
    const bool written = WriteFileWhole(
        path, [data, size](std::FILE* file) { return std::fwrite(data, 1, size, file) == size; });
    if (!written) {
        std::fprintf(stderr, "datagen: cannot write %s: %s\n", path.c_str(), std::strerror(errno));
    }
    return written;
}
