// Command handlers of the cockpit area: clocks, chronographs and the standby
// altimeter. The clock buttons move the mode values the clock step runs
// every frame; the standby altimeter handlers set its barometric reference
// (always held in inches of mercury, shown in the selected unit) directly.
#include <algorithm>

#include "commands/command_handlers.h"
#include "commands/command_hold.h"
#include "commands/switch_moves.h"
#include "systems/instruments/clock_values.h"
#include "systems/instruments/clocks.h"
#include "systems/electrical/bus_feeds.h"
#include "systems/electrical/electric_values.h"
#include "systems/instruments/instrument_values.h"
#include "systems/switches/switch_values.h"

namespace {

// Mode values of the elapsed time and the chronograph.
constexpr float kRunning = 1.0f;
constexpr float kHeld = 0.0f;
constexpr float kReset = -1.0f;

constexpr float kEtResetHoldS = 2.0f;       // holding the ET button this long resets it
constexpr float kBaroRepeatHoldS = 1.5f;    // the barometric knob repeats after this hold
constexpr double kHpaPerInHg = 33.8638816;
constexpr int kStandbyAltimeterBrightness = 20;  // element of the instrument brightness array

struct ClockSide {
  float& et_mode;
  float& et_button;
  float& chrono_mode;
  float& chr;
  float& chrono_display;
  float& clock_display;
  float& brightness;
  bool face_powered;  // a dark face ignores its buttons
};

ClockSide captain_clock() {
  return {clock_::captain_et_mode, clock_::captain_et,   clock_::captain_chrono_mode,
          clock_::captain_chr,     clock_::chrono_display_mode_capt, clock_::clock_display_mode_capt,
          clock_state.chrono_brightness_capt, clock_face_powered(clock_captain)};
}

ClockSide fo_clock() {
  return {clock_::fo_et_mode, clock_::fo_et,   clock_::fo_chrono_mode,
          clock_::fo_chr,     clock_::chrono_display_mode_fo, clock_::clock_display_mode_fo,
          clock_state.chrono_brightness_fo, clock_face_powered(clock_first_officer)};
}

// A press starts or holds the elapsed time; a hold of more than 2 s resets it.
void elapsed_time_button(ClockSide c, XPLMCommandPhase phase) {
  if (!c.face_powered) {
    c.et_button = 0.0f;
    return;
  }
  if (phase == phase_begin) {
    c.et_button = 1.0f;
    command_hold_time = 0.0f;
    if (c.chrono_display > 0.0f) c.chrono_display = 1.0f;
    if (c.et_mode == kHeld || c.et_mode == kReset) {
      c.et_mode = kRunning;
    } else if (c.et_mode == kRunning) {
      c.et_mode = kHeld;
    }
  } else if (phase == phase_continue) {
    if (command_hold_passed(kEtResetHoldS) && c.et_mode != kReset) {
      c.et_mode = kReset;
      c.et_button = 0.0f;
      if (c.chrono_display > 0.0f) c.chrono_display = 2.0f;
    }
  } else if (phase == phase_end) {
    c.et_button = 0.0f;
    command_hold_time = 0.0f;
  }
}

// Start, stop, reset in turn.
void chronograph_button(ClockSide c) {
  if (!c.face_powered) return;
  if (c.chrono_mode == kRunning) {
    c.chrono_display = 0.0f;
    c.chrono_mode = kHeld;
    c.chr = 1.0f;
  } else if (c.chrono_mode == kHeld) {
    c.chrono_mode = kReset;
    c.chrono_display = c.et_mode == kReset ? 2.0f : 1.0f;
    c.chr = 0.0f;
  } else if (c.chrono_mode == kReset) {
    c.chrono_display = 0.0f;
    c.chr = 1.0f;
    c.chrono_mode = kRunning;
  }
}

void clock_display_button(ClockSide c) {
  if (!c.face_powered) return;
  if (c.clock_display < 4.0f) {
    c.clock_display += 1.0f;
  } else if (c.clock_display >= 4.0f) {
    c.clock_display = 1.0f;
  }
}

void clock_brightness(ClockSide c, float delta) {
  if (c.face_powered) c.brightness += delta;
  if (delta < 0.0f && c.brightness < 0.0f) c.brightness = 0.0f;
  if (delta > 0.0f && c.brightness > 1.0f) c.brightness = 1.0f;
}

float& baro_setting_inhg() { return gauges::standby_altimeter_baro; }

// The displayed value follows the setting in the selected unit.
void show_baro(float unit) {
  const float setting = baro_setting_inhg();
  knobs::standby_alt_baro = unit == 1.0f ? static_cast<float>(setting * kHpaPerInHg) : setting;
}

// The standby flight display's buttons and knob move as any switch does, but
// a display without its power takes nothing from them.
bool standby_display_powered() { return fed(Consumer::standby_display_reset); }

// One step of the barometric knob; with STD selected the knob does nothing.
void baro_step(int dir) {
  if (gauges::standby_alt_std_mode != 0.0f || !standby_display_powered()) return;
  const float unit = gauges::standby_alt_mode;
  float& setting = baro_setting_inhg();
  const double s = setting;
  // Steps stored as floats drift off the hundredths: the knob's ends hold
  // the setting within 0 to 40 in, where the restore takes it back.
  if (unit == 0.0f) {
    if (dir < 0 && s > 0.0) setting = static_cast<float>(std::max(0.0, s - 0.01));
    if (dir > 0 && s < 40.0) setting = static_cast<float>(std::min(40.0, s + 0.01));
  } else if (unit == 1.0f) {
    if (dir < 0 && s >= 0.03) setting = static_cast<float>(std::max(0.0, s - 0.0295));
    if (dir > 0 && s < 39.98) setting = static_cast<float>(std::min(40.0, s + 0.0295));
  } else {
    return;
  }
  show_baro(unit);
}

void baro_knob(XPLMCommandPhase phase, int dir) {
  if (phase == phase_begin) {
    baro_step(dir);
    command_hold_time = 0.0f;
  } else if (phase == phase_continue) {
    if (command_hold_passed(kBaroRepeatHoldS)) baro_step(dir);
  }
}

void standby_brightness(XPLMCommandPhase phase, float& button, int dir) {
  if (phase == phase_begin) {
    button = 1.0f;
    if (!standby_display_powered()) return;
    float& level = electric::instrument_brightness[kStandbyAltimeterBrightness];
    const double v = level;
    // Steps of 0.05 stored as floats drift a little off the double thresholds
    // (twenty presses up from 0 end at 0.9500002): the tolerance lets the last
    // step reach the end, the limits keep it there.
    constexpr double kStepDrift = 1e-4;
    if (dir < 0 && v >= 0.05 - kStepDrift) level = static_cast<float>(std::max(0.0, v - 0.05));
    if (dir > 0 && v <= 0.95 + kStepDrift) level = static_cast<float>(std::min(1.0, v + 0.05));
  } else if (phase == phase_end) {
    button = 0.0f;
  }
}

}  // namespace

