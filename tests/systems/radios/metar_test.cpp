// Weather report requests: the host's report on host 12, the weather
// engine's snapshot file before it, and the retry states.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "aircraft/lifecycle.h"
#include "systems/panel_fixture.h"
#include "systems/radios/metar.h"

namespace {

const char* const kCmd = "zuvadud/D738/metar_cmd";
const char* const kIcao = "zuvadud/D738/metar_icao";
const char* const kData = "zuvadud/D738/metar_data";

class MetarOldHost : public PanelTest {
 protected:
  simhost::Config host_config() override {
    simhost::Config c;
    c.host_version = 110000;
    return c;
  }
  void SetUp() override {
    PanelTest::SetUp();
    find_host_metar_function();
    path_ = simhost::root() + "current_wx_snapshot.txt";
    std::snprintf(weather_snapshot_path, sizeof weather_snapshot_path, "%s", path_.c_str());
    simhost::set_bytes(kData, std::string(512, '\0'));
  }
  void TearDown() override {
    std::remove(path_.c_str());
    weather_snapshot_path[0] = '\0';
  }
  void write_snapshot(const std::string& text) {
    std::ofstream f(path_, std::ios::binary);
    f << text;
  }
  // A request for `code`, run until it settles (at most 4 frames).
  float request(const std::string& code) {
    simhost::set_bytes(kIcao, code);
    simhost::set_float(kCmd, 1.0f);
    update_metar_request();  // reads the code
    update_metar_request();  // fetches
    return simhost::get_float(kCmd);
  }
  std::string path_;
};

TEST_F(MetarOldHost, SnapshotLines) {
  struct Case {
    const char* what;
    const char* file;
    const char* report;  // nullptr: metar_data untouched
  };
  const Case cases[] = {
      {"first match wins", "KJFK xxxxxx 1: nope\nEDDF 12345 27015KT CAVOK: tail\nEDDF 12345 second: x\n",
       "27015KT CAVOK"},
      {"eleven characters are too short", "EDDF 123456\nEDDF 123456AAA:\n", "AAA"},
      {"no colon", "EDDF 1234567 no colon here\n", nullptr},
      {"no match", "LFPG 1234567 VRB02KT:\n", nullptr},
  };
  for (const Case& c : cases) {
    SetUp();
    write_snapshot(c.file);
    EXPECT_EQ(request("EDDF"), 3.0f) << c.what;
    EXPECT_EQ(simhost::get_text(kData), c.report ? c.report : "") << c.what;
  }
}

TEST_F(MetarOldHost, LongReportIsCutToTheBuffer) {
  write_snapshot("EDDF 123456" + std::string(700, 'Q') + ":\n");
  EXPECT_EQ(request("EDDF"), 3.0f);
  EXPECT_EQ(simhost::get_text(kData), std::string(511, 'Q'));
}

TEST_F(MetarOldHost, MissingFileOrShortCodeRetries) {
  EXPECT_EQ(request("EDDF"), 1.0f);  // no snapshot file
  weather_snapshot_path[0] = '\0';    // no weather engine known at all
  EXPECT_EQ(request("EDDF"), 1.0f);
  simhost::set_bytes(kIcao, std::string("ED\0\0", 4));
  simhost::set_float(kCmd, 1.0f);
  update_metar_request();
  EXPECT_EQ(simhost::get_float(kCmd), 2.0f);  // four bytes came back, NULs included
}

class MetarHost12 : public PanelTest {
 protected:
  void SetUp() override {
    PanelTest::SetUp();
    find_host_metar_function();
  }
  void TearDown() override { release_metar_fetch_loop(); }
  // One host frame in the order the host runs them: the fetch loop before the
  // flight model, the request's step in the main loop after it.
  static void frame() {
    simhost::frame(0.05f);
    update_metar_request();
  }
};

TEST_F(MetarHost12, HostReportIsFetchedBeforeTheFlightModel) {
  simhost::set_metar("EDDF", "EDDF 071220Z 27015KT CAVOK 08/01 Q1020");
  simhost::set_bytes(kIcao, "EDDF");
  simhost::set_float(kCmd, 1.0f);
  frame();
  EXPECT_EQ(simhost::get_float(kCmd), 2.0f);
  EXPECT_STREQ(metar_request_code, "EDDF");
  frame();
  EXPECT_EQ(simhost::metar_calls(), 0) << "only a before-flight-model loop asks the host";
  frame();
  EXPECT_EQ(simhost::get_float(kCmd), 3.0f);
  EXPECT_EQ(simhost::get_text(kData), "EDDF 071220Z 27015KT CAVOK 08/01 Q1020");
  EXPECT_EQ(simhost::get_bytes(kData).size(), 512u);
  for (int i = 0; i < 10; ++i) frame();  // done: nothing more, the loop sleeps
  EXPECT_EQ(simhost::metar_calls(), 1);
  ASSERT_EQ(simhost::flight_loops().size(), 1u);
  EXPECT_EQ(simhost::flight_loops()[0].interval, 0.0f);
  EXPECT_TRUE(simhost::problems().empty()) << simhost::problems().front();
}

TEST_F(MetarHost12, EmptyAnswerIsAskedAgainAtMostOnceASecond) {
  simhost::set_bytes(kIcao, "ZZZZ");
  simhost::set_float(kCmd, 1.0f);
  for (int i = 0; i < 100; ++i) frame();  // 5 s without a report
  EXPECT_GE(simhost::metar_calls(), 5);
  EXPECT_LE(simhost::metar_calls(), 6);
  EXPECT_NE(simhost::get_float(kCmd), 3.0f);
  simhost::set_metar("ZZZZ", "ZZZZ 071220Z 00000KT");
  for (int i = 0; i < 22; ++i) frame();
  EXPECT_EQ(simhost::get_float(kCmd), 3.0f);
  EXPECT_EQ(simhost::get_text(kData), "ZZZZ 071220Z 00000KT");
  EXPECT_TRUE(simhost::problems().empty()) << simhost::problems().front();
}

}  // namespace
