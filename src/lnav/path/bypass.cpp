// Waypoint bypass: when no turn at S reaches the next waypoint, the path is
// cut past it (at most three waypoints deep) to the first waypoint a turn can
// reach, or every write is undone and S is flown to S + 1 as before.
#include <cmath>

#include "lnav/route/route_intake.h"
#include "lnav/route/fms_legs.h"
#include "lnav/path/leg_path.h"
#include "lnav/path/leg_path_internal.h"
#include "lnav/route/route_state.h"
#include "lnav/path/turn_sizing.h"
#include "navdata/geodesy.h"
#include "lnav/route/route_geometry.h"

using namespace legpath;

namespace {

enum Entry { df_turn = 0, conn6 = 1, conn5_mode1 = 2, conn5_mode2 = 3 };

bool ineligible(int32_t k) {
  return pt_is_arc(k) || pt_is_arc(k + 1) || id_is_gap(k + 1) || pt_is(k, "VM") || pt_is_hold(k) ||
         pt_is_hold(k + 1) || id_is_gap(k) || pt_is(k, "PI") || pt_is(k + 1, "PI");
}

void connect(int32_t s, int32_t t, int32_t side, float dta) {
  store_turn_center(s, side);
  legs_bypass[t] = 0.0f;
  legs_df_crs[t] = -1.0f;
  legs_df_crs_fin[t] = -1.0f;
  if (pt_is(t, "DF") || (fms_seq.intdir_act == 0.0f && prev_pt_is(t, "DF"))) {
    double plat = legs_lat[s], plon = legs_lon[s];
    const int32_t kind = leg_seg_kind(s);
    if (kind == 1) {
      plat = legs_seg1_end_lat[s];
      plon = legs_seg1_end_lon[s];
    } else if (kind == 2 || kind == 3) {
      plat = legs_seg3_end_lat[s];
      plon = legs_seg3_end_lon[s];
    }
    legs_df_crs[t] = gc_bearing(plat, plon, legs_lat[t], legs_lon[t]);
    legs_df_crs_fin[t] = angle::wrap360_d(gc_bearing(legs_lat[t], legs_lon[t], plat, plon) + 180.0);
  }
  const float r = legs_seg1_radius[s];
  // Flown straight on past a bypassed waypoint, the path runs from s to t
  // itself: what is left after s is that whole distance, not the length of
  // the bypassed leg after s.
  if (!(r > 0.0f) && t > s + 1) {
    const float d = gc_distance_nm(legs_lat[s], legs_lon[s], legs_lat[t], legs_lon[t]);
    if (std::isfinite(d)) legs_seg_remain_dist[s] = d;
  }
  if (r > 0.0f) {
    const int32_t turn = static_cast<int32_t>(legs_seg1_turn[s]);
    if (dta == 0.0f) {
      legs_seg1_arc_lenght[s] = arc_length(r, course_diff_dir(legs_seg1_start_angle[s], legs_seg1_end_angle[s], turn));
      legs_wpt_angle[s] = legs_seg1_start_angle[s];
      legs_wpt_arc_dist[s] = 0.0f;
    } else {
      const float w = gc_bearing(legs_seg1_ctr_lat[s], legs_seg1_ctr_lon[s], legs_lat[s], legs_lon[s]);
      legs_wpt_angle[s] = w;
      const double d1 = std::fabs(course_diff_dir(legs_seg1_start_angle[s], legs_seg1_end_angle[s], turn));
      const double d2 = std::fabs(course_diff_dir(legs_seg1_start_angle[s], w, turn));
      if (d2 <= d1) {
        legs_seg1_arc_lenght[s] = static_cast<float>(d1 * r * pi_12dp / 180.0);
        legs_wpt_arc_dist[s] = static_cast<float>(d2 * r * pi_12dp / 180.0);
      } else {
        legs_seg1_start_angle[s] = w;
        gc_destination(legs_seg1_ctr_lat[s], legs_seg1_ctr_lon[s], w, r);
        legs_seg1_start_lat[s] = static_cast<float>(nav_result.lat);
        legs_seg1_start_lon[s] = static_cast<float>(nav_result.lon);
        legs_seg1_arc_lenght[s] = static_cast<float>(d2 * r * pi_12dp / 180.0);
        legs_wpt_arc_dist[s] = 0.0f;
      }
    }
  }
  reset_leg_path(t, 0);
}

}  // namespace

