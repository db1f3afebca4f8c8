// QUARVELL: an arcade flying shooter.
#include "loop/game_loop.h"
#include "loop/recorded_games.h"

#include <allegro.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

int main(int argc, char **argv) {
    // The data is read from the current folder; started from elsewhere, the
    // game looks beside its executable instead. The player's files stay in
    // the folder the game was started from.
    namespace fs = std::filesystem;
    qv::GameOptions options;
    std::error_code ec;
    if (argc > 0 && !fs::exists("loader.def", ec)) {
        const fs::path here = fs::absolute(argv[0], ec).parent_path();
        if (!ec && fs::exists(here / "loader.def", ec)) options.data_dir = here.string();
    }
    std::string record, replay;
    bool verify = false;
    for (int i = 1; i < argc; ++i) {
        const bool has_value = i + 1 < argc;
        if (std::strcmp(argv[i], "--record") == 0 && has_value) {
            record = argv[++i];
        } else if (std::strcmp(argv[i], "--replay") == 0 && has_value) {
            replay = argv[++i];
        } else if (std::strcmp(argv[i], "--verify") == 0) {
            verify = true;
        } else {
            std::fprintf(stderr, "quarvell: unknown option %s\n", argv[i]);
            return 2;
        }
    }
    if (!replay.empty()) return qv::replay_game(options, replay, verify);
    if (!record.empty()) return qv::record_game(options, record);
    return qv::game_main(options);
}
END_OF_MAIN()
