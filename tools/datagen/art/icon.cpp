// The desktop icon: a shogi token with the king's character, standing in the fire of the title.
// Drawn from a description in the icon's own unit square at each size, with every pixel the
// mean of a grid of samples, so that the 32-pixel icon is drawn for 32 pixels, not shrunk. The
// colours are the game's: the token in the light wood of the boards, the ink of the match
// palette, the flames through the title's heat ramp.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "art/font.h"
#include "art/image_io.h"
#include "art/paint.h"
#include "art/palettes.h"
#include "datagen.h"
#include "file_io.h"

namespace {

struct Rgba {
    double r = 0, g = 0, b = 0, a = 0;  // straight colour 0..1 and coverage
};

// Paints b over a.
Rgba Over(const Rgba& a, const Rgba& b) {
    const double out = b.a + a.a * (1 - b.a);
    if (out <= 0) return {};
    auto mix = [&](double ca, double cb) { return (cb * b.a + ca * a.a * (1 - b.a)) / out; };
    return {mix(a.r, b.r), mix(a.g, b.g), mix(a.b, b.b), out};
}

Rgba FromColour(const Colour& c, double alpha) {
    return {c.red / 255.0, c.green / 255.0, c.blue / 255.0, alpha};
}

// A palette colour between entries, for smooth shading in the game's own ramps.
Colour Between(const Palette& p, double index) {
    index = std::clamp(index, 0.0, 255.0);
    const int i = static_cast<int>(index);
    const int j = std::min(i + 1, 255);
    const double f = index - i;
    auto mix = [f](uint8_t a, uint8_t b) {
        return static_cast<uint8_t>(std::lround(a + (b - a) * f));
    };
    return {mix(p[i].red, p[j].red), mix(p[i].green, p[j].green), mix(p[i].blue, p[j].blue)};
}

double Smooth(double e0, double e1, double x) {
    const double t = std::clamp((x - e0) / (e1 - e0), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

// ---- the token -----------------------------------------------------------------------------

// Its outline, apex first, in the unit square (y down): the five-sided shape of a shogi piece.
const double TOKEN[5][2] = {
    {0.50, 0.17}, {0.735, 0.31}, {0.785, 0.935}, {0.215, 0.935}, {0.265, 0.31}};
// Its thickness shows as a darker band along the lower right.
constexpr double DEPTH_X = 0.022, DEPTH_Y = 0.03;

double SegmentDistance(double px, double py, double ax, double ay, double bx, double by) {
    const double dx = bx - ax, dy = by - ay;
    const double t = std::clamp(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    return std::hypot(px - ax - t * dx, py - ay - t * dy);
}

// Signed distance to the token's outline shifted by (ox, oy): negative inside.
double TokenDistance(double x, double y, double ox, double oy) {
    bool inside = false;
    double best = 1e9;
    for (int i = 0, j = 4; i < 5; j = i++) {
        const double xi = TOKEN[i][0] + ox, yi = TOKEN[i][1] + oy;
        const double xj = TOKEN[j][0] + ox, yj = TOKEN[j][1] + oy;
        if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) inside = !inside;
        best = std::min(best, SegmentDistance(x, y, xi, yi, xj, yj));
    }
    return inside ? -best : best;
}

// ---- the fire ------------------------------------------------------------------------------

struct Tongue {
    double baseX, baseY;  // where it rises from
    double height, width;
    double lean;   // sideways drift of the tip
    double phase;  // of its flicker
};

// Flames rise from behind the token: a tall one over its apex, two from its shoulders and
// smaller ones along its sides, each bending outward like the flames of the title's burning
// pictures.
const Tongue TONGUES[] = {
    {0.50, 0.50, 0.54, 0.22, 0.03, 0.0}, {0.29, 0.60, 0.58, 0.17, -0.08, 1.7},
    {0.71, 0.60, 0.58, 0.17, 0.08, 3.1}, {0.14, 0.98, 0.62, 0.15, -0.06, 4.4},
    {0.86, 0.98, 0.62, 0.15, 0.06, 5.3}, {0.20, 0.80, 0.42, 0.12, -0.04, 2.2},
    {0.80, 0.80, 0.42, 0.12, 0.04, 0.9},
};
// The fire also clings to the token: heat within this distance of its outline.
constexpr double AURA = 0.075;

// Heat 0..1 of the fire at (x, y): each tongue is hottest along its axis and near its base.
double FireHeat(double x, double y) {
    double heat = 0;
    for (const Tongue& t : TONGUES) {
        const double v = (t.baseY - y) / t.height;  // 0 at the base, 1 at the tip
        if (v < -0.25 || v > 1.0) continue;
        const double wobble = 0.018 * std::sin(v * 7.0 + t.phase) * v;
        const double centre = t.baseX + t.lean * v * v + wobble;
        const double w = v < 0 ? t.width * std::sqrt(std::max(0.0, 1.0 - (v / 0.25) * (v / 0.25)))
                               : t.width * std::pow(1.0 - v, 0.75);
        if (w <= 1e-6) continue;
        const double d = std::abs(x - centre) / w;
        if (d >= 1) continue;
        const double h = (1.0 - d * d) * (1.0 - 0.55 * std::max(0.0, v));
        heat = std::max(heat, h);
    }
    const double out = TokenDistance(x, y, DEPTH_X / 2, DEPTH_Y / 2);
    if (out < AURA) heat = std::max(heat, 0.85 - 0.6 * std::max(0.0, out) / AURA);
    // A ragged edge from the title's own kind of noise, finer than the tongues.
    const double n = ValueNoise(x * 14.0, y * 10.0 + 3.0, 21) - 0.5;
    return std::clamp(heat + n * 0.22 * heat, 0.0, 1.0);
}

Rgba FireAt(double x, double y) {
    const double h = FireHeat(x, y);
    if (h <= 0.18) return {};
    // Index 95 of the title ramp (deep lacquer red) at the edge to 250 (white-gold) at the core.
    const Colour c = Between(TitlePalette(), 95 + (h - 0.18) / 0.82 * 155);
    return FromColour(c, Smooth(0.18, 0.3, h));
}

// Light on a face pixel near the outline: +1 on edges that face the upper left, -1 on edges
// that face the lower right.
double EdgeLight(double x, double y) {
    double best = 1e9, light = 0;
    for (int i = 0, j = 4; i < 5; j = i++) {
        const double d = SegmentDistance(x, y, TOKEN[j][0], TOKEN[j][1], TOKEN[i][0], TOKEN[i][1]);
        if (d >= best) continue;
        best = d;
        // The outline runs clockwise on screen (y down), so (ey, -ex) points out of the token;
        // the light comes from (-0.6, -0.8).
        const double ex = TOKEN[i][0] - TOKEN[j][0], ey = TOKEN[i][1] - TOKEN[j][1];
        const double len = std::hypot(ex, ey);
        light = (ey * -0.6 + -ex * -0.8) / len;
    }
    return light;
}

// Thickens a coverage mask by r pixels in every direction (a square max filter).
Mask Dilate(const Mask& m, int r) {
    Mask wide = MakeMask(m.width + 2 * r, m.height + 2 * r);
    for (int y = 0; y < wide.height; ++y)
        for (int x = 0; x < wide.width; ++x) {
            uint8_t best = 0;
            for (int dy = -r; dy <= r; ++dy)
                for (int dx = -r; dx <= r; ++dx) {
                    const int sx = x - r + dx, sy = y - r + dy;
                    if (sx >= 0 && sy >= 0 && sx < m.width && sy < m.height)
                        best = std::max(best, m.bits[static_cast<size_t>(sy) * m.width + sx]);
                }
            wide.bits[static_cast<size_t>(y) * wide.width + x] = best;
        }
    return wide;
}

// ---- the icon at one sample ------------------------------------------------------------------

struct Painter {
    double px;  // one pixel in unit lengths
    Mask king;  // coverage of the character, placed by kingX, kingY, kingScale
    double kingX = 0, kingY = 0, kingScale = 1;

    double KingCoverage(double x, double y) const {
        const int i = static_cast<int>(std::floor((x - kingX) / kingScale));
        const int j = static_cast<int>(std::floor((y - kingY) / kingScale));
        if (i < 0 || j < 0 || i >= king.width || j >= king.height) return 0;
        return king.bits[static_cast<size_t>(j) * king.width + i] / 255.0;
    }

    Rgba At(double x, double y) const {
        const Palette& pal = MatchPalette();
        Rgba out = FireAt(x, y);
        // The outline is at least one pixel wide, so the token stays whole at 32 pixels.
        const double outline = std::max(px * 1.05, 0.022);
        const double side = TokenDistance(x, y, DEPTH_X, DEPTH_Y);
        const double face = TokenDistance(x, y, 0, 0);
        if (std::min(side, face) < outline) {
            out = Over(out, FromColour(pal[Shade(BANK_INK, 1)], 1));  // ink outline
        }
        if (side < 0 && face >= 0) {
            const double s = 4.5 + (y - 0.3) * 4.0;  // the token's edge in shadow
            out = Over(out, FromColour(Between(pal, Shade(BANK_DARK_WOOD, 0) + s), 1));
        }
        if (face < 0) {
            // Light wood lit from the upper left, a bright bevel on the lit edges.
            double s = 12.6 - (y - 0.17) * 4.2 - (x - 0.5) * 2.0;
            const double rim = std::max(px * 1.6, 0.03);
            if (-face < rim) s += EdgeLight(x, y) > 0 ? 2.0 : -2.5;
            s = std::clamp(s, 0.0, 15.0);
            out = FromColour(Between(pal, Shade(BANK_LIGHT_WOOD, 0) + s), 1);
            // The fire behind warms the token's side edges.
            const double warm = Smooth(0.09, 0.0, -face) * 0.35;
            out = Over(out, FromColour(Between(TitlePalette(), 200), warm));
            const double ink = KingCoverage(x, y);
            if (ink > 0) out = Over(out, FromColour(pal[Shade(BANK_INK, 1)], ink));
        }
        return out;
    }
};

// The king's character from the brush face, sized to the token's body. Small icons get its
// strokes thickened by a fraction of a pixel, or they thin to grey.
void PlaceKing(Painter* p, int size, int samples) {
    const int raster = size * samples;
    const int box = static_cast<int>(raster * 0.46);
    p->king = FitText(FONT_BRUSH, box, "王", box, box, false, 0);
    const double thicken = size <= 32 ? 0.45 : size <= 64 ? 0.3 : 0.0;  // in pixels
    const int r = static_cast<int>(std::lround(thicken * samples));
    if (r > 0) p->king = Dilate(p->king, r);
    p->kingScale = 1.0 / raster;
    p->kingX = 0.5 - p->king.width * p->kingScale / 2;
    p->kingY = 0.61 - p->king.height * p->kingScale / 2;
}

RgbaImage DrawIcon(int size) {
    const int samples = size <= 64 ? 8 : 4;
    Painter p;
    p.px = 1.0 / size;
    PlaceKing(&p, size, samples);
    RgbaImage img(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            double r = 0, g = 0, b = 0, a = 0;
            for (int j = 0; j < samples; ++j)
                for (int i = 0; i < samples; ++i) {
                    const Rgba s =
                        p.At((x + (i + 0.5) / samples) / size, (y + (j + 0.5) / samples) / size);
                    r += s.r * s.a;
                    g += s.g * s.a;
                    b += s.b * s.a;
                    a += s.a;
                }
            const double n = samples * samples;
            auto byte = [](double v) {
                return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255));
            };
            img.Set(x, y, a > 0 ? byte(r / a) : 0, a > 0 ? byte(g / a) : 0, a > 0 ? byte(b / a) : 0,
                    byte(a / n));
        }
    return img;
}

// ---- the scalable icon -----------------------------------------------------------------------
// The same description drawn as vectors in a 256-unit square: the fire as nested contours of
// its heat (without the ragged noise), the token as polygons with the light as gradients, the
// character as the brush face's own outline.

constexpr double SVG_SIZE = 256;

std::string Hex(const Colour& c) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", c.red, c.green, c.blue);
    return text;
}