int cmd_push_button_chrono_disp_mode_capt(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) clock_display_button(captain_clock());
  return 0;
}

int cmd_push_button_chrono_disp_mode_fo(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) clock_display_button(fo_clock());
  return 0;
}

int cmd_push_button_chrono_capt_et_mode(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  elapsed_time_button(captain_clock(), phase);
  return 0;
}

int cmd_push_button_chrono_fo_et_mode(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  elapsed_time_button(fo_clock(), phase);
  return 0;
}

int cmd_push_button_chrono_cycle_capt(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) chronograph_button(captain_clock());
  return 0;
}

int cmd_push_button_chrono_cycle_fo(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) chronograph_button(fo_clock());
  return 0;
}

int cmd_push_button_chrono_bright_plus_cpt(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) clock_brightness(captain_clock(), 0.1f);
  return 0;
}

int cmd_push_button_chrono_bright_minus_cpt(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) clock_brightness(captain_clock(), -0.1f);
  return 0;
}

int cmd_push_button_chrono_bright_plus_fo(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) clock_brightness(fo_clock(), 0.1f);
  return 0;
}

int cmd_push_button_chrono_bright_minus_fo(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) clock_brightness(fo_clock(), -0.1f);
  return 0;
}

int cmd_knob_standby_alt_baro_up(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  baro_knob(phase, 1);
  return 0;
}

int cmd_knob_standby_alt_baro_dn(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  baro_knob(phase, -1);
  return 0;
}

int cmd_toggle_switch_standby_alt_hpin(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) {
    knobs::standby_alt_hpin_pos = 1.0f;
    if (!standby_display_powered()) return 0;
    gauges::standby_alt_mode = gauges::standby_alt_mode == 0.0f ? 1.0f : 0.0f;
    show_baro(gauges::standby_alt_mode);
  } else if (phase == phase_end) {
    knobs::standby_alt_hpin_pos = 0.0f;
  }
  return 0;
}

int cmd_toggle_switch_standby_alt_app(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) {
    knobs::standby_alt_app_pos = 1.0f;
    if (!standby_display_powered()) return 0;
    float& mode = gauges::standby_mode;
    if (mode == 0.0f) {
      mode = 1.0f;
    } else if (mode == 1.0f) {
      mode = 2.0f;
    } else {
      mode = 0.0f;
    }
  } else if (phase == phase_end) {
    knobs::standby_alt_app_pos = 0.0f;
  }
  return 0;
}

int cmd_toggle_switch_standby_alt_mode_up(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin && standby_display_powered()) step_position(gauges::standby_mode, 1, 0, 2);
  return 0;
}

int cmd_toggle_switch_standby_alt_mode_down(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin && standby_display_powered()) step_position(gauges::standby_mode, -1, 0, 2);
  return 0;
}

int cmd_toggle_switch_standby_alt_rst(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  momentary(knobs::standby_alt_rst_pos, phase);
  return 0;
}

int cmd_toggle_switch_standby_alt_plus(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  standby_brightness(phase, knobs::standby_alt_plus_pos, 1);
  return 0;
}

int cmd_toggle_switch_standby_alt_minus(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  standby_brightness(phase, knobs::standby_alt_minus_pos, -1);
  return 0;
}

// Leaving STD shows the set barometric reference again.
int cmd_toggle_switch_standby_alt_baro_std(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == phase_begin) {
    knobs::standby_alt_std_pos = 1.0f;
    if (!standby_display_powered()) return 0;
    if (gauges::standby_alt_std_mode == 0.0f) {
      gauges::standby_alt_std_mode = 1.0f;
    } else {
      gauges::standby_alt_std_mode = 0.0f;
      show_baro(gauges::standby_alt_mode);
    }
  } else if (phase == phase_end) {
    knobs::standby_alt_std_pos = 0.0f;
  }
  return 0;
}
