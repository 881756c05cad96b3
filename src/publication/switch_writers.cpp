// Switches and selectors written from outside act through their own command
// handlers, so a written position does what the pilot's press does: the
// hand-overs of the N1 SET and speed reference knobs, the pressurisation
// controller put in charge, a closed guard refusing the move, a test or a
// reset started while a spring-loaded switch is held.
#include "publication/switch_writers.h"

#include <initializer_list>
#include <limits>

#include "commands/command_handlers.h"
#include "engines/engine_values.h"
#include "publication/accessor_kinds.h"
#include "systems/air/pneumatics.h"
#include "systems/electrical/electric_values.h"
#include "systems/switches/switch_values.h"

namespace {

constexpr float kNeverWritten = std::numeric_limits<float>::quiet_NaN();

void press(command_handler* handler) {
  handler(nullptr, xplm_CommandBegin, nullptr);
  handler(nullptr, xplm_CommandEnd, nullptr);
}

// The position a write asks for, when it differs from the last one written
// (hardware writes its position every frame; only a change moves the switch).
bool changed_write(float& last, float current, float value, int lo, int hi, float* to) {
  if (value != value) return false;
  const float p = nearest_position(current, value, lo, hi);
  if (p == last) return false;
  last = p;
  *to = p;
  return true;
}

// A selector turned to a position one detent at a time through its own
// commands, so each detent passed hands over what its command hands over.
// A command that refuses (a closed guard, an end stop) leaves it there. A
// selector standing between detents (a stray restored value) is first put
// on the nearest one.
void turn_to(float& pos, float to, int lo, int hi, command_handler* down, command_handler* up) {
  pos = nearest_position(pos, pos, lo, hi);
  for (int step = lo; step < hi && pos != to; ++step) {
    const float before = pos;
    press(pos < to ? up : down);
    if (pos == before) return;
  }
}

struct Selector {
  float* pos;
  int lo, hi;
  command_handler* down;
  command_handler* up;
  float last;
};

void write_selector(Selector& s, float value) {
  float to = 0.0f;
  if (changed_write(s.last, *s.pos, value, s.lo, s.hi, &to)) turn_to(*s.pos, to, s.lo, s.hi, s.down, s.up);
}

Selector air_valve_ctrl = {&toggle_switch::air_valve_ctrl, 0, 2, cmd_toggle_switch_air_valve_ctrl_left,
                           cmd_toggle_switch_air_valve_ctrl_right, kNeverWritten};
Selector n1_set_source = {&toggle_switch::n1_set_source, -2, 1, cmd_toggle_switch_n1_set_source_left,
                          cmd_toggle_switch_n1_set_source_right, kNeverWritten};
Selector spd_ref = {&toggle_switch::spd_ref, 0, 6, cmd_toggle_switch_spd_ref_left, cmd_toggle_switch_spd_ref_right,
                    kNeverWritten};
Selector standby_bat = {&electric::standby_bat_pos, -1, 1, cmd_switch_standby_bat_left, cmd_switch_standby_bat_right,
                        kNeverWritten};
Selector battery = {&electric::battery_pos, 0, 1, cmd_switch_battery_up, cmd_switch_battery_dn, kNeverWritten};
// Each press of these flips the switch: the yaw damper's solenoid engaged
// as on a release, a cutout only with its guard open, a guard lifted or
// closed (closing it puts the cutout back to normal).
Selector yaw_damper = {&toggle_switch::yaw_dumper_pos, 0, 1, cmd_toggle_switch_yaw_dumper,
                       cmd_toggle_switch_yaw_dumper, kNeverWritten};
Selector ap_trim = {&toggle_switch::ap_trim_pos, 0, 1, cmd_toggle_switch_ap_trim, cmd_toggle_switch_ap_trim,
                    kNeverWritten};
Selector el_trim_lock = {&toggle_switch::el_trim_lock_pos, 0, 1, cmd_toggle_switch_el_trim_lock,
                         cmd_toggle_switch_el_trim_lock, kNeverWritten};

// The engine start selectors: each position has a command of its own that
// sets the knob's target with it, which the knob animation follows.
struct StartSelector {
  float* pos;
  command_handler* at[4];  // GRD, OFF, CONT, FLT
  float last;
};
StartSelector starters[2] = {
    {&engine::starter1_pos,
     {cmd_rotary_eng1_start_grd, cmd_rotary_eng1_start_off, cmd_rotary_eng1_start_cont, cmd_rotary_eng1_start_flt},
     kNeverWritten},
    {&engine::starter2_pos,
     {cmd_rotary_eng2_start_grd, cmd_rotary_eng2_start_off, cmd_rotary_eng2_start_cont, cmd_rotary_eng2_start_flt},
     kNeverWritten},
};

void write_starter(StartSelector& s, float value) {
  float to = 0.0f;
  if (changed_write(s.last, *s.pos, value, 0, 3, &to)) press(s.at[static_cast<int>(to)]);
}

// Spring-loaded switches, -1 and 1 held, 0 at rest.
struct SpringSwitch {
  float* pos;
  command_handler* held_low;   // the command held at -1
  command_handler* held_high;  // and at 1
  command_handler* held;       // the one a write holds now, or null
  float held_at;
  float last;
};
SpringSwitch springs[] = {
    {&toggle_switch::window_ovht_test, cmd_toggle_switch_window_ovht_test_up, cmd_toggle_switch_window_ovht_test_dn,
     nullptr, 0.0f, kNeverWritten},
    {&toggle_switch::fuel_flow_pos, cmd_toggle_switch_fuel_flow_up, cmd_toggle_switch_fuel_flow_dn, nullptr, 0.0f,
     kNeverWritten},
    {&toggle_switch::flt_dk_door, cmd_toggle_switch_flt_dk_door_left, cmd_toggle_switch_flt_dk_door_right, nullptr,
     0.0f, kNeverWritten},
};
constexpr int kWindowTest = 0;
constexpr int kFuelFlow = 1;
constexpr int kDoorLock = 2;

void write_spring(SpringSwitch& s, float value) {
  float to = 0.0f;
  if (!changed_write(s.last, *s.pos, value, -1, 1, &to)) return;
  if (s.held != nullptr) {
    command_handler* released = s.held;
    s.held = nullptr;
    released(nullptr, xplm_CommandEnd, nullptr);
  }
  if (to == 0.0f) {
    *s.pos = 0.0f;
    return;
  }
  s.held = to < 0.0f ? s.held_low : s.held_high;
  s.held_at = to;
  s.held(nullptr, xplm_CommandBegin, nullptr);
}

}  // namespace

