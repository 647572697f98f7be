// Font lookup through fontconfig and glyph rendering through FreeType.
#include "art/font.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <climits>
#include <cstdio>
#include <string>
#include <vector>

namespace {

FT_Library Library = nullptr;
FT_Face Faces[ART_FONT_COUNT] = {};

const char* const FONT_PATTERNS[ART_FONT_COUNT] = {
    "AoyagiKouzanFontT",
    "VL PGothic",
    "DejaVu Sans:style=Bold",
    "DejaVu Serif:style=Bold",
};

std::string FindFontFile(const char* pattern) {
    std::string file;
    FcPattern* pat = FcNameParse(reinterpret_cast<const FcChar8*>(pattern));
    if (!pat) return file;
    FcConfigSubstitute(nullptr, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pat, &result);
    if (match) {
        FcChar8* path = nullptr;
        FcChar8* family = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch &&
            FcPatternGetString(match, FC_FAMILY, 0, &family) == FcResultMatch) {
            // fontconfig falls back to any face; insist on the family we asked for.
            std::string want(pattern);
            want = want.substr(0, want.find(':'));
            bool found = false;
            for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &family) == FcResultMatch; ++i)
                if (want == reinterpret_cast<const char*>(family)) found = true;
            if (found) file = reinterpret_cast<const char*>(path);
        }
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pat);
    return file;
}

std::vector<char32_t> DecodeUtf8(const std::string& s) {
    std::vector<char32_t> out;
    for (size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        char32_t cp = c;
        int extra = 0;
        if (c >= 0xF0) {
            cp = c & 0x07;
            extra = 3;
        } else if (c >= 0xE0) {
            cp = c & 0x0F;
            extra = 2;
        } else if (c >= 0xC0) {
            cp = c & 0x1F;
            extra = 1;
        }
        ++i;
        for (int k = 0; k < extra && i < s.size(); ++k, ++i)
            cp = (cp << 6) | (static_cast<unsigned char>(s[i]) & 0x3F);
        out.push_back(cp);
    }
    return out;
}

// A rendered line before cropping: coverage on a generous box with the pen's origin inside.
struct Raster {
    int width = 0, height = 0;
    std::vector<uint8_t> cover;
};

Mask CropToInk(const Raster& r, int threshold) {
    int x0 = INT_MAX, y0 = INT_MAX, x1 = -1, y1 = -1;
    int cut = threshold > 0 ? threshold : 1;
    for (int y = 0; y < r.height; ++y)
        for (int x = 0; x < r.width; ++x)
            if (r.cover[static_cast<size_t>(y) * r.width + x] >= cut) {
                x0 = std::min(x0, x);
                y0 = std::min(y0, y);
                x1 = std::max(x1, x);
                y1 = std::max(y1, y);
            }
    if (x1 < 0) return MakeMask(1, 1);
    Mask m = MakeMask(x1 - x0 + 1, y1 - y0 + 1);
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            uint8_t c = r.cover[static_cast<size_t>(y) * r.width + x];
            uint8_t v = threshold > 0 ? (c >= threshold ? 255 : 0) : c;
            m.bits[static_cast<size_t>(y - y0) * m.width + (x - x0)] = v;
        }
    return m;
}

}  // namespace

bool InitArtFonts() {
    if (Library) return true;
    if (!FcInit() || FT_Init_FreeType(&Library) != 0) {
        std::fprintf(stderr, "datagen: cannot start fontconfig or FreeType\n");
        return false;
    }
    for (int i = 0; i < ART_FONT_COUNT; ++i) {
        std::string file = FindFontFile(FONT_PATTERNS[i]);
        if (file.empty() || FT_New_Face(Library, file.c_str(), 0, &Faces[i]) != 0) {
            std::fprintf(stderr, "datagen: font \"%s\" not found (install its package)\n",
                         FONT_PATTERNS[i]);
            DoneArtFonts();
            return false;
        }
    }
    return true;
}

void DoneArtFonts() {
    for (FT_Face& f : Faces)
        if (f) {
            FT_Done_Face(f);
            f = nullptr;
        }
    if (Library) FT_Done_FreeType(Library);
    Library = nullptr;
}

