// Radio sections of the systems frame: the transponder mode sent to the host,
// the two ADF receivers (frequency limits, panel readouts, power), the two
// RMI needles and the VOR/DME and ADF fail flags of the primary displays.
// Reads: the transponder knob and test flag, the ADF panel switches, the
// host's ADF and NAV indications, the buses that feed the receivers and the
// transponder.
// Writes: host transponder mode, ADF frequencies and power (each on change);
// the published readouts, needles and flags.
#include <cmath>

#include "core/binding.h"
#include "core/frame_values.h"
#include "core/util.h"
#include "systems/aircraft_systems.h"
#include "systems/electrical/bus_feeds.h"
#include "systems/radios/comm_values.h"
#include "systems/radios/transponder_code.h"
#include "systems/delay_timers.h"
#include "systems/electrical/electric_values.h"
#include "core/host_io.h"
#include "systems/instruments/instrument_values.h"
#include "systems/switches/switch_values.h"

namespace {

// Per needle: whether it is turning toward a new source's bearing.
struct RmiNeedleState {
  int32_t last_source;  // 0 VOR, 1 ADF
  int32_t slewing;
};
RmiNeedleState rmi_needles[2];

constexpr int32_t kAdfMinKhz = 190;
constexpr int32_t kAdfMaxKhz = 1750;
constexpr int32_t kNavTypeVor = 4;

struct AdfReceiver {
  bound::Id standby, active, power;
  Consumer supply;  // the receiver's supply, as its fail flag reads it
  const float* off_on;
  const float* antenna;
  float* freq_int;
  float* freq_frac;
  float* act_int;
  float* act_frac;
};

const AdfReceiver kAdf[2] = {
    {bound::sim_cockpit2_radios_actuators_adf1_standby_frequency_hz, bound::sim_cockpit2_radios_actuators_adf1_frequency_hz,
     bound::sim_cockpit2_radios_actuators_adf1_power, Consumer::adf1, &toggle_switch::off_on1, &toggle_switch::adf_ant1,
     &radio::adf1_freq_int, &radio::adf1_freq_frac, &radio::adf1_act_freq_int, &radio::adf1_act_freq_frac},
    {bound::sim_cockpit2_radios_actuators_adf2_standby_frequency_hz, bound::sim_cockpit2_radios_actuators_adf2_frequency_hz,
     bound::sim_cockpit2_radios_actuators_adf2_power, Consumer::adf2, &toggle_switch::off_on2, &toggle_switch::adf_ant2,
     &radio::adf2_freq_int, &radio::adf2_freq_frac, &radio::adf2_act_freq_int, &radio::adf2_act_freq_frac},
};

// A frequency brought into the receiver's band, written back when it moved.
int32_t limit_frequency(bound::Id id) {
  const int32_t f = mirror_i(id);
  if (f < kAdfMinKhz) {
    host_set_i(id, kAdfMinKhz);
    return kAdfMinKhz;
  }
  if (f > kAdfMaxKhz) {
    host_set_i(id, kAdfMaxKhz);
    return kAdfMaxKhz;
  }
  return f;
}

struct NeedleInputs {
  const int32_t* use_adf;
  // Each receiver gives a bearing only with its own power, as the displays'
  // fail flags say.
  bool nav_powered;
  const char* nav_id;
  const float* nav_bearing;
  int32_t nav_type;
  float nav_horizontal;
  bool adf_powered;
  const char* adf_id;
  const float* adf_bearing;
  float* arrow;
  float* no_available;
};

void rmi_needle(RmiNeedleState& s, const NeedleInputs& in) {
  const int32_t source = *in.use_adf != 0 ? 1 : 0;
  float angle;
  float no_signal;
  if (source == 0) {
    angle = *in.nav_bearing;
    no_signal = (in.nav_id[0] == '\0' || in.nav_type != kNavTypeVor || in.nav_horizontal == 0.0f) ? 1.0f : 0.0f;
  } else {
    angle = *in.adf_bearing;
    no_signal = in.adf_id[0] == '\0' ? 1.0f : 0.0f;
  }
  if (!(source == 0 ? in.nav_powered : in.adf_powered)) no_signal = 1.0f;
  *in.no_available = move_toward_timed(*in.no_available, no_signal, 0.0f, 1.0f, 0.08f);
  if (source != s.last_source) s.slewing = 1;
  s.last_source = source;
  if (s.slewing == 1) {
    const float turned = turn_toward_heading(*in.arrow, angle, 6.0f);
    // Compare the short way round: a needle at 359 is within a degree of 0.
    float d = std::fabs(std::fmod(turned - angle + 540.0f, 360.0f) - 180.0f);
    if (!(d > 1.0f)) {
      s.slewing = 0;
      *in.arrow = angle;
    } else {
      *in.arrow = turned;
    }
  } else {
    *in.arrow = angle;
  }
}

}  // namespace

