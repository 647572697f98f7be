#include "art/sheets.h"
Canvas DrawTitleSheet() { return Canvas(600, 280); }
