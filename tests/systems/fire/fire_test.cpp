// Fire protection: bottle discharge and agent, engine fires put out, the APU
// bottle, cockpit smoke after a long fire, handle rules and saved state, and
// the handle's turn detent on each side.
#include <cstring>
#include <vector>

#include "core/failure_tables.h"
#include "systems/electrical/electric_values.h"
#include "systems/fire/fire.h"
#include "systems/fire/fire_values.h"
#include "systems/panel_fixture.h"

namespace {

class Fire : public PanelTest {
 protected:
  void SetUp() override {
    PanelTest::SetUp();
    fire_state = FireState{};
    for (float* v : {&fire::engine01_ext_switch_pos_arm, &fire::engine02_ext_switch_pos_arm,
                     &fire::apu_ext_switch_pos_arm, &fire::engine01_ext_switch_pos_disch,
                     &fire::engine02_ext_switch_pos_disch, &fire::apu_ext_switch_pos_disch, &fire::apu_fire_ext,
                     &fire::apu_was_fire}) {
      *v = 0.0f;
    }
    fire::engine01_02L_ext_bottle_psi = 600.0f;
    fire::engine01_02R_ext_bottle_psi = 600.0f;
    fire::apu_ext_bottle_psi = 600.0f;
    failure_tables = FailureTables{};
  }
  // Pulls and turns a handle through its commands' rules and lets it travel.
  void discharge(int handle, int direction) {
    fire_handle_pull(handle);
    for (int i = 0; i < 16; ++i) fire_update();
    fire_handle_turn(handle, direction);
  }
  void run_s(float seconds) {
    const int n = static_cast<int>(seconds / frame_time + 0.5f);
    for (int i = 0; i < n; ++i) fire_update();
  }
};

TEST_F(Fire, OneFullBottlePutsAnEngineFireOut) {
  host_mirror.sim_operation_failures_rel_engfir0 = 6;
  simhost::set_int("sim/operation/failures/rel_engfir0", 6);
  failure_tables.engine[0] = 1.0f;
  discharge(fire_handle_eng1, -1);
  run_s(3.875f);  // turning, then about 3.8 s of agent
  EXPECT_EQ(host_mirror.sim_operation_failures_rel_engfir0, 6);
  run_s(0.5f);  // agent passes 400 psi after 4 s of discharge
  EXPECT_EQ(host_mirror.sim_operation_failures_rel_engfir0, 0);
  EXPECT_EQ(simhost::get_int("sim/operation/failures/rel_engfir0"), 0);
  EXPECT_EQ(failure_tables.engine[0], 0.0f);
  EXPECT_EQ(simhost::get_floats("zuvadud/D738/failure/engine")[0], 0.0f);
  run_s(3.0f);
  EXPECT_EQ(fire::engine01_02L_ext_bottle_psi, 0.0f);  // empty after about 6 s
  EXPECT_EQ(fire::engine01_02R_ext_bottle_psi, 600.0f);
}

TEST_F(Fire, HalfEmptyBottleCannotDoItAlone) {
  fire::engine01_02R_ext_bottle_psi = 390.0f;
  host_mirror.sim_operation_failures_rel_engfir1 = 6;
  discharge(fire_handle_eng2, 1);
  run_s(10.0f);
  EXPECT_EQ(fire::engine01_02R_ext_bottle_psi, 0.0f);
  EXPECT_LT(fire_state.agent_delivered[3], 400.0f);
  EXPECT_EQ(host_mirror.sim_operation_failures_rel_engfir1, 6);
  // The second bottle finishes the job.
  fire_handle_turn(fire_handle_eng2, -1);
  fire_handle_turn(fire_handle_eng2, -1);
  run_s(5.0f);
  EXPECT_EQ(host_mirror.sim_operation_failures_rel_engfir1, 0);
}

TEST_F(Fire, TurnNeedsAFullPullAndPullNeedsNoTurn) {
  frame_time = 0.01f;  // the handle takes a few frames to come out
  fire_handle_turn(fire_handle_eng1, 1);
  EXPECT_EQ(fire_state.fire_handle_turn_target[0], 0.0f);
  fire_handle_pull(fire_handle_eng1);
  fire_update();
  ASSERT_LT(fire::engine01_ext_switch_pos_arm, 1.0f);
  fire_handle_turn(fire_handle_eng1, 1);
  EXPECT_EQ(fire_state.fire_handle_turn_target[0], 0.0f);
  run_s(2.0f);
  fire_handle_turn(fire_handle_eng1, 1);
  fire_handle_turn(fire_handle_eng1, 1);
  EXPECT_EQ(fire_state.fire_handle_turn_target[0], 1.0f);
  fire_handle_pull(fire_handle_eng1);  // turned: cannot be pushed back in
  EXPECT_EQ(fire_state.fire_handle_arm_target[0], 1.0f);
  // Handles that do not exist change nothing.
  const FireState before = fire_state;
  fire_handle_pull(7);
  fire_handle_turn(-1, 1);
  fire_handle_turn(fire_handle_count, 1);
  EXPECT_EQ(std::memcmp(&before, &fire_state, sizeof before), 0);
}

TEST_F(Fire, UnfoughtFireSmokesTheCockpitAfterNinetySeconds) {
  host_mirror.sim_operation_failures_rel_engfir0 = 6;
  run_s(89.5f);
  EXPECT_EQ(host_mirror.sim_operation_failures_rel_smoke_cpit, 0);
  run_s(1.0f);
  EXPECT_EQ(host_mirror.sim_operation_failures_rel_smoke_cpit, 6);
  EXPECT_EQ(simhost::get_int("sim/operation/failures/rel_smoke_cpit"), 6);
  EXPECT_LT(fire_state.engine_fire_timer[0], 1.0f);  // restarted
}

TEST_F(Fire, ApuBottleFailsTheApuWithoutAFire) {
  discharge(fire_handle_apu, 1);
  run_s(1.0f);
  EXPECT_EQ(fire::apu_fire_ext, 1.0f);
  EXPECT_EQ(fire::apu_was_fire, 1.0f);
  EXPECT_EQ(host_mirror.sim_operation_failures_rel_APU_press, 6);
  EXPECT_LT(fire::apu_ext_bottle_psi, 600.0f);
  EXPECT_EQ(fire::engine01_02L_ext_bottle_psi, 600.0f);
  // The host's own extinguishers are kept off.
  host_mirror.sim_cockpit2_engine_actuators_fire_extinguisher_on[1] = 1;
  fire_update();
  EXPECT_EQ(simhost::get_ints("sim/cockpit2/engine/actuators/fire_extinguisher_on")[1], 0);
}

TEST_F(Fire, StateArraysRoundTrip) {
  fire_state.engine_fire_timer[1] = 12.5f;
  fire_state.agent_delivered[2] = 300.0f;
  fire_state.fire_handle_arm_target[1] = 1.0f;
  fire_state.fire_handle_turn_target[1] = -1.0f;
  fire::engine02_ext_switch_pos_arm = 1.0f;
  fire::apu_ext_bottle_psi = 250.0f;
  fire::engine01_02R_ext_bottle_psi = 400.0f;
  fire_state.bottle_fired[1] = 2.0f;  // the right bottle going into engine 2
  save_fire_state();
  const std::vector<float> state = simhost::get_floats("zuvadud/D738/fire");
  const std::vector<float> sw = simhost::get_floats("zuvadud/D738/fire_sw");
  EXPECT_EQ(state[1], 12.5f);
  EXPECT_EQ(state[6], 300.0f);
  EXPECT_EQ(state[15], -1.0f);
  EXPECT_EQ(state[10], 0.0f);
  EXPECT_EQ(sw[1], 1.0f);
  EXPECT_EQ(sw[8], 250.0f);
  fire_state = FireState{};
  fire::engine02_ext_switch_pos_arm = 0.0f;
  fire::apu_ext_bottle_psi = 600.0f;
  restore_fire_state();
  EXPECT_EQ(fire_state.engine_fire_timer[1], 12.5f);
  EXPECT_EQ(fire_state.fire_handle_turn_target[1], -1.0f);
  EXPECT_EQ(fire::engine02_ext_switch_pos_arm, 1.0f);
  EXPECT_EQ(fire::apu_ext_bottle_psi, 250.0f);
  EXPECT_EQ(fire_state.bottle_fired[1], 2.0f);
  // A firing mark that is none of a bottle's reads as not fired.
  simhost::set_floats("zuvadud/D738/fire", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 2, 2, 0});
  restore_fire_state();
  EXPECT_EQ(fire_state.bottle_fired[0], 0.0f);
  EXPECT_EQ(fire_state.bottle_fired[1], 2.0f);
  EXPECT_EQ(fire_state.bottle_fired[2], 0.0f);
}

