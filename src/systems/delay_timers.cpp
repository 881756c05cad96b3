// The systems' countdown timers (see delay_timers.h).
//
// Reads the ground-contact, ground speed and throttle copies and the DC bus 1
// status while the autobrake self-test runs, and the host's APU N1 when the
// APU start countdown ends.
#include "systems/delay_timers.h"

#include "core/binding.h"
#include "core/frame.h"
#include "core/preprocess.h"
#include "systems/autobrake_state.h"
#include "systems/electric_values.h"
#include "systems/flight_control_values.h"

DelayTimerBank delay_timers;

namespace {
void run_down(float& t) {
  if (t > 0.0f) {
    t -= frame_time;
    if (t < 0.0f) t = 0.0f;
  }
}

// The RTO self-test fails when any of its conditions breaks while it runs,
// and reports its result when the countdown ends.
void autobrake_self_test() {
  if (!(delay_timers.autobrake_s > 0.0f)) return;
  // The host's ground speed is in m/s; the test allows up to 60 of them.
  const float gs_mps = mirror_f(bound::sim_flightmodel_position_groundspeed);
  const float throttle = mirror_f(bound::sim_cockpit2_engine_actuators_throttle_ratio_all);
  if (on_ground == 0 || gs_mps > 60.0f || throttle > 0.01f || electric::dc_bus1_status == 0.0f) {
    rto_test_result = 1.0f;
  }
  run_down(delay_timers.autobrake_s);
  if (delay_timers.autobrake_s == 0.0f) {
    autobrake::autobrake_RTO_test = 2.0f;
    if (rto_test_result == 0.0f) {
      rto_test_result = 2.0f;
    } else {
      autobrake::autobrake_disarm = 1.0f;
    }
  }
}
// After the APU switch went ON: the low-oil light comes on when the APU has
// not spun up past 40 % N1 by the end of the countdown.
void apu_start_check() {
  if (!(delay_timers.apu_start_s > 0.0f)) return;
  run_down(delay_timers.apu_start_s);
  if (delay_timers.apu_start_s == 0.0f && mirror_f(bound::sim_cockpit2_electrical_APU_N1_percent) < 40.0f) {
    electrical::apu_low_oil = 1.0f;
  }
}
}  // namespace

void update_annunciator_timers() {
  autobrake_self_test();
  apu_start_check();
  for (float& t : delay_timers.systems_s) run_down(t);
  for (float& t : delay_timers.saved_s) run_down(t);
}
