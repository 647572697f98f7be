// GDI-like drawing on 8-bit surfaces: text through FreeType without antialiasing (a palettised
// surface has no blending), solid rectangles and one-pixel lines. Colours map to the nearest
// entry of the installed palette. Faces are found through fontconfig once and kept open, so the
// game may "create" a font on every call cheaply.
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/core/platform.h"
#include "platform/video/display.h"

namespace {

// The family each face name of the game stands for, and the families tried after it for
// characters the first one lacks.
const char* const BRUSH_FAMILY = "AoyagiKouzanFontT";
const char* const MONO_FAMILY = "VL Gothic";
const char* const SANS_BOLD_FAMILY = "DejaVu Sans:bold";
const char* const BRUSH_FACE_NAME = "HG正楷書体-PRO";
const char* const UD_GOTHIC_FAMILY = "BIZ UDGothic";
const char* const UD_GOTHIC_FACE_NAME = "BIZ UDゴシック";

struct FaceSlot {
    FT_Face face = nullptr;
    bool tried = false;
};

class FontCache {
public:
    ~FontCache() {
        for (auto& [name, slot] : faces_) {
            if (slot.face) FT_Done_Face(slot.face);
        }
        if (library_) FT_Done_FreeType(library_);
    }

    // The chain of faces for a game face name: the face itself, then fallbacks.
    std::vector<FT_Face> Chain(const std::string& gameFace, int weight) {
        std::vector<FT_Face> chain;
        std::string first;
        if (gameFace == BRUSH_FACE_NAME) {
            first = BRUSH_FAMILY;
        } else if (gameFace == UD_GOTHIC_FACE_NAME) {
            first = UD_GOTHIC_FAMILY;
        } else if (gameFace.empty()) {
            first = MONO_FAMILY;
        } else {
            first = gameFace;
        }
        if (weight >= 700 && first.find(':') == std::string::npos) first += ":bold";
        for (const std::string& pattern :
             {first, std::string(MONO_FAMILY), std::string("sans-serif:lang=ja"),
              std::string("DejaVu Sans")}) {
            FT_Face f = Face(pattern);
            if (f != nullptr) chain.push_back(f);
        }
        return chain;
    }

    FT_Face Face(const std::string& pattern) {
        FaceSlot& slot = faces_[pattern];
        if (slot.tried) return slot.face;
        slot.tried = true;
        if (!Ready()) return nullptr;
        std::string file;
        int index = 0;
        if (!Resolve(pattern, &file, &index)) return nullptr;
        if (FT_New_Face(library_, file.c_str(), index, &slot.face) != 0) {
            slot.face = nullptr;
            return nullptr;
        }
        return slot.face;
    }

private:
    bool Ready() {
        if (library_ == nullptr && !failed_) {
            if (FT_Init_FreeType(&library_) != 0 || !FcInit()) {
                failed_ = true;
                library_ = nullptr;
                std::fprintf(stderr, "kelmorav: the font system cannot start; text is not drawn\n");
            }
        }
        return library_ != nullptr;
    }

    static bool Resolve(const std::string& pattern, std::string* file, int* index) {
        FcPattern* pat = FcNameParse(reinterpret_cast<const FcChar8*>(pattern.c_str()));
        if (pat == nullptr) return false;
        FcConfigSubstitute(nullptr, pat, FcMatchPattern);
        FcDefaultSubstitute(pat);
        FcResult result = FcResultNoMatch;
        FcPattern* match = FcFontMatch(nullptr, pat, &result);
        FcPatternDestroy(pat);
        if (match == nullptr) return false;
        FcChar8* path = nullptr;
        bool ok = FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path != nullptr;
        if (ok) {
            *file = reinterpret_cast<const char*>(path);
            int idx = 0;
            FcPatternGetInteger(match, FC_INDEX, 0, &idx);
            *index = idx;
        }
        FcPatternDestroy(match);
        return ok;
    }

