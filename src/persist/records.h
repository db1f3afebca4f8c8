// "assist.def": the ten best scores and names, 191 scrambled bytes.
#pragma once

#include "persist/saves.h"

#include <array>
#include <cstdint>

namespace qv {

inline constexpr int RECORDS_FILE_SIZE = 191;
inline constexpr std::int32_t MAX_RECORD_SCORE = 16777215; // 24 bits
using RecordsBytes = std::array<std::uint8_t, RECORDS_FILE_SIZE>;

// Applies a file's first `length` bytes: a table highest first, scores of
// 24 bits, names of at most 11 characters.
void records_from_bytes(const std::uint8_t *bytes, int length);

// Takes the sim lock to apply what it read, as load_settings.
void load_records(Saves &from = saves());
// As save_settings: false on failure, which warns once per file. The table
// saved, and shown from then on, holds the records other copies saved.
bool save_records(Saves &to = saves());

// The first place (0..9) a score would take, or -1.
int record_position(std::int32_t score);
// Inserts score and a name (at most 11 characters are kept) at `position`.
void insert_record(int position, std::int32_t score, const char *name);

} // namespace qv
