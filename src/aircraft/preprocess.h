// Frame pre-processing and cockpit links: the per-frame steps that prepare
// air data, ground contact, add-on links, SELCAL, options and EFIS copies
// before the subsystems run, and the attendant chime sequencing after them.
// The values they write live in core/preprocess_values.h.
#pragma once

#include "core/preprocess_values.h"

void model_watch();               // re-reads the model on livery change; first-officer add-on flag
void update_addon_flags();        // add-on presence flags and jetway power
void smooth_air_data();           // TAS, speed of sound, TAT, Mach
void update_ground_contact();     // sets on_ground
void selcal_intake();             // the pilot client's calls; none latch or chime without the battery bus
void update_flight_data_copies(); // debug selectors, flight-data copies, cockpit options, pressure altitude
void copy_efis_state();           // EfisSideState and the runway-length copy
void attendant_chime_sequence();

// Publishes air data as given, without smoothing (and Mach from it): the
// load loop's take-over after a situation load.
void publish_air_data_unsmoothed(float tas, float speed_of_sound, float tat_degc);
