// Hydraulic systems A, B and standby, fluid quantities and transfers, and the
// yaw damper engagement. The published hydraulic:: values are the status
// record; this header holds the model's own state.
#pragma once

struct HydraulicState {
  // Drawn per aircraft (randomize_system_values); until then the middle of
  // each drawn range.
  float edp_max_press_a = 2930.0f;  // psi, full output of engine pump A
  float edp_max_press_b = 2930.0f;
  float hyd_fluid_a = 92.0f;        // percent, 0..120
  float hyd_fluid_b = 92.0f;
  float hyd_residual_a = 45.0f;     // psi, 40..50 while there is fluid
  float hyd_residual_b = 45.0f;
  float emdp_press_a = 0.0f;     // pump outputs, psi 0..3500
  float emdp_press_b;
  float edp_press_a;
  float edp_press_b;
  float stby_press_state;  // psi 0..2700
  // 0/1: the standby pump runs by itself for the rudder (a main system low
  // with flaps out), not selected by a switch.
  float stby_rudder_auto;
  // 0/1: the standby pump called for and not failed (standby_on is the call).
  float stby_pump_running;
  float pb_transfer_armed;   // 0/1 parking-brake transfer latch
  float rev_transfer_armed;  // 0/1 reverser transfer latch
  float prev_parking_brake_pos;
  float prev_parking_brake_ratio;
  int prev_rev_mode;
  float hyd_b_status_prev;
  float yd_settle_time;  // s since the first completed frame after a load, up to 5
  float yd_switch_prev;
  float yd_irs_fault;    // 0/1, no valid IRS input for the yaw damper
  // The switch's holding state is the command's own, yaw_damper_switch_state
  // (systems/switches/switch_targets.h): one state, which the trip clears.
  // 0/1, kept with the hydraulic model; while it is 1 the GPWS refuses both
  // of its self-tests (the test gates read it every frame).
  float test_inhibit;
  // The two IRS latches are saved with the cockpit state:
  // hydraulic_step_state.yd_irs_seen (systems/system_state.h).
};
extern HydraulicState hyd_state;

// A system's pressure reaches ailerons, elevators and rudder only with its
// flight control switch at ON: OFF and STBY RUD close its shutoff valve.
bool flight_controls_powered_a();
bool flight_controls_powered_b();

// The per-frame hydraulic and yaw damper step.
void hyd_update();
