// The floor the frame is measured against: the per-pixel work of the ground
// and cloud layers, written the plainest way.
#pragma once

#include "core/game_state.h"

namespace qv::bench {

// Where the two layers are seen from: the ship's pose and the clouds' own.
struct LayerPose {
    fixed heading, x, y;
    fixed cloud_heading, cloud_x, cloud_y;
};

// For each of the 320 x 200 pixels: one texel of the 512 x 512 ground
// (drawn at twice its size, as the game draws it), one of the 256 x 256
// cloud map, and the colour map lookup that shades
// one by the other, written to `dest`. One pass, row by row, pixel by
// pixel, nothing batched. The maps must be those sizes, rows back to back
// (as create_bitmap makes them).
void draw_floor(BITMAP *dest, BITMAP *ground, BITMAP *clouds, const COLOR_MAP &shade,
                const LayerPose &pose);

} // namespace qv::bench
