// The thirteen sound effects of the game, synthesised from oscillators, noise, envelopes and
// filters. Each one is built for the moment it plays at: a piece picked up, a leap, a landing,
// a shattering capture, the chime of a point arriving, the drum of the result screen.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "datagen.h"
#include "sound/synth.h"
#include "sound/wav_writer.h"

namespace soundgen {

namespace {

// Every effect peaks at -2 dBFS: loud and even across roles, with headroom against clipping.
constexpr double PEAK_DB = -2.0;

// Pitch of a note number (69 = A4 = 440 Hz).
double NoteHz(double note) { return 440.0 * std::pow(2.0, (note - 69.0) / 12.0); }

// The title ignition: a breath of air catching (rising band of noise) that blooms into a bright
// open chord, swelling and fading like a flame flaring up.
Buffer TitleIgnition() {
    Buffer out = MakeBuffer(1.3);
    Noise noise(0x71A3u);
    Biquad band;
    LowPass air;
    Oscillator partials[6];
    const double chord[6] = {74, 81, 86, 88, 93, 98};  // D with fifths and a ninth: open, bright
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = SampleTime(i);
        band.SetBandPass(300.0 + 4200.0 * SmoothStep(t, 0.0, 0.45), 1.2);
        const double whoosh = band.Process(noise.Next()) * Adsr(t, 0.35, 0.2, 0.35, 0.55, 0.5);
        double tone = 0.0;
        for (int p = 0; p < 6; ++p) {
            const double detune = 1.0 + 0.002 * (p % 2 == 0 ? 1 : -1);
            tone += partials[p].Sine(NoteHz(chord[p]) * detune) / (1.0 + 0.3 * p);
        }
        const double bloom = SmoothStep(t, 0.15, 0.5) * std::exp(-std::max(0.0, t - 0.5) / 0.28);
        out[i] = static_cast<float>(whoosh * 1.2 +
                                    air.Process(static_cast<float>(tone), 7000.0) * 0.7 * bloom);
    }
    return out;
}

// The fire loop: a low roar of filtered noise with flickering level and random crackles.
Buffer FireLoop() {
    Buffer out = MakeBuffer(3.0);
    Noise noise(0xF12Eu);
    Noise crackleNoise(0xC4AC);
    LowPass roar;
    LowPass roarBody;
    Oscillator flicker;
    Oscillator flicker2;
    for (size_t i = 0; i < out.size(); ++i) {
        const float rumble = roarBody.Process(roar.Process(noise.Next(), 500.0), 900.0);
        const double level = 0.7 + 0.2 * flicker.Sine(2.3) + 0.1 * flicker2.Sine(5.7);
        out[i] = static_cast<float>(rumble * 3.0 * level);
    }
    // Crackles: short bright snaps of resonant noise at irregular times.
    Biquad snapFilter;
    for (double t = 0.02; t < 2.95; t += 0.03 + 0.12 * crackleNoise.Uniform()) {
        const double hz = 1500.0 + 4000.0 * crackleNoise.Uniform();
        const double amplitude = 0.15 + 0.5 * crackleNoise.Uniform();
        snapFilter.SetBandPass(hz, 3.0);
        const size_t first = static_cast<size_t>(t * SAMPLE_RATE);
        for (size_t k = 0; k < 400 && first + k < out.size(); ++k) {
            const double env = std::exp(-SampleTime(k) / 0.0015);
            out[first + k] += static_cast<float>(
                snapFilter.Process(static_cast<float>(crackleNoise.Next() * env)) * amplitude * 4);
        }
    }
    return out;
}

// A wooden piece picked up: a tight knock with the modes of a small hardwood block.
Buffer WoodClick() {
    Buffer out = MakeBuffer(0.09);
    Noise noise(0xC11Cu);
    Biquad bright;
    bright.SetHighPass(2500.0, 0.7);
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = SampleTime(i);
        out[i] = static_cast<float>(bright.Process(noise.Next()) * Strike(t, 0.0004, 0.003));
    }
    AddMode(out, 0.0, 1850.0, 0.012, 0.8);
    AddMode(out, 0.0, 3120.0, 0.008, 0.5);
    AddMode(out, 0.0, 4470.0, 0.005, 0.3);
    AddMode(out, 0.0, 920.0, 0.010, 0.25);
    return out;
}

