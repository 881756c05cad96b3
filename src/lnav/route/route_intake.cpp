// Route intake: copies the scripts' FMS values every frame, re-reads the
// route strings when the scripts raise "zuvadud/D738/fms/legs_change", and
// decodes them into the route text tables with the per-leg type rules.
// Reads script datarefs under "zuvadud/D738/" as they stand now; writes back
// "fms/vnav_idx_seq_prev" and the published "legs_type" / "legs_spd_calc"
// elements the rules set.
#include "lnav/route/route_intake.h"

#include <cstdio>
#include <cstring>

#include "core/binding.h"
#include "core/host_io.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "lnav/route/route_pass_steps.h"
#include "core/util.h"
#include "lnav/route/fms_legs.h"

RouteStringTables route_tables;
RouteScriptStrings route_script_strings[3];
FmsSequenceState fms_seq;
int32_t active_route_side;
float legs_change_copy;
int32_t direct_to_leg;
int32_t first_path_leg;
int32_t path_start_leg;
int32_t first_alt_term_leg;
float first_alt_term_alt;
RunwayRefs runway_refs[3];
PendingHold pending_holds[2];
FmsRouteCopies fms_copies;
RouteChangeValues route_change_values;

namespace {

using namespace bound;

struct FloatCopy {
  Id id;
  float* dst;
};

template <int N>
void copy_floats(const FloatCopy (&table)[N]) {
  for (const FloatCopy& c : table) *c.dst = read_now_f(c.id);
}

RunwayRefs& rw0 = runway_refs[0];
RunwayRefs& rw1 = runway_refs[1];
RunwayRefs& rw2 = runway_refs[2];
FmsRouteCopies& fc = fms_copies;

const FloatCopy runway_reads[] = {
    {zuvadud_D738_pfd_ils_show0, &rw0.ils_show0},
    {zuvadud_D738_pfd_ils_fo_show0, &rw0.ils_fo_show0},
    {zuvadud_D738_fms_ref_runway_start_lat, &rw0.ref_lat},
    {zuvadud_D738_fms_ref_runway_start_lon, &rw0.ref_lon},
    {zuvadud_D738_fms_ref_runway_crs, &rw0.ref_crs},
    {zuvadud_D738_fms_ref_runway_len, &rw0.ref_len},
    {zuvadud_D738_pfd_ils_show, &rw0.ils_show},
    {zuvadud_D738_pfd_ils_fo_show, &rw0.ils_fo_show},
    {zuvadud_D738_fms_des_runway_start_lat, &rw0.des_lat},
    {zuvadud_D738_fms_des_runway_start_lon, &rw0.des_lon},
    {zuvadud_D738_fms_des_runway_crs, &rw0.des_crs},
    {zuvadud_D738_fms_des_runway_len, &rw0.des_len},
    {zuvadud_D738_pfd_ils_show0_mod, &rw1.ils_show0},
    {zuvadud_D738_pfd_ils_fo_show0_mod, &rw1.ils_fo_show0},
    {zuvadud_D738_fms_ref_runway_start_lat_mod, &rw1.ref_lat},
    {zuvadud_D738_fms_ref_runway_start_lon_mod, &rw1.ref_lon},
    {zuvadud_D738_fms_ref_runway_crs_mod, &rw1.ref_crs},
    {zuvadud_D738_fms_ref_runway_len_mod, &rw1.ref_len},
    {zuvadud_D738_pfd_ils_show_mod, &rw1.ils_show},
    {zuvadud_D738_pfd_ils_fo_show_mod, &rw1.ils_fo_show},
    {zuvadud_D738_fms_des_runway_start_lat_mod, &rw1.des_lat},
    {zuvadud_D738_fms_des_runway_start_lon_mod, &rw1.des_lon},
    {zuvadud_D738_fms_des_runway_crs_mod, &rw1.des_crs},
    {zuvadud_D738_fms_des_runway_len_mod, &rw1.des_len},
    {zuvadud_D738_fms_ref_runway_start_lat_mod2, &rw2.ref_lat},
    {zuvadud_D738_fms_ref_runway_start_lon_mod2, &rw2.ref_lon},
    {zuvadud_D738_fms_ref_runway_crs_mod2, &rw2.ref_crs},
    {zuvadud_D738_fms_ref_runway_len_mod2, &rw2.ref_len},
    {zuvadud_D738_fms_des_runway_start_lat_mod2, &rw2.des_lat},
    {zuvadud_D738_fms_des_runway_start_lon_mod2, &rw2.des_lon},
    {zuvadud_D738_fms_des_runway_crs_mod2, &rw2.des_crs},
    {zuvadud_D738_fms_des_runway_len_mod2, &rw2.des_len},
    {zuvadud_D738_fms_gps_track_degtm, &fc.gps_track_degtm},
    {zuvadud_D738_fms_gps_course_degtm, &fc.gps_course_degtm},
    {zuvadud_D738_fms_lnav_dist_next, &fc.lnav_dist_next},
    {zuvadud_D738_fms_xtrack, &fc.xtrack},
    {zuvadud_D738_fms_vnav_idx, &fms_seq.vnav_idx},
    {zuvadud_D738_fms_vnav_idx_seq, &fms_seq.vnav_idx_seq},
};

const FloatCopy direct_to_reads_1[] = {
    {zuvadud_D738_fms_vnav_idx_mod, &fc.vnav_idx_mod},
    {zuvadud_D738_fms_vnav_idx_mod3, &fc.vnav_idx_mod3},
    {zuvadud_D738_fms_intdir_idx_mod, &fc.intdir_idx_mod},
    {zuvadud_D738_fms_intdir_crs2, &fc.intdir_crs2},
    {zuvadud_D738_fms_intdir, &fms_seq.intdir},
    {zuvadud_D738_fms_intdir_rte, &fc.intdir_rte},
    {zuvadud_D738_fms_intdir_lat, &fc.intdir_lat},
    {zuvadud_D738_fms_intdir_lon, &fc.intdir_lon},
    {zuvadud_D738_fms_intdir_trk, &fc.intdir_trk},
};

const FloatCopy direct_to_reads_2[] = {
    {zuvadud_D738_fms_hold_exec, &fc.hold_exec},
    {zuvadud_D738_fms_hold_exec2, &fc.hold_exec2},
    {zuvadud_D738_fms_nav_mode, &fms_seq.nav_mode},
    {zuvadud_D738_fms_hold_phase, &fms_seq.hold_phase},
    {zuvadud_D738_fms_hold_term, &fms_seq.hold_term},
    {zuvadud_D738_fms_pi_phase, &fms_seq.pi_phase},
    {zuvadud_D738_fms_intdir_radius, &fc.intdir_radius},
    {zuvadud_D738_fms_intdir_rad_lat, &fc.intdir_rad_lat},
    {zuvadud_D738_fms_intdir_rad_lon, &fc.intdir_rad_lon},
    {zuvadud_D738_fms_intdir_turn, &fc.intdir_turn},
    {zuvadud_D738_fms_intdir_end_lat, &fc.intdir_end_lat},
    {zuvadud_D738_fms_intdir_end_lon, &fc.intdir_end_lon},
    {zuvadud_D738_fms_intdir_init_trk, &fc.intdir_init_trk},
    {zuvadud_D738_fms_legs_change, &legs_change_copy},
    {zuvadud_D738_fms_legs_change2, &fc.legs_change2},
    {zuvadud_D738_fms_legs_change3, &fc.legs_change3},
    {zuvadud_D738_fms_legs_step_ctr, &fc.legs_step_ctr},
    {zuvadud_D738_fms_legs_step_ctr_fo, &fc.legs_step_ctr_fo},
    {zuvadud_D738_fms_vnav_tc_idx, &fc.vnav_tc_idx},
    {zuvadud_D738_fms_vnav_tc_disco, &fc.vnav_tc_disco},
    {zuvadud_D738_fms_vnav_tc_dist, &fc.vnav_tc_dist},
    {zuvadud_D738_fms_vnav_td_idx, &fc.vnav_td_idx},
    {zuvadud_D738_fms_td_dist, &fc.td_dist},
    {zuvadud_D738_fms_vnav_td_dist, &fc.vnav_td_dist},
    {zuvadud_D738_fms_vnav_td_dist_fix, &fc.vnav_td_dist_fix},
    {zuvadud_D738_fms_vnav_td_dist_fix_mod, &fc.vnav_td_dist_fix_mod},
    {zuvadud_D738_fms_vnav_td_idx2, &fc.vnav_td_idx2},
    {zuvadud_D738_fms_vnav_td_dist2, &fc.vnav_td_dist2},
    {zuvadud_D738_fms_vnav_td_alt2, &fc.vnav_td_alt2},
    {zuvadud_D738_fms_vnav_decel_idx, &fc.vnav_decel_idx},
    {zuvadud_D738_fms_vnav_decel_dist2, &fc.vnav_decel_dist2},
    {zuvadud_D738_fms_vnav_decel_wpt_idx, &fc.vnav_decel_wpt_idx},
    {zuvadud_D738_fms_vnav_decel_wpt_dist, &fc.vnav_decel_wpt_dist},
    {zuvadud_D738_fms_vnav_fl100_idx, &fc.vnav_fl100_idx},
    {zuvadud_D738_fms_vnav_fl100_dist, &fc.vnav_fl100_dist},
    {zuvadud_D738_fms_vnav_fl100_idx2, &fc.vnav_fl100_idx2},
    {zuvadud_D738_fms_vnav_fl100_dist2, &fc.vnav_fl100_dist2},
    {zuvadud_D738_fms_vnav_td_idx_mod, &fc.vnav_td_idx_mod},
    {zuvadud_D738_fms_td_dist_mod, &fc.td_dist_mod},
    {zuvadud_D738_fms_vnav_decel_idx_mod, &fc.vnav_decel_idx_mod},
    {zuvadud_D738_fms_vnav_decel_dist2_mod, &fc.vnav_decel_dist2_mod},
    {zuvadud_D738_fms_vnav_decel_wpt_idx_mod, &fc.vnav_decel_wpt_idx_mod},
    {zuvadud_D738_fms_vnav_decel_wpt_dist_mod, &fc.vnav_decel_wpt_dist_mod},
    {zuvadud_D738_fms_vnav_fl100_idx_mod, &fc.vnav_fl100_idx_mod},
    {zuvadud_D738_fms_vnav_fl100_dist_mod, &fc.vnav_fl100_dist_mod},
    {zuvadud_D738_fms_vnav_fl100_idx2_mod, &fc.vnav_fl100_idx2_mod},
    {zuvadud_D738_fms_vnav_fl100_dist2_mod, &fc.vnav_fl100_dist2_mod},
    {zuvadud_D738_fms_vnav_tc_idx_mod, &fc.vnav_tc_idx_mod},
    {zuvadud_D738_fms_vnav_tc_dist_mod, &fc.vnav_tc_dist_mod},
    {zuvadud_D738_fms_vnav_tc_disco_mod, &fc.vnav_tc_disco_mod},
    {zuvadud_D738_fms_rnav_idx_last_mod, &fc.rnav_idx_last_mod},
    {zuvadud_D738_fms_legs_mod_active, &fc.legs_mod_active},
    {zuvadud_D738_fms_crz_exec, &fc.crz_exec},
    {zuvadud_D738_FMS_v2_set, &fc.v2_set},
};

struct HoldIds {
  Id active, id, lat, lon, crs_mag, turn, speed, altitude, time, distance;
};
const HoldIds hold_ids[2] = {
    {zuvadud_D738_fms_new_hold_at, zuvadud_D738_fms_new_hold_at_id, zuvadud_D738_fms_new_hold_at_lat,
     zuvadud_D738_fms_new_hold_at_lon, zuvadud_D738_fms_new_hold_at_crs_mag, zuvadud_D738_fms_new_hold_at_turn,
     zuvadud_D738_fms_new_hold_at_speed, zuvadud_D738_fms_new_hold_at_altitude, zuvadud_D738_fms_new_hold_at_time,
     zuvadud_D738_fms_new_hold_at_distance},
    {zuvadud_D738_fms_new_hold_at2, zuvadud_D738_fms_new_hold_at_id2, zuvadud_D738_fms_new_hold_at_lat2,
     zuvadud_D738_fms_new_hold_at_lon2, zuvadud_D738_fms_new_hold_at_crs_mag2, zuvadud_D738_fms_new_hold_at_turn2,
     zuvadud_D738_fms_new_hold_at_speed2, zuvadud_D738_fms_new_hold_at_altitude2,
     zuvadud_D738_fms_new_hold_at_time2, zuvadud_D738_fms_new_hold_at_distance2},
};

const FloatCopy approach_reads[] = {
    {zuvadud_D738_fms_missed_app_act, &fc.missed_app_act},
    {zuvadud_D738_fms_missed_app_wpt_idx, &fc.missed_app_wpt_idx},
    {zuvadud_D738_fms_missed_app_wpt_idx2, &fc.missed_app_wpt_idx2},
    {zuvadud_D738_fms_first_app_idx, &fc.first_app_idx},
    {zuvadud_D738_fms_iaf_app_idx, &fc.iaf_app_idx},
    {zuvadud_D738_fms_rnav_idx_last, &fc.rnav_idx_last},
};

const FloatCopy trans_and_add_reads[] = {
    {zuvadud_D738_FMS_fmc_trans_lvl, &fc.fmc_trans_lvl},
    {zuvadud_D738_FMS_fmc_trans_alt, &fc.fmc_trans_alt},
    {zuvadud_D738_fms_fms_add_cmd, &fc.fms_add_cmd},
    {zuvadud_D738_fms_fms_add_data_num, &fms_add_leg_handback.count},
};

RouteChangeValues& rc = route_change_values;
const FloatCopy change_reads[] = {
    {zuvadud_D738_fms_intdir_act, &fms_seq.intdir_act},
    {zuvadud_D738_fms_intdir_idx, &fms_seq.intdir_idx},
    {zuvadud_D738_fms_intdir_crs, &rc.intdir_crs},
    {zuvadud_D738_fms_legs_offset_act, &fms_seq.legs_offset_act},
    {zuvadud_D738_fms_legs_offset_start, &rc.legs_offset_start},
    {zuvadud_D738_fms_legs_offset_end, &rc.legs_offset_end},
    {zuvadud_D738_fms_legs_offset_start_t, &rc.legs_offset_start_t},
    {zuvadud_D738_fms_legs_offset_latx_1, &rc.offset_lat[0]},
    {zuvadud_D738_fms_legs_offset_lonx_1, &rc.offset_lon[0]},
    {zuvadud_D738_fms_legs_offset_latx_2, &rc.offset_lat[1]},
    {zuvadud_D738_fms_legs_offset_lonx_2, &rc.offset_lon[1]},
    {zuvadud_D738_fms_legs_offset_latx_3, &rc.offset_lat[2]},
    {zuvadud_D738_fms_legs_offset_lonx_3, &rc.offset_lon[2]},
    {zuvadud_D738_fms_legs_offset_latx_4, &rc.offset_lat[3]},
    {zuvadud_D738_fms_legs_offset_lonx_4, &rc.offset_lon[3]},
};

// 0-based leg index of a 1-based script leg number, trunc(value - 1),
// bounded to the tables (-1 none / before the route, 256 past its end).
int32_t leg_index(float one_based) { return trunc_clamped(one_based - 1.0f, -1, route_slots); }

// The valid leg before the sequencing leg, 1-based, as the scripts keep it.
float seq_prev_from(float vnav_idx_seq) {
  return static_cast<float>(prev_valid_leg(leg_index(vnav_idx_seq)) + 1);
}

void set_slot(RouteText& slot, const char* begin, size_t length) {
  if (length > static_cast<size_t>(route_text_bytes - 1)) length = route_text_bytes - 1;
  std::memcpy(slot.text, begin, length);
  slot.text[length] = '\0';
}

// The two characters of entry i of a path-type text (fewer where the text
// ends inside the pair).
void take_type_pair(const char* text, int32_t i, RouteText& slot) {
  const size_t at = static_cast<size_t>(2 * i);
  const size_t length = std::strlen(text);
  if (at >= length) {
    slot.text[0] = '\0';
    return;
  }
  set_slot(slot, text + at, length - at >= 2 ? 2 : 1);
}

bool is_alt_terminated(const RouteText& t) {
  return route_text_is(t, "CA") || route_text_is(t, "VA") || route_text_is(t, "FA");
}
bool is_intercept(const RouteText& t) { return route_text_is(t, "CI") || route_text_is(t, "VI"); }

void log_decode(int32_t which, int32_t count) {
  char line[160];
  std::snprintf(line, sizeof line, "Decode %d -> Waypoint names. Waypoints: %d  Legs_num: %f\n", which, count,
                static_cast<double>(fms_seq.legs_num));
  XPLMDebugString(line);
  for (int32_t k = 0; k < count && k < route_slots; ++k) {
    std::snprintf(line, sizeof line, "- WPT %d  <%s>:\n", k, route_tables.waypoint_names[k].text);
    XPLMDebugString(line);
  }
}

void reread_route() {
  fms_seq.legs_num = read_now_f(zuvadud_D738_vnav_legs_num);
  RouteScriptStrings& s = route_script_strings[0];
  read_now_text(zuvadud_D738_fms_legs_pth, s.legs_pth, sizeof s.legs_pth);
  read_now_text(zuvadud_D738_fms_legs_pth_before, s.legs_pth_before, sizeof s.legs_pth_before);
  read_now_text(zuvadud_D738_fms_legs, s.legs, sizeof s.legs);
  read_now_text(zuvadud_D738_fms_legs_ext, s.legs_ext, sizeof s.legs_ext);
  copy_floats(change_reads);
}

void reset_route() {
  reset_leg_path(0, 1);
  for (int32_t i = 0; i < route_slots; ++i) reset_leg_path(i, 0);
  direct_to_leg = first_path_leg = fms_seq.intdir_act == 0.0f ? 0 : leg_index(fms_seq.vnav_idx);
}

void decode_waypoint_names() {
  const RouteScriptStrings& s = route_script_strings[0];
  const bool log = fms_debug_selector == 5555.0f;
  int32_t count = decode_identifiers(s.legs, route_tables.waypoint_names, 0);
  if (log) log_decode(1, count);
  if (count != 128) return;
  count = decode_identifiers(s.legs_ext, route_tables.waypoint_names, count);
  if (log) log_decode(2, count);
}

void choose_path_start() {
  path_start_leg = leg_index(fms_seq.vnav_idx_seq);
  // Take-off: with the sequencing leg just past the departure runway, the
  // path starts at the runway so the climb-out is drawn from it.
  if (path_start_leg == 2 && on_ground == 1 && fms_seq.intdir_act == 0.0f &&
      route_text_starts(route_tables.waypoint_names[1], "RW")) {
    path_start_leg = 1;
    legs_spd_calc[1] = fms_copies.v2_set == 0.0f ? 145.0f : fms_copies.v2_set + 20.0f;
  }
}

void per_leg_pass() {
  const RouteScriptStrings& s = route_script_strings[0];
  const float active_from = fms_seq.vnav_idx - 1.0f;
  for (int32_t i = 0; i < route_slots && static_cast<float>(i) <= fms_seq.legs_num; ++i) {
    RouteText& type = route_tables.leg_path_types[i];
    take_type_pair(s.legs_pth, i, type);
    take_type_pair(s.legs_pth_before, i, route_tables.prev_leg_path_types[i]);
    const bool ahead = static_cast<float>(i) >= active_from;
    if (type.text[0] == 'H' && ahead) {
      compute_hold_pattern(i);
    } else {
      clear_hold_pattern(i);
      if (first_alt_term_leg == 0 && is_alt_terminated(type) && i >= path_start_leg) {
        first_alt_term_leg = i;
        first_alt_term_alt = legs_alt_rest1[i];
      }
      if (i >= 1) {
        if (is_intercept(type)) {
          legs_type[i - 1] = 5.0f;
        } else if (is_alt_terminated(type) && !is_intercept(route_tables.leg_path_types[i - 1])) {
          legs_type[i - 1] = 5.0f;
        }
      }
    }
    if (route_text_is(type, "PI") && ahead) {
      compute_proc_turn(i);
    } else {
      clear_proc_turn(i);
    }
  }
}

}  // namespace


