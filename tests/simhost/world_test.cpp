// Files, drawing, plug-in services and the world of the simulated host.
#include "host.h"
#include "platform/xplm.h"
#include "state.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>

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
