// The path's invariance census: each procedure geometry of
// invariance_census.tsv flown closed loop in LNAV (the scripts' LNAV inputs
// worked out by the host's stand-in, the simple flying aircraft) at every
// placement of the same table: other latitudes and longitudes, across 180,
// near the equator, other directions and mirrored left for right. The same
// local geometry must fly the same path wherever it is and whichever way
// round: the tracks, brought back into the geometry's own frame, within
// 0.1 nm of each other, the bank within 2 degrees, each fix sequenced within
// 2 s, the leg distances the plug-in publishes within 0.05 nm, and the
// published cross-track within 0.05 nm with its sign (mirrored with the
// placement). Each placement carries its own magnetic variation, as the
// scripts and the host hand it over there. A row may also bound the
// published cross-track once the aircraft is established.
// A failure names the geometry and the two placements.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "simhost/census_start.h"
#include "flight_profile.h"
#include "host.h"

namespace {

using flight_profile::LatLon;
using flight_profile::bearing_deg;
using flight_profile::destination;
using flight_profile::distance_nm;

const std::string kSource = CORVANE_SOURCE_DIR;
const std::string kDefaultTable = kSource + "/tests/lnav/invariance_census.tsv";
const std::string kRoot = kSource + "/sample/root/";
const std::string kAddons = kSource + "/simhost/catalog/addons.tsv";
const std::string kStartFile = kSource + "/tests/simhost/scenarios/lnav-invariance-census.txt";
#ifdef CORVANE_LNAV_CENSUS_SANITIZED
// Under the sanitizers the first placement and the table's "sanitized" ones
// (its mirror, the other side of the earth flown the other way), at a
// coarser frame step.
constexpr float kDt = 0.2f;
constexpr bool kSanitized = true;
#else
constexpr float kDt = 0.1f;
constexpr bool kSanitized = false;
#endif
constexpr double kStartS = 2.0;        // the start's scenario: LNAV engaged at its end
constexpr double kXtrackNm = 0.1, kBankDeg = 2.0, kSeqS = 2.0, kDistNm = 0.05, kPublishedNm = 0.05;
constexpr double kSettleS = 2.0;     // after a sequencing, the published distances read
constexpr double kAltFt = 6000.0, kGroundMps = 140.0;  // unless the row says otherwise
constexpr int kMaxLegs = 12;

// ---- the table ------------------------------------------------------------

struct Placement {
  std::string name;
  LatLon origin;
  double course = 0;   // the geometry's x axis, true
  bool mirror = false; // left for right
  bool sanitized = false;
  double variation = 0;  // the host's: magnetic = true + variation
};

struct Geometry {
  int line = 0;
  std::string name, legs, change, checks, expect;
  double seconds = 0, change_s = -1;
  double alt_ft = kAltFt, ground_mps = kGroundMps;
  double dt = kDt;  // the frame step, no finer than the build's
};

struct Table {
  std::vector<Placement> places;
  std::vector<Geometry> geometries;
  std::vector<std::string> errors;
};

double num(const std::string& s) { return std::strtod(s.c_str(), nullptr); }

std::vector<std::string> words(const std::string& s) {
  std::vector<std::string> out;
  std::istringstream in(s);
  for (std::string w; in >> w;) out.push_back(w);
  return out;
}

// "place NAME LAT LON COURSE mirror|plain all|sanitized VARIATION" and
// "fly NAME SECONDS LEGS CHANGE_S CHANGED_LEGS CHECKS EXPECT", tab-separated.
Table read_table() {
  Table t;
  std::vector<std::string> errors;
  // A sweep reads its own table the same way.
  const char* other = std::getenv("CORVANE_CENSUS_TABLE");
  const std::string path = other != nullptr ? std::string(other) : kDefaultTable;
  const std::vector<census::TableLine> lines = census::table_lines(path, "invariance_census.tsv", 8, "kind", &errors);
  t.errors = errors;
  for (const census::TableLine& l : lines) {
    if (l.f[0] == "place") {
      Placement p{l.f[1], {num(l.f[2]), num(l.f[3])}, num(l.f[4]), l.f[5] == "mirror", l.f[6] == "sanitized",
                  l.f[7] == "-" ? 0.0 : num(l.f[7])};
      t.places.push_back(p);
    } else if (l.f[0] == "fly") {
      Geometry g;
      g.line = l.line;
      g.name = l.f[1];
      g.seconds = num(l.f[2]);
      g.legs = l.f[3];
      g.change_s = l.f[4] == "-" ? -1.0 : num(l.f[4]);
      g.change = l.f[5];
      g.checks = l.f[6];
      g.expect = l.f[7];
      for (const std::string& w : words(g.checks)) {
        std::sscanf(w.c_str(), "alt=%lf", &g.alt_ft);
        std::sscanf(w.c_str(), "gs=%lf", &g.ground_mps);
        if (std::sscanf(w.c_str(), "dt=%lf", &g.dt) == 1) g.dt = std::max(g.dt, static_cast<double>(kDt));
      }
      t.geometries.push_back(g);
    } else {
      t.errors.push_back(l.at + "a row is \"place\" or \"fly\"");
    }
  }
  return t;
}

// ---- the geometry in its own frame ----------------------------------------------

// x along the placement's course, y to its right, nm from the origin (the
// first fix): laid on the sphere along the great circle from the origin,
// so the same frame gives congruent routes wherever it is placed.
struct Frame {
  Placement p;
  LatLon at(double x, double y) const {
    if (p.mirror) y = -y;
    const double d = std::hypot(x, y);
    if (d < 1e-9) return p.origin;
    return destination(p.origin, p.course + flight_profile::deg(std::atan2(y, x)), d);
  }
  void local(LatLon q, double* x, double* y) const {
    const double d = distance_nm(p.origin, q);
    const double b = flight_profile::rad(bearing_deg(p.origin, q) - p.course);
    *x = d * std::cos(b);
    *y = (p.mirror ? -1.0 : 1.0) * d * std::sin(b);
  }
  // The true course at local (x, y) of the local direction `c` degrees
  // (0 along x, right positive).
  double course(double x, double y, double c) const {
    const double r = flight_profile::rad(c), step = 0.01;
    return bearing_deg(at(x, y), at(x + step * std::cos(r), y + step * std::sin(r)));
  }
};

struct Leg {
  std::string id, type;
  LatLon at{0, 0};
  double brg = 0, brg_fin = 0, dist = 0, alt = kAltFt;
  LatLon centre{0, 0};
  double radius = 0, turn = -1, dme = 0, crs_mag = 0, hold_time = 0;
};

double wrap360(double a) {
  a = std::fmod(a, 360.0);
  return a < 0 ? a + 360.0 : a;
}

// Where a leg of true course `crs` from `from` first reaches `dme` nm from
// `station`.
double dme_reached(LatLon from, double crs, LatLon station, double dme) {
  const double d0 = distance_nm(from, station) - dme;
  double lo = 0, hi = -1;
  for (double s = 0.05; s < 60.0; s += 0.05) {
    if ((distance_nm(destination(from, crs, s), station) - dme) * d0 <= 0) {
      hi = s;
      break;
    }
    lo = s;
  }
  if (hi < 0) return 1.0;
  for (int k = 0; k < 40; ++k) {
    const double m = (lo + hi) / 2;
    ((distance_nm(destination(from, crs, m), station) - dme) * d0 > 0 ? lo : hi) = m;
  }
  return (lo + hi) / 2;
}

// One leg: "TF x,y", "DF x,y", "VA|CA|FA c alt", "VD|CD c dme sx,sy",
// "AF|RF x,y cx,cy L|R", "HM c L|R" (a hold at the fix before, inbound c).
// Courses c in the frame's degrees at the fix before.
bool parse_xy(const std::string& s, double* x, double* y) {
  return std::sscanf(s.c_str(), "%lf,%lf", x, y) == 2;
}

std::vector<Leg> build_route(const Frame& f, const std::string& spec, double alt_ft, std::string* error) {
  std::vector<Leg> legs;
  Leg origin;
  origin.alt = alt_ft;
  origin.id = "ORIG";
  origin.type = "IF";
  origin.at = f.at(0, 0);
  legs.push_back(origin);
  double px = 0, py = 0;  // the fix before, local
  std::istringstream in(spec);
  int n = 0;
  for (std::string token; std::getline(in, token, ';');) {
    const std::vector<std::string> w = words(token);
    if (w.empty()) continue;
    Leg l;
    l.alt = alt_ft;
    l.type = w[0];
    l.id = "WPT" + std::to_string(++n);
    const LatLon prev = legs.back().at;
    const bool fix_leg = l.type == "TF" || l.type == "DF" || l.type == "AF" || l.type == "RF";
    double x = 0, y = 0;
    if (fix_leg) {
      if (w.size() < 2 || !parse_xy(w[1], &x, &y)) return *error = "bad leg: " + token, legs;
      l.at = f.at(x, y);
      l.brg = bearing_deg(prev, l.at);
      l.brg_fin = wrap360(bearing_deg(l.at, prev) + 180.0);
      l.dist = distance_nm(prev, l.at);
      if (l.type == "AF" || l.type == "RF") {
        double cx = 0, cy = 0;
        if (w.size() < 4 || !parse_xy(w[2], &cx, &cy)) return *error = "bad arc: " + token, legs;
        const bool right = (w[3] == "R") != f.p.mirror;
        l.centre = f.at(cx, cy);
        l.radius = distance_nm(l.centre, l.at);
        l.turn = right ? 1 : 0;
        const double end_radial = bearing_deg(l.centre, l.at);
        l.brg_fin = wrap360(end_radial + (right ? 90.0 : -90.0));
        const double start_radial = bearing_deg(l.centre, prev);
        double span = right ? end_radial - start_radial : start_radial - end_radial;
        span = wrap360(span);
        l.dist = flight_profile::rad(span) * l.radius;
        l.brg = l.type == "AF" ? end_radial : wrap360(start_radial + (right ? 90.0 : -90.0));
      }
      px = x;
      py = y;
    } else if (l.type == "VA" || l.type == "CA" || l.type == "FA" || l.type == "VD" || l.type == "CD") {
      if (w.size() < 3) return *error = "bad leg: " + token, legs;
      const double c = num(w[1]);
      l.brg = f.course(px, py, c);
      if (l.type[1] == 'D') {
        double sx = 0, sy = 0;
        if (w.size() < 4 || !parse_xy(w[3], &sx, &sy)) return *error = "bad station: " + token, legs;
        l.dme = num(w[2]);
        l.centre = f.at(sx, sy);
        l.dist = dme_reached(prev, l.brg, l.centre, l.dme);
        l.id = "(" + w[2] + ")";
      } else {
        l.alt = num(w[2]);
        l.dist = 6.0;
        l.id = "(" + w[2] + ")";
      }
      l.at = destination(prev, l.brg, l.dist);
      l.brg_fin = wrap360(bearing_deg(l.at, prev) + 180.0);
      f.local(l.at, &px, &py);
    } else if (l.type == "HM") {
      if (w.size() < 3) return *error = "bad hold: " + token, legs;
      l.at = prev;
      l.id = legs.back().id;
      l.brg = f.course(px, py, num(w[1]));
      l.brg_fin = l.brg;
      l.hold_time = 60.0;  // seconds
      l.turn = ((w[2] == "R") != f.p.mirror) ? 1 : 0;
    } else {
      *error = "unknown leg: " + token;
      return legs;
    }
    l.crs_mag = l.type == "HM" ? l.brg : l.brg_fin;
    if (l.type == "VA" || l.type == "VD" || l.type == "CA" || l.type == "CD" || l.type == "FA") l.crs_mag = l.brg;
    legs.push_back(l);
  }
  // A run-out beyond the last fix: the route's last waypoint is its end,
  // never sequenced (nor flown, were it a hold).
  if (legs.size() >= 2) {
    Leg run;
    run.alt = alt_ft;
    run.id = "RUNOUT";
    run.type = "TF";
    run.at = destination(legs.back().at, legs.back().brg_fin, 10.0);
    run.brg = bearing_deg(legs.back().at, run.at);
    run.brg_fin = wrap360(bearing_deg(run.at, legs.back().at) + 180.0);
    run.crs_mag = run.brg_fin;
    run.dist = 10.0;
    legs.push_back(run);
  }
  if (legs.size() < 2 || legs.size() > static_cast<size_t>(kMaxLegs)) *error = "a route of 1 to 11 legs wanted";
  return legs;
}

std::string joined(const std::vector<Leg>& legs, double (*field)(const Leg&), const char* fmt) {
  std::string out;
  char buf[48];
  for (const Leg& l : legs) {
    std::snprintf(buf, sizeof buf, fmt, field(l));
    out += (out.empty() ? "" : ",") + std::string(buf);
  }
  return out;
}

// The route as the scripts hand it over: scenario `set` lines, the magnetic
// courses at the placement's variation.
std::string route_lines(const std::vector<Leg>& legs, double variation) {
  std::string ids, types;
  for (const Leg& l : legs) {
    ids += l.id + " ";
    types += l.type;
  }
  const std::string fms = "set zuvadud/D738/fms/";
  auto rad = [](double d) { return flight_profile::rad(d); };
  std::string s;
  s += fms + "legs=" + ids + "\n";
  s += fms + "legs_pth=" + types + "\n";
  s += fms + "legs_pth_before=" + types + "\n";
  s += fms + "legs_lat=" + joined(legs, [](const Leg& l) { return l.at.lat; }, "%.9f") + "\n";
  s += fms + "legs_lon=" + joined(legs, [](const Leg& l) { return l.at.lon; }, "%.9f") + "\n";
  s += fms + "legs_brg_true=" +
       joined(legs, [](const Leg& l) { return l.type == "IF" ? 0.0 : flight_profile::rad(l.brg); }, "%.6f") + "\n";
  std::vector<Leg> mag = legs;
  for (Leg& l : mag) {
    l.brg = wrap360(l.brg + variation);
    l.crs_mag = wrap360(l.crs_mag + variation);
  }
  s += fms + "legs_brg_mag=" +
       joined(mag, [](const Leg& l) { return l.type == "IF" ? 0.0 : flight_profile::rad(l.brg); }, "%.6f") + "\n";
  s += fms + "legs_brg_fin_true=" +
       joined(legs, [](const Leg& l) { return l.type == "IF" ? 0.0 : flight_profile::rad(l.brg_fin); }, "%.6f") + "\n";
  (void)rad;
  s += fms + "legs_crs_mag=" + joined(mag, [](const Leg& l) { return l.type == "IF" ? 0.0 : l.crs_mag; }, "%.2f") + "\n";
  s += fms + "legs_dist=" + joined(legs, [](const Leg& l) { return l.dist; }, "%.3f") + "\n";
  s += fms + "legs_rad_lat=" + joined(legs, [](const Leg& l) { return l.centre.lat; }, "%.9f") + "\n";
  s += fms + "legs_rad_lon=" + joined(legs, [](const Leg& l) { return l.centre.lon; }, "%.9f") + "\n";
  s += fms + "legs_radius=" + joined(legs, [](const Leg& l) { return l.radius; }, "%.4f") + "\n";
  s += fms + "legs_hold_dist=" + joined(legs, [](const Leg& l) { return l.dme; }, "%.3f") + "\n";
  s += fms + "legs_hold_time=" + joined(legs, [](const Leg& l) { return l.hold_time; }, "%.1f") + "\n";
  s += fms + "legs_rad_turn=" + joined(legs, [](const Leg& l) { return l.turn; }, "%.0f") + "\n";
  s += fms + "legs_alt_rest1=" + joined(legs, [](const Leg& l) { return l.alt; }, "%.0f") + "\n";
  s += fms + "legs_alt_calc=" + joined(legs, [](const Leg& l) { return l.alt; }, "%.0f") + "\n";
  s += fms + "legs_spd=" + joined(legs, [](const Leg&) { return 250.0; }, "%.0f") + "\n";
  s += fms + "legs_spd_calc=" + joined(legs, [](const Leg&) { return 250.0; }, "%.0f") + "\n";
  s += "set zuvadud/D738/vnav/legs_num=" + std::to_string(legs.size() - 1) + "\n";
  s += fms + "intdir_crs=-1\n";
  s += fms + "legs_change=1\n";
  return s;
}

// ---- a flight --------------------------------------------------------------

struct Sample {
  double x = 0, y = 0, bank = 0, xtrack = 0;
  int idx = 0;
};

struct Flown {
  std::vector<Sample> s;
  std::vector<double> seq_t;           // when each leg was sequenced
  std::vector<int> seq_to;             // to which
  std::vector<std::vector<float>> dist;  // the published leg distances, at the start and each sequencing
  double dt = kDt;
  std::string error;
};

void apply_lines(const std::string& text) {
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("set ", 0) != 0) continue;
    const size_t eq = line.find('=');
    simhost::set_from_text(line.substr(4, eq - 4), line.substr(eq + 1));
  }
}

