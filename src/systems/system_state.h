// Working values that the per-frame systems step carries between frames and
// that the cockpit state arrays save and restore, plus the per-flight values
// drawn at start-up. The systems step owns their meaning; the cockpit state
// exchange and the start-up state only store, restore and initialise them.
#pragma once

#include <cstdint>

struct HydraulicStepState {
  // The yaw damper's IRS latches (left, right): the IRS has been aligning or
  // aligned since the yaw damper switch last went off; the start-up sets
  // them from the IRS selectors.
  float yd_irs_seen[2];
  float values[3];  // further hydraulic step values, 0 at start-up
};
extern HydraulicStepState hydraulic_step_state;

struct ElecBusState {
  // Display power-up: 0/1 flags set by the display delay timers, and the
  // standby flight display's alignment (96 s countdown, then ready).
  float capt_displays_ready;
  float fo_displays_ready;
  float isfd_ready;
  float isfd_countdown;  // s
  float flags[2];        // set in the cold and powered states
  float more_flags[2];
  float start_value;     // cleared by the start-up
};
extern ElecBusState elec_bus_state;

// Memory of the systems step between frames.
struct SystemsStepMemory {
  float flap_axis_last;     // last "axis/flap_lever" the flap logic compared
  float speedbrake_state;   // speedbrake lever state value
  float gear_leg[3];        // landing gear leg state values
  float step_value;         // systems-step state value (saved)
  float annunciator_value;  // systems-step value shared with the annunciators
  float sw_step_value;      // systems-step state value of the switch array
  float bleed_temp_degc[2]; // bleed air temperature per engine, -35..350 (outside air after start-up)
  float fuel_press[2];      // centre tank fuel pressure copies
  float brake_press_psi;    // working copy of the brake pressure
  float display_values[4];  // brake, ground and traffic display working values
  float flap_copies[3];     // flap handle, slat 1, slat 2
  float trim_constants[2];  // 42.75 and 30 at start-up
  float speedbrake_working[2];
  float hyd_host_state_a;  // hydraulic state last sent to the host (A, or A+B on host 11); 9 at start-up
  float hyd_host_state_b;  // the same for system B (host 12); 9 at start-up
  float ninety_nine;        // 99 at start-up
  float minus_one[3];       // -1 at start-up
};
extern SystemsStepMemory systems_memory;

// The host's generator failures ("rel_genera0", "rel_genera1") as the last
// generator step left them, so that the host's repair of a failed generator
// is told apart from a failure the scripts' table has yet to pass on.
struct GeneratorFailureMemory {
  int32_t host_seen[2];
};
extern GeneratorFailureMemory generator_failure_memory;

// Cabin zone temperatures, degrees Celsius.
// Slots 0..4 zones 1..5, slots 5 and 6 the supply of packs 1 and 2; each
// kept within -30..60.
struct CabinTemperatures {
  float values_degc[7];
};
extern CabinTemperatures cabin_temperatures;

// Fuel indication values: 1 = condition present.
struct FuelIndications {
  float fuel_load_frames;  // frames since load, 0..2 (centre pumps off over an empty tank)
  float low_latch_left;    // left tank went below 453 kg
  float low_latch_right;   // right tank went below 453 kg
  float imbalance_latch;   // left and right differ by more than 453 kg (clears below it)
  float config_latch;      // centre tank above 762 kg with its pumps off
};
extern FuelIndications fuel_indications;

// Drawn once per load so each flight's meters read a little differently.
struct PerFlightValues {
  float apu_bleed_capability_psi;  // [45, 46): full APU bleed supply
  float second;          // [45, 46)
  float third;           // second + an offset in [-2, 2)
  // Meter sources: standby, ground power, generator 1, APU, generator 2,
  // inverter (frequencies); the standby voltage follows its battery.
  float ac_freq_hz[6];   // [395, 405)
  float ac_volt_v[5];    // [112, 118)
};
extern PerFlightValues per_flight_values;

// The engine-running state the switch memory remembers from the host.
extern float engine_running_memory;
