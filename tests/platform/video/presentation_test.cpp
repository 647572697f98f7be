// The window's presentation rules: which way to present from what the renderer reports, the
// 4:3 box, the framebuffer scaler against a per-pixel reference for odd window sizes, partial
// redraws, and the pointer mapping that must land on the pixel shown under it.
#include "platform/video/presentation.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// --- the choice of way --------------------------------------------------------------------------

struct PathCase {
    const char* name;
    RendererRequest request;
    RendererReport report;
    PresentPath expected;
};

RendererReport Gl(const char* name, const char* glRenderer) {
    return RendererReport{true, name, false, glRenderer};
}

class PathChoice : public ::testing::TestWithParam<PathCase> {};

TEST_P(PathChoice, FromTheRendererReport) {
    EXPECT_EQ(ChoosePresentPath(GetParam().request, GetParam().report), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Presentation, PathChoice,
    ::testing::Values(
        PathCase{"llvmpipe", RendererRequest::AUTO,
                 Gl("opengl", "llvmpipe (LLVM 15.0.6, 256 bits)"), PresentPath::SOFTWARE},
        PathCase{"gles_on_llvmpipe", RendererRequest::AUTO,
                 Gl("opengles2", "llvmpipe (LLVM 11.0.1, 128 bits)"), PresentPath::SOFTWARE},
        PathCase{"softpipe", RendererRequest::AUTO, Gl("opengl", "softpipe"),
                 PresentPath::SOFTWARE},
        PathCase{"classic_swrast", RendererRequest::AUTO,
                 Gl("opengl", "Mesa X11 Software Rasterizer"), PresentPath::SOFTWARE},
        PathCase{"windows_basic_render", RendererRequest::AUTO,
                 Gl("opengl", "D3D12 (Microsoft Basic Render Driver)"), PresentPath::SOFTWARE},
        PathCase{"software_flag", RendererRequest::AUTO, RendererReport{true, "opengl", true, ""},
                 PresentPath::SOFTWARE},
        PathCase{"software_renderer", RendererRequest::AUTO, Gl("software", ""),
                 PresentPath::SOFTWARE},
        PathCase{"no_renderer", RendererRequest::AUTO, RendererReport{}, PresentPath::SOFTWARE},
        PathCase{"intel", RendererRequest::AUTO,
                 Gl("opengl", "Mesa Intel(R) UHD Graphics 620 (KBL GT2)"), PresentPath::GPU},
        PathCase{"radeon", RendererRequest::AUTO,
                 Gl("opengl", "AMD Radeon RX 6600 (navi23, LLVM 15.0.7, DRM 3.49)"),
                 PresentPath::GPU},
        // VMware's host-accelerated adapter mentions LLVM too, and is no software GL.
        PathCase{"vmware_svga", RendererRequest::AUTO,
                 Gl("opengl", "SVGA3D; build: RELEASE;  LLVM;"), PresentPath::GPU},
        PathCase{"virgl", RendererRequest::AUTO, Gl("opengl", "virgl (Mesa Intel(R) Xe Graphics)"),
                 PresentPath::GPU},
        PathCase{"forced_gpu_on_llvmpipe", RendererRequest::GPU, Gl("opengl", "llvmpipe"),
                 PresentPath::GPU},
        PathCase{"forced_software_on_gpu", RendererRequest::SOFTWARE,
                 Gl("opengl", "NVIDIA GeForce RTX 3060/PCIe/SSE2"), PresentPath::SOFTWARE}),
    [](const auto& info) { return std::string(info.param.name); });

// --- the box and the scaler ------------------------------------------------------------------

// What a pixel of the window must show: black outside the box, else the picture pixel under
// the centre of the window pixel (nearest neighbour, as a GPU samples it).
uint32_t Expected(const std::vector<uint8_t>& picture, int pw, int ph, int ww, int wh, int x, int y,
                  const uint32_t lookup[256], Scaling scaling) {
    const PictureBox box = PlacePicture(ww, wh, pw, ph, scaling);
    if (x < box.x || x >= box.x + box.width || y < box.y || y >= box.y + box.height) return 0;
    const double u = (x - box.x + 0.5) * pw / box.width;
    const double v = (y - box.y + 0.5) * ph / box.height;
    return lookup[picture[static_cast<size_t>(v) * pw + static_cast<size_t>(u)]];
}

struct ScaleCase {
    const char* name;
    int pictureWidth, pictureHeight, windowWidth, windowHeight;
    Scaling scaling = Scaling::FIT;
    PictureBox Box() const {
        return PlacePicture(windowWidth, windowHeight, pictureWidth, pictureHeight, scaling);
    }
};

class Scaler : public ::testing::TestWithParam<ScaleCase> {
protected:
    void SetUp() override {
        const ScaleCase& c = GetParam();
        picture.resize(static_cast<size_t>(c.pictureWidth) * c.pictureHeight);
        for (size_t i = 0; i < picture.size(); ++i)
            picture[i] = static_cast<uint8_t>(i * 7 + i / 13);
        for (int i = 0; i < 256; ++i)
            lookup[i] = 0xFF000000u | (static_cast<uint32_t>(i) << 8) | 1u;
        window.assign(static_cast<size_t>(c.windowWidth) * c.windowHeight, 0xDEADBEEFu);
    }
    IndexedPicture Picture() const {
        const ScaleCase& c = GetParam();
        return IndexedPicture{picture.data(), c.pictureWidth, c.pictureWidth, c.pictureHeight};
    }
    PixelTarget Target() {
        const ScaleCase& c = GetParam();
        return PixelTarget{window.data(), c.windowWidth, c.windowWidth, c.windowHeight};
    }
    void CheckAgainstReference() {
        const ScaleCase& c = GetParam();
        for (int y = 0; y < c.windowHeight; ++y) {
            for (int x = 0; x < c.windowWidth; ++x) {
                ASSERT_EQ(window[static_cast<size_t>(y) * c.windowWidth + x],
                          Expected(picture, c.pictureWidth, c.pictureHeight, c.windowWidth,
                                   c.windowHeight, x, y, lookup, c.scaling))
                    << "window pixel " << x << "," << y;
            }
        }
    }

    std::vector<uint8_t> picture;
    uint32_t lookup[256];
    std::vector<uint32_t> window;
    PictureScaler scaler{GetParam().scaling};
};

TEST_P(Scaler, WholePictureAndBarsMatchTheReference) {
    const ScaleCase& c = GetParam();
    PictureScaler::FillBars(Target(), c.Box(), 0);
    const Rect drawn =
        scaler.Draw(Picture(), lookup, Target(), Rect{0, 0, c.pictureWidth, c.pictureHeight});
    const PictureBox box = c.Box();
    EXPECT_EQ(drawn.left, box.x);
    EXPECT_EQ(drawn.top, box.y);
    EXPECT_EQ(drawn.right, box.x + box.width);
    EXPECT_EQ(drawn.bottom, box.y + box.height);
    CheckAgainstReference();
}

TEST_P(Scaler, APartialRedrawTouchesOnlyWhatShowsTheChangedPixels) {
    const ScaleCase& c = GetParam();
    const PictureBox box = c.Box();
    PictureScaler::FillBars(Target(), box, 0);
    scaler.Draw(Picture(), lookup, Target(), Rect{0, 0, c.pictureWidth, c.pictureHeight});
    // Change a block of the picture, redraw only it, and compare the whole window again.
    const Rect changed{c.pictureWidth / 3, c.pictureHeight / 4, c.pictureWidth / 3 + 5,
                       c.pictureHeight / 4 + 3};
    for (int y = changed.top; y < changed.bottom; ++y) {
        for (int x = changed.left; x < changed.right; ++x) {
            picture[static_cast<size_t>(y) * c.pictureWidth + x] ^= 0x55;
        }
    }
    const std::vector<uint32_t> before = window;
    const Rect drawn = scaler.Draw(Picture(), lookup, Target(), changed);
    CheckAgainstReference();
    // Nothing outside the returned rectangle was written.
    for (int y = 0; y < c.windowHeight; ++y) {
        for (int x = 0; x < c.windowWidth; ++x) {
            if (x >= drawn.left && x < drawn.right && y >= drawn.top && y < drawn.bottom) continue;
            const size_t i = static_cast<size_t>(y) * c.windowWidth + x;
            ASSERT_EQ(window[i], before[i]) << "outside the redraw at " << x << "," << y;
        }
    }
}

TEST_P(Scaler, PointerLandsOnThePixelShownUnderIt) {
    const ScaleCase& c = GetParam();
    const PictureBox box = c.Box();
    for (int y = box.y; y < box.y + box.height; y += 3) {
        for (int x = box.x; x < box.x + box.width; x += 3) {
            int px = 0;
            int py = 0;
            WindowToPicture(box, c.pictureWidth, c.pictureHeight, x, y, &px, &py);
            ASSERT_EQ(lookup[picture[static_cast<size_t>(py) * c.pictureWidth + px]],
                      Expected(picture, c.pictureWidth, c.pictureHeight, c.windowWidth,
                               c.windowHeight, x, y, lookup, c.scaling))
                << "window " << x << "," << y;
        }
    }
    // In the bars the pointer holds at the nearest edge of the picture.
    int px = 0;
    int py = 0;
    WindowToPicture(box, c.pictureWidth, c.pictureHeight, -5, c.windowHeight + 9, &px, &py);
    EXPECT_EQ(px, 0);
    EXPECT_EQ(py, c.pictureHeight - 1);
    // A warp to a picture pixel comes back as that pixel when the box is at least as large.
    if (box.width >= c.pictureWidth && box.height >= c.pictureHeight) {
        for (int p = 0; p < c.pictureWidth; p += 7) {
            int wx = 0;
            int wy = 0;
            PictureToWindow(box, c.pictureWidth, c.pictureHeight, p, p % c.pictureHeight, &wx, &wy);
            WindowToPicture(box, c.pictureWidth, c.pictureHeight, wx, wy, &px, &py);
            ASSERT_EQ(px, p);
            ASSERT_EQ(py, p % c.pictureHeight);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Presentation, Scaler,
    ::testing::Values(
        ScaleCase{"exact_double", 64, 48, 128, 96}, ScaleCase{"odd_wide_window", 64, 48, 201, 97},
        ScaleCase{"odd_tall_window", 64, 48, 77, 203}, ScaleCase{"just_over_one", 64, 48, 65, 49},
        ScaleCase{"triple_with_bars", 32, 24, 100, 80},
        ScaleCase{"smaller_than_picture", 64, 48, 41, 33},
        ScaleCase{"ending_mode_in_a_wide_window", 32, 24, 257, 96},
        // Whole multiples, centred with bars on all sides.
        ScaleCase{"integer_full_hd", 640, 480, 1920, 1080, Scaling::INTEGER},
        ScaleCase{"integer_ending_mode_full_hd", 320, 240, 1920, 1080, Scaling::INTEGER},
        ScaleCase{"integer_odd_window", 64, 48, 203, 160, Scaling::INTEGER},
        ScaleCase{"integer_smaller_than_picture", 64, 48, 41, 33, Scaling::INTEGER}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PictureBoxTest, KeepsFourByThreeCentredWithBars) {
    const PictureBox wide = FitPicture(1920, 1080, 640, 480);
    EXPECT_EQ(wide.width, 1440);
    EXPECT_EQ(wide.height, 1080);
    EXPECT_EQ(wide.x, 240);
    EXPECT_EQ(wide.y, 0);
    const PictureBox tall = FitPicture(1000, 1000, 640, 480);
    EXPECT_EQ(tall.width, 1000);
    EXPECT_EQ(tall.height, 750);
    EXPECT_EQ(tall.y, 125);
    const PictureBox none = FitPicture(0, 480, 640, 480);
    EXPECT_EQ(none.width, 0);
}

TEST(PictureBoxTest, IntegerScalingTakesTheLargestWholeMultipleThatFits) {
    struct Case {
        int ww, wh, pw, ph;
        PictureBox box;
    };
    const Case cases[] = {
        {1920, 1080, 640, 480, {320, 60, 1280, 960}},  // 2.25 fits; 2 is drawn
        {1920, 1080, 320, 240, {320, 60, 1280, 960}},  // the ending's low resolution: 4
        {2560, 1440, 640, 480, {320, 0, 1920, 1440}},  // exactly 3 in height
        {1000, 700, 640, 480, {180, 110, 640, 480}},   // only once
        {1281, 959, 640, 480, {320, 239, 640, 480}},   // width allows 2, height only 1
        {600, 400, 640, 480, {33, 0, 533, 400}},       // not even once: fitted as before
    };
    for (const Case& c : cases) {
        const PictureBox box = PlacePicture(c.ww, c.wh, c.pw, c.ph, Scaling::INTEGER);
        EXPECT_EQ(box.x, c.box.x) << c.ww << "x" << c.wh;
        EXPECT_EQ(box.y, c.box.y) << c.ww << "x" << c.wh;
        EXPECT_EQ(box.width, c.box.width) << c.ww << "x" << c.wh;
        EXPECT_EQ(box.height, c.box.height) << c.ww << "x" << c.wh;
    }
    Scaling parsed = Scaling::FIT;
    EXPECT_TRUE(ParseScaling("integer", &parsed));
    EXPECT_EQ(parsed, Scaling::INTEGER);
    EXPECT_TRUE(ParseScaling("fit", &parsed));
    EXPECT_EQ(parsed, Scaling::FIT);
    EXPECT_FALSE(ParseScaling("Integer", &parsed));
    EXPECT_FALSE(ParseScaling(nullptr, &parsed));
}

}  // namespace
