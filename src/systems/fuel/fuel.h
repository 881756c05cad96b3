// Fuel system state beyond the published values: the fuel temperature kept
// finer than its published value, and its gauge's power-up swing. The LOW /
// IMBAL / CONFIG latches and the after-load frame count are the
// fuel_indications of system_state.h.
#pragma once

#include "core/host_io.h"

// Fuel in the host's tank i, kg; 0 for a tank the aircraft does not have.
inline float tank_kg(int i) { return mirror_vf_at(bound::sim_flightmodel_weight_m_fuel, i); }

struct FuelState {
  float fuel_temp_state;  // 0 follow, 1 returning, 2 power-up swing
  float gauge_bus_prev;   // AC transfer bus 2 as the gauge saw it last frame
  // deg C: the fuel temperature moves a few millionths of a degree a frame,
  // below the published float's resolution; taken up again from the
  // published value whenever that was set from elsewhere (start, load).
  double fuel_temp_fine_degc;
  float fuel_used_unpowered_s;  // s the fuel used counters have been without power
};
extern FuelState fuel_state;

// Rounded-up display quantity: to the next 10 (coarse) or the next 0.01.
float fuel_display_round(float value, bool coarse);
