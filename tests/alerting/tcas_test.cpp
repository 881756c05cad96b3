// Traffic computer: track history, symbol placement and labels, threat
// choice, display flags, and the advisory output stage (messages and bands).
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "alerting/aural_cues.h"
#include "alerting/gpws.h"
#include "alerting/tcas.h"
#include "alerting/tcas_labels.h"
#include "alerting/tcas_values.h"
#include "core/binding.h"
#include "core/frame_values.h"
#include "core/preprocess_values.h"
#include "display/nd_slots.h"
#include "host.h"
#include "navdata/geodesy.h"
#include "systems/delay_timers.h"
#include "systems/electrical/electric_values.h"
#include "systems/instruments/instrument_values.h"
#include "systems/switches/switch_values.h"

namespace {

constexpr double kOwnLat = 47.0;
constexpr double kOwnLon = 8.0;
constexpr float kOwnElev_m = 3000.0f;
constexpr float kFtPerM = 3.2808399f;

class Tcas : public ::testing::Test {
 protected:
  void SetUp() override {
    host_mirror = HostMirror{};
    script_mirror = ScriptMirror{};
    tcas_cycle = TcasCycleState{};
    tcas_threat = TcasThreatState{};
    tcas_ta_only = TcasTaOnlyState{};
    tcas_track = TcasTrackHistory{};
    delay_flags = DelayTimerFlags{};
    tcas_targets_present = 0;
    on_ground = 0;
    for (int i = 0; i < 19; ++i) {
      EFIS::tcas_ai_show[i] = EFIS::tcas_ai_show_fo[i] = 0.0f;
      TCAS::type_show[i] = TCAS::type_show_fo[i] = 0.0f;
    }
    EFIS::ta_only_show = EFIS::ta_only_show_fo = 0.0f;
    EFIS::tcas_show = EFIS::tcas_show_fo = 0.0f;
    tcas_msgs_reset();
    frame_time = 0.25f;
    electric::ac_tnsbus1_status = 1.0f;
    electric::ac_stdbus_status = 1.0f;  // the transponder's
    knob::transponder_pos = 5.0f;
    ScriptMirror& s = script_mirror;
    s.zuvadud_D738_EFIS_tcas_on = s.zuvadud_D738_EFIS_tcas_on_fo = 1.0f;
    s.zuvadud_D738_EFIS_control_capt_map_mode_pos = s.zuvadud_D738_EFIS_control_fo_map_mode_pos = 2.0f;
    s.zuvadud_D738_EFIS_control_capt_exp_map = s.zuvadud_D738_EFIS_control_fo_exp_map = 1.0f;
    s.zuvadud_D738_EFIS_capt_map_range = s.zuvadud_D738_EFIS_fo_map_range = 2.0f;
    HostMirror& h = host_mirror;
    h.sim_flightmodel_position_latitude = kOwnLat;
    h.sim_flightmodel_position_longitude = kOwnLon;
    h.sim_flightmodel_position_elevation = kOwnElev_m;
    h.sim_cockpit2_gauges_indicators_altitude_ft_pilot = kOwnElev_m * kFtPerM;
    h.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 5000.0f;
    h.sim_cockpit2_gauges_indicators_airspeed_kts_pilot = 280.0f;
    h.sim_cockpit2_gauges_indicators_airspeed_kts_copilot = 280.0f;
    tcas_cycle.own_elev_last_cycle_m = kOwnElev_m;
  }

  // Multiplayer plane n at a distance (nm) and bearing (deg) from own, with a
  // height difference (ft, positive above).
  static void place(int n, float dist_nm, float bearing_deg, float above_ft) {
    const double b = bearing_deg * 3.14159265358979 / 180.0;
    const float lat = static_cast<float>(kOwnLat + dist_nm * std::cos(b) / 60.0);
    const float lon = static_cast<float>(kOwnLon + dist_nm * std::sin(b) / (60.0 * std::cos(kOwnLat * 3.14159265 / 180.0)));
    const float el = kOwnElev_m + above_ft / kFtPerM;
    HostMirror& h = host_mirror;
    double* fields[3][3] = {
        {&h.sim_multiplayer_position_plane1_lat, &h.sim_multiplayer_position_plane1_lon, &h.sim_multiplayer_position_plane1_el},
        {&h.sim_multiplayer_position_plane2_lat, &h.sim_multiplayer_position_plane2_lon, &h.sim_multiplayer_position_plane2_el},
        {&h.sim_multiplayer_position_plane3_lat, &h.sim_multiplayer_position_plane3_lon, &h.sim_multiplayer_position_plane3_el}};
    *fields[n - 1][0] = lat;
    *fields[n - 1][1] = lon;
    *fields[n - 1][2] = el;
  }

