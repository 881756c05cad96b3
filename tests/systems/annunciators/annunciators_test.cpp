// The annunciator pass: brightness levels, six-pack memory with master
// caution reset and recall, the light test, and the light equations of each
// panel group at their limits, one table row per threshold with a value on
// each side of it (flight controls, gear and speed brake, fuel valves and ram
// doors, recorders, electrical, overhead, fire, door, cabin and anti-ice
// panels); each six-pack slot by its one condition, the display test flicker,
// the light spill and the flap needles.
#include <gtest/gtest.h>

#include <set>

#include "core/binding.h"
#include "core/failure_tables.h"
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
#include "systems/electrical/electrical.h"
#include "systems/fire/fire_values.h"
#include "systems/flight_controls/flight_control_values.h"
#include "systems/fuel/fuel_pump_lights.h"
#include "systems/fuel/fuel_values.h"
#include "systems/hydraulics/hydraulic_values.h"
#include "systems/hydraulics/hydraulics.h"
#include "systems/ice_rain/ice_values.h"
#include "systems/ice_rain/window_heat_state.h"
#include "systems/instruments/instrument_values.h"
#include "systems/lights/cabin_light_values.h"
#include "systems/switches/switch_values.h"
#include "systems/systems_step_outputs.h"
#include "systems/systems_steps.h"

