// A fixture for the simulation tests: fresh state, no keys held, the
// player's ship in slot 0 at the stage start point, facing along +x, out of
// the launch glide.
#pragma once

#include "assets/game_data.h"
#include "core/game_state.h"
#include "input/input.h"
#include "sim/sim.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace qv::test {

inline constexpr fixed START = 16000 << 16;

class SimTest : public ::testing::Test {
  protected:
    void SetUp() override {
        reset_state();
        release_all_keys();
        g.current_stage = 0;
        g.player_x = g.player_y = g.cloud_x = g.cloud_y = START;
        g.player_heading = g.cloud_heading = 0;
        g.launch_timer = 0;
        g.game_running = 1;
        EntityTable &e = g.ent;
        e.kind[0] = KIND_PLAYER;
        e.active[0] = 1;
        e.hp[0] = ship_armor[0];
        e.gun[0] = 0;
        e.x[0] = e.y[0] = START;
        e.heading[0] = 0;
        g.command = player_command();
    }

    // Holds or lets go of a key, and builds the tick's command from the keys
    // as logic_tick does before the ship's steps.
    static void hold_key(int library_index, bool on = true) {
        hold_library_key(library_index, on);
        g.command = player_command();
    }
    static void hold(int action, bool on = true) {
        hold_key(library_key_index(g.key_binding[action]), on);
    }

    // Marks every slot of 1..499 in use except the last `free` ones.
    static void fill_table(int free = 0) {
        for (int s = 1; s < SLOT_COUNT; ++s)
            g.ent.active[s] = s > free ? 1 : 0;
    }
    static int count(int kind) {
        int n = 0;
        for (int s = 1; s < SLOT_COUNT; ++s)
            n += g.ent.active[s] && g.ent.kind[s] == kind;
        return n;
    }
    static int queued(int sound) {
        int n = 0;
        for (int i = 0; i < g.sound_queue_len; ++i)
            n += g.sound_queue[i].number == sound;
        return n;
    }

    // An enemy of the type at a whole-pixel position, healthy.
    static int place_enemy(int slot, int type, int x, int y) {
        EntityTable &e = g.ent;
        e.active[slot] = 1;
        e.kind[slot] = KIND_ENEMY;
        e.enemy_type[slot] = static_cast<int16>(type);
        e.hp[slot] = enemy_hp[type];
        e.gun[slot] = enemy_gun[type];
        e.state[slot] = ENEMY_NORMAL;
        e.speed[slot] = 0;
        e.x[slot] = itofix(x);
        e.y[slot] = itofix(y);
        e.ai_mode[slot] = 1;
        e.orbit_side[slot] = 1;
        e.orbit_timer[slot] = 100;
        e.fire_timer[slot] = 100;
        e.life[slot] = -1;
        return slot;
    }

    // A still projectile of the gun and owner at a whole-pixel position.
    static int place_shot(int slot, int gun, int owner, int x, int y) {
        EntityTable &e = g.ent;
        e.active[slot] = 1;
        e.kind[slot] = KIND_PROJECTILE;
        e.gun[slot] = static_cast<int16>(gun);
        e.owner[slot] = static_cast<int16>(owner);
        e.speed[slot] = 0;
        e.state[slot] = 0;
        e.trail[slot] = 0;
        e.x[slot] = itofix(x);
        e.y[slot] = itofix(y);
        e.life[slot] = 100;
        return slot;
    }

    // The whole entity table, to prove an operation wrote nothing.
    using TableBytes = std::vector<unsigned char>;
    static TableBytes copy_table() {
        TableBytes bytes(sizeof g.ent);
        std::memcpy(bytes.data(), &g.ent, sizeof g.ent);
        return bytes;
    }
    static bool table_unchanged(const TableBytes &before) {
        return std::memcmp(before.data(), &g.ent, sizeof g.ent) == 0;
    }
};

} // namespace qv::test
