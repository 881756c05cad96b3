// Engine force model: thrust curve, static thrust, fuel flow, ground thrust,
// reverser blend and the forces written to the host.
#include <cmath>

#include "publication/debug_service.h"
#include "engine_fixture.h"
#include "engines/n1_command.h"
#include "engines/engine_model_coeffs.h"

namespace {

constexpr float kLbf = 4.44822162f;

class Forces : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    saved_type_ = engine_model::curve02_type;
    saved_thrust_ = engine_model::static_thrust;
    saved_coef_[0] = engine_model::curve02_coef1;
    saved_coef_[1] = engine_model::curve02_coef2;
    saved_coef_[2] = engine_model::curve02_coef3;
    saved_coef_[3] = engine_model::curve02_coef4;
    HostMirror& h = host_mirror;
    for (int e = 0; e < 2; ++e) h.sim_flightmodel2_engines_engine_is_burning_fuel[e] = 1;
    h.sim_flightmodel_misc_machno = 0.0f;
  }
  void TearDown() override {
    engine_model::curve02_type = saved_type_;
    engine_model::static_thrust = saved_thrust_;
    engine_model::curve02_coef1 = saved_coef_[0];
    engine_model::curve02_coef2 = saved_coef_[1];
    engine_model::curve02_coef3 = saved_coef_[2];
    engine_model::curve02_coef4 = saved_coef_[3];
    EngineTest::TearDown();
  }
  static void set_n1(float a, float b) {
    host_mirror.sim_flightmodel2_engines_N1_percent[0] = a;
    host_mirror.sim_flightmodel2_engines_N1_percent[1] = b;
  }
  static float faxil() { return simhost::get_float("sim/flightmodel/forces/faxil_prop"); }
  float saved_type_ = 0.0f;
  float saved_thrust_ = 0.0f;
  float saved_coef_[4] = {};
};

TEST_F(Forces, DefaultCurve) {
  struct Case {
    float n1_pct, fraction, tolerance;
  } cases[] = {{20, 0.0049f, 0.0002f}, {40, 0.058f, 0.001f}, {60, 0.228f, 0.001f}, {80, 0.564f, 0.001f},
               {95, 0.914f, 0.001f},   {100, 1.0f, 1e-6f},   {104, 1.024f, 0.001f}, {110, 1.024f, 0.001f},
               {-5, 0.0f, 0.0f}};
  for (const Case& c : cases) EXPECT_NEAR(engine_thrust_curve(c.n1_pct / 100.0f), c.fraction, c.tolerance) << c.n1_pct;
  EXPECT_EQ(engine_thrust_curve(NAN), 0.0f);
  // Coefficients that make the curve no number give no thrust.
  struct Bad {
    float type, c1, c2, x;
  } bad[] = {{1, NAN, 1, 0.3f}, {2, -1e6f, 1, 0.5f}, {3, NAN, 2, 0.5f}};
  for (const Bad& b : bad) {
    engine_model::curve02_type = b.type;
    engine_model::curve02_coef1 = b.c1;
    engine_model::curve02_coef2 = b.c2;
    engine_model::curve02_coef3 = 0.2f;
    engine_model::curve02_coef4 = 0.0f;
    EXPECT_EQ(engine_thrust_curve(b.x), 0.0f) << b.type << " " << b.c1 << " " << b.c2;
  }
}

TEST_F(Forces, StaticThrustLapse) {
  EXPECT_NEAR(engine_static_thrust(), 27500.0f * kLbf, 1.0f);
  // At exactly shock_mach + 0.1 the inlet term is gone.
  host_mirror.sim_flightmodel_misc_machno = 0.95f;
  EXPECT_NEAR(engine_static_thrust(), (27500.0f - 0.85f * 0.95f * 27500.0f) * kLbf, 1.0f);
  host_mirror.sim_weather_sigma = 0.5f;
  host_mirror.sim_flightmodel_misc_machno = 0.0f;
  EXPECT_NEAR(engine_static_thrust(), 0.5f * 27500.0f * kLbf, 1.0f);
}

TEST_F(Forces, FuelConsumptionBlendsBetweenIdleAndCruise) {
  on_ground = 0;
  struct Case {
    float n1, sfc;
  } cases[] = {{20.0f, 0.5f}, {30.0f, (0.5f + 0.034597f) / 2}, {40.0f, 0.034597f}};
  for (const Case& c : cases) {
    set_n1(c.n1, c.n1);
    engine_forces_update();
    const float te = engine_thrust_curve(c.n1 / 100.0f) * engine_static_thrust();
    const std::vector<float> ff = simhost::get_floats("sim/flightmodel/engine/ENGN_FF_", 2);
    ASSERT_EQ(ff.size(), 2u);
    EXPECT_NEAR(ff[0] * 3600.0f / te, c.sfc, 1e-4f) << c.n1;
  }
}

TEST_F(Forces, NonBurningEngineGivesNothing) {
  set_n1(80.0f, 80.0f);
  host_mirror.sim_flightmodel2_engines_engine_is_burning_fuel[0] = 0;
  host_mirror.sim_flightmodel2_engines_engine_is_burning_fuel[1] = 0;
  engine_forces_update();
  EXPECT_EQ(faxil(), 0.0f);
  EXPECT_EQ(simhost::get_floats("sim/flightmodel/engine/ENGN_FF_", 2), (std::vector<float>{0.0f, 0.0f}));
  EXPECT_EQ(simhost::get_int("sim/operation/override/override_engine_forces"), 1);
  EXPECT_EQ(simhost::get_int("sim/operation/override/override_fuel_flow"), 1);
}

