// The path builder's numbers pinned by geometry and worked values: the
// transition construction, fly-by and DF turn sizing, floating-leg ends, arc
// entries, the direct-to turns, the trace of each decision, and path position
// walked along built paths, arcs and a racetrack. Most left-hand cases are
// also run mirrored across the equator as the right-hand case.
#include <gtest/gtest.h>

#include <cmath>

#include "core/binding.h"
#include "host.h"
#include "lnav/guidance_steps.h"
#include "lnav/path/leg_path.h"
#include "lnav/path/path_position.h"
#include "lnav/path/turn_sizing.h"
#include "lnav/route/route_geometry.h"
#include "lnav/route_fixture.h"

using namespace lnav_fixture;

namespace {

constexpr double kPi = 3.14159265358979;
constexpr double kNm = 1.0 / 60.0;  // degrees of latitude per nm

class PathValues : public ::testing::Test {
 protected:
  void SetUp() override {
    simhost::reset(simhost::Config{});
    clear_route();
    frame_flight_data = FrameFlightData{};
    host_mirror = HostMirror{};
  }
};

// Each of the | separated texts, behind the prefix, is in the log.
void expect_lines(const std::string& log, std::string want, const std::string& prefix) {
  while (!want.empty()) {
    const size_t at = want.find('|');
    EXPECT_NE(log.find(prefix + want.substr(0, at)), std::string::npos) << want.substr(0, at) << "\n" << log;
    want = at == std::string::npos ? "" : want.substr(at + 1);
  }
}

// Mirror across the equator: a left turn becomes the same right turn.
double mlat(double lat, bool mirror) { return mirror ? -lat : lat; }
float mcrs(float c, bool mirror) { return mirror ? std::fmod(540.0f - c, 360.0f) : c; }

// Transitions at P = (0, 1) flown in on 090 with 50 nm of straight before P.
// Positions are nm north (y) and east (x) of P.
TEST_F(PathValues, TransitionConstructionsLeftAndRight) {
  struct Case {
    const char* what;
    float crs_out;
    double n_y, n_x;  // next waypoint
    float dta, radius, straight;  // straight: nm flown before P
    int mode;
    int res;
    float seg1_radius, seg1_dta, seg1_deg, seg3_deg, seg2_nm;
    double end_y, end_x;  // end of the last arc
    const char* left_trace;   // lines (| separated) traced by the left-hand turn
    const char* right_trace;  // and by the right-hand one
  } cases[] = {
      // Quarter circle, anticipation = radius: ends 3 nm up the outbound line.
      {"direct 90", 0.0f, 60.0, 0.0, 3.0f, 3.0f, 50.0f, 0, 0, 3.0f, 3.0f, 90.0f, 0.0f, 0.0f, 3.0, 0.0,
       "Calc CTR mode 3|Direct to next WPT", "Direct to next WPT"},
      // 60 degrees with anticipation r tan 30: ends r tan 30 out on 030.
      {"direct 60", 30.0f, 52.0, 30.0, 1.7320508f, 3.0f, 50.0f, 1, 0, 3.0f, 1.7320508f, 60.0f, 0.0f, 0.0f,
       1.7320508 * std::cos(30.0 * kPi / 180.0), 1.7320508 * 0.5,
       "Calc CTR mode 1|Direct to next WPT", "Direct to next WPT"},
      // Only 1 nm of straight before P: the turn starts there. Mode 0 keeps the
      // radius; mode 1 keeps the circle that fits the full 3 nm anticipation,
      // moved 2 nm forward (radius 3).
      {"short mode 0", 0.0f, 60.0, 3.0, 3.0f, 4.0f, 1.0f, 0, 0, 4.0f, 1.0f, 90.0f, 0.0f, 0.0f, 4.0, 3.0,
       "Calc CTR mode 3|Direct to next WPT", "Direct to next WPT"},
      {"short mode 1", 0.0f, 60.0, 2.0, 3.0f, 4.0f, 1.0f, 1, 0, 3.0f, 1.0f, 90.0f, 0.0f, 0.0f, 3.0, 2.0,
       "Calc CTR mode 2|Direct to next WPT", "Direct to next WPT"},
      {"behind", 0.0f, 60.0, 3.0, 3.0f, 3.0f, -1.0f, 0, 0, 3.0f, 0.0f, 90.0f, 0.0f, 0.0f, 3.0, 3.0,
       "Calc CTR mode 3|Direct to next WPT", "Direct to next WPT"},
      // The next waypoint lies right of the outbound line: the arc is refitted
      // to touch the outbound line from the 2 nm anticipation point (r = 2).
      {"recalc", 0.0f, 60.0, 12.0, 2.0f, 3.0f, 50.0f, 0, 0, 2.0f, 2.0f, 90.0f, 0.0f, 0.0f, 2.0, 0.0,
       "Calc CTR mode 3|Calc CTR mode 5|Recalc to next WPT\n", "Recalc to next WPT, crs temp"},
      // Mode 2 turns onto the next waypoint's own course line (x = 5, 2): no
      // anticipation when that line is crossed beyond it, else as given or
      // limited to the straight plus the distance to the crossing.
      {"mode 2 far", 0.0f, 60.0, 5.0, 3.0f, 3.0f, 50.0f, 2, 0, 5.0f, 0.0f, 90.0f, 0.0f, 0.0f, 5.0, 5.0,
       "Calc CTR mode 5|Recalc to next WPT\n", "Recalc to next WPT, crs temp"},
      {"mode 2 near", 0.0f, 60.0, 2.0, 3.0f, 1.0f, 50.0f, 2, 0, 5.0f, 3.0f, 90.0f, 0.0f, 0.0f, 5.0, 2.0,
       "Calc CTR mode 5|Recalc to next WPT\n", "Recalc to next WPT, crs temp"},
      {"mode 2 short", 0.0f, 60.0, 2.0, 3.0f, 1.0f, 0.5f, 2, 0, 2.5f, 0.5f, 90.0f, 0.0f, 0.0f, 2.5, 2.0,
       "Calc CTR mode 5|Recalc to next WPT\n", "Recalc to next WPT, crs temp"},
      // No anticipation: 45 past the outbound course, straight back on 315,
      // 45 the other way onto it. Straight r (2 - sqrt 2).
      {"s-turn", 0.0f, 60.0, 0.0, 0.0f, 3.0f, 50.0f, 0, 0, 3.0f, 0.0f, 135.0f, 45.0f, 3.0f * (2.0f - 1.41421356f),
       6.0 * 1.41421356, 0.0,
       "Calc CTR mode 3", ""},
      // Reversal in mode 2: a half circle from P whose diameter is the offset
      // of the next waypoint's course line (4 nm).
      {"reversal", 270.0f, 4.0, -30.0, 1.0f, 1.0f, 50.0f, 2, 0, 2.0f, 0.0f, 180.0f, 0.0f, 0.0f, 4.0, 0.0,
       "Calc CTR mode 4|Recalc to next WPT\n", "Recalc to next WPT, crs temp"},
      // Reversal with the next waypoint all but square abeam P: no radius can be
      // formed. Square abeam with a longer anticipation: the S-turn's arcs
      // would overlap and cannot be made to touch the next course line.
      {"reversal abeam", 270.0f, 4.0, -0.05, 0.01f, 1.0f, 50.0f, 2, 1, -1.0f, -1.0f, -1.0f, -1.0f, -1.0f, 0.0, 0.0,
       "Calc CTR mode 3|Recalc to next WPT\n", "Recalc to next WPT, crs temp"},
      {"overlap", 270.0f, 4.0, 0.0, 1.0f, 1.0f, 50.0f, 2, 1, -1.0f, -1.0f, -1.0f, -1.0f, -1.0f, 0.0, 0.0,
       "Calc CTR mode 3|POM1 case 4 Intersect circle", "POM1 case 4 Intersect circle"},
  };
  const double route[][2] = {{0.0, 0.0}, {0.0, 1.0}, {1.0, 1.0}};
  make_route(route, 3);
  const TurnCenterResult& r = turn_center_result;
  for (const Case& c : cases) {
    for (bool mirror : {false, true}) {
      legs_seg_remain_dist[0] = c.straight;
      SCOPED_TRACE(std::string(c.what) + (mirror ? " right" : " left"));
      const auto lat = [&](double y) { return mlat(y * kNm, mirror); };
      const int turn = mirror ? 3 : 2;
      const int res = calc_turn_center(0.0, 1.0, 90.0f, lat(c.n_y), 1.0 + c.n_x * kNm, mcrs(c.crs_out, mirror),
                                       c.dta, c.radius, turn, c.mode, 1, false);
      ASSERT_EQ(res, c.res);
      // The same construction traced: its steps are named in the log.
      simhost::clear_log();
      fms_debug_selector = 9999.0f;
      calc_turn_center(0.0, 1.0, 90.0f, lat(c.n_y), 1.0 + c.n_x * kNm, mcrs(c.crs_out, mirror), c.dta, c.radius, turn,
                       c.mode, 1, false);
      fms_debug_selector = 0.0f;
      const std::string log = simhost::log_text();
      const std::string head = "WPT 1 <W1> <<TF>>: mode: " + std::to_string(c.mode) + ", turn: " +
                               std::to_string(turn) + ", change crs: ";
      EXPECT_NE(log.find(head), std::string::npos) << log;
      EXPECT_NE(log.find(std::string(", opposite dir: no, chg crs 180: ") +
                         (std::fabs(c.crs_out - 90.0f) > 170.0f ? "yes\n" : "no\n")),
                std::string::npos) << log;
      EXPECT_NE(log.find("WPT 1: turn = " + std::to_string(turn) + ", mode = " + std::to_string(c.mode) +
                         ", radius = "),
                std::string::npos) << log;
      EXPECT_NE(log.find("WPT 1: cdta = "), std::string::npos) << log;
      expect_lines(log, mirror ? c.right_trace : c.left_trace, "WPT 1: ");
      if (res != 0) continue;
      EXPECT_NEAR(r.seg1_radius, c.seg1_radius, 0.01f);
      EXPECT_NEAR(r.seg1_dta, c.seg1_dta, 0.01f);
      EXPECT_EQ(r.seg1_turn, turn);
      const double per_deg = c.seg1_radius * kPi / 180.0;
      EXPECT_NEAR(r.seg1_arc_lenght, c.seg1_deg * per_deg, 0.02);
      EXPECT_NEAR(r.seg3_arc_lenght, c.seg3_deg * per_deg, 0.02);
      EXPECT_NEAR(r.seg2_distance, c.seg2_nm, 0.02f);
      // The turn starts the anticipation distance before P, on its circle.
      EXPECT_NEAR(gc_distance_nm(r.seg1_start_lat, r.seg1_start_lon, 0.0, 1.0 - c.seg1_dta * kNm), 0.0f, 0.02f);
      EXPECT_NEAR(gc_distance_nm(r.seg1_ctr_lat, r.seg1_ctr_lon, r.seg1_start_lat, r.seg1_start_lon), c.seg1_radius,
                  0.02f);
      EXPECT_NEAR(gc_distance_nm(r.seg1_ctr_lat, r.seg1_ctr_lon, r.seg1_end_lat, r.seg1_end_lon), c.seg1_radius, 0.02f);
      const bool s_turn = c.seg3_deg > 0.0f;
      const double end_lat = s_turn ? r.seg3_end_lat : r.seg1_end_lat;
      const double end_lon = s_turn ? r.seg3_end_lon : r.seg1_end_lon;
      EXPECT_NEAR(gc_distance_nm(end_lat, end_lon, lat(c.end_y), 1.0 + c.end_x * kNm), 0.0f, 0.02f);
      EXPECT_NEAR(r.seg_remain_dist,
                  gc_distance_nm(end_lat, end_lon, lat(c.n_y), 1.0 + c.n_x * kNm), 0.02f);
      if (s_turn) {
        EXPECT_EQ(r.seg3_turn, mirror ? 2 : 3);
        EXPECT_NEAR(r.seg2_crs_true, mcrs(315.0f, mirror), 0.1f);
        EXPECT_NEAR(gc_distance_nm(r.seg3_ctr_lat, r.seg3_ctr_lon, end_lat, end_lon), c.seg1_radius, 0.02f);
      } else {
        EXPECT_EQ(r.seg3_end_lat, 0.0);
        EXPECT_EQ(r.seg2_end_lat, 0.0);
      }
    }
  }
}

}  // namespace

