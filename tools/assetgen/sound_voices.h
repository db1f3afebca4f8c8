// The sound effects by number. The voices live in two files, the menu's and
// the guns' (sound_guns.cpp) and the impacts, explosions and pods'
// (sound_art.cpp), each with its part of the number table.
#pragma once

#include "sound_art_dsp.h"

#include <span>

namespace assetgen {

struct Voice {
    int number;
    dsp::Signal (*make)();
};

// The menu's and the guns' voices. Their numbers follow the gun table's
// sounds.
std::span<const Voice> gun_voices();

} // namespace assetgen
