// The data generator's fit check of the English words: a word too long for its cell is refused
// with a line naming the text, the cell and the sizes, which fails the generator and so the build.
#include "art/word_fit.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "art/font.h"
#include "media/sheet_cells.h"

namespace {

TEST(EnglishWordFit, RefusesAWordThatCannotFitItsCellAndPassesOneThatDoes) {
    ASSERT_TRUE(InitArtFonts());
    // A 40x20 panel label in the labels' own style, placed as the sheet writer places it.
    const ArtCell& cell = ART_CELLS[CELL_POINTS_LABEL];
    const WordStyle style{FONT_GOTHIC, 12, 8};
    const SheetBox box{cell.x, cell.y, cell.x + cell.w, cell.y + cell.h};
    auto paint = [&](const std::string& text) {
        const FittedWord w = FitWord(style, text, cell.w - 2, cell.h - 2);
        NoteWord(cell.name, text, w, style, cell.x + (cell.w - w.mask.width) / 2,
                 cell.y + (cell.h - w.mask.height) / 2, 1, box);
        return NotedWords().back();
    };
    ClearNotedWords();
    const WordFit fits = paint("Points");
    EXPECT_EQ(WordFitProblem(fits), "");
    EXPECT_GE(fits.capHeight, style.minCapHeight);

    // Shrinking the long word until it fits would take it below the legible minimum: it is
    // drawn at the minimum and its ink runs out of the cell.
    const WordFit tooLong = paint("Points to place pieces");
    EXPECT_GE(tooLong.capHeight, style.minCapHeight) << "shrunk below the legible minimum";
    const std::string problem = WordFitProblem(tooLong);
    EXPECT_NE(problem.find("\"Points to place pieces\""), std::string::npos) << problem;
    EXPECT_NE(problem.find("points label"), std::string::npos) << problem;
    EXPECT_NE(problem.find("leaves its box 40x20"), std::string::npos) << problem;

    // A size whose capitals are under the minimum is named as such.
    WordFit tiny = fits;
    tiny.capHeight = style.minCapHeight - 1;
    EXPECT_NE(WordFitProblem(tiny).find("below the least that reads"), std::string::npos);

    // The generator's verdict over everything noted: the long word fails it, on stderr.
    std::FILE* err = std::tmpfile();
    ASSERT_NE(err, nullptr);
    EXPECT_FALSE(CheckNotedWords(err));
    std::rewind(err);
    char line[512] = {};
    ASSERT_NE(std::fgets(line, sizeof line, err), nullptr);
    EXPECT_NE(std::string(line).find("Points to place pieces"), std::string::npos) << line;
    EXPECT_EQ(std::fgets(line, sizeof line, err), nullptr) << "only the long word fails";
    std::fclose(err);
    ClearNotedWords();
}

}  // namespace