std::vector<float> published_dist(size_t n) {
  std::vector<float> d = simhost::get_floats("zuvadud/D738/fms/legs_dist_true", static_cast<int>(n));
  d.resize(n, 0.0f);
  return d;
}

// Events: "T fpm=V" sets the vertical speed at T seconds (comma-separated).
struct Event {
  double t = 0, fpm = 0;
};

std::vector<Event> events_of(const std::string& checks) {
  std::vector<Event> out;
  for (const std::string& w : words(checks))
    if (w.rfind("fpm@", 0) == 0) {
      Event e;
      if (std::sscanf(w.c_str(), "fpm@%lf=%lf", &e.t, &e.fpm) == 2) out.push_back(e);
    }
  return out;
}

Flown fly(const Geometry& g, const Placement& p) {
  Flown out;
  out.dt = g.dt;
  const float dt = static_cast<float>(g.dt);
  const Frame f{p};
  std::string error;
  const std::vector<Leg> legs = build_route(f, g.legs, g.alt_ft, &error);
  std::vector<Leg> changed;
  if (g.change_s >= 0) changed = build_route(f, g.change, g.alt_ft, &error);
  if (!error.empty()) return out.error = error, out;
  // The aircraft 15 nm before the first waypoint on its course.
  const double first_crs = bearing_deg(legs[0].at, legs[1].at);
  const double back = std::max(0.0, legs[1].dist - 15.0);
  const LatLon ac = destination(legs[0].at, first_crs, back);
  char pos[256];
  std::snprintf(pos, sizeof pos,
                "set sim/flightmodel/position/latitude=%.9f\nset sim/flightmodel/position/longitude=%.9f\n"
                "set sim/flightmodel/position/hpath=%.4f\nset sim/flightmodel/position/psi=%.4f\n",
                ac.lat, ac.lon, bearing_deg(ac, legs[1].at), bearing_deg(ac, legs[1].at));
  std::string text =
      "include common/engines-running-cruise.txt\n"
      "set sim/cockpit/pressure/max_allowable_altitude=" +
      std::to_string(std::max(10000, static_cast<int>(g.alt_ft))) + "\n" +
      "set zuvadud/D738/engine/thrust1_leveler=0.6\nset zuvadud/D738/engine/thrust2_leveler=0.6\n"
      "set sim/flightmodel/position/indicated_airspeed=250\n"
      "scripts lnav on\nset zuvadud/D738/FMS/flight_phase=2\n"
      "set sim/flightmodel/position/elevation=" + std::to_string(g.alt_ft * 0.3048) + "\n" +
      "set sim/flightmodel/position/groundspeed=" + std::to_string(g.ground_mps) + "\n" +
      "set sim/flightmodel/position/vh_ind_fpm=0\n" + "set sim/flightmodel/position/magnetic_variation=" +
      std::to_string(p.variation) + "\n" + pos + route_lines(legs, p.variation) +
      "set zuvadud/D738/fms/vnav_idx=2\nset zuvadud/D738/fms/vnav_idx_seq=2\nset zuvadud/D738/fms/nav_mode=0\n"
      "fly on\nat 1s\nset zuvadud/D738/autopilot/lnav_engaged=1\nat 2s\n";
  const simhost::Config config = census::start_config(kStartFile, text, kRoot, kAddons);
  if (!census::play_start(kStartFile, text, config, kAddons, 0.1f, &error)) return out.error = error, out;
  // Nobody looks at the panel: its passes run, one pixel rasterised.
  simhost::set_draw_capture(false);
  simhost::set_draw_unseen(true);

  const std::vector<Event> events = events_of(g.checks);
  size_t next_event = 0;
  bool change_done = g.change_s < 0;
  int idx = static_cast<int>(simhost::get_float("zuvadud/D738/fms/vnav_idx"));
  out.dist.push_back(published_dist(legs.size()));
  double read_dist_at = -1;
  const int frames = static_cast<int>((g.seconds - kStartS) / dt);
  for (int k = 0; k < frames; ++k) {
    const double t = kStartS + k * g.dt;
    while (next_event < events.size() && t >= events[next_event].t) {
      simhost::set_float("sim/flightmodel/position/vh_ind_fpm", static_cast<float>(events[next_event].fpm));
      ++next_event;
    }
    if (!change_done && t >= g.change_s) {
      change_done = true;
      apply_lines(route_lines(changed, p.variation));
    }
    const char* trace_at = std::getenv("CORVANE_CENSUS_TRACE");
    const bool tracing = trace_at != nullptr && std::fabs(t - std::atof(trace_at)) < g.dt / 2;
    const size_t logged = simhost::log_lines().size();
    if (tracing) simhost::set_float("zuvadud/D738/fms/test", 9999.0f);
    simhost::frame(dt);
    if (tracing)
      for (size_t i = logged; i < simhost::log_lines().size(); ++i)
        std::printf("%s %s\n", p.name.c_str(), simhost::log_lines()[i].c_str());
    Sample s;
    f.local({simhost::get_double("sim/flightmodel/position/latitude"),
             simhost::get_double("sim/flightmodel/position/longitude")},
            &s.x, &s.y);
    s.bank = (p.mirror ? -1.0 : 1.0) * simhost::get_float("sim/flightmodel/position/phi");
    s.xtrack = (p.mirror ? -1.0 : 1.0) * simhost::get_float("zuvadud/D738/fms/rt_xtrack");
    s.idx = static_cast<int>(simhost::get_float("zuvadud/D738/fms/vnav_idx"));
    if (s.idx != idx) {
      out.seq_t.push_back(t + g.dt);
      out.seq_to.push_back(s.idx);
      idx = s.idx;
      read_dist_at = t + g.dt + kSettleS;
    }
    // The distances once the path has been rebuilt for the new active leg
    // (a floating leg's end follows the aircraft in the frame it begins).
    if (read_dist_at >= 0 && t + g.dt >= read_dist_at) {
      out.dist.push_back(published_dist(legs.size()));
      read_dist_at = -1;
    }
    out.s.push_back(s);
    if (const char* every = std::getenv("CORVANE_CENSUS_DUMP"); every != nullptr && k % std::max(1, std::atoi(every)) == 0)
      std::printf("%s %s t=%.1f x=%.2f y=%.2f bank=%.1f xtk=%.3f idx=%d nav_mode=%g region=%g\n", g.name.c_str(),
                  p.name.c_str(), t, s.x, s.y, s.bank, s.xtrack, s.idx, simhost::get_float("zuvadud/D738/fms/nav_mode"),
                  simhost::get_float("zuvadud/D738/fms/rt_region"));
  }
  return out;
}

