// The cockpit state through the loaded module: the start-up state of the
// first frame, the packed arrays the scripts receive every frame, and a saved
// situation coming back when the scripts report 4.0 on "load_save".
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "host.h"

namespace {

const char* const kSystem = "zuvadud/D738/system";
const char* const kSystemSw = "zuvadud/D738/system_sw";

class CockpitState : public ::testing::Test {
 protected:
  void TearDown() override { simhost::reset(); }
  void load(int startup_running, float option) {
    simhost::reset();
    std::string error;
    ASSERT_TRUE(simhost::load_and_start(CORVANE_MODULE_PATH, &error)) << error;
    simhost::set_int("sim/operation/prefs/startup_running", startup_running);
    simhost::set_float("zuvadud/D738/fms/engine_no_running_state", option);
  }
  // The host's battery and buses as a real one has them at an engines-running
  // start: without them the engines' fuel valves never open and the host's
  // engines starve.
  void powered() {
    simhost::set_from_text("sim/cockpit2/electrical/battery_voltage_actual_volts", "24,24");
    simhost::set_from_text("sim/cockpit2/electrical/bus_volts", "28,28,28");
  }
};

TEST_F(CockpitState, FirstFrameSetsTheStartupStateAndSavesIt) {
  struct Case {
    int mode;
    float option;
    float iso_valve, packs, beacon;
  };
  const Case cases[] = {{0, 0.0f, 2.0f, 0.0f, 0.0f}, {0, 1.0f, 1.0f, 1.0f, 0.0f}, {1, 0.0f, 1.0f, 1.0f, 1.0f}};
  for (const Case& c : cases) {
    load(c.mode, c.option);
    simhost::set_floats("zuvadud/D738/failure/hydraulic", std::vector<float>(70, 1.0f));
    simhost::frames(2, 1.0f / 30.0f);
    EXPECT_EQ(simhost::get_float("zuvadud/D738/air/isolation_valve_pos"), c.iso_valve) << c.mode;
    EXPECT_EQ(simhost::get_float("zuvadud/D738/air/l_pack_pos"), c.packs) << c.mode;
    EXPECT_EQ(simhost::get_int("sim/cockpit2/switches/beacon_on"), static_cast<int>(c.beacon)) << c.mode;
    // The scripts hold this frame's cockpit.
    const std::vector<float> sw = simhost::get_floats(kSystemSw);
    EXPECT_EQ(sw[2], c.iso_valve) << c.mode;
    EXPECT_EQ(sw[0], c.packs) << c.mode;
    EXPECT_EQ(sw[150], 0.0f);
    // A new flight starts without failures; entry 69 is not cleared.
    const std::vector<float> hyd = simhost::get_floats("zuvadud/D738/failure/hydraulic");
    EXPECT_EQ(hyd[0], 0.0f);
    EXPECT_EQ(hyd[68], 0.0f);
    EXPECT_EQ(hyd[69], 1.0f);
    EXPECT_TRUE(simhost::problems().empty()) << simhost::problems().front();
  }
}

TEST_F(CockpitState, SavedSituationComesBackOnlyOnFourPointZero) {
  struct Case {
    float load_save;
    bool restored;
  };
  const Case cases[] = {{4.0f, true}, {3.999f, false}, {4.001f, false}};
  for (const Case& c : cases) {
    load(0, 0.0f);
    simhost::frames(2, 1.0f / 30.0f);
    std::vector<float> system = simhost::get_floats(kSystem);
    std::vector<float> sw = simhost::get_floats(kSystemSw);
    system[28] = 0.3f;  // elevator trim
    sw[0] = 1.0f;       // left pack
    sw[96] = 1.0f;      // APU running
    sw[112] = 61.0f;    // engine 1 N2
    sw[105] = 1.0f;     // engines running: the spool model then follows the restored N2
    sw[106] = 1.0f;
    simhost::set_floats(kSystem, system);
    simhost::set_floats(kSystemSw, sw);
    simhost::set_float("zuvadud/D738/load_save", c.load_save);
    simhost::frame(1.0f / 30.0f);
    const float expect_pack = c.restored ? 1.0f : 0.0f;
    EXPECT_EQ(simhost::get_float("zuvadud/D738/air/l_pack_pos"), expect_pack) << c.load_save;
    if (c.restored) {
      EXPECT_FLOAT_EQ(simhost::get_float("sim/cockpit2/controls/elevator_trim"), 0.3f);
      EXPECT_EQ(simhost::get_int("sim/cockpit/engine/APU_running"), 1);
      EXPECT_FLOAT_EQ(simhost::get_floats("sim/flightmodel/engine/ENGN_N2_")[0], 61.0f);
      EXPECT_FLOAT_EQ(simhost::get_float("zuvadud/D738/engine/indicators/N2_percent_1"), 61.0f);
    }
    // Saving goes on from the restored cockpit once the scripts lower the flag.
    simhost::set_float("zuvadud/D738/load_save", 0.0f);
    simhost::frame(1.0f / 30.0f);
    EXPECT_EQ(simhost::get_floats(kSystemSw)[0], expect_pack) << c.load_save;
    EXPECT_TRUE(simhost::problems().empty()) << simhost::problems().front();
  }
}

TEST_F(CockpitState, GlareElementCarriesTheN1SetSource) {
  load(0, 0.0f);
  std::vector<float> glare(15);
  for (int i = 0; i < 15; ++i) glare[i] = static_cast<float>(i + 1);
  simhost::set_floats("zuvadud/D738/glare_sw", glare);
  simhost::set_float("zuvadud/D738/toggle_switch/n1_set_source", -2.0f);
  simhost::frames(2, 1.0f / 30.0f);
  std::vector<float> expect = glare;
  expect[14] = -2.0f;
  EXPECT_EQ(simhost::get_floats("zuvadud/D738/glare_sw"), expect);
}

// The scripts' arrays a saved situation gives back.
const char* const kSavedArrays[] = {
    kSystem, kSystemSw, "zuvadud/D738/glare_sw", "zuvadud/D738/antiice", "zuvadud/D738/antiice_sw",
    "zuvadud/D738/fire", "zuvadud/D738/fire_sw", "zuvadud/D738/cover", "zuvadud/D738/cover_tgt",
    "zuvadud/D738/lights", "zuvadud/D738/lights_sw", "zuvadud/D738/global", "zuvadud/D738/failure/hydraulic"};

// Every number the plug-in publishes, by name and element.
std::map<std::string, double> published_numbers() {
  std::map<std::string, double> out;
  for (const simhost::DatarefInfo& d : simhost::plugin_datarefs()) {
    std::vector<double> v(static_cast<size_t>(d.size > 0 ? d.size : 1));
    const int n = simhost::read_numbers(simhost::dataref_slot(d.name), v.data(), static_cast<int>(v.size()));
    for (int k = 0; k < n; ++k) out[d.name + "[" + std::to_string(k) + "]"] = v[static_cast<size_t>(k)];
  }
  return out;
}

// A flight saved in one session and loaded, paused, into a fresh one: the
// plug-in sets its cockpit up before the restore, so nothing the saved
// flight showed (audio panels, brightness, standby altimeter setting, trim
// switches, N1 bugs, V-speeds, cabin and spill lights) reads 0 once it runs,
// and the failure saved with it stays set.
TEST_F(CockpitState, AFreshSessionsPausedLoadSetsTheCockpitUpBeforeTheRestore) {
  const int frames = 220;  // 22 s in each session
  const float dt = 0.1f;
  load(1, 0.0f);
  powered();
  simhost::frames(frames, dt);
  ASSERT_TRUE(simhost::set_floats("zuvadud/D738/failure/hydraulic", {1.0f}, 3));
  std::vector<std::vector<float>> saved;
  for (const char* a : kSavedArrays) saved.push_back(simhost::get_floats(a));
  const std::map<std::string, double> before = published_numbers();

  load(1, 0.0f);
  powered();
  for (size_t i = 0; i < saved.size(); ++i) ASSERT_TRUE(simhost::set_floats(kSavedArrays[i], saved[i]));
  simhost::set_int("sim/time/paused", 1);
  simhost::set_float("zuvadud/D738/load_save", 4.0f);
  simhost::frames(10, dt);
  simhost::set_float("zuvadud/D738/load_save", 0.0f);
  simhost::frames(10, dt);
  simhost::set_int("sim/time/paused", 0);
  simhost::frames(frames - 20, dt);
  std::string lost;
  for (const auto& [name, value] : published_numbers()) {
    if (value == 0.0 && before.at(name) != 0.0) lost += " " + name;
  }
  EXPECT_EQ(lost, "");
  EXPECT_EQ(simhost::get_floats("zuvadud/D738/failure/hydraulic")[3], 1.0f);
  EXPECT_TRUE(simhost::problems().empty()) << simhost::problems().front();
}

}  // namespace
