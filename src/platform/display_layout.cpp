#include "platform/display_layout.h"

#include "core/frame.h"

#include <algorithm>

namespace qv::platform {

int shown_height(int rows, int scale, bool aspect) {
    return aspect ? rows * scale * ASPECT_ROWS_OUT / ASPECT_ROWS_IN : rows * scale;
}

int largest_scale(int w, int h, bool aspect) {
    int s = MIN_SCALE;
    while (s < MAX_SCALE && FRAME_W * (s + 1) <= w && shown_height(FRAME_H, s + 1, aspect) <= h) ++s;
    return s;
}

int window_scale(int desktop_w, int desktop_h, bool aspect) {
    if (desktop_w <= 0 || desktop_h <= 0) return FALLBACK_SCALE;
    return largest_scale(desktop_w - DESKTOP_ROOM_W, desktop_h - DESKTOP_ROOM_H, aspect);
}

Layout window_layout(int scale, bool aspect) {
    Layout l;
    l.scale = std::clamp(scale, MIN_SCALE, MAX_SCALE);
    l.aspect = aspect;
    l.screen_w = FRAME_W * l.scale;
    l.screen_h = shown_height(FRAME_H, l.scale, aspect);
    return l;
}

Layout fullscreen_layout(int screen_w, int screen_h, bool aspect) {
    Layout l;
    l.scale = largest_scale(screen_w, screen_h, aspect);
    l.aspect = aspect;
    l.screen_w = screen_w;
    l.screen_h = screen_h;
    l.x = std::max(0, (screen_w - FRAME_W * l.scale) / 2);
    l.y = std::max(0, (screen_h - shown_height(FRAME_H, l.scale, aspect)) / 2);
    return l;
}

} // namespace qv::platform
