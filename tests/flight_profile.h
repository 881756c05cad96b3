// A flight for the whole-module checks: a 26-leg route (fly-by turns, an
// arc, a hold, a procedure turn) handed over as the scripts do, a powered
// cockpit with LNAV and VNAV engaged and both maps in MAP mode at 40 nm,
// traffic circling the aircraft, and the aircraft flown along the route by a
// simple kinematic stand-in. Shared by the frame-cost benchmark and the
// per-frame allocation test.
#pragma once

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "host.h"

namespace flight_profile {

constexpr double kPi = 3.14159265358979323846;
constexpr double kEarthNm = 3440.064795;

inline double rad(double d) { return d * kPi / 180.0; }
inline double deg(double r) { return r * 180.0 / kPi; }

struct LatLon {
  double lat, lon;
};

inline LatLon destination(LatLon p, double course_deg, double dist_nm) {
  const double d = dist_nm / kEarthNm, b = rad(course_deg), la = rad(p.lat);
  const double la2 = std::asin(std::sin(la) * std::cos(d) + std::cos(la) * std::sin(d) * std::cos(b));
  const double lo2 = rad(p.lon) + std::atan2(std::sin(b) * std::sin(d) * std::cos(la), std::cos(d) - std::sin(la) * std::sin(la2));
  return {deg(la2), deg(lo2)};
}

inline double bearing_deg(LatLon a, LatLon b) {
  const double dlon = rad(b.lon - a.lon);
  const double y = std::sin(dlon) * std::cos(rad(b.lat));
  const double x = std::cos(rad(a.lat)) * std::sin(rad(b.lat)) - std::sin(rad(a.lat)) * std::cos(rad(b.lat)) * std::cos(dlon);
  return std::fmod(deg(std::atan2(y, x)) + 360.0, 360.0);
}

inline double distance_nm(LatLon a, LatLon b) {
  const double s = std::sin(rad(b.lat - a.lat) / 2), t = std::sin(rad(b.lon - a.lon) / 2);
  return 2 * kEarthNm * std::asin(std::sqrt(s * s + std::cos(rad(a.lat)) * std::cos(rad(b.lat)) * t * t));
}

inline void set(const std::string& name, double value) { simhost::set_from_text(name, std::to_string(value)); }
inline void set_all(const std::string& name, double value, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += (i ? "," : "") + std::to_string(value);
  simhost::set_from_text(name, text);
}

// ---- the route ------------------------------------------------------------------

struct Leg {
  std::string id, type;
  LatLon at;
  float alt_ft;
  // Arc legs: centre, radius and turn direction (0 left, 1 right).
  LatLon centre{0, 0};
  float radius_nm = 0;
  float turn = 0;
};

// Seattle northbound: runway, a climb leg, a zig-zag of fly-by turns, an arc,
// a hold, a procedure turn and an arrival, 26 legs in all.
inline std::vector<Leg> make_route() {
  std::vector<Leg> r;
  const LatLon rw{47.4638, -122.3079};
  r.push_back({"KSEA", "IF", {47.4490, -122.3093}, 430});
  r.push_back({"RW16L", "IF", rw, 430});
  r.push_back({"D016B", "CA", destination(rw, 340.0, 4.0), 2000});
  LatLon p = r.back().at;
  for (int i = 0; i < 10; ++i) {  // fly-by turns of 20 to 40 degrees
    const double course = 0.0 + (i % 2 ? 25.0 : -15.0);
    p = destination(p, course, 9.0);
    r.push_back({"WP" + std::to_string(10 + i), "TF", p, 4000.0f + 2000.0f * static_cast<float>(i)});
  }
  // A 90 degree right arc of 6 nm radius.
  const LatLon centre = destination(p, 90.0, 6.0);
  p = destination(centre, 0.0, 6.0);
  r.push_back({"ARCEX", "RF", p, 24000, centre, 6.0f, 1.0f});
  for (int i = 0; i < 4; ++i) {
    p = destination(p, 90.0 + 10.0 * i, 12.0);
    r.push_back({"EAST" + std::to_string(i), "TF", p, 26000});
  }
  r.push_back({"HOLDX", "TF", destination(p, 100.0, 10.0), 20000});
  p = r.back().at;
  r.push_back({"HOLDX", "HM", p, 20000});
  for (int i = 0; i < 3; ++i) {
    p = destination(p, 160.0, 12.0);
    r.push_back({"DESC" + std::to_string(i), "TF", p, 12000.0f - 2500.0f * static_cast<float>(i)});
  }
  r.push_back({"PTFIX", "PI", destination(p, 200.0, 8.0), 4000});
  p = r.back().at;
  r.push_back({"FAF", "CF", destination(p, 200.0, 6.0), 2500});
  r.push_back({"RW20", "TF", destination(r.back().at, 200.0, 5.0), 1200});
  return r;
}

inline void set_text(const std::string& name, const std::string& text) {
  std::string bytes = text;
  bytes.resize(static_cast<size_t>(std::max(0, simhost::array_size(name))), '\0');
  simhost::set_bytes(name, bytes);
}

inline void hand_over_route(const std::vector<Leg>& route) {
  const std::string fms = "zuvadud/D738/fms/";
  std::vector<float> lat, lon, brg, dist, alt, spd, hold_time, rad_lat, rad_lon, radius, rad_turn;
  std::string ids, types;
  for (size_t i = 0; i < route.size(); ++i) {
    const Leg& l = route[i];
    lat.push_back(static_cast<float>(l.at.lat));
    lon.push_back(static_cast<float>(l.at.lon));
    brg.push_back(i == 0 ? 0.0f : static_cast<float>(rad(bearing_deg(route[i - 1].at, l.at))));
    dist.push_back(i == 0 ? 0.0f : static_cast<float>(distance_nm(route[i - 1].at, l.at)));
    alt.push_back(l.alt_ft);
    spd.push_back(i < 3 ? 180.0f : 280.0f);
    hold_time.push_back(l.type == "HM" ? 1.0f : 0.0f);
    rad_lat.push_back(static_cast<float>(l.centre.lat));
    rad_lon.push_back(static_cast<float>(l.centre.lon));
    radius.push_back(l.radius_nm);
    rad_turn.push_back(l.turn);
    ids += l.id + " ";
    types += l.type;
  }
  simhost::set_floats(fms + "legs_lat", lat);
  simhost::set_floats(fms + "legs_lon", lon);
  for (const char* f : {"legs_brg_true", "legs_brg_fin_true", "legs_brg_mag"}) simhost::set_floats(fms + f, brg);
  simhost::set_floats(fms + "legs_dist", dist);
  simhost::set_floats(fms + "legs_alt_rest1", alt);
  simhost::set_floats(fms + "legs_alt_calc", alt);
  simhost::set_floats(fms + "legs_spd", spd);
  simhost::set_floats(fms + "legs_hold_time", hold_time);
  simhost::set_floats(fms + "legs_rad_lat", rad_lat);
  simhost::set_floats(fms + "legs_rad_lon", rad_lon);
  simhost::set_floats(fms + "legs_radius", radius);
  simhost::set_floats(fms + "legs_rad_turn", rad_turn);
  set_text(fms + "legs", ids);
  set_text(fms + "legs_pth", types);
  set_text(fms + "legs_pth_before", types);
  set("zuvadud/D738/vnav/legs_num", static_cast<double>(route.size() - 1));
  set(fms + "legs_change", 1.0);
  // The same route as both displays' route sets.
  std::vector<float> idx;
  for (size_t i = 0; i < route.size(); ++i) idx.push_back(static_cast<float>(i));
  for (const std::string n : {"2", "3"}) {
    const std::string sfx = "_" + n;
    simhost::set_floats(fms + "legs_lat" + sfx, lat);
    simhost::set_floats(fms + "legs_lon" + sfx, lon);
    for (const char* f : {"legs_brg_true", "legs_brg_fin_true", "legs_brg_mag", "legs_crs_mag"})
      simhost::set_floats(fms + f + sfx, brg);
    simhost::set_floats(fms + "legs_dist" + sfx, dist);
    simhost::set_floats(fms + "legs_spd" + sfx, spd);
    simhost::set_floats(fms + "legs_hold_time" + sfx, hold_time);
    simhost::set_floats(fms + "legs_rad_lat" + sfx, rad_lat);
    simhost::set_floats(fms + "legs_rad_lon" + sfx, rad_lon);
    simhost::set_floats(fms + "legs_radius" + sfx, radius);
    simhost::set_floats(fms + "legs_rad_turn" + sfx, rad_turn);
    simhost::set_floats(fms + "legs_idx" + sfx, idx);
    set_text(fms + "legs" + sfx, ids);
    set_text(fms + "legs_pth" + sfx, types);
    set_text(fms + "legs_pth_before" + sfx, types);
    set(fms + "legs_num" + n, static_cast<double>(route.size() - 1));
    set(fms + "legs_change" + n, 1.0);
  }
}

// ---- the cockpit ----------------------------------------------------------------

inline void power_up_cockpit() {
  // Battery and an external power source on every bus: the displays and
  // every system run their powered paths.
  simhost::set_floats("sim/cockpit2/electrical/battery_voltage_actual_volts", {28.0f, 28.0f});
  simhost::set_floats("sim/cockpit2/electrical/bus_volts", {28.0f, 28.0f, 28.0f, 28.0f});
  set("zuvadud/D738/electric/battery_pos", 1.0);
  set("zuvadud/D738/electric/standby_bat_pos", 1.0);  // AUTO
  set("zuvadud/D738/toggle_switch/cab_util_pos", 1.0);
  set("sim/cockpit/electrical/gpu_on", 1);
  for (const char* n : {"sim/cockpit2/electrical/generator_on", "sim/cockpit/electrical/generator_on",
                        "sim/flightmodel/engine/ENGN_running", "sim/flightmodel2/engines/engine_is_burning_fuel"})
    set_all(n, 1, 8);
  set_all("sim/flightmodel/engine/ENGN_N2_", 92.0, 8);
  set_all("sim/flightmodel2/engines/N2_percent", 92.0, 8);
  set_all("sim/flightmodel2/engines/N1_percent", 85.0, 8);
  set_all("sim/flightmodel/engine/ENGN_N1_", 85.0, 8);
  set_all("sim/flightmodel/engine/ENGN_FF_", 0.8, 8);
  set_all("sim/cockpit2/electrical/generator_amps", 60.0, 8);
  set_all("sim/cockpit2/switches/instrument_brightness_ratio", 1.0, 32);
  set("sim/graphics/view/panel_render_type", 2);
  for (const std::string side : {"capt", "fo"}) {
    set("zuvadud/D738/EFIS_control/" + side + "/map_mode_pos", 2);
    set("zuvadud/D738/EFIS_control/" + side + "/exp_map", 1);
    set("zuvadud/D738/EFIS/" + side + "/map_range", 3);  // 40 nm
  }
  for (const char* n : {"zuvadud/D738/EFIS/EFIS_vor_on", "zuvadud/D738/EFIS/EFIS_fix_on",
                        "zuvadud/D738/EFIS/EFIS_airport_on", "zuvadud/D738/EFIS/fo/EFIS_vor_on",
                        "zuvadud/D738/EFIS/fo/EFIS_fix_on", "zuvadud/D738/EFIS/fo/EFIS_airport_on",
                        "zuvadud/D738/EFIS/tcas_on", "zuvadud/D738/EFIS/tcas_on_fo"})
    set(n, 1);
  set("zuvadud/D738/knob/transponder_pos", 5);
  set("zuvadud/D738/autopilot/lnav_engaged", 1);
  set("zuvadud/D738/autopilot/vnav_engaged", 1);
  set("zuvadud/D738/fms/vnav_idx", 3);
  set("zuvadud/D738/fms/vnav_idx_seq", 3);
}

// The scripts' pacing of the map search: projection frames (1 and 2)
// alternate with publication frames (0).
inline void scripts_map_pacing(int frame) {
  static const float kCycle[] = {1.0f, 0.0f, 2.0f, 0.0f};
  set("zuvadud/D738/fms/xfirst_time2", kCycle[frame % 4]);
}

// ---- the flight -------------------------------------------------------------------

struct Flight {
  std::vector<Leg> route;
  size_t to = 3;          // the fix flown to
  LatLon pos{0, 0};
  double alt_ft = 3000;
  double gs_kt = 280;
  double heading = 340;
};

constexpr int kTraffic = 19;

// Traffic on circles around the aircraft, some converging in altitude.
inline void move_traffic(const Flight& f, int frame) {
  std::string lat, lon, ele, vz;
  for (int k = 0; k <= 63; ++k) {
    double la = f.pos.lat, lo = f.pos.lon, el = f.alt_ft * 0.3048;
    if (k >= 1 && k <= kTraffic) {
      const double angle = 360.0 * k / kTraffic + 0.05 * frame;
      const LatLon p = destination(f.pos, angle, 2.0 + 0.8 * k);
      la = p.lat;
      lo = p.lon;
      el += (k % 3 - 1) * 150.0 * (1.0 + std::sin(0.002 * frame + k));
      const std::string n = std::to_string(k);
      set("sim/multiplayer/position/plane" + n + "_lat", la);
      set("sim/multiplayer/position/plane" + n + "_lon", lo);
      set("sim/multiplayer/position/plane" + n + "_el", el);
      set("sim/multiplayer/position/plane" + n + "_v_z", -100.0);
    }
    lat += (k ? "," : "") + std::to_string(la);
    lon += (k ? "," : "") + std::to_string(lo);
    ele += (k ? "," : "") + std::to_string(el);
    vz += (k ? "," : "") + std::to_string(-100.0);
  }
  simhost::set_from_text("sim/cockpit2/tcas/targets/position/lat", lat);
  simhost::set_from_text("sim/cockpit2/tcas/targets/position/lon", lon);
  simhost::set_from_text("sim/cockpit2/tcas/targets/position/ele", ele);
  simhost::set_from_text("sim/cockpit2/tcas/targets/position/vz", vz);
}

// Flies the aircraft toward the current fix at its ground speed, turning
// toward it at a standard rate, and moves on when it passes within 1 nm.
inline void fly(Flight& f, float dt) {
  const Leg& target = f.route[f.to];
  const double want = bearing_deg(f.pos, target.at);
  double diff = std::fmod(want - f.heading + 540.0, 360.0) - 180.0;
  const double max_turn = 3.0 * dt;
  f.heading = std::fmod(f.heading + std::clamp(diff, -max_turn, max_turn) + 360.0, 360.0);
  f.pos = destination(f.pos, f.heading, f.gs_kt * dt / 3600.0);
  f.alt_ft += std::clamp(target.alt_ft - f.alt_ft, -30.0 * dt, 30.0 * dt);
  if (distance_nm(f.pos, target.at) < 1.0 && f.to + 1 < f.route.size()) ++f.to;
  const double roll = std::clamp(diff, -25.0, 25.0);
  set("sim/flightmodel/position/latitude", f.pos.lat);
  set("sim/flightmodel/position/longitude", f.pos.lon);
  set("sim/flightmodel/position/elevation", f.alt_ft * 0.3048);
  set("sim/flightmodel/position/y_agl", f.alt_ft * 0.3048 - 100.0);
  set("sim/flightmodel/position/indicated_airspeed", 250);
  set("sim/cockpit2/gauges/indicators/airspeed_kts_pilot", 250);
  set("sim/cockpit2/gauges/indicators/airspeed_kts_copilot", 250);
  set("sim/flightmodel/position/groundspeed", f.gs_kt / 1.9438445);
  set("sim/flightmodel/position/true_airspeed", f.gs_kt / 1.9438445);
  set("sim/flightmodel/position/psi", f.heading);
  set("sim/flightmodel/position/mag_psi", f.heading - 15.0);
  set("sim/flightmodel/position/hpath", f.heading);
  set("sim/cockpit2/gauges/indicators/ground_track_mag_pilot", f.heading - 15.0);
  set("sim/cockpit2/gauges/indicators/heading_AHARS_deg_mag_pilot", f.heading - 15.0);
  set("sim/flightmodel/position/phi", roll);
  set("sim/cockpit2/gauges/indicators/altitude_ft_pilot", f.alt_ft);
  set("sim/cockpit2/gauges/indicators/altitude_ft_copilot", f.alt_ft);
  set("sim/cockpit2/gauges/indicators/radio_altimeter_height_ft_pilot", f.alt_ft - 300.0);
  simhost::set_from_text("sim/flightmodel2/gear/on_ground", "0,0,0");
}

// Sets the flight up once the module is loaded: start-up state first, then
// the cockpit and the route.
inline Flight prepare(float frame_seconds) {
  simhost::frames(300, frame_seconds);
  power_up_cockpit();
  Flight f;
  f.route = make_route();
  f.pos = f.route[2].at;
  hand_over_route(f.route);
  return f;
}

// One frame of the outside world: the scripts' pacing, the aircraft and the
// traffic moved; the host's frame is the caller's.
inline void advance(Flight& f, int frame, float frame_seconds) {
  scripts_map_pacing(frame);
  fly(f, frame_seconds);
  move_traffic(f, frame);
}

}  // namespace flight_profile
