// Exterior and cockpit lights (see lights.h).
#include "systems/lights/lights.h"

#include <cmath>

#include "core/host_io.h"
#include "core/command_refs.h"
#include "core/binding.h"
#include "core/frame_values.h"
#include "core/restored_travel.h"
#include "core/saved_travels.h"
#include "core/util.h"
#include "core/variant.h"
#include "systems/air/air_values.h"
#include "systems/electrical/bus_feeds.h"
#include "systems/lights/cabin_light_values.h"
#include "systems/electrical/electric_values.h"
#include "systems/electrical/electrical.h"
#include "systems/switches/panel_io.h"
#include "systems/switches/switch_values.h"
#include "systems/systems_steps.h"

ExteriorLightsState lights_state;

namespace {

// ---- cabin equipment loads, amperes ----
constexpr float kIfeLoadA = 27.0f;
constexpr float kCabinUtilityLoadA = 11.0f;
constexpr float kRecircFanLoadA = 4.0f;
constexpr float kBusTransferOpenLoadA = -150.0f;
constexpr float kApuGenOnlineN1 = 95.0f;
constexpr float kShedRadioAltFt = 50.0f;

// ---- flash cycle, seconds ----
constexpr float kFlashCycleS = 1.4f;
constexpr float kStrobeOnS = 0.05f;
constexpr float kBeaconStartS = 0.2f;
constexpr float kBeaconEndS = 0.25f;
constexpr float kLedBeaconOnS = 0.1f;
constexpr float kLedWingEndS = 0.35f;

constexpr float kPowerGapS = 0.15f;  // lamps drop out while an AC source switches
constexpr float kRetractRate = 3.0f;
constexpr float kPulseRate = 1.5f;
constexpr float kPulseFloor = 0.2f;
constexpr float kLedGlow = 0.15f;

// Generic light elements of the host.
enum Generic : int {
  g_wing = 0,
  g_logo = 1,
  g_turnoff_left = 2,
  g_turnoff_right = 3,
  g_taxi = 4,
  g_wheel_well = 5,
  g_dome = 9,
  g_emergency_exit = 98,
};
constexpr int kInstrumentCompass = 6;
constexpr int kBrightnessSend = 32;

HostMirror& hm = host_mirror;


void add_bus_loads() {
  const int32_t* burning = hm.sim_flightmodel2_engines_engine_is_burning_fuel;
  const int32_t* gen = hm.sim_cockpit2_electrical_generator_on;
  const bool eng1_online = burning[0] == 1 && gen[0] == 1;
  const bool eng2_online = burning[1] == 1 && gen[1] == 1;
  const bool apu_up = hm.sim_cockpit2_electrical_APU_N1_percent > kApuGenOnlineN1;
  // The APU is a side's source once its generator is connected there; the
  // spring-loaded switch is only held down for the moment of the press.
  const bool left_source = (apu_up && electrical::apu_power_bus1 != 0.0f) || eng1_online;
  const bool right_source = (apu_up && electrical::apu_power_bus2 != 0.0f) || eng2_online;
  const bool ife = toggle_switch::ife_pass_seat_pos == 1.0f;
  float left = ife && fed(Consumer::ife_seat_power_left) ? kIfeLoadA : 0.0f;
  float right = ife && fed(Consumer::ife_seat_power_right) ? kIfeLoadA : 0.0f;
  // In flight without an engine generator the cabin utility is shed.
  const bool shed =
      hm.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot > kShedRadioAltFt && !eng1_online && !eng2_online;
  if (toggle_switch::cab_util_pos == 1.0f && !shed) {
    if (left_source && fed(Consumer::cabin_utility_left)) left += kCabinUtilityLoadA;
    if (right_source && fed(Consumer::cabin_utility_right)) right += kCabinUtilityLoadA;
  }
  plugin_bus_loads[0] += left + electric::apu_start_load;
  plugin_bus_loads[1] += right + electric::apu_start_load;
  if (air::l_recirc_fan_pos == 1.0f && fed(Consumer::recirc_fan_left)) plugin_bus_loads[0] += kRecircFanLoadA;
  if (air::r_recirc_fan_pos == 1.0f && fed(Consumer::recirc_fan_right)) plugin_bus_loads[1] += kRecircFanLoadA;
  plugin_bus_loads[2] = hm.sim_cockpit2_electrical_cross_tie == 0 ? kBusTransferOpenLoadA : 0.0f;
}

// The generic host aircraft's lights look far too bright from outside on host 12.
void outside_view_scales() {
  ExteriorLightsState& s = lights_state;
  const bool dim = hm.sim_graphics_view_view_is_external != 0 && host_version >= 120000 && variant_index < 0;
  s.external_view_taxi_scale = dim ? 0.05f : 1.0f;
  s.external_view_turnoff_scale = dim ? 0.15f : 1.0f;
}

void run_gap(float& gap, float& factor, float lost_pulse) {
  if (gap != 0.0f) {
    gap -= frame_time;
    // Landing exactly on 0 ends the gap too, or the lamps would stay dark.
    if (!(gap > 0.0f)) {
      gap = 0.0f;
      factor = 1.0f;
    }
  }
  if (lost_pulse != 0.0f) {
    gap = kPowerGapS;
    factor = 0.0f;
  }
}

// A retractable lamp burns with its switch at ON (2), whatever put the
// switch there: a command, the scripts' panel apply, a restore, or a reset
// that left it where it was.
void retractable_lamps_follow_switches() {
  ExteriorLightsState& s = lights_state;
  s.retractable_landing_left_on = switch_::land_lights_ret_left_pos == 2.0f ? 1.0f : 0.0f;
  s.retractable_landing_right_on = switch_::land_lights_ret_right_pos == 2.0f ? 1.0f : 0.0f;
}

void retractable_extension() {
  if (!fed(Consumer::retractable_landing_lights)) return;
  const float left = switch_::land_lights_ret_left_pos > 0.0f ? 1.0f : 0.0f;
  const float right = switch_::land_lights_ret_right_pos > 0.0f ? 1.0f : 0.0f;
  lights::land_ret_left_pos = lag_toward(lights::land_ret_left_pos, left, 0.0f, 1.0f, kRetractRate);
  lights::land_ret_right_pos = lag_toward(lights::land_ret_right_pos, right, 0.0f, 1.0f, kRetractRate);
}

void logo_turnoff_taxi() {
  const ExteriorLightsState& s = lights_state;
  float* g = hm.sim_cockpit2_switches_generic_lights_switch;
  bool changed = set_element(g, g_logo, toggle_switch::logo_light * fed01(Consumer::logo_light));
  changed |= set_element(g, g_turnoff_left,
                         fed01(Consumer::turnoff_light_left) * toggle_switch::rwy_light_left * s.light_power_factor_a *
                             s.external_view_turnoff_scale);
  changed |= set_element(g, g_turnoff_right,
                         fed01(Consumer::turnoff_light_right) * toggle_switch::rwy_light_right * s.light_power_factor_b *
                             s.external_view_turnoff_scale);
  changed |= set_element(
      g, g_taxi, s.taxi_light_level * fed01(Consumer::taxi_light) * s.light_power_factor_a * s.external_view_taxi_scale);
  if (changed) host_send_vf(bound::sim_cockpit2_switches_generic_lights_switch, g, 5);
}

// The host owns the strobe and navigation switches: they are moved with its
// commands, one per frame until its switch follows. Each lamp goes out with
// its own power, whatever the switch.
void nav_strobe_commands() {
  const bool strobe_on = hm.sim_cockpit2_switches_strobe_lights_on == 1;
  const bool nav_on = hm.sim_cockpit2_switches_navigation_lights_on == 1;
  const bool strobe_off = hm.sim_cockpit2_switches_strobe_lights_on == 0;
  const bool nav_off = hm.sim_cockpit2_switches_navigation_lights_on == 0;
  const float pos = toggle_switch::position_light_pos;
  const bool nav_wanted = fed(Consumer::position_lights) && pos != 0.0f;
  const bool strobe_wanted = fed(Consumer::strobe_lights) && pos != 0.0f && pos != -1.0f;
  if (!strobe_wanted && strobe_on) issue_command_once(HostCmd::lights_strobe_lights_off);
  if (!nav_wanted && nav_on) issue_command_once(HostCmd::lights_nav_lights_off);
  if (strobe_wanted && strobe_off) issue_command_once(HostCmd::lights_strobe_lights_on);
  if (nav_wanted && nav_off) issue_command_once(HostCmd::lights_nav_lights_on);
}

// One step of the flash cycle; the powers are those of the strobes' and the
// beacons' lamps.
void flash_cycle(float strobe_power, float beacon_power, float step_s) {
  ExteriorLightsState& s = lights_state;
  const bool strobes_dark = strobe_power == 0.0f || hm.sim_cockpit2_switches_strobe_lights_on == 0;
  const bool beacon_dark = beacon_power == 0.0f || hm.sim_cockpit2_switches_beacon_on == 0;
  bool restarted = false;
  if (strobes_dark && beacon_dark) {
    s.strobe_flash_phase = 0.0f;
  } else {
    s.strobe_flash_phase += step_s;
    if (s.strobe_flash_phase > kFlashCycleS) {
      s.strobe_flash_phase = 0.0f;
      restarted = true;
    }
  }
  const float t = s.strobe_flash_phase;
  if (script_mirror.zuvadud_D738_effects_long_led_strobes == 0.0f) {
    if (restarted) s.beacon_flash_latch = 0.0f;
    s.wing_strobe_flash = t <= kStrobeOnS ? 1.0f : 0.0f;
    s.tail_strobe_flash = s.wing_strobe_flash;
    // The latch lights the beacon for at least one frame of every cycle,
    // however long the frames are.
    if (s.beacon_flash_latch == 0.0f && t >= kBeaconStartS) {
      s.beacon_flash = 1.0f;
      s.beacon_flash_latch = 1.0f;
    } else if (s.beacon_flash_latch == 1.0f && t > kBeaconEndS) {
      s.beacon_flash = 0.0f;
    }
  } else {
    s.beacon_flash = t <= kLedBeaconOnS ? 1.0f : 0.0f;
    s.tail_strobe_flash = t <= kStrobeOnS ? 1.0f : 0.0f;
    s.wing_strobe_flash = (t > kStrobeOnS && t < kLedWingEndS) ? 1.0f : 0.0f;
  }
  if (strobes_dark) {
    s.wing_strobe_flash = 0.0f;
    s.tail_strobe_flash = 0.0f;
  }
  if (beacon_dark) s.beacon_flash = 0.0f;
}

// always_send: the replay path sends both arrays every frame.
void send_flash(bool always_send) {
  const ExteriorLightsState& s = lights_state;
  float* beacon = hm.sim_flightmodel2_lights_beacon_brightness_ratio;
  float* strobe = hm.sim_flightmodel2_lights_strobe_brightness_ratio;
  bool b = false;
  for (int i = 0; i < 4; ++i) b |= set_element(beacon, i, s.beacon_flash);
  bool st = set_element(strobe, 0, s.wing_strobe_flash);
  st |= set_element(strobe, 1, s.wing_strobe_flash);
  st |= set_element(strobe, 2, s.wing_strobe_flash);
  st |= set_element(strobe, 3, s.tail_strobe_flash);
  if (b || always_send) host_send_vf(bound::sim_flightmodel2_lights_beacon_brightness_ratio, beacon, 4);
  if (st || always_send) host_send_vf(bound::sim_flightmodel2_lights_strobe_brightness_ratio, strobe, 4);
}

// The cockpit sees the flash only when the scripts ask for the reflection.
void strobe_flash_now() {
  const ExteriorLightsState& s = lights_state;
  const bool lit = s.wing_strobe_flash != 0.0f || s.tail_strobe_flash != 0.0f || s.beacon_flash != 0.0f;
  const bool wanted = script_mirror.zuvadud_D738_strobe_cockpit != 0.0f;
  host_set_i(bound::sim_flightmodel2_lights_strobe_flash_now, (lit && wanted) ? 1 : 0);
}

void override_beacons() {
  host_set_i(bound::sim_flightmodel2_lights_override_beacons_and_strobes, 1);
}

void landing_lights() {
  ExteriorLightsState& s = lights_state;
  retractable_lamps_follow_switches();
  s.fixed_landing_left_on = nonzero(switch_::land_lights_left_pos) ? 1.0f : 0.0f;
  s.fixed_landing_right_on = nonzero(switch_::land_lights_right_pos) ? 1.0f : 0.0f;
  const bool fixed_both = s.fixed_landing_left_on == 1.0f && s.fixed_landing_right_on == 1.0f;
  const bool ret_both = s.retractable_landing_left_on == 1.0f && s.retractable_landing_right_on == 1.0f;
  const int mode = (fixed_both && ret_both) ? 1 : fixed_both ? 2 : ret_both ? 3 : 0;
  const bool led = script_mirror.zuvadud_D738_led_lights == 1.0f;
  const float glow = (hm.sim_cockpit2_switches_generic_lights_switch[g_taxi] != 0.0f && led) ? kLedGlow : 0.0f;
  const float scale = s.external_view_taxi_scale;
  // Each retractable lamp is fed from the other side's AC, its gap included,
  // so a lost side leaves a landing light burning on each wing.
  const float a1 = s.light_power_factor_a * scale;
  const float a2 = s.light_power_factor_b * scale;
  const float fixed_l = fed01(Consumer::fixed_landing_light_left) * a1;
  const float ret_l = fed01(Consumer::retractable_landing_lamp_left) * a2;
  const float ret_r = fed01(Consumer::retractable_landing_lamp_right) * a1;
  const float fixed_r = fed01(Consumer::fixed_landing_light_right) * a2;
  float out[4] = {std::fmax(s.fixed_landing_left_on, glow) * fixed_l, s.retractable_landing_left_on * ret_l,
                  s.retractable_landing_right_on * ret_r, std::fmax(s.fixed_landing_right_on, glow) * fixed_r};
  if (script_mirror.zuvadud_D738_effects_pulse_lite == 1.0f && mode != 0) {
    // Wig-wag: the two sides swap brightness over a cycle of 2 / 1.5 s.
    float& phase = s.landing_pulse_phase;
    phase += (s.landing_pulse_falling == 0.0f ? kPulseRate : -kPulseRate) * frame_time;
    if (phase > 1.0f) {
      phase = 1.0f;
      s.landing_pulse_falling = 1.0f;
    } else if (phase < 0.0f) {
      phase = 0.0f;
      s.landing_pulse_falling = 0.0f;
    }
    const float p = std::fmax(phase, kPulseFloor);
    const float q = std::fmax(1.0f - phase, kPulseFloor);
    if (mode == 1) {
      out[0] = p * fixed_l;
      out[1] = p * ret_l;
      out[2] = q * ret_r;
      out[3] = q * fixed_r;
    } else if (mode == 2) {
      out[0] = p * fixed_l;
      out[3] = q * fixed_r;
    } else {
      out[1] = p * ret_l;
      out[2] = q * ret_r;
    }
  } else {
    s.landing_pulse_phase = 0.0f;
    s.landing_pulse_falling = 0.0f;
  }
  float* host = hm.sim_cockpit2_switches_landing_lights_switch;
  bool changed = false;
  for (int i = 0; i < 4; ++i) changed |= set_element(host, i, out[i]);
  if (changed) host_send_vf(bound::sim_cockpit2_switches_landing_lights_switch, host, 4);
  // The LED fit has no retractable lights: their switches fall back.
  if (led) {
    s.retractable_landing_left_on = 0.0f;
    s.retractable_landing_right_on = 0.0f;
    bool lit = set_element(host, 1, 0.0f);
    lit |= set_element(host, 2, 0.0f);
    if (lit) host_send_vf(bound::sim_cockpit2_switches_landing_lights_switch, host, 4);
    switch_::land_lights_ret_left_pos = 0.0f;
    switch_::land_lights_ret_right_pos = 0.0f;
  }
}

void compass_and_dome() {
  const bool host12 = host_version >= 120000;
  const float compass_pos = toggle_switch::compass_brightness_pos;
  const float c = compass_pos == 1.0f ? 1.0f : compass_pos == -1.0f ? (host12 ? 0.15f : 0.33f) : 0.0f;
  float* ratio = hm.sim_cockpit2_switches_instrument_brightness_ratio;
  if (set_element(ratio, kInstrumentCompass, c * fed01(Consumer::compass_light))) {
    host_send_vf(bound::sim_cockpit2_switches_instrument_brightness_ratio, ratio, kBrightnessSend);
  }
  const float dome_pos = toggle_switch::cockpit_dome_pos;
  const float d = dome_pos == 1.0f ? (host12 ? 0.2f : 0.4f) : dome_pos == -1.0f ? 1.0f : 0.0f;
  float* g = hm.sim_cockpit2_switches_generic_lights_switch;
  if (set_element(g, g_dome, d * fed01(Consumer::dome_lights))) {
    host_send_vf(bound::sim_cockpit2_switches_generic_lights_switch, g, kBrightnessSend);
  }
}

void wing_wheel_and_panels() {
  float* g = hm.sim_cockpit2_switches_generic_lights_switch;
  bool changed = set_element(g, g_wing, nonzero(toggle_switch::wing_light) ? fed01(Consumer::wing_lights) : 0.0f);
  changed |= set_element(g, g_wheel_well, nonzero(toggle_switch::wheel_light) ? fed01(Consumer::wheel_well_lights) : 0.0f);
  // The cockpit's own panel and flood light channels, on the panel lights' power.
  const float panel = fed01(Consumer::panel_lights);
  const int channels[] = {6, 7, 12, 8, 10, 11};
  for (int i : channels) changed |= set_element(g, i, electric::generic_brightness[i] * panel);
  if (changed) host_send_vf(bound::sim_cockpit2_switches_generic_lights_switch, g, kBrightnessSend);
}

void emergency_exit_lights() {
  ExteriorLightsState& s = lights_state;
  const float sw = toggle_switch::emer_exit_lights;
  const bool buses_out = !fed(Consumer::emergency_exit_lights_ac);
  const bool lit = s.emergency_exit_charge != 0.0f && sw != 0.0f &&
                   (sw != 1.0f || !fed(Consumer::emergency_exit_lights_armed) || buses_out);
  float* g = hm.sim_cockpit2_switches_generic_lights_switch;
  if (set_element(g, g_emergency_exit, lit ? 1.0f : 0.0f)) {
    host_send_vf(bound::sim_cockpit2_switches_generic_lights_switch, g, g_emergency_exit + 1);
  }
  if (sw <= 1.0f && fed(Consumer::emergency_exit_lights_armed) && elec_bus_status.dc_bus1_volts > 12.0f) {
    if (s.emergency_exit_charge < kEmergencyExitFullS) {
      s.emergency_exit_charge += (lit ? 0.25f : 0.5f) * frame_time;
      if (s.emergency_exit_charge > kEmergencyExitFullS) s.emergency_exit_charge = kEmergencyExitFullS;
    }
  } else if (lit) {
    s.emergency_exit_charge -= frame_time;
    if (s.emergency_exit_charge < 0.0f) s.emergency_exit_charge = 0.0f;
  }
}

}  // namespace

