#pragma once
// The four picture sheets of the game, drawn from code. Each returns the finished 8-bit sheet in
// the indexes of its palette (the match palette for ETC, COLOR and RANK; TitlePalette for TITLE,
// whose pictures are heats for the fire palettes).

#include <string>

#include "art/canvas.h"
#include "art/sheet_words.h"

// Each sheet in either language: the English one differs only in the cells that carry words
// (art/sheet_words.h), and notes every English word it paints for the fit check
// (art/word_fit.h).
Canvas DrawEtcSheet(SheetLanguage language = SHEETS_JAPANESE);
Canvas DrawColorSheet(SheetLanguage language = SHEETS_JAPANESE);
Canvas DrawRankSheet(SheetLanguage language = SHEETS_JAPANESE);
Canvas DrawTitleSheet(SheetLanguage language = SHEETS_JAPANESE);

// The opening layout in the text format the match reads: 40 groups "x,y,kind,value,".
std::string OpeningLayoutText();
