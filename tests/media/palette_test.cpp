// BMP reading (good and malformed files), the two loaders and the palette fade.
#include "media/palette.h"

#include <gtest/gtest.h>

#include "support/test_files.h"

namespace {

using testfiles::MakeBmp;

TEST(Bmp, BottomUpAndTopDownReadTheSamePicture) {
    for (bool topDown : {false, true}) {
        const auto bytes = MakeBmp(5, 3, topDown);
        BmpImage image;
        std::string error;
        ASSERT_TRUE(ParseBmp(bytes.data(), bytes.size(), &image, &error)) << error;
        EXPECT_EQ(image.width, 5);
        EXPECT_EQ(image.height, 3);
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 5; ++x) EXPECT_EQ(image.pixels[y * 5 + x], (x + y * 3) & 255);
        }
        EXPECT_EQ(image.colours[10].red, 10);
        EXPECT_EQ(image.colours[10].green, 245);
        EXPECT_EQ(image.colours[10].blue, 5);
    }
}

// Each case damages a valid 5x3 file; none may be accepted or read out of bounds.
struct Damage {
    const char* name;
    void (*apply)(std::vector<uint8_t>&);
};

void Set32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = (v >> (8 * i)) & 0xFF;
}

class BmpMalformed : public ::testing::TestWithParam<Damage> {};

TEST_P(BmpMalformed, IsRejectedWithAReason) {
    auto bytes = MakeBmp(5, 3);
    GetParam().apply(bytes);
    BmpImage image;
    std::string error;
    EXPECT_FALSE(ParseBmp(bytes.data(), bytes.size(), &image, &error));
    EXPECT_FALSE(error.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Bmp, BmpMalformed,
    ::testing::Values(Damage{"not_bm", [](auto& b) { b[0] = 'X'; }},
                      Damage{"truncated_header", [](auto& b) { b.resize(30); }},
                      Damage{"truncated_pixels", [](auto& b) { b.resize(b.size() - 3); }},
                      Damage{"truncated_colour_table", [](auto& b) { b.resize(300); }},
                      Damage{"pixel_offset_past_end", [](auto& b) { Set32(b, 10, 0xFFFFFFF0u); }},
                      Damage{"info_size_huge", [](auto& b) { Set32(b, 14, 0xFFFFFFFFu); }},
                      Damage{"width_zero", [](auto& b) { Set32(b, 18, 0); }},
                      Damage{"width_negative", [](auto& b) { Set32(b, 18, 0xFFFFFFFFu); }},
                      Damage{"height_min_int", [](auto& b) { Set32(b, 22, 0x80000000u); }},
                      Damage{"width_huge", [](auto& b) { Set32(b, 18, 0x7FFFFFFFu); }},
                      Damage{"four_bits", [](auto& b) { b[28] = 4; }},
                      Damage{"compressed", [](auto& b) { Set32(b, 30, 1); }},
                      Damage{"colours_over_256", [](auto& b) { Set32(b, 46, 257); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Bmp, LoadingAMissingOrBadFileChangesNothing) {
    auto dir = testfiles::FreshDir("bmp-load");
    auto bad = MakeBmp(4, 4);
    bad[28] = 24;
    testfiles::WriteFile(dir / "DATA/BMP/BAD.bmp", bad);
    testfiles::ScopedCwd cwd(dir);
    Surface* s = CreateSurface(8, 8);
    ColourFill(s, nullptr, 77);
    ScreenPalette[3] = PaletteEntry{1, 2, 3, 4};
    LoadBitmapToSurface(s, "DATA\\BMP\\MISSING.bmp");
    LoadBitmapToSurface(s, "DATA\\BMP\\BAD.bmp");
    EXPECT_EQ(s->pixels[0], 77);
    EXPECT_EQ(ScreenPalette[3].red, 1);
    EXPECT_EQ(ScreenPalette[3].flags, 4);
    ReleaseSurface(s);
}

TEST(Bmp, LoadingCopiesIndexesAndInstallsColoursWithFlags5) {
    auto dir = testfiles::FreshDir("bmp-good");
    testfiles::WriteFile(dir / "DATA/BMP/A.bmp", MakeBmp(10, 6));
    testfiles::ScopedCwd cwd(dir);
    Surface* s = CreateSurface(8, 8);  // smaller than the picture: the rest is cut off
    LoadBitmapToSurface(s, "DATA\\BMP\\A.bmp");
    EXPECT_EQ(s->pixels[1 * s->pitch + 2], 5);
    EXPECT_EQ(s->pixels[5 * s->pitch + 7], (7 + 15) & 255);
    EXPECT_EQ(s->pixels[7 * s->pitch + 0], 0);  // below the picture: untouched
    EXPECT_EQ(ScreenPalette[200].red, 200);
    EXPECT_EQ(ScreenPalette[200].flags, 5);
    EXPECT_EQ(InstalledPalette()[200].green, 55);
    ReleaseSurface(s);
}

class Fade : public ::testing::Test {
protected:
    void SetUp() override {
        FadeStep = 0;
        for (int i = 0; i < 256; ++i) ScreenPalette[i] = PaletteEntry{255, 120, 60, 5};
    }
};

TEST_F(Fade, FadeInTakesStepsPlusOneCallsAndEndsOnFullColours) {
    for (int call = 0; call < 60; ++call) {
        EXPECT_FALSE(FadePalette(60, true));
        EXPECT_EQ(InstalledPalette()[0].red, 255 * call / 60);
    }
    EXPECT_TRUE(FadePalette(60, true));
    EXPECT_EQ(InstalledPalette()[0].red, 255);
    EXPECT_EQ(FadeStep, 0);
}

TEST_F(Fade, ValuesTruncate) {
    FadeStep = 1;
    FadePalette(60, true);
    EXPECT_EQ(InstalledPalette()[7].red, 4);
    FadeStep = 59;
    FadePalette(60, true);
    EXPECT_EQ(InstalledPalette()[7].red, 250);
}

TEST_F(Fade, FadeOutEndsBlackAndScreenPaletteSurvives) {
    int calls = 0;
    while (!FadePalette(90, false)) ++calls;
    EXPECT_EQ(calls, 90);
    EXPECT_EQ(InstalledPalette()[9].red, 0);
    EXPECT_EQ(ScreenPalette[9].red, 255);
    while (!FadePalette(90, true)) {}
    EXPECT_EQ(InstalledPalette()[9].green, 120);
}

TEST_F(Fade, APartFadeLeftBeyondAShorterFadeNeverWrapsColours) {
    FadeStep = 80;  // left over from an abandoned 100-step fade
    EXPECT_TRUE(FadePalette(60, false));
    EXPECT_EQ(InstalledPalette()[0].red, 0);
    EXPECT_EQ(FadeStep, 0);
}

}  // namespace
