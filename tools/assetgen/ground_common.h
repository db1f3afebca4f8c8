// Shared machinery of the six stage grounds. A ground is painted as two
// fields per texel, a light level (0..1) and the ramp it belongs to, then
// reduced to palette indices 128..255: the 128 entries are split evenly
// between the ground's ramps.
#pragma once

#include "world_util.h"

#include <allegro.h>

#include <cstdint>
#include <vector>

namespace assetgen::world {

inline constexpr int GROUND = 512;
inline constexpr int GROUND_FIRST = 128;
inline constexpr int GROUND_COLOURS = 128;

struct GroundPaint {
    std::vector<float> level = std::vector<float>(static_cast<size_t>(GROUND) * GROUND, 0.0f);
    std::vector<std::uint8_t> ramp = std::vector<std::uint8_t>(static_cast<size_t>(GROUND) * GROUND, 0);
    float &lv(int x, int y) { return level[static_cast<size_t>(y) * GROUND + x]; }
    std::uint8_t &rp(int x, int y) { return ramp[static_cast<size_t>(y) * GROUND + x]; }
};

// A ground's look: its ramps (each a list of key colours, dark to light)
// and the painter that fills the two fields.
// When `blend` is above 0 the listed ramps are stops instead: `blend` ramps
// are made by mixing evenly from the first stop through to the last, so a
// painter can move smoothly between hues (its ramp number 0..blend-1).
struct GroundStyle {
    std::vector<std::vector<Key>> ramps;
    void (*paint)(GroundPaint &);
    int blend = 0;
};

// A height field over the ground that wraps at its edges.
class HeightField {
public:
    HeightField() : h_(static_cast<size_t>(GROUND) * GROUND, 0.0f) {}
    float &at(int x, int y) { return h_[static_cast<size_t>(y) * GROUND + x]; }
    float get(int x, int y) const {
        return h_[static_cast<size_t>((y + GROUND) % GROUND) * GROUND + (x + GROUND) % GROUND];
    }
    // Lambert light from the upper left for a relief exaggerated by `relief`
    // (height units per texel), 0..1; a flat texel gets about 0.6.
    float light(int x, int y, float relief) const;

private:
    std::vector<float> h_;
};

// Texel centre distance from a point, on the wrapped ground.
double ground_distance(double x, double y, double cx, double cy);

// Scatters `count` stars over the ground: mostly faint points, a few with
// a radius up to about `max_radius` texels.
struct Star {
    double x;
    double y;
    double radius;
    double light;
};
std::vector<Star> scatter_stars(int count, double max_radius, std::uint64_t seed);
// Adds the glow of the stars to `add` (0..1 per texel), wrapping.
void draw_stars(std::vector<float> &add, const std::vector<Star> &stars);

// The painters, one per stage.
void paint_mesas(GroundPaint &g);
void paint_aurora(GroundPaint &g);
void paint_charred(GroundPaint &g);
void paint_nebula(GroundPaint &g);
void paint_wormhole(GroundPaint &g);
void paint_core(GroundPaint &g);

} // namespace assetgen::world
