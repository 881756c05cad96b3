// Cabin pressure controller and cabin pressure model: controller channel,
// automatic schedule (ground, take-off, climb, cruise, descent), outflow
// valve, cabin altitude from pack inflow, leaks and outflow, safety relief,
// structural overpressure and the ram air doors. Pressures in psi, altitudes
// in feet, rates in ft/min.
#pragma once

#include <cstdint>

struct PressController {
  int32_t press_channel;   // 0 none, 1 auto 1, 2 auto 2 (alternate), 3 manual
  // The controller the selector and DC power pick, before a fault of
  // controller 1 in AUTO hands control to controller 2 (same codes).
  int32_t selected_channel;
  uint8_t channel_faulted;  // 1 while the controller in charge is faulted: the valve is held
  float mode;              // 0 ground, 1 take-off, 2 climb, 3 cruise, 4 descent ("pressurization_mode2")
  float ram_door_target;   // 0/1
  float pack_flow_l;       // 0..1.82
  float pack_flow_r;
  float valve_cmd;         // commanded outflow valve 0 closed .. 1 open
  float sched_cabin_alt;
  float cruise_cabin_alt;
  float takeoff_field_alt;
  float max_alt_reached;
  float mode_alt_ref;
  float landing_alt_ref;
  float sched_max_diff;    // psi
  float press_mode_timer_up;    // s
  float press_mode_timer_down;  // s
  float prev_flt_alt;
  float prev_landing_alt;
  float prev_cabin_diff;
  uint8_t press_ctrl_armed;  // 1 at plug-in load; a restored non-zero mode arms it again
  float off_sched_descent;  // 0/1
  // 1 once the take-off field was memorised on the ground: a flight taken
  // over in the air has no field to return to.
  uint8_t takeoff_field_known;
  // ft: where a flight taken over in the air began to work toward FLT ALT
  // (at the take-over, or where FLT ALT was last raised). Only a climb from
  // here makes a descent short of FLT ALT an abandoned climb; without one it
  // is the descent the flight was started in.
  float climb_from_alt;
  float overpressure_time;  // 0..240
  // Faults each controller (1, 2) found in its own work, bits of
  // kValveNotFollowing and kCabinRateExcessive. Either hands control from 1
  // to 2 in AUTO; a valve that does not follow also holds it as a failure of
  // the controller does. A freed valve clears the first, the controller back
  // in its ground mode on the ground the second.
  uint8_t found_fault[2];
  uint8_t found_fault_lit;   // 1 while the controller in charge has found one (AUTO FAIL)
  int32_t watched_channel;   // the controller the times below belong to
  float valve_stuck_time;    // s the valve has stood away from the command
  float rate_excess_time;    // s the cabin rate has been beyond the limit
  // 1 while the controller in charge took over with the cabin rate already
  // beyond the limit, until the rate comes back within it.
  uint8_t rate_excess_inherited;
};
extern PressController press_ctrl;

// The controller values the cockpit state arrays carry across a saved flight,
// in slot order: the schedule references, then the two mode timers. The
// channel and the armed flag travel beside them.
constexpr int kPressSavedValues = 9;
float* press_ctrl_saved_value(int i);  // nullptr outside 0..8

// A new flight: the carried values, the channel and the armed flag to 0,
// and no fault found by the controllers.
void press_ctrl_clear_saved_state();
// A restored flight: the controllers have found nothing in it yet.
void press_ctrl_forget_found_faults();

// What the controller in charge finds wrong in its own work (bits of
// `found_fault`), each held this long before it counts as a fault.
constexpr uint8_t kValveNotFollowing = 1;
constexpr uint8_t kCabinRateExcessive = 2;
constexpr float kFoundFaultConfirm_s = 5.0f;
// The cabin rate a controller never lets the cabin reach (ft/min).
constexpr float kCabinRateLimitFpm = 2000.0f;

// Standard-atmosphere pressure (psi) at a pressure altitude (ft).
float pressure_at_ft(float altitude_ft);
// Maximum cabin differential of the schedule: 7.45 psi up to 28000 ft,
// 7.8 up to 37000 ft, 8.35 above.
float max_cabin_diff_psi(float altitude_ft);
// The differential beyond which the controller reports itself failed (AUTO
// FAIL); a cruise cabin is never scheduled past it.
constexpr float kAutoFailDiffPsi = 8.75f;
// The cabin altitude the controller holds at a pressure altitude for a FLT
// ALT, on a flight taken over in the air (no field to climb from): the climb
// schedule's, and with FLT ALT below the aircraft the cruise cabin of the
// aircraft's own altitude, as the controller takes it over there.
float scheduled_cabin_alt_aloft(float flt_alt, float ambient_alt);

// The controller in charge for the mode selector as it stands (0 none,
// 1 AUTO, 2 ALTN, 3 MAN), as the next systems step will find it; the
// selector's commands publish it at once so the lights never see the
// selector and the controller disagree for a frame.
float pressurisation_mode_for_selector();

// Per frame, systems step.
void update_pressurization();
