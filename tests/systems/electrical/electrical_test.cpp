// Electrical buses, battery discharge and ground power, driven through the
// per-frame mirrors without a host (writes to the host are skipped, the
// mirrors take them); their limits as table rows (discharge bands, display
// power, the four-minute flags, the standby display's alignment); and the
// panel brightness: ambient light by sun elevation, display formats, flood
// levels and the older host's knob ends.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <iterator>

#include "core/binding.h"
#include "core/failure_tables.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "host.h"
#include "systems/aircraft_systems.h"
#include "systems/annunciators/annunciator_values.h"
#include "systems/delay_timers.h"
#include "systems/electrical/bus_feeds.h"
#include "systems/electrical/electric_values.h"
#include "systems/electrical/electrical.h"
#include "systems/instruments/clock_values.h"
#include "systems/instruments/clocks.h"
#include "systems/instruments/instrument_values.h"
#include "systems/panel_fixture.h"
#include "systems/switches/switch_values.h"
#include "systems/system_state.h"
#include "systems/value_rows.h"

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
    bat_discharge_monitor = BatteryDischargeState{};
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
  int avionics;  // the host's avionics power: on while any bus feeding a radio is
};

TEST_F(Electrical, BusTruthTable) {
  const BusRow rows[] = {
      // Battery off, no AC: only the hot battery bus.
      {"cold", 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0},
      // Battery off, standby at BAT: the battery buses and both standby buses.
      {"standby on battery", 0, -1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 1, 1, 1, 1, 0, 0, 0, 1},
      // Standby at AUTO with nothing powered: standby buses dark.
      {"auto, nothing powered", 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0},
      // Ground power alone powers everything; cabin/utility off keeps the main buses dark.
      {"ground power", 1, 1, 0, 0, 1, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 1},
      {"ground power, cab/util off", 1, 1, 0, 0, 1, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 1},
      // Ground power with the battery switch off: no battery bus, the radios fed.
      {"ground power, battery off", 0, 1, 0, 0, 1, 0, 1, 1, 1, 1, 1, 1, 0, 1, 1, 1, 1, 0, 0, 1},
      // Generator 2 only, bus transfer closed: side 1 fed through the tie.
      {"gen 2 through the tie", 1, 1, 0, 1, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1},
      {"gen 2, tie open", 1, 1, 0, 1, 0, 0, 1, 0, 1, 0, 1, 1, 1, 1, 1, 1, 0, 0, 0, 1},
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
    EXPECT_EQ(host_mirror.sim_cockpit_electrical_avionics_on, r.avionics) << r.what;
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
  // Armed only, at random (2) or for a flight condition (3 to 8): working.
  for (float armed : {2.0f, 3.0f, 4.0f, 8.0f}) {
    failure_tables.electric[0] = armed;
    failure_tables.electric[10] = armed;  // DC bus 1
    elec_buses_update();
    EXPECT_EQ(electric::ac_tnsbus1_status, 1.0f) << armed;
    EXPECT_EQ(electric::dc_bus1_status, 1.0f) << armed;
  }
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

// The host's bus failures take one side's transfer and DC buses alike; the
// battery and standby buses stay, the AC standby bus on the static inverter
// once AC transfer bus 1 is gone.
TEST_F(Electrical, HostSystemFailureLeavesDerivedValuesOfTheFrame) {
  for (int side = 1; side <= 2; ++side) {
    SetUp();
    gens(1, 1);
    host_mirror.sim_cockpit2_electrical_inverter_on[1] = 1;
    (side == 1 ? host_mirror.sim_operation_failures_rel_esys : host_mirror.sim_operation_failures_rel_esys2) = 6;
    elec_buses_update();
    EXPECT_EQ(electric::ac_tnsbus1_status, side == 1 ? 0.0f : 1.0f) << side;
    EXPECT_EQ(electric::dc_bus1_status, side == 1 ? 0.0f : 1.0f) << side;
    EXPECT_EQ(electric::ac_tnsbus2_status, side == 2 ? 0.0f : 1.0f) << side;
    EXPECT_EQ(electric::dc_bus2_status, side == 2 ? 0.0f : 1.0f) << side;
    EXPECT_EQ(electric::tru1_status, 1.0f) << side;
    EXPECT_EQ(electric::main_bus1, 1.0f) << side;
    for (float bus : {electric::batbus_status, electric::hot_batbus_status, electric::dir_batbus_status,
                      electric::ac_stdbus_status, electric::dc_stdbus_status})
      EXPECT_EQ(bus, 1.0f) << side;
  }
}

TEST_F(Electrical, DisplaysColdStartTakesNinetyFiveSecondsUnlessDcBusOneIsUp) {
  electric::battery_pos = 1.0f;
  elec_buses_update();  // battery only: standby DC bus up, DC bus 1 down
  EXPECT_EQ(delay_timers.capt_display_delay, 95.0f);
  gens(1, 1);
  elec_buses_update();
  EXPECT_EQ(delay_timers.capt_display_delay, 6.0f);
  EXPECT_EQ(delay_timers.fo_display_delay, 6.0f);
  // The battery switch off on the generators: both sides run on.
  electric::battery_pos = 0.0f;
  elec_buses_update();
  EXPECT_EQ(delay_timers.capt_display_delay, 6.0f);
  EXPECT_EQ(delay_timers.fo_display_delay, 6.0f);
  // On the battery alone with its switch off: dark.
  gens(0, 0);
  elec_buses_update();
  EXPECT_EQ(delay_timers.capt_display_delay, 0.0f);
  EXPECT_EQ(elec_bus_state.capt_displays_ready, 0.0f);
  EXPECT_EQ(delay_timers.fo_display_delay, 0.0f);
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
    bat_discharge_monitor = BatteryDischargeState{};
    host_mirror.sim_cockpit2_electrical_battery_amps[1] = c.amps;
    int n = 0;
    while (bat_discharge_monitor.active == 0.0f && n < 400) {
      update_annunciator_timers();
      battery_discharge_monitor();
      ++n;
    }
    EXPECT_EQ(n, c.frames_to_light) << c.amps;
    host_mirror.sim_cockpit2_electrical_battery_amps[1] = -4.0f;
    battery_discharge_monitor();
    EXPECT_EQ(bat_discharge_monitor.active, 0.0f) << c.amps;
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

class ElecValues : public ::testing::Test {
 protected:
  void SetUp() override { Reset(); }

 public:
  void Reset() {
    for (XPLMDataRef& h : bound_handles) h = nullptr;
    host_mirror = HostMirror{};
    script_mirror = ScriptMirror{};
    failure_tables = FailureTables{};
    delay_timers = DelayTimerBank{};
    elec_bus_state = ElecBusState{};
    bat_discharge_monitor = BatteryDischargeState{};
    electric::battery_pos = 1.0f;
    electric::standby_bat_pos = 1.0f;
    electric::ac_tns_bus1_pow4 = electric::ac_tns_bus2_pow4 = 0.0f;
    electrical::apu_power_bus1 = electrical::apu_power_bus2 = 0.0f;
    toggle_switch::cab_util_pos = 1.0f;
    host_mirror.sim_cockpit2_electrical_battery_voltage_actual_volts[0] = 24.0f;
    host_mirror.sim_cockpit2_electrical_generator_on[0] = host_mirror.sim_cockpit2_electrical_generator_on[1] = 1;
    frame_time = 0.5f;
    on_ground = 1;
  }
};

TEST_F(ElecValues, DischargeBandsDisplaysAndFourMinuteFlags) {
  // Discharge: below -5 A for 95 s, -15 A for 3.5 s, -100 A for 2 s.
  static const ValueRow discharge[] = {
      {"-5 A", [] { host_mirror.sim_cockpit2_electrical_battery_amps[1] = -5; }, &delay_timers.bat_discharge_low_delay, 95},
      {"-4.9 A", [] { host_mirror.sim_cockpit2_electrical_battery_amps[2] = -4.9f; delay_timers.bat_discharge_low_delay = 9; },
       &delay_timers.bat_discharge_low_delay, 0},
      {"-15 A", [] { host_mirror.sim_cockpit2_electrical_battery_amps[2] = -15; }, &delay_timers.bat_discharge_mid_delay, 3.5f},
      {"-14.9 A", [] { host_mirror.sim_cockpit2_electrical_battery_amps[1] = -14.9f; bat_discharge_monitor.mid = 1; },
       &bat_discharge_monitor.mid, 0},
      {"-15 A held", [] { host_mirror.sim_cockpit2_electrical_battery_amps[1] = -15; bat_discharge_monitor.mid = 1; },
       &bat_discharge_monitor.active, 1},
      {"-100 A", [] { host_mirror.sim_cockpit2_electrical_battery_amps[1] = -100; }, &delay_timers.bat_discharge_high_delay, 2},
      {"-99.9 A", [] { host_mirror.sim_cockpit2_electrical_battery_amps[1] = -99.9f; bat_discharge_monitor.high = 1; },
       &bat_discharge_monitor.high, 0},
      {"-99.9 A mid", [] { host_mirror.sim_cockpit2_electrical_battery_amps[1] = -99.9f; },
       &delay_timers.bat_discharge_mid_delay, 3.5f},
      {"tie adds battery 0", [] { host_mirror.sim_cockpit2_electrical_battery_amps[0] = -20;
                                  host_mirror.sim_cockpit2_electrical_cross_tie = 1; },
       &delay_timers.bat_discharge_mid_delay, 3.5f},
      {"open tie", [] { host_mirror.sim_cockpit2_electrical_battery_amps[0] = -20; }, &delay_timers.bat_discharge_mid_delay, 0},
  };
  run_rows(*this, discharge, std::size(discharge), battery_discharge_monitor);

  static const ValueRow buses[] = {
      // Captain's displays: 95 s on the standby bus alone, cut to 6 s with DC bus 1.
      {"capt cut to 6", [] { delay_timers.capt_display_delay = 6.5f; }, &delay_timers.capt_display_delay, 6},
      {"capt at 6", [] { delay_timers.capt_display_delay = 5.5f; }, &delay_timers.capt_display_delay, 5.5f},
      {"fo cut to 6", [] { delay_timers.fo_display_delay = 6.5f; }, &delay_timers.fo_display_delay, 6},
      {"fo running", [] { delay_timers.fo_display_delay = 5.5f; }, &delay_timers.fo_display_delay, 5.5f},
      {"fo ready", [] { elec_bus_state.fo_displays_ready = 1; }, &delay_timers.fo_display_delay, 0},
      // Four-minute flags: armed with 240 s when the bus comes up, cleared when it goes.
      {"bus 2 four minutes", [] {}, &delay_timers.ac_tns_bus2_pow4_delay, 240},
      {"bus 1 running", [] { delay_timers.ac_tns_bus1_pow4_delay = 100; }, &delay_timers.ac_tns_bus1_pow4_delay, 100},
      {"bus 1 lost", [] { electric::ac_tns_bus1_pow4 = 1; host_mirror.sim_cockpit2_electrical_generator_on[0] = 0; },
       &electric::ac_tns_bus1_pow4, 0},
      {"bus 2 kept", [] { electric::ac_tns_bus2_pow4 = 1; host_mirror.sim_cockpit2_electrical_generator_on[0] = 0; },
       &electric::ac_tns_bus2_pow4, 1},
      // Bus transfer: with the tie closed a lone generator feeds both transfer buses.
      {"tie from side 1", [] { host_mirror.sim_cockpit2_electrical_generator_on[1] = 0;
                               host_mirror.sim_cockpit2_electrical_cross_tie = 1; }, &electric::ac_cross_tie, 1},
      {"tie from side 2", [] { host_mirror.sim_cockpit2_electrical_generator_on[0] = 0;
                               host_mirror.sim_cockpit2_electrical_cross_tie = 1; }, &electric::ac_tnsbus1_status, 1},
      {"tie, both up", [] { host_mirror.sim_cockpit2_electrical_cross_tie = 1; }, &electric::ac_cross_tie, 0},
      // The APU generator feeds only the sides whose APU bus switch is on.
      {"APU to bus 2 only", [] { host_mirror.sim_cockpit2_electrical_generator_on[0] = 0;
                                 host_mirror.sim_cockpit2_electrical_generator_on[1] = 0;
                                 host_mirror.sim_cockpit_electrical_generator_apu_on = 1; electrical::apu_power_bus2 = 1; },
       &electric::ac_tnsbus1_status, 0},
      {"APU to bus 1 only", [] { host_mirror.sim_cockpit2_electrical_generator_on[0] = 0;
                                 host_mirror.sim_cockpit2_electrical_generator_on[1] = 0;
                                 host_mirror.sim_cockpit_electrical_generator_apu_on = 1; electrical::apu_power_bus1 = 1; },
       &electric::ac_tnsbus2_status, 0},
      // Standby power in AUTO with the battery switch off needs one AC transfer bus.
      {"standby on AC 1 alone", [] { electric::battery_pos = 0; host_mirror.sim_cockpit_electrical_gpu_on = 1;
                                     failure_tables.electric[1] = 1; }, &electric::ac_stdbus_status, 1},
      {"standby on AC 2 alone", [] { electric::battery_pos = 0; host_mirror.sim_cockpit_electrical_gpu_on = 1;
                                     failure_tables.electric[0] = 1; }, &electric::dc_stdbus_status, 1},
  };
  run_rows(*this, buses, std::size(buses), elec_buses_update);

  // The clock lighting knob reads as its lowest level when not a number; unpowered,
  // the chronographs go to display mode 2 and the clocks to 1 (captain) and 3.
  EXPECT_EQ(clock_brightness_fraction(std::nanf("")), 0.25f);
  electric::batbus_status = 0.0f;
  update_clocks();
  EXPECT_EQ(clock_::chrono_display_mode_capt, 2.0f);
  EXPECT_EQ(clock_::chrono_display_mode_fo, 2.0f);
  EXPECT_EQ(clock_::clock_display_mode_capt, 1.0f);
}

// Older hosts: the overhead and pedestal floods at their knobs' ends, by day.
TEST(BrightnessValues, OlderHostFloodsAtTheKnobEnds) {
  for (XPLMDataRef& h : bound_handles) h = nullptr;
  host_mirror = HostMirror{};
  host_version = 110000;
  electric::battery_pos = 1.0f;
  host_mirror.sim_graphics_scenery_sun_pitch_degrees = 60.0f;
  host_mirror.sim_cockpit2_switches_generic_lights_switch[14] = 0.5f;  // pedestal flood dimmed
  for (float* bus : {&electric::batbus_status, &electric::dir_batbus_status, &electric::dc_stdbus_status,
                     &electric::dc_bus1_status, &electric::dc_bus2_status, &electric::ac_tnsbus2_status}) {
    *bus = 1.0f;
  }
  elec_bus_state.capt_displays_ready = elec_bus_state.fo_displays_ready = 1.0f;
  struct Flood {
    float pedestal, overhead;
    float e17, e19, e28, e29;
  } rows[] = {{0, 0, 0.33f, 0, 0.33f, 0.33f},
              {0.04f, 0.04f, 0.33f, 0, 0.33f, 0.33f},
              {0.05f, 0.05f, 0.36304f, 0, 0.33612f, 0.35879f},
              {0.7f, 0.8f, 1, 1, 0, 1}};
  const float* ins = host_mirror.sim_cockpit2_switches_instrument_brightness_ratio;
  for (const Flood& r : rows) {
    electric::panel_brightness[2] = r.pedestal;
    electric::panel_brightness[3] = r.overhead;
    update_panel_brightness();
    EXPECT_NEAR(ins[17], r.e17, 1e-5f) << r.pedestal;
    EXPECT_NEAR(ins[19], r.e19, 1e-5f) << r.overhead;
    EXPECT_NEAR(ins[28], r.e28, 1e-5f) << r.overhead;
    EXPECT_NEAR(ins[29], r.e29, 1e-5f) << r.overhead;
  }
}

class Brightness : public PanelTest {
 protected:
  void SetUp() override {
    PanelTest::SetUp();
    host_version = 120000;
    elec_bus_state.capt_displays_ready = elec_bus_state.fo_displays_ready = 1.0f;
    display_units::idu_cpt = display_units::idu_fo = display_units::ldu = display_units::udu = 0.0f;
    display::nd_refresh = display::nd_refresh_fo = 0.0f;
    for (float& k : electric::panel_brightness) k = 0.0f;
    for (float& k : electric::instrument_brightness) k = 0.0f;
  }
  const float* ins = host_mirror.sim_cockpit2_switches_instrument_brightness_ratio;
  const float* pan = host_mirror.sim_cockpit2_switches_panel_brightness_ratio;
};

TEST_F(Brightness, AmbientLightBySunElevation) {
  struct Row {
    float sun, glow, scale, knob_min, knob_max, glare_low;
  } rows[] = {
      {-10, 0.05f, 0.05f, 0.5f, 1.0f, 0.05f},  {-5, 0.05f, 0.05f, 0.5f, 1.0f, 0.05f},
      {-2.5f, 0.075f, 0.075f, 0.45f, 0.9f, 0.075f}, {0, 0.1f, 0.1f, 0.4f, 0.8f, 0.1f},
      {17.5f, 0.55f, 0.55f, 0.4f, 0.8f, 0.55f},  {34.9f, 0.99743f, 0.99743f, 0.4f, 0.8f, 0.99743f},
      {35, 0, 1, 0.4f, 0.8f, 0.4f},              {60, 0, 1, 0.4f, 0.8f, 0.4f},
  };
  for (const Row& r : rows) {
    host_mirror.sim_graphics_scenery_sun_pitch_degrees = r.sun;
    electric::panel_brightness[0] = 0.0f;
    electric::panel_brightness[1] = 1.0f;
    electric::instrument_brightness[0] = 0.0f;
    electric::instrument_brightness[1] = 1.0f;
    update_panel_brightness();
    EXPECT_NEAR(pan[1], r.scale, 1e-4f) << r.sun;
    EXPECT_NEAR(ins[0], r.knob_min, 1e-4f) << r.sun;
    EXPECT_NEAR(ins[1], r.knob_max, 1e-4f) << r.sun;
    EXPECT_NEAR(annunciator::brightness_mcp_light, r.glare_low, 1e-4f) << r.sun;
    EXPECT_NEAR(ins[15], std::fmin(r.glow + 0.4f, 1.0f) * 0.8f, 1e-4f) << r.sun;
  }
  // The older host: a night glow that rises toward dusk and is gone by day,
  // never lifting a light past full.
  host_version = 110000;
  host_mirror.sim_cockpit2_switches_generic_lights_switch[14] = 0.5f;  // the flood on its knob
  struct Old {
    float sun, element15, mcp, flood;
  } old[] = {{-10, 0.48f, 0.6f, 0.53f},         {-8, 0.48f, 0.6f, 0.53f}, {-2.5f, 0.74667f, 0.93333f, 0.86333f},
             {2.9f, 0.8f, 1.0f, 1.0f},          {3, 0.32f, 0.4f, 0.33f},  {10, 0.32f, 0.4f, 0.33f}};
  for (const Old& o : old) {
    host_mirror.sim_graphics_scenery_sun_pitch_degrees = o.sun;
    update_panel_brightness();
    EXPECT_NEAR(ins[15], o.element15, 1e-4f) << o.sun;
    EXPECT_NEAR(annunciator::brightness_mcp_light, o.mcp, 1e-4f) << o.sun;
    EXPECT_EQ(ins[9], annunciator::brightness_mcp_light) << o.sun;
    EXPECT_NEAR(ins[17], o.flood, 1e-4f) << o.sun;
    EXPECT_NEAR(ins[0], 0.4f, 1e-6f) << o.sun;
  }
}

TEST_F(Brightness, DisplayFormatsTakeTheirKnobsAlong) {
  host_mirror.sim_graphics_scenery_sun_pitch_degrees = 60.0f;  // knob range 0.4 .. 0.8
  for (int i = 0; i < 6; ++i) electric::instrument_brightness[i] = 0.1f * static_cast<float>(i + 1);
  electric::instrument_brightness[24] = electric::instrument_brightness[26] = 1.0f;
  // Each display's own knob gives E0 .. E5 = 0.44 .. 0.64.
  struct Row {
    float ldu, udu, idu_fo, idu_cpt;
    float e[6];
    float e24, e26;
  } rows[] = {
      {0, 0, 0, 0, {0.44f, 0.48f, 0.52f, 0.56f, 0.60f, 0.64f}, 0.416f, 0.448f},
      {1, 0, 0, 2, {0.52f, 0.48f, 0.64f, 0.56f, 0.60f, 0.64f}, 0.512f, 0.448f},
      {2, 0, 2, 3, {0.44f, 0.56f, 0.52f, 0.56f, 0.64f, 0.52f}, 0.512f, 0.512f},
      {3, 0, 3, 1, {0.44f, 0.48f, 0.52f, 0.64f, 0.60f, 0.56f}, 0.512f, 0.512f},
      {0, 1, 1, 1, {0.44f, 0.48f, 0.52f, 0.56f, 0.52f, 0.64f}, 0.512f, 0.512f},
      {0, 1, 1, 0, {0.44f, 0.48f, 0.52f, 0.56f, 0.56f, 0.64f}, 0.416f, 0.512f},
  };
  for (const Row& r : rows) {
    display_units::ldu = r.ldu;
    display_units::udu = r.udu;
    display_units::idu_fo = r.idu_fo;
    display_units::idu_cpt = r.idu_cpt;
    update_panel_brightness();
    for (int i = 0; i < 6; ++i) {
      EXPECT_NEAR(ins[i], r.e[i], 1e-5f) << "element " << i << " ldu " << r.ldu << " udu " << r.udu << " fo "
                                         << r.idu_fo << " cpt " << r.idu_cpt;
    }
    EXPECT_NEAR(ins[24], r.e24, 1e-5f) << r.idu_cpt;
    EXPECT_NEAR(ins[26], r.e26, 1e-5f) << r.idu_fo;
  }
}

TEST_F(Brightness, FloodLevelsByOverheadKnob) {
  host_mirror.sim_graphics_scenery_sun_pitch_degrees = 60.0f;  // knob range 0.4 .. 0.8
  struct Row {
    float knob;  // overhead flood knob; its level is 0.4 + 0.4 x knob
    float e19, e28, g;
  } rows[] = {{0, 0, 0.33f, 0.33f}, {0.25f, 0, 0.3475f, 0.41228f}, {0.5f, 0.4675f, 0.3725f, 0.52982f},
              {1, 0.75676f, 0, 0.76491f}};
  for (const Row& r : rows) {
    electric::panel_brightness[3] = r.knob;
    update_panel_brightness();
    EXPECT_NEAR(ins[19], r.e19, 1e-4f) << r.knob;
    EXPECT_NEAR(ins[16], r.e19, 1e-4f) << r.knob;
    EXPECT_NEAR(ins[28], r.e28, 1e-4f) << r.knob;
    EXPECT_NEAR(ins[27], r.e28, 1e-4f) << r.knob;
    EXPECT_NEAR(ins[29], r.g, 1e-4f) << r.knob;
    EXPECT_NEAR(ins[30], r.g, 1e-4f) << r.knob;
  }
  // The pedestal flood follows its own knob in the dimmed switch position.
  host_mirror.sim_cockpit2_switches_generic_lights_switch[14] = 0.5f;
  for (float knob : {0.0f, 0.5f, 1.0f}) {
    electric::panel_brightness[2] = knob;
    update_panel_brightness();
    EXPECT_NEAR(ins[17], 0.4f + 0.4f * knob, 1e-5f) << knob;
  }
  host_mirror.sim_cockpit2_switches_generic_lights_switch[14] = 1.0f;
  update_panel_brightness();
  EXPECT_EQ(ins[17], 1.0f);
  EXPECT_NEAR(electric::tint_dspl_capt, 0.72f, 1e-6f);
  EXPECT_NEAR(electric::tint_dspl_fo, 0.72f, 1e-6f);
}

TEST_F(SystemLimits, StandbyDisplayAlignsInNinetySixSecondsOnBothBatteryBuses) {
  host_mirror.sim_cockpit2_electrical_battery_voltage_actual_volts[0] = 24.0f;
  host_mirror.sim_cockpit2_electrical_bus_volts[0] = 28.0f;
  host_mirror.sim_cockpit2_electrical_bus_volts[1] = 27.5f;
  struct Row {
    float battery, standby;  // switch positions
    int frames;              // of 0.125 s
    float countdown, ready;
  } rows[] = {
      {1, 1, 1, 95.875f, 0},   // both battery buses: counting down
      {1, 1, 767, 0.125f, 0},
      {1, 1, 769, 0, 1},       // aligned after 96 s
      {0, -1, 1, 95.875f, 0},  // standby power at BAT: both battery buses, the battery switch off
      {0, -1, 40, 91.0f, 0},
  };
  for (const Row& r : rows) {
    elec_bus_state.isfd_ready = 1.0f;
    elec_bus_state.isfd_countdown = 0.0f;
    electric::battery_pos = 0.0f;
    electric::standby_bat_pos = 0.0f;
    elec_buses_update();  // everything dark: the alignment starts over
    electric::battery_pos = r.battery;
    electric::standby_bat_pos = r.standby;
    for (int i = 0; i < r.frames; ++i) elec_buses_update();
    EXPECT_NEAR(elec_bus_state.isfd_countdown, r.countdown, 1e-3f) << r.battery << " " << r.standby << " " << r.frames;
    EXPECT_EQ(elec_bus_state.isfd_ready, r.ready) << r.battery << " " << r.standby << " " << r.frames;
  }
}

}  // namespace

// Each bus failed in turn, parked on ground power and in flight on both
// generators with the bus transfer closed: the consumers of the buses that
// go with it lose their power, every other consumer keeps it.
struct BusLossRow {
  const char* what;
  int entry;          // the failed bus's electric failure-table entry
  uint32_t lost;      // the buses that go dark with it
};

TEST_F(Electrical, EachBusLostTakesItsConsumersAndNoOther) {
  const BusLossRow rows[] = {
      {"AC transfer bus 1", 0, bus_ac_transfer1 | bus_main1},
      {"AC transfer bus 2", 1, bus_ac_transfer2 | bus_main2},
      {"main bus 1", 2, bus_main1},
      {"main bus 2", 3, bus_main2},
      {"AC standby bus", 4, bus_ac_standby},
      {"hot battery bus", 7, bus_hot_battery},
      {"battery bus", 8, bus_battery},
      {"direct battery bus", 9, bus_direct_battery},
      {"DC bus 1", 10, bus_dc1},
      {"DC bus 2", 11, bus_dc2},
      {"DC standby bus", 13, bus_dc_standby},
  };
  constexpr uint32_t all_buses = (1u << kBusCount) - 1u;
  for (int air = 0; air < 2; ++air) {
    for (int r = -1; r < static_cast<int>(std::size(rows)); ++r) {
      SetUp();
      on_ground = air ? 0 : 1;
      host_mirror.sim_cockpit2_electrical_cross_tie = 1;
      if (air) {
        gens(1, 1);
      } else {
        host_mirror.sim_cockpit_electrical_gpu_on = 1;
      }
      const char* what = r < 0 ? "nothing failed" : rows[r].what;
      const uint32_t lost = r < 0 ? 0u : rows[r].lost;
      if (r >= 0) failure_tables.electric[rows[r].entry] = 1.0f;
      elec_buses_update();
      EXPECT_EQ(buses_powered(), all_buses & ~lost) << what << (air ? " in flight" : " on the ground");
      for (const ConsumerFeed& c : consumer_feeds) {
        const bool keeps = (c.all_of & lost) == 0u && (c.any_of == 0u || (c.any_of & ~lost) != 0u);
        EXPECT_EQ(fed(c.consumer), keeps) << c.name << " with " << what << (air ? " lost in flight" : " lost on the ground");
      }
    }
  }
}

// On the battery alone the AC standby bus runs on the static inverter, which
// the battery bus feeds: with that bus lost the AC standby bus goes with it,
// the hot battery bus alive or not.
TEST_F(Electrical, InverterRunsOnTheBatteryBus) {
  for (int lost : {-1, 8}) {
    SetUp();
    if (lost >= 0) failure_tables.electric[lost] = 1.0f;
    elec_buses_update();
    EXPECT_EQ(electric::hot_batbus_status, 1.0f) << lost;
    EXPECT_EQ(electric::batbus_status, lost < 0 ? 1.0f : 0.0f) << lost;
    EXPECT_EQ(electric::ac_stdbus_status, lost < 0 ? 1.0f : 0.0f) << lost;
    EXPECT_EQ(electric::dc_stdbus_status, 1.0f) << lost;
  }
}

// The census itself: every row names its buses, real ones, and where they
// come from.
TEST(BusFeeds, EveryConsumerNamesItsBuses) {
  constexpr uint32_t all_buses = (1u << kBusCount) - 1u;
  for (int i = 0; i < kConsumerCount; ++i) {
    const ConsumerFeed& c = consumer_feeds[i];
    EXPECT_EQ(static_cast<int>(c.consumer), i) << c.name;
    EXPECT_NE(c.all_of | c.any_of, 0u) << c.name;
    EXPECT_EQ((c.all_of | c.any_of) & ~all_buses, 0u) << c.name;
    EXPECT_NE(c.what[0], '\0') << c.name;
    EXPECT_NE(c.from[0], '\0') << c.name;
  }
  EXPECT_FALSE(fed_by(Consumer::count, all_buses));
}
