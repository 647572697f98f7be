#pragma once
// How the window shows the 8-bit picture, without SDL so that tests can run every rule: which
// way to present it (the GPU renderer, or the window's own framebuffer when the GL behind the
// renderer is itself software), where the 4:3 picture sits in a window of any size, the mapping
// of window positions to picture positions that both ways share, and the nearest-neighbour
// scaler of the framebuffer way.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/core/platform.h"

enum class PresentPath { GPU, SOFTWARE };
const char* PresentPathName(PresentPath path);

// What the accelerated renderer said about itself.
struct RendererReport {
    bool created = false;       // an accelerated renderer could be made at all
    std::string name;           // the renderer's name ("opengl", "opengles2", "software")
    bool softwareFlag = false;  // the renderer says it draws in software
    std::string glRenderer;     // GL_RENDERER of the GL behind it ("" when it has none)
};

// The GPU way unless asked for software, or (auto) unless the renderer is missing, says it is
// software, or draws through a GL that rasterises on the CPU (llvmpipe, softpipe, swrast and
// the like): presenting through such a GL costs far more than copying pixels ourselves.
PresentPath ChoosePresentPath(RendererRequest request, const RendererReport& report);

// Where the picture sits in the window: as large as fits with its shape kept, centred, the
// rest black.
struct PictureBox {
    int x = 0, y = 0, width = 0, height = 0;
};
PictureBox FitPicture(int windowWidth, int windowHeight, int pictureWidth, int pictureHeight);
// The picture's box under the scaling asked for: FitPicture's for FIT; for INTEGER the largest
// whole multiple of the picture that fits, centred (FitPicture's when not even one does, so a
// window smaller than the picture still shows all of it).
PictureBox PlacePicture(int windowWidth, int windowHeight, int pictureWidth, int pictureHeight,
                        Scaling scaling);

// Nearest-neighbour along one axis of a box of boxSize pixels showing pictureSize pixels: the
// picture pixel under the centre of box pixel d, and the first box pixel that shows picture
// pixel s or one after it (boxSize when none does).
int SourceIndex(int d, int boxSize, int pictureSize);
int FirstBoxIndex(int s, int boxSize, int pictureSize);

// A window position to the picture pixel shown there; positions in the black bars go to the
// nearest edge of the picture.
void WindowToPicture(const PictureBox& box, int pictureWidth, int pictureHeight, int wx, int wy,
                     int* px, int* py);
// The window position at the middle of the pixels that show picture pixel (px, py).
void PictureToWindow(const PictureBox& box, int pictureWidth, int pictureHeight, int px, int py,
                     int* wx, int* wy);

// 32-bit pixels to draw into (the window's framebuffer), pitch counted in pixels.
struct PixelTarget {
    uint32_t* pixels = nullptr;
    int pitch = 0;
    int width = 0;
    int height = 0;
};

// The 8-bit picture to draw, rows pitch bytes apart.
struct IndexedPicture {
    const uint8_t* pixels = nullptr;
    int pitch = 0;
    int width = 0;
    int height = 0;
};

// Draws the picture into its box through a 256-entry lookup of target pixel values, and the
// black bars around it. Keeps the column map of the last box between calls.
class PictureScaler {
public:
    explicit PictureScaler(Scaling scaling = Scaling::FIT) : scaling_(scaling) {}
    // Draws the part of the box that shows `changed` (picture coordinates, clipped to the
    // picture) and returns the window rectangle drawn (empty when nothing was).
    Rect Draw(const IndexedPicture& picture, const uint32_t lookup[256], const PixelTarget& target,
              const Rect& changed);
    // Fills everything outside the picture's box with one value.
    static void FillBars(const PixelTarget& target, const PictureBox& box, uint32_t value);

private:
    void Prepare(const PictureBox& box, int pictureWidth);

    Scaling scaling_;
    PictureBox box_;
    int pictureWidth_ = -1;
    std::vector<int> columns_;  // picture column of each box column
};
