// The shared state of systems_steps.h (ground-service slots, plug-in bus
// loads, touchdown and ice-and-rain values), the ground-service unload
// operations and the lifecycle resets of the systems' carried state. The
// steps themselves live in their subsystems' files.
#include "systems/systems_steps.h"

#include "systems/aircraft_systems.h"
#include "systems/delay_timers.h"
#include "systems/gear_brakes/gear.h"
#include "systems/ground_services/autogate.h"
#include "systems/ice_rain/rain.h"
#include "systems/instruments/instrument_values.h"

GseSlot gse_slots[gse_slot_count];
float plugin_bus_loads[3];
TouchdownEffectState touchdown_state;
IceRainState ice_rain_state;

namespace {
void gse_unload(GseSlot& slot) {
  if (slot.instance) XPLMDestroyInstance(slot.instance);
  if (slot.object) XPLMUnloadObject(slot.object);
  slot.instance = nullptr;
  slot.object = nullptr;
  slot.loaded = 0;
  slot.placed = 0;
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
  ice_rain_state = IceRainState{};
}

void systems_reset_on_load() {
  ice_rain_state.holdover_time_s = 0.0f;
  rain_driver.load_stage = 0;
  stand_cache_clear();
  gear_legs_from_host = 1;
  rmi_needles_reset();
  // A wheel starts past its puff and ready for the next touchdown, so no
  // smoke shows for the landing gear settling after a load.
  for (float& v : touchdown_state.smoke_timer_s) v = 1.0f;
  for (float& v : touchdown_state.airborne_timer_s) v = 1.0f;
}

void touchdown_effect_clear() {
  for (float& v : touchdown_state.smoke_timer_s) v = 0.0f;
  for (float& v : effect::touchdown) v = 0.0f;
}
