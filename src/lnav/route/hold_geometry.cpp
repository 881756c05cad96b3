// Holding-pattern and procedure-turn layout per route leg. Script values are
// taken through `leg_value`, which reads a non-finite number as 0, so that a
// bad leg entry yields a pattern at (0, 0) rather than NaN points.
#include "lnav/route/hold_geometry.h"

#include <cmath>
#include <initializer_list>

#include "core/binding.h"
#include "core/frame_values.h"
#include "lnav/route/route_intake.h"
#include "lnav/route/route_pass_steps.h"
#include "core/units.h"
#include "core/util.h"
#include "lnav/route/route_state.h"
#include "lnav/route/fms_legs.h"
#include "navdata/air_data.h"
#include "navdata/geodesy.h"
#include "navdata/nav_math.h"
#include "lnav/route/route_geometry.h"
#include "platform/xplm.h"

HoldPatternArrays hold_pattern;
ProcTurnArrays proc_turn;
float hold_alt_ref;

namespace {

using navmath::mod360;
using navmath::wrap360;

constexpr float kMinHoldSpeedKt = 145.0f;

float leg_value(const float (&arr)[256], int32_t i) { return leg_slot_ok(i) ? finite_or(arr[i], 0.0f) : 0.0f; }

// Active leg as a 0-based index; -1 when the scripts' value is out of range.
int32_t active_leg() {
  const int32_t a = trunc_clamped(fms_seq.vnav_idx - 1.0f, -1, route_leg_capacity);
  return leg_slot_ok(a) ? a : -1;
}

bool is_active(int32_t i) { return static_cast<float>(i) == fms_seq.vnav_idx - 1.0f; }

bool waypoint_is_ppos(int32_t i) { return route_text_is(route_tables.waypoint_names[i], "PPOS"); }

float cos_deg(float d) { return std::cos(deg_to_rad(d)); }
float sin_deg(float d) { return std::sin(deg_to_rad(d)); }

float fmax_f(float a, float b) { return a >= b ? a : b; }
float fmin_f(float a, float b) { return a <= b ? a : b; }

// Near flag: set when the fix is less than 180 s ahead at the present ground
// speed, cleared beyond 220 s; in between it keeps its value.
void update_hold_near(int32_t i) {
  uint8_t& near = hold_pattern.hold_near[i];
  if (waypoint_is_ppos(i) && is_active(i)) {
    near = 1;
    return;
  }
  const int32_t a = active_leg();
  const float a_dist = a >= 0 ? finite_or(legs_dist_dest_true[a], 0.0f) : 0.0f;
  const float d = finite_or(route_track.abeam_dist_bp, 0.0f) + a_dist - leg_value(legs_dist_dest_true, i);
  if (d <= 0.0f) {
    near = 1;
    return;
  }
  const float gs_mps = host_mirror.sim_flightmodel_position_groundspeed;
  if (!(gs_mps > 0.0f)) {
    near = 0;
    return;
  }
  const float t_s = d * 1852.0f / gs_mps;
  if (t_s < 180.0f) {
    near = 1;
  } else if (t_s > 220.0f) {
    near = 0;
  }
}

struct HoldSpeeds {
  float v_kt;    // speed for the turn radius
  float s_kt;    // speed along the legs; 0 gives a leg of two radii
  float alt_ft;  // altitude of the step; 0 when not taken
};

HoldSpeeds hold_speeds(int32_t i) {
  const HostMirror& m = host_mirror;
  const float wind_kt = m.sim_cockpit2_gauges_indicators_wind_speed_kts;
  const float wind_to = mod360(m.sim_cockpit2_gauges_indicators_wind_heading_deg_mag + 180.0f);
  const float hdg = m.sim_cockpit2_gauges_indicators_heading_AHARS_deg_mag_pilot;
  const float crs = leg_value(legs_crs_mag, i);
  const float air = m.sim_flightmodel_position_groundspeed * kt_per_mps - wind_kt * cos_deg(wind_to - hdg);
  const float along = wind_kt * cos_deg(wind_to - crs);
  const float across = wind_kt * sin_deg(wind_to - crs);
  const float worst = air + fmax_f(std::fabs(along), std::fabs(across));
  const bool near = hold_pattern.hold_near[i] != 0;
  const bool in_hold = fms_seq.nav_mode == 3.0f;

  HoldSpeeds h{kMinHoldSpeedKt, 0.0f, 0.0f};
  if (is_active(i)) {
    if (!near && !in_hold) return h;
    h.s_kt = fmax_f(kMinHoldSpeedKt, air + along);
    h.v_kt = fmax_f(kMinHoldSpeedKt, worst);
    h.alt_ft = m.sim_cockpit2_gauges_indicators_altitude_ft_pilot;
    // Once in the pattern the radius speed changes only slowly on the inbound
    // straight and not at all elsewhere, so the drawn racetrack stays put.
    const float stored = hold_pattern.hold_speed[i];
    const bool ppos_outside = waypoint_is_ppos(i) && !in_hold;
    if (!ppos_outside && route_track.region >= 300 && stored != 0.0f) {
      if (route_track.region == 300) {
        const float step = frame_time;
        h.v_kt = clamp_range(h.v_kt, stored - step, stored + step);
      } else if (!(stored < kMinHoldSpeedKt)) {
        h.v_kt = stored;
      }
    }
    return h;
  }
  if (!near) return h;
  h.alt_ft = m.sim_cockpit2_gauges_indicators_altitude_ft_pilot;
  h.v_kt = h.s_kt = fmin_f(tas_from_speed(260.0f, h.alt_ft), fmax_f(kMinHoldSpeedKt, worst));
  return h;
}

// Entry type from the angle between the arriving course and the hold.
// An arrival within 5 degrees of the outbound course either way flies
// straight out on it: arriving right on it (a hold laid against the route)
// is common, and a boundary there between the straight-out and the teardrop
// entries would be settled by rounding, one way or the other with the place.
float entry_type(float a, bool left_hand) {
  if (a > -5.0f && a < 5.0f) return 5.0f;
  if (left_hand) {
    if (a > -110.0f && a <= -5.0f) return 4.0f;
    if (a >= 5.0f && a < 70.0f) return 3.0f;
    if (a > -175.0f && a <= -110.0f) return 2.0f;
    if (a >= 70.0f && a < 175.0f) return 1.0f;
    return 0.0f;
  }
  if (a >= 5.0f && a < 110.0f) return 4.0f;
  if (a > -70.0f && a <= -5.0f) return 3.0f;
  if (a >= 110.0f && a < 175.0f) return 2.0f;
  if (a > -175.0f && a <= -70.0f) return 1.0f;
  return 0.0f;
}

void store_point(float& lat, float& lon) {
  lat = static_cast<float>(nav_result.lat);
  lon = static_cast<float>(nav_result.lon);
}

}  // namespace

