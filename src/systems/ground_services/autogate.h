// Nearest stand finder: which stand of the current airport the aircraft is
// parked at, whether it has ground power, and whether the aircraft sits on a
// runway centre line. Runs twice a second on the ground.
#pragma once

#include <cstdint>

#include "navdata/airport_lookup.h"

// The runway and stand lists of one airport, kept until the airport changes,
// the aircraft climbs above 50 ft or the next load.
struct StandCache {
  int32_t valid;
  char icao[5];
  int32_t runway_count;
  NavRunway runways[kRunwayListSize];
  int32_t gate_count;
  NavGate gates[kGateListSize];
};
extern StandCache stand_cache;

// Per load: the cache forgets its airport and lists.
void stand_cache_clear();
