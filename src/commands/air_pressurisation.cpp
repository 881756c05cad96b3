// Command handlers of the air conditioning and bleed panel, the cabin
// pressurisation panel, the oxygen panel and masks, the engine anti-ice and
// probe heat switches and the window overheat test.
//
// The handlers move switch and knob positions, the host's flight altitude
// ("sim/cockpit/pressure/max_allowable_altitude") and bleed failures, and a
// few test timers; the pneumatic, pressurisation, anti-ice and annunciator
// models read them on the next frame.
#include <cmath>

#include "commands/command_handlers.h"
#include "commands/command_hold.h"
#include "commands/switch_moves.h"
#include "core/binding.h"
#include "core/host_io.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "systems/air/air_values.h"
#include "systems/annunciators/annunciators_panels.h"
#include "systems/electrical/bus_feeds.h"
#include "systems/delay_timers.h"
#include "systems/ice_rain/ice_values.h"
#include "systems/instruments/instrument_values.h"
#include "systems/air/oxygen_state.h"
#include "systems/air/pressurisation.h"
#include "systems/switches/switch_targets.h"
#include "systems/switches/switch_values.h"
#include "systems/systems_step_outputs.h"
#include "systems/ice_rain/window_heat_state.h"

namespace {

// ---- Altitude knobs -------------------------------------------------------

constexpr float kAltitudeRepeatAfter_s = 1.0f;
constexpr float kAltitudeRepeatEvery_s = 0.02f;

struct AltitudeKnob {
  float grid_ft;
  float low_ft;
  float high_ft;
};
constexpr AltitudeKnob kFlightAltitude = {500.0f, -1000.0f, 42000.0f};
constexpr AltitudeKnob kLandingAltitude = {50.0f, -1000.0f, 13600.0f};

// One knob click: onto the grid line below (down) or past the next one (up),
// so a value off the grid snaps down but overshoots upward.
float altitude_step(const AltitudeKnob& k, float a, bool up) {
  float v = std::ceil((up ? a + k.grid_ft : a - k.grid_ft) / k.grid_ft) * k.grid_ft;
  if (v < k.low_ft) return k.low_ft;
  return v > k.high_ft ? k.high_ft : v;
}

void flight_altitude_step(bool up) {
  float& a = host_mirror.sim_cockpit_pressure_max_allowable_altitude;
  a = altitude_step(kFlightAltitude, a, up);
  host_send_f(bound::sim_cockpit_pressure_max_allowable_altitude, a);
}

void landing_altitude_step(bool up) {
  float& a = pressurization::knobs_landing_alt;
  if (!std::isfinite(a)) a = 0.0f;  // a NaN written by a script restarts the knob at sea level
  a = altitude_step(kLandingAltitude, a, up);
}

// Held: one step at begin, then after 1 s one step whenever more than 0.02 s
// of repeat time has gathered.
int altitude_knob_handler(void (*step)(bool), bool up, XPLMCommandPhase phase) {
  if (phase == phase_begin) {
    step(up);
    command_hold_time = 0.0f;
    command_repeat_time = 0.0f;
  } else if (phase == phase_continue) {
    if (!command_hold_passed(kAltitudeRepeatAfter_s)) return 0;
    if (command_repeat_time > kAltitudeRepeatEvery_s) {
      step(up);
      command_repeat_time = 0.0f;
    } else {
      command_repeat_time += frame_time;
    }
  }
  return 0;
}

// ---- Bleed trip reset -----------------------------------------------------

constexpr float kResetInhibitAlt_ft = 35000.0f;
constexpr float kWingValveOpen = 0.95f;

void bleed_trip_reset_side(int side) {
  int32_t& failure = side == 0 ? host_mirror.sim_operation_failures_rel_bleed_air_lft
                               : host_mirror.sim_operation_failures_rel_bleed_air_rgt;
  if (failure == kHostFailed) return;
  // The reset acts through the side's trip sensing, and not without its power.
  if (!fed(side == 0 ? Consumer::bleed_trip_left : Consumer::bleed_trip_right)) return;
  // High up with the wing anti-ice drawing on the duct the reset is refused.
  if (static_pressure_altitude_ft > kResetInhibitAlt_ft && system_::wing_anti_ice_valve[side] > kWingValveOpen) return;
  if (!(bleed_duct_value[side] <= kBleedOvertempDegC)) return;
  overhead_lights.bleed_trip_latch[side] = 0.0f;
  failure = 0;
  const bound::Id id = side == 0 ? bound::sim_operation_failures_rel_bleed_air_lft
                                 : bound::sim_operation_failures_rel_bleed_air_rgt;
  host_send_i(id, 0);
}

// ---- Window overheat test -------------------------------------------------

constexpr float kWindowTestStep_s = 70.0f;

void window_test_start(WindowIndex w, float heat_switch, float& timer) {
  if (window_heat_bus(w) == 0.0f || heat_switch != 1.0f || window_overheat_state[w] != 0.0f) return;
  window_overheat_state[w] = 1.0f;
  timer = kWindowTestStep_s;
}

}  // namespace

