// "w_config.def": the player's settings, 27 raw bytes.
#pragma once

#include "persist/saves.h"

#include <array>
#include <cstdint>
#include <string>

namespace qv {

inline constexpr int SETTINGS_FILE_SIZE = 27;
using SettingsBytes = std::array<std::uint8_t, SETTINGS_FILE_SIZE>;

// The settings of a first start: Normal, retrace wait on, silent, keyboard
// only, the first stage open, the default keys and buttons, every detail on.
void set_default_settings();

// The sample volume (0..252) of a volume setting, 0 "Silent" to 4 "Maximum".
int sfx_volume_of(int level);

SettingsBytes settings_to_bytes();
// Applies the first `length` bytes; values out of range keep their defaults.
void settings_from_bytes(const std::uint8_t *bytes, int length);

// Missing or short file: the defaults stay for what it does not supply.
// Takes the sim lock to apply what it read (the caller must not hold it).
void load_settings(Saves &from = saves());
// Returns false when the file could not be written (the first failure for
// a file warns on stderr); the old file is then left intact. Another copy's
// newer values stay for whatever this copy has not changed.
bool save_settings(Saves &to = saves());

} // namespace qv
