// Hold and procedure-turn phase stepping: turns the route tracking's piece
// of a holding pattern or procedure turn into the phase the steering flies,
// changing the phase where a turn must begin; and the end of a procedure
// turn, which moves the active leg on.
#include <cmath>

#include "core/host_io.h"
#include "core/units.h"
#include "core/util.h"

#include "lnav/route/hold_geometry.h"
#include "lnav/route/route_intake.h"
#include "lnav/route/fms_legs.h"
#include "lnav/route/route_state.h"
#include "lnav/route/route_tracking.h"
#include "lnav/route/sequencing.h"
#include "lnav/route/sequencing_internal.h"
#include "navdata/geodesy.h"

using namespace seqint;

namespace {

using angle::mod360_nonneg;

void set_hold_phase(float k) {
  if (fms_seq.hold_phase == k) return;
  fms_seq.hold_phase = k;
  script_set_finite_f(bound::zuvadud_D738_fms_hold_phase, k);
}

void set_pi_phase(float k) {
  if (fms_seq.pi_phase == k) return;
  fms_seq.pi_phase = k;
  script_set_finite_f(bound::zuvadud_D738_fms_pi_phase, k);
}

// Change at the turn's bank lead (or within 0.1 nm of the piece's end).
bool lead_step(float togo, float radius) { return togo < 0.1f || togo < lead_distance(radius, ground_speed_kt()); }

// Change within 0.1 nm of the piece's end, or within the turn radius (at
// most 20 nm) once the capture test on the turn is due.
bool capture_step(float togo, double ctr_lat, double ctr_lon, float radius, float side) {
  if (togo < 0.1f) return true;
  if (togo >= clamp_range(radius, 0.0f, 20.0f)) return false;
  return straight_sent() && capture_due(ctr_lat, ctr_lon, radius, side, idx_corr());
}

}  // namespace

void sequence_legs_hold() {
  const int32_t i = slot_of(fms_seq.vnav_idx_seq);
  if (i < 0) return;
  const HoldPatternArrays& h = hold_pattern;
  const float phase = fms_seq.hold_phase;
  const int32_t region = route_track.region;
  const float togo = route_track.abeam_dist_seg;
  const float r = h.hold_radius[i];
  const float side = legs_rad_turn[i];
  const int32_t e = i - 1;  // the entry pieces
  const float entry_r1 = at(legs_seg1_radius, e);
  const float entry_r3 = at(legs_seg3_radius, e);
  const auto exit_arc_capture = [&]() {
    return capture_step(togo, at(legs_seg3_ctr_lat, e), at(legs_seg3_ctr_lon, e), entry_r3, at(legs_seg3_turn, e));
  };

  if (phase >= 0.0f && phase <= 3.0f) {
    if (region == 300) {
      if (phase == 2.0f || phase == 3.0f) set_hold_phase(0.0f);
      else if (phase == 0.0f && capture_step(togo, h.hold_ctr1_lat[i], h.hold_ctr1_lon[i], r, side)) set_hold_phase(1.0f);
    } else if (region == 301) {
      if (phase == 0.0f || phase == 3.0f) set_hold_phase(1.0f);
      else if (phase == 1.0f && lead_step(togo, r)) set_hold_phase(2.0f);
    } else if (region == 302) {
      if (phase == 0.0f || phase == 1.0f) set_hold_phase(2.0f);
      else if (phase == 2.0f && capture_step(togo, h.hold_ctr2_lat[i], h.hold_ctr2_lon[i], r, side)) set_hold_phase(3.0f);
    } else if (region == 303) {
      if (phase == 1.0f || phase == 2.0f) set_hold_phase(3.0f);
      else if (phase == 3.0f && lead_step(togo, r)) set_hold_phase(0.0f);
    }
  } else if (phase >= 4.0f && phase <= 5.0f) {
    if (phase == 4.0f && region == 304) {
      if (togo < 0.1f) set_hold_phase(2.0f);
      else if (togo < lead_distance(entry_r1, ground_speed_kt())) set_hold_phase(5.0f);
    } else if (phase == 5.0f) {
      track_errors(ac_lat(), ac_lon(), at(legs_seg1_end_lat, e), at(legs_seg1_end_lon, e),
                   mod360_nonneg(h.hold_crs_true[i] + 180.0f));
      if (nav_result.along_track < 0.1f) set_hold_phase(2.0f);
    }
  } else if (phase >= 6.0f && phase <= 10.0f) {
    if (region == 306) {
      if (phase != 7.0f && lead_step(togo, entry_r1)) set_hold_phase(7.0f);
    } else if (region == 307) {
      if (phase != 8.0f && exit_arc_capture()) set_hold_phase(8.0f);
    } else if (region == 308) {
      if (phase != 9.0f && lead_step(togo, entry_r3)) set_hold_phase(9.0f);
    } else if (region == 309) {
      if (phase != 10.0f && capture_step(togo, h.hold_ctr1_lat[i], h.hold_ctr1_lon[i], r, side)) set_hold_phase(10.0f);
    } else if (region == 310) {
      if (crs_within_90(h.hold_crs_true[i], gc_bearing(h.hold_ctr1_lat[i], h.hold_ctr1_lon[i], ac_lat(), ac_lon())))
        set_hold_phase(1.0f);
    }
  } else if (phase >= 11.0f && phase <= 13.0f) {
    if (region == 311) {
      if (phase != 12.0f && lead_step(togo, entry_r1)) set_hold_phase(12.0f);
    } else if (region == 312) {
      if (phase != 13.0f && exit_arc_capture()) set_hold_phase(13.0f);
    } else if (region == 313) {
      if (lead_step(togo, entry_r1)) set_hold_phase(0.0f);
    }
  } else if (phase >= 14.0f && phase <= 16.0f) {
    if (region == 314) {
      if (phase != 15.0f && lead_step(togo, entry_r1)) set_hold_phase(15.0f);
    } else if (region == 315) {
      if (phase != 16.0f && exit_arc_capture()) set_hold_phase(16.0f);
    } else if (region == 316) {
      const float outbound = mod360_nonneg(h.hold_crs_true[i] + 180.0f);
      if (crs_within_90(outbound, gc_bearing(h.hold_ctr2_lat[i], h.hold_ctr2_lon[i], ac_lat(), ac_lon())))
        set_hold_phase(3.0f);
    }
  }
}

