// Engine failures: the engine failure table turned into host engine failures
// and indications (fire, flame-out, damage, seizure, generator, oil pump, oil
// leak, oil overheat and pressure loss), plus the unarmed sources: overspeed
// damage, fuel starvation at altitude and flame-out in heavy precipitation.
//
// Reads: the engine failure table, host N1/fuel burn/running/oil quantity,
// elevation, tank masses, outside temperature and precipitation, the
// published oil, vibration, fuel pump, cross-feed, start switch and mixture
// values. Writes: host failure items, ENGN_running/oil_quan/N1/N2, the spool
// values of a seized engine, the N1/N2 indications and the fuel selectors.
#pragma once

#include <cstdint>

// Per engine (index 0 engine 1), seconds unless said.
struct EngineFailureState {
  float flameout_timers[2];         // until a flame-out clears; 0 none drawn
  float oil_overheat_timers[2];     // time above the oil temperature limit
  float oil_pressure_loss_timers[2];
  float overspeed_accumulators[2];  // no unit; the engine fails beyond 450
  float suction_feed_timers[2];     // flame-out countdowns
  // 1 once an engine's suction countdown has run out: its feed stays shut
  // (selector none) until fuel can reach it again, so no igniter relights it.
  float suction_starved[2];
  float rain_flameout_timers[2];
  // The host's items of each engine (fire, flame-out, separation, generator,
  // oil pump) as the last run left them: one that was failed and no longer is
  // has been repaired by the host, which takes back the entries behind it.
  int32_t host_items_seen[2][5];
};
extern EngineFailureState engine_failure_state;

void update_engine_failures();
// The half-second step; dt = seconds since its last run.
void engine_overspeed_starvation_step(float dt);
// Main-loop entry: the step with the half-second accumulator as dt.
void update_engine_overspeed_starvation();

void clear_oil_timers();
// Per load: the fuel-feed countdowns; at plug-in start: the overspeed damage.
void engine_failures_reset_on_load();
void engine_failures_clear_at_start();
