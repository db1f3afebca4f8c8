// A tiny ray-marcher for the craft: each craft is a distance field built from
// a few solid shapes, seen by an orthographic camera from behind and above
// (the way the flight camera sees it), lit from the upper left, and reduced
// to the shading ramps of the master palette with a dark outline.
#pragma once

#include <allegro.h>

#include <functional>
#include <vector>

namespace assetgen::world {

struct V3 {
    float x;
    float y;
    float z;
};
inline V3 operator+(V3 a, V3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline V3 operator-(V3 a, V3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline V3 operator*(V3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
inline V3 mul(V3 a, V3 b) { return {a.x * b.x, a.y * b.y, a.z * b.z}; }
float dot(V3 a, V3 b);
float length(V3 a);
V3 normalize(V3 a);
V3 abs_x(V3 p); // mirror across the craft's centre plane

// ---- distance primitives (model space: x right, y up, z forward) ----
float smin(float a, float b, float k);
float sd_ellipsoid(V3 p, V3 radii);
float sd_round_box(V3 p, V3 half, float round);
float sd_capsule(V3 p, V3 a, V3 b, float r);
float sd_round_cone(V3 p, V3 a, V3 b, float ra, float rb);
float sd_torus_y(V3 p, float ring, float tube);     // ring lies in the xz plane
float sd_cylinder_z(V3 p, float r, float half_len); // axis along z
float sd_cylinder_y(V3 p, float r, float half_len); // axis along y
struct P2 {
    float x;
    float z;
};
// A plate: the polygon (in the xz plane, any winding) extruded to
// half-thickness `half` around y = 0, edges rounded by `round`.
float sd_plate(V3 p, const std::vector<P2> &poly, float half, float round);

// The distance to the nearest surface and what that surface is made of.
struct Hit {
    float d;
    int mat;
};
inline Hit nearer(Hit a, Hit b) { return b.d < a.d ? b : a; }

// How a surface turns into palette indices: a ramp of n entries from
// `first` (dark to light, or light to dark when `descending`).
struct Material {
    int first;
    int n;
    bool descending;
    float albedo;   // overall lightness of the paint
    float specular; // strength of the highlight
    float shine;    // tightness of the highlight
    bool emissive;  // glows by itself: lit by facing the eye, not the light
    int outline;    // colour of the outline drawn around it
};

struct Model {
    std::function<Hit(V3)> field;
    std::vector<Material> materials;
    // Optional paint detail: multiplies the albedo at a surface point
    // (panel seams, stripes); 1 leaves it alone.
    std::function<float(V3, int)> paint;
    float radius; // the craft fits inside this sphere around the origin
};

struct Camera {
    float elevation_deg; // how far the eye looks down onto the craft
    float scale;         // pixels per model unit
    float cx;            // where the model origin lands, in the target rect
    float cy;
};

// Renders the model into the rectangle (x, y, w, h) of dst. Pixels the craft
// does not cover are left untouched; the outline stays inside the rectangle.
void render_model(BITMAP *dst, int x, int y, int w, int h, const Model &model, const Camera &cam);

// The craft as seen from straight above, as a coverage mask (0..1) of
// w x h, squashed vertically by `squash` (for ground shadows).
std::vector<float> plan_mask(const Model &model, int w, int h, float scale, float squash, float cx, float cy);

} // namespace assetgen::world