// ---- comparing two flights ------------------------------------------------------

double seg_dist(const Sample& a, const Sample& b, const Sample& q) {
  const double dx = b.x - a.x, dy = b.y - a.y, l2 = dx * dx + dy * dy;
  double u = l2 > 0 ? ((q.x - a.x) * dx + (q.y - a.y) * dy) / l2 : 0.0;
  u = std::clamp(u, 0.0, 1.0);
  return std::hypot(a.x + u * dx - q.x, a.y + u * dy - q.y);
}

std::string fmt(const char* f, double a, double b) {
  char buf[160];
  std::snprintf(buf, sizeof buf, f, a, b);
  return buf;
}

// The first way `b` differs from `a`, empty when it does not.
std::string differs(const Flown& a, const Flown& b) {
  if (a.seq_to != b.seq_to) {
    std::string s = "legs sequenced differ:";
    for (int i : a.seq_to) s += " " + std::to_string(i);
    s += " against";
    for (int i : b.seq_to) s += " " + std::to_string(i);
    return s;
  }
  for (size_t i = 0; i < a.seq_t.size(); ++i)
    if (std::fabs(a.seq_t[i] - b.seq_t[i]) > kSeqS)
      return fmt("leg %.0f sequenced ", a.seq_to[i], 0) + fmt("at %.1f s against %.1f s", a.seq_t[i], b.seq_t[i]);
  const size_t n = std::min(a.s.size(), b.s.size());
  const double dt = a.dt;
  const long window = static_cast<long>(5.0 / dt);
  for (size_t i = 0; i < n; ++i) {
    double best = 1e9, bank = 1e9;
    const size_t lo = i > static_cast<size_t>(window) ? i - static_cast<size_t>(window) : 0;
    const size_t hi = std::min(n - 1, i + static_cast<size_t>(window));
    for (size_t j = lo; j < hi; ++j) best = std::min(best, seg_dist(a.s[j], a.s[j + 1], b.s[i]));
    // The bank within a second either way: a roll begun a frame apart.
    const size_t roll = static_cast<size_t>(1.0 / dt);
    const size_t blo = i > roll ? i - roll : 0, bhi = std::min(n - 1, i + roll);
    for (size_t j = blo; j <= bhi; ++j) bank = std::min(bank, std::fabs(a.s[j].bank - b.s[i].bank));
    const double t = kStartS + static_cast<double>(i + 1) * dt;
    if (best > kXtrackNm) return fmt("at %.1f s the tracks are %.2f nm apart", t, best);
    if (bank > kBankDeg) return fmt("at %.1f s the bank differs by %.1f degrees", t, bank);
    // The published cross-track with its sign, a region change a frame apart.
    double xtk = 1e9;
    for (size_t j = blo; j <= bhi; ++j) xtk = std::min(xtk, std::fabs(a.s[j].xtrack - b.s[i].xtrack));
    if (xtk > kPublishedNm)
      return fmt("at %.1f s the published cross-track reads ", t, 0) + fmt("%.3f nm against %.3f nm", b.s[i].xtrack, a.s[i].xtrack);
  }
  for (size_t e = 0; e < a.dist.size() && e < b.dist.size(); ++e)
    for (size_t k = 0; k < a.dist[e].size() && k < b.dist[e].size(); ++k)
      if (std::fabs(a.dist[e][k] - b.dist[e][k]) > kDistNm)
        return fmt("leg %.0f's published distance ", static_cast<double>(k), 0) +
               fmt("%.3f against %.3f nm", a.dist[e][k], b.dist[e][k]) +
               (e == 0 ? std::string(" at the start") : fmt(" %.0f s after leg %.0f was sequenced", kSettleS, a.seq_to[e - 1]));
  return "";
}

