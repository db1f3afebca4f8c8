// Where the game finds its data and keeps the player's files.
//
// Data: --data DIR, else beside the binary (the build's game folder), else
// the installed data folder, BIN/../share/quarvell (an install under any
// prefix) or BIN/../share/games/quarvell (under /usr, where Debian puts
// games: /usr/games and /usr/share/games), so an installed game runs from
// anywhere; the current folder is the last resort.
//
// The player's files follow the desktop's conventions (XDG): settings in
// $XDG_CONFIG_HOME/quarvell (~/.config), records in $XDG_DATA_HOME/quarvell
// (~/.local/share), screenshots in the pictures folder's "quarvell". A
// current folder that already holds w_config.def or assist.def (a game
// started the old way) keeps that file there, so nobody loses one.
#pragma once

#include "persist/saves.h"

#include <string>

namespace qv {

// The file every data folder holds; its presence marks one.
inline constexpr const char *DATA_MARKER = "loader.def";
// Below a prefix: where the installed data lives, in the layout of any
// prefix and in the games layout of /usr.
inline constexpr const char *INSTALLED_DATA[] = {"share/quarvell", "share/games/quarvell"};
inline constexpr const char *APP_FOLDER = "quarvell";

// What the paths depend on, read once from the process (current_environment)
// or made up by a test.
struct Environment {
    std::string cwd;          // the current folder (absolute)
    std::string exe_dir;      // the folder of the running binary, or ""
    std::string home;         // $HOME, else the system's home for the user, or ""
    std::string config_home;  // $XDG_CONFIG_HOME, or ""
    std::string data_home;    // $XDG_DATA_HOME, or ""
    std::string pictures_dir; // $XDG_PICTURES_DIR, or ""
};
Environment current_environment();

struct GamePaths {
    std::string data_dir;
    std::string settings;
    std::string records;
    std::string screenshots; // folder, created by the first screenshot; "" for none
};

// `data_override` is --data (empty: look for the data). Without a home
// folder a player's file is "" (not saved), unless the current folder
// already holds it.
GamePaths resolve_paths(const Environment &env, const std::string &data_override);

// One line for the player when some of their files cannot be saved, or "".
std::string unsaved_note(const GamePaths &paths);

} // namespace qv
