#pragma once
// The rows of the options card, one entry each: what the row is called, how many values it
// has, which one holds now and what choosing another does. The card draws and changes them
// through this table only, so a new option is one more entry.

#include <span>
#include <string>

#include "state/settings.h"

struct OptionRow {
    const char* japanese;  // the row's name
    const char* english;
    const char* note;  // said under the value, Japanese and English ("" for none)
    int (*count)();    // how many values the row has
    int (*current)();  // the value now, 0 .. count() - 1
    void (*choose)(int value);
    // The value's Japanese with its English beside, or in English the English alone.
    std::string (*valueText)(int value);
    bool wraps;  // the last value is followed by the first (a switch) rather than stopping
};

std::span<const OptionRow> OptionRows();

// Steps a row's value by delta (-1 or +1): stops at the ends, or goes round for a row that
// wraps. Nothing happens when the value does not change.
void StepOptionRow(const OptionRow& row, int delta);

// The way of presenting chosen for the next start (the card's renderer row; the command line's
// --renderer counts only for its own run).
extern RendererSetting NextRenderer;