  // Frames up to and including the next cycle frame.
  static void run_cycle() {
    for (int i = 0; i < 10; ++i) {
      update_tcas();
      if (tcas_cycle.cycle_timer_s == 0.0f) return;
    }
    FAIL() << "no cycle ran";
  }
};

TEST_F(Tcas, NoTrafficReadsNinetyNineMilesAndNoAdvisory) {
  for (int i = 0; i < 3; ++i) run_cycle();
  EXPECT_FLOAT_EQ(TCAS::nearest_plane_m, 99.0f * 1852.0f);
  EXPECT_EQ(TCAS::tcas_nearest_ra_msg, 0.0f);
  EXPECT_EQ(TCAS::traffic_ra, 0.0f);
  EXPECT_EQ(TCAS::traffic_ta, 0.0f);
}

TEST_F(Tcas, NewIntruderShowsOnThirdCycleAndAFrozenCycleHidesIt) {
  // Distant and 2000 ft above: plain traffic, no threat.
  std::vector<float> shown;
  float dist = 20.0f;
  for (int c = 0; c < 6; ++c) {
    if (c != 4) dist -= 0.05f;  // cycle 5 keeps the old position
    place(1, dist, 0.0f, 2000.0f);
    run_cycle();
    shown.push_back(EFIS::tcas_ai_show[0]);
  }
  const std::vector<float> expected = {0, 0, 1, 1, 0, 1};
  EXPECT_EQ(shown, expected);
  EXPECT_EQ(TCAS::type_show[0], 4.0f);
  EXPECT_FLOAT_EQ(TCAS::nearest_plane_m, 99.0f * 1852.0f);  // other traffic is never the threat
}

// Proximate traffic (within 6 nm and 1200 ft, no advisory) shows its own
// symbol but is never the cycle's threat.
TEST_F(Tcas, ProximateTrafficIsNoThreat) {
  for (int c = 0; c < 4; ++c) {
    place(1, 5.0f - 0.01f * static_cast<float>(c), 30.0f, 1000.0f);
    run_cycle();
  }
  EXPECT_EQ(TCAS::type_show[0], 3.0f);
  EXPECT_EQ(tcas_threat.worst_level, 0);
  EXPECT_FLOAT_EQ(TCAS::nearest_plane_m, 99.0f * 1852.0f);
}

// The track counter on a cycle: a jump (absent, or more than 0.3 degrees in
// latitude or longitude) restarts it, a frozen position steps it back.
TEST_F(Tcas, TrackCounterSteps) {
  struct Row {
    float before, dlat, dlon;
    bool absent;
    float after;
  } rows[] = {{0, 0.01f, 0, false, 1},   {1, 0.01f, 0, false, 2},  {2, 0.01f, 0, false, 2},
              {3, 0.01f, 0, false, 3},   {2, 0, 0, false, 1},      {3, 0, 0, false, 2},
              {1, 0, 0, false, 0},       {0, 0, 0, false, 0},      {2, 0.31f, 0, false, 0},
              {2, 0.29f, 0, false, 2},   {2, 0, 0.31f, false, 0},  {2, 0, -0.29f, false, 2},
              {2, 0.01f, 0, true, 0},    {0.5f, 0.01f, 0, false, 0}};
  for (const Row& r : rows) {
    SetUp();
    tcas_cycle.cycle_flag = 1;
    const float lat = r.absent ? 0.0f : 47.5f, lon = r.absent ? 0.0f : 8.5f;
    host_mirror.sim_multiplayer_position_plane1_lat = lat;
    host_mirror.sim_multiplayer_position_plane1_lon = lon;
    tcas_track.prev_lat_deg[1] = 47.5f - r.dlat;
    tcas_track.prev_lon_deg[1] = 8.5f - r.dlon;
    tcas_track.track_counter[1] = r.before;
    evaluate_tcas_target(1, 1.0f);
    EXPECT_EQ(tcas_track.track_counter[1], r.after) << r.before << " moved " << r.dlat << " " << r.dlon;
  }
  // Flying east across 180 is no jump.
  SetUp();
  tcas_cycle.cycle_flag = 1;
  host_mirror.sim_multiplayer_position_plane1_lat = 47.5f;
  host_mirror.sim_multiplayer_position_plane1_lon = -179.99f;
  tcas_track.prev_lat_deg[1] = 47.5f;
  tcas_track.prev_lon_deg[1] = 179.99f;
  tcas_track.track_counter[1] = 2.0f;
  evaluate_tcas_target(1, 1.0f);
  EXPECT_EQ(tcas_track.track_counter[1], 2.0f);
}

TEST_F(Tcas, EmptySlotAndRemoteAltitudeStayHidden) {
  place(2, 10.0f, 90.0f, 2900.0f);  // beyond 2700 ft: hidden while level 0
  for (int c = 0; c < 5; ++c) {
    place(2, 10.0f - 0.05f * static_cast<float>(c), 90.0f, 2900.0f);
    run_cycle();
  }
  EXPECT_EQ(EFIS::tcas_ai_show[0], 0.0f);  // plane 1 absent (0, 0)
  EXPECT_EQ(tcas_track.track_counter[1], 0.0f);
  EXPECT_EQ(EFIS::tcas_ai_show[1], 0.0f);
  EXPECT_EQ(tcas_track.track_counter[2], 2.0f);
}

TEST_F(Tcas, AltitudeLabelsRoundToHundreds) {
  struct Case {
    float above_ft;
    const char* label;
    float up;
    bool shown = true;  // other traffic beyond 2700 ft either way is hidden
  };
  const Case cases[] = {{440, "+04", 1},  {460, "+05", 1},          {-40, "+00", 1},          {-500, "-05", 0},
                        {2600, "+26", 1}, {-2600, "-26", 0},        {2800, "", 0, false},     {-2800, "", 0, false}};
  for (const Case& k : cases) {
    SetUp();
    for (int c = 0; c < 4; ++c) {
      place(1, 30.0f - 0.05f * static_cast<float>(c), 45.0f, k.above_ft);
      run_cycle();
    }
    EXPECT_EQ(EFIS::tcas_ai_show[0], k.shown ? 1.0f : 0.0f) << k.above_ft;
    if (!k.shown) continue;
    EXPECT_STREQ(TCAS::alt_label[0], k.label) << k.above_ft;
    EXPECT_STREQ(TCAS::alt_fo_label[0], k.label) << k.above_ft;
    EXPECT_EQ(TCAS::alt_dn_up_show[0], k.up) << k.above_ft;
  }
}

TEST_F(Tcas, SymbolPositionScaledByRangeAndFirstOfficerWindow) {
  script_mirror.zuvadud_D738_EFIS_capt_map_range = 0.0f;  // x2
  script_mirror.zuvadud_D738_EFIS_fo_map_range = 0.0f;
  for (int c = 0; c < 4; ++c) {
    place(1, 7.0f + 0.01f * static_cast<float>(c), 90.0f, 1000.0f);
    run_cycle();
  }
  EXPECT_NEAR(TCAS::x[0], 14.06f, 0.05f);  // right of the nose, beyond the map's window
  EXPECT_NEAR(TCAS::y[0], 0.0f, 0.05f);
  EXPECT_EQ(EFIS::tcas_ai_show[0], 0.0f);
  EXPECT_EQ(EFIS::tcas_ai_show_fo[0], 0.0f);
  // Widening the first officer's range between cycles brings the symbol in
  // at once with its type, never as a blank one.
  script_mirror.zuvadud_D738_EFIS_fo_map_range = 2.0f;  // x0.5
  update_tcas();
  ASSERT_NE(tcas_cycle.cycle_timer_s, 0.0f);
  EXPECT_EQ(EFIS::tcas_ai_show_fo[0], 1.0f);
  EXPECT_EQ(TCAS::type_show_fo[0], 4.0f);
  EXPECT_NEAR(TCAS::x_fo[0], 3.51f, 0.05f);
}

// The reference each map format turns the picture to, and its own-aircraft
// offset: traffic 7 nm east at half scale.
TEST_F(Tcas, SymbolReferenceAndOffsetByMapFormat) {
  struct Row {
    float mode, exp, vsd, track_up, active, heading, magvar;
    bool shown;
    float x, y;
  } rows[] = {
      {2, 1, 0, 0, 0, 90, 0, true, 0, 3.5f},     {2, 1, 0, 1, 1, 90, 0, true, 3.5f, 0},  // heading or track up
      {2, 1, 0, 1, 0, 90, 0, true, 0, 3.5f},     {2, 1, 0, 0, 0, 80, -10, true, 0, 3.5f},
      {1, 1, 0, 1, 1, 90, 0, true, 0, 3.5f},     {0, 1, 0, 0, 0, 0, 0, true, 3.5f, 0},
      {1, 0, 0, 0, 0, 90, 0, false, 0, 0},       {3, 1, 0, 0, 0, 90, 0, false, 0, 0},
      {2, 0, 0, 0, 0, 90, 0, true, 0, 7.6f},     {2, 1, 1, 0, 0, 90, 0, true, 0, 8.6f},
  };
  for (const Row& r : rows) {
    SetUp();
    ScriptMirror& s = script_mirror;
    s.zuvadud_D738_EFIS_control_capt_map_mode_pos = r.mode;
    s.zuvadud_D738_EFIS_control_capt_exp_map = r.exp;
    s.zuvadud_D738_EFIS_control_capt_vsd_map = r.vsd;
    s.zuvadud_D738_fms_track_up = r.track_up;
    s.zuvadud_D738_fms_track_up_active = r.active;
    host_mirror.sim_cockpit2_gauges_indicators_heading_AHARS_deg_mag_pilot = r.heading;
    host_mirror.sim_cockpit2_gauges_indicators_ground_track_mag_pilot = 0.0f;
    host_mirror.sim_flightmodel_position_magnetic_variation = r.magvar;
    for (int c = 0; c < 4; ++c) {
      place(1, 7.0f + 0.01f * static_cast<float>(c), 90.0f, 1000.0f);
      run_cycle();
    }
    EXPECT_EQ(EFIS::tcas_ai_show[0], r.shown ? 1.0f : 0.0f) << r.mode << " " << r.exp;
    if (!r.shown) continue;
    EXPECT_NEAR(TCAS::x[0], r.x, 0.05f) << r.mode << " " << r.exp << " " << r.track_up << r.active;
    EXPECT_NEAR(TCAS::y[0], r.y, 0.05f) << r.mode << " " << r.exp << " " << r.track_up << r.active;
  }
}

// The RA command a frame derives from the last cycle's code, the command in
// force and the threat's relative altitude (own minus intruder), with the
// bands it starts (preset 9 up, -9 down: unchanged). No time passes. A
// command keeps the name it was given while its code stands.
TEST_F(Tcas, RaCommandFromTheCycleCode) {
  struct Row {
    int code;
    float in_force, rel_ft;
    int issued, active;
    float ias, alt;
    int command, issued_after;
    float up, down;
    float named = 0;  // the code the command in force was named from
    float prior = 0;  // the advisory's sense then (an adjust's side)
  } rows[] = {
      // A traffic advisory whose traffic has gone is over (the next one is
      // announced again).
      {0, 2, 0, 1, 0, 300, 20000, 14, 0, 9, -9},   {0, 13, 0, 1, 0, 300, 20000, 0, 0, 9, -9},
      {0, 2, 0, 0, 0, 300, 20000, 2, 0, 9, -9},    {0, 0, 0, 1, 0, 300, 20000, 0, 0, 9, -9},
      {1, 6, 0, 0, 0, 300, 20000, 1, 1, 6, -9},    {1, 10, -10, 0, 0, 150, 20000, 1, 1, 2, -9},
      {1, 11, 0, 0, 0, 220, 5000, 2, 1, 4, -9},    {1, 5, -10, 0, 0, 220, 12000, 4, 1, 9, -9},
      {1, 2, -10, 0, 0, 260, 5000, 2, 1, 9, -9},   {1, 0, -10, 0, 0, 220, 12000, 4, 1, 6, -9},
      {2, 10, 0, 0, 0, 300, 20000, 1, 1, 6, -9},   {2, 0, -10, 0, 0, 300, 20000, 4, 1, 6, -9},
      {2, 3, -10, 0, 0, 300, 20000, 3, 1, 9, -9},  {2, 0, 0, 0, 0, 300, 20000, 2, 1, 6, -9},
      {2, 11, -10, 0, 0, 300, 20000, 4, 1, 6, -9}, {5, 6, 10, 0, 0, 300, 20000, 8, 1, 9, -9},
      {3, 0, 0, 0, 0, 300, 20000, 5, 1, 0, 0},     {3, 5, 0, 0, 0, 300, 20000, 5, 1, 9, -9},
      {4, 1, 10, 0, 0, 150, 20000, 6, 1, 9, -2},   {4, 5, 10, 0, 0, 220, 5000, 6, 1, 9, -4},
      {4, 0, 0, 0, 0, 300, 20000, 7, 1, 9, -6},    {4, 7, 10, 0, 0, 300, 20000, 7, 1, 9, -9},
      {4, 0, 10, 0, 0, 300, 20000, 9, 1, 9, -6},   {4, 6, 10, 0, 0, 300, 20000, 6, 1, 9, -9},
      {5, 5, 0, 0, 0, 300, 20000, 6, 1, 9, -6},    {5, 0, 10, 0, 0, 300, 20000, 9, 1, 9, -6},
      {5, 8, 10, 0, 0, 300, 20000, 8, 1, 9, -9},   {5, 0, 0, 0, 0, 300, 20000, 7, 1, 9, -6},
      {6, 0, 0, 0, 0, 300, 20000, 10, 1, 0, 0},    {6, 10, 0, 0, 0, 300, 20000, 10, 1, 9, -9},
      {7, 0, 0, 0, 0, 300, 20000, 11, 1, 0, 0},    {7, 11, 0, 0, 0, 300, 20000, 11, 1, 9, -9},
      {8, 0, 0, 0, 0, 300, 20000, 12, 1, 0, 0},    {8, 12, 0, 0, 0, 300, 20000, 12, 1, 9, -9},
      {9, 2, 0, 0, 0, 300, 20000, 13, 0, 9, -9},   {9, 2, 0, 1, 1, 300, 20000, 13, 0, 9, -9},
      {9, 2, 0, 1, 0, 300, 20000, 14, 1, 9, -9},   {9, 13, 0, 1, 0, 300, 20000, 0, 1, 9, -9},
      // The name stands while the code does: through own level, and on the
      // cycle after a reversal; a stronger code after a climb is an increase.
      {1, 4, 10, 0, 0, 300, 20000, 4, 1, 9, -9, 1}, {2, 4, 10, 0, 0, 300, 20000, 4, 1, 9, -9, 2},
      {2, 4, 10, 0, 0, 300, 20000, 3, 1, 9, -9, 1}, {5, 6, 0, 0, 0, 300, 20000, 6, 1, 9, -9, 5},
      {4, 9, -10, 0, 0, 300, 20000, 9, 1, 9, -9, 4},
      // Back to the normal rate after an increase is a weakening, no new climb
      // or descend.
      {1, 3, -10, 0, 0, 300, 20000, 11, 1, 9, -9, 2, 1}, {4, 8, 10, 0, 0, 300, 20000, 11, 1, 9, -9, 5, -1},
      // After an adjust that kept the aircraft on one side, the other sense
      // is a reversal.
      {4, 11, 10, 0, 0, 300, 20000, 6, 1, 9, -6, 7, 1}, {1, 11, -10, 0, 0, 300, 20000, 1, 1, 6, -9, 7, -1},
      {4, 11, 10, 0, 0, 300, 20000, 9, 1, 9, -6, 7, -1},
  };
  for (const Row& r : rows) {
    SetUp();
    frame_time = 0.0f;
    TcasThreatState& t = tcas_threat;
    t.ra_code = static_cast<float>(r.code);
    t.ra_command = t.command_in_force = r.in_force;
    t.threat_rel_alt_ft = r.rel_ft;
    t.advisory_issued = r.issued;
    t.active_advisories = r.active;
    t.named_code = r.named;
    t.named_sense = t.ra_sense = r.prior;
    t.up_band[0] = t.up_band[1] = 9.0f;
    t.down_band[0] = t.down_band[1] = -9.0f;
    host_mirror.sim_cockpit2_gauges_indicators_airspeed_kts_pilot = r.ias;
    host_mirror.sim_cockpit2_gauges_indicators_altitude_ft_pilot = r.alt;
    host_mirror.sim_cockpit2_gauges_indicators_vvi_fpm_pilot = 700.0f;
    update_tcas();
    const std::string row = "code " + std::to_string(r.code) + " in force " + std::to_string(r.in_force);
    // Clear of conflict is taken up at once: announced, command and force 0.
    EXPECT_TRUE(r.command != 14 || t.announcement == 14.0f) << row;
    EXPECT_EQ(t.ra_command, r.command == 14 ? 0.0f : static_cast<float>(r.command)) << row;
    EXPECT_EQ(t.advisory_issued, r.issued_after) << row;
    EXPECT_EQ(t.up_band[0], r.up) << row;
    EXPECT_EQ(t.down_band[0], r.down) << row;
    // Maintain and monitor capture the vertical speed; adjust does not.
    EXPECT_EQ(t.captured_vs_fpm[0], r.up == 0.0f && r.code != 7 ? 700.0f : 0.0f) << row;
  }
}

// The range ring with its option on, ranges up to index 4, on a side that
// shows traffic.
TEST_F(Tcas, RangeRingByOptionRangeAndTrafficDisplay) {
  struct Row {
    float option, capt_range, fo_range, fo_on, ring, ring_fo;
  } rows[] = {{1, 4, 5, 1, 1, 0}, {1, 5, 4, 1, 0, 1}, {0, 4, 4, 1, 0, 0}, {1, 4, 4, 0, 1, 0}};
  for (const Row& r : rows) {
    SetUp();
    script_mirror.zuvadud_D738_nd_tcas_range = r.option;
    script_mirror.zuvadud_D738_EFIS_capt_map_range = r.capt_range;
    script_mirror.zuvadud_D738_EFIS_fo_map_range = r.fo_range;
    script_mirror.zuvadud_D738_EFIS_tcas_on_fo = r.fo_on;
    update_tcas();
    EXPECT_EQ(nd::tcas_ring, r.ring) << r.option << r.capt_range << r.fo_range << r.fo_on;
    EXPECT_EQ(nd::tcas_ring_fo, r.ring_fo) << r.option << r.capt_range << r.fo_range << r.fo_on;
  }
}

// The map's window at full scale, on both sides: 13 ahead, 5 behind, 13
// aside. Nothing is drawn beyond 80 nm, at the widest range either.
TEST_F(Tcas, FirstOfficerWindowEdges) {
  struct Row {
    float d_nm, bearing;
    bool fo_shown;
    bool shown;
    float range = 1;
  } rows[] = {{4.9f, 180, true, true},   {5.1f, 180, false, false}, {12.9f, 0, true, true},   {13.1f, 0, false, false},
              {12.9f, 270, true, true},  {13.5f, 270, false, false}, {75, 0, true, true, 7}, {85, 0, false, false, 7}};
  for (const Row& r : rows) {
    SetUp();
    script_mirror.zuvadud_D738_EFIS_capt_map_range = script_mirror.zuvadud_D738_EFIS_fo_map_range = r.range;
    for (int c = 0; c < 4; ++c) {
      place(1, r.d_nm + 0.001f * static_cast<float>(3 - c), r.bearing, 1000.0f);
      run_cycle();
    }
    EXPECT_EQ(EFIS::tcas_ai_show[0], r.shown ? 1.0f : 0.0f) << r.d_nm << " at " << r.bearing;
    EXPECT_EQ(EFIS::tcas_ai_show_fo[0], r.fo_shown ? 1.0f : 0.0f) << r.d_nm << " at " << r.bearing;
  }
}

// Without a threat an advisory ages one step per cycle: a sense (1..8)
// becomes a detection (9), a detection nothing.
TEST_F(Tcas, AdvisoryAgesWithoutAThreat) {
  struct Row {
    float start, after_one, after_two;
  } rows[] = {{1, 9, 0}, {8, 9, 0}, {9, 0, 0}, {0, 0, 0}};
  for (const Row& r : rows) {
    SetUp();
    tcas_threat.ra_code = r.start;
    run_cycle();
    EXPECT_EQ(tcas_threat.ra_code, r.after_one) << r.start;
    run_cycle();
    EXPECT_EQ(tcas_threat.ra_code, r.after_two) << r.start;
    EXPECT_EQ(tcas_threat.worst_level, 0) << r.start;
  }
}

TEST(TcasTables, RangeScaleAndSensitivityRows) {
  const float scale[] = {2, 1, 0.5f, 0.25f, 0.125f, 0.0625f, 0.03125f, 0.015625f, 0, 0};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(tcas_range_scale(static_cast<float>(i)), scale[i]) << i;
  EXPECT_EQ(tcas_range_scale(-1.0f), 0.0f);
  EXPECT_EQ(tcas_range_scale(NAN), 0.0f);

  struct Row {
    bool ta_only;
    float radio, alt;
    TcasSensitivity s;
    const char* band;
  };
  const Row rows[] = {
      {true, 500, 500, {20, 0, 0, 0, 0.3f}, "TA ONLY"},
      {false, 2349, 30000, {25, 15, 0.2f, 300, 0.33f}, "below 2350 ft radio altitude"},
      {false, 2350, 4999, {30, 20, 0.35f, 300, 0.48f}, "below 5000 ft"},
      {false, 3000, 9999, {40, 25, 0.55f, 350, 0.75f}, "5000 to 10000 ft"},
      {false, 3000, 19999, {45, 30, 0.8f, 400, 1.0f}, "10000 to 20000 ft"},
      {false, 3000, 20000, {48, 35, 1.1f, 600, 1.3f}, "from 20000 ft"},
  };
  for (const Row& r : rows) {
    const TcasSensitivity s = tcas_sensitivity(r.ta_only, r.radio, r.alt);
    EXPECT_EQ(s.ta_time_s, r.s.ta_time_s) << "TA time, " << r.band;
    EXPECT_EQ(s.ra_time_s, r.s.ra_time_s) << "RA time, " << r.band;
    EXPECT_EQ(s.ra_distance_nm, r.s.ra_distance_nm) << "RA distance, " << r.band;
    EXPECT_EQ(s.required_miss_ft, r.s.required_miss_ft) << "required miss, " << r.band;
    EXPECT_EQ(s.ta_distance_nm, r.s.ta_distance_nm) << "TA distance, " << r.band;
  }
  char buf[5];
  tcas_format_label(-87, buf, 5);
  EXPECT_STREQ(buf, "-87");
  tcas_format_label(87, buf, 5);
  EXPECT_STREQ(buf, "+87");
  tcas_format_label(12345, buf, 5);  // never past the buffer
  EXPECT_STREQ(buf, "+99");
  tcas_format_label(-2147483647, buf, 5);
  EXPECT_STREQ(buf, "-99");
  tcas_format_label(-5, buf, 5);
  EXPECT_STREQ(buf, "-05");
  tcas_format_label(0, buf, 5);
  EXPECT_STREQ(buf, "+00");
  tcas_format_label(-7, buf, 3);  // cut to the buffer, still terminated
  EXPECT_STREQ(buf, "-0");
  tcas_format_label(7, buf, 1);
  EXPECT_STREQ(buf, "");
}

TEST_F(Tcas, RaThreatWinsOverCloserTaAndProximateTraffic) {
  // Slot 1: RA (0.5 nm, level). Slot 2: TA, closer but 700 ft apart.
  // Slot 3: proximate, closest, 1000 ft above.
  for (int c = 0; c < 3; ++c) {
    const float creep = 0.001f * static_cast<float>(c);
    place(1, 0.5f - creep, 0.0f, 0.0f);
    place(2, 0.45f - creep, 120.0f, 700.0f);
    place(3, 0.3f - creep, 240.0f, 1000.0f);
    run_cycle();
  }
  EXPECT_NEAR(TCAS::nearest_plane_m, 0.498f * 1852.0f, 2.0f);
  EXPECT_EQ(tcas_threat.worst_level, 3);
  // First detection: a traffic code and the traffic command, no sense yet.
  EXPECT_EQ(TCAS::tcas_nearest_ra_msg, 9.0f);
  EXPECT_EQ(tcas_threat.ra_command, 13.0f);
  EXPECT_EQ(tcas_threat.command_in_force, 13.0f);
  EXPECT_EQ(TCAS::type_show[0], 1.0f);
  EXPECT_EQ(TCAS::type_show[1], 2.0f);
  EXPECT_EQ(TCAS::type_show[2], 3.0f);
  EXPECT_EQ(TCAS::traffic_ra, 1.0f);
  EXPECT_EQ(TCAS::traffic_ta, 0.0f);

  place(1, 0.496f, 0.0f, 0.0f);
  run_cycle();
  const float code = TCAS::tcas_nearest_ra_msg;
  EXPECT_GE(code, 1.0f);
  EXPECT_LE(code, 8.0f);
  EXPECT_GE(tcas_threat.ra_command, 1.0f);
  EXPECT_LE(tcas_threat.ra_command, 12.0f);
  // Taken up once the traffic message has played.
  EXPECT_EQ(tcas_threat.command_in_force, 13.0f);
  for (int i = 0; i < 3; ++i) update_tcas();
  EXPECT_EQ(tcas_threat.command_in_force, tcas_threat.ra_command);
  // All three moving again: only slot 1's sense is an active advisory.
  place(1, 0.494f, 0.0f, 0.0f);
  place(2, 0.44f, 120.0f, 700.0f);
  place(3, 0.29f, 240.0f, 1000.0f);
  run_cycle();
  EXPECT_EQ(TCAS::type_show[1], 2.0f);
  EXPECT_EQ(tcas_threat.active_advisories, 1);
}

// Sense selection of a resolution advisory, one cycle of one intruder dead
// ahead: the intruder's height (ft, + above), own and intruder vertical
// speeds (m/s), distance and closing speed, the code stored from the last
// cycle, and the altitudes that bound the manoeuvres.
TEST_F(Tcas, AdvisorySenseSelection) {
  struct Case {
    const char* name;
    float above_ft, own_ms, intruder_ms, d_nm, closing_kt, stored, radio_ft, own_elev_m;
    int code;
    int reversed = 0;  // the advisory has reversed its sense before
    float sense = 0;   // the advisory's sense (1 climb, -1 descend) under a code 7 or 8
    int threat = 0;    // the slot the stored code was issued against
    float since = 0;   // seconds the climb or descend in force has stood, to the last cycle
    float side = 0;    // of a first adjust: 1 it keeps the aircraft above, -1 below
  };
  const Case cases[] = {
      // Far in time (range time 60 s of 25): the sense from the geometry.
      {"slow, intruder below: climb", -300, 0, 0, 0.5f, 30, 8, 5000, 3000, 1},
      {"slow, intruder above: descend", 300, 0, 0, 0.5f, 30, 8, 5000, 3000, 4},
      {"slow, just above it with a descent in force: descend", -30, 0, 0, 0.5f, 30, 4, 5000, 3000, 4},
      {"slow, just below it with climb now in force: climb", 30, 0, 0, 0.5f, 30, 1, 5000, 3000, 1},
      {"slow, just below it with increase climb in force: climb", 30, 0, 0, 0.5f, 30, 3, 5000, 3000, 1},
      {"slow, 60 ft below it: the climb in force gives way", 60, 0, 0, 0.5f, 30, 1, 5000, 3000, 4},
      {"slow, just above it with increase descent in force: descend", -30, 0, 0, 0.5f, 30, 6, 5000, 3000, 4},
      {"slow, just above it, code 7 is no descent in force: climb", -30, 0, 0, 0.5f, 30, 7, 5000, 3000, 1},
      {"slow, 60 ft above it: the descent in force gives way", -60, 0, 0, 0.5f, 30, 4, 5000, 3000, 1},
      {"slow, 47 ft below it with a climb in force: climb", 47, 0, 0, 0.5f, 30, 1, 5000, 3000, 1},
      {"slow, 53 ft below it: the climb in force gives way", 53, 0, 0, 0.5f, 30, 1, 5000, 3000, 4},
      {"slow, 47 ft above it with a descent in force: descend", -47, 0, 0, 0.5f, 30, 4, 5000, 3000, 4},
      {"slow, 53 ft above it: the descent in force gives way", -53, 0, 0, 0.5f, 30, 4, 5000, 3000, 1},
      {"slow, diverging beyond the miss, level: maintain climb", -500, 0, -10, 0.5f, 30, 8, 5000, 3000, 3},
      {"slow, diverging beyond the miss, descending: climb", -500, -2, -10, 0.5f, 30, 8, 5000, 3000, 1},
      // Near in time (range time 9 s).
      {"continuing already misses: monitor", -500, 0, 0, 0.5f, 200, 8, 5000, 3000, 8},
      // Weakened only once the aircraft, level from here, would pass on the
      // advisory's side by the required 350 ft; the intruder's own climb
      // away is no reason.
      {"the intruder's own climb does not weaken a short miss", -200, 0, 15, 0.5f, 200, 1, 5000, 3000, 1},
      {"climbed 360 ft above the intruder: adjust", -360, 7.62f, 0, 0.5f, 200, 1, 5000, 3000, 7, 0, 0, 0, 5.3f},
      {"340 ft above it: climb kept", -340, 7.62f, 0, 0.5f, 200, 1, 5000, 3000, 1, 0, 0, 0, 5.3f},
      {"descended 380 ft below where a descending intruder ends: adjust", 410, -7.62f, -1, 0.5f, 200, 4, 5000, 3000, 7,
       0, 0, 0, 5.3f},
      // A climb or descend stands more than five seconds before it weakens.
      {"360 ft above, the climb 5.7 s old: kept", -360, 7.62f, 0, 0.5f, 200, 1, 5000, 3000, 1, 0, 0, 0, 4.7f},
      // The first advisory is the weakest that gives the miss: levelling off
      // after 5 s of reaction, where that is enough.
      {"climbing at 2000 ft/min toward level traffic 525 ft above: adjust", 525, 10.16f, 0, 0.5f, 200, 9, 5000, 3000,
       7, 0, 0, 0, 0, -1},
      {"climbing at 2000 ft/min toward level traffic 509 ft above: descend", 509, 10.16f, 0, 0.5f, 200, 9, 5000, 3000,
       4},
      {"descending at 2000 ft/min toward level traffic 525 ft below: adjust", -525, -10.16f, 0, 0.5f, 200, 8, 5000,
       3000, 7, 0, 0, 0, 0, 1},
      {"climbing at 1000 ft/min toward level traffic 408 ft above: adjust", 408, 5.08f, 0, 0.5f, 200, 9, 5000, 3000, 7,
       0, 0, 0, 0, -1},
      {"climbing at 1000 ft/min toward level traffic 402 ft above: descend", 402, 5.08f, 0, 0.5f, 200, 9, 5000, 3000,
       4},
      {"adjust stays while the aircraft holds the miss", -360, 0, 0, 0.5f, 200, 7, 5000, 3000, 7, 0, 1},
      // Against its own threat an adjust is not strengthened again for a
      // miss only a little short: the prediction wavers by a few feet.
      {"adjust held, 320 ft above its threat", -320, 0, 0, 0.5f, 200, 7, 5000, 3000, 7, 0, 1, 1},
      {"adjust issued against another threat, 320 ft above: climb", -320, 0, 0, 0.5f, 200, 7, 5000, 3000, 1, 0, 1, 2},
      {"adjust, 290 ft above its threat: climb", -290, 0, 0, 0.5f, 200, 7, 5000, 3000, 1, 0, 1, 1},
      {"adjust held, 303 ft above its threat", -303, 0, 0, 0.5f, 200, 7, 5000, 3000, 7, 0, 1, 1},
      {"adjust, 297 ft above its threat: climb", -297, 0, 0, 0.5f, 200, 7, 5000, 3000, 1, 0, 1, 1},
      // Increase climb stays asked for though the normal rate would now do.
      {"increase climb in force, climbing hard: kept", 0, 12.7f, 0, 1.0f, 200, 2, 5000, 3000, 2},
      // Only the strong rate would give the miss: the normal one comes first,
      // the strong one only once it is in force.
      {"co-altitude, a little above: the descent first", 10, 0, 0, 0.5f, 200, 9, 5000, 3000, 4},
      {"co-altitude, a little above, descending in force: increase", 10, 0, 0, 0.5f, 200, 4, 5000, 3000, 5},
      {"co-altitude, a little below: the climb first", -10, 0, 0, 0.5f, 200, 9, 5000, 3000, 1},
      {"co-altitude, a little below, climbing in force: increase", -10, 0, 0, 0.5f, 200, 1, 5000, 3000, 2},
      // In force 5 s, no reaction left: 1500 ft/min for the 9 s to go gives
      // 225 ft; just started, the crew has 4 s of it left.
      {"descending in force, traffic 130 ft above: 355 ft, the normal rate", 130, 0, 0, 0.5f, 200, 4, 5000, 3000, 4, 0,
       0, 0, 4},
      {"descending in force, traffic 120 ft above: 345 ft, increase", 120, 0, 0, 0.5f, 200, 4, 5000, 3000, 5, 0, 0, 0,
       4},
      {"descending at 590 ft/min in force, traffic 173 ft above: the normal rate", 173, -3, 0, 0.5f, 200, 4, 5000, 3000,
       4},
      {"descending at 590 ft/min in force, traffic 168 ft above: increase", 168, -3, 0, 0.5f, 200, 4, 5000, 3000, 5},
      // Near the ground no stronger descent: below 1450 ft radio altitude
      // the normal rate is the most asked for, also with the strong one in force.
      {"co-altitude, a little above, 1440 ft radio, descending in force: no increase", 10, 0, 0, 0.5f, 200, 4, 1440,
       439, 4},
      {"co-altitude, a little above, 1450 ft radio, descending in force: increase", 10, 0, 0, 0.5f, 200, 4, 1450, 442,
       5},
      {"increase descent in force, 1440 ft radio: the normal rate", 10, -10, 0, 0.5f, 200, 5, 1440, 439, 4},
      // A climb in force gives way only to a descent 100 ft better, once:
      // the reaction-time draws (pinned to 4 s) alone never reverse it.
      {"climbing in force, own descending hard: reverse", 0, -10, 0, 1.5f, 600, 1, 5000, 3000, 4},
      {"climbing in force, own descending hard, reversed before: kept, increased", 0, -10, 0, 1.5f, 600, 1, 5000, 3000,
       2, 1},
      {"climbing in force, unanswered, co-altitude: keep", 0, 0, 0, 1.5f, 600, 1, 5000, 3000, 2},
      {"climbing in force, traffic 178 ft above 1 nm off: descending gives 106 ft more, reverse", 178, 0, 0, 1.0f, 400,
       1, 5000, 3000, 4, 0, 0, 0, 4},
      {"climbing in force, traffic 172 ft above 1 nm off: 94 ft more, the climb kept", 172, 0, 0, 1.0f, 400, 1, 5000,
       3000, 2, 0, 0, 0, 4},
      // Inside the TA distance a sense in force gives way 50 ft on the wrong
      // side of traffic, here traffic that keeps going that way.
      {"descending in force, 47 ft above traffic descending: descend", -47, -10, -10, 0.5f, 200, 4, 5000, 3000, 4, 0,
       0, 0, 4},
      {"descending in force, 53 ft above traffic descending: climb", -53, -10, -10, 0.5f, 200, 4, 5000, 3000, 1, 0, 0,
       0, 4},
      {"climbing in force, 47 ft below traffic climbing: climb", 47, 10, 10, 0.5f, 200, 1, 5000, 3000, 1, 0, 0, 0, 4},
      {"climbing in force, 53 ft below traffic climbing: descend", 53, 10, 10, 0.5f, 200, 1, 5000, 3000, 4, 0, 0, 0, 4},
      // Below 1100 ft radio altitude no descent is flown, above 10700 m no
      // climb: only the hold codes are left, chosen by the rules near the TA
      // distance.
      {"low and high, intruder above: no descent flown", 200, 0, 0, 0.3f, 200, 9, 1000, 10800, 6},
      {"low and high, intruder above, descending: code 7", 200, -1, 0, 0.3f, 200, 9, 1000, 10800, 7},
      {"low and high, intruder below: no climb flown", -200, 0, 0, 0.3f, 200, 9, 1000, 10800, 3},
      {"low and high, intruder below, climbing: code 7", -200, 1, 0, 0.3f, 200, 9, 1000, 10800, 7},
      {"low and high, intruder above, descending at 0.53 m/s: code 7", 200, -0.53f, 0, 0.3f, 200, 9, 1000, 10800, 7},
      {"low and high, intruder above, descending at 0.47 m/s: code 6", 200, -0.47f, 0, 0.3f, 200, 9, 1000, 10800, 6},
      {"low and high, intruder below, climbing at 0.53 m/s: code 7", -200, 0.53f, 0, 0.3f, 200, 9, 1000, 10800, 7},
      {"low and high, intruder below, climbing at 0.47 m/s: code 3", -200, 0.47f, 0, 0.3f, 200, 9, 1000, 10800, 3},
      // Raised by distance alone (traffic alongside) the same limits hold.
      {"alongside, intruder above, 1090 ft radio: no descent", 300, 0, 0, 0.15f, 5, 9, 1090, 332, 6},
      {"alongside, intruder above, 1090 ft radio, descending: code 7", 300, -1, 0, 0.15f, 5, 9, 1090, 332, 7},
      {"alongside, intruder above, 1090 ft radio, descending at 0.53 m/s: code 7", 300, -0.53f, 0, 0.15f, 5, 9, 1090,
       332, 7},
      {"alongside, intruder above, 1090 ft radio, descending at 0.47 m/s: code 6", 300, -0.47f, 0, 0.15f, 5, 9, 1090,
       332, 6},
      {"alongside, intruder below, 10710 m, climbing at 0.53 m/s: code 7", -300, 0.53f, 0, 0.15f, 5, 9, 5000, 10710, 7},
      {"alongside, intruder below, 10710 m, climbing at 0.47 m/s: code 3", -300, 0.47f, 0, 0.15f, 5, 9, 5000, 10710, 3},
      {"alongside, intruder above, 1110 ft radio: descend", 300, 0, 0, 0.15f, 5, 9, 1110, 338, 4},
      {"alongside, intruder below, 10710 m: no climb", -300, 0, 0, 0.15f, 5, 9, 5000, 10710, 3},
      {"alongside, intruder below, 10690 m: climb", -300, 0, 0, 0.15f, 5, 9, 5000, 10690, 1},
      // Nor does an adjust give way to a climb or descend there while it
      // keeps the miss.
      {"slow, an adjust keeping the aircraft 400 ft below: kept", 400, 0, 0, 0.5f, 30, 7, 5000, 3000, 7, 0, -1},
      {"slow, an adjust keeping the aircraft 300 ft below: descend", 300, 0, 0, 0.5f, 30, 7, 5000, 3000, 4, 0, -1},
  };
  simhost::pin_rand([] { return 0; });
  for (const Case& c : cases) {
    SetUp();
    constexpr float step = 1.0f;
    const float elev = c.own_elev_m;
    tcas_cycle.cycle_flag = 1;
    tcas_cycle.own_lat_deg = static_cast<float>(kOwnLat);
    tcas_cycle.own_lon_deg = static_cast<float>(kOwnLon);
    tcas_cycle.own_elev_m = elev;
    tcas_cycle.own_elev_last_cycle_m = elev - c.own_ms * step;
    host_mirror.sim_flightmodel_position_elevation = elev;
    host_mirror.sim_cockpit2_gauges_indicators_altitude_ft_pilot = elev * kFtPerM;
    host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = c.radio_ft;
    const float lat = static_cast<float>(kOwnLat + c.d_nm / 60.0);
    const float intr_el = elev + c.above_ft / kFtPerM;
    host_mirror.sim_multiplayer_position_plane1_lat = lat;
    host_mirror.sim_multiplayer_position_plane1_lon = static_cast<float>(kOwnLon);
    host_mirror.sim_multiplayer_position_plane1_el = intr_el;
    tcas_track.track_counter[1] = 2.0f;
    tcas_track.prev_lat_deg[1] = lat + 0.001f;
    tcas_track.prev_lon_deg[1] = static_cast<float>(kOwnLon);
    tcas_track.prev_distance_nm[1] = gc_distance_nm(kOwnLat, kOwnLon, lat, kOwnLon) + c.closing_kt / 3600.0f * step;
    tcas_track.prev_target_elev_m[1] = intr_el - c.intruder_ms * step;
    tcas_threat.ra_code = c.stored;
    tcas_threat.sense_reversed = c.reversed;
    tcas_threat.ra_sense = c.sense;
    tcas_threat.threat_slot = c.threat;
    tcas_threat.corrective_s = c.since;
    const TcasTargetResult r = evaluate_tcas_target(1, step);
    EXPECT_EQ(r.level, 3.0f) << c.name;
    EXPECT_EQ(r.ra_code, c.code) << c.name;
    EXPECT_EQ(r.adjust_sense, c.side) << c.name;
  }
  simhost::unpin_rand();
}

// One advisory against two RA threats (at 9840 ft: 350 ft of miss, RA time
// 25 s), each 20 s from closest approach: a sense that leaves both on the
// side they are on by the miss, at the normal rate, or the strong one once
// the normal one is in force (before that the normal one first); with
// traffic above and below, the maintain by own vertical speed, a maintain
// in force kept; else none (-1), the nearest threat's code stands.
TEST_F(Tcas, OneSenseAgainstSeveralThreats) {
  struct Case {
    const char* name;
    float now1_ft, end1_ft, now2_ft, end2_ft;  // intruders above own (+), now and at closest approach
    float own_ms, stored;
    int code;
    float radio_ft = 5000;
    float elev_m = kOwnElev_m;  // the host's own elevation (the climb limit)
  } cases[] = {
      {"above and below, level: maintain, climbing side", 500, 500, -500, -500, 0, 4, 3},
      {"above and below, descending: maintain, descending side", 500, 500, -500, -500, -2, 1, 6},
      {"a maintain in force is kept", 500, 500, -500, -500, 1, 6, 6},
      {"both below: climb", -500, -500, -700, -700, 0, 9, 1},
      {"both above: descend", 500, 500, 700, 700, 0, 9, 4},
      {"both below, one climbing toward us: only the strong climb clears, the climb first", -500, -500, -100, 300, 0, 9,
       1},
      {"both below, one climbing toward us, climbing in force: increase", -500, -500, -100, 300, 0, 1, 2},
      {"both below, one climbing past us: no sense clears", -500, -500, -100, 800, 0, 9, -1},
      {"both below, one climbing to 340 ft above: not even the strong climb clears", -500, -500, -100, 340, 0, 1, -1},
      {"both below at 10690 m: climb", -500, -500, -700, -700, 0, 9, 1, 5000, 10690},
      {"both below at 10710 m: no climb up there", -500, -500, -700, -700, 0, 9, -1, 5000, 10710},
      {"both above, one descending toward us: only the strong descent clears, the descent first", 500, 500, 100, -300, 0,
       9, 4},
      {"both above, one descending toward us, descending in force: increase", 500, 500, 100, -300, 0, 4, 5},
      {"below 1450 ft radio the strong descent that would clear is not asked for", 500, 500, 100, -100, 0, 9, -1, 1440},
  };
  simhost::pin_rand([] { return 0; });  // reaction time 4 s
  for (const Case& c : cases) {
    SetUp();
    tcas_cycle.cycle_step_s = 1.0f;
    tcas_cycle.own_elev_m = kOwnElev_m;
    tcas_cycle.own_elev_last_cycle_m = kOwnElev_m - c.own_ms;
    tcas_threat.ra_code = c.stored;
    host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = c.radio_ft;
    host_mirror.sim_flightmodel_position_elevation = c.elev_m;
    TcasTargetResult threats[2] = {};
    const float now[2] = {c.now1_ft, c.now2_ft}, end[2] = {c.end1_ft, c.end2_ft};
    for (int i = 0; i < 2; ++i) {
      threats[i].level = 3.0f;
      threats[i].range_time_s = 20.0f;
      threats[i].intruder_elev_m = kOwnElev_m + now[i] / kFtPerM;
      threats[i].predicted_elev_m = kOwnElev_m + end[i] / kFtPerM;
    }
    EXPECT_EQ(tcas_multi_threat_sense(threats, 2), c.code) << c.name;
    EXPECT_EQ(tcas_multi_threat_sense(threats, 1), -1) << c.name;
  }
  simhost::unpin_rand();
}

// The threat level of one cycle (sensitivity at 9840 ft: TA 40 s or 0.75 nm,
// RA 25 s or 0.55 nm, vertically 850 and 600 ft; below 2350 ft radio: 25 s,
// 15 s, 0.33 nm, 0.2 nm) and the trend arrow beyond 500 ft/min.
TEST_F(Tcas, ThreatLevelAndTrendArrow) {
  struct Row {
    float d_nm, above_ft, closing_kt, intruder_ms, radio_ft, own_elev_m;
    int level, arrow;
    bool behind = false;  // the symbol shows the level, behind too
    float type = 0;       // (0: not checked)
    float stored = 0;     // the advisory in force and the slot it was issued against
    int threat = 0;
    float opening_kt = 0;  // the range opening along the line of sight (the bearing turning), when not 0
    int32_t own_on_ground = 0;
  } rows[] = {
      {6.1f, 1000, 30, 0, 5000, 3000, 0, 0},   {5.9f, 1000, 30, 0, 5000, 3000, 1, 0},
      {5.9f, 1250, 30, 0, 5000, 3000, 0, 0},   {5.9f, 1150, 30, 0, 5000, 3000, 1, 0},
      {0.74f, 840, 30, 0, 5000, 3000, 2, 0},
      {0.74f, 860, 30, 0, 5000, 3000, 1, 0},   {0.76f, 500, 30, 0, 5000, 3000, 1, 0},
      {2.0f, 500, 200, 0, 5000, 3000, 2, 0},   {2.0f, 500, 170, 0, 5000, 3000, 1, 0},
      {1.0f, 500, 200, 0, 5000, 3000, 3, 0},   {1.0f, 650, 200, 0, 5000, 3000, 2, 0},
      {0.54f, 500, 30, 0, 5000, 3000, 3, 0},   {0.56f, 500, 30, 0, 5000, 3000, 2, 0},
      {1.0f, 570, 200, 0, 5000, 3000, 3, 0},   {1.0f, 630, 200, 0, 5000, 3000, 2, 0},
      // 700 ft vertically above 20000 ft: at 21325 ft and at 19000 ft.
      {1.0f, 650, 200, 0, 5000, 6500, 3, 0},   {1.0f, 730, 200, 0, 5000, 6500, 2, 0},
      {1.0f, 650, 200, 0, 5000, 5791, 2, 0},
      {1.0f, 1000, 200, -9, 5000, 3000, 2, 1}, {1.0f, 1000, 200, -50, 5000, 3000, 3, 1},
      {3.0f, 1000, 30, 2.6f, 5000, 3000, 1, 2}, {3.0f, 1000, 30, 2.5f, 5000, 3000, 1, 0},
      {3.0f, 1000, 30, -2.6f, 5000, 3000, 1, 1}, {3.0f, 1000, 30, -2.5f, 5000, 3000, 1, 0},
      // Beyond 1200 ft and 6 nm by time alone: climbing at 4000 ft/min
      // toward 8200 ft, TA at 40 s and RA at 25 s; head-on at 970 kt at
      // 30000 ft, TA at 48 s and RA at 35 s.
      {5.5f, -2600, 500, 20.32f, 5000, 2499, 2, 2}, {3.4f, -1600, 500, 20.32f, 5000, 2499, 3, 2},
      {12.9f, 0, 970, 0, 5000, 9144, 2, 0},        {9.4f, 0, 970, 0, 5000, 9144, 3, 0},
      // Closing at 13,780 ft/min from 8000 ft is a TA by time; from 9000 ft
      // it is beyond the 8700 ft evaluated.
      {2.0f, -8000, 500, 70, 5000, 3000, 2, 2},    {2.0f, -9000, 500, 70, 5000, 3000, 0, 0},
      {2.0f, 8000, 500, -70, 5000, 3000, 2, 1},    {2.0f, 9000, 500, -70, 5000, 3000, 0, 0},
      // Below 1750 ft radio altitude an intruder within 360 ft of the ground
      // below raises no advisory, here one climbing off it 1500 ft below.
      {0.15f, -1500, 30, 20, 1740, 600, 0, 2},  {0.15f, -1500, 30, 20, 1760, 600, 2, 2},
      // Taxiing 700 ft below, on a 5000 ft field or at sea level; 350 and
      // 370 ft above the ground 1000 ft below.
      {0.3f, -700, 140, 0, 700, 1737.4f, 1, 0},   {0.3f, -700, 140, 0, 700, 213.4f, 1, 0},
      {0.15f, -650, 30, 0, 1000, 600, 1, 0},      {0.15f, -630, 30, 0, 1000, 600, 2, 0},
      // On our own wheels (the radio altitude 0): traffic taxiing 100 m and
      // 600 m away stays proximate; in the air a reading of 0 judges nothing.
      {0.054f, 0, 20, 0, 0, 600, 1, 0, false, 0, 0, 0, 0, 1}, {0.324f, 0, 40, 0, 0, 600, 1, 0, false, 0, 0, 0, 0, 1},
      {0.054f, 0, 20, 0, 0, 600, 3, 0},
      {1.0f, 700, 200, -50, 5000, 3000, 3, 1, false, 1}, {1.0f, 700, 200, -50, 5000, 3000, 3, 1, true, 1},
      {1.0f, 1000, 200, -50, 5000, 3000, 3, 1, true, 1}, {0.5f, 1000, 30, -50, 5000, 3000, 3, 1, true, 1},
      {0.7f, 1000, 30, -30, 5000, 3000, 2, 1, true, 2},  {1.0f, 1000, 200, -9, 5000, 3000, 2, 1, true, 2},
      // The intruder an advisory was issued against stays an RA until the
      // range opens, while it is proximate or a TA; another is not held.
      {1.0f, 650, 200, 0, 5000, 3000, 3, 0, false, 1, 4, 1}, {1.0f, 650, 200, 0, 5000, 3000, 2, 0, false, 2, 4, 2},
      {1.0f, 650, 30, 0, 5000, 3000, 3, 0, false, 1, 7, 1},  {1.0f, 650, -30, 0, 5000, 3000, 1, 0, false, 3, 4, 1},
      {5.0f, 1300, 30, 0, 5000, 3000, 0, 0, false, 0, 4, 1},
      // Passed once the range opens by more than 10 kt along the line of
      // sight, though the distance itself still closes.
      {0.3f, 300, 5, 0, 5000, 3000, 3, 0, false, 1, 0, 0, 9.5f}, {0.3f, 300, 5, 0, 5000, 3000, 2, 0, false, 2, 0, 0, 10.5f},
  };
  for (const Row& r : rows) {
    SetUp();
    constexpr float step = 1.0f;
    const float elev = r.own_elev_m;
    tcas_cycle.cycle_flag = 1;
    tcas_cycle.own_lat_deg = static_cast<float>(kOwnLat);
    tcas_cycle.own_lon_deg = static_cast<float>(kOwnLon);
    tcas_cycle.own_elev_m = tcas_cycle.own_elev_last_cycle_m = elev;
    host_mirror.sim_flightmodel_position_elevation = elev;
    host_mirror.sim_cockpit2_gauges_indicators_altitude_ft_pilot = elev * kFtPerM;
    host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = r.radio_ft;
    on_ground = r.own_on_ground;
    const float lat = static_cast<float>(kOwnLat + (r.behind ? -r.d_nm : r.d_nm) / 60.0);
    const float intr_el = elev + r.above_ft / kFtPerM;
    host_mirror.sim_multiplayer_position_plane1_lat = lat;
    host_mirror.sim_multiplayer_position_plane1_lon = static_cast<float>(kOwnLon);
    host_mirror.sim_multiplayer_position_plane1_el = intr_el;
    tcas_track.track_counter[1] = 2.0f;
    tcas_track.prev_lat_deg[1] = lat + 0.001f;
    tcas_track.prev_lon_deg[1] = static_cast<float>(kOwnLon);
    tcas_track.prev_distance_nm[1] = gc_distance_nm(kOwnLat, kOwnLon, lat, kOwnLon) + r.closing_kt / 3600.0f * step;
    tcas_track.prev_bearing_deg[1] = r.behind ? 180.0f : 0.0f;
    if (r.opening_kt != 0.0f) {
      const double d = gc_distance_nm(kOwnLat, kOwnLon, lat, kOwnLon);
      const double turn = std::acos((d - r.opening_kt / 3600.0 * step) / tcas_track.prev_distance_nm[1]);
      tcas_track.prev_bearing_deg[1] = static_cast<float>(turn * 180.0 / 3.14159265358979);
    }
    tcas_track.prev_target_elev_m[1] = intr_el - r.intruder_ms * step;
    TCAS::arrow_dn_up_show[0] = 0.0f;
    tcas_threat.ra_code = r.stored;
    tcas_threat.threat_slot = r.threat;
    const TcasTargetResult out = evaluate_tcas_target(1, step);
    tcas_place_targets();
    EXPECT_EQ(out.level, static_cast<float>(r.level)) << r.d_nm << " nm " << r.above_ft << " ft " << r.closing_kt;
    EXPECT_EQ(TCAS::arrow_dn_up_show[0], static_cast<float>(r.arrow)) << r.intruder_ms << " m/s";
    EXPECT_TRUE(r.type == 0 || TCAS::type_show[0] == r.type) << r.d_nm << " nm " << r.above_ft << " ft behind";
    // A frame between cycles shows what the cycle showed, a TA 8000 ft away
    // too.
    const float shown = EFIS::tcas_ai_show[0];
    tcas_cycle.cycle_flag = 0;
    evaluate_tcas_target(1, step);
    tcas_place_targets();
    EXPECT_EQ(EFIS::tcas_ai_show[0], shown) << r.d_nm << " nm " << r.above_ft << " ft, between cycles";
  }
}

// Every target the host's arrays hold is watched, whatever its slot; the
// display's 18 slots go to the advisory first, then the nearest traffic.
// The host gives 63 targets: a head-on intruder at our level in one slot,
// other traffic 2,000 ft above, further away the higher its slot, in all
// the others.
TEST_F(Tcas, EveryHostTargetIsWatchedAndTheNearestAreShown) {
  for (int intruder : {18, 19, 40, 63}) {
    SetUp();
    tcas_targets_present = 1;
    HostMirror& h = host_mirror;
    for (int c = 0; c < 3; ++c) {
      for (int slot = 1; slot <= 63; ++slot) {
        const bool threat = slot == intruder;
        const float d_nm = (threat ? 0.5f : 10.0f + 0.2f * static_cast<float>(slot)) - 0.001f * static_cast<float>(c);
        const float above_ft = threat ? 0.0f : 2000.0f;
        h.sim_cockpit2_tcas_targets_position_lat[slot] = static_cast<float>(kOwnLat + d_nm / 60.0);
        h.sim_cockpit2_tcas_targets_position_lon[slot] = static_cast<float>(kOwnLon);
        h.sim_cockpit2_tcas_targets_position_ele[slot] = kOwnElev_m + above_ft / kFtPerM;
      }
      run_cycle();
    }
    EXPECT_EQ(tcas_threat.worst_level, 3) << "slot " << intruder;
    EXPECT_EQ(TCAS::traffic_ra, 1.0f) << "slot " << intruder;
    // The nearest 17 others keep the display slots of their numbers; the
    // intruder takes the one left.
    EXPECT_EQ(TCAS::type_show[17], 1.0f) << "slot " << intruder;
    EXPECT_EQ(EFIS::tcas_ai_show[17], 1.0f) << "slot " << intruder;
    for (int i = 0; i < 17; ++i) EXPECT_EQ(TCAS::type_show[i], 4.0f) << "slot " << intruder << " display " << i;
  }
}

TEST_F(Tcas, KnobFourShowsRaSymbolAsTrafficAdvisory) {
  for (int c = 0; c < 3; ++c) {
    place(1, 0.5f - 0.001f * static_cast<float>(c), 0.0f, 0.0f);
    run_cycle();
  }
  ASSERT_EQ(TCAS::type_show[0], 1.0f);
  knob::transponder_pos = 4.0f;
  update_tcas();
  EXPECT_EQ(TCAS::traffic_ta, 1.0f);
  EXPECT_EQ(TCAS::traffic_ra, 0.0f);
  EXPECT_EQ(TCAS::traffic_ta_fo, 1.0f);
  // TA ONLY keeps the traffic advisory, never a resolution.
  EXPECT_EQ(tcas_threat.ra_command, ra_cmd::traffic);
  EXPECT_EQ(TCAS::tcas_pfd_ra_up, 0.0f);
  EXPECT_EQ(TCAS::tcas_pfd_ra_dn, 0.0f);
}

TEST_F(Tcas, TaOnlyBandHasHysteresis) {
  const float heights[] = {800, 1000, 1200, 1000, 850};
  const float expected[] = {1, 1, 0, 0, 1};
  for (int i = 0; i < 5; ++i) {
    host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = heights[i];
    update_tcas();
    EXPECT_EQ(EFIS::ta_only_show, expected[i]) << heights[i];
    EXPECT_EQ(EFIS::ta_only_show_fo, expected[i]) << heights[i];
  }
}

// Inside the band TA ONLY stays as it was through a test; a computer that
// lost its power, or was off, comes back by 1,000 ft.
TEST_F(Tcas, TaOnlyBandKeptThroughTestAndPowerLoss) {
  struct Row {
    const char* what;
    float radio_ft;
    float bus;
    float knob;
    float test;
    float ta_only;
  } rows[] = {
      {"climbing from 800 ft", 800, 1, 5, 0, 1},   {"950 ft", 950, 1, 5, 0, 1},
      {"the test", 950, 1, 5, 1, 1},              {"after the test", 950, 1, 5, 0, 1},
      {"power lost", 950, 0, 5, 0, 0},            {"power back at 950 ft", 950, 1, 5, 0, 1},
      {"up to 1,150 ft", 1150, 1, 5, 0, 0},       {"down to 1,050 ft", 1050, 1, 5, 0, 0},
      {"the test at 1,050 ft", 1050, 1, 5, 1, 0}, {"power lost at 1,050 ft", 1050, 0, 5, 0, 0},
      {"power back at 1,050 ft", 1050, 1, 5, 0, 0}, {"down to 950 ft", 950, 1, 5, 0, 0},
      {"power lost at 950 ft", 950, 0, 5, 0, 0},  {"power back at 950 ft again", 950, 1, 5, 0, 1},
      {"STBY at 1,050 ft", 1050, 1, 1, 0, 0},      {"TA/RA again at 1,050 ft", 1050, 1, 5, 0, 0},
  };
  for (const Row& r : rows) {
    host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = r.radio_ft;
    electric::ac_tnsbus1_status = r.bus;
    knob::transponder_pos = r.knob;
    delay_flags.tcas_test_flag = r.test;
    update_tcas();
    if (r.bus == 0.0f || r.knob < 4.0f) continue;
    EXPECT_EQ(tcas_judges_ta_only(), r.ta_only == 1.0f) << r.what;
    if (r.test == 0.0f) {
      EXPECT_EQ(EFIS::ta_only_show, r.ta_only) << r.what;
      EXPECT_EQ(EFIS::ta_only_show_fo, r.ta_only) << r.what;
    }
  }
}

// The display flags, and whether a climb advisory running stays: only at
// TA/RA with the computer powered, aligned and its transponder working.
TEST_F(Tcas, DisplayFlagsByKnobPowerAndAlignment) {
  struct Case {
    float knob, bus, irs;
    int32_t xpndr;  // the host's transponder failure, 6 failed
    float show, tfc, off, fail, climb;
    float xpndr_bus = 1.0f;  // the transponder's power, the AC standby bus
  };
  const Case cases[] = {
      {5, 1, 0, 0, 1, 1, 0, 0, 1}, {4, 1, 0, 0, 1, 1, 0, 0, 0}, {2, 1, 0, 0, 0, 0, 1, 0, 0},
      {5, 0, 0, 0, 0, 0, 1, 0, 0}, {5, 1, 1, 0, 0, 0, 0, 1, 0}, {5, 1, 0, 6, 0, 0, 0, 1, 0},
      {5, 1, 0, 0, 0, 0, 0, 1, 0, 0}, {4, 1, 0, 0, 0, 0, 0, 1, 0, 0},
  };
  for (const Case& k : cases) {
    knob::transponder_pos = k.knob;
    electric::ac_tnsbus1_status = k.bus;
    electric::ac_stdbus_status = k.xpndr_bus;
    script_mirror.zuvadud_D738_irs_pfd_allign_hdg = k.irs;
    host_mirror.sim_operation_failures_rel_xpndr = k.xpndr;
    tcas_threat.ra_command = tcas_threat.command_in_force = ra_cmd::climb;
    update_tcas();
    const std::string row = std::to_string(k.knob) + " " + std::to_string(k.bus) + " " + std::to_string(k.irs) + " " +
                            std::to_string(k.xpndr) + " " + std::to_string(k.xpndr_bus);
    EXPECT_EQ(EFIS::tcas_show, k.show) << row;
    EXPECT_EQ(EFIS::tfc_show_fo, k.tfc) << row;
    EXPECT_EQ(EFIS::tcas_off_show, k.off) << row;
    EXPECT_EQ(EFIS::tcas_fail_show_fo, k.fail) << row;
    EXPECT_EQ(TCAS::tcas_pfd_ra_up, k.climb) << row;
  }
}

// A GPWS alert of the ground proximity modes (cautions too) or windshear
// takes TCAS to TA ONLY: a climb advisory running ends, bands and all, and
// no TCAS call is heard; the bank angle, low airspeed and minimums calls and
// the GPWS self-test take nothing; a SINK RATE standing behind AIRSPEED LOW
// does. A second after the alert TA/RA is back.
TEST_F(Tcas, GpwsAlertsTakeTcasToTaOnlyAndSilenceIt) {
  struct Row {
    int32_t code;
    float test_running;
    bool yields;
    int32_t behind = 0;  // an alert standing in its envelope behind the one said
  } const rows[] = {
      {gpws_code::airspeed_low, 0, true, gpws_code::sink_rate},
      {gpws_code::airspeed_low, 0, true, gpws_code::windshear},
      {gpws_code::bank_angle, 0, false, gpws_code::minimums},
      {gpws_code::pull_up, 0, true},          {gpws_code::windshear, 0, true},
      {gpws_code::terrain, 0, true},          {gpws_code::too_low_terrain, 0, true},
      {gpws_code::too_low_flaps, 0, true},    {gpws_code::too_low_gear, 0, true},
      {gpws_code::dont_sink, 0, true},        {gpws_code::sink_rate, 0, true},
      {gpws_code::below_glideslope, 0, true}, {gpws_code::terrain_caution, 0, true},
      {gpws_code::closure_terrain, 0, true},  {gpws_code::closure_terrain_landing, 0, true},
      {gpws_code::bank_angle, 0, false},      {gpws_code::airspeed_low, 0, false},
      {gpws_code::approaching_minimums, 0, false}, {gpws_code::minimums, 0, false},
      {gpws_code::pull_up, 1, false},
  };
  for (const Row& r : rows) {
    SetUp();
    host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = 1500.0f;
    update_tcas();
    tcas_threat.ra_command = tcas_threat.command_in_force = ra_cmd::climb;
    tcas_threat.announcement = ra_cmd::climb;
    tcas_threat.repeat_count = 2.0f;
    gpws_state.alert_code = r.code;
    gpws_state.standing_codes = (uint64_t{1} << r.code) | (r.behind != 0 ? uint64_t{1} << r.behind : 0);
    system_::gpws_test_running = r.test_running;
    const std::string row = "alert " + std::to_string(r.code) + (r.test_running != 0.0f ? " in the test" : "");
    bool heard = false;
    for (int i = 0; i < 8; ++i) {
      update_tcas();
      heard = heard || cue_fmodpack::msg_climb != 0.0f || cue_fmodpack::msg_traffic != 0.0f;
    }
    EXPECT_EQ(heard, !r.yields) << row;
    EXPECT_EQ(TCAS::tcas_pfd_ra_up, r.yields ? 0.0f : 1.0f) << row;
    EXPECT_EQ(EFIS::ta_only_show, r.yields ? 1.0f : 0.0f) << row;
    EXPECT_EQ(tcas_judges_ta_only(), r.yields) << row;
    gpws_state.alert_code = 0;
    gpws_state.standing_codes = 0;
    for (int i = 0; i < 3; ++i) update_tcas();  // 0.75 s
    EXPECT_EQ(tcas_judges_ta_only(), r.yields) << row << ": the yielding holds across a repeat's gap";
    for (int i = 0; i < 2; ++i) update_tcas();
    EXPECT_FALSE(tcas_judges_ta_only()) << row << ": back at TA/RA";
  }
  system_::gpws_test_running = 0.0f;
}

// What the displays show never changes the surveillance: a cycle a second,
// 59 or 60 of them in a minute, at 30, 20 or 10 frames a second, with one
// side in PLN or both displays' traffic off.
TEST_F(Tcas, PlanModeBlanksOneSideAndKeepsTheCyclePeriod) {
  update_tcas();
  script_mirror.zuvadud_D738_EFIS_control_capt_map_mode_pos = 3.0f;
  update_tcas();
  EXPECT_EQ(EFIS::tfc_show, 0.0f);
  EXPECT_EQ(EFIS::tcas_show, 1.0f);
  EXPECT_EQ(EFIS::tfc_show_fo, 1.0f);
  EXPECT_EQ(tcas_cycle.cycle_flag, 0);
  struct Row {
    float frame_s, capt_mode, tcas_on;
  } rows[] = {{1.0f / 30.0f, 2, 1}, {1.0f / 30.0f, 3, 1}, {1.0f / 30.0f, 2, 0}, {0.05f, 2, 1},
              {0.05f, 3, 0},        {0.1f, 2, 1},         {0.1f, 3, 1},         {0.1f, 2, 0}};
  for (const Row& r : rows) {
    SetUp();
    script_mirror.zuvadud_D738_EFIS_control_capt_map_mode_pos = r.capt_mode;
    script_mirror.zuvadud_D738_EFIS_tcas_on = script_mirror.zuvadud_D738_EFIS_tcas_on_fo = r.tcas_on;
    frame_time = r.frame_s;
    int cycles = 0;
    for (float t = 0.0f; t < 60.0f - 0.5f * r.frame_s; t += r.frame_s) {
      update_tcas();
      if (tcas_cycle.cycle_timer_s == 0.0f) ++cycles;
    }
    EXPECT_GE(cycles, 59) << r.frame_s << " s frames, map " << r.capt_mode << ", traffic " << r.tcas_on;
    EXPECT_LE(cycles, 60) << r.frame_s << " s frames, map " << r.capt_mode << ", traffic " << r.tcas_on;
  }
}

// A side blanks its traffic in PLN, in APP or VOR without the expanded map,
// or with its traffic display deselected; no side forces a cycle.
TEST_F(Tcas, SideBlankingByMapFormat) {
  struct Row {
    float mode, exp, tcas_on;
    float tfc, show;
    int forced;
  } rows[] = {{3, 1, 1, 0, 1, 0}, {1, 0, 1, 0, 1, 0}, {1, 1, 1, 1, 1, 0}, {2, 0, 1, 1, 1, 0}, {2, 1, 0, 0, 0, 0}};
  for (const Row& r : rows) {
    SetUp();
    update_tcas();
    script_mirror.zuvadud_D738_EFIS_control_capt_map_mode_pos = r.mode;
    script_mirror.zuvadud_D738_EFIS_control_capt_exp_map = r.exp;
    script_mirror.zuvadud_D738_EFIS_tcas_on = r.tcas_on;
    update_tcas();
    EXPECT_EQ(EFIS::tfc_show, r.tfc) << r.mode << r.exp << r.tcas_on;
    EXPECT_EQ(EFIS::tcas_show, r.show) << r.mode << r.exp << r.tcas_on;
    EXPECT_EQ(tcas_cycle.cycle_flag, r.forced) << r.mode << r.exp << r.tcas_on;
    EXPECT_EQ(EFIS::tfc_show_fo, 1.0f);
  }
  knob::transponder_pos = 4.0f;  // TA only on both sides
  update_tcas();
  EXPECT_EQ(EFIS::ta_only_show, 1.0f);
  EXPECT_EQ(EFIS::ta_only_show_fo, 1.0f);
}

// The traffic flags come from either side's visible symbols: here only the
// first officer's map shows them.
TEST_F(Tcas, TrafficFlagsFromTheFirstOfficersSymbols) {
  struct Row {
    float above_ft;
    float ra, ta;
  } rows[] = {{0, 1, 0}, {700, 0, 1}};
  for (const Row& r : rows) {
    SetUp();
    script_mirror.zuvadud_D738_EFIS_capt_map_range = 9.0f;  // no scale: nothing shown
    for (int c = 0; c < 3; ++c) {
      place(1, 0.5f - 0.001f * static_cast<float>(c), 0.0f, r.above_ft);
      run_cycle();
    }
    EXPECT_EQ(EFIS::tcas_ai_show[0], 0.0f) << r.above_ft;
    EXPECT_EQ(TCAS::traffic_ra, r.ra) << r.above_ft;
    EXPECT_EQ(TCAS::traffic_ta, r.ta) << r.above_ft;
  }
}

// The TRAFFIC message follows the advisory on both sides, its symbol drawn
// or not: both maps out of range, traffic deselected on both, both in PLAN.
TEST_F(Tcas, TrafficMessageFollowsTheAdvisoryWithNoSymbolShown) {
  struct Side {
    const char* what;
    void (*hide)();
  } sides[] = {
      {"no scale on either map",
       [] { script_mirror.zuvadud_D738_EFIS_capt_map_range = script_mirror.zuvadud_D738_EFIS_fo_map_range = 9.0f; }},
      {"TFC off on both sides",
       [] { script_mirror.zuvadud_D738_EFIS_tcas_on = script_mirror.zuvadud_D738_EFIS_tcas_on_fo = 0.0f; }},
      {"both in PLAN",
       [] {
         script_mirror.zuvadud_D738_EFIS_control_capt_map_mode_pos = 3.0f;
         script_mirror.zuvadud_D738_EFIS_control_fo_map_mode_pos = 3.0f;
       }},
  };
  struct Row {
    float above_ft;
    float ra, ta;
  } rows[] = {{0, 1, 0}, {700, 0, 1}};
  for (const Side& side : sides) {
    for (const Row& r : rows) {
      SetUp();
      side.hide();
      for (int c = 0; c < 3; ++c) {
        place(1, 0.5f - 0.001f * static_cast<float>(c), 0.0f, r.above_ft);
        run_cycle();
      }
      EXPECT_EQ(TCAS::traffic_ra, r.ra) << side.what << " " << r.above_ft;
      EXPECT_EQ(TCAS::traffic_ta, r.ta) << side.what << " " << r.above_ft;
      EXPECT_EQ(TCAS::traffic_ra_fo, r.ra) << side.what << " " << r.above_ft;
      EXPECT_EQ(TCAS::traffic_ta_fo, r.ta) << side.what << " " << r.above_ft;
    }
  }
}

TEST_F(Tcas, SelfTestPatternOnBothSides) {
  delay_flags.tcas_test_flag = 1.0f;
  script_mirror.zuvadud_D738_EFIS_fo_map_range = 5.0f;
  script_mirror.zuvadud_D738_EFIS_control_fo_exp_map = 0.0f;
  script_mirror.zuvadud_D738_EFIS_control_fo_map_mode_pos = 2.0f;
  update_tcas();
  EXPECT_EQ(EFIS::tcas_test_show, 1.0f);
  const float types[] = {1, 2, 3, 4};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(TCAS::type_show[i], types[i]);
  EXPECT_FLOAT_EQ(TCAS::x[0], 1.2f * 0.5f);
  EXPECT_FLOAT_EQ(TCAS::y[3], 3.0f * 0.5f);
  EXPECT_FLOAT_EQ(TCAS::x_fo[1], -1.2f * 0.125f);
  EXPECT_FLOAT_EQ(TCAS::y_fo[0], 0.125f + 4.1f);
  EXPECT_STREQ(TCAS::alt_label[1], "-05");
  EXPECT_STREQ(TCAS::alt_fo_label[2], "");
  EXPECT_EQ(TCAS::alt_dn_up_show[3], 1.0f);
  EXPECT_EQ(TCAS::traffic_ra_fo, 1.0f);
  const float arrows[] = {2, 1, 1, 2};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(TCAS::arrow_dn_up_show_fo[i], arrows[i]) << i;
    EXPECT_EQ(EFIS::tcas_ai_show[i], 1.0f) << i;
    EXPECT_EQ(EFIS::tcas_ai_show_fo[i], 1.0f) << i;
  }
  // The pattern's scale by range: 2, 1, 0.5, 0.25, then 0.125.
  const float scale[] = {2, 1, 0.5f, 0.25f, 0.125f, 0.125f};
  for (int range = 0; range < 6; ++range) {
    script_mirror.zuvadud_D738_EFIS_capt_map_range = static_cast<float>(range);
    update_tcas();
    EXPECT_FLOAT_EQ(TCAS::x[0], 1.2f * scale[range]) << range;
  }
  electric::ac_tnsbus1_status = 0.0f;
  update_tcas();
  EXPECT_EQ(delay_flags.tcas_test_flag, 0.0f);
}

