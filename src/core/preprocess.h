// Frame pre-processing and cockpit links: the per-frame steps that prepare
// air data, ground contact, add-on links, SELCAL, options and EFIS copies
// before the subsystems run.
#pragma once

#include <cstdint>

void model_watch();               // re-reads the model on livery change; first-officer add-on flag
void update_addon_flags();        // add-on presence flags and jetway power
void smooth_air_data();           // TAS, speed of sound, TAT, Mach
void update_ground_contact();     // sets on_ground
void selcal_intake();
void update_flight_data_copies(); // debug selectors, flight-data copies, cockpit options, pressure altitude
void copy_efis_state();           // EfisSideState and the runway-length copy
void attendant_chime_sequence();

// 1 when any of the first three gear legs touches the ground.
extern int32_t on_ground;
