// Electrical sources and meters, the hydraulic state handed to the host and
// the order-dependent parts of the systems frame, against the simulated host.
#include <gtest/gtest.h>

#include "alerting/aural_cues.h"
#include "core/failure_tables.h"
#include "engines/engine_values.h"
#include "panel_fixture.h"
#include "systems/aircraft_systems.h"
#include "systems/electrical/electrical.h"
#include "systems/flight_controls/flight_control_values.h"
#include "systems/hydraulics/hydraulic_values.h"
#include "systems/instruments/instrument_values.h"
#include "systems/switches/switch_values.h"
#include "systems/system_state.h"
#include "systems/systems_steps.h"

namespace {

class Sources : public PanelTest {
 protected:
  void SetUp() override {
    PanelTest::SetUp();
    failure_tables = FailureTables{};
    generator_failure_memory = GeneratorFailureMemory{};
    time_since_load = 10.0f;
    one_way_switch::drive_disconnect1_pos = one_way_switch::drive_disconnect2_pos = 0.0f;
    engine::mixture_ratio1 = engine::mixture_ratio2 = 1.0f;
    n2(60.0f, 60.0f);
    gens(1, 1);
  }
  static void n2(float a, float b) {
    host_mirror.sim_flightmodel2_engines_N2_percent[0] = a;
    host_mirror.sim_flightmodel2_engines_N2_percent[1] = b;
  }
  static void gens(int a, int b) {
    host_mirror.sim_cockpit2_electrical_generator_on[0] = a;
    host_mirror.sim_cockpit2_electrical_generator_on[1] = b;
    simhost::set_ints("sim/cockpit2/electrical/generator_on", {a, b});
  }
  static std::vector<int> host_gens() { return simhost::get_ints("sim/cockpit2/electrical/generator_on", 2); }
};

TEST_F(Sources, NothingFailsOrSwitchesOffInTheFirstSixSeconds) {
  time_since_load = 6.0f;
  failure_tables.electric[17] = 1.0f;
  n2(0.0f, 0.0f);
  update_engine_generators();
  EXPECT_EQ(host_gens(), (std::vector<int>{1, 1}));
  EXPECT_EQ(simhost::get_int("sim/operation/failures/rel_genera0"), 0);
  EXPECT_EQ(electric::gen1_available, 1.0f);  // follows the host only
  time_since_load = 6.1f;
  update_engine_generators();
  EXPECT_EQ(simhost::get_int("sim/operation/failures/rel_genera0"), 6);
  EXPECT_EQ(host_gens(), (std::vector<int>{0, 0}));
}

TEST_F(Sources, HostFailureReachesTheScriptsTable) {
  host_mirror.sim_operation_failures_rel_genera1 = 6;
  update_engine_generators();
  EXPECT_EQ(failure_tables.electric[18], 1.0f);
  EXPECT_EQ(simhost::get_floats("zuvadud/D738/failure/electric")[18], 1.0f);
  EXPECT_EQ(host_gens(), (std::vector<int>{1, 0}));
  EXPECT_EQ(electric::gen2_available, 0.0f);
  EXPECT_EQ(electric::gen1_available, 1.0f);
}

TEST_F(Sources, DriveDisconnectNeedsARunningEngine) {
  one_way_switch::drive_disconnect1_pos = 1.0f;
  engine::mixture_ratio1 = 0.89f;
  update_engine_generators();
  EXPECT_EQ(simhost::get_int("sim/operation/failures/rel_genera0"), 0);
  EXPECT_EQ(host_gens()[0], 1);
  // Pressed at CUTOFF the switch springs back: the lever to IDLE later
  // (an in-flight start) leaves the drive connected.
  EXPECT_EQ(one_way_switch::drive_disconnect1_pos, 0.0f);
  engine::mixture_ratio1 = 0.9f;
  update_engine_generators();
  EXPECT_EQ(simhost::get_int("sim/operation/failures/rel_genera0"), 0);
  one_way_switch::drive_disconnect1_pos = 1.0f;
  update_engine_generators();
  EXPECT_EQ(simhost::get_int("sim/operation/failures/rel_genera0"), 6);
  EXPECT_EQ(failure_tables.electric[17], 1.0f);
  EXPECT_EQ(host_gens()[0], 0);
  // Reconnecting the switch does not bring the generator back.
  one_way_switch::drive_disconnect1_pos = 0.0f;
  gens(1, 1);
  update_engine_generators();
  EXPECT_EQ(host_gens()[0], 0);
}

TEST_F(Sources, RunDownGeneratorIsSwitchedOffAndNotBackOn) {
  n2(47.9f, 60.0f);
  update_engine_generators();
  EXPECT_EQ(host_gens(), (std::vector<int>{0, 1}));
  EXPECT_EQ(electric::gen1_available, 0.0f);
  n2(60.0f, 60.0f);
  update_engine_generators();
  EXPECT_EQ(host_gens(), (std::vector<int>{0, 1}));
  EXPECT_EQ(electric::gen1_available, 1.0f);  // available, but left for the pilot to switch on
  // A failed N2 gauge leaves the engine's generator turning.
  host_mirror.sim_operation_failures_rel_N2_ind1 = 6;
  update_engine_generators();
  EXPECT_EQ(electric::gen2_available, 1.0f);
  EXPECT_EQ(host_gens(), (std::vector<int>{0, 1}));
  // At exactly 48 % N2 a generator stays on but is not offered.
  host_mirror.sim_operation_failures_rel_N2_ind1 = 0;
  gens(1, 1);
  n2(48.0f, 48.0f);
  update_engine_generators();
  EXPECT_EQ(host_gens(), (std::vector<int>{1, 1}));
  EXPECT_EQ(electric::gen1_available, 0.0f);
}

TEST_F(Sources, AcMeterSources) {
  PerFlightValues& pf = per_flight_values;
  for (int i = 0; i < 6; ++i) pf.ac_freq_hz[i] = 396.0f + static_cast<float>(i);
  for (int i = 0; i < 5; ++i) pf.ac_volt_v[i] = 113.0f + static_cast<float>(i);
  host_mirror.sim_cockpit2_electrical_generator_amps[0] = 150.0f;
  host_mirror.sim_cockpit2_electrical_generator_amps[1] = 40.0f;
  host_mirror.sim_cockpit2_electrical_APU_generator_amps = -120.0f;
  // STBY PWR: the volts of what feeds the standby AC bus (transfer bus 1's
  // source in AUTO, else the static inverter), whatever the battery reads.
  struct Standby {
    float std_bus, stby_sw, tns1;
    int gen_on1, apu_bus1, gpu_on, gen_on2;
    float freq, volts;
  };
  const Standby standbys[] = {
      {1, 1, 1, 1, 0, 0, 0, 396.0f, 114.0f},  // generator 1
      {1, 1, 1, 0, 1, 0, 0, 396.0f, 115.0f},  // APU generator on bus 1
      {1, 1, 1, 0, 0, 1, 0, 396.0f, 113.0f},  // ground power
      {1, 1, 1, 0, 0, 0, 1, 396.0f, 116.0f},  // generator 2 through the bus transfer
      {1, -1, 1, 1, 0, 0, 0, 401.0f, 117.0f},  // BAT: the inverter, read as INV reads it
      {1, 1, 0, 0, 0, 0, 0, 401.0f, 117.0f},   // AUTO with transfer bus 1 lost: the inverter
      {0, 1, 1, 1, 0, 0, 0, 0.0f, 0.0f},
  };
  knob::ac_power = 0.0f;
  host_mirror.sim_cockpit2_electrical_battery_voltage_indicated_volts[2] = 24.0f;
  for (const Standby& c : standbys) {
    electric::ac_stdbus_status = c.std_bus;
    electric::standby_bat_pos = c.stby_sw;
    electric::ac_tnsbus1_status = c.tns1;
    host_mirror.sim_cockpit2_electrical_generator_on[0] = c.gen_on1;
    host_mirror.sim_cockpit2_electrical_generator_on[1] = c.gen_on2;
    host_mirror.sim_cockpit_electrical_generator_apu_on = c.apu_bus1;
    electrical::apu_power_bus1 = static_cast<float>(c.apu_bus1);
    host_mirror.sim_cockpit_electrical_gpu_on = c.gpu_on;
    update_elec_meters();
    EXPECT_FLOAT_EQ(cockpit::ac_freq_value, c.freq) << c.volts;
    EXPECT_FLOAT_EQ(cockpit::ac_volt_value, c.volts) << c.volts;
  }
  struct Case {
    float knob, bat2_v, std_bus;
    int gpu, gen1, apu, gen2, inv;
    float freq, volts, amps;
    float hot_bus = 1.0f, bat_bus = 1.0f;  // the inverter's power is the battery bus, as it feeds the AC standby bus
    float dc_buses = 1.0f;                 // DC standby, DC 1 and DC 2
  };
  const Case cases[] = {
      {1, 0, 1, 1, 0, 0, 0, 0, 397.0f, 113.0f, 7.0f},
      {1, 0, 1, 0, 0, 0, 0, 0, 0.0f, 0.0f, 7.0f},
      {2, 0, 1, 0, 1, 0, 0, 0, 398.0f, 114.0f, 99.0f},
      {2, 0, 1, 0, 0, 0, 0, 0, 0.0f, 0.0f, 0.0f},
      {3, 0, 1, 0, 0, 1, 0, 0, 399.0f, 115.0f, -99.0f},
      {4, 0, 1, 0, 0, 0, 1, 0, 400.0f, 116.0f, 40.0f},
      {5, 0, 1, 0, 0, 0, 0, 1, 401.0f, 117.0f, 7.0f},
      {5, 0, 1, 0, 0, 0, 0, 2, 55.0f, 66.0f, 7.0f},  // another inverter value leaves the meter
      {5, 0, 1, 0, 0, 0, 0, 1, 0.0f, 0.0f, 7.0f, 1.0f, 0.0f},  // the battery bus lost, the hot one alive: no inverter
      {5, 0, 1, 0, 0, 0, 0, 1, 401.0f, 117.0f, 7.0f, 0.0f, 1.0f},
      {1, 0, 1, 1, 0, 0, 0, 0, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f},  // ground power at the receptacle, no DC bus: a dark meter
      {1, 0, 1, 1, 0, 0, 0, 0, 397.0f, 113.0f, 7.0f, 0.0f, 0.0f, 1.0f},  // the battery switch off, the DC buses up
      {2.5f, 0, 1, 0, 1, 0, 0, 0, 55.0f, 66.0f, 7.0f},
      {6, 0, 1, 0, 1, 0, 0, 0, 55.0f, 66.0f, 7.0f},
  };
  for (const Case& c : cases) {
    cockpit::ac_freq_value = 55.0f;
    cockpit::ac_volt_value = 66.0f;
    cockpit::ac_amp_value = 7.0f;
    knob::ac_power = c.knob;
    host_mirror.sim_cockpit2_electrical_battery_voltage_indicated_volts[2] = c.bat2_v;
    electric::ac_stdbus_status = c.std_bus;
    cockpit::gpu_available = static_cast<float>(c.gpu);
    electric::gen1_available = static_cast<float>(c.gen1);
    electrical::apu_bus_enable = static_cast<float>(c.apu);
    electric::gen2_available = static_cast<float>(c.gen2);
    host_mirror.sim_cockpit2_electrical_inverter_on[1] = c.inv;
    electric::hot_batbus_status = c.hot_bus;
    electric::batbus_status = c.bat_bus;
    electric::dc_stdbus_status = c.dc_buses;
    electric::dc_bus1_status = c.dc_buses;
    electric::dc_bus2_status = c.dc_buses;
    update_elec_meters();
    EXPECT_FLOAT_EQ(cockpit::ac_freq_value, c.freq) << c.knob;
    EXPECT_FLOAT_EQ(cockpit::ac_volt_value, c.volts) << c.knob;
    EXPECT_FLOAT_EQ(cockpit::ac_amp_value, c.amps) << c.knob;
  }
  // The inverter switched on without the battery bus feeding it reads dead.
  knob::ac_power = 5.0f;
  host_mirror.sim_cockpit2_electrical_inverter_on[1] = 1;
  electric::batbus_status = 0.0f;
  update_elec_meters();
  EXPECT_EQ(cockpit::ac_freq_value, 0.0f);
  EXPECT_EQ(cockpit::ac_volt_value, 0.0f);
}

TEST_F(Sources, DcMeterSources) {
  float* bat_v = host_mirror.sim_cockpit2_electrical_battery_voltage_indicated_volts;
  bat_v[1] = 26.0f;
  bat_v[2] = 27.0f;
  host_mirror.sim_cockpit2_electrical_battery_amps[1] = 60.0f;
  host_mirror.sim_cockpit2_electrical_battery_amps[2] = 50.0f;
  elec_bus_status.dc_stdbus_volts = 27.0f;  // STBY PWR and BAT BUS read their buses
  elec_bus_status.batbus_volts = 26.0f;
  host_mirror.sim_cockpit2_electrical_dc_voltmeter_value = 28.5f;
  host_mirror.sim_cockpit2_electrical_bus_load_amps[0] = 30.0f;
  host_mirror.sim_cockpit2_electrical_bus_load_amps[1] = 45.0f;
  electric::tru1_status = 1.0f;
  electric::tru2_status = 0.0f;
  electric::tru3_status = 1.0f;
  struct Case {
    float knob, volts, amps;
  };
  const Case cases[] = {{0, 27.0f, 0.0f},  {1, 26.0f, 0.0f},  {2, 26.0f, 99.0f}, {3, 28.5f, 30.0f},
                        {4, 0.0f, 0.0f},   {5, 28.5f, 45.0f}, {-1, 5.0f, 5.0f}};
  for (const Case& c : cases) {
    cockpit::dc_volt_value = cockpit::dc_amp_value = 5.0f;
    knob::dc_power = c.knob;
    update_elec_meters();
    EXPECT_FLOAT_EQ(cockpit::dc_volt_value, c.volts) << c.knob;
    EXPECT_FLOAT_EQ(cockpit::dc_amp_value, c.amps) << c.knob;
  }
}

class HydPumps : public PanelTest {
 protected:
  void SetUp() override {
    PanelTest::SetUp();
    systems_memory.hyd_host_state_a = systems_memory.hyd_host_state_b = 9.0f;
  }
};

TEST_F(HydPumps, OlderHostSendsTheSumOncePerChange) {
  host_version = 115000;
  hydraulic::A_status = 1.0f;
  hydraulic::B_status = 0.0f;
  hyd_pumps_to_host();  // 9 after the load: always sends the first time
  hyd_pumps_to_host();
  EXPECT_EQ(issued("sim/flight_controls/hydraulic_on"), 1);
  EXPECT_EQ(simhost::get_int("sim/cockpit2/switches/electric_hydraulic_pump_on"), 1);
  hydraulic::A_status = 0.0f;
  hydraulic::B_status = 1.0f;  // A only to B only: the sum stays 1
  hyd_pumps_to_host();
  EXPECT_EQ(issued("sim/flight_controls/hydraulic_on"), 1);
  EXPECT_EQ(issued("sim/flight_controls/hydraulic_off"), 0);
  hydraulic::B_status = 0.0f;
  hyd_pumps_to_host();
  hyd_pumps_to_host();
  EXPECT_EQ(issued("sim/flight_controls/hydraulic_off"), 1);
  EXPECT_EQ(simhost::get_int("sim/cockpit2/switches/electric_hydraulic_pump_on"), 0);
}

TEST_F(HydPumps, NewerHostSendsEachSystem) {
  host_version = 120000;
  hydraulic::A_status = 0.0f;
  hydraulic::B_status = 1.0f;
  hyd_pumps_to_host();
  hyd_pumps_to_host();
  EXPECT_EQ(issued("sim/flight_controls/hydraulic_eng1A_off"), 1);
  EXPECT_EQ(issued("sim/flight_controls/hydraulic_eng2B_on"), 1);
  EXPECT_EQ(simhost::get_int("sim/cockpit2/switches/electric_hydraulic_pump2_on"), 1);
  hydraulic::A_status = 1.0f;
  hyd_pumps_to_host();
  EXPECT_EQ(issued("sim/flight_controls/hydraulic_eng1A_on"), 1);
  EXPECT_EQ(issued("sim/flight_controls/hydraulic_eng2B_on"), 1);
}

TEST_F(Sources, FrameRestoresLeversAfterReplayAndSavesThemAtItsEnd) {
  systems_frame.saved_flap_lever = 0.25f;
  systems_frame.saved_gear_handle = 1.0f;
  flt_ctrls::flap_lever = 0.75f;  // where the replay left them
  controls::gear_handle_down = 0.0f;
  replay_active = 1.0f;
  gpws::terr_dist = 3.0f;
  update_aircraft_systems();
  EXPECT_EQ(systems_frame.saved_flap_lever, flt_ctrls::flap_lever);
  EXPECT_EQ(systems_frame.saved_gear_handle, controls::gear_handle_down);
  EXPECT_EQ(flt_ctrls::flap_lever, 0.25f);
  EXPECT_EQ(controls::gear_handle_down, 1.0f);
  EXPECT_EQ(gpws::terr_dist, 0.0f);
  // A normal frame leaves the levers where the pilot put them.
  replay_active = 0.0f;
  flt_ctrls::flap_lever = 0.5f;
  update_aircraft_systems();
  EXPECT_EQ(flt_ctrls::flap_lever, 0.5f);
  EXPECT_EQ(systems_frame.saved_flap_lever, 0.5f);
}

}  // namespace
