// The blend table: nearest colours, the file's format, a malformed file, and the two pixel loops.
#include "media/blend.h"

#include <gtest/gtest.h>
#include <stdio.h>

#include <string>
#include <vector>

#include "media/palette.h"
#include "media/resources.h"
#include "support/test_files.h"

namespace {

class BlendPalette : public ::testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < 256; ++i)
            ScreenPalette[i] = PaletteEntry{static_cast<uint8_t>(i), 0, 0, 0};
    }
};

TEST_F(BlendPalette, MeanOfTwoGreysIsTheGreyBetween) {
    EXPECT_EQ(NearestBlendIndex(10, 20), 15);
    EXPECT_EQ(NearestBlendIndex(10, 11), 10);  // 10.5 rounds down
    EXPECT_EQ(NearestBlendIndex(200, 200), 200);
}

TEST_F(BlendPalette, SelfBlendIsTheLowestEqualColourAndTiesGoLow) {
    ScreenPalette[40] = ScreenPalette[30];
    EXPECT_EQ(NearestBlendIndex(40, 40), 30);
    // Mean 50: entries 48 and 52 made equally far, 50 removed: the lower wins.
    ScreenPalette[50] = PaletteEntry{0, 255, 255, 0};
    ScreenPalette[49] = PaletteEntry{0, 255, 255, 0};
    ScreenPalette[51] = PaletteEntry{0, 255, 255, 0};
    EXPECT_EQ(NearestBlendIndex(42, 58), 48);
}

TEST_F(BlendPalette, FileIsWrittenOnceInItsFormatAndReadBack) {
    auto dir = testfiles::FreshDir("blend-file");
    std::filesystem::create_directories(dir / "DATA/TXT");
    testfiles::ScopedCwd cwd(dir);
    BuildBlendFile("DATA\\TXT\\palet.dat");
    const std::string text = testfiles::ReadText(dir / "DATA/TXT/palet.dat");
    ASSERT_EQ(text.size(), 262144u);
    EXPECT_EQ(text.substr(0, 8), "000,000,");
    EXPECT_EQ(text.substr((10 * 256 + 20) * 4, 4), "015,");
    // An existing file is never rewritten, whatever palette is installed now.
    ScreenPalette[15] = PaletteEntry{0, 0, 255, 0};
    BuildBlendFile("DATA\\TXT\\palet.dat");
    EXPECT_EQ(testfiles::ReadText(dir / "DATA/TXT/palet.dat"), text);
    LoadBlendTable("DATA\\TXT\\palet.dat");
    EXPECT_EQ(BlendTable[10 * 256 + 20], 15);
    EXPECT_EQ(BlendTable[255 * 256 + 255], 255);
}

// Numbers outside 0..255 load as their low eight bits and are said in the file's one line,
// beside a malformed stretch when there is one too.
TEST(BlendFile, NumbersOutOfRangeAreSaidInTheFilesOneLine) {
    struct Case {
        const char* name;
        int badField;  // -1: every field well formed
        const char* line;
    } cases[] = {
        {"OutOfRangeOnly", -1,
         "kelmorav: DATA/TXT/palet.dat has 2 numbers outside 0..255 (the first in field 3), each "
         "kept as its low eight bits\n"},
        {"OutOfRangeAndMalformed", 1000,
         "kelmorav: DATA/TXT/palet.dat is malformed from field 1001 on; unread blend entries stay "
         "as they were; it also has 2 numbers outside 0..255 (the first in field 3), each kept "
         "as its low eight bits\n"},
    };
    for (const Case& c : cases) {
        auto dir = testfiles::FreshDir("blend-range");
        std::string text;
        for (int i = 0; i < BLEND_ENTRY_COUNT; ++i) {
            text += i == 2 ? "300," : i == 7 ? "-01," : i == c.badField ? "0x1;" : "009,";
        }
        testfiles::WriteText(dir / "DATA/TXT/palet.dat", text);
        testfiles::ScopedCwd cwd(dir);
        ::testing::internal::CaptureStderr();
        LoadBlendTable("DATA\\TXT\\palet.dat");
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), c.line) << c.name;
        EXPECT_EQ(BlendTable[2], 300 & 0xFF) << c.name;
        EXPECT_EQ(BlendTable[7], 0xFF) << c.name;
        EXPECT_EQ(BlendTable[8], 9) << c.name;
    }
}

