// Outside dataref binding and per-frame mirrors, against the simulated host:
// look-up tables and their order, the polls by host generation, conversions,
// the elevator-trim follow rule, traffic targets, failure tables, and reads of
// arrays and texts that the host serves shorter or unterminated, and array
// elements outside a mirror read as absent and not written.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/binding.h"
#include "core/failure_tables.h"
#include "core/frame_values.h"
#include "core/host_io.h"
#include "core/pitch_trim.h"
#include "host.h"

namespace {

struct Row {
  const char* name;
  const char* table;
  const char* polled;
};

const Row kRows[] = {
#define BOUND(ident, name, table, access, count, polled, conversion) {name, #table, #polled},
#include "core/bound_names.inc"
#undef BOUND
};

// Host names that no host version has: looked up all the same, their slots
// stay null.
bool absent_from_every_host(const std::string& name) {
  return name == "sim/flightmodel2/cg_offset_z" || name == "sim/weather/altimeter_temperature_error";
}

void bind_all() {
  bind_outside_datarefs();
  bind_host_datarefs();
  bind_librain_datarefs();
  bind_terrain_radar_datarefs();
  bind_addon_datarefs();
  bind_script_datarefs();
}

void clear_plugin_state() {
  for (XPLMDataRef& h : bound_handles) h = nullptr;
  host_mirror = HostMirror{};
  script_mirror = ScriptMirror{};
  failure_tables = FailureTables{};
  tcas_targets_present = 0;
  trim_wheel_target = trim_wheel_hold = 0.0f;
}

class Binding : public ::testing::Test {
 protected:
  void start(simhost::Config config = simhost::Config()) {
    simhost::reset(config);
    clear_plugin_state();
    host_version = config.host_version;
    bind_all();
  }
  void SetUp() override { start(); }
  void poll() {
    poll_host_datarefs();
    poll_script_datarefs();
  }
};

TEST(BindingTables, SizesAndNamespacesOfTheTables) {
  std::map<std::string, int> per_table;
  std::map<std::string, int> host_ns;
  for (const Row& r : kRows) {
    ++per_table[r.table];
    if (std::string(r.table) == "host") {
      std::string n = r.name;
      ++host_ns[n.substr(0, n.rfind('/') + 1)];
    }
  }
  EXPECT_EQ(per_table["mirrored_script"], 205);
  EXPECT_EQ(per_table["host"], 629);
  EXPECT_EQ(per_table["rain"], 98);
  EXPECT_EQ(per_table["terrain_radar"], 13);
  EXPECT_EQ(per_table["addon"], 24);
  EXPECT_EQ(per_table["direct_script"], 482);
  const std::pair<const char*, int> ns[] = {
      {"sim/multiplayer/position/", 76}, {"sim/operation/failures/", 75}, {"sim/cockpit2/radios/indicators/", 43},
      {"sim/cockpit2/radios/actuators/", 41}, {"sim/cockpit2/gauges/indicators/", 28},
      {"sim/cockpit2/autopilot/", 25}, {"sim/flightmodel/position/", 25}, {"sim/weather/", 14},
      {"sim/weather/aircraft/", 6}, {"sim/weather/region/", 4}, {"zuvadud/D738/autopilot/", 1}};
  for (const auto& [prefix, n] : ns) EXPECT_EQ(host_ns[prefix], n) << prefix;
  EXPECT_STREQ(bound_name(bound::quenby_fo__show), "quenby/fo/_show");
  EXPECT_STREQ(bound_name(static_cast<bound::Id>(-1)), "");
  EXPECT_STREQ(bound_name(bound::COUNT), "");
}

TEST(BindingOrder, EveryNameLookedUpOnceInTableOrder) {
  // With nothing defined every look-up misses, so the host's miss list is
  // the complete look-up sequence.
  const std::string empty = ::testing::TempDir() + "binding_empty_catalog";
  std::filesystem::create_directories(empty);
  simhost::Config config;
  config.catalog_dir = empty;
  config.scripts = false;
  simhost::reset(config);
  // The host read its catalogs at the reset: the folder is not left behind.
  std::filesystem::remove_all(empty);
  clear_plugin_state();
  bind_all();
  const std::vector<std::string> seen = simhost::missing_lookups();
  ASSERT_EQ(seen.size(), std::size(kRows));
  for (size_t i = 0; i < seen.size(); ++i) {
    ASSERT_EQ(seen[i], kRows[i].name) << "position " << i;
    ASSERT_EQ(simhost::counts(kRows[i].name).lookups, 1) << kRows[i].name;
  }
  for (XPLMDataRef h : bound_handles) EXPECT_EQ(h, nullptr);
}

// The look-up sequence against the shared data table of the names the
// plug-in must look up (not against the plug-in's own table): the tables in
// their order with their sizes; inside the terrain-radar and add-on tables
// the names in order, inside the others the same set of names.
TEST(BindingOrder, LookUpsMatchTheSharedNameTable) {
  // The shared tables lie where the build was told (beside the repository
  // by default); CI requires them.
  const char* dir = std::getenv("CORVANE_SHARED_DATA");
  const std::string path = std::string(dir != nullptr ? dir : CORVANE_HOST_LISTS_DIR) + "/bound_datarefs.tsv";
  std::ifstream in(path);
  if (!in) {
    if (CORVANE_HOST_LISTS_REQUIRED) FAIL() << "no " << path;
    GTEST_SKIP() << "no " << path;
  }
  std::vector<std::pair<std::string, std::string>> want;  // table, name
  std::string line;
  std::getline(in, line);  // header
  while (std::getline(in, line)) {
    const size_t t1 = line.find('\t');
    const size_t t2 = line.find('\t', t1 + 1);
    const size_t t3 = line.find('\t', t2 + 1);
    if (t3 == std::string::npos) continue;
    std::string name = line.substr(t2 + 1, t3 - t2 - 1);
    // The newer host has no such wind name; the speed at the aircraft is
    // read from the one it does have.
    if (name == "sim/weather/aircraft/wind_speed_msc") name = "sim/weather/aircraft/wind_now_speed_msc";
    want.emplace_back(line.substr(0, t1), name);
  }
  ASSERT_EQ(want.size(), static_cast<size_t>(bound::COUNT)) << path << " against the generated binding table";

  const std::string empty = ::testing::TempDir() + "binding_empty_catalog";
  std::filesystem::create_directories(empty);
  simhost::Config config;
  config.catalog_dir = empty;
  config.scripts = false;
  simhost::reset(config);
  // The host read its catalogs at the reset: the folder is not left behind.
  std::filesystem::remove_all(empty);
  clear_plugin_state();
  bind_all();
  const std::vector<std::string> seen = simhost::missing_lookups();
  ASSERT_EQ(seen.size(), want.size());
  size_t begin = 0;
  while (begin < want.size()) {
    const std::string table = want[begin].first;
    size_t end = begin;
    std::multiset<std::string> expected, got;
    while (end < want.size() && want[end].first == table) {
      expected.insert(want[end].second);
      got.insert(seen[end]);
      if (table == "terrain_radar" || table == "addon") {
        EXPECT_EQ(seen[end], want[end].second) << table << " " << end;
      }
      ++end;
    }
    EXPECT_EQ(got, expected) << table;
    begin = end;
  }
  simhost::reset();
}

TEST_F(Binding, PresentNamesBoundAbsentAddOnsNull) {
  for (int i = 0; i < bound::COUNT; ++i) {
    const std::string table = kRows[i].table;
    const std::string name = kRows[i].name;
    const bool self_published = name == "zuvadud/D738/73x" || name == "zuvadud/D738/autopilot/lock_throttle";
    const bool script_flag = table == "addon" && name.rfind("zuvadud/", 0) == 0;
    const bool expect_bound =
        (table == "host" || table == "mirrored_script" || table == "direct_script" || script_flag) &&
        !self_published && !absent_from_every_host(name);
    EXPECT_EQ(bound_handles[i] != nullptr, expect_bound) << name;
  }
}

TEST_F(Binding, FirstOfficerAddOnFoundOnlyByTheRelookup) {
  EXPECT_EQ(handle(bound::quenby_fo__show), nullptr);
  simhost::define_dataref({"quenby/fo/_show", 1, 1, false, ""});
  EXPECT_EQ(handle(bound::quenby_fo__show), nullptr);  // not until looked up again
  EXPECT_EQ(rebind_fo_show(), 1);
  EXPECT_NE(handle(bound::quenby_fo__show), nullptr);
  EXPECT_EQ(simhost::counts("quenby/fo/_show").lookups, 2);
  simhost::remove_dataref("quenby/fo/_show");
  EXPECT_EQ(rebind_fo_show(), 0);
  EXPECT_EQ(handle(bound::quenby_fo__show), nullptr);
}

// Reads per host type flag after one host poll, split by host generation.
TEST_F(Binding, ReadsPerCallTypeByHostGeneration) {
  struct Case {
    int version;
    int ints, floats, doubles, float_arrays, int_arrays, bytes;
  };
  // The lists: 214 int, 198 float (trim included, the two names no host has
  // left out), 64 double, 57 float arrays (traffic included), 23 int arrays,
  // 4 texts; plus the generation's weather names: older hosts 11 float and 1
  // int, newer hosts 10 float and 1 float array. Older hosts lack five names
  // read on every host: one int, two floats, a double and an int array.
  const Case cases[] = {{115000, 214, 207, 63, 57, 22, 4}, {120000, 214, 208, 64, 58, 23, 4}};
  for (const Case& c : cases) {
    simhost::Config config;
    config.host_version = c.version;
    start(config);
    simhost::set_float("zuvadud/D738/autopilot/servo_override", 1.0f);
    poll_script_datarefs();  // the trim rule looks at last frame's script values
    poll_host_datarefs();
    std::map<int, int> per_type;
    for (const Row& r : kRows) {
      if (std::string(r.table) != "host") continue;
      const int reads = simhost::counts(r.name).reads;
      ASSERT_LE(reads, 1) << r.name;
      simhost::DatarefInfo info;
      if (!simhost::dataref_info(r.name, &info)) {
        EXPECT_EQ(reads, 0) << r.name;  // this host version lacks the name
        continue;
      }
      const int t = info.type;
      if (reads == 1) ++per_type[(t & 56) ? (t & 56) : (t & 2) ? 2 : t];
    }
    EXPECT_EQ(per_type[1], c.ints) << c.version;
    EXPECT_EQ(per_type[2], c.floats) << c.version;
    EXPECT_EQ(per_type[4], c.doubles) << c.version;
    EXPECT_EQ(per_type[8], c.float_arrays) << c.version;
    EXPECT_EQ(per_type[16], c.int_arrays) << c.version;
    EXPECT_EQ(per_type[32], c.bytes) << c.version;
  }
}

TEST_F(Binding, ScriptPollReadsItsFloatsAndArraysOnce) {
  poll_script_datarefs();
  int scalars = 0, arrays = 0;
  for (const Row& r : kRows) {
    if (std::string(r.table) == "host") continue;
    const int reads = simhost::counts(r.name).reads;
    EXPECT_EQ(reads, std::string(r.polled) == "always" ? 1 : 0) << r.name;
    simhost::DatarefInfo info;
    if (reads == 1 && simhost::dataref_info(r.name, &info)) ++((info.type & 8) ? arrays : scalars);
  }
  EXPECT_EQ(scalars, 229);
  EXPECT_EQ(arrays, 9);
}

TEST_F(Binding, WeatherByHostGeneration) {
  struct Case {
    int version;
    float pressure_in, wind_in;
    float baro_expect, wind_expect;
  };
  const Case cases[] = {
      {120000, 101325.0f, 10.0f, 29.921255f, 10.0f},  // pascal converted, m/s as the older name reads
      {115000, 29.92f, 12.5f, 29.92f, 12.5f},                // stored as read
  };
  for (const Case& c : cases) {
    simhost::Config config;
    config.host_version = c.version;
    start(config);
    const bool newer = c.version >= 120000;
    simhost::set_float(newer ? "sim/weather/region/sealevel_pressure_pas" : "sim/weather/barometer_sealevel_inhg",
                       c.pressure_in);
    simhost::set_float(newer ? "sim/weather/aircraft/barometer_current_pas" : "sim/weather/barometer_current_inhg",
                       c.pressure_in);
    simhost::set_float(newer ? "sim/weather/aircraft/wind_now_speed_msc" : "sim/weather/wind_speed_kt", c.wind_in);
    // Friction is a float on both hosts; the newer dew point is per layer,
    // the lowest first.
    simhost::set_float(newer ? "sim/weather/region/runway_friction" : "sim/weather/runway_friction", 2.5f);
    if (newer) {
      simhost::set_floats("sim/weather/region/dewpoint_deg_c", {12.5f, 3.0f, -20.0f});
    } else {
      simhost::set_float("sim/weather/dewpoi_sealevel_c", 12.5f);
    }
    simhost::set_int("sim/operation/failures/rel_antice", 6);
    simhost::set_float(newer ? "sim/cockpit2/controls/flap_handle_request_ratio" : "sim/cockpit2/controls/flap_ratio",
                       0.625f);
    poll();
    EXPECT_FLOAT_EQ(host_mirror.sim_weather_barometer_sealevel_inhg, c.baro_expect) << c.version;
    EXPECT_FLOAT_EQ(host_mirror.sim_weather_barometer_current_inhg, c.baro_expect) << c.version;
    EXPECT_FLOAT_EQ(host_mirror.sim_weather_wind_speed_kt, c.wind_expect) << c.version;
    EXPECT_EQ(host_mirror.sim_weather_runway_friction, 2.5f) << c.version;
    EXPECT_EQ(host_mirror.sim_weather_dewpoi_sealevel_c, 12.5f) << c.version;
    EXPECT_EQ(host_mirror.sim_cockpit2_controls_flap_ratio, 0.625f);
    // The anti-ice failure has no newer partner: it keeps its last value.
    EXPECT_EQ(host_mirror.sim_operation_failures_rel_antice, newer ? 0 : 6);
    for (const Row& r : kRows) {
      const std::string p = r.polled;
      if (p == "host11") {
        EXPECT_EQ(simhost::counts(r.name).reads, newer ? 0 : 1) << r.name;
      }
      if (p == "host12") {
        EXPECT_EQ(simhost::counts(r.name).reads, newer ? 1 : 0) << r.name;
      }
    }
  }
}

TEST_F(Binding, IntsKeptAsFloatsAndFloatsTruncated) {
  simhost::set_int("sim/cockpit2/radios/actuators/adf1_frequency_hz", 1735);
  simhost::set_int("sim/operation/override/override_gps", 1);
  struct Case {
    float host;
    int32_t expect;
  };
  const Case cases[] = {{2.9f, 2},
                        {-2.9f, -2},
                        {std::numeric_limits<float>::quiet_NaN(), 0},
                        {1e20f, std::numeric_limits<int32_t>::max()},
                        {-1e20f, std::numeric_limits<int32_t>::min()}};
  for (const Case& c : cases) {
    simhost::set_float("sim/aircraft/controls/acf_elev_trim_time", c.host);
    poll();
    EXPECT_EQ(host_mirror.sim_aircraft_controls_acf_elev_trim_time, c.expect) << c.host;
    EXPECT_EQ(mirror_i(bound::sim_aircraft_controls_acf_elev_trim_time), c.expect) << c.host;
  }
  EXPECT_EQ(host_mirror.sim_cockpit2_radios_actuators_adf1_frequency_hz, 1735.0f);
  EXPECT_EQ(host_mirror.sim_operation_override_override_gps, 1.0f);
}

TEST_F(Binding, ElevatorTrimFollowsOnlyUnderItsRule) {
  struct Case {
    float servo_override, trim_control, ap_on;
    bool follows;
  };
  const Case cases[] = {
      {0, 1, 1, false},  // trim control with the autopilot engaged: held
      {1, 0, 1, true},   // servo override: always follows
      {1, 1, 0, true},   {0, 1, 0, true},  // trim control, autopilot off
      {0, 0, 0, false},  {0, 0, 1, false},
  };
  for (const Case& c : cases) {
    start();
    simhost::set_float("zuvadud/D738/autopilot/servo_override", c.servo_override);
    simhost::set_float("zuvadud/D738/cfy_trim_control", c.trim_control);
    simhost::set_float("zuvadud/autopilot/ap_on", c.ap_on);
    host_mirror.sim_cockpit2_controls_elevator_trim = 0.1f;
    trim_wheel_target = trim_wheel_hold = 0.1f;
    simhost::set_float("sim/cockpit2/controls/elevator_trim", -0.4f);
    poll();  // the script values land now; the rule sees them next frame
    poll();
    const float expect = c.follows ? -0.4f : 0.1f;
    EXPECT_EQ(host_mirror.sim_cockpit2_controls_elevator_trim, expect) << c.servo_override << c.trim_control << c.ap_on;
    EXPECT_EQ(trim_wheel_target, expect);
    EXPECT_EQ(trim_wheel_hold, expect);
    EXPECT_EQ(simhost::counts("sim/cockpit2/controls/elevator_trim").reads, c.follows ? 1 : 0);
  }
}

TEST_F(Binding, UnchangedTrimLeavesTheTrimStateAlone) {
  simhost::set_float("zuvadud/D738/autopilot/servo_override", 1.0f);
  poll();
  simhost::set_float("sim/cockpit2/controls/elevator_trim", 0.25f);
  host_mirror.sim_cockpit2_controls_elevator_trim = 0.25f;  // a trim command stored it this frame
  trim_wheel_target = 0.3f;
  trim_wheel_hold = 0.35f;
  poll();
  EXPECT_EQ(trim_wheel_target, 0.3f);
  EXPECT_EQ(trim_wheel_hold, 0.35f);
}

TEST_F(Binding, TrafficTargetsFromTheHostArraysWhenPresent) {
  std::vector<float> lat(64);
  for (int i = 0; i < 64; ++i) lat[i] = 40.0f + i * 0.01f;
  simhost::set_floats("sim/cockpit2/tcas/targets/position/lat", lat);
  poll();
  EXPECT_EQ(tcas_targets_present, 1);
  EXPECT_EQ(host_mirror.sim_cockpit2_tcas_targets_position_lat[63], lat[63]);

  simhost::Config config;
  config.omit = {"sim/cockpit2/tcas/targets/position/lat"};
  start(config);
  poll();
  EXPECT_EQ(tcas_targets_present, 0);
  for (const char* n : {"sim/cockpit2/tcas/targets/position/lon", "sim/cockpit2/tcas/targets/position/ele",
                        "sim/cockpit2/tcas/targets/position/vz"})
    EXPECT_EQ(simhost::counts(n).reads, 0) << n;
}

TEST_F(Binding, FailureArraysFillEntriesZeroToSixtyNine) {
  const char* names[] = {"zuvadud/D738/failure/electric", "zuvadud/D738/failure/hydraulic",
                         "zuvadud/D738/failure/system", "zuvadud/D738/failure/pressurisation",
                         "zuvadud/D738/failure/engine"};
  float* tables[] = {failure_tables.electric, failure_tables.hydraulic, failure_tables.system,
                     failure_tables.pressurisation, failure_tables.engine};
  for (int t = 0; t < 5; ++t) {
    tables[t][70] = 7.0f;
    tables[t][71] = 8.0f;
    std::vector<float> v(70);
    for (int i = 0; i < 70; ++i) v[i] = static_cast<float>((i + t) % 3);
    simhost::set_floats(names[t], v);
  }
  for (int frame = 0; frame < 2; ++frame) {
    poll();
    for (int t = 0; t < 5; ++t) {
      for (int i = 0; i < 70; ++i) ASSERT_EQ(tables[t][i], static_cast<float>((i + t) % 3)) << names[t] << i;
      EXPECT_EQ(tables[t][70], 7.0f);
      EXPECT_EQ(tables[t][71], 8.0f);
      tables[t][5] = 1.0f;  // overwritten again by the next frame's copy
    }
  }
}

TEST_F(Binding, PollsRunWhilePausedAndInReplay) {
  simhost::set_int("sim/time/paused", 1);
  simhost::set_int("sim/time/is_in_replay", 1);
  simhost::set_float("sim/cockpit2/gauges/indicators/airspeed_kts_pilot", 142.0f);
  poll();
  EXPECT_EQ(sim_paused, 1);
  EXPECT_EQ(sim_in_replay, 1);
  EXPECT_EQ(host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_pilot, 142.0f);
}

TEST_F(Binding, ValuesThatAreNotNumbersEnterTheMirrorsAsZero) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  simhost::set_float("sim/cockpit2/gauges/indicators/airspeed_kts_pilot", nan);
  simhost::set_floats("sim/cockpit2/tcas/targets/position/lat", std::vector<float>(64, inf));
  std::vector<float> failures(70, 1.0f);
  failures[3] = nan;
  simhost::set_floats("zuvadud/D738/failure/electric", failures);
  poll();
  EXPECT_EQ(host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_pilot, 0.0f);
  EXPECT_EQ(host_mirror.sim_cockpit2_tcas_targets_position_lat[10], 0.0f);
  EXPECT_EQ(failure_tables.electric[3], 0.0f);
  EXPECT_EQ(failure_tables.electric[4], 1.0f);
}

