// Paints and placement shared by the enemy and player craft.
#pragma once

#include "palette.h"
#include "render3d.h"

namespace assetgen::world {

// Paint ramps of the master palette, as craft materials.
inline Material steel_paint(float albedo = 1.0f) {
    return {STEEL, STEEL_N, false, albedo, 0.55f, 28.0f, false, STEEL};
}
inline Material grey_paint(float albedo = 1.0f) {
    return {GREY, GREY_N, false, albedo, 0.45f, 24.0f, false, GREY};
}
inline Material green_paint(float albedo = 1.0f) {
    return {ARMOUR, 8, true, albedo, 0.35f, 16.0f, false, GREY};
}
inline Material gold_paint(float albedo = 1.0f) {
    return {GOLD, GOLD_N, false, albedo, 0.65f, 20.0f, false, GOLD};
}
inline Material violet_paint(float albedo = 1.0f) {
    return {VIOLET, VIOLET_N, false, albedo, 0.5f, 22.0f, false, VIOLET};
}
// Dark red to orange: the hull paint of the red craft.
inline Material red_paint(float albedo = 1.0f) {
    return {FIRE, 10, false, albedo, 0.5f, 22.0f, false, FIRE};
}
inline Material cyan_paint(float albedo = 1.0f) {
    return {CYAN, CYAN_N, false, albedo, 0.6f, 30.0f, false, CYAN};
}
inline Material panel_paint(float albedo = 1.0f) {
    return {PANEL_DARK, 8, false, albedo, 0.4f, 20.0f, false, GREY};
}
// Glowing parts: engine exhausts, eyes, lamps.
inline Material fire_glow() { return {FIRE + 4, 12, false, 1.0f, 0, 1, true, FIRE}; }
inline Material red_glow() { return {FIRE + 1, 9, false, 1.0f, 0, 1, true, FIRE}; }
inline Material violet_glow() { return {VIOLET + 6, 10, false, 1.0f, 0, 1, true, VIOLET}; }
inline Material cyan_glow() { return {CYAN + 4, 10, false, 1.0f, 0, 1, true, CYAN}; }
inline Material gold_glow() { return {GOLD + 6, 10, false, 1.0f, 0, 1, true, GOLD}; }

// Renders the model into a scratch picture, then copies it into the cell
// (cx, cy, cw, ch) of dst centred on the cell's point (ax, ay) and keeping a
// one-pixel empty border. Returns false when the craft did not fit.
bool place_craft(BITMAP *dst, int cx, int cy, int cw, int ch, float ax, float ay, const Model &model,
                 const Camera &cam);

} // namespace assetgen::world
