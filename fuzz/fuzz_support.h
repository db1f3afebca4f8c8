// Shared by the fuzz targets: the library started headless once, the game
// state as at start-up, the generated code table, and a way to stop on a
// broken promise that names it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace qv::fuzz {

// Starts Allegro without a display and sets the game state up as the game
// does at start-up, with the code table the asset generator wrote.
void start();

// Stops the run (the fuzzer keeps the input) when a promise of the game's
// reader does not hold.
[[noreturn]] void broken(const char *promise);
inline void require(bool held, const char *promise) {
    if (!held) broken(promise);
}

// The records file the game saves for the table it holds now, written
// nowhere.
std::vector<std::uint8_t> saved_records();

inline std::vector<std::uint8_t> bytes_of(const std::uint8_t *data, std::size_t size) {
    return std::vector<std::uint8_t>(data, data + size);
}

} // namespace qv::fuzz
