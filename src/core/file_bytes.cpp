#include "core/file_bytes.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace qv {

namespace {
// Read in steps, so that a generous limit costs nothing for a small file.
constexpr std::size_t STEP = 64 * 1024;

// Bytes the next writes may put on disk before failing as a full disk
// would; -1 = no limit. Set only by tests.
long write_budget = -1;
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

bool write_all(int fd, const std::uint8_t *data, std::size_t size) {
    std::size_t allowed = size;
    if (write_budget >= 0 && static_cast<std::size_t>(write_budget) < size)
        allowed = static_cast<std::size_t>(write_budget);
    if (write_budget >= 0) write_budget -= static_cast<long>(allowed);
    std::size_t done = 0;
    while (done < allowed) {
        const ssize_t n = ::write(fd, data + done, allowed - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    if (allowed < size) {
        errno = ENOSPC;
        return false;
    }
    return true;
}

bool create_new_file(const std::string &path, const std::vector<std::uint8_t> &bytes) {
    // O_EXCL: an existing name, even a link pointing nowhere, is refused
    // rather than followed.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, NEW_FILE_MODE);
    if (fd < 0) return false;
    bool ok = write_all(fd, bytes.data(), bytes.size());
    int err = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (ok) return true;
    // A full disk must not leave an empty or cut-off file behind.
    ::unlink(path.c_str());
    errno = err;
    return false;
}

void fail_writes_after(long bytes) { write_budget = bytes < 0 ? -1 : bytes; }

} // namespace qv
