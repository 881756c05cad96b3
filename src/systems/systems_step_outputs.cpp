// Values of the systems step read by the annunciators (systems_step_outputs.h).
#include "systems/systems_step_outputs.h"

float flap_slat_held;
float bleed_duct_value[2];
float isolation_valve_open;
