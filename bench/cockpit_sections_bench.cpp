// Per-frame cost of the brake, gear, flap, axis, brightness, radio and
// indication sections, the effects steps, and the stand finder over a full
// airport (500 stands, 20 runways) twice a second.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "core/binding.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "host.h"
#include "navdata/geodesy.h"
#include "navdata/navdb.h"
#include "navdata/nav_tables.h"
#include "systems/aircraft_systems.h"
#include "systems/ground_services/autogate.h"
#include "systems/electrical/electric_values.h"
#include "systems/systems_steps.h"
#include "bind_for_test.h"

namespace {

void bind_all() {
  simhost::reset(simhost::Config());
  rebind_datarefs();
  poll_host_datarefs();
  poll_script_datarefs();
  frame_time = 0.02f;
  for (float* bus : {&electric::ac_stdbus_status, &electric::ac_tnsbus1_status, &electric::ac_tnsbus2_status,
                     &electric::dc_bus1_status, &electric::dc_bus2_status, &electric::batbus_status,
                     &electric::dc_stdbus_status, &electric::dir_batbus_status}) {
    *bus = 1.0f;
  }
}

void BM_CockpitSections(benchmark::State& state) {
  bind_all();
  on_ground = 1;
  host_mirror.sim_flightmodel_position_groundspeed = 20.0f;
  for (auto _ : state) {
    update_joystick_axes();
    animate_autobrake_knob();
    transponder_mode_to_host();
    update_autobrake_arming();
    update_speedbrake();
    update_tyre_speeds_brake_temps();
    probe_heat_to_host();
    update_gear_warning_horn();
    update_parking_brake_steering();
    update_pfd_vspeeds();
    update_landing_gear();
    update_windshield_wipers();
    brake_pressure_to_host();
    update_panel_brightness();
    update_nav_fail_flags();
    update_source_indications();
    update_adf();
    update_wing_tyre_failures();
    update_speedbrake_stop();
    update_flaps_slats();
    update_standby_alt_du_select();
    update_stab_trim_wheel();
    update_radio_alt_dial();
    update_trim_switches_reversers();
    update_flap_cue_and_lever_relay();
    update_switch_covers();
    update_named_covers();
    write_cover_array();
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_CockpitSections);

void BM_EffectsSteps(benchmark::State& state) {
  bind_all();
  for (auto _ : state) {
    ice_rain();
    vortex_effect();
    update_touchdown_effect();
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_EffectsSteps);

void BM_StandFinderFullAirport(benchmark::State& state) {
  bind_all();
  nav_db_clear();
  for (int i = 0; i < 20; ++i) {
    NavRunway* r = nav_runway_slot();
    *r = NavRunway{};
    std::snprintf(r->icao, sizeof r->icao, "LSZH");
    r->lat1 = 47.0f + 0.001f * static_cast<float>(i);
    r->lon1 = 8.0f;
    r->lat2 = 47.0f + 0.001f * static_cast<float>(i);
    r->lon2 = 8.03f;
    nav_commit_runway();
  }
  for (int i = 0; i < 500; ++i) {
    NavGate* g = nav_gate_slot();
    *g = NavGate{};
    std::snprintf(g->icao, sizeof g->icao, "LSZH");
    std::snprintf(g->name, sizeof g->name, "G%d", i);
    g->lat = 47.0f + 0.00001f * static_cast<float>(i);
    g->lon = 8.01f;
    nav_commit_gate();
  }
  std::snprintf(nearest_airport_code, sizeof nearest_airport_code, "LSZH");
  host_mirror.sim_flightmodel2_gear_on_ground[0] = 1;
  host_mirror.sim_flightmodel_position_latitude = 47.001;
  host_mirror.sim_flightmodel_position_longitude = 8.01;
  stand_cache_clear();
  autogate_nearest();  // fills the cache once
  for (auto _ : state) {
    autogate_nearest();
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_StandFinderFullAirport);

}  // namespace
