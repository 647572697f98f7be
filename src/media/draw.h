#pragma once
// Blits, fills and text used by every scene.

#include <cstdint>

#include "platform/platform.h"

// BltFast flags of nearly every sprite: source colour key, waiting for the blitter.
constexpr unsigned BLT_KEYED = BLTFAST_SRCCOLORKEY | BLTFAST_WAIT;

// The face name of the game's large Japanese text (a regular-script brush face).
extern const char* const TextFace;

// Copies srcRect of source to dest at (x, y), trimming the source rectangle to the 640x480
// screen first. width and height are the unclipped size of the piece. A piece wholly off the
// screen leaves an empty or inverted rectangle, which the blit refuses.
int BltClipped(Surface* dest, int x, int y, int width, int height, Surface* source, Rect srcRect,
               unsigned flags);

// Fills the 640x480 area of surface with one palette index (refused on a smaller surface).
int FillScreen(Surface* surface, uint8_t colour);

// Draws text into rect with a font made for the call: cell height charHeight, average width
// charWidth (0 = the face's own), colour (red, green, blue), layout flags format.
void DrawSurfaceText(Surface* surface, const char* text, const char* face, Rect rect, int charWidth,
                     int charHeight, uint8_t red, uint8_t green, uint8_t blue, unsigned format);