// Positions off the globe keep the last good position; speeds beyond any
// aircraft's reach read 0; ordinary extremes pass untouched.
TEST_F(Binding, ImpossiblePositionsAndSpeedsAreAbsent) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    double lat, lon, elev_m;
    float gs_mps, ias_kt;
    double want_lat, want_lon, want_elev_m;
    float want_gs, want_ias;
  };
  const Case cases[] = {
      {47.5, -122.3, 100.0, 120.0f, 250.0f, 47.5, -122.3, 100.0, 120.0f, 250.0f},
      {1e30, -1e30, 1e30, 1e30f, -1e30f, 47.5, -122.3, 100.0, 0.0f, 0.0f},
      {90.0, -180.0, -400.0, -5.0f, 0.0f, 90.0, -180.0, -400.0, -5.0f, 0.0f},  // the edges themselves
      {90.0001, 180.5, 2e5, 3001.0f, 6000.0f, 90.0, -180.0, -400.0, 0.0f, 0.0f},
      {nan, nan, nan, 2999.0f, 5800.0f, 90.0, -180.0, -400.0, 2999.0f, 5800.0f},
      {-89.0, 179.9, 12000.0, 250.0f, 300.0f, -89.0, 179.9, 12000.0, 250.0f, 300.0f},
  };
  for (const Case& c : cases) {
    simhost::set_double("sim/flightmodel/position/latitude", c.lat);
    simhost::set_double("sim/flightmodel/position/longitude", c.lon);
    simhost::set_double("sim/flightmodel/position/elevation", c.elev_m);
    simhost::set_float("sim/flightmodel/position/groundspeed", c.gs_mps);
    simhost::set_float("sim/flightmodel/position/true_airspeed", c.gs_mps);
    simhost::set_float("sim/cockpit2/gauges/indicators/airspeed_kts_pilot", c.ias_kt);
    poll();
    EXPECT_EQ(host_mirror.sim_flightmodel_position_latitude, c.want_lat) << c.lat;
    EXPECT_EQ(host_mirror.sim_flightmodel_position_longitude, c.want_lon) << c.lon;
    EXPECT_EQ(host_mirror.sim_flightmodel_position_elevation, c.want_elev_m) << c.elev_m;
    EXPECT_EQ(host_mirror.sim_flightmodel_position_groundspeed, c.want_gs) << c.gs_mps;
    EXPECT_EQ(host_mirror.sim_flightmodel_position_true_airspeed, c.want_gs) << c.gs_mps;
    EXPECT_EQ(host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_pilot, c.want_ias) << c.ias_kt;
  }
}

