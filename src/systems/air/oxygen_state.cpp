// Storage of the oxygen panel state (see oxygen_state.h).
#include "systems/air/oxygen_state.h"

float oxy_test_active;
int32_t pax_oxy_state;
