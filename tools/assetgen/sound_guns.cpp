// The menu's sounds and the guns': the player's bright and clean (the
// Pulsar pod's fan of shots among them), the enemies' lower and rougher.
#include "sound_voices.h"

#include <cmath>

namespace assetgen {

using namespace dsp;

namespace {

// ---- menu ----

Signal menu_move() {
    Phase a, b;
    Noise n(1);
    Filter lp;
    return render(0.05, [&](double t) {
        const double tone = 0.7 * sine(a.step(1760.0)) + 0.3 * triangle(b.step(3520.0));
        const double click = n.next() * decay(t, 0.002);
        return lp.lowpass(tone * decay(t, 0.012) * line(t, 0, 0.001, 0, 1) + 0.3 * click, 4000.0);
    });
}

Signal menu_accept() {
    // Two notes a fifth apart, the second longer: "yes".
    constexpr double SECOND_NOTE = 0.07;
    Phase a, b;
    Filter lp;
    return render(0.24, [&](double t) {
        const bool second = t >= SECOND_NOTE;
        const double hz = second ? 1174.7 : 784.0;
        const double tn = second ? t - SECOND_NOTE : t;
        const double env = line(tn, 0, 0.003, 0, 1) * decay(tn, second ? 0.07 : 0.04);
        const double vib = 1.0 + 0.006 * std::sin(TAU * 9.0 * t);
        const double v = 0.6 * square(a.step(hz * vib), 0.25) + 0.4 * sine(b.step(hz * 2.0));
        return lp.lowpass(v * env, 6000.0);
    });
}

Signal menu_cancel() {
    Phase a;
    Filter lp;
    return render(0.22, [&](double t) {
        const double hz = glide(t, 0.18, 660.0, 220.0);
        const double env = line(t, 0, 0.004, 0, 1) * decay(t, 0.09);
        return lp.lowpass(square(a.step(hz)) * env, 2500.0);
    });
}

// ---- the player's guns ----

Signal pulse_laser() {
    Phase a, b;
    Filter bp;
    return render(0.22, [&](double t) {
        const double hz = 2400.0 * decay(t, 0.035) + 250.0;
        const double v = 0.6 * square(a.step(hz)) + 0.4 * saw(b.step(hz * 1.503));
        const double env = line(t, 0, 0.002, 0, 1) * decay(t, 0.06);
        const auto f = bp.run(v, hz * 2.0, 2.0);
        return (0.6 * f.low + 0.4 * f.band) * env;
    });
}

Signal graviton_gun() {
    Phase a;
    Noise n(11);
    Filter lp;
    return render(0.55, [&](double t) {
        const double wobble = 1.0 + 0.15 * std::sin(TAU * 14.0 * t);
        const double hz = glide(t, 0.4, 160.0, 45.0) * wobble;
        const double tremolo = 1.0 - 0.5 * (0.5 + 0.5 * std::sin(TAU * 11.0 * t));
        const double body = sine(a.step(hz)) * tremolo * line(t, 0, 0.006, 0, 1) * decay(t, 0.18);
        const double thump = lp.lowpass(n.next(), 300.0) * 3.0 * decay(t, 0.015);
        return drive(body + thump, 2.5);
    });
}

Signal ion_cannon() {
    Phase buzz, ring;
    Noise n(59);
    Filter bp, lp;
    double held = 0.0;
    int hold = 0;
    return render(0.6, [&](double t) {
        // Crackle: noise held for random short spans, like arcing.
        if (--hold <= 0) {
            held = n.next();
            hold = 1 + static_cast<int>(n.uniform() * 30.0);
        }
        const double crackle = bp.bandpass(held, glide(t, 0.5, 2500.0, 800.0), 1.5) * 2.0;
        const double pop = n.uniform() < 0.004 * decay(t, 0.25) ? n.next() * 1.5 : 0.0;
        const double zap = saw(buzz.step(110.0)) * square(ring.step(glide(t, 0.5, 1370.0, 600.0)));
        const double env = line(t, 0, 0.005, 0, 1) * decay(t, 0.15);
        return drive(lp.lowpass((crackle + 0.45 * zap + pop) * env, 7000.0), 1.8);
    });
}

Signal reflex_coil() {
    constexpr double CARRIER = 1320.0;
    constexpr double RATIO = 1.4; // inharmonic: metal, not a string
    Phase car, mod, high;
    return render(0.5, [&](double t) {
        const double boing = 1.0 + 0.08 * std::sin(TAU * 22.0 * t) * decay(t, 0.15);
        const double hz = CARRIER * boing;
        const double index = 3.0 * decay(t, 0.08);
        const double fm = std::sin(TAU * car.step(hz) + index * sine(mod.step(hz * RATIO)));
        const double partial = 0.35 * sine(high.step(hz * 2.76)) * decay(t, 0.05);
        return (fm + partial) * line(t, 0, 0.001, 0, 1) * decay(t, 0.12);
    });
}

Signal plasma_burst() {
    Phase sub, growl;
    Noise n(13);
    Filter lp;
    return render(0.75, [&](double t) {
        const double cutoff = 5000.0 * decay(t, 0.12) + 250.0;
        const double whoosh = lp.lowpass(n.next(), cutoff, 2.5);
        const double low =
            sine(sub.step(glide(t, 0.6, 90.0, 40.0))) + 0.4 * drive(saw(growl.step(55.0)), 2.0);
        const double env = line(t, 0, 0.01, 0, 1) * decay(t, 0.25);
        return (whoosh + 0.6 * low) * env;
    });
}

Signal firestorm() {
    constexpr double LENGTH = 0.95;
    Noise n(15);
    Drift roar(150);
    Filter bp, lp;
    return render(LENGTH, [&](double t) {
        const double sweep = t < 0.3 ? line(t, 0, 0.3, 700, 1400) : line(t, 0.3, LENGTH, 1400, 600);
        const double flutter = (0.7 + 0.3 * std::sin(TAU * 18.0 * t)) * (1.0 + 0.4 * roar.next(30));
        const double body = bp.bandpass(n.next(), sweep, 1.2) * 1.5 + lp.lowpass(n.next(), 400.0);
        const double crackle = n.uniform() < 0.003 ? n.next() * 3.0 : 0.0;
        const double env = adsr(t, 0.04, 0.2, 0.6, 0.25, LENGTH);
        return drive((body * flutter + crackle) * env, 1.5);
    });
}

Signal rocket_launch() {
    Phase pop;
    Noise n(10);
    Filter hp;
    return render(0.22, [&](double t) {
        const double thud = sine(pop.step(glide(t, 0.04, 420.0, 90.0))) * decay(t, 0.025);
        const double hiss = hp.highpass(n.next(), 2500.0) * decay(t, 0.07);
        return (thud + 0.7 * hiss) * line(t, 0, 0.001, 0, 1);
    });
}

Signal pulsar_fan() {
    // A major chord, each note doubled slightly out of tune, each shimmering
    // at its own phase: the fan of shots sparkles.
    constexpr double NOTES[] = {523.25, 659.25, 783.99, 1046.5};
    constexpr double DETUNE = 1.004;
    Phase ph[8];
    Filter lp;
    return render(0.5, [&](double t) {
        const double rise = line(t, 0, 0.5, 1.0, 1.05);
        double v = 0.0;
        for (int i = 0; i < 4; ++i) {
            const double hz = NOTES[i] * rise;
            const double shimmer = 0.5 + 0.5 * std::sin(TAU * 24.0 * t + i * PI / 2.0);
            v += shimmer *
                 (square(ph[2 * i].step(hz), 0.3) + square(ph[2 * i + 1].step(hz * DETUNE), 0.3));
        }
        return drive(lp.lowpass(v * line(t, 0, 0.005, 0, 1) * decay(t, 0.18), 5000.0) * 0.3, 1.5);
    });
}

// ---- enemy guns: lower and rougher than the player's ----

Signal enemy_gun_buzz() {
    Phase a, b;
    Filter lp;
    return render(0.25, [&](double t) {
        const double hz = glide(t, 0.2, 180.0, 120.0);
        const double v = saw(a.step(hz)) + saw(b.step(hz * 1.017));
        return drive(lp.lowpass(v, 1500.0) * decay(t, 0.08) * line(t, 0, 0.002, 0, 1), 3.0);
    });
}

Signal enemy_gun_stutter() {
    Phase a;
    Noise n(31);
    Filter bp;
    return render(0.3, [&](double t) {
        const double pulse = square(a.step(glide(t, 0.25, 140.0, 80.0)), 0.12);
        const double grit = bp.bandpass(n.next(), 900.0, 3.0) * 2.0;
        const double gate = std::sin(TAU * 40.0 * t) > -0.3 ? 1.0 : 0.25;
        return drive((pulse + 1.5 * grit) * gate * line(t, 0, 0.002, 0, 1) * decay(t, 0.1), 1.5);
    });
}

Signal enemy_gun_ring() {
    Phase a, b, c;
    return render(0.35, [&](double t) {
        const double hz = glide(t, 0.3, 95.0, 85.0);
        const double ring = square(a.step(hz)) * sine(b.step(310.0));
        const double v = ring + 0.5 * saw(c.step(hz));
        return drive(v * line(t, 0, 0.003, 0, 1) * decay(t, 0.12), 4.0);
    });
}

Signal heavy_cannon() {
    constexpr double LENGTH = 1.3;
    Phase boom, growl;
    Noise n(33);
    Filter lp;
    return render(LENGTH, [&](double t) {
        const double blast = lp.lowpass(n.next(), glide(t, 0.8, 900.0, 120.0), 1.2) * 1.4;
        const double low = sine(boom.step(glide(t, 0.7, 70.0, 28.0)));
        const double tremolo = 0.7 + 0.3 * std::sin(TAU * 7.0 * t);
        const double sub = 0.5 * saw(growl.step(40.0)) * tremolo;
        const double env = line(t, 0, 0.003, 0, 1) * decay(t, 0.35);
        return drive((blast + low + sub) * env, 2.2);
    });
}

// Sound number -> voice. The guns' numbers follow the gun table's sounds.
constexpr Voice VOICES[] = {
    {0, menu_move},          // menu cursor moved
    {1, menu_accept},        // menu choice accepted
    {2, menu_cancel},        // menu choice cancelled
    {10, rocket_launch},     // rocket launcher, plain enemy shot
    {11, graviton_gun},      // Graviton Gun
    {12, reflex_coil},       // Reflex Coil
    {13, plasma_burst},      // Plasma Burst
    {14, pulse_laser},       // Pulse Laser
    {15, firestorm},         // Firestorm
    {30, enemy_gun_ring},    // enemy gun 12
    {31, enemy_gun_stutter}, // enemy gun 11
    {32, enemy_gun_buzz},    // enemy gun 10
    {33, heavy_cannon},      // the strongest enemy's gun 15
    {58, pulsar_fan},        // "Pulsar" pod's fan of shots
    {59, ion_cannon},        // Ion Cannon
};

} // namespace

std::span<const Voice> gun_voices() {
    return VOICES;
}

} // namespace assetgen
