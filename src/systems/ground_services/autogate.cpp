// Nearest stand and runway centre line for the ground-service scripts (see
// autogate.h). Reads the aircraft position, track and gear contact and the
// nearest-airport code; writes "zuvadud/D738/fms/center_line",
// "autogate_gpu", "autogate_nearest", "autogate_nearest_name" and
// "de_ice_truck_available" every call, and tells the electrical side's gate
// connection the stand's airport and ground power.
#include "systems/ground_services/autogate.h"

#include <cmath>
#include <cstring>

#include "core/binding.h"
#include "navdata/geodesy.h"
#include "navdata/navdb.h"
#include "core/host_io.h"
#include "systems/electrical/electrical.h"
#include "systems/systems_steps.h"

StandCache stand_cache;

namespace {

constexpr float kCacheKeepFt = 50.0f;
constexpr double kProbeAheadNm = 0.00842332613;  // 15.6 m: the nose gear's reach ahead
constexpr float kCentreLineDeg = 0.18f;
// A stand's reference point lies about 11.1 m from where the aircraft stops.
constexpr float kStandOffsetNm = 0.006f;
constexpr float kGpuReachNm = 0.008f;
constexpr float kNoStand = 999.0f;
constexpr int kNameBytes = 30;

// The five values the ground-service scripts read, written every call, and
// the gate's airport ("" when no stand) and power for the gate connection.
void write_results(float centre_line, float gpu, float nearest, const char* name, float de_ice,
                   const char* gate_airport = "") {
  std::memset(nearest_gate_airport, 0, sizeof nearest_gate_airport);
  for (int i = 0; i < 4 && gate_airport[i] != '\0'; ++i) nearest_gate_airport[i] = gate_airport[i];
  nearest_gate_gpu = gpu;
  script_set_f(bound::zuvadud_D738_fms_center_line, centre_line);
  script_set_f(bound::zuvadud_D738_autogate_gpu, gpu);
  script_set_f(bound::zuvadud_D738_autogate_nearest, nearest);
  char bytes[kNameBytes] = {};
  for (int i = 0; i < kNameBytes - 1 && name[i] != '\0'; ++i) bytes[i] = name[i];
  script_set_bytes(bound::zuvadud_D738_autogate_nearest_name, bytes, kNameBytes);
  script_set_f(bound::zuvadud_D738_de_ice_truck_available, de_ice);
}

void refill(const char* code) {
  StandCache& c = stand_cache;
  c.valid = 1;
  std::memcpy(c.icao, code, 4);
  c.icao[4] = '\0';
  c.runway_count = 0;
  c.gate_count = 0;
  if (char_digit_value(code[0]) < 0) return;  // no bucket holds such a code
  if (nav_db.runway_count > 0) {
    const int32_t n = runways_of_airport(code);
    c.runway_count = n < 0 ? 0 : (n > kRunwayListSize ? kRunwayListSize : n);
    std::memcpy(c.runways, runway_list_buffer, sizeof(NavRunway) * static_cast<size_t>(c.runway_count));
  }
  if (nav_db.gate_count > 0) {
    const int32_t n = gates_of_airport(code);
    c.gate_count = n < 0 ? 0 : (n > kGateListSize ? kGateListSize : n);
    std::memcpy(c.gates, gate_list_buffer, sizeof(NavGate) * static_cast<size_t>(c.gate_count));
  }
}

}  // namespace

void stand_cache_clear() {
  stand_cache.valid = 0;
  stand_cache.icao[0] = '\0';
  stand_cache.runway_count = 0;
  stand_cache.gate_count = 0;
}

void autogate_nearest() {
  const HostMirror& m = host_mirror;
  if (m.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot > kCacheKeepFt) stand_cache.valid = 0;
  if (m.sim_flightmodel2_gear_on_ground[0] != 1) {
    write_results(0.0f, 0.0f, kNoStand, "", 0.0f);
    return;
  }
  // The code buffer is terminated within its 6 bytes; exactly 4 characters name an airport.
  char code[6];
  std::memcpy(code, nearest_airport_code, sizeof code);
  code[5] = '\0';
  if (std::strlen(code) != 4) {
    write_results(0.0f, 0.0f, kNoStand, "", 1.0f);
    return;
  }
  const double lat = m.sim_flightmodel_position_latitude;
  const double lon = m.sim_flightmodel_position_longitude;
  const double track = std::fmod(m.sim_cockpit2_gauges_indicators_ground_track_mag_pilot -
                                     m.sim_flightmodel_position_magnetic_variation + 360.0f, 360.0f);
  gc_destination(lat, lon, track, kProbeAheadNm);
  const float probe_lat = static_cast<float>(nav_result.lat);
  const float probe_lon = static_cast<float>(nav_result.lon);

  if (!(stand_cache.valid != 0 && std::strncmp(stand_cache.icao, code, 4) == 0)) refill(code);

  float centre_line = 0.0f;
  float m_deg = 500.0f;
  for (int32_t i = 0; i < stand_cache.runway_count; ++i) {
    const NavRunway& r = stand_cache.runways[i];
    const float b1 = gc_bearing(probe_lat, probe_lon, r.lat1, r.lon1);
    const float b2 = gc_bearing(probe_lat, probe_lon, r.lat2, r.lon2);
    // The difference is taken the short way round, so a centre line whose
    // bearings straddle north matches too.
    float d = std::fmod(std::fabs(b1 - std::fmod(b2 + 180.0f, 360.0f)), 360.0f);
    if (d > 180.0f) d = 360.0f - d;
    if (d < m_deg) m_deg = d;
    centre_line = m_deg < kCentreLineDeg ? 1.0f : 0.0f;
  }

  float nearest = 0.0f;
  float gpu = 0.0f;
  const char* name = "";
  if (stand_cache.gate_count > 0) {
    float best = kNoStand;
    for (int32_t i = 0; i < stand_cache.gate_count; ++i) {
      const NavGate& g = stand_cache.gates[i];
      const float d = std::fabs(gc_distance_nm(lat, lon, g.lat, g.lon) - kStandOffsetNm);
      if (d < best) {
        best = d;
        name = g.name;
        if (d < kGpuReachNm) gpu = static_cast<float>(g.is_gate);
      }
    }
    nearest = best;
  }
  write_results(centre_line, gpu, nearest, name, 1.0f, stand_cache.gate_count > 0 ? stand_cache.icao : "");
}
