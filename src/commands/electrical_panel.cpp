// Command handlers of the cockpit area: electrical power panel. The AC meter
// selector, the maintenance button, the battery and standby power switches
// with their guarded full-off buttons, the generator drive disconnects, and
// the spring-loaded generator, APU generator and ground power switches.
//
// A source switch connects its own source at once through the host's
// electrical commands and drops the ones it replaces on the same bus; which
// source then feeds each bus is the electrical model's decision next frame.
#include "commands/command_handlers.h"
#include "core/command_refs.h"
#include "commands/switch_moves.h"
#include "core/binding.h"
#include "core/host_io.h"
#include "systems/electrical/electric_values.h"
#include "systems/electrical/electrical.h"
#include "systems/instruments/instrument_values.h"
#include "systems/switches/switch_targets.h"
#include "systems/switches/switch_values.h"

namespace {

constexpr int kBatteryElement = 1;         // host battery_on element of the main battery
constexpr int kStandbyBatteryElement = 2;  // and of the standby battery

// Under its guard the standby power switch stays at AUTO: only the move to
// AUTO, which the guard itself makes when it closes, gets through.
bool standby_guard_down() { return numbered_guard_down(kStandbyPowerCover); }

// The full-off buttons lie under the battery covers: they cut the host's
// battery and open the cover in the same callback, so the cover logic does
// not force the switch straight back on.
void battery_full_off(int element, int cover, float& switch_pos) {
  int32_t* battery_on = host_mirror.sim_cockpit2_electrical_battery_on;
  battery_on[element] = 0;
  host_send_vi(bound::sim_cockpit2_electrical_battery_on, battery_on, 3);
  button_switch::cover_position[cover] = 1.0f;
  cover_target[cover] = 1.0f;
  switch_pos = 0.0f;
}

// The spring-loaded source switches: the position shows the switch held
// (1 down, -1 up) whatever the source does, and returns to 0 at release.
bool source_switch(float& pos, XPLMCommandPhase phase, float held) {
  if (phase == phase_begin) {
    pos = held;
    return true;
  }
  if (phase == phase_end) pos = 0.0f;
  return false;
}

// Ground power feeds every transfer bus that has neither its own engine
// generator nor the APU selected onto it. The host has one cart connection
// for both, so an engine generator taking one side disconnects the cart only
// once the other side no longer takes it either; until then that side stays
// on ground power rather than hanging on the new source through the bus tie.
// The host is read now: the other switch may have moved since this frame's
// poll.
bool other_side_generator(int side) {
  return read_now_vi_at(bound::sim_cockpit2_electrical_generator_on, 1 - side) != 0;
}

void ground_power_off_side(int side) {
  const float other_apu = side == 1 ? electrical::apu_power_bus1 : electrical::apu_power_bus2;
  if (other_side_generator(side) || other_apu != 0.0f) issue_command_once(HostCmd::electrical_GPU_off);
}

// A generator's control runs on the generator's own supply, so an available
// generator comes on line whatever the battery bus does.
void engine_generator_on(int side, float available, HostCmd generator_on, float& apu_power_bus) {
  if (available == 1.0f) {
    issue_command_once(generator_on);
    ground_power_off_side(side);
    apu_power_bus = 0.0f;
  }
}

// The APU and ground power never share the transfer buses: either APU GEN
// switch takes ground power off both and the APU feeds every bus not on its
// own engine generator. A bus it takes across this way has no source
// selected until its own APU GEN switch is ON (its SOURCE OFF says so).
void apu_generator_on(int side, HostCmd engine_generator_off) {
  if (electrical::apu_bus_enable != 1.0f) return;
  float& own = side == 0 ? electrical::apu_power_bus1 : electrical::apu_power_bus2;
  float& other = side == 0 ? electrical::apu_power_bus2 : electrical::apu_power_bus1;
  own = 1.0f;
  apu_gen_selection.fed_across[side] = 0.0f;
  if (!other_side_generator(side) && other == 0.0f) {
    other = 1.0f;
    apu_gen_selection.fed_across[1 - side] = 1.0f;
  }
  if (host_mirror.sim_cockpit2_electrical_APU_generator_on == 0) {
    host_mirror.sim_cockpit2_electrical_APU_generator_on = 1;
    host_send_i(bound::sim_cockpit2_electrical_APU_generator_on, 1);
  }
  issue_command_once(engine_generator_off);
  issue_command_once(HostCmd::electrical_GPU_off);
}

}  // namespace

int cmd_push_button_batt_full_off(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) battery_full_off(kBatteryElement, kBatteryCover, electric::battery_pos);
  return 0;
}

int cmd_push_button_batt_std_full_off(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) {
    battery_full_off(kStandbyBatteryElement, kStandbyPowerCover, electric::standby_bat_pos);
  }
  return 0;
}

