// The scripted pilot of the flight harness. It sees what a player sees: the
// last frame's snapshot (positions, headings and speeds of every object)
// and the ship's pose; it holds keys until the next frame.
#include "harness/pilot.h"

#include "assets/game_data.h"
#include "core/game_state.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>

namespace qv::test {

namespace {

constexpr double UNITS_PER_RADIAN = 128.0 / std::numbers::pi;
constexpr double HALF_CIRCLE = 128.0;

// Working distances in pixels.
constexpr double CLOSE_IN_BEYOND = 260.0;
constexpr double BACK_OFF_WITHIN = 140.0;
constexpr double BOOST_BEYOND = 480.0;
constexpr float BOOST_HEAT_MAX = 120.0f;
constexpr double ROCKET_RANGE = 320.0;
constexpr int ROCKET_WORTHY_HP = 150;

// Shot dodging: shots within this radius, followed this many ticks ahead,
// are trouble when they come within this box. Strafing costs the turn, so
// it must buy a little more safety than a plain move.
constexpr double LOOK_RADIUS = 260.0;
constexpr int LOOK_AHEAD = 70;
constexpr int SAFE_MARGIN = 3; // px beyond the hit box
constexpr double STRAFE_PENALTY = 0.001;

struct Vec {
    double x, y;
};

Vec pos(fixed x, fixed y) {
    return {fixtof(x), fixtof(y)};
}
Vec along(double angle_units, double length) {
    const double r = angle_units / UNITS_PER_RADIAN;
    return {std::cos(r) * length, std::sin(r) * length};
}
double dot(Vec a, Vec b) {
    return a.x * b.x + a.y * b.y;
}
double angle_of(Vec v) {
    return std::atan2(v.y, v.x) * UNITS_PER_RADIAN;
}
// The signed difference of two angles, -128..128.
double angle_diff(double to, double from) {
    double d = std::fmod(to - from, 2 * HALF_CIRCLE);
    if (d > HALF_CIRCLE)
        d -= 2 * HALF_CIRCLE;
    if (d < -HALF_CIRCLE)
        d += 2 * HALF_CIRCLE;
    return d;
}

// Velocity of a slot of the snapshot, pixels per tick.
Vec velocity(const EntityTable &e, int s) {
    return along(fixtof(e.heading[s]), fixtof(e.speed[s]));
}

// When a shot of this speed from the origin meets something at r moving
// at v (ticks); the shots are always faster than the ships.
double intercept_time(Vec r, Vec v, double speed) {
    const double a = dot(v, v) - speed * speed;
    const double b = 2 * dot(r, v);
    const double c = dot(r, r);
    const double disc = b * b - 4 * a * c;
    if (a >= 0 || disc < 0)
        return std::sqrt(c) / speed;
    return (-b - std::sqrt(disc)) / (2 * a);
}

// Narrows (lo, hi) to the times t when |r + w t| < box.
void inside_span(double r, double w, double box, double &lo, double &hi) {
    if (w == 0) {
        if (std::fabs(r) >= box)
            hi = lo; // never inside
        return;
    }
    double a = (-box - r) / w, b = (box - r) / w;
    if (a > b)
        std::swap(a, b);
    lo = std::max(lo, a);
    hi = std::min(hi, b);
}

// With lapses the pilot watches the enemy shots on this many frames of
// each cycle and looks away for the rest.
constexpr int LAPSE_CYCLE = 7;
constexpr int LAPSE_WATCHING = 5;

class Hunter {
  public:
    explicit Hunter(Dodging dodging) : dodging_(dodging) {}

    PilotInput decide() {
        const EntityTable &e = g.snap.ent;
        const Vec ship = pos(g.snap.player_x, g.snap.player_y);
        const double heading = fixtof(g.snap.player_heading);
        const int gun = e.gun[0] >= 0 && e.gun[0] < GUN_COUNT ? e.gun[0] : 0;
        const double shot_speed = gun_speed[gun];
        const double range = shot_speed * gun_life[gun] * 0.85;
        const double turn_step = ship_turn[g.ship_type];

        PilotInput in;
        const int target = pick_target(e, ship, heading);
        if (target < 0) {
            // Nothing to shoot: keep moving so aimed shots miss.
            in.up = true;
            in.right = true;
        } else {
            const Vec r = {fixtof(e.x[target]) - ship.x, fixtof(e.y[target]) - ship.y};
            const double dist = std::sqrt(dot(r, r));
            const Vec v = velocity(e, target);
            const double t = intercept_time(r, v, shot_speed);
            const Vec lead = {r.x + v.x * t, r.y + v.y * t};
            const double diff = angle_diff(angle_of(lead), heading);
            if (diff > turn_step)
                in.right = true;
            if (diff < -turn_step)
                in.left = true;
            const double tolerance = std::max(1.0, std::atan2(6.0, dist) * UNITS_PER_RADIAN + 1.0);
            in.fire = std::fabs(diff) <= tolerance && dist < range;
            in.up = dist > CLOSE_IN_BEYOND;
            in.down = dist < BACK_OFF_WITHIN;
            in.booster =
                dist > BOOST_BEYOND && g.snap.heat < BOOST_HEAT_MAX && std::fabs(diff) < 16;
            // A rocket for a tough target lined up at close range; the
            // trigger is released in between, one pod per press.
            const bool rocket = in.fire && dist < ROCKET_RANGE && e.hp[target] > ROCKET_WORTHY_HP &&
                                g.snap.bombs > 0 && !bomb_held_;
            in.bomb = rocket;
            bomb_held_ = rocket;
        }
        ++frame_;
        const bool watching = dodging_ == Dodging::Always ||
                              (dodging_ == Dodging::Lapses && frame_ % LAPSE_CYCLE < LAPSE_WATCHING);
        if (watching)
            evade(e, ship, heading, in);
        return in;
    }