float taxi_level_for_position(float position) {
  if (position == 1.0f) return 0.5f;
  if (position == 2.0f) return 1.0f;
  return 0.0f;
}

void update_exterior_lights() {
  ExteriorLightsState& s = lights_state;
  s.replay_flash_step = 0.0f;
  s.replay_last_time = 0.0f;
  add_bus_loads();
  outside_view_scales();
  run_gap(s.light_power_gap_a, s.light_power_factor_a, electric::lost_ac_ap_a);
  run_gap(s.light_power_gap_b, s.light_power_factor_b, electric::lost_ac_ap_b);
  retractable_extension();
  logo_turnoff_taxi();
  nav_strobe_commands();
  override_beacons();
  flash_cycle(fed01(Consumer::strobe_lights), fed01(Consumer::beacon_light), frame_time);
  send_flash(false);
  strobe_flash_now();
  landing_lights();
  compass_and_dome();
  wing_wheel_and_panels();
  emergency_exit_lights();
}

void update_light_flash_replay() {
  ExteriorLightsState& s = lights_state;
  const float now = hm.sim_time_total_running_time_sec;
  s.replay_flash_step = std::fmod(std::fabs(now - s.replay_last_time), kFlashCycleS);
  s.replay_last_time = now;
  override_beacons();
  flash_cycle(fed01(Consumer::strobe_lights), fed01(Consumer::beacon_light), s.replay_flash_step);
  send_flash(true);
  strobe_flash_now();
}

