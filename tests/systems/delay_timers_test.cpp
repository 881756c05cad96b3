// The delay timers: each timer's action when it runs out, the autobrake RTO
// self-test, the APU start sequence and low-oil check, and the APU fuel burn.
#include <gtest/gtest.h>

#include "core/binding.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "engines/engine_values.h"
#include "systems/fuel/fuel_values.h"
#include "systems/gear_brakes/autobrake_state.h"
#include "systems/delay_timers.h"
#include "systems/electrical/electric_values.h"
#include "systems/electrical/electrical.h"
#include "systems/flight_controls/flight_control_values.h"
#include "systems/fuel/fuel_pump_lights.h"
#include "systems/instruments/instrument_values.h"
#include "systems/switches/switch_values.h"
#include "systems/system_state.h"
#include "systems/ice_rain/window_heat_state.h"

namespace {

class DelayTimers : public ::testing::Test {
 protected:
  void SetUp() override {
    delay_timers = DelayTimerBank{};
    host_mirror = HostMirror{};
    on_ground = 1;
    electric::dc_bus1_status = 1.0f;
    rto_test_result = 0.0f;
    autobrake::autobrake_RTO_test = 1.0f;
    autobrake::autobrake_disarm = 0.0f;
    electrical::apu_low_oil = 0.0f;
    frame_time = 0.125f;  // exact in binary: the frame counts are exact
  }
  // Frames until the autobrake countdown has run out (at most 100).
  int frames_until_autobrake_done() {
    int n = 0;
    while (delay_timers.autobrake_rto_test_delay != 0.0f && n < 100) {
      update_annunciator_timers();
      ++n;
    }
    return n;
  }
};

TEST_F(DelayTimers, RtoSelfTestPassesOrLightsDisarm) {
  struct Case {
    const char* what;
    int32_t ground;
    float groundspeed_mps, throttle, dc_bus1;
    float result, disarm;
  };
  const Case cases[] = {
      {"all good", 1, 59.9f, 0.01f, 1.0f, 2.0f, 0.0f},
      {"in the air", 0, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f},
      {"too fast", 1, 60.1f, 0.0f, 1.0f, 1.0f, 1.0f},
      {"throttle open", 1, 0.0f, 0.011f, 1.0f, 1.0f, 1.0f},
      {"DC bus 1 dead", 1, 0.0f, 0.0f, 0.0f, 1.0f, 1.0f},
  };
  for (const Case& c : cases) {
    SetUp();
    on_ground = c.ground;
    host_mirror.sim_flightmodel_position_groundspeed = c.groundspeed_mps;
    host_mirror.sim_cockpit2_engine_actuators_throttle_ratio_all = c.throttle;
    electric::dc_bus1_status = c.dc_bus1;
    delay_timers.autobrake_rto_test_delay = 1.0f;
    EXPECT_EQ(frames_until_autobrake_done(), 8) << c.what;
    EXPECT_EQ(autobrake::autobrake_RTO_test, 2.0f) << c.what;
    EXPECT_EQ(rto_test_result, c.result) << c.what;
    EXPECT_EQ(autobrake::autobrake_disarm, c.disarm) << c.what;
  }
}

TEST_F(DelayTimers, RtoFailureInAnyFrameOfTheCountdownSticks) {
  delay_timers.autobrake_rto_test_delay = 1.0f;
  for (int i = 0; i < 5; ++i) update_annunciator_timers();
  host_mirror.sim_cockpit2_engine_actuators_throttle_ratio_all = 0.5f;  // throttles advanced mid-test
  update_annunciator_timers();
  host_mirror.sim_cockpit2_engine_actuators_throttle_ratio_all = 0.0f;
  frames_until_autobrake_done();
  EXPECT_EQ(rto_test_result, 1.0f);
  EXPECT_EQ(autobrake::autobrake_disarm, 1.0f);
}

TEST_F(DelayTimers, IdleTimersDoNothing) {
  rto_test_result = 0.0f;
  on_ground = 0;
  for (int i = 0; i < 3; ++i) update_annunciator_timers();
  EXPECT_EQ(autobrake::autobrake_RTO_test, 1.0f);
  EXPECT_EQ(rto_test_result, 0.0f);
  EXPECT_EQ(electrical::apu_low_oil, 0.0f);
}

TEST_F(DelayTimers, ApuLowOilAfterOneAndAHalfSecondsBelowFortyPercent) {
  for (float n1 : {39.9f, 40.0f}) {
    SetUp();
    host_mirror.sim_cockpit2_electrical_APU_N1_percent = n1;
    delay_timers.apu_low_oil_delay = 1.5f;
    for (int i = 0; i < 11; ++i) update_annunciator_timers();
    EXPECT_EQ(electrical::apu_low_oil, 0.0f) << n1;  // 0.125 s left
    frame_time = 0.25f;  // a long frame fires it at once, clamped at 0
    update_annunciator_timers();
    EXPECT_EQ(delay_timers.apu_low_oil_delay, 0.0f);
    EXPECT_EQ(electrical::apu_low_oil, n1 < 40.0f ? 1.0f : 0.0f) << n1;
  }
}

TEST_F(DelayTimers, EachTimerActsOnceWhenItRunsOut) {
  struct Case {
    const char* what;
    float* timer;
    float* target;
    float before, after;
  };
  const Case cases[] = {
      {"duct overheat test", &delay_timers.ann_delay_1, &delay_flags.ann_delayed_1, 0.0f, 1.0f},
      {"feel differential", &delay_timers.ann_delay_2, &delay_flags.ann_delayed_2, 0.0f, 1.0f},
      {"do-not-arm flash", &delay_timers.ann_delay_3, &delay_flags.ann_delayed_3, 1.0f, 0.0f},
      {"engine 2 anti-ice", &delay_timers.ann_delay_5, &delay_flags.ann_delayed_5, 0.0f, 1.0f},
      {"discharge high", &delay_timers.bat_discharge_high_delay, &bat_discharge_monitor.high, 0.0f, 1.0f},
      {"captain displays", &delay_timers.capt_display_delay, &elec_bus_state.capt_displays_ready, 0.0f, 1.0f},
      {"four minutes bus 2", &delay_timers.ac_tns_bus2_pow4_delay, &electric::ac_tns_bus2_pow4, 0.0f, 1.0f},
      {"fuel flow shown", &delay_timers.fuel_flow_show_delay, &cockpit::fuel_flow_used_show, 1.0f, 0.0f},
      {"speedbrake lever animation", &delay_timers.speedbrake_anim_delay, &flt_ctrls::speedbrake_lever_anim, 1.0f, 0.0f},
      {"SELCAL COM 2", &delay_timers.selcal_delay_com2, &selcal_state.call_latch[1], 0.0f, 1.0f},
      {"window test step", &delay_timers.window_ovht_test_delay_r_fwd, &window_overheat_state[window_r_fwd], 1.0f, 2.0f},
      {"window l side", &delay_timers.window_ovht_test_delay_l_side, &window_overheat_state[window_l_side], 0.0f, 1.0f},
      {"window l fwd", &delay_timers.window_ovht_test_delay_l_fwd, &window_overheat_state[window_l_fwd], 0.0f, 1.0f},
      {"window r side", &delay_timers.window_ovht_test_delay_r_side, &window_overheat_state[window_r_side], 0.0f, 1.0f},
      {"annunciator 4", &delay_timers.ann_delay_4, &delay_flags.ann_delayed_4, 0.0f, 1.0f},
      {"discharge low", &delay_timers.bat_discharge_low_delay, &bat_discharge_monitor.low, 0.0f, 1.0f},
      {"discharge mid", &delay_timers.bat_discharge_mid_delay, &bat_discharge_monitor.mid, 0.0f, 1.0f},
      {"autobrake 1", &delay_timers.autobrake_delay_1, &delay_flags.autobrake_flag_1, 0.0f, 1.0f},
      {"autobrake 2", &delay_timers.autobrake_delay_2, &delay_flags.autobrake_flag_2, 0.0f, 1.0f},
      {"first officer displays", &delay_timers.fo_display_delay, &elec_bus_state.fo_displays_ready, 0.0f, 1.0f},
      {"four minutes bus 1", &delay_timers.ac_tns_bus1_pow4_delay, &electric::ac_tns_bus1_pow4, 0.0f, 1.0f},
      {"inertial source lost", &delay_timers.fo_irs_backup_delay, &delay_flags.fo_irs_lost_flag, 0.0f, 1.0f},
      {"SELCAL HF", &delay_timers.selcal_delay_hf, &selcal_sound_pending, 0.0f, 1.0f},
      {"SELCAL COM 1", &delay_timers.selcal_delay_com1, &selcal_state.call_latch[0], 0.0f, 1.0f},
      {"SELCAL COM 3", &delay_timers.selcal_delay_com3, &selcal_state.call_latch[2], 0.0f, 1.0f},
  };
  for (const Case& c : cases) {
    SetUp();
    *c.target = c.before;
    *c.timer = 0.25f;
    update_annunciator_timers();
    EXPECT_EQ(*c.target, c.before) << c.what;
    update_annunciator_timers();
    EXPECT_EQ(*c.timer, 0.0f) << c.what;
    EXPECT_EQ(*c.target, c.after) << c.what;
    *c.target = c.before;
    update_annunciator_timers();
    EXPECT_EQ(*c.target, c.before) << c.what << ": an idle timer does nothing";
  }
}

TEST_F(DelayTimers, GroundPowerConnectionTimers) {
  gpu_link_state = 2;
  delay_timers.gpu_connect_delay = 0.125f;
  update_annunciator_timers();
  EXPECT_EQ(gpu_link_state, 3);
  gpu_link_state = 1;
  delay_timers.gpu_disconnect_delay = 0.125f;
  update_annunciator_timers();
  EXPECT_EQ(gpu_link_state, 0);
}

TEST_F(DelayTimers, ApuStartEngagesTheStarterForOneSecond) {
  delay_flags.apu_start_request = 1.0f;
  delay_timers.apu_start_delay = 0.125f;
  update_annunciator_timers();
  EXPECT_EQ(delay_flags.apu_start_stage, 2.0f);
  // The starter hold was armed with 1 s and ran down in the same call.
  EXPECT_EQ(delay_timers.apu_starter_hold, 0.875f);
  for (int i = 0; i < 7; ++i) update_annunciator_timers();
  EXPECT_EQ(delay_timers.apu_starter_hold, 0.0f);
  // Without the request the start stage falls back.
  delay_flags.apu_start_request = 0.0f;
  delay_timers.apu_start_delay = 0.125f;
  update_annunciator_timers();
  EXPECT_EQ(delay_flags.apu_start_stage, 0.0f);
}

TEST_F(DelayTimers, ApuBurnsFromTheLeftTankOnceASecondWithNoPumps) {
  host_mirror.sim_cockpit_engine_APU_running = 1;
  for (float& m : host_mirror.sim_flightmodel_weight_m_fuel) m = 1000.0f;
  apu_fuel_rate = 0.1f;
  apu_burn_elapsed = 0.0f;
  frame_time = 0.25f;
  for (int i = 0; i < 4; ++i) update_annunciator_timers();
  EXPECT_EQ(host_mirror.sim_flightmodel_weight_m_fuel[0], 1000.0f) << "1 s is not yet past";
  update_annunciator_timers();
  EXPECT_FLOAT_EQ(host_mirror.sim_flightmodel_weight_m_fuel[0], 1000.0f - 0.125f);
  EXPECT_EQ(host_mirror.sim_flightmodel_weight_m_fuel[1], 1000.0f);
  EXPECT_EQ(apu_burn_elapsed, 0.0f);
}

TEST_F(DelayTimers, ApuBurnComesFromTheTanksItsFeedingPumpsReach) {
  // Statuses 0/1 per pump L1 L2 C1 C2 R1 R2 (switch ON and powered); lit:
  // the pump's LOW PRESSURE condition. A burn of 1 kg: 0.8 kg/s over 1.25 s.
  struct Case {
    const char* what;
    float status[6];
    int lit[6];
    float cross_feed, left_kg, centre_kg, right_kg;
    float want_left, want_centre, want_right;
  };
  const Case cases[] = {
      {"open, both wings", {1, 1, 0, 0, 1, 1}, {}, 1, 1000, 500, 1000, 999.5f, 500, 999.5f},
      {"open, left alone", {1, 0, 0, 0, 0, 0}, {}, 1, 1000, 500, 1000, 999, 500, 1000},
      {"open, right alone", {0, 0, 0, 0, 1, 0}, {}, 1, 1000, 500, 1000, 1000, 500, 999},
      {"open, C2 alone", {0, 0, 0, 1, 0, 0}, {}, 1, 1000, 500, 1000, 1000, 499, 1000},
      {"closed, C1", {1, 1, 1, 0, 0, 0}, {}, 0, 1000, 500, 1000, 1000, 499, 1000},
      {"closed, C2 and no left pump: suction", {0, 0, 0, 1, 1, 1}, {}, 0, 1000, 500, 1000, 999, 500, 1000},
      {"closed, left pumps lit: suction", {1, 1, 0, 0, 0, 0}, {1, 1, 0, 0, 0, 0}, 0, 1000, 500, 1000, 999, 500, 1000},
      {"centre at its floor: the rest from tank 1", {0, 0, 1, 0, 0, 0}, {}, 0, 1000, 124.0f, 1000, 999.25f, 123.75f,
       1000},
      {"centre below its floor", {0, 0, 1, 1, 0, 0}, {}, 1, 1000, 50, 1000, 999, 50, 1000},
  };
  float* status[6] = {&engine::tank_l1_status, &engine::tank_l2_status, &engine::tank_c1_status,
                      &engine::tank_c2_status, &engine::tank_r1_status, &engine::tank_r2_status};
  for (const Case& c : cases) {
    SetUp();
    for (int i = 0; i < 6; ++i) {
      *status[i] = c.status[i];
      fuel_pump_lights.condition[i] = c.lit[i];
    }
    knobs::cross_feed = fuel::cross_feed_valve = c.cross_feed;
    host_mirror.sim_cockpit_engine_APU_running = 1;
    host_mirror.sim_flightmodel_weight_m_fuel[0] = c.left_kg;
    host_mirror.sim_flightmodel_weight_m_fuel[1] = c.centre_kg;
    host_mirror.sim_flightmodel_weight_m_fuel[2] = c.right_kg;
    apu_fuel_rate = 0.8f;
    apu_burn_elapsed = 1.0f;
    frame_time = 0.25f;
    update_annunciator_timers();
    const float* m = host_mirror.sim_flightmodel_weight_m_fuel;
    EXPECT_FLOAT_EQ(m[0], c.want_left) << c.what;
    EXPECT_FLOAT_EQ(m[1], c.want_centre) << c.what;
    EXPECT_FLOAT_EQ(m[2], c.want_right) << c.what;
  }
  for (float* st : status) *st = 0.0f;
  for (int32_t& lit : fuel_pump_lights.condition) lit = 0;
  knobs::cross_feed = fuel::cross_feed_valve = 0.0f;
}

}  // namespace
