// Navigation tables: storage, the first-character index and the append rule
// shared by every loader.
#include "navdata/nav_tables.h"

#include <cstring>

NavDatabase nav_db;

int char_digit_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  return -1;
}

namespace {

// A bucket takes an entry only while n is below capacity - 2: its last
// element stays unused.
template <int32_t Capacity>
void index_add(NavIndex<Capacity>& index, char key_first, int32_t record) {
  int b = char_digit_value(key_first);
  if (b < 0) return;
  int32_t* bucket = index.buckets[b];
  int32_t n = bucket[0];
  if (n < 0 || n >= Capacity - 2) return;
  bucket[n + 1] = record;
  bucket[0] = n + 1;
}

template <int32_t Capacity>
void index_clear(NavIndex<Capacity>& index) {
  for (auto& bucket : index.buckets) bucket[0] = 0;
}

// Slot for the next record: the count's slot, or the last slot once full.
inline int32_t slot_of(int32_t count, int32_t slots) {
  if (count < 0) return 0;
  return count < slots ? count : slots - 1;
}

template <int32_t Slots, int32_t Capacity>
void commit(int32_t& count, NavIndex<Capacity>& index, const char* key) {
  if (count < 0) count = 0;
  if (count >= Slots - 1) return;  // full: the last slot is rewritten, not counted
  index_add(index, key[0], count);
  ++count;
}

}  // namespace

NavWaypoint* nav_waypoint_slot() { return &nav_db.waypoints[slot_of(nav_db.waypoint_count, kWaypointSlots)]; }
void nav_commit_waypoint() {
  const NavWaypoint& w = *nav_waypoint_slot();
  commit<kWaypointSlots>(nav_db.waypoint_count, nav_db.waypoint_index, w.ident);
}

NavApproachAid* nav_ils_slot() { return &nav_db.ils[slot_of(nav_db.ils_count, kApproachSlots)]; }
void nav_commit_ils() { commit<kApproachSlots>(nav_db.ils_count, nav_db.ils_index, nav_ils_slot()->ident); }

NavApproachAid* nav_gls_slot() { return &nav_db.gls[slot_of(nav_db.gls_count, kApproachSlots)]; }
void nav_commit_gls() { commit<kApproachSlots>(nav_db.gls_count, nav_db.gls_index, nav_gls_slot()->ident); }

NavAirport* nav_airport_slot() { return &nav_db.airports[slot_of(nav_db.airport_count, kAirportSlots)]; }
void nav_commit_airport() {
  commit<kAirportSlots>(nav_db.airport_count, nav_db.airport_index, nav_airport_slot()->icao);
}

NavRunway* nav_runway_slot() { return &nav_db.runways[slot_of(nav_db.runway_count, kRunwaySlots)]; }
void nav_commit_runway() {
  commit<kRunwaySlots>(nav_db.runway_count, nav_db.runway_index, nav_runway_slot()->icao);
}

NavGate* nav_gate_slot() { return &nav_db.gates[slot_of(nav_db.gate_count, kGateSlots)]; }
void nav_commit_gate() { commit<kGateSlots>(nav_db.gate_count, nav_db.gate_index, nav_gate_slot()->icao); }

void nav_reset_navaid_tables() {
  nav_db.waypoint_count = 0;
  nav_db.ils_count = 0;
  nav_db.gls_count = 0;
  index_clear(nav_db.waypoint_index);
  index_clear(nav_db.ils_index);
  index_clear(nav_db.gls_index);
}
void nav_reset_airport_table() {
  nav_db.airport_count = 0;
  index_clear(nav_db.airport_index);
}
void nav_reset_runway_table() {
  nav_db.runway_count = 0;
  index_clear(nav_db.runway_index);
}
void nav_reset_gate_table() {
  nav_db.gate_count = 0;
  index_clear(nav_db.gate_index);
}

void nav_db_clear() {
  nav_reset_navaid_tables();
  nav_reset_airport_table();
  nav_reset_runway_table();
  nav_reset_gate_table();
}
