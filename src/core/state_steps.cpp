// Cockpit state exchange, start-up state, service status and CG reference:
// step entry points. The exchanges themselves arrive later; until then each
// step does nothing and the scripts' arrays are left as the scripts wrote
// them.
#include "core/state_steps.h"

#include "core/route_intake.h"
#include "lnav/route_state.h"

int32_t debug_status;
uint8_t handling_options[5] = {1, 1, 1, 1, 1};

void exchange_panel_state() {}
void sync_glare_switch() {}
void read_glare_switches() {}
void save_cockpit_state() {}
void restore_cockpit_state() {}
void first_frame_block() {}
void update_cg_reference() {}
// After a load the route tables are empty until the scripts send them again.
void reset_route_counts() {
  fms_seq.legs_num = 0.0f;
  display_routes[0].count = 0.0f;
  display_routes[1].count = 0.0f;
}
