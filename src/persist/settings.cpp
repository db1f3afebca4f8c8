// The settings file: one byte per value, no header. A file from an older or
// damaged install must never put a value out of its range into the game,
// because difficulty, volume and key codes index tables.
#include "persist/settings.h"

#include "core/game_state.h"
#include "input/input.h"
#include "persist/atomic_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace qv {

namespace {

// Byte offsets in the file.
constexpr int AT_DIFFICULTY = 0;
constexpr int AT_VSYNC = 1;
constexpr int AT_SPARE = 2;
constexpr int AT_VOLUME = 3;
constexpr int AT_JOYSTICK = 4;
constexpr int AT_STAGES = 5;
constexpr int AT_KEYS = 11;
constexpr int AT_BUTTONS = 15;
constexpr int AT_DETAIL = 19;
constexpr int ACTION_COUNT = 4;

constexpr int MAX_DIFFICULTY = 3;   // "Toast"
constexpr int MAX_SOUND_VOLUME = 4; // "Maximum"
constexpr int SFX_VOLUME_STEP = 63;

std::uint8_t low_byte(int v) { return static_cast<std::uint8_t>(v & 0xFF); }
std::uint8_t flag_byte(int v) { return v != 0 ? 1 : 0; }

bool key_has_name(int code) { return std::strcmp(key_name(code), "?") != 0; }

constexpr int16 DEFAULT_DIFFICULTY = 1; // "Normal"
constexpr int16 DEFAULT_KEYS[ACTION_COUNT] = {107, 105, 26, 103}; // L ALT, L CTRL, Z, L SHIFT
constexpr int16 DEFAULT_BUTTONS[ACTION_COUNT] = {4, 3, 2, 1};

} // namespace

void set_default_settings() {
    g.difficulty = DEFAULT_DIFFICULTY;
    g.vsync_enabled = 1;
    g.spare_setting = 0;
    g.sound_volume = 0; // "Silent"
    g.sfx_volume = 0;
    g.joystick_enabled = 0;
    for (int s = 0; s < STAGE_COUNT; ++s) g.stage_unlocked[s] = (s == 0);
    for (int a = 0; a < ACTION_COUNT; ++a) {
        g.key_binding[a] = DEFAULT_KEYS[a];
        g.button_binding[a] = DEFAULT_BUTTONS[a];
    }
    for (byte &d : g.detail) d = 1;
}

SettingsBytes settings_to_bytes() {
    SettingsBytes b{};
    b[AT_DIFFICULTY] = low_byte(g.difficulty);
    b[AT_VSYNC] = flag_byte(g.vsync_enabled);
    b[AT_SPARE] = low_byte(g.spare_setting);
    b[AT_VOLUME] = low_byte(g.sound_volume);
    b[AT_JOYSTICK] = flag_byte(g.joystick_enabled);
    for (int s = 0; s < STAGE_COUNT; ++s) b[AT_STAGES + s] = flag_byte(g.stage_unlocked[s]);
    for (int a = 0; a < ACTION_COUNT; ++a) {
        b[AT_KEYS + a] = low_byte(g.key_binding[a]);
        b[AT_BUTTONS + a] = low_byte(g.button_binding[a]);
    }
    for (int d = 0; d < DETAIL_COUNT; ++d) b[AT_DETAIL + d] = flag_byte(g.detail[d]);
    return b;
}

void settings_from_bytes(const std::uint8_t *bytes, int length) {
    // Start from the defaults; each byte present and in range replaces one.
    set_default_settings();
    const int n = bytes ? std::clamp(length, 0, SETTINGS_FILE_SIZE) : 0;
    const auto has = [n](int at) { return at < n; };

    if (has(AT_DIFFICULTY) && bytes[AT_DIFFICULTY] <= MAX_DIFFICULTY)
        g.difficulty = bytes[AT_DIFFICULTY];
    if (has(AT_VSYNC)) g.vsync_enabled = flag_byte(bytes[AT_VSYNC]);
    if (has(AT_SPARE)) g.spare_setting = bytes[AT_SPARE];
    if (has(AT_VOLUME) && bytes[AT_VOLUME] <= MAX_SOUND_VOLUME)
        g.sound_volume = bytes[AT_VOLUME];
    if (has(AT_JOYSTICK)) g.joystick_enabled = flag_byte(bytes[AT_JOYSTICK]);
    for (int s = 0; s < STAGE_COUNT; ++s)
        if (has(AT_STAGES + s)) g.stage_unlocked[s] = flag_byte(bytes[AT_STAGES + s]);
    for (int a = 0; a < ACTION_COUNT; ++a) {
        if (has(AT_KEYS + a) && key_has_name(bytes[AT_KEYS + a]))
            g.key_binding[a] = bytes[AT_KEYS + a];
        // Any button number is harmless: one outside 1..4 simply never
        // reads as held.
        if (has(AT_BUTTONS + a)) g.button_binding[a] = bytes[AT_BUTTONS + a];
    }
    for (int d = 0; d < DETAIL_COUNT; ++d)
        if (has(AT_DETAIL + d)) g.detail[d] = flag_byte(bytes[AT_DETAIL + d]);

    g.sfx_volume = static_cast<int16>(g.sound_volume * SFX_VOLUME_STEP);
}

void load_settings(const std::string &path) {
    SettingsBytes b{};
    std::size_t n = 0;
    // A missing or unreadable file is a first start: the defaults stand.
    if (std::FILE *f = std::fopen(path.c_str(), "rb")) {
        n = std::fread(b.data(), 1, b.size(), f);
        std::fclose(f);
    }
    settings_from_bytes(b.data(), static_cast<int>(n));
}

bool save_settings(const std::string &path) {
    const SettingsBytes b = settings_to_bytes();
    return save_file(path, b.data(), b.size());
}

} // namespace qv
