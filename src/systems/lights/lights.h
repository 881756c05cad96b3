// Exterior and cockpit lights: navigation, strobe and beacon lights with their
// flash timing, fixed and retractable landing lights with the optional
// pulsing mode, runway turn-off, taxi, logo, wing and wheel-well lights,
// compass and dome lights, the emergency exit lights with their own battery,
// the panel brightness channels copied from the cockpit, and the cabin
// equipment's load on the plug-in bus loads. The scripts' light state arrays
// ("zuvadud/D738/lights" and "lights_sw", 20 floats each) carry this state
// through a saved situation.
//
// Reads the switch positions, bus status, script light options and the
// host's light, engine, generator and view values; writes the host's generic
// light, landing light, brightness and beacon/strobe values and moves the
// host's strobe and navigation switches with their commands.
#pragma once

struct ExteriorLightsState {
  float strobe_flash_phase;           // s into the 1.4 s flash cycle
  float wing_strobe_flash;            // lamp lit this frame, 0/1
  float beacon_flash;
  float tail_strobe_flash;
  float beacon_flash_latch;           // beacon flash of this cycle has started (standard timing)
  float landing_pulse_phase;          // pulsing landing lights, 0..1
  float landing_pulse_falling;        // 0 rising, 1 falling
  float fixed_landing_left_on;        // 0/1
  float fixed_landing_right_on;
  float retractable_landing_left_on;  // light in ON (the switch commands set it on reaching position 2)
  float retractable_landing_right_on;
  float taxi_light_level;             // 0, 0.5 or 1.0 (set by the taxi switch commands)
  float light_power_factor_a;         // 1.0, or 0 during a short power gap
  float light_power_factor_b;
  float light_power_gap_a;            // s left of that gap
  float light_power_gap_b;
  float replay_flash_step;            // s the replay moved the flash on this frame
  float replay_last_time;             // host running time of the last replay frame
  float emergency_exit_charge;        // s of light left in the exit lights' battery, 0..1080
  float external_view_taxi_scale;     // dimming of the taxi and landing lights seen from outside
  float external_view_turnoff_scale;
};
extern ExteriorLightsState lights_state;

constexpr float kEmergencyExitFullS = 1080.0f;
constexpr int kLightsArraySize = 20;

// Every unpaused, live frame after the guarded covers.
void update_exterior_lights();
// Replay frames only: the flash cycle on the host's running time.
void update_light_flash_replay();
// First frame after each load: compass, dome, taxi level, landing switches,
// cabin equipment power and the panel brightness channels.
void update_light_switches();
// First frame after each load, after update_light_switches: flash and
// landing state cleared, power factors 1, a full exit-light battery.
void reset_lights_on_load();
// A load into a flying aircraft: the landing light switches where the
// host's lights show them (each burning lamp's switch ON, each dark one
// OFF, a retractable one left extended or retracted as it stood).
void take_landing_switches_from_host();
void save_lights_state();
void restore_lights_state();
void build_lights_images(float state[kLightsArraySize], float switches[kLightsArraySize]);

// Taxi light level for a taxi switch position (0 OFF, 1 DIM, 2 ON).
float taxi_level_for_position(float position);
