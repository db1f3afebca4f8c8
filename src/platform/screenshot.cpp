#include "platform/screenshot.h"

#include "core/file_bytes.h"

#include <loadpng.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sys/mman.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace qv::platform {

namespace {

constexpr const char *SCREENSHOT_PREFIX = "quarvell-";
constexpr int SCREENSHOT_LIMIT = 9999;

// The picture as PNG bytes. The PNG writer only writes to a named file:
// it is given a file in memory, by the name of its descriptor, so that
// nothing reaches the folder before the bytes are known.
bool encode_png(BITMAP *picture, const RGB *palette, std::vector<std::uint8_t> &bytes) {
    const int fd = memfd_create("quarvell-screenshot", MFD_CLOEXEC);
    if (fd < 0) return false;
    const std::string name = "/proc/self/fd/" + std::to_string(fd);
    bool ok = save_png(name.c_str(), picture, palette) == 0;
    const off_t size = ok ? lseek(fd, 0, SEEK_END) : -1;
    ok = size > 0;
    if (ok) {
        bytes.resize(static_cast<std::size_t>(size));
        ok = pread(fd, bytes.data(), bytes.size(), 0) == size;
    }
    close(fd);
    return ok;
}

} // namespace

std::string save_screenshot(const std::string &dir, BITMAP *picture, const RGB *palette,
                            std::string &error) {
    namespace fs = std::filesystem;
    if (dir.empty()) {
        error = "there is no folder for them";
        return "";
    }
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec) {
        error = ec.message();
        return "";
    }
    std::vector<std::uint8_t> png;
    if (!encode_png(picture, palette, png)) {
        error = "the picture could not be made";
        return "";
    }
    for (int n = 1; n <= SCREENSHOT_LIMIT; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "%s%04d.png", SCREENSHOT_PREFIX, n);
        const std::string file = (fs::path(dir) / name).string();
        if (create_new_file(file, png)) return file;
        if (errno != EEXIST) {
            error = std::strerror(errno);
            return "";
        }
    }
    error = "every name up to " + std::string(SCREENSHOT_PREFIX) +
            std::to_string(SCREENSHOT_LIMIT) + ".png is taken";
    return "";
}

} // namespace qv::platform
