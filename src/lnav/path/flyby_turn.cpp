// Fly-by turns between legs: the turn sized against the route's RNP
// (connection 1) and the turns built by the transition construction
// (connections 5 and 6) with their maximum-bank retry, and the hand-over to
// the bypass when no turn fits.
#include <cmath>

#include "lnav/route/hold_geometry.h"
#include "core/preprocess_values.h"
#include "lnav/route/route_intake.h"
#include "core/util.h"
#include "lnav/route/fms_legs.h"
#include "lnav/path/leg_path.h"
#include "lnav/path/leg_path_internal.h"
#include "lnav/route/route_state.h"
#include "lnav/path/turn_sizing.h"
#include "navdata/geodesy.h"

using namespace legpath;

namespace legpath {

float tan_half(float change_deg) {
  return static_cast<float>(std::tan(static_cast<double>(change_deg) / 2.0 * pi_12dp / 180.0));
}

void size_turn(TurnSizing& t, int32_t i, int32_t following, float rel, bool conn5, bool opposite) {
  const float abs_rel = std::fabs(rel);
  const float alt = static_cast<float>(i) == fms_seq.vnav_idx - 1.0f ? frame_flight_data.alt_ft : legs_alt_calc[i];
  t.speed = leg_turn_speed(i, rel, 20.0f);
  t.opposite = opposite;
  t.abs_change = abs_rel;
  float bank = opposite ? 22.0f : clamp_range(abs_rel / 2.0f, 7.0f, 22.0f);
  t.max_bank = 22.0f;
  t.at_max = false;
  bool rw_dta0 = false;
  if (id_is_runway(i)) {
    t.radius = turn_radius_nm(22.0f, t.speed);
    t.at_max = true;
    rw_dta0 = conn5;
  } else if (alt <= 14000.0f) {
    t.radius = turn_radius_nm(22.0f, t.speed);
    t.at_max = true;
  } else if (alt <= 19000.0f) {
    t.radius = turn_radius_nm(bank, t.speed);
    t.at_max = bank == 22.0f;
  } else {
    t.at_max = bank > 15.0f;
    bank = std::fmin(bank, 15.0f);
    t.radius = turn_radius_nm(bank, t.speed);
    t.max_bank = 15.0f;
  }
  t.dta = rw_dta0 ? 0.0f : tangent_dta(t, t.radius);
  if (conn5 && pt_is(following, "PI") && leg_slot_ok(following) && t.dta > proc_turn.pi_out_dist[following]) {
    t.dta = proc_turn.pi_out_dist[following];
    t.radius = (!opposite && abs_rel < 135.0f) ? t.dta / tan_half(abs_rel) : t.dta;
  }
  if (legs_type[i] == 5.0f || (leg_slot_ok(following) && legs_type[following] == 6.0f && !pt_is_intercept(i)) ||
      pt_is(following, "DF")) {
    t.dta = 0.0f;
    t.radius = static_cast<float>(static_cast<double>(t.radius) * 1.1);
  } else if ((rel < -170.0f || rel > 170.0f) && pt_is_course(i)) {
    t.dta = 0.0f;
  }
}

void size_arc_to_intercept(TurnSizing& t, int32_t i) {
  if (!pt_is(i, "AF") || !pt_is_intercept(i + 1)) return;
  t.dta = 0.0f;
  t.at_max = true;
  t.speed = std::fmin(t.speed, 145.0f);
  t.radius = turn_radius_nm(22.0f, t.speed);
}

float tangent_dta(const TurnSizing& t, float radius) {
  return (!t.opposite && t.abs_change < 135.0f) ? radius * tan_half(t.abs_change) : radius;
}

void size_retry(TurnSizing& t, int32_t i) {
  t.radius = turn_radius_nm(t.max_bank, t.speed);
  if (legs_type[i] == 5.0f || (i + 1 < 256 && legs_type[i + 1] == 6.0f) || pt_is(i + 1, "DF")) {
    t.radius *= 1.1f;
  } else if (t.dta != 0.0f) {
    t.dta = tangent_dta(t, t.radius);
  }
}

void turn_side(int32_t code_leg, float rel, int32_t& side, bool& opposite) {
  const float code = leg_slot_ok(code_leg) ? legs_rad_turn[code_leg] : -1.0f;
  if (navmath::is_left_turn_f(code)) {
    side = 2;
    opposite = rel > 0.0f;
  } else if (navmath::is_coded_right_f(code)) {
    side = 3;
    opposite = rel < 0.0f;
  } else {
    side = rel < 0.0f ? kTurnLeft : kTurnRight;
    opposite = false;
  }
}

}  // namespace legpath