// Routes whose transitions have every kind of piece, flown at 250 kt.
const double kReversal[][2] = {{0.0, 0.0}, {0.0, 1.0}, {1.0, 1.0}, {0.5, 1.3}, {0.5, 2.3}, {1.5, 2.3}};
const double kReversalOn[][2] = {{0.0, 0.0}, {0.0, 1.0}, {1.0, 1.0}, {0.5, 1.3}, {0.0, 1.6}};
const double kStraightOn[][2] = {{0.0, 0.0}, {0.0, 1.0}, {0.0, 2.0}, {1.0, 2.0}, {1.0, 3.0}};
const double kTight[][2] = {{0.0, 0.0}, {0.0, 1.0}, {0.1, 1.0}, {0.1, 1.3}, {0.5, 1.3}};

void make_mirrored(const double (*pts)[2], int n, bool mirror) {
  double m[8][2];
  for (int k = 0; k < n; ++k) {
    m[k][0] = mirror ? -pts[k][0] : pts[k][0];
    m[k][1] = pts[k][1];
  }
  make_route(m, n);
  build_route();
}

// Walking the built path into waypoint i, every point lies on a piece, the
// along-track distance is the distance walked and the cross-track is zero;
// the pieces come in the order of the transition. In mode 1 (a point that is
// not the aircraft) the first arc is only ever the rest after the waypoint
// radial or the projection onto it.
TEST_F(PathValues, PathPositionWalksEveryPieceInOrder) {
  struct Case {
    const double (*pts)[2];
    int n, leg;
    const char* mode0;
    const char* mode1;
  } cases[] = {
      {kReversal, 6, 2, "13 6 1 9 5", "1 9 5"},
      {kReversal, 6, 3, "13 6 1 2 3 4 5", "1 2 3 4 5"},
      {kReversal, 6, 4, "13 6 1 7", "1 7"},
      {kReversal, 6, 5, "8", "8"},
      {kReversalOn, 5, 3, "13 6 1 2 3 11", "1 2 3 11"},
      {kStraightOn, 5, 2, "10 5", "10 5"},
      {kTight, 5, 2, "13 6 1 9 5", "1 9 5"},
  };
  for (const Case& c : cases) {
    for (bool mirror : {false, true}) {
      make_mirrored(c.pts, c.n, mirror);
      const int32_t i = c.leg;
      const int32_t p = prev_valid_leg(i);
      SCOPED_TRACE("leg " + std::to_string(i) + (mirror ? " mirrored" : ""));
      fms_seq.nav_mode = 5.0f;  // as flown from the transition's first arc
      float& heading_deg = host_mirror.sim_cockpit2_gauges_indicators_heading_AHARS_deg_mag_pilot;
      heading_deg = magvar_course(i);
      ASSERT_NE(leg_geometry(i, 1000.0f), 0);
      path_position_dir(i, p, nav_result.lat, nav_result.lon, 0);
      const float whole = nav_result.along_track;
      // The path into i from p's radial is the waypoint's true distance.
      EXPECT_NEAR(legs_dist_true[i], whole, 0.05f);
      std::string seq[2];
      // The last 3 nm of the path into p, then the path into i.
      for (float d = whole + 2.9f; d > 0.05f; d -= 0.1f) {
        if (d > whole) {
          if (leg_seg_kind(p) == 0) continue;
          leg_geometry(p, d - whole);
          heading_deg = magvar_course(p);  // still flying into p
        } else {
          heading_deg = magvar_course(i);
          leg_geometry(i, d);
        }
        const double lat = nav_result.lat, lon = nav_result.lon;
        for (int mode = 0; mode < 2; ++mode) {
          const int32_t code = path_position_dir(i, p, lat, lon, mode);
          if (mode == 1 && d > whole) continue;
          ASSERT_NE(code, 0) << "d " << d << " mode " << mode;
          if (code != 14) {
            EXPECT_NEAR(nav_result.along_track, d, 0.05f) << "d " << d << " code " << code;
            EXPECT_NEAR(nav_result.cross_track, 0.0f, 0.05f) << "d " << d << " code " << code;
            // On a piece, its own remaining length is part of the way to go.
            EXPECT_GT(path_seg_dist, -0.02f) << "d " << d << " code " << code;
            EXPECT_LT(path_seg_dist, d + 0.02f) << "d " << d << " code " << code;
          }
          const std::string last = seq[mode].substr(seq[mode].rfind(' ') + 1);
          if (last != std::to_string(code)) seq[mode] += " " + std::to_string(code);
        }
      }
      EXPECT_EQ(seq[0].substr(1), c.mode0);
      EXPECT_EQ(seq[1].substr(1), c.mode1);
    }
  }
}

