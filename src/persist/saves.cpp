#include "persist/saves.h"

namespace qv {

namespace {
constexpr const char *MEMORY_NAMES[SAVE_FILE_COUNT] = {"settings in memory", "records in memory"};
Saves *current = nullptr;
} // namespace

std::optional<Bytes> FileSaves::read(SaveFile f, std::size_t most) {
    return read_saved_file(path(f), most);
}

bool FileSaves::save(SaveFile f, const MergeWithDisk &merge) { return save_file(path(f), merge); }

void FileSaves::clean(SaveFile f) { remove_stale_temporaries(path(f)); }

std::optional<Bytes> MemorySaves::read(SaveFile f, std::size_t most) {
    std::optional<Bytes> held = files_[static_cast<int>(f)];
    if (held && held->size() > most) held->resize(most);
    return held;
}

bool MemorySaves::save(SaveFile f, const MergeWithDisk &merge) {
    std::optional<Bytes> &held = files_[static_cast<int>(f)];
    held = merge(held);
    return true;
}

std::string MemorySaves::name(SaveFile f) const { return MEMORY_NAMES[static_cast<int>(f)]; }

UseSaves::UseSaves(Saves &s) : previous_(current) { current = &s; }
UseSaves::~UseSaves() { current = previous_; }

Saves &saves() {
    static FileSaves here(SETTINGS_FILE, RECORDS_FILE);
    return current ? *current : here;
}

} // namespace qv
