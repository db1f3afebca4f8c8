// The screens opened from the title menu: the selection chain (ship, gun,
// pod, stage) and the setup menus with key rebinding.
#pragma once

#include "frontend/front_end_screen.h"
#include "frontend/menu_input.h"

namespace qv {

// Ship -> gun -> pod -> stage. True when a stage was chosen: then
// g.current_stage and g.single_stage say which; false when the player
// backed out.
bool run_ship_menu(const Backdrop &b);

// "Configuration" and its four settings menus.
void run_setup_menu(const Backdrop &b);

} // namespace qv
