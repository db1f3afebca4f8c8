// Reading and writing a file's bytes, for every reader and writer of the
// game's files (data, settings, records, recordings, screenshots): each
// knows how many bytes it can use and what a missing file means to it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <sys/types.h>

namespace qv {

// The permissions of every file the game makes for the player (before the
// umask): theirs to change, anyone's to read.
inline constexpr mode_t NEW_FILE_MODE = 0644;

// The file's first `most` bytes (all of it when shorter), or none when it
// cannot be opened or read; errno then says why. Asking for one byte more
// than a reader can use tells a longer file from an exact one.
std::optional<std::vector<std::uint8_t>> read_file_start(const std::string &path,
                                                         std::size_t most);

// Writes all bytes to `fd`, retrying short writes; false with errno set.
bool write_all(int fd, const std::uint8_t *data, std::size_t size);

// Makes a new file at `path` holding `bytes`. Anything already bearing the
// name, a dangling symbolic link included, makes it fail with EEXIST: it
// never writes over a file or through a link. On any failure nothing is
// left at `path` and errno says why.
bool create_new_file(const std::string &path, const std::vector<std::uint8_t> &bytes);

// Test hook: when set (>= 0), writes fail after this many more bytes as on
// a full disk (ENOSPC); -1 lifts it.
void fail_writes_after(long bytes);

} // namespace qv
