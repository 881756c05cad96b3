// Plug-in lifecycle: the entry points the host calls, start-up, the reset
// after each aircraft or airport load, and shut-down; the plug-in's own
// paths and the identifiers of its two flight loops.
#pragma once

#include <cstdint>

#include "core/paths.h"
#include "platform/xplm.h"

extern XPLMFlightLoopID main_loop_id;
extern XPLMFlightLoopID state_restore_loop_id;

// Per-load reset: makes the next frames redo the start-up work.
void reset_on_load();
// The same before a situation load through the service channel, which the
// scripts then restore: the cockpit is not set up again for it.
void reset_on_situation_load();

// Start-up path steps, split out so each can be driven on its own.
void find_aircraft_folder();
// Weather-engine probe over a given "APPDATA" value (null when unset).
void probe_weather_engine(const char* appdata);
// Navaids and fixes from the host's data, then the aircraft's own lists.
void load_navigation_database();
