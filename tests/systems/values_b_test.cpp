// Published numbers of the hydraulic, electrical, light, fuel, fire, radio,
// guard and instrument models and of the replay substitutes: one table row per
// threshold or table point, with a value on each side of a threshold, checked
// through the models' own frame steps.
#include <gtest/gtest.h>

#include <cmath>

#include "alerting/aural_cues.h"
#include "core/binding.h"
#include "core/failure_tables.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "core/variant.h"
#include "display/nd_slots.h"
#include "engines/engine_values.h"
#include "systems/air/air_values.h"
#include "systems/aircraft_systems.h"
#include "systems/annunciators/annunciator_values.h"
#include "systems/delay_timers.h"
#include "systems/electrical/electric_values.h"
#include "systems/electrical/electrical.h"
#include "systems/fire/fire.h"
#include "systems/fire/fire_values.h"
#include "systems/flight_controls/flight_control_values.h"
#include "systems/fuel/fuel.h"
#include "systems/fuel/fuel_pump_lights.h"
#include "systems/fuel/fuel_values.h"
#include "core/host_io.h"
#include "systems/hydraulics/hydraulic_values.h"
#include "systems/hydraulics/hydraulics.h"
#include "systems/instruments/clock_values.h"
#include "systems/instruments/clocks.h"
#include "systems/instruments/instrument_values.h"
#include "systems/lights/cabin_light_values.h"
#include "systems/lights/cabin_lights.h"
#include "systems/lights/lights.h"
#include "systems/radios/comm_values.h"
#include "systems/radios/radio_audio.h"
#include "systems/replay.h"
#include "systems/switches/switch_memory.h"
#include "systems/switches/switch_targets.h"
#include "systems/switches/switch_values.h"
#include "systems/system_state.h"
#include "systems/systems_steps.h"

namespace {

// A row sets its inputs on top of the fixture's, runs the step and reads one
// published value.
struct Row {
  const char* what;
  void (*set)();
  const float* out;
  float want;
};

template <class Fixture>
void run_rows(Fixture& f, const Row* rows, size_t n, void (*step)(), float tolerance = 0.02f) {
  for (size_t i = 0; i < n; ++i) {
    f.Reset();
    rows[i].set();
    step();
    EXPECT_NEAR(*rows[i].out, rows[i].want, tolerance) << rows[i].what;
  }
}

class HydValues : public ::testing::Test {
 protected:
  void SetUp() override { Reset(); }

 public:
  void Reset() {
    for (XPLMDataRef& h : bound_handles) h = nullptr;
    host_mirror = HostMirror{};
    script_mirror = ScriptMirror{};
    failure_tables = FailureTables{};
    delay_timers = DelayTimerBank{};
    hyd_state = HydraulicState{};
    hydraulic_step_state = HydraulicStepState{};
    hydraulic::A_pressure = hydraulic::B_pressure = 0.0f;
    toggle_switch::hydro_pumps1_pos = toggle_switch::hydro_pumps2_pos = 1.0f;
    toggle_switch::electric_hydro_pumps1_pos = toggle_switch::electric_hydro_pumps2_pos = 0.0f;
    toggle_switch::yaw_dumper_pos = 0.0f;
    yaw_damper_switch_state = 0.0f;
    fire::engine01_ext_switch_pos_arm = fire::engine02_ext_switch_pos_arm = 0.0f;
    switches::flt_ctr_A_pos = switches::flt_ctr_B_pos = 1.0f;
    switches::alt_flaps_pos = 0.0f;
    cockpit::parking_brake_pos = 0.0f;
    engine::mixture_ratio2 = 0.0f;
    for (int i = 0; i < 3; ++i) host_mirror.sim_flightmodel2_gear_on_ground[i] = 1;
    host_mirror.sim_flightmodel2_engines_engine_is_burning_fuel[0] = 1;
    host_mirror.sim_flightmodel2_engines_engine_is_burning_fuel[1] = 1;
    electric::dc_bus1_status = electric::dc_bus2_status = electric::dc_stdbus_status = 1.0f;
    electric::ac_tnsbus1_status = 1.0f;
    frame_time = 1.0f;  // one second: rates read as they are published
    frame_done = 1;
    on_ground = 1;
  }

