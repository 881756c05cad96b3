// The systems' bank of countdown timers, in seconds (0 = idle). Any code arms
// a timer by writing a duration (usually only when it is 0, so that a running
// delay is not restarted) and disarms it by writing 0. update_annunciator_timers
// runs every timer down by frame_time once per frame and performs the timer's
// action in the frame in which it reaches 0; it also meters the APU's fuel
// burn once a second. Armed from the systems, engines, alerting, the command
// handlers and the cockpit state exchange.
#pragma once

#include <cstdint>

struct DelayTimerBank {
  float ann_delay_1;  // duct overheat test: wing-body overheat after 3 s
  float window_ovht_test_delay_l_side;  // window overheat test steps, 70 s each
  float window_ovht_test_delay_l_fwd;
  float window_ovht_test_delay_r_side;
  float window_ovht_test_delay_r_fwd;
  float ann_delay_2;  // feel differential pressure, 30 s
  float ann_delay_3;  // speedbrake do-not-arm flash, 0.3 s
  float ann_delay_4;  // engine 1 thermal anti-ice disagreement, 8 s
  float ann_delay_5;  // engine 2 thermal anti-ice disagreement, 8 s
  float bat_discharge_low_delay;   // 95 s
  float bat_discharge_mid_delay;   // 3.5 s
  float bat_discharge_high_delay;  // 2 s
  float apu_delay_1;       // saved with the cockpit state; nothing arms it (one cool-down timer)
  float apu_delay_2;       // 60 s APU cool-down, saved with the cockpit state
  float apu_start_delay;   // saved with the cockpit state
  float apu_starter_hold;  // 1 s of held APU start command
  float apu_low_oil_delay; // 1.5 s after the APU start switch
  float apu_run_delay;     // 8.5 s, saved with the cockpit state
  float autobrake_rto_test_delay;  // 1 s RTO self-test
  float autobrake_delay_1;  // 3 s
  float autobrake_delay_2;  // 6 s
  float yaw_damper_engage_delay;  // 1.2 s
  float capt_display_delay;  // 95 s cold, 6 s with DC bus 1
  float fo_display_delay;    // 6 s
  float ac_tns_bus1_pow4_delay;  // 240 s of uninterrupted power
  float ac_tns_bus2_pow4_delay;
  float fo_irs_backup_delay;  // 300 s: the right IRS on its DC backup
  float trim_wheel_delay_1;  // 0.55 s
  float trim_wheel_delay_2;  // 0.37 s
  float fo_trim_delay_fast;  // 0.37 s
  float fo_trim_delay_slow;  // 0.55 s
  float capt_trim_delay;     // 0.55 s
  float tcas_test_delay;     // 8 s
  float fuel_flow_show_delay;   // 10 s or 1 s
  float fuel_flow_reset_delay;  // 1 s
  float gpws_delay;      // 5 s
  float eng_ind_delay;   // 2 or 5 s
  float gpu_connect_delay;     // 15 s
  float gpu_disconnect_delay;  // 15 s
  float selcal_delay_hf;    // SELCAL chime, 0.5 s
  float selcal_delay_com1;  // SELCAL call lights, 0.5 s each
  float selcal_delay_com2;
  float selcal_delay_com3;
  float air_start_delay_1;  // 4 or 5 s
  float air_start_delay_2;
  float eng_page_delay_1;  // 10 s each
  float eng_page_delay_2;
  float eng_page_delay_3;
  float speedbrake_anim_delay;  // 0.7 s
};
extern DelayTimerBank delay_timers;

// Flags the timers set or clear. The annunciator equations, the systems step,
// the engine indications and the alerting own their meaning; the bank only
// writes them when a timer runs out.
struct DelayTimerFlags {
  float ann_delayed_1;  // wing-body overheat during the duct overheat test
  float ann_delayed_2;  // feel differential pressure
  float ann_delayed_3;  // speedbrake do-not-arm flash (cleared at expiry)
  float ann_delayed_4;  // engine 1 thermal anti-ice disagreement lasted 8 s
  float ann_delayed_5;  // engine 2
  float apu_flag_1;     // cleared by apu_delay_1
  float apu_flag_2;     // cleared by apu_delay_2
  float apu_start_request;  // 1 while the APU start is wanted
  float apu_start_stage;    // 0 idle, 1 START pressed, 2 starter engaged, 3 running up
  float apu_start_companion;
  float autobrake_flag_1;
  float autobrake_flag_2;
  float fo_irs_lost_flag;
  float trim_wheel_flag_1;
  float trim_wheel_flag_2;
  float fo_trim_flag_fast;
  float fo_trim_flag_slow;
  float capt_trim_flag;
  float tcas_test_flag;
  float xpndr_test_flag;  // transponder test: raised with the TCAS test, lowered only by its countdown
  float fuel_flow_reset_flag;
  float gpws_flag;
  float eng_ind_flag;
  float air_start_flag_1;
  float air_start_flag_2;
  float eng_page_flag_1;
  float eng_page_flag_2;
  float eng_page_flag_3;
};
extern DelayTimerFlags delay_flags;

// Once-a-second APU fuel burn: seconds since the last burn step, and the APU
// fuel mass flow (kg/s) that the APU logic of the systems step writes.
extern float apu_burn_elapsed;
extern float apu_fuel_rate;

// Runs every countdown down by the frame step; first part of the annunciator step.
void update_annunciator_timers();
