// Fitting the English words to their boxes and checking them as painted.
#include "art/word_fit.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

std::vector<WordFit> Noted;

Mask Render(const WordStyle& style, int size, const std::string& text) {
    Mask m = style.stackGap >= 0
                 ? RenderVertical(style.font, size, text, style.stackGap, style.threshold)
                 : RenderText(style.font, size, text, style.mono, style.threshold);
    return style.embolden ? Embolden(m) : m;
}

int CapHeight(const WordStyle& style, int size) {
    return RenderText(style.font, size, "H", style.mono, style.threshold).height;
}

std::string BoxText(const SheetBox& b) {
    return std::to_string(b.right - b.left) + "x" + std::to_string(b.bottom - b.top) + " at " +
           std::to_string(b.left) + "," + std::to_string(b.top);
}

}  // namespace

FittedWord FitWord(const WordStyle& style, const std::string& text, int maxWidth, int maxHeight) {
    FittedWord best;
    for (int size = style.maxSize; size >= 4; --size) {
        const int cap = CapHeight(style, size);
        if (cap < style.minCapHeight && best.pixelSize != 0) break;
        best.mask = Render(style, size, text);
        best.pixelSize = size;
        best.capHeight = cap;
        if (best.mask.width <= maxWidth && best.mask.height <= maxHeight) break;
    }
    return best;
}

std::string WordFitProblem(const WordFit& fit) {
    std::string problem;
    if (fit.capHeight < fit.minCapHeight)
        problem += "capitals " + std::to_string(fit.capHeight) + " px high at size " +
                   std::to_string(fit.pixelSize) + ", below the least that reads (" +
                   std::to_string(fit.minCapHeight) + " px)";
    const SheetBox& i = fit.ink;
    const SheetBox& b = fit.box;
    if (i.left < b.left || i.top < b.top || i.right > b.right || i.bottom > b.bottom) {
        if (!problem.empty()) problem += "; ";
        problem += "ink " + BoxText(i) + " (size " + std::to_string(fit.pixelSize) +
                   ") leaves its box " + BoxText(b);
    }
    if (problem.empty()) return problem;
    return "\"" + fit.text + "\" in " + fit.where + ": " + problem;
}

void NoteWord(const WordFit& fit) { Noted.push_back(fit); }

void NoteWord(const std::string& where, const std::string& text, const FittedWord& word,
              const WordStyle& style, int x, int y, int outline, const SheetBox& box) {
    WordFit fit;
    fit.where = where;
    fit.text = text;
    fit.pixelSize = word.pixelSize;
    fit.capHeight = word.capHeight;
    fit.minCapHeight = style.minCapHeight;
    fit.ink = {x - outline, y - outline, x + word.mask.width + outline,
               y + word.mask.height + outline};
    fit.box = box;
    NoteWord(fit);
}

const std::vector<WordFit>& NotedWords() { return Noted; }

void ClearNotedWords() { Noted.clear(); }

bool CheckNotedWords(std::FILE* err) {
    bool ok = true;
    for (const WordFit& fit : Noted) {
        std::string problem = WordFitProblem(fit);
        if (problem.empty()) continue;
        std::fprintf(err, "datagen: an English word does not fit: %s\n", problem.c_str());
        ok = false;
    }
    return ok;
}

std::string NotedWordsReport() {
    std::string out;
    for (const WordFit& fit : Noted) {
        char line[256];
        std::snprintf(line, sizeof line,
                      "%-26s %-24s size %2d cap %2d (min %2d) ink %3dx%-3d box %3dx%-3d %s\n",
                      fit.where.c_str(), ("\"" + fit.text + "\"").c_str(), fit.pixelSize,
                      fit.capHeight, fit.minCapHeight, fit.ink.right - fit.ink.left,
                      fit.ink.bottom - fit.ink.top, fit.box.right - fit.box.left,
                      fit.box.bottom - fit.box.top, WordFitProblem(fit).empty() ? "fits" : "FAILS");
        out += line;
    }
    return out;
}
