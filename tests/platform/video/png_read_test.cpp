// Reading the window's icon: a PNG comes back as the pixels written into it, and a file that is
// not a PNG, is cut short or is larger than asked for is refused without a crash.
#include "platform/video/png_read.h"

#include <gtest/gtest.h>

#include "platform/video/png_write.h"
#include "support/test_files.h"

namespace {

TEST(PngRead, GivesThePixelsWrittenAndRefusesWhatItCannotTrust) {
    testfiles::TempDir dir("png_read");
    PaletteEntry palette[256];
    for (int i = 0; i < 256; ++i) {
        palette[i] = PaletteEntry{static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i),
                                  static_cast<uint8_t>(i / 2), 0};
    }
    const int w = 5;
    const int h = 3;
    std::vector<uint8_t> picture(static_cast<size_t>(w) * h);
    for (size_t i = 0; i < picture.size(); ++i) picture[i] = static_cast<uint8_t>(i * 17);
    const std::string path = (dir.Path() / "icon.png").string();
    ASSERT_TRUE(WritePalettedPng(path, w, h, picture.data(), w, palette));

    std::vector<uint8_t> rgba;
    int rw = 0;
    int rh = 0;
    ASSERT_TRUE(ReadPngRgba(path, 256, &rgba, &rw, &rh));
    ASSERT_EQ(rw, w);
    ASSERT_EQ(rh, h);
    ASSERT_EQ(rgba.size(), picture.size() * 4);
    for (size_t i = 0; i < picture.size(); ++i) {
        const PaletteEntry& c = palette[picture[i]];
        EXPECT_EQ(rgba[4 * i], c.red) << i;
        EXPECT_EQ(rgba[4 * i + 1], c.green) << i;
        EXPECT_EQ(rgba[4 * i + 2], c.blue) << i;
        EXPECT_EQ(rgba[4 * i + 3], 255) << i;
    }

    EXPECT_FALSE(ReadPngRgba(path, 4, &rgba, &rw, &rh));  // wider than asked for
    const std::string whole = testfiles::ReadText(path);
    const std::string cut = (dir.Path() / "cut.png").string();
    testfiles::WriteText(cut, whole.substr(0, whole.size() / 2));
    EXPECT_FALSE(ReadPngRgba(cut, 256, &rgba, &rw, &rh));
    const std::string text = (dir.Path() / "text.png").string();
    testfiles::WriteText(text, "not a picture");
    EXPECT_FALSE(ReadPngRgba(text, 256, &rgba, &rw, &rh));
    EXPECT_FALSE(ReadPngRgba((dir.Path() / "missing.png").string(), 256, &rgba, &rw, &rh));
}

}  // namespace
