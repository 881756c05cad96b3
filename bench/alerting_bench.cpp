// Cost of one GPWS frame (mode envelopes, sequencing, callouts) and of one
// traffic computer frame with every slot occupied, on a cycle frame and
// between cycles, plus one frame of the failure scan and the flight rating.
#include <benchmark/benchmark.h>

#include <cmath>

#include "alerting/alerting_steps.h"
#include "alerting/gpws.h"
#include "alerting/tcas.h"
#include "core/binding.h"
#include "core/frame_values.h"
#include "host.h"
#include "systems/electrical/electric_values.h"
#include "systems/switches/switch_values.h"

namespace {

void setup() {
  simhost::reset();
  for (XPLMDataRef& h : bound_handles) h = nullptr;
  bind_outside_datarefs();
  bind_host_datarefs();
  bind_script_datarefs();
  frame_time = 1.0f / 30.0f;
  electric::ac_tnsbus1_status = 1.0f;
  electric::batbus_status = 1.0f;
  knob::transponder_pos = 5.0f;
  HostMirror& h = host_mirror;
  h.sim_flightmodel_position_latitude = 47.0;
  h.sim_flightmodel_position_longitude = 8.0;
  h.sim_flightmodel_position_elevation = 3000.0;
  h.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 1800.0f;
  h.sim_cockpit2_gauges_indicators_altitude_ft_pilot = 9800.0f;
  h.sim_cockpit2_gauges_indicators_airspeed_kts_pilot = 220.0f;
  h.sim_cockpit2_gauges_indicators_vvi_fpm_pilot = -800.0f;
  ScriptMirror& s = script_mirror;
  s.zuvadud_D738_EFIS_tcas_on = s.zuvadud_D738_EFIS_tcas_on_fo = 1.0f;
  s.zuvadud_D738_EFIS_control_capt_map_mode_pos = s.zuvadud_D738_EFIS_control_fo_map_mode_pos = 2.0f;
  s.zuvadud_D738_EFIS_control_capt_exp_map = s.zuvadud_D738_EFIS_control_fo_exp_map = 1.0f;
  s.zuvadud_D738_EFIS_capt_map_range = s.zuvadud_D738_EFIS_fo_map_range = 2.0f;
  s.zuvadud_D738_FMS_flight_phase = 6.0f;
  // Traffic in all 18 slots of the host's target arrays, some of it close.
  tcas_targets_present = 1;
  for (int slot = 1; slot <= 18; ++slot) {
    const float d_deg = 0.01f * static_cast<float>(slot);
    const float b = 0.35f * static_cast<float>(slot);
    h.sim_cockpit2_tcas_targets_position_lat[slot] = 47.0f + d_deg * std::cos(b);
    h.sim_cockpit2_tcas_targets_position_lon[slot] = 8.0f + d_deg * std::sin(b);
    h.sim_cockpit2_tcas_targets_position_ele[slot] = 3000.0f + 60.0f * static_cast<float>(slot % 5);
  }
  tcas_cycle = TcasCycleState{};
  tcas_threat = TcasThreatState{};
  tcas_track = TcasTrackHistory{};
}

// Moves the traffic a little so the track history stays valid.
void drift(float t) {
  for (int slot = 1; slot <= 18; ++slot) host_mirror.sim_cockpit2_tcas_targets_position_lat[slot] += 1e-5f * t;
}

void BM_GpwsUpdate(benchmark::State& state) {
  setup();
  for (auto _ : state) {
    gpws_update();
    benchmark::ClobberMemory();
  }
  simhost::reset();
}
BENCHMARK(BM_GpwsUpdate);

void BM_TcasFrame(benchmark::State& state) {
  setup();
  for (int i = 0; i < 200; ++i) {
    drift(1.0f);
    update_tcas();
  }
  for (auto _ : state) {
    update_tcas();
    benchmark::ClobberMemory();
  }
  simhost::reset();
}
BENCHMARK(BM_TcasFrame);

void BM_TcasCycleFrame(benchmark::State& state) {
  setup();
  for (int i = 0; i < 200; ++i) {
    drift(1.0f);
    update_tcas();
  }
  float sign = 1.0f;
  for (auto _ : state) {
    tcas_cycle.cycle_flag = 1;
    drift(sign);
    sign = -sign;
    update_tcas();
    benchmark::ClobberMemory();
  }
  simhost::reset();
}
BENCHMARK(BM_TcasCycleFrame);

void BM_FailuresAndRating(benchmark::State& state) {
  setup();
  for (auto _ : state) {
    update_fail_reset_available();
    update_random_failures();
    update_engine_failures();
    flight_rating();
    benchmark::ClobberMemory();
  }
  simhost::reset();
}
BENCHMARK(BM_FailuresAndRating);

}  // namespace
