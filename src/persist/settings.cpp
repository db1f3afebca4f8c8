// The settings file: one byte per value, no header. A file from an older or
// damaged install must never put a value out of its range into the game,
// because difficulty, volume and key codes index tables.
#include "persist/settings.h"

#include "core/game_state.h"
#include "core/sim_lock.h"
#include "input/input.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>

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

constexpr int MAX_DIFFICULTY = 3;   // "Toast"
constexpr int MAX_SOUND_VOLUME = 4; // "Maximum"
constexpr int SFX_VOLUME_STEP = 63;

std::uint8_t low_byte(int v) { return static_cast<std::uint8_t>(v & 0xFF); }
std::uint8_t flag_byte(int v) { return v != 0 ? 1 : 0; }

// A key this keyboard can produce: one the library reports and whose name
// the controls screen can show. Code 0 (named "") and the codes named "x"
// are no key the player can press, so a binding to one of them would leave
// its action, and with Fire/Accept or Strafe/Cancel every menu, out of reach.
bool key_pressable(int code) {
    const char *name = key_name(code);
    return library_key_index(code) >= 0 && std::strcmp(name, "?") != 0 &&
           std::strcmp(name, "") != 0 && std::strcmp(name, "x") != 0;
}

constexpr int16 DEFAULT_DIFFICULTY = 1; // "Normal"
constexpr int16 DEFAULT_KEYS[ACTION_COUNT] = {107, 105, 26, 103}; // L ALT, L CTRL, Z, L SHIFT
constexpr int16 DEFAULT_BUTTONS[ACTION_COUNT] = {4, 3, 2, 1};

using Bindings = std::array<int, ACTION_COUNT>;
constexpr Bindings IN_ORDER = {0, 1, 2, 3};

// Any button number is harmless: one outside 1..4 simply never reads as
// held, and the keyboard keeps working beside the gamepad.
bool any_button(int) { return true; }

// Four bindings that are each one action's alone. The actions, taken in
// `order`, keep what they are given when it is `usable` and no action
// before them has it (rebinding swaps, so one copy's bindings are always
// distinct); otherwise each gets its own default, or when one before it
// already holds that, the first default still free. Four distinct defaults
// for four actions means one is always free.
Bindings distinct(const Bindings &given, const int16 *defaults, const Bindings &order,
                  bool (*usable)(int)) {
    Bindings out{}, taken{};
    int n = 0;
    const auto unused = [&](int v) {
        return std::find(taken.begin(), taken.begin() + n, v) == taken.begin() + n;
    };
    for (const int a : order) {
        int v = given[a];
        if (!usable(v) || !unused(v)) {
            v = defaults[a];
            for (int d = 0; !unused(v) && d < ACTION_COUNT; ++d) v = defaults[d];
        }
        out[a] = v;
        taken[n++] = v;
    }
    return out;
}

// What this copy's settings were when it last read or wrote the file: a
// value still equal to it was not changed here, so a save keeps the file's
// own value, which may be another copy's newer choice. At a load it is the
// file's byte where the file had one (a value mended on reading counts as a
// change and is written) and the start-up value where not.
struct Baseline {
    std::string path;
    SettingsBytes bytes{};
};
Baseline baseline;

// The bindings at byte `at` after a merge: this copy's changes stand, and
// an action of the file's that now shares a key or button with one of
// them falls back as in a damaged file.
void mend_merged(SettingsBytes &out, const bool *changed, int at, const int16 *defaults,
                 bool (*usable)(int)) {
    Bindings given{}, order{};
    int n = 0;
    for (int pass = 0; pass < 2; ++pass)
        for (int a = 0; a < ACTION_COUNT; ++a)
            if (changed[at + a] == (pass == 0)) order[n++] = a;
    for (int a = 0; a < ACTION_COUNT; ++a) given[a] = out[at + a];
    const Bindings mended = distinct(given, defaults, order, usable);
    for (int a = 0; a < ACTION_COUNT; ++a) out[at + a] = low_byte(mended[a]);
}

// Each value merges on its own, each action's key and button included.
SettingsBytes merge_with(const SettingsBytes &mine, const std::optional<Bytes> &held,
                         const std::string &path) {
    SettingsBytes out = mine;
    if (!held || baseline.path != path) return out;
    bool changed[SETTINGS_FILE_SIZE];
    for (int at = 0; at < SETTINGS_FILE_SIZE; ++at) {
        changed[at] = mine[at] != baseline.bytes[at];
        if (!changed[at] && at < static_cast<int>(held->size())) out[at] = (*held)[at];
    }
    mend_merged(out, changed, AT_KEYS, DEFAULT_KEYS, key_pressable);
    mend_merged(out, changed, AT_BUTTONS, DEFAULT_BUTTONS, any_button);
    return out;
}

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
    // A binding the file lacks is the default; one that no key can give, or
    // that an earlier action has, falls back.
    Bindings keys{}, buttons{};
    for (int a = 0; a < ACTION_COUNT; ++a) {
        keys[a] = has(AT_KEYS + a) ? bytes[AT_KEYS + a] : DEFAULT_KEYS[a];
        buttons[a] = has(AT_BUTTONS + a) ? bytes[AT_BUTTONS + a] : DEFAULT_BUTTONS[a];
    }
    keys = distinct(keys, DEFAULT_KEYS, IN_ORDER, key_pressable);
    buttons = distinct(buttons, DEFAULT_BUTTONS, IN_ORDER, any_button);
    for (int a = 0; a < ACTION_COUNT; ++a) {
        g.key_binding[a] = static_cast<int16>(keys[a]);
        g.button_binding[a] = static_cast<int16>(buttons[a]);
    }
    for (int d = 0; d < DETAIL_COUNT; ++d)
        if (has(AT_DETAIL + d)) g.detail[d] = flag_byte(bytes[AT_DETAIL + d]);

    g.sfx_volume = static_cast<int16>(g.sound_volume * SFX_VOLUME_STEP);
}

void load_settings(Saves &from) {
    from.clean(SaveFile::Settings);
    // A missing or unreadable file is a first start: the defaults stand.
    const Bytes b = from.read(SaveFile::Settings, SETTINGS_FILE_SIZE).value_or(Bytes{});
    // The disk is read before the lock is taken: a timer never waits on it.
    SimLock lock;
    settings_from_bytes(b.data(), static_cast<int>(b.size()));
    baseline.path = from.name(SaveFile::Settings);
    baseline.bytes = settings_to_bytes();
    std::copy(b.begin(), b.end(), baseline.bytes.begin());
}

bool save_settings(Saves &to) {
    const SettingsBytes mine = settings_to_bytes();
    const std::string name = to.name(SaveFile::Settings);
    const bool saved = to.save(SaveFile::Settings, [&](const std::optional<Bytes> &held) {
        const SettingsBytes out = merge_with(mine, held, name);
        return Bytes(out.begin(), out.end());
    });
    if (saved) baseline = {name, mine};
    return saved;
}

void load_settings(const std::string &path) {
    FileSaves file(path, "");
    load_settings(file);
}

bool save_settings(const std::string &path) {
    FileSaves file(path, "");
    return save_settings(file);
}

} // namespace qv
