#pragma once
// The help card: while F1 is held, a card over the current scene lists the keys of that scene
// and what the words on its screen mean, in Japanese with English beside it. It is laid only
// over what is presented (the platform's present overlay), never into the game's own surfaces:
// the scene's frames go on underneath and releasing F1 shows its picture again.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "match/blocking_sequences.h"
#include "platform/core/platform.h"
#include "state/controls.h"

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

// One line of text of a laid-out card and the box its letters take, in picture pixels.
struct HelpCardText {
    std::string text;
    Rect box;
};

// Where a card's texts stand: the card, the band of its title line, the columns below it (each
// from the top of the sections to the bottom of the card's inside) and every text.
struct HelpCardLayout {
    Rect card;
    Rect title;
    std::vector<Rect> columns;
    std::vector<HelpCardText> texts;
};

// Lays out a card over a picture of width x height (the overlay's picture is 640x480 at least).
// The result screen's card says how the match ended as ending tells it. extraKeys are laid out
// after the screen's own keys, as keys added to the list would be.
HelpCardLayout LayOutHelpCard(HelpCardId card, int width, int height, const MatchEnding& ending,
                              std::span<const Control> extraKeys = {});

// The present overlay: draws the card of the current scene over picture, a solid plate in the
// colours of palette that come nearest to the card's own. Installed by the start-up for the F1
// key.
void ComposeHelpCard(Surface* picture, const PaletteEntry palette[256]);

// The roles of a card's rim in the game's plaque style, and the routine that lays it into a mask
// of roles the size of the card: cut corners (outside), a dark line, a gold rim, a dark line
// again, and the inside. The help card and the options card share it.
struct CardRimRoles {
    uint8_t outside;
    uint8_t edge;
    uint8_t rim;
    uint8_t inside;
};
void DrawCardRim(Surface& mask, const CardRimRoles& roles);