 protected:
  // Pressures held for one frame: the pumps hardly move in 0.1 ms.
  static void hold(float a, float b) {
    frame_time = 1e-4f;
    hyd_state.emdp_press_a = a;
    hyd_state.emdp_press_b = b;
  }
  static void n2(float v) {
    host_mirror.sim_flightmodel2_engines_N2_percent[0] = host_mirror.sim_flightmodel2_engines_N2_percent[1] = v;
  }
  void run(const Row* rows, size_t n) { run_rows(*this, rows, n, hyd_update); }
};

TEST_F(HydValues, PumpsRatesAndStatus) {
  using namespace hydraulic;
  static const Row rows[] = {
      // Engine pump target between the N2 points (0, 0) (5.1, 1300) (5.8, 1600) (6, 1920) (8, full).
      {"n2 2.55", [] { n2(2.55f); }, &A_press_trg, 650.0f},
      {"n2 5.45", [] { n2(5.45f); }, &B_press_trg, 1450.0f},
      {"n2 5.9", [] { n2(5.9f); }, &A_press_trg, 1760.0f},
      {"n2 7", [] { n2(7.0f); }, &B_press_trg, 2425.0f},
      {"n2 5.1 A", [] { n2(5.1f); }, &A_press_trg, 1300.0f},
      {"n2 5.8 B", [] { n2(5.8f); }, &B_press_trg, 1600.0f},
      {"n2 6", [] { n2(6.0f); }, &B_press_trg, 1920.0f},
      // Rise: electric 483 psi/s, engine 725 psi/s; fall: 26 % (A) and 37 % (B) per second.
      {"elec A rise", [] { toggle_switch::electric_hydro_pumps1_pos = 1.0f; }, &A_pressure, 480.0f},
      {"elec B rise", [] { toggle_switch::electric_hydro_pumps2_pos = 1.0f; }, &B_pressure, 480.0f},
      {"eng A rise", [] { n2(60.0f); }, &A_pressure, 720.0f},
      {"eng B rise", [] { n2(60.0f); }, &B_pressure, 720.0f},
      {"A fall", [] { hyd_state.edp_press_a = hyd_state.emdp_press_a = 2000.0f; }, &A_pressure, 1480.0f},
      {"B fall", [] { hyd_state.edp_press_b = hyd_state.emdp_press_b = 2000.0f; }, &B_pressure, 1260.0f},
      {"elec B 2820", [] { toggle_switch::electric_hydro_pumps2_pos = 1.0f; }, &B_press_el_trg, 2820.0f},
      {"elec B needs DC 1", [] { toggle_switch::electric_hydro_pumps2_pos = 1.0f; electric::dc_bus1_status = 0; },
       &B_press_el_trg, 0.0f},
      {"elec pump failed", [] { toggle_switch::electric_hydro_pumps2_pos = 1.0f;
                                host_mirror.sim_operation_failures_rel_hydpmp_ele = 6; }, &B_press_el_trg, 0.0f},
      {"eng B pump failed", [] { n2(60.0f); host_mirror.sim_operation_failures_rel_hydpmp2 = 6; }, &B_press_trg, 0.0f},
      {"eng B fire switch", [] { n2(60.0f); fire::engine02_ext_switch_pos_arm = 1.0f; }, &B_press_trg, 0.0f},
      {"eng A pump 5", [] { n2(60.0f); host_mirror.sim_operation_failures_rel_hydpmp = 5; }, &A_press_trg, 2930.0f},
      // Fluid above 30 % feeds the pumps; below 30 % the residual bleeds off as the pumps do.
      {"fluid 30", [] { n2(60.0f); hyd_state.hyd_fluid_a = 30.0f; }, &A_press_trg, 0.0f},
      {"fluid 30.5", [] { n2(60.0f); hyd_state.hyd_fluid_a = 30.5f; }, &A_press_trg, 2930.0f},
      {"residual A kept at 30", [] { hyd_state.hyd_fluid_a = 30.0f; }, &hyd_state.hyd_residual_a, 45.0f},
      {"residual A bleeds", [] { hyd_state.hyd_fluid_a = 29.0f; }, &hyd_state.hyd_residual_a, 33.3f},
      {"residual B bleeds", [] { hyd_state.hyd_fluid_b = 29.0f; }, &hyd_state.hyd_residual_b, 28.35f},
      // Status above 1300, standby status above 2000 (after rounding down to tens).
      {"A 1310", [] { hold(1315.0f, 0); }, &A_status, 1.0f},
      {"B 1310", [] { hold(0, 1315.0f); }, &B_status, 1.0f},
      {"B 1300", [] { hold(0, 1309.0f); }, &B_status, 0.0f},
      {"stby 2010", [] { hold(0, 0); switches::alt_flaps_pos = 1; hyd_state.stby_press_state = 2015.0f; },
       &standby_status, 1.0f},
      {"stby 2000", [] { hold(0, 0); switches::alt_flaps_pos = 1; hyd_state.stby_press_state = 2009.0f; },
       &standby_status, 0.0f},
      {"stby falls 19 %", [] { hyd_state.stby_press_state = 2700.0f; }, &standby_pressure, 2180.0f},
      {"pressure is the highest", [] { hold(1234.5f, 0); }, &pressure, 1234.47f},
  };
  run(rows, std::size(rows));
}

TEST_F(HydValues, StandbyPumpAndRudder) {
  using namespace hydraulic;
  // Automatic standby: a switch ON, A or B below 2000, flaps out, airborne or above 60 kt.
  static const Row rows[] = {
      {"auto 61 kt", [] { hold(2005, 1995); host_mirror.sim_cockpit2_controls_flap_handle_deploy_ratio = 0.1f;
                          host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_pilot = 61.0f; }, &standby_on, 1},
      {"60 kt", [] { hold(1995, 1995); host_mirror.sim_cockpit2_controls_flap_handle_deploy_ratio = 0.1f;
                     host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_pilot = 60.0f; }, &standby_on, 0},
      {"nose gear up", [] { hold(1995, 2005); host_mirror.sim_cockpit2_controls_flap_handle_deploy_ratio = 0.1f;
                            host_mirror.sim_flightmodel2_gear_on_ground[0] = 0; }, &standby_on, 1},
      {"left gear up", [] { hold(1995, 0); host_mirror.sim_cockpit2_controls_flap_handle_deploy_ratio = 0.1f;
                            host_mirror.sim_flightmodel2_gear_on_ground[1] = 0; }, &standby_on, 1},
      {"right gear up", [] { hold(0, 0); host_mirror.sim_cockpit2_controls_flap_handle_deploy_ratio = 0.1f;
                             host_mirror.sim_flightmodel2_gear_on_ground[2] = 0; }, &standby_on, 1},
      {"A and B at 2000", [] { hold(2005, 2005); host_mirror.sim_cockpit2_controls_flap_handle_deploy_ratio = 0.1f;
                               host_mirror.sim_flightmodel2_gear_on_ground[2] = 0; }, &standby_on, 0},
      {"flaps up", [] { hold(0, 0); host_mirror.sim_flightmodel2_gear_on_ground[2] = 0; }, &standby_on, 0},
      {"B switch on only", [] { hold(0, 0); switches::flt_ctr_A_pos = 0; host_mirror.sim_flightmodel2_gear_on_ground[2] = 0;
                                host_mirror.sim_cockpit2_controls_flap_handle_deploy_ratio = 0.1f; }, &standby_on, 1},
      {"both switches off", [] { hold(0, 0); switches::flt_ctr_A_pos = switches::flt_ctr_B_pos = 0;
                                 host_mirror.sim_flightmodel2_gear_on_ground[2] = 0;
                                 host_mirror.sim_cockpit2_controls_flap_handle_deploy_ratio = 0.1f; }, &standby_on, 0},
      {"alt flaps", [] { switches::alt_flaps_pos = 1; }, &standby_on, 1},
      {"B at STBY", [] { switches::flt_ctr_B_pos = -1; }, &standby_on, 1},
      {"standby failed", [] { switches::alt_flaps_pos = 1; failure_tables.hydraulic[2] = 1; }, &standby_on, 0},
      {"standby bus off", [] { switches::alt_flaps_pos = 1; electric::dc_stdbus_status = 0; }, &standby_on, 0},
      // Rudder from standby through a switch that is not OFF.
      {"A rudder off", [] { hold(0, 0); switches::flt_ctr_A_pos = 0; switches::flt_ctr_B_pos = -1;
                            hyd_state.stby_press_state = 2700.0f; }, &A_rudder, 0},
      {"B rudder stby", [] { hold(0, 0); switches::flt_ctr_A_pos = 0; switches::flt_ctr_B_pos = -1;
                             hyd_state.stby_press_state = 2700.0f; }, &B_rudder, 1},
      {"B rudder B", [] { hold(0, 1400); }, &B_rudder, 1},
      {"A rudder none", [] { hold(0, 1400); }, &A_rudder, 0},
      {"B rudder none", [] { hold(1400, 0); }, &B_rudder, 0},
  };
  run(rows, std::size(rows));
}

TEST_F(HydValues, TransfersQuantitiesAndRefill) {
  using namespace hydraulic;
  // Parking brake released with the latch set: one step A -> B when B is above 1500.
  static const Row rows[] = {
      {"pb B 1510", [] { hold(0, 1515); hyd_state.pb_transfer_armed = hyd_state.prev_parking_brake_pos = 1;
                         hyd_state.prev_parking_brake_ratio = 1; }, &hyd_state.hyd_fluid_b, 92.99f},
      {"pb B 1500", [] { hold(0, 1505); hyd_state.pb_transfer_armed = hyd_state.prev_parking_brake_pos = 1;
                         hyd_state.prev_parking_brake_ratio = 1; }, &hyd_state.hyd_fluid_b, 92.0f},
      {"pb ratio unchanged", [] { hold(0, 1515); hyd_state.pb_transfer_armed = hyd_state.prev_parking_brake_pos = 1; },
       &hyd_state.hyd_fluid_b, 92.0f},
      {"pb not armed", [] { hold(0, 1515); hyd_state.prev_parking_brake_pos = hyd_state.prev_parking_brake_ratio = 1; },
       &hyd_state.hyd_fluid_b, 92.0f},
      {"pb to 120 cap", [] { hold(0, 1515); hyd_state.pb_transfer_armed = hyd_state.prev_parking_brake_pos = 1;
                             hyd_state.prev_parking_brake_ratio = 1; hyd_state.hyd_fluid_b = 119.5f; },
       &hyd_state.hyd_fluid_b, 120.0f},
      // Set with A above 1300 and B below 300.
      {"arm", [] { hold(1315, 295); cockpit::parking_brake_pos = 1;
                   host_mirror.sim_cockpit2_controls_parking_brake_ratio = 1; }, &hyd_state.pb_transfer_armed, 1},
      {"arm A 1300", [] { hold(1305, 295); cockpit::parking_brake_pos = 1;
                          host_mirror.sim_cockpit2_controls_parking_brake_ratio = 1; }, &hyd_state.pb_transfer_armed, 0},
      {"arm B 300", [] { hold(1315, 305); cockpit::parking_brake_pos = 1;
                         host_mirror.sim_cockpit2_controls_parking_brake_ratio = 1; }, &hyd_state.pb_transfer_armed, 0},
      {"engine pump clears", [] { n2(0.5f); hyd_state.pb_transfer_armed = 1; }, &hyd_state.pb_transfer_armed, 0},
      {"one engine pump clears", [] { host_mirror.sim_flightmodel2_engines_N2_percent[1] = 60;
                                      hyd_state.rev_transfer_armed = 1; }, &hyd_state.rev_transfer_armed, 0},
      // Reverser: set in reverse with A and B below 300, both switches at STBY and standby up.
      {"rev arm", [] { hold(295, 295); switches::flt_ctr_A_pos = switches::flt_ctr_B_pos = -1;
                       hyd_state.stby_press_state = 2700; host_mirror.sim_cockpit2_engine_actuators_prop_mode[0] = 3; },
       &hyd_state.rev_transfer_armed, 1},
      {"rev arm A 300", [] { hold(305, 295); switches::flt_ctr_A_pos = switches::flt_ctr_B_pos = -1;
                             hyd_state.stby_press_state = 2700; host_mirror.sim_cockpit2_engine_actuators_prop_mode[0] = 3; },
       &hyd_state.rev_transfer_armed, 0},
      {"rev arm B 300", [] { hold(295, 305); switches::flt_ctr_A_pos = switches::flt_ctr_B_pos = -1;
                             hyd_state.stby_press_state = 2700; host_mirror.sim_cockpit2_engine_actuators_prop_mode[0] = 3; },
       &hyd_state.rev_transfer_armed, 0},
      {"rev arm A on", [] { hold(295, 295); switches::flt_ctr_B_pos = -1;
                            hyd_state.stby_press_state = 2700; host_mirror.sim_cockpit2_engine_actuators_prop_mode[0] = 3; },
       &hyd_state.rev_transfer_armed, 0},
      {"rev arm no stby", [] { hold(295, 295); switches::flt_ctr_A_pos = switches::flt_ctr_B_pos = -1;
                               host_mirror.sim_cockpit2_engine_actuators_prop_mode[0] = 3; },
       &hyd_state.rev_transfer_armed, 0},
      // Forward again with A above 1300 and B below 300: one step B -> A.
      {"rev move", [] { hold(1315, 295); hyd_state.rev_transfer_armed = 1;
                        host_mirror.sim_cockpit2_engine_actuators_prop_mode[0] = 1; }, &hyd_state.hyd_fluid_a, 92.99f},
      {"rev A 1300", [] { hold(1305, 295); hyd_state.rev_transfer_armed = 1;
                          host_mirror.sim_cockpit2_engine_actuators_prop_mode[0] = 1; }, &hyd_state.hyd_fluid_a, 92.0f},
      {"rev B 300", [] { hold(1315, 305); hyd_state.rev_transfer_armed = 1;
                         host_mirror.sim_cockpit2_engine_actuators_prop_mode[0] = 1; }, &hyd_state.hyd_fluid_a, 92.0f},
      {"rev B off", [] { hold(1315, 295); hyd_state.rev_transfer_armed = 1; switches::flt_ctr_B_pos = 0;
                         host_mirror.sim_cockpit2_engine_actuators_prop_mode[0] = 1; }, &hyd_state.hyd_fluid_a, 92.0f},
      {"rev cleared", [] { hold(1305, 295); hyd_state.rev_transfer_armed = 1;
                           host_mirror.sim_cockpit2_engine_actuators_prop_mode[0] = 1; }, &hyd_state.rev_transfer_armed, 0},
      // Displayed quantity: spoilers -5 at 0 deg to 0 at 50 deg; flaps 0 to 16 over 0 to 49 deg, each.
      {"qty A spoiler 25", [] { host_mirror.sim_flightmodel2_wing_spoiler1_deg[0] = 25; }, &hyd_A_qty, 89.5f},
      {"qty A spoiler 60", [] { host_mirror.sim_flightmodel2_wing_spoiler1_deg[0] = 60; }, &hyd_A_qty, 92.0f},
      {"qty A spoiler -1", [] { host_mirror.sim_flightmodel2_wing_spoiler1_deg[0] = -1; }, &hyd_A_qty, 87.0f},
      {"qty B flaps 24.5", [] { host_mirror.sim_flightmodel2_wing_spoiler1_deg[1] = 50;
                                host_mirror.sim_flightmodel2_wing_flap1_deg[0] = 24.5f;
                                host_mirror.sim_flightmodel2_wing_flap1_deg[1] = 60; }, &hyd_B_qty, 68.0f},
      {"qty B flaps -1", [] { host_mirror.sim_flightmodel2_wing_spoiler1_deg[1] = 50;
                              host_mirror.sim_flightmodel2_wing_flap1_deg[0] = -1;
                              host_mirror.sim_flightmodel2_wing_flap1_deg[1] = 24.5f; }, &hyd_B_qty, 84.0f},
      {"qty B not below 0", [] { hyd_state.hyd_fluid_b = 10; host_mirror.sim_flightmodel2_wing_flap1_deg[0] = 49; },
       &hyd_B_qty, 0.0f},
      // Refill on the ground with no engine burning, or flaps up and rolling above 5 m/s.
      {"rf rolling", [] { host_mirror.sim_flightmodel_position_groundspeed = 5.5f; }, &hyd_rf, 1},
      {"rf 5 m/s", [] { host_mirror.sim_flightmodel_position_groundspeed = 5.0f; }, &hyd_rf, 0},
      {"rf flaps", [] { host_mirror.sim_flightmodel_position_groundspeed = 6.0f;
                        host_mirror.sim_cockpit2_controls_flap_ratio = 0.5f; }, &hyd_rf, 0},
      {"rf engine 2 off", [] { host_mirror.sim_flightmodel2_engines_engine_is_burning_fuel[1] = 0; }, &hyd_rf, 0},
      {"rf engines off", [] { host_mirror.sim_flightmodel2_engines_engine_is_burning_fuel[0] = 0;
                              host_mirror.sim_flightmodel2_engines_engine_is_burning_fuel[1] = 0; }, &hyd_rf, 1},
      {"rf airborne", [] { on_ground = 0; host_mirror.sim_flightmodel2_engines_engine_is_burning_fuel[0] = 0;
                           host_mirror.sim_flightmodel2_engines_engine_is_burning_fuel[1] = 0; }, &hyd_rf, 0},
  };
  run(rows, std::size(rows));
}

TEST_F(HydValues, LostSystemBAndYawDamperGates) {
  // Lost-B latch set when B drops, cleared at rest on the ground with engine 2 cut off.
  static const Row rows[] = {
      {"lost B", [] { hyd_state.yd_settle_time = 5; hyd_state.hyd_b_status_prev = 1; engine::mixture_ratio2 = 1; }, &systems::lost_hyd_B, 1},
      {"cleared at rest", [] { hyd_state.yd_settle_time = 5; systems::lost_hyd_B = 1;
                               host_mirror.sim_flightmodel_position_groundspeed = 4.5f; engine::mixture_ratio2 = 0.05f; },
       &systems::lost_hyd_B, 0},
      {"5 m/s", [] { hyd_state.yd_settle_time = 5; systems::lost_hyd_B = 1;
                     host_mirror.sim_flightmodel_position_groundspeed = 5.0f; }, &systems::lost_hyd_B, 1},
      {"mixture 0.1", [] { hyd_state.yd_settle_time = 5; systems::lost_hyd_B = 1; engine::mixture_ratio2 = 0.1f; },
       &systems::lost_hyd_B, 1},
      {"airborne", [] { hyd_state.yd_settle_time = 5; systems::lost_hyd_B = 1; on_ground = 0; },
       &systems::lost_hyd_B, 1},
      {"held until 5 s", [] { hyd_state.yd_settle_time = 4.9f; hyd_state.hyd_b_status_prev = 1; engine::mixture_ratio2 = 1; },
       &systems::lost_hyd_B, 0},
      {"skipped to 4 s", [] { hyd_state.yd_settle_time = 4.0f; hyd_state.hyd_b_status_prev = 1; },
       &hyd_state.hyd_b_status_prev, 1},
      {"runs after 4 s", [] { hyd_state.yd_settle_time = 4.1f; hyd_state.hyd_b_status_prev = 1; },
       &hyd_state.hyd_b_status_prev, 0},
      {"settle counts to 5", [] { hyd_state.yd_settle_time = 4.9f; }, &hyd_state.yd_settle_time, 5.9f},
      {"settle stops at 5", [] { hyd_state.yd_settle_time = 5.0f; }, &hyd_state.yd_settle_time, 5.0f},
  };
  run(rows, std::size(rows));
}

// Yaw damper engagement by IRS source, alignment, fail lights and the
// flight control switches; B pressurised and AC transfer bus 1 powered.
TEST_F(HydValues, YawDamperByIrsAndFlightControls) {
  struct Case {
    float source, left_on, right_on, left_mode, right_mode, fail_l, fail_r, ctr_a, ctr_b, stby;
    bool arms;
  } cases[] = {
      {-1, 1, 0, 2, 0, 0, 0, 1, 1, 1, true},    {-1, 0, 1, 0, 2, 0, 0, 1, 1, 1, false},
      {-1, 1, 1, 1, 2, 0, 0, 1, 1, 1, false},   {-1, 1, 1, 2, 2, 1, 0, 1, 1, 1, false},
      {1, 0, 1, 0, 2, 0, 0, 1, 1, 1, true},     {1, 1, 0, 2, 0, 0, 0, 1, 1, 1, false},
      {1, 1, 1, 2, 2, 0, 1, 1, 1, 1, false},    {0, 1, 0, 2, 0, 0, 0, 1, 1, 1, true},
      {0, 0, 1, 0, 2, 0, 0, 1, 1, 1, true},     {0, 1, 1, 1, 1, 0, 0, 1, 1, 1, false},
      {0, 1, 1, 2, 2, 1, 0, 1, 1, 1, true},     {0, 1, 1, 2, 2, 1, 1, 1, 1, 1, false},
      {0, 1, 1, 2, 2, 0, 0, 1, 0, 1, false},    {0, 1, 1, 2, 2, 0, 0, 1, -1, 1, false},
      {0, 1, 1, 2, 2, 0, 0, 0, -1, 1, true},    {0, 1, 1, 2, 2, 0, 0, 0, -1, 0, false},
      {2, 1, 1, 2, 2, 0, 0, 1, 1, 1, true},
  };
  for (const Case& c : cases) {
    Reset();
    hold(0, 2000);
    hyd_state.yd_settle_time = 5.0f;
    hyd_state.hyd_b_status_prev = 1.0f;
    toggle_switch::yaw_dumper_pos = hyd_state.yd_switch_prev = 1.0f;
    yaw_damper_switch_state = 1.0f;
    electric::dc_stdbus_status = c.stby;  // standby pump power
    script_mirror.zuvadud_D738_toggle_switch_irs_source = c.source;
    script_mirror.zuvadud_D738_toggle_switch_irs_left = c.left_on;
    script_mirror.zuvadud_D738_toggle_switch_irs_right = c.right_on;
    script_mirror.zuvadud_D738_irs_irs_mode = c.left_mode;
    script_mirror.zuvadud_D738_irs_irs2_mode = c.right_mode;
    script_mirror.zuvadud__D738__annunciator__irs__align_fail_left = c.fail_l;
    script_mirror.zuvadud__D738__annunciator__irs__align_fail_right = c.fail_r;
    switches::flt_ctr_A_pos = c.ctr_a;
    switches::flt_ctr_B_pos = c.ctr_b;
    hyd_update();
    EXPECT_FLOAT_EQ(delay_timers.yaw_damper_engage_delay, c.arms ? 1.2f : 0.0f)
        << c.source << " " << c.left_on << c.right_on << " " << c.fail_l << c.fail_r << " " << c.ctr_a << c.ctr_b;
    // Whatever keeps the damper from engaging trips its switch to OFF.
    EXPECT_EQ(toggle_switch::yaw_dumper_pos, c.arms ? 1.0f : 0.0f)
        << c.source << " " << c.left_on << c.right_on << " " << c.fail_l << c.fail_r << " " << c.ctr_a << c.ctr_b;
  }
  // The host's yaw damper follows the switch off, and stays on with it.
  for (float sw : {0.0f, 1.0f}) {
    Reset();
    hold(0, 2000);
    hyd_state.yd_settle_time = 5.0f;
    hyd_state.hyd_b_status_prev = 1.0f;
    toggle_switch::yaw_dumper_pos = hyd_state.yd_switch_prev = sw;
    script_mirror.zuvadud_D738_toggle_switch_irs_left = script_mirror.zuvadud_D738_irs_irs_mode = 2.0f;
    host_mirror.sim_cockpit2_switches_yaw_damper_on = 1;
    hyd_update();
    EXPECT_EQ(host_mirror.sim_cockpit2_switches_yaw_damper_on, sw == 1.0f ? 1 : 0) << sw;
  }
}

class Indications : public ::testing::Test {
 protected:
  void SetUp() override { Reset(); }