void update_light_switches() {
  ExteriorLightsState& s = lights_state;
  compass_and_dome();
  s.taxi_light_level = taxi_level_for_position(toggle_switch::taxi_light_brightness_pos);
  if (spring_switch::landing_lights_all_on == 1.0f) {
    switch_::land_lights_ret_left_pos = 2.0f;
    switch_::land_lights_ret_right_pos = 2.0f;
    switch_::land_lights_left_pos = 1.0f;
    switch_::land_lights_right_pos = 1.0f;
    s.fixed_landing_left_on = 1.0f;
    s.fixed_landing_right_on = 1.0f;
    s.retractable_landing_left_on = 1.0f;
    s.retractable_landing_right_on = 1.0f;
  }
  toggle_switch::ife_pass_seat_pos = 1.0f;
  toggle_switch::cab_util_pos = 1.0f;
  wing_wheel_and_panels();
}

void take_landing_switches_from_host() {
  const float* host = hm.sim_cockpit2_switches_landing_lights_switch;
  const bool fixed_l = host[0] > 0.0f;
  const bool ret_l = host[1] > 0.0f;
  const bool ret_r = host[2] > 0.0f;
  const bool fixed_r = host[3] > 0.0f;
  switch_::land_lights_left_pos = fixed_l ? 1.0f : 0.0f;
  switch_::land_lights_right_pos = fixed_r ? 1.0f : 0.0f;
  // A lamp burning stands extended; one dark keeps the switch where it is
  // if that already leaves it dark.
  if (ret_l || switch_::land_lights_ret_left_pos == 2.0f) switch_::land_lights_ret_left_pos = ret_l ? 2.0f : 1.0f;
  if (ret_r || switch_::land_lights_ret_right_pos == 2.0f) switch_::land_lights_ret_right_pos = ret_r ? 2.0f : 1.0f;
  if (ret_l) lights::land_ret_left_pos = 1.0f;
  if (ret_r) lights::land_ret_right_pos = 1.0f;
  lights_state.fixed_landing_left_on = fixed_l ? 1.0f : 0.0f;
  lights_state.fixed_landing_right_on = fixed_r ? 1.0f : 0.0f;
  retractable_lamps_follow_switches();
}

