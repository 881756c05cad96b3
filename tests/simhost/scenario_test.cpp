// corvane-sim's scenario player with the built module: what a hand-written
// scenario can reproduce, what the parser refuses before the first frame,
// the trace, the flying aircraft, and the sample scenarios' drawings against
// their stored references.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <ctime>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "fly.h"
#include "host.h"
#include "player.h"
#include "scenario_lines.h"

namespace {

const std::string kRoot = std::string(CORVANE_SOURCE_DIR) + "/sample/root/";

class Scenario : public ::testing::Test {
 protected:
  void SetUp() override {
    simhost::Config config;
    config.root = kRoot;
    simhost::reset(config);
    std::string error;
    ASSERT_TRUE(simhost::load_and_start(CORVANE_MODULE_PATH, &error)) << error;
  }
  void TearDown() override { simhost::reset(); }

  // Included files come from `files` when named there, else from the disk.
  bool parse(const std::string& text, scenario::Script* s, std::string* error) {
    scenario::Lookup l = runner::host_lookup();
    l.read = [this](const std::string& path, std::string* out, std::string* e) {
      if (!files.count(path)) return runner::read_scenario(path, out, e);
      *out = files.at(path);
      return true;
    };
    return scenario::parse(text, "s.txt", 1.0 / 30.0, l, s, error);
  }
  std::map<std::string, std::string> files = {{"d/a.txt", "run 1\ninclude b.txt\n"},
                                              {"d/b.txt", "run 1\nfly maybe\n"}};
  // Plays `text`; failed expectations go to `errors`.
  runner::Outcome play(const std::string& text, std::string* errors = nullptr) {
    scenario::Script s;
    std::string error;
    EXPECT_TRUE(parse(text, &s, &error)) << error;
    runner::Play how;
    how.file = "s.txt";
    std::FILE* err = std::tmpfile();
    std::FILE* out = std::tmpfile();
    how.err = err;
    how.out = out;
    runner::Outcome o = runner::play(s, how);
    if (errors) *errors = slurp(err);
    std::fclose(err);
    std::fclose(out);
    return o;
  }
  static std::string slurp(std::FILE* f) {
    std::rewind(f);
    std::string s;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) s.append(buf, n);
    return s;
  }
};

int issued(const std::string& name) {
  int n = 0;
  for (const simhost::IssuedCommand& c : simhost::issued_commands()) n += c.name == name && c.phase == 0;
  return n;
}

TEST_F(Scenario, GearLeverWrittenNearlyDownInFlightFiresGearDownOnce) {
  simhost::clear_issued_commands();
  play("at 1s\n"
       "set sim/flightmodel2/gear/on_ground=0,0,0\n"
       "set sim/flightmodel/failures/onground_any=0\n"
       "at 2s set zuvadud/D738/controls/gear_handle_down=0.97\n"
       "expect zuvadud/D738/controls/gear_handle_down=1\n"
       "run 1s\n");
  // The lever's writer fires the aircraft's own gear-down command, once.
  EXPECT_EQ(issued("zuvadud/D738/push_button/gear_down"), 1);
  EXPECT_EQ(issued("zuvadud/D738/push_button/gear_up"), 0);
}

// The model's gear legs start where the host has them: at start with no load
// message, after a load into a 30 s pause (not the last flight's), and after a
// situation saved with the gear up is restored into a pause.
TEST_F(Scenario, GearLegsStartWhereTheHostHasThem) {
  std::string errors;
  const std::string legs = "sim/aircraft/parts/acf_gear_deploy=";
  // The host's gear lever where its legs are: a lever down over legs up in
  // the air is the crew lowering the gear.
  const std::string lever = "set sim/cockpit/switches/gear_handle_status=";
  const runner::Outcome o = play(
      "set " + legs + "1,1,1\nat 2s expect " + legs + "1,1,1\nset " + legs + "0,0,0\n" + lever + "0\nmessage plane-loaded\n" +
          "run 1s\nexpect " + legs + "0,0,0\npause on\nset " + legs + "1,1,1\n" + lever + "1\nmessage plane-loaded\nrun 30s\n" +
          "pause off\nrun 1\nexpect " + legs + "1,1,1\npause on\nset zuvadud/D738/system[63]=0\n" +
          "set zuvadud/D738/system[64]=0\nset zuvadud/D738/system[65]=0\nset zuvadud/D738/load_save=4\nrun 1\n" +
          "set zuvadud/D738/load_save=0\nrun 10s\npause off\nrun 1\nexpect " + legs + "1,1,1\n",
      &errors);
  EXPECT_EQ(o.failed, 0) << errors;
  EXPECT_EQ(o.expects, 4);
}