// Altitudes no aircraft meets keep the last good value; impossible
// temperatures and Mach numbers read 0.
TEST_F(Binding, ImpossibleAltitudesAndAirAreAbsent) {
  struct Case {
    float alt_ft, oat_degc, mach;
    float want_alt_ft, want_oat_degc, want_mach;
  };
  const Case cases[] = {
      {9800.0f, -56.5f, 0.78f, 9800.0f, -56.5f, 0.78f},
      {-1e30f, -1e30f, 1e30f, 9800.0f, 0.0f, 0.0f},
      {-1400.0f, 150.0f, 9.0f, -1400.0f, 150.0f, 9.0f},
      {1e30f, 151.0f, -9.5f, -1400.0f, 0.0f, 0.0f},
      {490000.0f, -150.0f, -9.0f, 490000.0f, -150.0f, -9.0f},  // the limits themselves
      {491000.0f, -151.0f, 9.1f, 490000.0f, 0.0f, 0.0f},
      {-7000.0f, 20.0f, 0.5f, -7000.0f, 20.0f, 0.5f},
      {-7100.0f, 20.0f, 0.5f, -7000.0f, 20.0f, 0.5f},
  };
  for (const Case& c : cases) {
    simhost::set_float("sim/cockpit2/gauges/indicators/altitude_ft_pilot", c.alt_ft);
    simhost::set_float("sim/cockpit2/temperature/outside_air_temp_degc", c.oat_degc);
    simhost::set_float("sim/flightmodel/misc/machno", c.mach);
    poll();
    EXPECT_EQ(host_mirror.sim_cockpit2_gauges_indicators_altitude_ft_pilot, c.want_alt_ft) << c.alt_ft;
    EXPECT_EQ(host_mirror.sim_cockpit2_temperature_outside_air_temp_degc, c.want_oat_degc) << c.oat_degc;
    EXPECT_EQ(host_mirror.sim_flightmodel_misc_machno, c.want_mach) << c.mach;
  }
}

