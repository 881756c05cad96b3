// Navigation database: the fixed navaid, fix, approach-aid, airport, runway
// and gate tables filled once at start-up, and the searches spread over frames.
#pragma once

#include <cstdint>

// Loaders; each takes one full path and leaves its table empty when the file
// does not open.
void load_nav_dat(const char* path);
void load_fix_dat(const char* path);
void load_apt_list(const char* path);
void load_rnw_list(const char* path);
void load_gate_list(const char* path);

// Number of records in the navaid-and-fix table.
int32_t nav_waypoint_count();

// Search state: cleared by the per-load reset (also writes the emptied
// nearest-airport identifier to the host).
void reset_nav_search_state();
// Empties both five-entry nearest-airport lists (once per load, load loop).
void clear_nearest_airport_lists();

// Per-frame steps.
void scan_navaids();
void update_nearest_airport();
void map_navaid_ref();
void map_airport_ref();
void map_navaid_symbols();
void map_airport_symbols();

// Map search reference, written by the main loop: aircraft position (f32
// degrees), magnetic ground track and magnetic heading (degrees).
struct MapSearchReference {
  float lat_deg;
  float lon_deg;
  float track_mag_deg;
  float heading_mag_deg;
};
extern MapSearchReference map_search_ref;
