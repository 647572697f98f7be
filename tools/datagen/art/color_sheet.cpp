#include "art/sheets.h"
Canvas DrawColorSheet() { return Canvas(416, 96); }