TEST_F(Scenario, HeldBaroKnobRepeatsAfterOneAndAHalfSeconds) {
  std::string errors;
  // One step when pressed, none until 1.5 s, then one per frame; the
  // battery powers the standby display.
  const runner::Outcome o = play(
      "at 0.1s set sim/cockpit2/electrical/battery_voltage_actual_volts=24,24\n"
      "command zuvadud/D738/switch/battery_dn once\n"
      "at 1s hold zuvadud/D738/knob/standby_alt_baro_up 3\n"
      "print zuvadud/D738/knobs/standby_alt_baro\n"
      "at 2.4s expect zuvadud/D738/knobs/standby_alt_baro=29.93 0.001\n"
      "at 2.6s expect zuvadud/D738/knobs/standby_alt_baro=29.955 0.01\n"
      "at 5s expect zuvadud/D738/knobs/standby_alt_baro=30.37 0.011\n",
      &errors);
  EXPECT_EQ(o.failed, 0) << errors;
  EXPECT_EQ(o.expects, 3);
  // The hold ended: no continue phases after 3 s.
  EXPECT_EQ(o.frames, 150);
}

TEST_F(Scenario, FailedExpectationNamesFileLineValueAndTime) {
  std::string errors;
  const runner::Outcome o = play("at 31 expect zuvadud/D738/electric/battery_pos=1\n", &errors);
  EXPECT_EQ(o.failed, 1);
  EXPECT_EQ(errors, "s.txt:1: zuvadud/D738/electric/battery_pos is 0, expected 1 (frame 30, 1.000 s)\n");
}

// Held to a time: checked after every frame until then, the first frame that
// breaks it named once.
TEST_F(Scenario, ExpectationHeldUntilATimeNamesTheFirstFrameThatBreaksIt) {
  std::string errors;
  const runner::Outcome o = play(
      "expect zuvadud/D738/electric/battery_pos=0 until 3s\n"
      "at 1s\nset sim/cockpit2/electrical/battery_voltage_actual_volts[0]=24\n"
      "command zuvadud/D738/switch/battery_dn once\nat 2s\ncommand zuvadud/D738/switch/battery_up once\n"
      "at 2.5s\ncommand zuvadud/D738/switch/battery_dn once\nrun 1s\n",
      &errors);
  EXPECT_EQ(o.failed, 1);
  EXPECT_EQ(errors, "s.txt:1: zuvadud/D738/electric/battery_pos is 1, expected 0 (frame 31, 1.033 s)\n");
}

