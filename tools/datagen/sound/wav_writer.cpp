// The RIFF/WAVE writer of the data generator.
#include "sound/wav_writer.h"

#include <cstdio>

#include "file_io.h"

namespace soundgen {

namespace {

void PutU16(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value & 0xFF));
    out.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
}

void PutU32(std::vector<uint8_t>& out, uint32_t value) {
    PutU16(out, value & 0xFFFF);
    PutU16(out, value >> 16);
}

void PutTag(std::vector<uint8_t>& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }

}  // namespace

bool WriteWav(const std::string& path, const std::vector<int16_t>& samples, int sampleRate,
              int channels) {
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    const uint32_t blockAlign = static_cast<uint32_t>(channels) * 2;
    std::vector<uint8_t> bytes;
    bytes.reserve(44 + dataBytes + 1);
    PutTag(bytes, "RIFF");
    PutU32(bytes, 4 + (8 + 16) + (8 + dataBytes + (dataBytes & 1)));
    PutTag(bytes, "WAVE");
    PutTag(bytes, "fmt ");
    PutU32(bytes, 16);
    PutU16(bytes, 1);  // PCM
    PutU16(bytes, static_cast<uint32_t>(channels));
    PutU32(bytes, static_cast<uint32_t>(sampleRate));
    PutU32(bytes, static_cast<uint32_t>(sampleRate) * blockAlign);
    PutU16(bytes, blockAlign);
    PutU16(bytes, 16);
    PutTag(bytes, "data");
    PutU32(bytes, dataBytes);
    for (int16_t sample : samples) {
        PutU16(bytes, static_cast<uint16_t>(sample));
    }
    if (dataBytes & 1) {
        bytes.push_back(0);  // chunks are padded to an even size
    }

    return WriteBinaryFile(path, bytes);
}

}  // namespace soundgen
