// Panel-state string exchange (see panel_state.h): the position table that
// fixes the string format, and the apply and the two appends over it.
//
// The string is an exchange format with the scripts' saved panels: a
// position's place in the table and its list of codes must not move.
#include "aircraft/panel_state.h"

#include <cstring>

#include "core/command_refs.h"
#include "core/binding.h"
#include "core/host_io.h"
#include "core/preprocess_values.h"
#include "engines/engine_values.h"
#include "systems/air/air_values.h"
#include "systems/air/pressurisation.h"
#include "systems/apu_start/apu_start_state.h"
#include "systems/gear_brakes/autobrake_state.h"
#include "systems/delay_timers.h"
#include "systems/electrical/electric_values.h"
#include "systems/flight_controls/flight_control_values.h"
#include "systems/fuel/fuel_values.h"
#include "systems/ice_rain/ice_values.h"
#include "systems/instruments/instrument_values.h"
#include "systems/switches/switch_targets.h"
#include "systems/switches/switch_values.h"

namespace {

// ---- character codes ----
// A position's values in order; the character of a place is its index
// counted from '0'. On apply, the digit of any place but the last selects
// that place and every other character (the last digit, a higher digit, a
// non-digit, a missing character) selects the last. On save, a value equal to
// a place but the last writes that place's digit, anything else the last
// digit, so a switch caught between two positions reads back as the last.
struct Codes {
  int8_t count;
  float values[7];
};
constexpr Codes codes_01 = {2, {0, 1}};
constexpr Codes codes_012 = {3, {0, 1, 2}};
constexpr Codes codes_0123 = {4, {0, 1, 2, 3}};
constexpr Codes codes_0_5 = {6, {0, 1, 2, 3, 4, 5}};
constexpr Codes codes_0_6 = {7, {0, 1, 2, 3, 4, 5, 6}};
constexpr Codes codes_m101 = {3, {-1, 0, 1}};
constexpr Codes codes_m1_3 = {5, {-1, 0, 1, 2, 3}};

float decode(const Codes& codes, char ch) {
  const int digit = ch - '0';
  if (digit >= 0 && digit < codes.count - 1) return codes.values[digit];
  return codes.values[codes.count - 1];
}

char encode(const Codes& codes, float value) {
  for (int i = 0; i < codes.count - 1; ++i) {
    if (value == codes.values[i]) return static_cast<char>('0' + i);
  }
  return static_cast<char>('0' + codes.count - 1);
}

char encode_int(const Codes& codes, int32_t value) {
  for (int i = 0; i < codes.count - 1; ++i) {
    if (value == static_cast<int32_t>(codes.values[i])) return static_cast<char>('0' + i);
  }
  return static_cast<char>('0' + codes.count - 1);
}

// ---- the position table ----
enum class Kind : uint8_t {
  value,        // a published value
  guard,        // a guard and its target; left alone while the guard option is set
  with_target,  // a value and its target set together, whatever the option
  battery,      // host battery switch element (integer), pushed at once
  cross_tie,    // host cross-tie switch (integer), pushed at once
  beacon,       // host beacon switch (integer), pushed at once
  fadec,        // host FADEC switch element (integer), pushed at once
  autobrake,    // autobrake selector and its RTO state
  starter,      // engine start selector, its second value and its target
  apu_start,    // APU start switch, the host APU on command and its countdown
};

struct PanelPosition {
  int16_t pos;
  Kind kind;
  const Codes* codes;
  float* value = nullptr;     // published value (null for host-only positions)
  float* target = nullptr;    // guard or selector target
  float* second = nullptr;    // start selector's second value
  int8_t element = -1;        // host array element of a host position
  int8_t save_light = -1;     // generic light switch element the save reads instead of *value
};

HostMirror& host = host_mirror;

// Positions 0-72; the same values, in the same order, as slots 0-72 of the
// scripts' "system_sw" array.
constexpr PanelPosition first_block[] = {
    {0, Kind::value, &codes_012, &air::l_pack_pos},
    {1, Kind::value, &codes_012, &air::r_pack_pos},
    {2, Kind::value, &codes_012, &air::isolation_valve_pos},
    {3, Kind::value, &codes_01, &air::l_recirc_fan_pos},
    {4, Kind::value, &codes_01, &air::r_recirc_fan_pos},
    {5, Kind::value, &codes_01, &air::trim_air_pos},
    {6, Kind::value, &codes_m101, &toggle_switch::eng_start_source},
    {7, Kind::value, &codes_m101, &toggle_switch::dspl_ctrl_pnl},
    {8, Kind::value, &codes_m101, &toggle_switch::dspl_source},
    {9, Kind::value, &codes_m101, &toggle_switch::fmc_source},
    {10, Kind::value, &codes_01, &toggle_switch::eq_cool_exhaust},
    {11, Kind::value, &codes_01, &toggle_switch::eq_cool_supply},
    {12, Kind::value, &codes_01, &toggle_switch::hydro_pumps1_pos},
    {13, Kind::value, &codes_01, &toggle_switch::hydro_pumps2_pos},
    {14, Kind::value, &codes_01, &toggle_switch::electric_hydro_pumps1_pos},
    {15, Kind::value, &codes_01, &toggle_switch::electric_hydro_pumps2_pos},
    {16, Kind::value, &codes_01, &toggle_switch::capt_probes_pos},
    {17, Kind::value, &codes_01, &toggle_switch::fo_probes_pos},
    {18, Kind::value, &codes_01, &toggle_switch::bleed_air_1_pos},
    {19, Kind::value, &codes_01, &toggle_switch::bleed_air_2_pos},
    {20, Kind::value, &codes_01, &toggle_switch::bleed_air_apu_pos},
    {21, Kind::value, &codes_01, &knobs::cross_feed_pos},
    {22, Kind::value, &codes_01, &fuel::fuel_tank_pos_lft1},
    {23, Kind::value, &codes_01, &fuel::fuel_tank_pos_lft2},
    {24, Kind::value, &codes_01, &fuel::fuel_tank_pos_rgt1},
    {25, Kind::value, &codes_01, &fuel::fuel_tank_pos_rgt2},
    {26, Kind::value, &codes_01, &fuel::fuel_tank_pos_ctr1},
    {27, Kind::value, &codes_01, &fuel::fuel_tank_pos_ctr2},
    {28, Kind::battery, &codes_01, nullptr, nullptr, nullptr, 1},
    {29, Kind::battery, &codes_01, nullptr, nullptr, nullptr, 2},
    {30, Kind::value, &codes_012, &toggle_switch::air_valve_ctrl},
    {31, Kind::value, &codes_0_6, &toggle_switch::air_temp_source},
    {32, Kind::value, &codes_01, &toggle_switch::service_interphone},
    {33, Kind::value, &codes_m101, &toggle_switch::alt_flaps_ctrl},
    {34, Kind::value, &codes_m101, &toggle_switch::flt_dk_door},
    {35, Kind::value, &codes_m1_3, &toggle_switch::main_pnl_du_capt},
    {36, Kind::value, &codes_m101, &toggle_switch::lower_du_capt},
    {37, Kind::value, &codes_m1_3, &toggle_switch::main_pnl_du_fo},
    {38, Kind::value, &codes_m101, &toggle_switch::lower_du_fo},
    {39, Kind::value, &codes_0_6, &toggle_switch::spd_ref},
    {40, Kind::autobrake, &codes_0_5, &autobrake::autobrake_pos},
    {41, Kind::guard, &codes_01, &switches::flt_ctr_A_cover_pos, &flt_ctr_A_cover_target},
    {42, Kind::guard, &codes_01, &switches::flt_ctr_B_cover_pos, &flt_ctr_B_cover_target},
    {43, Kind::guard, &codes_01, &switches::spoiler_A_cover_pos, &spoiler_A_cover_target},
    {44, Kind::guard, &codes_01, &switches::spoiler_B_cover_pos, &spoiler_B_cover_target},
    {45, Kind::guard, &codes_01, &switches::alt_flaps_cover_pos, &alt_flaps_cover_target},
    {46, Kind::guard, &codes_01, &switches::fdr_cover_pos, &fdr_cover_target},
    {47, Kind::value, &codes_m101, &switches::flt_ctr_A_pos},
    {48, Kind::value, &codes_m101, &switches::flt_ctr_B_pos},
    {49, Kind::value, &codes_01, &switches::spoiler_A_pos},
    {50, Kind::value, &codes_01, &switches::spoiler_B_pos},
    {51, Kind::value, &codes_01, &switches::alt_flaps_pos},
    {52, Kind::value, &codes_0123, &switches::left_wiper_pos},
    {53, Kind::value, &codes_0123, &switches::right_wiper_pos},
    {54, Kind::value, &codes_01, &switches::fdr_pos},
    {55, Kind::value, &codes_01, &switches::nose_steer_pos},
    {56, Kind::value, &codes_0_6, &knob::ac_power},
    {57, Kind::value, &codes_0_6, &knob::dc_power},
    {58, Kind::guard, &codes_01, &toggle_switch::gpws_gear_cover_pos, &gpws_gear_cover_target},
    {59, Kind::guard, &codes_01, &toggle_switch::gpws_flap_cover_pos, &gpws_flap_cover_target},
    {60, Kind::guard, &codes_01, &toggle_switch::gpws_terr_cover_pos, &gpws_terr_cover_target},
    // The landing gear guard is restored whatever the guard option holds.
    {61, Kind::with_target, &codes_01, &emergency::landgear_cover_pos, &man_gear_cover_target},
    {62, Kind::value, &codes_01, &toggle_switch::gpws_gear_pos},
    {63, Kind::value, &codes_01, &toggle_switch::gpws_flap_pos},
    {64, Kind::value, &codes_01, &toggle_switch::gpws_terr_pos},
    {65, Kind::value, &codes_01, &emergency::landgear_pos},
    {66, Kind::value, &codes_0_5, &knob::transponder_pos},
    {67, Kind::starter, &codes_0123, &engine::starter1_pos, &starter1_knob_target, &engine::starter1_pos2},
    {68, Kind::starter, &codes_0123, &engine::starter2_pos, &starter2_knob_target, &engine::starter2_pos2},
    {69, Kind::apu_start, &codes_012, &spring_toggle_switch::APU_start_pos},
    {70, Kind::with_target, &codes_01, &toggle_switch::yaw_dumper_pos, &yaw_damper_switch_state},
    {71, Kind::cross_tie, &codes_01},
    {72, Kind::value, &codes_01, &one_way_switch::pax_oxy_pos},
};

// Positions 103-130, after the 11 button-switch guards at 92-102.
constexpr PanelPosition last_block_tail[] = {
    {103, Kind::value, &codes_m101, &toggle_switch::position_light_pos},
    {104, Kind::value, &codes_m101, &toggle_switch::compass_brightness_pos},
    {105, Kind::value, &codes_m101, &toggle_switch::cockpit_dome_pos},
    {106, Kind::value, &codes_012, &toggle_switch::taxi_light_brightness_pos},
    {107, Kind::value, &codes_012, &switch_::land_lights_ret_left_pos},
    {108, Kind::value, &codes_012, &switch_::land_lights_ret_right_pos},
    {109, Kind::value, &codes_01, &switch_::land_lights_left_pos},
    {110, Kind::value, &codes_01, &switch_::land_lights_right_pos},
    // The runway turn-off and logo lights save what the host's light switches
    // hold, which is what the cockpit shows.
    {111, Kind::value, &codes_01, &toggle_switch::rwy_light_left, nullptr, nullptr, -1, 2},
    {112, Kind::value, &codes_01, &toggle_switch::rwy_light_right, nullptr, nullptr, -1, 3},
    {113, Kind::value, &codes_012, &toggle_switch::seatbelt_sign_pos},
    {114, Kind::value, &codes_012, &toggle_switch::no_smoking_pos},
    {115, Kind::value, &codes_01, &toggle_switch::ife_pass_seat_pos},
    {116, Kind::value, &codes_01, &toggle_switch::cab_util_pos},
    // The logo, wing and wheel well positions hold the lamps too; applied, they
    // set the switches, which the lamps then follow.
    {117, Kind::value, &codes_01, &toggle_switch::logo_light, nullptr, nullptr, -1, 1},
    {118, Kind::value, &codes_01, &toggle_switch::wing_light, nullptr, nullptr, -1, 0},
    {119, Kind::value, &codes_01, &toggle_switch::wheel_light, nullptr, nullptr, -1, 5},
    {120, Kind::beacon, &codes_01},
    {121, Kind::value, &codes_01, &ice::eng1_heat_pos},
    {122, Kind::value, &codes_01, &ice::eng2_heat_pos},
    {123, Kind::value, &codes_01, &ice::wing_heat_pos},
    {124, Kind::value, &codes_01, &ice::window_heat_l_side_pos},
    {125, Kind::value, &codes_01, &ice::window_heat_l_fwd_pos},
    {126, Kind::value, &codes_01, &ice::window_heat_r_side_pos},
    {127, Kind::value, &codes_01, &ice::window_heat_r_fwd_pos},
    {128, Kind::fadec, &codes_01, nullptr, nullptr, nullptr, 0},
    {129, Kind::fadec, &codes_01, nullptr, nullptr, nullptr, 1},
    {130, Kind::value, &codes_012, &toggle_switch::emer_exit_lights},
};

constexpr int32_t first_block_size = static_cast<int32_t>(sizeof first_block / sizeof first_block[0]);
constexpr int32_t last_tail_size = static_cast<int32_t>(sizeof last_block_tail / sizeof last_block_tail[0]);
constexpr int32_t cover_positions = panel_state_last_block_length - last_tail_size;
static_assert(first_block_size == panel_state_first_block_length);
// The blocks are indexed by position: each table runs without gaps.
constexpr bool runs_from(const PanelPosition* table, int32_t n, int32_t first) {
  for (int32_t i = 0; i < n; ++i) {
    if (table[i].pos != first + i) return false;
  }
  return true;
}
static_assert(runs_from(first_block, first_block_size, 0));
static_assert(runs_from(last_block_tail, last_tail_size, panel_state_last_block_start + cover_count));
static_assert(cover_positions == cover_count);
static_assert(panel_state_last_block_start + panel_state_last_block_length == panel_state_positions);

// One byte beyond the field, so a field that the scripts filled without a
// terminator still reads as a terminated string of at most 512 characters.
char panel_state_buffer[panel_state_field_bytes + 1];

// Reads the whole field into the buffer; returns the string's length.
int32_t read_field() {
  std::memset(panel_state_buffer, 0, sizeof panel_state_buffer);
  read_now_text(bound::zuvadud_D738_state_cmd, panel_state_buffer, static_cast<int>(sizeof panel_state_buffer));
  return static_cast<int32_t>(std::strlen(panel_state_buffer));
}

void push_battery() {
  host_send_vi(bound::sim_cockpit2_electrical_battery_on, host.sim_cockpit2_electrical_battery_on, 3);
}

void apply_position(const PanelPosition& p, char ch, bool guards_held) {
  const float v = decode(*p.codes, ch);
  switch (p.kind) {
    case Kind::value:
      *p.value = v;
      break;
    case Kind::guard:
      if (guards_held) break;
      *p.value = v;
      *p.target = v;
      break;
    case Kind::with_target:
      *p.value = v;
      *p.target = v;
      break;
    case Kind::battery:
      host.sim_cockpit2_electrical_battery_on[p.element] = static_cast<int32_t>(v);
      push_battery();
      break;
    case Kind::cross_tie:
      host.sim_cockpit2_electrical_cross_tie = static_cast<int32_t>(v);
      host_send_i(bound::sim_cockpit2_electrical_cross_tie, host.sim_cockpit2_electrical_cross_tie);
      break;
    case Kind::beacon:
      host.sim_cockpit2_switches_beacon_on = static_cast<int32_t>(v);
      host_send_i(bound::sim_cockpit2_switches_beacon_on, host.sim_cockpit2_switches_beacon_on);
      break;
    case Kind::fadec:
      host.sim_cockpit2_engine_actuators_fadec_on[p.element] = static_cast<int32_t>(v);
      host_send_vi(bound::sim_cockpit2_engine_actuators_fadec_on, host.sim_cockpit2_engine_actuators_fadec_on, 2);
      break;
    case Kind::autobrake:
      select_autobrake(static_cast<AutobrakePos>(static_cast<int>(v)), AutobrakeSelectedBy::panel_restore);
      break;
    case Kind::starter:
      *p.value = v;
      *p.second = v == 1.0f ? 1.0f : 0.0f;  // the OFF flag
      *p.target = v;
      break;
    case Kind::apu_start:
      // START springs back to ON: a panel saved while it was held comes back
      // at ON (with what ON does), never at START with no start under way.
      *p.value = v == 2.0f ? 1.0f : v;
      if (*p.value == 1.0f) {
        issue_command_once(HostCmd::electrical_APU_on);
        delay_timers.apu_low_oil_delay = 1.5f;
        apu_on_latch = 1.0f;
      }
      break;
  }
}

char save_position(const PanelPosition& p) {
  switch (p.kind) {
    case Kind::battery:
      return encode_int(*p.codes, host.sim_cockpit2_electrical_battery_on[p.element]);
    case Kind::cross_tie:
      return encode_int(*p.codes, host.sim_cockpit2_electrical_cross_tie);
    case Kind::beacon:
      return encode_int(*p.codes, host.sim_cockpit2_switches_beacon_on);
    case Kind::fadec:
      return encode_int(*p.codes, host.sim_cockpit2_engine_actuators_fadec_on[p.element]);
    default:
      if (p.save_light >= 0) return encode(*p.codes, host.sim_cockpit2_switches_generic_lights_switch[p.save_light]);
      return encode(*p.codes, *p.value);
  }
}

// Appends n characters to the string of length len in the buffer and hands
// the field back with the answer. A field with no room left for the block is
// not written (a cut block would shift every position after it) and is not
// answered as saved; the request is ended by putting the mode back to a value
// that asks for nothing, so the scripts stop waiting and the refusal is logged
// once. Mode 0 would instead apply the overlong field to the cockpit.
void append_and_answer(int32_t len, const char* block, int32_t n, float answer) {
  if (len + n > panel_state_field_bytes - 1) {
    XPLMDebugString("Corvane plugin: panel state did not fit, not saved.\n");
    script_set_f(bound::zuvadud_D738_state_cmd2, panel_state_idle_mode);
    return;
  }
  std::memcpy(panel_state_buffer + len, block, static_cast<size_t>(n));
  panel_state_buffer[len + n] = '\0';
  script_set_bytes(bound::zuvadud_D738_state_cmd, panel_state_buffer, panel_state_field_bytes);
  script_set_f(bound::zuvadud_D738_state_cmd2, answer);
}

// The battery and standby power switches have no place of their own: the
// host battery values of positions 28 and 29 and the switches' guards tell
// where they stood. A closed guard holds its switch in the guarded position
// (the cover step keeps it there); under an open guard a battery found off
// had its switch OFF, and one found on its switch ON (the standby power
// switch AUTO, or BAT where it already stands there).
constexpr int32_t kBatteryPosition = 28;
constexpr int32_t kStandbyBatteryPosition = 29;

void apply_battery_switches(const char* s, bool guards_held) {
  auto guard_open = [&](int cover) { return guards_held || s[panel_state_last_block_start + cover] != '0'; };
  if (guard_open(kBatteryCover)) electric::battery_pos = decode(codes_01, s[kBatteryPosition]);
  if (guard_open(kStandbyPowerCover)) {
    float& standby = electric::standby_bat_pos;
    if (decode(codes_01, s[kStandbyBatteryPosition]) == 0.0f) {
      standby = 0.0f;
    } else if (standby != -1.0f) {
      standby = 1.0f;
    }
  }
}

}  // namespace

