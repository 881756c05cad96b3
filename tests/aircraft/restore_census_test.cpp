// The restore census: every slot of every array the plug-in saves for the
// scripts, and every position of the saved panel string, restored from a
// sound save with one value damaged (beyond its travel, between its
// positions, the magnitudes a corrupted file holds), with the cockpit at one
// end of every travel on the ground and at the other in the air. The travels
// are the saved slots' rows of tools/travels.tsv; a slot that carries a value and
// has no row there fails here, and so does a save the plug-in itself writes
// (after each of its commands, in the states its systems reach) that lies
// beyond the table or does not load again with nothing dropped.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "aircraft/panel_state.h"
#include "aircraft/state_arrays.h"
#include "bind_for_test.h"
#include "commands/registration.h"
#include "core/binding.h"
#include "core/preprocess_values.h"
#include "host.h"
#include "engines/engine_values.h"
#include "systems/fire/fire.h"
#include "systems/fire/fire_values.h"
#include "systems/flight_controls/flight_control_values.h"
#include "systems/ice_rain/anti_ice.h"
#include "systems/lights/lights.h"
#include "systems/systems_steps.h"
#include "travel_table.h"

namespace {

const std::string kTable = travel_table::kPath;

struct Row {
  std::string array;
  int slot = 0;
  float lo = 0.0f, hi = 0.0f, step = 0.0f;
  std::string damaged;
};

// The saved slots' rows of the one table, each with its travel (a control's
// slot its control's).
std::vector<Row> read_table() {
  std::vector<Row> rows;
  const travel_table::Table t = travel_table::read(CORVANE_SOURCE_DIR);
  for (const std::string& e : t.errors) ADD_FAILURE() << e;
  for (const travel_table::Slot& s : t.slots) rows.push_back({s.array, s.slot, s.lo, s.hi, s.step, s.damaged});
  return rows;
}

struct SavedArray {
  const char* name;  // as in the table
  int size;
  int first_own;  // the elements before it are the scripts' own
};
const SavedArray kArrays[] = {{"system", 200, 0},  {"system_sw", 200, 0}, {"fire", 20, 0},   {"fire_sw", 20, 0},
                              {"antiice", 30, 0},  {"antiice_sw", 30, 0}, {"cover", 32, 0},  {"cover_tgt", 32, 0},
                              {"lights", 20, 0},   {"lights_sw", 20, 0},  {"glare_sw", 15, 14}};
constexpr int kPanelPositions = 131;

std::string dataref(const std::string& array) { return "zuvadud/D738/" + array; }

using Images = std::map<std::string, std::vector<float>>;

// Whether a value may stand where the row says, and the position it takes.
bool on_travel(const Row& r, float v) {
  if (!(v >= r.lo && v <= r.hi)) return false;
  if (r.step <= 0.0f) return true;
  const float k = (v - r.lo) / r.step;
  return k == std::floor(k);
}
bool restorable(const Row& r, float v) {
  if (!(v >= r.lo && v <= r.hi)) return false;
  return r.damaged != "dropped" || on_travel(r, v);
}

class RestoreCensus : public ::testing::Test {
 protected:
  void SetUp() override {
    simhost::reset();
    rebind_datarefs();
    register_commands();
    rows_ = read_table();
  }
  void TearDown() override { simhost::reset(); }

  // The load's restore as the frame runs it, and the save after it.
  static void restore() {
    read_glare_switches();
    restore_anti_ice_state();
    restore_fire_state();
    read_cover_arrays();
    restore_lights_state();
    restore_cockpit_state();
  }
  static Images save() {
    save_cockpit_state();
    save_anti_ice_state();
    save_fire_state();
    write_cover_array();
    save_lights_state();
    sync_glare_switch();
    Images out;
    for (const SavedArray& a : kArrays) out[a.name] = simhost::get_floats(dataref(a.name));
    return out;
  }
  static void put(const Images& images) {
    for (const auto& [name, values] : images) simhost::set_floats(dataref(name), values);
  }
  static int drop_lines() {
    int n = 0;
    for (const std::string& l : simhost::log_lines()) n += l.find("beyond their control's travel") != std::string::npos;
    return n;
  }
  static void new_load() {
    simhost::clear_log();
    state_restore_drop_logged = 0;
  }

  // A sound save with every row at one end of its travel.
  Images sound_save(bool high) const {
    Images s;
    for (const SavedArray& a : kArrays) s[a.name] = std::vector<float>(a.size, 0.0f);
    for (const Row& r : rows_) {
      if (r.array != "state_cmd") s.at(r.array).at(r.slot) = high ? r.hi : r.lo;  // a row beyond the arrays throws
    }
    return s;
  }

