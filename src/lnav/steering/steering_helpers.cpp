// Intercept and arc steering laws: straight-course intercept track and arc
// track with bank lead and cross-track correction.
#include "lnav/steering/steering_helpers.h"

#include <cmath>

#include "core/binding.h"
#include "core/own_aircraft.h"
#include "core/preprocess_values.h"
#include "lnav/route/route_intake.h"
#include "core/units.h"
#include "core/util.h"
#include "navdata/air_data.h"
#include "navdata/nav_math.h"

namespace {

constexpr float kInterceptLimitDeg = 35.0f;
constexpr float kOffsetInterceptLimitDeg = 45.0f;
// Above this indicated altitude the intercept is planned at 20 degrees of
// bank instead of 25.
constexpr float kHighAltitudeFt = 19000.0f;
// Bank needed for an arc: tan(bank) = V^2 / (R x 68620), V in knots, R in nm.
constexpr float kTurnConstant = 68620.0f;


// The wider limit applies while the route enters or leaves a lateral offset.
float intercept_limit_deg(int32_t plain) {
  if (plain != 0) return kInterceptLimitDeg;
  const float seq = fms_seq.vnav_idx_seq;
  const float act = fms_seq.legs_offset_act;
  const float start = route_change_values.legs_offset_start;
  const float end = route_change_values.legs_offset_end;
  if (!(seq > 0.0f) || !(fms_seq.legs_num > seq)) return kInterceptLimitDeg;
  if (!(act >= 5.0f && act <= 9.0f)) return kInterceptLimitDeg;
  if (start == 0.0f || end == 0.0f) return kInterceptLimitDeg;
  const float seq_whole = std::trunc(seq);
  if ((route_change_values.legs_offset_start_t == 0.0f && act == 5.0f) || act == 6.0f ||
      (start <= seq_whole && seq_whole <= end)) {
    return kOffsetInterceptLimitDeg;
  }
  return kInterceptLimitDeg;
}

}  // namespace

float lnav_intercept_hdg(float crs, float xtrack_nm, float track_mag, int32_t plain) {
  const float limit = intercept_limit_deg(plain);
  const float magvar = frame_flight_data.mag_var_deg;
  const float bank = frame_flight_data.alt_ft <= kHighAltitudeFt ? 25.0f : 20.0f;
  float a = intercept_angle_for_offset(xtrack_nm, bank, 1.2f, 87.0f);

  // While the present track is already turning past the wanted one toward the
  // course, the angle is softened (0.8 at no offset, 1.0 from 0.15 nm either
  // side: by the offset's size, so a capture from the left mirrors one from
  // the right).
  const float wanted = below_360(crs + magvar + a + 360.0f);
  const float d_wanted = navmath::wrap180(wanted - track_mag);
  if ((xtrack_nm < 0.0f && d_wanted < 0.0f) || (xtrack_nm > 0.0f && d_wanted > 0.0f)) {
    const float m = clamp_range(std::fabs(xtrack_nm), 0.0f, 0.15f);
    a *= 0.8f + m * 0.2f / 0.15f;
  }

  // The angle the present track makes with the course. A track already
  // between the limit and the wanted angle is kept, so the command does not
  // jump back to the limit in the middle of an intercept.
  const float present = -navmath::wrap180(crs + magvar - track_mag);
  if (a > limit) {
    if (present < limit) {
      a = limit;
    } else if (present <= a) {
      return std::isfinite(track_mag) ? track_mag : 0.0f;
    }
  } else if (a < -limit) {
    if (present > -limit) {
      a = -limit;
    } else if (present >= a) {
      return std::isfinite(track_mag) ? track_mag : 0.0f;
    }
  }

  const float cmd = below_360(crs + magvar + a + 360.0f);
  if (std::isfinite(cmd)) return cmd;
  return std::isfinite(track_mag) ? track_mag : 0.0f;
}

float lnav_bank_for_circle(float radius_nm, float speed_kt) {
  if (!(radius_nm > 0.0f) || !(speed_kt > 0.0f)) return 0.0f;
  return std::fmin(navmath::deg(std::atan(speed_kt * speed_kt / (radius_nm * kTurnConstant))), 25.0f);
}

float roll_through_s(float bank_from_deg, float bank_to_deg) {
  constexpr float kRollRateDps = 5.0f;
  return (std::fabs(bank_from_deg) + std::fabs(bank_to_deg)) / kRollRateDps;
}

float arc_steer(float crs, float xtrack_nm, float radius_nm, float dir, float, int32_t) {
  const bool left = navmath::is_left_turn_f(dir);
  const float v = ground_speed_kt();

  // Lead: the bank the arc needs at this speed, 0..35 degrees, as 0..20
  // degrees of track toward the turn side.
  float beta = 0.0f;
  if (radius_nm != 0.0f) beta = navmath::deg(std::atan(v * v / (radius_nm * kTurnConstant)));
  float b = clamp_range(beta, 0.0f, 35.0f) * 20.0f / 35.0f;
  if (left) b = -b;

  // Faster aircraft get a gentler correction: 1.0 up to 140 kt, 0.8 from 420 kt.
  float speed_factor = 1.0f;
  if (v > 420.0f) {
    speed_factor = 0.8f;
  } else if (v > 140.0f) {
    speed_factor = 1.0f - (v - 140.0f) * 0.2f / 280.0f;
  }

  // Correction against the cross-track: proportional up to x1, then rising to
  // the full correction at x2, flat beyond.
  const float lead = std::fabs(b);
  const float base = lead * speed_factor;
  float x1 = 0.1f * lead / 20.0f;
  float x2 = 1.0f + lead / 20.0f;
  if (lead > 20.0f) {
    x1 = 0.1f;
    x2 = 2.0f;
  }
  const float full = clamp_range(3.0f * base, 35.0f, 70.0f);
  const float off = std::fabs(xtrack_nm);
  float c;
  if (off < x1) {
    c = base * off / x1;
  } else if (off <= x2) {
    c = base + (full - base) * (off - x1) / (x2 - x1);
  } else {
    c = full;
  }

  // Damped harder when the correction turns against the arc's own turn.
  float r;
  if (xtrack_nm < 0.0f) {
    r = c * (left ? 0.7f : 0.9f);
  } else {
    r = -c * (left ? 0.9f : 0.7f);
  }

  const float cmd = below_360(crs + b + r + 360.0f);
  if (std::isfinite(cmd)) return cmd;
  return std::isfinite(crs) ? below_360(navmath::wrap360(crs)) : 0.0f;
}

float arc_steer2(float crs, float xtrack_nm, float radius_nm, float dir, float dir2, float current_cmd,
                 int32_t flag) {
  return arc_steer(crs, xtrack_nm, radius_nm, dir == -1.0f ? dir2 : dir, current_cmd, flag);
}
