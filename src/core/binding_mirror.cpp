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
#include "core/host_io.h"
#include "core/bound_poll_types.h"
#include "core/frame_values.h"
#include "core/pitch_trim.h"
#include "core/units.h"
#include "core/util.h"

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
inline float read_f(XPLMDataRef ref) { return finite_or(XPLMGetDataf(ref), 0.0f); }
// Returns how many elements the host gave (0..count).
inline int read_vf(XPLMDataRef ref, float* dst, int count) {
  int got = XPLMGetDatavf(ref, dst, 0, count);
  if (got < 0) got = 0;
  if (got > count) got = count;
  for (int i = 0; i < got; ++i) dst[i] = finite_or(dst[i], 0.0f);
  return got;
}

// Positions, speeds and the air around the aircraft feed the route geometry
// and the systems, where an absurd but finite value (a broken add-on writing
// 1e30) turns into NaN or an out-of-range index several steps later. They are
// checked here, once, against what any aircraft can reach: a position off the
// globe, an altitude or an ambient pressure no aircraft meets is absent and
// the last good value stays; an impossible speed or temperature is absent
// and reads 0, as a value that is not a number does.
// Each row names its dataref; its mirror field is the slot's (kMirrorSlots).
struct PositionRange {
  bound::Id id;
  double lo, hi;
};
constexpr PositionRange kPositionRanges[] = {
    {bound::sim_flightmodel_position_latitude, -90.0, 90.0},
    {bound::sim_flightmodel_position_longitude, -180.0, 180.0},
    {bound::sim_flightmodel_position_elevation, -2000.0, 150000.0},  // m
    {bound::sim_flightmodel2_position_pressure_altitude, -7000.0, 490000.0},  // ft
};

constexpr float kMaxSpeedMps = 3000.0f;  // well past the fastest aircraft flown
constexpr float kMaxSpeedKt = kMaxSpeedMps * kt_per_mps_6dp;
constexpr float kMaxSpeedFpm = kMaxSpeedMps * 196.8504f;
constexpr float kMaxMach = 9.0f;
constexpr float kMinAltFt = -7000.0f;
constexpr float kMaxAltFt = 490000.0f;
constexpr float kMaxTempDegc = 150.0f;  // ambient air, either sign

struct FloatRange {
  bound::Id id;
  float lo, hi;
  bool keep_last;  // absent keeps the last good value; otherwise reads 0
};
constexpr FloatRange kFloatRanges[] = {
    {bound::sim_flightmodel_position_groundspeed, -kMaxSpeedMps, kMaxSpeedMps, false},
    {bound::sim_flightmodel_position_true_airspeed, -kMaxSpeedMps, kMaxSpeedMps, false},
    {bound::sim_flightmodel_position_local_vx, -kMaxSpeedMps, kMaxSpeedMps, false},
    {bound::sim_flightmodel_position_local_vy, -kMaxSpeedMps, kMaxSpeedMps, false},
    {bound::sim_flightmodel_position_local_vz, -kMaxSpeedMps, kMaxSpeedMps, false},
    {bound::sim_weather_speed_sound_ms, -kMaxSpeedMps, kMaxSpeedMps, false},
    {bound::sim_flightmodel_position_indicated_airspeed, -kMaxSpeedKt, kMaxSpeedKt, false},
    {bound::sim_cockpit2_gauges_indicators_airspeed_kts_pilot, -kMaxSpeedKt, kMaxSpeedKt, false},
    {bound::sim_cockpit2_gauges_indicators_airspeed_kts_copilot, -kMaxSpeedKt, kMaxSpeedKt, false},
    {bound::sim_cockpit2_gauges_indicators_wind_speed_kts, -kMaxSpeedKt, kMaxSpeedKt, false},
    {bound::sim_flightmodel_position_vh_ind_fpm, -kMaxSpeedFpm, kMaxSpeedFpm, false},
    {bound::sim_flightmodel_misc_machno, -kMaxMach, kMaxMach, false},
    {bound::sim_cockpit2_gauges_indicators_mach_pilot, -kMaxMach, kMaxMach, false},
    {bound::sim_cockpit2_gauges_indicators_mach_copilot, -kMaxMach, kMaxMach, false},
    {bound::sim_cockpit2_temperature_outside_air_temp_degc, -kMaxTempDegc, kMaxTempDegc, false},
    {bound::sim_cockpit2_temperature_outside_air_LE_temp_degc, -kMaxTempDegc, kMaxTempDegc, false},
    {bound::sim_weather_temperature_ambient_c, -kMaxTempDegc, kMaxTempDegc, false},
    {bound::sim_weather_temperature_le_c, -kMaxTempDegc, kMaxTempDegc, false},
    {bound::sim_weather_temperature_sealevel_c, -kMaxTempDegc, kMaxTempDegc, false},
    {bound::sim_cockpit2_gauges_indicators_altitude_ft_pilot, kMinAltFt, kMaxAltFt, true},
    {bound::sim_cockpit2_gauges_indicators_altitude_ft_copilot, kMinAltFt, kMaxAltFt, true},
    {bound::sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot, kMinAltFt, kMaxAltFt, true},
    {bound::sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_copilot, kMinAltFt, kMaxAltFt, true},
    {bound::sim_weather_barometer_current_inhg, 1.0f, 40.0f, true},
    {bound::sim_weather_barometer_sealevel_inhg, 1.0f, 40.0f, true},
};
constexpr int kFloatRangeCount = static_cast<int>(sizeof kFloatRanges / sizeof kFloatRanges[0]);

