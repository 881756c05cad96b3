// Alerting, traffic and failures: the per-frame steps the frame sequencer
// calls and the lifecycle resets of their carried state.
#pragma once

#include <cstdint>

#include "alerting/engine_failures.h"
#include "alerting/failures.h"
#include "alerting/gpws.h"  // gpws_msgs_reset, for the start-up state
#include "alerting/rating.h"

void update_terrain_radar_link();

struct TerrainRadarLinkState {
  // 1 unless a terrain-radar add-on older than 101800 draws the FIX-page
  // circles itself; 0 after each load until the first frame's check.
  int32_t fix_circles_enabled;
  int32_t terrain_display_link;  // cleared per load
  // The add-on's version, compared unsigned; all ones until it is read.
  uint32_t terrain_radar_version = 4294967295u;
};
extern TerrainRadarLinkState terrain_radar_link_state;

// Every GPWS, TCAS and minimums callout and decision-height cue off: a new
// flight starts silent and a replay sounds none of the aircraft's own.
void silence_callouts();

// Per load: flight rating, terrain-radar link, the fuel-feed countdowns, the
// GPWS windshear window.
void alerting_reset_on_load();
// Plug-in start: the overspeed damage of both engines.
void overspeed_clear_start_values();
