// Fuel system state beyond the published values: the fuel temperature gauge's
// power-up swing. The LOW / IMBAL / CONFIG latches and the after-load frame
// count are the fuel_indications of system_state.h.
#pragma once

struct FuelState {
  float fuel_temp_state;  // 0 follow, 1 returning, 2 power-up swing
  float gauge_bus_prev;   // AC transfer bus 2 as the gauge saw it last frame
};
extern FuelState fuel_state;

// Rounded-up display quantity: to the next 10 (coarse) or the next 0.01.
float fuel_display_round(float value, bool coarse);
