// assetgen DATA_DIR [--contact-sheet FILE.png] [--icons DIR]
// Writes the game's data directory: code table, picture and sound archives,
// and the light tables of the title and of each stage; the desktop icons.
// Runs without a display.
#include "generate.h"

#include <allegro.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

int main(int argc, char **argv) {
    std::string dir, contact, icons;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--contact-sheet" && i + 1 < argc) {
            contact = argv[++i];
        } else if (arg == "--icons" && i + 1 < argc) {
            icons = argv[++i];
        } else if (dir.empty() && !arg.empty() && arg[0] != '-') {
            dir = arg;
        } else {
            dir.clear();
            break;
        }
    }
    if (dir.empty()) {
        std::fprintf(stderr, "usage: assetgen DATA_DIR [--contact-sheet FILE.png] [--icons DIR]\n");
        return 2;
    }
    if (install_allegro(SYSTEM_NONE, &errno, std::atexit) != 0) {
        std::fprintf(stderr, "assetgen: cannot start the Allegro library\n");
        return 1;
    }
    try {
        assetgen::generate_data_dir(dir, contact);
        if (!icons.empty()) assetgen::write_icons(icons);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "assetgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
