#pragma once
// Reads a small PNG picture (the window's icon) into 8-bit RGBA rows.

#include <cstdint>
#include <string>
#include <vector>

// The picture as width x height pixels of four bytes (red, green, blue, alpha), rows packed.
// False when the file cannot be read, is not a PNG, or is wider or taller than maxSide.
bool ReadPngRgba(const std::string& path, int maxSide, std::vector<uint8_t>* rgba, int* width,
                 int* height);
