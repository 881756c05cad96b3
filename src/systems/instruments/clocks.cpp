// Clocks (see clocks.h).
#include "systems/instruments/clocks.h"

#include "core/host_io.h"
#include "core/binding.h"
#include "core/frame_values.h"
#include "systems/electrical/bus_feeds.h"
#include "systems/instruments/clock_values.h"
#include "systems/electrical/electric_values.h"
#include "systems/switches/panel_io.h"

ClockState clock_state;

namespace {

constexpr float kRun = 1.0f;
constexpr float kReset = -1.0f;
constexpr float kDateCycleS = 4.0f;

struct ClockRefs {
  float& et_mode;
  float& et_seconds;
  float& et_minutes;
  float& et_hours;
  float& et;
  float& chrono_mode;
  float& chrono_seconds;
  float& chrono_minutes;
  float& chrono_needle;
  float& chrono_display_mode;
  float& clock_display_mode;
  float& date_phase;
  float& power;
  float& date_timer;
  float display_mode_unpowered;
};

void elapsed_time(ClockRefs& c) {
  if (c.et_mode == kRun) {
    c.et_seconds += frame_time;
    if (c.et_seconds >= 60.0f) {
      c.et_seconds -= 60.0f;
      c.et_minutes += 1.0f;
    }
    if (c.et_minutes > 59.0f) {
      c.et_minutes = 0.0f;
      c.et_hours += 1.0f;
    }
    if (c.et_hours > 23.0f) {
      c.et_hours = 0.0f;
      c.et_minutes = 0.0f;
    }
  } else if (c.et_mode == kReset) {
    c.et_seconds = 0.0f;
    c.et_minutes = 0.0f;
    c.et_hours = 0.0f;
  }
}

void chronograph(ClockRefs& c, float minute_limit) {
  if (c.chrono_mode == kRun) {
    c.chrono_seconds += frame_time;
    c.chrono_needle = c.chrono_seconds;
    if (c.chrono_seconds >= 60.0f) {
      c.chrono_seconds -= 60.0f;
      c.chrono_minutes += 1.0f;
      c.chrono_needle = c.chrono_seconds;
      if (c.chrono_minutes > minute_limit) c.chrono_minutes = 0.0f;
    }
  } else if (c.chrono_mode == kReset) {
    c.chrono_seconds = 0.0f;
    c.chrono_minutes = 0.0f;
    c.chrono_needle = 0.0f;
  }
}

void power(ClockRefs& c, bool powered) {
  if (powered) {
    c.power = 1.0f;
    return;
  }
  c.chrono_mode = kReset;
  c.chrono_display_mode = 2.0f;
  c.et = 0.0f;
  c.clock_display_mode = c.display_mode_unpowered;
  c.power = 0.0f;
}

// Modes 2 and 4 page through the date fields on a 4 s cycle.
void date_cycle(ClockRefs& c) {
  if (c.clock_display_mode != 2.0f && c.clock_display_mode != 4.0f) {
    c.date_timer = 0.0f;
    c.date_phase = 0.0f;
    return;
  }
  c.date_timer += frame_time;
  if (c.date_timer > kDateCycleS) c.date_timer = 0.0f;
  const float t = c.date_timer;
  c.date_phase = t >= 3.5f ? 3.0f : t >= 2.0f ? 2.0f : t >= 1.5f ? 1.0f : 0.0f;
}

void run_clock(ClockRefs& c, bool powered, float minute_limit) {
  elapsed_time(c);
  chronograph(c, minute_limit);
  power(c, powered);
  date_cycle(c);
}

}  // namespace

float clock_brightness_fraction(float knob) {
  if (knob < 0.0f) return 0.25f;
  if (knob > 1.0f) return 1.0f;
  if (!(knob == knob)) return 0.25f;
  return 0.25f + 0.75f * knob;
}

bool clocks_powered() { return fed(Consumer::clock_power); }

bool clock_face_powered(int side) {
  if (side == clock_captain) return clocks_powered() && fed(Consumer::capt_clock_display);
  if (side == clock_first_officer) return clocks_powered() && fed(Consumer::fo_clock_display);
  return false;
}

void update_clocks() {
  using namespace clock_;
  ClockState& s = clock_state;
  ClockRefs capt{captain_et_mode,
                 captain_et_seconds,
                 captain_et_minutes,
                 captain_et_hours,
                 captain_et,
                 captain_chrono_mode,
                 captain_chrono_seconds,
                 captain_chrono_minutes,
                 captain_chrono_seconds_needle,
                 chrono_display_mode_capt,
                 clock_display_mode_capt,
                 clock_display_dmy_capt,
                 clock_capt_power,
                 s.date_cycle_timer_capt,
                 1.0f};
  ClockRefs fo{fo_et_mode,
               fo_et_seconds,
               fo_et_minutes,
               fo_et_hours,
               fo_et,
               fo_chrono_mode,
               fo_chrono_seconds,
               fo_chrono_minutes,
               fo_chrono_seconds_needle,
               chrono_display_mode_fo,
               clock_display_mode_fo,
               clock_display_dmy_fo,
               clock_fo_power,
               s.date_cycle_timer_fo,
               3.0f};
  const bool powered = clocks_powered();
  const float minute_limit = script_mirror.zuvadud_D738_chrono_variant == 0.0f ? 59.0f : 97.0f;
  run_clock(capt, powered, minute_limit);
  run_clock(fo, powered, minute_limit);

  // Display lighting: the captain's clock hangs on DC bus 1 or the standby
  // bus, the first officer's on DC bus 2 or the standby bus.
  const float p_capt = clock_face_powered(clock_captain) ? 1.0f : 0.0f;
  const float p_fo = clock_face_powered(clock_first_officer) ? 1.0f : 0.0f;
  const float f_capt = clock_brightness_fraction(s.chrono_brightness_capt);
  const float f_fo = clock_brightness_fraction(s.chrono_brightness_fo);
  const float glow_capt = f_capt / 0.6f < 1.0f ? f_capt / 0.6f : 1.0f;
  const float glow_fo = f_fo / 0.6f < 1.0f ? f_fo / 0.6f : 1.0f;
  float* ratio = host_mirror.sim_cockpit2_switches_instrument_brightness_ratio;
  bool changed = set_element(ratio, 8, p_capt * glow_capt);
  changed |= set_element(ratio, 21, f_capt * 0.75f * p_capt);
  changed |= set_element(ratio, 18, p_fo * glow_fo);
  changed |= set_element(ratio, 22, f_fo * 0.75f * p_fo);
  if (changed) host_send_vf(bound::sim_cockpit2_switches_instrument_brightness_ratio, ratio, 32);
}
