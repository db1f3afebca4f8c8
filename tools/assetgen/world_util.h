// Small helpers shared by the world pictures: a fixed-seed random source,
// noise that wraps around its period, and ramp/dither helpers for turning
// smooth values into palette indices.
#pragma once

#include <allegro.h>

#include <cstdint>
#include <vector>

namespace assetgen::world {

inline constexpr int SHEET_W = 320;
inline constexpr int SHEET_H = 200;

// A new 320x200 8-bit sheet cleared to colour 0 (transparent).
BITMAP *new_sheet();

// Deterministic generator (splitmix64): the same seed always gives the same
// pictures, on every machine.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}
    std::uint32_t next();
    double uniform();                        // [0, 1)
    double range(double lo, double hi);      // [lo, hi)
    int below(int n);                        // 0 .. n-1

private:
    std::uint64_t state_;
};

// Value noise on a square lattice of `cells` x `cells` that repeats every
// `period` pixels, so a picture of that size tiles with no seam.
// The lattice may have a different number of cells across and down, for
// features stretched in one direction.
class TileNoise {
public:
    TileNoise(int period, int cells, std::uint64_t seed) : TileNoise(period, cells, cells, seed) {}
    TileNoise(int period, int cells_x, int cells_y, std::uint64_t seed);
    double at(double x, double y) const; // 0..1, smooth (quintic fade)

private:
    int period_;
    int cells_x_;
    int cells_y_;
    std::vector<float> lattice_;
};

// Fractal sum of wrapped value noise: octave k has base_cells << k cells.
class TileFbm {
public:
    TileFbm(int period, int base_cells, int octaves, double gain, std::uint64_t seed)
        : TileFbm(period, base_cells, base_cells, octaves, gain, seed) {}
    TileFbm(int period, int cells_x, int cells_y, int octaves, double gain, std::uint64_t seed);
    double at(double x, double y) const; // about 0..1

private:
    std::vector<TileNoise> octaves_;
    double gain_;
    double norm_;
};

// Wrapped cellular noise: feature points jittered in a grid of cells x cells
// over a period. Gives the two nearest distances (in pixels) and the id of
// the nearest cell.
struct CellSample {
    double f1;
    double f2;
    int id;
};
class TileCells {
public:
    TileCells(int period, int cells, std::uint64_t seed);
    CellSample at(double x, double y) const;

private:
    int period_;
    int cells_;
    std::vector<double> px_;
    std::vector<double> py_;
};

// White noise per texel, 0..1: the same (x, y, seed) always gives the same
// value. Callers wrap x and y themselves.
double texel_hash(int x, int y, std::uint32_t seed);

// 4x4 ordered dither threshold in [-0.5, 0.5), repeating every 4 pixels.
double bayer4(int x, int y);

// Shortest signed distance between a and b on a circle of length period.
double wrap_delta(double a, double b, double period);

double clamp01(double v);
double smoothstep(double e0, double e1, double v);
double mix(double a, double b, double t);

// Perceived brightness of palette entry i (0..63 levels).
double brightness(const PALETTE pal, int i);

// Builds n palette entries from `first` as a piecewise-linear gradient
// through the key colours (6-bit levels), evenly spaced.
struct Key {
    double r;
    double g;
    double b;
};
void gradient(PALETTE pal, int first, int n, const std::vector<Key> &keys);

} // namespace assetgen::world
