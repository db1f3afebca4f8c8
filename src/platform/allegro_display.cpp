// The real back end's window: its size, fullscreen, the picture's copy to
// the screen, the window's own keys (Alt+Enter and F11 for fullscreen, F12
// for a screenshot) and the input focus.
#include "platform/allegro_backend.h"

#include "core/sim_lock.h"

#include <loadpng.h>

#include <atomic>
#include <cstring>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace qv::platform {

namespace {

constexpr const char *WINDOW_TITLE = "QUARVELL";
constexpr const char *SCREENSHOT_PREFIX = "quarvell-";
constexpr int SCREENSHOT_LIMIT = 9999;
// Codes below 103 are stored in key bindings as the library numbers them.
constexpr int F12_STORED_CODE = KEY_F12;
constexpr int ACTION_COUNT = 4;

// Set by Allegro's display-switch callbacks (its input thread). A switch of
// our own between window and fullscreen also moves the focus: those events
// arrive while set_gfx_mode runs and are ignored, and the focus coming back
// cancels a loss not yet asked about.
std::atomic<bool> focus_away{false};
std::atomic<bool> switching_mode{false};

void on_switch_out() {
    if (!switching_mode.load()) focus_away.store(true);
}
void on_switch_in() { focus_away.store(false); }

bool f12_is_bound() {
    SimLock lock;
    for (int a = 0; a < ACTION_COUNT; ++a)
        if (g.key_binding[a] == F12_STORED_CODE) return true;
    return false;
}

} // namespace

bool AllegroBackend::set_mode(bool fullscreen) {
    if (fullscreen && (desktop_w_ <= 0 || desktop_h_ <= 0)) return false;
    const Layout next = fullscreen ? fullscreen_layout(desktop_w_, desktop_h_, display_.aspect)
                                   : window_layout(window_scale_, display_.aspect);
    switching_mode.store(true);
    const int rc = set_gfx_mode(fullscreen ? GFX_AUTODETECT_FULLSCREEN : GFX_AUTODETECT_WINDOWED,
                                next.screen_w, next.screen_h, 0, 0);
    switching_mode.store(false);
    if (rc != 0) return false;
    layout_ = next;
    fullscreen_ = fullscreen;
    set_window_title(WINDOW_TITLE);
    set_display_switch_callback(SWITCH_OUT, on_switch_out);
    set_display_switch_callback(SWITCH_IN, on_switch_in);
    clear_bitmap(screen);
    return true;
}

void AllegroBackend::toggle_fullscreen() {
    PALETTE pal;
    get_palette(pal);
    const bool want = !fullscreen_;
    if (!set_mode(want)) {
        const std::string why = allegro_error;
        if (!set_mode(!want)) {
            std::fprintf(stderr, "quarvell: cannot show the game any more: %s\n", allegro_error);
            request_close();
            return;
        }
        if (!switch_warned_) {
            switch_warned_ = true;
            std::fprintf(stderr, "quarvell: cannot switch to %s: %s\n",
                         want ? "fullscreen" : "a window", why.c_str());
        }
    }
    // A new mode starts with the library's default palette.
    set_palette_range(pal, 0, 255, FALSE);
}

void AllegroBackend::save_screenshot(BITMAP *frame) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path dir(display_.screenshot_dir);
    fs::create_directories(dir, ec);
    fs::path file;
    for (int n = 1; n <= SCREENSHOT_LIMIT && file.empty(); ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "%s%04d.png", SCREENSHOT_PREFIX, n);
        if (!fs::exists(dir / name, ec)) file = dir / name;
    }
    PALETTE pal;
    get_palette(pal);
    BITMAP *shown = create_sub_bitmap(frame, 0, 0, FRAME_W, FRAME_H);
    const bool ok = !file.empty() && shown && save_png(file.c_str(), shown, pal) == 0;
    if (shown) destroy_bitmap(shown);
    if (ok) {
        std::printf("quarvell: screenshot saved as %s\n", file.c_str());
        std::fflush(stdout);
    } else if (!screenshot_warned_) {
        screenshot_warned_ = true;
        std::fprintf(stderr, "quarvell: cannot save screenshots in %s%s%s\n", dir.c_str(),
                     ec ? ": " : "", ec ? ec.message().c_str() : "");
    }
}

