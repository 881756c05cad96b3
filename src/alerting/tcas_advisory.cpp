// TCAS resolution advisory output: takes up the RA command, sequences the
// aural messages with their hold times and repeats, and moves the PFD
// vertical-speed bands of both pilots toward targets from their vertical speed.
//
// Reads: AC transfer bus 1, the transponder knob, TCAS FAIL, a GPWS alert
// standing (tcas_ta_only), the captain's radio altitude, both vertical
// speeds, tcas_threat. Writes: tcas_threat, the
// PFD band values and the TCAS aural flags.
#include <cmath>
#include <initializer_list>

#include "alerting/aural_cues.h"
#include "alerting/tcas.h"
#include "alerting/tcas_values.h"
#include "core/binding.h"
#include "core/frame_values.h"
#include "core/util.h"
#include "systems/electrical/bus_feeds.h"
#include "systems/electrical/electric_values.h"
#include "systems/switches/switch_values.h"

namespace {

struct Message {
  float* flag;
  float hold_s;
};

// Indexed by message code; code 7 and unknown codes raise nothing.
Message message_for(int code) {
  using namespace cue_fmodpack;
  switch (code) {
    case 1: return {&msg_climb_now, 1.5f};
    case 2: return {&msg_climb, 1.0f};
    case 3: return {&msg_increase_climb, 2.0f};
    case 4: return {&msg_descent_now, 1.5f};
    case 5: return {&msg_descent, 1.0f};
    case 6: return {&msg_increase_descent, 2.0f};
    case 8: return {&msg_maint_vert_spd, 2.3f};
    case 9: return {&msg_clear_of_conflict, 2.3f};
    case 10: return {&msg_traffic, 1.5f};
    case 11: return {&msg_mon_vert_spd, 2.3f};
    case 12: return {&msg_adj_vert_spd, 2.3f};
    case 13: return {&msg_cross_climb, 2.3f};
    case 14: return {&msg_cross_descent, 2.3f};
    default: return {nullptr, 0.0f};
  }
}

enum class BandGroup { none, climb, increase_climb, descend, increase_descent, maintain_up, maintain_down, monitor, adjust };

BandGroup band_group(int q, int a) {
  auto is = [&](std::initializer_list<int> set) {
    for (int v : set) {
      if (a == v || (a == 0 && q == v)) return true;
    }
    return false;
  };
  if (is({1, 2, 4})) return BandGroup::climb;
  if (is({3})) return BandGroup::increase_climb;
  if (is({6, 7, 9})) return BandGroup::descend;
  if (is({8})) return BandGroup::increase_descent;
  if (is({5})) return BandGroup::maintain_up;
  if (is({10})) return BandGroup::maintain_down;
  if (is({12})) return BandGroup::monitor;
  if (is({11})) return BandGroup::adjust;
  return BandGroup::none;
}

float g4(float k) {
  if (k < -256.0f) return 4.0f;
  if (k > 256.0f) return -4.0f;
  return 4.0f - (k + 256.0f) * 8.0f * 0.001953125f;
}

float g6(float k) {
  if (k < -676.0f) return 6.0f;
  if (k > 676.0f) return -6.0f;
  return 6.0f - (k + 676.0f) * 12.0f / 1352.0f;
}

struct Targets {
  float up, down;
};

Targets band_targets(BandGroup g, float vs, float captured) {
  auto u_of = [](float v, float lo, float hi, float centre) { return (clamp_range(v, lo, hi) + centre) / 100.0f; };
  Targets t{0.0f, 0.0f};
  float u = 0.0f;
  switch (g) {
    case BandGroup::climb: u = u_of(vs, 0.0f, 3200.0f, -1600.0f); t.up = g4(u * std::abs(u)) - 1.0f; return t;
    case BandGroup::increase_climb: u = u_of(vs, 0.0f, 5200.0f, -2600.0f); t.up = g6(u * std::abs(u)) - 1.0f; return t;
    case BandGroup::descend: u = u_of(vs, -3200.0f, 0.0f, 1600.0f); t.down = g4(u * std::abs(u)) + 1.0f; return t;
    case BandGroup::increase_descent:
      u = u_of(vs, -5200.0f, 0.0f, 2600.0f);
      t.down = g6(u * std::abs(u)) + 1.0f;
      return t;
    case BandGroup::maintain_up:
    case BandGroup::maintain_down:
    case BandGroup::monitor: u = clamp_range(vs - captured, -2600.0f, 2600.0f) / 100.0f; break;
    case BandGroup::adjust: u = clamp_range(vs, -2600.0f, 2600.0f) / 100.0f; break;
    case BandGroup::none: return t;
  }
  if (u >= 0.0f) {
    t.up = g6(u * u) - 1.0f;
    t.down = t.up + 2.0f;
  } else {
    t.down = g6(-(u * u)) + 1.0f;
    t.up = t.down - 2.0f;
  }
  return t;
}

// A resolution command: anything but none and traffic.
bool is_resolution(float command) { return command != 0.0f && command != ra_cmd::traffic; }

void clear_advisory() {
  TcasThreatState& t = tcas_threat;
  t.threat_distance_nm = kTcasNoThreat_nm;
  t.worst_level = 0;
  t.active_advisories = 0;
  t.advisory_issued = 0;
  TCAS::tcas_nearest_ra_msg = 0.0f;
  TCAS::tcas_pfd_ra_up = 0.0f;
  TCAS::tcas_pfd_ra_dn = 0.0f;
  tcas_msgs_reset();
  t.ra_command = t.message_code = t.repeat_count = t.message_hold_s = 0.0f;
  t.announcement = t.command_in_force = t.ra_code = t.threat_rel_alt_ft = 0.0f;
  t.ra_sense = 0.0f;
  t.sense_reversed = 0;
  t.named_code = t.named_sense = 0.0f;
  t.corrective_s = 0.0f;
}

// Two-part announcements: first part on R = 2, second on R = 1.
bool two_part(int a, int* first, int* second) {
  switch (a) {
    case 1: *first = 2; *second = 1; return true;
    case 2: *first = 2; *second = 2; return true;
    case 3: *first = 3; *second = 3; return true;
    case 4: *first = 2; *second = 13; return true;
    case 6: *first = 5; *second = 4; return true;
    case 7: *first = 5; *second = 5; return true;
    case 8: *first = 6; *second = 6; return true;
    case 9: *first = 5; *second = 14; return true;
    default: return false;
  }
}

}  // namespace

