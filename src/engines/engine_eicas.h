// Engine state logic: idle mode by flight state, the density offset of the
// older host's thrust tables, the mixture command, the engine alerts with the
// lower display pop-up, the replay indications and the first-frame engine set-up.
#pragma once

#include <cstdint>

void update_engine_eicas();
void replay_engine_indications();
void init_engine_state();

// Whether the first frame after a load finds the aircraft in the air or any
// of the host's engines running: the cockpit is then taken from the host's
// own state rather than set up for the ramp by the start-up preference.
bool load_finds_aircraft_alive();

// Vibration indication from N1 percent (engine display units).
float vibration_from_n1(float n1_percent);

// Subtracted from the density ratio by the older host's thrust tables and the
// idle ratios; 0 or moving toward 0.1 at approach idle. Cleared per load.
extern float density_offset;

struct EngineEicasState {
  int32_t flight_latch;       // 0 on the ground before flight, 1 airborne, 2 take-off thrust (older host)
  float touchdown_hold_s;     // countdown; on expiry the flight latch returns to 0
  uint8_t alert_first_seen[3];  // exceedance, caution band, vibration
  float alert_countdown_s[3];
  uint8_t alert_running[3];
  uint8_t alert_status_prev;
};
extern EngineEicasState engine_eicas_state;
