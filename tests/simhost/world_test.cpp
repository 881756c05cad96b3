// Files, drawing, plug-in services and the world of the simulated host.
#include "fly.h"
#include "host.h"
#include "platform/xplm.h"
#include "state.h"

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <malloc.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>

namespace {

TEST(SimhostFiles, DirectoryContentsPageThroughTheFolder) {
  simhost::reset();
  std::string dir = simhost::root() + "Output/FMS plans";
  for (const char* n : {"b.fms", "a.fms", "ccc.fms"}) std::ofstream(dir + "/" + n) << "x";
  struct Case {
    int offset, buffer, indices;
    int want_return, want_returned;
    const char* want_first;
  } cases[] = {
      {0, 100, 10, 1, 3, "a.fms"},   // all fit
      {0, 12, 10, 0, 2, "a.fms"},    // "a.fms\0b.fms\0" is exactly 12 bytes
      {2, 100, 10, 1, 1, "ccc.fms"}, // the next page
      {0, 100, 1, 0, 1, "a.fms"},    // index array full
      {3, 100, 10, 1, 0, ""},        // past the end: nothing left
  };
  for (const Case& c : cases) {
    char names[100] = {};
    char* index[10] = {};
    int total = -1, returned = -1;
    int r = XPLMGetDirectoryContents(dir.c_str(), c.offset, names, c.buffer, index, c.indices, &total, &returned);
    EXPECT_EQ(r, c.want_return) << c.offset << "/" << c.buffer << "/" << c.indices;
    EXPECT_EQ(total, 3);
    EXPECT_EQ(returned, c.want_returned);
    if (returned > 0) {
      EXPECT_STREQ(index[0], c.want_first);
    }
    if (returned > 1) {
      EXPECT_EQ(index[1], names + 6);
    }
  }
  int total = -1, returned = -1;
  EXPECT_EQ(XPLMGetDirectoryContents((dir + "/none").c_str(), 0, nullptr, 0, nullptr, 0, &total, &returned), 0);
  EXPECT_EQ(total, 0);
}

TEST(SimhostFiles, SituationFilesAreRecordedAndResolvedUnderTheRoot) {
  simhost::reset();
  EXPECT_EQ(XPLMLoadDataFile(xplm_DataFile_Situation, "Output/situations/none.sit"), 0);
  EXPECT_EQ(XPLMSaveDataFile(xplm_DataFile_Situation, "Output/situations/737_01.sit"), 1);
  EXPECT_EQ(XPLMLoadDataFile(xplm_DataFile_Situation, "Output/situations/737_01.sit"), 1);
  ASSERT_EQ(simhost::data_file_calls().size(), 3u);
  EXPECT_TRUE(simhost::data_file_calls()[1].save);
  EXPECT_EQ(simhost::data_file_calls()[2].path, "Output/situations/737_01.sit");
}

int draw_line(XPLMDrawingPhase, int, void*) {
  XPLMSetGraphicsState(0, 0, 0, 0, 1, 0, 0);
  glColor4f(0, 1, 0, 1);
  glLineWidth(3);
  glBegin(GL_LINES);
  glVertex2f(10, 20);
  glVertex2f(110, 20);
  glEnd();
  return 1;
}

TEST(SimhostDrawing, PassRendersIntoThePanelAndCapturesLines) {
  simhost::reset();
  ASSERT_EQ(XPLMRegisterDrawCallback(draw_line, xplm_Phase_Gauges, 1, nullptr), 1);
  simhost::frame(0.1f);
  EXPECT_EQ(simhost::pixel(50, 20), 0x00ff00ffu);
  EXPECT_EQ(simhost::pixel(50, 40), 0u);
  EXPECT_GT(simhost::count_pixels_not(0), 200);
  EXPECT_EQ(simhost::graphics_state().alpha_blending, 1);

  simhost::set_draw_capture(true);
  simhost::frame(0.1f);
  ASSERT_EQ(simhost::captured_lines().size(), 1u);
  const simhost::Line& l = simhost::captured_lines()[0];
  EXPECT_FLOAT_EQ(l.x0, 10);
  EXPECT_FLOAT_EQ(l.x1, 110);
  EXPECT_FLOAT_EQ(l.y0, 20);
  EXPECT_FLOAT_EQ(l.g, 1);
  EXPECT_EQ(simhost::draw_callbacks()[0].calls, 2);

  std::string png = simhost::root() + "panel.png";
  EXPECT_TRUE(simhost::write_png(png));
  EXPECT_GT(std::filesystem::file_size(png), 100u);
  EXPECT_EQ(XPLMUnregisterDrawCallback(draw_line, xplm_Phase_Gauges, 0, nullptr), 0);
  EXPECT_EQ(XPLMUnregisterDrawCallback(draw_line, xplm_Phase_Gauges, 1, nullptr), 1);
  EXPECT_EQ(simhost::problems().size(), 1u);
  XPLMSetGraphicsState(0, 0, 0, 0, 0, 0, 0);
  EXPECT_EQ(simhost::problems().size(), 2u) << "graphics state outside a draw callback";
}

// The plug-in's drawing in the frames without a picture, then pictures with
// and without it: each picture starts from a cleared panel (the one-pixel
// scissor of the frames between does not keep the old lines), and the
// renderer keeps nothing from frame to frame (its heap after a thousand
// frames more is what it was after a few hundred).
bool g_line_drawn = true;
int draw_line_when_asked(XPLMDrawingPhase phase, int before, void* refcon) {
  return g_line_drawn ? draw_line(phase, before, refcon) : 1;
}

size_t heap_in_use() {
#if defined(__GLIBC__) && (__GLIBC__ > 2 || __GLIBC_MINOR__ >= 33) && !defined(__SANITIZE_ADDRESS__)
  return mallinfo2().uordblks;
#else
  return 0;
#endif
}

TEST(SimhostDrawing, UnseenFramesLeaveNoPixelAndNoMemory) {
  simhost::reset();
  ASSERT_EQ(XPLMRegisterDrawCallback(draw_line_when_asked, xplm_Phase_Gauges, 1, nullptr), 1);
  g_line_drawn = true;
  simhost::frame(0.1f);
  EXPECT_GT(simhost::count_pixels_not(0), 200);
  simhost::set_draw_unseen(true);
  simhost::frames(200, 0.1f);
  const size_t early = heap_in_use();
  simhost::frames(1000, 0.1f);
  const size_t late = heap_in_use();
  EXPECT_LT(late, early + 1024 * 1024) << "heap in use " << early << " after 200 frames, " << late << " after 1200";
  simhost::set_draw_unseen(false);
  g_line_drawn = false;
  simhost::frame(0.1f);
  EXPECT_EQ(simhost::count_pixels_not(0), 0) << "the picture before is still in the panel";
  EXPECT_EQ(XPLMUnregisterDrawCallback(draw_line_when_asked, xplm_Phase_Gauges, 1, nullptr), 1);
  g_line_drawn = true;
  EXPECT_TRUE(simhost::problems().empty()) << simhost::problems().front();
}

TEST(SimhostServices, PathsIdentityAndDatarefEditor) {
  simhost::Config c;
  c.acf = "b737.acf";
  simhost::reset(c);
  char path[512];
  XPLMGetSystemPath(path);
  EXPECT_EQ(std::string(path), simhost::root());
  EXPECT_EQ(simhost::root().back(), '/');
  char file[256];
  XPLMGetNthAircraftModel(0, file, path);
  EXPECT_STREQ(file, "b737.acf");
  EXPECT_EQ(std::string(path), simhost::root() + "Aircraft/D738/b737.acf");
  EXPECT_EQ(simhost::plugin_path(), simhost::root() + "Aircraft/D738/plugins/corvane/64/lin.xpl");

  EXPECT_EQ(XPLMFindPluginBySignature("xplanesdk.examples.DataRefEditor"), XPLM_NO_PLUGIN_ID);
  simhost::set_dataref_editor(true);
  XPLMPluginID dre = XPLMFindPluginBySignature("xplanesdk.examples.DataRefEditor");
  ASSERT_EQ(dre, simhost::kDatarefEditorId);
  char name[] = "corvane/Debug";
  XPLMSendMessageToPlugin(dre, 0x01000000, name);
  EXPECT_EQ(simhost::dataref_editor_names(), (std::vector<std::string>{"corvane/Debug"}));

  XPLMEnableFeature("XPLM_USE_NATIVE_PATHS", 1);
  EXPECT_TRUE(simhost::feature_enabled("XPLM_USE_NATIVE_PATHS"));
  XPLMDebugString("one\ntw");
  XPLMDebugString("o\n");
  EXPECT_EQ(simhost::log_lines(), (std::vector<std::string>{"one", "two"}));
  EXPECT_TRUE(simhost::log_contains("two"));
  EXPECT_TRUE(simhost::problems().empty());
}

TEST(SimhostServices, WorldQueries) {
  simhost::reset();
  simhost::set_magnetic_variation(-3.5f);
  EXPECT_EQ(XPLMGetMagneticVariation(50, 8), -3.5f);
  EXPECT_EQ(simhost::magnetic_variation_calls(), 1);

  float lat = 50.0f, lon = 8.5f;
  XPLMNavRef r = XPLMFindNavAid(nullptr, "T", &lat, &lon, nullptr, xplm_Nav_VOR | xplm_Nav_NDB);
  char id[32];
  XPLMNavType type = 0;
  XPLMGetNavAidInfo(r, &type, nullptr, nullptr, nullptr, nullptr, nullptr, id, nullptr, nullptr);
  EXPECT_STREQ(id, "TB") << "the nearest match of the types asked for";
  EXPECT_EQ(type, xplm_Nav_NDB);
  EXPECT_EQ(XPLMFindNavAid(nullptr, "NONE", nullptr, nullptr, nullptr, xplm_Nav_Fix), XPLM_NAV_NOT_FOUND);

  simhost::set_terrain([](float x, float) { return x * 0.5f; });
  XPLMProbeRef p = XPLMCreateProbe(xplm_ProbeY);
  XPLMProbeInfo_t info{};
  info.structSize = sizeof info;
  EXPECT_EQ(XPLMProbeTerrainXYZ(p, 10, 0, 5, &info), xplm_ProbeHitTerrain);
  EXPECT_EQ(info.locationY, 5.0f);
  XPLMDestroyProbe(p);
  XPLMDestroyProbe(p);
  EXPECT_EQ(simhost::problems().size(), 1u);

  double x, y, z, la, lo, al;
  simhost::set_local_origin(50, 8);
  XPLMWorldToLocal(50.01, 8.02, 100, &x, &y, &z);
  EXPECT_GT(x, 0);
  EXPECT_LT(z, 0) << "north is -z";
  XPLMLocalToWorld(x, y, z, &la, &lo, &al);
  EXPECT_NEAR(la, 50.01, 1e-9);
  EXPECT_NEAR(lo, 8.02, 1e-9);
}

// The weather report is found by name on host 12 only, and answers from
// before-flight-model loops; anywhere else is a misuse.
XPLMGetMETARForAirport_f metar_fn;
std::string metar_text;
float ask_metar(float, float, int, void*) {
  XPLMFixedString150_t out;
  metar_fn("XTST", &out);
  metar_text = out.buffer;
  return 0.0f;
}

TEST(SimhostServices, WeatherReportIsLookedUpAndAnswersBeforeTheFlightModel) {
  struct Case {
    int host_version;
    bool hidden;
    int phase;   // of the loop asking; -1: outside any loop
    bool found;
    size_t problems;
  } cases[] = {
      {120000, false, 0, true, 0},
      {120000, false, 1, true, 1},
      {120000, false, -1, true, 1},
      {120000, true, 0, false, 0},
      {110000, false, 0, false, 0},
  };
  for (const Case& c : cases) {
    simhost::Config config;
    config.host_version = c.host_version;
    if (c.hidden) config.absent_symbols = {"XPLMGetMETARForAirport"};
    simhost::reset(config);
    simhost::set_metar("XTST", "XTST 011200Z 25010KT 9999 FEW030 15/10 Q1013");
    metar_fn = reinterpret_cast<XPLMGetMETARForAirport_f>(XPLMFindSymbol("XPLMGetMETARForAirport"));
    EXPECT_EQ(simhost::symbol_lookups("XPLMGetMETARForAirport"), 1);
    EXPECT_EQ(metar_fn != nullptr, c.found) << c.host_version << " " << c.phase;
    if (!metar_fn) continue;
    metar_text.clear();
    if (c.phase < 0) {
      ask_metar(0, 0, 0, nullptr);
    } else {
      XPLMCreateFlightLoop_t record{static_cast<int>(sizeof(XPLMCreateFlightLoop_t)), c.phase, ask_metar, nullptr};
      XPLMFlightLoopID id = XPLMCreateFlightLoop(&record);
      XPLMScheduleFlightLoop(id, -1.0f, 1);
      simhost::frame(0.1f);
      XPLMDestroyFlightLoop(id);
    }
    EXPECT_EQ(metar_text, "XTST 011200Z 25010KT 9999 FEW030 15/10 Q1013");
    EXPECT_EQ(simhost::problems().size(), c.problems) << c.phase;
  }
  EXPECT_EQ(XPLMFindSymbol("XPLMNoSuchFunction"), nullptr);
}

TEST(SimhostServices, AbsoluteObjectPathsAndTrailingSeparatorsAreRefused) {
  simhost::reset();
  std::filesystem::create_directories(simhost::root() + "objects");
  std::ofstream(simhost::root() + "objects/gpu.obj") << "A\n";
  EXPECT_EQ(XPLMLoadObject((simhost::root() + "objects/gpu.obj").c_str()), nullptr);
  EXPECT_EQ(XPLMLoadObject("C:\\X-Plane\\objects\\gpu.obj"), nullptr);
  int total = -1, returned = -1;
  char names[100];
  char* index[4];
  EXPECT_EQ(XPLMGetDirectoryContents((simhost::root() + "objects/").c_str(), 0, names, 100, index, 4, &total,
                                     &returned), 0);
  EXPECT_EQ(total, 0);
  EXPECT_EQ(simhost::problems().size(), 3u);
  EXPECT_EQ(XPLMGetDirectoryContents((simhost::root() + "objects").c_str(), 0, names, 100, index, 4, &total,
                                     &returned), 1);
  EXPECT_EQ(total, 1);
}

TEST(SimhostServices, ObjectsAndInstancesAreRecorded) {
  simhost::reset();
  EXPECT_EQ(XPLMLoadObject("objects/GSE/none.obj"), nullptr) << "a missing file does not load";
  std::filesystem::create_directories(simhost::root() + "objects");
  std::ofstream(simhost::root() + "objects/gpu.obj") << "A\n";
  XPLMObjectRef o = XPLMLoadObject("objects/gpu.obj");
  ASSERT_NE(o, nullptr);
  const char* refs[] = {"t/door", nullptr};
  XPLMInstanceRef i = XPLMCreateInstance(o, refs);
  XPLMDrawInfo_t pos{static_cast<int>(sizeof(XPLMDrawInfo_t)), 1, 2, 3, 0, 90, 0};
  float data[] = {0.5f};
  XPLMInstanceSetPosition(i, &pos, data);
  XPLMUnloadObject(o);   // still has an instance: a problem
  std::vector<simhost::InstanceInfo> list = simhost::instances();
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].heading, 90);
  EXPECT_EQ(list[0].data, (std::vector<float>{0.5f}));
  EXPECT_EQ(simhost::problems().size(), 1u);
  XPLMDestroyInstance(i);
  EXPECT_EQ(simhost::registrations().instances, 0);
}

