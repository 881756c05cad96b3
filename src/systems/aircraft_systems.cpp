// The per-frame aircraft systems step: the fixed order of its sections, the
// calls made between them and the lever memory that carries the flap lever
// and gear handle across a host replay. Each section's logic lives in the
// module declared beside it in aircraft_systems.h.
#include "systems/aircraft_systems.h"

#include "alerting/aural_cues.h"
#include "alerting/gpws.h"
#include "alerting/tcas.h"
#include "core/frame_values.h"
#include "systems/electrical/electrical.h"
#include "systems/flight_controls/flight_control_values.h"
#include "systems/hydraulics/hydraulics.h"
#include "systems/flight_controls/speedbrake_lever.h"
#include "systems/systems_steps.h"

AircraftSystemsFrameState systems_frame;

void restore_levers_after_replay() {
  flt_ctrls::flap_lever = systems_frame.saved_flap_lever;
  controls::gear_handle_down = systems_frame.saved_gear_handle;
  restore_speedbrake_lever_after_replay();
}

void update_aircraft_systems() {
  // While the host replays this step does not run and the replay path moves
  // the levers; the pilot's positions come back before anything reads them.
  if (replay_active == 1.0f) restore_levers_after_replay();
  update_joystick_axes();
  update_pax_oxygen();
  update_named_covers();
  animate_start_switches();
  animate_autobrake_knob();
  transponder_mode_to_host();
  // Buses first: every later section tests them in this frame's state.
  elec_buses_update();
  // Bleed pressures before the start valves and the APU that use them.
  update_pneumatics();
  update_cross_feed();
  update_prop_mode_sync();
  update_ignition_start();
  update_fluid_indications();
  update_fuel_pumps_feed();
  update_apu();
  update_autobrake_arming();
  update_speedbrake();
  update_tyre_speeds_brake_temps();
  hyd_pumps_to_host();
  probe_heat_to_host();
  apu_generator_to_host();
  update_gear_warning_horn();
  update_parking_brake_steering();
  update_pfd_vspeeds();
  update_fuel_quantities();
  update_landing_gear();
  hyd_update();
  update_windshield_wipers();
  brake_pressure_to_host();
  cabin_pressure_interface();
  update_cabin_temperature();
  update_fuel_used();
  update_engine_generators();
  update_elec_meters();
  update_panel_brightness();
  update_nav_fail_flags();
  update_source_indications();
  update_adf();
  update_wing_tyre_failures();
  update_speedbrake_stop();
  update_fuel_temperature();
  update_flaps_slats();
  update_standby_alt_du_select();
  update_stab_trim_wheel();
  update_radio_alt_dial();
  update_crew_oxygen();
  update_trim_switches_reversers();
  gpws_update();
  // The terrain distance is a per-frame pulse: gone unless a later writer of
  // this frame sets it again.
  gpws::terr_dist = 0.0f;
  update_tcas();
  update_autoland_status();
  update_flap_cue_and_lever_relay();
  systems_frame.saved_flap_lever = flt_ctrls::flap_lever;
  systems_frame.saved_gear_handle = controls::gear_handle_down;
}