void tcas_msgs_reset() {
  using namespace cue_fmodpack;
  float* const flags[] = {&msg_climb_now,       &msg_climb,         &msg_increase_climb, &msg_descent_now,
                          &msg_descent,         &msg_increase_descent, &msg_maint_vert_spd, &msg_clear_of_conflict,
                          &msg_traffic,         &msg_mon_vert_spd,  &msg_adj_vert_spd,   &msg_cross_climb,
                          &msg_cross_descent};
  for (float* f : flags) *f = 0.0f;
}

void tcas_resolution_advisory() {
  TcasThreatState& t = tcas_threat;
  const float radio_alt = host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot;
  const float knob = knob::transponder_pos;
  // A failed computer leaves no advisory standing on the displays.
  if (!fed(Consumer::tcas) || (knob != 5.0f && knob != 4.0f) || radio_alt < 500.0f ||
      tcas_failed()) {
    clear_advisory();
    return;
  }
  // TA ONLY keeps the traffic message; a resolution advisory running when
  // the knob is turned there, or when a GPWS alert takes over, ends at once,
  // bands and all.
  const bool voice_waits = tcas_ta_only.gpws_inhibit != 0;
  if ((knob == 4.0f || voice_waits) && (is_resolution(t.ra_command) || is_resolution(t.command_in_force) ||
                                        is_resolution(t.announcement))) {
    clear_advisory();
  }

  if (voice_waits) {
    // Nothing is said over the GPWS: a call under way stops and counts as
    // not said; a command not yet announced is taken up, and announced,
    // once the alert has ended if it still stands.
    if (t.message_hold_s != 0.0f || t.repeat_count != 0.0f) t.command_in_force = 0.0f;
    tcas_msgs_reset();
    t.announcement = t.message_code = t.repeat_count = t.message_hold_s = 0.0f;
  } else if (t.message_hold_s == 0.0f &&
             (t.repeat_count == 0.0f || t.ra_command == ra_cmd::clear_of_conflict)) {
    // Clear of conflict does not wait for the second part of an announcement
    // the advisory it ends no longer needs.
    const float q = t.ra_command;
    const float f = t.command_in_force;
    if (q == f || (q == 2.0f && f == 1.0f) || (q == 7.0f && f == 6.0f)) {
      t.announcement = 0.0f;
    } else if (q == 14.0f) {
      t.announcement = 14.0f;
      t.ra_command = 0.0f;
      t.command_in_force = 0.0f;
    } else {
      t.announcement = q;
      t.command_in_force = q;
    }
  }

  const BandGroup g = band_group(static_cast<int>(t.ra_command), static_cast<int>(t.announcement));
  const float vs[2] = {host_mirror.sim_cockpit2_gauges_indicators_vvi_fpm_pilot,
                       host_mirror.sim_cockpit2_gauges_indicators_vvi_fpm_copilot};
  const bool up = g == BandGroup::climb || g == BandGroup::increase_climb || g == BandGroup::maintain_up ||
                  g == BandGroup::monitor || g == BandGroup::adjust;
  const bool down = g == BandGroup::descend || g == BandGroup::increase_descent || g == BandGroup::maintain_down ||
                    g == BandGroup::monitor || g == BandGroup::adjust;
  TCAS::tcas_pfd_ra_up = up ? 1.0f : 0.0f;
  TCAS::tcas_pfd_ra_dn = down ? 1.0f : 0.0f;
  float* const up_out[2] = {&TCAS::tcas_pfd_ra_up2, &TCAS::tcas_pfd_ra_up2_fo};
  float* const dn_out[2] = {&TCAS::tcas_pfd_ra_dn2, &TCAS::tcas_pfd_ra_dn2_fo};
  for (int side = 0; side < 2; ++side) {
    const Targets target = band_targets(g, vs[side], t.captured_vs_fpm[side]);
    if (up) {
      t.up_band[side] = lag_toward(t.up_band[side], target.up, -15.0f, 15.0f, 1.5f);
      *up_out[side] = t.up_band[side];
    }
    if (down) {
      t.down_band[side] = lag_toward(t.down_band[side], target.down, -15.0f, 15.0f, 1.5f);
      *dn_out[side] = t.down_band[side];
    }
  }

  if (voice_waits) return;
  const int a = static_cast<int>(t.announcement);
  int first = 0, second = 0;
  if (two_part(a, &first, &second)) {
    if (t.repeat_count == 0.0f) t.repeat_count = 2.0f;
    else if (t.repeat_count == 2.0f) t.message_code = static_cast<float>(first);
    else if (t.repeat_count == 1.0f) t.message_code = static_cast<float>(second);
  } else if (a != 0) {
    int single = 0;
    switch (a) {
      case 5: case 10: single = 8; break;
      case 11: single = 12; break;
      case 12: single = 11; break;
      case 13: single = 10; break;
      case 14: single = 9; break;
      default: break;
    }
    t.repeat_count = 0.0f;
    if (single != 0) t.message_code = static_cast<float>(single);
  }

  if (t.message_hold_s == 0.0f) {
    const int code = static_cast<int>(t.message_code);
    if (code == 0) {
      tcas_msgs_reset();
    } else {
      const Message m = message_for(code);
      if (m.flag != nullptr) *m.flag = 1.0f;
      t.message_hold_s = m.hold_s;
    }
  } else {
    t.message_hold_s -= frame_time;
    if (t.message_hold_s <= 0.0f) {
      t.message_hold_s = 0.0f;
      tcas_msgs_reset();
      t.message_code = 0.0f;
      t.repeat_count -= 1.0f;
      if (!(t.repeat_count > 0.0f)) t.repeat_count = 0.0f;
    }
  }
}
