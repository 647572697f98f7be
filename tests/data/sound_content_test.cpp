// Checks the sound effects and music that the data generator writes into the build's DATA:
// every WAV is 16-bit PCM at a sensible level without clicks, every MIDI file is a well-formed
// SMF whose length (through its tempo changes) fits the scene it plays under.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

uint32_t Le(const std::vector<uint8_t>& b, size_t at, int bytes) {
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) {
        value = (value << 8) | b[at + i];
    }
    return value;
}

uint32_t Be(const std::vector<uint8_t>& b, size_t at, int bytes) {
    uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) {
        value = (value << 8) | b[at + i];
    }
    return value;
}

// ---- sound effects -----------------------------------------------------------------------

struct Wave {
    int formatTag = 0, channels = 0, rate = 0, bits = 0;
    std::vector<int16_t> samples;
};

// Walks the RIFF chunks with bounds checks; false when the file is not a readable WAVE.
bool ParseWave(const std::vector<uint8_t>& b, Wave& wave) {
    if (b.size() < 12 || std::string(b.begin(), b.begin() + 4) != "RIFF" ||
        std::string(b.begin() + 8, b.begin() + 12) != "WAVE" || Le(b, 4, 4) + 8 != b.size()) {
        return false;
    }
    bool haveFormat = false;
    for (size_t at = 12; at + 8 <= b.size();) {
        const std::string id(b.begin() + at, b.begin() + at + 4);
        const size_t size = Le(b, at + 4, 4);
        if (size > b.size() - at - 8) {
            return false;
        }
        if (id == "fmt " && size >= 16) {
            wave.formatTag = Le(b, at + 8, 2);
            wave.channels = Le(b, at + 10, 2);
            wave.rate = Le(b, at + 12, 4);
            wave.bits = Le(b, at + 22, 2);
            haveFormat = Le(b, at + 20, 2) == static_cast<uint32_t>(wave.channels * 2) &&
                         Le(b, at + 16, 4) == static_cast<uint32_t>(wave.rate * wave.channels * 2);
        } else if (id == "data" && haveFormat) {
            for (size_t i = 0; i + 1 < size; i += 2) {
                wave.samples.push_back(static_cast<int16_t>(Le(b, at + 8 + i, 2)));
            }
            return true;
        }
        at += 8 + size + (size & 1);
    }
    return false;
}

struct EffectCase {
    const char* file;
    double minSeconds;
    double maxSeconds;
    bool silent;
};

void PrintTo(const EffectCase& c, std::ostream* os) { *os << c.file; }

class SoundEffectFile : public testing::TestWithParam<EffectCase> {};

TEST_P(SoundEffectFile, IsCleanPcmAtTheHouseLevel) {
    const EffectCase& c = GetParam();
    Wave wave;
    ASSERT_TRUE(
        ParseWave(ReadFileBytes(std::string(KELMORAV_BUILD_DIR "/DATA/SOUND/") + c.file), wave));
    EXPECT_EQ(wave.formatTag, 1);
    EXPECT_EQ(wave.bits, 16);
    EXPECT_TRUE(wave.channels == 1 || wave.channels == 2);
    EXPECT_TRUE(wave.rate == 44100 || wave.rate == 22050);
    ASSERT_FALSE(wave.samples.empty());

    const double seconds = static_cast<double>(wave.samples.size()) / wave.channels / wave.rate;
    EXPECT_GE(seconds, c.minSeconds);
    EXPECT_LE(seconds, c.maxSeconds);

    int peak = 0;
    for (int16_t s : wave.samples) {
        peak = std::max(peak, std::abs(static_cast<int>(s)));
    }
    if (c.silent) {
        EXPECT_EQ(peak, 0);
        return;
    }
    const double peakDb = 20.0 * std::log10(peak / 32768.0);
    EXPECT_GE(peakDb, -3.0);
    EXPECT_LE(peakDb, -1.0);
    // A sound that starts or stops away from zero clicks: both ends sit within -50 dBFS.
    for (size_t ch = 0; ch < static_cast<size_t>(wave.channels); ++ch) {
        EXPECT_LE(std::abs(wave.samples[ch]), 100);
        EXPECT_LE(std::abs(wave.samples[wave.samples.size() - wave.channels + ch]), 100);
    }
}

