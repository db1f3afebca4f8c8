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

// Why a file was not read, when the path names something that is neither
// a regular file nor a folder (a FIFO, a device, a socket).
inline constexpr const char *NOT_A_REGULAR_FILE = "not a regular file";

// The first `most` bytes of the regular file at `path`, through symbolic
// links (all of it when shorter), or none when it cannot be read; `why`,
// when given, then says why: the system's reason, or NOT_A_REGULAR_FILE.
// Nothing else is ever read: a FIFO is not waited on, a device not read.
// Asking for one byte more than a reader can use tells a longer file from
// an exact one.
std::optional<std::vector<std::uint8_t>> read_file_start(const std::string &path, std::size_t most,
                                                         std::string *why = nullptr);
// The same for a whole file of at most `most` bytes: a longer one is
// refused by its size before anything is read ("too large (N bytes)").
std::optional<std::vector<std::uint8_t>> read_whole_file(const std::string &path, std::size_t most,
                                                         std::string *why = nullptr);

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
