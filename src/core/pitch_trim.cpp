// Storage of the pitch trim state (see pitch_trim.h).
#include "core/pitch_trim.h"

float trim_wheel_target;
float trim_wheel_hold;
