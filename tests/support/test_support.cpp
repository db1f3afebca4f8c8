#include "support/test_support.h"

#include "loop/game_loop.h"
#include "platform/virtual_platform.h"
#include "core/game_state.h"
#include "persist/records.h"
#include "persist/settings.h"
#include "render/view.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numeric>
#include <random>
#include <unistd.h>

namespace qv::test {

void reset_state() {
    std::srand(0);
    std::memset(&g.ent, 0, sizeof g.ent);
    set_view_params();
    set_start_up_defaults();
}

void use_shuffled_code_table(std::uint8_t (&table)[CODE_ROWS][256], std::uint32_t seed) {
    std::mt19937 rng(seed);
    for (auto &row : table) {
        std::iota(row, row + 256, 0);
        std::shuffle(row, row + 256, rng);
    }
    set_code_table(table);
}

BitmapPtr make_bitmap(int w, int h, int colour) {
    BitmapPtr b(create_bitmap_ex(8, w, h), destroy_bitmap);
    clear_to_color(b.get(), colour);
    return b;
}

std::string first_difference(BITMAP *a, BITMAP *b, int y0, int y1) {
    if (y1 < 0)
        y1 = a->h - 1;
    for (int y = y0; y <= y1; ++y)
        for (int x = 0; x < a->w; ++x)
            if (getpixel(a, x, y) != getpixel(b, x, y))
                return "(" + std::to_string(x) + "," + std::to_string(y) +
                       "): " + std::to_string(getpixel(a, x, y)) + " vs " +
                       std::to_string(getpixel(b, x, y));
    return "";
}

int hashed(int x, int y, std::uint32_t seed) {
    std::uint32_t h = static_cast<std::uint32_t>(x) * 73856093u ^
                      static_cast<std::uint32_t>(y) * 19349663u ^ seed;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return static_cast<int>(h & 255);
}

void load_settings(const std::string &path) {
    FileSaves file(path, "");
    qv::load_settings(file);
}

bool save_settings(const std::string &path) {
    FileSaves file(path, "");
    return qv::save_settings(file);
}

void load_records(const std::string &path) {
    FileSaves file("", path);
    qv::load_records(file);
}

bool save_records(const std::string &path) {
    FileSaves file("", path);
    return qv::save_records(file);
}

std::vector<std::uint8_t> saved_records() {
    MemorySaves memory(std::nullopt, std::nullopt);
    qv::save_records(memory);
    return memory.read(SaveFile::Records, RECORDS_FILE_SIZE).value_or(Bytes{});
}

namespace {
platform::VirtualBackend &headless() {
    return dynamic_cast<platform::VirtualBackend &>(platform::backend());
}
} // namespace

void hold_library_key(int index, bool held) { headless().set_key(index, held); }

void release_all_keys() {
    for (int k = 0; k < KEY_MAX; ++k) headless().set_key(k, false);
}

std::vector<std::uint8_t> read_bytes(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void write_bytes(const std::string &path, const std::vector<std::uint8_t> &bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

namespace {

// Every folder a test process makes lies in one of its own, removed when the
// process ends, whether its tests passed or not.
class TempRoot {
  public:
    TempRoot()
        : path_(std::filesystem::temp_directory_path() / ("quarvell-tests-" + std::to_string(getpid()))) {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempRoot() {
        namespace fs = std::filesystem;
        std::error_code ec;
        // Tests make folders read-only to see saves fail: open them first.
        for (auto it = fs::recursive_directory_iterator(path_, ec); !ec && it != fs::end(it); it.increment(ec))
            if (it->is_directory(ec)) fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(path_, ec);
    }
    const std::filesystem::path &path() const { return path_; }

  private:
    std::filesystem::path path_;
};

} // namespace

std::string make_temp_dir(const std::string &tag) {
    static const TempRoot root;
    static int counter = 0;
    std::string name = tag;
    name += '-';
    name += std::to_string(counter++);
    const std::filesystem::path dir = root.path() / name;
    std::filesystem::create_directories(dir);
    return dir.string();
}

std::set<std::string> files_in(const std::string &dir) {
    std::set<std::string> names;
    for (const auto &e : std::filesystem::directory_iterator(dir))
        names.insert(e.path().filename().string());
    return names;
}

} // namespace qv::test