// A read taken now (core/host_io.h) meets the poll's policy: not a number
// reads 0, an impossible position or altitude the mirror's last good value,
// an impossible speed 0; a newer host's name in the older one's unit is held
// to the older one's range; an absent name reads 0 and no elements.
TEST_F(Binding, ReadsTakenNowFollowThePollsPolicy) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  simhost::set_double("sim/flightmodel/position/latitude", 47.5);
  simhost::set_float("sim/cockpit2/gauges/indicators/altitude_ft_pilot", 9800.0f);
  simhost::set_float("sim/weather/aircraft/speed_sound_ms", 340.0f);
  poll();
  simhost::set_double("sim/flightmodel/position/latitude", 1e30);
  simhost::set_float("sim/cockpit2/gauges/indicators/altitude_ft_pilot", 1e30f);
  simhost::set_float("sim/flightmodel/position/true_airspeed", 1e30f);
  simhost::set_float("sim/weather/aircraft/speed_sound_ms", 1e30f);
  simhost::set_float("sim/cockpit2/gauges/indicators/airspeed_kts_pilot", nan);
  EXPECT_EQ(read_now_d(bound::sim_flightmodel_position_latitude), 47.5);
  EXPECT_EQ(read_now_f(bound::sim_cockpit2_gauges_indicators_altitude_ft_pilot), 9800.0f);
  EXPECT_EQ(read_now_f(bound::sim_flightmodel_position_true_airspeed), 0.0f);
  EXPECT_EQ(read_now_f(bound::sim_weather_aircraft_speed_sound_ms), 0.0f);
  EXPECT_EQ(read_now_f(bound::sim_cockpit2_gauges_indicators_airspeed_kts_pilot), 0.0f);
  simhost::set_float("sim/flightmodel/position/true_airspeed", 120.0f);
  EXPECT_EQ(read_now_f(bound::sim_flightmodel_position_true_airspeed), 120.0f);  // taken now, not polled

  std::vector<float> legs(4, 1.0f);
  legs[2] = nan;
  simhost::set_floats("sim/cockpit2/electrical/bus_volts", legs);
  float out[4] = {9, 9, 9, 9};
  EXPECT_EQ(read_now_vf(bound::sim_cockpit2_electrical_bus_volts, out, 4), 4);
  EXPECT_EQ(out[1], 1.0f);
  EXPECT_EQ(out[2], 0.0f);
  EXPECT_FALSE(bound_present(bound::quenby_fo__show));
  EXPECT_EQ(read_now_f(bound::quenby_fo__show), 0.0f);
  EXPECT_EQ(read_now_i(bound::quenby_fo__show), 0);
  EXPECT_EQ(read_now_vf(bound::quenby_fo__show, out, 4), 0);
  EXPECT_EQ(out[0], 1.0f);  // untouched
}

