// Packed cockpit state arrays against the simulated host: slot layout, the
// save/restore round trip with its host pushes, truncation of integer slots,
// short arrays from the scripts, the glare-shield element and the vibration
// curve.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "alerting/failure_state.h"
#include "core/binding.h"
#include "core/pitch_trim.h"
#include "aircraft/state_arrays.h"
#include "engines/engine_state.h"
#include "engines/engine_values.h"
#include "host.h"
#include "lnav/guidance_steps.h"
#include "systems/air/air_values.h"
#include "systems/aircraft_systems.h"
#include "systems/apu_start/apu.h"
#include "systems/delay_timers.h"
#include "systems/flight_controls/elec_trim_state.h"
#include "systems/flight_controls/flight_control_values.h"
#include "systems/electrical/electric_values.h"
#include "systems/instruments/instrument_values.h"
#include "systems/air/pressurisation.h"
#include "systems/switches/switch_memory.h"
#include "systems/switches/switch_values.h"
#include "systems/system_state.h"
#include "bind_for_test.h"

namespace {

const char* const kSystem = "zuvadud/D738/system";
const char* const kSystemSw = "zuvadud/D738/system_sw";
const char* const kGlare = "zuvadud/D738/glare_sw";

std::set<int> used_system_slots() {
  std::set<int> s;
  for (int i = 0; i <= 67; ++i) s.insert(i);
  s.insert(69);
  s.insert(70);
  for (int i = 79; i <= 99; ++i) s.insert(i);
  return s;
}
std::set<int> used_system_sw_slots() {
  std::set<int> s;
  for (int i = 0; i <= 117; ++i) s.insert(i);
  return s;
}

// The slots where two images differ, "" when none do.
std::string differing_slots(const std::vector<float>& got, const std::vector<float>& want) {
  std::string out;
  for (size_t k = 0; k < got.size() && k < want.size(); ++k)
    if (!(got[k] == want[k])) out += " " + std::to_string(k) + ": " + std::to_string(got[k]) + " not " + std::to_string(want[k]);
  if (got.size() != want.size()) out += " sizes differ";
  return out;
}

class StateArrays : public ::testing::Test {
 protected:
  void SetUp() override {
    simhost::reset();
    rebind_datarefs();
    // The guards held open (the scripts' option): a zero image closes every
    // guard, which would put the switches beneath back in their guarded
    // positions and hide the slots under them.
    simhost::set_float("zuvadud/D738/guarded_covers", 1.0f);
    // Slot by slot, with no outside pressure to judge the cabin's slots by:
    // the groups restored as one whole have their rows in the restore census.
    simhost::set_float("sim/weather/barometer_current_inhg", 0.0f);
    // Start from a cockpit whose every saved value is 0.
    simhost::set_floats(kSystem, std::vector<float>(200, 0.0f));
    simhost::set_floats(kSystemSw, std::vector<float>(200, 0.0f));
    restore_cockpit_state();
    for (float& v : flight_director_state.live) v = 0.0f;
  }
  void TearDown() override { simhost::reset(); }