INSTANTIATE_TEST_SUITE_P(
    GeneratedSound, SoundEffectFile,
    testing::Values(
        EffectCase{"TITLE.wav", 0.4, 2.5, false}, EffectCase{"FIRE.wav", 1.0, 6.0, false},
        EffectCase{"CLICK.wav", 0.02, 0.3, false}, EffectCase{"JUMP1.wav", 0.1, 0.8, false},
        EffectCase{"JUMP3.wav", 0.05, 0.5, false}, EffectCase{"EXPLOS1.wav", 0.3, 2.0, false},
        EffectCase{"PON.wav", 0.05, 0.5, false},
        EffectCase{"PON2.wav", 0.05, 0.399, false},  // six of them overlap
        EffectCase{"MAGIC.wav", 0.4, 2.0, false}, EffectCase{"WIBBLE.wav", 0.15, 1.0, false},
        EffectCase{"CLOSE.wav", 0.05, 0.4, false},
        EffectCase{"BANGER.wav", 0.3, 0.6, false},  // struck again every 0.66 s
        EffectCase{"NOSOUND.wav", 0.08, 0.12, true}),
    [](const testing::TestParamInfo<EffectCase>& info) {
        return std::string(info.param.file).substr(0, std::string(info.param.file).find('.'));
    });

// ---- music ---------------------------------------------------------------------------------

struct NoteSpan {
    long on;
    long off;
};

struct Song {
    int format = -1;
    int division = 0;
    std::vector<long> trackEnds;      // tick of each track's End of Track
    std::map<long, uint32_t> tempos;  // tick -> microseconds per quarter note
    std::vector<NoteSpan> notes;
    std::vector<int> programs;
    std::vector<int> velocities;
    int expressionChanges = 0;
    int hangingNotes = 0;  // note-ons never released before End of Track
};

// Reads an SMF with bounds checks and running status; false when it is malformed.
bool ParseSong(const std::vector<uint8_t>& b, Song& song) {
    if (b.size() < 14 || std::string(b.begin(), b.begin() + 4) != "MThd" || Be(b, 4, 4) != 6) {
        return false;
    }
    song.format = Be(b, 8, 2);
    const uint32_t trackCount = Be(b, 10, 2);
    song.division = Be(b, 12, 2);
    if (song.division == 0 || (song.division & 0x8000) != 0) {
        return false;
    }
    size_t at = 14;
    for (uint32_t t = 0; t < trackCount; ++t) {
        if (at + 8 > b.size() || std::string(b.begin() + at, b.begin() + at + 4) != "MTrk") {
            return false;
        }
        const size_t end = at + 8 + Be(b, at + 4, 4);
        if (end > b.size()) {
            return false;
        }
        at += 8;
        long tick = 0;
        int status = 0;
        bool ended = false;
        std::map<int, std::vector<long>> sounding;  // channel * 128 + key -> note-on ticks
        auto varLen = [&](uint32_t& value) {
            value = 0;
            for (int i = 0; i < 4 && at < end; ++i) {
                value = (value << 7) | (b[at] & 0x7F);
                if ((b[at++] & 0x80) == 0) {
                    return true;
                }
            }
            return false;
        };
        while (at < end && !ended) {
            uint32_t delta;
            if (!varLen(delta)) {
                return false;
            }
            tick += delta;
            if (b[at] & 0x80) {
                status = b[at++];
            }
            if (status == 0xFF) {
                uint32_t length;
                if (at >= end) {
                    return false;
                }
                const int type = b[at++];
                if (!varLen(length) || length > end - at) {
                    return false;
                }
                if (type == 0x51 && length == 3) {
                    song.tempos[tick] = Be(b, at, 3);
                }
                ended = type == 0x2F;
                at += length;
                status = 0;
            } else if (status >= 0x80 && status < 0xF0) {
                const int kind = status & 0xF0;
                const size_t count = kind == 0xC0 || kind == 0xD0 ? 1 : 2;
                if (count > end - at) {
                    return false;
                }
                const int key = (status & 0x0F) * 128 + b[at];
                if (kind == 0xC0) {
                    song.programs.push_back(b[at]);
                } else if (kind == 0xB0 && b[at] == 11) {
                    ++song.expressionChanges;
                } else if (kind == 0x90 && b[at + 1] > 0) {
                    sounding[key].push_back(tick);
                    song.velocities.push_back(b[at + 1]);
                } else if (kind == 0x80 || kind == 0x90) {
                    if (sounding[key].empty()) {
                        return false;  // a release without a note
                    }
                    song.notes.push_back({sounding[key].front(), tick});
                    sounding[key].erase(sounding[key].begin());
                }
                at += count;
            } else {
                return false;
            }
        }
        if (!ended || at != end) {
            return false;
        }
        for (const auto& entry : sounding) {
            song.hangingNotes += static_cast<int>(entry.second.size());
        }
        song.trackEnds.push_back(tick);
    }
    return true;
}

