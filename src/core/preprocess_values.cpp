// Storage of the frame's pre-processed values (see preprocess_values.h); the
// pre-processing steps in aircraft/preprocess.cpp write them.
#include "core/preprocess_values.h"

#include <cstdint>

int32_t on_ground;
int32_t gear3_on_ground;
FrameFlightData frame_flight_data;
float fms_debug_selector;
float fms_test6_copy;
CockpitOptions cockpit_options;
float static_pressure_altitude_ft;
float nd_runway_length;
EfisSideState efis_side[2];
SelcalState selcal_state;
float selcal_sound_pending;
int32_t attend_chime_count;
float attend_chime_timer;
