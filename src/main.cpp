// QUARVELL: an arcade flying shooter.
#include "loop/game_loop.h"

#include <allegro.h>

#include <filesystem>
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
    return qv::game_main(options);
}
END_OF_MAIN()
