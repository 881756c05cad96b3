// Hydraulic pumps, pressures, standby system, fluid transfer and the yaw
// damper, driven through the mirrors without a host; and their published
// limits, one table row per threshold with a value on each side of it: pump
// rates and status, the standby pump and rudder, transfers, quantities and
// refill, the lost system B latch, the yaw damper gates and the leak rate.
#include <gtest/gtest.h>

#include "core/binding.h"
#include "core/failure_tables.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "engines/engine_values.h"
#include "systems/delay_timers.h"
#include "systems/electrical/electric_values.h"
#include "systems/fire/fire_values.h"
#include "systems/hydraulics/hydraulic_values.h"
#include "systems/hydraulics/hydraulics.h"
#include "systems/instruments/instrument_values.h"
#include "systems/switches/switch_targets.h"
#include "systems/switches/switch_values.h"
#include "systems/system_state.h"
#include "systems/value_rows.h"

namespace {

class Hydraulics : public ::testing::Test {
 protected:
  void SetUp() override {
    for (XPLMDataRef& h : bound_handles) h = nullptr;
    host_mirror = HostMirror{};
    script_mirror = ScriptMirror{};
    failure_tables = FailureTables{};
    delay_timers = DelayTimerBank{};
    hyd_state = HydraulicState{};
    hydraulic_step_state = HydraulicStepState{};
    toggle_switch::hydro_pumps1_pos = toggle_switch::hydro_pumps2_pos = 1.0f;
    toggle_switch::electric_hydro_pumps1_pos = toggle_switch::electric_hydro_pumps2_pos = 0.0f;
    toggle_switch::yaw_dumper_pos = 0.0f;
    yaw_damper_switch_state = 0.0f;
    fire::engine01_ext_switch_pos_arm = fire::engine02_ext_switch_pos_arm = 0.0f;
    switches::flt_ctr_A_pos = switches::flt_ctr_B_pos = 1.0f;
    switches::alt_flaps_pos = 0.0f;
    electric::dc_bus1_status = electric::dc_bus2_status = electric::dc_stdbus_status = 1.0f;
    electric::ac_tnsbus1_status = electric::ac_tnsbus2_status = 1.0f;
    frame_time = 0.1f;
    frame_done = 1;
    on_ground = 1;
  }
  static void n2(float e1, float e2) {
    host_mirror.sim_flightmodel2_engines_N2_percent[0] = e1;
    host_mirror.sim_flightmodel2_engines_N2_percent[1] = e2;
  }
};

TEST_F(Hydraulics, EngineDrivenPumpTargetFollowsN2) {
  struct Case {
    float n2, target;
  };
  const Case cases[] = {{0.0f, 0.0f}, {-1.0f, 0.0f}, {20.4f, 1300.0f}, {23.2f, 1600.0f},
                        {24.0f, 1920.0f}, {32.0f, 2930.0f}, {60.0f, 2930.0f}};
  for (const Case& c : cases) {
    n2(c.n2, c.n2);
    hyd_update();
    EXPECT_FLOAT_EQ(hydraulic::A_press_trg, c.target) << c.n2;
  }
  hyd_state.edp_max_press_b = 2900.0f;
  hyd_update();
  EXPECT_FLOAT_EQ(hydraulic::B_press_trg, 2900.0f);
}

TEST_F(Hydraulics, PumpTargetsNeedPowerFluidAndNoFailure) {
  n2(60.0f, 60.0f);
  toggle_switch::electric_hydro_pumps1_pos = toggle_switch::electric_hydro_pumps2_pos = 1.0f;
  hyd_update();
  EXPECT_EQ(hydraulic::A_press_el_trg, 2850.0f);
  EXPECT_EQ(hydraulic::B_press_el_trg, 2820.0f);
  electric::dc_bus2_status = 0.0f;  // electric pump A is switched through DC bus 2
  hyd_update();
  EXPECT_EQ(hydraulic::A_press_el_trg, 0.0f);
  // and its motor runs on AC transfer bus 2, B's on bus 1.
  electric::dc_bus2_status = 1.0f;
  electric::ac_tnsbus2_status = 0.0f;
  hyd_update();
  EXPECT_EQ(hydraulic::A_press_el_trg, 0.0f);
  EXPECT_EQ(hydraulic::B_press_el_trg, 2820.0f);
  electric::ac_tnsbus2_status = 1.0f;
  electric::ac_tnsbus1_status = 0.0f;
  hyd_update();
  EXPECT_EQ(hydraulic::A_press_el_trg, 2850.0f);
  EXPECT_EQ(hydraulic::B_press_el_trg, 0.0f);
  electric::ac_tnsbus1_status = 1.0f;
  fire::engine01_ext_switch_pos_arm = 1.0f;
  hyd_update();
  EXPECT_EQ(hydraulic::A_press_trg, 0.0f);
  failure_tables.hydraulic[1] = 2.0f;  // armed does not block
  hyd_update();
  EXPECT_GT(hydraulic::B_press_trg, 0.0f);
  failure_tables.hydraulic[1] = 1.0f;
  hyd_update();
  EXPECT_EQ(hydraulic::B_press_trg, 0.0f);
  hyd_state.hyd_fluid_b = 30.0f;  // 30 % is not enough for the pumps
  failure_tables.hydraulic[1] = 0.0f;
  hyd_update();
  EXPECT_EQ(hydraulic::B_press_trg, 0.0f);
}

TEST_F(Hydraulics, PressureRisesAtPumpRateAndStatusNeedsMoreThan1300) {
  n2(60.0f, 0.0f);
  hyd_update();  // 0.1 s at 725 psi/s on top of the residual
  EXPECT_FLOAT_EQ(hydraulic::A_pressure, 70.0f);
  for (int i = 0; i < 60; ++i) hyd_update();
  EXPECT_EQ(hydraulic::A_pressure, 2930.0f);
  EXPECT_EQ(hydraulic::A_status, 1.0f);
  EXPECT_EQ(hydraulic::B_status, 0.0f);
  EXPECT_EQ(hydraulic::B_pressure, 40.0f) << "the residual, rounded down";
  hyd_state.edp_press_a = 1309.0f;  // rounds down to 1300: not above it
  n2(0.0f, 0.0f);
  frame_time = 0.0001f;
  hyd_update();
  EXPECT_EQ(hydraulic::A_pressure, 1300.0f);
  EXPECT_EQ(hydraulic::A_status, 0.0f);
}

TEST_F(Hydraulics, StandbyRudderFromBothSwitchesAtStandby) {
  switches::flt_ctr_A_pos = switches::flt_ctr_B_pos = -1.0f;
  hyd_update();
  EXPECT_EQ(hydraulic::standby_on, 1.0f);
  // 0.98 of the remaining difference per second: 2700 x 0.098 after 0.1 s.
  EXPECT_FLOAT_EQ(hyd_state.stby_press_state, 264.6f);
  for (int i = 0; i < 100; ++i) hyd_update();
  EXPECT_EQ(hydraulic::standby_status, 1.0f);
  EXPECT_EQ(hydraulic::A_rudder, 1.0f);
  EXPECT_EQ(hydraulic::B_rudder, 1.0f);
  electric::dc_stdbus_status = 0.0f;
  hyd_update();
  EXPECT_EQ(hydraulic::standby_on, 0.0f);
}

TEST_F(Hydraulics, TransferMovesWhatIsLeftAndNoMore) {
  // Parking brake set with A pressurised and B not: armed; released with B
  // up: one step from A to B.
  hyd_state.hyd_fluid_a = 0.5f;
  hyd_state.hyd_fluid_b = 90.0f;
  hydraulic::A_pressure = 2000.0f;
  hydraulic::B_pressure = 100.0f;
  hyd_state.pb_transfer_armed = 1.0f;
  hyd_state.prev_parking_brake_pos = 1.0f;
  hyd_state.prev_parking_brake_ratio = 1.0f;
  cockpit::parking_brake_pos = 0.0f;
  host_mirror.sim_cockpit2_controls_parking_brake_ratio = 0.0f;
  hyd_state.emdp_press_b = 2000.0f;  // B above 1500 when the brake comes off
  hyd_state.hyd_fluid_a = 0.5f;
  hyd_update();
  EXPECT_EQ(hyd_state.pb_transfer_armed, 0.0f);
  EXPECT_FLOAT_EQ(hyd_state.hyd_fluid_b, 90.5f);
  EXPECT_EQ(hyd_state.hyd_fluid_a, 0.0f);
}

TEST_F(Hydraulics, YawDamperEngagesAfterOnePointTwoSecondsAndTripsWithoutAcBus1) {
  n2(60.0f, 60.0f);
  hyd_state.yd_settle_time = 5.0f;
  script_mirror.zuvadud_D738_toggle_switch_irs_left = 1.0f;
  script_mirror.zuvadud_D738_toggle_switch_irs_right = 1.0f;
  script_mirror.zuvadud_D738_irs_irs_mode = 2.0f;
  script_mirror.zuvadud_D738_irs_irs2_mode = 2.0f;
  for (int i = 0; i < 60; ++i) hyd_update();  // B pressurised
  toggle_switch::yaw_dumper_pos = 1.0f;
  yaw_damper_switch_state = 1.0f;
  hyd_update();
  EXPECT_FLOAT_EQ(delay_timers.yaw_damper_engage_delay, 1.2f);
  for (int i = 0; i < 12; ++i) update_annunciator_timers();
  EXPECT_EQ(host_mirror.sim_cockpit2_switches_yaw_damper_on, 1);
  electric::ac_tnsbus1_status = 0.0f;
  hyd_update();
  EXPECT_EQ(toggle_switch::yaw_dumper_pos, 0.0f);
  EXPECT_EQ(host_mirror.sim_cockpit2_switches_yaw_damper_on, 0);
}

TEST_F(Hydraulics, YawDamperWaitsForTheLoadToSettle) {
  toggle_switch::yaw_dumper_pos = 1.0f;
  n2(60.0f, 60.0f);
  hyd_update();
  EXPECT_EQ(delay_timers.yaw_damper_engage_delay, 0.0f);
  EXPECT_NEAR(hyd_state.yd_settle_time, 0.1f, 1e-6f);
}

class HydValues : public ::testing::Test {
 protected:
  void SetUp() override { Reset(); }