void compute_hold_pattern(int32_t i) {
  if (!leg_slot_ok(i)) return;
  HoldPatternArrays& h = hold_pattern;
  hold_alt_ref = 0.0f;

  update_hold_near(i);
  const HoldSpeeds sp = hold_speeds(i);
  h.hold_speed[i] = sp.v_kt;
  if (sp.alt_ft != 0.0f) hold_alt_ref = sp.alt_ft;

  const float bank_deg = (sp.alt_ft == 0.0f || sp.alt_ft < 19200.0f) ? 23.0f : 18.0f;
  const float r = turn_radius_nm(bank_deg, sp.v_kt);
  const bool frozen = is_active(i) && fms_seq.nav_mode == 3.0f && route_track.region != 300 && h.hold_radius[i] != 0.0f;
  if (!frozen) h.hold_radius[i] = r;

  float len;
  if (sp.s_kt == 0.0f) {
    len = 2.0f * r;
  } else {
    const float t_s = leg_value(legs_hold_time, i);
    if (t_s != 0.0f) {
      len = sp.s_kt * mps_per_kt_5dp * t_s / 1852.0f;
    } else {
      len = leg_value(legs_hold_dist, i);
      if (len == 0.0f) len = sp.s_kt * mps_per_kt_5dp * 90.0f / 1852.0f;  // a 90-second leg
    }
  }
  if (!(len >= r)) len = r;
  h.hold_leg_len[i] = len;

  const float crs = wrap360(leg_value(legs_crs_mag, i) - host_mirror.sim_flightmodel_position_magnetic_variation);
  h.hold_crs_true[i] = crs;
  float rel = wrap360(mod360(magvar_course(i - 1) + 180.0f) - crs);
  if (rel > 180.0f) rel -= 360.0f;

  // Both left codes (0 and 2) lay a left-hand pattern: the entry, the
  // steering and the display all read it so.
  const bool left_hand = navmath::is_left_turn_f(leg_value(legs_rad_turn, i));
  h.hold_side_away[i] = mod360(crs + (left_hand ? 90.0f : 270.0f));
  h.hold_side[i] = mod360(crs + (left_hand ? 270.0f : 90.0f));

  const float r_stored = h.hold_radius[i];
  gc_destination(leg_value(legs_lat, i), leg_value(legs_lon, i), h.hold_side[i], r_stored);
  store_point(h.hold_ctr1_lat[i], h.hold_ctr1_lon[i]);
  gc_destination(h.hold_ctr1_lat[i], h.hold_ctr1_lon[i], mod360(crs + 180.0f), len);
  store_point(h.hold_ctr2_lat[i], h.hold_ctr2_lon[i]);
  gc_destination(h.hold_ctr2_lat[i], h.hold_ctr2_lon[i], h.hold_side[i], r_stored);
  store_point(h.hold_far_lat[i], h.hold_far_lon[i]);

  if (is_active(i)) {
    if (hold_region_flag != 0) h.hold_entry[i] = 0.0f;
  } else {
    h.hold_entry[i] = entry_type(rel, left_hand);
  }
}

