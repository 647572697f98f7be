// Breaks one file of a copy of the build's DATA at a time (missing, empty, cut short, random
// bytes, absurd header fields, odd numbers in the text files), plays the built game headless
// from the title through a match, the result, the title again and the melt into the credits,
// and checks that it neither crashes nor trips a sanitizer, ends with the documented status and
// says exactly the documented line (or none) on stderr.
//
// The cases below (the table OUTCOMES) run in every build. The whole matrix, every file with
// every fault of its format, runs with KELMORAV_BAD_DATA=full (see the README's data section);
// KELMORAV_BAD_DATA=print prints what each case did, in the table's own form.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "support/headless_runner.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

// From the title: the opening until the logo's palette is installed, the menu, Start; a match
// with the banner and the block wipes skipped, the pointer on a piece, the forfeit; the result;
// the title again, the melt and the first moments of the credits (the ending's music and fire).
constexpr const char* SESSION = R"(wait 2500
click 300 300
wait 1000
click 250 380
until SCENE_MATCH 20000
key M down
key C down
wait 1000
move 384 232
wait 100
click 384 232
wait 1500
press Z 200
until SCENE_RESULT 20000
key M up
key C up
wait 1000
click 300 300
until SCENE_TITLE 15000
wait 500
click 300 300
wait 1500
move 300 466
wait 100
click 300 466
until SCENE_MELT 5000
until SCENE_CREDITS 10000
wait 500
)";

// With seed 7 this session shows these fire palettes, in this order: the first menu, the second
// menu, the ending. The other thirteen fires are never read.
const std::vector<std::string> FIRES_SHOWN = {"BMP/FIRE14.bmp", "BMP/FIRE1.bmp", "BMP/FIRE12.bmp"};

// ---- faults -------------------------------------------------------------------------------

enum class Format { ANY, BMP, WAV, MIDI, LAYOUT, BLEND };

void SetLe(Bytes& b, size_t at, uint32_t v, int bytes) {
    for (int i = 0; i < bytes && at + i < b.size(); ++i) b[at + i] = (v >> (8 * i)) & 0xFF;
}
void SetBe(Bytes& b, size_t at, uint32_t v, int bytes) {
    for (int i = 0; i < bytes && at + i < b.size(); ++i) {
        b[at + i] = (v >> (8 * (bytes - 1 - i))) & 0xFF;
    }
}

// Deterministic bytes: the standard fixes mt19937's output for a seed, and the seed is made from
// the file's name, so every run and every build breaks a file the same way.
void Scramble(Bytes& b, size_t from, const std::string& name) {
    uint32_t seed = 2166136261u;
    for (char c : name) seed = (seed ^ static_cast<uint8_t>(c)) * 16777619u;
    std::mt19937 random(seed);
    for (size_t i = from; i < b.size(); ++i) b[i] = static_cast<uint8_t>(random() >> 24);
}

std::string Text(const Bytes& b) { return std::string(b.begin(), b.end()); }
Bytes FromText(const std::string& s) { return Bytes(s.begin(), s.end()); }

// The offset of a WAV chunk's header (its four-letter id), found by walking the chunks.
size_t WavChunk(const Bytes& b, const char* id) {
    size_t pos = 12;
    while (pos + 8 <= b.size()) {
        if (std::equal(id, id + 4, b.begin() + static_cast<long>(pos))) return pos;
        const uint32_t size = b[pos + 4] | b[pos + 5] << 8 | b[pos + 6] << 16 |
                              static_cast<uint32_t>(b[pos + 7]) << 24;
        pos += 8 + size + (size & 1);
    }
    ADD_FAILURE() << "no chunk " << id;
    return 0;
}

// Offsets of every MTrk chunk of a MIDI file.
std::vector<size_t> MidiTracks(const Bytes& b) {
    std::vector<size_t> tracks;
    size_t pos = 14;
    while (pos + 8 <= b.size()) {
        const uint32_t size = static_cast<uint32_t>(b[pos + 4]) << 24 | b[pos + 5] << 16 |
                              b[pos + 6] << 8 | b[pos + 7];
        if (std::equal(b.begin() + static_cast<long>(pos), b.begin() + static_cast<long>(pos) + 4,
                       "MTrk")) {
            tracks.push_back(pos);
        }
        pos += 8 + size;
    }
    return tracks;
}

struct Fault {
    const char* name;
    Format format;
    // Rewrites the file's bytes; false removes the file (or leaves it as the fault made it).
    bool (*apply)(Bytes& bytes, const fs::path& file);
};

constexpr size_t HUGE_BMP = (64u << 20) + 1;   // past the picture reader's limit
constexpr size_t HUGE_MIDI = (16u << 20) + 1;  // past the music reader's limit

