// A crash or a full disk halfway through a save must never leave the player
// with a truncated settings or records file: the new bytes go to a temporary
// file beside the target, reach the disk, and only then replace the old file
// in one rename.
#include "persist/atomic_file.h"

#include "core/file_bytes.h"

#include <cerrno>
#include <csignal>
#include <algorithm>
#include <cstdio>
#include <set>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <limits>
#include <system_error>
#include <string>
#include <unistd.h>
#include <vector>

namespace qv {

namespace {

constexpr mode_t NEW_FILE_MODE = 0644;

// Bytes the next writes may put on disk before failing as a full disk
// would; -1 = no limit. Set only by tests.
long write_budget = -1;

constexpr char TEMP_SUFFIX[] = ".tmp";
constexpr std::size_t MAX_PID_DIGITS = 10;

std::string folder_of(const std::string &path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string file_name_of(const std::string &path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The process id keeps two games sharing one folder off each other's
// temporary file.
std::string temporary_name(const std::string &name, pid_t pid) {
    return name + "." + std::to_string(pid) + TEMP_SUFFIX;
}

// The writer's process id when `entry` is one of our temporary files for
// `name` ("<name>.<pid>.tmp"), else -1.
long temporary_writer(const std::string &entry, const std::string &name) {
    const std::size_t prefix = name.size() + 1, suffix = sizeof TEMP_SUFFIX - 1;
    if (entry.size() <= prefix + suffix || entry.compare(0, name.size(), name) != 0 ||
        entry[name.size()] != '.' ||
        entry.compare(entry.size() - suffix, suffix, TEMP_SUFFIX) != 0)
        return -1;
    const std::string digits = entry.substr(prefix, entry.size() - prefix - suffix);
    if (digits.size() > MAX_PID_DIGITS ||
        digits.find_first_not_of("0123456789") != std::string::npos)
        return -1;
    return std::stol(digits);
}

// A writer is gone when no process has its id. Our own id counts as gone:
// every save removes or renames its temporary file before it returns, so one
// bearing our id was left by an earlier game that had the same id (process
// ids repeat, in a container from one start to the next).
bool writer_gone(long pid) {
    if (pid <= 0 || pid == ::getpid() || pid > std::numeric_limits<pid_t>::max()) return true;
    return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
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

// True when the file at `path` holds exactly these bytes.
bool file_holds(const std::string &path, const std::uint8_t *data, std::size_t size) {
    const auto held = read_file_start(path, size + 1);
    return held && held->size() == size && std::equal(data, data + size, held->begin());
}

} // namespace

namespace {
SavePaths paths;
std::set<std::string> warned;
} // namespace

void set_save_paths(const SavePaths &p) { paths = p; }
const SavePaths &save_paths() { return paths; }

bool save_file(const std::string &path, const std::uint8_t *data, std::size_t size) {
    // Every stage start saves both files, and mostly nothing has changed:
    // rewriting them cost two fsyncs each, which took hundreds of
    // milliseconds while the disk was busy. Bytes already on disk stay.
    if (file_holds(path, data, size)) return true;
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
    const std::string name = file_name_of(path);
    const std::string temp =
        path.substr(0, path.size() - name.size()) + temporary_name(name, ::getpid());
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

void remove_stale_temporaries(const std::string &path) {
    const std::string folder = folder_of(path), name = file_name_of(path);
    DIR *dir = ::opendir(folder.c_str());
    if (!dir) return;
    while (const dirent *e = ::readdir(dir)) {
        const long pid = temporary_writer(e->d_name, name);
        // Removing is best effort: what cannot go now may go next start.
        if (pid >= 0 && writer_gone(pid)) ::unlink((folder + "/" + e->d_name).c_str());
    }
    ::closedir(dir);
}

} // namespace qv
