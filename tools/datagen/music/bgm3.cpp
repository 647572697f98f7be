// BGM3, the ending theme under the credits: about 90 seconds at 76 beats a minute. It opens in
// D minor with the koto alone and a shakuhachi song on the in scale, builds through a string
// passage with shamisen and drums, turns to D major for the finale, and ends on a broad
// plagal-to-perfect cadence with a last drum stroke.
#include "music/pieces.h"
#include "music/theory.h"

namespace musicgen {

namespace {

// The parts of the ending theme, one track each, and the sections they play in turn.
struct EndingBand {
    Part koto, shakuhachi, strings, bass, shamisen, taiko, timpani, choir, lead, pad, drums;

    void SetUp() const;
    void Intro() const;
    void Song() const;
    void Climb() const;
    void Finale() const;
    void Coda() const;
};

// The tracks in the order the file keeps them, after the conductor's.
EndingBand AddEndingBand(Piece* piece) {
    EndingBand band;
    band.koto = {piece->AddTrack("Koto"), 0};
    band.shakuhachi = {piece->AddTrack("Shakuhachi"), 1};
    band.strings = {piece->AddTrack("Strings"), 2};
    band.bass = {piece->AddTrack("Contrabass"), 3};
    band.shamisen = {piece->AddTrack("Shamisen"), 4};
    band.taiko = {piece->AddTrack("Taiko"), 5};
    band.timpani = {piece->AddTrack("Timpani"), 6};
    band.choir = {piece->AddTrack("Choir"), 7};
    band.lead = {piece->AddTrack("Strings lead"), 8};
    band.pad = {piece->AddTrack("Pad"), 10};
    band.drums = {piece->AddTrack("Percussion"), PERCUSSION_CHANNEL};
    return band;
}

// The time signature and the tempo map, on the conductor's track.
void EndingTempo(MidiTrack* conductor) {
    conductor->TimeSignature(0, 4, 4);
    conductor->Tempo(0, 76);
    // The last two bars broaden into the final chord.
    conductor->Tempo(26 * BAR, 68);
    conductor->Tempo(26 * BAR + BAR / 2, 64);
    conductor->Tempo(27 * BAR, 56);
}

// Each part's instrument, volume, place and reverb, from the first tick.
void EndingBand::SetUp() const {
    koto.Setup(GM_KOTO, 108, 44, 60);
    shakuhachi.Setup(GM_SHAKUHACHI, 98, 82, 70);
    strings.Setup(GM_STRINGS, 90, 64, 75);
    bass.Setup(GM_CONTRABASS, 92, 60, 45);
    shamisen.Setup(GM_SHAMISEN, 82, 94, 45);
    taiko.Setup(GM_TAIKO, 116, 64, 50);
    timpani.Setup(GM_TIMPANI, 94, 70, 55);
    choir.Setup(GM_CHOIR, 80, 56, 85);
    lead.Setup(GM_STRINGS, 104, 72, 75);
    pad.Setup(GM_HALO_PAD, 96, 64, 85);
    drums.track->Control(0, PERCUSSION_CHANNEL, CC_VOLUME, 92);
    drums.track->Control(0, PERCUSSION_CHANNEL, CC_REVERB, 60);
}

// Intro, bars 0-3: the koto alone, a pad breathing in beneath it.
void EndingBand::Intro() const {
    const char* intro = "Dm | Bb | Gm | Asus4";
    PlayArpeggio(koto, 0, intro, {0, 2, 4, 3, 5, 4, 3, 2}, EIGHTH, 104, 50);
    pad.Expression(0, 4 * BAR, 70, 105);
    PlayChords(pad, 0, intro, 88, 57, 0);
}

// A, bars 4-11: the shakuhachi song over strings, a heartbeat on the drum from bar 8.
void EndingBand::Song() const {
    const long a = 4 * BAR;
    const char* chordsA = "Dm | Bb | Gm | Asus4 | Dm | Bb | C | Asus4";
    PlayArpeggio(koto, a, chordsA, {0, -1, 2, 3, 4, -1, 3, 2}, EIGHTH, 72, 50);
    PlayChords(strings, a, chordsA, 72, 57, 0);
    PlayChords(pad, a, chordsA, 64, 57, 0);
    PlayChords(bass, a, chordsA, 70, 0, 33);
    strings.Expression(a, a + 8 * BAR, 76, 96);
    PlayMelody(shakuhachi, a,
               "A4:3 D5:1 C5:2 A4:2 | Bb4:4 A4:2 G4:2 | G4:3 Bb4:1 D5:2 Eb5:2 | D5:6 r:2 |"
               "A4:3 D5:1 C5:2 A4:2 | F5:4 D5:2 Bb4:2 | C5:2 E5:2 G5:2 E5:2 | D5:4 A4:4",
               86, 0, 0.97);
    PlayRhythm(taiko, a + 4 * BAR, "X.......x.......", 45, 56, 4);
}

// B, bars 12-19: the strings take the line and climb; shamisen and drums gather towards the
// bright A major that opens the finale.
void EndingBand::Climb() const {
    const long b = 12 * BAR;
    const char* chordsB = "Bb | C | Dm | Dm | Bb | C | Asus4 | A";
    PlayChords(strings, b, chordsB, 72, 57, 0);
    PlayChords(bass, b, chordsB, 84, 0, 33);
    PlayChords(choir, b + 4 * BAR, "Bb | C | Asus4 | A", 62, 62, 0);
    choir.Expression(b + 4 * BAR, b + 8 * BAR, 70, 112);
    lead.Expression(b, b + 8 * BAR, 80, 118);
    PlayMelody(lead, b,
               "D5:4 F5:2 A5:2 | G5:4 E5:2 C5:2 | D5:3 E5:1 F5:2 A5:2 | A5:6 G5:1 F5:1 |"
               "F5:4 D5:2 Bb5:2 | G5:2 E5:2 C6:4 | A5:4 D6:2 E6:2 | C#6:4 A5:2 E6:2",
               92, 0, 0.98);
    PlayMelody(shakuhachi, b, "F4:8 | G4:8 | A4:8 | D5:8 | D5:8 | E5:8 | D5:8 | C#5:8", 70, 0,
               0.97);
    PlayArpeggio(koto, b, chordsB, {0, 1, 2, 3, 4, 3, 2, 1}, SIXTEENTH, 62, 62);
    PlayArpeggio(shamisen, b + 4 * BAR, "Bb | C | Asus4 | A", {0, 0, 2, 0, 1, 0, 2, 3}, EIGHTH, 70,
                 50);
    PlayRhythm(taiko, b, "X.......x...x...", 45, 74, 4);
    PlayRhythm(taiko, b + 4 * BAR, "X...x.x.X...x.x.", 45, 88, 3);
    PlayRhythm(taiko, b + 7 * BAR, "XxXxXxXxXXXXXXXX", 45, 96, 1);
    PlayRoll(timpani, b + 7 * BAR, BAR, 45, 40, 112);
}

// Finale, bars 20-25: D major, the whole ensemble, the melody in strings and shakuhachi.
void EndingBand::Finale() const {
    const long f = 20 * BAR;
    const char* chordsF = "D | G | Em7 | Asus4:4 A:4 | D | Gadd9:4 A:4";
    drums.track->Note(f, BAR, PERCUSSION_CHANNEL, 49, 110);
    drums.track->Note(f + 4 * BAR, BAR, PERCUSSION_CHANNEL, 57, 104);
    PlayChords(strings, f, chordsF, 90, 57, 0);
    PlayChords(choir, f, chordsF, 80, 62, 0);
    PlayChords(pad, f, chordsF, 56, 57, 0);
    PlayChords(bass, f, chordsF, 96, 0, 33);
    const char* anthem =
        ">A5:3 B5:1 D6:4 | B5:2 D6:2 G5:4 | E5:2 G5:2 B5:2 D6:2 |"
        "D6:2 B5:2 C#6:2 A5:2 | A5:3 B5:1 D6:2 E6:2 | D6:4 C#6:4";
    PlayMelody(lead, f, anthem, 104, 0, 0.98);
    PlayMelody(shakuhachi, f, anthem, 90, -12, 0.97);
    PlayArpeggio(koto, f, chordsF, {0, 1, 2, 3, 4, 3, 2, 1}, SIXTEENTH, 78, 62);
    PlayArpeggio(shamisen, f, chordsF, {0, 2, 1, 2, 0, 2, 1, 3}, EIGHTH, 80, 50);
    PlayRhythm(taiko, f, "X.x.X.x.X.xxX.x.", 45, 100, 5);
    PlayRhythm(taiko, f + 5 * BAR, "X...X...XxXxXXXX", 45, 104, 1);
    PlayRhythm(drums, f, "..x...x...x...x.", 77, 64, 6);
}

// Coda, bars 26-27: subdominant to dominant to the held tonic, the koto sweeping up and a
// last stroke on the drums.
void EndingBand::Coda() const {
    const long c = 26 * BAR;
    const char* chordsC = "Gadd9:4 Asus4:2 A:2 | D";
    PlayChords(strings, c, chordsC, 96, 57, 0);
    PlayChords(choir, c, chordsC, 84, 62, 0);
    PlayChords(pad, c, chordsC, 60, 57, 0);
    PlayChords(bass, c, chordsC, 100, 0, 33);
    PlayMelody(lead, c, "B5:2 D6:2 D6:1 E6:1 C#6:2 | >D6:8", 108, 0, 0.98);
    PlayMelody(shakuhachi, c, "G5:4 A5:4 | A5:8", 92, 0, 0.97);
    PlayMelody(koto, PlayRun(koto, c, SCALE_YO, 74, 8, SIXTEENTH, 92), "A6:4", 96);
    PlayChords(koto, c + BAR, "D5", 104, 50, 38);
    PlayRhythm(taiko, c, "X.X.X.X.XXXXXXXX", 45, 100, 1);
    taiko.track->Note(c + BAR, BAR, taiko.channel, 45, 124);
    taiko.track->Note(c + BAR, BAR, taiko.channel, 38, 112);
    PlayRoll(timpani, c, BAR, 38, 50, 118);
    timpani.track->Note(c + BAR, BAR, timpani.channel, 38, 120);
    drums.track->Note(c + BAR, BAR, PERCUSSION_CHANNEL, 49, 118);
    for (const Part* part : {&strings, &choir, &lead, &pad}) {
        part->Expression(c + BAR, c + 2 * BAR - EIGHTH, 118, 76);
    }
}

}  // namespace

Piece ComposeEndingTheme() {
    Piece piece;
    MidiTrack* conductor = piece.AddTrack("Ending theme");
    const EndingBand band = AddEndingBand(&piece);
    EndingTempo(conductor);
    band.SetUp();
    band.Intro();
    band.Song();
    band.Climb();
    band.Finale();
    band.Coda();
    piece.endTick = 28 * BAR;
    return piece;
}

}  // namespace musicgen
