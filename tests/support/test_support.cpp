#include "support/test_support.h"

#include "loop/game_loop.h"
#include "core/game_state.h"
#include "render/view.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <unistd.h>

namespace qv::test {

void reset_state() {
    std::srand(0);
    std::memset(&g.ent, 0, sizeof g.ent);
    set_view_params();
    set_start_up_defaults();
}

BitmapPtr make_bitmap(int w, int h, int colour) {
    BitmapPtr b(create_bitmap_ex(8, w, h), destroy_bitmap);
    clear_to_color(b.get(), colour);
    return b;
}

int hashed(int x, int y, std::uint32_t seed) {
    std::uint32_t h = static_cast<std::uint32_t>(x) * 73856093u ^
                      static_cast<std::uint32_t>(y) * 19349663u ^ seed;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return static_cast<int>(h & 255);
}

std::string make_temp_dir(const std::string &tag) {
    namespace fs = std::filesystem;
    static int counter = 0;
    const fs::path dir = fs::temp_directory_path() /
                         ("quarvell-" + tag + "-" + std::to_string(getpid()) + "-" +
                          std::to_string(counter++));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir.string();
}

} // namespace qv::test
