// The GPWS frame: side choice, power gate, mode envelopes (sink rate,
// terrain closure, don't sink, too low, below glideslope, bank angle,
// airspeed low, windshear, minimums), the self-test steps, the output and
// hold stages that turn one alert code into timed aural flags, and the small
// cockpit duties that ride on the same frame (flight-recorder cover, air/ground
// sensor). Reads the host and script mirrors; writes GpwsState, the aural
// flags and the GPWS lights and PFD warnings.
#include "alerting/gpws.h"

#include <cmath>

#include "alerting/alerting_steps.h"
#include "alerting/aural_cues.h"
#include "alerting/gpws_test_state.h"
#include "core/binding.h"
#include "core/frame_values.h"
#include "core/host_io.h"
#include "core/preprocess_values.h"
#include "core/units.h"
#include "core/util.h"
#include "engines/engine_values.h"
#include "systems/delay_timers.h"
#include "systems/electrical/bus_feeds.h"
#include "systems/electrical/electric_values.h"
#include "systems/hydraulics/hydraulics.h"
#include "systems/instruments/instrument_values.h"
#include "systems/replay.h"
#include "systems/switches/switch_targets.h"
#include "systems/switches/switch_values.h"

GpwsState gpws_state;

namespace {

float gear_deploy(int i) {
  int n = 0;
  const float* v = mirror_vf(bound::sim_aircraft_parts_acf_gear_deploy, &n);
  return (v != nullptr && i >= 0 && i < n) ? v[i] : 0.0f;
}
int gear_on_ground(int i) {
  int n = 0;
  const int* v = mirror_vi(bound::sim_flightmodel2_gear_on_ground, &n);
  return (v != nullptr && i >= 0 && i < n) ? v[i] : 0;
}

// The instruments of the side the GPWS listens to, and the captain's.
struct Inputs {
  bool fo;
  float ra_side, baro_side, ias_side;
  float ra_capt, baro_capt, ias_capt;
  float bank;
  float vvi_pilot;   // ft/min, sink-rate mode
  float vs;          // ft/min, all other climb/descent tests
  float ra_rate;     // ft/min, negative closing
  float flight_phase;
  float flap;
  float gear[3];
  bool gear_any_up;  // an element below 1
  // The gear down, or GEAR INHIBIT standing in for it.
  bool gear_down;
  // Flaps 30 or 40, or FLAP INHIBIT standing in for them.
  bool landing_flaps;
  // Gear down and landing flaps.
  bool landing_config;
  float terr_warn;
};

// Flaps 30 and 40 are the landing flaps: taken from halfway between the 25
// and 30 detents.
constexpr float kLandingFlapRatio = 0.8125f;
// ft, the terrain-closure envelope's top with the flaps set for landing.
constexpr float kLandingFlapsClosureCeiling_ft = 789.0f;

bool first_officer_side() {
  return guidance_side() == 2.0f;
}

float side_radio_altitude(bool fo) {
  return fo ? mirror_f(bound::sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_copilot)
            : mirror_f(bound::sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot);
}

// Below-glideslope alerting covers the approach below 1000 ft down to the
// landing; the crew's inhibit lasts as long as the aircraft stays inside it.
bool in_glideslope_area(float ra) { return ra >= 30.0f && ra < 1000.0f; }

Inputs read_inputs() {
  Inputs x{};
  x.fo = first_officer_side();
  x.ra_capt = mirror_f(bound::sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot);
  x.baro_capt = mirror_f(bound::sim_cockpit2_gauges_indicators_altitude_ft_pilot);
  x.ias_capt = mirror_f(bound::sim_cockpit2_gauges_indicators_airspeed_kts_pilot);
  x.ra_side = side_radio_altitude(x.fo);
  if (x.fo) {
    x.baro_side = mirror_f(bound::sim_cockpit2_gauges_indicators_altitude_ft_copilot);
    x.ias_side = mirror_f(bound::sim_cockpit2_gauges_indicators_airspeed_kts_copilot);
  } else {
    x.ra_side = x.ra_capt;
    x.baro_side = x.baro_capt;
    x.ias_side = x.ias_capt;
  }
  x.bank = std::fabs(mirror_f(bound::sim_cockpit2_gauges_indicators_roll_electric_deg_pilot));
  x.vvi_pilot = mirror_f(bound::sim_cockpit2_gauges_indicators_vvi_fpm_pilot);
  x.vs = mirror_f(bound::sim_flightmodel_position_vh_ind_fpm);
  x.ra_rate = mirror_f(bound::zuvadud_D738_FMS_radio_height_ratio);
  x.flight_phase = mirror_f(bound::zuvadud_D738_FMS_flight_phase);
  x.flap = mirror_f(bound::sim_cockpit2_controls_flap_handle_deploy_ratio);
  x.gear_any_up = false;
  for (int i = 0; i < 3; ++i) {
    x.gear[i] = gear_deploy(i);
    if (x.gear[i] < 1.0f) x.gear_any_up = true;
  }
  // FLAP INHIBIT lets a landing with the flaps short of 30 (jammed, or by
  // the checklist) be flown without the flap-caused alerts.
  x.landing_flaps = x.flap >= kLandingFlapRatio || finite_or(toggle_switch::gpws_flap_pos, 0.0f) != 0.0f;
  // GEAR INHIBIT does the same for a landing with the gear up: the alerts
  // the gear not down would cause are the crew's choice.
  x.gear_down = !x.gear_any_up || finite_or(toggle_switch::gpws_gear_pos, 0.0f) != 0.0f;
  x.landing_config = x.gear_down && x.landing_flaps;
  x.terr_warn = finite_or(gpws::terr_warn, 0.0f);
  return x;
}

bool test_flag_set(float long_on, float short_on) {
  return long_on == 1.0f || short_on == 1.0f || short_on == 2.0f;
}

void write_script_test_flag(bound::Id id, float value) {
  set_mirror_f(id, value);
  script_set_f(id, value);
}

// ---- Self-test step tables ----------------------------------------------
constexpr int kLongTest[] = {9, 1, 2, 15, 8, 3, 7, 4, 6, 5, 4, 9, 10, 28, 29, 27, 19, 4, 16, 14};
constexpr int kShortTest1[] = {9, 1, 2, 3, 12, 11};
constexpr int kShortTest2[] = {22, 23, 24, 25, 26};

template <int N>
int step_code(const int (&table)[N], int step) {
  return (step >= 1 && step <= N) ? table[step - 1] : -1;
}

// ---- Output sequences ----------------------------------------------------
// One step of a multi-step sequence: an output code, or a pause (output 0)
// of pause_s seconds, with the PFD flags written during that step.
struct SeqStep {
  int output;
  float pause_s;
  float pfd_pull_up;
  float pfd_windshear;
};
// A code's sequence: steps listed from count N down to count 1.
struct Sequence {
  int code;
  int n;          // 0 = single step
  SeqStep steps[5];
};
constexpr Sequence kSequences[] = {
    {1, 0, {{1, 0, 1, 0}}},
    {2, 5, {{13, 0, 0, 1}, {2, 0, 0, 1}, {2, 0, 0, 1}, {2, 0, 0, 1}, {0, 0.5f, 0, 0}}},
    {3, 4, {{3, 0, 1, 0}, {3, 0, 1, 0}, {1, 0, 1, 0}, {0, 0.5f, 0, 0}}},
    {30, 0, {{30, 0, 0, 0}}},
    {31, 2, {{3, 0, 0, 0}, {3, 0, 0, 0}}},
    {32, 0, {{3, 0, 0, 0}}},
    // The radio-altitude alerts show PULL UP on both attitude indicators
    // while they sound, so a crew that cannot hear them still sees them.
    {4, 0, {{4, 0, 1, 0}}},
    {5, 0, {{5, 0, 1, 0}}},
    {6, 0, {{6, 0, 1, 0}}},
    {7, 2, {{7, 0, 1, 0}, {7, 0, 1, 0}}},
    {8, 2, {{8, 0, 1, 0}, {8, 0, 1, 0}}},
    {9, 0, {{9, 0, 0, 0}}},
    {10, 2, {{10, 0, 0, 0}, {10, 0, 0, 0}}},
    {11, 0, {{11, 0, 0, 0}}},
    {12, 3, {{12, 0, 1, 0}, {12, 0, 1, 0}, {1, 0, 1, 0}}},
    {14, 3, {{12, 0, 0, 0}, {12, 0, 0, 0}, {14, 0, 0, 0}}},
    {15, 0, {{15, 0, 0, 0}}},
    {16, 5, {{16, 0, 0, 0}, {16, 0, 0, 0}, {16, 0, 0, 0}, {1, 0, 0, 0}, {0, 1.0f, 0, 0}}},
    {19, 5, {{13, 0, 0, 0}, {2, 0, 0, 0}, {2, 0, 0, 0}, {2, 0, 0, 0}, {0, 1.0f, 0, 0}}},
    {22, 1, {{0, 1.5f, 0, 0}}},
    {23, 1, {{0, 1.5f, 1, 0}}},
    {24, 1, {{0, 1.5f, 0, 1}}},
    {25, 1, {{0, 1.5f, 1, 0}}},
    {26, 1, {{0, 1.5f, 1, 0}}},
    {27, 0, {{27, 0, 0, 0}}},
    {28, 0, {{28, 0, 0, 0}}},
    {29, 0, {{29, 0, 0, 0}}},
};

const Sequence* find_sequence(int code) {
  for (const Sequence& s : kSequences)
    if (s.code == code) return &s;
  return nullptr;
}

// Output flags and their hold times (s); 28 and 29 are handled apart.
struct OutputFlag {
  int output;
  float* flag;
  float hold_s;
};
const OutputFlag kOutputFlags[] = {
    {1, &cue_fmodpack::msg_pull_up, 1.1f},
    {2, &cue_fmodpack::msg_windshear, 1.0f},
    {3, &cue_fmodpack::msg_terrain, 1.0f},
    {30, &cue_fmodpack::msg_caution_terrain, 2.2f},
    {4, &cue_fmodpack::msg_too_low_terrain, 1.8f},
    {5, &cue_fmodpack::msg_too_low_flaps, 1.8f},
    {6, &cue_fmodpack::msg_too_low_gear, 1.8f},
    {7, &cue_fmodpack::msg_dont_sink, 1.2f},
    {8, &cue_fmodpack::msg_sink_rate, 1.2f},
    {9, &system_::below_gs_warn, 1.8f},
    {10, &cue_fmodpack::msg_bank_angle, 1.0f},
    {11, &cue_fmodpack::msg_airspeed_low, 2.0f},
    {12, &cue_fmodpack::msg_obstacle, 1.2f},
    {13, &cue_fmodpack::msg_gpws_alert, 0.9f},
    {14, &cue_fmodpack::msg_obstacle_pull_up, 2.0f},
    {15, &cue_fmodpack::msg_gpws_inop, 1.0f},
    {16, &cue_fmodpack::msg_terrain_ahead, 1.8f},
    {27, &cue_fmodpack::msg_alt_callouts, 20.0f},
};

// ---- Stages ------------------------------------------------------------

// The side's minimums value that the scripts make positive at minimums.
float side_minimums_value(bool fo) {
  const bool baro = fo ? mirror_f(bound::zuvadud_D738_EFIS_control_fo_minimums) != 0.0f
                       : mirror_f(bound::zuvadud_D738_EFIS_control_cpt_minimums) != 0.0f;
  if (fo)
    return baro ? mirror_f(bound::zuvadud_D738_fmod_dh_minimum_copilot2) : mirror_f(bound::zuvadud_D738_fmod_dh_minimum_copilot2_ra);
  return baro ? mirror_f(bound::zuvadud_D738_fmod_dh_minimum_pilot2) : mirror_f(bound::zuvadud_D738_fmod_dh_minimum_pilot2_ra);
}

void test_gates(const Inputs& x) {
  float short_gate;
  float long_gate;
  if (x.ra_side <= 30.0f || x.ra_side >= 1000.0f || x.flight_phase != 0.0f) {
    short_gate = 0.0f;
    const bool parked = x.flap == 0.0f && gear_on_ground(0) == 1 && gear_on_ground(1) == 1 && gear_on_ground(2) == 1;
    long_gate = parked ? 0.0f : 1.0f;
  } else {
    short_gate = 1.0f;
    long_gate = 1.0f;
  }
  // From lift-off to 1,000 ft the test would hide the alerts that matter
  // most there.
  const bool airborne = gear_on_ground(0) == 0 && gear_on_ground(1) == 0 && gear_on_ground(2) == 0;
  if (hyd_state.test_inhibit != 0.0f || (airborne && !(x.ra_side >= 1000.0f))) {
    short_gate = 1.0f;
    long_gate = 1.0f;
  }
  gpws_test.short_inhibit = short_gate;
  gpws_test.long_inhibit = long_gate;
}

void end_test(float long_on, float short_on) {
  if (long_on != 0.0f) write_script_test_flag(bound::zuvadud_d738_fmodpack_fmod_gpwstest_long_on, 0.0f);
  if (short_on != 0.0f) write_script_test_flag(bound::zuvadud_d738_fmodpack_fmod_gpwstest_short_on, 0.0f);
  system_::below_gs_annun = 0.0f;
  gpws_state.test_step = 0;
  system_::gpws_test_running = 0.0f;
  gpws_state.alert_code = 0;
}

void test_stage(float long_on, float short_on) {
  GpwsState& g = gpws_state;
  system_::below_gs_annun = 0.0f;
  g.airspeed_warn_timer = 0.0f;
  g.airspeed_low = 0;
  int code;
  if (long_on == 1.0f) {
    code = step_code(kLongTest, g.test_step);
  } else if (short_on == 1.0f) {
    code = step_code(kShortTest1, g.test_step);
  } else {
    code = step_code(kShortTest2, g.test_step);
  }
  if (code < 0) {
    end_test(long_on, short_on);
    return;
  }
  if (g.test_step == 1) {
    if (short_on != 2.0f) alert::below_gs_disable = 0.0f;
    system_::below_gs_annun = 1.0f;
  }
  g.alert_code = code;
}

// Picks this frame's output from the pending code; returns the count the
// hold stage steps down from.
int output_stage() {
  GpwsState& g = gpws_state;
  if (g.alert_code == 0) {
    g.output_code = 0;
    g.repeat_count = 0;
    system_::below_gs_annun = 0.0f;
    cue_alert::pfd_pull_up = 0.0f;
    cue_alert::pfd_windshear = 0.0f;
    return 0;
  }
  const Sequence* s = find_sequence(g.alert_code);
  if (s == nullptr) {
    // A code without a sequence ends at once rather than latching forever.
    g.output_code = 0;
    g.repeat_count = 0;
    return 0;
  }
  if (s->n == 0) {
    g.output_code = s->steps[0].output;
    g.repeat_count = 0;
    cue_alert::pfd_pull_up = s->steps[0].pfd_pull_up;
    cue_alert::pfd_windshear = s->steps[0].pfd_windshear;
    return 0;
  }
  if (g.repeat_count <= 0) {
    g.repeat_count = s->n;
    cue_alert::pfd_pull_up = s->steps[0].pfd_pull_up;
    cue_alert::pfd_windshear = s->steps[0].pfd_windshear;
    return g.repeat_count;
  }
  // A replacing code goes on from the current count; a count above its own
  // length plays its first step.
  const int count = g.repeat_count > s->n ? s->n : g.repeat_count;
  const SeqStep& st = s->steps[s->n - count];
  cue_alert::pfd_pull_up = st.pfd_pull_up;
  cue_alert::pfd_windshear = st.pfd_windshear;
  if (st.output == 0) {
    g.output_code = 0;
    if (g.hold_timer == 0.0f) g.hold_timer = st.pause_s;
  } else {
    g.output_code = st.output;
  }
  return g.repeat_count;
}

float raise_output(int output, bool fo) {
  if (output == 28) {
    if (cockpit_options.ra_decision_height == 0.0f) {
      cue_fmod::app_dec_height = 0.0f;
      const bool plus = cockpit_options.plus_hundred != 0.0f;
      cue_fmodpack::plus_hundred = plus ? 1.0f : 0.0f;
      cue_fmodpack::appro_mins = plus ? 0.0f : 1.0f;
      return 1.8f;
    }
    cue_fmod::app_dec_height = 1.0f;
    cue_fmodpack::appro_mins = 0.0f;
    cue_fmodpack::plus_hundred = 0.0f;
    return 1.6f;
  }
  if (output == 29) {
    cue_fmod::dec_height = 0.0f;
    const bool in_test = system_::gpws_test_running != 0.0f;
    if (in_test || side_minimums_value(fo) > 0.0f) {
      const bool ra = cockpit_options.ra_minimums != 0.0f;
      fmod_::dh_minimum_pilot = ra ? 0.0f : 1.0f;
      fmod_::dh_minimums_pilot = ra ? 1.0f : 0.0f;
      // Called once it is heard: held off by a higher alert, it comes once
      // that one has ended.
      if (!in_test) gpws_state.minimums_called = 1;
    }
    return 1.2f;
  }
  for (const OutputFlag& f : kOutputFlags) {
    if (f.output == output) {
      *f.flag = 1.0f;
      return f.hold_s;
    }
  }
  return 0.0f;
}

void hold_stage(int count_this_frame, bool fo) {
  GpwsState& g = gpws_state;
  if (g.hold_timer == 0.0f) {
    if (g.output_code == 0) {
      // A multi-step sequence's first frame emits nothing yet, but its PFD
      // warning shows from it on: no blink between two calls.
      if (g.repeat_count <= 0) {
        cue_alert::pfd_pull_up = 0.0f;
        cue_alert::pfd_windshear = 0.0f;
      }
      system_::below_gs_annun = 0.0f;
    } else {
      g.hold_timer = raise_output(g.output_code, fo);
    }
    return;
  }
  g.hold_timer -= frame_time;
  if (g.hold_timer > 0.0f) return;
  g.hold_timer = 0.0f;
  gpws_msgs_reset();
  g.repeat_count = count_this_frame - 1;
  g.output_code = 0;
  if (g.repeat_count <= 0) {
    g.repeat_count = 0;
    g.alert_code = 0;
    if (system_::gpws_test_running == 1.0f) g.test_step += 1;
  }
}

void power_loss_reset() {
  GpwsState& g = gpws_state;
  g.hold_timer = 0.0f;
  gpws_msgs_reset();
  cue_alert::pfd_pull_up = 0.0f;
  cue_alert::pfd_windshear = 0.0f;
  system_::below_gs_annun = 0.0f;
  system_::gpws_test_running = 0.0f;
  g.output_code = 0;
  g.repeat_count = 0;
  g.test_step = 0;
  g.alert_code = 0;
  g.standing_codes = 0;
  g.bank_call_due = 0;
  g.closure_called = 0;
  if (mirror_f(bound::zuvadud_d738_fmodpack_fmod_gpwstest_long_on) != 0.0f)
    write_script_test_flag(bound::zuvadud_d738_fmodpack_fmod_gpwstest_long_on, 0.0f);
  if (mirror_f(bound::zuvadud_d738_fmodpack_fmod_gpwstest_short_on) != 0.0f)
    write_script_test_flag(bound::zuvadud_d738_fmodpack_fmod_gpwstest_short_on, 0.0f);
}

// ---- Priorities ----------------------------------------------------------

// The envelopes' codes from the lowest to the highest, in the order of the
// computer's published aural priority: the descent-rate and glideslope
// cautions below the too-low alerts, the callouts, CAUTION TERRAIN and
// MINIMUMS; AIRSPEED LOW, which that order does not rank, above the cautions;
// then the terrain warnings, PULL UP and windshear. The self-test's own codes
// rank below them all.
int32_t priority(int32_t code) {
  using namespace gpws_code;
  switch (code) {
    case bank_angle: return 1;
    case below_glideslope: return 2;
    case dont_sink: return 3;
    case sink_rate: return 4;
    case too_low_flaps: return 5;
    case too_low_gear: return 6;
    case approaching_minimums: return 7;
    case too_low_terrain: return 8;
    case terrain_caution: return 9;
    case minimums: return 10;
    case airspeed_low: return 11;
    case terrain:
    case closure_terrain:
    case closure_terrain_landing: return 12;
    case pull_up: return 13;
    case windshear: return 14;
    default: return 0;
  }
}

uint64_t code_bit(int32_t code) { return (code > 0 && code < 64) ? (uint64_t{1} << code) : 0; }

// This frame's code: a later envelope takes over unless it ranks lower.
void raise_code(int32_t code) {
  GpwsState& g = gpws_state;
  g.standing_codes |= code_bit(code);
  if (priority(code) >= priority(g.alert_code)) g.alert_code = code;
}

// The pending sequence stops where it is: flags down, hold and count gone.
void cut_sequence() {
  GpwsState& g = gpws_state;
  g.hold_timer = 0.0f;
  gpws_msgs_reset();
  g.output_code = 0;
  g.repeat_count = 0;
}

// The frame's code against the one still sounding: a higher one replaces it
// at once, a lower or equal one waits for its end (and comes again then if
// its condition holds). A bank-angle call waits for nothing higher to be
// pending.
void settle_alert(int32_t pending) {
  GpwsState& g = gpws_state;
  if (pending != 0 && g.alert_code != pending) {
    if (priority(g.alert_code) > priority(pending)) {
      cut_sequence();
    } else {
      g.alert_code = pending;
    }
  }
  if (g.bank_call_due != 0 && (g.alert_code == 0 || g.alert_code == gpws_code::bank_angle)) {
    g.alert_code = gpws_code::bank_angle;
    g.bank_call_due = 0;
  }
}

// ---- Mode evaluation ---------------------------------------------------

void bank_angle_mode(float bank) {
  GpwsState& g = gpws_state;
  if (bank < 30.0f) {
    g.bank_latch_35 = g.bank_latch_40 = g.bank_latch_45 = 0;
    g.bank_call_due = 0;
  }
  int* latch = nullptr;
  if (bank > 45.0f) {
    latch = &g.bank_latch_45;
  } else if (bank > 40.0f) {
    latch = &g.bank_latch_40;
  } else if (bank > 35.0f) {
    latch = &g.bank_latch_35;
  }
  if (latch != nullptr && *latch == 0) {
    *latch = 1;
    g.bank_call_due = 1;
  }
  const bool any = g.bank_latch_35 != 0 || g.bank_latch_40 != 0 || g.bank_latch_45 != 0;
  g.bank_warn = (any && bank >= 30.0f) ? 1.0f : 0.0f;
}

// The soft alert's limit (dots below the beam): 1.3 dots from 1,000 ft down
// to 150 ft, then widening toward the ground along 243 - 71.43 x dots feet.
float glideslope_limit_dots(float ra) {
  if (!(ra < 150.0f)) return 1.3f;
  return (243.0f - ra) / 71.43f;
}

// The soft alert's ceiling (ft): 1,000 ft descending at 500 ft/min or more,
// lowered with a slower descent to 500 ft level or climbing, so that a slow
// descent toward the beam from below is not warned of early, while an
// aircraft held below the beam close to the ground still is.
float glideslope_ceiling_ft(float vs_fpm) {
  const float descent = std::fmin(std::fmax(-vs_fpm, 0.0f), 500.0f);
  return 500.0f + descent;
}

void below_glideslope_mode(const Inputs& x, int32_t pending) {
  GpwsState& g = gpws_state;
  bool raised = false;
  const bool inhibited = alert::below_gs_disable != 0.0f;
  const bool armed = x.ra_side < glideslope_ceiling_ft(x.vs);
  if (!inhibited && armed && mirror_f(bound::zuvadud_D738_FMS_ils_disable) == 0.0f) {
    const float mode = x.fo ? mirror_f(bound::zuvadud_D738_mmr_fo_act_mode) : mirror_f(bound::zuvadud_D738_mmr_cpt_act_mode);
    bool valid = false;
    float dev = 0.0f;
    if (mode == 1.0f) {
      // A receiver without power gives no deviation, whatever the host's own
      // receiver still hears.
      if (x.fo) {
        valid = fed(Consumer::vor_dme2) && mirror_i(bound::sim_cockpit2_radios_indicators_nav2_display_vertical) == 1 &&
                mirror_i(bound::sim_cockpit2_radios_indicators_nav2_flag_glideslope) == 0;
        dev = mirror_f(bound::sim_cockpit2_radios_indicators_nav2_vdef_dots_copilot);
      } else {
        valid = fed(Consumer::vor_dme1) && mirror_i(bound::sim_cockpit2_radios_indicators_nav1_display_vertical) == 1 &&
                mirror_i(bound::sim_cockpit2_radios_indicators_nav1_flag_glideslope) == 0;
        dev = mirror_f(bound::sim_cockpit2_radios_indicators_nav1_vdef_dots_pilot);
      }
    } else if (mode == 2.0f) {
      if (x.fo) {
        valid = mirror_f(bound::zuvadud_D738_nav_gls2_active) != 0.0f && mirror_f(bound::zuvadud_D738_nav_gls2_type) == 0.0f;
        dev = mirror_f(bound::zuvadud_D738_nav_gls2_vert_dev);
      } else {
        valid = mirror_f(bound::zuvadud_D738_nav_gls1_active) != 0.0f && mirror_f(bound::zuvadud_D738_nav_gls1_type) == 0.0f;
        dev = mirror_f(bound::zuvadud_D738_nav_gls1_vert_dev);
      }
    }
    if (valid && in_glideslope_area(x.ra_side) && dev < -glideslope_limit_dots(x.ra_side)) {
      raise_code(gpws_code::below_glideslope);
      system_::below_gs_annun = 1.0f;
      g.too_low_selector = 5;
      raised = true;
    }
  }
  // The light stays with a BELOW G/S still sounding.
  if (!raised) system_::below_gs_annun = !inhibited && pending == gpws_code::below_glideslope ? 1.0f : 0.0f;
}

void minimums_modes(const Inputs& x) {
  GpwsState& g = gpws_state;
  const float dh = x.fo ? mirror_f(bound::zuvadud_D738_pfd_dh_copilot) : mirror_f(bound::zuvadud_D738_pfd_dh_pilot);
  const bool baro = x.fo ? mirror_f(bound::zuvadud_D738_EFIS_control_fo_minimums) != 0.0f
                         : mirror_f(bound::zuvadud_D738_EFIS_control_cpt_minimums) != 0.0f;
  const float ref = baro ? x.baro_side : x.ra_side;
  const float offset = cockpit_options.plus_hundred != 0.0f ? 100.0f : 80.0f;
  if (dh > 0.0f && x.vs < 0.0f && dh + offset < ref && ref < dh + offset + 5.0f)
    raise_code(gpws_code::approaching_minimums);

  const float mins = side_minimums_value(x.fo);
  if (mins <= 0.0f) {
    g.minimums_called = 0;
    if (g.alert_code == gpws_code::minimums) g.alert_code = 0;
  } else if (x.vs < 0.0f && g.minimums_called == 0) {
    raise_code(gpws_code::minimums);
  }
}

void go_around_mode(const Inputs& x) {
  GpwsState& g = gpws_state;
  const float t1 = finite_or(engine::thrust1_leveler, 0.0f);
  const float t2 = finite_or(engine::thrust2_leveler, 0.0f);
  const bool lever_up = t1 > 0.5f || t2 > 0.5f;
  g.go_around = (mirror_f(bound::zuvadud_D738_autopilot_fd_goaround) > 0.0f ||
                 mirror_f(bound::zuvadud_D738_autopilot_ap_goaround) > 0.0f ||
                 (lever_up && g.gpws_phase != 1 && x.vs > 100.0f))
                    ? 1
                    : 0;
  // The go-around latch lives in the delay bank's flags, which clear it when
  // its 5 s timer runs out.
  float& latch = delay_flags.gpws_flag;
  if ((!lever_up || g.gpws_phase == 1) || (lever_up && x.vs < 0.0f)) latch = 0.0f;
  if (g.go_around != g.go_around_prev && g.go_around == 1) {
    latch = 1.0f;
    if (delay_timers.gpws_delay == 0.0f) delay_timers.gpws_delay = 5.0f;
  }
}

// Armed after a take-off or a go-around, whatever the flaps and gear short
// of the landing configuration: a climb-out with take-off or go-around flaps
// and the gear still down is where a loss of height matters most.
void dont_sink_mode(const Inputs& x) {
  GpwsState& g = gpws_state;
  const bool mode3 = (g.gpws_phase == 1 || g.go_around == 1) && !x.landing_config;
  if (!mode3) {
    g.peak_altitude = -9999.0f;
    return;
  }
  if (x.ra_capt < 1330.0f) {
    g.too_low_selector = (x.ias_capt < 190.0f && x.ra_capt < 700.0f && g.go_around == 1) ? 4 : 3;
    if (x.baro_capt < g.peak_altitude - gpws_dont_sink_allowed_loss_ft(x.ra_capt)) raise_code(gpws_code::dont_sink);
  }
  if (x.baro_capt > g.peak_altitude) g.peak_altitude = x.baro_capt;
  if (delay_flags.gpws_flag != 0.0f) g.standing_codes &= ~code_bit(gpws_code::dont_sink);
  if (g.alert_code == gpws_code::dont_sink) {
    g.peak_altitude = -9999.0f;
    if (delay_flags.gpws_flag != 0.0f) g.alert_code = 0;
  }
}

// From the take-off until the climb-out is done, short of the landing
// configuration, the ground must stay below a floor that rises with the
// height gained: three quarters of the highest radio altitude reached, no
// higher than the gear-up envelope at the speed flown (500 ft up to 190 kt,
// rising to 1,000 ft at 250 kt). Level flight over rising ground after
// take-off is what it catches.
float takeoff_floor_limit_ft(float ias) {
  if (!(ias > 190.0f)) return 500.0f;
  return std::fmin(1000.0f, 500.0f + (ias - 190.0f) * 500.0f / 60.0f);
}

void takeoff_floor_mode(const Inputs& x) {
  GpwsState& g = gpws_state;
  if (x.ra_capt > g.takeoff_peak_ra_ft) g.takeoff_peak_ra_ft = x.ra_capt;
  if (x.landing_config) return;
  const float floor = std::fmin(0.75f * g.takeoff_peak_ra_ft, takeoff_floor_limit_ft(x.ias_capt));
  if (x.ra_capt < floor) raise_code(gpws_code::too_low_terrain);
}

void too_low_mode(const Inputs& x) {
  GpwsState& g = gpws_state;
  if (g.gpws_phase == 1) {
    takeoff_floor_mode(x);
    return;
  }
  // Armed whenever the takeoff and go-around gates are open: a climb-out
  // (selector 3) hands over once the aircraft is past takeoff.
  if (g.go_around != 0 || x.ra_capt >= 1000.0f) return;
  g.too_low_selector = 4;
  const float r = x.ra_capt;
  const float v = x.ias_capt;
  const bool ga_modes = mirror_f(bound::zuvadud_D738_autopilot_fd_goaround) > 0.0f ||
                        mirror_f(bound::zuvadud_D738_autopilot_ap_goaround) > 0.0f;
  if (!x.gear_down) {
    if (v < 190.0f && r < 500.0f && !ga_modes) {
      raise_code(gpws_code::too_low_gear);
    } else if (v > 190.0f) {
      const float lim = r < 500.0f ? 190.0f : 190.0f + (r - 500.0f) * 60.0f / 500.0f;
      if (v > lim) raise_code(gpws_code::too_low_terrain);
    }
  } else if (!x.landing_flaps) {
    if (v < 159.0f && r < 245.0f) {
      raise_code(gpws_code::too_low_flaps);
    } else if (v > 159.0f) {
      const float lim = r < 500.0f ? 159.0f : 159.0f + (r - 500.0f) * 91.0f / 500.0f;
      if (v > lim) raise_code(gpws_code::too_low_terrain);
    }
  }
}

void closure_mode(const Inputs& x, int32_t pending) {
  GpwsState& g = gpws_state;
  const float r = x.ra_capt;
  const float v = x.ias_capt;
  const float q = x.ra_rate;
  int closure = 0;
  // The envelope's lower boundary is the same at every speed; speed only
  // lifts its ceiling, from 1,650 ft at 220 kt to 2,450 ft at 310 kt, so
  // that rising ground approached faster is seen from higher up. With the
  // flaps set for landing the aircraft is expected to come down toward the
  // ground: the envelope then ends at 789 ft, whatever the speed.
  const float ceiling = x.landing_flaps ? kLandingFlapsClosureCeiling_ft
                        : v <= 220.0f   ? 1650.0f
                        : v >= 310.0f   ? 2450.0f
                                        : 1650.0f + (v - 220.0f) * 800.0f / 90.0f;
  if (r < ceiling) {
    const float lim = r < 1250.0f ? 2100.0f + std::fmax(r, 0.0f) * 1200.0f / 1250.0f : gpws_closure_limit_fpm(r);
    closure = q < -lim ? 1 : 0;
  }
  if (g.sample_slot != g.sample_slot_prev && g.sample_slot >= 1 && g.sample_slot <= 3)
    g.closure_sample[g.sample_slot - 1] = closure;
  const bool vote = g.closure_sample[0] == 1 && g.closure_sample[1] == 1 && g.closure_sample[2] == 1;
  // Gear and flaps down for landing, ground coming up is expected: TERRAIN
  // is said, never PULL UP. Otherwise TERRAIN, TERRAIN, then PULL UP for as
  // long as the envelope holds.
  const bool landing = x.landing_config;
  if (!vote || landing) g.closure_called = 0;
  if (vote) {
    if (landing) {
      raise_code(gpws_code::closure_terrain_landing);
    } else if (g.closure_called != 0 && pending != gpws_code::closure_terrain) {
      raise_code(gpws_code::pull_up);
    } else {
      raise_code(gpws_code::closure_terrain);
      g.closure_called = 1;
    }
  }
  if (x.terr_warn == 2.0f) raise_code(gpws_code::terrain);
  else if (x.terr_warn == 1.0f) raise_code(gpws_code::terrain_caution);
}

void sink_rate_mode(const Inputs& x) {
  const float w = x.vvi_pilot;
  if (w < -gpws_pull_up_limit_fpm(x.ra_capt)) raise_code(gpws_code::pull_up);
  else if (w < -gpws_sink_rate_limit_fpm(x.ra_capt)) raise_code(gpws_code::sink_rate);
}

float airspeed_low_threshold(float ra, float min_speed, float min_manoeuvre) {
  if (ra >= 200.0f) return std::fmax(min_manoeuvre - 8.0f, min_speed + 3.0f);
  return min_speed;
}

void airspeed_low_mode(float ra, float ias, bool only_when_free) {
  GpwsState& g = gpws_state;
  const float thr = airspeed_low_threshold(ra, mirror_f(bound::zuvadud_D738_pfd_min_speed),
                                           mirror_f(bound::zuvadud_D738_pfd_min_maneuver_speed));
  if (ias < thr) {
    g.airspeed_low = 1;
    if (!only_when_free || g.alert_code == 0) raise_code(gpws_code::airspeed_low);
  } else {
    g.airspeed_low = 0;
  }
}

// The headwind along the track now: the reactive warning is for a loss of
// it (or a gain of tailwind), not for the wind's direction swinging. Held to
// what any wind can be, so that the sums stay finite.
float headwind() {
  const float kt = gpws_headwind_kt(mirror_f(bound::sim_cockpit2_gauges_indicators_wind_heading_deg_mag),
                                    mirror_f(bound::sim_cockpit2_gauges_indicators_wind_speed_kts),
                                    mirror_f(bound::sim_cockpit2_gauges_indicators_ground_track_mag_pilot));
  return std::fmax(-500.0f, std::fmin(500.0f, kt));
}

void windshear_restart() {
  GpwsState& g = gpws_state;
  g.ws_headwind_sum = 0.0f;
  g.ws_timer = 0.0f;
  g.ws_filled = 1;
}

// Outside the band the slices stop: the next judgement needs whole slices
// seen inside it.
void windshear_stop() {
  windshear_restart();
  gpws_state.ws_windows = 0;
}

// The mean headwind (kt) of `n` whole slices, the newest of them `back`
// slices before the latest.
float windshear_span_mean(int back, int n) {
  const GpwsState& g = gpws_state;
  float sum = 0.0f;
  for (int k = back; k < back + n; ++k) {
    const int i = ((g.ws_latest - k) % kGpwsWindshearSlices + kGpwsWindshearSlices) % kGpwsWindshearSlices;
    sum += g.ws_headwind[i];
  }
  return sum / static_cast<float>(n);
}

// The headwind is averaged over 0.6 s slices and judged at the end of each,
// the mean of the last span against that of an equal span ending one span
// length before it:
// - a fast loss: the last 1.8 s against the 1.8 s that ended 1.8 s before
//   them, which a shear's sustained loss fills twice over while a gust or a
//   swing of the wind that comes back averages out;
// - a lasting loss (where `lasting`): the last 3.6 s against the 3.6 s that
//   ended 3.6 s before them, so that a headwind dying away over ten seconds
//   warns once it has stayed down, while a lull that comes back within a few
//   seconds, or a wind gusting slowly, does not.
// A warned loss is not judged again: the slices start afresh, so a shear
// warns once, and again only for as much loss once more.
void windshear_mode(bool lasting) {
  constexpr int kFast = 3;  // slices of a fast-loss mean
  constexpr int kLasting = 6;  // slices of a lasting-loss mean
  static_assert(3 * kLasting <= kGpwsWindshearSlices, "the ring holds both lasting-loss spans");
  GpwsState& g = gpws_state;
  if (g.ws_filled == 0) windshear_stop();
  g.ws_timer += frame_time;
  g.ws_headwind_sum += headwind() * frame_time;
  if (g.ws_timer < kGpwsWindshearSlice_s) return;
  g.ws_latest = (g.ws_latest + 1) % kGpwsWindshearSlices;
  g.ws_headwind[g.ws_latest] = g.ws_headwind_sum / g.ws_timer;
  if (g.ws_windows < kGpwsWindshearSlices) g.ws_windows += 1;
  windshear_restart();

  const int seen = g.ws_windows;
  const bool fast = seen >= 3 * kFast &&
                    windshear_span_mean(2 * kFast, kFast) - windshear_span_mean(0, kFast) > kGpwsWindshearLoss_kt;
  const bool lasting_loss = lasting && seen >= 3 * kLasting &&
                            windshear_span_mean(2 * kLasting, kLasting) - windshear_span_mean(0, kLasting) >=
                                kGpwsWindshearLastingLoss_kt;
  if (fast || lasting_loss) {
    raise_code(gpws_code::windshear);
    windshear_stop();
  }
}

void full_evaluation(const Inputs& x, int32_t pending) {
  GpwsState& g = gpws_state;
  bank_angle_mode(x.bank);
  below_glideslope_mode(x, pending);
  minimums_modes(x);
  if (x.flight_phase < 2.0f && g.gpws_phase == 0) g.gpws_phase = 1;
  go_around_mode(x);
  dont_sink_mode(x);
  too_low_mode(x);
  closure_mode(x, pending);
  sink_rate_mode(x);
  airspeed_low_mode(x.ra_capt, x.ias_capt, false);
  g.sample_slot_prev = g.sample_slot;
  // Windshear is warned of below 1,500 ft; a lasting loss on the approach
  // below 1,000 ft, and through the take-off and a go-around's climb-out.
  if (x.ra_side < 1500.0f) {
    windshear_mode(x.ra_side < 1000.0f || g.gpws_phase == 1 || g.go_around != 0);
  } else {
    windshear_stop();
  }
}

void reduced_path(const Inputs& x) {
  GpwsState& g = gpws_state;
  if (x.ra_side <= 50.0f) {
    windshear_stop();
    g.bank_latch_35 = g.bank_latch_40 = g.bank_latch_45 = 0;
    g.bank_call_due = 0;
    g.bank_warn = 0.0f;
    g.airspeed_low = 0;
    return;
  }
  bank_angle_mode(x.bank);
  if (x.terr_warn == 2.0f) raise_code(gpws_code::terrain);
  else if (x.terr_warn == 1.0f) raise_code(gpws_code::terrain_caution);
  airspeed_low_mode(x.ra_side, x.ias_side, true);
  windshear_stop();
}

void tail(const Inputs&) {
  GpwsState& g = gpws_state;
  if (g.airspeed_low == 0) {
    pfd::airspeed_warn = 0.0f;
    g.airspeed_warn_timer = 0.0f;
  } else {
    g.airspeed_warn_timer = std::fmin(g.airspeed_warn_timer + frame_time, 10.0f);
    pfd::airspeed_warn = g.airspeed_warn_timer < 10.0f ? mirror_f(bound::zuvadud_D738_autopilot_blink) + 1.0f : 2.0f;
  }
  g.go_around_prev = g.go_around;
  pfd::bank_angle_warn = g.bank_warn;

  const float bat = fed01(Consumer::gpws_callouts);
  if (bat != g.batbus_prev) callout_state.callout_reset = 1.0f;
  g.batbus_prev = bat;
  callouts_reset_check();
  replay_state.previous_time = 0.0f;

  update_runway_awareness_link();

  if (cockpit_options.guarded_covers == 0.0f) {
    switches::fdr_cover_pos = lag_toward(switches::fdr_cover_pos, fdr_cover_target, 0.0f, 1.0f, 20.0f);
    if (switches::fdr_pos == 1.0f && fdr_cover_target == 0.0f && switches::fdr_cover_pos < 0.3f)
      switches::fdr_pos = 0.0f;
  } else {
    switches::fdr_cover_pos = 1.0f;
    fdr_cover_target = 1.0f;
  }

  const int sensor = (gear_on_ground(1) == 0 && gear_on_ground(2) == 0) ? 0 : 1;
  cockpit::air_ground_sensor = static_cast<float>(sensor);
  fcom::ground_sensor = sensor != g.air_ground_prev ? 1.0f : 0.0f;
  g.air_ground_prev = sensor;
}

}  // namespace

