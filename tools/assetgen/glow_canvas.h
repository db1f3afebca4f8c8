// A small light canvas for glowing things (bolts, sparks): shapes add light
// as smooth fields, and the result is reduced to a ramp of palette indices,
// dark fringe to white-hot core; unlit pixels stay colour 0.
#pragma once

#include <allegro.h>

#include <vector>

namespace assetgen::world {

class GlowCanvas {
public:
    GlowCanvas(int w, int h);

    // Soft round glow: full at the centre, fading to 0 at `radius`.
    void glow(float cx, float cy, float radius, float strength);
    // Solid disc with a one-pixel soft edge.
    void disc(float cx, float cy, float radius, float strength);
    // Ring of the given radius and half-width, soft across its width.
    void ring(float cx, float cy, float radius, float half_width, float strength);
    // Line from (x0, y0) to (x1, y1), soft across `half_width`; the strength
    // fades linearly to `end_strength` at the far end.
    void line(float x0, float y0, float x1, float y1, float half_width, float strength, float end_strength);
    // Elliptic glow stretched along an angle (radians, 0 = right).
    void streak(float cx, float cy, float length, float width, float angle, float strength);

    float at(int x, int y) const { return v_[static_cast<size_t>(y) * w_ + x]; }
    void scale(float k);

    // Writes the canvas at (x, y) of dst through the ramp (dark to bright);
    // values below `cutoff` are left as colour 0. Keeps a one-pixel empty
    // border around the canvas.
    void paint(BITMAP *dst, int x, int y, const std::vector<int> &ramp, float cutoff) const;

private:
    void add(int x, int y, float v);
    int w_;
    int h_;
    std::vector<float> v_;
};

} // namespace assetgen::world
