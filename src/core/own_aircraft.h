// The aircraft's own position and speed as this frame's mirror holds them:
// the one way every subsystem reads them.
#pragma once

#include "core/binding.h"
#include "core/bound_mirrors.h"
#include "core/units.h"

inline double ac_lat() { return mirror_d(bound::sim_flightmodel_position_latitude); }
inline double ac_lon() { return mirror_d(bound::sim_flightmodel_position_longitude); }

// Ground speed in knots. The mirror holds a finite speed within the range any
// aircraft can reach.
inline float ground_speed_kt() { return mirror_f(bound::sim_flightmodel_position_groundspeed) * kt_per_mps; }

// The same with the knots factor to five places, which the wheel brakes' and
// the flaps' speed limits were set against.
inline float ground_speed_kt_5dp() { return host_mirror.sim_flightmodel_position_groundspeed * kt_per_mps_5dp; }
