// Cabin pressurisation: the atmosphere and schedule numbers, take-off mode,
// the cruise cabin altitude, an open door and the safety relief; and its
// limits, one table row per threshold with a value on each side of it: leaks,
// outflow and cabin rate, pack inflow and flow, the outflow valve, the ram
// doors, the schedule by mode and altitude band, and take-off mode's engine
// limits.
#include <gtest/gtest.h>

#include <cmath>

#include "core/binding.h"
#include "core/failure_tables.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "navdata/air_data.h"
#include "systems/air/air_values.h"
#include "systems/air/cabin_fixture.h"
#include "systems/air/pressurisation.h"
#include "systems/electrical/electric_values.h"
#include "systems/instruments/instrument_values.h"
#include "systems/switches/switch_values.h"
#include "systems/systems_step_outputs.h"

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
  // A flight started on the approach, below FLT ALT and descending: the
  // descent it was started in, not one off the schedule (no climb was
  // given up), and with no take-off field the cabin heads for LAND ALT.
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
  EXPECT_EQ(press_ctrl.off_sched_descent, 0.0f);
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

TEST_F(Cabin, LeaksOutflowAndCabinRate) {
  // Cabin at 5000 ft under 10000 ft outside (2.1213 psi), packs off.
  struct Row {
    float doors_l1, doors_r1, leak0, leak1, valve, cabin, vvi;
  } rows[] = {
      {0, 0, 0, 0, 0, 5000.078f, 18.728f},      {0.5f, 0, 0, 0, 0, 5600.078f, 1600},
      {0.5f, 0.5f, 0, 0, 0, 5600.078f, 1600},   {0.5f, 0.51f, 0, 0, 0, 6000.078f, 1600},
      {0, 0, 1, 0, 0, 5600.078f, 1600},         {0, 0, 0, 1, 0, 5020.078f, 1600},
      {0, 0, 0, 0, 0.5f, 5005.103f, 1224.79f},
  };
  for (const Row& r : rows) {
    static_pressure_altitude_ft = 10000.0f;
    cockpit::cabin_altitude_actual = 5000.0f;
    cockpit::cabin_vvi = 0.0f;
    cockpit::outflow_valve = r.valve;
    script_mirror.tarv_doors_L1 = r.doors_l1;
    script_mirror.tarv_doors_R1 = r.doors_r1;
    failure_tables.pressurisation[0] = r.leak0;
    failure_tables.pressurisation[1] = r.leak1;
    update_pressurization();
    const auto why = ::testing::Message() << r.doors_l1 << " " << r.doors_r1 << " " << r.leak0 << r.leak1 << " " << r.valve;
    EXPECT_NEAR(cockpit::cabin_altitude_actual, r.cabin, 0.01f) << why;
    EXPECT_NEAR(cockpit::cabin_vvi, r.vvi, 0.2f) << why;  // the cabin altitude is a float near 5000
  }
  // Below standard sea-level pressure the cabin stays with the outside air:
  // the base leak's 15 ft/min cannot lift it above a field at -500 ft.
  static_pressure_altitude_ft = cockpit::cabin_altitude_actual = -500.0f;
  script_mirror.tarv_doors_L1 = script_mirror.tarv_doors_R1 = 0.0f;
  failure_tables.pressurisation[0] = failure_tables.pressurisation[1] = 0.0f;
  cockpit::outflow_valve = 0.0f;
  update_pressurization();
  EXPECT_NEAR(cockpit::cabin_altitude_actual, -500.0f, 1e-3f);
  // A cabin far above the outside air is held 1 psi below it.
  static_pressure_altitude_ft = 0.0f;
  cockpit::cabin_altitude_actual = 20000.0f;
  cockpit::cabin_vvi = 0.0f;
  failure_tables.pressurisation[0] = failure_tables.pressurisation[1] = 0.0f;
  update_pressurization();
  EXPECT_NEAR(pressure_at_ft(cockpit::cabin_altitude_actual), pressure_at_ft(0.0f) - 1.0f, 1e-3f);
  EXPECT_EQ(cockpit::cabin_pressure_diff, -0.2f);
  EXPECT_EQ(cockpit::cabin_vvi, -1600.0f);
}

