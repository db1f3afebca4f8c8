// A crash or a full disk halfway through a save must never leave the player
// with a truncated settings or records file: the new bytes go to a temporary
// file beside the target, reach the disk, and only then replace the old file
// in one rename.
//
// Two copies of the game may share the files (two clicks on the icon, a
// sandboxed copy beside a native one). Each save holds a lock on a file
// beside the target ("<name>.lock", never removed: removing a lock file
// lets two savers hold two different locks) from reading the file to the
// rename, and merges with what it read, so neither copy undoes the other.
// flock() works across process namespaces, unlike process ids.
#include "persist/atomic_file.h"

#include "core/file_bytes.h"
#include "platform/platform.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <set>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace qv {

namespace {

namespace fs = std::filesystem;

constexpr char TEMP_SUFFIX[] = ".tmp";
constexpr char LOCK_SUFFIX[] = ".lock";
// The longest middle part of a temporary file's name ("<pid>-<n>").
constexpr std::size_t MAX_TEMP_TOKEN = 24;
// Links followed before giving up on a loop of them.
constexpr int MAX_LINK_HOPS = 40;
// Another copy's save takes milliseconds; one that takes longer is on a
// slow disk, or stopped: the player hears which file waits, after this.
constexpr auto TELL_WAIT_AFTER = std::chrono::seconds(1);
constexpr useconds_t LOCK_RETRY_US = 10000;
// More than any file saved this way; a longer file only compares unequal.
constexpr std::size_t MOST_READ = 64 * 1024;

std::string folder_of(const std::string &path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string file_name_of(const std::string &path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Where a save of `path` must write: through symbolic links to the file
// they name (a settings file kept in a dotfiles folder stays a link there).
std::string resolve_links(const std::string &path) {
    fs::path p(path);
    for (int hop = 0; hop < MAX_LINK_HOPS; ++hop) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(p, ec))) break;
        const fs::path target = fs::read_symlink(p, ec);
        if (ec) break;
        p = target.is_absolute() ? target : p.parent_path() / target;
    }
    return p.string();
}

// True when `entry` is one of our temporary files for `name`:
// "<name>.<pid>-<count>.tmp" (or "<name>.<pid>.tmp" from earlier games).
bool is_temporary_of(const std::string &entry, const std::string &name) {
    const std::size_t prefix = name.size() + 1, suffix = sizeof TEMP_SUFFIX - 1;
    if (entry.size() <= prefix + suffix || entry.compare(0, name.size(), name) != 0 ||
        entry[name.size()] != '.' ||
        entry.compare(entry.size() - suffix, suffix, TEMP_SUFFIX) != 0)
        return false;
    const std::string token = entry.substr(prefix, entry.size() - prefix - suffix);
    return token.size() <= MAX_TEMP_TOKEN &&
           token.find_first_not_of("0123456789-") == std::string::npos;
}

// True when something other than a regular file bears the name (a link
// counts: `target` has its links resolved already).
bool other_than_file(const std::string &target) {
    struct stat st {};
    return ::lstat(target.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
}

// The lock of one saved file, held for the object's life, or why not. The
// lock file is a regular file of its own, never opened through a link: one
// pointing elsewhere would have the game make a file there.
class SaveLock {
  public:
    // With `wait`, waits as long as another copy holds the lock (one stopped
    // inside its save holds it until it goes on), unless the player leaves.
    SaveLock(const std::string &target, const std::string &shown, bool wait) {
        const std::string lock_file = target + LOCK_SUFFIX;
        fd_ = ::open(lock_file.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC,
                     NEW_FILE_MODE);
        if (fd_ < 0 && errno != ELOOP) {
            why_ = "cannot lock it: " + std::string(std::strerror(errno));
            return;
        }
        struct stat st {};
        if (fd_ < 0 || ::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
            why_ = "its lock file " + lock_file + " is " + NOT_A_REGULAR_FILE;
            return;
        }
        const platform::LeavableWait leave;
        const auto start = std::chrono::steady_clock::now();
        bool told = false;
        while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
            if (errno != EWOULDBLOCK && errno != EINTR) {
                why_ = "cannot lock it: " + std::string(std::strerror(errno));
                return;
            }
            if (!wait || leave.left()) {
                why_ = "another copy of the game is saving it";
                return;
            }
            if (!told && std::chrono::steady_clock::now() - start >= TELL_WAIT_AFTER) {
                told = true;
                std::fprintf(stderr,
                             "quarvell: waiting for another copy of the game to save %s (close "
                             "the window or press Ctrl+C to leave without saving it)\n",
                             shown.c_str());
            }
            ::usleep(LOCK_RETRY_US);
        }
        held_ = true;
    }
    ~SaveLock() {
        if (fd_ >= 0) ::close(fd_); // closing lets go of the lock
    }
    SaveLock(const SaveLock &) = delete;
    SaveLock &operator=(const SaveLock &) = delete;
    bool held() const { return held_; }
    const std::string &why() const { return why_; }

  private:
    int fd_ = -1;
    bool held_ = false;
    std::string why_;
};

