// Frame sequencer: the main loop (after the flight model) and the load loop
// (before it), with their gates, the frame step, the situation-restore
// branch, the systems sequence and the slow timers.
//
// Values read at the moment of use (read_now_*), not from this frame's poll:
// "sim/version/xplane_internal_version", the scripts' "zuvadud/D738/load_save"
// and "zuvadud/D738/global", the idle ratios, the raw air data of the load
// loop. Host values written: battery switch 1 while the start-up stage is 0,
// the plug-in bus loads, the IAS override flag.
#include "aircraft/frame.h"

#include <cstdlib>
#include <ctime>

#include "alerting/alerting_steps.h"
#include "core/binding.h"
#include "core/host_io.h"
#include "aircraft/preprocess.h"
#include "lnav/route/route.h"
#include "aircraft/state_steps.h"
#include "core/trace.h"
#include "core/variant.h"
#include "display/display_steps.h"
#include "display/map_symbols.h"
#include "engines/engine_state.h"
#include "engines/engine_steps.h"
#include "engines/engine_values.h"
#include "lnav/guidance_steps.h"
#include "navdata/navdb.h"
#include "publication/switch_writers.h"
#include "systems/aircraft_systems.h"
#include "systems/replay.h"
#include "systems/systems_steps.h"

int32_t first_frame_block_done;
int32_t situation_load_requested;

// ---- load loop ---------------------------------------------------------------

namespace {
// After a situation load the smoothed air data would start from stale values;
// publish the host's raw values so the first frames show the restored state.
void take_raw_air_data() {
  const float tas = read_now_f(bound::sim_flightmodel_position_true_airspeed);
  const float sos = read_now_f(host_version >= 120000 ? bound::sim_weather_aircraft_speed_sound_ms
                                                      : bound::sim_weather_speed_sound_ms);
  const float tat = read_now_f(bound::sim_cockpit2_temperature_outside_air_LE_temp_degc);
  set_mirror_f(bound::sim_flightmodel_position_true_airspeed, tas);
  set_mirror_f(bound::sim_weather_speed_sound_ms, sos);
  set_mirror_f(bound::sim_cockpit2_temperature_outside_air_LE_temp_degc, tat);
  publish_air_data_unsmoothed(tas, sos, tat);
}
}  // namespace

float flight_loop_state_restore(float, float, int, void*) {
  if (load_loop_done != 0) return -1.0f;
  trace_step("load_loop");
  load_save = read_now_f(bound::zuvadud_D738_load_save);
  if (load_save == 4.0f) {
    CORVANE_STEP(read_glare_switches);
    CORVANE_STEP(restore_anti_ice_state);
    CORVANE_STEP(restore_fire_state);
    CORVANE_STEP(read_cover_arrays);
    CORVANE_STEP(restore_lights_state);
    CORVANE_STEP(restore_cockpit_state);
    CORVANE_STEP(hand_over_restored_n1_set);
    CORVANE_STEP(take_raw_air_data);
  }
  // The plug-in supplies the indicated airspeed itself.
  host_send_i(bound::sim_operation_override_override_ias, 1);
  CORVANE_STEP(clear_nearest_airport_lists);
  load_loop_done = 1;
  return -1.0f;
}

// ---- main loop ---------------------------------------------------------------

