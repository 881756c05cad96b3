// corvane-record: one fixed flight of the module in the simulated host, then
// every published dataref's value bit for bit, the lifecycle's outcome and
// the host log. The same program is built for Linux and for Windows; the
// flight's inputs use only exact arithmetic (no math library), and the clock
// and random numbers are pinned, so two records differ only where the two
// modules compute differently.
//
// usage: corvane-record --root DIR --aircraft REL --module PATH [--frames N] [--acf NAME]
//
// Before the recorded flight the module is loaded, flown 60 frames and
// unloaded once, so a reload that keeps state shows as a difference.
#include "host.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Fix {
  const char* id;
  const char* type;   // path terminator of the leg ending at this fix
  double lat, lon;
  float alt_ft;
  float brg_rad, dist_nm;   // from the previous fix, worked out beforehand
};

// Seattle eastbound: runway, a climb to an altitude, a hold, and an arrival.
const Fix kRoute[] = {
    {"KSEA", "IF", 47.4490, -122.3093, 430, 0.0f, 0.0f},
    {"RW16L", "IF", 47.4638, -122.3079, 430, 0.063864f, 0.890415f},
    {"D016B", "CA", 47.4000, -122.3000, 2000, 3.057974f, 3.843996f},
    {"ALPSE", "DF", 47.3500, -122.1000, 8000, 1.923160f, 8.668274f},
    {"PERTT", "TF", 47.3000, -121.8000, 20000, 1.809968f, 12.572971f},
    {"PERTT", "HM", 47.3000, -121.8000, 20000, 0.0f, 0.0f},
    {"CHINS", "TF", 47.1000, -121.4000, 35000, 2.202648f, 20.259716f},
    {"YKM", "TF", 46.8000, -121.0000, 12000, 2.400627f, 24.355851f},
    {"RW27", "TF", 46.5680, -120.5440, 1100, 2.206019f, 23.383669f},
};
constexpr int kFixes = static_cast<int>(sizeof kRoute / sizeof kRoute[0]);

std::string fms(const char* name) { return std::string("zuvadud/D738/fms/") + name; }

void set_text(const std::string& name, std::string text) {
  text.resize(static_cast<size_t>(simhost::array_size(name)), '\0');
  simhost::set_bytes(name, text);
}

void hand_over_route() {
  std::vector<float> lat, lon, brg, dist, alt, spd, hold;
  std::string ids, types;
  for (const Fix& f : kRoute) {
    lat.push_back(static_cast<float>(f.lat));
    lon.push_back(static_cast<float>(f.lon));
    brg.push_back(f.brg_rad);
    dist.push_back(f.dist_nm);
    alt.push_back(f.alt_ft);
    spd.push_back(lat.size() <= 3 ? 180.0f : 280.0f);
    hold.push_back(f.type[0] == 'H' ? 1.0f : 0.0f);
    ids += std::string(f.id) + " ";
    types += f.type;
  }
  simhost::set_floats(fms("legs_lat"), lat);
  simhost::set_floats(fms("legs_lon"), lon);
  for (const char* n : {"legs_brg_true", "legs_brg_fin_true", "legs_brg_mag"}) simhost::set_floats(fms(n), brg);
  simhost::set_floats(fms("legs_dist"), dist);
  simhost::set_floats(fms("legs_alt_rest1"), alt);
  simhost::set_floats(fms("legs_alt_calc"), alt);
  simhost::set_floats(fms("legs_spd"), spd);
  simhost::set_floats(fms("legs_hold_time"), hold);
  set_text(fms("legs"), ids);
  set_text(fms("legs_pth"), types);
  set_text(fms("legs_pth_before"), types);
  simhost::set_float("zuvadud/D738/vnav/legs_num", static_cast<float>(kFixes - 1));
  simhost::set_float(fms("legs_change"), 1.0f);
}

double ramp(double a, double b, double t) { return a + (b - a) * std::clamp(t, 0.0, 1.0); }

