#include "platform/platform.h"

#include "platform/virtual_platform.h"

#include <cerrno>
#include <cstdlib>

namespace qv::platform {

namespace {
Backend *current = nullptr;
} // namespace

Backend &backend() {
    // Unit tests and tools that never open a window: nothing to show, play
    // or read.
    static VirtualBackend headless([] {
        VirtualOptions o = undrawn();
        o.window_keys = false;
        return o;
    }());
    return current ? *current : headless;
}

UseBackend::UseBackend(Backend &b) : previous_(current) { current = &b; }
UseBackend::~UseBackend() { current = previous_; }

LeavableWait::LeavableWait() : closes_(backend().close_requests()) {
    backend().set_leavable_wait(true);
}
LeavableWait::~LeavableWait() { backend().set_leavable_wait(false); }

void init_headless() { install_allegro(SYSTEM_NONE, &errno, atexit); }

void Backend::install_timers(Callback logic, Callback joystick, Callback enemy_ai) {
    install_callback(logic, LOGIC_PERIOD);
    install_callback(joystick, JOYSTICK_PERIOD);
    install_callback(enemy_ai, ENEMY_AI_PERIOD);
}

} // namespace qv::platform
