// The Standard MIDI File writer of the data generator.
#include "music/midi_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "file_io.h"

namespace musicgen {

namespace {

void PutVarLen(std::vector<uint8_t>& out, uint32_t value) {
    uint8_t groups[5];
    int count = 0;
    do {
        groups[count++] = static_cast<uint8_t>(value & 0x7F);
        value >>= 7;
    } while (value != 0);
    while (count > 1) {
        out.push_back(static_cast<uint8_t>(groups[--count] | 0x80));
    }
    out.push_back(groups[0]);
}

void PutBigEndian(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8) {
        out.push_back(static_cast<uint8_t>((value >> shift) & 0xFF));
    }
}

uint8_t Data7(int value) { return static_cast<uint8_t>(std::clamp(value, 0, 127)); }

uint8_t Status(int kind, int channel) { return static_cast<uint8_t>(kind | (channel & 0x0F)); }

}  // namespace

MidiTrack::MidiTrack(const std::string& name) {
    std::vector<uint8_t> bytes = {0xFF, 0x03};
    PutVarLen(bytes, static_cast<uint32_t>(name.size()));
    bytes.insert(bytes.end(), name.begin(), name.end());
    Add(0, 0, bytes);
}

void MidiTrack::Add(long tick, int order, std::vector<uint8_t> bytes) {
    tick = std::max(0L, tick);
    events_.push_back({tick, order, static_cast<int>(events_.size()), std::move(bytes)});
    lastTick_ = std::max(lastTick_, tick);
}

void MidiTrack::Tempo(long tick, double bpm) {
    const uint32_t microseconds = static_cast<uint32_t>(std::lround(60000000.0 / bpm));
    std::vector<uint8_t> bytes = {0xFF, 0x51, 0x03};
    PutBigEndian(bytes, microseconds, 3);
    Add(tick, 0, bytes);
}

void MidiTrack::TimeSignature(long tick, int numerator, int denominator) {
    uint8_t power = 0;
    while ((1 << power) < denominator) {
        ++power;
    }
    Add(tick, 0, {0xFF, 0x58, 0x04, Data7(numerator), power, 24, 8});
}

void MidiTrack::Program(long tick, int channel, int program) {
    Add(tick, 1, {Status(0xC0, channel), Data7(program)});
}

void MidiTrack::Control(long tick, int channel, int controller, int value) {
    Add(tick, 1, {Status(0xB0, channel), Data7(controller), Data7(value)});
}

void MidiTrack::ControlRamp(long from, long to, int channel, int controller, int startValue,
                            int endValue) {
    int previous = -1;
    for (long tick = from; tick <= to; tick += SIXTEENTH) {
        const double f = to > from ? static_cast<double>(tick - from) / (to - from) : 1.0;
        const int value = static_cast<int>(std::lround(startValue + (endValue - startValue) * f));
        if (value != previous) {
            Control(tick, channel, controller, value);
            previous = value;
        }
    }
}

void MidiTrack::Note(long tick, long duration, int channel, int key, int velocity) {
    if (duration <= 0 || key < 0 || key > 127) {
        return;
    }
    Add(tick, 3, {Status(0x90, channel), Data7(key), Data7(std::max(1, velocity))});
    Add(tick + duration, 2, {Status(0x80, channel), Data7(key), 64});
}

std::vector<uint8_t> MidiTrack::Encode(long endTick) const {
    std::vector<Event> sorted = events_;
    std::sort(sorted.begin(), sorted.end(), [](const Event& a, const Event& b) {
        if (a.tick != b.tick) {
            return a.tick < b.tick;
        }
        if (a.order != b.order) {
            return a.order < b.order;
        }
        return a.sequence < b.sequence;
    });
    // A note struck again while it still sounds is first released, and the older note's own
    // release is dropped later, so a key never carries two overlapping notes on a channel
    // (a synthesiser would cut the new note short at the old note's end).
    int sounding[16][128] = {};
    int dropOffs[16][128] = {};
    std::vector<uint8_t> body;
    long now = 0;
    for (const Event& event : sorted) {
        const int kind = event.bytes[0] & 0xF0;
        if (kind == 0x90 || kind == 0x80) {
            const int channel = event.bytes[0] & 0x0F;
            const int key = event.bytes[1];
            if (kind == 0x80) {
                if (dropOffs[channel][key] > 0) {
                    --dropOffs[channel][key];
                    continue;
                }
                --sounding[channel][key];
            } else {
                if (sounding[channel][key] > 0) {
                    PutVarLen(body, static_cast<uint32_t>(event.tick - now));
                    body.insert(body.end(), {static_cast<uint8_t>(0x80 | channel),
                                             static_cast<uint8_t>(key), 64});
                    now = event.tick;
                    dropOffs[channel][key] += sounding[channel][key];
                    sounding[channel][key] = 0;
                }
                ++sounding[channel][key];
            }
        }
        PutVarLen(body, static_cast<uint32_t>(event.tick - now));
        body.insert(body.end(), event.bytes.begin(), event.bytes.end());
        now = event.tick;
    }
    PutVarLen(body, static_cast<uint32_t>(std::max(endTick, now) - now));
    body.insert(body.end(), {0xFF, 0x2F, 0x00});

    std::vector<uint8_t> chunk = {'M', 'T', 'r', 'k'};
    PutBigEndian(chunk, static_cast<uint32_t>(body.size()), 4);
    chunk.insert(chunk.end(), body.begin(), body.end());
    return chunk;
}

bool WriteMidiFile(const std::string& path, const std::vector<MidiTrack>& tracks, long endTick) {
    std::vector<uint8_t> bytes = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1};
    PutBigEndian(bytes, static_cast<uint32_t>(tracks.size()), 2);
    PutBigEndian(bytes, static_cast<uint32_t>(PPQ), 2);
    for (const MidiTrack& track : tracks) {
        const std::vector<uint8_t> chunk = track.Encode(endTick);
        bytes.insert(bytes.end(), chunk.begin(), chunk.end());
    }
    return WriteBinaryFile(path, bytes);
}

}  // namespace musicgen
