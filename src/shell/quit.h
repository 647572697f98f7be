#pragma once
// Start-up of everything that lives for the whole run, and the quit that tears it down.

#include <cstdint>

// Start-up steps after the window: display pair, sound, voices, random seed, blend table and
// trigonometric tables; then Scene is SCENE_TITLE_LOAD.
void StartUp(uint32_t seed);

// Fills SinTable and CosTable.
void FillTrigTables();

// The quit: restores the display, releases every scene group's objects, the display pair and
// the voices, stops and closes the music, and posts the quit message. A second request after
// the first has run does nothing.
void QuitGame();
// True once QuitGame has run.
bool QuitGameHasRun();
