// Map symbols of the navigation displays: projects the last complete
// candidate lists onto each side's map (half a list per call) and publishes
// the navaids, fixes and airports in range into the display slots
// "zuvadud/D738/nd/object_*" and "apt_*" of both sides.
// Reads the EFIS mirrors of both sides, the scripts' display routes (the
// second and third route tables with their step counters "legs_step_ctr" and
// "legs_step_ctr_fo", and the second table's first identifier), the magnetic
// variation, "zuvadud/D738/pfd/vor1_show", "vor2_show", "vor1_sel_id",
// "vor2_sel_id" and "zuvadud/D738/fms/fpln_nav_id".
#include "display/map_symbols.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/binding.h"
#include "core/host_io.h"
#include "core/preprocess_values.h"
#include "core/units.h"
#include "lnav/route/route_intake.h"
#include "display/nd_slots.h"
#include "display/nd_style.h"
#include "lnav/route/route_state.h"
#include "navdata/geodesy.h"
#include "navdata/line_split.h"
#include "navdata/nav_tables.h"
#include "navdata/navdb.h"

namespace {

constexpr int kNavaidSlots = 50;
constexpr int kAirportSlotsNd = 30;
constexpr float kPlanScale = 0.57f;
// Symbols are published only inside the drawable part of the display (nm
// times scale, y measured up from the aircraft symbol).
constexpr float kMinX = -11.0f, kMaxX = 11.0f, kMinY = -5.0f, kMaxY = 11.0f;

// Fewer nautical miles than any degree of latitude holds (60.04).
constexpr double kMinNmPerDegree = 60.0;

struct SideInputs {
  float mode;        // 0 APP, 1 VOR, 2 MAP, 3 PLN
  int range;         // range index
  float vor_on, fix_on, apt_on;
  float exp_map, vsd_map;
};

SideInputs side_inputs(int side) {
  SideInputs s{};
  if (side == 0) {
    s.mode = mirror_f(bound::zuvadud_D738_EFIS_control_capt_map_mode_pos);
    s.range = static_cast<int>(mirror_f(bound::zuvadud_D738_EFIS_capt_map_range));
    s.vor_on = mirror_f(bound::zuvadud_D738_EFIS_EFIS_vor_on);
    s.fix_on = mirror_f(bound::zuvadud_D738_EFIS_EFIS_fix_on);
    s.apt_on = mirror_f(bound::zuvadud_D738_EFIS_EFIS_airport_on);
    s.exp_map = mirror_f(bound::zuvadud_D738_EFIS_control_capt_exp_map);
    s.vsd_map = mirror_f(bound::zuvadud_D738_EFIS_control_capt_vsd_map);
  } else {
    s.mode = mirror_f(bound::zuvadud_D738_EFIS_control_fo_map_mode_pos);
    s.range = static_cast<int>(mirror_f(bound::zuvadud_D738_EFIS_fo_map_range));
    s.vor_on = mirror_f(bound::zuvadud_D738_EFIS_fo_EFIS_vor_on);
    s.fix_on = mirror_f(bound::zuvadud_D738_EFIS_fo_EFIS_fix_on);
    s.apt_on = mirror_f(bound::zuvadud_D738_EFIS_fo_EFIS_airport_on);
    s.exp_map = mirror_f(bound::zuvadud_D738_EFIS_control_fo_exp_map);
    s.vsd_map = mirror_f(bound::zuvadud_D738_EFIS_control_fo_vsd_map);
  }
  return s;
}

// Points of a side's display route (0 the captain's second route table, 1 the
// first officer's third); 0 for an empty route or a count that is no number.
int32_t route_count(int side) {
  const float n = display_routes[side].count;
  if (!(n >= 1.0f)) return 0;
  return n >= static_cast<float>(route_leg_capacity) ? route_leg_capacity : static_cast<int32_t>(n);
}

// The route point a side's plan mode centres on: the scripts' step counter
// (1-based) limited to the route, as the display's own plan view does, so the
// symbols sit on the same map as the route lines; point 0 below step 2.
int32_t plan_centre_point(int side, int32_t n) {
  const float step = side == 0 ? fms_copies.legs_step_ctr : fms_copies.legs_step_ctr_fo;
  if (!(step >= 2.0f) || n < 1) return 0;
  const float k = std::trunc(step - 1.0f);
  return k >= static_cast<float>(n) ? n - 1 : static_cast<int32_t>(k);
}

// The captain's route starts at a position rather than an airport.
bool route_starts_at_origin() { return route_text_is(route_tables.waypoint_names_2[0], "ORGN"); }

// Centre of a side's map and the direction that points up on it.
struct MapFrame {
  double lat, lon;
  float up_deg;
};

MapFrame map_frame(int side, const SideInputs& in) {
  const float mag_var = mirror_f(bound::sim_flightmodel_position_magnetic_variation);
  const int32_t n = route_count(side);
  MapFrame f{};
  if (in.mode == nd_mode(NdMapMode::plan) && n > 0) {
    const int32_t idx = plan_centre_point(side, n);
    f.lat = display_routes[side].lat[idx];
    f.lon = display_routes[side].lon[idx];
    f.up_deg = 0.0f;  // true north up, as the plan view's lines
  } else {
    f.lat = map_search_ref.lat_deg;
    f.lon = map_search_ref.lon_deg;
    const bool track_up = mirror_f(bound::zuvadud_D738_fms_track_up) != 0.0f &&
                          mirror_f(bound::zuvadud_D738_fms_track_up_active) != 0.0f;
    const int32_t sd = side == 0 ? 0 : 1;
    f.up_deg = (track_up ? map_search_ref.track_mag_deg[sd] : map_search_ref.heading_mag_deg[sd]) - mag_var;
  }
  return f;
}

// Distance and relative bearing (-180, 180] of a point from the map centre.
// Bearing from the map centre turned into the map's frame, (-180, 180].
float relative_bearing(const MapFrame& f, float bearing_deg) {
  float a = std::fmod(bearing_deg - f.up_deg + 360.0f, 360.0f);
  if (a > 180.0f) a -= 360.0f;
  return a;
}

void polar(const MapFrame& f, double lat, double lon, float* d_nm, float* rel_deg) {
  *d_nm = gc_distance_nm(f.lat, f.lon, lat, lon);
  *rel_deg = relative_bearing(f, gc_bearing(f.lat, f.lon, lat, lon));
}

// In double with the long pi, then rounded: the symbols were placed so.
inline float sin_deg_d(float a) { return static_cast<float>(std::sin(a * pi_20dp / 180.0)); }
inline float cos_deg_d(float a) { return static_cast<float>(std::cos(a * pi_20dp / 180.0)); }

float navaid_select_radius(int range) {
  static const float r[] = {6, 16, 21, 41, 81};
  return (range >= 0 && range < 5) ? r[range] : 161.0f;
}
float airport_select_radius(int range) {
  static const float r[] = {6, 16, 21, 41, 81, 161, 322};
  return (range >= 0 && range < 7) ? r[range] : 642.0f;
}

// Entries [lo, hi] of the complete list handled by this call: the first half
// while xfirst_time2 is 1, the second half otherwise.
bool half_range(int32_t n, int32_t* lo, int32_t* hi) {
  if (n < 1) return false;
  if (n > kMapCandidates) n = kMapCandidates;
  if (mirror_f(bound::zuvadud_D738_fms_xfirst_time2) == 1.0f) {
    *lo = 0;
    *hi = n / 2 - 1;
  } else {
    *lo = n / 2;
    *hi = n - 1;
  }
  return *lo <= *hi;
}

// True when the longitude difference alone puts a point beyond the radius.
// A point at latitude p lies at least asin(cos p * |sin dlon|) from every
// point of another meridian (its angle to that meridian's plane), asin x >= x
// and sin x >= x - x^3/6 up to 90 degrees; the 1 nm margin covers the
// rounding of the distance itself.
bool beyond_by_longitude(double lon, double centre_lon, double cos_min, float radius) {
  double dl = std::fabs(lon - centre_lon);
  if (dl > 180.0) dl = 360.0 - dl;
  if (!(dl <= 90.0)) return false;
  const double x = dl * pi_20dp / 180.0;
  return kMinNmPerDegree * cos_min * dl * (1.0 - x * x / 6.0) > static_cast<double>(radius) + 1.0;
}

template <typename Candidate>
void project(Candidate* list, int32_t lo, int32_t hi, bool navaids) {
  bool hidden[2];
  MapFrame frame[2];
  float radius[2];
  for (int side = 0; side < 2; ++side) {
    SideInputs in = side_inputs(side);
    bool buttons_off = navaids ? (in.vor_on == 0.0f && in.fix_on == 0.0f) : in.apt_on == 0.0f;
    hidden[side] = buttons_off || in.mode < nd_mode(NdMapMode::map) ||
                   (in.mode == nd_mode(NdMapMode::plan) && route_count(side) == 0);
    frame[side] = map_frame(side, in);
    radius[side] = navaids ? navaid_select_radius(in.range) : airport_select_radius(in.range);
  }
  // The smallest cosine of latitude a candidate that passes the latitude test
  // can have: with it, a longitude difference alone bounds the distance.
  double cos_min[2];
  for (int side = 0; side < 2; ++side) {
    const double band = (static_cast<double>(radius[side]) + 1.0) / kMinNmPerDegree;
    const double far_lat = std::fabs(frame[side].lat) + band;
    cos_min[side] = far_lat < 90.0 ? std::cos(far_lat * pi_20dp / 180.0) * (1.0 - 1e-9) : 0.0;
  }
  // Both sides usually centre on the aircraft; their distances and bearings
  // are then the same numbers and are worked out once.
  const bool same_centre = frame[0].lat == frame[1].lat && frame[0].lon == frame[1].lon;
  const GcOrigin origin[2] = {gc_origin(frame[0].lat, frame[0].lon), gc_origin(frame[1].lat, frame[1].lon)};
  for (int32_t i = lo; i <= hi; ++i) {
    Candidate& c = list[i];
    float d_shared = 0.0f, brg_shared = 0.0f;
    bool d_known = false, brg_known = false;
    for (int side = 0; side < 2; ++side) {
      MapSideProjection& p = c.side[side];
      p = MapSideProjection{};
      if (hidden[side]) continue;
      const MapFrame& f = frame[side];
      // A great circle is never shorter than its latitude difference, so a
      // point that far outside the selected range is dropped before any
      // trigonometry (the margin covers the single-precision distance).
      if (std::fabs(static_cast<double>(c.lat) - f.lat) * kMinNmPerDegree > radius[side] + 1.0f) continue;
      if (beyond_by_longitude(c.lon, f.lon, cos_min[side], radius[side])) continue;
      float d;
      if (same_centre && d_known) {
        d = d_shared;
      } else {
        d = gc_distance_nm_from(origin[side], c.lat, c.lon);
        d_shared = d;
        d_known = true;
      }
      if (!(d < radius[side])) continue;
      float brg;
      if (same_centre && brg_known) {
        brg = brg_shared;
      } else {
        brg = gc_bearing_from(origin[side], c.lat, c.lon);
        brg_shared = brg;
        brg_known = true;
      }
      const float a = relative_bearing(f, brg);
      p.x_nm = d * sin_deg_d(a);
      p.y_nm = d * cos_deg_d(a);
      p.visible = 1;
    }
  }
}

inline int complete_buffer(const NavScanWindow& w) { return w.flag ? 0 : 1; }

// Hidden for publication: button off; below map mode (only plan mode while
// the scripts' nd_allign is set); plan mode without a captain's route.
bool publish_hidden(const SideInputs& in, bool buttons_off) {
  if (buttons_off) return true;
  const bool plan_only = mirror_f(bound::zuvadud_D738_irs_nd_allign) != 0.0f;
  if (in.mode < nd_mode(plan_only ? NdMapMode::plan : NdMapMode::map)) return true;
  return in.mode == nd_mode(NdMapMode::plan) && route_count(0) == 0;
}

float symbol_scale(int range, bool airports) {
  static const float s[] = {2.0f, 1.0f, 0.5f, 0.25f, 0.125f, 0.0625f, 0.03125f};
  if (range < 0) return airports ? 0.015625f : 0.0f;
  if (range <= 5) return s[range];
  if (!airports) return 0.0f;
  return range == 6 ? s[6] : 0.015625f;
}

float vertical_offset(const SideInputs& in) {
  if (in.mode == nd_mode(NdMapMode::plan)) return 4.1f;
  if (in.vsd_map == 1.0f) return 5.1f;
  if (in.exp_map == 0.0f) return 4.1f;
  return 0.0f;
}

inline bool in_view(float x, float y) { return x >= kMinX && x <= kMaxX && y >= kMinY && y <= kMaxY; }

struct SideSlots {
  float* x;
  float* y;
  float* mark;        // enable (airports) or type (navaids)
  char (*id)[6];
};

SideSlots airport_slots(int side) {
  if (side == 0) return {nd::apt_x, nd::apt_y, nd::apt_enable, nd::apt_id};
  return {nd::apt_fo_x, nd::apt_fo_y, nd::apt_fo_enable, nd::apt_fo_id};
}
SideSlots navaid_slots(int side) {
  if (side == 0) return {nd::object_x, nd::object_y, nd::object_type, nd::object_id};
  return {nd::object_fo_x, nd::object_fo_y, nd::object_fo_type, nd::object_fo_id};
}

// Slots from `next` down to 0 show nothing (positions keep their values).
void clear_from(const SideSlots& s, int next) {
  for (int k = next; k >= 0; --k) {
    s.mark[k] = 0.0f;
    s.id[k][0] = '\0';
  }
}

// Reads a script text dataref into a zeroed buffer one byte longer than the
// bytes asked for, so it is always terminated.
void read_text(bound::Id id, char* out, int bytes) {
  std::memset(out, 0, static_cast<size_t>(bytes) + 1);
  read_now_text(id, out, bytes + 1);
}

// A VOR or VOR-DME that a shown VOR receiver has selected; its ident takes a
// leading blank when the selected id has one.
bool is_tuned_vor(const MapNavaidCandidate& c, const float (&vor_show)[2], const char (&vor_id)[2][7]) {
  if (c.kind >= kNavNdb) return false;
  for (int v = 0; v < 2; ++v) {
    if (vor_show[v] != 1.0f) continue;
    char ident[10];
    if (vor_id[v][0] == ' ') {
      ident[0] = ' ';
      copy_cut(ident + 1, sizeof ident - 1, c.ident);
    } else {
      copy_cut(ident, sizeof ident, c.ident);
    }
    if (std::strncmp(ident, vor_id[v], 5) == 0) return true;
  }
  return false;
}

// One side's candidates in range, nearest its map's centre first (equal
// distances in list order): a wide map holds more points than its slots, and
// the ones left out should be the far ones.
int32_t nearest_order[kMapCandidates];
float nearest_key[kMapCandidates];

template <typename Candidate>
int32_t order_nearest_first(const Candidate* list, int32_t n, int side) {
  int32_t m = 0;
  for (int32_t i = 0; i < n; ++i) {
    const MapSideProjection& p = list[i].side[side];
    if (!p.visible) continue;
    const float d2 = p.x_nm * p.x_nm + p.y_nm * p.y_nm;
    nearest_key[i] = std::isfinite(d2) ? d2 : HUGE_VALF;
    nearest_order[m++] = i;
  }
  std::sort(nearest_order, nearest_order + m, [](int32_t a, int32_t b) {
    return nearest_key[a] < nearest_key[b] || (nearest_key[a] == nearest_key[b] && a < b);
  });
  return m;
}

}  // namespace

