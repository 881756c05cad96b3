// Hostile scripts: every script dataref at NaN, at huge values of either
// sign, route indices far out of range, texts that fill their buffer with no
// terminator, arrays served shorter than the module expects, and writes into
// the module's own writable datarefs at offsets past their ends. Over many
// frames the module must not misuse the host, publish or write a non-finite
// value, or (in the sanitizer build) touch memory it does not own.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "host.h"
#include "soak_fixture.h"

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

std::string fms(const std::string& name) { return "zuvadud/D738/fms/" + name; }

void set_text(const std::string& name, const std::string& text) {
  std::string bytes = text;
  bytes.resize(static_cast<size_t>(simhost::array_size(name)), '\0');
  simhost::set_bytes(name, bytes);
}

// A plausible route first, so the hostile values meet a module with state.
void hand_over_route() {
  simhost::set_floats(fms("legs_lat"), {47.449f, 47.46f, 47.40f, 47.35f, 47.30f, 47.30f});
  simhost::set_floats(fms("legs_lon"), {-122.31f, -122.31f, -122.30f, -122.10f, -121.80f, -121.80f});
  simhost::set_floats(fms("legs_brg_true"), {0.0f, 3.1f, 3.0f, 1.9f, 1.9f, 1.9f});
  simhost::set_floats(fms("legs_dist"), {0.0f, 1.0f, 3.6f, 8.8f, 12.8f, 0.0f});
  simhost::set_floats(fms("legs_hold_time"), {0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f});
  set_text(fms("legs"), "KSEA RW16L D016B ALPSE PERTT PERTT ");
  set_text(fms("legs_pth"), "IFIFCADFPIHM");
  simhost::set_float("zuvadud/D738/vnav/legs_num", 5.0f);
  simhost::set_float(fms("vnav_idx"), 3.0f);
  simhost::set_float(fms("vnav_idx_seq"), 3.0f);
  simhost::set_float(fms("legs_change"), 1.0f);
}

void airborne() {
  simhost::set_double("sim/flightmodel/position/latitude", 47.40);
  simhost::set_double("sim/flightmodel/position/longitude", -122.25);
  simhost::set_double("sim/flightmodel/position/elevation", 3000.0);
  simhost::set_float("sim/flightmodel/position/indicated_airspeed", 250.0f);
  simhost::set_float("sim/flightmodel/position/groundspeed", 140.0f);
  simhost::set_float("sim/flightmodel/position/true_airspeed", 140.0f);
  simhost::set_ints("sim/flightmodel2/gear/on_ground", {0, 0, 0});
}

class SoakHostile : public ::testing::Test {
 protected:
  void start(simhost::Config config = simhost::Config()) {
    config.root = std::string(CORVANE_SOURCE_DIR) + "/sample/root";
    simhost::reset(config);
    simhost::set_draw_capture(true);
    std::string error;
    ASSERT_TRUE(simhost::load_and_start(CORVANE_MODULE_PATH, &error)) << error;
    simhost::set_float(fms("xfirst_time2"), 2.0f);
    airborne();
    hand_over_route();
    simhost::frames(3, 1.0f / 30);
    started_ = true;
  }
  // Frames with the pause and replay flags coming and going, watched every
  // few frames.
  void run(int count, const std::string& phase) {
    for (int k = 0; k < count; ++k) {
      simhost::set_int("sim/time/paused", k % 7 == 3 ? 1 : 0);
      simhost::set_int("sim/time/is_in_replay", k % 11 == 5 ? 1 : 0);
      simhost::frame(k % 13 == 7 ? 0.25f : 1.0f / 30);
      if (k % 5 == 4 || k == count - 1) soak::watch(findings_, frame_++, phase);
    }
    simhost::set_int("sim/time/paused", 0);
    simhost::set_int("sim/time/is_in_replay", 0);
  }
  void TearDown() override {
    if (started_) {
      EXPECT_EQ(findings_.count(), 0) << findings_.report();
      simhost::stop();
      EXPECT_EQ(simhost::registrations().total(), 0);
      simhost::unload();
      EXPECT_TRUE(simhost::leftovers().empty());
      EXPECT_TRUE(simhost::problems().empty()) << simhost::problems().front();
    }
    simhost::reset();
  }
  soak::Findings findings_;
  int frame_ = 0;
  bool started_ = false;
};

