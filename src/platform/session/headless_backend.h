#pragma once
// The headless backend: no window and no devices; a script gives the input on a virtual clock.

#include <string>

#include "platform/core/backend.h"

Backend* MakeHeadlessBackend();

// Headless runs only: a source of more script text, asked each time the script has run out.
// It appends lines to *text and returns true to go on, or returns false to let the run end as
// it does at the end of a script. A driver that watches the game (the soak) uses it to choose
// its next input from the state the game is in; without one a script ends where its file ends.
using ScriptRefill = bool (*)(std::string* text);
void SetScriptRefill(ScriptRefill refill);
