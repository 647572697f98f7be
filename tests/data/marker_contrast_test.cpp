// The board markers against every board material: the reach marker in each of the eight shades
// it pulses through, for every side colour, and the cursor-square marker, each compared pixel by
// pixel with the tile pixel under it as the match draws them (opaque, colour-keyed blits onto
// the tiles) in CIEDE2000 colour difference. The kind labels likewise against the tokens of
// every side colour they are laid on, the kanji of the Japanese sheet and the letters of the
// English one.
#include <gtest/gtest.h>
#include <lcms2.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iomanip>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "match/kind_labels.h"
#include "media/blend.h"
#include "media/palette.h"
#include "media/sheet_cells.h"
#include "rules/board.h"

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

// A sheet as generated, with its palette converted from sRGB to CIELAB.
Sheet LoadSheet(const char* file) {
    Sheet s;
    {
        std::ifstream in(std::string(KELMORAV_BUILD_DIR) + "/DATA/BMP/" + file, std::ios::binary);
        const std::vector<uint8_t> bytes(std::istreambuf_iterator<char>(in), {});
        std::string error;
        EXPECT_TRUE(ParseBmp(bytes.data(), bytes.size(), &s.image, &error)) << file << error;
    }
    {
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
    }
    return s;
}

const Sheet& Etc() {
    static const Sheet sheet = LoadSheet("ETC.bmp");
    return sheet;
}
const Sheet& EnglishEtc() {
    static const Sheet sheet = LoadSheet("EN/ETC.bmp");
    return sheet;
}
const Sheet& SideSheet() {
    static const Sheet sheet = LoadSheet("COLOR.bmp");
    return sheet;
}

// Top-left corner of a tile style's cell in the sheet.
int TileX(int style) { return 64 * (style % 5); }
int TileY(int style) { return style < 5 ? 160 : 208; }

// The difference that the given share of the pairs (marker pixel, tile pixel) reaches.
double ShareReaching(std::vector<double> differences) {
    if (differences.empty()) return 0.0;
    std::sort(differences.begin(), differences.end());
    const auto k = static_cast<size_t>((1.0 - SHARE_THAT_MUST_STAND_OUT) *
                                       static_cast<double>(differences.size()));
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

// The kinds a label names, one kind byte for each glyph a side can show: the eight kinds, their
// promoted forms, and a byte that names no kind.
constexpr uint8_t LABELLED_KINDS[] = {1,    2,    3,    4,    5,    6,    7,    8,   0x81,
                                      0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x1F};
const char* const KIND_NAMES[] = {"pawn",   "lance", "knight",  "silver", "gold",    "rook",
                                  "bishop", "king",  "+pawn",   "+lance", "+knight", "+silver",
                                  "+gold",  "+rook", "+bishop", "+king",  "none"};
// The side colours in the order of the digit keys 1..9, with their banks.
const char* const BANK_NAMES[9] = {"vermilion", "indigo", "jade",  "yellow", "violet",
                                   "teal",      "sakura", "night", "washi"};
constexpr int BANK_BY_DIGIT[9] = {1, 2, 3, 4, 5, 6, 13, 7, 14};

// The colour of a label cell's outline: the colour of the pixels at its edge, next to a
// transparent pixel. Every other opaque pixel of the cell belongs to the character itself.
uint8_t OutlineColour(const Sheet& etc, const Rect& label) {
    std::map<uint8_t, int> edge;
    for (int y = label.top; y < label.bottom; ++y)
        for (int x = label.left; x < label.right; ++x) {
            if (etc.At(x, y) == KEY) continue;
            bool nextToKey = false;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const bool inCell = x + dx >= label.left && x + dx < label.right &&
                                        y + dy >= label.top && y + dy < label.bottom;
                    nextToKey = nextToKey || !inCell || etc.At(x + dx, y + dy) == KEY;
                }
            if (nextToKey) ++edge[etc.At(x, y)];
        }
    uint8_t outline = KEY;
    int most = 0;
    for (const auto& [colour, count] : edge) {
        if (count > most) {
            most = count;
            outline = colour;
        }
    }
    return outline;
}

