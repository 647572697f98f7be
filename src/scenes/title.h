#pragma once
// The title: the opening logo, then the menu whose pictures burn in rising flames.

#include <cstdint>

#include "platform/platform.h"

extern int TitleStep;       // sub-state of TitleFrame: 10, 0, 1, 2, 3, 4, 7, 8, 9
extern int TitleCounter;    // frames of the current sub-state
extern int MenuChoice;      // 0 start a match, 1 quit, -1 none yet
extern uint8_t ClickLatch;  // 1 once a held button has been seen; 0 when none is held

void TitleLoad();
void TitleFrame();
// Releases TitleArt and TitleWork (each only if set) and stops and closes the music.
void ReleaseTitle();

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
