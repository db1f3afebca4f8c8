// Shared helpers for the tests: a headless library, fresh state, temporary
// folders (removed when the test process ends).
#pragma once

#include "assets/archive.h"

#include <allegro.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace qv::test {

// Puts the game state back to its start-up values (texts, defaults, tables).
void reset_state();

// Fills `table` with rows that are shuffles of 0..255 (repeatable from
// `seed`) and makes it the game's code table.
void use_shuffled_code_table(std::uint8_t (&table)[CODE_ROWS][256], std::uint32_t seed);

// Keys held by hand in the input unit tests read (the headless back end's).
void hold_library_key(int index, bool held = true);
void release_all_keys();

// The player's files at a path, read and written as the game does.
void load_settings(const std::string &path);
bool save_settings(const std::string &path);
void load_records(const std::string &path);
bool save_records(const std::string &path);
// The records file the game saves for the table it holds now, written
// nowhere (its code starts on the save's own random row: its first byte).
std::vector<std::uint8_t> saved_records();

// A fresh empty folder under the system's temporary folder; every one is
// removed when the test process ends.
std::string make_temp_dir(const std::string &tag);
// The names of what a folder holds.
std::set<std::string> files_in(const std::string &dir);
// A whole file's bytes (none when it cannot be read), and a file made or
// overwritten to hold `bytes`.
std::vector<std::uint8_t> read_bytes(const std::string &path);
void write_bytes(const std::string &path, const std::vector<std::uint8_t> &bytes);

// Works in `folder` (the game finds its data in the current folder) until
// the end of the scope.
class InFolder {
  public:
    explicit InFolder(const std::string &folder) : old_(std::filesystem::current_path()) {
        std::filesystem::current_path(folder);
    }
    ~InFolder() { std::filesystem::current_path(old_); }
    InFolder(const InFolder &) = delete;
    InFolder &operator=(const InFolder &) = delete;

  private:
    std::filesystem::path old_;
};

// A palette whose neighbouring colours differ, another for every tint.
void tinted_palette(PALETTE pal, int tint);
// The PCX file the library writes for a w x h picture of pixel(x, y) in
// tinted_palette(tint).
std::vector<std::uint8_t> pcx_file(int w, int h, const std::function<int(int, int)> &pixel,
                                   int tint = 0);
// A WAV file of the chunks (id, body) in order, and the body of a format
// chunk.
using WavChunk = std::pair<const char *, std::vector<std::uint8_t>>;
std::vector<std::uint8_t> wav_file(std::initializer_list<WavChunk> chunks);
std::vector<std::uint8_t> wav_format(int channels, int bits, int format = 1, int rate = 22050);

// An 8-bit memory bitmap that frees itself.
using BitmapPtr = std::unique_ptr<BITMAP, void (*)(BITMAP *)>;
BitmapPtr make_bitmap(int w, int h, int colour = 0);

// The first pixel (rows y0..y1, all rows by default) where two bitmaps of
// one size differ, as "(x,y): a vs b", or an empty string.
std::string first_difference(BITMAP *a, BITMAP *b, int y0 = 0, int y1 = -1);

// A byte that changes with every step of x or y and never repeats within
// 2048 x 2048, so a pixel taken one place off, or wrapped with the wrong
// mask, shows.
int hashed(int x, int y, std::uint32_t seed);

// Skips a test that checks that play or generation repeats exactly: that
// is a property of the code, checked once in the build without sanitizers,
// where it is fast.
#ifdef QV_SANITIZED
#define QV_SKIP_DETERMINISM_UNDER_SANITIZERS() GTEST_SKIP() << "determinism is checked in the release build"
#else
#define QV_SKIP_DETERMINISM_UNDER_SANITIZERS() (void)0
#endif

// The generated data directory of this build.
inline const char *game_dir() { return QV_GAME_DIR; }

} // namespace qv::test
