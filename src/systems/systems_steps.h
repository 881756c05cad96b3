// Aircraft systems and ground services: the per-frame steps the frame
// sequencer calls, the ground-service object slots, the plug-in bus loads and
// the small resets other subsystems' lifecycle code asks of this one.
#pragma once

#include <cstdint>

#include "platform/xplm.h"

// ---- per-frame steps (no arguments, no result) ----
void ice_rain();
void autogate_nearest();
void update_touchdown_effect();
void vortex_effect();
void update_host_bleed_air();
void update_annunciators();
void update_switch_covers();
void update_aircraft_systems();
void update_cockpit_indications();

// Packed script arrays of the systems' own state, written every frame and
// read back when the scripts report a loaded situation.
void write_cover_array();
void read_cover_arrays();
// After a restore: every switch under a closed guard in its guarded position.
void hold_guarded_switches_after_restore();

// ---- ground-service equipment ----
enum GseSlotIndex : int32_t {
  gse_gpu,
  gse_asu,
  gse_fuel_truck,
  gse_fuel_truck2,
  gse_cones,
  gse_de_ice_truck,
  gse_de_ice_truck2,
  gse_slot_count
};
struct GseSlot {
  XPLMObjectRef object;
  XPLMInstanceRef instance;
  uint8_t loaded;  // object file loaded
  uint8_t placed;  // instance positioned in the scenery
};
extern GseSlot gse_slots[gse_slot_count];

// Each destroys its slot's instance, unloads its object, clears both handles
// and the loaded flag.
void gse_unload_gpu();
void gse_unload_asu();
void gse_unload_fuel_truck();
void gse_unload_fuel_truck2();
void gse_unload_cones();
void gse_unload_de_ice_truck();
void gse_unload_de_ice_truck2();
// Plug-in stop: every slot emptied, loaded and placed flags cleared.
void gse_release_all();

// ---- electrical load the plug-in's own consumers put on the host buses ----
// Amperes: the first two are summed by the consumers each frame (zeroed by
// the frame sequencer first); the third is set outright by the exterior
// lights.
extern float plugin_bus_loads[3];

// ---- lifecycle resets ----
// Plug-in start: the carried values of the ice and rain model.
void ice_rain_clear_start_values();
// First frame after a load: the wing and inlet ice the model keeps start from
// the host's own, so that the growth limit does not take for new ice what a
// situation (another model's, the host's own) brought.
void ice_rain_take_host_ice();
// Per load: ice-and-rain value, the rain driver's load stage, nearest-gate finder,
// the per-wheel touchdown values, the gear legs taken from the host next run,
// and the RMI needles.
void systems_reset_on_load();
// While paused: the per-wheel touchdown timers and the published touchdown
// effect values ("zuvadud/D738/effect/touchdown").
void touchdown_effect_clear();

// Tyre-smoke puff per wheel (nose, left main, right main).
struct TouchdownEffectState {
  float smoke_timer_s[3];     // time into the puff; 1.0 after a load (no puff)
  float airborne_timer_s[3];  // time off the ground; 1.0 after a load (ready)
  float smoke_armed[3];       // 0/1: the wheel touched down skidding
  float smoke_strength[3];    // fixed on the puff's first frame
};
extern TouchdownEffectState touchdown_state;

// De-ice holdover and the ice values the effects step keeps.
struct IceRainState {
  float holdover_time_s;  // de-ice fluid protection left; cleared per load
  float frost;            // windshield frost 0..1
  float frame_ice_left;   // wing ice last written to the host
  float frame_ice_right;
  float inlet_ice[2];     // engine inlet ice last written to the host
};
extern IceRainState ice_rain_state;

// The steps, state images and first-frame calls of the subsystems below
// (fire, ground services, radios and audio, lights, rain, anti-ice, clocks,
// ground power, weather requests) are declared in their own headers, included
// here for the frame sequencer and the lifecycle code. After the slots above:
// ground_services/gse.h uses them. The first frame after a load calls, in
// this order, init_light_spill, init_audio_panels and update_light_switches.
#include "systems/electrical/electrical.h"
#include "systems/fire/fire.h"
#include "systems/ground_services/gse.h"
#include "systems/ice_rain/anti_ice.h"
#include "systems/ice_rain/rain.h"
#include "systems/instruments/clocks.h"
#include "systems/lights/cabin_lights.h"
#include "systems/lights/lights.h"
#include "systems/radios/metar.h"
#include "systems/radios/radio_audio.h"
