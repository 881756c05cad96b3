// TCAS surveillance: the one-second cycle, the choice of the cycle's threat,
// the RA command it leads to, and the traffic and display flags of both
// navigation displays. Runs inside the systems frame right after the GPWS.
//
// Reads: own position, the transponder knob, the host's transponder
// failure and the transponder's power, AC transfer bus 1, the IRS heading alignment, the scripts' EFIS
// selections, both pilots' airspeed, altitude and vertical speed, the
// captain's radio altitude, the TCAS test flag of the delay-timer bank, the
// GPWS alert standing.
// Writes: tcas_cycle, tcas_threat, the traffic and EFIS flags, the range
// rings.
#include "alerting/tcas.h"

#include "alerting/aural_cues.h"
#include "alerting/gpws.h"
#include "alerting/tcas_values.h"
#include "core/binding.h"
#include "core/frame_values.h"
#include "display/nd_slots.h"
#include "display/nd_style.h"
#include "systems/delay_timers.h"
#include "systems/electrical/bus_feeds.h"
#include "systems/electrical/electric_values.h"
#include "systems/instruments/instrument_values.h"
#include "systems/switches/switch_values.h"

TcasCycleState tcas_cycle;
TcasThreatState tcas_threat;
TcasTaOnlyState tcas_ta_only;

