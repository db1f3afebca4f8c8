// The first gamepad, through Allegro's Linux joystick driver: found when it
// is plugged in, missed at once when it is pulled out, and read as players
// hold pads today (the left stick and the D-pad steer alike, buttons 1-4,
// Start).
#pragma once

#include "core/input_state.h"
#include "platform/pad_layout.h"

#include <atomic>
#include <mutex>

namespace qv::platform {

class Gamepad {
  public:
    // Main thread: installs Allegro's joystick driver afresh (it opens the
    // devices only then, so a pad plugged in since is found) and reads the
    // pad's layout. Never call it holding the sim lock.
    void install();
    // Main thread, once a frame: installs again when the poll has seen a
    // pad's device file appear. Costs nothing otherwise.
    void look_after();
    // The sampling thread, one caller at a time: the pad as it is now,
    // nothing before the first install. It never waits for the main thread:
    // while an install runs, the last state is given again.
    void poll(PadState &pad);
    // Before the library shuts down.
    void shutdown();

  private:
    std::mutex mutex_;
    // ---- under the mutex ----
    bool wanted_ = false;      // installed once: the gamepad setting is on
    bool installed_ = false;   // Allegro's driver has the pad open
    bool gone_ = false;        // its device file has vanished since
    bool device_seen_ = false; // a device file was there at the last look
    const char *device_ = nullptr;
    PadLayout layout_;
    int polls_since_look_ = 0;
    // ---- the poller's own ----
    PadState last_{};
    // ---- from the poll to the main thread ----
    std::atomic<bool> appeared_{false};
};

} // namespace qv::platform
