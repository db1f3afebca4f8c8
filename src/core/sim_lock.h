// The one lock between the timer thread and the main thread.
//
// The timer callbacks hold it for the whole of their step; the main thread
// takes it only around short copies and updates of shared fields (snapshot,
// wave release, settings toggles, panel set-up). Never call Allegro while
// holding it: several Allegro calls wait for the timer thread, which may be
// waiting for this lock.
#pragma once

#include <mutex>

namespace qv {

std::mutex &sim_mutex();

// Scoped hold of the sim lock.
class SimLock {
  public:
    SimLock() : hold_(sim_mutex()) {}

  private:
    std::lock_guard<std::mutex> hold_;
};

// Runs f with the sim lock held and returns what it returns.
template <class F> auto locked(F f) {
    SimLock lock;
    return f();
}

} // namespace qv
