// The MIDI reader's idea of how long a piece lasts, on well-formed and damaged files.
#include "platform/audio/midi_file.h"

#include <gtest/gtest.h>

#include "support/sound_test_files.h"

using namespace soundtest;

namespace {

struct MidiCase {
    const char* name;
    Bytes file;
    bool reads;
    uint32_t lengthMs = 0;
    bool truncated = false;
};

Bytes TrackOf(std::initializer_list<uint8_t> bytes) { return Bytes(bytes); }

std::vector<MidiCase> Cases() {
    std::vector<MidiCase> cases;
    {
        // 960 ticks at 480 per quarter and 120 bpm: one second.
        Bytes t;
        NoteOn(t, 0, 60);
        EndOfTrack(t, 960);
        cases.push_back({"DefaultTempo", Midi(0, 480, {t}), true, 1000});
    }
    {
        // Half a second at 120 bpm, then 480 ticks at twice the speed: 0.75 s.
        Bytes t;
        NoteOn(t, 0, 60);
        Tempo(t, 480, 250000);
        EndOfTrack(t, 480);
        cases.push_back({"TempoChangeMidway", Midi(0, 480, {t}), true, 750});
    }
    {
        // Format 1: the tempo map in the first track, the longest track decides the end.
        Bytes conductor;
        Tempo(conductor, 0, 1000000);
        Tempo(conductor, 96, 500000);
        EndOfTrack(conductor, 0);
        Bytes notes;
        NoteOn(notes, 0, 60);
        NoteOn(notes, 96, 62, true);  // running status
        NoteOn(notes, 96, 64, true);
        EndOfTrack(notes, 96);
        // 96 ticks at 1 s per quarter + 192 ticks at 0.5 s: 1 s + 1 s.
        cases.push_back({"Format1TempoTrack", Midi(1, 96, {conductor, notes}), true, 2000});
    }
    {
        // 25 frames per second, 40 ticks per frame: 1000 ticks per second.
        Bytes t;
        NoteOn(t, 0, 60);
        EndOfTrack(t, 2500);
        uint16_t smpte = static_cast<uint16_t>((0x100 - 25) << 8 | 40);
        cases.push_back({"SmpteDivision", Midi(0, smpte, {t}), true, 2500});
    }
    {
        // Sysex and other meta events are stepped over; program change has one data byte.
        Bytes t = TrackOf({0x00, 0xF0, 0x03, 0x7E, 0x7F, 0xF7, 0x00, 0xC0, 0x05, 0x00, 0xFF, 0x03,
                           0x02, 'h', 'i'});
        NoteOn(t, 480, 60);
        EndOfTrack(t, 480);
        cases.push_back({"SysexMetaAndProgramChange", Midi(0, 480, {t}), true, 1000});
    }
    {
        Bytes t;
        NoteOn(t, 0, 60);
        EndOfTrack(t, 960);
        Bytes file = Midi(0, 480, {t});
        file.resize(file.size() - 4);  // the end of track and part of its delta are gone
        cases.push_back({"TruncatedTrack", file, true, 0, true});
    }
    {
        Bytes t;
        NoteOn(t, 480, 60);
        t.insert(t.end(), {0x00, 0x40, 0x7F});  // delta 0, then a note on by running status
        EndOfTrack(t, 480);
        cases.push_back({"RunningStatusAfterNote", Midi(0, 480, {t}), true, 1000});
    }
    {
        // A stray data byte with no status to run on ends the track where it stands.
        Bytes t = TrackOf({0x00, 0x40, 0x40});
        cases.push_back({"DataByteWithoutStatus", Midi(0, 480, {t}), true, 0, true});
    }
    {
        // Track length past the end of the file: what is there is used.
        Bytes t;
        NoteOn(t, 0, 60);
        EndOfTrack(t, 480);
        Bytes file = Midi(0, 480, {t});
        file[18] = 0x7F;  // MTrk length high byte
        cases.push_back({"TrackLengthPastEnd", file, true, 500, true});
    }
    {
        // Four huge deltas of 0x0FFFFFFF ticks at 1 tick per quarter and the slowest tempo:
        // the length caps at the clock's range instead of wrapping.
        Bytes t;
        Tempo(t, 0, 0xFFFFFF);
        for (int i = 0; i < 4; ++i) NoteOn(t, 0x0FFFFFFF, 60);
        EndOfTrack(t, 0x0FFFFFFF);
        cases.push_back({"HugeDeltasCap", Midi(0, 1, {t}), true, UINT32_MAX});
    }
    {
        // A five-byte delta is not a MIDI number.
        Bytes t = TrackOf({0x81, 0x81, 0x81, 0x81, 0x01, 0x90, 0x3C, 0x40});
        cases.push_back({"OverlongDelta", Midi(0, 480, {t}), true, 0, true});
    }
    {
        // The header announces three tracks, one is there.
        Bytes t;
        EndOfTrack(t, 480);
        cases.push_back({"MissingTracks", Midi(1, 480, {t}, 3), true, 500, true});
    }
    {
        Bytes t;
        EndOfTrack(t, 480);
        Bytes withJunk = Midi(0, 480, {});
        withJunk[11] = 1;  // one track announced
        Bytes junk = {'J', 'U', 'N', 'K', 0, 0, 0, 2, 1, 2};
        withJunk.insert(withJunk.end(), junk.begin(), junk.end());
        Bytes real = Midi(0, 480, {t});
        withJunk.insert(withJunk.end(), real.begin() + 14, real.end());
        cases.push_back({"UnknownChunkSkipped", withJunk, true, 500});
    }
    Bytes t;
    EndOfTrack(t, 10);
    cases.push_back({"Format2Refused", Midi(2, 480, {t}), false});
    cases.push_back({"ZeroDivision", Midi(0, 0, {t}), false});
    cases.push_back({"NoTracks", Midi(0, 480, {}), false});
    cases.push_back({"NotMidi", Bytes{'R', 'I', 'F', 'F', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96}, false});
    Bytes shortHeader = Midi(0, 480, {t});
    shortHeader[7] = 5;
    cases.push_back({"HeaderShorterThan6", shortHeader, false});
    Bytes hugeHeader = Midi(0, 480, {t});
    hugeHeader[4] = 0xFF;
    cases.push_back({"HeaderLengthPastEnd", hugeHeader, false});
    cases.push_back({"Empty", Bytes{}, false});
    return cases;
}

class MidiFileCases : public ::testing::TestWithParam<MidiCase> {};

TEST_P(MidiFileCases, LengthOrRefusal) {
    const MidiCase& c = GetParam();
    MidiFileInfo info;
    std::string error;
    bool read = ReadMidiFile(c.file.data(), c.file.size(), &info, &error);
    ASSERT_EQ(read, c.reads) << error;
    if (!read) {
        EXPECT_FALSE(error.empty());
        return;
    }
    EXPECT_EQ(info.lengthMs, c.lengthMs);
    EXPECT_EQ(info.truncated, c.truncated);
}

INSTANTIATE_TEST_SUITE_P(Files, MidiFileCases, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
