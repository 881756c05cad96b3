// The route pass after the path build: leg sequencing and route tracking,
// the direct-to state without a route, the answer to the scripts' route
// change ("zuvadud/D738/fms/legs_change" lowered), the profile markers, the
// second and third routes, the modified route's turn and the abeam points.
// Writes back "fms/test", "legs_df_crs_2", "legs_change" and
// "vnav_idx_seq_prev"; the route sets write their own flags (route_sets.cpp).
#include <cstdio>

#include "core/binding.h"
#include "core/host_io.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "lnav/route/route_intake.h"
#include "lnav/route/route_pass_steps.h"
#include "lnav/route/route_sets.h"
#include "core/util.h"
#include "lnav/route/fms_legs.h"
#include "lnav/route/route_state.h"
#include "lnav/route/sequencing.h"

FmsAddLegHandback fms_add_leg_handback;

namespace {

using namespace bound;

void log_offsets(const char* prefix) {
  char line[128];
  std::snprintf(line, sizeof line, "%s FMC: Offset: %d, Offset_seq: %d\n", prefix, leg_of(fms_seq.vnav_idx),
                leg_of(fms_seq.vnav_idx_seq));
  XPLMDebugString(line);
}

// The second route mirrors the active one while no modification is pending:
// the scripts then take its direct courses from ours.
void hand_back_direct_courses() {
  const float count = route_set2.count;
  if (!(fms_seq.legs_num == count && count > 0.0f && fms_copies.legs_mod_active == 0.0f)) return;
  const int32_t entries = trunc_clamped(count + 1.0f, 0, route_leg_capacity);
  script_set_vf(zuvadud_D738_fms_legs_df_crs_2, legs_df_crs, entries);
}

void sequence() {
  const bool diag = fms_debug_selector == 8888.0f;
  if (sequence_legs_new_offset()) {
    if (diag) log_offsets("After next offset>");
  } else {
    const float idx = fms_seq.vnav_idx;
    const float seq = fms_seq.vnav_idx_seq;
    sequence_legs();
    if (diag && (idx != fms_seq.vnav_idx || seq != fms_seq.vnav_idx_seq)) log_offsets("After next offset seq>");
  }
  if (fms_seq.nav_mode == 3.0f) {
    sequence_legs_hold();
    if (route_track.region == 301) hold_region_flag = 1;
  } else {
    hold_region_flag = 0;
    hold_seq_latch = 0;
  }
  if (fms_seq.nav_mode == 7.0f) sequence_legs_pi();
  // Once the active leg has moved past it, the path no longer starts at the
  // direct-to leg.
  if (fms_seq.intdir_act == 0.0f && fms_seq.vnav_idx - 1.0f > static_cast<float>(first_path_leg)) {
    direct_to_leg = 0;
    first_path_leg = 0;
  }
}

void close_path_build() {
  if (fms_debug_selector == 5555.0f) {
    fms_debug_selector = 0.0f;
    script_set_f(zuvadud_D738_fms_test, 0.0f);
  }
  hand_back_direct_courses();
  if (route_reset_request == 0.0f) sequence();
  update_route_tracking();
}

void clear_direct_to_state() {
  // The copy only: the scripts' own value is left for their next change.
  fms_seq.intdir_act = 0.0f;
  direct_to_leg = 0;
  first_path_leg = 0;
  for (float& f : direct_to_flags) f = 0.0f;
}

void update_seq_prev() {
  const float prev = static_cast<float>(prev_valid_leg(leg_of(fms_seq.vnav_idx_seq)) + 1);
  if (prev == fms_seq.vnav_idx_seq_prev) return;
  fms_seq.vnav_idx_seq_prev = prev;
  script_set_f(zuvadud_D738_fms_vnav_idx_seq_prev, prev);
}

}  // namespace

void route_sequencing_pass() {
  if (path_pass_ran) {
    const float mode_before = fms_seq.nav_mode;
    close_path_build();
    if (fms_seq.nav_mode == 99.0f && mode_before != 99.0f) route_take_in.ended = true;
    route_take_in.measured_leg = fms_seq.vnav_idx;
  } else {
    route_take_in.measured_leg = 0.0f;
    if (!(fms_seq.legs_num > 0.0f)) clear_direct_to_state();
  }

  // The route (if any) has been taken in: answer the scripts' request.
  legs_change_copy = 0.0f;
  script_set_f(zuvadud_D738_fms_legs_change, 0.0f);

  place_active_profile_markers();
  update_seq_prev();
  take_route_set(0);
  take_route_set(1);
  place_modified_profile_markers();

  intdir_turn();
  // The path build has drawn the direct turn already when it ran.
  if (!path_pass_ran) calc_direct_turn_path();

  compute_abeam_points();
}
