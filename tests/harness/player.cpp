#include "harness/player.h"

#include "core/game_state.h"
#include "core/sim_lock.h"
#include "core/snapshot.h"
#include "input/input.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>
#include <optional>
#include <algorithm>

namespace qv::test {

namespace {

// Slots the screens use (see the front end's screens).
constexpr int MAIN_SLOT = 1;
constexpr int SECOND_SLOT = 2;
constexpr int NAME_SLOT = 7;
constexpr int TITLE_MENU_X = 6;

constexpr int STILL_TICKS = 2;
constexpr int RETRY_TICKS = 70;

bool same(const char *a, const char *b) { return std::strcmp(a, b) == 0; }

// panel_shown, with the sim lock held.
bool shows(int slot, int16 kind, const char *title = nullptr) {
    const MenuPanels &p = g.panels;
    if (!p.active[slot] || p.kind[slot] != kind) return false;
    const int16 text = kind == PANEL_CAPTION ? p.caption[slot] : p.tab_text[slot];
    return !title || same(g.title_text[text & 63], title);
}

// A menu takes input when nothing slides and no fade runs.
bool panels_still() {
    SimLock lock;
    for (int s = 0; s < PANEL_COUNT; ++s)
        if (g.panels.active[s] && g.panels.motion_steps[s] != 0) return false;
    return true;
}

int library_key_of(int action) {
    SimLock lock;
    return library_key_index(g.key_binding[action]);
}

int key_for_char(char c) {
    if (c >= 'A' && c <= 'Z') return KEY_A + (c - 'A');
    if (c >= '0' && c <= '9') return KEY_0 + (c - '0');
    return KEY_SPACE;
}

// A pass of a screen's loop reads the input, then presents its frame: a key
// held while two frames were presented has been seen held by a whole pass,
// and one let go for two frames has been seen let go.
constexpr long FRAMES_SEEN = 2;
// The gamepad is polled at 30 Hz: hold it over several polls.
constexpr int PAD_HOLD = 8;

// One press: held for at least `hold` ticks and until the game has seen it,
// then let go for at least `gap` ticks and until the game has seen that. A
// loop that waits for the release without drawing (the hot keys) gets it
// after `max_hold` ticks.
struct KeyPress {
    std::function<void(bool)> apply; // holds (true) or lets go (false)
    int hold, gap, max_hold;
    int t = 0;
    long long mark = -1;
    bool released = false;

