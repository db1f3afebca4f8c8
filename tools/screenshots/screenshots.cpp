// screenshots DIR
// The pictures software centres show of the game (the metainfo's
// screenshots): frames of the real game, played headless on the virtual
// back end by the test harness's player, and enlarged 3x pixel for pixel
// as the window shows them. The frames are the game's own, so the pictures
// follow every change to the art or the drawing.
#include "core/sim_lock.h"
#include "harness/headless_game.h"
#include "harness/pilot.h"
#include "platform/platform.h"

#include <allegro.h>
#include <loadpng.h>

#include <cstdio>
#include <string>

namespace {

constexpr int SCALE = 3;
// How long the pilot flies before the flight picture is taken: long enough
// for the first wave to be in sight.
constexpr long FLIGHT_TICKS = 70L * 12;
constexpr long TICK_LIMIT = 70L * 120;

// The last frame in the palette on show, as the window shows it.
bool save(qv::platform::VirtualBackend &vb, const std::string &file) {
    BITMAP *frame = vb.last_frame();
    if (!frame) return false;
    BITMAP *big = create_bitmap_ex(8, frame->w * SCALE, frame->h * SCALE);
    stretch_blit(frame, big, 0, 0, frame->w, frame->h, 0, 0, big->w, big->h);
    const bool ok = save_png(file.c_str(), big, vb.palette()) == 0;
    destroy_bitmap(big);
    if (!ok) std::fprintf(stderr, "screenshots: cannot write %s\n", file.c_str());
    return ok;
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: screenshots DIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    qv::platform::init_headless();
    bool ok = true;
    {
        qv::test::HeadlessGame game("screenshots", true, true);
        long flown = 0;
        game.player.wait_for(qv::test::Screen::Title)
            // The logo grows, holds, then flattens: taken while it holds.
            .then([] {
                qv::SimLock lock;
                return qv::g.logo_holding != 0;
            })
            .check([&] { ok &= save(game.backend(), dir + "/title.png"); })
            .start_game({})
            .fly(qv::test::hunter_pilot(), [&] { return ++flown > FLIGHT_TICKS; })
            .check([&] { ok &= save(game.backend(), dir + "/flight.png"); })
            .close_window();
        game.run(TICK_LIMIT);
        ok &= flown > FLIGHT_TICKS;
    }
    return ok ? 0 : 1;
}