// A piece leaps: a quick swish of air rising in pitch.
Buffer RisingWhoosh() {
    Buffer out = MakeBuffer(0.38);
    Noise noise(0x10AFu);
    Biquad band;
    Oscillator lift;
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = SampleTime(i);
        const double sweep = t / 0.38;
        band.SetBandPass(350.0 * std::pow(9.0, sweep), 2.5);
        const double env = std::sin(3.14159265 * std::pow(sweep, 0.7));
        const double whistle = lift.Sine(500.0 * std::pow(3.0, sweep)) * 0.08;
        out[i] = static_cast<float>((band.Process(noise.Next()) + whistle) * env);
    }
    return out;
}

// A piece lands: the clack of a heavy wooden piece on the board, with the board's low thump.
Buffer WoodLanding() {
    Buffer out = MakeBuffer(0.22);
    Noise noise(0x1A3Du);
    Biquad body;
    body.SetBandPass(1400.0, 1.0);
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = SampleTime(i);
        out[i] = static_cast<float>(body.Process(noise.Next()) * Strike(t, 0.0005, 0.006) * 1.5);
    }
    AddMode(out, 0.0, 640.0, 0.025, 0.7);
    AddMode(out, 0.0, 1180.0, 0.018, 0.55);
    AddMode(out, 0.0, 2350.0, 0.010, 0.35);
    AddMode(out, 0.0, 135.0, 0.045, 0.6);  // the board answering
    AddMode(out, 0.0, 3900.0, 0.004, 0.2);
    Saturate(out, 1.5);
    return out;
}

// A piece shatters: a punchy low thump under a burst of noise that darkens as it dies, with a
// few splinters.
Buffer ShatterBurst() {
    Buffer out = MakeBuffer(0.9);
    Noise noise(0xE8B1u);
    Noise splinters(0x5B1Fu);
    LowPass dark;
    Oscillator thump;
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = SampleTime(i);
        const double cutoff = 200.0 + 6000.0 * std::exp(-t / 0.08);
        const double burst = dark.Process(noise.Next(), cutoff) * Strike(t, 0.002, 0.18) * 2.5;
        const double hz = 40.0 + 120.0 * std::exp(-t / 0.05);
        const double body = thump.Sine(hz) * Strike(t, 0.003, 0.12);
        out[i] = static_cast<float>(burst + body * 0.9);
    }
    for (int k = 0; k < 9; ++k) {
        const double start = 0.02 + 0.35 * splinters.Uniform();
        AddMode(out, start, 1800.0 + 3500.0 * splinters.Uniform(), 0.01, 0.15 * (1.0 - start));
    }
    Saturate(out, 3.0);
    return out;
}

// A refusal: a soft low pop, a round tone that drops a little as it fades.
Buffer SoftPop() {
    Buffer out = MakeBuffer(0.2);
    Oscillator tone;
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = SampleTime(i);
        const double hz = 190.0 + 150.0 * std::exp(-t / 0.02);
        out[i] = static_cast<float>((tone.Sine(hz)) * Strike(t, 0.004, 0.05));
    }
    return out;
}

// A point arrives: a short bright bell, kept well under 0.4 s because up to six overlap.
Buffer BrightChime() {
    Buffer out = MakeBuffer(0.3);
    AddMode(out, 0.0, NoteHz(91), 0.07, 0.7);  // G6
    AddMode(out, 0.0, NoteHz(91) * 2.0, 0.035, 0.25);
    AddMode(out, 0.0, NoteHz(91) * 2.76, 0.02, 0.2);  // the bell's inharmonic shimmer
    AddMode(out, 0.0, NoteHz(79), 0.06, 0.25);        // a soft octave below for body
    // The partials would start at full level; a 1 ms attack keeps the chime free of a click.
    for (size_t i = 0; i < out.size(); ++i) {
        out[i] *= static_cast<float>(SmoothStep(SampleTime(i), 0.0, 0.001));
    }
    return out;
}

// Promotion or a piece appearing: a quick rising arpeggio of bell tones on the yo scale, with a
// glitter of tiny high sparks above it.
Buffer SparkleArpeggio() {
    Buffer out = MakeBuffer(1.1);
    const double notes[] = {74, 76, 79, 81, 83, 86, 88, 91, 93, 95};
    for (int k = 0; k < 10; ++k) {
        const double start = 0.055 * k;
        const double gain = 0.35 + 0.04 * k;
        Buffer note = MakeBuffer(0.6);
        AddMode(note, 0.0, NoteHz(notes[k]), 0.16, gain);
        AddMode(note, 0.0, NoteHz(notes[k]) * 3.0, 0.05, gain * 0.2);
        FadeEnds(note, 0.002, 0.15);  // each bell dies away to nothing, never cut off
        MixInto(out, note, start, 1.0);
    }
    Noise sparks(0x5FA4u);
    for (int k = 0; k < 26; ++k) {
        const double start = 0.05 + 0.8 * sparks.Uniform();
        const double hz = NoteHz(96 + 12 * sparks.Uniform());
        Buffer spark = MakeBuffer(0.12);
        AddMode(spark, 0.0, hz, 0.02, 0.08);
        FadeEnds(spark, 0.002, 0.04);
        MixInto(out, spark, start, 1.0);
    }
    return out;
}

