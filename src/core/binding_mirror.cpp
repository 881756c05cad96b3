// Per-frame mirrors of outside datarefs. poll_host_datarefs copies the host's
// values and poll_script_datarefs the scripts' into plain globals, through the
// generated flat tables of bound_polls.inc: no look-up, no string work and no
// allocation per frame. Reads always start at element 0 and ask for the
// mirror's length, or for what the host's array holds where that is shorter
// (the rest of the mirror keeps its zero); texts always end inside the mirror
// buffer.
// Every host value is read with the host's own type: the host converts
// nothing, and a getter of another type reads 0.
#include <array>
#include <cmath>
#include <cstdint>

#include "core/failure_tables.h"
#include "core/binding.h"
#include "core/bound_poll_types.h"
#include "core/frame_values.h"
#include "core/pitch_trim.h"

HostMirror host_mirror;
ScriptMirror script_mirror;
int32_t tcas_targets_present;
int sim_paused;
int sim_in_replay;

namespace {

#include "core/bound_polls.inc"

// Hosts from this version on name their weather values differently.
constexpr int32_t kNewerHostVersion = 120000;

// One invalid-input policy at the seam: a value from outside that is not a
// finite number enters the mirrors as 0, so no model downstream sees NaN.
inline float finite_or_zero(float v) { return std::isfinite(v) ? v : 0.0f; }
inline double finite_or_zero(double v) { return std::isfinite(v) ? v : 0.0; }
inline float read_f(XPLMDataRef ref) { return finite_or_zero(XPLMGetDataf(ref)); }
inline void read_vf(XPLMDataRef ref, float* dst, int count) {
  const int got = XPLMGetDatavf(ref, dst, 0, count);
  for (int i = 0; i < got && i < count; ++i) dst[i] = finite_or_zero(dst[i]);
}

// Positions, speeds and the air around the aircraft feed the route geometry
// and the systems, where an absurd but finite value (a broken add-on writing
// 1e30) turns into NaN or an out-of-range index several steps later. They are
// checked here, once, against what any aircraft can reach: a position off the
// globe, an altitude or an ambient pressure no aircraft meets is absent and
// the last good value stays; an impossible speed or temperature is absent
// and reads 0, as a value that is not a number does.
struct PositionRange {
  double* field;
  double lo, hi;
};
const PositionRange kPositionRanges[] = {
    {&host_mirror.sim_flightmodel_position_latitude, -90.0, 90.0},
    {&host_mirror.sim_flightmodel_position_longitude, -180.0, 180.0},
    {&host_mirror.sim_flightmodel_position_elevation, -2000.0, 150000.0},  // m
    {&host_mirror.sim_flightmodel2_position_pressure_altitude, -7000.0, 490000.0},  // ft
};

constexpr float kMaxSpeedMps = 3000.0f;  // well past the fastest aircraft flown
constexpr float kMaxSpeedKt = kMaxSpeedMps * 1.943844f;
constexpr float kMaxSpeedFpm = kMaxSpeedMps * 196.8504f;
constexpr float kMaxMach = 9.0f;
constexpr float kMinAltFt = -7000.0f;
constexpr float kMaxAltFt = 490000.0f;
constexpr float kMaxTempDegc = 150.0f;  // ambient air, either sign

struct FloatRange {
  float* field;
  float lo, hi;
  bool keep_last;  // absent keeps the last good value; otherwise reads 0
};
const FloatRange kFloatRanges[] = {
    {&host_mirror.sim_flightmodel_position_groundspeed, -kMaxSpeedMps, kMaxSpeedMps, false},
    {&host_mirror.sim_flightmodel_position_true_airspeed, -kMaxSpeedMps, kMaxSpeedMps, false},
    {&host_mirror.sim_flightmodel_position_local_vx, -kMaxSpeedMps, kMaxSpeedMps, false},
    {&host_mirror.sim_flightmodel_position_local_vy, -kMaxSpeedMps, kMaxSpeedMps, false},
    {&host_mirror.sim_flightmodel_position_local_vz, -kMaxSpeedMps, kMaxSpeedMps, false},
    {&host_mirror.sim_weather_speed_sound_ms, -kMaxSpeedMps, kMaxSpeedMps, false},
    {&host_mirror.sim_flightmodel_position_indicated_airspeed, -kMaxSpeedKt, kMaxSpeedKt, false},
    {&host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_pilot, -kMaxSpeedKt, kMaxSpeedKt, false},
    {&host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_copilot, -kMaxSpeedKt, kMaxSpeedKt, false},
    {&host_mirror.sim_cockpit2_gauges_indicators_wind_speed_kts, -kMaxSpeedKt, kMaxSpeedKt, false},
    {&host_mirror.sim_flightmodel_position_vh_ind_fpm, -kMaxSpeedFpm, kMaxSpeedFpm, false},
    {&host_mirror.sim_flightmodel_misc_machno, -kMaxMach, kMaxMach, false},
    {&host_mirror.sim_cockpit2_gauges_indicators_mach_pilot, -kMaxMach, kMaxMach, false},
    {&host_mirror.sim_cockpit2_gauges_indicators_mach_copilot, -kMaxMach, kMaxMach, false},
    {&host_mirror.sim_cockpit2_temperature_outside_air_temp_degc, -kMaxTempDegc, kMaxTempDegc, false},
    {&host_mirror.sim_cockpit2_temperature_outside_air_LE_temp_degc, -kMaxTempDegc, kMaxTempDegc, false},
    {&host_mirror.sim_weather_temperature_ambient_c, -kMaxTempDegc, kMaxTempDegc, false},
    {&host_mirror.sim_weather_temperature_le_c, -kMaxTempDegc, kMaxTempDegc, false},
    {&host_mirror.sim_weather_temperature_sealevel_c, -kMaxTempDegc, kMaxTempDegc, false},
    {&host_mirror.sim_cockpit2_gauges_indicators_altitude_ft_pilot, kMinAltFt, kMaxAltFt, true},
    {&host_mirror.sim_cockpit2_gauges_indicators_altitude_ft_copilot, kMinAltFt, kMaxAltFt, true},
    {&host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot, kMinAltFt, kMaxAltFt, true},
    {&host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_copilot, kMinAltFt, kMaxAltFt, true},
    {&host_mirror.sim_weather_barometer_current_inhg, 1.0f, 40.0f, true},
    {&host_mirror.sim_weather_barometer_sealevel_inhg, 1.0f, 40.0f, true},
};
constexpr int kFloatRangeCount = static_cast<int>(sizeof kFloatRanges / sizeof kFloatRanges[0]);

// A double as read from the host into its mirror: a guarded position out of
// its range (or not a number) leaves the mirror's last value.
inline void store_d(double* dst, double v) {
  for (const PositionRange& r : kPositionRanges) {
    if (r.field != dst) continue;
    if (v >= r.lo && v <= r.hi) *dst = v;
    return;
  }
  *dst = finite_or_zero(v);
}

struct LastGood {
  float value[kFloatRangeCount];
};

LastGood remember_last_good() {
  LastGood g{};
  for (int i = 0; i < kFloatRangeCount; ++i) g.value[i] = *kFloatRanges[i].field;
  return g;
}

void drop_impossible_values(const LastGood& last) {
  for (int i = 0; i < kFloatRangeCount; ++i) {
    const FloatRange& r = kFloatRanges[i];
    if (!(*r.field >= r.lo && *r.field <= r.hi)) *r.field = r.keep_last ? last.value[i] : 0.0f;
  }
}

inline void read_text(XPLMDataRef ref, char* dst, int count) {
  int n = XPLMGetDatab(ref, dst, 0, count);
  if (n < 0) n = 0;
  if (n > count) n = count;
  dst[n] = '\0';
}

// The trim follows the host only while something other than the trim commands
// may move it: the scripts' servo override, or their yoke trim control with
// their autopilot off. An unchanged value leaves the trim state alone, so a
// trim command's own change earlier in the frame is not overwritten.
void sync_elevator_trim() {
  const bool follow = script_mirror.zuvadud_D738_autopilot_servo_override != 0.0f ||
                      (script_mirror.zuvadud_D738_cfy_trim_control != 0.0f &&
                       script_mirror.zuvadud_autopilot_ap_on == 0.0f);
  if (!follow) return;
  const float trim = read_f(bound_handles[bound::sim_cockpit2_controls_elevator_trim]);
  if (trim == host_mirror.sim_cockpit2_controls_elevator_trim) return;
  host_mirror.sim_cockpit2_controls_elevator_trim = trim;
  trim_wheel_target = trim;
  trim_wheel_hold = trim;
}

// Traffic targets come from the host's arrays when it has them; otherwise the
// traffic logic falls back on the multiplayer positions.
void read_traffic_targets() {
  if (bound_handles[bound::sim_cockpit2_tcas_targets_position_lat] == nullptr) return;
  tcas_targets_present = 1;
  read_vf(bound_handles[bound::sim_cockpit2_tcas_targets_position_lat],
          host_mirror.sim_cockpit2_tcas_targets_position_lat, 64);
  read_vf(bound_handles[bound::sim_cockpit2_tcas_targets_position_lon],
          host_mirror.sim_cockpit2_tcas_targets_position_lon, 64);
  read_vf(bound_handles[bound::sim_cockpit2_tcas_targets_position_ele],
          host_mirror.sim_cockpit2_tcas_targets_position_ele, 64);
  read_vf(bound_handles[bound::sim_cockpit2_tcas_targets_position_vz],
          host_mirror.sim_cockpit2_tcas_targets_position_vz, 64);
}

const MirrorSlot* slot_of(bound::Id id) {
  if (id < 0 || id >= bound::COUNT) return nullptr;
  return &kMirrorSlots[id];
}

}  // namespace