int cmd_switch_battery_up(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin && electric::battery_pos == 1.0f && !numbered_guard_down(kBatteryCover)) {
    electric::battery_pos = 0.0f;
  }
  return 0;
}

int cmd_switch_battery_dn(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin && electric::battery_pos == 0.0f) electric::battery_pos = 1.0f;
  return 0;
}

int cmd_switch_standby_bat_off(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (standby_guard_down()) return 0;
  set_at_begin(electric::standby_bat_pos, phase, 0.0f);
  return 0;
}

int cmd_switch_standby_bat_on(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  set_at_begin(electric::standby_bat_pos, phase, 1.0f);
  return 0;
}

int cmd_switch_standby_bat_left(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (standby_guard_down()) return 0;
  step_at_begin(electric::standby_bat_pos, phase, -1, -1, 1);
  return 0;
}

int cmd_switch_standby_bat_right(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (standby_guard_down()) return 0;
  step_at_begin(electric::standby_bat_pos, phase, 1, -1, 1);
  return 0;
}

int cmd_push_button_acdc_maint(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  momentary(push_button::acdc_maint_pos, phase);
  return 0;
}

int cmd_one_way_switch_drive_disconnect1(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  set_at_begin(one_way_switch::drive_disconnect1_pos, phase, 1.0f);
  return 0;
}

int cmd_one_way_switch_drive_disconnect2(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  set_at_begin(one_way_switch::drive_disconnect2_pos, phase, 1.0f);
  return 0;
}

int cmd_one_way_switch_drive_disconnect1_off(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  set_at_begin(one_way_switch::drive_disconnect1_pos, phase, 0.0f);
  return 0;
}

int cmd_one_way_switch_drive_disconnect2_off(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  set_at_begin(one_way_switch::drive_disconnect2_pos, phase, 0.0f);
  return 0;
}

int cmd_knob_ac_power_up(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  step_at_begin(knob::ac_power, phase, 1, 0, 6);
  return 0;
}

int cmd_knob_ac_power_dn(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  step_at_begin(knob::ac_power, phase, -1, 0, 6);
  return 0;
}

int cmd_toggle_switch_apu_gen1_up(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (source_switch(electrical::apu_gen1_pos, phase, -1.0f)) electrical::apu_power_bus1 = 0.0f;
  return 0;
}

int cmd_toggle_switch_apu_gen1_dn(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (source_switch(electrical::apu_gen1_pos, phase, 1.0f)) {
    apu_generator_on(0, HostCmd::electrical_generator_1_off);
  }
  return 0;
}

int cmd_toggle_switch_apu_gen2_up(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (source_switch(electrical::apu_gen2_pos, phase, -1.0f)) electrical::apu_power_bus2 = 0.0f;
  return 0;
}

int cmd_toggle_switch_apu_gen2_dn(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (source_switch(electrical::apu_gen2_pos, phase, 1.0f)) {
    apu_generator_on(1, HostCmd::electrical_generator_2_off);
  }
  return 0;
}

int cmd_toggle_switch_gen1_up(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (source_switch(electrical::gen1_pos, phase, -1.0f)) issue_command_once(HostCmd::electrical_generator_1_off);
  return 0;
}

int cmd_toggle_switch_gen1_dn(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (source_switch(electrical::gen1_pos, phase, 1.0f)) {
    engine_generator_on(0, electric::gen1_available, HostCmd::electrical_generator_1_on, electrical::apu_power_bus1);
  }
  return 0;
}

int cmd_toggle_switch_gen2_up(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (source_switch(electrical::gen2_pos, phase, -1.0f)) issue_command_once(HostCmd::electrical_generator_2_off);
  return 0;
}

int cmd_toggle_switch_gen2_dn(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (source_switch(electrical::gen2_pos, phase, 1.0f)) {
    engine_generator_on(1, electric::gen2_available, HostCmd::electrical_generator_2_on, electrical::apu_power_bus2);
  }
  return 0;
}

int cmd_toggle_switch_gpu_up(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (source_switch(electrical::gpu_pos, phase, -1.0f)) issue_command_once(HostCmd::electrical_GPU_off);
  return 0;
}

int cmd_toggle_switch_gpu_dn(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (source_switch(electrical::gpu_pos, phase, 1.0f) && cockpit::gpu_available == 1.0f) {
    issue_command_once(HostCmd::electrical_GPU_on);
    issue_command_once(HostCmd::electrical_generator_1_off);
    issue_command_once(HostCmd::electrical_generator_2_off);
    electrical::apu_power_bus1 = 0.0f;
    electrical::apu_power_bus2 = 0.0f;
  }
  return 0;
}