  static void restore_from(const std::vector<float>& system, const std::vector<float>& sw) {
    simhost::set_floats(kSystem, system);
    simhost::set_floats(kSystemSw, sw);
    restore_cockpit_state();
  }
  // The flight director takes its hold values over after a load.
  static void take_over_flight_director() {
    for (int i = 0; i < 4; ++i) flight_director_state.live[i] = flight_director_state.hold[i];
  }
};

TEST_F(StateArrays, SaveOfAZeroCockpitWritesZeros) {
  save_cockpit_state();
  EXPECT_EQ(simhost::get_floats(kSystem), std::vector<float>(200, 0.0f));
  EXPECT_EQ(simhost::get_floats(kSystemSw), std::vector<float>(200, 0.0f));
}

// Every used slot carries its value back; the slots that carry nothing are
// written as 0 whatever was restored into them.
TEST_F(StateArrays, OnlyTheFixedSlotsCarryValues) {
  // The autobrake selector at 1, not OFF, where its landing flag stands
  // armed (the RTO's flags, its test and its braking are dropped there).
  std::vector<float> ones_sw(200, 1.0f);
  ones_sw[40] = 2.0f;
  restore_from(std::vector<float>(200, 1.0f), ones_sw);
  take_over_flight_director();
  save_cockpit_state();
  const std::vector<float> system = simhost::get_floats(kSystem);
  const std::vector<float> sw = simhost::get_floats(kSystemSw);
  ASSERT_EQ(system.size(), 200u);
  ASSERT_EQ(sw.size(), 200u);
  const std::set<int> used = used_system_slots();
  const std::set<int> used_sw = used_system_sw_slots();
  EXPECT_EQ(used.size(), 91u);
  EXPECT_EQ(used_sw.size(), 118u);
  for (int i = 0; i < 200; ++i) {
    // The fluctuation timer is restored, then cleared with the damage state;
    // the landing and flight altitude knobs stand on 50 and 500 ft steps; the
    // APU's starter is let go (a start begins again instead).
    const bool rto_dropped = i == 6 || i == 7 || i == 9 || i == 10;
    const float carried = i == 58 || i == 23 || i == 22 || rto_dropped ? 0.0f : 1.0f;
    EXPECT_EQ(system[i], used.count(i) ? carried : 0.0f) << "system slot " << i;
    EXPECT_EQ(sw[i], used_sw.count(i) ? (i == 94 ? 0.0f : ones_sw[i]) : 0.0f) << "system_sw slot " << i;
  }
}

// Each slot alone: a slot mapped to the wrong global shows up as a value in
// the wrong place.
TEST_F(StateArrays, RoundTripKeepsEverySlotInPlace) {
  const std::vector<float> zeros(200, 0.0f);
  for (int array = 0; array < 2; ++array) {
    for (int i : array == 0 ? used_system_slots() : used_system_sw_slots()) {
      restore_from(zeros, zeros);
      thrust_lever_state.manual_n1[0] = thrust_lever_state.manual_n1[1] = 0.0f;  // a 0 leaves them
      std::vector<float> system = zeros, sw = zeros;
      std::vector<float>& one = array == 0 ? system : sw;
      one[i] = array == 0 && i == 23 ? 50.0f : (array == 0 && i == 22 ? 500.0f : 1.0f);
      // The yaw damper switch position is saved in both arrays.
      if (array == 0 && i == 46) sw[70] = 1.0f;
      if (array == 1 && i == 70) system[46] = 1.0f;
      restore_from(system, sw);
      take_over_flight_director();
      save_cockpit_state();
      // What the restore itself clears, and the APU's start begun again.
      if (array == 0 && i == 58) system[58] = 0.0f;
      if (array == 1 && i == 94) sw[94] = 0.0f;
      if (array == 1 && i == 117) sw[117] = 0.0f;  // no start with the APU switch OFF
      if (array == 0 && i == 67) system[67] = 0.0f;  // no landing autobrake with RTO selected
      // The parking brake's engagement follows its lever.
      if (array == 1 && (i == 84 || i == 85)) sw[85] = sw[84];
      const char* what = array == 0 ? "system slot " : "system_sw slot ";
      EXPECT_EQ(differing_slots(simhost::get_floats(kSystem), system), "") << what << i;
      EXPECT_EQ(differing_slots(simhost::get_floats(kSystemSw), sw), "") << what << i;
    }
  }
  // Named globals land where the slot table says.
  std::vector<float> system = zeros, sw = zeros;
  system[30] = -0.5f;
  system[69] = 7.0f;
  system[98] = 0.93f;
  system[99] = 0.94f;
  sw[0] = 2.0f;
  sw[79] = 0.75f;
  sw[108] = 0.5f;
  restore_from(system, sw);
  EXPECT_EQ(flight_director_state.live[0], 0.0f);  // the flight director values come back as hold values only
  EXPECT_EQ(flight_director_state.hold[0], 7.0f);
  EXPECT_EQ(trim_wheel_target, -0.5f);
  EXPECT_EQ(trim_wheel_hold, -0.5f);
  EXPECT_EQ(thrust_lever_state.manual_n1[0], 0.93f);
  EXPECT_EQ(thrust_lever_state.manual_n1[1], 0.94f);
  EXPECT_EQ(air::l_pack_pos, 2.0f);
  EXPECT_EQ(electric::panel_brightness[3], 0.75f);
  EXPECT_EQ(engine_copies.mixture[1], 0.5f);
}

// A restored flight brings the pressure controller back where it was: the
// schedule references and mode timers in their slots, the channel from the
// integer slot, so the cabin carries on instead of restarting its schedule.
TEST_F(StateArrays, PressureControllerRoundTrip) {
  struct Case {
    int slot;
    float* value;
    float saved;
  };
  PressController& c = press_ctrl;
  const Case cases[] = {
      {24, &c.sched_cabin_alt, 6400.0f},     {25, &c.cruise_cabin_alt, 7100.0f},
      {26, &c.takeoff_field_alt, 1200.0f},   {85, &c.max_alt_reached, 37000.0f},
      {86, &c.mode_alt_ref, 35000.0f},       {87, &c.landing_alt_ref, 450.0f},
      {88, &c.sched_max_diff, 7.8f},         {89, &c.press_mode_timer_up, 1.25f},
      {90, &c.press_mode_timer_down, 0.5f},
  };
  std::vector<float> system(200, 0.0f);
  for (const Case& k : cases) system[k.slot] = k.saved;
  system[91] = 2.7f;  // channel: auto 2
  press_ctrl = PressController{};
  restore_from(system, std::vector<float>(200, 0.0f));
  for (const Case& k : cases) EXPECT_EQ(*k.value, k.saved) << "slot " << k.slot;
  EXPECT_EQ(c.press_channel, 2);

  // And the live controller is what the next save writes.
  for (const Case& k : cases) *k.value = k.saved + 1.0f;
  c.press_channel = 3;
  save_cockpit_state();
  const std::vector<float> saved = simhost::get_floats(kSystem);
  for (const Case& k : cases) EXPECT_EQ(saved[k.slot], k.saved + 1.0f) << "slot " << k.slot;
  EXPECT_EQ(saved[91], 3.0f);
}

// The spool model's N2 fluctuation timer is saved every frame.
TEST_F(StateArrays, SaveCarriesTheFluctuationTimer) {
  damage_fluctuation_timer = 2.5f;
  save_cockpit_state();
  EXPECT_EQ(simhost::get_floats(kSystem)[58], 2.5f);
}

TEST_F(StateArrays, RestorePushesTheHostValues) {
  std::vector<float> system(200, 0.0f), sw(200, 0.0f);
  system[22] = 37000.0f;  // max allowable altitude
  system[28] = -0.25f;    // elevator trim
  system[45] = 1.0f;      // yaw damper
  system[82] = -300.0f;   // cabin rate
  system[83] = 8000.0f;   // cabin altitude
  system[84] = 7.8f;      // cabin differential
  sw[28] = 1.0f;
  sw[29] = 0.0f;
  sw[71] = 1.0f;
  sw[96] = 1.0f;
  sw[101] = 1.0f;
  sw[103] = 1.0f;
  sw[104] = 1.0f;
  sw[105] = 1.0f;
  sw[106] = 1.0f;
  sw[107] = 1.0f;
  sw[108] = 0.5f;
  sw[110] = 85.0f;  // N1 stays with the host
  sw[112] = 90.0f;
  sw[113] = 91.0f;
  elec_trim_moved = 1;
  trim_wheel_slow_run = 3.0f;
  door::capt_window_ratio = 1.0f;
  travel_targets.fo_window = 1.0f;
  engine::indicators_eng2_vib = 1.3f;
  engine_damage_flags[1] = 1;
  damage_fluctuation_timer = 4.0f;
  restore_from(system, sw);

  EXPECT_FLOAT_EQ(simhost::get_float("sim/cockpit/pressure/max_allowable_altitude"), 37000.0f);
  EXPECT_FLOAT_EQ(simhost::get_float("sim/cockpit2/controls/elevator_trim"), -0.25f);
  EXPECT_EQ(simhost::get_int("sim/cockpit2/switches/yaw_damper_on"), 1);
  EXPECT_FLOAT_EQ(simhost::get_float("sim/cockpit/pressure/cabin_vvi_actual_m_msec"), -300.0f);
  EXPECT_FLOAT_EQ(simhost::get_float("sim/cockpit/pressure/cabin_altitude_actual_m_msl"), 8000.0f);
  EXPECT_FLOAT_EQ(simhost::get_float("sim/cockpit/pressure/cabin_pressure_differential_psi"), 7.8f);
  EXPECT_EQ(simhost::get_ints("sim/cockpit2/electrical/battery_on", 3), (std::vector<int>{1, 1, 0}));
  EXPECT_EQ(simhost::get_int("sim/cockpit2/electrical/cross_tie"), 1);
  EXPECT_EQ(simhost::get_int("sim/cockpit/engine/APU_running"), 1);
  EXPECT_EQ(simhost::get_ints("sim/cockpit2/fuel/fuel_tank_pump_on", 3), (std::vector<int>{1, 0, 1}));
  EXPECT_EQ(simhost::get_int("sim/cockpit2/electrical/APU_generator_on"), 1);
  const std::vector<int> running = simhost::get_ints("sim/flightmodel/engine/ENGN_running");
  EXPECT_EQ(running[0], 1);
  EXPECT_EQ(running[1], 1);
  const std::vector<float> mixture = simhost::get_floats("sim/cockpit2/engine/actuators/mixture_ratio");
  EXPECT_FLOAT_EQ(mixture[1], 0.5f);
  const std::vector<float> n2 = simhost::get_floats("sim/flightmodel/engine/ENGN_N2_");
  EXPECT_FLOAT_EQ(n2[0], 90.0f);
  EXPECT_FLOAT_EQ(n2[1], 91.0f);
  EXPECT_NE(simhost::get_floats("sim/flightmodel2/engines/N1_percent")[0], 85.0f);

  // What the restore sets itself.
  EXPECT_EQ(elec_trim_moved, 0);
  EXPECT_EQ(trim_wheel_slow_run, 0.0f);
  EXPECT_EQ(door::capt_window_ratio, 0.0f);
  EXPECT_EQ(travel_targets.fo_window, 0.0f);
  EXPECT_FLOAT_EQ(engine::indicators_N1_percent_1, 85.0f);
  EXPECT_FLOAT_EQ(engine::indicators_N2_percent_2, 91.0f);
  EXPECT_FLOAT_EQ(engine::indicators_eng1_vib, 1.21f + 48.0f * 0.26f / 68.0f);
  EXPECT_EQ(engine::indicators_eng2_vib, 0.0f);
  EXPECT_FLOAT_EQ(engine_copies.spool_n2_previous[1], 91.0f);
  EXPECT_FLOAT_EQ(engine_copies.spool_n1[0], 85.0f);
  EXPECT_EQ(engine_damage_flags[1], 0);
  EXPECT_EQ(damage_fluctuation_timer, 0.0f);
}

// The APU's temperature is not saved: a restored running APU keeps its bus
// through the restore although its temperature starts cold; a fresh start
// still waits for the temperature window.
TEST_F(StateArrays, RestoredRunningApuKeepsItsBusWhileCold) {
  struct Case {
    bool restored;
    float expect_bus;
  };
  for (const Case c : {Case{true, 1.0f}, Case{false, 0.0f}}) {
    apu_state = ApuState{};
    apu_state.load_factor = 1.0f;
    if (c.restored) {
      std::vector<float> sw(200, 0.0f);
      sw[96] = 1.0f;  // APU running
      restore_from(std::vector<float>(200, 0.0f), sw);
    }
    host_mirror.sim_cockpit_engine_APU_running = 1;
    host_mirror.sim_cockpit2_electrical_APU_N1_percent = 100.0f;
    host_mirror.sim_flightmodel_weight_m_fuel[0] = 2000.0f;
    electric::batbus_status = 1.0f;
    spring_toggle_switch::APU_start_pos = 1.0f;
    delay_flags.apu_start_stage = 3.0f;
    electrical::apu_bus_enable = 0.0f;
    update_apu();
    EXPECT_LT(apu_state.egt, 46.0f) << c.restored;
    EXPECT_EQ(electrical::apu_bus_enable, c.expect_bus) << c.restored;
  }
  // Switching the APU off drops the latch with the bus.
  spring_toggle_switch::APU_start_pos = 0.0f;
  update_apu();
  EXPECT_EQ(apu_state.bus_latch, 0.0f);
}

// An integer slot takes the nearest of its positions; one beyond them keeps
// the value it had.
TEST_F(StateArrays, IntegerSlotsTakeTheirNearestPosition) {
  struct Case {
    float saved;
    int expect;
  };
  const Case cases[] = {{0.9f, 1}, {0.4f, 0}, {1.9f, 1}, {-0.9f, 1}, {NAN, 1}, {1e20f, 1}, {2147483647.0f, 1}};
  for (const Case& c : cases) {
    std::vector<float> sw(200, 0.0f);
    sw[28] = 1.0f;
    restore_from(std::vector<float>(200, 0.0f), sw);
    sw[28] = c.saved;
    restore_from(std::vector<float>(200, 0.0f), sw);
    EXPECT_EQ(simhost::get_ints("sim/cockpit2/electrical/battery_on", 3)[1], c.expect) << c.saved;
    EXPECT_EQ(simhost::get_ints("sim/cockpit2/electrical/battery_on", 3)[0], 1);
  }
}

TEST_F(StateArrays, PressurisationModeTwoOnlySetsTheFlag) {
  struct Case {
    float mode2;
    uint8_t before;
    uint8_t after;
  };
  const Case cases[] = {{0.0f, 0, 0}, {0.0f, 1, 1}, {3.0f, 0, 1}, {-1.0f, 0, 1}};
  for (const Case& c : cases) {
    std::vector<float> system(200, 0.0f);
    system[27] = c.mode2;
    press_ctrl.press_ctrl_armed = c.before;
    restore_from(system, std::vector<float>(200, 0.0f));
    EXPECT_EQ(press_ctrl.press_ctrl_armed, c.after) << c.mode2;
  }
}

// Scripts whose arrays are shorter than 200 only give back what they hold.
TEST_F(StateArrays, ShortArraysRestoreOnlyWhatTheyHold) {
  simhost::remove_dataref(kSystem);
  simhost::define_dataref({kSystem, 8, 50, true, ""}, simhost::Owner::Scripts);
  simhost::remove_dataref(kSystemSw);
  simhost::define_dataref({kSystemSw, 8, 20, true, ""}, simhost::Owner::Scripts);
  for (XPLMDataRef& h : bound_handles) h = nullptr;
  bind_script_datarefs();
  bind_outside_datarefs();
  bind_host_datarefs();
  simhost::set_floats(kSystem, std::vector<float>(50, 0.5f));
  simhost::set_floats(kSystemSw, std::vector<float>(20, 1.0f));
  gauges::standby_altimeter_baro = 29.92f;  // slot 62: beyond the short array
  door::capt_window_ratio = 1.0f;            // closed only after slot 61
  air::trim_air_pos = 0.0f;                  // slot 5 of system_sw
  toggle_switch::air_valve_ctrl = 2.0f;      // slot 30: beyond
  restore_cockpit_state();
  EXPECT_EQ(gauges::standby_altimeter_baro, 29.92f);
  EXPECT_EQ(door::capt_window_ratio, 1.0f);
  EXPECT_EQ(air::trim_air_pos, 1.0f);
  EXPECT_EQ(toggle_switch::air_valve_ctrl, 2.0f);
  EXPECT_EQ(trim_wheel_target, 0.5f);
  EXPECT_TRUE(simhost::problems().empty());
}

// A slot holding NaN or an infinity, or a number no control can take, is
// absent: the cockpit keeps its value, and a damaged save is logged once per
// load.
TEST_F(StateArrays, NonFiniteSlotsKeepTheCockpitValue) {
  for (float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                    -std::numeric_limits<float>::infinity(), 1e30f, -1e30f, 2147483647.0f}) {
    std::vector<float> system(200, 0.0f), sw(200, 0.0f);
    for (int i : used_system_slots()) system[i] = 1.0f;
    for (int i : used_system_sw_slots()) sw[i] = 1.0f;
    restore_from(system, sw);
    take_over_flight_director();
    save_cockpit_state();
    const std::vector<float> system_before = simhost::get_floats(kSystem);
    const std::vector<float> sw_before = simhost::get_floats(kSystemSw);
    simhost::clear_log();
    state_restore_drop_logged = 0;
    restore_from(std::vector<float>(200, bad), std::vector<float>(200, bad));
    restore_from(std::vector<float>(200, bad), std::vector<float>(200, bad));
    EXPECT_EQ(trim_wheel_target, 1.0f) << bad;
    EXPECT_EQ(air::l_pack_pos, 1.0f) << bad;
    EXPECT_EQ(electric::panel_brightness[3], 1.0f) << bad;
    EXPECT_EQ(flight_director_state.hold[0], 1.0f) << bad;
    take_over_flight_director();
    save_cockpit_state();
    EXPECT_EQ(differing_slots(simhost::get_floats(kSystem), system_before), "") << bad;
    EXPECT_EQ(differing_slots(simhost::get_floats(kSystemSw), sw_before), "") << bad;
    const std::vector<std::string> logged = simhost::log_lines();
    if (std::isfinite(bad)) {
      ASSERT_EQ(logged.size(), 1u) << bad;
      EXPECT_NE(logged[0].find("WARNING - 209 saved cockpit values beyond their control's travel"), std::string::npos)
          << logged[0];
    } else {
      EXPECT_TRUE(logged.empty()) << bad;
    }
  }
}

