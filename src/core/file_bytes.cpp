#include "core/file_bytes.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace qv {

namespace {
// Read in steps, so that a generous limit costs nothing for a small file.
constexpr std::size_t STEP = 64 * 1024;

// Bytes the next writes may put on disk before failing as a full disk
// would; -1 = no limit. Set only by tests.
long write_budget = -1;

std::nullopt_t refuse(std::string *why, const std::string &reason) {
    if (why) *why = reason;
    return std::nullopt;
}

// Reads the regular file at `path`: its first `most` bytes, or, with
// `whole`, all of it when it holds no more than `most`.
std::optional<std::vector<std::uint8_t>> read_regular(const std::string &path, std::size_t most,
                                                      bool whole, std::string *why) {
    // Opening a FIFO would wait for a writer: opened without waiting, it is
    // then refused by its kind like any other file that is not a file.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return refuse(why, std::strerror(errno));
    struct stat st {};
    const bool stated = ::fstat(fd, &st) == 0;
    const int err = errno;
    std::string reason;
    if (!stated)
        reason = std::strerror(err);
    else if (S_ISDIR(st.st_mode))
        reason = std::strerror(EISDIR);
    else if (!S_ISREG(st.st_mode))
        reason = NOT_A_REGULAR_FILE;
    else if (whole && static_cast<std::uintmax_t>(st.st_size) > most)
        reason = "too large (" + std::to_string(st.st_size) + " bytes)";
    std::vector<std::uint8_t> bytes;
    for (std::size_t got = 0; reason.empty() && got < most;) {
        if (got == bytes.size()) bytes.resize(got + std::min(STEP, most - got));
        const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno != EINTR) reason = std::strerror(errno);
        if (n == 0) {
            bytes.resize(got);
            break;
        }
        if (n > 0) got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (!reason.empty()) return refuse(why, reason);
    return bytes;
}

} // namespace

std::optional<std::vector<std::uint8_t>> read_file_start(const std::string &path, std::size_t most,
                                                         std::string *why) {
    return read_regular(path, most, false, why);
}

std::optional<std::vector<std::uint8_t>> read_whole_file(const std::string &path, std::size_t most,
                                                         std::string *why) {
    return read_regular(path, most, true, why);
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
