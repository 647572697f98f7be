#include "art/sheets.h"
Canvas DrawRankSheet() { return Canvas(640, 192); }