void apply_panel_state() {
  const int32_t len = read_field();
  if (len < panel_state_min_apply_length) return;
  const char* s = panel_state_buffer;
  const bool guards_held = cockpit_options.guarded_covers != 0.0f;

  for (const PanelPosition& p : first_block) apply_position(p, s[p.pos], guards_held);
  // The pressurisation mode selector and the controller it puts in charge
  // move together, as with its commands, so AUTO FAIL never sees them apart.
  cockpit::pressurization_mode = pressurisation_mode_for_selector();

  if (!guards_held) {
    for (int32_t k = 0; k < cover_count; ++k) {
      const float v = s[panel_state_last_block_start + k] == '0' ? 0.0f : 1.0f;
      button_switch::cover_position[k] = v;
      cover_target[k] = v;
    }
  }

  // Position 130 is absent from a 130-character string; it then reads as a
  // character outside the codes.
  for (const PanelPosition& p : last_block_tail) apply_position(p, p.pos < len ? s[p.pos] : '\0', guards_held);
  apply_battery_switches(s, guards_held);

  host.sim_cockpit2_electrical_battery_on[1] = 0;
  push_battery();
  host_send_vf(bound::sim_cockpit2_switches_generic_lights_switch, host.sim_cockpit2_switches_generic_lights_switch, 6);
}

void append_panel_state_first() {
  const int32_t len = read_field();
  char block[panel_state_first_block_length];
  for (const PanelPosition& p : first_block) block[p.pos] = save_position(p);
  append_and_answer(len, block, panel_state_first_block_length, panel_state_first_answer);
}

void append_panel_state_last() {
  const int32_t len = read_field();
  char block[panel_state_last_block_length];
  // The guards are saved whatever the guard option holds.
  for (int32_t k = 0; k < cover_count; ++k) block[k] = button_switch::cover_position[k] == 0.0f ? '0' : '1';
  for (const PanelPosition& p : last_block_tail) block[p.pos - panel_state_last_block_start] = save_position(p);
  append_and_answer(len, block, panel_state_last_block_length, panel_state_last_answer);
}

void exchange_panel_state() {
  const float mode = read_now_f(bound::zuvadud_D738_state_cmd2);
  if (mode == panel_state_apply_mode) {
    apply_panel_state();
  } else if (mode == panel_state_first_request) {
    append_panel_state_first();
  } else if (mode == panel_state_last_request) {
    append_panel_state_last();
  }
}
