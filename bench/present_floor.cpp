// The floor of presenting frames: a bare Allegro program that shows a ready
// window-sized true-colour picture at 70 Hz, the retrace wait and one blit a
// frame, in a window the size of the game's at the same scale. The game's
// CPU while flying is measured against it (scripts/measure_performance.sh):
// what the game spends beyond this is its own work, not the showing.
// Usage: present_floor [SCALE] (default 3); Escape or the close button ends it.
#include <allegro.h>

#include <atomic>
#include <cstdlib>
#include <string>

namespace {

constexpr int PICTURE_W = 320, PICTURE_H = 200;
constexpr int DEFAULT_SCALE = 3;
constexpr int FRAMES_PER_SECOND = 70;
constexpr int DEPTH = 32;

std::atomic<bool> closing{false};
void on_close() { closing.store(true); }
// A 70 Hz callback, as the game has: the retrace wait is paced by it.
std::atomic<long> ticks{0};
void on_tick() { ticks.fetch_add(1); }

} // namespace

int main(int argc, char **argv) {
    const int scale = argc > 1 ? std::atoi(argv[1]) : DEFAULT_SCALE;
    if (scale < 1) return 2;
    if (allegro_init() != 0 || install_timer() != 0 || install_keyboard() != 0) return 1;
    install_int_ex(on_tick, BPS_TO_TIMER(FRAMES_PER_SECOND));
    set_color_depth(DEPTH);
    const int w = PICTURE_W * scale, h = PICTURE_H * scale;
    if (set_gfx_mode(GFX_AUTODETECT_WINDOWED, w, h, 0, 0) != 0) return 1;
    set_window_title("present floor");
    set_close_button_callback(on_close);
    // The ready picture: a colour ramp, made once.
    BITMAP *picture = create_bitmap(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) putpixel(picture, x, y, makecol(x * 255 / w, y * 255 / h, 128));
    while (!closing.load() && !key[KEY_ESC]) {
        vsync();
        blit(picture, screen, 0, 0, 0, 0, w, h);
    }
    destroy_bitmap(picture);
    return 0;
}
END_OF_MAIN()