std::string Num(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", v);
    return text;
}

std::string Points(const std::vector<std::pair<double, double>>& points) {
    std::string d;
    for (const auto& [x, y] : points) {
        d += (d.empty() ? "M" : "L") + Num(x * SVG_SIZE) + " " + Num(y * SVG_SIZE) + " ";
    }
    return d + "Z";
}

std::vector<std::pair<double, double>> TokenPoints(double ox, double oy) {
    std::vector<std::pair<double, double>> points;
    for (const auto& p : TOKEN) points.emplace_back(p[0] + ox, p[1] + oy);
    return points;
}

// The contour of one tongue where its heat (without noise) is `heat`.
std::string TongueContour(const Tongue& t, double heat) {
    std::vector<std::pair<double, double>> left, right;
    const int steps = 48;
    for (int k = 0; k <= steps; ++k) {
        const double v = -0.25 + 1.25 * k / steps;
        const double fall = 1.0 - 0.55 * std::max(0.0, v);
        if (fall <= heat) break;
        const double w = v < 0 ? t.width * std::sqrt(std::max(0.0, 1.0 - (v / 0.25) * (v / 0.25)))
                               : t.width * std::pow(1.0 - v, 0.75);
        const double half = w * std::sqrt(1.0 - heat / fall);
        const double centre = t.baseX + t.lean * v * v + 0.018 * std::sin(v * 7.0 + t.phase) * v;
        const double y = t.baseY - v * t.height;
        left.emplace_back(centre - half, y);
        right.emplace_back(centre + half, y);
    }
    if (left.size() < 2) return "";
    left.insert(left.end(), right.rbegin(), right.rend());
    return Points(left);
}

