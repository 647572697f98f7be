#pragma once
// Writes 16-bit PCM RIFF WAVE files for the game's sound effects, little-endian on every host.

#include <cstdint>
#include <string>
#include <vector>

namespace soundgen {

// Writes interleaved 16-bit samples as a canonical RIFF/WAVE file: "fmt " (PCM, tag 1, 16 bytes)
// followed by "data". Returns false with one line on stderr when the file cannot be written.
bool WriteWav(const std::string& path, const std::vector<int16_t>& samples, int sampleRate,
              int channels);

}  // namespace soundgen
