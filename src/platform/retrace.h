// Waiting for the library's next retrace without polling for it.
//
// Under X, Allegro's vsync() polls with rest(1) until its retrace counter
// moves: some fourteen wake-ups of the main thread a frame at 70 Hz, each a
// trip through the scheduler. The library also calls `retrace_proc` on its
// timer thread at every retrace it counts; hooked there, the retrace wakes
// the waiting thread itself, once a frame.
#pragma once

// What the library calls on its timer thread at every retrace it counts. It
// is declared only among its old compatibility names, which the game leaves
// out.
extern "C" void (*retrace_proc)(void);

namespace qv::platform {

// Hooks the library's retrace. Call it from a timer callback: the library
// reads the hook on its timer thread (and install_timer clears it).
void hook_retrace();

// The retraces seen by the hook so far.
unsigned retraces_seen();

enum class RetraceWait {
    NotHooked, // the hook has seen no retrace yet: nothing was waited for
    Retrace,   // a retrace after `seen` came
    GaveUp,    // none came in a few retraces' time (the timer stopped)
};

// Returns once the hook has seen a retrace after `seen` (a count taken
// earlier from retraces_seen), or after a few retraces' time if none comes.
RetraceWait wait_for_retrace_after(unsigned seen);

} // namespace qv::platform
