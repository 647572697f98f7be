// BGM2, the match theme: D on the yo scale at 66 beats a minute, 40 bars (about 145 seconds),
// quiet enough to think over. A gentle koto theme, a shakuhachi middle section, the theme again
// with a counter-line, a string episode, and an outro on the suspended dominant that leads
// straight back into the opening bars, so the piece loops without a seam: every note ends by
// the last bar line and nothing rings on past it.
#include "music/pieces.h"
#include "music/theory.h"

namespace musicgen {

Piece ComposeMatchTheme() {
    Piece piece;
    MidiTrack* conductor = piece.AddTrack("Match theme");
    const Part koto{piece.AddTrack("Koto"), 0};
    const Part shakuhachi{piece.AddTrack("Shakuhachi"), 1};
    const Part pad{piece.AddTrack("Pad"), 2};
    const Part strings{piece.AddTrack("Strings"), 3};
    const Part bass{piece.AddTrack("Contrabass"), 4};
    const Part harpKoto{piece.AddTrack("Koto accompaniment"), 5};
    const Part taiko{piece.AddTrack("Taiko"), 6};

    conductor->TimeSignature(0, 4, 4);
    conductor->Tempo(0, 66);

    koto.Setup(GM_KOTO, 118, 50, 60);
    shakuhachi.Setup(GM_SHAKUHACHI, 112, 80, 70);
    pad.Setup(GM_WARM_PAD, 110, 64, 80);
    strings.Setup(GM_SLOW_STRINGS, 110, 70, 75);
    bass.Setup(GM_CONTRABASS, 108, 60, 50);
    harpKoto.Setup(GM_KOTO, 108, 36, 60);
    taiko.Setup(GM_TAIKO, 104, 64, 60);

    const char* intro = "Dsus2 | Gadd9 | Em7 | Asus4";
    const char* verse = "Dsus2 | G | Em7 | Asus4 | Dsus2 | Bm7 | G | Asus4";
    const char* bridge = "Em7 | G | Dsus2 | Asus4 | Em7 | G | Bm7 | Asus4";
    const char* episode = "G | Asus4 | Bm7 | Em7 | G | Asus4 | Dsus2 | Dsus2";
    const char* outro = "G | Em7 | Asus4 | Asus4";
    const long a = 4 * BAR;
    const long b = 12 * BAR;
    const long a2 = 20 * BAR;
    const long c = 28 * BAR;
    const long o = 36 * BAR;

    // The harmony under everything: a warm pad and a soft bass, phrase by phrase.
    long tick = 0;
    for (const char* chords : {intro, verse, bridge, verse, episode, outro}) {
        PlayChords(pad, tick, chords, 92, 57, 0);
        tick = PlayChords(bass, tick, chords, 90, 0, 38);
    }
    pad.Expression(0, a, 96, 108);
    pad.Expression(c, c + 2 * BAR, 108, 100);
    pad.Expression(o, o + 4 * BAR, 100, 96);

    // Koto broken chords: flowing in the intro, episode and outro, sparse under a melody.
    const std::vector<int> flowing = {0, 2, 3, 4, 5, 4, 3, 2};
    const std::vector<int> sparse = {0, -1, 3, -1, 4, -1, 3, -1};
    PlayArpeggio(harpKoto, 0, intro, flowing, EIGHTH, 96, 50);
    PlayArpeggio(harpKoto, a, verse, sparse, EIGHTH, 82, 50);
    PlayArpeggio(harpKoto, b, bridge, sparse, EIGHTH, 82, 50);
    PlayArpeggio(harpKoto, a2, verse, sparse, EIGHTH, 82, 50);
    PlayArpeggio(harpKoto, c, episode, flowing, EIGHTH, 92, 50);
    PlayArpeggio(harpKoto, o, outro, flowing, EIGHTH, 94, 50);

    // A: the theme, answering itself and coming to rest on the suspended dominant.
    PlayMelody(koto, a,
               "D5:3 E5:1 A5:4 | B5:2 A5:1 G5:1 D5:4 | E5:3 G5:1 B4:2 D5:2 | A4:6 r:2 |"
               "D5:3 E5:1 A5:4 | B5:2 D6:2 A5:3 B5:1 | G5:2 E5:1 D5:1 B4:2 D5:2 | E5:6 r:2",
               108);

    // B: the shakuhachi sings a longer-breathed tune; a soft drum marks every other bar.
    PlayMelody(shakuhachi, b,
               "B4:6 A4:1 G4:1 | D5:4 B4:2 G4:2 | A4:8 | E5:4 D5:2 E5:2 |"
               "G5:6 E5:1 D5:1 | B4:4 D5:2 G5:2 | F#5:4 D5:2 B4:2 | A4:6 r:2",
               104, 0, 0.97);
    shakuhachi.Expression(b, b + 4 * BAR, 104, 118);
    shakuhachi.Expression(b + 4 * BAR, b + 8 * BAR, 118, 104);
    PlayRhythm(taiko, b, "X...............|................", 40, 60, 8);

    // A': the theme again, rising higher and closing on the tonic; the shakuhachi holds a
    // quiet counter-line beneath.
    PlayMelody(koto, a2,
               "D5:3 E5:1 A5:4 | B5:2 A5:1 G5:1 D5:4 | E5:3 G5:1 B5:2 D6:2 | A5:6 r:2 |"
               "D6:3 B5:1 A5:4 | B5:2 D6:2 A5:3 F#5:1 | G5:2 E5:1 D5:1 B4:2 A4:2 | D5:6 r:2",
               110);
    PlayMelody(shakuhachi, a2, "A4:8 | B4:8 | G4:8 | E4:8 | A4:8 | F#4:8 | G4:8 | E4:7 r:1", 86, 0,
               0.97);

    // Episode: the strings take a slow line over the flowing koto, the koto echoing it.
    strings.Expression(c, c + 4 * BAR, 96, 112);
    strings.Expression(c + 4 * BAR, c + 8 * BAR, 112, 96);
    PlayMelody(strings, c,
               "D5:4 B4:2 D5:2 | E5:8 | F#5:4 D5:2 B4:2 | G5:6 E5:2 |"
               "D5:4 B4:2 G4:2 | A4:4 D5:2 E5:2 | E5:4 D5:4 | A4:8",
               104, 0, 0.98);
    PlayMelody(koto, c + 3 * BAR, "r:4 B5:1 A5:1 G5:2 | r:8 | r:8 | r:8 | r:4 E5:1 D5:1 A4:2", 94);

    // Outro: the theme's opening, low and quiet, then the open dominant that leads back to the
    // first bar.
    PlayMelody(koto, o, "B4:3 A4:1 G4:4 | E4:3 G4:1 B4:4 | A4:8", 94);

    piece.endTick = 40 * BAR;
    return piece;
}

}  // namespace musicgen
