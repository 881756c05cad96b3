// Command dispatch and flight-loop scheduling of the simulated host.
#include "host.h"
#include "platform/xplm.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> trace;

int handler(XPLMCommandRef, XPLMCommandPhase phase, void* refcon) {
  const char* tag = static_cast<const char*>(refcon);
  trace.push_back(std::string(tag) + std::to_string(phase));
  return tag[0] != 'S';   // tags starting with S stop the dispatch
}

TEST(SimhostCommands, DispatchOrderAndStopping) {
  simhost::reset();
  trace.clear();
  XPLMCommandRef c = XPLMCreateCommand("t/cmd", "A test command");
  simhost::set_host_action("t/cmd", [](int phase) { trace.push_back("host" + std::to_string(phase)); });
  char a[] = "after", b1[] = "b1", b2[] = "b2";
  XPLMRegisterCommandHandler(c, handler, 0, a);
  XPLMRegisterCommandHandler(c, handler, 1, b1);
  XPLMRegisterCommandHandler(c, handler, 1, b2);
  XPLMCommandOnce(c);
  EXPECT_EQ(trace, (std::vector<std::string>{"b10", "b20", "host0", "after0", "b12", "b22", "host2", "after2"}));

  trace.clear();
  char stop[] = "Stop";
  XPLMUnregisterCommandHandler(c, handler, 1, b2);
  XPLMRegisterCommandHandler(c, handler, 1, stop);
  simhost::command_begin("t/cmd");
  simhost::frame(0.1f);
  simhost::frame(0.1f);
  simhost::command_end("t/cmd");
  EXPECT_EQ(trace, (std::vector<std::string>{"b10", "Stop0", "b11", "Stop1", "b11", "Stop1", "b12", "Stop2"}));
  EXPECT_EQ(simhost::host_action_calls("t/cmd", 1), 0) << "a 0 return keeps the host's action from running";

  ASSERT_EQ(simhost::issued_commands().size(), 2u) << "only the plug-in's own calls are logged";
  EXPECT_EQ(simhost::issued_commands()[1].phase, xplm_CommandEnd);
  EXPECT_TRUE(simhost::issued_commands()[1].once);
  EXPECT_TRUE(simhost::problems().empty());
}

TEST(SimhostCommands, CreateFindAndMisuse) {
  simhost::reset();
  XPLMCommandRef c = XPLMCreateCommand("t/x", "first");
  EXPECT_EQ(XPLMCreateCommand("t/x", "second"), c);
  EXPECT_EQ(XPLMFindCommand("t/x"), c);
  EXPECT_EQ(XPLMFindCommand("t/X"), nullptr);
  ASSERT_NE(XPLMFindCommand("sim/electrical/APU_on"), nullptr) << "host commands come from the catalog";
  XPLMCreateCommand("sim/electrical/APU_on", "not the plug-in's");
  std::vector<simhost::CommandInfo> list = simhost::plugin_commands();
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].description, "first");

  XPLMUnregisterCommandHandler(c, handler, 1, nullptr);
  XPLMCommandEnd(c);
  XPLMRegisterCommandHandler(c, handler, 1, nullptr);
  XPLMRegisterCommandHandler(c, handler, 1, nullptr);
  XPLMUnregisterCommandHandler(c, handler, 0, nullptr);
  EXPECT_EQ(simhost::problems().size(), 4u);
  EXPECT_EQ(simhost::handler_count("t/x"), 1);
}

// A handler that issues another command from inside the dispatch.
XPLMCommandRef inner;
int outer_handler(XPLMCommandRef, XPLMCommandPhase phase, void*) {
  if (phase == xplm_CommandBegin) XPLMCommandOnce(inner);
  return 1;
}

TEST(SimhostCommands, NestedDispatchWorks) {
  simhost::reset();
  XPLMCommandRef outer = XPLMCreateCommand("t/outer", "");
  inner = XPLMCreateCommand("t/inner", "");
  XPLMRegisterCommandHandler(outer, outer_handler, 1, nullptr);
  XPLMCommandOnce(outer);
  EXPECT_EQ(simhost::host_action_calls("t/inner", 0), 1);
  EXPECT_EQ(simhost::host_action_calls("t/inner", 2), 1);
  EXPECT_EQ(simhost::host_action_calls("t/outer", 2), 1);
  EXPECT_EQ(simhost::issued_commands().size(), 4u);
}

struct Call {
  std::string tag;
  float since_call, since_loop;
};
std::vector<Call> calls;
float next_interval = -1.0f;

