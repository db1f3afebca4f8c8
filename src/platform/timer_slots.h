// The game's periodic callbacks on Allegro's timer thread, each through a
// slot of ours. A slot does two things the library does not:
// - After a stall (the process stopped by job control or a debugger, the
//   machine suspended), the library runs every tick it missed at once; a
//   slot runs one and drops the rest, and says that a stall happened.
// - All slots can be taken off the timer and put back (a hidden window),
//   without the library then catching up the time they were off.
#pragma once

#include "platform/platform.h"

namespace qv::platform {

// Calls `cb` every `period` clock ticks (CLOCK_HZ), from now on; a callback
// installed again is re-timed.
void install_slot(Callback cb, long period);
void remove_slot(Callback cb);
// Takes every installed callback off the library's timer, and puts them
// back. Main thread only.
void suspend_slots();
void resume_slots();
// True once for each stall seen since the last call (any thread).
bool take_stall();

} // namespace qv::platform
