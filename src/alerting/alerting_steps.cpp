// Alerting, traffic and failures: the lifecycle resets the core calls.
#include "alerting/alerting_steps.h"

#include "alerting/aural_cues.h"
#include "alerting/gpws.h"
#include "systems/instruments/instrument_values.h"

TerrainRadarLinkState terrain_radar_link_state;

void alerting_reset_on_load() {
  flight_rating_reset_on_load();
  terrain_radar_link_state.fix_circles_enabled = 0;
  terrain_radar_link_state.terrain_display_link = 0;
  engine_failures_reset_on_load();
  gpws_windshear_empty();
}

void overspeed_clear_start_values() { engine_failures_clear_at_start(); }

void silence_callouts() {
  using namespace cue_fmodpack;
  float* const callouts[] = {
      &msg_pull_up,         &msg_gpws_alert,     &msg_windshear,        &msg_terrain,          &msg_caution_terrain,
      &msg_too_low_terrain, &msg_too_low_flaps,  &msg_too_low_gear,     &msg_dont_sink,        &msg_sink_rate,
      &msg_bank_angle,      &msg_airspeed_low,   &msg_obstacle,         &msg_obstacle_pull_up, &msg_gpws_inop,
      &msg_terrain_ahead,   &msg_alt_callouts,   &appro_mins,           &plus_hundred,         &msg_traffic,
      &msg_mon_vert_spd,    &msg_maint_vert_spd, &msg_climb,            &msg_descent,          &msg_adj_vert_spd,
      &msg_cross_climb,     &msg_cross_descent,  &msg_increase_climb,   &msg_increase_descent, &msg_climb_now,
      &msg_descent_now,     &msg_clear_of_conflict, &msg_adj,           &msg_tcas_alert,       &msg_tcas_pass,
      &msg_tcas_fail,       &msg_app_minimums,   &msg_minimums,         &msg_minimum,          &fmod_::dh_minimum_pilot,
      &fmod_::dh_minimum_copilot, &fmod_::dh_minimums_pilot, &fmod_::dh_minimums_copilot, &cue_fmod::app_dec_height,
      &cue_fmod::dec_height, &system_::below_gs_warn};
  for (float* c : callouts) *c = 0.0f;
}