TEST_F(Cabin, PackInflowBySourceAndIsolationValve) {
  // Sea level, valve shut, the left pack alone at flow 1: its inflow is the
  // left supply up to p x 85 ft/min, and the base leak lifts the cabin again.
  // A duct gauge reads above the outside air: 1 psi gives half the flow.
  air::l_pack_pos = 1.0f;
  air::engine1_psi = air::engine2_psi = 0.0f;
  struct Row {
    float e1_psi, e2_psi, apu_psi, iso, cabin;
  } rows[] = {{40, 0, 0, 0, -2.056898f},     {1, 0, 0, 0, -1.016002f}, {0, 40, 0, 0, 0},
              {0, 40, 0, 0.5f, -1.015949f},  {0, 40, 0, 1, -2.056898f}, {0, 0, 40, 0, -1.015949f},
              {1, 40, 0, 0, -1.016002f}};
  for (const Row& r : rows) {
    static_pressure_altitude_ft = cockpit::cabin_altitude_actual = 0.0f;
    press_ctrl.pack_flow_l = 1.0f;
    air::engine1_psi = r.e1_psi;
    air::engine2_psi = r.e2_psi;
    air::apu_psi = r.apu_psi;
    air::apu_bleed_valve_pos = 1.0f;
    isolation_valve_open = r.iso;
    update_pressurization();
    EXPECT_NEAR(cockpit::cabin_altitude_actual, r.cabin, 2e-4f) << r.e1_psi << " " << r.e2_psi << " " << r.apu_psi << " " << r.iso;
  }
  isolation_valve_open = 0.0f;
}

TEST_F(Cabin, ManualAndJammedOutflowValve) {
  struct Row {
    float sw, jammed, after;
  } rows[] = {{-1, 0, 0.495f}, {1, 0, 0.505f}, {0, 0, 0.5f}, {1, 1, 0.5f}};
  for (const Row& r : rows) {
    cockpit::outflow_valve = 0.5f;
    toggle_switch::air_valve_manual = r.sw;
    failure_tables.pressurisation[2] = r.jammed;
    update_pressurization();
    EXPECT_NEAR(cockpit::outflow_valve, r.after, 1e-6f) << r.sw << " " << r.jammed;
  }
}

TEST_F(Cabin, PackFlowBySwitchBleedsAndFlaps) {
  frame_time = 6.0f;  // one frame reaches any flow
  struct Row {
    float sw, other, valve;
    int ground;
    float bleed1, flap, flow;
  } rows[] = {
      {2, 1, 1, 1, 1, 0, 1.82f}, {2, 1, 0.5f, 1, 1, 0, 0.91f}, {1, 1, 1, 1, 0, 0, 1.45f}, {1, 1, 1, 1, 1, 0, 1},
      {1, 0, 1, 0, 1, 0, 1.45f}, {1, 1, 1, 0, 1, 0, 1},         {1, 0, 1, 0, 1, 0.1f, 1},  {0, 1, 1, 1, 0, 0, 0},
  };
  toggle_switch::bleed_air_2_pos = 0.0f;
  for (const Row& r : rows) {
    press_ctrl.pack_flow_l = 0.0f;
    air::l_pack_pos = r.sw;
    air::r_pack_pos = r.other;
    air::l_pack_bleed_valve_pos = r.valve;
    on_ground = r.ground;
    toggle_switch::bleed_air_1_pos = r.bleed1;
    host_mirror.sim_cockpit2_controls_flap_ratio = r.flap;
    static_pressure_altitude_ft = cockpit::cabin_altitude_actual = 0.0f;
    update_pressurization();
    EXPECT_NEAR(press_ctrl.pack_flow_l, r.flow, 1e-6f)
        << r.sw << " " << r.other << " " << r.valve << " " << r.ground << " " << r.bleed1 << " " << r.flap;
  }
}

