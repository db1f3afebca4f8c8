// Checks run on a deciphered picture or sound before Allegro's reader sees
// it. The reader trusts every header field: a picture of another size, or a
// header that disagrees with itself, comes back with leftover memory in it;
// a damaged sound can make it ask for gigabytes or lose a sample. Each check
// walks the bytes the way the reader will and says what it would mis-read.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qv {

// Why `bytes` are not an 8-bit PCX picture of exactly width x height whose
// pixel data and 256-colour palette the reader finds where they are, or ""
// when they are.
std::string pcx_fault(const std::vector<std::uint8_t> &bytes, int width, int height);

// Why `bytes` are not a WAV sample the reader takes in whole (one format
// chunk it understands, then exactly one data chunk of whole frames, every
// chunk within the file), or "" when they are.
std::string wav_fault(const std::vector<std::uint8_t> &bytes);

} // namespace qv
