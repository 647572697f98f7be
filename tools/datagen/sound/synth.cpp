// The offline synthesiser behind the sound effects.
#include "sound/synth.h"

#include <algorithm>
#include <cmath>

namespace soundgen {

Buffer MakeBuffer(double seconds) {
    return Buffer(static_cast<size_t>(std::lround(seconds * SAMPLE_RATE)), 0.0f);
}

float Noise::Next() { return static_cast<float>(Uniform() * 2.0 - 1.0); }

double Noise::Uniform() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return static_cast<double>(state_) / 4294967296.0;
}

double Oscillator::Advance(double hz) {
    const double current = phase_;
    phase_ += hz / SAMPLE_RATE;
    phase_ -= std::floor(phase_);
    return current;
}

float Oscillator::Sine(double hz) { return static_cast<float>(std::sin(TWO_PI * Advance(hz))); }

float Oscillator::Triangle(double hz) {
    const double p = Advance(hz);
    return static_cast<float>(p < 0.5 ? 4.0 * p - 1.0 : 3.0 - 4.0 * p);
}

float Oscillator::SoftSquare(double hz) {
    const double angle = TWO_PI * Advance(hz);
    double sum = 0.0;
    for (int harmonic = 1; harmonic <= 7; harmonic += 2) {
        if (harmonic * hz < SAMPLE_RATE * 0.4) {
            sum += std::sin(angle * harmonic) / harmonic;
        }
    }
    return static_cast<float>(sum * 4.0 / 3.14159265358979);
}

double Adsr(double t, double attack, double decay, double sustain, double hold, double release) {
    if (t < 0.0) {
        return 0.0;
    }
    double level;
    if (t < attack) {
        level = t / attack;
    } else if (t < attack + decay) {
        level = 1.0 - (1.0 - sustain) * (t - attack) / decay;
    } else {
        level = sustain;
    }
    if (t > hold) {
        const double fall = (t - hold) / release;
        level *= fall >= 1.0 ? 0.0 : 1.0 - fall;
    }
    return level;
}

double Strike(double t, double attack, double tau) {
    if (t < 0.0) {
        return 0.0;
    }
    if (t < attack) {
        return t / attack;
    }
    return std::exp(-(t - attack) / tau);
}

double SmoothStep(double t, double t0, double t1) {
    if (t <= t0) {
        return 0.0;
    }
    if (t >= t1) {
        return 1.0;
    }
    return 0.5 - 0.5 * std::cos(3.14159265358979 * (t - t0) / (t1 - t0));
}

float LowPass::Process(float x, double cutoffHz) {
    const double k = 1.0 - std::exp(-TWO_PI * cutoffHz / SAMPLE_RATE);
    state_ += static_cast<float>(k) * (x - state_);
    return state_;
}

void Biquad::Set(double b0, double b1, double b2, double a0, double a1, double a2) {
    b0_ = b0 / a0;
    b1_ = b1 / a0;
    b2_ = b2 / a0;
    a1_ = a1 / a0;
    a2_ = a2 / a0;
}

void Biquad::SetBandPass(double hz, double q) {
    const double w = TWO_PI * std::min(hz, SAMPLE_RATE * 0.45) / SAMPLE_RATE;
    const double alpha = std::sin(w) / (2.0 * q);
    Set(alpha, 0.0, -alpha, 1.0 + alpha, -2.0 * std::cos(w), 1.0 - alpha);
}

void Biquad::SetLowPass(double hz, double q) {
    const double w = TWO_PI * std::min(hz, SAMPLE_RATE * 0.45) / SAMPLE_RATE;
    const double alpha = std::sin(w) / (2.0 * q);
    const double c = std::cos(w);
    Set((1.0 - c) / 2.0, 1.0 - c, (1.0 - c) / 2.0, 1.0 + alpha, -2.0 * c, 1.0 - alpha);
}

void Biquad::SetHighPass(double hz, double q) {
    const double w = TWO_PI * std::min(hz, SAMPLE_RATE * 0.45) / SAMPLE_RATE;
    const double alpha = std::sin(w) / (2.0 * q);
    const double c = std::cos(w);
    Set((1.0 + c) / 2.0, -(1.0 + c), (1.0 + c) / 2.0, 1.0 + alpha, -2.0 * c, 1.0 - alpha);
}

float Biquad::Process(float x) {
    const double y = b0_ * x + b1_ * x1_ + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
    x2_ = x1_;
    x1_ = x;
    y2_ = y1_;
    y1_ = y;
    return static_cast<float>(y);
}

void AddMode(Buffer& buffer, double start, double hz, double tau, double amplitude) {
    const size_t first = static_cast<size_t>(std::max(0.0, start) * SAMPLE_RATE);
    for (size_t i = first; i < buffer.size(); ++i) {
        const double t = SampleTime(i - first);
        const double level = amplitude * std::exp(-t / tau);
        if (level < 1e-5) {
            break;
        }
        buffer[i] += static_cast<float>(level * std::sin(TWO_PI * hz * t));
    }
}

void MixInto(Buffer& target, const Buffer& source, double start, double gain) {
    const size_t first = static_cast<size_t>(std::max(0.0, start) * SAMPLE_RATE);
    for (size_t i = 0; i < source.size() && first + i < target.size(); ++i) {
        target[first + i] += static_cast<float>(source[i] * gain);
    }
}

void FadeEnds(Buffer& buffer, double fadeIn, double fadeOut) {
    const size_t count = buffer.size();
    const size_t in = std::min(count, static_cast<size_t>(fadeIn * SAMPLE_RATE));
    const size_t out = std::min(count, static_cast<size_t>(fadeOut * SAMPLE_RATE));
    for (size_t i = 0; i < in; ++i) {
        buffer[i] *= static_cast<float>(SmoothStep(static_cast<double>(i), 0.0, in));
    }
    for (size_t i = 0; i < out; ++i) {
        buffer[count - 1 - i] *= static_cast<float>(SmoothStep(static_cast<double>(i), 0.0, out));
    }
}

void Saturate(Buffer& buffer, double drive) {
    double peak = 0.0;
    for (float s : buffer) {
        peak = std::max(peak, std::fabs(static_cast<double>(s)));
    }
    if (peak <= 0.0) {
        return;
    }
    for (float& s : buffer) {
        s = static_cast<float>(std::tanh(drive * s / peak));
    }
}

void RemoveDc(Buffer& buffer) {
    if (buffer.empty()) {
        return;
    }
    double mean = 0.0;
    for (float s : buffer) {
        mean += s;
    }
    mean /= static_cast<double>(buffer.size());
    for (float& s : buffer) {
        s -= static_cast<float>(mean);
    }
}

void Normalise(Buffer& buffer, double peakDb) {
    double peak = 0.0;
    for (float s : buffer) {
        peak = std::max(peak, std::fabs(static_cast<double>(s)));
    }
    if (peak <= 0.0) {
        return;
    }
    const double gain = std::pow(10.0, peakDb / 20.0) / peak;
    for (float& s : buffer) {
        s = static_cast<float>(s * gain);
    }
}

std::vector<int16_t> ToPcm16(const Buffer& buffer) {
    std::vector<int16_t> pcm(buffer.size());
    for (size_t i = 0; i < buffer.size(); ++i) {
        const long value = std::lround(static_cast<double>(buffer[i]) * 32767.0);
        pcm[i] = static_cast<int16_t>(std::clamp(value, -32768L, 32767L));
    }
    return pcm;
}

}  // namespace soundgen
