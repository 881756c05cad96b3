// Vertical-profile path markers of the navigation display: top of climb, top
// of descent, end of descent, deceleration and the two speed-change points,
// placed every frame on each side's map from the positions the route pass
// computed (lnav/route/route_sets.h) and published as display positions, show
// flags and labels (nd::tc_*, td_*, ed_*, decel_*, decel_def*_*).
//
// Two passes: the active route, then the pending modification, whose markers
// replace the first pass's. A marker that is not placed in a frame shows 0
// and keeps its last position and label.
//
// Reads the scripts' profile indices and route values (fms_copies,
// fms_seq), the second and third routes, EfisSideState, the host's position
// and variation. Leaves nd_symbol_origin as its last side frame set it.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/binding.h"
#include "core/preprocess_values.h"
#include "lnav/route/route_intake.h"
#include "lnav/route/route_sets.h"
#include "display/display_steps.h"
#include "display/map_primitives.h"
#include "display/nd_labels.h"
#include "display/nd_slots.h"
#include "display/nd_style.h"
#include "lnav/route/fms_legs.h"
#include "lnav/route/route_state.h"
#include "navdata/geodesy.h"

namespace {

constexpr float slot_units = 14.7058824f;

enum Marker : int32_t { m_tc, m_td, m_ed, m_decel, m_speed1, m_speed2, marker_count };

struct Placed {
  bool found;
  float x, y;
  char label[16];
};

struct SideFrame {
  double ref_lat, ref_lon;
  float up;
  double scale;
  float y_offset;
};

// The side's map frame; false when its mode shows no markers. need_aligned:
// the map mode also waits for the map heading's alignment.
bool side_frame(int32_t sd, bool need_aligned, SideFrame& f) {
  const EfisSideState& e = efis_side[sd];
  const float var = host_mirror.sim_flightmodel_position_magnetic_variation;
  nd_symbol_origin.y = 0.199;
  f.scale = nd_range_scale(e.map_range);
  if (e.map_mode == nd_mode(NdMapMode::plan)) {
    f.up = 0.0f;  // true north up
    nd_symbol_origin.y = 0.48;
    f.scale *= 0.57;
    f.y_offset = 4.1f;
    const DisplayRoute& r = display_routes[sd];
    const float count = r.count;
    const float step_raw = sd == 0 ? fms_copies.legs_step_ctr : fms_copies.legs_step_ctr_fo;
    const int32_t cnt = trunc_to_i32(static_cast<double>(count));
    int32_t k = trunc_to_i32(static_cast<double>(step_raw));
    if (k > cnt) k = cnt;
    int32_t idx = k - 1;
    if (step_raw == 0.0f || !(count > 1.0f) || idx < 1 || idx >= route_leg_capacity) idx = 0;
    f.ref_lat = r.lat[idx];
    f.ref_lon = r.lon[idx];
  } else if (e.map_mode == nd_mode(NdMapMode::map) &&
             (!need_aligned || script_mirror.zuvadud_D738_irs_nd_allign == 0.0f)) {
    f.ref_lat = host_mirror.sim_flightmodel_position_latitude;
    f.ref_lon = host_mirror.sim_flightmodel_position_longitude;
    const bool track_up = e.track_up != 0.0f && e.track_up_active != 0.0f;
    f.up = (track_up ? e.track_mag_deg : e.heading_mag_deg) - var;
    const bool vsd = e.vsd_map != 0.0f;
    const bool centred = e.exp_map == 0.0f;
    if (vsd) {
      nd_symbol_origin.y = 0.547;
    } else if (centred) {
      nd_symbol_origin.y = 0.48;
    }
    f.y_offset = vsd ? 5.1f : (centred ? 4.1f : 0.0f);
  } else {
    return false;
  }
  return std::isfinite(f.up) && std::isfinite(f.ref_lat) && std::isfinite(f.ref_lon);
}

void place(Placed& m, int32_t sd, const SideFrame& f, const MarkerPos& pos, const char* label) {
  map_project(f.ref_lat, f.ref_lon, pos.lat, pos.lon, f.up, f.scale);
  const double mx = map_point.x;
  const double my = map_point.y;
  if (!map_point_visible(map_scale_x(mx + nd_symbol_origin.x, sd), map_scale_y(my + nd_symbol_origin.y, sd), sd))
    return;
  m.found = true;
  m.x = static_cast<float>(mx) * slot_units;
  m.y = static_cast<float>(my) * slot_units + f.y_offset;
  if (label) std::snprintf(m.label, sizeof m.label, "%s", label);
}

inline bool is_leg(int32_t i, float one_based) { return static_cast<float>(i) == one_based - 1.0f; }

// Top of descent of the active route's second profile is not shown inside
// the approach (after the initial approach fix, up to the missed approach).
bool td2_excluded() {
  const float a = fms_copies.iaf_app_idx;
  const float m = fms_copies.missed_app_wpt_idx;
  const float t = fms_copies.vnav_td_idx2;
  if (a != 0.0f && m != 0.0f) return a < t && t <= m;
  if (a != 0.0f) return a < t;
  if (m != 0.0f) return t <= m;
  return false;
}

void active_route_pass(Placed (&pl)[2][marker_count]) {
  const FmsRouteCopies& f = fms_copies;
  const VnavMarkerPositions& vm = vnav_markers;
  const float vnav_idx = fms_seq.vnav_idx;
  float v = vnav_idx;
  if (v != 1.0f) v -= 1.0f;
  for (int32_t sd = 0; sd < 2; ++sd) {
    SideFrame fr{};
    if (!side_frame(sd, true, fr)) continue;
    bool td_fixed = false;
    for (int32_t i = std::max(trunc_to_i32(static_cast<double>(v)) - 1, 0);
         i < route_leg_capacity && static_cast<float>(i) <= fms_seq.legs_num - 1.0f; ++i) {
      if (!(i > 0 && f.legs_mod_active == 0.0f && f.crz_exec == 0.0f)) continue;
      const bool leg_ok = i < 2 || !route_text_is(route_tables.waypoint_names[i - 1], "DISCONTINUITY") ||
                          (is_leg(i, vnav_idx) && fms_seq.intdir_act == 2.0f);
      const bool inside = leg_ok && static_cast<float>(i) < fms_seq.legs_num;
      const float phase = f.flight_phase;
      if (is_leg(i, f.vnav_tc_idx) && f.vnav_tc_disco == 0.0f && (phase < 2.0f || phase == 3.0f || phase == 8.0f) &&
          inside)
        place(pl[sd][m_tc], sd, fr, vm.tc, "T/C");
      if (is_leg(i, f.vnav_td_idx) && f.vnav_td_dist_fix > 0.0f) {
        td_fixed = true;
        if (inside) place(pl[sd][m_td], sd, fr, vm.td, "T/D");
      } else if (!td_fixed && is_leg(i, f.vnav_td_idx2) && !td2_excluded() && f.vnav_td_alt2 != 0.0f && inside) {
        format_flight_level(trunc_to_i32(static_cast<double>(f.vnav_td_alt2)),
                            trunc_to_i32(static_cast<double>(f.fmc_trans_lvl)));
        char text[16];
        std::snprintf(text, sizeof text, "T/D-%.11s", flight_level_text);
        place(pl[sd][m_td], sd, fr, vm.td2, text);
      }
      if (is_leg(i, f.vnav_decel_wpt_idx) && inside) place(pl[sd][m_decel], sd, fr, vm.decel, "DECEL");
      if (is_leg(i, f.vnav_fl100_idx) && inside) place(pl[sd][m_speed1], sd, fr, vm.fl100, nullptr);
      if (is_leg(i, f.vnav_fl100_idx2) && inside) place(pl[sd][m_speed2], sd, fr, vm.fl100_2, nullptr);
      if (is_leg(i, f.rnav_idx_last)) place(pl[sd][m_ed], sd, fr, MarkerPos{legs_lat[i], legs_lon[i]}, "E/D");
    }
  }
}

bool mod_side_active(int32_t sd) {
  const FmsRouteCopies& f = fms_copies;
  const float vmod = sd == 0 ? f.vnav_idx_mod : f.vnav_idx_mod3;
  const float sel = sd == 0 ? script_mirror.zuvadud_D738_fms_rte12_sel : script_mirror.zuvadud_D738_fms_rte12_sel_fo;
  if (vmod == 0.0f || !(display_routes[sd].count >= 1.0f) || script_mirror.zuvadud_D738_fms_rte12_act != sel)
    return false;
  return fms_seq.legs_num <= 1.0f || f.legs_mod_active != 0.0f || f.hold_exec != 0.0f ||
         pending_holds[0].active != 0.0f || f.crz_exec != 0.0f ||
         (f.legs_mod_active == 0.0f && legs_mod_active_at_decode != 0.0f);
}

void modified_route_pass(Placed (&pl)[2][marker_count]) {
  const FmsRouteCopies& f = fms_copies;
  const VnavMarkerPositions& vm = vnav_markers;
  const bool examined = f.legs_mod_active != 0.0f || f.crz_exec != 0.0f ||
                        (f.legs_mod_active == 0.0f && legs_mod_active_at_decode != 0.0f);
  for (int32_t sd = 0; sd < 2; ++sd) {
    if (!mod_side_active(sd)) continue;
    SideFrame fr{};
    if (!side_frame(sd, false, fr)) continue;
    if (!examined) continue;
    int32_t v = trunc_to_i32(static_cast<double>(sd == 0 ? f.vnav_idx_mod : f.vnav_idx_mod3));
    if (v == 0) v = 1;
    if (v != 1) v -= 1;
    const int32_t n = std::min(trunc_to_i32(static_cast<double>(display_routes[sd].count)), route_leg_capacity);
    const DisplayRoute& r2 = display_routes[0];
    for (int32_t i = std::max(std::min(v, n) - 1, 0); i < n; ++i) {
      if (is_leg(i, f.vnav_tc_idx_mod) && f.vnav_tc_disco_mod == 0.0f &&
          (f.vnav_tc_idx_mod < f.vnav_td_idx_mod ||
           (f.vnav_tc_idx_mod == f.vnav_td_idx_mod && f.td_dist_mod < f.vnav_tc_dist_mod)))
        place(pl[sd][m_tc], sd, fr, vm.tc_mod, "T/C");
      if (f.vnav_td_dist_fix_mod > 0.0f && is_leg(i, f.vnav_td_idx_mod)) place(pl[sd][m_td], sd, fr, vm.td_mod, "T/D");
      if (is_leg(i, f.vnav_decel_wpt_idx_mod)) place(pl[sd][m_decel], sd, fr, vm.decel_mod, "DECEL");
      if (is_leg(i, f.vnav_fl100_idx_mod)) place(pl[sd][m_speed1], sd, fr, vm.fl100_mod, nullptr);
      if (is_leg(i, f.vnav_fl100_idx2_mod)) place(pl[sd][m_speed2], sd, fr, vm.fl100_2_mod, nullptr);
      // The end of descent sits on the second route's waypoint on both sides.
      if (is_leg(i, f.rnav_idx_last_mod)) place(pl[sd][m_ed], sd, fr, MarkerPos{r2.lat[i], r2.lon[i]}, "E/D");
    }
  }
}

struct MarkerOut {
  float* x;
  float* y;
  float* show;
  char* label;  // 16 bytes, or null
};

const MarkerOut outputs[2][marker_count] = {
    {{&nd::tc_x, &nd::tc_y, &nd::tc_show, nd::tc_id},
     {&nd::td_x, &nd::td_y, &nd::td_show, nd::td_id},
     {&nd::ed_x, &nd::ed_y, &nd::ed_show, nd::ed_id},
     {&nd::decel_x, &nd::decel_y, &nd::decel_show, nd::decel_id},
     {&nd::decel_def_x, &nd::decel_def_y, &nd::decel_def_show, nullptr},
     {&nd::decel_def2_x, &nd::decel_def2_y, &nd::decel_def2_show, nullptr}},
    {{&nd::tc_fo_x, &nd::tc_fo_y, &nd::tc_fo_show, nd::tc_fo_id},
     {&nd::td_fo_x, &nd::td_fo_y, &nd::td_fo_show, nd::td_fo_id},
     {&nd::ed_fo_x, &nd::ed_fo_y, &nd::ed_fo_show, nd::ed_fo_id},
     {&nd::decel_fo_x, &nd::decel_fo_y, &nd::decel_fo_show, nd::decel_fo_id},
     {&nd::decel_def_fo_x, &nd::decel_def_fo_y, &nd::decel_def_fo_show, nullptr},
     {&nd::decel_def2_fo_x, &nd::decel_def2_fo_y, &nd::decel_def2_fo_show, nullptr}}};

}  // namespace

void update_nd_vnav_markers() {
  Placed placed[2][marker_count] = {};
  nd_symbol_origin = {0.5, 0.199};
  if (fms_seq.legs_num > 1.0f && fms_seq.vnav_idx != 0.0f) active_route_pass(placed);
  if (mod_side_active(0) || mod_side_active(1)) modified_route_pass(placed);
  for (int32_t sd = 0; sd < 2; ++sd) {
    for (int32_t m = 0; m < marker_count; ++m) {
      const MarkerOut& o = outputs[sd][m];
      const Placed& p = placed[sd][m];
      if (!p.found) {
        *o.show = 0.0f;
        continue;
      }
      *o.x = p.x;
      *o.y = p.y;
      if (o.label) std::memcpy(o.label, p.label, sizeof p.label);
      *o.show = 1.0f;
    }
  }
}
