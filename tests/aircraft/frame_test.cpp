// The frame sequencer, driven in-process against the simulated host: the order
// of the main loop's steps in each frame kind, the frame step, the guard, the
// load loop, the situation-restore branch, the bus-load send, the slow timers
// and the per-frame random draw.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "core/failure_tables.h"
#include "core/binding.h"
#include "core/frame_values.h"
#include "aircraft/frame.h"
#include "aircraft/lifecycle.h"
#include "core/trace.h"
#include "core/variant.h"
#include "host.h"
#include "navdata/navdb.h"
#include "systems/systems_steps.h"

namespace {

using Trace = std::vector<std::string>;

// The main loop of an unpaused, live first frame after a load (generic
// aircraft file on host 12): every step in its place.
const Trace kFirstFrame = {
    "bus_loads_zero", "model_watch", "update_addon_flags", "load_save_read",
    "read_stage0_inputs", "set_thrust_tables", "limit_frame_step",
    "run_down_load_settle_timer", "draw_frame_random", "poll_host_datarefs", "poll_script_datarefs",
    "smooth_air_data", "engine_forces_update", "update_ground_contact", "update_terrain_radar_link",
    "selcal_intake", "update_flight_data_copies", "first_frame_block", "exchange_panel_state",
    "script_global_read", "n1_command_stage2_reset",
    // systems sequence, then the bus-load send
    "hold_written_switches", "update_engine_eicas", "update_thrust_control", "centre_pumps_after_load",
    "update_annunciators", "update_anti_ice", "update_audio_radio_panels", "update_clocks", "fire_update",
    "update_switch_covers",
    "update_exterior_lights", "update_cabin_lights", "update_aircraft_systems", "sync_glare_switch",
    "save_anti_ice_state", "save_fire_state", "write_cover_array", "save_lights_state", "save_cockpit_state",
    "send_bus_loads",
    "update_pfd_stall_band", "route_reads", "route_pass", "copy_efis_state", "scan_navaids",
    "update_nearest_airport", "map_search_setup", "update_nd_vnav_markers", "update_nd_fix_overlay",
    "update_metar_request", "compute_idle_n1", "engine_n1_command_update", "update_engine_indications",
    "update_lnav_steering", "vortex_effect", "ias_override",
    // the unpaused group
    "update_inflight_start_envelope", "update_engine_start", "ice_rain", "update_host_bleed_air",
    "update_flight_director", "ap_servo", "update_touchdown_effect", "update_cg_reference",
    "update_fail_reset_available", "update_random_failures", "update_engine_failures", "flight_rating",
    "attendant_chime_sequence", "frame_complete"};

// The first paused frame after a load: the cockpit set up, then the host waits.
const Trace kPausedFrame = {
    "bus_loads_zero", "model_watch", "update_addon_flags", "load_save_read",
    "read_stage0_inputs", "set_thrust_tables", "limit_frame_step",
    "run_down_load_settle_timer", "draw_frame_random", "poll_host_datarefs", "poll_script_datarefs",
    "smooth_air_data", "engine_forces_update", "update_ground_contact", "update_terrain_radar_link",
    "selcal_intake", "update_flight_data_copies", "first_frame_block", "exchange_panel_state",
    "script_global_read", "update_pfd_stall_band", "route_reads", "copy_efis_state", "scan_navaids",
    "update_nearest_airport", "map_search_setup", "update_nd_vnav_markers", "update_nd_fix_overlay",
    "update_metar_request", "compute_idle_n1", "engine_n1_command_update", "update_lnav_steering",
    "vortex_effect", "ias_override", "touchdown_effect_clear", "frame_complete"};

// A replayed, unpaused frame once start-up is complete (product aircraft on
// host 11): the replay's indications with the aurals silent, and every
// model held as in a pause.
const Trace kReplayFrame = {
    "bus_loads_zero", "model_watch", "update_addon_flags", "load_save_read", "limit_frame_step",
    "run_down_load_settle_timer", "draw_frame_random", "poll_host_datarefs", "poll_script_datarefs",
    "smooth_air_data", "update_ground_contact", "update_terrain_radar_link", "selcal_intake",
    "update_flight_data_copies", "exchange_panel_state", "gse_objects_update", "script_global_read",
    "replay_engine_indications", "update_light_flash_replay", "update_cockpit_indications",
    "silence_aurals", "update_pfd_stall_band", "route_reads", "copy_efis_state", "scan_navaids",
    "update_nearest_airport", "map_search_setup", "update_nd_vnav_markers", "update_nd_fix_overlay",
    "update_metar_request", "compute_idle_n1", "engine_n1_command_update", "update_lnav_steering",
    "vortex_effect", "ias_override", "touchdown_effect_clear", "frame_complete"};

const Trace kGuardOnly = {"bus_loads_zero",     "model_watch", "update_addon_flags", "load_save_read",
                          "read_stage0_inputs", "set_thrust_tables", "limit_frame_step"};

Trace recorded() {
  Trace t;
  for (int32_t i = 0; i < trace_size(); ++i) t.emplace_back(trace_at(i));
  return t;
}

bool contains(const Trace& t, const std::string& name) {
  for (const std::string& s : t)
    if (s == name) return true;
  return false;
}

// The sequencer's globals as a freshly loaded library has them.
void clear_sequencer_state() {
  for (XPLMDataRef& h : bound_handles) h = nullptr;
  host_mirror = HostMirror{};
  script_mirror = ScriptMirror{};
  failure_tables = FailureTables{};
  frame_time = 0.0f;
  host_version = 0;
  init_stage = load_loop_done = frame_done = draw_enabled = 0;
  time_since_load = frame_random = load_save = route_reset_request = 0.0f;
  load_settle_timer = restore_settle_timer = 0.0f;
  prev_sim_paused = prev_sim_in_replay = 0;
  replay_active = half_second_timer = five_second_timer = 0.0f;
  map_search_ready = 0;
  first_frame_block_done = situation_load_requested = 0;
  script_global[0] = script_global[1] = 0.0f;
  brunner_active = brunner_logged = 0;
  terrain_probe = nullptr;
  for (GseSlot& s : gse_slots) s = GseSlot{};
  for (float& v : plugin_bus_loads) v = 0.0f;
  variant_index = -1;
}

class Sequencer : public ::testing::Test {
 protected:
  void start(simhost::Config config = simhost::Config()) {
    simhost::reset(config);
    clear_sequencer_state();
    host_version = config.host_version;
    bind_outside_datarefs();
    bind_host_datarefs();
    bind_librain_datarefs();
    bind_terrain_radar_datarefs();
    bind_addon_datarefs();
    bind_script_datarefs();
    reset_on_load();
    trace_reset(true);
  }
  void TearDown() override {
    trace_reset(false);
    terrain_probe = nullptr;
    simhost::reset();
  }
  // One main-loop frame, its trace only.
  Trace main_frame(float elapsed) {
    trace_reset(true);
    EXPECT_EQ(flight_loop_main(elapsed, elapsed, 1, nullptr), -1.0f);
    return recorded();
  }
  void set_paused(int on) { ASSERT_TRUE(simhost::set_int("sim/time/paused", on)); }
  void set_replay(int on) { ASSERT_TRUE(simhost::set_int("sim/time/is_in_replay", on)); }
  void set_load_save(float v) { ASSERT_TRUE(simhost::set_float("zuvadud/D738/load_save", v)); }
};

TEST_F(Sequencer, FirstLiveFrameRunsEveryStepInOrderAndCompletesStartUp) {
  start();
  EXPECT_EQ(main_frame(0.05f), kFirstFrame);
  EXPECT_EQ(init_stage, 2);
  EXPECT_FLOAT_EQ(frame_time, 0.01f);  // whatever the elapsed time
  EXPECT_EQ(frame_done, 1);
  EXPECT_EQ(draw_enabled, 1);
  EXPECT_EQ(host_version, 120000);
}

TEST_F(Sequencer, PausedAfterLoadSetsTheCockpitUpOnceAndWaitsForStartUp) {
  start();
  set_paused(1);
  // The cockpit is set up on the pause's first frame, never again for this
  // load: nothing moves when the pause ends.
  EXPECT_EQ(main_frame(0.05f), kPausedFrame);
  for (int i = 0; i < 3; ++i) {
    // Once a frame has completed, the ground equipment follows the aircraft.
    const Trace t = main_frame(0.05f);
    EXPECT_TRUE(contains(t, "gse_objects_update"));
    EXPECT_TRUE(contains(t, "read_stage0_inputs"));
    EXPECT_FALSE(contains(t, "first_frame_block"));
    EXPECT_EQ(init_stage, 0);
    EXPECT_FLOAT_EQ(frame_time, 0.01f);
  }
  set_paused(0);
  const Trace live = main_frame(0.05f);
  EXPECT_FALSE(contains(live, "first_frame_block"));
  EXPECT_EQ(init_stage, 2);
}

TEST_F(Sequencer, ReplayRunsOnlyIndicationsInSystemsSlotAndNoFailures) {
  simhost::Config config;
  config.host_version = 110000;
  start(config);
  variant_index = 0;
  main_frame(0.05f);  // start-up frame
  set_replay(1);
  EXPECT_EQ(main_frame(0.05f), kReplayFrame);
  EXPECT_FLOAT_EQ(replay_active, 1.0f);
  set_replay(0);
  main_frame(0.05f);
  EXPECT_FLOAT_EQ(replay_active, 0.0f);
  EXPECT_EQ(prev_sim_in_replay, 0);
}

TEST_F(Sequencer, WithoutGuardDatarefOnlyTheFrameStepRunsForever) {
  simhost::Config config;
  config.omit = {"zuvadud/D738/fms/vnav_idx"};
  start(config);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(main_frame(0.05f), kGuardOnly) << "frame " << i;
  }
  EXPECT_EQ(init_stage, 0);
  EXPECT_EQ(frame_done, 0);
  EXPECT_EQ(draw_enabled, 0);
  EXPECT_FLOAT_EQ(frame_time, 0.01f);
}