float loop_cb(float since_call, float since_loop, int, void* refcon) {
  calls.push_back({static_cast<const char*>(refcon), since_call, since_loop});
  return next_interval;
}

TEST(SimhostLoops, FrameOrderAndIntervals) {
  simhost::reset();
  calls.clear();
  next_interval = -1.0f;
  char after[] = "after", before[] = "before", timed[] = "timed";
  XPLMCreateFlightLoop_t p = {static_cast<int>(sizeof(XPLMCreateFlightLoop_t)), 1, loop_cb, after};
  XPLMFlightLoopID a = XPLMCreateFlightLoop(&p);
  p.phase = 0;
  p.refcon = before;
  XPLMFlightLoopID b = XPLMCreateFlightLoop(&p);
  XPLMScheduleFlightLoop(a, -1.0f, 0);
  XPLMScheduleFlightLoop(b, -1.0f, 0);
  XPLMRegisterFlightLoopCallback(loop_cb, 0.25f, timed);
  simhost::set_flight_model([](float) { calls.push_back({"fm", 0, 0}); });

  simhost::frame(0.1f);
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].tag, "before");
  EXPECT_EQ(calls[1].tag, "fm");
  EXPECT_EQ(calls[2].tag, "after");
  EXPECT_EQ(calls[2].since_call, 0.1f);
  calls.clear();
  simhost::frame(-0.5f);
  EXPECT_EQ(calls[0].since_call, -0.5f) << "the test's elapsed time is passed on as it is";
  simhost::frame(0.5f);
  simhost::frame(0.2f);
  // The timed callback first runs once its 0.25 s of simulated time have passed.
  int timed_calls = 0;
  for (const Call& c : calls) timed_calls += c.tag == "timed";
  EXPECT_EQ(timed_calls, 1);

  XPLMDestroyFlightLoop(a);
  XPLMDestroyFlightLoop(a);
  XPLMDestroyFlightLoop(b);
  XPLMUnregisterFlightLoopCallback(loop_cb, timed);
  XPLMUnregisterFlightLoopCallback(loop_cb, timed);
  EXPECT_EQ(simhost::problems().size(), 2u) << "a second destroy and a second unregister are problems";
  EXPECT_EQ(simhost::registrations().flight_loops, 0);
}

TEST(SimhostLoops, ScheduleByFramesSecondsAndReturnValue) {
  struct Case {
    float interval;
    float returned;
    float dt;
    int frames;
    int want_calls;
  } cases[] = {
      {-1.0f, -1.0f, 0.1f, 6, 6},  // every frame
      {-2.0f, -2.0f, 0.1f, 6, 3},  // every second frame
      {0.5f, 0.5f, 0.1f, 10, 2},   // every half second
      {-1.0f, 0.0f, 0.1f, 6, 1},   // a 0 return deactivates
      {0.0f, -1.0f, 0.1f, 6, 0},   // created but never scheduled
  };
  for (const Case& c : cases) {
    simhost::reset();
    calls.clear();
    next_interval = c.returned;
    char tag[] = "x";
    XPLMCreateFlightLoop_t p = {static_cast<int>(sizeof(XPLMCreateFlightLoop_t)), 1, loop_cb, tag};
    XPLMFlightLoopID id = XPLMCreateFlightLoop(&p);
    if (c.interval != 0.0f) XPLMScheduleFlightLoop(id, c.interval, 1);
    simhost::frames(c.frames, c.dt);
    EXPECT_EQ(static_cast<int>(calls.size()), c.want_calls) << "interval " << c.interval << " return " << c.returned;
    if (c.interval == 0.5f && !calls.empty()) {
      EXPECT_NEAR(calls[0].since_call, 0.5f, 1e-5f);
    }
    XPLMDestroyFlightLoop(id);
  }
}

TEST(SimhostLoops, BadCreationRecordsAreRefused) {
  simhost::reset();
  XPLMCreateFlightLoop_t p = {12, 1, loop_cb, nullptr};
  EXPECT_EQ(XPLMCreateFlightLoop(&p), nullptr);
  p = {static_cast<int>(sizeof(XPLMCreateFlightLoop_t)), 3, loop_cb, nullptr};
  EXPECT_EQ(XPLMCreateFlightLoop(&p), nullptr);
  XPLMScheduleFlightLoop(reinterpret_cast<XPLMFlightLoopID>(0x99), -1.0f, 0);
  EXPECT_EQ(simhost::problems().size(), 3u);
}

}  // namespace