Mask RenderText(ArtFont font, int pixelSize, const std::string& utf8, bool mono, int threshold) {
    FT_Face face = Faces[font];
    if (!face) return MakeMask(1, 1);
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize));
    std::vector<char32_t> text = DecodeUtf8(utf8);
    Raster r;
    r.width = pixelSize * (static_cast<int>(text.size()) + 2) + 8;
    r.height = pixelSize * 3;
    r.cover.assign(static_cast<size_t>(r.width) * r.height, 0);
    int penX = pixelSize / 2, baseline = pixelSize * 2;
    FT_Int32 flags = FT_LOAD_RENDER | (mono ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL);
    for (char32_t cp : text) {
        if (FT_Load_Char(face, cp, flags) != 0) continue;
        FT_GlyphSlot g = face->glyph;
        const FT_Bitmap& bm = g->bitmap;
        for (unsigned row = 0; row < bm.rows; ++row)
            for (unsigned col = 0; col < bm.width; ++col) {
                uint8_t c;
                if (bm.pixel_mode == FT_PIXEL_MODE_MONO)
                    c = (bm.buffer[row * bm.pitch + col / 8] & (0x80 >> (col % 8))) ? 255 : 0;
                else
                    c = bm.buffer[row * bm.pitch + col];
                int x = penX + g->bitmap_left + static_cast<int>(col);
                int y = baseline - g->bitmap_top + static_cast<int>(row);
                if (x >= 0 && y >= 0 && x < r.width && y < r.height) {
                    uint8_t& slot = r.cover[static_cast<size_t>(y) * r.width + x];
                    slot = std::max(slot, c);
                }
            }
        penX += static_cast<int>(g->advance.x >> 6);
    }
    return CropToInk(r, mono ? 128 : threshold);
}

Mask RenderVertical(ArtFont font, int pixelSize, const std::string& utf8, int gap, int threshold) {
    std::vector<char32_t> text = DecodeUtf8(utf8);
    std::vector<Mask> glyphs;
    int width = 0, height = 0;
    for (char32_t cp : text) {
        std::string one;
        // Re-encode one code point as UTF-8.
        if (cp < 0x80) {
            one += static_cast<char>(cp);
        } else if (cp < 0x800) {
            one += static_cast<char>(0xC0 | (cp >> 6));
            one += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            one += static_cast<char>(0xE0 | (cp >> 12));
            one += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            one += static_cast<char>(0x80 | (cp & 0x3F));
        }
        glyphs.push_back(RenderText(font, pixelSize, one, false, threshold));
        width = std::max(width, glyphs.back().width);
        height += glyphs.back().height + (glyphs.size() > 1 ? gap : 0);
    }
    Mask out = MakeMask(std::max(1, width), std::max(1, height));
    int y = 0;
    for (const Mask& g : glyphs) {
        int ox = (width - g.width) / 2;
        for (int j = 0; j < g.height; ++j)
            for (int i = 0; i < g.width; ++i)
                out.bits[static_cast<size_t>(y + j) * width + ox + i] =
                    g.bits[static_cast<size_t>(j) * g.width + i];
        y += g.height + gap;
    }
    return out;
}

Mask FitText(ArtFont font, int maxSize, const std::string& utf8, int maxWidth, int maxHeight,
             bool mono, int threshold) {
    for (int size = maxSize; size > 6; --size) {
        Mask m = RenderText(font, size, utf8, mono, threshold);
        if (m.width <= maxWidth && m.height <= maxHeight) return m;
    }
    return RenderText(font, 6, utf8, mono, threshold);
}

namespace {

// Writes an outline as SVG path data: font units (y up) to box units (y down from the ink's
// top-left corner).
struct PathSink {
    double left, top, scale;
    std::string data;
    void Add(char command, std::initializer_list<const FT_Vector*> points) {
        data += command;
        for (const FT_Vector* p : points) {
            char pair[48];
            std::snprintf(pair, sizeof pair, "%.2f %.2f ", (p->x - left) * scale,
                          (top - p->y) * scale);
            data += pair;
        }
    }
};

int MoveTo(const FT_Vector* to, void* user) {
    static_cast<PathSink*>(user)->Add('M', {to});
    return 0;
}
int LineTo(const FT_Vector* to, void* user) {
    static_cast<PathSink*>(user)->Add('L', {to});
    return 0;
}
int ConicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
    static_cast<PathSink*>(user)->Add('Q', {control, to});
    return 0;
}
int CubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
    static_cast<PathSink*>(user)->Add('C', {c1, c2, to});
    return 0;
}

}  // namespace

std::string GlyphOutlinePath(ArtFont font, const std::string& utf8, double height, double* width) {
    *width = 0;
    FT_Face face = Faces[font];
    std::vector<char32_t> text = DecodeUtf8(utf8);
    if (!face || text.empty()) return "";
    FT_Set_Char_Size(face, 0, 1000 * 64, 72, 72);
    if (FT_Load_Char(face, text[0], FT_LOAD_NO_BITMAP | FT_LOAD_NO_HINTING) != 0) return "";
    FT_Outline& outline = face->glyph->outline;
    FT_BBox box;
    FT_Outline_Get_CBox(&outline, &box);
    if (box.yMax <= box.yMin) return "";
    PathSink sink{static_cast<double>(box.xMin), static_cast<double>(box.yMax),
                  height / static_cast<double>(box.yMax - box.yMin), ""};
    *width = (box.xMax - box.xMin) * sink.scale;
    FT_Outline_Funcs funcs{MoveTo, LineTo, ConicTo, CubicTo, 0, 0};
    if (FT_Outline_Decompose(&outline, &funcs, &sink) != 0) return "";
    return sink.data + "Z";
}