void map_navaid_ref() {
  const int buf = complete_buffer(nav_search.navaid_scan);
  int32_t lo = 0, hi = -1;
  if (!half_range(nav_search.navaid_count[buf], &lo, &hi)) return;
  project(nav_search.navaids[buf], lo, hi, true);
}

void map_airport_ref() {
  const int buf = complete_buffer(nav_search.airport_scan);
  int32_t lo = 0, hi = -1;
  if (!half_range(nav_search.airport_count[buf], &lo, &hi)) return;
  project(nav_search.airports[buf], lo, hi, false);
}

void map_airport_symbols() {
  SideInputs in[2] = {side_inputs(0), side_inputs(1)};
  SideSlots slots[2] = {airport_slots(0), airport_slots(1)};
  bool hidden[2];
  for (int side = 0; side < 2; ++side) hidden[side] = publish_hidden(in[side], in[side].apt_on == 0.0f);
  int next[2] = {kAirportSlotsNd - 1, kAirportSlotsNd - 1};
  if (!(hidden[0] && hidden[1])) {
    float scale[2], offset[2];
    for (int side = 0; side < 2; ++side) {
      scale[side] =
          symbol_scale(in[side].range, true) * (in[side].mode == nd_mode(NdMapMode::plan) ? kPlanScale : 1.0f);
      offset[side] = vertical_offset(in[side]);
    }
    // Origin symbol of a route that starts at a position rather than an airport.
    if (route_count(0) >= 1 && route_starts_at_origin()) {
      static const float origin_radius[] = {7, 12, 22, 42, 82, 162, 322};
      for (int side = 0; side < 2; ++side) {
        if (hidden[side] || scale[side] == 0.0f || route_count(side) < 1) continue;
        const int r = in[side].range;
        const float radius = (r >= 0 && r < 7) ? origin_radius[r] : 642.0f;
        float d = 0.0f, a = 0.0f;
        polar(map_frame(side, in[side]), display_routes[side].lat[0], display_routes[side].lon[0], &d, &a);
        if (!(d < radius)) continue;
        float x = d * sin_deg_d(a) * scale[side];
        float y = d * cos_deg_d(a) * scale[side] + offset[side];
        if (!in_view(x, y)) continue;
        const SideSlots& s = slots[side];
        s.x[29] = x;
        s.y[29] = y;
        s.mark[29] = 1.0f;
        copy_cut(s.id[29], 6, "ORGN");
        next[side] = 28;
      }
    }
    const int buf = complete_buffer(nav_search.airport_scan);
    int32_t n = nav_search.airport_count[buf];
    if (n > kMapCandidates) n = kMapCandidates;
    const float min_length = nd_runway_length;
    for (int side = 0; side < 2; ++side) {
      if (next[side] < 0 || hidden[side] || scale[side] == 0.0f) continue;
      const int32_t m = order_nearest_first(nav_search.airports[buf], n, side);
      for (int32_t j = 0; j < m && next[side] >= 0; ++j) {
        const MapAirportCandidate& c = nav_search.airports[buf][nearest_order[j]];
        if (c.runway_length < min_length) continue;
        float x = c.side[side].x_nm * scale[side];
        float y = c.side[side].y_nm * scale[side] + offset[side];
        if (!in_view(x, y)) continue;
        const SideSlots& s = slots[side];
        const int k = next[side];
        s.x[k] = x;
        s.y[k] = y;
        s.mark[k] = 1.0f;
        copy_cut(s.id[k], 6, c.icao);
        --next[side];
      }
    }
  }
  for (int side = 0; side < 2; ++side) clear_from(slots[side], next[side]);
}