int cmd_toggle_switch_air_temp_source_left_700(XPLMCommandRef, XPLMCommandPhase ph, void*) { return set_handler(air::temp_ctrl_700, 0.0f, ph); }
int cmd_toggle_switch_air_temp_source_right_700(XPLMCommandRef, XPLMCommandPhase ph, void*) { return set_handler(air::temp_ctrl_700, 1.0f, ph); }
int cmd_toggle_switch_air_temp_source_left(XPLMCommandRef, XPLMCommandPhase ph, void*) { return step_handler(toggle_switch::air_temp_source, -1, 0, 6, ph); }
int cmd_toggle_switch_air_temp_source_right(XPLMCommandRef, XPLMCommandPhase ph, void*) { return step_handler(toggle_switch::air_temp_source, 1, 0, 6, ph); }

// The mode selector and the controller's mode always move together: the
// mode is the controller the selector puts in charge, not the selector's own
// number, or AUTO FAIL would flash for the frame before the controller runs.
int cmd_toggle_switch_air_valve_ctrl_left(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  if (ph == phase_begin && step_position(toggle_switch::air_valve_ctrl, -1, 0, 2)) {
    cockpit::pressurization_mode = pressurisation_mode_for_selector();
  }
  return 0;
}
int cmd_toggle_switch_air_valve_ctrl_right(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  if (ph == phase_begin && step_position(toggle_switch::air_valve_ctrl, 1, 0, 2)) {
    cockpit::pressurization_mode = pressurisation_mode_for_selector();
  }
  return 0;
}

int cmd_toggle_switch_air_valve_manual_left(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  momentary(toggle_switch::air_valve_manual, ph, -1.0f, 0.0f);
  return 0;
}
int cmd_toggle_switch_air_valve_manual_right(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  momentary(toggle_switch::air_valve_manual, ph, 1.0f, 0.0f);
  return 0;
}