TEST(BlendFile, MalformedFieldStopsTheReadAndKeepsLaterEntries) {
    auto dir = testfiles::FreshDir("blend-bad");
    std::string text;
    for (int i = 0; i < 10; ++i) text += "007,";
    text += "0x8;";  // letters and a wrong separator
    for (int i = 0; i < 100; ++i) text += "009,";
    testfiles::WriteText(dir / "DATA/TXT/palet.dat", text);
    testfiles::ScopedCwd cwd(dir);
    for (auto& v : BlendTable) v = 123;
    LoadBlendTable("DATA\\TXT\\palet.dat");
    EXPECT_EQ(BlendTable[0], 7);
    EXPECT_EQ(BlendTable[9], 7);
    EXPECT_EQ(BlendTable[10], 0);    // "0" converts, then 'x' is no comma
    EXPECT_EQ(BlendTable[11], 123);  // the reader is stuck: the rest is as it was
    EXPECT_EQ(BlendTable[65535], 123);
}

// Four fields read from a short file: the entries that land (-1: kept as it was) and how many
// fields from the start count as well formed.
struct BlendFieldsCase {
    const char* name;
    std::string text;
    std::vector<int> entries;
    int wellFormed;
};

class BlendFields : public ::testing::TestWithParam<BlendFieldsCase> {};

TEST_P(BlendFields, LandAndAreCounted) {
    const BlendFieldsCase& c = GetParam();
    std::string text = c.text;
    FILE* file = fmemopen(text.data(), text.size(), "r");
    ASSERT_NE(file, nullptr);
    uint8_t table[4] = {200, 200, 200, 200};
    EXPECT_EQ(ReadBlendFields(file, table, 4), c.wellFormed);
    fclose(file);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(table[i], c.entries[i] < 0 ? 200 : c.entries[i]) << i;
}

INSTANTIATE_TEST_SUITE_P(
    BlendFile, BlendFields,
    ::testing::Values(BlendFieldsCase{"WellFormed", "001,002, 03,+4,", {1, 2, 3, 4}, 4},
                      BlendFieldsCase{"ShortFile", "001,", {1, -1, -1, -1}, 1},
                      // Read on as numbers, so the table is as before, but said.
                      BlendFieldsCase{"FourDigitNumber", "001,2370,003,", {1, 237, 0, 3}, 1},
                      BlendFieldsCase{"NoCommas", "001 002 003 004", {1, 2, 3, 4}, 0},
                      // The read stops at the first field without a number, even when a
                      // number follows straight after.
                      BlendFieldsCase{"SignWithoutNumber", "001,+-5,006,", {1, -1, -1, -1}, 1}),
    [](const auto& info) { return std::string(info.param.name); });

class BlendLoops : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = BackBuffer;
        BackBuffer = CreateSurface(640, 480);
        ColourFill(BackBuffer, nullptr, 2);
        for (int a = 0; a < 256; ++a) {
            for (int b = 0; b < 256; ++b)
                BlendTable[a * 256 + b] = static_cast<uint8_t>(a == 254 ? 99 : b + 1);
        }
    }
    void TearDown() override {
        ReleaseSurface(BackBuffer);
        BackBuffer = saved_;
    }
    uint8_t Px(int x, int y) const {
        return BackBuffer->pixels[static_cast<size_t>(y) * BackBuffer->pitch + x];
    }
    Surface* saved_ = nullptr;
};

TEST_F(BlendLoops, BlendBlitSkipsKeyedSourceAndScreenEdges) {
    Surface* src = CreateSurface(4, 4);
    ColourFill(src, nullptr, 10);
    src->pixels[1] = 254;
    BlendBlit(0, 0, 0, 0, 4, 4, src);
    EXPECT_EQ(Px(0, 0), 2);  // column 0 and row 0 are never written
    EXPECT_EQ(Px(1, 1), 11);
    EXPECT_EQ(Px(3, 3), 11);
    BlendBlit(638, 478, 0, 0, 4, 4, src);  // only (639, 479) lies inside
    EXPECT_EQ(Px(639, 479), 11);
    BlendBlit(100, 100, 0, 0, 0, 4, src);  // width 0 draws nothing
    EXPECT_EQ(Px(100, 100), 2);
    // A source rectangle beyond the source never reads outside it.
    BlendBlit(200, 200, 2, 2, 50, 50, src);
    EXPECT_EQ(Px(201, 201), 11);
    EXPECT_EQ(Px(203, 203), 2);
    ReleaseSurface(src);
}

TEST_F(BlendLoops, Pixel254IsBlendedByBlendBlitButLeftByTintRect) {
    BackBuffer->pixels[static_cast<size_t>(10) * BackBuffer->pitch + 10] = 254;
    BackBuffer->pixels[static_cast<size_t>(20) * BackBuffer->pitch + 20] = 254;
    Surface* src = CreateSurface(1, 1);
    ColourFill(src, nullptr, 10);
    BlendBlit(10, 10, 0, 0, 1, 1, src);
    EXPECT_EQ(Px(10, 10), 99);
    TintRect(0, 0, 640, 480, 40);
    EXPECT_EQ(Px(20, 20), 254);
    EXPECT_EQ(Px(5, 5), 41);
    EXPECT_EQ(Px(0, 5), 2);
    ReleaseSurface(src);
}

}  // namespace