namespace {

void read_stage0_inputs() {
  host_version = read_now_i(bound::sim_version_xplane_internal_version);
  frame_time = 0.01f;
  const int32_t battery_on = 1;
  host_send_vi(bound::sim_cockpit2_electrical_battery_on, &battery_on, 1);
  if (bound_present(bound::sim_aircraft2_engine_low_idle_ratio))
    acf_low_idle_ratio = read_now_f(bound::sim_aircraft2_engine_low_idle_ratio);
  if (bound_present(bound::sim_aircraft2_engine_high_idle_ratio))
    acf_high_idle_ratio = read_now_f(bound::sim_aircraft2_engine_high_idle_ratio);
  CORVANE_STEP(set_thrust_tables);
}

// The host's elapsed time is limited before any model sees it. A value that
// is not a positive number (NaN included) counts as a 0.01 s step.
void limit_frame_step() {
  if (!(frame_time > 0.0f)) {
    frame_time = 0.01f;
  } else if (frame_time > 0.1f) {
    frame_time = 0.1f;
  }
}

bool guard_handles_present() {
  return handle(bound::sim_time_paused) != nullptr && handle(bound::sim_time_is_in_replay) != nullptr &&
         handle(bound::zuvadud_D738_fms_vnav_idx) != nullptr;
}

void run_down_load_settle_timer() {
  if (load_settle_timer > 0.0f) {
    load_settle_timer -= frame_time;
  } else {
    load_settle_timer = 0.0f;
  }
}

// The generator was seeded once at start; each frame takes the next draw.
void draw_frame_random() { random_fraction(); }

void stage_two() {
  CORVANE_STEP(n1_command_stage2_reset);
  init_stage = 2;
  situation_load_requested = 0;
}

// Whether this frame, the first after a load (start-up stage 0), sets the
// cockpit up, paused or not: a paused cockpit shows its switches where the
// flight has them, and nothing moves by itself when the pause ends. The
// first frame after the plug-in starts always does, a restore on it landing
// on a cockpit set up first. Later, only a load that brings no situation
// back sets it up again, once.
bool first_frame_block_due() {
  const bool restoring = load_save == 4.0f;
  if (first_frame_block_done == 0) return true;
  return !restoring && situation_load_requested == 0 && frame_done == 0;
}

void unload_loaded_gse() {
  // Fixed order: ground power, air start, fuel trucks, cones, de-ice trucks.
  if (gse_slots[gse_gpu].loaded) CORVANE_STEP(gse_unload_gpu);
  if (gse_slots[gse_asu].loaded) CORVANE_STEP(gse_unload_asu);
  if (gse_slots[gse_fuel_truck].loaded) CORVANE_STEP(gse_unload_fuel_truck);
  if (gse_slots[gse_fuel_truck2].loaded) CORVANE_STEP(gse_unload_fuel_truck2);
  if (gse_slots[gse_cones].loaded) CORVANE_STEP(gse_unload_cones);
  if (gse_slots[gse_de_ice_truck].loaded) CORVANE_STEP(gse_unload_de_ice_truck);
  if (gse_slots[gse_de_ice_truck2].loaded) CORVANE_STEP(gse_unload_de_ice_truck2);
}

// Runs on every frame on which the scripts hold a loaded situation.
void situation_restore() {
  trace_step("situation_restore");
  route_reset_request = 1.0f;
  restore_settle_timer = 5.0f;
  CORVANE_STEP(flight_rating_restart);
  trace_step("airspeed_display_restart");
  airspeed_display_restart(script_global[0], script_global[1]);
  CORVANE_STEP(flight_director_restore_reset);
  unload_loaded_gse();
  // The N1 SET knob comes back on this path too, whichever frame the
  // scripts report the restore on.
  CORVANE_STEP(read_glare_switches);
  CORVANE_STEP(restore_anti_ice_state);
  CORVANE_STEP(restore_fire_state);
  CORVANE_STEP(read_cover_arrays);
  CORVANE_STEP(restore_lights_state);
  CORVANE_STEP(restore_cockpit_state);
  CORVANE_STEP(hand_over_restored_n1_set);
  CORVANE_STEP(n1_command_restore_reset);
  CORVANE_STEP(ice_rain_take_host_ice);
  stage_two();
}


// The packed script arrays are written after the systems of the same frame.
void systems_sequence() {
  CORVANE_STEP(hold_written_switches);
  CORVANE_STEP(update_engine_eicas);
  CORVANE_STEP(update_thrust_control);
  // Before the lights read the pump switches: the start-up's centre pumps,
  // switched off over an empty tank, show no frame of LOW PRESSURE.
  CORVANE_STEP(centre_pumps_after_load);
  CORVANE_STEP(update_annunciators);
  CORVANE_STEP(update_anti_ice);
  CORVANE_STEP(update_audio_radio_panels);
  CORVANE_STEP(update_clocks);
  CORVANE_STEP(fire_update);
  CORVANE_STEP(update_switch_covers);
  CORVANE_STEP(update_exterior_lights);
  CORVANE_STEP(update_cabin_lights);
  CORVANE_STEP(update_aircraft_systems);
  CORVANE_STEP(sync_glare_switch);
  CORVANE_STEP(save_anti_ice_state);
  CORVANE_STEP(save_fire_state);
  CORVANE_STEP(write_cover_array);
  CORVANE_STEP(save_lights_state);
  CORVANE_STEP(save_cockpit_state);
  CORVANE_STEP(send_bus_loads);
}

void map_search_setup() {
  const float flag = mirror_f(bound::zuvadud_D738_fms_xfirst_time2);
  if (flag == 0.0f) {
    if (map_search_ready == 1) {
      CORVANE_STEP(map_navaid_symbols);
      CORVANE_STEP(map_airport_symbols);
    }
    return;
  }
  map_search_ref.lat_deg = static_cast<float>(mirror_d(bound::sim_flightmodel_position_latitude));
  map_search_ref.lon_deg = static_cast<float>(mirror_d(bound::sim_flightmodel_position_longitude));
  map_search_ref.track_mag_deg[0] = mirror_f(bound::sim_cockpit2_gauges_indicators_ground_track_mag_pilot);
  map_search_ref.track_mag_deg[1] = mirror_f(bound::sim_cockpit2_gauges_indicators_ground_track_mag_copilot);
  map_search_ref.heading_mag_deg[0] = mirror_f(bound::sim_cockpit2_gauges_indicators_heading_AHARS_deg_mag_pilot);
  map_search_ref.heading_mag_deg[1] = mirror_f(bound::sim_cockpit2_gauges_indicators_heading_AHARS_deg_mag_copilot);
  CORVANE_STEP(map_navaid_ref);
  CORVANE_STEP(map_airport_ref);
  if (flag == 2.0f) map_search_ready = 1;
}

void unpaused_group() {
  CORVANE_STEP(update_inflight_start_envelope);
  CORVANE_STEP(update_engine_start);
  if (time_since_load <= 6.0f && frame_done != 0) time_since_load += frame_time;
  CORVANE_STEP(ice_rain);
  CORVANE_STEP(update_host_bleed_air);
  CORVANE_STEP(update_flight_director);
  CORVANE_STEP(ap_servo);
  CORVANE_STEP(update_touchdown_effect);
  if (host_version < 120000) CORVANE_STEP(rain_effect_gate);
  CORVANE_STEP(update_cg_reference);
  CORVANE_STEP(update_fail_reset_available);
  CORVANE_STEP(update_random_failures);
  CORVANE_STEP(update_engine_failures);
  CORVANE_STEP(flight_rating);
}

void half_second_tick(bool held) {
  half_second_timer += frame_time;
  if (!(half_second_timer > 0.5f)) return;
  trace_step("half_second_timer");
  if (variant_index < 0) CORVANE_STEP(update_idle_ratios);
  if (!held) {
    CORVANE_STEP(update_engine_overspeed_starvation);
    CORVANE_STEP(autogate_nearest);
    CORVANE_STEP(update_ground_power);
  }
  half_second_timer = 0.0f;
}

void five_second_tick() {
  five_second_timer += frame_time;
  if (!(five_second_timer > 5.0f)) return;
  trace_step("five_second_timer");
  five_second_timer = 0.0f;
  if (bound_present(bound::beh_autopilot_external_control)) {
    brunner_active = 1;
    if (brunner_logged == 0) {
      XPLMDebugString("Corvane plugin: Brunner software detected.\n");
      brunner_logged = 1;
    }
  } else {
    brunner_active = 0;
  }
}

}  // namespace