TEST_F(Sequencer, FrameStepIsLimitedOnceStartUpIsComplete) {
  start();
  main_frame(0.05f);
  ASSERT_EQ(init_stage, 2);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  struct Case {
    float elapsed;
    float step;
  } cases[] = {{0.25f, 0.1f}, {0.1f, 0.1f}, {0.05f, 0.05f}, {0.0f, 0.01f},
               {-0.5f, 0.01f}, {nan, 0.01f}, {inf, 0.1f}, {0.001f, 0.001f}};
  for (const Case& c : cases) {
    main_frame(c.elapsed);
    EXPECT_FLOAT_EQ(frame_time, c.step) << "elapsed " << c.elapsed;
  }
}

TEST_F(Sequencer, LoadLoopWorksOncePerLoadAndRestoresOnlyALoadedSituation) {
  start();
  set_load_save(4.0f);
  trace_reset(true);
  EXPECT_EQ(flight_loop_state_restore(0.05f, 0.05f, 1, nullptr), -1.0f);
  const Trace restore = {"load_loop",          "read_glare_switches", "restore_anti_ice_state",
                         "restore_fire_state", "read_cover_arrays",   "restore_lights_state",
                         "restore_cockpit_state", "hand_over_restored_n1_set", "take_raw_air_data",
                         "clear_nearest_airport_lists"};
  EXPECT_EQ(recorded(), restore);
  EXPECT_EQ(simhost::get_int("sim/operation/override/override_ias"), 1);
  EXPECT_EQ(load_loop_done, 1);

  trace_reset(true);
  flight_loop_state_restore(0.05f, 0.05f, 2, nullptr);
  EXPECT_TRUE(recorded().empty());

  // The next load: without a loaded situation only the take-over and the
  // emptied airport lists.
  set_load_save(0.0f);
  XPluginReceiveMessage(XPLM_PLUGIN_XPLANE, XPLM_MSG_AIRPORT_LOADED, nullptr);
  trace_reset(true);
  flight_loop_state_restore(0.05f, 0.05f, 3, nullptr);
  EXPECT_EQ(recorded(), (Trace{"load_loop", "clear_nearest_airport_lists"}));
}

