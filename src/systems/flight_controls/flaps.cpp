// Speed brake and flaps: the speed brake lever's axis input, flight detent
// and automatic movements (landing deploy and retract, rejected take-off),
// the servo sound cues, the spoiler shut-off failures, the flap lever
// detents from the axis, the flap request to the host with load relief, and
// flap and slat timing on the normal and alternate systems.
// Host values written: speed brake ratio (through speedbrake_lever.h),
// "rel_wing2L"/"rel_wing2R", the flap request, slat ratios (every frame
// while held or driven on the standby system), flap times and the auto-slat
// flag (each on change unless said).
#include <cmath>

#include "alerting/aural_cues.h"
#include "core/binding.h"
#include "core/frame_values.h"
#include "core/own_aircraft.h"
#include "core/preprocess_values.h"
#include "core/util.h"
#include "engines/engine_values.h"
#include "systems/aircraft_systems.h"
#include "systems/electrical/bus_feeds.h"
#include "systems/gear_brakes/autobrake_state.h"
#include "systems/gear_brakes/brakes.h"
#include "systems/delay_timers.h"
#include "systems/electrical/electric_values.h"
#include "systems/flight_controls/flight_control_values.h"
#include "core/host_io.h"
#include "systems/hydraulics/hydraulic_values.h"
#include "systems/flight_controls/speedbrake_lever.h"
#include "systems/switches/switch_values.h"
#include "systems/system_state.h"
#include "systems/systems_step_outputs.h"

// Speed brake and flap working state; zero at load.
struct SpeedbrakeFlapState {
  float axis_last;               // the speed brake axis's detent last frame
  float axis_stopped;            // the axis stands beyond the flight detent the stop holds the lever at
  int32_t hyd_available_last;
  float hyd_a_status_last;
  float saved_speedbrake_lever;  // lever at the end of the last normal frame
  float landing_armed;
  float deploy_pending;
  float retract_check;
  float levers_were_idle;
  float servo_moving;
  float touchdown_done_last;     // the 6 s timer's done flag, last frame
  float reverse_deployed;        // this selection of reverse has had its deployment
  float roll_deployed;           // this landing or reject has had its deployment
  float retract_ordered;         // a retraction was ordered this frame
  float flap_relief_30;
  float flap_relief_40;
  float flaps_frozen;
  float te_asymmetry;            // 1 once the trailing edges split: the hydraulic drive is shut off
  float alt_flaps_extending;
  float flap_time_last_s;        // flap time last written to the host
};
SpeedbrakeFlapState sbf_state;

