// Replay substitutes: while the host replays, the systems frame does not
// run, so this step rebuilds what the cockpit shows from host data that the
// replay reproduces: fuel readouts, radio-altitude callouts, the speed brake,
// reverse, flap and gear levers, engine rotation, engine 2's display flags
// and the standby altitude. Writes published values only.
#include "alerting/alerting_steps.h"
#include "alerting/aural_cues.h"
#include "alerting/gpws.h"
#include "core/binding.h"
#include "engines/engine_values.h"
#include "systems/aircraft_systems.h"
#include "systems/annunciators/annunciator_values.h"
#include "systems/flight_controls/flight_control_values.h"
#include "systems/flight_controls/speedbrake_lever.h"
#include "systems/instruments/instrument_values.h"
#include "systems/fuel/fuel.h"
#include "systems/fuel/fuel_values.h"
#include "core/host_io.h"
#include "systems/replay.h"
#include "systems/systems_steps.h"

ReplayState replay_state;

namespace {

constexpr float kKgToLb = 2.204622622f;

// One radio-altitude callout window: the flag is up while lo < h <= hi and
// its disable element is 0.
struct CalloutWindow {
  float* flag;
  int disable_index;
  float lo_ft, hi_ft;
};
const CalloutWindow kRaCalloutWindows[] = {
    {&cue_fmod::callouts_5, 0, 2.0f, 9.0f},        {&cue_fmod::callouts_10, 1, 5.0f, 15.0f},
    {&cue_fmod::callouts_20, 2, 2.0f, 25.0f},      {&cue_fmod::callouts_30, 3, 22.0f, 35.0f},
    {&cue_fmod::callouts_40, 4, 32.0f, 45.0f},     {&cue_fmod::callouts_50, 5, 42.0f, 55.0f},
    {&cue_fmod::callouts_60, 6, 52.0f, 65.0f},     {&cue_fmod::callouts_100, 7, 60.0f, 110.0f},
    {&cue_fmod::callouts_200, 8, 120.0f, 210.0f},  {&cue_fmod::callouts_300, 9, 220.0f, 310.0f},
    {&cue_fmod::callouts_400, 10, 320.0f, 410.0f}, {&cue_fmod::callouts_500, 11, 420.0f, 510.0f},
    {&cue_fmod::callouts_1000, 12, 900.0f, 1010.0f}, {&cue_fmod::callouts_1000s, 13, 800.0f, 1010.0f},
};
constexpr int kDisable2500 = 14;

// The tanks as the live fuel step shows them, rounding and all, so the
// gauges neither jump at the replay's start and end nor read otherwise in it.
void replay_fuel() {
  const bool coarse = script_mirror.zuvadud_D738_effects_fuelgauge == 0.0f;
  const float* m = host_mirror.sim_flightmodel_weight_m_fuel;
  fuel::left_tank_kgs = fuel_display_round(m[0], coarse);
  fuel::center_tank_kgs = fuel_display_round(m[1], coarse);
  fuel::right_tank_kgs = fuel_display_round(m[2], coarse);
  fuel::left_tank_lbs = fuel_display_round(m[0] * kKgToLb, coarse);
  fuel::center_tank_lbs = fuel_display_round(m[1] * kKgToLb, coarse);
  fuel::right_tank_lbs = fuel_display_round(m[2] * kKgToLb, coarse);
  fuel::total_tank_kgs = fuel::left_tank_kgs + fuel::center_tank_kgs + fuel::right_tank_kgs;
  fuel::total_tank_lbs = fuel::left_tank_lbs + fuel::center_tank_lbs + fuel::right_tank_lbs;
  fuel::center_tank_kgs_c = m[1];
}

void replay_callouts() {
  const float now = host_mirror.sim_time_total_running_time_sec;
  if (now > replay_state.previous_time && host_mirror.sim_flightmodel_position_vh_ind_fpm <= 0.0f) {
    const float h = host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot;
    const float* disable = script_mirror.zuvadud_D738_fms_ra_callout_disable;
    for (const CalloutWindow& w : kRaCalloutWindows) {
      *w.flag = (h > w.lo_ft && h <= w.hi_ft && disable[w.disable_index] == 0.0f) ? 1.0f : 0.0f;
    }
    if (!(h > 100.0f)) cue_fmod::callouts_1000s = 0.0f;
    const bool radio_alt = read_now_f(bound::zuvadud_D738_ra_radio_altimeter) != 0.0f;
    float& used = radio_alt ? cue_fmod::callouts_radio_alt : cue_fmod::callouts_2500;
    float& other = radio_alt ? cue_fmod::callouts_2500 : cue_fmod::callouts_radio_alt;
    other = 0.0f;
    if (h <= 2300.0f || h > 2900.0f) {
      used = 0.0f;
    } else if (h <= 2500.0f && disable[kDisable2500] == 0.0f) {
      used = 1.0f;
    }
  } else {
    callout_state.callout_reset = 1.0f;
  }
  replay_state.previous_time = now;
  if (callout_state.callout_reset == 1.0f) {
    callout_state.callout_reset = 0.0f;
    for (const CalloutWindow& w : kRaCalloutWindows) *w.flag = 0.0f;
    cue_fmod::callouts_2500 = 0.0f;
    cue_fmod::callouts_radio_alt = 0.0f;
  }
}

void replay_reverse_lever(int engine, float& lever) {
  const int32_t mode = host_mirror.sim_cockpit2_engine_actuators_prop_mode[engine];
  if (mode == 1) {
    lever = 0.0f;
  } else if (mode == 3) {
    const float t = host_mirror.sim_cockpit2_engine_actuators_throttle_ratio[engine];
    lever = t < 0.0f ? 0.06f : (t > 1.0f ? 1.0f : 0.06f + t * 0.94f);
  }
}

void replay_engine2_flags() {
  const float n = engine::indicators_N2_percent_2;
  engine::eicas_ff2 = 1.0f;
  if (n > 5.5f) {
    engine::eicas_oil_press2 = 1.0f;
    engine::eicas_oil_temp2 = 1.0f;
    return;
  }
  engine::eicas_oil_temp2 = 0.0f;
  if (n > 2.7f) {
    engine::eicas_oil_press2 = 1.0f;
  } else {
    engine::eicas_oil_press2 = 0.0f;
    if (n <= 0.01f) engine::eicas_ff2 = 0.0f;
  }
}

}  // namespace

