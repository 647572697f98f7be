#pragma once
// Start-up of everything that lives for the whole run.

#include <cstdint>
#include <string>

// Start-up steps after the window: display pair, sound, voices, random seed, blend table and
// trigonometric tables; then Scene is SCENE_TITLE_LOAD.
void StartUp(uint32_t seed);

// Fills SinTable and CosTable.
void FillTrigTables();

// Checks, before any window opens, that dir is a readable directory holding DATA with its four
// folders (BMP, SOUND, BGM, TXT). Returns "" when it does, else the one line that says what is
// wrong, with the paths as the player typed them. Single missing files are left to the loaders.
std::string DataDirectoryProblem(const std::string& dir);
