// Links to two optional outside add-ons, reached only through their
// datarefs and silent when absent: the terrain radar (terrain caution and
// warning for the GPWS, terrain elevations for the navigation display) and
// the runway-awareness advisor (told the GPWS priority and inoperative state,
// Vref and the takeoff and landing flap ranges through its overrides).
#include <cmath>

#include "alerting/alerting_steps.h"
#include "alerting/aural_cues.h"
#include "alerting/gpws.h"
#include "core/binding.h"
#include "core/frame_values.h"
#include "core/host_io.h"
#include "core/preprocess_values.h"
#include "systems/electrical/bus_feeds.h"
#include "systems/electrical/electric_values.h"
#include "systems/instruments/instrument_values.h"
#include "systems/switches/switch_values.h"
#include "systems/system_state.h"

RunwayAwarenessLinkState raas_link_state;

namespace {


float low_hundreds(int ft) {
  const int h = ft / 100;  // toward zero
  return static_cast<float>(h < -99 ? -99 : (h > 999 ? 999 : h));
}
float high_hundreds(int ft) {
  // Ceiling of ft / 100 in integers, clear of float rounding on large values.
  int h = ft / 100;
  if (ft % 100 > 0) h += 1;
  return static_cast<float>(h < -99 ? -99 : (h > 999 ? 999 : h));
}

struct Display {
  bound::Id low_alt, low_col, high_alt, high_col;
  float *low, *low_colour, *high, *high_colour;
};
const Display kDisplays[2] = {
    {bound::hollvik_terrain_radar_display1_low_elevation_altitude, bound::hollvik_terrain_radar_display1_low_elevation_color,
     bound::hollvik_terrain_radar_display1_high_elevation_altitude, bound::hollvik_terrain_radar_display1_high_elevation_color,
     &cockpit::terrain_low, &cockpit::terrain_low_colour, &cockpit::terrain_high, &cockpit::terrain_high_colour},
    {bound::hollvik_terrain_radar_display2_low_elevation_altitude, bound::hollvik_terrain_radar_display2_low_elevation_color,
     bound::hollvik_terrain_radar_display2_high_elevation_altitude, bound::hollvik_terrain_radar_display2_high_elevation_color,
     &cockpit::terrain_low2, &cockpit::terrain_low_colour2, &cockpit::terrain_high2, &cockpit::terrain_high_colour2},
};

void clear_displays() {
  for (const Display& d : kDisplays) *d.low = *d.low_colour = *d.high = *d.high_colour = 0.0f;
}

struct FlapRange {
  float setting;
  float min, max;
};
constexpr FlapRange kTakeoffFlaps[] = {{1, 0.124f, 0.126f}, {5, 0.374f, 0.376f}, {10, 0.499f, 0.501f},
                                       {15, 0.624f, 0.626f}, {25, 0.749f, 0.751f}};
constexpr FlapRange kTakeoffFlapsOther = {0, 0.124f, 0.751f};
constexpr FlapRange kLandingFlaps[] = {{15, 0.624f, 0.626f}, {25, 0.749f, 0.751f}, {30, 0.874f, 0.876f},
                                       {40, 0.999f, 1.0f}};
constexpr FlapRange kLandingFlapsOther = {0, 0.624f, 1.0f};

template <int N>
FlapRange pick_range(const FlapRange (&table)[N], const FlapRange& other, float setting) {
  for (const FlapRange& r : table)
    if (r.setting == setting) return r;
  return other;
}

void send_range(float setting, float& prev, const FlapRange& r, bound::Id min_id, bound::Id max_id) {
  if (setting == prev) return;
  const float cur_min = read_now_f(min_id);
  const float cur_max = read_now_f(max_id);
  if (cur_min != r.min) script_set_f(min_id, r.min);
  if (cur_max != r.max) script_set_f(max_id, r.max);
  prev = setting;
}

}  // namespace

