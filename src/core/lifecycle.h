// Plug-in lifecycle: the entry points the host calls, start-up, the reset
// after each aircraft or airport load, and shut-down; the plug-in's own
// paths and the identifiers of its two flight loops.
#pragma once

#include <cstdint>

#include "platform/xplm.h"

constexpr int32_t path_capacity = 512;

extern XPLMPluginID plugin_id;
extern char plugin_path[path_capacity];  // this module's file, as the host reports it
extern int32_t plugin_path_len;
extern char system_root[path_capacity];      // host's root folder, ends in its separator
extern char aircraft_folder[path_capacity];  // relative to system_root, trailing separator, or empty
extern char weather_snapshot_path[path_capacity];  // empty when no weather engine location is known

extern XPLMFlightLoopID main_loop_id;
extern XPLMFlightLoopID state_restore_loop_id;

// Per-load reset: makes the next frames redo the start-up work.
void reset_on_load();

// Start-up path steps, split out so each can be driven on its own.
void find_aircraft_folder();
// Weather-engine probe over a given "APPDATA" value (null when unset).
void probe_weather_engine(const char* appdata);
// Navaids and fixes from the host's data, then the aircraft's own lists.
void load_navigation_database();
