#include "platform/x11_desktop.h"

#include <allegro.h>
#include <allegro/platform/aintunix.h>
// After allegro.h; brings Xlib, whose macros (None, Bool, Status...) stay
// in this file.
#include <xalleg.h>

#include <X11/Xatom.h>

#include <atomic>

#include <unistd.h>

namespace qv::platform {

namespace {

constexpr unsigned long ALL_DESKTOPS = 0xFFFFFFFF;
constexpr long MAX_STATE_ATOMS = 32;

struct Atoms {
    Atom wm_state, hidden, fullscreen, wm_desktop, current_desktop, protocols, delete_window;
};

// Looked up once per display (a round trip each). Main thread only.
const Atoms &atoms(Display *d) {
    static Display *looked_up = nullptr;
    static Atoms a{};
    if (looked_up != d) {
        a.wm_state = XInternAtom(d, "_NET_WM_STATE", False);
        a.hidden = XInternAtom(d, "_NET_WM_STATE_HIDDEN", False);
        a.fullscreen = XInternAtom(d, "_NET_WM_STATE_FULLSCREEN", False);
        a.wm_desktop = XInternAtom(d, "_NET_WM_DESKTOP", False);
        a.current_desktop = XInternAtom(d, "_NET_CURRENT_DESKTOP", False);
        a.protocols = XInternAtom(d, "WM_PROTOCOLS", False);
        a.delete_window = XInternAtom(d, "WM_DELETE_WINDOW", False);
        looked_up = d;
    }
    return a;
}

// A 32-bit property's values (atoms or cardinals), up to `room` of them;
// how many were read.
long read_longs(Display *d, Window w, Atom property, Atom type, unsigned long *out, long room) {
    Atom got_type = None;
    int format = 0;
    unsigned long n = 0, after = 0;
    unsigned char *data = nullptr;
    if (XGetWindowProperty(d, w, property, 0, room, False, type, &got_type, &format, &n, &after, &data) !=
            Success ||
        !data) {
        return 0;
    }
    long count = 0;
    if (got_type == type && format == 32) {
        // Xlib hands 32-bit items as longs.
        const auto *items = reinterpret_cast<const unsigned long *>(data);
        for (; count < static_cast<long>(n) && count < room; ++count) out[count] = items[count];
    }
    XFree(data);
    return count;
}

std::atomic<bool> connection_lost{false};
std::atomic<void (*)()> lost_handler{nullptr};

int on_io_error(Display *) {
    // The first thread to find the connection gone saves and ends the
    // game; any other that finds it too waits for that.
    if (!connection_lost.exchange(true))
        if (const auto lost = lost_handler.load()) lost();
    for (;;) pause();
}

} // namespace

WindowState window_state(bool fullscreen) {
    WindowState s;
    if (!screen) return s;
    acquire_screen();
    Display *d = _xwin.display;
    const Window w = fullscreen && _xwin.fs_window ? _xwin.fs_window : _xwin.wm_window;
    if (d && w) {
        const Atoms &a = atoms(d);
        XWindowAttributes attributes;
        if (XGetWindowAttributes(d, w, &attributes)) s.shown = attributes.map_state == IsViewable;
        unsigned long state[MAX_STATE_ATOMS];
        const long n = read_longs(d, w, a.wm_state, XA_ATOM, state, MAX_STATE_ATOMS);
        for (long i = 0; i < n; ++i) {
            if (state[i] == a.hidden) s.shown = false;
            if (state[i] == a.fullscreen) s.wm_fullscreen = true;
        }
        // Window managers that keep the windows of other desktops mapped.
        unsigned long own = 0, current = 0;
        if (read_longs(d, w, a.wm_desktop, XA_CARDINAL, &own, 1) == 1 && own != ALL_DESKTOPS &&
            read_longs(d, DefaultRootWindow(d), a.current_desktop, XA_CARDINAL, &current, 1) == 1 &&
            own != current)
            s.shown = false;
    }
    release_screen();
    return s;
}

void pause_library_input(bool paused) {
    // The thread runs the library's input handlers only while "interrupts"
    // are enabled, and sleeps on a condition while they are not.
    if (paused)
        _unix_bg_man->disable_interrupts();
    else
        _unix_bg_man->enable_interrupts();
}

bool take_close_message() {
    if (!screen) return false;
    bool asked = false;
    acquire_screen();
    if (Display *d = _xwin.display) {
        const Atoms &a = atoms(d);
        XEvent e;
        while (XCheckTypedEvent(d, ClientMessage, &e))
            if (e.xclient.message_type == a.protocols &&
                static_cast<Atom>(e.xclient.data.l[0]) == a.delete_window)
                asked = true;
    }
    release_screen();
    return asked;
}

void on_connection_lost(void (*lost)()) {
    lost_handler.store(lost);
    XSetIOErrorHandler(on_io_error);
}

} // namespace qv::platform
