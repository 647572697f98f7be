#pragma once
// The title: the opening logo, then the menu whose pictures burn in rising flames.

#include <cstdint>

#include "platform/core/platform.h"

// Steps of the title (TitleStep), in the order a visit runs through them; there are no steps 5
// and 6.
constexpr int TITLE_RESTART = 10;     // clears the screen; every visit begins here
constexpr int TITLE_BLACK_PAUSE = 0;  // 61 black frames
constexpr int TITLE_LOGO_IN = 1;      // the logo fades in
constexpr int TITLE_LOGO_SHOWN = 2;   // the logo stays, then fades out
constexpr int TITLE_DARK_PAUSE = 3;   // 61 dark frames
constexpr int TITLE_MENU_SETUP = 4;   // a fire palette and the band that feeds the first flames
constexpr int TITLE_MENU = 7;         // the burning menu
constexpr int TITLE_CHOSEN = 8;       // an item was chosen: the menu burns away as it fades out
constexpr int TITLE_LEAVE = 9;        // to the match after 30 frames, or to the quit at once

extern int TitleStep;     // sub-state of TitleFrame: one of the TITLE_ steps
extern int TitleCounter;  // frames of the current sub-state
extern int MenuChoice;    // 0 start a match, 1 quit, -1 none yet

void TitleLoad();
void TitleFrame();
// Releases TitleArt and TitleWork (each only if set) and stops and closes the music.
void ReleaseTitle();
// In English, the unseen canvas on which the Japanese pictures burn with the game's random
// numbers (and, after the hot zone's click, the Japanese screen melts), so that either language
// draws the same numbers; null in Japanese. The shown English canvas burns with
// ShownTitleFireRand's numbers (0..32767) instead.
Surface* UnseenJapaneseTitleCanvas();
int ShownTitleFireRand();

// True when the 4x4 box at the pointer's position overlaps rect.
bool PointerOver(const Rect& rect);
// The pointer position the title uses (read once per frame from the platform).
void SetTitlePointer(int x, int y);

// The menu frame's work on TitleWork: the flame passes over the pictures, the two items (with
// their hover and choice tests) and the hot zone; then the composition onto BackBuffer with the
// caption strip and the fades.
void TitleBurn();
void TitleCompose();

// One flame pass over rows firstRow..lastRow and columns firstColumn..lastColumn of a locked
// canvas: each source pixel v writes the pixel above it: 0 when v <= threshold, otherwise
// v - (rand mod threshold). A region that does not fit the canvas is left alone.
void BurnRegion(const LockedSurface& canvas, int firstRow, int lastRow, int firstColumn,
                int lastColumn, int threshold);
