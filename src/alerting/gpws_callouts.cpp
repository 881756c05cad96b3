// Radio-altitude callouts: when each height announcement of the final
// descent is due, as one-shot flags for the sound scripts
// ("zuvadud/d738/fmod/callouts_*"). Each callout arms above its arming
// height, fires once on the way down and is blocked by its repeat timer.
#include <cmath>

#include "alerting/aural_cues.h"
#include "alerting/gpws.h"
#include "core/binding.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "core/util.h"

CalloutState callout_state;

namespace {

// One callout: clear at or below L, fire at or below F, arm above A, repeat
// block T seconds.
struct CalloutRow {
  float* flag;
  float clear_below_ft;
  float fire_at_ft;
  float arm_above_ft;
  float repeat_s;
};
// Slots 1..15 in order; slot 15's flag is picked at run time (2500 or "radio
// altitude") and slot 14's rule is its own.
const CalloutRow kCallouts[16] = {
    {nullptr, 0, 0, 0, 0},
    {&cue_fmod::callouts_5, 2, 8, 15, 6},
    {&cue_fmod::callouts_10, 2, 15, 25, 6},
    {&cue_fmod::callouts_20, 12, 25, 35, 6},
    {&cue_fmod::callouts_30, 22, 35, 45, 6},
    {&cue_fmod::callouts_40, 32, 45, 55, 6},
    {&cue_fmod::callouts_50, 42, 55, 65, 6},
    {&cue_fmod::callouts_60, 52, 65, 75, 6},
    {&cue_fmod::callouts_100, 70, 110, 125, 6},
    {&cue_fmod::callouts_200, 120, 210, 225, 6},
    {&cue_fmod::callouts_300, 220, 310, 325, 6},
    {&cue_fmod::callouts_400, 320, 410, 425, 6},
    {&cue_fmod::callouts_500, 420, 510, 525, 6},
    {&cue_fmod::callouts_1000, 800, 1010, 1025, 6},
    {&cue_fmod::callouts_1000s, 100, 1010, 1025, 11},
    {&cue_fmod::callouts_2500, 1500, 2500, 2900, 18},
};

float* const kAllFlags[16] = {
    &cue_fmod::callouts_5,   &cue_fmod::callouts_10,  &cue_fmod::callouts_20,    &cue_fmod::callouts_30,
    &cue_fmod::callouts_40,  &cue_fmod::callouts_50,  &cue_fmod::callouts_60,    &cue_fmod::callouts_100,
    &cue_fmod::callouts_200, &cue_fmod::callouts_300, &cue_fmod::callouts_400,   &cue_fmod::callouts_500,
    &cue_fmod::callouts_1000, &cue_fmod::callouts_1000s, &cue_fmod::callouts_2500, &cue_fmod::callouts_radio_alt,
};

float disable_element(int slot) {
  int n = 0;
  const float* v = mirror_vf(bound::zuvadud_D738_fms_ra_callout_disable, &n);
  const int i = slot - 1;
  return (v != nullptr && i >= 0 && i < n) ? v[i] : 0.0f;
}

// Within 2.4 dots of the side's active glidepath.
bool established(bool fo) {
  const float mode =
      fo ? mirror_f(bound::zuvadud_D738_nav_mmr_act_mode_fo) : mirror_f(bound::zuvadud_D738_nav_mmr_act_mode);
  if (mode == 0.0f) {
    const float type = fo ? mirror_f(bound::zuvadud_radios_copilot_nav_tuned_type_fo)
                          : mirror_f(bound::zuvadud_radios_pilot_nav_tuned_type);
    if (!(type > 1.0f)) return false;
    const float dev =
        fo ? mirror_f(bound::zuvadud_radios_copilot_nav_vdef_fo) : mirror_f(bound::zuvadud_radios_pilot_nav_vdef);
    return std::fabs(dev) <= 2.4f;
  }
  if (mirror_f(bound::zuvadud_D738_nav_mmr_active) != 1.0f) return false;
  const float dev = fo ? mirror_f(bound::zuvadud_D738_nav_mmr_vdef_fo) : mirror_f(bound::zuvadud_D738_nav_mmr_vdef);
  return std::fabs(dev) <= 2.4f;
}

// A call is said on the frame that crosses its height, wherever that frame
// lands, or within a few feet below it. A call that could not be said by
// then (an alert speaking, the call switched off, the gate closed) is
// dropped, never said late: ONE THOUSAND heard at 850 ft misleads the crew.
constexpr float kLateCall_ft = 5.0f;

// The general rule for one slot with its own flag, heights and timer. With
// `wait` an armed slot keeps its call for a later frame, within that reach.
void run_slot(int slot, float* flag, float h, float l, float f, float a, float t, bool disabled, bool wait) {
  CalloutState& c = callout_state;
  const bool crossing = c.callout_last_ft[slot] > f;
  c.callout_last_ft[slot] = h;
  if (h <= l) {
    *flag = 0.0f;
  } else if (h < f - kLateCall_ft && !(crossing && !wait && !disabled)) {
    c.callout_armed[slot] = 0;
  } else if (h > f || disabled) {
    if (h > a && c.callout_timer[slot] == 0.0f) {
      c.callout_armed[slot] = 1;
      *flag = 0.0f;
    }
  } else if (!wait && c.callout_timer[slot] == 0.0f && c.callout_armed[slot] != 0) {
    *flag = 1.0f;
    c.callout_timer[slot] = t;
    c.callout_armed[slot] = 0;
  }
}

void evaluate(bool fo, bool wait) {
  CalloutState& c = callout_state;
  const float r = fo ? mirror_f(bound::sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_copilot)
                     : mirror_f(bound::sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot);
  const float z = fo ? mirror_f(bound::sim_cockpit2_gauges_indicators_altitude_ft_copilot)
                     : mirror_f(bound::sim_cockpit2_gauges_indicators_altitude_ft_pilot);
  const float e =
      mirror_f(bound::zuvadud_D738_pfd_rwy_show) == 2.0f ? mirror_f(bound::zuvadud_D738_pfd_rwy_altitude) : 0.0f;
  const bool baro = finite_or(cockpit_options.ra_500_1000_baro, 0.0f) != 0.0f;

  for (int slot = 1; slot <= 11; ++slot) {
    const CalloutRow& row = kCallouts[slot];
    run_slot(slot, row.flag, r, row.clear_below_ft, row.fire_at_ft, row.arm_above_ft, row.repeat_s,
             disable_element(slot) != 0.0f, wait);
  }

  // 500 and 1000: a disable value of 2 only silences them on the glidepath.
  const bool on_path = established(fo);
  for (int slot = 12; slot <= 13; ++slot) {
    const CalloutRow& row = kCallouts[slot];
    const float d = disable_element(slot);
    const bool disabled = d == 2.0f ? on_path : d != 0.0f;
    if (baro) {
      run_slot(slot, row.flag, z, e + row.clear_below_ft, e + row.fire_at_ft, e + row.arm_above_ft, 11.0f, disabled,
               wait);
    } else {
      run_slot(slot, row.flag, r, row.clear_below_ft, row.fire_at_ft, row.arm_above_ft, row.repeat_s, disabled, wait);
    }
  }

  // 1000s: a second 1000 call, only in a steady 400-1000 ft/min descent.
  {
    const float h = baro ? z : r;
    const float base = baro ? e : 0.0f;
    const float vs = mirror_f(bound::sim_flightmodel_position_vh_ind_fpm);
    float* flag = &cue_fmod::callouts_1000s;
    if (h <= base + 100.0f) {
      *flag = 0.0f;
    } else if (h > base + 900.0f && h <= base + 1010.0f && vs > -1000.0f && vs < -400.0f &&
               disable_element(14) == 0.0f) {
      // The steady descent may come anywhere in the band, but a call held by
      // an alert is not said once its height has gone by.
      if (wait && h < base + 1010.0f - kLateCall_ft) c.callout_armed[14] = 0;
      if (!wait && c.callout_armed[14] != 0 && c.callout_timer[14] == 0.0f) {
        *flag = 1.0f;
        c.callout_timer[14] = 11.0f;
        c.callout_armed[14] = 0;
      }
    } else if (h > base + 1025.0f && c.callout_timer[14] == 0.0f) {
      c.callout_armed[14] = 1;
      *flag = 0.0f;
    }
  }

  // 2500, or "radio altitude" where the scripts choose that wording.
  {
    const CalloutRow& row = kCallouts[15];
    const bool radio_alt = cockpit_options.ra_radio_altimeter != 0.0f;
    float* flag = radio_alt ? &cue_fmod::callouts_radio_alt : &cue_fmod::callouts_2500;
    if (radio_alt) cue_fmod::callouts_2500 = 0.0f;
    else cue_fmod::callouts_radio_alt = 0.0f;
    run_slot(15, flag, r, row.clear_below_ft, row.fire_at_ft, row.arm_above_ft, row.repeat_s,
             disable_element(15) != 0.0f, wait);
  }
}

}  // namespace

