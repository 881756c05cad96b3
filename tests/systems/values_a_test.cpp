// Published limits of the flight-control, gear, speed-brake, recorder and
// valve lights, the brakes and autobrake, the flaps and trim, and the air
// systems: one table row per threshold with a value on each side of it.
#include <gtest/gtest.h>

#include <cmath>

#include "core/binding.h"
#include "core/bound_mirrors.h"
#include "core/frame.h"
#include "core/preprocess.h"
#include "engines/engine_values.h"
#include "systems/annunciators/annunciator_values.h"
#include "systems/annunciators/annunciators.h"
#include "systems/annunciators/annunciators_controls.h"
#include "systems/delay_timers.h"
#include "systems/electrical/electric_values.h"
#include "systems/fire/fire_values.h"
#include "systems/flight_controls/flight_control_values.h"
#include "systems/hydraulics/hydraulic_values.h"
#include "systems/instruments/instrument_values.h"
#include "systems/switches/switch_values.h"
#include "systems/systems_step_outputs.h"

namespace {

class Lights : public ::testing::Test {
 protected:
  void SetUp() override {
    for (XPLMDataRef& h : bound_handles) h = nullptr;
    host_mirror = HostMirror{};
    script_mirror = ScriptMirror{};
    delay_timers = DelayTimerBank{};
    delay_flags = DelayTimerFlags{};
    ann_levels = {1.0f, 1.0f, 1.0f, 1.0f};
    frame_time = 0.125f;
    on_ground = 0;
    using namespace electric;
    for (float* bus : {&ac_stdbus_status, &ac_tnsbus1_status, &ac_tnsbus2_status, &dc_stdbus_status, &dc_bus1_status,
                       &dc_bus2_status, &batbus_status, &dir_batbus_status, &hot_batbus_status}) {
      *bus = 1.0f;
    }
    hydraulic::A_status = hydraulic::B_status = hydraulic::standby_status = 1.0f;
    hydraulic::standby_on = 0.0f;
    hydraulic::A_pressure = hydraulic::B_pressure = 3000.0f;
    engine::thrust1_leveler = engine::thrust2_leveler = 0.5f;
    cockpit::parking_brake_pos = 0.0f;
    flap_slat_held = 0.0f;
    systems::lost_hyd_B = 0.0f;
    slat_ratio_prev = 0.0f;
    spdbrk = SpeedbrakeLightState{};
    recorder_lights = RecorderLightState{};
    host_mirror.sim_cockpit2_annunciators_yaw_damper = 1;
    host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 2000.0f;
  }
};

TEST_F(Lights, RudderLightsBySwitchAndSource) {
  struct Row {
    float a_sw, b_sw, a, b, stby_on, stby;
    float a_rud, b_rud, stby_rud, std_on;
  } rows[] = {
      {1, 1, 1, 1, 0, 0, 0, 0, 0, 0},   {0, 1, 0, 1, 0, 1, 1, 0, 0, 0},  {1, 0, 1, 0, 0, 1, 0, 1, 0, 0},
      {-1, 1, 0, 1, 0, 0, 0, 0, 1, 1},  {1, -1, 1, 0, 0, 1, 0, 0, 0, 1}, {1, 1, 1, 1, 1, 0, 0, 0, 1, 0},
      {1, 1, 1, 1, 1, 1, 0, 0, 0, 0},
  };
  for (const Row& r : rows) {
    switches::flt_ctr_A_pos = r.a_sw;
    switches::flt_ctr_B_pos = r.b_sw;
    hydraulic::A_status = r.a;
    hydraulic::B_status = r.b;
    hydraulic::standby_on = r.stby_on;
    hydraulic::standby_status = r.stby;
    annunciators_flight_controls();
    const auto why = ::testing::Message() << r.a_sw << " " << r.b_sw << " " << r.a << r.b << r.stby_on << r.stby;
    EXPECT_EQ(annunciator::hyd_A_rud, r.a_rud) << why;
    EXPECT_EQ(annunciator::hyd_B_rud, r.b_rud) << why;
    EXPECT_EQ(annunciator::hyd_stdby_rud, r.stby_rud) << why;
    EXPECT_EQ(annunciator::std_rud_on, r.std_on) << why;
  }
  for (int yd : {0, 1, 2}) {
    host_mirror.sim_cockpit2_annunciators_yaw_damper = yd;
    annunciators_flight_controls();
    EXPECT_EQ(annunciator::yaw_damp, yd == 1 ? 0.0f : 1.0f) << yd;
  }
}

TEST_F(Lights, FeelDifferentialQuarterApartAboveHundredFeet) {
  struct Row {
    float a, b, ra, timer, lit;  // the light is the flag the window's end sets
  } rows[] = {{3000, 2250, 500, 0, 0}, {3000, 2249, 500, 30, 1}, {2249, 3000, 500, 30, 1},
              {3000, 2000, 100, 0, 1}, {3000, 2000, 101, 30, 1}};
  for (const Row& r : rows) {
    hydraulic::A_pressure = r.a;
    hydraulic::B_pressure = r.b;
    host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = r.ra;
    delay_timers.ann_delay_2 = 0.0f;
    delay_flags.ann_delayed_2 = 1.0f;
    annunciators_flight_controls();
    EXPECT_EQ(delay_timers.ann_delay_2, r.timer) << r.a << " " << r.b << " " << r.ra;
    EXPECT_EQ(annunciator::feel_diff_press, r.lit) << r.a << " " << r.b;
  }
  // A running window is not restarted.
  delay_timers.ann_delay_2 = 12.0f;
  annunciators_flight_controls();
  EXPECT_EQ(delay_timers.ann_delay_2, 12.0f);
}

TEST_F(Lights, SlatLightsAtRestExtendingAndRetracting) {
  struct Row {
    float prev, s, ext, transit;
  } rows[] = {
      {0, 0, 0, 0},          {0.5f, 0.5f, 1, 0},      {1, 1, 1, 0},          {0.3f, 0.3f, 0, 1},
      {0.3f, 0.32f, 0, 0},   {0.3f, 0.33f, 0, 1},     {0.4f, 0.5f, 0, 1},    {0.4f, 0.51f, 1, 0},
      {0.7f, 0.82f, 1, 0},   {0.7f, 0.83f, 0, 1},     {0.9f, 0.68f, 1, 0},   {0.9f, 0.67f, 0, 1},
      {0.6f, 0.5f, 0, 1},    {0.6f, 0.49f, 1, 0},     {0.3f, 0.18f, 1, 0},   {0.3f, 0.17f, 0, 1},
  };
  for (const Row& r : rows) {
    slat_ratio_prev = r.prev;
    host_mirror.sim_flightmodel2_controls_slat2_deploy_ratio = r.s;
    annunciators_flight_controls();
    EXPECT_EQ(annunciator::slats_extend, r.ext) << r.prev << " -> " << r.s;
    EXPECT_EQ(annunciator::slats_transit, r.transit) << r.prev << " -> " << r.s;
    EXPECT_EQ(slat_ratio_prev, r.s);
  }
  struct Fail {
    float dc1, held, lost_b, ra, lit;
  } fails[] = {{0, 0, 0, 0, 1}, {1, 0, 1, 100, 0}, {1, 1, 1, 0, 1}, {1, 1, 0, 50, 0}, {1, 1, 0, 51, 1}};
  for (const Fail& f : fails) {
    electric::dc_bus1_status = f.dc1;
    flap_slat_held = f.held;
    systems::lost_hyd_B = f.lost_b;
    host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = f.ra;
    annunciators_flight_controls();
    EXPECT_EQ(annunciator::auto_slat_fail, f.lit) << f.dc1 << f.held << f.lost_b << " " << f.ra;
  }
}

TEST_F(Lights, TakeoffConfigurationNeedsStillFlapsNoSpoilersNoParkingBrake) {
  on_ground = 1;
  engine::thrust1_leveler = 0.6f;
  struct Row {
    float deploy, request, spoilers, park;
    int mode2;
    float batbus, warn, published;
  } rows[] = {{0.25f, 0.25f, 0, 0, 1, 1, 0, 0},  {0.25f, 0.375f, 0, 0, 1, 1, 1, 1}, {0.25f, 0.25f, 0.01f, 0, 1, 1, 1, 1},
              {0.25f, 0.25f, 0, 1, 1, 1, 1, 1},  {0, 0, 0, 0, 3, 1, 0, 0},          {0, 0, 0, 0, 1, 0, 1, 0}};
  for (const Row& r : rows) {
    host_mirror.sim_cockpit2_controls_flap_handle_deploy_ratio = r.deploy;
    host_mirror.sim_cockpit2_controls_flap_ratio = r.request;
    host_mirror.sim_cockpit2_controls_speedbrake_ratio = r.spoilers;
    cockpit::parking_brake_pos = r.park;
    host_mirror.sim_cockpit2_engine_actuators_prop_mode[1] = r.mode2;
    electric::batbus_status = r.batbus;
    annunciators_flight_controls();
    EXPECT_EQ(annunciator::takeoff_config, r.warn) << r.request << " " << r.spoilers << " " << r.park << " " << r.mode2;
    EXPECT_EQ(system_::takeoff_config_warn, r.published) << r.batbus;
  }
}

TEST_F(Lights, GearLightsSafeTransitCollapseAndGround) {
  struct Row {
    int ground;
    float handle, ratio;
    int collapse;
    float transit, safe;
  } rows[] = {
      {0, 1, 0.5f, 0, 1, 0},   {0, 1, 1, 0, 0, 1},  {0, 0.5f, 0, 0, 0, 0},  {0, 0.7f, 0.5f, 0, 1, 0},
      {0, 1, 1, 6, 1, 0},      {1, 0.9f, 1, 0, 1, 1}, {1, 1, 1, 0, 0, 1},
  };
  for (const Row& r : rows) {
    on_ground = r.ground;
    controls::gear_handle_down = r.handle;
    host_mirror.sim_flightmodel2_gear_deploy_ratio[2] = r.ratio;
    host_mirror.sim_operation_failures_rel_collapse3 = r.collapse;
    annunciators_gear_flight();
    const auto why = ::testing::Message() << r.ground << " " << r.handle << " " << r.ratio << " " << r.collapse;
    EXPECT_EQ(annunciator::right_gear_transit, r.transit) << why;
    EXPECT_EQ(annunciator::right_gear_safe, r.safe) << why;
  }
}

TEST_F(Lights, SpeedBrakeLandingSequence) {
  hydraulic::A_status = hydraulic::B_status = 1.0f;
  flt_ctrls::speedbrake_lever = 0.0889f;
  // Airborne above 150 ft the armed lever lights ARMED.
  annunciators_gear_flight();
  EXPECT_EQ(annunciator::speedbrake_armed, 1.0f);
  flt_ctrls::speedbrake_lever = 0.04f;
  annunciators_gear_flight();
  EXPECT_EQ(annunciator::speedbrake_armed, 0.0f);
  flt_ctrls::speedbrake_lever = 0.0889f;
  annunciators_gear_flight();
  // Touchdown at 60 m/s: the do-not-arm light flashes for 0.3 s.
  host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 0.0f;
  host_mirror.sim_flightmodel_position_groundspeed = 60.0f;
  on_ground = 1;
  annunciators_gear_flight();
  EXPECT_EQ(spdbrk.phase, 1.0f);
  EXPECT_EQ(annunciator::spd_brk_not_arm, 1.0f);
  EXPECT_EQ(annunciator::speedbrake_armed, 1.0f);
  EXPECT_NEAR(delay_timers.ann_delay_3, 0.3f, 1e-6f);
  // Rollout: at 30.9 m/s still landing; below it, rollout with the light
  // steady while the lever is out.
  delay_flags.ann_delayed_3 = 0.0f;
  host_mirror.sim_flightmodel_position_groundspeed = 30.9f;
  annunciators_gear_flight();
  EXPECT_EQ(spdbrk.phase, 1.0f);
  EXPECT_EQ(annunciator::spd_brk_not_arm, 0.0f);
  host_mirror.sim_flightmodel_position_groundspeed = 30.8f;
  annunciators_gear_flight();
  EXPECT_EQ(spdbrk.phase, 2.0f);
  EXPECT_EQ(annunciator::spd_brk_not_arm, 1.0f);
  EXPECT_EQ(annunciator::speedbrake_armed, 0.0f);
  // Rolling on to 2 m/s keeps it; below 2 m/s both go dark.
  host_mirror.sim_flightmodel_position_groundspeed = 2.0f;
  annunciators_gear_flight();
  EXPECT_EQ(annunciator::spd_brk_not_arm, 1.0f);
  host_mirror.sim_flightmodel_position_groundspeed = 1.9f;
  annunciators_gear_flight();
  EXPECT_EQ(annunciator::spd_brk_not_arm, 0.0f);
  // Stowing the lever ends the sequence in phase 3.
  host_mirror.sim_flightmodel_position_groundspeed = 10.0f;
  flt_ctrls::speedbrake_lever = 0.0f;
  annunciators_gear_flight();
  EXPECT_EQ(spdbrk.phase, 3.0f);
  // Airborne with both systems lost, an armed lever is not armed.
  on_ground = 0;
  host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 151.0f;
  flt_ctrls::speedbrake_lever = 0.0889f;
  hydraulic::A_status = hydraulic::B_status = 0.0f;
  annunciators_gear_flight();
  EXPECT_EQ(spdbrk.phase, 0.0f);
  EXPECT_EQ(annunciator::speedbrake_armed, 0.0f);
  EXPECT_EQ(annunciator::spd_brk_not_arm, 1.0f);
  hydraulic::B_status = 1.0f;
  annunciators_gear_flight();
  EXPECT_EQ(annunciator::speedbrake_armed, 1.0f);
  EXPECT_EQ(annunciator::spd_brk_not_arm, 0.0f);
}

TEST_F(Lights, DisconnectAndBelowGlideslopeLights) {
  struct Row {
    float test1, test2, ap, at, fms;
    float ap1, ap2, at1, at2, fms1, fms2;
  } rows[] = {{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},  {1, 0, 0, 0, 0, 1, 0, 1, 0, 1, 0}, {0, -1, 0, 0, 0, 0, 1, 0, 1, 0, 1},
              {0.5f, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 1, 0, 0, 1, 1, 0, 0, 0, 0}, {0, 0, 0, 1, 0, 0, 0, 1, 1, 0, 0},
              {0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 1}};
  for (const Row& r : rows) {
    toggle_switch::ap_discon_test1 = r.test1;
    toggle_switch::ap_discon_test2 = r.test2;
    script_mirror.zuvadud_D738_annunciator_ap_disconnect = r.ap;
    script_mirror.zuvadud_D738_annunciator_at_disconnect = r.at;
    script_mirror.zuvadud_D738_fmc_fmc_message_warn = r.fms;
    annunciators_gear_flight();
    const auto why = ::testing::Message() << r.test1 << r.test2 << r.ap << r.at << r.fms;
    EXPECT_EQ(annunciator::ap_disconnect1, r.ap1) << why;
    EXPECT_EQ(annunciator::ap_disconnect2, r.ap2) << why;
    EXPECT_EQ(annunciator::at_disconnect1, r.at1) << why;
    EXPECT_EQ(annunciator::at_disconnect2, r.at2) << why;
    EXPECT_EQ(annunciator::at_fms_disconnect1, r.fms1) << why;
    EXPECT_EQ(annunciator::at_fms_disconnect2, r.fms2) << why;
  }
  struct Gs {
    float pilot, copilot, script, lit;
  } gs[] = {{0, 0, 0, 0}, {1, 0, 0, 1}, {0, 1, 0, 1}, {0, 0, 1.7f, 1}, {0, 0, 0.9f, 0}};
  for (const Gs& g : gs) {
    push_button::below_gs_pilot_pos = g.pilot;
    push_button::below_gs_copilot_pos = g.copilot;
    system_::below_gs_annun = g.script;
    annunciators_gear_flight();
    EXPECT_EQ(annunciator::below_gs, g.lit) << g.pilot << g.copilot << " " << g.script;
  }
}

TEST_F(Lights, FuelValveAndRamDoorLightsByPosition) {
  // A valve closes in 2 s: dim while shut, bright in transit, dark open.
  engine::mixture_ratio1 = 1.0f;
  fire::engine01_ext_switch_pos_arm = 0.0f;
  engine::eng1_valve = 0.0f;
  for (int i = 1; i <= 16; ++i) {
    annunciators_fuel_valves();
    EXPECT_EQ(annunciator::eng1_valve_closed, i < 16 ? 1.0f : 0.0f) << i << " " << engine::eng1_valve;
  }
  struct Row {
    float mixture, fire_sw, bus, lit;
  } rows[] = {{0.5f, 0, 1, 0.3f}, {0.51f, 1, 1, 0.3f}, {0.51f, 0, 0, 0.3f}};
  for (const Row& r : rows) {
    engine::mixture_ratio1 = r.mixture;
    fire::engine01_ext_switch_pos_arm = r.fire_sw;
    electric::dir_batbus_status = r.bus;
    for (int i = 0; i < 17; ++i) annunciators_fuel_valves();
    EXPECT_NEAR(annunciator::eng1_valve_closed, r.lit, 1e-6f) << r.mixture << " " << r.fire_sw << " " << r.bus;
    engine::eng1_valve = 1.0f;
  }
  struct Door {
    float pos, light, annun;
  } doors[] = {{0.049f, 0, 0}, {0.05f, 1, 1}, {0.95f, 1, 1}, {0.951f, 0.3f, 0.5f}};
  for (const Door& d : doors) {
    cockpit::ram_door1 = d.pos;
    annunciators_fuel_valves();
    EXPECT_NEAR(annunciator::ram_door_open1, d.light, 1e-6f) << d.pos;
    EXPECT_NEAR(annunciator::ram_door_open1_annun, d.annun, 1e-6f) << d.pos;
  }
}

TEST_F(Lights, RecorderAutoFailAndStabilizerOutOfTrim) {
  struct Fdr {
    int ground;
    float n2, load, test_sw, tns1, off;
  } fdrs[] = {{1, 49.9f, 5, 0, 1, 1}, {1, 50, 5, 0, 1, 0}, {1, 49.9f, 5, 1, 1, 0}, {0, 0, 0.3f, 0, 1, 0},
              {0, 0, 0.29f, 0, 1, 1}, {0, 60, 5, 1, 0, 1}, {2, 0, 0.1f, 0, 1, 0}};
  for (const Fdr& f : fdrs) {
    host_mirror.sim_flightmodel_failures_onground_all = f.ground;
    host_mirror.sim_flightmodel2_engines_N2_percent[0] = host_mirror.sim_flightmodel2_engines_N2_percent[1] = f.n2;
    host_mirror.sim_cockpit2_electrical_bus_load_amps[0] = f.load;
    switches::fdr_pos = f.test_sw;
    electric::ac_tnsbus1_status = f.tns1;
    annunciators_recorders();
    EXPECT_EQ(annunciator::fdr_off, f.off) << f.ground << " " << f.n2 << " " << f.load << " " << f.test_sw << f.tns1;
  }
  struct Auto {
    float sel, mode, diff, cabin_alt, vvi, fail;
  } autos[] = {{0, 1, 8.75f, 15800, 3000, 0}, {0, 2, 0, 0, 0, 1},      {1, 2, 0, 0, -3000, 0}, {1, 1, 0, 0, 0, 1},
               {2, 3, 0, 0, 0, 0},             {2, 0, 0, 0, 0, 1},      {2, 3, 8.76f, 0, 0, 1}, {2, 3, 0, 15801, 0, 1},
               {2, 3, 0, 0, -3001, 1}};
  for (const Auto& a : autos) {
    toggle_switch::air_valve_ctrl = a.sel;
    cockpit::pressurization_mode = a.mode;
    host_mirror.sim_cockpit_pressure_cabin_pressure_differential_psi = a.diff;
    cockpit::cabin_altitude_actual = a.cabin_alt;
    cockpit::cabin_vvi = a.vvi;
    annunciators_recorders();
    EXPECT_EQ(annunciator::autofail, a.fail) << a.sel << " " << a.mode << " " << a.diff << " " << a.cabin_alt << " " << a.vvi;
  }
  struct Trim {
    float ap, trim, lit;
  } trims[] = {{1, -0.958f, 1}, {1, -0.957f, 0}, {1, 0.702f, 1}, {1, 0.701f, 0}, {0, 0.9f, 0}};
  for (const Trim& t : trims) {
    script_mirror.zuvadud_autopilot_ap_on = t.ap;
    host_mirror.sim_cockpit2_controls_elevator_trim = t.trim;
    annunciators_recorders();
    EXPECT_EQ(annunciator::stab_out_of_trim, t.lit) << t.ap << " " << t.trim;
  }
}

TEST_F(Lights, VoiceRecorderRunsOnFiveMinutesAfterShutdown) {
  host_mirror.sim_flightmodel2_engines_engine_is_burning_fuel[0] = 1;
  host_mirror.sim_flightmodel2_engines_N2_percent[0] = 60.0f;
  host_mirror.sim_flightmodel_engine_ENGN_running[0] = 1;
  toggle_switch::vcr = 1.0f;
  annunciators_recorders();
  EXPECT_EQ(toggle_switch::vcr, 0.0f);  // returned once at the first start
  EXPECT_EQ(recorder_lights.cvr_state, 2);
  EXPECT_EQ(annunciator::cvr, 1.0f);
  toggle_switch::vcr = 1.0f;
  annunciators_recorders();
  EXPECT_EQ(toggle_switch::vcr, 1.0f);
  toggle_switch::vcr = 0.0f;
  host_mirror.sim_flightmodel2_engines_engine_is_burning_fuel[0] = 0;
  host_mirror.sim_flightmodel_engine_ENGN_running[0] = 0;
  annunciators_recorders();
  EXPECT_EQ(recorder_lights.cvr_run_timer, 300.0f - 0.125f);
  frame_time = 299.75f;
  annunciators_recorders();
  EXPECT_EQ(annunciator::cvr, 1.0f);
  EXPECT_EQ(recorder_lights.cvr_run_timer, 0.125f);
  annunciators_recorders();
  EXPECT_EQ(recorder_lights.cvr_run_timer, 0.0f);
  annunciators_recorders();
  EXPECT_EQ(annunciator::cvr, 0.0f);
  EXPECT_EQ(recorder_lights.cvr_state, 0);
  // The switch at 1 lights it on either of its buses.
  toggle_switch::vcr = 1.0f;
  electric::dc_bus2_status = 0.0f;
  annunciators_recorders();
  EXPECT_EQ(annunciator::cvr, 1.0f);
  electric::ac_tnsbus2_status = 0.0f;
  annunciators_recorders();
  EXPECT_EQ(annunciator::cvr, 0.0f);
}

}  // namespace
