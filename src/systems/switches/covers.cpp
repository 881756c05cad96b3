// Guarded covers: the eleven numbered button-switch covers and the ten named
// switch guards move toward their targets, and a closed guard holds the
// switch beneath it in its guarded position. Also turns the rudder-trim
// selector and aileron-trim switch toward their held positions, and carries
// the numbered covers through the scripts' "zuvadud/D738/cover" and
// "zuvadud/D738/cover_tgt" arrays so a saved situation restores them.

#include "core/command_refs.h"
#include "core/binding.h"
#include "core/host_io.h"
#include "core/restored_travel.h"
#include "core/saved_travels.h"
#include "core/util.h"
#include "systems/aircraft_systems.h"
#include "systems/electrical/electric_values.h"
#include "systems/flight_controls/flight_control_values.h"
#include "systems/switches/switch_targets.h"
#include "systems/switches/switch_values.h"
#include "systems/systems_steps.h"
#include "systems/flight_controls/trim_command_state.h"

namespace {

constexpr float kCoverRate = 20.0f;
constexpr float kTrimKnobRate = 10.0f;
constexpr int kCoverArraySize = 32;

bool covers_held_open() { return read_now_f(bound::zuvadud_D738_guarded_covers) != 0.0f; }

struct NamedCover {
  float* position;
  float* target;
  float* held_switch;
  float held_value;
  bool option_opens;  // the scripts' held-open option opens this guard
};

NamedCover named_covers[] = {
    {&switches::flt_ctr_A_cover_pos, &flt_ctr_A_cover_target, &switches::flt_ctr_A_pos, 1.0f, true},
    {&switches::flt_ctr_B_cover_pos, &flt_ctr_B_cover_target, &switches::flt_ctr_B_pos, 1.0f, true},
    {&switches::spoiler_A_cover_pos, &spoiler_A_cover_target, &switches::spoiler_A_pos, 0.0f, true},
    {&switches::spoiler_B_cover_pos, &spoiler_B_cover_target, &switches::spoiler_B_pos, 0.0f, true},
    {&switches::alt_flaps_cover_pos, &alt_flaps_cover_target, &switches::alt_flaps_pos, 0.0f, true},
    {&toggle_switch::gpws_flap_cover_pos, &gpws_flap_cover_target, &toggle_switch::gpws_flap_pos, 0.0f, true},
    {&toggle_switch::gpws_gear_cover_pos, &gpws_gear_cover_target, &toggle_switch::gpws_gear_pos, 0.0f, true},
    {&toggle_switch::gpws_terr_cover_pos, &gpws_terr_cover_target, &toggle_switch::gpws_terr_pos, 0.0f, true},
    {&toggle_switch::gpws_xraas_cover_pos, &gpws_xraas_cover_target, &toggle_switch::gpws_xraas_pos, 0.0f, true},
    {&toggle_switch::stab_trim_overide_cover_pos, &stab_trim_overide_cover_target, &toggle_switch::stab_trim_overide_pos,
     0.0f, false},
};

}  // namespace

bool numbered_guard_down(int cover) { return guard_down(button_switch::cover_position[cover]); }

namespace {
// The switches under the numbered guards that are closed, back in their
// guarded positions. The standby power switch has a three-way mechanism of
// its own: in a frame the command moves it the way the pilot would, one
// step per frame; a restored cockpit has it there at once.
void hold_numbered_guarded_switches(bool at_once) {
  if (numbered_guard_down(kBatteryCover) && electric::battery_pos != 1.0f) electric::battery_pos = 1.0f;
  if (numbered_guard_down(kStandbyPowerCover) && electric::standby_bat_pos != 1.0f) {
    if (at_once) {
      electric::standby_bat_pos = 1.0f;
    } else {
      issue_command_once(OwnCmd::switch_standby_bat_on);
    }
  }
  // The guard closes over ARMED from either side: OFF and ON both go back.
  if (numbered_guard_down(kEmerExitCover) && toggle_switch::emer_exit_lights != 1.0f) toggle_switch::emer_exit_lights = 1.0f;
  if (numbered_guard_down(kBusTransferCover)) host_set_i(bound::sim_cockpit2_electrical_cross_tie, 1);
  if (numbered_guard_down(kPaxOxyCover) && one_way_switch::pax_oxy_pos != 0.0f) one_way_switch::pax_oxy_pos = 0.0f;
  if (numbered_guard_down(kEltCover) && toggle_switch::elt != 0.0f) toggle_switch::elt = 0.0f;
  if (numbered_guard_down(kNoseSteerCover) && switches::nose_steer_pos != 1.0f) switches::nose_steer_pos = 1.0f;
}
}  // namespace

