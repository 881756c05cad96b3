// Alerting, traffic and failures: step entry points and the lifecycle resets
// of their carried state. The models arrive later; until then each step does
// nothing.
#include "alerting/alerting_steps.h"

#include "systems/instrument_values.h"

FlightRatingState flight_rating_state;
TerrainRadarLinkState terrain_radar_link_state;
OverspeedStarvationState overspeed_state;

void update_terrain_radar_link() {}
void update_fail_reset_available() {}
void update_random_failures() {}
void update_engine_failures() {}
void flight_rating() {}
void update_engine_overspeed_starvation() {}

void alerting_reset_on_load() {
  for (float& v : flight_rating_state.accumulators) v = 0.0f;
  flight_rating_state.phase_index = -1;
  for (float& v : flight::app_rating_param) v = 0.0f;
  terrain_radar_link_state.values[0] = 0.0f;
  terrain_radar_link_state.values[1] = 0.0f;
  overspeed_state.accumulators[0] = 0.0f;
  overspeed_state.accumulators[1] = 0.0f;
}

void flight_rating_restart() {
  flight_rating_state.carried_value = 0.0f;
  flight_rating_state.carried_timer_s = 5.0f;
  flight_rating_state.carried_index = -1;
  flight_rating_state.carried_count_a = 0;
  flight_rating_state.carried_count_b = 0;
  for (float& v : flight::app_rating_param) v = 0.0f;
}

void overspeed_clear_start_values() {
  overspeed_state.start_values[0] = 0.0f;
  overspeed_state.start_values[1] = 0.0f;
}
void randomize_system_values() {}
void gpws_msgs_reset() {}
