// Placeholder until the settings file lands.
#include "persist/atomic_file.h"

namespace qv {
bool write_file_atomically(const std::string &, const std::uint8_t *, std::size_t, std::string &) { return true; }
void fail_writes_after(long) {}
} // namespace qv
