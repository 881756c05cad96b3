// Bleed-air network state: engine stage pressures and valves, the APU and
// ground-air supplies, duct pressures, packs and isolation valve, and the
// host's bleed configuration. The published pressures and valve positions are
// the air:: and indicators:: globals; this is the model's own memory.
#pragma once

#include <cstdint>

struct PneumaticsState {
  float engine_supply_psi[2];  // larger of the 5th stage and the high-stage share
  float bleed_demand_psi[2];   // drop the consumers impose, used next frame
  float apu_bleed_demand_psi;  // the same on the APU supply
  float apu_supply_psi;        // APU supply pressure of this frame
  float ground_air_psi;        // air cart, 0..48
  float apu_reg_factor;        // APU bleed regulation 0..1
  float apu_valve_cmd;         // valve commands, 0/1
  float l_pack_cmd;
  float r_pack_cmd;
  float isolation_cmd;
  float dual_bleed;            // 0/1
  float apu_bleed_priority;    // 1 unless the engines out-pressure the APU by 5 psi
  int32_t bleed_mode;          // host bleed mode sent last
  // Each side's duct pressure, psi, 0..80: what the packs, starters and wing
  // anti-ice have. The gauge (indicators/duct_press_L, _R) shows it while it
  // has power; a write to the gauge's value acts as the duct's until the
  // next step replaces it.
  float duct_psi[2];
};
extern PneumaticsState pneumatics;

// Engine stage pressure (psi) from pressure altitude (ft) and indicated N1 (%):
// 5th stage and 9th (high) stage.
float bleed_pressure_a(float altitude_ft, float n1_pct);
float bleed_pressure_b(float altitude_ft, float n1_pct);
