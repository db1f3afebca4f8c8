// The input side of recorded games, as scripts of the virtual back end.
//
// Why this is exact: a recorded game runs on the virtual clock (paced to
// real time and shown in the real window), so its timer callbacks run on
// the main thread at fixed points of the game loop instead of on Allegro's
// timer thread at whatever moment. Everything the game does is then a
// function of the input it reads, and it reads only the tick's input state
// (core/input_state.h), which the recorder takes from the real window at
// each tick, writes down, and hands to the game as written. The changes of that state from
// tick to tick are the whole recording; playing them back at the same ticks
// replays the game exactly, at any speed, with or without a window.
#pragma once

#include "core/game_state.h"
#include "platform/virtual_platform.h"
#include "replay/replay_file.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qv::replay {

std::uint16_t pad_bits(const PadState &pad);
PadState pad_from_bits(std::uint16_t bits);

// The events that take the input `from` to `to` at tick t, appended to
// `out`; applying them to `from` (apply_event) gives `to` again.
void input_changes(const InputState &from, const InputState &to, std::uint32_t t,
                   std::vector<Event> &out);
// Applies one input event (any kind but Check) to `input`.
void apply_event(const Event &e, InputState &input);

// Takes the real window's input at every tick and writes down each change,
// with a checksum of the world every CHECK_EVERY ticks, into the
// recording's file as the game goes. The game is handed the input as read
// back from the bytes written, so it plays what a replay will read: a fault
// of the format shows at once, while recording.
class Recorder {
  public:
    Recorder(platform::VirtualBackend &game, platform::Backend &real, RecordingWriter &out,
             const std::string &file);
    void tick();
    // After the game has ended: its last tick, score and checksum.
    void finish();

  private:
    platform::VirtualBackend &game_;
    platform::Backend &real_;
    RecordingWriter &out_;
    std::string file_;
    bool told_failure_ = false;
    std::int32_t score_ = 0;
    InputState given_; // the input as the game has it: as written
};

// Feeds a recording's input to the game at its ticks, compares the world's
// checksum wherever the recording has one and closes the game at the first
// difference, and at the recording's last tick, when the game is still
// running there. With `real` (the window), Escape or the window's close
// button ends the replay; every other key of the real keyboard is ignored,
// but the window's own keys work.
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
    InputState input_;
    long departed_at_ = -1;
    long agreed_at_ = -1;
    bool ran_past_end_ = false;
    bool stopped_by_player_ = false;
    std::int32_t score_ = 0;
};

// The score of the game being played, or of the last one: the title menu
// sets the score to 0, so the last score seen in a game is kept.
std::int32_t track_score(std::int32_t last);

// The world's checksum (core/snapshot.h), taken under the sim lock.
std::uint32_t world_checksum();

} // namespace qv::replay
