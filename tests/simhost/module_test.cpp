// Loading a module by path: entry points, fresh globals on every load, the
// clock seam and OpenGL reached from inside the module, clean unload.
#include "host.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

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

// A host process removes its temporary root when it ends, whether its module
// is still loaded, its module did not load, or it leaves through exit() (as
// the runner does on bad arguments): the test runs itself as a child for each
// and looks for the child's root afterwards.
TEST(SimhostModule, TheTemporaryRootGoesWithTheProcess) {
  if (const char* child = std::getenv("SIMHOST_CHILD_ENDS")) {
    const std::string how = child;
    simhost::reset();
    std::printf("root %s\n", simhost::root().c_str());
    std::fflush(stdout);
    if (how == "loaded") {
      ASSERT_TRUE(simhost::load_and_start(PROBE_MODULE_PATH));
    } else if (how == "unloadable") {
      EXPECT_FALSE(simhost::load_module("/proc/self/status"));
    } else if (how == "exit") {
      std::exit(2);
    }
    return;
  }
  const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
  for (const char* how : {"loaded", "unloadable", "exit"}) {
    const std::string command = std::string("SIMHOST_CHILD_ENDS=") + how + " '" + self +
                                "' --gtest_filter=SimhostModule.TheTemporaryRootGoesWithTheProcess";
    std::FILE* out = popen(command.c_str(), "r");
    ASSERT_NE(out, nullptr);
    std::string root;
    char line[1024];
    while (std::fgets(line, sizeof line, out) != nullptr) {
      const std::string text = line;
      if (text.rfind("root ", 0) == 0) root = text.substr(5, text.find('\n') - 5);
    }
    pclose(out);
    ASSERT_FALSE(root.empty()) << how;
    EXPECT_FALSE(std::filesystem::exists(root)) << how << ": " << root;
  }
}

}  // namespace
