#pragma once
// The options card: F2 on the title, in a match and on the result screen lays a card over the
// picture (the platform's open overlay, as the help card is laid) with the player's options,
// one row each from the table of option rows. While it is open it takes the keys and the mouse:
// Up and Down choose a row, Left and Right change it, a click on the arrows or either half of a
// value changes it, a click on 閉じる or F2 closes the card; nothing but Escape reaches the scene
// underneath, whose frames go on, and closing shows the scene's own picture again.

#include "platform/core/platform.h"

// True on the screens that have the card.
bool OptionsCardAvailable(int scene);
bool OptionsCardOpen();
void OpenOptionsCard();
void CloseOptionsCard();

// A key pressed while the card is open (F2 and Escape are the shell's).
void OptionsCardKey(int key);
// A press of a mouse button at (x, y) of the picture while the card is open.
void OptionsCardClick(int x, int y);

// The open overlay: draws the card over picture in the colours of palette nearest its own.
void ComposeOptionsCard(Surface* picture, const PaletteEntry palette[256]);

// Where the card lies and where its parts are, in picture pixels, for the pointer and for tests.
struct OptionsCardLayout {
    Rect card;
    Rect close;  // the 閉じる button
    int rowTop;
    int rowHeight;
    int valueLeft;  // the value box of each row spans valueLeft .. valueRight
    int valueRight;
};
const OptionsCardLayout& OptionsCardGeometry();
