// The synthesized sound effects: what Allegro's WAV loader makes of them,
// their limits, their repeatability, and that no two voices sound alike.
#include "assetgen.h"
#include "assets/sound.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <string>
#include <vector>

namespace {

constexpr int FULL_SCALE = 32767;
constexpr double MAX_SECONDS = 1.5;

// ---- a coarse spectral fingerprint: energy share in octave bands ----

void fft(std::vector<std::complex<double>> &a) {
    const size_t n = a.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(a[i], a[j]);
    }
    for (size_t len = 2; len <= n; len <<= 1) {
        const double ang = -2.0 * M_PI / static_cast<double>(len);
        for (size_t i = 0; i < n; i += len)
            for (size_t k = 0; k < len / 2; ++k) {
                const auto w = std::polar(1.0, ang * static_cast<double>(k));
                const auto u = a[i + k], v = a[i + k + len / 2] * w;
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
            }
    }
}

constexpr size_t FRAME = 1024;
constexpr int BANDS = 9; // 21 Hz .. 11 kHz in octaves
// Bands quieter than -40 dB of the whole count as empty, so noise in a
// near-silent band does not swing the distance.
constexpr double BAND_FLOOR = 1e-4;

struct Fingerprint {
    double bands[BANDS] = {}; // share of the energy, in dB
    double seconds = 0;
    double loud_time = 0; // centre of the energy in time, seconds
};

Fingerprint fingerprint(const std::vector<std::int16_t> &s) {
    Fingerprint fp;
    fp.seconds = static_cast<double>(s.size()) / assetgen::SAMPLE_RATE;
    double energy[BANDS] = {}, total = 0, weighted_time = 0;
    for (size_t start = 0; start < s.size(); start += FRAME / 2) {
        std::vector<std::complex<double>> a(FRAME);
        double frame_energy = 0;
        for (size_t i = 0; i < FRAME && start + i < s.size(); ++i) {
            const double hann = 0.5 - 0.5 * std::cos(2 * M_PI * static_cast<double>(i) / FRAME);
            a[i] = hann * s[start + i] / double(FULL_SCALE);
        }
        fft(a);
        for (size_t bin = 1; bin < FRAME / 2; ++bin) {
            const double e = std::norm(a[bin]);
            const int band = std::min(BANDS - 1, std::max(0, int(std::log2(double(bin)))));
            energy[band] += e;
            frame_energy += e;
        }
        total += frame_energy;
        weighted_time += frame_energy * static_cast<double>(start) / assetgen::SAMPLE_RATE;
    }
    for (int b = 0; b < BANDS; ++b)
        fp.bands[b] = 10 * std::log10(energy[b] / total + BAND_FLOOR);
    fp.loud_time = weighted_time / total;
    return fp;
}

// How far apart two sounds are: the spectral shape in dB per band, plus
// the length and where the loudness sits, each weighed like a few dB.
double distance(const Fingerprint &a, const Fingerprint &b) {
    double d = 0;
    for (int i = 0; i < BANDS; ++i)
        d += (a.bands[i] - b.bands[i]) * (a.bands[i] - b.bands[i]);
    const double length = 10 * std::log2(a.seconds / b.seconds);
    const double timing = 20 * (a.loud_time - b.loud_time);
    return std::sqrt(d + length * length + timing * timing);
}

} // namespace

// Each sound, made twice the same, as Allegro's WAV loader reads it from
// disk; a number without a voice is refused.
TEST(SoundArt, EveryVoiceLoadsAsShortCleanMonoWav) {
    const std::string wav = qv::test::make_temp_dir("sounds") + "/sound.wav";
    for (int number : qv::loaded_sounds) {
        SCOPED_TRACE("sound " + std::to_string(number));
        const auto samples = assetgen::make_sound(number);
        ASSERT_FALSE(samples.empty());
        EXPECT_EQ(assetgen::make_sound(number), samples) << "made again, not the same";
        qv::test::write_bytes(wav, assetgen::wav_file(samples));
        SAMPLE *spl = load_wav(wav.c_str());
        ASSERT_NE(spl, nullptr);
        EXPECT_EQ(spl->freq, 22050);
        EXPECT_EQ(spl->bits, 16);
        EXPECT_EQ(spl->stereo, 0);
        ASSERT_EQ(spl->len, samples.size());
        EXPECT_LT(spl->len, MAX_SECONDS * 22050);
        // Allegro keeps 16-bit data unsigned: the sign bit flipped.
        const auto *data = static_cast<const std::uint16_t *>(spl->data);
        int peak = 0;
        size_t mismatches = 0;
        for (size_t i = 0; i < samples.size(); ++i) {
            const int v = static_cast<int>(data[i]) - 32768;
            mismatches += v != samples[i];
            peak = std::max(peak, std::abs(v));
        }
        destroy_sample(spl);
        EXPECT_EQ(mismatches, 0u);
        // Normalised near 90%: loud, never touching full scale.
        EXPECT_GT(peak, 0.85 * FULL_SCALE);
        EXPECT_LT(peak, 0.95 * FULL_SCALE);
        // It fades out rather than stopping on a click.
        EXPECT_LT(std::abs(samples.back()), 100);
    }
    EXPECT_THROW(assetgen::make_sound(57), std::invalid_argument);
    EXPECT_THROW(assetgen::make_sound(-1), std::invalid_argument);
}

TEST(SoundArt, HeaderSizesMatchTheData) {
    const std::vector<std::int16_t> samples = {0, 1000, -1000, 32767, -32768};
    const auto wav = assetgen::wav_file(samples);
    ASSERT_EQ(wav.size(), 44 + 2 * samples.size());
    auto u32 = [&](size_t at) {
        return wav[at] | wav[at + 1] << 8 | wav[at + 2] << 16 | wav[at + 3] << 24;
    };
    EXPECT_EQ(std::string(wav.begin(), wav.begin() + 4), "RIFF");
    EXPECT_EQ(u32(4), wav.size() - 8);
    EXPECT_EQ(u32(40), 2 * samples.size());
    // Little-endian signed samples: -32768 is 00 80.
    EXPECT_EQ(wav[wav.size() - 2], 0x00);
    EXPECT_EQ(wav[wav.size() - 1], 0x80);
}

TEST(SoundArt, NoTwoVoicesSoundAlike) {
    // Measured: the closest pair (the two explosions) is about 12 apart; a
    // voice played 10% higher or lower lands 2 to 10 from itself.
    constexpr double MIN_DISTANCE = 6.0;
    std::vector<Fingerprint> fps;
    for (int number : qv::loaded_sounds)
        fps.push_back(fingerprint(assetgen::make_sound(number)));
    for (size_t a = 0; a < fps.size(); ++a)
        for (size_t b = a + 1; b < fps.size(); ++b)
            EXPECT_GT(distance(fps[a], fps[b]), MIN_DISTANCE)
                << "sounds " << qv::loaded_sounds[a] << " and " << qv::loaded_sounds[b];
}
