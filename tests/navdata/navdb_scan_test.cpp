// Scan, map-symbol and airport look-up tests: the incremental scans with their
// double buffers and nearest-airport lists, the symbol slots of both displays,
// and the ICAO look-ups, driven through the functions the frame step calls.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "core/binding.h"
#include "core/bound_mirrors.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "lnav/route/route_intake.h"
#include "display/nd_slots.h"
#include "host.h"
#include "lnav/route/route_state.h"
#include "navdata/airport_lookup.h"
#include "navdata/geodesy.h"
#include "navdata/line_split.h"
#include "navdata/nav_tables.h"
#include "display/map_symbols.h"
#include "navdata/navdb.h"

namespace {

const bound::Id kBound[] = {
    bound::zuvadud_D738_near_apt_icao,   bound::zuvadud_D738_nearest_apt_icao,
    bound::zuvadud_D738_nearest_apt_dist, bound::zuvadud_D738_nearest_apt_lat,
    bound::zuvadud_D738_nearest_apt_lon,  bound::zuvadud_D738_find_icao,
    bound::zuvadud_D738_find_icao_lat,    bound::zuvadud_D738_find_icao_lon,
    bound::zuvadud_D738_find_icao_height, bound::zuvadud_D738_pfd_vor1_show,
    bound::zuvadud_D738_pfd_vor2_show,    bound::zuvadud_D738_pfd_vor1_sel_id,
    bound::zuvadud_D738_pfd_vor2_sel_id,  bound::zuvadud_D738_fms_fpln_nav_id,
};

void add_waypoint(int32_t kind, const char* ident, float lat, float lon) {
  NavWaypoint* w = nav_waypoint_slot();
  *w = NavWaypoint{};
  w->kind = kind;
  copy_cut(w->ident, ident);
  w->lat = lat;
  w->lon = lon;
  nav_commit_waypoint();
}

void add_airport(const char* icao, float lat, float lon, float runway_length = 8000.0f) {
  NavAirport* a = nav_airport_slot();
  *a = NavAirport{};
  copy_cut(a->icao, icao);
  a->lat = lat;
  a->lon = lon;
  a->runway_length = runway_length;
  nav_commit_airport();
}

// Latitude `nm` nautical miles due north of `lat` on the 3440.064795 nm sphere.
float north_of(float lat, float nm) { return lat + static_cast<float>(nm * 180.0 / (M_PI * 3440.064795)); }

class NavScan : public ::testing::Test {
 protected:
  void SetUp() override {
    simhost::Config config;
    // The nearest-airport values are five-element float arrays.
    for (const char* name : {"zuvadud/D738/nearest_apt_dist", "zuvadud/D738/nearest_apt_lat",
                             "zuvadud/D738/nearest_apt_lon"})
      config.extra.push_back({name, 8, 5, true, ""});
    simhost::reset(config);
    for (bound::Id id : kBound) bound_handles[id] = XPLMFindDataRef(bound_name(id));
    host_mirror = HostMirror{};
    script_mirror = ScriptMirror{};
    nav_db_clear();
    reset_nav_search_state();
    clear_nearest_airport_lists();
    frame_done = 0;  // as after a load: the first frame has not completed
    nd_runway_length = 0.0f;
    at(0.0, 0.0);
  }
  void TearDown() override {
    for (bound::Id id : kBound) bound_handles[id] = nullptr;
  }
  void at(double lat, double lon) {
    host_mirror.sim_flightmodel_position_latitude = lat;
    host_mirror.sim_flightmodel_position_longitude = lon;
  }
  void xfirst(float v) { script_mirror.zuvadud_D738_fms_xfirst_time2 = v; }
  // Scan frames as the main loop runs them; a frame ends with frame_done set.
  void complete_pass(int frames = 3) {
    for (int i = 0; i < frames; ++i) {
      scan_navaids();
      update_nearest_airport();
      frame_done = 1;
    }
  }
  int complete_navaids() const { return nav_search.navaid_count[nav_search.navaid_scan.flag ? 0 : 1]; }
  const MapNavaidCandidate& navaid(int i) const { return nav_search.navaids[nav_search.navaid_scan.flag ? 0 : 1][i]; }
};

TEST_F(NavScan, CandidateLimits) {
  // Each kind out to the widest circle the map shows it in: fixes 41 nm, stations 161 nm.
  add_waypoint(kNavFix, "FIXA", north_of(0, 42), 0);   // fix at 42 nm: no
  add_waypoint(kNavVor, "VORA", north_of(0, 30), 0);   // VOR at 30 nm: yes
  add_waypoint(kNavFix, "FIXB", north_of(0, 40), 0);   // fix at 40 nm: yes
  add_waypoint(kNavNdb, "NDBF", north_of(0, 162), 0);  // beyond 161 nm: no
  add_waypoint(kNavVor, "BOXX", 8.5f, 0.0f);           // outside the box
  add_airport("FAR1", 7.9f, 7.9f);                      // in the box, about 670 nm: no
  add_airport("NEAR", 5.0f, 5.0f);                      // about 424 nm: yes
  add_airport("SHRT", 1.0f, 1.0f, 4999.0f);             // runway below the minimum
  add_airport("EQUL", 1.0f, 1.0f, 5000.0f);             // runway equal to the minimum
  nd_runway_length = 5000.0f;
  xfirst(0.0f);
  complete_pass(1);
  // The first pass fills buffer 1 and waits for xfirst_time2 = 1 to flip.
  EXPECT_EQ(nav_search.navaid_count[1], 2);
  EXPECT_STREQ(nav_search.navaids[1][0].ident, "VORA");
  EXPECT_STREQ(nav_search.navaids[1][1].ident, "FIXB");
  ASSERT_EQ(nav_search.airport_count[1], 2);
  EXPECT_STREQ(nav_search.airports[1][0].icao, "NEAR");
  EXPECT_STREQ(nav_search.airports[1][1].icao, "EQUL");
  EXPECT_FLOAT_EQ(nav_search.airports[1][1].runway_length, 5000.0f);

  // At 75N beside the date line the box is no narrower than the range: a
  // station 150 nm east (about 10 degrees of longitude) and one across the
  // date line, a fix 35 nm west across it; an airport 9 degrees south (540 nm).
  nav_db_clear();
  reset_nav_search_state();
  frame_done = 0;
  at(75.0, 179.5);
  gc_destination(75.0, 179.5, 90.0, 150.0);
  add_waypoint(kNavVor, "EAST", static_cast<float>(nav_result.lat), static_cast<float>(nav_result.lon));
  add_waypoint(kNavVor, "DATE", 75.2f, -179.0f);
  gc_destination(75.0, -179.9, 270.0, 35.0);
  add_waypoint(kNavFix, "WEST", static_cast<float>(nav_result.lat), static_cast<float>(nav_result.lon));
  add_waypoint(kNavVor, "FAR", 75.0f, 169.0f);  // 163 nm west: no
  add_airport("SOUT", 66.0f, 179.5f);
  add_airport("EQTR", 0.0f, 179.5f);
  complete_pass(1);
  ASSERT_EQ(nav_search.navaid_count[1], 3);
  EXPECT_STREQ(nav_search.navaids[1][0].ident, "EAST");
  EXPECT_STREQ(nav_search.navaids[1][1].ident, "DATE");
  EXPECT_STREQ(nav_search.navaids[1][2].ident, "WEST");
  ASSERT_EQ(nav_search.airport_count[1], 1);
  EXPECT_STREQ(nav_search.airports[1][0].icao, "SOUT");
}

TEST_F(NavScan, WindowsAndDoubleBuffer) {
  for (int i = 0; i < 1100; ++i) add_waypoint(kNavVor, "V", 0.1f, 0.0f);
  xfirst(0.0f);
  scan_navaids();  // first pass: 1000 records a frame
  EXPECT_EQ(nav_search.navaid_scan.first, 0);
  EXPECT_EQ(nav_search.navaid_scan.last, 999);
  frame_done = 1;
  scan_navaids();
  EXPECT_EQ(nav_search.navaid_scan.last, 1099);
  EXPECT_EQ(nav_search.navaid_count[1], 999);  // 999 counted, the last entry rewritten
  scan_navaids();  // complete, xfirst 0: waits, the map keeps buffer 0
  EXPECT_EQ(nav_search.navaid_scan.flag, 1);
  xfirst(1.0f);
  scan_navaids();  // restart: flip, 25 a frame
  EXPECT_EQ(nav_search.navaid_scan.flag, 0);
  EXPECT_EQ(complete_navaids(), 999);
  EXPECT_EQ(nav_search.navaid_scan.first, 0);
  EXPECT_EQ(nav_search.navaid_scan.last, 24);
  EXPECT_EQ(nav_search.navaid_count[0], 25);
  frame_done = 0;  // a frame that did not complete scans the same window again
  scan_navaids();
  EXPECT_EQ(nav_search.navaid_scan.first, 0);
  frame_done = 1;
  scan_navaids();
  EXPECT_EQ(nav_search.navaid_scan.first, 25);
  EXPECT_EQ(nav_search.navaid_scan.last, 49);
}

TEST_F(NavScan, NearestAirportListAndPublication) {
  // Distances: B and C equal, D nearest; six airports for five places.
  add_airport("AAAA", north_of(0, 50), 0);
  add_airport("BBBB", north_of(0, 20), 0);
  add_airport("CCCC", north_of(0, 20), 0);
  add_airport("DDDD", north_of(0, 10), 0);
  add_airport("EEEE", north_of(0, 60), 0);
  add_airport("FFFF", north_of(0, 40), 0);  // nearer than the fifth: pushes EEEE out
  xfirst(0.0f);
  update_nearest_airport();
  frame_done = 1;
  const NearestAirportSet& s = nav_search.nearest[1];
  EXPECT_STREQ(s.nearest_code, "DDDD");
  const char* order[] = {"DDDD", "BBBB", "CCCC", "FFFF", "AAAA"};
  for (int i = 0; i < 5; ++i) EXPECT_STREQ(s.list[i].icao, order[i]) << i;
  EXPECT_NEAR(s.list[0].dist_nm, 10.0f, 0.05f);

  // First flip after the load: the nearest code of that pass, with the list of
  // the set not yet filled (empty entries).
  xfirst(1.0f);
  update_nearest_airport();
  EXPECT_EQ(simhost::get_text("zuvadud/D738/near_apt_icao"), "DDDD");
  EXPECT_STREQ(nearest_airport_code, "DDDD");
  EXPECT_EQ(simhost::get_text("zuvadud/D738/nearest_apt_icao"), std::string(20, ' '));
  EXPECT_FLOAT_EQ(simhost::get_floats("zuvadud/D738/nearest_apt_dist")[0], 999999.0f);

  // The next flip publishes the list gathered by the pass before.
  for (int i = 0; i < 3; ++i) update_nearest_airport();
  EXPECT_EQ(simhost::get_text("zuvadud/D738/nearest_apt_icao"), "DDDDBBBBCCCCFFFFAAAA");
  auto dist = simhost::get_floats("zuvadud/D738/nearest_apt_dist");
  ASSERT_EQ(dist.size(), 5u);
  EXPECT_NEAR(dist[0], 10.0f, 0.05f);
  EXPECT_NEAR(dist[4], 50.0f, 0.1f);
  EXPECT_NEAR(simhost::get_floats("zuvadud/D738/nearest_apt_lat")[1], north_of(0, 20), 1e-5);

  // The per-load reset empties the published code.
  reset_nav_search_state();
  EXPECT_EQ(simhost::get_text("zuvadud/D738/near_apt_icao"), "");
  EXPECT_STREQ(nearest_airport_code, "");
}

class MapSymbols : public NavScan {
 protected:
  void SetUp() override {
    NavScan::SetUp();
    for (int side = 0; side < 2; ++side) display_routes[side] = DisplayRoute{};
    first_id("");
    fms_copies.legs_step_ctr = fms_copies.legs_step_ctr_fo = 0.0f;
    auto& m = script_mirror;
    m.zuvadud_D738_EFIS_control_capt_map_mode_pos = m.zuvadud_D738_EFIS_control_fo_map_mode_pos = 2.0f;
    m.zuvadud_D738_EFIS_capt_map_range = m.zuvadud_D738_EFIS_fo_map_range = 1.0f;  // 16 nm selection
    m.zuvadud_D738_EFIS_EFIS_vor_on = m.zuvadud_D738_EFIS_fo_EFIS_vor_on = 1.0f;
    m.zuvadud_D738_EFIS_EFIS_fix_on = m.zuvadud_D738_EFIS_fo_EFIS_fix_on = 1.0f;
    m.zuvadud_D738_EFIS_EFIS_airport_on = m.zuvadud_D738_EFIS_fo_EFIS_airport_on = 1.0f;
    m.zuvadud_D738_EFIS_control_capt_exp_map = m.zuvadud_D738_EFIS_control_fo_exp_map = 1.0f;  // offset 0
    map_search_ref = MapSearchReference{};
  }
  // Scan, flip and project both halves, as the scripts' handshake drives it.
  void place() {
    xfirst(0.0f);
    complete_pass(2);
    xfirst(1.0f);
    scan_navaids();
    update_nearest_airport();
    map_navaid_ref();
    map_airport_ref();
    xfirst(2.0f);
    map_navaid_ref();
    map_airport_ref();
    xfirst(0.0f);
    map_navaid_symbols();
    map_airport_symbols();
  }
  // First identifier of the captain's (second) route table.
  void first_id(const char* id) { copy_cut(route_tables.waypoint_names_2[0].text, id); }
  void mode(float capt, float fo) {
    script_mirror.zuvadud_D738_EFIS_control_capt_map_mode_pos = capt;
    script_mirror.zuvadud_D738_EFIS_control_fo_map_mode_pos = fo;
  }
  void range(float index) {
    script_mirror.zuvadud_D738_EFIS_capt_map_range = index;
    script_mirror.zuvadud_D738_EFIS_fo_map_range = index;
  }
};

TEST_F(MapSymbols, NavaidSlotsAndRanges) {
  add_waypoint(kNavVor, "SEA", north_of(0, 10), 0);
  add_waypoint(kNavFix, "FIXA", north_of(0, 10), 0);
  add_waypoint(kNavNdb, "NDB", north_of(0, 5), 0);
  place();
  // Range index 1: scale 1, 10 nm straight ahead, filled from slot 49 down.
  EXPECT_STREQ(nd::object_id[49], "SEA");
  EXPECT_FLOAT_EQ(nd::object_type[49], 1.0f);
  EXPECT_NEAR(nd::object_x[49], 0.0f, 1e-3);
  EXPECT_NEAR(nd::object_y[49], 10.0f, 0.02f);
  EXPECT_STREQ(nd::object_id[48], "FIXA");
  EXPECT_FLOAT_EQ(nd::object_type[48], 4.0f);
  EXPECT_STREQ(nd::object_fo_id[49], "SEA");
  EXPECT_EQ(nd::object_type[47], 0.0f);  // the NDB is never shown
  EXPECT_STREQ(nd::object_id[47], "");

  struct Case {
    float range;
    bool vor, fix;
  };
  // Fixes up to index 3; nothing at 6 and 7 (scale 0), as the selection radius allows.
  const Case cases[] = {{3, true, true}, {4, true, false}, {5, true, false}, {6, false, false}, {7, false, false}};
  for (const Case& c : cases) {
    range(c.range);
    place();
    EXPECT_EQ(std::strcmp(nd::object_id[49], c.vor ? "SEA" : ""), 0) << c.range;
    EXPECT_EQ(std::strcmp(nd::object_id[48], c.fix ? "FIXA" : ""), 0) << c.range;
  }
}

// More points in view than slots: the slots go to the nearest, whatever
// their place in the lists.
TEST_F(MapSymbols, SlotsGoToTheNearestFirst) {
  char id[8];
  for (int i = 0; i < 55; ++i) {
    std::snprintf(id, sizeof id, "F%02d", i);
    add_waypoint(kNavFix, id, north_of(0, 9), 0.002f * static_cast<float>(i));
  }
  add_waypoint(kNavFix, "NEAR", north_of(0, 2), 0);
  for (int i = 0; i < 35; ++i) {
    std::snprintf(id, sizeof id, "A%03d", i);
    add_airport(id, north_of(0, 5), 0.002f * static_cast<float>(i));
  }
  add_airport("NAPT", north_of(0, 1), 0);
  place();
  EXPECT_STREQ(nd::object_id[49], "NEAR");
  EXPECT_STREQ(nd::object_fo_id[49], "NEAR");
  EXPECT_STREQ(nd::object_id[48], "F00");
  EXPECT_STREQ(nd::apt_id[29], "NAPT");
  EXPECT_STREQ(nd::apt_fo_id[29], "NAPT");
}

TEST_F(MapSymbols, TunedAndPlannedNavaidsHaveNoSlot) {
  add_waypoint(kNavVor, "SEA", north_of(0, 10), 0);
  simhost::set_bytes("zuvadud/D738/pfd/vor1_sel_id", std::string("SEA\0\0\0", 6));
  simhost::set_float("zuvadud/D738/pfd/vor1_show", 1.0f);
  place();
  EXPECT_STREQ(nd::object_id[49], "");
  simhost::set_float("zuvadud/D738/pfd/vor1_show", 0.0f);
  place();
  EXPECT_STREQ(nd::object_id[49], "SEA");
  simhost::set_bytes("zuvadud/D738/fms/fpln_nav_id", std::string("SEA\0\0\0\0\0", 8));
  place();
  EXPECT_STREQ(nd::object_id[49], "");
}

TEST_F(MapSymbols, AirportSlotsBoundsAndOrigin) {
  range(0.0f);  // scale 2: y from -5 to 11 is -2.5 to 5.5 nm
  add_airport("OUTS", north_of(0, 5.52f), 0);         // y = 11.04: not published
  add_airport("INSD", north_of(0, 5.49f), 0);         // y = 10.98: published
  add_airport("BHND", north_of(0, -2.75f), 0);        // y = -5.5: not published
  place();
  EXPECT_STREQ(nd::apt_id[29], "INSD");
  EXPECT_NEAR(nd::apt_y[29], 10.98f, 0.005f);
  EXPECT_FLOAT_EQ(nd::apt_enable[29], 1.0f);
  EXPECT_FLOAT_EQ(nd::apt_enable[28], 0.0f);
  EXPECT_STREQ(nd::apt_id[28], "");

  // A route that begins at "ORGN" takes slot 29 on both sides; only the
  // captain's first identifier counts, and it must match exactly.
  for (int side = 0; side < 2; ++side) {
    display_routes[side].count = 2.0f;
    display_routes[side].lat[0] = north_of(0, 1.0f);
    display_routes[side].lon[0] = 0.0f;
  }
  for (const char* id : {"ORGNX", "ORG", "KSEA"}) {
    first_id(id);
    copy_cut(route_tables.waypoint_names_3[0].text, "ORGN");
    place();
    EXPECT_STREQ(nd::apt_id[29], "INSD") << id;
    EXPECT_STREQ(nd::apt_fo_id[29], "INSD") << id;
  }
  first_id("ORGN");
  place();
  EXPECT_STREQ(nd::apt_id[29], "ORGN");
  EXPECT_NEAR(nd::apt_y[29], 2.0f, 0.02f);
  EXPECT_STREQ(nd::apt_fo_id[29], "ORGN");
  EXPECT_STREQ(nd::apt_id[28], "INSD");

  // The scripts' alignment flag leaves symbols to plan mode only.
  script_mirror.zuvadud_D738_irs_nd_allign = 1.0f;
  place();
  EXPECT_FLOAT_EQ(nd::apt_enable[29], 0.0f);
  EXPECT_STREQ(nd::apt_id[28], "");
}

// Plan mode centres each side's map on a point of its own display route, the
// one its step counter names; the map is true-north up, scale times 0.57 and
// 4.1 up, so 3 nm north of the centre is y = 5.81 and 3 nm south y = 2.39.
TEST_F(MapSymbols, PlanModeCentresOnTheSideRoute) {
  add_airport("PLAN", north_of(0, 103.0f), 0.0f);
  // Captain: points 0 at the aircraft, 1 3 nm south of the airport, 2 3 nm north.
  DisplayRoute& capt = display_routes[0];
  capt.count = 3.0f;
  capt.lat[1] = north_of(0, 100.0f);
  capt.lat[2] = north_of(0, 106.0f);
  // First officer: its own route, with the airport 3 nm south of point 1.
  DisplayRoute& fo = display_routes[1];
  fo.count = 2.0f;
  fo.lat[1] = north_of(0, 106.0f);
  mode(3.0f, 3.0f);
  // True north up whatever the variation: the airport due north stays at x 0.
  host_mirror.sim_flightmodel_position_magnetic_variation = 15.0f;

  struct Case {
    float capt_count, capt_step, fo_count, fo_step;
    float capt_y, fo_y;  // -1: no symbol
  };
  const Case cases[] = {
      {3, 0, 2, 0, -1, -1},          // no step: point 0, the airport is 103 nm away
      {3, 1, 2, 1, -1, -1},          // step 1 is point 0 too
      {3, 2, 2, 2, 5.81f, 2.39f},    // step 2: point 1 of each side's own route
      {3, 2.9f, 2, 2, 5.81f, 2.39f}, // step truncated
      {3, 3, 2, 1, 2.39f, -1},       // the sides follow their own counters
      {3, 9, 2, 7, 2.39f, 2.39f},    // beyond the route: its last point
      {3, 2, 0, 2, 5.81f, -1},       // the first officer's route empty: that side hidden
      {0, 2, 2, 2, -1, -1},          // the captain's route empty: both sides hidden
      {NAN, 2, 2, 2, -1, -1},        // a count that is no number reads as empty
      {5000, 1e9f, 2, NAN, -1, -1},  // cut to the table: point 255 (zero here); NaN step: point 0
  };
  for (const Case& c : cases) {
    capt.count = c.capt_count;
    fo.count = c.fo_count;
    fms_copies.legs_step_ctr = c.capt_step;
    fms_copies.legs_step_ctr_fo = c.fo_step;
    place();
    const std::string at = std::to_string(c.capt_step) + "/" + std::to_string(c.fo_step);
    EXPECT_STREQ(nd::apt_id[29], c.capt_y < 0 ? "" : "PLAN") << at;
    EXPECT_STREQ(nd::apt_fo_id[29], c.fo_y < 0 ? "" : "PLAN") << at;
    if (c.capt_y >= 0) {
      EXPECT_NEAR(nd::apt_y[29], c.capt_y, 0.02f) << at;
      EXPECT_NEAR(nd::apt_x[29], 0.0f, 1e-3f) << at;
    }
    if (c.fo_y >= 0) {
      EXPECT_NEAR(nd::apt_fo_y[29], c.fo_y, 0.02f) << at;
    }
  }

  // The last slot of the table is reachable by the step counter.
  capt.count = 5000.0f;
  capt.lat[255] = north_of(0, 106.0f);
  fms_copies.legs_step_ctr = 1e9f;
  place();
  EXPECT_STREQ(nd::apt_id[29], "PLAN");
  EXPECT_NEAR(nd::apt_y[29], 2.39f, 0.02f);
}

TEST_F(MapSymbols, ThirtyAirportSlotsPerSide) {
  range(2.0f);  // scale 0.5
  for (int i = 0; i < 35; ++i) {
    char code[5];
    std::snprintf(code, sizeof code, "A%03d", i);
    add_airport(code, north_of(0, 1.0f + 0.4f * static_cast<float>(i)), 0.0f);
  }
  script_mirror.zuvadud_D738_EFIS_fo_EFIS_airport_on = 0.0f;  // first officer's button off
  place();
  for (int k = 0; k < 30; ++k) EXPECT_FLOAT_EQ(nd::apt_enable[k], 1.0f) << k;
  EXPECT_STREQ(nd::apt_id[29], "A000");
  EXPECT_STREQ(nd::apt_id[0], "A029");  // the 31st airport has no slot
  for (int k = 0; k < 30; ++k) EXPECT_FLOAT_EQ(nd::apt_fo_enable[k], 0.0f) << k;
}

class Lookups : public NavScan {};

TEST_F(Lookups, FindIcaoStates) {
  simhost::clear_navaids();
  simhost::NavAid ksea;
  ksea.type = xplm_Nav_Airport;
  ksea.lat = 47.449f;
  ksea.lon = -122.309f;
  ksea.height = 433.0f;
  ksea.id = "KSEA";
  simhost::add_navaid(ksea);

  struct Case {
    std::string code;  // 6 bytes written to zuvadud/D738/find_icao
    double write;
    float state;
    float lat;
  };
  const Case cases[] = {
      {std::string("KSEA\0\0", 6), 1.0, 2.0f, 47.449f},
      {std::string("KSEA\0\0", 6), 2.0, 2.0f, 47.449f},   // 2 and 3 change nothing
      {std::string("ZZZZ\0\0", 6), 3.0, 2.0f, 47.449f},
      {std::string("ZZZZ\0\0", 6), 1.0, 3.0f, 0.0f},      // unknown: zeros
      {std::string("KSEA\0\0", 6), 1.0, 2.0f, 47.449f},   // repeated: rewritten
      {std::string("KSEA\0\0", 6), 3.5, 0.0f, 47.449f},   // above 3: idle, position kept
      {std::string("KSEA\0\0", 6), 4.0, 0.0f, 47.449f},
      {std::string("\0\0\0\0\0\0", 6), 1.0, 3.0f, 0.0f},  // empty: not found
      {std::string("KSEAXY", 6), 1.0, 3.0f, 0.0f},        // six bytes, no NUL: read safely
  };
  for (const Case& c : cases) {
    simhost::set_bytes("zuvadud/D738/find_icao", c.code);
    find_icao_write(nullptr, c.write);
    EXPECT_FLOAT_EQ(find_icao_state, c.state) << c.code << " " << c.write;
    EXPECT_FLOAT_EQ(simhost::get_float("zuvadud/D738/find_icao_lat"), c.lat) << c.code << " " << c.write;
  }
  simhost::set_bytes("zuvadud/D738/find_icao", std::string("KSEA\0\0", 6));
  find_icao_write(nullptr, 1.0);
  EXPECT_FLOAT_EQ(simhost::get_float("zuvadud/D738/find_icao_lon"), -122.309f);
  EXPECT_FLOAT_EQ(simhost::get_float("zuvadud/D738/find_icao_height"), 433.0f);
}

TEST_F(Lookups, RunwayAndGateLists) {
  for (int i = 0; i < 25; ++i) {
    NavRunway* r = nav_runway_slot();
    *r = NavRunway{};
    copy_cut(r->icao, i % 2 ? "KSEA" : "KSEB");
    std::snprintf(r->runway, sizeof r->runway, "%02d", i);
    nav_commit_runway();
  }
  for (int i = 0; i < 25; ++i) {
    NavRunway* r = nav_runway_slot();
    copy_cut(r->icao, "KSEA");
    std::snprintf(r->runway, sizeof r->runway, "%d", 25 + i);
    nav_commit_runway();
  }
  for (int i = 0; i < 520; ++i) {
    NavGate* g = nav_gate_slot();
    *g = NavGate{};
    copy_cut(g->icao, "KSEA");
    nav_commit_gate();
  }
  EXPECT_EQ(runways_of_airport("KSEA"), 20);
  EXPECT_STREQ(runway_list_buffer[0].runway, "01");  // index order
  EXPECT_STREQ(runway_list_buffer[19].runway, "32");
  EXPECT_EQ(runways_of_airport("KSEAX"), 20);  // first four letters
  EXPECT_EQ(runways_of_airport("KSE"), 0);
  EXPECT_EQ(runways_of_airport("kSEA"), 0);
  EXPECT_EQ(runways_of_airport("EGLL"), 0);
  EXPECT_EQ(gates_of_airport("KSEA"), 500);
  EXPECT_EQ(gates_of_airport("KSEAX"), 0);
  EXPECT_EQ(gates_of_airport("kSEA"), 0);
  EXPECT_EQ(gates_of_airport(""), 0);
}

}  // namespace
