// The host's own traffic: AI aircraft and multiplayer or pilot-client
// targets, each flying a straight line at a steady speed and vertical speed
// by itself, as a real host's traffic moves between the updates its source
// sends. The host fills the TCAS target slots and the multiplayer planes'
// positions from them; a scenario places and removes targets (README.md,
// "The host's traffic").
#include <algorithm>
#include <cmath>
#include <string>

#include "fly.h"
#include "state.h"

namespace simhost {
namespace {

// The multiplayer planes the host's lists name: plane1 to plane19, plane N
// being TCAS target slot N.
constexpr int kPlanes = 19;
constexpr double kDeg = 3.14159265358979323846 / 180.0;

// The values filled, by place in Host::traffic_refs: the paused and replay
// flags, the four target arrays, then each plane's four values.
enum Ref : size_t { kPaused, kReplay, kLat, kLon, kEle, kVz, kPlaneBase };
constexpr const char* kTargetNames[] = {"sim/time/paused", "sim/time/is_in_replay",
                                        "sim/cockpit2/tcas/targets/position/lat",
                                        "sim/cockpit2/tcas/targets/position/lon",
                                        "sim/cockpit2/tcas/targets/position/ele",
                                        "sim/cockpit2/tcas/targets/position/vz"};
constexpr const char* kPlaneParts[] = {"_lat", "_lon", "_el", "_v_z"};

constexpr size_t kTargetRefs = std::size(kTargetNames);
constexpr size_t kRefCount = kTargetRefs + kPlanes * std::size(kPlaneParts);

std::string ref_name(size_t k) {
  if (k < kTargetRefs) return kTargetNames[k];
  const size_t p = k - kTargetRefs;
  return "sim/multiplayer/position/plane" + std::to_string(p / std::size(kPlaneParts) + 1) +
         kPlaneParts[p % std::size(kPlaneParts)];
}

void resolve(Host& h) { resolve_slots(h, kRefCount, ref_name, true, h.traffic_refs, h.traffic_generation); }

Dataref* at(Host& h, size_t ref) { return slot_dataref(h, h.traffic_refs, ref); }

// Element `slot` of a target array, as the float it is.
void put_element(Host& h, size_t ref, int slot, double v) {
  Dataref* d = at(h, ref);
  if (d && static_cast<size_t>(slot) < d->array.size()) d->array[static_cast<size_t>(slot)] = static_cast<float>(v);
}

void put_scalar(Host& h, size_t ref, double v, bool as_float) {
  if (Dataref* d = at(h, ref)) d->scalar = as_float ? static_cast<double>(static_cast<float>(v)) : v;
}

// The target's place in the host's values; all zero for a slot emptied.
void fill(Host& h, int slot, const TrafficTarget* t) {
  resolve(h);
  const double lat = t ? t->lat : 0.0, lon = t ? t->lon : 0.0, ele = t ? t->elevation_m : 0.0;
  // Local z points south: a target flying north has a negative z velocity.
  const double vz = t ? -t->speed_mps * std::cos(t->track_deg * kDeg) : 0.0;
  put_element(h, kLat, slot, lat);
  put_element(h, kLon, slot, lon);
  put_element(h, kEle, slot, ele);
  put_element(h, kVz, slot, vz);
  if (slot > kPlanes) return;
  const size_t base = kPlaneBase + static_cast<size_t>(slot - 1) * 4;
  put_scalar(h, base, lat, false);
  put_scalar(h, base + 1, lon, false);
  put_scalar(h, base + 2, ele, false);
  put_scalar(h, base + 3, vz, true);
}

bool flag(Host& h, size_t ref) {
  const Dataref* d = at(h, ref);
  return d && d->scalar != 0.0;
}

}  // namespace

bool set_traffic(int slot, const TrafficTarget& t) {
  if (slot < 1 || slot > kTrafficSlots) return false;
  // Written so that a nan fails every test.
  if (!(std::fabs(t.lat) <= 90.0 && std::fabs(t.lon) <= 180.0 && t.elevation_m >= -2000.0 &&
        t.elevation_m <= 80000.0 && t.track_deg >= 0.0 && t.track_deg <= 360.0 && t.speed_mps >= 0.0 &&
        t.speed_mps <= 1000.0 && std::fabs(t.vs_mps) <= 1000.0))
    return false;
  Host& h = host();
  auto it = std::find_if(h.traffic.begin(), h.traffic.end(), [slot](const auto& e) { return e.first == slot; });
  if (it == h.traffic.end()) {
    h.traffic.emplace_back(slot, t);
  } else {
    it->second = t;
  }
  fill(h, slot, &t);
  return true;
}

void remove_traffic(int slot) {
  Host& h = host();
  auto it = std::find_if(h.traffic.begin(), h.traffic.end(), [slot](const auto& e) { return e.first == slot; });
  if (it == h.traffic.end()) return;
  h.traffic.erase(it);
  fill(h, slot, nullptr);
}

std::vector<std::pair<int, TrafficTarget>> traffic() { return host().traffic; }

void traffic_frame(Host& h, float dt_in) {
  if (h.traffic.empty() || !(dt_in > 0.0f) || !std::isfinite(dt_in)) return;
  resolve(h);
  // Paused or in replay the host's traffic holds where it is, as its own
  // aircraft does.
  if (flag(h, kPaused) || flag(h, kReplay)) return;
  const double dt = dt_in;
  for (auto& [slot, t] : h.traffic) {
    if (t.speed_mps > 0.0)
      great_circle_destination(t.lat, t.lon, t.track_deg, t.speed_mps * dt / kEarthRadius_m, &t.lat, &t.lon,
                               &t.track_deg);
    t.elevation_m += t.vs_mps * dt;
    fill(h, slot, &t);
  }
}

}  // namespace simhost
