// APU sequence, fuel feed and quantities, cabin air and oxygen, against the
// simulated host.
#include <gtest/gtest.h>

#include <array>

#include "alerting/aural_cues.h"
#include "core/preprocess_values.h"
#include "core/variant.h"
#include "engines/engine_values.h"
#include "panel_fixture.h"
#include "systems/air/air_values.h"
#include "systems/aircraft_systems.h"
#include "systems/annunciators/annunciator_values.h"
#include "systems/apu_start/apu.h"
#include "systems/apu_start/apu_start_state.h"
#include "systems/air/cabin_air.h"
#include "systems/delay_timers.h"
#include "systems/fire/fire_values.h"
#include "systems/fuel/fuel.h"
#include "systems/fuel/fuel_pump_lights.h"
#include "systems/fuel/fuel_values.h"
#include "systems/instruments/instrument_values.h"
#include "systems/air/oxygen_state.h"
#include "systems/switches/switch_values.h"
#include "systems/system_state.h"
#include "systems/systems_steps.h"

namespace {

class Apu : public PanelTest {
 protected:
  void SetUp() override {
    PanelTest::SetUp();
    apu_state = ApuState{};
    apu_state.load_factor = 1.0f;
    delay_timers = DelayTimerBank{};
    delay_flags = DelayTimerFlags{};
    fire::apu_ext_switch_pos_arm = fire::apu_was_fire = 0.0f;
    electrical::apu_low_oil = 0.0f;
    spring_toggle_switch::APU_start_pos = 1.0f;
    tanks(2000.0f, 0.0f, 2000.0f);
    feeding({}, {});
    host_mirror.sim_weather_temperature_le_c = 15.0f;
    // The cockpit gauge's value is not the APU's inlet air.
    host_mirror.sim_cockpit2_temperature_outside_air_LE_temp_degc = -30.0f;
    host_mirror.sim_flightmodel_position_elevation = 0.0;
  }
  static void tanks(float l, float c, float r) {
    host_mirror.sim_flightmodel_weight_m_fuel[0] = l;
    host_mirror.sim_flightmodel_weight_m_fuel[1] = c;
    host_mirror.sim_flightmodel_weight_m_fuel[2] = r;
  }
  static void running(bool on, float n1) {
    host_mirror.sim_cockpit_engine_APU_running = on ? 1 : 0;
    host_mirror.sim_cockpit2_electrical_APU_N1_percent = n1;
  }
  // Pump statuses (switch ON, powered) and LOW PRESSURE conditions, L1 L2
  // C1 C2 R1 R2.
  static void feeding(const std::array<float, 6>& status, const std::array<int32_t, 6>& lit) {
    float* s[6] = {&engine::tank_l1_status, &engine::tank_l2_status, &engine::tank_c1_status,
                   &engine::tank_c2_status, &engine::tank_r1_status, &engine::tank_r2_status};
    for (int i = 0; i < 6; ++i) {
      *s[i] = status[static_cast<size_t>(i)];
      fuel_pump_lights.condition[i] = lit[static_cast<size_t>(i)];
    }
  }
};

TEST_F(Apu, StartDelayDependsOnTemperatureAltitudeAndTheLowOilLight) {
  struct Case {
    float le_degc;
    float pressure_alt_ft;
    float low_oil, delay_s;
  };
  const Case cases[] = {
      {15.0f, 0.0f, 0.0f, 17.5f},                  // about 18 s in temperate air at sea level
      {-20.0f, 0.0f, 0.0f, 18.0f},                 // below 0 deg C counts as 0
      {15.0f, 28000.0f, 0.0f, 17.5f * 1.3f},
      {15.0f, 0.0f, 1.0f, 17.5f * 0.125f},
  };
  for (const Case& c : cases) {
    SetUp();
    feeding({1, 0, 0, 0, 0, 0}, {});
    host_mirror.sim_weather_temperature_le_c = c.le_degc;
    static_pressure_altitude_ft = c.pressure_alt_ft;
    electrical::apu_low_oil = c.low_oil;
    delay_flags.apu_start_request = 1.0f;  // the START command
    update_apu();  // a high field needs the feed found in the frame before
    update_apu();
    EXPECT_NEAR(delay_timers.apu_start_delay, c.delay_s, 1e-3f) << c.le_degc << " " << c.pressure_alt_ft;
    EXPECT_EQ(delay_flags.apu_start_stage, 1.0f);
    EXPECT_EQ(electric::apu_start_load, 60.0f);
    EXPECT_EQ(delay_timers.apu_low_oil_delay, c.low_oil == 0.0f ? 1.5f : 0.0f);
  }
}

TEST_F(Apu, AboveTheCeilingNeedsAPressurisedFeed) {
  static_pressure_altitude_ft = 41300.0f;
  feeding({0, 0, 0, 0, 1, 0}, {1, 1, 0, 0, 0, 1});
  knobs::cross_feed = fuel::cross_feed_valve = 0.0f;
  update_apu();  // computes this frame's availability
  update_apu();
  EXPECT_EQ(apu_start_ready, 0.0f);
  knobs::cross_feed = fuel::cross_feed_valve = 1.0f;  // the right pump now reaches the APU
  update_apu();
  update_apu();
  EXPECT_EQ(apu_start_ready, 1.0f);
  knobs::cross_feed = fuel::cross_feed_valve = 0.0f;
  static_pressure_altitude_ft = 0.0f;
}

// Tank 1 empty and nothing pumping (the centre pumps OFF, their lights dark
// as they are when switched off): START finds no fuel and lights FAULT; a
// running APU shuts down with it. OFF clears it.
TEST_F(Apu, NoFuelFeedFailsTheStartAndStopsARunningApu) {
  tanks(0.0f, 3000.0f, 3000.0f);
  feeding({0, 0, 0, 0, 0, 0}, {1, 1, 0, 0, 1, 1});
  knobs::cross_feed = fuel::cross_feed_valve = 0.0f;
  spring_toggle_switch::APU_start_pos = 2.0f;
  update_apu();
  update_apu();
  EXPECT_EQ(apu_start_ready, 0.0f);
  EXPECT_EQ(apu_state.fuel_fault, 1.0f);
  spring_toggle_switch::APU_start_pos = 0.0f;
  update_apu();
  EXPECT_EQ(apu_state.fuel_fault, 0.0f);
  spring_toggle_switch::APU_start_pos = 1.0f;
  running(true, 100.0f);
  delay_flags.apu_start_stage = 3.0f;
  update_apu();
  EXPECT_EQ(issued("sim/electrical/APU_off"), 1);
  EXPECT_EQ(delay_flags.apu_start_stage, 0.0f);
  EXPECT_EQ(apu_state.fuel_fault, 1.0f);
}

TEST_F(Apu, SwitchingOffARunningApuCoolsItDownFirst) {
  running(true, 100.0f);
  delay_flags.apu_start_stage = 3.0f;
  electrical::apu_bus_enable = 1.0f;
  electrical::apu_power_bus1 = 1.0f;
  apu_on_latch = 1.0f;
  spring_toggle_switch::APU_start_pos = 0.0f;
  update_apu();
  EXPECT_EQ(delay_flags.apu_start_companion, 1.0f);
  EXPECT_EQ(apu_start_lock, 1.0f);
  EXPECT_EQ(delay_timers.apu_delay_2, 60.0f);
  EXPECT_EQ(electrical::apu_bus_enable, 0.0f);
  EXPECT_EQ(electrical::apu_power_bus1, 0.0f);
  EXPECT_EQ(issued("sim/electrical/APU_off"), 0);
  // The 60 s run out: the APU is stopped.
  delay_flags.apu_flag_2 = 0.0f;
  update_apu();
  EXPECT_EQ(delay_flags.apu_start_companion, 0.0f);
  EXPECT_EQ(issued("sim/electrical/APU_off"), 1);
  EXPECT_EQ(apu_on_latch, 0.0f);
}

TEST_F(Apu, CuttingTheBatteryDuringCoolDownFailsTheApu) {
  running(true, 100.0f);
  spring_toggle_switch::APU_start_pos = 0.0f;
  update_apu();
  electric::batbus_status = 0.0f;
  update_apu();
  EXPECT_EQ(simhost::get_int("sim/operation/failures/rel_APU_press"), 6);
}

TEST_F(Apu, RunningStateEnablesTheBusInItsTemperatureWindow) {
  running(true, 95.0f);
  delay_flags.apu_start_stage = 3.0f;
  apu_state.egt = 48.0f;
  update_apu();
  EXPECT_EQ(electrical::apu_bus_enable, 1.0f);
  EXPECT_NEAR(electrical::apu_temp, 48.0f, 0.5f);
  // Already running when START is used: straight to state 3.
  SetUp();
  running(true, 100.0f);
  update_apu();
  delay_flags.apu_start_stage = 1.0f;
  apu_start_ready = 1.0f;
  update_apu();
  EXPECT_EQ(delay_flags.apu_start_stage, 3.0f);
}

class Fuel : public PanelTest {
 protected:
  void SetUp() override {
    PanelTest::SetUp();
    fuel_indications = FuelIndications{};
    fuel_state = FuelState{};
    fuel_pump_lights = FuelPumpLightState{};
    time_since_load = 10.0f;
    for (float* sw : {&fuel::fuel_tank_pos_lft1, &fuel::fuel_tank_pos_lft2, &fuel::fuel_tank_pos_ctr1,
                      &fuel::fuel_tank_pos_ctr2, &fuel::fuel_tank_pos_rgt1, &fuel::fuel_tank_pos_rgt2}) {
      *sw = 0.0f;
    }
    system_::fuel_press_c1 = system_::fuel_press_c2 = 1.0f;
    engine::spar1_valve = engine::spar2_valve = engine::eng1_valve = engine::eng2_valve = 1.0f;
    engine::fuel_selector_l = engine::fuel_selector_r = 1.0f;
    knobs::cross_feed = fuel::cross_feed_valve = 0.0f;
    plugin_bus_loads[0] = plugin_bus_loads[1] = 0.0f;
    tanks(3000.0f, 0.0f, 3000.0f);
  }
  static void tanks(float l, float c, float r) {
    host_mirror.sim_flightmodel_weight_m_fuel[0] = l;
    host_mirror.sim_flightmodel_weight_m_fuel[1] = c;
    host_mirror.sim_flightmodel_weight_m_fuel[2] = r;
  }
  static int sel(const char* side) {
    return simhost::get_int(std::string("sim/cockpit2/fuel/fuel_tank_selector_") + side);
  }
};

TEST_F(Fuel, SuctionFeedsWithoutPumpsAboveTheN2Limit) {
  host_mirror.sim_flightmodel2_engines_N2_percent[0] = 12.0f;
  host_mirror.sim_flightmodel2_engines_N2_percent[1] = 10.0f;
  static_pressure_altitude_ft = 0.0f;
  update_fuel_pumps_feed();
  EXPECT_EQ(engine::tank_l_driven_status, 1.0f);
  EXPECT_EQ(engine::tank_r_driven_status, 0.0f);
  EXPECT_EQ(sel("left"), 1);
  EXPECT_EQ(sel("right"), 0);
  EXPECT_EQ(simhost::get_ints("sim/cockpit2/fuel/fuel_tank_pump_on", 3), (std::vector<int>{1, 0, 0}));
  static_pressure_altitude_ft = 33000.0f;  // limit 28 %
  host_mirror.sim_flightmodel2_engines_N2_percent[0] = 27.0f;
  update_fuel_pumps_feed();
  EXPECT_EQ(engine::tank_l_driven_status, 0.0f);
}

TEST_F(Fuel, FeedSelectorsAndPumpLoads) {
  struct Case {
    float l1, c1, r2, xfeed;
    int left, right;
    float load0, load1;
  };
  const Case cases[] = {
      {1, 0, 1, 0, 1, 3, 4, 4},
      {1, 1, 1, 0, 2, 3, 10, 4},
      {1, 0, 1, 1, 4, 4, 4, 4},  // cross-feed open, pumps on both sides
      {1, 0, 0, 1, 1, 1, 4, 0},
      {0, 0, 1, 1, 3, 3, 0, 4},
  };
  tanks(3000.0f, 2000.0f, 3000.0f);
  for (const Case& c : cases) {
    fuel::fuel_tank_pos_lft1 = c.l1;
    fuel::fuel_tank_pos_ctr1 = c.c1;
    fuel::fuel_tank_pos_rgt2 = c.r2;
    fuel::cross_feed_valve = c.xfeed;  // the feed follows the valve
    knobs::cross_feed = 1.0f - c.xfeed;
    plugin_bus_loads[0] = plugin_bus_loads[1] = 0.0f;
    update_fuel_pumps_feed();
    EXPECT_EQ(sel("left"), c.left) << c.l1 << c.c1 << c.r2 << c.xfeed;
    EXPECT_EQ(sel("right"), c.right) << c.l1 << c.c1 << c.r2 << c.xfeed;
    EXPECT_EQ(plugin_bus_loads[0], c.load0);
    EXPECT_EQ(plugin_bus_loads[1], c.load1);
  }
  // A closed spar valve cuts that side's feed.
  engine::spar2_valve = 0.5f;
  update_fuel_pumps_feed();
  EXPECT_EQ(sel("right"), 0);
}

TEST_F(Fuel, ScavengeMovesCentreFuelIntoTheLeftTank) {
  fuel::fuel_tank_pos_lft2 = 1.0f;
  struct Case {
    float left, centre, alt_ft, moved;
  };
  const Case cases[] = {
      {1500.0f, 10.0f, 5000.0f, 0.055555f * 0.125f},
      {1500.0f, 10.0f, 25500.0f, (0.055555f - 15500.0f * 0.027778f / 31000.0f) * 0.125f},
      {1500.0f, 10.0f, 50000.0f, 0.027777f * 0.125f},
      {1500.0f, 4.0f, 5000.0f, 0.0f},   // the last 4 kg stay
      {1990.0f, 10.0f, 5000.0f, 0.0f},  // left tank full enough
  };
  for (const Case& c : cases) {
    tanks(c.left, c.centre, 1500.0f);
    host_mirror.sim_cockpit2_gauges_indicators_altitude_ft_pilot = c.alt_ft;
    update_fuel_pumps_feed();
    EXPECT_NEAR(host_mirror.sim_flightmodel_weight_m_fuel[0] - c.left, c.moved, 1e-4f) << c.alt_ft;
    EXPECT_NEAR(c.centre - host_mirror.sim_flightmodel_weight_m_fuel[1], c.moved, 1e-4f) << c.alt_ft;
  }
  tanks(1500.0f, 10.0f, 1500.0f);
  update_fuel_pumps_feed();
  EXPECT_NEAR(simhost::get_floats("sim/flightmodel/weight/m_fuel")[0], 1500.0f + 0.055555f * 0.125f, 1e-3f);
  // Without L2's bus nothing moves.
  electric::ac_tnsbus1_status = 0.0f;
  tanks(1500.0f, 10.0f, 1500.0f);
  update_fuel_pumps_feed();
  EXPECT_EQ(host_mirror.sim_flightmodel_weight_m_fuel[0], 1500.0f);
}

TEST_F(Fuel, ImbalanceShowsOnTheLighterSideInFlightOnly) {
  tanks(2500.0f, 0.0f, 3000.0f);
  on_ground = 1;
  update_fuel_quantities();
  EXPECT_EQ(fuel::left_status, 0.0f);
  on_ground = 0;
  update_fuel_quantities();
  EXPECT_EQ(fuel::left_status, 1.0f);
  EXPECT_EQ(fuel::right_status, 0.0f);
  tanks(2547.0f, 0.0f, 3000.0f);  // latched at the limit, held down to 91 kg
  update_fuel_quantities();
  EXPECT_EQ(fuel::left_status, 1.0f);
  tanks(2900.0f, 0.0f, 3000.0f);
  update_fuel_quantities();
  EXPECT_EQ(fuel::left_status, 1.0f);
  tanks(2910.0f, 0.0f, 3000.0f);
  update_fuel_quantities();
  EXPECT_EQ(fuel::left_status, 0.0f);
  // LOW below 453 kg, held until above 567 kg.
  tanks(450.0f, 0.0f, 450.0f);
  update_fuel_quantities();
  EXPECT_EQ(fuel::left_status, 2.0f);
  tanks(560.0f, 0.0f, 570.0f);
  update_fuel_quantities();
  EXPECT_EQ(fuel::left_status, 2.0f);
  EXPECT_EQ(fuel::right_status, 0.0f);
}

TEST_F(Fuel, CentreConfigAndDisplayRounding) {
  host_mirror.sim_flightmodel2_engines_N1_percent[0] = 20.0f;
  tanks(1234.5f, 800.0f, 1000.0f);
  update_fuel_quantities();
  EXPECT_EQ(fuel::center_status, 3.0f);
  tanks(1234.5f, 400.0f, 1000.0f);
  update_fuel_quantities();
  EXPECT_EQ(fuel::center_status, 3.0f);
  host_mirror.sim_cockpit2_fuel_fuel_tank_pump_on[1] = 1;
  update_fuel_quantities();
  EXPECT_EQ(fuel::center_status, 0.0f);
  EXPECT_EQ(fuel::left_tank_kgs, 1240.0f);
  EXPECT_EQ(fuel::right_tank_kgs, 1000.0f);
  EXPECT_EQ(fuel::total_tank_kgs, 1240.0f + 400.0f + 1000.0f);
  EXPECT_EQ(fuel::left_tank_lbs, 2730.0f);  // 2721.6 lb
  EXPECT_EQ(fuel::center_tank_kgs_c, 400.0f);
  EXPECT_FLOAT_EQ(fuel_display_round(1234.501f, false), 1234.51f);
}

TEST_F(Fuel, GaugeSwingsUpAfterPowerThenSettles) {
  engine::fuel_temp_real = 10.0f;
  host_mirror.sim_cockpit2_temperature_outside_air_LE_temp_degc = 10.0f;
  electric::ac_tnsbus2_status = 0.0f;
  frame_time = 0.1f;
  update_fuel_temperature();
  electric::ac_tnsbus2_status = 1.0f;
  float peak = -100.0f;
  for (int i = 0; i < 200; ++i) {
    update_fuel_temperature();
    peak = std::max(peak, engine::fuel_temp);
  }
  EXPECT_GT(peak, 40.0f);
  EXPECT_EQ(engine::fuel_temp, engine::fuel_temp_real);
}

// From the frame the cockpit is set up (no frame of LOW PRESSURE) and on the
// next; later the crew's switches are left alone.
TEST_F(Fuel, CentrePumpsGoOffOverAnEmptyTankOnTheFirstTwoFrames) {
  for (int frame = 0; frame < 3; ++frame) {
    fuel::fuel_tank_pos_ctr1 = fuel::fuel_tank_pos_ctr2 = 1.0f;
    centre_pumps_after_load();
    EXPECT_EQ(fuel::fuel_tank_pos_ctr1, frame < 2 ? 0.0f : 1.0f) << frame;
    EXPECT_EQ(fuel::fuel_tank_pos_ctr2, frame < 2 ? 0.0f : 1.0f) << frame;
  }
}

class Cabin : public PanelTest {};

TEST_F(Cabin, PassengerMasksDeployAboveFourteenThousandFeetAndStayOut) {
  pax_oxy_state = 0;
  host_mirror.sim_cockpit2_pressurization_indicators_cabin_altitude_ft = 14000.0f;
  update_pax_oxygen();
  EXPECT_EQ(simhost::get_int("sim/operation/failures/rel_pass_o2_on"), 0);
  host_mirror.sim_cockpit2_pressurization_indicators_cabin_altitude_ft = 14000.1f;
  update_pax_oxygen();
  EXPECT_EQ(simhost::get_int("sim/operation/failures/rel_pass_o2_on"), 6);
  host_mirror.sim_cockpit2_pressurization_indicators_cabin_altitude_ft = 8000.0f;
  pax_oxy_state = 0;
  update_pax_oxygen();
  EXPECT_EQ(simhost::get_int("sim/operation/failures/rel_pass_o2_on"), 6);
}

TEST_F(Cabin, RestoreHandsTheRestoredCabinValuesToTheHost) {
  restore_settle_timer = 3.0f;
  cockpit::cabin_vvi = -1.5f;
  cockpit::cabin_altitude_actual = 1800.0f;
  cockpit::cabin_pressure_diff = 7.2f;
  cabin_pressure_interface();
  EXPECT_FLOAT_EQ(simhost::get_float("sim/cockpit/pressure/cabin_vvi_actual_m_msec"), -1.5f);
  EXPECT_FLOAT_EQ(simhost::get_float("sim/cockpit/pressure/cabin_altitude_actual_m_msl"), 1800.0f);
  EXPECT_FLOAT_EQ(simhost::get_float("sim/cockpit/pressure/cabin_pressure_differential_psi"), 7.2f);
  restore_settle_timer = 0.0f;
}

TEST_F(Cabin, CrewMasksDriveTheHostOxygen) {
  system_::oxy_mask_capt = 1.0f;
  system_::oxy_mask_fo = 0.0f;
  update_crew_oxygen();
  EXPECT_EQ(simhost::get_int("sim/cockpit2/oxygen/actuators/o2_valve_on"), 1);
  EXPECT_EQ(simhost::get_int("sim/cockpit2/oxygen/actuators/demand_flow_setting"), 2);
  EXPECT_EQ(fmod_::mask_breath, 1.0f);
  EXPECT_EQ(fmod_::mask_breath2, 0.0f);
  system_::oxy_mask_capt = 0.0f;
  update_crew_oxygen();
  EXPECT_EQ(simhost::get_int("sim/cockpit2/oxygen/actuators/o2_valve_on"), 0);
  EXPECT_EQ(simhost::get_int("sim/cockpit2/oxygen/actuators/demand_flow_setting"), 0);
}

TEST_F(Cabin, TargetsByVariant) {
  struct Case {
    int variant;
    float r, deck, fwd, aft;
  };
  const Case cases[] = {
      {0, 0.0f, 18.0f, 18.0f, 18.0f}, {0, 0.5f, 23.0f, 24.0f, 23.0f}, {0, 1.0f, 28.0f, 28.0f, 28.0f},
      {0, 0.2f, 20.0f, 20.0f, 20.0f}, {2, 0.5f, 23.0f, 23.0f, 23.0f}, {3, -0.5f, 18.0f, 18.0f, 18.0f},
      {5, 0.3f, 21.0f, 21.0f, 21.0f}, {5, 1.5f, 28.0f, 28.0f, 28.0f},
  };
  const int saved = variant_index;
  for (const Case& c : cases) {
    variant_index = c.variant;
    air::cont_cab_temp_rheostat = air::fwd_cab_temp_rheostat = air::aft_cab_temp_rheostat = c.r;
    air::cont_cab_temp_rheostat_700 = air::pass_cab_temp_rheostat_700 = c.r;
    update_cabin_temperature();
    EXPECT_FLOAT_EQ(cabin_air.cont_cab_target, c.deck) << c.variant << " " << c.r;
    EXPECT_FLOAT_EQ(cabin_air.fwd_cab_target, c.fwd) << c.variant << " " << c.r;
    EXPECT_FLOAT_EQ(cabin_air.aft_cab_target, c.aft) << c.variant << " " << c.r;
  }
  variant_index = saved;
}

TEST_F(Cabin, ZonesFollowTheirTargetsWithBothPacksAndCoolSlowlyWithNone) {
  variant_index = 0;
  air::cont_cab_temp_rheostat = 0.5f;  // 23
  air::fwd_cab_temp_rheostat = air::aft_cab_temp_rheostat = 1.0f;  // 28
  air::l_pack_bleed_valve_pos = air::r_pack_bleed_valve_pos = 1.0f;
  air::trim_air_pos = 0.0f;
  for (float& z : cabin_temperatures.values_degc) z = 20.0f;
  frame_time = 0.5f;
  for (int i = 0; i < 600; ++i) update_cabin_temperature();  // zones 4 and 5: 26 s per degree
  const float* z = cabin_temperatures.values_degc;
  EXPECT_FLOAT_EQ(z[0], 23.0f);
  EXPECT_FLOAT_EQ(z[1], 24.0f);
  EXPECT_FLOAT_EQ(z[2], 22.0f);
  EXPECT_FLOAT_EQ(z[3], 28.0f);
  EXPECT_FLOAT_EQ(z[5], 23.0f);
  EXPECT_FLOAT_EQ(z[6], 28.0f);
  // Both packs off at FL350: -54 deg C outside, -28 on the skin. The ducts
  // drift to the outside air at 35 s a degree; the zones lag toward 30
  // degrees above the skin with a 30-minute time constant: a third of the
  // way in 10 minutes. On the ground they lag toward the outside air.
  air::l_pack_bleed_valve_pos = air::r_pack_bleed_valve_pos = 0.0f;
  host_mirror.sim_cockpit2_temperature_outside_air_temp_degc = -54.0f;
  host_mirror.sim_cockpit2_temperature_outside_air_LE_temp_degc = -28.0f;
  on_ground = 0;
  frame_time = 600.0f;
  update_cabin_temperature();
  const float before[5] = {23, 24, 22, 28, 28};
  for (int s = 0; s < 5; ++s) EXPECT_FLOAT_EQ(z[s], before[s] + (2.0f - before[s]) / 3.0f) << s;
  EXPECT_FLOAT_EQ(z[5], 23.0f - 600.0f / 35.0f);
  EXPECT_FLOAT_EQ(z[6], 28.0f - 600.0f / 35.0f);
  on_ground = 1;
  host_mirror.sim_cockpit2_temperature_outside_air_temp_degc = -5.0f;
  frame_time = 1800.0f;
  update_cabin_temperature();
  for (int s = 0; s < 7; ++s) EXPECT_FLOAT_EQ(z[s], -5.0f) << s;
}

}  // namespace
