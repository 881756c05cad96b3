// Electrical buses, battery discharge and ground power, driven through the
// per-frame mirrors without a host (writes to the host are skipped, the
// mirrors take them).
#include <gtest/gtest.h>

#include <cstring>

#include "core/failure_tables.h"
#include "core/binding.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "host.h"
#include "systems/delay_timers.h"
#include "systems/electrical/electric_values.h"
#include "systems/electrical/electrical.h"
#include "systems/instruments/instrument_values.h"
#include "systems/switches/switch_values.h"
#include "systems/system_state.h"

namespace {

class Electrical : public ::testing::Test {
 protected:
  void SetUp() override {
    for (XPLMDataRef& h : bound_handles) h = nullptr;
    host_mirror = HostMirror{};
    script_mirror = ScriptMirror{};
    failure_tables = FailureTables{};
    delay_timers = DelayTimerBank{};
    elec_bus_state = ElecBusState{};
    bat_discharge = BatteryDischargeState{};
    gpu_link_state = 0;
    nearest_gate_airport[0] = '\0';
    nearest_gate_gpu = 0.0f;
    electric::battery_pos = 1.0f;
    electric::standby_bat_pos = 1.0f;
    electrical::apu_power_bus1 = 0.0f;
    electrical::apu_power_bus2 = 0.0f;
    toggle_switch::cab_util_pos = 1.0f;
    host_mirror.sim_cockpit2_electrical_battery_voltage_actual_volts[0] = 24.0f;
    host_mirror.sim_cockpit2_electrical_bus_volts[0] = 28.0f;
    host_mirror.sim_cockpit2_electrical_bus_volts[1] = 27.5f;
    frame_time = 0.1f;
    on_ground = 1;
  }
  static void gens(int g1, int g2) {
    host_mirror.sim_cockpit2_electrical_generator_on[0] = g1;
    host_mirror.sim_cockpit2_electrical_generator_on[1] = g2;
  }
};

struct BusRow {
  const char* what;
  float battery, standby;
  int gen1, gen2, gpu, tie;
  float cab_util;
  // expected
  float t1, t2, dc1, dc2, hot, bat, dirbat, dcstd, acstd, main1, acx, dcx;
};

TEST_F(Electrical, BusTruthTable) {
  const BusRow rows[] = {
      // Battery off, no AC: only the hot battery bus.
      {"cold", 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0},
      // Battery off, standby at BAT: direct battery and both standby buses.
      {"standby on battery", 0, -1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 1, 1, 0, 0, 0},
      // Standby at AUTO with nothing powered: standby buses dark.
      {"auto, nothing powered", 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0},
      // Ground power alone powers everything; cabin/utility off keeps the main buses dark.
      {"ground power", 1, 1, 0, 0, 1, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0},
      {"ground power, cab/util off", 1, 1, 0, 0, 1, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0},
      // Generator 2 only, bus transfer closed: side 1 fed through the tie.
      {"gen 2 through the tie", 1, 1, 0, 1, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1},
      {"gen 2, tie open", 1, 1, 0, 1, 0, 0, 1, 0, 1, 0, 1, 1, 1, 1, 1, 1, 0, 0, 0},
  };
  for (const BusRow& r : rows) {
    SetUp();
    electric::battery_pos = r.battery;
    electric::standby_bat_pos = r.standby;
    toggle_switch::cab_util_pos = r.cab_util;
    gens(r.gen1, r.gen2);
    host_mirror.sim_cockpit_electrical_gpu_on = r.gpu;
    host_mirror.sim_cockpit2_electrical_cross_tie = r.tie;
    elec_buses_update();
    EXPECT_EQ(electric::ac_tnsbus1_status, r.t1) << r.what;
    EXPECT_EQ(electric::ac_tnsbus2_status, r.t2) << r.what;
    EXPECT_EQ(electric::dc_bus1_status, r.dc1) << r.what;
    EXPECT_EQ(electric::dc_bus2_status, r.dc2) << r.what;
    EXPECT_EQ(electric::hot_batbus_status, r.hot) << r.what;
    EXPECT_EQ(electric::batbus_status, r.bat) << r.what;
    EXPECT_EQ(electric::dir_batbus_status, r.dirbat) << r.what;
    EXPECT_EQ(electric::dc_stdbus_status, r.dcstd) << r.what;
    EXPECT_EQ(electric::ac_stdbus_status, r.acstd) << r.what;
    EXPECT_EQ(electric::main_bus1, r.main1) << r.what;
    EXPECT_EQ(electric::ac_cross_tie, r.acx) << r.what;
    EXPECT_EQ(electric::dc_cross_tie, r.dcx) << r.what;
    EXPECT_EQ(electric::dc_gnd_service, 0.0f) << r.what;
  }
}

TEST_F(Electrical, StandbyAutoWithNothingPoweredSwitchesHostBatteryAndInverterOff) {
  electric::battery_pos = 0.0f;
  host_mirror.sim_cockpit2_electrical_battery_on[2] = 1;
  host_mirror.sim_cockpit2_electrical_inverter_on[1] = 1;
  elec_buses_update();
  EXPECT_EQ(host_mirror.sim_cockpit2_electrical_battery_on[2], 0);
  EXPECT_EQ(host_mirror.sim_cockpit2_electrical_inverter_on[1], 0);
}

TEST_F(Electrical, HotBatteryBusNeedsMoreThanTenVolts) {
  for (float volts : {10.0f, 10.01f}) {
    host_mirror.sim_cockpit2_electrical_battery_voltage_actual_volts[0] = volts;
    elec_buses_update();
    EXPECT_EQ(electric::hot_batbus_status, volts > 10.0f ? 1.0f : 0.0f) << volts;
  }
}

TEST_F(Electrical, FailedBusStaysDarkThroughTheTieAndArmedCountsAsWorking) {
  gens(0, 1);
  host_mirror.sim_cockpit2_electrical_cross_tie = 1;
  failure_tables.electric[0] = 1.0f;  // transfer bus 1 failed
  elec_buses_update();
  EXPECT_EQ(electric::ac_tnsbus1_status, 0.0f);
  EXPECT_EQ(electric::ac_cross_tie, 0.0f);
  failure_tables.electric[0] = 2.0f;  // armed only
  elec_buses_update();
  EXPECT_EQ(electric::ac_tnsbus1_status, 1.0f);
}

TEST_F(Electrical, DcTieOpensOnGlideslopeCapture) {
  gens(1, 1);
  host_mirror.sim_cockpit2_electrical_cross_tie = 1;
  elec_buses_update();
  EXPECT_EQ(electric::dc_cross_tie, 1.0f);
  host_mirror.sim_cockpit2_autopilot_glideslope_status = 2;
  elec_buses_update();
  EXPECT_EQ(electric::dc_cross_tie, 0.0f);
}

TEST_F(Electrical, HostSystemFailureLeavesDerivedValuesOfTheFrame) {
  gens(1, 1);
  host_mirror.sim_operation_failures_rel_esys = 6;
  elec_buses_update();
  EXPECT_EQ(electric::ac_tnsbus1_status, 0.0f);
  EXPECT_EQ(electric::tru1_status, 1.0f);
  EXPECT_EQ(electric::main_bus1, 1.0f);
  EXPECT_EQ(electric::batbus_status, 0.0f);
}

TEST_F(Electrical, DisplaysColdStartTakesNinetyFiveSecondsUnlessDcBusOneIsUp) {
  electric::battery_pos = 1.0f;
  elec_buses_update();  // battery only: standby DC bus up, DC bus 1 down
  EXPECT_EQ(delay_timers.capt_display_delay, 95.0f);
  gens(1, 1);
  elec_buses_update();
  EXPECT_EQ(delay_timers.capt_display_delay, 6.0f);
  EXPECT_EQ(delay_timers.fo_display_delay, 6.0f);
  electric::battery_pos = 0.0f;
  elec_buses_update();
  EXPECT_EQ(delay_timers.capt_display_delay, 0.0f);
  EXPECT_EQ(elec_bus_state.capt_displays_ready, 0.0f);
}

TEST_F(Electrical, BatteryDischargeDelaysByCurrent) {
  struct Case {
    float amps;
    int frames_to_light;  // at 0.5 s frames
  };
  const Case cases[] = {{-10.0f, 191}, {-50.0f, 8}, {-120.0f, 5}};
  frame_time = 0.5f;
  for (const Case& c : cases) {
    delay_timers = DelayTimerBank{};
    bat_discharge = BatteryDischargeState{};
    host_mirror.sim_cockpit2_electrical_battery_amps[1] = c.amps;
    int n = 0;
    while (bat_discharge.active == 0.0f && n < 400) {
      update_annunciator_timers();
      battery_discharge_monitor();
      ++n;
    }
    EXPECT_EQ(n, c.frames_to_light) << c.amps;
    host_mirror.sim_cockpit2_electrical_battery_amps[1] = -4.0f;
    battery_discharge_monitor();
    EXPECT_EQ(bat_discharge.active, 0.0f) << c.amps;
  }
}

TEST_F(Electrical, GpuObjectShownMakesPowerAvailableUntilAirborne) {
  // The GPU object is hidden and no jetway: the gate decides.
  std::strcpy(nearest_gate_airport, "KSEA");
  nearest_gate_gpu = 1.0f;
  script_mirror = ScriptMirror{};
  // Handles are null, so the hide flag reads 0: the GPU object counts as
  // shown and ground power is available outright.
  update_ground_power();
  EXPECT_EQ(cockpit::gpu_available, 1.0f);
  on_ground = 0;
  host_mirror.sim_cockpit_electrical_gpu_on = 1;
  update_ground_power();
  EXPECT_EQ(cockpit::gpu_available, 0.0f);
  EXPECT_EQ(host_mirror.sim_cockpit_electrical_gpu_on, 0);
}

// Gate power: with the GPU object hidden and no jetway, a gate that offers
// power connects 15 s after the parking brake is set and disconnects 15 s
// after it is released; power stays available while disconnecting.
TEST_F(Electrical, GatePowerConnectsAndDisconnectsOverFifteenSeconds) {
  simhost::reset();
  bind_script_datarefs();
  ASSERT_TRUE(simhost::set_float("zuvadud/D738/gpu_hide", 1.0f));
  simhost::set_float("zuvadud/D738/fms/gpu_test_enable", 1.0f);
  std::strcpy(nearest_gate_airport, "KSEA");
  nearest_gate_gpu = 1.0f;
  frame_time = 0.5f;
  auto step = [](int frames) {
    for (int i = 0; i < frames; ++i) {
      update_annunciator_timers();
      update_ground_power();
    }
  };
  step(1);
  EXPECT_EQ(cockpit::gpu_available, 0.0f);
  EXPECT_EQ(gpu_link_state, 0);
  host_mirror.sim_cockpit2_controls_parking_brake_ratio = 1.0f;
  step(1);
  EXPECT_EQ(gpu_link_state, 2);
  step(29);  // 14.5 s of the 15
  EXPECT_EQ(cockpit::gpu_available, 0.0f);
  step(2);
  EXPECT_EQ(gpu_link_state, 3);
  EXPECT_EQ(cockpit::gpu_available, 1.0f);
  host_mirror.sim_cockpit2_controls_parking_brake_ratio = 0.5f;
  step(1);
  EXPECT_EQ(gpu_link_state, 1);
  step(29);
  EXPECT_EQ(cockpit::gpu_available, 1.0f) << "available while disconnecting";
  step(2);
  EXPECT_EQ(gpu_link_state, 0);
  EXPECT_EQ(cockpit::gpu_available, 0.0f);
  // Released while still connecting: it turns round at once.
  host_mirror.sim_cockpit2_controls_parking_brake_ratio = 1.0f;
  step(1);
  host_mirror.sim_cockpit2_controls_parking_brake_ratio = 0.0f;
  step(1);
  EXPECT_EQ(gpu_link_state, 1);
  EXPECT_EQ(delay_timers.gpu_connect_delay, 0.0f);
  // With the cable option the beacon must be off, or AC transfer bus 1 dead.
  simhost::set_float("zuvadud/D738/gp_cable_connect", 1.0f);
  host_mirror.sim_cockpit2_controls_parking_brake_ratio = 1.0f;
  host_mirror.sim_cockpit2_switches_beacon_on = 1;
  electric::ac_tnsbus1_status = 1.0f;
  step(1);
  EXPECT_EQ(gpu_link_state, 1);
  electric::ac_tnsbus1_status = 0.0f;
  step(1);
  EXPECT_EQ(gpu_link_state, 2);
  simhost::set_float("zuvadud/D738/gp_cable_connect", 0.0f);
  host_mirror.sim_cockpit2_switches_beacon_on = 0;
  // A gate without power never connects.
  nearest_gate_gpu = 0.0f;
  host_mirror.sim_cockpit2_controls_parking_brake_ratio = 1.0f;
  step(40);
  EXPECT_EQ(gpu_link_state, 0);
  simhost::reset();
  for (XPLMDataRef& h : bound_handles) h = nullptr;
}

}  // namespace