void poll_host_datarefs() {
  XPLMDataRef* const h = bound_handles;
  const LastGood last = remember_last_good();
  for (const PollF& e : kHostF) *e.dst = read_f(h[e.id]);
  for (const PollI& e : kHostI) *e.dst = XPLMGetDatai(h[e.id]);
  for (const PollIntAsFloat& e : kHostIntAsFloat) *e.dst = static_cast<float>(XPLMGetDatai(h[e.id]));
  for (const PollFloatAsInt& e : kHostFloatAsInt) *e.dst = trunc_to_i32(XPLMGetDataf(h[e.id]));
  for (const PollD& e : kHostD) store_d(e.dst, XPLMGetDatad(h[e.id]));
  for (const PollVF& e : kHostVF) read_vf(h[e.id], e.dst, e.count);
  for (const PollVI& e : kHostVI) XPLMGetDatavi(h[e.id], e.dst, 0, e.count);
  for (const PollB& e : kHostB) read_text(h[e.id], e.dst, e.count);
  if (host_version < kNewerHostVersion) {
    for (const PollF& e : kHost11F) *e.dst = read_f(h[e.id]);
    for (const PollI& e : kHost11I) *e.dst = XPLMGetDatai(h[e.id]);
  } else {
    for (const PollScaled& e : kHost12F)
      *e.dst = static_cast<float>(static_cast<double>(read_f(h[e.id])) * e.scale);
    for (const PollScaled& e : kHost12FirstOfF) {
      float first = 0.0f;
      read_vf(h[e.id], &first, 1);
      *e.dst = static_cast<float>(static_cast<double>(first) * e.scale);
    }
    for (const PollI& e : kHost12I) *e.dst = XPLMGetDatai(h[e.id]);
  }
  drop_impossible_values(last);
  sync_elevator_trim();
  read_traffic_targets();
  sim_paused = host_mirror.sim_time_paused;
  sim_in_replay = host_mirror.sim_time_is_in_replay;
}

