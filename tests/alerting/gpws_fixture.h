// The warning computer's state as a powered aircraft starts it: every GPWS,
// callout, timer and self-test value cleared, both buses it needs powered,
// no test running and no terrain warning. Shared by the GPWS test fixtures.
#pragma once

#include "alerting/aural_cues.h"
#include "alerting/gpws.h"
#include "alerting/gpws_test_state.h"
#include "core/binding.h"
#include "core/frame_values.h"
#include "systems/delay_timers.h"
#include "systems/electrical/electric_values.h"
#include "systems/hydraulics/hydraulics.h"
#include "systems/instruments/instrument_values.h"
#include "systems/replay.h"

inline void reset_gpws_world() {
  host_mirror = HostMirror{};
  script_mirror = ScriptMirror{};
  gpws_state = GpwsState{};
  gpws_state.peak_altitude = -9999.0f;
  gpws_state.sample_slot = 1;
  callout_state = CalloutState{};
  delay_timers = DelayTimerBank{};
  delay_flags = DelayTimerFlags{};
  gpws_test = GpwsTestState{};
  hyd_state.test_inhibit = 0.0f;
  replay_state = ReplayState{};
  gpws_msgs_reset();
  frame_time = 0.05f;
  electric::ac_tnsbus1_status = 1.0f;
  electric::batbus_status = 1.0f;
  electric::ac_stdbus_status = electric::dc_bus2_status = 1.0f;  // the NAV receivers
  gpws_state.batbus_prev = 1.0f;
  system_::gpws_test_running = 0.0f;
  gpws::terr_warn = 0.0f;
}
