// Blits: the refusal rules that keep every pixel access inside its buffer, the colour key, and
// the screen clipping of BltClipped.
#include <gtest/gtest.h>

#include <memory>

#include "media/draw.h"
#include "platform/core/platform.h"

namespace {

struct SurfaceDeleter {
    void operator()(Surface* s) const { ReleaseSurface(s); }
};
using SurfacePtr = std::unique_ptr<Surface, SurfaceDeleter>;

SurfacePtr Make(int w, int h, uint8_t fill) {
    SurfacePtr s(CreateSurface(w, h));
    ColourFill(s.get(), nullptr, fill);
    return s;
}

uint8_t At(const Surface* s, int x, int y) {
    return s->pixels[static_cast<size_t>(y) * s->pitch + x];
}

int CountValue(const Surface* s, uint8_t v) {
    int n = 0;
    for (int y = 0; y < s->height; ++y) {
        for (int x = 0; x < s->width; ++x) n += At(s, x, y) == v;
    }
    return n;
}

// A 32x32 sprite sheet whose pixel (x, y) holds x, so the copied columns can be identified.
SurfacePtr ColumnSheet() {
    SurfacePtr s(CreateSurface(32, 32));
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x)
            s->pixels[static_cast<size_t>(y) * s->pitch + x] = static_cast<uint8_t>(x + 1);
    }
    return s;
}

struct RefusalCase {
    const char* name;
    Rect src;
    int x, y;
};

class BltFastRefusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(BltFastRefusal, DrawsNothingAndReportsFailure) {
    const RefusalCase& c = GetParam();
    SurfacePtr src = Make(16, 16, 7);
    SurfacePtr dst = Make(64, 48, 0);
    EXPECT_NE(BltFast(dst.get(), c.x, c.y, src.get(), &c.src, 0), DD_OK);
    EXPECT_EQ(CountValue(dst.get(), 0), 64 * 48);
}

INSTANTIATE_TEST_SUITE_P(
    Blits, BltFastRefusal,
    ::testing::Values(RefusalCase{"empty", {4, 4, 4, 8}, 0, 0},
                      RefusalCase{"inverted", {8, 4, 4, 8}, 0, 0},
                      RefusalCase{"source_left_outside", {-1, 0, 4, 4}, 0, 0},
                      RefusalCase{"source_right_outside", {10, 0, 17, 4}, 0, 0},
                      RefusalCase{"source_bottom_outside", {0, 10, 4, 17}, 0, 0},
                      RefusalCase{"dest_negative", {0, 0, 4, 4}, -1, 0},
                      RefusalCase{"dest_past_right", {0, 0, 4, 4}, 61, 0},
                      RefusalCase{"dest_past_bottom", {0, 0, 4, 4}, 0, 45},
                      RefusalCase{"dest_huge", {0, 0, 4, 4}, 2147483647, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Blits, ColourKeySkipsKeyedPixelsOnlyWhenAsked) {
    SurfacePtr src = Make(4, 1, 254);
    src->pixels[1] = 9;
    SetColourKey(src.get(), true, 254);
    SurfacePtr dst = Make(4, 1, 3);
    ASSERT_EQ(BltFast(dst.get(), 0, 0, src.get(), nullptr, BLTFAST_SRCCOLORKEY | BLTFAST_WAIT),
              DD_OK);
    EXPECT_EQ(At(dst.get(), 0, 0), 3);
    EXPECT_EQ(At(dst.get(), 1, 0), 9);
    ASSERT_EQ(BltFast(dst.get(), 0, 0, src.get(), nullptr, BLTFAST_WAIT), DD_OK);
    EXPECT_EQ(At(dst.get(), 0, 0), 254);
}

TEST(Blits, StretchDoublesAndRefusesOutside) {
    SurfacePtr src = ColumnSheet();
    SurfacePtr dst = Make(64, 64, 0);
    ASSERT_EQ(BltStretch(dst.get(), {0, 0, 64, 64}, src.get(), {0, 0, 32, 32}, false), DD_OK);
    EXPECT_EQ(At(dst.get(), 0, 0), 1);
    EXPECT_EQ(At(dst.get(), 1, 5), 1);
    EXPECT_EQ(At(dst.get(), 2, 5), 2);
    EXPECT_EQ(At(dst.get(), 63, 63), 32);
    EXPECT_NE(BltStretch(dst.get(), {-8, 0, 56, 64}, src.get(), {0, 0, 32, 32}, false), DD_OK);
}

TEST(Blits, FillScreenNeedsAFullScreenSurface) {
    SurfacePtr small = Make(320, 240, 5);
    EXPECT_NE(FillScreen(small.get(), 9), DD_OK);
    EXPECT_EQ(CountValue(small.get(), 5), 320 * 240);
    SurfacePtr full = Make(640, 480, 5);
    EXPECT_EQ(FillScreen(full.get(), 9), DD_OK);
    EXPECT_EQ(CountValue(full.get(), 9), 640 * 480);
}

struct ClipCase {
    const char* name;
    int x, y;
    int expectLeftColumn;  // first sheet column copied (1-based value), 0 = nothing drawn
    int expectWidth;
    int destX;
};

class BltClippedCase : public ::testing::TestWithParam<ClipCase> {};

TEST_P(BltClippedCase, TrimsTheSourceToTheScreen) {
    const ClipCase& c = GetParam();
    SurfacePtr sheet = ColumnSheet();
    SurfacePtr screen = Make(640, 480, 0);
    BltClipped(screen.get(), c.x, c.y, 32, 32, sheet.get(), Rect{0, 0, 32, 32}, 0);
    int drawn = 0;
    int firstValue = 0;
    int firstX = -1;
    const int row = c.y < 0 ? 0 : c.y;
    for (int x = 0; x < 640; ++x) {
        const uint8_t v = At(screen.get(), x, row);
        if (v != 0) {
            if (firstX < 0) {
                firstX = x;
                firstValue = v;
            }
            ++drawn;
        }
    }
    EXPECT_EQ(drawn, c.expectWidth);
    EXPECT_EQ(firstValue, c.expectLeftColumn);
    if (c.expectWidth > 0) {
        EXPECT_EQ(firstX, c.destX);
    }
}

INSTANTIATE_TEST_SUITE_P(Blits, BltClippedCase,
                         ::testing::Values(ClipCase{"left_edge_minus_10", -10, 100, 11, 22, 0},
                                           ClipCase{"right_edge_630", 630, 100, 1, 10, 630},
                                           ClipCase{"wholly_left", -32, 100, 0, 0, 0},
                                           ClipCase{"far_left", -100, 100, 0, 0, 0},
                                           ClipCase{"inside", 100, 100, 1, 32, 100},
                                           ClipCase{"bottom_edge", 100, 470, 1, 32, 100}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Blits, BltClippedBottomEdgeLosesRows) {
    SurfacePtr sheet = ColumnSheet();
    SurfacePtr screen = Make(640, 480, 0);
    BltClipped(screen.get(), 100, 470, 32, 32, sheet.get(), Rect{0, 0, 32, 32}, 0);
    EXPECT_EQ(At(screen.get(), 100, 479), 1);
    int rows = 0;
    for (int y = 0; y < 480; ++y) rows += At(screen.get(), 100, y) != 0;
    EXPECT_EQ(rows, 10);
}

}  // namespace
