// The screens opened from the title menu: the selection chain (ship, gun,
// pod, stage) and the setup menus with key rebinding.
#pragma once

#include "frontend/menu_input.h"

namespace qv {

// Ship -> gun -> pod -> stage. Leaves g.current_stage at -1 when the player
// backs out, else sets it and g.single_stage.
void run_ship_menu(const Backdrop &b);

// "Configuration" and its four settings menus.
void run_setup_menu(const Backdrop &b);

// Shows the prompt and captures a key code (gamepad off) or a button
// (gamepad on); an action that used it takes over the old binding.
int rebind_action(int action, const Backdrop &b);

} // namespace qv