namespace {

// W0 -> W1 on 090, then 30 nm on 090 + change to W2.
void make_turn(double change) {
  const double d2r = kPi / 180.0;
  const double pts[][2] = {{0.0, 0.0},
                           {0.0, 0.5},
                           {0.5 * std::cos((90.0 + change) * d2r), 0.5 + 0.5 * std::sin((90.0 + change) * d2r)},
                           {2.0, 3.0}};
  make_route(pts, 4);
  legs_brg_fin_true[1] = static_cast<float>(90.0 * d2r);
  legs_brg_true[2] = static_cast<float>((90.0 + change) * d2r);
}

// The bank of a fly-by turn by altitude band and course change: 22 degrees
// up to 14,000 ft, half the change (7..22) up to 19,000 ft, at most 15 above;
// the anticipation is r tan(change / 2) below 135 degrees, else r; a turn
// from the waypoint itself has no anticipation and 1.1 times the radius.
TEST_F(PathValues, FlyByTurnBankBandsAndAnticipation) {
  struct Case {
    double change;
    float alt_ft;
    float type;  // legs_type of W1 (5: the turn starts at the waypoint)
    float bank;
    float radius_factor;
    int dta;       // anticipation: 1 r tan(change / 2), 2 r, 0 none
    float demand;  // legs_rad_turn of W2 (-1 free)
  } cases[] = {
      {20.0, 14000.0f, 0.0f, 22.0f, 1.0f, 1, -1.0f},  {20.0, 14001.0f, 0.0f, 10.0f, 1.0f, 1, -1.0f},
      {-20.0, 14001.0f, 0.0f, 10.0f, 1.0f, 1, -1.0f}, {10.0, 16000.0f, 0.0f, 7.0f, 1.0f, 1, -1.0f},
      {60.0, 16000.0f, 0.0f, 22.0f, 1.0f, 1, -1.0f},  {40.0, 19000.0f, 0.0f, 20.0f, 1.0f, 1, -1.0f},
      {40.0, 19001.0f, 0.0f, 15.0f, 1.0f, 1, -1.0f},  {-40.0, 25000.0f, 0.0f, 15.0f, 1.0f, 1, -1.0f},
      {24.0, 25000.0f, 0.0f, 12.0f, 1.0f, 1, -1.0f},  {90.0, 5000.0f, 5.0f, 22.0f, 1.1f, 0, -1.0f},
      {140.0, 5000.0f, 0.0f, 22.0f, 1.0f, 2, -1.0f},  {135.0, 5000.0f, 0.0f, 22.0f, 1.0f, 2, -1.0f},
      {134.0, 5000.0f, 0.0f, 22.0f, 1.0f, 1, -1.0f},   {-150.0, 5000.0f, 0.0f, 22.0f, 1.0f, 2, -1.0f},
      // From the waypoint at 10 degrees the turn overshoots: retried at 22.
      {20.0, 16000.0f, 5.0f, 22.0f, 1.1f, 0, -1.0f},  {40.0, 16000.0f, 0.0f, 20.0f, 1.0f, 1, 3.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.change) + " deg at " + std::to_string(c.alt_ft) + " ft");
    make_turn(c.change);
    legs_alt_calc[1] = c.alt_ft;
    legs_type[1] = c.type;
    legs_rad_turn[2] = c.demand;
    calc_legs_path(0, 0);
    ASSERT_EQ(calc_legs_path(1, 0), 2);
    const float r = c.radius_factor * turn_radius_nm(c.bank, leg_turn_speed(1, static_cast<float>(c.change), 20.0f));
    EXPECT_NEAR(legs_seg1_radius[1], r, 0.002f * r);
    EXPECT_NEAR(legs_radii_radius[1], r, 0.002f * r);
    const float dta = c.dta == 1 ? r * static_cast<float>(std::tan(std::fabs(c.change) / 2.0 * kPi / 180.0))
                                 : (c.dta == 2 ? r : 0.0f);
    EXPECT_NEAR(legs_seg1_dta[1], dta, 0.002f * r);
    EXPECT_EQ(legs_turn[1], c.demand > 0.0f ? c.demand : (c.change < 0.0 ? 2.0f : 3.0f));
  }
}

}  // namespace

