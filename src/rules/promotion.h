#pragma once
// Promotion: the far three rows of each side, and the two-button prompt with which the mover
// answers whether the piece that has just moved there is promoted.

#include "platform/core/platform.h"

// Answers of PromotionPrompt.
constexpr int PROMPT_WAITING = 0;
constexpr int PROMPT_PROMOTE = 1;
constexpr int PROMPT_KEEP = 2;

// True when row lies in side's promotion zone: rows 6..8 for side 0, rows 0..2 for side 1.
bool InPromotionZone(int side, int row);

// True when SelectedPiece, having ended a move on its square, is offered promotion: it is not
// promoted yet and stands in SideToMove's promotion zone.
bool PromotionOffered();

// Draws the promote and keep buttons above the anchor (px, py), the mover origin of the moved
// piece, and tests them against the pointer (mx, my). A held left button over a button answers
// at once. Gold and king are never promoted: the answer is PROMPT_KEEP without drawing. With no
// piece selected there is nothing to promote either, so the answer is PROMPT_KEEP.
int PromotionPrompt(Surface* surface, int px, int py, int mx, int my);