// Makes the rename itself durable; a failure here loses nothing already
// written, so it is not reported.
void sync_folder(const std::string &path) {
    const int dir = ::open(folder_of(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) return;
    ::fsync(dir);
    ::close(dir);
}

std::set<std::string> warned;

void warn_once(const std::string &path, const std::string &line) {
    if (warned.insert(path).second) std::fprintf(stderr, "quarvell: %s\n", line.c_str());
}

void warn_not_a_file(const std::string &path) {
    warn_once(path, path + " is " + NOT_A_REGULAR_FILE + "; the game neither reads nor saves it");
}

// Writes to a temporary file beside `path`, flushes and fsyncs it, then
// renames it over `path`. On failure the old file is untouched, the
// temporary file is removed and the reason is put in `error`.
bool write_file_atomically(const std::string &path, const std::uint8_t *data, std::size_t size,
                           std::string &error) {
    std::string temp;
    const int fd = create_temporary(path, temp);
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    // The player's own permissions on the file stay as they were.
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0) ::fchmod(fd, old.st_mode & 07777);
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

} // namespace

bool save_file(const std::string &path, const MergeWithDisk &merge) {
    if (path.empty()) return false; // kept in memory only
    const std::string target = resolve_links(path);
    if (other_than_file(target)) {
        warn_not_a_file(path);
        return false;
    }
    // The player's folders (~/.config/quarvell...) are made by the first
    // save. One that cannot be made is reported once, not once per file.
    const std::string folder = folder_of(target);
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) {
        warn_once(folder, "could not save " + path + ": cannot make the folder " + folder + ": " +
                              ec.message());
        return false;
    }
    const SaveLock lock(target, path, true);
    if (!lock.held()) {
        warn_once(path, "could not save " + path + ": " + lock.why());
        return false;
    }
    const std::optional<Bytes> held = read_file_start(target, MOST_READ);
    const Bytes bytes = merge(held);
    // Every stage start saves both files, and mostly nothing has changed:
    // rewriting them cost two fsyncs each, which took hundreds of
    // milliseconds while the disk was busy. Bytes already on disk stay.
    if (held && *held == bytes) return true;
    std::string reason;
    if (write_file_atomically(target, bytes.data(), bytes.size(), reason)) return true;
    warn_once(path, "could not save " + path + ": " + reason);
    return false;
}

std::optional<Bytes> read_saved_file(const std::string &path, std::size_t most) {
    if (path.empty()) return std::nullopt;
    if (other_than_file(resolve_links(path))) {
        warn_not_a_file(path);
        return std::nullopt;
    }
    return read_file_start(path, most);
}

int create_temporary(const std::string &path, std::string &temp) {
    // The process id and a count, made with O_EXCL in case a copy in
    // another process namespace has the same id.
    static unsigned count = 0;
    for (;;) {
        temp = path + "." + std::to_string(::getpid()) + "-" + std::to_string(++count) + TEMP_SUFFIX;
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, NEW_FILE_MODE);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
}

void forget_save_warnings() { warned.clear(); }

void remove_stale_temporaries(const std::string &path) {
    if (path.empty()) return;
    const std::string target = resolve_links(path);
    if (other_than_file(target)) return;
    const std::string folder = folder_of(target), name = file_name_of(target);
    // A save in flight holds the lock: its temporary file is no leftover.
    // Whatever cannot go now may go at the next start.
    const SaveLock lock(target, path, false);
    if (!lock.held()) return;
    DIR *dir = ::opendir(folder.c_str());
    if (!dir) return;
    while (const dirent *e = ::readdir(dir))
        if (is_temporary_of(e->d_name, name)) ::unlinkat(::dirfd(dir), e->d_name, 0);
    ::closedir(dir);
}

} // namespace qv