void AllegroBackend::poll_window_keys(BITMAP *frame) {
    const bool alt = key[KEY_ALT] || key[KEY_ALTGR];
    const bool toggle = (alt && key[KEY_ENTER]) || key[KEY_F11];
    if (toggle && !toggle_was_down_) {
        ++window_keys_used_;
        toggle_fullscreen();
    }
    toggle_was_down_ = toggle;

    const bool shot = key[KEY_F12] != 0;
    if (shot && !shot_was_down_ && !f12_is_bound()) {
        ++window_keys_used_;
        save_screenshot(frame);
    }
    shot_was_down_ = shot;
}

void AllegroBackend::present(BITMAP *frame, int sx, int sy, bool vsync) {
    if (!screen) return;
    poll_window_keys(frame);
    if (!screen) return;
    if (vsync) ::vsync();
    draw_scaled(frame, sx, sy);
    frames_.fetch_add(1);
}

// Nearest neighbour at a whole scale: each frame row is widened once and
// copied to the screen rows it covers. Allegro's general stretch costs about
// as much again as the 8- to 32-bit conversion the X driver does anyway.
void AllegroBackend::draw_scaled(BITMAP *frame, int sx, int sy) {
    // Clipped to the source: with an offset the last column or row keeps
    // what it showed before. The offset is scaled with the picture.
    const int w = FRAME_W - sx, h = FRAME_H - sy;
    const Layout &l = layout_;
    const int out_w = w * l.scale, out_h = shown_height(h, l.scale, l.aspect);
    acquire_screen();
    if (!is_linear_bitmap(screen) || bitmap_color_depth(frame) != 8) {
        stretch_blit(frame, screen, sx, sy, w, h, l.x, l.y, out_w, out_h);
        release_screen();
        return;
    }
    row_.resize(static_cast<std::size_t>(out_w));
    int widened = -1;
    for (int r = 0; r < out_h; ++r) {
        const int src = sy + (l.aspect ? r * ASPECT_ROWS_IN / (ASPECT_ROWS_OUT * l.scale) : r / l.scale);
        if (src != widened) {
            const unsigned char *in = frame->line[src] + sx;
            unsigned char *out = row_.data();
            for (int x = 0; x < w; ++x)
                for (int k = 0; k < l.scale; ++k) *out++ = in[x];
            widened = src;
        }
        const uintptr_t line = bmp_write_line(screen, l.y + r);
        std::memcpy(reinterpret_cast<unsigned char *>(line) + l.x, row_.data(), row_.size());
    }
    bmp_unwrite_line(screen);
    release_screen();
}

bool AllegroBackend::focus_lost() { return focus_away.exchange(false); }

bool AllegroBackend::open_window(std::string &error) {
    if (get_desktop_resolution(&desktop_w_, &desktop_h_) != 0) desktop_w_ = desktop_h_ = 0;
    window_scale_ = display_.scale > 0 ? display_.scale
                                       : window_scale(desktop_w_, desktop_h_, display_.aspect);
    focus_away.store(false);
    set_color_depth(8);
    if (display_.fullscreen) {
        if (set_mode(true)) return true;
        std::fprintf(stderr, "quarvell: cannot start in fullscreen: %s\n", allegro_error);
    }
    if (!set_mode(false)) {
        const Layout want = window_layout(window_scale_, display_.aspect);
        error = "cannot open a " + std::to_string(want.screen_w) + "x" +
                std::to_string(want.screen_h) + " 8-bit window: " + allegro_error;
        return false;
    }
    return true;
}

} // namespace qv::platform