// The host's flight state at fraction `p` of the flight, position along the route.
void fly(double p, double lat, double lon, float heading_deg) {
  bool ground = p < 0.08 || p > 0.97;
  double ias = 0, elevation = 130, vs = 0, pitch = 0, gear = 1, flaps = 0;
  if (p < 0.08) {
    ias = ramp(0, 160, p / 0.08);
    flaps = 0.125;
    pitch = p > 0.07 ? 8 : 0;
  } else if (p < 0.25) {
    const double t = (p - 0.08) / 0.17;
    ias = ramp(170, 290, t);
    elevation = 130 + t * 10000;
    vs = 2500;
    pitch = 12;
    gear = ramp(1, 0, t * 8);
    flaps = ramp(0.125, 0, t * 4);
  } else if (p < 0.60) {
    ias = 280;
    elevation = 10130;
    pitch = 2;
  } else {
    const double t = (p - 0.60) / 0.40;
    elevation = std::max(130.0, 10130 - t * 10400);
    ias = ground ? ramp(140, 20, (p - 0.97) / 0.03) : ramp(280, 140, t);
    vs = ground ? 0 : -2000;
    pitch = ground ? 0 : 2.5;
    gear = t > 0.7 ? 1 : 0;
    flaps = t > 0.75 ? 0.75 : 0;
  }
  const float gs = static_cast<float>(ias * (p < 0.60 && p >= 0.08 ? 1.2 : 1.0));
  simhost::set_double("sim/flightmodel/position/latitude", lat);
  simhost::set_double("sim/flightmodel/position/longitude", lon);
  simhost::set_double("sim/flightmodel/position/elevation", elevation);
  simhost::set_float("sim/flightmodel/position/y_agl", ground ? 2.0f : static_cast<float>(elevation - 130));
  for (const char* n : {"sim/flightmodel/position/indicated_airspeed", "sim/cockpit2/gauges/indicators/airspeed_kts_pilot",
                        "sim/cockpit2/gauges/indicators/airspeed_kts_copilot"})
    simhost::set_float(n, static_cast<float>(ias));
  simhost::set_float("sim/flightmodel/position/true_airspeed", gs / 1.9438445f);
  simhost::set_float("sim/flightmodel/position/groundspeed", gs / 1.9438445f);
  simhost::set_float("sim/flightmodel/misc/machno", gs / 660.0f);
  simhost::set_float("sim/flightmodel/position/theta", static_cast<float>(pitch));
  simhost::set_float("sim/flightmodel/position/psi", heading_deg);
  simhost::set_float("sim/flightmodel/position/mag_psi", heading_deg - 15.0f);
  simhost::set_float("sim/flightmodel/position/hpath", heading_deg);
  simhost::set_float("sim/flightmodel/position/vh_ind_fpm", static_cast<float>(vs));
  simhost::set_float("sim/cockpit2/gauges/indicators/vvi_fpm_pilot", static_cast<float>(vs));
  simhost::set_float("sim/cockpit2/gauges/indicators/altitude_ft_pilot", static_cast<float>(elevation / 0.3048));
  const int g = ground ? 1 : 0;
  simhost::set_ints("sim/flightmodel2/gear/on_ground", {g, g, g});
  const float gr = static_cast<float>(gear);
  simhost::set_floats("sim/flightmodel2/gear/deploy_ratio", {gr, gr, gr});
  for (const char* n : {"sim/cockpit2/controls/flap_handle_deploy_ratio", "sim/flightmodel2/controls/flap1_deploy_ratio",
                        "sim/flightmodel/controls/flaprat"})
    simhost::set_float(n, static_cast<float>(flaps));
  simhost::set_float("sim/cockpit2/temperature/outside_air_temp_degc", 15.0f - static_cast<float>(elevation) * 0.0065f);
}

void cockpit_power_up() {
  simhost::set_int("sim/graphics/view/panel_render_type", 2);
  simhost::set_floats("sim/cockpit2/electrical/battery_voltage_actual_volts", {24.0f, 24.0f});
  simhost::set_float("zuvadud/D738/electric/battery_pos", 1.0f);
  simhost::set_float("zuvadud/D738/electric/standby_bat_pos", -1.0f);
  simhost::set_floats("sim/cockpit2/switches/instrument_brightness_ratio", {1.0f, 1.0f, 1.0f, 1.0f});
  for (const char* side : {"capt", "fo"}) {
    simhost::set_float(std::string("zuvadud/D738/EFIS_control/") + side + "/map_mode_pos", 2.0f);
    simhost::set_float(std::string("zuvadud/D738/EFIS/") + side + "/map_range", 4.0f);
  }
  simhost::set_float(fms("xfirst_time2"), 2.0f);
  hand_over_route();
  simhost::set_float(fms("vnav_idx"), 3.0f);
  simhost::set_float(fms("vnav_idx_seq"), 3.0f);
}

