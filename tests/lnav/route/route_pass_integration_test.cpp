// The built module in the simulated host: the route handshakes with the
// scripts (change flag lowered in the frame that took the route in, the
// direct-to answer in the air and on the ground, the second and third routes
// with their clearing value) and the route pass's debug logs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host.h"

namespace {

std::string fms(const std::string& name) { return "zuvadud/D738/fms/" + name; }

void set_text(const std::string& name, const std::string& text) {
  std::string bytes = text;
  bytes.resize(simhost::array_size(name), '\0');
  simhost::set_bytes(name, bytes);
}

int log_count(const std::string& line) {
  int n = 0;
  for (const std::string& l : simhost::log_lines()) n += l == line ? 1 : 0;
  return n;
}

class ModuleRoutePass : public ::testing::Test {
 protected:
  void SetUp() override {
    simhost::reset();
    std::string error;
    ASSERT_TRUE(simhost::load_and_start(CORVANE_MODULE_PATH, &error)) << error;
    simhost::frames(2, 0.02f);
  }
  void TearDown() override {
    // Misuse of the route datarefs shows up as a problem naming them.
    for (const std::string& p : simhost::problems()) EXPECT_EQ(p.find("zuvadud/D738/fms/"), std::string::npos) << p;
    simhost::reset();
  }
  // Five waypoints one degree apart along the equator; the aircraft between
  // the first two.
  void hand_over_route(float vnav_idx) {
    std::vector<float> lat(5, 0.0f), lon;
    for (int k = 0; k < 5; ++k) lon.push_back(static_cast<float>(k));
    simhost::set_floats(fms("legs_lat"), lat);
    simhost::set_floats(fms("legs_lon"), lon);
    // Due east, one degree each.
    const std::vector<float> east(5, 1.5707964f);
    for (const char* f : {"legs_brg_true", "legs_brg_fin_true", "legs_brg_mag"}) simhost::set_floats(fms(f), east);
    simhost::set_floats(fms("legs_dist"), {0.0f, 60.04f, 60.04f, 60.04f, 60.04f});
    set_text(fms("legs"), "W0 W1 W2 W3 W4 ");
    set_text(fms("legs_pth"), "IFTFTFTFTF");
    simhost::set_float("zuvadud/D738/vnav/legs_num", 4.0f);
    simhost::set_float(fms("vnav_idx"), vnav_idx);
    simhost::set_float(fms("vnav_idx_seq"), vnav_idx);
    simhost::set_float(fms("intdir_crs"), -1.0f);
    simhost::set_double("sim/flightmodel/position/latitude", 0.1);
    simhost::set_double("sim/flightmodel/position/longitude", 0.5);
    simhost::set_float(fms("legs_change"), 1.0f);
  }
  void set_on_ground(bool ground) {
    simhost::set_ints("sim/flightmodel2/gear/on_ground", {ground ? 1 : 0, ground ? 1 : 0, ground ? 1 : 0});
  }
};

TEST_F(ModuleRoutePass, ChangeFlagLoweredInTheFrameThatTookTheRoute) {
  hand_over_route(2.0f);
  simhost::frame(0.02f);
  EXPECT_EQ(simhost::get_float(fms("legs_change")), 0.0f);
  // The path was built: the destination entry is closed.
  EXPECT_EQ(simhost::get_floats(fms("legs_df_crs"))[4], -1.0f);
  EXPECT_NEAR(simhost::get_floats(fms("legs_dist_dest_true"))[1], 3.0f * 60.04f, 0.2f);
}

TEST_F(ModuleRoutePass, DirectToAnsweredTwoInTheAirZeroOnTheGround) {
  struct Case {
    bool ground;
    float act;
    float crs;
  };
  for (const Case& c : {Case{false, 2.0f, -1.0f}, Case{true, 0.0f, -1.0f}}) {
    set_on_ground(c.ground);
    hand_over_route(3.0f);
    simhost::set_float(fms("intdir_act"), 1.0f);
    simhost::frame(0.02f);
    EXPECT_EQ(simhost::get_float(fms("intdir_act")), c.act) << c.ground;
    EXPECT_EQ(simhost::get_float(fms("intdir_crs")), c.crs) << c.ground;
    EXPECT_EQ(simhost::get_float(fms("intdir_idx")), c.ground ? 1.0f : 3.0f) << c.ground;
    EXPECT_EQ(simhost::get_float(fms("legs_change")), 0.0f);
  }
}

TEST_F(ModuleRoutePass, SecondAndThirdRouteHandshakes) {
  struct Case {
    const char* flag;
    const char* num;
    const char* sfx;
  };
  for (const Case& c : {Case{"legs_change2", "legs_num2", "_2"}, Case{"legs_change3", "legs_num3", "_3"}}) {
    simhost::set_float(fms(c.num), 2.0f);
    simhost::set_floats(fms(std::string("legs_lat") + c.sfx), {1.0f, 2.0f, 3.0f});
    set_text(fms(std::string("legs") + c.sfx), "A B C ");
    simhost::set_float(fms(c.flag), 1.0f);
    simhost::frame(0.02f);
    EXPECT_EQ(simhost::get_float(fms(c.flag)), 0.0f) << c.flag;
    EXPECT_EQ(simhost::counts(fms(c.num)).reads, 1) << c.flag;
    // 2: the scripts cleared the route; nothing is read, the flag is lowered.
    simhost::set_float(fms(c.flag), 2.0f);
    simhost::frame(0.02f);
    EXPECT_EQ(simhost::get_float(fms(c.flag)), 0.0f) << c.flag;
    EXPECT_EQ(simhost::counts(fms(c.num)).reads, 1) << c.flag;
  }
}

TEST_F(ModuleRoutePass, DebugLogs) {
  hand_over_route(2.0f);
  simhost::set_float(fms("vnav_tc_idx"), 3.0f);
  simhost::set_float(fms("vnav_tc_dist"), 0.0f);
  simhost::set_float(fms("test"), 7777.0f);
  simhost::clear_log();
  simhost::frames(2, 0.02f);
  // Repeated while no second FL100 point exists.
  EXPECT_EQ(log_count("T/C 2 <W2> 0.000000: calc mode: 60"), 2);
  EXPECT_EQ(simhost::get_float(fms("test")), 7777.0f);
  simhost::set_float(fms("vnav_fl100_idx2"), 4.0f);
  simhost::frame(0.02f);
  EXPECT_EQ(log_count("FL100-2 3 <W3> 0.000000: calc mode: 60"), 1);
  EXPECT_EQ(simhost::get_float(fms("test")), 0.0f);

  // The direct-to course line, once.
  set_on_ground(false);
  hand_over_route(3.0f);
  simhost::set_float(fms("intdir_act"), 1.0f);
  simhost::set_float(fms("test"), 99999.0f);
  simhost::clear_log();
  simhost::frames(2, 0.02f);
  int lines = 0;
  for (const std::string& l : simhost::log_lines()) lines += l.rfind("Direct to  2 <W2> -> CRS final: ", 0) == 0;
  EXPECT_EQ(lines, 1);
  EXPECT_EQ(simhost::get_float(fms("test")), 0.0f);
}

}  // namespace
