// Audio control panel handlers: the transmitter keys' one-hot selection and
// the receiver keys' push-on, push-off latch, each key of each panel apart.
#include "cockpit_fixture.h"
#include "core/preprocess_values.h"
#include "systems/annunciators/annunciator_values.h"
#include "systems/radios/comm_values.h"
#include "systems/radios/mic_select.h"
#include "systems/radios/radio_audio.h"

namespace {

class AudioPanels : public CockpitTest {
 protected:
  void SetUp() override {
    CockpitTest::SetUp();
    // The first-frame start: captain on transmitter 1 with its key still
    // down, both pilots hearing COM 1.
    float* capt[6] = {&audio::capt_mic_button1, &audio::capt_mic_button2, &audio::capt_mic_button3,
                      &audio::capt_mic_button4, &audio::capt_mic_button5, &audio::capt_mic_button6};
    for (float* k : capt) *k = 0.0f;
    audio::capt_mic_button1 = 1.0f;
    for (int s = 0; s < seat_count; ++s) {
      for (int k = 0; k < mic_key_count; ++k) mic_select[s][k] = 0.0f;
    }
    mic_select[seat_capt][0] = 1.0f;
    mic_select[seat_fo][1] = 1.0f;
    comm::audio_sel_com1 = 1.0f;
    comm::com1_audio_sel_pos = 0.7f;
    comm::fo_audio_sel_com1 = 1.0f;
    comm::fo_com1_audio_sel_pos = 0.7f;
    for (float& l : radio_panel_state.audio_receiver_memory) l = 0.0f;
    radio_panel_state.audio_receiver_memory[0] = 1.0f;  // captain COM 1
    radio_panel_state.audio_receiver_memory[5] = 1.0f;  // first officer COM 1
  }
};

TEST_F(AudioPanels, StartKeyIgnoredUntilReleasedThenWorks) {
  // Mark the selection so an ignored push is visible.
  mic_select[seat_capt][0] = 0.0f;
  mic_select[seat_capt][5] = 1.0f;
  press("audio/capt/mic_push1");  // still counts as pressed from the start
  EXPECT_EQ(mic_select[seat_capt][0], 0.0f);
  EXPECT_EQ(mic_select[seat_capt][5], 1.0f);
  release("audio/capt/mic_push1");
  EXPECT_EQ(audio::capt_mic_button1, 0.0f);
  press("audio/capt/mic_push1");
  EXPECT_EQ(audio::capt_mic_button1, 1.0f);
  EXPECT_EQ(mic_select[seat_capt][0], 1.0f);
  EXPECT_EQ(mic_select[seat_capt][5], 0.0f);
  release("audio/capt/mic_push1");
}

TEST_F(AudioPanels, MicKeyIsOneHotPerPanel) {
  audio::capt_mic_button1 = 0.0f;
  press("audio/capt/mic_push3");
  EXPECT_EQ(audio::capt_mic_button3, 1.0f);
  release("audio/capt/mic_push3");
  EXPECT_EQ(audio::capt_mic_button3, 0.0f);
  const float want[6] = {0, 0, 1, 0, 0, 0};
  for (int k = 0; k < 6; ++k) EXPECT_EQ(mic_select[seat_capt][k], want[k]) << k;
  EXPECT_EQ(mic_select[seat_fo][1], 1.0f);  // the first officer's panel untouched
}

TEST_F(AudioPanels, ReceiverKeyPushOffThenPushOn) {
  press("comm/com1_audio_sel");
  EXPECT_EQ(comm::audio_sel_com1, 1.0f);
  EXPECT_EQ(comm::com1_audio_sel_pos, 1.0f);
  release("comm/com1_audio_sel");
  EXPECT_EQ(comm::audio_sel_com1, 0.0f);
  EXPECT_EQ(comm::com1_audio_sel_pos, 0.0f);
  press("comm/com1_audio_sel");
  EXPECT_EQ(comm::audio_sel_com1, 1.0f);
  EXPECT_EQ(comm::com1_audio_sel_pos, 1.0f);
  release("comm/com1_audio_sel");
  EXPECT_EQ(comm::audio_sel_com1, 1.0f);
  EXPECT_EQ(comm::com1_audio_sel_pos, 0.7f);
  // The first officer's COM 1 keeps its own latch.
  click("comm/fo_com1_audio_sel");
  EXPECT_EQ(comm::fo_audio_sel_com1, 0.0f);
  EXPECT_EQ(comm::audio_sel_com1, 1.0f);
}

TEST_F(AudioPanels, ObserverMarkerKeyLatches) {
  comm::obs_audio_sel_marker = 0.0f;
  click("comm/obs_mark_audio_sel");
  EXPECT_EQ(comm::obs_audio_sel_marker, 1.0f);
  EXPECT_EQ(comm::obs_mark_audio_sel_pos, 0.7f);
  EXPECT_EQ(radio_panel_state.audio_receiver_memory[2 * 5 + 4], 1.0f);
}

TEST_F(AudioPanels, SelcalResetClearsOnlyItsRadio) {
  for (float& l : selcal_state.call_latch) l = 1.0f;
  press("comm/rst_selcal_com2");
  EXPECT_EQ(annunciates::selcal_com2_pos, 1.0f);
  EXPECT_EQ(selcal_state.call_latch[0], 1.0f);
  EXPECT_EQ(selcal_state.call_latch[1], 0.0f);
  EXPECT_EQ(selcal_state.call_latch[2], 1.0f);
  release("comm/rst_selcal_com2");
  EXPECT_EQ(annunciates::selcal_com2_pos, 0.0f);
}

}  // namespace
