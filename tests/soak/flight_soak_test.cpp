// A whole flight through the simulated host: take-off roll, climb, cruise
// with a pause, a replay, a direct-to, an aircraft-load message and a
// situation restore, then descent and landing, with the route handed over
// through the scripts' datarefs and odd elapsed times mixed in. The module
// must never misuse the host interface (a getter or setter of another type
// than the host's, a write to a read-only dataref, an array access past the
// end), publish or write a NaN or an infinity, draw a non-finite line, log
// beyond its normal lines or do more work per frame as the flight goes on.
// Flown on an older and a newer host, each with its own datarefs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "host.h"
#include "soak_fixture.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kEarthNm = 3440.064795;

std::string fms(const std::string& name) { return "zuvadud/D738/fms/" + name; }

void set_text(const std::string& name, const std::string& text) {
  std::string bytes = text;
  bytes.resize(static_cast<size_t>(simhost::array_size(name)), '\0');
  simhost::set_bytes(name, bytes);
}

struct Fix {
  const char* id;
  const char* type;   // path terminator of the leg ending at this fix
  double lat, lon;
  float alt_ft;
};

// Seattle eastbound: runway, a climb to an altitude, a hold, and an arrival.
const Fix kRoute[] = {
    {"KSEA", "IF", 47.4490, -122.3093, 430},    {"RW16L", "IF", 47.4638, -122.3079, 430},
    {"D016B", "CA", 47.4000, -122.3000, 2000},  {"ALPSE", "DF", 47.3500, -122.1000, 8000},
    {"PERTT", "TF", 47.3000, -121.8000, 20000}, {"PERTT", "HM", 47.3000, -121.8000, 20000},
    {"CHINS", "TF", 47.1000, -121.4000, 35000}, {"YKM", "TF", 46.8000, -121.0000, 12000},
    {"RW27", "TF", 46.5680, -120.5440, 1100},
};
constexpr int kFixes = static_cast<int>(sizeof kRoute / sizeof kRoute[0]);

double rad(double deg) { return deg * kPi / 180.0; }

double bearing_rad(const Fix& a, const Fix& b) {
  const double dlon = rad(b.lon - a.lon);
  const double y = std::sin(dlon) * std::cos(rad(b.lat));
  const double x = std::cos(rad(a.lat)) * std::sin(rad(b.lat)) - std::sin(rad(a.lat)) * std::cos(rad(b.lat)) * std::cos(dlon);
  double brg = std::atan2(y, x);
  if (brg < 0) brg += 2 * kPi;
  return brg;
}

double distance_nm(const Fix& a, const Fix& b) {
  const double s = std::sin(rad(b.lat - a.lat) / 2), t = std::sin(rad(b.lon - a.lon) / 2);
  const double h = s * s + std::cos(rad(a.lat)) * std::cos(rad(b.lat)) * t * t;
  return 2 * kEarthNm * std::asin(std::sqrt(h));
}

// The scripts' side of the route hand-over: the per-leg arrays, the texts
// and the change flag.
void hand_over_route(const Fix* fixes, int count) {
  std::vector<float> lat, lon, brg, dist, alt, spd, hold_time;
  std::string ids, types;
  for (int i = 0; i < count; ++i) {
    lat.push_back(static_cast<float>(fixes[i].lat));
    lon.push_back(static_cast<float>(fixes[i].lon));
    const double b = i == 0 ? 0.0 : bearing_rad(fixes[i - 1], fixes[i]);
    brg.push_back(static_cast<float>(b));
    dist.push_back(i == 0 ? 0.0f : static_cast<float>(distance_nm(fixes[i - 1], fixes[i])));
    alt.push_back(fixes[i].alt_ft);
    spd.push_back(i < 3 ? 180.0f : 280.0f);
    hold_time.push_back(fixes[i].type[0] == 'H' ? 1.0f : 0.0f);
    ids += std::string(fixes[i].id) + " ";
    types += fixes[i].type;
  }
  simhost::set_floats(fms("legs_lat"), lat);
  simhost::set_floats(fms("legs_lon"), lon);
  for (const char* f : {"legs_brg_true", "legs_brg_fin_true", "legs_brg_mag"}) simhost::set_floats(fms(f), brg);
  simhost::set_floats(fms("legs_dist"), dist);
  simhost::set_floats(fms("legs_alt_rest1"), alt);
  simhost::set_floats(fms("legs_alt_calc"), alt);
  simhost::set_floats(fms("legs_spd"), spd);
  simhost::set_floats(fms("legs_hold_time"), hold_time);
  set_text(fms("legs"), ids);
  set_text(fms("legs_pth"), types);
  set_text(fms("legs_pth_before"), types);
  simhost::set_float("zuvadud/D738/vnav/legs_num", static_cast<float>(count - 1));
  simhost::set_float(fms("legs_change"), 1.0f);
}

