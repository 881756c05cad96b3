// Fire protection (see fire.h).
#include "systems/fire/fire.h"

#include <cmath>

#include "core/failure_entries.h"
#include "core/failure_tables.h"
#include "core/binding.h"
#include "core/host_io.h"
#include "core/frame_values.h"
#include "core/restored_travel.h"
#include "core/saved_travels.h"
#include "core/util.h"
#include "systems/electrical/bus_feeds.h"
#include "systems/fire/fire_values.h"

FireState fire_state;

namespace {

constexpr float kHandleRate = 10.0f;
constexpr float kTurned = 0.95f;
// A bottle discharges at 100 psi/s; 400 psi of agent puts an engine fire out.
constexpr float kDischargePsiPerS = 100.0f;
constexpr float kAgentToExtinguish = 400.0f;
constexpr float kSmokeAfterS = 90.0f;

HostMirror& hm = host_mirror;

float* const pulls[fire_handle_count] = {&fire::engine01_ext_switch_pos_arm, &fire::engine02_ext_switch_pos_arm,
                                         &fire::apu_ext_switch_pos_arm};
float* const turns[fire_handle_count] = {&fire::engine01_ext_switch_pos_disch, &fire::engine02_ext_switch_pos_disch,
                                         &fire::apu_ext_switch_pos_disch};

enum BottleSlot { bottle_left, bottle_right, bottle_apu };

// A handle turned to a bottle's stop fires that bottle's squib, however
// briefly it is held there; a bottle already fired or empty fires no more.
void fire_bottle(float& fired, float bottle, float into) {
  if (fired == 0.0f && bottle > 0.0f) fired = into;
}

void discharge(float& bottle, float& fired, float* agent) {
  bottle -= kDischargePsiPerS * frame_time;
  if (bottle < 0.0f) bottle = 0.0f;
  if (bottle > 0.0f) {
    if (agent != nullptr) *agent += kDischargePsiPerS * frame_time;
  } else {
    fired = 0.0f;
  }
}

// One engine's fire; returns true when its timer reached the smoke limit.
bool engine_fire(int engine, int32_t host_fire, bound::Id fire_id) {
  FireState& s = fire_state;
  float& timer = s.engine_fire_timer[engine];
  float& out = s.engine_fire_extinguished[engine];
  float* agent = &s.agent_delivered[engine * 2];
  if (host_fire == kHostFailed) {
    if (timer < kSmokeAfterS) timer += frame_time;
    if (agent[0] > kAgentToExtinguish || agent[1] > kAgentToExtinguish) out = 1.0f;
  } else {
    // The smoke count is one fire's: a fire put out takes its burning with it.
    timer = 0.0f;
    agent[0] = 0.0f;
    agent[1] = 0.0f;
    out = 0.0f;
  }
  bool smoke = false;
  if (timer >= kSmokeAfterS) {
    timer = 0.0f;
    smoke = true;
  }
  if (out != 0.0f) {
    if (host_fire != 0) host_set_i(fire_id, 0);
    out = 0.0f;
    if (failure_value(fail_entry::eng_fire[engine]) == 1.0f) {
      failure_value(fail_entry::eng_fire[engine]) = 0.0f;
      script_set_vf(bound::zuvadud_D738_failure_engine, failure_tables.engine, kFailureEntriesExchanged);
    }
  }
  return smoke;
}

// The fire slots as they stand, to put back whole.
struct FireImage {
  FireState state;
  float pull[fire_handle_count];
  float turn[fire_handle_count];
  float psi[3];
  float apu_fire, apu_fire_ext, apu_was_fire;
};

float* const bottle_psi[3] = {&fire::engine01_02L_ext_bottle_psi, &fire::engine01_02R_ext_bottle_psi,
                              &fire::apu_ext_bottle_psi};

FireImage take_fire_image() {
  FireImage f{};
  f.state = fire_state;
  for (int h = 0; h < fire_handle_count; ++h) {
    f.pull[h] = *pulls[h];
    f.turn[h] = *turns[h];
  }
  for (int b = 0; b < 3; ++b) f.psi[b] = *bottle_psi[b];
  f.apu_fire = fire::apu_fire;
  f.apu_fire_ext = fire::apu_fire_ext;
  f.apu_was_fire = fire::apu_was_fire;
  return f;
}

void put_fire_image(const FireImage& f) {
  fire_state = f.state;
  for (int h = 0; h < fire_handle_count; ++h) {
    *pulls[h] = f.pull[h];
    *turns[h] = f.turn[h];
  }
  for (int b = 0; b < 3; ++b) *bottle_psi[b] = f.psi[b];
  fire::apu_fire = f.apu_fire;
  fire::apu_fire_ext = f.apu_fire_ext;
  fire::apu_was_fire = f.apu_was_fire;
}

constexpr float kFullBottlePsi = 600.0f;

// A bottle between full and empty is discharging, whatever its handle does.
bool discharging(int b) { return *bottle_psi[b] > 0.0f && *bottle_psi[b] < kFullBottlePsi; }

// Whether the restored fire slots are a state the handles and bottles reach:
// a handle turns only pulled out (and its turn runs back before it goes in);
// a bottle's fired mark stands only with the handle that fired it turned
// toward it, or while the bottle discharges; the APU's fire latch only with
// its bottle used.
// A handle saved a hair off a stop (the last of a lag, a file written by an
// older version) stands at that stop.
constexpr float kAtStop = 0.001f;

bool fire_slots_agree() {
  const FireState& s = fire_state;
  for (int h = 0; h < fire_handle_count; ++h) {
    const bool pulled = s.fire_handle_arm_target[h] == 1.0f;
    if (s.fire_handle_turn_target[h] != 0.0f && !pulled) return false;
    if (!(std::fabs(*turns[h]) <= kAtStop) && !pulled && !(*pulls[h] > kAtStop)) return false;
  }
  // Left and right bottles: the mark names the engine whose handle fired it.
  const float toward[2] = {-1.0f, 1.0f};
  for (int b = 0; b < 2; ++b) {
    const float mark = s.bottle_fired[b];
    if (mark == 0.0f || discharging(b)) continue;
    const int h = mark == 1.0f ? 0 : 1;
    if (s.fire_handle_turn_target[h] != toward[b]) return false;
  }
  if (s.bottle_fired[bottle_apu] != 0.0f && !discharging(bottle_apu) &&
      s.fire_handle_turn_target[fire_handle_apu] == 0.0f)
    return false;
  if (fire::apu_was_fire != 0.0f && !(fire::apu_ext_bottle_psi < kFullBottlePsi)) return false;
  return true;
}

}  // namespace

