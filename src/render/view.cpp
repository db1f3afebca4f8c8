#include "render/view.h"

#include "core/game_state.h"

namespace qv {

void set_view_params() {
    g.view.camera_height = itofix(100);
    g.view.horizon_offset = 45;
    g.view.scale_x = itofix(250);
    g.view.scale_y = itofix(250);
    g.view.sprite_scale_x = itofix(100);
    g.view.sprite_scale_y = itofix(100);
}

void init_view_tables() {
    const fixed numerator = fixmul(g.view.camera_height, g.view.scale_y);
    for (int y = 0; y < FRAME_H; ++y) {
        g.row_distance[y] = numerator / (y + g.view.horizon_offset);
        g.row_step[y] = fixdiv(g.row_distance[y], g.view.scale_x);
    }
}

} // namespace qv
