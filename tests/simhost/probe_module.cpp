// A minimal plug-in module for the host's own tests: loaded by path like the
// real one, it reaches the clock seam, OpenGL and the host through the same
// symbol resolution the real module relies on.
#include "platform/xplm.h"

#include <GL/gl.h>

#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

int frames_seen;   // zero on every fresh load
XPLMDataRef frames_ref, time_ref, rand_ref;
XPLMFlightLoopID loop;

int get_frames(void*) { return frames_seen; }
int get_time(void*) { return static_cast<int>(std::time(nullptr)); }
int get_rand(void*) {
  std::srand(7);
  return std::rand();
}
float count_frame(float, float, int, void*) {
  ++frames_seen;
  return -1.0f;
}
int draw(XPLMDrawingPhase, int, void*) {
  XPLMSetGraphicsState(0, 0, 0, 0, 0, 0, 0);
  glColor3f(1, 0, 0);
  glBegin(GL_LINES);
  glVertex2f(100, 200.5f);
  glVertex2f(300, 200.5f);
  glEnd();
  return 1;
}

XPLMDataRef int_dataref(const char* name, XPLMGetDatai_f get) {
  return XPLMRegisterDataAccessor(name, xplmType_Int, 0, get, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                  nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
}

}  // namespace

int XPluginStart(char* name, char* signature, char* description) {
  std::strcpy(name, "simhost probe");
  std::strcpy(signature, "simhost.probe");
  std::strcpy(description, "Exercises the simulated host.");
  frames_ref = int_dataref("probe/frames", get_frames);
  time_ref = int_dataref("probe/time", get_time);
  rand_ref = int_dataref("probe/rand", get_rand);
  XPLMCreateFlightLoop_t params = {static_cast<int>(sizeof(XPLMCreateFlightLoop_t)),
                                   xplm_FlightLoop_Phase_AfterFlightModel, count_frame, nullptr};
  loop = XPLMCreateFlightLoop(&params);
  XPLMScheduleFlightLoop(loop, -1.0f, 0);
  XPLMRegisterDrawCallback(draw, xplm_Phase_Gauges, 1, nullptr);
  return 1;
}

void XPluginStop(void) {
  XPLMUnregisterDrawCallback(draw, xplm_Phase_Gauges, 1, nullptr);
  XPLMDestroyFlightLoop(loop);
  XPLMUnregisterDataAccessor(frames_ref);
  XPLMUnregisterDataAccessor(time_ref);
  XPLMUnregisterDataAccessor(rand_ref);
}

int XPluginEnable(void) { return 1; }
void XPluginDisable(void) {}
void XPluginReceiveMessage(XPLMPluginID, int, void*) {}
