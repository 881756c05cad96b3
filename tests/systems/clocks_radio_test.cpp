// Clocks (counters, power loss, date cycle, display lighting) and the radio
// tuning and audio control panels.
#include <vector>

#include "panel_fixture.h"
#include "systems/aircraft_systems.h"
#include "systems/electrical/electrical.h"
#include "systems/annunciators/annunciator_values.h"
#include "systems/instruments/clock_values.h"
#include "systems/instruments/clocks.h"
#include "systems/radios/comm_values.h"
#include "systems/instruments/instrument_values.h"
#include "systems/radios/mic_select.h"
#include "systems/radios/radio_audio.h"

namespace {

class Clocks : public PanelTest {
 protected:
  void SetUp() override {
    PanelTest::SetUp();
    clock_state = ClockState{};
    clock_state.chrono_brightness_capt = 0.5f;
    clock_state.chrono_brightness_fo = 0.5f;
    using namespace clock_;
    for (float* v : {&captain_et_seconds, &captain_et_minutes, &captain_et_hours, &captain_chrono_seconds,
                     &captain_chrono_minutes, &captain_chrono_seconds_needle, &clock_display_mode_capt}) {
      *v = 0.0f;
    }
    captain_et_mode = 1.0f;
    captain_chrono_mode = 1.0f;
  }
};

TEST_F(Clocks, ChronographMinuteRangeFollowsTheVariant) {
  struct Case {
    float variant;
    float last_minute;
  };
  for (const Case& c : {Case{0.0f, 59.0f}, Case{1.0f, 97.0f}}) {
    SetUp();
    script_mirror.zuvadud_D738_chrono_variant = c.variant;
    clock_::captain_chrono_minutes = c.last_minute;
    clock_::captain_chrono_seconds = 59.9375f;
    update_clocks();
    EXPECT_EQ(clock_::captain_chrono_minutes, 0.0f) << c.variant;
    EXPECT_FLOAT_EQ(clock_::captain_chrono_seconds, 0.0625f);
    EXPECT_EQ(clock_::captain_chrono_seconds_needle, clock_::captain_chrono_seconds);
    clock_::captain_chrono_minutes = c.last_minute - 1.0f;
    clock_::captain_chrono_seconds = 59.9375f;
    update_clocks();
    EXPECT_EQ(clock_::captain_chrono_minutes, c.last_minute) << c.variant;
  }
}

TEST_F(Clocks, ElapsedTimeRollsOverAndSurvivesPowerLoss) {
  clock_::captain_et_seconds = 59.9375f;
  clock_::captain_et_minutes = 58.0f;
  clock_::captain_et_hours = 22.0f;
  update_clocks();  // 22:59 shows
  EXPECT_EQ(clock_::captain_et_minutes, 59.0f);
  clock_::captain_et_seconds = 59.9375f;
  update_clocks();  // and 23:00
  EXPECT_EQ(clock_::captain_et_minutes, 0.0f);
  EXPECT_EQ(clock_::captain_et_hours, 23.0f);
  clock_::captain_et_seconds = 59.9375f;
  clock_::captain_et_minutes = 59.0f;
  clock_::captain_et_hours = 23.0f;
  update_clocks();
  EXPECT_EQ(clock_::captain_et_hours, 0.0f);
  EXPECT_EQ(clock_::captain_et_minutes, 0.0f);
  clock_::captain_chrono_seconds = 10.0f;
  electric::dir_batbus_status = 0.0f;
  update_clocks();
  EXPECT_FLOAT_EQ(clock_::captain_et_seconds, 0.1875f);  // still counting
  EXPECT_EQ(clock_::captain_chrono_mode, -1.0f);
  EXPECT_EQ(clock_::clock_capt_power, 0.0f);
  EXPECT_EQ(clock_::clock_display_mode_fo, 3.0f);
  update_clocks();
  EXPECT_EQ(clock_::captain_chrono_seconds, 0.0f);  // reset by the lost power
  EXPECT_EQ(clock_::captain_et_mode, 1.0f);
}

TEST_F(Clocks, DateCycle) {
  clock_::clock_display_mode_capt = 2.0f;
  frame_time = 0.25f;
  const float phases[] = {0, 0, 0, 0, 0, 1, 1, 2, 2, 2, 2, 2, 2, 3, 3, 3, 0};  // 0.25 s .. 4.25 s
  for (float expected : phases) {
    update_clocks();
    EXPECT_EQ(clock_::clock_display_dmy_capt, expected) << clock_state.date_cycle_timer_capt;
  }
  clock_::clock_display_mode_capt = 3.0f;
  update_clocks();
  EXPECT_EQ(clock_state.date_cycle_timer_capt, 0.0f);
  EXPECT_EQ(clock_::clock_display_dmy_capt, 0.0f);
}

TEST_F(Clocks, DisplayLighting) {
  EXPECT_EQ(clock_brightness_fraction(-1.0f), 0.25f);
  EXPECT_EQ(clock_brightness_fraction(2.0f), 1.0f);
  EXPECT_FLOAT_EQ(clock_brightness_fraction(0.5f), 0.625f);
  clock_state.chrono_brightness_capt = 0.0f;
  clock_state.chrono_brightness_fo = 1.0f;
  electric::dc_stdbus_status = 0.0f;
  electric::dc_bus2_status = 0.0f;
  update_clocks();
  const std::vector<float> r = simhost::get_floats("sim/cockpit2/switches/instrument_brightness_ratio");
  EXPECT_FLOAT_EQ(r[8], 0.25f / 0.6f);
  EXPECT_FLOAT_EQ(r[21], 0.1875f);
  EXPECT_EQ(r[18], 0.0f);  // first officer's clock without DC bus 2 or standby
  EXPECT_EQ(r[22], 0.0f);
}

class RadioPanels : public PanelTest {
 protected:
  void SetUp() override {
    PanelTest::SetUp();
    radio_panel_state = RadioPanelState{};
    comm::rtp_L_off_status = 0.0f;
    comm::rtp_R_off_status = 0.0f;
    comm::rtp_D_off_status = 0.0f;
    comm::radio_button = 0.0f;
    for (float& v : cockpit::dspl_light_test) v = 0.0f;
    annunciator::brightness_level = 0.8f;
    for (float* mic : {&audio::capt_mic_indicator1, &audio::capt_mic_indicator2, &audio::fo_mic_indicator1,
                       &audio::fo_mic_indicator2, &audio::obs_mic_indicator1, &audio::obs_mic_indicator2}) {
      *mic = 0.0f;
    }
    for (auto& seat : mic_select) {
      for (float& k : seat) k = 0.0f;
    }
    radio_panel_state.rtp_prev_stdby_bus = 1.0f;
    radio_panel_state.rtp_prev_tns2_bus = 1.0f;
    elec_bus_status.dir_batbus_copy = 1.0f;
    rtp_select_radio(rtp_L, 1, 0, 0, 0, 0, 0);
    rtp_select_radio(rtp_R, 0, 1, 0, 0, 0, 0);
    rtp_select_radio(rtp_D, 0, 0, 1, 0, 0, 0);
    init_audio_panels();
    radio_panel_state.rtp_prev_stdby_bus = 1.0f;
    radio_panel_state.rtp_prev_tns2_bus = 1.0f;
  }
};

TEST_F(RadioPanels, OffsideLampAndDisplays) {
  EXPECT_EQ(radio_panel_state.rtp_offside_lamp[rtp_L], 0.0f);
  EXPECT_EQ(comm::rtp_L_lcd_to_display, 0.0f);
  EXPECT_EQ(comm::rtp_D_lcd_to_display, 2.0f);
  rtp_vhf_select(rtp_R, 0);  // R tunes VHF 1 too
  EXPECT_EQ(radio_panel_state.rtp_offside_lamp[rtp_L], 1.0f);
  EXPECT_EQ(radio_panel_state.rtp_offside_lamp[rtp_R], 1.0f);
  EXPECT_EQ(comm::rtp_R_lcd_to_display, 0.0f);
  EXPECT_EQ(comm::radio_button, 1.0f);
  rtp_select_radio(rtp_D, 0, 0, 0, 1, 0, 0);  // HF only: the display shows "other"
  EXPECT_EQ(comm::rtp_D_lcd_to_display, 99.0f);
  update_audio_radio_panels();
  EXPECT_EQ(comm::rtp_L_offside_tuning_status, 1.0f);
  EXPECT_EQ(comm::rtp_R_vhf_1_status, 1.0f);
  EXPECT_EQ(comm::radio_button, 2.0f);
  update_audio_radio_panels();
  EXPECT_EQ(comm::radio_button, 0.0f);
}

TEST_F(RadioPanels, StandbyBusLossAndReturn) {
  electric::ac_stdbus_status = 0.0f;
  update_audio_radio_panels();
  update_audio_radio_panels();
  EXPECT_EQ(issued("sim/radios/power_com1_off"), 1);
  EXPECT_EQ(comm::rtp_L_off_status, 1.0f);
  EXPECT_EQ(comm::rtp_D_off_status, 1.0f);
  EXPECT_EQ(comm::rtp_R_off_status, 0.0f);
  EXPECT_EQ(comm::rtp_L_lcd_to_display, 90.0f);
  EXPECT_EQ(comm::rtp_L_offside_tuning_status, 0.0f);
  EXPECT_EQ(comm::rtp_D_offside_tuning_status, 0.0f);
  EXPECT_EQ(comm::nav1_status, 0.0f);  // NAV 1 rides the AC standby bus with the panel
  EXPECT_EQ(comm::nav2_status, electric::dc_bus2_status);
  electric::ac_stdbus_status = 1.0f;
  update_audio_radio_panels();
  EXPECT_EQ(issued("sim/radios/power_com1_on"), 1);
  EXPECT_EQ(comm::rtp_L_off_status, 0.0f);
  EXPECT_EQ(comm::rtp_L_vhf_1_status, 1.0f);
  EXPECT_EQ(comm::rtp_D_vhf_3_status, 1.0f);
}

// A NAV receiver is alive or dead as a whole: its status and its PFD flag
// read one row, with each bus lost and on standby power.
TEST_F(RadioPanels, NavReceiversAliveOrDeadAsAWhole) {
  struct Buses {
    float ac_stdby, dc1, tns2, dc2;
  } rows[] = {{0, 1, 1, 1}, {1, 0, 1, 1}, {1, 1, 0, 1}, {1, 1, 1, 0}, {1, 0, 0, 0}, {1, 1, 1, 1}};
  for (const Buses& b : rows) {
    electric::ac_stdbus_status = b.ac_stdby;
    electric::dc_bus1_status = b.dc1;
    electric::ac_tnsbus2_status = b.tns2;
    electric::dc_bus2_status = b.dc2;
    update_audio_radio_panels();
    update_nav_fail_flags();
    const auto why = ::testing::Message() << b.ac_stdby << b.dc1 << b.tns2 << b.dc2;
    EXPECT_EQ(comm::nav1_status, 1.0f - pfd::vor_dme1_fail) << why;
    EXPECT_EQ(comm::nav2_status, 1.0f - pfd::vor_dme2_fail) << why;
  }
}

TEST_F(RadioPanels, PanelSwitchedOffWhilePoweredShowsItsOffsideLamp) {
  rtp_off_switch(rtp_R);
  update_audio_radio_panels();
  EXPECT_EQ(comm::rtp_R_off_status, 1.0f);
  EXPECT_EQ(comm::rtp_R_offside_tuning_status, 1.0f);
  EXPECT_EQ(comm::rtp_R_vhf_2_status, 0.0f);
  EXPECT_EQ(issued("sim/radios/power_com2_on"), 0);
  // Its bus lost and back: it forgets the switch and comes on with the power.
  electric::ac_tnsbus2_status = 0.0f;
  update_audio_radio_panels();
  EXPECT_EQ(issued("sim/radios/power_com2_off"), 1);
  electric::ac_tnsbus2_status = 1.0f;
  update_audio_radio_panels();
  EXPECT_EQ(comm::rtp_R_off_status, 0.0f);
  EXPECT_EQ(comm::rtp_R_vhf_2_status, 1.0f);
}

TEST_F(RadioPanels, LightTest) {
  cockpit::dspl_light_test[0] = 1.0f;
  cockpit::dspl_light_test[3] = 2.0f;  // R panel's test element
  update_audio_radio_panels();
  EXPECT_EQ(comm::rtp_L_hf_2_status, 1.0f);
  EXPECT_EQ(comm::rtp_L_offside_tuning_status, 1.0f);
  EXPECT_EQ(comm::rtp_R_am_status, 0.0f);
}

TEST_F(RadioPanels, PriorityPanelDrivesTheHost) {
  EXPECT_EQ(comm::audio_sel_com1, 1.0f);
  EXPECT_EQ(comm::fo_com1_audio_sel_pos, 0.7f);
  EXPECT_EQ(comm::obs_audio_sel_com1, 0.0f);
  host_mirror.sim_cockpit2_radios_actuators_com1_power = 1;
  host_mirror.sim_cockpit2_radios_actuators_com2_power = 1;
  script_mirror.zuvadud_D738_effects_prior_tx_com = 1.0f;
  comm::fo_audio_vol_nav1 = 0.3f;
  comm::fo_audio_sel_com2 = 0.0f;
  comm::fo_audio_sel_nav2 = 1.0f;
  mic_select[seat_fo][1] = 1.0f;
  comm::audio_vol_nav1 = 0.9f;  // the captain's knobs do not count
  mic_select[seat_capt][0] = 1.0f;
  update_audio_radio_panels();
  EXPECT_EQ(simhost::get_int("sim/cockpit2/radios/actuators/audio_com_selection"), 7);
  EXPECT_EQ(simhost::get_int("sim/cockpit2/radios/actuators/audio_selection_com1"), 1);
  EXPECT_EQ(simhost::get_int("sim/cockpit2/radios/actuators/audio_selection_com2"), 1);  // via the microphone
  EXPECT_EQ(simhost::get_int("sim/cockpit2/radios/actuators/audio_selection_nav2"), 1);
  EXPECT_FLOAT_EQ(simhost::get_float("sim/cockpit2/radios/actuators/audio_volume_nav1"), 0.3f);
  // Selector lamps: the knob's bus times the annunciator brightness.
  EXPECT_FLOAT_EQ(comm::fo_audio_sel_com1_on, 0.8f);
  EXPECT_EQ(comm::fo_audio_sel_nav1_on, 0.0f);
  electric::ac_tnsbus2_status = 0.0f;
  update_audio_radio_panels();
  EXPECT_EQ(comm::fo_audio_sel_com1_on, 0.0f);
  EXPECT_FLOAT_EQ(comm::audio_sel_com1_on, 0.8f);
}

TEST_F(RadioPanels, TransmitterNeedsAPoweredPanelNotALitLamp) {
  host_mirror.sim_cockpit2_radios_actuators_com1_power = 1;
  host_mirror.sim_cockpit2_radios_actuators_com2_power = 1;
  struct Case {
    float prior;    // whose panel drives the host
    int seat;       // that panel
    int key;        // selected mic key, -1 none
    float lamp;     // level of all mic lamps (0: dimmer at 0)
    float dirbat;   // direct battery bus (lamp supply)
    float tns2;     // AC transfer bus 2
    int transmit;   // expected host transmitter; 0: the one it had stays
  };
  const Case cases[] = {
      {0.0f, seat_capt, 0, 0.0f, 1, 1, 6},  // dimmed lamp, key 1 selected: still COM 1
      {1.0f, seat_fo, 1, 0.0f, 1, 1, 7},   {2.0f, seat_obs, 1, 0.0f, 1, 1, 7},
      {0.0f, seat_capt, 5, 0.8f, 1, 1, 0},  // lamps lit, but the selection is key 6
      {1.0f, seat_fo, -1, 1.0f, 1, 1, 0},  {7.0f, seat_obs, 0, 0.3f, 1, 1, 6},
      {0.0f, seat_capt, 0, 0.8f, 0, 1, 0},  // dark cockpit: no panel can key
      {1.0f, seat_fo, 0, 0.8f, 0, 1, 0},
      {0.0f, seat_capt, 0, 0.8f, 1, 0, 6},  // the captain's panel needs no bus 2
      {1.0f, seat_fo, 0, 0.8f, 1, 0, 0},   {2.0f, seat_obs, 1, 0.8f, 1, 0, 0},
  };
  for (const Case& c : cases) {
    for (auto& seat : mic_select) {
      for (float& k : seat) k = 0.0f;
    }
    if (c.key >= 0) mic_select[c.seat][c.key] = 1.0f;
    for (float* mic : {&audio::capt_mic_indicator1, &audio::capt_mic_indicator2, &audio::fo_mic_indicator1,
                       &audio::fo_mic_indicator2, &audio::obs_mic_indicator1, &audio::obs_mic_indicator2}) {
      *mic = c.lamp;
    }
    electric::dir_batbus_status = c.dirbat;
    elec_bus_status.dir_batbus_copy = c.dirbat;
    electric::ac_tnsbus2_status = c.tns2;
    for (float* sel : {&comm::audio_sel_com1, &comm::fo_audio_sel_com1, &comm::obs_audio_sel_com1}) *sel = 0.0f;
    script_mirror.zuvadud_D738_effects_prior_tx_com = c.prior;
    const int had = c.transmit == 6 ? 7 : 6;
    simhost::set_int("sim/cockpit2/radios/actuators/audio_com_selection", had);
    update_audio_radio_panels();
    EXPECT_EQ(simhost::get_int("sim/cockpit2/radios/actuators/audio_com_selection"), c.transmit != 0 ? c.transmit : had)
        << c.prior << " " << c.key << " " << c.lamp << " " << c.dirbat << " " << c.tns2;
    if (c.transmit == 0 && c.key == 0) {
      EXPECT_EQ(simhost::get_int("sim/cockpit2/radios/actuators/audio_selection_com1"), 0) << "no COM 1 through the mic";
    }
  }
}

}  // namespace
