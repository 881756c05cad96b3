// The aircraft scripts' lateral-navigation inputs, as the scripts work them
// out each frame from the legs they handed over and the aircraft's position:
// the active leg's desired track and cross-track, the values of the arc being
// flown or just ahead, and in LNAV the selected heading set from the
// plug-in's track command. It reads only what the scripts see (their own
// values, those the plug-in publishes, the host's) and writes a value only
// while nobody set it from outside, so a scenario's explicit value still wins.
// The rules are listed in README.md ("The scripts' LNAV inputs").
#include "scripts_lnav.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "fly.h"
#include "host.h"
#include "state.h"

namespace simhost {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180.0;
constexpr double kEarthNm = kEarthRadius_m / 1852.0;   // the flying aircraft's sphere
constexpr int kLegSlots = 256;

bool on = false;

struct Pos {
  double lat = 0, lon = 0;
};

double wrap360(double a) {
  a = std::fmod(a, 360.0);
  return a < 0 ? a + 360.0 : a;
}

bool is_zero(Pos p) { return p.lat == 0.0 && p.lon == 0.0; }

// Central angle (radians) and initial great-circle bearing (degrees).
double angle_between(Pos a, Pos b) {
  const double dlat = (b.lat - a.lat) * kDeg, dlon = (b.lon - a.lon) * kDeg;
  const double h = std::sin(dlat / 2) * std::sin(dlat / 2) +
                   std::cos(a.lat * kDeg) * std::cos(b.lat * kDeg) * std::sin(dlon / 2) * std::sin(dlon / 2);
  return 2.0 * std::atan2(std::sqrt(h), std::sqrt(std::max(0.0, 1.0 - h)));
}
double bearing(Pos a, Pos b) {
  const double la = a.lat * kDeg, lb = b.lat * kDeg, dlon = (b.lon - a.lon) * kDeg;
  return wrap360(std::atan2(std::sin(dlon) * std::cos(lb),
                            std::cos(la) * std::sin(lb) - std::sin(la) * std::cos(lb) * std::cos(dlon)) / kDeg);
}
Pos destination(Pos a, double course, double angle) {
  Pos b;
  great_circle_destination(a.lat, a.lon, course, angle, &b.lat, &b.lon);
  return b;
}

// What the scripts make of one leg at the aircraft's position: the track
// along the leg's path where the aircraft is abeam, true degrees, and the
// cross-track from that path, nm, right of it positive (the plug-in's sign).
struct Guide {
  bool ok = false;
  double track = 0, xtrack = 0;
  bool arc = false;
  double radius = 0;
  float turn = 0;
};

// The great circle through `p` with course `course` there.
Guide along_line(Pos p, double course, Pos ac) {
  Guide g;
  g.ok = true;
  const double d = angle_between(p, ac);
  const double rel = (bearing(p, ac) - course) * kDeg;
  g.xtrack = std::asin(std::sin(d) * std::sin(rel)) * kEarthNm;
  // Signed distance along the circle to the abeam point, and the circle's
  // course there (seen from the abeam point, p lies behind or ahead).
  const double along = std::atan2(std::sin(d) * std::cos(rel), std::cos(d));
  if (std::fabs(along) < 1e-9) {
    g.track = wrap360(course);
  } else {
    const Pos abeam = destination(p, course, along);
    const double back = bearing(abeam, p);
    g.track = along > 0 ? wrap360(back + 180.0) : back;
  }
  return g;
}

// The circle of an arc leg: its tangent at the aircraft's radial.
Guide around(Pos centre, double radius, float turn, Pos ac) {
  Guide g;
  g.ok = true;
  g.arc = true;
  g.radius = radius;
  g.turn = turn;
  const bool left = turn == 0.0f || turn == 2.0f;
  const double d = angle_between(centre, ac) * kEarthNm;
  const double b = bearing(centre, ac);
  g.track = wrap360(b + (left ? 270.0 : 90.0));
  g.xtrack = left ? d - radius : radius - d;
  return g;
}

// The legs as the scripts handed them over, up to the slots needed.
struct Legs {
  std::string pth;
  std::vector<float> lat, lon, brg_mag, crs_mag, rad_lat, rad_lon, radius, rad_turn, df_crs_fin;

