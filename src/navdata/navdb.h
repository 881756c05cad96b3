// Navigation database: the fixed navaid, fix, approach-aid, airport, runway
// and gate tables filled once at start-up, and the searches spread over frames.
// The tables themselves are in navdata/nav_tables.h.
#pragma once

#include <cstdint>

// Loaders; each takes one full path and leaves its table empty when the file
// does not open. Each returns the entries the file yielded (for earth_nav.dat
// its navaids, approach aids not counted), 0 when it does not open.
int32_t load_nav_dat(const char* path);
int32_t load_fix_dat(const char* path);
int32_t load_apt_list(const char* path);
int32_t load_rnw_list(const char* path);
int32_t load_gate_list(const char* path);

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

// Map search reference, written by the main loop: aircraft position (f32
// degrees), and each side's (0 captain, 1 first officer) magnetic ground
// track and magnetic heading (degrees), from its own instruments.
struct MapSearchReference {
  float lat_deg;
  float lon_deg;
  float track_mag_deg[2];
  float heading_mag_deg[2];
};
extern MapSearchReference map_search_ref;

// ---- scan state ---------------------------------------------------------------

// Per-side placement on one navigation display map (0 captain, 1 first officer).
struct MapSideProjection {
  float x_nm;       // right of the map's up direction
  float y_nm;       // along the map's up direction
  uint8_t visible;  // 1 inside the selected range
};

struct MapNavaidCandidate {
  int32_t kind;     // NavWaypoint kind
  char ident[8];
  float lat;
  float lon;
  MapSideProjection side[2];
};

struct MapAirportCandidate {
  char icao[8];
  float lat;
  float lon;
  MapSideProjection side[2];
  float runway_length;
};

constexpr int32_t kMapCandidates = 1000;  // per buffer; 999 counted, the last rewritten

// One incremental scan: a window of records per frame.
struct NavScanWindow {
  int32_t step;
  int32_t window_size;
  int32_t window_offset;
  int32_t first;
  int32_t last;
  int32_t flag;  // buffer being filled; the map reads the other one
};

struct NearestAirportEntry {
  char icao[5];  // four blanks when empty
  float dist_nm; // 999999 when empty
  float lat;
  float lon;
};

struct NearestAirportSet {
  char nearest_code[6];
  float nearest_dist_nm;
  NearestAirportEntry list[5];  // sorted by distance
};

struct NavSearchState {
  NavScanWindow navaid_scan;
  MapNavaidCandidate navaids[2][kMapCandidates];
  int32_t navaid_count[2];

  NavScanWindow airport_scan;
  MapAirportCandidate airports[2][kMapCandidates];
  int32_t airport_count[2];
  NearestAirportSet nearest[2];
  int32_t first_pass_pending;  // 1 until the first airport pass after a load completes
};
extern NavSearchState nav_search;

// The code last published as "zuvadud/D738/near_apt_icao"; the ground
// services read it.
extern char nearest_airport_code[6];
