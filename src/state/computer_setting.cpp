#include "state/computer_setting.h"

#include <cstring>

uint8_t ComputerSides = 0;
int ComputerLevel = COMPUTER_LEVEL_DEFAULT;

namespace {

constexpr const char* SIDES_WORDS[4] = {"none", "first", "second", "both"};

}  // namespace

bool ComputerPlays(int side) { return side >= 0 && side <= 1 && (ComputerSides >> side & 1) != 0; }

bool ComputerPlaysBoth() { return (ComputerSides & 3) == 3; }

void ToggleComputerSide(int side) {
    if (side < 0 || side > 1) return;
    ComputerSides = static_cast<uint8_t>((ComputerSides ^ (1 << side)) & 3);
}

bool ParseComputerSides(const char* word, uint8_t* sides) {
    if (word == nullptr) return false;
    for (uint8_t i = 0; i < 4; ++i) {
        if (std::strcmp(word, SIDES_WORDS[i]) == 0) {
            *sides = i;
            return true;
        }
    }
    return false;
}

const char* ComputerSidesWord(uint8_t sides) { return SIDES_WORDS[sides & 3]; }