void fire_handle_pull(int32_t h) {
  if (h < 0 || h >= fire_handle_count) return;
  FireState& s = fire_state;
  if (s.fire_handle_lock[h] != 0.0f || s.fire_handle_turn_target[h] != 0.0f) return;
  s.fire_handle_arm_target[h] = s.fire_handle_arm_target[h] == 0.0f ? 1.0f : 0.0f;
}

bool fire_switch_holds_fuel_shut(int32_t engine) {
  if (engine < 0 || engine > 1) return false;
  return *pulls[engine] == 1.0f;
}

void fire_handle_turn(int32_t h, int32_t direction) {
  if (h < 0 || h >= fire_handle_count || direction == 0) return;
  if (*pulls[h] != 1.0f) return;
  float& t = fire_state.fire_handle_turn_target[h];
  t = clamp_range(t + (direction < 0 ? -1.0f : 1.0f), -1.0f, 1.0f);
}

void fire_update() {
  FireState& s = fire_state;
  for (float& lock : s.fire_handle_lock) lock = 0.0f;
  for (int h = 0; h < fire_handle_count; ++h) {
    *pulls[h] = lag_toward(*pulls[h], s.fire_handle_arm_target[h], 0.0f, 1.0f, kHandleRate);
    *turns[h] = lag_toward(*turns[h], s.fire_handle_turn_target[h], -1.0f, 1.0f, kHandleRate);
  }
  // The host's own extinguishers would bypass the bottles: keep them off.
  int32_t* ext = hm.sim_cockpit2_engine_actuators_fire_extinguisher_on;
  if (ext[0] != 0 || ext[1] != 0) {
    ext[0] = 0;
    ext[1] = 0;
    host_send_vi(bound::sim_cockpit2_engine_actuators_fire_extinguisher_on, ext, 2);
  }

  // The squibs fire on the hot battery bus: a handle turned without it fires
  // nothing, and the bottle stays full for the turn that has the power. The
  // APU's discharge and the shut-down it latches go with its squib's circuit.
  const bool squibs = fed(Consumer::fire_squibs);
  const float apu_turn = fire::apu_ext_switch_pos_disch;
  if (squibs && (apu_turn < -kTurned || apu_turn > kTurned)) {
    fire::apu_fire_ext = 1.0f;
    fire::apu_was_fire = 1.0f;
    host_set_i(bound::sim_operation_failures_rel_APU_press, kHostFailed);
  } else {
    fire::apu_fire_ext = 0.0f;
  }

  float& left = fire::engine01_02L_ext_bottle_psi;
  float& right = fire::engine01_02R_ext_bottle_psi;
  const float t1 = fire::engine01_ext_switch_pos_disch;
  const float t2 = fire::engine02_ext_switch_pos_disch;
  float* const fired = s.bottle_fired;
  if (squibs && t1 < -kTurned) fire_bottle(fired[bottle_left], left, 1.0f);
  if (squibs && t1 > kTurned) fire_bottle(fired[bottle_right], right, 1.0f);
  if (squibs && t2 < -kTurned) fire_bottle(fired[bottle_left], left, 2.0f);
  if (squibs && t2 > kTurned) fire_bottle(fired[bottle_right], right, 2.0f);
  // Agent counters: engine 1 from the left bottle, from the right, then
  // engine 2 the same.
  if (fired[bottle_left] == 1.0f) discharge(left, fired[bottle_left], &s.agent_delivered[0]);
  if (fired[bottle_left] == 2.0f) discharge(left, fired[bottle_left], &s.agent_delivered[2]);
  if (fired[bottle_right] == 1.0f) discharge(right, fired[bottle_right], &s.agent_delivered[1]);
  if (fired[bottle_right] == 2.0f) discharge(right, fired[bottle_right], &s.agent_delivered[3]);

  float& apu_bottle = fire::apu_ext_bottle_psi;
  if (fire::apu_fire_ext == 1.0f) fire_bottle(fired[bottle_apu], apu_bottle, 1.0f);
  if (fired[bottle_apu] == 1.0f) discharge(apu_bottle, fired[bottle_apu], nullptr);

  const bool smoke1 = engine_fire(0, hm.sim_operation_failures_rel_engfir0, bound::sim_operation_failures_rel_engfir0);
  const bool smoke2 = engine_fire(1, hm.sim_operation_failures_rel_engfir1, bound::sim_operation_failures_rel_engfir1);
  if ((smoke1 || smoke2) && hm.sim_operation_failures_rel_smoke_cpit != kHostFailed) {
    host_set_i(bound::sim_operation_failures_rel_smoke_cpit, kHostFailed);
  }
}

