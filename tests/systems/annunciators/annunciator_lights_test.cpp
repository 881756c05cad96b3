// Light equations of the annunciator pass, each group driven on its own with
// the brightness levels at 1: fuel pumps, slats, takeoff configuration, gear,
// speedbrake, fuel valves and ram doors, voice recorder, anti-ice valves; and
// the limits of the warning lights, a value on each side of each: takeoff
// configuration, voice recorder, window overheat, extinguisher circuits, packs
// and exit lights, hydraulic low pressure, FADEC and reversers, speed brake and
// gear.
#include <gtest/gtest.h>

#include "core/binding.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "core/variant.h"
#include "engines/engine_values.h"
#include "lnav/steering/servo_laws.h"
#include "systems/air/air_values.h"
#include "systems/air/pressurisation.h"
#include "systems/annunciators/annunciator_values.h"
#include "systems/annunciators/annunciators.h"
#include "systems/annunciators/annunciators_controls.h"
#include "systems/annunciators/annunciators_panels.h"
#include "systems/delay_timers.h"
#include "systems/electrical/electric_values.h"
#include "systems/fire/fire_values.h"
#include "systems/flight_controls/flight_control_values.h"
#include "systems/fuel/fuel_pump_lights.h"
#include "systems/fuel/fuel_values.h"
#include "systems/hydraulics/hydraulic_values.h"
#include "systems/hydraulics/hydraulics.h"
#include "systems/ice_rain/ice_values.h"
#include "systems/instruments/instrument_values.h"
#include "systems/radios/mic_select.h"
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
    ann_state = AnnunciatorState{};
    fuel_pump_lights = FuelPumpLightState{};
    spdbrk = SpeedbrakeLightState{};
    recorder_lights = RecorderLightState{};
    slat_ratio_prev = slat1_ratio_prev = 0.0f;
    ann_levels = {1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f};
    frame_time = 0.1f;
    on_ground = 1;
    electric::ac_tnsbus1_status = electric::ac_tnsbus2_status = 1.0f;
    electric::dc_bus1_status = electric::dc_bus2_status = 1.0f;
    electric::batbus_status = electric::hot_batbus_status = electric::dir_batbus_status = 1.0f;
    hydraulic::A_status = hydraulic::B_status = 1.0f;
    for (float& q : host_mirror.sim_cockpit2_fuel_fuel_quantity) q = 3000.0f;
    fuel::fuel_tank_pos_lft1 = fuel::fuel_tank_pos_lft2 = fuel::fuel_tank_pos_ctr1 = fuel::fuel_tank_pos_ctr2 = 1.0f;
    fuel::fuel_tank_pos_rgt1 = fuel::fuel_tank_pos_rgt2 = 1.0f;
  }
};

TEST_F(Lights, UnusableFuelFromPitchEmptiesTanksEarly) {
  host_mirror.sim_flightmodel_position_theta = 13.0f;
  for (int i = 0; i < 200; ++i) annunciators_electrical();
  // U settles at 225 kg: the left tank counts as empty at 112.5 kg, the
  // centre tank at 225 kg, the right tank's pump 2 at 225 kg.
  struct Case {
    int tank;
    float kg;
    float* light;
    float lit;
  };
  const Case cases[] = {
      {0, 112.6f, &annunciator::low_fuel_press_l1, 0.0f}, {0, 112.4f, &annunciator::low_fuel_press_l1, 1.0f},
      {1, 225.1f, &annunciator::low_fuel_press_c1, 0.0f}, {1, 224.9f, &annunciator::low_fuel_press_c1, 1.0f},
      {2, 224.9f, &annunciator::low_fuel_press_r2, 1.0f}, {2, 224.9f, &annunciator::low_fuel_press_r1, 0.0f},
  };
  for (const Case& c : cases) {
    for (float& q : host_mirror.sim_cockpit2_fuel_fuel_quantity) q = 3000.0f;
    host_mirror.sim_cockpit2_fuel_fuel_quantity[c.tank] = c.kg;
    annunciators_electrical();
    EXPECT_EQ(*c.light, c.lit) << c.tank << " " << c.kg;
  }
}

TEST_F(Lights, WingPumpOffLightsAfterItsFilterPasses095) {
  for (int i = 0; i < 20; ++i) annunciators_electrical();
  EXPECT_EQ(annunciator::low_fuel_press_l1, 0.0f);
  fuel::fuel_tank_pos_lft1 = 0.0f;
  frame_time = 0.02f;
  int frames = 0;
  while (annunciator::low_fuel_press_l1 == 0.0f && frames < 50) {
    annunciators_electrical();
    ++frames;
  }
  EXPECT_EQ(frames, 29);  // 0.58 s at rate 5
  EXPECT_EQ(ann_state.six_pack[sp_fuel].slot[0], 0) << "one left pump alone does not reach the six-pack";
}

TEST_F(Lights, CentrePumpShutsOffSixteenSecondsAfterItsLightComesOn) {
  script_mirror.zuvadud_D738_ctr_fuel_pump_auto = 1.0f;
  frame_time = 0.5f;
  for (int i = 0; i < 20; ++i) annunciators_electrical();  // run filter reaches 1
  host_mirror.sim_cockpit2_fuel_fuel_quantity[1] = 0.0f;   // centre tank empty
  int frames = 0;
  while (fuel_pump_lights.ctr_pump_auto_off[0] == 0 && frames < 100) {
    annunciators_electrical();
    ++frames;
  }
  EXPECT_EQ(frames, 33);  // armed in the first lit frame, 16 s later
  EXPECT_EQ(annunciator::low_fuel_press_c1, 1.0f);
  EXPECT_EQ(ann_state.six_pack[sp_fuel].slot[4], 1) << "lit for 10 s";
  fuel::fuel_tank_pos_ctr1 = 0.0f;
  annunciators_electrical();
  EXPECT_EQ(annunciator::low_fuel_press_c1, 0.0f);
  EXPECT_EQ(fuel_pump_lights.ctr_pump_auto_off[0], 0);
}