// The navigation display's line stream of the last draw pass, in panel pixels.
void write_lines(long frame) {
  const std::vector<simhost::Line>& lines = simhost::captured_lines();
  std::printf("lines-at %ld %zu\n", frame, lines.size());
  for (const simhost::Line& l : lines)
    std::printf("line %.9g %.9g %.9g %.9g %.9g %.9g %.9g %.9g\n", l.x0, l.y0, l.x1, l.y1, l.r, l.g, l.b, l.a);
}

void hex_bytes(std::string* out, const std::string& bytes) {
  char b[4];
  for (unsigned char c : bytes) {
    std::snprintf(b, sizeof b, "%02x", c);
    *out += b;
  }
}

std::string float_bits(float v) {
  uint32_t u;
  std::memcpy(&u, &v, sizeof u);
  char b[16];
  std::snprintf(b, sizeof b, "%08" PRIx32, u);
  return b;
}

// "value NAME TYPE V[,V...]": floats and doubles as their bit patterns in hex,
// integers in decimal, byte data as hex of every byte.
void write_values(std::FILE* out) {
  for (const simhost::DatarefInfo& d : simhost::plugin_datarefs()) {
    std::string v;
    if (d.type & 32) {
      hex_bytes(&v, simhost::get_bytes(d.name));
    } else if (d.type & 8) {
      for (float f : simhost::get_floats(d.name)) v += (v.empty() ? "" : ",") + float_bits(f);
    } else if (d.type & 16) {
      for (int i : simhost::get_ints(d.name)) v += (v.empty() ? "" : ",") + std::to_string(i);
    } else if (d.type & 4) {
      const double x = simhost::get_double(d.name);
      uint64_t u;
      std::memcpy(&u, &x, sizeof u);
      char b[24];
      std::snprintf(b, sizeof b, "%016" PRIx64, u);
      v = b;
    } else if (d.type & 2) {
      v = float_bits(simhost::get_float(d.name));
    } else {
      v = std::to_string(simhost::get_int(d.name));
    }
    std::fprintf(out, "value %s %d %s\n", d.name.c_str(), d.type, v.c_str());
  }
}

}  // namespace

