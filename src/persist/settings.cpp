// The settings file: one byte per value, no header. A file from an older or
// damaged install must never put a value out of its range into the game,
// because difficulty, volume and key codes index tables.
#include "persist/settings.h"

#include "core/game_state.h"
#include "core/sim_lock.h"
#include "input/input.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <optional>

namespace qv {

namespace {

// How a stored byte reads.
enum class Stored : std::uint8_t {
    Number, // 0..limit; a byte beyond it keeps the default
    Flag,   // 0 is off, any other byte on
    Key,    // an action's key code (input/input.h), that action's alone
    Button, // an action's gamepad button, that action's alone
};

// A stored value: its field in the game state (an int16 or a byte), how its
// byte reads, its default and its limit.
struct Setting {
    Stored kind;
    int16 *wide;
    byte *narrow;
    int fallback;
    int limit;

    int get() const { return wide ? *wide : *narrow; }
    void set(int v) const {
        if (wide)
            *wide = static_cast<int16>(v);
        else
            *narrow = static_cast<byte>(v);
    }
    std::uint8_t to_byte() const {
        return static_cast<std::uint8_t>(kind == Stored::Flag ? get() != 0 : get() & 0xFF);
    }
};

constexpr Setting number(int16 &v, int fallback, int limit) {
    return {Stored::Number, &v, nullptr, fallback, limit};
}
constexpr Setting flag(byte &v, int fallback) { return {Stored::Flag, nullptr, &v, fallback, 1}; }
constexpr Setting key(int action, int fallback) {
    return {Stored::Key, &g.key_binding[action], nullptr, fallback, 0xFF};
}
constexpr Setting button(int action, int fallback) {
    return {Stored::Button, &g.button_binding[action], nullptr, fallback, 0xFF};
}

// The file: one byte per row, in this order, no header. Every setting is
// said here once; a first start has the defaults.
constexpr Setting SETTINGS[] = {
    number(g.difficulty, 1, 3),      // "Normal"; up to "Toast"
    flag(g.vsync_enabled, 1),        // the retrace wait
    number(g.spare_setting, 0, 0xFF), // kept as read
    number(g.sound_volume, 0, 4),    // "Silent"; up to "Maximum"
    flag(g.joystick_enabled, 0),     // keyboard only
    flag(g.stage_unlocked[0], 1),    // the first stage open, the others not
    flag(g.stage_unlocked[1], 0),
    flag(g.stage_unlocked[2], 0),
    flag(g.stage_unlocked[3], 0),
    flag(g.stage_unlocked[4], 0),
    flag(g.stage_unlocked[5], 0),
    key(ACT_FIRE, 107),    // L ALT
    key(ACT_STRAFE, 105),  // L CTRL
    key(ACT_BOMB, 26),     // Z
    key(ACT_BOOSTER, 103), // L SHIFT
    button(ACT_FIRE, 4),
    button(ACT_STRAFE, 3),
    button(ACT_BOMB, 2),
    button(ACT_BOOSTER, 1),
    flag(g.detail[0], 1), // every detail on
    flag(g.detail[1], 1),
    flag(g.detail[2], 1),
    flag(g.detail[3], 1),
    flag(g.detail[4], 1),
    flag(g.detail[5], 1),
    flag(g.detail[6], 1),
    flag(g.detail[7], 1),
};
static_assert(std::size(SETTINGS) == SETTINGS_FILE_SIZE);

constexpr int SFX_VOLUME_STEP = 63; // the sample volume of each volume step

using Bindings = std::array<int, ACTION_COUNT>;
constexpr Bindings IN_ORDER = {0, 1, 2, 3};

// The rows of the bindings of one kind, by action.
Bindings binding_rows(Stored kind) {
    Bindings rows{};
    int a = 0;
    for (int at = 0; at < SETTINGS_FILE_SIZE && a < ACTION_COUNT; ++at)
        if (SETTINGS[at].kind == kind) rows[a++] = at;
    return rows;
}

// A key binding no key can give would leave its action, and with
// Fire/Accept or Strafe/Cancel every menu, out of reach. Any button number
// is harmless: one outside 1..4 simply never reads as held, and the
// keyboard keeps working beside the gamepad.
bool usable(Stored kind, int v) { return kind != Stored::Key || key_code_valid(v); }

// Makes the bindings of `kind` in `bytes` each one action's alone. The
// actions, taken in `order`, keep their byte when it is usable and no
// action before them has it (rebinding swaps, so one copy's bindings are
// always distinct); otherwise each gets its own default, or when one before
// it already holds that, the first default still free. Four distinct
// defaults for four actions means one is always free.
void make_distinct(SettingsBytes &bytes, Stored kind, const Bindings &order) {
    const Bindings rows = binding_rows(kind);
    Bindings taken{};
    int n = 0;
    const auto unused = [&](int v) {
        return std::find(taken.begin(), taken.begin() + n, v) == taken.begin() + n;
    };
    for (const int a : order) {
        int v = bytes[rows[a]];
        if (!usable(kind, v) || !unused(v)) {
            v = SETTINGS[rows[a]].fallback;
            for (int d = 0; !unused(v) && d < ACTION_COUNT; ++d) v = SETTINGS[rows[d]].fallback;
        }
        bytes[rows[a]] = static_cast<std::uint8_t>(v);
        taken[n++] = v;
    }
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

// Each value merges on its own, each action's key and button included; an
// action of the file's that now shares a key or button with one this copy
// changed falls back as in a damaged file.
SettingsBytes merge_with(const SettingsBytes &mine, const std::optional<Bytes> &held,
                         const std::string &path) {
    SettingsBytes out = mine;
    if (!held || baseline.path != path) return out;
    bool changed[SETTINGS_FILE_SIZE];
    for (int at = 0; at < SETTINGS_FILE_SIZE; ++at) {
        changed[at] = mine[at] != baseline.bytes[at];
        if (!changed[at] && at < static_cast<int>(held->size())) out[at] = (*held)[at];
    }
    for (const Stored kind : {Stored::Key, Stored::Button}) {
        // This copy's changes first: they stand.
        const Bindings rows = binding_rows(kind);
        Bindings order{};
        int n = 0;
        for (const bool first : {true, false})
            for (int a = 0; a < ACTION_COUNT; ++a)
                if (changed[rows[a]] == first) order[n++] = a;
        make_distinct(out, kind, order);
    }
    return out;
}

} // namespace

int sfx_volume_of(int level) { return level * SFX_VOLUME_STEP; }

void set_default_settings() {
    for (const Setting &s : SETTINGS) s.set(s.fallback);
    g.sfx_volume = static_cast<int16>(sfx_volume_of(g.sound_volume));
}

SettingsBytes settings_to_bytes() {
    SettingsBytes b{};
    for (int at = 0; at < SETTINGS_FILE_SIZE; ++at) b[at] = SETTINGS[at].to_byte();
    return b;
}

void settings_from_bytes(const std::uint8_t *bytes, int length) {
    // Each byte present and in range gives its value, the defaults the rest;
    // a binding no key can give, or that an earlier action has, falls back.
    const int n = bytes ? std::clamp(length, 0, SETTINGS_FILE_SIZE) : 0;
    SettingsBytes b{};
    for (int at = 0; at < SETTINGS_FILE_SIZE; ++at) {
        const Setting &s = SETTINGS[at];
        const bool in_range = at < n && (s.kind != Stored::Number || bytes[at] <= s.limit);
        b[at] = static_cast<std::uint8_t>(!in_range ? s.fallback : s.kind == Stored::Flag ? bytes[at] != 0 : bytes[at]);
    }
    make_distinct(b, Stored::Key, IN_ORDER);
    make_distinct(b, Stored::Button, IN_ORDER);
    for (int at = 0; at < SETTINGS_FILE_SIZE; ++at) SETTINGS[at].set(b[at]);
    g.sfx_volume = static_cast<int16>(sfx_volume_of(g.sound_volume));
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

} // namespace qv
