// Recorded games: playing one into a file, showing one in the window, and
// checking one headless.
#pragma once

#include "loop/game_loop.h"

#include "platform/virtual_platform.h"

#include <functional>
#include <string>

namespace qv {

// Plays normally in the window and writes every input the game read into
// `file`, a block every two seconds as the game goes. Returns game_main's
// status.
int record_game(const GameOptions &options, const std::string &file);

// The same on another window (a stand-in, for tests), with `each_tick`
// called at every tick, before the recorder reads the window's input.
int record_game(const GameOptions &options, const std::string &file, platform::Backend &window,
                const std::function<void(platform::VirtualBackend &)> &each_tick);

// Shows the recording in the window at normal speed (Escape ends it), or,
// with `verify`, plays it headless as fast as the machine goes and checks
// the world against the recording's checksums and final score. A refused
// file or (verify) a replay that departs: one line on stderr, status 1.
// The player's own files are never touched: the game starts from the
// recording's start files and saves into them, in memory.
int replay_game(const GameOptions &options, const std::string &file, bool verify);

// Shown on another window (a stand-in, for tests) and, with `verify`,
// checked as well.
int replay_game(const GameOptions &options, const std::string &file, bool verify,
                platform::Backend &window);

} // namespace qv