TEST_F(Lights, SlatLightsThroughTheTravel) {
  // Both devices together; te the trailing edge flaps (flaps 2, then 15).
  struct Step {
    float slat, te, ext, transit;
  };
  const Step steps[] = {
      {0.0f, 0, 0, 0},     {0.2f, 0.25f, 0, 1},  {0.4f, 0.25f, 0, 1},  {0.5f, 0.25f, 0, 1},
      {0.5f, 0.25f, 1, 0},                                                   // extending to 0.5, at rest
      {0.7f, 0.625f, 0, 1}, {0.9f, 0.625f, 0, 1}, {1.0f, 0.625f, 0, 1}, {1.0f, 0.625f, 1, 0},  // on to full
      {0.6f, 0.25f, 0, 1}, {0.4f, 0.25f, 0, 1},  {0.1f, 0.25f, 0, 1},  {0.1f, 0.25f, 0, 1},  // back, stopped at 0.1
      {0.0f, 0, 0, 1},     {0.0f, 0, 0, 0},                                  // retracted
  };
  for (const Step& s : steps) {
    host_mirror.sim_cockpit2_controls_flap_handle_deploy_ratio = s.te;
    host_mirror.sim_flightmodel2_controls_slat1_deploy_ratio = s.slat;
    host_mirror.sim_flightmodel2_controls_slat2_deploy_ratio = s.slat;
    annunciators_flight_controls();
    EXPECT_EQ(annunciator::slats_extend, s.ext) << s.slat;
    EXPECT_EQ(annunciator::slats_transit, s.transit) << s.slat;
  }
}

TEST_F(Lights, TakeoffConfigurationWarning) {
  struct Case {
    const char* what;
    float deploy, request, trim, speedbrake, park;
    int reverser;
    float lever, warn;
  };
  const Case cases[] = {
      {"good", 0.25f, 0.25f, 0.0f, 0.0f, 0.0f, 1, 0.6f, 0},
      {"flaps up", 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1, 0.6f, 1},
      {"flaps too far", 0.8f, 0.8f, 0.0f, 0.0f, 0.0f, 1, 0.6f, 1},
      {"flaps moving", 0.25f, 0.375f, 0.0f, 0.0f, 0.0f, 1, 0.6f, 1},
      {"trim 0.1", 0.25f, 0.25f, 0.1f, 0.0f, 0.0f, 1, 0.6f, 1},
      {"speedbrake out", 0.25f, 0.25f, 0.0f, 0.01f, 0.0f, 1, 0.6f, 1},
      {"parking brake", 0.25f, 0.25f, 0.0f, 0.0f, 1.0f, 1, 0.6f, 1},
      {"reverse", 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 3, 0.6f, 0},
      {"levers at 0.5", 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1, 0.5f, 0},
  };
  for (const Case& c : cases) {
    host_mirror.sim_cockpit2_controls_flap_handle_deploy_ratio = c.deploy;
    host_mirror.sim_cockpit2_controls_flap_ratio = c.request;
    host_mirror.sim_cockpit2_controls_elevator_trim = c.trim;
    host_mirror.sim_cockpit2_controls_speedbrake_ratio = c.speedbrake;
    cockpit::parking_brake_pos = c.park;
    host_mirror.sim_cockpit2_engine_actuators_prop_mode[0] = c.reverser;
    engine::thrust1_leveler = c.lever;
    engine::thrust2_leveler = 0.0f;
    annunciators_flight_controls();
    EXPECT_EQ(annunciator::takeoff_config, c.warn) << c.what;
    EXPECT_EQ(system_::takeoff_config_warn, c.warn) << c.what;
  }
}

TEST_F(Lights, GearLights) {
  struct Case {
    const char* what;
    float handle, ratio, ra_ft, lever;
    int ground;
    float transit, safe;
  };
  const Case cases[] = {
      {"down and locked", 1.0f, 1.0f, 2000.0f, 0.5f, 0, 0, 1},
      {"travelling down", 1.0f, 0.5f, 2000.0f, 0.5f, 0, 1, 0},
      {"up and locked", 0.0f, 0.0f, 2000.0f, 0.5f, 0, 0, 0},
      {"handle up on the ground", 0.0f, 1.0f, 0.0f, 0.5f, 1, 1, 1},
      {"gear warning, lever closed low", 0.5f, 0.0f, 700.0f, 0.0f, 0, 1, 0},
  };
  for (const Case& c : cases) {
    controls::gear_handle_down = c.handle;
    for (float& r : host_mirror.sim_flightmodel2_gear_deploy_ratio) r = c.ratio;
    host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = c.ra_ft;
    engine::thrust1_leveler = engine::thrust2_leveler = c.lever;
    on_ground = c.ground;
    annunciators_gear_flight();
    EXPECT_EQ(annunciator::left_gear_transit, c.transit) << c.what;
    EXPECT_EQ(annunciator::left_gear_safe, c.safe) << c.what;
  }
}