// Every script value at one hostile number, every script text full of one
// character with no terminator.
void poison_scripts(float value, char fill) {
  for (const soak::CatalogName& c : soak::script_names()) {
    if (c.type & 8) {
      simhost::set_floats(c.name, std::vector<float>(static_cast<size_t>(c.size), value));
    } else if (c.type & 2) {
      simhost::set_float(c.name, value);
    } else if (c.type & 32) {
      simhost::set_bytes(c.name, std::string(static_cast<size_t>(c.size), fill));
    }
  }
}

TEST_F(SoakHostile, EveryScriptValueHostile) {
  start();
  ASSERT_FALSE(soak::script_names().empty());
  struct Case {
    float value;
    char fill;
    const char* name;
  };
  const Case cases[] = {{kNaN, 'A', "NaN"},       {kInf, ' ', "+inf"},   {-kInf, '\xff', "-inf"},
                        {1e30f, 'W', "1e30"},     {-1e30f, ' ', "-1e30"}, {10000.0f, 'H', "10000"},
                        {-5.0f, 'P', "-5"},       {256.0f, 'R', "256"},  {0.5f, '\x01', "0.5"}};
  for (const Case& c : cases) {
    poison_scripts(c.value, c.fill);
    run(soak::frames(48, 8), std::string("scripts at ") + c.name);
  }
  // A situation restored from packed arrays full of NaN and huge values:
  // the restore must not carry them into the cockpit state.
  for (float v : {kNaN, 1e30f, -kInf}) {
    poison_scripts(v, 'S');
    simhost::set_float("zuvadud/D738/load_save", 4.0f);
    run(soak::frames(6, 3), "situation restore from hostile arrays");
    simhost::set_float("zuvadud/D738/load_save", 0.0f);
    run(soak::frames(6, 3), "after the hostile restore");
  }
  // Back to a sane route: the module takes it in again.
  poison_scripts(0.0f, '\0');
  hand_over_route();
  run(soak::frames(10, 3), "recovery");
  EXPECT_EQ(simhost::get_float(fms("legs_change")), 0.0f);
}

TEST_F(SoakHostile, RouteIndicesOutOfRange) {
  start();
  struct Case {
    float legs_num, vnav_idx, vnav_idx_seq, intdir_act, intdir_idx;
  };
  const Case cases[] = {
      {10000, 3, 3, 0, 0},   {-5, 3, 3, 0, 0},        {kNaN, 3, 3, 0, 0},     {255, 3, 3, 0, 0},
      {256, 257, 257, 1, 300}, {5, -5, -5, 1, -5},    {5, kNaN, kNaN, 1, kNaN}, {5, 1e30f, -1e30f, 3, 1e30f},
      {1e30f, 0, 0, 1, 0},   {5, 6, 7, 1, 7},         {5, 256, 256, 3, 256},  {-1e30f, kInf, -kInf, kNaN, kInf},
  };
  for (const Case& c : cases) {
    hand_over_route();
    simhost::set_float("zuvadud/D738/vnav/legs_num", c.legs_num);
    simhost::set_float(fms("vnav_idx"), c.vnav_idx);
    simhost::set_float(fms("vnav_idx_seq"), c.vnav_idx_seq);
    simhost::set_float(fms("intdir_act"), c.intdir_act);
    simhost::set_float(fms("intdir_idx"), c.intdir_idx);
    simhost::set_float(fms("vnav_idx_mod"), c.vnav_idx);
    simhost::set_float(fms("legs_num2"), c.legs_num);
    simhost::set_float(fms("legs_num3"), c.legs_num);
    simhost::set_float(fms("legs_change2"), 1.0f);
    simhost::set_float(fms("legs_change3"), 1.0f);
    char phase[160];
    std::snprintf(phase, sizeof phase, "legs_num %g vnav_idx %g seq %g intdir_act %g intdir_idx %g",
                  static_cast<double>(c.legs_num), static_cast<double>(c.vnav_idx),
                  static_cast<double>(c.vnav_idx_seq), static_cast<double>(c.intdir_act),
                  static_cast<double>(c.intdir_idx));
    run(soak::frames(12, 4), phase);
  }
}

