// Airport look-ups by ICAO code: the scripts' position request through
// "corvane/find_icao_cmd" (answered from the host's navaid database) and the
// runway and gate lists of an airport copied out of the navigation tables.
#pragma once

#include <cstdint>

#include "navdata/nav_tables.h"

// Lookup state, published widened to a double: 0 idle, 1 request, 2 found,
// 3 not found.
extern float find_icao_state;

// Writer of "corvane/find_icao_cmd": 1 runs a lookup, a value above 3 resets.
// Reads "zuvadud/D738/find_icao" (6 bytes) and writes "find_icao_lat",
// "find_icao_lon" and "find_icao_height".
void find_icao_write(void* refcon, double value);

constexpr int32_t kRunwayListSize = 20;
constexpr int32_t kGateListSize = 500;

// Each query rewrites its buffer from the start and returns the records
// written; records past that count are left from earlier queries.
extern NavRunway runway_list_buffer[kRunwayListSize];
extern NavGate gate_list_buffer[kGateListSize];

// Runways of the airport named by the first 4 characters of `code` (at least
// 4 characters), in index order, at most 20.
int32_t runways_of_airport(const char* code);
// Gates of the airport whose code is exactly 4 characters, at most 500.
int32_t gates_of_airport(const char* code);
