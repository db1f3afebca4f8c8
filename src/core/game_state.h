// The one record of game state, the entity table and the slot operations.
//
// Everything the game plays from lives in `g` (a GameState). Outside it a
// module keeps, in its .cpp and never in a header, only what its own
// workings need: the flags the platform's driver callbacks and signal
// handlers set, the volume the timer thread plays at, the data folder, what
// the saves last read (to merge with another copy's), the sparks' random
// generator, and test hooks.
//
// Threads: the timer callbacks (logic_tick, enemy_ai_tick, menu_tick,
// joystick_tick) run on Allegro's timer thread with the real back end, and on
// the main thread, wherever it waits, with the virtual one; the loops run on
// the main thread.
// Every field a timer callback reads or writes is touched only while holding
// the sim lock (core/sim_lock.h), on both threads. The main thread holds it
// only for short copies and updates, never while calling into Allegro, so a
// timer is never held up for more than a few microseconds and can never
// deadlock against Allegro's own timer mutex. The renderer draws from `snap`,
// a copy taken under the lock once per frame.
#pragma once

#include "core/frame.h"
#include "core/input_state.h"

#include <allegro.h>

#include <cstdint>

namespace qv {

using int16 = std::int16_t;
using int32 = std::int32_t;
using byte = std::uint8_t;

inline constexpr int SLOT_COUNT = 500;
inline constexpr int PANEL_COUNT = 16;
inline constexpr int PANEL_ITEMS = 10;
inline constexpr int STAR_COUNT = 128;
inline constexpr int SAMPLE_COUNT = 64;
inline constexpr int ARCHIVE_BUFFER_SIZE = 1024000;
inline constexpr int RECORD_COUNT = 10;
inline constexpr int RECORD_NAME_SIZE = 16;
inline constexpr int NAME_BUFFER_SIZE = 12;
inline constexpr int NAME_MAX_CHARS = NAME_BUFFER_SIZE - 1; // what the name entry accepts
inline constexpr int DETAIL_COUNT = 8;
inline constexpr int STAGE_COUNT = 6;
inline constexpr int ACTION_COUNT = 4; // Fire/Accept, Strafe/Cancel, Launch Bomb, Booster
inline constexpr int WAVE_ENTRIES = 32; // enemies a wave may list, with its end mark
// The stage's ground picture (stage_map) is GROUND_PICTURE_SIZE a side and
// each of its texels covers 2 x 2 world pixels (a shift); the cloud map is
// CLOUD_SIZE a side, a texel a world pixel.
inline constexpr int GROUND_PICTURE_SIZE = 512;
inline constexpr int GROUND_TEXEL_SHIFT = 1;
inline constexpr int CLOUD_SIZE = 256;

// Object kinds stored in EntityTable::kind.
enum Kind : int16 {
    KIND_NONE = 0,
    KIND_SPARK = 2,
    KIND_PROJECTILE = 3,
    KIND_EXPLOSION = 4,
    KIND_SMOKE = 5,
    KIND_PLAYER = 20,
    KIND_ENEMY = 21,
};

// Enemy states.
enum EnemyState : int16 { ENEMY_NORMAL = 0, ENEMY_DYING = 1, ENEMY_EXPLODING = 4 };

// Projectile owners.
enum Owner : int16 { OWNER_PLAYER = 1, OWNER_ENEMY = 2 };

// Detail settings, indices into GameState::detail.
enum Detail {
    DETAIL_CLOUDS = 0,
    DETAIL_SHIP_SHADOWS = 1,
    DETAIL_VAPOR_TRAILS = 2,
    DETAIL_EXPLOSIONS = 3,
    DETAIL_ACTIVE_RADAR = 4,
    DETAIL_ROUGH_HITS = 5,
};

struct Spark {
    int16 frame; // spark picture 0..3, -1 = none
    int16 x, y;  // inside the object's sprite
};

// 500 world objects as parallel arrays. Slot 0 is the player's ship.
struct EntityTable {
    byte active[SLOT_COUNT];
    int16 kind[SLOT_COUNT];
    fixed x[SLOT_COUNT], y[SLOT_COUNT];
    fixed heading[SLOT_COUNT];
    fixed speed[SLOT_COUNT];
    int16 life[SLOT_COUNT]; // ticks left; -1 = unlimited
    int16 hp[SLOT_COUNT];
    int16 gun[SLOT_COUNT];
    int16 owner[SLOT_COUNT];
    int16 state[SLOT_COUNT];
    int16 dying_timer[SLOT_COUNT];
    int16 glow_level[SLOT_COUNT];
    int16 shade_level[SLOT_COUNT];
    int16 fire_delay[SLOT_COUNT];
    int16 fire_timer[SLOT_COUNT];
    int16 ai_mode[SLOT_COUNT];
    int16 orbit_timer[SLOT_COUNT];
    int16 orbit_side[SLOT_COUNT];
    int16 enemy_type[SLOT_COUNT];
    int16 trail[SLOT_COUNT];
    int16 trail_timer[SLOT_COUNT];
    int16 cell_col[SLOT_COUNT], cell_row[SLOT_COUNT];
    int16 shadow_col[SLOT_COUNT], shadow_row[SLOT_COUNT];
    int16 sprite_w[SLOT_COUNT], sprite_h[SLOT_COUNT];
    Spark sparks[SLOT_COUNT][4];
    int16 spark_timer[SLOT_COUNT];
};

// 16 menu windows and in-flight banners as parallel arrays.
struct MenuPanels {
    int16 kind[PANEL_COUNT];
    int16 x[PANEL_COUNT], y[PANEL_COUNT];
    int16 width[PANEL_COUNT], height[PANEL_COUNT];
    int16 texture_row[PANEL_COUNT];
    int16 frame_style[PANEL_COUNT];
    int16 motion_speed[PANEL_COUNT];
    int16 motion_direction[PANEL_COUNT]; // 0 up, clockwise in 45 degree steps
    int16 motion_steps[PANEL_COUNT];
    int16 active[PANEL_COUNT];
    int16 cursor[PANEL_COUNT]; // -1 = no cursor
    int16 highlight_phase[PANEL_COUNT];
    int16 highlight_timer[PANEL_COUNT];
    int16 highlight_width[PANEL_COUNT];
    int16 item_count[PANEL_COUNT];
    int16 caption[PANEL_COUNT];
    int16 items[PANEL_COUNT][PANEL_ITEMS];
    int16 tab_text[PANEL_COUNT];
    int16 scan_enabled[PANEL_COUNT];
    int16 scan_row[PANEL_COUNT];
    int16 scan_timer[PANEL_COUNT];
};

enum PanelKind : int16 {
    PANEL_CAPTION = 0,
    PANEL_LIST = 1,
    PANEL_TOGGLES = 2,
    PANEL_DESCRIPTION = 4,
    PANEL_CONTROLS = 5,
    PANEL_SHIP_DATA = 6,
    PANEL_GUN_DATA = 7,
    PANEL_STAGE_INTRO = 8,
    PANEL_STAGE_COMPLETE = 9,
    PANEL_BONUS = 10,
    PANEL_NAME_ENTRY = 11,
};

struct Star {
    int16 x, y;
    int16 speed_class; // 0 moves 1 px per tick, 1 moves 2 px
};

// The six perspective constants of the flight view, set once at start-up.
struct ViewParams {
    fixed camera_height;
    int horizon_offset;
    fixed scale_x, scale_y;
    fixed sprite_scale_x, sprite_scale_y;
};

struct DrawEntry {
    int32 key;
    int32 slot;
};

// An in-flight sound waiting to be played once the tick has let go of the
// sim lock (Allegro is never called while holding it).
struct QueuedSound {
    int16 number;
    int16 frequency; // per mille of natural pitch
};
inline constexpr int SOUND_QUEUE_SIZE = 32;

// What the renderer draws from: a copy of everything the timers change,
// taken under the sim lock at the start of every frame.
struct FrameSnapshot {
    EntityTable ent;
    MenuPanels panels;
    float heat;
    int32 score;
    int16 bombs, radar_frame, flame_frame, player_screen_dy, ship_type;
    byte booster_active;
    fixed player_x, player_y, player_heading;
    byte blink_on;
};

// What the player asks for in one tick, from the keyboard and (switched on)
// the gamepad together: the logic tick builds it once (input/input.h) for
// the ship, booster and weapons steps, and a menu pass reads one too.
struct PlayerCommand {
    bool left, right, up, down;
    bool action[ACTION_COUNT]; // by Action (input/input.h)
    bool start;                // the gamepad's Start: pause and accept, never flight
};

struct GameState {
    // ---- the world (timer-shared: sim lock) ----
    EntityTable ent;