TEST_F(Cabin, RamDoorsCloseInFlightAboveTheirSpeed) {
  on_ground = 0;
  struct Row {
    float flap, mps, before, target;
  } rows[] = {{0, 100, 1, 0},   {0.1f, 122.9f, 0, 1}, {0.1f, 123, 0, 0},
              {0.1f, 136, 1, 1}, {0.1f, 136.1f, 1, 0}};
  for (const Row& r : rows) {
    host_mirror.sim_cockpit2_controls_flap_ratio = r.flap;
    host_mirror.sim_flightmodel_position_groundspeed = r.mps;
    press_ctrl.ram_door_target = r.before;
    update_pressurization();
    EXPECT_EQ(press_ctrl.ram_door_target, r.target) << r.flap << " " << r.mps << " " << r.before;
  }
}

TEST_F(Cabin, OutflowValveCommandInCruiseAndOnTheGround) {
  // Cruise at FLT ALT 35000 with the cabin at 8000 ft (7.4587 psi): the
  // rate command is limited to 700 ft/min beyond 35 ft of error.
  toggle_switch::air_valve_ctrl = 0.0f;
  on_ground = 0;
  struct Row {
    float error, cabin, cmd;
  } rows[] = {{35, 8000, 0.077824f}, {70, 8000, 0.077824f}, {17.5f, 8000, 0.030299f}, {0, 8000, 0},
              {-35, 8000, 0},         {35, 14501, 0}};
  for (const Row& r : rows) {
    press_ctrl = PressController{};
    press_ctrl.press_ctrl_armed = 1;
    cockpit::pressurization_mode2 = 3.0f;
    host_mirror.sim_cockpit_pressure_max_allowable_altitude = 35000.0f;
    press_ctrl.prev_flt_alt = press_ctrl.mode_alt_ref = press_ctrl.max_alt_reached = 35000.0f;
    static_pressure_altitude_ft = 35000.0f;
    cockpit::cabin_altitude_actual = r.cabin;
    press_ctrl.sched_cabin_alt = r.cabin + r.error;
    update_pressurization();
    EXPECT_EQ(press_ctrl.mode, 3.0f);
    EXPECT_NEAR(press_ctrl.valve_cmd, r.cmd, 2e-5f) << r.error << " " << r.cabin;
  }
  // A faulted channel holds the valve where it is and drops to mode 0; in
  // AUTO controller 2 takes over from a faulted 1 while it is healthy.
  struct Fault {
    float selector, fail9, fail10, dc2, mode;
    int32_t channel;
  } faults[] = {{0, 1, 0, 1, 3, 2}, {0, 1, 1, 1, 0, 1}, {0, 1, 0, 0, 0, 1},
                {0, 0, 1, 1, 3, 1}, {1, 0, 1, 1, 0, 2}, {1, 1, 0, 1, 3, 2}};
  for (const Fault& f : faults) {
    press_ctrl = PressController{};
    press_ctrl.press_ctrl_armed = 1;
    toggle_switch::air_valve_ctrl = f.selector;
    electric::dc_bus2_status = f.dc2;
    failure_tables.pressurisation[9] = f.fail9;
    failure_tables.pressurisation[10] = f.fail10;
    cockpit::pressurization_mode2 = 3.0f;
    press_ctrl.prev_flt_alt = press_ctrl.mode_alt_ref = press_ctrl.max_alt_reached = 35000.0f;
    cockpit::cabin_altitude_actual = 8000.0f;
    cockpit::outflow_valve = 0.25f;
    press_ctrl.sched_cabin_alt = 8035.0f;
    update_pressurization();
    EXPECT_EQ(press_ctrl.mode, f.mode) << f.selector << " " << f.fail9 << f.fail10 << f.dc2;
    EXPECT_EQ(press_ctrl.press_channel, f.channel) << f.selector << " " << f.fail9 << f.fail10 << f.dc2;
    EXPECT_EQ(press_ctrl.valve_cmd == 0.25f, f.mode == 0.0f) << f.selector << " " << f.fail9 << f.fail10 << f.dc2;
  }
  electric::dc_bus2_status = 1.0f;
  failure_tables = FailureTables{};
  toggle_switch::air_valve_ctrl = 0.0f;
  // A controller finds its own faults, each held 5 s: the valve standing
  // still away from its command (jammed) or the cabin rate beyond 2,000
  // ft/min (a leak the packs cannot make up). Controller 2 takes over; a
  // valve it cannot work it holds, a rate it cannot hold it works on. A rate
  // already beyond the limit when it took over is not its own fault.
  struct Found {
    float jam, leak, seconds, mode;
    int32_t channel;
    uint8_t lit;
  } founds[] = {{1, 0, 5.1f, 3, 1, 0}, {1, 0, 5.6f, 3, 2, 0}, {1, 0, 11.0f, 0, 1, 1},
                {0, 1, 5.1f, 3, 1, 0}, {0, 1, 5.6f, 3, 2, 0}, {0, 1, 11.0f, 3, 2, 0}};
  for (const Found& f : founds) {
    press_ctrl = PressController{};
    press_ctrl.press_ctrl_armed = 1;
    failure_tables.pressurisation[2] = f.jam;
    failure_tables.pressurisation[1] = f.leak;
    cockpit::pressurization_mode2 = 3.0f;
    press_ctrl.prev_flt_alt = press_ctrl.mode_alt_ref = press_ctrl.max_alt_reached = 35000.0f;
    press_ctrl.cruise_cabin_alt = press_ctrl.sched_cabin_alt = 8035.0f;
    cockpit::cabin_altitude_actual = 8000.0f;
    cockpit::cabin_vvi = 0.0f;
    cockpit::outflow_valve = 0.25f;
    for (float t = 0.0f; t < f.seconds - 0.05f; t += frame_time) update_pressurization();
    EXPECT_EQ(press_ctrl.mode, f.mode) << f.jam << f.leak << " " << f.seconds;
    EXPECT_EQ(press_ctrl.press_channel, f.channel) << f.jam << f.leak << " " << f.seconds;
    EXPECT_EQ(press_ctrl.found_fault_lit, f.lit) << f.jam << f.leak << " " << f.seconds;
  }
  failure_tables = FailureTables{};
  // On the ground in mode 0 the command is 350 ft/min the way the
  // differential points; a differential crossing zero disarms and opens.
  on_ground = 1;
  struct Ground {
    float prev_diff, cmd;
  } grounds[] = {{0.2f, 0.059457f}, {-0.1f, 1}};
  for (const Ground& g : grounds) {
    press_ctrl = PressController{};
    press_ctrl.press_ctrl_armed = 1;
    press_ctrl.prev_cabin_diff = g.prev_diff;
    cockpit::pressurization_mode2 = 0.0f;
    static_pressure_altitude_ft = 0.0f;
    cockpit::cabin_altitude_actual = -500.0f;
    update_pressurization();
    EXPECT_NEAR(press_ctrl.valve_cmd, g.cmd, 2e-5f) << g.prev_diff;
  }
}