namespace {

const double kSquare[][2] = {{0.0, 0.0}, {0.0, 1.0}, {1.0, 1.0}, {1.0, 2.0}, {2.0, 2.0}};

// Square corners are quarter circles split at the waypoint's radial: the
// flown distance between two corners is the leg less both anticipations
// (r tan 45 = r) plus an eighth of each circle.
TEST_F(PathValues, TrueDistanceBetweenSquareCorners) {
  for (bool mirror : {false, true}) {
    make_mirrored(kSquare, 5, mirror);
    const float r1 = legs_seg1_radius[1], r2 = legs_seg1_radius[2];
    ASSERT_GT(r1, 1.0f);
    EXPECT_NEAR(legs_seg1_dta[1], r1, 0.01f);
    EXPECT_NEAR(legs_wpt_arc_dist[1], r1 * kPi / 4.0, 0.01f);
    EXPECT_NEAR(legs_seg1_arc_lenght[1], r1 * kPi / 2.0, 0.01f);
    EXPECT_NEAR(legs_dist_true[2], legs_dist[2] - r1 - r2 + (r1 + r2) * kPi / 4.0, 0.02f);
  }
}

// A direct-to from (0, 0) heading north to W1, w_dist nm away on w_brg, with
// W2.. 15, 35, 55 nm east of it; traced.
void start_direct(double w_brg, double w_dist) {
  gc_destination(0.0, 0.0, w_brg, w_dist);
  const double wl = nav_result.lat, wo = nav_result.lon;
  const double pts[][2] = {
      {wl - 50.0 * kNm, wo}, {wl, wo}, {wl, wo + 15.0 * kNm}, {wl, wo + 35.0 * kNm}, {wl, wo + 55.0 * kNm}};
  make_route(pts, 5);
  dir_start_lat = 0.0f;
  dir_start_lon = 0.0f;
  dir_init_crs = 0.0f;
  legs_direct[1] = 1.0f;
  fms_seq.intdir_act = 3.0f;
  host_mirror.sim_flightmodel_position_groundspeed = 128.6f;
  route_change_values.intdir_crs = -1.0f;
  fms_debug_selector = 99999.0f;
}
// The builder's trace, selector 9999 (99999 for a direct-to), names each
// decision of a pass.
TEST_F(PathValues, BuilderTraceNamesEachDecision) {
  struct Case {
    const char* what;
    void (*build)();
    const char* lines;  // | separated
  } cases[] = {
      {"square into a hold",
       [] {
         make_route(kSquare, 5);
         set_text(route_tables.leg_path_types[3], "HM");
         fms_debug_selector = 9999.0f;
         build_route();
       },
       "WPT 1 <W1>: enable_calc_turn 5, disable_calc: 0, xabs_next_rel_brg: 90.000000, xact_crs: 90.000000, "
       "xnext_crs: 0.000000\n\n|WPT 1 <W1> -> <W2> <<TF>>  Calc mode 1\n|"
       "WPT 1 <W1>: Connected to WPT 2 <W2>  (5) - mode1\n\n|WPT 1: Distance true for WPT 2 (PREV 1): 59.4|"
       "WPT 1: Legs bypass for WPT 2: 0.000000\n\n|WPT 2 <W2>: Skipped to WPT 3 <W3> (disable_calc 0) \n\n|"
       "WPT 2: Next wpt is HOLD -> entry pattern = 0.000000\n\n|WPT 3: Distance true for WPT 3 (PREV 2): 0.000000\n|"
       "WPT 3 <W3>: Skipped to WPT 4 <W4>\n\n"},
      {"DF fix inside the turn",
       [] {
         const double df[][2] = {{0.0, 0.0}, {0.0, 0.5}, {-0.02, 0.49}, {-1.0, 0.6}, {-2.0, 0.6}};
         make_route(df, 5);
         set_text(route_tables.leg_path_types[2], "DF");
         fms_debug_selector = 9999.0f;
         build_route();
       },
       "WPT 1 <W1>: Bypass for WPT 2 <W2> (6)\n|Change turn YES - calc_turn_crs:|"
       "WPT 1 <W1> -> <W3> <<TF>>  Calc mode 2 after bypass\n|WPT 1 <W1>: Connected to WPT 3 <W3>  (6) - mode2\n|"
       "WPT 1 <W1>: enable_calc_turn 0, disable_calc: 2, "},
      {"150 degrees",
       [] {
         make_turn(150.0);
         fms_debug_selector = 9999.0f;
         calc_legs_path(0, 0);
         calc_legs_path(1, 0);
       },
       "WPT 1 <W1> -> <W2> <<TF>> Calc mode 2\n|WPT 1 <W1>: Connected to WPT 2 <W2>  (5) - mode0\n"},
      {"course leg next",
       [] {
         make_turn(60.0);
         set_text(route_tables.leg_path_types[2], "CF");
         fms_debug_selector = 9999.0f;
         calc_legs_path(0, 0);
         calc_legs_path(1, 0);
       },
       "WPT 1 <W1> -> <W2> <<CF>>  Calc mode 2\n|WPT 1 <W1>: Connected to WPT 2 <W2>  (6) - mode2\n"},
      {"climb legs",
       [] {
         const double ca[][2] = {{0.0, 0.0}, {0.0, 0.5}, {0.0, 0.6}, {0.0, 2.0}};
         make_route(ca, 4);
         set_text(route_tables.leg_path_types[2], "CA");
         legs_alt_rest1[2] = 4000.0f;
         fms_debug_selector = 9999.0f;
         legs_alt_calc[1] = 1000.0f;
         calc_legs_path(1, 0);
         legs_alt_calc[1] = 5000.0f;
         calc_legs_path(1, 0);
       },
       "WPT 1: Recalc WPT 2 (prev alt <), clb_distance = 4.16|, delta_alt = 3000.000000 \n\n|"
       "WPT 1: Recalc WPT 2 (prev alt >)\n"},
      {"fly-by retried, then a waypoint behind passed by",
       [] {
         const double pts[][2] = {{0.0, 0.0}, {0.0, 0.5}, {0.001, 0.499}, {0.5, 1.0}, {0.5, 2.0}, {0.5, 3.0}};
         make_route(pts, 6);
         leg_pass = LegPassFrame{};
         leg_pass.i = 1;
         leg_pass.j = 2;
         leg_pass.xact_crs = 90.0f;
         leg_pass.xnext_rel_brg = leg_pass.xabs_next_rel_brg = 170.0f;
         fms_debug_selector = 9999.0f;
         legpath::bypass_search(1, 2, 3);
       },
       "Trying for WPT 1 <W1> again Calc mode 2 (5)\n|Change turn NO - calc_turn_crs:|"
       "WPT 1 <W1> -> <W2> <<TF>> Calc mode 2 after bypass\n|WPT 1 <W1>: Bypass for WPT 2 <W2> (5)\n|"
       "Change turn YES - calc_turn_crs:|WPT 1 <W1>: Connected to WPT 3 <W3>  (5) mode2\n\n"},
      {"passed-by waypoints",
       [] {
         const double line[][2] = {{0.0, 0.0}, {0.0, 1.0}, {0.0, 2.0}, {0.0, 3.0}, {0.0, 4.0}, {0.0, 5.0}};
         make_route(line, 6);
         build_route();
         legs_bypass[2] = legs_bypass[3] = 1.0f;
         legs_dist_true[4] = 180.0f;
         fms_debug_selector = 3333.0f;
         bp_true_distance(2, 1, 4);
         bp_true_distance(3, -1, 4);
       },
       "Calculation true distance for BP WPT: 2 <W2>\n|- from WPT 1 <W1> to WPT 4 <W4>\n|"
       "- Old true distance for next not BP: 4 <W4> = 180.000000\n|- Abeam_dist_calc = 120.0|, Region = 8\n|"
       "- New true distance for next not BP: 4 <W4> = 120.0|- New true distance for: 2 <W2> = 59.9|"
       "- from WPT -1 <PPOS> to WPT 4 <W4>\n"},
      {"direct-to turn", [] {
         start_direct(60.0, 30.0);
         calc_legs_path(1, 1);
       },
       "Direct to WPT 1 <W1>: Act crs: 0.000000, Next crs:|- dir_seg1_start_angle: 270.000000, dir_seg1_end_angle:|"
       "- dir_seg1_radius: 2.479|, dir_seg1_turn:3.000000\n|- dir_seg1_arc_lenght: |, dir_seg_remain_dist:"},
      {"direct-to straight", [] {
         start_direct(4.0, 30.0);
         calc_legs_path(1, 1);
       },
       "Direct to WPT 2 <W2>: Init crs: 0.000000, Target crs:4.000000\n"},
      {"direct-to waypoint inside the turn", [] {
         start_direct(90.0, 0.5);
         calc_legs_path(1, 1);
       },
       "WPT 1 <W1>: Bypass for WPT 1 <W1> (6)\n|WPT 1 <W1> -> <W2> <<TF>>  Calc mode 2 after bypass\n|"
       "Change turn YES - calc_turn_crs:90.000000, xnext_rel_brg:90.000000\n|"
       "WPT 1 <W1>: Direct To - Connected to WPT 2 <W2>  (6) - mode2\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    simhost::clear_log();
    c.build();
    fms_debug_selector = 0.0f;
    expect_lines(simhost::log_text(), c.lines, "");
  }
}

// The side from the following leg's demand, and whether the turn then runs
// against the course change; such a turn banks 22 with anticipation r.
TEST_F(PathValues, TurnSideFromTheDemandAndOppositeSizing) {
  struct Side {
    float demand, rel;
    int side;
    bool opposite;
  } sides[] = {{-1.0f, -40.0f, 2, false}, {-1.0f, 0.0f, 3, false}, {0.0f, 40.0f, 2, true}, {2.0f, -40.0f, 2, false},
               {1.0f, -40.0f, 3, true},   {3.0f, 40.0f, 3, false}, {3.0f, -40.0f, 3, true}, {7.0f, -40.0f, 2, false},
               {2.0f, 40.0f, 2, true}};
  make_turn(40.0);
  legs_alt_calc[1] = 16000.0f;
  for (const Side& c : sides) {
    legs_rad_turn[2] = c.demand;
    int side = 0;
    bool opposite = false;
    legpath::turn_side(2, c.rel, side, opposite);
    EXPECT_EQ(side, c.side) << c.demand << " " << c.rel;
    EXPECT_EQ(opposite, c.opposite) << c.demand << " " << c.rel;
    legpath::TurnSizing t{};
    legpath::size_turn(t, 1, 2, c.rel, true, opposite);
    const float bank = opposite ? 22.0f : std::fmax(7.0f, std::fabs(c.rel) / 2.0f);
    const float r = turn_radius_nm(bank, leg_turn_speed(1, c.rel, 20.0f));
    EXPECT_NEAR(t.radius, r, 0.002f * r) << c.demand << " " << c.rel;
    EXPECT_NEAR(t.dta, opposite ? r : r * std::tan(std::fabs(c.rel) / 2.0 * kPi / 180.0), 0.002f * r)
        << c.demand << " " << c.rel;
  }
}

}  // namespace

namespace {

// The active climb leg's end: 3000 ft/min at the ground speed (in the air,
// above 50 ft radio) or at least the previous leg's speed and altitude (below),
// less the distance still to fly to its start (only above 20 ft radio), or
// plus the distance already flown past it.
TEST_F(PathValues, ActiveClimbLegByRadioAltitude) {
  const double pts[][2] = {{0.0, 0.0}, {0.0, 0.3}, {0.0, 1.0}, {0.0, 2.0}};
  const double air = 60.0 * 100.0 / 1852.0;              // 2000 ft at 100 m/s
  const double low = 2.0 / 3.0 * 60.0 * 128.61111 / 1852.0;  // 2000 ft at 250 kt
  struct Case {
    float radio_ft;
    double lat, lon;  // aircraft; W0 at (0, 0), the leg runs east
    double climb_nm;
  } cases[] = {
      {1000.0f, 0.0, -0.01, air - 0.6}, {51.0f, 0.0, -0.01, air - 0.6}, {50.0f, 0.0, -0.01, low - 0.6},
      {21.0f, 0.0, -0.01, low - 0.6},   {20.0f, 0.0, -0.01, low},       {1000.0f, 0.0, 0.01, air + 0.6},
      {10.0f, 0.0, 0.01, low + 0.6},
      // Off the course line only the distance along it counts.
      {1000.0f, 0.02, -0.01, air - 0.6}, {1000.0f, -0.02, 0.01, air + 0.6}, {1000.0f, -0.025, 0.005, air + 0.3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.radio_ft) + " ft at " + std::to_string(c.lat) + " " + std::to_string(c.lon));
    make_route(pts, 4);
    set_text(route_tables.leg_path_types[1], "CA");
    fms_seq.vnav_idx = fms_seq.vnav_idx_seq = 2.0f;
    legs_alt_rest1[1] = 5000.0f;
    legs_alt_calc[0] = 3000.0f;
    frame_flight_data.radio_alt_ft = c.radio_ft;
    frame_flight_data.alt_ft = 2000.0f;
    host_mirror.sim_flightmodel_position_groundspeed = 100.0f;
    host_mirror.sim_flightmodel_position_latitude = c.lat;
    host_mirror.sim_flightmodel_position_longitude = c.lon;
    calc_legs_path(1, 0);
    EXPECT_NEAR(legs_dist[1], c.climb_nm, 0.01);
    EXPECT_NEAR(legs_lon[1] * 60.0, c.climb_nm, 0.01);
  }
}

}  // namespace

