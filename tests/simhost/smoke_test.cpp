// The built plug-in in the simulated host: it loads, names itself, runs
// frames and leaves nothing behind when stopped and unloaded.
#include "host.h"

#include <gtest/gtest.h>

namespace {

TEST(PluginSmoke, LoadsNamesItselfAndUnloadsClean) {
  simhost::reset();
  std::string error;
  ASSERT_TRUE(simhost::load_and_start(CORVANE_MODULE_PATH, &error)) << error;
  EXPECT_EQ(simhost::identity().name, "CORVane_plugin");
  EXPECT_EQ(simhost::identity().signature, "corvane.by.Harl");
  EXPECT_EQ(simhost::identity().description, "This is plugin for CORVane.");
  simhost::frames(3, 1.0f / 30.0f);
  simhost::stop();
  EXPECT_EQ(simhost::registrations().total(), 0);
  simhost::unload();
  EXPECT_TRUE(simhost::leftovers().empty()) << simhost::leftovers().front();
  for (const std::string& p : simhost::problems()) ADD_FAILURE() << p;
}

}  // namespace