void air_valve_ctrl_writer(void*, float value) { write_selector(air_valve_ctrl, value); }
void n1_set_source_writer(void*, float value) { write_selector(n1_set_source, value); }
void spd_ref_writer(void*, float value) { write_selector(spd_ref, value); }
void standby_bat_pos_writer(void*, float value) { write_selector(standby_bat, value); }
void battery_pos_writer(void*, float value) { write_selector(battery, value); }
void yaw_dumper_pos_writer(void*, float value) { write_selector(yaw_damper, value); }
void ap_trim_pos_writer(void*, float value) { write_selector(ap_trim, value); }
void el_trim_lock_pos_writer(void*, float value) { write_selector(el_trim_lock, value); }
void starter1_pos_writer(void*, float value) { write_starter(starters[0], value); }
void starter2_pos_writer(void*, float value) { write_starter(starters[1], value); }
void window_ovht_test_writer(void*, float value) { write_spring(springs[kWindowTest], value); }
void fuel_flow_pos_writer(void*, float value) { write_spring(springs[kFuelFlow], value); }
void flt_dk_door_writer(void*, float value) { write_spring(springs[kDoorLock], value); }
void duct_press_l_writer(void*, float value) {
  if (!writable_float(value)) return;
  indicators::duct_press_L = value;
  pneumatics.duct_psi[0] = value;
}
void duct_press_r_writer(void*, float value) {
  if (!writable_float(value)) return;
  indicators::duct_press_R = value;
  pneumatics.duct_psi[1] = value;
}

void forget_written_switches() {
  for (Selector* s : {&air_valve_ctrl, &n1_set_source, &spd_ref, &standby_bat, &battery, &yaw_damper, &ap_trim,
                      &el_trim_lock}) {
    s->last = kNeverWritten;
  }
  for (StartSelector& s : starters) s.last = kNeverWritten;
  for (SpringSwitch& s : springs) {
    s.last = kNeverWritten;
    s.held = nullptr;
  }
}

void hold_written_switches() {
  for (SpringSwitch& s : springs) {
    if (s.held == nullptr) continue;
    if (*s.pos != s.held_at) {
      s.held = nullptr;
      continue;
    }
    s.held(nullptr, xplm_CommandContinue, nullptr);
  }
}
