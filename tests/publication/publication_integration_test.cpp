// The published datarefs' accessors as a reader in the host meets them: size
// queries, runs by offset, the two-view leg array, the service values, the
// dataref-editor announcements, the writers with logic and the plan list.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "battery_on.h"
#include "host.h"
#include "platform/xplm.h"
#include "publication/loaded_module.h"

namespace {

using Published = LoadedModule;
const std::string D = "zuvadud/D738/";

TEST_F(Published, NullBufferReadsAnswerTheDeclaredSize) {
  const std::pair<const char*, int> cases[] = {
      {"zuvadud/D738/fms/legs_lat", 256},  {"zuvadud/D738/nd/wpt_x", 20},
      {"zuvadud/D738/nd/wpt_id00w", 16},   {"zuvadud/D738/nd/apt_fo_id29", 6},
      {"corvane/Aircraft_Path", 512},      {"zuvadud/D738/corvane/filename_list", 4096},
  };
  for (const auto& [name, size] : cases) EXPECT_EQ(simhost::array_size(name), size) << name;
}

TEST_F(Published, LegAltitudeRestrictionTypeHasAFloatAndAnIntView) {
  const std::string name = D + "fms/legs_alt_rest_type";
  ASSERT_TRUE(simhost::set_floats(name, {2.7f, -2.7f}));
  XPLMDataRef h = XPLMFindDataRef(name.c_str());
  ASSERT_NE(h, nullptr);
  int ints[2] = {9, 9};
  ASSERT_EQ(XPLMGetDatavi(h, ints, 0, 2), 2);
  EXPECT_EQ(ints[0], 2);
  EXPECT_EQ(ints[1], -2);

  int written[3] = {3, -4, 7};
  XPLMSetDatavi(h, written, 5, 3);
  const std::vector<float> back = simhost::get_floats(name);
  ASSERT_EQ(back.size(), 256u);
  EXPECT_EQ(back[5], 3.0f);
  EXPECT_EQ(back[6], -4.0f);
  EXPECT_EQ(back[7], 7.0f);
  EXPECT_EQ(back[8], 0.0f);

  struct Run {
    int offset, max, answer;
  };
  const Run runs[] = {{250, 10, 6}, {256, 10, 0}, {0, 300, 256}, {-1, 10, 0}, {10, 0, 0}, {10, -5, 0}};
  for (const auto& r : runs) {
    float out[300];
    int out_i[300];
    EXPECT_EQ(XPLMGetDatavf(h, out, r.offset, r.max), r.answer) << r.offset << "," << r.max;
    EXPECT_EQ(XPLMGetDatavi(h, out_i, r.offset, r.max), r.answer) << r.offset << "," << r.max;
  }
}

TEST_F(Published, ArrayWritesKeepInsideTheArray) {
  const std::string name = D + "fms/legs_lat";
  std::vector<float> many(300, 1.5f);
  ASSERT_TRUE(simhost::set_floats(name, many));
  const auto back = simhost::get_floats(name);
  ASSERT_EQ(back.size(), 256u);
  EXPECT_EQ(back[255], 1.5f);
  ASSERT_TRUE(simhost::set_floats(name, {9.0f, 9.0f}, 255));
  ASSERT_TRUE(simhost::set_floats(name, {7.0f}, 256));
  ASSERT_TRUE(simhost::set_floats(name, {7.0f}, -1));
  const auto after = simhost::get_floats(name);
  EXPECT_EQ(after[255], 9.0f);
  EXPECT_EQ(after[0], 1.5f);
}

TEST_F(Published, ByteStringsNeverReadPastTheirLength) {
  const std::string path = simhost::get_bytes("corvane/Xplane_Path");
  ASSERT_EQ(path.size(), 512u);
  EXPECT_EQ(simhost::get_text("corvane/Xplane_Path"), simhost::root());
  XPLMDataRef h = XPLMFindDataRef("zuvadud/D738/corvane/filename_list");
  char buf[5000];
  EXPECT_EQ(XPLMGetDatab(h, buf, 4000, 1000), 96);
  EXPECT_EQ(XPLMGetDatab(h, buf, 4096, 10), 0);
  EXPECT_EQ(XPLMGetDatab(h, buf, -3, 10), 0);
}

TEST_F(Published, EngineModelCoefficientsStartAtTheirValuesAndKeepWrites) {
  const std::pair<const char*, float> start[] = {
      {"sfc", 0.034597f},     {"idle_sfc", 0.5f},      {"reverse_coef", 0.23f}, {"curve02_type", 0.0f},
      {"curve02_coef1", 4.1f}, {"curve02_coef2", 2.47f}, {"curve02_coef3", 27300.0f}, {"curve02_coef4", 0.0f},
      {"curve02_coef5", 0.0f}, {"curve02_coef6", 0.0f},  {"static_thrust", 27500.0f}, {"bypass", 0.85f},
      {"inlet", 0.7f},         {"shock_mach", 0.85f},
  };
  for (const auto& [leaf, value] : start) {
    const std::string name = std::string("corvane/engine_model/") + leaf;
    EXPECT_EQ(simhost::get_float(name), value) << name;
    ASSERT_TRUE(simhost::set_float(name, -123.25f));
  }
  simhost::frames(2, 1.0f / 30);
  for (const auto& [leaf, value] : start)
    EXPECT_EQ(simhost::get_float(std::string("corvane/engine_model/") + leaf), -123.25f) << leaf;
}

TEST_F(Published, MagneticVariationIsComputedOncePerRequest) {
  simhost::set_magnetic_variation([](double lat, double lon) { return static_cast<float>(lat - lon / 10.0); });
  const int before = simhost::magnetic_variation_calls();
  EXPECT_EQ(simhost::get_float("corvane/mag_var"), 0.0f);  // idle: the cache, no host call
  ASSERT_TRUE(simhost::set_double("corvane/lat_mag_var", 47.5));
  ASSERT_TRUE(simhost::set_double("corvane/lon_mag_var", -122.0));
  ASSERT_TRUE(simhost::set_double("corvane/calc_mag_var", 0.1));
  EXPECT_EQ(simhost::get_double("corvane/calc_mag_var"), static_cast<double>(0.1f));
  EXPECT_EQ(simhost::magnetic_variation_calls(), before);
  EXPECT_FLOAT_EQ(simhost::get_float("corvane/mag_var"), 59.7f);
  EXPECT_EQ(simhost::magnetic_variation_calls(), before + 1);
  EXPECT_EQ(simhost::get_double("corvane/calc_mag_var"), 0.0);
  ASSERT_TRUE(simhost::set_double("corvane/lat_mag_var", 10.0));  // no new request: cached answer
  EXPECT_FLOAT_EQ(simhost::get_float("corvane/mag_var"), 59.7f);
  EXPECT_EQ(simhost::magnetic_variation_calls(), before + 1);
  ASSERT_TRUE(simhost::set_double("corvane/calc_mag_var", std::nan("")));  // any non-zero flag asks
  EXPECT_FLOAT_EQ(simhost::get_float("corvane/mag_var"), 22.2f);
  EXPECT_EQ(simhost::magnetic_variation_calls(), before + 2);
}

TEST_F(Published, EachNameIsAnnouncedOnceAfterOneSecond) {
  simhost::set_dataref_editor(true);
  simhost::frames(3, 0.3f);  // 0.9 s
  EXPECT_TRUE(simhost::dataref_editor_names().empty());
  simhost::frames(1, 0.1f);  // 1.0 s
  std::map<std::string, int> sent;
  for (const auto& n : simhost::dataref_editor_names()) ++sent[n];
  for (const auto& m : simhost::sent_messages()) {
    EXPECT_EQ(m.to, simhost::kDatarefEditorId);
    EXPECT_EQ(m.message, 0x01000000);
  }
  const auto live = simhost::plugin_datarefs();
  ASSERT_EQ(sent.size(), live.size());
  for (const auto& d : live) EXPECT_EQ(sent[d.name], 1) << d.name;
  simhost::frames(20, 0.5f);
  EXPECT_EQ(simhost::dataref_editor_names().size(), live.size());
  simhost::stop();
  EXPECT_EQ(simhost::registrations().total(), 0);
}

TEST_F(Published, WithoutTheEditorNothingIsSent) {
  simhost::frames(10, 0.5f);
  EXPECT_TRUE(simhost::sent_messages().empty());
  EXPECT_TRUE(simhost::dataref_editor_names().empty());
}

// ---- writes ------------------------------------------------------------------

TEST_F(Published, ReadOnlyAndWriterlessDatarefsKeepTheirValues) {
  const std::string ro = D + "nd/tc_x";
  XPLMDataRef h = XPLMFindDataRef(ro.c_str());
  ASSERT_NE(h, nullptr);
  XPLMSetDataf(h, 5.0f);
  EXPECT_EQ(simhost::get_float(ro), 0.0f);
  EXPECT_EQ(simhost::counts(ro).refused_writes, 1);
  simhost::clear_problems();

  EXPECT_TRUE(simhost::set_floats(D + "fms/legs_seg1_radius", {5.0f, 6.0f}));
  EXPECT_EQ(simhost::get_floats(D + "fms/legs_seg1_radius")[0], 0.0f);
  EXPECT_TRUE(simhost::set_floats(D + "nd/apt_x", {5.0f}, 3));
  EXPECT_EQ(simhost::get_floats(D + "nd/apt_x")[3], 0.0f);
  EXPECT_TRUE(simhost::set_float(D + "air/mix_valve1_700", 0.75f));
  EXPECT_EQ(simhost::get_float(D + "air/mix_valve1_700"), 0.0f);
  EXPECT_TRUE(simhost::problems().empty());
}

struct WriteCase {
  const char* name;
  float written;
  float stored;
};

TEST_F(Published, LimitingWritersStoreInsideTheirRange) {
  // The standby altimeter's knob, and a write of it, needs its display's power.
  simhost::frames(30, 1.0f / 30);
  battery_on();
  const WriteCase cases[] = {
      {"pressurization/knobs/landing_alt", 1234, 1250},
      {"pressurization/knobs/landing_alt", 20000, 13600},
      {"pressurization/knobs/landing_alt", -5000, -1000},
      {"pressurization/knobs/landing_alt", 50, 50},
      {"pressurization/knobs/landing_alt", 1, 0},
      {"pressurization/knobs/landing_alt", 26, 50},
      {"pressurization/knobs/landing_alt", -30, -50},
      {"pressurization/knobs/landing_alt", 6300.003f, 6300},
      {"knobs/standby_alt_baro", -5, 0},
      {"knobs/standby_alt_baro", 41, 40},
      {"knobs/standby_alt_baro", 12.5f, 12.5f},
      {"flt_ctrls/joy_pitch", 1.5f, 1},
      {"flt_ctrls/joy_roll", -2, -1},
      {"flt_ctrls/joy_heading", 0.25f, 0.25f},
      {"flt_ctrls/toe_left", 7, 1},
      {"flt_ctrls/toe_right", -1.01f, -1},
      {"flt_ctrls/nosewheel", -0.5f, -0.5f},
      {"axis/roll", 5, 1},
      {"nosewheel_steer_ratio", -4, -1},
      {"flt_ctrls/reverse_lever2", 3, 1},
      {"flt_ctrls/reverse_lever1", 0.019f, 0},
      {"flt_ctrls/reverse_lever1", 0.02f, 0},
      {"flt_ctrls/reverse_lever2", 0.021f, 0.021f},
      {"flt_ctrls/reverse_lever12", 0.5f, 0.5f},
      {"engine/thrust1_leveler", -0.2f, 0},
      {"engine/thrust2_leveler", 1.3f, 1},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(simhost::set_float(D + c.name, c.written)) << c.name;
    EXPECT_EQ(simhost::get_float(D + c.name), c.stored) << c.name << " <- " << c.written;
  }
  EXPECT_EQ(simhost::get_float(D + "flt_ctrls/reverse_lever1"), 0.5f);  // set by the joint lever
}

// Every writable switch, selector and knob of the cockpit with its travel: a
// write takes the nearest position, beyond the travel the end, and a NaN
// leaves it; those whose commands do more are written through them.
TEST_F(Published, WrittenSwitchesTakeTheirNearestPosition) {
  struct Travel {
    const char* name;
    int lo, hi;
  };
  const Travel switches[] = {
      {"air/isolation_valve_pos", 0, 2},          {"air/l_pack_pos", 0, 2},
      {"air/r_pack_pos", 0, 2},                   {"air/l_recirc_fan_pos", 0, 1},
      {"air/r_recirc_fan_pos", 0, 1},             {"air/trim_air_pos", 0, 1},
      {"air/temp/ctrl_700", 0, 1},                {"electrical/apu_gen1_pos", -1, 1},
      {"electrical/apu_gen2_pos", -1, 1},         {"electrical/gen1_pos", -1, 1},
      {"electrical/gen2_pos", -1, 1},             {"electrical/gpu_pos", -1, 1},
      {"engine/mixture_ratio1", 0, 1},            {"engine/mixture_ratio2", 0, 1},
      {"engine/starter1_pos", 0, 3},              {"engine/starter2_pos", 0, 3},
      {"fuel/fuel_tank_pos_ctr1", 0, 1},          {"fuel/fuel_tank_pos_ctr2", 0, 1},
      {"fuel/fuel_tank_pos_lft1", 0, 1},          {"fuel/fuel_tank_pos_lft2", 0, 1},
      {"fuel/fuel_tank_pos_rgt1", 0, 1},          {"fuel/fuel_tank_pos_rgt2", 0, 1},
      {"gear_lock_ovrd/position", 0, 1},          {"ice/eng1_heat_pos", 0, 1},
      {"ice/eng2_heat_pos", 0, 1},                {"ice/window_heat_l_fwd_pos", 0, 1},
      {"ice/window_heat_l_side_pos", 0, 1},       {"ice/window_heat_r_fwd_pos", 0, 1},
      {"ice/window_heat_r_side_pos", 0, 1},       {"ice/wing_heat_pos", 0, 1},
      {"knobs/cross_feed_pos", 0, 1},             {"switch/land_lights_left_pos", 0, 1},
      {"switch/land_lights_right_pos", 0, 1},     {"toggle_switch/adf_ant1", 0, 1},
      {"toggle_switch/adf_ant2", 0, 1},           {"toggle_switch/air_temp_source", 0, 6},
      {"toggle_switch/air_valve_ctrl", 0, 2},     {"toggle_switch/air_valve_manual", -1, 1},
      {"toggle_switch/alt_flaps_ctrl", -1, 1},    {"toggle_switch/bleed_air_1_pos", 0, 1},
      {"toggle_switch/bleed_air_2_pos", 0, 1},    {"toggle_switch/bleed_air_apu_pos", 0, 1},
      {"toggle_switch/cab_util_pos", 0, 1},       {"toggle_switch/capt_probes_pos", 0, 1},
      {"toggle_switch/fo_probes_pos", 0, 1},      {"toggle_switch/dspl_ctrl_pnl", -1, 1},
      {"toggle_switch/dspl_source", -1, 1},       {"toggle_switch/fmc_source", -1, 1},
      {"toggle_switch/el_trim_lock_pos", 0, 1},   {"toggle_switch/electric_hydro_pumps1_pos", 0, 1},
      {"toggle_switch/electric_hydro_pumps2_pos", 0, 1}, {"toggle_switch/hydro_pumps1_pos", 0, 1},
      {"toggle_switch/hydro_pumps2_pos", 0, 1},   {"toggle_switch/eng_start_source", -1, 1},
      {"toggle_switch/eq_cool_exhaust", 0, 1},    {"toggle_switch/eq_cool_supply", 0, 1},
      {"toggle_switch/flt_dk_door", -1, 1},       {"toggle_switch/fuel_flow_pos", -1, 1},
      {"toggle_switch/ife_pass_seat_pos", 0, 1},  {"toggle_switch/logo_light", 0, 1},
      {"toggle_switch/lower_du_capt", -1, 1},     {"toggle_switch/lower_du_fo", -1, 1},
      {"toggle_switch/main_pnl_du_capt", -1, 3},  {"toggle_switch/main_pnl_du_fo", -1, 3},
      {"toggle_switch/n1_set_source", -2, 1},     {"toggle_switch/no_smoking_pos", 0, 2},
      {"toggle_switch/off_on1", 0, 1},            {"toggle_switch/off_on2", 0, 1},
      {"toggle_switch/rwy_light_left", 0, 1},     {"toggle_switch/rwy_light_right", 0, 1},
      {"toggle_switch/service_interphone", 0, 1}, {"toggle_switch/spd_ref", 0, 6},
      {"toggle_switch/wheel_light", 0, 1},        {"toggle_switch/window_ovht_test", -1, 1},
      {"toggle_switch/wing_light", 0, 1},         {"toggle_switch/yaw_dumper_pos", 0, 1},
  };
  const float nan = std::numeric_limits<float>::quiet_NaN();
  for (const Travel& t : switches) {
    const float lo = static_cast<float>(t.lo), hi = static_cast<float>(t.hi);
    const std::pair<float, float> writes[] = {
        {hi + 2.5f, hi}, {lo - 3.0f, lo}, {lo + 0.6f, lo + 1.0f}, {lo + 0.4f, lo}, {nan, lo}};
    for (const auto& [written, stored] : writes) {
      ASSERT_TRUE(simhost::set_float(D + t.name, written)) << t.name;
      EXPECT_EQ(simhost::get_float(D + t.name), stored) << t.name << " <- " << written;
    }
  }
}

TEST_F(Published, ThrustLeversHandTheRatioToTheHostAtOnce) {
  const std::string ratio = "sim/cockpit2/engine/actuators/throttle_ratio";
  ASSERT_TRUE(simhost::set_float(D + "engine/thrust1_leveler", 0.4f));
  EXPECT_EQ(simhost::get_floats(ratio).at(0), 0.4f);
  // Both single levers moved one after the other before the next frame: the
  // second write carries the first one's value, not last frame's.
  ASSERT_TRUE(simhost::set_float(D + "engine/thrust2_leveler", 0.6f));
  EXPECT_EQ(simhost::get_floats(ratio, 2), (std::vector<float>{0.4f, 0.6f}));
  ASSERT_TRUE(simhost::set_float(D + "engine/thrust1_leveler", 0.5f));
  EXPECT_EQ(simhost::get_floats(ratio, 2), (std::vector<float>{0.5f, 0.6f}));
  ASSERT_TRUE(simhost::set_float(D + "engine/thrust2_leveler", 0.0f));
  ASSERT_TRUE(simhost::set_float(D + "engine/thrust1_leveler", 0.4f));
  ASSERT_TRUE(simhost::set_float(D + "throttle_override", 1.0f));
  ASSERT_TRUE(simhost::set_float(D + "engine/thrust12_leveler", 0.8f));
  EXPECT_EQ(simhost::get_floats(ratio, 2), (std::vector<float>{0.8f, 0.8f}));
  EXPECT_EQ(simhost::get_float(D + "engine/thrust1_leveler"), 0.4f);
  EXPECT_EQ(simhost::get_float(D + "engine/thrust2_leveler"), 0.0f);
}

TEST_F(Published, NoseWheelDeadZoneOnlyWithTheScriptsEffectAndNoOverride) {
  struct Case {
    float effect, override_, written, stored;
  };
  const Case cases[] = {
      {3, 0, 0.01f, 0},    {3, 0, 0.015f, 0},    {3, 0, -0.015f, 0}, {3, 0, 0.016f, 0.016f},
      {2, 0, 0.01f, 0.01f}, {3, 1, 0.01f, 0.01f}, {3, 0, 0.5f, 0.5f},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(simhost::set_float(D + "effects/nosewheel", c.effect));
    ASSERT_TRUE(simhost::set_float(D + "nosewheel_steer_override", c.override_));
    simhost::frame(1.0f / 30);  // the scripts' value reaches the plug-in's mirror
    ASSERT_TRUE(simhost::set_float(D + "nosewheel_steer_ratio", c.written));
    EXPECT_EQ(simhost::get_float(D + "nosewheel_steer_ratio"), c.stored)
        << c.effect << "/" << c.override_ << " <- " << c.written;
  }
}

TEST_F(Published, GearLeverInFlightSnapsToItsDetentsAndCommands) {
  ASSERT_TRUE(simhost::set_ints("sim/flightmodel2/gear/on_ground", {0, 0, 0}));
  simhost::frames(30, 1.0f / 30);
  // The lever lock releases in the air only with its power: the battery on.
  battery_on();
  struct Case {
    float written, stored;
    const char* command;  // nullptr: none
  };
  const Case cases[] = {
      {0.3f, 0.5f, "zuvadud/D738/push_button/gear_off"},
      {0.05f, 0.0f, "zuvadud/D738/push_button/gear_up"},
      {0.5f, 0.5f, "zuvadud/D738/push_button/gear_off"},
      {0.97f, 1.0f, "zuvadud/D738/push_button/gear_down"},
      {0.45f, 0.5f, "zuvadud/D738/push_button/gear_off"},
      {0.55f, 0.5f, "zuvadud/D738/push_button/gear_off"},
      {0.1f, 0.0f, "zuvadud/D738/push_button/gear_up"},
      {0.95f, 1.0f, "zuvadud/D738/push_button/gear_down"},
      {0.37f, 0.5f, "zuvadud/D738/push_button/gear_off"},
      {0.76f, 1.0f, "zuvadud/D738/push_button/gear_down"},
      {0.24f, 0.0f, "zuvadud/D738/push_button/gear_up"},
  };
  for (const auto& c : cases) {
    simhost::clear_issued_commands();
    ASSERT_TRUE(simhost::set_float(D + "controls/gear_handle_down", c.written));
    EXPECT_EQ(simhost::get_float(D + "controls/gear_handle_down"), c.stored) << c.written;
    const auto& issued = simhost::issued_commands();
    if (c.command == nullptr) {
      EXPECT_TRUE(issued.empty()) << c.written << " issued " << issued.front().name;
    } else {
      int begins = 0;
      for (const auto& i : issued) {
        EXPECT_EQ(i.name, c.command) << c.written;
        begins += i.phase == 0 ? 1 : 0;
      }
      EXPECT_EQ(begins, 1) << c.written;
    }
  }
}

TEST_F(Published, GearLeverOnTheGroundStopsAtOffOnceDown) {
  ASSERT_TRUE(simhost::set_ints("sim/flightmodel2/gear/on_ground", {1, 1, 1}));
  simhost::frame(1.0f / 30);
  ASSERT_TRUE(simhost::set_float(D + "controls/gear_handle_down", 1.0f));
  simhost::clear_issued_commands();
  ASSERT_TRUE(simhost::set_float(D + "controls/gear_handle_down", 0.0f));
  EXPECT_EQ(simhost::get_float(D + "controls/gear_handle_down"), 0.5f);
  ASSERT_FALSE(simhost::issued_commands().empty());
  EXPECT_EQ(simhost::issued_commands().front().name, "zuvadud/D738/push_button/gear_off");
}

TEST_F(Published, HornCutoutStoresAPosition) {
  const std::pair<float, float> writes[] = {{0.4f, 0.0f}, {0.6f, 1.0f}, {0.0f, 0.0f}, {-3.0f, 0.0f}, {4.0f, 1.0f}};
  for (const auto& [w, s] : writes) {
    ASSERT_TRUE(simhost::set_float(D + "push_button/gear_horn_cutout_pos", w));
    EXPECT_EQ(simhost::get_float(D + "push_button/gear_horn_cutout_pos"), s) << w;
  }
}

// ---- flight-plan list --------------------------------------------------------------

class PlanList : public LoadedModule {
 protected:
  std::filesystem::path folder() const { return std::filesystem::path(simhost::root()) / "Output" / "FMS plans"; }
  void files(const std::vector<std::string>& names) {
    std::filesystem::create_directories(folder());
    for (const auto& n : names) std::ofstream(folder() / n) << "plan\n";
  }
  void request() { ASSERT_TRUE(simhost::set_float(D + "corvane/filename_list_cmd", 1.0f)); }
  std::string text() { return simhost::get_text(D + "corvane/filename_list"); }
  float count() { return simhost::get_float(D + "corvane/filename_list_n"); }
};

TEST_F(PlanList, ListsLowerCasePlanFilesWithoutTheirExtension) {
  // A name with a comma would read as two plans in the comma-separated list.
  files({"KSEAKPDX.fms", "A.fms", "X.FMS", "notes.txt", "ABCDEFGHIJKL.fms", "KSE,AFI.fms"});
  request();
  EXPECT_EQ(text(), "A,KSEAKPDX,");
  EXPECT_EQ(count(), 2.0f);
  EXPECT_EQ(simhost::get_float(D + "corvane/filename_list_cmd"), 0.0f);
  ASSERT_TRUE(simhost::set_float(D + "corvane/filename_list_cmd", 0.0f));  // a zero write lists nothing
  EXPECT_EQ(count(), 2.0f);
}

TEST_F(PlanList, EmptyOrMissingFolderCountsNoneAndKeepsTheText) {
  const int calls = simhost::directory_contents_calls();
  request();  // no folder at all
  EXPECT_EQ(simhost::directory_contents_calls(), calls + 1);
  EXPECT_EQ(count(), 0.0f);
  EXPECT_EQ(text(), "");
  files({"EGLLLFPG.fms"});
  request();
  EXPECT_EQ(text(), "EGLLLFPG,");
  std::filesystem::remove(folder() / "EGLLLFPG.fms");
  request();  // empty folder
  EXPECT_EQ(count(), 0.0f);
  EXPECT_EQ(text(), "EGLLLFPG,");
  EXPECT_TRUE(simhost::problems().empty());
}

TEST_F(PlanList, ListsAtMostThreeHundredPlans) {
  std::vector<std::string> names;
  char buf[16];
  for (int i = 0; i < 350; ++i) {
    std::snprintf(buf, sizeof buf, "P%03d.fms", i);
    names.push_back(buf);
  }
  files(names);
  request();
  EXPECT_EQ(count(), 300.0f);
  const std::string t = text();
  EXPECT_EQ(t.size(), 300u * 5u);
  EXPECT_EQ(t.substr(0, 10), "P000,P001,");
  EXPECT_EQ(t.substr(t.size() - 5), "P299,");
}

TEST_F(PlanList, NamesBeyondTheHostBufferAreCutCleanly) {
  std::vector<std::string> names;
  char buf[24];
  for (int i = 0; i < 400; ++i) {
    std::snprintf(buf, sizeof buf, "PLAN%07d.fms", i);  // 15 characters, 16 bytes with the NUL
    names.push_back(buf);
  }
  files(names);
  request();
  const int fit = 4096 / 16;
  EXPECT_EQ(count(), static_cast<float>(fit));
  const std::string bytes = simhost::get_bytes(D + "corvane/filename_list");
  ASSERT_EQ(bytes.size(), 4096u);
  const std::string t = text();
  EXPECT_EQ(t.size(), static_cast<size_t>(fit) * 12u);
  EXPECT_EQ(t.substr(t.size() - 12), "PLAN0000255,");
  EXPECT_TRUE(simhost::problems().empty());
}

}  // namespace
