#pragma once
// Note data for the pieces: Japanese scales, chord names, and the helpers that turn short written
// lines of notes, chords and drum patterns into MIDI events on one instrument part.
//
// Written lines are words separated by blanks ('|' marks bars for the reader and is skipped):
//   melody   "D5:2 Eb5 >A4:4 r:2"  note (C4 = 60, '#' or 'b'), 'r' for a rest, ':' length in
//            eighth notes (kept until changed), '>' accents the note.
//   chords   "Dm Bb:4 Asus4:4"     root and quality (m, 5, sus2, sus4, m7, 7, maj7, add9, madd9,
//            m9), ':' length in eighths (a whole bar unless given).
//   rhythm   "X..x..x.|o.x."       one sixteenth per character: X accent, x normal, o soft.

#include <string_view>
#include <vector>

#include "music/midi_writer.h"

namespace musicgen {

// Pentatonic scales as semitones above the tonic.
constexpr int SCALE_YO[5] = {0, 2, 5, 7, 9};      // bright, folk-song colour
constexpr int SCALE_MIYAKO[5] = {0, 1, 5, 7, 8};  // koto music's minor, with the half steps

// The note `degree` steps up the scale from tonic (negative degrees go down).
int ScaleNote(const int (&scale)[5], int tonic, int degree);

// "C4" = 60, "Eb5", "F#3"; -1 when the word is not a note.
int NoteNumber(std::string_view name);

struct Chord {
    int root = 0;  // pitch class 0..11
    std::vector<int> intervals;
};
// False when the word is not a chord this notation knows.
bool ParseChord(std::string_view name, Chord& chord);
// Every note of the chord between low and high inclusive, ascending.
std::vector<int> ChordTones(const Chord& chord, int low, int high);

// One instrument on one channel of a track.
struct Part {
    MidiTrack* track;
    int channel;

    // Program, volume, stereo position (0 left .. 127 right) and reverb send at tick 0.
    void Setup(int program, int volume, int pan, int reverb) const;
    void Expression(long from, long to, int startValue, int endValue) const;
};

// Plays a melody line from `start`; returns the tick after its last note or rest.
long PlayMelody(const Part& part, long start, const char* notes, int velocity, int transpose = 0,
                double legato = 0.95);
// Holds each chord as a close voicing from upperLow, with its root doubled an octave or two
// below at bassLow when bassLow > 0 (upperLow 0: the bass alone). Returns the end tick.
long PlayChords(const Part& part, long start, const char* chords, int velocity, int upperLow,
                int bassLow);
// Broken chords: `pattern` indexes the chord's notes upwards from `low`, one index per step.
long PlayArpeggio(const Part& part, long start, const char* chords, const std::vector<int>& pattern,
                  long step, int velocity, int low);
// A sweep up the scale: `count` notes from `tonic`, one per step, each left ringing for two.
// Returns the tick after the last note.
long PlayRun(const Part& part, long start, const int (&scale)[5], int tonic, int count, long step,
             int velocity);
// A drum pattern on one key, repeated `repeats` times. Returns the end tick.
long PlayRhythm(const Part& part, long start, const char* pattern, int key, int velocity,
                int repeats);
// Number of words the helpers above could not read (each reported on stderr); a piece with any
// is not written.
int NoteDataErrors();

// A roll of thirty-second notes swelling (or fading) from v0 to v1.
void PlayRoll(const Part& part, long start, long length, int key, int v0, int v1);

}  // namespace musicgen