void update_radio_altitude_callouts(bool fo, bool wait) {
  const float vs = mirror_f(bound::sim_flightmodel_position_vh_ind_fpm);
  const bool gate = mirror_f(bound::zuvadud_d738_fmodpack_fmod_gpwstest_long_on) == 0.0f &&
                    mirror_f(bound::zuvadud_d738_fmodpack_fmod_gpwstest_short_on) == 0.0f &&
                    mirror_f(bound::zuvadud_D738_FMS_flight_phase) > 1.0f &&
                    !(mirror_f(bound::zuvadud_D738_autopilot_fd_goaround) > 0.0f) &&
                    !(mirror_f(bound::zuvadud_D738_autopilot_ap_goaround) > 0.0f) && vs <= 0.0f;
  CalloutState& c = callout_state;
  if (gate) {
    evaluate(fo, wait);
  } else {
    for (float& h : c.callout_last_ft) h = 0.0f;
  }

  for (int slot = 1; slot <= 16; ++slot) {
    if (c.callout_timer[slot] == 0.0f) continue;
    c.callout_timer[slot] -= frame_time;
    if (c.callout_timer[slot] < 0.0f || std::isnan(c.callout_timer[slot])) {
      c.callout_timer[slot] = 0.0f;
      if (slot == 15) {
        cue_fmod::callouts_2500 = 0.0f;
        cue_fmod::callouts_radio_alt = 0.0f;
      } else if (slot < 15) {
        *kCallouts[slot].flag = 0.0f;
      }
    }
  }
}

void callouts_reset_check() {
  CalloutState& c = callout_state;
  if (c.callout_reset != 1.0f) return;
  c.callout_reset = 0.0f;
  if (sim_in_replay == 0) {
    for (int slot = 1; slot <= 16; ++slot) {
      c.callout_timer[slot] = 0.0f;
      c.callout_armed[slot] = 0;
      c.callout_last_ft[slot] = 0.0f;
    }
  }
  for (float* f : kAllFlags) *f = 0.0f;
}

void callouts_power_off() {
  CalloutState& c = callout_state;
  for (int slot = 1; slot <= 16; ++slot) {
    c.callout_timer[slot] = 0.0f;
    c.callout_armed[slot] = 0;
    c.callout_last_ft[slot] = 0.0f;
  }
}
