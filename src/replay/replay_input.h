// The input side of recorded games, as scripts of the virtual back end.
//
// Why this is exact: a recorded game runs on the virtual clock (paced to
// real time and shown in the real window), so its timer callbacks run on
// the main thread at fixed points of the game loop instead of on Allegro's
// timer thread at whatever moment. Everything the game does is then a
// function of the input it reads, and it reads input only from the virtual
// keyboard, gamepad and close button, which change only at the ticks where
// the recorder copies the real ones into them. Writing down those changes
// is the whole recording; playing them back at the same ticks replays the
// game exactly, at any speed, with or without a window.
#pragma once

#include "core/game_state.h"
#include "platform/virtual_platform.h"
#include "replay/replay_file.h"

#include <cstdint>
#include <string>

namespace qv::replay {

std::uint16_t pad_bits(const PadState &pad);
PadState pad_from_bits(std::uint16_t bits);

// Copies the real keyboard, gamepad and close button into the game at
// every tick and writes down each change, with a checksum of the world
// every CHECK_EVERY ticks, into the recording's file as the game goes.
class Recorder {
  public:
    Recorder(platform::VirtualBackend &game, platform::Backend &real, RecordingWriter &out,
             const std::string &file);
    void tick();
    // After the game has ended: its last tick, score and checksum.
    void finish();

  private:
    // Ticks between two looks through the whole keyboard, key moves or not.
    static constexpr std::uint32_t FULL_KEY_SCAN_EVERY = 7;
    void copy_keys(std::uint32_t t);
    void add(const Event &e) { out_.add(e); }

    platform::VirtualBackend &game_;
    platform::Backend &real_;
    RecordingWriter &out_;
    std::string file_;
    bool told_failure_ = false;
    std::uint16_t pad_ = 0;
    std::int32_t score_ = 0;
    long window_keys_ = 0;
    bool given_[KEY_MAX] = {}; // the keys held as the game has them
};

// Feeds a recording's input to the game at its ticks, compares the world's
// checksum wherever the recording has one and closes the game at the first
// difference, and at the recording's last tick, when the game is still
// running there. With `real` (the window), Escape or the window's close
// button ends the replay; every other key of the real keyboard is ignored.
class Playback {
  public:
    Playback(platform::VirtualBackend &game, const Recording &r,
             platform::Backend *real = nullptr);
    void tick();

    // The first tick whose checksum differs, or -1.
    long departed_at() const { return departed_at_; }
    // The last tick whose checksum agreed, or -1.
    long agreed_at() const { return agreed_at_; }
    // True when the game was still running after the recording's last tick.
    bool ran_past_end() const { return ran_past_end_; }
    bool stopped_by_player() const { return stopped_by_player_; }
    // The score the game ended with, as the recorder counts it.
    std::int32_t final_score() const { return score_; }

  private:
    platform::VirtualBackend &game_;
    const Recording &r_;
    platform::Backend *real_;
    std::size_t next_ = 0;
    long departed_at_ = -1;
    long agreed_at_ = -1;
    bool ran_past_end_ = false;
    bool stopped_by_player_ = false;
    std::int32_t score_ = 0;
};

// The score of the game being played, or of the last one: the title menu
// sets the score to 0, so the last score seen in a game is kept.
std::int32_t track_score(std::int32_t last);

} // namespace qv::replay
