// Screenshots: the picture on show, 320x200 in the game's own palette, as
// the next free quarvell-0001.png, quarvell-0002.png... in a folder.
#pragma once

#include <allegro.h>

#include <string>

namespace qv::platform {

// Saves `picture` (8-bit) in `palette` into `dir` (made if need be) and
// returns the file's path, or "" with the reason in `error`. A name already
// taken, even by a link pointing nowhere, is never written over or through;
// a failed save (a full disk) leaves no file behind.
std::string save_screenshot(const std::string &dir, BITMAP *picture, const RGB *palette,
                            std::string &error);

} // namespace qv::platform