namespace {

constexpr float kFlightDetent = 0.667f;
constexpr float kArmedLever = 0.04f;
constexpr double kArmedRangeTop = 0.13;  // the ARMED detent takes a lever below this
constexpr float kAnimHold_s = 0.7f;
constexpr float kTouchdownHold_s = 6.0f;
// The left and right trailing edges this far apart (degrees) are a split the
// flap drive stops for.
constexpr float kTeAsymmetryDeg = 2.0f;
constexpr float kFlaps5Lever = 0.375f;
constexpr float kLeTravel_s = 8.0f;  // the leading edges' whole travel on their own drive

// The flap handle hold values carried with the saved system state.
float& flap_hold() { return systems_memory.flap_copies[0]; }
float& slat1_hold() { return systems_memory.flap_copies[1]; }
float& slat2_hold() { return systems_memory.flap_copies[2]; }

bool engine_reverse() {
  return host_mirror.sim_cockpit2_engine_actuators_prop_mode[0] == 3 ||
         host_mirror.sim_cockpit2_engine_actuators_prop_mode[1] == 3;
}
bool engine_forward_advanced() {
  const int32_t* pm = host_mirror.sim_cockpit2_engine_actuators_prop_mode;
  return (engine::thrust1_leveler > 0.05f && pm[0] == 1) || (engine::thrust2_leveler > 0.05f && pm[1] == 1);
}

// A new movement replaces the one in progress: the hold that ends the last
// one must not cut this one short.
void deploy() {
  set_speedbrake_target(1.0f);
  flt_ctrls::speedbrake_lever_anim = 1.0f;
  delay_timers.speedbrake_anim_delay = 0.0f;
  sbf_state.roll_deployed = 1.0f;
}
void retract() {
  set_speedbrake_target(0.0f);
  flt_ctrls::speedbrake_lever_anim = 1.0f;
  delay_timers.speedbrake_anim_delay = 0.0f;
  sbf_state.retract_ordered = 1.0f;
}

void set_cue(bound::Id id, float& mirror, float v) {
  if (mirror == v) return;
  mirror = v;
  script_set_f(id, v);
}

bound::Id flap_request_id() {
  return host_version >= 120000 ? bound::sim_cockpit2_controls_flap_handle_request_ratio
                                : bound::sim_cockpit2_controls_flap_ratio;
}
// The request shares one mirror on both hosts.
void request_flaps(float r, bool always) {
  float& mirror = host_mirror.sim_cockpit2_controls_flap_ratio;
  if (!always && mirror == r) return;
  mirror = r;
  host_send_f(flap_request_id(), r);
}

void set_flap_time(float t) {
  host_set_f(bound::sim_aircraft2_engine_flap_extension_time_sec, t);
  // The retraction time is compared with what was sent, not with its mirror.
  if (sbf_state.flap_time_last_s != t) {
    sbf_state.flap_time_last_s = t;
    host_send_f(bound::sim_aircraft2_engine_flap_retraction_time_sec, t);
  }
}

// The leading edges where this logic puts them. The host's flight model
// moves them with the flaps and takes a written ratio only for the frame it
// is written in, so a position held against the flaps is sent every frame.
void put_slats(float s1, float s2) {
  host_mirror.sim_flightmodel2_controls_slat1_deploy_ratio = s1;
  host_mirror.sim_flightmodel2_controls_slat2_deploy_ratio = s2;
  host_send_f(bound::sim_flightmodel2_controls_slat1_deploy_ratio, s1);
  host_send_f(bound::sim_flightmodel2_controls_slat2_deploy_ratio, s2);
}

void hold_flaps() {
  request_flaps(flap_hold(), false);
  put_slats(slat1_hold(), slat2_hold());
  sbf_state.flaps_frozen = 1.0f;
  host_set_i(bound::sim_aircraft_specialcontrols_acf_autoslatEQ, 0);
}

bool any_gear_on_ground() {
  const int32_t* g = host_mirror.sim_flightmodel2_gear_on_ground;
  return g[0] != 0 || g[1] != 0 || g[2] != 0;
}

// Load relief: above `on` kt the relieved request, kept down to `off` kt.
float relieved(float& flag, float ias, float on_kt, float off_kt, float detent, float relief) {
  if (ias >= on_kt) flag = 1.0f;
  if (ias < off_kt) flag = 0.0f;
  if (flag == 1.0f && fed(Consumer::flap_load_relief)) return relief;
  return detent;
}

// A split of the trailing edges shuts their hydraulic drive off: both sides
// stay where they stopped, whatever the lever asks, until the failed side is
// repaired. The alternate drive has no such protection.
bool te_asymmetry_locked() {
  const float* flap = host_mirror.sim_flightmodel2_wing_flap2_deg;
  const bool split = std::fabs(flap[2] - flap[3]) > kTeAsymmetryDeg;
  float& locked = sbf_state.te_asymmetry;
  const bool side_failed = locked == 1.0f && (read_now_i(bound::sim_operation_failures_rel_fc_L_flp) == 6 ||
                                              read_now_i(bound::sim_operation_failures_rel_fc_R_flp) == 6 ||
                                              host_mirror.sim_operation_failures_rel_L_flp_off == 6 ||
                                              host_mirror.sim_operation_failures_rel_R_flp_off == 6);
  locked = split || side_failed ? 1.0f : 0.0f;
  return locked == 1.0f;
}

void normal_flaps(float r) {
  if (te_asymmetry_locked()) {
    request_flaps(flap_hold(), false);
    sbf_state.flaps_frozen = 1.0f;
    // The leading edges keep their own drive on system B and go where the
    // lever puts them: out to flaps 5, fully out beyond.
    float s1 = slat1_hold(), s2 = slat2_hold();
    if (hydraulic::B_status == 1.0f && flt_ctrls::flap_lever > 0.0f) {
      const float le = flt_ctrls::flap_lever <= kFlaps5Lever ? 0.5f : 1.0f;
      s1 = move_toward_timed(s1, le, 0.0f, 1.0f, kLeTravel_s);
      s2 = move_toward_timed(s2, le, 0.0f, 1.0f, kLeTravel_s);
    }
    put_slats(s1, s2);
    slat1_hold() = s1;
    slat2_hold() = s2;
    return;
  }
  if (hydraulic::B_status != 1.0f) {
    flap_slat_held = 1.0f;  // AUTO SLAT FAIL reads it
    hold_flaps();
    return;
  }
  // System B has the leading edges back: another alternate extension waits
  // for the DOWN switch again.
  sbf_state.alt_flaps_extending = 0.0f;
  float t = r <= 0.125f ? 96.0f : (r <= 0.25f ? 20.0f : (r <= 0.625f ? 24.0f : 40.0f));
  if (hydraulic::B_pressure < 2500.0f) t *= 2.5f;
  set_flap_time(t);
  // The load relief is judged on the detent the lever stands in.
  float lever = clamp_range(flt_ctrls::flap_lever, 0.0f, 1.0f);
  take_restored_position(lever, 0.0f, 1.0f, 0.125f);
  const float ias = host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_pilot;
  if (lever == 1.0f) {
    sbf_state.flap_relief_30 = 0.0f;
    request_flaps(relieved(sbf_state.flap_relief_40, ias, 163.0f, 158.0f, 1.0f, 0.875f), false);
  } else if (lever == 0.875f) {
    sbf_state.flap_relief_40 = 0.0f;
    request_flaps(relieved(sbf_state.flap_relief_30, ias, 176.0f, 171.0f, 0.875f, 0.75f), false);
  } else {
    sbf_state.flap_relief_30 = sbf_state.flap_relief_40 = 0.0f;
    request_flaps(lever, true);
  }
  flap_hold() = r;
  slat1_hold() = host_mirror.sim_flightmodel2_controls_slat1_deploy_ratio;
  slat2_hold() = host_mirror.sim_flightmodel2_controls_slat2_deploy_ratio;
  sbf_state.flaps_frozen = 0.0f;
  const bool auto_slat = r >= 0.125f && r <= 0.75f &&
                         host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot >= 50.0f &&
                         fed(Consumer::auto_slats) && !any_gear_on_ground();
  host_set_i(bound::sim_aircraft_specialcontrols_acf_autoslatEQ, auto_slat ? 1 : 0);
}

// The trailing edge flaps run on the alternate drive's electric motor; only
// the leading edges need the standby system's pressure, and without it they
// are held where they stand. Without its power the drive neither moves the
// flaps nor calls the leading edges out: the switch holds them as at OFF.
void alternate_flaps(float r) {
  const bool standby = hydraulic::standby_status == 1.0f;
  const float t = (r <= 0.125f ? 80.0f : (r <= 0.375f ? 32.0f : (r <= 0.625f ? 24.0f : 40.0f))) * 4.21f;
  set_flap_time(t);
  const float ctrl = fed(Consumer::alternate_flaps_drive) ? toggle_switch::alt_flaps_ctrl : 0.0f;
  if (ctrl == 1.0f && r < 1.0f) {
    request_flaps(1.0f, false);
    if (standby) sbf_state.alt_flaps_extending = 1.0f;
  } else if (ctrl == -1.0f && r > 0.0f) {
    request_flaps(0.0f, false);
  } else {
    // Held where they are now: last frame's position would send the flaps
    // back out after the last step of a retraction, frame after frame.
    request_flaps(r, false);
  }
  float s1 = host_mirror.sim_flightmodel2_controls_slat1_deploy_ratio;
  float s2 = host_mirror.sim_flightmodel2_controls_slat2_deploy_ratio;
  if (!standby) {
    flap_slat_held = 1.0f;  // AUTO SLAT FAIL reads it
    s1 = slat1_hold();
    s2 = slat2_hold();
  } else if (sbf_state.alt_flaps_extending == 1.0f) {
    s1 = move_toward_timed(s1, 1.0f, 0.0f, 1.0f, 32.0f);
    s2 = move_toward_timed(s2, 1.0f, 0.0f, 1.0f, 58.0f);
  } else {
    if (s1 > slat1_hold()) s1 = slat1_hold();
    if (s2 > slat2_hold()) s2 = slat2_hold();
  }
  put_slats(s1, s2);
  // The standby system cannot retract the leading edges: whatever holds them
  // next (the switch back to OFF, the standby pressure gone) holds them here
  // until system B is back.
  slat1_hold() = s1;
  slat2_hold() = s2;
  flap_hold() = r;
  sbf_state.flaps_frozen = 0.0f;
  const bool auto_slat = standby && r >= 0.125f && r <= 0.75f && !any_gear_on_ground();
  host_set_i(bound::sim_aircraft_specialcontrols_acf_autoslatEQ, auto_slat ? 1 : 0);
}

}  // namespace

