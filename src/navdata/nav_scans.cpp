// Incremental scans of the waypoint and airport tables around the aircraft:
// a window of records per frame into double-buffered candidate lists for the
// map, the nearest airport and the five nearest, published once per pass.
// Reads the aircraft position, the scripts' "zuvadud/D738/fms/xfirst_time2",
// `frame_done` and the minimum runway length; writes "zuvadud/D738/near_apt_icao",
// "nearest_apt_icao", "nearest_apt_dist", "nearest_apt_lat", "nearest_apt_lon".
#include <cmath>
#include <cstring>

#include "core/binding.h"
#include "core/host_io.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "core/units.h"
#include "navdata/geodesy.h"
#include "navdata/line_split.h"
#include "navdata/nav_math.h"
#include "navdata/nav_tables.h"
#include "navdata/navdb.h"

NavSearchState nav_search;
char nearest_airport_code[6];
MapSearchReference map_search_ref;

namespace {

constexpr float kNoDistance = 999999.0f;
// Each kind is a candidate out to the widest circle the map shows it in: a
// fix to the 40 nm map's 41 nm (fixes are not shown at the wider ranges), a
// station to the 160 nm map's 161 nm; airports out to 645 nm.
constexpr float kFixRangeNm = 41.0f;
constexpr float kNavaidRangeNm = 161.0f;
constexpr float kAirportRangeNm = 645.0f;

void reset_window(NavScanWindow& w) {
  w.step = 0;
  w.first = 0;
  w.last = 0;
  w.flag = 1;
  w.window_size = 1000;  // the first pass after a load is fast
  w.window_offset = 999;
}

// Advances the window; false when nothing is to be visited this frame.
// *restarted is set when a completed pass starts again (the caller flips).
bool next_window(NavScanWindow& w, int32_t n, bool* restarted) {
  *restarted = false;
  if (n < 1) return false;
  if (w.last == n - 1) {
    if (mirror_f(bound::zuvadud_D738_fms_xfirst_time2) != 1.0f) return false;
    w.window_size = 25;
    w.window_offset = 24;
    w.step = 0;
    *restarted = true;
  } else if (frame_done != 0) {
    if (w.step < n) ++w.step;  // beyond n the window is empty anyway
  }
  int64_t first = static_cast<int64_t>(w.step) * w.window_size;
  int64_t last = first + w.window_offset;
  if (last > n - 1) last = n - 1;
  if (first > last) return false;
  w.first = static_cast<int32_t>(first);
  w.last = static_cast<int32_t>(last);
  return true;
}

// The slot for the next candidate: the count's, or the last once 999 are held.
template <typename T>
T* candidate_slot(T (&buffer)[kMapCandidates], int32_t& count, bool* counted) {
  if (count < 0) count = 0;
  if (count >= kMapCandidates - 1) {
    *counted = false;
    return &buffer[kMapCandidates - 1];
  }
  *counted = true;
  return &buffer[count];
}

// The cheap test before the great circle: a box about the aircraft holding
// every point within a distance, in degrees of latitude and of longitude
// either way (the longitudes taken across the date line). It only saves the
// distance of records far away; the distance decides.
struct ScanBox {
  float lat_deg, lon_deg;
};

ScanBox scan_box(double ac_lat, float range_nm) {
  // A degree of latitude is longer than 60 nm (60.04 on this sphere). The
  // widest longitude difference within the range is asin(sin(range) /
  // cos(latitude)); nearer a pole than the range, every longitude. A small
  // margin covers the rounding of both sides of the comparison.
  const double lat_deg = static_cast<double>(range_nm) / 60.0;
  const double s = std::sin(static_cast<double>(range_nm) / navmath::kEarthRadiusNm) /
                   std::cos(ac_lat * pi_20dp / 180.0);
  const double lon_deg = s >= 0.0 && s < 1.0 ? std::asin(s) * 180.0 / pi_20dp : 180.0;
  return {static_cast<float>(lat_deg * 1.001 + 0.01), static_cast<float>(lon_deg * 1.001 + 0.01)};
}

inline bool outside_box(const ScanBox& box, float lat, float lon, double ac_lat, double ac_lon) {
  float dlat = static_cast<float>(std::fabs(static_cast<double>(lat) - ac_lat));
  double dl = std::fabs(static_cast<double>(lon) - ac_lon);
  if (dl > 180.0) dl = 360.0 - dl;
  float dlon = static_cast<float>(dl);
  return dlat > box.lat_deg || dlon > box.lon_deg;
}

void empty_entry(NearestAirportEntry& e) {
  std::memcpy(e.icao, "    ", 5);
  e.dist_nm = kNoDistance;
  e.lat = 0.0f;
  e.lon = 0.0f;
}

void reset_set(NearestAirportSet& s) {
  s.nearest_code[0] = '\0';
  s.nearest_dist_nm = kNoDistance;
  for (auto& e : s.list) empty_entry(e);
}

void publish_set(const NearestAirportSet& s) {
  copy_cut(nearest_airport_code, s.nearest_code);
  if (bound_present(bound::zuvadud_D738_near_apt_icao)) {
    char code[6] = {};
    copy_cut(code, nearest_airport_code);
    script_set_bytes(bound::zuvadud_D738_near_apt_icao, code, 6);
  }
  float dist[5], lat[5], lon[5];
  char codes[21] = {};
  size_t used = 0;
  for (int i = 0; i < 5; ++i) {
    dist[i] = s.list[i].dist_nm;
    lat[i] = s.list[i].lat;
    lon[i] = s.list[i].lon;
    for (size_t k = 0; k < 4 && s.list[i].icao[k] != '\0' && used < 20; ++k) codes[used++] = s.list[i].icao[k];
  }
  script_set_vf(bound::zuvadud_D738_nearest_apt_dist, dist, 5);
  script_set_vf(bound::zuvadud_D738_nearest_apt_lat, lat, 5);
  script_set_vf(bound::zuvadud_D738_nearest_apt_lon, lon, 5);
  script_set_bytes(bound::zuvadud_D738_nearest_apt_icao, codes, 21);
}

// Keeps the nearest and the sorted five; on equal distances the airport met
// first stays above.
void note_airport(NearestAirportSet& s, const NavAirport& a, float d) {
  if (d < s.nearest_dist_nm) {
    copy_cut(s.nearest_code, a.icao);
    s.nearest_dist_nm = d;
  }
  for (int i = 0; i < 5; ++i) {
    if (s.list[i].dist_nm > d) {
      for (int k = 4; k > i; --k) s.list[k] = s.list[k - 1];
      copy_cut(s.list[i].icao, a.icao);
      s.list[i].dist_nm = d;
      s.list[i].lat = a.lat;
      s.list[i].lon = a.lon;
      return;
    }
  }
}

// Until the first load message the scans already run as after a load: a
// window of zero records would never reach the end of a table.
struct InitialWindows {
  InitialWindows() {
    reset_window(nav_search.navaid_scan);
    reset_window(nav_search.airport_scan);
    nav_search.first_pass_pending = 1;
  }
} initial_windows;

}  // namespace

