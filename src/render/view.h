// The perspective constants of the flight view and their per-row tables.
#pragma once

namespace qv {

// The start-up values of g.view (camera 100 high, horizon 45 rows above the
// screen, projection scales 250 and sprite scales 100).
void set_view_params();

// Fills g.row_distance and g.row_step from g.view.
void init_view_tables();

} // namespace qv
