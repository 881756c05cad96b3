// The registration lists of every published dataref, by cockpit area, and
// their withdrawal lists. Start-up runs the lists in the order declared here;
// stop withdraws the service list first, then the others in the same order.
#pragma once

void register_service_datarefs();
void register_engine_model_datarefs();
void register_throttle_datarefs();
void register_annunciator_datarefs();
void register_ice_datarefs();
void register_comm_datarefs();
void register_clock_datarefs();
void register_fire_datarefs();
void register_cover_vent_datarefs();
void register_light_switch_datarefs();
void register_cabin_light_datarefs();
void register_main_datarefs();
void register_tcas_datarefs();
void register_fms_legs_datarefs();

void unregister_service_datarefs();
void unregister_engine_model_datarefs();
void unregister_throttle_datarefs();
void unregister_annunciator_datarefs();
void unregister_ice_datarefs();
void unregister_comm_datarefs();
void unregister_clock_datarefs();
void unregister_fire_datarefs();
void unregister_cover_vent_datarefs();
void unregister_light_switch_datarefs();
void unregister_cabin_light_datarefs();
void unregister_main_datarefs();
void unregister_tcas_datarefs();
void unregister_fms_legs_datarefs();