TEST_F(Sequencer, LoadLoopTakesRawAirDataFromTheHost) {
  start();
  ASSERT_TRUE(simhost::set_float("sim/flightmodel/position/true_airspeed", 120.0f));
  ASSERT_TRUE(simhost::set_float("sim/weather/aircraft/speed_sound_ms", 300.0f));
  ASSERT_TRUE(simhost::set_float("sim/cockpit2/temperature/outside_air_LE_temp_degc", -12.5f));
  set_load_save(4.0f);
  host_version = 120000;
  flight_loop_state_restore(0.05f, 0.05f, 1, nullptr);
  EXPECT_FLOAT_EQ(mirror_f(bound::sim_flightmodel_position_true_airspeed), 120.0f);
  EXPECT_FLOAT_EQ(mirror_f(bound::sim_weather_speed_sound_ms), 300.0f);
  EXPECT_FLOAT_EQ(mirror_f(bound::sim_cockpit2_temperature_outside_air_LE_temp_degc), -12.5f);
}

TEST_F(Sequencer, SituationBeforeFirstLiveFrameRestoresOntoACockpitSetUpFirst) {
  start();
  // Ground equipment hidden, so the live frames place nothing to unload.
  for (const char* hide : {"zuvadud/D738/gpu_hide", "zuvadud/D738/engine/hide_asu", "zuvadud/D738/fueltruck_hide",
                           "zuvadud/D738/fms/cones_hide", "zuvadud/D738/de_ice_truck/hide"})
    ASSERT_TRUE(simhost::set_float(hide, 1.0f)) << hide;
  set_paused(1);
  set_load_save(4.0f);
  ASSERT_TRUE(simhost::set_floats("zuvadud/D738/global", {231.0f, 229.5f}));
  gse_slots[gse_asu].loaded = 1;
  gse_slots[gse_de_ice_truck].loaded = 1;
  const Trace paused = main_frame(0.05f);
  // Set up in its usual place, before the panel-state exchange, while paused.
  const auto block = std::find(paused.begin(), paused.end(), "first_frame_block");
  EXPECT_LT(block, std::find(paused.begin(), paused.end(), "exchange_panel_state"));
  const Trace branch = {"situation_restore",       "flight_rating_restart",  "airspeed_display_restart",
                        "flight_director_restore_reset", "gse_unload_asu", "gse_unload_de_ice_truck",
                        "read_glare_switches",     "restore_anti_ice_state", "restore_fire_state",
                        "read_cover_arrays",       "restore_lights_state",   "restore_cockpit_state",
                        "hand_over_restored_n1_set", "n1_command_restore_reset", "ice_rain_take_host_ice",
                        "n1_command_stage2_reset"};
  auto at = std::find(paused.begin(), paused.end(), "script_global_read");
  ASSERT_NE(at, paused.end());
  EXPECT_EQ(Trace(at + 1, at + 1 + static_cast<long>(branch.size())), branch);
  EXPECT_EQ(init_stage, 2);
  EXPECT_FLOAT_EQ(restore_settle_timer, 5.0f);
  EXPECT_FLOAT_EQ(route_reset_request, 0.0f);  // lowered at the end of the frame
  EXPECT_FLOAT_EQ(script_global[0], 231.0f);
  EXPECT_EQ(gse_slots[gse_asu].loaded, 0);

  // Held at 4.0: the branch repeats (nothing left to unload); start-up stays done.
  set_paused(0);
  const Trace live = main_frame(0.05f);
  EXPECT_FALSE(contains(live, "first_frame_block"));
  EXPECT_TRUE(contains(live, "situation_restore"));
  EXPECT_FALSE(contains(live, "gse_unload_asu"));

  // Released: the settle timer runs down and clamps at 0.
  set_load_save(0.0f);
  for (int i = 0; i < 60; ++i) main_frame(0.1f);
  EXPECT_FLOAT_EQ(restore_settle_timer, 0.0f);
  EXPECT_FALSE(contains(main_frame(0.1f), "situation_restore"));
}