void update_terrain_radar_link() {
  TerrainRadarLinkState& t = terrain_radar_link_state;
  if (frame_done == 0) {
    t.fix_circles_enabled = 1;
    t.terrain_display_link = 0;
    if (bound_present(bound::hollvik_terrain_radar_version)) {
      t.terrain_radar_version = static_cast<uint32_t>(read_now_i(bound::hollvik_terrain_radar_version));
      if (t.terrain_radar_version < 101800u) t.fix_circles_enabled = 0;
      if (t.terrain_radar_version >= 102100u) t.terrain_display_link = 1;
    }
    clear_displays();
    gpws::terr_warn = 0.0f;
    gpws::draw_terrain_flag = static_cast<float>(t.terrain_display_link);
    return;
  }

  // The link is the GPWS computer's: without its power, as with TERR
  // INHIBIT, no prediction, no caution and no picture.
  const bool terrain = trunc_to_i32(toggle_switch::gpws_terr_pos) == 0 && fed(Consumer::gpws);
  float w = -1.0f;
  const bool present = bound_present(bound::hollvik_terrain_radar_gpws_terrain_prediction_enable_terrain_prediction) &&
                       bound_present(bound::hollvik_terrain_radar_gpws_terrain_prediction_enable_aural_messages) &&
                       bound_present(bound::hollvik_terrain_radar_gpws_terrain_prediction_is_active) &&
                       bound_present(bound::hollvik_terrain_radar_gpws_terrain_prediction_state);
  if (present) {
    w = 0.0f;
    // Our own GPWS speaks; the add-on's voice stays off.
    script_set_i(bound::hollvik_terrain_radar_gpws_terrain_prediction_enable_aural_messages, 0);
    if (terrain) {
      script_set_i(bound::hollvik_terrain_radar_gpws_terrain_prediction_enable_terrain_prediction, 1);
      if (read_now_i(bound::hollvik_terrain_radar_gpws_terrain_prediction_is_active) == 1)
        w = static_cast<float>(read_now_i(bound::hollvik_terrain_radar_gpws_terrain_prediction_state));
    } else {
      script_set_i(bound::hollvik_terrain_radar_gpws_terrain_prediction_enable_terrain_prediction, 0);
    }
  }

  // TERR INHIBIT takes the terrain off both displays with its alerts.
  const bool display = t.terrain_display_link != 0 && terrain;
  if (display) {
    for (const Display& d : kDisplays) {
      const int low = read_now_i(d.low_alt);
      const int low_col = read_now_i(d.low_col);
      const int high = read_now_i(d.high_alt);
      const int high_col = read_now_i(d.high_col);
      *d.low = low_hundreds(low);
      *d.low_colour = static_cast<float>(low_col);
      *d.high = high_hundreds(high);
      *d.high_colour = static_cast<float>(high_col);
    }
  } else {
    clear_displays();
  }
  gpws::terr_warn = w;
  gpws::draw_terrain_flag = display ? 1.0f : 0.0f;
}

void update_runway_awareness_link() {
  if (!bound_present(bound::xraas_override_GPWS_prio) || !bound_present(bound::xraas_override_GPWS_inop) ||
      !bound_present(bound::xraas_override_Vref)) {
    cockpit::xraas_installed = 0.0f;
    return;
  }
  if (cockpit::xraas_installed == 1.0f) {
    script_set_i(bound::xraas_override_GPWS_prio, 1);
    script_set_i(bound::xraas_override_GPWS_inop, 1);
    script_set_i(bound::xraas_override_Vref, 1);
    script_set_i(bound::xraas_override_takeoff_flaps, 1);
    script_set_i(bound::xraas_override_landing_flaps, 1);
  }
  cockpit::xraas_installed = 1.0f;

  const int inop = read_now_i(bound::xraas_override_GPWS_inop_act);
  const bool working = fed(Consumer::gpws) &&
                       (elec_bus_state.flags[0] != 0.0f || elec_bus_state.flags[1] != 0.0f) &&
                       cockpit_options.raas != 2.0f && toggle_switch::gpws_xraas_pos == 0.0f;
  if (!working) {
    if (inop == 0) script_set_i(bound::xraas_override_GPWS_inop_act, 1);
    return;
  }
  if (inop != 0) script_set_i(bound::xraas_override_GPWS_inop_act, 0);

  const int prio = read_now_i(bound::xraas_override_GPWS_prio_act);
  if (gpws_state.hold_timer != 0.0f) {
    if (prio == 0) script_set_i(bound::xraas_override_GPWS_prio_act, 1);
    return;
  }
  if (prio != 0) script_set_i(bound::xraas_override_GPWS_prio_act, 0);

  RunwayAwarenessLinkState& r = raas_link_state;
  const float vapp = mirror_f(bound::zuvadud_D738_FMS_approach_speed);
  if (vapp != r.raas_vref_prev) {
    const int current = read_now_i(bound::xraas_override_Vref_act);
    const int target = vapp == 0.0f ? 180 : trunc_to_i32(std::floor(vapp));
    if (target != current) script_set_i(bound::xraas_override_Vref_act, target);
    r.raas_vref_prev = vapp;
  }

  const float to = mirror_f(bound::zuvadud_D738_FMS_takeoff_flaps);
  send_range(to, r.raas_takeoff_flaps_prev, pick_range(kTakeoffFlaps, kTakeoffFlapsOther, to),
             bound::xraas_override_takeoff_flaps_min_act, bound::xraas_override_takeoff_flaps_max_act);
  const float ldg = mirror_f(bound::zuvadud_D738_FMS_approach_flaps);
  send_range(ldg, r.raas_landing_flaps_prev, pick_range(kLandingFlaps, kLandingFlapsOther, ldg),
             bound::xraas_override_landing_flaps_min_act, bound::xraas_override_landing_flaps_max_act);
}
