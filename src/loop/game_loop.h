// The top of the game: start-up, the title loop, the stage cycle and the
// flight loop, shutdown, and the timer callbacks that drive the simulation.
#pragma once

#include "loop/paths.h"
#include "persist/saves.h"
#include "platform/platform.h"

#include <string>

namespace qv {

// Where the game reads its data and keeps the player's files.
struct GameOptions {
    std::string data_dir = ".";
    std::string settings_path = SETTINGS_FILE;
    std::string records_path = RECORDS_FILE;
    // When set, the player's settings and records are kept here instead of
    // the files above (a replay keeps its recording's in memory).
    Saves *saves = nullptr;
    // Window size, fullscreen, 4:3 and the screenshot folder.
    platform::DisplayOptions display;
};

// Runs the game on the platform's back end (platform/platform.h) and
// returns the process exit status: 0 after "QUIT!", "Exit Game" or the
// close button, 1 when the game cannot start (no display, damaged data).
int game_main(const GameOptions &options = {});

// Reads the player's settings as the game does at start-up. At a first
// start (no settings file yet) with a gamepad plugged in, "Gamepad" is
// switched on and saved so: a player with only a pad (a handheld, a PC
// under the television) could not reach the switch otherwise. A recording
// goes through this before it takes its start files, so that it carries the
// choice as it carries every setting.
void load_start_settings(Saves &saves, platform::Backend &devices);

// Every start-up value of the game state: texts, world, settings, front
// end, light tables, the view constants and their tables (no files are
// read).
void set_start_up_defaults();

// Timer callbacks.
void logic_tick();    // 70 Hz: panels always, the simulation while it runs
void enemy_ai_tick(); // 35 Hz: enemy steering and fire
void joystick_tick(); // 30 Hz: the gamepad copy

} // namespace qv