TEST_F(Scenario, MistakesAreRefusedWithTheirLine) {
  struct Case {
    std::string text;
    std::string message;  // what follows "s.txt:"
  };
  const Case cases[] = {
      {"set sim/time/paused\n", "1: set needs NAME=VALUE"},
      {"# fine\n\nset no/such/ref=1\n", "3: no dataref \"no/such/ref\""},
      {"set sim/flightmodel/position/latitude=north\n", "1: \"north\" is not a number"},
      {"set sim/time/paused=0.5\n", "1: \"0.5\" is not a whole number"},
      {"set sim/flightmodel/position/latitude=nan\n", "1: \"nan\" is not a number"},
      {"set sim/cockpit2/electrical/bus_volts=1,2,3,4,5,6,7\n", "1: 7 values for"},
      {"set sim/cockpit2/electrical/bus_volts[6]=1\n", "1: index 6 is outside"},
      {"set zuvadud/D738/electric/dc_bus1_status=1\n", "1: zuvadud/D738/electric/dc_bus1_status is read-only"},
      {"command no/such/command once\n", "1: no command"},
      {"command sim/electrical/APU_on twice\n", "1: command needs NAME begin|end|once"},
      {"at 10\nat 5\n", "2: at 5 is earlier"},
      {"run 99999999999\n", "1: run is out of range"},
      {"expect zuvadud/D738/fms/legs=3\n", "1: zuvadud/D738/fms/legs holds text"},
      {"fly maybe\n", "1: fly needs on or off"},
      {"dance\n", "1: unknown step \"dance\""},
      {"date 2024-02-30 10:00:00\n", "1: date needs YYYY-MM-DD HH:MM:SS (UTC)"},
      {"date 2024-06-21T10:00:00Z\n", "1: date needs"},
      {std::string("set a=\0b\n", 9), "1: control character"},
      {"set zuvadud/D738/fms/legs=" + std::string(10 << 20, 'A') + "\n", "1: line of 10485786 bytes"},
      {std::string("\xff\xfer\0u\0n\0", 8), "1: starts with the UTF-16 byte-order mark FF FE"},
      {"scripts lnav maybe\n", "1: scripts needs lnav on or lnav off"},
      {"invariants maybe\n", "1: invariants needs on or off"},
      {"dt 0\n", "1: dt needs the frame step in seconds, above 0 and at most 1"},
      {"expect sim/time/paused=0 until 5\n", "1: expect NAME=VALUE [TOLERANCE] [until Ss]"},
      {"run 60\nexpect sim/time/paused=0 0.5 until 1s\n", "2: expect's until is not later than the scenario's clock"},
      {"run 60\ndt 0.1\nat 1.5s\n", "3: at 1.5s is earlier than the scenario's clock (frame 61)"},
      {"alert zuvadud/D738/annunciator/cabin_alt\n", "1: alert needs NAME [FROMs..[TOs]] REASON"},
      {"alert zuvadud/D738/annunciator/cabin_alt 20s..10s why\n", "1: alert's window is FROMs..TOs"},
      {"alert zuvadud/D738/annunciator/cabin_alt 20..30s why\n", "1: alert's window is FROMs..TOs"},
      {"alert optional zuvadud/D738/annunciator/cabin_alt\n", "1: alert needs NAME [FROMs..[TOs]] REASON"},
      {"lights dim at night\n", "1: lights needs dark [FROMs..[TOs]] REASON"},
      {"lights dark 20s..10s night\n", "1: lights dark's window is FROMs..TOs"},
      {"set zuvadud/D738/fms/legs=\"KSEA RW16L \n", "1: a quoted text needs its closing quote"},
      {"set zuvadud/D738/fms/legs=\"KSEA\" RW16L\n", "1: nothing may follow a quoted text"},
      {"set sim/cockpit2/electrical/bus_volts=\"1\"\n", "1: \"\"1\"\" is not a number"},
      {"expect log=1\n", "1: the log is a text: expect log~TEXT"},
      {"expect log~\n", "1: expect log~TEXT needs a text"},
      {"terrain high\n", "1: terrain needs a height in metres (-20000 to 20000) or fields"},
      {"terrain 1e9\n", "1: terrain needs a height in metres"},
      {"addon rain on\n", "1: no add-on \"rain\""},
      {"dt -0.1\n", "1: dt needs the frame step in seconds, above 0 and at most 1"},
      {"include\n", "1: include needs a file name"},
      {"at 1s include d/b.txt\n", "1: include stands on a line of its own"},
      {"run 1\ninclude none.txt\n", "2: include: none.txt: cannot read the file"},
      {"include d/../s.txt\n", "1: include s.txt: an include loop, s.txt is being read"},
      {"traffic 64 47 -122 3000 180 130 0\n", "1: traffic's slot is 1 to 63, not 64"},
      {"traffic 1 47 -122 3000 400 130 0\n", "1: traffic's track (degrees) \"400\" is outside 0..360"},
      {"traffic 1 47 -122 3000 180 nan 0\n", "1: traffic's speed (m/s) \"nan\" is not a number"},
      {"traffic 1 47 -122\n", "1: traffic needs N LAT LON ELEVATION_M TRACK_DEG SPEED_MPS VS_MPS, or N off"},
  };
  for (const Case& c : cases) {
    scenario::Script s;
    std::string error;
    EXPECT_FALSE(parse(c.text, &s, &error)) << c.message;
    EXPECT_EQ(error.rfind("s.txt:" + c.message, 0), 0u) << error;
  }
  // An editor's UTF-8 byte-order mark is read past.
  scenario::Script s;
  std::string error;
  EXPECT_TRUE(parse("\xef\xbb\xbfrun 3\n", &s, &error)) << error;
  EXPECT_EQ(s.last_frame, 3);
  // An included file's mistake is named at its own line, and where it was
  // included from; its steps run on the scenario's clock.
  EXPECT_FALSE(parse("include d/a.txt\n", &s, &error));
  EXPECT_EQ(error, "d/b.txt:2: fly needs on or off (included from d/a.txt:2) (included from s.txt:1)");
  files["d/b.txt"] = "run 1\nfly on\n";
  ASSERT_TRUE(parse("include d/a.txt\nfly off\n", &s, &error)) << error;
  ASSERT_EQ(s.steps.size(), 2u);
  EXPECT_EQ(scenario::where(s.steps[0], "s.txt") + " " + std::to_string(s.steps[0].frame), "d/b.txt:2 2");
  EXPECT_EQ(scenario::where(s.steps[1], "s.txt"), "s.txt:2");
  // Files that include each other in breadth, not in a loop, end too.
  files["d/a.txt"] = files["d/b.txt"] = "";
  for (int i = 0; i < 40; ++i) files["d/a.txt"] += "include b.txt\n", files["d/b.txt"] += "include c.txt\n";
  files["d/c.txt"] = "run 1\n";
  EXPECT_FALSE(parse("include d/a.txt\n", &s, &error));
  EXPECT_NE(error.find("more than 1000 files included"), std::string::npos) << error;
}

