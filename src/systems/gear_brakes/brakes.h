// Brakes, autobrake, anti-skid and nose-wheel steering: the brake ratio
// table the pedals and the autobrake are scaled by, the brake model's
// working values, and the shared tests other sections make of them (idle
// levers, manual braking). The pilot's requests arrive through
// brake_command_state.h (toe buttons, held brakes, smooth braking) and
// switch_memory.h (parking brake); the autobrake selector through
// autobrake_state.h.
#pragma once

// Recomputed every frame from runway friction and brake temperatures.
struct BrakeRatioTable {
  float max_ratio_both;  // manual maximum, both sides
  float autobrake_ratio_1;
  float autobrake_ratio_2;
  float autobrake_ratio_3;
  float autobrake_ratio_max;
  float autobrake_ratio_rto;
  float toe_limit_left;  // manual maximum per side, faded by that side's brakes
  float toe_limit_right;
};
extern BrakeRatioTable brake_ratios;

struct BrakeState {
  float toe_out_left;        // pedal command ramped toward the shaped pedal
  float toe_out_right;
  float turn_brake_left;     // differential braking that tightens a turn
  float turn_brake_right;
  float gear_retract_brake;  // 0.2 while the main wheels retract
  float autobrake_inop;      // 1: accumulator discharged or DC bus 1 dead
  float nosewheel_deg;       // nose-wheel angle last written to the host
  float heading_last_deg;    // true heading the frame before, for the turn rate a free nose wheel trails
  float heading_rate_dps;    // the aircraft's turn rate, degrees a second, right positive
  // Brake accumulator demand terms, psi, decaying toward 0.
  float demand_pedals;
  float demand_parking;
  float demand_autobrake;
  float demand_park_ratio;
  // Values of the previous frame the accumulator compares against.
  float host_left_last;
  float host_right_last;
  float parking_set_last;
  float autobrake_last;
  float park_ratio_last;
  float roll_co_last;        // last rolling coefficient written
  float override_by_discharge;  // 1 while a discharged accumulator holds the toe-brake override
  float speedbrake_lever_last;  // speed brake lever as the autobrake last saw it
  float chocks_held_last;       // 1 when the last parking ratio written was the chocks'
  // 1 from a disarm of the landing autobrake (the crew's braking, thrust or
  // speed brake stow, or the loss of system B) until the selector is set
  // OFF: it does not arm again.
  float autobrake_crew_disarm;
  // 1 once the landing autobrake has begun braking on this touchdown (the
  // wheels down and both levers at idle), until it ends.
  float landing_braking;
};
extern BrakeState brake_state;

// Neither engine has its thrust lever above 0.05 in forward thrust.
bool thrust_levers_idle();
// The parking brake, a pedal or a toe-brake button brakes.
bool manual_braking();
// System B without pressure while something should give it: its electric
// pump switched ON, or engine 2 running. A cold stand with the electric
// pumps off is no loss of B.
bool system_b_lost();