// The hand button: a soft tone that wobbles in pitch and level.
Buffer WobbleTone() {
    Buffer out = MakeBuffer(0.5);
    Oscillator tone;
    Oscillator wobble;
    Oscillator tremolo;
    LowPass soften;
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = SampleTime(i);
        const double hz = 520.0 + 60.0 * wobble.Sine(9.0);
        const double level = 0.8 + 0.2 * tremolo.Sine(9.0);
        const float raw = tone.Triangle(hz);
        out[i] = static_cast<float>(soften.Process(raw, 2500.0) * level *
                                    Adsr(t, 0.02, 0.1, 0.8, 0.38, 0.1));
    }
    return out;
}

// A panel closed: a short blip that falls in pitch.
Buffer FallingBlip() {
    Buffer out = MakeBuffer(0.15);
    Oscillator tone;
    LowPass soften;
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = SampleTime(i);
        const double hz = 950.0 * std::pow(0.42, t / 0.15);
        out[i] = static_cast<float>(soften.Process(tone.SoftSquare(hz), 3000.0) *
                                    Strike(t, 0.003, 0.035));
    }
    return out;
}

// The result screen: one taiko stroke for each group it reveals, a boom whose pitch sinks as
// the skin relaxes, with the slap of the stick and the ring of the drum's body. The groups come
// 0.66 s apart and a voice still sounding is not struck again, so the skin is damped: the stroke
// dies away within 0.5 s and every group gets its own bang.
Buffer TaikoHit() {
    Buffer out = MakeBuffer(0.56);
    Noise noise(0x7A1Cu);
    LowPass slapFilter;
    Oscillator boom;
    Oscillator overtone;
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = SampleTime(i);
        const double hz = 68.0 + 52.0 * std::exp(-t / 0.06);
        const double body = boom.Sine(hz) * Strike(t, 0.004, 0.095);
        const double ring = overtone.Sine(hz * 1.59) * Strike(t, 0.003, 0.05) * 0.4;
        const double slap = slapFilter.Process(noise.Next(), 1400.0) * Strike(t, 0.001, 0.012);
        out[i] = static_cast<float>(body + ring + slap * 1.6);
    }
    AddMode(out, 0.0, 210.0, 0.045, 0.14);
    Saturate(out, 2.2);
    return out;
}

struct Effect {
    const char* file;
    Buffer (*make)();
    double fadeIn;
    double fadeOut;
};

bool WriteEffect(const std::string& outDir, const Effect& effect) {
    Buffer sound = effect.make();
    RemoveDc(sound);
    FadeEnds(sound, effect.fadeIn, effect.fadeOut);
    Normalise(sound, PEAK_DB);
    return WriteWav(outDir + "/DATA/SOUND/" + effect.file, ToPcm16(sound), SAMPLE_RATE, 1);
}

}  // namespace

}  // namespace soundgen

bool WriteSoundEffects(const std::string& outDir) {
    using namespace soundgen;
    const Effect effects[] = {
        {"TITLE.wav", TitleIgnition, 0.005, 0.1},    {"FIRE.wav", FireLoop, 0.05, 0.05},
        {"CLICK.wav", WoodClick, 0.0004, 0.02},      {"JUMP1.wav", RisingWhoosh, 0.005, 0.03},
        {"JUMP3.wav", WoodLanding, 0.0005, 0.04},    {"EXPLOS1.wav", ShatterBurst, 0.001, 0.15},
        {"PON.wav", SoftPop, 0.002, 0.04},           {"PON2.wav", BrightChime, 0.001, 0.06},
        {"MAGIC.wav", SparkleArpeggio, 0.002, 0.15}, {"WIBBLE.wav", WobbleTone, 0.005, 0.03},
        {"CLOSE.wav", FallingBlip, 0.002, 0.02},     {"BANGER.wav", TaikoHit, 0.001, 0.1},
    };
    bool ok = true;
    for (const Effect& effect : effects) {
        ok = WriteEffect(outDir, effect) && ok;
    }
    // The closing sequence plays a silent voice: 0.1 s of zeros.
    const std::vector<int16_t> silence(SAMPLE_RATE / 10, 0);
    ok = WriteWav(outDir + "/DATA/SOUND/NOSOUND.wav", silence, SAMPLE_RATE, 1) && ok;
    return ok;
}
