// Shared painting helpers.
#include "art/paint.h"

#include <algorithm>
#include <cmath>

double Hash01(int x, int y, int seed) {
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u +
                 static_cast<uint32_t>(seed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xFFFFFF) / static_cast<double>(0x1000000);
}

double ValueNoise(double x, double y, int seed) {
    int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
    double fx = x - x0, fy = y - y0;
    fx = fx * fx * (3 - 2 * fx);
    fy = fy * fy * (3 - 2 * fy);
    double a = Hash01(x0, y0, seed), b = Hash01(x0 + 1, y0, seed);
    double c = Hash01(x0, y0 + 1, seed), d = Hash01(x0 + 1, y0 + 1, seed);
    return (a * (1 - fx) + b * fx) * (1 - fy) + (c * (1 - fx) + d * fx) * fy;
}

void StampOutlined(Canvas& c, const Mask& m, int x, int y, uint8_t fill, uint8_t outline,
                   int thickness) {
    for (int j = -thickness; j < m.height + thickness; ++j)
        for (int i = -thickness; i < m.width + thickness; ++i) {
            if (m.At(i, j)) continue;
            bool near = false;
            for (int dj = -thickness; dj <= thickness && !near; ++dj)
                for (int di = -thickness; di <= thickness && !near; ++di)
                    if (std::abs(di) + std::abs(dj) <= thickness + 1 && m.At(i + di, j + dj))
                        near = true;
            if (near) c.Set(x + i, y + j, outline);
        }
    c.StampMask(m, x, y, fill);
}

void StampCentred(Canvas& c, const Mask& m, int x, int y, int w, int h, uint8_t fill,
                  int outlineIndex, int thickness) {
    int ox = x + (w - m.width) / 2, oy = y + (h - m.height) / 2;
    if (outlineIndex >= 0)
        StampOutlined(c, m, ox, oy, fill, static_cast<uint8_t>(outlineIndex), thickness);
    else
        c.StampMask(m, ox, oy, fill);
}

TilePart TilePartAt(int x, int y) {
    if (x < 0 || x >= 64 || y < 0 || y >= 48) return TILE_OUTSIDE;
    int hw = 2 * std::min(y, 32 - y);  // half width of the face on this row
    if (y <= 32 && x >= 32 - hw && x < 32 + hw) return TILE_FACE;
    // Lower edge of the face above column x, then 16 rows of side below it.
    int edge = x < 32 ? 16 + (x + 1) / 2 : 16 + (64 - x) / 2;
    if (y >= edge && y < edge + 16) return x < 32 ? TILE_LEFT : TILE_RIGHT;
    return TILE_OUTSIDE;
}

double TileFaceDistance(int x, int y) {
    return std::abs(x + 0.5 - 32.0) / 32.0 + std::abs(y + 0.5 - 16.0) / 16.0;
}

void TileFaceCoords(int x, int y, double* a, double* b) {
    double dx = (x + 0.5 - 32.0) / 2.0, dy = y + 0.5;
    *a = dy + dx;
    *b = dy - dx;
}

void StampHeat(Canvas& c, const Mask& coverage, int x, int y, int core, int rim, int glow,
               double radius) {
    // Distance inside the strokes (to the nearest blank pixel) and outside (to the strokes).
    Mask inside = coverage;
    for (auto& v : inside.bits) v = v >= 128 ? 1 : 0;
    Mask outside = MakeMask(coverage.width, coverage.height);
    for (size_t i = 0; i < inside.bits.size(); ++i) outside.bits[i] = inside.bits[i] ? 0 : 1;
    std::vector<double> distOut = DistanceField(inside, radius + 1);
    std::vector<double> distIn = DistanceField(outside, 6);
    int pad = static_cast<int>(std::ceil(radius));
    for (int j = -pad; j < coverage.height + pad; ++j)
        for (int i = -pad; i < coverage.width + pad; ++i) {
            double heat;
            bool inMask = i >= 0 && j >= 0 && i < coverage.width && j < coverage.height;
            size_t k = inMask ? static_cast<size_t>(j) * coverage.width + i : 0;
            if (inMask && inside.bits[k]) {
                double t = std::min(1.0, (distIn[k] - 0.5) / 2.0);
                heat = rim + (core - rim) * t;
            } else {
                double d = radius + 1;
                if (inMask) {
                    d = distOut[k];
                } else {
                    // Outside the mask box: measure to the nearest in-box stroke pixel.
                    int ci = std::clamp(i, 0, coverage.width - 1);
                    int cj = std::clamp(j, 0, coverage.height - 1);
                    size_t ck = static_cast<size_t>(cj) * coverage.width + ci;
                    d = distOut[ck] + std::hypot(i - ci, j - cj);
                }
                if (d > radius) continue;
                double t = 1.0 - d / (radius + 0.5);
                heat = glow * t * t;
                if (heat < 6) continue;
            }
            int v = std::clamp(static_cast<int>(std::lround(heat)), 1, 255);
            if (v == KEY_INDEX) v = 253;
            c.Set(x + i, y + j, static_cast<uint8_t>(v));
        }
}
