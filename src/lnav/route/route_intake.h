// Route intake from the aircraft's scripts: the per-frame copies of their FMS
// values, the route strings and the tables of waypoint identifiers and leg
// path types decoded from them, and the route indices shared by the later
// route stages, lateral navigation and the display.
#pragma once

#include <cstdint>

#include "core/binding.h"
#include "lnav/route/route_state.h"

// ---- route text tables ------------------------------------------------------

constexpr int32_t route_slots = 256;       // legs per table; decoding stops at slot 255
constexpr int32_t route_text_bytes = 32;   // one slot's text, terminator included

// One slot: an identifier or a leg path type, always terminated. A longer
// script text is cut to route_text_bytes - 1 characters.
struct RouteText {
  char text[route_text_bytes];
};

// Ten tables, one slot per leg. A slot that a decode does not reach keeps what
// it held before; nothing empties the tables.
struct RouteStringTables {
  RouteText waypoint_names[route_slots];        // the WaypointNameTable: "legs" + "legs_ext"
  RouteText leg_path_types[route_slots];        // "legs_pth", two characters per leg
  RouteText prev_leg_path_types[route_slots];   // "legs_pth_before"
  RouteText waypoint_names_2[route_slots];      // second route set
  RouteText leg_path_types_2[route_slots];
  RouteText prev_leg_path_types_2[route_slots];
  RouteText waypoint_names_3[route_slots];      // third route set
  RouteText leg_path_types_3[route_slots];
  RouteText prev_leg_path_types_3[route_slots];
  RouteText abeam_ids[route_slots];             // identifiers of abeam points
};
extern RouteStringTables route_tables;

// True when the slot's text equals s / begins with s.
// Inline: the path builder asks these many thousand times a frame, mostly of
// two-letter path types, where a library call costs more than the compare.
inline bool route_text_is(const RouteText& slot, const char* s) {
  for (int32_t i = 0;; ++i) {
    if (slot.text[i] != s[i]) return false;
    if (s[i] == '\0') return true;
  }
}
inline bool route_text_starts(const RouteText& slot, const char* s) {
  for (int32_t i = 0; s[i] != '\0'; ++i) {
    if (slot.text[i] != s[i]) return false;
  }
  return true;
}

// Leg types that end on a condition (an altitude, an intercept, a distance
// or a radial) rather than at a fixed waypoint.
inline bool is_conditional(const RouteText& t) {
  static const char* const kinds[] = {"FA", "VA", "CA", "CI", "VI", "CD", "VD", "CR", "VR"};
  for (const char* k : kinds)
    if (route_text_is(t, k)) return true;
  return false;
}

// True when leg slot k's path type is s; false for a slot outside the tables.
inline bool type_is(int32_t k, const char* s) {
  return leg_slot_ok(k) && route_text_is(route_tables.leg_path_types[k], s);
}

// ---- the scripts' route strings ---------------------------------------------

// Buffers one byte larger than the script texts so a text that fills its
// dataref without a terminator still ends inside the buffer.
constexpr int32_t route_ids_bytes = 1024;   // "legs", "legs_ext": identifiers, each followed by one blank
constexpr int32_t route_types_bytes = 512;  // "legs_pth", "legs_pth_before": two characters per leg
struct RouteScriptStrings {
  char legs[route_ids_bytes + 1];
  char legs_ext[route_ids_bytes + 1];
  char legs_pth[route_types_bytes + 1];
  char legs_pth_before[route_types_bytes + 1];
};
// Index 0 the active route; 1 and 2 the sets with suffix "_2" and "_3".
extern RouteScriptStrings route_script_strings[3];


// Splits text at each blank into slots first_slot, first_slot + 1, ... (a
// text after the last blank is not an identifier; two blanks in a row give an
// empty slot) and returns the next slot number. Stops after slot 255.
int32_t decode_identifiers(const char* text, RouteText* slots, int32_t first_slot);

// ---- sequencing values and route indices ------------------------------------

// The scripts' sequencing values ("zuvadud/D738/fms/..."), copied every frame
// and written back by the route stages. Leg numbers are 1-based; legs_num is
// the index of the last route entry (entries 0..legs_num exist, legs
// 0..legs_num-1 are computed).
struct FmsSequenceState {
  float nav_mode;
  float hold_phase;
  float hold_term;
  float pi_phase;
  float vnav_idx;           // active leg
  float vnav_idx_seq;       // sequencing leg
  float vnav_idx_seq_prev;
  float intdir_act;         // 0 none, 1 requested, 2 taken, 3 direct-to path active
  float intdir_idx;
  float intdir;
  float legs_num;           // "zuvadud/D738/vnav/legs_num"
  float legs_offset_act;
};
extern FmsSequenceState fms_seq;

