// Fuel: pump feed, the pumps by bus and their loads, quantities and gauges,
// fuel used, the crossfeed and the fuel temperature. One table row per
// threshold, with a value on each side of it.
#include <gtest/gtest.h>

#include "core/preprocess_values.h"
#include "engines/engine_values.h"
#include "systems/aircraft_systems.h"
#include "systems/delay_timers.h"
#include "systems/fuel/fuel.h"
#include "systems/fuel/fuel_pump_lights.h"
#include "systems/fuel/fuel_values.h"
#include "systems/instruments/instrument_values.h"
#include "systems/panel_fixture.h"
#include "systems/switches/switch_values.h"
#include "systems/system_state.h"
#include "systems/systems_steps.h"
#include "systems/value_rows.h"

namespace {

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
  static const ValueRow feed[] = {
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

  static const ValueRow quantity[] = {
      // LOW below 453 kg, cleared above 567; IMBAL beyond 453 kg, held in flight down to 91 kg, on the lighter side.
      {"low 452", [] { tanks(452, 0, 1000); }, &fuel::left_status, 2},
      {"low 453", [] { tanks(453, 0, 800); }, &fuel::left_status, 0},
      {"held 567", [] { tanks(1000, 0, 567); fuel_indications.low_latch_right = 1; }, &fuel::right_status, 2},
      {"clear 568", [] { tanks(1000, 0, 568); fuel_indications.low_latch_right = 1; }, &fuel::right_status, 0},
      {"imbal 454", [] { tanks(1000, 0, 1454); }, &fuel::left_status, 1},
      {"imbal 453", [] { tanks(1000, 0, 1453); }, &fuel::left_status, 0},
      {"imbal right", [] { tanks(1454, 0, 1000); }, &fuel::right_status, 1},
      {"held 453", [] { tanks(1000, 0, 1453); fuel_indications.imbalance_latch = 1; }, &fuel::left_status, 1},
      {"held 452", [] { tanks(1000, 0, 1452); fuel_indications.imbalance_latch = 1; }, &fuel::left_status, 1},
      {"held 91", [] { tanks(1000, 0, 1091); fuel_indications.imbalance_latch = 1; }, &fuel::left_status, 1},
      {"clear 90", [] { tanks(1000, 0, 1090); fuel_indications.imbalance_latch = 1; }, &fuel::left_status, 0},
      // On the ground judged afresh: a latch from a one-wing-first refuel goes once the wings are within 453 kg.
      {"ground 200", [] { on_ground = 1; tanks(1000, 0, 1200); fuel_indications.imbalance_latch = 1; },
       &fuel_indications.imbalance_latch, 0},
      {"ground 454", [] { on_ground = 1; tanks(1000, 0, 1454); }, &fuel_indications.imbalance_latch, 1},
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

  static const ValueRow flow[] = {
      {"used", [] { host_mirror.sim_flightmodel_engine_ENGN_FF_[1] = 0.75f; cockpit::fuel_flow_used2 = 10;
                    host_mirror.sim_flightmodel2_engines_engine_is_burning_fuel[1] = 1; }, &cockpit::fuel_flow_used2, 10.75f},
      {"used cap", [] { host_mirror.sim_flightmodel_engine_ENGN_FF_[0] = 2; cockpit::fuel_flow_used1 = 99998.5f;
                        host_mirror.sim_flightmodel2_engines_engine_is_burning_fuel[0] = 1; }, &cockpit::fuel_flow_used1, 99999},
      {"reset", [] { cockpit::fuel_flow_used1 = 10; delay_flags.fuel_flow_reset_flag = 1; }, &cockpit::fuel_flow_used1, 0},
      // A loss of the battery bus under 2 s keeps the count (not advanced); from 2 s it is gone.
      {"unpowered 1.9 s", [] { cockpit::fuel_flow_used1 = 10; electric::batbus_status = 0;
                               host_mirror.sim_flightmodel_engine_ENGN_FF_[0] = 1;
                               host_mirror.sim_flightmodel2_engines_engine_is_burning_fuel[0] = 1;
                               fuel_state.fuel_used_unpowered_s = 0.9f; }, &cockpit::fuel_flow_used1, 10},
      {"unpowered 2 s", [] { cockpit::fuel_flow_used1 = 10; electric::batbus_status = 0;
                             fuel_state.fuel_used_unpowered_s = 1.0f; }, &cockpit::fuel_flow_used1, 0},
      {"power back", [] { cockpit::fuel_flow_used1 = 10; fuel_state.fuel_used_unpowered_s = 1.9f;
                          host_mirror.sim_flightmodel_engine_ENGN_FF_[0] = 0.5f;
                          host_mirror.sim_flightmodel2_engines_engine_is_burning_fuel[0] = 1; },
       &cockpit::fuel_flow_used1, 10.5f},
  };
  run_rows(*this, flow, std::size(flow), update_fuel_used);

  // Cross-feed: the knob lags at rate 5, the valve travels fully in 2.5 s.
  static const ValueRow xfeed[] = {
      {"knob", [] { knobs::cross_feed_pos = 1; frame_time = 0.1f; }, &knobs::cross_feed, 0.5f},
      {"valve", [] { knobs::cross_feed_pos = 1; }, &fuel::cross_feed_valve, 0.4f},
  };
  run_rows(*this, xfeed, std::size(xfeed), update_cross_feed);
}

// The real fuel temperature approaches the outside air at first order, with a
// time constant of 5 h for 3,900 kg or more a wing tank down to 2.5 h at
// 300 kg or less; rows of one hour.
TEST_F(FuelValues, FuelTemperatureAndItsGauge) {
  static const ValueRow rows[] = {
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

TEST_F(SystemLimits, FuelPumpsByBusAndTheirLoads) {
  fuel_pump_lights = FuelPumpLightState{};
  time_since_load = 1.0f;  // before the centre tank checks begin
  fuel::fuel_tank_pos_lft1 = fuel::fuel_tank_pos_lft2 = fuel::fuel_tank_pos_ctr1 = fuel::fuel_tank_pos_ctr2 = 1.0f;
  fuel::fuel_tank_pos_rgt1 = fuel::fuel_tank_pos_rgt2 = 1.0f;
  struct Row {
    float t1, t2;
    int trip1;
    float l1, l2, c1, c2, r1, r2, load1, load2;
  } rows[] = {{1, 1, 0, 1, 1, 1, 1, 1, 1, 14, 14}, {1, 0, 0, 0, 1, 1, 0, 1, 0, 10, 4},
              {0, 1, 0, 1, 0, 0, 1, 0, 1, 4, 10},  {1, 1, 1, 1, 1, 0, 1, 1, 1, 8, 14}};
  for (const Row& r : rows) {
    electric::ac_tnsbus1_status = r.t1;
    electric::ac_tnsbus2_status = r.t2;
    fuel_pump_lights.ctr_pump_auto_off[0] = r.trip1;
    plugin_bus_loads[0] = plugin_bus_loads[1] = 0.0f;
    update_fuel_pumps_feed();
    EXPECT_EQ(engine::tank_l1_status, r.l1) << r.t1 << r.t2 << r.trip1;
    EXPECT_EQ(engine::tank_l2_status, r.l2) << r.t1 << r.t2 << r.trip1;
    EXPECT_EQ(engine::tank_c1_status, r.c1) << r.t1 << r.t2 << r.trip1;
    EXPECT_EQ(engine::tank_c2_status, r.c2) << r.t1 << r.t2 << r.trip1;
    EXPECT_EQ(engine::tank_r1_status, r.r1) << r.t1 << r.t2 << r.trip1;
    EXPECT_EQ(engine::tank_r2_status, r.r2) << r.t1 << r.t2 << r.trip1;
    EXPECT_EQ(plugin_bus_loads[0], r.load1) << r.t1 << r.t2 << r.trip1;
    EXPECT_EQ(plugin_bus_loads[1], r.load2) << r.t1 << r.t2 << r.trip1;
  }
  // Suction feed: the engine turns fast enough for the altitude.
  time_since_load = 10.0f;
  struct Suction {
    float alt_ft, n2, driven;
  } suctions[] = {{20000, 11.1f, 1}, {20000, 10.9f, 0}, {33000, 28.1f, 1}, {33000, 27.9f, 0},
                  {45000, 45.1f, 1}, {45000, 44.9f, 0}};
  for (const Suction& k : suctions) {
    static_pressure_altitude_ft = k.alt_ft;
    host_mirror.sim_flightmodel2_engines_N2_percent[0] = k.n2;
    update_fuel_pumps_feed();
    EXPECT_EQ(engine::tank_l_driven_status, k.driven) << k.alt_ft << " " << k.n2;
  }
  static_pressure_altitude_ft = 0.0f;
  fuel_pump_lights = FuelPumpLightState{};
}

}  // namespace
