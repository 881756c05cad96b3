// Switch, guard and selector targets (see the header).
#include "systems/switches/switch_targets.h"

float flt_ctr_A_cover_target;
float flt_ctr_B_cover_target;
float spoiler_A_cover_target;
float spoiler_B_cover_target;
float alt_flaps_cover_target;
float gpws_flap_cover_target;
float gpws_gear_cover_target;
float gpws_terr_cover_target;
float gpws_xraas_cover_target;
float fdr_cover_target;
float stab_trim_overide_cover_target;
float man_gear_cover_target;
float man_gear_handle_target;
float cover_target[cover_count];
float starter1_knob_target;
float starter2_knob_target;
float yaw_damper_switch_state;