namespace {

void arc_split_built(int32_t i, float dta) {
  if (!(legs_seg1_radius[i] > 0.0f)) return;
  // No anticipation, or a loop that starts past the waypoint: the waypoint
  // is passed where the arc begins.
  if (dta <= 0.0f) {
    legs_seg1_arc_lenght[i] =
        arc_length(legs_seg1_radius[i], course_diff_dir(legs_seg1_start_angle[i], legs_seg1_end_angle[i],
                                                         static_cast<int32_t>(legs_seg1_turn[i])));
    legs_wpt_angle[i] = legs_seg1_start_angle[i];
    legs_wpt_arc_dist[i] = 0.0f;
  } else {
    split_arc_at_waypoint(i);
  }
}

int32_t connection_1() {
  const LegPassFrame& f = leg_pass;
  const int32_t i = f.i;
  const int32_t j = f.j;
  const float alt = static_cast<float>(i) == fms_seq.vnav_idx - 1.0f ? frame_flight_data.alt_ft : legs_alt_calc[i];
  const float speed = leg_turn_speed(i, f.xnext_rel_brg, 20.0f);
  float rnp = legs_rnp[i];
  if (static_cast<float>(i) < fms_seq.legs_num) rnp = std::fmin(legs_rnp[i], legs_rnp[j]);
  const float t = tan_half(f.xabs_next_rel_brg);
  auto excursion = [&](float bank) {
    const float r = turn_radius_nm(bank, speed);
    const float d = t * r;
    return std::sqrt(d * d + r * r) - r;
  };
  struct Step {
    float bank;
    float frac;  // taken when the previous bank's excursion exceeds frac x RNP
  };
  static const Step low[] = {{10.0f, 0.0f}, {15.0f, 0.5f}, {22.0f, 1.5f}};
  static const Step mid[] = {{10.0f, 0.0f}, {15.0f, 0.8f}, {18.0f, 1.5f}};
  static const Step high[] = {{5.0f, 0.0f}, {10.0f, 0.5f}, {15.0f, 0.8f}, {18.0f, 1.5f}};
  const Step* steps = low;
  int32_t n = 3;
  if (alt > 19000.0f) {
    steps = high;
    n = 4;
  } else if (alt > 10000.0f) {
    steps = mid;
  }
  float bank = steps[0].bank;
  for (int32_t s = 1; s < n; ++s) {
    if (!(excursion(bank) > steps[s].frac * rnp)) break;
    bank = steps[s].bank;
  }
  float dta = std::fmin(t * turn_radius_nm(bank, speed), 20.0f);
  const float radius = t != 0.0f ? dta / t : 0.0f;
  const float to_centre = std::sqrt(dta * dta + radius * radius);
  int32_t side;
  if ((fms_seq.intdir_act != 0.0f && static_cast<float>(i) == fms_seq.vnav_idx - 1.0f) ||
      legs_rad_turn[i + 1] == -1.0f) {
    side = f.xnext_rel_brg < 0.0f ? kTurnLeft : kTurnRight;
  } else {
    const float code = legs_rad_turn[i + 1];
    side = navmath::is_left_turn_f(code) ? kTurnLeft : kTurnRight;
  }
  const bool left = side == 2;
  const double interior = 180.0 - f.xabs_next_rel_brg;
  const double bis = std::fmod(f.xact_crs + 180.0 + (left ? interior / 2.0 : -interior / 2.0) + 360.0, 360.0);
  gc_destination(legs_lat[i], legs_lon[i], bis, to_centre);
  const double clat = nav_result.lat, clon = nav_result.lon;
  const float start = angle::wrap360_d(f.xact_crs + (left ? 90.0 : 270.0));
  const float end = angle::wrap360_d(f.xnext_crs + (left ? 90.0 : 270.0));
  legs_radii_dta[i] = legs_seg1_dta[i] = dta;
  legs_radii_radius[i] = legs_seg1_radius[i] = radius;
  legs_radii_ctr_lat[i] = legs_seg1_ctr_lat[i] = static_cast<float>(clat);
  legs_radii_ctr_lon[i] = legs_seg1_ctr_lon[i] = static_cast<float>(clon);
  legs_turn[i] = legs_seg1_turn[i] = static_cast<float>(side);
  legs_seg1_start_angle[i] = start;
  legs_seg1_end_angle[i] = end;
  gc_destination(clat, clon, start, radius);
  legs_seg1_start_lat[i] = legs_radii_lat2[i] = static_cast<float>(nav_result.lat);
  legs_seg1_start_lon[i] = legs_radii_lon2[i] = static_cast<float>(nav_result.lon);
  gc_destination(clat, clon, end, radius);
  legs_seg1_end_lat[i] = static_cast<float>(nav_result.lat);
  legs_seg1_end_lon[i] = static_cast<float>(nav_result.lon);
  legs_seg_remain_dist[i] = gc_distance_nm(legs_seg1_end_lat[i], legs_seg1_end_lon[i], legs_lat[j], legs_lon[j]);
  legs_bypass[j] = 0.0f;
  split_arc_at_waypoint(i);
  reset_leg_path(j, 0);
  return j;
}

}  // namespace

