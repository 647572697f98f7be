#pragma once
// Writes an 8-bit picture through a palette as an RGB PNG file.

#include <cstdint>
#include <string>

#include "platform/core/platform.h"

bool WritePalettedPng(const std::string& path, int width, int height, const uint8_t* pixels,
                      int pitch, const PaletteEntry palette[256]);
