// The code table reader on any bytes: a table it takes undoes its own code
// for every byte on every row; anything else is refused by name.
#include "fuzz_support.h"

#include "assets/archive.h"
#include "core/game_state.h"

using namespace qv;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    fuzz::start();
    try {
        code_table_from_bytes(data, size, "loader.def");
    } catch (const AssetError &) {
        return 0;
    }
    for (int r = 0; r < CODE_ROWS; ++r)
        for (int j = 0; j < 256; ++j)
            fuzz::require(g.decipher_table[r][g.cipher_table[r][j]] == j,
                          "a table that is taken deciphers what it enciphers");
    // An archive made with it comes back as it was.
    const std::vector<std::uint8_t> plain(data, data + (size < 300 ? size : 300));
    fuzz::require(decipher_archive(encipher_archive(plain, data[0] % CODE_ROWS)) == plain,
                  "archives come back as they were");
    return 0;
}
