// Flown distances of waypoints the path passes by: the cut leg's distance is
// shared among them in flight order from the flown waypoint before to the
// one after.
#include "lnav/path/path_position.h"
#include "lnav/route/fms_legs.h"
#include "lnav/path/leg_path.h"
#include "lnav/path/leg_path_internal.h"
#include "navdata/geodesy.h"

using namespace legpath;

void bp_true_distance(int32_t n, int32_t p, int32_t m) {
  if (!leg_slot_ok(n) || !leg_slot_ok(m) || p < -1 || p > 255) return;
  if (tracing(3333.0f)) {
    trace(3333.0f, "Calculation true distance for BP WPT: %d <%s>\n", n, wpt_id(n).text);
    if (p == -1) {
      trace(3333.0f, "- from WPT %d <%s> to WPT %d <%s>\n", p, "PPOS", m, wpt_id(m).text);
    } else {
      trace(3333.0f, "- from WPT %d <%s> to WPT %d <%s>\n", p, wpt_id(p).text, m, wpt_id(m).text);
    }
    trace(3333.0f, "- Old true distance for next not BP: %d <%s> = %f\n", m, wpt_id(m).text,
          static_cast<double>(legs_dist_true[m]));
  }
  const int32_t region = pt_is_arc(m) ? path_position_arc(m, p, legs_lat[n], legs_lon[n])
                                      : path_position_dir(m, p, legs_lat[n], legs_lon[n], 1);
  const float to_go = nav_result.along_track;
  const float d = legs_dist_true[m] - to_go;
  if (region != kRegionNone && d >= 0.0f) {
    legs_dist_true[n] = d;
    legs_dist_true[m] = to_go;
  } else {
    legs_dist_true[n] = 0.0f;
  }
  if (tracing(3333.0f)) {
    trace(3333.0f, "- Abeam_dist_calc = %f, Region = %d\n", static_cast<double>(to_go), region);
    trace(3333.0f, "- New true distance for next not BP: %d <%s> = %f\n", m, wpt_id(m).text,
          static_cast<double>(legs_dist_true[m]));
    trace(3333.0f, "- New true distance for: %d <%s> = %f\n", n, wpt_id(n).text,
          static_cast<double>(legs_dist_true[n]));
  }
}
