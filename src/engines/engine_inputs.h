// Small input guards shared by the engine modules: a value from the host or
// the scripts that is not a finite number is replaced where it enters a model,
// so no NaN reaches a lag, a table search or a host write.
#pragma once

#include <cmath>
#include <cstdint>

#include "core/util.h"  // finite_or

// Engine index of a host or script array: 0 or 1; anything else reads as 0.
inline int32_t engine_slot(int32_t engine) { return engine == 1 ? 1 : 0; }

// Reads and writes of the host's and the scripts' values: core/host_io.h.
#include "core/host_io.h"
