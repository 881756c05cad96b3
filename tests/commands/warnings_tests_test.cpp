// Warning, test and failure handlers: inhibit conditions, the bright/test
// switch's host writes, the held cargo test and the held failure reset.
#include "alerting/aural_cues.h"
#include "alerting/failure_commands.h"
#include "core/failure_tables.h"
#include <cmath>
#include <vector>

#include "cockpit_fixture.h"
#include "systems/annunciators/annunciator_values.h"
#include "systems/annunciators/annunciators.h"
#include "systems/annunciators/annunciators_panels.h"
#include "systems/electrical/electric_values.h"
#include "systems/instruments/instrument_values.h"
#include "systems/switches/switch_values.h"

namespace {

const char* const kGenericLights = "sim/cockpit2/switches/generic_lights_switch";

using Warnings = CockpitTest;

// The inhibit takes when pushed inside below-glideslope alerting's area,
// whether or not GLIDESLOPE is sounding yet, on the side the GPWS listens to.
TEST_F(Warnings, BelowGlideslopeInhibitOnlyInsideTheAlertingArea) {
  struct Case {
    float bus, ra_capt, ra_fo, fd_side, light;
    bool inhibit;
  } cases[] = {
      {1, 975, 975, 1, 0, true},      // inside, before any alert
      {1, 975, 975, 1, 0.8f, true},   // inside, GLIDESLOPE sounding
      {1, 1000, 1000, 1, 0, false},   // above the area
      {1, 10, 10, 1, 0.8f, false},    // landed (the light of a test)
      {0, 975, 975, 1, 0, false},     // GPWS without power
      {1, 1200, 955, 2, 0, true},     // the first officer's instruments
      {1, 955, 1200, 2, 0, false},
  };
  for (const Case& c : cases) {
    alert::below_gs_disable = 0.0f;
    electric::ac_tnsbus1_status = c.bus;
    host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = c.ra_capt;
    host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_copilot = c.ra_fo;
    script_mirror.zuvadud_autopilot_fd_side = c.fd_side;
    annunciator::below_gs = c.light;
    press("alert/below_gs_pilot");
    EXPECT_EQ(push_button::below_gs_pilot_pos, 1.0f);
    release("alert/below_gs_pilot");
    EXPECT_EQ(push_button::below_gs_pilot_pos, 0.0f);
    EXPECT_EQ(alert::below_gs_disable, c.inhibit ? 1.0f : 0.0f) << c.ra_capt << " " << c.ra_fo << " " << c.bus;
    alert::below_gs_disable = 0.0f;
    click("alert/below_gs_copilot");
    EXPECT_EQ(alert::below_gs_disable, c.inhibit ? 1.0f : 0.0f) << c.ra_capt << " " << c.ra_fo << " " << c.bus;
  }
}

TEST_F(Warnings, BrightTestSwitch) {
  toggle_switch::bright_test = 0.0f;
  click("toggle_switch/bright_test_up");
  EXPECT_EQ(toggle_switch::bright_test, 1.0f);
  EXPECT_EQ(ann_state.flicker_phase_s[3], 3.5f);
  const int writes = simhost::counts(kGenericLights).writes;
  click("toggle_switch/bright_test_up");  // at TEST: nothing, no host write
  EXPECT_EQ(simhost::counts(kGenericLights).writes, writes);
  ann_state.six_pack[sp_fuel].memory[0] = 1;
  click("toggle_switch/bright_test_dn");
  EXPECT_EQ(toggle_switch::bright_test, 0.0f);
  EXPECT_EQ(ann_state.six_pack[sp_fuel].memory[0], 0);
  click("toggle_switch/bright_test_dn");
  EXPECT_EQ(toggle_switch::bright_test, -1.0f);
  EXPECT_EQ(simhost::get_floats(kGenericLights)[14], 0.5f);
  const int dim_writes = simhost::counts(kGenericLights).writes;
  click("toggle_switch/bright_test_dn");
  EXPECT_EQ(simhost::counts(kGenericLights).writes, dim_writes);
  EXPECT_EQ(toggle_switch::bright_test, -1.0f);
}

TEST_F(Warnings, CargoTestArmsTheBellOnlyWhenHeld) {
  fire_lights.fire_bell_enable = 0.0f;
  hold("push_button/cargo_fire_test_push", 4);  // 0.5 s
  EXPECT_EQ(fire_lights.fire_bell_enable, 0.0f);
  EXPECT_EQ(push_botton::cargo_fire_test, 0.0f);
  press("push_button/cargo_fire_test_push");
  simhost::frames(6, kFrame_s);
  EXPECT_EQ(fire_lights.cargo_test_active, 1.0f);
  EXPECT_EQ(fire_lights.fire_bell_enable, 1.0f);
  release("push_button/cargo_fire_test_push");
  EXPECT_EQ(fire_lights.cargo_test_active, 0.0f);
}

TEST_F(Warnings, ExtinguisherTestSpringsBack) {
  toggle_switch::extinguisher_circuit_test = 0.0f;
  press("toggle_switch/exting_test_lft");
  EXPECT_EQ(toggle_switch::extinguisher_circuit_test, -1.0f);
  release("toggle_switch/exting_test_lft");
  EXPECT_EQ(toggle_switch::extinguisher_circuit_test, 0.0f);
}

// The commands work on the scripts' arrays as they stand at the click, not
// on the copy of the last poll: an entry the scripts set since is kept.
TEST_F(Warnings, RandomFailuresArmAndDisarm) {
  failure_tables.system[4] = 0.0f;  // the copy of the last poll
  simhost::set_floats("zuvadud/D738/failure/system", {0.0f, 1.0f}, 3);
  simhost::set_floats("zuvadud/D738/failure/engine", {0.0f}, 69);
  click("system/enable_rnd_fail");
  EXPECT_EQ(failure_tables.system[3], 2.0f);
  EXPECT_EQ(failure_tables.system[4], 1.0f);
  EXPECT_EQ(failure_tables.engine[69], 0.0f);
  EXPECT_EQ(simhost::get_floats("zuvadud/D738/failure/system")[3], 2.0f);
  EXPECT_EQ(simhost::get_floats("zuvadud/D738/failure/system")[4], 1.0f);
  simhost::set_floats("zuvadud/D738/failure/engine", {5.0f, 1.0f}, 2);
  click("system/disable_rnd_fail");
  EXPECT_EQ(failure_tables.system[3], 0.0f);
  EXPECT_EQ(failure_tables.engine[2], 0.0f);
  EXPECT_EQ(failure_tables.system[4], 1.0f);
  EXPECT_EQ(simhost::get_floats("zuvadud/D738/failure/engine")[3], 1.0f);
}

TEST_F(Warnings, FailureResetRunsOncePerHeldPress) {
  system_::rst_fail_available2 = 0.0f;
  host_mirror.sim_flightmodel_weight_m_fuel[0] = 2000.0f;
  host_mirror.sim_flightmodel_weight_m_fuel[1] = 5000.0f;
  host_mirror.sim_flightmodel_weight_m_fuel[2] = 3000.0f;
  host_mirror.sim_flightmodel_weight_m_fixed = 10000.0f;
  failure_tables.hydraulic[7] = 1.0f;
  press("system/rst_fail");
  simhost::frames(40, kFrame_s);  // 5.0 s gathered: not yet
  EXPECT_EQ(issued("sim/operation/fix_all_systems"), 0);
  EXPECT_EQ(failure_tables.hydraulic[7], 1.0f);
  simhost::frames(10, kFrame_s);
  release("system/rst_fail");
  EXPECT_EQ(issued("sim/operation/fix_all_systems"), 1);
  EXPECT_EQ(failure_tables.hydraulic[7], 0.0f);
  // 10 t of fuel: wings 3900 kg each, the rest in the centre.
  EXPECT_EQ(simhost::get_floats("sim/flightmodel/weight/m_fuel", 3), (std::vector<float>{3900.0f, 2200.0f, 3900.0f}));

  system_::rst_fail_available2 = 1.0f;
  click("system/rst_fail");
  EXPECT_EQ(issued("sim/operation/fix_all_systems"), 2);
  // Offered and then held past 5 s: still one reset for the press.
  press("system/rst_fail");
  simhost::frames(60, kFrame_s);
  release("system/rst_fail");
  EXPECT_EQ(issued("sim/operation/fix_all_systems"), 3);
}

TEST_F(Warnings, FuelKeptWhereItWasBeyondTheLimits) {
  saved_fuel_load[0] = 400.0f;  // under 1 t in all: no redistribution
  saved_fuel_load[1] = 100.0f;
  saved_fuel_load[2] = 300.0f;
  reset_fuel_distribution();
  EXPECT_EQ(simhost::get_floats("sim/flightmodel/weight/m_fuel", 3), (std::vector<float>{400.0f, 100.0f, 300.0f}));
  saved_fuel_load[0] = 1000.0f;  // under twice a wing tank: split between the wings
  saved_fuel_load[1] = 2000.0f;
  saved_fuel_load[2] = 1000.0f;
  host_mirror.sim_flightmodel_weight_m_fixed = 0.0f;
  reset_fuel_distribution();
  EXPECT_EQ(simhost::get_floats("sim/flightmodel/weight/m_fuel", 3), (std::vector<float>{2000.0f, 0.0f, 2000.0f}));
  saved_fuel_load[1] = std::nanf("");
  reset_fuel_distribution();  // refused whole
  EXPECT_EQ(simhost::get_floats("sim/flightmodel/weight/m_fuel", 3), (std::vector<float>{2000.0f, 0.0f, 2000.0f}));
}

}  // namespace
