// Writing a small file without ever losing the old one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace qv {

// Writes to a temporary file beside `path`, flushes and fsyncs it, then
// renames it over `path`. On failure the old file is untouched, the
// temporary file is removed and the reason is put in `error`.
bool write_file_atomically(const std::string &path, const std::uint8_t *data, std::size_t size,
                           std::string &error);

// Where the player's files are kept: by default "w_config.def" and
// "assist.def" in the current folder.
struct SavePaths {
    std::string settings = "w_config.def";
    std::string records = "assist.def";
};
void set_save_paths(const SavePaths &paths);
const SavePaths &save_paths();

// Writes the file, making its folder first if need be, unless it already
// holds these bytes (then nothing is written and nothing synced); on failure warns on stderr, but only the first time for
// that file in this run (a full disk must not flood the terminal at every
// stage start). Returns false on failure.
bool save_file(const std::string &path, const std::uint8_t *data, std::size_t size);
// Starts a new run: failures warn again.
void forget_save_warnings();

// Removes the temporary files that saves of `path` left behind when the
// game was killed mid-save (a crash, a power cut, a closed terminal): only
// those whose writing process is gone, never another running game's.
void remove_stale_temporaries(const std::string &path);

// Test hook: when set, the write fails after this many bytes as if the disk
// were full.
void fail_writes_after(long bytes);

} // namespace qv
