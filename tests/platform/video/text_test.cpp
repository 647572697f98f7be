// GDI-like drawing: text stays in its rectangle and the surface, centring, the colour mapping,
// rectangles with their black outline, lines without their end point.
#include <gtest/gtest.h>

#include "media/draw.h"
#include "platform/core/platform.h"

namespace {

struct Box {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1, count = 0;
};

Box InkBox(const Surface* s, uint8_t ink) {
    Box b;
    for (int y = 0; y < s->height; ++y) {
        for (int x = 0; x < s->width; ++x) {
            if (s->pixels[static_cast<size_t>(y) * s->pitch + x] != ink) continue;
            b.left = std::min(b.left, x);
            b.top = std::min(b.top, y);
            b.right = std::max(b.right, x + 1);
            b.bottom = std::max(b.bottom, y + 1);
            ++b.count;
        }
    }
    return b;
}

class Gdi : public ::testing::Test {
protected:
    void SetUp() override {
        PaletteEntry pal[256];
        for (int i = 0; i < 256; ++i)
            pal[i] = PaletteEntry{static_cast<uint8_t>(i), static_cast<uint8_t>(i),
                                  static_cast<uint8_t>(i), 0};
        pal[200] = PaletteEntry{255, 0, 0, 0};
        InstallPalette(pal, "test");
        surface_ = CreateSurface(320, 240);
    }
    void TearDown() override { ReleaseSurface(surface_); }
    Surface* surface_ = nullptr;
};

TEST_F(Gdi, TextStaysInsideItsRectangleInTheNearestColour) {
    DrawSurfaceText(surface_, "STAFFROAL", "", Rect{100, 200, 320, 216}, 16, 16, 255, 0, 0,
                    DT_LEFT);
    const Box b = InkBox(surface_, 200);
    ASSERT_GT(b.count, 40);
    EXPECT_GE(b.left, 100);
    EXPECT_GE(b.top, 200);
    EXPECT_LE(b.bottom, 216);
    EXPECT_LT(b.left, 110);  // left-aligned
}

TEST_F(Gdi, CentredLinesStackByCellHeight) {
    DrawSurfaceText(surface_, "一\n之\n方", "HG正楷書体-PRO", Rect{0, 0, 320, 240}, 0, 40, 255, 255,
                    255, DT_CENTER);
    const Box b = InkBox(surface_, 255);
    ASSERT_GT(b.count, 50);
    EXPECT_NEAR((b.left + b.right) / 2, 160, 12);
    EXPECT_GE(b.bottom, 85);  // three lines reach into the third cell
    EXPECT_LE(b.bottom, 120);
}

TEST_F(Gdi, TextBeyondTheSurfaceIsClipped) {
    DrawSurfaceText(surface_, "●●●●●●●●", "", Rect{300, 230, 900, 900}, 0, 30, 255, 255, 255,
                    DT_LEFT);
    DrawSurfaceText(surface_, "●", "", Rect{-50, -50, 10, 10}, 0, 30, 255, 255, 255, DT_LEFT);
    const Box b = InkBox(surface_, 255);
    EXPECT_GT(b.count, 0);
    EXPECT_LE(b.right, 320);
    EXPECT_LE(b.bottom, 240);
}

TEST_F(Gdi, RectangleHasABlackOutlineAndLinesLeaveOutTheEndPoint) {
    ColourFill(surface_, nullptr, 7);
    GdiRectangle(surface_, Rect{0, 120, 320, 200}, Rgb{253, 253, 253});
    EXPECT_EQ(surface_->pixels[120 * surface_->pitch + 5], 0);
    EXPECT_EQ(surface_->pixels[199 * surface_->pitch + 5], 0);
    EXPECT_EQ(surface_->pixels[150 * surface_->pitch + 0], 0);
    EXPECT_EQ(surface_->pixels[150 * surface_->pitch + 319], 0);
    EXPECT_EQ(surface_->pixels[150 * surface_->pitch + 5], 253);
    EXPECT_EQ(surface_->pixels[200 * surface_->pitch + 5], 7);
    GdiLine(surface_, 10, 10, 20, 10, Rgb{255, 0, 0});
    EXPECT_EQ(surface_->pixels[10 * surface_->pitch + 10], 200);
    EXPECT_EQ(surface_->pixels[10 * surface_->pitch + 19], 200);
    EXPECT_EQ(surface_->pixels[10 * surface_->pitch + 20], 7);
    GdiLine(surface_, -1000000, 5, 2000000, 5, Rgb{255, 0, 0});  // far outside: harmless
}

}  // namespace