// ---- Envelope helpers --------------------------------------------------

float gpws_dont_sink_allowed_loss_ft(float r) {
  if (!(r > 0.0f)) r = 0.0f;
  if (r < 30.0f) return 8.0f;
  return 8.0f + (r - 30.0f) * 112.0f / 1470.0f;
}

float gpws_closure_limit_fpm(float r) {
  if (r < 1250.0f) return 3300.0f;
  if (r <= 2450.0f) return 3300.0f + (r - 1250.0f) * 6300.0f / 1200.0f;
  return 9600.0f;
}

float gpws_sink_rate_limit_fpm(float r) {
  if (r < 30.0f) return 1100.0f;
  if (r <= 2450.0f) return 1100.0f + (r - 30.0f) * 3900.0f / 2420.0f;
  return 5000.0f;
}

float gpws_pull_up_limit_fpm(float r) {
  if (r < 30.0f) return 1500.0f;
  if (r < 270.0f) return 1500.0f + (r - 30.0f) * 100.0f / 240.0f;
  if (r <= 2450.0f) return 1600.0f + (r - 270.0f) * 5200.0f / 2180.0f;
  return 6800.0f;
}

float gpws_headwind_kt(float wind_from_deg, float wind_kt, float track_deg) {
  return wind_kt * std::cos((wind_from_deg - track_deg) * rad_per_deg_f);
}