// A side's label for a kind on that side's token in a colour bank, as the match lays it: the
// cell the game picks for that bank, over the token sprite recoloured into the bank (only the
// shade of each sheet pixel is kept). The character's pixels, not its outline, against the
// token pixels under them: an outline can keep a character apart from the token, but the
// character itself must stand out for its strokes, and its colour, to be read.
double LabelContrast(const Sheet& etc, uint8_t kind, int side, int bank) {
    const Sheet& colour = SideSheet();
    const Rect& label = CellRect(KindLabelCell(kind, side, static_cast<uint8_t>(bank * 16)));
    const Rect& token = CellRect(CELL_PIECE_0 + side);
    const uint8_t outline = OutlineColour(etc, label);
    std::vector<double> differences;
    for (int y = 0; y < KIND_LABEL_SIZE; ++y)
        for (int x = 0; x < KIND_LABEL_SIZE; ++x) {
            const uint8_t ink = etc.At(label.left + x, label.top + y);
            const uint8_t under =
                colour.At(token.left + KindLabelLeft(side) + x, token.top + KindLabelTop() + y);
            if (ink == KEY || ink == outline || under == KEY) continue;
            differences.push_back(etc.DeltaE(ink, static_cast<uint8_t>(bank * 16 + (under & 15))));
        }
    EXPECT_FALSE(differences.empty()) << "label cell " << label.left << "," << label.top;
    return ShareReaching(differences);
}

TEST(MarkerContrast, KindLabelStandsOutOnTheTokenOfEverySideColour) {
    // The game picks a label's outline from the colour of the token face as installed.
    for (int i = 0; i < 256; ++i) {
        ScreenPalette[i] = Etc().image.colours[i];
    }
    std::ostringstream table;
    std::ostringstream weak;
    for (const Sheet* etc : {&Etc(), &EnglishEtc()}) {
        const char* language = etc == &Etc() ? "kanji" : "letters";
        table << "\n  " << std::left << std::setw(9) << language << std::right;
        for (const char* bank : BANK_NAMES) table << " " << std::setw(9) << bank;
        for (size_t k = 0; k < std::size(LABELLED_KINDS); ++k) {
            table << "\n  " << std::left << std::setw(9) << KIND_NAMES[k] << std::right;
            for (int b = 0; b < 9; ++b) {
                double worst = 1e9;
                for (int side = 0; side < 2; ++side) {
                    const double d = LabelContrast(*etc, LABELLED_KINDS[k], side, BANK_BY_DIGIT[b]);
                    worst = std::min(worst, d);
                    if (d < MIN_DELTA_E)
                        weak << "\n  " << language << ": " << KIND_NAMES[k] << " of side " << side
                             << " on " << BANK_NAMES[b] << " reaches only " << d;
                }
                table << " " << std::setw(9) << std::fixed << std::setprecision(1) << worst;
            }
        }
    }
    // KELMORAV_CONTRAST_TABLE=1 prints the table of the weakest side's contrasts.
    if (std::getenv("KELMORAV_CONTRAST_TABLE") != nullptr)
        std::printf("kind labels, CIEDE2000 reached by 90%% of the character's pixels:%s\n",
                    table.str().c_str());
    EXPECT_TRUE(weak.str().empty()) << "kind labels fade into their tokens:" << weak.str()
                                    << "\nall (the weaker side):" << table.str();
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

// The last-move mark, laid half-transparently on a square through the blend table: each pixel of
// the tinted face against the bare tile pixel it was blended from.
TEST(MarkerContrast, LastMoveMarkTintsEveryTile) {
    const Sheet& etc = Etc();
    const Rect& mark = CellRect(CELL_LAST_MOVE);
    for (int style = 0; style < TILE_STYLES; ++style) {
        std::vector<double> differences;
        for (int y = 0; y < mark.bottom - mark.top; ++y)
            for (int x = 0; x < mark.right - mark.left; ++x) {
                const uint8_t tint = etc.At(mark.left + x, mark.top + y);
                const uint8_t tile = etc.At(TileX(style) + x, TileY(style) + y);
                if (tint == KEY || tile == KEY) continue;
                differences.push_back(
                    etc.DeltaE(tile, NearestBlendIndex(etc.image.colours, tile, tint)));
            }
        EXPECT_GE(ShareReaching(differences), MIN_DELTA_E) << "tile style " << style;
    }
}

TEST(MarkerContrast, CursorSquareStandsOutOnEveryTile) {
    for (int style = 0; style < TILE_STYLES; ++style)
        EXPECT_GE(CursorContrast(style), MIN_DELTA_E) << "tile style " << style;
}

}  // namespace