// The mirror fields of the range rows, and each row checked to name a field
// of the type it guards.
inline double* position_field(const PositionRange& r) { return static_cast<double*>(kMirrorSlots[r.id].ptr); }
inline float* float_field(const FloatRange& r) { return static_cast<float*>(kMirrorSlots[r.id].ptr); }
constexpr bool ranges_name_their_fields() {
  for (const PositionRange& r : kPositionRanges)
    if (kMirrorSlots[r.id].kind != MirrorKind::f64) return false;
  for (const FloatRange& r : kFloatRanges)
    if (kMirrorSlots[r.id].kind != MirrorKind::f32) return false;
  return true;
}
static_assert(ranges_name_their_fields(), "a range row names a dataref without a mirror of its type");

// The range row that guards each name, for the reads taken outside the poll:
// its own, or, for a newer host's name read into an older name's field in
// the same unit (scale 1), the older name's. -1: none.
struct Policy {
  int8_t float_row;
  int8_t position_row;
};
constexpr std::array<Policy, bound::COUNT> make_policies() {
  std::array<Policy, bound::COUNT> p{};
  for (Policy& e : p) e = Policy{-1, -1};
  for (int r = 0; r < kFloatRangeCount; ++r) p[kFloatRanges[r].id].float_row = static_cast<int8_t>(r);
  for (int r = 0; r < static_cast<int>(sizeof kPositionRanges / sizeof kPositionRanges[0]); ++r)
    p[kPositionRanges[r].id].position_row = static_cast<int8_t>(r);
  for (const PollScaled& e : kHost12F) {
    if (e.scale != 1.0) continue;
    for (int r = 0; r < kFloatRangeCount; ++r)
      if (static_cast<const void*>(e.dst) == kMirrorSlots[kFloatRanges[r].id].ptr) p[e.id].float_row = static_cast<int8_t>(r);
  }
  return p;
}
constexpr std::array<Policy, bound::COUNT> kPolicies = make_policies();

// A double as read from the host into its mirror: a guarded position out of
// its range (or not a number) leaves the mirror's last value.
inline void store_d(double* dst, double v) {
  for (const PositionRange& r : kPositionRanges) {
    if (position_field(r) != dst) continue;
    if (v >= r.lo && v <= r.hi) *dst = v;
    return;
  }
  *dst = finite_or(v, 0.0);
}

struct LastGood {
  float value[kFloatRangeCount];
};

LastGood remember_last_good() {
  LastGood g{};
  for (int i = 0; i < kFloatRangeCount; ++i) g.value[i] = *float_field(kFloatRanges[i]);
  return g;
}

// A float out of its row's range: the last good value or 0.
inline float in_range_or(const FloatRange& r, float v, float last) {
  if (v >= r.lo && v <= r.hi) return v;
  return r.keep_last ? last : 0.0f;
}

