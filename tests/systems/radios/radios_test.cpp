// Radio tuning and audio panels.
#include <gtest/gtest.h>

#include "core/binding.h"
#include "systems/electrical/electric_values.h"
#include "systems/radios/comm_values.h"
#include "systems/radios/radio_audio.h"

namespace {

// A radio tuning selection outside the three panels or three VHF radios is
// ignored (it comes from a command's index).
TEST(RadioValues, TuningSelectionOutsideThePanelsIsIgnored) {
  const int32_t calls[][3] = {{-1, 0, 0}, {rtp_count, 0, 0}, {0, -1, 0}, {0, 3, 0}, {rtp_count - 1, 2, 1}};
  for (const auto& c : calls) {
    comm::radio_button = 0.0f;
    rtp_vhf_select(c[0], c[1]);
    EXPECT_EQ(comm::radio_button, static_cast<float>(c[2])) << c[0] << " " << c[1];
  }
  // The receiver selectors of the panel in charge switch the host's NAV and marker audio.
  for (XPLMDataRef& h : bound_handles) h = nullptr;
  host_mirror = HostMirror{};
  script_mirror = ScriptMirror{};
  // A NAV receiver without its bus sends no ident, selected or not.
  electric::ac_stdbus_status = electric::dc_bus2_status = 1.0f;
  for (float sel : {1.0f, 0.0f}) {
    comm::audio_sel_marker = comm::audio_sel_nav1 = comm::audio_sel_nav2 = sel;
    update_audio_radio_panels();
    const int want = sel != 0.0f ? 1 : 0;
    EXPECT_EQ(host_mirror.sim_cockpit2_radios_actuators_audio_marker_enabled, want);
    EXPECT_EQ(host_mirror.sim_cockpit2_radios_actuators_audio_selection_nav1, want);
    EXPECT_EQ(host_mirror.sim_cockpit2_radios_actuators_audio_selection_nav2, want);
  }
  comm::audio_sel_nav1 = comm::audio_sel_nav2 = 1.0f;
  for (float* bus : {&electric::ac_stdbus_status, &electric::dc_bus2_status}) {
    *bus = 0.0f;
    update_audio_radio_panels();
    EXPECT_EQ(host_mirror.sim_cockpit2_radios_actuators_audio_selection_nav1, electric::ac_stdbus_status != 0.0f ? 1 : 0);
    EXPECT_EQ(host_mirror.sim_cockpit2_radios_actuators_audio_selection_nav2, electric::dc_bus2_status != 0.0f ? 1 : 0);
    *bus = 1.0f;
  }
}

}  // namespace