void update_cockpit_indications() {
  replay_fuel();
  replay_callouts();
  flt_ctrls::speedbrake_lever = speedbrake_lever_from_ratio(host_mirror.sim_cockpit2_controls_speedbrake_ratio);
  replay_reverse_lever(0, flt_ctrls::reverse_lever1);
  replay_reverse_lever(1, flt_ctrls::reverse_lever2);
  flt_ctrls::reverse_lever12 = (flt_ctrls::reverse_lever1 + flt_ctrls::reverse_lever2) * 0.5f;
  flt_ctrls::flap_lever = host_mirror.sim_cockpit2_switches_landing_lights_switch[13];
  controls::gear_handle_down = host_mirror.sim_cockpit2_switches_landing_lights_switch[12];
  engine::rot_ang0 = host_mirror.sim_flightmodel2_engines_engine_rotation_angle_deg[0];
  engine::rot_ang1 = host_mirror.sim_flightmodel2_engines_engine_rotation_angle_deg[1];
  replay_engine2_flags();
  update_standby_altitude();
}

void silence_aurals() {
  silence_callouts();
  gpws_sequence_end();
  float* const aurals[] = {
      &cue_fmodpack::flt_dk_door_lock, &fmod_::selcal_sound, &fmod_::attend, &fmod_::flap_sound, &fmod_::oxygen_test,
      &fmod_::mask_breath, &fmod_::mask_breath2, &fmod_::mach_warn, &system_::takeoff_config_warn,
      &systems::cabin_gear_wrn,
      // The fire bell rings with its FIRE WARN lights.
      &annunciator::fire_bell_annun, &annunciator::fire_bell_annun2,
      // The cabin altitude horn sounds with its CABIN ALTITUDE light, and
      // the crew's cut-out does nothing while no frame runs.
      &annunciator::cabin_alt};
  for (float* a : aurals) *a = 0.0f;
}