 public:
  void Reset() {
    for (XPLMDataRef& h : bound_handles) h = nullptr;
    host_mirror = HostMirror{};
    script_mirror = ScriptMirror{};
    delay_timers = DelayTimerBank{};
    delay_flags = DelayTimerFlags{};
    travel_targets = TravelTargets{};
    electric::batbus_status = 1.0f;
    electric::ac_tnsbus2_status = 1.0f;
    push_button::mach_warn1_pos = push_button::mach_warn2_pos = 0.0f;
    toggle_switch::spd_ref = 0.0f;
    door::flt_dk_door_ratio = door::capt_window_ratio = 0.0f;
    gauges::standby_alt_std_mode = 1.0f;
    gauges::standby_altimeter_baro = 29.92f;
    host_mirror.sim_weather_barometer_current_inhg = 29.92f;
    host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 2000.0f;
    pfd::v1_off_show = pfd::vspeed_digit_show = pfd::vspeed_ref_show = pfd::vspeed_ref_show_fo = -1.0f;
    pfd::ra_dial = -1.0f;
    on_ground = 1;
    frame_time = 0.1f;
  }
};

TEST_F(Indications, WarningsSpeedFlagsAndStandbyAltitude) {
  static const Row overspeed[] = {
      // Above 341 kt on either side or Mach 0.823, or the test below 50 ft.
      {"341 kt", [] { host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_pilot = 341.0f; }, &fmod_::mach_warn, 0},
      {"341.5 kt", [] { host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_pilot = 341.5f; }, &fmod_::mach_warn, 1},
      {"fo 341.5 kt", [] { host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_copilot = 341.5f; },
       &fmod_::mach_warn, 1},
      {"M 0.823", [] { host_mirror.sim_flightmodel_misc_machno = 0.823f; }, &fmod_::mach_warn, 0},
      {"M 0.825", [] { host_mirror.sim_flightmodel_misc_machno = 0.825f; }, &fmod_::mach_warn, 1},
      {"unpowered", [] { host_mirror.sim_flightmodel_misc_machno = 0.9f; electric::batbus_status = 0; },
       &fmod_::mach_warn, 0},
      {"test 49 ft", [] { host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 49.0f;
                          push_button::mach_warn2_pos = 1; }, &fmod_::mach_warn, 1},
      {"test 50 ft", [] { host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 50.0f;
                          push_button::mach_warn1_pos = 1; }, &fmod_::mach_warn, 0},
      {"no test", [] { host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 49.0f; },
       &fmod_::mach_warn, 0},
      // First officer's inertial source lost 20 s after AC transfer bus 2 with IRS 2 on.
      {"fo irs", [] { script_mirror.zuvadud_D738_irs_irs2_mode = 1; electric::ac_tnsbus2_status = 0; },
       &delay_timers.systems_delay_20, 20.0f},
      {"fo irs powered", [] { script_mirror.zuvadud_D738_irs_irs2_mode = 1; }, &delay_timers.systems_delay_20, 0},
      // FMC source: both on the left, normal, both on the right.
      {"fmc both left", [] { toggle_switch::fmc_source = -1; }, &nd::fo_fmc_source, 1},
      {"fmc normal", [] { toggle_switch::fmc_source = 0; }, &nd::fo_fmc_source, 2},
      {"fmc both right", [] { toggle_switch::fmc_source = 1; }, &nd::capt_fmc_source, 2},
      {"fmc normal capt", [] { toggle_switch::fmc_source = 0; }, &nd::capt_fmc_source, 1},
      // Door at rate 5, windows at 0.25 per second.
      {"door", [] { travel_targets.flt_dk_door = 1; }, &door::flt_dk_door_ratio, 0.5f},
      {"window", [] { travel_targets.capt_window = 1; frame_time = 1; }, &door::capt_window_ratio, 0.25f},
      // Standby altitude, lag 2 per second: at 0.5 s it lands on (1 - (P/B)^0.190284) x 145366.45.
      {"std", [] { host_mirror.sim_weather_barometer_current_inhg = 28.86f; frame_time = 0.5f; },
       &gauges::standby_altitude_ft, 994.33f},
      {"baro 30.03", [] { host_mirror.sim_weather_barometer_current_inhg = 28.86f; frame_time = 0.5f;
                          gauges::standby_alt_std_mode = 0; gauges::standby_altimeter_baro = 30.03f; },
       &gauges::standby_altitude_ft, 1095.1f},
      // Approach scale of the standby display: 0 none, 1 both, other horizontal only.
      {"app none", [] { gauges::standby_mode = 0; }, &gauges::standby_app_horz, 0},
      {"app both", [] { gauges::standby_mode = 1; }, &gauges::standby_app_vert, 1},
      {"app horizontal", [] { gauges::standby_mode = 2; }, &gauges::standby_app_horz, 1},
      {"app not vertical", [] { gauges::standby_mode = 2; }, &gauges::standby_app_vert, 0},
      {"hPa knob", [] { script_mirror.zuvadud_D738_effects_sync_pilot_isdf = 1;
                        script_mirror.zuvadud_D738_EFIS_control_capt_baro_in_hpa_pfd = 1;
                        host_mirror.sim_cockpit2_gauges_actuators_barometer_setting_in_hg_pilot = 29.92f; },
       &knobs::standby_alt_baro, 1013.21f},
  };
  run_rows(*this, overspeed, 17, update_source_indications);
  run_rows(*this, overspeed + 17, 7, update_standby_alt_du_select, 0.5f);

  static const Row speeds[] = {
      // V1 off scale while V1 - 58 is above the airspeed.
      {"v1 82", [] { script_mirror.zuvadud_D738_FMS_v1 = 140; host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_pilot = 82; },
       &pfd::v1_off_show, 0},
      {"v1 81.5", [] { script_mirror.zuvadud_D738_FMS_v1 = 140;
                       host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_pilot = 81.5f; }, &pfd::v1_off_show, 1},
      {"v1 fo", [] { script_mirror.zuvadud_D738_FMS_v1 = 140;
                     host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_copilot = 81.5f; }, &pfd::v1_off_show_fo, 1},
      {"v1 climb", [] { script_mirror.zuvadud_D738_FMS_v1 = 140; script_mirror.zuvadud_D738_FMS_flight_phase = 1; },
       &pfd::v1_off_show, 0},
      // AUTO: the approach speed shows while the airspeed is more than 50 kt above it.
      {"app 190.5", [] { script_mirror.zuvadud_D738_pfd_fmc_flap_spd = 2; script_mirror.zuvadud_D738_FMS_approach_speed = 140;
                         host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_pilot = 190.5f; },
       &pfd::vspeed_digit_show, 1},
      {"app 190", [] { script_mirror.zuvadud_D738_pfd_fmc_flap_spd = 2; script_mirror.zuvadud_D738_FMS_approach_speed = 140;
                       host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_pilot = 190; },
       &pfd::vspeed_digit_show, 0},
      {"app fo 190.5", [] { script_mirror.zuvadud_D738_pfd_fmc_flap_spd = 2; script_mirror.zuvadud_D738_FMS_approach_speed = 140;
                            host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_copilot = 190.5f; },
       &pfd::vspeed_ref_show_fo, 1},
      {"flap speed 1.9", [] { script_mirror.zuvadud_D738_pfd_fmc_flap_spd = 1.9f;
                              script_mirror.zuvadud_D738_FMS_approach_speed = 140;
                              host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_pilot = 300; },
       &pfd::vspeed_ref_show, 0},
      // Radio-altitude dial: at or above 1000 ft, or slower than 26 m/s.
      {"ra 1000", [] { script_mirror.zuvadud_D738_aoa_ra = 2; host_mirror.sim_flightmodel_position_groundspeed = 60;
                       host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 1000; }, &pfd::ra_dial, 1},
      {"ra 999", [] { script_mirror.zuvadud_D738_aoa_ra = 2; host_mirror.sim_flightmodel_position_groundspeed = 26;
                      host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 999; }, &pfd::ra_dial, 0},
      {"ra 25.9 m/s", [] { script_mirror.zuvadud_D738_aoa_ra = 2; host_mirror.sim_flightmodel_position_groundspeed = 25.9f;
                           host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 999; },
       &pfd::ra_dial, 1},
  };
  run_rows(*this, speeds, 8, update_pfd_vspeeds);
  static const Row airborne[] = {
      {"VR airborne", [] { on_ground = 0; toggle_switch::spd_ref = 2; }, &pfd::vspeed_mode, 4},
      {"V1 airborne", [] { on_ground = 0; toggle_switch::spd_ref = 1; }, &pfd::vspeed_mode, 4},
      {"VREF airborne", [] { on_ground = 0; toggle_switch::spd_ref = 4; toggle_switch::spd_ref_adjust = 133; },
       &pfd::vspeed, 133},
      {"VREF airborne mode", [] { on_ground = 0; toggle_switch::spd_ref = 4; }, &pfd::vspeed_mode, 3},
      {"VREF on the ground", [] { toggle_switch::spd_ref = 4; }, &pfd::vspeed_mode, 4},
      {"V1 on the ground", [] { toggle_switch::spd_ref = 1; toggle_switch::spd_ref_adjust = 141; }, &pfd::vspeed_man_v1, 141},
      {"VR on the ground", [] { toggle_switch::spd_ref = 2; toggle_switch::spd_ref_adjust = 145; }, &pfd::vspeed_mode, 2},
  };
  run_rows(*this, airborne, std::size(airborne), update_pfd_vspeeds);
  // VOR/DME and ADF fail flags follow DC bus 1 (captain) and 2 (first officer).
  static const Row nav_fail[] = {
      {"dc 1 lost", [] { electric::dc_bus1_status = 0; electric::dc_bus2_status = 1; }, &pfd::adf1_fail, 1},
      {"dc 1 up", [] { electric::dc_bus1_status = 1; electric::dc_bus2_status = 0; }, &pfd::vor_dme1_fail, 0},
      {"dc 2 lost", [] { electric::dc_bus1_status = 1; electric::dc_bus2_status = 0; }, &pfd::adf2_fail, 1},
      {"dc 2 up", [] { electric::dc_bus1_status = 0; electric::dc_bus2_status = 1; }, &pfd::vor_dme2_fail, 0},
  };
  run_rows(*this, nav_fail, std::size(nav_fail), update_nav_fail_flags);
  // The flap sound is a two-frame pulse; the levers ride in the landing light array.
  static const Row end_of_frame[] = {
      {"pulse 1", [] { fmod_::flap_sound = 1; }, &fmod_::flap_sound, 2},
      {"pulse 2", [] { fmod_::flap_sound = 2; }, &fmod_::flap_sound, 0},
      {"flap lever", [] { flt_ctrls::flap_lever = 0.625f; }, &host_mirror.sim_cockpit2_switches_landing_lights_switch[13],
       0.625f},
      {"gear handle", [] { controls::gear_handle_down = 1; }, &host_mirror.sim_cockpit2_switches_landing_lights_switch[12], 1},
  };
  run_rows(*this, end_of_frame, std::size(end_of_frame), update_flap_cue_and_lever_relay);
  run_rows(*this, speeds + 8, 3, update_radio_alt_dial);
  // The radio-height box arms at 2504 ft and below, on both sides.
  for (float agl : {3000.0f, 2504.0f}) {
    script_mirror.zuvadud_D738_PFD_agl_pilot = script_mirror.zuvadud_D738_PFD_agl_copilot = agl;
    update_radio_alt_dial();
    EXPECT_EQ(pfd::rh_pilot_white_box, agl < 3000.0f ? 1.0f : 0.0f) << agl;
    EXPECT_EQ(pfd::rh_copilot_white_box, agl < 3000.0f ? 1.0f : 0.0f) << agl;
  }

  // Door lock: released with the switch at -1, engaged again once the door is shut; the sound
  // cue is up in the frame the lock changes.
  struct Door {
    float lock_switch, target, cue;
  } door[] = {{-1, 0, -1}, {-1, 0, 0}, {0, 0, 1}, {0, 0, 0}, {-1, 1, 1}, {0, 1, 0}, {0, 0, 1}, {0, 0, 0}};
  frame_time = 0.5f;  // the door reaches its target in one frame
  for (const Door& d : door) {
    toggle_switch::flt_dk_door = d.lock_switch;
    travel_targets.flt_dk_door = d.target;
    update_source_indications();
    if (d.cue >= 0) {
      EXPECT_EQ(cue_fmodpack::flt_dk_door_lock, d.cue) << d.lock_switch << " " << d.target;
    }
  }

  // Lower display blanking after a page change: 2 s, shown as 2 above 1.4 s and 1 above 0.8 s.
  frame_time = 0.5f;
  for (int i = 0; i < 5; ++i) update_standby_alt_du_select();
  script_mirror.zuvadud_D738_systems_lowerDU_page2 = 3.0f;
  const float lu[] = {2, 2, 1, 0};
  for (float want : lu) {
    update_standby_alt_du_select();
    EXPECT_EQ(display::lu_init, want);
  }
}

class FuelValues : public ::testing::Test {
 protected:
  void SetUp() override { Reset(); }

