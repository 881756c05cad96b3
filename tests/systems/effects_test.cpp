// Brake heating, cabin lighting and light spill, and the rain-on-glass driver.
#include <string>
#include <vector>

#include "aircraft/lifecycle.h"
#include "core/variant.h"
#include "panel_fixture.h"
#include "systems/electrical/electric_values.h"
#include "systems/annunciators/annunciator_values.h"
#include "systems/gear_brakes/brake_heat.h"
#include "systems/lights/cabin_light_values.h"
#include "systems/lights/cabin_lights.h"
#include "systems/ice_rain/ice_values.h"
#include "systems/ice_rain/rain.h"
#include "systems/switches/switch_values.h"

namespace {

class BrakeHeat : public PanelTest {};

TEST_F(BrakeHeat, CoolingAndHeating) {
  frame_time = 1.0f;
  host_mirror.sim_aircraft_parts_acf_gear_deploy[1] = 1.0f;
  host_mirror.sim_flightmodel_position_groundspeed = 0.0f;
  // Gear down, stopped, 15 deg C: the brakes settle at 0.15.
  EXPECT_FLOAT_EQ(brake_heat_from_speed(0.15f, 15.0f, 0), 0.0f);
  EXPECT_NEAR(brake_heat_from_speed(2.15f, 15.0f, 0), 10.0f * 10.0f * 0.0015f * 0.002f, 1e-8);
  // Gear up (right leg): the fixed floor and the smaller factor.
  EXPECT_NEAR(brake_heat_from_speed(2.0f, 15.0f, 1), (6.86f * 5.0f) * (6.86f * 5.0f) * 0.0007f * 0.002f, 1e-8);
  EXPECT_FLOAT_EQ(brake_heat_from_speed(2.0f, 15.0f, 5), brake_heat_from_speed(2.0f, 15.0f, 1));
  host_mirror.sim_flightmodel_weight_m_total = 80000.0f;  // kg
  EXPECT_FLOAT_EQ(brake_heat_weight_factor(1.0f, 20.0f), 4.0f * 1.1f * 0.02f);
  EXPECT_EQ(brake_heat_weight_factor(0.0f, 20.0f), 0.0f);
}

TEST_F(BrakeHeat, DisplayedValue) {
  const float cases[][2] = {{0.04f, 0.1f}, {12.0f, 9.9f}, {3.25f, 3.3f}, {-2.0f, 0.1f}, {5.04f, 5.0f}};
  for (const auto& c : cases) EXPECT_FLOAT_EQ(brake_temp_display(c[0]), c[1]) << c[0];
}

class CabinLights : public PanelTest {};

TEST_F(CabinLights, LayoutByFamily) {
  using namespace tarv_cabin;
  model_family = 1.0f;
  lightsA = 0.25f;
  lightsH = 0.5f;
  lightsJ = 3.0f;
  lightsZ = 7.0f;
  update_cabin_lights();
  EXPECT_EQ(lights1[0], 0.25f);
  EXPECT_EQ(lights1[7], 0.5f);
  EXPECT_EQ(lights2[0], 3.0f);
  EXPECT_EQ(lights3[7], 7.0f);
  EXPECT_EQ(lights4[7], 7.0f);

  model_family = 0.0f;
  pax_light_scene[0] = 0.5f;
  pax_light_scene[3] = 5.0f;
  lightsW = 3.0f;
  host_mirror.sim_graphics_scenery_sun_pitch_degrees = -10.0f;
  update_cabin_lights();
  EXPECT_EQ(tarx_cabin::lights_x[0], 0.5f);
  EXPECT_EQ(tarx_cabin::lights_x[4], 5.0f);
  EXPECT_EQ(tarx_cabin::entry_lights_x[4], 3.0f);
  host_mirror.sim_graphics_scenery_sun_pitch_degrees = -0.5f;  // daylight
  update_cabin_lights();
  EXPECT_EQ(tarx_cabin::lights_x[4], 0.0f);
  host_mirror.sim_cockpit2_switches_generic_lights_switch[98] = 1.0f;  // exit lights lit
  update_cabin_lights();
  EXPECT_EQ(tarx_cabin::lights_x[0], 1.0f);
  EXPECT_EQ(tarx_cabin::lights_x[4], 5.0f);
  EXPECT_EQ(tarx_cabin::entry_lights_x[2], 1.0f);
  EXPECT_EQ(tarx_cabin::entry_lights_x[4], 3.0f);

  // Without the main AC buses (standby power, CAB/UTIL OFF) the passenger
  // cabin and its glow are dark on every model; the entry area is not its.
  electric::main_bus1 = electric::main_bus2 = 0.0f;
  host_mirror.sim_cockpit2_switches_generic_lights_switch[98] = 0.0f;
  host_mirror.sim_graphics_scenery_sun_pitch_degrees = -10.0f;
  update_cabin_lights();
  EXPECT_EQ(tarx_cabin::lights_x[4], 0.0f);
  model_family = 1.0f;
  update_cabin_lights();
  EXPECT_EQ(lights1[0], 0.0f);
  EXPECT_EQ(lights2[0], 0.0f);
  EXPECT_EQ(lights3[7], 7.0f);
  model_family = 0.0f;
}

TEST_F(CabinLights, SpillSizesByHost) {
  struct Case {
    int host;
    float cabin_size, fire_size;
  };
  for (const Case& c : {Case{110000, 3.0f, 0.15f}, Case{120000, 27.0f, 1.35f}}) {
    host_version = c.host;
    init_light_spill();
    EXPECT_FLOAT_EQ(light::spill_ratio_cabin_lights_spill[4], c.cabin_size);
    EXPECT_FLOAT_EQ(light::spill_ratio_entry_lights_spill[4], c.cabin_size);
    EXPECT_FLOAT_EQ(light::spill_ratio_fire_warn_spill[4], c.fire_size);
    EXPECT_FLOAT_EQ(light::spill_ratio_parking_brake[0], 1.0f);
    EXPECT_FLOAT_EQ(light::spill_ratio_obs_radio_mark_lights_spill[1], 0.43f);
    EXPECT_FLOAT_EQ(light::spill_ratio_apu_avail_lights_spill[2], 0.92f);
    EXPECT_FLOAT_EQ(light::spill_ratio_extinguisher_circuit_spill_apu[0], 0.19f);
  }
}

// The rain plug-in's side: every "librain/" dataref as a writable host value.
class Rain : public PanelTest {
 protected:
  simhost::Config host_config() override {
    simhost::Config c;
    c.host_version = 110000;
    const char* const pane_floats[] = {"wiper_0/angle",  "wiper_0/pivot/x",      "wiper_0/pivot/y",
                                       "wiper_0/radius_inner", "wiper_0/radius_outer", "slant_factor",
                                       "max_tas",        "gravity_factor",       "gravity_point/x",
                                       "gravity_point/y", "thrust_factor",       "thrust_point/x",
                                       "thrust_point/y", "wind_factor",          "wind_normal",
                                       "wind_point/x",   "wind_point/y",         "therm_inertia",
                                       "cabin_temp"};
    auto add = [&c](const std::string& name, int type, int size) {
      simhost::CatalogEntry e;
      e.name = "librain/" + name;
      e.type = type;
      e.size = size;
      e.writable = true;
      c.extra.push_back(e);
    };
    for (const char* g : {"glass_0/", "glass_1/"}) {
      for (const char* f : pane_floats) add(std::string(g) + f, 2, 1);
      add(std::string(g) + "wiper_0/moving", 1, 1);
      add(std::string(g) + "heat_zones", 8, 8);
      add(std::string(g) + "heat_tgt_temps", 8, 2);
      add(std::string(g) + "obj/filename", 32, 512);
      add(std::string(g) + "obj/load", 1, 1);
      add(std::string(g) + "obj/loaded", 1, 1);
    }
    for (int i = 0; i < 15; ++i) {
      const std::string o = "z_depth_obj_" + std::to_string(i) + "/";
      add(o + "filename", 32, 512);
      add(o + "load", 1, 1);
      add(o + "loaded", 1, 1);
    }
    add("init_success", 1, 1);
    add("initialize", 1, 1);
    add("num_glass_use", 1, 1);
    return c;
  }
  void SetUp() override {
    PanelTest::SetUp();
    rain_driver = RainDriverState{};
    variant_index = -1;
    model_family = 0.0f;
  }
  static std::string object(const std::string& slot) { return simhost::get_text("librain/" + slot + "/filename"); }
  static void report_loaded(const std::string& slot) { simhost::set_int("librain/" + slot + "/loaded", 1); }
};

TEST_F(Rain, LoadSequenceWaitsForEachObject) {
  script_mirror.zuvadud_D738_hud_disable = 1.0f;  // no HUD: stage 12 does not wait for it
  update_rain_effect();
  EXPECT_EQ(simhost::get_text("librain/glass_0/obj/filename"),
            std::string(system_root) + aircraft_folder + "objects/rain_glass_left.obj");
  EXPECT_EQ(simhost::get_int("librain/glass_0/obj/load"), 1);
  update_rain_effect();  // waits for glass 0
  EXPECT_EQ(rain_driver.load_stage, 1);
  simhost::set_int("librain/glass_0/obj/loaded", 1);
  update_rain_effect();
  simhost::set_int("librain/glass_1/obj/loaded", 1);
  update_rain_effect();
  EXPECT_NE(object("z_depth_obj_0").find("objects/738_cockpit_roof_2k.obj"), std::string::npos);
  for (int i = 0; i <= 8; ++i) {
    report_loaded("z_depth_obj_" + std::to_string(i));
    update_rain_effect();
  }
  EXPECT_EQ(rain_driver.load_stage, 12);
  EXPECT_EQ(simhost::get_int("librain/z_depth_obj_9/load"), 0);
  update_rain_effect();  // stage 12 goes on without the HUD
  EXPECT_NE(object("z_depth_obj_10").find("objects/cabin/737_cabin_galleies.obj"), std::string::npos);
  for (int slot : {10, 11, 13, 12}) {
    report_loaded("z_depth_obj_" + std::to_string(slot));
    update_rain_effect();
  }
  EXPECT_NE(object("z_depth_obj_12").find("objects/people.obj"), std::string::npos);
  EXPECT_NE(object("z_depth_obj_14").find("objects/738fuselage.obj"), std::string::npos);
  update_rain_effect();
  update_rain_effect();
  EXPECT_EQ(simhost::get_int("librain/num_glass_use"), 2);
  EXPECT_EQ(simhost::get_int("librain/initialize"), 1);
  EXPECT_FLOAT_EQ(simhost::get_float("librain/glass_1/wiper_0/pivot/y"), 0.40f);
  EXPECT_FLOAT_EQ(simhost::get_float("librain/glass_0/cabin_temp"), 295.0f);
  EXPECT_EQ(rain_driver.load_stage, 19);
}

TEST_F(Rain, VariantsWithoutCabinObjectsStopAtTheCabinStage) {
  variant_index = 5;  // no galley object: stage 13 waits for one that never comes
  script_mirror.zuvadud_D738_hud_disable = 1.0f;
  rain_driver.load_stage = 12;
  for (int i = 0; i < 5; ++i) update_rain_effect();
  EXPECT_EQ(rain_driver.load_stage, 13);
  EXPECT_EQ(object("z_depth_obj_10"), "");
  EXPECT_EQ(simhost::get_int("librain/initialize"), 0);
}

TEST_F(Rain, LongerCabinFamilyObjects) {
  model_family = 2.0f;
  script_mirror.zuvadud_D738_hud_disable = 1.0f;
  rain_driver.load_stage = 12;
  update_rain_effect();
  EXPECT_NE(object("z_depth_obj_10").find("objects/CABIN/739_cabin.obj"), std::string::npos);
  report_loaded("z_depth_obj_10");
  update_rain_effect();
  EXPECT_NE(object("z_depth_obj_11").find("objects/CABIN/739_cabin_seats.obj"), std::string::npos);
  EXPECT_EQ(rain_driver.layout_state, 10.0f);
  report_loaded("z_depth_obj_11");
  update_rain_effect();
  update_rain_effect();  // family 2: no people
  EXPECT_EQ(rain_driver.passenger_requested, 0);
  EXPECT_EQ(object("z_depth_obj_12"), "");
}

TEST_F(Rain, PerFrameValues) {
  simhost::set_int("librain/init_success", 1);
  EXPECT_FLOAT_EQ(rain_slant_target(0.3f, 70.0f), 1.6f * 1.6f);
  EXPECT_FLOAT_EQ(rain_slant_target(0.8f, 70.0f), 2.0f);  // capped
  EXPECT_FLOAT_EQ(rain_slant_target(-1.0f, -5.0f), 1.0f);
  rain_driver.slant_factor = 1.0f;
  rain_driver.gravity_point_x = 0.5f;
  host_mirror.sim_weather_precipitation_on_aircraft_ratio = 0.3f;
  host_mirror.sim_flightmodel_position_groundspeed = 80.0f;
  others::left_wiper_ratio = 100.0f;  // beyond the sweep: as 72
  others::left_wiper_up = -1.0f;
  ice::window_heat_l_fwd_pos = 1.0f;
  ice::window_heat_l_side_pos = 0.0f;
  update_rain_effect();
  EXPECT_FLOAT_EQ(rain_driver.slant_factor, 1.0f + frame_time / 10.0f);
  EXPECT_FLOAT_EQ(simhost::get_float("librain/glass_1/slant_factor"), rain_driver.slant_factor);
  EXPECT_FLOAT_EQ(rain_driver.gravity_point_x, 0.5f + frame_time / 10.0f);
  EXPECT_FLOAT_EQ(simhost::get_float("librain/glass_0/wiper_0/angle"), -15.0f * 3.1415927f / 180.0f);
  EXPECT_FLOAT_EQ(simhost::get_float("librain/glass_0/wiper_0/radius_inner"), 0.05f);
  EXPECT_EQ(simhost::get_int("librain/glass_0/wiper_0/moving"), 0);
  const std::vector<float> zones = simhost::get_floats("librain/glass_0/heat_zones");
  EXPECT_EQ(zones, (std::vector<float>{0.0f, 0.4f, 0.5f, 0.5f, 0.0f, 0.0f, 0.0f, 0.0f}));
}

TEST_F(Rain, GateFollowsTheWindshieldMode) {
  const std::string kill = "zuvadud/D738/perf/kill_windshield";
  ASSERT_TRUE(simhost::has_dataref(kill));
  simhost::set_float(kill, 2.0f);
  rain_effect_gate();
  EXPECT_EQ(rain_driver.load_stage, 1);
  host_mirror.sim_graphics_VR_enabled = 1;  // VR without the scripts' consent: nothing
  rain_effect_gate();
  EXPECT_EQ(rain_driver.load_stage, 1);
  simhost::set_float(kill, 0.0f);
  rain_effect_gate();
  EXPECT_EQ(rain_driver.load_stage, 0);
}

}  // namespace