// A text keeps its blanks in quotes, with its quotes and backslashes
// escaped; --set keeps a text's bytes as given.
TEST_F(Scenario, TextsKeepTheirBlanks) {
  scenario::Script s;
  std::string error;
  ASSERT_TRUE(parse("set zuvadud/D738/fms/legs=\"KSEA \\\"A\\\" \\\\ \"  \n"
                    "set zuvadud/D738/fms/legs_pth=IFTF \n",
                    &s, &error))
      << error;
  ASSERT_EQ(s.steps.size(), 2u);
  EXPECT_EQ(s.steps[0].text, "KSEA \"A\" \\ ");
  EXPECT_EQ(s.steps[1].text, "IFTF");
  scenario::Step step;
  ASSERT_TRUE(runner::parse_set("zuvadud/D738/fms/legs= KSEA \"A\"  ", &step, &error)) << error;
  runner::apply_set(step);
  EXPECT_EQ(simhost::get_text("zuvadud/D738/fms/legs"), " KSEA \"A\"  ");
}

// A hostile run takes what a misbehaving host could give, as the dataref's
// type holds it; an int holds no nan and no fraction even then.
TEST_F(Scenario, HostileRunsTakeWhatAHostCouldGive) {
  scenario::Rules hostile;
  hostile.hostile = true;
  const std::string volts = "sim/cockpit2/electrical/bus_volts";
  struct Case {
    std::string assignment;
    bool taken;
  };
  const Case cases[] = {
      {volts + "=nan,inf,-inf,1e40,-1e40", true}, {"sim/flightmodel/position/latitude=1e400", true},
      {"sim/time/paused=1e10", true},              {"sim/cockpit2/engine/actuators/prop_mode=-inf,3", true},
      {"sim/time/paused=nan", false},              {"sim/time/paused=0.5", false},
      {"zuvadud/D738/electric/dc_bus1_status=nan", false},
  };
  for (const Case& c : cases) {
    scenario::Step step;
    std::string error;
    EXPECT_EQ(runner::parse_set(c.assignment, &step, &error, hostile), c.taken) << c.assignment << ": " << error;
    if (c.taken) runner::apply_set(step);
  }
  const std::vector<float> v = simhost::get_floats(volts, 5);
  EXPECT_TRUE(std::isnan(v[0]));
  EXPECT_EQ(v[1], INFINITY);
  EXPECT_EQ(v[2], -INFINITY);
  EXPECT_EQ(v[3], INFINITY);
  EXPECT_EQ(v[4], -INFINITY);
  EXPECT_EQ(simhost::get_double("sim/flightmodel/position/latitude"), INFINITY);
  EXPECT_EQ(simhost::get_int("sim/time/paused"), INT_MAX);
  EXPECT_EQ(simhost::get_ints("sim/cockpit2/engine/actuators/prop_mode", 2), (std::vector<int>{INT_MIN, 3}));
  double dt = 0;
  for (const char* step : {"0", "-1", "2", "nan", "1e40"}) {
    EXPECT_FALSE(scenario::frame_step(step, scenario::Rules(), &dt)) << step;
    EXPECT_TRUE(scenario::frame_step(step, hostile, &dt)) << step;
  }
  EXPECT_EQ(dt, INFINITY);
}