const std::vector<Fault>& Faults() {
    static const std::vector<Fault> faults = {
        // Any file.
        {"missing", Format::ANY, [](Bytes&, const fs::path&) { return false; }},
        {"empty", Format::ANY,
         [](Bytes& b, const fs::path&) {
             b.clear();
             return true;
         }},
        {"half", Format::ANY,
         [](Bytes& b, const fs::path&) {
             b.resize(b.size() / 2);
             return true;
         }},
        // Every byte random, the length kept.
        {"random_file", Format::ANY,
         [](Bytes& b, const fs::path& f) {
             Scramble(b, 0, f.filename().string());
             return true;
         }},
        // The header kept, what follows it random: the picture's colours and pixels, the
        // sound's samples, the music's first track after its chunk header. Text files have no
        // header and are random throughout.
        {"random_body", Format::ANY,
         [](Bytes& b, const fs::path& f) {
             const std::string ext = f.extension().string();
             const size_t keep = ext == ".bmp" ? 54 : ext == ".wav" ? 44 : ext == ".mid" ? 22 : 0;
             Scramble(b, keep, f.filename().string() + "/body");
             return true;
         }},

        // Pictures.
        {"bmp_not_bm", Format::BMP,
         [](Bytes& b, const fs::path&) {
             b[0] = 'X';
             return true;
         }},
        {"bmp_cut_in_header", Format::BMP,
         [](Bytes& b, const fs::path&) {
             b.resize(40);
             return true;
         }},
        {"bmp_cut_in_colours", Format::BMP,
         [](Bytes& b, const fs::path&) {
             b.resize(300);
             return true;
         }},
        {"bmp_header_size_huge", Format::BMP,
         [](Bytes& b, const fs::path&) {
             SetLe(b, 14, 0xFFFFFFFF, 4);
             return true;
         }},
        {"bmp_width_0", Format::BMP,
         [](Bytes& b, const fs::path&) {
             SetLe(b, 18, 0, 4);
             return true;
         }},
        {"bmp_width_1000", Format::BMP,
         [](Bytes& b, const fs::path&) {
             SetLe(b, 18, 1000, 4);
             return true;
         }},
        {"bmp_width_huge", Format::BMP,
         [](Bytes& b, const fs::path&) {
             SetLe(b, 18, 0x7FFFFFFF, 4);
             return true;
         }},
        {"bmp_width_negative", Format::BMP,
         [](Bytes& b, const fs::path&) {
             SetLe(b, 18, static_cast<uint32_t>(-640), 4);
             return true;
         }},
        {"bmp_height_0", Format::BMP,
         [](Bytes& b, const fs::path&) {
             SetLe(b, 22, 0, 4);
             return true;
         }},
        {"bmp_height_4000", Format::BMP,
         [](Bytes& b, const fs::path&) {
             SetLe(b, 22, 4000, 4);
             return true;
         }},
        {"bmp_height_most_negative", Format::BMP,
         [](Bytes& b, const fs::path&) {
             SetLe(b, 22, 0x80000000u, 4);
             return true;
         }},
        {"bmp_planes_0", Format::BMP,
         [](Bytes& b, const fs::path&) {
             SetLe(b, 26, 0, 2);
             return true;
         }},
        {"bmp_bits_24", Format::BMP,
         [](Bytes& b, const fs::path&) {
             SetLe(b, 28, 24, 2);
             return true;
         }},
        {"bmp_compressed", Format::BMP,
         [](Bytes& b, const fs::path&) {
             SetLe(b, 30, 1, 4);
             return true;
         }},
        {"bmp_colours_257", Format::BMP,
         [](Bytes& b, const fs::path&) {
             SetLe(b, 46, 257, 4);
             return true;
         }},
        {"bmp_colours_huge", Format::BMP,
         [](Bytes& b, const fs::path&) {
             SetLe(b, 46, 0xFFFFFFFF, 4);
             return true;
         }},
        {"bmp_pixels_offset_huge", Format::BMP,
         [](Bytes& b, const fs::path&) {
             SetLe(b, 10, 0xFFFFFFF0u, 4);
             return true;
         }},
        {"bmp_file_huge", Format::BMP,
         [](Bytes& b, const fs::path&) {
             b.resize(HUGE_BMP, 0);
             return true;
         }},

        // Sounds.
        {"wav_riff_size_huge", Format::WAV,
         [](Bytes& b, const fs::path&) {
             SetLe(b, 4, 0xFFFFFFFF, 4);
             return true;
         }},
        {"wav_riff_size_4", Format::WAV,
         [](Bytes& b, const fs::path&) {
             SetLe(b, 4, 4, 4);
             return true;
         }},
        {"wav_cut_in_fmt", Format::WAV,
         [](Bytes& b, const fs::path&) {
             b.resize(WavChunk(b, "fmt ") + 18);
             return true;
         }},
        {"wav_fmt_size_8", Format::WAV,
         [](Bytes& b, const fs::path&) {
             SetLe(b, WavChunk(b, "fmt ") + 4, 8, 4);
             return true;
         }},
        {"wav_fmt_size_huge", Format::WAV,
         [](Bytes& b, const fs::path&) {
             SetLe(b, WavChunk(b, "fmt ") + 4, 0xFFFFFFF0u, 4);
             return true;
         }},
        {"wav_format_float", Format::WAV,
         [](Bytes& b, const fs::path&) {
             SetLe(b, WavChunk(b, "fmt ") + 8, 3, 2);
             return true;
         }},
        // A format with extra bytes whose count (the next chunk's id, read as a number) runs
        // past the file.
        {"wav_format_extra_past_end", Format::WAV,
         [](Bytes& b, const fs::path&) {
             const size_t fmt = WavChunk(b, "fmt ");
             SetLe(b, fmt + 4, 18, 4);
             SetLe(b, fmt + 8, 2, 2);
             return true;
         }},
        {"wav_channels_9", Format::WAV,
         [](Bytes& b, const fs::path&) {
             SetLe(b, WavChunk(b, "fmt ") + 10, 9, 2);
             return true;
         }},
        {"wav_rate_0", Format::WAV,
         [](Bytes& b, const fs::path&) {
             SetLe(b, WavChunk(b, "fmt ") + 12, 0, 4);
             return true;
         }},
        {"wav_bits_12", Format::WAV,
         [](Bytes& b, const fs::path&) {
             SetLe(b, WavChunk(b, "fmt ") + 22, 12, 2);
             return true;
         }},
        {"wav_no_data_chunk", Format::WAV,
         [](Bytes& b, const fs::path&) {
             const size_t data = WavChunk(b, "data");
             std::copy_n("junk", 4, b.begin() + static_cast<long>(data));
             return true;
         }},
        {"wav_data_size_0", Format::WAV,
         [](Bytes& b, const fs::path&) {
             SetLe(b, WavChunk(b, "data") + 4, 0, 4);
             return true;
         }},
        {"wav_data_size_huge", Format::WAV,
         [](Bytes& b, const fs::path&) {
             SetLe(b, WavChunk(b, "data") + 4, 0xFFFFFFFF, 4);
             return true;
         }},

        // Music.
        {"mid_header_size_2", Format::MIDI,
         [](Bytes& b, const fs::path&) {
             SetBe(b, 4, 2, 4);
             return true;
         }},
        {"mid_header_size_huge", Format::MIDI,
         [](Bytes& b, const fs::path&) {
             SetBe(b, 4, 0xFFFFFFFF, 4);
             return true;
         }},
        {"mid_format_2", Format::MIDI,
         [](Bytes& b, const fs::path&) {
             SetBe(b, 8, 2, 2);
             return true;
         }},
        {"mid_tracks_0", Format::MIDI,
         [](Bytes& b, const fs::path&) {
             SetBe(b, 10, 0, 2);
             return true;
         }},
        {"mid_tracks_huge", Format::MIDI,
         [](Bytes& b, const fs::path&) {
             SetBe(b, 10, 0xFFFF, 2);
             return true;
         }},
        {"mid_division_0", Format::MIDI,
         [](Bytes& b, const fs::path&) {
             SetBe(b, 12, 0, 2);
             return true;
         }},
        {"mid_division_smpte", Format::MIDI,
         [](Bytes& b, const fs::path&) {
             SetBe(b, 12, 0xE728, 2);  // 25 frames a second, 40 ticks a frame
             return true;
         }},
        {"mid_track_size_huge", Format::MIDI,
         [](Bytes& b, const fs::path&) {
             SetBe(b, MidiTracks(b).at(0) + 4, 0xFFFFFFFF, 4);
             return true;
         }},
        {"mid_track_size_0", Format::MIDI,
         [](Bytes& b, const fs::path&) {
             SetBe(b, MidiTracks(b).at(0) + 4, 0, 4);
             return true;
         }},
        {"mid_not_a_track", Format::MIDI,
         [](Bytes& b, const fs::path&) {
             for (size_t track : MidiTracks(b)) b[track] = 'X';
             return true;
         }},
        // Each track starts with a data byte where its first status byte was: running status
        // with no status before it.
        {"mid_running_status_first", Format::MIDI,
         [](Bytes& b, const fs::path&) {
             for (size_t track : MidiTracks(b)) {
                 size_t at = track + 8;
                 while (b.at(at) & 0x80) ++at;  // the first delta time
                 ++at;
                 b.at(at) &= 0x7F;
             }
             return true;
         }},
        {"mid_file_huge", Format::MIDI,
         [](Bytes& b, const fs::path&) {
             b.resize(HUGE_MIDI, 0);
             return true;
         }},

        // The opening layout: forty groups "x,y,kind,value,", one a line.
        {"layout_no_commas", Format::LAYOUT,
         [](Bytes& b, const fs::path&) {
             std::replace(b.begin(), b.end(), ',', ' ');
             return true;
         }},
        {"layout_negative", Format::LAYOUT,
         [](Bytes& b, const fs::path&) {
             const std::string t = Text(b);
             b = FromText("-4,-1,8,-10," + t.substr(t.find('\n')));
             return true;
         }},
        {"layout_nine_digits", Format::LAYOUT,
         [](Bytes& b, const fs::path&) {
             const std::string t = Text(b);
             b = FromText("999999999,0,8,999999999," + t.substr(t.find('\n')));
             return true;
         }},
        {"layout_eleven_digits", Format::LAYOUT,
         [](Bytes& b, const fs::path&) {
             const std::string t = Text(b);
             b = FromText("4,0,8,99999999999," + t.substr(t.find('\n')));
             return true;
         }},
        {"layout_unknown_kind", Format::LAYOUT,
         [](Bytes& b, const fs::path&) {
             const std::string t = Text(b);
             b = FromText("4,0,300,10," + t.substr(t.find('\n')));
             return true;
         }},
        {"layout_no_kings", Format::LAYOUT,
         [](Bytes& b, const fs::path&) {
             std::string t = Text(b);
             for (size_t at = t.find(",8,"); at != std::string::npos; at = t.find(",8,", at)) {
                 t[at + 1] = '5';  // the kings become golds
             }
             b = FromText(t);
             return true;
         }},
        {"layout_shared_square", Format::LAYOUT,
         [](Bytes& b, const fs::path&) {
             const std::string t = Text(b);
             const size_t second = t.find('\n') + 1;
             b = FromText(t.substr(0, second) + "4,0,2,2," + t.substr(t.find('\n', second)));
             return true;
         }},
        {"layout_text_after", Format::LAYOUT,
         [](Bytes& b, const fs::path&) {
             const std::string more = "and then some\n";
             b.insert(b.end(), more.begin(), more.end());
             return true;
         }},

        // The blend table: 65536 fields "NNN,".
        {"blend_no_commas", Format::BLEND,
         [](Bytes& b, const fs::path&) {
             std::replace(b.begin(), b.end(), ',', ' ');
             return true;
         }},
        {"blend_above_255", Format::BLEND,
         [](Bytes& b, const fs::path&) {
             for (size_t field = 0; field < 16; ++field) std::copy_n("999,", 4, &b[field * 4]);
             return true;
         }},
        {"blend_negative", Format::BLEND,
         [](Bytes& b, const fs::path&) {
             std::copy_n("-12,", 4, b.begin());
             return true;
         }},
        {"blend_four_digits", Format::BLEND,
         [](Bytes& b, const fs::path&) {
             const std::string t = Text(b);
             b = FromText(t.substr(0, 400) + "1234," + t.substr(404));
             return true;
         }},
        // A file that cannot be opened at all (a link to itself), even by root.
        {"blend_unreadable", Format::BLEND,
         [](Bytes&, const fs::path& f) {
             fs::remove(f);
             fs::create_symlink(f.filename(), f);
             return false;
         }},
    };
    return faults;
}

