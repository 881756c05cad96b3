// The command table against the published command vocabulary: the groups in
// order, the take-over lists, description spot checks, and one distinct
// handler per registration answering the host as prescribed. The counts
// themselves (by table, kind and group) are pinned once, where the tables are
// generated (tools/gen_commands.py, run by gen_commands_check); here they are
// taken from the generated header.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "commands/command_table.h"
#include "systems/electrical/electric_values.h"

namespace {

const std::string kPrefix = "zuvadud/D738/";

const CockpitCommand* find_command(const std::string& path) {
  for (const CockpitCommand& c : cockpit_commands)
    if (kPrefix + path == c.name) return &c;
  return nullptr;
}

TEST(CommandTable, EveryNameOnceUnderTheAircraftNamespace) {
  std::set<std::string> names;
  for (const CockpitCommand& c : cockpit_commands) {
    ASSERT_NE(c.name, nullptr);
    EXPECT_EQ(std::string(c.name).rfind(kPrefix, 0), 0u) << c.name;
    EXPECT_TRUE(names.insert(c.name).second) << "created twice: " << c.name;
    ASSERT_NE(c.description, nullptr);
    EXPECT_GT(std::strlen(c.description), 0u) << c.name;
  }
  EXPECT_EQ(names.size(), static_cast<size_t>(cockpit_command_count));
}

TEST(CommandTable, GroupsInRegistrationOrderCoverTheTable) {
  const char* const want[command_group_count] = {
      "register_n1_source_commands",    "register_audio_panel_commands", "register_anti_ice_commands",
      "register_radio_panel_commands",  "register_chrono_commands",      "register_fire_commands",
      "register_cover_commands",        "register_light_switch_commands", "register_cabin_light_commands",
      "register_main_commands"};
  int next_command = 0, next_hook = 0;
  for (int g = 0; g < command_group_count; ++g) {
    SCOPED_TRACE(want[g]);
    EXPECT_STREQ(command_groups[g].name, want[g]);
    EXPECT_GT(command_groups[g].command_count, 0);
    EXPECT_GE(command_groups[g].hook_count, 0);
    EXPECT_EQ(command_groups[g].first_command, next_command);
    EXPECT_EQ(command_groups[g].first_hook, next_hook);
    next_command += command_groups[g].command_count;
    next_hook += command_groups[g].hook_count;
  }
  EXPECT_EQ(next_command, cockpit_command_count);
  EXPECT_EQ(next_hook, host_hook_count);
}

TEST(CommandTable, GroupBoundariesFallOnTheirFirstAndLastCommands) {
  struct Edge {
    int group;
    const char* first;
    const char* last;
  };
  const Edge edges[] = {
      {0, "toggle_switch/n1_set_source_left", "toggle_switch/n1_set_source_right"},
      {2, "toggle_switch/eng1_heat", "toggle_switch/window_heat_r_fwd"},
      {4, "push_button/chrono_disp_mode_capt", "push_button/chrono_bright_minus_fo"},
      {6, "button_switch_cover00", "push_button/emer_exit_full_off"},
      {8, "cabin/pax_white_bright", "cabin/entry_white_medium"},
      {9, "toggle_switch/oxy_mask_capt_on", nullptr},  // the last group ends with the table
  };
  for (const Edge& e : edges) {
    const CommandGroup& g = command_groups[e.group];
    if (e.first) {
      EXPECT_EQ(kPrefix + e.first, cockpit_commands[g.first_command].name) << g.name;
    }
    if (e.last) {
      EXPECT_EQ(kPrefix + e.last, cockpit_commands[g.first_command + g.command_count - 1].name) << g.name;
    }
  }
}

TEST(CommandTable, DescriptionsAsTheSystemWritesThem) {
  const std::pair<const char*, const char*> spots[] = {
      {"toggle_switch/n1_set_source_left", "N1 set select left"},
      {"push_button/master_caution1", "Captain Fire Master Caution"},
      {"push_button/master_caution2", "First Officer Master Caution"},
      {"toggle_switch/vcr_on", "VCR On"},
      {"toggle_switch/bright_test_dn", "Lights Test / Brightness"},
      {"toggle_switch/bright_test_up", "Lights Test / Brightness"},
      {"audio/capt/mic_push1", "Captain VHF1 Mic"},
      {"audio/fo/mic_push4", "First Officer Interphone Mic"},
      {"audio/obs/mic_push6", "Observer PA Mic"},
      {"toggle_switch/wing_heat", "WING Anti ice on/off"},
      {"toggle_switch/yaw_dumper", "Yaw dumper toggle"},
      {"alert/below_gs_pilot", "Below G/S_pilot"},
      {"brake_smoothly", "Brake smoothly"},
      {"push_button/flaps_0", "Flaps up"},
      {"toggle_switch/el_trim_w_guard_neg", "Main electric trim with guard toggle neg"},
      {"LDU_control/push_button/MFD_CR", "MFD C/R"},
      {"engine/mixture2_hold", "Engine 2 mixture hold cutoff/idle"},
  };
  for (const auto& [path, text] : spots) {
    const CockpitCommand* c = find_command(path);
    ASSERT_NE(c, nullptr) << path;
    EXPECT_STREQ(c->description, text) << path;
  }
}

TEST(CommandTable, OddSpellingsAreKept) {
  int officier = 0, isoaltion = 0;
  for (const CockpitCommand& c : cockpit_commands) {
    officier += std::strstr(c.description, "officier") != nullptr;
    isoaltion += std::strstr(c.description, "ISOALTION") != nullptr;
  }
  EXPECT_GT(officier, 0);
  EXPECT_GT(isoaltion, 0);
  EXPECT_NE(std::strstr(find_command("toggle_switch/cockpit_dome_dn")->description, "LIght"), nullptr);
}

TEST(CommandTable, HostTakeOversByGroupInTakeOverOrder) {
  const char* const want[host_hook_count] = {
      "sim/engines/thrust_reverse_toggle", "sim/engines/thrust_reverse_hold",
      "sim/engines/thrust_reverse_hold_1", "sim/engines/thrust_reverse_hold_2",
      "sim/engines/thrust_reverse_toggle_1", "sim/engines/thrust_reverse_toggle_2",
      "sim/flight_controls/rudder_trim_left", "sim/flight_controls/rudder_trim_right",
      "sim/flight_controls/aileron_trim_left", "sim/flight_controls/aileron_trim_right",
      "sim/lights/landing_lights_on", "sim/lights/landing_lights_off", "sim/lights/landing_lights_toggle",
      "sim/flight_controls/landing_gear_down", "sim/flight_controls/landing_gear_toggle",
      "sim/flight_controls/landing_gear_up", "sim/flight_controls/brakes_toggle_max",
      "sim/flight_controls/brakes_toggle_regular", "sim/flight_controls/brakes_max",
      "sim/flight_controls/brakes_regular", "sim/flight_controls/speed_brakes_down_one",
      "sim/flight_controls/speed_brakes_up_one", "sim/flight_controls/speed_brakes_down_all",
      "sim/flight_controls/speed_brakes_up_all", "sim/flight_controls/speed_brakes_toggle",
      "sim/flight_controls/flaps_up", "sim/flight_controls/flaps_down", "sim/flight_controls/pitch_trim_up",
      "sim/flight_controls/pitch_trim_down", "sim/flight_controls/pitch_trim_up_mech",
      "sim/flight_controls/pitch_trim_down_mech", "sim/flight_controls/pitch_trimA_up",
      "sim/flight_controls/pitch_trimA_down", "sim/flight_controls/pitch_trimB_up",
      "sim/flight_controls/pitch_trimB_down"};
  for (int k = 0; k < host_hook_count; ++k) {
    const int id = static_cast<int>(host_command_hooks[k].host);
    ASSERT_GE(id, host_lookup_count);
    ASSERT_LT(id, host_command_count);
    EXPECT_STREQ(host_command_names[id], want[k]) << k;
  }
  std::set<std::string> all(host_command_names, host_command_names + host_command_count);
  EXPECT_EQ(all.size(), static_cast<size_t>(host_command_count));
}

TEST(CommandTable, IssuedHostLookUpsStartAndEndAsListed) {
  EXPECT_STREQ(host_command_names[0], "sim/annunciator/clear_master_warning");
  EXPECT_STREQ(host_command_names[static_cast<int>(HostCmd::electrical_APU_on)], "sim/electrical/APU_on");
  EXPECT_STREQ(host_command_names[host_lookup_count - 1], "sim/operation/fix_all_systems");
}

TEST(CommandTable, OwnIssuedCommandsPointAtTheirRows) {
  const std::pair<OwnCmd, const char*> want[] = {
      {OwnCmd::toggle_switch_wing_heat, "toggle_switch/wing_heat"},
      {OwnCmd::rtp_L_vhf_1_sel_switch, "rtp_L/vhf_1/sel_switch"},
      {OwnCmd::rtp_D_vhf_3_sel_switch, "rtp_D/vhf_3/sel_switch"},
      {OwnCmd::com3_dial_fine_down, "com3_dial_fine_down"},
      {OwnCmd::toggle_switch_position_light_down, "toggle_switch/position_light_down"},
      {OwnCmd::switch_standby_bat_on, "switch/standby_bat_on"},
      {OwnCmd::push_button_gear_down, "push_button/gear_down"},
      {OwnCmd::push_button_gear_up, "push_button/gear_up"},
      {OwnCmd::push_button_gear_off, "push_button/gear_off"},
  };
  for (const auto& [id, path] : want) {
    const int row = own_issued_index[static_cast<int>(id)];
    ASSERT_GE(row, 0);
    ASSERT_LT(row, cockpit_command_count);
    EXPECT_EQ(kPrefix + path, cockpit_commands[row].name);
  }
}

// Only the aileron and rudder trim hooks let the host's own action run (the
// rudder's while its actuator has power, as here).
TEST(CommandTable, OneDistinctHandlerPerRegistrationAndItsAnswer) {
  electric::batbus_status = 1.0f;
  std::set<command_handler*> handlers;
  for (const CockpitCommand& c : cockpit_commands) {
    ASSERT_NE(c.handler, nullptr) << c.name;
    handlers.insert(c.handler);
    for (int phase : {xplm_CommandBegin, xplm_CommandContinue, xplm_CommandEnd})
      EXPECT_EQ(c.handler(nullptr, phase, nullptr), 0) << c.name << " phase " << phase;
  }
  const std::set<std::string> passing = {
      "sim/flight_controls/rudder_trim_left", "sim/flight_controls/rudder_trim_right",
      "sim/flight_controls/aileron_trim_left", "sim/flight_controls/aileron_trim_right"};
  for (const HostCommandHook& h : host_command_hooks) {
    const char* name = host_command_names[static_cast<int>(h.host)];
    ASSERT_NE(h.handler, nullptr) << name;
    handlers.insert(h.handler);
    const int want = passing.count(name) ? 1 : 0;
    for (int phase : {xplm_CommandBegin, xplm_CommandContinue, xplm_CommandEnd})
      EXPECT_EQ(h.handler(nullptr, phase, nullptr), want) << name << " phase " << phase;
  }
  EXPECT_EQ(handlers.size(), static_cast<size_t>(command_handler_count));
  electric::batbus_status = 0.0f;
}

}  // namespace