// An expectation is checked once, or held to the frame its time falls on:
// on a clock that stands or runs back (a hostile frame step) too.
TEST_F(Scenario, AnExpectationEndsWhereItWasWrittenOnAnyClock) {
  scenario::Rules hostile;
  hostile.hostile = true;
  for (const char* step : {"-0.1", "0"}) {
    scenario::Script s;
    std::string error;
    // Written 20 frames on, where a clock running back has passed -1 s.
    ASSERT_TRUE(scenario::parse(std::string("expect sim/time/paused=0 until 0.1s\ndt ") + step +
                                    "\nrun 20\nexpect sim/cockpit2/electrical/bus_volts[0]=0\n"
                                    "expect sim/cockpit2/electrical/bus_volts[1]=0 until 5s\nrun 5\n"
                                    "set sim/cockpit2/electrical/bus_volts=28,28\nrun 5\n",
                                "s.txt", 1.0 / 30.0, runner::host_lookup(), &s, &error, hostile))
        << error;
    ASSERT_EQ(s.steps.size(), 5u);
    EXPECT_GT(s.steps[0].until_frame, s.last_frame);  // a clock that never reaches 0.1 s: held to the end
    EXPECT_EQ(s.steps[2].until_frame, -1);             // checked once
    runner::Play how;
    how.file = "s.txt";
    std::FILE* err = std::tmpfile();
    how.err = err;
    const runner::Outcome o = runner::play(s, how);
    // Only the one held to 5 s, on a clock that never gets there, breaks.
    EXPECT_EQ(o.failed, 1) << step;
    EXPECT_EQ(slurp(err).rfind("s.txt:5: sim/cockpit2/electrical/bus_volts[1] is 28", 0), 0u) << step;
    std::fclose(err);
    simhost::set_floats("sim/cockpit2/electrical/bus_volts", {0, 0});
  }
}

// A frame step changed on the way: times in seconds count each step from
// where it began, and the run's clock follows.
TEST_F(Scenario, FrameStepChangedOnTheWayCountsFromWhereItChanged) {
  scenario::Script s;
  std::string error;
  ASSERT_TRUE(parse("at 1s\ndt 0.1\nat 2s print sim/time/paused\ndt 0.5\nrun 2s\n", &s, &error)) << error;
  ASSERT_EQ(s.steps.size(), 3u);
  EXPECT_EQ(s.steps[1].frame, 40);  // 30 frames of 1/30 s, then 10 of 0.1 s
  EXPECT_EQ(s.last_frame, 44);      // and 4 of 0.5 s
  runner::Play how;
  std::FILE* out = std::tmpfile();
  how.out = out;
  const runner::Outcome o = runner::play(s, how);
  EXPECT_EQ(slurp(out), "40 2.000 sim/time/paused=0\n");
  std::fclose(out);
  EXPECT_EQ(o.frames, 44);
  EXPECT_NEAR(o.seconds, 4.0, 1e-5);
}