// The host's flight state of one frame.
struct Aircraft {
  double lat = 0, lon = 0, elevation_m = 0;
  float ias_kt = 0, gs_kt = 0, pitch = 0, roll = 0, heading = 0, vs_fpm = 0, gear = 1, flaps = 0;
  bool ground = true;
};

void publish(const Aircraft& a) {
  simhost::set_double("sim/flightmodel/position/latitude", a.lat);
  simhost::set_double("sim/flightmodel/position/longitude", a.lon);
  simhost::set_double("sim/flightmodel/position/elevation", a.elevation_m);
  const float agl = a.ground ? 2.0f : static_cast<float>(a.elevation_m - 130.0);
  simhost::set_float("sim/flightmodel/position/y_agl", agl);
  simhost::set_float("sim/cockpit2/gauges/indicators/radio_altimeter_height_ft_pilot", agl / 0.3048f);
  simhost::set_float("sim/cockpit2/gauges/indicators/radio_altimeter_height_ft_copilot", agl / 0.3048f);
  simhost::set_float("sim/flightmodel/position/indicated_airspeed", a.ias_kt);
  simhost::set_float("sim/cockpit2/gauges/indicators/airspeed_kts_pilot", a.ias_kt);
  simhost::set_float("sim/cockpit2/gauges/indicators/airspeed_kts_copilot", a.ias_kt);
  simhost::set_float("sim/flightmodel/position/true_airspeed", a.gs_kt / 1.9438445f);
  simhost::set_float("sim/flightmodel/position/groundspeed", a.gs_kt / 1.9438445f);
  simhost::set_float("sim/flightmodel/misc/machno", a.gs_kt / 660.0f);
  simhost::set_float("sim/flightmodel/position/theta", a.pitch);
  simhost::set_float("sim/flightmodel/position/phi", a.roll);
  simhost::set_float("sim/flightmodel/position/psi", a.heading);
  simhost::set_float("sim/flightmodel/position/mag_psi", a.heading - 15.0f);
  simhost::set_float("sim/flightmodel/position/hpath", a.heading);
  simhost::set_float("sim/flightmodel/position/vh_ind_fpm", a.vs_fpm);
  simhost::set_float("sim/cockpit2/gauges/indicators/vvi_fpm_pilot", a.vs_fpm);
  simhost::set_float("sim/cockpit2/gauges/indicators/altitude_ft_pilot", static_cast<float>(a.elevation_m / 0.3048));
  const int g = a.ground ? 1 : 0;
  simhost::set_ints("sim/flightmodel2/gear/on_ground", {g, g, g});
  simhost::set_floats("sim/flightmodel2/gear/deploy_ratio", {a.gear, a.gear, a.gear});
  simhost::set_float("sim/cockpit2/controls/flap_handle_deploy_ratio", a.flaps);
  simhost::set_float("sim/flightmodel2/controls/flap1_deploy_ratio", a.flaps);
  simhost::set_float("sim/flightmodel/controls/flaprat", a.flaps);
  simhost::set_float("sim/cockpit2/temperature/outside_air_temp_degc", 15.0f - static_cast<float>(a.elevation_m) * 0.0065f);
}

