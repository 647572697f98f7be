#include "media/draw.h"

const char* const TextFace = "HG正楷書体-PRO";
const char* const CreditsFace = "BIZ UDゴシック";

namespace {
constexpr int SCREEN_WIDTH = 640;
constexpr int SCREEN_HEIGHT = 480;
}  // namespace

int BltClipped(Surface* dest, int x, int y, int width, int height, Surface* source, Rect srcRect,
               unsigned flags) {
    // Only the source rectangle is trimmed to the screen; a piece wholly off the screen leaves
    // an empty or inverted rectangle, which the blit refuses.
    if (x < 0) {
        srcRect.left += -x;
        x = 0;
    }
    if (y < 0) {
        srcRect.top += -y;
        y = 0;
    }
    if (x + width > SCREEN_WIDTH) srcRect.right += SCREEN_WIDTH - x - width;
    if (y + height > SCREEN_HEIGHT) srcRect.bottom += SCREEN_HEIGHT - y - height;
    return BltFast(dest, x, y, source, &srcRect, flags);
}

int FillScreen(Surface* surface, uint8_t colour) {
    const Rect screen{0, 0, SCREEN_WIDTH, SCREEN_HEIGHT};
    return ColourFill(surface, &screen, colour);
}

void DrawSurfaceText(Surface* surface, const char* text, const char* face, Rect rect, int charWidth,
                     int charHeight, uint8_t red, uint8_t green, uint8_t blue, unsigned format,
                     int weight) {
    FontSpec font;
    font.height = charHeight;
    font.width = charWidth;
    font.face = face ? face : "";
    font.weight = weight;
    GdiDrawText(surface, text, rect, font, Rgb{red, green, blue}, format);
}