// The host's own aircraft: what it derives by itself at reset and every
// frame, one row per rule. Each row starts from a fresh host with no module,
// runs its set-up, then that many frames of 1/30 s, and reads one value.
float element(const char* name, int i) {
  const std::vector<float> v = simhost::get_floats(name);
  return i < static_cast<int>(v.size()) ? v[static_cast<size_t>(i)] : -1.0f;
}

// What a table row reads after its frames: a value, or one of its elements.
std::function<double()> scalar(const char* name) {
  return [name] { return simhost::get_double(name); };
}
std::function<double()> at(const char* name, int i) {
  return [name, i] { return static_cast<double>(element(name, i)); };
}

struct WorldRow {
  const char* rule;
  std::function<void()> setup;
  int frames;
  std::function<double()> value;
  double expected, tolerance;
};

template <size_t N>
void play_world_rows(const WorldRow (&rows)[N]) {
  for (const WorldRow& r : rows) {
    simhost::reset();
    r.setup();
    simhost::frames(r.frames, 1.0f / 30);
    EXPECT_NEAR(r.value(), r.expected, r.tolerance) << r.rule;
    simhost::set_flying(false);
  }
  simhost::reset();
}
void plugin_write_int(const char* name, int v) { XPLMSetDatai(XPLMFindDataRef(name), v); }
void plugin_write_float(const char* name, float v) { XPLMSetDataf(XPLMFindDataRef(name), v); }
void plugin_write_floats(const char* name, std::vector<float> v) {
  XPLMSetDatavf(XPLMFindDataRef(name), v.data(), 0, static_cast<int>(v.size()));
}
// Flying from just above the terrain at this sink, nose 4 degrees up: the
// main wheels meet the ground in the first frame.
void landing(float fpm, float height_m) {
  simhost::set_double("sim/flightmodel/position/elevation", height_m);
  simhost::set_from_text("sim/aircraft/parts/acf_gear_deploy", "1,1,1");
  simhost::set_float("sim/flightmodel/position/groundspeed", 70.0f);
  simhost::set_float("sim/flightmodel/position/theta", 4.0f);
  simhost::set_float("sim/flightmodel/position/vh_ind_fpm", fpm);
  simhost::set_flying(true);
}