const Fault& FindFault(const std::string& name) {
    for (const Fault& f : Faults()) {
        if (name == f.name) return f;
    }
    throw std::invalid_argument("no fault " + name);
}

Format FormatOf(const std::string& file) {
    if (file.ends_with(".bmp")) return Format::BMP;
    if (file.ends_with(".wav")) return Format::WAV;
    if (file.ends_with(".mid")) return Format::MIDI;
    if (file.ends_with("SYOGI.dat")) return Format::LAYOUT;
    return Format::BLEND;
}

// ---- documented outcomes ------------------------------------------------------------------

// What the game does with one broken file: its exit status and the one line it says on stderr,
// with the data directory taken out of the path ("DATA/BMP/RANK.bmp"). A second file may be broken
// with it ("also", removed): the blend table is rebuilt from RANK.bmp only when it is missing.
struct Outcome {
    const char* file;  // under DATA
    const char* fault;
    int status;
    const char* line;  // "" when nothing is said
    const char* also = nullptr;
};

// Every case of the default set. Chosen so that every failure of every reader is met once: the
// picture reader's every check (on RANK.bmp, which is read once a match) and the palette loader's
// two, each sound check on a different effect, each music check, each layout and blend problem.
const std::vector<Outcome> OUTCOMES = {
    {"", "healthy", 0, ""},
    // pictures: every check of the picture reader, on RANK.bmp (read once a match)
    {"BMP/RANK.bmp", "missing", 0,
     "kelmorav: DATA/BMP/RANK.bmp: cannot open the file; the picture is not loaded"},
    {"BMP/RANK.bmp", "empty", 0,
     "kelmorav: DATA/BMP/RANK.bmp: too short for a bitmap header; the picture is not loaded"},
    {"BMP/RANK.bmp", "half", 0,
     "kelmorav: DATA/BMP/RANK.bmp: pixel data runs past the end of the file; the picture is not "
     "loaded"},
    {"BMP/RANK.bmp", "random_file", 0,
     "kelmorav: DATA/BMP/RANK.bmp: not a BMP file; the picture is not loaded"},
    {"BMP/RANK.bmp", "random_body", 0, ""},
    {"BMP/RANK.bmp", "bmp_header_size_huge", 0,
     "kelmorav: DATA/BMP/RANK.bmp: bad information header size; the picture is not loaded"},
    {"BMP/RANK.bmp", "bmp_planes_0", 0,
     "kelmorav: DATA/BMP/RANK.bmp: bad plane count; the picture is not loaded"},
    {"BMP/RANK.bmp", "bmp_compressed", 0,
     "kelmorav: DATA/BMP/RANK.bmp: compressed bitmaps are not supported; the picture is not "
     "loaded"},
    {"BMP/RANK.bmp", "bmp_width_0", 0,
     "kelmorav: DATA/BMP/RANK.bmp: bad width; the picture is not loaded"},
    {"BMP/RANK.bmp", "bmp_width_huge", 0,
     "kelmorav: DATA/BMP/RANK.bmp: bad width; the picture is not loaded"},
    {"BMP/RANK.bmp", "bmp_height_most_negative", 0,
     "kelmorav: DATA/BMP/RANK.bmp: bad height; the picture is not loaded"},
    {"BMP/RANK.bmp", "bmp_colours_257", 0,
     "kelmorav: DATA/BMP/RANK.bmp: more than 256 colours; the picture is not loaded"},
    {"BMP/RANK.bmp", "bmp_cut_in_colours", 0,
     "kelmorav: DATA/BMP/RANK.bmp: colour table runs past the end of the file; the picture is not "
     "loaded"},
    {"BMP/RANK.bmp", "bmp_height_4000", 0,
     "kelmorav: DATA/BMP/RANK.bmp: pixel data runs past the end of the file; the picture is not "
     "loaded"},
    {"BMP/RANK.bmp", "bmp_pixels_offset_huge", 0,
     "kelmorav: DATA/BMP/RANK.bmp: pixel data runs past the end of the file; the picture is not "
     "loaded"},
    {"BMP/RANK.bmp", "bmp_file_huge", 0,
     "kelmorav: DATA/BMP/RANK.bmp: file too large; the picture is not loaded"},
    // the other sheets: read twice a match, at every visit of the title, and as palettes
    {"BMP/COLOR.bmp", "bmp_bits_24", 0,
     "kelmorav: DATA/BMP/COLOR.bmp: not 8 bits per pixel; the picture is not loaded"},
    {"BMP/TITLE.bmp", "bmp_width_1000", 0,
     "kelmorav: DATA/BMP/TITLE.bmp: pixel data runs past the end of the file; the picture is not "
     "loaded"},
    {"BMP/ETC.bmp", "bmp_height_0", 0,
     "kelmorav: DATA/BMP/ETC.bmp: bad height; its colours are read from byte 54 as they stand"},
    {"BMP/ETC.bmp", "bmp_cut_in_header", 0,
     "kelmorav: DATA/BMP/ETC.bmp: colour table cut short; missing colours are black"},
    // pictures whose colours the game needs
    {"BMP/ETC.bmp", "missing", 1,
     "kelmorav: DATA/BMP/ETC.bmp: cannot open the file; the game cannot go on without its colours"},
    // Named when its picture cannot be loaded, and again when the game stops for its colours.
    {"BMP/TITLE.bmp", "missing", 1,
     "kelmorav: DATA/BMP/TITLE.bmp: cannot open the file; the picture is not loaded\n"
     "kelmorav: DATA/BMP/TITLE.bmp: cannot open the file; the game cannot go on without its "
     "colours"},
    {"BMP/TITLE.bmp", "empty", 0,
     "kelmorav: DATA/BMP/TITLE.bmp: too short for a bitmap header; the picture is not loaded"},
    {"BMP/FIRE14.bmp", "missing", 1,
     "kelmorav: DATA/BMP/FIRE14.bmp: cannot open the file; the game cannot go on without its "
     "colours"},
    {"BMP/FIRE12.bmp", "missing", 1,
     "kelmorav: DATA/BMP/FIRE12.bmp: cannot open the file; the game cannot go on without its "
     "colours"},
    {"BMP/FIRE1.bmp", "bmp_cut_in_colours", 0,
     "kelmorav: DATA/BMP/FIRE1.bmp: colour table cut short; missing colours are black"},
    {"BMP/FIRE14.bmp", "bmp_colours_huge", 0,
     "kelmorav: DATA/BMP/FIRE14.bmp: more than 256 colours; its colours are read from byte 54 as "
     "they stand"},
    {"BMP/FIRE5.bmp", "missing", 0, ""},
    // sounds: each check of the sound reader on another effect
    {"SOUND/TITLE.wav", "missing", 0,
     "kelmorav: DATA/SOUND/TITLE.wav: cannot open the file; this sound stays silent"},
    {"SOUND/CLICK.wav", "empty", 0,
     "kelmorav: DATA/SOUND/CLICK.wav: not a RIFF WAVE file; this sound stays silent"},
    {"SOUND/FIRE.wav", "half", 0,
     "kelmorav: DATA/SOUND/FIRE.wav: sample data cut short (132278 of 264600 bytes); playing what "
     "is there"},
    {"SOUND/JUMP1.wav", "random_file", 0,
     "kelmorav: DATA/SOUND/JUMP1.wav: not a RIFF WAVE file; this sound stays silent"},
    {"SOUND/JUMP3.wav", "random_body", 0, ""},
    {"SOUND/EXPLOS1.wav", "wav_riff_size_huge", 0, ""},
    {"SOUND/PON.wav", "wav_riff_size_4", 0,
     "kelmorav: DATA/SOUND/PON.wav: no \"fmt \" chunk; this sound stays silent"},
    {"SOUND/PON2.wav", "wav_cut_in_fmt", 0,
     "kelmorav: DATA/SOUND/PON2.wav: \"fmt \" chunk cut short; this sound stays silent"},
    {"SOUND/MAGIC.wav", "wav_fmt_size_8", 0,
     "kelmorav: DATA/SOUND/MAGIC.wav: \"fmt \" chunk shorter than 16 bytes; this sound stays "
     "silent"},
    {"SOUND/WIBBLE.wav", "wav_fmt_size_huge", 0,
     "kelmorav: DATA/SOUND/WIBBLE.wav: no \"data\" chunk; this sound stays silent"},
    {"SOUND/CLOSE.wav", "wav_format_float", 0,
     "kelmorav: DATA/SOUND/CLOSE.wav: \"fmt \" chunk has no extra size; this sound stays silent"},
    {"SOUND/BANGER.wav", "wav_format_extra_past_end", 0,
     "kelmorav: DATA/SOUND/BANGER.wav: extra format bytes cut short; this sound stays silent"},
    {"SOUND/NOSOUND.wav", "wav_channels_9", 0,
     "kelmorav: DATA/SOUND/NOSOUND.wav: cannot play format 1, 9 channels, 16 bits, 44100 Hz, 8820 "
     "bytes; this sound stays silent"},
    {"SOUND/TITLE.wav", "wav_rate_0", 0,
     "kelmorav: DATA/SOUND/TITLE.wav: cannot play format 1, 1 channels, 16 bits, 0 Hz, 114660 "
     "bytes; this sound stays silent"},
    {"SOUND/CLICK.wav", "wav_bits_12", 0,
     "kelmorav: DATA/SOUND/CLICK.wav: cannot play format 1, 1 channels, 12 bits, 44100 Hz, 7938 "
     "bytes; this sound stays silent"},
    {"SOUND/FIRE.wav", "wav_no_data_chunk", 0,
     "kelmorav: DATA/SOUND/FIRE.wav: no \"data\" chunk; this sound stays silent"},
    {"SOUND/JUMP1.wav", "wav_data_size_0", 0,
     "kelmorav: DATA/SOUND/JUMP1.wav: cannot play format 1, 1 channels, 16 bits, 44100 Hz, 0 "
     "bytes; this sound stays silent"},
    {"SOUND/JUMP3.wav", "wav_data_size_huge", 0,
     "kelmorav: DATA/SOUND/JUMP3.wav: sample data cut short (19404 of 4294967295 bytes); playing "
     "what is there"},
    // music: the title's, the match's and the ending's pieces
    {"BGM/BGM1.mid", "missing", 0,
     "kelmorav: DATA/BGM/BGM1.mid: cannot open the file; this music stays silent"},
    {"BGM/BGM2.mid", "empty", 0,
     "kelmorav: DATA/BGM/BGM2.mid: the file is empty; this music stays silent"},
    {"BGM/BGM3.mid", "half", 0,
     "kelmorav: DATA/BGM/BGM3.mid: a track is cut short or damaged; the music plays as far as it "
     "is whole"},
    {"BGM/BGM1.mid", "random_file", 0,
     "kelmorav: DATA/BGM/BGM1.mid: no MIDI header; this music stays silent"},
    {"BGM/BGM2.mid", "random_body", 0,
     "kelmorav: DATA/BGM/BGM2.mid: a track is cut short or damaged; the music plays as far as it "
     "is whole"},
    {"BGM/BGM3.mid", "mid_header_size_2", 0,
     "kelmorav: DATA/BGM/BGM3.mid: no MIDI header; this music stays silent"},
    {"BGM/BGM1.mid", "mid_header_size_huge", 0,
     "kelmorav: DATA/BGM/BGM1.mid: no MIDI header; this music stays silent"},
    {"BGM/BGM2.mid", "mid_format_2", 0,
     "kelmorav: DATA/BGM/BGM2.mid: MIDI format 2 is not played; this music stays silent"},
    {"BGM/BGM3.mid", "mid_tracks_0", 0,
     "kelmorav: DATA/BGM/BGM3.mid: no MIDI track; this music stays silent"},
    {"BGM/BGM1.mid", "mid_tracks_huge", 0,
     "kelmorav: DATA/BGM/BGM1.mid: a track is cut short or damaged; the music plays as far as it "
     "is whole"},
    {"BGM/BGM2.mid", "mid_division_0", 0,
     "kelmorav: DATA/BGM/BGM2.mid: MIDI time division is 0; this music stays silent"},
    {"BGM/BGM3.mid", "mid_division_smpte", 0, ""},
    {"BGM/BGM1.mid", "mid_track_size_huge", 0,
     "kelmorav: DATA/BGM/BGM1.mid: a track is cut short or damaged; the music plays as far as it "
     "is whole"},
    {"BGM/BGM2.mid", "mid_track_size_0", 0,
     "kelmorav: DATA/BGM/BGM2.mid: a track is cut short or damaged; the music plays as far as it "
     "is whole"},
    {"BGM/BGM3.mid", "mid_not_a_track", 0,
     "kelmorav: DATA/BGM/BGM3.mid: no MIDI track; this music stays silent"},
    {"BGM/BGM2.mid", "mid_running_status_first", 0,
     "kelmorav: DATA/BGM/BGM2.mid: a track is cut short or damaged; the music plays as far as it "
     "is whole"},
    {"BGM/BGM1.mid", "mid_file_huge", 0,
     "kelmorav: DATA/BGM/BGM1.mid: larger than 16 MiB; this music stays silent"},
    // the opening layout
    {"TXT/SYOGI.dat", "missing", 0,
     "kelmorav: DATA/TXT/SYOGI.dat: cannot open the layout, the match starts with an empty board"},
    {"TXT/SYOGI.dat", "empty", 0,
     "kelmorav: DATA/TXT/SYOGI.dat: only 0 of 40 groups, the other slots stay empty; no king for "
     "side 1; no king for side 2"},
    {"TXT/SYOGI.dat", "half", 0,
     "kelmorav: DATA/TXT/SYOGI.dat: only 20 of 40 groups, the other slots stay empty; no king for "
     "side 2"},
    {"TXT/SYOGI.dat", "random_file", 0,
     "kelmorav: DATA/TXT/SYOGI.dat: group 1 is malformed, the rest is read out of step; no king "
     "for side 1; no king for side 2"},
    {"TXT/SYOGI.dat", "layout_no_commas", 0,
     "kelmorav: DATA/TXT/SYOGI.dat: group 1 is malformed, the rest is read out of step; no king "
     "for side 1; no king for side 2"},
    {"TXT/SYOGI.dat", "layout_negative", 0,
     "kelmorav: DATA/TXT/SYOGI.dat: pieces off the board, never reachable: 1 (first in group 1); "
     "values held to 0..999: 1 (first in group 1)"},
    {"TXT/SYOGI.dat", "layout_nine_digits", 0,
     "kelmorav: DATA/TXT/SYOGI.dat: pieces off the board, never reachable: 1 (first in group 1); "
     "values held to 0..999: 1 (first in group 1)"},
    {"TXT/SYOGI.dat", "layout_eleven_digits", 0,
     "kelmorav: DATA/TXT/SYOGI.dat: group 1 is malformed, the rest is read out of step; pieces off "
     "the board, never reachable: 1 (first in group 22); values held to 0..999: 1 (first in group "
     "1); pieces on a square another piece holds: 9 (first in group 21)"},
    {"TXT/SYOGI.dat", "layout_unknown_kind", 0,
     "kelmorav: DATA/TXT/SYOGI.dat: pieces of unknown kind: 1 (first in group 1); no king for side "
     "1"},
    {"TXT/SYOGI.dat", "layout_no_kings", 0,
     "kelmorav: DATA/TXT/SYOGI.dat: no king for side 1; no king for side 2"},
    {"TXT/SYOGI.dat", "layout_shared_square", 0,
     "kelmorav: DATA/TXT/SYOGI.dat: pieces on a square another piece holds: 1 (first in group 2)"},
    {"TXT/SYOGI.dat", "layout_text_after", 0,
     "kelmorav: DATA/TXT/SYOGI.dat: text after the last group is ignored"},
    // the blend table
    {"TXT/palet.dat", "missing", 0, ""},
    {"TXT/palet.dat", "empty", 0,
     "kelmorav: DATA/TXT/palet.dat is malformed from field 1 on; unread blend entries stay as they "
     "were"},
    {"TXT/palet.dat", "half", 0,
     "kelmorav: DATA/TXT/palet.dat is malformed from field 32769 on; unread blend entries stay as "
     "they were"},
    {"TXT/palet.dat", "random_file", 0,
     "kelmorav: DATA/TXT/palet.dat is malformed from field 1 on; unread blend entries stay as they "
     "were"},
    {"TXT/palet.dat", "blend_no_commas", 0,
     "kelmorav: DATA/TXT/palet.dat is malformed from field 1 on; unread blend entries stay as they "
     "were"},
    {"TXT/palet.dat", "blend_above_255", 0,
     "kelmorav: DATA/TXT/palet.dat has 16 numbers outside 0..255 (the first in field 1), each kept "
     "as its low eight bits"},
    {"TXT/palet.dat", "blend_negative", 0,
     "kelmorav: DATA/TXT/palet.dat has a number outside 0..255 (in field 1), kept as its "
     "low eight bits"},
    {"TXT/palet.dat", "blend_four_digits", 0,
     "kelmorav: DATA/TXT/palet.dat is malformed from field 101 on; unread blend entries stay as "
     "they were"},
    {"TXT/palet.dat", "blend_unreadable", 0, ""},
    {"TXT/palet.dat", "missing", 1,
     "kelmorav: DATA/TXT/palet.dat is missing and cannot be built from DATA/BMP/RANK.bmp: cannot "
     "open the file",
     "BMP/RANK.bmp"},
};

