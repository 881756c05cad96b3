// Route intake against the simulated host: the change-flag handshake, the
// identifier decode and its log, the per-leg type rules, the take-off rule,
// the route reset, and texts or counts from the scripts that do not fit.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "core/binding.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "lnav/route/route.h"
#include "lnav/route/route_intake.h"
#include "host.h"
#include "lnav/route/fms_legs.h"
#include "lnav/route/route_state.h"
#include "bind_for_test.h"

namespace {

const char* const kLegs = "zuvadud/D738/fms/legs";
const char* const kLegsExt = "zuvadud/D738/fms/legs_ext";
const char* const kPth = "zuvadud/D738/fms/legs_pth";
const char* const kPthBefore = "zuvadud/D738/fms/legs_pth_before";
const char* const kLegsNum = "zuvadud/D738/vnav/legs_num";
const char* const kChange = "zuvadud/D738/fms/legs_change";

// Writes a script text padded with NULs to the dataref's full size.
void set_text(const char* name, const std::string& text) {
  std::string bytes = text;
  const int size = simhost::array_size(name);
  if (static_cast<int>(bytes.size()) < size) bytes.resize(size, '\0');
  simhost::set_bytes(name, bytes);
}

std::string ids(int first, int count) {
  std::string s;
  for (int i = first; i < first + count; ++i) s += "W" + std::to_string(i) + " ";
  return s;
}

class RouteIntake : public ::testing::Test {
 protected:
  void SetUp() override {
    simhost::reset();
    rebind_datarefs();
    route_tables = RouteStringTables{};
    for (RouteScriptStrings& s : route_script_strings) s = RouteScriptStrings{};
    fms_seq = FmsSequenceState{};
    legs_change_copy = 0.0f;
    route_reset_request = 0.0f;
    fms_debug_selector = 0.0f;
    sim_paused = 0;
    on_ground = 0;
    std::memset(legs_type, 0, sizeof legs_type);
    std::memset(legs_spd_calc, 0, sizeof legs_spd_calc);
    // The path build of earlier frames leaves its marks on the valid-leg walk.
    std::memset(legs_bypass, 0, sizeof legs_bypass);
    std::memset(legs_direct, 0, sizeof legs_direct);
    first_path_leg = direct_to_leg = 0;
    simhost::clear_log();
  }
  void TearDown() override { simhost::reset(); }

