// Frame pre-processing against the simulated host: add-on presence flags and
// jetway power, the model watch, air-data smoothing, ground contact, SELCAL
// intake, the pressure altitude and the attendant chime sequence.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "alerting/aural_cues.h"
#include "core/binding.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "aircraft/preprocess.h"
#include "core/variant.h"
#include "host.h"
#include "systems/radios/comm_values.h"
#include "systems/delay_timers.h"
#include "systems/electrical/electric_values.h"
#include "systems/instruments/instrument_values.h"

namespace {

simhost::CatalogEntry int_ref(const char* name) { return {name, 1, 1, true, "0"}; }
simhost::CatalogEntry float_ref(const char* name) { return {name, 2, 1, true, "0"}; }

class Preprocess : public ::testing::Test {
 protected:
  void start(simhost::Config config = simhost::Config()) {
    simhost::reset(config);
    for (XPLMDataRef& h : bound_handles) h = nullptr;
    host_version = config.host_version;
    bind_outside_datarefs();
    bind_host_datarefs();
    bind_addon_datarefs();
    bind_script_datarefs();
    avitab_flag_armed = bp_flag_armed = 0.0f;
    last_livery_index = -1;
    livery_read_count = 0;
    init_stage = 0;
    sim_paused = sim_in_replay = 0;
    frame_time = 0.1f;
    selcal_state = SelcalState{};
    delay_timers = DelayTimerBank{};
    selcal_sound_pending = 0.0f;
    attend_chime_count = 0;
    attend_chime_timer = 0.0f;
    electric::batbus_status = 1.0f;  // a powered cockpit
  }
  void TearDown() override { simhost::reset(); }
};

TEST_F(Preprocess, AddOnFlagsAbsentStartOnSecondFrame) {
  start();
  update_addon_flags();
  // First frame after a load: the scripts' flags are not written yet.
  EXPECT_EQ(simhost::counts("zuvadud/D738/avitab_installed").writes, 0);
  EXPECT_EQ(simhost::counts("zuvadud/D738/bp_installed").writes, 0);
  EXPECT_EQ(cockpit::jetway_power, -1.0f);
  simhost::set_float("zuvadud/D738/avitab_installed", 7.0f);
  simhost::set_float("zuvadud/D738/bp_installed", 7.0f);
  for (int frame = 0; frame < 3; ++frame) update_addon_flags();
  EXPECT_EQ(simhost::counts("zuvadud/D738/avitab_installed").writes, 3);
  EXPECT_EQ(simhost::get_float("zuvadud/D738/avitab_installed"), 0.0f);
  EXPECT_EQ(simhost::get_float("zuvadud/D738/bp_installed"), 0.0f);
  EXPECT_EQ(cockpit::jetway_power, -1.0f);
}

TEST_F(Preprocess, AddOnsPresentAndJetwayPowerFollows) {
  simhost::Config config;
  config.extra = {float_ref("avitab/panel_powered"), int_ref("bp/connected"),
                  int_ref("sam/jetway/externalpower/on"), int_ref("sam/jetway/externalpower/override")};
  start(config);
  update_addon_flags();
  EXPECT_EQ(simhost::get_int("sam/jetway/externalpower/override"), 1);
  EXPECT_EQ(cockpit::jetway_power, 0.0f);
  simhost::set_int("sam/jetway/externalpower/on", 1);
  update_addon_flags();
  EXPECT_EQ(cockpit::jetway_power, 1.0f);
  EXPECT_EQ(simhost::get_float("zuvadud/D738/avitab_installed"), 1.0f);
  EXPECT_EQ(simhost::get_float("zuvadud/D738/bp_installed"), 1.0f);
  simhost::set_int("sam/jetway/externalpower/on", 0);
  simhost::set_int("sam/jetway/externalpower/override", 0);
  update_addon_flags();
  EXPECT_EQ(cockpit::jetway_power, 0.0f);
  EXPECT_EQ(simhost::get_int("sam/jetway/externalpower/override"), 1);
}

TEST_F(Preprocess, JetwayNeedsBothNames) {
  simhost::Config config;
  config.extra = {int_ref("sam/jetway/externalpower/on")};
  start(config);
  simhost::set_int("sam/jetway/externalpower/on", 1);
  update_addon_flags();
  EXPECT_EQ(cockpit::jetway_power, -1.0f);
}

TEST_F(Preprocess, ModelWatchRunsOnFirstFrameAndLiveryChange) {
  simhost::Config config;
  config.acf = "b739_4k.acf";
  start(config);
  detect_variant();
  EXPECT_EQ(variant_index, -1);
  EXPECT_EQ(model_family, 1.0f);

  draw_enabled = 1;
  model_watch();
  EXPECT_EQ(acf_model, 1);
  EXPECT_EQ(acf_is_4k, 1);
  EXPECT_EQ(draw_enabled, 0);
  EXPECT_EQ(simhost::counts("zuvadud/d738/marlet_copilot").writes, 1);
  EXPECT_EQ(simhost::get_float("zuvadud/d738/marlet_copilot"), 0.0f);

  // The first officer's add-on appears: noticed only on a livery change.
  simhost::define_dataref(float_ref("quenby/fo/_show"));
  draw_enabled = 1;
  model_watch();
  EXPECT_EQ(draw_enabled, 1);
  EXPECT_EQ(simhost::counts("zuvadud/d738/marlet_copilot").writes, 1);
  simhost::set_int("sim/aircraft/view/acf_livery_index", 3);
  model_watch();
  EXPECT_EQ(draw_enabled, 0);
  EXPECT_EQ(simhost::counts("zuvadud/d738/marlet_copilot").writes, 2);
  EXPECT_EQ(simhost::get_float("zuvadud/d738/marlet_copilot"), 1.0f);
  EXPECT_EQ(simhost::counts("quenby/fo/_show").lookups, 3);  // start-up and two detections
}

TEST_F(Preprocess, AirDataRawSmoothedAndHeld) {
  start();
  set_mirror_f(bound::sim_flightmodel_position_true_airspeed, 200.0f);
  set_mirror_f(bound::sim_weather_speed_sound_ms, 300.0f);
  set_mirror_f(bound::sim_cockpit2_temperature_outside_air_LE_temp_degc, 15.0f);
  smooth_air_data();  // stage 0: taken as read
  EXPECT_EQ(indicated::TAS, 200.0f);
  EXPECT_EQ(indicated::sos, 300.0f);
  EXPECT_EQ(indicated::TAT, 15.0f);
  EXPECT_FLOAT_EQ(indicated::mach_no, 200.0f / 300.0f);

  init_stage = 2;
  set_mirror_f(bound::sim_flightmodel_position_true_airspeed, 300.0f);
  set_mirror_f(bound::sim_cockpit2_temperature_outside_air_LE_temp_degc, -85.0f);
  smooth_air_data();  // 0.5 per second over 0.1 s: 5 % of the error
  EXPECT_FLOAT_EQ(indicated::TAS, 205.0f);
  EXPECT_FLOAT_EQ(indicated::TAT, 10.0f);
  EXPECT_FLOAT_EQ(indicated::mach_no, 205.0f / 300.0f);

  sim_paused = 1;
  indicated::mach_no = 0.0f;
  smooth_air_data();
  EXPECT_FLOAT_EQ(indicated::TAS, 205.0f);
  EXPECT_FLOAT_EQ(indicated::mach_no, 205.0f / 300.0f);  // recomputed from the held values

  sim_paused = 0;
  sim_in_replay = 1;
  smooth_air_data();
  EXPECT_EQ(indicated::TAS, 300.0f);
  EXPECT_EQ(indicated::TAT, -85.0f);

  set_mirror_f(bound::sim_weather_speed_sound_ms, 0.0f);
  smooth_air_data();
  EXPECT_EQ(indicated::mach_no, 0.0f);
  set_mirror_f(bound::sim_weather_speed_sound_ms, -3.0f);
  smooth_air_data();
  EXPECT_EQ(indicated::mach_no, 0.0f);

  sim_in_replay = 0;
  indicated::TAT = -69.5f;
  smooth_air_data();  // the smoothed temperature stops at -70 deg C
  EXPECT_FLOAT_EQ(indicated::TAT, -70.0f);
}

TEST_F(Preprocess, GroundContactFromFirstThreeLegs) {
  start();
  struct Case {
    std::vector<int> gear;
    int any, third;
  };
  const Case cases[] = {{{0, 0, 0}, 0, 0}, {{1, 0, 0}, 1, 0}, {{0, 1, 0}, 1, 0}, {{0, 0, 1}, 1, 1}, {{1, 1, 1}, 1, 1}};
  for (const Case& c : cases) {
    simhost::set_ints("sim/flightmodel2/gear/on_ground", c.gear);
    poll_host_datarefs();
    update_ground_contact();
    EXPECT_EQ(on_ground, c.any);
    EXPECT_EQ(gear3_on_ground, c.third);
  }
}

TEST_F(Preprocess, SelcalAbsentClearsEverything) {
  start();
  delay_timers.selcal_delay_com2 = 0.3f;
  selcal_state.call_latch[2] = 1.0f;
  selcal_sound_pending = 1.0f;
  fmod_::selcal_sound = 1.0f;
  selcal_intake();
  EXPECT_EQ(fmod_::selcal_sound, 0.0f);
  EXPECT_EQ(selcal_sound_pending, 0.0f);
  EXPECT_EQ(delay_timers.selcal_delay_com2, 0.0f);
  EXPECT_EQ(selcal_state.call_latch[2], 0.0f);
}

TEST_F(Preprocess, SelcalCodesArmTimers) {
  simhost::Config config;
  config.extra = {int_ref("ivaopilot/selcal")};
  start(config);
  // COM3 in voice mode on COM2's frequency.
  simhost::set_int("sim/cockpit2/radios/actuators/com1_frequency_Mhz", 118);
  simhost::set_int("sim/cockpit2/radios/actuators/com1_frequency_khz", 100);
  simhost::set_int("sim/cockpit2/radios/actuators/com2_frequency_Mhz", 121);
  simhost::set_int("sim/cockpit2/radios/actuators/com2_frequency_khz", 500);
  poll_host_datarefs();
  comm::com3_act_freq_data = 0.0f;
  comm::com3_act_freq_MHz = 121.0f;
  comm::com3_act_freq_kHz = 500.0f;

  struct Case {
    int code;
    float com1, com2, com3, chime;
  };
  const Case cases[] = {
      {3, 0.5f, 0.5f, 0.0f, 0.5f},  // COM3 is checked against COM1 only
      {2, 0.0f, 0.5f, 0.5f, 0.5f},
      {1, 0.5f, 0.0f, 0.0f, 0.5f},
      {7, 0.0f, 0.0f, 0.0f, 0.5f},  // unknown code: cleared and chimes
      {0, 0.0f, 0.0f, 0.0f, 0.0f},
  };
  for (const Case& c : cases) {
    selcal_state = SelcalState{};
    delay_timers = DelayTimerBank{};
    simhost::set_int("ivaopilot/selcal", c.code);
    selcal_intake();
    EXPECT_EQ(delay_timers.selcal_delay_com1, c.com1) << c.code;
    EXPECT_EQ(delay_timers.selcal_delay_com2, c.com2) << c.code;
    EXPECT_EQ(delay_timers.selcal_delay_com3, c.com3) << c.code;
    EXPECT_EQ(delay_timers.selcal_delay_hf, c.chime) << c.code;
    EXPECT_EQ(simhost::get_int("ivaopilot/selcal"), 0) << c.code;
  }
  // COM3 in data mode is never called.
  comm::com3_act_freq_data = 1.0f;
  selcal_state = SelcalState{};
  delay_timers = DelayTimerBank{};
  simhost::set_int("ivaopilot/selcal", 2);
  selcal_intake();
  EXPECT_EQ(delay_timers.selcal_delay_com3, 0.0f);
}

TEST_F(Preprocess, SelcalChimeLastsOneFrame) {
  simhost::Config config;
  config.extra = {int_ref("ivaopilot/selcal")};
  start(config);
  selcal_sound_pending = 1.0f;
  selcal_intake();
  EXPECT_EQ(fmod_::selcal_sound, 1.0f);
  selcal_intake();
  EXPECT_EQ(fmod_::selcal_sound, 0.0f);
}

TEST_F(Preprocess, PressureAltitudeAndSelector) {
  start();
  struct Case {
    float inhg, feet;
  };
  for (const Case& c : {Case{29.92f, 0.0f}, Case{20.58f, 9991.0f}, Case{14.94f, 17994.9f}}) {
    set_mirror_f(bound::sim_weather_barometer_current_inhg, c.inhg);
    update_flight_data_copies();
    EXPECT_NEAR(static_pressure_altitude_ft, c.feet, 1.0f) << c.inhg;
  }
  // The debug selector is read straight from the scripts.
  simhost::set_float("zuvadud/D738/fms/test", 5555.0f);
  update_flight_data_copies();
  EXPECT_EQ(fms_debug_selector, 5555.0f);
}

// The attendant button as its handler raises the count.
void press_attend() {
  if (electric::batbus_status != 0.0f && attend_chime_count < 6) {
    attend_chime_count += 1;
    if (attend_chime_timer == 0.0f) attend_chime_timer = 2.5f;
  }
}

int count_chimes(int frames) {
  int chimes = 0;
  float last = 0.0f;
  for (int f = 0; f < frames; ++f) {
    attendant_chime_sequence();
    if (fmod_::attend == 1.0f && last == 0.0f) ++chimes;
    last = fmod_::attend;
  }
  return chimes;
}

TEST_F(Preprocess, AttendantChimesAtMostSix) {
  start();
  electric::batbus_status = 1.0f;
  for (int i = 0; i < 7; ++i) press_attend();
  EXPECT_EQ(attend_chime_count, 6);
  EXPECT_EQ(count_chimes(1000), 6);
  EXPECT_EQ(attend_chime_count, 0);
  EXPECT_EQ(fmod_::attend, 0.0f);
}

TEST_F(Preprocess, AttendantChimesLostWithBatteryBus) {
  start();
  electric::batbus_status = 1.0f;
  for (int i = 0; i < 3; ++i) press_attend();
  attendant_chime_sequence();
  EXPECT_EQ(fmod_::attend, 1.0f);
  electric::batbus_status = 0.0f;
  attendant_chime_sequence();
  EXPECT_EQ(fmod_::attend, 0.0f);
  electric::batbus_status = 1.0f;
  EXPECT_EQ(count_chimes(200), 0);
}

}  // namespace