    fixed player_x, player_y, player_heading;
    fixed cloud_x, cloud_y, cloud_heading;
    byte game_running;
    byte game_over, stage_complete, quit_to_menu, exit_game, single_stage, run_finished;
    int16 current_stage;
    int16 ship_type, gun_type, pod_type;
    int32 score;
    int16 stage_kills, wave_index;
    int16 stage_end_timer;
    int16 launch_timer;
    int16 player_screen_dy;
    int16 bombs, bomb_regen_timer;
    byte bomb_latch;
    byte booster_active;
    int16 boost_cooldown;
    float heat;
    float turn_rate;
    int16 flame_frame;
    int16 radar_frame, radar_timer;
    int16 drift_dir, drift_timer;
    int16 shake_frames;

    // Enemies of a released wave that found the table full: they join as
    // soon as slots free up, so the kill count can still reach the next
    // wave's trigger.
    int16 owed_enemy[WAVE_ENTRIES];
    int16 owed_count;

    QueuedSound sound_queue[SOUND_QUEUE_SIZE];
    int sound_queue_len;

    // The gamepad as last polled (timer-shared: sim lock).
    PadState pad;
    // The tick's command, built by logic_tick while the game runs.
    PlayerCommand command;

    // ---- settings (written by the main thread under the sim lock; no other
    // thread writes them, so the main thread reads them without it) ----
    int16 difficulty;
    int16 spare_setting;
    int16 sound_volume;
    int16 sfx_volume;
    byte joystick_enabled;
    byte stage_unlocked[STAGE_COUNT];
    int16 key_binding[ACTION_COUNT];    // stored key codes (see input/input.h)
    int16 button_binding[ACTION_COUNT]; // 1..4 = gamepad button 0..3
    byte vsync_enabled;
    byte detail[DETAIL_COUNT];

