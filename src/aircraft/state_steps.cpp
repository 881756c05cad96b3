// The per-load reset of the route-table counts (see state_steps.h; the other
// steps named there live in their own files).
#include "aircraft/state_steps.h"

#include "lnav/route/route_intake.h"
#include "lnav/route/route_state.h"

// After a load the route tables are empty until the scripts send them again.
void reset_route_counts() {
  fms_seq.legs_num = 0.0f;
  display_routes[0].count = 0.0f;
  display_routes[1].count = 0.0f;
}
