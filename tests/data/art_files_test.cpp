// The pictures and text files the data generator writes into the build's DATA directory: their
// format, their palettes, that every cell the game draws from is painted (on the English sheets
// of DATA/BMP/EN too, which differ from the Japanese ones only where words are), and that the
// match reads the layout file back as the standard opening.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "art/sheet_words.h"
#include "media/blend.h"
#include "media/palette.h"
#include "media/sheet_cells.h"
#include "rules/board.h"
#include "rules/setup.h"
#include "support/test_files.h"

namespace {

namespace fs = std::filesystem;

const std::string DATA_DIR = std::string(KELMORAV_BUILD_DIR) + "/DATA";

std::vector<uint8_t> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

uint32_t Le32(const std::vector<uint8_t>& d, size_t at) {
    return d[at] | (d[at + 1] << 8) | (d[at + 2] << 16) | (static_cast<uint32_t>(d[at + 3]) << 24);
}

BmpImage LoadBmp(const std::string& name) {
    std::vector<uint8_t> bytes = ReadAll(DATA_DIR + "/BMP/" + name);
    BmpImage img;
    std::string error;
    EXPECT_TRUE(ParseBmp(bytes.data(), bytes.size(), &img, &error)) << name << ": " << error;
    return img;
}

int Luma(const PaletteEntry& c) { return 299 * c.red + 587 * c.green + 114 * c.blue; }

int Spread(const PaletteEntry& c) {
    return std::max({c.red, c.green, c.blue}) - std::min({c.red, c.green, c.blue});
}

bool Same(const PaletteEntry& a, const PaletteEntry& b) {
    return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

// The folders of the two sets of sheets under DATA/BMP: the Japanese and the English ones.
const char* const SHEET_FOLDERS[] = {"", "EN/"};

std::vector<std::string> AllBmpNames() {
    std::vector<std::string> names;
    for (const char* folder : SHEET_FOLDERS)
        for (const ArtSheetInfo& s : ART_SHEETS) names.push_back(std::string(folder) + s.file);
    for (int n = 1; n <= 16; ++n) names.push_back("FIRE" + std::to_string(n) + ".bmp");
    return names;
}

// ---- file format ------------------------------------------------------------------------------

class BmpFormat : public ::testing::TestWithParam<std::string> {};

TEST_P(BmpFormat, HeadersColourTableAndBottomUpRowsAsTheLoaderExpects) {
    std::vector<uint8_t> d = ReadAll(DATA_DIR + "/BMP/" + GetParam());
    ASSERT_GE(d.size(), 1078u) << GetParam() << " missing or truncated";
    EXPECT_EQ(d[0], 'B');
    EXPECT_EQ(d[1], 'M');
    const uint32_t width = Le32(d, 18), height = Le32(d, 22);
    const uint32_t stride = (width + 3) & ~3u;
    EXPECT_EQ(Le32(d, 2), d.size());
    EXPECT_EQ(Le32(d, 10), 1078u);  // pixels right after the 256-entry table at offset 54
    EXPECT_EQ(Le32(d, 14), 40u);
    EXPECT_EQ(d[28], 8);         // bits per pixel
    EXPECT_EQ(Le32(d, 30), 0u);  // uncompressed
    EXPECT_EQ(d.size(), 1078u + stride * height);
    for (const ArtSheetInfo& s : ART_SHEETS)
        if (GetParam() == s.file || GetParam() == std::string("EN/") + s.file) {
            EXPECT_EQ(width, static_cast<uint32_t>(s.width));
            EXPECT_EQ(height, static_cast<uint32_t>(s.height));
        }
    BmpImage img = LoadBmp(GetParam());
    EXPECT_EQ(img.width, static_cast<int>(width));
}

INSTANTIATE_TEST_SUITE_P(AllPictures, BmpFormat, ::testing::ValuesIn(AllBmpNames()),
                         [](const auto& info) {
                             std::string n = info.param;
                             n = n.substr(0, n.find('.'));
                             if (n.find('/') != std::string::npos) n[n.find('/')] = '_';
                             return n;
                         });

// ---- palettes ---------------------------------------------------------------------------------

TEST(ArtPalettes, MatchSheetsShareOnePalette) {
    BmpImage etc = LoadBmp("ETC.bmp"), color = LoadBmp("COLOR.bmp"), rank = LoadBmp("RANK.bmp");
    for (int i = 0; i < 256; ++i) {
        EXPECT_TRUE(Same(etc.colours[i], color.colours[i])) << "COLOR differs at " << i;
        EXPECT_TRUE(Same(etc.colours[i], rank.colours[i])) << "RANK differs at " << i;
    }
}

TEST(ArtPalettes, SideBanksAreSmoothRampsFromDarkToBright) {
    BmpImage etc = LoadBmp("ETC.bmp");
    for (int bank : {1, 2, 3, 4, 5, 6, 7, 13, 14}) {
        for (int s = 1; s < 16; ++s) {
            const PaletteEntry& lo = etc.colours[bank * 16 + s - 1];
            const PaletteEntry& hi = etc.colours[bank * 16 + s];
            EXPECT_GT(Luma(hi), Luma(lo)) << "bank " << bank << " shade " << s;
            EXPECT_LE(std::abs(hi.red - lo.red) + std::abs(hi.green - lo.green) +
                          std::abs(hi.blue - lo.blue),
                      110)
                << "bank " << bank << " jumps at shade " << s;
        }
    }
}

TEST(ArtPalettes, SpecialIndexesOfTheMatchPalette) {
    BmpImage etc = LoadBmp("ETC.bmp");
    const PaletteEntry* p = etc.colours;
    EXPECT_TRUE(Same(p[0], PaletteEntry{0, 0, 0, 0}));
    EXPECT_TRUE(Same(p[255], PaletteEntry{255, 255, 255, 0}));
    EXPECT_GE(Spread(p[254]), 200) << "the key colour should be loud";
    for (int i = 0; i < 254; ++i) EXPECT_FALSE(Same(p[i], p[254])) << "index " << i << " = key";
    EXPECT_LT(Luma(p[120]) / 1000, 50) << "dimming colour must be deep and dark";
    EXPECT_GT(Luma(p[239]) / 1000, 150) << "match background must be light and calm";
    EXPECT_LT(Spread(p[239]), 60);
}

TEST(ArtPalettes, FirePalettesRunFromBlackToWhiteAndDiffer) {
    std::set<std::array<uint8_t, 3>> middles;
    for (int n = 1; n <= 16; ++n) {
        BmpImage f = LoadBmp("FIRE" + std::to_string(n) + ".bmp");
        EXPECT_TRUE(Same(f.colours[0], PaletteEntry{0, 0, 0, 0})) << n;
        EXPECT_TRUE(Same(f.colours[255], PaletteEntry{255, 255, 255, 0})) << n;
        for (int i = 1; i < 256; ++i)
            EXPECT_GE(Luma(f.colours[i]), Luma(f.colours[i - 1])) << "FIRE" << n << " at " << i;
        middles.insert({f.colours[128].red, f.colours[128].green, f.colours[128].blue});
    }
    EXPECT_EQ(middles.size(), 16u) << "every fire palette should be a different fire";
}

// ---- cells ------------------------------------------------------------------------------------

TEST(ArtCells, EveryNamedCellIsPaintedAndEverythingElseIsTransparent) {
    for (const char* folder : SHEET_FOLDERS)
        for (int k = 0; k < ART_SHEET_COUNT; ++k) {
            SCOPED_TRACE(folder);
            BmpImage img = LoadBmp(std::string(folder) + ART_SHEETS[k].file);
            ASSERT_EQ(img.width, ART_SHEETS[k].width);
            std::vector<bool> named(img.pixels.size(), false);
            for (const ArtCell& c : ART_CELLS) {
                if (c.sheet != k) continue;
                int opaque = 0;
                for (int y = c.y; y < c.y + c.h; ++y)
                    for (int x = c.x; x < c.x + c.w; ++x) {
                        named[static_cast<size_t>(y) * img.width + x] = true;
                        if (img.pixels[static_cast<size_t>(y) * img.width + x] != 254) ++opaque;
                    }
                EXPECT_GE(opaque, c.w * c.h / 12)
                    << ART_SHEETS[k].file << " cell " << c.name << " is (nearly) empty";
            }
            int stray = 0;
            for (size_t i = 0; i < named.size(); ++i)
                if (!named[i] && img.pixels[i] != 254) ++stray;
            EXPECT_EQ(stray, 0) << ART_SHEETS[k].file << " paints outside its cells";
        }
}

TEST(ArtCells, ReachMarkerMaskAndItsFillRow) {
    BmpImage etc = LoadBmp("ETC.bmp");
    auto px = [&](int x, int y) { return etc.pixels[static_cast<size_t>(y) * etc.width + x]; };
    // Row 160 is copied into every unmasked marker pixel: it must stay transparent there.
    for (int x = 64; x < 128; ++x) EXPECT_EQ(px(x, 160), 254) << "x " << x;
    int glow = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x) {
            uint8_t v = px(64 + x, y);
            EXPECT_TRUE(v == 253 || v == 254) << "mask pixel " << x << "," << y << " = " << +v;
            if (v != 253) continue;
            ++glow;
            double d = std::abs(x + 0.5 - 32) / 32 + std::abs(y + 0.5 - 16) / 16;
            EXPECT_LE(d, 1.0) << "glow outside the tile's top face at " << x << "," << y;
        }
    EXPECT_GT(glow, 200);
    // Elsewhere in the match sheets 253 would show the mask colour itself.
    for (const char* name : {"ETC.bmp", "RANK.bmp"}) {
        BmpImage img = LoadBmp(name);
        for (int y = 0; y < img.height; ++y)
            for (int x = 0; x < img.width; ++x) {
                bool inMask = std::string(name) == "ETC.bmp" && x >= 64 && x < 128 && y < 32;
                if (!inMask) {
                    ASSERT_NE(img.pixels[static_cast<size_t>(y) * img.width + x], 253)
                        << name << " " << x << "," << y;
                }
            }
    }
}

TEST(ArtCells, SideSheetIsDrawnInOneSideBank) {
    BmpImage color = LoadBmp("COLOR.bmp");
    std::set<int> banks;
    for (uint8_t p : color.pixels)
        if (p != 254) banks.insert(p >> 4);
    ASSERT_EQ(banks.size(), 1u) << "COLOR.bmp mixes banks; recolouring keeps only the shade";
    int bank = *banks.begin();
    EXPECT_TRUE(bank == 1 || bank == 2 || bank == 3 || bank == 4 || bank == 5 || bank == 6 ||
                bank == 7 || bank == 13 || bank == 14);
}

TEST(ArtCells, TitlePicturesBurnFromHotStrokesAndFitTheirCells) {
    for (const char* folder : SHEET_FOLDERS) {
        SCOPED_TRACE(folder);
        BmpImage title = LoadBmp(std::string(folder) + "TITLE.bmp");
        auto px = [&](int x, int y) {
            return title.pixels[static_cast<size_t>(y) * title.width + x];
        };
        for (const char* name :
             {"picture 1", "picture 2", "picture 3", "start item", "quit item"}) {
            const ArtCell* c = FindArtCell(SHEET_TITLE, name);
            ASSERT_NE(c, nullptr);
            int hottest = 0;
            for (int y = c->y; y < c->y + c->h; ++y)
                for (int x = c->x; x < c->x + c->w; ++x)
                    if (px(x, y) != 254) hottest = std::max(hottest, +px(x, y));
            EXPECT_GE(hottest, 240) << name;
            // The glow must fade out inside the cell, not be cut by its edge.
            for (int x = c->x; x < c->x + c->w; ++x) {
                EXPECT_EQ(px(x, c->y), 254) << name;
                EXPECT_EQ(px(x, c->y + c->h - 1), 254) << name;
            }
        }
    }
}

// The English sheets are the Japanese ones with their words in English: the same size and
// palette, every cell that carries no word (and every picture kept as art) the same pixel for
// pixel, and every cell with a translated word changed, so that no Japanese word is left on an
// English sheet by a painter that forgot its language.
TEST(ArtCells, EnglishSheetsDifferFromTheJapaneseOnlyWhereTheirWordsAre) {
    for (int k = 0; k < ART_SHEET_COUNT; ++k) {
        SCOPED_TRACE(ART_SHEETS[k].file);
        const BmpImage ja = LoadBmp(ART_SHEETS[k].file);
        const BmpImage en = LoadBmp(std::string("EN/") + ART_SHEETS[k].file);
        ASSERT_EQ(en.width, ja.width);
        ASSERT_EQ(en.height, ja.height);
        for (int i = 0; i < 256; ++i)
            EXPECT_TRUE(Same(en.colours[i], ja.colours[i])) << "palette index " << i;
        std::vector<bool> inWordCell(ja.pixels.size(), false);
        for (const ArtCell& c : ART_CELLS) {
            if (c.sheet != k) continue;
            bool translated = false;
            for (const SheetWord& w : SHEET_WORDS)
                translated = translated || (w.cell == c.id && w.treatment != WORD_KEPT_AS_ART);
            int differing = 0;
            for (int y = c.y; y < c.y + c.h; ++y)
                for (int x = c.x; x < c.x + c.w; ++x) {
                    const size_t at = static_cast<size_t>(y) * ja.width + x;
                    if (ja.pixels[at] != en.pixels[at]) ++differing;
                    inWordCell[at] = inWordCell[at] || translated;
                }
            if (translated) {
                EXPECT_GT(differing, 0) << c.name << " is the same as on the Japanese sheet";
            }
        }
        int strayDifferences = 0;
        for (size_t at = 0; at < ja.pixels.size(); ++at)
            if (!inWordCell[at] && ja.pixels[at] != en.pixels[at]) ++strayDifferences;
        EXPECT_EQ(strayDifferences, 0) << "pixels differ outside the cells that carry words";
    }
}

// The game draws a pointer with its top-left corner at the mouse position, so the arrow's tip
// must be that pixel, in the match and on the title.
TEST(ArtCells, PointerTipsAreTheHotSpot) {
    struct Frame {
        ArtSheet sheet;
        const char* name;
    };
    const Frame frames[] = {{SHEET_COLOR, "cursor 0"},  {SHEET_COLOR, "cursor 1"},
                            {SHEET_COLOR, "cursor 2"},  {SHEET_COLOR, "cursor 3"},
                            {SHEET_TITLE, "pointer 0"}, {SHEET_TITLE, "pointer 1"},
                            {SHEET_TITLE, "pointer 2"}, {SHEET_TITLE, "pointer 3"}};
    for (const Frame& f : frames) {
        BmpImage img = LoadBmp(ART_SHEETS[f.sheet].file);
        const ArtCell* c = FindArtCell(f.sheet, f.name);
        ASSERT_NE(c, nullptr);
        auto px = [&](int x, int y) {
            return img.pixels[static_cast<size_t>(c->y + y) * img.width + c->x + x];
        };
        EXPECT_NE(px(0, 0), 254) << f.name << ": the tip is not at the hot spot";
        // The arrow runs down and to the right from the tip, never above or left of it.
        EXPECT_NE(px(0, 8), 254) << f.name;
        EXPECT_NE(px(4, 4), 254) << f.name;
    }
}

// A lifted piece shows rows 32..47 of its tall cell under it: they must hold something.
TEST(ArtCells, TallCellsShowWhatIsUnderALiftedPiece) {
    BmpImage color = LoadBmp("COLOR.bmp");
    for (const char* name : {"tall 0", "tall 1"}) {
        const ArtCell* c = FindArtCell(SHEET_COLOR, name);
        int opaque = 0;
        for (int y = 32; y < 48; ++y)
            for (int x = 0; x < 64; ++x)
                if (color.pixels[static_cast<size_t>(c->y + y) * color.width + c->x + x] != 254)
                    ++opaque;
        EXPECT_GE(opaque, 60) << name;
    }
}

// ---- the sheets in play ------------------------------------------------------------------------

// Pixel of a parsed sheet, 254 outside it.
uint8_t At(const BmpImage& img, int x, int y) {
    if (x < 0 || y < 0 || x >= img.width || y >= img.height) return 254;
    return img.pixels[static_cast<size_t>(y) * img.width + x];
}

TEST(ArtInPlay, BoardTilesCoverTheDiamondWithoutGaps) {
    BmpImage etc = LoadBmp("ETC.bmp");
    for (int style = 0; style < 10; ++style) {
        SCOPED_TRACE("tile style " + std::to_string(style));
        const int tx = style < 5 ? 64 * style : 64 * (style - 5), ty = style < 5 ? 160 : 208;
        std::vector<uint8_t> screen(size_t{640} * 480, 254);
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 9; ++x)
                for (int j = 0; j < 48; ++j)
                    for (int i = 0; i < 64; ++i) {
                        uint8_t v = At(etc, tx + i, ty + j);
                        if (v != 254)
                            screen[(128 + 16 * (x + y) + j) * 640 + 288 + 32 * (x - y) + i] = v;
                    }
        // Every point of the board's top diamond, short of its outer rim, is covered.
        int holes = 0;
        for (int sy = 129; sy < 128 + 16 * 18; ++sy)
            for (int sx = 288; sx < 288 + 9 * 64; ++sx) {
                double d = std::abs(sx + 0.5 - 320.0) / 288.0 + std::abs(sy + 0.5 - 272.0) / 144.0;
                if (d < 0.985 && screen[sy * 640 + sx] == 254) ++holes;
            }
        EXPECT_EQ(holes, 0);
    }
}

