// Panel and instrument brightness: turns the brightness knobs, bus power, the
// display power-up flags and the ambient light (sun elevation) into the
// host's "sim/cockpit2/switches/panel_brightness_ratio" (4) and
// "instrument_brightness_ratio" (32), both sent whole every frame. A display
// format moved to another screen by the display selectors takes its
// brightness knob with it. Also publishes the display tints and the MCP
// light level.
#include <cmath>

#include "core/binding.h"
#include "core/host_io.h"
#include "core/frame_values.h"
#include "core/util.h"
#include "systems/aircraft_systems.h"
#include "systems/annunciators/annunciator_values.h"
#include "systems/electrical/bus_feeds.h"
#include "systems/electrical/electric_values.h"
#include "systems/instruments/instrument_values.h"
#include "systems/system_state.h"

namespace {

// Ambient light of the frame.
struct Ambient {
  float a;        // night glow offset
  float d;        // panel scale
  float b2, d2;   // glareshield range
  float min, max; // display knob range
};

Ambient ambient_light(float s) {
  if (host_version >= 120000) {
    if (s < -5.0f) return {0.05f, 0.05f, 0.05f, 0.05f, 0.5f, 1.0f};
    if (s < 0.0f) {
      const float a = interpolate_clamped(-5.0f, 0.05f, 0.0f, 0.1f, s);
      return {a, a, a, a, interpolate_clamped(-5.0f, 0.5f, 0.0f, 0.4f, s), interpolate_clamped(-5.0f, 1.0f, 0.0f, 0.8f, s)};
    }
    if (s < 35.0f) {
      const float a = interpolate_clamped(0.0f, 0.1f, 35.0f, 1.0f, s);
      return {a, a, a, a, 0.4f, 0.8f};
    }
    return {0.0f, 1.0f, 0.4f, 1.0f, 0.4f, 0.8f};
  }
  float a;
  if (s < -8.0f) {
    a = 0.2f;
  } else if (s >= 3.0f) {
    a = 0.0f;
  } else {
    a = interpolate_shaped(0.0f, 0.2f, 7.0f, 1.0f, interpolate_clamped(-8.0f, 0.0f, 3.0f, 7.0f, s), 2.0f);
  }
  return {a, 1.0f, 0.4f, 1.0f, 0.4f, 0.8f};
}

}  // namespace

