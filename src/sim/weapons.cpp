// Guns, pods, projectiles, and the motion part of the entity step:
// lifetimes, straight-line motion and smoke trails.
#include "assets/game_data.h"
#include "assets/sound.h"
#include "sim/sim.h"
#include "sim/sim_internal.h"

#include <cstdlib>

namespace qv {

using namespace sim;

namespace {

bool gun_valid(int gun) {
    return gun >= 0 && gun < GUN_COUNT;
}

// The fields every projectile shares, whoever fired it.
void fill_projectile(int p, int shooter, int gun) {
    EntityTable &e = g.ent;
    e.owner[p] = shooter == 0 ? OWNER_PLAYER : OWNER_ENEMY;
    e.kind[p] = KIND_PROJECTILE;
    e.speed[p] = px(gun_speed[gun]);
    e.shade_level[p] = e.state[p] = e.dying_timer[p] = 0;
    e.gun[p] = static_cast<int16>(gun);
    e.cell_col[p] = static_cast<int16>(gun_sprite[gun] % 9);
    e.cell_row[p] = static_cast<int16>(gun_sprite[gun] / 9);
    e.shadow_col[p] = e.shadow_row[p] = -1;
    e.sprite_w[p] = e.sprite_h[p] = SPRITE_CELL;
}

// Places a shot: the player's at the ship (as of the last frame), an
// enemy's a little ahead of it along the shot.
void place_shot(int p, int shooter) {
    EntityTable &e = g.ent;
    if (shooter == 0) {
        e.x[p] = e.x[0];
        e.y[p] = e.y[0];
    } else {
        e.x[p] = e.x[shooter] + MUZZLE_DISTANCE * fixcos(e.heading[p]);
        e.y[p] = e.y[shooter] + MUZZLE_DISTANCE * fixsin(e.heading[p]);
    }
}

void launch_rocket() {
    const int p = find_free_slot();
    if (p < 0)
        return; // full table: the pod is spent for nothing
    EntityTable &e = g.ent;
    fill_projectile(p, 0, GUN_ROCKET);
    if (g.detail[DETAIL_VAPOR_TRAILS]) {
        e.trail[p] = 1;
        e.trail_timer[p] = TRAIL_INTERVAL;
    } else {
        e.trail[p] = 0;
    }
    // A rocket flies further than the pods' table row says.
    e.life[p] = ROCKET_LIFE;
    e.heading[p] = e.heading[0];
    e.x[p] = e.x[0] + MUZZLE_DISTANCE * fixcos(e.heading[p]);
    e.y[p] = e.y[0] + MUZZLE_DISTANCE * fixsin(e.heading[p]);
    e.active[p] = 1;
    queue_flight_sound(SOUND_ROCKET);
}

void fire_ring() {
    EntityTable &e = g.ent;
    const fixed heading = e.heading[0];
    const int16 gun = e.gun[0];
    e.gun[0] = GUN_RING;
    for (int k = 0; k < RING_SHOTS; ++k) {
        e.heading[0] = itofix(RING_STEP * k);
        fire_gun(0);
    }
    e.heading[0] = heading;
    e.gun[0] = gun;
    queue_flight_sound(SOUND_RING);
}

void make_smoke_puff(int from) {
    const int q = find_free_slot();
    if (q < 0)
        return;
    EntityTable &e = g.ent;
    e.kind[q] = KIND_SMOKE;
    e.speed[q] = 0;
    e.state[q] = e.dying_timer[q] = e.gun[q] = 0;
    e.shade_level[q] = SMOKE_START_SHADE;
    e.cell_col[q] = SMOKE_CELL_COL;
    e.cell_row[q] = SMOKE_CELL_ROW;
    e.shadow_col[q] = e.shadow_row[q] = -1;
    e.sprite_w[q] = e.sprite_h[q] = SPRITE_CELL;
    e.trail[q] = e.trail_timer[q] = 0;
    e.life[q] = SMOKE_LIFE;
    e.x[q] = e.x[from];
    e.y[q] = e.y[from];
    e.active[q] = 1;
}

} // namespace

void fire_gun(int shooter) {
    EntityTable &e = g.ent;
    const int gun = e.gun[shooter];
    if (!gun_valid(gun))
        return;
    // The jitter comes first and is shared by every projectile of the call.
    const int jitter = std::rand() % (2 * gun_spread[gun] + 1);
    if (shooter == 0) {
        if (static_cast<int>(g.heat) + gun_heat[gun] > HEAT_LIMIT)
            return;
    } else if (e.state[shooter] != ENEMY_NORMAL) {
        return; // dying and exploding enemies hold their fire
    }

    const int shots = gun_shots[gun];
    for (int k = 0; k < shots; ++k) {
        const int p = find_free_slot();
        if (p < 0)
            return; // full table: no sound, no cost
        fill_projectile(p, shooter, gun);
        e.trail[p] = gun_trail[gun];
        e.trail_timer[p] = TRAIL_INTERVAL;
        e.life[p] = gun_life[gun];
        if (shots == 1) {
            e.heading[p] = wrap_angle(e.heading[shooter] + px(jitter - gun_spread[gun]));
        } else if (shots == 3) {
            // A narrow fan that keeps the shooter's fractional heading.
            e.heading[p] = wrap_angle(e.heading[shooter] + px(fan3[k]));
        } else if (shots == 5) {
            // The wide fan snaps to whole angles.
            e.heading[p] = whole_angle(fixtoi(e.heading[shooter] + px(fan5[k])));
        }
        place_shot(p, shooter);
        e.active[p] = 1;
        e.fire_delay[shooter] = gun_rate[gun];
    }
    if (gun_sound[gun] != 0)
        queue_flight_sound(gun_sound[gun]);
    if (shooter == 0) {
        charge_score(GUN_SHOT_COST);
        g.heat += gun_heat[gun];
    }
}

void launch_pod() {
    if (g.bombs <= 0)
        return;
    switch (g.pod_type) {
    case 0: {
        const int16 gun = g.ent.gun[0];
        g.ent.gun[0] = GUN_FAN;
        fire_gun(0);
        g.ent.gun[0] = gun;
        break;
    }
    case 1:
        launch_rocket();
        break;
    case 2:
        fire_ring();
        break;
    default:
        break;
    }
    charge_score(POD_COST);
    --g.bombs;
}

void entity_step() {
    EntityTable &e = g.ent;
    ShipList ships;
    list_ships(ships);
    for (int i = 1; i < SLOT_COUNT; ++i) {
        // Lifetimes run down on free slots too.
        if (e.life[i] != -1 && --e.life[i] <= 0)
            clear_slot(i);
        if (!e.active[i])
            continue;

        e.x[i] += fixmul(e.speed[i], fixcos(e.heading[i]));
        e.y[i] += fixmul(e.speed[i], fixsin(e.heading[i]));

        if (e.shade_level[i] > 0 && e.shade_level[i] != SMOKE_DARKEST)
            ++e.shade_level[i];

        if (e.trail[i] != 0 && --e.trail_timer[i] <= 0) {
            e.trail_timer[i] = TRAIL_INTERVAL;
            make_smoke_puff(i);
        }
        entity_hit_parts(i, ships);
    }
}

namespace sim {

void charge_score(int points) {
    g.score = g.score > points ? g.score - points : 0;
}

} // namespace sim

} // namespace qv
