// Radio tuning panel handlers through the simulated host: knob repeat timing,
// which radio a knob tunes, COM 3's own frequency rings, transfer keys, the
// OFF switch.
#include <cmath>

#include "cockpit_fixture.h"
#include "systems/electrical/electric_values.h"
#include "systems/radios/comm_values.h"
#include "systems/radios/radio_audio.h"
#include "systems/switches/switch_values.h"

namespace {

class RadioPanels : public CockpitTest {
 protected:
  void SetUp() override {
    CockpitTest::SetUp();
    radio_panel_state = RadioPanelState{};
    comm::rtp_L_off_status = 0.0f;
    comm::rtp_D_off_status = 0.0f;
    electric::ac_stdbus_status = 1.0f;  // COM 3 and panels L and D powered
    comm::rtp_L_lcd_to_display = 0.0f;
    comm::rtp_L_freq_MHz_sel_dial_pos = 0.0f;
    comm::com3_stdby_freq_data = 0.0f;
    comm::com3_stdby_freq_MHz = 118.0f;
    comm::com3_stdby_freq_kHz = 0.0f;
  }
};

TEST_F(RadioPanels, KnobRepeatsOncePerFrameAfterHalfASecond) {
  const std::string down = "sim/radios/stby_com1_coarse_down";
  // 3 frames of 0.125 s: the hold time reaches 0.375 s, never past 0.5 s.
  hold("rtp_L/freq_MHz/sel_dial_dn", 3);
  EXPECT_EQ(issued(down), 1);
  EXPECT_EQ(comm::rtp_L_freq_MHz_sel_dial_pos, -1.0f);
  simhost::clear_issued_commands();
  // 8 frames: five callbacks gather 0.625 s, then one step per callback.
  hold("rtp_L/freq_MHz/sel_dial_dn", 8);
  EXPECT_EQ(issued(down), 1 + 3);
  EXPECT_EQ(comm::rtp_L_freq_MHz_sel_dial_pos, -5.0f);
}

TEST_F(RadioPanels, KnobTunesTheRadioTheDisplayShows) {
  struct Case {
    float lcd;
    const char* knob;
    const char* sent;  // nullptr: nothing
  } cases[] = {
      {0.0f, "rtp_L/freq_khz/sel_dial_up", "sim/radios/stby_com1_fine_up_833"},
      {1.0f, "rtp_L/freq_khz/sel_dial_dn", "sim/radios/stby_com2_fine_down_833"},
      {1.0f, "rtp_L/freq_MHz/sel_dial_up", "sim/radios/stby_com2_coarse_up"},
      {2.0f, "rtp_L/freq_MHz/sel_dial_dn", "zuvadud/D738/com3_dial_course_down"},
      {99.0f, "rtp_L/freq_MHz/sel_dial_dn", nullptr},
      {90.0f, "rtp_L/freq_khz/sel_dial_up", nullptr},
  };
  for (const Case& c : cases) {
    simhost::clear_issued_commands();
    comm::rtp_L_lcd_to_display = c.lcd;
    click(c.knob);
    EXPECT_EQ(issued_total(), c.sent ? 1 : 0) << c.knob << " lcd " << c.lcd;
    if (c.sent) {
      EXPECT_EQ(issued(c.sent), 1) << c.knob;
    }
  }
}

TEST_F(RadioPanels, UnpoweredPanelOnlyTurnsTheKnob) {
  comm::rtp_L_off_status = 1.0f;
  click("rtp_L/freq_MHz/sel_dial_up");
  EXPECT_EQ(issued_total(), 0);
  EXPECT_EQ(comm::rtp_L_freq_MHz_sel_dial_pos, 1.0f);
}

TEST_F(RadioPanels, Com3ThroughThePanelReachesData) {
  comm::rtp_L_lcd_to_display = 2.0f;
  click("rtp_L/freq_MHz/sel_dial_dn");
  EXPECT_EQ(comm::com3_stdby_freq_data, 1.0f);
  EXPECT_EQ(comm::com3_stdby_freq_kHz, 0.0f);
}

// COM 3 answers none of its commands without its power, nor, pressed from
// outside, with its own panel D switched OFF; a powered panel showing VHF 3
// still tunes it then.
TEST_F(RadioPanels, Com3NeedsItsPowerAndAPanelThatIsOn) {
  const char* const commands[] = {"com3_dial_course_up", "com3_dial_course_down", "com3_dial_fine_up",
                                  "com3_dial_fine_down", "com3_dial_flip"};
  struct Case {
    float standby_bus, panel_d_off;
    bool tunes;
  } cases[] = {{0, 1, false}, {0, 0, false}, {1, 1, false}, {1, 0, true}};
  for (const Case& c : cases) {
    for (const char* command : commands) {
      electric::ac_stdbus_status = c.standby_bus;
      comm::rtp_D_off_status = c.panel_d_off;
      comm::com3_act_freq_data = 1.0f;
      comm::com3_stdby_freq_data = 0.0f;
      comm::com3_stdby_freq_MHz = 124.0f;
      comm::com3_stdby_freq_kHz = 850.0f;
      click(command);
      const bool moved = comm::com3_stdby_freq_MHz != 124.0f || comm::com3_stdby_freq_kHz != 850.0f ||
                         comm::com3_act_freq_data != 1.0f;
      EXPECT_EQ(moved, c.tunes) << command << " bus " << c.standby_bus << " D off " << c.panel_d_off;
    }
  }
  comm::rtp_D_off_status = 1.0f;
  comm::rtp_L_lcd_to_display = 2.0f;
  comm::com3_stdby_freq_data = 0.0f;
  comm::com3_stdby_freq_MHz = 124.0f;
  click("rtp_L/freq_MHz/sel_dial_up");
  EXPECT_EQ(comm::com3_stdby_freq_MHz, 125.0f);
  click("rtp_L/freq_txfr/sel_switch");
  EXPECT_EQ(comm::com3_act_freq_MHz, 125.0f);
}

TEST_F(RadioPanels, Com3MegahertzRing) {
  struct Case {
    float data, mhz, khz;
    const char* cmd;
    float want_data, want_mhz, want_khz;
  } cases[] = {
      {0, 136, 250, "com3_dial_course_up", 1, 118, 0},
      {1, 118, 0, "com3_dial_course_up", 0, 118, 0},
      {1, 118, 500, "com3_dial_course_down", 0, 136, 500},
      {0, 118, 250, "com3_dial_course_down", 1, 118, 0},
      {0, 120, 250, "com3_dial_course_up", 0, 121, 250},
  };
  for (const Case& c : cases) {
    comm::com3_stdby_freq_data = c.data;
    comm::com3_stdby_freq_MHz = c.mhz;
    comm::com3_stdby_freq_kHz = c.khz;
    click(c.cmd);
    EXPECT_EQ(comm::com3_stdby_freq_data, c.want_data) << c.cmd << " from " << c.mhz;
    EXPECT_EQ(comm::com3_stdby_freq_MHz, c.want_mhz) << c.cmd << " from " << c.mhz;
    EXPECT_EQ(comm::com3_stdby_freq_kHz, c.want_khz) << c.cmd << " from " << c.mhz;
  }
}

TEST_F(RadioPanels, Com3KilohertzFollowsChannelNames) {
  struct Case {
    float khz;
    bool up;
    float want;
  } cases[] = {
      {990, true, 0},  {0, false, 990}, {15, true, 25},  {25, false, 15}, {90, true, 100},
      {40, true, 50},  {65, true, 75},  {50, false, 40}, {75, false, 65}, {100, false, 90},
      {5, true, 10},   {10, false, 5},
      {-5, true, 5},   {NAN, false, 990}, {INFINITY, true, 5},  // restarted at 000
  };
  for (const Case& c : cases) {
    comm::com3_stdby_freq_data = 1.0f;
    comm::com3_stdby_freq_MHz = 121.0f;
    comm::com3_stdby_freq_kHz = c.khz;
    click(c.up ? "com3_dial_fine_up" : "com3_dial_fine_down");
    EXPECT_EQ(comm::com3_stdby_freq_kHz, c.want) << c.khz << (c.up ? " up" : " down");
    EXPECT_EQ(comm::com3_stdby_freq_data, 0.0f);
    EXPECT_EQ(comm::com3_stdby_freq_MHz, 121.0f);
  }
}

TEST_F(RadioPanels, TransferKeySwapsCom3AndHoldsTheKey) {
  comm::rtp_L_lcd_to_display = 2.0f;
  comm::com3_act_freq_data = 1.0f;
  comm::com3_act_freq_MHz = 118.0f;
  comm::com3_act_freq_kHz = 0.0f;
  comm::com3_stdby_freq_MHz = 124.0f;
  comm::com3_stdby_freq_kHz = 850.0f;
  press("rtp_L/freq_txfr/sel_switch");
  EXPECT_EQ(comm::push_button_rtp_L_freq_swap, 1.0f);
  EXPECT_EQ(comm::com3_act_freq_data, 0.0f);
  EXPECT_EQ(comm::com3_act_freq_MHz, 124.0f);
  EXPECT_EQ(comm::com3_act_freq_kHz, 850.0f);
  EXPECT_EQ(comm::com3_stdby_freq_data, 1.0f);
  EXPECT_EQ(comm::com3_stdby_freq_MHz, 118.0f);
  release("rtp_L/freq_txfr/sel_switch");
  EXPECT_EQ(comm::push_button_rtp_L_freq_swap, 0.0f);

  comm::rtp_L_lcd_to_display = 99.0f;
  press("rtp_L/freq_txfr/sel_switch");
  EXPECT_EQ(comm::push_button_rtp_L_freq_swap, 0.0f);
  release("rtp_L/freq_txfr/sel_switch");
}

TEST_F(RadioPanels, HfKeyOnlyPulsesAndVhfKeySelects) {
  rtp_select_radio(rtp_L, 1, 0, 0, 0, 0, 0);
  comm::radio_button = 0.0f;
  click("rtp_L/hf_1/sel_switch");
  EXPECT_EQ(comm::radio_button, 1.0f);
  EXPECT_EQ(comm::rtp_L_lcd_to_display, 0.0f);
  EXPECT_EQ(radio_panel_state.rtp_selection[rtp_L][rtp_hf_1], 0.0f);
  click("rtp_L/vhf_2/sel_switch");
  EXPECT_EQ(comm::rtp_L_lcd_to_display, 1.0f);
  // OFF: the panel goes dark and selects nothing; pushed again it comes
  // back on the radio it showed.
  electric::ac_stdbus_status = 1.0f;
  click("rtp_L/off_switch");
  EXPECT_EQ(comm::rtp_L_off_status, 1.0f);
  EXPECT_EQ(comm::rtp_L_lcd_to_display, 90.0f);
  click("rtp_L/vhf_1/sel_switch");
  click("rtp_L/off_switch");
  EXPECT_EQ(comm::rtp_L_off_status, 0.0f);
  EXPECT_EQ(comm::rtp_L_lcd_to_display, 1.0f);
}

// With its receiver powered the swap is held as long as the key; a dead
// receiver's key moves and swaps nothing.
TEST_F(RadioPanels, NavFlipHeldAsLongAsTheKey) {
  electric::dc_bus1_status = 1.0f;
  press("push_button/switch_freq_nav1_press");
  EXPECT_EQ(push_button::switch_freq_nav1, 1.0f);
  EXPECT_EQ(issued("sim/radios/nav1_standy_flip"), 1);
  EXPECT_EQ(ended("sim/radios/nav1_standy_flip"), 0);
  release("push_button/switch_freq_nav1_press");
  EXPECT_EQ(push_button::switch_freq_nav1, 0.0f);
  EXPECT_EQ(ended("sim/radios/nav1_standy_flip"), 1);
  electric::dc_bus1_status = electric::ac_stdbus_status = 0.0f;
  electric::dc_bus2_status = electric::ac_tnsbus2_status = 0.0f;
  for (const char* key : {"push_button/switch_freq_nav1_press", "push_button/switch_freq_nav2_press"}) {
    press(key);
    release(key);
  }
  EXPECT_EQ(issued("sim/radios/nav1_standy_flip") + issued("sim/radios/nav2_standy_flip"), 1);
}

TEST_F(RadioPanels, AdfAntennaTwiceReturns) {
  toggle_switch::adf_ant1 = 0.0f;
  click("toggle_switch/adf_ant1");
  EXPECT_EQ(toggle_switch::adf_ant1, 1.0f);
  click("toggle_switch/adf_ant1");
  EXPECT_EQ(toggle_switch::adf_ant1, 0.0f);
}

}  // namespace