void build_fire_images(float state[kFireArraySize], float switches_[kFireArraySize]) {
  const FireState& s = fire_state;
  for (int i = 0; i < kFireArraySize; ++i) {
    state[i] = 0.0f;
    switches_[i] = 0.0f;
  }
  state[0] = s.engine_fire_timer[0];
  state[1] = s.engine_fire_timer[1];
  state[2] = s.engine_fire_extinguished[0];
  state[3] = s.engine_fire_extinguished[1];
  for (int i = 0; i < 4; ++i) state[4 + i] = s.agent_delivered[i];
  state[8] = s.fire_handle_lock[0];
  state[9] = s.fire_handle_lock[1];
  state[11] = s.fire_handle_arm_target[0];
  state[12] = s.fire_handle_arm_target[1];
  state[14] = s.fire_handle_turn_target[0];
  state[15] = s.fire_handle_turn_target[1];
  for (int i = 0; i < 3; ++i) state[16 + i] = s.bottle_fired[i];
  for (int h = 0; h < fire_handle_count; ++h) {
    switches_[h] = *pulls[h];
    switches_[3 + h] = *turns[h];
  }
  // The arrays hold no targets for the APU handle: it is saved where it is
  // going, a position, so the restore never finds it between two.
  switches_[fire_handle_apu] = s.fire_handle_arm_target[fire_handle_apu];
  switches_[3 + fire_handle_apu] = s.fire_handle_turn_target[fire_handle_apu];
  switches_[6] = fire::engine01_02L_ext_bottle_psi;
  switches_[7] = fire::engine01_02R_ext_bottle_psi;
  switches_[8] = fire::apu_ext_bottle_psi;
  switches_[9] = fire::apu_fire;
  switches_[10] = fire::apu_fire_ext;
  switches_[11] = fire::apu_was_fire;
}