void reset_lights_on_load() {
  ExteriorLightsState& s = lights_state;
  s.light_power_factor_a = 1.0f;
  s.light_power_factor_b = 1.0f;
  s.light_power_gap_a = 0.0f;
  s.light_power_gap_b = 0.0f;
  s.strobe_flash_phase = 0.0f;
  s.wing_strobe_flash = 0.0f;
  s.beacon_flash = 0.0f;
  s.tail_strobe_flash = 0.0f;
  s.landing_pulse_phase = 0.0f;
  s.landing_pulse_falling = 0.0f;
  s.fixed_landing_left_on = 0.0f;
  s.fixed_landing_right_on = 0.0f;
  retractable_lamps_follow_switches();
  s.emergency_exit_charge = kEmergencyExitFullS;
}

void build_lights_images(float state[kLightsArraySize], float switches_[kLightsArraySize]) {
  const ExteriorLightsState& s = lights_state;
  for (int i = 0; i < kLightsArraySize; ++i) {
    state[i] = 0.0f;
    switches_[i] = 0.0f;
  }
  const float state_slots[8] = {s.wing_strobe_flash,           s.beacon_flash,
                                s.tail_strobe_flash,           s.fixed_landing_left_on,
                                s.retractable_landing_left_on, s.retractable_landing_right_on,
                                s.fixed_landing_right_on,      s.taxi_light_level};
  for (int i = 0; i < 8; ++i) state[i] = state_slots[i];
  const float* g = hm.sim_cockpit2_switches_generic_lights_switch;
  const float switch_slots[18] = {toggle_switch::position_light_pos,
                                  toggle_switch::compass_brightness_pos,
                                  toggle_switch::cockpit_dome_pos,
                                  toggle_switch::taxi_light_brightness_pos,
                                  switch_::land_lights_ret_left_pos,
                                  switch_::land_lights_ret_right_pos,
                                  switch_::land_lights_left_pos,
                                  switch_::land_lights_right_pos,
                                  toggle_switch::rwy_light_left,
                                  toggle_switch::rwy_light_right,
                                  toggle_switch::seatbelt_sign_pos,
                                  toggle_switch::no_smoking_pos,
                                  toggle_switch::ife_pass_seat_pos,
                                  toggle_switch::cab_util_pos,
                                  g[g_logo],
                                  g[g_wing],
                                  g[g_wheel_well],
                                  static_cast<float>(hm.sim_cockpit2_switches_beacon_on)};
  for (int i = 0; i < 18; ++i) switches_[i] = switch_slots[i];
}