// Once the cockpit has been set up, a later load sets it up again only when
// it brings no situation back: a restore keeps what the arrays do not carry.
TEST_F(Sequencer, ALaterLoadSetsTheCockpitUpOnlyWithoutASituation) {
  struct Case {
    const char* what;
    void (*load)();
    float load_save;
    bool set_up;
  };
  const Case cases[] = {
      {"plain load", reset_on_load, 0.0f, true},
      {"plane loaded with a restored situation", reset_on_load, 4.0f, false},
      {"service-channel load, restore reported later", reset_on_situation_load, 0.0f, false},
      {"service-channel load, restore reported at once", reset_on_situation_load, 4.0f, false},
  };
  start();
  main_frame(0.05f);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.load();
    set_load_save(c.load_save);
    EXPECT_EQ(contains(main_frame(0.05f), "first_frame_block"), c.set_up);
    EXPECT_EQ(init_stage, 2);
    set_load_save(0.0f);
    EXPECT_FALSE(contains(main_frame(0.05f), "first_frame_block"));
  }
}

TEST_F(Sequencer, BusLoadsAreSentOnlyWhenOneDiffers) {
  const std::string name = "sim/cockpit2/electrical/plugin_bus_load_amps";
  simhost::Config config;
  config.extra.push_back({name, 8, 3, true, "0,0,0"});  // writable, as in the real host
  start(config);
  main_frame(0.05f);  // start-up; the systems put this frame's loads in place
  // Whatever the systems compute, the host must hold it after the frame.
  const std::vector<float> first = simhost::get_floats(name);
  EXPECT_EQ(first, (std::vector<float>{plugin_bus_loads[0], plugin_bus_loads[1], plugin_bus_loads[2]}));

  // The host already holds exactly these loads: nothing is sent.
  plugin_bus_loads[0] = 1.5f;
  plugin_bus_loads[1] = 2.5f;
  plugin_bus_loads[2] = 3.5f;
  const int writes = simhost::counts(name).writes;
  ASSERT_TRUE(simhost::set_floats(name, {plugin_bus_loads[0], plugin_bus_loads[1], plugin_bus_loads[2]}));
  const int after_set = simhost::counts(name).writes;
  poll_host_datarefs();
  const float loads[3] = {plugin_bus_loads[0], plugin_bus_loads[1], plugin_bus_loads[2]};
  send_bus_loads();
  EXPECT_EQ(simhost::counts(name).writes, after_set);

  // One value differs: all three are sent.
  plugin_bus_loads[2] = loads[2] + 7.5f;
  send_bus_loads();
  EXPECT_EQ(simhost::counts(name).writes, after_set + 1);
  EXPECT_EQ(simhost::get_floats(name), (std::vector<float>{loads[0], loads[1], loads[2] + 7.5f}));
  // All three differ: sent as well.
  for (float& l : plugin_bus_loads) l += 1.0f;
  send_bus_loads();
  EXPECT_EQ(simhost::counts(name).writes, after_set + 2);
  (void)writes;
}

