// Hits, damage, sparks, dying enemies and their explosions, and the score
// they bring.
#include "assets/game_data.h"
#include "assets/sound.h"
#include "sim/sim.h"
#include "sim/sim_internal.h"

#include <cstdlib>

namespace qv {

using namespace sim;

namespace {

// Hit points never wrap past the bottom of their 16 bits, however many
// hits a dying enemy soaks up.
constexpr int HP_FLOOR = -30000;

// Objects of these kinds and above are ships: the only collision targets.
constexpr int FIRST_SHIP_KIND = 6;

int16 take_damage(int16 hp, int damage) {
    const int left = hp - damage;
    return static_cast<int16>(left < HP_FLOOR ? HP_FLOOR : left);
}

int difficulty_index() {
    return g.difficulty >= 0 && g.difficulty < DIFFICULTY_COUNT ? g.difficulty : 1;
}

bool is_ship(int s) {
    return g.ent.active[s] && g.ent.kind[s] >= FIRST_SHIP_KIND;
}

// A projectile tests every ship it overlaps; the scan goes on after a hit,
// so one shot can reach several ships in the same tick.
void collide(int i, const ShipList &ships) {
    EntityTable &e = g.ent;
    const int h = hit_box_half[difficulty_index()];
    const int xi = fixtoi(e.x[i]), yi = fixtoi(e.y[i]);
    for (int n = 0; n < ships.count; ++n) {
        const int j = ships.slot[n];
        if (j == i || !is_ship(j))
            continue; // a ship burst earlier in this step
        const int dx = xi - fixtoi(e.x[j]), dy = yi - fixtoi(e.y[j]);
        if (dx < h && dx > -h && dy < h && dy > -h)
            hit(i, j);
    }
}

void burst(int i) {
    EntityTable &e = g.ent;
    e.glow_level[i] = GLOW_START;
    if (enemy_type_valid(e.enemy_type[i]))
        g.score += enemy_score[e.enemy_type[i]];
    ++g.stage_kills;
    queue_flight_sound(std::rand() % 100 > 49 ? SOUND_BURST_A : SOUND_BURST_B);
    if (g.detail[DETAIL_EXPLOSIONS]) {
        e.state[i] = ENEMY_EXPLODING;
        e.kind[i] = KIND_EXPLOSION;
    } else {
        e.active[i] = 0;
        e.kind[i] = KIND_NONE;
    }
}

void hit_player(int s) {
    EntityTable &e = g.ent;
    if (e.owner[s] == OWNER_PLAYER)
        return; // our own shots fly through
    if (g.detail[DETAIL_ROUGH_HITS])
        g.shake_frames = HIT_SHAKE;
    const int damage = static_cast<int>(shot_damage(e.gun[s]) * damage_factor[difficulty_index()]);
    e.hp[0] = take_damage(e.hp[0], damage);
    spawn_spark(0);
    queue_flight_sound(SOUND_HIT);
    e.active[s] = 0;
    e.kind[s] = KIND_NONE;
}

void hit_enemy(int s, int t) {
    EntityTable &e = g.ent;
    if (e.owner[s] == OWNER_ENEMY) {
        e.active[s] = 0; // enemies cannot hurt each other; the shot just ends
        return;
    }
    queue_flight_sound(SOUND_HIT);
    e.hp[t] = take_damage(e.hp[t], shot_damage(e.gun[s]));
    if (e.hp[t] <= 0 && e.state[t] == ENEMY_NORMAL) {
        // The fatal hit shows no spark: the enemy starts dying instead.
        e.state[t] = ENEMY_DYING;
        e.dying_timer[t] = static_cast<int16>(std::rand() % DYING_SPREAD + DYING_MIN);
        e.glow_level[t] = 0;
    } else {
        spawn_spark(t);
    }
    e.active[s] = 0;
    e.kind[s] = KIND_NONE;
}

} // namespace

void hit(int shot, int target) {
    if (target == 0)
        hit_player(shot);
    else
        hit_enemy(shot, target);
}

void spawn_spark(int i) {
    const int c = std::rand() % 12 / 3; // picture 0..3, drawn before the slot search
    const int p = find_free_slot();
    if (p < 0)
        return;
    EntityTable &e = g.ent;
    e.kind[p] = KIND_SPARK;
    e.speed[p] = 0;
    e.shade_level[p] = e.state[p] = e.dying_timer[p] = e.gun[p] = e.trail[p] = 0;
    e.cell_col[p] = static_cast<int16>(c);
    e.cell_row[p] = SPARK_CELL_ROW;
    e.shadow_col[p] = e.shadow_row[p] = -1;
    e.sprite_w[p] = e.sprite_h[p] = SPRITE_CELL;
    e.x[p] = e.x[i] + px(std::rand() % SPARK_SCATTER - SPARK_SCATTER / 2);
    e.y[p] = e.y[i] + px(std::rand() % SPARK_SCATTER - SPARK_SCATTER / 2);
    e.life[p] = SPARK_LIFE;
    e.active[p] = 1;
}

namespace sim {

int shot_damage(int gun) {
    return gun >= 0 && gun < GUN_COUNT ? gun_damage[gun] : 0;
}

void list_ships(ShipList &ships) {
    ships.count = 0;
    for (int s = 0; s < SLOT_COUNT; ++s)
        if (is_ship(s))
            ships.slot[ships.count++] = static_cast<int16>(s);
}

void entity_hit_parts(int i, const ShipList &ships) {
    EntityTable &e = g.ent;
    if (e.kind[i] == KIND_PROJECTILE)
        collide(i, ships);
    if (!e.active[i])
        return;
    if (e.state[i] == ENEMY_DYING && --e.dying_timer[i] <= 0)
        burst(i);
    if (!e.active[i] || e.state[i] != ENEMY_EXPLODING)
        return;
    // The glow grows in the tick of the burst already.
    if (e.glow_level[i] <= GLOW_LAST) {
        e.glow_level[i] = static_cast<int16>(e.glow_level[i] + GLOW_STEP);
    } else {
        e.kind[i] = KIND_NONE;
        e.active[i] = 0;
    }
}

} // namespace sim

} // namespace qv
