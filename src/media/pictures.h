#pragma once
// The pictures that carry words come in a set for each language: the Japanese ones in DATA\BMP,
// the English ones beside them in DATA\BMP\EN under the same names, with the same cells.

#include <string>

// The game path to load for a picture given by its Japanese path ("DATA\BMP\ETC.bmp"): itself
// in Japanese; in English the picture of the same name in DATA\BMP\EN. When that one cannot be
// opened the Japanese picture is shown instead, and the English one is named once a run on
// stderr.
std::string LanguagePicture(const char* japanesePath);