 public:
  void Reset() {
    for (XPLMDataRef& h : bound_handles) h = nullptr;
    host_mirror = HostMirror{};
    script_mirror = ScriptMirror{};
    fuel_indications = FuelIndications{};
    fuel_state = FuelState{};
    fuel_pump_lights = FuelPumpLightState{};
    delay_flags = DelayTimerFlags{};
    time_since_load = 10.0f;
    for (float* sw : {&fuel::fuel_tank_pos_lft1, &fuel::fuel_tank_pos_ctr1, &fuel::fuel_tank_pos_ctr2,
                      &fuel::fuel_tank_pos_rgt1, &fuel::fuel_tank_pos_rgt2}) {
      *sw = 0.0f;
    }
    fuel::fuel_tank_pos_lft2 = 1.0f;
    system_::fuel_press_c1 = system_::fuel_press_c2 = 1.0f;
    engine::spar1_valve = engine::spar2_valve = engine::eng1_valve = engine::eng2_valve = 1.0f;
    engine::fuel_selector_l = engine::fuel_selector_r = 1.0f;
    knobs::cross_feed = knobs::cross_feed_pos = fuel::cross_feed_valve = 0.0f;
    electric::ac_tnsbus1_status = electric::ac_tnsbus2_status = electric::batbus_status = 1.0f;
    cockpit::fuel_flow_used1 = cockpit::fuel_flow_used2 = 0.0f;
    engine::fuel_temp_real = 10.0f;
    engine::fuel_temp = 10.0f;
    static_pressure_altitude_ft = 0.0f;
    host_mirror.sim_cockpit2_temperature_outside_air_LE_temp_degc = 10.0f;
    on_ground = 0;
    frame_time = 1.0f;
    tanks(1500.0f, 0.0f, 1500.0f);
  }
  static void tanks(float l, float c, float r) {
    host_mirror.sim_flightmodel_weight_m_fuel[0] = l;
    host_mirror.sim_flightmodel_weight_m_fuel[1] = c;
    host_mirror.sim_flightmodel_weight_m_fuel[2] = r;
  }
};

TEST_F(FuelValues, LimitsOfTheFuelPanelAndGauges) {
  static const Row feed[] = {
      // Scavenge into the left tank below 1990 kg while more than 4 kg is in the centre.
      {"centre 4.5", [] { tanks(1500, 4.5f, 1500); }, &host_mirror.sim_flightmodel_weight_m_fuel[1], 4.5f - 0.055555f},
      {"left 1989", [] { tanks(1989, 10, 1500); }, &host_mirror.sim_flightmodel_weight_m_fuel[0], 1989.0556f},
      {"11000 ft", [] { tanks(1500, 10, 1500); host_mirror.sim_cockpit2_gauges_indicators_altitude_ft_pilot = 11000; },
       &host_mirror.sim_flightmodel_weight_m_fuel[1], 10 - 0.054659f},
      {"cross-feed", [] { tanks(1500, 10, 1500); knobs::cross_feed = 1; fuel::fuel_tank_pos_rgt1 = 1; },
       &host_mirror.sim_flightmodel_weight_m_fuel[1], 10 - 0.055555f},
      {"centre pump feeding", [] { tanks(1500, 10, 1500); fuel::fuel_tank_pos_ctr1 = 1; },
       &host_mirror.sim_flightmodel_weight_m_fuel[1], 10},
      // Suction: 11 % N2 up to 25,000 ft, 45 % above 41,000 ft, linear between.
      {"30000 ft", [] { static_pressure_altitude_ft = 30000; host_mirror.sim_flightmodel2_engines_N2_percent[1] = 21.5f; },
       &engine::tank_r_driven_status, 0},
      {"before 6 s", [] { time_since_load = 6; engine::tank_r_driven_status = 0.5f;
                          host_mirror.sim_flightmodel2_engines_N2_percent[1] = 60; }, &engine::tank_r_driven_status, 0.5f},
      // Centre pumps count from 2.5 s after a load; valves cut the feed below 0.95 from 2 s.
      {"centre empty at 2.5 s", [] { time_since_load = 2.5f; fuel::fuel_tank_pos_ctr1 = 1; },
       &engine::tank_c1_status, 1},
      {"centre empty", [] { time_since_load = 2.6f; fuel::fuel_tank_pos_ctr2 = 1; }, &engine::tank_c2_status, 0},
      {"centre no pressure", [] { tanks(1500, 100, 1500); fuel::fuel_tank_pos_ctr2 = 1; system_::fuel_press_c2 = 0; },
       &engine::tank_c2_status, 0},
  };
  run_rows(*this, feed, std::size(feed), update_fuel_pumps_feed, 2e-4f);
  struct Selector {
    float spar1, eng1, time;
    int left;
  } selectors[] = {{0.95f, 1, 10, 1}, {0.94f, 1, 10, 0}, {1, 0.94f, 10, 0}, {0.5f, 0.5f, 2, 1}, {0.5f, 1, 2.1f, 0}};
  for (const Selector& c : selectors) {
    Reset();
    engine::spar1_valve = c.spar1;
    engine::eng1_valve = c.eng1;
    time_since_load = c.time;
    update_fuel_pumps_feed();
    EXPECT_EQ(host_mirror.sim_cockpit2_fuel_fuel_tank_selector_left, c.left) << c.spar1 << " " << c.eng1 << " " << c.time;
  }

  static const Row quantity[] = {
      // LOW below 453 kg, cleared above 567; IMBAL beyond 453 kg, cleared below 91, on the lighter side in flight.
      {"low 452", [] { tanks(452, 0, 1000); }, &fuel::left_status, 2},
      {"low 453", [] { tanks(453, 0, 800); }, &fuel::left_status, 0},
      {"held 567", [] { tanks(1000, 0, 567); fuel_indications.low_latch_right = 1; }, &fuel::right_status, 2},
      {"clear 568", [] { tanks(1000, 0, 568); fuel_indications.low_latch_right = 1; }, &fuel::right_status, 0},
      {"imbal 454", [] { tanks(1000, 0, 1454); }, &fuel::left_status, 1},
      {"imbal 453", [] { tanks(1000, 0, 1453); }, &fuel::left_status, 0},
      {"imbal right", [] { tanks(1454, 0, 1000); }, &fuel::right_status, 1},
      {"held 91", [] { tanks(1000, 0, 1091); fuel_indications.imbalance_latch = 1; }, &fuel::left_status, 1},
      {"clear 90", [] { tanks(1000, 0, 1090); fuel_indications.imbalance_latch = 1; }, &fuel::left_status, 0},
      // CONFIG: centre above 762 kg with its pumps off and an engine at 11 % N1, held down to 363 kg.
      {"config 763", [] { tanks(1000, 763, 1000); host_mirror.sim_flightmodel2_engines_N1_percent[1] = 11; },
       &fuel::center_status, 3},
      {"config 762", [] { tanks(1000, 762, 1000); host_mirror.sim_flightmodel2_engines_N1_percent[0] = 20; },
       &fuel::center_status, 0},
      {"config held 363", [] { tanks(1000, 363, 1000); host_mirror.sim_flightmodel2_engines_N1_percent[0] = 20;
                               fuel_indications.config_latch = 1; }, &fuel::center_status, 3},
      {"config 362", [] { tanks(1000, 362, 1000); host_mirror.sim_flightmodel2_engines_N1_percent[0] = 20;
                          fuel_indications.config_latch = 1; }, &fuel::center_status, 0},
      {"engines 10.9", [] { tanks(1000, 800, 1000); host_mirror.sim_flightmodel2_engines_N1_percent[0] = 10.9f;
                            host_mirror.sim_flightmodel2_engines_N1_percent[1] = 10.9f; }, &fuel::center_status, 0},
      {"lbs", [] { tanks(1000, 0, 1000.4f); script_mirror.zuvadud_D738_effects_fuelgauge = 1; },
       &fuel::right_tank_lbs, 2205.51f},
      {"total lbs", [] { tanks(1000, 100, 1000); }, &fuel::total_tank_lbs, 2210 + 230 + 2210},
  };
  run_rows(*this, quantity, std::size(quantity), update_fuel_quantities);

  static const Row flow[] = {
      {"used", [] { host_mirror.sim_flightmodel_engine_ENGN_FF_[1] = 0.75f; cockpit::fuel_flow_used2 = 10;
                    host_mirror.sim_flightmodel2_engines_engine_is_burning_fuel[1] = 1; }, &cockpit::fuel_flow_used2, 10.75f},
      {"used cap", [] { host_mirror.sim_flightmodel_engine_ENGN_FF_[0] = 2; cockpit::fuel_flow_used1 = 99998.5f;
                        host_mirror.sim_flightmodel2_engines_engine_is_burning_fuel[0] = 1; }, &cockpit::fuel_flow_used1, 99999},
      {"reset", [] { cockpit::fuel_flow_used1 = 10; delay_flags.fuel_flow_reset_flag = 1; }, &cockpit::fuel_flow_used1, 0},
  };
  run_rows(*this, flow, std::size(flow), update_fuel_used);

  // Cross-feed: the knob lags at rate 5, the valve travels fully in 2.5 s.
  static const Row xfeed[] = {
      {"knob", [] { knobs::cross_feed_pos = 1; frame_time = 0.1f; }, &knobs::cross_feed, 0.5f},
      {"valve", [] { knobs::cross_feed_pos = 1; }, &fuel::cross_feed_valve, 0.4f},
  };
  run_rows(*this, xfeed, std::size(xfeed), update_cross_feed);
}

// The real fuel temperature approaches the outside air at first order, with a
// time constant of 5 h for 3,900 kg or more a wing tank down to 2.5 h at
// 300 kg or less; rows of one hour.
TEST_F(FuelValues, FuelTemperatureAndItsGauge) {
  static const Row rows[] = {
      {"full tanks in cruise", [] { tanks(3900, 0, 5000); engine::fuel_temp_real = 15; frame_time = 3600;
                                    host_mirror.sim_cockpit2_temperature_outside_air_LE_temp_degc = -28; },
       &engine::fuel_temp_real, 7.20542f},
      {"light tanks", [] { tanks(300, 0, 300); frame_time = 3600;
                           host_mirror.sim_cockpit2_temperature_outside_air_LE_temp_degc = 20; },
       &engine::fuel_temp_real, 13.2968f},
      {"below 300", [] { tanks(100, 0, 100); frame_time = 3600;
                         host_mirror.sim_cockpit2_temperature_outside_air_LE_temp_degc = 0; },
       &engine::fuel_temp_real, 6.70320f},
      {"far apart", [] { tanks(2100, 0, 2100); engine::fuel_temp_real = -30; frame_time = 3600;
                         host_mirror.sim_cockpit2_temperature_outside_air_LE_temp_degc = 40; },
       &engine::fuel_temp_real, -13.6150f},
      // Gauge: unpowered it lags to -56 at rate 6; powered just now it swings toward 50, returns above 40.
      {"gauge off", [] { frame_time = 0.1f; electric::ac_tnsbus2_status = 0; }, &engine::fuel_temp, 10 - 0.6f * 66},
      {"swing", [] { frame_time = 0.1f; fuel_state.gauge_bus_prev = 1; fuel_state.fuel_temp_state = 2; },
       &engine::fuel_temp, 10 + 0.6f * 40},
      {"swing to 39.4", [] { frame_time = 0.1f; fuel_state.gauge_bus_prev = 1; fuel_state.fuel_temp_state = 2;
                             engine::fuel_temp = 24; }, &fuel_state.fuel_temp_state, 2},
      {"swing past 40", [] { frame_time = 0.1f; fuel_state.gauge_bus_prev = 1; fuel_state.fuel_temp_state = 2;
                             engine::fuel_temp = 26; }, &fuel_state.fuel_temp_state, 1},
      {"return", [] { frame_time = 0.1f; fuel_state.gauge_bus_prev = 1; fuel_state.fuel_temp_state = 1;
                      engine::fuel_temp = 45; }, &engine::fuel_temp, 45 - 0.6f * 35},
      {"return within 0.2", [] { frame_time = 0.1f; fuel_state.gauge_bus_prev = 1; fuel_state.fuel_temp_state = 1;
                                 engine::fuel_temp = 10.4f; }, &fuel_state.fuel_temp_state, 0},
      {"return 0.2 short", [] { frame_time = 0.1f; fuel_state.gauge_bus_prev = 1; fuel_state.fuel_temp_state = 1;
                                engine::fuel_temp = 10.6f; }, &fuel_state.fuel_temp_state, 1},
  };
  run_rows(*this, rows, std::size(rows), update_fuel_temperature, 1e-4f);
}

class ElecValues : public ::testing::Test {
 protected:
  void SetUp() override { Reset(); }