// A saved value inside its control's travel comes back at the nearest
// position the control has; a lever or a timer as it was; a lever with
// detents only at one of them.
TEST_F(StateArrays, ValuesInsideTheTravelTakeTheNearestPosition) {
  struct Case {
    bool sw;
    int slot;
    float saved;
    float* value;
    float expect;
  };
  const Case cases[] = {
      {true, 0, 1.4f, &air::l_pack_pos, 1.0f},
      {true, 33, -0.6f, &toggle_switch::alt_flaps_ctrl, -1.0f},
      {true, 73, 0.3f, &flt_ctrls::flap_lever, 0.25f},
      {true, 75, 0.5f, &controls::gear_handle_down, 0.5f},
      {true, 75, 0.7f, &controls::gear_handle_down, 0.0f},
      {true, 84, 0.63f, &cockpit::parking_brake_pos, 0.0f},
      {true, 62, 0.5f, &toggle_switch::gpws_gear_pos, 1.0f},
      {true, 62, 1.5f, &toggle_switch::gpws_gear_pos, 0.0f},
      {true, 65, -0.1f, &emergency::landgear_pos, 0.0f},
      {true, 92, 12.5f, &delay_timers.apu_start_delay, 12.5f},
      {false, 0, 1.0001f, &axis::flap_lever, 0.0f},
      {false, 23, 1234.0f, &pressurization::knobs_landing_alt, 1250.0f},
      {false, 23, 13650.0f, &pressurization::knobs_landing_alt, 0.0f},
      {false, 83, 8000.0f, &cockpit::cabin_altitude_actual, 8000.0f},
      {false, 83, 2147483647.0f, &cockpit::cabin_altitude_actual, 0.0f},
  };
  for (const Case& c : cases) {
    std::vector<float> system(200, 0.0f), sw(200, 0.0f);
    restore_from(system, sw);
    (c.sw ? sw : system)[c.slot] = c.saved;
    restore_from(system, sw);
    EXPECT_EQ(*c.value, c.expect) << (c.sw ? "system_sw slot " : "system slot ") << c.slot << " at " << c.saved;
  }
}

