// QUARVELL: an arcade flying shooter.
#include "core/spine.h"

#include <allegro.h>

#include <filesystem>
#include <system_error>

int main(int argc, char **argv) {
    // The game reads its data from the current directory. Started from
    // elsewhere, look beside the executable instead.
    namespace fs = std::filesystem;
    std::error_code ec;
    if (argc > 0 && !fs::exists("loader.def", ec)) {
        const fs::path here = fs::absolute(argv[0], ec).parent_path();
        if (!ec && fs::exists(here / "loader.def", ec)) fs::current_path(here, ec);
    }
    return qv::game_main();
}
END_OF_MAIN()