namespace legpath {

int32_t bypass_search(int32_t s, int32_t entry, int32_t side) {
  if (!leg_slot_ok(s) || s + 1 > 255) return -1;
  const LegPassFrame& f = leg_pass;
  const float saved_df = legs_df_crs[s + 1];
  const float saved_fin = legs_df_crs_fin[s + 1];
  const char* kind_txt = (entry == conn5_mode1 || entry == conn5_mode2) ? "(5)" : "(6)";
  int32_t k = s + 1;
  bool retry_pending = false;
  if (entry == conn5_mode1) {
    reset_leg_path(s, 0);
    legs_seg_remain_dist[s] = legs_dist[s + 1];
    k = s;
    retry_pending = true;
  } else {
    reset_leg_path(s, 0);
    legs_seg_remain_dist[s] = legs_dist[s + 1];
    clear_arc_split(s);
    reset_leg_path(s + 1, 0);
    legs_bypass[s + 1] = 1.0f;
    legs_df_crs[s + 1] = -1.0f;
    legs_df_crs_fin[s + 1] = -1.0f;
  }
  // DF-turn radius before its 1.1 margin.
  const float df_radius = turn_radius_nm(22.0f, leg_turn_speed(s, f.xnext_rel_brg, 20.0f));

  int cause = 0;  // 1 eligibility, 2 depth, 0 ran out of route
  const int32_t last = last_entry();
  while (static_cast<float>(k) < fms_seq.legs_num - 1.0f && k + 1 <= last) {
    if (ineligible(k)) {
      cause = 1;
      break;
    }
    if (k - s > 3) {
      cause = 2;
      break;
    }
    const bool retry_pass = retry_pending && k == s;
    if (entry == df_turn) {
      reset_leg_path(k - 1, 0);
      legs_seg_remain_dist[k - 1] = legs_dist[k];
      legs_bypass[k] = 1.0f;
      legs_df_crs[k] = legs_df_crs_fin[k] = -1.0f;
      clear_arc_split(k - 1);
      trace(9999.0f, "WPT %d <%s>: Bypass for WPT %d <%s> (6)\n", s, wpt_id(s).text, k, wpt_id(k).text);
    } else if (!retry_pass) {
      reset_leg_path(k, 0);
      legs_bypass[k] = 1.0f;
      legs_bypass[k + 1] = 0.0f;
      trace(9999.0f, "WPT %d <%s>: Bypass for WPT %d <%s> %s\n", s, wpt_id(s).text, k, wpt_id(k).text, kind_txt);
    } else {
      trace(9999.0f, "Trying for WPT %d <%s> again Calc mode 2 (5)\n", s, wpt_id(s).text);
    }
    // A climb passed over below its altitude is flown on its own heading
    // until it gets there, off this turn, and the direct after it is taken up
    // from where the climb ends (the sequencing does that): the direct is
    // passed over with it. Joined to this turn, the direct would take the
    // course the last pass's turn left it, which settles on one turn in one
    // place and on another elsewhere.
    if (k > s && pt_is(k + 1, "DF") && climb_below_altitude(k)) {
      reset_leg_path(k + 1, 0);
      retry_pending = false;
      ++k;
      continue;
    }
    float q = magvar_course_alt(k);
    // The leg's course is read where it starts, at k, but the turn is laid
    // from s: carried over to s and the turn built in s's own frame, where
    // that course holds along the leg. Read on the earth, the meridians
    // between k, s and the leg's end turn it one way north of the equator
    // and the other way south.
    const bool carried_course = k > s && pt_is(k + 1, "TF");
    if (carried_course) q = course_carried_to(wpt(s), wpt(k), q);
    if (pt_is_arc(k + 1))
      legs_af_beg[k + 1] = gc_bearing(legs_rad_lat[k + 1], legs_rad_lon[k + 1], legs_lat[k], legs_lon[k]);
    float a = wrap179(static_cast<double>(q) - f.xact_crs);
    const float b = angle::wrap180_d(static_cast<double>(gc_bearing(legs_lat[s], legs_lon[s], legs_lat[k + 1], legs_lon[k + 1])) -
                            f.xact_crs);
    if (legs_rad_turn[s + 1] == -1.0f &&
        (pt_is(k + 1, "DF") || std::fabs(b) <= 90.0f || (side == 2 && a > 0.0f && a <= 90.0f) ||
         (side == 3 && a < 0.0f && a >= -90.0f))) {
      side = b >= 0.0f ? kTurnRight : kTurnLeft;
      trace(9999.0f, "Change turn YES - calc_turn_crs:%f, xnext_rel_brg:%f\n", static_cast<double>(b),
            static_cast<double>(a));
    } else {
      trace(9999.0f, "Change turn NO - calc_turn_crs:%f, xnext_rel_brg:%f\n", static_cast<double>(b),
            static_cast<double>(a));
    }
    auto sized = [&](float rel) {
      const bool lw = (side == 2 && rel > 0.0f) || (side == 3 && rel < 0.0f);
      TurnSizing z{};
      if (entry == df_turn) {
        z.radius = df_radius;
        z.dta = (std::fabs(rel) < 135.0f && !lw) ? df_radius * tan_half(std::fabs(rel)) : df_radius;
        if (id_is_runway(k)) z.dta = 0.0f;
        if (legs_type[s] == 5.0f || legs_type[s + 1] == 6.0f || pt_is(s + 1, "DF")) {
          z.dta = 0.0f;
          z.radius = 1.1f * df_radius;
        } else if ((rel < -170.0f || rel > 170.0f) && pt_is_course(s)) {
          z.dta = 0.0f;
        }
      } else {
        size_turn(z, s, entry == conn6 ? s + 1 : k + 1, rel, entry != conn6, lw);
        if (entry == conn6) size_arc_to_intercept(z, s);
        if (id_is_runway(k)) z.dta = 0.0f;
      }
      return z;
    };
    if (pt_is(k + 1, "DF") && !climb_below_altitude(k)) {
      // A direct's course is the one the turn from s first points at its fix
      // on, not the course kept from the last pass: that came from the last
      // pass's turn, and fed back it settled on one turn in one place and
      // wandered to others elsewhere (mirrored, at another latitude), the
      // path rebuilt differently every frame. The turn's size follows the
      // course change, so the two are settled together, from the course
      // straight to the fix.
      const bool left = side == kTurnLeft;
      float rel = b;
      for (int pass = 0; pass < 4; ++pass) {
        const TurnSizing z = sized(rel);
        const Pt start = dest(wpt(s), c360(f.xact_crs + 180.0), z.dta);
        const Pt centre = dest(start, c360(f.xact_crs + (left ? 270.0 : 90.0)), z.radius);
        Pt tp{};
        if (!turn_tangent_to_fix(centre, z.radius, left, wpt(k + 1), tp)) break;
        q = brg(tp, wpt(k + 1));
        a = rel = wrap179(static_cast<double>(q) - f.xact_crs);
      }
    }
    const bool longway = (side == 2 && a > 0.0f) || (side == 3 && a < 0.0f);
    bool built;
    TurnSizing t = sized(a);
    {
      const OwnFrameTurns frame(carried_course);
      if (entry == df_turn) {
        trace(9999.0f, "WPT %d <%s> -> <%s> <<%s>>  Calc mode 2 after bypass\n", s, wpt_id(s).text,
              wpt_id(k + 1).text, path_type(k + 1).text);
        built = calc_turn_center(legs_lat[s], legs_lon[s], f.xact_crs, legs_lat[k + 1], legs_lon[k + 1], q, t.dta,
                                 t.radius, side, 2, s, longway) == 0;
      } else {
        trace(9999.0f,
              entry == conn6 ? "WPT %d <%s> -> <%s> <<%s>>  Calc mode 2 after bypass\n"
                             : "WPT %d <%s> -> <%s> <<%s>> Calc mode 2 after bypass\n",
              s, wpt_id(s).text, wpt_id(k + 1).text, path_type(k + 1).text);
        built = build_sized_turn(s, k + 1, q, t, side, 2);
      }
    }
    if (built) {
      const float dta = turn_center_result.seg1_dta;
      connect(s, k + 1, side, dta);
      if (tracing(9999.0f)) {
        if (entry == conn5_mode1 || entry == conn5_mode2) {
          trace(9999.0f,
                t.retried ? "WPT %d <%s>: Connected to WPT %d <%s> max BA (5) mode2\n"
                          : "WPT %d <%s>: Connected to WPT %d <%s>  (5) mode2\n",
                s, wpt_id(s).text, k + 1, wpt_id(k + 1).text);
        } else {
          trace(9999.0f,
                t.retried ? "WPT %d <%s>: Connected to WPT %d <%s> max BA (6) - mode2\n"
                          : "WPT %d <%s>: Connected to WPT %d <%s>  (6) - mode2\n",
                s, wpt_id(s).text, k + 1, wpt_id(k + 1).text);
        }
        trace(9999.0f, "\n");
      }
      return k + 1;
    }
    reset_leg_path(k + 1, 0);
    retry_pending = false;
    ++k;
  }

  // Cancel: everything as if no bypass had been tried.
  reset_leg_path(s, 0);
  legs_seg_remain_dist[s] = legs_dist[s + 1];
  legs_bypass[s + 1] = 0.0f;
  legs_df_crs[s + 1] = saved_df;
  legs_df_crs_fin[s + 1] = saved_fin;
  clear_arc_split(s);
  if (tracing(9999.0f) && cause != 0) {
    if (cause == 2) {
      trace(9999.0f, "WPT %d: Bypass canceled for WPT %d (5)- too much bypass\n", s, s + 1);
    } else if (entry == conn5_mode1 || entry == conn5_mode2) {
      trace(9999.0f, "WPT %d: Bypass canceled for WPT %d (5)\n", s, s + 1);
    } else {
      trace(9999.0f, "WPT %d: Bypass cancel for WPT %d (6)\n", s, s + 1);
    }
    trace(9999.0f, "\n");
  }
  return -1;
}

}  // namespace legpath
