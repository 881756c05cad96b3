// The route pass of the navigation display map, in each side's map frame
// (display/nd_map_frame.h): the waypoint symbol slots and their
// labels, and the legs of the active route as lines and arcs: straight legs,
// fly-by transitions, the direct-to path, DME and radius-to-fix arcs, vector
// legs, holds (display/nd_holds.cpp), procedure turns with their symbol, the
// lateral offset path, then the reference and destination runway symbols.
//
// Reads the leg table and computed path arrays (lnav/route/fms_legs.h), the
// procedure-turn layout (lnav/route/hold_geometry.h), the direct-to path, the
// route string tables, the sequencing values, route copies and offset
// points of the intake, EfisSideState, the scripts' display routes, the
// side's DC power and refresh flags, and the host's magnetic variation.
// Writes the waypoint slots (nd::wpt_* / nd::wpt_fo_*) and their labels.
#include "display/route_lines.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "core/binding.h"
#include "core/host_io.h"
#include "lnav/route/hold_geometry.h"
#include "core/preprocess_values.h"
#include "core/units.h"
#include "lnav/route/route_intake.h"
#include "display/map_primitives.h"
#include "display/nd_holds.h"
#include "display/nd_labels.h"
#include "display/nd_map_frame.h"
#include "display/nd_slots.h"
#include "display/nd_style.h"
#include "lnav/route/fms_legs.h"
#include "lnav/path/leg_path.h"
#include "lnav/route/route_state.h"
#include "navdata/geodesy.h"
#include "navdata/nav_math.h"
#include "systems/instruments/instrument_values.h"