int cmd_toggle_switch_bleed_air_1(XPLMCommandRef, XPLMCommandPhase ph, void*) { return two_value_handler(toggle_switch::bleed_air_1_pos, ph); }
int cmd_toggle_switch_bleed_air_2(XPLMCommandRef, XPLMCommandPhase ph, void*) { return two_value_handler(toggle_switch::bleed_air_2_pos, ph); }
int cmd_toggle_switch_bleed_air_apu(XPLMCommandRef, XPLMCommandPhase ph, void*) { return two_value_handler(toggle_switch::bleed_air_apu_pos, ph); }
int cmd_toggle_switch_iso_valve_dn(XPLMCommandRef, XPLMCommandPhase ph, void*) { return step_handler(air::isolation_valve_pos, 1, 0, 2, ph); }
int cmd_toggle_switch_iso_valve_up(XPLMCommandRef, XPLMCommandPhase ph, void*) { return step_handler(air::isolation_valve_pos, -1, 0, 2, ph); }
int cmd_toggle_switch_l_pack_dn(XPLMCommandRef, XPLMCommandPhase ph, void*) { return step_handler(air::l_pack_pos, 1, 0, 2, ph); }
int cmd_toggle_switch_l_pack_up(XPLMCommandRef, XPLMCommandPhase ph, void*) { return step_handler(air::l_pack_pos, -1, 0, 2, ph); }
int cmd_toggle_switch_r_pack_dn(XPLMCommandRef, XPLMCommandPhase ph, void*) { return step_handler(air::r_pack_pos, 1, 0, 2, ph); }
int cmd_toggle_switch_r_pack_up(XPLMCommandRef, XPLMCommandPhase ph, void*) { return step_handler(air::r_pack_pos, -1, 0, 2, ph); }
int cmd_toggle_switch_l_recirc_fan(XPLMCommandRef, XPLMCommandPhase ph, void*) { return two_value_handler(air::l_recirc_fan_pos, ph); }
int cmd_toggle_switch_r_recirc_fan(XPLMCommandRef, XPLMCommandPhase ph, void*) { return two_value_handler(air::r_recirc_fan_pos, ph); }
int cmd_toggle_switch_trim_air(XPLMCommandRef, XPLMCommandPhase ph, void*) { return two_value_handler(air::trim_air_pos, ph); }
int cmd_toggle_switch_eq_cool_exhaust(XPLMCommandRef, XPLMCommandPhase ph, void*) { return two_value_handler(toggle_switch::eq_cool_exhaust, ph); }
int cmd_toggle_switch_eq_cool_supply(XPLMCommandRef, XPLMCommandPhase ph, void*) { return two_value_handler(toggle_switch::eq_cool_supply, ph); }
int cmd_push_button_duct_ovht_test(XPLMCommandRef, XPLMCommandPhase ph, void*) { return momentary_handler(push_button::duct_ovht_test_pos, ph); }

int cmd_push_button_bleed_trip_reset(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  if (ph == phase_begin) {
    if (push_button::trip_reset != 0.0f) return 0;
    push_button::trip_reset = 1.0f;
    const float* trip = overhead_lights.bleed_trip_latch;
    if (trip[0] == 0.0f && trip[1] == 0.0f) return 0;
    bleed_trip_reset_side(0);
    bleed_trip_reset_side(1);
  } else if (ph == phase_end) {
    push_button::trip_reset = 0.0f;
  }
  return 0;
}

int cmd_knob_flt_alt_press_dn(XPLMCommandRef, XPLMCommandPhase ph, void*) { return altitude_knob_handler(flight_altitude_step, false, ph); }
int cmd_knob_flt_alt_press_up(XPLMCommandRef, XPLMCommandPhase ph, void*) { return altitude_knob_handler(flight_altitude_step, true, ph); }
int cmd_knob_land_alt_press_dn(XPLMCommandRef, XPLMCommandPhase ph, void*) { return altitude_knob_handler(landing_altitude_step, false, ph); }
int cmd_knob_land_alt_press_up(XPLMCommandRef, XPLMCommandPhase ph, void*) { return altitude_knob_handler(landing_altitude_step, true, ph); }

int cmd_system_high_alt_ldg(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  if (ph == phase_begin) {
    system_::high_alt_ldg_pos = 1.0f;
    toggle_switch_pos(system_::high_alt_ldg_on);
  } else if (ph == phase_end) {
    system_::high_alt_ldg_pos = 0.0f;
  }
  return 0;
}

int cmd_toggle_switch_oxy_mask_capt_off(XPLMCommandRef, XPLMCommandPhase ph, void*) { return set_handler(system_::oxy_mask_capt, 0.0f, ph); }
int cmd_toggle_switch_oxy_mask_capt_on(XPLMCommandRef, XPLMCommandPhase ph, void*) { return set_handler(system_::oxy_mask_capt, 1.0f, ph); }
int cmd_toggle_switch_oxy_mask_fo_off(XPLMCommandRef, XPLMCommandPhase ph, void*) { return set_handler(system_::oxy_mask_fo, 0.0f, ph); }
int cmd_toggle_switch_oxy_mask_fo_on(XPLMCommandRef, XPLMCommandPhase ph, void*) { return set_handler(system_::oxy_mask_fo, 1.0f, ph); }

