// Writes the game's data directory: code table, picture and sound archives,
// and the title colour maps. Placeholder until the generator lands.
#include <cstdio>

int main(int argc, char **) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: assetgen DATA_DIR\n");
        return 2;
    }
    return 0;
}
