// Drawing in the simulated host: draw callbacks by (callback, phase, before,
// refcon), run each frame in phase order inside the OpenGL side of the host
// (state.h: Mesa's off-screen renderer on POSIX systems, a counting stand-in
// on Windows), with the graphics state the plug-in asks for.
#include "state.h"

#include <algorithm>
#include <chrono>

namespace simhost {

void draw_pass(Host& h) {
  bool any = false;
  for (const DrawCallback& d : h.draws) any = any || d.live;
  if (!any) return;
  std::vector<int> phases;
  for (const DrawCallback& d : h.draws)
    if (d.live && std::find(phases.begin(), phases.end(), d.phase) == phases.end()) phases.push_back(d.phase);
  std::sort(phases.begin(), phases.end());
  if (!gl_begin_pass(h)) return;
  h.in_draw = true;
  // The host draws its panel without a disabled plug-in's drawing.
  if (module_disabled(h)) phases.clear();
  for (int phase : phases) {
    for (int before = 1; before >= 0; --before) {
      size_t count = h.draws.size();
      for (size_t i = 0; i < count; ++i) {
        DrawCallback d = h.draws[i];
        if (!d.live || d.phase != phase || d.before != before) continue;
        ++h.draws[i].calls;
        const auto began = std::chrono::steady_clock::now();
        d.callback(phase, before, d.refcon);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - began;
        h.draws[i].last_seconds = took.count();
      }
    }
  }
  h.in_draw = false;
  gl_end_pass(h);
}

std::vector<DrawInfo> draw_callbacks() {
  std::vector<DrawInfo> out;
  for (const DrawCallback& d : host().draws)
    if (d.live) out.push_back({d.phase, d.before, d.calls, d.last_seconds});
  return out;
}

void set_draw_capture(bool on) { host().capture = on; }
void set_draw_unseen(bool on) { host().unseen = on; }
const std::vector<Line>& captured_lines() { return host().lines; }
int captured_points() { return host().points; }
int captured_polygons() { return host().polygons; }
const GraphicsState& graphics_state() { return host().graphics; }
int graphics_state_calls() { return host().graphics_calls; }

}  // namespace simhost

using namespace simhost;

int XPLMRegisterDrawCallback(XPLMDrawCallback_f callback, XPLMDrawingPhase phase, int before, void* refcon) {
  Host& h = host();
  if (!callback) {
    problem("XPLMRegisterDrawCallback: null callback");
    return 0;
  }
  for (const DrawCallback& d : h.draws)
    if (d.live && d.callback == callback && d.phase == phase && d.before == before && d.refcon == refcon) {
      problem("XPLMRegisterDrawCallback: callback registered twice at phase %d", phase);
      return 0;
    }
  h.draws.push_back({callback, phase, before, refcon, true, 0, 0.0});
  return 1;
}

int XPLMUnregisterDrawCallback(XPLMDrawCallback_f callback, XPLMDrawingPhase phase, int before, void* refcon) {
  for (DrawCallback& d : host().draws)
    if (d.live && d.callback == callback && d.phase == phase && d.before == before && d.refcon == refcon) {
      d.live = false;
      return 1;
    }
  problem("XPLMUnregisterDrawCallback: no such callback at phase %d (before %d)", phase, before);
  return 0;
}

void XPLMSetGraphicsState(int fog, int texture_units, int lighting, int alpha_testing, int alpha_blending,
                          int depth_testing, int depth_writing) {
  Host& h = host();
  ++h.graphics_calls;
  h.graphics = {fog, texture_units, lighting, alpha_testing, alpha_blending, depth_testing, depth_writing};
  if (!h.in_draw) return problem("XPLMSetGraphicsState called outside a draw callback");
  gl_apply_graphics_state(h.graphics);
}