void drop_impossible_values(const LastGood& last) {
  for (int i = 0; i < kFloatRangeCount; ++i) {
    float* field = float_field(kFloatRanges[i]);
    *field = in_range_or(kFloatRanges[i], *field, last.value[i]);
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
  float* const arrays[4] = {host_mirror.sim_cockpit2_tcas_targets_position_lat,
                            host_mirror.sim_cockpit2_tcas_targets_position_lon,
                            host_mirror.sim_cockpit2_tcas_targets_position_ele,
                            host_mirror.sim_cockpit2_tcas_targets_position_vz};
  const bound::Id ids[4] = {bound::sim_cockpit2_tcas_targets_position_lat, bound::sim_cockpit2_tcas_targets_position_lon,
                            bound::sim_cockpit2_tcas_targets_position_ele, bound::sim_cockpit2_tcas_targets_position_vz};
  // A host that publishes fewer targets leaves the slots it lacks empty
  // (0, 0 is no aircraft), not holding what an earlier read put there.
  for (int k = 0; k < 4; ++k) {
    const int got = read_vf(bound_handles[ids[k]], arrays[k], 64);
    for (int i = got; i < 64; ++i) arrays[k][i] = 0.0f;
  }
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

float guidance_side() {
  return mirror_f(bound::zuvadud_autopilot_ap_on) != 0.0f ? mirror_f(bound::zuvadud_autopilot_ap_side)
                                                          : mirror_f(bound::zuvadud_autopilot_fd_side);
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

// ---- reads taken now (core/host_io.h), under the poll's policy ---------------

// The float rows of kPolicies, where the inline read in core/host_io.h
// finds them.
constexpr std::array<int8_t, bound::COUNT> make_float_rows() {
  std::array<int8_t, bound::COUNT> rows{};
  for (int i = 0; i < bound::COUNT; ++i) rows[i] = kPolicies[i].float_row;
  return rows;
}
const std::array<int8_t, bound::COUNT> read_now_float_row = make_float_rows();

float read_now_f_in_range(bound::Id id, float value) {
  const int row = read_now_float_row[id];
  // The last good value of a guarded field is the mirror's: the poll kept it.
  return in_range_or(kFloatRanges[row], value, *float_field(kFloatRanges[row]));
}

int32_t read_now_i(bound::Id id) {
  if (id < 0 || id >= bound::COUNT) return 0;
  const XPLMDataRef h = bound_handles[id];
  return h != nullptr ? XPLMGetDatai(h) : 0;
}

int32_t read_now_vi_at(bound::Id id, int index) {
  if (id < 0 || id >= bound::COUNT || index < 0) return 0;
  const XPLMDataRef h = bound_handles[id];
  int32_t v = 0;
  if (h == nullptr || XPLMGetDatavi(h, &v, index, 1) != 1) return 0;
  return v;
}

double read_now_d(bound::Id id) {
  if (id < 0 || id >= bound::COUNT) return 0.0;
  const XPLMDataRef h = bound_handles[id];
  if (h == nullptr) return 0.0;
  const double v = XPLMGetDatad(h);
  const int row = kPolicies[id].position_row;
  if (row < 0) return finite_or(v, 0.0);
  const PositionRange& r = kPositionRanges[row];
  return (v >= r.lo && v <= r.hi) ? v : *position_field(r);
}

int read_now_text(bound::Id id, char* out, int out_size) {
  if (out == nullptr || out_size < 1) return 0;
  out[0] = '\0';
  if (id < 0 || id >= bound::COUNT || bound_handles[id] == nullptr) return 0;
  int n = XPLMGetDatab(bound_handles[id], out, 0, out_size - 1);
  // The host reports what it copied; never trust it beyond the buffer.
  if (n < 0) n = 0;
  if (n > out_size - 1) n = out_size - 1;
  out[n] = '\0';
  return n;
}

int read_now_bytes(bound::Id id, void* out, int count) {
  if (id < 0 || id >= bound::COUNT || out == nullptr || count <= 0) return 0;
  const XPLMDataRef h = bound_handles[id];
  if (h == nullptr) return 0;
  int n = XPLMGetDatab(h, out, 0, count);
  if (n < 0) n = 0;
  return n > count ? count : n;
}
