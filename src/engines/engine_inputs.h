// What the engine modules share at their inputs: the engine slot of an array
// index, finite_or for the plug-in's own published values (which the cockpit
// may write) and the quotients that enter a model, and the seam (reads taken
// now, the host's and the scripts' writes). Values read from the mirrors or
// taken now are already finite numbers.
#pragma once

#include <cmath>
#include <cstdint>

#include "core/util.h"  // finite_or

// Engine index of a host or script array: 0 or 1; anything else reads as 0.
inline int32_t engine_slot(int32_t engine) { return engine == 1 ? 1 : 0; }

// Reads and writes of the host's and the scripts' values: core/host_io.h.
#include "core/host_io.h"
#include "core/bound_mirrors.h"

// The air's density ratio to sea level, as the host gives it.
inline float sigma() { return host_mirror.sim_weather_sigma; }

// Whether the host has engine e (0 or 1) separated from the airframe.
inline bool separated(int e) {
  return (e == 0 ? host_mirror.sim_operation_failures_rel_engsep0 : host_mirror.sim_operation_failures_rel_engsep1) == 6;
}
