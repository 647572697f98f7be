#pragma once
// The data generator: writes everything the game loads from DATA, deterministically, from code
// kept in this folder. Each writer returns false (with a message on stderr) on failure.

#include <string>

// DATA/BMP/*.bmp, the English sheets DATA/BMP/EN/*.bmp, DATA/TXT/SYOGI.dat and
// DATA/TXT/palet.dat under outDir. Fails, naming them, when an English word does not fit its box.
bool WriteArtwork(const std::string& outDir);
// PNG previews of every sheet (the English ones too, with a report of how each English word fits)
// and palette into previewDir.
bool WriteArtworkPreviews(const std::string& previewDir);
// The desktop icons under dir in the hicolor theme's layout: SIZExSIZE/apps/kelmorav.png for
// 32, 48, 64, 128 and 256 pixels and scalable/apps/kelmorav.svg.
bool WriteIcons(const std::string& dir);
// DATA/SOUND/*.wav under outDir.
bool WriteSoundEffects(const std::string& outDir);
// DATA/BGM/BGM1.mid, BGM2.mid, BGM3.mid under outDir.
bool WriteMusic(const std::string& outDir);
