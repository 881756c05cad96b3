// The per-frame aircraft systems step and the sections it runs, in order.
// `update_aircraft_systems` (declared with the other frame steps in
// systems/systems_steps.h) calls every function below once per frame; each
// section's own state lives in the module named beside it. A section reads
// what earlier sections wrote in the same frame, so the order in
// aircraft_systems.cpp is binding.
#pragma once

// ---- the frame's own memory ----
// Flap lever and gear handle as the last normal frame left them; put back on
// the first frame after a replay, before any section reads them. 0 after load.
struct AircraftSystemsFrameState {
  float saved_flap_lever;
  float saved_gear_handle;
};
extern AircraftSystemsFrameState systems_frame;
// The pilot's flap lever, gear handle and speed brake lever back after a
// replay; the frame calls it itself when a replay ends into a paused frame.
void restore_levers_after_replay();

// ---- electrical sources and meters (elec_sources.cpp) ----
void apu_generator_to_host();      // APU generator switch state to the host
void update_engine_generators();   // availability, failures, drive disconnects
void update_elec_meters();         // AC and DC meters of the electrical panel

// ---- hydraulic pumps (hyd_pumps.cpp) ----
void hyd_pumps_to_host();          // system A/B pressure to the host's hydraulics

// ---- flaps and speed brake (flaps.cpp) ----
void restore_speedbrake_lever_after_replay();

// ---- pneumatics (pneumatics.cpp) ----
void update_pneumatics();          // APU supply, engine bleeds, ducts, packs, bleed mode

// ---- cabin air and oxygen (cabin_air.cpp) ----
void update_pax_oxygen();          // passenger mask deployment
void cabin_pressure_interface();   // pressurisation controller or restored values
void update_cabin_temperature();   // targets, zone temperatures, mix valves, indicator
void update_crew_oxygen();         // crew masks to the host, oxygen sound cues

// ---- engine start switching (engine_start_switching.cpp) ----
void animate_start_switches();     // start switch knob animation
void update_prop_mode_sync();      // reverser mode agreement value
void update_ignition_start();      // igniters, start valves, air starter, EGT redline
void update_fluid_indications();   // oil and fuel-flow indication timing

// ---- APU (apu.cpp) ----
void update_apu();                 // start sequence, shutdowns, EGT, door, bus enable

// ---- fuel (fuel.cpp) ----
void update_cross_feed();          // cross-feed knob and valve
void update_fuel_pumps_feed();     // pumps, suction feed, host selectors, scavenge
void update_fuel_quantities();     // displays, LOW / IMBAL / CONFIG
void update_fuel_used();           // fuel used per engine
void centre_pumps_after_load();    // centre pumps off over an empty tank after load
void update_fuel_temperature();    // real fuel temperature and its gauge

// ---- brakes, gear, flaps, trim and axes, covers, panels, indications, effects ----
// Brakes, autobrake, anti-skid and steering.
void animate_autobrake_knob();
void update_autobrake_arming();
void update_tyre_speeds_brake_temps();
void update_parking_brake_steering();
void brake_pressure_to_host();
// Landing gear.
void update_gear_warning_horn();
void update_landing_gear();
void update_wing_tyre_failures();
// Flaps and speed brake.
void update_speedbrake();
void update_speedbrake_stop();
void update_flaps_slats();
// Trim, manual reversion, reversers and control axes.
void update_joystick_axes();
void update_stab_trim_wheel();
void update_trim_switches_reversers();
// Yoke electric trim from the host's split (A/B) trim commands, run first
// by update_trim_switches_reversers; clears the four switch halves.
void update_split_yoke_trim();
// Guarded covers under the systems step (the numbered covers run before it).
void update_named_covers();
// Every guard closed over its switch, the switch in its guarded position, as
// a new flight starts.
void close_every_guard();
// Probe heat and windshield wipers.
void probe_heat_to_host();
void update_windshield_wipers();
// Panel and instrument brightness.
void update_panel_brightness();
// Radios, ADF and transponder.
void transponder_mode_to_host();
void update_nav_fail_flags();
void update_adf();
// Per load: the RMI needles' source and turn, as at start-up.
void rmi_needles_reset();
// Indications, V-speeds and display selection.
void update_pfd_vspeeds();
void update_source_indications();    // inertial, Mach warning, FMC source, door and windows
void update_standby_alt_du_select();
// The standby altitude from the static pressure at the aircraft: also in a
// replay, from the replayed pressure.
void update_standby_altitude();
void update_radio_alt_dial();
void update_flap_cue_and_lever_relay();  // flap sound cue; levers into the host's light array
// The alerting steps that run inside the systems frame (gpws_update,
// update_tcas, update_autoland_status) are declared in alerting/gpws.h and
// alerting/tcas.h.