    bool step(const PlayerHost &host) {
        if (!released) {
            if (mark < 0) mark = host.frames();
            apply(true);
            ++t;
            if (t < max_hold && (t < hold || host.frames() < mark + FRAMES_SEEN)) return false;
            apply(false);
            released = true;
            t = 0;
            mark = host.frames();
            return false;
        }
        return ++t >= gap && host.frames() >= mark + FRAMES_SEEN;
    }
};

KeyPress key_press(PlayerHost &host, int key, const PlayerTiming &timing, int gap) {
    return {[&host, key](bool held) { host.hold_key(key, held); }, timing.hold, gap,
            timing.max_hold};
}

// Key presses queued by a step, one after another.
struct KeyQueue {
    std::deque<KeyPress> presses;
    bool empty() const { return presses.empty(); }
    void add(KeyPress p) { presses.push_back(std::move(p)); }
    void step(const PlayerHost &host) {
        if (!presses.empty() && presses.front().step(host)) presses.pop_front();
    }
};

} // namespace

bool panel_shown(int slot, int16 kind, const char *title) {
    SimLock lock;
    return shows(slot, kind, title);
}

Screen screen_shown() {
    SimLock lock;
    const MenuPanels &p = g.panels;
    if (shows(NAME_SLOT, PANEL_NAME_ENTRY)) return Screen::NameEntry;
    if (shows(MAIN_SLOT, PANEL_LIST, "System Menu")) return Screen::Pause;
    if (shows(SECOND_SLOT, PANEL_BONUS)) return Screen::StageComplete;
    if (shows(SECOND_SLOT, PANEL_DESCRIPTION) &&
        same(g.title_text[p.tab_text[MAIN_SLOT] & 63], "Stage Complete") &&
        same(g.long_text[p.caption[SECOND_SLOT] & 255], "Suit condition: OFFLINE!"))
        return Screen::GameEnd;
    if (g.game_running) {
        // Lost or complete: the flight is over, the fade runs.
        if (g.game_over || g.stage_complete) return Screen::Other;
        return g.launch_timer > 0 ? Screen::StageStart : Screen::Flight;
    }
    if (shows(MAIN_SLOT, PANEL_LIST, "Main Menu"))
        return p.x[MAIN_SLOT] == TITLE_MENU_X && p.motion_steps[MAIN_SLOT] == 0 ? Screen::Title
                                                                                : Screen::Menu;
    return Screen::Other;
}

const char *screen_name(Screen s) {
    switch (s) {
    case Screen::Title: return "title";
    case Screen::Menu: return "menu";
    case Screen::StageStart: return "stage start";
    case Screen::Flight: return "flight";
    case Screen::Pause: return "pause";
    case Screen::StageComplete: return "stage complete";
    case Screen::GameEnd: return "game end";
    case Screen::NameEntry: return "name entry";
    case Screen::Other: return "other";
    }
    return "?";
}

long Player::ticks() const { return static_cast<long>(host_.ticks()); }

bool Player::ready() const { return ready_ticks_ >= STILL_TICKS; }

void Player::tick() {
    // QV_TRACE_SCREENS=1 prints every change of screen and step: the way to
    // see where a script got stuck.
    static const bool trace = std::getenv("QV_TRACE_SCREENS") != nullptr;
    if (trace) {
        const Screen s = screen_shown();
        if (s != traced_screen_ || next_ != traced_step_) {
            std::printf("tick %ld step %zu/%zu screen %s\n", ticks(), next_, steps_.size(),
                        screen_name(s));
            traced_screen_ = s;
            traced_step_ = next_;
        }
    }
    // A screen takes input once it has shown still for a moment: its first
    // frame comes before its fade-in, and a press during a fade is lost.
    ready_ticks_ = !host_.fading() && panels_still() ? ready_ticks_ + 1 : 0;
    if (recording_) watch();
    for (auto &f : observers_) f();
    // A step that finishes hands over to the next one at the next tick.
    // Steps that a running step adds come right after it.
    if (next_ >= steps_.size()) return;
    const Step step = steps_[next_]; // a copy: adding steps may move the list
    insert_at_ = next_ + 1;
    running_ = true;
    const bool done = step();
    running_ = false;
    if (done) ++next_;
}

void Player::watch() {
    SimLock lock;
    const bool flying = g.game_running != 0;
    const bool ended = g.stage_complete || g.game_over;
    char line[200];
    if (flying && g.wave_index != last_wave_ && last_wave_ >= 0 && !ended) {
        std::snprintf(line, sizeof line, "  wave %d tick %ld score %d kills %d hp %d sum %08x",
                      g.wave_index, ticks(), static_cast<int>(g.score), g.stage_kills,
                      g.ent.hp[0], state_checksum());
        log.lines.push_back(line);
    }
    last_wave_ = g.wave_index;
    if (ended && was_flying_) {
        std::snprintf(line, sizeof line,
                      "stage %d %s tick %ld score %d kills %d wave %d hp %d sum %08x",
                      g.current_stage, g.game_over ? "lost" : "complete", ticks(),
                      static_cast<int>(g.score), g.stage_kills, g.wave_index, g.ent.hp[0],
                      state_checksum());
        log.lines.push_back(line);
    }
    was_flying_ = flying && !ended;
    if (!flying) last_wave_ = -1;
}

Player &Player::then(Step step) {
    if (running_)
        steps_.insert(steps_.begin() + static_cast<long>(insert_at_++), std::move(step));
    else
        steps_.push_back(std::move(step));
    return *this;
}

Player &Player::press(int library_key) {
    return press_with([library_key] { return library_key; });
}

Player &Player::press_with(std::function<int()> key_of) {
    return press_together([key_of] { return std::vector<int>{key_of()}; });
}

Player &Player::press_together(std::function<std::vector<int>()> keys_of) {
    auto press = std::make_shared<std::optional<KeyPress>>();
    return then([this, keys_of, press] {
        // Wait until the screen takes input, as a player would; the keys
        // are looked up then (a rebinding may have changed them).
        if (!*press) {
            if (!ready()) return false;
            const auto hold = [this, keys = keys_of()](bool held) {
                for (int k : keys) host_.hold_key(k, held);
            };
            *press = KeyPress{hold, timing_.hold, timing_.settle, timing_.max_hold};
        }
        return (*press)->step(host_) && ready();
    });
}

Player &Player::accept() {
    return press_with([] { return library_key_of(ACT_FIRE); });
}

Player &Player::cancel() {
    return press_with([] { return library_key_of(ACT_STRAFE); });
}

Player &Player::accept_with(int library_key) {
    return press_together([library_key] {
        return std::vector<int>{library_key_of(ACT_FIRE), library_key};
    });
}

Player &Player::press_pad(std::function<void(PadState &)> set) {
    auto press = std::make_shared<std::optional<KeyPress>>();
    return then([this, set, press] {
        if (!*press) {
            if (!ready()) return false;
            const auto apply = [this, set](bool held) {
                PadState pad{};
                if (held) set(pad);
                host_.set_pad(pad);
            };
            // Held and let go over several polls, so that both are seen.
            *press = KeyPress{apply, std::max(PAD_HOLD, timing_.hold),
                              std::max(PAD_HOLD, timing_.settle), std::max(PAD_HOLD, timing_.max_hold)};
        }
        return (*press)->step(host_) && ready();
    });
}

Player &Player::up(int times) {
    for (int i = 0; i < times; ++i) press(KEY_UP);
    return *this;
}

Player &Player::down(int times) {
    for (int i = 0; i < times; ++i) press(KEY_DOWN);
    return *this;
}

Player &Player::wait_for(Screen s) {
    return then([s] { return screen_shown() == s; });
}

Player &Player::wait_ticks(long n) {
    auto left = std::make_shared<long>(n);
    return then([left] { return --*left <= 0; });
}

Player &Player::type(const std::string &text) {
    auto keys = std::make_shared<KeyQueue>();
    auto started = std::make_shared<bool>(false);
    return then([this, text, keys, started] {
        if (!*started) {
            *started = true;
            for (char c : text) keys->add(key_press(host_, key_for_char(c), timing_, timing_.hold));
        }
        keys->step(host_);
        return keys->empty();
    });
}

Player &Player::close_window() {
    return then([this] {
        host_.request_close();
        return true;
    });
}

Player &Player::check(std::function<void()> f) {
    return then([f] {
        f();
        return true;
    });
}

Player &Player::start_game(const GameChoice &choice) {
    wait_for(Screen::Title);
    up();          // the menu opens on "Setup"
    accept();      // "Start Game"
    down(choice.ship);
    accept();
    down(choice.gun_row);
    accept();
    down(choice.pod);
    accept();
    down(choice.stage_row);
    return accept();
}

Player &Player::fly(Pilot pilot, std::function<bool()> until) {
    auto began = std::make_shared<bool>(false);
    return then([this, pilot, until, began] {
        if (screen_shown() != Screen::Flight) {
            if (!*began) return false;
            host_.release_all_keys();
            return true;
        }
        *began = true;
        PilotInput in;
        {
            SimLock lock;
            if (until && until()) {
                host_.release_all_keys();
                return true;
            }
            in = pilot();
        }
        hold_pilot_keys(in);
        return false;
    });
}

void Player::hold_pilot_keys(const PilotInput &in) {
    host_.hold_key(KEY_LEFT, in.left);
    host_.hold_key(KEY_RIGHT, in.right);
    host_.hold_key(KEY_UP, in.up);
    host_.hold_key(KEY_DOWN, in.down);
    // Two actions may share a key: a held one must win.
    const bool held[4] = {in.fire, in.strafe, in.bomb, in.booster};
    for (int a = 0; a < 4; ++a) host_.hold_key(library_key_of(a), false);
    for (int a = 0; a < 4; ++a)
        if (held[a]) host_.hold_key(library_key_of(a), true);
}

Player &Player::play_to_title(Pilot pilot, const std::string &name, int max_continues) {
    struct State {
        Screen last = Screen::Other;
        bool handled = false;
        bool abandoning = false;
        bool in_game = false;
        int waited = 0;
        KeyQueue keys;
    };
    auto st = std::make_shared<State>();
    return then([this, pilot, name, max_continues, st] {
        const Screen s = screen_shown();
        // The title that counts is the one after the game.
        if (s != Screen::Title && s != Screen::Menu && s != Screen::Other) st->in_game = true;
        if (s != st->last) {
            if (st->last == Screen::Flight) host_.release_all_keys();
            st->last = s;
            st->handled = false;
        }
        if (!st->keys.empty()) {
            st->keys.step(host_);
            st->waited = 0;
            return false;
        }
        // Keys that went unseen (the screen was busy) are pressed again.
        if (st->handled && (s != Screen::Flight || st->abandoning) && ready() &&
            ++st->waited > RETRY_TICKS)
            st->handled = false;
        switch (s) {
        case Screen::Flight:
            if (st->abandoning || log.continues > max_continues) {
                if (!st->handled) {
                    st->abandoning = true;
                    st->handled = true;
                    host_.release_all_keys();
                    st->keys.add(key_press(host_, KEY_ESC, timing_, timing_.settle));
                }
                return false;
            }
            {
                PilotInput in;
                {
                    SimLock lock;
                    in = pilot();
                }
                hold_pilot_keys(in);
            }
            return false;
        case Screen::Pause:
            if (!st->handled && st->abandoning) {
                st->handled = true;
                st->keys.add(key_press(host_, KEY_DOWN, timing_, timing_.settle)); // "Main Menu"
                st->keys.add(key_press(host_, library_key_of(ACT_FIRE), timing_, timing_.settle));
            }
            return false;
        case Screen::StageComplete:
            if (!st->handled && ready()) {
                st->handled = true;
                ++log.stage_complete_screens;
                {
                    SimLock lock;
                    log.bonuses.push_back(g.stage_bonus);
                }
                st->keys.add(key_press(host_, library_key_of(ACT_FIRE), timing_, timing_.settle));
            }
            return false;
        case Screen::GameEnd:
            if (!st->handled && ready()) {
                st->handled = true;
                std::string row;
                {
                    SimLock lock;
                    row = g.item_text[g.panels.items[MAIN_SLOT][0] & 63];
                }
                log.end_rows.push_back(row);
                if (row == "Continue!") ++log.continues;
                st->keys.add(key_press(host_, library_key_of(ACT_FIRE), timing_, timing_.settle));
            }
            return false;
        case Screen::NameEntry:
            if (!st->handled) {
                st->handled = true;
                for (char c : name) st->keys.add(key_press(host_, key_for_char(c), timing_, timing_.hold));
                st->keys.add(key_press(host_, KEY_ENTER, timing_, timing_.hold));
            }
            return false;
        case Screen::Title:
            return st->in_game;
        case Screen::StageStart:
        case Screen::Menu:
        case Screen::Other:
            return false;
        }
        return false;
    });
}

Player &Player::set_difficulty(int level) {
    wait_for(Screen::Title);
    accept(); // "Setup", where the menu opens
    down(1);  // "Difficulty"
    accept();
    // The list opens on the current difficulty.
    return then([this, level] {
        int now;
        {
            SimLock lock;
            now = g.difficulty;
        }
        if (level > now) down(level - now);
        if (level < now) up(now - level);
        accept();
        cancel(); // out of "Configuration"
        return true;
    });
}

Player &Player::quit() {
    wait_for(Screen::Title);
    down(3); // to "QUIT!", the last row, wherever the cursor was
    return accept();
}

Player &Player::exit_game() {
    press(KEY_ESC);
    wait_for(Screen::Pause);
    down(2); // "Resume Play", "Main Menu", "Exit Game"
    return accept();
}

} // namespace qv::test
