// Scales, chord names and the note-data helpers shared by the three pieces.
#include "music/theory.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace musicgen {

namespace {

int noteDataErrors = 0;

void ReportBadWord(std::string_view word) {
    std::fprintf(stderr, "datagen: cannot read note data word '%.*s'\n",
                 static_cast<int>(word.size()), word.data());
    ++noteDataErrors;
}

std::vector<std::string_view> Words(const char* text) {
    std::vector<std::string_view> words;
    std::string_view rest(text);
    while (!rest.empty()) {
        const size_t begin = rest.find_first_not_of(" \n\t|");
        if (begin == std::string_view::npos) {
            break;
        }
        rest.remove_prefix(begin);
        const size_t end = std::min(rest.find_first_of(" \n\t|"), rest.size());
        words.push_back(rest.substr(0, end));
        rest.remove_prefix(end);
    }
    return words;
}

// Splits "NAME:LEN" into the name and a length in ticks (lastLength when absent).
bool SplitLength(std::string_view word, std::string_view& name, long& length) {
    const size_t colon = word.find(':');
    name = word.substr(0, colon);
    if (colon == std::string_view::npos) {
        return true;
    }
    const std::string digits(word.substr(colon + 1));
    char* end = nullptr;
    const double eighths = std::strtod(digits.c_str(), &end);
    if (digits.empty() || *end != '\0' || !(eighths > 0.0) || eighths > 1024.0) {
        return false;
    }
    length = std::lround(eighths * EIGHTH);
    return true;
}

int PitchClass(std::string_view name, size_t& used) {
    static const int LETTERS[7] = {9, 11, 0, 2, 4, 5, 7};  // A..G
    if (name.empty() || name[0] < 'A' || name[0] > 'G') {
        return -1;
    }
    int pc = LETTERS[name[0] - 'A'];
    used = 1;
    if (name.size() > 1 && (name[1] == '#' || name[1] == 'b')) {
        pc += name[1] == '#' ? 1 : -1;
        used = 2;
    }
    return (pc + 12) % 12;
}

// Small metric accents and a fixed per-tick wobble, so repeated notes do not sound machined.
int ShapeVelocity(long tick, int velocity) {
    if (tick % BAR == 0) {
        velocity += 6;
    } else if (tick % (BAR / 2) == 0) {
        velocity += 3;
    } else if (tick % PPQ != 0) {
        velocity -= 3;
    }
    const unsigned hash = static_cast<unsigned>(tick) * 2654435761u;
    velocity += static_cast<int>((hash >> 28) % 7) - 3;
    return std::clamp(velocity, 1, 127);
}

struct ChordSpan {
    Chord chord;
    long length;
};

std::vector<ChordSpan> ReadChords(const char* text) {
    std::vector<ChordSpan> spans;
    for (std::string_view word : Words(text)) {
        std::string_view name;
        long length = BAR;
        Chord chord;
        if (!SplitLength(word, name, length) || !ParseChord(name, chord)) {
            ReportBadWord(word);
            continue;
        }
        spans.push_back({chord, length});
    }
    return spans;
}

}  // namespace

int ScaleNote(const int (&scale)[5], int tonic, int degree) {
    const int octave = degree >= 0 ? degree / 5 : -((-degree + 4) / 5);
    return tonic + 12 * octave + scale[degree - octave * 5];
}

int NoteNumber(std::string_view name) {
    size_t used = 0;
    const int pc = PitchClass(name, used);
    if (pc < 0 || used >= name.size()) {
        return -1;
    }
    const std::string_view octaveText = name.substr(used);
    if (octaveText.size() != 1 || octaveText[0] < '0' || octaveText[0] > '8') {
        return -1;
    }
    // B#/Cb belong to the neighbouring octave.
    int octave = octaveText[0] - '0';
    if (name[0] == 'C' && used == 2 && name[1] == 'b') {
        --octave;
    } else if (name[0] == 'B' && used == 2 && name[1] == '#') {
        ++octave;
    }
    return 12 * (octave + 1) + pc;
}

bool ParseChord(std::string_view name, Chord& chord) {
    struct Quality {
        const char* suffix;
        std::vector<int> intervals;
    };
    static const Quality QUALITIES[] = {
        {"", {0, 4, 7}},          {"m", {0, 3, 7}},          {"5", {0, 7}},
        {"sus2", {0, 2, 7}},      {"sus4", {0, 5, 7}},       {"m7", {0, 3, 7, 10}},
        {"7", {0, 4, 7, 10}},     {"maj7", {0, 4, 7, 11}},   {"add9", {0, 4, 7, 14}},
        {"madd9", {0, 3, 7, 14}}, {"m9", {0, 3, 7, 10, 14}}, {"7sus4", {0, 5, 7, 10}},
    };
    size_t used = 0;
    const int pc = PitchClass(name, used);
    if (pc < 0) {
        return false;
    }
    const std::string_view suffix = name.substr(used);
    for (const Quality& quality : QUALITIES) {
        if (suffix == quality.suffix) {
            chord.root = pc;
            chord.intervals = quality.intervals;
            return true;
        }
    }
    return false;
}

