#pragma once
// The game state as JSON, for the headless backend's dumps.
#include <string>
std::string DumpGameState();
