// Speed tape aids of the primary flight display: the plug-in's own indicated
// airspeed and speed trend (smoothed from the host's calibrated airspeed,
// frozen while paused, raw in replay and restored after it), and the
// low-speed band below the scripts' minimum speed.
//
// Reads the host's calibrated airspeeds (taken now), the mirrors of the IAS
// override, pause and replay, and the frame copies of radio altitude,
// indicated airspeed, minimum speed, flap handle and angle of attack. Writes
// the host's pilot and copilot airspeed and airspeed-acceleration indicators,
// the IAS override flag, and "zuvadud/D738/pfd/pfd_stall_show" and
// "zuvadud/D738/pfd/pfd_stall".
#include <cmath>

#include "core/binding.h"
#include "core/frame_values.h"
#include "core/host_io.h"
#include "core/preprocess_values.h"
#include "core/util.h"
#include "display/display_steps.h"
#include "systems/instruments/instrument_values.h"

namespace {

AirspeedDisplayState& ias = airspeed_display;

constexpr float kSamplePeriodS = 0.05f;

// The host's calibrated airspeed; a missing or unusable value holds the
// displayed speed where it is.
float calibrated(bound::Id id, float hold) {
  float v = hold;
  read_now_finite_f(id, &v);
  return v;
}

void put(bound::Id id, float v) {
  host_send_f(id, v);
  set_mirror_f(id, v);
}

}  // namespace

void ias_override() {
  host_set_i(bound::sim_operation_override_override_ias, 1);
  const float cas[2] = {
      calibrated(bound::sim_cockpit2_gauges_indicators_calibrated_airspeed_kts_pilot, ias.smoothed_kt[0]),
      calibrated(bound::sim_cockpit2_gauges_indicators_calibrated_airspeed_kts_copilot, ias.smoothed_kt[1])};

  if (frame_done == 0 || route_reset_request != 0.0f) {
    for (int s = 0; s < 2; ++s) {
      ias.smoothed_prev_kt[s] = cas[s];
      ias.snap_ias_kt[s] = cas[s];
      ias.snap_trend_kt[s] = 0.0f;
      ias.smoothed_kt[s] = cas[s];
      ias.trend_kt[s] = 0.0f;
    }
  } else {
    const int paused = sim_paused;
    const int replay = sim_in_replay;
    // First running frame after a pause or a replay: back to where the last
    // running frame left the tape.
    if (replay == 0 && paused == 0 && (paused != prev_sim_paused || replay != prev_sim_in_replay)) {
      for (int s = 0; s < 2; ++s) {
        ias.smoothed_kt[s] = ias.snap_ias_kt[s];
        ias.trend_kt[s] = ias.snap_trend_kt[s];
      }
    }
    if (paused == 0 && replay == 0) {
      for (int s = 0; s < 2; ++s) ias.smoothed_kt[s] = lag_toward(ias.smoothed_kt[s], cas[s], 0.0f, 500.0f, 0.65f);
      ias.sample_timer_s += frame_time;
      if (ias.sample_timer_s > kSamplePeriodS) {
        for (int s = 0; s < 2; ++s) {
          ias.rate_kt_s[s] = (ias.smoothed_kt[s] - ias.smoothed_prev_kt[s]) / ias.sample_timer_s;
          ias.smoothed_prev_kt[s] = ias.smoothed_kt[s];
        }
        ias.sample_timer_s = 0.0f;
      }
      // Lagged in tenths so the lag's limits hold the trend to +-20 kt/s.
      for (int s = 0; s < 2; ++s)
        ias.trend_kt[s] = 0.1f * lag_toward(10.0f * ias.trend_kt[s], 10.0f * ias.rate_kt_s[s], -200.0f, 200.0f, 20.0f);
      for (int s = 0; s < 2; ++s) {
        ias.snap_ias_kt[s] = ias.smoothed_kt[s];
        ias.snap_trend_kt[s] = ias.trend_kt[s];
      }
    } else if (replay != 0) {
      for (int s = 0; s < 2; ++s) {
        ias.smoothed_kt[s] = cas[s];
        ias.trend_kt[s] = 0.0f;
      }
    }
  }
  put(bound::sim_cockpit2_gauges_indicators_airspeed_kts_pilot, ias.smoothed_kt[0]);
  put(bound::sim_cockpit2_gauges_indicators_airspeed_kts_copilot, ias.smoothed_kt[1]);
  put(bound::sim_cockpit2_gauges_indicators_airspeed_acceleration_kts_sec_pilot, ias.trend_kt[0]);
  put(bound::sim_cockpit2_gauges_indicators_airspeed_acceleration_kts_sec_copilot, ias.trend_kt[1]);
}

void update_pfd_stall_band() {
  const FrameFlightData& f = frame_flight_data;
  const float m = f.ias_kt - f.min_speed_kt;
  const bool clean = f.flap_handle == 0.0f;
  if (f.radio_alt_ft > 40.0f) {
    if (m >= 30.0f && clean && !(f.aoa_deg > 10.0f)) {
      pfd::pfd_stall_show = 0.0f;
      return;
    }
    pfd::pfd_stall_show = 1.0f;
    if (m < 0.0f) {
      pfd::pfd_stall = 0.0f;
    } else if (m > 30.0f) {
      pfd::pfd_stall = 18.0f;
    } else {
      pfd::pfd_stall = m * 18.0f / 30.0f;
    }
    return;
  }
  // Near the ground the band shows only with flaps out, at its top.
  if (clean) {
    pfd::pfd_stall_show = 0.0f;
  } else {
    pfd::pfd_stall_show = 1.0f;
    pfd::pfd_stall = 18.0f;
  }
}