// The row's own bounds: "xtk<V@T" the published cross-track within V nm
// from T s on; "jump<V" no step of the published cross-track over V nm
// from one frame to the next; "rise<V@T" from T s on the bank, taken the
// way it leans at T, never more than V degrees above the least it has come
// down to since, or above level once it has passed it (one roll-out, not a
// second the same way); "seq=N" N legs sequenced.
std::string out_of_bounds(const Geometry& g, const Flown& f) {
  for (const std::string& w : words(g.checks)) {
    double v = 0, t = 0;
    if (std::sscanf(w.c_str(), "xtk<%lf@%lf", &v, &t) == 2) {
      for (size_t i = 0; i < f.s.size(); ++i) {
        const double at = kStartS + static_cast<double>(i + 1) * f.dt;
        if (at >= t && std::fabs(f.s[i].xtrack) > v) return fmt("the cross-track reads %.2f nm at %.1f s", f.s[i].xtrack, at);
      }
    }
    if (std::sscanf(w.c_str(), "jump<%lf", &v) == 1)
      for (size_t i = 1; i < f.s.size(); ++i) {
        // The route handed over anew moves the path under the aircraft.
        const double at = kStartS + static_cast<double>(i) * f.dt;
        if (g.change_s >= 0 && std::fabs(at - g.change_s) <= f.dt) continue;
        if (std::fabs(f.s[i].xtrack - f.s[i - 1].xtrack) > v)
          return fmt("the cross-track steps from %.2f nm to ", f.s[i - 1].xtrack, 0) +
                 fmt("%.2f nm at %.1f s", f.s[i].xtrack, kStartS + static_cast<double>(i + 1) * f.dt);
      }
    if (std::sscanf(w.c_str(), "rise<%lf@%lf", &v, &t) == 2) {
      double side = 0, least = 0;
      for (size_t i = 0; i < f.s.size(); ++i) {
        const double at = kStartS + static_cast<double>(i + 1) * f.dt;
        if (at < t) continue;
        if (side == 0) {
          side = f.s[i].bank < 0 ? -1.0 : 1.0;
          least = side * f.s[i].bank;
        }
        least = std::min(least, side * f.s[i].bank);
        if (side * f.s[i].bank - std::max(least, 0.0) > v)
          return fmt("the bank leans %.1f degrees the same way again ", f.s[i].bank, 0) +
                 fmt("at %.1f s, after %.1f", at, side * std::max(least, 0.0));
      }
    }
    int n = 0;
    if (std::sscanf(w.c_str(), "seq=%d", &n) == 1 && static_cast<int>(f.seq_to.size()) != n) {
      std::string at;
      for (size_t i = 0; i < f.seq_t.size(); ++i) at += fmt(" %.0f at %.1f s", f.seq_to[i], f.seq_t[i]);
      return fmt("%.0f legs sequenced, %.0f wanted:", static_cast<double>(f.seq_to.size()), n) + at;
    }
  }
  return "";
}

