// What the desktop does to the game's window, read from the X server: can
// the player see it, has the window manager made it fullscreen, was its
// close button pressed while the library reads no input; and what to do
// when the connection to the X server is lost.
#pragma once

namespace qv::platform {

struct WindowState {
    // Mapped and viewable, not hidden (minimised), and on the desktop on
    // show; true when it cannot be told (no window manager says otherwise).
    bool shown = true;
    // The window manager asked for fullscreen (_NET_WM_STATE_FULLSCREEN).
    bool wm_fullscreen = false;
};

// The state of the window the game shows in: the managed window, or the
// fullscreen one.
WindowState window_state(bool fullscreen);

// Stops and restarts the library's background thread, which reads the X
// events (and wakes a thousand times a second to do it). While it is
// stopped, nothing reads the keyboard, the focus or the close button.
void pause_library_input(bool paused);

// True when the window's close button was pressed (WM_DELETE_WINDOW) since
// the library last read its events: for while its input is paused.
bool take_close_message();

// Calls `lost` when the connection to the X server breaks (the server
// ended, or the desktop killed the window's connection), on whichever
// thread found it, instead of Xlib's own exit, which waits forever on the
// library's lock. `lost` must not return.
void on_connection_lost(void (*lost)());

} // namespace qv::platform
