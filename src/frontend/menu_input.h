// The menus' input: the accept/cancel and cursor latches, read from the
// player's command once a pass, and the loop every menu runs.
#pragma once

#include "core/game_state.h"

#include <cstdint>
#include <functional>

namespace qv {

enum class MenuEvent { None, Accept, Cancel };

// True while the gamepad's Start button is held (takes the sim lock).
bool start_held();

// The accept/cancel latch: a choice is taken on release, never on press.
// The gamepad's Start button accepts too.
class ChoiceLatch {
  public:
    explicit ChoiceLatch(bool cancellable) : cancellable_(cancellable) {}
    MenuEvent step(const PlayerCommand &c);
    // The last accept came from Start.
    bool by_start() const { return by_start_; }

  private:
    enum class State { Idle, ArmedAccept, ArmedStart, ArmedCancel } state_ = State::Idle;
    bool cancellable_;
    bool by_start_ = false;
    std::uint32_t window_keys_at_arming_ = 0;
};

// The cursor latch: a tap moves one row on release; a held direction
// repeats at the pace menu_tick sets.
class CursorLatch {
  public:
    explicit CursorLatch(bool repeat) : repeat_(repeat) {}
    // Moves the cursor of `slot` (0..item_count-1, no wrap-around); true
    // when it moved. Sim lock held.
    bool step(int slot, const PlayerCommand &c);

  private:
    int latched_ = 0; // -1 up, +1 down
    bool repeat_;
};

// What one pass of a menu's input gives: the event and the row: with an
// accept the row chosen, else the one under the cursor after the pass.
struct MenuInput {
    MenuEvent event = MenuEvent::None;
    int row = -1;
    bool by_start = false; // the accept came from the gamepad's Start
};

// A screen of one row, and so no cursor to move.
inline constexpr int NO_LIST = -1;

// Every menu's input, in one order: the accept/cancel latch, then the
// cursor of the list in `slot` (none with NO_LIST). The row an accept chooses is the one under
// the cursor as the accept comes; a direction let go in the same pass (or a
// key repeat falling due then) moves the cursor only after it.
class MenuControls {
  public:
    MenuControls(int slot, bool cancellable, bool repeat = true, bool sounds = true)
        : slot_(slot), sounds_(sounds), choice_(cancellable), cursor_(repeat) {}
    MenuInput step();
    // Keys held as the menu opens choose nothing and move nothing: the menu
    // reads the controls once all are let go. For a menu the game opens by
    // itself, where a held key (the chord that took the window away, say)
    // was never meant for it.
    void ignore_keys_held_now() { keys_held_at_open_ = true; }

  private:
    int slot_;
    bool sounds_;
    bool keys_held_at_open_ = false;
    ChoiceLatch choice_;
    CursorLatch cursor_;
};

// The loop of every menu, one pass a frame: the controls are read, `show`
// presents the frame (given the pass's input, so that a panel may follow
// the cursor), a cancel sounds, and `act` answers the input, true when the
// menu is done. A closed window ends it before the next pass.
void run_menu(MenuControls &controls, const std::function<void(const MenuInput &)> &show,
              const std::function<bool(const MenuInput &)> &act);

} // namespace qv
