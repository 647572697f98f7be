#pragma once
// Which sides the computer plays and how strongly. The command line sets them (--computer,
// --level), the match's computer key hands the side to move over or takes it back. Nobody is
// played by the computer unless asked: with the defaults every side is a person's.

#include <cstdint>

constexpr int COMPUTER_LEVEL_MIN = 1;
constexpr int COMPUTER_LEVEL_MAX = 5;
constexpr int COMPUTER_LEVEL_DEFAULT = 3;

// Bit 0: the computer plays side 0 (一之方, the first side); bit 1: side 1.
extern uint8_t ComputerSides;
// 1 (a gentle beginner) to 5 (the strongest).
extern int ComputerLevel;

bool ComputerPlays(int side);
// Both sides to the computer: a demonstration that runs from the title through a match and the
// result screen back to the title by itself.
bool ComputerPlaysBoth();
// Hands `side` to the computer, or takes it back.
void ToggleComputerSide(int side);

// "none", "first", "second" or "both" as sides bits; false for any other word.
bool ParseComputerSides(const char* word, uint8_t* sides);
// The word of a sides value.
const char* ComputerSidesWord(uint8_t sides);