namespace {

constexpr float kCycle_s = 1.0f;
// The crew's reaction time: an advisory changed later than this before
// closest approach would be flown only after it.
constexpr float kLastChange_s = 5.0f;

bool in_range(float v, float lo, float hi) { return v >= lo && v <= hi; }

// A code that asks for a sense or holds one (1..8), not a detection (9).
bool is_sense_code(float code) { return in_range(code, 1.0f, 8.0f); }

// Starting band for a new advisory, by the side's airspeed and altitude.
float band_start(float ias_kt, float alt_ft) {
  if (ias_kt < 200.0f) return 2.0f;
  if (ias_kt < 250.0f && alt_ft < 10000.0f) return 4.0f;
  return 6.0f;
}

void up_start(float in_force) {
  if (in_range(in_force, 1.0f, 5.0f)) return;
  tcas_threat.up_band[0] = band_start(host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_pilot,
                                      host_mirror.sim_cockpit2_gauges_indicators_altitude_ft_pilot);
  tcas_threat.up_band[1] = band_start(host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_copilot,
                                      host_mirror.sim_cockpit2_gauges_indicators_altitude_ft_copilot);
}

void down_start(float in_force) {
  if (in_range(in_force, 6.0f, 10.0f)) return;
  tcas_threat.down_band[0] = -band_start(host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_pilot,
                                         host_mirror.sim_cockpit2_gauges_indicators_altitude_ft_pilot);
  tcas_threat.down_band[1] = -band_start(host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_copilot,
                                         host_mirror.sim_cockpit2_gauges_indicators_altitude_ft_copilot);
}

float code_sense(float code) {
  if (in_range(code, 1.0f, 3.0f)) return 1.0f;
  if (in_range(code, 4.0f, 6.0f)) return -1.0f;
  return 0.0f;
}

// Follows the sense of the advisory through the committed codes: a change
// between the climb codes (1..3) and the descend codes (4..6) is a reversal;
// an adjust issued first takes the side it keeps the aircraft on; the
// advisory, and with it its sense, ends with a plain detection or none.
// Also times a climb or descend from the cycle it was issued or reversed in.
void track_sense(float code, float adjust_sense, float step_s) {
  TcasThreatState& t = tcas_threat;
  const bool continued =
      tcas_corrective_code(code) && tcas_corrective_code(t.ra_code) && code_sense(code) == code_sense(t.ra_code);
  t.corrective_s = continued ? t.corrective_s + step_s : 0.0f;
  if (!is_sense_code(code)) {
    t.ra_sense = 0.0f;
    t.sense_reversed = 0;
    return;
  }
  float sense = code_sense(code);
  if (sense == 0.0f && t.ra_sense == 0.0f) sense = adjust_sense;
  if (sense == 0.0f) return;
  if (t.ra_sense != 0.0f && sense != t.ra_sense) t.sense_reversed = 1;
  t.ra_sense = sense;
}

void zero_bands() {
  tcas_threat.up_band[0] = tcas_threat.up_band[1] = 0.0f;
  tcas_threat.down_band[0] = tcas_threat.down_band[1] = 0.0f;
}

void capture(float in_force, float keep) {
  if (in_force == keep) return;
  tcas_threat.captured_vs_fpm[0] = host_mirror.sim_cockpit2_gauges_indicators_vvi_fpm_pilot;
  tcas_threat.captured_vs_fpm[1] = host_mirror.sim_cockpit2_gauges_indicators_vvi_fpm_copilot;
  zero_bands();
}

// A traffic advisory whose traffic has gone is over: the next one is a new
// advisory and is announced again.
void end_traffic() {
  TcasThreatState& t = tcas_threat;
  if (t.ra_command != ra_cmd::traffic) return;
  t.ra_command = ra_cmd::none;
  if (t.command_in_force == ra_cmd::traffic) t.command_in_force = ra_cmd::none;
}

// The name of a climb advisory, given when its code changes: a reversal of a
// descend in force (or of an adjust that kept the aircraft below) is CLIMB
// NOW, the strong rate after a climb in force is INCREASE CLIMB, the normal
// rate keeps the climb in force, and after INCREASE CLIMB weakens it (ADJUST
// VERTICAL SPEED: no new climb is asked for), the strong rate again after
// that strengthens it once more; anything else is a new climb,
// CROSSING CLIMB when the intruder is above now.
float climb_name(int code, float in_force, float prior_sense, float rel_ft) {
  if (in_range(in_force, 6.0f, 10.0f) || (in_force == ra_cmd::adjust && prior_sense < 0.0f)) return ra_cmd::climb_now;
  if (code == 1 && in_force == ra_cmd::increase_climb) return ra_cmd::adjust;
  if (code == 2 && in_force == ra_cmd::adjust && prior_sense > 0.0f) return ra_cmd::increase_climb;
  const bool climbing =
      in_force == ra_cmd::climb_now || in_force == ra_cmd::climb || in_force == ra_cmd::crossing_climb;
  if (code == 2 && (climbing || in_force == ra_cmd::increase_climb)) return ra_cmd::increase_climb;
  if (code == 1 && climbing) return in_force;
  return rel_ft >= 0.0f ? ra_cmd::climb : ra_cmd::crossing_climb;
}

float descend_name(int code, float in_force, float prior_sense, float rel_ft) {
  if (in_range(in_force, 1.0f, 5.0f) || (in_force == ra_cmd::adjust && prior_sense > 0.0f)) return ra_cmd::descend_now;
  if (code == 4 && in_force == ra_cmd::increase_descent) return ra_cmd::adjust;
  if (code == 5 && in_force == ra_cmd::adjust && prior_sense < 0.0f) return ra_cmd::increase_descent;
  const bool descending =
      in_force == ra_cmd::descend_now || in_force == ra_cmd::descend || in_force == ra_cmd::crossing_descend;
  if (code == 5 && (descending || in_force == ra_cmd::increase_descent)) return ra_cmd::increase_descent;
  if (code == 4 && descending) return in_force;
  return rel_ft <= 0.0f ? ra_cmd::descend : ra_cmd::crossing_descend;
}

// The RA command from the RA code of the last cycle (knob at TA/RA only). An
// advisory keeps the name it was issued with while its code stands: the
// intruder passing through own level, or a reversal's next cycle, is no new
// advisory to announce.
void derive_ra_command() {
  TcasThreatState& t = tcas_threat;
  const float f = t.command_in_force;
  const float rel = t.threat_rel_alt_ft;
  const int code = static_cast<int>(t.ra_code);
  const bool named = t.ra_code == t.named_code && in_range(t.ra_command, 1.0f, 12.0f);
  const float prior_sense = t.named_sense;
  t.named_code = t.ra_code;
  t.named_sense = t.ra_sense;
  switch (code) {
    case 0:
      if (t.advisory_issued != 0 && f != 0.0f && f != 13.0f && f != 14.0f) t.ra_command = ra_cmd::clear_of_conflict;
      else end_traffic();
      t.advisory_issued = 0;
      break;
    case 1:
    case 2:
      if (!named) t.ra_command = climb_name(code, f, prior_sense, rel);
      t.advisory_issued = 1;
      up_start(f);
      break;
    case 3:
      t.ra_command = ra_cmd::maintain_climb;
      t.advisory_issued = 1;
      capture(f, 5.0f);
      break;
    case 4:
    case 5:
      if (!named) t.ra_command = descend_name(code, f, prior_sense, rel);
      t.advisory_issued = 1;
      down_start(f);
      break;
    case 6:
      t.ra_command = ra_cmd::maintain_descend;
      t.advisory_issued = 1;
      capture(f, 10.0f);
      break;
    case 7:
      t.ra_command = ra_cmd::adjust;
      t.advisory_issued = 1;
      if (f != 11.0f) zero_bands();
      break;
    case 8:
      t.ra_command = ra_cmd::monitor;
      t.advisory_issued = 1;
      capture(f, 12.0f);
      break;
    case 9:
      if (t.advisory_issued == 0 || t.active_advisories != 0) {
        t.ra_command = ra_cmd::traffic;
        t.advisory_issued = 0;
        if (f != 0.0f && f != 14.0f) t.command_in_force = ra_cmd::traffic;
      } else {
        t.ra_command = (f == 14.0f || f == 0.0f || f == 13.0f) ? 0.0f : static_cast<float>(ra_cmd::clear_of_conflict);
      }
      break;
    default:
      break;
  }
}

// TA ONLY: the traffic advisory and its message as at TA/RA, never a
// resolution. A code the evaluation left from TA/RA counts as traffic.
void derive_traffic_command() {
  TcasThreatState& t = tcas_threat;
  t.advisory_issued = 0;
  t.named_code = t.named_sense = 0.0f;
  if (t.ra_code >= 1.0f && t.ra_code <= 9.0f) {
    t.ra_command = ra_cmd::traffic;
    if (t.command_in_force != 0.0f && t.command_in_force != 14.0f) t.command_in_force = ra_cmd::traffic;
  } else {
    end_traffic();
  }
}

// One surveillance frame: every source the host gives, the threat choice,
// the display slots, publication, RA command.
void surveil(float knob) {
  TcasCycleState& c = tcas_cycle;
  TcasThreatState& t = tcas_threat;
  if (c.cycle_flag == 0 && c.cycle_phase_s > kCycle_s) c.cycle_flag = 1;
  const bool cycle = c.cycle_flag == 1;
  if (cycle) {
    c.cycle_step_s = c.cycle_timer_s;
    t.threat_distance_nm = kTcasNoThreat_nm;
    t.worst_level = 0;
    t.active_advisories = 0;
  }
  // Slots read the code as it stood at the end of the previous cycle; what
  // this cycle decides is committed after the loop.
  bool taken = false;
  int taken_slot = 0;
  float code = t.ra_code;
  float rel_alt = t.threat_rel_alt_ft;
  float range_time = 99.0f;
  float adjust_sense = 0.0f;
  TcasTargetResult ra_threats[kTcasSources];
  int ra_count = 0;
  const int sources = tcas_source_count();
  for (int source = 1; source <= sources; ++source) {
    const TcasTargetResult r = evaluate_tcas_target(source, c.cycle_step_s);
    if (!cycle) continue;
    const int level = static_cast<int>(r.level);
    if (level == 3 && ra_count < kTcasSources) ra_threats[ra_count++] = r;
    if (level > 1) {
      const bool better = t.worst_level <= 1 || (t.worst_level == 2 && level == 3) ||
                          (level == t.worst_level && t.slot_distance_nm < t.threat_distance_nm);
      if (better) {
        t.worst_level = level;
        t.threat_distance_nm = t.slot_distance_nm;
        code = static_cast<float>(r.ra_code);
        rel_alt = r.relative_alt_ft;
        range_time = r.range_time_s;
        adjust_sense = r.adjust_sense;
        taken = true;
        taken_slot = source;
      }
    }
    if (r.ra_code >= 1 && r.ra_code <= 8) ++t.active_advisories;
  }
  tcas_place_targets();
  if (cycle) {
    // Several RA threats at once: one advisory for all of them, once the
    // first detection has been announced.
    if (ra_count >= 2 && is_sense_code(code)) {
      const int multi = tcas_multi_threat_sense(ra_threats, ra_count);
      if (multi > 0) code = static_cast<float>(multi);
    }
    // Right at closest approach the advisory in force stays as it is until
    // the pass ends it: when one of several threats has just passed, the one
    // left, about to pass too, would otherwise strengthen or turn it with
    // nothing left to gain.
    if (taken && is_sense_code(code) && is_sense_code(t.ra_code) && range_time < kLastChange_s) code = t.ra_code;
    // Without a threat this cycle an advisory ages: a sense becomes a plain
    // detection (9), a detection becomes nothing (0).
    if (!taken) {
      if (is_sense_code(code)) code = 9.0f;
      else if (code == 9.0f) code = 0.0f;
    }
    track_sense(code, code == 7.0f ? adjust_sense : 0.0f, c.cycle_step_s);
    t.ra_code = code;
    t.threat_slot = taken_slot;
    t.threat_rel_alt_ft = rel_alt;
    c.cycle_timer_s = 0.0f;
    // The schedule keeps its one-second period at any frame rate: what a
    // frame overshot is carried into the next cycle.
    c.cycle_phase_s -= kCycle_s;
    if (!(c.cycle_phase_s >= 0.0f && c.cycle_phase_s < kCycle_s)) c.cycle_phase_s = 0.0f;
    c.own_elev_last_cycle_m = c.own_elev_m;
    if (t.ra_code == 0.0f) t.worst_level = 0;
  }
  TCAS::nearest_plane_m = t.threat_distance_nm * 1852.0f;
  c.cycle_flag = 0;
  TCAS::tcas_nearest_ra_msg = t.ra_code;

  if (knob == 5.0f && tcas_ta_only.gpws_inhibit == 0) derive_ra_command();
  else if (knob == 4.0f || knob == 5.0f) derive_traffic_command();

  // The TRAFFIC message follows the advisory, not its symbol: it shows
  // while a TA or RA stands, the symbol on the map or beyond its range, in
  // every display format, the traffic selected or not.
  int32_t level = 0;
  for (int source = 1; source <= sources; ++source) {
    if (tcas_track.level[source] > level) level = tcas_track.level[source];
  }
  if (level == 3) {
    TCAS::traffic_ra = knob == 5.0f ? 1.0f : 0.0f;
    TCAS::traffic_ta = knob == 5.0f ? 0.0f : 1.0f;
  } else {
    TCAS::traffic_ra = 0.0f;
    TCAS::traffic_ta = level == 2 ? 1.0f : 0.0f;
  }
  TCAS::traffic_ra_fo = TCAS::traffic_ra;
  TCAS::traffic_ta_fo = TCAS::traffic_ta;
}

struct SideFlags {
  float* tcas_show;
  float* tfc_show;
  float* ta_only_show;
  float* tcas_off_show;
  float* tcas_fail_show;
  float* tcas_test_show;
  float* traffic_ra;
  float* traffic_ta;
};

const SideFlags kSides[2] = {
    {&EFIS::tcas_show, &EFIS::tfc_show, &EFIS::ta_only_show, &EFIS::tcas_off_show, &EFIS::tcas_fail_show,
     &EFIS::tcas_test_show, &TCAS::traffic_ra, &TCAS::traffic_ta},
    {&EFIS::tcas_show_fo, &EFIS::tfc_show_fo, &EFIS::ta_only_show_fo, &EFIS::tcas_off_show_fo,
     &EFIS::tcas_fail_show_fo, &EFIS::tcas_test_show_fo, &TCAS::traffic_ra_fo, &TCAS::traffic_ta_fo},
};

constexpr float kGpwsHold_s = 1.0f;

// The alerts TCAS yields to: the ground proximity modes, their cautions too,
// and windshear. The bank angle and airspeed calls and the altitude
// callouts take nothing from TCAS.
constexpr int32_t kYieldTo[] = {gpws_code::pull_up,         gpws_code::windshear,     gpws_code::terrain,
                                gpws_code::too_low_terrain, gpws_code::too_low_flaps, gpws_code::too_low_gear,
                                gpws_code::dont_sink,       gpws_code::sink_rate,     gpws_code::below_glideslope,
                                gpws_code::terrain_caution, gpws_code::closure_terrain,
                                gpws_code::closure_terrain_landing};

// One of those alerts this frame (the GPWS runs just before): the one being
// said, or one standing in its envelope behind a call that outranks it, as a
// SINK RATE under AIRSPEED LOW. The GPWS self-test takes nothing from TCAS.
bool gpws_alert_standing() {
  if (system_::gpws_test_running != 0.0f) return false;
  for (int32_t code : kYieldTo)
    if (gpws_state.alert_code == code || gpws_code_standing(code)) return true;
  return false;
}

// TA ONLY from the knob and the radio altitude, for a computer that runs.
void update_ta_only(float knob, bool running) {
  int32_t& state = tcas_ta_only.state;
  // A repeating call leaves a frame with no alert at the end of each of its
  // sequences: the yielding holds across it, not handing the crew a
  // resolution advisory for one frame.
  float& hold = tcas_ta_only.gpws_hold_s;
  if (running && knob >= 4.0f && gpws_alert_standing()) hold = kGpwsHold_s;
  else if (!running || knob < 4.0f || !(hold > frame_time)) hold = 0.0f;
  else hold -= frame_time;
  tcas_ta_only.gpws_inhibit = hold > 0.0f ? 1 : 0;
  if (!running || knob < 4.0f) {
    state = -1;
    return;
  }
  if (knob == 4.0f) {
    state = 1;
    return;
  }
  if (knob != 5.0f) return;
  const float radio_alt = host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot;
  if (radio_alt < 900.0f) state = 1;
  else if (radio_alt > 1100.0f) state = 0;
  else if (state == -1) state = radio_alt < 1000.0f ? 1 : 0;
}

void display_flags(float knob, float bus, bool failed) {
  *kSides[0].tcas_fail_show = 0.0f;
  *kSides[1].tcas_fail_show = 0.0f;
  const bool test = delay_flags.tcas_test_flag == 1.0f;
  if (bus == 0.0f) delay_flags.tcas_test_flag = 0.0f;
  const float ta_only = tcas_judges_ta_only() ? 1.0f : 0.0f;
  for (const SideFlags& s : kSides) {
    if (bus == 0.0f) {
      *s.tcas_off_show = 1.0f;
      *s.traffic_ra = *s.traffic_ta = 0.0f;
      *s.tfc_show = *s.ta_only_show = *s.tcas_show = *s.tcas_test_show = 0.0f;
    } else if (failed) {
      *s.tcas_fail_show = 1.0f;
      *s.tcas_off_show = 0.0f;
      *s.traffic_ra = *s.traffic_ta = 0.0f;
      *s.tfc_show = *s.ta_only_show = *s.tcas_show = *s.tcas_test_show = 0.0f;
    } else if (test) {
      *s.tfc_show = *s.ta_only_show = 0.0f;
      *s.tcas_test_show = 1.0f;
      *s.tcas_off_show = 0.0f;
    } else if (knob < 4.0f) {
      *s.tcas_off_show = 1.0f;
      *s.traffic_ra = *s.traffic_ta = 0.0f;
      *s.tfc_show = *s.ta_only_show = *s.tcas_show = *s.tcas_test_show = 0.0f;
    } else if (knob == 4.0f || knob == 5.0f) {
      *s.ta_only_show = ta_only;
      *s.tfc_show = *s.tcas_show = 1.0f;
      *s.tcas_off_show = *s.tcas_test_show = 0.0f;
    }
  }
  if (bus != 0.0f && !failed && test) tcas_test_pattern();
}

void side_blanking() {
  const float tcas_on[2] = {script_mirror.zuvadud_D738_EFIS_tcas_on, script_mirror.zuvadud_D738_EFIS_tcas_on_fo};
  const float map_mode[2] = {script_mirror.zuvadud_D738_EFIS_control_capt_map_mode_pos,
                             script_mirror.zuvadud_D738_EFIS_control_fo_map_mode_pos};
  const float exp_map[2] = {script_mirror.zuvadud_D738_EFIS_control_capt_exp_map,
                            script_mirror.zuvadud_D738_EFIS_control_fo_exp_map};
  for (int side = 0; side < 2; ++side) {
    const SideFlags& s = kSides[side];
    const bool test_pattern = *s.tcas_test_show == 1.0f;
    bool blank = false;
    if (tcas_on[side] == 0.0f) {
      *s.tcas_show = *s.tcas_test_show = *s.tcas_off_show = 0.0f;
      blank = true;
    } else if (map_mode[side] == nd_mode(NdMapMode::plan) ||
               (map_mode[side] < nd_mode(NdMapMode::map) && exp_map[side] == 0.0f)) {
      blank = true;
    }
    // A blanked display changes nothing in the surveillance: the cycle keeps
    // its period, so what is detected and announced does not depend on it;
    // nor does the TRAFFIC message, which follows the advisory. The test's
    // pattern, its TRAFFIC with it, is a picture a blanked display lacks.
    if (blank) {
      *s.tfc_show = 0.0f;
      if (test_pattern) *s.traffic_ta = *s.traffic_ra = 0.0f;
    }
  }
  const bool ring_range = script_mirror.zuvadud_D738_nd_tcas_range != 0.0f;
  nd::tcas_ring = (ring_range && script_mirror.zuvadud_D738_EFIS_capt_map_range <= 4.0f && EFIS::tcas_show == 1.0f)
                      ? 1.0f : 0.0f;
  nd::tcas_ring_fo =
      (ring_range && script_mirror.zuvadud_D738_EFIS_fo_map_range <= 4.0f && EFIS::tcas_show_fo == 1.0f) ? 1.0f
                                                                                                        : 0.0f;
}

}  // namespace

