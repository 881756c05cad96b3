// Arc legs (AF DME arcs and RF radius-to-fix legs): the arc's own start and
// end radials and length. The tangent entry and exit turns onto and off an AF
// arc are not built yet: those transitions are flown over (no turn).
#include "lnav/fms_legs.h"
#include "lnav/leg_path.h"
#include "lnav/leg_path_internal.h"
#include "lnav/route_state.h"
#include "navdata/geodesy.h"

namespace legpath {

void arc_setup(int32_t k, bool from_previous) {
  if (k < 1 || !slot_ok(k)) return;
  const double clat = legs_rad_lat[k], clon = legs_rad_lon[k];
  const float to_prev = gc_bearing(clat, clon, legs_lat[k - 1], legs_lon[k - 1]);
  float len = 0.0f;
  if (id_is_gap(k - 1)) {
    if (from_previous) legs_af_beg[k] = to_prev;
    legs_af_end[k] = to_prev;
  } else {
    // From k's own pass the start radial stays: an entry turn may have set it.
    if (from_previous) legs_af_beg[k] = to_prev;
    legs_af_end[k] = gc_bearing(clat, clon, legs_lat[k], legs_lon[k]);
    len = arc_length(legs_radius[k],
                     course_diff_dir(legs_af_beg[k], legs_af_end[k], static_cast<int32_t>(legs_rad_turn[k])));
  }
  legs_af_arc_dist[k] = len;
  if (from_previous) legs_seg_remain_dist[k - 1] = len;
}

int32_t arc_entry_search() { return 0; }
int32_t arc_exit_search() { return 0; }
int32_t arc_connection(int32_t) { return leg_pass.j; }

int32_t direct_to_stage(int32_t i) { return i; }

}  // namespace legpath

void calc_direct_turn_path() {}
