#pragma once
// The English words of the sheets, fitted to their boxes and checked as painted. A word is drawn
// at the largest size whose ink fits its box (a label's cell, a scroll's paper, a plate's face),
// but never below the least size that reads at 1x, given per word as the height of a capital
// letter. Each painted word is noted with the box it must stay in; the check then measures the
// ink as it landed. A word that would need a smaller size than its minimum, or whose ink leaves
// its box, fails the check, and the generator fails with it, naming the text, the cell and the
// sizes.

#include <cstdio>
#include <string>
#include <vector>

#include "art/canvas.h"
#include "art/font.h"

// How a word is rendered: its face, the largest pixel size tried, the least cap height that
// reads, the rasteriser (mono for small hard-edged text), the coverage cut for smooth text,
// whether the strokes are thickened by one pixel, and, for a word written down a hanging scroll,
// its letters stacked one under another with this gap (-1: written across).
struct WordStyle {
    ArtFont font;
    int maxSize;
    int minCapHeight;
    bool mono = true;
    int threshold = 128;
    bool embolden = false;
    int stackGap = -1;
};

// A rectangle on a sheet, right and bottom exclusive.
struct SheetBox {
    int left = 0, top = 0, right = 0, bottom = 0;
};

struct FittedWord {
    Mask mask;          // the ink, cropped
    int pixelSize = 0;  // the size it was rendered at
    int capHeight = 0;  // the ink height of a capital "H" at that size
};

// The largest rendering from style.maxSize down whose ink fits maxWidth x maxHeight. When no
// size whose capitals reach style.minCapHeight fits, the smallest such size is returned anyway
// and the check refuses the word once it is noted.
FittedWord FitWord(const WordStyle& style, const std::string& text, int maxWidth, int maxHeight);

// One word as painted on a sheet.
struct WordFit {
    std::string where;  // the cell's name and the word's part, as named in the report
    std::string text;
    int pixelSize = 0;
    int capHeight = 0;
    int minCapHeight = 0;
    SheetBox ink;  // where its ink landed, outline included
    SheetBox box;  // what it must stay in
};

// "" when the word fits; otherwise one line naming the text, its cell and the sizes.
std::string WordFitProblem(const WordFit& fit);

// The words noted while the English sheets are drawn.
void NoteWord(const WordFit& fit);
// Notes a fitted word stamped with its top-left ink pixel at (x, y) and an outline of the given
// thickness around it.
void NoteWord(const std::string& where, const std::string& text, const FittedWord& word,
              const WordStyle& style, int x, int y, int outline, const SheetBox& box);
const std::vector<WordFit>& NotedWords();
void ClearNotedWords();

// Prints every word that does not fit on err; true when all fit.
bool CheckNotedWords(std::FILE* err);
// One line per noted word: text, size, cap height against its minimum, ink against its box.
std::string NotedWordsReport();
