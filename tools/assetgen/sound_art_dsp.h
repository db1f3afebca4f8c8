// The small synthesizer the sound effects are built from: oscillators that
// follow a pitch curve, a seeded noise source, a stable resonant filter,
// envelopes and a soft saturator. Everything works on doubles at
// SAMPLE_RATE; sound_art.cpp mixes the voices and turns them into 16-bit
// samples.
#pragma once

#include "assetgen.h"

#include <cmath>
#include <cstdint>
#include <vector>

namespace assetgen::dsp {

using Signal = std::vector<double>;

inline constexpr double RATE = SAMPLE_RATE;
inline constexpr double PI = 3.14159265358979323846;
inline constexpr double TAU = 2.0 * PI;

// Samples in `seconds` of sound.
int frames(double seconds);

// White noise in [-1, 1] from a 32-bit xorshift, so a given seed always
// gives the same sound on every machine.
class Noise {
  public:
    explicit Noise(std::uint32_t seed) : state_(seed ? seed : 0x9E3779B9u) {}
    double next();
    // A value in [0, 1).
    double uniform();

  private:
    std::uint32_t state_;
};

// A phase accumulator: each step advances by one sample at the given pitch,
// so pitch curves glide without jumps in the waveform.
class Phase {
  public:
    // Returns the phase in [0, 1) before advancing.
    double step(double hz);

  private:
    double phase_ = 0.0;
};

inline double sine(double ph) {
    return std::sin(TAU * ph);
}
inline double saw(double ph) {
    return 2.0 * ph - 1.0;
}
inline double square(double ph, double duty = 0.5) {
    return ph < duty ? 1.0 : -1.0;
}
inline double triangle(double ph) {
    return ph < 0.5 ? 4.0 * ph - 1.0 : 3.0 - 4.0 * ph;
}

// A state-variable filter in its trapezoidal form: stable for every cutoff
// and resonance, so sweeps can run right up to the Nyquist limit.
class Filter {
  public:
    struct Out {
        double low, band, high;
    };
    // q around 0.7 is flat; higher values ring at the cutoff.
    Out run(double x, double cutoff_hz, double q);
    double lowpass(double x, double cutoff_hz, double q = 0.707) {
        return run(x, cutoff_hz, q).low;
    }
    double bandpass(double x, double cutoff_hz, double q) { return run(x, cutoff_hz, q).band; }
    double highpass(double x, double cutoff_hz, double q = 0.707) {
        return run(x, cutoff_hz, q).high;
    }

  private:
    double ic1_ = 0.0, ic2_ = 0.0;
};

// A held random value that changes `rate_hz` times a second, smoothed:
// slow irregular movement for flutter and roar.
class Drift {
  public:
    explicit Drift(std::uint32_t seed) : noise_(seed) {}
    double next(double rate_hz);

  private:
    Noise noise_;
    double target_ = 0.0, value_ = 0.0, count_ = 0.0;
};

// Fills `seconds` of signal from a function of time.
template <typename F> Signal render(double seconds, F &&f) {
    Signal s(static_cast<size_t>(frames(seconds)));
    for (size_t i = 0; i < s.size(); ++i)
        s[i] = f(static_cast<double>(i) / RATE);
    return s;
}

// ---- envelopes, all of time t in seconds ----

// 1 at t = 0, falling by e every `tau` seconds.
inline double decay(double t, double tau) {
    return std::exp(-t / tau);
}

// Linear from a (at t0) to b (at t1), held outside.
double line(double t, double t0, double t1, double a, double b);

// A pitch glide from `from` to `to` over `seconds`, even in musical steps.
double glide(double t, double seconds, double from, double to);

// Attack, decay to a sustain level, release over the last `release`
// seconds of a sound `length` long.
double adsr(double t, double attack, double decay_s, double sustain, double release, double length);

// Soft saturation that keeps 0 and +-1 in place: amount 1 is gentle,
// 4 and up is a hard growl.
double drive(double x, double amount);

// Fewer amplitude steps: the gritty sound of a cheap sampler.
double crush(double x, int levels);

} // namespace assetgen::dsp
