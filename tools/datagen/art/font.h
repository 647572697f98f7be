#pragma once
// Text for the artwork: the installed Japanese brush face, a gothic face and two Latin faces,
// found through fontconfig by family name and rendered with FreeType with hard edges.

#include <string>

#include "art/canvas.h"

enum ArtFont {
    FONT_BRUSH,       // bold brush calligraphy (kanji for pictures, banners, labels)
    FONT_GOTHIC,      // plain Japanese gothic for small labels
    FONT_SANS_BOLD,   // Latin digits
    FONT_SERIF_BOLD,  // the title word
    ART_FONT_COUNT
};

// Loads every face; false with a message on stderr when one cannot be found.
bool InitArtFonts();
void DoneArtFonts();

// Renders one line of UTF-8 text at pixelSize, cropped to its ink. Pixels with coverage at or
// above threshold are set (threshold 0 keeps the raw coverage 0..255 for glows). mono renders
// with the one-bit rasteriser, which keeps small glyphs crisp.
Mask RenderText(ArtFont font, int pixelSize, const std::string& utf8, bool mono = false,
                int threshold = 128);
// The outline of one character as SVG path data scaled to fit a box of `height` units high,
// with the ink's top-left corner at (0, 0) and y downward; its ink width in *width. Empty when
// the face lacks the character.
std::string GlyphOutlinePath(ArtFont font, const std::string& utf8, double height, double* width);
// Renders the characters one under another (vertical writing), centred on a common axis.
Mask RenderVertical(ArtFont font, int pixelSize, const std::string& utf8, int gap,
                    int threshold = 128);
// The largest rendering that fits maxWidth x maxHeight, trying sizes downward from maxSize.
Mask FitText(ArtFont font, int maxSize, const std::string& utf8, int maxWidth, int maxHeight,
             bool mono = false, int threshold = 128);
