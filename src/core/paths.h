// The plug-in's identity and the paths found at start-up (by the lifecycle's
// start-up steps): read by the steps that open files beside the aircraft or
// under the host's root.
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
