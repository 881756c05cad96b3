// Engine start and spool: N2 driven by starter air during start and run-down,
// the windmill floors, the N1/N2/vibration/fan indications, the host's starter
// settings, and the in-flight start envelope.
#pragma once

#include <cstdint>

void update_inflight_start_envelope();
void update_engine_start();
// First frame after a load: the start model's transient values.
void engine_start_clear_state();

// Starter air (N2 % the starter alone reaches) from the pneumatic values; also
// publishes the starter flags.
void starter_air_targets(float out[2]);
// Windmill N1 and N2 % for an altitude (ft), Mach and, for the N1 look-up in
// the lowest Mach band, the wind Mach.
void windmill_floor(float alt_ft, float mach, float wind_mach, float* n1_out, float* n2_out);
// Vibration target (units x 100) from the N1 indication.
float vibration_target(int32_t engine, float n1_indication);

// The starter air comes from the bleed-air model (systems/air/pneumatics.h): its
// APU regulation factor and the ground-air cart pressure.

// The engine damage flags and the N2 fluctuation timer are the failure
// model's (alerting/failure_state.h).

struct EngineStartState {
  float fan_speed_rad_s[2];
  float fan_angle_deg[2];
  float starter_air[2];  // this frame's starter air targets
  // A damaged engine's N2 dip: the fraction drawn for this fluctuation
  // period, and the N2 % the last frame took from the value sent.
  float damage_dip_fraction[2];
  float damage_dip[2];
  // 1 once a running engine's core has reached the starter's cut-out; 0
  // while it does not run.
  uint8_t past_cutout[2];
  // Seconds a lit core has hung below the cut-out for want of starter air.
  float hung_s[2];
};
extern EngineStartState engine_start_state;