TEST_F(Lights, SpeedbrakeDoNotArmFlashesAtTouchdown) {
  flt_ctrls::speedbrake_lever = 0.05f;  // armed
  on_ground = 0;
  host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 500.0f;
  host_mirror.sim_flightmodel_position_groundspeed = 70.0f;
  annunciators_gear_flight();
  EXPECT_EQ(annunciator::speedbrake_armed, 1.0f);
  on_ground = 1;
  host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 0.0f;
  annunciators_gear_flight();
  EXPECT_EQ(annunciator::spd_brk_not_arm, 1.0f) << "the touchdown flash";
  for (int i = 0; i < 4; ++i) update_annunciator_timers();  // past 0.3 s
  annunciators_gear_flight();
  EXPECT_EQ(annunciator::spd_brk_not_arm, 0.0f);
  host_mirror.sim_flightmodel_position_groundspeed = 30.0f;  // slow, lever not stowed
  annunciators_gear_flight();
  EXPECT_EQ(annunciator::spd_brk_not_arm, 1.0f);
  flt_ctrls::speedbrake_lever = 0.0f;
  annunciators_gear_flight();
  EXPECT_EQ(spdbrk.phase, 3.0f);
  EXPECT_EQ(annunciator::spd_brk_not_arm, 0.0f);
}

TEST_F(Lights, FuelValvesTravelTwoSecondsAndLightDimBrightDark) {
  engine::mixture_ratio1 = 1.0f;
  engine::spar1_valve = 0.0f;
  annunciators_fuel_valves();
  EXPECT_FLOAT_EQ(engine::spar1_valve, 0.05f);
  EXPECT_EQ(annunciator::spar1_valve_closed, 1.0f) << "moving: bright";
  for (int i = 0; i < 20; ++i) annunciators_fuel_valves();
  EXPECT_EQ(engine::spar1_valve, 1.0f);
  EXPECT_EQ(annunciator::spar1_valve_closed, 0.0f) << "open: dark";
  fire::engine01_ext_switch_pos_arm = 1.0f;  // a pulled fire switch closes both valves
  for (int i = 0; i < 21; ++i) annunciators_fuel_valves();
  EXPECT_EQ(engine::spar1_valve, 0.0f);
  EXPECT_EQ(engine::eng1_valve, 0.0f);
  EXPECT_FLOAT_EQ(annunciator::spar1_valve_closed, 0.3f) << "closed: dim";
  electric::batbus_status = 0.0f;
  annunciators_fuel_valves();
  EXPECT_EQ(annunciator::spar1_valve_closed, 0.0f);
  fire::engine01_ext_switch_pos_arm = 0.0f;
  cockpit::ram_door1 = 1.0f;
  annunciators_fuel_valves();
  EXPECT_FLOAT_EQ(annunciator::ram_door_open1, 0.3f);
  EXPECT_FLOAT_EQ(annunciator::ram_door_open1_annun, 0.5f);
}

TEST_F(Lights, VoiceRecorderRunsOnFiveMinutesAfterShutdown) {
  toggle_switch::vcr = 1.0f;
  host_mirror.sim_flightmodel2_engines_engine_is_burning_fuel[0] = 1;
  host_mirror.sim_flightmodel2_engines_N2_percent[0] = 60.0f;
  annunciators_recorders();
  EXPECT_EQ(toggle_switch::vcr, 0.0f) << "the switch returns at the first engine start";
  EXPECT_EQ(annunciator::cvr, 1.0f);
  host_mirror.sim_flightmodel_engine_ENGN_running[0] = 1;
  annunciators_recorders();
  host_mirror.sim_flightmodel2_engines_engine_is_burning_fuel[0] = 0;
  host_mirror.sim_flightmodel_engine_ENGN_running[0] = 0;
  annunciators_recorders();
  EXPECT_EQ(recorder_lights.cvr_run_timer, 299.9f);
  frame_time = 0.5f;
  for (int i = 0; i < 600; ++i) annunciators_recorders();
  EXPECT_EQ(annunciator::cvr, 1.0f) << "still lit with 0.4 s left at the start of the frame";
  annunciators_recorders();
  EXPECT_EQ(annunciator::cvr, 0.0f);
}

