// Aircraft systems and ground services: step entry points, ground-service
// slots and the lifecycle resets of the systems' carried state. The models
// behind the steps arrive module by module; until then a step does nothing.
#include "systems/systems_steps.h"

#include "systems/delay_timers.h"
#include "systems/instrument_values.h"

GseSlot gse_slots[gse_slot_count];
float plugin_bus_loads[3];
TouchdownEffectState touchdown_state;
IceRainState ice_rain_state;
GateFinderState gate_finder_state;

void gse_objects_update() {}
void update_metar_request() {}
void ice_rain() {}
void rain_effect_gate() {}
void autogate_nearest() {}
void update_ground_power() {}
void update_touchdown_effect() {}
void vortex_effect() {}
void update_host_bleed_air() {}
// The delay timers run first; the annunciator logic itself arrives later.
void update_annunciators() { update_annunciator_timers(); }
void update_anti_ice() {}
void update_audio_radio_panels() {}
void update_clocks() {}
void fire_update() {}
void update_switch_covers() {}
void update_exterior_lights() {}
void update_cabin_lights() {}
void update_aircraft_systems() {}
void update_light_flash_replay() {}
void update_cockpit_indications() {}

void save_anti_ice_state() {}
void save_fire_state() {}
void write_cover_array() {}
void save_lights_state() {}
void restore_anti_ice_state() {}
void restore_fire_state() {}
void read_cover_arrays() {}
void restore_lights_state() {}

namespace {
void gse_unload(GseSlot& slot) {
  if (slot.instance) XPLMDestroyInstance(slot.instance);
  if (slot.object) XPLMUnloadObject(slot.object);
  slot.instance = nullptr;
  slot.object = nullptr;
  slot.loaded = 0;
}
}  // namespace

void gse_unload_gpu() { gse_unload(gse_slots[gse_gpu]); }
void gse_unload_asu() { gse_unload(gse_slots[gse_asu]); }
void gse_unload_fuel_truck() { gse_unload(gse_slots[gse_fuel_truck]); }
void gse_unload_fuel_truck2() { gse_unload(gse_slots[gse_fuel_truck2]); }
void gse_unload_cones() { gse_unload(gse_slots[gse_cones]); }
void gse_unload_de_ice_truck() { gse_unload(gse_slots[gse_de_ice_truck]); }
void gse_unload_de_ice_truck2() { gse_unload(gse_slots[gse_de_ice_truck2]); }

void gse_release_all() {
  for (GseSlot& slot : gse_slots) {
    gse_unload(slot);
    slot.placed = 0;
  }
}

void ice_rain_clear_start_values() {
  for (float& v : ice_rain_state.start_values) v = 0.0f;
}

void systems_reset_on_load() {
  ice_rain_state.load_value = 0.0f;
  ice_rain_state.rain_effect_flag = 0;
  for (float& v : gate_finder_state.values) v = 0.0f;
  for (float& v : touchdown_state.wheel_factor) v = 1.0f;
  // The per-wheel touchdown values come in pairs; the factor and the timer
  // both restart from 1 after a load.
  for (float& v : touchdown_state.wheel_timer_s) v = 1.0f;
}

void touchdown_effect_clear() {
  for (float& v : touchdown_state.wheel_timer_s) v = 0.0f;
  for (float& v : effect::touchdown) v = 0.0f;
}
void init_light_spill() {}
void init_audio_panels() {}
void update_light_switches() {}