void map_navaid_symbols() {
  SideInputs in[2] = {side_inputs(0), side_inputs(1)};
  SideSlots slots[2] = {navaid_slots(0), navaid_slots(1)};
  bool hidden[2];
  for (int side = 0; side < 2; ++side)
    hidden[side] = publish_hidden(in[side], in[side].vor_on == 0.0f && in[side].fix_on == 0.0f);
  int next[2] = {kNavaidSlots - 1, kNavaidSlots - 1};
  if (!(hidden[0] && hidden[1])) {
    float scale[2], offset[2];
    for (int side = 0; side < 2; ++side) {
      scale[side] =
          symbol_scale(in[side].range, false) * (in[side].mode == nd_mode(NdMapMode::plan) ? kPlanScale : 1.0f);
      offset[side] = vertical_offset(in[side]);
    }
    const float vor_show[2] = {read_now_f(bound::zuvadud_D738_pfd_vor1_show),
                               read_now_f(bound::zuvadud_D738_pfd_vor2_show)};
    char vor_id[2][7];
    read_text(bound::zuvadud_D738_pfd_vor1_sel_id, vor_id[0], 6);
    read_text(bound::zuvadud_D738_pfd_vor2_sel_id, vor_id[1], 6);
    char plan_id[65];
    read_text(bound::zuvadud_D738_fms_fpln_nav_id, plan_id, 64);

    const int buf = complete_buffer(nav_search.navaid_scan);
    int32_t n = nav_search.navaid_count[buf];
    if (n > kMapCandidates) n = kMapCandidates;
    for (int side = 0; side < 2; ++side) {
      if (next[side] < 0 || hidden[side] || scale[side] == 0.0f) continue;
      const int32_t m = order_nearest_first(nav_search.navaids[buf], n, side);
      for (int32_t j = 0; j < m && next[side] >= 0; ++j) {
        const MapNavaidCandidate& c = nav_search.navaids[buf][nearest_order[j]];
        float x = c.side[side].x_nm * scale[side];
        float y = c.side[side].y_nm * scale[side] + offset[side];
        if (!in_view(x, y)) continue;
        const SideSlots& s = slots[side];
        const int k = next[side];
        s.x[k] = x;
        s.y[k] = y;
        // Tuned VORs are drawn by the display itself, not as map symbols.
        // Worked out only for an entry that lands on a map.
        const bool tuned = is_tuned_vor(c, vor_show, vor_id);
        bool shown = false;
        if (!tuned) {
          if (c.kind == kNavFix) {
            shown = in[side].range <= 3 && in[side].fix_on == 1.0f;
          } else if (c.kind < kNavNdb) {
            shown = in[side].vor_on == 1.0f;
          }
        }
        // The flight plan's own navaid is drawn with the route.
        if (shown && plan_id[0] != '\0' && std::strncmp(plan_id, c.ident, 5) == 0) shown = false;
        if (!shown) continue;
        s.mark[k] = static_cast<float>(c.kind);
        copy_cut(s.id[k], 6, c.ident);
        --next[side];
      }
    }
  }
  for (int side = 0; side < 2; ++side) clear_from(slots[side], next[side]);
}
