// Speed brake lever detents. Reads the lever and hydraulic system A; writes the
// host's "sim/cockpit2/controls/speedbrake_ratio" (mirror first, then host).
#include "systems/flight_controls/speedbrake_lever.h"

#include "core/binding.h"
#include "core/host_io.h"
#include "core/preprocess_values.h"
#include "core/util.h"
#include "systems/delay_timers.h"
#include "systems/flight_controls/flight_control_values.h"
#include "systems/hydraulics/hydraulic_values.h"

int32_t speedbrake_flight_detent_latch;
int32_t speedbrake_enable;
float speedbrake_lever_anim_target;

namespace {
// Lever positions (fraction of travel).
constexpr float flight_detent = 0.667f;
constexpr float armed_detent = 0.0889f;
constexpr float spoiler_start = 0.15f;

bool lever_written;        // a cockpit has written the lever this flight
float lever_written_last;  // the detent it wrote last
// The cockpit's last write stood beyond the flight detent and the stop held
// the lever back: the same write is taken once the stop lets go.
bool lever_written_stopped;

void set_speedbrake_ratio(float ratio) {
  set_mirror_f(bound::sim_cockpit2_controls_speedbrake_ratio, ratio);
  host_send_f(bound::sim_cockpit2_controls_speedbrake_ratio, ratio);
}
}  // namespace

float speedbrake_target() {
  if (bound_present(bound::zuvadud_D738_flt_ctrls_speedbrake_target)) {
    const float v = read_now_f(bound::zuvadud_D738_flt_ctrls_speedbrake_target);
    speedbrake_lever_anim_target = clamp_range(v, 0.0f, 1.0f);
  }
  return speedbrake_lever_anim_target;
}

void set_speedbrake_target(float target) {
  speedbrake_lever_anim_target = target;
  script_set_f(bound::zuvadud_D738_flt_ctrls_speedbrake_target, target);
}

float speedbrake_detent(float lever) {
  const double l = lever;
  if (!(l > 0.04)) return 0.0f;
  if (l < 0.13) return armed_detent;
  if (l < 0.15) return spoiler_start;
  return l > 1.0 ? 1.0f : lever;
}

void snap_speedbrake_lever() {
  float& lever = flt_ctrls::speedbrake_lever;
  if (flt_ctrls::speedbrake_lever_anim == 0.0f) {
    lever = speedbrake_detent(lever);
    if (speedbrake_flight_detent_latch == 1 && static_cast<double>(lever) > 0.667) {
      lever = flight_detent;
      if (static_cast<double>(speedbrake_target()) > 0.667) set_speedbrake_target(flight_detent);
    }
  }
  speedbrake_detents();
}

void move_speedbrake_lever(float lever) {
  flt_ctrls::speedbrake_lever_anim = 0.0f;
  delay_timers.speedbrake_anim_delay = 0.0f;
  flt_ctrls::speedbrake_lever = lever;
  snap_speedbrake_lever();
}

void write_speedbrake_lever(float lever) {
  if (lever != lever) return;
  const float detent = speedbrake_detent(lever);
  const bool released = lever_written_stopped && speedbrake_flight_detent_latch == 0;
  if (lever_written && detent == lever_written_last && !released) return;
  lever_written = true;
  lever_written_last = detent;
  move_speedbrake_lever(lever);
  lever_written_stopped = flt_ctrls::speedbrake_lever < detent;
}

void forget_speedbrake_lever_writes() {
  lever_written = false;
  lever_written_stopped = false;
}

void speedbrake_detents() {
  if (speedbrake_enable != 1) return;
  const double l = flt_ctrls::speedbrake_lever;
  if (l < 0.05) {
    set_speedbrake_ratio(0.0f);
  } else if (l < 0.13) {
    set_speedbrake_ratio(-0.5f);
  } else if (l > 0.13 && l < 0.15) {
    set_speedbrake_ratio(0.0f);
  } else if (l >= 0.15 && l <= 0.667) {
    set_speedbrake_ratio(static_cast<float>((l - 0.15) * 0.99 / 0.517));
  } else if (l > 0.667) {
    // Beyond the flight detent the ground spoilers join the flight
    // spoilers: on system A, and only with the right main gear's strut
    // compressed. In the air, or without A, the flight spoilers stay full as
    // at the flight detent: UP never takes them away.
    if (speedbrake_flight_detent_latch == 0 && hydraulic::A_status != 0.0f && gear3_on_ground == 1) {
      const double r = 0.99 + (l - 0.667) * 0.0100001 / 0.333;
      set_speedbrake_ratio(static_cast<float>(r > 1.0 ? 1.0 : r));
    } else {
      set_speedbrake_ratio(0.99f);
    }
  }
}

float speedbrake_lever_from_ratio(float r) {
  if (r == -0.5f) return 0.0889f;
  if (r == 0.0f) return 0.0f;
  if (r < 0.0f) return 0.15f;
  if (r <= 0.9899999f) return 0.15f + r * 0.517f / 0.9899999f;
  if (r < 0.99f) return 0.667f;
  if (r <= 1.0f) return 0.667f + (r - 0.9899999f) * 0.333f / 0.01000011f;
  if (r > 1.0f) return 1.0f;
  return 0.0f;  // NaN: stowed
}
