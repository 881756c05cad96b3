// Plug-in lifecycle, driven in-process against the simulated host: start-up
// and shut-down order, load messages and the per-load reset, start-up values,
// and the weather-engine probe over "APPDATA" values.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "core/binding.h"
#include "core/frame_values.h"
#include "aircraft/lifecycle.h"
#include "aircraft/state_steps.h"
#include "core/trace.h"
#include "display/display_steps.h"
#include "host.h"
#include "lnav/guidance_steps.h"
#include "navdata/navdb.h"
#include "navdata/nav_tables.h"
#include "systems/systems_steps.h"

namespace {

using Trace = std::vector<std::string>;

Trace recorded() {
  Trace t;
  for (int32_t i = 0; i < trace_size(); ++i) t.emplace_back(trace_at(i));
  return t;
}

const Trace kStartOrder = {
    "XPluginStart", "set_controller_limits", "seed_random_from_calendar", "find_aircraft_folder",
    "register_service_datarefs", "register_engine_model_datarefs", "register_throttle_datarefs",
    "register_annunciator_datarefs", "register_ice_datarefs", "register_comm_datarefs",
    "register_clock_datarefs", "register_fire_datarefs", "register_cover_vent_datarefs",
    "register_light_switch_datarefs", "register_cabin_light_datarefs", "register_main_datarefs",
    "register_tcas_datarefs", "register_fms_legs_datarefs", "register_commands", "bind_outside_datarefs",
    "register_draw_callback", "create_flight_loops", "find_host_metar_function", "detect_variant", "clear_start_values",
    "bind_host_datarefs", "bind_librain_datarefs", "bind_terrain_radar_datarefs", "bind_addon_datarefs",
    "bind_script_datarefs", "weather_probe_from_environment", "load_navigation_database", "set_nd_viewports"};

const Trace kStopOrder = {
    "XPluginStop", "destroy_flight_loops", "release_metar_fetch_loop", "unregister_service_datarefs", "end_issued_commands",
    "release_host_overrides",
    "unregister_engine_model_datarefs", "unregister_throttle_datarefs", "unregister_annunciator_datarefs",
    "unregister_ice_datarefs", "unregister_comm_datarefs", "unregister_clock_datarefs",
    "unregister_fire_datarefs", "unregister_cover_vent_datarefs", "unregister_light_switch_datarefs",
    "unregister_cabin_light_datarefs", "unregister_main_datarefs", "unregister_tcas_datarefs",
    "unregister_fms_legs_datarefs", "unregister_n1_source_commands", "unregister_audio_panel_commands",
    "unregister_anti_ice_commands", "unregister_radio_panel_commands", "unregister_chrono_commands",
    "unregister_fire_commands", "unregister_cover_commands", "unregister_light_switch_commands",
    "unregister_cabin_light_commands", "unregister_main_commands", "destroy_terrain_probe", "gse_release_all"};

const char* const kOverrides[] = {
    "sim/operation/override/override_ias",
    "sim/flightmodel2/lights/override_beacons_and_strobes",
    "sim/operation/override/override_wheel_steer",
    "sim/operation/override/override_toe_brakes",
    "sim/operation/override/override_joystick_heading",
    "sim/operation/override/override_joystick_pitch",
    "sim/operation/override/override_joystick_roll",
    "sim/operation/override/override_pressurization",
    "sim/operation/override/override_engine_forces",
    "sim/operation/override/override_fuel_flow",
};

class Lifecycle : public ::testing::Test {
 protected:
  void SetUp() override {
    simhost::reset();
    for (XPLMDataRef& h : bound_handles) h = nullptr;
    terrain_probe = nullptr;
    main_loop_id = state_restore_loop_id = nullptr;
    for (GseSlot& s : gse_slots) s = GseSlot{};
    weather_snapshot_path[0] = '\0';
  }
  void TearDown() override {
    trace_reset(false);
    terrain_probe = nullptr;
    main_loop_id = state_restore_loop_id = nullptr;
    simhost::reset();
  }
  void start_plugin() {
    char name[256] = {}, signature[256] = {}, description[256] = {};
    ASSERT_EQ(XPluginStart(name, signature, description), 1);
    EXPECT_STREQ(name, "CORVane_plugin");
    EXPECT_STREQ(signature, "corvane.by.Harl");
    EXPECT_STREQ(description, "This is plugin for CORVane.");
  }
};

TEST_F(Lifecycle, StartUpRunsInItsFixedOrderAndLogsBeforeReadingNavigation) {
  trace_reset(true);
  start_plugin();
  EXPECT_EQ(recorded(), kStartOrder);
  const auto& log = simhost::log_lines();
  auto running = std::find(log.begin(), log.end(), "Corvane plugin running.");
  auto reading = std::find(log.begin(), log.end(), "Corvane plugin: Reading navigation data...");
  ASSERT_NE(running, log.end());
  ASSERT_NE(reading, log.end());
  EXPECT_LT(running, reading);
  EXPECT_TRUE(simhost::feature_enabled("XPLM_USE_NATIVE_PATHS"));
  XPluginStop();
}

TEST_F(Lifecycle, StartUpSetsControllerLimitsViewportsAndClearsTheStartValues) {
  frame_time = 3.0f;
  draw_enabled = 1;
  debug_status = 2;
  last_livery_index = 7;
  livery_read_count = 4;
  start_plugin();
  EXPECT_FLOAT_EQ(servo_limits_1.out_min, -0.8f);
  EXPECT_FLOAT_EQ(servo_limits_1.out_max, 0.8f);
  EXPECT_FLOAT_EQ(servo_limits_2.out_min, -1.0f);
  EXPECT_FLOAT_EQ(servo_limits_2.out_max, 1.0f);
  EXPECT_FLOAT_EQ(fd_limits.out_min, -15.0f);
  EXPECT_FLOAT_EQ(fd_limits.out_max, 15.0f);
  EXPECT_FLOAT_EQ(servo_gain_state, 0.1f);
  EXPECT_EQ(nd_viewport[nd_captain].x0, 0.25439453125);
  EXPECT_EQ(nd_viewport[nd_captain].y0, 0.00390625);
  EXPECT_EQ(nd_viewport[nd_captain].width, 0.244140625);
  EXPECT_EQ(nd_viewport[nd_captain].y_scale, 0.244140625);
  EXPECT_EQ(nd_viewport[nd_captain].height, 0.240234375);
  EXPECT_EQ(nd_viewport[nd_first_officer].x0, 0.25439453125);
  EXPECT_EQ(nd_viewport[nd_first_officer].y0, 0.25390625);
  EXPECT_EQ(nd_viewport[nd_first_officer].height, 0.240234375);
  EXPECT_FLOAT_EQ(frame_time, 0.0f);
  EXPECT_EQ(draw_enabled, 0);
  EXPECT_EQ(debug_status, 0);
  EXPECT_EQ(last_livery_index, -1);
  EXPECT_EQ(livery_read_count, 0);
  XPluginStop();
}

TEST_F(Lifecycle, StopWithdrawsInMirrorOrderReleasesOverridesAndLeavesNothing) {
  start_plugin();
  reset_on_load();  // a probe to destroy
  for (const char* name : kOverrides) simhost::set_int(name, 1);
  trace_reset(true);
  XPluginStop();
  EXPECT_EQ(recorded(), kStopOrder);
  for (const char* name : kOverrides) EXPECT_EQ(simhost::get_int(name), 0) << name;
  EXPECT_EQ(simhost::registrations().total(), 0);
  EXPECT_EQ(terrain_probe, nullptr);
  ASSERT_FALSE(simhost::log_lines().empty());
  EXPECT_EQ(simhost::log_lines().back(), "Corvane plugin unloaded.");
}

TEST_F(Lifecycle, StopWithNothingCreatedStillWithdrawsEverything) {
  start_plugin();
  trace_reset(true);
  XPluginStop();
  Trace want = kStopOrder;
  want.erase(std::find(want.begin(), want.end(), "destroy_terrain_probe"));
  EXPECT_EQ(recorded(), want);
  EXPECT_EQ(simhost::registrations().total(), 0);
}

TEST_F(Lifecycle, LoadMessagesResetOnlyForTheUsersAircraftOrAnAirportFromTheHost) {
  int other_plane = 1;
  struct Case {
    XPLMPluginID from;
    int message;
    void* param;
    bool resets;
  } cases[] = {
      {XPLM_PLUGIN_XPLANE, XPLM_MSG_PLANE_LOADED, nullptr, true},
      {XPLM_PLUGIN_XPLANE, XPLM_MSG_PLANE_LOADED, &other_plane, false},
      {XPLM_PLUGIN_XPLANE, XPLM_MSG_AIRPORT_LOADED, nullptr, true},
      {XPLM_PLUGIN_XPLANE, XPLM_MSG_AIRPORT_LOADED, &other_plane, true},
      {5, XPLM_MSG_PLANE_LOADED, nullptr, false},
      {5, XPLM_MSG_AIRPORT_LOADED, nullptr, false},
      {XPLM_PLUGIN_XPLANE, 101, nullptr, false},
      {XPLM_PLUGIN_XPLANE, 104, nullptr, false},
  };
  for (const Case& c : cases) {
    init_stage = 2;
    load_loop_done = 1;
    frame_done = 1;
    time_since_load = 3.0f;
    load_settle_timer = 0.0f;
    XPluginReceiveMessage(c.from, c.message, c.param);
    const bool reset = init_stage == 0 && load_loop_done == 0 && frame_done == 0 && time_since_load == 0.0f &&
                       load_settle_timer == 2.0f;
    EXPECT_EQ(reset, c.resets) << "from " << c.from << " message " << c.message;
  }
}

TEST_F(Lifecycle, PerLoadResetSeedsTheSequencerAndCreatesOneProbe) {
  prev_sim_paused = prev_sim_in_replay = 1;
  route_reset_request = 1.0f;
  avitab_flag_armed = bp_flag_armed = 1.0f;
  map_search_ready = 1;
  airspeed_display.smoothed_kt[0] = 250.0f;
  reset_on_load();
  EXPECT_EQ(prev_sim_paused, 0);
  EXPECT_EQ(prev_sim_in_replay, 0);
  EXPECT_FLOAT_EQ(route_reset_request, 0.0f);
  EXPECT_FLOAT_EQ(avitab_flag_armed, 0.0f);
  EXPECT_FLOAT_EQ(bp_flag_armed, 0.0f);
  EXPECT_EQ(map_search_ready, 0);
  EXPECT_FLOAT_EQ(load_settle_timer, 2.0f);
  EXPECT_FLOAT_EQ(restore_settle_timer, 5.0f);
  EXPECT_FLOAT_EQ(airspeed_display.smoothed_kt[0], 0.0f);
  EXPECT_FLOAT_EQ(flight_director_state.live[2], 29.92f);
  EXPECT_FLOAT_EQ(flight_director_state.live[3], 29.92f);
  for (float v : touchdown_state.airborne_timer_s) EXPECT_FLOAT_EQ(v, 1.0f);
  ASSERT_NE(terrain_probe, nullptr);
  const XPLMProbeRef first = terrain_probe;
  reset_on_load();
  EXPECT_EQ(terrain_probe, first);
  EXPECT_EQ(simhost::registrations().probes, 1);
  XPLMDestroyProbe(terrain_probe);
}

struct WeatherCase {
  std::string appdata;
  std::string path;  // expected snapshot path; empty when the probe is skipped
};

TEST_F(Lifecycle, WeatherSnapshotPathKeepsOnlyTheDriveBackslash) {
  const std::string suffix = "/HiFi/AS_XPL/Weather/current_wx_snapshot.txt";
  // Longest value whose whole path still fits the 512-byte buffer.
  const std::string fits(511 - suffix.size(), 'a');
  std::string late_backslash(300, 'b');
  late_backslash[100] = '\\';
  late_backslash[280] = '\\';
  std::string late_expected = late_backslash;
  late_expected[100] = '/';  // inside the first 255 characters
  const WeatherCase cases[] = {
      {"D:\\Users\\pilot\\AppData\\Roaming", "D:\\Users/pilot/AppData/Roaming" + suffix},
      {"C:\\", "C:\\" + suffix},
      {"\\\\server\\share", "//server/share" + suffix},
      {"/home/pilot", "/home/pilot" + suffix},
      {"", suffix},
      {fits, fits + suffix},
      {fits + "a", ""},
      {std::string(600, 'x'), ""},
      {late_backslash, late_expected + suffix},
  };
  for (const WeatherCase& c : cases) {
    weather_snapshot_path[0] = '\0';
    probe_weather_engine(c.appdata.c_str());
    EXPECT_EQ(std::string(weather_snapshot_path), c.path) << "APPDATA of " << c.appdata.size() << " chars";
  }
  weather_snapshot_path[0] = '\0';
  probe_weather_engine(nullptr);
  EXPECT_STREQ(weather_snapshot_path, "");
  EXPECT_FALSE(simhost::log_contains("Corvane plugin: ASXP detected."));
}

// Navigation files under a test root: each file's record count tells which
// files were read.
class NavigationLoad : public Lifecycle {
 protected:
  void SetUp() override {
    Lifecycle::SetUp();
    root_ = std::filesystem::path(simhost::root()) / "navroot";
    std::filesystem::create_directories(root_);
    const std::string r = root_.string() + "/";
    ASSERT_LT(r.size(), sizeof system_root);
    std::memcpy(system_root, r.c_str(), r.size() + 1);
    aircraft_folder[0] = '\0';
  }
  void write(const std::string& relative, const std::string& body) {
    const std::filesystem::path p = root_ / relative;
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p) << "I\n1100 Version\n\n" << body;
  }
  // n navaids or fixes with distinct identifiers and frequencies.
  static std::string navaids(int n, char tag) {
    std::string out;
    for (int i = 0; i < n; ++i)
      out += "3 47.0 -122.0 354 " + std::to_string(11000 + i * 10) + " 130 19.0 " + tag + static_cast<char>('A' + i) +
             "V ENRT K1 TEST VOR\n";
    return out;
  }
  static std::string fixes(int n, char tag) {
    std::string out;
    for (int i = 0; i < n; ++i) out += "47.5 -121.5 " + std::string(1, tag) + static_cast<char>('A' + i) + "FIX ENRT K1 2\n";
    return out;
  }
  std::filesystem::path root_;
};

