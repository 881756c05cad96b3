// The engine display's published laws, row by row: the start EGT table, the
// oil pressure curve, the EGT rates and targets of one frame, the start and
// stop latches and the oil temperature law.
#include <cmath>
#include <vector>

#include "engine_fixture.h"
#include "engines/engine_indications.h"
#include "alerting/failure_state.h"
#include "engines/engine_forces.h"
#include "engines/engine_model_coeffs.h"
#include "engines/engine_start.h"
#include "engines/engine_steps.h"
#include "engines/n1_command.h"
#include "systems/air/air_values.h"
#include "systems/flight_controls/flight_control_values.h"
#include "systems/air/pneumatics.h"
#include "systems/instruments/instrument_values.h"
#include "engines/thrust_levers.h"
#include "engines/thrust_tables.h"
#include "core/handling_options.h"
#include "systems/ice_rain/ice_values.h"

namespace {

class Display : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    engine_indication_state = EngineIndicationState{};
    egt_offset[0] = egt_offset[1] = 0.0f;
    sim_in_replay = 0;
    engine::eng1_egt = engine::eng2_egt = 15.0f;
    engine::eng1_oil_temp = engine::eng2_oil_temp = 0.0f;
    engine::fuel_flow_kg_sec[0] = engine::fuel_flow_kg_sec[1] = 0.0f;
    engine::indicators_N2_percent_1 = engine::indicators_N2_percent_2 = 0.0f;
    fuel(0.0f, 0);
  }
  // Engine 1's fuel valves and the fuel flag of the frame before.
  static void fuel(float valves, uint8_t before) {
    engine::spar1_valve = engine::eng1_valve = valves;
    engine_indication_state.fuel_flag_prev[0] = before;
  }
  // Engine 1 running (or not) at an N2 indication and host fuel flow.
  static void engine1(int running, float n2, float host_ff) {
    host_mirror.sim_flightmodel_engine_ENGN_running[0] = running;
    engine_indication_state.running_prev[0] = running;
    engine::indicators_N2_percent_1 = n2;
    host_mirror.sim_cockpit2_engine_indicators_fuel_flow_kg_sec[0] = host_ff;
  }
};

TEST(DisplayLaws, StartEgtTableAndOilPressureCurve) {
  const float n2[] = {20, 28.7f, 29.7f, 32.2f, 34.4f, 36.8f, 38.7f, 40.9f, 42.8f, 45.3f,
                      47.5f, 50.3f, 53, 55.1f, 56.8f, 57.9f, 58.8f, 59.4f, 59.7f};
  const float egt[] = {68, 71, 77, 105, 130, 158, 181, 205, 230, 260, 290, 322, 352, 385, 420, 428, 436, 444, 451};
  for (int i = 0; i < 19; ++i) {
    EXPECT_NEAR(start_egt_table(n2[i]), egt[i], 1e-3f) << n2[i];
    if (i > 0) {
      EXPECT_NEAR(start_egt_table((n2[i - 1] + n2[i]) / 2), (egt[i - 1] + egt[i]) / 2, 1e-3f) << n2[i];
    }
  }
  EXPECT_EQ(start_egt_table(19.9f), 68.0f);
  EXPECT_EQ(start_egt_table(59.8f), 451.0f);
  // The curve's points and mid-points at full quantity and zero ambient.
  struct Row {
    float n2, psi;
  } curve[] = {{-1, 0},         {10.1f, 7.85f},   {20.2f, 15.7f},  {25.45f, 18.2f}, {30.7f, 20.7f},
               {34.45f, 24.2f}, {38.2f, 27.7f},   {48.55f, 33.7f}, {58.9f, 39.7f},  {100, 94.04870f}};
  for (const Row& r : curve) EXPECT_NEAR(oil_pressure_for(r.n2, 0.0f, 1.0f), r.psi, 1e-3f) << r.n2;
  EXPECT_NEAR(oil_pressure_for(58.9f, 14.7f, 1.0f), 25.0f, 1e-3f);  // gauge pressure
  EXPECT_EQ(oil_pressure_for(20.2f, 16.0f, 1.0f), 0.0f);
  // Oil quantity: none below 0.05, scaled by 2 (q - 0.05) up to 0.55.
  struct Quantity {
    float q, share;
  } quantities[] = {{0.049f, 0}, {0.05f, 0}, {0.3f, 0.5f}, {0.54f, 0.98f}, {0.55f, 1}, {0.9f, 1}};
  for (const Quantity& q : quantities) EXPECT_NEAR(oil_pressure_for(58.9f, 0.0f, q.q), 39.7f * q.share, 1e-3f) << q.q;
}

// The EGT rate of one frame: rising 0.6 below 390 degC down to 0.3 at 410;
// falling by the Mach factor 1 - 0.9 M / 0.82 (0.1 .. 1) through its bands.
TEST_F(Display, EgtRateBandsAndMachFactor) {
  struct Row {
    int running;  // running at 1 kg/s (target 746.21) or stopped (target 15)
    float egt, mach, rate;
  } rows[] = {
      {1, 389, 0, 0.6f},         {1, 400, 0, 0.45f},         {1, 411, 0, 0.3f},           {1, 405, 0.8f, 0.375f},
      {0, 50, 0, 0.02f},         {0, 150, 0, 0.025f},        {0, 250, 0, 0.04f},          {0, 350, 0, 0.175f},
      {0, 399.9f, 0, 0.29975f},  {0, 400, 0, 0.45f},         {0, 409, 0, 0.315f},         {0, 420, 0, 0.3f},
      {0, 50, 0.41f, 0.011f},    {0, 150, 0.41f, 0.01375f},  {0, 250, 0.41f, 0.022f},     {0, 350, 0.41f, 0.16375f},
      {0, 50, 0.82f, 0.002f},    {0, 50, 2.0f, 0.002f},      {0, 50, -1.0f, 0.02f},       {0, 420, 0.82f, 0.3f},
  };
  for (const Row& r : rows) {
    engine1(r.running, r.running ? 80.0f : 0.0f, r.running ? 1.0f : 0.0f);
    host_mirror.sim_flightmodel_misc_machno = r.mach;
    engine::eng1_egt = r.egt;
    update_engine_indications();
    const float target = r.running ? 746.2142f : 15.0f;
    EXPECT_NEAR((engine::eng1_egt - r.egt) / (0.05f * (target - r.egt)), r.rate, 2e-4f) << r.egt << " degC Mach " << r.mach;
  }
}

// The EGT target of a running engine, read back from one frame's rise at the
// rate 0.6 from 15 degC: the fuel-flow law, the start table (scaled by the
// start factor and the offset) and the line from the start base to 431 degC.
TEST_F(Display, EgtTargetWhileStarting) {
  struct Row {
    float n2, host_ff, valves, base, factor, offset, target;
  } rows[] = {
      {56.5f, 0.05f, 1, 15, 1, 0, 387.344f},  {56.4f, 0.05f, 1, 15, 1, 0, 411.765f},  // flow law from 56.5 %
      {40, 0.1f, 1, 15, 1, 0, 452.378f},      {40, 0.099f, 1, 15, 1, 0, 237.823f},    // ... or from 0.1 kg/s
      {40, 0.05f, 1, 15, 2, 0, 390.364f},     {40, 0.05f, 1, 15, 2, 10, 409.421f},    // table x factor x offset
      {40, 0.05f, 0, 15, 2, 0, 15},           {18.2f, 0, 1, 100, 1, 0, 100},          // valves shut; base at 18.2
      {18.1f, 0, 1, 100, 1, 0, 15},           {20, 0.0279f, 1, 15, 1, 0, 68},         // below 18.2 the air
      {19.9f, 0.0279f, 1, 15, 1, 0, 32.376f}, {27.9f, 0.0278f, 1, 15, 2, 0, 114.145f},  // table from 20 %
      {27.9f, 0.0279f, 1, 15, 2, 0, 141.448f}, {28, 0, 1, 15, 2, 0, 141.517f},        // with flow, or from 28 %
  };
  for (const Row& r : rows) {
    fuel(r.valves, r.valves >= 0.95f ? 1 : 0);
    engine1(1, r.n2, r.host_ff);
    engine_indication_state.egt_start_base[0] = r.base;
    engine_indication_state.egt_start_factor[0] = r.factor;
    egt_offset[0] = r.offset;
    engine::eng1_egt = 15.0f;
    update_engine_indications();
    EXPECT_NEAR(15.0f + (engine::eng1_egt - 15.0f) / (0.05f * 0.6f), r.target, 0.01f) << r.n2 << " % " << r.host_ff;
  }
  // A stopped engine aims at the leading-edge air, 15 degC when unknown.
  engine1(0, 0, 0);
  host_mirror.sim_cockpit2_temperature_outside_air_LE_temp_degc = NAN;
  engine::eng1_egt = 0.0f;
  update_engine_indications();
  EXPECT_NEAR(engine::eng1_egt, 0.05f * 0.6f * 15.0f, 1e-6f);
}

