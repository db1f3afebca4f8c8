#include "support/test_support.h"

#include "loop/game_loop.h"
#include "platform/virtual_platform.h"
#include "core/game_state.h"
#include "persist/records.h"
#include "persist/settings.h"
#include "render/view.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
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

void tinted_palette(PALETTE pal, int tint) {
    for (int c = 0; c < PAL_SIZE; ++c)
        pal[c] = RGB{static_cast<unsigned char>((c + tint) & 63),
                     static_cast<unsigned char>((c / 2 + 3 * tint) & 63),
                     static_cast<unsigned char>((c / 4 + 7 * tint) & 63), 0};
}

std::vector<std::uint8_t> pcx_file(int w, int h, const std::function<int(int, int)> &pixel,
                                   int tint) {
    static const std::string path = make_temp_dir("pcx") + "/picture.pcx";
    const BitmapPtr b = make_bitmap(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) _putpixel(b.get(), x, y, pixel(x, y));
    PALETTE pal;
    tinted_palette(pal, tint);
    save_pcx(path.c_str(), b.get(), pal);
    return read_bytes(path);
}

std::vector<std::uint8_t> wav_file(std::initializer_list<WavChunk> chunks) {
    std::vector<std::uint8_t> w = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
    for (const auto &[id, body] : chunks) {
        w.insert(w.end(), id, id + 4);
        const auto n = static_cast<std::uint32_t>(body.size());
        for (int i = 0; i < 4; ++i) w.push_back(static_cast<std::uint8_t>(n >> (8 * i)));
        w.insert(w.end(), body.begin(), body.end());
    }
    return w;
}

std::vector<std::uint8_t> wav_format(int channels, int bits, int format, int rate) {
    std::vector<std::uint8_t> b;
    const auto put = [&](long v, int n) {
        for (int i = 0; i < n; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    // format, channels, rate, bytes per second, block size, bits
    put(format, 2), put(channels, 2), put(rate, 4), put(rate * channels * bits / 8, 4);
    put(channels * bits / 8, 2), put(bits, 2);
    return b;
}

namespace {

// Every folder a test process makes lies in one of its own, removed when the
// process ends, whether its tests passed or not.
class TempRoot {
  public:
    TempRoot() : path_(std::filesystem::temp_directory_path() / (PREFIX + std::to_string(getpid()))) {
        namespace fs = std::filesystem;
        // A test process that crashed could not remove its own: whichever
        // comes next removes the folders of processes no longer running.
        std::error_code ec;
        for (auto it = fs::directory_iterator(path_.parent_path(), ec); !ec && it != fs::end(it); it.increment(ec)) {
            const std::string name = it->path().filename().string();
            if (name.rfind(PREFIX, 0) != 0) continue;
            const long pid = std::strtol(name.c_str() + PREFIX.size(), nullptr, 10);
            if (pid > 0 && kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) remove(it->path());
        }
        remove(path_);
        fs::create_directories(path_);
    }
    ~TempRoot() { remove(path_); }
    const std::filesystem::path &path() const { return path_; }

  private:
    static inline const std::string PREFIX = "quarvell-tests-";

    static void remove(const std::filesystem::path &root) {
        namespace fs = std::filesystem;
        std::error_code ec;
        // Tests make folders read-only to see saves fail: open them first.
        for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::end(it); it.increment(ec))
            if (it->is_directory(ec)) fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(root, ec);
    }

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