float lerp(float a, float b, double t) { return a + static_cast<float>((b - a) * std::clamp(t, 0.0, 1.0)); }

class SoakFlight : public ::testing::TestWithParam<int> {};

TEST_P(SoakFlight, ScriptedFlightStaysFiniteAndQuiet) {
  simhost::Config config;
  config.host_version = GetParam();
  config.root = std::string(CORVANE_SOURCE_DIR) + "/sample/root";
  simhost::reset(config);
  simhost::set_draw_capture(true);
  std::string error;
  ASSERT_TRUE(simhost::load_and_start(CORVANE_MODULE_PATH, &error)) << error;
  const std::vector<soak::CatalogName> watched = [] {
    std::vector<soak::CatalogName> all = soak::host_names(GetParam());
    for (const soak::CatalogName& c : soak::script_names()) all.push_back(c);
    return all;
  }();
  // The host renders the 3D panel, so the map is drawn. The cockpit is set
  // up once the first frames have set the start-up state.
  simhost::set_int("sim/graphics/view/panel_render_type", 2);
  simhost::frames(2, 1.0f / 30);
  // Battery power on the standby bus, display brightness up, both maps in
  // MAP mode at 40 nm.
  simhost::set_floats("sim/cockpit2/electrical/battery_voltage_actual_volts", {24.0f, 24.0f});
  simhost::set_float("zuvadud/D738/electric/battery_pos", 1.0f);
  simhost::set_float("zuvadud/D738/electric/standby_bat_pos", -1.0f);
  simhost::set_floats("sim/cockpit2/switches/instrument_brightness_ratio", {1.0f, 1.0f, 1.0f, 1.0f});
  for (const char* side : {"capt", "fo"}) {
    simhost::set_float(std::string("zuvadud/D738/EFIS_control/") + side + "/map_mode_pos", 2.0f);
    simhost::set_float(std::string("zuvadud/D738/EFIS_control/") + side + "/exp_map", 1.0f);
    simhost::set_float(std::string("zuvadud/D738/EFIS/") + side + "/map_range", 4.0f);
  }
  simhost::set_float(fms("xfirst_time2"), 2.0f);
  hand_over_route(kRoute, kFixes);
  simhost::set_float(fms("vnav_idx"), 3.0f);
  simhost::set_float(fms("vnav_idx_seq"), 3.0f);

  const int total = soak::frames(6000, 400);
  const int check_every = std::max(1, total / 60);
  soak::Findings findings;
  Aircraft a;
  a.lat = kRoute[1].lat;
  a.lon = kRoute[1].lon;
  a.elevation_m = 130.0;
  int leg = 2;          // the fix the aircraft flies to
  Fix from = kRoute[1];  // and the one it comes from
  double along = 0.0;   // fraction of the current leg flown
  int paused_frames = 0, replay_frames = 0;
  long long calls_early = -1, calls_late = -1, calls_mark = 0;
  size_t log_mark = 0;
  bool direct_done = false, load_done = false, restore_done = false;
  int direct_frame = -1;
  float direct_answer = -1.0f;
  int max_lines = 0;
  simhost::Registrations registered;

  for (int f = 0; f < total; ++f) {
    const double p = static_cast<double>(f) / total;
    std::string phase;
    // Odd elapsed times now and then: none, backwards, a long stall.
    float dt = 1.0f / 30;
    if (f % 97 == 13) dt = 0.0f;
    if (f % 89 == 41) dt = -0.05f;
    if (f % 71 == 29) dt = 0.25f;

    const bool paused = p >= 0.30 && p < 0.33;
    const bool replay = p >= 0.36 && p < 0.39;
    simhost::set_int("sim/time/paused", paused ? 1 : 0);
    simhost::set_int("sim/time/is_in_replay", replay ? 1 : 0);
    paused_frames += paused;
    replay_frames += replay;

    if (p < 0.08) {
      phase = "take-off roll";
      a.ground = true;
      a.ias_kt = lerp(0, 160, p / 0.08);
      a.gs_kt = a.ias_kt;
      a.flaps = 0.125f;
      a.gear = 1;
      a.pitch = p > 0.07 ? 8.0f : 0.0f;
    } else if (p < 0.25) {
      phase = "climb";
      const double t = (p - 0.08) / 0.17;
      a.ground = false;
      a.ias_kt = lerp(170, 290, t);
      a.gs_kt = a.ias_kt * 1.2f;
      a.elevation_m = 130.0 + t * 10000.0;
      a.vs_fpm = 2500;
      a.pitch = 12;
      a.gear = lerp(1, 0, t * 8);
      a.flaps = lerp(0.125f, 0, t * 4);
    } else if (p < 0.60) {
      phase = paused ? "cruise, paused" : replay ? "cruise, replay" : "cruise";
      a.elevation_m = 10668.0;
      a.ias_kt = 280;
      a.gs_kt = 470;
      a.vs_fpm = 0;
      a.pitch = 2;
      a.roll = static_cast<float>(25.0 * std::sin(f * 0.05));
    } else {
      phase = "descent and landing";
      const double t = (p - 0.60) / 0.40;
      a.elevation_m = std::max(130.0, 10668.0 * (1.0 - t * 1.1));
      a.ground = a.elevation_m <= 130.0;
      a.ias_kt = a.ground ? lerp(140, 20, (t - 0.9) * 10) : lerp(280, 140, t);
      a.gs_kt = a.ias_kt;
      a.vs_fpm = a.ground ? 0.0f : -2000.0f;
      a.pitch = a.ground ? 0.0f : 2.5f;
      a.roll = 0;
      a.gear = t > 0.7 ? 1.0f : 0.0f;
      a.flaps = t > 0.75 ? 0.75f : 0.0f;
    }

    // Along the route, a little further each unpaused frame; the scripts
    // sequence the active leg and re-raise the change flag when they do.
    if (!direct_done && p >= 0.42) {
      // Direct to the fix after next, from where the aircraft is: the
      // scripts make it the active leg and raise the request with the change.
      direct_done = true;
      direct_frame = f;
      phase += ", direct-to";
      from = Fix{"PPOS", "DF", a.lat, a.lon, 0};
      leg = std::min(leg + 2, kFixes - 2);
      along = 0;
      simhost::set_float(fms("vnav_idx"), static_cast<float>(leg + 1));
      simhost::set_float(fms("vnav_idx_seq"), static_cast<float>(leg + 1));
      simhost::set_float(fms("intdir_act"), 1.0f);
      simhost::set_float(fms("intdir_idx"), static_cast<float>(leg + 1));
      simhost::set_float(fms("intdir_crs"), -1.0f);
      simhost::set_float(fms("legs_change"), 1.0f);
    }
    if (!paused && leg < kFixes) {
      along += 1.0 / (total / static_cast<double>(kFixes - 1) * 0.9);
      if (along >= 1.0 && leg < kFixes - 1) {
        along = 0;
        from = kRoute[leg];
        ++leg;
        simhost::set_float(fms("vnav_idx"), static_cast<float>(leg + 1));
        simhost::set_float(fms("vnav_idx_seq"), static_cast<float>(leg + 1));
        simhost::set_float(fms("legs_change"), 1.0f);
      }
      const Fix& to = kRoute[leg];
      const double t = std::min(along, 1.0);
      a.lat = from.lat + (to.lat - from.lat) * t;
      a.lon = from.lon + (to.lon - from.lon) * t;
      a.heading = static_cast<float>(bearing_rad(from, to) * 180.0 / kPi);
    }
    publish(a);

    if (!load_done && p >= 0.48) {
      load_done = true;
      phase += ", aircraft loaded";
      simhost::send_message(simhost::kHostId, 102, nullptr);
    }
    if (p >= 0.52 && p < 0.53) {
      restore_done = true;
      phase += ", situation restore";
      simhost::set_float("zuvadud/D738/load_save", 4.0f);
    } else {
      simhost::set_float("zuvadud/D738/load_save", 0.0f);
    }

    simhost::frame(dt);
    if (f == direct_frame) direct_answer = simhost::get_float(fms("intdir_act"));
    max_lines = std::max(max_lines, static_cast<int>(simhost::captured_lines().size()));

    // The work of a frame, counted as host and script dataref calls over a
    // ten-frame window early in the cruise and again on the descent.
    const int window = std::max(2, total / 100);
    const int early = static_cast<int>(0.26 * total), late = static_cast<int>(0.85 * total);
    if (f == early || f == late) calls_mark = soak::dataref_calls(watched);
    if (f == early + window) calls_early = soak::dataref_calls(watched) - calls_mark;
    if (f == late + window) calls_late = soak::dataref_calls(watched) - calls_mark;
    if (f == 2) {
      log_mark = simhost::log_lines().size();
      registered = simhost::registrations();
    }
    if (f > 2) {
      // Scenery objects come and go with the ground equipment (seven at
      // most); everything else stays as registered.
      const simhost::Registrations r = simhost::registrations();
      if (r.datarefs != registered.datarefs || r.command_handlers != registered.command_handlers ||
          r.flight_loops != registered.flight_loops || r.draw_callbacks != registered.draw_callbacks ||
          r.probes != 1 || r.objects > 7 || r.instances > 7)
        findings.add("registrations changed", f, phase, {"registrations"});
    }

    if (f % check_every == 0 || f == total - 1) {
      soak::watch(findings, f, phase);
      findings.add("array access past the end", f, phase, simhost::array_overruns());
    }
  }

  EXPECT_EQ(findings.count(), 0) << findings.report();
  EXPECT_GT(paused_frames, 0);
  EXPECT_GT(replay_frames, 0);
  EXPECT_TRUE(direct_done && load_done && restore_done);
  EXPECT_EQ(direct_answer, 2.0f) << "the direct-to in the air was taken in the same frame";
  EXPECT_EQ(leg, kFixes - 1) << "the flight reached the destination";
  EXPECT_EQ(simhost::get_float(fms("legs_change")), 0.0f) << "the last route change was taken in";
  // The route was drawn at some point, and nothing piles up per frame.
  EXPECT_GT(max_lines, 0);
  EXPECT_LT(max_lines, 20000);
  ASSERT_GT(calls_early, 0);
  ASSERT_GT(calls_late, 0);
  EXPECT_LT(calls_late, calls_early * 3 / 2 + 200) << "host calls per frame grew over the flight";
  EXPECT_LE(simhost::log_lines().size() - log_mark, 20u) << "the flight logs as it goes";
  // A flight that lands logs its approach rating's penalty list, once.
  std::vector<std::string> normal = soak::normal_log();
  normal.push_back("VODArevu > Approach rating - penalty list:");
  normal.push_back("none");
  const std::vector<std::string> stray = soak::unexpected_log_lines(normal);
  EXPECT_TRUE(stray.empty()) << (stray.empty() ? "" : stray.front());

  simhost::stop();
  EXPECT_EQ(simhost::registrations().total(), 0);
  simhost::unload();
  EXPECT_TRUE(simhost::leftovers().empty());
  EXPECT_TRUE(simhost::problems().empty()) << simhost::problems().front();
  simhost::reset();
}

INSTANTIATE_TEST_SUITE_P(HostVersions, SoakFlight, ::testing::Values(115000, 120000),
                         [](const ::testing::TestParamInfo<int>& p) {
                           return p.param < 120000 ? std::string("Host11") : std::string("Host12");
                         });

}  // namespace