void update_panel_brightness() {
  using namespace electric;
  const Ambient am = ambient_light(host_mirror.sim_graphics_scenery_sun_pitch_degrees);
  auto f = [&am](float x) { return interpolate_clamped(0.0f, am.min, 1.0f, am.max, x); };
  const bool h12 = host_version >= 120000;
  // Each display and panel light lives on its own buses, none of them the
  // battery bus nor behind the battery switch.
  const float vc = fed01(Consumer::capt_displays);
  const float vf = fed01(Consumer::fo_displays);
  const float p1 = elec_bus_state.capt_displays_ready;
  const float p2 = elec_bus_state.fo_displays_ready;
  float* kp = panel_brightness;
  const float* k = instrument_brightness;
  if (kp[2] < 0.05f) kp[2] = 0.0f;
  if (kp[3] < 0.05f) kp[3] = 0.0f;

  float* pan = host_mirror.sim_cockpit2_switches_panel_brightness_ratio;
  const float tns2 = fed01(Consumer::panel_lights);
  pan[0] = tns2 == 0.0f ? fed01(Consumer::panel_lights_standby) * am.d : tns2 * kp[0] * am.d;
  pan[1] = tns2 * kp[1] * am.d;
  pan[2] = tns2 * kp[2] * am.d;
  pan[3] = tns2 * kp[3] * am.d;
  const float f2u = tns2 * kp[2];
  const float f3u = tns2 * kp[3];

  float* ins = host_mirror.sim_cockpit2_switches_instrument_brightness_ratio;
  const float e[6] = {f(k[0]) * vc * p1, f(k[1]) * vf * p2, f(k[2]) * vc * p1,
                      f(k[3]) * vf * p2, f(k[4]) * vc * p1, f(k[5]) * vf * p2};
  for (int i = 0; i < 6; ++i) ins[i] = e[i];
  const float ldu = display_units::ldu;
  const float udu = display_units::udu;
  const float idu_fo = display_units::idu_fo;
  const float idu_cpt = display_units::idu_cpt;
  if (ldu == 1.0f) {
    ins[2] = e[5];
  } else if (ldu == 2.0f) {
    ins[4] = e[5];
  } else if (ldu == 3.0f) {
    ins[3] = e[5];
  }
  if (idu_fo == 0.0f) {
    ins[3] = e[3];
  } else if (idu_fo == 1.0f) {
    ins[4] = udu == 0.0f ? e[4] : e[3];
  } else if (idu_fo == 2.0f) {
    ins[1] = e[3];
  } else if (idu_fo == 3.0f) {
    ins[5] = e[3];
  }
  if (idu_cpt == 0.0f) {
    ins[2] = e[2];
  } else if (idu_cpt == 1.0f) {
    ins[4] = udu == 0.0f ? e[4] : e[2];
  } else if (idu_cpt == 2.0f) {
    ins[0] = e[2];
  } else if (idu_cpt == 3.0f) {
    ins[5] = e[2];
  }
  // A navigation display is dark while it redraws.
  if (display::nd_refresh > 0.2f) ins[2] = 0.0f;
  if (display::nd_refresh_fo > 0.2f) ins[3] = 0.0f;

  ins[10] = f(k[10]) * vc * p1;
  ins[20] = f(k[20]) * vc;
  ins[11] = f(k[11]) * vf * p2;
  ins[12] = f(script_mirror.zuvadud_D738_toggle_switch_irs_dspl_sel_brt) * vc;
  ins[13] = ins[14] = vc;
  ins[23] = batbus_status;
  ins[24] = f(k[24]) * (idu_cpt == 0.0f ? e[2] : e[5]);
  const float g25 = am.a + 0.25f + (1.0f - (am.a + 0.25f)) * clamp_range(k[5], 0.0f, 1.0f);
  ins[25] = f(k[25]) * g25 * vc * p1;
  ins[26] = f(k[26]) * (idu_fo == 0.0f ? e[3] : e[5]);

  float f2;
  float f3;
  if (h12) {
    f2 = f2u == 0.0f ? am.min : f(f2u);
    f3 = f3u == 0.0f ? am.min : f(f3u);
  } else {
    f3 = pan[3] == 0.0f ? am.a + 0.43f
                        : (pan[3] < 0.8f ? interpolate_shaped(0.0f, am.a + 0.43f, 0.8f, 1.0f, pan[3], 2.0f) : 1.0f);
    const float f2_floor = std::fmin(am.a + 0.33f, 1.0f);  // the night glow, never past full
    f2 = pan[2] == 0.0f ? f2_floor
                        : (pan[2] < 0.7f ? interpolate_shaped(0.0f, f2_floor, 0.7f, 1.0f, pan[2], 2.0f) : 1.0f);
  }
  if (vf == 0.0f) {
    ins[16] = vc;
    ins[19] = ins[27] = ins[28] = ins[29] = ins[30] = 0.0f;
    ins[17] = vc;
  } else {
    if (f3 > 0.5f) {
      ins[19] = f3 <= 0.63f ? interpolate_clamped(0.43f, 0.0f, 0.63f, 0.55f, f3)
                            : interpolate_clamped(0.63f, 0.55f, 1.0f, 1.0f, f3);
      ins[16] = vc * ins[19];
    } else {
      ins[19] = ins[16] = 0.0f;
    }
    if (f3 > 0.63f) {
      ins[27] = ins[28] = 0.0f;
    } else {
      ins[28] = interpolate_clamped(0.43f, 0.33f, 0.63f, 0.38f, f3);
      ins[27] = vc * ins[28];
    }
    const float g = f3 < 0.43f ? 0.33f : (f3 > 1.0f ? 1.0f : 0.33f + (f3 - 0.43f) * 0.67f / 0.57f);
    ins[29] = vc * g;
    ins[30] = g;
    ins[17] = host_mirror.sim_cockpit2_switches_generic_lights_switch[14] == 0.5f ? f2 * vc : vc;
  }

  if (!fed(Consumer::mcp_lights)) {
    ins[9] = annunciator::brightness_mcp_light = ins[15] = 0.0f;
  } else {
    const float x = pan[0];
    // The night glow lifts the dim end of the knob, never past full: near
    // sunrise on the older host it would reach 1.4.
    const float glow_floor = std::fmin(am.a + 0.4f, 1.0f);
    if (h12) {
      ins[9] = f(x);
      annunciator::brightness_mcp_light = interpolate_clamped(0.0f, am.b2, 1.0f, am.d2, x);
    } else {
      ins[9] = annunciator::brightness_mcp_light = interpolate_shaped(0.0f, glow_floor, 1.0f, 1.0f, x, 2.0f);
    }
    ins[15] = interpolate_clamped(0.0f, glow_floor, 1.0f, 1.0f, x) * 0.8f;
  }

  tint_dspl_capt = vc * 0.72f;
  tint_dspl_fo = vf * 0.72f;
  host_send_vf(bound::sim_cockpit2_switches_panel_brightness_ratio, pan, 4);
  host_send_vf(bound::sim_cockpit2_switches_instrument_brightness_ratio, ins, 32);
}
