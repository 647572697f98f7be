// libFuzzer target: the RIFF WAVE reader and voice creation on arbitrary file contents.
#include <stdio.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "media/sound.h"
#include "platform/core/platform.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    std::vector<uint8_t> copy(data, data + size);  // fmemopen wants a writable buffer
    WaveReader reader;
    if (!reader.OpenFile(fmemopen(copy.data(), copy.size(), "rb"))) return 0;
    // The reader may never offer more sample bytes than the file holds.
    if (reader.DataLeft() > size) std::abort();
    Voice* voice = CreateSoundBuffer(reader.Format(), reader.DataLeft());
    uint8_t* samples = nullptr;
    uint32_t bytes = 0;
    if (voice != nullptr && LockSoundBuffer(voice, &samples, &bytes)) {
        if (reader.Read(bytes, samples) != static_cast<int64_t>(bytes)) std::abort();
        UnlockSoundBuffer(voice);
    }
    ReleaseSoundBuffer(voice);
    if (!reader.Reset()) std::abort();
    std::vector<uint8_t> buffer(977);
    int64_t total = 0;
    for (int64_t got = 0;
         (got = reader.Read(static_cast<uint32_t>(buffer.size()), buffer.data())) > 0;) {
        total += got;
    }
    if (total > static_cast<int64_t>(size)) std::abort();
    return 0;
}
