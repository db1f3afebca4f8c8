// The game's picture: 320x200, one byte a pixel in the palette in use.
#pragma once

namespace qv {

inline constexpr int FRAME_W = 320;
inline constexpr int FRAME_H = 200;

} // namespace qv