TEST_F(Display, StartFactorAndStopTargetLatches) {
  // The frame the fuel comes on latches the start factor by N2.
  // Valves at 0.95 count as open.
  struct Factor {
    float n2, valves, factor;
  } factors[] = {{17.1f, 1, 2},        {17.3f, 1, 1.985915f}, {20.75f, 1, 1.5f}, {24.2f, 1, 1.014085f},
                 {24.4f, 0.95f, 1},    {20.75f, 0.94f, 0}};
  for (const Factor& f : factors) {
    fuel(f.valves, 0);
    engine_indication_state.egt_start_factor[0] = 0.0f;
    engine1(0, f.n2, 0);
    update_engine_indications();
    EXPECT_NEAR(engine_indication_state.egt_start_factor[0], f.factor, 1e-5f) << f.n2;
  }
  // A stop with fuel on above 57 % N2 aims 100 + (N2 - 57) x 40 / 44.4 degC
  // higher, 140 from 101.4 %, never above 1000.
  struct Stop {
    float n2, egt;
    int state;
    float target;
  } stops[] = {{57, 500, 0, 0}, {57.1f, 500, 1, 600.0901f}, {101.4f, 500, 1, 640}, {110, 500, 1, 640}, {80, 900, 1, 1000}};
  for (const Stop& s : stops) {
    engine_indication_state = EngineIndicationState{};
    fuel(1, 1);
    engine1(0, s.n2, 0);
    engine_indication_state.running_prev[0] = 1;
    engine::eng1_egt = s.egt;
    update_engine_indications();
    EXPECT_EQ(engine_indication_state.egt_stop_state[0], s.state) << s.n2;
    if (s.state == 1) {
      EXPECT_NEAR(engine_indication_state.egt_stop_target[0], s.target, 1e-3f) << s.n2;
    }
  }
}

// Oil temperature: 69 + (H - 31) x 0.66 from a host 31 degC, H x 69 / 31
// below, at least the air; a burning engine with 14.5 psi or less heats its
// oil toward 200 degC at 0.26 degC/s.
TEST_F(Display, OilTemperatureLaw) {
  struct Row {
    float host, air, burning, n2, target;
  } rows[] = {{62, 15, 0, 0, 89.46f},     {31, 15, 0, 0, 69},    {15.5f, 15, 0, 0, 34.5f},
              {15.5f, 40, 0, 0, 40},      {-5, -10, 0, 0, 0},    {62, 15, 1, 50, 89.46f}};
  for (const Row& r : rows) {
    host_mirror.sim_cockpit2_engine_indicators_oil_temperature_deg_C[0] = r.host;
    host_mirror.sim_cockpit2_temperature_outside_air_LE_temp_degc = r.air;
    host_mirror.sim_flightmodel2_engines_engine_is_burning_fuel[0] = static_cast<int32_t>(r.burning);
    host_mirror.sim_flightmodel_engine_ENGN_oil_quan[0] = 1.0f;
    engine::indicators_N2_percent_1 = r.n2;
    engine::eng1_oil_temp = 100.0f;
    update_engine_indications();
    EXPECT_NEAR(100.0f + (engine::eng1_oil_temp - 100.0f) / (0.05f * 0.4f), r.target, 0.01f) << r.host;
  }
  // Burning at 0, 14.4 and 14.6 psi (no ambient): the slow ramp, then the lag.
  host_mirror.sim_weather_barometer_current_inhg = 0.0f;
  struct Pressure {
    float psi, temp;
  } pressures[] = {{0, 150.013f}, {14.4f, 149.987f}, {14.6f, 148.7892f}};
  for (const Pressure& p : pressures) {
    engine::indicators_N2_percent_1 = p.psi * 20.2f / 15.7f;
    engine::eng1_oil_temp = 150.0f;
    update_engine_indications();
    EXPECT_NEAR(engine::eng1_oil_temp, p.temp, 1e-3f) << p.psi;
  }
}

// The engine alert on the lower display's engine page, by its first frame:
// the blink value (here 7) for an exceedance, 3 for the caution band, 4 for
// vibration or low oil quantity, 0 for none.
TEST_F(EngineTest, EngineAlertThresholds) {
  struct Row {
    int e;
    float press, n1, temp, n2, vib, quantity;
    int press_on, temp_on;
    float warn;
  } rows[] = {
      {0, 12.9f, 19, 100, 60, 1, 0.5f, 1, 1, 7}, {0, 12.9f, 18.9f, 100, 60, 1, 0.5f, 1, 1, 0},
      {0, 5, 50, 100, 60, 1, 0.5f, 0, 1, 0},     {0, 13, 50, 100, 60, 1, 0.5f, 1, 1, 3},
      {0, 22, 50, 100, 60, 1, 0.5f, 1, 1, 3},    {0, 22.1f, 50, 100, 60, 1, 0.5f, 1, 1, 0},
      {0, 30, 50, 165.1f, 60, 1, 0.5f, 1, 1, 7}, {0, 30, 50, 165, 60, 1, 0.5f, 1, 1, 3},
      {0, 30, 50, 153, 60, 1, 0.5f, 1, 1, 3},    {0, 30, 50, 152.9f, 60, 1, 0.5f, 1, 1, 0},
      {0, 30, 50, 170, 60, 1, 0.5f, 1, 0, 0},    {0, 30, 50, 100, 101.5f, 1, 0.5f, 1, 1, 7},
      {0, 30, 50, 100, 101.4f, 1, 0.5f, 1, 1, 0}, {0, 30, 50, 100, 60, 4, 0.5f, 1, 1, 4},
      {0, 30, 50, 100, 60, 3.99f, 0.5f, 1, 1, 0}, {0, 30, 50, 100, 60, 1, 0.19f, 1, 1, 4},
      {0, 30, 50, 100, 60, 1, 0.2f, 1, 1, 0},    {1, 12.9f, 19, 100, 60, 1, 0.5f, 1, 1, 7},
      {1, 30, 50, 160, 60, 1, 0.5f, 1, 1, 3},    {1, 30, 50, 100, 101.5f, 4, 0.5f, 1, 1, 7},
      {1, 30, 50, 100, 60, 4, 0.5f, 1, 1, 4},    {1, 30, 50, 100, 60, 1, 0.1f, 1, 1, 4},
  };
  script_mirror.zuvadud_D738_systems_lowerDU_page = 2.0f;
  script_mirror.zuvadud_D738_autopilot_blink = 7.0f;
  for (const Row& r : rows) {
    engine_eicas_state = EngineEicasState{};
    const bool one = r.e == 0;
    engine::eng1_oil_press = one ? r.press : 30;
    engine::eng2_oil_press = one ? 30 : r.press;
    engine::eicas_oil_press1 = one ? static_cast<float>(r.press_on) : 1;
    engine::eicas_oil_press2 = one ? 1 : static_cast<float>(r.press_on);
    engine::indicators_N1_percent_1 = one ? r.n1 : 50;
    engine::indicators_N1_percent_2 = one ? 50 : r.n1;
    engine::eng1_oil_temp = one ? r.temp : 100;
    engine::eng2_oil_temp = one ? 100 : r.temp;
    engine::eicas_oil_temp1 = one ? static_cast<float>(r.temp_on) : 1;
    engine::eicas_oil_temp2 = one ? 1 : static_cast<float>(r.temp_on);
    engine::indicators_N2_percent_1 = one ? r.n2 : 60;
    engine::indicators_N2_percent_2 = one ? 60 : r.n2;
    engine::indicators_eng1_vib = one ? r.vib : 1;
    engine::indicators_eng2_vib = one ? 1 : r.vib;
    host_mirror.sim_cockpit2_engine_indicators_oil_quantity_ratio[r.e] = r.quantity;
    host_mirror.sim_cockpit2_engine_indicators_oil_quantity_ratio[1 - r.e] = 0.5f;
    update_engine_eicas();
    EXPECT_EQ(eicas::warn, r.warn) << "engine " << r.e + 1 << " row " << (&r - rows);
  }
  // The vibration indication of the replay: 1.81 at 10 % N1 down to 1.21 at
  // 37 %, up to 1.47 at 105 %.
  struct Vib {
    float n1, vib;
  } vibs[] = {{-1, 0}, {5, 0.905f}, {10, 1.81f}, {23.5f, 1.51f}, {37, 1.21f}, {71, 1.34f}, {105, 1.47f}, {110, 1.47f}};
  for (const Vib& v : vibs) EXPECT_NEAR(vibration_from_n1(v.n1), v.vib, 1e-5f) << v.n1;
  // An exceedance first seen on page 1 shows steady on page 2, without the
  // blink and without popping the page again.
  engine_eicas_state = EngineEicasState{};
  engine::indicators_N2_percent_1 = 102.0f;
  script_mirror.zuvadud_D738_systems_lowerDU_page = 1.0f;
  update_engine_eicas();
  EXPECT_EQ(simhost::counts("zuvadud/D738/systems/lowerDU_page").writes, 0);
  script_mirror.zuvadud_D738_systems_lowerDU_page = 2.0f;
  update_engine_eicas();
  EXPECT_EQ(eicas::warn, 2.0f);
}