// The host array is written only when one of the three loads changed.
void send_bus_loads() {
  int count = 0;
  const float* host = mirror_vf(bound::sim_cockpit2_electrical_plugin_bus_load_amps, &count);
  bool differs = false;
  for (int i = 0; i < 3; ++i) {
    const float current = (host != nullptr && i < count) ? host[i] : 0.0f;
    if (plugin_bus_loads[i] != current) differs = true;
  }
  if (differs) host_send_vf(bound::sim_cockpit2_electrical_plugin_bus_load_amps, plugin_bus_loads, 3);
}

float flight_loop_main(float elapsed_since_last_call, float, int, void*) {
  // Inputs every frame needs, whatever the state of the guard below: the bus
  // loads start from zero, the model and add-on checks, the scripts' load
  // and restore request.
  trace_step("bus_loads_zero");
  plugin_bus_loads[0] = 0.0f;
  plugin_bus_loads[1] = 0.0f;
  CORVANE_STEP(model_watch);
  CORVANE_STEP(update_addon_flags);
  trace_step("load_save_read");
  load_save = read_now_f(bound::zuvadud_D738_load_save);

  // The frame step: fixed until the start-up stage leaves 0, then the host's
  // elapsed time, limited.
  if (init_stage == 0) {
    CORVANE_STEP(read_stage0_inputs);
  } else {
    frame_time = elapsed_since_last_call;
  }
  CORVANE_STEP(limit_frame_step);

  // Without the pause, replay and scripts' guard datarefs nothing else can be
  // trusted; these are not looked up again.
  if (!guard_handles_present()) return -1.0f;

  CORVANE_STEP(run_down_load_settle_timer);
  CORVANE_STEP(draw_frame_random);
  CORVANE_STEP(poll_host_datarefs);
  CORVANE_STEP(poll_script_datarefs);
  // Pause and replay of this frame, as just polled. A replay shows the past:
  // every model, timer and countdown of the aircraft's own holds in it as in
  // a pause, and goes on from there after it.
  const bool paused = sim_paused != 0;
  const bool replay = sim_in_replay != 0;
  const bool held = paused || replay;

  CORVANE_STEP(smooth_air_data);
  if (host_version >= 120000 && variant_index == -1) CORVANE_STEP(engine_forces_update);
  CORVANE_STEP(update_ground_contact);
  CORVANE_STEP(update_terrain_radar_link);
  CORVANE_STEP(selcal_intake);
  CORVANE_STEP(update_flight_data_copies);

  // The scripts report a restored situation with load_save 4; the marker is
  // set before the first-frame block so that the engines set up on that
  // frame keep what the situation brought back.
  if (load_save == 4.0f) {
    trace_step("situation_marker");
    situation_loaded = 1.0f;
  }

  // The first frame after a load sets the cockpit up, paused or not; the
  // start-up stage leaves 0 on the first unpaused one.
  if (init_stage == 0 && first_frame_block_due()) {
    CORVANE_STEP(first_frame_block);
    first_frame_block_done = 1;
  }
  if (!paused && init_stage < 2) init_stage = 1;

  CORVANE_STEP(exchange_panel_state);

  // Ground equipment needs the terrain probe and one completed frame.
  if (terrain_probe != nullptr) {
    if (frame_done != 0) CORVANE_STEP(gse_objects_update);
  } else {
    trace_step("create_terrain_probe");
    terrain_probe = XPLMCreateProbe(xplm_ProbeY);
  }

  trace_step("script_global_read");
  read_now_vf(bound::zuvadud_D738_global, script_global, 2);

  // A loaded situation restarts the start-up work; otherwise the restore
  // settle time runs down and the start-up completes.
  if (load_save == 4.0f) {
    situation_restore();
  } else {
    if (restore_settle_timer != 0.0f) {
      restore_settle_timer -= frame_time;
      if (restore_settle_timer < 0.0f) restore_settle_timer = 0.0f;
    }
    if (init_stage == 1) stage_two();
  }

  // Replay shows indications only; a paused frame runs no systems.
  if (replay) {
    replay_active = 1.0f;
    CORVANE_STEP(replay_engine_indications);
    CORVANE_STEP(update_light_flash_replay);
    CORVANE_STEP(update_cockpit_indications);
    CORVANE_STEP(silence_aurals);
  } else if (paused) {
    // A replay that ends into a pause hands the pilot's levers back at once.
    if (replay_active == 1.0f) restore_levers_after_replay();
    replay_active = 0.0f;
  } else {
    systems_sequence();
    replay_active = 0.0f;
  }

  CORVANE_STEP(update_pfd_stall_band);
  CORVANE_STEP(route_reads);
  if (!held) CORVANE_STEP(route_pass);
  CORVANE_STEP(copy_efis_state);
  CORVANE_STEP(scan_navaids);
  CORVANE_STEP(update_nearest_airport);
  CORVANE_STEP(map_search_setup);
  CORVANE_STEP(update_nd_vnav_markers);
  CORVANE_STEP(update_nd_fix_overlay);
  CORVANE_STEP(update_metar_request);
  trace_step("compute_idle_n1");
  compute_idle_n1(engine::idle_mode[0], engine::idle_mode[1]);
  CORVANE_STEP(engine_n1_command_update);
  if (!held) CORVANE_STEP(update_engine_indications);
  CORVANE_STEP(update_lnav_steering);
  CORVANE_STEP(vortex_effect);
  CORVANE_STEP(ias_override);
  if (!held) {
    unpaused_group();
  } else {
    CORVANE_STEP(touchdown_effect_clear);
  }

  // The restore request lasts one frame; pause and replay are remembered for
  // the next frame's edge checks.
  route_reset_request = 0.0f;
  prev_sim_paused = sim_paused;
  prev_sim_in_replay = sim_in_replay;

  if (!held) CORVANE_STEP(attendant_chime_sequence);
  half_second_tick(held);
  five_second_tick();

  trace_step("frame_complete");
  frame_done = 1;
  draw_enabled = 1;
  return -1.0f;
}