namespace {

// A climb leg already above its restriction ends where the turn onto its
// course ends: on the turn circle (radius 1.1 x the 20-degree radius) that
// touches the inbound course at the waypoint, or, after an intercept, slid
// along the new course by the turn's anticipation plus 0.1 nm.
TEST_F(PathValues, ClimbLegStartsWhereTheTurnOntoItEnds) {
  struct Case {
    double change;
    float demand;  // legs_rad_turn of the climb leg
    const char* before;
    double sweep;    // degrees turned, signed (left negative); 0: no turn
    int slide;       // after an intercept: 1 r tan(t/2) + 0.1, 2 r + 0.1
  } cases[] = {
      {60.0, -1.0f, "TF", 60.0, 0},   {-60.0, -1.0f, "TF", -60.0, 0}, {60.0, 2.0f, "TF", -300.0, 0},
      {-60.0, 1.0f, "TF", 300.0, 0},  {-60.0, 3.0f, "TF", 300.0, 0}, {60.0, 0.0f, "TF", -300.0, 0},
      {4.9, -1.0f, "TF", 0.0, 0},     {60.0, -1.0f, "CI", 0.0, 1},
      {150.0, -1.0f, "CI", 0.0, 2},   {60.0, 2.0f, "CI", 0.0, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.change) + " " + c.before + " demand " + std::to_string(c.demand));
    make_turn(c.change);
    set_text(route_tables.leg_path_types[1], c.before);
    set_text(route_tables.leg_path_types[2], "CA");
    legs_rad_turn[2] = c.demand;
    legs_alt_calc[1] = 5000.0f;
    legs_alt_rest1[2] = 4000.0f;
    calc_legs_path(1, 0);
    const float r = 1.1f * turn_radius_nm(20.0f, leg_turn_speed(1, static_cast<float>(c.change), 20.0f));
    const double out = 90.0 + c.change;
    double d = 0.0, b = out;
    if (c.slide == 1) d = r * std::tan(std::fabs(c.change) / 2.0 * kPi / 180.0) + 0.1;
    if (c.slide == 2) d = r + 0.1;
    if (c.sweep != 0.0) {
      d = 2.0 * r * std::fabs(std::sin(c.sweep / 2.0 * kPi / 180.0));
      b = 90.0 + c.sweep / 2.0;
    }
    const float got = gc_distance_nm(0.0, 0.5, legs_lat[2], legs_lon[2]);
    EXPECT_NEAR(got, d, 0.01);
    if (d > 0.0) {
      EXPECT_NEAR(std::remainder(gc_bearing(0.0, 0.5, legs_lat[2], legs_lon[2]) - b, 360.0), 0.0, 0.3);
    }
  }
}

}  // namespace

namespace {

// The display route's direct-to turn from the aircraft at (0, 0) to its
// waypoint 2, 20 nm east: side by the relative bearing beyond 5 degrees, bank
// 20 up to 18,800 ft and 10 above, radius 1.1 x the turn radius at the
// ground speed, centre square to the heading.
TEST_F(PathValues, DisplayRouteDirectToTurnSizes) {
  struct Case {
    float heading, alt_ft, gs_mps;
    float turn;  // 2 left, 3 right
    float bank;  // 0: no turn
  } cases[] = {
      {0.0f, 18800.0f, 128.6f, 3.0f, 20.0f}, {0.0f, 18801.0f, 128.6f, 3.0f, 10.0f},
      {180.0f, 10000.0f, 128.6f, 2.0f, 20.0f}, {84.9f, 10000.0f, 128.6f, 3.0f, 20.0f},
      {95.1f, 10000.0f, 128.6f, 2.0f, 20.0f},  {85.1f, 10000.0f, 128.6f, 2.0f, 0.0f},
      {0.0f, 10000.0f, 0.0f, 2.0f, 0.0f},
  };
  DisplayRoute& cpt = display_routes[0];
  cpt.count = 6.0f;
  for (int k = 0; k < 6; ++k) {
    cpt.lat[k] = 0.0f;
    cpt.lon[k] = static_cast<float>(10.0 * k * kNm);
  }
  set_mirror_f(bound::zuvadud_D738_fms_rte12_act, 1.0f);
  fms_copies.intdir_rte = 1.0f;
  fms_copies.vnav_idx_mod = 3.0f;
  fms_seq.intdir = 1.0f;
  active_route_side = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.heading) + " at " + std::to_string(c.alt_ft));
    direct_turn_mod = DirectTurnMod{};
    host_mirror.sim_flightmodel_position_groundspeed = c.gs_mps;
    host_mirror.sim_cockpit2_gauges_indicators_heading_AHARS_deg_mag_pilot = c.heading;
    host_mirror.sim_cockpit2_gauges_indicators_altitude_ft_pilot = c.alt_ft;
    intdir_turn();
    EXPECT_EQ(direct_turn_mod.turn, c.turn);
    if (c.bank == 0.0f) {
      EXPECT_EQ(direct_turn_mod.radius, 0.0f);
      EXPECT_EQ(direct_turn_mod.track, -1.0f);
      EXPECT_EQ(intdir_end_lat_mod, 0.0f);
      EXPECT_EQ(intdir_end_lon_mod, 0.0f);
      continue;
    }
    const float r = 1.1f * turn_radius_nm(c.bank, c.gs_mps * 1.94384449f);
    EXPECT_NEAR(direct_turn_mod.radius, r, 1e-3f * r);
    const double side = c.heading + (c.turn == 3.0f ? 90.0 : 270.0);
    gc_destination(0.0, 0.0, side, r);
    EXPECT_NEAR(gc_distance_nm(nav_result.lat, nav_result.lon, direct_turn_mod.ctr_lat, direct_turn_mod.ctr_lon), 0.0f,
                0.01f);
    // The turn ends on its circle, on the course to the waypoint.
    const double end_lat = intdir_end_lat_mod, end_lon = intdir_end_lon_mod;
    EXPECT_NEAR(gc_distance_nm(direct_turn_mod.ctr_lat, direct_turn_mod.ctr_lon, end_lat, end_lon), r, 0.01f);
    EXPECT_NEAR(std::remainder(gc_bearing(end_lat, end_lon, 0.0, 20.0 * kNm) - direct_turn_mod.track, 360.0), 0.0,
                0.3);
  }
  // On the ground the course is the display route's leg into its waypoint;
  // the first waypoint has no leg into it.
  on_ground = 1;
  intdir_turn();
  EXPECT_NEAR(direct_turn_mod.track, 90.0f, 0.01f);
  EXPECT_EQ(direct_turn_mod.radius, 0.0f);
  fms_copies.vnav_idx_mod = 1.0f;
  intdir_turn();
  EXPECT_EQ(direct_turn_mod.track, -1.0f);
  on_ground = 0;
}

}  // namespace
namespace {

// A 120-degree turn started 3 nm early with a 2 nm radius: the S-turn's two
// circles would overlap, so they are made to touch (centres 4 nm apart, the
// first arc ending where they meet) with no straight between them, and the
// second arc ends on the outbound course line through P.
TEST_F(PathValues, TouchingArcsOfAnOverlappingSTurn) {
  const double route[][2] = {{0.0, 0.0}, {0.0, 1.0}, {1.0, 1.0}};
  make_route(route, 3);
  legs_seg_remain_dist[0] = 50.0f;
  const TurnCenterResult& r = turn_center_result;
  for (bool mirror : {false, true}) {
    SCOPED_TRACE(mirror ? "right" : "left");
    simhost::clear_log();
    fms_debug_selector = 9999.0f;
    ASSERT_EQ(calc_turn_center(0.0, 1.0, 90.0f, mlat(20.0 * kNm, mirror), 1.0 - 30.0 * kNm, mcrs(330.0f, mirror), 3.0f,
                               2.0f, mirror ? 3 : 2, 0, 1, false),
              0);
    fms_debug_selector = 0.0f;
    expect_lines(simhost::log_text(),
                 mirror ? "POM1 case 4 Intersect circle|CTR2 mode 2"
                        : "POM1 case 4 Intersect circle|CTR2 intersect circle/line line|CTR2 mode 2|"
                          "Angle2 start, end: ",
                 "WPT 1: ");
    if (!mirror) expect_lines(simhost::log_text(), "INTC1 lat,lon: |INTC2 lat,lon: ", "");
    EXPECT_NEAR(gc_distance_nm(r.seg1_ctr_lat, r.seg1_ctr_lon, r.seg3_ctr_lat, r.seg3_ctr_lon), 4.0f, 0.02f);
    EXPECT_NEAR(gc_distance_nm(r.seg1_end_lat, r.seg1_end_lon, r.seg3_ctr_lat, r.seg3_ctr_lon), 2.0f, 0.02f);
    EXPECT_NEAR(gc_distance_nm(r.seg1_end_lat, r.seg1_end_lon, r.seg1_ctr_lat, r.seg1_ctr_lon), 2.0f, 0.02f);
    EXPECT_EQ(r.seg2_end_lat, 0.0);
    EXPECT_EQ(r.seg2_distance, 0.0f);
    EXPECT_NEAR(std::remainder(gc_bearing(0.0, 1.0, r.seg3_end_lat, r.seg3_end_lon) - mcrs(330.0f, mirror), 360.0), 0.0,
                0.2);
    EXPECT_NEAR(r.seg3_end_angle, mcrs(240.0f, mirror), 0.01f);
    EXPECT_GT(r.seg3_arc_lenght, 0.0f);
  }
}

}  // namespace