// Idle mode in flight and on the ground, both sides of each limit.
TEST_F(EngineTest, IdleModeLimits) {
  struct Row {
    int host, ground;
    float ra, pressure_alt, flap, gear, flap_fail, antice_fail;
    int heat;
    float throttle, request, mode;
  } rows[] = {
      // The newer host in flight: flaps and gear below 15500 ft, the flap
      // actuator failure below 19000 ft, inlet heat anywhere.
      {120000, 0, 800, 15499, 0.625f, 0, 0, 0, 0, 0, 0, 2},  {120000, 0, 800, 15500, 0.625f, 0, 0, 0, 0, 0, 0, 1},
      {120000, 0, 800, 5000, 0.624f, 0, 0, 0, 0, 0, 0, 1},   {120000, 0, 800, 15499, 0, 1, 0, 0, 0, 0, 0, 2},
      {120000, 0, 800, 15500, 0, 1, 0, 0, 0, 0, 0, 1},       {120000, 0, 800, 5000, 0, 0.99f, 0, 0, 0, 0, 0, 1},
      {120000, 0, 800, 18999, 0, 0, 1, 0, 0, 0, 0, 2},       {120000, 0, 800, 19000, 0, 0, 1, 0, 0, 0, 0, 1},
      {120000, 0, 800, 30000, 0, 0, 0, 0, 1, 0, 0, 2},
      // The older host: failures by radio height, flaps, gear beyond 0.98.
      {110000, 0, 14999, 0, 0, 0, 0, 1, 0, 0, 0, 2},         {110000, 0, 15000, 0, 0, 0, 0, 1, 0, 0, 0, 1},
      {110000, 0, 800, 0, 0, 0, 1, 0, 0, 0, 0, 2},           {110000, 0, 800, 0, 0.625f, 0, 0, 0, 0, 0, 0, 2},
      {110000, 0, 800, 0, 0.624f, 0, 0, 0, 0, 0, 0, 1},      {110000, 0, 800, 0, 0, 0.99f, 0, 0, 0, 0, 0, 2},
      {110000, 0, 800, 0, 0, 0.98f, 0, 0, 0, 0, 0, 1},       {110000, 0, 800, 0, 0, 0, 0, 0, 1, 0, 0, 2},
      // On the ground before flight: take-off thrust on the older host.
      {110000, 1, 0, 0, 0, 0, 0, 0, 0, 0.131f, 0.51f, 1},    {110000, 1, 0, 0, 0, 0, 0, 0, 0, 0.13f, 0.51f, 0},
      {110000, 1, 0, 0, 0, 0, 0, 0, 0, 0.251f, 0.5f, 1},     {110000, 1, 0, 0, 0, 0, 0, 0, 0, 0.25f, 0.5f, 0},
      {120000, 1, 0, 0, 0, 0, 0, 0, 0, 0.9f, 0.9f, 0},       {110000, 1, 20, 0, 0, 0, 0, 0, 0, 0, 0, 0},
      {110000, 1, 20.1f, 0, 0, 0, 0, 0, 0, 0, 0, 1},
  };
  for (const Row& r : rows) {
    host_version = r.host;
    density_offset = 0.0f;
    engine_eicas_state = EngineEicasState{};
    on_ground = r.ground;
    HostMirror& h = host_mirror;
    h.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = r.ra;
    h.sim_flightmodel2_position_pressure_altitude = r.pressure_alt;
    h.sim_cockpit2_controls_flap_handle_deploy_ratio = r.flap;
    h.sim_aircraft_parts_acf_gear_deploy[1] = r.gear;
    h.sim_operation_failures_rel_flap_act = static_cast<int32_t>(r.flap_fail) * 6;
    h.sim_operation_failures_rel_antice = static_cast<int32_t>(r.antice_fail) * 6;
    h.sim_cockpit2_ice_ice_inlet_heat_on_per_engine[1] = r.heat;
    h.sim_flightmodel_engine_ENGN_thro_use[1] = r.throttle;
    n1_command_state.requested_n1[1] = r.request;
    update_engine_eicas();
    EXPECT_EQ(engine::idle_mode[0], r.mode) << "row " << (&r - rows);
    EXPECT_EQ(engine::idle_mode[1], r.mode) << "row " << (&r - rows);
  }
  // Approach idle moves the density offset 0.05 per second; the older host's
  // ground idle leans the mixture to 0.59 of the lever.
  host_version = 110000;
  density_offset = 0.0f;
  on_ground = 0;
  host_mirror.sim_cockpit2_controls_flap_handle_deploy_ratio = 1.0f;
  update_engine_eicas();
  EXPECT_NEAR(density_offset, 0.0025f, 1e-7f);
  on_ground = 1;
  host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 0.0f;
  engine_eicas_state = EngineEicasState{};
  engine::mixture_ratio1 = 1.0f;
  engine_copies.mixture[0] = 0.0f;
  update_engine_eicas();
  EXPECT_NEAR(density_offset, 0.0f, 1e-7f);
  EXPECT_NEAR(host_mirror.sim_cockpit2_engine_actuators_mixture_ratio[0], 0.05f * 0.59f, 1e-6f);
}