// The table's line, split where a case says more than one ('\n' between them).
std::vector<std::string> Lines(const Outcome& o) {
    std::vector<std::string> lines;
    for (std::string rest = o.line; !rest.empty();) {
        const size_t end = rest.find('\n');
        lines.push_back(rest.substr(0, end));
        rest = end == std::string::npos ? "" : rest.substr(end + 1);
    }
    return lines;
}

// ---- running a case -----------------------------------------------------------------------

struct Case {
    std::string file;
    std::string fault;
    std::string also;
    std::string Name() const {
        std::string n = (file.empty() ? std::string("none") : file) + "_" + fault;
        if (!also.empty()) n += "_and_" + also + "_missing";
        for (char& c : n) {
            if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
        }
        return n;
    }
};

Case CaseOf(const Outcome& o) { return Case{o.file, o.fault, o.also ? o.also : ""}; }

// What gtest prints for a case: its name, not its bytes.
void PrintTo(const Case& c, std::ostream* out) { *out << c.Name(); }
void PrintTo(const Outcome& o, std::ostream* out) { *out << CaseOf(o).Name(); }

struct Observed {
    int status = -1;
    std::vector<std::string> lines;
    std::vector<std::string> palettes;  // the pictures whose colours were installed, in order
};

fs::path SourceData() { return fs::path(KELMORAV_BUILD_DIR) / "DATA"; }

