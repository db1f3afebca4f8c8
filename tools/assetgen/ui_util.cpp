#include "ui_util.h"

#include "palette.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace assetgen::ui {

std::uint32_t Rng::next() {
    state_ += 0x9E3779B97F4A7C15ull;
    std::uint64_t z = state_;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return static_cast<std::uint32_t>((z ^ (z >> 31)) >> 32);
}

int Rng::below(int n) { return static_cast<int>(next() % static_cast<std::uint32_t>(n)); }

double Rng::unit() { return next() / 4294967296.0; }

BITMAP *new_sheet(int w, int h) {
    BITMAP *b = create_bitmap_ex(8, w, h);
    clear_to_color(b, TRANSPARENT);
    return b;
}

void mask_from_rows(Mask &m, int x, int y, const char *const *rows, int count) {
    for (int r = 0; r < count; ++r) {
        const int len = static_cast<int>(std::strlen(rows[r]));
        for (int c = 0; c < len; ++c)
            if (rows[r][c] != '.' && rows[r][c] != ' ') m.set(x + c, y + r);
    }
}

bool outline_at(const Mask &m, int x, int y) {
    if (m.at(x, y)) return false;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (m.at(x + dx, y + dy)) return true;
    return false;
}

std::vector<int> inner_distance(const Mask &m) {
    // Two-pass 3-4 chamfer; divided by 3 at the end so a step is ~1 pixel.
    constexpr int BIG = 1 << 20;
    const int w = m.w, h = m.h;
    std::vector<int> d(static_cast<size_t>(w * h));
    auto idx = [w](int x, int y) { return static_cast<size_t>(y * w + x); };
    auto get = [&](int x, int y) { return (x < 0 || y < 0 || x >= w || y >= h) ? 0 : d[idx(x, y)]; };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) d[idx(x, y)] = m.at(x, y) ? BIG : 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (!d[idx(x, y)]) continue;
            int v = d[idx(x, y)];
            v = std::min({v, get(x - 1, y) + 3, get(x, y - 1) + 3, get(x - 1, y - 1) + 4,
                          get(x + 1, y - 1) + 4});
            d[idx(x, y)] = v;
        }
    for (int y = h - 1; y >= 0; --y)
        for (int x = w - 1; x >= 0; --x) {
            if (!d[idx(x, y)]) continue;
            int v = d[idx(x, y)];
            v = std::min({v, get(x + 1, y) + 3, get(x, y + 1) + 3, get(x + 1, y + 1) + 4,
                          get(x - 1, y + 1) + 4});
            d[idx(x, y)] = v;
        }
    for (int &v : d) v = (v + 2) / 3;
    return d;
}

void draw_rows(BITMAP *bmp, int x, int y, const char *const *rows, int count, const Ink *legend,
               int legend_size) {
    for (int r = 0; r < count; ++r) {
        const int len = static_cast<int>(std::strlen(rows[r]));
        for (int c = 0; c < len; ++c)
            for (int k = 0; k < legend_size; ++k)
                if (legend[k].symbol == rows[r][c]) putpixel(bmp, x + c, y + r, legend[k].colour);
    }
}

namespace {
std::uint32_t hash3(int x, int y, std::uint32_t seed) {
    std::uint32_t h = seed * 0x9E3779B1u ^ static_cast<std::uint32_t>(x) * 0x85EBCA6Bu ^
                      static_cast<std::uint32_t>(y) * 0xC2B2AE35u;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}
double lattice(int x, int y, int cells, std::uint32_t seed) {
    x = ((x % cells) + cells) % cells;
    y = ((y % cells) + cells) % cells;
    return (hash3(x, y, seed) & 0xFFFFFF) / 16777215.0;
}
double smooth(double t) { return t * t * (3 - 2 * t); }
} // namespace

double tile_noise(double x, double y, int period, int cells, std::uint32_t seed) {
    const double fx = x * cells / period, fy = y * cells / period;
    const int ix = static_cast<int>(std::floor(fx)), iy = static_cast<int>(std::floor(fy));
    const double tx = smooth(fx - ix), ty = smooth(fy - iy);
    const double a = lattice(ix, iy, cells, seed), b = lattice(ix + 1, iy, cells, seed);
    const double c = lattice(ix, iy + 1, cells, seed), d = lattice(ix + 1, iy + 1, cells, seed);
    return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

double tile_fbm(double x, double y, int period, int cells, std::uint32_t seed) {
    double sum = 0, amp = 0.5, norm = 0;
    for (int o = 0; o < 4; ++o) {
        sum += amp * tile_noise(x, y, period, cells << o, seed + static_cast<std::uint32_t>(o) * 7919u);
        norm += amp;
        amp *= 0.5;
    }
    return sum / norm;
}

double bayer4(int x, int y) {
    static constexpr int M[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    return (M[y & 3][x & 3] + 0.5) / 16.0;
}

int dithered(int first, int n, double t, int x, int y) {
    if (t < 0) t = 0;
    if (t > 1) t = 1;
    const double f = t * (n - 1);
    int i = static_cast<int>(f);
    if (f - i > bayer4(x, y)) ++i;
    return first + clampi(i, 0, n - 1);
}

double bevel_light(const std::vector<int> &dist, int w, int h, int x, int y) {
    auto at = [&](int px, int py) {
        px = clampi(px, 0, w - 1);
        py = clampi(py, 0, h - 1);
        return dist[static_cast<size_t>(py * w + px)];
    };
    // The distance grows away from the edge, so its gradient points inward;
    // an edge on the upper left has an inward gradient toward the lower right.
    const double gx = at(x + 1, y) - at(x - 1, y);
    const double gy = at(x, y + 1) - at(x, y - 1);
    const double len = gx * gx + gy * gy;
    if (len == 0) return 0.0;
    const double l = (gx * 0.6 + gy * 0.8) / std::sqrt(len);
    return l;
}

} // namespace assetgen::ui