TEST(SimhostWorld, TheHostDerivesItsAircraftOnTheGroundAndItsSystems) {
  const char* kAny = "sim/flightmodel/failures/onground_any";
  const char* kAll = "sim/flightmodel/failures/onground_all";
  const char* kWheels = "sim/flightmodel2/gear/on_ground";
  const char* kLegs = "sim/aircraft/parts/acf_gear_deploy";
  const char* kRatio = "sim/flightmodel2/gear/deploy_ratio";
  const char* kMode = "sim/cockpit2/engine/actuators/prop_mode";
  const char* kSleeves = "sim/flightmodel2/engines/thrust_reverser_deploy_ratio";
  const char* kTyres = "sim/flightmodel/parts/tire_speed_now";
  const char* kApuN1 = "sim/cockpit2/electrical/APU_N1_percent";
  const char* kApuRunning = "sim/cockpit/engine/APU_running";
  auto none = [] {};
  auto set = [](const char* name, double v) { return [name, v] { simhost::set_from_text(name, std::to_string(v)); }; };
  auto set_list = [](const char* name, const char* v) { return [name, v] { simhost::set_from_text(name, v); }; };
  auto reverse_for = [kMode](int frames) {
    return [kMode, frames] {
      simhost::set_from_text(kMode, "3,3");
      simhost::frames(frames, 1.0f / 30);
      simhost::set_from_text(kMode, "1,1");
    };
  };
  auto apu = [](const char* command, int frames_after) {
    return [command, frames_after] {
      simhost::command_once(command);
      simhost::frames(frames_after, 1.0f / 30);
    };
  };
  const WorldRow rows[] = {
      // Ground contact from the height, with or without the flying aircraft.
      {"parked at the field elevation: on the ground at reset", none, 0, scalar(kAny), 1, 0},
      {"... every wheel", none, 0, scalar(kAll), 1, 0},
      {"... the nose wheel", none, 0, at(kWheels, 0), 1, 0},
      {"placed at 1000 m: airborne", set("sim/flightmodel/position/elevation", 1000), 1, scalar(kAny), 0, 0},
      {"... its radio altimeters read the height", set("sim/flightmodel/position/elevation", 1000), 1,
       scalar("sim/cockpit2/gauges/indicators/radio_altimeter_height_ft_copilot"), 3280.84, 0.01},
      {"... above a 300 m field, 700 m", [] {
         simhost::set_terrain([](float, float) { return 300.0f; });
         simhost::set_double("sim/flightmodel/position/elevation", 1000.0);
       }, 1, scalar("sim/flightmodel/position/y_agl"), 700, 0.001},
      {"on a 300 m field at 300 m: on the ground",
       [] {
         simhost::set_terrain([](float, float) { return 300.0f; });
         simhost::set_double("sim/flightmodel/position/elevation", 300.0);
       },
       1, scalar(kAll), 1, 0},
      {"legs up on the ground: no wheel touches", set_list(kLegs, "0,0,0"), 1, at(kWheels, 1), 0, 0},
      {"... the airframe does", set_list(kLegs, "0,0,0"), 1, scalar(kAny), 1, 0},
      {"nose 3 degrees up: the nose wheel off", set("sim/flightmodel/position/theta", 3), 1, at(kWheels, 0), 0, 0},
      {"... the mains on", set("sim/flightmodel/position/theta", 3), 1, at(kWheels, 2), 1, 0},
      {"... not every wheel", set("sim/flightmodel/position/theta", 3), 1, scalar(kAll), 0, 0},
      {"wheels set from outside: the summaries follow", set_list(kWheels, "0,0,0"), 1, scalar(kAny), 0, 0},
      {"rolling on the ground with the roll channel asking for a turn: the track stands",
       [] {
         simhost::set_float("sim/flightmodel/position/groundspeed", 8.0f);
         simhost::set_float("sim/flightmodel/position/hpath", 150.0f);
         simhost::set_float("zuvadud/D738/autopilot/lnav_engaged", 1.0f);
         simhost::set_float("zuvadud/D738/fms/idx_corr", 200.0f);
         simhost::set_flying(true);
       },
       30, scalar("sim/flightmodel/position/hpath"), 150, 0},
      // A ground start with the gear down, an air start as the scenario says.
      {"ground start: legs down", none, 0, at(kLegs, 2), 1, 0},
      {"... the published ratio too", none, 0, at(kRatio, 0), 1, 0},
      {"... the handle down", none, 0, scalar("sim/cockpit/switches/gear_handle_status"), 1, 0},
      {"air start: legs up", set("sim/flightmodel/position/elevation", 3000), 1, at(kLegs, 0), 0, 0},
      {"... handle up", set("sim/flightmodel/position/elevation", 3000), 1,
       scalar("sim/cockpit/switches/gear_handle_status"), 0, 0},
      {"legs moved by the plug-in: the ratio follows",
       [kLegs] {
         simhost::frames(1, 1.0f / 30);
         plugin_write_floats(kLegs, {1, 0.5f, 1});
       },
       1, at(kRatio, 1), 0.5, 0},
      {"engines in normal thrust", none, 0, at(kMode, 1), 1, 0},
      // Reverser sleeves and tyres.
      {"reverse: sleeves half out after 1 s", set_list(kMode, "3,3"), 30, at(kSleeves, 0), 0.5, 1e-4},
      {"... out after 2 s", set_list(kMode, "3,3"), 61, at(kSleeves, 1), 1, 0},
      {"out of reverse: half stowed 1 s later", reverse_for(60), 30, at(kSleeves, 0), 0.5, 1e-4},
      {"an inoperative reverser stays stowed",
       [kMode] {
         simhost::set_int("sim/operation/failures/rel_revers0", 6);
         simhost::set_from_text(kMode, "3,3");
       },
       60, at(kSleeves, 0), 0, 0},
      {"a failed deployment goes out", set("sim/operation/failures/rel_revdep1", 6), 60, at(kSleeves, 1), 1, 1e-4},
      {"a main tyre rolls at the ground speed", set("sim/flightmodel/position/groundspeed", 50), 1, at(kTyres, 1),
       50 / 0.565, 1e-3},
      {"... the nose tyre", set("sim/flightmodel/position/groundspeed", 50), 1, at(kTyres, 0), 50 / 0.343, 1e-3},
      {"off the ground a tyre spins down",
       [] {
         simhost::set_float("sim/flightmodel/position/groundspeed", 50.0f);
         simhost::frames(1, 1.0f / 30);
         simhost::set_double("sim/flightmodel/position/elevation", 100.0);
       },
       30, at(kTyres, 2), 50 / 0.565 - 10, 1e-3},
      // A touchdown with sink, mains first, the nose 3 s later.
      {"touchdown at -150 fpm: the frame keeps its sink", [] { landing(-150, 0.02f); }, 1,
       scalar("sim/flightmodel/position/vh_ind_fpm"), -150, 0},
      {"... and its load", [] { landing(-150, 0.02f); }, 1, scalar("sim/flightmodel/forces/g_nrml"),
       1 + std::pow(150 * 0.3048 / 60, 2) / (2 * 9.80665 * 0.5), 1e-5},
      {"... the mains on", [] { landing(-150, 0.02f); }, 1, at(kWheels, 1), 1, 0},
      {"... the nose still up", [] { landing(-150, 0.02f); }, 1, at(kWheels, 0), 0, 0},
      {"... rolling, no sink", [] { landing(-150, 0.02f); }, 2, scalar("sim/flightmodel/position/vh_ind_fpm"), 0, 0},
      {"... 1 g", [] { landing(-150, 0.02f); }, 2, scalar("sim/flightmodel/forces/g_nrml"), 1, 0},
      {"... the nose up 2.7 s later", [] { landing(-150, 0.02f); }, 81, at(kWheels, 0), 0, 0},
      {"... down 3 s later", [] { landing(-150, 0.02f); }, 91, at(kWheels, 0), 1, 0},
      {"touchdown at -900 fpm: a hard load", [] { landing(-900, 0.1f); }, 1, scalar("sim/flightmodel/forces/g_nrml"),
       1 + std::pow(900 * 0.3048 / 60, 2) / (2 * 9.80665 * 0.5), 1e-4},
      {"level flight: 1 g", [] { landing(0, 1000); }, 1, scalar("sim/flightmodel/forces/g_nrml"), 1, 0},
      // The APU, the radios and the clock.
      {"APU generator: one value under both names", set("sim/cockpit2/electrical/APU_generator_on", 1), 0,
       scalar("sim/cockpit/electrical/generator_apu_on"), 1, 0},
      {"... written either way",
       [] {
         simhost::set_int("sim/cockpit2/electrical/APU_generator_on", 1);
         plugin_write_int("sim/cockpit/electrical/generator_apu_on", 0);
       },
       0, scalar("sim/cockpit2/electrical/APU_generator_on"), 0, 0},
      {"APU START: N1 40 % after 16 s", apu("sim/electrical/APU_start", 0), 480, scalar(kApuN1), 40, 1e-3},
      {"... not running below 95 %", apu("sim/electrical/APU_start", 0), 1130, scalar(kApuRunning), 0, 0},
      {"... running from 95 %", apu("sim/electrical/APU_start", 0), 1150, scalar(kApuRunning), 1, 0},
      {"... 100 % after 40 s", apu("sim/electrical/APU_start", 0), 1500, scalar(kApuN1), 100, 0},
      {"APU OFF: half speed 10 s later", [apu] { apu("sim/electrical/APU_start", 1500)(); apu("sim/electrical/APU_off", 0)(); },
       300, scalar(kApuN1), 50, 1e-3},
      {"... not running", [apu] { apu("sim/electrical/APU_start", 1500)(); apu("sim/electrical/APU_off", 0)(); }, 1,
       scalar(kApuRunning), 0, 0},
      {"APU ON alone starts nothing", apu("sim/electrical/APU_on", 0), 300, scalar(kApuN1), 0, 0},
      {"a running flag written elsewhere: the APU at speed", [kApuRunning] { plugin_write_int(kApuRunning, 1); }, 1,
       scalar(kApuN1), 100, 0},
      {"standby COM on a channel", none, 0, scalar("sim/cockpit2/radios/actuators/com2_standby_frequency_Mhz"), 118, 0},
      {"standby NAV on a channel", none, 0, scalar("sim/cockpit2/radios/actuators/nav1_standby_frequency_hz"), 10800,
       0},
      {"the calendar from its start date", none, 0, [] { return static_cast<double>(std::time(nullptr)); },
       1718964000, 0},
      {"... on with the simulated clock", none, 2700, [] { return static_cast<double>(std::time(nullptr)); },
       1718964000 + 90, 0},
      {"... from a date set", [] { simhost::set_calendar(1800000000); }, 45,
       [] { return static_cast<double>(std::time(nullptr)); }, 1800000001, 0},
  };
  play_world_rows(rows);
}