namespace {

// DME and radial legs after a 90-degree turn at W1 (0, 0.5) off an eastbound
// leg: the leg starts where the turn (radius 1.1 x the 20-degree radius, 22
// for a radial leg) ends, r east of W1 and r along the new course, and ends at
// the nearer crossing ahead of that start, else back on W1. x, y: nm east and
// north of W1.
TEST_F(PathValues, DmeAndRadialLegEnds) {
  struct Case {
    const char* type;
    double south;       // +1 the leg runs south (right turn), -1 north (left)
    double ref_x, ref_y;  // DME centre or radial start
    float value;        // DME radius or radial course
    int end;            // 0 on W1, 1 on the DME circle, 2 on the radial (east)
  } cases[] = {
      {"VD", 1.0, 0.0, -40.0, 10.0f, 1},  {"CD", -1.0, 0.0, 40.0, 10.0f, 1},  {"VD", 1.0, 0.0, -2.0, 10.0f, 1},
      {"CD", 1.0, 0.0, 40.0, 10.0f, 0},   {"VR", 1.0, -20.0, -30.0, 90.0f, 2}, {"CR", -1.0, -20.0, 30.0, 90.0f, 2},
      {"VR", 1.0, -20.0, 30.0, 90.0f, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.type) + (c.south > 0 ? " south" : " north") + " " + std::to_string(c.ref_y));
    const double pts[][2] = {{0.0, 0.0}, {0.0, 0.5}, {-0.5 * c.south, 0.5}, {-1.0 * c.south, 0.5}};
    make_route(pts, 4);
    set_text(route_tables.leg_path_types[2], c.type);
    legs_rad_lat[2] = static_cast<float>(c.ref_y * kNm);
    legs_rad_lon[2] = static_cast<float>(0.5 + c.ref_x * kNm);
    legs_hold_dist[2] = c.value;
    calc_legs_path(1, 0);
    const float change = c.south > 0 ? 90.0f : -90.0f;
    const double r =
        1.1 * turn_radius_nm(c.type[1] == 'R' ? 22.0f : 20.0f, leg_turn_speed(1, change, 20.0f));
    double x = 0.0, y = 0.0;
    if (c.end == 1) {
      x = r;
      const double half = std::sqrt(100.0 - (x - c.ref_x) * (x - c.ref_x));
      // The first crossing ahead of the start (at y = -r south, r north).
      const double start_y = -c.south * r, near = c.ref_y + c.south * half;
      y = (near - start_y) * c.south < 0.0 ? near : c.ref_y - c.south * half;
    } else if (c.end == 2) {
      x = r;
      y = c.ref_y;
    }
    EXPECT_NEAR(gc_distance_nm(legs_lat[2], legs_lon[2], y * kNm, 0.5 + x * kNm), 0.0f, 0.02f);
    EXPECT_NEAR(legs_dist[2], std::hypot(x, y), 0.02f);
  }
}

}  // namespace

namespace {

// The DF courses of the waypoint just behind the active leg are cleared by its
// pass, unless it is (or was) a DF leg or a direct-to intercept is active;
// the next waypoint's are cleared by every pass.
TEST_F(PathValues, DfCoursesClearedBehindTheActiveLeg) {
  struct Case {
    float vnav_idx, intdir_act;
    const char* type;
    const char* prev_type;
    bool cleared;
  } cases[] = {
      {2.0f, 0.0f, "TF", "TF", true},  {3.0f, 0.0f, "TF", "TF", false}, {2.0f, 1.0f, "TF", "TF", false},
      {2.0f, 0.0f, "DF", "TF", false}, {2.0f, 0.0f, "TF", "DF", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.vnav_idx) + " " + c.type + " " + c.prev_type);
    make_route(kSquare, 5);
    set_text(route_tables.leg_path_types[1], c.type);
    set_text(route_tables.prev_leg_path_types[1], c.prev_type);
    fms_seq.vnav_idx = c.vnav_idx;
    fms_seq.intdir_act = c.intdir_act;
    legs_df_crs[1] = legs_df_crs_fin[1] = 123.0f;
    legs_df_crs[2] = legs_df_crs_fin[2] = 45.0f;
    legs_direct[2] = 1.0f;
    on_ground = c.intdir_act == 1.0f ? 1 : 0;  // the direct-to flag of the next leg stays on the ground
    calc_legs_path(1, 0);
    EXPECT_EQ(legs_direct[2], on_ground ? 1.0f : 0.0f);
    on_ground = 0;
    EXPECT_EQ(legs_df_crs[1], c.cleared ? -1.0f : 123.0f);
    EXPECT_EQ(legs_df_crs_fin[1], c.cleared ? -1.0f : 123.0f);
    EXPECT_EQ(legs_df_crs[2], -1.0f);
    EXPECT_EQ(legs_df_crs_fin[2], -1.0f);
  }
}

}  // namespace

namespace {

// Around a racetrack (fix (0, 1), inbound 090, 1.5 nm turns, 5 nm legs) the
// lap distance to the fix falls evenly: the turn at the fix, the outbound
// leg, the far turn, the inbound leg, each reported as its own piece, on
// both hold sides.
TEST_F(PathValues, RacetrackLapDistanceFallsEvenly) {
  const double r = 1.5, len = 5.0, half = kPi * r, lap = 2.0 * (len + half);
  const double route[][2] = {{0.0, 0.0}, {0.0, 1.0}, {0.0, 2.0}};
  for (bool mirror : {false, true}) {
    SCOPED_TRACE(mirror ? "left-hand" : "right-hand");
    make_route(route, 3);
    set_text(route_tables.leg_path_types[1], "HM");
    hold_pattern = HoldPatternArrays{};
    fms_seq.hold_phase = 0.0f;
    HoldPatternArrays& h = hold_pattern;
    const auto at = [&](double y, double x) { return std::pair<double, double>{mlat(y * kNm, mirror), 1.0 + x * kNm}; };
    const auto radial = [&](double deg) { return static_cast<float>(mirror ? std::fmod(540.0 - deg, 360.0) : deg); };
    h.hold_radius[1] = static_cast<float>(r);
    h.hold_leg_len[1] = static_cast<float>(len);
    h.hold_crs_true[1] = 90.0f;
    h.hold_side_away[1] = radial(0.0);
    h.hold_side[1] = radial(180.0);
    h.hold_ctr1_lat[1] = static_cast<float>(at(-r, 0.0).first);
    h.hold_ctr1_lon[1] = 1.0f;
    h.hold_ctr2_lat[1] = h.hold_ctr1_lat[1];
    h.hold_ctr2_lon[1] = static_cast<float>(at(-r, -len).second);
    h.hold_far_lat[1] = static_cast<float>(at(-2.0 * r, -len).first);
    h.hold_far_lon[1] = h.hold_ctr2_lon[1];
    legs_rad_turn[1] = mirror ? 2.0f : 3.0f;
    std::string seq;
    for (double q = 0.05; q < lap; q += 0.1) {
      // Position (nm north, east of the fix) and heading at lap distance q.
      double y, x, hdg;
      if (q < half) {
        const double a = q / r;
        y = -r + r * std::cos(a), x = r * std::sin(a), hdg = 90.0 + a * 180.0 / kPi;
      } else if (q < half + len) {
        y = -2.0 * r, x = -(q - half), hdg = 270.0;
      } else if (q < 2.0 * half + len) {
        const double a = (q - half - len) / r;
        y = -r - r * std::cos(a), x = -len - r * std::sin(a), hdg = 270.0 + a * 180.0 / kPi;
      } else {
        y = 0.0, x = -len + (q - 2.0 * half - len), hdg = 90.0;
      }
      host_mirror.sim_cockpit2_gauges_indicators_heading_AHARS_deg_mag_pilot = radial(hdg);
      const auto p = at(y, x);
      const int32_t code = path_position_hold(1, 0, p.first, p.second, 0);
      ASSERT_NE(code, 0) << q;
      EXPECT_NEAR(nav_result.along_track, lap - q, 0.03) << "q " << q << " code " << code;
      const std::string c = std::to_string(code);
      if (seq.size() < 3 || seq.substr(seq.size() - 3) != c) seq += " " + c;
    }
    EXPECT_EQ(seq, " 301 302 303 300");
  }
}

}  // namespace