// A value that is not a number, or a switch off its positions, is named,
// with its time, and fails the checks (the plug-in's writers and mirrors
// keep both out, so they are put among the values read); an alert step that names no caution or warning is refused
// before a frame.
TEST_F(Scenario, ChecksNameANotFiniteValueAndRefuseAnUnknownAlert) {
  const std::string catalog = std::string(CORVANE_SOURCE_DIR) + "/simhost/catalog/";
  scenario::Script s;
  std::string error;
  ASSERT_TRUE(parse("alert zuvadud/D738/annunciator/no_such_light why\n", &s, &error)) << error;
  runner::Invariants refused;
  EXPECT_FALSE(refused.prepare(catalog, s, "s.txt", &error));
  EXPECT_EQ(error.rfind("s.txt:1: zuvadud/D738/annunciator/no_such_light names no caution or warning", 0), 0u)
      << error;

  // A rules row whose element range is a typo is refused, not read as element 0.
  const std::string typo = ::testing::TempDir() + "rules_typo/";
  std::filesystem::create_directories(typo);
  std::filesystem::copy_file(catalog + "switch_positions.tsv", typo + "switch_positions.tsv",
                             std::filesystem::copy_options::overwrite_existing);
  for (const char* pattern : {"zuvadud/D738/fms/legs_lat[0-]", "zuvadud/D738/fms/legs_lat[ 1]"}) {
    std::ofstream(typo + "value_rules.tsv") << "name\trule\tnote\n" << pattern << "\tunit\tx\n";
    runner::Invariants typo_checks;
    EXPECT_FALSE(typo_checks.prepare(typo, scenario::Script(), "s.txt", &error)) << pattern;
    EXPECT_NE(error.find("value_rules.tsv:2: a row is PATTERN"), std::string::npos) << error;
  }
  std::filesystem::remove_all(typo);

  runner::Invariants checks;
  ASSERT_TRUE(checks.prepare(catalog, scenario::Script(), "s.txt", &error)) << error;
  checks.enable(true);
  std::FILE* out = std::tmpfile();
  simhost::frame(1.0f / 30);
  checks.after_frame(1, 1.0 / 30, out);
  std::vector<double> values;
  checks.published().read(&values);
  int n = 0;
  while (n < static_cast<int>(values.size()) && checks.published().label(n) != "zuvadud/D738/fms/legs_lat[5]") ++n;
  ASSERT_LT(n, static_cast<int>(values.size()));
  values[static_cast<size_t>(n)] = std::nan("");
  // A switch between the positions its commands set: no write reaches one
  // (each is kept to its control's travel), so it too is put among the
  // values read.
  int elt = 0;
  while (elt < static_cast<int>(values.size()) && checks.published().label(elt) != "zuvadud/D738/toggle_switch/elt") ++elt;
  ASSERT_LT(elt, static_cast<int>(values.size()));
  values[static_cast<size_t>(elt)] = 0.5;
  checks.judge(values, 2, 2.0 / 30, out);
  EXPECT_FALSE(checks.finish(2.0 / 30, out));
  const std::string text = slurp(out);
  std::fclose(out);
  EXPECT_NE(text.find("RULE       0.067 s  zuvadud/D738/fms/legs_lat[5]: not finite: nan\n"), std::string::npos)
      << text;
  EXPECT_NE(text.find("zuvadud/D738/toggle_switch/elt: not a position its commands set: 0.5"), std::string::npos) << text;
  EXPECT_NE(text.find("invariants: FAILED: 2 rule breaks, 0 unexpected alerts"), std::string::npos) << text;
}

// The runner's --set takes what a scenario's `set` takes and refuses what it
// refuses, naming the dataref; a folder given as the scenario is refused.
TEST_F(Scenario, SetOptionTakesAndRefusesWhatSetDoes) {
  const std::string volts = "sim/cockpit2/electrical/bus_volts";
  struct Case {
    std::string assignment;
    std::string refusal;  // empty: taken
  };
  const Case cases[] = {
      {volts + "[1]=3", ""},
      {volts + "=1,2", ""},
      {volts + "=nan", "--set: \"nan\" is not a number for " + volts},
      {volts + "=inf", "--set: \"inf\" is not a number for " + volts},
      {volts + "=1e40", "--set: \"1e40\" does not fit a float for " + volts},
      {volts + "=1,2,3,4,5,6,7", "--set: 7 values for " + volts + " of 6"},
      {volts + "[6]=1", "--set: index 6 is outside " + volts},
      {"zuvadud/D738/electric/dc_bus1_status=1", "--set: zuvadud/D738/electric/dc_bus1_status is read-only"},
      {volts + "=1\nfly on", "--set needs NAME=VALUE on one line"},
  };
  for (const Case& c : cases) {
    scenario::Step step;
    std::string error;
    EXPECT_EQ(runner::parse_set(c.assignment, &step, &error), c.refusal.empty()) << c.assignment;
    if (c.refusal.empty()) {
      runner::apply_set(step);
    } else {
      EXPECT_EQ(error.rfind(c.refusal, 0), 0u) << error;
    }
  }
  EXPECT_EQ(simhost::get_floats(volts, 3), (std::vector<float>{1, 2, 0}));
  EXPECT_EQ(runner::set_target(" " + volts + "[1] =3"), volts);

  std::string text, error;
  EXPECT_FALSE(runner::read_scenario(CORVANE_SOURCE_DIR, &text, &error));
  EXPECT_EQ(error, std::string(CORVANE_SOURCE_DIR) + ": a folder, not a scenario file");
}

// The calendar the plug-in reads runs with the simulated clock from the
// date a scenario gives (leap days and all), whatever the wall clock says.
TEST_F(Scenario, DateStepSetsTheCalendar) {
  play("at 1s\ndate 2028-02-29 23:59:30\nrun 45s\n");
  EXPECT_EQ(simhost::calendar(), 1835481570 + 45);
  EXPECT_EQ(std::time(nullptr), 1835481570 + 45);
}