// The host's engines, fuel, status lights, ice, flaps and braked wheels, one
// row per rule as above.
// A target of the host's traffic in slot 3 at 47 N, 3,000 m, flying north
// at 100 m/s and climbing at 5 m/s; the host paused or not.
std::function<void()> traffic_north(bool paused) {
  return [paused] {
    simhost::TrafficTarget t;
    t.lat = 47.0;
    t.lon = -122.0;
    t.elevation_m = 3000.0;
    t.speed_mps = 100.0;
    t.vs_mps = 5.0;
    ASSERT_TRUE(simhost::set_traffic(3, t));
    if (paused) simhost::set_int("sim/time/paused", 1);
  };
}
constexpr const char* kTargetLat = "sim/cockpit2/tcas/targets/position/lat";

TEST(SimhostWorld, TheHostRunsItsEnginesAndSurfaces) {
  const char* kMixture = "sim/cockpit2/engine/actuators/mixture_ratio";
  const char* kIgniter = "sim/cockpit2/engine/actuators/igniter_on";
  const char* kCore = "sim/flightmodel/engine/ENGN_N2_";
  const char* kFan = "sim/flightmodel/engine/ENGN_N1_";
  const char* kRunning = "sim/flightmodel/engine/ENGN_running";
  const char* kLever = "sim/cockpit2/engine/actuators/throttle_ratio";
  const char* kTanks = "sim/flightmodel/weight/m_fuel";
  const char* kFeed = "sim/cockpit2/fuel/fuel_tank_selector_left";
  const char* kPumps = "sim/cockpit2/fuel/fuel_tank_pump_on";
  const char* kTyres = "sim/flightmodel/parts/tire_speed_now";
  // Engine 1 given fuel (from its own tank) and an igniter with its core
  // held at this N2.
  auto lit = [=](const char* core) {
    simhost::set_from_text(kMixture, "1,0");
    simhost::set_from_text(kIgniter, "1,0");
    simhost::set_from_text(kFeed, "1");
    simhost::set_from_text(kCore, core);
  };
  // Engine 1 lit at FL310, Mach 0.78, its fan windmilling at 25.4 %, its core
  // and fan where the plug-in's start model last put them (not pinned).
  auto relit_at_fl310 = [=](float core, float fan) {
    return [=] {
      simhost::set_from_text(kMixture, "1,0");
      simhost::set_from_text(kIgniter, "1,0");
      simhost::set_from_text(kFeed, "1");
      simhost::set_from_text("sim/flightmodel/position/elevation", "9449");
      simhost::set_from_text("sim/flightmodel/position/true_airspeed", "236");
      plugin_write_floats(kCore, {core, 0.0f});
      plugin_write_floats(kFan, {fan, 0.0f});
    };
  };
  auto then = [](std::function<void()> first, int frames, std::function<void()> next) {
    return [first, frames, next] {
      first();
      simhost::frames(frames, 1.0f / 30);
      next();
    };
  };
  auto set = [](const char* name, const char* v) { return [name, v] { simhost::set_from_text(name, v); }; };
  auto both = [](std::function<void()> a, std::function<void()> b) {
    return [a, b] {
      a();
      b();
    };
  };
  auto idle = [=] { lit("60,0"); };
  auto slats_written = [] { plugin_write_float("sim/flightmodel2/controls/slat2_deploy_ratio", 1.0f); };
  auto feeding = [=](const char* selector) { return both(idle, set(kFeed, selector)); };
  auto airborne_at = [set](const char* m) { return set("sim/flightmodel/position/elevation", m); };
  auto icing = [](const char* m) {
    return [m] {
      simhost::set_from_text("sim/flightmodel/position/elevation", m);
      simhost::set_from_text("sim/weather/aircraft/precipitation_on_aircraft_ratio", "1");
    };
  };
  auto braking_off_the_ground = [](const char* left) {
    return [left] {
      simhost::set_float("sim/flightmodel/position/groundspeed", 50.0f);
      simhost::frames(1, 1.0f / 30);
      simhost::set_double("sim/flightmodel/position/elevation", 100.0);
      simhost::set_from_text("sim/cockpit2/controls/left_brake_ratio", left);
    };
  };
  const WorldRow rows[] = {
      // Light-off, run-up and the thrust lever.
      {"fuel, an igniter and the core at 25 %: the engine lights", [=] { lit("25,25"); }, 1, at(kRunning, 0), 1, 0},
      {"... not the one without fuel", [=] { lit("25,25"); }, 1, at(kRunning, 1), 0, 0},
      {"... nor below 11 %", [=] { lit("10,0"); }, 1, at(kRunning, 0), 0, 0},
      {"a core windmilling in the relight envelope (14.6 %) lights", [=] { lit("14.6,0"); }, 1, at(kRunning, 0), 1,
       0},
      {"... its fan from the windmill speed of FL100, 299 kt (Mach 0.545), on toward idle with its core",
       both([=] { lit("14.6,0"); }, both(airborne_at("3048"), set("sim/flightmodel/position/true_airspeed", "179"))),
       300, at(kFan, 0), 18.437, 0.05},
      {"fuel cut: out", then(idle, 1, set(kMixture, "0,0")), 1, at(kRunning, 0), 0, 0},
      {"below the starter's cut-out a lit core drives its fan from light-off (11 %) to idle at the cut-out",
       [=] { lit("45,0"); }, 60, at(kFan, 0), 20.0 * 34.0 / 44.0, 1e-3},
      {"lit past the cut-out: idle, 20 %", idle, 90, at(kFan, 0), 20, 1e-3},
      {"lever full: up 15 % a second", then(idle, 90, set(kLever, "1,0")), 90, at(kFan, 0), 65, 1e-3},
      {"... full power", then(idle, 90, set(kLever, "1,0")), 300, at(kFan, 0), 100, 1e-3},
      {"... back to idle: down 10 % a second", then(then(idle, 90, set(kLever, "1,0")), 300, set(kLever, "0,0")), 60,
       at(kFan, 0), 80, 1e-3},
      {"reverse at full lever: 80 %",
       both(idle, [kLever] {
         simhost::set_from_text(kLever, "1,0");
         simhost::set_from_text("sim/cockpit2/engine/actuators/prop_mode", "3,1");
       }),
       300, at(kFan, 0), 80, 1e-3},
      {"idle at 35,000 ft: 37 %", both(idle, airborne_at("10668")), 300, at(kFan, 0),
       20 + 25 * (1 - 0.3099), 0.05},
      {"throttles overridden: the fan follows the throttle written, not the lever",
       both(idle, both(set("sim/operation/override/override_throttles", "1"),
                       set("sim/flightmodel/engine/ENGN_thro_use", "0.5,0"))),
       300, at(kFan, 0), 60, 1e-3},
      {"... and the engine is given it", both(set("sim/operation/override/override_throttles", "1"),
                                              set("sim/flightmodel/engine/ENGN_thro_use", "0.5,0")),
       1, at("sim/flightmodel2/engines/throttle_used_ratio", 0), 0.5, 0},
      // A relight from the windmill: the core is the start's until past the
      // starter's cut-out, then joins the fan's line at the fan's pace.
      {"lit from 17 % at FL310, Mach 0.78: the core not put on the fan's line", relit_at_fl310(17.0f, 25.4f), 90,
       at(kCore, 0), 17, 0},
      {"... past the cut-out: a quarter percent a frame toward it", relit_at_fl310(56.0f, 25.4f), 1, at(kCore, 0),
       56.25, 1e-3},
      // An engine burns only what reaches it.
      {"its tank run dry: out once its line is burnt (10 s)", then(idle, 1, set(kTanks, "0,0,3000")), 305,
       at(kRunning, 0), 0, 0},
      {"... running until then", then(idle, 1, set(kTanks, "0,0,3000")), 295, at(kRunning, 0), 1, 0},
      {"... no fuel flow once out", then(idle, 1, set(kTanks, "0,0,3000")), 305,
       at("sim/flightmodel/engine/ENGN_FF_", 0), 0, 0},
      {"... nor on none", feeding("0"), 305, at(kRunning, 0), 0, 0},
      {"... nor on the aft tank the aircraft lacks", feeding("5"), 305, at(kRunning, 0), 0, 0},
      {"... nor on all with its own tank empty and no pump on", both(feeding("4"), set(kTanks, "0,0,3000")), 305,
       at(kRunning, 0), 0, 0},
      {"... but on all from a pumped tank across", both(both(feeding("4"), set(kTanks, "0,0,3000")),
                                                        set(kPumps, "0,0,1")),
       305, at(kRunning, 0), 1, 0},
      // Fuel: the flow and the tank it comes from.
      {"idle burns 0.085 kg/s", idle, 1, at("sim/flightmodel/engine/ENGN_FF_", 0), 0.085, 1e-6},
      {"... from the left tank on the left feed", feeding("1"), 3000, at(kTanks, 0), 3000 - 8.5, 1e-2},
      {"... from the centre on the centre feed", both(set(kTanks, "3000,1000,3000"), feeding("2")), 3000,
       at(kTanks, 1), 1000 - 8.5, 1e-2},
      {"... in equal shares from each tank with fuel and its pump on, on all",
       both(feeding("4"), set(kPumps, "1,1,1")), 3000, at(kTanks, 2), 3000 - 4.25, 1e-2},
      {"... none from the centre with its pumps off, on all (cross-feed)",
       both(both(feeding("4"), set(kPumps, "1,0,1")), set(kTanks, "3000,1000,3000")), 3000, at(kTanks, 1), 1000, 0},
      {"... from its own side by suction with no pump on, on all", feeding("4"), 3000, at(kTanks, 0), 3000 - 8.5,
       1e-2},
      {"... none on none", feeding("0"), 3000, at(kTanks, 0), 3000, 0},
      {"the aircraft lighter by the burn", both(set("sim/flightmodel/weight/m_total", "60000"), feeding("1")), 3000,
       scalar("sim/flightmodel/weight/m_total"), 60000 - 8.5, 1e-2},
      // Status lights.
      {"yaw damper on: its light", set("sim/cockpit2/switches/yaw_damper_on", "1"), 1,
       scalar("sim/cockpit2/annunciators/yaw_damper"), 1, 0},
      {"ground power on: its light", set("sim/cockpit/electrical/gpu_on", "1"), 1,
       scalar("sim/cockpit2/annunciators/external_power_on"), 1, 0},
      {"generator on, engine at idle: GEN OFF out", both(idle, set("sim/cockpit2/electrical/generator_on", "1,1")), 1,
       at("sim/cockpit2/annunciators/generator_off", 0), 0, 0},
      {"... the other engine still: lit", both(idle, set("sim/cockpit2/electrical/generator_on", "1,1")), 1,
       at("sim/cockpit2/annunciators/generator_off", 1), 1, 0},
      // Ice in precipitation below freezing, none on a heated surface.
      {"5,000 m in precipitation: 0.0004 a second on the wing", icing("5000"), 3000,
       scalar("sim/flightmodel/failures/frm_ice"), 0.04, 1e-4},
      {"... and in the inlets", icing("5000"), 3000, at("sim/flightmodel/failures/inlet_ice_per_engine", 1), 0.04,
       1e-4},
      {"... none on a heated wing", both(icing("5000"), set("sim/cockpit2/ice/ice_surfce_heat_left_on", "1")), 3000,
       scalar("sim/flightmodel/failures/frm_ice"), 0, 0},
      {"... none in a heated inlet",
       both(icing("5000"), set("sim/cockpit2/ice/ice_inlet_heat_on_per_engine", "1,1")), 3000,
       at("sim/flightmodel/failures/inlet_ice_per_engine", 1), 0, 0},
      {"above freezing none", icing("0"), 3000, scalar("sim/flightmodel/failures/frm_ice"), 0, 0},
      // The flaps at the aircraft's flap speed and detents.
      {"flaps 5 requested: at the aircraft's 11 degrees after the travel",
       set("sim/cockpit2/controls/flap_handle_request_ratio", "0.375"), 300, at("sim/flightmodel2/wing/flap2_deg", 0),
       11, 1e-4},
      {"flaps 30: 33 degrees", set("sim/cockpit2/controls/flap_handle_request_ratio", "0.875"), 600,
       at("sim/flightmodel2/wing/flap2_deg", 3), 33, 1e-4},
      // The leading edges with the flaps.
      {"flaps 5: both leading edges at the intermediate position",
       set("sim/cockpit2/controls/flap_handle_request_ratio", "0.375"), 300,
       scalar("sim/flightmodel2/controls/slat2_deploy_ratio"), 0.5, 0},
      {"flaps 10: full extension", set("sim/cockpit2/controls/flap_handle_request_ratio", "0.5"), 300,
       scalar("sim/flightmodel2/controls/slat1_deploy_ratio"), 1, 0},
      {"... halfway out with the flaps halfway to flaps 1",
       both(set("sim/aircraft2/engine/flap_extension_time_sec", "8"),
            set("sim/cockpit2/controls/flap_handle_request_ratio", "0.125")),
       15, scalar("sim/flightmodel2/controls/slat2_deploy_ratio"), 0.25, 1e-6},
      {"placed at flaps 15: out from the start", set("sim/cockpit2/controls/flap_handle_deploy_ratio", "0.625"), 1,
       scalar("sim/flightmodel2/controls/slat1_deploy_ratio"), 1, 0},
      {"written by the plug-in, flaps up: held while written", then([] {}, 1, slats_written), 1,
       scalar("sim/flightmodel2/controls/slat2_deploy_ratio"), 1, 0},
      {"... then in with the flaps, four times their pace (10 s full travel)", then([] {}, 1, slats_written), 31,
       scalar("sim/flightmodel2/controls/slat2_deploy_ratio"), 1 - 4 * 1.0 / 10, 1e-6},
      {"full travel in 8 s: halfway, flaps 10 (14 degrees), after 4 s",
       both(set("sim/aircraft2/engine/flap_extension_time_sec", "8"),
            set("sim/cockpit2/controls/flap_handle_request_ratio", "1")),
       120, at("sim/flightmodel2/wing/flap2_deg", 0), 14, 1e-3},
      // Main wheels off the ground: a braked one stops at once.
      {"braked: stopped in a tenth of a second", braking_off_the_ground("1"), 3, at(kTyres, 1), 0, 0},
      {"... the unbraked one still turns", braking_off_the_ground("1"), 3, at(kTyres, 2), 50 / 0.565 - 1, 1e-3},
      // The host's traffic flies on by itself: 10 s north at 100 m/s is
      // 1 km, 0.008993 degrees on the flying aircraft's sphere.
      {"a target north at 100 m/s: its TCAS slot 1 km on after 10 s", traffic_north(false), 300,
       at(kTargetLat, 3), 47.008993, 1e-5},
      {"... 50 m up at 5 m/s", traffic_north(false), 300, at("sim/cockpit2/tcas/targets/position/ele", 3), 3050,
       1e-2},
      {"... multiplayer plane 3 with it", traffic_north(false), 300,
       scalar("sim/multiplayer/position/plane3_lat"), 47.008993, 1e-6},
      {"... the local z velocity minus its speed north", traffic_north(false), 1,
       at("sim/cockpit2/tcas/targets/position/vz", 3), -100, 1e-4},
      {"... held while paused", traffic_north(true), 300, at(kTargetLat, 3), 47, 1e-5},
      {"... removed: the slot reads 0", [] {
         traffic_north(false)();
         simhost::remove_traffic(3);
       }, 1, scalar("sim/multiplayer/position/plane3_el"), 0, 0},
  };
  play_world_rows(rows);
}

TEST(SimhostServices, ClockAndRandomCanBePinned) {
  simhost::reset();
  simhost::pin_time(1700000000);
  EXPECT_EQ(std::time(nullptr), 1700000000);
  int n = 0;
  simhost::pin_rand([&n] { return n++; });
  std::srand(42);
  EXPECT_EQ(std::rand(), 0);
  EXPECT_EQ(std::rand(), 1);
  EXPECT_EQ(simhost::srand_seeds().back(), 42u);
  simhost::reset();
  EXPECT_GT(std::time(nullptr), 1700000000) << "a fresh host unpins";
}

}  // namespace
