// Plug-in lifecycle: the five entry points, start-up, the per-load reset and
// shut-down. Every registration made at start-up is withdrawn at stop with
// the same arguments; the order of both is fixed because later steps rely on
// earlier ones (bindings find the plug-in's own published datarefs, the
// variant selects tables the bindings use).
//
// Host calls: identity, native paths, plug-in info and system path, draw
// callback, flight loops, terrain probe, override releases, log lines.
#include "aircraft/lifecycle.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "alerting/alerting_steps.h"
#include "commands/command_presses.h"
#include "commands/registration.h"
#include "core/command_refs.h"
#include "core/binding.h"
#include "core/frame_values.h"
#include "core/host_io.h"
#include "aircraft/frame.h"
#include "aircraft/startup_state.h"
#include "aircraft/state_steps.h"
#include "core/trace.h"
#include "core/variant.h"
#include "datarefs/lists.h"
#include "display/display_steps.h"
#include "engines/engine_steps.h"
#include "lnav/guidance_steps.h"
#include "navdata/navdb.h"
#include "systems/gear_brakes/gear.h"
#include "systems/radios/metar.h"
#include "systems/replay.h"
#include "systems/systems_steps.h"

XPLMFlightLoopID main_loop_id;
XPLMFlightLoopID state_restore_loop_id;

