// A scripted player for the real game loop: it looks at what the screen
// shows (panels, texts, the flight snapshot) and presses keys through the
// virtual back end, one 70 Hz tick at a time. A script is a list of steps
// run one after another; each step acts at every tick until it is done.
#pragma once

#include "core/game_state.h"
#include "harness/pilot.h"

#include <functional>
#include <string>
#include <vector>

namespace qv::test {

// What the player needs of the machine it plays on: the virtual back end
// for headless runs, Allegro's real timer thread for the real-timer test.
class PlayerHost {
  public:
    virtual ~PlayerHost() = default;
    virtual long long ticks() const = 0; // 70 Hz ticks so far
    virtual long long frames() const = 0; // frames the game has presented so far
    virtual bool fading() const = 0;     // the game reads no input during a fade
    virtual void request_close() = 0;    // the window's close button
    virtual void set_pad(const PadState &pad) = 0;
    // Holds or lets go of a key by its library code (KEY_*), as the
    // keyboard driver would.
    virtual void hold_key(int index, bool held) = 0;
    void release_all_keys() {
        for (int k = 1; k < KEY_MAX; ++k) hold_key(k, false);
    }
};

// What the screen shows, as a player would tell.
enum class Screen {
    Title,         // the main menu, in place and still
    Menu,          // another front-end menu (selection chain, setup)
    StageStart,    // the stage title while the ship glides in
    Flight,        // flight, and the stage-end banner
    Pause,         // the "System Menu"
    StageComplete, // "Continue!" with the stage bonus
    GameEnd,       // "Continue!" or "Game Over!" after a lost ship or a finished game
    NameEntry,     // "Enter your Name"
    Other,         // fades and frames in between
};
Screen screen_shown();
// Whether panel `slot` is on show as a `kind` panel (PANEL_LIST ...) and,
// given a title, says it: on its tab, or a caption panel as its text.
bool panel_shown(int slot, int16 kind, const char *title = nullptr);
const char *screen_name(Screen s);

// The player's choices before a game: rows of the ship, gun, pod and stage
// lists (stage row 0 is the campaign, row k the k-th stage alone).
struct GameChoice {
    int ship = 0;
    int gun_row = 0;
    int pod = 1;
    int stage_row = 0;
};

// What the player met on the way, for the tests to check.
struct PlayLog {
    std::vector<std::string> lines;  // the regression record (see Player::record)
    std::vector<std::string> end_rows; // the game-end screen's row, each time
    int stage_complete_screens = 0;
    int continues = 0;
    std::vector<int> bonuses; // stage_bonus shown on each stage-complete screen
};

// How long keys are held and how long a menu is given to react. The virtual
// clock runs a pass of the game loop at every tick; on a real clock a busy
// machine draws fewer frames, so presses must be longer.
struct PlayerTiming {
    int hold = 2;      // ticks a key is held at least
    int max_hold = 30; // ticks a key is held at most, seen or not
    int settle = 3;    // ticks after a release before the screen may be still
};

class Player {
  public:
    using Step = std::function<bool()>; // true when done

    explicit Player(PlayerHost &host, PlayerTiming timing = PlayerTiming())
        : host_(host), timing_(timing) {}

    // Slower presses, for a player on the gamepad (polled at 30 Hz).
    void set_timing(const PlayerTiming &timing) { timing_ = timing; }
    // Called by the virtual back end at every tick.
    void tick();
    bool finished() const { return next_ >= steps_.size(); }
    long ticks() const;

    // ---- building blocks ----
    Player &then(Step step);
    // Presses a key (library index) for a few ticks, releases it, then waits
    // until the panels have stopped sliding.
    Player &press(int library_key);
    Player &press_with(std::function<int()> key_of);
    // Several keys held together and let go in the same tick.
    Player &press_together(std::function<std::vector<int>()> keys_of);
    // The Fire / Accept and Strafe / Cancel keys as bound right now.
    Player &accept();
    Player &cancel();
    // Accept together with another key (a direction, say).
    Player &accept_with(int library_key);
    // Holds the gamepad's buttons or stick as `set` says for a few polls.
    Player &press_pad(std::function<void(PadState &)> set);
    Player &up(int times = 1);
    Player &down(int times = 1);
    Player &wait_for(Screen s);
    Player &wait_ticks(long n);
    // Types capitals, digits and spaces one key at a time.
    Player &type(const std::string &text);
    Player &close_window();
    Player &check(std::function<void()> f);
    // Called at every tick from now on, whatever step runs.
    void observe(std::function<void()> f) { observers_.push_back(std::move(f)); }

    // ---- higher level ----
    // From the title menu: "Setup", "Difficulty", the row, and back.
    Player &set_difficulty(int level);
    // From the title menu: "Start Game" and the selection chain.
    Player &start_game(const GameChoice &choice);
    // Flies with the pilot until the screen is no longer the flight, or
    // until `until` (read under the sim lock) holds; then lets go of the keys.
    Player &fly(Pilot pilot, std::function<bool()> until = {});
    // Plays until the title menu is back: flies every stage with the pilot,
    // accepts the stage-complete screens, continues after a lost ship (at
    // most max_continues times, then abandons through the pause menu),
    // and types `name` when the game end offers the records table.
    Player &play_to_title(Pilot pilot, const std::string &name, int max_continues = 20);
    // From the title menu: down to "QUIT!" and accept.
    Player &quit();
    // In flight: Escape, then "Exit Game" in the pause menu.
    Player &exit_game();

    // Records a regression line at every wave release and stage end:
    // tick, stage, score, kills, wave, hit points and the state checksum.
    void record(bool on) { recording_ = on; }
    PlayLog log;

  private:
    bool ready() const; // no fade, no slide: the screen takes input
    void watch();
    void hold_pilot_keys(const PilotInput &in);

    PlayerHost &host_;
    PlayerTiming timing_;
    std::vector<Step> steps_;
    std::vector<std::function<void()>> observers_;
    size_t next_ = 0;
    bool running_ = false;
    size_t insert_at_ = 0;
    bool recording_ = false;
    int last_wave_ = -1;
    int ready_ticks_ = 0;
    Screen traced_screen_ = Screen::Other;
    size_t traced_step_ = static_cast<size_t>(-1);
    bool was_flying_ = false;
};

} // namespace qv::test