TEST_F(Sequencer, HalfSecondTimerSkipsItsUnpausedStepsWhilePaused) {
  start();
  main_frame(0.05f);  // start-up
  half_second_timer = 0.0f;
  // 0.0625 s steps add up exactly: the eighth reaches 0.5, which is not past it.
  for (int i = 0; i < 8; ++i) EXPECT_FALSE(contains(main_frame(0.0625f), "half_second_timer"));
  Trace t = main_frame(0.0625f);
  EXPECT_TRUE(contains(t, "update_idle_ratios"));  // generic aircraft
  EXPECT_TRUE(contains(t, "autogate_nearest"));
  EXPECT_FLOAT_EQ(half_second_timer, 0.0f);

  set_paused(1);
  half_second_timer = 0.49f;
  t = main_frame(0.0625f);
  EXPECT_TRUE(contains(t, "half_second_timer"));
  EXPECT_TRUE(contains(t, "update_idle_ratios"));
  EXPECT_FALSE(contains(t, "update_engine_overspeed_starvation"));
  EXPECT_FALSE(contains(t, "autogate_nearest"));
  EXPECT_FALSE(contains(t, "update_ground_power"));
  EXPECT_FLOAT_EQ(half_second_timer, 0.0f);
}

TEST_F(Sequencer, ForceFeedbackSoftwareIsLoggedOnceAfterStart) {
  simhost::Config config;
  config.extra.push_back({"beh/autopilot_external_control", 1, 1, false, "0"});
  start(config);
  const std::string line = "Corvane plugin: Brunner software detected.";
  for (int i = 0; i < 51; ++i) main_frame(0.1f);
  EXPECT_EQ(brunner_active, 1);
  EXPECT_TRUE(simhost::log_contains(line));

  simhost::clear_log();
  XPluginReceiveMessage(XPLM_PLUGIN_XPLANE, XPLM_MSG_PLANE_LOADED, nullptr);
  for (int i = 0; i < 120; ++i) main_frame(0.1f);
  EXPECT_FALSE(simhost::log_contains(line));
  EXPECT_EQ(brunner_active, 1);
}

