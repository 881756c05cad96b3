// Working values that the per-frame systems step carries between frames and
// that the cockpit state arrays save and restore, plus the per-flight values
// drawn at start-up. The systems step owns their meaning; the cockpit state
// exchange and the start-up state only store, restore and initialise them.
#pragma once

#include <cstdint>

// Pressurisation controller.
struct PressurisationState {
  float values[9];     // controller state values 1-9
  int32_t int_state;   // controller integer state
  uint8_t mode2_flag;  // 1 at plug-in load; set again when mode 2 is restored
};
extern PressurisationState pressurisation_state;

struct HydraulicStepState {
  float values[5];  // 1 and 2 follow the IRS selectors at start-up
};
extern HydraulicStepState hydraulic_step_state;

struct ElecBusState {
  float values[4];       // bus state values 1-4 (1-2 also run a countdown)
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
  float bleed_trip[2];      // bleed trip values (cleared by the trip reset)
  float fuel_press[2];      // centre tank fuel pressure copies
  float brake_press_psi;    // working copy of the brake pressure
  float display_values[4];  // brake, ground and traffic display working values
  float flap_copies[3];     // flap handle, slat 1, slat 2
  float trim_constants[2];  // 42.75 and 30 at start-up
  float speedbrake_working[2];
  float nine_values[2];     // 9.0 at start-up
  float ninety_nine;        // 99 at start-up
  float minus_one[3];       // -1 at start-up
};
extern SystemsStepMemory systems_memory;

// Cabin zone temperatures, degrees Celsius.
struct CabinTemperatures {
  float values_degc[7];
};
extern CabinTemperatures cabin_temperatures;

// Fuel indication values: 1 = condition present.
struct FuelIndications {
  float first;
  float left_low;   // left tank below 453 kg
  float right_low;  // right tank below 453 kg
  float imbalance;  // left and right differ by 91 kg or more
  float centre;     // centre tank 363 kg or more with its pump off
};
extern FuelIndications fuel_indications;

// Drawn once per load so each flight's meters read a little differently.
struct PerFlightValues {
  float pair[2];         // [45, 46)
  float third;           // pair[1] + an offset in [-2, 2)
  float ac_freq_hz[6];   // [395, 405)
  float ac_volt_v[5];    // [112, 118)
};
extern PerFlightValues per_flight_values;

// Working values of the panels that the first frame after a load resets.
struct PanelWorkingValues {
  float anti_ice[10];
  float anti_ice_on[2];     // 1.0 at start-up
  float icing[2];           // from the host's frame icing values
  float fire[4];
  float lights_on[2];       // 1.0 at start-up
  float lights_off[2];
  float lights[9];
  float exterior_light;     // 1080.0 at start-up
  float cabin_lighting[4];  // 1, 1, 1, 5 on the cabin-lit families
  float chrono_brightness[2];
};
extern PanelWorkingValues panel_working;

// The engine-running state the switch memory remembers from the host.
extern float engine_running_memory;
