// Storage of the plug-in's identity and paths (see paths.h).
#include "core/paths.h"

XPLMPluginID plugin_id;
char plugin_path[path_capacity];
int32_t plugin_path_len;
char system_root[path_capacity];
char aircraft_folder[path_capacity];
char weather_snapshot_path[path_capacity];