void update_switch_covers() {
  float* position = button_switch::cover_position;
  if (covers_held_open()) {
    for (int i = 0; i < cover_count; ++i) position[i] = cover_target[i] = 1.0f;
  } else {
    for (int i = 0; i < cover_count; ++i) position[i] = lag_toward(position[i], cover_target[i], 0.0f, 1.0f, kCoverRate);
    hold_numbered_guarded_switches(false);
  }
  flt_ctrls::rudder_trim_sel_dial_pos =
      lag_toward(flt_ctrls::rudder_trim_sel_dial_pos, rudder_trim_switch, -1.0f, 1.0f, kTrimKnobRate);
  flt_ctrls::aileron_trim_switch_pos =
      lag_toward(flt_ctrls::aileron_trim_switch_pos, aileron_trim_switch, -1.0f, 1.0f, kTrimKnobRate);
}

// A closed guard holds its switch in the guarded position, so closing it
// over a switch left out of that position puts the switch back. The trim
// override guard keeps its place under the held-open option, and holds its
// switch while it stays closed.
void update_named_covers() {
  const bool held_open = covers_held_open();
  for (NamedCover& c : named_covers) {
    if (held_open && c.option_opens) {
      *c.position = *c.target = 1.0f;
      continue;
    }
    if (!held_open) *c.position = lag_toward(*c.position, *c.target, 0.0f, 1.0f, kCoverRate);
    if (guard_down(*c.position)) *c.held_switch = c.held_value;
  }
}

// A restored cockpit: a switch saved out of its guarded position under a
// closed guard is back in it before the frame's lights are judged, as the
// guard would hold it.
void hold_guarded_switches_after_restore() {
  if (covers_held_open()) return;
  hold_numbered_guarded_switches(true);
  for (NamedCover& c : named_covers) {
    if (guard_down(*c.position)) *c.held_switch = c.held_value;
  }
}

void close_every_guard() {
  for (NamedCover& c : named_covers) {
    *c.position = *c.target = 0.0f;
    *c.held_switch = c.held_value;
  }
  for (int i = 0; i < cover_count; ++i) button_switch::cover_position[i] = cover_target[i] = 0.0f;
  switches::fdr_cover_pos = fdr_cover_target = 0.0f;
  switches::fdr_pos = 0.0f;
  emergency::landgear_cover_pos = man_gear_cover_target = 0.0f;
  emergency::landgear_pos = man_gear_handle_target = 0.0f;
  // The stabiliser trim cutouts: NORMAL under closed guards.
  toggle_switch::el_trim_lock_pos = toggle_switch::el_trim_pos = 0.0f;
  toggle_switch::ap_trim_lock_pos = toggle_switch::ap_trim_pos = 0.0f;
}

void write_cover_array() {
  float pos[kCoverArraySize] = {};
  float tgt[kCoverArraySize] = {};
  for (int i = 0; i < cover_count; ++i) {
    pos[i] = button_switch::cover_position[i];
    tgt[i] = cover_target[i];
  }
  script_set_vf(bound::zuvadud_D738_cover, pos, kCoverArraySize);
  script_set_vf(bound::zuvadud_D738_cover_tgt, tgt, kCoverArraySize);
}

void read_cover_arrays() {
  // An absent array leaves the covers where they are.
  if (!bound_present(bound::zuvadud_D738_cover) || !bound_present(bound::zuvadud_D738_cover_tgt)) return;
  // A cover stands anywhere on its way; its target is open or closed, the
  // only places its command moves it from. Slots the scripts did not fill,
  // or that hold no such value, keep theirs.
  RestoredSlot positions[cover_count];
  RestoredSlot targets[cover_count];
  for (int i = 0; i < cover_count; ++i) {
    positions[i] = {static_cast<int16_t>(i), &button_switch::cover_position[i]};
    targets[i] = {static_cast<int16_t>(i), &cover_target[i]};
  }
  restore_slots(bound::zuvadud_D738_cover, kCoverArraySize, positions, cover_count, saved_travel::kCover);
  restore_slots(bound::zuvadud_D738_cover_tgt, kCoverArraySize, targets, cover_count, saved_travel::kCoverTgt);
}
