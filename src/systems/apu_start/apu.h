// APU cockpit logic: start permission and sequence, shutdowns, cool-down,
// exhaust temperature, inlet door, bus enable, and the APU bleed supply that
// the pneumatics read. The start and stop states and the cool-down flags are
// the delay timer bank's (systems/delay_timers.h), which runs their timers:
//   apu_start_state  = delay_flags.apu_start_stage     (0 idle, 1 requested, 2 starting, 3 running)
//   apu_stop_state   = delay_flags.apu_start_companion (0 none, 1 cooling down after OFF)
//   the START command sets state 1 and raises delay_flags.apu_start_request,
//   also over a start under way (the sequence begins again); this step keeps
//   the request at 1 only while state 1 is permitted, so the start delay's
//   expiry begins the start only then
//   apu_cooling_60 = delay_flags.apu_flag_2, apu_cool_60 = delay_timers.apu_delay_2
//   (60 s from OFF to the shutdown; ON within them cancels it)
//   apu_egt_peak_hold = delay_timers.apu_run_delay; apu_start_cmd_hold = apu_starter_hold
// The APU switch commands read apu_start_ready (apu_start_permitted) and
// apu_start_lock (apu_stop_state), and set apu_on_latch (the inlet door
// command) in systems/apu_start/apu_start_state.h; this step keeps all three.
#pragma once

struct ApuState {
  float fuel_available;  // 0/1, read by the next frame's start permission
  float egt;             // tens of degrees C, 0..100 (published apu_temp)
  float egt_target;
  float bus_latch;       // 0/1, only a state restore sets it
  float warmup;          // 0..1 warm-up of the bleed supply
  float load_factor;     // 1.0..1.12 from the air the APU delivers
  float fuel_fault;      // 0/1: a start or a running APU without fuel; OFF clears it
  float bleed_available_psi;  // what the APU's bleed gives with nothing drawing, at its speed and altitude
};
extern ApuState apu_state;

// The APU's bleed supply (psi) for this frame; also updates the warm-up, the
// load factor and the fuel rate. Called by the pneumatics first.
float apu_bleed_supply();

// The boost pumps that feed the APU's fuel, each pair either of its pumps.
struct ApuFuelPumps {
  bool left = false;
  bool centre1 = false;
  bool centre2 = false;
  bool right = false;
};
ApuFuelPumps apu_fuel_pumps();

// After a restore of the packed cockpit state (the start's timers, its stage
// and the APU's running value already in place): a start saved before its
// APU ran is begun again from the top, one whose APU runs carries on, and
// START, spring-loaded, is back at ON. starter_was_held: the host's APU
// start command was held by this flight when the restore came.
void resume_apu_start_after_restore(bool starter_was_held);

// After a load that finds the aircraft alive: an APU the host has running
// stays ON, taken by the start logic as started, instead of being switched
// OFF to cool down and stop. An APU at rest is left as the load set it.
void keep_running_apu_after_load();
