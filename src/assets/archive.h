// Scrambled asset archives: a start row byte, then one PCX or WAV file whose
// bytes pass through a position-dependent substitution code ("loader.def",
// 16 permutations of the byte values). The records file uses the same code.
#pragma once

#include <allegro.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace qv {

inline constexpr int CODE_ROWS = 16;
inline constexpr long MAX_ARCHIVE_PAYLOAD = 1024000;

// A file the game needs is missing, unreadable or malformed. The message
// names the file.
struct AssetError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The folder the game's data is read from ("." until set); every loader
// names its files relative to it.
void set_data_dir(const std::string &dir);
std::string data_path(const std::string &relative);

// Reads "loader.def" (4096 bytes) into g.cipher_table and g.decipher_table.
void load_code_table(const std::string &path = data_path("loader.def"));
// The same from the file's bytes; refuses (AssetError naming `name`) a table
// of another length or with a row that is not a permutation of 0..255.
void code_table_from_bytes(const std::uint8_t *bytes, std::size_t size, const std::string &name);
// Sets a table the caller made (the generator and tests); unchecked.
void set_code_table(const std::uint8_t (&table)[CODE_ROWS][256]);

// Deciphers an archive's bytes (start row + payload) into the plain payload.
std::vector<std::uint8_t> decipher_archive(const std::vector<std::uint8_t> &archive);
// Enciphers plain bytes with start row k into archive bytes.
std::vector<std::uint8_t> encipher_archive(const std::vector<std::uint8_t> &plain, int k);

// Reads and deciphers an archive file (payload checked against the limit).
std::vector<std::uint8_t> read_archive(const std::string &path);

// A deciphered PCX picture that must be exactly width x height, as a new
// bitmap, and its palette; AssetError naming `name` for anything else.
BITMAP *decode_picture(const std::vector<std::uint8_t> &plain, PALETTE palette, int width,
                       int height, const std::string &name);
// A deciphered WAV file as a new sample; AssetError naming `name` when the
// library's reader would mis-read it.
SAMPLE *decode_sample(const std::vector<std::uint8_t> &plain, const std::string &name);

// Loads the archive's PCX, which must be exactly width x height, into dest's
// top-left corner, and its palette.
void load_archive_picture(const std::string &path, PALETTE palette, BITMAP *dest, int width,
                          int height);
// Loads the archive's WAV into g.samples[index].
void load_archive_sample(const std::string &path, int index);

} // namespace qv
