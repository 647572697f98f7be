#pragma once
// The screen palette, the BMP loaders and the palette fade.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/core/platform.h"

// The 256 colours installed by the last loader. Fades never change it.
extern PaletteEntry ScreenPalette[256];
// The one step counter shared by all fades.
extern int FadeStep;

// An 8-bit BMP with a 256-entry colour table, rows top-down in memory.
struct BmpImage {
    int width = 0;
    int height = 0;
    PaletteEntry colours[256];    // red, green, blue, reserved byte
    std::vector<uint8_t> pixels;  // width * height, row 0 = top row of the picture
};

// Parses an 8-bit BMP (bottom-up or top-down, uncompressed, 256 colour entries). On failure
// returns false and sets *error to a one-line reason.
bool ParseBmp(const uint8_t* data, size_t size, BmpImage* out, std::string* error);
bool ReadBmpFile(const char* gamePath, BmpImage* out, std::string* error);

// Installs ScreenPalette on the display; source names the file (for the trace).
void InstallScreenPalette(const char* source);

// Copies the picture into the top-left corner of surface and installs its colours (flags 5).
// A file that is missing, malformed or of another format changes nothing (one line on stderr).
void LoadBitmapToSurface(Surface* surface, const char* path);
// The same pixels without touching the palette (a picture whose colours are already shown).
void LoadBitmapPixels(Surface* surface, const char* path);

// Installs the colour table of a BMP file. A file that cannot be opened ends the program with
// exit status 1 (one line on stderr naming it).
void LoadPaletteFromBmp(const char* path);

// One step of a fade over `steps` steps; true on the call that completes it.
bool FadePalette(int steps, bool fadeIn);