void update_speedbrake() {
  SpeedbrakeFlapState& s = sbf_state;
  s.retract_ordered = 0.0f;
  const float kt = ground_speed_kt_5dp();
  const bool idle = thrust_levers_idle();
  const float lever = flt_ctrls::speedbrake_lever;
  const float ra = host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot;

  // The automatic deployment comes once per landing or reject, however the
  // lever got up (the system, or the crew's hand in the reject drill), so a
  // crew's stow holds. The next roll starts in the air or below 60 kt.
  if (on_ground == 1 && kt <= 60.0f) s.roll_deployed = 0.0f;
  if (on_ground == 1 && kt > 60.0f && lever > kFlightDetent) s.roll_deployed = 1.0f;
  const bool may_deploy = kt > 60.0f && s.roll_deployed == 0.0f;
  const bool in_armed = lever > kArmedLever && static_cast<double>(lever) < kArmedRangeTop;

  // Reverse on the ground above 60 kt with the levers closed raises the speed
  // brakes from DOWN or ARMED, whoever brakes: on a rejected take-off as
  // after a touchdown; not once the selection has seen 60 kt.
  if (!engine_reverse()) {
    s.reverse_deployed = 0.0f;
  } else if (s.reverse_deployed == 0.0f) {
    if (kt <= 60.0f) {
      s.reverse_deployed = 1.0f;
    } else if (on_ground == 1 && idle && static_cast<double>(lever) < kArmedRangeTop) {
      if (may_deploy) deploy();
      s.reverse_deployed = 1.0f;
    }
  }
  // ARMED, the thrust levers closed on the ground above 60 kt: a reject, or
  // a touchdown made with thrust on.
  if (on_ground == 1 && idle && s.levers_were_idle == 0.0f && in_armed && may_deploy) deploy();
  if (rto_speedbrake_stow_request == 1.0f && engine_forward_advanced()) {
    retract();
    rto_speedbrake_stow_request = 0.0f;
  }
  // Landing arming above 100 ft.
  if (ra > 100.0f && s.landing_armed == 0.0f) {
    s.landing_armed = 1.0f;
    s.deploy_pending = s.retract_check = s.roll_deployed = 0.0f;
    delay_timers.autobrake_delay_2 = 0.0f;
    delay_flags.autobrake_flag_2 = 0.0f;
  }
  // Any strut compressed lets the flight spoilers out: the lever comes up at
  // the first wheel, the ground spoilers follow with the right main
  // (speedbrake_detents).
  bool deploy_check = false;
  if (on_ground == 1 && s.landing_armed == 1.0f) {
    s.landing_armed = 0.0f;
    s.deploy_pending = s.retract_check = 1.0f;
    if (autobrake::autobrake_pos == autobrake_pos_value(AutobrakePos::rto)) autobrake::autobrake_disarm = 1.0f;
    delay_timers.autobrake_delay_2 = kTouchdownHold_s;
    delay_flags.autobrake_flag_2 = 0.0f;
    deploy_check = true;
  }
  if (delay_flags.autobrake_flag_2 == 1.0f && s.touchdown_done_last == 0.0f) deploy_check = true;
  s.touchdown_done_last = delay_flags.autobrake_flag_2;
  if (deploy_check && may_deploy && idle && lever > kArmedLever) {
    deploy();
    s.deploy_pending = 0.0f;
  }
  if (s.deploy_pending == 1.0f) {
    if (may_deploy && idle && lever != 1.0f && engine_reverse()) {
      deploy();
      s.deploy_pending = 0.0f;
    } else if (kt < 60.0f && lever != 1.0f) {
      s.deploy_pending = 0.0f;
    }
  }
  // Retraction once the touchdown hold has run out.
  if (s.retract_check == 1.0f && delay_flags.autobrake_flag_2 == 1.0f && engine_forward_advanced() && lever >= 0.15f) {
    retract();
    s.retract_check = 0.0f;
  }
  const float l1 = engine::thrust1_leveler;
  const float l2 = engine::thrust2_leveler;
  // A lever out beyond ARMED (left up by an automatic deployment) comes
  // down with the first thrust advance, in a go-around after a bounce too;
  // DOWN and ARMED stay where the crew put them, so an armed lever still
  // sounds the take-off warning.
  if ((on_ground == 1 || s.roll_deployed == 1.0f) && s.levers_were_idle == 1.0f && (l1 > 0.05f || l2 > 0.05f) &&
      engine_forward_advanced() && static_cast<double>(lever) >= kArmedRangeTop) {
    retract();
  }
  s.levers_were_idle = (l1 < 0.05f && l2 < 0.05f) ? 1.0f : 0.0f;

  // Servo cues.
  const bool ac_power = fed(Consumer::speedbrake_servo_cues);
  float& cue_deploy = script_mirror.zuvadud_d738_fmod_sb_servo_deploy;
  float& cue_retract = script_mirror.zuvadud_d738_fmod_sb_servo_retract;
  if (flt_ctrls::speedbrake_lever_anim == 0.0f) {
    if (s.retract_ordered == 1.0f && s.servo_moving == 1.0f && ac_power) {
      set_cue(bound::zuvadud_d738_fmod_sb_servo_retract, cue_retract, 1.0f);
    }
  } else if (!ac_power) {
    flt_ctrls::speedbrake_lever_anim = 0.0f;
  } else if (speedbrake_target() == 0.0f) {
    set_cue(bound::zuvadud_d738_fmod_sb_servo_retract, cue_retract, 1.0f);
  } else {
    set_cue(bound::zuvadud_d738_fmod_sb_servo_deploy, cue_deploy, 1.0f);
    s.servo_moving = 1.0f;
  }
  const bool cfy = read_now_f(bound::zuvadud_D738_cfy_enable) != 0.0f;
  if (cfy && flt_ctrls::speedbrake_lever_anim == 1.0f) {
    script_set_f(bound::zuvadud_D738_flt_ctrls_speedbrake_target, speedbrake_lever_anim_target);
    script_set_f(bound::zuvadud_D738_flt_ctrls_speedbrake_servo_status, 1.0f);
  } else {
    script_set_f(bound::zuvadud_D738_flt_ctrls_speedbrake_servo_status, 0.0f);
  }
}

