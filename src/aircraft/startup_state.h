// The cockpit state of the first unpaused frame after a load: cold and dark,
// powered with the engines off, or engines running, chosen by the host's
// start-up preference ("sim/operation/prefs/startup_running") and the
// scripts' start-up option ("zuvadud/D738/fms/engine_no_running_state");
// the random per-flight values; the switch memory reset; and the failure
// tables cleared for the new flight.
#pragma once

#include <cstdint>

// The three start-up states; mode values other than 0 and 1 select none.
enum class StartupState : int32_t { none, cold_and_dark, powered, engines_running };

// State from the host's start-up mode and the scripts' option.
StartupState startup_state_for(int32_t mode, float option);

// The first-frame block of the main loop (once per load).
void first_frame_block();
// The positions the first-frame block gives the controls a fresh plug-in
// would otherwise show at 0, where 0 is no position of theirs or not the one
// the cockpit starts in: set at start, so that a start or a load under pause
// shows them in place before the block runs.
void set_start_positions();
// The switch set of the start-up state, the per-flight random values and the
// common settings.
void apply_startup_state();
// Microphone selectors, annunciator memory and switch memory.
void reset_switch_memory();
// The battery decision of the first-frame block on its own (nothing calls it).
void init_startup_switches();

// The cabin as the aircraft's state puts it, pushed to the host and
// published: at the field's pressure altitude (ambient_alt_ft) at rest on the
// ground, where the schedule holds it at that pressure altitude in the air.
void cabin_from_aircraft_state(bool ground, float ambient_alt_ft);

// Brake accumulator pressure (psi) by outside air temperature (deg C) in the
// cold and dark and engines running states.
float startup_brake_pressure_psi(float oat_degc);