void poll_script_datarefs() {
  XPLMDataRef* const h = bound_handles;
  for (const PollF& e : kScriptF) *e.dst = read_f(h[e.id]);
  for (const PollVF& e : kScriptVF) read_vf(h[e.id], e.dst, e.count);
}

float mirror_f(bound::Id id) {
  const MirrorSlot* s = slot_of(id);
  if (s == nullptr) return 0.0f;
  switch (s->kind) {
    case MirrorKind::f32: return *static_cast<const float*>(s->ptr);
    case MirrorKind::i32: return static_cast<float>(*static_cast<const int32_t*>(s->ptr));
    case MirrorKind::f64: return static_cast<float>(*static_cast<const double*>(s->ptr));
    default: return 0.0f;
  }
}

int mirror_i(bound::Id id) {
  const MirrorSlot* s = slot_of(id);
  if (s == nullptr) return 0;
  switch (s->kind) {
    case MirrorKind::i32: return *static_cast<const int32_t*>(s->ptr);
    case MirrorKind::f32: return trunc_to_i32(*static_cast<const float*>(s->ptr));
    case MirrorKind::f64: return trunc_to_i32(*static_cast<const double*>(s->ptr));
    default: return 0;
  }
}

double mirror_d(bound::Id id) {
  const MirrorSlot* s = slot_of(id);
  if (s == nullptr) return 0.0;
  switch (s->kind) {
    case MirrorKind::f64: return *static_cast<const double*>(s->ptr);
    case MirrorKind::f32: return *static_cast<const float*>(s->ptr);
    case MirrorKind::i32: return *static_cast<const int32_t*>(s->ptr);
    default: return 0.0;
  }
}

const float* mirror_vf(bound::Id id, int* count) {
  const MirrorSlot* s = slot_of(id);
  const bool ok = s != nullptr && s->kind == MirrorKind::vf32;
  if (count) *count = ok ? s->count : 0;
  return ok ? static_cast<const float*>(s->ptr) : nullptr;
}

const int* mirror_vi(bound::Id id, int* count) {
  const MirrorSlot* s = slot_of(id);
  const bool ok = s != nullptr && s->kind == MirrorKind::vi32;
  if (count) *count = ok ? s->count : 0;
  return ok ? static_cast<const int*>(s->ptr) : nullptr;
}

void set_mirror_f(bound::Id id, float value) {
  const MirrorSlot* s = slot_of(id);
  if (s == nullptr) return;
  switch (s->kind) {
    case MirrorKind::f32: *static_cast<float*>(s->ptr) = value; break;
    case MirrorKind::i32: *static_cast<int32_t*>(s->ptr) = trunc_to_i32(value); break;
    case MirrorKind::f64: *static_cast<double*>(s->ptr) = value; break;
    default: break;
  }
}

void set_mirror_i(bound::Id id, int value) {
  const MirrorSlot* s = slot_of(id);
  if (s == nullptr) return;
  switch (s->kind) {
    case MirrorKind::i32: *static_cast<int32_t*>(s->ptr) = value; break;
    case MirrorKind::f32: *static_cast<float*>(s->ptr) = static_cast<float>(value); break;
    case MirrorKind::f64: *static_cast<double*>(s->ptr) = value; break;
    default: break;
  }
}

const char* mirror_text(bound::Id id) {
  const MirrorSlot* s = slot_of(id);
  if (s == nullptr || s->kind != MirrorKind::text) return "";
  return static_cast<const char*>(s->ptr);
}
