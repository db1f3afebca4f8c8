// A crash or a full disk halfway through a save must never leave the player
// with a truncated settings or records file: the new bytes go to a temporary
// file beside the target, reach the disk, and only then replace the old file
// in one rename.
#include "persist/atomic_file.h"

#include <cerrno>
#include <cstdio>
#include <set>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <system_error>
#include <string>
#include <unistd.h>

namespace qv {

namespace {

constexpr mode_t NEW_FILE_MODE = 0644;

// Bytes the next writes may put on disk before failing as a full disk
// would; -1 = no limit. Set only by tests.
long write_budget = -1;

std::string folder_of(const std::string &path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Writes all bytes, retrying short writes; false with errno set on failure.
bool write_all(int fd, const std::uint8_t *data, std::size_t size) {
    std::size_t allowed = size;
    if (write_budget >= 0 && static_cast<std::size_t>(write_budget) < size)
        allowed = static_cast<std::size_t>(write_budget);
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

// Makes the rename itself durable; a failure here loses nothing already
// written, so it is not reported.
void sync_folder(const std::string &path) {
    const int dir = ::open(folder_of(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) return;
    ::fsync(dir);
    ::close(dir);
}

} // namespace

namespace {
SavePaths paths;
std::set<std::string> warned;
} // namespace

void set_save_paths(const SavePaths &p) { paths = p; }
const SavePaths &save_paths() { return paths; }

bool save_file(const std::string &path, const std::uint8_t *data, std::size_t size) {
    // The player's folders (~/.config/quarvell...) are made by the first
    // save. One that cannot be made is reported once, not once per file.
    const std::string folder = folder_of(path);
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) {
        if (warned.insert(folder).second)
            std::fprintf(stderr, "quarvell: could not save %s: cannot make the folder %s: %s\n",
                         path.c_str(), folder.c_str(), ec.message().c_str());
        return false;
    }
    std::string reason;
    if (write_file_atomically(path, data, size, reason)) return true;
    if (warned.insert(path).second)
        std::fprintf(stderr, "quarvell: could not save %s: %s\n", path.c_str(), reason.c_str());
    return false;
}

void forget_save_warnings() { warned.clear(); }

void fail_writes_after(long bytes) { write_budget = bytes < 0 ? -1 : bytes; }

bool write_file_atomically(const std::string &path, const std::uint8_t *data, std::size_t size,
                           std::string &error) {
    // The process id keeps two games sharing one folder off each other's
    // temporary file.
    const std::string temp = path + "." + std::to_string(::getpid()) + ".tmp";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, NEW_FILE_MODE);
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    bool ok = write_all(fd, data, size) && ::fsync(fd) == 0;
    int err = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (ok && ::rename(temp.c_str(), path.c_str()) != 0) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        ::unlink(temp.c_str());
        error = std::strerror(err);
        return false;
    }
    sync_folder(path);
    return true;
}

} // namespace qv