// The generic aircraft's axial force terms, each on both sides of its limits:
// the force added to "faxil_plug_acf" in newtons.
TEST_F(EngineTest, AxialForceTermLimits) {
  const float kt = 1.0f / 1.9438444f;  // m/s per knot (taxi law)
  const float rkt = 1.0f / 1.944f;     // m/s per knot (reverse law)
  struct Row {
    int host, option;  // the one handling option set, -1 none
    float f, agl_ft, gs_ms, n1, tonnes, steer, flap2, elev_ft;
    int ground;
    float deploy, friction, added;
  } rows[] = {
      // Taxi thrust: N1 above 18 and below 40.1 %, never under 4900 N an
      // engine, weight 0.9 .. 1.0 over 43 .. 80 t, speed 1 .. 0.85 over 5 .. 20 kt.
      {110000, handling_taxi_thrust, 0, 0, 0, 18, 60, 0, 0, 0, 1, 0, 0, 0},
      {110000, handling_taxi_thrust, 0, 0, 0, 19, 60, 0, 0, 0, 1, 0, 0, -9270.27f},
      {110000, handling_taxi_thrust, 0, 0, 0, 21, 60, 0, 0, 0, 1, 0, 0, -12610.0f},
      {110000, handling_taxi_thrust, 0, 0, 0, 40, 60, 0, 0, 0, 1, 0, 0, -32305.77f},
      {110000, handling_taxi_thrust, 0, 0, 0, 40.1f, 60, 0, 0, 0, 1, 0, 0, 0},
      {110000, handling_taxi_thrust, 0, 0, 0, 25, 43, 0, 0, 0, 1, 0, 0, -17480.79f},
      {110000, handling_taxi_thrust, 0, 0, 0, 25, 100, 0, 0, 0, 1, 0, 0, -19423.10f},
      {110000, handling_taxi_thrust, 0, 0, 12.5f * kt, 25, 60, 0, 0, 0, 1, 0, 0, -16995.21f},
      {110000, handling_taxi_thrust, 0, 0, 30 * kt, 25, 60, 0, 0, 0, 1, 0, 0, -15617.22f},
      {110000, handling_taxi_thrust, 0, 0, 0, 25, 80, 90, 0, 0, 1, 0, 0, -25423.10f},
      // Reverse: ln((knots - 45) / 10) from 60 kt, blended by runway friction;
      // only beyond 0.9 deploy and above 10 N.
      {120000, handling_reduce_reverse, 40000, 0, 50 * rkt, 70, 60, 0, 0, 0, 1, 1, 0, -31134.42f},
      {120000, handling_reduce_reverse, 40000, 0, 50 * rkt, 70, 60, 0, 0, 0, 1, 1, 1, -28701.63f},
      {120000, handling_reduce_reverse, 40000, 0, 70 * rkt, 70, 60, 0, 0, 0, 1, 1, 0, -25004.51f},
      {120000, handling_reduce_reverse, 40000, 0, 70 * rkt, 70, 60, 0, 0, 0, 1, 0.91f, 1, -19506.77f},
      {120000, handling_reduce_reverse, 40000, 0, 70 * rkt, 70, 60, 0, 0, 0, 1, 0.9f, 1, 0},
      {120000, handling_reduce_reverse, 10, 0, 70 * rkt, 70, 60, 0, 0, 0, 1, 1, 1, 0},
      // Lift-off: 1.5 x (1 - AGL / 150) ramping at 1/s, below 150 ft and
      // above -80000 N.
      {110000, handling_reduce_thrust_after_lift, -50000, 149, 0, 50, 60, 0, 0, 0, 0, 0, 0, 18.315f},
      {110000, handling_reduce_thrust_after_lift, -50000, 150, 0, 50, 60, 0, 0, 0, 0, 0, 0, 0},
      {110000, handling_reduce_thrust_after_lift, -50000, -5, 0, 50, 60, 0, 0, 0, 0, 0, 0, 91.575f},
      {110000, handling_reduce_thrust_after_lift, -79000, 75, 0, 50, 60, 0, 0, 0, 0, 0, 0, 144.6885f},
      // High-speed loss: ground speed, flaps, N1 squared, altitude and mass.
      {110000, -1, -80000, 0, 67, 75, 60, 0, 0, 0, 0, 0, 0, 12320},
      {110000, -1, -80000, 0, 33.5f, 50, 60, 0, 0, 0, 0, 0, 0, 10612.8f},
      {110000, -1, -80000, 0, 67, 50, 60, 0, 12.5f, 0, 0, 0, 0, 10560},
      {110000, -1, -80000, 0, 67, 50, 60, 0, 0, 10000, 0, 0, 0, 15812},
      {110000, -1, -80000, 0, 67, 50, 30, 0, 0, 0, 0, 0, 0, 22400},
      {110000, -1, -80000, 0, 67, 50, 80, 0, 0, 0, 0, 0, 0, 19840},
      {110000, -1, -80000, 0, 67, 50, 40, 0, 0, 50000, 0, 0, 0, 3356},
  };
  for (const Row& r : rows) {
    host_version = r.host;
    variant_index = -1;
    n1_command_state = N1CommandState{};
    for (uint8_t& o : handling_options) o = 0;
    if (r.option >= 0) handling_options[r.option] = 1;
    ice::wing_l_heat_on = ice::wing_r_heat_on = 0.0f;
    on_ground = r.ground;
    HostMirror& h = host_mirror;
    h.sim_flightmodel_forces_faxil_prop = r.f;
    h.sim_flightmodel_position_groundspeed = r.gs_ms;
    h.sim_flightmodel_weight_m_total = r.tonnes * 1000.0f;
    h.sim_flightmodel2_gear_tire_steer_command_deg[0] = r.steer;
    h.sim_flightmodel2_wing_flap2_deg[2] = h.sim_flightmodel2_wing_flap2_deg[3] = r.flap2;
    h.sim_flightmodel_position_elevation = r.elev_ft / 3.28;
    h.sim_weather_runway_friction = r.friction;
    for (int e = 0; e < 2; ++e) {
      h.sim_flightmodel2_engines_N1_percent[e] = r.n1;
      h.sim_flightmodel2_engines_engine_is_burning_fuel[e] = 1;
      h.sim_cockpit2_engine_actuators_prop_mode[e] = r.deploy > 0 ? 3 : 1;
      h.sim_flightmodel2_engines_thrust_reverser_deploy_ratio[e] = r.deploy;
    }
    simhost::set_float("sim/flightmodel/position/y_agl", r.agl_ft / 3.28084f);
    simhost::set_float("sim/flightmodel/forces/faxil_plug_acf", 100.0f);
    apply_flight_model_adjustments();
    EXPECT_NEAR(simhost::get_float("sim/flightmodel/forces/faxil_plug_acf") - 100.0f, r.added, 0.05f) << "row " << (&r - rows);
  }
  // Anti-ice loss at F = -60000 N: 1100 N a side on the older host; on the
  // newer host 10 % of F an engine with inlet heat, lever below 0.25 and N1
  // above 19 %, scaled by 1 - 4 x the mean lever.
  struct Ice {
    int host;
    float wing_r, inlet0, lever, both, n1, added;
  } ices[] = {{110000, 1, 0, 0.5f, 0.5f, 50, 1100}, {110000, 0, 1, 0.5f, 0.5f, 50, 1100}, {110000, 1, 1, 0.5f, 0.5f, 50, 2200},
              {120000, 0, 1, 0.24f, 0.1f, 50, 3600}, {120000, 0, 1, 0.25f, 0.1f, 50, 0},  {120000, 0, 1, 0.1f, -0.1f, 50, 6000},
              {120000, 0, 1, 0.1f, 0.26f, 50, 0},    {120000, 0, 1, 0.1f, 0.1f, 19, 0},    {120000, 0, 1, 0.1f, 0.1f, 19.1f, 3600}};
  for (const Ice& i : ices) {
    host_version = i.host;
    for (uint8_t& o : handling_options) o = 0;
    handling_options[handling_reduce_thrust_after_lift] = 1;
    on_ground = 1;
    host_mirror.sim_flightmodel_forces_faxil_prop = -60000.0f;
    host_mirror.sim_flightmodel_position_groundspeed = 0.0f;
    ice::wing_r_heat_on = i.wing_r;
    host_mirror.sim_cockpit2_ice_ice_inlet_heat_on_per_engine[0] = static_cast<int32_t>(i.inlet0);
    engine::thrust1_leveler = i.lever;
    engine::thrust2_leveler = 0.5f;
    engine::thrust12_leveler = i.both;
    for (int e = 0; e < 2; ++e) {
      host_mirror.sim_flightmodel2_engines_N1_percent[e] = i.n1;
      host_mirror.sim_cockpit2_engine_actuators_prop_mode[e] = 1;
    }
    simhost::set_float("sim/flightmodel/forces/faxil_plug_acf", 100.0f);
    apply_flight_model_adjustments();
    EXPECT_NEAR(simhost::get_float("sim/flightmodel/forces/faxil_plug_acf") - 100.0f, i.added, 0.05f) << i.host << " " << i.lever;
  }
  ice::wing_r_heat_on = 0.0f;
  host_mirror.sim_cockpit2_ice_ice_inlet_heat_on_per_engine[0] = 0;
  // The thrust command applies them only while the host neither pauses nor replays.
  for (int stop = 0; stop < 3; ++stop) {
    host_version = 110000;
    for (uint8_t& o : handling_options) o = 0;
    sim_paused = stop == 1;
    sim_in_replay = stop == 2;
    on_ground = 0;
    host_mirror.sim_flightmodel_forces_faxil_prop = -80000.0f;
    host_mirror.sim_flightmodel_position_groundspeed = 67.0f;
    host_mirror.sim_flightmodel_weight_m_total = 60000.0f;
    host_mirror.sim_flightmodel_position_elevation = 0.0;
    host_mirror.sim_flightmodel2_engines_N1_percent[0] = host_mirror.sim_flightmodel2_engines_N1_percent[1] = 50.0f;
    simhost::set_float("sim/flightmodel/forces/faxil_plug_acf", 100.0f);
    engine_n1_command_update();
    EXPECT_NEAR(simhost::get_float("sim/flightmodel/forces/faxil_plug_acf") - 100.0f, stop == 0 ? 21120.0f : 0.0f, 0.05f) << stop;
  }
  sim_paused = sim_in_replay = 0;
  // Flap coefficients (older host): lift 0.9 - 0.006 h and moment
  // 0.7 - 0.02 h below 10 ft, then up to the base values at 120 ft; spoilers
  // beyond 1.12 scale both by 1 - 1.5 q, q = (ratio - 1.12) / 0.35 x 1.55.
  host_version = 110000;
  for (uint8_t& o : handling_options) o = 0;
  handling_options[handling_reduced_ground_effect] = 1;
  struct Flap {
    float agl_ft, spoilers, cl, cm;
  } flaps[] = {{-5, 0, 0.99f, -0.525f},   {5, 0, 0.957f, -0.45f},   {10, 0, 0.924f, -0.375f}, {65, 0, 1.012f, -0.5625f},
               {200, 1.12f, 1.1f, -0.75f}, {200, 1.2f, 0.515429f, -0.351429f}, {200, 1.295f, 0, 0.121875f}};
  for (const Flap& f : flaps) {
    simhost::set_float("sim/flightmodel/position/y_agl", f.agl_ft / 3.28084f);
    simhost::set_float("sim/flightmodel2/controls/speedbrake_ratio", f.spoilers);
    apply_flight_model_adjustments();
    EXPECT_NEAR(simhost::get_float("sim/aircraft/controls/acf_flap2_cl"), f.cl, 1e-5f) << f.agl_ft << " ft " << f.spoilers;
    EXPECT_NEAR(simhost::get_float("sim/aircraft/controls/acf_flap_cm"), f.cm, 1e-5f) << f.agl_ft << " ft " << f.spoilers;
  }
}

