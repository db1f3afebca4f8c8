// Frame composition: the perspective ground and cloud layers, the world,
// the HUD, panels and score, and presenting the frame.
#pragma once

#include <allegro.h>

namespace qv {

// Takes the snapshot, composes one flight frame into back_buffer, presents it.
void render_frame();
// Composes the flight frame from g.snap into back_buffer (no snapshot, no
// presenting): what tests and benchmarks call. It pulls the camera copy
// (g.view_x, g.view_y and, with clouds on, g.view_cloud_x/y) back behind the
// ship, so call it once per snapshot.
void compose_flight_frame();
// Shows back_buffer with the retrace wait and the screen shake.
void present_frame();

// Where present_frame copies back_buffer from: (0, 0), or while the screen
// shakes one of (1, 0), (0, 1), (1, 1), (0, 0) at random.
struct ShakeOffset {
    int x, y;
};
// Counts one frame off g.shake_frames (under the sim lock) and picks the
// offset of this frame.
ShakeOffset take_shake_offset();

// The layers fill the whole FRAME_W x FRAME_H dest. `map` is the stage's
// ground, GROUND_PICTURE_SIZE a side, each texel drawn over
// 2^GROUND_TEXEL_SHIFT world pixels a side; `clouds` is CLOUD_SIZE a side,
// one to one. Both come from create_bitmap, their rows back to back; a map
// of another shape throws std::logic_error.
void draw_ground_layer(BITMAP *dest, BITMAP *map, fixed heading, fixed cx, fixed cy);
// The ground layer with the cloud shadows over it, in one pass.
void draw_ground_and_cloud_layers(BITMAP *dest, BITMAP *map, fixed heading, fixed cx, fixed cy,
                                  BITMAP *clouds, fixed cloud_heading, fixed cloud_x,
                                  fixed cloud_y);

} // namespace qv
