// The player's ship: steering, the booster, the trigger and the heat gauge;
// the in-flight sound queue; keeping coordinates small on long flights.
#include "assets/game_data.h"
#include "assets/sound.h"
#include "input/input.h"
#include "sim/sim.h"
#include "sim/sim_internal.h"

#include <cstdlib>

namespace qv {

using namespace sim;

namespace {

// Sound pitch: 90.0 % .. 109.9 % of natural, in per mille.
constexpr int PITCH_BASE = 900;
constexpr int PITCH_SPREAD = 200;

// Far-flight recentring: the start point, how far the ship may stray, and
// the period of the ground picture that the shift keeps to.
constexpr int WORLD_START_PX = 16000;
constexpr int RECENTER_LIMIT_PX = 8192;
constexpr int GROUND_PERIOD_PX = 1024;
// No object stays farther than this from the ship on either axis. A ship
// that outruns a slow enemy for minutes would otherwise leave it beyond the
// range of a fixed coordinate. With the ship itself within 8192 px of the
// start, everything stays well inside +-32767 px.
constexpr int FAR_LIMIT_PX = 8192;

// Moves ship and clouds together by a step of `step` fixed units along the
// two angles (the ship's and the cloud layer's own).
void move_pair(fixed ship_angle, fixed cloud_angle, fixed step) {
    g.player_x += fixmul(step, fixcos(ship_angle));
    g.player_y += fixmul(step, fixsin(ship_angle));
    g.cloud_x += fixmul(step, fixcos(cloud_angle));
    g.cloud_y += fixmul(step, fixsin(cloud_angle));
}

// One movement step: one pixel, or the ship's boost in pixels.
fixed move_step(int boost) {
    return g.booster_active ? px(boost) : px(1);
}

// A sideways move: quarter turn off the rounded headings.
void strafe(int quarter, int boost) {
    const fixed a = whole_angle(fixtoi(g.player_heading) + quarter);
    const fixed c = whole_angle(fixtoi(g.cloud_heading) + quarter);
    move_pair(a, c, move_step(boost));
}

void turn(fixed by) {
    g.player_heading = wrap_angle(g.player_heading + by);
    g.cloud_heading = wrap_angle(g.cloud_heading + by);
}

void steer(int boost) {
    const PlayerCommand &c = g.command;
    if (c.action[ACT_STRAFE]) {
        if (c.left)
            strafe(-QUARTER_TURN, boost);
        if (c.right)
            strafe(QUARTER_TURN, boost);
    } else {
        fixed t = ftofix(g.turn_rate);
        if (g.booster_active)
            t *= 2;
        if (c.left)
            turn(-t);
        if (c.right)
            turn(t);
    }
    if (c.up)
        move_pair(g.player_heading, g.cloud_heading, move_step(boost));
    if (c.down)
        move_pair(g.player_heading, g.cloud_heading, -move_step(boost));
}

void regenerate_pods() {
    if (g.bombs >= ship_pod_max[g.ship_type])
        return;
    if (--g.bomb_regen_timer <= 0) {
        ++g.bombs;
        g.bomb_regen_timer = static_cast<int16>(ship_pod_regen[g.ship_type] * TICKS_PER_SECOND);
    }
}

void sweep_radar() {
    if (++g.radar_timer > RADAR_STEP_TICKS) {
        g.radar_timer = 0;
        if (++g.radar_frame > RADAR_LAST_FRAME) {
            g.radar_frame = 0;
            g.radar_timer = RADAR_PAUSE;
        }
    }
}

void drift_clouds() {
    const fixed dir = itofix(g.drift_dir);
    g.cloud_x += fixmul(fixcos(dir), DRIFT_SPEED);
    g.cloud_y += fixmul(fixsin(dir), DRIFT_SPEED);
    if (++g.drift_timer > DRIFT_STEP_TICKS) {
        g.drift_timer = 0;
        g.drift_dir = static_cast<int16>((g.drift_dir + 1) % FULL_TURN);
    }
}

// The shift that brings a coordinate back near the start: a multiple of the
// ground period, or 0 while it is close enough.
fixed recenter_shift(fixed coord) {
    const int from_start = fixtoi(coord) - WORLD_START_PX;
    if (from_start > RECENTER_LIMIT_PX || from_start < -RECENTER_LIMIT_PX)
        return px(from_start / GROUND_PERIOD_PX * GROUND_PERIOD_PX);
    return 0;
}

// Brings a far coordinate back toward the ship by whole ground periods, so
// the object lands on the same spot of the repeating ground.
void pull_near(fixed &coord, fixed ship) {
    const int off = fixtoi(coord) - fixtoi(ship);
    if (off > FAR_LIMIT_PX)
        coord -=
            px((off - FAR_LIMIT_PX + GROUND_PERIOD_PX - 1) / GROUND_PERIOD_PX * GROUND_PERIOD_PX);
    else if (off < -FAR_LIMIT_PX)
        coord +=
            px((-off - FAR_LIMIT_PX + GROUND_PERIOD_PX - 1) / GROUND_PERIOD_PX * GROUND_PERIOD_PX);
}

// Moves the ship, the clouds and every object by the same amount.
void shift_world(fixed dx, fixed dy) {
    g.player_x -= dx;
    g.player_y -= dy;
    g.cloud_x -= dx;
    g.cloud_y -= dy;
    // Slot 0 carries the ship's pose of the last frame; free slots keep
    // stale positions that no one reads, and shifting them again and again
    // could carry them out of range.
    for (int s = 0; s < SLOT_COUNT; ++s) {
        if (s != 0 && !g.ent.active[s])
            continue;
        g.ent.x[s] -= dx;
        g.ent.y[s] -= dy;
    }
}

} // namespace

void ship_step() {
    const int boost = ship_boost[g.ship_type];
    if (g.stage_end_timer != -1)
        --g.stage_end_timer;
    g.turn_rate = ship_turn[g.ship_type];
    g.flame_frame = static_cast<int16>(std::rand() % 100 / 34);
    regenerate_pods();
    sweep_radar();
    drift_clouds();
    g.game_over = g.ent.hp[0] <= 0 ? 1 : 0;

    if (g.launch_timer != 0) {
        // The stage-start glide: forward, slowing to a stop, no control.
        const fixed s = ftofix(g.launch_timer / static_cast<double>(LAUNCH_GLIDE));
        move_pair(g.player_heading, g.cloud_heading, s);
        --g.launch_timer;
    } else {
        steer(boost);
    }
    recenter_world();
}

void booster_step() {
    if (g.booster_active) {
        g.heat += BOOSTER_HEAT;
        if (!g.command.action[ACT_BOOSTER]) {
            g.booster_active = 0;
            g.boost_cooldown = BOOST_COOLDOWN;
        }
        if (g.heat >= HEAT_LIMIT) {
            g.booster_active = 0;
            g.boost_cooldown = BOOST_COOLDOWN;
        }
        return;
    }
    if (--g.boost_cooldown > 0)
        return;
    g.boost_cooldown = 0;
    if (g.command.action[ACT_BOOSTER]) {
        queue_flight_sound(SOUND_BOOSTER);
        g.booster_active = 1;
        g.shake_frames = BOOST_SHAKE;
    }
}

void weapons_step() {
    if (g.launch_timer != 0)
        return;
    if (!g.ent.active[0] || g.ent.gun[0] == -1)
        return;
    int16 &delay = g.ent.fire_delay[0];
    if (--delay < 0)
        delay = 0;
    if (g.command.action[ACT_BOMB]) {
        // One pod per press.
        if (!g.bomb_latch) {
            launch_pod();
            g.bomb_latch = 1;
        }
    } else {
        g.bomb_latch = 0;
    }
    if (g.command.action[ACT_FIRE] && g.ent.fire_delay[0] <= 0)
        fire_gun(0);
}

void cool_heat() {
    if (g.heat >= HEAT_COOLING)
        g.heat -= HEAT_COOLING;
}

void queue_flight_sound(int number) {
    // The pitch is drawn whether or not the sound can be queued or played,
    // so the random sequence never depends on the sound device.
    const int frequency = PITCH_BASE + std::rand() % PITCH_SPREAD;
    if (g.sound_queue_len < 0 || g.sound_queue_len >= SOUND_QUEUE_SIZE)
        return;
    g.sound_queue[g.sound_queue_len++] =
        QueuedSound{static_cast<int16>(number), static_cast<int16>(frequency)};
}

void recenter_world() {
    const fixed dx = recenter_shift(g.player_x);
    const fixed dy = recenter_shift(g.player_y);
    if (dx != 0 || dy != 0)
        shift_world(dx, dy);
    // Slot 0 included: it lags behind while no frame is drawn.
    for (int s = 0; s < SLOT_COUNT; ++s) {
        if (!g.ent.active[s])
            continue;
        pull_near(g.ent.x[s], g.player_x);
        pull_near(g.ent.y[s], g.player_y);
    }
}

} // namespace qv