Observed Play(const Case& c) {
    testfiles::TempDir dir("bad-data-" + c.Name());
    fs::copy(SourceData(), dir.Path() / "DATA", fs::copy_options::recursive);
    if (!c.file.empty()) {
        const fs::path file = dir.Path() / "DATA" / c.file;
        const std::string text = testfiles::ReadText(file);
        Bytes bytes(text.begin(), text.end());
        fs::remove(file);
        if (FindFault(c.fault).apply(bytes, file)) testfiles::WriteFile(file, bytes);
    }
    if (!c.also.empty()) fs::remove(dir.Path() / "DATA" / c.also);
    // A blend table the game cannot keep beside the data goes to the cache folder: this one.
    setenv("XDG_CACHE_HOME", (dir.Path() / "cache").c_str(), 1);

    const fs::path script = dir.Path() / "session.txt";
    const fs::path trace = dir.Path() / "trace.jsonl";
    const fs::path err = dir.Path() / "stderr.txt";
    testfiles::WriteText(script, SESSION);
    Observed seen;
    seen.status = testfiles::RunProgram(
        {std::string(KELMORAV_BUILD_DIR) + "/kelmorav", "--headless", "--seed", "7", "--script",
         script.string(), "--trace", trace.string(), "--data", dir.Path().string()},
        err);
    const std::string prefix = dir.Path().string() + "/";
    std::istringstream said(testfiles::ReadText(err));
    for (std::string line; std::getline(said, line);) {
        for (size_t at = line.find(prefix); at != std::string::npos; at = line.find(prefix)) {
            line.erase(at, prefix.size());
        }
        seen.lines.push_back(line);
    }
    std::istringstream traced(testfiles::ReadText(trace));
    for (std::string line; std::getline(traced, line);) {
        const auto j = nlohmann::json::parse(line, nullptr, false);
        if (j.is_object() && j.contains("palette") && j["palette"] != "fade") {
            std::string picture = j["palette"];
            std::replace(picture.begin(), picture.end(), '\\', '/');
            seen.palettes.push_back(picture);
        }
    }
    return seen;
}

