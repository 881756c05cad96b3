// Panel-state string exchange as the scripts see the built module: every
// position of the string lands on the published dataref (or host switch) of
// its place, and a string applied and saved again comes back unchanged.
//
// The host is paused, so only the exchange (not the systems) touches the
// switches while the frames run.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host.h"

namespace {

const char* const kField = "zuvadud/D738/state_cmd";
const char* const kMode = "zuvadud/D738/state_cmd2";

// One position of the string: the value it lands on (element -1 for a
// scalar) and its first code (place '0'); place '1' is always first + 1.
struct Position {
  int pos;
  const char* name;
  int element;
  float first_code;
  int codes;  // number of values
};

const Position kPositions[] = {
    {0, "zuvadud/D738/air/l_pack_pos", -1, 0, 3},
    {1, "zuvadud/D738/air/r_pack_pos", -1, 0, 3},
    {2, "zuvadud/D738/air/isolation_valve_pos", -1, 0, 3},
    {3, "zuvadud/D738/air/l_recirc_fan_pos", -1, 0, 2},
    {4, "zuvadud/D738/air/r_recirc_fan_pos", -1, 0, 2},
    {5, "zuvadud/D738/air/trim_air_pos", -1, 0, 2},
    {6, "zuvadud/D738/toggle_switch/eng_start_source", -1, -1, 3},
    {7, "zuvadud/D738/toggle_switch/dspl_ctrl_pnl", -1, -1, 3},
    {8, "zuvadud/D738/toggle_switch/dspl_source", -1, -1, 3},
    {9, "zuvadud/D738/toggle_switch/fmc_source", -1, -1, 3},
    {10, "zuvadud/D738/toggle_switch/eq_cool_exhaust", -1, 0, 2},
    {11, "zuvadud/D738/toggle_switch/eq_cool_supply", -1, 0, 2},
    {12, "zuvadud/D738/toggle_switch/hydro_pumps1_pos", -1, 0, 2},
    {13, "zuvadud/D738/toggle_switch/hydro_pumps2_pos", -1, 0, 2},
    {14, "zuvadud/D738/toggle_switch/electric_hydro_pumps1_pos", -1, 0, 2},
    {15, "zuvadud/D738/toggle_switch/electric_hydro_pumps2_pos", -1, 0, 2},
    {16, "zuvadud/D738/toggle_switch/capt_probes_pos", -1, 0, 2},
    {17, "zuvadud/D738/toggle_switch/fo_probes_pos", -1, 0, 2},
    {18, "zuvadud/D738/toggle_switch/bleed_air_1_pos", -1, 0, 2},
    {19, "zuvadud/D738/toggle_switch/bleed_air_2_pos", -1, 0, 2},
    {20, "zuvadud/D738/toggle_switch/bleed_air_apu_pos", -1, 0, 2},
    {21, "zuvadud/D738/knobs/cross_feed_pos", -1, 0, 2},
    {22, "zuvadud/D738/fuel/fuel_tank_pos_lft1", -1, 0, 2},
    {23, "zuvadud/D738/fuel/fuel_tank_pos_lft2", -1, 0, 2},
    {24, "zuvadud/D738/fuel/fuel_tank_pos_rgt1", -1, 0, 2},
    {25, "zuvadud/D738/fuel/fuel_tank_pos_rgt2", -1, 0, 2},
    {26, "zuvadud/D738/fuel/fuel_tank_pos_ctr1", -1, 0, 2},
    {27, "zuvadud/D738/fuel/fuel_tank_pos_ctr2", -1, 0, 2},
    // 28: battery element 1, cleared after every apply (its own test).
    {29, "sim/cockpit2/electrical/battery_on", 2, 0, 2},
    {30, "zuvadud/D738/toggle_switch/air_valve_ctrl", -1, 0, 3},
    {31, "zuvadud/D738/toggle_switch/air_temp_source", -1, 0, 7},
    {32, "zuvadud/D738/toggle_switch/service_interphone", -1, 0, 2},
    {33, "zuvadud/D738/toggle_switch/alt_flaps_ctrl", -1, -1, 3},
    {34, "zuvadud/D738/toggle_switch/flt_dk_door", -1, -1, 3},
    {35, "zuvadud/D738/toggle_switch/main_pnl_du_capt", -1, -1, 5},
    {36, "zuvadud/D738/toggle_switch/lower_du_capt", -1, -1, 3},
    {37, "zuvadud/D738/toggle_switch/main_pnl_du_fo", -1, -1, 5},
    {38, "zuvadud/D738/toggle_switch/lower_du_fo", -1, -1, 3},
    {39, "zuvadud/D738/toggle_switch/spd_ref", -1, 0, 7},
    {40, "zuvadud/D738/autobrake/autobrake_pos", -1, 0, 6},
    {41, "zuvadud/D738/switches/flt_ctr_A_cover_pos", -1, 0, 2},
    {42, "zuvadud/D738/switches/flt_ctr_B_cover_pos", -1, 0, 2},
    {43, "zuvadud/D738/switches/spoiler_A_cover_pos", -1, 0, 2},
    {44, "zuvadud/D738/switches/spoiler_B_cover_pos", -1, 0, 2},
    {45, "zuvadud/D738/switches/alt_flaps_cover_pos", -1, 0, 2},
    {46, "zuvadud/D738/switches/fdr_cover_pos", -1, 0, 2},
    {47, "zuvadud/D738/switches/flt_ctr_A_pos", -1, -1, 3},
    {48, "zuvadud/D738/switches/flt_ctr_B_pos", -1, -1, 3},
    {49, "zuvadud/D738/switches/spoiler_A_pos", -1, 0, 2},
    {50, "zuvadud/D738/switches/spoiler_B_pos", -1, 0, 2},
    {51, "zuvadud/D738/switches/alt_flaps_pos", -1, 0, 2},
    {52, "zuvadud/D738/switches/left_wiper_pos", -1, 0, 4},
    {53, "zuvadud/D738/switches/right_wiper_pos", -1, 0, 4},
    {54, "zuvadud/D738/switches/fdr_pos", -1, 0, 2},
    {55, "zuvadud/D738/switches/nose_steer_pos", -1, 0, 2},
    {56, "zuvadud/D738/knob/ac_power", -1, 0, 7},
    {57, "zuvadud/D738/knob/dc_power", -1, 0, 7},
    {58, "zuvadud/D738/toggle_switch/gpws_gear_cover_pos", -1, 0, 2},
    {59, "zuvadud/D738/toggle_switch/gpws_flap_cover_pos", -1, 0, 2},
    {60, "zuvadud/D738/toggle_switch/gpws_terr_cover_pos", -1, 0, 2},
    {61, "zuvadud/D738/emergency/landgear_cover_pos", -1, 0, 2},
    {62, "zuvadud/D738/toggle_switch/gpws_gear_pos", -1, 0, 2},
    {63, "zuvadud/D738/toggle_switch/gpws_flap_pos", -1, 0, 2},
    {64, "zuvadud/D738/toggle_switch/gpws_terr_pos", -1, 0, 2},
    {65, "zuvadud/D738/emergency/landgear_pos", -1, 0, 2},
    {66, "zuvadud/D738/knob/transponder_pos", -1, 0, 6},
    {67, "zuvadud/D738/engine/starter1_pos", -1, 0, 4},
    {68, "zuvadud/D738/engine/starter2_pos", -1, 0, 4},
    {69, "zuvadud/D738/spring_toggle_switch/APU_start_pos", -1, 0, 3},
    {70, "zuvadud/D738/toggle_switch/yaw_dumper_pos", -1, 0, 2},
    {71, "sim/cockpit2/electrical/cross_tie", -1, 0, 2},
    {72, "zuvadud/D738/one_way_switch/pax_oxy_pos", -1, 0, 2},
    {92, "zuvadud/D738/button_switch/cover_position", 0, 0, 2},
    {93, "zuvadud/D738/button_switch/cover_position", 1, 0, 2},
    {94, "zuvadud/D738/button_switch/cover_position", 2, 0, 2},
    {95, "zuvadud/D738/button_switch/cover_position", 3, 0, 2},
    {96, "zuvadud/D738/button_switch/cover_position", 4, 0, 2},
    {97, "zuvadud/D738/button_switch/cover_position", 5, 0, 2},
    {98, "zuvadud/D738/button_switch/cover_position", 6, 0, 2},
    {99, "zuvadud/D738/button_switch/cover_position", 7, 0, 2},
    {100, "zuvadud/D738/button_switch/cover_position", 8, 0, 2},
    {101, "zuvadud/D738/button_switch/cover_position", 9, 0, 2},
    {102, "zuvadud/D738/button_switch/cover_position", 10, 0, 2},
    {103, "zuvadud/D738/toggle_switch/position_light_pos", -1, -1, 3},
    {104, "zuvadud/D738/toggle_switch/compass_brightness_pos", -1, -1, 3},
    {105, "zuvadud/D738/toggle_switch/cockpit_dome_pos", -1, -1, 3},
    {106, "zuvadud/D738/toggle_switch/taxi_light_brightness_pos", -1, 0, 3},
    {107, "zuvadud/D738/switch/land_lights_ret_left_pos", -1, 0, 3},
    {108, "zuvadud/D738/switch/land_lights_ret_right_pos", -1, 0, 3},
    {109, "zuvadud/D738/switch/land_lights_left_pos", -1, 0, 2},
    {110, "zuvadud/D738/switch/land_lights_right_pos", -1, 0, 2},
    {111, "zuvadud/D738/toggle_switch/rwy_light_left", -1, 0, 2},
    {112, "zuvadud/D738/toggle_switch/rwy_light_right", -1, 0, 2},
    {113, "zuvadud/D738/toggle_switch/seatbelt_sign_pos", -1, 0, 3},
    {114, "zuvadud/D738/toggle_switch/no_smoking_pos", -1, 0, 3},
    {115, "zuvadud/D738/toggle_switch/ife_pass_seat_pos", -1, 0, 2},
    {116, "zuvadud/D738/toggle_switch/cab_util_pos", -1, 0, 2},
    {117, "zuvadud/D738/toggle_switch/logo_light", -1, 0, 2},
    {118, "zuvadud/D738/toggle_switch/wing_light", -1, 0, 2},
    {119, "zuvadud/D738/toggle_switch/wheel_light", -1, 0, 2},
    {120, "sim/cockpit2/switches/beacon_on", -1, 0, 2},
    {121, "zuvadud/D738/ice/eng1_heat_pos", -1, 0, 2},
    {122, "zuvadud/D738/ice/eng2_heat_pos", -1, 0, 2},
    {123, "zuvadud/D738/ice/wing_heat_pos", -1, 0, 2},
    {124, "zuvadud/D738/ice/window_heat_l_side_pos", -1, 0, 2},
    {125, "zuvadud/D738/ice/window_heat_l_fwd_pos", -1, 0, 2},
    {126, "zuvadud/D738/ice/window_heat_r_side_pos", -1, 0, 2},
    {127, "zuvadud/D738/ice/window_heat_r_fwd_pos", -1, 0, 2},
    {128, "sim/cockpit2/engine/actuators/fadec_on", 0, 0, 2},
    {129, "sim/cockpit2/engine/actuators/fadec_on", 1, 0, 2},
    {130, "zuvadud/D738/toggle_switch/emer_exit_lights", -1, 0, 3},
};

bool is_int_ref(const std::string& name) {
  return name == "sim/cockpit2/electrical/battery_on" || name == "sim/cockpit2/electrical/cross_tie" ||
         name == "sim/cockpit2/switches/beacon_on" || name == "sim/cockpit2/engine/actuators/fadec_on";
}

float read(const Position& p) {
  const std::string name = p.name;
  if (is_int_ref(name)) {
    if (p.element < 0) return static_cast<float>(simhost::get_int(name));
    return static_cast<float>(simhost::get_ints(name).at(p.element));
  }
  if (p.element < 0) return simhost::get_float(name);
  return simhost::get_floats(name).at(p.element);
}

class PanelStateModule : public ::testing::Test {
 protected:
  void SetUp() override {
    simhost::reset();
    std::string error;
    ASSERT_TRUE(simhost::load_and_start(CORVANE_MODULE_PATH, &error)) << error;
    ASSERT_TRUE(simhost::set_int("sim/time/paused", 1));
    ASSERT_TRUE(simhost::set_float("zuvadud/D738/guarded_covers", 0.0f));
    simhost::frames(2, 1.0f / 30);
  }
  void TearDown() override {
    simhost::stop();
    simhost::unload();
    for (const std::string& p : simhost::problems()) {
      if (only_own_problems_ && !mentions_exchange(p)) continue;
      ADD_FAILURE() << p;
    }
    simhost::reset();
  }
  // Unpaused frames run other subsystems' steps too; their findings are
  // theirs to test.
  bool only_own_problems_ = false;
  static bool mentions_exchange(const std::string& problem) {
    for (const char* n : {"state_cmd", "autobrake", "APU", "battery_on", "cross_tie", "generic_lights_switch",
                          "beacon_on", "fadec_on", "cover_position"}) {
      if (problem.find(n) != std::string::npos) return true;
    }
    return false;
  }
  void apply(const std::string& text) {
    std::string bytes = text;
    bytes.resize(512, '\0');
    ASSERT_TRUE(simhost::set_bytes(kField, bytes));
    ASSERT_TRUE(simhost::set_float(kMode, 0.0f));
    simhost::frame(1.0f / 30);
  }
};

// Each position in turn holds '1' in a string of '0': exactly its own value
// moves from the first code to the second, so no two positions share or swap
// a place.
TEST_F(PanelStateModule, EveryPositionLandsOnItsOwnValue) {
  const std::string zeros(131, '0');
  apply(zeros);
  for (const Position& p : kPositions) ASSERT_EQ(read(p), p.first_code) << "all '0', position " << p.pos;
  for (const Position& moved : kPositions) {
    std::string s = zeros;
    s[moved.pos] = '1';
    apply(s);
    for (const Position& p : kPositions) {
      const float expect = p.pos == moved.pos ? p.first_code + 1.0f : p.first_code;
      ASSERT_EQ(read(p), expect) << "'1' at position " << moved.pos << ", reading position " << p.pos << " ("
                                 << p.name << ")";
    }
  }
}

// A panel applied, then saved through modes 4 and 6 with the scripts' own 19
// characters in between, reads back as it was, except where the save reads
// a different value than the apply wrote (position 28: the battery element
// the apply clears; 111, 112, 117: the host's light switches).
TEST_F(PanelStateModule, AppliedPanelSavesBackUnchanged) {
  std::string panel(131, '0');
  for (const Position& p : kPositions) panel[p.pos] = static_cast<char>('0' + (p.pos * 7 + 3) % p.codes);
  for (int pos = 73; pos < 92; ++pos) panel[pos] = 'S';
  panel[28] = '0';
  apply(panel);
  std::vector<float> lights = simhost::get_floats("sim/cockpit2/switches/generic_lights_switch");
  lights[2] = static_cast<float>(panel[111] - '0');
  lights[3] = static_cast<float>(panel[112] - '0');
  lights[1] = static_cast<float>(panel[117] - '0');
  lights[0] = static_cast<float>(panel[118] - '0');
  lights[5] = static_cast<float>(panel[119] - '0');
  ASSERT_TRUE(simhost::set_floats("sim/cockpit2/switches/generic_lights_switch", lights));
  simhost::frame(1.0f / 30);  // the host copies are read at the start of a frame

  std::string empty(512, '\0');
  ASSERT_TRUE(simhost::set_bytes(kField, empty));
  ASSERT_TRUE(simhost::set_float(kMode, 4.0f));
  simhost::frame(1.0f / 30);
  EXPECT_EQ(simhost::get_float(kMode), 5.0f);
  std::string saved = simhost::get_text(kField);
  ASSERT_EQ(saved.size(), 73u);
  saved += panel.substr(73, 19);  // the scripts' own positions
  std::string bytes = saved;
  bytes.resize(512, '\0');
  ASSERT_TRUE(simhost::set_bytes(kField, bytes));
  ASSERT_TRUE(simhost::set_float(kMode, 6.0f));
  simhost::frame(1.0f / 30);
  EXPECT_EQ(simhost::get_float(kMode), 9.0f);
  EXPECT_EQ(simhost::get_text(kField), panel);
}

// Running frames: RTO restored on the ground arms the self-test, which the
// annunciator timers run out about a second after the scripts stop applying;
// with DC bus 1 still dead it fails and lights DISARM.
TEST_F(PanelStateModule, RestoredRtoSelfTestRunsOutAfterOneSecond) {
  only_own_problems_ = true;
  ASSERT_TRUE(simhost::set_int("sim/time/paused", 0));
  ASSERT_TRUE(simhost::set_ints("sim/flightmodel2/gear/on_ground", {1, 1, 1}));
  simhost::frames(3, 0.05f);
  std::string s(131, '1');
  s[40] = '0';
  s[69] = '0';
  apply(s);
  ASSERT_TRUE(simhost::set_float(kMode, 5.0f));  // the scripts move on
  EXPECT_EQ(simhost::get_float("zuvadud/D738/autobrake/autobrake_pos"), 0.0f);
  // The apply's own frame ran 0.05 s of the countdown already.
  simhost::frames(18, 0.05f);
  EXPECT_NE(simhost::get_float("zuvadud/D738/autobrake/autobrake_RTO_test"), 2.0f);
  // The finished test is taken up by the autobrake in the frame it ends: a
  // failed test leaves the RTO unarmed with DISARM lit.
  simhost::frames(2, 0.05f);
  EXPECT_EQ(simhost::get_float("zuvadud/D738/autobrake/autobrake_RTO_test"), 0.0f);
  EXPECT_EQ(simhost::get_float("zuvadud/D738/autobrake/autobrake_RTO_arm"), 0.0f);
  EXPECT_EQ(simhost::get_float("zuvadud/D738/autobrake/autobrake_disarm"), 1.0f);
}

}  // namespace
