#pragma once
// Higher-level painting shared by the sheet writers: outlined text, isometric tile shapes,
// deterministic noise and heat glows.

#include <cstdint>

#include "art/canvas.h"
#include "art/font.h"

// Deterministic hash noise in 0..1 for (x, y, seed).
double Hash01(int x, int y, int seed);
// Smooth value noise in 0..1 at scale cells.
double ValueNoise(double x, double y, int seed);

// Stamps mask at (x, y) with fill, surrounded by an outline of the given thickness
// (8-neighbourhood, so corners are closed).
void StampOutlined(Canvas& c, const Mask& m, int x, int y, uint8_t fill, uint8_t outline,
                   int thickness = 1);
// Stamps mask centred in the box (x, y, w, h).
void StampCentred(Canvas& c, const Mask& m, int x, int y, int w, int h, uint8_t fill,
                  int outlineIndex = -1, int thickness = 1);

// Where a pixel of a 64x48 board tile lies: its top face (a 64x32 diamond, row 0 left empty),
// its left or right side (16 px below the face), or outside.
enum TilePart { TILE_OUTSIDE, TILE_FACE, TILE_LEFT, TILE_RIGHT };
TilePart TilePartAt(int x, int y);
// Diamond distance of a face pixel from the face centre: 0 in the middle, 1 on the rim.
double TileFaceDistance(int x, int y);
// Board-plane coordinates (0..32 each) of a face pixel: a runs with the board column, b with
// the row.
void TileFaceCoords(int x, int y, double* a, double* b);

// Heat picture from a coverage mask: strokes hot, glow falling off outside to the key colour.
// core and rim are the heats at the stroke centre and edge, glow the heat just outside, radius
// the glow's reach in pixels.
void StampHeat(Canvas& c, const Mask& coverage, int x, int y, int core, int rim, int glow,
               double radius);