std::string FireSvg() {
    // Four bands of heat, each drawn over the cooler ones, in the title ramp's colours.
    const double levels[] = {0.18, 0.40, 0.62, 0.80};
    std::string out;
    const std::string token = Points(TokenPoints(DEPTH_X / 2, DEPTH_Y / 2));
    for (double level : levels) {
        const double mid = std::min(level + 0.09, 0.95);
        const std::string colour = Hex(Between(TitlePalette(), 95 + (mid - 0.18) / 0.82 * 155));
        out += "  <g fill=\"" + colour + "\">\n";
        for (const Tongue& t : TONGUES) {
            const std::string d = TongueContour(t, level);
            if (!d.empty()) out += "    <path d=\"" + d + "\"/>\n";
        }
        // The heat that clings to the token, as a band around its outline.
        const double reach = (0.85 - level) / 0.6 * AURA * SVG_SIZE;
        if (reach > 0) {
            out += "    <path d=\"" + token + "\" stroke=\"" + colour + "\" stroke-width=\"" +
                   Num(2 * reach) + "\" stroke-linejoin=\"round\"/>\n";
        }
        out += "  </g>\n";
    }
    return out;
}

// A linear gradient along the face's light: shade 12.6 - 4.2 (y - 0.17) - 2 (x - 0.5).
std::string FaceGradient() {
    const Palette& pal = MatchPalette();
    const double gx = -2.0, gy = -4.2;  // the direction in which the shade rises
    const double len = std::hypot(gx, gy);
    // The face's extent along that direction: from its darkest to its brightest corner.
    double lo = 1e9, hi = -1e9;
    for (const auto& p : TOKEN) {
        const double along = (p[0] * gx + p[1] * gy) / len;
        lo = std::min(lo, along);
        hi = std::max(hi, along);
    }
    // Points on the line through the origin along the light: each has the projection `along`.
    std::string out = "    <linearGradient id=\"face\" gradientUnits=\"userSpaceOnUse\" x1=\"" +
                      Num(gx / len * lo * SVG_SIZE) + "\" y1=\"" + Num(gy / len * lo * SVG_SIZE) +
                      "\" x2=\"" + Num(gx / len * hi * SVG_SIZE) + "\" y2=\"" +
                      Num(gy / len * hi * SVG_SIZE) + "\">\n";
    for (int k = 0; k <= 4; ++k) {
        const double f = k / 4.0;
        const double along = lo + (hi - lo) * f;
        const double x = gx / len * along, y = gy / len * along;
        const double shade = std::clamp(12.6 - (y - 0.17) * 4.2 - (x - 0.5) * 2.0, 0.0, 15.0);
        out += "      <stop offset=\"" + Num(f) + "\" stop-color=\"" +
               Hex(Between(pal, Shade(BANK_LIGHT_WOOD, 0) + shade)) + "\"/>\n";
    }
    return out + "    </linearGradient>\n";
}