namespace {
// The test runs while any of the four buttons is still held, so one pilot
// letting go does not end the other's test.
int oxy_test_handler(float& button, XPLMCommandPhase phase) {
  momentary(button, phase);
  using namespace push_button;
  const bool any = oxy_test_cpt_pos != 0.0f || oxy_test_cpt2_pos != 0.0f || oxy_test_fo_pos != 0.0f ||
                   oxy_test_fo2_pos != 0.0f;
  oxy_test_active = any ? 1.0f : 0.0f;
  return 0;
}
}  // namespace

int cmd_push_button_oxy_test_cpt(XPLMCommandRef, XPLMCommandPhase ph, void*) { return oxy_test_handler(push_button::oxy_test_cpt_pos, ph); }
int cmd_push_button_oxy_test_cpt2(XPLMCommandRef, XPLMCommandPhase ph, void*) { return oxy_test_handler(push_button::oxy_test_cpt2_pos, ph); }
int cmd_push_button_oxy_test_fo(XPLMCommandRef, XPLMCommandPhase ph, void*) { return oxy_test_handler(push_button::oxy_test_fo_pos, ph); }
int cmd_push_button_oxy_test_fo2(XPLMCommandRef, XPLMCommandPhase ph, void*) { return oxy_test_handler(push_button::oxy_test_fo2_pos, ph); }

// Under its guard the switch cannot be reached: no masks.
int cmd_one_way_switch_pax_oxy_on(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  if (ph == phase_begin && one_way_switch::pax_oxy_pos == 0.0f && !numbered_guard_down(kPaxOxyCover)) {
    one_way_switch::pax_oxy_pos = 1.0f;
    pax_oxy_state = 6;
  }
  return 0;
}
int cmd_one_way_switch_pax_oxy_norm(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  if (ph == phase_begin) {
    if (one_way_switch::pax_oxy_pos == 1.0f) one_way_switch::pax_oxy_pos = 0.0f;
    pax_oxy_state = 0;
  }
  return 0;
}

int cmd_toggle_switch_eng1_heat(XPLMCommandRef, XPLMCommandPhase ph, void*) { return toggle_handler(ice::eng1_heat_pos, ph); }
int cmd_toggle_switch_eng2_heat(XPLMCommandRef, XPLMCommandPhase ph, void*) { return toggle_handler(ice::eng2_heat_pos, ph); }
int cmd_toggle_switch_capt_probes_pos(XPLMCommandRef, XPLMCommandPhase ph, void*) { return toggle_handler(toggle_switch::capt_probes_pos, ph); }
int cmd_toggle_switch_fo_probes_pos(XPLMCommandRef, XPLMCommandPhase ph, void*) { return toggle_handler(toggle_switch::fo_probes_pos, ph); }

int cmd_toggle_switch_window_ovht_test_dn(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  momentary(toggle_switch::window_ovht_test, ph, 1.0f, 0.0f);
  return 0;
}

// Each window is tested through the bus that feeds its heat (the side
// windows crosswise), so with one transfer bus lost every window still heated
// is tested; only a heated window whose test is not already running starts.
int cmd_toggle_switch_window_ovht_test_up(XPLMCommandRef, XPLMCommandPhase ph, void*) {
  if (ph == phase_begin) {
    toggle_switch::window_ovht_test = -1.0f;
    DelayTimerBank& t = delay_timers;
    window_test_start(window_l_side, ice::window_heat_l_side_pos, t.window_ovht_test_delay_l_side);
    window_test_start(window_l_fwd, ice::window_heat_l_fwd_pos, t.window_ovht_test_delay_l_fwd);
    window_test_start(window_r_side, ice::window_heat_r_side_pos, t.window_ovht_test_delay_r_side);
    window_test_start(window_r_fwd, ice::window_heat_r_fwd_pos, t.window_ovht_test_delay_r_fwd);
  } else if (ph == phase_end) {
    toggle_switch::window_ovht_test = 0.0f;
  }
  return 0;
}
