#include "world_util.h"

#include <algorithm>
#include <cmath>

namespace assetgen::world {

BITMAP *new_sheet() {
    BITMAP *bmp = create_bitmap_ex(8, SHEET_W, SHEET_H);
    clear_to_color(bmp, 0);
    return bmp;
}

std::uint32_t Rng::next() {
    state_ += 0x9E3779B97F4A7C15ULL;
    std::uint64_t z = state_;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return static_cast<std::uint32_t>((z ^ (z >> 31)) >> 32);
}

double Rng::uniform() { return next() / 4294967296.0; }

double Rng::range(double lo, double hi) { return lo + (hi - lo) * uniform(); }

int Rng::below(int n) { return n > 0 ? static_cast<int>(next() % static_cast<std::uint32_t>(n)) : 0; }

static int wrap_index(int i, int n) { return ((i % n) + n) % n; }

TileNoise::TileNoise(int period, int cells_x, int cells_y, std::uint64_t seed)
    : period_(period), cells_x_(cells_x), cells_y_(cells_y), lattice_(static_cast<size_t>(cells_x) * cells_y) {
    Rng rng(seed);
    for (float &v : lattice_) v = static_cast<float>(rng.uniform());
}

static double fade(double t) { return t * t * t * (t * (t * 6 - 15) + 10); }

double TileNoise::at(double x, double y) const {
    const double fx = x * cells_x_ / period_;
    const double fy = y * cells_y_ / period_;
    const double x0 = std::floor(fx);
    const double y0 = std::floor(fy);
    const double tx = fade(fx - x0);
    const double ty = fade(fy - y0);
    const int ix = wrap_index(static_cast<int>(x0), cells_x_);
    const int iy = wrap_index(static_cast<int>(y0), cells_y_);
    const int jx = (ix + 1) % cells_x_;
    const int jy = (iy + 1) % cells_y_;
    auto v = [&](int cx, int cy) { return static_cast<double>(lattice_[static_cast<size_t>(cy) * cells_x_ + cx]); };
    const double a = mix(v(ix, iy), v(jx, iy), tx);
    const double b = mix(v(ix, jy), v(jx, jy), tx);
    return mix(a, b, ty);
}

TileFbm::TileFbm(int period, int cells_x, int cells_y, int octaves, double gain, std::uint64_t seed)
    : gain_(gain), norm_(0) {
    double amp = 1;
    for (int k = 0; k < octaves; ++k) {
        octaves_.emplace_back(period, cells_x << k, cells_y << k, seed * 7919 + static_cast<std::uint64_t>(k) * 104729);
        norm_ += amp;
        amp *= gain;
    }
}

double TileFbm::at(double x, double y) const {
    double sum = 0;
    double amp = 1;
    for (const TileNoise &n : octaves_) {
        sum += amp * n.at(x, y);
        amp *= gain_;
    }
    return sum / norm_;
}

TileCells::TileCells(int period, int cells, std::uint64_t seed) : period_(period), cells_(cells) {
    Rng rng(seed);
    const double size = static_cast<double>(period) / cells;
    for (int cy = 0; cy < cells; ++cy) {
        for (int cx = 0; cx < cells; ++cx) {
            px_.push_back((cx + rng.range(0.1, 0.9)) * size);
            py_.push_back((cy + rng.range(0.1, 0.9)) * size);
        }
    }
}

CellSample TileCells::at(double x, double y) const {
    const double size = static_cast<double>(period_) / cells_;
    const int cx = static_cast<int>(std::floor(x / size));
    const int cy = static_cast<int>(std::floor(y / size));
    CellSample s{1e9, 1e9, 0};
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            const int id = wrap_index(cy + dy, cells_) * cells_ + wrap_index(cx + dx, cells_);
            const double ddx = wrap_delta(x, px_[static_cast<size_t>(id)], period_);
            const double ddy = wrap_delta(y, py_[static_cast<size_t>(id)], period_);
            const double d = std::sqrt(ddx * ddx + ddy * ddy);
            if (d < s.f1) {
                s.f2 = s.f1;
                s.f1 = d;
                s.id = id;
            } else if (d < s.f2) {
                s.f2 = d;
            }
        }
    }
    return s;
}

double texel_hash(int x, int y, std::uint32_t seed) {
    std::uint32_t h = static_cast<std::uint32_t>(x) * 0x8DA6B343u ^ static_cast<std::uint32_t>(y) * 0xD8163841u ^
                      seed * 0xCB1AB31Fu;
    h ^= h >> 13;
    h *= 0x5BD1E995u;
    h ^= h >> 15;
    return (h & 0xFFFFFF) / 16777216.0;
}

double bayer4(int x, int y) {
    static constexpr int M[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    return (M[y & 3][x & 3] + 0.5) / 16.0 - 0.5;
}

double wrap_delta(double a, double b, double period) {
    double d = std::fmod(b - a, period);
    if (d < -period / 2) d += period;
    if (d >= period / 2) d -= period;
    return d;
}

double clamp01(double v) { return std::clamp(v, 0.0, 1.0); }

double smoothstep(double e0, double e1, double v) {
    const double t = clamp01((v - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}

double mix(double a, double b, double t) { return a + (b - a) * t; }

double brightness(const PALETTE pal, int i) {
    return 0.30 * pal[i].r + 0.59 * pal[i].g + 0.11 * pal[i].b;
}

void gradient(PALETTE pal, int first, int n, const std::vector<Key> &keys) {
    const int segments = static_cast<int>(keys.size()) - 1;
    for (int i = 0; i < n; ++i) {
        const double t = n > 1 ? static_cast<double>(i) / (n - 1) * segments : 0.0;
        const int k = std::min(static_cast<int>(t), segments - 1);
        const double f = t - k;
        auto level = [](double v) { return static_cast<unsigned char>(std::clamp(v, 0.0, 63.0) + 0.5); };
        pal[first + i].r = level(mix(keys[k].r, keys[k + 1].r, f));
        pal[first + i].g = level(mix(keys[k].g, keys[k + 1].g, f));
        pal[first + i].b = level(mix(keys[k].b, keys[k + 1].b, f));
        pal[first + i].filler = 0;
    }
}

} // namespace assetgen::world