// A bottle discharges only through a handle turned beyond 0.95 either way, at
// 100 psi a second into the engine on that handle, and only with its squib's
// power, the hot battery bus.
TEST(FireValues, HandleTurnedPastItsDetentDischargesTheBottleOnThatSide) {
  struct Case {
    float eng1, eng2, apu, left, right, apu_psi;
    float hot_bus = 1.0f;
  } cases[] = {
      {-0.96f, 0, 0, 600, 600, 600, 0}, {0.96f, 0, 0, 600, 600, 600, 0}, {0, -0.96f, 0, 600, 600, 600, 0},
      {0, 0.96f, 0, 600, 600, 600, 0},  {0, 0, 0.96f, 600, 600, 600, 0},
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
    electric::hot_batbus_status = c.hot_bus;
    fire_update();
    EXPECT_FLOAT_EQ(fire::engine01_02L_ext_bottle_psi, c.left) << c.eng1 << " " << c.eng2 << " " << c.apu;
    EXPECT_FLOAT_EQ(fire::engine01_02R_ext_bottle_psi, c.right) << c.eng1 << " " << c.eng2 << " " << c.apu;
    EXPECT_FLOAT_EQ(fire::apu_ext_bottle_psi, c.apu_psi) << c.eng1 << " " << c.eng2 << " " << c.apu;
    EXPECT_FLOAT_EQ(fire_state.agent_delivered[2] + fire_state.agent_delivered[3], c.eng2 != 0 ? 600 - c.left + 600 - c.right : 0);
  }
  // A turn held while the bus was lost fires the bottle when it comes back.
  fire_state = FireState{};
  fire::engine01_ext_switch_pos_disch = fire::engine02_ext_switch_pos_disch = 0.0f;
  fire::apu_ext_switch_pos_disch = fire_state.fire_handle_turn_target[2] = 1.0f;
  fire::apu_ext_bottle_psi = 600.0f;
  fire::apu_was_fire = 0.0f;
  host_mirror.sim_operation_failures_rel_APU_press = 0;
  electric::hot_batbus_status = 0.0f;
  fire_update();
  EXPECT_FLOAT_EQ(fire::apu_ext_bottle_psi, 600.0f);
  // Nor does the APU's discharge or its latched shut-down come before the power.
  EXPECT_EQ(fire::apu_fire_ext + fire::apu_was_fire, 0.0f);
  EXPECT_EQ(host_mirror.sim_operation_failures_rel_APU_press, 0);
  electric::hot_batbus_status = 1.0f;
  fire_update();
  EXPECT_FLOAT_EQ(fire::apu_ext_bottle_psi, 590.0f);
  EXPECT_EQ(fire::apu_fire_ext + fire::apu_was_fire, 2.0f);
  // A handle nearly at either end of its turn settles on the end itself.
  frame_time = 0.01f;
  for (float end : {-1.0f, 1.0f}) {
    fire_state.fire_handle_turn_target[0] = end;
    fire::engine01_ext_switch_pos_disch = 0.995f * end;
    fire_update();
    EXPECT_EQ(fire::engine01_ext_switch_pos_disch, end);
  }
}

}  // namespace