TEST_F(Binding, ShortArraysAndUnterminatedTextsStayInsideBuffers) {
  // Every host and script array one element long, every text without a
  // terminator and longer than asked for.
  for (const Row& r : kRows) {
    simhost::DatarefInfo info;
    if (!simhost::dataref_info(r.name, &info)) continue;
    if (info.type & (8 | 16)) {
      simhost::define_dataref({r.name, info.type, 1, true, ""},
                              info.owner == simhost::Owner::Scripts ? simhost::Owner::Scripts : simhost::Owner::Host);
    } else if (info.type & 32) {
      simhost::define_dataref({r.name, 32, 2000, true, ""}, info.owner);
      simhost::set_bytes(r.name, std::string(2000, 'Q'));
    }
  }
  clear_plugin_state();
  bind_all();
  host_mirror.sim_cockpit2_electrical_bus_volts[2] = 27.5f;
  failure_tables.engine[69] = 2.0f;
  simhost::set_floats("sim/cockpit2/electrical/bus_volts", {28.0f});
  poll();
  EXPECT_EQ(host_mirror.sim_cockpit2_electrical_bus_volts[0], 28.0f);
  EXPECT_EQ(host_mirror.sim_cockpit2_electrical_bus_volts[2], 27.5f);  // not served: kept
  EXPECT_EQ(failure_tables.engine[69], 2.0f);
  EXPECT_STREQ(host_mirror.sim_cockpit2_radios_indicators_nav1_nav_id, "QQQQQQQQQQ");
  EXPECT_STREQ(mirror_text(bound::sim_cockpit2_radios_indicators_adf2_nav_id), "QQQQQQQQQQ");

  char legs[1025];
  std::memset(legs, 'x', sizeof legs);
  EXPECT_EQ(read_now_text(bound::zuvadud_D738_fms_legs, legs, sizeof legs), 1024);
  EXPECT_EQ(std::strlen(legs), 1024u);
  char small[5];
  EXPECT_EQ(read_now_text(bound::zuvadud_D738_fms_legs_pth, small, sizeof small), 4);
  EXPECT_STREQ(small, "QQQQ");
  EXPECT_EQ(read_now_text(bound::quenby_fo__show, small, sizeof small), 0);  // null slot
  EXPECT_STREQ(small, "");
  EXPECT_EQ(read_now_text(bound::zuvadud_D738_fms_legs, small, 0), 0);
}