namespace {

// A DME arc of 10 nm about (0, 1), clockwise from its west point to its north
// point (mirrored: counter-clockwise to its south point), joined and left by
// fly-by turns. Walking the built path: the straight and the turn into the
// arc's first fix, the entry turn and the arc (the arc's end is flown by),
// then the leg after the exit turn; along-track is the distance walked.
TEST_F(PathValues, ArcLegPathWalk) {
  for (bool mirror : {false, true}) {
    SCOPED_TRACE(mirror ? "counter-clockwise" : "clockwise");
    const double s = mirror ? -1.0 : 1.0;
    const double pts[][2] = {{0.0, 1.0 - 50.0 * kNm},       {0.0, 1.0 - 30.0 * kNm},
                             {0.0, 1.0 - 10.0 * kNm},       {s * 10.0 * kNm, 1.0},
                             {s * 24.0 * kNm, 1.0 + 14.0 * kNm}, {s * 38.0 * kNm, 1.0 + 28.0 * kNm}};
    make_route(pts, 6);
    set_text(route_tables.leg_path_types[3], "AF");
    legs_rad_lat[3] = 0.0f;
    legs_rad_lon[3] = 1.0f;
    legs_radius[3] = 10.0f;
    legs_rad_turn[3] = mirror ? 2.0f : 3.0f;
    build_route();
    const char* expected[] = {"10 5", "101 100 102", "1 7"};
    for (int i = 2; i <= 4; ++i) {
      const int32_t p = prev_valid_leg(i);
      host_mirror.sim_cockpit2_gauges_indicators_heading_AHARS_deg_mag_pilot = magvar_course(i);
      ASSERT_NE(leg_geometry(i, 1000.0f), 0);
      const auto code_at = [&](double lat, double lon) {
        return i == 3 ? path_position_arc(i, p, lat, lon) : path_position_dir(i, p, lat, lon, 0);
      };
      code_at(nav_result.lat, nav_result.lon);
      const float whole = nav_result.along_track;
      EXPECT_NEAR(legs_dist_true[i], whole, 0.05f) << i;
      std::string seq;
      for (float d = whole - 0.1f; d > 0.05f; d -= 0.1f) {
        leg_geometry(i, d);
        const int32_t code = code_at(nav_result.lat, nav_result.lon);
        ASSERT_NE(code, 0) << i << " d " << d;
        const std::string c = " " + std::to_string(code);
        if (seq.size() < c.size() || seq.compare(seq.size() - c.size(), c.size(), c) != 0) seq += c;
        EXPECT_NEAR(nav_result.along_track, d, 0.05f) << i << " d " << d << " code " << code;
        EXPECT_NEAR(nav_result.cross_track, 0.0f, 0.05f) << i << " d " << d << " code " << code;
      }
      EXPECT_EQ(seq.substr(1), expected[i - 2]) << i;
    }
  }
}

}  // namespace

namespace {

// A DF leg's turn at W1 (0, 0.5), flown in on 090: side from the DF leg's
// demand (free: by the side the fix lies on), radius 1.1 x the 22-degree
// radius, centre square to the inbound course, and the DF course leaves the
// circle toward the fix.
TEST_F(PathValues, DfTurnSideRadiusAndCourse) {
  struct Case {
    double fix_brg;  // from W1, 20 nm away
    float demand;
    float side;
  } cases[] = {{30.0, -1.0f, 2.0f}, {150.0, -1.0f, 3.0f}, {30.0, 1.0f, 3.0f}, {30.0, 3.0f, 3.0f},
               {150.0, 0.0f, 2.0f}, {150.0, 2.0f, 2.0f}, {30.0, 7.0f, 2.0f}, {150.0, 7.0f, 3.0f}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.fix_brg) + " demand " + std::to_string(c.demand));
    gc_destination(0.0, 0.5, c.fix_brg, 20.0);
    const double f_lat = nav_result.lat, f_lon = nav_result.lon;
    const double pts[][2] = {{0.0, 0.0}, {0.0, 0.5}, {f_lat, f_lon}, {f_lat, f_lon + 0.5}};
    make_route(pts, 4);
    set_text(route_tables.leg_path_types[2], "DF");
    legs_rad_turn[2] = c.demand;
    calc_legs_path(1, 0);
    EXPECT_EQ(legs_seg1_turn[1], c.side);
    const float change = static_cast<float>(std::remainder(c.fix_brg - 90.0, 360.0));
    const float r = 1.1f * turn_radius_nm(22.0f, leg_turn_speed(1, change, 20.0f));
    EXPECT_NEAR(legs_seg1_radius[1], r, 1e-3f * r);
    gc_destination(0.0, 0.5, c.side == 2.0f ? 0.0 : 180.0, r);
    EXPECT_NEAR(gc_distance_nm(nav_result.lat, nav_result.lon, legs_seg1_ctr_lat[1], legs_seg1_ctr_lon[1]), 0.0f,
                0.01f);
    const double t_lat = legs_seg1_end_lat[1], t_lon = legs_seg1_end_lon[1];
    EXPECT_NEAR(gc_distance_nm(legs_seg1_ctr_lat[1], legs_seg1_ctr_lon[1], t_lat, t_lon), r, 0.01f);
    EXPECT_NEAR(std::remainder(gc_bearing(t_lat, t_lon, f_lat, f_lon) - legs_df_crs[2], 360.0), 0.0, 0.1);
    // Leaving the circle on that course: square to the radius, in the turn's sense.
    const double travel = gc_bearing(legs_seg1_ctr_lat[1], legs_seg1_ctr_lon[1], t_lat, t_lon) +
                          (c.side == 2.0f ? 270.0 : 90.0);
    EXPECT_NEAR(std::remainder(travel - legs_df_crs[2], 360.0), 0.0, 0.3);
  }
  // A DF fix 1 nm behind-right lies inside that circle: it is passed by and
  // the turn from W1 itself (radius 1.1 x the 22-degree radius, no
  // anticipation) goes to the waypoint after it, on the side it lies.
  const double df[][2] = {{0.0, 0.0}, {0.0, 0.5}, {-0.02, 0.49}, {-1.0, 0.6}, {-2.0, 0.6}};
  make_route(df, 5);
  set_text(route_tables.leg_path_types[2], "DF");
  EXPECT_EQ(calc_legs_path(1, 0), 3);
  EXPECT_EQ(legs_bypass[2], 1.0f);
  EXPECT_EQ(legs_turn[1], 3.0f);
  const float r = 1.1f * turn_radius_nm(22.0f, leg_turn_speed(1, 90.0f, 20.0f));
  EXPECT_NEAR(legs_seg1_radius[1], r, 1e-3f * r);
  EXPECT_EQ(legs_seg1_dta[1], 0.0f);
  EXPECT_NEAR(gc_distance_nm(legs_seg1_start_lat[1], legs_seg1_start_lon[1], 0.0, 0.5), 0.0f, 0.01f);
  gc_destination(0.0, 0.5, 180.0, r);
  EXPECT_NEAR(gc_distance_nm(nav_result.lat, nav_result.lon, legs_seg1_ctr_lat[1], legs_seg1_ctr_lon[1]), 0.0f, 0.01f);
  // When the waypoint reached is itself a DF fix, its course runs from where
  // the turn's last piece ends.
  make_route(df, 5);
  set_text(route_tables.leg_path_types[2], "DF");
  set_text(route_tables.leg_path_types[3], "DF");
  ASSERT_EQ(calc_legs_path(1, 0), 3);
  const bool s_turn = leg_seg_kind(1) >= 2;
  const double e_lat = s_turn ? legs_seg3_end_lat[1] : legs_seg1_end_lat[1];
  const double e_lon = s_turn ? legs_seg3_end_lon[1] : legs_seg1_end_lon[1];
  EXPECT_NEAR(legs_df_crs[3], gc_bearing(e_lat, e_lon, legs_lat[3], legs_lon[3]), 0.01f);
  EXPECT_NEAR(std::remainder(legs_df_crs_fin[3] - gc_bearing(legs_lat[3], legs_lon[3], e_lat, e_lon) - 180.0, 360.0),
              0.0, 0.01);
}

}  // namespace