 public:
  void Reset() {
    for (XPLMDataRef& h : bound_handles) h = nullptr;
    host_mirror = HostMirror{};
    script_mirror = ScriptMirror{};
    failure_tables = FailureTables{};
    delay_timers = DelayTimerBank{};
    elec_bus_state = ElecBusState{};
    bat_discharge = BatteryDischargeState{};
    electric::battery_pos = 1.0f;
    electric::standby_bat_pos = 1.0f;
    electric::ac_tns_bus1_pow4 = electric::ac_tns_bus2_pow4 = 0.0f;
    electrical::apu_power_bus1 = electrical::apu_power_bus2 = 0.0f;
    toggle_switch::cab_util_pos = 1.0f;
    host_mirror.sim_cockpit2_electrical_battery_voltage_actual_volts[0] = 24.0f;
    host_mirror.sim_cockpit2_electrical_generator_on[0] = host_mirror.sim_cockpit2_electrical_generator_on[1] = 1;
    frame_time = 0.5f;
    on_ground = 1;
  }
};

TEST_F(ElecValues, DischargeBandsDisplaysAndFourMinuteFlags) {
  // Discharge: below -5 A for 95 s, -15 A for 3.5 s, -100 A for 2 s.
  static const Row discharge[] = {
      {"-5 A", [] { host_mirror.sim_cockpit2_electrical_battery_amps[1] = -5; }, &delay_timers.bat_discharge_low_delay, 95},
      {"-4.9 A", [] { host_mirror.sim_cockpit2_electrical_battery_amps[2] = -4.9f; delay_timers.bat_discharge_low_delay = 9; },
       &delay_timers.bat_discharge_low_delay, 0},
      {"-15 A", [] { host_mirror.sim_cockpit2_electrical_battery_amps[2] = -15; }, &delay_timers.bat_discharge_mid_delay, 3.5f},
      {"-14.9 A", [] { host_mirror.sim_cockpit2_electrical_battery_amps[1] = -14.9f; bat_discharge.mid = 1; },
       &bat_discharge.mid, 0},
      {"-15 A held", [] { host_mirror.sim_cockpit2_electrical_battery_amps[1] = -15; bat_discharge.mid = 1; },
       &bat_discharge.active, 1},
      {"-100 A", [] { host_mirror.sim_cockpit2_electrical_battery_amps[1] = -100; }, &delay_timers.bat_discharge_high_delay, 2},
      {"-99.9 A", [] { host_mirror.sim_cockpit2_electrical_battery_amps[1] = -99.9f; bat_discharge.high = 1; },
       &bat_discharge.high, 0},
      {"-99.9 A mid", [] { host_mirror.sim_cockpit2_electrical_battery_amps[1] = -99.9f; },
       &delay_timers.bat_discharge_mid_delay, 3.5f},
      {"tie adds battery 0", [] { host_mirror.sim_cockpit2_electrical_battery_amps[0] = -20;
                                  host_mirror.sim_cockpit2_electrical_cross_tie = 1; },
       &delay_timers.bat_discharge_mid_delay, 3.5f},
      {"open tie", [] { host_mirror.sim_cockpit2_electrical_battery_amps[0] = -20; }, &delay_timers.bat_discharge_mid_delay, 0},
  };
  run_rows(*this, discharge, std::size(discharge), battery_discharge_monitor);

  static const Row buses[] = {
      // Captain's displays: 95 s on the standby bus alone, cut to 6 s with DC bus 1.
      {"capt cut to 6", [] { delay_timers.capt_display_delay = 6.5f; }, &delay_timers.capt_display_delay, 6},
      {"capt at 6", [] { delay_timers.capt_display_delay = 5.5f; }, &delay_timers.capt_display_delay, 5.5f},
      {"fo cut to 6", [] { delay_timers.fo_display_delay = 6.5f; }, &delay_timers.fo_display_delay, 6},
      {"fo running", [] { delay_timers.fo_display_delay = 5.5f; }, &delay_timers.fo_display_delay, 5.5f},
      {"fo ready", [] { elec_bus_state.fo_displays_ready = 1; }, &delay_timers.fo_display_delay, 0},
      // Four-minute flags: armed with 240 s when the bus comes up, cleared when it goes.
      {"bus 2 four minutes", [] {}, &delay_timers.ac_tns_bus2_pow4_delay, 240},
      {"bus 1 running", [] { delay_timers.ac_tns_bus1_pow4_delay = 100; }, &delay_timers.ac_tns_bus1_pow4_delay, 100},
      {"bus 1 lost", [] { electric::ac_tns_bus1_pow4 = 1; host_mirror.sim_cockpit2_electrical_generator_on[0] = 0; },
       &electric::ac_tns_bus1_pow4, 0},
      {"bus 2 kept", [] { electric::ac_tns_bus2_pow4 = 1; host_mirror.sim_cockpit2_electrical_generator_on[0] = 0; },
       &electric::ac_tns_bus2_pow4, 1},
      // Bus transfer: with the tie closed a lone generator feeds both transfer buses.
      {"tie from side 1", [] { host_mirror.sim_cockpit2_electrical_generator_on[1] = 0;
                               host_mirror.sim_cockpit2_electrical_cross_tie = 1; }, &electric::ac_cross_tie, 1},
      {"tie from side 2", [] { host_mirror.sim_cockpit2_electrical_generator_on[0] = 0;
                               host_mirror.sim_cockpit2_electrical_cross_tie = 1; }, &electric::ac_tnsbus1_status, 1},
      {"tie, both up", [] { host_mirror.sim_cockpit2_electrical_cross_tie = 1; }, &electric::ac_cross_tie, 0},
      // The APU generator feeds only the sides whose APU bus switch is on.
      {"APU to bus 2 only", [] { host_mirror.sim_cockpit2_electrical_generator_on[0] = 0;
                                 host_mirror.sim_cockpit2_electrical_generator_on[1] = 0;
                                 host_mirror.sim_cockpit_electrical_generator_apu_on = 1; electrical::apu_power_bus2 = 1; },
       &electric::ac_tnsbus1_status, 0},
      {"APU to bus 1 only", [] { host_mirror.sim_cockpit2_electrical_generator_on[0] = 0;
                                 host_mirror.sim_cockpit2_electrical_generator_on[1] = 0;
                                 host_mirror.sim_cockpit_electrical_generator_apu_on = 1; electrical::apu_power_bus1 = 1; },
       &electric::ac_tnsbus2_status, 0},
      // Standby power in AUTO with the battery switch off needs one AC transfer bus.
      {"standby on AC 1 alone", [] { electric::battery_pos = 0; host_mirror.sim_cockpit_electrical_gpu_on = 1;
                                     failure_tables.electric[1] = 1; }, &electric::ac_stdbus_status, 1},
      {"standby on AC 2 alone", [] { electric::battery_pos = 0; host_mirror.sim_cockpit_electrical_gpu_on = 1;
                                     failure_tables.electric[0] = 1; }, &electric::dc_stdbus_status, 1},
  };
  run_rows(*this, buses, std::size(buses), elec_buses_update);

  // The clock lighting knob reads as its lowest level when not a number; unpowered,
  // the chronographs go to display mode 2 and the clocks to 1 (captain) and 3.
  EXPECT_EQ(clock_brightness_fraction(std::nanf("")), 0.25f);
  electric::batbus_status = 0.0f;
  update_clocks();
  EXPECT_EQ(clock_::chrono_display_mode_capt, 2.0f);
  EXPECT_EQ(clock_::chrono_display_mode_fo, 2.0f);
  EXPECT_EQ(clock_::clock_display_mode_capt, 1.0f);
}

// A bottle discharges only through a handle turned beyond 0.95 either way, at
// 100 psi a second into the engine on that handle.
TEST(FireValues, HandleTurnedPastItsDetentDischargesTheBottleOnThatSide) {
  struct Case {
    float eng1, eng2, apu, left, right, apu_psi;
  } cases[] = {
      {-0.96f, 0, 0, 590, 600, 600}, {-0.95f, 0, 0, 600, 600, 600}, {0.96f, 0, 0, 600, 590, 600},
      {0.95f, 0, 0, 600, 600, 600},  {0, -0.96f, 0, 590, 600, 600}, {0, -0.95f, 0, 600, 600, 600},
      {0, 0.96f, 0, 600, 590, 600},  {0, 0.95f, 0, 600, 600, 600},  {0, 0, -0.96f, 600, 600, 590},
      {0, 0, -0.95f, 600, 600, 600}, {0, 0, 0.96f, 600, 600, 590},  {0, 0, 0.95f, 600, 600, 600},
  };
  frame_time = 0.1f;
  for (const Case& c : cases) {
    for (XPLMDataRef& h : bound_handles) h = nullptr;
    fire_state = FireState{};
    host_mirror = HostMirror{};
    host_mirror.sim_operation_failures_rel_engfir0 = host_mirror.sim_operation_failures_rel_engfir1 = 6;  // burning
    const float turns[3] = {c.eng1, c.eng2, c.apu};
    float* positions[3] = {&fire::engine01_ext_switch_pos_disch, &fire::engine02_ext_switch_pos_disch,
                           &fire::apu_ext_switch_pos_disch};
    for (int i = 0; i < 3; ++i) *positions[i] = fire_state.fire_handle_turn_target[i] = turns[i];
    fire::engine01_02L_ext_bottle_psi = fire::engine01_02R_ext_bottle_psi = fire::apu_ext_bottle_psi = 600.0f;
    fire_update();
    EXPECT_FLOAT_EQ(fire::engine01_02L_ext_bottle_psi, c.left) << c.eng1 << " " << c.eng2 << " " << c.apu;
    EXPECT_FLOAT_EQ(fire::engine01_02R_ext_bottle_psi, c.right) << c.eng1 << " " << c.eng2 << " " << c.apu;
    EXPECT_FLOAT_EQ(fire::apu_ext_bottle_psi, c.apu_psi) << c.eng1 << " " << c.eng2 << " " << c.apu;
    EXPECT_FLOAT_EQ(fire_state.agent_delivered[2] + fire_state.agent_delivered[3], c.eng2 != 0 ? 600 - c.left + 600 - c.right : 0);
  }
  // A handle nearly at either end of its turn settles on the end itself.
  frame_time = 0.01f;
  for (float end : {-1.0f, 1.0f}) {
    fire_state.fire_handle_turn_target[0] = end;
    fire::engine01_ext_switch_pos_disch = 0.995f * end;
    fire_update();
    EXPECT_EQ(fire::engine01_ext_switch_pos_disch, end);
  }
}

class LightValues : public ::testing::Test {
 protected:
  void SetUp() override { Reset(); }