TEST_F(Cabin, ScheduleByModeAndFlightAltitudeBand) {
  toggle_switch::air_valve_ctrl = 0.0f;
  on_ground = 0;
  // Climb: maximum differential M and schedule end A by the FLT ALT band;
  // 10000 ft of climb from a sea-level field.
  struct Climb {
    float flt, m, a;
  } climbs[] = {{20000, 7.45f, 20000}, {28000, 7.45f, 27000}, {28001, 7.8f, 28001}, {37000, 7.8f, 36000},
                {37001, 8.35f, 37001}, {41000, 8.35f, 40000}, {45000, 8.35f, 40000}};
  for (const Climb& c : climbs) {
    press_ctrl = PressController{};
    cockpit::pressurization_mode2 = 2.0f;
    host_mirror.sim_cockpit_pressure_max_allowable_altitude = c.flt;
    static_pressure_altitude_ft = 10000.0f;
    cockpit::cabin_altitude_actual = 2000.0f;
    update_pressurization();
    const float cruise = pressure_altitude_ft(pressure_at_ft(std::fmin(c.flt, 41000.0f)) + c.m);
    EXPECT_EQ(press_ctrl.mode, 2.0f) << c.flt;
    EXPECT_NEAR(press_ctrl.cruise_cabin_alt, cruise, 0.5f) << c.flt;
    EXPECT_NEAR(press_ctrl.sched_cabin_alt, cruise * 10000.0f / c.a, 0.5f) << c.flt;
    EXPECT_EQ(press_ctrl.sched_max_diff, c.m) << c.flt;  // the schedule is beyond M this low
  }
  // Level off and top of descent: 0.25 psi either side of FLT ALT 35000.
  struct Level {
    float mode, psi_below, mode_after;
  } levels[] = {{2, 0.24f, 3}, {2, 0.26f, 2}, {3, 0.24f, 3}, {3, 0.26f, 4}};
  for (const Level& l : levels) {
    press_ctrl = PressController{};
    cockpit::pressurization_mode2 = l.mode;
    host_mirror.sim_cockpit_pressure_max_allowable_altitude = 35000.0f;
    press_ctrl.prev_flt_alt = 35000.0f;
    press_ctrl.max_alt_reached = l.mode == 3.0f ? 35000.0f : 0.0f;
    static_pressure_altitude_ft = pressure_altitude_ft(pressure_at_ft(35000.0f) + l.psi_below);
    cockpit::cabin_altitude_actual = 8000.0f;
    update_pressurization();
    EXPECT_EQ(press_ctrl.mode, l.mode_after) << l.mode << " " << l.psi_below;
  }
  // Descent from FLT ALT 35000 with the cabin at 8000 toward a 1000 ft field.
  pressurization::knobs_landing_alt = 1000.0f;
  struct Descent {
    float ambient, max_alt, mode, sched, max_diff;
  } descents[] = {{20000, 35000, 4, 4911.765f, 7.45f}, {30000, 35000, 4, 6970.588f, 7.8f}, {20000, 19000, 2, -1, -1}};
  for (const Descent& d : descents) {
    press_ctrl = PressController{};
    cockpit::pressurization_mode2 = 4.0f;
    host_mirror.sim_cockpit_pressure_max_allowable_altitude = 35000.0f;
    press_ctrl.prev_flt_alt = press_ctrl.mode_alt_ref = 35000.0f;
    press_ctrl.max_alt_reached = d.max_alt;
    press_ctrl.cruise_cabin_alt = 8000.0f;
    static_pressure_altitude_ft = d.ambient;
    cockpit::cabin_altitude_actual = 6000.0f;
    update_pressurization();
    EXPECT_EQ(press_ctrl.mode, d.mode) << d.ambient << " " << d.max_alt;
    if (d.mode != 4.0f) continue;
    EXPECT_NEAR(press_ctrl.sched_cabin_alt, d.sched, 0.01f) << d.ambient;
    EXPECT_EQ(press_ctrl.sched_max_diff, d.max_diff) << d.ambient;
  }
  // Take-off mode on the ground: 1.5 s of either engine above N1 60 and N2 89.
  on_ground = 1;
  struct TakeOff {
    float n1, n2, flt, mode, cruise;
  } takeoffs[] = {{60.1f, 89.1f, 35000, 1, 8000}, {60.1f, 89.1f, 14000, 1, 4000}, {60, 89.1f, 14000, 0, 0},
                  {60.1f, 89, 14000, 0, 0}};
  for (const TakeOff& t : takeoffs) {
    press_ctrl = PressController{};
    press_ctrl.press_mode_timer_up = 1.45f;
    cockpit::pressurization_mode2 = 0.0f;
    host_mirror.sim_flightmodel2_engines_N1_percent[1] = t.n1;
    host_mirror.sim_flightmodel2_engines_N2_percent[1] = t.n2;
    host_mirror.sim_cockpit_pressure_max_allowable_altitude = t.flt;
    static_pressure_altitude_ft = 1000.0f;
    update_pressurization();
    EXPECT_EQ(press_ctrl.mode, t.mode) << t.n1 << " " << t.n2 << " " << t.flt;
    EXPECT_NEAR(press_ctrl.cruise_cabin_alt, t.cruise, 0.01f) << t.n1 << " " << t.n2 << " " << t.flt;
  }
  update_pressurization();
  EXPECT_EQ(press_ctrl.sched_max_diff, 0.0f);
  // Spooled down: both engines below N1 50 and N2 84 for 1.5 s end it.
  struct Spool {
    float n1a, n2a, n1b, n2b, timer;
  } spools[] = {{50, 0, 0, 84, 0}, {0, 84, 50, 0, 0}, {49.9f, 0, 0, 84, 0.1f}, {0, 84, 0, 83.9f, 0.1f}, {0, 84, 49.9f, 0, 0.1f}};
  for (const Spool& sp : spools) {
    cockpit::pressurization_mode2 = 1.0f;
    press_ctrl.press_mode_timer_down = 0.0f;
    host_mirror.sim_flightmodel2_engines_N1_percent[0] = sp.n1a;
    host_mirror.sim_flightmodel2_engines_N2_percent[0] = sp.n2a;
    host_mirror.sim_flightmodel2_engines_N1_percent[1] = sp.n1b;
    host_mirror.sim_flightmodel2_engines_N2_percent[1] = sp.n2b;
    update_pressurization();
    EXPECT_NEAR(press_ctrl.press_mode_timer_down, sp.timer, 1e-6f) << sp.n1a << " " << sp.n2a << " " << sp.n1b << " " << sp.n2b;
    EXPECT_EQ(press_ctrl.sched_max_diff, 8.35f);
  }
}

