// One flight frame: ground, clouds, the world, the ship, the instruments,
// the panels and the score, then onto the screen (with the shake).
#include "render/render.h"

#include "core/game_state.h"
#include "core/sim_lock.h"
#include "core/snapshot.h"
#include "platform/platform.h"
#include "render/hud.h"
#include "render/objects.h"
#include "render/panels.h"
#include "render/text.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace qv {

namespace {

// The camera stands this many world pixels behind the ship, which puts the
// ship's own ground point on screen row 182.
constexpr int CAMERA_PULL_BACK = 110;

constexpr int SCORE_X = 2;
constexpr int SCORE_Y = 5;
constexpr int SCORE_LABEL_X = 2;
constexpr int SCORE_LABEL_Y = 1;

// A shaken frame picks one of four offsets with equal chance.
constexpr int SHAKE_DRAW = 8;
constexpr int SHAKE_SPLIT = 2;
constexpr ShakeOffset SHAKE_OFFSETS[] = {{1, 0}, {0, 1}, {1, 1}, {0, 0}};

void pull_back(fixed &x, fixed &y, fixed heading) {
    const fixed angle = wrap_angle(heading);
    x = wrapped_sub(x, CAMERA_PULL_BACK * fixcos(angle));
    y = wrapped_sub(y, CAMERA_PULL_BACK * fixsin(angle));
}

void draw_score(BITMAP *dest) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%d", static_cast<int>(g.snap.score));
    draw_text(SCORE_X, SCORE_Y, dest, digits);
    draw_small_text(SCORE_LABEL_X, SCORE_LABEL_Y, dest, "SCORE");
}

} // namespace

void compose_flight_frame() {
    BITMAP *frame = g.back_buffer;
    pull_back(g.view_x, g.view_y, g.view_heading);
    if (g.detail[DETAIL_CLOUDS]) {
        // The cloud layer is pulled back along the ship's heading, not its own.
        pull_back(g.view_cloud_x, g.view_cloud_y, g.view_heading);
        draw_ground_and_cloud_layers(frame, g.stage_map, g.view_heading, g.view_x, g.view_y,
                                     g.cloud_map, g.view_cloud_heading, g.view_cloud_x,
                                     g.view_cloud_y);
    } else {
        draw_ground_layer(frame, g.stage_map, g.view_heading, g.view_x, g.view_y);
    }
    project_objects();
    build_draw_list();
    sort_draw_list();
    draw_objects();
    draw_player_ship();
    draw_hud();
    draw_panels(g.snap.panels, g.snap.blink_on != 0);
    draw_score(frame);
}

ShakeOffset take_shake_offset() {
    // shake_frames is set by the ticks (hits, booster): count it down under
    // the lock. rand() is taken here too, in step with the ticks' own draws.
    SimLock lock;
    if (g.shake_frames == 0)
        return {0, 0};
    --g.shake_frames;
    return SHAKE_OFFSETS[(std::rand() % SHAKE_DRAW) / SHAKE_SPLIT];
}

void present_frame() {
    const ShakeOffset o = take_shake_offset();
    platform::present(g.back_buffer, o.x, o.y, g.vsync_enabled != 0);
}

void render_frame() {
    take_snapshot();
    if (platform::draws_frames()) compose_flight_frame();
    present_frame();
}

} // namespace qv