int32_t decode_identifiers(const char* text, RouteText* slots, int32_t first_slot) {
  int32_t slot = first_slot;
  const char* start = text;
  while (slot < route_slots) {
    const char* blank = std::strchr(start, ' ');
    if (blank == nullptr) break;
    set_slot(slots[slot], start, static_cast<size_t>(blank - start));
    ++slot;
    start = blank + 1;
  }
  return slot;
}

void route_side_and_copies() {
  const float act = mirror_f(zuvadud_D738_fms_rte12_act);
  if (act == mirror_f(zuvadud_D738_fms_rte12_sel)) {
    active_route_side = 0;
  } else if (act == mirror_f(zuvadud_D738_fms_rte12_sel_fo)) {
    active_route_side = 1;
  } else {
    active_route_side = 2;
  }

  copy_floats(runway_reads);  // runway refs, track values, vnav_idx, vnav_idx_seq
  // The scripts' own value is replaced by our walk, never read.
  fms_seq.vnav_idx_seq_prev = seq_prev_from(fms_seq.vnav_idx_seq);
  script_set_f(zuvadud_D738_fms_vnav_idx_seq_prev, fms_seq.vnav_idx_seq_prev);

  copy_floats(direct_to_reads_1);
  read_now_text(zuvadud_D738_fms_gps_wpt_path, fc.gps_wpt_path, sizeof fc.gps_wpt_path);
  copy_floats(direct_to_reads_2);  // through the change flags and profile points

  for (int32_t h = 0; h < 2; ++h) {
    const HoldIds& ids = hold_ids[h];
    PendingHold& p = pending_holds[h];
    p.active = read_now_f(ids.active);
    read_now_text(ids.id, p.id, sizeof p.id);
    p.lat = read_now_f(ids.lat);
    p.lon = read_now_f(ids.lon);
    p.crs_mag = read_now_f(ids.crs_mag);
    p.turn = read_now_f(ids.turn);
    p.speed = read_now_f(ids.speed);
    p.altitude = read_now_f(ids.altitude);
    p.time = read_now_f(ids.time);
    p.distance = read_now_f(ids.distance);
  }

  copy_floats(approach_reads);
  fc.flight_phase = mirror_f(zuvadud_D738_FMS_flight_phase);
  copy_floats(trans_and_add_reads);
}

bool route_intake() {
  if (legs_change_copy != 0.0f) reread_route();
  if (route_reset_request != 0.0f) reset_route();
  // Also false for NaN: no route.
  if (!(fms_seq.legs_num > 0.0f)) return false;

  decode_waypoint_names();

  first_alt_term_leg = 0;
  first_alt_term_alt = 0.0f;
  fms_add_leg_handback.count = 0.0f;
  std::memset(fms_add_leg_handback.leg_index, 0, sizeof fms_add_leg_handback.leg_index);

  choose_path_start();
  per_leg_pass();
  return true;
}
