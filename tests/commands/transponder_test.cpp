// Transponder panel handlers: octal digit limits through the host's commands,
// the spring-loaded TEST position and the 8 s test start.
#include "cockpit_fixture.h"
#include "systems/delay_timers.h"
#include "systems/electrical/electric_values.h"
#include "systems/switches/switch_values.h"

namespace {

const char* const kCodeRef = "sim/cockpit2/radios/actuators/transponder_code";
const char* const kModeRef = "sim/cockpit2/radios/actuators/transponder_mode";

class Transponder : public CockpitTest {
 protected:
  void SetUp() override {
    CockpitTest::SetUp();
    // The host's own digit commands, as the simulator steps the code.
    const std::pair<const char*, int> steps[] = {
        {"sim/transponder/transponder_ones_up", 1},       {"sim/transponder/transponder_ones_down", -1},
        {"sim/transponder/transponder_tens_up", 10},      {"sim/transponder/transponder_tens_down", -10},
        {"sim/transponder/transponder_hundreds_up", 100}, {"sim/transponder/transponder_hundreds_down", -100},
        {"sim/transponder/transponder_thousands_up", 1000},
        {"sim/transponder/transponder_thousands_down", -1000}};
    for (const auto& [name, delta] : steps) {
      const int d = delta;
      simhost::set_host_action(name, [d](int phase) {
        if (phase == 0) simhost::set_int(kCodeRef, simhost::get_int(kCodeRef) + d);
      });
    }
    electric::ac_tnsbus1_status = 1.0f;
    electric::ac_stdbus_status = 1.0f;  // the transponder's bus
    delay_flags.tcas_test_flag = 0.0f;
    delay_timers.tcas_test_delay = 0.0f;
    knob::transponder_pos = 1.0f;
  }
  static void code(int c) {
    simhost::set_int(kCodeRef, c);
    host_mirror.sim_cockpit2_radios_actuators_transponder_code = c;
  }
};

TEST_F(Transponder, DigitsStayOctal) {
  const char* const ups[] = {"knob/xpndr_1000_up", "knob/xpndr_100_up", "knob/xpndr_10_up", "knob/xpndr_1_up"};
  const char* const downs[] = {"knob/xpndr_1000_dn", "knob/xpndr_100_dn", "knob/xpndr_10_dn", "knob/xpndr_1_dn"};
  code(7777);
  for (const char* c : ups) click(c);
  EXPECT_EQ(simhost::get_int(kCodeRef), 7777);
  code(0);
  for (const char* c : downs) click(c);
  EXPECT_EQ(simhost::get_int(kCodeRef), 0);
  EXPECT_EQ(issued_total(), 0);
  code(1270);
  click("knob/xpndr_10_up");
  EXPECT_EQ(simhost::get_int(kCodeRef), 1270);
  click("knob/xpndr_1000_dn");
  EXPECT_EQ(simhost::get_int(kCodeRef), 270);
}

TEST_F(Transponder, SecondDigitCommandSeesTheFirst) {
  code(5);
  click("knob/xpndr_1_up");
  click("knob/xpndr_1_up");
  click("knob/xpndr_1_up");  // the ones digit is 7 by now
  EXPECT_EQ(simhost::get_int(kCodeRef), 7);
  EXPECT_EQ(host_mirror.sim_cockpit2_radios_actuators_transponder_code, 7);
}

TEST_F(Transponder, ModeDownIntoTestAndBack) {
  // Released after 1 s: back to STBY, no test.
  hold("knob/transponder_mode_dn", 8);
  EXPECT_EQ(knob::transponder_pos, 1.0f);
  EXPECT_EQ(delay_flags.tcas_test_flag, 0.0f);
  // Held 2 s: the test starts once.
  press("knob/transponder_mode_dn");
  EXPECT_EQ(knob::transponder_pos, 0.0f);
  simhost::frames(16, kFrame_s);
  EXPECT_EQ(delay_flags.tcas_test_flag, 1.0f);
  EXPECT_EQ(delay_timers.tcas_test_delay, 8.0f);
  EXPECT_EQ(simhost::get_int(kModeRef), 3);
  EXPECT_EQ(host_mirror.sim_cockpit2_radios_actuators_transponder_mode, 3);
  release("knob/transponder_mode_dn");
  EXPECT_EQ(knob::transponder_pos, 1.0f);
}

TEST_F(Transponder, TestNeedsPowerAndIsNotExtended) {
  electric::ac_tnsbus1_status = 0.0f;
  press("knob/transponder_test");
  EXPECT_EQ(knob::transponder_pos, 0.0f);
  simhost::frames(20, kFrame_s);
  release("knob/transponder_test");
  EXPECT_EQ(knob::transponder_pos, 1.0f);
  EXPECT_EQ(delay_flags.tcas_test_flag, 0.0f);

  electric::ac_tnsbus1_status = 1.0f;
  click("knob/transponder_tcas_test");
  EXPECT_EQ(delay_flags.tcas_test_flag, 1.0f);
  EXPECT_EQ(knob::transponder_pos, 1.0f);
  delay_timers.tcas_test_delay = 5.0f;
  click("knob/transponder_tcas_test");
  EXPECT_EQ(delay_timers.tcas_test_delay, 5.0f);
}

TEST_F(Transponder, ModeKnobEndsAndDirectPositions) {
  knob::transponder_pos = 5.0f;
  click("knob/transponder_mode_up");
  EXPECT_EQ(knob::transponder_pos, 5.0f);
  knob::transponder_pos = 0.0f;
  press("knob/transponder_mode_dn");
  EXPECT_EQ(knob::transponder_pos, 0.0f);
  release("knob/transponder_mode_dn");
  const std::pair<const char*, float> direct[] = {{"knob/transponder_stby", 1}, {"knob/transponder_altoff", 2},
                                                  {"knob/transponder_alton", 3}, {"knob/transponder_ta", 4},
                                                  {"knob/transponder_tara", 5}};
  for (const auto& [c, want] : direct) {
    click(c);
    EXPECT_EQ(knob::transponder_pos, want) << c;
  }
}

TEST_F(Transponder, IdentKey) {
  press("push_button/transponder_ident_dn");
  EXPECT_EQ(push_button::transponder_ident, 1.0f);
  EXPECT_EQ(issued("sim/transponder/transponder_ident"), 1);
  release("push_button/transponder_ident_dn");
  EXPECT_EQ(push_button::transponder_ident, 0.0f);
}

}  // namespace
