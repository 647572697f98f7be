#pragma once
// The four picture sheets of the game, drawn from code. Each returns the finished 8-bit sheet in
// the indexes of its palette (the match palette for ETC, COLOR and RANK; TitlePalette for TITLE,
// whose pictures are heats for the fire palettes).

#include <string>

#include "art/canvas.h"

Canvas DrawEtcSheet();
Canvas DrawColorSheet();
Canvas DrawRankSheet();
Canvas DrawTitleSheet();

// The opening layout in the text format the match reads: 40 groups "x,y,kind,value,".
std::string OpeningLayoutText();