    // ---- front end (timer-shared: sim lock) ----
    MenuPanels panels;
    Star stars[STAR_COUNT];
    int16 records_scroll;
    byte records_hidden;
    int16 logo_height, logo_phase, logo_hold, logo_holding;
    int16 repeat_countdown;
    byte repeat_due;
    byte blink_on;
    int16 blink_timer;
    char name_buffer[NAME_BUFFER_SIZE]; // main thread only
    int16 stage_bonus;
    // The window's focus losses the game has answered so far (main thread).
    std::uint32_t focus_losses_seen;

    // ---- records ----
    int32 record_score[RECORD_COUNT];
    char record_name[64][RECORD_NAME_SIZE];

    // ---- texts ----
    char title_text[64][16];
    char item_text[64][16];
    char long_text[256][80];

    // ---- renderer (main thread only) ----
    FrameSnapshot snap;
    ViewParams view;
    fixed row_distance[FRAME_H], row_step[FRAME_H];
    fixed view_x, view_y, view_heading;
    fixed view_cloud_x, view_cloud_y, view_cloud_heading;
    int32 proj_x[SLOT_COUNT], proj_base[SLOT_COUNT];
    int32 proj_width[SLOT_COUNT], proj_height[SLOT_COUNT];
    // The frame's objects: draw_count filled entries first, the rest (-1, -1).
    DrawEntry draw_list[SLOT_COUNT - 1];
    int32 draw_count;
    int16 font_variant;

    // ---- assets (main thread only, loaded at start-up or stage start) ----
    byte cipher_table[16][256];
    byte decipher_table[16][256];
    BITMAP *tex40_sheet, *tex32_sheet, *enemy_sheet, *shadow_sheet, *suits_sheet;
    BITMAP *stages_sheet, *font_sheet, *ships_sheet, *gunfire_sheet, *hud_sheet;
    BITMAP *logos_sheet, *title_sheet;
    BITMAP *suit_shadow, *back_buffer, *cloud_map;
    // The stage's ground picture, drawn at twice its size (GROUND_TEXEL_SHIFT).
    BITMAP *stage_map;
    PALETTE game_palette, hud_palette, title_palette;
    COLOR_MAP shade_map, glow_map, title_shade_map, title_glow_map;
    SAMPLE *samples[SAMPLE_COUNT];
};

extern GameState g;

// Returns the highest free slot of 1..499, or -1 when the table is full.
int16 find_free_slot();

// Frees a slot: active 0, life -1, every other field 0; the sparks stay.
void clear_slot(int slot);

// Start-up values of the simulation fields and the entity table (slot 0
// zeroed, as in a fresh process; the stage start sets it up).
void reset_world_defaults();

// Wraps a fixed angle to one turn, 0 <= a < 256.0.
inline fixed wrap_angle(fixed a) { return a & 0xFFFFFF; }

// a - b with two's complement wrap: positions are kept near the start by the
// simulation, but a difference must never be undefined behaviour.
inline fixed wrapped_sub(fixed a, fixed b) {
    return static_cast<fixed>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

} // namespace qv