TEST_F(Lights, CrossfeedCabinAltitudeXraasDuctTestAndBleedTrip) {
  overhead_lights = OverheadLightState{};
  press_ctrl = PressController{};
  ann_levels.l1 = 0.8f;  // L0 stays 1
  // Crossfeed: bright while the valve moves, dim when it is fully open.
  const float xfeed[][3] = {{0.5f, 0.8f, 1.0f}, {1.0f, 0.24f, 0.5f}, {0.01f, 0.0f, 0.0f}};
  for (const auto& c : xfeed) {
    fuel::cross_feed_valve = c[0];
    annunciators_cabin_bleed();
    EXPECT_FLOAT_EQ(annunciator::crossfeed, c[1]) << c[0];
    EXPECT_FLOAT_EQ(annunciator::crossfeed_annun, c[2]) << c[0];
  }
  // Cabin altitude: above 10,000 ft, or 15,000 ft with the high-altitude landing option in use.
  cockpit::cabin_alt = 10001.0f;
  annunciators_cabin_bleed();
  EXPECT_FLOAT_EQ(annunciator::cabin_alt, 0.8f);
  EXPECT_EQ(ann_state.six_pack[sp_air_cond].slot[6], 1);
  cockpit_options.high_alt_ldg = 1.0f;
  system_::high_alt_ldg_on = 1.0f;
  annunciators_cabin_bleed();
  EXPECT_EQ(annunciator::cabin_alt, 0.0f);
  EXPECT_FLOAT_EQ(annunciator::high_alt_ldg, 0.8f);
  cockpit_options.high_alt_ldg = 0.0f;
  system_::high_alt_ldg_on = 0.0f;
  // XRAAS lights INOP when the add-on is absent.
  cockpit::xraas_installed = 0.0f;
  annunciators_cabin_bleed();
  EXPECT_FLOAT_EQ(annunciator::xraas, 0.8f);
  cockpit::xraas_installed = 1.0f;
  toggle_switch::gpws_xraas_pos = 0.0f;
  annunciators_cabin_bleed();
  EXPECT_EQ(annunciator::xraas, 0.0f);
  // The duct overheat test lights the wing-body lights 3 s into it.
  push_button::duct_ovht_test_pos = 1.0f;
  frame_time = 0.5f;
  for (int i = 0; i < 5; ++i) {  // 2.5 s
    annunciators_cabin_bleed();
    update_annunciator_timers();
  }
  annunciators_cabin_bleed();
  EXPECT_EQ(annunciator::wing_body_ovht_left, 0.0f);
  update_annunciator_timers();
  annunciators_cabin_bleed();
  EXPECT_FLOAT_EQ(annunciator::wing_body_ovht_left, 0.8f);
  push_button::duct_ovht_test_pos = 0.0f;
  annunciators_cabin_bleed();
  EXPECT_EQ(annunciator::wing_body_ovht_right, 0.0f);
  // Bleed trip: a hot duct latches it until the reset clears the latch.
  bleed_duct_value[1] = 255.0f;
  annunciators_cabin_bleed();
  bleed_duct_value[1] = 100.0f;
  annunciators_cabin_bleed();
  EXPECT_EQ(annunciator::bleed_trip_1, 0.0f);
  EXPECT_FLOAT_EQ(annunciator::bleed_trip_2, 0.8f);
  EXPECT_EQ(ann_state.six_pack[sp_air_cond].slot[3], 1);
  host_mirror.sim_cockpit_warnings_annunciators_bleed_air_fail[0] = 6;
  annunciators_cabin_bleed();
  EXPECT_FLOAT_EQ(annunciator::bleed_trip_1, 0.8f);
  bleed_duct_value[1] = 0.0f;
}

TEST_F(Lights, FlightRecorderAutoFailAndStabOutOfTrim) {
  // FDR OFF on the ground below 50 % N2; the test switch darkens it there only.
  host_mirror.sim_flightmodel_failures_onground_all = 1;
  host_mirror.sim_cockpit2_electrical_bus_load_amps[0] = 10.0f;
  annunciators_recorders();
  EXPECT_EQ(annunciator::fdr_off, 1.0f);
  EXPECT_EQ(ann_state.six_pack[sp_overhead].slot[1], 1);
  switches::fdr_pos = 1.0f;
  annunciators_recorders();
  EXPECT_EQ(annunciator::fdr_off, 0.0f);
  electric::dir_batbus_status = 0.0f;
  annunciators_recorders();
  EXPECT_EQ(annunciator::fdr_off, 1.0f) << "the test needs its power";
  electric::dir_batbus_status = 1.0f;
  host_mirror.sim_flightmodel_failures_onground_all = 0;  // airborne: power and bus load only
  annunciators_recorders();
  EXPECT_EQ(annunciator::fdr_off, 0.0f);
  host_mirror.sim_cockpit2_electrical_bus_load_amps[0] = 0.2f;
  annunciators_recorders();
  EXPECT_EQ(annunciator::fdr_off, 1.0f);
  switches::fdr_pos = 0.0f;
  // AUTO FAIL: the selected channel must be the one running, and the limits hold.
  struct Case {
    float selector, channel, diff, cabin_alt, vvi;
    float lit;
  };
  const Case cases[] = {
      {0, 2, 0, 0, 0, 1},    {1, 2, 0, 0, 0, 0},    {0, 1, 0, 0, 0, 0},    {2, 3, 0, 0, 0, 0},
      {2, 0, 0, 0, 0, 1},    {0, 1, 8.8f, 0, 0, 1}, {0, 1, 0, 15801, 0, 1}, {0, 1, 0, 0, -3001, 1},
  };
  for (const Case& c : cases) {
    toggle_switch::air_valve_ctrl = c.selector;
    cockpit::pressurization_mode = c.channel;
    host_mirror.sim_cockpit_pressure_cabin_pressure_differential_psi = c.diff;
    cockpit::cabin_altitude_actual = c.cabin_alt;
    cockpit::cabin_vvi = c.vvi;
    annunciators_recorders();
    EXPECT_EQ(annunciator::autofail, c.lit) << c.selector << " " << c.channel << " " << c.diff << " " << c.vvi;
  }
  // STAB OUT OF TRIM only with the autopilot engaged.
  const float trims[][3] = {{1, 4.0f, 1}, {1, 0.0f, 0}, {0, 4.0f, 0}};
  for (const auto& t : trims) {
    script_mirror.zuvadud_autopilot_ap_on = t[0];
    pitch_servo.trim_stalled_s = t[1];
    annunciators_recorders();
    EXPECT_EQ(annunciator::stab_out_of_trim, t[2]) << t[0] << " " << t[1];
  }
  pitch_servo.trim_stalled_s = 0.0f;
}

