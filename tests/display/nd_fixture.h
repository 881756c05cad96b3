// Runs drawing code inside the simulated host's draw pass (a real GL context
// over the 2048 x 2048 panel) and captures the line stream, for the map
// primitive and draw pass tests.
#pragma once

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "core/binding.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "display/map_primitives.h"
#include "display/nd_draw.h"
#include "host.h"
#include "platform/xplm.h"

namespace nd_test {

inline std::function<void()>& body() {
  static std::function<void()> f;
  return f;
}

// A draw callback that sets up the map pass's 0..1 projection and runs body().
inline int body_callback(XPLMDrawingPhase, int, void*) {
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0.0, 1.0, 0.0, 1.0, -1.0, 1.0);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  if (body()) body()();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  return 1;
}

// Panel pixels of a texture coordinate.
inline double px(double tex) { return tex * simhost::kPanelSize; }

class DrawFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    simhost::reset();
    simhost::set_draw_capture(true);
    set_nd_viewports();
    nd_symbol_origin = {0.5, 0.199};
    map_pen = {0.0, 0.0};
    body() = nullptr;
  }
  void TearDown() override {
    body() = nullptr;
    EXPECT_TRUE(simhost::problems().empty()) << simhost::problems().front();
  }
  // Runs f inside one draw pass and returns the captured lines.
  std::vector<simhost::Line> draw(std::function<void()> f) {
    body() = std::move(f);
    XPLMRegisterDrawCallback(body_callback, xplm_Phase_Gauges, 1, nullptr);
    simhost::frame(0.01f);
    XPLMUnregisterDrawCallback(body_callback, xplm_Phase_Gauges, 1, nullptr);
    return simhost::captured_lines();
  }
};

}  // namespace nd_test
