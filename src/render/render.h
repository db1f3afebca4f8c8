// Frame composition: the perspective ground and cloud layers, the world,
// the HUD, panels and score, and presenting the frame.
#pragma once

#include <allegro.h>

namespace qv {

// Takes the snapshot, composes one flight frame into back_buffer, presents it.
void render_frame();
// Composes the flight frame from g.snap into back_buffer (no snapshot, no
// presenting): what tests and benchmarks call.
void compose_flight_frame();
// Shows back_buffer with the retrace wait and the screen shake.
void present_frame();

void draw_ground_layer(BITMAP *dest, BITMAP *map, fixed heading, fixed cx, fixed cy);
void draw_cloud_layer(BITMAP *dest, BITMAP *map, fixed heading, fixed cx, fixed cy);

} // namespace qv
