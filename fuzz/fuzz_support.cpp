#include "fuzz_support.h"

#include "assets/archive.h"
#include "assets/texts.h"
#include "persist/records.h"
#include "platform/platform.h"
#include "render/view.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace qv::fuzz {

void start() {
    static bool started = false;
    if (started) return;
    started = true;
    platform::init_headless();
    set_view_params();
    init_texts();
    const std::string table = std::string(QV_GAME_DIR) + "/loader.def";
    try {
        load_code_table(table);
    } catch (const AssetError &e) {
        std::fprintf(stderr, "fuzz: %s (build the game_data target first)\n", e.what());
        std::abort();
    }
}

std::vector<std::uint8_t> saved_records() {
    MemorySaves memory(std::nullopt, std::nullopt);
    save_records(memory);
    return memory.read(SaveFile::Records, RECORDS_FILE_SIZE).value_or(Bytes{});
}

void broken(const char *promise) {
    std::fprintf(stderr, "fuzz: broken promise: %s\n", promise);
    std::abort();
}

} // namespace qv::fuzz
