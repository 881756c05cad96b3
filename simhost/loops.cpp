// Flight loops and the host frame. Created loops (phase before or after the
// flight model) and the older registered callbacks share one list in
// creation order; an interval below 0 counts frames, above 0 seconds of
// simulated time, 0 is inactive; a callback's return value is its next
// interval, counted from the call.
#include <chrono>
#include <cmath>

#include "state.h"

namespace simhost {
namespace {

bool due(const Loop& l) {
  if (l.interval == 0.0f) return false;
  if (l.interval < 0.0f) {
    int n = static_cast<int>(-l.interval);
    if (n < 1) n = 1;
    return (l.relative_to_now ? l.frames_since_sched : l.frames_since_call) >= n;
  }
  double t = l.relative_to_now ? l.since_sched : l.since_call;
  return t + 1e-6 >= static_cast<double>(l.interval);
}

void run_phase(Host& h, int phase, float dt) {
  // Loops created or destroyed by a callback take effect from the next frame.
  h.loop_snapshot.clear();
  for (size_t i = 0; i < h.loops.size(); ++i)
    if (h.loops[i].alive && h.loops[i].phase == phase) h.loop_snapshot.push_back(i);
  for (size_t k = 0; k < h.loop_snapshot.size(); ++k) {
    size_t i = h.loop_snapshot[k];
    if (!h.loops[i].alive || !due(h.loops[i])) continue;
    XPLMFlightLoop_f cb = h.loops[i].callback;
    void* refcon = h.loops[i].refcon;
    float since = static_cast<float>(h.loops[i].since_call);
    h.running_phase = phase;
    const auto began = std::chrono::steady_clock::now();
    float next = cb(since, dt, h.frame_counter, refcon);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - began;
    h.running_phase = -1;
    Loop& l = h.loops[i];   // the list may have grown during the call
    l.last_seconds = took.count();
    l.since_call = 0;
    l.frames_since_call = 0;
    ++l.calls;
    if (!l.alive) continue;
    l.interval = next;
    l.relative_to_now = true;
    l.since_sched = 0;
    l.frames_since_sched = 0;
  }
}

Loop* created_loop(void* id, const char* call) {
  Host& h = host();
  long i = handle_index(id, kLoopBase, h.loops.size());
  if (i < 0) {
    problem("%s: %p is not a flight loop", call, id);
    return nullptr;
  }
  return &h.loops[static_cast<size_t>(i)];
}

}  // namespace

void frame(float dt) {
  Host& h = host();
  ++h.frame_counter;
  if (dt > 0.0f && std::isfinite(dt)) h.clock_s += static_cast<double>(dt);
  if (h.frame_counter == 1) start_of_flight(h);
  for (Loop& l : h.loops) {
    if (!l.alive) continue;
    l.since_call += dt;
    l.since_sched += dt;
    ++l.frames_since_call;
    ++l.frames_since_sched;
  }
  continue_held_commands(h, dt);
  // A disabled plug-in's loops are not called; their time since the last
  // call runs on, so the first call after it is enabled again sees it all.
  const bool loops = !module_disabled(h);
  if (loops) run_phase(h, xplm_FlightLoop_Phase_BeforeFlightModel, dt);
  if (h.flight_model) {
    std::function<void(float)> fm = h.flight_model;
    fm(dt);
  }
  traffic_frame(h, dt);
  derive_values(h, dt);
  if (h.scripts_step) {
    std::function<void(float)> scripts = h.scripts_step;
    scripts(dt);
  }
  if (loops) run_phase(h, xplm_FlightLoop_Phase_AfterFlightModel, dt);
  addons_frame(h);
  draw_pass(h);
}

void frames(int count, float dt) {
  for (int i = 0; i < count; ++i) frame(dt);
}

int frame_count() { return host().frame_counter; }
void set_flight_model(std::function<void(float)> step) { host().flight_model = std::move(step); }
void set_scripts_step(std::function<void(float)> step) { host().scripts_step = std::move(step); }

std::vector<LoopInfo> flight_loops() {
  std::vector<LoopInfo> out;
  for (const Loop& l : host().loops)
    if (l.alive) out.push_back({l.created, l.phase, l.interval, l.calls, l.last_seconds});
  return out;
}

}  // namespace simhost

using namespace simhost;

XPLMFlightLoopID XPLMCreateFlightLoop(XPLMCreateFlightLoop_t* params) {
  Host& h = host();
  if (!params) {
    problem("XPLMCreateFlightLoop: null parameters");
    return nullptr;
  }
  if (params->structSize != static_cast<int>(sizeof(XPLMCreateFlightLoop_t))) {
    problem("XPLMCreateFlightLoop: structure size %d, expected %d", params->structSize,
            static_cast<int>(sizeof(XPLMCreateFlightLoop_t)));
    if (params->structSize < static_cast<int>(sizeof(XPLMCreateFlightLoop_t))) return nullptr;
  }
  if (params->phase != xplm_FlightLoop_Phase_BeforeFlightModel && params->phase != xplm_FlightLoop_Phase_AfterFlightModel) {
    problem("XPLMCreateFlightLoop: phase %d", params->phase);
    return nullptr;
  }
  if (!params->callbackFunc) {
    problem("XPLMCreateFlightLoop: null callback");
    return nullptr;
  }
  Loop l;
  l.created = true;
  l.phase = params->phase;
  l.callback = params->callbackFunc;
  l.refcon = params->refcon;
  h.loops.push_back(l);
  return make_handle(kLoopBase, h.loops.size() - 1);
}

void XPLMDestroyFlightLoop(XPLMFlightLoopID id) {
  Loop* l = created_loop(id, "XPLMDestroyFlightLoop");
  if (!l) return;
  if (!l->created) return problem("XPLMDestroyFlightLoop: %p is not a created loop", id);
  if (!l->alive) return problem("XPLMDestroyFlightLoop: flight loop %p destroyed twice", id);
  l->alive = false;
}

void XPLMScheduleFlightLoop(XPLMFlightLoopID id, float interval, int relative_to_now) {
  Loop* l = created_loop(id, "XPLMScheduleFlightLoop");
  if (!l) return;
  if (!l->alive) return problem("XPLMScheduleFlightLoop: flight loop %p was destroyed", id);
  l->interval = interval;
  l->relative_to_now = relative_to_now != 0;
  l->since_sched = 0;
  l->frames_since_sched = 0;
}

void XPLMRegisterFlightLoopCallback(XPLMFlightLoop_f callback, float interval, void* refcon) {
  Host& h = host();
  if (!callback) return problem("XPLMRegisterFlightLoopCallback: null callback");
  for (const Loop& l : h.loops)
    if (!l.created && l.alive && l.callback == callback && l.refcon == refcon)
      return problem("XPLMRegisterFlightLoopCallback: callback %p registered twice",
                     reinterpret_cast<void*>(callback));
  Loop l;
  l.created = false;
  l.phase = xplm_FlightLoop_Phase_AfterFlightModel;
  l.callback = callback;
  l.refcon = refcon;
  l.interval = interval;
  l.relative_to_now = true;
  h.loops.push_back(l);
}

void XPLMUnregisterFlightLoopCallback(XPLMFlightLoop_f callback, void* refcon) {
  for (Loop& l : host().loops) {
    if (!l.created && l.alive && l.callback == callback && l.refcon == refcon) {
      l.alive = false;
      return;
    }
  }
  problem("XPLMUnregisterFlightLoopCallback: callback %p was not registered", reinterpret_cast<void*>(callback));
}
