// The real back end's window: its size, fullscreen, the picture and its
// palette on the screen, fades, what the window's own keys do (found in
// window_keys) and the input focus.
#include "platform/allegro_backend.h"

#include "core/frame.h"
#include "platform/retrace.h"
#include "platform/screenshot.h"
#include "platform/x11_desktop.h"
#include "platform/x11_window.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <utility>

namespace qv::platform {

namespace {

constexpr const char *WINDOW_TITLE = "QUARVELL";
// The screen's depth; the game's own bitmaps stay 8-bit.
constexpr int SCREEN_DEPTH = 32;
constexpr int GAME_DEPTH = 8;
// A fade runs over 64 palette steps, `speed` steps per two retraces, as the
// library's own fades do.
constexpr int FADE_STEPS = 64;
constexpr int RETRACES_PER_SPEED = 2;

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

// How often the window is looked at: a round trip to the X server.
constexpr long long WATCH_NS = 100'000'000;

// 6-bit palette levels to 8 bits, as an 8-bit X screen shows them.
int level8(int v) { return (v << 2) | (v >> 4); }

// One picture row in screen pixels, each repeated `scale` times. Four
// picture pixels make 4 x SCALE screen pixels, stored as SCALE 16-byte
// vectors whose lanes are chosen at compile time: one store per four
// screen pixels instead of one per pixel (at 3x a third less time than
// plain stores, less than copying a ready row). This runs for every row
// of every frame.
using Lanes = std::uint32_t __attribute__((vector_size(16)));
constexpr int LANES = 4;
static_assert(FRAME_W % LANES == 0);

template <int SCALE, int V> inline void store_lanes(const std::uint32_t *c, std::uint32_t *out) {
    const Lanes v = {c[(V * LANES + 0) / SCALE], c[(V * LANES + 1) / SCALE], c[(V * LANES + 2) / SCALE],
                     c[(V * LANES + 3) / SCALE]};
    std::memcpy(out + V * LANES, &v, sizeof v);
}

template <int SCALE, int... V>
inline void store_widened(const std::uint32_t *c, std::uint32_t *out, std::integer_sequence<int, V...>) {
    (store_lanes<SCALE, V>(c, out), ...);
}

template <int SCALE>
void widen_fixed(const unsigned char *in, const std::uint32_t *colour, std::uint32_t *out) {
    for (int x = 0; x < FRAME_W; x += LANES, out += LANES * SCALE) {
        const std::uint32_t c[LANES] = {colour[in[x]], colour[in[x + 1]], colour[in[x + 2]],
                                        colour[in[x + 3]]};
        store_widened<SCALE>(c, out, std::make_integer_sequence<int, SCALE>());
    }
}

template <int... S>
void widen_row(const unsigned char *in, const std::uint32_t *colour, std::uint32_t *out, int scale,
               std::integer_sequence<int, S...>) {
    // One case per scale from MIN_SCALE to MAX_SCALE.
    ((scale == S + MIN_SCALE ? widen_fixed<S + MIN_SCALE>(in, colour, out) : void()), ...);
}

void widen_row(const unsigned char *in, const std::uint32_t *colour, std::uint32_t *out, int scale) {
    widen_row(in, colour, out, scale, std::make_integer_sequence<int, MAX_SCALE - MIN_SCALE + 1>());
}

} // namespace

bool AllegroBackend::set_mode(bool fullscreen) {
    if (fullscreen && (desktop_w_ <= 0 || desktop_h_ <= 0)) return false;
    const Layout next = fullscreen ? fullscreen_layout(desktop_w_, desktop_h_, display_.aspect)
                                   : window_layout(window_scale_, display_.aspect);
    switching_mode.store(true);
    // Only the screen is true colour: bitmaps made and loaded later stay
    // 8-bit, as the game draws them.
    set_color_depth(SCREEN_DEPTH);
    const int rc = set_gfx_mode(fullscreen ? GFX_AUTODETECT_FULLSCREEN : GFX_AUTODETECT_WINDOWED,
                                next.screen_w, next.screen_h, 0, 0);
    set_color_depth(GAME_DEPTH);
    switching_mode.store(false);
    if (rc != 0) return false;
    layout_ = next;
    fullscreen_ = fullscreen;
    set_window_title(WINDOW_TITLE);
    set_window_icon(display_.window_icon);
    set_window_owner(WINDOW_TITLE);
    set_display_switch_callback(SWITCH_OUT, on_switch_out);
    set_display_switch_callback(SWITCH_IN, on_switch_in);
    clear_bitmap(screen);
    // The new screen's pixel format; the library's palette is reset too.
    show_palette(palette_);
    return true;
}

void AllegroBackend::toggle_fullscreen() {
    const bool want = !fullscreen_;
    if (set_mode(want)) return;
    const std::string why = allegro_error;
    if (!set_mode(!want)) {
        std::fprintf(stderr, "quarvell: cannot show the game any more: %s\n", allegro_error);
        request_close();
        return;
    }
    if (!switch_warned_) {
        switch_warned_ = true;
        std::fprintf(stderr, "quarvell: cannot switch to %s: %s\n", want ? "fullscreen" : "a window",
                     why.c_str());
    }
}

void AllegroBackend::save_screenshot() {
    std::string error;
    const std::string file = platform::save_screenshot(display_.screenshot_dir, shown_, palette_, error);
    if (!file.empty()) {
        std::printf("quarvell: screenshot saved as %s\n", file.c_str());
        std::fflush(stdout);
    } else {
        const std::string &dir = display_.screenshot_dir;
        std::fprintf(stderr, "quarvell: cannot save a screenshot%s%s: %s\n",
                     dir.empty() ? "" : " in ", dir.c_str(), error.c_str());
    }
}

void AllegroBackend::answer_window_keys() {
    if (want_fullscreen_switch_.exchange(false)) toggle_fullscreen();
    if (want_screenshot_.exchange(false)) save_screenshot();
}

void AllegroBackend::present(BITMAP *frame, int sx, int sy, bool vsync) {
    // A pad plugged in since the last frame is installed between two.
    gamepad_.look_after();
    if (!screen) return;
    // Clipped to the source: with an offset the last column or row keeps
    // what it showed before. The offset is scaled with the picture.
    blit(frame, shown_, sx, sy, 0, 0, FRAME_W - sx, FRAME_H - sy);
    answer_window_keys();
    watch_window();
    if (!screen) return;
    if (vsync) wait_for_retrace();
    draw_shown();
    frames_.fetch_add(1);
}

void AllegroBackend::watch_window() {
    const long long now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                              std::chrono::steady_clock::now().time_since_epoch())
                              .count();
    if (now - watched_ns_ < WATCH_NS) return;
    watched_ns_ = now;
    const WindowState state = window_state(fullscreen_);
    // Fullscreen asked for by the window manager (a title-bar menu, a dock,
    // a tiling manager) is the game's own fullscreen: the managed window
    // would only grow around a picture of the window's size.
    if (state.wm_fullscreen && !fullscreen_) {
        toggle_fullscreen();
        return;
    }
    if (!state.shown) sleep_while_hidden();
}

