// The 8-bit canvas and its drawing primitives.
#include "art/canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

Canvas::Canvas(int width, int height, uint8_t fill)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height, fill) {}

uint8_t Canvas::Get(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return KEY_INDEX;
    return pixels_[static_cast<size_t>(y) * width_ + x];
}

void Canvas::Set(int x, int y, uint8_t index) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    pixels_[static_cast<size_t>(y) * width_ + x] = index;
}

void Canvas::FillRect(int x, int y, int w, int h, uint8_t index) {
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i) Set(i, j, index);
}

void Canvas::FrameRect(int x, int y, int w, int h, uint8_t index) {
    for (int i = x; i < x + w; ++i) {
        Set(i, y, index);
        Set(i, y + h - 1, index);
    }
    for (int j = y; j < y + h; ++j) {
        Set(x, j, index);
        Set(x + w - 1, j, index);
    }
}

void Canvas::Line(int x0, int y0, int x1, int y1, uint8_t index) {
    int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        Set(x0, y0, index);
        if (x0 == x1 && y0 == y1) break;
        int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

void Canvas::FillEllipse(double cx, double cy, double rx, double ry, uint8_t index) {
    if (rx <= 0 || ry <= 0) return;
    int x0 = static_cast<int>(std::floor(cx - rx)), x1 = static_cast<int>(std::ceil(cx + rx));
    int y0 = static_cast<int>(std::floor(cy - ry)), y1 = static_cast<int>(std::ceil(cy + ry));
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            double u = (x + 0.5 - cx) / rx, v = (y + 0.5 - cy) / ry;
            if (u * u + v * v <= 1.0) Set(x, y, index);
        }
}

void Canvas::FillPolygon(const std::vector<double>& xy, uint8_t index) {
    size_t n = xy.size() / 2;
    if (n < 3) return;
    double minY = xy[1], maxY = xy[1];
    for (size_t i = 0; i < n; ++i) {
        minY = std::min(minY, xy[2 * i + 1]);
        maxY = std::max(maxY, xy[2 * i + 1]);
    }
    for (int y = static_cast<int>(std::floor(minY)); y <= static_cast<int>(std::ceil(maxY)); ++y) {
        double py = y + 0.5;
        std::vector<double> xs;
        for (size_t i = 0; i < n; ++i) {
            double ax = xy[2 * i], ay = xy[2 * i + 1];
            double bx = xy[2 * ((i + 1) % n)], by = xy[2 * ((i + 1) % n) + 1];
            if ((ay <= py && by > py) || (by <= py && ay > py))
                xs.push_back(ax + (py - ay) * (bx - ax) / (by - ay));
        }
        std::sort(xs.begin(), xs.end());
        for (size_t k = 0; k + 1 < xs.size(); k += 2) {
            int a = static_cast<int>(std::ceil(xs[k] - 0.5));
            int b = static_cast<int>(std::floor(xs[k + 1] - 0.5));
            for (int x = a; x <= b; ++x) Set(x, y, index);
        }
    }
}

void Canvas::Paste(const Canvas& src, int x, int y) {
    PasteRect(src, 0, 0, src.Width(), src.Height(), x, y);
}

void Canvas::PasteRect(const Canvas& src, int sx, int sy, int w, int h, int x, int y) {
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            uint8_t p = src.Get(sx + i, sy + j);
            if (p != KEY_INDEX) Set(x + i, y + j, p);
        }
}

void Canvas::StampMask(const Mask& mask, int x, int y, uint8_t index) {
    for (int j = 0; j < mask.height; ++j)
        for (int i = 0; i < mask.width; ++i)
            if (mask.At(i, j)) Set(x + i, y + j, index);
}

int BayerLevel(int x, int y) {
    static const int BAYER[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    return BAYER[y & 3][x & 3];
}

uint8_t DitherShade(double shade, int x, int y) {
    shade = std::clamp(shade, 0.0, 15.0);
    int lo = static_cast<int>(std::floor(shade));
    double frac = shade - lo;
    if (lo < 15 && frac * 16.0 > BayerLevel(x, y) + 0.5) ++lo;
    return static_cast<uint8_t>(lo);
}

Mask MakeMask(int width, int height) {
    Mask m;
    m.width = width;
    m.height = height;
    m.bits.assign(static_cast<size_t>(width) * height, 0);
    return m;
}

std::vector<double> DistanceField(const Mask& mask, double maxDist) {
    // Brute force over a window: the masks are small (at most a few hundred pixels a side).
    int w = mask.width, h = mask.height, r = static_cast<int>(std::ceil(maxDist));
    std::vector<double> dist(static_cast<size_t>(w) * h, maxDist);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (!mask.At(x, y)) continue;
            for (int j = std::max(0, y - r); j <= std::min(h - 1, y + r); ++j)
                for (int i = std::max(0, x - r); i <= std::min(w - 1, x + r); ++i) {
                    double d = std::hypot(i - x, j - y);
                    double& slot = dist[static_cast<size_t>(j) * w + i];
                    if (d < slot) slot = d;
                }
        }
    return dist;
}

Mask Embolden(const Mask& mask) {
    Mask out = MakeMask(mask.width + 1, mask.height);
    for (int y = 0; y < mask.height; ++y)
        for (int x = 0; x <= mask.width; ++x)
            if (mask.At(x, y) || mask.At(x - 1, y))
                out.bits[static_cast<size_t>(y) * out.width + x] = 255;
    return out;
}
