// Fuel boost pump LOW PRESSURE light state, with the automatic shut-off of
// the centre tank pumps: the systems step runs a centre pump only while its
// ctr_pump_auto_off is 0. Computed by the annunciator pass.
#pragma once

#include <cstdint>

enum FuelPumpIndex : int {
  fuel_pump_l1,
  fuel_pump_l2,
  fuel_pump_c1,
  fuel_pump_c2,
  fuel_pump_r1,
  fuel_pump_r2,
  kFuelPumpCount
};

struct FuelPumpLightState {
  float unusable_pitch_lag;  // deg, smoothed pitch
  float unusable_roll_lag;   // deg, smoothed bank
  float pump_low_filter[kFuelPumpCount];  // 0..1, the pump is not delivering
  float pump_low_latch[kFuelPumpCount];
  int32_t condition[kFuelPumpCount];      // light condition of this frame
  // Centre pumps 1 and 2.
  float ctr_pump_light_time[2];   // s the light has been lit, stops at 10
  float ctr_pump_run_filter[2];   // 0..1, commanded on and powered
  float ctr_pump_auto_timer[2];   // s left before the automatic shut-off
  int32_t ctr_pump_auto_off[2];   // 1 once shut off automatically
  int32_t ctr_pump_low_10s[2];    // light lit for 10 s or more (six-pack slot)
};
extern FuelPumpLightState fuel_pump_lights;
