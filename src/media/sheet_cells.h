#pragma once
// Cells of the sprite sheets that several screens draw from: the match, its panels and the
// result screen. (left, top)-(right, bottom), right and bottom exclusive.

#include "platform/platform.h"

// SideSheet: the side's portrait.
constexpr Rect PORTRAIT_CELL = {352, 0, 416, 64};
// EtcSheet: the separator glyph beside numbers (also the placing panel's cost sign).
constexpr Rect SEPARATOR_CELL = {260, 104, 276, 120};
// EtcSheet: the lower-left plate of the match (the result screen's centre emblem).
constexpr Rect PLATE_CELL = {0, 64, 160, 128};
// EtcSheet: the promote button (the info panel's promoted badge).
constexpr Rect PROMOTE_CELL = {256, 128, 288, 160};
// EtcSheet: the value label (the placing panel's cost label).
constexpr Rect VALUE_LABEL_CELL = {200, 84, 240, 104};
