// Idle ratios, idle-mode logic, N1 command, engine start and indications.
#include <cmath>
#include <limits>
#include <vector>

#include "publication/debug_service.h"
#include "engine_fixture.h"
#include "engines/engine_indications.h"
#include "engines/n1_command.h"
#include "engines/thrust_levers.h"
#include "systems/air/air_values.h"
#include "systems/flight_controls/flight_control_values.h"
#include "systems/hydraulics/hydraulic_values.h"
#include "systems/ice_rain/ice_values.h"
#include "systems/instruments/instrument_values.h"
#include "systems/air/pneumatics.h"
#include "systems/flight_controls/reverse_levers.h"

namespace {

using Idle = EngineTest;

TEST_F(Idle, OlderHostRatiosFollowTemperatureAndDensity) {
  start(110000);
  struct Case {
    float oat, sigma, offset, low, high;
  } cases[] = {{15, 1.0f, 0, 0.515f, 1.36f}, {-20, 1.0f, 0, 0.48f, 1.36f}, {50, 1.0f, 0, 0.605f, 1.36f},
               {15, 0.3f, 0.1f, 0.515f, 2.38f}, {40, 0.6175f, 0, 0.605f, 1.87f}};
  for (const Case& c : cases) {
    host_mirror.sim_cockpit2_temperature_outside_air_temp_degc = c.oat;
    host_mirror.sim_weather_sigma = c.sigma;
    density_offset = c.offset;
    update_idle_ratios();
    EXPECT_NEAR(simhost::get_float("sim/aircraft2/engine/low_idle_ratio"), c.low, 1e-5f) << c.oat;
    EXPECT_NEAR(simhost::get_float("sim/aircraft2/engine/high_idle_ratio"), c.high, 1e-4f) << c.sigma;
    EXPECT_NEAR(acf_high_idle_ratio, c.high, 1e-4f);
  }
}

TEST_F(Idle, NewerHostWritesOnlyWhatDiffers) {
  const char* low = "sim/aircraft2/engine/low_idle_ratio";
  const char* high = "sim/aircraft2/engine/high_idle_ratio";
  acf_low_idle_ratio = 0.6f;
  acf_high_idle_ratio = 0.67f;
  update_idle_ratios();
  EXPECT_EQ(simhost::counts(low).writes + simhost::counts(high).writes, 0);
  acf_low_idle_ratio = 0.5f;
  acf_high_idle_ratio = 0.65f;
  update_idle_ratios();
  EXPECT_EQ(simhost::counts(low).writes, 1);
  EXPECT_EQ(simhost::counts(high).writes, 1);
  EXPECT_FLOAT_EQ(simhost::get_float(low), 0.6f);
  EXPECT_FLOAT_EQ(simhost::get_float(high), 0.67f);
  EXPECT_FLOAT_EQ(acf_low_idle_ratio, 0.6f);
}

using IdleMode = EngineTest;

TEST_F(IdleMode, NewerHostHoldsFlightIdleFiveSecondsAfterTouchdown) {
  on_ground = 0;
  host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 500.0f;
  host_mirror.sim_flightmodel2_position_pressure_altitude = 500.0;
  update_engine_eicas();
  EXPECT_EQ(engine::idle_mode[0], 1.0f);
  on_ground = 1;
  host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 0.0f;
  host_mirror.sim_flightmodel_engine_ENGN_thro_use[0] = 0.9f;  // whatever the throttle
  int flight_frames = 0;
  for (int i = 0; i < 200 && engine::idle_mode[0] != 0.0f; ++i) {
    update_engine_eicas();
    if (engine::idle_mode[0] == 1.0f) ++flight_frames;
  }
  EXPECT_NEAR(flight_frames * frame_time, 5.0f, 0.11f);
  EXPECT_EQ(engine::idle_mode[1], 0.0f);
}

TEST_F(IdleMode, OlderHostHoldDependsOnHowTheFlightBegan) {
  start(110000);
  struct Case {
    bool from_ground;
    float hold_s;
  } cases[] = {{true, 2.0f}, {false, 5.0f}};
  for (const Case& c : cases) {
    engine_eicas_state = EngineEicasState{};
    on_ground = 1;
    host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 0.0f;
    if (c.from_ground) {
      // Take-off thrust on the ground raises the latch to 2.
      host_mirror.sim_flightmodel_engine_ENGN_thro_use[0] = 0.3f;
      update_engine_eicas();
      EXPECT_EQ(engine::idle_mode[0], 1.0f);
    }
    on_ground = 0;
    host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 800.0f;
    update_engine_eicas();
    on_ground = 1;
    host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 0.0f;
    host_mirror.sim_flightmodel_engine_ENGN_thro_use[0] = 0.05f;
    int flight_frames = 0;
    for (int i = 0; i < 200 && engine::idle_mode[0] != 0.0f; ++i) {
      update_engine_eicas();
      if (engine::idle_mode[0] != 0.0f) ++flight_frames;
    }
    EXPECT_NEAR(flight_frames * frame_time, c.hold_s, 0.11f) << c.from_ground;
  }
  // Advancing a throttle during the hold cancels it.
  host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 800.0f;
  on_ground = 0;
  update_engine_eicas();
  on_ground = 1;
  host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 0.0f;
  host_mirror.sim_flightmodel_engine_ENGN_thro_use[1] = 0.2f;
  for (int i = 0; i < 200; ++i) update_engine_eicas();
  EXPECT_EQ(engine::idle_mode[0], 1.0f);
}

TEST_F(IdleMode, FlapsOutGiveApproachIdleAndTheDensityOffset) {
  on_ground = 0;
  host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 2000.0f;
  host_mirror.sim_flightmodel2_position_pressure_altitude = 3000.0;
  host_mirror.sim_cockpit2_controls_flap_handle_deploy_ratio = 0.625f;
  for (int i = 0; i < 40; ++i) update_engine_eicas();  // 2 s
  EXPECT_EQ(engine::idle_mode[0], 2.0f);
  EXPECT_NEAR(density_offset, 0.1f, 1e-6f);
  host_mirror.sim_flightmodel2_position_pressure_altitude = 16000.0;
  update_engine_eicas();
  EXPECT_EQ(engine::idle_mode[1], 1.0f);
}

TEST_F(IdleMode, AlertPopsTheLowerDisplayOnceAndBlinksThenSteadies) {
  engine::indicators_N2_percent_1 = 102.0f;  // exceedance
  script_mirror.zuvadud_D738_systems_lowerDU_page = 0.0f;
  update_engine_eicas();
  EXPECT_EQ(script_mirror.zuvadud_D738_systems_lowerDU_page, 1.0f);
  EXPECT_EQ(simhost::counts("zuvadud/D738/systems/lowerDU_page").writes, 1);
  script_mirror.zuvadud_D738_systems_lowerDU_page = 3.0f;  // the crew chose another page
  update_engine_eicas();
  EXPECT_EQ(simhost::counts("zuvadud/D738/systems/lowerDU_page").writes, 1);
  script_mirror.zuvadud_D738_systems_lowerDU_page = 2.0f;
  script_mirror.zuvadud_D738_autopilot_blink = 1.0f;
  update_engine_eicas();
  EXPECT_EQ(eicas::warn, 1.0f);
  for (int i = 0; i < 200; ++i) update_engine_eicas();
  EXPECT_EQ(eicas::warn, 2.0f);
  EXPECT_FLOAT_EQ(vibration_from_n1(10.0f), 1.81f);
  EXPECT_FLOAT_EQ(vibration_from_n1(200.0f), 1.47f);
  EXPECT_FLOAT_EQ(vibration_from_n1(NAN), 0.0f);
}

using N1Command = EngineTest;

TEST_F(N1Command, TableTemperatureFifteenUsesTheWarmPair) {
  start(110000);
  host_mirror.sim_cockpit2_temperature_outside_air_temp_degc = 15.0f;
  host_mirror.sim_weather_sigma = 1.0f;
  EXPECT_NEAR(requested_n1_fraction(0.0f, 0.0f, 1, 0), 0.195f, 1e-6f);
  host_mirror.sim_cockpit2_temperature_outside_air_temp_degc = 40.0f;
  EXPECT_NEAR(requested_n1_fraction(0.0f, 0.0f, 1, 0), 0.208f, 1e-6f);
  host_mirror.sim_weather_sigma = 0.235f;
  EXPECT_NEAR(requested_n1_fraction(0.0f, 0.0f, 1, 0), 0.237f, 1e-6f);
}

TEST_F(N1Command, GroundIdleRequestTrailsTheSpoolingEngine) {
  host_mirror.sim_cockpit2_temperature_outside_air_temp_degc = 15.0f;
  engine::idle_mode[0] = engine::idle_mode[1] = 1.0f;
  engine::indicators_N1_percent_1 = 45.0f;
  engine::thrust1_leveler = 0.6f;
  engine_n1_command_update();
  engine::thrust1_leveler = 0.0f;
  engine::idle_mode[0] = engine::idle_mode[1] = 0.0f;
  compute_idle_n1(0.0f, 0.0f);
  engine_n1_command_update();
  EXPECT_NEAR(n1_command_state.requested_n1[0], 0.43f, 1e-5f);
  float n1 = 45.0f;
  while (n1 > 21.0f) {
    n1 -= 1.0f;
    engine::indicators_N1_percent_1 = n1;
    engine_n1_command_update();
    const float ground = requested_n1_fraction(0.0f, 0.0f, 1, 0) * 100.0f;
    const float expect = n1 - ground > 0.2f ? (n1 - 2.0f > ground ? n1 - 2.0f : ground) : ground;
    EXPECT_NEAR(n1_command_state.requested_n1[0] * 100.0f, expect, 1e-3f) << n1;
  }
  EXPECT_EQ(n1_command_state.spool_down_done[0], 0);
  // Within 0.2 points of the ground request the trailing ends.
  engine::indicators_N1_percent_1 = requested_n1_fraction(0.0f, 0.0f, 1, 0) * 100.0f + 0.1f;
  engine_n1_command_update();
  EXPECT_EQ(n1_command_state.spool_down_done[0], 1);
}

TEST_F(N1Command, ThrottleRatioSpoolsSlowlyFromGroundIdle) {
  engine::indicators_N1_percent_1 = 30.0f;
  engine::thrust1_leveler = 1.0f;
  engine_n1_command_update();
  EXPECT_NEAR(n1_command_state.throttle_ratio[0], 0.05f / 38.0f, 1e-6f);
  engine::indicators_N1_percent_1 = 37.0f;  // above 36 % on the newer host
  n1_command_state.throttle_ratio[0] = 0.5f;
  engine_n1_command_update();
  EXPECT_NEAR(n1_command_state.throttle_ratio[0], 0.5f + 0.025f, 1e-6f);
  engine::thrust1_leveler = 0.0f;
  engine_n1_command_update();
  EXPECT_NEAR(n1_command_state.throttle_ratio[0], 0.525f - 0.0135f, 1e-6f);
  EXPECT_EQ(simhost::get_floats("sim/flightmodel/engine/ENGN_thro_use")[0], n1_command_state.throttle_ratio[0]);
}

TEST_F(N1Command, LimitsAndNewerHostGroundIdleLimit) {
  script_mirror.zuvadud_D738_FMS_N1_mode_thrust[0] = 0.95f;
  script_mirror.zuvadud_D738_FMS_N1_mode_thrust[1] = 0.95f;
  engine_n1_command_update();
  EXPECT_FLOAT_EQ(engine::eng1_N1_lim, n1_table_lookup(0.95f, 0, 0.0f));
  EXPECT_FLOAT_EQ(engine::eng1_N1_lim2, n1_table_lookup(0.855f, 0, 0.0f));
  // The limit is the ratio that, looked up again, gives the limit N1.
  engine::idle_mode[0] = engine::idle_mode[1] = 1.0f;
  compute_idle_n1(1.0f, 1.0f);
  engine_n1_command_update();
  const float lever = throttle_to_n1_fraction(engine::eng2_N1_lim, 1.0f, 1, 1);
  EXPECT_NEAR(requested_n1_fraction(lever, 1.0f, 1, 1), 0.95f, 1e-4f);
}

TEST_F(N1Command, MissingScriptRequestStopsEverything) {
  bound_handles[bound::zuvadud_D738_engine_eng2_req_n1] = nullptr;
  engine::thrust1_leveler = 1.0f;
  engine_n1_command_update();
  EXPECT_EQ(n1_command_state.throttle_ratio[0], 0.0f);
  EXPECT_EQ(simhost::counts("sim/flightmodel/engine/ENGN_thro_use").writes, 0);
}

using Start = EngineTest;

TEST_F(Start, StarterAirAndEnvelope) {
  pneumatics.duct_psi[0] = 21.6f;
  air::apu_bleed_valve_pos = 1.0f;
  pneumatics.apu_reg_factor = 1.0f;
  float air[2];
  starter_air_targets(air);
  EXPECT_NEAR(air[0], 26.1f, 1e-4f);
  air::isolation_bleed_valve_pos = 1.0f;
  engine::start_valve2 = 1.0f;
  starter_air_targets(air);
  EXPECT_NEAR(air[0], 26.1f * 0.58f, 1e-3f);
  pneumatics.duct_psi[0] = 10.5f;
  pneumatics.duct_psi[1] = 5.0f;
  starter_air_targets(air);
  EXPECT_EQ(air[0], 0.0f);
  EXPECT_EQ(engine::starter, 0.0f);
  // The air cart of the bleed-air model feeds the starters while the scripts
  // say it is connected.
  pneumatics.ground_air_psi = 48.0f;
  starter_air_targets(air);
  EXPECT_EQ(air[0], 0.0f);
  script_mirror.zuvadud_D738_engine_engine_air_start = 1.0f;
  starter_air_targets(air);
  EXPECT_GT(air[0], 0.0f);
  script_mirror.zuvadud_D738_engine_engine_air_start = 0.0f;
  pneumatics.ground_air_psi = 0.0f;

  struct Case {
    float alt_ft, ias, wms;
  } cases[] = {{20000, 290, 1}, {20000, 289, 0}, {25000, 400, 0}, {-100, 301, 1}};
  host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 5000.0f;
  for (const Case& c : cases) {
    host_mirror.sim_flightmodel_position_elevation = c.alt_ft / 3.281;
    host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_pilot = c.ias;
    update_inflight_start_envelope();
    EXPECT_EQ(systems::wms, c.wms) << c.alt_ft << " " << c.ias;
  }
  // Cross-bleed: engine 1 stopped, engine 2 running, inside the band.
  host_mirror.sim_flightmodel_position_elevation = 20000.0 / 3.281;
  host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_pilot = 250.0f;
  host_mirror.sim_flightmodel2_engines_N1_percent[1] = 80.0f;
  host_mirror.sim_flightmodel_engine_ENGN_running[1] = 1;
  update_inflight_start_envelope();
  EXPECT_EQ(systems::xbld_start1, 1.0f);
  host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_pilot = 219.0f;  // below the band: kept
  update_inflight_start_envelope();
  EXPECT_EQ(systems::xbld_start1, 1.0f);
  host_mirror.sim_flightmodel_position_elevation = 24000.0 / 3.281;
  update_inflight_start_envelope();
  EXPECT_EQ(systems::xbld_start1 + systems::xbld_start2 + systems::wms, 0.0f);
}

TEST_F(Start, GroundStartRampsAtTheStartRateThenRunsDown) {
  pneumatics.duct_psi[0] = 21.6f;
  air::apu_bleed_valve_pos = 1.0f;
  pneumatics.apu_reg_factor = 1.0f;
  air::isolation_bleed_valve_pos = 0.0f;
  engine::start_valve2 = 0.0f;
  engine::starter1_pos = 0.0f;  // GRD
  engine::starter2_pos = 1.0f;
  update_engine_start();
  EXPECT_NEAR(engine_copies.spool_n2[0], 1.2f * frame_time, 1e-5f);
  for (int i = 0; i < 600; ++i) update_engine_start();
  EXPECT_NEAR(engine_copies.spool_n2[0], 26.1f, 1e-3f);
  EXPECT_FLOAT_EQ(simhost::get_floats("sim/flightmodel/engine/ENGN_N2_")[0], engine_copies.spool_n2[0]);
  // Starter air gone: the run-down curve.
  pneumatics.duct_psi[0] = 0.0f;
  update_engine_start();
  EXPECT_LT(engine_copies.spool_n2[0], 26.1f);
  EXPECT_EQ(engine_copies.spool_n2[1], 0.0f);
  // A running engine follows the host once past 56 %.
  host_mirror.sim_flightmodel_engine_ENGN_running[1] = 1;
  engine_copies.spool_n2[1] = 57.0f;
  host_mirror.sim_flightmodel_engine_ENGN_N2_[1] = 63.0f;
  update_engine_start();
  EXPECT_EQ(engine_copies.spool_n2[1], 63.0f);
}

TEST_F(Start, WindmillAndVibration) {
  float n1 = 0.0f;
  float n2 = 0.0f;
  windmill_floor(0.0f, 0.3f, 0.0f, &n1, &n2);
  EXPECT_NEAR(n1, 13.45f, 1e-4f);
  EXPECT_NEAR(n2, 6.95f, 1e-4f);
  windmill_floor(45000.0f, 0.85f, 0.0f, &n1, &n2);
  EXPECT_NEAR(n1, (20.54f + 20.82f) / 2, 1e-3f);
  // The top N2 row keeps falling with altitude: 0.959 of the 35000 ft row.
  EXPECT_NEAR(n2, 0.959f * (17.28f + 17.54f) / 2, 0.01f);
  windmill_floor(45000.0f, 0.5f, 0.0f, &n1, &n2);
  EXPECT_NEAR(n2, 0.959f * 10.53f, 0.01f);
  // A Mach far off either end of the table reads its end column.
  float top_n1 = 0.0f;
  float top_n2 = 0.0f;
  windmill_floor(45000.0f, 0.95f, 0.0f, &top_n1, &top_n2);
  for (float m : {1e30f, std::numeric_limits<float>::infinity()}) {
    windmill_floor(45000.0f, m, 0.0f, &n1, &n2);
    EXPECT_EQ(n1, top_n1) << m;
    EXPECT_EQ(n2, top_n2) << m;
  }
  float low_n1 = 0.0f;
  float low_n2 = 0.0f;
  windmill_floor(0.0f, 0.0f, 0.0f, &low_n1, &low_n2);
  windmill_floor(0.0f, -1e30f, 0.0f, &n1, &n2);
  EXPECT_EQ(n1, low_n1);
  EXPECT_EQ(n2, low_n2);
  EXPECT_FLOAT_EQ(vibration_target(0, 10.0f), 181.0f);
  EXPECT_FLOAT_EQ(vibration_target(1, 200.0f), 156.0f);
}

using Indications = EngineTest;

TEST_F(Indications, TablesAndOilPressure) {
  EXPECT_EQ(start_egt_table(15.0f), 68.0f);
  EXPECT_EQ(start_egt_table(60.0f), 451.0f);
  EXPECT_NEAR(start_egt_table(40.9f), 205.0f, 1e-4f);
  const float full = oil_pressure_for(70.0f, 14.7f, 0.8f);
  EXPECT_NEAR(oil_pressure_for(70.0f, 14.7f, 0.3f), full / 2, 1e-4f);
  EXPECT_EQ(oil_pressure_for(70.0f, 14.7f, 0.04f), 0.0f);
  EXPECT_EQ(oil_pressure_for(5.0f, 14.7f, 1.0f), 0.0f);
}

TEST_F(Indications, FuelFlowSettlesOnTheHostOrTheIdleFloor) {
  engine::spar1_valve = engine::eng1_valve = 1.0f;
  host_mirror.sim_flightmodel_engine_ENGN_running[0] = 1;
  host_mirror.sim_flightmodel2_engines_N2_percent[0] = 60.0f;
  host_mirror.sim_cockpit2_engine_indicators_fuel_flow_kg_sec[0] = 0.08f;
  engine::indicators_N2_percent_1 = 58.0f;
  for (int i = 0; i < 1200; ++i) update_engine_indications();
  EXPECT_NEAR(engine::fuel_flow_kg_sec[0], 0.08f, 1e-4f);
  engine::indicators_N2_percent_1 = 50.0f;
  for (int i = 0; i < 1200; ++i) update_engine_indications();
  EXPECT_NEAR(engine::fuel_flow_kg_sec[0], 0.082177f, 1e-4f);
  // Valves short of fully open: the flow decays away.
  engine::spar1_valve = engine::eng1_valve = 0.94f;
  for (int i = 0; i < 1200; ++i) update_engine_indications();
  EXPECT_LT(engine::fuel_flow_kg_sec[0], 1e-4f);
}

// The displayed flow of a starting engine: up to 0.09722 kg/s at 6.5 %/s
// of a kg/s, back to 0.082177 at 3 %/s, then the host's flow.
TEST_F(Indications, FuelFlowStartPulse) {
  engine_indication_state = EngineIndicationState{};
  engine::spar1_valve = engine::eng1_valve = 1.0f;
  host_mirror.sim_flightmodel2_engines_N2_percent[0] = 60.0f;
  engine::indicators_N2_percent_1 = 60.0f;
  host_mirror.sim_cockpit2_engine_indicators_fuel_flow_kg_sec[0] = 0.3f;
  for (int i = 0; i < 50; ++i) update_engine_indications();  // fuel on, not yet running
  ASSERT_EQ(engine::fuel_flow_kg_sec[0], 0.0f);
  host_mirror.sim_flightmodel_engine_ENGN_running[0] = 1;
  std::vector<float> ff;
  for (int i = 0; i < 45; ++i) {
    update_engine_indications();
    ff.push_back(engine::fuel_flow_kg_sec[0]);
  }
  EXPECT_LT(ff[28], 0.0972f);
  EXPECT_FLOAT_EQ(ff[29], 0.09722f);  // 1.5 s
  EXPECT_LT(ff[30], ff[29]);
  EXPECT_GT(ff[39], 0.0822f);
  EXPECT_FLOAT_EQ(ff[40], 0.082177f);  // 0.55 s later
  EXPECT_GT(ff[41], ff[40]);           // toward the host's 0.3
}

// EGT of a running engine from its fuel flow: about 452 degC at 0.1 kg/s and
// 746 at 1 kg/s. Engine 2 reads its displayed flow, which stays at 0 while
// its valves are shut; engine 1 reads the host's.
TEST_F(Indications, EgtTargetFromFuelFlow) {
  struct Case {
    int e;
    float host_ff, valves, egt;
  } cases[] = {{0, 0.1f, 1, 452.4f}, {0, 1.0f, 1, 746.2f}, {0, 0.1f, 0, 452.4f}, {1, 0.1f, 1, 452.4f}, {1, 0.1f, 0, 15.0f}};
  for (const Case& c : cases) {
    start(120000);
    engine_indication_state = EngineIndicationState{};
    egt_offset[0] = egt_offset[1] = 0.0f;
    engine::eng1_egt = engine::eng2_egt = 15.0f;
    engine::fuel_flow_kg_sec[0] = engine::fuel_flow_kg_sec[1] = 0.0f;
    engine::spar1_valve = engine::eng1_valve = engine::spar2_valve = engine::eng2_valve = c.valves;
    for (int e = 0; e < 2; ++e) {
      host_mirror.sim_flightmodel_engine_ENGN_running[e] = 1;
      host_mirror.sim_flightmodel2_engines_N2_percent[e] = 80.0f;
      host_mirror.sim_cockpit2_engine_indicators_fuel_flow_kg_sec[e] = c.host_ff;
    }
    engine::indicators_N2_percent_1 = engine::indicators_N2_percent_2 = 80.0f;
    for (int i = 0; i < 3000; ++i) update_engine_indications();
    EXPECT_NEAR(c.e == 0 ? engine::eng1_egt : engine::eng2_egt, c.egt, 0.2f) << c.e << " " << c.host_ff << " " << c.valves;
  }
}

// A shutdown from 80 % N2 raises the EGT by 100 + 23 x 40 / 44.4 degC while
// N2 runs down untouched; the rise ends 45 degC short of its target.
TEST_F(Indications, EgtRisesAfterShutdownWhileN2RunsDown) {
  engine_indication_state = EngineIndicationState{};
  egt_offset[0] = 0.0f;
  engine::spar1_valve = engine::eng1_valve = 1.0f;
  host_mirror.sim_flightmodel_engine_ENGN_running[0] = 1;
  engine::indicators_N2_percent_1 = 80.0f;
  update_engine_indications();
  engine::eng1_egt = 500.0f;
  host_mirror.sim_flightmodel_engine_ENGN_running[0] = 0;
  host_mirror.sim_flightmodel2_engines_N2_percent[0] = 40.0f;  // the host spools down at once
  update_engine_indications();
  EXPECT_EQ(engine_indication_state.egt_stop_state[0], 1);
  EXPECT_NEAR(engine_indication_state.egt_stop_target[0], 620.72f, 0.01f);
  EXPECT_EQ(host_mirror.sim_flightmodel2_engines_N2_percent[0], 40.0f);
  EXPECT_GT(engine::eng1_egt, 500.0f);
  int frames = 1;
  float highest = engine::eng1_egt;
  while (engine_indication_state.egt_stop_state[0] == 1 && frames < 400) {
    highest = engine::eng1_egt;
    update_engine_indications();
    ++frames;
  }
  EXPECT_EQ(engine_indication_state.egt_stop_state[0], 2);
  EXPECT_GE(highest, 620.72f - 45.0f);
  EXPECT_LT(engine::eng1_egt, highest);  // then it cools
  EXPECT_NEAR(frames * 0.05f, 3.3f, 0.15f);  // lag at 0.3 per second
}

TEST_F(Indications, SeparatedEngineReadsZero) {
  engine::eng1_egt = engine::eng2_egt = 400.0f;
  engine::eng1_oil_temp = engine::eng2_oil_temp = 80.0f;
  host_mirror.sim_operation_failures_rel_engsep0 = 6;
  host_mirror.sim_flightmodel_engine_ENGN_oil_quan[1] = 1.0f;
  engine::indicators_N2_percent_2 = 80.0f;
  update_engine_indications();
  EXPECT_EQ(engine::eng1_egt, 0.0f);
  EXPECT_EQ(engine::eng1_oil_press, 0.0f);
  EXPECT_EQ(engine::eng1_oil_temp, 0.0f);
  EXPECT_GT(engine::eng2_oil_press, 30.0f);
  EXPECT_GT(engine::eng2_oil_temp, 0.0f);
}

// Flight-model adjustments of the generic aircraft, one term at a time: the
// force added to the axial force read back, in newtons.
TEST_F(EngineTest, FlightModelTermsAddToTheAxialForce) {
  struct Case {
    const char* name;
    int version, variant, option;  // option: the one handling option set, -1 none
    float f, agl_ft, gs_ms, n1, steer_deg;
    int ground;
    void (*more)();
    float added;
  };
  auto nothing = [] {};
  auto reversing = [] {
    for (int e = 0; e < 2; ++e) {
      host_mirror.sim_cockpit2_engine_actuators_prop_mode[e] = 3;
      host_mirror.sim_flightmodel2_engines_thrust_reverser_deploy_ratio[e] = 1.0f;
    }
    host_mirror.sim_weather_runway_friction = 1;
  };
  auto reversing_dry = [] {
    for (int e = 0; e < 2; ++e) {
      host_mirror.sim_cockpit2_engine_actuators_prop_mode[e] = 3;
      host_mirror.sim_flightmodel2_engines_thrust_reverser_deploy_ratio[e] = 1.0f;
    }
    host_mirror.sim_weather_runway_friction = 0;
  };
  auto wing_and_inlet_heat = [] {
    ice::wing_l_heat_on = 1.0f;
    host_mirror.sim_cockpit2_ice_ice_inlet_heat_on_per_engine[1] = 1;
  };
  auto inlet_heat_low_lever = [] {
    host_mirror.sim_cockpit2_ice_ice_inlet_heat_on_per_engine[0] = 1;
    engine::thrust1_leveler = 0.1f;
    engine::thrust12_leveler = 0.1f;
  };
  const float kt100 = 100.0f / 1.944f;
  const Case cases[] = {
      {"named variant: nothing", 110000, 0, handling_reduce_thrust_after_lift, -50000, 75, 0, 50, 0, 0, nothing, 0},
      {"lift-off, first frame", 110000, -1, handling_reduce_thrust_after_lift, -50000, 75, 0, 50, 0, 0, nothing, 91.575f},
      {"lift-off, on the ground", 110000, -1, handling_reduce_thrust_after_lift, -50000, 75, 0, 50, 0, 1, nothing, 0},
      {"taxi", 110000, -1, handling_taxi_thrust, -5000, 0, 0, 25, 0, 1, nothing, -13373.2f},
      {"taxi, steering 30 deg", 110000, -1, handling_taxi_thrust, -5000, 0, 0, 25, 30, 1, nothing, -15292.1f},
      {"taxi, host already stronger", 110000, -1, handling_taxi_thrust, -30000, 0, 0, 25, 0, 1, nothing, 0},
      {"reverse, wet", 120000, -1, handling_reduce_reverse, 40000, 0, kt100, 70, 0, 1, reversing, -15200},
      {"reverse, dry", 120000, -1, handling_reduce_reverse, 40000, 0, kt100, 70, 0, 1, reversing_dry, -20000},
      {"reverse, airborne", 120000, -1, handling_reduce_reverse, 40000, 0, kt100, 70, 0, 0, reversing, 0},
      {"anti-ice, older host", 110000, -1, handling_reduce_thrust_after_lift, -60000, 0, 0, 50, 0, 1, wing_and_inlet_heat, 2200},
      {"anti-ice, newer host", 120000, -1, handling_reduce_thrust_after_lift, -60000, 0, 0, 50, 0, 1, inlet_heat_low_lever, 3600},
      {"high speed", 110000, -1, -1, -80000, 0, 67, 50, 0, 0, nothing, 21120},
      {"high speed, full N1", 110000, -1, -1, -80000, 0, 67, 100, 0, 0, nothing, 0},
  };
  for (const Case& c : cases) {
    start(c.version);
    variant_index = c.variant;
    n1_command_state = N1CommandState{};
    for (uint8_t& o : handling_options) o = 0;
    if (c.option >= 0) handling_options[c.option] = 1;
    ice::wing_l_heat_on = ice::wing_r_heat_on = 0.0f;
    engine::thrust1_leveler = engine::thrust2_leveler = engine::thrust12_leveler = 0.5f;
    on_ground = c.ground;
    HostMirror& h = host_mirror;
    h.sim_flightmodel_forces_faxil_prop = c.f;
    h.sim_flightmodel_position_groundspeed = c.gs_ms;
    h.sim_flightmodel_weight_m_total = 60000.0f;
    h.sim_flightmodel2_gear_tire_steer_command_deg[0] = c.steer_deg;
    for (int e = 0; e < 2; ++e) {
      h.sim_flightmodel2_engines_N1_percent[e] = c.n1;
      h.sim_flightmodel2_engines_engine_is_burning_fuel[e] = 1;
      h.sim_cockpit2_engine_actuators_prop_mode[e] = 1;
    }
    c.more();
    simhost::set_float("sim/flightmodel/position/y_agl", c.agl_ft / 3.28084f);
    simhost::set_float("sim/flightmodel/forces/faxil_plug_acf", 100.0f);
    apply_flight_model_adjustments();
    EXPECT_NEAR(simhost::get_float("sim/flightmodel/forces/faxil_plug_acf") - 100.0f, c.added, 0.5f) << c.name;
  }
}

// Flap coefficients near the ground (older host, reduced ground effect):
// base values above 120 ft, written once; full ground spoilers take the lift
// to 0 and turn the moment round.
TEST_F(EngineTest, FlapCoefficientsNearTheGround) {
  start(110000);
  variant_index = -1;
  n1_command_state = N1CommandState{};
  for (uint8_t& o : handling_options) o = 0;
  handling_options[handling_reduced_ground_effect] = 1;
  const char* const names[4] = {"sim/aircraft/controls/acf_flap_cl", "sim/aircraft/controls/acf_flap2_cl",
                                "sim/aircraft/controls/acf_flap_cm", "sim/aircraft/controls/acf_flap2_cm"};
  simhost::set_float("sim/flightmodel/position/y_agl", 200.0f / 3.28084f);
  for (int i = 0; i < 3; ++i) apply_flight_model_adjustments();
  const float base[4] = {1.1f, 1.1f, -0.75f, -0.75f};
  for (int i = 0; i < 4; ++i) {
    EXPECT_FLOAT_EQ(simhost::get_float(names[i]), base[i]) << names[i];
    EXPECT_EQ(simhost::counts(names[i]).writes, 1) << names[i];
  }
  simhost::set_float("sim/flightmodel/position/y_agl", 0.0f);
  simhost::set_float("sim/flightmodel2/controls/speedbrake_ratio", 1.5f);
  apply_flight_model_adjustments();
  const float spoilers[4] = {0.0f, 0.0f, 0.2625f, 0.2625f};
  for (int i = 0; i < 4; ++i) EXPECT_NEAR(simhost::get_float(names[i]), spoilers[i], 1e-5f) << names[i];
  // The newer host's own ground effect is kept: nothing more is written.
  start(120000);
  variant_index = -1;
  handling_options[handling_reduced_ground_effect] = 1;
  apply_flight_model_adjustments();
  EXPECT_EQ(handling_options[handling_reduced_ground_effect], 0);
  EXPECT_EQ(simhost::counts(names[0]).writes, 0);
}

using Reversers = EngineTest;

TEST_F(Reversers, LeverSelectsReverseAndSetsTheRatio) {
  hydraulic::A_status = 1.0f;
  struct Case {
    float lever, ratio;
  } cases[] = {{0.06f, 0.0f}, {1.0f, 1.0f}, {0.53f, 0.5f}};
  for (const Case& c : cases) {
    flt_ctrls::reverse_lever1 = c.lever;
    reverse_lever_logic();
    EXPECT_EQ(host_mirror.sim_cockpit2_engine_actuators_prop_mode[0], 3);
    EXPECT_NEAR(host_mirror.sim_cockpit2_engine_actuators_throttle_ratio[0], c.ratio, 1e-6f) << c.lever;
  }
  EXPECT_EQ(simhost::get_ints("sim/cockpit2/engine/actuators/prop_mode")[0], 3);
  flt_ctrls::reverse_lever1 = 0.0f;
  reverse_lever_logic();
  EXPECT_EQ(host_mirror.sim_cockpit2_engine_actuators_prop_mode[0], 1);
  EXPECT_EQ(host_mirror.sim_cockpit2_engine_actuators_throttle_ratio[0], 0.0f);
  // Engine 2 needs system B or standby.
  hydraulic::B_status = 0.0f;
  hydraulic::standby_status = 0.0f;
  flt_ctrls::reverse_lever2 = 1.0f;
  reverse_lever_logic_eng2();
  EXPECT_NE(host_mirror.sim_cockpit2_engine_actuators_prop_mode[1], 3);
}

TEST_F(EngineTest, StepsStayFiniteOnBadInputs) {
  HostMirror& h = host_mirror;
  h.sim_weather_sigma = NAN;
  h.sim_cockpit2_temperature_outside_air_temp_degc = NAN;
  h.sim_flightmodel_misc_machno = NAN;
  for (int e = 0; e < 2; ++e) {
    h.sim_flightmodel2_engines_N1_percent[e] = NAN;
    h.sim_flightmodel2_engines_N2_percent[e] = INFINITY;
    h.sim_cockpit2_engine_indicators_fuel_flow_kg_sec[e] = NAN;
  }
  engine::thrust1_leveler = NAN;
  engine::idle_mode[0] = NAN;
  for (int i = 0; i < 5; ++i) {
    compute_idle_n1(engine::idle_mode[0], engine::idle_mode[1]);
    update_thrust_control();
    engine_n1_command_update();
    update_engine_indications();
    update_engine_start();
  }
  for (float v : n1_command_state.throttle_ratio) EXPECT_TRUE(std::isfinite(v));
  for (float v : engine_copies.spool_n2) EXPECT_TRUE(std::isfinite(v));
  EXPECT_TRUE(std::isfinite(engine::eng1_egt));
  EXPECT_TRUE(std::isfinite(engine::fuel_flow_kg_sec[0]));
  EXPECT_TRUE(std::isfinite(autothrottle_speed_target()));
}

}  // namespace
