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

// Removes the temporary files that saves of `path` left behind when the
// game was killed mid-save (a crash, a power cut, a closed terminal): only
// those whose writing process is gone, never another running game's.
void remove_stale_temporaries(const std::string &path);

// Test hook: when set, the write fails after this many bytes as if the disk
// were full.
void fail_writes_after(long bytes);

} // namespace qv
