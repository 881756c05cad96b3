// Fire protection: the three fire handles (engine 1, engine 2, APU), the two
// engine bottles and the APU bottle, agent reaching an engine, the host's
// engine fires put out, the APU shut down when its bottle fires, and cockpit
// smoke after a long engine fire; plus the scripts' fire state arrays
// ("zuvadud/D738/fire" and "fire_sw", 20 floats each).
//
// Reads the host's fire and smoke failure values and the engine failure
// table; writes the published handle and bottle values (fire::), the host's
// failure values and extinguishers, and the scripts' engine failure table.
#pragma once

#include <cstdint>

enum FireHandle : int32_t { fire_handle_eng1, fire_handle_eng2, fire_handle_apu, fire_handle_count };

struct FireState {
  float fire_handle_arm_target[fire_handle_count];   // pull the commands ask for, 0/1
  float fire_handle_turn_target[fire_handle_count];  // turn the commands ask for, -1/0/1
  float fire_handle_lock[fire_handle_count];         // 1 blocks the pull command
  float engine_fire_timer[2];                        // s the fire has burned, 0..90
  float engine_fire_extinguished[2];
  // psi of agent delivered: engine 1 from the left bottle, engine 1 from the
  // right, engine 2 from the left, engine 2 from the right.
  float agent_delivered[4];
  // A fired bottle empties whole, whatever its handle does next: left and
  // right bottle 0 not fired, 1 into engine 1, 2 into engine 2; the APU
  // bottle 0 or 1. Cleared when the bottle is empty or refilled.
  float bottle_fired[3];
};
extern FireState fire_state;

constexpr int kFireArraySize = 20;

// Every unpaused, live frame after the clocks.
void fire_update();
void save_fire_state();
void restore_fire_state();
void build_fire_images(float state[kFireArraySize], float switches[kFireArraySize]);

// The handle commands' rules. Pull toggles the arm target while the handle
// is unlocked and not turned; a turn (-1 left bottle, +1 right bottle) steps
// the turn target by one, only while the handle is fully pulled. Handles
// outside 0..2 are ignored.
void fire_handle_pull(int32_t handle);
void fire_handle_turn(int32_t handle, int32_t direction);

// Whether engine e's fire switch (0 or 1) is pulled out, which holds its
// engine fuel valve shut: nothing but the switch going back in opens it.
bool fire_switch_holds_fuel_shut(int32_t engine);
