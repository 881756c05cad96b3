// Storage of the engine code's carried copies (see engine_state.h).
#include "engines/engine_state.h"

EngineStateCopies engine_copies;
float egt_offset[2];
ThrustLeverState thrust_lever_state;
AutothrottleSpeedState autothrottle_speed_state;
