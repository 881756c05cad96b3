// Placeholder core steps: variant detection, pre-processing and route intake.
#include "core/preprocess.h"
#include "core/route.h"
#include "core/variant.h"

int32_t on_ground;
int32_t variant_index = -1;
float model_family = -1.0f;

void detect_variant() {}
void model_watch() {}
void update_addon_flags() {}
void smooth_air_data() {}
void update_ground_contact() {}
void selcal_intake() {}
void update_flight_data_copies() {}
void copy_efis_state() {}
void attendant_chime_sequence() {}
void route_reads() {}
void route_pass() {}
