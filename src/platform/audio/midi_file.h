#pragma once
// Our own reader of Standard MIDI Files, used to know how long a piece of music lasts (the
// headless sequencer plays in virtual time, and every sequencer checks a file before it takes
// it). It reads only what timing needs: the header, the track events with running status, and
// the tempo changes. Any byte sequence is safe to give it.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct MidiFileInfo {
    uint16_t format = 0;      // 0 or 1
    uint16_t trackCount = 0;  // tracks the header announces
    uint16_t tracksRead = 0;  // "MTrk" chunks actually found
    uint16_t division = 0;    // raw header field
    uint64_t endTick = 0;     // tick of the last track's end
    uint32_t tempoChanges = 0;
    uint32_t lengthMs = 0;   // playing time, capped at UINT32_MAX
    bool truncated = false;  // a track or the file ended early; what was there was used
};

// Reads the file image. False (with a short reason in *error) when it is not a format 0 or 1
// MIDI file with a usable header and at least one track; damage inside a track (bad lengths,
// truncation, stray bytes) ends that track where the damage starts and sets truncated.
bool ReadMidiFile(const uint8_t* data, size_t size, MidiFileInfo* info, std::string* error);

// Reads a file from disk (host path) and calls ReadMidiFile. Files over 16 MiB are refused. The
// file's bytes are left in *bytes when it is given (every player reads a piece the same way, so
// a broken piece is described the same whoever plays it).
bool ReadMidiFileAt(const std::string& hostPath, MidiFileInfo* info, std::string* error,
                    std::vector<uint8_t>* bytes = nullptr);
