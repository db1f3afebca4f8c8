// What the game asks of Allegro's X11 driver beyond its portable calls:
// the window's name and class (how docks and task switchers group it and
// match it to its desktop entry), its icon, and showing a part of the
// screen that was written straight into its memory.
#pragma once

#include <span>

namespace qv::platform {

// WM_CLASS of the windows made from now on: instance and class.
void name_windows(const char *instance, const char *cls);
// Puts the icon (_NET_WM_ICON cardinals) on the game's window; nothing
// when it is empty or there is no window.
void set_window_icon(std::span<const unsigned long> icon);
// Says whose the window is, as desktops ask: _NET_WM_NAME (the title in
// UTF-8), and _NET_WM_PID with the WM_CLIENT_MACHINE it belongs to, by
// which a window manager ends a window that no longer answers.
void set_window_owner(const char *title);
// Sends the rectangle of the screen bitmap to the window, as the driver's
// own drawing calls do after they draw.
void show_screen_part(int x, int y, int w, int h);
// Waits until the X server has handled every request sent to it, as the
// driver's vsync does before waiting for the retrace.
void sync_with_server();

} // namespace qv::platform