void save_lights_state() {
  float state[kLightsArraySize];
  float switches_[kLightsArraySize];
  build_lights_images(state, switches_);
  script_set_vf(bound::zuvadud_D738_lights, state, kLightsArraySize);
  script_set_vf(bound::zuvadud_D738_lights_sw, switches_, kLightsArraySize);
}

void restore_lights_state() {
  ExteriorLightsState& s = lights_state;
  // A damaged save leaves what it cannot hold as it stands: the flashes and
  // lamp flags run 0..1; the taxi light's level is 0, 0.5 or 1.
  const RestoredSlot state_slots[] = {
      {0, &s.wing_strobe_flash},
      {1, &s.beacon_flash},
      {2, &s.tail_strobe_flash},
      {3, &s.fixed_landing_left_on},
      {4, &s.retractable_landing_left_on},
      {5, &s.retractable_landing_right_on},
      {6, &s.fixed_landing_right_on},
      {7, &s.taxi_light_level},
  };
  restore_slots(bound::zuvadud_D738_lights, kLightsArraySize, state_slots, saved_travel::kLights);

  // Each switch's positions, as its commands move it.
  // The logo, wing and wheel well slots hold the host's lamps, which the
  // light step recomputes from the switches: a lamp saved lit had its switch
  // ON, one saved dark its switch OFF (or its bus unpowered), so each switch
  // goes where its lamp shows and the lamp comes back with it.
  float lamps[3] = {-1.0f, -1.0f, -1.0f};
  float beacon = static_cast<float>(hm.sim_cockpit2_switches_beacon_on);
  const RestoredSlot switch_slots[] = {
      {0, &toggle_switch::position_light_pos},
      {1, &toggle_switch::compass_brightness_pos},
      {2, &toggle_switch::cockpit_dome_pos},
      {3, &toggle_switch::taxi_light_brightness_pos},
      {4, &switch_::land_lights_ret_left_pos},
      {5, &switch_::land_lights_ret_right_pos},
      {6, &switch_::land_lights_left_pos},
      {7, &switch_::land_lights_right_pos},
      {8, &toggle_switch::rwy_light_left},
      {9, &toggle_switch::rwy_light_right},
      {10, &toggle_switch::seatbelt_sign_pos},
      {11, &toggle_switch::no_smoking_pos},
      {12, &toggle_switch::ife_pass_seat_pos},
      {13, &toggle_switch::cab_util_pos},
      {14, &lamps[0]},
      {15, &lamps[1]},
      {16, &lamps[2]},
      {17, &beacon},
  };
  restore_slots(bound::zuvadud_D738_lights_sw, kLightsArraySize, switch_slots, saved_travel::kLightsSw);
  float* const lamp_switches[3] = {&toggle_switch::logo_light, &toggle_switch::wing_light,
                                   &toggle_switch::wheel_light};
  for (int k = 0; k < 3; ++k) {
    if (lamps[k] >= 0.0f) *lamp_switches[k] = lamps[k] != 0.0f ? 1.0f : 0.0f;  // a lamp came back
  }
  hm.sim_cockpit2_switches_beacon_on = trunc_to_i32(beacon);
  const float* g = hm.sim_cockpit2_switches_generic_lights_switch;
  s.light_power_factor_a = 1.0f;
  s.light_power_factor_b = 1.0f;
  s.light_power_gap_a = 0.0f;
  s.light_power_gap_b = 0.0f;
  host_send_vf(bound::sim_cockpit2_switches_generic_lights_switch, g, kBrightnessSend);
  host_send_i(bound::sim_cockpit2_switches_beacon_on, hm.sim_cockpit2_switches_beacon_on);
}
