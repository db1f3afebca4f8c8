#include "support/test_support.h"

#include "assets/texts.h"
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
    init_texts();
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