 public:
  void Reset() {
    for (XPLMDataRef& h : bound_handles) h = nullptr;
    host_mirror = HostMirror{};
    script_mirror = ScriptMirror{};
    lights_state = ExteriorLightsState{};
    reset_lights_on_load();
    host_version = 110000;
    variant_index = 0;
    for (float* v : {&switch_::land_lights_left_pos, &switch_::land_lights_right_pos, &switch_::land_lights_ret_left_pos,
                     &switch_::land_lights_ret_right_pos, &lights::land_ret_left_pos, &toggle_switch::emer_exit_lights,
                     &toggle_switch::compass_brightness_pos, &toggle_switch::cockpit_dome_pos, &toggle_switch::rwy_light_left,
                     &spring_switch::landing_lights_all_on, &electric::lost_ac_ap_a, &electric::lost_ac_ap_b}) {
      *v = 0.0f;
    }
    for (float* bus : {&electric::ac_tnsbus1_status, &electric::ac_tnsbus2_status, &electric::dc_bus1_status,
                       &electric::batbus_status, &electric::dir_batbus_status}) {
      *bus = 1.0f;
    }
    elec_bus_status.dc_bus1_volts = 28.0f;
    electric::main_bus1 = electric::main_bus2 = 1.0f;
    toggle_switch::ife_pass_seat_pos = 0.0f;
    toggle_switch::cab_util_pos = 1.0f;
    electrical::apu_gen1_pos = electrical::apu_gen2_pos = 0.0f;
    electric::apu_start_load = air::l_recirc_fan_pos = air::r_recirc_fan_pos = 0.0f;
    plugin_bus_loads[0] = plugin_bus_loads[1] = plugin_bus_loads[2] = 0.0f;
    frame_time = 0.1f;
  }
};

TEST_F(LightValues, CockpitLightsRetractablesAndExitLightBattery) {
  float* ratio = host_mirror.sim_cockpit2_switches_instrument_brightness_ratio;
  float* generic = host_mirror.sim_cockpit2_switches_generic_lights_switch;
  static const Row rows[] = {
      // Compass light: 1 on, 0.33 dimmed (0.15 on the newer host); dome: 0.4 dimmed (0.2), 1 bright.
      {"compass on", [] { toggle_switch::compass_brightness_pos = 1; }, &ratio[6], 1.0f},
      {"compass dim", [] { toggle_switch::compass_brightness_pos = -1; }, &ratio[6], 0.33f},
      {"compass dim 12", [] { toggle_switch::compass_brightness_pos = -1; host_version = 120000; }, &ratio[6], 0.15f},
      {"compass unpowered", [] { toggle_switch::compass_brightness_pos = 1; electric::dir_batbus_status = 0; },
       &ratio[6], 0.0f},
      {"dome dim", [] { toggle_switch::cockpit_dome_pos = 1; }, &generic[9], 0.4f},
      {"dome dim 12", [] { toggle_switch::cockpit_dome_pos = 1; host_version = 120000; }, &generic[9], 0.2f},
      {"dome bright", [] { toggle_switch::cockpit_dome_pos = -1; host_version = 120000; }, &generic[9], 1.0f},
      {"dome off", [] { toggle_switch::cockpit_dome_pos = 2; host_mirror.sim_cockpit2_switches_generic_lights_switch[9] = 0.5f; }, &generic[9], 0.0f},
      // All landing lights on from the first frame.
      {"all on left", [] { spring_switch::landing_lights_all_on = 1; }, &lights_state.retractable_landing_left_on, 1},
      {"all on right", [] { spring_switch::landing_lights_all_on = 1; }, &lights_state.retractable_landing_right_on, 1},
      {"all on fixed", [] { spring_switch::landing_lights_all_on = 1; }, &lights_state.fixed_landing_right_on, 1},
      {"all on ret switch", [] { spring_switch::landing_lights_all_on = 1; }, &switch_::land_lights_ret_right_pos, 2},
  };
  run_rows(*this, rows, std::size(rows), update_light_switches, 1e-6f);

  static const Row frame_rows[] = {
      // Retractable lights extend at rate 3 while their switch is beyond 0.
      {"extend", [] { switch_::land_lights_ret_left_pos = 1; }, &lights::land_ret_left_pos, 0.3f},
      {"stay in", [] { switch_::land_lights_ret_left_pos = 0; }, &lights::land_ret_left_pos, 0.0f},
      // Exit light battery: charges 0.5 s a second above 12 V on DC bus 1 (0.25 while lit), to 1080 s.
      {"charge", [] { toggle_switch::emer_exit_lights = 1; lights_state.emergency_exit_charge = 100; },
       &lights_state.emergency_exit_charge, 100.05f},
      {"12 V", [] { toggle_switch::emer_exit_lights = 1; lights_state.emergency_exit_charge = 100;
                    elec_bus_status.dc_bus1_volts = 12; }, &lights_state.emergency_exit_charge, 100},
      {"charge lit", [] { toggle_switch::emer_exit_lights = 1; lights_state.emergency_exit_charge = 100;
                          electric::ac_tnsbus1_status = electric::ac_tnsbus2_status = 0; },
       &lights_state.emergency_exit_charge, 100.025f},
      {"one AC bus", [] { toggle_switch::emer_exit_lights = 1; electric::ac_tnsbus1_status = 0; }, &generic[98], 0},
      {"full", [] { toggle_switch::emer_exit_lights = 1; lights_state.emergency_exit_charge = 1079.99f; },
       &lights_state.emergency_exit_charge, 1080},
      {"on burns", [] { toggle_switch::emer_exit_lights = 2; lights_state.emergency_exit_charge = 100; },
       &lights_state.emergency_exit_charge, 99.9f},
      {"on lit", [] { toggle_switch::emer_exit_lights = 2; }, &generic[98], 1},
      {"armed, DC bus 1 lost", [] { toggle_switch::emer_exit_lights = 1; electric::dc_bus1_status = 0; }, &generic[98], 1},
      {"flat", [] { toggle_switch::emer_exit_lights = 2; lights_state.emergency_exit_charge = 0.05f; },
       &lights_state.emergency_exit_charge, 0},
      // The plug-in flies the beacons and strobes, not the host.
      {"override", [] {}, &host_mirror.sim_flightmodel2_lights_override_beacons_and_strobes, 1},
      // Cabin utility, 11 A, on a side with an APU generator above 95 % or an engine generator.
      {"utility right on APU", [] { host_mirror.sim_cockpit2_electrical_APU_N1_percent = 96; electrical::apu_gen2_pos = 1; },
       &plugin_bus_loads[1], 11},
      {"APU 95 %", [] { host_mirror.sim_cockpit2_electrical_APU_N1_percent = 95; electrical::apu_gen2_pos = 1; },
       &plugin_bus_loads[1], 0},
      {"utility right on engine 2", [] { host_mirror.sim_flightmodel2_engines_engine_is_burning_fuel[1] = 1;
                                         host_mirror.sim_cockpit2_electrical_generator_on[1] = 1; },
       &plugin_bus_loads[1], 11},
      {"kept at 50 ft", [] { host_mirror.sim_cockpit2_electrical_APU_N1_percent = 96; electrical::apu_gen2_pos = 1;
                             host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 50; },
       &plugin_bus_loads[1], 11},
      {"right recirculation fan", [] { air::r_recirc_fan_pos = 1; }, &plugin_bus_loads[1], 4},
      {"turnoff light", [] { toggle_switch::rwy_light_left = 1; }, &generic[2], 1},
      {"engine keeps it aloft", [] { host_mirror.sim_flightmodel2_engines_engine_is_burning_fuel[1] = 1;
                                     host_mirror.sim_cockpit2_electrical_generator_on[1] = 1;
                                     host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 51; },
       &plugin_bus_loads[1], 11},
  };
  run_rows(*this, frame_rows, std::size(frame_rows), update_exterior_lights, 1e-3f);
}

// Wig-wag: the phase moves 1.5 a second, turns at 1 and at 0, and each side
// shows it (or its complement) no dimmer than 0.2.
TEST_F(LightValues, PulsingLandingLightsTurnAtBothEnds) {
  script_mirror.zuvadud_D738_effects_pulse_lite = 1.0f;
  switch_::land_lights_left_pos = switch_::land_lights_right_pos = 1.0f;
  frame_time = 1.0f / 3.0f;  // half the travel a frame
  const float sides[][2] = {{0.5f, 0.5f}, {1, 0.2f}, {1, 0.2f}, {0.5f, 0.5f}, {0.2f, 1}, {0.2f, 1}, {0.5f, 0.5f}};
  for (const auto& want : sides) {
    update_exterior_lights();
    EXPECT_NEAR(host_mirror.sim_cockpit2_switches_landing_lights_switch[0], want[0], 1e-6f);
    EXPECT_NEAR(host_mirror.sim_cockpit2_switches_landing_lights_switch[3], want[1], 1e-6f);
  }
  // All four lights, or the retractables alone, swap the same way: 0.15 into the cycle.
  struct Fit {
    float fixed, retractable, out[4];
  } fits[] = {{1, 1, {0.2f, 0.2f, 0.85f, 0.85f}}, {0, 1, {0, 0.2f, 0.85f, 0}}};
  for (const Fit& f : fits) {
    Reset();
    script_mirror.zuvadud_D738_effects_pulse_lite = 1.0f;
    switch_::land_lights_left_pos = switch_::land_lights_right_pos = f.fixed;
    lights_state.retractable_landing_left_on = lights_state.retractable_landing_right_on = f.retractable;
    update_exterior_lights();
    for (int i = 0; i < 4; ++i) {
      EXPECT_NEAR(host_mirror.sim_cockpit2_switches_landing_lights_switch[i], f.out[i], 1e-6f) << f.fixed << " " << i;
    }
  }
}

// Replay: each radio-altitude callout is up while lo < h <= hi and not
// disabled; engine 2's indications come alive with its N2.
TEST(ReplayValues, CalloutWindowsAndEngineTwoFlags) {
  struct Window {
    float* flag;
    int disable;
    float lo, hi;
  } windows[] = {
      {&cue_fmod::callouts_5, 0, 2, 9},          {&cue_fmod::callouts_10, 1, 5, 15},
      {&cue_fmod::callouts_20, 2, 2, 25},        {&cue_fmod::callouts_30, 3, 22, 35},
      {&cue_fmod::callouts_40, 4, 32, 45},       {&cue_fmod::callouts_50, 5, 42, 55},
      {&cue_fmod::callouts_60, 6, 52, 65},       {&cue_fmod::callouts_100, 7, 60, 110},
      {&cue_fmod::callouts_200, 8, 120, 210},    {&cue_fmod::callouts_300, 9, 220, 310},
      {&cue_fmod::callouts_400, 10, 320, 410},   {&cue_fmod::callouts_500, 11, 420, 510},
      {&cue_fmod::callouts_1000, 12, 900, 1010}, {&cue_fmod::callouts_1000s, 13, 800, 1010},
  };
  for (XPLMDataRef& h : bound_handles) h = nullptr;
  host_mirror = HostMirror{};
  script_mirror = ScriptMirror{};
  HostMirror& m = host_mirror;
  m.sim_flightmodel_position_vh_ind_fpm = -100.0f;
  auto at = [&m](float h) {
    m.sim_time_total_running_time_sec += 1.0f;
    m.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = h;
    update_cockpit_indications();
  };
  for (const Window& w : windows) {
    const float heights[][2] = {{w.lo, 0}, {w.lo + 0.5f, 1}, {w.hi, 1}, {w.hi + 0.5f, 0}};
    for (const auto& h : heights) {
      at(h[0]);
      EXPECT_EQ(*w.flag, h[1]) << w.lo << " " << h[0];
    }
    script_mirror.zuvadud_D738_fms_ra_callout_disable[w.disable] = 1.0f;
    at(w.hi);
    EXPECT_EQ(*w.flag, 0.0f) << w.lo << " disabled";
    script_mirror.zuvadud_D738_fms_ra_callout_disable[w.disable] = 0.0f;
  }
  // 2500 ft: up from 2500 down to above 2300, kept up to 2900.
  const float heights[][2] = {{2900.5f, 0}, {2500.5f, 0}, {2500, 1}, {2900, 1}, {2900.5f, 0}, {2300.5f, 1}, {2300, 0}};
  for (const auto& h : heights) {
    at(h[0]);
    EXPECT_EQ(cue_fmod::callouts_2500, h[1]) << h[0];
  }
  script_mirror.zuvadud_D738_fms_ra_callout_disable[14] = 1.0f;
  at(2400.0f);
  EXPECT_EQ(cue_fmod::callouts_2500, 0.0f);
  script_mirror.zuvadud_D738_fms_ra_callout_disable[14] = 0.0f;

  struct Engine {
    float n2, oil_press, oil_temp, ff;
  } engine_rows[] = {{5.6f, 1, 1, 1}, {5.5f, 1, 0, 1}, {2.8f, 1, 0, 1}, {2.7f, 0, 0, 1}, {0.02f, 0, 0, 1}, {0.01f, 0, 0, 0}};
  for (const Engine& e : engine_rows) {
    engine::indicators_N2_percent_2 = e.n2;
    at(0.0f);
    EXPECT_EQ(engine::eicas_oil_press2, e.oil_press) << e.n2;
    EXPECT_EQ(engine::eicas_oil_temp2, e.oil_temp) << e.n2;
    EXPECT_EQ(engine::eicas_ff2, e.ff) << e.n2;
  }
  // Reverse lever: 0.06 at idle reverse to 1 at full, from the throttle ratio.
  const float reverse[][2] = {{-0.1f, 0.06f}, {0.5f, 0.53f}, {1.1f, 1.0f}};
  m.sim_cockpit2_engine_actuators_prop_mode[1] = 3;
  for (const auto& r : reverse) {
    m.sim_cockpit2_engine_actuators_throttle_ratio[1] = r[0];
    at(0.0f);
    EXPECT_FLOAT_EQ(flt_ctrls::reverse_lever2, r[1]) << r[0];
  }
}

// A radio tuning selection outside the three panels or three VHF radios is
// ignored (it comes from a command's index).
TEST(RadioValues, TuningSelectionOutsideThePanelsIsIgnored) {
  const int32_t calls[][3] = {{-1, 0, 0}, {rtp_count, 0, 0}, {0, -1, 0}, {0, 3, 0}, {rtp_count - 1, 2, 1}};
  for (const auto& c : calls) {
    comm::radio_button = 0.0f;
    rtp_vhf_select(c[0], c[1]);
    EXPECT_EQ(comm::radio_button, static_cast<float>(c[2])) << c[0] << " " << c[1];
  }
  // The receiver selectors of the panel in charge switch the host's NAV and marker audio.
  for (XPLMDataRef& h : bound_handles) h = nullptr;
  host_mirror = HostMirror{};
  script_mirror = ScriptMirror{};
  for (float sel : {1.0f, 0.0f}) {
    comm::audio_sel_marker = comm::audio_sel_nav1 = comm::audio_sel_nav2 = sel;
    update_audio_radio_panels();
    const int want = sel != 0.0f ? 1 : 0;
    EXPECT_EQ(host_mirror.sim_cockpit2_radios_actuators_audio_marker_enabled, want);
    EXPECT_EQ(host_mirror.sim_cockpit2_radios_actuators_audio_selection_nav1, want);
    EXPECT_EQ(host_mirror.sim_cockpit2_radios_actuators_audio_selection_nav2, want);
  }
}

// The cockpit sees a flash when any lamp of the cycle is lit and the scripts
// ask for the reflection.
TEST_F(LightValues, CockpitFlashFollowsAnyLitLamp) {
  struct Case {
    float led;
    int strobes, beacon;
    float step, wanted;
    int flash;
  } cases[] = {
      {1, 1, 0, 0.1f, 1, 1},   // wing strobes only (LED timing)
      {1, 1, 0, 0.05f, 1, 1},  // tail strobe only
      {0, 0, 1, 0.2f, 1, 1},   // beacon only
      {0, 0, 1, 0.1f, 1, 0},   // nothing lit yet
      {1, 1, 0, 0.1f, 0, 0},   // not asked for
  };
  for (const Case& c : cases) {
    Reset();
    script_mirror.zuvadud_D738_effects_long_led_strobes = c.led;
    script_mirror.zuvadud_D738_strobe_cockpit = c.wanted;
    host_mirror.sim_cockpit2_switches_strobe_lights_on = c.strobes;
    host_mirror.sim_cockpit2_switches_beacon_on = c.beacon;
    toggle_switch::position_light_pos = c.strobes != 0 ? 1.0f : -1.0f;
    host_mirror.sim_cockpit2_switches_navigation_lights_on = 1;
    frame_time = c.step;
    update_exterior_lights();
    EXPECT_EQ(host_mirror.sim_flightmodel2_lights_strobe_flash_now, c.flash) << c.led << " " << c.step;
  }
}

// The flash cycle restarts after 1.4 s, with the strobes' flash.
TEST_F(LightValues, FlashCycleRestartsAfterOnePointFourSeconds) {
  host_mirror.sim_cockpit2_switches_strobe_lights_on = 1;
  toggle_switch::position_light_pos = 1.0f;
  host_mirror.sim_cockpit2_switches_navigation_lights_on = 1;
  frame_time = 0.125f;
  int first_flash = 0;
  for (int frame = 1; frame <= 16 && first_flash == 0; ++frame) {
    update_exterior_lights();
    if (lights_state.wing_strobe_flash == 1.0f) first_flash = frame;
  }
  EXPECT_EQ(first_flash, 12);  // 1.5 s: the first frame past 1.4 s
}

// Light spill: colour, size (the newer host's in brackets) and intensity of each group.
TEST(LightSpill, EachGroupOnBothHosts) {
  struct Group {
    float* array;
    float r, g, b, size, size12;
  } groups[] = {
      {light::spill_ratio_fire_warn_spill, 1, 0, 0, 0.15f, 1.35f},
      {light::spill_ratio_extinguisher_circuit_spill_apu, 0.19f, 1, 0.5f, 0.07f, 0.63f},
      {light::spill_ratio_master_caution_spill, 1, 1, 0, 0.15f, 1.35f},
      {light::spill_ratio_cabin_lights_spill, 1, 1, 0.8f, 3, 27},
      {light::spill_ratio_entry_lights_spill, 1, 1, 0.8f, 3, 27},
      {light::spill_ratio_cabin_emergency_lights_spill, 1, 0, 0, 2.2f, 19.8f},
      {light::spill_ratio_apu_avail_lights_spill, 0.53f, 0.86f, 0.92f, 0.03f, 0.27f},
      {light::spill_ratio_obs_radio_mark_lights_spill, 0.53f, 0.43f, 0, 0.03f, 0.27f},
  };
  for (int32_t version : {110000, 120000}) {
    host_version = version;
    init_light_spill();
    for (const Group& g : groups) {
      const float want[8] = {g.r, g.g, g.b, 0, version >= 120000 ? g.size12 : g.size, 1, 0, 0};
      for (int i = 0; i < 8; ++i) EXPECT_FLOAT_EQ(g.array[i], want[i]) << g.r << " " << g.size << " " << i;
    }
  }
}

// Array elements of the host's values: read as 0 and never written outside the array.
TEST(HostArrays, ElementsOutsideReadAsAbsentAndAreNotWritten) {
  for (XPLMDataRef& h : bound_handles) h = nullptr;
  host_mirror = HostMirror{};
  int nf = 0;
  int ni = 0;
  mirror_vf(bound::sim_flightmodel_weight_m_fuel, &nf);
  mirror_vi(bound::sim_flightmodel2_gear_on_ground, &ni);
  ASSERT_GT(nf, 0);
  ASSERT_GT(ni, 0);
  host_mirror.sim_flightmodel_weight_m_fuel[0] = 1.0f;
  host_mirror.sim_flightmodel_weight_m_fuel[nf - 1] = 2.0f;
  host_mirror.sim_flightmodel2_gear_on_ground[0] = 3;
  host_mirror.sim_flightmodel2_gear_on_ground[ni - 1] = 4;
  const int fi[][2] = {{-1, 0}, {0, 1}, {nf - 1, 2}, {nf, 0}};
  for (const auto& r : fi) EXPECT_EQ(mirror_vf_at(bound::sim_flightmodel_weight_m_fuel, r[0]), r[1]) << r[0];
  const int ii[][2] = {{-1, 0}, {0, 3}, {ni - 1, 4}, {ni, 0}};
  for (const auto& r : ii) EXPECT_EQ(mirror_vi_at(bound::sim_flightmodel2_gear_on_ground, r[0]), r[1]) << r[0];
  int32_t arr[4] = {0, 0, 0, 0};  // a host array of 3 and a guard element
  struct Write {
    int index;
    int32_t after[4];
  } writes[] = {{-1, {0, 0, 0, 0}}, {3, {0, 0, 0, 0}}, {2, {0, 0, 9, 0}}, {0, {9, 0, 9, 0}}};
  for (const Write& w : writes) {
    host_set_vi(bound::sim_cockpit2_electrical_battery_on, arr, 3, w.index, 9);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(arr[i], w.after[i]) << w.index << " " << i;
  }
}

// Guards: a cover below 0.3 holds its switch in the guarded position; they
// move at rate 20.
TEST(CoverValues, ClosedGuardsHoldTheirSwitches) {
  struct Case {
    float position;
    float before, after;  // the exit lights switch under cover 09
  } cases[] = {{0.29f, 0, 1}, {0.29f, 2, 2}, {0.3f, 0, 0}};
  for (XPLMDataRef& h : bound_handles) h = nullptr;
  script_mirror = ScriptMirror{};
  frame_time = 0.01f;
  for (const Case& c : cases) {
    for (int i = 0; i < cover_count; ++i) button_switch::cover_position[i] = cover_target[i] = 1.0f;
    button_switch::cover_position[9] = cover_target[9] = c.position;
    toggle_switch::emer_exit_lights = c.before;
    update_switch_covers();
    EXPECT_EQ(toggle_switch::emer_exit_lights, c.after) << c.position << " " << c.before;
  }
  cover_target[9] = 0.0f;
  button_switch::cover_position[9] = 1.0f;
  update_switch_covers();
  EXPECT_FLOAT_EQ(button_switch::cover_position[9], 0.8f);
  // Named guards likewise: flight control switch A goes back ON from STBY RUD only under a closed guard.
  struct Named {
    float position, after;
  } named[] = {{0.29f, 1}, {0.3f, -1}};
  for (const Named& n : named) {
    switches::flt_ctr_A_cover_pos = flt_ctr_A_cover_target = n.position;
    switches::flt_ctr_A_pos = -1.0f;
    update_named_covers();
    EXPECT_EQ(switches::flt_ctr_A_pos, n.after) << n.position;
  }
  flt_ctr_A_cover_target = 0.0f;
  switches::flt_ctr_A_cover_pos = 1.0f;
  update_named_covers();
  EXPECT_FLOAT_EQ(switches::flt_ctr_A_cover_pos, 0.8f);
}

// Older hosts: the overhead and pedestal floods at their knobs' ends, by day.
TEST(BrightnessValues, OlderHostFloodsAtTheKnobEnds) {
  for (XPLMDataRef& h : bound_handles) h = nullptr;
  host_mirror = HostMirror{};
  host_version = 110000;
  host_mirror.sim_graphics_scenery_sun_pitch_degrees = 60.0f;
  host_mirror.sim_cockpit2_switches_generic_lights_switch[14] = 0.5f;  // pedestal flood dimmed
  for (float* bus : {&electric::batbus_status, &electric::dir_batbus_status, &electric::dc_stdbus_status,
                     &electric::dc_bus1_status, &electric::dc_bus2_status, &electric::ac_tnsbus2_status}) {
    *bus = 1.0f;
  }
  elec_bus_state.capt_displays_ready = elec_bus_state.fo_displays_ready = 1.0f;
  struct Flood {
    float pedestal, overhead;
    float e17, e19, e28, e29;
  } rows[] = {{0, 0, 0.33f, 0, 0.33f, 0.33f}, {0.04f, 0.04f, 0.33f, 0, 0.33f, 0.33f}, {0.7f, 0.8f, 1, 1, 0, 1}};
  const float* ins = host_mirror.sim_cockpit2_switches_instrument_brightness_ratio;
  for (const Flood& r : rows) {
    electric::panel_brightness[2] = r.pedestal;
    electric::panel_brightness[3] = r.overhead;
    update_panel_brightness();
    EXPECT_NEAR(ins[17], r.e17, 1e-5f) << r.pedestal;
    EXPECT_NEAR(ins[19], r.e19, 1e-5f) << r.overhead;
    EXPECT_NEAR(ins[28], r.e28, 1e-5f) << r.overhead;
    EXPECT_NEAR(ins[29], r.e29, 1e-5f) << r.overhead;
  }
}

}  // namespace