// A live TA (TA ONLY) or RA (TA/RA) ends the test at once: the real traffic
// on both maps, the transponder back in its mode.
TEST_F(Tcas, ALiveAdvisoryEndsTheSelfTest) {
  for (float knob : {4.0f, 5.0f}) {
    SetUp();
    knob::transponder_pos = knob;
    delay_flags.tcas_test_flag = delay_flags.xpndr_test_flag = 1.0f;
    delay_timers.tcas_test_delay = 8.0f;
    // Inside the TA distance of TA ONLY too: the test changes nothing in how
    // traffic is judged.
    for (int c = 0; c < 3; ++c) {
      place(1, 0.25f - 0.001f * static_cast<float>(c), 0.0f, 0.0f);
      run_cycle();
    }
    EXPECT_EQ(delay_flags.tcas_test_flag, 0.0f) << knob;
    EXPECT_EQ(delay_flags.xpndr_test_flag, 0.0f) << knob;
    EXPECT_EQ(EFIS::tcas_test_show, 0.0f) << knob;
    EXPECT_EQ(EFIS::tcas_ai_show[0], 1.0f) << knob;
    EXPECT_EQ(EFIS::tcas_ai_show_fo[0], 1.0f) << knob;
    EXPECT_EQ(EFIS::tcas_ai_show[1], 0.0f) << knob;
    EXPECT_NEAR(TCAS::x[0], 0.0f, 0.05f) << knob;  // dead ahead, not the pattern's
  }
  delay_timers.tcas_test_delay = 0.0f;
}

