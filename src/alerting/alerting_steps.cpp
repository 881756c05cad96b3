// Alerting, traffic and failures: the lifecycle resets the core calls.
#include "alerting/alerting_steps.h"

#include "alerting/gpws.h"

TerrainRadarLinkState terrain_radar_link_state;

void alerting_reset_on_load() {
  flight_rating_reset_on_load();
  terrain_radar_link_state.fix_circles_enabled = 0;
  terrain_radar_link_state.terrain_display_link = 0;
  engine_failures_reset_on_load();
  gpws_windshear_empty();
}

void overspeed_clear_start_values() { engine_failures_clear_at_start(); }
