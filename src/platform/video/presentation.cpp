// The presentation rules shared by the SDL backend's two ways of showing the picture.
#include "platform/video/presentation.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

// GL renderers that rasterise on the CPU, as their GL_RENDERER strings name them.
const char* const SOFTWARE_GL[] = {
    "llvmpipe",
    "softpipe",
    "swrast",
    "software rasterizer",
    "lavapipe",
    "swiftshader",
    "microsoft basic render",
    "gdi generic",
};

std::string Lower(const std::string& text) {
    std::string out = text;
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

int Clamp(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

// The middle of the run of box pixels that show picture pixel s.
int MiddleOfRun(int s, int boxSize, int pictureSize) {
    const int first = FirstBoxIndex(s, boxSize, pictureSize);
    const int next = FirstBoxIndex(s + 1, boxSize, pictureSize);
    return next > first ? first + (next - first - 1) / 2 : Clamp(first, 0, boxSize - 1);
}

}  // namespace

bool ParseRendererRequest(const char* text, RendererRequest* out) {
    if (text == nullptr) return false;
    if (std::strcmp(text, "auto") == 0) {
        *out = RendererRequest::AUTO;
    } else if (std::strcmp(text, "gpu") == 0) {
        *out = RendererRequest::GPU;
    } else if (std::strcmp(text, "software") == 0) {
        *out = RendererRequest::SOFTWARE;
    } else {
        return false;
    }
    return true;
}

bool ParseScaling(const char* text, Scaling* out) {
    if (text == nullptr) return false;
    if (std::strcmp(text, "fit") == 0) {
        *out = Scaling::FIT;
    } else if (std::strcmp(text, "integer") == 0) {
        *out = Scaling::INTEGER;
    } else {
        return false;
    }
    return true;
}

const char* PresentPathName(PresentPath path) {
    return path == PresentPath::GPU ? "gpu" : "software";
}

PresentPath ChoosePresentPath(RendererRequest request, const RendererReport& report) {
    if (request == RendererRequest::GPU) return PresentPath::GPU;
    if (request == RendererRequest::SOFTWARE) return PresentPath::SOFTWARE;
    if (!report.created || report.softwareFlag || Lower(report.name) == "software") {
        return PresentPath::SOFTWARE;
    }
    const std::string gl = Lower(report.glRenderer);
    for (const char* name : SOFTWARE_GL) {
        if (gl.find(name) != std::string::npos) return PresentPath::SOFTWARE;
    }
    return PresentPath::GPU;
}

PictureBox FitPicture(int windowWidth, int windowHeight, int pictureWidth, int pictureHeight) {
    PictureBox box;
    if (windowWidth <= 0 || windowHeight <= 0 || pictureWidth <= 0 || pictureHeight <= 0) {
        return box;
    }
    const int64_t ww = windowWidth, wh = windowHeight, pw = pictureWidth, ph = pictureHeight;
    if (ww * ph > wh * pw) {
        // Wider than the picture: full height, bars left and right.
        box.height = windowHeight;
        box.width = static_cast<int>(wh * pw / ph);
        box.x = (windowWidth - box.width) / 2;
    } else {
        box.width = windowWidth;
        box.height = static_cast<int>(ww * ph / pw);
        box.y = (windowHeight - box.height) / 2;
    }
    return box;
}

PictureBox PlacePicture(int windowWidth, int windowHeight, int pictureWidth, int pictureHeight,
                        Scaling scaling) {
    if (scaling == Scaling::FIT || pictureWidth <= 0 || pictureHeight <= 0) {
        return FitPicture(windowWidth, windowHeight, pictureWidth, pictureHeight);
    }
    const int factor = std::min(windowWidth / pictureWidth, windowHeight / pictureHeight);
    if (factor < 1) return FitPicture(windowWidth, windowHeight, pictureWidth, pictureHeight);
    PictureBox box;
    box.width = pictureWidth * factor;
    box.height = pictureHeight * factor;
    box.x = (windowWidth - box.width) / 2;
    box.y = (windowHeight - box.height) / 2;
    return box;
}

int SourceIndex(int d, int boxSize, int pictureSize) {
    if (boxSize <= 0) return 0;
    return static_cast<int>((2 * static_cast<int64_t>(d) + 1) * pictureSize /
                            (2 * static_cast<int64_t>(boxSize)));
}

int FirstBoxIndex(int s, int boxSize, int pictureSize) {
    if (pictureSize <= 0) return boxSize;
    // SourceIndex(d) >= s  <=>  (2d + 1) * pictureSize >= 2 * s * boxSize.
    const int64_t need = 2 * static_cast<int64_t>(s) * boxSize - pictureSize;
    if (need <= 0) return 0;
    const int64_t twice = 2 * static_cast<int64_t>(pictureSize);
    const int64_t d = (need + twice - 1) / twice;
    return static_cast<int>(std::min<int64_t>(d, boxSize));
}

void WindowToPicture(const PictureBox& box, int pictureWidth, int pictureHeight, int wx, int wy,
                     int* px, int* py) {
    const int dx = Clamp(wx - box.x, 0, box.width > 0 ? box.width - 1 : 0);
    const int dy = Clamp(wy - box.y, 0, box.height > 0 ? box.height - 1 : 0);
    *px = Clamp(SourceIndex(dx, box.width, pictureWidth), 0, pictureWidth - 1);
    *py = Clamp(SourceIndex(dy, box.height, pictureHeight), 0, pictureHeight - 1);
}

void PictureToWindow(const PictureBox& box, int pictureWidth, int pictureHeight, int px, int py,
                     int* wx, int* wy) {
    *wx = box.x + MiddleOfRun(Clamp(px, 0, pictureWidth - 1), box.width, pictureWidth);
    *wy = box.y + MiddleOfRun(Clamp(py, 0, pictureHeight - 1), box.height, pictureHeight);
}

void PictureScaler::Prepare(const PictureBox& box, int pictureWidth) {
    if (box.x == box_.x && box.width == box_.width && pictureWidth == pictureWidth_) return;
    box_ = box;
    pictureWidth_ = pictureWidth;
    columns_.resize(static_cast<size_t>(box.width));
    for (int d = 0; d < box.width; ++d) {
        columns_[static_cast<size_t>(d)] = SourceIndex(d, box.width, pictureWidth);
    }
}

Rect PictureScaler::Draw(const IndexedPicture& picture, const uint32_t lookup[256],
                         const PixelTarget& target, const Rect& changed) {
    const PictureBox box =
        PlacePicture(target.width, target.height, picture.width, picture.height, scaling_);
    const int left = Clamp(changed.left, 0, picture.width);
    const int right = Clamp(changed.right, 0, picture.width);
    const int top = Clamp(changed.top, 0, picture.height);
    const int bottom = Clamp(changed.bottom, 0, picture.height);
    if (box.width <= 0 || box.height <= 0 || left >= right || top >= bottom) return Rect{};
    Prepare(box, picture.width);
    const int dx0 = FirstBoxIndex(left, box.width, picture.width);
    const int dx1 = FirstBoxIndex(right, box.width, picture.width);
    const int dy0 = FirstBoxIndex(top, box.height, picture.height);
    const int dy1 = FirstBoxIndex(bottom, box.height, picture.height);
    if (dx0 >= dx1 || dy0 >= dy1) return Rect{};
    // A whole-number scale repeats each picture pixel `factor` times across.
    const int factor = box.width % picture.width == 0 ? box.width / picture.width : 0;
    const size_t span = static_cast<size_t>(dx1 - dx0) * sizeof(uint32_t);
    int lastRow = -1;
    uint32_t* lastOut = nullptr;
    for (int dy = dy0; dy < dy1; ++dy) {
        const int sy = SourceIndex(dy, box.height, picture.height);
        uint32_t* out =
            target.pixels + static_cast<size_t>(box.y + dy) * target.pitch + box.x + dx0;
        if (sy == lastRow) {
            // Rows that show the same picture row are copies of the one above.
            std::memcpy(out, lastOut, span);
            continue;
        }
        const uint8_t* row = picture.pixels + static_cast<size_t>(sy) * picture.pitch;
        if (factor > 0) {
            uint32_t* o = out;
            for (int sx = left; sx < right; ++sx) {
                const uint32_t v = lookup[row[sx]];
                for (int k = 0; k < factor; ++k) *o++ = v;
            }
        } else {
            const int* col = columns_.data();
            for (int dx = dx0; dx < dx1; ++dx) out[dx - dx0] = lookup[row[col[dx]]];
        }
        lastRow = sy;
        lastOut = out;
    }
    return Rect{box.x + dx0, box.y + dy0, box.x + dx1, box.y + dy1};
}

void PictureScaler::FillBars(const PixelTarget& target, const PictureBox& box, uint32_t value) {
    for (int y = 0; y < target.height; ++y) {
        uint32_t* row = target.pixels + static_cast<size_t>(y) * target.pitch;
        if (y < box.y || y >= box.y + box.height) {
            std::fill(row, row + target.width, value);
        } else {
            std::fill(row, row + box.x, value);
            std::fill(row + box.x + box.width, row + target.width, value);
        }
    }
}
