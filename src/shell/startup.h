#pragma once
// Start-up of everything that lives for the whole run.

#include <cstdint>
#include <string>

// Start-up steps after the window: display pair, sound, voices, random seed, blend table and
// trigonometric tables; then Scene is SCENE_TITLE_LOAD.
void StartUp(uint32_t seed);

// Fills SinTable and CosTable.
void FillTrigTables();
