// The tests of the files the game reads and saves: a fresh game state with a
// shuffled code table, and a folder of the test's own for the player's files
// (removed when the test process ends).
#pragma once

#include "assets/archive.h"
#include "assets/graphics.h"
#include "assets/sound.h"
#include "core/file_bytes.h"
#include "persist/saves.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace qv::test {

class FilesTest : public ::testing::Test {
  protected:
    std::uint8_t table[CODE_ROWS][256];
    const std::string dir = make_temp_dir("files");
    const std::string settings_path = dir + "/" + SETTINGS_FILE;
    const std::string records_path = dir + "/" + RECORDS_FILE;

    void SetUp() override {
        reset_state();
        use_shuffled_code_table(table, 1234);
    }
    // Nothing a test held, loaded or made fail outlives it.
    void TearDown() override {
        fail_writes_after(-1);
        release_all_keys();
        free_graphics();
        free_sound_effects();
    }
};

// Expects `load` to throw an AssetError whose message names `file`.
template <class F> void expect_refused_naming(F load, const std::string &file) {
    try {
        load();
        ADD_FAILURE() << "no error for " << file;
    } catch (const AssetError &e) {
        EXPECT_NE(std::string(e.what()).find(file), std::string::npos) << e.what();
    }
}

// What `f` writes to standard error.
template <class F> std::string stderr_of(F f) {
    testing::internal::CaptureStderr();
    f();
    return testing::internal::GetCapturedStderr();
}

} // namespace qv::test