void clear_hold_pattern(int32_t i) {
  if (!leg_slot_ok(i)) return;
  // Constant addresses: the list is laid down once, not on every call.
  static float* const fields[] = {
      hold_pattern.hold_leg_len,  hold_pattern.hold_radius,   hold_pattern.hold_crs_true, hold_pattern.hold_side_away,
      hold_pattern.hold_side,     hold_pattern.hold_ctr1_lat, hold_pattern.hold_ctr1_lon, hold_pattern.hold_ctr2_lat,
      hold_pattern.hold_ctr2_lon, hold_pattern.hold_far_lat,  hold_pattern.hold_far_lon,  hold_pattern.hold_entry,
      hold_pattern.hold_speed};
  for (float* a : fields) a[i] = 0.0f;
}

void compute_proc_turn(int32_t i) {
  if (!leg_slot_ok(i)) return;
  ProcTurnArrays& p = proc_turn;
  const float alt_ft = host_mirror.sim_cockpit2_gauges_indicators_altitude_ft_pilot;
  if (!is_active(i)) p.pi_speed[i] = host_mirror.sim_flightmodel_position_groundspeed * kt_per_mps_7dp;
  p.pi_speed[i] = clamp_range(finite_or(p.pi_speed[i], 0.0f), tas_from_speed(170.0f, alt_ft),
                              tas_from_speed(200.0f, alt_ft));
  p.pi_near[i] = 1;

  const double fix_lat = leg_value(legs_lat, i);
  const double fix_lon = leg_value(legs_lon, i);
  const float crs = wrap360(leg_value(legs_crs_mag, i) - finite_or(XPLMGetMagneticVariation(fix_lat, fix_lon), 0.0f));
  p.pi_crs_true[i] = crs;
  const float r = turn_radius_nm(22.0f, p.pi_speed[i]) * 1.1f;
  p.pi_radius[i] = r;
  const float out_crs = mod360(crs + 180.0f);

  const bool left = proc_turn_is_left(leg_value(legs_rad_turn, i));
  const float inbound = mod360(crs + (left ? 135.0f : 225.0f));
  p.pi_crs_a[i] = mod360(crs + (left ? 225.0f : 135.0f));
  p.pi_crs_b[i] = mod360(crs + (left ? 270.0f : 90.0f));
  p.pi_crs_c[i] = mod360(crs + (left ? 90.0f : 270.0f));
  const int side = left ? kTurnRight : kTurnLeft;

  const float v_mps = p.pi_speed[i] * mps_per_kt_6dp;
  p.pi_out_dist[i] = v_mps * 120.0f / 1852.0f;
  p.pi_leg2_dist[i] = v_mps * 75.0f / 1852.0f;

  const float away = mod360(inbound + 180.0f);
  gc_destination(fix_lat, fix_lon, away, p.pi_out_dist[i]);
  store_point(p.pi_p1_lat[i], p.pi_p1_lon[i]);
  gc_destination(p.pi_p1_lat[i], p.pi_p1_lon[i], mod360(p.pi_crs_a[i] + 180.0f), r);
  store_point(p.pi_p2_lat[i], p.pi_p2_lon[i]);
  gc_destination(p.pi_p2_lat[i], p.pi_p2_lon[i], p.pi_crs_b[i], r);
  store_point(p.pi_p3_lat[i], p.pi_p3_lon[i]);
  gc_destination(p.pi_p3_lat[i], p.pi_p3_lon[i], crs, p.pi_leg2_dist[i]);
  store_point(p.pi_p4_lat[i], p.pi_p4_lon[i]);
  const float to_ctr2 = mod360(p.pi_crs_c[i] + 180.0f);
  gc_destination(p.pi_p4_lat[i], p.pi_p4_lon[i], to_ctr2, r);
  store_point(p.pi_p5_lat[i], p.pi_p5_lon[i]);
  gc_destination(p.pi_p5_lat[i], p.pi_p5_lon[i], to_ctr2, r);
  store_point(p.pi_p6_lat[i], p.pi_p6_lon[i]);
  course_line_intersection(p.pi_p2_lat[i], p.pi_p2_lon[i], away, p.pi_p5_lat[i], p.pi_p5_lon[i], out_crs);
  store_point(p.pi_x_lat[i], p.pi_x_lon[i]);
  gc_destination(p.pi_x_lat[i], p.pi_x_lon[i], p.pi_crs_b[i], r);
  store_point(p.pi_p7_lat[i], p.pi_p7_lon[i]);
  gc_destination(p.pi_x_lat[i], p.pi_x_lon[i], p.pi_crs_a[i], r);
  store_point(p.pi_p8_lat[i], p.pi_p8_lon[i]);

  p.pi_last_dist[i] = gc_distance_nm(p.pi_p8_lat[i], p.pi_p8_lon[i], fix_lat, fix_lon);
  p.pi_fg_dist[i] = gc_distance_nm(p.pi_p6_lat[i], p.pi_p6_lon[i], p.pi_p7_lat[i], p.pi_p7_lon[i]);
  p.pi_arc1[i] = arc_length(r, course_diff_dir(p.pi_crs_a[i], p.pi_crs_b[i], side));
  p.pi_arc2[i] = arc_length(r, 180.0f);
  p.pi_lenght[i] = 2.0f * p.pi_arc1[i] + p.pi_out_dist[i] + p.pi_leg2_dist[i] + p.pi_arc2[i] + p.pi_fg_dist[i] +
                   p.pi_last_dist[i];
}