// ---- the advisory output stage ----

class TcasAdvisory : public Tcas {
 protected:
  // Which message flag is up (code), 0 for none.
  static int raised() {
    using namespace cue_fmodpack;
    const std::pair<float*, int> flags[] = {{&msg_climb_now, 1}, {&msg_climb, 2}, {&msg_increase_climb, 3},
                                            {&msg_descent_now, 4}, {&msg_descent, 5}, {&msg_increase_descent, 6},
                                            {&msg_maint_vert_spd, 8}, {&msg_clear_of_conflict, 9},
                                            {&msg_traffic, 10}, {&msg_mon_vert_spd, 11}, {&msg_adj_vert_spd, 12},
                                            {&msg_cross_climb, 13}, {&msg_cross_descent, 14}};
    int code = 0;
    for (const auto& f : flags) {
      if (*f.first == 1.0f) code = f.second;
    }
    return code;
  }
  // Message codes frame by frame, collapsed into (code, frames) runs.
  static std::vector<std::pair<int, int>> play(int frames) {
    std::vector<std::pair<int, int>> runs;
    for (int i = 0; i < frames; ++i) {
      tcas_resolution_advisory();
      const int c = raised();
      if (runs.empty() || runs.back().first != c) runs.push_back({c, 0});
      ++runs.back().second;
    }
    return runs;
  }
};

