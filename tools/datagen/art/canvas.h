#pragma once
// An 8-bit picture in palette indexes with the drawing primitives the sheet writers use. Every
// primitive clips to the canvas, so a shape that runs past an edge is simply cut off.

#include <cstdint>
#include <vector>

constexpr uint8_t KEY_INDEX = 254;   // transparent colour key of every sheet
constexpr uint8_t GLOW_INDEX = 253;  // glowing part of the reach-marker mask
constexpr uint8_t WHITE_INDEX = 255;

// A one-bit (or coverage) mask, row-major, used for glyphs and shapes.
struct Mask {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> bits;  // 0 = off, anything else = on
    bool At(int x, int y) const {
        return x >= 0 && y >= 0 && x < width && y < height && bits[y * width + x] != 0;
    }
};

class Canvas {
public:
    Canvas() = default;
    Canvas(int width, int height, uint8_t fill = KEY_INDEX);

    int Width() const { return width_; }
    int Height() const { return height_; }
    const std::vector<uint8_t>& Pixels() const { return pixels_; }

    uint8_t Get(int x, int y) const;
    void Set(int x, int y, uint8_t index);
    void FillRect(int x, int y, int w, int h, uint8_t index);
    void FrameRect(int x, int y, int w, int h, uint8_t index);
    void Line(int x0, int y0, int x1, int y1, uint8_t index);
    // Solid ellipse of radii rx, ry around (cx, cy), sampled at pixel centres.
    void FillEllipse(double cx, double cy, double rx, double ry, uint8_t index);
    // Fills a convex or concave polygon (even-odd rule) sampled at pixel centres.
    void FillPolygon(const std::vector<double>& xy, uint8_t index);
    // Copies another canvas in, skipping its KEY_INDEX pixels.
    void Paste(const Canvas& src, int x, int y);
    // Copies a rectangle of another canvas in, skipping KEY_INDEX pixels.
    void PasteRect(const Canvas& src, int sx, int sy, int w, int h, int x, int y);
    // Stamps the set pixels of a mask with one index.
    void StampMask(const Mask& mask, int x, int y, uint8_t index);

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<uint8_t> pixels_;
};

// Ordered 4x4 Bayer threshold 0..15 for dithering between two shades.
int BayerLevel(int x, int y);
// Rounds a fractional shade (0..15) to a whole one with ordered dithering, so that a smooth
// gradient becomes a crisp pattern of two neighbouring shades.
uint8_t DitherShade(double shade, int x, int y);

// Mask helpers.
Mask MakeMask(int width, int height);
// Distance from each pixel to the nearest set pixel (0 on the mask), capped at maxDist.
std::vector<double> DistanceField(const Mask& mask, double maxDist);
// Thickens strokes by one pixel to the right (a heavier brush for small characters).
Mask Embolden(const Mask& mask);
