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

// Test hook: when set, the write fails after this many bytes as if the disk
// were full.
void fail_writes_after(long bytes);

} // namespace qv