TEST_F(Sequencer, ForceFeedbackSoftwareAbsentClearsTheFlag) {
  start();
  brunner_active = 1;
  for (int i = 0; i < 51; ++i) main_frame(0.1f);
  EXPECT_EQ(brunner_active, 0);
  EXPECT_FALSE(simhost::log_contains("Corvane plugin: Brunner software detected."));
}

// Each frame takes the next draw of the sequence seeded once at start:
// seeding again within the same calendar second would repeat the same draws.
TEST_F(Sequencer, FrameRandomTakesTheNextDrawWithoutReseeding) {
  start();
  simhost::pin_time(1700000000);
  simhost::pin_rand([] { return 123456789; });
  const size_t seeds_before = simhost::srand_seeds().size();
  main_frame(0.05f);
  EXPECT_FLOAT_EQ(frame_random, 0.56789f);
  simhost::pin_rand([] { return 99999; });
  main_frame(0.05f);
  EXPECT_FLOAT_EQ(frame_random, 0.99999f);
  EXPECT_EQ(simhost::srand_seeds().size(), seeds_before);
  simhost::unpin_rand();
  // Unpinned: two frames in the same second draw on, not the same value.
  std::srand(1700000000u);
  main_frame(0.05f);
  const float first = frame_random;
  main_frame(0.05f);
  EXPECT_NE(frame_random, first);
  simhost::unpin_time();
}

TEST_F(Sequencer, MapSearchReferenceFollowsTheScriptsStartUpFlag) {
  start();
  ASSERT_TRUE(simhost::set_double("sim/flightmodel/position/latitude", 47.25));
  ASSERT_TRUE(simhost::set_double("sim/flightmodel/position/longitude", 8.5));
  ASSERT_TRUE(simhost::set_float("zuvadud/D738/fms/xfirst_time2", 1.0f));
  Trace t = main_frame(0.05f);
  EXPECT_TRUE(contains(t, "map_navaid_ref"));
  EXPECT_TRUE(contains(t, "map_airport_ref"));
  EXPECT_FLOAT_EQ(map_search_ref.lat_deg, 47.25f);
  EXPECT_FLOAT_EQ(map_search_ref.lon_deg, 8.5f);
  EXPECT_EQ(map_search_ready, 0);

  ASSERT_TRUE(simhost::set_float("zuvadud/D738/fms/xfirst_time2", 0.0f));
  EXPECT_FALSE(contains(main_frame(0.05f), "map_navaid_symbols"));  // not ready yet

  ASSERT_TRUE(simhost::set_float("zuvadud/D738/fms/xfirst_time2", 2.0f));
  main_frame(0.05f);
  EXPECT_EQ(map_search_ready, 1);
  ASSERT_TRUE(simhost::set_float("zuvadud/D738/fms/xfirst_time2", 0.0f));
  t = main_frame(0.05f);
  auto navaids = std::find(t.begin(), t.end(), "map_navaid_symbols");
  ASSERT_NE(navaids, t.end());
  ASSERT_NE(navaids + 1, t.end());
  EXPECT_EQ(*(navaids + 1), "map_airport_symbols");
}

TEST_F(Sequencer, TimeSinceLoadCountsUnpausedFramesAfterTheFirstUpToSixSeconds) {
  start();
  main_frame(0.1f);  // first frame: frame_done still 0 while the group runs
  EXPECT_FLOAT_EQ(time_since_load, 0.0f);
  for (int i = 0; i < 100; ++i) main_frame(0.1f);
  EXPECT_GT(time_since_load, 6.0f);
  EXPECT_LE(time_since_load, 6.1f + 1e-4f);
}

TEST_F(Sequencer, TerrainProbeIsCreatedByTheMainLoopWhenMissing) {
  start();
  ASSERT_NE(terrain_probe, nullptr);  // the per-load reset made it
  const int probes = simhost::registrations().probes;
  main_frame(0.05f);
  EXPECT_EQ(simhost::registrations().probes, probes);
  terrain_probe = nullptr;
  const Trace t = main_frame(0.05f);
  EXPECT_TRUE(contains(t, "create_terrain_probe"));
  EXPECT_FALSE(contains(t, "gse_objects_update"));
  EXPECT_NE(terrain_probe, nullptr);
  EXPECT_TRUE(contains(main_frame(0.05f), "gse_objects_update"));
}

}  // namespace
