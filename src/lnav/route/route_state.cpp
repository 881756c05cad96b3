// Unpublished route path state and the forward valid-leg walk.
#include "lnav/route/route_state.h"

#include "lnav/route/route_intake.h"
#include "lnav/route/fms_legs.h"

float legs_wpt_angle[256];
float legs_wpt_arc_dist[256];
float legs_seg1_dta[256];
float legs_seg1_arc_lenght[256];
float legs_seg2_distance[256];
float legs_seg3_arc_lenght[256];
float legs_seg_remain_dist[256];
float legs_af_arc_dist[256];
float legs_direct[256];

float dir_start_lat;
float dir_start_lon;
float dir_init_crs;
float dir_seg1_dta;
float dir_seg1_arc_lenght;
float dir_seg2_distance;
float dir_seg3_arc_lenght;
float dir_seg_remain_dist;
float dir_wpt_angle;
float dir_wpt_arc_dist;

DisplayRoute display_routes[2];
float display_route_mod_sel;
float intdir_end_lat_mod;
float intdir_end_lon_mod;

int32_t next_valid_leg(int32_t i) {
  const float last = fms_seq.legs_num;
  // Same truncation as the rest of the route code; NaN and absurd counts
  // give no legs.
  int32_t last_i = 0;
  if (last >= 0.0f && last < static_cast<float>(route_leg_capacity)) last_i = static_cast<int32_t>(last);
  if (static_cast<float>(i) >= last - 1.0f) return last_i;
  int32_t j = i + 1;
  if (j < 0) j = 0;
  for (; static_cast<float>(j) <= last - 1.0f && j < route_leg_capacity; ++j) {
    if (legs_bypass[j] != 1.0f) return j;
  }
  return last_i;
}

int32_t next_sequencing_leg(int32_t i) {
  const int32_t n = next_valid_leg(i);
  if (static_cast<float>(n) < fms_seq.legs_num) return n;
  // n is the destination entry (or nothing, for an absurd count).
  return n - 1 > i ? n - 1 : i;
}