void sequence_legs_pi() {
  const int32_t i = slot_of(fms_seq.vnav_idx_seq);
  if (i < 0) return;
  const ProcTurnArrays& t = proc_turn;
  const float phase = fms_seq.pi_phase;
  const int32_t region = route_track.region;
  const float togo = route_track.abeam_dist_seg;
  const float r = t.pi_radius[i];
  const float t10 = clamp_range(r, 0.0f, 10.0f);
  const float a_dist = r * pi_f * 0.4f;
  const float c = t.pi_crs_true[i];
  const bool left = proc_turn_is_left(legs_rad_turn[i]);
  const float first_side = left ? 3.0f : 2.0f;
  const float other_side = left ? 2.0f : 3.0f;
  const float o = mod360_nonneg(c + (left ? 135.0f : 225.0f));
  const float ro = mod360_nonneg(o + 180.0f);
  const float rc = mod360_nonneg(c + 180.0f);

  // Step to phase k: always within 0.1 nm of the piece's end, within the
  // threshold once the turn test is due.
  const auto step = [&](float k, float threshold, bool (*test)(const void*), const void* ctx) {
    if (togo >= 0.1f && togo >= threshold) return;
    if (togo >= 0.1f && !test(ctx)) return;
    set_pi_phase(k);
  };
  struct Turn {
    double lat, lon;
    float radius, side, next;
    bool release;
  };
  const auto due = [](const void* p) {
    const Turn& u = *static_cast<const Turn*>(p);
    return u.release ? release_due(u.lat, u.lon, u.radius, u.side, idx_corr2(), u.next)
                     : straight_sent() && capture_due(u.lat, u.lon, u.radius, u.side, idx_corr());
  };

  switch (region) {
    case 50:
      if (phase == 0.0f) {
        const int32_t e = i - 1;
        const Turn u{at(legs_seg1_ctr_lat, e), at(legs_seg1_ctr_lon, e), at(legs_seg1_radius, e),
                     at(legs_seg1_turn, e), ro, true};
        step(1.0f, at(legs_seg1_radius, e) * pi_f * 0.4f, due, &u);
      } else if (phase != 1.0f) {
        set_pi_phase(0.0f);
      }
      break;
    case 51:
      if (phase == 1.0f) {
        const Turn u{t.pi_p2_lat[i], t.pi_p2_lon[i], r, first_side, 0.0f, false};
        step(2.0f, t10, due, &u);
      } else if (phase != 2.0f) {
        set_pi_phase(1.0f);
      }
      break;
    case 52:
      if (phase == 2.0f) {
        const Turn u{t.pi_p2_lat[i], t.pi_p2_lon[i], r, first_side, c, true};
        step(3.0f, a_dist, due, &u);
      } else if (phase != 3.0f) {
        set_pi_phase(2.0f);
      }
      break;
    case 53:
      if (phase == 3.0f) {
        const Turn u{t.pi_p5_lat[i], t.pi_p5_lon[i], r, other_side, 0.0f, false};
        step(4.0f, t10, due, &u);
      } else if (phase != 4.0f) {
        set_pi_phase(3.0f);
      }
      break;
    case 54:
      if (phase == 4.0f) {
        const Turn u{t.pi_p5_lat[i], t.pi_p5_lon[i], r, other_side, rc, true};
        step(5.0f, a_dist, due, &u);
      } else if (phase != 5.0f) {
        set_pi_phase(4.0f);
      }
      break;
    case 55:
      if (phase == 5.0f) {
        const Turn u{t.pi_x_lat[i], t.pi_x_lon[i], r, other_side, 0.0f, false};
        step(6.0f, t10, due, &u);
      } else if (phase != 6.0f) {
        set_pi_phase(5.0f);
      }
      break;
    case 56:
      if (phase == 6.0f) {
        const Turn u{t.pi_x_lat[i], t.pi_x_lon[i], r, other_side, rc, true};
        step(7.0f, a_dist, due, &u);
      } else if (phase != 7.0f) {
        set_pi_phase(6.0f);
      }
      break;
    case 57:
      if (togo < 0.1f) {
        FmsSequenceState& s = fms_seq;
        publish_nav_mode();
        // The last entry has no leg after it: the procedure turn then stays
        // the active leg rather than pointing past the route.
        if (s.vnav_idx < s.legs_num) {
          s.vnav_idx += 1.0f;
          publish_vnav_idx();
          if (s.vnav_idx_seq < s.vnav_idx) {
            s.vnav_idx_seq = s.vnav_idx;
            const int32_t a = slot_of(s.vnav_idx);
            if (bypassed(a)) s.vnav_idx_seq = static_cast<float>(next_sequencing_leg(a) + 1);
            init_nav_mode(slot_of(s.vnav_idx_seq));
            publish_seq_leg();
          }
        }
        fms_seq.pi_phase = 0.0f;
        script_set_finite_f(bound::zuvadud_D738_fms_pi_phase, 0.0f);
      }
      break;
    default:
      break;
  }
}