const Table& table() {
  static const Table t = read_table();
  return t;
}

std::vector<std::string> geometry_names() {
  std::vector<std::string> out;
  for (const Geometry& g : table().geometries) out.push_back(g.name);
  return out;
}

class InvarianceCensus : public ::testing::TestWithParam<std::string> {};

TEST(InvarianceCensusTable, Reads) {
  for (const std::string& e : table().errors) ADD_FAILURE() << e;
  EXPECT_GE(table().places.size(), 8u);
  EXPECT_GE(table().geometries.size(), 10u);
}

TEST_P(InvarianceCensus, SamePathEverywhere) {
  const Geometry* g = nullptr;
  for (const Geometry& r : table().geometries)
    if (r.name == GetParam()) g = &r;
  ASSERT_NE(g, nullptr);
  std::vector<std::string> faults;
  Flown first;
  std::string first_name;
  for (const Placement& p : table().places) {
    if (kSanitized && !p.sanitized && !first_name.empty()) continue;
    const Flown f = fly(*g, p);
    ASSERT_TRUE(f.error.empty()) << g->name << " at " << p.name << ": " << f.error;
    const std::string bound = out_of_bounds(*g, f);
    if (!bound.empty()) faults.push_back(g->name + " at " + p.name + ": " + bound);
    if (first_name.empty()) {
      first = f;
      first_name = p.name;
      continue;
    }
    const std::string d = differs(first, f);
    if (!d.empty()) faults.push_back(g->name + " at " + first_name + " and " + p.name + ": " + d);
  }
  simhost::reset();
  std::string all;
  for (const std::string& s : faults) all += "\n  " + s;
  if (g->expect == "fails") {
    // The sanitizers' few placements need not include the ones that differ.
    EXPECT_TRUE(kSanitized || !faults.empty())
        << "invariance_census.tsv:" << g->line << ": " << g->name << " now flies the same everywhere: mark it \"same\"";
  } else {
    EXPECT_TRUE(faults.empty()) << "invariance_census.tsv:" << g->line << ":" << all;
  }
  if (g->expect == "fails" && !faults.empty()) std::printf("known faults of %s:%s\n", g->name.c_str(), all.c_str());
}

INSTANTIATE_TEST_SUITE_P(Geometries, InvarianceCensus, ::testing::ValuesIn(geometry_names()),
                         [](const ::testing::TestParamInfo<std::string>& i) {
                           std::string n = i.param;
                           for (char& c : n)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return n;
                         });

}  // namespace