std::string TokenSvg(double kingHeight) {
    const Palette& pal = MatchPalette();
    const std::string ink = Hex(pal[Shade(BANK_INK, 1)]);
    const std::string face = Points(TokenPoints(0, 0));
    const std::string side = Points(TokenPoints(DEPTH_X, DEPTH_Y));
    const double outline = 0.022 * SVG_SIZE;
    std::string out;
    // The ink outline around the face and its edge, then the edge in shadow, then the face.
    out += "  <g stroke=\"" + ink + "\" stroke-width=\"" + Num(2 * outline) +
           "\" stroke-linejoin=\"round\" fill=\"" + ink + "\">\n";
    out += "    <path d=\"" + side + "\"/>\n    <path d=\"" + face + "\"/>\n  </g>\n";
    out += "  <path d=\"" + side + "\" fill=\"" +
           Hex(Between(pal, Shade(BANK_DARK_WOOD, 0) + 6.5)) + "\"/>\n";
    out += "  <path d=\"" + face + "\" fill=\"url(#face)\"/>\n";
    // Inside the face: the bevel (light on the edges facing the upper left, shadow on the
    // others) and the warmth of the fire along the edges.
    out += "  <g clip-path=\"url(#inside)\" fill=\"none\" stroke-linecap=\"round\">\n";
    for (double width : {0.18, 0.11, 0.05}) {
        out += "    <path d=\"" + face + "\" stroke=\"" + Hex(Between(TitlePalette(), 200)) +
               "\" stroke-opacity=\"0.12\" stroke-width=\"" + Num(width * SVG_SIZE) + "\"/>\n";
    }
    for (int i = 0, j = 4; i < 5; j = i++) {
        const double mx = (TOKEN[i][0] + TOKEN[j][0]) / 2, my = (TOKEN[i][1] + TOKEN[j][1]) / 2;
        const bool lit = EdgeLight(mx, my) > 0;
        out += "    <path d=\"M" + Num(TOKEN[j][0] * SVG_SIZE) + " " + Num(TOKEN[j][1] * SVG_SIZE) +
               " L" + Num(TOKEN[i][0] * SVG_SIZE) + " " + Num(TOKEN[i][1] * SVG_SIZE) +
               "\" stroke=\"" + (lit ? "#ffffff" : Hex(pal[Shade(BANK_DARK_WOOD, 2)])) +
               "\" stroke-opacity=\"" + (lit ? "0.30" : "0.35") + "\" stroke-width=\"" +
               Num(0.06 * SVG_SIZE) + "\"/>\n";
    }
    out += "  </g>\n";
    double width = 0;
    const std::string king = GlyphOutlinePath(FONT_BRUSH, "王", kingHeight * SVG_SIZE, &width);
    if (!king.empty()) {
        const double x = 0.5 * SVG_SIZE - width / 2, y = (0.61 - kingHeight / 2) * SVG_SIZE;
        out += "  <path transform=\"translate(" + Num(x) + " " + Num(y) + ")\" fill=\"" + ink +
               "\" d=\"" + king + "\"/>\n";
    }
    return out;
}