  private:
    Dodging dodging_;
    long frame_ = 0;
    bool bomb_held_ = false;

    // The healthy enemy cheapest to reach: distance plus the turn to face it.
    static int pick_target(const EntityTable &e, Vec ship, double heading) {
        int best = -1;
        double best_cost = 0;
        for (int s = 1; s < SLOT_COUNT; ++s) {
            if (!e.active[s] || e.kind[s] != KIND_ENEMY || e.state[s] != ENEMY_NORMAL)
                continue;
            const Vec r = {fixtof(e.x[s]) - ship.x, fixtof(e.y[s]) - ship.y};
            const double cost =
                std::sqrt(dot(r, r)) + 3.0 * std::fabs(angle_diff(angle_of(r), heading));
            if (best < 0 || cost < best_cost) {
                best = s;
                best_cost = cost;
            }
        }
        return best;
    }

    // How much trouble a steady move (pixels per tick) runs into: every
    // enemy shot that would come within the hit box, the sooner the worse.
    static double danger(const EntityTable &e, Vec ship, Vec move) {
        const int level = g.difficulty >= 0 && g.difficulty < DIFFICULTY_COUNT ? g.difficulty : 1;
        const double box = hit_box_half[level] + SAFE_MARGIN;
        double sum = 0;
        for (int s = 1; s < SLOT_COUNT; ++s) {
            if (!e.active[s] || e.kind[s] != KIND_PROJECTILE || e.owner[s] != OWNER_ENEMY)
                continue;
            const Vec r = {fixtof(e.x[s]) - ship.x, fixtof(e.y[s]) - ship.y};
            if (dot(r, r) > LOOK_RADIUS * LOOK_RADIUS)
                continue;
            const Vec v = velocity(e, s);
            const Vec w = {v.x - move.x, v.y - move.y};
            const double last = std::min<double>(LOOK_AHEAD, e.life[s]);
            // The ticks when the shot is inside the box on each axis.
            double lo = 0, hi = last + 1;
            inside_span(r.x, w.x, box, lo, hi);
            inside_span(r.y, w.y, box, lo, hi);
            const double first = std::max(1.0, std::floor(lo) + 1);
            if (first < hi && first <= last)
                sum += 1.0 / first;
        }
        return sum;
    }

    // Keeps the attack's keys when they are safe; otherwise takes the
    // least dangerous of the moves the keys allow.
    static void evade(const EntityTable &e, Vec ship, double heading, PilotInput &in) {
        const double step = g.snap.booster_active ? ship_boost[g.ship_type] : 1.0;
        const Vec ahead = along(heading, step), right = along(heading + 64.0, step);
        const int fwd = in.up ? 1 : in.down ? -1 : 0;
        const Vec planned = {ahead.x * fwd, ahead.y * fwd};
        const double planned_danger = danger(e, ship, planned);
        if (planned_danger == 0)
            return;

        struct Move {
            int side, fwd; // strafe -1 left, +1 right; forward +1, back -1
        };
        static constexpr Move moves[] = {{0, 1}, {0, -1}, {0, 0},  {1, 0},  {-1, 0},
                                         {1, 1}, {-1, 1}, {1, -1}, {-1, -1}};
        Move best{0, fwd};
        double best_danger = planned_danger;
        for (const Move &m : moves) {
            const Vec mv = {ahead.x * m.fwd + right.x * m.side, ahead.y * m.fwd + right.y * m.side};
            const double d = danger(e, ship, mv) + (m.side != 0 ? STRAFE_PENALTY : 0.0);
            if (d < best_danger) {
                best_danger = d;
                best = m;
            }
        }
        in.up = best.fwd > 0;
        in.down = best.fwd < 0;
        if (best.side != 0) {
            in.strafe = true;
            in.left = best.side < 0;
            in.right = best.side > 0;
        }
    }
};

} // namespace

Pilot hunter_pilot(Dodging dodging) {
    auto hunter = std::make_shared<Hunter>(dodging);
    return [hunter] { return hunter->decide(); };
}

Pilot unarmed_pilot() {
    return [] {
        const EntityTable &e = g.snap.ent;
        const Vec ship = pos(g.snap.player_x, g.snap.player_y);
        const double heading = fixtof(g.snap.player_heading);
        PilotInput in;
        in.up = true;
        double nearest = -1;
        for (int s = 1; s < SLOT_COUNT; ++s) {
            if (!e.active[s] || e.kind[s] != KIND_ENEMY)
                continue;
            const Vec r = {fixtof(e.x[s]) - ship.x, fixtof(e.y[s]) - ship.y};
            const double d = dot(r, r);
            if (nearest >= 0 && d >= nearest)
                continue;
            nearest = d;
            const double diff = angle_diff(angle_of(r), heading);
            in.right = diff > 1.0;
            in.left = diff < -1.0;
        }
        return in;
    };
}

} // namespace qv::test