// The N1 request over the table rows: the older host blends its ground rows
// over 0/15/40 degC and density 0.235 .. 1.0 (less the approach offset), the
// newer host its flight and approach rows over density 0.235/0.405/1.0.
TEST_F(EngineTest, N1RequestBlendsAndLimits) {
  struct Row {
    int host;
    float mode, temp, sigma, offset, lever, fraction;
  } rows[] = {
      {110000, 0, 0, 1, 0, 0, 0.19f},        {110000, 0, 7.5f, 1, 0, 0, 0.1925f},   {110000, 0, 27.5f, 1, 0, 0, 0.2015f},
      {110000, 0, 17, 1, 0, 0, 0.19604f},
      {110000, 0, -10, 1, 0, 0, 0.19f},      {110000, 0, 50, 1, 0, 0, 0.208f},      {110000, 0, 15, 0.6175f, 0, 0, 0.2105f},
      {110000, 0, 7.5f, 0.235f, 0, 0, 0.2235f}, {110000, 0, 15, 0.1f, 0, 0, 0.226f}, {110000, 1, 15, 0.6175f, 0, 0, 0.36f},
      {110000, 1, 15, 0.7175f, 0.1f, 0, 0.36f}, {110000, 2, 15, 1.2f, 0, 0.5f, 0.736f},
      {120000, 1, 15, 0.2f, 0, 0.5f, 0.734f},  {120000, 1, 15, 0.32f, 0, 0.5f, 0.739f}, {120000, 1, 15, 0.405f, 0, 0.5f, 0.744f},
      {120000, 1, 15, 0.7025f, 0, 0.5f, 0.7405f}, {120000, 1, 15, 1.2f, 0, 0.5f, 0.737f}, {120000, 2, 15, 0.32f, 0, 0, 0.452f},
      {120000, 2, 15, 0.45f, 0, 0, 0.4399916f}, {120000, 2, 15, 0.7025f, 0, 0, 0.4175f},
  };
  for (const Row& r : rows) {
    host_version = r.host;
    set_thrust_tables();
    host_mirror.sim_cockpit2_temperature_outside_air_temp_degc = r.temp;
    host_mirror.sim_weather_sigma = r.sigma;
    density_offset = r.offset;
    EXPECT_NEAR(requested_n1_fraction(r.lever, r.mode, 1, 0), r.fraction, 1e-6f) << "row " << (&r - rows);
  }
  density_offset = 0.0f;
  host_mirror.sim_cockpit2_temperature_outside_air_temp_degc = 15.0f;
  // The limit ratios for the flight-management N1 and 0.9 of it; the newer
  // host reads its flight rows for approach idle too.
  struct Limit {
    int host;
    float mode, n1, lim, lim2;
  } limits[] = {{110000, 1, 0.736f, 0.54f, 0.4296f}, {120000, 1, 0.737f, 0.5226667f, 0.412608f},
                {120000, 2, 0.45f, 0.1763333f, 0.1446667f}};
  for (const Limit& l : limits) {
    host_version = l.host;
    set_thrust_tables();
    host_mirror.sim_weather_sigma = 1.0f;
    engine::idle_mode[0] = engine::idle_mode[1] = l.mode;
    compute_idle_n1(l.mode, l.mode);
    script_mirror.zuvadud_D738_FMS_N1_mode_thrust[1] = l.n1;
    engine_n1_command_update();
    EXPECT_NEAR(engine::eng2_N1_lim, l.lim, 1e-5f) << l.host << " mode " << l.mode;
    EXPECT_NEAR(engine::eng2_N1_lim2, l.lim2, 1e-5f) << l.host << " mode " << l.mode;
  }
  // The request follows the reverse lever only in prop mode 3 with the doors
  // moving (here 0.5 of thrust lever against 0.9 of reverse lever).
  struct Reverse {
    int prop;
    float deploy, fraction;
  } reverses[] = {{3, 0, 0.737f}, {1, 0.5f, 0.737f}, {3, 0.5f, 0.993f}};
  host_version = 120000;
  set_thrust_tables();
  host_mirror.sim_weather_sigma = 1.0f;
  engine::idle_mode[0] = engine::idle_mode[1] = 1.0f;
  compute_idle_n1(1.0f, 1.0f);
  engine::thrust1_leveler = 0.5f;
  flt_ctrls::reverse_lever1 = 0.9f;
  for (const Reverse& r : reverses) {
    host_mirror.sim_cockpit2_engine_actuators_prop_mode[0] = r.prop;
    host_mirror.sim_flightmodel2_engines_thrust_reverser_deploy_ratio[0] = r.deploy;
    engine_n1_command_update();
    EXPECT_NEAR(n1_command_state.requested_n1[0], r.fraction, 1e-5f) << r.prop << " " << r.deploy;
  }
  host_mirror.sim_cockpit2_engine_actuators_prop_mode[0] = 1;
  host_mirror.sim_flightmodel2_engines_thrust_reverser_deploy_ratio[0] = 0.0f;
  flt_ctrls::reverse_lever1 = 0.0f;
  // Up from ground idle the throttle moves 1/38 of its range a second below
  // 38 % N1 (older host) or 36 % (newer), 0.5 a second above.
  struct Spool {
    int host;
    float n1, step;
  } spools[] = {{110000, 37.9f, 0.05f / 38}, {110000, 38, 0.025f}, {120000, 35.9f, 0.05f / 38}, {120000, 36, 0.025f}};
  engine::idle_mode[0] = engine::idle_mode[1] = 0.0f;
  engine::thrust1_leveler = 1.0f;
  for (const Spool& sp : spools) {
    host_version = sp.host;
    set_thrust_tables();
    compute_idle_n1(0.0f, 0.0f);
    n1_command_state = N1CommandState{};
    n1_command_state.throttle_ratio[0] = 0.3f;
    engine::indicators_N1_percent_1 = sp.n1;
    engine_n1_command_update();
    EXPECT_NEAR(n1_command_state.throttle_ratio[0], 0.3f + sp.step, 1e-6f) << sp.host << " " << sp.n1;
  }
}

// One step of the speed law from entry at throttle 0.5, N1 30 % (factor
// 1.15): the integral I + kI x X and the output I + kP x X within the rate
// limit. Rows pin the gains by speed gap (5 kt) and selected speed (339 kt),
// the error band by error and acceleration, and the rate by acceleration.
TEST_F(EngineTest, SpeedLawGainsBandAndRate) {
  struct Row {
    float v, sel, a, dt, last_p, integral, out;
  } rows[] = {
      {250, 252, 0.9f, 1, -1, 0.4632f, 0.373408f},       {250, 252, 0.89f, 1, -1, 0.469017f, 0.380494f},
      {250, 252, -0.9f, 1, 1, 0.5475f, 0.6634f},         {250, 252, -0.89f, 1, 1, 0.540351f, 0.655641f},
      {250, 254.9f, 0, 1, 1, 0.529571f, 0.589234f},      {250, 255, 0, 1, 1, 0.522f, 0.5836f},
      {336, 339, 0, 1, 1, 0.51554f, 0.55394f},           {336.5f, 339.5f, 0, 1, 1, 0.51572f, 0.55412f},
      {250, 259, 0, 1, 1, 0.54f, 0.652f},                {250, 246, 0, 1, -1, 0.47564f, 0.42204f},
      {250, 270, 0.3f, 1, 1, 0.535714f, 0.6265f},        {250, 280, 1.5f, 1, 1, 0.52f, 0.576f},
      {250, 262, -1.5f, 1, 1, 0.56f, 0.7616f},           {250, 262, -0.6f, 1, 1, 0.54f, 0.652f},
      {250, 262, -0.5f, 0.2f, 1, 0.508f, 0.6035f},       {250, 262, -0.05f, 0.2f, 1, 0.508f, 0.569f},
      {250, 262, 0.21f, 0.2f, 1, 0.5074f, 0.569f},       {250, 262, 0.23f, 0.2f, 1, 0.507343f, 0.5253f},
      {250, 252, -0.21f, 0.2f, 1, 0.502921f, 0.53795f},  {250, 252, -0.23f, 0.2f, 1, 0.503135f, 0.547913f},
      {250, 250.5f, 0.2f, 0.2f, -1, 0.499117f, 0.481941f}, {250, 240, -0.22f, 0.2f, -1, 0.49264f, 0.431f},
      {250, 260, 0.22f, 0.2f, 1, 0.506664f, 0.569f},       {255, 250, 1, 1, -1, 0.45f, 0.31f},
      {255.1f, 250, 1, 1, -1, 0.45f, 0.296f},             {250, 255, 0, 0.2f, 1, 0.5044f, 0.566f},
      {250, 252, -0.22f, 0.2f, 1, 0.503028f, 0.546284f}, {250, 262, -0.1f, 0.2f, 1, 0.508f, 0.569f},
      {262, 250, 0.1f, 0.2f, -1, 0.492f, 0.431f},         {250, 254, 0, 1, 1, 0.519488f, 0.562368f},
  };
  for (const Row& r : rows) {
    reset_thrust_lever_state();
    frame_time = r.dt;
    HostMirror& h = host_mirror;
    h.sim_flightmodel_engine_ENGN_thro_use[0] = h.sim_flightmodel_engine_ENGN_thro_use[1] = 0.5f;
    h.sim_cockpit2_gauges_indicators_airspeed_kts_pilot = r.v;
    h.sim_cockpit2_gauges_indicators_airspeed_acceleration_kts_sec_pilot = r.a;
    h.sim_flightmodel2_engines_N1_percent[0] = h.sim_flightmodel2_engines_N1_percent[1] = 30.0f;
    script_mirror.zuvadud_D738_autopilot_mcp_speed_dial_kts = r.sel;
    script_mirror.zuvadud_D738_pfd_min_speed = 0.0f;
    script_mirror.zuvadud_D738_autopilot_speed_mode2 = 2.0f;
    thrust_lever_state.speed_mode_prev = 0.0f;
    autothrottle_speed_state.last_p_term = r.last_p;
    EXPECT_NEAR(autothrottle_speed_target(), r.out, 2e-6f) << "row " << (&r - rows);
    EXPECT_NEAR(autothrottle_speed_state.integral, r.integral, 2e-6f) << "row " << (&r - rows);
  }
  frame_time = 0.05f;
}

