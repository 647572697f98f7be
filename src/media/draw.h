#pragma once
// Blits, fills and text used by every scene.

#include <cstdint>

#include "platform/core/platform.h"

// BltFast flags of nearly every sprite: source colour key, waiting for the blitter.
constexpr unsigned BLT_KEYED = BLTFAST_SRCCOLORKEY | BLTFAST_WAIT;

// The face name of the game's large Japanese text (a regular-script brush face).
extern const char* const TextFace;
// The face name of the staff credits: a plain gothic, drawn bold. The credits burn in a fire
// that blurs every stroke; the brush face's thin strokes and small voicing marks melt into
// each other at 30 pixels (グ reads as ク), while this face keeps its marks large and apart.
extern const char* const CreditsFace;

// Font weights of DrawSurfaceText.
constexpr int TEXT_WEIGHT_NORMAL = 400;
constexpr int TEXT_WEIGHT_BOLD = 700;

// Copies srcRect of source to dest at (x, y), trimming the source rectangle to the 640x480
// screen first. width and height are the unclipped size of the piece. A piece wholly off the
// screen leaves an empty or inverted rectangle, which the blit refuses.
int BltClipped(Surface* dest, int x, int y, int width, int height, Surface* source, Rect srcRect,
               unsigned flags);

// Fills the 640x480 area of surface with one palette index (refused on a smaller surface).
int FillScreen(Surface* surface, uint8_t colour);

// Draws text into rect with a font made for the call: cell height charHeight, average width
// charWidth (0 = the face's own), colour (red, green, blue), layout flags format, weight.
void DrawSurfaceText(Surface* surface, const char* text, const char* face, Rect rect, int charWidth,
                     int charHeight, uint8_t red, uint8_t green, uint8_t blue, unsigned format,
                     int weight = TEXT_WEIGHT_NORMAL);