namespace {

constexpr char plugin_name[] = "CORVane_plugin";
constexpr char plugin_signature[] = "corvane.by.Harl";
constexpr char plugin_description[] = "This is plugin for CORVane.";
constexpr char snapshot_suffix[] = "/HiFi/AS_XPL/Weather/current_wx_snapshot.txt";

// Flight-loop creation record size the host expects (4 + 4 + 8 + 8 bytes).
constexpr int flight_loop_record_size = 24;

bool file_opens(const char* path) {
  std::FILE* f = std::fopen(path, "r");
  if (f == nullptr) return false;
  std::fclose(f);
  return true;
}

// system_root + parts..., or false when the whole path does not fit (a cut
// path could name a different file).
bool join_path(char* out, size_t out_size, const char* a, const char* b, const char* c = "") {
  const int n = std::snprintf(out, out_size, "%s%s%s", a, b, c);
  return n >= 0 && static_cast<size_t>(n) < out_size;
}

struct RootPath {
  char text[3 * path_capacity];
  bool ok;
};
RootPath root_path(const char* relative, const char* file = "") {
  RootPath p{};
  p.ok = join_path(p.text, sizeof p.text, system_root, relative, file);
  return p;
}

int32_t load_nav(const char* relative) {
  const RootPath p = root_path(relative);
  return p.ok ? load_nav_dat(p.text) : 0;
}
int32_t load_fix(const char* relative) {
  const RootPath p = root_path(relative);
  return p.ok ? load_fix_dat(p.text) : 0;
}
bool root_file_opens(const char* relative) {
  const RootPath p = root_path(relative);
  return p.ok && file_opens(p.text);
}

XPLMFlightLoopID create_every_frame_loop(XPLMFlightLoopPhaseType phase, XPLMFlightLoop_f callback) {
  XPLMCreateFlightLoop_t record{flight_loop_record_size, phase, callback, nullptr};
  XPLMFlightLoopID id = XPLMCreateFlightLoop(&record);
  XPLMScheduleFlightLoop(id, -1.0f, 0);
  return id;
}

void copy_identity(char* out, const char* text, size_t size) {
  if (out != nullptr) std::memcpy(out, text, size);
}

void register_all_datarefs() {
  CORVANE_STEP(register_service_datarefs);
  CORVANE_STEP(register_engine_model_datarefs);
  CORVANE_STEP(register_throttle_datarefs);
  CORVANE_STEP(register_annunciator_datarefs);
  CORVANE_STEP(register_ice_datarefs);
  CORVANE_STEP(register_comm_datarefs);
  CORVANE_STEP(register_clock_datarefs);
  CORVANE_STEP(register_fire_datarefs);
  CORVANE_STEP(register_cover_vent_datarefs);
  CORVANE_STEP(register_light_switch_datarefs);
  CORVANE_STEP(register_cabin_light_datarefs);
  CORVANE_STEP(register_main_datarefs);
  CORVANE_STEP(register_tcas_datarefs);
  CORVANE_STEP(register_fms_legs_datarefs);
}

void clear_start_values() {
  frame_time = 0.0f;
  n1_command_clear_start_values();
  overspeed_clear_start_values();
  ice_rain_clear_start_values();
  gear_legs_from_host = 1;
  first_frame_block_done = 0;
  situation_load_requested = 0;
  set_start_positions();
  // With these the model watch detects the model on its first frame.
  livery_read_count = 0;
  last_livery_index = -1;
}

// The plug-in takes these over while it runs; the host must get them back.
constexpr bound::Id released_overrides[] = {
    bound::sim_operation_override_override_ias,
    bound::sim_flightmodel2_lights_override_beacons_and_strobes,
    bound::sim_operation_override_override_wheel_steer,
    bound::sim_operation_override_override_toe_brakes,
    bound::sim_operation_override_override_joystick_heading,
    bound::sim_operation_override_override_joystick_pitch,
    bound::sim_operation_override_override_joystick_roll,
    bound::sim_operation_override_override_pressurization,
    bound::sim_operation_override_override_engine_forces,
    bound::sim_operation_override_override_fuel_flow,
};

void release_host_overrides() {
  for (bound::Id id : released_overrides) host_send_i(id, 0);
  script_set_i(bound::sam_jetway_externalpower_override, 0);
}

void unregister_all_datarefs() {
  CORVANE_STEP(unregister_engine_model_datarefs);
  CORVANE_STEP(unregister_throttle_datarefs);
  CORVANE_STEP(unregister_annunciator_datarefs);
  CORVANE_STEP(unregister_ice_datarefs);
  CORVANE_STEP(unregister_comm_datarefs);
  CORVANE_STEP(unregister_clock_datarefs);
  CORVANE_STEP(unregister_fire_datarefs);
  CORVANE_STEP(unregister_cover_vent_datarefs);
  CORVANE_STEP(unregister_light_switch_datarefs);
  CORVANE_STEP(unregister_cabin_light_datarefs);
  CORVANE_STEP(unregister_main_datarefs);
  CORVANE_STEP(unregister_tcas_datarefs);
  CORVANE_STEP(unregister_fms_legs_datarefs);
}

void unregister_all_commands() {
  CORVANE_STEP(unregister_n1_source_commands);
  CORVANE_STEP(unregister_audio_panel_commands);
  CORVANE_STEP(unregister_anti_ice_commands);
  CORVANE_STEP(unregister_radio_panel_commands);
  CORVANE_STEP(unregister_chrono_commands);
  CORVANE_STEP(unregister_fire_commands);
  CORVANE_STEP(unregister_cover_commands);
  CORVANE_STEP(unregister_light_switch_commands);
  CORVANE_STEP(unregister_cabin_light_commands);
  CORVANE_STEP(unregister_main_commands);
}

void weather_probe_from_environment() { probe_weather_engine(std::getenv("APPDATA")); }

}  // namespace

// ---- start-up steps ----------------------------------------------------------

void find_aircraft_folder() {
  plugin_id = XPLMGetMyID();
  XPLMGetPluginInfo(plugin_id, nullptr, plugin_path, nullptr, nullptr);
  plugin_path[path_capacity - 1] = '\0';
  plugin_path_len = static_cast<int32_t>(std::strlen(plugin_path));
  XPLMGetSystemPath(system_root);
  system_root[path_capacity - 1] = '\0';

  const char* found = std::strstr(plugin_path, "plugins/corvane/");
  // With native paths every host reports '/' separators; a path with the
  // Windows separator is accepted too, so that a host giving one anyway still
  // finds the aircraft's own airport, runway and gate files rather than
  // looking for them at its root.
  if (found == nullptr) found = std::strstr(plugin_path, "plugins\\corvane\\");
  if (found == nullptr) return;
  const int32_t p = static_cast<int32_t>(found - plugin_path);
  const int32_t s = static_cast<int32_t>(std::strlen(system_root));
  // Only a plug-in folder below the host's root gives a relative aircraft
  // folder; anything else leaves it as it was.
  if (s < p && p < plugin_path_len) {
    std::memcpy(aircraft_folder, plugin_path + s, static_cast<size_t>(p - s));
    aircraft_folder[p - s] = '\0';
  }
}

