#include "harness/headless_game.h"

#include "core/game_state.h"
#include "loop/game_loop.h"
#include "persist/settings.h"
#include "support/test_support.h"

#include <cstdio>
#include <stdexcept>

namespace qv::test {

namespace {
platform::VirtualOptions virtual_options(bool draw, bool keep_frames, std::function<void()> input,
                                        platform::Gamepad *gamepad = nullptr) {
    platform::VirtualOptions o;
    o.draw = draw;
    o.keep_frames = keep_frames;
    o.input = std::move(input);
    o.gamepad = gamepad;
    return o;
}
} // namespace

GameOptions game_options(const std::string &folder) {
    GameOptions o;
    o.data_dir = game_dir();
    o.settings_path = folder + "/" + SETTINGS_FILE;
    o.records_path = folder + "/" + RECORDS_FILE;
    return o;
}

HeadlessGame::HeadlessGame(const std::string &tag, bool draw, bool keep_frames,
                           platform::Gamepad *gamepad)
    : folder_(make_temp_dir(tag)),
      vb_(virtual_options(draw, keep_frames, [this] { input(); }, gamepad)), player(host_),
      options(game_options(folder_)) {}

HeadlessGame::HeadlessGame(const HeadlessGame &before, bool draw)
    : folder_(before.folder_), vb_(virtual_options(draw, false, [this] { input(); })),
      player(host_), options(game_options(folder_)) {}

void HeadlessGame::input() {
    player.tick();
    if (vb_.input().close) {
        // A game that does not end once closed would run for ever.
        if (++closed_ticks_ > AFTER_SCRIPT)
            throw std::runtime_error("the game went on after its window was closed");
        return;
    }
    if (vb_.ticks() > limit_ || (player.finished() && ++idle_ > AFTER_SCRIPT)) {
        timed_out_ = true;
        std::printf("headless game: closing the window at tick %lld (%s)\n", vb_.ticks(),
                    player.finished() ? "the script is done" : "time is up");
        vb_.request_close();
    }
}

void HeadlessGame::load_saved_settings() const {
    reset_state();
    test::load_settings(settings_file());
}

int HeadlessGame::run(long max_ticks) {
    limit_ = max_ticks;
    platform::UseBackend use(vb_);
    return game_main(options);
}

} // namespace qv::test