TEST_F(Forces, ReverserBlendAndCoefficientBySpeed) {
  on_ground = 0;
  set_n1(100.0f, 100.0f);
  const float te = engine_static_thrust();
  struct Case {
    float deploy, gs_kt, axial_per_engine;
  } cases[] = {{0.0f, 0.0f, -te},          {0.5f, 0.0f, 0.0f},           {1.0f, 59.0f, 0.23f * te},
               {1.0f, 70.0f, 0.345f * te}, {1.0f, 90.0f, 0.46f * te},    {0.75f, 90.0f, 0.23f * te},
               {1.4f, 0.0f, 0.23f * te},   {-0.2f, 0.0f, -te}};
  for (const Case& c : cases) {
    host_mirror.sim_flightmodel_position_groundspeed = c.gs_kt / 1.94384449244f;
    for (float& d : host_mirror.sim_flightmodel2_engines_thrust_reverser_deploy_ratio) d = c.deploy;
    engine_forces_update();
    EXPECT_NEAR(faxil(), 2.0f * c.axial_per_engine, 2.0f) << c.deploy << " " << c.gs_kt;
    // Equal engines: no side force or yaw.
    EXPECT_EQ(simhost::get_float("sim/flightmodel/forces/fside_prop"), 0.0f);
    EXPECT_EQ(simhost::get_float("sim/flightmodel/forces/N_prop"), 0.0f);
  }
}

TEST_F(Forces, GroundThrustAndUnknownCurve) {
  engine_model::curve02_type = 5.0f;  // no such curve: no thrust at all
  set_n1(45.0f, 95.0f);
  on_ground = 0;
  engine_forces_update();
  EXPECT_EQ(faxil(), 0.0f);
  EXPECT_EQ(simhost::get_floats("sim/flightmodel/engine/ENGN_FF_", 2), (std::vector<float>{0.0f, 0.0f}));
  on_ground = 1;
  engine_forces_update();
  EXPECT_NEAR(faxil(), -11800.0f, 0.01f);  // engine 1 at 45 %, engine 2 at 95 % adds nothing
  const float fside = (0.0f - -11800.0f) * 0.06139626f;
  EXPECT_NEAR(simhost::get_float("sim/flightmodel/forces/fside_prop"), fside, 0.01f);
  EXPECT_NEAR(simhost::get_float("sim/flightmodel/forces/L_prop"), fside * 5.498948495f, 0.05f);
  EXPECT_NEAR(simhost::get_float("sim/flightmodel/forces/M_prop"), 11800.0f * 1.69597236585f, 0.05f);
  EXPECT_NEAR(simhost::get_float("sim/flightmodel/forces/fnrml_prop"), 11800.0f * 0.0874886627f, 0.01f);
  engine_model::curve02_type = 0.5f;
  on_ground = 0;
  engine_forces_update();
  EXPECT_EQ(faxil(), 0.0f);
}

TEST_F(Forces, StaticThrustCoefficientTakesEffectNextUpdate) {
  on_ground = 0;
  set_n1(100.0f, 100.0f);
  engine_forces_update();
  const float before = faxil();
  engine_model::static_thrust = 20000.0f;
  engine_forces_update();
  EXPECT_NEAR(faxil() / before, 20000.0f / 27500.0f, 1e-4f);
  // Bad outside values never reach the host as NaN.
  host_mirror.sim_weather_sigma = NAN;
  host_mirror.sim_flightmodel_misc_machno = NAN;
  set_n1(NAN, INFINITY);
  engine_model::static_thrust = NAN;
  engine_forces_update();
  EXPECT_TRUE(std::isfinite(faxil()));
  for (float f : simhost::get_floats("sim/flightmodel/engine/ENGN_FF_", 2)) EXPECT_TRUE(std::isfinite(f));
}

// The runway friction is a float on both hosts: while reversing on a snowy
// runway (9) the reverse reduction takes the contaminated end of its blend
// (the smaller share), on a dry one the dry end.
TEST_F(Forces, ReverseReductionFollowsTheHostsRunwayFriction) {
  // 35 m/s: e = ln((68.04 - 45) / 10); dry share 0.9 - 0.3 e, snowy share 0.9 - 0.45 e.
  const float e = std::log((35.0f * 1.944f - 45.0f) / 10.0f);
  const float thrust = 40000.0f;
  for (int version : {115000, 120000}) {
    simhost::Config config;
    config.host_version = version;
    simhost::reset(config);
    rebind_datarefs();
    host_version = version;
    for (uint8_t& o : handling_options) o = 0;
    handling_options[handling_reduce_reverse] = 1;
    const char* friction = version < 120000 ? "sim/weather/runway_friction" : "sim/weather/region/runway_friction";
    float term[2] = {};
    for (int snowy = 0; snowy < 2; ++snowy) {
      simhost::set_float(friction, snowy ? 9.0f : 0.0f);
      simhost::set_float("sim/flightmodel/forces/faxil_prop", thrust);
      simhost::set_float("sim/flightmodel/forces/faxil_plug_acf", 0.0f);
      simhost::set_float("sim/flightmodel/position/groundspeed", 35.0f);
      simhost::set_ints("sim/cockpit2/engine/actuators/prop_mode", {3, 3});
      simhost::set_floats("sim/flightmodel2/engines/thrust_reverser_deploy_ratio", {1.0f, 1.0f});
      poll_host_datarefs();
      on_ground = 1;
      apply_flight_model_adjustments();
      term[snowy] = simhost::get_float("sim/flightmodel/forces/faxil_plug_acf");
    }
    EXPECT_NEAR(term[0], -(0.9f - 0.3f * e) * thrust, 1.0f) << version;
    EXPECT_NEAR(term[1], -(0.9f - 0.45f * e) * thrust, 1.0f) << version;
  }
  EXPECT_TRUE(simhost::problems().empty()) << simhost::problems().front();
}

}  // namespace
