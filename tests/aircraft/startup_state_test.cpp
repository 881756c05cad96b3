// Start-up cockpit state against the simulated host: the state chosen by the
// host's start-up mode and the scripts' option, the mode table, the common
// settings, brake pressure by temperature, fuel indications, the per-flight
// random values and the failure tables cleared for a new flight.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "alerting/aural_cues.h"
#include "core/failure_tables.h"
#include "alerting/tcas.h"
#include "alerting/tcas_values.h"
#include "core/binding.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "aircraft/startup_state.h"
#include "engines/engine_state.h"
#include "host.h"
#include "lnav/route/sequencing.h"
#include "systems/air/air_values.h"
#include "systems/delay_timers.h"
#include "systems/electrical/electric_values.h"
#include "systems/flight_controls/flight_control_values.h"
#include "systems/fuel/fuel_values.h"
#include "systems/hydraulics/hydraulic_values.h"
#include "systems/ice_rain/ice_values.h"
#include "systems/radios/mic_select.h"
#include "systems/air/pressurisation.h"
#include "systems/instruments/instrument_values.h"
#include "systems/switches/switch_memory.h"
#include "systems/switches/switch_values.h"
#include "systems/system_state.h"
#include "bind_for_test.h"

namespace {

class Startup : public ::testing::Test {
 protected:
  void SetUp() override {
    simhost::reset();
    rebind_datarefs();
    host_mirror = HostMirror{};
    script_mirror = ScriptMirror{};
    on_ground = 1;
  }
  void TearDown() override {
    simhost::unpin_rand();
    simhost::reset();
  }
  static void set_state(int mode, float option) {
    host_mirror.sim_operation_prefs_startup_running = mode;
    script_mirror.zuvadud_D738_fms_engine_no_running_state = option;
  }
};

TEST(StartupStateFor, ModeAndOption) {
  struct Case {
    int mode;
    float option;
    StartupState expect;
  };
  const Case cases[] = {{0, 0.0f, StartupState::cold_and_dark}, {0, 1.0f, StartupState::powered},
                        {0, 0.5f, StartupState::powered},       {1, 0.0f, StartupState::engines_running},
                        {1, 1.0f, StartupState::engines_running}, {2, 0.0f, StartupState::none},
                        {-1, 1.0f, StartupState::none}};
  for (const Case& c : cases) EXPECT_EQ(startup_state_for(c.mode, c.option), c.expect) << c.mode << " " << c.option;
}

TEST_F(Startup, ModeTableByState) {
  struct Case {
    int mode;
    float option;
    float packs, elec_pumps, iso_valve, fuel_pumps, trim_air, yaw, door, bus4;
  };
  const Case cases[] = {
      {0, 0.0f, 0, 0, 2, 0, 0, 0, 1, 96},  // cold and dark
      {0, 1.0f, 1, 1, 1, 1, 0, 1, 1, 96},  // powered: yaw damper on with option exactly 1
      {0, 0.5f, 1, 1, 1, 1, 0, 0, 1, 96},  // powered, but no yaw damper
      {1, 0.0f, 1, 1, 1, 1, 1, 1, 0, 0},   // engines running
  };
  for (const Case& c : cases) {
    set_state(c.mode, c.option);
    apply_startup_state();
    const std::string at = std::to_string(c.mode) + "/" + std::to_string(c.option);
    EXPECT_EQ(air::l_pack_pos, c.packs) << at;
    EXPECT_EQ(air::r_pack_pos, c.packs) << at;
    EXPECT_EQ(toggle_switch::electric_hydro_pumps2_pos, c.elec_pumps) << at;
    EXPECT_EQ(air::isolation_valve_pos, c.iso_valve) << at;
    EXPECT_EQ(fuel::fuel_tank_pos_ctr2, c.fuel_pumps) << at;
    EXPECT_EQ(air::trim_air_pos, c.trim_air) << at;
    EXPECT_EQ(toggle_switch::yaw_dumper_pos, c.yaw) << at;
    EXPECT_EQ(host_mirror.sim_cockpit2_switches_yaw_damper_on, static_cast<int>(c.yaw)) << at;
    EXPECT_EQ(door::flt_dk_door_ratio, c.door) << at;
    EXPECT_EQ(elec_bus_state.isfd_countdown, c.bus4) << at;
    EXPECT_EQ(simhost::get_int("sim/cockpit2/electrical/cross_tie"), 1) << at;
  }
  EXPECT_TRUE(simhost::problems().empty());
}

TEST_F(Startup, UnknownModeKeepsSwitchesButAppliesCommonSettings) {
  set_state(2, 0.0f);
  air::l_pack_pos = 0.7f;
  fuel::fuel_tank_pos_lft1 = 0.3f;
  toggle_switch::hydro_pumps1_pos = 0.0f;
  autobrake::autobrake_pos = 3.0f;
  apply_startup_state();
  EXPECT_EQ(air::l_pack_pos, 0.7f);
  EXPECT_EQ(fuel::fuel_tank_pos_lft1, 0.3f);
  EXPECT_EQ(toggle_switch::hydro_pumps1_pos, 0.0f);
  EXPECT_EQ(autobrake::autobrake_pos, 1.0f);
  EXPECT_FLOAT_EQ(systems::brake_temp_l_out, 0.14f);
  EXPECT_FLOAT_EQ(systems::brake_temp_right_in, 0.1f);
  EXPECT_EQ(pfd::vspeed_man_v1, 80.0f);
  EXPECT_EQ(pfd::vspeed_man_vref, 80.0f);
  EXPECT_EQ(brake::brake_press, 3120.0f);
}

TEST_F(Startup, TrafficThreatStateStartsClear) {
  set_state(0, 0.0f);
  tcas_threat.threat_distance_nm = 3.0f;
  tcas_threat.ra_code = 4.0f;
  delay_flags.tcas_test_flag = 1.0f;
  EFIS::tfc_show_fo = 1.0f;
  cue_fmodpack::msg_climb_now = 1.0f;
  apply_startup_state();
  EXPECT_EQ(tcas_threat.threat_distance_nm, 99.0f);
  EXPECT_EQ(tcas_threat.ra_code, 0.0f);
  EXPECT_EQ(delay_flags.tcas_test_flag, 0.0f);
  EXPECT_EQ(EFIS::tfc_show_fo, 0.0f);
  EXPECT_EQ(cue_fmodpack::msg_climb_now, 0.0f);
}

TEST_F(Startup, BrakePressureByOutsideTemperature) {
  struct Case {
    int mode;
    float option;
    float oat, press, copy;
  };
  const Case cases[] = {
      {0, 0.0f, -60.0f, 2800.0f, 2800.0f}, {0, 0.0f, 100.0f, 3165.0f, 3165.0f}, {0, 0.0f, 0.0f, 2946.0f, 3120.0f},
      {1, 0.0f, -50.0f, 2800.0f, 3120.0f}, {1, 0.0f, 75.0f, 3165.0f, 3120.0f},   {0, 1.0f, -60.0f, 3120.0f, 3120.0f},
      {0, 1.0f, 100.0f, 3120.0f, 3120.0f},
  };
  for (const Case& c : cases) {
    set_state(c.mode, c.option);
    host_mirror.sim_cockpit2_temperature_outside_air_LE_temp_degc = c.oat;
    apply_startup_state();
    EXPECT_FLOAT_EQ(brake::brake_press, c.press) << c.mode << " " << c.option << " " << c.oat;
    EXPECT_FLOAT_EQ(systems_memory.brake_press_psi, c.copy) << c.mode << " " << c.option << " " << c.oat;
  }
}

TEST_F(Startup, FuelIndications) {
  struct Case {
    float left, centre, right;
    int pump_c;
    float left_low, right_low, imbalance, centre_ind;
  };
  const Case cases[] = {
      {450.0f, 0.0f, 545.0f, 0, 1, 0, 0, 0},     {453.0f, 0.0f, 453.0f, 0, 0, 0, 0, 0},
      {1000.0f, 763.0f, 1453.0f, 0, 0, 0, 0, 1}, {1000.0f, 763.0f, 1454.0f, 1, 0, 0, 1, 0},
      {1000.0f, 762.0f, 1200.0f, 0, 0, 0, 0, 0}, {1000.0f, 363.0f, 1091.0f, 0, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    set_state(2, 0.0f);  // no mode block: the pumps stay as set here
    host_mirror.sim_flightmodel_weight_m_fuel[0] = c.left;
    host_mirror.sim_flightmodel_weight_m_fuel[1] = c.centre;
    host_mirror.sim_flightmodel_weight_m_fuel[2] = c.right;
    host_mirror.sim_cockpit2_fuel_fuel_tank_pump_on[1] = c.pump_c;
    apply_startup_state();
    EXPECT_EQ(fuel_indications.low_latch_left, c.left_low) << c.left;
    EXPECT_EQ(fuel_indications.low_latch_right, c.right_low) << c.right;
    EXPECT_EQ(fuel_indications.imbalance_latch, c.imbalance) << c.left << " " << c.right;
    EXPECT_EQ(fuel_indications.config_latch, c.centre_ind) << c.centre;
  }
}

TEST_F(Startup, ColdWindowsAndCabinFollowTheOutsideAir) {
  set_state(0, 0.0f);
  host_mirror.sim_cockpit2_temperature_outside_air_LE_temp_degc = -5.0f;
  first_frame_block();
  EXPECT_EQ(ice::l_side_temp, 1.0f);
  EXPECT_EQ(ice::r_fwd_temp, 1.0f);
  EXPECT_EQ(ice::window_heat_l_fwd_pos, 0.0f);
  for (int i = 0; i < 7; ++i) EXPECT_EQ(cabin_temperatures.values_degc[i], -5.0f) << i;
  EXPECT_EQ(electric::battery_pos, 0.0f);

  set_state(0, 1.0f);
  host_mirror.sim_cockpit2_temperature_outside_air_LE_temp_degc = 12.0f;
  first_frame_block();
  EXPECT_EQ(ice::l_side_temp, 20.0f);
  EXPECT_EQ(ice::window_heat_r_side_pos, 1.0f);
  const float expect[7] = {25, 27, 26, 28, 27, 12, 12};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(cabin_temperatures.values_degc[i], expect[i]) << i;
  EXPECT_EQ(electric::battery_pos, 1.0f);
}

// Each draw is a whole number 0..99999 times 0.00001.
TEST_F(Startup, PerFlightValuesSpanTheirRanges) {
  struct Case {
    int draw;
    float pair, freq, volt, offset;
  };
  const Case cases[] = {{0, 45.0f, 395.0f, 112.0f, -2.0f}, {99999, 45.99999f, 404.9999f, 117.99994f, 1.99996f}};
  for (const Case& c : cases) {
    simhost::pin_rand([&c] { return c.draw; });
    set_state(0, 0.0f);
    first_frame_block();
    EXPECT_FLOAT_EQ(per_flight_values.apu_bleed_capability_psi, c.pair);
    EXPECT_FLOAT_EQ(per_flight_values.second, c.pair);
    EXPECT_FLOAT_EQ(per_flight_values.third, c.pair + c.offset);
    for (float f : per_flight_values.ac_freq_hz) EXPECT_FLOAT_EQ(f, c.freq);
    for (float v : per_flight_values.ac_volt_v) EXPECT_FLOAT_EQ(v, c.volt);
    EXPECT_FLOAT_EQ(egt_offset[0], c.draw == 0 ? -20.0f : 19.9996f);
    EXPECT_FLOAT_EQ(frame_random, c.draw * 0.00001f);
  }
}

TEST_F(Startup, FailureTablesClearedExceptEntry69) {
  for (float* t : {failure_tables.electric, failure_tables.hydraulic, failure_tables.system,
                   failure_tables.pressurisation, failure_tables.engine}) {
    for (int i = 0; i < kFailureTableSize; ++i) t[i] = 2.0f;
  }
  set_state(0, 0.0f);
  first_frame_block();
  const char* const names[] = {"electric", "hydraulic", "system", "pressurisation", "engine"};
  for (const char* n : names) {
    const std::vector<float> host = simhost::get_floats(std::string("zuvadud/D738/failure/") + n);
    ASSERT_EQ(host.size(), 70u) << n;
    for (int i = 0; i < 69; ++i) EXPECT_EQ(host[i], 0.0f) << n << " " << i;
    EXPECT_EQ(host[69], 2.0f) << n;
  }
  EXPECT_EQ(failure_tables.engine[69], 2.0f);
  EXPECT_EQ(failure_tables.engine[70], 2.0f);  // beyond the exchanged entries
}

// A previous flight's hold: the sequencer must not carry its last phase or
// its fix-passed latch into the new flight.
TEST_F(Startup, FirstFrameForgetsTheHoldSequencerMemory) {
  set_state(0, 0.0f);
  prev_hold_phase = 3.0f;
  hold_seq_latch = 1;
  first_frame_block();
  EXPECT_EQ(prev_hold_phase, 0.0f);
  EXPECT_EQ(hold_seq_latch, 0);
}

// Whatever state the start-up chooses, the pressure controller starts a new
// flight disarmed, with no schedule references, timers or channel.
TEST_F(Startup, PressureControllerStartsFromNothing) {
  for (int mode : {0, 1, 2}) {
    set_state(mode, 0.0f);
    for (int i = 0; i < kPressSavedValues; ++i) *press_ctrl_saved_value(i) = 1234.0f;
    press_ctrl.press_channel = 2;
    press_ctrl.press_ctrl_armed = 1;
    cockpit::pressurization_mode2 = 3.0f;
    apply_startup_state();
    EXPECT_EQ(press_ctrl.sched_cabin_alt, 0.0f) << mode;
    EXPECT_EQ(press_ctrl.cruise_cabin_alt, 0.0f) << mode;
    EXPECT_EQ(press_ctrl.max_alt_reached, 0.0f) << mode;
    EXPECT_EQ(press_ctrl.landing_alt_ref, 0.0f) << mode;
    EXPECT_EQ(press_ctrl.press_mode_timer_down, 0.0f) << mode;
    EXPECT_EQ(press_ctrl.press_channel, 0) << mode;
    EXPECT_EQ(press_ctrl.press_ctrl_armed, 0) << mode;
    EXPECT_EQ(cockpit::pressurization_mode2, 0.0f) << mode;
  }
}

TEST_F(Startup, MicSelectionStartsOnEachSeatsOwnTransmitter) {
  // Leftovers of a previous flight: every key selected on every panel.
  for (auto& seat : mic_select) {
    for (float& k : seat) k = 1.0f;
  }
  reset_switch_memory();
  const int expect[seat_count] = {1, 2, 6};  // transmitter number per seat
  for (int seat = 0; seat < seat_count; ++seat) {
    for (int k = 0; k < mic_key_count; ++k) {
      EXPECT_EQ(mic_select[seat][k], k + 1 == expect[seat] ? 1.0f : 0.0f) << seat << " " << k;
    }
  }
}

}  // namespace
