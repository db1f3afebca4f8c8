// The game's 22 sound effects, each synthesized from oscillators, filtered
// noise and envelopes (see sound_art_dsp.h), then normalised and written as
// 16-bit mono WAV files. Every noise source has its own fixed seed, so the
// same source always gives the same bytes. The impacts, explosions and pods
// are here, the menu's and the guns' in sound_guns.cpp.
#include "assetgen.h"
#include "sound_art_dsp.h"
#include "sound_voices.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <stdexcept>
#include <string>

namespace assetgen {

using namespace dsp;

namespace {

// Loudest sample after normalising: 90% of full scale leaves headroom for
// the mixer and never clips.
constexpr double PEAK = 0.9 * 32767.0;
// Every sound ends with this fade, so a cut-off tail never clicks.
constexpr double FADE_OUT_S = 0.008;
// DC and subsonic rumble below this are removed before normalising.
constexpr double DC_CUTOFF_HZ = 25.0;

// ---- impacts and explosions ----

Signal ship_hit() {
    // Inharmonic partials of a struck plate, under a burst of gritty noise.
    constexpr double PARTIALS[] = {523.0, 1377.0, 2211.0, 3130.0};
    constexpr double PARTIAL_TAU[] = {0.09, 0.07, 0.05, 0.04};
    constexpr int CRUNCH_HOLD = 6;
    Phase ph[4];
    Noise n(50);
    Filter bp;
    double held = 0.0;
    int count = 0;
    return render(0.35, [&](double t) {
        double ring = 0.0;
        for (int i = 0; i < 4; ++i)
            ring += sine(ph[i].step(PARTIALS[i])) * decay(t, PARTIAL_TAU[i]);
        if (count++ % CRUNCH_HOLD == 0)
            held = n.next();
        const double crunch = crush(held, 8) * decay(t, 0.06);
        const double burst = bp.bandpass(n.next(), 3000.0, 1.0) * 2.0 * decay(t, 0.025);
        return drive(0.5 * ring + crunch + burst, 3.0);
    });
}

// One explosion: a noise burst whose brightness falls, over a low rumble.
struct Blast {
    double length;     // seconds
    double bright_hz;  // filter cutoff at the flash
    double dark_hz;    // where it settles
    double dull_tau;   // how fast the flash darkens
    double fade_tau;   // how fast the whole blast fades
    double rumble_hz;  // the pitch of the rumble
    double attack;     // seconds
    double second_hit; // a second burst this many seconds in, or 0
    double crackle;    // chance per sample of a crackle
    double heat;       // saturation
    std::uint32_t seed;
};

Signal explosion(const Blast &b) {
    Phase rumble;
    Noise n(b.seed);
    Drift wander(b.seed + 1);
    Filter lp, rumble_lp;
    return render(b.length, [&](double t) {
        double env = line(t, 0, b.attack, 0, 1) * decay(t, b.fade_tau);
        double flash = decay(t, b.dull_tau);
        if (b.second_hit > 0.0 && t >= b.second_hit) {
            const double t2 = t - b.second_hit;
            env += 0.8 * line(t2, 0, 0.004, 0, 1) * decay(t2, b.fade_tau);
            flash = std::max(flash, decay(t2, b.dull_tau));
        }
        const double cutoff = (b.bright_hz - b.dark_hz) * flash + b.dark_hz;
        const double noise = lp.lowpass(n.next(), cutoff, 0.9);
        const double brown = rumble_lp.lowpass(n.next(), 90.0) * 3.0;
        const double low = sine(rumble.step(b.rumble_hz * (1.0 + 0.1 * wander.next(8.0))));
        const double crackle = n.uniform() < b.crackle * flash ? n.next() * 3.0 : 0.0;
        return drive((noise + brown + 0.5 * low + crackle) * env, b.heat);
    });
}

Signal rocket_pod() {
    constexpr double LENGTH = 0.85;
    Phase pop;
    Noise n(54);
    Filter bp, hp;
    return render(LENGTH, [&](double t) {
        const double click = 0.5 * n.next() * decay(t, 0.003);
        const double ignite = sine(pop.step(glide(t, 0.03, 200.0, 60.0))) * decay(t, 0.03);
        const double whoosh = bp.bandpass(n.next(), glide(t, 0.6, 600.0, 3500.0), 3.0) * 2.5;
        const double hiss = hp.highpass(n.next(), 4000.0) * 0.3;
        const double env = line(t, 0, 0.05, 0, 1) * adsr(t, 0.001, 0.3, 0.4, 0.35, LENGTH);
        return click + ignite + (whoosh + hiss) * env;
    });
}

Signal steel_halo() {
    // Struck-bell partials that glide upward together as the ring expands;
    // each partial has a twin a few hertz off, so the ring beats.
    constexpr double BASE = 440.0;
    constexpr double RATIOS[] = {1.0, 1.59, 2.14, 2.83, 3.5, 4.3};
    constexpr double BEAT_HZ = 3.0;
    Phase ph[12], mod;
    Noise n(55);
    Filter bp;
    return render(1.1, [&](double t) {
        const double spread = line(t, 0, 1.0, 1.0, 1.3);
        const double shimmer = 0.15 * sine(mod.step(7.0));
        double v = 0.0;
        for (int i = 0; i < 6; ++i) {
            const double hz = BASE * RATIOS[i] * spread * (1.0 + 0.01 * shimmer);
            const double level = decay(t, 0.45 / (1.0 + 0.4 * i)) / (1.0 + 0.3 * i);
            v += level * (sine(ph[2 * i].step(hz)) + sine(ph[2 * i + 1].step(hz + BEAT_HZ)));
        }
        const double strike = bp.bandpass(n.next(), 5000.0, 0.8) * 2.0 * decay(t, 0.01);
        return (0.5 * v + strike) * line(t, 0, 0.003, 0, 1);
    });
}

Signal booster() {
    constexpr double LENGTH = 1.25;
    Phase body, pulse, whine;
    Noise n(56);
    Filter lp;
    return render(LENGTH, [&](double t) {
        const double spin = 1.0 - decay(t, 0.35); // the turbine spinning up
        const double hz = 60.0 + 260.0 * spin;
        const double engine = 0.5 * saw(body.step(hz)) + 0.3 * square(pulse.step(hz * 0.5), 0.3);
        const double whine_v = 0.25 * sine(whine.step(400.0 + 1700.0 * spin));
        const double roar = lp.lowpass(n.next(), 400.0 + 2100.0 * spin, 1.0) * 1.2;
        const double env = adsr(t, 0.15, 0.5, 0.85, 0.2, LENGTH);
        return drive((engine + whine_v + roar) * env, 1.6);
    });
}

// The explosions differ only in their numbers.
constexpr Blast SMALL_BLAST = {.length = 0.9,
                               .bright_hz = 3000,
                               .dark_hz = 180,
                               .dull_tau = 0.15,
                               .fade_tau = 0.22,
                               .rumble_hz = 55,
                               .attack = 0.002,
                               .second_hit = 0,
                               .crackle = 0.002,
                               .heat = 2.0,
                               .seed = 51};
constexpr Blast BIG_BLAST = {.length = 1.4,
                             .bright_hz = 4000,
                             .dark_hz = 120,
                             .dull_tau = 0.25,
                             .fade_tau = 0.4,
                             .rumble_hz = 40,
                             .attack = 0.002,
                             .second_hit = 0.09,
                             .crackle = 0.004,
                             .heat = 2.5,
                             .seed = 52};
constexpr Blast DISTANT_BLAST = {.length = 0.6,
                                 .bright_hz = 500,
                                 .dark_hz = 300,
                                 .dull_tau = 0.2,
                                 .fade_tau = 0.18,
                                 .rumble_hz = 45,
                                 .attack = 0.015,
                                 .second_hit = 0,
                                 .crackle = 0,
                                 .heat = 1.2,
                                 .seed = 53};
Signal burst_small() {
    return explosion(SMALL_BLAST);
}
Signal burst_big() {
    return explosion(BIG_BLAST);
}
Signal burst_distant() {
    return explosion(DISTANT_BLAST);
}

// Sound number -> voice, for the impacts, explosions and pods.
constexpr Voice VOICES[] = {
    {50, ship_hit},      // a craft takes a hit
    {51, burst_small},   // an enemy bursts
    {52, burst_big},     // an enemy bursts, bigger
    {53, burst_distant}, // far away (kept for later use)
    {54, rocket_pod},    // "Rockets" pod
    {55, steel_halo},    // "Steel Halo" pod
    {56, booster},       // booster starts
};

// DC removal, end fade and normalisation to PEAK, rounded to 16 bits.
std::vector<std::int16_t> finish(Signal s) {
    Filter dc;
    for (double &x : s)
        x = dc.highpass(x, DC_CUTOFF_HZ);
    const size_t fade = static_cast<size_t>(frames(FADE_OUT_S));
    for (size_t i = 0; i < fade && i < s.size(); ++i)
        s[s.size() - 1 - i] *= static_cast<double>(i) / static_cast<double>(fade);
    double peak = 0.0;
    for (double x : s)
        peak = std::max(peak, std::abs(x));
    const double gain = peak > 0.0 ? PEAK / peak : 0.0;
    std::vector<std::int16_t> out(s.size());
    for (size_t i = 0; i < s.size(); ++i)
        out[i] = static_cast<std::int16_t>(std::lround(s[i] * gain));
    return out;
}

void put_le(std::vector<std::uint8_t> &out, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

} // namespace

std::vector<std::int16_t> make_sound(int number) {
    for (const auto &voices : {std::span<const Voice>(VOICES), gun_voices()})
        for (const Voice &v : voices)
            if (v.number == number)
                return finish(v.make());
    throw std::invalid_argument("no sound number " + std::to_string(number));
}

std::vector<std::uint8_t> wav_file(const std::vector<std::int16_t> &samples) {
    constexpr std::uint32_t FMT_SIZE = 16, PCM = 1, MONO = 1, BYTES_PER_SAMPLE = 2;
    const auto data_size = static_cast<std::uint32_t>(samples.size() * BYTES_PER_SAMPLE);
    std::vector<std::uint8_t> out;
    out.reserve(44 + data_size);
    auto tag = [&](const char *s) {
        for (int i = 0; i < 4; ++i)
            out.push_back(static_cast<std::uint8_t>(s[i]));
    };
    tag("RIFF");
    put_le(out, 36 + data_size, 4);
    tag("WAVE");
    tag("fmt ");
    put_le(out, FMT_SIZE, 4);
    put_le(out, PCM, 2);
    put_le(out, MONO, 2);
    put_le(out, SAMPLE_RATE, 4);
    put_le(out, SAMPLE_RATE * BYTES_PER_SAMPLE, 4);
    put_le(out, BYTES_PER_SAMPLE, 2);
    put_le(out, 16, 2);
    tag("data");
    put_le(out, data_size, 4);
    for (std::int16_t s : samples)
        put_le(out, static_cast<std::uint16_t>(s), 2);
    return out;
}

} // namespace assetgen