namespace {

// Onto and off a DME arc (10 nm about (0, 1), clockwise from its west point
// to its north point) a course change of 12 degrees or less is flown without a
// turn.
TEST_F(PathValues, ArcEntryAndExitTurnFromTwelveDegrees) {
  struct Case {
    double in_brg;  // inbound course to the west point (the arc starts north)
    double out_crs; // course of the leg after the north point (the arc ends east)
    bool entry_turn, exit_turn;
  } cases[] = {{11.0, 101.0, false, false}, {14.0, 104.0, true, true}, {-11.0, 79.0, false, false},
               {-14.0, 76.0, true, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.in_brg) + " " + std::to_string(c.out_crs));
    gc_destination(0.0, 1.0 - 10.0 * kNm, c.in_brg + 180.0, 20.0);
    const double a_lat = nav_result.lat, a_lon = nav_result.lon;
    gc_destination(10.0 * kNm, 1.0, c.out_crs, 20.0);
    const double b_lat = nav_result.lat, b_lon = nav_result.lon;
    gc_destination(10.0 * kNm, 1.0, c.out_crs, 40.0);
    const double pts[][2] = {{a_lat - 0.3, a_lon}, {a_lat, a_lon}, {0.0, 1.0 - 10.0 * kNm}, {10.0 * kNm, 1.0},
                             {b_lat, b_lon}, {nav_result.lat, nav_result.lon}};
    make_route(pts, 6);
    set_text(route_tables.leg_path_types[3], "AF");
    legs_rad_lat[3] = 0.0f;
    legs_rad_lon[3] = 1.0f;
    legs_radius[3] = 10.0f;
    legs_rad_turn[3] = 3.0f;
    build_route();
    EXPECT_EQ(legs_radii_radius[2] > 0.0f, c.entry_turn);
    EXPECT_EQ(legs_radii_radius[3] > 0.0f, c.exit_turn);
  }
}

}  // namespace

namespace {

// Which waypoints the builder skips (no transition computed): a gap at the
// waypoint, a discontinuity after it, a vector after it (unless the leg is an
// intercept or the first altitude-terminated leg), a gap before it (unless a
// direct-to intercept is active), the last waypoint and a procedure turn.
TEST_F(PathValues, WaypointsSkippedByTheBuilder) {
  struct Case {
    int named;  // waypoint renamed, -1 none
    const char* name;
    const char* type2;  // path terminator of W2
    int first_alt_term;
    float intdir_act, legs_num;
    bool skipped;
  } cases[] = {
      {2, "DISCONTINUITY", "TF", 0, 0.0f, 4.0f, true}, {2, "(VECTOR)", "TF", 0, 0.0f, 4.0f, true},
      {3, "DISCONTINUITY", "TF", 0, 0.0f, 4.0f, true}, {3, "(VECTOR)", "TF", 0, 0.0f, 4.0f, true},
      {3, "(VECTOR)", "CI", 0, 0.0f, 4.0f, false},     {3, "(VECTOR)", "TF", 2, 0.0f, 4.0f, false},
      {1, "DISCONTINUITY", "TF", 0, 0.0f, 4.0f, true}, {1, "(VECTOR)", "TF", 0, 0.0f, 4.0f, true},
      {1, "(VECTOR)", "TF", 0, 2.0f, 4.0f, false},     {-1, "", "PI", 0, 0.0f, 4.0f, true},
      {-1, "", "TF", 0, 0.0f, 3.0f, true},             {-1, "", "TF", 0, 0.0f, 4.0f, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.named) + " " + c.name + " " + c.type2);
    make_route(kSquare, 5);
    if (c.named >= 0) set_text(route_tables.waypoint_names[c.named], c.name);
    set_text(route_tables.leg_path_types[2], c.type2);
    first_alt_term_leg = c.first_alt_term;
    fms_seq.intdir_act = c.intdir_act;
    fms_seq.legs_num = c.legs_num;
    simhost::clear_log();
    fms_debug_selector = 9999.0f;
    EXPECT_EQ(calc_legs_path(2, 0), 3);
    fms_debug_selector = 0.0f;
    const std::string skip = "WPT 2 <" + std::string(route_tables.waypoint_names[2].text) + ">: Skipped to WPT 3 <" +
                             route_tables.waypoint_names[3].text + ">\n";
    EXPECT_EQ(simhost::log_text().find(skip) != std::string::npos, c.skipped) << simhost::log_text();
  }
}

}  // namespace
namespace {

// The turn onto a DME arc from outside it (25 degrees of bank) is tried 10 kt
// slower each time, from the turn speed, until its anticipation fits half the
// way to the arc's end fix: on a 2 nm arc that takes several steps, on a
// 10 nm arc none.
TEST_F(PathValues, ArcEntrySlowsUntilItsAnticipationFits) {
  for (double rad : {2.0, 10.0}) {
    SCOPED_TRACE(rad);
    gc_destination(rad * kNm, 1.0, 45.0, 20.0);
    const double b_lat = nav_result.lat, b_lon = nav_result.lon;
    gc_destination(rad * kNm, 1.0, 45.0, 40.0);
    const double pts[][2] = {{0.0, 1.0 - 40.0 * kNm}, {0.0, 1.0 - 20.0 * kNm}, {0.0, 1.0 - rad * kNm},
                             {rad * kNm, 1.0},          {b_lat, b_lon},          {nav_result.lat, nav_result.lon}};
    make_route(pts, 6);
    set_text(route_tables.leg_path_types[3], "AF");
    legs_rad_lat[3] = 0.0f;
    legs_rad_lon[3] = 1.0f;
    legs_radius[3] = static_cast<float>(rad);
    legs_rad_turn[3] = 3.0f;
    fms_debug_selector = 9999.0f;
    simhost::clear_log();
    build_route();
    fms_debug_selector = 0.0f;
    const float limit = 0.5f * gc_distance_nm(0.0, 1.0 - rad * kNm, rad * kNm, 1.0);
    float expect_speed = leg_turn_speed(2, -90.0f, 20.0f), speed = 0.0f, radius = 0.0f, dta = 0.0f;
    float last_dta = 0.0f;
    int tries = 0;
    for (const std::string& l : simhost::log_lines()) {
      int from_to = 0;
      if (l.find("- entry AF/RF") == std::string::npos ||
          std::sscanf(l.c_str(),
                      "    xspeed = %f, xradius = %f, af_from_to = %d, enable_calc_turn = %*d, calc_dta = %f", &speed,
                      &radius, &from_to, &dta) != 4)
        continue;
      if (tries++ > 0) {
        EXPECT_GT(last_dta, limit) << "retried after a try that fitted";
      }
      last_dta = dta;
      EXPECT_EQ(from_to, 1);
      EXPECT_NEAR(speed, expect_speed, 0.01f);
      EXPECT_NEAR(radius, turn_radius_nm(25.0f, speed), 1e-3f);
      expect_speed -= 10.0f;
    }
    EXPECT_EQ(tries, rad < 5.0 ? 4 : 1);
    EXPECT_LE(legs_radii_dta[2], limit);
    EXPECT_NEAR(legs_radii_radius[2], radius, 1e-4f);
  }
}

}  // namespace

namespace {

// Start-up limits of the controller records (servo 1 +-0.8, servo 2 +-1,
// flight director +-15, state zeroed, servo state value 0.1) and what a
// loaded situation resets (two live references to 29.92, the direct-to turn
// path cleared).
TEST_F(PathValues, ControllerLimitsAndLoadResets) {
  servo_limits_1 = servo_limits_2 = fd_limits = PidState{9.0f, 9.0f, 9.0f, 9.0f, 9.0f, 9.0f};
  set_controller_limits();
  const struct {
    const PidState& pid;
    float limit;
  } records[] = {{servo_limits_1, 0.8f}, {servo_limits_2, 1.0f}, {fd_limits, 15.0f}};
  for (const auto& r : records) {
    EXPECT_EQ(r.pid.out_min, -r.limit);
    EXPECT_EQ(r.pid.out_max, r.limit);
    EXPECT_EQ(r.pid.prev_error + r.pid.integral + r.pid.prev_out + r.pid.p_term, 0.0f);
  }
  EXPECT_EQ(servo_gain_state, 0.1f);
  direct_to_turn_path.valid = 1;
  direct_to_turn_path.radius_nm = 3.0f;
  flight_director_state.live[2] = flight_director_state.live[3] = 0.0f;
  guidance_reset_on_load();
  EXPECT_EQ(flight_director_state.live[2], 29.92f);
  EXPECT_EQ(flight_director_state.live[3], 29.92f);
  EXPECT_EQ(direct_to_turn_path.valid, 0);
  EXPECT_EQ(direct_to_turn_path.radius_nm, 0.0f);
}

}  // namespace