// Lever to host throttle ratio and back, every branch: the older host scales
// 0..1 to 0..1.08 (reverse 0.06..1 to 0..0.57); the newer host runs from the
// idle throttle (here 0.1) to 0.224 over the first quarter, then to 1.12
// (reverse 0.06..1 from idle to 0.69).
TEST_F(EngineTest, LeverAndThrottleRatio) {
  struct Row {
    int host, prop;
    float lever, ratio;
    bool inverse;
  } rows[] = {
      {110000, 1, -0.1f, 0, false},   {110000, 1, 0.5f, 0.54f, true},      {110000, 1, 1.1f, 1.08f, false},
      {110000, 3, 0.05f, 0, false},   {110000, 3, 0.07f, 0.0060638f, true}, {110000, 3, 0.53f, 0.285f, true},
      {110000, 3, 1.1f, 0.57f, false}, {120000, 1, -0.1f, 0.1f, false},    {120000, 1, 0.1f, 0.1496f, true},
      {120000, 1, 0.625f, 0.672f, true}, {120000, 1, 1.1f, 1.12f, false},  {120000, 3, 0.05f, 0.1f, false},
      {120000, 3, 0.07f, 0.1062766f, true}, {120000, 3, 0.53f, 0.395f, true}, {120000, 3, 1.1f, 0.69f, false},
  };
  for (const Row& r : rows) {
    host_version = r.host;
    set_thrust_tables();
    thrust_tables.idle_throttle[1] = r.host < 120000 ? 0.0f : 0.1f;
    EXPECT_NEAR(throttle_to_n1_target(r.lever, 0, r.prop, 1), r.ratio, 1e-6f) << r.host << " " << r.prop << " " << r.lever;
    if (r.inverse) {
      EXPECT_NEAR(throttle_to_n1_fraction(r.ratio, 0, r.prop, 1), r.lever, 1e-6f) << r.host << " " << r.prop << " " << r.ratio;
    }
  }
}

class Spool : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    pneumatics.duct_psi[0] = pneumatics.duct_psi[1] = 0.0f;
    air::apu_bleed_valve_pos = air::isolation_bleed_valve_pos = 0.0f;
    air::l_pack_bleed_valve_pos = air::r_pack_bleed_valve_pos = 0.0f;
    pneumatics.apu_reg_factor = 1.0f;
    pneumatics.ground_air_psi = 0.0f;
    script_mirror.zuvadud_D738_engine_engine_air_start = 0.0f;
    engine::start_valve1 = engine::start_valve2 = 0.0f;
    engine::starter1_pos = engine::starter2_pos = 1.0f;
    engine::mixture_ratio1 = engine::mixture_ratio2 = 0.0f;
    engine_damage_flags[0] = engine_damage_flags[1] = 0;
  }
};

// Starter air: the starter N2 limit 24.1 .. 26.1 % over density 0.635 .. 1,
// the duct factor over 10.5 .. 21.6 psi, the air cart (x 1.1) through the
// isolation valve, and the pack loss 0.33 per pack up to 1, 0.07 beyond.
TEST_F(Spool, StarterAirSources) {
  struct Row {
    float sigma, duct_l, duct_r, apu, iso, cart_psi, l_pack, r_pack, air1, air2;
  } rows[] = {
      {1, 21.6f, 0, 1, 0, 0, 0, 0, 26.1f, 0},         {0.635f, 21.6f, 0, 1, 0, 0, 0, 0, 24.1f, 0},
      {0.5f, 21.6f, 0, 1, 0, 0, 0, 0, 24.1f, 0},      {0.8175f, 21.6f, 0, 1, 0, 0, 0, 0, 25.1f, 0},
      {1, 16.05f, 0, 1, 0, 0, 0, 0, 13.05f, 0},       {1, 16.05f, 0, 1, 1, 0, 0, 0, 13.05f, 13.05f},
      {1, 0, 16.05f, 0, 1, 0, 0, 0, 0, 13.05f},        {1, 0, 21.6f, 0, 0, 0, 0, 0, 0, 0},
      {1, 0, 0, 0, 1, 10.8f, 0, 0, 14.355f, 14.355f}, {1, 0, 0, 0, 0, 30, 0, 0, 0, 28.71f},
      {1, 21.6f, 0, 1, 0, 0, 0.5f, 0, 21.7935f, 0},   {1, 21.6f, 21.6f, 1, 1, 0, 1, 0.5f, 16.5735f, 16.5735f},
      {1, 21.6f, 21.6f, 1, 1, 0, 1, 1, 15.66f, 15.66f},
  };
  for (const Row& r : rows) {
    host_mirror.sim_weather_sigma = r.sigma;
    pneumatics.duct_psi[0] = r.duct_l;
    pneumatics.duct_psi[1] = r.duct_r;
    air::apu_bleed_valve_pos = r.apu;
    air::isolation_bleed_valve_pos = r.iso;
    pneumatics.ground_air_psi = r.cart_psi;
    script_mirror.zuvadud_D738_engine_engine_air_start = r.cart_psi > 0 ? 1.0f : 0.0f;
    air::l_pack_bleed_valve_pos = r.l_pack;
    air::r_pack_bleed_valve_pos = r.r_pack;
    float air[2];
    starter_air_targets(air);
    EXPECT_NEAR(air[0], r.air1, 1e-4f) << "row " << (&r - rows);
    EXPECT_NEAR(air[1], r.air2, 1e-4f) << "row " << (&r - rows);
  }
}

// One frame of engine 1's N2 (0.05 s): the start rate k1 1.1 .. 1.2 %/s and
// the light-off rate k2 1.7 .. 1.8 %/s over density, k2 less 10 % of the
// rain ratio beyond 0.1, the in-flight rates 0.85 k1 and 0.95 k2 from a FLT
// switch above 180 kt with N2 from 11 %, and the host's N2 from 56 %. On
// the ground a lit core below 56 % gets k2 only from half a starter's air
// (its start valve open at GRD), less below, none from a quarter down;
// once past 56 % it is pushed back up without it.
TEST_F(Spool, N2RatesBySwitchAndState) {
  struct Row {
    float sigma, rain, sw;
    int running;
    float n, host, host_prev, duct, mixture, ias, next;
    int airborne = 0;
    int past_cutout = 0;
  } rows[] = {
      {1, 0, 0, 0, 10, 10, 10, 21.6f, 0, 0, 10.06f},       {0.635f, 0, 0, 0, 10, 10, 10, 21.6f, 0, 0, 10.055f},
      {1, 0, 0, 0, 30, 31, 30, 21.6f, 0, 0, 30.09f},       {0.635f, 0, 0, 0, 30, 31, 30, 21.6f, 0, 0, 30.085f},
      {1, 0.5f, 0, 0, 30, 31, 30, 21.6f, 0, 0, 30.0855f}, {1, 0.1f, 0, 0, 30, 31, 30, 21.6f, 0, 0, 30.09f},
      {1, 2, 0, 0, 30, 31, 30, 21.6f, 0, 0, 30.081f},      {1, 0, 1, 1, 40, 40, 40, 0, 0, 0, 40.09f, 1},
      {1, 0, 1, 1, 55.99f, 63, 63, 0, 0, 0, 56.08f, 1},       {1, 0, 1, 1, 56, 63, 63, 0, 0, 0, 63},
      {1, 0, 1, 0, 30, 31, 30, 0, 0, 0, 30.09f, 1},           {1, 0, 3, 1, 40, 20, 20, 0, 0, 181, 40.0855f},
      {1, 0, 3, 1, 40, 20, 20, 0, 0, 180, 40.09f, 1},         {1, 0, 3, 1, 40, 10.9f, 10.9f, 0, 0, 181, 40.09f, 1},
      {1, 0, 3, 1, 40, 11, 11, 0, 0, 181, 40.0855f},       {1, 0, 3, 0, 10, 12, 11, 21.6f, 0, 181, 10.051f},
      {1, 0, 3, 0, 30, 22, 21, 0, 0.5f, 181, 30.0855f},
      // On the ground: the switch OFF, the APU's air cut, full, weak and too
      // little air, and a core back below 56 % once past it.
      {1, 0, 1, 1, 40, 40, 40, 0, 0, 0, 40},
      {1, 0, 1, 0, 30, 31, 30, 0, 0, 0, 30},
      {1, 0, 0, 0, 30, 31, 30, 0, 0, 0, 30},
      {1, 0, 0, 1, 40, 40, 40, 21.6f, 0, 0, 40.09f},
      {1, 0, 0, 1, 40, 40, 40, 14.6625f, 0, 0, 40.045f},
      {1, 0, 0, 1, 40, 40, 40, 13.275f, 0, 0, 40},
      {1, 0, 1, 1, 55.99f, 63, 63, 0, 0, 0, 55.99f},
      {1, 0, 1, 1, 55.99f, 63, 63, 0, 0, 0, 56.08f, 0, 1},
      // Fuelled but not lit (the host keeps the engine out): the run-down.
      {1, 0, 3, 0, 30, 22, 22, 0, 0.5f, 181, n2_rundown_step(30.0f)},
      {1, 0, 3, 0, 30, 21, 21, 0, 0.5f, 181, n2_rundown_step(30.0f)},
      {1, 0, 3, 0, 20, 21, 21, 21.6f, 0, 181, 20.051f},
  };
  for (const Row& r : rows) {
    host_mirror.sim_weather_sigma = r.sigma;
    host_mirror.sim_weather_precipitation_on_aircraft_ratio = r.rain;
    engine::starter1_pos = r.sw;
    engine::start_valve1 = r.sw == 0.0f ? 1.0f : 0.0f;
    on_ground = r.airborne == 0 ? 1 : 0;
    engine_start_state.past_cutout[0] = static_cast<uint8_t>(r.past_cutout);
    host_mirror.sim_flightmodel_engine_ENGN_running[0] = r.running;
    host_mirror.sim_flightmodel_engine_ENGN_running[1] = 1;
    engine_copies.spool_n2[0] = r.n;
    host_mirror.sim_flightmodel_engine_ENGN_N2_[0] = r.host;
    engine_copies.spool_n2_previous[0] = r.host_prev;
    pneumatics.duct_psi[0] = r.duct;
    air::apu_bleed_valve_pos = 1.0f;
    engine::mixture_ratio1 = r.mixture;
    host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_pilot = r.ias;
    update_engine_start();
    EXPECT_NEAR(engine_copies.spool_n2[0], r.next, 1e-4f) << "row " << (&r - rows);
  }
  // Not lit: the run-down curve, unless the air is stronger.
  engine_copies.spool_n2[0] = 30.0f;
  engine_copies.spool_n2_previous[0] = host_mirror.sim_flightmodel_engine_ENGN_N2_[0] = 22.0f;
  engine::mixture_ratio1 = 0.49f;
  pneumatics.duct_psi[0] = 0.0f;
  update_engine_start();
  EXPECT_NEAR(engine_copies.spool_n2[0], n2_rundown_step(30.0f), 1e-5f);
}

