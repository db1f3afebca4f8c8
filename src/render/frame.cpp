// Placeholder flight frame until the renderer lands: the ground layer only.
#include "render/render.h"

#include "core/game_state.h"
#include "core/spine.h"
#include "platform/platform.h"

namespace qv {
void draw_ground_layer(BITMAP *, BITMAP *, fixed, fixed, fixed) {}
void draw_cloud_layer(BITMAP *, BITMAP *, fixed, fixed, fixed) {}
void compose_flight_frame() { clear_to_color(g.back_buffer, 140); }
void present_frame() { platform::present(g.back_buffer, 0, 0, g.vsync_enabled); }
void render_frame() {
    take_snapshot();
    compose_flight_frame();
    present_frame();
}
} // namespace qv
