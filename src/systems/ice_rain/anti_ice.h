// Engine cowl and wing anti-ice valves, the wing's air/ground logic with its
// ground overheat cycle, the four cockpit window heats with their glass
// temperatures, the generator hand-back after lift-off, and the scripts'
// anti-ice state arrays ("zuvadud/D738/antiice" and "antiice_sw", 30 floats
// each) through which this state survives a saved situation.
//
// Reads: switch positions (ice::), bus status (electric::), APU power buses,
// duct pressures, thrust levers, the host's engine, gear, throttle, N1, air
// temperature, ground speed and anti-ice failure mirrors. Writes: the valve positions
// (system_::eng_inlet_valve, wing_anti_ice_valve), ice::wing_*_heat_on, the
// glass temperatures, and the host's inlet, surface and window heat values.
#pragma once

#include <cstdint>

struct AntiIceState {
  float airborne_latch;            // 1 once airborne, cleared on the ground
  int32_t apu_feeding_at_liftoff;  // both APU power buses fed when the latch set
  float wing_heat_set_on_ground;   // wing switch on while on the ground: it trips off after lift-off
  float wing_ground_gate_left;     // 1: wing anti-ice permitted on the ground on that side
  float wing_ground_gate_right;
  int32_t wing_ground_cycle_closed_left;  // valve held shut by the ground overheat cycle
  int32_t wing_ground_cycle_closed_right;
  float wing_ground_cycle_timer_left;     // s, 0..10
  float wing_ground_cycle_timer_right;
  float window_heat_target[4];     // deg C, in WindowIndex order (l_side, l_fwd, r_side, r_fwd)
  float captured_icing_1;          // host icing values as the first frame found them; saved only
  float captured_icing_2;
};
extern AntiIceState anti_ice_state;

constexpr int kAntiIceArraySize = 30;

// Every unpaused, live frame right after the annunciators.
void update_anti_ice();
// Both arrays written whole every frame after the systems step.
void save_anti_ice_state();
// Read back on a loaded situation; pushes the host's FADEC switches.
void restore_anti_ice_state();

// The take-off thrust logic holds the wing valves shut: a thrust lever at
// the take-off setting on the ground, or still there since lift-off.
bool wing_valves_held_for_takeoff();

// Glass temperature (deg C) a heated window settles at for an outside air
// temperature (deg C) and ground speed (m/s): colder, faster air asks more heat.
float window_heated_temp_degc(float oat_degc, float groundspeed_mps);

// The two images save_anti_ice_state writes (for the save and for tests).
void build_anti_ice_images(float state[kAntiIceArraySize], float switches[kAntiIceArraySize]);