TEST_F(TcasAdvisory, ClimbNowAnnouncesClimbThenClimbNow) {
  frame_time = 0.1f;
  tcas_threat.ra_command = ra_cmd::climb_now;
  const auto runs = play(60);
  ASSERT_GE(runs.size(), 5u);
  EXPECT_EQ(runs[0].first, 0);  // the frame that sets up the repeat
  EXPECT_EQ(runs[1].first, 2);
  EXPECT_NEAR(runs[1].second * 0.1f, 1.0f, 0.11f);
  EXPECT_EQ(runs[2], std::make_pair(0, 1));
  EXPECT_EQ(runs[3].first, 1);
  EXPECT_NEAR(runs[3].second * 0.1f, 1.5f, 0.11f);
  EXPECT_EQ(runs[4].first, 0);
  EXPECT_EQ(runs.size(), 5u);
  // Climb after climb now is not announced again.
  tcas_threat.ra_command = ra_cmd::climb;
  EXPECT_EQ(play(30).size(), 1u);
}

TEST_F(TcasAdvisory, ClearOfConflictOnceThenQuiet) {
  frame_time = 0.1f;
  tcas_threat.command_in_force = ra_cmd::climb;
  tcas_threat.ra_command = ra_cmd::clear_of_conflict;
  const auto runs = play(40);
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].first, 9);
  EXPECT_EQ(tcas_threat.ra_command, 0.0f);
  EXPECT_EQ(tcas_threat.command_in_force, 0.0f);
}