void restore_speedbrake_lever_after_replay() { flt_ctrls::speedbrake_lever = sbf_state.saved_speedbrake_lever; }

void update_speedbrake_stop() {
  SpeedbrakeFlapState& s = sbf_state;
  const int32_t avail = (hydraulic::A_status == 1.0f || hydraulic::B_status == 1.0f) ? 1 : 0;
  speedbrake_enable = avail;
  host_set_i(bound::sim_operation_failures_rel_wing2L, switches::spoiler_A_pos == 0.0f ? 0 : 6);
  host_set_i(bound::sim_operation_failures_rel_wing2R, switches::spoiler_B_pos == 0.0f ? 0 : 6);
  if ((avail == 1 && s.hyd_available_last != 1) || (hydraulic::A_status == 1.0f && s.hyd_a_status_last != 1.0f)) {
    speedbrake_detents();
  }
  s.hyd_available_last = avail;
  s.hyd_a_status_last = hydraulic::A_status;
  float& lever = flt_ctrls::speedbrake_lever;
  // The stop at the flight detent holds only in flight with the flaps up,
  // and only with its power: on any wheel, or with the flaps out, UP is UP.
  const bool flaps_up = host_mirror.sim_cockpit2_controls_flap_handle_deploy_ratio < 0.05f;
  speedbrake_flight_detent_latch = (host_mirror.sim_flightmodel_failures_onground_any == 0 && flaps_up &&
                                    fed(Consumer::speedbrake_servo_cues) && lever <= kFlightDetent)
                                       ? 1
                                       : 0;
  // A hardware axis reads with a little noise: only a reading that leaves
  // the detent it stood in is the crew's hand on the lever, or one the stop
  // held back once the stop lets go.
  const float axis = axis::speedbrake_lever;
  const float axis_detent = speedbrake_detent(axis);
  if (flt_ctrls::speedbrake_lever_anim == 0.0f) {
    const bool released = s.axis_stopped != 0.0f && speedbrake_flight_detent_latch == 0;
    if (axis_detent != s.axis_last || released) {
      lever = axis;
      snap_speedbrake_lever();
      s.axis_stopped = lever < axis_detent ? 1.0f : 0.0f;
    }
  } else {
    if (read_now_f(bound::zuvadud_D738_cfy_enable) == 2.0f) lever = axis;
    const float target = speedbrake_target();
    lever = lag_toward(lever, target, 0.0f, 1.0f, 4.0f);
    if (lever == target) {
      if (delay_timers.speedbrake_anim_delay == 0.0f) delay_timers.speedbrake_anim_delay = kAnimHold_s;
      if (target == 0.0f) flt_ctrls::speedbrake_lever_stop = 0.0f;
    }
  }
  speedbrake_detents();
  s.axis_last = axis_detent;
  s.saved_speedbrake_lever = lever;
}

