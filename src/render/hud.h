// The flight instruments: armour and heat gauges, pod icons and the radar.
#pragma once

namespace qv {

void draw_hud();
void draw_radar();

} // namespace qv