std::string DrawScalableIcon() {
    // The character as tall as on the 256-pixel icon.
    Painter p;
    PlaceKing(&p, 256, 4);
    const double kingHeight = p.king.height * p.kingScale;
    std::string svg =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" "
        "viewBox=\"0 0 256 256\">\n"
        "  <title>KELMORAV</title>\n  <defs>\n" +
        FaceGradient() + "    <clipPath id=\"inside\"><path d=\"" + Points(TokenPoints(0, 0)) +
        "\"/></clipPath>\n  </defs>\n";
    svg += FireSvg();
    svg += TokenSvg(kingHeight);
    return svg + "</svg>\n";
}

}  // namespace

bool WriteIcons(const std::string& dir) {
    if (!InitArtFonts()) return false;
    bool ok = true;
    for (int size : {32, 48, 64, 128, 256}) {
        const std::string name = std::to_string(size) + "x" + std::to_string(size);
        const std::filesystem::path folder = std::filesystem::path(dir) / name / "apps";
        std::error_code ec;
        std::filesystem::create_directories(folder, ec);
        ok = WritePngRgba((folder / "kelmorav.png").string(), DrawIcon(size)) && ok;
    }
    const std::filesystem::path scalable = std::filesystem::path(dir) / "scalable" / "apps";
    std::error_code ec;
    std::filesystem::create_directories(scalable, ec);
    const std::string svg = DrawScalableIcon();
    ok = WriteBinaryFile((scalable / "kelmorav.svg").string(),
                         reinterpret_cast<const uint8_t*>(svg.data()), svg.size()) &&
         ok;
    return ok;
}