void clear_proc_turn(int32_t i) {
  if (!leg_slot_ok(i)) return;
  proc_turn.pi_near[i] = 0;
  // Constant addresses: the list is laid down once, not on every call.
  static float* const fields[] = {
      proc_turn.pi_crs_true, proc_turn.pi_radius, proc_turn.pi_speed, proc_turn.pi_out_dist,
      proc_turn.pi_leg2_dist, proc_turn.pi_crs_a, proc_turn.pi_crs_b, proc_turn.pi_crs_c, proc_turn.pi_p1_lat,
      proc_turn.pi_p1_lon, proc_turn.pi_p2_lat, proc_turn.pi_p2_lon, proc_turn.pi_p3_lat, proc_turn.pi_p3_lon,
      proc_turn.pi_p4_lat, proc_turn.pi_p4_lon, proc_turn.pi_p5_lat, proc_turn.pi_p5_lon, proc_turn.pi_p6_lat,
      proc_turn.pi_p6_lon, proc_turn.pi_p7_lat, proc_turn.pi_p7_lon, proc_turn.pi_p8_lat, proc_turn.pi_p8_lon,
      proc_turn.pi_x_lat, proc_turn.pi_x_lon, proc_turn.pi_last_dist, proc_turn.pi_fg_dist, proc_turn.pi_arc1,
      proc_turn.pi_arc2, proc_turn.pi_lenght};
  for (float* a : fields) a[i] = 0.0f;
}
