// The real game (game_main) on the virtual back end: headless, on the
// virtual clock, with a scripted player and its own folder for the
// player's files.
#pragma once

#include "harness/player.h"
#include "loop/game_loop.h"
#include "persist/saves.h"
#include "platform/virtual_platform.h"

#include <functional>
#include <string>

namespace qv::test {

// A game that keeps the player's files in `folder`, with the build's data.
GameOptions game_options(const std::string &folder);

// The virtual back end as the player's machine.
class VirtualHost : public PlayerHost {
  public:
    explicit VirtualHost(platform::VirtualBackend &vb) : vb_(vb) {}
    long long ticks() const override { return vb_.ticks(); }
    long long frames() const override { return vb_.frames_presented(); }
    bool fading() const override { return vb_.fading(); }
    void request_close() override { vb_.request_close(); }
    void set_pad(const PadState &pad) override { vb_.set_pad(pad); }
    void hold_key(int index, bool held) override {
        if (!route || !route(index, held)) vb_.set_key(index, held);
    }
    // Takes the keys it wants (returns true) elsewhere, a pad say, in
    // place of the keyboard.
    std::function<bool(int index, bool held)> route;

  private:
    platform::VirtualBackend &vb_;
};

class HeadlessGame {
    // First: the player is built on the back end.
    std::string folder_;
    platform::VirtualBackend vb_;
    VirtualHost host_{vb_};

  public:
    // `draw` false skips composing frames (everything else runs);
    // `keep_frames` keeps the last frame shown (backend().last_frame()); with
    // `gamepad` the game reads that real pad instead of the script's.
    explicit HeadlessGame(const std::string &tag, bool draw = false, bool keep_frames = false,
                          platform::Gamepad *gamepad = nullptr);
    // A second game in the same folder (a restart).
    HeadlessGame(const HeadlessGame &before, bool draw = false);

    // Runs game_main until it returns; gives its exit status. A script that
    // has run out while the game goes on, or a game that passes max_ticks,
    // has its window closed (and timed_out() tells); a game still running
    // AFTER_SCRIPT ticks after its window was closed throws.
    int run(long max_ticks = DEFAULT_LIMIT);

    Player player;
    // Where game_main reads and saves (the folder's files unless changed).
    GameOptions options;
    platform::VirtualBackend &backend() { return vb_; }
    VirtualHost &host() { return host_; }
    const std::string &folder() const { return folder_; }
    std::string settings_file() const { return folder_ + "/" + SETTINGS_FILE; }
    std::string records_file() const { return folder_ + "/" + RECORDS_FILE; }
    bool timed_out() const { return timed_out_; }
    // Resets the game state and reads the folder's settings file into it.
    void load_saved_settings() const;

    static constexpr long DEFAULT_LIMIT = 70L * 60 * 60; // an hour of play
    // Once the script is done, the game gets this long to end by itself.
    static constexpr long AFTER_SCRIPT = 70L * 20;

  private:
    void input();
    long limit_ = DEFAULT_LIMIT;
    long idle_ = 0;
    long closed_ticks_ = 0;
    bool timed_out_ = false;
};

} // namespace qv::test