void reset_nav_search_state() {
  reset_window(nav_search.navaid_scan);
  reset_window(nav_search.airport_scan);
  nav_search.navaid_count[0] = nav_search.navaid_count[1] = 0;
  nav_search.airport_count[0] = nav_search.airport_count[1] = 0;
  for (auto& s : nav_search.nearest) {
    s.nearest_code[0] = '\0';
    s.nearest_dist_nm = kNoDistance;
  }
  nav_search.first_pass_pending = 1;
  map_search_ref = MapSearchReference{};
  nearest_airport_code[0] = '\0';
  const char empty[6] = {};
  script_set_bytes(bound::zuvadud_D738_near_apt_icao, empty, 6);
}

void clear_nearest_airport_lists() {
  for (auto& s : nav_search.nearest)
    for (auto& e : s.list) empty_entry(e);
}

void scan_navaids() {
  NavScanWindow& w = nav_search.navaid_scan;
  int32_t n = nav_db.waypoint_count;
  if (n > kWaypointSlots) n = kWaypointSlots;
  bool restarted = false;
  const bool visit = next_window(w, n, &restarted);
  if (restarted) {
    w.flag = w.flag ? 0 : 1;
    nav_search.navaid_count[w.flag] = 0;
  }
  if (!visit) return;
  const int buf = w.flag ? 1 : 0;
  int32_t& count = nav_search.navaid_count[buf];
  const double ac_lat = mirror_d(bound::sim_flightmodel_position_latitude);
  const double ac_lon = mirror_d(bound::sim_flightmodel_position_longitude);
  const GcOrigin aircraft = gc_origin(ac_lat, ac_lon);
  const ScanBox box = scan_box(ac_lat, kNavaidRangeNm);
  for (int32_t i = w.first; i <= w.last; ++i) {
    const NavWaypoint& p = nav_db.waypoints[i];
    if (outside_box(box, p.lat, p.lon, ac_lat, ac_lon)) continue;
    float d = gc_distance_nm_from(aircraft, p.lat, p.lon);
    float limit = p.kind == kNavFix ? kFixRangeNm : kNavaidRangeNm;
    if (!(d < limit)) continue;
    bool counted = false;
    MapNavaidCandidate* c = candidate_slot(nav_search.navaids[buf], count, &counted);
    *c = MapNavaidCandidate{};
    c->kind = p.kind;
    copy_cut(c->ident, p.ident);
    c->lat = p.lat;
    c->lon = p.lon;
    if (counted) ++count;
  }
}