 public:
  void Reset() {
    for (XPLMDataRef& h : bound_handles) h = nullptr;
    host_mirror = HostMirror{};
    script_mirror = ScriptMirror{};
    failure_tables = FailureTables{};
    delay_timers = DelayTimerBank{};
    hyd_state = HydraulicState{};
    hydraulic_step_state = HydraulicStepState{};
    hydraulic::A_pressure = hydraulic::B_pressure = 0.0f;
    toggle_switch::hydro_pumps1_pos = toggle_switch::hydro_pumps2_pos = 1.0f;
    toggle_switch::electric_hydro_pumps1_pos = toggle_switch::electric_hydro_pumps2_pos = 0.0f;
    toggle_switch::yaw_dumper_pos = 0.0f;
    yaw_damper_switch_state = 0.0f;
    fire::engine01_ext_switch_pos_arm = fire::engine02_ext_switch_pos_arm = 0.0f;
    switches::flt_ctr_A_pos = switches::flt_ctr_B_pos = 1.0f;
    switches::alt_flaps_pos = 0.0f;
    cockpit::parking_brake_pos = 0.0f;
    engine::mixture_ratio2 = 0.0f;
    for (int i = 0; i < 3; ++i) host_mirror.sim_flightmodel2_gear_on_ground[i] = 1;
    host_mirror.sim_flightmodel2_engines_engine_is_burning_fuel[0] = 1;
    host_mirror.sim_flightmodel2_engines_engine_is_burning_fuel[1] = 1;
    electric::dc_bus1_status = electric::dc_bus2_status = electric::dc_stdbus_status = 1.0f;
    electric::ac_tnsbus1_status = electric::ac_tnsbus2_status = 1.0f;
    frame_time = 1.0f;  // one second: rates read as they are published
    frame_done = 1;
    on_ground = 1;
  }

