// Placeholder navigation database: no tables, no searches.
#include "navdata/navdb.h"

MapSearchReference map_search_ref;

void load_nav_dat(const char*) {}
void load_fix_dat(const char*) {}
void load_apt_list(const char*) {}
void load_rnw_list(const char*) {}
void load_gate_list(const char*) {}
int32_t nav_waypoint_count() { return 0; }
void reset_nav_search_state() {}
void clear_nearest_airport_lists() {}
void scan_navaids() {}
void update_nearest_airport() {}
void map_navaid_ref() {}
void map_airport_ref() {}
void map_navaid_symbols() {}
void map_airport_symbols() {}
