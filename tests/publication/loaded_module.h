// The one fixture of the publication tests: a fresh simulated host with the
// built module loaded and started, dropped again after each test.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "host.h"

class LoadedModule : public ::testing::Test {
 protected:
  void SetUp() override {
    simhost::reset();
    std::string error;
    ASSERT_TRUE(simhost::load_and_start(CORVANE_MODULE_PATH, &error)) << error;
  }
  void TearDown() override { simhost::reset(); }
};
