// The magnetic-variation calculator published under "corvane/".
#pragma once

#include <cstdint>

// Magnetic-variation calculator: the scripts write the position and raise the
// request flag; the next read of the result asks the host once and caches it.
extern double mag_var_request_lat_deg;
extern double mag_var_request_lon_deg;
extern float mag_var_request_flag;  // non-zero: a calculation is due
extern float mag_var_cached_deg;

// Reader of the calculated variation (degrees).
float read_mag_var(void* refcon);
