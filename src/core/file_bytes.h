// Reading a file's bytes, for every reader of the game's files (data,
// settings, records, recordings): each knows how many bytes it can use and
// what a missing file means to it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qv {

// The file's first `most` bytes (all of it when shorter), or none when it
// cannot be opened or read; errno then says why. Asking for one byte more
// than a reader can use tells a longer file from an exact one.
std::optional<std::vector<std::uint8_t>> read_file_start(const std::string &path,
                                                         std::size_t most);

} // namespace qv