// The windmill floor of a stopped engine: altitude from metres at 3.28 ft,
// and in the lowest Mach band the wind along the heading, 0.514 / 330 Mach
// per knot, counted from 0.01 up to 0.1.
TEST_F(Spool, WindmillFloorFromAltitudeAndWind) {
  struct Row {
    float alt_ft, mach, wind_kt, wind_from, n1, n2;
  } rows[] = {
      {20000, 0.35f, 0, 0, 13.633f, 7.899f},      {0, 0, 50, 0, 5.66411f, 0}, {0, 0, 100, 0, 7.51f, 0},
      {0, 0, 7, 0, 0.07386f, 0},                {0, 0, 5, 0, 0, 0},          {0, 0, 100, 90, 0, 0},
  };
  // Each engine stopped in turn while the other runs.
  for (int e = 0; e < 2; ++e) {
    for (const Row& r : rows) {
      engine_copies = EngineStateCopies{};
      host_mirror.sim_flightmodel_engine_ENGN_running[e] = 0;
      host_mirror.sim_flightmodel_engine_ENGN_running[1 - e] = 1;
      host_mirror.sim_flightmodel_position_elevation = r.alt_ft / 3.28;
      host_mirror.sim_flightmodel_misc_machno = r.mach;
      host_mirror.sim_cockpit2_gauges_indicators_wind_speed_kts = r.wind_kt;
      host_mirror.sim_cockpit2_gauges_indicators_wind_heading_deg_mag = r.wind_from;
      host_mirror.sim_flightmodel_position_mag_psi = 0.0f;
      host_mirror.sim_flightmodel2_engines_N1_percent[e] = 0.0f;
      host_mirror.sim_flightmodel2_engines_N2_percent[e] = 0.0f;
      host_mirror.sim_flightmodel_engine_ENGN_N2_[e] = 0.0f;
      update_engine_start();
      EXPECT_NEAR(engine_copies.spool_n1[e], r.n1, 2e-3f) << "engine " << e + 1 << " row " << (&r - rows);
      EXPECT_NEAR(engine_copies.spool_n2[e], r.n2, 2e-3f) << "engine " << e + 1 << " row " << (&r - rows);
    }
  }
}

// One frame of the vibration and fan indications of a running engine: the
// vibration lags at 3/s toward its law (tripled when damaged, at most 500)
// and publishes a hundredth; the fan spins up at 0.65/s toward N1 / 0.1845273
// rad/s unless the host already turns it faster.
TEST_F(Spool, VibrationAndFanOfOneFrame) {
  struct Row {
    int e;
    float n1;
    uint8_t damaged;
    int separated;
    float host_speed, speed0, vib, speed, angle;
  } rows[] = {
      {0, 37, 0, 0, 0, 0, 0.1815f, 6.51665f, 18.6702f},  {1, 37, 0, 0, 0, 0, 0.1545f, 6.51665f, 18.6702f},
      {0, 10, 1, 0, 0, 0, 0.75f, 1.76126f, 5.046f},       {0, 37, 1, 0, 0, 0, 0.5445f, 6.51665f, 18.6702f},
      {0, 37, 0, 1, 0, 0, 0, 0, 0},                      {0, 37, 0, 0, 300, 0, 0.1815f, 300, 123},
      {0, 0.005f, 0, 0, 0, 10, 0.00013575f, 9.675f, 27.7189f},
  };
  for (const Row& r : rows) {
    engine_start_state = EngineStartState{};
    engine_start_state.fan_speed_rad_s[r.e] = r.speed0;
    damage_fluctuation_timer = 5.0f;
    engine_damage_flags[r.e] = r.damaged;
    host_mirror.sim_operation_failures_rel_engsep0 = r.separated * 6;
    for (int e = 0; e < 2; ++e) host_mirror.sim_flightmodel_engine_ENGN_running[e] = 1;
    host_mirror.sim_flightmodel2_engines_N1_percent[r.e] = r.n1;
    host_mirror.sim_flightmodel2_engines_engine_rotation_speed_rad_sec[r.e] = r.host_speed;
    host_mirror.sim_flightmodel2_engines_engine_rotation_angle_deg[r.e] = 123.0f;
    (r.e == 0 ? engine::indicators_N1_percent_1 : engine::indicators_N1_percent_2) = r.n1;
    engine::indicators_eng1_vib = engine::indicators_eng2_vib = 0.0f;
    update_engine_start();
    EXPECT_NEAR(r.e == 0 ? engine::indicators_eng1_vib : engine::indicators_eng2_vib, r.vib, 1e-6f) << "row " << (&r - rows);
    EXPECT_NEAR(r.e == 0 ? engine::rot_spd0 : engine::rot_spd1, r.speed, 1e-4f) << "row " << (&r - rows);
    EXPECT_NEAR(r.e == 0 ? engine::rot_ang0 : engine::rot_ang1, r.angle, 1e-3f) << "row " << (&r - rows);
    engine_damage_flags[r.e] = 0;
  }
}

class Model : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    for (int i = 0; i < 7; ++i) saved_[i] = *coefficient(i);
    for (int e = 0; e < 2; ++e) host_mirror.sim_flightmodel2_engines_engine_is_burning_fuel[e] = 1;
  }
  void TearDown() override {
    for (int i = 0; i < 7; ++i) *coefficient(i) = saved_[i];
    EngineTest::TearDown();
  }
  // The curve type, then coefficients 1 to 6.
  static float* coefficient(int i) {
    float* const all[7] = {&engine_model::curve02_type,  &engine_model::curve02_coef1, &engine_model::curve02_coef2,
                           &engine_model::curve02_coef3, &engine_model::curve02_coef4, &engine_model::curve02_coef5,
                           &engine_model::curve02_coef6};
    return all[i];
  }
  float saved_[7] = {};
};