namespace {

constexpr int32_t slot_count = 20;
// Slot positions are published in units of the 40 nm range (1 / 0.068).
constexpr float slot_units = 14.7058824f;


using Pass = NdDrawPass;
using Xy = NdXy;

inline float map_bearing(const Pass& p, double brg) { return nd_map_bearing(p, brg); }
inline Xy project(const Pass& p, double lat, double lon) { return nd_project(p, lat, lon); }
inline void line_ll(const Pass& p, double lat1, double lon1, double lat2, double lon2) {
  nd_line_ll(p, lat1, lon1, lat2, lon2);
}
inline void arc_ll(const Pass& p, double ctr_lat, double ctr_lon, double radius_nm, double from_brg, double to_brg,
                   float direction) {
  nd_arc_ll(p, ctr_lat, ctr_lon, radius_nm, from_brg, to_brg, direction);
}

// The drawing direction of an arc: 1 clockwise for a right hand, else 0.
inline float right_turn_dir(float turn) { return navmath::is_coded_right_f(turn) ? 1.0f : 0.0f; }

const RouteText& name_of(int32_t i) { return route_tables.waypoint_names[i]; }
const RouteText& type_of(int32_t i) { return route_tables.leg_path_types[i]; }


bool is_hold_to_fix(const RouteText& t) {
  return route_text_is(t, "HA") || route_text_is(t, "HM") || route_text_is(t, "HF");
}

// The direct-to path from its first arc to E: arc 1, then either a line to E
// or the straight, arc 3 and a line to E.
void direct_to_path(const Pass& p, double e_lat, double e_lon) {
  arc_ll(p, dir_seg1_ctr_lat, dir_seg1_ctr_lon, dir_seg1_radius, dir_seg1_start_angle, dir_seg1_end_angle,
         dir_seg1_turn);
  if (!is_set(dir_seg3_end_lat, dir_seg3_end_lon)) {
    line_ll(p, dir_seg1_end_lat, dir_seg1_end_lon, e_lat, e_lon);
    return;
  }
  if (is_set(dir_seg2_end_lat, dir_seg2_end_lon))
    line_ll(p, dir_seg1_end_lat, dir_seg1_end_lon, dir_seg2_end_lat, dir_seg2_end_lon);
  arc_ll(p, dir_seg3_ctr_lat, dir_seg3_ctr_lon, dir_seg3_radius, dir_seg3_start_angle, dir_seg3_end_angle,
         dir_seg3_turn);
  line_ll(p, dir_seg3_end_lat, dir_seg3_end_lon, e_lat, e_lon);
}

// The line or transition that ends at the entry point of waypoint i.
void path_into(const Pass& p, int32_t i) {
  const bool own_turn = i >= 1 && legs_radii_radius[i] != 0.0f;
  const double e_lat = own_turn ? legs_seg1_start_lat[i] : legs_lat[i];
  const double e_lon = own_turn ? legs_seg1_start_lon[i] : legs_lon[i];
  const int32_t prev = prev_valid_leg(i);
  if (prev == -1) {
    if (i >= 1 && dir_seg1_radius != 0.0f) {
      direct_to_path(p, e_lat, e_lon);
    } else {
      line_ll(p, dir_start_lat, dir_start_lon, e_lat, e_lon);
    }
    return;
  }
  if (!leg_slot_ok(prev)) return;  // no such leg: nothing to draw
  if (legs_radii_radius[prev] == 0.0f) {
    line_ll(p, legs_lat[i - 1], legs_lon[i - 1], e_lat, e_lon);
    return;
  }
  arc_ll(p, legs_seg1_ctr_lat[prev], legs_seg1_ctr_lon[prev], legs_seg1_radius[prev], legs_seg1_start_angle[prev],
         legs_seg1_end_angle[prev], legs_seg1_turn[prev]);
  if (!route_text_is(type_of(prev), "AF") && is_set(legs_seg3_end_lat[prev], legs_seg3_end_lon[prev])) {
    const bool straight = is_set(legs_seg2_end_lat[prev], legs_seg2_end_lon[prev]);
    line_ll(p, legs_seg1_end_lat[prev], legs_seg1_end_lon[prev],
            straight ? legs_seg2_end_lat[prev] : legs_seg3_ctr_lat[prev],
            straight ? legs_seg2_end_lon[prev] : legs_seg3_ctr_lon[prev]);
    arc_ll(p, legs_seg3_ctr_lat[prev], legs_seg3_ctr_lon[prev], legs_seg3_radius[prev],
           legs_seg3_start_angle[prev], legs_seg3_end_angle[prev], legs_seg3_turn[prev]);
    line_ll(p, legs_seg3_end_lat[prev], legs_seg3_end_lon[prev], e_lat, e_lon);
  } else {
    line_ll(p, legs_seg1_end_lat[prev], legs_seg1_end_lon[prev], e_lat, e_lon);
  }
}

// DME arc leg (begin and end radials differ), with the lead-in turn of the
// previous leg when that one is no arc leg itself.
void dme_arc(const Pass& p, int32_t i) {
  const int32_t h = i - 1;
  if (!route_text_is(type_of(h), "AF") && !route_text_is(type_of(h), "RF")) {
    const bool right = navmath::is_coded_right_f(legs_turn[h]);
    const double var_prev = XPLMGetMagneticVariation(legs_lat[h], legs_lon[h]);
    const double from = static_cast<double>(legs_brg_mag[h]) * deg_per_rad_f + (right ? 270.0 : 90.0) - var_prev;
    const float sep = gc_distance_nm(legs_rad_lat[i], legs_rad_lon[i], legs_radii_ctr_lat[h], legs_radii_ctr_lon[h]);
    const double to = sep >= legs_radius[i] ? static_cast<double>(legs_af_beg[i]) + 180.0 : legs_af_beg[i];
    arc_ll(p, legs_radii_ctr_lat[h], legs_radii_ctr_lon[h], legs_radii_radius[h], from, to, right ? 1.0f : 0.0f);
  }
  arc_ll(p, legs_rad_lat[i], legs_rad_lon[i], legs_radius[i], legs_af_beg[i], legs_af_end[i],
         right_turn_dir(legs_rad_turn[i]));
}

using angle::mod360_nonneg_d;

// The whole ground track of a procedure turn laid out by the route decode:
// out from the fix, the 45-degree turn, the straight, the 180-degree turn,
// the return, and the final turn onto the straight into the leg's entry.
void proc_turn_figure(const Pass& p, int32_t i) {
  const ProcTurnArrays& t = proc_turn;
  const double c = t.pi_crs_true[i];
  const double r = t.pi_radius[i];
  const bool left = proc_turn_is_left(legs_rad_turn[i]);
  line_ll(p, legs_lat[i], legs_lon[i], t.pi_p1_lat[i], t.pi_p1_lon[i]);
  if (left) {
    arc_ll(p, t.pi_p2_lat[i], t.pi_p2_lon[i], r, mod360_nonneg_d(c + 225.0), mod360_nonneg_d(c + 270.0), 3.0f);
  } else {
    arc_ll(p, t.pi_p2_lat[i], t.pi_p2_lon[i], r, mod360_nonneg_d(c + 135.0), mod360_nonneg_d(c + 90.0), 2.0f);
  }
  line_ll(p, t.pi_p3_lat[i], t.pi_p3_lon[i], t.pi_p4_lat[i], t.pi_p4_lon[i]);
  if (left) {
    arc_ll(p, t.pi_p5_lat[i], t.pi_p5_lon[i], r, mod360_nonneg_d(c + 90.0), mod360_nonneg_d(c + 270.0), 2.0f);
  } else {
    arc_ll(p, t.pi_p5_lat[i], t.pi_p5_lon[i], r, mod360_nonneg_d(c + 270.0), mod360_nonneg_d(c + 90.0), 3.0f);
  }
  line_ll(p, t.pi_p6_lat[i], t.pi_p6_lon[i], t.pi_p7_lat[i], t.pi_p7_lon[i]);
  if (left) {
    arc_ll(p, t.pi_x_lat[i], t.pi_x_lon[i], r, mod360_nonneg_d(c + 270.0), mod360_nonneg_d(c + 225.0), 2.0f);
  } else {
    arc_ll(p, t.pi_x_lat[i], t.pi_x_lon[i], r, mod360_nonneg_d(c + 90.0), mod360_nonneg_d(c + 135.0), 3.0f);
  }
  line_ll(p, t.pi_p8_lat[i], t.pi_p8_lon[i], legs_seg1_start_lat[i], legs_seg1_start_lon[i]);
}

// The procedure-turn symbol at a "PI" fix: a fixed-size hook of two rounded
// corners (1.65 nm radius) joined by a straight beside the procedure course,
// opening away from the fix. A left side code (0 or 2) turns it to the
// left-hand set of offsets.
void proc_turn_symbol(const Pass& p, int32_t i) {
  constexpr double r_nm = 1.65;
  const double fix_lat = legs_lat[i];
  const double fix_lon = legs_lon[i];
  const double var = XPLMGetMagneticVariation(fix_lat, fix_lon);
  const double m = static_cast<double>(legs_crs_mag[i]) - (std::isfinite(var) ? var : 0.0);
  const bool left = proc_turn_is_left(legs_rad_turn[i]);
  const double o_corner = left ? 225.0 : 135.0;  // first corner, behind the fix
  const double o_fix = left ? 45.0 : 315.0;      // the fix as seen from that corner
  const double o_side = left ? 270.0 : 90.0;     // the hook's open side
  const float dir = left ? 0.0f : 1.0f;

  gc_destination(fix_lat, fix_lon, mod360_nonneg_d(m + o_corner), r_nm);
  const double a_lat = nav_result.lat;
  const double a_lon = nav_result.lon;
  arc_ll(p, a_lat, a_lon, r_nm, mod360_nonneg_d(m + o_fix), mod360_nonneg_d(m + o_side), dir);

  // The second corner lies back along the course, abeam a construction point
  // 5 nm out on the first corner's diagonal: where the line back from the
  // first corner meets the line from that point toward the course.
  gc_destination(fix_lat, fix_lon, mod360_nonneg_d(m + o_corner), 5.0);
  const double q_lat = nav_result.lat;
  const double q_lon = nav_result.lon;
  gc_intersection(a_lat, a_lon, mod360_nonneg_d(m + 180.0), q_lat, q_lon, mod360_nonneg_d(m + o_side + 180.0));
  const double b_lat = nav_result.lat;
  const double b_lon = nav_result.lon;
  if (b_lat == 0.0 && b_lon == 0.0) return;
  gc_destination(b_lat, b_lon, mod360_nonneg_d(m + o_side), r_nm);
  const Xy side_pt = project(p, nav_result.lat, nav_result.lon);
  map_line_clipped(map_pen.x, map_pen.y, side_pt.x, side_pt.y, p.stipple, p.side);
  arc_ll(p, b_lat, b_lon, r_nm, mod360_nonneg_d(m + o_side), mod360_nonneg_d(m + 180.0), dir);
}

// Lateral offset path beside the route: from the script's transition points
// (1 offset start, 2 where the route is left, 3 offset end, 4 where it is
// rejoined) and the per-leg offset corners. `rejoin_drawn` keeps the
// rejoining segment of mode 9 to one drawing per pass.
void offset_route(const Pass& p, int32_t i, const NdColours& colours, bool& rejoin_drawn) {
  const float act = fms_seq.legs_offset_act;
  const RouteChangeValues& rc = route_change_values;
  const float legs_num = fms_seq.legs_num;
  if (!(act >= 5.0f)) return;
  if (rc.legs_offset_start == 0.0f || rc.legs_offset_end == 0.0f) return;
  if (rc.legs_offset_start > legs_num || rc.legs_offset_end > legs_num) return;
  if (static_cast<float>(i) < fms_seq.vnav_idx - 1.0f) return;
  if (!(legs_offset[i] != 0.0f || act == 5.0f || act == 9.0f)) return;

  const int32_t s = trunc_to_i32(static_cast<double>(rc.legs_offset_start)) - 1;
  const int32_t e = trunc_to_i32(static_cast<double>(rc.legs_offset_end)) - 1;
  // Leg numbers from the scripts below 1 name no leg.
  if (s < 0 || e < 0) return;
  const float* lat = rc.offset_lat;
  const float* lon = rc.offset_lon;
  Pass q = p;
  q.stipple = 20;
  glColor4fv(colours.magenta[p.side]);
  if (act == 9.0f) {
    if (!rejoin_drawn) line_ll(q, lat[2], lon[2], lat[3], lon[3]);
    rejoin_drawn = true;
    return;
  }
  if (i == s && rc.legs_offset_start_t == 0.0f) {
    line_ll(q, lat[1], lon[1], lat[0], lon[0]);
    if (s == e) line_ll(q, lat[0], lon[0], lat[2], lon[2]);
    // Joining from behind: show where the offset path would be intercepted.
    const int32_t nxt = std::min(i + 1, route_leg_capacity - 1);
    const double crs = gc_bearing(legs_lat[i], legs_lon[i], legs_lat[nxt], legs_lon[nxt]);
    const double to_ac = gc_bearing(lat[0], lon[0], p.frame.ref_lat, p.frame.ref_lon);
    double off = std::fmod(to_ac - crs + 360.0, 360.0);
    if (off > 180.0) off -= 360.0;
    if (std::fabs(off) > 90.0 && legs_offset[i] != 0.0f) {
      const double turn = legs_offset[i] > 0.0f ? 45.0 : 315.0;
      gc_destination(lat[1], lon[1], mod360_nonneg_d(crs + turn), std::fabs(legs_offset[i]) * 1.41421356);
      if (!(nav_result.lat == 0.0 && nav_result.lon == 0.0)) {
        Pass c = p;
        c.stipple = 21;
        glColor4fv(colours.cyan[p.side]);
        line_ll(c, lat[1], lon[1], nav_result.lat, nav_result.lon);
        glColor4fv(colours.magenta[p.side]);
      }
    }
  }
  if (i > s && i < e) {
    // The offset leg: from the previous corner (or the offset start) to this one.
    const bool first = i - 1 == s;
    const double from_lat = first ? lat[0] : legs_offset_lat[i - 1];
    const double from_lon = first ? lon[0] : legs_offset_lon[i - 1];
    line_ll(q, from_lat, from_lon, legs_offset_lat[i], legs_offset_lon[i]);
  }
  if (i == e - 1 && i >= s && s != e) {
    const bool at_start = i == s;
    line_ll(q, at_start ? lat[0] : legs_offset_lat[i], at_start ? lon[0] : legs_offset_lon[i], lat[2], lon[2]);
    line_ll(q, lat[2], lon[2], lat[3], lon[3]);
  }
}

void segment_into(const Pass& p, int32_t i, bool direct_to_leg_now) {
  const RouteText& type = type_of(i);
  if (direct_to_leg_now) {
    if (route_change_values.intdir_crs < 0.0f) {
      if (dir_seg1_radius != 0.0f) {
        direct_to_path(p, legs_lat[i], legs_lon[i]);
      } else {
        line_ll(p, dir_start_lat, dir_start_lon, legs_lat[i], legs_lon[i]);
      }
    } else {
      // Intercept course: the inbound course line back from the fix.
      const Xy w = project(p, legs_lat[i], legs_lon[i]);
      const double var = host_mirror.sim_flightmodel_position_magnetic_variation;
      const double brg = std::fmod(static_cast<double>(route_change_values.intdir_crs) - var -
                                       static_cast<double>(p.frame.up_heading) + 180.0,
                                   360.0);
      const double len = std::max(700.0 - static_cast<double>(legs_radii_dta[i]), 10.0) * p.frame.scale;
      map_polar_line(w.x, w.y, brg, len, p.stipple, p.side);
    }
    return;
  }
  if (route_text_is(type, "AF") && legs_af_beg[i] != legs_af_end[i]) {
    dme_arc(p, i);
  } else if (route_text_is(type, "RF") || route_text_is(type, "AF")) {
    const double c_lat = legs_rad_lat[i];
    const double c_lon = legs_rad_lon[i];
    arc_ll(p, c_lat, c_lon, legs_radius[i], gc_bearing(c_lat, c_lon, legs_lat[i - 1], legs_lon[i - 1]),
           gc_bearing(c_lat, c_lon, legs_lat[i], legs_lon[i]), right_turn_dir(legs_rad_turn[i]));
  } else if (route_text_starts(type, "H")) {
    draw_nd_hold_leg(p, i);
  } else if (route_text_is(type, "PI") && legs_radii_radius[i - 1] == 0.0f) {
    proc_turn_figure(p, i);
  } else {
    path_into(p, i);
  }
}

}  // namespace