TEST_F(Lights, AntiIceValveLightsAndThermalIndication) {
  struct Case {
    float valve, sw, light, annun;
  };
  const Case cases[] = {{0.5f, 1, 1, 1}, {1.0f, 1, 0.3f, 0.5f}, {1.0f, 0, 1, 1}, {0.0f, 0, 0, 0}, {0.0f, 1, 1, 1}};
  for (const Case& c : cases) {
    system_::wing_anti_ice_valve[0] = c.valve;
    ice::wing_heat_pos = c.sw;
    annunciators_anti_ice();
    EXPECT_FLOAT_EQ(annunciator::wing_ice_on_L, c.light) << c.valve << " " << c.sw;
    EXPECT_FLOAT_EQ(annunciator::wing_ice_on_L_annun, c.annun) << c.valve << " " << c.sw;
  }
  ice::eng1_heat_pos = 1.0f;
  system_::eng_inlet_valve[0] = 0.0f;  // disagreeing for 8 s
  frame_time = 0.5f;
  for (int i = 0; i < 16; ++i) {
    update_annunciator_timers();
    annunciators_anti_ice();
  }
  EXPECT_EQ(eicas::eng1_tai, 0.0f);
  update_annunciator_timers();
  annunciators_anti_ice();
  EXPECT_EQ(eicas::eng1_tai, 1.0f);
}

TEST_F(Lights, PowerTransferPulsesOneFramePerSideAfterSixSeconds) {
  time_since_load = 7.0f;
  annunciators_electrical();
  annunciators_electrical();
  EXPECT_EQ(electric::lost_ac_ap_a, 0.0f);
  host_mirror.sim_cockpit2_annunciators_generator_off[1] = 1;  // generator 2 drops off its bus
  annunciators_electrical();
  EXPECT_EQ(electric::lost_ac_ap_a, 0.0f);
  EXPECT_EQ(electric::lost_ac_ap_b, 1.0f);
  annunciators_electrical();
  EXPECT_EQ(electric::lost_ac_ap_b, 0.0f);
  host_mirror.sim_cockpit_electrical_gpu_amps = 40.0f;  // ground power takes both sides
  annunciators_electrical();
  EXPECT_EQ(electric::lost_ac_ap_a, 1.0f);
  EXPECT_EQ(electric::lost_ac_ap_b, 1.0f);
  // During the first six seconds the written values are left alone.
  time_since_load = 2.0f;
  electric::lost_ac_ap_a = 5.0f;
  host_mirror.sim_cockpit_electrical_gpu_amps = 0.0f;
  annunciators_electrical();
  EXPECT_EQ(electric::lost_ac_ap_a, 5.0f);
}

TEST_F(Lights, DoorsAndMicrophoneLamps) {
  script_mirror.tarv_doors_aft1 = 0.2f;  // the aft service door 1 shares the left aft overwing light
  script_mirror.tarv_doors_L_mid = 1.0f;
  // Mid exits on the -900ER, the high-density MAX 8, the MAX 9 and the MAX 10 only.
  const float mid_exit_lit[variant_count] = {0, 0, 0, 0, 1, 0, 1, 0, 1, 1};
  for (int32_t v = -1; v < variant_count; ++v) {
    variant_index = v;
    annunciators_doors_radio();
    EXPECT_EQ(annunciator::left_aft_overwing, 1.0f);
    EXPECT_EQ(annunciator::left_mid_exit, v < 0 ? 0.0f : mid_exit_lit[v]) << "variant " << v;
  }
  variant_index = -1;
  mic_select[seat_capt][0] = 1.0f;
  mic_select[seat_fo][1] = 1.0f;
  mic_select[seat_obs][5] = 1.0f;
  annunciators_doors_radio();
  EXPECT_EQ(audio::capt_mic_indicator1, 1.0f);
  EXPECT_EQ(audio::fo_mic_indicator2, 1.0f);
  EXPECT_EQ(audio::obs_mic_indicator6, 1.0f);
  electric::ac_tnsbus2_status = 0.0f;
  annunciators_doors_radio();
  EXPECT_EQ(audio::capt_mic_indicator1, 1.0f);
  EXPECT_EQ(audio::fo_mic_indicator2, 0.0f);
  EXPECT_EQ(audio::obs_mic_indicator6, 0.0f);
}

class Warnings : public ::testing::Test {
 protected:
  void SetUp() override {
    for (XPLMDataRef& h : bound_handles) h = nullptr;
    host_mirror = HostMirror{};
    script_mirror = ScriptMirror{};
    delay_timers = DelayTimerBank{};
    delay_flags = DelayTimerFlags{};
    ann_levels = {1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f};
    frame_time = 0.1f;
    electric::batbus_status = 1.0f;
    cockpit::parking_brake_pos = 0.0f;
    engine::thrust1_leveler = engine::thrust2_leveler = 0.0f;
  }
};