  void read(int count) {
    pth = get_bytes("zuvadud/D738/fms/legs_pth");
    auto f = [count](const char* name) { return get_floats(std::string("zuvadud/D738/fms/") + name, count); };
    lat = f("legs_lat");
    lon = f("legs_lon");
    brg_mag = f("legs_brg_mag");
    crs_mag = f("legs_crs_mag");
    rad_lat = f("legs_rad_lat");
    rad_lon = f("legs_rad_lon");
    radius = f("legs_radius");
    rad_turn = f("legs_rad_turn");
    df_crs_fin = f("legs_df_crs_fin");
  }
  static float at(const std::vector<float>& v, int k) {
    return k >= 0 && k < static_cast<int>(v.size()) && std::isfinite(v[static_cast<size_t>(k)])
               ? v[static_cast<size_t>(k)]
               : 0.0f;
  }
  std::string type(int k) const {
    const size_t i = static_cast<size_t>(k) * 2;
    return k >= 0 && i + 2 <= pth.size() ? pth.substr(i, 2) : std::string();
  }
  bool is_arc(int k) const { return type(k) == "AF" || type(k) == "RF"; }
  Pos fix(int k) const { return {at(lat, k), at(lon, k)}; }
};

// Leg k's path by its path terminator; nothing for a leg the scripts would
// not steer by (a gap, a procedure turn, an unknown type).
Guide guide(const Legs& legs, int k, Pos ac, double var) {
  const std::string t = legs.type(k);
  if (k < 1 || t.size() != 2) return {};
  if (t == "AF" || t == "RF") {
    const Pos c{Legs::at(legs.rad_lat, k), Legs::at(legs.rad_lon, k)};
    const double r = Legs::at(legs.radius, k);
    if (is_zero(c) || !(r > 0.0)) return {};
    return around(c, r, Legs::at(legs.rad_turn, k), ac);
  }
  const Pos fix = legs.fix(k);
  if (t[0] == 'H') {
    // A hold: the line of its inbound course through the fix.
    const double inbound = wrap360(Legs::at(legs.crs_mag, k) - var);
    if (is_zero(fix)) return {};
    return along_line(fix, inbound, ac);
  }
  if (t == "DF") {
    // A direct leg starts where the turn onto it ends: the plug-in publishes
    // the course it reaches its fix with ("legs_df_crs_fin", -1 while it has
    // none), and the path is the great circle through the fix on it.
    const float fin = Legs::at(legs.df_crs_fin, k);
    if (fin >= 0.0f && fin < 360.0f && !is_zero(fix)) return along_line(fix, fin, ac);
  }
  if (t == "TF" || t == "DF" || t == "IF") {
    // From the waypoint before to this one, on the great circle.
    const Pos from = legs.fix(k - 1);
    if (is_zero(from) || is_zero(fix) || angle_between(from, fix) < 1e-9) return {};
    return along_line(from, bearing(from, fix), ac);
  }
  if (t[0] == 'C' || t[0] == 'V' || t[0] == 'F') {
    // A course (or heading) leg: its course; the line through its waypoint
    // when it has one and is not flown by heading.
    const double course = wrap360(Legs::at(legs.brg_mag, k) / kDeg - var);
    if (t[0] == 'V' || is_zero(fix)) {
      Guide g;
      g.ok = true;
      g.track = course;
      return g;
    }
    return along_line(fix, course, ac);
  }
  return {};
}

// Written as the scripts own it, unless a test or scenario set it: those
// values are pinned and stay theirs. This stand-in pins nothing.
void put(const char* name, double v) {
  Dataref* d = find_dataref(name);
  if (!d || !d->live || d->owner == Owner::Plugin || d->pinned || !std::isfinite(v)) return;
  if (d->type & xplmType_Double) {
    d->scalar = v;
  } else if (d->type & xplmType_Float) {
    d->scalar = static_cast<double>(static_cast<float>(v));
  }
}

float value(const char* name) {
  const float v = get_float(name);
  return std::isfinite(v) ? v : 0.0f;
}

// 0-based slot of a 1-based leg number the scripts count, -1 when none.
int slot_of(float number, int legs_num) {
  if (!(number >= 2.0f && number < static_cast<float>(kLegSlots) + 1.0f)) return -1;
  const int k = static_cast<int>(number) - 1;
  return k <= legs_num ? k : -1;
}

}  // namespace

void set_scripts_lnav(bool enable) {
  on = enable;
  set_scripts_step(enable ? std::function<void(float)>(scripts_lnav_step) : nullptr);
}

bool scripts_lnav() { return on; }

void scripts_lnav_step(float) {
  // In LNAV the scripts turn the plug-in's track command into the selected
  // heading: the straight command, or the arc command while that one is 0.
  if (value("zuvadud/D738/autopilot/lnav_engaged") == 1.0f) {
    float cmd = value("zuvadud/D738/fms/idx_corr");
    if (cmd == 0.0f) cmd = value("zuvadud/D738/fms/idx_corr2");
    if (cmd != 0.0f) put("sim/cockpit2/autopilot/heading_dial_deg_mag_pilot", wrap360(cmd));
  }

  const float num = value("zuvadud/D738/vnav/legs_num");
  if (!(num >= 1.0f)) return;
  const int legs_num = static_cast<int>(std::min(num, static_cast<float>(kLegSlots - 1)));
  const int a = slot_of(value("zuvadud/D738/fms/vnav_idx"), legs_num);
  if (a < 0) return;
  const int s = slot_of(value("zuvadud/D738/fms/vnav_idx_seq"), legs_num);
  const int ahead = std::max(a, s) + 1;

  Legs legs;
  legs.read(std::min(kLegSlots, ahead + 1));
  const Pos ac{get_double("sim/flightmodel/position/latitude"), get_double("sim/flightmodel/position/longitude")};
  if (!std::isfinite(ac.lat) || !std::isfinite(ac.lon)) return;
  // The plug-in makes a course magnetic by adding the host's variation.
  const double var = value("sim/flightmodel/position/magnetic_variation");

  const Guide active = guide(legs, a, ac, var);
  if (active.ok) {
    put("zuvadud/D738/fms/gps_track_degtm", active.track);
    put("zuvadud/D738/fms/xtrack", active.xtrack);
  }
  // The arc being flown: the sequencing leg's, else the active leg's; else
  // the arc just ahead as it begins (at the radial of the waypoint before
  // it), handed over before the plug-in turns onto it.
  Guide arc;
  if (s >= 0 && legs.is_arc(s)) {
    arc = guide(legs, s, ac, var);
    if (arc.ok) put("zuvadud/D738/fms/xtrack", arc.xtrack);
  } else if (active.arc) {
    arc = active;
  } else if (ahead <= legs_num && legs.is_arc(ahead) && !is_zero(legs.fix(ahead - 1))) {
    arc = guide(legs, ahead, legs.fix(ahead - 1), var);
  }
  if (arc.ok) {
    put("zuvadud/D738/fms/radii_turn", arc.radius);
    put("zuvadud/D738/fms/gps_track_turn", arc.turn);
    put("zuvadud/D738/fms/gps_track_turn2", arc.turn);
    put("zuvadud/D738/fms/gps_track2_degtm", wrap360(arc.track + var));
  }
}

}  // namespace simhost
