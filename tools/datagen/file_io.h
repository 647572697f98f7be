#pragma once
// Writing a generated file whole, with one line on stderr when it cannot be written.

#include <cstdint>
#include <string>
#include <vector>

bool WriteBinaryFile(const std::string& path, const uint8_t* data, size_t size);
inline bool WriteBinaryFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    return WriteBinaryFile(path, bytes.data(), bytes.size());
}
