// Gear lever ground lock. Reads the lever, the lock override, ground contact
// and the lock solenoid's power.
#include "systems/gear_brakes/gear_lever.h"

#include "core/preprocess_values.h"
#include "systems/electrical/bus_feeds.h"
#include "systems/flight_controls/flight_control_values.h"

int32_t gear_lever_latch;

namespace {
constexpr float lever_off_detent = 0.5f;
}

float gear_handle_logic() {
  if (gear_lock_ovrd::position == 1.0f) {
    gear_lever_latch = 0;
    return 0.0f;
  }
  // The lock solenoid is energised to release the lever: without its power
  // the lever stays locked in the air as on the ground, and only the
  // override frees it.
  if (on_ground == 1 || !fed(Consumer::gear_lever_lock)) {
    if (controls::gear_handle_down < lever_off_detent && gear_lever_latch == 0) return 0.0f;
    gear_lever_latch = 1;
    return lever_off_detent;
  }
  gear_lever_latch = 0;
  return 0.0f;
}