TEST_F(TcasAdvisory, NewCommandWaitsForTheMessageToEnd) {
  frame_time = 0.1f;
  tcas_threat.ra_command = ra_cmd::traffic;
  play(3);
  tcas_threat.ra_command = ra_cmd::descend;
  tcas_resolution_advisory();
  EXPECT_EQ(tcas_threat.command_in_force, 13.0f);
  play(20);
  EXPECT_EQ(tcas_threat.command_in_force, 7.0f);
}

// The knob below TA ONLY, the bus off or below 500 ft: nothing sounds. At TA
// ONLY the traffic message plays; a resolution there ends at once, silent.
TEST_F(TcasAdvisory, GatesSilenceEverything) {
  struct Case {
    float knob, bus, radio, command;
    std::vector<std::pair<int, int>> runs;
  };
  const Case cases[] = {{3, 1, 5000, ra_cmd::traffic, {{0, 30}}},
                        {5, 0, 5000, ra_cmd::traffic, {{0, 30}}},
                        {5, 1, 499, ra_cmd::traffic, {{0, 30}}},
                        {4, 1, 499, ra_cmd::traffic, {{0, 30}}},
                        {4, 1, 5000, ra_cmd::traffic, {{10, 6}, {0, 24}}},
                        {4, 1, 5000, ra_cmd::climb, {{0, 30}}}};
  for (const Case& k : cases) {
    SetUp();
    knob::transponder_pos = k.knob;
    electric::ac_tnsbus1_status = k.bus;
    host_mirror.sim_cockpit2_gauges_indicators_radio_altimeter_height_ft_pilot = k.radio;
    tcas_threat.ra_command = k.command;
    EXPECT_EQ(play(30), k.runs) << k.knob << " " << k.command;
    EXPECT_EQ(TCAS::tcas_pfd_ra_up, 0.0f);
    EXPECT_EQ(TCAS::tcas_pfd_ra_dn, 0.0f);
  }
}

