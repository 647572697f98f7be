#pragma once
// Small WAV and MIDI files built byte by byte for the sound tests.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "support/test_files.h"

namespace soundtest {

using Bytes = std::vector<uint8_t>;

inline void Put16(Bytes& b, uint32_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}
inline void Put32(Bytes& b, uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}
inline void PutTag(Bytes& b, const char* tag) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(tag[i]));
}

// One chunk with the given declared size (defaults to the body's) and its pad byte when the
// body is odd.
inline Bytes Chunk(const char* id, const Bytes& body, int64_t declared = -1, bool pad = true) {
    Bytes b;
    PutTag(b, id);
    Put32(b, declared < 0 ? static_cast<uint32_t>(body.size()) : static_cast<uint32_t>(declared));
    b.insert(b.end(), body.begin(), body.end());
    if (pad && (body.size() & 1)) b.push_back(0);
    return b;
}

inline Bytes FmtBody(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits) {
    Bytes b;
    uint16_t align = static_cast<uint16_t>(channels * bits / 8);
    Put16(b, tag);
    Put16(b, channels);
    Put32(b, rate);
    Put32(b, rate * align);
    Put16(b, align);
    Put16(b, bits);
    return b;
}

// RIFF WAVE around the given chunks; riffSize < 0 means the true size.
inline Bytes Riff(const std::vector<Bytes>& chunks, int64_t riffSize = -1) {
    Bytes body;
    PutTag(body, "WAVE");
    for (const Bytes& c : chunks) body.insert(body.end(), c.begin(), c.end());
    Bytes b;
    PutTag(b, "RIFF");
    Put32(b, riffSize < 0 ? static_cast<uint32_t>(body.size()) : static_cast<uint32_t>(riffSize));
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

inline Bytes Samples(size_t count, uint8_t seed = 1) {
    Bytes b(count);
    for (size_t i = 0; i < count; ++i) b[i] = static_cast<uint8_t>(seed + i * 7);
    return b;
}

// A plain PCM file: 16-bit stereo at 44100 Hz unless told otherwise.
inline Bytes PcmWave(const Bytes& samples, uint16_t channels = 2, uint32_t rate = 44100,
                     uint16_t bits = 16) {
    return Riff({Chunk("fmt ", FmtBody(1, channels, rate, bits)), Chunk("data", samples)});
}

// --- MIDI ---------------------------------------------------------------------------------------

inline void PutBe16(Bytes& b, uint32_t v) {
    b.push_back(static_cast<uint8_t>(v >> 8));
    b.push_back(static_cast<uint8_t>(v));
}
inline void PutBe32(Bytes& b, uint32_t v) {
    PutBe16(b, v >> 16);
    PutBe16(b, v & 0xFFFF);
}
inline void PutVlq(Bytes& b, uint32_t v) {
    uint8_t parts[5];
    int n = 0;
    do {
        parts[n++] = static_cast<uint8_t>(v & 0x7F);
        v >>= 7;
    } while (v != 0);
    while (n > 1) b.push_back(static_cast<uint8_t>(parts[--n] | 0x80));
    b.push_back(parts[0]);
}

// Track event helpers: each takes the delta time before the event.
inline void Tempo(Bytes& t, uint32_t delta, uint32_t microsPerQuarter) {
    PutVlq(t, delta);
    t.insert(t.end(), {0xFF, 0x51, 0x03});
    t.push_back(static_cast<uint8_t>(microsPerQuarter >> 16));
    t.push_back(static_cast<uint8_t>(microsPerQuarter >> 8));
    t.push_back(static_cast<uint8_t>(microsPerQuarter));
}
inline void NoteOn(Bytes& t, uint32_t delta, uint8_t key, bool runningStatus = false) {
    PutVlq(t, delta);
    if (!runningStatus) t.push_back(0x90);
    t.push_back(key);
    t.push_back(100);
}
inline void EndOfTrack(Bytes& t, uint32_t delta) {
    PutVlq(t, delta);
    t.insert(t.end(), {0xFF, 0x2F, 0x00});
}

inline Bytes Midi(uint16_t format, uint16_t division, const std::vector<Bytes>& tracks,
                  int trackCountOverride = -1) {
    Bytes b;
    PutTag(b, "MThd");
    PutBe32(b, 6);
    PutBe16(b, format);
    PutBe16(b, trackCountOverride < 0 ? static_cast<uint32_t>(tracks.size())
                                      : static_cast<uint32_t>(trackCountOverride));
    PutBe16(b, division);
    for (const Bytes& t : tracks) {
        PutTag(b, "MTrk");
        PutBe32(b, static_cast<uint32_t>(t.size()));
        b.insert(b.end(), t.begin(), t.end());
    }
    return b;
}

// A one-track piece that lasts `ms` milliseconds at the default tempo (480 ticks per quarter,
// so one tick is 500000 / 480 microseconds; ms * 24 / 25 ticks).
inline Bytes MidiLasting(uint32_t ms) {
    Bytes t;
    NoteOn(t, 0, 60);
    EndOfTrack(t, ms * 24 / 25);
    return Midi(0, 480, {t});
}

using testfiles::TempDir;

}  // namespace soundtest