// The lines as the table writes them: "" for none, the one line quoted. More than one line is
// never documented, so it is printed in braces, which the table does not take.
std::string Quoted(const std::vector<std::string>& lines) {
    std::string out;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) out += ", ";
        out += "\"";
        for (char c : lines[i]) {
            if (c == '"' || c == '\\') out += '\\';
            out += c;
        }
        out += "\"";
    }
    if (lines.empty()) return "\"\"";
    return lines.size() == 1 ? out : "{" + out + "}";
}

void PrintRow(const Case& c, const Observed& seen) {
    std::cout << "    {\"" << c.file << "\", \"" << c.fault << "\", " << seen.status << ", "
              << Quoted(seen.lines);
    if (!c.also.empty()) std::cout << ", \"" << c.also << "\"";
    std::cout << "},\n";
}

const char* Mode() {
    const char* mode = std::getenv("KELMORAV_BAD_DATA");
    return mode ? mode : "";
}

// A sanitizer's report is never one of the game's lines.
void ExpectNoSanitizerReport(const Observed& seen) {
    for (const std::string& line : seen.lines) {
        EXPECT_EQ(line.find("Sanitizer"), std::string::npos) << line;
        EXPECT_EQ(line.find("runtime error"), std::string::npos) << line;
    }
}

class BadData : public ::testing::TestWithParam<Outcome> {};

