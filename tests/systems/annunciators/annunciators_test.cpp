// The annunciator pass: brightness levels, six-pack memory with master
// caution reset and recall, the light test, and a few light equations.
#include <gtest/gtest.h>

#include "core/binding.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "systems/annunciators/annunciator_values.h"
#include "systems/annunciators/annunciators.h"
#include "systems/delay_timers.h"
#include "systems/electrical/electric_values.h"
#include "systems/electrical/electrical.h"
#include "systems/annunciators/annunciators_panels.h"
#include "systems/fire/fire_values.h"
#include "systems/fuel/fuel_values.h"
#include "systems/hydraulics/hydraulic_values.h"
#include "systems/instruments/instrument_values.h"
#include "systems/switches/switch_values.h"
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
    annunciator::test = 0.0f;
    toggle_switch::emer_exit_lights = 1.0f;
    hydraulic::A_press_trg = hydraulic::B_press_trg = 2900.0f;
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
  electric::ac_stdbus_status = 1.0f;
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
  // Without AC standby power the bell lamps stay dark.
  electric::ac_stdbus_status = 0.0f;
  update_annunciators();
  EXPECT_EQ(annunciator::fire_bell_annun2, 0.0f);
  EXPECT_FLOAT_EQ(annunciator::engine1_fire, 0.8f);
  // Bottles: below 599.9 the circuit light, at 0 also the discharge light.
  fire::engine01_02L_ext_bottle_psi = 599.8f;
  fire::engine01_02R_ext_bottle_psi = 0.0f;
  update_annunciators();
  EXPECT_GT(annunciator::extinguisher_circuit_annun_left, 0.0f);
  EXPECT_EQ(annunciator::l_bottle_discharge, 0.0f);
  EXPECT_GT(annunciator::extinguisher_circuit_annun_right, 0.0f);
  EXPECT_GT(annunciator::r_bottle_discharge, 0.0f);
  EXPECT_EQ(annunciator::extinguisher_circuit_annun_apu, 0.0f);
  // The held overheat/fire test lights every detection light and the APU fire.
  fire_lights.fire_test_all = 1.0f;
  update_annunciators();
  EXPECT_GT(annunciator::engine2_fire, 0.0f);
  EXPECT_GT(annunciator::engine1_ovht, 0.0f);
  EXPECT_GT(annunciator::engine2_ovht, 0.0f);
  EXPECT_FLOAT_EQ(annunciator::apu_fire, 0.8f);
  host_mirror.sim_operation_failures_rel_engfir0 = 0;
  fire_lights = FireLightState{};
}

TEST_F(Annunciators, LightTestSetAndDarkWithoutLampPower) {
  EXPECT_EQ(ann_test_light_count, 153);
  annunciator::test = 1.0f;
  update_annunciators();
  int lit = 0;
  for (int i = 0; i < ann_test_light_count; ++i) lit += *ann_test_lights[i].light > 0.0f ? 1 : 0;
  EXPECT_EQ(lit, 153);
  EXPECT_FLOAT_EQ(annunciator::parking_brake, 0.8f);
  EXPECT_FLOAT_EQ(annunciator::ils, 1.0f);
  EXPECT_EQ(annunciator::flaps_test, 1.0f);
  EXPECT_EQ(annunciator::cvr, 0.0f) << "not in the test set";
  electric::dir_batbus_status = 0.0f;
  update_annunciators();
  for (int i = 0; i < ann_test_light_count; ++i) EXPECT_EQ(*ann_test_lights[i].light, 0.0f) << i;
}

TEST_F(Annunciators, DisplayPowerUpSelfTestLastsElevenSeconds) {
  electric::batbus_status = 0.0f;
  update_annunciators();
  electric::batbus_status = 1.0f;
  frame_time = 0.5f;
  int frames = 0;
  do {
    update_annunciators();
    ++frames;
  } while (cockpit::dspl_light_test[9] == 1.0f && frames < 100);
  EXPECT_EQ(frames, 23);  // lit on the power-up frame and the 22 that run the 11 s down
}

TEST_F(Annunciators, TrUnitLightTable) {
  struct Case {
    float t1, t2, tru1, tru2, tru3;
    int tie;
    float ra_ft, lit;
  };
  const Case cases[] = {
      {1, 1, 0, 1, 1, 0, 0, 1},      // TRU 1 lost with its bus up: always
      {1, 1, 1, 1, 0, 0, 0, 1},      // tie open: TRU 3 lost
      {1, 1, 1, 1, 0, 1, 500, 0},    // tie closed in flight: needs both 2 and 3
      {1, 1, 1, 0, 0, 1, 500, 1},
      {1, 1, 1, 1, 0, 1, 5, 1},      // below 10 ft: TRU 3 with bus 1
  };
  for (const Case& c : cases) {
    electric::ac_tnsbus1_status = c.t1;
    electric::ac_tnsbus2_status = c.t2;
    electric::tru1_status = c.tru1;
    electric::tru2_status = c.tru2;
    electric::tru3_status = c.tru3;
    host_mirror.sim_cockpit2_electrical_cross_tie = c.tie;
    host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = c.ra_ft;
    update_annunciators();
    EXPECT_EQ(annunciator::tr_unit, c.lit) << c.tru1 << c.tru2 << c.tru3 << " tie " << c.tie << " ra " << c.ra_ft;
  }
}

}  // namespace