TEST_F(SoakHostile, TextsWithoutTerminator) {
  start();
  // Identifiers with no blank at all, blanks only, 256 and more one-letter
  // identifiers across both texts, and type texts cut mid-pair.
  const std::string no_blank(1024, 'X');
  std::string many;
  while (many.size() + 2 <= 1024) many += "Q ";
  many += "QQ";
  for (const std::string& ids : {no_blank, std::string(1024, ' '), many}) {
    simhost::set_bytes(fms("legs"), ids);
    simhost::set_bytes(fms("legs_ext"), ids);
    simhost::set_bytes(fms("legs_pth"), std::string(512, 'H'));
    simhost::set_bytes(fms("legs_pth_before"), std::string(512, 'P'));
    for (const char* sfx : {"_2", "_3"}) {
      simhost::set_bytes(fms(std::string("legs") + sfx), ids);
      simhost::set_bytes(fms(std::string("legs_ext") + sfx), ids);
    }
    simhost::set_bytes(fms("legs_abeam_new_id"), ids);
    simhost::set_float("zuvadud/D738/vnav/legs_num", 255.0f);
    simhost::set_float(fms("legs_change"), 1.0f);
    simhost::set_float(fms("legs_num2"), 255.0f);
    simhost::set_float(fms("legs_change2"), 1.0f);
    simhost::set_float(fms("test"), 5555.0f);   // the decode logs read the tables too
    run(soak::frames(10, 3), "unterminated route texts");
  }
  // Every other script text full as well.
  poison_scripts(1.0f, '7');
  run(soak::frames(10, 3), "every script text full");
}

TEST_F(SoakHostile, ArraysServedShort) {
  // Each script array one element long, each script text two bytes.
  simhost::Config config;
  for (const soak::CatalogName& c : soak::script_names()) {
    if (c.type & 8) config.extra.push_back({c.name, c.type, 1, true, "1e30"});
    if (c.type & 32) config.extra.push_back({c.name, c.type, 2, true, "ZZ"});
  }
  start(config);
  run(soak::frames(40, 10), "script arrays one element long");
  poison_scripts(kNaN, 'Y');
  run(soak::frames(20, 5), "short script arrays at NaN");
}

// The host itself is not above a NaN (a diverged flight model, a broken
// add-on writing its datarefs): every host float at NaN or an infinity.
TEST_F(SoakHostile, HostValuesNotANumber) {
  start();
  for (float v : {kNaN, kInf, -kInf}) {
    for (const soak::CatalogName& c : soak::host_names()) {
      if (c.name == "sim/time/paused" || c.name == "sim/time/is_in_replay") continue;
      if (c.type & 8) {
        simhost::set_floats(c.name, std::vector<float>(static_cast<size_t>(c.size), v));
      } else if (c.type & 2) {
        simhost::set_float(c.name, v);
      } else if (c.type & 4) {
        simhost::set_double(c.name, static_cast<double>(v));
      }
    }
    char phase[64];
    std::snprintf(phase, sizeof phase, "host values at %g", static_cast<double>(v));
    run(soak::frames(24, 6), phase);
  }
}

