// Cabin pressurisation: the atmosphere and schedule numbers, take-off mode,
// the cruise cabin altitude, an open door and the safety relief.
#include <gtest/gtest.h>

#include "core/failure_tables.h"
#include "core/binding.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "navdata/air_data.h"
#include "systems/air/air_values.h"
#include "systems/electrical/electric_values.h"
#include "systems/instruments/instrument_values.h"
#include "systems/air/pressurisation.h"
#include "systems/switches/switch_values.h"

namespace {

class Pressurisation : public ::testing::Test {
 protected:
  void SetUp() override {
    for (XPLMDataRef& h : bound_handles) h = nullptr;
    host_mirror = HostMirror{};
    script_mirror = ScriptMirror{};
    failure_tables = FailureTables{};
    press_ctrl = PressController{};
    cockpit::pressurization_mode2 = 0.0f;
    electric::dc_bus1_status = electric::dc_bus2_status = 1.0f;
    electric::ac_tnsbus1_status = electric::ac_tnsbus2_status = 1.0f;
    electric::dir_batbus_status = electric::batbus_status = 1.0f;
    toggle_switch::air_valve_ctrl = 0.0f;
    air::l_pack_pos = air::r_pack_pos = 1.0f;
    air::l_pack_bleed_valve_pos = air::r_pack_bleed_valve_pos = 1.0f;
    air::engine1_psi = air::engine2_psi = 40.0f;
    cockpit::cabin_altitude_actual = 0.0f;
    cockpit::cabin_vvi = 0.0f;
    cockpit::cabin_pressure_diff = 0.0f;
    cockpit::outflow_valve = 1.0f;
    static_pressure_altitude_ft = 0.0f;
    frame_time = 0.1f;
    on_ground = 1;
  }
  static void engines(float n1, float n2) {
    for (int i = 0; i < 2; ++i) {
      host_mirror.sim_flightmodel2_engines_N1_percent[i] = n1;
      host_mirror.sim_flightmodel2_engines_N2_percent[i] = n2;
    }
  }
};

TEST(PressureSchedule, AtmosphereAndMaximumDifferential) {
  EXPECT_NEAR(pressure_at_ft(0.0f), 14.696f, 0.001f);
  EXPECT_NEAR(pressure_at_ft(35000.0f), 3.458f, 0.002f);
  struct Case {
    float alt_ft, max_psi;
  };
  const Case cases[] = {{0.0f, 7.45f}, {28000.0f, 7.45f}, {28001.0f, 7.8f}, {37000.0f, 7.8f}, {37001.0f, 8.35f}};
  for (const Case& c : cases) EXPECT_EQ(max_cabin_diff_psi(c.alt_ft), c.max_psi) << c.alt_ft;
}

TEST_F(Pressurisation, ChannelBySelectorAndPower) {
  struct Case {
    float selector, dc1, dc2, dirbat;
    float channel;
  };
  const Case cases[] = {
      {0, 1, 1, 1, 1}, {0, 0, 1, 1, 2}, {0, 0, 0, 1, 0}, {1, 1, 1, 1, 2}, {1, 1, 0, 1, 0}, {2, 1, 1, 1, 3}, {2, 1, 1, 0, 0},
  };
  for (const Case& c : cases) {
    toggle_switch::air_valve_ctrl = c.selector;
    electric::dc_bus1_status = c.dc1;
    electric::dc_bus2_status = c.dc2;
    electric::dir_batbus_status = c.dirbat;
    update_pressurization();
    EXPECT_EQ(cockpit::pressurization_mode, c.channel) << c.selector << c.dc1 << c.dc2 << c.dirbat;
  }
  electric::dc_bus1_status = electric::dc_bus2_status = 0.0f;
  update_pressurization();
  EXPECT_EQ(cockpit::pressurization_dash, 1.0f);
}

TEST_F(Pressurisation, TakeOffModeAfterOneAndAHalfSecondsOfPower) {
  engines(61.0f, 90.0f);
  frame_time = 0.125f;  // exact in binary
  for (int i = 0; i < 12; ++i) update_pressurization();
  EXPECT_EQ(cockpit::pressurization_mode2, 0.0f) << "1.5 s exactly is not yet above";
  update_pressurization();
  EXPECT_EQ(cockpit::pressurization_mode2, 1.0f);
  // From the next frame the schedule holds the cabin 0.1 psi above the field.
  update_pressurization();
  EXPECT_NEAR(pressure_at_ft(press_ctrl.sched_cabin_alt), pressure_at_ft(0.0f) + 0.1f, 1e-3f);
  engines(20.0f, 60.0f);
  for (int i = 0; i < 13; ++i) update_pressurization();
  EXPECT_EQ(cockpit::pressurization_mode2, 0.0f);
  EXPECT_EQ(press_ctrl.valve_cmd, 1.0f);
}

TEST_F(Pressurisation, ParkedAtIdleTheValveOpensAndTheCabinFollowsTheField) {
  // From start-up (controller cleared, valve shut) with bleed air feeding the
  // packs and the engines at idle, five minutes on the stand.
  press_ctrl_clear_saved_state();
  cockpit::outflow_valve = 0.0f;
  static_pressure_altitude_ft = 500.0f;
  cockpit::cabin_altitude_actual = 500.0f;
  engines(20.0f, 60.0f);
  float max_diff = 0.0f;
  for (int i = 0; i < 3000; ++i) {
    update_pressurization();
    if (cockpit::cabin_pressure_diff > max_diff) max_diff = cockpit::cabin_pressure_diff;
  }
  EXPECT_EQ(cockpit::outflow_valve, 1.0f);
  EXPECT_EQ(cockpit::pressurization_mode2, 0.0f);
  EXPECT_LT(max_diff, 0.2f);
  EXPECT_NEAR(cockpit::cabin_altitude_actual, 500.0f, 150.0f);
}

TEST_F(Pressurisation, AfterLandingTheValveOpensAndStaysOpen) {
  // Fields at, just below (a barometer a hair above standard) and well below
  // standard pressure altitude; a minute at idle after touchdown from the
  // descent schedule.
  for (const float field : {433.0f, -0.3f, -50.0f}) {
    SetUp();
    host_mirror.sim_cockpit_pressure_max_allowable_altitude = 37000.0f;
    frame_time = 1.0f / 30.0f;
    on_ground = 0;
    cockpit::pressurization_mode2 = 4.0f;
    press_ctrl.mode_alt_ref = press_ctrl.max_alt_reached = 37000.0f;
    press_ctrl.cruise_cabin_alt = 7800.0f;
    pressurization::knobs_landing_alt = field;
    static_pressure_altitude_ft = field + 300.0f;
    cockpit::cabin_altitude_actual = field + 100.0f;
    cockpit::outflow_valve = 0.3f;
    engines(30.0f, 70.0f);
    for (int i = 0; i < 300; ++i) {
      static_pressure_altitude_ft -= 1.0f;
      update_pressurization();
    }
    on_ground = 1;
    for (int i = 0; i < 1800; ++i) update_pressurization();
    EXPECT_EQ(cockpit::pressurization_mode2, 0.0f) << field;
    EXPECT_NEAR(cockpit::outflow_valve, 1.0f, 0.05f) << field;
    EXPECT_NEAR(cockpit::cabin_vvi, 0.0f, 5.0f) << field;
    EXPECT_NEAR(cockpit::cabin_altitude_actual, field, 1.0f) << field;
  }
}

TEST_F(Pressurisation, LoadedInCruiseHoldsTheCruiseCabin) {
  // A flight taken over at FL370 with FLT ALT set: the controller is cleared
  // and the host's cabin sits where its own schedule had it.
  host_mirror.sim_cockpit_pressure_max_allowable_altitude = 37000.0f;
  on_ground = 0;
  frame_time = 1.0f / 30.0f;
  press_ctrl_clear_saved_state();
  static_pressure_altitude_ft = 37000.0f;
  cockpit::cabin_altitude_actual = 7800.0f;
  cockpit::outflow_valve = 0.0f;
  engines(85.0f, 92.0f);
  for (int i = 0; i < 1800; ++i) update_pressurization();
  EXPECT_EQ(cockpit::pressurization_mode2, 3.0f);
  EXPECT_NEAR(cockpit::cabin_pressure_diff, 7.8f, 0.1f);
  EXPECT_NEAR(cockpit::cabin_altitude_actual, 7800.0f, 400.0f);
}

TEST_F(Pressurisation, TakenOverAloftAnOffScheduleDescentEndsAtLandAlt) {
  // A flight started on the approach, below FLT ALT and descending: there is
  // no take-off field to return to, so the cabin heads for LAND ALT.
  host_mirror.sim_cockpit_pressure_max_allowable_altitude = 35000.0f;
  pressurization::knobs_landing_alt = 5000.0f;
  on_ground = 0;
  frame_time = 1.0f;
  press_ctrl_clear_saved_state();
  cockpit::cabin_altitude_actual = 3000.0f;
  cockpit::outflow_valve = 0.3f;
  engines(60.0f, 80.0f);
  for (int i = 0; i <= 350; ++i) {
    static_pressure_altitude_ft = 12000.0f - 20.0f * static_cast<float>(i);
    update_pressurization();
  }
  EXPECT_EQ(press_ctrl.off_sched_descent, 1.0f);
  EXPECT_NEAR(press_ctrl.sched_cabin_alt, 5000.0f, 100.0f);
}

TEST_F(Pressurisation, ClimbScheduleAimsAtCruiseCabinForFltAlt35000) {
  host_mirror.sim_cockpit_pressure_max_allowable_altitude = 35000.0f;
  on_ground = 0;
  cockpit::pressurization_mode2 = 1.0f;  // as a restored situation leaves it
  static_pressure_altitude_ft = 10000.0f;
  cockpit::cabin_altitude_actual = 2000.0f;
  update_pressurization();
  EXPECT_EQ(press_ctrl.mode, 2.0f);
  EXPECT_NEAR(press_ctrl.cruise_cabin_alt, pressure_altitude_ft(pressure_at_ft(35000.0f) + 7.8f), 0.5f);
}

TEST_F(Pressurisation, OpenDoorLetsTheCabinFollowAmbient) {
  static_pressure_altitude_ft = 1000.0f;
  cockpit::cabin_altitude_actual = 0.0f;
  script_mirror.tarv_doors_L1 = 1.0f;
  script_mirror.tarv_doors_R1 = 1.0f;  // door sum above 1
  air::l_pack_pos = air::r_pack_pos = 0.0f;
  for (int i = 0; i < 2; ++i) update_pressurization();
  EXPECT_NEAR(cockpit::cabin_altitude_actual, 1000.0f, 1.0f);
}

TEST_F(Pressurisation, ReliefCapsTheDifferential) {
  on_ground = 0;
  toggle_switch::air_valve_ctrl = 2.0f;
  toggle_switch::air_valve_manual = 0.0f;
  cockpit::outflow_valve = 0.0f;
  static_pressure_altitude_ft = 40000.0f;
  cockpit::cabin_altitude_actual = 0.0f;  // far more than 9.1 psi above ambient
  update_pressurization();
  EXPECT_NEAR(cockpit::cabin_pressure_diff, 9.1f, 0.01f);
}

TEST_F(Pressurisation, RamDoorsOpenOnTheGroundAtATenthPerSecond) {
  cockpit::ram_door1 = cockpit::ram_door2 = 0.0f;
  update_pressurization();
  EXPECT_NEAR(cockpit::ram_door1, 0.01f, 1e-6f);
  electric::ac_tnsbus2_status = 0.0f;
  update_pressurization();
  EXPECT_NEAR(cockpit::ram_door2, 0.01f, 1e-6f) << "door 2 stops without its bus";
}

}  // namespace
