// The service channel's writer and the CG reference shift, driven in-process
// against the simulated host: situation file names per variant and slot, the
// option bits and their log lines, the status after each kind of write, the
// per-load reset of a situation load, and the shift's ramps and write gates.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/binding.h"
#include "aircraft/cg_reference.h"
#include "publication/debug_service.h"
#include "core/frame_values.h"
#include "aircraft/lifecycle.h"
#include "core/paths.h"
#include "core/preprocess_values.h"
#include "core/variant.h"
#include "host.h"

namespace {

using Flags = std::vector<int>;

Flags options() { return Flags(handling_options, handling_options + handling_option_count); }

class DebugService : public ::testing::Test {
 protected:
  void SetUp() override {
    simhost::reset();
    XPLMGetSystemPath(system_root);  // each reset makes a new root; the plug-in reads it at its start
    terrain_probe = nullptr;
    variant_index = 0;
    acf_model = 999;
    debug_status = 0;
    situation_load_reset = reset_on_load;  // as the plug-in's start installs it
    for (uint8_t& f : handling_options) f = 1;
  }
  void TearDown() override {
    terrain_probe = nullptr;
    for (uint8_t& f : handling_options) f = 1;
    simhost::reset();
  }
};

TEST_F(DebugService, SituationPathsFollowVariantThenModelAndSlot) {
  struct Case {
    int32_t variant, model, command;
    const char* path;
  } cases[] = {
      {0, 999, 801, "Output/situations/737_80NG_01.sit"}, {3, 999, 809, "Output/situations/737_60NG_00.sit"},
      {4, 999, 909, "Output/situations/737_9ENG_00.sit"}, {7, 1, 801, "Output/situations/737_80MX_01.sit"},
      {5, 999, 902, "Output/situations/737_70MX_02.sit"}, {6, 999, 903, "Output/situations/737_2HMX_03.sit"},
      {8, 999, 804, "Output/situations/737_90MX_04.sit"}, {9, 999, 809, "Output/situations/737_1KMX_00.sit"},
      {10, 999, 801, "Output/situations/01.sit"},
      {-1, 0, 809, "Output/situations/Velar_00.sit"},     {-1, 1, 801, "Output/situations/Kesti_01.sit"},
      {-1, 2, 906, "Output/situations/Kemra_06.sit"},     {-1, 999, 802, "Output/situations/02.sit"},
      {-1, -5, 802, "Output/situations/02.sit"},
  };
  for (const Case& c : cases) {
    variant_index = c.variant;
    acf_model = c.model;
    char path[512] = "stale";
    EXPECT_TRUE(situation_path(c.command, path, sizeof path)) << c.command;
    EXPECT_STREQ(path, c.path) << "variant " << c.variant << " model " << c.model;
  }
}

TEST_F(DebugService, SituationPathRefusesOtherValuesAndBuffersTooSmall) {
  for (int32_t command : {0, 800, 810, 900, 910, 2000, -801, INT_MIN, INT_MAX}) {
    char path[64] = "stale";
    EXPECT_FALSE(situation_path(command, path, sizeof path)) << command;
    EXPECT_STREQ(path, "") << command;
  }
  const std::string full = "Output/situations/737_80NG_01.sit";
  const int32_t need = static_cast<int32_t>(full.size()) + 1;
  char path[64];
  EXPECT_TRUE(situation_path(801, path, need));
  EXPECT_EQ(path, full);
  for (int32_t size : {need - 1, 20, 1}) {
    std::string buffer(64, 'x');
    EXPECT_FALSE(situation_path(801, buffer.data(), size)) << size;
    EXPECT_EQ(buffer[0], '\0') << size;
    EXPECT_EQ(buffer[static_cast<size_t>(size)], 'x') << "wrote past a buffer of " << size;
  }
  EXPECT_FALSE(situation_path(801, nullptr, 64));
  EXPECT_FALSE(situation_path(801, path, 0));
}

TEST_F(DebugService, OptionCommandsSetTheFlagsFromBitsZeroToFourAndLogEachInOrder) {
  struct Case {
    int value;
    Flags flags;
  } cases[] = {
      {2005, {0, 1, 0, 1, 1}},
      {2031, {0, 0, 0, 0, 0}},
      {2000, {1, 1, 1, 1, 1}},
      {2024, {1, 1, 1, 0, 0}},
      {2032, {1, 1, 1, 1, 1}},  // bit 5 only: ignored
      {2255, {0, 0, 0, 0, 0}},
      {2256, {1, 1, 1, 1, 1}},  // bit 8 only
  };
  const char* names[] = {"CG shift", "reduced ground effect", "taxi thrust", "reduce reverse",
                         "reduce thrust after lift"};
  for (const Case& c : cases) {
    for (uint8_t& f : handling_options) f = 7;  // neither state: every flag must be written
    debug_status = 2;
    simhost::clear_log();
    debug_command_write(nullptr, c.value);
    EXPECT_EQ(options(), c.flags) << c.value;
    EXPECT_EQ(debug_status, 0) << c.value;
    std::vector<std::string> want;
    for (int i = 0; i < handling_option_count; ++i)
      want.push_back(std::string("CORVANE -> ") + names[i] + (c.flags[i] ? " enabled" : " disabled"));
    EXPECT_EQ(simhost::log_lines(), want) << c.value;
  }
  EXPECT_TRUE(simhost::data_file_calls().empty());
}

TEST_F(DebugService, StatusAfterEachKindOfWriteAndOtherValuesChangeNothingElse) {
  struct Case {
    int value;
    int32_t status;
    size_t file_calls;
    bool folder = false;  // a folder where the slot's file should be: the host's load fails
  } cases[] = {
      {0, 0, 0},    {2000, 0, 0},   {2256, 0, 0},    {801, 2, 1},     {809, 2, 1},     {901, 2, 1},
      {909, 2, 1},  {800, 1, 0},    {810, 1, 0},     {900, 1, 0},     {910, 1, 0},     {1999, 1, 0},
      {2257, 1, 0}, {-1, 1, 0},     {-2005, 1, 0},   {INT_MIN, 1, 0}, {INT_MAX, 1, 0}, {1, 1, 0},
      {801, 1, 1, true}, {809, 1, 1, true}, {803, 1, 1, true},
  };
  for (const Case& c : cases) {
    simhost::reset();
    XPLMGetSystemPath(system_root);
    terrain_probe = nullptr;
    handling_options[1] = 0;  // a state an option command would overwrite
    init_stage = 2;
    debug_status = 5;
    char path[512];
    if (c.value < 901 && situation_path(c.value, path, sizeof path)) {
      if (c.folder) {
        std::filesystem::create_directories(simhost::root() + path);
      } else {
        std::ofstream(simhost::root() + path) << "saved\n";
      }
    }
    debug_command_write(nullptr, c.value);
    EXPECT_EQ(debug_status, c.status) << c.value;
    EXPECT_EQ(simhost::data_file_calls().size(), c.file_calls) << c.value;
    if (c.status == 1) {
      EXPECT_EQ(options(), (Flags{1, 0, 1, 1, 1})) << c.value;
      std::vector<std::string> log;
      if (c.folder) log.push_back(std::string("Corvane plugin: WARNING - could not load situation file >") + path + "< !!!");
      EXPECT_EQ(simhost::log_lines(), log) << c.value;
      EXPECT_EQ(init_stage, 2) << c.value;
    }
    handling_options[1] = 1;
  }
}

TEST_F(DebugService, OnlyASituationLoadRunsThePerLoadReset) {
  for (int value : {909, 809}) {
    init_stage = 2;
    frame_done = load_loop_done = 1;
    time_since_load = 3.0f;
    load_settle_timer = 0.0f;
    debug_command_write(nullptr, value);
    const bool reset = init_stage == 0 && frame_done == 0 && load_loop_done == 0 && time_since_load == 0.0f &&
                       load_settle_timer == 2.0f && terrain_probe != nullptr;
    EXPECT_EQ(reset, value == 809) << value;
  }
}

// ---- CG reference shift ------------------------------------------------------------

constexpr const char* kRealCg = "zuvadud/D738/real_cg";
constexpr const char* kCgRef = "sim/flightmodel/misc/cgz_ref_to_default";

class CgReference : public ::testing::Test {
 protected:
  void SetUp() override {
    simhost::reset();
    for (XPLMDataRef& h : bound_handles) h = nullptr;
    bind_host_datarefs();
    bind_script_datarefs();
    ASSERT_NE(handle(bound::zuvadud_D738_real_cg), nullptr);
    cg_shift = 0.0f;
    frame_time = 0.1f;
    host_version = 120000;
    variant_index = -1;
    model_family = 0.0f;
    on_ground = 1;
    set_mirror_f(bound::sim_flightmodel_position_theta, 2.0f);
    for (uint8_t& f : handling_options) f = 1;
    simhost::set_float(kRealCg, 17.0f);
    simhost::set_float(kCgRef, 9.0f);
  }
  void TearDown() override {
    for (XPLMDataRef& h : bound_handles) h = nullptr;
    simhost::reset();
  }
  static void run_s(float seconds) {
    for (int i = 0, n = static_cast<int>(std::lround(seconds / frame_time)); i < n; ++i) update_cg_reference();
  }
  static int writes() { return simhost::counts(kCgRef).writes; }
};

TEST_F(CgReference, ShiftRampsInAndOutAtItsRatesUnderEachHostsConditions) {
  struct Case {
    const char* what;
    int32_t host, variant, ground;
    float pitch_deg, start_m, seconds, shift_m;
  } cases[] = {
      {"host 12 on ground, nose down: in at 0.05 m/s", 120000, -1, 1, 2.0f, 0.0f, 4.0f, 0.2f},
      {"host 12 rotation above 5 deg: out at 0.11 m/s", 120000, -1, 1, 6.0f, 0.4f, 1.0f, 0.29f},
      {"host 12 just below 5 deg still shifts", 120000, -1, 1, 4.99f, 0.1f, 1.0f, 0.15f},
      {"host 12 exactly 5 deg does not", 120000, -1, 1, 5.0f, 0.4f, 2.0f, 0.18f},
      {"host 11 on ground whatever the pitch", 119999, -1, 1, 12.0f, 0.0f, 2.0f, 0.1f},
      {"host 11 in the air", 110000, -1, 0, 0.0f, 0.4f, 3.0f, 0.07f},
      {"product variant on ground moves to 0", 120000, 0, 1, 2.0f, 0.4f, 1.0f, 0.29f},
  };
  for (const Case& c : cases) {
    host_version = c.host;
    variant_index = c.variant;
    on_ground = c.ground;
    set_mirror_f(bound::sim_flightmodel_position_theta, c.pitch_deg);
    cg_shift = c.start_m;
    run_s(c.seconds);
    EXPECT_NEAR(cg_shift, c.shift_m, 1e-4) << c.what;
    EXPECT_GE(cg_shift, 0.0f) << c.what;
    EXPECT_LE(cg_shift, 0.4f) << c.what;
  }
}

TEST_F(CgReference, GenericFilesWriteTheScriptsCgLessTheFamilyBaseAndTheShift) {
  struct Case {
    float family;
    float shift_m;
    double written_m;
  } cases[] = {
      {0.0f, 0.4f, 17.0 - 16.660368 - 0.4},
      {2.0f, 0.4f, 17.0 - 16.687292 - 0.4},
  };
  for (const Case& c : cases) {
    model_family = c.family;
    cg_shift = c.shift_m;
    update_cg_reference();
    EXPECT_NEAR(simhost::get_float(kCgRef), c.written_m, 1e-6) << c.family;
  }
  // In the air the shift has gone after about 3.6 s and the plain offset remains.
  model_family = 0.0f;
  on_ground = 0;
  run_s(4.0f);
  EXPECT_NEAR(simhost::get_float(kCgRef), 17.0 - 16.660368, 1e-6);
}

TEST_F(CgReference, NothingIsWrittenForProductsWithTheOptionOffOrWithoutTheScriptsCg) {
  variant_index = 0;
  run_s(1.0f);
  EXPECT_EQ(writes(), 0);

  variant_index = -1;
  handling_options[handling_cg_shift] = 0;
  run_s(1.0f);
  EXPECT_EQ(writes(), 0);
  EXPECT_FLOAT_EQ(simhost::get_float(kCgRef), 9.0f);  // the host keeps its last value
  EXPECT_NEAR(cg_shift, 0.05f, 1e-4);                  // the shift still moves

  handling_options[handling_cg_shift] = 1;
  simhost::set_float(kRealCg, std::nanf(""));
  update_cg_reference();
  EXPECT_EQ(writes(), 0);
  simhost::set_float(kRealCg, INFINITY);
  update_cg_reference();
  EXPECT_EQ(writes(), 0);

  bound_handles[bound::zuvadud_D738_real_cg] = nullptr;
  update_cg_reference();
  EXPECT_EQ(writes(), 0);
  EXPECT_FLOAT_EQ(simhost::get_float(kCgRef), 9.0f);
  EXPECT_TRUE(simhost::problems().empty());
}

}  // namespace