void update_tcas() {
  TcasCycleState& c = tcas_cycle;
  c.own_lat_deg = static_cast<float>(host_mirror.sim_flightmodel_position_latitude);
  c.own_lon_deg = static_cast<float>(host_mirror.sim_flightmodel_position_longitude);
  c.own_elev_m = static_cast<float>(host_mirror.sim_flightmodel_position_elevation);
  c.cycle_timer_s += frame_time;
  c.cycle_phase_s += frame_time;

  const float knob = knob::transponder_pos;
  const float bus = fed01(Consumer::tcas);
  const bool failed = tcas_failed();
  update_ta_only(knob, bus == 1.0f && !failed);
  if (knob <= 0.0f || bus != 1.0f || failed) {
    c.cycle_timer_s = c.cycle_phase_s = 0.0f;
    tcas_clear_state();
  } else if (script_mirror.zuvadud_D738_fms_xfirst_time2 == 0.0f) {
    surveil(knob);
  }
  // A live TA or RA ends the test at once: the crew is shown the real
  // traffic with the advisory it hears, and ATC sees the transponder in its
  // mode again.
  if (delay_flags.tcas_test_flag != 0.0f && knob >= 4.0f && tcas_threat.worst_level >= 2) {
    delay_flags.tcas_test_flag = 0.0f;
    delay_flags.xpndr_test_flag = 0.0f;
    delay_timers.tcas_test_delay = 0.0f;
  }
  display_flags(knob, bus, failed);
  side_blanking();
  tcas_resolution_advisory();
}

bool tcas_failed() {
  // The computer has no heading without the IRS, and neither surveillance
  // nor a resolution without its own transponder: failed, or without power.
  return script_mirror.zuvadud_D738_irs_pfd_allign_hdg != 0.0f ||
         host_mirror.sim_operation_failures_rel_xpndr == 6 || !fed(Consumer::transponder);
}

void tcas_startup_reset() {
  tcas_threat = TcasThreatState{};
  tcas_ta_only = TcasTaOnlyState{};
  delay_flags.tcas_test_flag = 0.0f;
  EFIS::tfc_show_fo = EFIS::ta_only_show_fo = EFIS::tcas_test_show_fo = EFIS::tcas_off_show_fo = 0.0f;
  tcas_msgs_reset();
}
