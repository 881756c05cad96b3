// The annunciator pass itself: delay timers, brightness levels, the light
// equations, the six-pack memory, master caution, the light test, the display
// test flicker and power-up self-test, then the light-spill stage.
//
// Reads: the host's light rheostats and sun elevation, the lamp power of the
// direct battery bus, the six-pack and master caution buttons, the light test
// switch, "zuvadud/D738/selcal_disable". Writes: every annunciator:: light,
// the brightness levels, "zuvadud/D738/dspl_light_test".
#include "systems/annunciators/annunciators.h"

#include "core/command_refs.h"
#include "core/binding.h"
#include "core/frame_values.h"
#include "core/util.h"
#include "systems/annunciators/annunciator_values.h"
#include "systems/annunciators/annunciators_controls.h"
#include "systems/annunciators/annunciators_panels.h"
#include "systems/air/air_values.h"
#include "systems/delay_timers.h"
#include "systems/electrical/bus_feeds.h"
#include "systems/electrical/electric_values.h"
#include "systems/electrical/electrical.h"
#include "systems/fuel/fuel_pump_lights.h"
#include "core/host_io.h"
#include "systems/instruments/instrument_values.h"
#include "systems/switches/switch_values.h"

AnnunciatorLevels ann_levels;
AnnunciatorState ann_state;

