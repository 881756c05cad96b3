// Sections of the systems step whose models are still to come; each is
// replaced by its module's real function (see docs/status.md).
#include "systems/aircraft_systems.h"