TEST_F(Binding, ShortTextEndsWhereTheHostStopped) {
  simhost::set_bytes("sim/cockpit2/radios/indicators/nav1_nav_id", std::string("KXYZ\0\0\0\0\0\0", 10));
  poll();
  simhost::define_dataref({"sim/cockpit2/radios/indicators/nav1_nav_id", 32, 2, false, ""});
  simhost::set_bytes("sim/cockpit2/radios/indicators/nav1_nav_id", "AB");
  poll();
  EXPECT_STREQ(host_mirror.sim_cockpit2_radios_indicators_nav1_nav_id, "AB");
}

TEST_F(Binding, GenericAccessByIdFollowsTheMirrorType) {
  simhost::set_int("sim/cockpit2/autopilot/heading_mode", 3);
  simhost::set_floats("sim/cockpit2/electrical/bus_volts", {24.0f, 25.0f, 26.0f});
  simhost::set_double("sim/flightmodel/position/latitude", 47.123456789);
  poll();
  EXPECT_EQ(mirror_i(bound::sim_cockpit2_autopilot_heading_mode), 3);
  EXPECT_EQ(mirror_f(bound::sim_cockpit2_autopilot_heading_mode), 3.0f);
  EXPECT_EQ(mirror_d(bound::sim_flightmodel_position_latitude), 47.123456789);
  int n = -1;
  const float* volts = mirror_vf(bound::sim_cockpit2_electrical_bus_volts, &n);
  ASSERT_EQ(n, 3);
  EXPECT_EQ(volts[2], 26.0f);
  EXPECT_EQ(mirror_vi(bound::sim_cockpit2_electrical_bus_volts, &n), nullptr);
  EXPECT_EQ(n, 0);
  const float* electric = mirror_vf(bound::zuvadud_D738_failure_electric, &n);
  EXPECT_EQ(electric, failure_tables.electric);
  EXPECT_EQ(n, 70);

  set_mirror_f(bound::sim_cockpit2_controls_elevator_trim, 0.5f);
  EXPECT_EQ(host_mirror.sim_cockpit2_controls_elevator_trim, 0.5f);
  set_mirror_i(bound::sim_cockpit2_autopilot_heading_mode, 7);
  EXPECT_EQ(host_mirror.sim_cockpit2_autopilot_heading_mode, 7);
  // Unmirrored names, newer-host names and ids out of range read 0 and ignore writes.
  for (bound::Id id : {bound::zuvadud_D738_fms_legs_change, bound::sim_weather_aircraft_wind_now_speed_msc,
                       static_cast<bound::Id>(-1), bound::COUNT}) {
    set_mirror_f(id, 9.0f);
    set_mirror_i(id, 9);
    EXPECT_EQ(mirror_f(id), 0.0f);
    EXPECT_EQ(mirror_i(id), 0);
    EXPECT_EQ(mirror_d(id), 0.0);
    EXPECT_EQ(mirror_vf(id, &n), nullptr);
    EXPECT_STREQ(mirror_text(id), "");
  }
}