int32_t draw_nd_route(int32_t side, const NdColours& colours) {
  const int32_t sd = side == 0 ? 0 : 1;
  const float refresh = sd == 0 ? display::nd_refresh : display::nd_refresh_fo;
  if (!nd_side_powered(sd) || refresh != 0.0f) return 0;
  nd_symbol_origin.y = 0.199;
  Pass p{sd, {}, 0, 0};
  if (!nd_map_frame(sd, p.frame)) return 0;
  if (!std::isfinite(p.frame.up_heading) || !std::isfinite(p.frame.scale) || !std::isfinite(p.frame.ref_lat) ||
      !std::isfinite(p.frame.ref_lon))
    return 0;

  const float legs_num = fms_seq.legs_num;
  const float vnav_idx = fms_seq.vnav_idx;
  const float active = vnav_idx - 1.0f;
  const bool direct_to = fms_seq.intdir_act != 0.0f;
  const int32_t data = trunc_to_i32(efis_side[sd].data_status);
  float* slot_x = sd == 0 ? nd::wpt_x : nd::wpt_fo_x;
  float* slot_y = sd == 0 ? nd::wpt_y : nd::wpt_fo_y;
  float* slot_type = sd == 0 ? nd::wpt_type : nd::wpt_fo_type;

  // Last leg drawn: legs_num - 1, within the table.
  const int32_t last = std::min(trunc_to_i32(static_cast<double>(legs_num)) - 1, route_leg_capacity - 1);
  const int32_t vnav = trunc_to_i32(vnav_idx);

  // The next altitude constraint ahead, labelled even with the data off.
  int32_t alt_target = -1;
  if (legs_num > 1.0f && vnav_idx != 0.0f && !(vnav_idx > legs_num)) {
    for (int32_t k = std::max(vnav - 1, 0); k < route_leg_capacity && static_cast<float>(k) <= legs_num; ++k) {
      if (legs_alt_rest1[k] > 0.0f && legs_alt_rest_type[k] != 4.0f) {
        alt_target = k;
        break;
      }
    }
  }

  const float missed_colour = read_now_f(bound::zuvadud_D738_missed_app_colour);
  const float missed_first = fms_copies.missed_app_wpt_idx - 1.0f;
  const float missed_last = fms_copies.missed_app_wpt_idx2 - 1.0f;
  const bool missed_styled = missed_colour == 0.0f && fms_copies.missed_app_act == 0.0f;

  const int32_t v = vnav == 1 ? vnav : vnav - 1;
  int32_t n = 0;
  bool rejoin_drawn = false;
  for (int32_t i = std::max(v - 1, 0); i <= last; ++i) {
    const float fi = static_cast<float>(i);
    const bool missed = missed_styled && missed_first <= fi && fi <= missed_last;
    glColor4fv(missed ? colours.cyan[sd] : colours.magenta[sd]);
    p.dash = missed ? 1 : 0;
    p.stipple = missed ? 1 : 0;
    const RouteText& name = name_of(i);

    // Waypoint slot.
    const bool hold_next =
        i + 1 < route_leg_capacity && static_cast<float>(i + 1) == active && is_hold_to_fix(type_of(i + 1));
    if (!hold_next && !(direct_to && fi < active)) {
      const Xy w = project(p, legs_lat[i], legs_lon[i]);
      const double tx = map_scale_x(w.x + nd_symbol_origin.x, sd);
      const double ty = map_scale_y(w.y + nd_symbol_origin.y, sd);
      if (map_point_visible(tx, ty, sd) && n < slot_count) {
        const bool is_active = fi == active;
        float type = 0.0f;
        if (!(route_text_is(name, "ORGN") || (route_text_is(name, "(VECTOR)") && !is_active) ||
              route_text_starts(name, "RW"))) {
          const bool cond = is_conditional(type_of(i));
          type = is_active ? (cond ? 4.0f : 2.0f) : (cond ? 3.0f : 1.0f);
        }
        slot_x[n] = static_cast<float>(w.x) * slot_units;
        slot_y[n] = static_cast<float>(w.y) * slot_units + p.frame.slot_y_offset;
        slot_type[n] = type;
        if (type != 0.0f) {
          const bool alt_line = data != 0 ? (legs_alt_rest1[i] > 0.0f && legs_alt_rest_type[i] != 4.0f)
                                          : i == alt_target;
          nd_wpt_labels(i, n, 0, data, sd, alt_line ? 1 : 0);
        }
        ++n;
      }
    }

    // Segment ending at waypoint i.
    if (i > 0 && fi != vnav_idx - 2.0f) {
      const bool dir_leg = direct_to && i == direct_to_leg;
      const bool prev_disco = route_text_is(name_of(i - 1), "DISCONTINUITY") && !dir_leg;
      const bool bypassed = legs_bypass[i] == 1.0f && !(direct_to && i != direct_to_leg);
      if (!prev_disco && !bypassed && !route_text_is(name, "DISCONTINUITY") &&
          !route_text_is(name_of(i - 1), "(VECTOR)")) {
        segment_into(p, i, dir_leg && fms_seq.intdir_act == 2.0f);
      }
    }
    if (route_text_is(name, "(VECTOR)")) {
      const Xy w = project(p, legs_lat[i], legs_lon[i]);
      const double brg = static_cast<double>(legs_brg_mag[i]) * deg_per_rad_f -
                         XPLMGetMagneticVariation(legs_lat[i], legs_lon[i]);
      map_polar_line(w.x, w.y, map_bearing(p, brg), 700.0 * p.frame.scale, p.stipple, sd);
    }
    if (route_text_is(type_of(i), "PI")) proc_turn_symbol(p, i);
    offset_route(p, i, colours, rejoin_drawn);
  }

  // Runway symbols of the reference (departure) and destination runways.
  glColor4fv(colours.white[sd]);
  const RunwayRefs& rw = runway_refs[0];
  if ((sd == 0 ? rw.ils_show0 : rw.ils_fo_show0) != 0.0f)
    draw_runway_symbol(p.frame.ref_lat, p.frame.ref_lon, p.frame.scale, p.frame.up_heading, sd, rw.ref_lat,
                       rw.ref_lon, rw.ref_crs, rw.ref_len);
  if ((sd == 0 ? rw.ils_show : rw.ils_fo_show) != 0.0f)
    draw_runway_symbol(p.frame.ref_lat, p.frame.ref_lon, p.frame.scale, p.frame.up_heading, sd, rw.des_lat,
                       rw.des_lon, rw.des_crs, rw.des_len);
  return n;
}