int main(int argc, char** argv) {
  simhost::Config config;
  std::string module;
  long frames = 6000;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string a = argv[i];
    if (a == "--root") config.root = argv[i + 1];
    else if (a == "--aircraft") config.aircraft = argv[i + 1];
    else if (a == "--acf") config.acf = argv[i + 1];
    else if (a == "--module") module = argv[i + 1];
    else if (a == "--frames") frames = std::strtol(argv[i + 1], nullptr, 10);
    else return std::fprintf(stderr, "corvane-record: unknown option %s\n", a.c_str()), 2;
  }
  if (config.root.empty() || module.empty() || frames < 100)
    return std::fprintf(stderr, "usage: corvane-record --root DIR --aircraft REL --module PATH [--frames N>=100]\n"), 2;

  simhost::reset(config);
  simhost::set_draw_capture(true);
  simhost::pin_time(1700000000);
  // A draw of 3125 gives the same fraction whether the runtime's rand() spans
  // 15 bits (two draws combined) or 31.
  simhost::pin_rand([] { return 3125; });
  std::string error;
  // A first load, flown briefly and unloaded, as a host's plug-in reload does:
  // the module loaded again must start from zeroed globals, or the flight
  // below would differ from the build whose unload really unloads.
  if (!simhost::load_and_start(module, &error)) return std::fprintf(stderr, "corvane-record: %s\n", error.c_str()), 1;
  simhost::send_message(simhost::kHostId, 102, nullptr);
  simhost::frames(60, 1.0f / 30);
  simhost::unload();
  for (const std::string& l : simhost::leftovers()) std::printf("leftover %s\n", l.c_str());
  if (!simhost::load_module(module, &error)) return std::fprintf(stderr, "corvane-record: %s\n", error.c_str()), 1;
  const int started = simhost::start();
  const int enabled = simhost::enable();
  std::printf("identity %s|%s|%s start %d enable %d\n", simhost::identity().name.c_str(),
              simhost::identity().signature.c_str(), simhost::identity().description.c_str(), started, enabled);
  simhost::send_message(simhost::kHostId, 102, nullptr);   // the user's aircraft loaded
  simhost::frames(2, 1.0f / 30);
  cockpit_power_up();

  int leg = 2;
  const Fix* from = &kRoute[1];
  double along = 0, lat = kRoute[1].lat, lon = kRoute[1].lon;
  float heading = 175.0f;
  for (long f = 0; f < frames; ++f) {
    const double p = static_cast<double>(f) / static_cast<double>(frames);
    const bool paused = p >= 0.30 && p < 0.33;
    simhost::set_int("sim/time/paused", paused ? 1 : 0);
    simhost::set_int("sim/time/is_in_replay", p >= 0.36 && p < 0.39 ? 1 : 0);
    if (!paused) {
      along += 1.0 / (static_cast<double>(frames) / (kFixes - 1) * 0.9);
      if (along >= 1.0 && leg < kFixes - 1) {
        along = 0;
        from = &kRoute[leg];
        ++leg;
        simhost::set_float(fms("vnav_idx"), static_cast<float>(leg + 1));
        simhost::set_float(fms("vnav_idx_seq"), static_cast<float>(leg + 1));
        simhost::set_float(fms("legs_change"), 1.0f);
      }
      const Fix& to = kRoute[leg];
      const double t = std::min(along, 1.0);
      lat = from->lat + (to.lat - from->lat) * t;
      lon = from->lon + (to.lon - from->lon) * t;
      if (to.dist_nm > 0) heading = to.brg_rad * 57.29578f;
    }
    fly(p, lat, lon, heading);
    if (f == frames / 2) simhost::send_message(simhost::kHostId, 102, nullptr);
    simhost::set_float("zuvadud/D738/load_save", f == frames * 52 / 100 ? 4.0f : 0.0f);
    // A situation saved through the host, the saved plans listed, and the
    // situation loaded back: the paths the module hands the host.
    if (f == frames * 40 / 100) simhost::set_int("corvane/Debug", 903);
    if (f == frames * 41 / 100) simhost::set_float("zuvadud/D738/corvane/filename_list_cmd", 1.0f);
    if (f == frames * 45 / 100) simhost::set_int("corvane/Debug", 803);
    // Odd elapsed times now and then: none, backwards, a long stall.
    float dt = 1.0f / 30;
    if (f % 97 == 13) dt = 0.0f;
    if (f % 89 == 41) dt = -0.05f;
    if (f % 71 == 29) dt = 0.25f;
    simhost::frame(dt);
    // The map while it is drawn: on the runway, climbing with the gear
    // coming up, and in the cruise. After the situation load (and again after
    // the second aircraft-loaded message) it is no longer drawn with the
    // cockpit set once before the flight.
    if (f == frames * 5 / 100 || f == frames * 20 / 100 || f == frames * 38 / 100) write_lines(f);
  }

  std::printf("frames %d draw-passes %d\n", simhost::frame_count(),
              simhost::draw_callbacks().empty() ? 0 : simhost::draw_callbacks().front().calls);
  std::printf("gl-calls %d\n", simhost::gl_calls());
  // The module's srand() calls reached the host's clock seam, with the pinned time.
  const std::vector<unsigned>& seeds = simhost::srand_seeds();
  std::printf("seeds %zu first %u last %u\n", seeds.size(), seeds.empty() ? 0u : seeds.front(),
              seeds.empty() ? 0u : seeds.back());
  write_values(stdout);
  for (const simhost::DataFileCall& c : simhost::data_file_calls())
    std::printf("data-file %s %d %s -> %d\n", c.save ? "save" : "load", c.type, c.path.c_str(), c.result);
  simhost::stop();
  std::printf("after-stop registered %d\n", simhost::registrations().total());
  simhost::unload();
  for (const std::string& l : simhost::leftovers()) std::printf("leftover %s\n", l.c_str());
  for (const std::string& p : simhost::problems()) std::printf("problem %s\n", p.c_str());
  for (const std::string& l : simhost::log_lines()) std::printf("log %s\n", l.c_str());
  std::fflush(stdout);
  return 0;
}
