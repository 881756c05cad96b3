// Gear warning horn flags; computed by the systems step.
#include "systems/gear_brakes/gear_horn.h"

int32_t gear_horn_active;
int32_t gear_horn_uncancellable;
