#pragma once
// The 256x256 blend table and the two translucent pixel loops that use it.

#include <cstdint>
#include <cstdio>

#include "platform/core/platform.h"

// Entry [a * 256 + b]: the palette index nearest to the mean of colours a and b.
constexpr int BLEND_ENTRY_COUNT = 65536;
extern uint8_t BlendTable[BLEND_ENTRY_COUNT];

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
// odd about the file (fields out of step or missing, numbers outside 0..255) is said in one
// line, and the table keeps what was read.
void LoadBlendTable(const char* path);
// What ReadBlendFields found besides the fields' shape.
struct BlendOddities {
    int outOfRange = 0;        // numbers outside 0..255, each kept as its low eight bits
    int firstOutOfRange = -1;  // the first such field
};
// Reads count fields "%03d," from a file already open for reading (which stays open) into
// table[0..count), each value kept modulo 256, as LoadBlendTable does. Returns how many fields
// from the start were well formed (count when all were). The read stops at the first field
// without a number, and that entry and every later one keep what they held. Numbers outside
// 0..255 are counted in *odd when it is given.
int ReadBlendFields(std::FILE* file, uint8_t* table, int count, BlendOddities* odd = nullptr);
// Lays source (srcX, srcY, width x height) half-transparently over BackBuffer at (destX, destY).
void BlendBlit(int destX, int destY, int srcX, int srcY, int width, int height, Surface* source);
// Blends one colour into a rectangle of BackBuffer.
void TintRect(int x, int y, int width, int height, uint8_t colour);