 protected:
  // Pressures held for one frame: the pumps hardly move in 0.1 ms.
  static void hold(float a, float b) {
    frame_time = 1e-4f;
    hyd_state.emdp_press_a = a;
    hyd_state.emdp_press_b = b;
  }
  static void n2(float v) {
    host_mirror.sim_flightmodel2_engines_N2_percent[0] = host_mirror.sim_flightmodel2_engines_N2_percent[1] = v;
  }
  void run(const ValueRow* rows, size_t n) { run_rows(*this, rows, n, hyd_update); }
};

TEST_F(HydValues, PumpsRatesAndStatus) {
  using namespace hydraulic;
  static const ValueRow rows[] = {
      // Engine pump target between the N2 points (0, 0) (20.4, 1300) (23.2, 1600) (24, 1920) (32, full):
      // a windmilling core (16.5 % at FL300) leaves the pump below its LOW PRESSURE switch.
      {"n2 10.2", [] { n2(10.2f); }, &A_press_trg, 650.0f},
      {"n2 windmill 16.32", [] { n2(16.32f); }, &A_press_trg, 1040.0f},
      {"n2 21.8", [] { n2(21.8f); }, &B_press_trg, 1450.0f},
      {"n2 23.6", [] { n2(23.6f); }, &A_press_trg, 1760.0f},
      {"n2 28", [] { n2(28.0f); }, &B_press_trg, 2425.0f},
      {"n2 20.4 A", [] { n2(20.4f); }, &A_press_trg, 1300.0f},
      {"n2 23.2 B", [] { n2(23.2f); }, &B_press_trg, 1600.0f},
      {"n2 24", [] { n2(24.0f); }, &B_press_trg, 1920.0f},
      // Rise: electric 483 psi/s, engine 725 psi/s; fall: 26 % (A) and 37 % (B) per second.
      {"elec A rise", [] { toggle_switch::electric_hydro_pumps1_pos = 1.0f; }, &A_pressure, 480.0f},
      {"elec B rise", [] { toggle_switch::electric_hydro_pumps2_pos = 1.0f; }, &B_pressure, 480.0f},
      {"eng A rise", [] { n2(60.0f); }, &A_pressure, 720.0f},
      {"eng B rise", [] { n2(60.0f); }, &B_pressure, 720.0f},
      {"A fall", [] { hyd_state.edp_press_a = hyd_state.emdp_press_a = 2000.0f; }, &A_pressure, 1480.0f},
      {"B fall", [] { hyd_state.edp_press_b = hyd_state.emdp_press_b = 2000.0f; }, &B_pressure, 1260.0f},
      {"elec B 2820", [] { toggle_switch::electric_hydro_pumps2_pos = 1.0f; }, &B_press_el_trg, 2820.0f},
      {"elec B needs DC 1", [] { toggle_switch::electric_hydro_pumps2_pos = 1.0f; electric::dc_bus1_status = 0; },
       &B_press_el_trg, 0.0f},
      {"elec pump failed", [] { toggle_switch::electric_hydro_pumps2_pos = 1.0f;
                                host_mirror.sim_operation_failures_rel_hydpmp_ele = 6; }, &B_press_el_trg, 0.0f},
      {"eng B pump failed", [] { n2(60.0f); host_mirror.sim_operation_failures_rel_hydpmp2 = 6; }, &B_press_trg, 0.0f},
      {"eng B fire switch", [] { n2(60.0f); fire::engine02_ext_switch_pos_arm = 1.0f; }, &B_press_trg, 0.0f},
      {"eng A pump 5", [] { n2(60.0f); host_mirror.sim_operation_failures_rel_hydpmp = 5; }, &A_press_trg, 2930.0f},
      // Fluid above 30 % feeds the pumps; below 30 % the residual bleeds off as the pumps do.
      {"fluid 30", [] { n2(60.0f); hyd_state.hyd_fluid_a = 30.0f; }, &A_press_trg, 0.0f},
      {"fluid 30.5", [] { n2(60.0f); hyd_state.hyd_fluid_a = 30.5f; }, &A_press_trg, 2930.0f},
      {"residual A kept at 30", [] { hyd_state.hyd_fluid_a = 30.0f; }, &hyd_state.hyd_residual_a, 45.0f},
      {"residual A bleeds", [] { hyd_state.hyd_fluid_a = 29.0f; }, &hyd_state.hyd_residual_a, 33.3f},
      {"residual B bleeds", [] { hyd_state.hyd_fluid_b = 29.0f; }, &hyd_state.hyd_residual_b, 28.35f},
      // Status above 1300, standby status above 2000 (after rounding down to tens).
      {"A 1310", [] { hold(1315.0f, 0); }, &A_status, 1.0f},
      {"B 1310", [] { hold(0, 1315.0f); }, &B_status, 1.0f},
      {"B 1300", [] { hold(0, 1309.0f); }, &B_status, 0.0f},
      {"stby 2010", [] { hold(0, 0); switches::alt_flaps_pos = 1; hyd_state.stby_press_state = 2015.0f; },
       &standby_status, 1.0f},
      {"stby 2000", [] { hold(0, 0); switches::alt_flaps_pos = 1; hyd_state.stby_press_state = 2009.0f; },
       &standby_status, 0.0f},
      {"stby falls 19 %", [] { hyd_state.stby_press_state = 2700.0f; }, &standby_pressure, 2180.0f},
      {"pressure is the highest", [] { hold(1234.5f, 0); }, &pressure, 1234.47f},
  };
  run(rows, std::size(rows));
}

TEST_F(HydValues, StandbyPumpAndRudder) {
  using namespace hydraulic;
  // Automatic standby: a switch ON, A or B below 2000, flaps out, airborne or above 60 kt.
  static const ValueRow rows[] = {
      {"auto 61 kt", [] { hold(2005, 1995); host_mirror.sim_cockpit2_controls_flap_handle_deploy_ratio = 0.1f;
                          host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_pilot = 61.0f; }, &standby_on, 1},
      {"60 kt", [] { hold(1995, 1995); host_mirror.sim_cockpit2_controls_flap_handle_deploy_ratio = 0.1f;
                     host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_pilot = 60.0f; }, &standby_on, 0},
      {"nose gear up", [] { hold(1995, 2005); host_mirror.sim_cockpit2_controls_flap_handle_deploy_ratio = 0.1f;
                            host_mirror.sim_flightmodel2_gear_on_ground[0] = 0; }, &standby_on, 1},
      {"left gear up", [] { hold(1995, 0); host_mirror.sim_cockpit2_controls_flap_handle_deploy_ratio = 0.1f;
                            host_mirror.sim_flightmodel2_gear_on_ground[1] = 0; }, &standby_on, 1},
      {"right gear up", [] { hold(0, 0); host_mirror.sim_cockpit2_controls_flap_handle_deploy_ratio = 0.1f;
                             host_mirror.sim_flightmodel2_gear_on_ground[2] = 0; }, &standby_on, 1},
      {"A and B at 2000", [] { hold(2005, 2005); host_mirror.sim_cockpit2_controls_flap_handle_deploy_ratio = 0.1f;
                               host_mirror.sim_flightmodel2_gear_on_ground[2] = 0; }, &standby_on, 0},
      {"flaps up", [] { hold(0, 0); host_mirror.sim_flightmodel2_gear_on_ground[2] = 0; }, &standby_on, 0},
      {"B switch on only", [] { hold(0, 0); switches::flt_ctr_A_pos = 0; host_mirror.sim_flightmodel2_gear_on_ground[2] = 0;
                                host_mirror.sim_cockpit2_controls_flap_handle_deploy_ratio = 0.1f; }, &standby_on, 1},
      {"both switches off", [] { hold(0, 0); switches::flt_ctr_A_pos = switches::flt_ctr_B_pos = 0;
                                 host_mirror.sim_flightmodel2_gear_on_ground[2] = 0;
                                 host_mirror.sim_cockpit2_controls_flap_handle_deploy_ratio = 0.1f; }, &standby_on, 0},
      {"alt flaps", [] { switches::alt_flaps_pos = 1; }, &standby_on, 1},
      {"B at STBY", [] { switches::flt_ctr_B_pos = -1; }, &standby_on, 1},
      // A failed pump is still called for, and gives nothing.
      {"standby failed", [] { switches::alt_flaps_pos = 1; failure_tables.hydraulic[2] = 1; }, &standby_on, 1},
      {"standby bus off", [] { switches::alt_flaps_pos = 1; electric::dc_stdbus_status = 0; }, &standby_on, 0},
      // Rudder from standby through a switch that is not OFF.
      {"A rudder off", [] { hold(0, 0); switches::flt_ctr_A_pos = 0; switches::flt_ctr_B_pos = -1;
                            hyd_state.stby_press_state = 2700.0f; }, &A_rudder, 0},
      {"B rudder stby", [] { hold(0, 0); switches::flt_ctr_A_pos = 0; switches::flt_ctr_B_pos = -1;
                             hyd_state.stby_press_state = 2700.0f; }, &B_rudder, 1},
      // A switch at OFF or STBY RUD shuts its own system off the rudder.
      {"A rudder A off", [] { hold(2800, 2800); switches::flt_ctr_A_pos = 0; }, &A_rudder, 0},
      {"B rudder B stby, standby failed", [] { hold(2800, 2800); switches::flt_ctr_B_pos = -1;
                                                failure_tables.hydraulic[2] = 1; }, &B_rudder, 0},
      {"B rudder B", [] { hold(0, 1400); }, &B_rudder, 1},
      {"A rudder none", [] { hold(0, 1400); }, &A_rudder, 0},
      {"B rudder none", [] { hold(1400, 0); }, &B_rudder, 0},
  };
  run(rows, std::size(rows));
}

TEST_F(HydValues, TransfersQuantitiesAndRefill) {
  using namespace hydraulic;
  // Parking brake released with the latch set: one step A -> B when B is above 1500.
  static const ValueRow rows[] = {
      {"pb B 1510", [] { hold(0, 1515); hyd_state.pb_transfer_armed = hyd_state.prev_parking_brake_pos = 1;
                         hyd_state.prev_parking_brake_ratio = 1; }, &hyd_state.hyd_fluid_b, 92.99f},
      {"pb B 1500", [] { hold(0, 1505); hyd_state.pb_transfer_armed = hyd_state.prev_parking_brake_pos = 1;
                         hyd_state.prev_parking_brake_ratio = 1; }, &hyd_state.hyd_fluid_b, 92.0f},
      {"pb ratio unchanged", [] { hold(0, 1515); hyd_state.pb_transfer_armed = hyd_state.prev_parking_brake_pos = 1; },
       &hyd_state.hyd_fluid_b, 92.0f},
      {"pb not armed", [] { hold(0, 1515); hyd_state.prev_parking_brake_pos = hyd_state.prev_parking_brake_ratio = 1; },
       &hyd_state.hyd_fluid_b, 92.0f},
      {"pb to 120 cap", [] { hold(0, 1515); hyd_state.pb_transfer_armed = hyd_state.prev_parking_brake_pos = 1;
                             hyd_state.prev_parking_brake_ratio = 1; hyd_state.hyd_fluid_b = 119.5f; },
       &hyd_state.hyd_fluid_b, 120.0f},
      // Set with A above 1300 and B below 300.
      {"arm", [] { hold(1315, 295); cockpit::parking_brake_pos = 1;
                   host_mirror.sim_cockpit2_controls_parking_brake_ratio = 1; }, &hyd_state.pb_transfer_armed, 1},
      {"arm A 1300", [] { hold(1305, 295); cockpit::parking_brake_pos = 1;
                          host_mirror.sim_cockpit2_controls_parking_brake_ratio = 1; }, &hyd_state.pb_transfer_armed, 0},
      {"arm B 300", [] { hold(1315, 305); cockpit::parking_brake_pos = 1;
                         host_mirror.sim_cockpit2_controls_parking_brake_ratio = 1; }, &hyd_state.pb_transfer_armed, 0},
      {"engine pump clears", [] { n2(0.5f); hyd_state.pb_transfer_armed = 1; }, &hyd_state.pb_transfer_armed, 0},
      {"one engine pump clears", [] { host_mirror.sim_flightmodel2_engines_N2_percent[1] = 60;
                                      hyd_state.rev_transfer_armed = 1; }, &hyd_state.rev_transfer_armed, 0},
      // Reverser: set in reverse with A and B below 300, both switches at STBY and standby up.
      {"rev arm", [] { hold(295, 295); switches::flt_ctr_A_pos = switches::flt_ctr_B_pos = -1;
                       hyd_state.stby_press_state = 2700; host_mirror.sim_cockpit2_engine_actuators_prop_mode[0] = 3; },
       &hyd_state.rev_transfer_armed, 1},
      {"rev arm A 300", [] { hold(305, 295); switches::flt_ctr_A_pos = switches::flt_ctr_B_pos = -1;
                             hyd_state.stby_press_state = 2700; host_mirror.sim_cockpit2_engine_actuators_prop_mode[0] = 3; },
       &hyd_state.rev_transfer_armed, 0},
      {"rev arm B 300", [] { hold(295, 305); switches::flt_ctr_A_pos = switches::flt_ctr_B_pos = -1;
                             hyd_state.stby_press_state = 2700; host_mirror.sim_cockpit2_engine_actuators_prop_mode[0] = 3; },
       &hyd_state.rev_transfer_armed, 0},
      {"rev arm A on", [] { hold(295, 295); switches::flt_ctr_B_pos = -1;
                            hyd_state.stby_press_state = 2700; host_mirror.sim_cockpit2_engine_actuators_prop_mode[0] = 3; },
       &hyd_state.rev_transfer_armed, 0},
      {"rev arm no stby", [] { hold(295, 295); switches::flt_ctr_A_pos = switches::flt_ctr_B_pos = -1;
                               host_mirror.sim_cockpit2_engine_actuators_prop_mode[0] = 3; },
       &hyd_state.rev_transfer_armed, 0},
      // Forward again with A above 1300 and B below 300: one step B -> A.
      {"rev move", [] { hold(1315, 295); hyd_state.rev_transfer_armed = 1;
                        host_mirror.sim_cockpit2_engine_actuators_prop_mode[0] = 1; }, &hyd_state.hyd_fluid_a, 92.99f},
      {"rev A 1300", [] { hold(1305, 295); hyd_state.rev_transfer_armed = 1;
                          host_mirror.sim_cockpit2_engine_actuators_prop_mode[0] = 1; }, &hyd_state.hyd_fluid_a, 92.0f},
      {"rev B 300", [] { hold(1315, 305); hyd_state.rev_transfer_armed = 1;
                         host_mirror.sim_cockpit2_engine_actuators_prop_mode[0] = 1; }, &hyd_state.hyd_fluid_a, 92.0f},
      {"rev B off", [] { hold(1315, 295); hyd_state.rev_transfer_armed = 1; switches::flt_ctr_B_pos = 0;
                         host_mirror.sim_cockpit2_engine_actuators_prop_mode[0] = 1; }, &hyd_state.hyd_fluid_a, 92.0f},
      {"rev cleared", [] { hold(1305, 295); hyd_state.rev_transfer_armed = 1;
                           host_mirror.sim_cockpit2_engine_actuators_prop_mode[0] = 1; }, &hyd_state.rev_transfer_armed, 0},
      // Displayed quantity: spoilers -5 at 0 deg to 0 at 50 deg; flaps 0 to 16 over 0 to 49 deg, each.
      {"qty A spoiler 25", [] { host_mirror.sim_flightmodel2_wing_spoiler1_deg[0] = 25; }, &hyd_A_qty, 89.5f},
      {"qty A spoiler 60", [] { host_mirror.sim_flightmodel2_wing_spoiler1_deg[0] = 60; }, &hyd_A_qty, 92.0f},
      {"qty A spoiler -1", [] { host_mirror.sim_flightmodel2_wing_spoiler1_deg[0] = -1; }, &hyd_A_qty, 87.0f},
      {"qty B flaps 24.5", [] { host_mirror.sim_flightmodel2_wing_spoiler1_deg[1] = 50;
                                host_mirror.sim_flightmodel2_wing_flap1_deg[0] = 24.5f;
                                host_mirror.sim_flightmodel2_wing_flap1_deg[1] = 60; }, &hyd_B_qty, 68.0f},
      {"qty B flaps -1", [] { host_mirror.sim_flightmodel2_wing_spoiler1_deg[1] = 50;
                              host_mirror.sim_flightmodel2_wing_flap1_deg[0] = -1;
                              host_mirror.sim_flightmodel2_wing_flap1_deg[1] = 24.5f; }, &hyd_B_qty, 84.0f},
      {"qty B not below 0", [] { hyd_state.hyd_fluid_b = 10; host_mirror.sim_flightmodel2_wing_flap1_deg[0] = 49; },
       &hyd_B_qty, 0.0f},
      // Refill on the ground with no engine burning, or flaps up and rolling above 5 m/s.
      {"rf rolling", [] { host_mirror.sim_flightmodel_position_groundspeed = 5.5f; }, &hyd_rf, 1},
      {"rf 5 m/s", [] { host_mirror.sim_flightmodel_position_groundspeed = 5.0f; }, &hyd_rf, 0},
      {"rf flaps", [] { host_mirror.sim_flightmodel_position_groundspeed = 6.0f;
                        host_mirror.sim_cockpit2_controls_flap_ratio = 0.5f; }, &hyd_rf, 0},
      {"rf engine 2 off", [] { host_mirror.sim_flightmodel2_engines_engine_is_burning_fuel[1] = 0; }, &hyd_rf, 0},
      {"rf engines off", [] { host_mirror.sim_flightmodel2_engines_engine_is_burning_fuel[0] = 0;
                              host_mirror.sim_flightmodel2_engines_engine_is_burning_fuel[1] = 0; }, &hyd_rf, 1},
      {"rf airborne", [] { on_ground = 0; host_mirror.sim_flightmodel2_engines_engine_is_burning_fuel[0] = 0;
                           host_mirror.sim_flightmodel2_engines_engine_is_burning_fuel[1] = 0; }, &hyd_rf, 0},
  };
  run(rows, std::size(rows));
}

TEST_F(HydValues, LostSystemBAndYawDamperGates) {
  // Lost-B latch set when B drops, cleared at rest on the ground with engine 2 cut off.
  static const ValueRow rows[] = {
      {"lost B", [] { hyd_state.yd_settle_time = 5; hyd_state.hyd_b_status_prev = 1; engine::mixture_ratio2 = 1; }, &systems::lost_hyd_B, 1},
      {"cleared at rest", [] { hyd_state.yd_settle_time = 5; systems::lost_hyd_B = 1;
                               host_mirror.sim_flightmodel_position_groundspeed = 4.5f; engine::mixture_ratio2 = 0.05f; },
       &systems::lost_hyd_B, 0},
      {"5 m/s", [] { hyd_state.yd_settle_time = 5; systems::lost_hyd_B = 1;
                     host_mirror.sim_flightmodel_position_groundspeed = 5.0f; }, &systems::lost_hyd_B, 1},
      {"mixture 0.1", [] { hyd_state.yd_settle_time = 5; systems::lost_hyd_B = 1; engine::mixture_ratio2 = 0.1f; },
       &systems::lost_hyd_B, 1},
      {"airborne", [] { hyd_state.yd_settle_time = 5; systems::lost_hyd_B = 1; on_ground = 0; },
       &systems::lost_hyd_B, 1},
      {"held until 5 s", [] { hyd_state.yd_settle_time = 4.9f; hyd_state.hyd_b_status_prev = 1; engine::mixture_ratio2 = 1; },
       &systems::lost_hyd_B, 0},
      {"skipped to 4 s", [] { hyd_state.yd_settle_time = 4.0f; hyd_state.hyd_b_status_prev = 1; },
       &hyd_state.hyd_b_status_prev, 1},
      {"runs after 4 s", [] { hyd_state.yd_settle_time = 4.1f; hyd_state.hyd_b_status_prev = 1; },
       &hyd_state.hyd_b_status_prev, 0},
      {"settle counts to 5", [] { hyd_state.yd_settle_time = 4.9f; }, &hyd_state.yd_settle_time, 5.9f},
      {"settle stops at 5", [] { hyd_state.yd_settle_time = 5.0f; }, &hyd_state.yd_settle_time, 5.0f},
  };
  run(rows, std::size(rows));
}

// Yaw damper engagement by IRS source, alignment, fail lights and the
// flight control switches; B pressurised and AC transfer bus 1 powered.
TEST_F(HydValues, YawDamperByIrsAndFlightControls) {
  struct Case {
    float source, left_on, right_on, left_mode, right_mode, fail_l, fail_r, ctr_a, ctr_b, stby;
    bool arms;
  } cases[] = {
      {-1, 1, 0, 2, 0, 0, 0, 1, 1, 1, true},    {-1, 0, 1, 0, 2, 0, 0, 1, 1, 1, false},
      {-1, 1, 1, 1, 2, 0, 0, 1, 1, 1, false},   {-1, 1, 1, 2, 2, 1, 0, 1, 1, 1, false},
      {1, 0, 1, 0, 2, 0, 0, 1, 1, 1, true},     {1, 1, 0, 2, 0, 0, 0, 1, 1, 1, false},
      {1, 1, 1, 2, 2, 0, 1, 1, 1, 1, false},    {0, 1, 0, 2, 0, 0, 0, 1, 1, 1, true},
      {0, 0, 1, 0, 2, 0, 0, 1, 1, 1, true},     {0, 1, 1, 1, 1, 0, 0, 1, 1, 1, false},
      {0, 1, 1, 2, 2, 1, 0, 1, 1, 1, true},     {0, 1, 1, 2, 2, 1, 1, 1, 1, 1, false},
      {0, 1, 1, 2, 2, 0, 0, 1, 0, 1, false},    {0, 1, 1, 2, 2, 0, 0, 1, -1, 1, false},
      {0, 1, 1, 2, 2, 0, 0, 0, -1, 1, false},   {0, 1, 1, 2, 2, 0, 0, 0, -1, 0, false},
      {0, 1, 1, 2, 2, 0, 0, -1, -1, 1, true},   {0, 1, 1, 2, 2, 0, 0, -1, -1, 0, false},
      {0, 1, 1, 2, 2, 0, 0, -1, 0, 1, false},   {0, 1, 1, 2, 2, 0, 0, -1, 1, 1, true},
      {2, 1, 1, 2, 2, 0, 0, 1, 1, 1, true},
  };
  for (const Case& c : cases) {
    Reset();
    hold(0, 2000);
    hyd_state.yd_settle_time = 5.0f;
    hyd_state.hyd_b_status_prev = 1.0f;
    toggle_switch::yaw_dumper_pos = hyd_state.yd_switch_prev = 1.0f;
    yaw_damper_switch_state = 1.0f;
    electric::dc_stdbus_status = c.stby;  // standby pump power
    script_mirror.zuvadud_D738_toggle_switch_irs_source = c.source;
    script_mirror.zuvadud_D738_toggle_switch_irs_left = c.left_on;
    script_mirror.zuvadud_D738_toggle_switch_irs_right = c.right_on;
    script_mirror.zuvadud_D738_irs_irs_mode = c.left_mode;
    script_mirror.zuvadud_D738_irs_irs2_mode = c.right_mode;
    script_mirror.zuvadud__D738__annunciator__irs__align_fail_left = c.fail_l;
    script_mirror.zuvadud__D738__annunciator__irs__align_fail_right = c.fail_r;
    switches::flt_ctr_A_pos = c.ctr_a;
    switches::flt_ctr_B_pos = c.ctr_b;
    hyd_update();
    EXPECT_FLOAT_EQ(delay_timers.yaw_damper_engage_delay, c.arms ? 1.2f : 0.0f)
        << c.source << " " << c.left_on << c.right_on << " " << c.fail_l << c.fail_r << " " << c.ctr_a << c.ctr_b;
    // Whatever keeps the damper from engaging trips its switch to OFF.
    EXPECT_EQ(toggle_switch::yaw_dumper_pos, c.arms ? 1.0f : 0.0f)
        << c.source << " " << c.left_on << c.right_on << " " << c.fail_l << c.fail_r << " " << c.ctr_a << c.ctr_b;
  }
  // The host's yaw damper follows the switch off, and stays on with it.
  for (float sw : {0.0f, 1.0f}) {
    Reset();
    hold(0, 2000);
    hyd_state.yd_settle_time = 5.0f;
    hyd_state.hyd_b_status_prev = 1.0f;
    toggle_switch::yaw_dumper_pos = hyd_state.yd_switch_prev = sw;
    script_mirror.zuvadud_D738_toggle_switch_irs_left = script_mirror.zuvadud_D738_irs_irs_mode = 2.0f;
    host_mirror.sim_cockpit2_switches_yaw_damper_on = 1;
    hyd_update();
    EXPECT_EQ(host_mirror.sim_cockpit2_switches_yaw_damper_on, sw == 1.0f ? 1 : 0) << sw;
  }
}

class HydraulicLeak : public ::testing::Test {
 protected:
  void SetUp() override {
    for (XPLMDataRef& h : bound_handles) h = nullptr;
    host_mirror = HostMirror{};
    script_mirror = ScriptMirror{};
    failure_tables = FailureTables{};
    delay_timers = DelayTimerBank{};
    hyd_state = HydraulicState{};
    hydraulic_step_state = HydraulicStepState{};
    frame_time = 0.1f;
    frame_done = 1;
    on_ground = 1;
  }
};

TEST_F(HydraulicLeak, FluidDrainsAtItsRateOnlyInTheLeakingSystem) {
  struct Row {
    int host_a, host_b;
    float entry_a, entry_b;
    bool leak_a, leak_b;
  } rows[] = {{6, 0, 0, 0, true, false},  {0, 6, 0, 0, false, true},  {0, 0, 1, 0, true, false},
              {0, 0, 0, 1, false, true},  {5, 5, 0.5f, 2, false, false}};
  for (const Row& r : rows) {
    SetUp();
    hyd_state.hyd_fluid_a = hyd_state.hyd_fluid_b = 90.0f;
    host_mirror.sim_operation_failures_rel_hydleak = r.host_a;
    host_mirror.sim_operation_failures_rel_hydleak2 = r.host_b;
    failure_tables.hydraulic[3] = r.entry_a;
    failure_tables.hydraulic[4] = r.entry_b;
    for (int i = 0; i < 100; ++i) hyd_update();  // 10 s
    // 1.2 % of what is left per second: 90 x 0.9988^100.
    EXPECT_NEAR(hyd_state.hyd_fluid_a, r.leak_a ? 79.817f : 90.0f, 2e-3f) << r.host_a << " " << r.entry_a;
    EXPECT_NEAR(hyd_state.hyd_fluid_b, r.leak_b ? 79.817f : 90.0f, 2e-3f) << r.host_b << " " << r.entry_b;
  }
}

}  // namespace