TEST_P(BadData, SaysTheDocumentedLinesAndEndsWithTheDocumentedStatus) {
    const Outcome& expected = GetParam();
    const Case c = CaseOf(expected);
    const Observed seen = Play(c);
    if (std::string(Mode()) == "print") PrintRow(c, seen);
    ExpectNoSanitizerReport(seen);
    EXPECT_NE(seen.status, -1) << "the game crashed or could not start";
    EXPECT_EQ(seen.status, expected.status);
    EXPECT_EQ(seen.lines, Lines(expected));
    if (c.file.empty()) {
        // The session meets every picture, and the fires the table counts on.
        std::vector<std::string> fires;
        for (const std::string& p : seen.palettes) {
            if (p.find("FIRE") != std::string::npos) fires.push_back(p.substr(5));
        }
        EXPECT_EQ(fires, FIRES_SHOWN);
        for (const char* sheet : {"TITLE", "ETC", "COLOR", "RANK"}) {
            const std::string path = std::string("DATA/BMP/") + sheet + ".bmp";
            EXPECT_NE(std::find(seen.palettes.begin(), seen.palettes.end(), path),
                      seen.palettes.end())
                << path;
        }
    }
}

std::string OutcomeName(const ::testing::TestParamInfo<Outcome>& info) {
    return CaseOf(info.param).Name();
}

INSTANTIATE_TEST_SUITE_P(Table, BadData, ::testing::ValuesIn(OUTCOMES), OutcomeName);

// ---- the whole matrix ---------------------------------------------------------------------

// Every file of DATA with every fault of its format (KELMORAV_BAD_DATA=full). Cases the table
// names are checked against it; for the others the rules that hold for every file are checked:
// no crash, status 0 (1 only for a picture that holds a palette, when it cannot be opened), and
// at most one line, which names the broken file.
std::vector<Case> FullMatrix() {
    std::vector<Case> cases;
    if (std::string(Mode()) != "full") return cases;
    std::vector<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(SourceData())) {
        const std::string name = fs::relative(entry.path(), SourceData()).string();
        if (entry.is_regular_file() && name != ".stamp") files.push_back(name);
    }
    std::sort(files.begin(), files.end());
    for (const std::string& file : files) {
        for (const Fault& fault : Faults()) {
            if (fault.format == Format::ANY || fault.format == FormatOf(file)) {
                cases.push_back(Case{file, fault.name, ""});
            }
        }
    }
    return cases;
}