namespace {

float* const group_lights[sp_group_count] = {
    &annunciator::six_pack_flt_cont, &annunciator::six_pack_irs,  &annunciator::six_pack_fuel,
    &annunciator::six_pack_elec,     &annunciator::six_pack_apu,  &annunciator::six_pack_fire,
    &annunciator::six_pack_ice,      &annunciator::six_pack_hyd,  &annunciator::six_pack_doors,
    &annunciator::six_pack_eng,      &annunciator::six_pack_overhead, &annunciator::six_pack_air_cond,
};

// Day factor on host 12: the sun's elevation in degrees dims the lamps at
// night to 5 % of the rheostat.
float day_factor() {
  if (host_version < 120000) return 1.0f;
  const float sun = mirror_f(bound::sim_graphics_scenery_sun_pitch_degrees);
  if (sun < -5.0f) return 0.05f;
  if (sun < 0.0f) return interpolate_clamped(-5.0f, 0.05f, 0.0f, 0.1f, sun);
  if (sun < 35.0f) return interpolate_clamped(0.0f, 0.1f, 35.0f, 1.0f, sun);
  return 1.0f;
}

void compute_levels() {
  const float power = ann_state.lamps_powered ? elec_bus_status.dir_batbus_copy : 0.0f;
  // Ratios: a host value beyond 0..1 would take the lamps past full (their
  // products beyond any float).
  const float r14 =
      clamp_range(mirror_vf_at(bound::sim_flightmodel2_lights_generic_lights_brightness_ratio, 14), 0.0f, 1.0f);
  const float r13 =
      clamp_range(mirror_vf_at(bound::sim_flightmodel2_lights_generic_lights_brightness_ratio, 13), 0.0f, 1.0f);
  // The DIM relay works on the lamps' power: with the aircraft dark the
  // switch moves and the cart's lamp stays as it was until power comes.
  if (ann_state.lamps_powered || ann_state.held_dim < 0.0f) ann_state.held_dim = r14;
  ann_levels.day_factor = day_factor();
  ann_levels.l0 = r14 * power;
  ann_levels.l1 = ann_levels.l0 * ann_levels.day_factor;
  ann_levels.l2 = r13 * power * ann_levels.day_factor;
  ann_levels.l2_dimmed = ann_levels.l2 * r14;
  ann_levels.unpowered = ann_state.held_dim * ann_levels.day_factor;
  annunciator::brightness_level = ann_levels.l1;
  cockpit::brightness_level2 = ann_levels.l2;
}

void six_pack_memory() {
  for (SixPackGroup& g : ann_state.six_pack) {
    bool changed = false;
    for (int i = 0; i < kSixPackSlots; ++i) {
      const int32_t v = g.slot[i];
      if (v != g.memory[i]) {
        if (v == 1) g.lamp = 1.0f;
        g.is_new[i] = v == 1 ? 1 : 0;
        changed = true;
      } else if (v == 0) {
        g.is_new[i] = 0;
      }
      g.memory[i] = v;
    }
    if (changed) {
      bool any_new = false;
      for (int32_t n : g.is_new) any_new = any_new || n != 0;
      if (!any_new) g.lamp = 0.0f;
    }
  }
}

bool six_pack_held() {
  return buttons::capt_6_pack_pos == 1.0f || buttons::fo_6_pack_pos == 1.0f;
}

void group_lights_and_master_caution() {
  const bool held = six_pack_held();
  bool any_lamp = false;
  for (int g = 0; g < sp_group_count; ++g) {
    *group_lights[g] = held ? ann_levels.l1 : ann_state.six_pack[g].lamp * ann_levels.l1;
    any_lamp = any_lamp || ann_state.six_pack[g].lamp == 1.0f;
  }
  // A new fire bell makes every active fire condition count as new again.
  // The bell itself is watched, not its lamp, which the dimmer scales.
  if (annunciator::fire_bell_annun2 == 1.0f && ann_state.prev_fire_bell_annun != 1.0f) {
    for (int32_t& m : ann_state.six_pack[sp_fire].memory) m = 0;
  }
  ann_state.prev_fire_bell_annun = annunciator::fire_bell_annun2;
  annunciator::master_caution_light = (any_lamp || held) ? ann_levels.l2_dimmed : 0.0f;
}

void light_test() {
  if (ann_state.ann_test_active != 1.0f) return;
  for (int i = 0; i < ann_test_light_count; ++i) {
    const AnnTestLight& t = ann_test_lights[i];
    *t.light = t.level == test_l2 ? ann_levels.l2 : (t.level == test_l0 ? ann_levels.l0 : ann_levels.l1);
  }
  air::l_duct_overheat_700 = ann_levels.l1;
  air::r_duct_overheat_700 = ann_levels.l1;
  if (mirror_f(bound::zuvadud_D738_selcal_disable) == 0.0f) {
    annunciates::selcal_com1 = ann_levels.l1;
    annunciates::selcal_com2 = ann_levels.l1;
    annunciates::selcal_com3 = ann_levels.l1;
  }
}

// Each display flickers between two test patterns at its own slightly random rate.
void display_test_flicker() {
  float* dspl = cockpit::dspl_light_test;
  if (ann_state.ann_test_active != 1.0f) {
    for (int i = 0; i < 9; ++i) dspl[i] = 0.0f;
    return;
  }
  for (int i = 0; i < 9; ++i) {
    float& phase = ann_state.flicker_phase_s[i];
    if (!(phase == phase)) phase = 0.0f;
    dspl[i] = phase < 2.5f ? 1.0f : 2.0f;
    const float r = random_fraction();
    phase += frame_time * (1.0f + 0.17f * r);
    if (phase > 4.0f) phase -= 4.0f;
    if (phase > 4.0f) phase = 0.0f;
  }
}

void display_power_self_test() {
  float& element = cockpit::dspl_light_test[9];
  // The displays restart when their own buses come back; neither the battery
  // bus nor the battery switch feeds them.
  const bool display_power = fed(Consumer::display_self_test);
  const float bat = display_power ? 1.0f : 0.0f;
  if (bat == 0.0f) {
    element = 0.0f;
    ann_state.dspl_power_test_time = 0.0f;
  } else if (bat != ann_state.prev_batbus_status) {
    ann_state.dspl_power_test_time = 11.0f;
    element = 1.0f;
  } else if (ann_state.dspl_power_test_time > 0.0f) {
    ann_state.dspl_power_test_time -= frame_time;
    if (ann_state.dspl_power_test_time <= 0.0f) {
      ann_state.dspl_power_test_time = 0.0f;
      element = 0.0f;
    } else {
      element = 1.0f;
    }
  }
  ann_state.prev_batbus_status = bat;
}

}  // namespace

namespace {
float* six_pack_button(int side) {
  if (side == 0) return &buttons::capt_6_pack_pos;
  if (side == 1) return &buttons::fo_6_pack_pos;
  return nullptr;
}
float* master_caution_button(int side) {
  if (side == 0) return &push_button::master_caution_accept1;
  if (side == 1) return &push_button::master_caution_accept2;
  return nullptr;
}
}  // namespace

void six_pack_press(int side) {
  float* button = six_pack_button(side);
  if (button == nullptr) return;
  *button = 1.0f;
  ann_state.recall = 1;
}

void six_pack_release(int side) {
  float* button = six_pack_button(side);
  if (button == nullptr) return;
  *button = 0.0f;
  for (SixPackGroup& g : ann_state.six_pack) {
    for (int32_t& m : g.memory) m = 0;
  }
}

void master_caution_press(int side) {
  float* button = master_caution_button(side);
  if (button == nullptr || *button != 0.0f) return;
  *button = 1.0f;
  master_caution_reset();
  issue_command_once(HostCmd::annunciator_clear_master_caution);
}