  // The scripts hand over a route and raise the change flag.
  void hand_over(const std::string& legs, const std::string& pth, float legs_num) {
    set_text(kLegs, legs);
    set_text(kPth, pth);
    simhost::set_float(kLegsNum, legs_num);
    simhost::set_float(kChange, 1.0f);
  }
  void frame() {
    route_reads();
    route_pass();
  }
  std::string slot(int i) const { return route_tables.waypoint_names[i].text; }
};

TEST_F(RouteIntake, DecodeLogsUnderSelector5555) {
  hand_over("KSEA RW16L SEA ALPSE ", "IFCFTFTF", 3.0f);
  fms_debug_selector = 5555.0f;
  frame();
  const std::vector<std::string> expect = {
      "Decode 1 -> Waypoint names. Waypoints: 4  Legs_num: 3.000000",
      "- WPT 0  <KSEA>:",
      "- WPT 1  <RW16L>:",
      "- WPT 2  <SEA>:",
      "- WPT 3  <ALPSE>:",
  };
  EXPECT_EQ(simhost::log_lines(), expect);
  EXPECT_EQ(slot(1), "RW16L");
  // Without the selector nothing is logged.
  simhost::clear_log();
  fms_debug_selector = 0.0f;
  frame();
  EXPECT_TRUE(simhost::log_lines().empty());
}

TEST_F(RouteIntake, IdentifiersEndAtTheirBlank) {
  struct Case {
    const char* legs;
    int count;
    std::vector<std::string> slots;
  };
  const Case cases[] = {
      {"AAA BBB CCC", 2, {"AAA", "BBB"}},              // no blank after the last: not an identifier
      {"AAA  CCC ", 3, {"AAA", "", "CCC"}},            // two blanks: an empty slot
      {"PPOS ", 1, {"PPOS"}},
  };
  for (const Case& c : cases) {
    route_tables = RouteStringTables{};
    hand_over(c.legs, "", 5.0f);
    fms_debug_selector = 5555.0f;
    simhost::clear_log();
    frame();
    ASSERT_FALSE(simhost::log_lines().empty());
    EXPECT_EQ(simhost::log_lines()[0],
              "Decode 1 -> Waypoint names. Waypoints: " + std::to_string(c.count) + "  Legs_num: 5.000000");
    for (size_t i = 0; i < c.slots.size(); ++i) EXPECT_EQ(slot(static_cast<int>(i)), c.slots[i]) << c.legs;
  }
  // Slots past the count keep what they held.
  hand_over("X1 X2 X3 X4 ", "", 5.0f);
  frame();
  hand_over("Y1 ", "", 5.0f);
  frame();
  EXPECT_EQ(slot(0), "Y1");
  EXPECT_EQ(slot(3), "X4");
}

TEST_F(RouteIntake, ContinuationOnlyAfterExactly128) {
  hand_over(ids(0, 128), "", 130.0f);
  set_text(kLegsExt, ids(128, 3));
  fms_debug_selector = 5555.0f;
  frame();
  EXPECT_EQ(slot(127), "W127");
  EXPECT_EQ(slot(128), "W128");
  EXPECT_EQ(slot(130), "W130");
  const auto& log = simhost::log_lines();
  ASSERT_EQ(log.size(), 1u + 128u + 1u + 131u);
  EXPECT_EQ(log[129], "Decode 2 -> Waypoint names. Waypoints: 131  Legs_num: 130.000000");
  EXPECT_EQ(log[130], "- WPT 0  <W0>:");
  EXPECT_EQ(log.back(), "- WPT 130  <W130>:");

  route_tables = RouteStringTables{};
  hand_over(ids(0, 127), "", 130.0f);
  simhost::clear_log();
  frame();
  EXPECT_EQ(slot(126), "W126");
  EXPECT_EQ(slot(127), "");
  EXPECT_EQ(simhost::log_lines().size(), 1u + 127u);

  // More than 128 leaves the continuation out as well.
  route_tables = RouteStringTables{};
  hand_over(ids(0, 130), "", 140.0f);
  set_text(kLegsExt, ids(500, 3));
  frame();
  EXPECT_EQ(slot(129), "W129");
  EXPECT_EQ(slot(130), "");
}

TEST_F(RouteIntake, ChangeFlagHandshake) {
  hand_over("AAA BBB ", "IFTF", 1.0f);
  sim_paused = 1;
  route_reads();
  route_pass();
  // Paused: neither taken in nor lowered.
  EXPECT_EQ(legs_change_copy, 1.0f);
  EXPECT_EQ(simhost::get_float(kChange), 1.0f);
  EXPECT_EQ(fms_seq.legs_num, 0.0f);
  EXPECT_EQ(slot(0), "");

  sim_paused = 0;
  frame();
  EXPECT_EQ(fms_seq.legs_num, 1.0f);
  EXPECT_EQ(slot(1), "BBB");
  EXPECT_EQ(legs_change_copy, 0.0f);
  EXPECT_EQ(simhost::get_float(kChange), 0.0f);

  // Without a change the strings are not read again, yet still decoded.
  set_text(kLegs, "ZZZ ");
  simhost::set_float(kLegsNum, 9.0f);
  route_tables.waypoint_names[0] = RouteText{};
  frame();
  EXPECT_EQ(fms_seq.legs_num, 1.0f);
  EXPECT_EQ(slot(0), "AAA");
}

TEST_F(RouteIntake, NoRouteStillLowersFlag) {
  hand_over("AAA ", "IF", 0.0f);
  frame();
  EXPECT_EQ(slot(0), "");  // nothing decoded
  EXPECT_EQ(simhost::get_float(kChange), 0.0f);
}

TEST_F(RouteIntake, PerLegTypeRules) {
  // leg:  0   1   2   3   4   5   6   7   8
  const std::string types = "IFCACICFVAFAVICATF";
  hand_over(ids(0, 9), types, 8.0f);
  simhost::set_float("zuvadud/D738/fms/vnav_idx_seq", 3.0f);
  for (int i = 0; i < 9; ++i) legs_alt_rest1[i] = 1000.0f * static_cast<float>(i);
  frame();
  EXPECT_STREQ(route_tables.leg_path_types[4].text, "VA");
  const float expect[9] = {5, 5, 0, 5, 5, 5, 0, 0, 0};
  for (int i = 0; i < 9; ++i) EXPECT_EQ(legs_type[i], expect[i]) << i;
  EXPECT_EQ(path_start_leg, 2);
  EXPECT_EQ(first_alt_term_leg, 4);  // first CA/VA/FA at or after the start leg
  EXPECT_EQ(first_alt_term_alt, 4000.0f);
}

TEST_F(RouteIntake, ShortTypeTextMatchesNothing) {
  hand_over(ids(0, 3), "IFC", 2.0f);
  set_text(kPthBefore, "TFCA");
  frame();
  EXPECT_STREQ(route_tables.leg_path_types[1].text, "C");
  EXPECT_STREQ(route_tables.leg_path_types[2].text, "");
  EXPECT_STREQ(route_tables.prev_leg_path_types[1].text, "CA");
  EXPECT_EQ(legs_type[0], 0.0f);
}

TEST_F(RouteIntake, TakeOffStartsAtRunway) {
  struct Case {
    float seq, v2_set;
    int ground;
    const char* legs;
    int start;
    float spd;
  };
  const Case cases[] = {
      {3.0f, 0.0f, 1, "KSEA RW16L SEA ALPSE ", 1, 145.0f},
      {3.0f, 150.0f, 1, "KSEA RW16L SEA ALPSE ", 1, 170.0f},
      {4.0f, 0.0f, 1, "KSEA RW16L SEA ALPSE ", 3, 0.0f},  // not the leg after the runway
      {3.0f, 0.0f, 0, "KSEA RW16L SEA ALPSE ", 2, 0.0f},  // airborne
      {3.0f, 0.0f, 1, "KSEA SEA RW16L ALPSE ", 2, 0.0f},  // slot 1 is no runway
  };
  for (const Case& c : cases) {
    legs_spd_calc[1] = 0.0f;
    hand_over(c.legs, "IFTFTFTF", 3.0f);
    simhost::set_float("zuvadud/D738/fms/vnav_idx_seq", c.seq);
    simhost::set_float("zuvadud/D738/FMS/v2_set", c.v2_set);
    on_ground = c.ground;
    frame();
    EXPECT_EQ(path_start_leg, c.start) << c.seq << " " << c.legs;
    EXPECT_EQ(legs_spd_calc[1], c.spd) << c.seq << " " << c.legs;
  }
}

TEST_F(RouteIntake, RouteResetSetsStartLegs) {
  hand_over(ids(0, 6), "", 5.0f);
  simhost::set_float("zuvadud/D738/fms/vnav_idx", 5.0f);
  direct_to_leg = first_path_leg = 9;
  route_reset_request = 1.0f;
  frame();
  EXPECT_EQ(direct_to_leg, 0);
  EXPECT_EQ(first_path_leg, 0);
  simhost::set_float("zuvadud/D738/fms/intdir_act", 1.0f);
  simhost::set_float(kChange, 1.0f);
  frame();
  EXPECT_EQ(direct_to_leg, 4);
  EXPECT_EQ(first_path_leg, 4);
}

TEST_F(RouteIntake, SequencePrevWrittenEveryFrame) {
  simhost::set_float("zuvadud/D738/fms/vnav_idx_seq", 5.0f);
  simhost::set_float("zuvadud/D738/fms/vnav_idx_seq_prev", 77.0f);
  fms_seq.legs_num = 8.0f;
  sim_paused = 1;
  route_reads();
  EXPECT_EQ(fms_seq.vnav_idx_seq_prev, 4.0f);
  EXPECT_EQ(simhost::get_float("zuvadud/D738/fms/vnav_idx_seq_prev"), 4.0f);
}

// Texts that fill their datarefs without a terminator, counts far beyond the
// tables: everything stays inside the tables (the sanitizer build checks).
TEST_F(RouteIntake, OversizeInputStaysInsideTables) {
  std::string full;
  while (full.size() < 1024) full += "AB ";
  full.resize(1024);  // no terminator
  std::string types(512, 'C');
  hand_over(full, types, 10000.0f);
  set_text(kLegsExt, full);
  set_text(kPthBefore, types);
  simhost::set_float("zuvadud/D738/fms/vnav_idx_seq", 1.0e9f);
  simhost::set_float("zuvadud/D738/fms/vnav_idx", -1.0e9f);
  fms_debug_selector = 5555.0f;
  frame();
  EXPECT_EQ(slot(255), "AB");
  EXPECT_EQ(simhost::log_lines()[0], "Decode 1 -> Waypoint names. Waypoints: 256  Legs_num: 10000.000000");
  EXPECT_STREQ(route_tables.leg_path_types[255].text, "CC");
  EXPECT_EQ(simhost::get_float(kChange), 0.0f);

  // One identifier longer than a slot is cut to the slot.
  hand_over(std::string(40, 'Q') + " " + std::string(983, 'R'), "", 3.0f);
  frame();
  EXPECT_EQ(slot(0), std::string(31, 'Q'));
  EXPECT_EQ(slot(1), "AB");
}

TEST_F(RouteIntake, NanCountReadsAsNoRoute) {
  hand_over("AAA ", "IF", std::nanf(""));
  frame();
  EXPECT_EQ(slot(0), "");
  EXPECT_EQ(simhost::get_float(kChange), 0.0f);
}

// An active leg the scripts hand over as a NaN or an infinity is never copied
// into the other leg indices they read back.
TEST_F(RouteIntake, NonFiniteActiveLegIsNotWrittenBack) {
  for (float v : {INFINITY, -INFINITY, std::nanf("")}) {
    simhost::clear_non_finite_writes();
    hand_over("", "", 4.0f);
    simhost::set_float("zuvadud/D738/fms/vnav_idx", v);
    frame();
    EXPECT_EQ(simhost::non_finite_write_count(), 0) << v << ": " << simhost::non_finite_writes().front();
  }
}

}  // namespace