void save_fire_state() {
  float state[kFireArraySize];
  float switches_[kFireArraySize];
  build_fire_images(state, switches_);
  script_set_vf(bound::zuvadud_D738_fire, state, kFireArraySize);
  script_set_vf(bound::zuvadud_D738_fire_sw, switches_, kFireArraySize);
}

void restore_fire_state() {
  FireState& s = fire_state;
  // The slots come back as one whole: a save whose handles and bottles
  // contradict each other (a turn without its pull, a bottle fired by no
  // handle) would pull, turn or fire on its own, so the fire protection
  // stays as it is.
  const FireImage before = take_fire_image();
  // Where each saved value can stand. The handles' targets and the bottles'
  // marks pull, turn and fire as they stand, so only their own positions
  // come back; a timer at the smoke limit would light SMOKE on the next
  // frame, and no sound save holds one there.
  const RestoredSlot state_slots[] = {
      {0, &s.engine_fire_timer[0]}, {1, &s.engine_fire_timer[1]},
      {2, &s.engine_fire_extinguished[0]}, {3, &s.engine_fire_extinguished[1]},
      {4, &s.agent_delivered[0]}, {5, &s.agent_delivered[1]},
      {6, &s.agent_delivered[2]}, {7, &s.agent_delivered[3]},
      {8, &s.fire_handle_lock[0]}, {9, &s.fire_handle_lock[1]},
      {11, &s.fire_handle_arm_target[0]}, {12, &s.fire_handle_arm_target[1]},
      {14, &s.fire_handle_turn_target[0]}, {15, &s.fire_handle_turn_target[1]},
      {16, &s.bottle_fired[0]}, {17, &s.bottle_fired[1]},
      {18, &s.bottle_fired[2]},
  };
  restore_slots(bound::zuvadud_D738_fire, kFireArraySize, state_slots, saved_travel::kFire);

  // The engine handles on their way between their stops (their targets
  // above say where they go), the APU handle at a stop (it has no target of
  // its own: where it stands is where it goes, so a value between its stops
  // would pull or turn it), the bottles' pressures and the APU's fire flags.
  const RestoredSlot switch_slots[] = {
      {0, pulls[0]},
      {1, pulls[1]},
      {2, pulls[2]},
      {3, turns[0]},
      {4, turns[1]},
      {5, turns[2]},
      {6, &fire::engine01_02L_ext_bottle_psi},
      {7, &fire::engine01_02R_ext_bottle_psi},
      {8, &fire::apu_ext_bottle_psi},
      {9, &fire::apu_fire},
      {10, &fire::apu_fire_ext},
      {11, &fire::apu_was_fire},
  };
  const int m = restore_slots(bound::zuvadud_D738_fire_sw, kFireArraySize, switch_slots, saved_travel::kFireSw);
  // The arrays hold no targets for the APU handle: it is put back where it
  // was saved and stays there, as the engine handles do.
  if (m > fire_handle_apu) s.fire_handle_arm_target[fire_handle_apu] = *pulls[fire_handle_apu] >= 0.5f ? 1.0f : 0.0f;
  if (m > 3 + fire_handle_apu) {
    const float turn = *turns[fire_handle_apu];
    s.fire_handle_turn_target[fire_handle_apu] = turn < -0.5f ? -1.0f : (turn > 0.5f ? 1.0f : 0.0f);
  }
  if (!fire_slots_agree()) {
    put_fire_image(before);
    count_restore_contradiction();
    return;
  }
  for (int h = 0; h < fire_handle_count; ++h) {
    if (std::fabs(*turns[h]) <= kAtStop) *turns[h] = 0.0f;
    if (std::fabs(*pulls[h]) <= kAtStop) *pulls[h] = 0.0f;
  }
}