// As the library's vsync(): the X server catches up with what was sent to
// it (the picture's memory is shared with it), then the next retrace. The
// wait sleeps until the retrace wakes it rather than polling for it.
void AllegroBackend::wait_for_retrace() {
    const unsigned seen = retraces_seen();
    sync_with_server();
    if (wait_for_retrace_after(seen) == RetraceWait::NotHooked) ::vsync();
}

// Nearest neighbour at a whole scale, straight into the window's own
// picture: every screen row is coloured and widened from its picture row
// where it is shown, then the X driver is asked to show the whole rectangle
// at once. (Widening a row again from the 256-colour table in the cache
// costs less than copying the widened row from the screen row above.
// Rows written through bmp_write_line would each be sent to the X server
// by itself, under the driver's lock: 600 requests a frame at 3x.)
void AllegroBackend::draw_shown() {
    if (!screen || !shown_ || bitmap_color_depth(screen) != SCREEN_DEPTH || !is_linear_bitmap(screen))
        return;
    const Layout &l = layout_;
    const int out_h = shown_height(FRAME_H, l.scale, l.aspect);
    acquire_screen();
    for (int r = 0; r < out_h; ++r) {
        const int src = l.aspect ? r * ASPECT_ROWS_IN / (ASPECT_ROWS_OUT * l.scale) : r / l.scale;
        auto *out = reinterpret_cast<std::uint32_t *>(screen->line[l.y + r]) + l.x;
        widen_row(shown_->line[src], colour_, out, l.scale);
    }
    show_screen_part(l.x, l.y, FRAME_W * l.scale, out_h);
    release_screen();
}

