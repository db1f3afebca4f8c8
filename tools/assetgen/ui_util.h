// Small drawing helpers shared by the interface pictures: a fixed-seed
// random source, pixel-art tables, outlines and bevel lighting.
#pragma once

#include <allegro.h>

#include <cstdint>
#include <vector>

namespace assetgen::ui {

// splitmix64: tiny, fast and identical on every machine, so the pictures
// never depend on the C library's rand().
class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}
    std::uint32_t next();
    // Uniform in 0..n-1 (n > 0).
    int below(int n);
    // Uniform in [0, 1).
    double unit();

private:
    std::uint64_t state_;
};

// Smooth value noise on a lattice of `cells` per `period` pixels that wraps
// around, so a picture of that period tiles with no seam. Values 0..1.
double tile_noise(double x, double y, int period, int cells, std::uint32_t seed);
// Four octaves of tile_noise, values about 0..1.
double tile_fbm(double x, double y, int period, int cells, std::uint32_t seed);
// 4x4 ordered-dither threshold in [0, 1).
double bayer4(int x, int y);
// Picks the ramp entry for t in 0..1 with ordered dither between neighbours.
int dithered(int first, int n, double t, int x, int y);

inline int clampi(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

// Creates an 8-bit bitmap cleared to colour 0.
BITMAP *new_sheet(int w, int h);

// A one-bit picture: the shape that outlines and bevels work on.
struct Mask {
    int w = 0, h = 0;
    std::vector<std::uint8_t> bits;
    Mask(int width, int height) : w(width), h(height), bits(static_cast<size_t>(width * height)) {}
    bool at(int x, int y) const {
        return x >= 0 && y >= 0 && x < w && y < h && bits[static_cast<size_t>(y * w + x)];
    }
    void set(int x, int y, bool on = true) {
        if (x >= 0 && y >= 0 && x < w && y < h) bits[static_cast<size_t>(y * w + x)] = on;
    }
};

// Loads rows of pixel art ('.' or ' ' empty, anything else set) into a mask
// at (x, y).
void mask_from_rows(Mask &m, int x, int y, const char *const *rows, int count);

// True where any of the eight neighbours is set but the pixel itself is not.
bool outline_at(const Mask &m, int x, int y);

// Chamfer distance (in steps of about one pixel) from each set pixel to the
// nearest unset one; 0 outside the shape.
std::vector<int> inner_distance(const Mask &m);

// Draws a palette table: each character of `rows` names a colour through
// `legend` (pairs of character and index, '.' = leave alone).
struct Ink {
    char symbol;
    int colour;
};
void draw_rows(BITMAP *bmp, int x, int y, const char *const *rows, int count, const Ink *legend,
               int legend_size);

// Lighting of a bevel from the direction of the nearest edge: +1 faces the
// upper-left light, -1 faces away. Uses the gradient of `dist`.
double bevel_light(const std::vector<int> &dist, int w, int h, int x, int y);

// The title palette: the master palette in 0..127 and the title picture's
// own sky, planet, star and chrome ramps in 128..255. Shared by "title.lmp"
// and "logos.lmp", which must carry the same palette.
void make_title_palette(PALETTE pal);

// ---- ranges of the title palette (128..255) ----
inline constexpr int T_SPACE = 128;       // 128 blackest space
inline constexpr int T_FAINT_STAR = 129;  // 129..131 faint painted stars
inline constexpr int T_WARM_STAR = 133;   // 133..135 warm painted stars
inline constexpr int T_HALO = 137;        // 137..139 bright star halos
inline constexpr int T_SKY = 140;         // 140..155 space, black to deep blue
inline constexpr int T_SKY_N = 16;
inline constexpr int T_NEBULA = 156;      // 156..175 dark violet to pink-white
inline constexpr int T_NEBULA_N = 20;
inline constexpr int T_PLANET = 176;      // 176..199 planet, night to lit
inline constexpr int T_PLANET_N = 24;
inline constexpr int T_AIR = 200;         // 200..215 atmosphere, deep blue to white
inline constexpr int T_AIR_N = 16;
inline constexpr int T_SUN = 216;         // 216..223 sun flare, amber to white
inline constexpr int T_SUN_N = 8;
inline constexpr int T_CHROME_SKY = 224;  // 224..239 chrome reflecting the sky
inline constexpr int T_CHROME_SKY_N = 16;
inline constexpr int T_CHROME_EARTH = 240; // 240..255 chrome reflecting the ground
inline constexpr int T_CHROME_EARTH_N = 16;

} // namespace assetgen::ui
