// The board markers against every board material: the reach marker in each of the eight shades
// it pulses through, for every side colour, and the cursor-square marker, each compared pixel by
// pixel with the tile pixel under it as the match draws them (opaque, colour-keyed blits onto
// the tiles) in CIEDE2000 colour difference.
#include <gtest/gtest.h>
#include <lcms2.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "media/palette.h"

namespace {

constexpr int SIDE_BANKS[9] = {1, 2, 3, 4, 5, 6, 7, 13, 14};
constexpr int TILE_STYLES = 10;
constexpr uint8_t KEY = 254;
constexpr uint8_t GLOW = 253;  // the reach mask's highlighted shape
constexpr int REACH_MASK_X = 64;
constexpr int CURSOR_X = 64, CURSOR_Y = 32;

// A marker reads when the large majority of its pixels stand apart from the wood, stone or
// lacquer under them; a few pixels that happen to meet a matching grain or speck do not hide
// it. So the measure is the difference that 90% of the marker's pixels reach or exceed.
constexpr double SHARE_THAT_MUST_STAND_OUT = 0.9;
// CIEDE2000 of about 2 is the smallest difference seen side by side on large patches; a ring
// a few pixels wide on a grained or speckled ground needs several times that. Looked at on the
// boards, rings that reached 9 or more were plain to see, those at 7 or less faded into the
// wood or lacquer and those under 3 vanished; 10 keeps a margin above what reads.
constexpr double MIN_DELTA_E = 10.0;

struct Sheet {
    BmpImage image;
    std::array<cmsCIELab, 256> lab{};

    uint8_t At(int x, int y) const {
        if (x < 0 || y < 0 || x >= image.width || y >= image.height) return KEY;
        return image.pixels[static_cast<size_t>(y) * image.width + x];
    }
    double DeltaE(uint8_t a, uint8_t b) const {
        return cmsCIE2000DeltaE(&lab[a], &lab[b], 1.0, 1.0, 1.0);
    }
};

// ETC.bmp as generated, with its palette converted from sRGB to CIELAB once.
const Sheet& Etc() {
    static const Sheet sheet = [] {
        Sheet s;
        std::ifstream in(std::string(KELMORAV_BUILD_DIR) + "/DATA/BMP/ETC.bmp", std::ios::binary);
        const std::vector<uint8_t> bytes(std::istreambuf_iterator<char>(in), {});
        std::string error;
        EXPECT_TRUE(ParseBmp(bytes.data(), bytes.size(), &s.image, &error)) << error;
        cmsHPROFILE srgb = cmsCreate_sRGBProfile();
        cmsHPROFILE labProfile = cmsCreateLab4Profile(nullptr);
        cmsHTRANSFORM toLab = cmsCreateTransform(srgb, TYPE_RGB_8, labProfile, TYPE_Lab_DBL,
                                                 INTENT_RELATIVE_COLORIMETRIC, 0);
        for (int i = 0; i < 256; ++i) {
            const uint8_t rgb[3] = {s.image.colours[i].red, s.image.colours[i].green,
                                    s.image.colours[i].blue};
            cmsDoTransform(toLab, rgb, &s.lab[i], 1);
        }
        cmsDeleteTransform(toLab);
        cmsCloseProfile(labProfile);
        cmsCloseProfile(srgb);
        return s;
    }();
    return sheet;
}

// Top-left corner of a tile style's cell in the sheet.
int TileX(int style) { return 64 * (style % 5); }
int TileY(int style) { return style < 5 ? 160 : 208; }

// The difference that the given share of the pairs (marker pixel, tile pixel) reaches.
double ShareReaching(std::vector<double> differences) {
    if (differences.empty()) return 0.0;
    std::sort(differences.begin(), differences.end());
    const auto k = static_cast<size_t>((1.0 - SHARE_THAT_MUST_STAND_OUT) * differences.size());
    return differences[std::min(k, differences.size() - 1)];
}

// The reach marker in shade bank + level over a tile: the glow pixels of the mask against the
// tile's top face under them.
double ReachContrast(int bank, int level, int style) {
    const Sheet& etc = Etc();
    const auto shade = static_cast<uint8_t>(bank * 16 + level);
    std::vector<double> differences;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x) {
            const uint8_t tile = etc.At(TileX(style) + x, TileY(style) + y);
            if (etc.At(REACH_MASK_X + x, y) == GLOW && tile != KEY)
                differences.push_back(etc.DeltaE(shade, tile));
        }
    return ShareReaching(differences);
}

// The cursor-square marker over a tile. It is drawn in more than one colour (a bright band
// between dark lines); it reads when one of its colours stands out all round, so the best of
// its colours counts.
double CursorContrast(int style) {
    const Sheet& etc = Etc();
    std::map<uint8_t, std::vector<double>> byColour;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x) {
            const uint8_t marker = etc.At(CURSOR_X + x, CURSOR_Y + y);
            const uint8_t tile = etc.At(TileX(style) + x, TileY(style) + y);
            if (marker != KEY && tile != KEY) byColour[marker].push_back(etc.DeltaE(marker, tile));
        }
    double best = 0.0;
    for (const auto& [colour, differences] : byColour) {
        if (differences.size() >= 40) best = std::max(best, ShareReaching(differences));
    }
    return best;
}

TEST(MarkerContrast, ReachMarkerStandsOutInEveryShadeOnEveryTileForEverySide) {
    std::ostringstream weak;
    for (int bank : SIDE_BANKS)
        for (int style = 0; style < TILE_STYLES; ++style) {
            double worst = 1e9;
            int worstLevel = 0;
            for (int level = 8; level <= 15; ++level) {
                const double d = ReachContrast(bank, level, style);
                if (d < worst) {
                    worst = d;
                    worstLevel = level;
                }
            }
            if (worst < MIN_DELTA_E)
                weak << "\n  bank " << bank << " on tile style " << style << ": shade "
                     << worstLevel << " reaches only " << worst;
        }
    EXPECT_TRUE(weak.str().empty()) << "the reach marker fades into the board:" << weak.str();
}

TEST(MarkerContrast, CursorSquareStandsOutOnEveryTile) {
    for (int style = 0; style < TILE_STYLES; ++style)
        EXPECT_GE(CursorContrast(style), MIN_DELTA_E) << "tile style " << style;
}

}  // namespace