std::vector<int> ChordTones(const Chord& chord, int low, int high) {
    std::vector<int> tones;
    for (int note = low; note <= high; ++note) {
        for (int interval : chord.intervals) {
            if ((note - chord.root - interval) % 12 == 0) {
                tones.push_back(note);
                break;
            }
        }
    }
    return tones;
}

int NoteDataErrors() { return noteDataErrors; }

void Part::Setup(int program, int volume, int pan, int reverb) const {
    track->Program(0, channel, program);
    track->Control(0, channel, CC_VOLUME, volume);
    track->Control(0, channel, CC_PAN, pan);
    track->Control(0, channel, CC_REVERB, reverb);
    track->Control(0, channel, CC_EXPRESSION, 100);
}

void Part::Expression(long from, long to, int startValue, int endValue) const {
    track->ControlRamp(from, to, channel, CC_EXPRESSION, startValue, endValue);
}

long PlayMelody(const Part& part, long start, const char* notes, int velocity, int transpose,
                double legato) {
    long tick = start;
    long length = EIGHTH;
    for (std::string_view word : Words(notes)) {
        bool accent = false;
        if (word.front() == '>') {
            accent = true;
            word.remove_prefix(1);
        }
        std::string_view name;
        if (!SplitLength(word, name, length)) {
            ReportBadWord(word);
            continue;
        }
        if (name != "r") {
            const int key = NoteNumber(name);
            if (key < 0) {
                ReportBadWord(word);
                continue;
            }
            const long held = std::max(1L, std::lround(length * legato));
            part.track->Note(tick, held, part.channel, key + transpose,
                             ShapeVelocity(tick, velocity + (accent ? 16 : 0)));
        }
        tick += length;
    }
    return tick;
}

long PlayChords(const Part& part, long start, const char* chords, int velocity, int upperLow,
                int bassLow) {
    long tick = start;
    for (const ChordSpan& span : ReadChords(chords)) {
        // A close voicing inside one octave from upperLow: the inversion follows the chord, so
        // the inner voices move by small steps from chord to chord.
        std::vector<int> voicing;
        if (upperLow > 0) {
            const int reach = span.chord.intervals.size() > 3 ? 14 : 11;
            voicing = ChordTones(span.chord, upperLow, upperLow + reach);
        }
        if (bassLow > 0) {
            const int bass = bassLow + (span.chord.root - bassLow % 12 + 12) % 12;
            voicing.push_back(bass);
        }
        const long held = span.length - 10;
        for (int key : voicing) {
            part.track->Note(tick, held, part.channel, key, ShapeVelocity(tick, velocity));
        }
        tick += span.length;
    }
    return tick;
}

long PlayArpeggio(const Part& part, long start, const char* chords, const std::vector<int>& pattern,
                  long step, int velocity, int low) {
    long tick = start;
    size_t index = 0;
    for (const ChordSpan& span : ReadChords(chords)) {
        const std::vector<int> tones = ChordTones(span.chord, low, low + 30);
        for (long at = 0; at < span.length && !tones.empty(); at += step, ++index) {
            const int wanted = pattern[index % pattern.size()];
            if (wanted < 0) {
                continue;  // a rest in the pattern
            }
            const int key = tones[std::min<size_t>(static_cast<size_t>(wanted), tones.size() - 1)];
            part.track->Note(tick + at, std::min(step * 2, span.length - at), part.channel, key,
                             ShapeVelocity(tick + at, velocity));
        }
        tick += span.length;
    }
    return tick;
}

long PlayRun(const Part& part, long start, const int (&scale)[5], int tonic, int count, long step,
             int velocity) {
    for (int degree = 0; degree < count; ++degree) {
        const long tick = start + degree * step;
        // The sweep grows a little louder as it climbs.
        part.track->Note(tick, 2 * step, part.channel, ScaleNote(scale, tonic, degree),
                         ShapeVelocity(tick, velocity - 10 + 20 * degree / std::max(1, count)));
    }
    return start + count * step;
}

long PlayRhythm(const Part& part, long start, const char* pattern, int key, int velocity,
                int repeats) {
    long tick = start;
    for (int r = 0; r < repeats; ++r) {
        for (const char* c = pattern; *c != '\0'; ++c) {
            if (*c == '|' || *c == ' ') {
                continue;
            }
            const int accent = *c == 'X' ? 22 : *c == 'o' ? -28 : 0;
            if (*c == 'X' || *c == 'x' || *c == 'o') {
                part.track->Note(tick, SIXTEENTH, part.channel, key, velocity + accent);
            } else if (*c != '.') {
                ReportBadWord(std::string_view(c, 1));
            }
            tick += SIXTEENTH;
        }
    }
    return tick;
}

void PlayRoll(const Part& part, long start, long length, int key, int v0, int v1) {
    const long step = SIXTEENTH / 2;
    for (long at = 0; at < length; at += step) {
        const double f = static_cast<double>(at) / length;
        part.track->Note(start + at, step, part.channel, key,
                         static_cast<int>(std::lround(v0 + (v1 - v0) * f)));
    }
}

}  // namespace musicgen
