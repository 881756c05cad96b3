// The overhead panels' share of every unpaused frame (anti-ice, radio and
// audio panels, clocks, fire, exterior and cabin lights, the three state
// array saves), the ground equipment's steady state with every object
// placed, and the rain driver's per-frame feed.
#include <benchmark/benchmark.h>

#include "core/binding.h"
#include "core/frame_values.h"
#include "host.h"
#include "systems/ice_rain/anti_ice.h"
#include "systems/lights/cabin_lights.h"
#include "systems/instruments/clocks.h"
#include "systems/electrical/electric_values.h"
#include "systems/fire/fire.h"
#include "systems/ground_services/gse.h"
#include "systems/lights/lights.h"
#include "systems/radios/radio_audio.h"
#include "systems/ice_rain/rain.h"

namespace {

void bind_all(const simhost::Config& config = simhost::Config()) {
  simhost::reset(config);
  for (XPLMDataRef& h : bound_handles) h = nullptr;
  bind_outside_datarefs();
  bind_host_datarefs();
  bind_librain_datarefs();
  bind_addon_datarefs();
  bind_script_datarefs();
  poll_host_datarefs();
  poll_script_datarefs();
  frame_time = 0.02f;
  for (float* bus : {&electric::ac_stdbus_status, &electric::ac_tnsbus1_status, &electric::ac_tnsbus2_status,
                     &electric::dc_bus1_status, &electric::dc_bus2_status, &electric::batbus_status,
                     &electric::dir_batbus_status, &electric::main_bus1, &electric::main_bus2}) {
    *bus = 1.0f;
  }
}

void BM_PanelSteps(benchmark::State& state) {
  bind_all();
  init_light_spill();
  init_audio_panels();
  update_light_switches();
  reset_lights_on_load();
  for (auto _ : state) {
    update_anti_ice();
    update_audio_radio_panels();
    update_clocks();
    fire_update();
    update_exterior_lights();
    update_cabin_lights();
  }
  simhost::reset();
}
BENCHMARK(BM_PanelSteps);

void BM_PanelStateSaves(benchmark::State& state) {
  bind_all();
  for (auto _ : state) {
    save_anti_ice_state();
    save_fire_state();
    save_lights_state();
  }
  simhost::reset();
}
BENCHMARK(BM_PanelStateSaves);

// All seven objects wanted and placed: the per-frame cost is the moved check.
void BM_GroundEquipmentPlaced(benchmark::State& state) {
  simhost::Config c;
  c.objects_need_files = false;
  bind_all(c);
  terrain_probe = XPLMCreateProbe(xplm_ProbeY);
  gse_objects_update();
  for (auto _ : state) gse_objects_update();
  gse_release_all();
  XPLMDestroyProbe(terrain_probe);
  terrain_probe = nullptr;
  simhost::reset();
}
BENCHMARK(BM_GroundEquipmentPlaced);

void BM_RainDriverFeed(benchmark::State& state) {
  simhost::Config c;
  c.host_version = 110000;
  simhost::CatalogEntry ok;
  ok.name = "librain/init_success";
  ok.type = 1;
  ok.def = "1";
  c.extra.push_back(ok);
  bind_all(c);
  for (auto _ : state) update_rain_effect();
  simhost::reset();
}
BENCHMARK(BM_RainDriverFeed);

}  // namespace