TEST_F(StateArrays, GlareElementLeavesTheScriptsElementsAlone) {
  std::vector<float> glare(15);
  for (int i = 0; i < 15; ++i) glare[i] = static_cast<float>(i) + 0.5f;
  simhost::set_floats(kGlare, glare);
  toggle_switch::n1_set_source = -1.0f;
  sync_glare_switch();
  std::vector<float> expect = glare;
  expect[14] = -1.0f;
  EXPECT_EQ(simhost::get_floats(kGlare), expect);

  // The knob comes back at its nearest position, or as it stands when the
  // element holds none.
  for (float saved : {-2.0f, 0.4f, 7.0f, -3.0f, 1e30f}) {
    toggle_switch::n1_set_source = 1.0f;
    simhost::set_floats(kGlare, {saved}, 14);
    read_glare_switches();
    EXPECT_EQ(toggle_switch::n1_set_source, saved == 0.4f ? 0.0f : (saved == -2.0f ? -2.0f : 1.0f)) << saved;
  }
}

TEST_F(StateArrays, ShortGlareArrayIsNotOverwritten) {
  simhost::remove_dataref(kGlare);
  // One element short of the switch's: the switch is not among what they hold.
  simhost::define_dataref({kGlare, 8, 14, true, ""}, simhost::Owner::Scripts);
  for (XPLMDataRef& h : bound_handles) h = nullptr;
  bind_script_datarefs();
  bind_outside_datarefs();
  const std::vector<float> glare = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};
  simhost::set_floats(kGlare, glare);
  toggle_switch::n1_set_source = 1.0f;
  sync_glare_switch();
  EXPECT_EQ(simhost::get_floats(kGlare), glare);
  toggle_switch::n1_set_source = 3.0f;
  read_glare_switches();
  EXPECT_EQ(toggle_switch::n1_set_source, 3.0f);
}

TEST(Vibration, CurveRows) {
  struct Case {
    float n1, vib;
  };
  const Case cases[] = {{-5.0f, 0.0f},    {0.0f, 0.0f},   {5.0f, 0.905f},  {10.0f, 1.81f},
                        {36.9999f, 1.21f}, {37.0f, 1.21f}, {71.0f, 1.34f},  {105.0f, 1.47f},
                        {105.01f, 1.47f}, {150.0f, 1.47f}, {NAN, 0.0f}};
  for (const Case& c : cases) EXPECT_NEAR(n1_vibration(c.n1), c.vib, 1e-4f) << c.n1;
}

}  // namespace