// The thrust curves by type, through the shaping bands of the default curve
// (N1 fraction in, share of full thrust out).
TEST_F(Model, ThrustCurvesByType) {
  struct Row {
    float c[7];
    float x, share;
  } rows[] = {
      {{0, 4.1f, 2.47f, 27300, 0, 0, 0}, 0.1f, 0.000427f},  {{0, 4.1f, 2.47f, 27300, 0, 0, 0}, 0.25f, 0.010583f},
      {{0, 4.1f, 2.47f, 27300, 0, 0, 0}, 0.375f, 0.043999f}, {{0, 4.1f, 2.47f, 27300, 0, 0, 0}, 0.45f, 0.090725f},
      {{0, 4.1f, 2.47f, 27300, 0, 0, 0}, 0.55f, 0.175074f},  {{0, 4.1f, 2.47f, 27300, 0, 0, 0}, 0.975f, 0.957015f},
      {{0, 4.1f, 2.47f, 27300, 0, 0, 0}, 1.02f, 1.011915f},  {{1, 2, 0.5f, 0.5f, 0.1f, 0, 0}, 0.2f, 0.12f},
      {{1, 2, 0.5f, 0.5f, 0.1f, 0, 0}, 0.7f, 0.64333f},      {{2, 2, 2, 0, 0, 0, 0}, 0.5f, 0.478553f},
      {{2, 2, 0, 0, 0, 0, 0}, 0.5f, 0},                      {{3, 2, 2, 0.3f, 0, 0, 0}, 0.2f, 0.151545f},
      {{3, 2, 2, 0.3f, 0, 0, 0}, 0.5f, 0.478553f},           {{3, 2, 0, 0.3f, 0, 0, 0}, 0.5f, 0},
      {{4, 2, 3, 100, 1000, 1, 50}, 0.1f, 0.556041f},        {{4, 2, 3, 100, 1000, 1, 50}, 0.25f, 1.703778f},
      {{4, 2, 3, 100, 1000, 1, 50}, 0.4f, 0.999451f},        {{4, 2, 3, 100, 1000, 1, 50}, 0.7f, 0.467266f},
      {{4, 2, 3, 100, 1000, 1, 50}, 0.97f, 0.945605f},       {{4, 2, 3, 100, 1000, 1, 50}, 1.1f, 1.074482f},
  };
  for (const Row& r : rows) {
    for (int i = 0; i < 7; ++i) *coefficient(i) = r.c[i];
    EXPECT_NEAR(engine_thrust_curve(r.x), r.share, 2e-5f) << "type " << r.c[0] << " at " << r.x;
  }
}

// Static thrust over Mach (inlet gain fading from 0.85 to 0.95), fuel
// consumption over air temperature and Mach, and the ground push by N1.
TEST_F(Model, StaticThrustConsumptionAndGroundPush) {
  struct Lapse {
    float mach, lbf;
  } lapses[] = {{0.5f, 20625}, {0.849f, 21530.04f}, {0.9f, 13416.56f}, {1.3f, 0}};
  for (const Lapse& l : lapses) {
    host_mirror.sim_flightmodel_misc_machno = l.mach;
    EXPECT_NEAR(engine_static_thrust(), l.lbf * 4.44822162f, 0.5f) << l.mach;
  }
  on_ground = 0;
  struct Consumption {
    float n1, oat, mach, sfc;
  } consumption[] = {{50, -50, 0.5f, 0.0514642f}, {19.9f, -300, 0.2f, 0.50486f}, {30, 25, 0, 0.2627777f}};
  for (const Consumption& c : consumption) {
    host_mirror.sim_flightmodel_misc_machno = c.mach;
    host_mirror.sim_cockpit2_temperature_outside_air_temp_degc = c.oat;
    host_mirror.sim_flightmodel2_engines_N1_percent[0] = host_mirror.sim_flightmodel2_engines_N1_percent[1] = c.n1;
    engine_forces_update();
    const float te = engine_thrust_curve(c.n1 / 100.0f) * engine_static_thrust();
    EXPECT_NEAR(simhost::get_floats("sim/flightmodel/engine/ENGN_FF_", 2)[1] * 3600.0f / te, c.sfc, 1e-5f) << c.n1;
  }
  engine_model::curve02_type = 5.0f;  // no curve thrust: the ground push alone
  on_ground = 1;
  struct Push {
    float n1, newtons;
  } pushes[] = {{-1, 0},       {10, 750},       {20, 1500}, {30, 6650}, {39.9f, 11748.5f}, {40, 11800},
                {49.9f, 11800}, {50, 11800},    {70, 5900}, {89.9f, 29.5f}, {90, 0}};
  host_mirror.sim_flightmodel2_engines_N1_percent[1] = 95.0f;
  for (const Push& p : pushes) {
    host_mirror.sim_flightmodel2_engines_N1_percent[0] = p.n1;
    engine_forces_update();
    EXPECT_NEAR(simhost::get_float("sim/flightmodel/forces/faxil_prop"), -p.newtons, 0.01f) << p.n1;
  }
}

// With nothing moving, the levers write neither the prop modes nor the
// throttle ratios again.
TEST_F(EngineTest, SteadyLeversWriteNothing) {
  reset_thrust_lever_state();
  host_mirror.sim_cockpit2_engine_actuators_prop_mode[0] = host_mirror.sim_cockpit2_engine_actuators_prop_mode[1] = 1;
  update_thrust_levers();
  const int ratio_writes = simhost::counts("sim/cockpit2/engine/actuators/throttle_ratio").writes;
  for (int i = 0; i < 3; ++i) update_thrust_levers();
  EXPECT_EQ(simhost::counts("sim/cockpit2/engine/actuators/prop_mode").writes, 0);
  EXPECT_EQ(simhost::counts("sim/cockpit2/engine/actuators/throttle_ratio").writes, ratio_writes);
}

// Idle ratios: the newer host writes each ratio only when it differs (both
// when high is below 0.6 or either is above 0.67); the older host's low ratio
// runs 0.48 / 0.515 / 0.605 over 0 / 15 / 40 degC (15 when unknown) and its
// high ratio 2.38 .. 1.36 over density 0.235 .. 1 (1 when unknown).
TEST_F(EngineTest, IdleRatioWritesAndLaws) {
  const char* low = "sim/aircraft2/engine/low_idle_ratio";
  const char* high = "sim/aircraft2/engine/high_idle_ratio";
  struct Newer {
    float l, h;
    int low_writes, high_writes;
  } newer[] = {{0.6f, 0.67f, 0, 0}, {0.6f, 0.59f, 1, 1}, {0.6f, 0.6f, 0, 1},  {0.67f, 0.67f, 1, 0},
               {0.68f, 0.67f, 1, 1}, {0.6f, 0.68f, 1, 1}, {0.5f, 0.65f, 1, 1}};
  for (const Newer& n : newer) {
    acf_low_idle_ratio = n.l;
    acf_high_idle_ratio = n.h;
    const int l0 = simhost::counts(low).writes;
    const int h0 = simhost::counts(high).writes;
    update_idle_ratios();
    EXPECT_EQ(simhost::counts(low).writes - l0, n.low_writes) << n.l << " " << n.h;
    EXPECT_EQ(simhost::counts(high).writes - h0, n.high_writes) << n.l << " " << n.h;
  }
  host_version = 110000;
  struct Older {
    float oat, sigma, low, high;
  } older[] = {{7.5f, 1, 0.4975f, 1.36f}, {27.5f, 0.6175f, 0.56f, 1.87f}, {NAN, NAN, 0.515f, 1.36f}};
  for (const Older& o : older) {
    host_mirror.sim_cockpit2_temperature_outside_air_temp_degc = o.oat;
    host_mirror.sim_weather_sigma = o.sigma;
    update_idle_ratios();
    EXPECT_NEAR(simhost::get_float(low), o.low, 1e-5f) << o.oat;
    EXPECT_NEAR(simhost::get_float(high), o.high, 1e-5f) << o.sigma;
  }
}

// First frame: running engines start at 19.5 % N1 and 58.5 % N2; after a
// situation load an engine whose host mixture is above 0.2 keeps running.
// The replay copies the host's N1 and N2 and shows each engine's vibration
// on its own curve.
TEST_F(EngineTest, FirstFrameAndReplayIndications) {
  situation_loaded = 0.0f;
  host_mirror.sim_operation_prefs_startup_running = 1;
  init_engine_state();
  EXPECT_EQ(engine::indicators_N1_percent_2, 19.5f);
  EXPECT_EQ(engine::indicators_N2_percent_1, 58.5f);
  EXPECT_EQ(engine_copies.spool_n2_previous[1], 58.5f);
  EXPECT_NEAR(engine::indicators_eng1_vib, 1.598889f, 1e-5f);
  EXPECT_EQ(simhost::get_ints("sim/flightmodel/engine/ENGN_running", 2), (std::vector<int>{1, 1}));
  EXPECT_EQ(simhost::get_ints("sim/cockpit2/engine/actuators/igniter_on", 2), (std::vector<int>{1, 1}));
  situation_loaded = 1.0f;
  engine::mixture_ratio1 = engine::mixture_ratio2 = 0.0f;
  host_mirror.sim_cockpit2_engine_actuators_mixture_ratio[0] = 0.21f;
  host_mirror.sim_cockpit2_engine_actuators_mixture_ratio[1] = 0.2f;
  init_engine_state();
  EXPECT_EQ(engine::mixture_ratio1, 1.0f);
  EXPECT_EQ(engine::mixture_ratio2, 0.0f);
  situation_loaded = 0.0f;
  host_mirror.sim_flightmodel2_engines_N1_percent[0] = 71.0f;
  host_mirror.sim_flightmodel2_engines_N2_percent[1] = 80.0f;
  replay_engine_indications();
  EXPECT_EQ(engine::indicators_N1_percent_1, 71.0f);
  EXPECT_EQ(engine::indicators_N2_percent_2, 80.0f);
  EXPECT_NEAR(engine::indicators_eng1_vib, 1.34f, 1e-5f);
  EXPECT_NEAR(engine::indicators_eng2_vib, 1.6457f, 1e-4f);  // 19.5 % N1 on engine 2's curve
}

}  // namespace
