#pragma once
// Numbers drawn with the 16x16 digit glyphs of EtcSheet: the match's panels and clocks, the
// placing and info panels and the result screen all count with them.

#include "platform/core/platform.h"

// Draws value (>= 0) right-aligned with its right edge at x, padded with zeros to minDigits,
// in digit style 1 or 2 (any other style draws nothing).
void DrawDigits(Surface* surface, int x, int y, int value, int minDigits, int style);