TEST_F(Scenario, TraceHasAHeaderAndOneRowPerTracedFrame) {
  std::vector<scenario::Ref> refs;
  std::string error;
  ASSERT_TRUE(runner::parse_trace("sim/time/paused,sim/cockpit2/electrical/bus_volts", &refs, &error)) << error;
  EXPECT_FALSE(runner::parse_trace("sim/time/paused,nothing", &refs, &error));
  EXPECT_EQ(error, "--trace: no dataref \"nothing\"");
  ASSERT_TRUE(runner::parse_trace("sim/time/paused,sim/cockpit2/electrical/bus_volts", &refs, &error));
  runner::Play how;
  how.min_frames = 7;
  how.trace = refs;
  how.trace_every = 3;
  std::FILE* f = std::tmpfile();
  how.trace_out = f;
  runner::play(scenario::Script{}, how);
  // The host's bus voltage array has six elements: one column each.
  EXPECT_EQ(slurp(f),
            "frame,time,sim/time/paused,sim/cockpit2/electrical/bus_volts[0],sim/cockpit2/electrical/bus_volts[1],"
            "sim/cockpit2/electrical/bus_volts[2],sim/cockpit2/electrical/bus_volts[3],"
            "sim/cockpit2/electrical/bus_volts[4],sim/cockpit2/electrical/bus_volts[5]\n"
            "3,0.1000,0,0,0,0,0,0,0\n"
            "6,0.2000,0,0,0,0,0,0,0\n");
  std::fclose(f);
}

// Straight along a great circle at the ground speed, turning at the rate the
// bank gives, climbing at the vertical speed; on the ground below terrain.
TEST_F(Scenario, FlyingAircraftMovesTurnsAndClimbsConsistently) {
  const runner::Outcome o = play(
      "at 1\n"
      "set sim/flightmodel/position/latitude=0\n"
      "set sim/flightmodel/position/longitude=0\n"
      "set sim/flightmodel/position/elevation=1000\n"
      "set sim/flightmodel/position/hpath=90\n"
      "set sim/flightmodel/position/groundspeed=100\n"
      "set sim/flightmodel/position/vh_ind_fpm=600\n"
      "fly on\n"
      "run 10s\n");
  EXPECT_EQ(o.frames, 300);
  const double earth_m = 6371008.8;
  EXPECT_NEAR(simhost::get_double("sim/flightmodel/position/longitude"), 1000.0 / earth_m * 180.0 / M_PI, 1e-6);
  EXPECT_NEAR(simhost::get_double("sim/flightmodel/position/latitude"), 0.0, 1e-9);
  EXPECT_NEAR(simhost::get_double("sim/flightmodel/position/elevation"), 1000.0 + 100.0 * 0.3048, 0.01);
  EXPECT_NEAR(simhost::get_float("sim/cockpit2/gauges/indicators/radio_altimeter_height_ft_pilot"),
              (1000.0 + 100.0 * 0.3048) / 0.3048, 0.1);
  EXPECT_EQ(simhost::get_int("sim/flightmodel/failures/onground_any"), 0);

  // A held 20-degree bank: g tan(20) / v rad/s.
  simhost::set_float("sim/flightmodel/position/phi", 20.0f);
  simhost::set_float("sim/flightmodel/position/vh_ind_fpm", 0.0f);
  simhost::frames(30, 1.0f / 30.0f);
  EXPECT_NEAR(simhost::get_float("sim/flightmodel/position/hpath"),
              90.0 + 9.80665 * std::tan(20 * M_PI / 180) / 100 * 180 / M_PI, 0.01);
  simhost::set_double("sim/flightmodel/position/elevation", 10.0);
  simhost::set_float("sim/flightmodel/position/vh_ind_fpm", -6000.0f);
  simhost::frames(30, 1.0f / 30.0f);
  // The descent ends on the terrain stand-in, wings level.
  EXPECT_EQ(simhost::get_double("sim/flightmodel/position/elevation"), 0.0);
  EXPECT_EQ(simhost::get_int("sim/flightmodel/failures/onground_any"), 1);
  EXPECT_EQ(simhost::get_float("sim/flightmodel/position/phi"), 0.0f);

  // Paused: nothing moves.
  const double lon = simhost::get_double("sim/flightmodel/position/longitude");
  simhost::set_int("sim/time/paused", 1);
  simhost::frames(10, 1.0f / 30.0f);
  EXPECT_EQ(simhost::get_double("sim/flightmodel/position/longitude"), lon);
  simhost::set_flying(false);
}

