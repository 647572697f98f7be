#pragma once
// The help card: while F1 is held, a translucent card over the current scene lists the keys of
// that scene and what the words on its screen mean, in Japanese with English beside it. It is
// laid only over what is presented (the platform's present overlay), never into the game's own
// surfaces: the scene's frames go on underneath and releasing F1 shows its picture again.

#include <cstdint>

#include "platform/core/platform.h"

// The cards, one for each group of scenes.
enum HelpCardId {
    HELP_CARD_NONE,
    HELP_CARD_TITLE,
    HELP_CARD_MATCH,
    HELP_CARD_RESULT,
    HELP_CARD_ENDING
};

// The card of a scene number (HELP_CARD_NONE for the quit and for numbers without a scene).
HelpCardId HelpCardOf(int scene);

// The present overlay: draws the card of the current scene over picture, in the colours of
// palette that come nearest to the card's own, fitted to the picture's size (640x480 or the
// ending's 320x240). Installed by the start-up for the F1 key.
void ComposeHelpCard(Surface* picture, const PaletteEntry palette[256]);
