// Shared helpers for the tests: a headless library, fresh state, temporary
// folders.
#pragma once

#include <string>

namespace qv::test {

// Puts the game state back to its start-up values (texts, defaults, tables).
void reset_state();

// A fresh empty folder under the system's temporary folder.
std::string make_temp_dir(const std::string &tag);

// The generated data directory of this build.
inline const char *game_dir() { return QV_GAME_DIR; }

} // namespace qv::test