namespace {

class Annunciators : public ::testing::Test {
 protected:
  void SetUp() override {
    for (XPLMDataRef& h : bound_handles) h = nullptr;
    host_mirror = HostMirror{};
    script_mirror = ScriptMirror{};
    delay_timers = DelayTimerBank{};
    ann_state = AnnunciatorState{};
    host_version = 110000;
    frame_time = 0.1f;
    on_ground = 1;
    // Lamps powered at full rheostat.
    electric::dir_batbus_status = 1.0f;
    elec_bus_status.dir_batbus_copy = 1.0f;
    host_mirror.sim_flightmodel2_lights_generic_lights_brightness_ratio[14] = 1.0f;
    host_mirror.sim_flightmodel2_lights_generic_lights_brightness_ratio[13] = 0.8f;
    // A quiet cockpit: both transfer buses, hydraulics, no failures.
    electric::ac_tnsbus1_status = 1.0f;
    electric::ac_tnsbus2_status = 1.0f;
    electric::tru1_status = electric::tru2_status = electric::tru3_status = 1.0f;
    electric::gen1_available = electric::gen2_available = 1.0f;
    hydraulic::A_status = hydraulic::B_status = 1.0f;
    hydraulic::A_pressure = hydraulic::B_pressure = 3000.0f;
    host_mirror.sim_cockpit2_annunciators_yaw_damper = 1;
    switches::flt_ctr_A_pos = switches::flt_ctr_B_pos = 1.0f;
    buttons::capt_6_pack_pos = buttons::fo_6_pack_pos = 0.0f;
    push_button::master_caution_accept1 = push_button::master_caution_accept2 = 0.0f;
    toggle_switch::bright_test = 0.0f;
    toggle_switch::emer_exit_lights = 1.0f;
    hydraulic::A_press_trg = hydraulic::B_press_trg = 2900.0f;
    hyd_state.edp_press_a = hyd_state.edp_press_b = 2900.0f;
    hydraulic::A_press_el_trg = hydraulic::B_press_el_trg = 2850.0f;
    host_mirror.sim_flightmodel_weight_m_fuel_total = 6000.0f;
    for (float& q : host_mirror.sim_cockpit2_fuel_fuel_quantity) q = 2000.0f;
    fuel::fuel_tank_pos_lft1 = fuel::fuel_tank_pos_lft2 = fuel::fuel_tank_pos_rgt1 = fuel::fuel_tank_pos_rgt2 = 1.0f;
    host_mirror.sim_cockpit2_electrical_bus_load_amps[0] = 10.0f;
    host_mirror.sim_cockpit2_ice_ice_pitot_heat_on_pilot = host_mirror.sim_cockpit2_ice_ice_pitot_heat_on_copilot = 1;
    host_mirror.sim_cockpit2_ice_ice_AOA_heat_on = host_mirror.sim_cockpit2_ice_ice_AOA_heat_on_copilot = 1;
  }
  // Runs the pass until the filters settle, then acknowledges what came up.
  static void settle() {
    for (int i = 0; i < 30; ++i) update_annunciators();
    master_caution_reset();
    update_annunciators();
  }
};

TEST_F(Annunciators, DayFactorBySunElevationOnNewerHosts) {
  struct Case {
    int version;
    float sun_deg, factor;
  };
  const Case cases[] = {
      {110000, -30.0f, 1.0f}, {120000, -30.0f, 0.05f}, {120000, -2.5f, 0.075f},
      {120000, 0.0f, 0.1f},   {120000, 17.5f, 0.55f},  {120000, 35.0f, 1.0f},
  };
  for (const Case& c : cases) {
    host_version = c.version;
    host_mirror.sim_graphics_scenery_sun_pitch_degrees = c.sun_deg;
    update_annunciators();
    EXPECT_FLOAT_EQ(ann_levels.day_factor, c.factor) << c.sun_deg;
    EXPECT_FLOAT_EQ(ann_levels.l1, c.factor) << c.sun_deg;
    EXPECT_FLOAT_EQ(ann_levels.l0, 1.0f) << "the _annun level ignores the sun";
  }
}

TEST_F(Annunciators, ConditionLightsGroupAndMasterCautionUntilReset) {
  settle();
  EXPECT_EQ(annunciator::master_caution_light, 0.0f);
  electric::ac_tnsbus2_status = 0.0f;  // TRANSFER BUS OFF 2
  update_annunciators();
  EXPECT_FLOAT_EQ(annunciator::six_pack_elec, 1.0f);
  EXPECT_FLOAT_EQ(annunciator::master_caution_light, 0.8f);  // L2
  master_caution_press(1);
  EXPECT_EQ(push_button::master_caution_accept2, 1.0f);
  update_annunciators();
  EXPECT_EQ(annunciator::six_pack_elec, 0.0f);
  EXPECT_EQ(annunciator::master_caution_light, 0.0f);
  // Recall: press and release the six-pack, the persisting condition shows again.
  six_pack_press(0);
  update_annunciators();
  EXPECT_FLOAT_EQ(annunciator::six_pack_fuel, 1.0f) << "every group lit while held";
  EXPECT_FLOAT_EQ(annunciator::master_caution_light, 0.8f);
  six_pack_release(0);
  update_annunciators();
  EXPECT_FLOAT_EQ(annunciator::six_pack_elec, 1.0f);
  EXPECT_EQ(annunciator::six_pack_fuel, 0.0f);
  EXPECT_FLOAT_EQ(annunciator::master_caution_light, 0.8f);
}

TEST_F(Annunciators, ConditionThatClearsPutsItsGroupOutByItself) {
  settle();
  electric::ac_tnsbus1_status = 0.0f;
  update_annunciators();
  EXPECT_FLOAT_EQ(annunciator::six_pack_elec, 1.0f);
  electric::ac_tnsbus1_status = 1.0f;
  update_annunciators();
  EXPECT_EQ(annunciator::six_pack_elec, 0.0f);
  EXPECT_EQ(annunciator::master_caution_light, 0.0f);
}

TEST_F(Annunciators, FireLightsBellAndItsRecallAtADimmedRheostat) {
  // L2 is 0.8 here: the bell lamp is dimmed, the bell itself is not.
  fire_lights = FireLightState{};
  electric::batbus_status = 1.0f;
  fire::engine01_02L_ext_bottle_psi = fire::engine01_02R_ext_bottle_psi = 800.0f;
  fire::apu_ext_bottle_psi = 800.0f;
  settle();
  EXPECT_EQ(annunciator::six_pack_fire, 0.0f);
  host_mirror.sim_operation_failures_rel_engfir0 = 6;
  update_annunciators();
  update_annunciators();
  EXPECT_FLOAT_EQ(annunciator::engine1_fire, 0.8f);
  EXPECT_EQ(annunciator::engine2_fire, 0.0f);
  EXPECT_EQ(annunciator::fire_bell_annun2, 1.0f);
  EXPECT_FLOAT_EQ(annunciator::fire_bell_annun, 0.8f);
  EXPECT_GT(annunciator::six_pack_fire, 0.0f);
  // Acknowledged and the bell silenced: the fire light stays.
  master_caution_reset();
  fire_lights.fire_bell_enable = 0.0f;
  update_annunciators();
  update_annunciators();
  EXPECT_EQ(annunciator::six_pack_fire, 0.0f);
  EXPECT_EQ(annunciator::fire_bell_annun2, 0.0f);
  EXPECT_FLOAT_EQ(annunciator::engine1_fire, 0.8f);
  // A second engine's new fire rings the bell again and recalls the first.
  host_mirror.sim_operation_failures_rel_engfir1 = 6;
  update_annunciators();
  update_annunciators();
  EXPECT_EQ(annunciator::fire_bell_annun2, 1.0f);
  master_caution_reset();  // acknowledge both
  host_mirror.sim_operation_failures_rel_engfir1 = 0;
  fire_lights.fire_bell_enable = 0.0f;
  update_annunciators();
  update_annunciators();
  EXPECT_EQ(annunciator::six_pack_fire, 0.0f);
  fire_lights.fire_bell_enable = 1.0f;  // the bell rings for the standing fire
  update_annunciators();
  update_annunciators();
  EXPECT_GT(annunciator::six_pack_fire, 0.0f) << "the ringing bell makes the standing fire new again";
  // Fire detection runs on the battery bus: without AC standby power the
  // bell still rings; without the battery bus a fire of either engine shows
  // nowhere, switch, FIRE WARN, bell and six-pack alike, and all come back
  // with the bus.
  electric::ac_stdbus_status = 0.0f;
  update_annunciators();
  EXPECT_EQ(annunciator::fire_bell_annun2, 1.0f);
  host_mirror.sim_operation_failures_rel_engfir1 = 6;
  electric::batbus_status = 0.0f;
  update_annunciators();
  update_annunciators();
  for (float light : {annunciator::fire_bell_annun2, annunciator::fire_bell_annun, annunciator::engine1_fire,
                      annunciator::engine2_fire, annunciator::six_pack_fire}) {
    EXPECT_EQ(light, 0.0f);
  }
  electric::batbus_status = 1.0f;
  update_annunciators();
  update_annunciators();
  EXPECT_EQ(annunciator::fire_bell_annun2, 1.0f);
  EXPECT_FLOAT_EQ(annunciator::engine1_fire, 0.8f);
  EXPECT_FLOAT_EQ(annunciator::engine2_fire, 0.8f);
  EXPECT_GT(annunciator::six_pack_fire, 0.0f);
  host_mirror.sim_operation_failures_rel_engfir1 = 0;
  // Bottles: at 0 the discharge light; the green circuit lights only in the test.
  fire::engine01_02L_ext_bottle_psi = 599.8f;
  fire::engine01_02R_ext_bottle_psi = 0.0f;
  update_annunciators();
  EXPECT_EQ(annunciator::extinguisher_circuit_annun_left, 0.0f);
  EXPECT_EQ(annunciator::l_bottle_discharge, 0.0f);
  EXPECT_EQ(annunciator::extinguisher_circuit_annun_right, 0.0f);
  EXPECT_GT(annunciator::r_bottle_discharge, 0.0f);
  EXPECT_EQ(annunciator::extinguisher_circuit_annun_apu, 0.0f);
  // The held overheat/fire test lights every detection light and the APU fire.
  fire_lights.fire_test_all = 1.0f;
  update_annunciators();
  EXPECT_GT(annunciator::engine2_fire, 0.0f);
  EXPECT_GT(annunciator::engine1_ovht, 0.0f);
  EXPECT_GT(annunciator::engine2_ovht, 0.0f);
  EXPECT_FLOAT_EQ(annunciator::apu_fire, 0.8f);
  electric::batbus_status = 0.0f;  // nor does the test light anything without it
  update_annunciators();
  EXPECT_EQ(annunciator::apu_fire + annunciator::engine2_fire + annunciator::engine1_ovht, 0.0f);
  electric::batbus_status = 1.0f;
  host_mirror.sim_operation_failures_rel_engfir0 = 0;
  fire_lights = FireLightState{};
}

TEST_F(Annunciators, LightTestSetAndDarkWithoutLampPower) {
  // The set's size is its table's (annunciators_test_set.cpp); each light in it once.
  std::set<const float*> members;
  for (int i = 0; i < ann_test_light_count; ++i) EXPECT_TRUE(members.insert(ann_test_lights[i].light).second) << i;
  toggle_switch::bright_test = 1.0f;
  update_annunciators();
  int lit = 0;
  for (int i = 0; i < ann_test_light_count; ++i) lit += *ann_test_lights[i].light > 0.0f ? 1 : 0;
  EXPECT_EQ(lit, ann_test_light_count);
  EXPECT_FLOAT_EQ(annunciator::parking_brake, 0.8f);
  EXPECT_FLOAT_EQ(annunciator::ils, 1.0f);
  EXPECT_EQ(annunciator::flaps_test, 1.0f);
  EXPECT_EQ(annunciator::cvr, 0.0f) << "not in the test set";
  electric::dir_batbus_status = 0.0f;
  update_annunciators();
  for (int i = 0; i < ann_test_light_count; ++i) EXPECT_EQ(*ann_test_lights[i].light, 0.0f) << i;
  // Dark, the switch moves alone: the cart's own lamp stays as it was (not
  // put out by the test, not dimmed); with the power back the switch counts.
  EXPECT_EQ(annunciator::test + cockpit::dspl_light_test[0] + annunciator::flaps_test, 0.0f);
  cockpit::gpu_available = 1.0f;
  host_mirror.sim_flightmodel2_lights_generic_lights_brightness_ratio[14] = 0.5f;
  update_annunciators();
  EXPECT_EQ(annunciator::ground_power_avail, 1.0f);
  electric::dir_batbus_status = 1.0f;
  update_annunciators();
  EXPECT_EQ(annunciator::test, 1.0f);
  toggle_switch::bright_test = -1.0f;
  update_annunciators();
  EXPECT_EQ(annunciator::ground_power_avail, 0.5f);
}

TEST_F(Annunciators, DisplayPowerUpSelfTestLastsElevenSeconds) {
  electric::battery_pos = 1.0f;
  electric::dc_stdbus_status = 0.0f;
  update_annunciators();
  electric::dc_stdbus_status = 1.0f;
  frame_time = 0.5f;
  int frames = 0;
  do {
    update_annunciators();
    ++frames;
  } while (cockpit::dspl_light_test[9] == 1.0f && frames < 100);
  EXPECT_EQ(frames, 23);  // lit on the power-up frame and the 22 that run the 11 s down
  // The battery bus lost and back: the displays kept their power, no test.
  electric::batbus_status = 0.0f;
  update_annunciators();
  electric::batbus_status = 1.0f;
  update_annunciators();
  EXPECT_EQ(cockpit::dspl_light_test[9], 0.0f);
}

// TR UNIT, and ELEC beside it: on the ground only, any TR unit TR UNIT counts
// as failed there or a bus of the standby system lost lights it.
TEST_F(Annunciators, TrUnitAndElecLightTable) {
  struct Case {
    float t1, t2, tru1, tru2, tru3;
    int tie;
    float ra_ft, lit, elec;
    float ac_std = 1, dc_std = 1, bat = 1;
  };
  const Case cases[] = {
      {1, 1, 0, 1, 1, 0, 0, 1, 1},      // TRU 1 lost with its bus up: always
      {1, 1, 1, 1, 0, 0, 0, 1, 1},      // tie open: TRU 3 lost
      {1, 1, 1, 1, 0, 1, 500, 0, 0},    // tie closed in flight: needs both 2 and 3
      {1, 1, 1, 0, 0, 1, 500, 1, 0},
      {1, 1, 1, 1, 0, 1, 5, 1, 1},      // below 10 ft: TRU 3 with bus 1
      {1, 1, 0, 1, 1, 0, 500, 1, 0},    // ELEC is dark in flight
      {1, 1, 1, 1, 1, 0, 0, 0, 0},
      {1, 1, 1, 1, 1, 0, 0, 0, 1, 1, 0, 1},  // the DC standby bus lost
      {1, 1, 1, 1, 1, 0, 0, 0, 1, 0, 0, 1},  // STANDBY POWER off
      {1, 1, 1, 1, 1, 0, 0, 0, 1, 1, 1, 0},  // the battery bus lost
      {1, 1, 1, 1, 1, 0, 500, 0, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    electric::ac_tnsbus1_status = c.t1;
    electric::ac_tnsbus2_status = c.t2;
    electric::tru1_status = c.tru1;
    electric::tru2_status = c.tru2;
    electric::tru3_status = c.tru3;
    electric::ac_stdbus_status = c.ac_std;
    electric::dc_stdbus_status = c.dc_std;
    electric::batbus_status = c.bat;
    host_mirror.sim_cockpit2_electrical_cross_tie = c.tie;
    host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = c.ra_ft;
    update_annunciators();
    EXPECT_EQ(annunciator::tr_unit, c.lit) << c.tru1 << c.tru2 << c.tru3 << " tie " << c.tie << " ra " << c.ra_ft;
    EXPECT_EQ(annunciator::elec, c.elec) << c.tru1 << c.tru2 << c.tru3 << " buses " << c.ac_std << c.dc_std << c.bat
                                         << " ra " << c.ra_ft;
    EXPECT_EQ(ann_state.six_pack[sp_elec].slot[9], c.elec != 0.0f ? 1 : 0);
  }
}

class Lights : public ::testing::Test {
 protected:
  void SetUp() override {
    for (XPLMDataRef& h : bound_handles) h = nullptr;
    host_mirror = HostMirror{};
    script_mirror = ScriptMirror{};
    delay_timers = DelayTimerBank{};
    delay_flags = DelayTimerFlags{};
    ann_levels = {1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f};
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
    slat_ratio_prev = slat1_ratio_prev = 0.0f;
    spdbrk = SpeedbrakeLightState{};
    recorder_lights = RecorderLightState{};
    host_mirror.sim_cockpit2_annunciators_yaw_damper = 1;
    host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 2000.0f;
  }
  // Every light of the overhead, fire, door, cabin, bleed and anti-ice
  // panels dark; levels L1 1, L2 0.5, L0 0.8.
  void dark_panels() {
    SetUp();
    ann_levels = {1.0f, 1.0f, 0.5f, 0.8f, 0.5f, 1.0f};
    overhead_lights = OverheadLightState{};
    fire_lights = FireLightState{};
    anti_ice_lights = AntiIceLightState{};
    variant_index = 0;
    toggle_switch::flt_dk_door = toggle_switch::emer_exit_lights = 1.0f;
    toggle_switch::fire_test = toggle_switch::air_valve_ctrl = toggle_switch::elt = toggle_switch::gpws_xraas_pos = 0.0f;
    push_botton::cargo_fire_test = 0.0f;
    fire::engine01_02L_ext_bottle_psi = 600.0f;
    fire::apu_was_fire = fire::apu_ext_switch_pos_arm = 0.0f;
    fuel::cross_feed_valve = cockpit::cabin_alt = 0.0f;
    cockpit::cabin_altitude_actual = cockpit::cabin_vvi = 0.0f;
    host_mirror.sim_cockpit_pressure_cabin_pressure_differential_psi = 0.0f;
    cockpit_options.high_alt_ldg = system_::high_alt_ldg_on = system_::gpws_test_running = 0.0f;
    cockpit::xraas_installed = 1.0f;
    cockpit::pressurization_mode = 1.0f;
    door::flt_dk_door_ratio = 0.0f;
    script_mirror.zuvadud_D738_airstairs_hide = 1.0f;
    bleed_duct_value[0] = bleed_duct_value[1] = 0.0f;
    host_mirror.sim_cockpit2_ice_ice_pitot_heat_on_pilot = host_mirror.sim_cockpit2_ice_ice_AOA_heat_on_copilot = 1;
    system_::wing_anti_ice_valve[0] = system_::wing_anti_ice_valve[1] = 0.0f;
    system_::eng_inlet_valve[0] = 0.0f;
    ice::wing_heat_pos = ice::eng1_heat_pos = 0.0f;
    ice::window_heat_l_fwd_pos = ice::window_heat_r_fwd_pos = 0.0f;
    for (float& w : window_overheat_state) w = 0.0f;
    host_mirror.sim_cockpit2_ice_ice_pitot_heat_on_copilot = host_mirror.sim_cockpit2_ice_ice_AOA_heat_on = 1;
    electric::gen1_available = electric::gen2_available = 1.0f;
    using namespace hydraulic;
    A_press_trg = B_press_trg = A_press_el_trg = B_press_el_trg = 3000.0f;
    hyd_state.edp_press_a = hyd_state.edp_press_b = 3000.0f;
    press_ctrl = PressController{};
    press_ctrl.selected_channel = 1;
    failure_tables = FailureTables{};
    cockpit::cabin_pressure_diff = cockpit::cabin_vvi = cockpit::cabin_altitude_actual = 0.0f;
  }
  static void run_panels() {
    for (SixPackGroup& g : ann_state.six_pack) {
      for (int32_t& v : g.slot) v = 0;  // as the pass starts
    }
    annunciators_electrical();
    annunciators_flight_controls();
    annunciators_overhead();
    annunciators_fire();
    annunciators_doors_radio();
    annunciators_cabin_bleed();
    annunciators_anti_ice();
    annunciators_recorders();
  }
};

TEST_F(Lights, RudderLightsBySwitchAndSource) {
  struct Row {
    float a_sw, b_sw, a, b, stby_on, stby;
    float a_rud, b_rud, stby_rud, std_on;
  } rows[] = {
      {1, 1, 1, 1, 0, 0, 0, 0, 0, 0},   {0, 1, 0, 1, 0, 1, 1, 0, 0, 0},  {1, 0, 1, 0, 0, 1, 0, 1, 0, 0},
      {-1, 1, 0, 1, 0, 0, 0, 0, 1, 1},  {1, -1, 1, 0, 0, 1, 0, 0, 0, 1}, {1, 1, 1, 1, 1, 0, 0, 0, 1, 0},
      {1, 1, 1, 1, 1, 1, 0, 0, 0, 0},   {0, 1, 1, 1, 0, 0, 1, 0, 0, 0},  {1, 0, 1, 1, 0, 0, 0, 1, 0, 0},
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
    float a, b, ra, flaps, timer, lit;  // the light is the flag the window's end sets
  } rows[] = {{0, 3000, 500, 0.125f, 0, 0}, {0, 3000, 50, 0.875f, 0, 0}, {3000, 2250, 500, 0, 0, 0},
              {3000, 2249, 500, 0, 30, 1},    {2249, 3000, 500, 0, 30, 1}, {3000, 2000, 100, 0, 0, 1},
              {3000, 2000, 101, 0, 30, 1}};
  for (const Row& r : rows) {
    host_mirror.sim_cockpit2_controls_flap_handle_deploy_ratio = r.flaps;
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
  // Moving is TRANSIT wherever the devices are; slat 1 moving counts too.
  // At rest the devices must stand where the trailing edge flaps (te, by
  // default flaps 2 for the mid position and 15 for full) put them.
  struct Row {
    float prev, s, ext, transit;
    float s1_prev = 0.0f, s1 = 0.0f, te = -1.0f;
  } rows[] = {
      {0, 0, 0, 0},          {0.5f, 0.5f, 1, 0, 0.5f, 0.5f}, {1, 1, 1, 0, 1, 1}, {0.3f, 0.3f, 0, 1},
      {0.3f, 0.32f, 0, 1},   {0.3f, 0.33f, 0, 1},     {0.4f, 0.5f, 0, 1},    {0.4f, 0.51f, 0, 1},
      {0.7f, 0.82f, 0, 1},   {0.7f, 0.83f, 0, 1},     {0.9f, 0.68f, 0, 1},   {0.9f, 0.67f, 0, 1},
      {0.6f, 0.5f, 0, 1},    {0.6f, 0.49f, 0, 1},     {0.3f, 0.18f, 0, 1},   {0.3f, 0.17f, 0, 1},
      {1, 1, 0, 1, 0.9f, 0.95f}, {0.5f, 0.5f, 0, 1, 0.5f, 0.4f}, {1, 1, 1, 0, 1, 1}, {0, 0, 0, 1, 0.2f, 0.1f},
      // Against the flaps: up at flaps 10, mid with the flaps up or at 15;
      // full at flaps 2 is the auto slats' and the alternate drive's place.
      {0, 0, 0, 1, 0, 0, 0.5f}, {0.5f, 0.5f, 0, 1, 0.5f, 0.5f, 0}, {0.5f, 0.5f, 0, 1, 0.5f, 0.5f, 0.625f},
      {1, 1, 1, 0, 1, 1, 0.25f},
  };
  for (const Row& r : rows) {
    host_mirror.sim_cockpit2_controls_flap_handle_deploy_ratio =
        r.te >= 0.0f ? r.te : (r.s == 0.0f ? 0.0f : (r.s <= 0.5f ? 0.25f : 0.625f));
    slat_ratio_prev = r.prev;
    slat1_ratio_prev = r.s1_prev;
    host_mirror.sim_flightmodel2_controls_slat2_deploy_ratio = r.s;
    host_mirror.sim_flightmodel2_controls_slat1_deploy_ratio = r.s1;
    annunciators_flight_controls();
    EXPECT_EQ(annunciator::slats_extend, r.ext) << r.prev << " -> " << r.s << ", slat 1 " << r.s1_prev << " -> " << r.s1;
    EXPECT_EQ(annunciator::slats_transit, r.transit) << r.prev << " -> " << r.s << ", slat 1 " << r.s1_prev << " -> "
                                                     << r.s1;
    EXPECT_EQ(slat_ratio_prev, r.s);
    EXPECT_EQ(slat1_ratio_prev, r.s1);
  }
  host_mirror.sim_flightmodel2_controls_slat1_deploy_ratio = 0.0f;
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
    engine::thrust1_leveler = 0.6f;
    engine::thrust2_leveler = 0.0f;
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
  // Either thrust lever beyond half counts.
  electric::batbus_status = 1.0f;
  engine::thrust1_leveler = 0.0f;
  for (float thrust2 : {0.5f, 0.51f}) {
    engine::thrust2_leveler = thrust2;
    annunciators_flight_controls();
    EXPECT_EQ(annunciator::takeoff_config, thrust2 > 0.5f ? 1.0f : 0.0f) << thrust2;
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
  } rows[] = {{0.5f, 0, 1, 0.3f}, {0.51f, 1, 1, 0.3f}, {0.51f, 0, 0, 0}, {0.51f, 0, 1, 0}};  // unpowered: held
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
  // The last column: the controller in charge is faulted (no healthy one left).
  struct Auto {
    float sel, mode, diff, cabin_alt, vvi, fail;
    uint8_t faulted;
  } autos[] = {{0, 1, 8.75f, 15800, 3000, 0, 0}, {0, 2, 0, 0, 0, 1, 0},  {1, 2, 0, 0, -3000, 0, 0},
               {1, 1, 0, 0, 0, 1, 0},             {2, 3, 0, 0, 0, 0, 0},  {2, 0, 0, 0, 0, 1, 0},
               {2, 3, 8.76f, 0, 0, 1, 0},         {2, 3, 0, 15801, 0, 1, 0}, {2, 3, 0, 0, -3001, 1, 0},
               {0, 1, 0, 0, 0, 1, 1},             {1, 2, 0, 0, 0, 1, 1}};
  for (const Auto& a : autos) {
    toggle_switch::air_valve_ctrl = a.sel;
    cockpit::pressurization_mode = a.mode;
    press_ctrl.channel_faulted = a.faulted;
    host_mirror.sim_cockpit_pressure_cabin_pressure_differential_psi = a.diff;
    cockpit::cabin_altitude_actual = a.cabin_alt;
    cockpit::cabin_vvi = a.vvi;
    annunciators_recorders();
    EXPECT_EQ(annunciator::autofail, a.fail) << a.sel << " " << a.mode << " " << a.diff << " " << a.cabin_alt << " " << a.vvi;
  }
  // STAB OUT OF TRIM: the autopilot's trim stalled short of its target,
  // not the stabiliser's place.
  struct Trim {
    float ap, trim, stalled_s, lit;
  } trims[] = {{1, 0.0f, 3.0f, 1}, {1, 0.0f, 2.9f, 0}, {1, 0.702f, 0.0f, 0}, {1, -0.958f, 0.0f, 0}, {0, 0.0f, 9.0f, 0}};
  for (const Trim& t : trims) {
    script_mirror.zuvadud_autopilot_ap_on = t.ap;
    host_mirror.sim_cockpit2_controls_elevator_trim = t.trim;
    pitch_servo.trim_stalled_s = t.stalled_s;
    annunciators_recorders();
    EXPECT_EQ(annunciator::stab_out_of_trim, t.lit) << t.ap << " " << t.trim << " " << t.stalled_s;
  }
  pitch_servo.trim_stalled_s = 0.0f;
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

TEST_F(Lights, VoiceRecorderStartTrackingAndRunOnTable) {
  struct Row {
    int burn1, burn2;
    float n2_1, n2_2;
    int running_before;
    float timer_before;
    int state_before;
    float timer_after;
    int state_after;
    float cvr;
  } rows[] = {
      {0, 0, 0, 0, 1, 0, 2, 299.875f, 2, 1},  {0, 0, 0, 0, 0, 100, 2, 99.875f, 0, 1}, {1, 0, 40, 0, 0, 100, 0, 0, 0, 0},
      {1, 0, 51, 0, 0, 100, 0, 99.875f, 2, 1}, {1, 1, 60, 60, 1, 100, 2, 0, 2, 1},    {0, 1, 0, 50, 0, 0, 0, 0, 0, 0},
      {0, 1, 0, 50.1f, 0, 0, 0, 0, 2, 1},
  };
  for (const Row& r : rows) {
    toggle_switch::vcr = 0.0f;
    recorder_lights.eng_running_prev[0] = r.running_before;
    recorder_lights.cvr_run_timer = r.timer_before;
    recorder_lights.cvr_state = r.state_before;
    host_mirror.sim_flightmodel2_engines_engine_is_burning_fuel[0] = r.burn1;
    host_mirror.sim_flightmodel2_engines_engine_is_burning_fuel[1] = r.burn2;
    host_mirror.sim_flightmodel2_engines_N2_percent[0] = r.n2_1;
    host_mirror.sim_flightmodel2_engines_N2_percent[1] = r.n2_2;
    annunciators_recorders();
    const auto why = ::testing::Message() << r.burn1 << r.burn2 << " " << r.n2_1 << " " << r.n2_2 << " " << r.running_before
                                          << " " << r.timer_before << " " << r.state_before;
    EXPECT_EQ(recorder_lights.cvr_run_timer, r.timer_after) << why;
    EXPECT_EQ(recorder_lights.cvr_state, r.state_after) << why;
    EXPECT_EQ(annunciator::cvr, r.cvr) << why;
  }
}

TEST_F(Lights, ElectricalPanelSourceDriveStandbyAndApuLights) {
  struct Source {
    int gen_off;
    float gpu_amps, apu_amps, apu_on_bus1, lit;
  } sources[] = {{1, 0.9f, 0.9f, 1, 1}, {1, 1, 0, 0, 0}, {1, 0, 1, 1, 0}, {1, 0, 1, 0, 1}, {0, 0, 0, 0, 0}};
  for (const Source& r : sources) {
    host_mirror.sim_cockpit2_annunciators_generator_off[0] = r.gen_off;
    host_mirror.sim_cockpit_electrical_gpu_amps = r.gpu_amps;
    host_mirror.sim_cockpit2_electrical_APU_generator_amps = r.apu_amps;
    electrical::apu_power_bus1 = r.apu_on_bus1;
    annunciators_electrical();
    EXPECT_EQ(annunciator::source_off1, r.lit) << r.gen_off << " " << r.gpu_amps << " " << r.apu_amps << " " << r.apu_on_bus1;
    EXPECT_EQ(annunciator::gen_off_bus1, static_cast<float>(r.gen_off));
  }
  // The unscaled flag the scripts read is no lamp: without lamp power (a dead
  // cockpit) it still reads 1 while the lamp is dark.
  const AnnunciatorLevels lit = ann_levels;
  ann_levels.l1 = 0.0f;
  host_mirror.sim_cockpit2_annunciators_generator_off[0] = 1;
  host_mirror.sim_cockpit_electrical_gpu_amps = host_mirror.sim_cockpit2_electrical_APU_generator_amps = 0.0f;
  annunciators_electrical();
  EXPECT_EQ(annunciator::source_off1x, 1.0f);
  EXPECT_EQ(annunciator::source_off1, 0.0f);
  ann_levels = lit;
  struct Apu {
    float enable, amps, lit;
  } apus[] = {{1, 0, 1}, {1, 0.1f, 0}, {0, 0, 0}};
  for (const Apu& a : apus) {
    electrical::apu_bus_enable = a.enable;
    host_mirror.sim_cockpit2_electrical_APU_generator_amps = a.amps;
    annunciators_electrical();
    EXPECT_EQ(annunciator::apu_gen_off_bus, a.lit) << a.enable << " " << a.amps;
  }
  struct Standby {
    float pos, t1, t2, volts, lit;
    float ac_stby = 1, dc_stby = 1, bat_bus = 1;
  } standbys[] = {{0, 1, 1, 24, 1},   {-1, 1, 1, 9.9f, 1}, {-1, 1, 1, 10, 0}, {1, 0, 0, 9.9f, 1},
                  {1, 1, 0, 9.9f, 0}, {1, 0, 1, 9.9f, 0},  {1, 0, 0, 10, 0},   {1, 1, 1, 24, 1, 0},
                  {1, 1, 1, 24, 1, 1, 0}, {-1, 1, 1, 24, 1, 1, 1, 0}};
  for (const Standby& b : standbys) {
    electric::standby_bat_pos = b.pos;
    electric::ac_stdbus_status = b.ac_stby;
    electric::dc_stdbus_status = b.dc_stby;
    electric::batbus_status = b.bat_bus;
    electric::ac_tnsbus1_status = b.t1;
    electric::ac_tnsbus2_status = b.t2;
    host_mirror.sim_cockpit2_electrical_battery_voltage_actual_volts[1] = b.volts;
    annunciators_electrical();
    EXPECT_EQ(annunciator::standby_pwr_off, b.lit) << b.pos << " " << b.t1 << b.t2 << " " << b.volts << " " << b.ac_stby
                                                   << b.dc_stby << b.bat_bus;
    EXPECT_EQ(ann_state.six_pack[sp_elec].slot[8], static_cast<int>(b.lit));
    EXPECT_EQ(annunciator::trans_bus_off1, b.t1 == 0 ? 1.0f : 0.0f);
    EXPECT_EQ(annunciator::trans_bus_off2, b.t2 == 0 ? 1.0f : 0.0f);
  }
  struct Drive {
    int failed;
    float available, lit;
  } drives[] = {{6, 1, 1}, {5, 1, 0}, {0, 0, 1}};
  for (const Drive& d : drives) {
    host_mirror.sim_operation_failures_rel_genera0 = d.failed;
    electric::gen1_available = d.available;
    annunciators_electrical();
    EXPECT_EQ(annunciator::drive1, d.lit) << d.failed << " " << d.available;
  }
}

TEST_F(Lights, FuelSixPackPairsWingPumpsUnlessRecalled) {
  frame_time = 1.0f;  // the pump light filter settles in one frame
  for (int i = 0; i < 3; ++i) host_mirror.sim_cockpit2_fuel_fuel_quantity[i] = 1000.0f;
  fuel::fuel_tank_pos_rgt1 = fuel::fuel_tank_pos_rgt2 = 1.0f;
  struct Row {
    float l1, l2;
    int recall, slot0, slot1, recall_after;
  } rows[] = {{0, 1, 0, 0, 0, 0}, {0, 0, 0, 1, 1, 0}, {0, 1, 1, 1, 0, 1}, {1, 1, 1, 0, 0, 0}};
  for (const Row& r : rows) {
    fuel_pump_lights = FuelPumpLightState{};
    fuel::fuel_tank_pos_lft1 = r.l1;
    fuel::fuel_tank_pos_lft2 = r.l2;
    ann_state.recall = r.recall;
    update_annunciators();  // the recall ends at the end of the pass
    const SixPackGroup& g = ann_state.six_pack[sp_fuel];
    EXPECT_EQ(g.slot[0], r.slot0) << r.l1 << r.l2 << r.recall;
    EXPECT_EQ(g.slot[1], r.slot1) << r.l1 << r.l2 << r.recall;
    EXPECT_EQ(ann_state.recall, r.recall_after) << r.l1 << r.l2 << r.recall;
  }
  for (float total : {459.0f, 458.9f}) {
    host_mirror.sim_flightmodel_weight_m_fuel_total = total;
    annunciators_electrical();
    EXPECT_EQ(ann_state.six_pack[sp_fuel].slot[6], total < 459.0f ? 1 : 0) << total;
  }
}

TEST_F(Lights, TransformerRectifierLightByCrossTieAndHeight) {
  struct Row {
    float t1, t2, tru1, tru2, tru3;
    int cross_tie;
    float ra, lit;
  } rows[] = {
      {1, 1, 0, 1, 1, 0, 0, 1},  {1, 1, 1, 1, 1, 0, 0, 0},  {1, 1, 1, 0, 1, 0, 0, 1},   {0, 1, 1, 1, 0, 0, 0, 1},
      {1, 0, 1, 0, 0, 0, 0, 0},  {1, 1, 1, 0, 1, 1, 10, 0}, {1, 1, 1, 0, 0, 1, 10, 1},  {1, 0, 1, 0, 0, 1, 10, 0},
      {1, 1, 1, 0, 1, 1, 9.9f, 1}, {1, 1, 1, 1, 0, 1, 9.9f, 1}, {0, 1, 1, 1, 0, 1, 9.9f, 1},
      // Bus transfer off: in flight TRU 2 or TRU 3 alone stays dark, both or
      // TRU 1 light it; on the ground any.
      {1, 1, 1, 1, 0, 0, 10, 0}, {1, 1, 1, 0, 1, 0, 10, 0}, {1, 1, 1, 0, 0, 0, 10, 1}, {1, 1, 0, 1, 1, 0, 10, 1},
      {1, 1, 1, 1, 0, 0, 9.9f, 1},
  };
  for (const Row& r : rows) {
    electric::ac_tnsbus1_status = r.t1;
    electric::ac_tnsbus2_status = r.t2;
    electric::tru1_status = r.tru1;
    electric::tru2_status = r.tru2;
    electric::tru3_status = r.tru3;
    host_mirror.sim_cockpit2_electrical_cross_tie = r.cross_tie;
    host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = r.ra;
    annunciators_electrical();
    EXPECT_EQ(annunciator::tr_unit, r.lit)
        << r.t1 << r.t2 << " " << r.tru1 << r.tru2 << r.tru3 << " " << r.cross_tie << " " << r.ra;
  }
}

TEST_F(Lights, WindowHeatOnBelowFortyThreeDegrees) {
  struct Row {
    float sw, bus, temp, ovht, lit;
  } rows[] = {{1, 1, 42.9f, 0, 1}, {1, 1, 43, 0, 0}, {1, 1, 20, 1, 0}, {1, 1, 20, 0.4f, 0}, {0, 1, 20, 0, 0},
              {1, 0, 20, 0, 0}};
  for (const Row& r : rows) {
    ice::window_heat_l_side_pos = r.sw;
    electric::ac_tnsbus2_status = r.bus;
    ice::l_side_temp = r.temp;
    annunciator::window_heat_ovht_ls = r.ovht;
    annunciators_electrical();  // one frame of 0.125 s settles the 8/s filter
    EXPECT_EQ(annunciator::window_heat_l_side, r.lit) << r.sw << " " << r.bus << " " << r.temp << " " << r.ovht;
  }
}

TEST_F(Lights, ElectricPumpOverheatsRunningDry) {
  // Heat builds 0.5 per second while the pump runs dry, lights above 100 and
  // goes out below 1, falling 1/1.33 per second.
  frame_time = 10.0f;
  toggle_switch::electric_hydro_pumps2_pos = 1.0f;
  hydraulic::hyd_B_qty = 30.0f;
  for (int i = 0; i < 16; ++i) annunciators_electrical();  // cool from any earlier heat
  EXPECT_EQ(annunciator::el_hyd_ovht_2, 0.0f);
  hydraulic::hyd_B_qty = 29.9f;
  for (int i = 1; i <= 6; ++i) {
    annunciators_electrical();
    EXPECT_EQ(annunciator::el_hyd_ovht_2, i == 6 ? 1.0f : 0.0f) << i;
  }
  EXPECT_EQ(annunciator::el_hyd_ovht_1, 0.0f);
  hydraulic::hyd_B_qty = 30.0f;
  for (int i = 1; i <= 16; ++i) {
    annunciators_electrical();
    EXPECT_EQ(annunciator::el_hyd_ovht_2, i == 16 ? 0.0f : 1.0f) << i;
  }
  // A pump whose control bus is lost does not run, dry or not; its motor's
  // own bus alive or not.
  hydraulic::hyd_B_qty = 29.9f;
  for (float* control : {&electric::dc_bus1_status, &electric::ac_tnsbus1_status}) {
    *control = 0.0f;
    for (int i = 1; i <= 8; ++i) annunciators_electrical();
    EXPECT_EQ(annunciator::el_hyd_ovht_2, 0.0f);
    *control = 1.0f;
  }
}

// One input each, from a panel with every light dark; levels L1 1, L2 0.5, L0 0.8.
TEST_F(Lights, SingleConditionLightsOfTheOverheadFireCabinAndAntiIcePanels) {
  using namespace annunciator;
  struct Row {
    const char* what;
    void (*set)();
    const float* light;
    float lit;
  } rows[] = {
      {"fadec 6, engine running on the ground",
       [] {
         host_mirror.sim_operation_failures_rel_fadec_0 = 6;
         host_mirror.sim_flightmodel2_engines_N2_percent[0] = 50.1f;
         on_ground = 1;
       },
       &fadec_fail_0, 1},
      {"fadec 6, engine at 50 %",
       [] {
         host_mirror.sim_operation_failures_rel_fadec_0 = 6;
         host_mirror.sim_flightmodel2_engines_N2_percent[0] = 50.0f;
         on_ground = 1;
       },
       &fadec_fail_0, 0},
      {"fadec 6 in flight",
       [] {
         host_mirror.sim_operation_failures_rel_fadec_0 = 6;
         host_mirror.sim_flightmodel2_engines_N2_percent[0] = 90.0f;
       },
       &fadec_fail_0, 0},
      {"smoke armed", [] { host_mirror.sim_operation_failures_rel_smoke_cpit = 5; }, &smoke, 0},
      {"smoke", [] { host_mirror.sim_operation_failures_rel_smoke_cpit = 6; }, &smoke, 1},
      {"oxygen", [] { host_mirror.sim_cockpit_warnings_annunciators_passenger_oxy_on = 1; }, &pax_oxy, 1},
      {"filter 1", [] { host_mirror.sim_operation_failures_failures[330] = 6; }, &bypass_filter_1, 1},
      {"filter 2", [] { host_mirror.sim_operation_failures_failures[331] = 6; }, &bypass_filter_2, 1},
      {"alternate", [] { cockpit::pressurization_mode = 2.0f; }, &altn_press, 1},
      {"channel 1", [] { cockpit::pressurization_mode = 1.0f; }, &altn_press, 0},
      {"manual", [] { toggle_switch::air_valve_ctrl = 2.0f; }, &manual_press, 1},
      {"door unlocked", [] { toggle_switch::flt_dk_door = 0.0f; door::flt_dk_door_ratio = 0.1f; }, &door_lock_fail, 1},
      {"door open locked", [] { door::flt_dk_door_ratio = 0.1f; }, &door_lock_fail, 0},
      {"gps 2", [] { host_mirror.sim_operation_failures_rel_gps2 = 6; }, &gps, 0},
      {"gps 1 and 2",
       [] { host_mirror.sim_operation_failures_rel_gps = host_mirror.sim_operation_failures_rel_gps2 = 6; }, &gps, 1},
      {"gps 2 on recall",
       [] {
         host_mirror.sim_operation_failures_rel_gps2 = 6;
         ann_state.recall = 1;
       },
       &gps, 1},
      {"parking", [] { cockpit::parking_brake_pos = 1.0f; }, &parking_brake, 0.5f},
      {"egt 950.1", [] { host_mirror.sim_cockpit2_engine_indicators_EGT_deg_C[0] = 950.1f; }, &engine1_ovht, 1},
      {"egt 950", [] { host_mirror.sim_cockpit2_engine_indicators_EGT_deg_C[0] = 950.0f; }, &engine1_ovht, 0},
      {"engine fire", [] { host_mirror.sim_operation_failures_rel_engfir0 = 6; }, &engine1_fire, 0.5f},
      {"fire bell", [] { host_mirror.sim_operation_failures_rel_engfir1 = 6; }, &fire_bell_annun, 0.5f},
      {"bell unpowered",
       [] {
         host_mirror.sim_operation_failures_rel_engfir1 = 6;
         electric::batbus_status = 0.0f;
       },
       &fire_bell_annun, 0},
      {"bell on the battery bus",
       [] {
         host_mirror.sim_operation_failures_rel_engfir1 = 6;
         electric::ac_stdbus_status = 0.0f;
       },
       &fire_bell_annun, 0.5f},
      {"wheel well", [] { toggle_switch::fire_test = 1.0f; }, &wheel_well_fire, 1},
      {"wheel well unpowered",
       [] {
         toggle_switch::fire_test = 1.0f;
         electric::ac_tnsbus1_status = electric::ac_tnsbus2_status = 0.0f;
       },
       &wheel_well_fire, 0},
      {"fault test", [] { toggle_switch::fire_test = -1.0f; }, &fire_fault_inop, 1},
      {"apu det test", [] { toggle_switch::fire_test = -1.0f; }, &fire_apu_det_inop, 1},
      {"separation", [] { host_mirror.sim_operation_failures_rel_engsep1 = 6; }, &fire_fault_inop, 1},
      {"bottle empty", [] { fire::engine01_02L_ext_bottle_psi = 0.0f; }, &l_bottle_discharge, 1},
      {"cargo test", [] { push_botton::cargo_fire_test = 1.0f; }, &extinguisher_circuit_annun2, 1},
      {"crossfeed open", [] { fuel::cross_feed_valve = 1.0f; }, &crossfeed, 0.3f},
      {"crossfeed open annun", [] { fuel::cross_feed_valve = 1.0f; }, &crossfeed_annun, 0.4f},
      {"crossfeed moving", [] { fuel::cross_feed_valve = 0.011f; }, &crossfeed, 1},
      {"crossfeed shut", [] { fuel::cross_feed_valve = 0.01f; }, &crossfeed, 0},
      {"cabin 10001", [] { cockpit::cabin_alt = 10001.0f; }, &cabin_alt, 1},
      {"cabin 10000", [] { cockpit::cabin_alt = 10000.0f; }, &cabin_alt, 0},
      {"high field",
       [] {
         cockpit::cabin_alt = 12000.0f;
         cockpit_options.high_alt_ldg = system_::high_alt_ldg_on = 1.0f;
       },
       &cabin_alt, 0},
      {"high field 15001",
       [] {
         cockpit::cabin_alt = 15001.0f;
         cockpit_options.high_alt_ldg = system_::high_alt_ldg_on = 1.0f;
       },
       &cabin_alt, 1},
      {"high field option off",
       [] {
         cockpit::cabin_alt = 12000.0f;
         system_::high_alt_ldg_on = 1.0f;
       },
       &cabin_alt, 1},
      {"gpws test", [] { system_::gpws_test_running = 1.0f; }, &annunciator::gpws, 1},
      {"xraas missing", [] { cockpit::xraas_installed = 0.0f; }, &xraas, 1},
      {"xraas switch", [] { toggle_switch::gpws_xraas_pos = 1.0f; }, &xraas, 1},
      {"anti-skid dc", [] { electric::dc_bus1_status = 0.0f; }, &anti_skid_inop, 1},
      {"parked short of full",
       [] {
         cockpit::parking_brake_pos = 1.0f;
         host_mirror.sim_cockpit2_controls_parking_brake_ratio = 0.9f;
       },
       &anti_skid_inop, 1},
      {"parked full",
       [] {
         cockpit::parking_brake_pos = 1.0f;
         host_mirror.sim_cockpit2_controls_parking_brake_ratio = 1.0f;
       },
       &anti_skid_inop, 0},
      {"airstair", [] { script_mirror.zuvadud_D738_airstairs_hide = 0.0f; }, &airstair, 1},
      {"elt", [] { toggle_switch::elt = 1.0f; }, &annunciator::elt, 1},
      {"apu fire was", [] { fire::apu_was_fire = 1.0f; }, &apu_fault, 1},
      {"apu armed", [] { fire::apu_ext_switch_pos_arm = 1.0f; }, &apu_fault, 1},
      {"hvac", [] { host_mirror.sim_cockpit_warnings_annunciators_hvac = 1; }, &wing_body_ovht_right, 1},
      {"bleed 254.1", [] { bleed_duct_value[0] = 254.1f; }, &bleed_trip_1, 1},
      {"bleed 254", [] { bleed_duct_value[0] = 254.0f; }, &bleed_trip_1, 0},
      {"bleed fail", [] { host_mirror.sim_cockpit_warnings_annunciators_bleed_air_fail[1] = 1; }, &bleed_trip_2, 1},
      {"pitot off", [] { host_mirror.sim_cockpit2_ice_ice_pitot_heat_on_pilot = 0; }, &capt_pitot_off, 1},
      {"aoa off, a frame", [] { host_mirror.sim_cockpit2_ice_ice_AOA_heat_on_copilot = 0; }, &fo_aoa_off, 0},
      {"wing open, switch off", [] { system_::wing_anti_ice_valve[0] = 1.0f; }, &wing_ice_on_L, 1},
      {"wing open", [] { system_::wing_anti_ice_valve[0] = 0.951f; ice::wing_heat_pos = 1.0f; }, &wing_ice_on_L, 0.3f},
      {"wing open annun", [] { system_::wing_anti_ice_valve[1] = 1.0f; ice::wing_heat_pos = 1.0f; }, &wing_ice_on_R_annun, 0.4f},
      {"wing 0.95", [] { system_::wing_anti_ice_valve[0] = 0.95f; ice::wing_heat_pos = 1.0f; }, &wing_ice_on_L, 1},
      {"wing 0.051", [] { system_::wing_anti_ice_valve[0] = 0.051f; }, &wing_ice_on_L, 1},
      {"wing shut, switch on", [] { system_::wing_anti_ice_valve[0] = 0.05f; ice::wing_heat_pos = 1.0f; }, &wing_ice_on_L, 1},
      {"cowl ice, heat on",
       [] {
         host_mirror.sim_flightmodel_failures_inlet_ice_per_engine[1] = 0.5f;
         host_mirror.sim_cockpit2_ice_ice_inlet_heat_on_per_engine[1] = 1;
       },
       &cowl_ice_1, 0},
      {"cowl ice thin",
       [] {
         host_mirror.sim_flightmodel_failures_inlet_ice_per_engine[1] = 0.055f;
         host_mirror.sim_cockpit2_ice_ice_inlet_heat_on_per_engine[1] = 1;
       },
       &cowl_ice_1, 0},
      {"cowl valve open", [] { system_::eng_inlet_valve[0] = 1.0f; ice::eng1_heat_pos = 1.0f; }, &eicas::eng1_tai, 0.5f},
      {"window test", [] { ice::window_heat_l_fwd_pos = 1.0f; window_overheat_state[window_l_fwd] = 1.0f; },
       &window_heat_ovht_lf, 1},
      {"l1 door", [] { script_mirror.tarv_doors_L1 = 0.1f; }, &fwd_entry, 1},
      {"l2 door", [] { script_mirror.tarv_doors_L2 = 0.1f; }, &aft_entry, 1},
      {"r1 door", [] { script_mirror.tarv_doors_R1 = 0.1f; }, &fwd_service, 1},
      {"r2 door", [] { script_mirror.tarv_doors_R2 = 0.1f; }, &aft_service, 1},
      {"fwd cargo", [] { script_mirror.tarv_doors_Fwd_Cargo = 0.1f; }, &fwd_cargo, 1},
      {"aft cargo", [] { script_mirror.tarv_doors_aft_Cargo = 0.1f; }, &aft_cargo, 1},
      {"emerg4", [] { script_mirror.tarv_doors_emerg4 = 0.1f; }, &left_fwd_overwing, 1},
      {"aft1", [] { script_mirror.tarv_doors_aft1 = 0.1f; }, &left_aft_overwing, 1},
      {"emerg2", [] { script_mirror.tarv_doors_emerg2 = 0.1f; }, &right_fwd_overwing, 1},
      {"emerg1", [] { script_mirror.tarv_doors_emerg1 = 0.1f; }, &right_aft_overwing, 1},
      {"equipment 0.011", [] { host_mirror.sim_flightmodel2_misc_custom_slider_ratio[21] = 0.011f; }, &equip_door, 1},
      {"equipment 0.01", [] { host_mirror.sim_flightmodel2_misc_custom_slider_ratio[21] = 0.01f; }, &equip_door, 0},
      {"mid exit", [] { variant_index = 4; script_mirror.tarv_doors_R_mid = 0.1f; }, &right_mid_exit, 1},
      {"mid exit elsewhere", [] { script_mirror.tarv_doors_R_mid = 0.1f; }, &right_mid_exit, 0},
  };
  for (const Row& r : rows) {
    dark_panels();
    r.set();
    run_panels();
    EXPECT_NEAR(*r.light, r.lit, 1e-6f) << r.what;
  }
  variant_index = 0;
}

TEST_F(Lights, DisplayTestFlickerPhases) {
  toggle_switch::bright_test = 1.0f;
  electric::batbus_status = ann_state.prev_batbus_status = 1.0f;
  ann_state.dspl_power_test_time = 0.0f;
  cockpit::dspl_light_test[9] = 0.0f;
  const float start[9] = {0, 2.4f, 2.5f, 3.95f, 1, 2, 3, 3.9f, 0.5f};
  for (int i = 0; i < 9; ++i) ann_state.flicker_phase_s[i] = start[i];
  update_annunciators();
  for (int i = 0; i < 9; ++i) {
    EXPECT_EQ(cockpit::dspl_light_test[i], start[i] < 2.5f ? 1.0f : 2.0f) << i;
    // Each phase runs at 1 to 1.17 times the clock and wraps at 4 s.
    const float next = start[i] + 0.125f;
    const float lo = next > 4.0f ? next - 4.0f : next;
    EXPECT_GE(ann_state.flicker_phase_s[i], lo - 1e-6f) << i;
    EXPECT_LE(ann_state.flicker_phase_s[i], lo + 0.17f * 0.125f + 1e-6f) << i;
  }
  EXPECT_EQ(cockpit::dspl_light_test[9], 0.0f);  // the power-up test's own element
  toggle_switch::bright_test = 0.0f;
  update_annunciators();
  for (int i = 0; i < 9; ++i) EXPECT_EQ(cockpit::dspl_light_test[i], 0.0f) << i;
}

TEST_F(Lights, LightSpillDimLightsAndCabinEmergencyBlink) {
  using namespace light;
  host_version = 120000;  // spill scale 9
  for (float lit : {0.56f, 0.55f}) {
    annunciator::wing_ice_on_L = lit;
    update_annunciators_aux();
    EXPECT_NEAR(spill_ratio_l_wings_lights_spill[3], lit > 0.55f ? lit : lit * 0.35f, 1e-6f) << lit;
  }
  // The door shades the cockpit seen from the cabin: view limits by variant.
  door::flt_dk_door_ratio = 0.4f;
  electric::main_bus1 = 1.0f;
  struct Door {
    float family;
    int variant;
    float view_z, factor;
  } doors[] = {{0, 0, -14.4f, 1}, {0, 0, -14.6f, 0.4f}, {2, 2, -11.3f, 1}, {2, 2, -11.5f, 0.4f}, {1, 2, -20, 1}};
  for (const Door& d : doors) {
    model_family = d.family;
    variant_index = d.variant;
    host_mirror.sim_aircraft_view_acf_peZ = d.view_z;
    update_annunciators_aux();
    EXPECT_NEAR(spill_ratio_cabin_lights_spill[3], d.factor, 1e-6f) << d.family << " " << d.variant << " " << d.view_z;
  }
  // Without the main AC buses (CAB/UTIL OFF, standby power) the cabin is dark.
  electric::main_bus1 = 0.0f;
  update_annunciators_aux();
  EXPECT_EQ(spill_ratio_cabin_lights_spill[3], 0.0f);
  // Transfer bus 1 lost: the emergency lights blink off, on, off, on, off, then stay on.
  model_family = 0.0f;
  variant_index = 0;
  host_mirror.sim_aircraft_view_acf_peZ = 0.0f;
  tarx_cabin::lights_x[4] = 0.5f;
  tarx_cabin::entry_lights_x[4] = 0.25f;
  update_annunciators_aux();
  EXPECT_NEAR(spill_ratio_cabin_lights_spill[4], 4.5f, 1e-6f);
  EXPECT_NEAR(spill_ratio_entry_lights_spill[4], 2.25f, 1e-6f);
  electric::ac_tnsbus1_status = 0.0f;
  host_mirror.sim_graphics_scenery_sun_pitch_degrees = -1.0f;
  const float on[] = {0, 0, 1, 0, 1, 1, 0, 1, 1};  // at 0.125 s steps
  for (float expected : on) {
    update_annunciators_aux();
    EXPECT_NEAR(spill_ratio_cabin_lights_spill[4], expected * 1.85f * 9.0f, 1e-5f) << spill_state.emergency_blink_s;
    EXPECT_EQ(spill_ratio_entry_lights_spill[4], spill_ratio_cabin_lights_spill[4]);
  }
  host_mirror.sim_graphics_scenery_sun_pitch_degrees = -0.5f;
  update_annunciators_aux();
  EXPECT_EQ(spill_ratio_entry_lights_spill[4], 0.0f);
  host_mirror.sim_cockpit2_switches_generic_lights_switch[98] = 1.0f;
  update_annunciators_aux();
  EXPECT_NEAR(spill_ratio_entry_lights_spill[4], 4.5f, 1e-6f);
  EXPECT_EQ(spill_ratio_cabin_emergency_lights_spill[3], 1.0f);
  model_family = -1.0f;
}

TEST_F(Lights, FlapNeedlesLagAtFivePerSecondOnTransferBusTwo) {
  struct Row {
    float bus, before, flap_deg, after;
  } rows[] = {{1, 0, 30, 18.75f}, {1, 40, 60, 49}, {0, 10, 30, 10}};
  for (const Row& r : rows) {
    electric::ac_tnsbus2_status = r.bus;
    cockpit::flap_indicator[0] = cockpit::flap_indicator[1] = r.before;
    host_mirror.sim_flightmodel2_wing_flap2_deg[2] = host_mirror.sim_flightmodel2_wing_flap2_deg[3] = r.flap_deg;
    flap_needles();
    EXPECT_NEAR(cockpit::flap_indicator[0], r.after, 1e-4f) << r.bus << " " << r.before << " " << r.flap_deg;
    EXPECT_NEAR(cockpit::flap_indicator[1], r.after, 1e-4f) << r.bus << " " << r.before << " " << r.flap_deg;
  }
}

// The six-pack slots behind the master caution, one condition per row,
// each dark before its input is set.
TEST_F(Lights, SixPackSlotsOneConditionEach) {
  struct Row {
    const char* what;
    void (*set)();
    int group, slot, value;
  } rows[] = {
      {"gps", [] { host_mirror.sim_operation_failures_rel_gps = 6; }, sp_irs, 0, 0},
      {"gps 1 and 2",
       [] { host_mirror.sim_operation_failures_rel_gps = host_mirror.sim_operation_failures_rel_gps2 = 6; }, sp_irs, 1, 1},
      {"gps on recall",
       [] {
         host_mirror.sim_operation_failures_rel_gps = 6;
         ann_state.recall = 1;
       },
       sp_irs, 0, 1},
      {"irs right", [] { script_mirror.zuvadud_D738_annunciator_irs_right_fail = 1.0f; }, sp_irs, 3, 1},
      {"apu press", [] { host_mirror.sim_operation_failures_rel_APU_press = 6; }, sp_apu, 0, 1},
      {"apu armed", [] { fire::apu_ext_switch_pos_arm = 1.0f; }, sp_apu, 1, 1},
      {"apu was fire", [] { fire::apu_was_fire = 1.0f; }, sp_apu, 2, 1},
      {"fadec 1",
       [] {
         host_mirror.sim_operation_failures_rel_fadec_1 = 6;
         host_mirror.sim_flightmodel2_engines_N2_percent[1] = 60.0f;
         on_ground = 1;
       },
       sp_eng, 1, 1},
      {"fadec 1 in flight", [] { host_mirror.sim_operation_failures_rel_fadec_1 = 6; }, sp_eng, 1, 0},
      {"chip 2", [] { host_mirror.sim_cockpit2_annunciators_chip_detected[1] = 1; }, sp_eng, 3, 1},
      {"separation 1", [] { host_mirror.sim_operation_failures_rel_engsep0 = 6; }, sp_eng, 4, 1},
      {"oxygen failed", [] { host_mirror.sim_cockpit_warnings_annunciators_passenger_oxy_on = 6; }, sp_overhead, 0, 1},
      {"oxygen on", [] { host_mirror.sim_cockpit_warnings_annunciators_passenger_oxy_on = 1; }, sp_overhead, 0, 1},
      {"smoke failed", [] { host_mirror.sim_operation_failures_rel_smoke_cpit = 6; }, sp_overhead, 2, 1},
      {"filter 1 bypassed", [] { host_mirror.sim_operation_failures_failures[330] = 6; }, sp_fuel, 7, 1},
      {"filter 2 bypassed", [] { host_mirror.sim_operation_failures_failures[331] = 6; }, sp_fuel, 8, 1},
      {"exit lights off", [] { toggle_switch::emer_exit_lights = 0.0f; }, sp_overhead, 3, 1},
      {"exit lights on", [] { toggle_switch::emer_exit_lights = 2.0f; }, sp_overhead, 3, 1},
      {"engine 2 overheat", [] { host_mirror.sim_cockpit2_engine_indicators_EGT_deg_C[1] = 951.0f; }, sp_fire, 3, 1},
      {"fire test", [] { toggle_switch::fire_test = 1.0f; }, sp_fire, 4, 1},
      {"fault test", [] { toggle_switch::fire_test = -1.0f; }, sp_fire, 5, 1},
      {"detector lost with engine 2", [] { host_mirror.sim_operation_failures_rel_engsep1 = 6; }, sp_fire, 5, 1},
      {"fire test with engine 2 lost",
       [] {
         host_mirror.sim_operation_failures_rel_engsep1 = 6;
         fire_lights.fire_test_all = 1.0f;
       },
       sp_fire, 1, 0},
      {"overheat test with engine 1 lost",
       [] {
         host_mirror.sim_operation_failures_rel_engsep0 = 6;
         fire_lights.fire_test_all = 1.0f;
       },
       sp_fire, 2, 0},
      {"airstair out", [] { script_mirror.zuvadud_D738_airstairs_hide = 0.0f; }, sp_doors, 13, 1},
      {"aft cargo door", [] { script_mirror.tarv_doors_aft_Cargo = 1.0f; }, sp_doors, 5, 1},
      {"hvac", [] { host_mirror.sim_cockpit_warnings_annunciators_hvac = 1; }, sp_air_cond, 0, 1},
      {"trip 2", [] { bleed_duct_value[1] = 255.0f; }, sp_air_cond, 3, 1},
      {"off schedule", [] { press_ctrl.off_sched_descent = 1.0f; }, sp_air_cond, 4, 1},
      {"packs", [] { host_mirror.sim_operation_failures_failures[153] = 6; }, sp_air_cond, 5, 1},
      {"pack R tripped",
       [] {
         air::r_pack_pos = 1.0f;
         overhead_lights.prev_bus[1] = 1.0f;
         electric::ac_tnsbus1_status = 0.0f;
       },
       sp_air_cond, 5, 1},
      {"cabin altitude", [] { cockpit::cabin_alt = 10001.0f; }, sp_air_cond, 6, 1},
      {"cabin altitude 15,001 ft with HIGH ALT LANDING",
       [] {
         cockpit::cabin_alt = 15001.0f;
         cockpit_options.high_alt_ldg = system_::high_alt_ldg_on = 1.0f;
       },
       sp_air_cond, 6, 1},
      {"cabin altitude 15,000 ft with HIGH ALT LANDING",
       [] {
         cockpit::cabin_alt = 15000.0f;
         cockpit_options.high_alt_ldg = system_::high_alt_ldg_on = 1.0f;
       },
       sp_air_cond, 6, 0},
      {"differential 8.91", [] { cockpit::cabin_pressure_diff = 8.91f; }, sp_air_cond, 7, 1},
      {"differential 8.9", [] { cockpit::cabin_pressure_diff = 8.9f; }, sp_air_cond, 7, 0},
      {"channel 1 fault", [] { failure_tables.pressurisation[9] = 1.0f; }, sp_air_cond, 8, 1},
      {"channel 1 fault handed to 2",
       [] {
         failure_tables.pressurisation[9] = 1.0f;
         cockpit::pressurization_mode = 2.0f;
       },
       sp_air_cond, 8, 1},
      {"channel 2 fault on 1", [] { failure_tables.pressurisation[10] = 1.0f; }, sp_air_cond, 9, 0},
      {"cabin climbing 3,001 ft/min", [] { cockpit::cabin_vvi = 3001.0f; }, sp_air_cond, 10, 1},
      {"cabin at 15,801 ft", [] { cockpit::cabin_altitude_actual = 15801.0f; }, sp_air_cond, 10, 1},
      {"differential 8.76", [] { host_mirror.sim_cockpit_pressure_cabin_pressure_differential_psi = 8.76f; }, sp_air_cond, 10, 1},
      {"channel 2 fault",
       [] {
         failure_tables.pressurisation[10] = 1.0f;
         press_ctrl.selected_channel = 2;
       },
       sp_air_cond, 9, 1},
      {"auto fail: cabin rate", [] { cockpit::cabin_vvi = -3001.0f; }, sp_air_cond, 10, 1},
      {"auto fail: cabin altitude", [] { cockpit::cabin_altitude_actual = 15801.0f; }, sp_air_cond, 10, 1},
      {"auto fail: ALTN on channel 1", [] { toggle_switch::air_valve_ctrl = 1.0f; }, sp_air_cond, 10, 1},
      {"fo aoa heat", [] { host_mirror.sim_cockpit2_ice_ice_AOA_heat_on_copilot = 0; }, sp_ice, 7, 0},
      {"capt pitot heat", [] { host_mirror.sim_cockpit2_ice_ice_pitot_heat_on_pilot = 0; }, sp_ice, 4, 1},
      // A failed heater shows on its valve light, a blue light that calls no one.
      {"inlet heat 2", [] { host_mirror.sim_operation_failures_rel_ice_inlet_heat2 = 6; }, sp_ice, 1, 0},
      {"surface heat 2", [] { host_mirror.sim_operation_failures_rel_ice_surf_heat2 = 6; }, sp_ice, 3, 0},
      {"inlet heat 1, switch ON",
       [] {
         host_mirror.sim_operation_failures_rel_ice_inlet_heat = 6;
         ice::eng1_heat_pos = 1.0f;
       },
       sp_ice, 0, 0},
      {"surface heat 1, switch ON",
       [] {
         host_mirror.sim_operation_failures_rel_ice_surf_heat = 6;
         ice::wing_heat_pos = 1.0f;
       },
       sp_ice, 2, 0},
      {"window heat failed",
       [] {
         host_mirror.sim_operation_failures_rel_ice_window_heat = 6;
         ice::window_heat_r_fwd_pos = 1.0f;
       },
       sp_ice, 11, 1},
      {"source off 2", [] { host_mirror.sim_cockpit2_annunciators_generator_off[1] = 1; }, sp_elec, 1, 1},
      {"transfer bus 2", [] { electric::ac_tnsbus2_status = 0.0f; }, sp_elec, 3, 1},
      {"drive 2", [] { electric::gen2_available = 0.0f; }, sp_elec, 6, 1},
      {"tr unit", [] { electric::tru1_status = 0.0f; }, sp_elec, 7, 1},
      {"yaw damper", [] { host_mirror.sim_cockpit2_annunciators_yaw_damper = 0; }, sp_flt_cont, 0, 1},
      {"standby rudder", [] { switches::flt_ctr_B_pos = -1.0f; }, sp_flt_cont, 4, 1},
      {"feel differential",
       [] {
         hydraulic::B_pressure = 1000.0f;
         delay_flags.ann_delayed_2 = 1.0f;
       },
       sp_flt_cont, 5, 1},
      {"fdr off", [] { electric::ac_tnsbus1_status = 0.0f; }, sp_overhead, 1, 1},
      {"auto slat fail", [] { electric::dc_bus1_status = 0.0f; }, sp_flt_cont, 6, 1},
      {"window without power", [] { ice::window_heat_l_side_pos = 1.0f; electric::ac_tnsbus2_status = 0.0f; },
       sp_ice, 8, 1},
  };
  for (const Row& r : rows) {
    dark_panels();
    electric::tru1_status = electric::tru2_status = electric::tru3_status = 1.0f;
    switches::flt_ctr_A_pos = switches::flt_ctr_B_pos = 1.0f;
    host_mirror.sim_cockpit2_electrical_bus_load_amps[0] = 5.0f;
    run_panels();
    ASSERT_EQ(ann_state.six_pack[r.group].slot[r.slot], 0) << r.what << ": lit before its input";
    r.set();
    run_panels();
    EXPECT_EQ(ann_state.six_pack[r.group].slot[r.slot], r.value) << r.what;
  }
}

}  // namespace