// Seconds from tick 0 to `tick` through the tempo map (120 beats a minute until the first).
double SecondsAt(const Song& song, long tick) {
    double seconds = 0.0;
    long from = 0;
    uint32_t tempo = 500000;
    for (const auto& [at, microseconds] : song.tempos) {
        if (at >= tick) {
            break;
        }
        seconds += static_cast<double>(at - from) * tempo / song.division / 1e6;
        from = at;
        tempo = microseconds;
    }
    return seconds + static_cast<double>(tick - from) * tempo / song.division / 1e6;
}

struct MusicCase {
    const char* file;
    double minSeconds;
    double maxSeconds;
    bool loops;  // must run straight back into its start
};

void PrintTo(const MusicCase& c, std::ostream* os) { *os << c.file; }

class MusicFile : public testing::TestWithParam<MusicCase> {};

TEST_P(MusicFile, IsWellFormedAndFitsItsScene) {
    const MusicCase& c = GetParam();
    Song song;
    ASSERT_TRUE(
        ParseSong(ReadFileBytes(std::string(KELMORAV_BUILD_DIR "/DATA/BGM/") + c.file), song));
    EXPECT_EQ(song.format, 1);
    ASSERT_GE(song.trackEnds.size(), 4u);  // a tempo track and several instruments
    ASSERT_FALSE(song.tempos.empty());
    EXPECT_EQ(song.tempos.begin()->first, 0);
    EXPECT_EQ(song.hangingNotes, 0);
    // Japanese voices: at least three of shakuhachi, shamisen, koto and taiko.
    int voices = 0;
    for (int program : {77, 106, 107, 116}) {
        voices += std::count(song.programs.begin(), song.programs.end(), program) > 0;
    }
    EXPECT_GE(voices, 3);
    // Dynamics: accents and soft notes, and swells on expression, not one flat level.
    const auto [softest, loudest] =
        std::minmax_element(song.velocities.begin(), song.velocities.end());
    ASSERT_FALSE(song.velocities.empty());
    EXPECT_GE(*loudest - *softest, 30);
    EXPECT_GE(song.expressionChanges, 20);
    // Every track runs to the same end, so no part stops short of the piece.
    EXPECT_EQ(*std::min_element(song.trackEnds.begin(), song.trackEnds.end()),
              *std::max_element(song.trackEnds.begin(), song.trackEnds.end()));

    const long endTick = *std::max_element(song.trackEnds.begin(), song.trackEnds.end());
    const double seconds = SecondsAt(song, endTick);
    EXPECT_GE(seconds, c.minSeconds);
    EXPECT_LE(seconds, c.maxSeconds);

    // No stretch of more than two seconds without a sounding note, from the start to the end.
    std::sort(song.notes.begin(), song.notes.end(),
              [](const NoteSpan& x, const NoteSpan& y) { return x.on < y.on; });
    ASSERT_FALSE(song.notes.empty());
    EXPECT_EQ(song.notes.front().on, 0);
    long coveredTo = 0;
    double longestGap = 0.0;
    for (const NoteSpan& note : song.notes) {
        longestGap = std::max(longestGap, SecondsAt(song, note.on) - SecondsAt(song, coveredTo));
        coveredTo = std::max(coveredTo, note.off);
    }
    longestGap = std::max(longestGap, seconds - SecondsAt(song, coveredTo));
    EXPECT_LE(longestGap, 2.0);
    if (c.loops) {
        // The last release lands within a beat of the end, and nothing runs past it.
        EXPECT_LE(endTick - coveredTo, song.division);
        EXPECT_EQ(song.tempos.size(), 1u) << "a looping piece keeps one tempo";
    } else {
        EXPECT_GE(song.tempos.size(), 2u) << "the closing ritardando is missing";
    }
}

INSTANTIATE_TEST_SUITE_P(GeneratedSound, MusicFile,
                         testing::Values(MusicCase{"BGM1.mid", 60.0, 90.0, false},
                                         MusicCase{"BGM2.mid", 120.0, 180.0, true},
                                         MusicCase{"BGM3.mid", 85.0, 95.0, false}),
                         [](const testing::TestParamInfo<MusicCase>& info) {
                             return std::string(info.param.file, 4);
                         });

}  // namespace
