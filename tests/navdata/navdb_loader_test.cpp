// Loader tests: the line splitter, the number readers, and each file loader
// over files written to a temporary folder.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "host.h"
#include "navdata/line_split.h"
#include "navdata/nav_tables.h"
#include "navdata/navdb.h"
#include "navdata/navdb_test_util.h"

namespace {

using navtest::host_header;

// A string literal with its embedded NULs, without the final one.
template <size_t N>
std::string bytes(const char (&text)[N]) {
  return std::string(text, N - 1);
}
using navtest::TempDir;

std::vector<std::string> fields_of(const std::string& text, int* count) {
  static SplitLine line;
  split_line(line, text.data(), text.size());
  *count = line.count;
  std::vector<std::string> out;
  for (int k = 1; k <= kSplitMaxFields; ++k) out.emplace_back(split_field(line, k));
  return out;
}

TEST(LineSplit, SeparatorsCountsAndTheRestOfTheLine) {
  struct Case {
    std::string text;
    int count;
    std::vector<std::string> first;  // leading fields expected
  };
  const std::string f254(254, 'x');
  const Case cases[] = {
      {"a b c", 3, {"a", "b", "c"}},
      {"   a    b", 2, {"a", "b"}},             // leading spaces and runs are one separator
      {"a b ", 3, {"a", "b", ""}},              // a trailing space begins one more field
      {"a b\r", 2, {"a", "b"}},                 // CR ends the line
      {"a\rb c", 1, {"a", ""}},                 // ... wherever it stands
      {"a\tb c", 2, {"a\tb", "c"}},             // only the space separates
      {"1 2 3 4 5 6 7 8 9 10 11 twelve and  more ", 12,
       {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "twelve and  more "}},
      {"1 2 3 4 5 6 7 8 9 10 11  lead", 12,
       {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", " lead"}},
      {"a " + f254 + "y c", 2, {"a", f254, ""}},  // a full field ends the line
      {"a " + f254 + " c", 2, {"a", f254, ""}},
      {bytes("ab\0cd ef"), 2, {"ab", "ef"}},  // NUL shortens its field only
      {"", 1, {""}},
  };
  for (const Case& c : cases) {
    int count = 0;
    auto f = fields_of(c.text, &count);
    EXPECT_EQ(count, c.count) << c.text.substr(0, 40);
    for (size_t i = 0; i < c.first.size(); ++i) EXPECT_EQ(f[i], c.first[i]) << c.text.substr(0, 40) << " #" << i;
    for (size_t i = static_cast<size_t>(count); i < f.size(); ++i) EXPECT_EQ(f[i], "");
  }
}

TEST(LineSplit, NumberReaders) {
  struct RealCase {
    const char* text;
    double value;
  };
  const RealCase reals[] = {{"47.4353", 47.4353}, {"-122.5", -122.5}, {"+3", 3.0},  {"1e3", 1000.0},
                            {"12abc", 12.0},      {"abc", 0.0},       {"", 0.0},    {"nan", 0.0},
                            {"inf", 0.0},         {".5", 0.5},        {"-", 0.0},   {"1e999", 0.0},
                            {"  7", 7.0}};
  for (const auto& c : reals) EXPECT_DOUBLE_EQ(read_real(c.text), c.value) << c.text;
  struct IntCase {
    const char* text;
    int32_t value;
  };
  const IntCase ints[] = {{"11680", 11680}, {"-7", -7}, {"12.9", 12}, {"x1", 0},
                          {"99999999999", 2147483647}, {"-99999999999", INT32_MIN}};
  for (const auto& c : ints) EXPECT_EQ(read_int(c.text), c.value) << c.text;
  EXPECT_EQ(real_to_i32(11680.9), 11680);
  EXPECT_EQ(real_to_i32(1e30), 2147483647);
  EXPECT_EQ(real_to_i32(std::nan("")), 0);
}

class Loaders : public ::testing::Test {
 protected:
  void SetUp() override {
    simhost::reset();
    nav_db_clear();
  }
  TempDir tmp;
};

const std::string kVorSea = "3  47.43538889 -122.30961111 354 11680 130 19.0 SEA ENRT K1 SEATTLE VORTAC\n";

TEST_F(Loaders, VorDmeMergeRules) {
  struct Case {
    const char* what;
    std::string body;
    int32_t count;
    int32_t first_kind;
  };
  const Case cases[] = {
      {"same ident and frequency", kVorSea + "12 47.43 -122.31 354 11680 130 0.0 SEA ENRT K1 SEATTLE VORTAC DME\n", 1,
       kNavVorDme},
      {"other frequency", kVorSea + "12 47.43 -122.31 354 11690 130 0.0 SEA ENRT K1 SEATTLE VORTAC DME\n", 1, kNavVor},
      {"other ident", kVorSea + "12 47.43 -122.31 354 11680 130 0.0 SEB ENRT K1 SEATTLE VORTAC DME\n", 1, kNavVor},
      {"after an NDB", "2 47.0 -122.0 0 362 50 0.0 SE ENRT K1 SOME NDB\n12 47.0 -122.0 0 362 50 0.0 SE ENRT K1 X DME\n",
       1, kNavNdb},
      {"after an ILS row", kVorSea + "4 47.4 -122.3 338 11680 18 179.9 SEA KSEA K1 16L ILS-cat-III\n"
                                     "12 47.43 -122.31 354 11680 130 0.0 SEA ENRT K1 SEATTLE VORTAC DME\n",
       1, kNavVor},
      {"skipped line between", kVorSea + "too short\n12 47.43 -122.31 354 11680 130 0.0 SEA ENRT K1 SEATTLE VORTAC DME\n",
       1, kNavVorDme},
      {"own DME row code", "13 47.0 -122.0 0 11680 50 0.0 SEA ENRT K1 SEATTLE DME\n", 1, kNavDme},
  };
  for (const Case& c : cases) {
    load_nav_dat(tmp.write("earth_nav.dat", host_header() + c.body + "99\n").c_str());
    EXPECT_EQ(nav_db.waypoint_count, c.count) << c.what;
    EXPECT_EQ(nav_db.waypoints[0].kind, c.first_kind) << c.what;
  }
}

TEST_F(Loaders, NavaidRecordFields) {
  const std::string long_name(70, 'N');
  std::string body = kVorSea +
                     "2 10.5 20.25 0 362 50 0.0 ABCDEFG AREAXX REG " + long_name + " NDB\n" +
                     "3 1 2 3 4 5 6 SHORT ENRT K1 ELEVEN\n";  // 11 fields: skipped
  load_nav_dat(tmp.write("earth_nav.dat", host_header() + body).c_str());
  ASSERT_EQ(nav_db.waypoint_count, 2);
  const NavWaypoint& v = nav_db.waypoints[0];
  EXPECT_EQ(v.kind, kNavVor);
  EXPECT_STREQ(v.ident, "SEA");
  EXPECT_STREQ(v.area, "ENRT");
  EXPECT_STREQ(v.region, "K1");
  EXPECT_STREQ(v.name, "SEATTLE VORTAC");
  EXPECT_FLOAT_EQ(v.lat, 47.43538889f);
  EXPECT_FLOAT_EQ(v.lon, -122.30961111f);
  EXPECT_EQ(v.frequency, 11680);
  EXPECT_FLOAT_EQ(v.extra, 19.0f);
  const NavWaypoint& n = nav_db.waypoints[1];
  EXPECT_STREQ(n.ident, "ABCDE");       // 5 characters
  EXPECT_STREQ(n.area, "AREA");         // 4
  EXPECT_STREQ(n.region, "RE");         // 2
  EXPECT_EQ(std::string(n.name), std::string(63, 'N'));
}

TEST_F(Loaders, ApproachAids) {
  std::string body =
      "4 47.4 -122.3 338 11030 18 361.0 IGSA KSEA K1 16L IGS\n"
      "4 47.4 -122.3 338 11030 18 270.0 ILSB KSEA K1 34R ILS-cat-I\n"
      "4 47.4 -122.3 338 11030 18 90.0 LOCC KSEA K1 16C LOC\n"
      "4 47.4 -122.3 338 11030 18 90.0 LDAD KSEA K1 16C LDA\n"
      "4 47.4 -122.3 338 11030 18 90.0 GLSE KSEA K1 16C GLS\n"   // dropped
      "4 47.4 -122.3 338 11030 18 90.0 XXXX KSEA K1 16C LO\n"    // under 3 characters: dropped
      "5 47.4 -122.3 338 11030 18 721.5 LOCF KSEA K1 34L LOC\n"
      "16 40.7 -74.2 18 20525 0 300357.000 G31R KEWR K6 31R GLS\n";
  load_nav_dat(tmp.write("earth_nav.dat", host_header() + body).c_str());
  EXPECT_EQ(nav_db.waypoint_count, 0);
  ASSERT_EQ(nav_db.ils_count, 5);
  struct Expect {
    int32_t kind;
    const char* ident;
    float course, course2;
  };
  const Expect want[] = {{0, "IGSA", 1.0f, 1.0f}, {0, "ILSB", 270.0f, -1.0f}, {2, "LOCC", 90.0f, -1.0f},
                         {3, "LDAD", 90.0f, -1.0f}, {1, "LOCF", 1.5f, 2.0f}};
  for (int i = 0; i < 5; ++i) {
    const NavApproachAid& a = nav_db.ils[i];
    EXPECT_EQ(a.kind, want[i].kind) << i;
    EXPECT_STREQ(a.ident, want[i].ident);
    EXPECT_FLOAT_EQ(a.course, want[i].course) << i;
    EXPECT_FLOAT_EQ(a.course2, want[i].course2) << i;
    EXPECT_EQ(a.glide_path, 0.0f);
  }
  EXPECT_STREQ(nav_db.ils[0].runway, "16L");
  EXPECT_STREQ(nav_db.ils[0].airport, "KSEA");
  ASSERT_EQ(nav_db.gls_count, 1);
  const NavApproachAid& g = nav_db.gls[0];
  EXPECT_EQ(g.kind, 1);
  EXPECT_FLOAT_EQ(g.course, 300357.0f);
  EXPECT_FLOAT_EQ(g.glide_path, 3.0f);
  EXPECT_FLOAT_EQ(g.elevation, 18.0f);
  EXPECT_FLOAT_EQ(g.course2, -1.0f);
}

TEST_F(Loaders, IndexByFirstCharacter) {
  std::string body =
      "3 1 2 0 11000 130 0.0 SEA ENRT K1 A VOR\n"
      "3 1 2 0 11000 130 0.0 sea ENRT K1 A VOR\n"   // lower case: counted, not indexed
      "3 1 2 0 11000 130 0.0 -X ENRT K1 A VOR\n"    // punctuation: counted, not indexed
      "3 1 2 0 11000 130 0.0 SAX ENRT K1 A VOR\n"
      "3 1 2 0 11000 130 0.0 9AB ENRT K1 A VOR\n";
  load_nav_dat(tmp.write("earth_nav.dat", host_header() + body).c_str());
  load_fix_dat(tmp.write("earth_fix.dat", host_header() + "1.0 2.0 SOMFX ENRT K1 2\n10 20 ZZZZZ KSEA K1 9\n").c_str());
  EXPECT_EQ(nav_db.waypoint_count, 7);
  EXPECT_EQ(nav_waypoint_count(), 7);
  // Navaids keep the low record numbers, fixes follow.
  EXPECT_EQ(nav_db.waypoints[5].kind, kNavFix);
  EXPECT_STREQ(nav_db.waypoints[5].ident, "SOMFX");
  EXPECT_STREQ(nav_db.waypoints[5].name, "2");
  EXPECT_EQ(nav_db.waypoints[5].frequency, 0);
  const int32_t* rec = nullptr;
  ASSERT_EQ(nav_bucket(nav_db.waypoint_index, 'S', &rec), 3);
  EXPECT_EQ(rec[0], 0);
  EXPECT_EQ(rec[1], 3);
  EXPECT_EQ(rec[2], 5);
  EXPECT_EQ(nav_bucket(nav_db.waypoint_index, '9', &rec), 1);
  EXPECT_EQ(nav_bucket(nav_db.waypoint_index, 's', &rec), 0);
  EXPECT_EQ(rec, nullptr);
  int32_t total = 0;
  for (const auto& bucket : nav_db.waypoint_index.buckets) total += bucket[0];
  EXPECT_EQ(total, 5);  // two records in no bucket
  EXPECT_EQ(char_digit_value('0'), 0);
  EXPECT_EQ(char_digit_value('Z'), 35);
  EXPECT_EQ(char_digit_value('a'), -1);
}

TEST_F(Loaders, ReloadResetsCountsAndIndex) {
  const std::string path = tmp.write("earth_nav.dat", host_header() + kVorSea);
  load_nav_dat(path.c_str());
  load_nav_dat(path.c_str());
  EXPECT_EQ(nav_db.waypoint_count, 1);
  const int32_t* rec = nullptr;
  EXPECT_EQ(nav_bucket(nav_db.waypoint_index, 'S', &rec), 1);
}

TEST_F(Loaders, AircraftLists) {
  load_apt_list(tmp.write("Velar_apt.dat", "h1\nh2\nKSEA 1 2 3 4 5\n"
                                           "KSEA 47.449 -122.309 433 1 11901\n"
                                           "LFPG 49.0 2.5 392 0\n"  // 5 fields: skipped
                                           "EGLL 51.47 -0.45 83 0 12799\n")
                    .c_str());
  ASSERT_EQ(nav_db.airport_count, 2);
  EXPECT_STREQ(nav_db.airports[0].icao, "KSEA");
  EXPECT_FLOAT_EQ(nav_db.airports[0].lat, 47.449f);
  EXPECT_FLOAT_EQ(nav_db.airports[0].value4, 433.0f);
  EXPECT_FLOAT_EQ(nav_db.airports[0].runway_length, 11901.0f);
  EXPECT_STREQ(nav_db.airports[1].icao, "EGLL");

  load_rnw_list(tmp.write("Velar_rnw.dat", "header\nKSEA 16L 47.46 -122.31 47.43 -122.31 11901 150\n"
                                           "KSEA 34RX 1 2 3 4 5\n"  // 7 fields: skipped
                                           "KSEAX 34RX 1 2 3 4 5 6\n")
                    .c_str());
  ASSERT_EQ(nav_db.runway_count, 2);
  EXPECT_STREQ(nav_db.runways[0].runway, "16L");
  EXPECT_FLOAT_EQ(nav_db.runways[0].lon2, -122.31f);
  EXPECT_FLOAT_EQ(nav_db.runways[0].value8, 150.0f);
  EXPECT_STREQ(nav_db.runways[1].icao, "KSEA");
  EXPECT_STREQ(nav_db.runways[1].runway, "34R");

  const std::string long_name(40, 'g');
  load_gate_list(tmp.write("Velar_gate.dat", "header\n"
                                             "KSEA 47.44 -122.30 gate x A1\n"
                                             "KSEA 47.44 -122.30 Gate x A2\n"
                                             "KSEA 47.44 -122.30 gates x A3\n"
                                             "KSEA 47.44 -122.30 tie_down x " + long_name + "\n")
                     .c_str());
  ASSERT_EQ(nav_db.gate_count, 4);
  const int32_t want_gate[] = {1, 0, 0, 0};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(nav_db.gates[i].is_gate, want_gate[i]) << i;
  EXPECT_STREQ(nav_db.gates[0].name, "A1");
  EXPECT_EQ(std::string(nav_db.gates[3].name), std::string(29, 'g'));
}

TEST_F(Loaders, LogLines) {
  const std::string missing = tmp.path("nowhere/earth_nav.dat");
  load_nav_dat(missing.c_str());
  EXPECT_TRUE(simhost::log_contains("Corvane plugin: WARNING - I didn't find file >" + missing + "< !!!"));
  const std::string present = tmp.write("Velar_gate.dat", "h\nKSEA 47.44 -122.30 gate x A1\n");
  EXPECT_EQ(load_gate_list(present.c_str()), 1);
  EXPECT_TRUE(simhost::log_contains("Corvane plugin: Loaded file >" + present + "<"));

  // A file that opens and yields nothing is named with what it lacks, never
  // as loaded: approach aids alone are no navaids, short lines no entries.
  const struct {
    const char* file;
    int32_t (*load)(const char*);
    std::string body;
    const char* lacking;
  } empty[] = {
      {"earth_nav.dat", load_nav_dat, host_header() + "4 47.4 -122.3 338 11030 18 90.0 LOCC KSEA K1 16C LOC\n99\n",
       "navaids"},
      {"earth_fix.dat", load_fix_dat, "", "fixes"},
      {"Velar_apt.dat", load_apt_list, "h\nh\nh\nKSEA 47.4 -122.3 433 1\n", "airports"},
      {"Velar_rnw.dat", load_rnw_list, "h\n", "runways"},
      {"Velar_gate.dat", load_gate_list, "h\n", "gates"},
  };
  for (const auto& c : empty) {
    const std::string path = tmp.write(std::string("empty/") + c.file, c.body);
    EXPECT_EQ(c.load(path.c_str()), 0) << c.file;
    EXPECT_TRUE(simhost::log_contains("Corvane plugin: WARNING - file >" + path + "< holds no " + c.lacking + " !!!"))
        << c.file;
    EXPECT_FALSE(simhost::log_contains("Corvane plugin: Loaded file >" + path + "<")) << c.file;
  }
}

// Damaged files load what they can and never read outside a buffer (the
// sanitizer build runs these too).
TEST_F(Loaders, DamagedFiles) {
  const std::string overlong(100000, 'Q');
  const std::string spaces(5000, ' ');
  struct Case {
    const char* what;
    std::string content;
    int32_t airports;
  };
  const Case cases[] = {
      // Only LF counts lines: the lone CR keeps "h\rh" one header line.
      {"CR line ends", "h\rh\r\nh\r\nKSEA 1 2 3 4 5\r\nEGLL 1 2 3 4 5\r\nLFPG 1 2 3 4 5", 2},
      {"no final newline", "h\nh\nh\nKSEA 1 2 3 4 5\nEGLL 1 2 3 4 5", 2},
      {"NUL bytes", bytes("h\nh\nh\nKS\0A 1 2 3 4 5\n\0\0\0\nEGLL 1 2 3 4 5\n"), 2},
      // The overlong sixth field still makes six fields: kept, its number cut.
      {"overlong line", "h\nh\nh\n" + overlong + "\nKSEA 1 2 3 4 " + overlong + "\nEGLL 1 2 3 4 5\n", 2},
      {"spaces without end", "h\nh\nh\nKSEA" + spaces + "1 2 3 4 5" + spaces + "\nEGLL 1 2 3 4 5\n", 2},
      {"non-numeric fields", "h\nh\nh\nKSEA north west x y z\n", 1},
      {"empty file", "", 0},
      {"headers only", "h\nh\nh", 0},
      {"blank lines", "\n\n\n\n\n\n", 0},
  };
  for (const Case& c : cases) {
    load_apt_list(tmp.write("Velar_apt.dat", c.content).c_str());
    EXPECT_EQ(nav_db.airport_count, c.airports) << c.what;
  }
  EXPECT_STREQ(nav_db.airports[0].icao, "KSEA");
  EXPECT_EQ(nav_db.airports[0].lat, 0.0f);  // "north" reads as 0
  load_apt_list(tmp.write("Velar_apt.dat", bytes("h\nh\nh\nKS\0A 1 2 3 4 5\n")).c_str());
  EXPECT_STREQ(nav_db.airports[0].icao, "KS");
  EXPECT_EQ(nav_db.airport_index.buckets[char_digit_value('K')][0], 1);
}

// A full table counts slots - 1 records and keeps rewriting its last slot;
// a full bucket drops further entries.
TEST_F(Loaders, FullTableAndBucket) {
  std::string body = "h\nh\nh\n";
  for (int i = 0; i < kAirportSlots + 5; ++i) body += "K" + std::to_string(i) + " 1 2 3 4 " + std::to_string(i) + "\n";
  load_apt_list(tmp.write("Velar_apt.dat", body).c_str());
  EXPECT_EQ(nav_db.airport_count, kAirportSlots - 1);
  EXPECT_EQ(nav_db.airports[kAirportSlots - 1].runway_length, static_cast<float>(kAirportSlots + 4));
  EXPECT_EQ(nav_db.airports[kAirportSlots - 2].runway_length, static_cast<float>(kAirportSlots - 2));
  const int32_t* rec = nullptr;
  EXPECT_EQ(nav_bucket(nav_db.airport_index, 'K', &rec), kAirportBucket - 2);
  EXPECT_EQ(rec[kAirportBucket - 3], kAirportBucket - 3);
  EXPECT_EQ(nav_db.airport_index.buckets[char_digit_value('K')][kAirportBucket - 1], 0);
}

}  // namespace
