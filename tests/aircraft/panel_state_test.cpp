// Panel-state string exchange against the simulated host: string length
// rules, character codes, the guard option, the autobrake, start selector and
// APU positions, the host pushes, and the two appends with their answers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "commands/registration.h"
#include "core/binding.h"
#include "aircraft/panel_state.h"
#include "core/preprocess_values.h"
#include "engines/engine_values.h"
#include "host.h"
#include "systems/air/air_values.h"
#include "systems/apu_start/apu_start_state.h"
#include "systems/gear_brakes/autobrake_state.h"
#include "systems/delay_timers.h"
#include "systems/electrical/electric_values.h"
#include "systems/flight_controls/flight_control_values.h"
#include "systems/ice_rain/ice_values.h"
#include "systems/switches/switch_targets.h"
#include "systems/switches/switch_values.h"

namespace {

const char* const kField = "zuvadud/D738/state_cmd";
const char* const kMode = "zuvadud/D738/state_cmd2";

// A 131-character string of '0' with the given characters placed.
std::string panel(std::vector<std::pair<int, char>> chars = {}, size_t length = 131) {
  std::string s(length, '0');
  for (auto [pos, ch] : chars) s[pos] = ch;
  return s;
}

class PanelState : public ::testing::Test {
 protected:
  void SetUp() override {
    simhost::reset();
    for (XPLMDataRef& h : bound_handles) h = nullptr;
    bind_outside_datarefs();
    bind_host_datarefs();
    bind_script_datarefs();
    register_commands();
    cockpit_options = CockpitOptions{};
    on_ground = 1;
    host_mirror = HostMirror{};
    delay_timers = DelayTimerBank{};
    apu_on_latch = 0.0f;
    rto_test_result = 0.0f;
    rto_speedbrake_stow_request = 0.0f;
    autobrake_brake_value = 0.0f;
    autobrake::autobrake_RTO_arm = autobrake::autobrake_RTO_test = autobrake::autobrake_disarm = 0.0f;
    for (int k = 0; k < cover_count; ++k) button_switch::cover_position[k] = cover_target[k] = 0.5f;
    simhost::clear_issued_commands();
  }
  void TearDown() override {
    for (const std::string& p : simhost::problems()) ADD_FAILURE() << p;
    simhost::reset();
  }
  // The scripts put a string (terminated) into the field and a mode.
  void script_sets(const std::string& text, float mode) {
    std::string bytes = text;
    bytes.resize(512, '\0');
    ASSERT_TRUE(simhost::set_bytes(kField, bytes));
    ASSERT_TRUE(simhost::set_float(kMode, mode));
  }
  int apu_on_commands() {
    int n = 0;
    for (const auto& c : simhost::issued_commands()) n += c.name == "sim/electrical/APU_on" && c.once && c.phase == 0;
    return n;
  }
};

TEST_F(PanelState, CharacterCodesByPosition) {
  struct Case {
    int pos;
    char ch;
    float* value;
    float expected;
  };
  const Case cases[] = {
      {3, 'x', &air::l_recirc_fan_pos, 1.0f},          // two values: anything else is the last
      {0, 'x', &air::l_pack_pos, 2.0f},                // three values
      {39, '9', &toggle_switch::spd_ref, 6.0f},        // seven values, digit past the end
      {6, '0', &toggle_switch::eng_start_source, -1.0f},
      {6, '2', &toggle_switch::eng_start_source, 1.0f},
      {35, '0', &toggle_switch::main_pnl_du_capt, -1.0f},
      {35, '3', &toggle_switch::main_pnl_du_capt, 2.0f},
      {35, '/', &toggle_switch::main_pnl_du_capt, 3.0f},  // just below '0'
      {31, '6', &toggle_switch::air_temp_source, 6.0f},
      {66, '5', &knob::transponder_pos, 5.0f},
      {103, '0', &toggle_switch::position_light_pos, -1.0f},
      {130, '1', &toggle_switch::emer_exit_lights, 1.0f},
      {130, 'z', &toggle_switch::emer_exit_lights, 2.0f},
  };
  for (const Case& c : cases) {
    *c.value = -7.0f;
    script_sets(panel({{c.pos, c.ch}}), 0.0f);
    exchange_panel_state();
    EXPECT_EQ(*c.value, c.expected) << "position " << c.pos << " char " << c.ch;
  }
}

TEST_F(PanelState, ShortStringChangesNothing) {
  air::l_pack_pos = 2.0f;
  host_mirror.sim_cockpit2_electrical_battery_on[1] = 1;
  script_sets(panel({}, 129), 0.0f);
  const int field_writes = simhost::counts(kField).writes;
  const int mode_writes = simhost::counts(kMode).writes;
  exchange_panel_state();
  EXPECT_EQ(air::l_pack_pos, 2.0f);
  EXPECT_EQ(host_mirror.sim_cockpit2_electrical_battery_on[1], 1);
  EXPECT_EQ(simhost::counts("sim/cockpit2/electrical/battery_on").writes, 0);
  EXPECT_EQ(simhost::counts("sim/cockpit2/switches/generic_lights_switch").writes, 0);
  // The field and the mode are the scripts'; an apply never writes them.
  EXPECT_EQ(simhost::counts(kField).writes, field_writes);
  EXPECT_EQ(simhost::counts(kMode).writes, mode_writes);
}

TEST_F(PanelState, StringOf130CharactersSetsExitLightsToTheLastValue) {
  toggle_switch::emer_exit_lights = 0.0f;
  ice::window_heat_r_fwd_pos = 0.0f;
  script_sets(panel({{129, '1'}, {127, '1'}}, 130), 0.0f);
  exchange_panel_state();
  EXPECT_EQ(toggle_switch::emer_exit_lights, 2.0f);
  EXPECT_EQ(ice::window_heat_r_fwd_pos, 1.0f);
  EXPECT_EQ(host_mirror.sim_cockpit2_engine_actuators_fadec_on[1], 1);
}

TEST_F(PanelState, FieldWithoutTerminatorAppliesOnlyItsPositions) {
  // 512 digits and no terminator: positions past 130 are never looked at.
  ASSERT_TRUE(simhost::set_bytes(kField, std::string(512, '1')));
  ASSERT_TRUE(simhost::set_float(kMode, 0.0f));
  exchange_panel_state();
  EXPECT_EQ(toggle_switch::emer_exit_lights, 1.0f);
  EXPECT_EQ(air::l_pack_pos, 1.0f);
}

TEST_F(PanelState, BatteryElementOneIsClearedAfterEveryApply) {
  script_sets(panel({{28, '1'}, {29, '1'}}), 0.0f);
  exchange_panel_state();
  const std::vector<int> battery = simhost::get_ints("sim/cockpit2/electrical/battery_on", 3);
  ASSERT_EQ(battery.size(), 3u);
  EXPECT_EQ(battery[1], 0);
  EXPECT_EQ(battery[2], 1);
  EXPECT_EQ(host_mirror.sim_cockpit2_electrical_battery_on[1], 0);
  // Once at position 28, once at 29, once after the loop.
  EXPECT_EQ(simhost::counts("sim/cockpit2/electrical/battery_on").writes, 3);
}

// The battery and standby power switches have no place in the string: their
// batteries (positions 28, 29) and guards (94, 95) tell where they stood. A
// closed guard leaves the switch to the cover step; under an open guard, or
// the covers held open, a battery off means its switch OFF.
TEST_F(PanelState, BatterySwitchesComeBackFromTheirBatteriesAndGuards) {
  struct Case {
    float option;
    char guard, bat, stby;
    float standby_before, battery, standby;
  } cases[] = {
      {0, '1', '0', '0', 1, 0, 0},        {0, '1', '1', '1', 0, 1, 1},        {0, '1', '1', '1', -1, 1, -1},
      {0, '0', '0', '0', 0.5f, 0.5f, 0.5f}, {1, '0', '0', '0', 1, 0, 0},      {1, '0', '1', '1', 0, 1, 1},
  };
  for (const Case& c : cases) {
    cockpit_options.guarded_covers = c.option;
    electric::battery_pos = 0.5f;
    electric::standby_bat_pos = c.standby_before;
    script_sets(panel({{28, c.bat}, {29, c.stby}, {94, c.guard}, {95, c.guard}}), 0.0f);
    exchange_panel_state();
    EXPECT_EQ(electric::battery_pos, c.battery) << c.option << c.guard << c.bat;
    EXPECT_EQ(electric::standby_bat_pos, c.standby) << c.option << c.guard << c.stby << " from " << c.standby_before;
  }
}

TEST_F(PanelState, HostSwitchesArePushed) {
  script_sets(panel({{71, '1'}, {118, '1'}, {119, '1'}, {120, '1'}, {128, '1'}, {129, '0'}}), 0.0f);
  exchange_panel_state();
  EXPECT_EQ(simhost::get_int("sim/cockpit2/electrical/cross_tie"), 1);
  EXPECT_EQ(simhost::get_int("sim/cockpit2/switches/beacon_on"), 1);
  EXPECT_EQ(simhost::get_ints("sim/cockpit2/engine/actuators/fadec_on", 2), (std::vector<int>{1, 0}));
  // The runway turn-off, logo, wing and wheel well lights are the plug-in's
  // own switches on apply; their lamps follow them in the light step.
  EXPECT_EQ(toggle_switch::wing_light, 1.0f);
  EXPECT_EQ(toggle_switch::wheel_light, 1.0f);
  const std::vector<float> lights = simhost::get_floats("sim/cockpit2/switches/generic_lights_switch");
  EXPECT_EQ(lights[0], 0.0f);
  EXPECT_EQ(lights[1], 0.0f);
  EXPECT_EQ(lights[5], 0.0f);
  EXPECT_EQ(simhost::counts("sim/cockpit2/switches/generic_lights_switch").writes, 1);
}

TEST_F(PanelState, GuardOptionHoldsGuardsButNotTheGearGuard) {
  const std::vector<std::pair<int, char>> open_all = {
      {41, '1'}, {42, '1'}, {43, '1'}, {44, '1'}, {45, '1'}, {46, '1'}, {58, '1'}, {59, '1'},
      {60, '1'}, {61, '1'}, {92, '1'}, {96, '7'}, {102, 'x'}};
  float* guards[] = {&switches::flt_ctr_A_cover_pos, &switches::flt_ctr_B_cover_pos,
                     &switches::spoiler_A_cover_pos, &switches::spoiler_B_cover_pos,
                     &switches::alt_flaps_cover_pos, &switches::fdr_cover_pos,
                     &toggle_switch::gpws_gear_cover_pos, &toggle_switch::gpws_flap_cover_pos,
                     &toggle_switch::gpws_terr_cover_pos};
  float* targets[] = {&flt_ctr_A_cover_target, &flt_ctr_B_cover_target, &spoiler_A_cover_target,
                      &spoiler_B_cover_target, &alt_flaps_cover_target, &fdr_cover_target,
                      &gpws_gear_cover_target, &gpws_flap_cover_target, &gpws_terr_cover_target};
  for (float option : {1.0f, 0.0f}) {
    for (float* g : guards) *g = 0.25f;
    for (float* t : targets) *t = 0.25f;
    emergency::landgear_cover_pos = man_gear_cover_target = 0.25f;
    cockpit_options.guarded_covers = option;
    script_sets(panel(open_all), 0.0f);
    exchange_panel_state();
    const float expect = option != 0.0f ? 0.25f : 1.0f;
    for (float* g : guards) EXPECT_EQ(*g, expect) << "option " << option;
    for (float* t : targets) EXPECT_EQ(*t, expect) << "option " << option;
    EXPECT_EQ(emergency::landgear_cover_pos, 1.0f);
    EXPECT_EQ(man_gear_cover_target, 1.0f);
    const float covers_expect[cover_count] = {1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1};
    for (int k = 0; k < cover_count; ++k) {
      const float e = option != 0.0f ? 0.5f : covers_expect[k];
      EXPECT_EQ(button_switch::cover_position[k], e) << "cover " << k << " option " << option;
      EXPECT_EQ(cover_target[k], e) << "cover " << k << " option " << option;
    }
  }
}

TEST_F(PanelState, AutobrakeSelector) {
  struct Case {
    char ch;
    int32_t ground;
    float rto_arm;
    float pos, pos2, knob, countdown, result, stow;
  };
  // Before each case: countdown 0.7 s, test result 1, all RTO values set.
  const Case cases[] = {
      {'0', 0, 0.0f, 0, 0, 0, 0.7f, 1, 0},  // RTO in the air: the test is left alone
      {'0', 1, 0.0f, 0, 0, 0, 1.0f, 0, 0},  // on the ground it starts again
      {'1', 1, 0.0f, 1, 0, 1, 0.0f, 0, 0},
      {'4', 0, 2.0f, 4, 0, 4, 0.0f, 0, 1},  // leaving an armed RTO stows the speed brake
      {'5', 1, 1.0f, 5, 1, 5, 0.0f, 0, 0},  // MAX, pulled out
      {'x', 1, 0.0f, 5, 1, 5, 0.0f, 0, 0},
  };
  for (const Case& c : cases) {
    on_ground = c.ground;
    delay_timers.autobrake_rto_test_delay = 0.7f;
    rto_test_result = 1.0f;
    rto_speedbrake_stow_request = 0.0f;
    autobrake_brake_value = 0.3f;
    autobrake::autobrake_RTO_arm = c.rto_arm;
    autobrake::autobrake_RTO_test = 1.0f;
    autobrake::autobrake_disarm = 1.0f;
    autobrake::autobrake_pos2 = 0.5f;
    script_sets(panel({{40, c.ch}}), 0.0f);
    exchange_panel_state();
    SCOPED_TRACE(std::string("char ") + c.ch);
    EXPECT_EQ(autobrake::autobrake_pos, c.pos);
    EXPECT_EQ(autobrake::autobrake_pos2, c.pos2);
    EXPECT_EQ(autobrake_knob_target, c.knob);
    EXPECT_EQ(autobrake_knob_anim, c.knob);
    EXPECT_EQ(delay_timers.autobrake_rto_test_delay, c.countdown);
    EXPECT_EQ(rto_test_result, c.result);
    EXPECT_EQ(rto_speedbrake_stow_request, c.stow);
    if (c.ch != '0') {
      EXPECT_EQ(autobrake::autobrake_RTO_arm, 0.0f);
      EXPECT_EQ(autobrake::autobrake_RTO_test, 0.0f);
      EXPECT_EQ(autobrake::autobrake_disarm, 0.0f);
      EXPECT_EQ(autobrake_brake_value, 0.0f);
    } else {
      EXPECT_EQ(autobrake::autobrake_RTO_arm, c.rto_arm);
      EXPECT_EQ(autobrake::autobrake_disarm, 1.0f);
    }
  }
}

TEST_F(PanelState, StartSelectors) {
  struct Case {
    char ch;
    float selector, second, target;
  };
  const Case cases[] = {{'0', 0, 0, 0}, {'1', 1, 1, 1}, {'2', 2, 0, 2}, {'3', 3, 0, 3}, {'#', 3, 0, 3}};
  for (const Case& c : cases) {
    script_sets(panel({{67, c.ch}, {68, c.ch}}), 0.0f);
    exchange_panel_state();
    SCOPED_TRACE(std::string("char ") + c.ch);
    EXPECT_EQ(engine::starter1_pos, c.selector);
    EXPECT_EQ(engine::starter1_pos2, c.second);
    EXPECT_EQ(starter1_knob_target, c.target);
    EXPECT_EQ(engine::starter2_pos, c.selector);
    EXPECT_EQ(engine::starter2_pos2, c.second);
    EXPECT_EQ(starter2_knob_target, c.target);
  }
}

TEST_F(PanelState, ApuSwitchOnIssuesTheHostCommandEveryApply) {
  script_sets(panel({{69, '1'}}), 0.0f);
  exchange_panel_state();
  EXPECT_EQ(spring_toggle_switch::APU_start_pos, 1.0f);
  EXPECT_EQ(apu_on_commands(), 1);
  EXPECT_EQ(delay_timers.apu_low_oil_delay, 1.5f);
  EXPECT_EQ(apu_on_latch, 1.0f);
  exchange_panel_state();  // the mode stays 0: the same effects again
  EXPECT_EQ(apu_on_commands(), 2);

  // START (or any other character) comes back at ON, as the switch springs.
  for (char ch : {'0', '2', 'q'}) {
    simhost::clear_issued_commands();
    delay_timers.apu_low_oil_delay = 0.0f;
    apu_on_latch = 0.0f;
    script_sets(panel({{69, ch}}), 0.0f);
    exchange_panel_state();
    const bool on = ch != '0';
    EXPECT_EQ(spring_toggle_switch::APU_start_pos, on ? 1.0f : 0.0f) << ch;
    EXPECT_EQ(apu_on_commands(), on ? 1 : 0) << ch;
    EXPECT_EQ(delay_timers.apu_low_oil_delay, on ? 1.5f : 0.0f) << ch;
    EXPECT_EQ(apu_on_latch, on ? 1.0f : 0.0f) << ch;
  }
}

TEST_F(PanelState, YawDamperSetsItsTarget) {
  yaw_damper_switch_state = 2.0f;
  script_sets(panel({{70, '1'}}), 0.0f);
  exchange_panel_state();
  EXPECT_EQ(toggle_switch::yaw_dumper_pos, 1.0f);
  EXPECT_EQ(yaw_damper_switch_state, 1.0f);
}

TEST_F(PanelState, ModesAndAnswers) {
  // Mode 4 on an empty field: 73 characters, answer 5.
  script_sets("", 4.0f);
  exchange_panel_state();
  EXPECT_EQ(simhost::get_text(kField).size(), 73u);
  EXPECT_EQ(simhost::get_float(kMode), 5.0f);
  // Mode 6 on 92 characters: 131, answer 9.
  script_sets(std::string(92, '7'), 6.0f);
  exchange_panel_state();
  EXPECT_EQ(simhost::get_text(kField).size(), 131u);
  EXPECT_EQ(simhost::get_text(kField).substr(0, 92), std::string(92, '7'));
  EXPECT_EQ(simhost::get_float(kMode), 9.0f);
  // Mode 4 appends after what the field holds.
  script_sets("abc", 4.0f);
  exchange_panel_state();
  EXPECT_EQ(simhost::get_text(kField).size(), 76u);
  EXPECT_EQ(simhost::get_text(kField).substr(0, 3), "abc");
  // The answers and any other mode are left alone.
  for (float mode : {5.0f, 9.0f, 1.0f, 4.0001f, -0.0001f}) {
    script_sets(panel({{0, '2'}}), mode);
    air::l_pack_pos = 0.5f;
    const int field_writes = simhost::counts(kField).writes;
    exchange_panel_state();
    EXPECT_EQ(simhost::counts(kField).writes, field_writes) << mode;
    EXPECT_EQ(simhost::get_float(kMode), mode);
    EXPECT_EQ(air::l_pack_pos, 0.5f) << mode;
  }
}

// A save that does not fit leaves the field as it was and ends the request
// with a mode that is neither an answer nor a request, logged once, so the
// scripts never wait for an answer that cannot come.
TEST_F(PanelState, AppendWithoutRoomEndsTheRequestUnsaved) {
  const std::string refused = "Corvane plugin: panel state did not fit, not saved.";
  auto refusals = [&] {
    int n = 0;
    for (const std::string& l : simhost::log_lines()) n += l == refused;
    return n;
  };
  // 439 + 73 = 512 characters would leave no room for the terminator.
  const std::string full(439, '5');
  script_sets(full, 4.0f);
  for (int frame = 0; frame < 3; ++frame) exchange_panel_state();
  EXPECT_EQ(simhost::get_text(kField), full);
  EXPECT_EQ(simhost::get_float(kMode), panel_state_idle_mode);
  EXPECT_EQ(refusals(), 1);
  // 438 + 73 = 511 still fits.
  script_sets(std::string(438, '5'), 4.0f);
  exchange_panel_state();
  EXPECT_EQ(simhost::get_text(kField).size(), 511u);
  EXPECT_EQ(simhost::get_float(kMode), 5.0f);
  // A field of 512 characters without a terminator takes nothing.
  ASSERT_TRUE(simhost::set_bytes(kField, std::string(512, '5')));
  ASSERT_TRUE(simhost::set_float(kMode, 6.0f));
  exchange_panel_state();
  exchange_panel_state();
  EXPECT_EQ(simhost::get_bytes(kField), std::string(512, '5'));
  EXPECT_EQ(simhost::get_float(kMode), panel_state_idle_mode);
  EXPECT_EQ(refusals(), 2);
}

TEST_F(PanelState, SaveEncodings) {
  struct Case {
    float* value;
    float v;
    int pos;  // in the first block
    char expected;
  };
  const Case cases[] = {
      {&toggle_switch::main_pnl_du_capt, 0.5f, 35, '4'},  // between positions: the last digit
      {&toggle_switch::main_pnl_du_capt, -1.0f, 35, '0'},
      {&toggle_switch::main_pnl_du_capt, 2.0f, 35, '3'},
      {&toggle_switch::main_pnl_du_capt, 3.0f, 35, '4'},
      {&air::l_recirc_fan_pos, 0.0f, 3, '0'},
      {&air::l_recirc_fan_pos, 0.3f, 3, '1'},
      {&toggle_switch::spd_ref, 5.0f, 39, '5'},
      {&autobrake::autobrake_pos, 2.0f, 40, '2'},
  };
  for (const Case& c : cases) {
    *c.value = c.v;
    script_sets("", 4.0f);
    exchange_panel_state();
    EXPECT_EQ(simhost::get_text(kField)[c.pos], c.expected) << "position " << c.pos << " value " << c.v;
  }
  host_mirror.sim_cockpit2_electrical_battery_on[1] = 7;  // not 0: the last digit
  host_mirror.sim_cockpit2_electrical_cross_tie = 0;
  script_sets("", 4.0f);
  exchange_panel_state();
  EXPECT_EQ(simhost::get_text(kField)[28], '1');
  EXPECT_EQ(simhost::get_text(kField)[71], '0');
}

TEST_F(PanelState, LastBlockSavesHostLightsAndEveryGuard) {
  toggle_switch::rwy_light_left = 1.0f;
  toggle_switch::rwy_light_right = 0.0f;
  toggle_switch::logo_light = 0.0f;
  float* lights = host_mirror.sim_cockpit2_switches_generic_lights_switch;
  lights[2] = 0.0f;
  lights[3] = 1.0f;
  lights[1] = 1.0f;
  toggle_switch::wing_light = 1.0f;
  lights[0] = 0.0f;
  lights[5] = 1.0f;
  cockpit_options.guarded_covers = 1.0f;
  for (int k = 0; k < cover_count; ++k) button_switch::cover_position[k] = k % 2 == 0 ? 0.0f : 0.4f;
  script_sets(std::string(92, '-'), 6.0f);
  exchange_panel_state();
  const std::string s = simhost::get_text(kField);
  ASSERT_EQ(s.size(), 131u);
  EXPECT_EQ(s.substr(92, 11), "01010101010");
  EXPECT_EQ(s[111], '0');
  EXPECT_EQ(s[112], '1');
  EXPECT_EQ(s[117], '1');
  EXPECT_EQ(s[118], '0');
  EXPECT_EQ(s[119], '1');
}

}  // namespace