extern int32_t active_route_side;   // 0 captain's selection active, 1 first officer's, 2 neither
extern float legs_change_copy;      // last "fms/legs_change" read; 0 once the route was taken in
extern int32_t direct_to_leg;       // 0-based leg a direct-to path starts from
extern int32_t first_path_leg;      // 0-based first leg of the computed path
extern int32_t path_start_leg;      // 0-based leg the path computation starts at this frame
extern int32_t first_alt_term_leg;  // first CA/VA/FA leg at or after path_start_leg; 0 when none
extern float first_alt_term_alt;    // that leg's altitude restriction 1

// Runway and ILS references of the active (0), modified (1) and second
// modified (2) route; the last set has no ILS flags.
struct RunwayRefs {
  float ils_show0, ils_fo_show0;
  float ref_lat, ref_lon, ref_crs, ref_len;
  float ils_show, ils_fo_show;
  float des_lat, des_lon, des_crs, des_len;
};
extern RunwayRefs runway_refs[3];

// A hold the scripts ask for at a fix.
struct PendingHold {
  float active;             // "new_hold_at"
  char id[512 + 1];         // "new_hold_at_id"
  float lat, lon, crs_mag, turn, speed, altitude, time, distance;
};
extern PendingHold pending_holds[2];

// The other FMS values taken every frame (names after "zuvadud/D738/fms/"
// unless said).
struct FmsRouteCopies {
  float gps_track_degtm, gps_course_degtm, lnav_dist_next, xtrack;
  float vnav_idx_mod, vnav_idx_mod3, intdir_idx_mod, intdir_crs2, intdir_rte, intdir_lat, intdir_lon, intdir_trk;
  char gps_wpt_path[2 + 1];
  float hold_exec, hold_exec2;
  float intdir_radius, intdir_rad_lat, intdir_rad_lon, intdir_turn, intdir_end_lat, intdir_end_lon,
      intdir_init_trk;
  float legs_change2, legs_change3, legs_step_ctr, legs_step_ctr_fo;
  // vertical-profile points, active route
  float vnav_tc_idx, vnav_tc_disco, vnav_tc_dist, vnav_td_idx, td_dist, vnav_td_dist, vnav_td_dist_fix,
      vnav_td_dist_fix_mod, vnav_td_idx2, vnav_td_dist2, vnav_td_alt2, vnav_decel_idx, vnav_decel_dist2,
      vnav_decel_wpt_idx, vnav_decel_wpt_dist, vnav_fl100_idx, vnav_fl100_dist, vnav_fl100_idx2, vnav_fl100_dist2;
  // vertical-profile points, modified route
  float vnav_td_idx_mod, td_dist_mod, vnav_decel_idx_mod, vnav_decel_dist2_mod, vnav_decel_wpt_idx_mod,
      vnav_decel_wpt_dist_mod, vnav_fl100_idx_mod, vnav_fl100_dist_mod, vnav_fl100_idx2_mod, vnav_fl100_dist2_mod,
      vnav_tc_idx_mod, vnav_tc_dist_mod, vnav_tc_disco_mod, rnav_idx_last_mod, legs_mod_active, crz_exec;
  float v2_set;  // "FMS/v2_set"
  // approach
  float missed_app_act, missed_app_wpt_idx, missed_app_wpt_idx2, first_app_idx, iaf_app_idx, rnav_idx_last;
  float flight_phase;  // "FMS/flight_phase" (mirrored)
  float fmc_trans_lvl, fmc_trans_alt;  // "FMS/..."
  float fms_add_cmd;
};
extern FmsRouteCopies fms_copies;

// Taken when the scripts raise "legs_change" (kept on other frames).
struct RouteChangeValues {
  float intdir_crs;  // intercept course, magnetic; negative = none
  float legs_offset_start, legs_offset_end, legs_offset_start_t;
  float offset_lat[4], offset_lon[4];  // "legs_offset_latx_1".."_4", "legs_offset_lonx_1".."_4"
};
extern RouteChangeValues route_change_values;

// ---- the intake steps ----------------------------------------------------------

// Route side and the per-frame copies; every frame, paused or not.
void route_side_and_copies();
// Unpaused frames: re-read on change, route reset, decode and per-leg pass.
// Returns true when a route is present (legs_num > 0).
bool route_intake();