void update_flaps_slats() {
  // Flap lever from its axis: detent thresholds come from the scripts.
  const float axis = axis::flap_lever;
  if (axis != systems_memory.flap_axis_last) {
    const float* thr = script_mirror.zuvadud_D738_fms_flap_detents_thr;
    float detent = 1.0f;
    for (int k = 0; k < 8; ++k) {
      if (axis < thr[k]) {
        detent = static_cast<float>(k) * 0.125f;
        break;
      }
    }
    if (detent != flt_ctrls::flap_lever) fmod_::flap_sound = 1.0f;
    flt_ctrls::flap_lever = detent;
    systems_memory.flap_axis_last = axis;
  }
  const float r = host_mirror.sim_cockpit2_controls_flap_handle_deploy_ratio;
  // 1 only while the flaps and slats are held for want of their hydraulic
  // source; a failed flap actuator holds them without it.
  flap_slat_held = 0.0f;
  if (switches::alt_flaps_pos != 0.0f) {
    alternate_flaps(r);
  } else if (host_mirror.sim_operation_failures_rel_flap_act == 6) {
    // The hydraulic drive jammed: the flaps stay where they are; the
    // alternate drive, its own electric motor, still moves them.
    request_flaps(flap_hold(), false);
    sbf_state.flaps_frozen = 1.0f;
    host_set_i(bound::sim_aircraft_specialcontrols_acf_autoslatEQ, 0);
  } else {
    normal_flaps(r);
  }
}
