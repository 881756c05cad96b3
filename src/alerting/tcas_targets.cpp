// TCAS target evaluation: one traffic source's track history, closure,
// threat level against the sensitivity table and advisory sense; the choice
// of the sources the 18 display slots show and their symbols on both
// navigation displays; the display self-test picture.
//
// Reads: the traffic positions (host target arrays when present, else the
// multiplayer planes), tcas_cycle, the stored RA code and the source it was
// taken from, the transponder knob, both sides' EFIS controls, own
// heading/track and magnetic variation.
// Writes: tcas_track, tcas_threat.slot_distance_nm, the published traffic
// slots (x, y, type, arrow, label side, visibility) and the label texts.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "alerting/failure_state.h"
#include "alerting/tcas.h"
#include "alerting/tcas_labels.h"
#include "alerting/tcas_values.h"
#include "core/binding.h"
#include "core/preprocess_values.h"
#include "core/units.h"
#include "core/util.h"
#include "display/nd_style.h"
#include "navdata/geodesy.h"
#include "navdata/nav_math.h"
#include "systems/switches/switch_values.h"

TcasTrackHistory tcas_track;

namespace {

// Every target is measured from the aircraft: its latitude's sine and cosine
// are worked out once per position, not once per target and formula. Kept
// while the position's bits are the same (a signed zero is another origin).
const GcOrigin& own_origin() {
  static GcOrigin origin = gc_origin(0.0, 0.0);
  const TcasCycleState& c = tcas_cycle;
  const double lat = c.own_lat_deg, lon = c.own_lon_deg;
  if (std::memcmp(&lat, &origin.lat, sizeof lat) != 0 || std::memcmp(&lon, &origin.lon, sizeof lon) != 0)
    origin = gc_origin(lat, lon);
  return origin;
}

constexpr float kMaxDisplay_nm = 80.0f;
constexpr float kTaVertical_ft = 850.0f;
constexpr float kRateNormal_ms = 7.62f;   // 1500 ft/min
constexpr float kRateStrong_ms = 12.7f;   // 2500 ft/min
constexpr float kProximateRange_nm = 6.0f;
constexpr float kProximateHeight_ft = 1200.0f;
// Advisories are looked for out to this range at least, and further when the
// closure would bring traffic from beyond it inside the TA time.
constexpr float kAdvisoryRange_nm = 14.0f;
constexpr float kOnGroundHeight_ft = 360.0f;
// Near the ground a descent is not asked for below 1100 ft radio altitude,
// and not at the stronger rate below 1450 ft.
constexpr float kNoDescend_ft = 1100.0f;
constexpr float kNoIncreaseDescent_ft = 1450.0f;
// A reversal must buy at least this much more predicted miss than the sense
// it abandons: the two reaction-time draws alone differ by up to about 40 ft.
constexpr float kReversalGain_ft = 100.0f;
// A monitor or adjust code stays against its threat until the predicted miss
// is short of the required one by this much. The intruder's height at
// closest approach is predicted from positions in floats and wanders by a few
// feet from cycle to cycle: an intruder ending right at the required miss
// would otherwise have the advisory strengthened and weakened by turns.
constexpr float kWeakHold_ft = 50.0f;
// Above the noise of positions in floats: traffic flying in formation must
// not read as passed and back every cycle.
constexpr float kPassedOpening_kt = 10.0f;
// The crew's reaction to a first advisory. A climb or descend in force is
// predicted with what is left of it since the advisory was issued: a crew
// that answers in time is not told to increase.
constexpr float kReaction_s = 5.0f;
// A climb or descend stands longer than five seconds before it may be
// weakened: a crew is not told to level off just after being told to climb,
// or to reverse.
constexpr float kBeforeWeakening_s = 6.0f;

struct Position {
  float lat, lon, elev_m;
};

// Multiplayer plane n (1..19) of the host mirror. The host keeps these as
// doubles; the traffic logic works in floats like the target arrays.
Position multiplayer_position(int n) {
  const HostMirror& h = host_mirror;
  switch (n) {
#define PLANE(k)                                                                  \
  case k: return {static_cast<float>(h.sim_multiplayer_position_plane##k##_lat), \
                  static_cast<float>(h.sim_multiplayer_position_plane##k##_lon), \
                  static_cast<float>(h.sim_multiplayer_position_plane##k##_el)};
    PLANE(1) PLANE(2) PLANE(3) PLANE(4) PLANE(5) PLANE(6) PLANE(7) PLANE(8) PLANE(9) PLANE(10)
    PLANE(11) PLANE(12) PLANE(13) PLANE(14) PLANE(15) PLANE(16) PLANE(17) PLANE(18) PLANE(19)
#undef PLANE
    default: return {0.0f, 0.0f, 0.0f};
  }
}

constexpr int kHostTargets =
    static_cast<int>(sizeof host_mirror.sim_cockpit2_tcas_targets_position_lat / sizeof(float));
static_assert(kTcasSources < kHostTargets, "every source is an element of the host's target arrays");

Position intruder_position(int source) {
  if (tcas_targets_present != 0) {
    if (source < 1 || source >= kHostTargets) return {0.0f, 0.0f, 0.0f};
    return {host_mirror.sim_cockpit2_tcas_targets_position_lat[source],
            host_mirror.sim_cockpit2_tcas_targets_position_lon[source],
            host_mirror.sim_cockpit2_tcas_targets_position_ele[source]};
  }
  return multiplayer_position(source);
}

// Range or vertical time to closest approach: 99 none, 100 diverging.
float time_to_go(float distance, float rate, float scale) {
  if (rate == 0.0f) return 99.0f;
  const float t = distance / rate * scale;
  if (t > 99.0f) return 99.0f;
  if (t < 0.0f) return 100.0f;
  if (!(t == t)) return 99.0f;
  return t;
}

struct Side {
  float* x;
  float* y;
  float* type_show;
  float* arrow;
  float* alt_up;
  float* visible;
  char (*label)[5];
  bound::Id map_mode, exp_map, vsd_map, map_range;
  // The side's own instruments' heading and track, which its map turns with.
  bound::Id heading, track;
};

const Side kSides[2] = {
    {TCAS::x, TCAS::y, TCAS::type_show, TCAS::arrow_dn_up_show, TCAS::alt_dn_up_show, EFIS::tcas_ai_show,
     TCAS::alt_label, bound::zuvadud_D738_EFIS_control_capt_map_mode_pos, bound::zuvadud_D738_EFIS_control_capt_exp_map,
     bound::zuvadud_D738_EFIS_control_capt_vsd_map, bound::zuvadud_D738_EFIS_capt_map_range,
     bound::sim_cockpit2_gauges_indicators_heading_AHARS_deg_mag_pilot,
     bound::sim_cockpit2_gauges_indicators_ground_track_mag_pilot},
    {TCAS::x_fo, TCAS::y_fo, TCAS::type_show_fo, TCAS::arrow_dn_up_show_fo, TCAS::alt_dn_up_show_fo,
     EFIS::tcas_ai_show_fo, TCAS::alt_fo_label, bound::zuvadud_D738_EFIS_control_fo_map_mode_pos,
     bound::zuvadud_D738_EFIS_control_fo_exp_map, bound::zuvadud_D738_EFIS_control_fo_vsd_map,
     bound::zuvadud_D738_EFIS_fo_map_range, bound::sim_cockpit2_gauges_indicators_heading_AHARS_deg_mag_copilot,
     bound::sim_cockpit2_gauges_indicators_ground_track_mag_copilot},
};

// The sensitivity row of this frame: the TA-only row at TA ONLY, else the
// captain's altitude and radio altitude decide. What the displays show (a
// test, a side blanked) changes nothing in how traffic is judged.
TcasSensitivity current_sensitivity() {
  return tcas_sensitivity(tcas_judges_ta_only(), host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot,
                          host_mirror.sim_cockpit2_gauges_indicators_altitude_ft_pilot);
}

// Display offset of the own-aircraft symbol for a side's map format.
float display_offset(float vsd_map, float exp_map) {
  if (vsd_map == 1.0f) return 5.1f;
  if (exp_map == 0.0f) return 4.1f;
  return 0.0f;
}

struct Eval {
  int slot;
  bool cycle;
  float d_nm, r_ft, p_ft, step_s;
  // True, from own position: worked out once per slot and frame, on a cycle
  // frame for the track history, else when a side draws the symbol.
  float bearing_deg;
  bool has_bearing;
  Position intr;
  float prev_elev_m;
  int level;
  bool held_threat;  // an RA only because the advisory issued against it stands
  int label_n;
  TcasSensitivity sens;
  float ra_vertical_ft;
};

// Own predicted elevation for a manoeuvre at s m/s after reaction time T.
float own_profile(float own_m, float w, float s, float reaction_s, float range_time, bool climb) {
  float t = 0.65f * (climb ? (s - w) : (s + w));
  t = t < 0.0f ? 0.0f : (t < reaction_s ? t : reaction_s);
  if (t > range_time) t = range_time;
  float pred = own_m + w * t;
  const float rest = range_time - t;
  if (rest > 0.0f) pred += climb ? s * rest : -s * rest;
  return pred;
}

struct Candidate {
  int code;
  float miss_ft;
};

// strong_in_force: the stronger rate is asked for already. It stays asked
// for: going back to the normal rate would weaken the advisory while its
// miss is still short (the two rates' misses near closest approach are noise).
// Without strong_allowed the normal rate is the most that is asked for: the
// stronger rate only strengthens a climb or descend already in force, near
// the ground not even that.
Candidate manoeuvre(bool climb, bool in_force, float in_force_reaction_s, bool strong_in_force, bool strong_allowed,
                    float own_m, float w, float q, float range_time, float required) {
  const float reaction = in_force ? in_force_reaction_s : random_range(4.0f, 6.0f);
  const float miss1 = std::fabs(own_profile(own_m, w, kRateNormal_ms, reaction, range_time, climb) - q) * ft_per_m;
  const int normal = climb ? 1 : 4;
  if (!strong_allowed || (miss1 >= required && !strong_in_force)) return {normal, miss1};
  const float miss2 = std::fabs(own_profile(own_m, w, kRateStrong_ms, reaction, range_time, climb) - q) * ft_per_m;
  if (miss1 > miss2 && !strong_in_force) return {normal, miss1};
  return {climb ? 2 : 5, miss2};
}

// The intruder's elevation at closest approach, on its vertical rate of the
// last cycle (m).
float predicted_elevation(const Eval& e, float range_time) {
  return e.intr.elev_m + (e.intr.elev_m - e.prev_elev_m) / e.step_s * range_time;
}

// How long a climb or descend in force has stood by this cycle; 0 for any
// other code.
float corrective_age(float stored, float step) {
  return tcas_corrective_code(stored) ? tcas_threat.corrective_s + step : 0.0f;
}

// The reaction the prediction of a sense in force allows for: what is left
// of the first one.
float in_force_reaction(float stored, float step) {
  const float left = kReaction_s - corrective_age(stored, step);
  return left > 0.0f ? left : 0.0f;
}

int advisory_sense(const Eval& e, float range_time, float vertical_time, float* adjust_sense) {
  // An advisory held until the pass goes on by its prediction, whatever
  // the closure: a sense chosen by position alone would reverse a crossing
  // advisory. Without closure the prediction looks the RA time ahead.
  if (e.held_threat && !(range_time < 99.0f)) range_time = e.sens.ra_time_s;
  const TcasCycleState& c = tcas_cycle;
  const float stored = tcas_threat.ra_code;
  const float own = c.own_elev_m;
  const float step = e.step_s;
  const float w = (own - c.own_elev_last_cycle_m) / step;
  const float q = predicted_elevation(e, range_time);
  const bool climb_in_force = stored >= 1.0f && stored <= 3.0f;
  const bool descend_in_force = stored >= 4.0f && stored <= 6.0f;
  const float required = e.sens.required_miss_ft;
  const float p = e.p_ft;
  const float a = std::fabs(e.r_ft);
  // The sense the advisory holds now; an adjust or monitor code in between
  // does not end it.
  const float held = climb_in_force ? 1.0f : (descend_in_force ? -1.0f : tcas_threat.ra_sense);
  const float radio_alt = host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot;
  const bool may_descend = radio_alt >= kNoDescend_ft;
  const bool may_climb = host_mirror.sim_flightmodel_position_elevation <= 10700.0;

  if (!(range_time < e.sens.ra_time_s) && !e.held_threat) {
    bool climb;
    if (p > -50.0f && climb_in_force) climb = true;
    else if (p < 50.0f && descend_in_force) climb = false;
    else climb = p > 0.0f;
    // One reversal per advisory.
    if (held != 0.0f && climb != (held > 0.0f) && tcas_threat.sense_reversed != 0) climb = held > 0.0f;
    // A weakened advisory stays weakened while it keeps the required miss:
    // traffic alongside would otherwise have it strengthened and weakened by
    // turns as the range time crosses the RA time.
    const float q_ra = predicted_elevation(e, e.sens.ra_time_s);
    if (stored == 7.0f && held != 0.0f && climb == (held > 0.0f) && (own - q_ra) * held * ft_per_m >= required)
      return 7;
    // Raised by distance alone, the advisory keeps the limits near the
    // ground and at altitude all the same.
    if (climb && !may_climb) return w > 0.5f ? 7 : 3;
    if (!climb && !may_descend) return w < -0.5f ? 7 : 6;
    if (a >= required && vertical_time == 100.0f) {
      if (climb) return w >= 0.0f ? 3 : 1;
      return w >= 0.0f ? 4 : 6;
    }
    return climb ? 1 : 4;
  }

  const float continue_miss = std::fabs(own + w * range_time - q) * ft_per_m;
  const bool weak_held = (stored == 7.0f || stored == 8.0f) && e.slot == tcas_threat.threat_slot;
  const float enough = weak_held ? required - kWeakHold_ft : required;
  const bool first = stored == 0.0f || stored >= 8.0f;
  if (continue_miss >= enough && first) return 8;
  // The first advisory is the weakest that gives the miss: where levelling
  // off after the crew's reaction keeps the aircraft on its side of the
  // intruder by the required miss, ADJUST VERTICAL SPEED, not a climb or
  // descend.
  if (first) {
    float react = 0.65f * std::fabs(w);
    if (react > kReaction_s) react = kReaction_s;
    if (react > range_time) react = range_time;
    const float side = own >= q ? 1.0f : -1.0f;
    if ((own + w * react - q) * side * ft_per_m >= required) {
      *adjust_sense = side;
      return 7;
    }
  }
  // Weakened once the aircraft, levelled off here, would pass the intruder
  // on the advisory's side by the required miss: what it has gained it keeps,
  // so the advisory is not strengthened again when the crew answers. A climb
  // or descend stands its first cycles whatever it has gained.
  const bool may_weaken = !tcas_corrective_code(stored) || corrective_age(stored, step) >= kBeforeWeakening_s;
  if (stored >= 1.0f && stored <= 8.0f && held != 0.0f && may_weaken && (own - q) * held * ft_per_m >= enough)
    return 7;

  const float reaction = in_force_reaction(stored, step);
  Candidate descend;
  if (may_descend) {
    const bool strong = radio_alt >= kNoIncreaseDescent_ft && (stored == 4.0f || stored == 5.0f);
    descend = manoeuvre(false, descend_in_force, reaction, stored == 5.0f, strong, own, w, q, range_time, required);
  } else {
    descend = {w < -0.5f ? 7 : 6, continue_miss};
  }
  Candidate climb;
  if (may_climb) {
    const bool strong = stored == 1.0f || stored == 2.0f;
    climb = manoeuvre(true, climb_in_force, reaction, stored == 2.0f, strong, own, w, q, range_time, required);
  } else {
    climb = {w > 0.5f ? 7 : 3, continue_miss};
  }

  bool choose_descend;
  if (e.d_nm < e.sens.ta_distance_nm) {
    choose_descend = (p <= -50.0f || !climb_in_force) && (p <= 0.0f || (p < 50.0f && descend_in_force));
  } else if (climb_in_force) {
    choose_descend = climb.miss_ft < required && descend.miss_ft > climb.miss_ft;
  } else if (descend_in_force) {
    choose_descend = !(descend.miss_ft < required && !(descend.miss_ft > climb.miss_ft));
  } else {
    choose_descend = descend.miss_ft > climb.miss_ft;
  }
  // Reversing the sense is worth it once, and only for a clearly better miss;
  // otherwise a pilot who has not yet answered would be sent up and down
  // every cycle by the reaction-time draws.
  if (held != 0.0f && choose_descend == (held > 0.0f)) {
    const Candidate& kept = held > 0.0f ? climb : descend;
    const Candidate& other = held > 0.0f ? descend : climb;
    if (tcas_threat.sense_reversed != 0 || !(other.miss_ft >= kept.miss_ft + kReversalGain_ft))
      choose_descend = held < 0.0f;
  }
  return choose_descend ? descend.code : climb.code;
}

// Level and RA code of a cycle frame (distance within 80 nm).
void threat_evaluation(Eval& e, float prev_d, float prev_bearing, TcasTargetResult& out) {
  const TcasCycleState& c = tcas_cycle;
  const float a = std::fabs(e.r_ft);
  const float closing_kt = (prev_d - e.d_nm) * 1852.0f / e.step_s * kt_per_mps_7dp;
  out.range_time_s = time_to_go(e.d_nm, closing_kt, 3600.0f);
  // Past closest approach nothing is left to resolve. The change of range
  // over the cycle that straddles it can still read as closing, so the pass
  // is also read from the relative motion: the range opening now, along the
  // line of sight, by the positions at both ends of the cycle.
  const float turned_rad = (e.bearing_deg - prev_bearing) * rad_per_deg_f;
  const float opening_kt = (e.d_nm - prev_d * std::cos(turned_rad)) * 3600.0f / e.step_s;
  const bool passed = out.range_time_s == 100.0f || opening_kt > kPassedOpening_kt;
  // Vertical closure in feet per minute, like the separation.
  const float v = (std::fabs(c.own_elev_last_cycle_m - e.prev_elev_m) - std::fabs(c.own_elev_m - e.intr.elev_m)) /
                  e.step_s * 60.0f * ft_per_m;
  out.vertical_time_s = time_to_go(a, v, 60.0f);

  // Proximate traffic is a fixed volume around the aircraft. Advisories go by
  // time to go: traffic anywhere in the evaluated band is tested, whatever
  // its height, out to where a fast closure still leaves the TA its time.
  int level = !(e.d_nm > kProximateRange_nm) && !(a > kProximateHeight_ft) ? 1 : 0;
  const float reach_nm = closing_kt * e.sens.ta_time_s / 3600.0f;
  const float advisory_range = reach_nm > kAdvisoryRange_nm ? reach_nm : kAdvisoryRange_nm;
  // Near the ground, traffic within 360 ft of the ground below is taken to be
  // on it (taxiing, or just airborne) and raises no advisory; the ground is
  // where the radio altitude puts it, so high airports count alike. On its
  // own wheels the aircraft reads 0 and the rule holds all the more; in the
  // air a reading of exactly 0 is no height at all and judges nothing.
  const float radio_alt = host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot;
  const bool traffic_on_ground = radio_alt < 1750.0f && (radio_alt != 0.0f || on_ground != 0) &&
                         e.intr.elev_m < c.own_elev_m + (kOnGroundHeight_ft - radio_alt) / ft_per_m;
  if (!(e.d_nm > advisory_range) && !traffic_on_ground) {
    const float rt = out.range_time_s, vt = out.vertical_time_s;
    if ((rt < e.sens.ta_time_s || e.d_nm < e.sens.ta_distance_nm) && (vt < e.sens.ta_time_s || a < kTaVertical_ft))
      level = 2;
    if (e.sens.ra_time_s > 0.0f && !passed && (rt < e.sens.ra_time_s || e.d_nm < e.sens.ra_distance_nm) &&
        (vt < e.sens.ra_time_s || a < e.ra_vertical_ft))
      level = 3;
    // An advisory issued against this intruder stays in force until the
    // range opens after closest approach: the crew's answer slows the
    // vertical closure, which alone would end it early and send the crew
    // back toward the intruder. It ends too once the intruder is neither
    // proximate nor a traffic advisory any more.
    const bool advisory_threat = tcas_threat.ra_code >= 1.0f && tcas_threat.ra_code <= 8.0f &&
                                 e.slot == tcas_threat.threat_slot;
    if (e.sens.ra_time_s > 0.0f && !passed && advisory_threat && level >= 1 && level < 3) {
      level = 3;
      e.held_threat = true;
    }
  }
  e.level = level;
  out.level = static_cast<float>(level);
  out.relative_alt_ft = e.p_ft;
  out.intruder_elev_m = e.intr.elev_m;
  // No further than the RA time: traffic inside the RA distance without
  // closure has no closest approach to speak of.
  const float rt_ra = out.range_time_s < e.sens.ra_time_s ? out.range_time_s : e.sens.ra_time_s;
  out.predicted_elev_m = predicted_elevation(e, rt_ra);
  if (level == 2 || (level == 3 && tcas_threat.ra_code == 0.0f)) out.ra_code = 9;
  else if (level == 3) out.ra_code = advisory_sense(e, out.range_time_s, out.vertical_time_s, &out.adjust_sense);
  else out.ra_code = 0;
}

// Draws a source's view into a display slot on one side; returns whether
// the symbol is visible.
bool display_side(const Side& s, int slot, TcasTargetView& v) {
  const float map_mode = mirror_f(s.map_mode);
  const float exp_map = mirror_f(s.exp_map);
  const float magvar = host_mirror.sim_flightmodel_position_magnetic_variation;
  float reference;
  if (map_mode < nd_mode(NdMapMode::map) && exp_map == 1.0f) {
    reference = mirror_f(s.heading) - magvar;
  } else if (map_mode == nd_mode(NdMapMode::map)) {
    const bool track_up = script_mirror.zuvadud_D738_fms_track_up != 0.0f &&
                          script_mirror.zuvadud_D738_fms_track_up_active != 0.0f;
    reference = mirror_f(track_up ? s.track : s.heading) - magvar;
  } else {
    return false;
  }
  if (v.has_bearing == 0) {
    v.bearing_deg = gc_bearing_from(own_origin(), v.lat_deg, v.lon_deg);
    v.has_bearing = 1;
  }
  const float brg = v.bearing_deg;
  const float b = navmath::rem360f(navmath::rem360f(brg - reference) + 540.0f) - 180.0f;
  const float b_rad = b * rad_per_deg_f;
  float x = v.d_nm * std::sin(b_rad);
  float y = v.d_nm * std::cos(b_rad);

  // A symbol out of range or outside the first officer's window is still
  // drawn into its slot, only not shown: when the range changes between
  // cycles it must come back with its current type, not a blank one.
  const float scale = tcas_range_scale(mirror_f(s.map_range));
  bool visible = scale != 0.0f;
  x *= scale;
  y *= scale;
  y += display_offset(mirror_f(s.vsd_map), exp_map);
  if (y > 13.0f || y < -5.0f || x < -13.0f || x > 13.0f) visible = false;

  const int i = slot - 1;
  s.x[i] = x;
  s.y[i] = y;
  if (v.cycle != 0) {
    s.arrow[i] = v.vs_fpm > 500.0f ? 2.0f : (v.vs_fpm < -500.0f ? 1.0f : 0.0f);
    // The symbol shows the advisory's level wherever the intruder is, behind
    // too: a crew under an advisory looks for its symbol.
    s.type_show[i] = static_cast<float>(4 - v.level);
  }
  tcas_format_label(v.label_n, s.label[i], 5);
  s.alt_up[i] = v.label_n >= 0 ? 1.0f : 0.0f;
  return visible;
}

// Whether source a goes before source b for a display slot: the higher
// threat level, then the nearer, then the lower source.
bool shown_before(const TcasTargetView& a, int a_source, const TcasTargetView& b, int b_source) {
  if (a.level != b.level) return a.level > b.level;
  if (a.d_nm != b.d_nm) return a.d_nm < b.d_nm;
  return a_source < b_source;
}

// The cycle's choice of the sources the display slots show. A source shown
// already keeps its slot; one new to the display takes its own number's slot
// when that is free (with no more traffic than slots each keeps the slot of
// its number), else the lowest free one.
void choose_display_slots(int count) {
  TcasTrackHistory& h = tcas_track;
  int chosen[kTcasSlots];
  int n = 0;
  for (int source = 1; source <= count && source <= kTcasSources; ++source) {
    const TcasTargetView& v = h.view[source];
    if (v.drawable == 0) continue;
    int at = n < kTcasSlots ? n : kTcasSlots;
    while (at > 0 && shown_before(v, source, h.view[chosen[at - 1]], chosen[at - 1])) --at;
    if (at >= kTcasSlots) continue;
    const int last = n < kTcasSlots ? n : kTcasSlots - 1;
    for (int k = last; k > at; --k) chosen[k] = chosen[k - 1];
    chosen[at] = source;
    if (n < kTcasSlots) ++n;
  }
  bool placed[kTcasSlots] = {};
  for (int slot = 1; slot <= kTcasSlots; ++slot) {
    int keep = -1;
    for (int k = 0; k < n; ++k) {
      if (chosen[k] == h.display_source[slot]) keep = k;
    }
    if (keep < 0) h.display_source[slot] = 0;
    else placed[keep] = true;
  }
  for (int k = 0; k < n; ++k) {
    const int own = chosen[k];
    if (placed[k] || own > kTcasSlots || h.display_source[own] != 0) continue;
    h.display_source[own] = own;
    placed[k] = true;
  }
  int free_slot = 1;
  for (int k = 0; k < n; ++k) {
    if (placed[k]) continue;
    while (free_slot <= kTcasSlots && h.display_source[free_slot] != 0) ++free_slot;
    if (free_slot > kTcasSlots) break;
    h.display_source[free_slot] = chosen[k];
  }
}

}  // namespace

int tcas_multi_threat_sense(const TcasTargetResult* threats, int count) {
  const TcasCycleState& c = tcas_cycle;
  const float step = c.cycle_step_s;
  if (threats == nullptr || count < 2 || !(step > 0.0f)) return -1;
  const float own = c.own_elev_m;
  const float w = (own - c.own_elev_last_cycle_m) / step;
  const float stored = tcas_threat.ra_code;
  const TcasSensitivity sens = current_sensitivity();
  const float required = sens.required_miss_ft;
  bool above = false, below = false;
  for (int i = 0; i < count; ++i) {
    if (threats[i].intruder_elev_m > own) above = true;
    if (threats[i].intruder_elev_m < own) below = true;
  }
  // A sense clears a threat only by leaving it on the side it is on now: a
  // climb toward traffic above, or a descent toward traffic below, would
  // cross its path to gain the miss.
  auto clears_all = [&](bool climb, float rate, float reaction) {
    for (int i = 0; i < count; ++i) {
      const TcasTargetResult& r = threats[i];
      const float range_time = r.range_time_s < sens.ra_time_s ? r.range_time_s : sens.ra_time_s;
      const float pred = own_profile(own, w, rate, reaction, range_time, climb);
      const float side_ft = (climb ? pred - r.predicted_elev_m : r.predicted_elev_m - pred) * ft_per_m;
      const bool on_side = climb ? r.intruder_elev_m < own : r.intruder_elev_m > own;
      if (!on_side || !(side_ft >= required)) return false;
    }
    return true;
  };
  const float radio_alt = host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot;
  // The normal rate of either sense before the stronger one; where only
  // the stronger rate clears them all, a climb or descend comes first and is
  // strengthened once in force.
  const bool can_climb = !above && host_mirror.sim_flightmodel_position_elevation <= 10700.0;
  const bool can_descend = !below && radio_alt >= kNoDescend_ft;
  float climb_reaction = in_force_reaction(stored, step), descend_reaction = climb_reaction;
  if (can_climb) {
    if (!(stored >= 1.0f && stored <= 3.0f)) climb_reaction = random_range(4.0f, 6.0f);
    if (clears_all(true, kRateNormal_ms, climb_reaction)) return 1;
  }
  if (can_descend) {
    if (!(stored >= 4.0f && stored <= 6.0f)) descend_reaction = random_range(4.0f, 6.0f);
    if (clears_all(false, kRateNormal_ms, descend_reaction)) return 4;
  }
  if (can_climb && clears_all(true, kRateStrong_ms, climb_reaction)) return stored == 1.0f || stored == 2.0f ? 2 : 1;
  if (can_descend && radio_alt >= kNoIncreaseDescent_ft && clears_all(false, kRateStrong_ms, descend_reaction))
    return stored == 4.0f || stored == 5.0f ? 5 : 4;
  if (above && below) {
    if (stored == 3.0f || stored == 6.0f) return static_cast<int>(stored);
    return w >= 0.0f ? 3 : 6;
  }
  return -1;
}

TcasSensitivity tcas_sensitivity(bool ta_only, float radio_alt_ft, float altitude_ft) {
  // TA time, RA time (s), RA distance (nm), required miss (ft), TA distance (nm).
  if (ta_only) return {20.0f, 0.0f, 0.0f, 0.0f, 0.3f};
  if (radio_alt_ft < 2350.0f) return {25.0f, 15.0f, 0.2f, 300.0f, 0.33f};
  if (altitude_ft < 5000.0f) return {30.0f, 20.0f, 0.35f, 300.0f, 0.48f};
  if (altitude_ft < 10000.0f) return {40.0f, 25.0f, 0.55f, 350.0f, 0.75f};
  if (altitude_ft < 20000.0f) return {45.0f, 30.0f, 0.8f, 400.0f, 1.0f};
  return {48.0f, 35.0f, 1.1f, 600.0f, 1.3f};
}

float tcas_range_scale(float range_index) {
  static const float kScale[8] = {2.0f, 1.0f, 0.5f, 0.25f, 0.125f, 0.0625f, 0.03125f, 0.015625f};
  for (int i = 0; i < 8; ++i) {
    if (range_index == static_cast<float>(i)) return kScale[i];
  }
  return 0.0f;
}

void tcas_format_label(int n, char* out, int out_size) {
  if (out == nullptr || out_size < 1) return;
  // Two digits of hundreds: the evaluation never labels beyond 8700 ft.
  const int v = n > 99 ? 99 : (n < -99 ? -99 : n);
  // Sign and two digits ("+05", "-12"), cut to the buffer like snprintf; set
  // by hand because every target is labelled every frame.
  const int a = v < 0 ? -v : v;
  const char text[3] = {v >= 0 ? '+' : '-', static_cast<char>('0' + a / 10), static_cast<char>('0' + a % 10)};
  const int n_out = out_size - 1 < 3 ? out_size - 1 : 3;
  for (int k = 0; k < n_out; ++k) out[k] = text[k];
  out[n_out] = '\0';
}

int tcas_source_count() { return tcas_targets_present != 0 ? kTcasSources : kTcasMultiplayerPlanes; }

TcasTargetResult evaluate_tcas_target(int source, float step_s) {
  TcasTargetResult out{};
  if (source < 1 || source > kTcasSources) return out;
  TcasTrackHistory& h = tcas_track;
  TcasTargetView& v = h.view[source];
  v = TcasTargetView{};
  Eval e{};
  e.slot = source;
  e.cycle = tcas_cycle.cycle_flag == 1;
  tcas_threat.slot_distance_nm = kTcasNoThreat_nm;
  // Between cycles an untracked source has nothing to show: most of the
  // host's slots are empty, and this keeps them cheap.
  if (!e.cycle && h.track_counter[source] < 2.0f) return out;
  e.step_s = step_s;
  e.intr = intruder_position(source);
  const TcasCycleState& c = tcas_cycle;
  const float prev_d = h.prev_distance_nm[source];
  const float prev_bearing = h.prev_bearing_deg[source];
  e.prev_elev_m = h.prev_target_elev_m[source];
  e.d_nm = gc_distance_nm_from(own_origin(), e.intr.lat, e.intr.lon);
  if (!(e.d_nm == e.d_nm)) e.d_nm = kTcasNoThreat_nm;  // a NaN position counts as far away
  tcas_threat.slot_distance_nm = e.d_nm;

  if (e.cycle) {
    const bool absent = e.intr.lat == 0.0f && e.intr.lon == 0.0f;
    // Longitude across 180 is a step of a few hundredths, not of 360.
    const bool moved_far = !(std::fabs(e.intr.lat - h.prev_lat_deg[source]) <= 0.3f) ||
                           !(std::fabs(angle::wrap180_nonneg(e.intr.lon - h.prev_lon_deg[source])) <= 0.3f);
    const bool frozen = e.intr.lat == h.prev_lat_deg[source] && e.intr.lon == h.prev_lon_deg[source];
    float& counter = h.track_counter[source];
    if (absent || moved_far) counter = 0.0f;
    const bool jump = absent || moved_far || frozen;
    if (counter == 0.0f) counter = jump ? 0.0f : 1.0f;
    else if (counter == 1.0f) counter = jump ? 0.0f : 2.0f;
    else if (counter >= 2.0f) counter = jump ? counter - 1.0f : counter;
    else counter = 0.0f;
    h.prev_lat_deg[source] = e.intr.lat;
    h.prev_lon_deg[source] = e.intr.lon;
    h.prev_distance_nm[source] = e.d_nm;
    h.prev_target_elev_m[source] = e.intr.elev_m;
    e.bearing_deg = gc_bearing_from(own_origin(), e.intr.lat, e.intr.lon);
    e.has_bearing = true;
    h.prev_bearing_deg[source] = e.bearing_deg;
  }

  e.r_ft = (e.intr.elev_m - c.own_elev_m) * ft_per_m;
  e.p_ft = (c.own_elev_m - e.intr.elev_m) * ft_per_m;
  const float hundreds = e.r_ft / 100.0f;
  bool drawable = false;
  const bool gate = hundreds >= -87.0f && hundreds <= 87.0f && h.track_counter[source] >= 2.0f &&
                    knob::transponder_pos > 0.0f && step_s != 0.0f;
  if (!gate) {
    tcas_threat.slot_distance_nm = kTcasNoThreat_nm;
  } else {
    e.label_n = static_cast<int>(std::floor(hundreds + 0.5f));
    if (!(e.d_nm > kMaxDisplay_nm)) {
      e.sens = current_sensitivity();
      e.ra_vertical_ft = host_mirror.sim_cockpit2_gauges_indicators_altitude_ft_pilot > 20000.0f ? 700.0f : 600.0f;
      if (e.cycle) threat_evaluation(e, prev_d, prev_bearing, out);
      drawable = true;
    }
  }
  // Only other traffic is limited to 2,700 ft: a TA or RA symbol stays
  // steady between the cycles that judge it, whatever its altitude.
  if (e.cycle) h.level[source] = e.level;
  if (h.level[source] == 0 && !(hundreds >= -27.0f && hundreds <= 27.0f)) {
    drawable = false;
    tcas_threat.slot_distance_nm = kTcasNoThreat_nm;
    out.ra_code = 0;
    out.range_time_s = out.vertical_time_s = out.relative_alt_ft = 0.0f;
  }
  v.drawable = drawable ? 1 : 0;
  v.cycle = e.cycle ? 1 : 0;
  v.level = e.level;
  v.label_n = e.label_n;
  v.lat_deg = e.intr.lat;
  v.lon_deg = e.intr.lon;
  v.d_nm = e.d_nm;
  v.bearing_deg = e.bearing_deg;
  v.has_bearing = e.has_bearing ? 1 : 0;
  if (e.cycle) v.vs_fpm = (e.intr.elev_m - e.prev_elev_m) * ft_per_m / e.step_s * 60.0f;
  return out;
}

void tcas_place_targets() {
  TcasTrackHistory& h = tcas_track;
  const int count = tcas_source_count();
  if (tcas_cycle.cycle_flag == 1) choose_display_slots(count);
  for (int slot = 1; slot <= kTcasSlots; ++slot) {
    const int source = h.display_source[slot];
    bool shown[2] = {false, false};
    if (source >= 1 && source <= count && source <= kTcasSources && h.view[source].drawable != 0) {
      for (int side = 0; side < 2; ++side) shown[side] = display_side(kSides[side], slot, h.view[source]);
    }
    EFIS::tcas_ai_show[slot - 1] = shown[0] ? 1.0f : 0.0f;
    EFIS::tcas_ai_show_fo[slot - 1] = shown[1] ? 1.0f : 0.0f;
  }
}

void tcas_clear_state() { tcas_track = TcasTrackHistory{}; }

void tcas_test_pattern() {
  struct Symbol {
    float type, x, y, arrow;
    const char* label;
    float alt_up;
  };
  static const Symbol kPattern[4] = {
      {1.0f, 1.2f, 1.0f, 2.0f, "+00", 0.0f},
      {2.0f, -1.2f, 1.0f, 1.0f, "-05", 0.0f},
      {3.0f, 1.2f, 3.0f, 1.0f, "", 0.0f},
      {4.0f, -1.2f, 3.0f, 2.0f, "+24", 1.0f},
  };
  for (int side = 0; side < 2; ++side) {
    const Side& s = kSides[side];
    for (int i = 0; i < kTcasSlots; ++i) s.type_show[i] = 0.0f;
    if (side == 0) {
      TCAS::traffic_ra = 1.0f;
      TCAS::traffic_ta = 0.0f;
    } else {
      TCAS::traffic_ra_fo = 1.0f;
      TCAS::traffic_ta_fo = 0.0f;
    }
    const float range = mirror_f(s.map_range);
    float f = 0.125f;
    if (range == 0.0f) f = 2.0f;
    else if (range == 1.0f) f = 1.0f;
    else if (range == 2.0f) f = 0.5f;
    else if (range == 3.0f) f = 0.25f;
    const float offset = display_offset(mirror_f(s.vsd_map), mirror_f(s.exp_map));
    for (int i = 0; i < 4; ++i) {
      const Symbol& p = kPattern[i];
      s.type_show[i] = p.type;
      s.x[i] = p.x * f;
      s.y[i] = p.y * f + offset;
      s.arrow[i] = p.arrow;
      s.alt_up[i] = p.alt_up;
      s.visible[i] = 1.0f;
      std::snprintf(s.label[i], 5, "%s", p.label);
    }
    if (side == 0) EFIS::tcas_show = 1.0f;
    else EFIS::tcas_show_fo = 1.0f;
  }
}