// A piece must stand out on every board material in every side colour: either its top face or
// its outline differs clearly in brightness from the tile under it.
TEST(ArtInPlay, PiecesStayReadableOnEveryTileInEveryBank) {
    BmpImage etc = LoadBmp("ETC.bmp"), color = LoadBmp("COLOR.bmp");
    for (int style = 0; style < 10; ++style) {
        const int tx = style < 5 ? 64 * style : 64 * (style - 5), ty = style < 5 ? 160 : 208;
        double tile = 0;
        int n = 0;
        for (int j = 4; j < 28; ++j)
            for (int i = 16; i < 48; ++i)
                if (At(etc, tx + i, ty + j) != 254) {
                    tile += Luma(etc.colours[At(etc, tx + i, ty + j)]) / 1000.0;
                    ++n;
                }
        tile /= n;
        for (int bank : {1, 2, 3, 4, 5, 6, 7, 13, 14}) {
            double body = 0, outline = 0;
            int nb = 0, no = 0;
            for (int j = 0; j < 32; ++j)
                for (int i = 0; i < 32; ++i) {
                    uint8_t v = At(color, 32 + i, 32 + j);
                    if (v == 254) continue;
                    double l = Luma(etc.colours[bank * 16 + (v & 15)]) / 1000.0;
                    if ((v & 15) <= 1) {
                        outline += l;
                        ++no;
                    } else if ((v & 15) >= 8) {
                        body += l;
                        ++nb;
                    }
                }
            body /= nb;
            outline /= no;
            EXPECT_GE(std::max(std::abs(body - tile), std::abs(outline - tile)), 60.0)
                << "bank " << bank << " on tile style " << style;
        }
    }
}

