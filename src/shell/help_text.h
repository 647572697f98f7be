#pragma once
// The text of --help: the ways to start the game, then the options, the keys and the mouse
// buttons drawn from the one list of them (state/controls.h), the script commands and the exit
// statuses.

#include <string>

std::string HelpText();
