// Fuzz target of the route hand-over: the scripts' route strings, identifiers,
// leg counts and indices and the per-leg arrays, as "name=value" lines (see
// fuzz_support.h), then the frames' route reads and route pass. Checks the
// decoded tables stay terminated, the leg indices inside the tables, and no
// NaN or infinity reaches the host, the scripts or the leg arrays.
#include <cstring>

#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "lnav/route/route.h"
#include "lnav/route/route_intake.h"
#include "datarefs/lists.h"
#include "fuzz_support.h"
#include "lnav/route/fms_legs.h"

namespace {

fuzz::Restorer restorer;

void check_table(const RouteText* slots, const char* what) {
  for (int32_t i = 0; i < route_slots; ++i) fuzz::check_terminated(slots[i].text, sizeof slots[i].text, what);
}

// Leg indices are -1 (before the route), a slot, or past the end: the path
// build hands back the slot after the one it took, 257 after the last, which
// is only ever compared, never used to index (the sanitizers watch that).
void check_leg_index(int32_t i, const char* what) {
  if (i < -1 || i > route_slots + 1) fuzz::fail(std::string(what) + " = " + std::to_string(i) + " outside the tables");
}

void frame() {
  route_reads();
  route_pass();
  const RouteStringTables& t = route_tables;
  for (const RouteText* table : {t.waypoint_names, t.leg_path_types, t.prev_leg_path_types, t.waypoint_names_2,
                                 t.leg_path_types_2, t.prev_leg_path_types_2, t.waypoint_names_3,
                                 t.leg_path_types_3, t.prev_leg_path_types_3, t.abeam_ids})
    check_table(table, "route text slot");
  for (const RouteScriptStrings& s : route_script_strings) {
    fuzz::check_terminated(s.legs, sizeof s.legs, "legs");
    fuzz::check_terminated(s.legs_ext, sizeof s.legs_ext, "legs_ext");
    fuzz::check_terminated(s.legs_pth, sizeof s.legs_pth, "legs_pth");
    fuzz::check_terminated(s.legs_pth_before, sizeof s.legs_pth_before, "legs_pth_before");
  }
  for (const PendingHold& h : pending_holds) fuzz::check_terminated(h.id, sizeof h.id, "new_hold_at_id");
  check_leg_index(direct_to_leg, "direct_to_leg");
  check_leg_index(first_path_leg, "first_path_leg");
  check_leg_index(path_start_leg, "path_start_leg");
  check_leg_index(first_alt_term_leg, "first_alt_term_leg");
  fuzz::require(std::isfinite(fms_seq.vnav_idx_seq_prev), "vnav_idx_seq_prev not finite");
  // The arrays the route pass computes (the scripts' own inputs may hold
  // anything the writers let through, which they do not for non-finite values).
  fuzz::check_finite(legs_lat, "legs_lat");
  fuzz::check_finite(legs_lon, "legs_lon");
  fuzz::check_finite(legs_type, "legs_type");
  fuzz::check_finite(legs_spd_calc, "legs_spd_calc");
  fuzz::check_finite(legs_radii_radius, "legs_radii_radius");
  fuzz::check_finite(legs_dist_true, "legs_dist_true");
  fuzz::check_finite(legs_dist_dest_true, "legs_dist_dest_true");
  fuzz::check_host();
}

void reset_route_state() {
  route_tables = RouteStringTables{};
  for (RouteScriptStrings& s : route_script_strings) s = RouteScriptStrings{};
  fms_seq = FmsSequenceState{};
  legs_change_copy = 0.0f;
  route_reset_request = 0.0f;
  fms_debug_selector = 0.0f;
  direct_to_leg = first_path_leg = path_start_leg = first_alt_term_leg = 0;
  sim_paused = 0;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::start_host();
  // The leg arrays the scripts write into are the plug-in's own datarefs.
  register_fms_legs_datarefs();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  reset_route_state();
  restorer.restore();
  fuzz::run_lines(data, size, restorer, frame);
  return 0;
}
