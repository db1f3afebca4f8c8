// "w_config.def": the player's settings, 27 raw bytes.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace qv {

inline constexpr int SETTINGS_FILE_SIZE = 27;
using SettingsBytes = std::array<std::uint8_t, SETTINGS_FILE_SIZE>;

SettingsBytes settings_to_bytes();
// Applies the first `length` bytes; values out of range keep their defaults.
void settings_from_bytes(const std::uint8_t *bytes, int length);

// Missing or short file: the defaults stay for what it does not supply.
void load_settings(const std::string &path = "w_config.def");
// Returns false (after one warning on stderr) when the file could not be
// written; the old file is then left intact.
bool save_settings(const std::string &path = "w_config.def");

} // namespace qv
