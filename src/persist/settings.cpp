// Placeholder until the settings file lands.
#include "persist/settings.h"

namespace qv {
SettingsBytes settings_to_bytes() { return {}; }
void settings_from_bytes(const std::uint8_t *, int) {}
void load_settings(const std::string &) {}
bool save_settings(const std::string &) { return true; }
} // namespace qv