TEST_F(Warnings, TakeoffConfigurationLimits) {
  struct Row {
    float flap, trim, lever, phase;
    float warn;
  } rows[] = {
      {0.125f, 0, 0.6f, 0, 0}, {0.12f, 0, 0.6f, 0, 1},  {0.75f, 0, 0.6f, 0, 0},  {0.76f, 0, 0.6f, 0, 1},
      {0.25f, -0.65f, 0.6f, 0, 0}, {0.25f, -0.66f, 0.6f, 0, 1}, {0.25f, 0.075f, 0.6f, 0, 0},
      {0.25f, 0.08f, 0.6f, 0, 1}, {0, 0, 0.51f, 0, 1},   {0, 0, 0.5f, 0, 0},
      // Whatever the FMS phase: a touch-and-go at flaps 30 or 40 warns.
      {0, 0, 0.6f, 1, 1},     {0.875f, 0, 0.95f, 6, 1}, {1.0f, 0, 0.95f, 6, 1}, {0.625f, 0, 0.95f, 6, 0},
  };
  on_ground = 1;
  for (const Row& r : rows) {
    host_mirror.sim_cockpit2_controls_flap_handle_deploy_ratio = r.flap;
    host_mirror.sim_cockpit2_controls_flap_ratio = r.flap;
    host_mirror.sim_cockpit2_controls_elevator_trim = r.trim;
    engine::thrust1_leveler = r.lever;
    script_mirror.zuvadud_D738_FMS_flight_phase = r.phase;
    annunciators_flight_controls();
    EXPECT_EQ(annunciator::takeoff_config, r.warn) << r.flap << " " << r.trim << " " << r.lever << " " << r.phase;
  }
}

TEST_F(Warnings, VoiceRecorderRunsWithAnEngineAboveFiftyPercent) {
  electric::dc_bus2_status = electric::ac_tnsbus2_status = 1.0f;
  struct Row {
    int burn1;
    float n2_1;
    int burn2;
    float n2_2, cvr;
  } rows[] = {{1, 51, 0, 0, 1}, {1, 50, 0, 0, 0}, {0, 60, 0, 0, 0}, {0, 0, 1, 51, 1}, {0, 0, 1, 50, 0},
              {1, 51, 1, 51, 1}, {1, 40, 1, 40, 0}};
  for (const Row& r : rows) {
    recorder_lights = RecorderLightState{};
    toggle_switch::vcr = 0.0f;
    host_mirror.sim_flightmodel2_engines_engine_is_burning_fuel[0] = r.burn1;
    host_mirror.sim_flightmodel2_engines_engine_is_burning_fuel[1] = r.burn2;
    host_mirror.sim_flightmodel2_engines_N2_percent[0] = r.n2_1;
    host_mirror.sim_flightmodel2_engines_N2_percent[1] = r.n2_2;
    annunciators_recorders();
    EXPECT_EQ(annunciator::cvr, r.cvr) << r.burn1 << " " << r.n2_1 << " " << r.burn2 << " " << r.n2_2;
  }
}

TEST_F(Warnings, WindowHeatOverheatBySideBusAndFailure) {
  // Forward right and left side windows hang on transfer bus 2, the others on
  // bus 1; a window heat failure lights every switched-on window.
  struct Row {
    float t1, t2;
    int failed;
    float switches;
    float rf, ls, rs, lf;
  } rows[] = {{1, 1, 0, 1, 0, 0, 0, 0}, {1, 0, 0, 1, 1, 1, 0, 0}, {0, 1, 0, 1, 0, 0, 1, 1},
              {1, 1, 6, 1, 1, 1, 1, 1}, {0, 0, 6, 0, 0, 0, 0, 0}};
  for (const Row& r : rows) {
    electric::ac_tnsbus1_status = r.t1;
    electric::ac_tnsbus2_status = r.t2;
    host_mirror.sim_operation_failures_rel_ice_window_heat = r.failed;
    ice::window_heat_r_fwd_pos = ice::window_heat_l_side_pos = ice::window_heat_r_side_pos =
        ice::window_heat_l_fwd_pos = r.switches;
    annunciators_anti_ice();
    EXPECT_EQ(annunciator::window_heat_ovht_rf, r.rf) << r.t1 << r.t2 << r.failed << r.switches;
    EXPECT_EQ(annunciator::window_heat_ovht_ls, r.ls) << r.t1 << r.t2 << r.failed << r.switches;
    EXPECT_EQ(annunciator::window_heat_ovht_rs, r.rs) << r.t1 << r.t2 << r.failed << r.switches;
    EXPECT_EQ(annunciator::window_heat_ovht_lf, r.lf) << r.t1 << r.t2 << r.failed << r.switches;
  }
}

TEST_F(Warnings, ExtinguisherCircuitLights) {
  struct Row {
    float test, left_psi, right_psi, apu_psi;
    float left, right, apu;
  } rows[] = {{0, 600, 600, 600, 0, 0, 0},       {0, 599.9f, 600, 600, 0, 0, 0}, {0, 599.8f, 600, 600, 0, 0, 0},
              {0, 600, 599.8f, 600, 0, 0, 0},     {0, 600, 600, 599.8f, 0, 0, 0}, {1, 600, 600, 600, 1, 1, 1},
              {-1, 600, 600, 600, 1, 1, 1},       {0.5f, 600, 600, 600, 0, 0, 0}, {1, 599.9f, 0, 600, 1, 0, 1},
              {-1, 600, 600, 599.8f, 1, 1, 0}};
  electric::hot_batbus_status = 1.0f;  // the squib circuits' bus
  for (const Row& r : rows) {
    toggle_switch::extinguisher_circuit_test = r.test;
    fire::engine01_02L_ext_bottle_psi = r.left_psi;
    fire::engine01_02R_ext_bottle_psi = r.right_psi;
    fire::apu_ext_bottle_psi = r.apu_psi;
    annunciators_fire();
    EXPECT_EQ(annunciator::extinguisher_circuit_annun_left, r.left) << r.test << " " << r.left_psi;
    EXPECT_EQ(annunciator::extinguisher_circuit_annun_right, r.right) << r.test << " " << r.right_psi;
    EXPECT_EQ(annunciator::extinguisher_circuit_annun_apu, r.apu) << r.test << " " << r.apu_psi;
  }
}

