// Start-up, the title loop and the way out: "QUIT!", "Exit Game", the
// window's close button, logging out and a lost display all save the
// player's files.
#include "loop/game_loop.h"

#include "assets/archive.h"
#include "assets/graphics.h"
#include "assets/sound.h"
#include "assets/texts.h"
#include "core/game_state.h"
#include "core/sim_lock.h"
#include "frontend/front_end_screen.h"
#include "frontend/menu_engine.h"
#include "frontend/screens.h"
#include "input/input.h"
#include "loop/stage_cycle.h"
#include "persist/atomic_file.h"
#include "persist/records.h"
#include "persist/settings.h"
#include "platform/platform.h"
#include "render/objects.h"
#include "render/view.h"

#include <cstdio>
#include <cstdlib>

namespace qv {

namespace {

constexpr unsigned SPARK_SEED = 0;

void free_everything() {
    free_sound_effects();
    free_graphics();
    platform::shutdown();
}

void save_player_files() {
    save_settings();
    save_records();
}

// However the player leaves, what changed since the last stage start (a
// hot key in flight, a record) is written.
void quit_saving() {
    platform::fade_out(FADE_SPEED);
    locked([] { clear_panel(1); });
    save_player_files();
    free_everything();
}

void load_everything() {
    load_code_table();
    load_graphics();
    load_sound_effects();
    load_colour_tables();
    locked([] { set_start_up_defaults(); });
    load_start_settings(saves(), platform::backend());
    announce_bound_keys();
    set_sound_volume(g.sfx_volume);
    if (g.joystick_enabled) platform::install_joystick();
    load_records();
}

} // namespace

void load_start_settings(Saves &saves, platform::Backend &devices) {
    const bool first_start = !saves.read(SaveFile::Settings, SETTINGS_FILE_SIZE);
    load_settings(saves);
    if (!first_start || !devices.pad_plugged_in()) return;
    locked([] { g.joystick_enabled = 1; });
    save_settings(saves);
}

void set_start_up_defaults() {
    init_texts();
    reset_world_defaults();
    set_default_settings();
    reset_front_end();
    reset_light_tables();
    set_view_params();
    init_view_tables();
    seed_sparks(SPARK_SEED);
}

int game_main(const GameOptions &options) {
    std::srand(0);
    set_data_dir(options.data_dir);
    FileSaves files(options.settings_path, options.records_path);
    const UseSaves use(options.saves ? *options.saves : files);
    forget_save_warnings();
    std::string error;
    platform::configure_display(options.display);
    if (!platform::init_display(error)) {
        std::fprintf(stderr, "quarvell: %s\n", error.c_str());
        return 1;
    }
    if (!platform::init_sound()) {
        std::printf("Error #A-001 : Couldn't initialize sound system!\r\n");
        std::fflush(stdout);
    }
    platform::on_display_lost(save_player_files);
    platform::install_timers(logic_tick, joystick_tick, enemy_ai_tick);
    try {
        load_everything();
        for (;;) {
            locked([] { g.run_finished = 0; });
            if (run_title_menu() == TITLE_QUIT) break;
            platform::fade_out(FADE_SPEED);
            locked([] { clear_panel(1); });
            platform::clear_screen();
            if (run_stage_cycle() != CycleEnd::TitleMenu) break;
        }
    } catch (const AssetError &e) {
        std::fprintf(stderr, "quarvell: %s\n", e.what());
        free_everything();
        return 1;
    }
    quit_saving();
    return 0;
}

} // namespace qv
