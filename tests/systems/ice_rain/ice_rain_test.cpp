// Rain on the glass (the rain plug-in's values, heat zones, wipers), de-ice
// holdover and windshield ice, wing ice removal, the touchdown puff and the
// wing vortices.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/paths.h"
#include "core/preprocess_values.h"
#include "core/variant.h"
#include "systems/ice_rain/ice_values.h"
#include "systems/ice_rain/rain.h"
#include "systems/instruments/instrument_values.h"
#include "systems/panel_fixture.h"
#include "systems/switches/switch_values.h"
#include "systems/systems_steps.h"

namespace {

constexpr float K_UNSET = -77.0f;  // a value nothing writes

struct Row2 {
  const char* name;
  float value;
};

// The rain plug-in's side: its datarefs as writable host values.
class RainValues : public PanelTest {
 protected:
  simhost::Config host_config() override {
    simhost::Config c;
    c.host_version = 110000;
    auto add = [&c](const std::string& name, int type, int size) {
      simhost::CatalogEntry e;
      e.name = "librain/" + name;
      e.type = type;
      e.size = size;
      e.writable = true;
      c.extra.push_back(e);
    };
    const char* const floats[] = {"wiper_0/angle", "wiper_0/pivot/x", "wiper_0/pivot/y", "wiper_0/radius_inner",
                                  "wiper_0/radius_outer", "slant_factor", "max_tas", "gravity_factor",
                                  "gravity_point/x", "gravity_point/y", "thrust_factor", "thrust_point/x",
                                  "thrust_point/y", "wind_factor", "wind_normal", "wind_point/x", "wind_point/y",
                                  "therm_inertia", "cabin_temp"};
    for (const char* g : {"glass_0/", "glass_1/"}) {
      for (const char* f : floats) add(std::string(g) + f, 2, 1);
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
    for (const char* n : {"init_success", "initialize", "num_glass_use"}) add(n, 1, 1);
    return c;
  }
  void SetUp() override {
    PanelTest::SetUp();
    rain_driver = RainDriverState{};
    variant_index = -1;
    model_family = 0.0f;
    ice::window_heat_l_fwd_pos = ice::window_heat_l_side_pos = 1.0f;
    ice::window_heat_r_fwd_pos = ice::window_heat_r_side_pos = 1.0f;
  }
  static float f(const std::string& name) { return simhost::get_float("librain/" + name); }
  static std::vector<float> zones(int g) {
    return simhost::get_floats("librain/glass_" + std::to_string(g) + "/heat_zones");
  }
};

TEST_F(RainValues, InitialGlassValuesAndHeatZonesByBus) {
  struct Row {
    const char* name;
    float glass0, glass1;
  };
  const Row rows[] = {
      {"wiper_0/pivot/x", 0.67f, 0.67f},     {"wiper_0/pivot/y", 0.41f, 0.40f},  {"wiper_0/radius_inner", 0.2f, 0.2f},
      {"wiper_0/radius_outer", 0.525f, 0.525f}, {"wiper_0/angle", -1.43117f, -1.43117f},
      {"gravity_factor", 0.2f, 0.2f},        {"gravity_point/x", 0.5f, 0.5f},    {"gravity_point/y", 2.0f, 2.0f},
      {"max_tas", 500, 500},                 {"thrust_factor", 0, 0},            {"thrust_point/x", 1, 1},
      {"thrust_point/y", 0, 0},              {"wind_factor", 1, 1},              {"wind_normal", 0.8f, 0.8f},
      {"wind_point/x", 1, 1},                {"wind_point/y", -2, -2},           {"therm_inertia", 15, 15},
      {"cabin_temp", 295, 295},              {"slant_factor", 1, 1},
  };
  // Left forward heat on bus 1, left side on bus 2; the right pane the other way round.
  struct Bus {
    float bus1, bus2;
    std::vector<float> zones0, zones1;
  };
  const Bus buses[] = {
      {1, 1, {0, 0.45f, 1, 0.5f, 0, 0, 1, 0.45f}, {0, 0.45f, 1, 0.5f, 0, 0, 1, 0.45f}},
      {1, 0, {0, 0.45f, 1, 0.5f, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 1, 0.45f}},
      {0, 1, {0, 0, 0, 0, 0, 0, 1, 0.45f}, {0, 0.45f, 1, 0.5f, 0, 0, 0, 0}},
  };
  for (const Bus& b : buses) {
    SetUp();
    for (const Row& r : rows) {
      simhost::set_float(std::string("librain/glass_0/") + r.name, K_UNSET);
      simhost::set_float(std::string("librain/glass_1/") + r.name, K_UNSET);
    }
    electric::ac_tnsbus1_status = b.bus1;
    electric::ac_tnsbus2_status = b.bus2;
    rain_driver.load_stage = 18;
    update_rain_effect();
    ASSERT_EQ(rain_driver.load_stage, 19);
    for (const Row& r : rows) {
      EXPECT_NEAR(f(std::string("glass_0/") + r.name), r.glass0, 1e-6f) << r.name;
      EXPECT_NEAR(f(std::string("glass_1/") + r.name), r.glass1, 1e-6f) << r.name;
    }
    EXPECT_EQ(simhost::get_floats("librain/glass_1/heat_tgt_temps"), (std::vector<float>{600, 600}));
    EXPECT_EQ(zones(0), b.zones0) << b.bus1 << b.bus2;
    EXPECT_EQ(zones(1), b.zones1) << b.bus1 << b.bus2;
  }
}

TEST_F(RainValues, SlantTargetThroughItsPointsAndTheCap) {
  struct Row {
    float p, gs, target;
  };
  const Row rows[] = {
      {0.1f, 0, 1.2f},  {0.1f, 70, 1.766667f},  // capped by the first cap segment
      {0.2f, 35, 1.82f}, {0.4f, 70, 2.75f},     {0.6f, 0, 2.14f},
      {0.6f, 20, 2.333333f}, {1.0f, 100, 2.0f}, {0.0f, 0, 1.0f},
  };
  for (const Row& r : rows) EXPECT_NEAR(rain_slant_target(r.p, r.gs), r.target, 1e-5f) << r.p << " " << r.gs;
}

// An object path that does not fit the 512-byte name (with its terminator)
// goes out empty rather than cut short; one byte less fits.
TEST_F(RainValues, ObjectPathMustFitWithItsTerminator) {
  const std::string object = "objects/rain_glass_left.obj";
  const std::string root = system_root;
  for (size_t total : {size_t{511}, size_t{512}}) {
    SetUp();
    const std::string folder = std::string(total - root.size() - object.size() - 1, 'a') + "/";
    std::snprintf(aircraft_folder, sizeof aircraft_folder, "%s", folder.c_str());
    update_rain_effect();
    const std::string sent = simhost::get_text("librain/glass_0/obj/filename");
    EXPECT_EQ(sent, total == 511 ? root + folder + object : std::string()) << total;
  }
  aircraft_folder[0] = '\0';
}

TEST_F(RainValues, WipersHeatZonesGravityAndCabinEachFrame) {
  simhost::set_int("librain/init_success", 1);
  others::left_wiper_ratio = 36.0f;
  others::left_wiper_up = 0.0f;
  others::right_wiper_ratio = 0.0f;
  others::right_wiper_up = -0.1f;
  rain_driver.gravity_point_x = 0.6f;
  rain_driver.slant_factor = 1.0f;
  host_mirror.sim_flightmodel_position_groundspeed = 20.0f;  // gravity target 0.5
  cockpit::cabin_temp = 20.0f;
  electric::ac_tnsbus1_status = 0.0f;
  update_rain_effect();
  const Row2 rows[] = {
      {"glass_0/wiper_0/angle", -52.5f * 3.1415927f / 180.0f}, {"glass_0/wiper_0/pivot/x", 0.76f},
      {"glass_0/wiper_0/pivot/y", 0.54f},                     {"glass_0/wiper_0/radius_inner", 0.095f},
      {"glass_0/wiper_0/radius_outer", 0.48f},                {"glass_1/wiper_0/angle", -3.1415927f / 2.0f},
      {"glass_1/wiper_0/pivot/x", 0.67f},                     {"glass_1/wiper_0/radius_inner", 0.14f},
      {"glass_0/gravity_point/x", 0.5875f},                   {"glass_1/gravity_point/x", 0.5875f},
      {"glass_0/cabin_temp", 293.0f},
  };
  for (const Row2& r : rows) EXPECT_NEAR(f(r.name), r.value, 1e-6f) << r.name;
  EXPECT_EQ(simhost::get_int("librain/glass_0/wiper_0/moving"), 1);
  EXPECT_EQ(simhost::get_int("librain/glass_1/wiper_0/moving"), 0);
  EXPECT_EQ(zones(0), (std::vector<float>{0, 0, 0, 0, 0, 0, 0.5f, 0.3f}));  // forward heat has no bus 1
  EXPECT_EQ(zones(1), (std::vector<float>{0.5f, 0.4f, 0.5f, 0.5f, 0, 0, 0, 0}));
  // The HUD object follows its option, and only on a change.
  struct Hud {
    float disable;
    int load;
  };
  const Hud huds[] = {{0, 7}, {1, 0}, {1, 7}, {0, 1}};
  for (const Hud& h : huds) {
    simhost::set_int("librain/z_depth_obj_9/load", 7);
    script_mirror.zuvadud_D738_hud_disable = h.disable;
    update_rain_effect();
    EXPECT_EQ(simhost::get_int("librain/z_depth_obj_9/load"), h.load) << h.disable;
  }
}

class EffectValues : public PanelTest {
 protected:
  void SetUp() override {
    PanelTest::SetUp();
    ice_rain_state = IceRainState{};
    touchdown_state = TouchdownEffectState{};
    ice::monster_icing = 0.0f;
    ice::wing_l_heat_on = 0.0f;
    frame_time = 0.5f;
    on_ground = 1;
  }
};

TEST_F(EffectValues, HoldoverRunsDownByRainWindAndSpeedAndTheWindshieldIces) {
  // On the ground without the truck: 1 + 4p, times 1 + 1.5 w/100, times 1.1 above 70 m/s.
  struct Hold {
    float p, wind_kt, gs_mps, after;
  };
  const Hold holds[] = {
      {0, 0, 0, 99.5f},           {0.5f, 50, 0, 100 - 0.5f * 3 * 1.75f}, {2, 200, 0, 100 - 0.5f * 5 * 2.5f},
      {-1, -5, 70, 99.5f},        {0, 0, 70.1f, 100 - 0.5f * 1.1f},
  };
  for (const Hold& h : holds) {
    SetUp();
    ice_rain_state.holdover_time_s = 100.0f;
    host_mirror.sim_weather_precipitation_on_aircraft_ratio = h.p;
    host_mirror.sim_cockpit2_gauges_indicators_wind_speed_kts = h.wind_kt;
    host_mirror.sim_flightmodel_position_groundspeed = h.gs_mps;
    ice_rain();
    EXPECT_NEAR(ice_rain_state.holdover_time_s, h.after, 1e-4f) << h.p << " " << h.wind_kt << " " << h.gs_mps;
  }
  // Spraying fills at a full load per 160 s; the load by ambient temperature.
  struct Limit {
    float temp_c, load_s;
  };
  const Limit limits[] = {{-25.1f, 1800}, {-25, 2400}, {-18.1f, 2400}, {-18, 3000},
                          {-14.1f, 3000}, {-14, 3900}, {-8.1f, 3900}, {-8, 4800}};
  for (const Limit& l : limits) {
    SetUp();
    simhost::set_float("zuvadud/D738/de_ice_truck/act", 1.0f);
    host_mirror.sim_weather_temperature_ambient_c = l.temp_c;
    ice_rain();
    EXPECT_FLOAT_EQ(ice_rain_state.holdover_time_s, l.load_s / 160.0f * 0.5f) << l.temp_c;
  }
  simhost::set_float("zuvadud/D738/de_ice_truck/act", 0.0f);
  // Windshield: the ice build-up's rate from 0.0033 at 0.0001 of window ice a
  // second to 0.066 at 0.00255, held outside.
  struct Ice {
    float window_ice, monster0, monster, frost;
  };
  const Ice ices[] = {
      {0.000025f, 0, 0.5f * 0.0033f, 0.000025f},
      {0.0006625f, 0, 0.5f * (0.0033f + 0.5f * 0.0627f), 0.0006625f},
      {0.0025f, 0, 0.5f * 0.066f, 0.0025f},
      {0, 0.5f, 0.5f - 0.25f * 0.0033f, 0.0005f},  // no new ice, below 0 deg C: frost grows 0.001/s
  };
  for (const Ice& i : ices) {
    SetUp();
    ice::l_fwd_temp = ice::r_fwd_temp = -1.0f;
    host_mirror.sim_flightmodel_failures_window_ice = i.window_ice;
    ice::monster_icing = i.monster0;
    ice_rain();
    EXPECT_NEAR(ice::monster_icing, i.monster, 1e-6f) << i.window_ice;
    EXPECT_NEAR(ice_rain_state.frost, i.frost, 1e-7f) << i.window_ice;
  }
}

TEST_F(EffectValues, WingIceRemovalByHeatAndFluid) {
  struct Row {
    int ground;
    float kept, host, heat_flag, n1, holdover, after;
  };
  const Row rows[] = {
      {1, 0.1f, 0.1f, 0, 60, 0, 0.1f},         // on the ground taxi thrust alone heats nothing
      {1, 0.1f, 0.1f, 1, 22, 0, 0.0975f},      // the wing heat does, at any thrust
      {0, 0.1f, 0.1f, 0.5f, 90, 0, 0.1f},      // in the air only a flag of exactly 1
      {0, 0.1f, 0.1f, 0, 0, 1000, 0.0945f},    // fluid: 0.011 a second
      {0, 0.1f, 0.1001f, 1, 0, 0, 0.0975f},    // growth below the limit is kept, then comes off with the heat
      {0, 0.1f, 0.1003f, 0, 0, 0, 0.10025f},   // above 0.0005 a second: cut to it
  };
  for (const Row& r : rows) {
    SetUp();
    on_ground = r.ground;
    ice_rain_state.frame_ice_left = r.kept;
    host_mirror.sim_flightmodel_failures_frm_ice = r.host;
    ice::wing_l_heat_on = r.heat_flag;
    host_mirror.sim_flightmodel_engine_ENGN_N1_[0] = r.n1;
    ice_rain_state.holdover_time_s = r.holdover;
    ice_rain();
    EXPECT_NEAR(host_mirror.sim_flightmodel_failures_frm_ice, r.after, 1e-6f)
        << r.ground << " " << r.host << " " << r.heat_flag << " " << r.n1 << " " << r.holdover;
  }
}

TEST_F(EffectValues, TouchdownPuffStrengthBySkidAndVortexByAngleOfAttack) {
  struct Puff {
    float slip_kt, nose, main;
  };
  const Puff puffs[] = {{80, 0, 0}, {81, 0.07f + 0.43f / 60, 0.1f + 0.9f / 60}, {110, 0.285f, 0.55f}, {200, 0.5f, 1.0f}};
  for (const Puff& p : puffs) {
    SetUp();
    frame_time = 0.1f;
    host_mirror.sim_flightmodel_position_groundspeed = 0.0f;
    for (int i = 0; i < 3; ++i) {
      host_mirror.sim_flightmodel2_gear_on_ground[i] = 1;
      systems::tire_speed[i] = p.slip_kt;
    }
    update_touchdown_effect();
    EXPECT_NEAR(effect::touchdown[0], p.nose, 1e-5f) << p.slip_kt;
    EXPECT_NEAR(effect::touchdown[2], p.main, 1e-5f) << p.slip_kt;
  }
  // The air over the wing expands to 79 % of the ambient pressure at 0
  // degrees angle of attack, 76 % from 15 degrees up.
  HostMirror& m = host_mirror;
  m.sim_weather_barometer_sealevel_inhg = m.sim_weather_barometer_current_inhg = 29.92f;
  m.sim_weather_temperature_sealevel_c = 15.0f;
  const auto local = [](float share) { return 288.15f * std::pow(share, 0.2857143f) - 273.15f; };
  struct Vortex {
    float ra, aoa, dew, v1;
  };
  const Vortex vortices[] = {{20.5f, 0, local(0.79f) + 0.05f, 1}, {1000, 0, local(0.79f) - 0.05f, 0},
                             {1499, 30, local(0.76f) + 0.05f, 1}, {1000, 15, local(0.76f) - 0.05f, 0},
                             {1000, 7.5f, local(0.775f) + 0.05f, 1}, {1000, 7.5f, local(0.775f) - 0.05f, 0}};
  for (const Vortex& v : vortices) {
    frame_flight_data.radio_alt_ft = v.ra;
    m.sim_flightmodel2_misc_AoA_angle_degrees = v.aoa;
    m.sim_weather_dewpoi_sealevel_c = v.dew;
    vortex_effect();
    EXPECT_EQ(effect::vortex, v.v1) << v.aoa << " " << v.dew;
  }
}

}  // namespace