void probe_weather_engine(const char* appdata) {
  if (appdata == nullptr) return;
  const size_t len = std::strlen(appdata);
  // The whole snapshot path must fit its buffer; a longer value could only
  // name a truncated, wrong file, so the probe is skipped.
  if (len + sizeof snapshot_suffix > static_cast<size_t>(path_capacity)) return;
  char buffer[path_capacity];
  std::memcpy(buffer, appdata, len + 1);
  // Backslashes become '/', except the one right after a drive colon.
  const size_t converted = len < 255 ? len : 255;
  for (size_t i = 0; i < converted; ++i) {
    if (buffer[i] == '\\' && (i == 0 || buffer[i - 1] != ':')) buffer[i] = '/';
  }
  join_path(weather_snapshot_path, sizeof weather_snapshot_path, buffer, snapshot_suffix);
  if (file_opens(weather_snapshot_path)) XPLMDebugString("Corvane plugin: ASXP detected.\n");
}

// A navigation data update is taken whole or not at all: one that lacks its
// navaids or its fixes would leave the map and the route without them, so it
// is passed over for the host's own data as a missing one is.
bool load_custom_navigation() {
  const char* nav = "Custom Data/earth_nav.dat";
  const char* fix = "Custom Data/earth_fix.dat";
  if (!root_file_opens(nav) || !root_file_opens(fix)) return false;
  // Both are read even when the first lacks its entries, so that the log
  // names every file at fault.
  const int32_t navaids = load_nav(nav);
  const int32_t fixes = load_fix(fix);
  if (navaids > 0 && fixes > 0) return true;
  XPLMDebugString("Corvane plugin: WARNING - navigation data in Custom Data not used, reading the host's own !!!\n");
  return false;
}

void load_navigation_database() {
  // Reading the host's navaids empties the tables of any passed-over update.
  if (!load_custom_navigation()) {
    if (load_nav("Custom Scenery/Global Airports/Earth nav data/earth_nav.dat") == 0)
      load_nav("Resources/default data/earth_nav.dat");
    if (load_fix("Custom Scenery/Global Airports/Earth nav data/earth_fix.dat") == 0)
      load_fix("Resources/default data/earth_fix.dat");
  }
  RootPath p = root_path(aircraft_folder, "Velar_apt.dat");
  if (p.ok) load_apt_list(p.text);
  p = root_path(aircraft_folder, "Velar_rnw.dat");
  if (p.ok) load_rnw_list(p.text);
  p = root_path(aircraft_folder, "Velar_gate.dat");
  if (p.ok) load_gate_list(p.text);
}

void reset_on_load() {
  trace_step("reset_on_load");
  frame_done = 0;
  init_stage = 0;
  load_loop_done = 0;
  time_since_load = 0.0f;
  prev_sim_paused = 0;
  prev_sim_in_replay = 0;
  route_reset_request = 0.0f;
  avitab_flag_armed = 0.0f;
  bp_flag_armed = 0.0f;
  map_search_ready = 0;
  load_settle_timer = 2.0f;
  restore_settle_timer = 5.0f;
  situation_loaded = 0.0f;
  state_restore_drop_logged = 0;

  reset_route_counts();
  alerting_reset_on_load();
  airspeed_display_reset();
  guidance_reset_on_load();
  engines_reset_on_load();
  systems_reset_on_load();
  if (terrain_probe == nullptr) terrain_probe = XPLMCreateProbe(xplm_ProbeY);
  reset_nav_search_state();
}

void reset_on_situation_load() {
  // A press under way belongs to the flight left behind.
  release_held_commands();
  reset_on_load();
  situation_load_requested = 1;
}

// ---- entry points --------------------------------------------------------------

