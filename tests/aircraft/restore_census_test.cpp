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
#include <functional>
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
#include "systems/gear_brakes/autobrake_state.h"
#include "systems/flight_controls/flight_control_values.h"
#include "systems/instruments/instrument_values.h"
#include "systems/ice_rain/anti_ice.h"
#include "systems/lights/lights.h"
#include "systems/switches/switch_memory.h"
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

  // The aircraft at the gate (at sea level, on its wheels) or in flight at
  // FL200, as the host shows it to a restore.
  static void set_phase(bool flight) {
    on_ground = flight ? 0 : 1;
    const int wheels = flight ? 0 : 1;
    simhost::set_ints("sim/flightmodel2/gear/on_ground", {wheels, wheels, wheels});
    simhost::set_float("sim/weather/barometer_current_inhg", flight ? kFl200Inhg : 29.92f);
  }
  static constexpr float kFl200Inhg = 13.75f;

  // A sound save with every row at one end of its travel, its groups
  // agreeing: the handles turned only pulled out, the bottles fired emptying,
  // and the cabin as the phase set has it: at the field at the gate, at 8,000 ft and 4.2 psi climbing
  // at FL200.
  Images sound_save(bool high) const {
    Images s;
    for (const SavedArray& a : kArrays) s[a.name] = std::vector<float>(a.size, 0.0f);
    for (const Row& r : rows_) {
      if (r.array != "state_cmd") s.at(r.array).at(r.slot) = high ? r.hi : r.lo;  // a row beyond the arrays throws
    }
    // The engine fire handles' turns stand only with the handles out.
    if (!high) {
      for (int k : {14, 15}) s.at("fire").at(k) = 0.0f;
      for (int k : {3, 4, 5}) s.at("fire_sw").at(k) = 0.0f;
    } else {
      // Every bottle fired, so every one is emptying.
      for (int k : {6, 7, 8}) s.at("fire_sw").at(k) = 300.0f;
      // The autobrake at MAX: no RTO armed or under test with it.
      for (int k : {6, 7}) s.at("system").at(k) = 0.0f;
    }
    const bool flight = on_ground == 0;
    s.at("system").at(kCabinRate) = flight ? 300.0f : 0.0f;
    s.at("system").at(kCabinAlt) = flight ? 8000.0f : 0.0f;
    s.at("system").at(kCabinDiff) = flight ? 4.2f : 0.0f;
    return s;
  }
  static constexpr int kCabinRate = 82, kCabinAlt = 83, kCabinDiff = 84;

  // The slots restored as one whole: each within its travel, together they
  // may contradict each other (no command reaches the combination), and the
  // group is then settled with the load's one line. The fire handles and
  // bottles; the cabin's rate, altitude and differential; the parking brake
  // lever and its engagement; the autobrake selector and its flags.
  static bool in_group(const Row& r) {
    if (r.array == "fire" || r.array == "fire_sw") return true;
    if (r.array == "system") {
      for (int k : {82, 83, 84, 6, 7, 8, 9, 10, 67})
        if (r.slot == k) return true;
    }
    return r.array == "system_sw" && (r.slot == 84 || r.slot == 85 || r.slot == 40);
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
    set_phase(flight);
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
          // Within its travel it comes back, or its group is settled whole.
          if (!in_group(r)) {
            EXPECT_EQ(drop_lines(), 0) << what;
          }
          EXPECT_LE(drop_lines(), 1) << what;
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
    set_phase(flight);
    put(sound_save(false));
    restore();
    for (const simhost::CommandInfo& c : simhost::plugin_commands()) {
      simhost::command_begin(c.name);
      check(c.name + " pressed" + (flight ? " in flight" : " at the gate"));
      simhost::command_end(c.name);
      check(c.name + " released" + (flight ? " in flight" : " at the gate"));
    }
  }
  // Each with the autobrake selector where the state is reached (the sound
  // save's RTO, or setting 2 for a landing).
  const struct {
    const char* what;
    float* value;
    float at;
    float selector;
  } reached[] = {
      {"the landing autobrake braking", &autobrake::autobrake_arm, 2.0f, autobrake_pos_value(AutobrakePos::two)},
      {"the rejected take-off autobrake braking", &autobrake::autobrake_RTO_arm, 2.0f,
       autobrake_pos_value(AutobrakePos::rto)},
      {"the autobrake self-test finished", &autobrake::autobrake_RTO_test, 2.0f, autobrake_pos_value(AutobrakePos::rto)},
      {"the start selector 1 turning", &engine::starter1_pos2, 0.6f, autobrake_pos_value(AutobrakePos::rto)},
      {"the start selector 2 turning", &engine::starter2_pos2, 0.3f, autobrake_pos_value(AutobrakePos::rto)},
  };
  for (const auto& r : reached) {
    put(sound_save(false));
    restore();
    place_autobrake_selector(static_cast<AutobrakePos>(static_cast<int>(r.selector)));
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

// Each group of slots restored as one whole, from a sound save of the phase
// (the fire handles in with their bottles full, the cabin as the phase has
// it, the parking brake off, the autobrake at RTO unarmed) with a few slots
// changed, every one within its travel: a combination the aircraft reaches
// comes back with nothing dropped; one it never reaches is settled: the fire
// protection as it stood and the cabin from the aircraft's state, with the
// load's one line; the parking brake's engagement with its lever and the
// autobrake reset at OFF, as the aircraft settles them itself. Its save then
// loads again with nothing dropped.
TEST_F(RestoreCensus, EachGroupRestoredAsOneWhole) {
  using Slots = std::vector<std::pair<std::pair<const char*, int>, float>>;
  const auto fire_untouched = [] {
    return fire_state.fire_handle_arm_target[0] == 0.0f && fire_state.fire_handle_turn_target[0] == 0.0f &&
           fire_state.bottle_fired[0] == 0.0f && fire_state.bottle_fired[2] == 0.0f &&
           fire::apu_ext_switch_pos_disch == 0.0f && fire::engine01_02L_ext_bottle_psi == 600.0f &&
           fire::apu_ext_bottle_psi == 600.0f;
  };
  const auto cabin_at = [](float alt_ft, float diff_psi, float rate) {
    return [=] {
      return std::fabs(cockpit::cabin_altitude_actual - alt_ft) < 300.0f &&
             std::fabs(cockpit::cabin_pressure_diff - diff_psi) < 0.3f && std::fabs(cockpit::cabin_vvi - rate) < 1.0f;
    };
  };
  const auto parked = [](float lever) {
    return [=] { return cockpit::parking_brake_pos == lever && lever_commands.park_brake_engaged == lever; };
  };
  const auto autobrake_reset = [] {
    return autobrake::autobrake_arm == 0.0f && autobrake::autobrake_RTO_arm == 0.0f &&
           autobrake::autobrake_RTO_test == 0.0f && autobrake::autobrake_disarm == 0.0f &&
           autobrake_brake_value == 0.0f;
  };
  const struct {
    const char* what;
    bool flight;
    Slots slots;
    int lines;
    std::function<bool()> then;
  } rows[] = {
      // The fire handles and bottles.
      {"engine 1's handle turned, stowed", false, {{{"fire", 14}, -1.0f}}, 1, fire_untouched},
      {"engine 1's handle turned, stowed", true, {{{"fire", 14}, -1.0f}}, 1, fire_untouched},
      {"the left bottle fired, every handle in", false, {{{"fire", 16}, 1.0f}}, 1, fire_untouched},
      {"the left bottle fired, every handle in", true, {{{"fire", 16}, 1.0f}}, 1, fire_untouched},
      {"the APU's handle turned, not pulled", false, {{{"fire_sw", 5}, 1.0f}}, 1, fire_untouched},
      {"the APU's handle turned, not pulled", true, {{{"fire_sw", 5}, -1.0f}}, 1, fire_untouched},
      {"the APU's fire latch, its bottle full", true, {{{"fire_sw", 11}, 1.0f}}, 1, fire_untouched},
      {"engine 1's handle pulled and turned, the left bottle fired", true,
       {{{"fire", 11}, 1.0f}, {{"fire", 14}, -1.0f}, {{"fire", 16}, 1.0f}, {{"fire_sw", 0}, 1.0f}, {{"fire_sw", 3}, -1.0f}},
       0, [] { return fire_state.bottle_fired[0] == 1.0f && fire_state.fire_handle_turn_target[0] == -1.0f; }},
      {"the left bottle still emptying after the handle went in", true,
       {{{"fire", 16}, 1.0f}, {{"fire_sw", 6}, 250.0f}}, 0, [] { return fire_state.bottle_fired[0] == 1.0f; }},
      // The cabin.
      {"the cabin at 24,000 ft", false, {{{"system", 83}, 24000.0f}}, 1, cabin_at(0.0f, 0.0f, 0.0f)},
      {"the cabin at 24,000 ft", true, {{{"system", 83}, 24000.0f}}, 1,
       [] { return cockpit::cabin_altitude_actual < 20000.0f && cockpit::cabin_pressure_diff > 0.0f; }},
      {"the cabin at -2,000 ft", false, {{{"system", 83}, -2000.0f}}, 1, cabin_at(0.0f, 0.0f, 0.0f)},
      {"the cabin at 10.2 psi", false, {{{"system", 84}, 10.2f}}, 1, cabin_at(0.0f, 0.0f, 0.0f)},
      {"the cabin descending at 4,000 ft/min", false, {{{"system", 82}, -4000.0f}}, 1, cabin_at(0.0f, 0.0f, 0.0f)},
      {"the cabin pre-pressurised on the roll", false,
       {{{"system", 83}, -150.0f}, {{"system", 84}, 0.08f}, {{"system", 82}, -300.0f}}, 0,
       cabin_at(-150.0f, 0.08f, -300.0f)},
      {"the cabin descending at 4,000 ft/min", true, {{{"system", 82}, -4000.0f}}, 0, cabin_at(8000.0f, 4.2f, -4000.0f)},
      // The parking brake.
      {"the parking brake engaged, its lever released", false, {{{"system_sw", 85}, 1.0f}}, 0, parked(0.0f)},
      {"the parking brake engaged, its lever released", true, {{{"system_sw", 85}, 1.0f}}, 0, parked(0.0f)},
      {"the parking brake lever set, not engaged", false, {{{"system_sw", 84}, 1.0f}}, 0, parked(1.0f)},
      {"the parking brake lever set, not engaged", true, {{{"system_sw", 84}, 1.0f}}, 0, parked(1.0f)},
      {"the parking brake set", false, {{{"system_sw", 84}, 1.0f}, {{"system_sw", 85}, 1.0f}}, 0, parked(1.0f)},
      // The autobrake.
      {"the selector OFF, the landing autobrake armed", false, {{{"system_sw", 40}, 1.0f}, {{"system", 67}, 1.0f}}, 0,
       autobrake_reset},
      {"the selector OFF, the landing autobrake braking", false,
       {{{"system_sw", 40}, 1.0f}, {{"system", 67}, 2.0f}, {{"system", 9}, 0.9f}}, 0, autobrake_reset},
      {"the selector OFF, the RTO braking", false,
       {{{"system_sw", 40}, 1.0f}, {{"system", 6}, 2.0f}, {{"system", 9}, 0.9f}}, 0, autobrake_reset},
      {"the selector OFF, DISARM", true, {{{"system_sw", 40}, 1.0f}, {{"system", 8}, 1.0f}}, 0, autobrake_reset},
      {"the selector OFF, the RTO self-test", false, {{{"system_sw", 40}, 1.0f}, {{"system", 7}, 1.0f}}, 0,
       autobrake_reset},
      {"the selector at 3, the landing autobrake braking", false,
       {{{"system_sw", 40}, 4.0f}, {{"system", 67}, 2.0f}, {{"system", 9}, 0.6f}}, 0,
       [] { return autobrake::autobrake_arm == 2.0f && autobrake_brake_value == 0.6f; }},
  };
  for (const auto& r : rows) {
    const std::string what = std::string(r.what) + (r.flight ? " at FL200" : " at the gate");
    set_phase(r.flight);
    Images base = sound_save(false);
    for (int k : {6, 7, 8}) base.at("fire_sw").at(k) = 600.0f;
    base.at("system_sw").at(40) = 0.0f;
    put(base);
    restore();
    Images damaged = base;
    for (const auto& [at, v] : r.slots) damaged.at(at.first).at(at.second) = v;
    put(damaged);
    new_load();
    restore();
    EXPECT_EQ(drop_lines(), r.lines) << what;
    EXPECT_TRUE(r.then()) << what;
    const Images image = save();
    put(image);
    new_load();
    restore();
    EXPECT_EQ(drop_lines(), 0) << what << ", saved and loaded again";
  }
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
