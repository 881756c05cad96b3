// Probe heat, wipers, radios, guarded covers, indications and the replay
// substitutes of the cockpit systems.
#include <cmath>
#include <string>
#include <vector>

#include "alerting/aural_cues.h"
#include "commands/command_handlers.h"
#include "core/preprocess_values.h"
#include "display/nd_slots.h"
#include "engines/engine_values.h"
#include "panel_fixture.h"
#include "systems/aircraft_systems.h"
#include "systems/radios/comm_values.h"
#include "systems/delay_timers.h"
#include "systems/flight_controls/flight_control_values.h"
#include "systems/fuel/fuel_values.h"
#include "systems/instruments/instrument_values.h"
#include "systems/ice_rain/probe_wipers.h"
#include "systems/replay.h"
#include "systems/switches/switch_targets.h"
#include "systems/switches/switch_values.h"
#include "systems/systems_steps.h"
#include "systems/radios/transponder_code.h"
#include "systems/flight_controls/trim_command_state.h"
#include "systems/ice_rain/wiper_state.h"

struct IndicationState {
  float door_lock, standby_baro_state, lower_page_last, lower_page2_last, page_blank_timer_s;
  float rh_box_timer_s[2], rh_box_armed[2];
};
extern IndicationState indication_state;

namespace {

class CockpitSections : public PanelTest {
 protected:
  void SetUp() override {
    PanelTest::SetUp();
    wiper_state[0] = wiper_state[1] = WiperState{};
    left_wiper_int_start = right_wiper_int_start = 0.0f;
    others::left_wiper_ratio = others::right_wiper_ratio = 0.0f;
    replay_state = ReplayState{};
    indication_state = IndicationState{};
    delay_flags = DelayTimerFlags{};
    delay_timers = DelayTimerBank{};
  }
  static int heaters_capt() {
    const HostMirror& m = host_mirror;
    return m.sim_cockpit2_ice_ice_AOA_heat_on + m.sim_cockpit2_ice_ice_pitot_heat_on_pilot +
           m.sim_cockpit2_ice_ice_static_heat_on_pilot;
  }
  static int heaters_fo() {
    const HostMirror& m = host_mirror;
    return m.sim_cockpit2_ice_ice_AOA_heat_on_copilot + m.sim_cockpit2_ice_ice_pitot_heat_on_copilot +
           m.sim_cockpit2_ice_ice_static_heat_on_copilot;
  }
};

TEST_F(CockpitSections, ProbeHeatBySwitchAutoAndPower) {
  struct Case {
    float sw, auto_opt, n2a, n2b, bus;
    int expect;  // heaters on of the side (0 or 3)
  } cases[] = {
      {1, 0, 0, 0, 1, 3},     {1, 0, 0, 0, 0, 0},    // ON, bus lost turns all three off
      {0, 1, 50, 50, 1, 0},   {0, 1, 50.5f, 0, 1, 3},  // auto needs one engine above 50 %
      {0, 0, 90, 90, 1, 0},   {0, 1, 0, 60, 0, 0},
  };
  for (const Case& c : cases) {
    toggle_switch::capt_probes_pos = toggle_switch::fo_probes_pos = c.sw;
    script_mirror.zuvadud_D738_probe_heat_auto = c.auto_opt;
    host_mirror.sim_flightmodel2_engines_N2_percent[0] = c.n2a;
    host_mirror.sim_flightmodel2_engines_N2_percent[1] = c.n2b;
    electric::ac_stdbus_status = electric::ac_tnsbus2_status = c.bus;
    probe_heat_to_host();
    EXPECT_EQ(heaters_capt(), c.expect) << c.sw << " " << c.n2a << " " << c.bus;
    EXPECT_EQ(heaters_fo(), c.expect);
  }
  // A switch in motion leaves the heaters alone.
  toggle_switch::capt_probes_pos = 1.0f;
  electric::ac_stdbus_status = 1.0f;
  probe_heat_to_host();
  toggle_switch::capt_probes_pos = 0.5f;
  electric::ac_stdbus_status = 0.0f;
  probe_heat_to_host();
  EXPECT_EQ(heaters_capt(), 3);
}

TEST_F(CockpitSections, WiperIntervalSweepsAtOnceThenEverySevenSeconds) {
  frame_time = 0.03125f;
  switches::left_wiper_pos = 1.0f;
  left_wiper_int_start = 1.0f;
  update_windshield_wipers();
  EXPECT_EQ(others::left_wiper_up, 1.0f);
  EXPECT_EQ(left_wiper_int_start, 0.0f);
  // Out (0.5 s), dwell, back (0.5 s), then rest.
  float t = frame_time;
  while (others::left_wiper_ratio > 0.0f || others::left_wiper_up == 1.0f) {
    update_windshield_wipers();
    t += frame_time;
    ASSERT_LT(t, 3.0f);
  }
  EXPECT_NEAR(t, 1.03f, 0.07f);
  EXPECT_EQ(others::left_wiper_up, -1.0f);
  float rest = 0.0f;
  while (others::left_wiper_up != 1.0f) {
    update_windshield_wipers();
    rest += frame_time;
    ASSERT_LT(rest, 10.0f);
  }
  EXPECT_NEAR(rest, 7.0f, 0.07f);
}

TEST_F(CockpitSections, WiperStopsUnpoweredAndParksWhenPowerReturns) {
  frame_time = 0.0625f;
  switches::right_wiper_pos = 3.0f;  // HIGH: 0.25 s a sweep
  update_windshield_wipers();        // dwell passed: starts out
  const float mid = others::right_wiper_ratio;
  EXPECT_GT(mid, 0.0f);
  EXPECT_LT(mid, 72.0f);
  electric::dc_bus2_status = 0.0f;
  update_windshield_wipers();
  EXPECT_EQ(others::right_wiper_ratio, mid);
  EXPECT_EQ(others::right_wiper_up, -1.0f);
  electric::dc_bus2_status = 1.0f;
  switches::right_wiper_pos = 0.0f;
  frame_time = 0.03125f;
  update_windshield_wipers();
  EXPECT_LT(others::right_wiper_ratio, mid);
  EXPECT_EQ(others::right_wiper_up, 0.0f);
}

// The host's mode by knob position: host 12 tells mode A (2) from mode C
// (3) and the TCAS modes (6 TA only, 7 TA/RA), test 4; host 11 has off,
// standby, on and test (3).
TEST_F(CockpitSections, TransponderModeByKnobAndTest) {
  const float knob_mode[][3] = {{0, 0, 0}, {1, 1, 1}, {2, 2, 2}, {3, 2, 3}, {4, 2, 6}, {5, 2, 7}, {1.5f, 0, 0}};
  for (const int32_t version : {110000, 120000}) {
    host_version = version;
    const int col = version >= 120000 ? 2 : 1;
    for (const auto& k : knob_mode) {
      knob::transponder_pos = k[0];
      transponder_mode_to_host();
      EXPECT_EQ(simhost::get_int("sim/cockpit2/radios/actuators/transponder_mode"), static_cast<int>(k[col]))
          << version << " knob " << k[0];
    }
    // The test holds its mode for its 8 s, even after the TCAS side has
    // dropped its own flag with the bus, and no longer.
    knob::transponder_pos = 2.0f;
    delay_flags = DelayTimerFlags{};
    delay_timers = DelayTimerBank{};
    cmd_knob_transponder_tcas_test(nullptr, 0, nullptr);
    EXPECT_EQ(host_mirror.sim_cockpit2_radios_actuators_transponder_mode, version >= 120000 ? 4 : 3);
    delay_flags.tcas_test_flag = 0.0f;
    transponder_mode_to_host();
    EXPECT_EQ(host_mirror.sim_cockpit2_radios_actuators_transponder_mode, version >= 120000 ? 4 : 3);
    frame_time = 0.5f;
    for (int i = 0; i < 15; ++i) update_annunciator_timers();
    transponder_mode_to_host();
    EXPECT_EQ(host_mirror.sim_cockpit2_radios_actuators_transponder_mode, version >= 120000 ? 4 : 3);
    update_annunciator_timers();
    transponder_mode_to_host();
    EXPECT_EQ(host_mirror.sim_cockpit2_radios_actuators_transponder_mode, 2);
  }
}

TEST_F(CockpitSections, TransponderCodeDigitsWithOutOfRangeCodesClamped) {
  struct Case {
    int32_t code;
    int32_t digits[4];
  };
  const Case cases[] = {{1234, {1, 2, 3, 4}}, {7, {0, 0, 0, 7}}, {12345, {9, 9, 9, 9}}, {-5, {0, 0, 0, 0}}};
  for (const Case& c : cases) {
    host_mirror.sim_cockpit2_radios_actuators_transponder_code = c.code;
    for (int p = 0; p < 4; ++p) EXPECT_EQ(xpndr_change_digit(p), c.digits[p]) << c.code << " place " << p;
  }
  EXPECT_EQ(xpndr_change_digit(4), 0);
}

TEST_F(CockpitSections, AdfLimitsReadoutsAndPower) {
  host_mirror.sim_cockpit2_radios_actuators_adf1_frequency_hz = 1800.0f;
  host_mirror.sim_cockpit2_radios_actuators_adf1_standby_frequency_hz = 415;
  host_mirror.sim_cockpit2_radios_actuators_adf2_frequency_hz = 150.0f;
  host_mirror.sim_cockpit2_radios_actuators_adf2_standby_frequency_hz = 1750;
  toggle_switch::off_on1 = 1.0f;
  toggle_switch::adf_ant1 = 0.0f;
  toggle_switch::off_on2 = 0.0f;
  update_adf();
  EXPECT_EQ(host_mirror.sim_cockpit2_radios_actuators_adf1_frequency_hz, 1750.0f);
  EXPECT_EQ(host_mirror.sim_cockpit2_radios_actuators_adf2_frequency_hz, 190.0f);
  EXPECT_EQ(radio::adf1_freq_int, 0.0f);
  EXPECT_EQ(radio::adf1_freq_frac, 415.0f);
  EXPECT_EQ(radio::adf1_act_freq_int, 1.0f);
  EXPECT_EQ(radio::adf1_act_freq_frac, 750.0f);
  EXPECT_EQ(radio::adf2_freq_int, 1.0f);
  EXPECT_EQ(radio::adf2_freq_frac, 750.0f);
  EXPECT_EQ(simhost::get_int("sim/cockpit2/radios/actuators/adf1_power"), 2);
  EXPECT_EQ(host_mirror.sim_cockpit2_radios_actuators_adf2_power, 0);
  // Switched on but without its DC bus the receiver is off all the same.
  electric::dc_bus1_status = 0.0f;
  update_adf();
  EXPECT_EQ(simhost::get_int("sim/cockpit2/radios/actuators/adf1_power"), 0);
}

TEST_F(CockpitSections, RmiNeedleSlewsAfterSourceChange) {
  frame_time = 0.1f;
  HostMirror& m = host_mirror;
  std::snprintf(m.sim_cockpit2_radios_indicators_nav1_nav_id, 11, "ABC");
  m.sim_cockpit2_radios_indicators_nav1_type = 4;
  m.sim_cockpit2_radios_indicators_nav1_display_horizontal = 1.0f;
  m.sim_cockpit2_radios_indicators_nav1_relative_bearing_deg = 10.0f;
  m.sim_cockpit2_radios_indicators_adf1_relative_bearing_deg = 100.0f;
  update_adf();
  EXPECT_EQ(radio::arrow1, 10.0f);
  EXPECT_EQ(radio::arrow1_no_available, 0.0f);
  m.sim_cockpit2_radios_actuators_RMI_left_use_adf_pilot = 1;  // ADF with no station
  update_adf();
  // 90 degrees x 0.1 s x 6 at most per frame.
  EXPECT_NEAR(radio::arrow1, 64.0f, 1e-3);
  EXPECT_EQ(radio::arrow1_no_available, 1.0f);
  for (int i = 0; i < 40; ++i) update_adf();
  EXPECT_EQ(radio::arrow1, 100.0f);
  // Back to the VOR, then a load halfway: the needle starts as at start-up,
  // on its bearing at once, not turning on from the old situation's.
  m.sim_cockpit2_radios_actuators_RMI_left_use_adf_pilot = 0;
  update_adf();
  EXPECT_GT(radio::arrow1, 20.0f);
  systems_reset_on_load();
  update_adf();
  EXPECT_EQ(radio::arrow1, 10.0f);
  // The VOR receiver on the AC standby bus, the ADF on DC bus 1: without
  // both needle 1 has no bearing; the ADF's bus alone leaves the VOR's.
  electric::dc_bus1_status = 0.0f;
  update_adf();
  EXPECT_EQ(radio::arrow1_no_available, 0.0f);
  electric::ac_stdbus_status = 0.0f;
  update_adf();
  EXPECT_EQ(radio::arrow1_no_available, 1.0f);
}

TEST_F(CockpitSections, NumberedCoversHoldTheirSwitches) {
  for (float& t : cover_target) t = 0.0f;
  for (float& p : button_switch::cover_position) p = 0.0f;
  electric::battery_pos = 0.0f;
  electric::standby_bat_pos = 0.0f;
  toggle_switch::elt = 1.0f;
  switches::nose_steer_pos = 0.0f;
  one_way_switch::pax_oxy_pos = 1.0f;
  toggle_switch::emer_exit_lights = 2.0f;  // ON
  update_switch_covers();
  EXPECT_EQ(toggle_switch::emer_exit_lights, 1.0f);  // ARMED
  EXPECT_EQ(electric::battery_pos, 1.0f);
  EXPECT_EQ(toggle_switch::elt, 0.0f);
  EXPECT_EQ(switches::nose_steer_pos, 1.0f);
  EXPECT_EQ(one_way_switch::pax_oxy_pos, 0.0f);
  EXPECT_EQ(host_mirror.sim_cockpit2_electrical_cross_tie, 1);
  const int before = issued("zuvadud/D738/switch/standby_bat_on");
  EXPECT_GE(before, 1);
  // The command brings the switch home; moved off it again under the closed
  // guard, the command goes out again.
  electric::standby_bat_pos = -1.0f;
  button_switch::cover_position[3] = 0.0f;
  update_switch_covers();
  EXPECT_GT(issued("zuvadud/D738/switch/standby_bat_on"), before);
  // An open guard (0.3 and above) holds nothing.
  for (float& t : cover_target) t = 1.0f;
  for (float& p : button_switch::cover_position) p = 0.3f;
  toggle_switch::elt = 1.0f;
  electric::standby_bat_pos = 1.0f;
  const int settled = issued("zuvadud/D738/switch/standby_bat_on");
  update_switch_covers();
  EXPECT_EQ(toggle_switch::elt, 1.0f);
  EXPECT_EQ(issued("zuvadud/D738/switch/standby_bat_on"), settled);
  // Closed over a switch already home: nothing more goes out.
  for (float& t : cover_target) t = 0.0f;
  for (float& p : button_switch::cover_position) p = 0.0f;
  update_switch_covers();
  EXPECT_EQ(issued("zuvadud/D738/switch/standby_bat_on"), settled);
}

TEST_F(CockpitSections, CoverArraysRoundTripWithZeroTail) {
  for (int i = 0; i < cover_count; ++i) {
    button_switch::cover_position[i] = 0.5f;
    cover_target[i] = 1.0f;
  }
  simhost::set_floats("zuvadud/D738/cover", std::vector<float>(32, 7.0f));
  write_cover_array();
  const std::vector<float> pos = simhost::get_floats("zuvadud/D738/cover");
  const std::vector<float> tgt = simhost::get_floats("zuvadud/D738/cover_tgt");
  ASSERT_EQ(pos.size(), 32u);
  ASSERT_EQ(tgt.size(), 32u);
  for (int i = 0; i < 32; ++i) {
    EXPECT_EQ(pos[i], i < 11 ? 0.5f : 0.0f) << i;
    EXPECT_EQ(tgt[i], i < 11 ? 1.0f : 0.0f) << i;
  }
  std::vector<float> back(32, 0.0f);
  back[4] = 0.25f;
  back[20] = 9.0f;
  simhost::set_floats("zuvadud/D738/cover", back);
  read_cover_arrays();
  EXPECT_EQ(button_switch::cover_position[4], 0.25f);
  EXPECT_EQ(button_switch::cover_position[0], 0.0f);
}

TEST_F(CockpitSections, NamedCoversHeldOpenAndTrimKnobsStillTurn) {
  simhost::set_float("zuvadud/D738/guarded_covers", 1.0f);
  toggle_switch::stab_trim_overide_cover_pos = 0.0f;
  switches::spoiler_A_pos = 1.0f;
  update_named_covers();
  EXPECT_EQ(switches::flt_ctr_A_cover_pos, 1.0f);
  EXPECT_EQ(toggle_switch::gpws_xraas_cover_pos, 1.0f);
  EXPECT_EQ(toggle_switch::stab_trim_overide_cover_pos, 0.0f);
  EXPECT_EQ(switches::spoiler_A_pos, 1.0f);
  update_switch_covers();
  EXPECT_EQ(button_switch::cover_position[5], 1.0f);
  simhost::set_float("zuvadud/D738/guarded_covers", 0.0f);
  spoiler_A_cover_target = 0.0f;
  switches::spoiler_A_cover_pos = 0.0f;
  update_named_covers();
  EXPECT_EQ(switches::spoiler_A_pos, 0.0f);
}

// The host's aileron and rudder trim commands hold their switches; the
// switch animations follow at rate 10 and spring back on release.
TEST_F(CockpitSections, TrimSwitchAnimationsFollowTheTrimCommands) {
  frame_time = 0.05f;  // half the way to the switch each frame
  flt_ctrls::aileron_trim_switch_pos = flt_ctrls::rudder_trim_sel_dial_pos = 0.0f;
  hook_flight_controls_aileron_trim_left(nullptr, 0, nullptr);
  hook_flight_controls_rudder_trim_right(nullptr, 0, nullptr);
  update_switch_covers();
  EXPECT_FLOAT_EQ(flt_ctrls::aileron_trim_switch_pos, -0.5f);
  EXPECT_FLOAT_EQ(flt_ctrls::rudder_trim_sel_dial_pos, 0.5f);
  update_switch_covers();
  EXPECT_FLOAT_EQ(flt_ctrls::aileron_trim_switch_pos, -0.75f);
  EXPECT_FLOAT_EQ(flt_ctrls::rudder_trim_sel_dial_pos, 0.75f);
  hook_flight_controls_aileron_trim_left(nullptr, 2, nullptr);
  hook_flight_controls_rudder_trim_right(nullptr, 2, nullptr);
  update_switch_covers();
  EXPECT_FLOAT_EQ(flt_ctrls::aileron_trim_switch_pos, -0.375f);
  EXPECT_FLOAT_EQ(flt_ctrls::rudder_trim_sel_dial_pos, 0.375f);
}

// The stabiliser trim override guard opens and closes like the other named
// guards, but closing it holds no switch.
TEST_F(CockpitSections, StabTrimOverrideCoverFollowsItsCommand) {
  simhost::set_float("zuvadud/D738/guarded_covers", 0.0f);
  frame_time = 0.025f;  // rate 20: half the way each frame
  stab_trim_overide_cover_target = 0.0f;
  toggle_switch::stab_trim_overide_cover_pos = 0.0f;
  toggle_switch::stab_trim_overide_pos = 1.0f;
  cmd_toggle_switch_stab_trim_overide_cover(nullptr, 0, nullptr);
  EXPECT_EQ(stab_trim_overide_cover_target, 1.0f);
  update_named_covers();
  EXPECT_FLOAT_EQ(toggle_switch::stab_trim_overide_cover_pos, 0.5f);
  update_named_covers();
  EXPECT_FLOAT_EQ(toggle_switch::stab_trim_overide_cover_pos, 0.75f);
  cmd_toggle_switch_stab_trim_overide_cover(nullptr, 0, nullptr);
  for (int i = 0; i < 40; ++i) update_named_covers();
  EXPECT_EQ(toggle_switch::stab_trim_overide_cover_pos, 0.0f);
  EXPECT_EQ(toggle_switch::stab_trim_overide_pos, 0.0f) << "the closed guard puts the switch back to NORM";
}

TEST_F(CockpitSections, ReplayCallouts) {
  frame_time = 0.1f;
  HostMirror& m = host_mirror;
  auto at = [&](float t, float h, float vs) {
    m.sim_time_total_running_time_sec = t;
    m.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = h;
    m.sim_flightmodel_position_vh_ind_fpm = vs;
    update_cockpit_indications();
  };
  at(1.0f, 15.0f, -500.0f);
  EXPECT_EQ(cue_fmod::callouts_10, 1.0f);
  EXPECT_EQ(cue_fmod::callouts_20, 1.0f);
  EXPECT_EQ(cue_fmod::callouts_5, 0.0f);
  at(1.0f, 15.0f, -500.0f);  // time stood still: all clear
  EXPECT_EQ(cue_fmod::callouts_10, 0.0f);
  // Descent through 2500 ft holds the flag down to 2300 ft.
  const float heights[][2] = {{2600, 0}, {2500, 1}, {2400, 1}, {2300, 0}};
  float t = 2.0f;
  for (const auto& h : heights) {
    at(t += 1.0f, h[0], -1000.0f);
    EXPECT_EQ(cue_fmod::callouts_2500, h[1]) << h[0];
  }
  at(t += 1.0f, 2450.0f, -1000.0f);
  at(t += 1.0f, 2700.0f, -1000.0f);
  EXPECT_EQ(cue_fmod::callouts_2500, 1.0f);
  at(t += 1.0f, 2700.0f, 100.0f);  // climbing
  EXPECT_EQ(cue_fmod::callouts_2500, 0.0f);
}

TEST_F(CockpitSections, ReplayFuelLeversAndEngineFlags) {
  HostMirror& m = host_mirror;
  script_mirror.zuvadud_D738_effects_fuelgauge = 0.0f;
  m.sim_flightmodel_weight_m_fuel[0] = 1234.5f;
  m.sim_flightmodel_weight_m_fuel[1] = 50.0f;
  m.sim_flightmodel_weight_m_fuel[2] = 1000.0f;
  m.sim_cockpit2_controls_speedbrake_ratio = 0.5f;
  m.sim_cockpit2_engine_actuators_prop_mode[0] = 3;
  m.sim_cockpit2_engine_actuators_throttle_ratio[0] = 1.0f;
  m.sim_cockpit2_engine_actuators_prop_mode[1] = 1;
  m.sim_cockpit2_switches_landing_lights_switch[12] = 1.0f;
  m.sim_cockpit2_switches_landing_lights_switch[13] = 0.625f;
  engine::indicators_N2_percent_2 = 0.0f;
  update_cockpit_indications();
  EXPECT_EQ(fuel::left_tank_kgs, 1240.0f);
  EXPECT_EQ(fuel::center_tank_kgs, 50.0f);  // as the live gauges read it
  EXPECT_EQ(fuel::center_tank_kgs_c, 50.0f);
  EXPECT_EQ(fuel::total_tank_kgs, 2290.0f);
  EXPECT_NEAR(flt_ctrls::speedbrake_lever, 0.4111f, 1e-4);
  EXPECT_FLOAT_EQ(flt_ctrls::reverse_lever1, 1.0f);
  EXPECT_EQ(flt_ctrls::reverse_lever2, 0.0f);
  EXPECT_FLOAT_EQ(flt_ctrls::reverse_lever12, 0.5f);
  EXPECT_EQ(controls::gear_handle_down, 1.0f);
  EXPECT_EQ(flt_ctrls::flap_lever, 0.625f);
  EXPECT_EQ(engine::eicas_ff2, 0.0f);
  const float ratio_lever[][2] = {{-0.5f, 0.0889f}, {0.0f, 0.0f}, {-0.2f, 0.15f}, {0.99f, 0.667f}, {1.5f, 1.0f}};
  for (const auto& r : ratio_lever) {
    m.sim_cockpit2_controls_speedbrake_ratio = r[0];
    update_cockpit_indications();
    EXPECT_NEAR(flt_ctrls::speedbrake_lever, r[1], 1e-4) << r[0];
  }
}

TEST_F(CockpitSections, VspeedAutoAndSetHysteresis) {
  HostMirror& m = host_mirror;
  toggle_switch::spd_ref = 0.0f;
  script_mirror.zuvadud_D738_pfd_fmc_flap_spd = 2.0f;
  script_mirror.zuvadud_D738_FMS_approach_speed = 140.0f;
  m.sim_cockpit2_gauges_indicators_airspeed_kts_pilot = 195.0f;
  m.sim_cockpit2_gauges_indicators_airspeed_kts_copilot = 190.0f;
  update_pfd_vspeeds();
  EXPECT_EQ(pfd::vspeed_digit_show, 1.0f);
  EXPECT_EQ(pfd::vspeed_ref_show, 1.0f);
  EXPECT_EQ(pfd::vspeed_digit_show_fo, 0.0f);
  EXPECT_EQ(pfd::vspeed, 140.0f);

  toggle_switch::spd_ref = 6.0f;
  on_ground = 0;
  pfd::vspeed_man_vref = 140.0f;
  const float speeds[][2] = {{197, 0}, {197.5f, 1}, {193, 1}, {192.5f, 1}, {191.5f, 0}, {195, 0}};
  for (const auto& s : speeds) {
    m.sim_cockpit2_gauges_indicators_airspeed_kts_pilot = s[0];
    update_pfd_vspeeds();
    EXPECT_EQ(pfd::vspeed_vref_show, s[1]) << s[0];
  }
  // V1 off-scale while V1 exceeds airspeed + 58 before take-off.
  script_mirror.zuvadud_D738_FMS_v1 = 140.0f;
  script_mirror.zuvadud_D738_FMS_flight_phase = 0.0f;
  m.sim_cockpit2_gauges_indicators_airspeed_kts_pilot = 81.0f;
  m.sim_cockpit2_gauges_indicators_airspeed_kts_copilot = 83.0f;
  update_pfd_vspeeds();
  EXPECT_EQ(pfd::v1_off_show, 1.0f);
  EXPECT_EQ(pfd::v1_off_show_fo, 0.0f);
}

TEST_F(CockpitSections, RadioHeightBoxTenSecondsAndRearm) {
  frame_time = 0.5f;
  auto step = [](float agl) {
    script_mirror.zuvadud_D738_PFD_agl_pilot = agl;
    update_radio_alt_dial();
    return pfd::rh_pilot_white_box;
  };
  EXPECT_EQ(step(3000.0f), 0.0f);
  int shown = 0;
  for (int i = 0; i < 40; ++i) shown += step(2000.0f) == 1.0f;
  EXPECT_EQ(shown, 20);  // 10 s at 0.5 s a frame
  EXPECT_EQ(step(2504.0f), 0.0f);
  step(2600.0f);
  EXPECT_EQ(step(2400.0f), 1.0f);
}

TEST_F(CockpitSections, StandbyAltitudeAndDisplayUnits) {
  frame_time = 0.1f;
  gauges::standby_alt_std_mode = 1.0f;
  host_mirror.sim_weather_barometer_current_inhg = 29.92f;
  gauges::standby_altitude_ft = 1000.0f;
  update_standby_alt_du_select();
  EXPECT_NEAR(gauges::standby_altitude_ft, 800.0f, 0.5f);  // lag at rate 2
  for (int i = 0; i < 200; ++i) update_standby_alt_du_select();
  EXPECT_NEAR(gauges::standby_altitude_ft, 0.0f, 0.5f);
  const float sel_codes[][3] = {{-1, -1, 0}, {1, 1, 0}, {2, 2, -1}, {3, 3, 0}};
  for (const auto& c : sel_codes) {
    toggle_switch::main_pnl_du_capt = c[0];
    update_standby_alt_du_select();
    EXPECT_EQ(display_units::idu_cpt, c[1]);
    EXPECT_EQ(display_units::odu_cpt, c[2]);
  }
  toggle_switch::lower_du_capt = 0.0f;
  toggle_switch::lower_du_fo = 1.0f;
  update_standby_alt_du_select();
  EXPECT_EQ(display_units::ldu, 3.0f);
}

}  // namespace
