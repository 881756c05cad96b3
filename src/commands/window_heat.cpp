// Command handlers of the cockpit area: window and wing heat. The four
// window heat switches and the wing anti-ice switch. A window switched on
// starts warming toward its heated temperature at once; switched off it also
// ends a running overheat test of that window. Wing anti-ice switched on on
// the ground is switched off again by the anti-ice step after lift-off.
#include "commands/command_handlers.h"
#include "commands/switch_moves.h"
#include "core/preprocess_values.h"
#include "systems/ice_rain/anti_ice.h"
#include "systems/delay_timers.h"
#include "systems/ice_rain/ice_values.h"
#include "systems/ice_rain/window_heat_state.h"

namespace {

constexpr float kWindowWarmupTargetDegC = 45.0f;

float& overheat_test_timer(WindowIndex w) {
  switch (w) {
    case window_l_side: return delay_timers.window_ovht_test_delay_l_side;
    case window_l_fwd: return delay_timers.window_ovht_test_delay_l_fwd;
    case window_r_side: return delay_timers.window_ovht_test_delay_r_side;
    default: return delay_timers.window_ovht_test_delay_r_fwd;
  }
}

void window_heat_switch(float& pos, WindowIndex w, XPLMCommandPhase phase) {
  if (phase != phase_begin) return;
  if (pos == 0.0f) {
    pos = 1.0f;
    anti_ice_state.window_heat_target[w] = kWindowWarmupTargetDegC;
  } else {
    pos = 0.0f;
    window_overheat_state[w] = 0.0f;
    overheat_test_timer(w) = 0.0f;
  }
}

}  // namespace

int cmd_toggle_switch_wing_heat(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase != phase_begin) return 0;
  if (ice::wing_heat_pos == 0.0f) {
    ice::wing_heat_pos = 1.0f;
    if (on_ground == 1) anti_ice_state.wing_heat_set_on_ground = 1.0f;
  } else {
    ice::wing_heat_pos = 0.0f;
    anti_ice_state.wing_heat_set_on_ground = 0.0f;
  }
  return 0;
}

int cmd_toggle_switch_window_heat_l_side(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  window_heat_switch(ice::window_heat_l_side_pos, window_l_side, phase);
  return 0;
}

int cmd_toggle_switch_window_heat_l_fwd(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  window_heat_switch(ice::window_heat_l_fwd_pos, window_l_fwd, phase);
  return 0;
}

int cmd_toggle_switch_window_heat_r_side(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  window_heat_switch(ice::window_heat_r_side_pos, window_r_side, phase);
  return 0;
}

int cmd_toggle_switch_window_heat_r_fwd(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  window_heat_switch(ice::window_heat_r_fwd_pos, window_r_fwd, phase);
  return 0;
}