void transponder_mode_to_host() {
  // Without its power the transponder replies to nothing, whatever the knob:
  // the host's is off.
  const int32_t mode =
      fed(Consumer::transponder)
          ? host_transponder_mode(knob::transponder_pos, delay_flags.xpndr_test_flag != 0.0f, host_version)
          : 0;
  host_set_i(bound::sim_cockpit2_radios_actuators_transponder_mode, mode);
}

void update_adf() {
  for (const AdfReceiver& r : kAdf) {
    const int32_t standby = limit_frequency(r.standby);
    const int32_t active = limit_frequency(r.active);
    *r.freq_int = static_cast<float>(standby / 1000);
    *r.freq_frac = static_cast<float>(standby - (standby / 1000) * 1000);
    const float act_int = std::floor(static_cast<float>(active) / 1000.0f);
    *r.act_int = act_int;
    *r.act_frac = static_cast<float>(active) - act_int * 1000.0f;
    // Off at its switch or without its DC bus the host's receiver is off.
    int32_t power = 1;
    if (*r.off_on == 0.0f || !fed(r.supply)) {
      power = 0;
    } else if (*r.antenna == 0.0f) {
      power = 2;
    }
    host_set_i(r.power, power);
  }
  const HostMirror& m = host_mirror;
  rmi_needle(rmi_needles[0], {&m.sim_cockpit2_radios_actuators_RMI_left_use_adf_pilot, fed(Consumer::vor_dme1),
                              m.sim_cockpit2_radios_indicators_nav1_nav_id,
                              &m.sim_cockpit2_radios_indicators_nav1_relative_bearing_deg, m.sim_cockpit2_radios_indicators_nav1_type,
                              m.sim_cockpit2_radios_indicators_nav1_display_horizontal, fed(Consumer::adf1),
                              m.sim_cockpit2_radios_indicators_adf1_nav_id,
                              &m.sim_cockpit2_radios_indicators_adf1_relative_bearing_deg, &radio::arrow1,
                              &radio::arrow1_no_available});
  rmi_needle(rmi_needles[1],
             {&m.sim_cockpit2_radios_actuators_RMI_right_use_adf_pilot, fed(Consumer::vor_dme2),
              m.sim_cockpit2_radios_indicators_nav2_nav_id,
              &m.sim_cockpit2_radios_indicators_nav2_relative_bearing_deg, m.sim_cockpit2_radios_indicators_nav2_type,
              static_cast<float>(m.sim_cockpit2_radios_indicators_nav2_display_horizontal), fed(Consumer::adf2),
              m.sim_cockpit2_radios_indicators_adf2_nav_id, &m.sim_cockpit2_radios_indicators_adf2_relative_bearing_deg,
              &radio::arrow2, &radio::arrow2_no_available});
}

// A needle turning when the aircraft was loaded would go on turning from a
// bearing of the old situation; after a load each starts as at start-up.
void rmi_needles_reset() {
  for (RmiNeedleState& s : rmi_needles) s = RmiNeedleState{};
}

void update_nav_fail_flags() {
  pfd::vor_dme1_fail = fed(Consumer::vor_dme1) ? 0.0f : 1.0f;
  pfd::adf1_fail = fed(Consumer::adf1) ? 0.0f : 1.0f;
  pfd::vor_dme2_fail = fed(Consumer::vor_dme2) ? 0.0f : 1.0f;
  pfd::adf2_fail = fed(Consumer::adf2) ? 0.0f : 1.0f;
}
