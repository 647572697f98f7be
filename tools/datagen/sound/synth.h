#pragma once
// A small offline synthesiser for the sound effects: oscillators, seeded noise, envelopes and
// filters working on mono float buffers at SAMPLE_RATE. Everything is deterministic: the noise
// comes from a fixed-seed generator and nothing reads the clock.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace soundgen {

constexpr int SAMPLE_RATE = 44100;
constexpr double TWO_PI = 6.283185307179586;

using Buffer = std::vector<float>;

// Zeroed buffer of the given length in seconds.
Buffer MakeBuffer(double seconds);
inline double SampleTime(size_t index) { return static_cast<double>(index) / SAMPLE_RATE; }

// White noise in -1..1 from a 32-bit xorshift generator; the same seed gives the same sound.
class Noise {
public:
    explicit Noise(uint32_t seed) : state_(seed != 0 ? seed : 0x9E3779B9u) {}
    float Next();
    // Uniform 0..1, for choosing crackle times and sparkle pitches.
    double Uniform();

private:
    uint32_t state_;
};

// Phase accumulator, so that a frequency may glide sample by sample without clicks.
class Oscillator {
public:
    float Sine(double hz);
    float Triangle(double hz);
    // Square wave softened by a few harmonics (no aliasing buzz at high pitches).
    float SoftSquare(double hz);

private:
    double Advance(double hz);
    double phase_ = 0.0;  // 0..1
};

// Attack-decay-sustain-release level for a note held `hold` seconds (attack and decay included).
double Adsr(double t, double attack, double decay, double sustain, double hold, double release);
// Linear attack, then exponential decay with time constant tau.
double Strike(double t, double attack, double tau);
// Smooth 0..1 rise between t0 and t1 (raised cosine).
double SmoothStep(double t, double t0, double t1);

// One-pole low-pass; the cutoff may change on every sample.
class LowPass {
public:
    float Process(float x, double cutoffHz);

private:
    float state_ = 0.0f;
};

// Biquad filter (the usual cookbook forms); Set* may be called on every sample for sweeps.
class Biquad {
public:
    void SetBandPass(double hz, double q);
    void SetLowPass(double hz, double q);
    void SetHighPass(double hz, double q);
    float Process(float x);

private:
    void Set(double b0, double b1, double b2, double a0, double a1, double a2);
    double b0_ = 1, b1_ = 0, b2_ = 0, a1_ = 0, a2_ = 0;
    double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

// Adds an exponentially damped sine (one resonant mode of wood, skin or metal) from `start`.
void AddMode(Buffer& buffer, double start, double hz, double tau, double amplitude);
// Mixes `source` into `target` at `start` seconds with the given gain.
void MixInto(Buffer& target, const Buffer& source, double start, double gain);
// Raised-cosine fades at both ends, so the sound starts and stops on zero without a click.
void FadeEnds(Buffer& buffer, double fadeIn, double fadeOut);
// Soft saturation (tanh) that thickens a transient: louder body for the same peak.
void Saturate(Buffer& buffer, double drive);
// Removes any DC offset (a sound must swing around zero to start and end on it).
void RemoveDc(Buffer& buffer);
// Scales so that the highest peak sits at peakDb dBFS.
void Normalise(Buffer& buffer, double peakDb);
// Rounds to 16-bit samples, clamped (after Normalise nothing reaches the clamp).
std::vector<int16_t> ToPcm16(const Buffer& buffer);

}  // namespace soundgen
