// Navigation tables: the fixed navaid-and-fix, approach-aid, airport, runway
// and gate tables with their first-character indexes. Filled once by the
// loaders at start-up, read-only afterwards.
#pragma once

#include <cstdint>

// Waypoint kinds.
enum : int32_t { kNavVor = 1, kNavVorDme = 2, kNavNdb = 3, kNavFix = 4, kNavDme = 5 };

struct NavWaypoint {
  int32_t kind;        // kNav*
  char ident[6];
  char area[5];        // airport code the point belongs to, or the en-route marker
  char region[3];
  char name[64];
  float lat;           // degrees
  float lon;           // degrees
  int32_t frequency;   // as written in the file; 0 for fixes
  float extra;         // slaved variation or DME bias; 0 for fixes
};

struct NavApproachAid {
  int32_t kind;        // ILS/LOC: 0 ILS or IGS, 1 localizer row, 2 LOC, 3 LDA; GLS: 0, 1
  char ident[6];
  char airport[5];
  char region[3];
  char runway[4];
  float lat;
  float lon;
  int32_t frequency;   // frequency or channel, as written
  float course;        // degrees
  float course2;       // degrees, -1 when absent
  float glide_path;    // degrees, 0 when absent
  float elevation;     // feet, 0 when absent
};

struct NavAirport {
  char icao[5];
  float lat;
  float lon;
  float value4;        // stored as read, unused
  float value5;        // stored as read, unused
  float runway_length; // compared with the map's minimum runway length
};

struct NavRunway {
  char icao[5];
  char runway[4];      // designator such as 27L
  float lat1, lon1;    // one end
  float lat2, lon2;    // other end
  float value7;        // stored as read, unused
  float value8;        // stored as read, unused
};

struct NavGate {
  char icao[5];
  char name[30];
  float lat;
  float lon;
  int32_t is_gate;     // 1 only when the type text is exactly "gate"
};

// Table capacities in slots; a table counts at most slots - 1 records.
constexpr int32_t kWaypointSlots = 500000;
constexpr int32_t kApproachSlots = 30000;
constexpr int32_t kAirportSlots = 50000;
constexpr int32_t kRunwaySlots = 100000;
constexpr int32_t kGateSlots = 100000;

// Index bucket capacities (i32 elements, element 0 the entry count).
constexpr int32_t kWaypointBucket = 50000;
constexpr int32_t kApproachBucket = 10000;
constexpr int32_t kAirportBucket = 20000;
constexpr int32_t kRunwayBucket = 30000;
constexpr int32_t kGateBucket = 30000;

constexpr int kNavIndexBuckets = 36;

// NavIndex of one table: buckets[b][0] = n, buckets[b][1..n] record numbers
// in append order. A bucket never fills its last element.
template <int32_t Capacity>
struct NavIndex {
  int32_t buckets[kNavIndexBuckets][Capacity];
};

struct NavDatabase {
  NavWaypoint waypoints[kWaypointSlots];
  NavApproachAid ils[kApproachSlots];
  NavApproachAid gls[kApproachSlots];
  NavAirport airports[kAirportSlots];
  NavRunway runways[kRunwaySlots];
  NavGate gates[kGateSlots];

  // Counts in the order waypoints, ILS/LOC, GLS, airports, runways, gates.
  int32_t waypoint_count;
  int32_t ils_count;
  int32_t gls_count;
  int32_t airport_count;
  int32_t runway_count;
  int32_t gate_count;

  NavIndex<kWaypointBucket> waypoint_index;
  NavIndex<kApproachBucket> ils_index;
  NavIndex<kApproachBucket> gls_index;
  NavIndex<kAirportBucket> airport_index;
  NavIndex<kRunwayBucket> runway_index;
  NavIndex<kGateBucket> gate_index;
};

// The one database (static storage, about 90 MB, zero at program start).
extern NavDatabase nav_db;

// Bucket of a key character: '0'-'9' -> 0-9, 'A'-'Z' -> 10-35, else -1.
int char_digit_value(char c);

// Index entries of the bucket of key's first character: returns the count n
// and sets *records to the n record numbers (nullptr / 0 for no bucket).
template <int32_t Capacity>
inline int32_t nav_bucket(const NavIndex<Capacity>& index, char key_first, const int32_t** records) {
  *records = nullptr;
  int b = char_digit_value(key_first);
  if (b < 0) return 0;
  int32_t n = index.buckets[b][0];
  if (n < 0) n = 0;
  if (n > Capacity - 1) n = Capacity - 1;
  *records = &index.buckets[b][1];
  return n;
}

// Appending: the record is written at the slot numbered by the count; the
// count rises and the index gains the record only while the count is below
// slots - 1, so a full table keeps overwriting its last slot.
NavWaypoint* nav_waypoint_slot();
void nav_commit_waypoint();     // counts and indexes the slot just written
NavApproachAid* nav_ils_slot();
void nav_commit_ils();
NavApproachAid* nav_gls_slot();
void nav_commit_gls();
NavAirport* nav_airport_slot();
void nav_commit_airport();
NavRunway* nav_runway_slot();
void nav_commit_runway();
NavGate* nav_gate_slot();
void nav_commit_gate();

// Count resets of the loaders. Each also empties its table's index, so a
// reload never leaves entries that point at records of the earlier file.
void nav_reset_navaid_tables();  // waypoints, ILS/LOC and GLS
void nav_reset_airport_table();
void nav_reset_runway_table();
void nav_reset_gate_table();

// Empties every table and index (tests and benchmarks; start-up relies on
// the zeroed static storage).
void nav_db_clear();