TEST(PressurisationLimits, TakeOffModeNeedsOneEngineAboveSixtyAndEightyNine) {
  struct Row {
    float n1_1, n2_1, n1_2, n2_2;
    float mode;
  } rows[] = {{60.5f, 89.5f, 0, 0, 1}, {60, 90, 60, 90, 0}, {61, 89, 61, 89, 0}, {0, 0, 60.5f, 89.5f, 1}};
  for (const Row& r : rows) {
    for (XPLMDataRef& h : bound_handles) h = nullptr;
    host_mirror = HostMirror{};
    failure_tables = FailureTables{};
    press_ctrl = PressController{};
    cockpit::pressurization_mode2 = 0.0f;
    electric::dc_bus1_status = electric::dc_bus2_status = 1.0f;
    electric::dir_batbus_status = electric::batbus_status = 1.0f;
    toggle_switch::air_valve_ctrl = 0.0f;
    static_pressure_altitude_ft = 0.0f;
    frame_time = 0.125f;
    on_ground = 1;
    host_mirror.sim_flightmodel2_engines_N1_percent[0] = r.n1_1;
    host_mirror.sim_flightmodel2_engines_N2_percent[0] = r.n2_1;
    host_mirror.sim_flightmodel2_engines_N1_percent[1] = r.n1_2;
    host_mirror.sim_flightmodel2_engines_N2_percent[1] = r.n2_2;
    for (int i = 0; i < 16; ++i) update_pressurization();  // 2 s
    EXPECT_EQ(cockpit::pressurization_mode2, r.mode) << r.n1_1 << " " << r.n2_1 << " " << r.n1_2 << " " << r.n2_2;
  }
}

}  // namespace