    FT_Library library_ = nullptr;
    bool failed_ = false;
    std::map<std::string, FaceSlot> faces_;
};

FontCache& Fonts() {
    static FontCache cache;
    return cache;
}

std::vector<uint32_t> DecodeUtf8(const char* text) {
    std::vector<uint32_t> out;
    const auto* s = reinterpret_cast<const unsigned char*>(text);
    while (*s) {
        uint32_t c = *s;
        int extra = 0;
        if (c < 0x80) {
            extra = 0;
        } else if ((c & 0xE0) == 0xC0) {
            c &= 0x1F;
            extra = 1;
        } else if ((c & 0xF0) == 0xE0) {
            c &= 0x0F;
            extra = 2;
        } else if ((c & 0xF8) == 0xF0) {
            c &= 0x07;
            extra = 3;
        } else {
            out.push_back(0xFFFD);
            ++s;
            continue;
        }
        ++s;
        bool bad = false;
        for (int i = 0; i < extra; ++i) {
            if ((*s & 0xC0) != 0x80) {
                bad = true;
                break;
            }
            c = (c << 6) | (*s & 0x3F);
            ++s;
        }
        out.push_back(bad ? 0xFFFD : c);
    }
    return out;
}

// Sizes one face to the requested cell: cell height = the face's Windows ascent + descent, and
// a given average character width stretches the face horizontally.
struct Sized {
    FT_Face face = nullptr;
    int ascent = 0;  // pixels from the line top to the baseline
};

void SizeFace(FT_Face face, const FontSpec& font) {
    const int upem = face->units_per_EM > 0 ? face->units_per_EM : 1000;
    int ascent = face->ascender;
    int descent = -face->descender;
    int avgWidth = 0;
    if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2))) {
        if (os2->usWinAscent + os2->usWinDescent > 0) {
            ascent = os2->usWinAscent;
            descent = os2->usWinDescent;
        }
        avgWidth = os2->xAvgCharWidth;
    }
    if (ascent + descent <= 0) {
        ascent = upem;
        descent = 0;
    }
    const double emY = static_cast<double>(font.height) * upem / (ascent + descent);
    double emX = emY;
    if (font.width > 0) {
        const double naturalAvg = avgWidth > 0 ? avgWidth * emY / upem : emY / 2;
        emX = emY * font.width / naturalAvg;
    }
    const auto to26_6 = [](double v) { return static_cast<FT_F26Dot6>(std::lround(v * 64)); };
    FT_Set_Char_Size(face, to26_6(emX < 1 ? 1 : emX), to26_6(emY < 1 ? 1 : emY), 72, 72);
}

int AscentPixels(FT_Face face, int cellHeight) {
    int ascent = face->ascender;
    int descent = -face->descender;
    if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2))) {
        if (os2->usWinAscent + os2->usWinDescent > 0) {
            ascent = os2->usWinAscent;
            descent = os2->usWinDescent;
        }
    }
    if (ascent + descent <= 0) return cellHeight;
    return static_cast<int>(
        std::lround(static_cast<double>(cellHeight) * ascent / (ascent + descent)));
}

struct Clip {
    int left, top, right, bottom;
};

void PutPixel(Surface* s, const Clip& clip, int x, int y, uint8_t index) {
    if (x < clip.left || y < clip.top || x >= clip.right || y >= clip.bottom) return;
    s->pixels[static_cast<size_t>(y) * s->pitch + x] = index;
}

Clip ClipTo(const Surface* s, const Rect& r) {
    Clip c{r.left, r.top, r.right, r.bottom};
    if (c.left < 0) c.left = 0;
    if (c.top < 0) c.top = 0;
    if (c.right > s->width) c.right = s->width;
    if (c.bottom > s->height) c.bottom = s->height;
    return c;
}

bool Drawable(const Surface* s) {
    return s != nullptr && s->width > 0 && s->height > 0 &&
           s->pixels.size() >= static_cast<size_t>(s->pitch) * s->height;
}

// Finds the face of the chain that has the character (the first face when none has it).
FT_Face FaceFor(const std::vector<FT_Face>& chain, uint32_t cp) {
    for (FT_Face f : chain) {
        if (FT_Get_Char_Index(f, cp) != 0) return f;
    }
    return chain.front();
}

// Width of one line in pixels.
int LineWidth(const std::vector<FT_Face>& chain, const std::vector<uint32_t>& line) {
    int width = 0;
    for (uint32_t cp : line) {
        FT_Face f = FaceFor(chain, cp);
        if (FT_Load_Char(f, cp, FT_LOAD_DEFAULT | FT_LOAD_TARGET_MONO) == 0) {
            width += static_cast<int>(f->glyph->advance.x >> 6);
        }
    }
    return width;
}

void DrawLine(Surface* s, const Clip& clip, const std::vector<FT_Face>& chain,
              const std::vector<uint32_t>& line, int x, int baseline, uint8_t index) {
    for (uint32_t cp : line) {
        FT_Face f = FaceFor(chain, cp);
        if (FT_Load_Char(f, cp, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME) != 0) {
            continue;
        }
        const FT_GlyphSlot g = f->glyph;
        const FT_Bitmap& bm = g->bitmap;
        const int gx = x + g->bitmap_left;
        const int gy = baseline - g->bitmap_top;
        for (unsigned row = 0; row < bm.rows; ++row) {
            const unsigned char* bits = bm.buffer + static_cast<ptrdiff_t>(row) * bm.pitch;
            for (unsigned col = 0; col < bm.width; ++col) {
                bool on = false;
                if (bm.pixel_mode == FT_PIXEL_MODE_MONO) {
                    on = (bits[col >> 3] & (0x80 >> (col & 7))) != 0;
                } else if (bm.pixel_mode == FT_PIXEL_MODE_GRAY) {
                    on = bits[col] >= 128;
                }
                if (on)
                    PutPixel(s, clip, gx + static_cast<int>(col), gy + static_cast<int>(row),
                             index);
            }
        }
        x += static_cast<int>(g->advance.x >> 6);
    }
}

