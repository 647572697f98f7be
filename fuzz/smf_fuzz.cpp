// libFuzzer target: the Standard MIDI File reader on arbitrary bytes.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/audio/midi_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MidiFileInfo info;
    std::string error;
    bool read = ReadMidiFile(data, size, &info, &error);
    if (read && (info.tracksRead == 0 || info.tracksRead > info.trackCount)) std::abort();
    if (!read && error.empty()) std::abort();
    return 0;
}
