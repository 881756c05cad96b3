// Instruments: the overspeed warning and its test, the V-speed flags, the
// navigation failure flags, the flap cue, the standby altimeter and display
// selection, the radio altitude dial, and clock lighting.
#include <gtest/gtest.h>

#include "alerting/aural_cues.h"
#include "core/preprocess_values.h"
#include "display/nd_slots.h"
#include "systems/aircraft_systems.h"
#include "systems/delay_timers.h"
#include "systems/flight_controls/flight_control_values.h"
#include "systems/instruments/clocks.h"
#include "systems/instruments/instrument_values.h"
#include "systems/panel_fixture.h"
#include "systems/switches/switch_memory.h"
#include "systems/switches/switch_values.h"
#include "systems/value_rows.h"

namespace {

class Indications : public ::testing::Test {
 protected:
  void SetUp() override { Reset(); }

 public:
  void Reset() {
    for (XPLMDataRef& h : bound_handles) h = nullptr;
    host_mirror = HostMirror{};
    script_mirror = ScriptMirror{};
    delay_timers = DelayTimerBank{};
    delay_flags = DelayTimerFlags{};
    travel_targets = TravelTargets{};
    electric::batbus_status = 1.0f;
    electric::ac_tnsbus2_status = 1.0f;
    electric::dc_stdbus_status = 1.0f;  // the captain's display units, which set the reference speeds
    push_button::mach_warn1_pos = push_button::mach_warn2_pos = 0.0f;
    toggle_switch::spd_ref = 0.0f;
    door::flt_dk_door_ratio = door::capt_window_ratio = 0.0f;
    gauges::standby_alt_std_mode = 1.0f;
    gauges::standby_altimeter_baro = 29.92f;
    host_mirror.sim_weather_barometer_current_inhg = 29.92f;
    host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 2000.0f;
    pfd::v1_off_show = pfd::vspeed_digit_show = pfd::vspeed_ref_show = pfd::vspeed_ref_show_fo = -1.0f;
    pfd::ra_dial = -1.0f;
    on_ground = 1;
    frame_time = 0.1f;
  }
};

TEST_F(Indications, WarningsSpeedFlagsAndStandbyAltitude) {
  static const ValueRow overspeed[] = {
      // Above 341 kt on either side or Mach 0.823, or the test below 50 ft.
      {"341 kt", [] { host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_pilot = 341.0f; }, &fmod_::mach_warn, 0},
      {"341.5 kt", [] { host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_pilot = 341.5f; }, &fmod_::mach_warn, 1},
      {"fo 341.5 kt", [] { host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_copilot = 341.5f; },
       &fmod_::mach_warn, 1},
      {"M 0.823", [] { host_mirror.sim_flightmodel_misc_machno = 0.823f; }, &fmod_::mach_warn, 0},
      {"M 0.825", [] { host_mirror.sim_flightmodel_misc_machno = 0.825f; }, &fmod_::mach_warn, 1},
      {"unpowered", [] { host_mirror.sim_flightmodel_misc_machno = 0.9f; electric::batbus_status = 0; },
       &fmod_::mach_warn, 0},
      {"test 49 ft", [] { host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 49.0f;
                          push_button::mach_warn2_pos = 1; }, &fmod_::mach_warn, 1},
      {"test 50 ft", [] { host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 50.0f;
                          push_button::mach_warn1_pos = 1; }, &fmod_::mach_warn, 0},
      {"no test", [] { host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 49.0f; },
       &fmod_::mach_warn, 0},
      // First officer's inertial source lost five minutes after AC transfer bus 2 with IRS 2 on,
      // on its backup, the hot battery bus with the battery switch ON; at once without it.
      {"fo irs", [] { script_mirror.zuvadud_D738_irs_irs2_mode = 1; electric::ac_tnsbus2_status = 0;
                      electric::hot_batbus_status = electric::battery_pos = 1; },
       &delay_timers.fo_irs_backup_delay, 300.0f},
      {"fo irs battery off", [] { script_mirror.zuvadud_D738_irs_irs2_mode = 1; electric::ac_tnsbus2_status = 0;
                                  electric::hot_batbus_status = 1; electric::battery_pos = 0; },
       &systems::lost_fo_inertial, 1},
      {"fo irs hot bus lost", [] { script_mirror.zuvadud_D738_irs_irs2_mode = 1; electric::ac_tnsbus2_status = 0;
                                   electric::hot_batbus_status = 0; electric::battery_pos = 1; },
       &systems::lost_fo_inertial, 1},
      {"fo irs powered", [] { script_mirror.zuvadud_D738_irs_irs2_mode = 1; }, &delay_timers.fo_irs_backup_delay, 0},
      // FMC source: both on the left, normal, both on the right.
      {"fmc both left", [] { toggle_switch::fmc_source = -1; }, &nd::fo_fmc_source, 1},
      {"fmc normal", [] { toggle_switch::fmc_source = 0; }, &nd::fo_fmc_source, 2},
      {"fmc both right", [] { toggle_switch::fmc_source = 1; }, &nd::capt_fmc_source, 2},
      {"fmc normal capt", [] { toggle_switch::fmc_source = 0; }, &nd::capt_fmc_source, 1},
      // Door at rate 5, windows at 0.25 per second.
      {"door", [] { travel_targets.flt_dk_door = 1; }, &door::flt_dk_door_ratio, 0.5f},
      {"window", [] { travel_targets.capt_window = 1; frame_time = 1; }, &door::capt_window_ratio, 0.25f},
      // Standby altitude, lag 2 per second: at 0.5 s it lands on (1 - (P/B)^0.190284) x 145366.45.
      {"std", [] { host_mirror.sim_weather_barometer_current_inhg = 28.86f; frame_time = 0.5f; },
       &gauges::standby_altitude_ft, 994.33f},
      {"baro 30.03", [] { host_mirror.sim_weather_barometer_current_inhg = 28.86f; frame_time = 0.5f;
                          gauges::standby_alt_std_mode = 0; gauges::standby_altimeter_baro = 30.03f; },
       &gauges::standby_altitude_ft, 1095.1f},
      // Above 36,089 ft the standard atmosphere's isothermal layer: the pressures of FL390 and FL410.
      {"FL390", [] { host_mirror.sim_weather_barometer_current_inhg = 5.8107f; frame_time = 0.5f; },
       &gauges::standby_altitude_ft, 38983.7f},
      {"FL410", [] { host_mirror.sim_weather_barometer_current_inhg = 5.27815f; frame_time = 0.5f; },
       &gauges::standby_altitude_ft, 40983.7f},
      // Approach scale of the standby display: 0 none, 1 both, other horizontal only.
      {"app none", [] { gauges::standby_mode = 0; }, &gauges::standby_app_horz, 0},
      {"app both", [] { gauges::standby_mode = 1; }, &gauges::standby_app_vert, 1},
      {"app horizontal", [] { gauges::standby_mode = 2; }, &gauges::standby_app_horz, 1},
      {"app not vertical", [] { gauges::standby_mode = 2; }, &gauges::standby_app_vert, 0},
      {"hPa knob", [] { script_mirror.zuvadud_D738_effects_sync_pilot_isdf = 1;
                        script_mirror.zuvadud_D738_EFIS_control_capt_baro_in_hpa_pfd = 1;
                        host_mirror.sim_cockpit2_gauges_actuators_barometer_setting_in_hg_pilot = 29.92f; },
       &knobs::standby_alt_baro, 1013.21f},
  };
  run_rows(*this, overspeed, 17, update_source_indications);
  run_rows(*this, overspeed + 17, 9, update_standby_alt_du_select, 0.5f);

  static const ValueRow speeds[] = {
      // V1 off scale while V1 - 58 is above the airspeed.
      {"v1 82", [] { script_mirror.zuvadud_D738_FMS_v1 = 140; host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_pilot = 82; },
       &pfd::v1_off_show, 0},
      {"v1 81.5", [] { script_mirror.zuvadud_D738_FMS_v1 = 140;
                       host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_pilot = 81.5f; }, &pfd::v1_off_show, 1},
      {"v1 fo", [] { script_mirror.zuvadud_D738_FMS_v1 = 140;
                     host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_copilot = 81.5f; }, &pfd::v1_off_show_fo, 1},
      {"v1 climb", [] { script_mirror.zuvadud_D738_FMS_v1 = 140; script_mirror.zuvadud_D738_FMS_flight_phase = 1; },
       &pfd::v1_off_show, 0},
      // AUTO: the approach speed shows while the airspeed is more than 50 kt above it.
      {"app 190.5", [] { script_mirror.zuvadud_D738_pfd_fmc_flap_spd = 2; script_mirror.zuvadud_D738_FMS_approach_speed = 140;
                         host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_pilot = 190.5f; },
       &pfd::vspeed_digit_show, 1},
      {"app 190", [] { script_mirror.zuvadud_D738_pfd_fmc_flap_spd = 2; script_mirror.zuvadud_D738_FMS_approach_speed = 140;
                       host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_pilot = 190; },
       &pfd::vspeed_digit_show, 0},
      {"app fo 190.5", [] { script_mirror.zuvadud_D738_pfd_fmc_flap_spd = 2; script_mirror.zuvadud_D738_FMS_approach_speed = 140;
                            host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_copilot = 190.5f; },
       &pfd::vspeed_ref_show_fo, 1},
      {"flap speed 1.9", [] { script_mirror.zuvadud_D738_pfd_fmc_flap_spd = 1.9f;
                              script_mirror.zuvadud_D738_FMS_approach_speed = 140;
                              host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_pilot = 300; },
       &pfd::vspeed_ref_show, 0},
      // Radio-altitude dial: at or above 1000 ft, or slower than 26 m/s.
      {"ra 1000", [] { script_mirror.zuvadud_D738_aoa_ra = 2; host_mirror.sim_flightmodel_position_groundspeed = 60;
                       host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 1000; }, &pfd::ra_dial, 1},
      {"ra 999", [] { script_mirror.zuvadud_D738_aoa_ra = 2; host_mirror.sim_flightmodel_position_groundspeed = 26;
                      host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 999; }, &pfd::ra_dial, 0},
      {"ra 25.9 m/s", [] { script_mirror.zuvadud_D738_aoa_ra = 2; host_mirror.sim_flightmodel_position_groundspeed = 25.9f;
                           host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 999; },
       &pfd::ra_dial, 1},
  };
  run_rows(*this, speeds, 8, update_pfd_vspeeds);
  static const ValueRow airborne[] = {
      {"VR airborne", [] { on_ground = 0; toggle_switch::spd_ref = 2; }, &pfd::vspeed_mode, 4},
      {"V1 airborne", [] { on_ground = 0; toggle_switch::spd_ref = 1; }, &pfd::vspeed_mode, 4},
      {"VREF airborne", [] { on_ground = 0; toggle_switch::spd_ref = 4; toggle_switch::spd_ref_adjust = 133; },
       &pfd::vspeed, 133},
      {"VREF airborne mode", [] { on_ground = 0; toggle_switch::spd_ref = 4; }, &pfd::vspeed_mode, 3},
      {"VREF on the ground", [] { toggle_switch::spd_ref = 4; }, &pfd::vspeed_mode, 4},
      {"V1 on the ground", [] { toggle_switch::spd_ref = 1; toggle_switch::spd_ref_adjust = 141; }, &pfd::vspeed_man_v1, 141},
      {"VR on the ground", [] { toggle_switch::spd_ref = 2; toggle_switch::spd_ref_adjust = 145; }, &pfd::vspeed_mode, 2},
  };
  run_rows(*this, airborne, std::size(airborne), update_pfd_vspeeds);
  // The fail flags follow each receiver's bus: VOR/DME 1 the AC standby bus,
  // ADF 1 DC bus 1, VOR/DME 2 and ADF 2 DC bus 2.
  static const ValueRow nav_fail[] = {
      {"dc 1 lost", [] { electric::dc_bus1_status = 0; electric::dc_bus2_status = 1; }, &pfd::adf1_fail, 1},
      {"standby up", [] { electric::ac_stdbus_status = 1; electric::dc_bus1_status = 0; }, &pfd::vor_dme1_fail, 0},
      {"standby lost", [] { electric::ac_stdbus_status = 0; electric::dc_bus1_status = 1; }, &pfd::vor_dme1_fail, 1},
      {"dc 2 lost", [] { electric::dc_bus1_status = 1; electric::dc_bus2_status = 0; }, &pfd::adf2_fail, 1},
      {"dc 2 up", [] { electric::dc_bus1_status = 0; electric::dc_bus2_status = 1; }, &pfd::vor_dme2_fail, 0},
  };
  run_rows(*this, nav_fail, std::size(nav_fail), update_nav_fail_flags);
  // The flap sound is a two-frame pulse; the levers ride in the landing light array.
  static const ValueRow end_of_frame[] = {
      {"pulse 1", [] { fmod_::flap_sound = 1; }, &fmod_::flap_sound, 2},
      {"pulse 2", [] { fmod_::flap_sound = 2; }, &fmod_::flap_sound, 0},
      {"flap lever", [] { flt_ctrls::flap_lever = 0.625f; }, &host_mirror.sim_cockpit2_switches_landing_lights_switch[13],
       0.625f},
      {"gear handle", [] { controls::gear_handle_down = 1; }, &host_mirror.sim_cockpit2_switches_landing_lights_switch[12], 1},
  };
  run_rows(*this, end_of_frame, std::size(end_of_frame), update_flap_cue_and_lever_relay);
  run_rows(*this, speeds + 8, 3, update_radio_alt_dial);
  // The radio-height box arms at 2504 ft and below, on both sides.
  for (float agl : {3000.0f, 2504.0f}) {
    script_mirror.zuvadud_D738_PFD_agl_pilot = script_mirror.zuvadud_D738_PFD_agl_copilot = agl;
    update_radio_alt_dial();
    EXPECT_EQ(pfd::rh_pilot_white_box, agl < 3000.0f ? 1.0f : 0.0f) << agl;
    EXPECT_EQ(pfd::rh_copilot_white_box, agl < 3000.0f ? 1.0f : 0.0f) << agl;
  }

  // Door lock: released with the switch at -1, engaged again once the door is shut; the sound
  // cue is up in the frame the lock changes.
  struct Door {
    float lock_switch, target, cue;
  } door[] = {{-1, 0, -1}, {-1, 0, 0}, {0, 0, 1}, {0, 0, 0}, {-1, 1, 1}, {0, 1, 0}, {0, 0, 1}, {0, 0, 0}};
  frame_time = 0.5f;  // the door reaches its target in one frame
  for (const Door& d : door) {
    toggle_switch::flt_dk_door = d.lock_switch;
    travel_targets.flt_dk_door = d.target;
    update_source_indications();
    if (d.cue >= 0) {
      EXPECT_EQ(cue_fmodpack::flt_dk_door_lock, d.cue) << d.lock_switch << " " << d.target;
    }
  }

  // Lower display blanking after a page change: 2 s, shown as 2 above 1.4 s and 1 above 0.8 s.
  frame_time = 0.5f;
  for (int i = 0; i < 5; ++i) update_standby_alt_du_select();
  script_mirror.zuvadud_D738_systems_lowerDU_page2 = 3.0f;
  const float lu[] = {2, 2, 1, 0};
  for (float want : lu) {
    update_standby_alt_du_select();
    EXPECT_EQ(display::lu_init, want);
  }
}

TEST_F(SystemLimits, ClockLightingByKnobAndBus) {
  clock_state = ClockState{};
  const float* ratio = host_mirror.sim_cockpit2_switches_instrument_brightness_ratio;
  struct Knob {
    float knob, digits, glow;  // elements 21 and 8 of the captain's clock
  } knobs[] = {{-0.1f, 0.1875f, 0.416667f}, {0, 0.1875f, 0.416667f}, {0.2f, 0.3f, 0.666667f},
               {0.4f, 0.4125f, 0.916667f}, {0.5f, 0.46875f, 1},      {1, 0.75f, 1},
               {1.2f, 0.75f, 1}};
  for (const Knob& k : knobs) {
    clock_state.chrono_brightness_capt = clock_state.chrono_brightness_fo = k.knob;
    update_clocks();
    EXPECT_NEAR(ratio[21], k.digits, 1e-5f) << k.knob;
    EXPECT_NEAR(ratio[8], k.glow, 1e-5f) << k.knob;
    EXPECT_NEAR(ratio[22], k.digits, 1e-5f) << k.knob;
    EXPECT_NEAR(ratio[18], k.glow, 1e-5f) << k.knob;
  }
  clock_state.chrono_brightness_capt = clock_state.chrono_brightness_fo = 1.0f;
  struct Bus {
    float dir_bat, bat, standby, dc1, dc2;
    bool capt, fo;
  } buses[] = {{1, 1, 1, 0, 0, true, true},  {1, 1, 0, 1, 0, true, false}, {1, 1, 0, 0, 1, false, true},
               {0, 1, 1, 1, 1, false, false}, {1, 0, 1, 1, 1, false, false}};
  for (const Bus& b : buses) {
    electric::dir_batbus_status = b.dir_bat;
    electric::batbus_status = b.bat;
    electric::dc_stdbus_status = b.standby;
    electric::dc_bus1_status = b.dc1;
    electric::dc_bus2_status = b.dc2;
    update_clocks();
    EXPECT_EQ(ratio[21], b.capt ? 0.75f : 0.0f) << b.dir_bat << b.bat << b.standby << b.dc1 << b.dc2;
    EXPECT_EQ(ratio[22], b.fo ? 0.75f : 0.0f) << b.dir_bat << b.bat << b.standby << b.dc1 << b.dc2;
  }
}

TEST_F(SystemLimits, OverspeedWarningAndItsTest) {
  struct Row {
    float capt_kt, fo_kt, mach, ra_ft, button, battery_bus;
    float warn;
  } rows[] = {{341, 341, 0.823f, 1000, 0, 1, 0}, {342, 300, 0.5f, 1000, 0, 1, 1}, {300, 342, 0.5f, 1000, 0, 1, 1},
              {300, 300, 0.824f, 1000, 0, 1, 1}, {0, 0, 0, 49, 1, 1, 1},          {0, 0, 0, 50, 1, 1, 0},
              {0, 0, 0, 49, 0, 1, 0},
              {342, 342, 0.9f, 1000, 0, 0, 0}};
  for (const Row& r : rows) {
    host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_pilot = r.capt_kt;
    host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_copilot = r.fo_kt;
    host_mirror.sim_flightmodel_misc_machno = r.mach;
    host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = r.ra_ft;
    push_button::mach_warn1_pos = r.button;
    electric::batbus_status = r.battery_bus;
    update_source_indications();
    EXPECT_EQ(fmod_::mach_warn, r.warn) << r.capt_kt << " " << r.fo_kt << " " << r.mach << " " << r.ra_ft;
  }
  push_button::mach_warn1_pos = 0.0f;
  electric::batbus_status = 1.0f;
}

}  // namespace
