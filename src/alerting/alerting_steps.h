// Alerting, traffic and failures: the per-frame steps the frame sequencer
// calls and the lifecycle resets of their carried state.
#pragma once

#include <cstdint>

void update_terrain_radar_link();
void update_fail_reset_available();
void update_random_failures();
void update_engine_failures();
void flight_rating();
void update_engine_overspeed_starvation();

struct FlightRatingState {
  float accumulators[43];     // accumulators, timers and flags; cleared per load
  int32_t phase_index;        // -1 after a load
  // Carried between frames; restarted on a loaded situation (0, 5.0, -1, 0, 0).
  float carried_value;
  float carried_timer_s;
  int32_t carried_index;
  int32_t carried_count_a;
  int32_t carried_count_b;
};
extern FlightRatingState flight_rating_state;

struct TerrainRadarLinkState {
  float values[2];  // cleared per load
};
extern TerrainRadarLinkState terrain_radar_link_state;

struct OverspeedStarvationState {
  float start_values[2];  // cleared at plug-in start
  float accumulators[2];  // cleared per load
};
extern OverspeedStarvationState overspeed_state;

// Per load: flight rating, terrain-radar link, overspeed and starvation.
void alerting_reset_on_load();
// A frame that restores a loaded situation: the flight rating starts afresh.
void flight_rating_restart();
// Plug-in start: the overspeed and starvation model's start values.
void overspeed_clear_start_values();

// Start-up state: per-flight system values and the aural message flags cleared.
void randomize_system_values();
void gpws_msgs_reset();