void master_caution_release(int side) {
  if (float* button = master_caution_button(side)) *button = 0.0f;
}

void master_caution_reset() {
  for (SixPackGroup& g : ann_state.six_pack) {
    for (int32_t& n : g.is_new) n = 0;
    g.lamp = 0.0f;
  }
  ann_state.recall = 0;
}

void annunciator_first_frame_reset() {
  for (SixPackGroup& g : ann_state.six_pack) g = SixPackGroup{};
  ann_state.recall = 0;
  ann_state.held_dim = -1.0f;
  delay_timers.selcal_delay_hf = 0.0f;
  delay_timers.selcal_delay_com1 = 0.0f;
  delay_timers.selcal_delay_com2 = 0.0f;
  delay_timers.selcal_delay_com3 = 0.0f;
  fuel_pump_lights.unusable_pitch_lag = 0.0f;
  fuel_pump_lights.unusable_roll_lag = 0.0f;
  // The automatic shut-off records a centre tank that ran dry: a new flight
  // that finds fuel in it starts with its pumps free to run.
  if (mirror_vf_at(bound::sim_cockpit2_fuel_fuel_quantity, 1) > 0.0f) {
    for (int c = 0; c < 2; ++c) {
      fuel_pump_lights.ctr_pump_auto_off[c] = 0;
      fuel_pump_lights.ctr_pump_auto_timer[c] = 0.0f;
      fuel_pump_lights.ctr_pump_light_time[c] = 0.0f;
      fuel_pump_lights.pump_low_filter[fuel_pump_c1 + c] = 0.0f;
      fuel_pump_lights.pump_low_latch[fuel_pump_c1 + c] = 0.0f;
    }
  }
  recorder_lights.fdr_test_on = 0.0f;
  recorder_lights.cvr_run_timer = 0.0f;
  recorder_lights.cvr_state = 0;
  recorder_lights.eng_running_prev[0] = mirror_vi_at(bound::sim_flightmodel_engine_ENGN_running, 0);
  recorder_lights.eng_running_prev[1] = mirror_vi_at(bound::sim_flightmodel_engine_ENGN_running, 1);
  overhead_lights.bleed_trip_latch[0] = 0.0f;
  overhead_lights.bleed_trip_latch[1] = 0.0f;
  for (int e = 0; e < 2; ++e) {
    overhead_lights.reverser_prev_mode[e] = 0;
    overhead_lights.reverser_stow_s[e] = 0.0f;
    overhead_lights.reverser_disagree_s[e] = 0.0f;
    overhead_lights.reverser_lit_s[e] = 0.0f;
  }
  overhead_lights.config_takeoff_seen = 0;
  overhead_lights.config_flaps_up_s = 0.0f;
  overhead_lights.config_reminder_due = false;
  for (float& t : anti_ice_lights.valve_disagree_s) t = 0.0f;
}

float light_filter_step(LightFilter& f, float target, float rate) {
  f.value = lag_toward(f.value, target, 0.0f, 1.0f, rate);
  if (f.value > 0.95f) f.latch = 1.0f;
  if (f.value < 0.05f) f.latch = 0.0f;
  return f.latch;
}

void update_annunciators() {
  update_annunciator_timers();
  ann_state.lamps_powered = fed(Consumer::annunciator_lamps);
  // The test relay lights nothing without the lamps' power; the switch left
  // at TEST lights the test when power comes.
  annunciator::test = as01(toggle_switch::bright_test == 1.0f && ann_state.lamps_powered);
  ann_state.ann_test_active = annunciator::test;
  compute_levels();

  for (SixPackGroup& g : ann_state.six_pack) {
    for (int32_t& s : g.slot) s = 0;
  }
  ann_state.recall_shows = false;
  annunciators_electrical();
  annunciators_flight_controls();
  annunciators_overhead();
  annunciators_fire();
  annunciators_doors_radio();
  annunciators_cabin_bleed();
  annunciators_recorders();
  annunciators_anti_ice();
  annunciators_gear_flight();
  annunciators_fuel_valves();
  if (!ann_state.recall_shows) ann_state.recall = 0;

  six_pack_memory();
  group_lights_and_master_caution();
  light_test();
  annunciator::flaps_test =
      (push_button::flaps_test_pos == 1.0f || ann_state.ann_test_active == 1.0f) ? 1.0f : 0.0f;
  battery_discharge_monitor();
  display_test_flicker();
  display_power_self_test();
  update_annunciators_aux();
}
