// BGM1, the title theme: D minor in the miyako-bushi colour, 76 then 84 beats a minute, about
// 73 seconds. A taiko and timpani swell under a shakuhachi call (the flames catching), the koto
// theme over strings and a shamisen ostinato, a climax in which the strings carry a rising line,
// and a coda that restates the theme fortissimo and broadens to a held open fifth.
#include "music/pieces.h"
#include "music/theory.h"

namespace musicgen {

namespace {

// The parts of the title theme, one track each, and the sections they play in turn.
struct TitleBand {
    Part koto, shakuhachi, strings, bass, shamisen, taiko, timpani, choir, lead, drums;

    void SetUp() const;
    void Intro() const;
    void ThemeA() const;
    void Climax() const;
    void Coda() const;
};

// The tracks in the order the file keeps them, after the conductor's.
TitleBand AddTitleBand(Piece* piece) {
    TitleBand band;
    band.koto = {piece->AddTrack("Koto"), 0};
    band.shakuhachi = {piece->AddTrack("Shakuhachi"), 1};
    band.strings = {piece->AddTrack("Strings"), 2};
    band.bass = {piece->AddTrack("Contrabass"), 3};
    band.shamisen = {piece->AddTrack("Shamisen"), 4};
    band.taiko = {piece->AddTrack("Taiko"), 5};
    band.timpani = {piece->AddTrack("Timpani"), 6};
    band.choir = {piece->AddTrack("Choir"), 7};
    band.lead = {piece->AddTrack("Strings lead"), 8};
    band.drums = {piece->AddTrack("Percussion"), PERCUSSION_CHANNEL};
    return band;
}

// The time signature and the tempo map, on the conductor's track.
void TitleTempo(MidiTrack* conductor) {
    conductor->TimeSignature(0, 4, 4);
    conductor->Tempo(0, 76);
    conductor->Tempo(4 * BAR, 84);
    // The coda broadens bar by bar into the last chord.
    conductor->Tempo(22 * BAR, 80);
    conductor->Tempo(23 * BAR, 74);
    conductor->Tempo(23 * BAR + BAR / 2, 68);
    conductor->Tempo(24 * BAR, 60);
}

// Each part's instrument, volume, place and reverb, from the first tick.
void TitleBand::SetUp() const {
    koto.Setup(GM_KOTO, 112, 44, 50);
    shakuhachi.Setup(GM_SHAKUHACHI, 100, 84, 60);
    strings.Setup(GM_STRINGS, 92, 64, 70);
    bass.Setup(GM_CONTRABASS, 96, 60, 40);
    shamisen.Setup(GM_SHAMISEN, 84, 92, 40);
    taiko.Setup(GM_TAIKO, 118, 64, 45);
    timpani.Setup(GM_TIMPANI, 96, 70, 50);
    choir.Setup(GM_CHOIR, 78, 56, 80);
    lead.Setup(GM_STRINGS, 104, 72, 70);
    drums.track->Control(0, PERCUSSION_CHANNEL, CC_VOLUME, 92);
    drums.track->Control(0, PERCUSSION_CHANNEL, CC_REVERB, 50);
}

// Intro, bars 0-3: out of a low drone the drums gather and the shakuhachi calls.
void TitleBand::Intro() const {
    strings.Expression(0, 4 * BAR, 35, 105);
    PlayChords(strings, 0, "Dm:16 Bb Asus4", 80, 50, 0);
    PlayChords(bass, 0, "D:16 Bb A", 86, 0, 33);
    timpani.track->Note(0, BAR, timpani.channel, 38, 95);
    timpani.track->Note(BAR, BAR, timpani.channel, 38, 90);
    PlayRoll(timpani, 2 * BAR, 2 * BAR - EIGHTH, 38, 30, 105);
    PlayRhythm(taiko, 0, "X............... X.......x....... X...x...X...x... X.x.X.x.XxXxXXXX", 45,
               88, 1);
    PlayMelody(shakuhachi, 0, "r:2 A4:2 >D5:4 | Eb5:3 D5:1 Bb4:2 A4:2 | G4:6 A4:2 | D5:7 r:1", 92);
    PlayMelody(koto, 2 * BAR, "r:4 A4:0.5 Bb4 D5 Eb5 G5:2", 84);
    const long sweep = PlayRun(koto, 3 * BAR, SCALE_MIYAKO, 62, 10, SIXTEENTH, 84);
    PlayMelody(koto, sweep, ">D6:3", 84);
}

// A, bars 4-11: the koto theme, antecedent ending open on A, consequent closing on D.
void TitleBand::ThemeA() const {
    const long a = 4 * BAR;
    const char* chordsA = "Dm | Bb | Gm | Asus4 | Dm | Bb | Eb:4 C:4 | Dm";
    drums.track->Note(a, BAR, PERCUSSION_CHANNEL, 49, 100);
    strings.Expression(a, a + 4 * BAR, 90, 92);
    strings.Expression(a + 4 * BAR, a + 8 * BAR, 92, 108);
    PlayChords(strings, a, chordsA, 72, 57, 0);
    PlayChords(bass, a, chordsA, 82, 0, 33);
    PlayMelody(koto, a,
               ">D5:2 Eb5:1 D5:1 A4:2 Bb4:2 | Bb4:3 A4:1 G4:2 F4:2 | G4:2 Bb4:2 D5:3 Eb5:1 |"
               "D5:3 C5:1 A4:4 |"
               ">D5:2 Eb5:1 D5:1 A4:2 Bb4:2 | D5:2 F5:2 Eb5:2 D5:2 | Eb5:2 G5:2 >C5:2 Bb4:1 A4:1 |"
               "D5:6 r:2",
               92);
    PlayMelody(shakuhachi, a + 4 * BAR, "A4:8 | Bb4:8 | G4:8 | F4:6 r:2", 72);
    PlayArpeggio(shamisen, a, chordsA, {0, 2, 1, 2, 0, 2, 1, 3}, EIGHTH, 68, 50);
    PlayRhythm(taiko, a, "X.......x...x...", 45, 84, 7);
    PlayRhythm(taiko, a + 7 * BAR, "X...x...X.x.XxXx", 45, 90, 1);
    PlayRhythm(drums, a, "....x.......x...", 77, 58, 8);
}

// B, bars 12-19: the climax; the strings lift the line, the choir and koto runs fill out
// and the drums drive towards the dominant.
void TitleBand::Climax() const {
    const long b = 12 * BAR;
    const char* chordsB = "Bb | C | Dm | Dm | Bb | C | Asus4:4 A:4 | A";
    drums.track->Note(b, BAR, PERCUSSION_CHANNEL, 49, 108);
    PlayChords(strings, b, chordsB, 84, 57, 0);
    PlayChords(bass, b, chordsB, 92, 0, 33);
    choir.Expression(b, b + 8 * BAR, 60, 112);
    PlayChords(choir, b, chordsB, 66, 62, 0);
    const char* climax =
        "F5:3 D5:1 Bb4:2 D5:2 | E5:3 G5:1 C6:4 | A5:4 F5:2 D5:2 | E5:2 F5:2 A5:2 C6:2 |"
        ">D6:4 Bb5:2 F5:2 | G5:2 C6:2 E6:4 | D6:4 E6:2 D6:2 | >C#6:4 E6:4";
    lead.Expression(b, b + 8 * BAR, 88, 120);
    PlayMelody(lead, b, climax, 98, 0, 0.98);
    PlayMelody(shakuhachi, b, climax, 82, -12, 0.98);
    PlayArpeggio(koto, b, chordsB, {0, 1, 2, 3, 4, 3, 2, 1}, SIXTEENTH, 70, 62);
    PlayArpeggio(shamisen, b, chordsB, {0, 0, 2, 0, 1, 0, 2, 3}, EIGHTH, 78, 50);
    PlayRhythm(taiko, b, "X...x.x.X...x.x.", 45, 94, 7);
    PlayRhythm(taiko, b + 7 * BAR, "XxXxXxXxXXXXXXXX", 45, 98, 1);
    PlayRoll(timpani, b + 7 * BAR, BAR, 45, 40, 112);
    PlayRhythm(drums, b, "..x...x...x...x.", 77, 62, 8);
}

// Coda, bars 20-24: the theme fortissimo, a last run, and the held fifth.
void TitleBand::Coda() const {
    const long c = 20 * BAR;
    const char* chordsC = "Dm | Gm:4 Asus4:4 | Bb:4 C:4 | Dm:16";
    drums.track->Note(c, BAR, PERCUSSION_CHANNEL, 49, 115);
    PlayChords(strings, c, chordsC, 96, 57, 0);
    PlayChords(choir, c, chordsC, 76, 62, 0);
    PlayChords(bass, c, chordsC, 98, 0, 33);
    PlayMelody(lead, c,
               ">D6:2 Eb6:1 D6:1 A5:2 Bb5:2 | A5:3 G5:1 A5:4 | D5:2 F5:2 G5:2 C6:2 |"
               ">D6:16",
               104, 0, 0.98);
    PlayMelody(koto, c, ">D5:2 Eb5:1 D5:1 A4:2 Bb4:2 | A4:3 G4:1 A4:4 | D4:2 F4:2 G4:2 C5:2", 100);
    PlayMelody(koto, PlayRun(koto, c + 3 * BAR, SCALE_MIYAKO, 62, 10, SIXTEENTH, 100), ">D6:3",
               104);
    PlayChords(koto, c + 4 * BAR, "D5", 104, 50, 38);
    PlayMelody(shakuhachi, c, "A5:8 | G5:4 E5:4 | F5:4 G5:4 | A5:16", 90, 0, 0.98);
    PlayRhythm(taiko, c, "X.x.x.X.X.x.x.X.", 45, 100, 3);
    PlayRhythm(taiko, c + 3 * BAR, "X...X...X.X.XXXX", 45, 104, 1);
    taiko.track->Note(c + 4 * BAR, BAR, taiko.channel, 45, 124);
    taiko.track->Note(c + 4 * BAR, BAR, taiko.channel, 38, 110);
    PlayRoll(timpani, c + 3 * BAR, BAR, 38, 50, 118);
    timpani.track->Note(c + 4 * BAR, BAR, timpani.channel, 38, 120);
    drums.track->Note(c + 4 * BAR, BAR, PERCUSSION_CHANNEL, 57, 118);
    // The last chord swells a little and settles.
    for (const Part* part : {&strings, &choir, &lead}) {
        part->Expression(c + 4 * BAR, c + 5 * BAR - EIGHTH, 118, 80);
    }
}

}  // namespace

Piece ComposeTitleTheme() {
    Piece piece;
    MidiTrack* conductor = piece.AddTrack("Title theme");
    const TitleBand band = AddTitleBand(&piece);
    TitleTempo(conductor);
    band.SetUp();
    band.Intro();
    band.ThemeA();
    band.Climax();
    band.Coda();
    piece.endTick = 25 * BAR;
    return piece;
}

}  // namespace musicgen
