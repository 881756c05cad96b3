// Loading a module by path: entry points, fresh globals on every load, the
// clock seam and OpenGL reached from inside the module, clean unload.
#include "host.h"

#include <gtest/gtest.h>

namespace {

TEST(SimhostModule, EachLoadStartsFromZeroedGlobals) {
  for (int round = 0; round < 2; ++round) {
    simhost::reset();
    std::string error;
    ASSERT_TRUE(simhost::load_and_start(PROBE_MODULE_PATH, &error)) << error;
    EXPECT_EQ(simhost::identity().signature, "simhost.probe");
    simhost::frames(3, 0.05f);
    EXPECT_EQ(simhost::get_int("probe/frames"), 3) << "round " << round;
    simhost::stop();
    EXPECT_EQ(simhost::registrations().total(), 0);
    simhost::unload();
    EXPECT_TRUE(simhost::leftovers().empty());
    EXPECT_TRUE(simhost::problems().empty()) << simhost::problems().front();
  }
}

TEST(SimhostModule, ClockRandomAndDrawingReachTheModule) {
  simhost::reset();
  ASSERT_TRUE(simhost::load_and_start(PROBE_MODULE_PATH));
  simhost::pin_time(1234567);
  EXPECT_EQ(simhost::get_int("probe/time"), 1234567);
  simhost::pin_rand([] { return 4242; });
  EXPECT_EQ(simhost::get_int("probe/rand"), 4242);
  EXPECT_EQ(simhost::srand_seeds().back(), 7u);
  simhost::frame(0.05f);
  EXPECT_EQ(simhost::pixel(200, 200), 0xff0000ffu) << "the module's gl calls draw into the panel";
  EXPECT_EQ(simhost::graphics_state_calls(), 1);
}

TEST(SimhostModule, WhatTheModuleLeavesIsDroppedAtUnload) {
  simhost::reset();
  ASSERT_TRUE(simhost::load_module(PROBE_MODULE_PATH));
  simhost::start();
  simhost::unload();   // stops first, as the host does
  EXPECT_TRUE(simhost::leftovers().empty());
  std::string error;
  EXPECT_FALSE(simhost::load_module("/nonexistent/lin.xpl", &error));
  EXPECT_FALSE(error.empty());
}

}  // namespace