TEST_F(NavigationLoad, FallBackOrderDecidesWhichFilesAreRead) {
  const char* cd_nav = "Custom Data/earth_nav.dat";
  const char* cd_fix = "Custom Data/earth_fix.dat";
  const char* ga_nav = "Custom Scenery/Global Airports/Earth nav data/earth_nav.dat";
  const char* ga_fix = "Custom Scenery/Global Airports/Earth nav data/earth_fix.dat";
  const char* def_nav = "Resources/default data/earth_nav.dat";
  const char* def_fix = "Resources/default data/earth_fix.dat";
  struct Case {
    const char* what;
    int cd_nav, cd_fix, ga_nav, ga_fix, def_nav, def_fix;  // records per file; -1 absent
    int32_t count;
  } cases[] = {
      {"both custom files", 1, 1, 2, 2, 4, 8, 2},
      {"custom navaids without custom fixes", 1, -1, 2, 2, 4, 8, 4},
      {"empty global navaids", -1, -1, 0, 2, 4, 8, 6},
      {"global fixes absent", -1, -1, 2, -1, 4, 8, 10},
      {"global fixes add nothing", -1, -1, 2, 0, 4, 8, 10},
      {"nothing anywhere", -1, -1, -1, -1, -1, -1, 0},
      // An update that yields no navaids or no fixes is passed over whole.
      {"custom files both empty", 0, 0, 2, 2, 4, 8, 4},
      {"custom fixes empty", 1, 0, -1, -1, 4, 8, 12},
      {"custom navaids empty", 0, 1, 2, -1, 4, 8, 10},
  };
  for (const Case& c : cases) {
    std::filesystem::remove_all(root_);
    if (c.cd_nav >= 0) write(cd_nav, navaids(c.cd_nav, 'C'));
    if (c.cd_fix >= 0) write(cd_fix, fixes(c.cd_fix, 'C'));
    if (c.ga_nav >= 0) write(ga_nav, navaids(c.ga_nav, 'G'));
    if (c.ga_fix >= 0) write(ga_fix, fixes(c.ga_fix, 'G'));
    if (c.def_nav >= 0) write(def_nav, navaids(c.def_nav, 'D'));
    if (c.def_fix >= 0) write(def_fix, fixes(c.def_fix, 'D'));
    load_navigation_database();
    EXPECT_EQ(nav_waypoint_count(), c.count) << c.what;
  }
}

TEST_F(NavigationLoad, AircraftListsComeFromTheAircraftFolder) {
  std::memcpy(aircraft_folder, "Aircraft/D738/", 15);
  write("Aircraft/D738/Velar_apt.dat", "KSEA 47.449 -122.309 433 1 11901\nEGLL 51.47 -0.45 83 0 12799\n");
  write("Velar_apt.dat", "LFPG 49.0 2.5 392 0 13000\n");
  load_navigation_database();
  EXPECT_EQ(nav_db.airport_count, 2);

  aircraft_folder[0] = '\0';  // no folder found: the host's root
  load_navigation_database();
  EXPECT_EQ(nav_db.airport_count, 1);
}

}  // namespace
