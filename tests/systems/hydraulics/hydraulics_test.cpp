// Hydraulic pumps, pressures, standby system, fluid transfer and the yaw
// damper, driven through the mirrors without a host.
#include <gtest/gtest.h>

#include "core/failure_tables.h"
#include "core/binding.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "systems/delay_timers.h"
#include "systems/electrical/electric_values.h"
#include "systems/fire/fire_values.h"
#include "systems/hydraulics/hydraulic_values.h"
#include "systems/hydraulics/hydraulics.h"
#include "systems/switches/switch_targets.h"
#include "systems/instruments/instrument_values.h"
#include "systems/switches/switch_values.h"
#include "systems/system_state.h"

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
    electric::ac_tnsbus1_status = 1.0f;
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
  const Case cases[] = {{0.0f, 0.0f}, {-1.0f, 0.0f}, {5.1f, 1300.0f}, {5.8f, 1600.0f},
                        {6.0f, 1920.0f}, {8.0f, 2930.0f}, {60.0f, 2930.0f}};
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

}  // namespace