void gpws_msgs_reset() {
  float* const flags[] = {
      &cue_fmodpack::msg_pull_up,       &cue_fmodpack::msg_gpws_alert,    &cue_fmodpack::msg_windshear,
      &cue_fmodpack::msg_terrain,       &cue_fmodpack::msg_caution_terrain, &cue_fmodpack::msg_too_low_terrain,
      &cue_fmodpack::msg_too_low_flaps, &cue_fmodpack::msg_too_low_gear, &cue_fmodpack::msg_dont_sink,
      &cue_fmodpack::msg_sink_rate,     &cue_fmodpack::msg_bank_angle,   &system_::below_gs_warn,
      &cue_fmodpack::msg_airspeed_low,  &cue_fmodpack::msg_obstacle,     &cue_fmodpack::msg_obstacle_pull_up,
      &cue_fmodpack::msg_gpws_inop,     &cue_fmodpack::msg_terrain_ahead, &cue_fmodpack::msg_alt_callouts,
      &cue_fmodpack::appro_mins,        &cue_fmodpack::plus_hundred,     &cue_fmod::app_dec_height,
      &fmod_::dh_minimum_pilot,         &fmod_::dh_minimums_pilot,       &cue_fmod::dec_height,
      &fmod_::dh_minimum_copilot,       &fmod_::dh_minimums_copilot,
  };
  for (float* f : flags) *f = 0.0f;
}

