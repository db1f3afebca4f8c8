/* Sends a window what a player's keyboard and window manager would:
 *   qv_xsend WINDOW down KEY...   key presses (X keysym names: Alt_L, F12)
 *   qv_xsend WINDOW up KEY...     their releases
 *   qv_xsend WINDOW close         WM_DELETE_WINDOW, as a close button does
 * Each event carries the time it is sent. (xdotool's --window events all
 * carry time 0, and the library drops a release that comes in one batch
 * with the next press of the same key and the same time, taking the two
 * for a key repeat: a key tapped twice while the game is busy then stays
 * held.) */
#include <X11/Xlib.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

static Time now_ms(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (Time)(t.tv_sec * 1000 + t.tv_nsec / 1000000);
}

static int send_key(Display *d, Window w, const char *name, int press) {
    const KeySym sym = XStringToKeysym(name);
    const KeyCode code = sym == NoSymbol ? 0 : XKeysymToKeycode(d, sym);
    if (!code) {
        fprintf(stderr, "qv_xsend: no key %s\n", name);
        return 0;
    }
    XEvent e;
    memset(&e, 0, sizeof e);
    e.xkey.type = press ? KeyPress : KeyRelease;
    e.xkey.display = d;
    e.xkey.window = w;
    e.xkey.root = DefaultRootWindow(d);
    e.xkey.subwindow = None;
    e.xkey.time = now_ms();
    e.xkey.same_screen = True;
    e.xkey.keycode = code;
    return XSendEvent(d, w, True, press ? KeyPressMask : KeyReleaseMask, &e) != 0;
}

static int send_close(Display *d, Window w) {
    XEvent e;
    memset(&e, 0, sizeof e);
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = (long)XInternAtom(d, "WM_DELETE_WINDOW", False);
    e.xclient.data.l[1] = (long)now_ms();
    return XSendEvent(d, w, False, NoEventMask, &e) != 0;
}

int main(int argc, char **argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: qv_xsend WINDOW down|up KEY... | qv_xsend WINDOW close\n");
        return 2;
    }
    Display *d = XOpenDisplay(NULL);
    if (!d) return 1;
    const Window w = (Window)strtoul(argv[1], NULL, 0);
    int ok = 1;
    if (strcmp(argv[2], "close") == 0) {
        ok = send_close(d, w);
    } else {
        const int press = strcmp(argv[2], "down") == 0;
        if (!press && strcmp(argv[2], "up") != 0) return 2;
        for (int i = 3; i < argc; ++i) ok = send_key(d, w, argv[i], press) && ok;
    }
    XCloseDisplay(d);
    return ok ? 0 : 1;
}
