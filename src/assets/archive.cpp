// The archive code and the two loaders built on it. Archives are deciphered
// into memory and handed to Allegro's PCX and WAV readers through a small
// read-only PACKFILE over that memory, so no scratch file is ever written
// (the data folder may be read-only, and two games may share it).
#include "assets/archive.h"

#include "assets/file_checks.h"
#include "core/file_bytes.h"
#include "core/game_state.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <utility>

namespace qv {

namespace {

constexpr std::size_t CODE_TABLE_SIZE = CODE_ROWS * 256;

static_assert((CODE_ROWS & (CODE_ROWS - 1)) == 0, "the rows wrap with a mask");
int next_row(int row) { return (row + 1) & (CODE_ROWS - 1); }

// Reads at most `limit` bytes of a file; throws AssetError naming it when it
// cannot be opened or read.
std::vector<std::uint8_t> read_file(const std::string &path, std::size_t limit) {
    std::string why;
    std::optional<std::vector<std::uint8_t>> bytes = read_file_start(path, limit, &why);
    if (!bytes) throw AssetError(path + ": cannot read (" + why + ")");
    return std::move(*bytes);
}

std::vector<std::uint8_t> decipher_named(const std::vector<std::uint8_t> &archive,
                                         const std::string &name) {
    if (archive.empty()) throw AssetError(name + ": empty archive (no start row)");
    int row = archive[0];
    if (row >= CODE_ROWS)
        throw AssetError(name + ": start row " + std::to_string(row) + " is not 0..15");
    std::vector<std::uint8_t> plain(archive.size() - 1);
    for (std::size_t i = 0; i < plain.size(); ++i) {
        plain[i] = g.decipher_table[row][archive[i + 1]];
        row = next_row(row);
    }
    return plain;
}

// A read-only PACKFILE over bytes in memory.
struct MemoryReader {
    const std::uint8_t *data;
    long size;
    long pos;
    int pushed;        // one byte given back by ungetc, or -1
    bool read_past_end; // someone asked for a byte that is not there
};

MemoryReader &reader(void *userdata) { return *static_cast<MemoryReader *>(userdata); }

int mem_fclose(void *) { return 0; }

int mem_getc(void *u) {
    MemoryReader &m = reader(u);
    if (m.pushed >= 0) {
        const int c = m.pushed;
        m.pushed = -1;
        return c;
    }
    if (m.pos >= m.size) {
        m.read_past_end = true;
        return EOF;
    }
    return m.data[m.pos++];
}

int mem_ungetc(int c, void *u) {
    reader(u).pushed = c & 0xFF;
    return c;
}

long mem_fread(void *p, long n, void *u) {
    MemoryReader &m = reader(u);
    auto *out = static_cast<std::uint8_t *>(p);
    long done = 0;
    if (n > 0 && m.pushed >= 0) {
        out[done++] = static_cast<std::uint8_t>(m.pushed);
        m.pushed = -1;
    }
    const long take = std::min(n - done, m.size - m.pos);
    if (take > 0) {
        std::memcpy(out + done, m.data + m.pos, static_cast<std::size_t>(take));
        m.pos += take;
        done += take;
    }
    if (done < n) m.read_past_end = true;
    return done;
}

int mem_putc(int, void *) { return EOF; }
long mem_fwrite(const void *, long, void *) { return 0; }

int mem_fseek(void *u, int offset) {
    MemoryReader &m = reader(u);
    if (offset < 0) return -1;
    long skip = offset;
    if (skip > 0 && m.pushed >= 0) {
        m.pushed = -1;
        --skip;
    }
    if (skip > m.size - m.pos) {
        m.pos = m.size;
        m.read_past_end = true;
        return -1;
    }
    m.pos += skip;
    return 0;
}

int mem_feof(void *u) {
    const MemoryReader &m = reader(u);
    return m.pushed < 0 && m.pos >= m.size;
}

int mem_ferror(void *) { return 0; }

const PACKFILE_VTABLE memory_vtable = {mem_fclose, mem_getc,   mem_ungetc, mem_fread, mem_putc,
                                       mem_fwrite, mem_fseek, mem_feof,   mem_ferror};

// Opens a PACKFILE reading the reader's bytes; throws when Allegro cannot.
PACKFILE *open_memory(MemoryReader &m, const std::string &path) {
    PACKFILE *pf = pack_fopen_vtable(&memory_vtable, &m);
    if (!pf) throw AssetError(path + ": out of memory while decoding");
    return pf;
}

MemoryReader reader_over(const std::vector<std::uint8_t> &bytes) {
    return MemoryReader{bytes.data(), static_cast<long>(bytes.size()), 0, -1, false};
}

} // namespace

void set_code_table(const std::uint8_t (&table)[CODE_ROWS][256]) {
    std::memset(g.decipher_table, 0, sizeof g.decipher_table);
    for (int r = 0; r < CODE_ROWS; ++r) {
        for (int j = 0; j < 256; ++j) {
            const std::uint8_t b = table[r][j];
            g.cipher_table[r][j] = b;
            // A row that repeats a byte lets the later position win; bytes
            // that never occur decipher to 0.
            g.decipher_table[r][b] = static_cast<byte>(j);
        }
    }
}

namespace {
std::string data_dir = ".";
} // namespace

void set_data_dir(const std::string &dir) { data_dir = dir.empty() ? "." : dir; }

std::string data_path(const std::string &relative) {
    if (data_dir == ".") return relative;
    return data_dir.back() == '/' ? data_dir + relative : data_dir + "/" + relative;
}

void code_table_from_bytes(const std::uint8_t *bytes, std::size_t size, const std::string &name) {
    if (size > CODE_TABLE_SIZE) throw AssetError(name + ": is longer than 4096 bytes");
    if (size < CODE_TABLE_SIZE)
        throw AssetError(name + ": is " + std::to_string(size) + " bytes, not 4096");
    // A row that repeats a byte cannot be undone: every archive would come
    // out damaged, and the fault must be reported here, not against the
    // first archive read.
    for (int r = 0; r < CODE_ROWS; ++r) {
        bool seen[256] = {};
        for (int j = 0; j < 256; ++j) {
            const std::uint8_t b = bytes[r * 256 + j];
            if (seen[b])
                throw AssetError(name + ": row " + std::to_string(r) + " holds byte " +
                                 std::to_string(b) + " twice (damaged code table)");
            seen[b] = true;
        }
    }
    std::uint8_t table[CODE_ROWS][256];
    std::memcpy(table, bytes, sizeof table);
    set_code_table(table);
}

void load_code_table(const std::string &path) {
    // One byte more than needed tells a long file from an exact one.
    const std::vector<std::uint8_t> bytes = read_file(path, CODE_TABLE_SIZE + 1);
    code_table_from_bytes(bytes.data(), bytes.size(), path);
}

std::vector<std::uint8_t> decipher_archive(const std::vector<std::uint8_t> &archive) {
    return decipher_named(archive, "archive");
}

std::vector<std::uint8_t> encipher_archive(const std::vector<std::uint8_t> &plain, int k) {
    if (k < 0 || k >= CODE_ROWS)
        throw std::invalid_argument("start row " + std::to_string(k) + " is not 0..15");
    std::vector<std::uint8_t> archive(plain.size() + 1);
    archive[0] = static_cast<std::uint8_t>(k);
    int row = k;
    for (std::size_t i = 0; i < plain.size(); ++i) {
        archive[i + 1] = g.cipher_table[row][plain[i]];
        row = next_row(row);
    }
    return archive;
}

std::vector<std::uint8_t> read_archive(const std::string &path) {
    // Start row, the largest payload we accept, and one byte to spot more.
    const std::size_t limit = 1 + static_cast<std::size_t>(MAX_ARCHIVE_PAYLOAD);
    const std::vector<std::uint8_t> archive = read_file(path, limit + 1);
    if (archive.size() > limit)
        throw AssetError(path + ": payload is over the " + std::to_string(MAX_ARCHIVE_PAYLOAD) +
                         "-byte limit");
    return decipher_named(archive, path);
}

BITMAP *decode_picture(const std::vector<std::uint8_t> &plain, PALETTE palette, int width,
                       int height, const std::string &name) {
    const std::string fault = pcx_fault(plain, width, height);
    if (!fault.empty()) throw AssetError(name + ": " + fault);

    MemoryReader m = reader_over(plain);
    PACKFILE *pf = open_memory(m, name);
    BITMAP *picture = load_pcx_pf(pf, palette);
    pack_fclose(pf);
    // Our pictures always end with their 256-colour palette: running out of
    // bytes means the picture or its palette was cut short.
    if (picture && (m.read_past_end || picture->w != width || picture->h != height ||
                    bitmap_color_depth(picture) != 8)) {
        destroy_bitmap(picture);
        picture = nullptr;
    }
    if (!picture) throw AssetError(name + ": damaged PCX picture");
    return picture;
}

SAMPLE *decode_sample(const std::vector<std::uint8_t> &plain, const std::string &name) {
    const std::string fault = wav_fault(plain);
    if (!fault.empty()) throw AssetError(name + ": " + fault);

    MemoryReader m = reader_over(plain);
    PACKFILE *pf = open_memory(m, name);
    // The reader drops what it read when the library's error number is set,
    // and nothing clears one left over from an earlier call.
    *allegro_errno = 0;
    SAMPLE *sample = load_wav_pf(pf);
    pack_fclose(pf);
    if (!sample) throw AssetError(name + ": not a readable WAV sample");
    return sample;
}

void load_archive_picture(const std::string &path, PALETTE palette, BITMAP *dest, int width,
                          int height) {
    BITMAP *picture = decode_picture(read_archive(path), palette, width, height, path);
    blit(picture, dest, 0, 0, 0, 0, width, height);
    destroy_bitmap(picture);
}

void load_archive_sample(const std::string &path, int index) {
    if (index < 0 || index >= SAMPLE_COUNT)
        throw std::invalid_argument(path + ": sound slot " + std::to_string(index) +
                                    " is not 0..63");
    SAMPLE *sample = decode_sample(read_archive(path), path);
    if (g.samples[index]) destroy_sample(g.samples[index]);
    g.samples[index] = sample;
}

} // namespace qv
