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

// The host's own commands act on its datarefs by default. Each row: a command,
// the phase after which the dataref is read ("begin"; "continue": held over a
// 1 s frame; "end": begun and ended), the dataref (NAME or NAME[i]) set to
// `before` and read back, and another value set first where one is needed.
// Each row starts from a fresh host.
TEST(SimhostCommands, DefaultActionsOfTheHostsCommands) {
  const std::string r = "sim/cockpit2/radios/actuators/", x = "sim/transponder/transponder_", fc = "sim/flight_controls/",
                    c2 = "sim/cockpit2/controls/", code = r + "transponder_code";
  const std::string prop = "sim/cockpit2/engine/actuators/prop_mode", lever = "sim/cockpit2/engine/actuators/throttle_jet_rev_ratio";
  const std::string rows_text[][6] = {
      // command, phase, dataref, before, after, given
      {"sim/annunciator/clear_master_warning", "begin", "sim/cockpit2/annunciators/master_warning", "1", "0", ""},
      {"sim/annunciator/clear_master_caution", "begin", "sim/cockpit2/annunciators/master_caution", "1", "0", ""},
      {"sim/radios/stby_com1_coarse_up", "begin", r + "com1_standby_frequency_Mhz", "136", "118", ""},
      {"sim/radios/stby_com1_coarse_down", "begin", r + "com1_standby_frequency_Mhz", "118", "136", ""},
      {"sim/radios/stby_com2_coarse_up", "begin", r + "com2_standby_frequency_Mhz", "0", "118", ""},
      {"sim/radios/stby_com2_coarse_down", "begin", r + "com2_standby_frequency_Mhz", "121", "120", ""},
      {"sim/radios/stby_com1_fine_up_833", "begin", r + "com1_standby_frequency_khz", "15", "25", ""},
      {"sim/radios/stby_com1_fine_down_833", "begin", r + "com1_standby_frequency_khz", "0", "990", ""},
      {"sim/radios/stby_com2_fine_up_833", "begin", r + "com2_standby_frequency_khz", "990", "0", ""},
      {"sim/radios/stby_com2_fine_down_833", "begin", r + "com2_standby_frequency_khz", "23", "15", ""},
      {"sim/radios/com1_standy_flip", "begin", r + "com1_standby_frequency_Mhz", "118", "121", r + "com1_frequency_Mhz=121"},
      {"sim/radios/com2_standy_flip", "begin", r + "com2_frequency_khz", "0", "805", r + "com2_standby_frequency_khz=805"},
      {"sim/radios/power_com1_on", "begin", r + "com1_power", "0", "1", ""},
      {"sim/radios/power_com1_off", "begin", r + "com1_power", "1", "0", ""},
      {"sim/radios/power_com2_on", "begin", r + "com2_power", "0", "1", ""},
      {"sim/radios/power_com2_off", "begin", r + "com2_power", "1", "0", ""},
      {"sim/lights/nav_lights_on", "begin", "sim/cockpit2/switches/navigation_lights_on", "0", "1", ""},
      {"sim/lights/nav_lights_off", "begin", "sim/cockpit2/switches/navigation_lights_on", "1", "0", ""},
      {"sim/lights/strobe_lights_on", "begin", "sim/cockpit2/switches/strobe_lights_on", "0", "1", ""},
      {"sim/lights/strobe_lights_off", "begin", "sim/cockpit2/switches/strobe_lights_on", "1", "0", ""},
      {"sim/electrical/APU_off", "begin", "sim/cockpit/engine/APU_switch", "1", "0", ""},
      {"sim/electrical/APU_on", "begin", "sim/cockpit/engine/APU_switch", "0", "1", ""},
      {"sim/electrical/APU_start", "begin", "sim/cockpit/engine/APU_switch", "1", "2", ""},
      {"sim/electrical/APU_start", "end", "sim/cockpit/engine/APU_switch", "0", "1", ""},
      {"sim/annunciator/test_stall", "begin", "sim/cockpit2/annunciators/stall_warning", "0", "1", ""},
      {"sim/annunciator/test_stall", "end", "sim/cockpit2/annunciators/stall_warning", "1", "0", ""},
      {x + "ident", "begin", "sim/cockpit2/radios/indicators/transponder_id", "0", "1", ""},
      {"sim/radios/nav1_standy_flip", "begin", r + "nav1_standby_frequency_hz", "10970", "11030", r + "nav1_frequency_hz=11030"},
      {"sim/radios/nav2_standy_flip", "begin", r + "nav2_frequency_hz", "10800", "11170", r + "nav2_standby_frequency_hz=11170"},
      {"sim/radios/adf1_standy_flip", "begin", r + "adf1_frequency_hz", "350", "412", r + "adf1_standby_frequency_hz=412"},
      {"sim/radios/adf2_standy_flip", "begin", r + "adf2_standby_frequency_hz", "0", "250", r + "adf2_frequency_hz=250"},
      {"sim/electrical/dc_volt_lft", "begin", "sim/cockpit2/electrical/dc_voltmeter_value", "0", "28", "sim/cockpit2/electrical/bus_volts=28,26"},
      {"sim/electrical/dc_volt_rgt", "begin", "sim/cockpit2/electrical/dc_voltmeter_value", "0", "26", "sim/cockpit2/electrical/bus_volts=28,26"},
      {"sim/electrical/generator_1_off", "begin", "sim/cockpit2/electrical/generator_on[0]", "1", "0", ""},
      {"sim/electrical/generator_1_on", "begin", "sim/cockpit2/electrical/generator_on[0]", "0", "1", ""},
      {"sim/electrical/generator_2_off", "begin", "sim/cockpit2/electrical/generator_on[1]", "1", "0", ""},
      {"sim/electrical/generator_2_on", "begin", "sim/cockpit2/electrical/generator_on[1]", "0", "1", ""},
      {"sim/electrical/GPU_on", "begin", "sim/cockpit/electrical/gpu_on", "0", "1", ""},
      {"sim/electrical/GPU_off", "begin", "sim/cockpit/electrical/gpu_on", "1", "0", ""},
      {"sim/autopilot/servos_fdir_off", "begin", "sim/cockpit2/autopilot/flight_director_mode", "2", "0", ""},
      {x + "ones_up", "begin", code, "5", "6", ""},
      {x + "ones_down", "begin", code, "1230", "1237", ""},
      {x + "tens_up", "begin", code, "1274", "1204", ""},
      {x + "tens_down", "begin", code, "1234", "1224", ""},
      {x + "hundreds_up", "begin", code, "7777", "7077", ""},
      {x + "hundreds_down", "begin", code, "9", "709", ""},
      {x + "thousands_up", "begin", code, "6000", "7000", ""},
      {x + "thousands_down", "begin", code, "7000", "6000", ""},
      {"sim/operation/fix_all_systems", "begin", "sim/operation/failures/rel_engfir0", "6", "0", ""},
      {"sim/engines/thrust_reverse_toggle", "begin", prop + "[1]", "1", "3", ""},
      {"sim/engines/thrust_reverse_hold", "begin", lever + "[1]", "0", "-1", ""},
      {"sim/engines/thrust_reverse_hold_1", "end", lever + "[0]", "0.4", "0", ""},
      {"sim/engines/thrust_reverse_hold_2", "begin", prop + "[1]", "1", "3", ""},
      {"sim/engines/thrust_reverse_toggle_1", "begin", prop + "[0]", "3", "1", ""},
      {"sim/engines/thrust_reverse_toggle_2", "begin", prop + "[1]", "3", "1", ""},
      {fc + "rudder_trim_left", "continue", c2 + "rudder_trim", "0", "-0.1", ""},
      {fc + "rudder_trim_right", "continue", c2 + "rudder_trim", "0.95", "1", ""},
      {fc + "aileron_trim_left", "continue", c2 + "aileron_trim", "0", "-0.1", ""},
      {fc + "aileron_trim_right", "continue", c2 + "aileron_trim", "0", "0.1", ""},
      {"sim/lights/landing_lights_on", "begin", "sim/cockpit2/switches/landing_lights_switch[3]", "0", "1", ""},
      {"sim/lights/landing_lights_off", "begin", "sim/cockpit2/switches/landing_lights_switch[0]", "0.5", "0", ""},
      {"sim/lights/landing_lights_toggle", "begin", "sim/cockpit2/switches/landing_lights_switch[0]", "0", "1", ""},
      {fc + "landing_gear_down", "begin", "sim/cockpit/switches/gear_handle_status", "0", "1", ""},
      {fc + "landing_gear_toggle", "begin", "sim/cockpit/switches/gear_handle_status", "1", "0", ""},
      {fc + "landing_gear_up", "begin", "sim/cockpit/switches/gear_handle_status", "1", "0", ""},
      {fc + "brakes_toggle_max", "begin", c2 + "parking_brake_ratio", "0", "1", ""},
      {fc + "brakes_toggle_regular", "begin", c2 + "parking_brake_ratio", "0", "0.5", ""},
      {fc + "brakes_max", "begin", c2 + "left_brake_ratio", "0", "1", ""},
      {fc + "brakes_regular", "end", c2 + "right_brake_ratio", "0.2", "0", ""},
      {fc + "speed_brakes_down_one", "begin", c2 + "speedbrake_ratio", "-0.5", "0", ""},
      {fc + "speed_brakes_up_one", "begin", c2 + "speedbrake_ratio", "0.3", "0", ""},
      {fc + "speed_brakes_down_all", "begin", c2 + "speedbrake_ratio", "-0.5", "1", ""},
      {fc + "speed_brakes_up_all", "begin", c2 + "speedbrake_ratio", "1", "0", ""},
      {fc + "speed_brakes_toggle", "begin", c2 + "speedbrake_ratio", "0.5", "0", ""},
      {fc + "flaps_up", "begin", c2 + "flap_handle_request_ratio", "0.3", "0.25", ""},
      {fc + "flaps_down", "begin", c2 + "flap_handle_request_ratio", "0.125", "0.25", ""},
      {fc + "pitch_trim_up", "continue", c2 + "elevator_trim", "0", "0.05", "sim/aircraft/controls/acf_elev_trim_time=40"},
      {fc + "pitch_trim_down", "continue", c2 + "elevator_trim", "-0.95", "-1", ""},
      {fc + "pitch_trim_up_mech", "continue", c2 + "elevator_trim", "0", "0.1", ""},
      {fc + "pitch_trim_down_mech", "continue", c2 + "elevator_trim", "0", "-0.1", ""},
      {fc + "pitch_trimA_up", "continue", c2 + "elevator_trim", "0", "0.1", ""},
      {fc + "pitch_trimA_down", "continue", c2 + "elevator_trim", "0", "-0.1", ""},
      {fc + "pitch_trimB_up", "continue", c2 + "elevator_trim", "0", "0.1", ""},
      {fc + "pitch_trimB_down", "continue", c2 + "elevator_trim", "0", "-0.1", ""},
  };
  for (const auto& row : rows_text) {
    simhost::reset();
    const std::string& command = row[0];
    const std::string& phase = row[1];
    std::string name = row[2];
    int index = -1;
    if (size_t b = name.find('['); b != std::string::npos) {
      index = std::stoi(name.substr(b + 1));
      name.resize(b);
    }
    if (!row[5].empty()) {
      size_t eq = row[5].find('=');
      ASSERT_TRUE(simhost::set_from_text(row[5].substr(0, eq), row[5].substr(eq + 1))) << row[5];
    }
    const float before = std::stof(row[3]), after = std::stof(row[4]);
    if (index < 0) {
      ASSERT_TRUE(simhost::set_float(name, before)) << name;
    } else {
      ASSERT_TRUE(simhost::set_floats(name, {before}, index)) << name;
    }
    simhost::command_begin(command);
    if (phase == "continue") simhost::frame(1.0f);
    if (phase == "end") simhost::command_end(command);
    const float got = index < 0 ? simhost::get_float(name) : simhost::get_floats(name)[static_cast<size_t>(index)];
    EXPECT_NEAR(got, after, 1e-5f) << command << " " << phase << " " << row[2] << " from " << before;
    if (phase != "end") simhost::command_end(command);
    EXPECT_TRUE(simhost::problems().empty()) << command;
  }
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