TEST_F(Warnings, PackLightsAndEmergencyExitLights) {
  overhead_lights = OverheadLightState{};
  air::l_pack_pos = air::r_pack_pos = 1.0f;
  electric::ac_tnsbus1_status = electric::ac_tnsbus2_status = 1.0f;
  struct Row {
    int failed;    // host failure element 153 (the left pack)
    float t1, t2;  // a pack latches when its bus is lost with its switch on
    float left, right;
  } rows[] = {{6, 1, 1, 1, 0}, {0, 1, 1, 0, 0}, {0, 1, 0, 1, 0}, {0, 1, 0, 1, 0},
              {0, 1, 1, 0, 0}, {0, 0, 1, 0, 1}, {0, 1, 1, 0, 0}};
  for (const Row& r : rows) {
    host_mirror.sim_operation_failures_failures[153] = r.failed;
    electric::ac_tnsbus1_status = r.t1;
    electric::ac_tnsbus2_status = r.t2;
    annunciators_overhead();
    EXPECT_EQ(annunciator::pack_left, r.left) << r.failed << " " << r.t1 << " " << r.t2;
    EXPECT_EQ(annunciator::pack_right, r.right) << r.failed << " " << r.t1 << " " << r.t2;
  }
  for (float sw : {0.0f, 1.0f, 2.0f}) {
    toggle_switch::emer_exit_lights = sw;
    annunciators_overhead();
    EXPECT_EQ(annunciator::emer_exit, sw == 1.0f ? 0.0f : 1.0f) << sw;
  }
}

TEST_F(Warnings, HydraulicLowPressureLightsAndTheFireSwitch) {
  // The engine pumps' lights read each pump's output against 1,300 psi,
  // whatever it is asked for: a pump coming up or running down with its core.
  struct Row {
    float a_out, b_out, fire1, fire2;
    float a, b;
  } rows[] = {{0, 0, 0, 0, 1, 1},         {0, 0, 1, 0, 0, 1},      {0, 0, 0, 1, 1, 0},
              {2900, 2900, 0, 0, 0, 0},   {570, 420, 0, 0, 1, 1},  {1299, 1300, 0, 0, 1, 0}};
  for (const Row& r : rows) {
    hydraulic::A_press_trg = hydraulic::B_press_trg = 2900.0f;
    hyd_state.edp_press_a = r.a_out;
    hyd_state.edp_press_b = r.b_out;
    hydraulic::A_press_el_trg = hydraulic::B_press_el_trg = 0.0f;
    fire::engine01_ext_switch_pos_arm = r.fire1;
    fire::engine02_ext_switch_pos_arm = r.fire2;
    for (int i = 0; i < 30; ++i) annunciators_electrical();  // 3 s: past the light filter
    EXPECT_EQ(annunciator::hyd_press_a, r.a) << r.a_out << " " << r.fire1;
    EXPECT_EQ(annunciator::hyd_press_b, r.b) << r.b_out << " " << r.fire2;
    EXPECT_EQ(annunciator::hyd_el_press_a, 1.0f);
    EXPECT_EQ(annunciator::hyd_el_press_b, 1.0f);
  }
  fire::engine01_ext_switch_pos_arm = fire::engine02_ext_switch_pos_arm = 0.0f;
}

TEST_F(Warnings, FadecOffAndReverserLights) {
  overhead_lights = OverheadLightState{};
  // One frame a row, sleeves stowed: selecting reverse leaves REVERSER dark,
  // the stow command lights it, a new deploy puts it out.
  struct Row {
    int fadec1, fadec2, mode1, mode2;
    float fadec1_off, fadec2_off, rev1, rev2;
  } rows[] = {{1, 1, 1, 1, 0, 0, 0, 0}, {0, 1, 1, 1, 1, 0, 0, 0}, {1, 0, 1, 1, 0, 1, 0, 0},
              {1, 1, 3, 1, 0, 0, 0, 0}, {1, 1, 1, 3, 0, 0, 1, 0}, {1, 1, 3, 3, 0, 0, 0, 0}};
  for (const Row& r : rows) {
    host_mirror.sim_cockpit2_engine_actuators_fadec_on[0] = r.fadec1;
    host_mirror.sim_cockpit2_engine_actuators_fadec_on[1] = r.fadec2;
    host_mirror.sim_cockpit2_engine_actuators_prop_mode[0] = r.mode1;
    host_mirror.sim_cockpit2_engine_actuators_prop_mode[1] = r.mode2;
    annunciators_overhead();
    EXPECT_EQ(annunciator::fadec1_off, r.fadec1_off) << r.fadec1 << r.fadec2 << r.mode1 << r.mode2;
    EXPECT_EQ(annunciator::fadec2_off, r.fadec2_off) << r.fadec1 << r.fadec2 << r.mode1 << r.mode2;
    EXPECT_EQ(annunciator::reverser_fail_0, r.rev1) << r.fadec1 << r.fadec2 << r.mode1 << r.mode2;
    EXPECT_EQ(annunciator::reverser_fail_1, r.rev2) << r.fadec1 << r.fadec2 << r.mode1 << r.mode2;
  }
  // Both in reverse, the sleeves still stowed: REVERSER after 5 s; lit for
  // more than 12 s it calls the engine group and the master caution.
  for (int i = 0; i < 47; ++i) annunciators_overhead();  // engine 2 in reverse 4.9 s
  EXPECT_EQ(annunciator::reverser_fail_1, 0.0f);
  for (int i = 0; i < 3; ++i) annunciators_overhead();
  EXPECT_EQ(annunciator::reverser_fail_0, 1.0f);
  EXPECT_EQ(annunciator::reverser_fail_1, 1.0f);
  for (int i = 0; i < 117; ++i) annunciators_overhead();  // engine 2 lit 11.9 s
  EXPECT_EQ(ann_state.six_pack[sp_eng].slot[6], 0);
  for (int i = 0; i < 3; ++i) annunciators_overhead();
  EXPECT_EQ(ann_state.six_pack[sp_eng].slot[6], 1);
}