// Picking a piece up swaps its board sprite for the tall one: at rest the two must coincide.
TEST(ArtInPlay, TallSpriteAtRestMatchesTheBoardSprite) {
    BmpImage color = LoadBmp("COLOR.bmp");
    struct Pair {
        int smallX, tallX;
    };
    for (Pair p : {Pair{32, 288}, Pair{64, 160}}) {
        int checked = 0;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 32; ++x) {
                uint8_t small = At(color, p.smallX + x, 32 + y);
                if (small == 254) continue;
                // Board sprite at tile + (16, -8); tall sprite at tile + (0, 22 - 32).
                EXPECT_EQ(At(color, p.tallX + x + 16, y + 2), small) << x << "," << y;
                ++checked;
            }
        EXPECT_GT(checked, 200);
    }
}

// The blend table takes the nearest colour to a mean; with a well-spread palette that colour is
// close, so trails, afterimages, the panel tint and the dimming look smooth.
TEST(ArtInPlay, BlendsLandNearTheTrueMean) {
    BmpImage etc = LoadBmp("ETC.bmp");
    auto error = [&](int a, int b) {
        const PaletteEntry &ca = etc.colours[a], &cb = etc.colours[b];
        const PaletteEntry& r = etc.colours[NearestBlendIndex(etc.colours, a, b)];
        return std::abs(r.red - (ca.red + cb.red) / 2) +
               std::abs(r.green - (ca.green + cb.green) / 2) +
               std::abs(r.blue - (ca.blue + cb.blue) / 2);
    };
    double total = 0;
    int pairs = 0, worstDim = 0;
    for (int a = 0; a < 253; ++a) {
        for (int b = a; b < 253; b += 3) {
            total += error(a, b);
            ++pairs;
        }
        worstDim = std::max(worstDim, error(a, 120));
    }
    EXPECT_LT(total / pairs, 36.0) << "the palette leaves too few intermediate colours";
    EXPECT_LT(worstDim, 70) << "the dimmed frame would band badly";
    for (int bank : {1, 2, 3, 4, 5, 6, 7, 13, 14}) {
        // The panel tint (shade 13 of the side bank) over the washi background.
        EXPECT_LT(error(239, bank * 16 + 13), 40) << "bank " << bank;
    }
}

