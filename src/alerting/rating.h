// Flight rating: the landing rating (1 best .. 6), the approach rating from
// its penalty slots, and the structural damage the host is told not to model
// itself (gear collapse, airframe overload, flap overspeed and asymmetry,
// elevator trim jam).
//
// Reads: radio height, ground contact, gear loads and deflections, load
// factor, vertical speed, roll, mass, wind, flap angles, both airspeeds, Mach,
// the speed brake, the scripts' approach flaps/speed and flight phase.
// Writes: the scripts' landing and approach ratings, the published penalty
// slots ("zuvadud/D738/flight/app_rating_param"), host failure items, the
// host's overspeed warnings (off) and elevator trim.
#pragma once

#include <cstdint>

constexpr int kPenaltySlots = 30;

struct TouchdownRecord {
  int32_t armed;
  float peak_g;
  float nose_g;
  float min_vs_fpm;
  float max_roll_deg;
  float contact_mass_kg;
  // Per gear: nose, left main, right main (host gear 0, 1, 2).
  int32_t contact[3];
  float off_ground_s[3];
  float time_to_contact_s[3];  // from arming, capped 30 s
  float peak_load_kg[3];
  int32_t collapsed[3];
  float last_deflection_m[3];
  float compress_peak_g[3];
  int32_t touched[3];
  int32_t nose_g_captured;
  int32_t first_gear;  // 1 nose, 2 left, 3 right, 0 none
  int32_t any_touched;
  float float_time_s;
  float wind_low_ms;
  float wind_high_ms;
};

struct FlightRatingState {
  TouchdownRecord touchdown;
  float landing_rating;
  float smoothed_load_kg;
  float overload_timer_s;
  float trim_jam_timer_s;
  // 1 from the run the timer reached its limit until the overspeed ends (the
  // limit's random part is drawn afresh every run, so the timer alone would
  // let the jam go on some runs).
  int32_t trim_jammed;
  float remembered_trim;  // the host's trim as the last run left it; held while jammed
  float hold_timer_s;
  int32_t approach_latch = -1;  // -1 none yet, 1 in progress, 0 ended
  int32_t penalty_list_logged;  // the penalty list goes to the log once per approach
  int32_t first_frame;          // 1 until the first run after a load has ended
};
extern FlightRatingState flight_rating_state;

void flight_rating();
// Per load and on a frame that restores a loaded situation.
void flight_rating_reset_on_load();
void flight_rating_restart();
// The first frame after a load: nothing is judged for 5 s.
void flight_rating_first_frame();

// Landing rating from its terms (exposed for their tables).
float landing_rating_from_raw(float raw);
float rating_load_factor_term(float g);
float rating_sink_term(float vs_fpm);
// Approach rating from the sum of the penalty weights.
float approach_rating_from_sum(float p);
// Flap placard speeds (kt) for a flap angle: the approach penalty's and the
// structural overspeed limit.
float flap_placard_kt(float flap_deg);
float flap_structural_limit_kt(float flap_deg);
