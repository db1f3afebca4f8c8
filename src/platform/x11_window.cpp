#include "platform/x11_window.h"

#include <allegro.h>
// After allegro.h; brings Xlib, whose macros (None, Bool, Status...) stay
// in this file.
#include <xalleg.h>

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <climits>
#include <cstring>

#include <unistd.h>

// The X driver's "show this part of the screen": what its blit and drawing
// calls do after drawing. Allegro 4.4 exports it but declares it in no
// installed header.
extern "C" void _xwin_update_screen(int x, int y, int w, int h);

namespace qv::platform {

void name_windows(const char *instance, const char *cls) { xwin_set_window_name(instance, cls); }

void set_window_icon(std::span<const unsigned long> icon) {
    if (icon.empty() || !screen) return;
    // Acquiring the screen takes the driver's X lock: its input thread
    // talks to the display too.
    acquire_screen();
    // The managed top-level window (the one holding WM_CLASS), or the
    // fullscreen one.
    const Window w = _xwin.wm_window ? _xwin.wm_window : _xwin.fs_window;
    if (_xwin.display && w) {
        const Atom net_wm_icon = XInternAtom(_xwin.display, "_NET_WM_ICON", False);
        XChangeProperty(_xwin.display, w, net_wm_icon, XA_CARDINAL, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char *>(icon.data()), static_cast<int>(icon.size()));
        XFlush(_xwin.display);
    }
    release_screen();
}

void set_window_owner(const char *title) {
    if (!screen) return;
    acquire_screen();
    const Window w = _xwin.wm_window ? _xwin.wm_window : _xwin.fs_window;
    if (_xwin.display && w) {
        Display *d = _xwin.display;
        const Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
        XChangeProperty(d, w, XInternAtom(d, "_NET_WM_NAME", False), utf8, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char *>(title),
                        static_cast<int>(std::strlen(title)));
        // The pid means something only with the machine it runs on.
        char host[HOST_NAME_MAX + 1] = {};
        if (gethostname(host, sizeof host - 1) == 0) {
            XTextProperty machine{};
            char *name = host;
            if (XStringListToTextProperty(&name, 1, &machine)) {
                XSetWMClientMachine(d, w, &machine);
                XFree(machine.value);
                const long pid = getpid();
                XChangeProperty(d, w, XInternAtom(d, "_NET_WM_PID", False), XA_CARDINAL, 32,
                                PropModeReplace, reinterpret_cast<const unsigned char *>(&pid), 1);
            }
        }
        XFlush(d);
    }
    release_screen();
}

void show_screen_part(int x, int y, int w, int h) { _xwin_update_screen(x, y, w, h); }

void sync_with_server() {
    if (!screen) return;
    acquire_screen();
    if (_xwin.display) XSync(_xwin.display, False);
    release_screen();
}

} // namespace qv::platform