const Outcome* Documented(const Case& c) {
    for (const Outcome& o : OUTCOMES) {
        if (c.file == o.file && c.fault == o.fault && c.also == (o.also ? o.also : "")) return &o;
    }
    return nullptr;
}

class BadDataMatrix : public ::testing::TestWithParam<Case> {};

TEST_P(BadDataMatrix, NeverCrashesAndSaysAtMostOneLineNamingTheFile) {
    const Case& c = GetParam();
    const Observed seen = Play(c);
    PrintRow(c, seen);
    ExpectNoSanitizerReport(seen);
    ASSERT_NE(seen.status, -1) << "the game crashed or could not start";
    if (const Outcome* o = Documented(c)) {
        EXPECT_EQ(seen.status, o->status);
        EXPECT_EQ(seen.lines, Lines(*o));
        return;
    }
    const bool holdsPalette =
        c.file == "BMP/ETC.bmp" || c.file == "BMP/TITLE.bmp" ||
        std::find(FIRES_SHOWN.begin(), FIRES_SHOWN.end(), c.file) != FIRES_SHOWN.end();
    EXPECT_EQ(seen.status, holdsPalette && c.fault == "missing" ? 1 : 0);
    // One line, or for a fatal picture also the closing line that says why the game stops.
    const bool fatal = seen.status == 1;
    ASSERT_LE(seen.lines.size(), fatal ? 2u : 1u) << "more lines than the file's";
    if (fatal) {
        EXPECT_NE(seen.lines.back().find("cannot go on"), std::string::npos);
    }
    if (!seen.lines.empty()) {
        EXPECT_EQ(seen.lines[0].rfind("kelmorav: DATA/" + c.file, 0), 0u) << seen.lines[0];
    }
}

std::string CaseName(const ::testing::TestParamInfo<Case>& info) { return info.param.Name(); }

INSTANTIATE_TEST_SUITE_P(Full, BadDataMatrix, ::testing::ValuesIn(FullMatrix()), CaseName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(BadDataMatrix);

}  // namespace

// ---- the settings file ----------------------------------------------------------------------

// What the game does with a damaged settings file (given with --settings; SETTINGS stands for
// its path in the lines): it always plays on, with the defaults for what it could not take, and
// a file it cannot take at all is kept beside as settings.ini.bad.
struct SettingsOutcome {
    const char* name;
    const char* text;  // nullptr: no file; "<folder>": a folder in its place
    const char* line;  // "" when nothing is said
    bool keptAsBad;
};

const SettingsOutcome SETTINGS_OUTCOMES[] = {
    {"missing", nullptr, "", false},
    {"healthy", "kelmorav-settings 1\nmusic=7\n", "", false},
    {"no_version_line", "music=7\n",
     "kelmorav: SETTINGS: not a settings file (its first line is not \"kelmorav-settings 1\"); "
     "the default settings are used and the file is kept as SETTINGS.bad",
     true},
    {"other_format", "kelmorav-settings 9\nmusic=7\n",
     "kelmorav: SETTINGS: settings of format 9, which this version cannot read; the default "
     "settings are used and the file is kept as SETTINGS.bad",
     true},
    {"not_key_value", "kelmorav-settings 1\nmusic 7\n",
     "kelmorav: SETTINGS: line 2 is not key=value; the default settings are used and the file "
     "is kept as SETTINGS.bad",
     true},
    {"unreadable", "<folder>",
     "kelmorav: SETTINGS: cannot be read: Is a directory; the default settings are used and "
     "the file is kept as SETTINGS.bad",
     true},
    {"bad_value", "kelmorav-settings 1\nmusic=11\nlabels=on\n",
     "kelmorav: SETTINGS: music is \"11\", not a volume from 0 to 10; taking 10", false},
};

class BadSettings : public ::testing::TestWithParam<SettingsOutcome> {};

TEST_P(BadSettings, PlaysOnWithTheDefaultsAndSaysTheDocumentedLine) {
    const SettingsOutcome& expected = GetParam();
    testfiles::TempDir dir(std::string("bad-settings-") + expected.name);
    const fs::path file = dir.Path() / "settings.ini";
    if (expected.text != nullptr && std::string(expected.text) == "<folder>") {
        fs::create_directories(file);
    } else if (expected.text != nullptr) {
        testfiles::WriteText(file, expected.text);
    }
    const fs::path script = dir.Path() / "session.txt";
    const fs::path err = dir.Path() / "stderr.txt";
    testfiles::WriteText(script, "wait 1500\n");
    const int status = testfiles::RunProgram(
        {std::string(KELMORAV_BUILD_DIR) + "/kelmorav", "--headless", "--seed", "7", "--script",
         script.string(), "--data", KELMORAV_BUILD_DIR, "--settings", file.string()},
        err);
    EXPECT_EQ(status, 0);
    std::string said = testfiles::ReadText(err);
    for (size_t at = said.find(file.string()); at != std::string::npos;
         at = said.find(file.string())) {
        said.replace(at, file.string().size(), "SETTINGS");
    }
    const std::string line = expected.line;
    EXPECT_EQ(said, line.empty() ? "" : line + "\n");
    EXPECT_EQ(fs::exists(dir.Path() / "settings.ini.bad"), expected.keptAsBad);
    if (expected.keptAsBad && expected.text != nullptr && expected.text[0] != '<') {
        EXPECT_EQ(testfiles::ReadText(dir.Path() / "settings.ini.bad"), expected.text);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, BadSettings, ::testing::ValuesIn(SETTINGS_OUTCOMES),
                         [](const ::testing::TestParamInfo<SettingsOutcome>& info) {
                             return std::string(info.param.name);
                         });