// The sample scenarios' drawings, segment by segment, against the stored
// references; scripts/update-scenario-lines.sh rewrites those on purpose.
// One test per flight, so that the flights run side by side.
class SampleDrawings : public ::testing::TestWithParam<const char*> {};

TEST_P(SampleDrawings, MatchTheirReferences) {
  const char* name = GetParam();
  const std::string src = CORVANE_SOURCE_DIR;
  std::vector<scenario_lines::Picture> got, want;
  std::string error;
  ASSERT_TRUE(scenario_lines::capture(CORVANE_MODULE_PATH, src + "/sample/root/",
                                      src + "/sample/scenarios/" + name + ".txt", &got, &error))
      << error;
  std::ifstream in(src + "/tests/simhost/scenarios/" + name + ".lines", std::ios::binary);
  ASSERT_TRUE(in) << name << ": no reference; run scripts/update-scenario-lines.sh";
  std::stringstream text;
  text << in.rdbuf();
  ASSERT_TRUE(scenario_lines::from_text(text.str(), &want)) << name;
  ASSERT_EQ(got.size(), want.size()) << name;
  for (size_t p = 0; p < got.size(); ++p) {
    ASSERT_EQ(got[p].lines.size(), want[p].lines.size()) << name << " " << want[p].file;
    for (size_t i = 0; i < got[p].lines.size(); ++i)
      for (size_t k = 0; k < 4; ++k)
        ASSERT_NEAR(got[p].lines[i][k], want[p].lines[i][k], 1e-4) << name << " " << want[p].file << " line " << i;
  }
}
INSTANTIATE_TEST_SUITE_P(ScenarioLines, SampleDrawings, ::testing::Values("power-up", "departure", "approach", "traffic"),
                         [](const ::testing::TestParamInfo<const char*>& param) {
                           std::string name = param.param;
                           for (char& c : name)
                             if (c == '-') c = '_';
                           return name;
                         });

// A hold whose left side the scripts code 2 draws as the same hold coded 0:
// the entry on the way in, then the entry turn and the racetrack, segment
// for segment.
TEST(ScenarioLines, LeftHoldDrawsTheSameForEitherLeftCode) {
  const std::string src = CORVANE_SOURCE_DIR;
  std::ifstream in(src + "/tests/simhost/scenarios/hold-left-coded-2.txt", std::ios::binary);
  ASSERT_TRUE(in);
  std::stringstream text;
  text << in.rdbuf();
  std::string flight = text.str();
  const size_t set_up = flight.find("fly on\n");
  ASSERT_NE(set_up, std::string::npos);
  flight = flight.substr(0, set_up + 7) + "at 120s\npng entry.png\nat 300s\npng turn.png\nat 450s\npng racetrack.png\n";
  // Played from the temporary folder: its shared start is named where it is.
  const std::string shared = "include ../../../sample/";
  const size_t include = flight.find(shared);
  if (include != std::string::npos) flight.replace(include, shared.size(), "include " + src + "/sample/");
  const std::string coded_2 = "legs_rad_turn=-1,-1,2,-1";
  const size_t side = flight.find(coded_2);
  ASSERT_NE(side, std::string::npos);
  std::vector<scenario_lines::Picture> drawn[2];
  for (int code = 0; code < 2; ++code) {
    std::string f = flight;
    if (code == 0) f.replace(side, coded_2.size(), "legs_rad_turn=-1,-1,0,-1");
    const std::string path = ::testing::TempDir() + "hold-left-" + std::to_string(code) + ".txt";
    std::ofstream(path, std::ios::binary) << f;
    std::string error;
    ASSERT_TRUE(scenario_lines::capture(CORVANE_MODULE_PATH, src + "/sample/root/", path, &drawn[code], &error))
        << error;
    std::remove(path.c_str());
  }
  ASSERT_EQ(drawn[0].size(), 3u);
  ASSERT_EQ(drawn[1].size(), drawn[0].size());
  for (size_t p = 0; p < drawn[0].size(); ++p) {
    EXPECT_GT(drawn[0][p].lines.size(), 20u) << drawn[0][p].file;
    ASSERT_EQ(drawn[1][p].lines.size(), drawn[0][p].lines.size()) << drawn[0][p].file;
    for (size_t i = 0; i < drawn[0][p].lines.size(); ++i)
      ASSERT_EQ(drawn[1][p].lines[i], drawn[0][p].lines[i]) << drawn[0][p].file << " line " << i;
  }
}

}  // namespace
