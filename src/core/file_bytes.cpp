#include "core/file_bytes.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace qv {

namespace {
// Read in steps, so that a generous limit costs nothing for a small file.
constexpr std::size_t STEP = 64 * 1024;
} // namespace

std::optional<std::vector<std::uint8_t>> read_file_start(const std::string &path,
                                                         std::size_t most) {
    std::FILE *f = std::fopen(path.c_str(), "rb");
    if (!f) return std::nullopt;
    std::vector<std::uint8_t> bytes;
    for (std::size_t got = 0; got < most;) {
        bytes.resize(got + std::min(STEP, most - got));
        const std::size_t n = std::fread(bytes.data() + got, 1, bytes.size() - got, f);
        got += n;
        if (got < bytes.size()) {
            bytes.resize(got);
            break;
        }
    }
    const bool failed = std::ferror(f) != 0;
    const int err = errno;
    std::fclose(f);
    if (failed) {
        errno = err;
        return std::nullopt;
    }
    return bytes;
}

} // namespace qv