// The chain of faces for a font, each sized to it; empty when none can be had.
std::vector<FT_Face> SizedChain(const FontSpec& font) {
    std::vector<FT_Face> chain = Fonts().Chain(font.face, font.weight);
    for (FT_Face f : chain) SizeFace(f, font);
    return chain;
}

std::vector<std::vector<uint32_t>> SplitLines(const char* utf8) {
    std::vector<std::vector<uint32_t>> lines(1);
    for (uint32_t cp : DecodeUtf8(utf8)) {
        if (cp == '\n') {
            lines.emplace_back();
        } else if (cp != '\r') {
            lines.back().push_back(cp);
        }
    }
    return lines;
}

DrawnTextHook TextHook = nullptr;

void DrawTextLines(Surface* surface, const char* utf8, const Rect& rect, const FontSpec& font,
                   uint8_t index, unsigned format) {
    if (TextHook != nullptr && utf8 != nullptr) TextHook(utf8);
    if (!Drawable(surface) || utf8 == nullptr || font.height <= 0) return;
    const std::vector<FT_Face> chain = SizedChain(font);
    if (chain.empty()) return;
    const Clip clip = ClipTo(surface, rect);
    const int ascent = AscentPixels(chain.front(), font.height);
    int top = rect.top;
    for (const auto& line : SplitLines(utf8)) {
        int x = rect.left;
        if (format & DT_CENTER)
            x = rect.left + (rect.right - rect.left - LineWidth(chain, line)) / 2;
        DrawLine(surface, clip, chain, line, x, top + ascent, index);
        top += font.height;
    }
    PlatformSurfaceWritten(surface);
}

}  // namespace

void SetDrawnTextHook(DrawnTextHook hook) { TextHook = hook; }

void GdiDrawText(Surface* surface, const char* utf8, const Rect& rect, const FontSpec& font,
                 Rgb colour, unsigned format) {
    DrawTextLines(surface, utf8, rect, font, NearestPaletteIndex(colour), format);
}

void GdiDrawTextIndex(Surface* surface, const char* utf8, const Rect& rect, const FontSpec& font,
                      uint8_t index, unsigned format) {
    DrawTextLines(surface, utf8, rect, font, index, format);
}

int GdiTextWidth(const char* utf8, const FontSpec& font) {
    if (utf8 == nullptr || font.height <= 0) return 0;
    const std::vector<FT_Face> chain = SizedChain(font);
    if (chain.empty()) return 0;
    int widest = 0;
    for (const auto& line : SplitLines(utf8)) widest = std::max(widest, LineWidth(chain, line));
    return widest;
}

void GdiTextOut(Surface* surface, int x, int y, const char* utf8, Rgb colour) {
    if (!Drawable(surface)) return;
    FontSpec font;
    font.height = 16;
    font.face = SANS_BOLD_FAMILY;
    DrawTextLines(surface, utf8, Rect{x, y, surface->width, surface->height}, font,
                  NearestPaletteIndex(colour), DT_LEFT);
}

void GdiRectangle(Surface* surface, const Rect& rect, Rgb brush) {
    if (!Drawable(surface) || rect.right <= rect.left || rect.bottom <= rect.top) return;
    const Clip clip = ClipTo(surface, rect);
    const uint8_t fill = NearestPaletteIndex(brush);
    const uint8_t pen = NearestPaletteIndex(Rgb{0, 0, 0});
    for (int y = clip.top; y < clip.bottom; ++y) {
        for (int x = clip.left; x < clip.right; ++x) {
            const bool edge =
                x == rect.left || x == rect.right - 1 || y == rect.top || y == rect.bottom - 1;
            surface->pixels[static_cast<size_t>(y) * surface->pitch + x] = edge ? pen : fill;
        }
    }
    PlatformSurfaceWritten(surface);
}

void GdiLine(Surface* surface, int x0, int y0, int x1, int y1, Rgb pen) {
    if (!Drawable(surface)) return;
    const Clip clip{0, 0, surface->width, surface->height};
    const uint8_t index = NearestPaletteIndex(pen);
    // Bresenham, stopping before the end point.
    const int64_t dx = std::llabs(static_cast<int64_t>(x1) - x0);
    const int64_t dy = -std::llabs(static_cast<int64_t>(y1) - y0);
    const int sx = x0 < x1 ? 1 : -1;
    const int sy = y0 < y1 ? 1 : -1;
    int64_t err = dx + dy;
    int64_t x = x0;
    int64_t y = y0;
    // A line far outside the surface draws nothing but must not loop for ever.
    int64_t steps = (dx > -dy ? dx : -dy);
    if (steps > 1 << 16) return;
    while (steps-- > 0) {
        if (x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom) {
            surface->pixels[static_cast<size_t>(y) * surface->pitch + static_cast<size_t>(x)] =
                index;
        }
        const int64_t e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
    PlatformSurfaceWritten(surface);
}
