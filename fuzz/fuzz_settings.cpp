// The settings reader on any bytes: every value in range, four distinct keys
// that can be pressed (else a menu cannot be left), and what would be saved
// reads back the same.
#include "fuzz_support.h"

#include "core/game_state.h"
#include "input/input.h"
#include "persist/settings.h"

#include <algorithm>
#include <cstring>

using namespace qv;

namespace {

bool pressable(int code) {
    const char *name = key_name(code);
    return library_key_index(code) > 0 && std::strcmp(name, "?") != 0 &&
           std::strcmp(name, "") != 0 && std::strcmp(name, "x") != 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    fuzz::start();
    settings_from_bytes(data, static_cast<int>(std::min<std::size_t>(size, 1 << 20)));
    fuzz::require(g.difficulty >= 0 && g.difficulty <= 3, "difficulty 0..3");
    fuzz::require(g.sound_volume >= 0 && g.sound_volume <= 4, "volume 0..4");
    fuzz::require(g.sfx_volume == g.sound_volume * 63, "effect volume follows the volume");
    for (int a = 0; a < 4; ++a) {
        fuzz::require(pressable(g.key_binding[a]), "every action has a key that can be pressed");
        for (int b = 0; b < a; ++b)
            fuzz::require(g.key_binding[a] != g.key_binding[b], "no two actions share a key");
    }
    const SettingsBytes saved = settings_to_bytes();
    settings_from_bytes(saved.data(), SETTINGS_FILE_SIZE);
    fuzz::require(settings_to_bytes() == saved, "saved settings read back the same");
    return 0;
}