namespace legpath {

bool build_sized_turn(int32_t i, int32_t target, float out_crs, TurnSizing& t, int32_t side, int32_t mode) {
  const LegPassFrame& f = leg_pass;
  int32_t res = calc_turn_center(legs_lat[i], legs_lon[i], f.xact_crs, legs_lat[target], legs_lon[target], out_crs,
                                 t.dta, t.radius, side, mode, i, t.opposite);
  const TurnCenterResult& r = turn_center_result;
  t.retried = false;
  if (res == 0 && ((r.seg3_end_lat == 0.0 && r.seg3_end_lon == 0.0) || t.at_max)) return true;
  if (t.at_max) return false;
  t.retried = true;
  size_retry(t, i);
  res = calc_turn_center(legs_lat[i], legs_lon[i], f.xact_crs, legs_lat[target], legs_lon[target], out_crs, t.dta,
                         t.radius, side, mode, i, t.opposite);
  return res == 0;
}

void store_built_turn(int32_t i, int32_t target, int32_t side) {
  store_turn_center(i, side);
  legs_bypass[target] = 0.0f;
  arc_split_built(i, turn_center_result.seg1_dta);
}

int32_t flyby_connection(int32_t conn) {
  LegPassFrame& f = leg_pass;
  const int32_t i = f.i;
  if (conn == 1) return connection_1();
  const bool conn5 = conn == 5;
  const int32_t target = conn5 ? f.j : i + 1;
  int32_t side;
  bool opposite;
  turn_side(target, f.xnext_rel_brg, side, opposite);
  TurnSizing t{};
  size_turn(t, i, target, f.xnext_rel_brg, conn5, opposite);
  if (!conn5) size_arc_to_intercept(t, i);
  const bool mode1 = conn5 && f.xabs_next_rel_brg < 135.0f;
  const int32_t cmode = conn5 ? (mode1 ? 1 : 0) : 2;
  if (tracing(9999.0f)) {
    const char* fmt = conn5 ? (mode1 ? "WPT %d <%s> -> <%s> <<%s>>  Calc mode 1\n" : "WPT %d <%s> -> <%s> <<%s>> Calc mode 2\n")
                            : "WPT %d <%s> -> <%s> <<%s>>  Calc mode 2\n";
    trace(9999.0f, fmt, i, wpt_id(i).text, wpt_id(target).text, path_type(target).text);
  }
  if (build_sized_turn(i, target, f.xnext_crs, t, side, cmode)) {
    store_built_turn(i, target, side);
    if (tracing(9999.0f)) {
      const char* fmt;
      if (conn5 && mode1) {
        fmt = t.retried ? "WPT %d <%s>: Connected to WPT %d <%s> max BA (5) - mode1\n"
                        : "WPT %d <%s>: Connected to WPT %d <%s>  (5) - mode1\n";
      } else if (conn5) {
        fmt = "WPT %d <%s>: Connected to WPT %d <%s>  (5) - mode0\n";
      } else {
        fmt = t.retried ? "WPT %d <%s>: Connected to WPT %d <%s> max BA (6) - mode2\n"
                        : "WPT %d <%s>: Connected to WPT %d <%s>  (6) - mode2\n";
      }
      trace(9999.0f, fmt, i, wpt_id(i).text, target, wpt_id(target).text);
      trace(9999.0f, "\n");
    }
    reset_leg_path(target, 0);
    return target;
  }
  // No turn fits: the bypass takes over from here.
  const int32_t entry = conn5 ? (mode1 ? 2 : 3) : 1;
  const int32_t joined = bypass_search(i, entry, side);
  if (joined >= 0) return joined;
  return i + 1;
}

}  // namespace legpath
