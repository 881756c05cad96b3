// Table rows of published values, shared by the subsystems' limit tests:
// one row per threshold or table point, run through the model's own frame
// step on a freshly reset fixture.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>

// A row sets its inputs on top of the fixture's, runs the step and reads one
// published value.
struct ValueRow {
  const char* what;
  void (*set)();
  const float* out;
  float want;
};

template <class Fixture>
void run_rows(Fixture& f, const ValueRow* rows, size_t n, void (*step)(), float tolerance = 0.02f) {
  for (size_t i = 0; i < n; ++i) {
    f.Reset();
    rows[i].set();
    step();
    EXPECT_NEAR(*rows[i].out, rows[i].want, tolerance) << rows[i].what;
  }
}