void update_nearest_airport() {
  NavScanWindow& w = nav_search.airport_scan;
  int32_t n = nav_db.airport_count;
  if (n > kAirportSlots) n = kAirportSlots;
  bool restarted = false;
  const bool visit = next_window(w, n, &restarted);
  if (restarted) {
    if (nav_search.first_pass_pending) {
      std::memcpy(nav_search.nearest[0].nearest_code, nav_search.nearest[1].nearest_code, 6);
      nav_search.first_pass_pending = 0;
    }
    w.flag = w.flag ? 0 : 1;
    nav_search.airport_count[w.flag] = 0;
    // The set published is the one the next pass fills: its values are those
    // gathered by the pass before the one that just ended.
    publish_set(nav_search.nearest[w.flag]);
    reset_set(nav_search.nearest[w.flag]);
  }
  if (!visit) return;
  const int buf = w.flag ? 1 : 0;
  int32_t& count = nav_search.airport_count[buf];
  NearestAirportSet& set = nav_search.nearest[buf];
  const double ac_lat = mirror_d(bound::sim_flightmodel_position_latitude);
  const double ac_lon = mirror_d(bound::sim_flightmodel_position_longitude);
  const GcOrigin aircraft = gc_origin(ac_lat, ac_lon);
  const float min_length = nd_runway_length;
  const ScanBox box = scan_box(ac_lat, kAirportRangeNm);
  for (int32_t i = w.first; i <= w.last; ++i) {
    const NavAirport& a = nav_db.airports[i];
    if (a.runway_length < min_length) continue;
    if (outside_box(box, a.lat, a.lon, ac_lat, ac_lon)) continue;
    float d = gc_distance_nm_from(aircraft, a.lat, a.lon);
    if (!(d < kAirportRangeNm)) continue;
    note_airport(set, a, d);
    bool counted = false;
    MapAirportCandidate* c = candidate_slot(nav_search.airports[buf], count, &counted);
    *c = MapAirportCandidate{};
    copy_cut(c->icao, a.icao);
    c->lat = a.lat;
    c->lon = a.lon;
    c->runway_length = a.runway_length;
    if (counted) ++count;
  }
}
