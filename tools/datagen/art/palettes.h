#pragma once
// The palettes of the artwork: the match palette shared by ETC, COLOR and RANK, the title
// palette, and the sixteen fire palettes whose indexes are heats.

#include <array>
#include <cstdint>

struct Colour {
    uint8_t red = 0, green = 0, blue = 0;
};
using Palette = std::array<Colour, 256>;

constexpr int FIRE_PALETTE_COUNT = 16;

// Palette banks of the match palette (bank b covers indexes 16b .. 16b + 15).
constexpr int BANK_INK = 0;         // neutral ink greys, 0 is black
constexpr int BANK_DARK_WOOD = 8;   // keyaki and walnut
constexpr int BANK_LIGHT_WOOD = 9;  // hinoki and kaya
constexpr int BANK_JADE = 10;       // jade and green stone
constexpr int BANK_LACQUER = 11;    // red urushi lacquer
constexpr int BANK_GOLD = 12;       // gold leaf and brass
constexpr int BANK_MISC = 15;       // tatami (240..247), slate (248..252)
constexpr int SIDE_BANKS[9] = {1, 2, 3, 4, 5, 6, 7, 13, 14};
// The bank the side sheet is stored in (RecolourSheet keeps only the shade).
constexpr int SHEET_BANK = 1;

// Index of shade s (0..15) of bank b.
constexpr uint8_t Shade(int bank, int shade) { return static_cast<uint8_t>(bank * 16 + shade); }
constexpr uint8_t TATAMI_BASE = 240;  // 8 shades
constexpr uint8_t SLATE_BASE = 248;   // 5 shades

const Palette& MatchPalette();
const Palette& TitlePalette();
// n = 1 .. 16.
const Palette& FirePalette(int n);
// Short name of fire palette n for the previews.
const char* FirePaletteName(int n);
