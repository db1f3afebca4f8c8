#include "sound_art_dsp.h"

#include <algorithm>

namespace assetgen::dsp {

// Filters misbehave at the Nyquist limit itself: keep cutoffs below it.
static constexpr double MAX_CUTOFF = 0.45 * RATE;
static constexpr double MIN_CUTOFF = 10.0;

int frames(double seconds) {
    return static_cast<int>(seconds * RATE + 0.5);
}

double Noise::next() {
    return uniform() * 2.0 - 1.0;
}

double Noise::uniform() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return static_cast<double>(state_) / 4294967296.0;
}

double Phase::step(double hz) {
    const double out = phase_;
    phase_ += hz / RATE;
    phase_ -= std::floor(phase_);
    return out;
}

Filter::Out Filter::run(double x, double cutoff_hz, double q) {
    const double fc = std::clamp(cutoff_hz, MIN_CUTOFF, MAX_CUTOFF);
    const double g = std::tan(PI * fc / RATE);
    const double k = 1.0 / std::max(q, 0.05);
    const double a1 = 1.0 / (1.0 + g * (g + k));
    const double a2 = g * a1;
    const double a3 = g * a2;
    const double v3 = x - ic2_;
    const double v1 = a1 * ic1_ + a2 * v3;
    const double v2 = ic2_ + a2 * ic1_ + a3 * v3;
    ic1_ = 2.0 * v1 - ic1_;
    ic2_ = 2.0 * v2 - ic2_;
    return {v2, v1, x - k * v1 - v2};
}

double Drift::next(double rate_hz) {
    count_ -= rate_hz / RATE;
    if (count_ <= 0.0) {
        count_ += 1.0;
        target_ = noise_.next();
    }
    // Glide toward the held value within about one hold period.
    const double follow = std::min(1.0, 4.0 * rate_hz / RATE);
    value_ += (target_ - value_) * follow;
    return value_;
}

double line(double t, double t0, double t1, double a, double b) {
    if (t <= t0)
        return a;
    if (t >= t1)
        return b;
    return a + (b - a) * (t - t0) / (t1 - t0);
}

double glide(double t, double seconds, double from, double to) {
    const double u = std::clamp(t / seconds, 0.0, 1.0);
    return from * std::pow(to / from, u);
}

double adsr(double t, double attack, double decay_s, double sustain, double release,
            double length) {
    double level;
    if (t < attack)
        level = t / attack;
    else
        level = sustain + (1.0 - sustain) * std::exp(-(t - attack) / decay_s);
    const double release_start = length - release;
    if (release > 0.0 && t > release_start)
        level *= std::max(0.0, 1.0 - (t - release_start) / release);
    return level;
}

double drive(double x, double amount) {
    return std::tanh(amount * x) / std::tanh(amount);
}

double crush(double x, int levels) {
    const double half = levels / 2.0;
    return std::round(x * half) / half;
}

} // namespace assetgen::dsp