void AllegroBackend::show_palette(const PALETTE pal) {
    if (pal != palette_) std::memcpy(palette_, pal, sizeof(PALETTE));
    for (int i = 0; i < PAL_SIZE; ++i)
        colour_[i] = static_cast<std::uint32_t>(
            makecol_depth(SCREEN_DEPTH, level8(pal[i].r), level8(pal[i].g), level8(pal[i].b)));
    // The library keeps its own copy, for whoever asks it.
    set_palette_range(palette_, 0, PAL_SIZE - 1, FALSE);
    draw_shown();
}

void AllegroBackend::fade(const PALETTE from, const PALETTE to, int speed) {
    fading_.store(true);
    PALETTE start_pal, end_pal, step;
    std::memcpy(start_pal, from, sizeof(PALETTE));
    std::memcpy(end_pal, to, sizeof(PALETTE));
    const int start = retrace_count;
    for (int c = 0; c < FADE_STEPS && speed > 0;
         c = (retrace_count - start) * speed / RETRACES_PER_SPEED) {
        fade_interpolate(start_pal, end_pal, step, c, 0, PAL_SIZE - 1);
        show_palette(step);
        wait_for_retrace();
    }
    show_palette(end_pal);
    fading_.store(false);
}

void AllegroBackend::set_palette(const PALETTE pal) { show_palette(pal); }
void AllegroBackend::fade_in(const PALETTE pal, int speed) { fade(black_palette, pal, speed); }
void AllegroBackend::fade_out(int speed) { fade(palette_, black_palette, speed); }

void AllegroBackend::clear_screen() {
    if (!shown_) return;
    clear_bitmap(shown_);
    draw_shown();
}

bool AllegroBackend::take_focus_loss() { return focus_away.exchange(false); }

bool AllegroBackend::open_window(std::string &error) {
    if (get_desktop_resolution(&desktop_w_, &desktop_h_) != 0) desktop_w_ = desktop_h_ = 0;
    window_scale_ = display_.scale > 0 ? display_.scale
                                       : window_scale(desktop_w_, desktop_h_, display_.aspect);
    // A scale asked for that the desktop cannot show is brought down to the
    // largest it can, and the player is told, rather than getting a window
    // whose edges are off the screen.
    if (display_.scale > 0 && desktop_w_ > 0 && desktop_h_ > 0) {
        const int fits = largest_scale(desktop_w_, desktop_h_, display_.aspect);
        if (window_scale_ > fits) {
            std::fprintf(stderr, "quarvell: --scale %d does not fit the %dx%d desktop; using --scale %d\n",
                         window_scale_, desktop_w_, desktop_h_, fits);
            window_scale_ = fits;
        }
    }
    focus_away.store(false);
    shown_ = create_bitmap_ex(GAME_DEPTH, FRAME_W, FRAME_H);
    clear_bitmap(shown_);
    if (display_.fullscreen) {
        if (set_mode(true)) return true;
        std::fprintf(stderr, "quarvell: cannot start in fullscreen: %s\n", allegro_error);
    }
    if (!set_mode(false)) {
        const Layout want = window_layout(window_scale_, display_.aspect);
        error = "cannot open a " + std::to_string(want.screen_w) + "x" +
                std::to_string(want.screen_h) + " window: " + allegro_error;
        return false;
    }
    return true;
}

void AllegroBackend::close_window() {
    if (shown_) destroy_bitmap(shown_);
    shown_ = nullptr;
}

} // namespace qv::platform