TEST_F(Warnings, SpeedBrakeLightsOnTheGroundAndExtended) {
  spdbrk = SpeedbrakeLightState{};
  hydraulic::A_status = hydraulic::B_status = 1.0f;
  on_ground = 1;
  host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 0.0f;
  // Parked (or stopped after a landing) below 30.9 m/s: a lever out of its
  // stowed position is a lever that must not be armed.
  struct Row {
    float phase, speed_mps, lever, dna;
  } rows[] = {{0, 30.8f, 0.05f, 1}, {0, 30.8f, 0, 0}, {3, 30.8f, 0.05f, 1}, {3, 30.8f, 0, 0}};
  for (const Row& r : rows) {
    spdbrk.phase = r.phase;
    annunciator::spd_brk_not_arm = 0.0f;
    host_mirror.sim_flightmodel_position_groundspeed = r.speed_mps;
    flt_ctrls::speedbrake_lever = r.lever;
    annunciators_gear_flight();
    EXPECT_EQ(annunciator::spd_brk_not_arm, r.dna) << r.phase << " " << r.speed_mps << " " << r.lever;
  }
  // SPEEDBRAKE EXTENDED: on the ground with the spoilers up and the lever
  // stowed; in the air with the lever past 0.15 and flaps out or low.
  struct Extend {
    int ground;
    float ratio, a_psi, lever, flap, ra_ft, lit;
  } extends[] = {{1, 0.995f, 751, 0, 0, 0, 1},    {1, 0.99f, 751, 0, 0, 0, 0},     {1, 0.995f, 750, 0, 0, 0, 0},
                 {1, 0.995f, 751, 0.1f, 0, 0, 0},  {0, 0, 3000, 0.16f, 0.51f, 2000, 1}, {0, 0, 3000, 0.16f, 0.5f, 799, 1},
                 {0, 0, 3000, 0.16f, 0.5f, 800, 0}, {0, 0, 3000, 0.15f, 0.6f, 500, 0}};
  for (const Extend& e : extends) {
    on_ground = e.ground;
    host_mirror.sim_cockpit2_controls_speedbrake_ratio = e.ratio;
    hydraulic::A_pressure = e.a_psi;
    flt_ctrls::speedbrake_lever = e.lever;
    host_mirror.sim_cockpit2_controls_flap_handle_deploy_ratio = e.flap;
    host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = e.ra_ft;
    annunciators_gear_flight();
    EXPECT_EQ(annunciator::speedbrake_extend, e.lit) << e.ground << " " << e.ratio << " " << e.a_psi << " " << e.lever
                                                     << " " << e.flap << " " << e.ra_ft;
  }
}

TEST_F(Warnings, GearDisagreeAndGearWarning) {
  // The red gear lights' warning: either lever closed (a hardware
  // throttle's idle band), wherever the other stands; two levers a little
  // open are not closed.
  struct Row {
    float handle, ratio, ra_ft, lever, lever2;
    float transit;
  } rows[] = {
      {0.59f, 1, 2000, 0.5f, 0.5f, 1}, {0.6f, 1, 2000, 0.5f, 0.5f, 0},   // handle up, gear down
      {0.96f, 0, 2000, 0.5f, 0.5f, 1}, {0.95f, 0, 2000, 0.5f, 0.5f, 0},  // handle down, gear up
      {0.5f, 0, 799, 0, 0.5f, 1},      {0.5f, 0, 800, 0, 0.5f, 0},       // low with a lever closed
      {0.5f, 0, 799, 0.1f, 0.5f, 0},   {1, 0, 799, 0, 0.5f, 1},
      {0, 0, 600, 0.02f, 0.02f, 1},    {0, 0, 600, 0.005f, 0.005f, 1},   // a hardware idle
      {0, 0, 800, 0.02f, 0.02f, 0},    {0, 0, 600, 0.39f, 0.39f, 0},
      {0, 0, 600, 0.4f, 0.39f, 0},     {0, 0, 600, 0, 0.67f, 1},
      {0, 0, 600, 0, 0.75f, 1},        {0, 0, 600, 0.02f, 0.5f, 1},      // one lever at a hardware idle
      {0, 0, 600, 0.5f, 0.049f, 1},    {0, 0, 600, 0.05f, 0.5f, 0},
  };
  on_ground = 0;
  for (const Row& r : rows) {
    controls::gear_handle_down = r.handle;
    for (float& g : host_mirror.sim_flightmodel2_gear_deploy_ratio) g = r.ratio;
    host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = r.ra_ft;
    engine::thrust1_leveler = r.lever;
    engine::thrust2_leveler = r.lever2;
    annunciators_gear_flight();
    EXPECT_EQ(annunciator::left_gear_transit, r.transit)
        << r.handle << " " << r.ratio << " " << r.ra_ft << " " << r.lever << " " << r.lever2;
  }
}

}  // namespace