  // The values of the image beyond the travels of the table, "" when none.
  std::string beyond_travel(const Images& image) const {
    std::string out;
    for (const Row& r : rows_) {
      if (r.array == "state_cmd") continue;
      const float v = image.at(r.array).at(r.slot);
      if (!on_travel(r, v)) out += " " + r.array + "[" + std::to_string(r.slot) + "]=" + std::to_string(v);
    }
    return out;
  }
  static std::string differences(const Images& got, const Images& want) {
    std::string out;
    for (const auto& [name, values] : want) {
      const std::vector<float>& g = got.at(name);
      for (size_t k = 0; k < values.size(); ++k) {
        if (!(g[k] == values[k])) out += " " + name + "[" + std::to_string(k) + "]=" + std::to_string(g[k]);
      }
    }
    return out;
  }

  std::vector<Row> rows_;
};

// Every row at the values a damaged save holds: what lies within its travel
// comes back on it, what does not is dropped with one line, the next save
// carries nothing beyond a travel, and that save restores without the line.
TEST_F(RestoreCensus, EverySlotWithinItsTravel) {
  for (bool flight : {false, true}) {
    on_ground = flight ? 0 : 1;
    const Images sound = sound_save(flight);
    put(sound);
    restore();
    put(sound);
    new_load();
    restore();
    // Every row at that end of its travel is a sound save: nothing dropped.
    EXPECT_EQ(drop_lines(), 0) << "every row at its " << (flight ? "upper" : "lower") << " end (" << kTable << ")";
    const Images reference = save();
    ASSERT_EQ(beyond_travel(reference), "") << (flight ? "in flight" : "at the gate");
    for (const Row& r : rows_) {
      if (r.array == "state_cmd") continue;
      const float s = r.step > 0.0f ? r.step : (r.hi - r.lo) / 8.0f;
      for (float bad : {1e30f, -1e30f, 2147483647.0f, -1.0f, 0.37f, 0.4f, 0.6f, 0.51f, 0.99f, 3.0f, 7.0f, -3.0f, 95.0f,
                        1.6f, 9999.0f, -9999.0f, 60000.0f, r.lo - s, r.hi + s, r.lo + 0.37f * s, r.lo + 0.49f * s,
                        r.lo + 0.5f * s, r.lo + 0.51f * s}) {
        const std::string what = r.array + "[" + std::to_string(r.slot) + "] at " + std::to_string(bad) +
                                 (flight ? " in flight" : " at the gate") + " (" + kTable + ")";
        // The cockpit as the sound save left it, then the damaged save.
        put(sound);
        restore();
        const Images before = save();
        Images damaged = sound;
        damaged.at(r.array).at(r.slot) = bad;
        put(damaged);
        new_load();
        restore();
        const Images image = save();
        EXPECT_EQ(beyond_travel(image), "") << what;
        if (restorable(r, bad)) {
          EXPECT_EQ(drop_lines(), 0) << what;
        } else {
          EXPECT_EQ(differences(image, before), "") << what;
          EXPECT_EQ(drop_lines(), 1) << what;
        }
        put(image);
        new_load();
        restore();
        EXPECT_EQ(drop_lines(), 0) << "its own save, after " << what;
      }
    }
  }
}

// The values the plug-in itself reaches: every command pressed in turn (its
// begin, then its end), and the cockpit saved after each. The save lies
// within the table's travels and loads again with nothing dropped; then the
// systems' own states the commands do not reach: the autobrake braking on a
// landing and in a rejected take-off, its self-test finished, the start
// selectors and the APU fire handle on their way.
TEST_F(RestoreCensus, WhatThePluginReachesComesBack) {
  const auto check = [this](const std::string& what) {
    const Images image = save();
    EXPECT_EQ(beyond_travel(image), "") << what << " (" << kTable << ")";
    put(image);
    new_load();
    restore();
    EXPECT_EQ(drop_lines(), 0) << what << ", saved and loaded again";
    EXPECT_EQ(differences(save(), image), "") << what << ", saved and loaded again";
  };
  for (bool flight : {false, true}) {
    on_ground = flight ? 0 : 1;
    put(sound_save(false));
    restore();
    for (const simhost::CommandInfo& c : simhost::plugin_commands()) {
      simhost::command_begin(c.name);
      check(c.name + " pressed" + (flight ? " in flight" : " at the gate"));
      simhost::command_end(c.name);
      check(c.name + " released" + (flight ? " in flight" : " at the gate"));
    }
  }
  const struct {
    const char* what;
    float* value;
    float at;
  } reached[] = {
      {"the landing autobrake braking", &autobrake::autobrake_arm, 2.0f},
      {"the rejected take-off autobrake braking", &autobrake::autobrake_RTO_arm, 2.0f},
      {"the autobrake self-test finished", &autobrake::autobrake_RTO_test, 2.0f},
      {"the start selector 1 turning", &engine::starter1_pos2, 0.6f},
      {"the start selector 2 turning", &engine::starter2_pos2, 0.3f},
  };
  for (const auto& r : reached) {
    put(sound_save(false));
    restore();
    *r.value = r.at;
    check(r.what);
    EXPECT_EQ(*r.value, r.at) << r.what << ", saved and loaded again";
  }
  // The APU fire handle half out on its way to pulled, and half turned.
  put(sound_save(false));
  restore();
  fire_state.fire_handle_arm_target[fire_handle_apu] = 1.0f;
  fire_state.fire_handle_turn_target[fire_handle_apu] = -1.0f;
  fire::apu_ext_switch_pos_arm = 0.6f;
  fire::apu_ext_switch_pos_disch = -0.51f;
  const Images image = save();
  EXPECT_EQ(beyond_travel(image), "") << "the APU fire handle on its way (" << kTable << ")";
  put(image);
  new_load();
  restore();
  EXPECT_EQ(drop_lines(), 0) << "the APU fire handle on its way, saved and loaded again";
  EXPECT_EQ(fire_state.fire_handle_arm_target[fire_handle_apu], 1.0f);
  EXPECT_EQ(fire_state.fire_handle_turn_target[fire_handle_apu], -1.0f);
}

// A slot that carries a saved value into the cockpit has a row in the table.
TEST_F(RestoreCensus, EverySlotThatCarriesAValueHasATravel) {
  std::map<std::string, std::vector<bool>> listed;
  for (const SavedArray& a : kArrays) listed[a.name] = std::vector<bool>(a.size, false);
  listed["state_cmd"] = std::vector<bool>(kPanelPositions, false);
  for (const Row& r : rows_) {
    ASSERT_TRUE(listed.count(r.array)) << r.array << " in " << kTable;
    ASSERT_LT(r.slot, static_cast<int>(listed[r.array].size())) << r.array << " in " << kTable;
    listed[r.array][r.slot] = true;
  }
  const Images sound = sound_save(false);
  for (const SavedArray& a : kArrays) {
    for (int k = a.first_own; k < a.size; ++k) {
      if (listed[a.name][k]) continue;
      for (float probe : {1.0f, 0.5f, -1.0f, 2.0f, 7.0f}) {
        put(sound);
        restore();
        const Images before = save();
        Images one = sound;
        one[a.name][k] = probe;
        put(one);
        restore();
        EXPECT_EQ(differences(save(), before), "")
            << a.name << "[" << k << "] carries a saved value but has no travel in " << kTable;
      }
    }
  }
  // The string's positions 73-91 are the scripts' own.
  std::string panel(kPanelPositions, '0');
  const auto apply = [](const std::string& s) {
    std::string bytes = s;
    bytes.resize(panel_state_field_bytes, '\0');
    simhost::set_bytes("zuvadud/D738/state_cmd", bytes);
    apply_panel_state();
  };
  put(sound);
  restore();
  for (int p = 0; p < kPanelPositions; ++p) {
    if (listed["state_cmd"][p] || (p >= 73 && p <= 91)) continue;
    for (char ch : {'1', '2', '3', '6', 'x'}) {
      std::string one = panel;
      one[p] = ch;
      apply(panel);
      const Images before = save();
      apply(one);
      EXPECT_EQ(differences(save(), before), "")
          << "panel position " << p << " carries a saved value but has no travel in " << kTable;
    }
  }
}

// Every position of the panel string at every character: each control it
// sets stands within its travel.
TEST_F(RestoreCensus, EveryPanelPositionWithinItsTravel) {
  const Images sound = sound_save(false);
  put(sound);
  restore();
  std::string panel(kPanelPositions, '0');
  for (const Row& r : rows_) {
    if (r.array != "state_cmd") continue;
    for (char ch : {'0', '1', '2', '3', '4', '5', '6', '7', '9', 'x', '/', ' '}) {
      std::string one = panel;
      one[r.slot] = ch;
      one.resize(panel_state_field_bytes, '\0');
      simhost::set_bytes("zuvadud/D738/state_cmd", one);
      apply_panel_state();
      EXPECT_EQ(beyond_travel(save()), "") << "panel position " << r.slot << " at '" << ch << "' (" << kTable << ")";
    }
  }
}

}  // namespace