TEST_F(TcasAdvisory, BandTargetsFromVerticalSpeed) {
  struct Case {
    float command, vs, captured;
    float up, dn;  // converged band positions; NAN = band off
  };
  const Case cases[] = {
      {ra_cmd::climb, 0, 0, 3, NAN},
      {ra_cmd::climb, 1600, 0, -1, NAN},
      {ra_cmd::climb, 4000, 0, -5, NAN},
      {ra_cmd::descend, 0, 0, NAN, -3},
      {ra_cmd::maintain_climb, 900, 900, -1, NAN},
      {ra_cmd::monitor, -500, -500, -1, 1},
      {ra_cmd::climb, 800, 0, 0, NAN},
      {ra_cmd::descend, -800, 0, NAN, 0},
      {ra_cmd::descend, -4000, 0, NAN, 5},
      {ra_cmd::increase_climb, 0, 0, 5, NAN},
      {ra_cmd::increase_climb, 1300, 0, 0.5f, NAN},
      {ra_cmd::increase_climb, 6000, 0, -7, NAN},
      {ra_cmd::increase_descent, -1300, 0, NAN, -0.5f},
      {ra_cmd::maintain_descend, -1300, 0, NAN, 2.5f},
      {ra_cmd::monitor, 0, 1300, 0.5f, 2.5f},
      {ra_cmd::adjust, 1300, 0, -2.5f, -0.5f},
  };
  for (const Case& k : cases) {
    SetUp();
    frame_time = 0.1f;
    host_mirror.sim_cockpit2_gauges_indicators_vvi_fpm_pilot = k.vs;
    host_mirror.sim_cockpit2_gauges_indicators_vvi_fpm_copilot = k.vs;
    tcas_threat.captured_vs_fpm[0] = tcas_threat.captured_vs_fpm[1] = k.captured;
    tcas_threat.ra_command = k.command;
    TCAS::tcas_pfd_ra_up2 = TCAS::tcas_pfd_ra_dn2 = 99.0f;
    play(300);
    // Both sides follow their own speed to the same place.
    EXPECT_TRUE(std::isnan(k.up) || TCAS::tcas_pfd_ra_up2_fo == TCAS::tcas_pfd_ra_up2) << k.command;
    EXPECT_TRUE(std::isnan(k.dn) || TCAS::tcas_pfd_ra_dn2_fo == TCAS::tcas_pfd_ra_dn2) << k.command;
    EXPECT_EQ(TCAS::tcas_pfd_ra_up, std::isnan(k.up) ? 0.0f : 1.0f) << k.command;
    EXPECT_EQ(TCAS::tcas_pfd_ra_dn, std::isnan(k.dn) ? 0.0f : 1.0f) << k.command;
    if (!std::isnan(k.up)) EXPECT_NEAR(TCAS::tcas_pfd_ra_up2, k.up, 0.01f) << k.command;
    else EXPECT_EQ(TCAS::tcas_pfd_ra_up2, 99.0f);
    if (!std::isnan(k.dn)) EXPECT_NEAR(TCAS::tcas_pfd_ra_dn2, k.dn, 0.01f) << k.command;
    else EXPECT_EQ(TCAS::tcas_pfd_ra_dn2, 99.0f);
  }
  // The band moves toward its target at rate 1.5: 0.15 of the way in 0.1 s.
  SetUp();
  frame_time = 0.1f;
  tcas_threat.ra_command = ra_cmd::climb;
  play(1);
  EXPECT_NEAR(TCAS::tcas_pfd_ra_up2, 0.45f, 1e-4f);
}

}  // namespace