bool gpws_code_standing(int32_t code) { return (gpws_state.standing_codes & code_bit(code)) != 0; }

void gpws_sequence_end() {
  cut_sequence();
  gpws_state.alert_code = 0;
}

void gpws_below_gs_inhibit() {
  if (!fed(Consumer::gpws)) return;
  if (in_glideslope_area(side_radio_altitude(first_officer_side()))) alert::below_gs_disable = 1.0f;
}

void gpws_windshear_empty() {
  gpws_state.ws_filled = 0;
  gpws_state.ws_timer = 0.0f;
}

void gpws_update() {
  GpwsState& g = gpws_state;
  const Inputs x = read_inputs();

  if (!fed(Consumer::gpws)) {
    power_loss_reset();
    alert::below_gs_disable = 0.0f;
    g.ws_filled = 0;
    g.in_band_prev = 0;
    g.peak_altitude = -9999.0f;
    g.takeoff_peak_ra_ft = 0.0f;
    callouts_power_off();
    g.airspeed_low = 0;
    tail(x);
    return;
  }

  g.sample_timer += frame_time;
  if (g.sample_timer > 1.0f) {
    g.sample_slot = g.sample_slot >= 3 ? 1 : g.sample_slot + 1;
    g.sample_timer = 0.0f;
  }

  test_gates(x);
  if (gpws_test.started != 0.0f) {
    gpws_test.started = 0.0f;
    g.test_step = 1;
  }

  if (x.ra_side > 2450.0f || x.flight_phase >= 2.0f) g.gpws_phase = 2;
  if (x.ra_side < 30.0f) {
    g.gpws_phase = 0;
    g.takeoff_peak_ra_ft = 0.0f;
  }
  const bool full_allowed = x.ra_side >= 30.0f && x.ra_side <= 2450.0f;
  if (full_allowed && g.in_band_prev == 0) g.ws_filled = 0;
  g.in_band_prev = full_allowed ? 1 : 0;

  const float long_on = mirror_f(bound::zuvadud_d738_fmodpack_fmod_gpwstest_long_on);
  const float short_on = mirror_f(bound::zuvadud_d738_fmodpack_fmod_gpwstest_short_on);
  const bool testing = test_flag_set(long_on, short_on);
  // A run with no test behind it (a push that started none, a restored
  // value) would hold GPWS INOP on and the test's calls going for good.
  if (!testing && system_::gpws_test_running != 0.0f) {
    system_::gpws_test_running = 0.0f;
    g.test_step = 0;
  }
  // The envelopes are watched every frame, a sequence or the test sounding
  // or not; a live alert ends the test at once.
  int32_t pending = testing ? 0 : g.alert_code;
  const int32_t test_code = g.alert_code;
  g.alert_code = 0;
  g.standing_codes = 0;
  // The inhibit belongs to this approach: climbing back above the area or
  // landing ends it. Pushed while GLIDESLOPE sounds, it cuts the call.
  if (!testing && !in_glideslope_area(x.ra_side)) alert::below_gs_disable = 0.0f;
  if (alert::below_gs_disable != 0.0f && pending == gpws_code::below_glideslope) {
    cut_sequence();
    pending = 0;
  }
  if (full_allowed) {
    full_evaluation(x, pending);
  } else {
    reduced_path(x);
  }
  if (testing && (g.alert_code != 0 || g.bank_call_due != 0)) {
    const int32_t live = g.alert_code;
    const float annun = system_::below_gs_annun;
    end_test(long_on, short_on);
    cut_sequence();
    g.alert_code = live;
    system_::below_gs_annun = annun;
  } else if (testing) {
    g.alert_code = test_code;
    test_stage(long_on, short_on);
  }
  if (!testing || system_::gpws_test_running == 0.0f) settle_alert(pending);
  // The computer has one voice: a height callout waits while an alert that
  // ranks above the callouts sounds, including the frame its sequence ends.
  const bool callouts_wait = priority(g.alert_code) > priority(gpws_code::approaching_minimums);

  const int count = output_stage();
  hold_stage(count, x.fo);
  update_radio_altitude_callouts(x.fo, callouts_wait);
  tail(x);
}