// Absurd but finite host values: the flying aircraft's position (altitude
// included) and speeds at +-1e30 must not reach the route math (leg radii,
// distances, the abeam distance written back to the scripts) as NaN.
TEST_F(SoakHostile, HostPositionAndSpeedsAbsurd) {
  start();
  const char* const doubles[] = {"sim/flightmodel/position/latitude", "sim/flightmodel/position/longitude",
                                 "sim/flightmodel/position/elevation"};
  const char* const floats[] = {"sim/flightmodel/position/groundspeed", "sim/flightmodel/position/true_airspeed",
                                "sim/flightmodel/position/indicated_airspeed",
                                "sim/cockpit2/gauges/indicators/airspeed_kts_pilot",
                                "sim/cockpit2/gauges/indicators/airspeed_kts_copilot",
                                "sim/flightmodel/position/local_vx", "sim/flightmodel/position/local_vy",
                                "sim/flightmodel/position/local_vz", "sim/flightmodel/position/vh_ind_fpm"};
  const char* const altitudes[] = {"sim/cockpit2/gauges/indicators/altitude_ft_pilot",
                                   "sim/cockpit2/gauges/indicators/altitude_ft_copilot"};
  struct Case {
    float v;
    bool position, speeds;
  };
  for (const Case c : {Case{1e30f, false, true}, Case{-1e30f, false, true}, Case{1e30f, true, false},
                       Case{-1e30f, true, false}, Case{1e30f, true, true}, Case{-1e30f, true, true}}) {
    const float v = c.v;
    for (const char* f : floats) simhost::set_float(f, 140.0f);
    for (const char* a : altitudes) simhost::set_float(a, 9800.0f);
    airborne();
    if (c.position) {
      for (const char* d : doubles) simhost::set_double(d, static_cast<double>(v));
      for (const char* a : altitudes) simhost::set_float(a, v);
    }
    if (c.speeds) {
      for (const char* f : floats) simhost::set_float(f, v);
    }
    simhost::set_float(fms("legs_change"), 1.0f);
    char phase[96];
    std::snprintf(phase, sizeof phase, "host %s%s at %g", c.position ? "position " : "", c.speeds ? "speeds" : "",
                  static_cast<double>(v));
    run(soak::frames(24, 6), phase);
    for (const char* name : {"rt_abeam_dist_bp", "rt_abeam_dist", "rt_xtrack"}) {
      EXPECT_TRUE(std::isfinite(simhost::get_float(fms(name)))) << name << " " << v;
    }
    for (const char* name : {"legs_radii_radius", "legs_dist_true", "legs_dist_dest_true"}) {
      for (float x : simhost::get_floats(fms(name))) ASSERT_TRUE(std::isfinite(x)) << name << " " << v;
    }
  }
}

// The same at the level of every host value: numbers of absurd size in each
// host float, double and float array.
TEST_F(SoakHostile, HostValuesAbsurdButFinite) {
  start();
  for (float v : {1e30f, -1e30f}) {
    for (const soak::CatalogName& c : soak::host_names()) {
      if (c.name == "sim/time/paused" || c.name == "sim/time/is_in_replay") continue;
      if (c.type & 8) {
        simhost::set_floats(c.name, std::vector<float>(static_cast<size_t>(c.size), v));
      } else if (c.type & 2) {
        simhost::set_float(c.name, v);
      } else if (c.type & 4) {
        simhost::set_double(c.name, static_cast<double>(v));
      }
    }
    char phase[64];
    std::snprintf(phase, sizeof phase, "host values at %g", static_cast<double>(v));
    run(soak::frames(24, 6), phase);
  }
}

TEST_F(SoakHostile, WritesIntoOwnDatarefsPastTheirEnds) {
  start();
  struct Write {
    int offset;
    int count;
  };
  // Offsets before the start, at and past the end, and one near INT_MAX
  // whose end overflows.
  for (const simhost::DatarefInfo& d : simhost::plugin_datarefs()) {
    if (!d.writable || d.name == "corvane/Debug") continue;
    for (const Write w : {Write{-1, 4}, Write{d.size - 2, 8}, Write{d.size, 3}, Write{INT_MAX - 1, 4}}) {
      if (d.type & 8) {
        simhost::set_floats(d.name, std::vector<float>(static_cast<size_t>(w.count), kNaN), w.offset);
      } else if (d.type & 16) {
        simhost::set_ints(d.name, std::vector<int>(static_cast<size_t>(w.count), INT_MIN), w.offset);
      } else if (d.type & 32) {
        simhost::set_bytes(d.name, std::string(static_cast<size_t>(w.count), 'B'), w.offset);
      }
    }
    if (d.type & 32) simhost::set_bytes(d.name, std::string(static_cast<size_t>(d.size) + 16, 'B'));
    if ((d.type & 2) && !(d.type & 8)) simhost::set_float(d.name, kNaN);
    if ((d.type & 4) && !(d.type & 8)) simhost::set_double(d.name, -std::numeric_limits<double>::infinity());
    if ((d.type & 1) && !(d.type & 2)) simhost::set_int(d.name, INT_MIN);
  }
  run(soak::frames(30, 8), "own datarefs written with hostile values");
}

}  // namespace
