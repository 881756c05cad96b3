// The situation-loaded marker: set by the main loop on a frame on which the
// scripts report a restored situation ("zuvadud/D738/load_save" 4), cleared
// by each load, and read (not set) by the flight director and the first-frame
// engine state.
#include <gtest/gtest.h>

#include <string>

#include "core/binding.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "aircraft/frame.h"
#include "aircraft/lifecycle.h"
#include "core/trace.h"
#include "engines/engine_eicas.h"
#include "engines/engine_state.h"
#include "engines/engine_values.h"
#include "host.h"
#include "lnav/guidance_steps.h"

namespace {

class SituationMarker : public ::testing::Test {
 protected:
  void SetUp() override {
    simhost::reset(simhost::Config());
    for (XPLMDataRef& h : bound_handles) h = nullptr;
    host_mirror = HostMirror{};
    script_mirror = ScriptMirror{};
    frame_time = 0.0f;
    init_stage = load_loop_done = frame_done = draw_enabled = 0;
    load_save = route_reset_request = 0.0f;
    terrain_probe = nullptr;
    bind_outside_datarefs();
    bind_host_datarefs();
    bind_librain_datarefs();
    bind_terrain_radar_datarefs();
    bind_addon_datarefs();
    bind_script_datarefs();
    situation_loaded = 1.0f;  // whatever an earlier load left
    reset_on_load();
  }
  void TearDown() override {
    terrain_probe = nullptr;
    simhost::reset();
  }
  void frame(float load_save_value, int paused) {
    ASSERT_TRUE(simhost::set_float("zuvadud/D738/load_save", load_save_value));
    ASSERT_TRUE(simhost::set_int("sim/time/paused", paused));
    flight_loop_main(0.05f, 0.05f, 1, nullptr);
  }
};

TEST_F(SituationMarker, SetByARestoredSituationAndClearedByALoad) {
  EXPECT_EQ(situation_loaded, 0.0f);  // the per-load reset
  struct Step {
    const char* what;
    float load_save;
    int paused;
    float expect;
  };
  const Step steps[] = {
      {"no situation: live frames", 0.0f, 0, 0.0f},
      {"any other value is no situation", 1.0f, 0, 0.0f},
      {"a situation being restored, even while paused", 4.0f, 1, 1.0f},
      {"held through later live frames", 0.0f, 0, 1.0f},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.what);
    frame(s.load_save, s.paused);
    EXPECT_EQ(situation_loaded, s.expect);
  }
  XPluginReceiveMessage(XPLM_PLUGIN_XPLANE, XPLM_MSG_AIRPORT_LOADED, nullptr);
  EXPECT_EQ(situation_loaded, 0.0f);
  // The flight director's name reads the same marker.
  EXPECT_EQ(global_state_loaded, 0.0f);
  frame(0.0f, 0);
  EXPECT_EQ(global_state_loaded, 0.0f);
  frame(4.0f, 0);
  EXPECT_EQ(global_state_loaded, 1.0f);
}

// A situation reported on the very first frame after a load is marked
// before the first-frame block sets the engines up, so that they keep what
// the situation brought back.
TEST_F(SituationMarker, MarkedBeforeTheFirstFrameBlock) {
  trace_reset(true);
  frame(4.0f, 0);
  int marker = -1;
  int block = -1;
  for (int32_t i = 0; i < trace_size(); ++i) {
    const std::string name = trace_at(i);
    if (name == "situation_marker" && marker < 0) marker = i;
    if (name == "first_frame_block" && block < 0) block = i;
  }
  trace_reset(false);
  ASSERT_GE(marker, 0);
  ASSERT_GE(block, 0);
  EXPECT_LT(marker, block);
}

// A plain load that starts paused: the first-frame engines still follow the
// cold-and-dark preference, not the host's mixtures.
TEST_F(SituationMarker, PausedStartOfAPlainLoadKeepsTheStartUpPreference) {
  ASSERT_TRUE(simhost::set_int("sim/operation/prefs/startup_running", 0));
  ASSERT_TRUE(simhost::set_floats("sim/cockpit2/engine/actuators/mixture_ratio", {0.9f, 0.9f}));
  frame(0.0f, 1);
  frame(0.0f, 0);
  EXPECT_EQ(situation_loaded, 0.0f);
  EXPECT_EQ(engine::mixture_ratio1, 0.0f);
  EXPECT_EQ(engine::mixture_ratio2, 0.0f);
}

TEST_F(SituationMarker, TheFlightDirectorOnlyReadsIt) {
  load_save = 0.0f;
  situation_loaded = 0.0f;
  update_flight_director();
  EXPECT_EQ(situation_loaded, 0.0f);
  situation_loaded = 1.0f;
  guidance_reset_on_load();
  EXPECT_EQ(situation_loaded, 1.0f);  // only the core's load reset clears it
}

TEST_F(SituationMarker, FirstFrameEnginesKeepWhatALoadedSituationBroughtBack) {
  // Cold-and-dark start-up preference; the host's mixtures as a situation
  // left them. load_save is 0: only the marker tells the two cases apart.
  struct Case {
    const char* what;
    float marker;
    float mixture;  // expected for both engines
  };
  const Case cases[] = {
      {"no situation: cold and dark", 0.0f, 0.0f},
      {"situation loaded: running engines kept", 1.0f, 1.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    host_mirror = HostMirror{};
    host_mirror.sim_operation_prefs_startup_running = 0;
    on_ground = 1;  // at the gate, the host's engines stopped
    host_mirror.sim_cockpit2_engine_actuators_mixture_ratio[0] = 0.9f;
    host_mirror.sim_cockpit2_engine_actuators_mixture_ratio[1] = 0.9f;
    engine::mixture_ratio1 = engine::mixture_ratio2 = 0.5f;
    engine_copies.mixture[0] = engine_copies.mixture[1] = 0.5f;
    load_save = 0.0f;
    situation_loaded = c.marker;
    init_engine_state();
    EXPECT_EQ(engine::mixture_ratio1, c.mixture);
    EXPECT_EQ(engine::mixture_ratio2, c.mixture);
    EXPECT_EQ(engine_copies.mixture[0], c.mixture);
  }
}

}  // namespace
