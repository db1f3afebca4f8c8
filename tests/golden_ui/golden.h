// Reference frames drawn with the generated art (the instruments and menus
// on a black ground here, the flight scenes in tests/golden): a frame is
// compared pixel for pixel with the PCX. When the generated art changes,
// QV_UPDATE_GOLDEN=1 rewrites the references instead (look at them before
// committing: `convert name.pcx -scale 300% name.png`).
#pragma once

#include "assets/archive.h"
#include "assets/graphics.h"
#include "core/game_state.h"
#include "support/test_support.h"

#include <allegro.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

namespace qv::test {

// Loads the code table and the sheets from the game directory, as the game
// does at start-up; frees every bitmap when it goes.
class GameArt {
  public:
    GameArt() {
        char here[4096];
        if (!getcwd(here, sizeof here))
            return;
        home_ = here;
        if (chdir(game_dir()) != 0)
            return;
        try {
            load_code_table();
            load_graphics();
            load_colour_tables();
            loaded_ = true;
        } catch (const std::exception &e) {
            error_ = e.what();
        }
    }
    ~GameArt() {
        free_graphics();
        if (!home_.empty() && chdir(home_.c_str()) != 0)
            std::abort();
    }
    GameArt(const GameArt &) = delete;
    GameArt &operator=(const GameArt &) = delete;

    bool loaded() const { return loaded_; }
    const std::string &error() const { return error_; }

  private:
    std::string home_;
    std::string error_;
    bool loaded_ = false;
};

// Compares `frame` with tests/<dir>/<name>.pcx (saved with `palette`).
inline void expect_golden(BITMAP *frame, const RGB *palette, const std::string &name,
                          const char *dir = "golden_ui") {
    namespace fs = std::filesystem;
    const fs::path ref = fs::path(QV_TESTS_DIR) / dir / (name + ".pcx");
    PALETTE pal;
    for (int i = 0; i < PAL_SIZE; ++i)
        pal[i] = palette[i];
    const char *update = std::getenv("QV_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") {
        ASSERT_EQ(save_pcx(ref.c_str(), frame, pal), 0) << ref;
        return;
    }
    BITMAP *want = load_pcx(ref.c_str(), nullptr);
    ASSERT_NE(want, nullptr) << ref << " is missing: run with QV_UPDATE_GOLDEN=1";
    ASSERT_EQ(want->w, frame->w);
    ASSERT_EQ(want->h, frame->h);
    const std::string diff = first_difference(frame, want);
    destroy_bitmap(want);
    if (!diff.empty()) {
        const fs::path out = fs::path(QV_BINARY_DIR) / (std::string(dir) + "_actual");
        fs::create_directories(out);
        save_pcx((out / (name + ".pcx")).c_str(), frame, pal);
        ADD_FAILURE() << name << " differs first at " << diff << "; this frame is in " << out;
    }
}

} // namespace qv::test