// ---- text files -------------------------------------------------------------------------------

TEST(ArtBlendFile, IsTheProgramsTableOfTheMatchPalette) {
    std::vector<uint8_t> d = ReadAll(DATA_DIR + "/TXT/palet.dat");
    ASSERT_EQ(d.size(), 262144u);
    BmpImage etc = LoadBmp("ETC.bmp");
    for (int a = 0; a < 256; ++a)
        for (int b = 0; b < 256; ++b) {
            size_t at = (static_cast<size_t>(a) * 256 + b) * 4;
            int v = (d[at] - '0') * 100 + (d[at + 1] - '0') * 10 + (d[at + 2] - '0');
            ASSERT_EQ(d[at + 3], ',');
            ASSERT_EQ(
                v, NearestBlendIndex(etc.colours, static_cast<uint8_t>(a), static_cast<uint8_t>(b)))
                << a << "," << b;
            // A blend of two drawn colours never lands on the key or the mask glow.
            if (a < 253 && b < 253) {
                ASSERT_LT(v, 253) << a << "," << b;
            }
        }
}

// The layout as the match reads it: MatchSetup run in the build directory, with the game's own
// reader, must report nothing and leave the standard opening in the piece table.
TEST(ArtLayout, MatchSetupReadsTheStandardOpening) {
    testfiles::ScopedCwd inBuild(KELMORAV_BUILD_DIR);
    ResetMatchRules();
    ::testing::internal::CaptureStderr();
    MatchSetup();
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "") << "the reader found fault with it";
    const int PIECE_VALUES[9] = {0, 1, 2, 3, 4, 5, 6, 6, 10};
    const int EXPECTED_COUNTS[9] = {0, 9, 2, 2, 2, 2, 1, 1, 1};
    std::set<std::pair<int, int>> squares;
    for (int side = 0; side < 2; ++side) {
        const PieceRecord& king = PieceTable[static_cast<size_t>(side) * 32];
        EXPECT_EQ(king.kind, 8) << "side " << side << "'s first slot must hold its king";
        EXPECT_EQ(king.x, 4);
        EXPECT_EQ(king.y, side == 0 ? 0 : 8);
        int counts[9] = {};
        for (int i = side * 32; i < side * 32 + 32; ++i) {
            const PieceRecord& p = PieceTable[i];
            if (i >= side * 32 + 20) {
                EXPECT_EQ(p.kind, 0) << "slot " << i << " should stay free for placed pieces";
                continue;
            }
            ASSERT_GE(p.kind, 1) << "slot " << i;
            ASSERT_LE(p.kind, 8) << "slot " << i;
            ++counts[p.kind];
            EXPECT_EQ(p.value, PIECE_VALUES[p.kind]) << "slot " << i;
            int homeRow = side == 0 ? p.y : 8 - p.y;
            EXPECT_EQ(homeRow, p.kind == 1                    ? 2
                               : (p.kind == 6 || p.kind == 7) ? 1
                                                              : 0)
                << "slot " << i;
            EXPECT_TRUE(squares.insert({p.x, p.y}).second) << "two pieces on " << p.x << "," << p.y;
        }
        for (int k = 1; k <= 8; ++k) EXPECT_EQ(counts[k], EXPECTED_COUNTS[k]) << "kind " << k;
    }
    // The two camps are a half turn of each other.
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(PieceTable[i].kind, PieceTable[i + 32].kind);
        EXPECT_EQ(PieceTable[i].x, 8 - PieceTable[i + 32].x);
        EXPECT_EQ(PieceTable[i].y, 8 - PieceTable[i + 32].y);
    }
    ResetMatchRules();
}

// ---- determinism ------------------------------------------------------------------------------

TEST(ArtDeterminism, ASecondRunWritesTheSameBytes) {
    fs::path again = fs::path(KELMORAV_BUILD_DIR) / "datagen_again";
    fs::remove_all(again);
    std::string cmd = std::string("\"") + KELMORAV_BUILD_DIR + "/kelmorav_datagen\" --out \"" +
                      again.string() + "\" > /dev/null 2>&1";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    std::vector<std::string> files = {"TXT/SYOGI.dat", "TXT/palet.dat"};
    for (const std::string& n : AllBmpNames()) files.push_back("BMP/" + n);
    for (const std::string& f : files)
        EXPECT_TRUE(ReadAll((fs::path(DATA_DIR) / f).string()) ==
                    ReadAll((again / "DATA" / f).string()))
            << f;
    fs::remove_all(again);
}

}  // namespace
