#pragma once
// The 256x256 blend table and the two translucent pixel loops that use it.

#include <cstdint>

#include "platform/platform.h"

// Entry [a * 256 + b]: the palette index nearest to the mean of colours a and b.
extern uint8_t BlendTable[65536];

// The index of palette nearest to the mean of its colours a and b (the first of equals).
uint8_t NearestBlendIndex(const PaletteEntry (&palette)[256], uint8_t a, uint8_t b);
// The same under ScreenPalette.
uint8_t NearestBlendIndex(uint8_t a, uint8_t b);
// Writes the table file for palette unless the file exists already. The file appears whole or
// not at all (see WriteFileWhole). False, saying nothing, when it could not be written; the
// caller knows what that means.
bool BuildBlendFile(const char* path, const PaletteEntry (&palette)[256]);
// The same from ScreenPalette.
bool BuildBlendFile(const char* path);
// Reads the table file; ends the program with exit status 1 when it cannot be opened. What is
// odd about the file (fields that do not read, a missing comma, numbers outside 0..255) is said
// in one line, and the table keeps what was read as before.
void LoadBlendTable(const char* path);
// Lays source (srcX, srcY, width x height) half-transparently over BackBuffer at (destX, destY).
void BlendBlit(int destX, int destY, int srcX, int srcY, int width, int height, Surface* source);
// Blends one colour into a rectangle of BackBuffer.
void TintRect(int x, int y, int width, int height, uint8_t colour);
