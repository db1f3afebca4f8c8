// Enemy waves and enemy behaviour: the stage script, the spawn ring, the
// two-mode steering and the enemies' fire.
#include "assets/game_data.h"
#include "sim/sim.h"
#include "sim/sim_internal.h"

#include <cmath>
#include <cstdlib>

namespace qv {

using namespace sim;

namespace {

// Spawn ring around the ship: 350..624 px.
constexpr int RING_MIN = 350, RING_SPREAD = 275;
// Circling enemies switch to approach beyond this, approaching ones start
// circling at or within the other: a hysteresis keeps them from flickering.
constexpr int LEAVE_CIRCLE_AT = 600;
constexpr int START_CIRCLE_AT = 399;
constexpr int ORBIT_FIRST_MIN = 35, ORBIT_FIRST_SPREAD = 175;
constexpr int ORBIT_NEXT_MIN = 35, ORBIT_NEXT_SPREAD = 300;
constexpr int FIRE_MIN = 17, FIRE_SPREAD = 70;

constexpr int AI_CIRCLE = 1;
constexpr int AI_APPROACH = 2;

constexpr double DEGREES_PER_RADIAN = 57.29577950560105;
constexpr double UNITS_PER_DEGREE = 0.7111111;

// Truncating conversions, as the steering has always rounded.
int whole(double v) {
    return static_cast<int>(v);
}
int degrees(double ratio) {
    return whole(std::atan(ratio) * DEGREES_PER_RADIAN);
}

void steer(int i, int a, int r) {
    EntityTable &e = g.ent;
    if (e.ai_mode[i] == AI_CIRCLE) {
        if (r > LEAVE_CIRCLE_AT) {
            e.ai_mode[i] = AI_APPROACH;
            return;
        }
        e.heading[i] = whole_angle(a + (e.orbit_side[i] ? QUARTER_TURN : THREE_QUARTER_TURN));
        if (--e.orbit_timer[i] < 0) {
            e.orbit_side[i] = e.orbit_side[i] ? 0 : 1;
            e.orbit_timer[i] = static_cast<int16>(std::rand() % ORBIT_NEXT_SPREAD + ORBIT_NEXT_MIN);
        }
    } else if (e.ai_mode[i] == AI_APPROACH) {
        if (r <= START_CIRCLE_AT)
            e.ai_mode[i] = AI_CIRCLE;
        else
            e.heading[i] = whole_angle(a);
    }
}

// Faces the ship for one instant and fires.
void fire_at_player(int i, int a) {
    EntityTable &e = g.ent;
    if (--e.fire_timer[i] >= 0)
        return;
    e.fire_timer[i] = static_cast<int16>(std::rand() % FIRE_SPREAD + FIRE_MIN);
    const fixed heading = e.heading[i];
    e.heading[i] = whole_angle(a);
    fire_gun(i);
    e.heading[i] = heading;
}

} // namespace

int16 spawn_enemy(int type) {
    if (!enemy_type_valid(type))
        return -1; // not in the table: nothing to spawn
    const int16 s = find_free_slot();
    if (s < 0)
        return -1;
    const int d = std::rand() % RING_SPREAD + RING_MIN;
    const int a = std::rand() % FULL_TURN;

    EntityTable &e = g.ent;
    e.kind[s] = KIND_ENEMY;
    e.enemy_type[s] = static_cast<int16>(type);
    e.hp[s] = enemy_hp[type];
    e.speed[s] = px(enemy_speed[type]);
    e.shade_level[s] = e.state[s] = e.dying_timer[s] = e.glow_level[s] = 0;
    e.gun[s] = enemy_gun[type];
    e.sprite_w[s] = e.sprite_h[s] = enemy_size[type];
    e.cell_col[s] = enemy_cell[type][0];
    e.cell_row[s] = enemy_cell[type][1];
    e.shadow_col[s] = enemy_shadow_cell[type][0];
    e.shadow_row[s] = enemy_shadow_cell[type][1];
    e.heading[s] = g.player_heading;
    e.ai_mode[s] = enemy_ai_mode[type];
    e.orbit_timer[s] = static_cast<int16>(std::rand() % ORBIT_FIRST_SPREAD + ORBIT_FIRST_MIN);
    e.orbit_side[s] = 1;
    e.x[s] = g.player_x + d * fixcos(itofix(a));
    e.y[s] = g.player_y + d * fixsin(itofix(a));
    // fire_timer keeps what the slot held: 0 after a clear, so a fresh
    // enemy fires at its first step.
    e.life[s] = -1;
    e.trail[s] = e.trail_timer[s] = 0;
    e.active[s] = 1;
    return s;
}

// Runs on the main thread, under the sim lock like everything here: the
// tick's shots and these spawns never take the same slot.
int spawn_wave() {
    if (g.stage_end_timer != -1)
        return 1; // the stage is ending: no more enemies
    const int stage = g.current_stage;
    if (stage < 0 || stage >= STAGES || g.wave_index < 0 || g.wave_index >= WAVES_PER_STAGE)
        return 0;
    const int16 *wave = wave_script[stage][g.wave_index];
    for (int i = 0; i < WAVE_ENTRIES; ++i) {
        if (wave[i] == SCRIPT_END)
            return 0;
        // An enemy that finds the table full is owed, not dropped: the next
        // wave comes only when the kill count reaches its trigger, which
        // counts this enemy too.
        if (spawn_enemy(wave[i]) < 0 && enemy_type_valid(wave[i]) && g.owed_count < WAVE_ENTRIES)
            g.owed_enemy[g.owed_count++] = wave[i];
        if (i + 1 == WAVE_ENTRIES || wave[i + 1] == WAVE_END)
            break;
    }
    ++g.wave_index;
    return 1;
}

void spawn_owed_enemies() {
    int kept = 0;
    for (int i = 0; i < g.owed_count; ++i)
        if (spawn_enemy(g.owed_enemy[i]) < 0)
            g.owed_enemy[kept++] = g.owed_enemy[i];
    g.owed_count = static_cast<int16>(kept);
}

void enemy_ai_step() {
    if (g.player_screen_dy != 0)
        --g.player_screen_dy;
    if (!g.game_running)
        return;
    EntityTable &e = g.ent;
    const int px0 = fixtoi(e.x[0]), py0 = fixtoi(e.y[0]);
    for (int i = 1; i < SLOT_COUNT; ++i) {
        if (!e.active[i] || e.kind[i] != KIND_ENEMY)
            continue;
        const int ex = fixtoi(e.x[i]), ey = fixtoi(e.y[i]);
        const int a = bearing(px0, py0, ex, ey); // from the enemy toward the ship
        const int r = distance(px0, py0, ex, ey);
        if (e.state[i] == ENEMY_NORMAL)
            steer(i, a, r);
        fire_at_player(i, a);
    }
}

int bearing(int x1, int y1, int x2, int y2) {
    const int dx = x2 - x1, dy = y2 - y1;
    // Straight above or below: these two keep their own values.
    if (dx == 0)
        return dy > 0 ? HALF_TURN : 0;
    const double fdx = dx, fdy = dy;
    int degs;
    if (dx > 0 && dy >= 0)
        degs = degrees(fdy / fdx);
    else if (dx < 0 && dy > 0)
        degs = 180 - degrees(fdy / -fdx);
    else if (dx > 0)
        degs = 360 - degrees(-fdy / fdx);
    else
        degs = degrees(fdy / fdx) + 180;
    const int u = whole(degs * UNITS_PER_DEGREE);
    return (u + HALF_TURN) % FULL_TURN;
}

int distance(int x1, int y1, int x2, int y2) {
    // Floating point throughout: differences across the whole coordinate
    // range would overflow when squared as integers.
    const double dx = static_cast<double>(x1) - x2, dy = static_cast<double>(y1) - y2;
    return whole(std::sqrt(dx * dx + dy * dy));
}

} // namespace qv