TEST_F(Binding, NoProblemsReportedByTheHost) {
  simhost::set_float("zuvadud/D738/autopilot/servo_override", 1.0f);
  for (int version : {115000, 120000}) {
    host_version = version;
    poll();
    poll();
  }
  for (const std::string& p : simhost::problems()) ADD_FAILURE() << p;
}

// Array elements of the host's values: read as 0 and never written outside the array.
TEST(HostArrays, ElementsOutsideReadAsAbsentAndAreNotWritten) {
  for (XPLMDataRef& h : bound_handles) h = nullptr;
  host_mirror = HostMirror{};
  int nf = 0;
  int ni = 0;
  mirror_vf(bound::sim_flightmodel_weight_m_fuel, &nf);
  mirror_vi(bound::sim_flightmodel2_gear_on_ground, &ni);
  ASSERT_GT(nf, 0);
  ASSERT_GT(ni, 0);
  host_mirror.sim_flightmodel_weight_m_fuel[0] = 1.0f;
  host_mirror.sim_flightmodel_weight_m_fuel[nf - 1] = 2.0f;
  host_mirror.sim_flightmodel2_gear_on_ground[0] = 3;
  host_mirror.sim_flightmodel2_gear_on_ground[ni - 1] = 4;
  const int fi[][2] = {{-1, 0}, {0, 1}, {nf - 1, 2}, {nf, 0}};
  for (const auto& r : fi) EXPECT_EQ(mirror_vf_at(bound::sim_flightmodel_weight_m_fuel, r[0]), r[1]) << r[0];
  const int ii[][2] = {{-1, 0}, {0, 3}, {ni - 1, 4}, {ni, 0}};
  for (const auto& r : ii) EXPECT_EQ(mirror_vi_at(bound::sim_flightmodel2_gear_on_ground, r[0]), r[1]) << r[0];
  int32_t arr[4] = {0, 0, 0, 0};  // a host array of 3 and a guard element
  struct Write {
    int index;
    int32_t after[4];
  } writes[] = {{-1, {0, 0, 0, 0}}, {3, {0, 0, 0, 0}}, {2, {0, 0, 9, 0}}, {0, {9, 0, 9, 0}}};
  for (const Write& w : writes) {
    host_set_vi(bound::sim_cockpit2_electrical_battery_on, arr, 3, w.index, 9);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(arr[i], w.after[i]) << w.index << " " << i;
  }
}

}  // namespace