int XPluginStart(char* out_name, char* out_signature, char* out_description) {
  trace_step("XPluginStart");
  copy_identity(out_name, plugin_name, sizeof plugin_name);
  copy_identity(out_signature, plugin_signature, sizeof plugin_signature);
  copy_identity(out_description, plugin_description, sizeof plugin_description);
  XPLMEnableFeature("XPLM_USE_NATIVE_PATHS", 1);
  CORVANE_STEP(set_controller_limits);
  // Once per session: seeding again every frame would restart the sequence on
  // every frame of the same second, and the failure delays with it.
  CORVANE_STEP(seed_random_from_calendar);
  CORVANE_STEP(find_aircraft_folder);
  debug_status = 0;
  draw_enabled = 0;
  situation_load_reset = reset_on_situation_load;

  register_all_datarefs();
  CORVANE_STEP(register_commands);
  CORVANE_STEP(bind_outside_datarefs);

  trace_step("register_draw_callback");
  XPLMRegisterDrawCallback(nd_draw_callback, xplm_Phase_Gauges, 1, nullptr);
  trace_step("create_flight_loops");
  main_loop_id = create_every_frame_loop(xplm_FlightLoop_Phase_AfterFlightModel, flight_loop_main);
  state_restore_loop_id = create_every_frame_loop(xplm_FlightLoop_Phase_BeforeFlightModel, flight_loop_state_restore);
  CORVANE_STEP(find_host_metar_function);

  CORVANE_STEP(detect_variant);
  CORVANE_STEP(clear_start_values);
  CORVANE_STEP(bind_host_datarefs);
  CORVANE_STEP(bind_librain_datarefs);
  CORVANE_STEP(bind_terrain_radar_datarefs);
  CORVANE_STEP(bind_addon_datarefs);
  CORVANE_STEP(bind_script_datarefs);

  XPLMDebugString("Corvane plugin running.\n");
  CORVANE_STEP(weather_probe_from_environment);
  XPLMDebugString("Corvane plugin: Reading navigation data...\n");
  CORVANE_STEP(load_navigation_database);
  CORVANE_STEP(set_nd_viewports);
  return 1;
}

void XPluginStop(void) {
  trace_step("XPluginStop");
  XPLMUnregisterDrawCallback(nd_draw_callback, xplm_Phase_Gauges, 1, nullptr);
  trace_step("destroy_flight_loops");
  if (main_loop_id != nullptr) XPLMDestroyFlightLoop(main_loop_id);
  if (state_restore_loop_id != nullptr) XPLMDestroyFlightLoop(state_restore_loop_id);
  main_loop_id = nullptr;
  state_restore_loop_id = nullptr;
  CORVANE_STEP(release_metar_fetch_loop);

  CORVANE_STEP(unregister_service_datarefs);
  CORVANE_STEP(end_issued_commands);
  CORVANE_STEP(release_host_overrides);
  unregister_all_datarefs();
  unregister_all_commands();

  if (terrain_probe != nullptr) {
    trace_step("destroy_terrain_probe");
    XPLMDestroyProbe(terrain_probe);
    terrain_probe = nullptr;
  }
  CORVANE_STEP(gse_release_all);
  XPLMDebugString("Corvane plugin unloaded.\n");
}

// Switched off from the host's plug-in menu in flight, the plug-in runs no
// frame: a control it keeps overridden would leave the user with a dead
// yoke, pedals, brakes and steering, frozen thrust, airspeed and cabin. The
// host gets them back as at stop; everything published stays registered.
// Nor does it hear the release of a key held now, so every press ends here
// as released, and every host command it holds begun is ended. Nothing would
// end an aural it raised either (a bell for a fire long out, PULL UP for the
// whole time off): they fall silent here, as at a replay's start.
// Enabled again, the frame's own steps take each override back on its first
// frame, raise again each aural whose cause is still there, and the flight
// carries on from the state kept.
int XPluginEnable(void) { return 1; }

void XPluginDisable(void) {
  trace_step("XPluginDisable");
  CORVANE_STEP(release_held_commands);
  CORVANE_STEP(end_issued_commands);
  CORVANE_STEP(release_host_overrides);
  CORVANE_STEP(silence_aurals);
}

void XPluginReceiveMessage(XPLMPluginID from, int message, void* param) {
  if (from != XPLM_PLUGIN_XPLANE) return;
  const bool user_plane_loaded = message == XPLM_MSG_PLANE_LOADED && param == nullptr;
  if (!user_plane_loaded && message != XPLM_MSG_AIRPORT_LOADED) return;
  time_since_load = 0.0f;
  frame_done = 0;
  init_stage = 0;
  load_loop_done = 0;
  reset_on_load();
}
